#include "dxInsCus.h"

#include <algorithm>

#include "TreeListCustomize.h"
#include "dxInCNew.h"
#include "dxUtils.h"

namespace tvk {

namespace {

void BuildInspectorCustomizeForm(TComponent& root) {
  auto& form = static_cast<TdxInspectorCustomizeForm&>(root);
  form.SetCaption(L"Customize");
  form.SetBounds(490, 111, 188, 247);
  form.SetBorderIcons(biSystemMenu);
  form.SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
  form.SetFormStyle(TFormStyle::fsStayOnTop);
  form.SetColor(clBtnFace);
  form.Font().SetName(L"MS Sans Serif");
  form.Font().SetHeight(-11);
  form.Font().SetColor(clWindowText);
  form.OnClose = [&form](TObject* sender, TCloseAction& action) { form.FormClose(sender, action); };
  form.OnCreate = [&form](TObject* sender) { form.FormCreate(sender); };
  form.OnHide = [&form](TObject* sender) { form.FormHide(sender); };
  form.OnShow = [&form](TObject* sender) { form.FormShow(sender); };

  form.PageControl = CreateComponent<TPageControl>(&form);
  form.PageControl->SetName(L"PageControl");
  form.PageControl->SetParent(&form);
  form.PageControl->SetAlign(TAlign::alClient);
  auto sheet = [&form](TTabSheet*& field, const wchar_t* name, const wchar_t* caption) {
    field = CreateComponent<TTabSheet>(&form);
    field->SetName(name);
    field->SetCaption(caption);
    field->SetPageControl(form.PageControl);
  };
  sheet(form.tsRows, L"tsRows", L"  Rows  ");
  sheet(form.tsCategories, L"tsCategories", L"  Categories  ");
  form.PageControl->SetActivePage(form.tsRows);

  form.Panel = CreateComponent<TPanel>(&form);
  form.Panel->SetName(L"Panel");
  form.Panel->SetParent(form.tsCategories);
  form.Panel->SetAlign(TAlign::alBottom);
  form.Panel->SetBounds(0, 0, 100, 35);
  form.Panel->SetBevelOuter(TBevelCut::bvNone);
  auto button = [&form](TButton*& field, const wchar_t* name, const wchar_t* caption, int left,
                        void (TdxInspectorCustomizeForm::*click)(TObject*)) {
    field = CreateComponent<TButton>(&form);
    field->SetName(name);
    field->SetParent(form.Panel);
    field->SetBounds(left, 7, 75, 23);
    field->SetCaption(caption);
    field->OnClick = [&form, click](TObject* sender) { (form.*click)(sender); };
  };
  button(form.BNew, L"BNew", L"&New...", 7, &TdxInspectorCustomizeForm::BNewClick);
  button(form.BDelete, L"BDelete", L"&Delete", 90, &TdxInspectorCustomizeForm::BDeleteClick);
}

}  // namespace

TVK_DESIGN(TdxInspectorCustomizeForm, BuildInspectorCustomizeForm);

// ---- lists

TdxInspectorCustomizingListBox::TdxInspectorCustomizingListBox(TComponent* owner) : TListBox(owner) {
  SetStyle(TListBoxStyle::lbOwnerDrawFixed);
  SetControlStyle(ControlStyle() | csDisplayDragImage);
}

void TdxInspectorCustomizingListBox::CreateParams(TCreateParams& params) {
  TListBox::CreateParams(params);
  params.WindowClassStyle |= CS_HREDRAW | CS_VREDRAW;
  if (FFlat) {
    params.Style &= ~WS_BORDER;
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
  }
}

void TdxInspectorCustomizingListBox::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  RecreateWnd();
}

void TdxInspectorCustomizingListBox::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  Canvas().Font().Assign(Font());
  HDC dc = GetDC(nullptr);
  TCanvas measure;
  measure.SetHandle(dc);
  measure.Font().Assign(Font());
  SetItemHeight(measure.TextHeight(L"Wg") + 4);
  measure.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
}

