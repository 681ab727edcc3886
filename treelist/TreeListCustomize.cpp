#include "TreeListCustomize.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "ComCtrls.h"
#include "TreeListRoutines.h"

namespace tvk {

namespace {

// A drag starts once the pointer is more than this many pixels from the press.
constexpr int kCustomizingDragThreshold = 3;
// The lists are this many widths of "0" wide.
constexpr int kCustomizingListZeroWidths = 28;

// The width of "0" in Font, measured on the screen.
int ZeroWidthIn(TFont& font) {
  HDC dc = GetDC(nullptr);
  TCanvas measure;
  measure.SetHandle(dc);
  measure.Font().Assign(font);
  const int width = measure.TextWidth(L"0");
  measure.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  return width;
}

bool IsCustomizeDragState(TdxTreeListState state) { return state == tsColumnDragging || state == tsBandDragging; }

}  // namespace

// ---- the thin sunken edge of a flat list

void ShrinkClientByThinEdge(TMessage& message) {
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
  InflateRect(&params->rgrc[0], -1, -1);
}

void PaintThinSunkenEdge(HWND window) {
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  RECT r;
  GetWindowRect(window, &r);
  OffsetRect(&r, -r.left, -r.top);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  ReleaseDC(window, dc);
}

// ---- the list boxes

TdxCustomizingListBox::TdxCustomizingListBox(TComponent* owner) : TListBox(owner) {
  SetStyle(TListBoxStyle::lbOwnerDrawFixed);
}

void TdxCustomizingListBox::CreateParams(TCreateParams& params) {
  TListBox::CreateParams(params);
  if (FFlat) {
    params.Style &= ~DWORD(WS_BORDER);
    params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
  }
}

void TdxCustomizingListBox::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxCustomizingListBox::SetTreeList(TCustomdxTreeList* value) {
  if (value == FTreeList) return;
  FTreeList = value;
  RefreshItems();
}

void TdxCustomizingListBox::RefreshItems() {
  const int top = TopIndex();
  const int selected = ItemIndex();
  Items().BeginUpdate();
  try {
    Items().Clear();
    if (FTreeList) FillItems(Items());
  } catch (...) {
    Items().EndUpdate();
    throw;
  }
  Items().EndUpdate();
  if (selected >= 0 && Items().Count() > 0) {
    SetItemIndex(std::min(selected, Items().Count() - 1));
    SetTopIndex(top);
  }
}

void TdxCustomizingListBox::CancelDragging() {
  if (FTreeList) EndDragItem(false);
  FDragFlag = false;
  FDragItemIndex = -1;
}

void TdxCustomizingListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  TCanvas& canvas = Canvas();
  HDC dc = canvas.Handle();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  if (index < 0 || index >= Items().Count() || !FTreeList) {
    FillRect(dc, &rect, canvas.Brush().Handle());
    return;
  }
  const TdxLookAndFeel look = FTreeList->LookAndFeel();
  HGDIOBJ oldFont = SelectObject(dc, canvas.Font().Handle());
  SetTextColor(dc, ColorToRGB(Font().Color()));
  DrawHeaderCell(dc, rect, canvas.Brush().Handle(), 0, look, 0, nullptr, csNone, TAlignment::taLeftJustify, FMultiLine,
                 false, Items().Get(index));
  SelectObject(dc, oldFont);
  TCustomForm* form = GetParentForm(this);
  const bool active = form && form->HandleAllocated() && GetActiveWindow() == form->Handle();
  if ((state & odSelected) && active) {
    if (look == lfStandard) {
      RECT focus = rect;
      InflateRect(&focus, -2, -2);
      DrawFocusRect(dc, &focus);
    } else {
      InvertRect(dc, &rect);
    }
  }
}

void TdxCustomizingListBox::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE) CancelDragging();
  TListBox::KeyDown(key, shift);
}

void TdxCustomizingListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    // Only a press on the item already selected may start a drag; the press selects any other.
    const int selected = FSelectedBeforePress;
    if (Items().Count() > 0 && selected >= 0 && ItemAtPos(POINT{x, y}, true) == selected && FTreeList &&
        FTreeList->HandleAllocated() && IsWindowVisible(FTreeList->Handle())) {
      FPointDragging = POINT{x, y};
      FDragFlag = true;
      FDragItemIndex = selected;
    }
  } else {
    CancelDragging();
  }
  TListBox::MouseDown(button, shift, x, y);
}

