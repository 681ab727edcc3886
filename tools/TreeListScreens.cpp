// Renders the tree list's drawing routines, painted lists, the customizing
// form and an incremental search into PNG files; first header cells in
// the three looks (plain, pushed, with sort marks, with a drop-down button in
// its three states), the tree buttons of both kinds, and the indicator glyphs.
#include <array>
#include <memory>
#include <set>
#include <string>

#include "EditorSteps.h"
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"
#include "ComCtrls.h"
#include "TreeListCustomize.h"
#include "TreeListPublished.h"
#include "TreeListSteps.h"
#include "dxTLClms.h"

#include "Forms.h"
#include "ImageLists.h"

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS TVK_TREELIST_STEPS};

struct THeaderLook {
  const wchar_t* Caption;
  bool Pushed;
  TdxTreeListColumnSort Sorted;
  int DropDownState;
};

const THeaderLook kHeaders[] = {
    {L"Name", false, csNone, 0},   {L"Pushed", true, csNone, 0},  {L"Sort up", false, csUp, 0},
    {L"Sort down", false, csDown, 0}, {L"Normal", false, csNone, 1}, {L"Hot", false, csNone, 3},
    {L"Pressed", false, csNone, 7},
};

constexpr int kCellWidth = 96, kCellHeight = 20;

// A tree list with two bands and a fixed one, answered from small arrays.
class TScreenTree : public TCustomdxTreeList {
public:
  explicit TScreenTree(TComponent* owner) : TCustomdxTreeList(owner) {}
  ~TScreenTree() override { PrepareDestroy(); }
  std::set<const TdxTreeListNode*> Selection;
  TdxTreeListNode* CreateNode() override { return new TdxTreeListNode(this); }
  int GetNodeStateIndex(const TdxTreeListNode*) override { return -1; }
  int GetNodeImageIndex(const TdxTreeListNode*) override { return -1; }
  int GetNodeSelectedIndex(const TdxTreeListNode*) override { return -1; }
  int GetValueCount() override { return 5; }
  int GetVisibleBandCount() override { return 3; }
  int GetBandCount() override { return 3; }
  int GetFixedRightBandIndex() override { return 2; }
  void GetBandCaption(int band, WideString& text) override {
    static const wchar_t* names[] = {L"Pin", L"Net", L"State"};
    text = names[band];
  }
  int GetHeaderRowCount(int) override { return 1; }
  int GetHeaderColCount(int band, int) override { return band == 0 ? 2 : band == 1 ? 2 : 1; }
  int GetHeaderAbsoluteIndex(int band, int, int col) override { return band * 2 + col; }
  int GetColumnBandIndex(int column) override { return column / 2; }
  int GetColumnColIndex(int column) override { return column % 2; }
  int GetColumnWidth(int column) override { return column == 0 ? 110 : 80; }
  int GetColumnMinWidth(int) override { return 20; }
  void GetHeaderCaption(int column, WideString& text) override { text = L"Column " + std::to_wstring(column); }
  bool IsExistFooterCell(int) override { return true; }
  bool IsExistRowFooterCell(TdxTreeListNode*, int column, int) override { return column < 2; }
  bool IsLevelFooter(int level) override { return level == 0; }
  void GetPreviewText(TdxTreeListNode*, WideString& text) override { text = L"A preview line under the row"; }
  bool IsNodeSelected(const TdxTreeListNode* node) override { return Selection.count(node) != 0; }
  bool IsMultiSelect() override { return true; }
  bool IsPaintFocused() override { return true; }
  // Columns paint through their editors in the full control; here the cell's background only.
  void DrawCellValue(HDC dc, const RECT& rect, TdxTreeListCellViewData& cell, int) override {
    FillRect(dc, &rect, cell.Cell_Brush);
  }
  TdxGridIndicatorKind GetRowIndicatorKind(TdxTreeListNode* node, bool selected) override {
    return node == FocusedNode() ? (selected ? ikMultiArrow : ikArrow) : selected ? ikMultiDot : ikNone;
  }
};

