#pragma once
// An inspector that answers its captions, values, categories and images from
// maps, on a form, with helpers that drive it through real window messages.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Application.h"
#include "Forms.h"
#include "dxInspct.h"

namespace inspector_test {

using tvk::TdxInspectorNode;

class TTestInspector : public tvk::TCustomdxInspector {
public:
  explicit TTestInspector(tvk::TComponent* owner = nullptr) : TCustomdxInspector(owner) {}
  ~TTestInspector() override { DestroyNodes(); }

  std::map<const TdxInspectorNode*, std::wstring> Captions, Values;
  std::set<const TdxInspectorNode*> Categories;
  std::map<const TdxInspectorNode*, int> ImageIndexes;
  std::map<const TdxInspectorNode*, int> RowHeights;  // set by row sizing
  // Hint texts by node: caption hints ask for a delay.
  std::map<const TdxInspectorNode*, std::wstring> CaptionHints, ValueHints;
  bool Customizing = false;
  int Deleted = 0;
  int Saves = 0;
  // Refuses the write-back of this text.
  std::wstring RefusedValue = L"\x1";

  TdxInspectorNode* CreateNode() override { return new tvk::TdxInspectorRowNode(this); }
  void GetNodeTexts(TdxInspectorNode* node, tvk::WideString& caption, tvk::WideString& value) override {
    caption = Lookup(Captions, node);
    value = Lookup(Values, node);
  }
  bool IsCategoryNode(TdxInspectorNode* node) override { return Categories.count(node) != 0; }
  int GetNodeImageIndex(TdxInspectorNode* node) override {
    auto it = ImageIndexes.find(node);
    return it == ImageIndexes.end() ? -1 : it->second;
  }
  int GetNodeRowHeight(TdxInspectorNode* node) override {
    auto it = RowHeights.find(node);
    return it == RowHeights.end() ? TCustomdxInspector::GetNodeRowHeight(node) : it->second;
  }
  void SetNodeRowHeight(TdxInspectorNode* node, int height) override {
    RowHeights[node] = height;
    LayoutChanged();
  }
  bool IsCustomizing() override { return Customizing; }
  void NodeDeleted(TdxInspectorNode* node, TdxInspectorNode* prior, TdxInspectorNode* next, bool wasLast,
                   bool wasVisible) override {
    ++Deleted;
    Captions.erase(node);
    Values.erase(node);
    TCustomdxInspector::NodeDeleted(node, prior, next, wasLast, wasVisible);
  }
  void InitEditValue(TdxInspectorNode* node, tvk::TdxInplaceEdit*, tvk::Variant& value) override {
    value = tvk::Variant(tvk::WideString(Lookup(Values, node)));
  }
  void SaveEditValue(TdxInspectorNode* node, tvk::TdxInplaceEdit* editor, tvk::Variant& value) override {
    const std::wstring text = editor->GetEditingText();
    if (text == RefusedValue) throw tvk::Exception(L"refused");
    ++Saves;
    Values[node] = text;
    value = tvk::Variant();
  }
  bool GetHintText(TdxInspectorNode* node, int, bool& delay, POINT&, tvk::WideString& text, const RECT&, bool isValue,
                   const RECT&) override {
    const auto& hints = isValue ? ValueHints : CaptionHints;
    auto it = hints.find(node);
    if (it == hints.end()) return false;
    text = it->second;
    delay = !isValue;
    return true;
  }
  // A drop at a client point, as the drag's target hears it.
  void DropAt(int x, int y) { DragDrop(this, x, y); }
  // Public doors to protected members for the tests.
  using TCustomdxInspector::FreeContentDrawInfo;

  // Adds a row with a caption and a value under Parent (top level for null).
  TdxInspectorNode* Row(const std::wstring& caption, const std::wstring& value = L"",
                        TdxInspectorNode* parent = nullptr) {
    TdxInspectorNode* node = parent ? parent->AddChild() : Add();
    Captions[node] = caption;
    Values[node] = value;
    return node;
  }

private:
  static std::wstring Lookup(const std::map<const TdxInspectorNode*, std::wstring>& map, const TdxInspectorNode* node) {
    auto it = map.find(node);
    return it == map.end() ? std::wstring() : it->second;
  }
};

// Delivers the posted and sent messages waiting for this thread.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A shown form holding an inspector of 200 x Height client pixels, without a border.
struct InspectorFixture : ::testing::Test {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  TTestInspector* Insp = nullptr;
  // Failures the window procedures caught (a refused write-back).
  int Errors = 0;

  void SetUp() override {
    tvk::Application().OnException = [this](tvk::TObject*, const std::exception_ptr&) { ++Errors; };
    Form->SetBounds(0, 0, 400, 400);
    Insp = new TTestInspector(Form.get());
    Insp->SetBorderStyle(tvk::TdxInspectorBorderStyle::bsNone);
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 200, 180);
    Form->Show();
    Insp->LayoutChanged();
    Pump();
  }
  void TearDown() override {
    Pump();
    tvk::Application().OnException = nullptr;
  }

  HWND Wnd() { return Insp->Handle(); }
  // Client height for exactly N rows of the current height.
  void SetRowsHigh(int rows, int extra = 0) {
    // Twice: a scroll bar the first size shows or hides changes the client height.
    for (int i = 0; i < 2; ++i) {
      Insp->SetBounds(0, 0, Insp->Width(),
                      rows * Insp->RowHeight() + extra + Insp->Height() - Insp->ClientHeight());
      Pump();
    }
  }
  void Key(WORD key, bool shift = false, bool ctrl = false) {
    BYTE state[256]{};
    GetKeyboardState(state);
    BYTE saved[256];
    std::copy(std::begin(state), std::end(state), saved);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    HWND target = GetFocus() ? GetFocus() : Wnd();
    SendMessageW(target, WM_KEYDOWN, key, 1);
    SetKeyboardState(saved);
    Pump();
  }
  void Mouse(UINT msg, int x, int y, WPARAM buttons = 0) {
    SendMessageW(Wnd(), msg, buttons, MAKELPARAM(x, y));
  }
  void Click(int x, int y) {
    Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, x, y);
    Pump();
  }
  // The middle of the row at visible position I in band 0 (outside banded mode).
  int RowY(int i) { return i * Insp->RowHeight() + Insp->RowHeight() / 2; }
};

}  // namespace inspector_test
