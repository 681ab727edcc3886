// Renders the inspector into PNG files: each of the five paint styles with a
// category, nested rows, images and an open editor, and the banded mode.
#include <array>
#include <map>
#include <string>

#include "EditorSteps.h"
#include "Forms.h"
#include "InspectorSteps.h"
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS TVK_INSPECTOR_STEPS};

// An inspector whose rows are captions and texts from maps; values are painted as plain text.
class TScreenInspector : public TCustomdxInspector {
public:
  explicit TScreenInspector(TComponent* owner) : TCustomdxInspector(owner) {}
  ~TScreenInspector() override { DestroyNodes(); }
  std::map<const TdxInspectorNode*, std::wstring> Captions, Values;
  std::map<const TdxInspectorNode*, int> Images;
  std::map<const TdxInspectorNode*, bool> Categories;
  TdxInspectorNode* CreateNode() override { return new TdxInspectorRowNode(this); }
  void GetNodeTexts(TdxInspectorNode* node, WideString& caption, WideString& value) override {
    caption = Captions[node];
    value = Values[node];
  }
  bool IsCategoryNode(TdxInspectorNode* node) override { return Categories.count(node) != 0; }
  int GetNodeImageIndex(TdxInspectorNode* node) override {
    auto it = Images.find(node);
    return it == Images.end() ? -1 : it->second;
  }
  void InitEditValue(TdxInspectorNode* node, TdxInplaceEdit*, Variant& value) override {
    value = Variant(WideString(Values[node]));
  }
  void DrawCellValue(TCanvas& canvas, const RECT& rect, TdxInspectorCellViewData& data) override {
    canvas.FillRect(rect);
    DrawCellText(canvas, rect, data.Cell_Alignment, data.Cell_Text);
  }
  TdxInspectorNode* Row(const wchar_t* caption, const wchar_t* value, TdxInspectorNode* parent = nullptr,
                        int image = -1) {
    TdxInspectorNode* node = parent ? parent->AddChild() : Add();
    Captions[node] = caption;
    Values[node] = value;
    if (image >= 0) Images[node] = image;
    return node;
  }
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The inspector's client area and its open editor, printed into a bitmap
// (the screen cannot be read back under a null display driver).
void Capture(TCustomdxInspector& inspector, TBitmap& shot) {
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(inspector.ClientWidth(), inspector.ClientHeight());
  HDC dc = shot.Canvas().Handle();
  SendMessageW(inspector.Handle(), WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
  TdxInplaceEdit* editor = inspector.InplaceEditor();
  if (!editor || !editor->IsVisible()) return;
  const RECT r = editor->BoundsRect();
  const int saved = SaveDC(dc);
  SetViewportOrgEx(dc, r.left, r.top, nullptr);
  IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
  SendMessageW(editor->Handle(), WM_PRINT, WPARAM(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
  RestoreDC(dc, saved);
}

void Fill(TScreenInspector& insp, TImageList& images) {
  TdxInspectorNode* general = insp.Row(L"General", L"");
  insp.Categories[general] = true;
  insp.Row(L"Name", L"STM32F103", general, 0);
  TdxInspectorNode* clock = insp.Row(L"Clock", L"72 MHz", general, 1);
  insp.Row(L"Source", L"HSE", clock);
  insp.Row(L"Divider", L"1", clock);
  insp.Row(L"Voltage", L"3.3 V", general);
  TdxInspectorNode* memory = insp.Row(L"Memory", L"");
  insp.Categories[memory] = true;
  insp.Row(L"Flash", L"128 KB", memory, 2);
  insp.Row(L"RAM", L"20 KB", memory, 3);
  TdxInspectorNode* collapsed = insp.Row(L"Debug", L"");
  insp.Categories[collapsed] = true;
  insp.Row(L"Port", L"JTAG", collapsed);
  insp.Row(L"A long caption that is cut", L"a long value that does not fit");
  insp.SetImages(&images);
  insp.FullExpand();
  collapsed->Collapse(false);
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "inspector_screens", kScreenSteps, [](const std::string& folder) {
    TImageList images(nullptr);
    images.SetSize(12, 12);
    const TColor colors[] = {clRed, clGreen, clBlue, clMaroon};
    for (TColor color : colors) {
      TBitmap glyph;
      glyph.SetSize(12, 12);
      glyph.Canvas().Brush().SetColor(clFuchsia);
      glyph.Canvas().FillRect(RECT{0, 0, 12, 12});
      glyph.Canvas().Brush().SetColor(color);
      glyph.Canvas().FillRect(RECT{2, 2, 10, 10});
      images.AddMasked(glyph, clFuchsia);
    }
    const struct {
      TdxInspectorPaintStyle Style;
      const char* File;
      const char* Title;
    } kStyles[] = {
        {ipsStandard, "inspector_standard.png", "the inspector, standard style"},
        {ipsSimple, "inspector_simple.png", "the inspector, simple style"},
        {ipsExtended, "inspector_extended.png", "the inspector, extended style"},
        {ipsNET, "inspector_net.png", "the inspector, NET style"},
        {ipsCategorized, "inspector_categorized.png", "the inspector, categorized style"},
    };
    for (const auto& s : kStyles) {
      std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
      form->SetBounds(20, 20, 320, 320);
      auto* insp = new TScreenInspector(form.get());
      insp->SetParent(form.get());
      insp->SetBounds(8, 8, 280, 270);
      insp->SetPaintStyle(s.Style);
      Fill(*insp, images);
      form->Show();
      insp->SetFocus();
      // The editor is open on a plain row.
      insp->SetFocusedNumber(2);
      insp->ShowEditor();
      Pump();
      UpdateWindow(form->Handle());
      Pump();
      TBitmap shot;
      Capture(*insp, shot);
      SavePng(shot, folder, s.File, s.Title);
    }
    std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
    form->SetBounds(20, 20, 560, 240);
    auto* insp = new TScreenInspector(form.get());
    insp->SetParent(form.get());
    insp->SetBounds(8, 8, 520, 180);
    insp->SetOptions(insp->Options() | InspectorOptionBit(ioAutoBandCount));
    insp->SetBandWidth(170);
    Fill(*insp, images);
    for (int i = 0; i < 6; ++i) insp->Row(L"Extra", L"row");
    form->Show();
    insp->SetFocus();
    Pump();
    UpdateWindow(form->Handle());
    Pump();
    TBitmap shot;
    Capture(*insp, shot);
    SavePng(shot, folder, "inspector_banded.png", "the inspector in banded mode");
  });
}