void TdxInspectorCustomizingListBox::AddRowItem(const WideString& text, int rowIndex) {
  FPending.push_back({text, rowIndex});
}

int TdxInspectorCustomizingListBox::RowIndexOf(int index) {
  if (index < 0 || index >= Items().Count()) return -1;
  return int(reinterpret_cast<intptr_t>(Items().Objects(index)));
}

void TdxInspectorCustomizingListBox::Rebuild() {
  if (FInspector) {
    SetColor(FInspector->Color());
    SetFlat(FInspector->Flat());
  }
  const int top = TopIndex();
  const int selected = ItemIndex();
  Items().BeginUpdate();
  Items().Clear();
  FPending.clear();
  FillItems();
  // Alphabetical, whatever order the rows have.
  std::stable_sort(FPending.begin(), FPending.end(), [](const auto& a, const auto& b) {
    return CompareTextOrdinal(a.first, b.first, true) < 0;
  });
  for (const auto& [text, rowIndex] : FPending)
    Items().AddObject(text, reinterpret_cast<TObject*>(static_cast<intptr_t>(rowIndex)));
  FPending.clear();
  Items().EndUpdate();
  if (selected >= 0 && Items().Count() > 0) {
    SetTopIndex(top);
    SetItemIndex(std::min(selected, Items().Count() - 1));
    Click();
  }
}

void TdxInspectorCustomizingListBox::LocateByRowIndex(int rowIndex) {
  if (rowIndex == -1) return;
  for (int i = 0; i < Items().Count(); ++i)
    if (RowIndexOf(i) == rowIndex) {
      SetItemIndex(i);
      Click();
      return;
    }
}

void TdxInspectorRowsCustomizingListBox::FillItems() {
  TCustomdxInspectorControl* insp = Inspector();
  if (!insp) return;
  for (int i = 0; i < insp->TotalRowCount(); ++i) {
    TdxInspectorRow* row = insp->Rows(i);
    if (!row->Visible() && !row->IsCategory() && !insp->RowInComplexRow(row))
      AddRowItem(insp->RowDisplayCaption(row), i);
  }
}

void TdxInspectorCategoriesCustomizingListBox::FillItems() {
  TCustomdxInspectorControl* insp = Inspector();
  if (!insp) return;
  for (int i = 0; i < insp->TotalRowCount(); ++i) {
    TdxInspectorRow* row = insp->Rows(i);
    if (!row->Visible() && row->IsCategory() && !insp->RowInComplexRow(row)) AddRowItem(row->Caption(), i);
  }
}

void TdxInspectorCustomizingListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  TCanvas& canvas = Canvas();
  HDC dc = canvas.Handle();
  const bool selected = (state & odSelected) != 0;
  HBRUSH back = CreateSolidBrush(ColorToRGB(Color()));
  RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
  FillRect(dc, &bottom, back);
  RECT r{rect.left, rect.top, rect.right, rect.bottom - 1};
  HBRUSH shadow = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  FrameRect(dc, &r, shadow);
  InflateRect(&r, -1, -1);
  FillRect(dc, &r, selected ? shadow : back);
  DeleteObject(shadow);
  DeleteObject(back);
  canvas.Font().Assign(Font());
  SetTextColor(dc, selected ? GetSysColor(COLOR_BTNHIGHLIGHT) : ColorToRGB(Font().Color()));
  SetBkMode(dc, TRANSPARENT);
  InflateRect(&r, -1, 0);
  HGDIOBJ oldFont = SelectObject(dc, canvas.Font().Handle());
  const WideString text = index >= 0 && index < Items().Count() ? Items().Get(index) : WideString();
  DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  if (state & odFocused) DrawFocusRect(dc, &rect);
}

void TdxInspectorCustomizingListBox::EndPress() {
  FDragFlag = false;
  FDragItemIndex = -1;
}

void TdxInspectorCustomizingListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TListBox::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft) {
    EndPress();
    return;
  }
  const int at = ItemAtPos(POINT{x, y}, true);
  if (at >= 0 && at == ItemIndex() && FInspector && FInspector->HandleAllocated() &&
      IsWindowVisible(FInspector->Handle())) {
    FPointDragging = POINT{x, y};
    FDragFlag = true;
    FDragItemIndex = at;
  }
}

void TdxInspectorCustomizingListBox::MouseMove(TShiftState shift, int x, int y) {
  TListBox::MouseMove(shift, x, y);
  if (!FDragFlag || (std::abs(x - FPointDragging.x) <= 3 && std::abs(y - FPointDragging.y) <= 3)) return;
  FDragFlag = false;
  const int rowIndex = RowIndexOf(FDragItemIndex);
  FInspector->SetDragRow(rowIndex >= 0 && rowIndex < FInspector->TotalRowCount() ? FInspector->Rows(rowIndex) : nullptr);
  FInspector->BeginDrag(false);
}

void TdxInspectorCustomizingListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TListBox::MouseUp(button, shift, x, y);
  EndPress();
}

void TdxInspectorCustomizingListBox::WMCaptureChanged(TMessage& message) {
  EndPress();
  TVK_INHERITED(message);
}

void TdxInspectorCustomizingListBox::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  (void)x;
  (void)y;
  (void)state;
  accept = FInspector && source && source == FInspector->CurrentDragObject();
}

void TdxInspectorCustomizingListBox::DragDrop(TObject* source, int x, int y) {
  if (FInspector && source && source == FInspector->CurrentDragObject()) {
    const POINT screen = ClientToScreen(POINT{x, y});
    const POINT p = FInspector->ScreenToClient(screen);
    FInspector->DropAtClientPoint(p);
    return;
  }
  TListBox::DragDrop(source, x, y);
}

void TdxInspectorCustomizingListBox::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  if (FFlat && message.WParam) ShrinkClientByThinEdge(message);
}

void TdxInspectorCustomizingListBox::WMNCPaint(TMessage& message) {
  TVK_INHERITED(message);
  if (FFlat) PaintThinSunkenEdge(Handle());
}

TVK_MESSAGE_MAP(TdxInspectorCustomizingListBox, {CM_FONTCHANGED, &TdxInspectorCustomizingListBox::CMFontChanged},
                {WM_CAPTURECHANGED, &TdxInspectorCustomizingListBox::WMCaptureChanged},
                {WM_NCCALCSIZE, &TdxInspectorCustomizingListBox::WMNCCalcSize},
                {WM_NCPAINT, &TdxInspectorCustomizingListBox::WMNCPaint})

// ---- the window

TdxInspectorCustomizeForm::~TdxInspectorCustomizeForm() {
  if (FInspector) FInspector->ForgetCustomizeForm(this);
}

void TdxInspectorCustomizeForm::FormCreate(TObject* sender) {
  (void)sender;
  FRowsCustomizingListBox = CreateComponent<TdxInspectorRowsCustomizingListBox>(tsRows);
  FRowsCustomizingListBox->SetParent(tsRows);
  FRowsCustomizingListBox->SetAlign(TAlign::alClient);
  FCategoriesCustomizingListBox = CreateComponent<TdxInspectorCategoriesCustomizingListBox>(tsCategories);
  FCategoriesCustomizingListBox->SetParent(tsCategories);
  FCategoriesCustomizingListBox->SetAlign(TAlign::alClient);
  FCategoriesCustomizingListBox->OnClick = [this](TObject* s) { CategoriesListBoxClick(s); };
}

void TdxInspectorCustomizeForm::SetInspector(TCustomdxInspectorControl* value) {
  if (value == FInspector) return;
  FInspector = value;
  Refresh();
}