void TdxCustomizingListBox::MouseMove(TShiftState shift, int x, int y) {
  if (FDragFlag && FDragItemIndex != -1 &&
      (std::abs(x - FPointDragging.x) > kCustomizingDragThreshold ||
       std::abs(y - FPointDragging.y) > kCustomizingDragThreshold)) {
    FDragFlag = false;
    StartDragItem(FDragItemIndex);
  }
  TListBox::MouseMove(shift, x, y);
}

void TdxCustomizingListBox::WMLButtonUp(TMessage& message) {
  // The drop comes first: the system list lets the capture go in its own handling, and
  // losing the capture cancels a running drag.
  EndDragItem(true);
  FDragFlag = false;
  FDragItemIndex = -1;
  TVK_INHERITED(message);
}

void TdxCustomizingListBox::WMMouseMove(TMessage& message) {
  // While the tree list runs the drag, the list holds the capture and feeds it.
  if (FTreeList && IsCustomizeDragState(FTreeList->State())) {
    DragItemMove();
    return;
  }
  TVK_INHERITED(message);
}

void TdxCustomizingListBox::WMLButtonDown(TMessage& message) {
  // The system list selects the pressed item before MouseDown hears of the press.
  FSelectedBeforePress = ItemIndex();
  TVK_INHERITED(message);
}

void TdxCustomizingListBox::WMCaptureChanged(TMessage& message) {
  CancelDragging();
  TVK_INHERITED(message);
}

void TdxCustomizingListBox::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  if (FFlat && message.WParam) ShrinkClientByThinEdge(message);
}

void TdxCustomizingListBox::WMNCPaint(TMessage& message) {
  TVK_INHERITED(message);
  if (FFlat) PaintThinSunkenEdge(Handle());
}

TVK_MESSAGE_MAP(TdxCustomizingListBox, {WM_MOUSEMOVE, &TdxCustomizingListBox::WMMouseMove},
                {WM_LBUTTONDOWN, &TdxCustomizingListBox::WMLButtonDown},
                {WM_LBUTTONUP, &TdxCustomizingListBox::WMLButtonUp},
                {WM_CAPTURECHANGED, &TdxCustomizingListBox::WMCaptureChanged},
                {WM_NCCALCSIZE, &TdxCustomizingListBox::WMNCCalcSize},
                {WM_NCPAINT, &TdxCustomizingListBox::WMNCPaint})

void TdxBandsListBox::RefreshItems() {
  if (TCustomdxTreeList* tree = TreeList()) {
    if (tree->FBandHeight > 0) SetItemHeight(tree->FBandHeight);
    FMultiLine = tree->GetBandRowCount() > 1;
  }
  TdxCustomizingListBox::RefreshItems();
}

void TdxBandsListBox::FillItems(TStrings& items) {
  TCustomdxTreeList& tree = *TreeList();
  for (int band = 0, n = tree.GetBandCount(); band < n; ++band) {
    if (!tree.IsBandHidden(band)) continue;
    WideString caption;
    tree.GetAbsoluteBandCaption(band, caption);
    items.AddObject(caption, reinterpret_cast<TObject*>(static_cast<intptr_t>(band)));
  }
}

void TdxHeadersListBox::RefreshItems() {
  if (TCustomdxTreeList* tree = TreeList()) {
    if (tree->FHeaderRowHeight > 0) SetItemHeight(tree->FHeaderRowHeight);
    FMultiLine = tree->GetMinHeaderPanelRowCount() > 1;
  }
  TdxCustomizingListBox::RefreshItems();
}

void TdxHeadersListBox::FillItems(TStrings& items) {
  TCustomdxTreeList& tree = *TreeList();
  for (int column = 0, n = tree.GetValueCount(); column < n; ++column) {
    if (!tree.IsHeaderInCustomizeBox(column)) continue;
    WideString caption;
    tree.GetColumnCaption(column, caption);
    items.AddObject(caption, reinterpret_cast<TObject*>(static_cast<intptr_t>(column)));
  }
}

namespace {
int ItemIndexOf(TStrings& items, int index) {
  return static_cast<int>(reinterpret_cast<intptr_t>(items.Objects(index)));
}
}  // namespace

// A hidden band is dragged out onto the band panel by the tree list's own band move.
void TdxBandsListBox::StartDragItem(int index) {
  TCustomdxTreeList* tree = TreeList();
  if (!tree || !tree->FShowBands || index < 0 || index >= Items().Count()) return;
  tree->FDragAbsoluteBandIndex = ItemIndexOf(Items(), index);
  tree->StartBandDragging(tree->GetVisibleBandIndex(tree->FDragAbsoluteBandIndex));
}