void PaintTreeShot(const std::string& folder, TdxLookAndFeel look, TdxTreeListPaintStyle style, const char* file,
                   const char* what) {
  std::unique_ptr<TForm> form{CreateComponent<TForm>(nullptr, kCreateNew)};
  form->SetBounds(0, 0, 620, 400);
  auto* tree = new TScreenTree(form.get());
  tree->FBorderStyle = TdxBorderStyle::bsNone;
  tree->SetParent(form.get());
  tree->SetBounds(0, 0, 520, 300);
  tree->FShowBands = true;
  tree->FShowGrid = true;
  tree->FShowIndicator = true;
  tree->SetIndicatorWidth(12);
  tree->FShowFooter = true;
  tree->FShowRowFooter = true;
  tree->SetOptions(tree->Options() | OptionBit(aoPreview));
  tree->FPreviewLines = 1;
  tree->SetOptionsEx(tree->OptionsEx() & ~OptionBit(aoAutoCalcPreviewLines));
  tree->SetLookAndFeel(look);
  tree->SetPaintStyle(style);
  tree->BeginUpdate();
  for (int i = 0; i < 3; ++i) {
    TdxTreeListNode* parent = tree->Add();
    for (int k = 0; k < 2; ++k) parent->AddChild();
    parent->SetExpanded(true);
  }
  tree->EndUpdate();
  TdxTreeListNode* second = tree->GetItem(0)->GetItem(1);
  tree->SetFocusedNode(second);
  tree->Selection = {tree->GetItem(0)->GetItem(0), second};
  tree->LayoutChanged();
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(520, 300);
  TdxGridDrawInfo info;
  tree->CalcDrawInfo(info);
  tree->PaintArea(info, shot.Canvas());
  SavePng(shot, folder, file, what);
}

// A published tree list: two bands and a band fixed at the right, text and
// mask columns, text nodes painted through the columns' editors, the names
// sorted, two nodes selected and one of them focused.
void PaintPublishedShot(const std::string& folder, TdxLookAndFeel look, const char* file, const char* what) {
  std::unique_ptr<TForm> form{CreateComponent<TForm>(nullptr, kCreateNew)};
  form->SetBounds(0, 0, 620, 300);
  auto* tree = CreateComponent<TdxTreeList>(form.get());
  tree->SetParent(form.get());
  tree->SetBounds(0, 0, 520, 200);
  tree->FShowBands = true;
  tree->FShowGrid = true;
  tree->FShowIndicator = true;
  tree->SetIndicatorWidth(12);
  tree->SetLookAndFeel(look);
  tree->SetOptions(tree->Options() | OptionBit(aoMultiSelect));
  tree->FHideSelection = false;  // the selection shows without the focus
  tree->Bands().GetItem(0)->SetCaption(L"Pin");
  tree->Bands().Add()->SetCaption(L"Connection");
  TdxTreeListBand* state = tree->Bands().Add();
  state->SetCaption(L"State");
  state->SetFixed(bfRight);
  struct TColumnLook {
    const wchar_t* Caption;
    int Band, Width;
    bool Mask;
  };
  const TColumnLook columns[] = {
      {L"Name", 0, 110, false}, {L"Number", 0, 70, false}, {L"Net", 1, 160, false}, {L"Level", 2, 90, true}};
  for (const TColumnLook& c : columns) {
    TdxTreeListColumn* column = tree->CreateColumnEx(
        c.Mask ? ComponentClassOf<TdxTreeListMaskColumn>() : ComponentClassOf<TdxTreeListColumn>(), form.get());
    column->SetCaption(c.Caption);
    column->SetBandIndex(c.Band);
    column->SetWidth(c.Width);
    if (c.Mask) static_cast<TdxTreeListMaskColumn*>(column)->SetEditMask(L"L;1;_");
  }
  tree->Columns(1)->SetAlignment(TAlignment::taRightJustify);
  const wchar_t* rows[][4] = {{L"TDI", L"1", L"JTAG_TDI", L"H"}, {L"TDO", L"2", L"JTAG_TDO", L"L"},
                              {L"TCK", L"3", L"JTAG_TCK", L"H"}, {L"TMS", L"4", L"JTAG_TMS", L"Z"},
                              {L"VCC", L"5", L"+3V3", L"H"}};
  tree->BeginUpdate();
  TdxTreeListNode* group = tree->Add();
  group->SetString(0, L"Port A");
  for (const auto& row : rows) {
    TdxTreeListNode* node = group->AddChild();
    for (int i = 0; i < 4; ++i) node->SetString(i, row[i]);
  }
  group->SetExpanded(true);
  tree->Add()->SetString(0, L"Port B");
  tree->EndUpdate();
  tree->Columns(0)->SetSorted(csUp);
  tree->Columns(2)->SetSorted(csDown);
  tree->Handle();
  tree->SetFocusedNode(group->GetItem(1));
  group->GetItem(1)->SetSelected(true);
  group->GetItem(3)->SetSelected(true);
  tree->LayoutChanged();
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  RECT client = tree->ClientRect();
  shot.SetSize(client.right, client.bottom);
  TdxGridDrawInfo info;
  tree->CalcDrawInfo(info);
  tree->PaintArea(info, shot.Canvas());
  SavePng(shot, folder, file, what);
}