void TdxInspectorCustomizeForm::Refresh() {
  ++RebuildCount;
  if (FInspector) Font().SetName(FInspector->Font().Name());
  if (FRowsCustomizingListBox) {
    FRowsCustomizingListBox->SetInspector(FInspector);
    FRowsCustomizingListBox->Rebuild();
  }
  if (FCategoriesCustomizingListBox) {
    FCategoriesCustomizingListBox->SetInspector(FInspector);
    FCategoriesCustomizingListBox->Rebuild();
  }
  BDelete->SetEnabled(FCategoriesCustomizingListBox && FCategoriesCustomizingListBox->ItemIndex() >= 0);
}

void TdxInspectorCustomizeForm::WMSelectPage(TMessage& message) {
  if (FCategoriesCustomizingListBox) PageControl->SetActivePage(message.WParam ? tsCategories : tsRows);
  message.Result = 0;
}

void TdxInspectorCustomizeForm::WMRebuildLists(TMessage& message) {
  Refresh();
  message.Result = 0;
}

void TdxInspectorCustomizeForm::FormShow(TObject* sender) {
  (void)sender;
  if (!FInspector) return;
  RECT r{};
  GetWindowRect(FInspector->Handle(), &r);
  RECT work{};
  GetMonitorWorkArea(POINT{Left(), Top()}, work);
  int left = r.right;
  if (work.right - r.right < r.left - work.left) left = r.left - Width();
  const int top = r.bottom - Height();
  SetBounds(std::max(left, 0), std::max(top, 0), Width(), Height());
  FInspector->DoShowCustomizeForm();
}

void TdxInspectorCustomizeForm::FormHide(TObject* sender) {
  (void)sender;
  if (!FInspector) return;
  FInspector->DoHideCustomizeForm();
  FInspector->ForgetCustomizeForm(this);
  FInspector = nullptr;
}

void TdxInspectorCustomizeForm::FormClose(TObject* sender, TCloseAction& action) {
  // Closing hides: the inspector remembers the place and forgets the window, which then goes.
  FormHide(sender);
  action = TCloseAction::caFree;
}

void TdxInspectorCustomizeForm::BNewClick(TObject* sender) {
  (void)sender;
  if (!FInspector) return;
  WideString caption;
  if (!dxInspectorNewCategory(this, caption)) return;
  int rowIndex = -1;
  {
    FInspector->BeginUpdate();
    struct TEnd {
      TCustomdxInspector* I;
      ~TEnd() { I->EndUpdate(); }
    } end{FInspector};
    TdxInspectorRow* row = FInspector->CreateRow(FInspector->GetDefaultRowClass());
    row->SetCaption(caption);
    row->SetIsCategory(true);
    row->SetVisible(false);
    rowIndex = FInspector->IndexOfRow(row);
  }
  Refresh();
  if (FCategoriesCustomizingListBox) FCategoriesCustomizingListBox->LocateByRowIndex(rowIndex);
}

void TdxInspectorCustomizeForm::CategoriesListBoxClick(TObject* sender) {
  (void)sender;
  BDelete->SetEnabled(FCategoriesCustomizingListBox->ItemIndex() >= 0);
}

void TdxInspectorCustomizeForm::BDeleteClick(TObject* sender) {
  (void)sender;
  if (!FInspector || !FCategoriesCustomizingListBox) return;
  const int rowIndex = FCategoriesCustomizingListBox->RowIndexOf(FCategoriesCustomizingListBox->ItemIndex());
  if (rowIndex >= 0 && rowIndex < FInspector->TotalRowCount()) delete FInspector->Rows(rowIndex);
  Refresh();
}

TVK_MESSAGE_MAP(TdxInspectorCustomizeForm, {WM_DXINSPECTOR_SELECTPAGE, &TdxInspectorCustomizeForm::WMSelectPage},
                {WM_DXINSPECTOR_REBUILDLISTS, &TdxInspectorCustomizeForm::WMRebuildLists})

}  // namespace tvk