void TdxBandsListBox::DragItemMove() {
  if (TCustomdxTreeList* tree = TreeList()) tree->BandDragMove();
}

void TdxBandsListBox::EndDragItem(bool drop) {
  TCustomdxTreeList* tree = TreeList();
  if (tree && tree->State() == tsBandDragging) tree->EndBandDragging(drop);
}

// A hidden header is dragged out onto the header panel when the tree list lets it move.
void TdxHeadersListBox::StartDragItem(int index) {
  TCustomdxTreeList* tree = TreeList();
  if (!tree || !tree->FShowHeaders || index < 0 || index >= Items().Count()) return;
  const int column = ItemIndexOf(Items(), index);
  tree->FDragAbsoluteHeaderIndex = column;
  if (tree->CanHeaderDragging(column))
    tree->StartHeaderDragging(column);
  else
    tree->FDragAbsoluteHeaderIndex = -1;
}

void TdxHeadersListBox::DragItemMove() {
  if (TCustomdxTreeList* tree = TreeList()) tree->HeaderDragMove();
}

void TdxHeadersListBox::EndDragItem(bool drop) {
  TCustomdxTreeList* tree = TreeList();
  if (tree && tree->State() == tsColumnDragging) tree->EndHeaderDragging(drop);
}

// ---- the form

TCustomizeForm::TCustomizeForm(TComponent* owner, TCustomForm* parentForm)
    : TForm(owner, kCreateNew), FParentForm(parentForm) {}

TCustomizeForm* TCustomizeForm::CreateForm(TComponent* owner, TCustomForm* parentForm) {
  return CreateComponent<TCustomizeForm>(owner, parentForm);
}

void TCustomizeForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // Owned by the parent form's window, so it stays above that form.
  if (FParentForm) params.WndParent = FParentForm->Handle();
}

// ---- the tree list's side

void TCustomdxTreeList::ColumnsCustomizing() {
  EndColumnsCustomizing();
  if (!FShowBands && !FShowHeaders) return;
  if (GetBandCount() == 0 && GetValueCount() == 0) return;
  const bool simple = FSimpleCustomizeBox || (GetBandCount() == 1 && !FShowBands);
  TCustomForm* parentForm = GetParentForm(this);
  const TTreeListUnitState& texts = TreeListUnitState();

  std::unique_ptr<TCustomizeForm> form(TCustomizeForm::CreateForm(nullptr, parentForm));
  form->SetCaption(texts.CustomizeText);
  form->SetBorderStyle(TFormBorderStyle::bsToolWindow);
  form->SetBorderIcons(biSystemMenu);
  form->SetFormStyle(TFormStyle::fsStayOnTop);
  form->Font().Assign(Font());
  const int itemHeight = FTextHeight + 5 + (FLookAndFeel == lfStandard ? 1 : 0);
  const int listHeight = FCustomizingRowCount * itemHeight;
  form->SetClientSize(kCustomizingListZeroWidths * ZeroWidthIn(form->Font()), listHeight + 4);
  form->SetColor(clBtnFace);
  form->OnClose = [this](TObject*, TCloseAction& action) {
    action = TCloseAction::caFree;
    CustomizingFormClose();
  };
  form->OnActivate = [this](TObject*) { HideEditor(); };

  // No maximize, minimize, size or restore: the window keeps the size of its lists.
  HMENU menu = GetSystemMenu(form->Handle(), FALSE);
  DeleteMenu(menu, 7, MF_BYPOSITION);
  DeleteMenu(menu, 5, MF_BYPOSITION);
  for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE, SC_RESTORE}) DeleteMenu(menu, command, MF_BYCOMMAND);

  TdxCustomizingListBox* first = nullptr;
  auto place = [&](TdxCustomizingListBox* box, TWinControl* parent) {
    box->SetParent(parent);
    box->SetAlign(TAlign::alClient);
    box->SetSorted(true);
    box->SetColor(form->Color());
    box->SetFlat(FLookAndFeel != lfStandard);
    box->SetTreeList(this);
    if (first) return;
    first = box;
    // The list itself, not the form, gets the 28 widths of "0" and the rows.
    const RECT client = box->ClientRect();
    const int wantedWidth = kCustomizingListZeroWidths * ZeroWidthIn(box->Font());
    form->SetClientSize(form->ClientWidth() + wantedWidth - client.right,
                        form->ClientHeight() + listHeight - client.bottom);
  };
  if (simple) {
    FCustomizingHeaderListBox = new TdxHeadersListBox(form.get());
    place(FCustomizingHeaderListBox, form.get());
  } else {
    auto* pages = CreateComponent<TPageControl>(form.get());
    pages->SetName(L"PageControl");
    pages->SetParent(form.get());
    pages->SetAlign(TAlign::alClient);
    pages->SetHotTrack(true);
    auto sheet = [&](const wchar_t* name, const WideString& caption) {
      auto* page = CreateComponent<TTabSheet>(form.get());
      page->SetName(name);
      page->SetCaption(caption);
      page->SetPageControl(pages);
      return page;
    };
    TTabSheet* bands = sheet(L"tsBands", texts.BandsText);
    TTabSheet* headers = sheet(L"tsHeaders", texts.HeadersText);
    pages->SetActivePage(bands);
    FCustomizingBandListBox = new TdxBandsListBox(form.get());
    place(FCustomizingBandListBox, bands);
    FCustomizingHeaderListBox = new TdxHeadersListBox(form.get());
    place(FCustomizingHeaderListBox, headers);
  }

  if (FCustomizingPos.x == -1000 || FCustomizingPos.y == -1000) {
    // First at the bottom-right corner of the parent form.
    RECT corner{};
    if (parentForm && parentForm->HandleAllocated())
      GetWindowRect(parentForm->Handle(), &corner);
    else if (HandleAllocated())
      GetWindowRect(Handle(), &corner);
    form->SetBounds(std::max(0, int(corner.right) - form->Width()), std::max(0, int(corner.bottom) - form->Height()),
                    form->Width(), form->Height());
  } else {
    form->SetBounds(FCustomizingPos.x, FCustomizingPos.y, form->Width(), form->Height());
  }
  auto reselect = [](TdxCustomizingListBox* box, int index) {
    if (box && index >= 0 && index < box->Items().Count()) box->SetItemIndex(index);
  };
  reselect(FCustomizingBandListBox, FCustomizingLastBandIndex);
  reselect(FCustomizingHeaderListBox, FCustomizingLastHeaderIndex);
  FCustomizingForm = form.release();
  FCustomizingForm->Show();
}