// One column of each type, three rows each with the middle one focused, laid
// out side by side; drop-down buttons shown always on the focused row.
void PaintColumnTypesShot(const std::string& folder, TdxLookAndFeel look, const char* file, const char* what) {
  struct TTypeLook {
    const wchar_t* Caption;
    TComponentClass Class;
    const wchar_t* Rows[3];
  };
  const TTypeLook types[] = {
      {L"Memo", ComponentClassOf<TdxTreeListMemoColumn>(), {L"First line", L"Second", L"Third"}},
      {L"Drop-down", ComponentClassOf<TdxTreeListDropDownColumn>(), {L"In", L"Out", L"Both"}},
      {L"Date", ComponentClassOf<TdxTreeListDateColumn>(), {L"1/2/2003", L"3/4/2005", L""}},
      {L"Button", ComponentClassOf<TdxTreeListButtonColumn>(), {L"file.hex", L"boot.bin", L""}},
      {L"Check", ComponentClassOf<TdxTreeListCheckColumn>(), {L"True", L"False", L"?"}},
      {L"Image", ComponentClassOf<TdxTreeListImageColumn>(), {L"a", L"b", L"c"}},
      {L"Spin", ComponentClassOf<TdxTreeListSpinColumn>(), {L"12", L"-3", L"0"}},
      {L"Pick", ComponentClassOf<TdxTreeListPickColumn>(), {L"High", L"Low", L"Z"}},
      {L"Calculator", ComponentClassOf<TdxTreeListCalcColumn>(), {L"3.25", L"1E3", L""}},
      {L"Hyperlink", ComponentClassOf<TdxTreeListHyperLinkColumn>(), {L"www.example.com", L"", L"mail"}},
      {L"Time", ComponentClassOf<TdxTreeListTimeColumn>(), {L"10:30:00", L"23:59:59", L""}},
      {L"Currency", ComponentClassOf<TdxTreeListCurrencyColumn>(), {L"1234.5", L"-7", L""}},
      {L"MRU", ComponentClassOf<TdxTreeListMRUColumn>(), {L"COM1", L"COM3", L"USB"}},
      {L"Blob", ComponentClassOf<TdxTreeListBlobColumn>(), {L"notes", L"", L"more"}},
      {L"Wrapper", ComponentClassOf<TdxTreeListWrapperColumn>(), {L"plain", L"text", L"cells"}},
  };
  constexpr int kTreeWidth = 150, kTreeHeight = 84, kPerRow = 5;
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(10 + kPerRow * (kTreeWidth + 10), 10 + 3 * (kTreeHeight + 10));
  shot.Canvas().Brush().SetColor(clBtnFace);
  shot.Canvas().FillRect(RECT{0, 0, shot.Width(), shot.Height()});
  std::unique_ptr<TForm> form{CreateComponent<TForm>(nullptr, kCreateNew)};
  form->SetBounds(0, 0, 400, 300);
  TImageList images(form.get());
  images.SetSize(12, 12);
  for (TColor colour : {clRed, clLime, clBlue}) {
    TBitmap glyph;
    glyph.SetSize(12, 12);
    glyph.Canvas().Brush().SetColor(colour);
    glyph.Canvas().FillRect(RECT{2, 2, 10, 10});
    images.Add(glyph, nullptr);
  }
  for (std::size_t i = 0; i < std::size(types); ++i) {
    const TTypeLook& type = types[i];
    auto* tree = CreateComponent<TdxTreeList>(form.get());
    tree->SetParent(form.get());
    tree->SetBounds(0, 0, kTreeWidth, kTreeHeight);
    tree->FShowGrid = true;
    tree->SetLookAndFeel(look);
    tree->SetOptionsEx(tree->OptionsEx() | OptionBit(aoShowButtonAlways));
    TdxTreeListColumn* column = tree->CreateColumnEx(type.Class, form.get());
    column->SetCaption(type.Caption);
    column->SetWidth(kTreeWidth - 4);
    if (column->Is<TdxTreeListImageColumn>()) {
      auto* image = static_cast<TdxTreeListImageColumn*>(column);
      TStringList values, descriptions;
      for (const wchar_t* v : {L"a", L"b", L"c"}) values.Add(v);
      for (const wchar_t* d : {L"Input", L"Output", L"Bidirectional"}) descriptions.Add(d);
      image->SetValues(values);
      image->SetDescriptions(descriptions);
      image->SetImages(&images);
      image->SetShowDescription(true);
    } else if (column->Is<TdxTreeListHyperLinkColumn>()) {
      static_cast<TdxTreeListHyperLinkColumn*>(column)->SetSingleClick(true);
    } else if (column->Is<TdxTreeListCurrencyColumn>()) {
      static_cast<TdxTreeListCurrencyColumn*>(column)->SetDisplayFormat(L"$,0.00");
    }
    for (const wchar_t* text : type.Rows) tree->Add()->SetString(0, text);
    tree->Handle();
    tree->SetFocusedNode(tree->GetItem(1));
    tree->LayoutChanged();
    TBitmap cell;
    cell.SetPixelFormat(TPixelFormat::pf32bit);
    RECT client = tree->ClientRect();
    cell.SetSize(client.right, client.bottom);
    TdxGridDrawInfo info;
    tree->CalcDrawInfo(info);
    tree->PaintArea(info, cell.Canvas());
    int x = 10 + int(i % kPerRow) * (kTreeWidth + 10), y = 10 + int(i / kPerRow) * (kTreeHeight + 10);
    BitBlt(shot.Canvas().Handle(), x, y, client.right, client.bottom, cell.Canvas().Handle(), 0, 0, SRCCOPY);
  }
  SavePng(shot, folder, file, what);
}

}  // namespace

void PumpScreenMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A shown window and its children as the screen holds them.
void CaptureShownWindow(HWND window, const std::string& folder, const char* file, const char* what) {
  PumpScreenMessages();
  UpdateWindow(window);
  PumpScreenMessages();
  RECT r{};
  GetWindowRect(window, &r);
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(r.right - r.left, r.bottom - r.top);
  CopyWindow(window, shot.Canvas(), 0, 0);
  SavePng(shot, folder, file, what);
}

// A shown tree list with bands, hidden bands and headers: the customizing form on
// both pages (flat lists), and the list itself while "TC" is being searched.
void CustomizingAndSearchShots(const std::string& folder) {
  std::unique_ptr<TForm> form{CreateComponent<TForm>(nullptr, kCreateNew)};
  form->SetBounds(40, 40, 560, 320);
  auto* tree = CreateComponent<TdxTreeList>(form.get());
  tree->SetParent(form.get());
  tree->SetBounds(0, 0, 420, 220);
  tree->FShowBands = true;
  tree->FShowGrid = true;
  tree->SetLookAndFeel(lfFlat);
  tree->SetOptions(tree->Options() & ~OptionBit(aoRowSelect));
  tree->SetOptionsEx(tree->OptionsEx() | OptionBit(aoAutoSearch));
  tree->Bands().GetItem(0)->SetCaption(L"Pin");
  tree->Bands().Add()->SetCaption(L"Connection");
  for (const wchar_t* hidden : {L"Package", L"Bank"}) {
    TdxTreeListBand* band = tree->Bands().Add();
    band->SetCaption(hidden);
    band->SetVisible(false);
  }
  struct TColumnLook {
    const wchar_t* Caption;
    int Band;
    bool Visible;
  };
  const TColumnLook columns[] = {{L"Name", 0, true},     {L"Net", 1, true},          {L"Number", 0, false},
                                 {L"Direction", 1, false}, {L"Drive strength", 1, false}};
  for (const TColumnLook& c : columns) {
    TdxTreeListColumn* column = tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), form.get());
    column->SetCaption(c.Caption);
    column->SetBandIndex(c.Band);
    column->SetWidth(180);
    column->SetVisible(c.Visible);
  }
  const wchar_t* rows[][2] = {{L"TDI", L"JTAG_TDI"}, {L"TDO", L"JTAG_TDO"}, {L"TCK", L"JTAG_TCK"},
                              {L"TMS", L"JTAG_TMS"}, {L"VCC", L"+3V3"}};
  for (const auto& row : rows) {
    TdxTreeListNode* node = tree->Add();
    node->SetString(0, row[0]);
    node->SetString(1, row[1]);
  }
  tree->FHideSelection = false;
  form->Show();
  SetForegroundWindow(form->Handle());
  tree->SetFocus();
  tree->SetFocusedNode(tree->GetItem(0));
  tree->SetFocusedColumn(0);
  for (wchar_t ch : std::wstring(L"tc")) SendMessageW(tree->Handle(), WM_CHAR, ch, 1);
  CaptureShownWindow(tree->Handle(), folder, "treelist_search.png",
                     "an incremental search: \"TC\" typed, the matched part of \"TCK\" highlighted");

  tree->ColumnsCustomizing();
  TCustomizeForm* window = tree->CustomizingForm();
  auto* pages = static_cast<TPageControl*>(window->FindComponent(L"PageControl"));
  tree->CustomizingBandListBox()->SetItemIndex(0);
  tree->CustomizingHeaderListBox()->SetItemIndex(1);
  SetForegroundWindow(window->Handle());
  CaptureShownWindow(window->Handle(), folder, "treelist_customize_bands.png",
                     "the customizing form, hidden bands (flat look)");
  pages->SetActivePageIndex(1);
  CaptureShownWindow(window->Handle(), folder, "treelist_customize_headers.png",
                     "the customizing form, hidden headers (flat look)");
  tree->EndColumnsCustomizing();
  PumpScreenMessages();
}

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "treelist_screens", kScreenSteps, [](const std::string& folder) {
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(20 + 7 * (kCellWidth + 4), 200);
    TCanvas& canvas = shot.Canvas();
    canvas.Brush().SetColor(clWindow);
    canvas.FillRect(RECT{0, 0, shot.Width(), shot.Height()});
    HDC dc = canvas.Handle();
    SelectObject(dc, canvas.Font().Handle());
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const TdxLookAndFeel looks[] = {lfStandard, lfFlat, lfUltraFlat};
    for (int row = 0; row < 3; ++row)
      for (int i = 0; i < 7; ++i) {
        const THeaderLook& h = kHeaders[i];
        int x = 10 + i * (kCellWidth + 4), y = 10 + row * (kCellHeight + 6);
        DrawHeaderCell(dc, RECT{x, y, x + kCellWidth, y + kCellHeight}, face, h.DropDownState, looks[row], 0,
                       nullptr, h.Sorted, TAlignment::taLeftJustify, false, h.Pushed, h.Caption);
      }
    // Tree buttons, expanded and collapsed, and the flat buttons.
    for (int i = 0; i < 2; ++i) {
      int x = 10 + i * 24;
      DrawTreeButton(canvas, RECT{x, 100, x + 20, 120}, 110, nullptr, i == 1);
      DrawFlatTreeButton(dc, RECT{x + 60, 100, x + 80, 120}, i == 1);
    }
    // The indicator glyphs, centred in cells of the indicator's width.
    TImageList* images = GetIndicatorImages();
    for (int i = 0; i < images->Count(); ++i) {
      RECT cell{150 + i * 16, 100, 150 + i * 16 + 12, 120};
      DrawHeaderFrame(dc, cell, face, lfStandard, 0, false);
      DrawImageCentered(canvas, RECT{150 + i * 16, 100, 150 + i * 16 + 12, 120}, images, i);
    }
    RECT focus{300, 100, 400, 120};
    DrawFocusFrame(dc, focus);
    InvertFrame(dc, RECT{420, 100, 520, 120});
    SavePng(shot, folder, "treelist_drawing.png", "header cells, tree buttons and indicator glyphs");
    PaintTreeShot(folder, lfStandard, psStandard, "treelist_standard.png", "a painted tree list, standard look");
    PaintTreeShot(folder, lfFlat, psStandard, "treelist_flat.png", "a painted tree list, flat look");
    PaintTreeShot(folder, lfUltraFlat, psOutlook, "treelist_ultraflat_outlook.png",
                  "a painted tree list, ultra-flat look in the Outlook style");
    PaintPublishedShot(folder, lfStandard, "treelist_published_standard.png",
                       "a published tree list with bands (one fixed), text and mask columns, sort marks and a multi-selection, standard look");
    PaintPublishedShot(folder, lfFlat, "treelist_published_flat.png",
                       "a published tree list with bands (one fixed), text and mask columns, sort marks and a multi-selection, flat look");
    PaintPublishedShot(folder, lfUltraFlat, "treelist_published_ultraflat.png",
                       "a published tree list with bands (one fixed), text and mask columns, sort marks and a multi-selection, ultra-flat look");
    PaintColumnTypesShot(folder, lfStandard, "treelist_column_types_standard.png",
                         "one column of each type with a focused row, standard look");
    PaintColumnTypesShot(folder, lfFlat, "treelist_column_types_flat.png",
                         "one column of each type with a focused row, flat look");
    PaintColumnTypesShot(folder, lfUltraFlat, "treelist_column_types_ultraflat.png",
                         "one column of each type with a focused row, ultra-flat look");
    CustomizingAndSearchShots(folder);
  });
}
