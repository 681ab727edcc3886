// Renders the inspector into PNG files: each of the five paint styles with a
// category, nested rows, images and an open editor, and the banded mode.
#include <array>
#include <map>
#include <string>

#include "EditorSteps.h"
#include "Forms.h"
#include "InspectorSteps.h"
#include "dxInCNew.h"
#include "dxInsCus.h"
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

// A row-based inspector whose new nodes get text rows.
class TScreenRowInspector : public TCustomdxInspectorControl {
public:
  using TCustomdxInspectorControl::TCustomdxInspectorControl;
  TdxInspectorRowClass GetDefaultRowClass() const override { return ComponentClassOf<TdxInspectorTextRow>(); }
};

template <class Row>
Row* AddRow(TCustomdxInspectorControl& insp, const wchar_t* caption, const wchar_t* text) {
  auto* row = static_cast<Row*>(insp.CreateRow(ComponentClassOf<Row>()));
  row->SetCaption(caption);
  row->SetEditText(text);
  return row;
}

// A shown window and its children as the screen holds them.
void CaptureWindow(TWinControl& control, TBitmap& shot) {
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(control.Width(), control.Height());
  CopyWindow(control.Handle(), shot.Canvas(), 0, 0);
}

void RowKindShots(const std::string& folder) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(20, 20, 340, 420);
  auto* insp = CreateComponent<TScreenRowInspector>(form.get());
  insp->SetName(L"Insp");
  insp->SetParent(form.get());
  insp->SetBounds(8, 8, 300, 360);
  insp->SetDividerPos(110);
  AddRow<TdxInspectorTextRow>(*insp, L"Kinds", L"")->SetIsCategory(true);
  AddRow<TdxInspectorTextMaskRow>(*insp, L"Mask", L"0x2000");
  AddRow<TdxInspectorTextCheckRow>(*insp, L"Check", L"True");
  AddRow<TdxInspectorTextCheckRow>(*insp, L"Check (grayed)", L"?");
  AddRow<TdxInspectorTextSpinRow>(*insp, L"Spin", L"42");
  AddRow<TdxInspectorTextTimeRow>(*insp, L"Time", L"12:30:00");
  AddRow<TdxInspectorTextCurrencyRow>(*insp, L"Currency", L"1234.5");
  AddRow<TdxInspectorTextMemoRow>(*insp, L"Memo", L"first line\r\nsecond line");
  AddRow<TdxInspectorTextDateRow>(*insp, L"Date", L"11.12.2026");
  AddRow<TdxInspectorTextCalcRow>(*insp, L"Calculator", L"3.14");
  AddRow<TdxInspectorTextPickRow>(*insp, L"Pick", L"JTAG");
  AddRow<TdxInspectorTextMRURow>(*insp, L"Recent", L"SWD");
  AddRow<TdxInspectorTextButtonRow>(*insp, L"Button", L"file.hex");
  AddRow<TdxInspectorTextPopupRow>(*insp, L"Pop-up", L"popup text");
  AddRow<TdxInspectorTextHyperLinkRow>(*insp, L"Link", L"www.example.com");
  auto* complex = AddRow<TdxInspectorComplexRow>(*insp, L"", L"");
  auto* left = AddRow<TdxInspectorTextRow>(*insp, L"Min", L"0");
  auto* right = AddRow<TdxInspectorTextRow>(*insp, L"Max", L"255");
  complex->Items().Add()->SetRow(left);
  complex->Items().Add()->SetRow(right);
  form->Show();
  Pump();
  UpdateWindow(form->Handle());
  Pump();
  TBitmap shot;
  Capture(*insp, shot);
  SavePng(shot, folder, "inspector_row_kinds.png", "the row-based inspector with every row kind and a complex row");

  auto* hidden = AddRow<TdxInspectorTextRow>(*insp, L"Hidden row", L"");
  hidden->SetVisible(false);
  auto* category = AddRow<TdxInspectorTextRow>(*insp, L"Hidden category", L"");
  category->SetIsCategory(true);
  category->SetVisible(false);
  insp->ShowCustomizeForm();
  auto* window = static_cast<TdxInspectorCustomizeForm*>(insp->CustomizeForm());
  Pump();
  for (auto [page, file, title] : {std::tuple{0, "inspector_customize_rows.png", "the customizing window, rows"},
                                   {1, "inspector_customize_categories.png", "the customizing window, categories"}}) {
    SendMessageW(window->Handle(), WM_DXINSPECTOR_SELECTPAGE, WPARAM(page), 0);
    Pump();
    UpdateWindow(window->Handle());
    Pump();
    TBitmap windowShot;
    CaptureWindow(*window, windowShot);
    SavePng(windowShot, folder, file, title);
  }
  insp->HideCustomizeForm();

  std::unique_ptr<TdxInspectorCustomizeNew> dialog(CreateComponent<TdxInspectorCustomizeNew>(nullptr));
  dialog->ECaption->SetCaption(L"Pins");
  dialog->ECaptionChange(nullptr);
  dialog->Show();
  Pump();
  UpdateWindow(dialog->Handle());
  Pump();
  TBitmap dialogShot;
  CaptureWindow(*dialog, dialogShot);
  SavePng(dialogShot, folder, "inspector_new_category.png", "the New Category dialog");
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
    RowKindShots(folder);
  });
}