void TCustomdxTreeList::EndColumnsCustomizing() {
  if (FCustomizingForm) FCustomizingForm->Close();
}

bool TCustomdxTreeList::PointInCustomizingForm(POINT p) {
  if (!FCustomizingForm || !FCustomizingForm->HandleAllocated() || !IsWindowVisible(FCustomizingForm->Handle()))
    return false;
  RECT client = FCustomizingForm->ClientRect();
  MapWindowPoints(FCustomizingForm->Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  return PtInRect(&client, p) != 0;
}

void TCustomdxTreeList::CustomizingFormClose() {
  TCustomizeForm* form = FCustomizingForm;
  if (!form) return;
  FCustomizingPos = POINT{form->Left(), form->Top()};
  FCustomizingLastBandIndex = FCustomizingBandListBox ? FCustomizingBandListBox->ItemIndex() : -1;
  FCustomizingLastHeaderIndex = FCustomizingHeaderListBox ? FCustomizingHeaderListBox->ItemIndex() : -1;
  // The form frees itself later; until then it must not reach this tree list.
  form->OnActivate = nullptr;
  for (TdxCustomizingListBox* box : {static_cast<TdxCustomizingListBox*>(FCustomizingBandListBox),
                                     static_cast<TdxCustomizingListBox*>(FCustomizingHeaderListBox)})
    if (box) box->SetTreeList(nullptr);
  form->Hide();
  FCustomizingForm = nullptr;
  FCustomizingBandListBox = nullptr;
  FCustomizingHeaderListBox = nullptr;
  if (OnEndColumnsCustomizing) OnEndColumnsCustomizing(this);
}

void TCustomdxTreeList::DestroyCustomizingForm() {
  std::unique_ptr<TCustomizeForm> form(FCustomizingForm);
  FCustomizingForm = nullptr;
  FCustomizingBandListBox = nullptr;
  FCustomizingHeaderListBox = nullptr;
  if (!form) return;
  form->OnClose = nullptr;
  form->OnActivate = nullptr;
}

void TCustomdxTreeList::RefreshCustomizingListBoxes() {
  for (TdxCustomizingListBox* box : {static_cast<TdxCustomizingListBox*>(FCustomizingBandListBox),
                                     static_cast<TdxCustomizingListBox*>(FCustomizingHeaderListBox)}) {
    if (!box) continue;
    box->SetFlat(FLookAndFeel != lfStandard);
    box->RefreshItems();
  }
}

}  // namespace tvk
