#include "XPLists.h"

#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "XPTypes.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace tvk {

namespace {

bool ShowsHorzBarAlways(TXPScrollStyle style) {
  return style == TXPScrollStyle::pssHorizontal || style == TXPScrollStyle::pssBoth;
}
bool ShowsHorzBarOnNeed(TXPScrollStyle style) {
  return style == TXPScrollStyle::pssAuto || style == TXPScrollStyle::pssAutoHorizontal;
}
bool ShowsVertBarAlways(TXPScrollStyle style) {
  return style == TXPScrollStyle::pssVertical || style == TXPScrollStyle::pssBoth;
}
bool ShowsVertBarOnNeed(TXPScrollStyle style) {
  return style == TXPScrollStyle::pssAuto || style == TXPScrollStyle::pssAutoVertical;
}

// The auto-scroll pace by how far the mouse is above or below the rows.
unsigned ScrollTimerInterval(int distance) {
  if (distance <= 50) return 300;
  if (distance <= 100) return 75;
  return 25;
}

}  // namespace

// ---- Item records

TXPListItem::~TXPListItem() { delete FStdObject; }

void TXPListItem::SetSelected(bool value) {
  if (value == FSelected) return;
  FSelected = value;
  if (FStrings) FStrings->ItemChanged();
}

// ---- Item list

TXPListBoxStrings::TXPListBoxStrings(TCustomXPListBox* listBox) : FListBox(listBox) {
  SetDuplicates(TDuplicates::dupAccept);
}

TXPListBoxStrings::~TXPListBoxStrings() {
  for (int i = 0; i < Count(); ++i) FreeRecord(i);
}

void TXPListBoxStrings::FreeRecord(int index) {
  if (TXPListItem* item = Item(index)) {
    // The user's object stays the user's.
    item->SetStdObject(nullptr);
    delete item;  // the slot goes with the entry right after
  }
}

TXPListItem* TXPListBoxStrings::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return static_cast<TXPListItem*>(TStringList::Objects(index));
}

TObject* TXPListBoxStrings::Objects(int index) const {
  TXPListItem* item = static_cast<TXPListItem*>(TStringList::Objects(index));
  return item ? item->StdObject() : nullptr;
}

void TXPListBoxStrings::PutObject(int index, TObject* object) {
  if (TXPListItem* item = static_cast<TXPListItem*>(TStringList::Objects(index))) {
    item->SetStdObject(object);
    Changed();
  } else {
    TStringList::PutObject(index, new TXPListItem(this, object, false));
  }
}

void TXPListBoxStrings::InsertItem(int index, const WideString& s, TObject* object) {
  auto item = std::make_unique<TXPListItem>(this, object, false);
  TStringList::InsertItem(index, s, item.get());
  item.release();
  // The current item stays current wherever the new one went.
  if (FListBox->FItemIndex >= index) ++FListBox->FItemIndex;
  if (FInUpdating) return;
  FListBox->UpdateScrollBars();
  FListBox->RepaintFrom(index);
}

int TXPListBoxStrings::AddObject(const WideString& s, TObject* object) {
  bool hadCurrent = FListBox->FItemIndex >= 0;
  int index = TStringList::AddObject(s, object);
  if (!hadCurrent && !FInUpdating && Count() > 0) {
    ++FListBox->FSuppressChange;
    FListBox->SetItemIndex(0);
    --FListBox->FSuppressChange;
    FListBox->FirstItemMadeCurrent();
  }
  return index;
}

void TXPListBoxStrings::Insert(int index, const WideString& s) { TStringList::Insert(index, s); }

void TXPListBoxStrings::Delete(int index) {
  if (index >= 0 && index < Count()) FreeRecord(index);
  TStringList::Delete(index);
  if (FInUpdating) return;
  FListBox->SetTopIndex(FListBox->FTopIndex);
  ++FListBox->FSuppressChange;
  FListBox->SetItemIndex(FListBox->FItemIndex);
  --FListBox->FSuppressChange;
  FListBox->UpdateScrollBars();
  FListBox->RepaintFrom(index);
}

void TXPListBoxStrings::Clear() {
  for (int i = 0; i < Count(); ++i) FreeRecord(i);
  TStringList::Clear();  // before anyone reads the freed slots
  FListBox->FItemIndex = -1;
  FListBox->FTopIndex = 0;
  FListBox->FLightedIndex = -1;
  FListBox->FHotIndex = -1;
  FListBox->FPressedIndex = -1;
  if (FInUpdating) return;
  FListBox->UpdateScrollBars();
  FListBox->RepaintAll();
}

void TXPListBoxStrings::Put(int index, const WideString& s) {
  TStringList::Put(index, s);
  if (FInUpdating) return;
  FListBox->RepaintRow(index);
  FListBox->UpdateItemsAreaWidth();
}

void TXPListBoxStrings::Exchange(int a, int b) {
  TStringList::Exchange(a, b);
  if (FInUpdating) return;
  FListBox->RepaintRow(a);
  FListBox->RepaintRow(b);
}

void TXPListBoxStrings::Move(int from, int to) {
  // Delete and insert again: the item gets a fresh record.
  TStrings::Move(from, to);
  if (!FInUpdating) FListBox->RepaintFrom(std::min(from, to));
}

void TXPListBoxStrings::SetUpdateState(bool updating) {
  FInUpdating = updating;
  if (!updating) FListBox->ItemsUpdateEnded();
}

int TXPListBoxStrings::CompareStrings(std::wstring_view a, std::wstring_view b) const {
  // Natural order; letter case counts only where the list says so (a plain list never does).
  if (FListBox->FAlphaNumericSorting) return NaturalCompareStrings(a, b, CaseSensitive());
  return TStringList::CompareStrings(a, b);
}

// ---- List box

TCustomXPListBox::TCustomXPListBox(TComponent* owner) : TXPCustomControl(owner) {
  SetControlStyle(ControlStyle() | csClickEvents | csDoubleClicks);
  SetBounds(Left(), Top(), 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  FItems = std::make_unique<TXPListBoxStrings>(this);
  FItems->OnChange = [this](TObject* sender) { ItemsChange(sender); };

  FVertScrollBar = GetScrollBarClass(this);
  FVertScrollBar->SetBelongsToControl(true);
  FVertScrollBar->SetKind(TScrollBarKind::sbVertical);
  FVertScrollBar->OnChange = [this](TObject* sender) { VertScrollBarChange(sender); };
  FVertScrollBar->SetTabStop(false);
  FVertScrollBar->SetSmallChange(1);
  FVertScrollBar->SetVisible(false);
  FVertScrollBar->SetAlign(TAlign::alRight);
  FVertScrollBar->SetParent(this);

  FHorzScrollBar = GetScrollBarClass(this);
  FHorzScrollBar->SetBelongsToControl(true);
  FHorzScrollBar->SetKind(TScrollBarKind::sbHorizontal);
  FHorzScrollBar->OnChange = [this](TObject* sender) { HorzScrollBarChange(sender); };
  FHorzScrollBar->SetTabStop(false);
  FHorzScrollBar->SetSmallChange(4);
  FHorzScrollBar->SetLargeChange(40);
  FHorzScrollBar->SetVisible(false);
  FHorzScrollBar->SetAlign(TAlign::alClient);

  FBottomPanel = new TXPCustomControl(this);
  FBottomPanel->SetControlStyle((FBottomPanel->ControlStyle() & ~TControlStyle(csAcceptsControls)) | csNoDesignVisible);
  FBottomPanel->SetHeight(FHorzScrollBar->Height());
  FBottomPanel->SetVisible(false);
  FBottomPanel->SetAlign(TAlign::alBottom);
  FBottomPanel->SetParent(this);

  FCorner = new TCustomControl(this);
  FCorner->SetControlStyle((FCorner->ControlStyle() & ~TControlStyle(csAcceptsControls)) | csNoDesignVisible);
  FCorner->SetWidth(FVertScrollBar->Width());
  FCorner->SetVisible(false);
  FCorner->SetAlign(TAlign::alRight);
  FCorner->SetParent(FBottomPanel);
  FHorzScrollBar->SetParent(FBottomPanel);

  FScrollTimer = new TTimer(this);
  FScrollTimer->SetEnabled(false);
  FScrollTimer->SetOnTimer([this](TObject* sender) { ScrollTimerTick(sender); });
}

TCustomXPListBox::~TCustomXPListBox() {
  FItems->OnChange = nullptr;
  FVertScrollBar->OnChange = nullptr;
  FHorzScrollBar->OnChange = nullptr;
  FScrollTimer->SetEnabled(false);
}

void TCustomXPListBox::CreateParams(TCreateParams& params) {
  TXPCustomControl::CreateParams(params);
  if (FBorderStyle == TBorderStyle::bsSingle) {
    if (GetThemeMode() == 0) params.ExStyle |= WS_EX_CLIENTEDGE;
    else params.Style |= WS_BORDER;
  }
  params.Style |= WS_CLIPCHILDREN;
}

void TCustomXPListBox::CreateHandle() {
  TXPCustomControl::CreateHandle();
  UpdateItemHeight();
  UpdateVisibleWidth();
  UpdateVisibleHeight();
  UpdateScrollBars();
}

void TCustomXPListBox::SetItems(const TStrings& value) {
  FItems->Assign(value);
  UpdateScrollBars();
}

void TCustomXPListBox::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomXPListBox::SetSorted(bool value) {
  FItems->SetSorted(value);
  Invalidate();
}

void TCustomXPListBox::SetAlphaNumericSorting(bool value) {
  if (value == FAlphaNumericSorting) return;
  FAlphaNumericSorting = value;
  if (FItems->Sorted()) {
    FItems->SetSorted(false);
    FItems->SetSorted(true);
    Invalidate();
  }
}

void TCustomXPListBox::SetMultiSelect(bool value) {
  if (value == FMultiSelect) return;
  FMultiSelect = value;
  if (!value) SelectOnlyItemIndex();
}

void TCustomXPListBox::SetScrollBars(TXPScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  UpdateVertVisibility();
  UpdateVertRange();
  UpdateHorzVisibility();
  UpdateHorzRange();
  if (ColumnMode()) RepaintAll();
}

void TCustomXPListBox::SetColumns(int value) {
  value = std::max(0, value);
  if (value == FColumns) return;
  FColumns = value;
  if (value > 0) FHorzDelta = 0;
  UpdateItemHeight();
  UpdateScrollBars();
  Invalidate();
}

void TCustomXPListBox::SetStyle(TListBoxStyle value) {
  FStyle = value;
  UpdateItemHeight();
  Invalidate();
}

void TCustomXPListBox::SetItemHeight(int value) {
  FItemHeight = value;
  UpdateItemHeight();
  Invalidate();
}

// ---- Items and selection

int TCustomXPListBox::SelCount() const {
  if (!FMultiSelect) return -1;
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += FItems->Item(i)->Selected() ? 1 : 0;
  return n;
}

bool TCustomXPListBox::Selected(int index) const {
  TXPListItem* item = FItems->Item(index);
  return item && item->Selected();
}

void TCustomXPListBox::SetSelected(int index, bool value) {
  TXPListItem* item = FItems->Item(index);
  if (!item || item->Selected() == value) return;
  item->SetSelected(value);
  if (FMultiSelect) RepaintRow(index);
}

bool TCustomXPListBox::Checked(int index) const {
  TXPListItem* item = FItems->Item(index);
  return item && item->Checked();
}

TCheckBoxState TCustomXPListBox::State(int index) const {
  TXPListItem* item = FItems->Item(index);
  return item ? item->State() : TCheckBoxState::cbUnchecked;
}

void TCustomXPListBox::SetChecked(int index, bool value) {
  TXPListItem* item = FItems->Item(index);
  // Writing false leaves a grayed item grayed.
  if (!item || item->Checked() == value) return;
  item->SetChecked(value);
  RepaintCheckBox(index);
  if (FUseCheckBoxes) ClickCheck();
}

void TCustomXPListBox::SetState(int index, TCheckBoxState value) {
  TXPListItem* item = FItems->Item(index);
  if (!item || item->State() == value) return;
  item->SetState(value);
  RepaintCheckBox(index);
  if (FUseCheckBoxes) ClickCheck();
}

void TCustomXPListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TCustomXPListBox::SetUseCheckBoxes(bool value) {
  if (value == FUseCheckBoxes) return;
  FUseCheckBoxes = value;
  UpdateItemHeight();
  UpdateScrollBars();
  RepaintAll();
}

bool TCustomXPListBox::IsPointOnCheckBox(POINT point) {
  if (!FUseCheckBoxes) return false;
  RECT area = GetItemsAreaRect();
  const int x = point.x - area.left;
  if (ColumnMode()) {
    const int width = std::max(1, GetItemWidth());
    return x % width < GetCheckBoxAreaWidth();
  }
  return x < GetCheckBoxAreaWidth() - FHorzDelta;
}

void TCustomXPListBox::MarkRange(int from, int to, bool value) {
  if (from > to) std::swap(from, to);
  for (int i = std::max(0, from); i <= to && i < Count(); ++i) SetSelected(i, value);
}

void TCustomXPListBox::ClearSelection() {
  if (!FMultiSelect) {
    SetItemIndex(-1);
    return;
  }
  MarkRange(0, Count() - 1, false);
}

void TCustomXPListBox::SelectAll() {
  if (FMultiSelect) MarkRange(0, Count() - 1, true);
}

void TCustomXPListBox::SelectOnlyItemIndex() {
  FItems->BeginUpdate();
  for (int i = 0; i < Count(); ++i) FItems->Item(i)->SetSelected(i == FItemIndex);
  FItems->EndUpdate();
  RepaintAll();
}

WideString TCustomXPListBox::CurrentText() const {
  return FItemIndex >= 0 && FItemIndex < Count() ? FItems->Get(FItemIndex) : WideString();
}

void TCustomXPListBox::SetItemIndex(int value) {
  if (value < 0) value = FMouseDown ? 0 : -1;
  if (value >= Count()) value = Count() - 1;
  if (value != FItemIndex) {
    int old = FItemIndex;
    FItemIndex = value;
    if (!FMultiSelect) {
      if (TXPListItem* item = FItems->Item(old)) item->SetSelected(false);
      if (TXPListItem* item = FItems->Item(value)) item->SetSelected(true);
    }
    if (value < 0) {
      RepaintRow(old);
      UpdateBarPosition();
    } else if (value >= FTopIndex && value < FTopIndex + FVisibleCount) {
      RepaintRow(old);
      RepaintRow(value);
      UpdateBarPosition();
    } else if (FItemIndexByMouse) {
      RepaintFrom(old < 0 ? value : std::min(old, value));
    } else if (ColumnMode()) {
      SetTopIndex(value);
      RepaintRow(old);
    } else if (value >= FTopIndex + FVisibleCount) {
      if (FVisibleCount > 0) SetTopIndex(value - FVisibleCount + 1);
      RepaintRow(old);
    } else {
      SetTopIndex(value);
      RepaintRow(old);
    }
    if (value >= 0 && FSuppressChange == 0 && !FItemIndexByMouse) Click();
  }
  FItemIndexByMouse = false;
}

void TCustomXPListBox::SetTopIndex(int value) {
  if (ColumnMode()) {
    value = std::min(value, std::max(0, GetNeededColumns() * FColumnCount - FVisibleCount));
    if (FColumnCount > 0) value -= value % FColumnCount;
  } else {
    value = std::min(value, Count() - FVisibleCount);
  }
  value = std::max(0, value);
  if (value == FTopIndex) return;
  FTopIndex = value;
  UpdateBarPosition();
  RepaintAll();
}

void TCustomXPListBox::UpdateBarPosition() {
  if (!HandleAllocated()) return;
  if (ColumnMode()) FHorzScrollBar->SetPosition(FTopIndex / std::max(1, FColumnCount));
  else FVertScrollBar->SetPosition(FTopIndex);
}

int TCustomXPListBox::GetNeededColumns() const { return (Count() - 1) / std::max(1, FColumnCount) + 1; }

void TCustomXPListBox::ItemsUpdateEnded() {
  if (Count() == 0) FLightedIndex = FHotIndex = FPressedIndex = -1;
  SetTopIndex(FTopIndex);
  ++FSuppressChange;
  if (FItemIndex < 0) SetItemIndex(0);
  SetItemIndex(FItemIndex);
  --FSuppressChange;
  UpdateScrollBars();
  RepaintAll();
}

void TCustomXPListBox::SelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged(this);
}

// ---- Geometry

void TCustomXPListBox::UpdateItemHeight() {
  int height = 1;
  if (FStyle == TListBoxStyle::lbOwnerDrawFixed) {
    height = FItemHeight;
  } else if (FUseCheckBoxes) {
    if (GetThemeMode() == 0) {
      POINT size;
      GetSystemCheckSize(size);
      height = size.y;
    } else {
      height = GetCheckBoxSize(CBS_UNCHECKEDNORMAL).cy + 3;
    }
  }
  AdjustItemHeight(height);
  FUsedItemHeight = std::max(1, height);
  if (HandleAllocated()) {
    Canvas().Font().Assign(Font());
    if (FStyle == TListBoxStyle::lbStandard) {
      FUsedItemHeight = std::max(FUsedItemHeight, GetFontHeight());
      UpdateVisibleCount();
    }
  }
}

SIZE TCustomXPListBox::GetCheckBoxSize(int themeState) {
  SIZE size{kCheckBoxSize, kCheckBoxSize};
  if (GetThemeMode() == 2 && HandleAllocated()) {
    if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
      SIZE part{};
      if (SUCCEEDED(GetThemePartSize(theme, nullptr, BP_CHECKBOX, themeState, nullptr, TS_TRUE, &part))) size = part;
      CloseThemeData(theme);
    }
  }
  return size;
}

int TCustomXPListBox::GetFontHeight() {
  TEXTMETRICW metrics{};
  HDC dc = FMeasure.Handle();
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  return metrics.tmHeight;
}

int TCustomXPListBox::GetItemTextWidth(int index) {
  WideString text = FItems->Get(index);
  RECT r{0, 0, 0, 0};
  HDC dc = FMeasure.Handle();
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  return r.right - r.left;
}

void TCustomXPListBox::UpdateVisibleWidth() {
  if (!HandleAllocated()) return;
  RECT area = GetItemsAreaRect();
  FVisibleAreaSize.cx = (area.right - area.left) - (FVertScrollBar->Visible() ? FVertScrollBar->Width() : 0);
  UpdateHorzVisibility();
  UpdateHorzRange();
}

void TCustomXPListBox::UpdateVisibleHeight() {
  if (!HandleAllocated()) return;
  RECT area = GetItemsAreaRect();
  FVisibleAreaSize.cy = (area.bottom - area.top) - (FBottomPanel->Visible() ? FBottomPanel->Height() : 0);
  UpdateVisibleCount();
  UpdateVertVisibility();
  UpdateVertRange();
}

void TCustomXPListBox::UpdateVisibleCount() {
  const int rows = std::max(1, int(FVisibleAreaSize.cy) / FUsedItemHeight);
  if (ColumnMode()) {
    FColumnCount = rows;
    FVisibleCount = FColumns * rows;
  } else {
    FVisibleCount = rows;
    FColumnCount = 0;
  }
  UpdateVertRange();
  // Columns hold a new number of rows: the bar that scrolls them follows.
  if (ColumnMode()) {
    UpdateHorzVisibility();
    UpdateHorzRange();
  }
}

void TCustomXPListBox::UpdateVertVisibility() {
  if (!HandleAllocated()) return;
  bool show = !ColumnMode() && (ShowsVertBarAlways(FScrollBars) ||
                                (ShowsVertBarOnNeed(FScrollBars) && FVisibleCount < Count()));
  if (show == FVertScrollBar->Visible()) return;
  FVertScrollBar->SetVisible(show);
  FCorner->SetVisible(show);
  UpdateVisibleWidth();
}

void TCustomXPListBox::UpdateVertRange() {
  if (!HandleAllocated()) return;
  FVertScrollBar->SetPageSize(0);
  if (ColumnMode() || Count() == 0) return;
  FVertScrollBar->SetParams(FTopIndex, 0, Count() - 1);
  int page = std::min(FVisibleCount, Count() - 1);
  FVertScrollBar->SetPageSize(page);
  FVertScrollBar->SetLargeChange(TScrollBarInc(std::max(1, page - 1)));
}

void TCustomXPListBox::UpdateHorzVisibility() {
  if (!HandleAllocated()) return;
  const bool needed = ColumnMode() ? FColumns < GetNeededColumns() : FVisibleAreaSize.cx < FItemsAreaWidth;
  bool show = ShowsHorzBarAlways(FScrollBars) || (ShowsHorzBarOnNeed(FScrollBars) && needed);
  if (show == FHorzScrollBar->Visible()) return;
  FHorzScrollBar->SetVisible(show);
  FBottomPanel->SetVisible(show);
  if (!show) SetHorzDelta(0);
  UpdateVisibleHeight();
}

void TCustomXPListBox::UpdateHorzRange() {
  if (!HandleAllocated()) return;
  FHorzScrollBar->SetPageSize(0);
  if (FItemsAreaWidth == 0) return;
  if (!ColumnMode()) {
    FHorzScrollBar->SetParams(FHorzDelta, 0, FItemsAreaWidth - 1);
    FHorzScrollBar->SetPageSize(std::min(int(FVisibleAreaSize.cx), FItemsAreaWidth - 1));
    return;
  }
  if (Count() == 0) return;
  FHorzScrollBar->SetParams(FTopIndex / std::max(1, FColumnCount), 0, GetNeededColumns() - 1);
  FHorzScrollBar->SetPageSize(std::min(FColumns, Count() - 1));
  FHorzScrollBar->SetLargeChange(TScrollBarInc(std::max(1, FHorzScrollBar->PageSize() - 1)));
}

void TCustomXPListBox::UpdateItemsAreaWidth() {
  if (!HandleAllocated()) return;
  if (ColumnMode()) {
    FItemsAreaWidth = GetItemWidth();
  } else {
    int widest = 0;
    for (int i = 0; i < Count(); ++i)
      if (!FItems->Get(i).empty()) widest = std::max(widest, GetItemTextWidth(i));
    FItemsAreaWidth = widest + 4;
    if (FUseCheckBoxes) FItemsAreaWidth += GetCheckBoxAreaWidth();
  }
  UpdateHorzVisibility();
  UpdateHorzRange();
}

void TCustomXPListBox::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  UpdateItemsAreaWidth();
  UpdateVertVisibility();
  UpdateVertRange();
  if (ColumnMode()) {
    UpdateHorzVisibility();
    UpdateHorzRange();
  }
}

void TCustomXPListBox::VertScrollBarChange(TObject*) {
  if (!ColumnMode()) SetTopIndex(FVertScrollBar->Position());
}

void TCustomXPListBox::HorzScrollBarChange(TObject*) {
  if (ColumnMode()) SetTopIndex(FHorzScrollBar->Position() * FColumnCount);
  else SetHorzDelta(FHorzScrollBar->Position());
}

void TCustomXPListBox::SetHorzDelta(int value) {
  value = ColumnMode() ? 0 : std::max(0, std::min(value, FItemsAreaWidth - int(FVisibleAreaSize.cx)));
  if (value == FHorzDelta) return;
  FHorzDelta = value;
  if (HandleAllocated()) FHorzScrollBar->SetPosition(FHorzDelta);
  RepaintAll();
}

int TCustomXPListBox::GetItemWidth() {
  if (ColumnMode()) return int(FVisibleAreaSize.cx) / FColumns;
  if (ShowsHorzBarAlways(FScrollBars) || ShowsHorzBarOnNeed(FScrollBars))
    return std::max(FItemsAreaWidth, int(FVisibleAreaSize.cx));
  return FVisibleAreaSize.cx;
}

POINT TCustomXPListBox::GetItemPos(int index) {
  RECT area = GetItemsAreaRect();
  if (ColumnMode()) {
    const int rows = std::max(1, FColumnCount);
    const int k = index - FTopIndex;
    // Floor division: items before the top fall in columns to the left.
    const int column = k >= 0 ? k / rows : -((-k + rows - 1) / rows);
    return POINT{area.left + GetItemWidth() * column, area.top + (k - column * rows) * FUsedItemHeight};
  }
  return POINT{area.left - FHorzDelta, area.top + (index - FTopIndex) * FUsedItemHeight};
}

int TCustomXPListBox::InternalItemAtPos(POINT point, bool beyond) {
  RECT area = GetItemsAreaRect();
  int y = point.y - area.top;
  if (ColumnMode()) {
    if (y < 0) return FTopIndex - 1;
    if (y >= FColumnCount * FUsedItemHeight && !beyond) return FTopIndex + FColumnCount * FColumns;
    return FTopIndex + ((point.x - area.left) / std::max(1, GetItemWidth())) * FColumnCount + y / FUsedItemHeight;
  }
  if (beyond) return FTopIndex + y / FUsedItemHeight;
  if (y < 0) return FTopIndex - 1;
  if (y >= std::min(Count() - FTopIndex, FVisibleCount + 1) * FUsedItemHeight) return -1;
  return FTopIndex + y / FUsedItemHeight;
}

RECT TCustomXPListBox::ItemRect(int index) {
  if (index < 0 || index >= Count()) return RECT{0, 0, 0, 0};
  POINT p = GetItemPos(index);
  return RECT{p.x + GetCheckBoxAreaWidth(), p.y, p.x + GetItemWidth(), p.y + FUsedItemHeight};
}

bool TCustomXPListBox::IsPointOnScrollBars(POINT point) {
  auto inside = [&](TControl* control) {
    if (!control->Visible()) return false;
    POINT p = point;
    ::ClientToScreen(Handle(), &p);
    RECT r{0, 0, control->Width(), control->Height()};
    POINT origin{0, 0};
    ::ClientToScreen(static_cast<TWinControl*>(control)->Handle(), &origin);
    OffsetRect(&r, origin.x, origin.y);
    return PtInRect(&r, p) != FALSE;
  };
  return HandleAllocated() && (inside(FVertScrollBar) || inside(FBottomPanel));
}

// ---- Painting

void TCustomXPListBox::RepaintRow(int index) {
  if (!HandleAllocated() || index < 0 || index < FTopIndex || index > FTopIndex + FVisibleCount) return;
  POINT p = GetItemPos(index);
  RECT r{0, p.y, FVisibleAreaSize.cx, p.y + FUsedItemHeight};
  if (ColumnMode()) {
    r.left = p.x;
    r.right = p.x + GetItemWidth();
  }
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomXPListBox::RepaintCheckBox(int index) {
  if (!HandleAllocated() || index < FTopIndex || index > FTopIndex + FVisibleCount) return;
  POINT p = GetItemPos(index);
  RECT r{p.x, p.y, p.x + GetCheckBoxAreaWidth(), p.y + FUsedItemHeight};
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomXPListBox::RepaintFrom(int index) {
  if (!HandleAllocated()) return;
  if (ColumnMode()) {
    RepaintAll();
    return;
  }
  int top = std::max(0, (std::max(index, FTopIndex) - FTopIndex) * FUsedItemHeight);
  RECT r{0, top, FVisibleAreaSize.cx, FVisibleAreaSize.cy};
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomXPListBox::RepaintAll() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

TColor TCustomXPListBox::GetBackgroundColor() { return Enabled() ? SubstWindowColor : SubstBtnHighlightColor; }

void TCustomXPListBox::Paint() {
  PaintBackground();
  RECT area = GetItemsAreaRect();
  TClipRect clip(Canvas().Handle(), area);
  int last = FTopIndex + std::min(Count() - FTopIndex, FVisibleCount);
  for (int i = FTopIndex; i <= last; ++i) PaintItem(i);
}

void TCustomXPListBox::PaintBackground() {
  Canvas().Brush().SetColor(GetBackgroundColor());
  int shown = std::min(Count() - FTopIndex, ColumnMode() ? FColumnCount : FVisibleCount);
  Canvas().FillRect(RECT{0, shown * FUsedItemHeight, FVisibleAreaSize.cx, FVisibleAreaSize.cy});
  if (ColumnMode()) {
    // Below the last item of its column, and right of that column.
    const int last = std::min(Count() - 1, FColumns * FColumnCount + FTopIndex - 1);
    const POINT p = GetItemPos(std::max(last, 0));
    const int width = GetItemWidth();
    Canvas().FillRect(RECT{p.x, p.y + FUsedItemHeight, p.x + width, shown * FUsedItemHeight});
    Canvas().FillRect(RECT{p.x + width, 0, FVisibleAreaSize.cx, shown * FUsedItemHeight});
  }
  if (Focused() && FItemIndex < 0) PaintItem(-1);
}

void TCustomXPListBox::PaintItem(int index) {
  if (index >= 0 && index < Count()) {
    if (ColumnMode() || FStyle == TListBoxStyle::lbStandard || (ComponentState() & csDesigning)) DrawItemStandard(index);
    else DoDrawItem(index);
  } else if (index < 0 && FTopIndex == 0) {
    POINT p = GetItemPos(0);
    RECT r{p.x + GetCheckBoxAreaWidth(), p.y, p.x + GetItemWidth(), p.y + FUsedItemHeight};
    ::DrawFocusRect(Canvas().Handle(), &r);
  }
}

void TCustomXPListBox::DrawCheckBox(int index) {
  POINT p = GetItemPos(index);
  RECT area{p.x, p.y, p.x + GetCheckBoxAreaWidth(), p.y + FUsedItemHeight};
  Canvas().Brush().SetColor(GetBackgroundColor());
  Canvas().FillRect(area);
  TXPListItem* item = FItems->Item(index);
  if (!item) return;
  HDC dc = Canvas().Handle();
  const int mode = GetThemeMode();
  if (mode == 0) {
    POINT size;
    GetSystemCheckSize(size);
    RECT glyph{p.x + 1, p.y + (FUsedItemHeight - size.y) / 2, 0, 0};
    glyph.right = glyph.left + size.x;
    glyph.bottom = glyph.top + size.y;
    UINT state = DFCS_BUTTONCHECK | DFCS_ADJUSTRECT;
    if (item->State() != TCheckBoxState::cbUnchecked) state |= DFCS_CHECKED;
    if (!Enabled() || item->State() == TCheckBoxState::cbGrayed) state |= DFCS_INACTIVE;
    if (index == FHotIndex) state |= DFCS_HOT;
    if (index == FPressedIndex) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &glyph, DFC_BUTTON, state);
    return;
  }
  // The skin's row and the theme's state follow one order: unchecked,
  // checked, grayed, each normal, hot, pressed, disabled.
  int look = 0;
  if (!Enabled()) look = 3;
  else if (index == FPressedIndex) look = 2;
  else if (index == FHotIndex) look = 1;
  const int cell = look + (item->State() == TCheckBoxState::cbChecked   ? 4
                           : item->State() == TCheckBoxState::cbGrayed ? 8
                                                                        : 0);
  if (mode == 1) {
    RECT dest{p.x, p.y + (FUsedItemHeight - kCheckBoxSize) / 2, 0, 0};
    dest.right = dest.left + kCheckBoxSize;
    dest.bottom = dest.top + kCheckBoxSize;
    DrawSkinBitmap(dest, RECT{0, 0, kCheckBoxSize, kCheckBoxSize},
                   RECT{0, kCheckBoxSize * cell, kCheckBoxSize, kCheckBoxSize * (cell + 1)}, dc,
                   TXPButtonResources::CheckBox().Handle(), true);
    return;
  }
  const int themeState = CBS_UNCHECKEDNORMAL + cell;
  const SIZE size = GetCheckBoxSize(themeState);
  RECT glyph{p.x + 1, p.y + (FUsedItemHeight - int(size.cy)) / 2, 0, 0};
  glyph.right = glyph.left + size.cx;
  glyph.bottom = glyph.top + size.cy;
  if (HTHEME theme = OpenThemeData(Handle(), L"BUTTON")) {
    DrawThemeBackground(theme, dc, BP_CHECKBOX, themeState, &glyph, nullptr);
    CloseThemeData(theme);
  }
}

void TCustomXPListBox::DoDrawItem(int index) {
  const POINT p = GetItemPos(index);
  const RECT rect{p.x, p.y, p.x + GetItemWidth(), p.y + FUsedItemHeight};
  TOwnerDrawState state = 0;
  if (Selected(index)) state |= odSelected;
  if (!Enabled()) state |= odDisabled;
  if (Checked(index)) state |= odChecked;
  if (index == FItemIndex) state |= odFocused;
  if (index == FHotIndex) state |= odHotLight;
  if (OnDrawItem) OnDrawItem(this, index, rect, state);
}

void TCustomXPListBox::DrawItemStandard(int index) {
  if (FUseCheckBoxes) DrawCheckBox(index);
  POINT p = GetItemPos(index);
  RECT r{p.x + GetCheckBoxAreaWidth(), p.y, p.x + GetItemWidth(), p.y + FUsedItemHeight};
  bool marked = Selected(index);
  struct TRowColors {
    TColor Brush, Text;
  };
  const TRowColors colors = Enabled()
                                ? (marked ? TRowColors{SubstHighlightColor, SubstHighlightTextColor}
                                          : TRowColors{SubstWindowColor, Font().Color()})
                                : (marked ? TRowColors{SubstBtnShadowColor, SubstBtnHighlightColor}
                                          : TRowColors{SubstBtnHighlightColor, SubstBtnShadowColor});
  Canvas().Brush().SetColor(colors.Brush);
  Canvas().FillRect(r);
  Canvas().Font().Assign(Font());
  Canvas().Font().SetColor(colors.Text);
  RECT text = r;
  text.left += 2;
  if (ColumnMode()) text.right -= 2;
  DrawItemText(index, text);
  r.right = std::min(r.right, r.left + int(FVisibleAreaSize.cx));
  if (Focused() && index == FItemIndex) ::DrawFocusRect(Canvas().Handle(), &r);
}

void TCustomXPListBox::DrawItemText(int index, const RECT& rect) {
  DrawXPCaption(Canvas(), rect, FItems->Get(index), Canvas().Font(), Canvas().Font().Color(),
                TAlignment::taLeftJustify, TTextLayout::tlCenter, dcfNoPrefix, TEllipsisPosition::epNone, 100);
}

// ---- Keys and mouse

void TCustomXPListBox::KeyDown(WORD& key, TShiftState shift) {
  TXPCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  if (FMultiSelect) ++FSuppressChange;
  bool handled = true;
  switch (key) {
    case VK_SPACE:
      if (FUseCheckBoxes) SetChecked(FItemIndex, !Checked(FItemIndex));
      if (!FExtendedSelect) SetSelected(FItemIndex, !Selected(FItemIndex));
      break;
    case VK_PRIOR: SetItemIndex(std::max(0, FItemIndex - FVisibleCount + 1)); break;
    case VK_NEXT: SetItemIndex(FItemIndex + FVisibleCount - 1); break;
    case VK_END: SetItemIndex(Count() - 1); break;
    case VK_HOME: SetItemIndex(0); break;
    case VK_LEFT: SetItemIndex(std::max(0, FItemIndex - FColumnCount)); break;
    case VK_UP: SetItemIndex(GetPrevItemIndex()); break;
    case VK_RIGHT: SetItemIndex(FItemIndex + FColumnCount); break;
    case VK_DOWN: SetItemIndex(GetNextItemIndex()); break;
    default: handled = false; break;
  }
  if (handled) {
    if (!FMultiSelect || !(shift & ssShift)) {
      if (FExtendedSelect) SelectOnlyItemIndex();
      FSelStartIndex = FItemIndex;
    } else if (FExtendedSelect) {
      MarkRange(FPredIndex, FItemIndex, false);
      MarkRange(FSelStartIndex, FItemIndex, true);
    }
    FPredIndex = FItemIndex;
  }
  if (FMultiSelect && --FSuppressChange == 0 && handled && FItemIndex >= 0 && !FItemIndexByMouse) Click();
}

void TCustomXPListBox::KeyPress(wchar_t& key) {
  TXPCustomControl::KeyPress(key);
  if (!FAutoComplete || key == 0) return;
  DWORD now = TickNow();
  if (now - FLastTime >= FAutoCompleteDelay) FFilter.clear();
  FLastTime = now;
  // The window is a Unicode one: every character comes whole, none is paired
  // with the next or dropped.
  if (key == VK_BACK) {
    if (!FFilter.empty()) FFilter.pop_back();
  } else if (key != VK_RETURN && key != VK_ESCAPE) {
    FFilter.push_back(key);
  }
  if (key != VK_RETURN && key != VK_ESCAPE) {
    if (FFilter.empty()) {
      SetItemIndex(0);
      Click();
    } else if (int found = FindItemByPrefix(FFilter, true, FItemIndex); found >= 0) {
      if (FMultiSelect) ClearSelection();
      SetItemIndex(found);
      FSelStartIndex = FItemIndex;
      if (FMultiSelect) SetSelected(FItemIndex, true);
      Click();
    }
  }
  if (key != VK_BACK && key != VK_RETURN && key != VK_ESCAPE) key = 0;
}

int TCustomXPListBox::FindItemByPrefix(std::wstring_view prefix, bool retry, int startIndex) const {
  auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
  auto begins = [&](int index, std::wstring_view p) {
    WideString item = FItems->Get(index);
    if (item.size() < p.size()) return false;
    for (size_t i = 0; i < p.size(); ++i)
      if (lower(item[i]) != lower(p[i])) return false;
    return true;
  };
  int count = Count();
  while (!prefix.empty()) {
    for (int i = std::max(startIndex + 1, 0); i < count; ++i)
      if (begins(i, prefix)) return i;
    for (int i = 0; i <= startIndex && i < count; ++i)
      if (begins(i, prefix)) return i;
    if (!retry) break;
    prefix.remove_suffix(1);
  }
  return -1;
}

void TCustomXPListBox::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  FMouseDown = true;
  if (CanFocus()) SetFocus();
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (IsPointOnScrollBars(point)) return;
  if (IsPointOnCheckBox(point)) {
    // Only pressed here; the release changes the state.
    FPressedIndex = InternalItemAtPos(point, false);
    RepaintCheckBox(FPressedIndex);
    return;
  }
  TShiftState shift = ((message.WParam & MK_SHIFT) ? ssShift : 0u) | ((message.WParam & MK_CONTROL) ? ssCtrl : 0u);
  FItemIndexByMouse = true;
  int index = InternalItemAtPos(point, false);
  if (index >= 0) SetItemIndex(index);
  if (!(FMultiSelect && (shift & ssShift))) FSelStartIndex = FItemIndex;
  FPredIndex = FItemIndex;
  if (((shift & ssCtrl) && !(shift & ssShift)) || (FMultiSelect && !FExtendedSelect)) {
    FSelState = FMultiSelect ? !Selected(FItemIndex) : true;
    SetSelected(FItemIndex, FSelState);
    return;
  }
  SelectOnlyItemIndex();
  FSelState = true;
  if (shift & ssShift) MarkRange(FSelStartIndex, FItemIndex, true);
}

void TCustomXPListBox::TrackSelectionTo(int index) {
  FLightedIndex = index;
  if (index < 0) return;
  if (index != FPredIndex) {
    if (!FMultiSelect) {
      SelectOnlyItemIndex();
    } else if (FExtendedSelect) {
      for (int i = std::min(FPredIndex, index); i <= std::max(FPredIndex, index); ++i)
        SetSelected(i, !Selected(i));
      MarkRange(FSelStartIndex, index, FSelState);
    }
    FPredIndex = index;
  }
  SetItemIndex(index);
}

void TCustomXPListBox::WMMouseMove(TMessage& message) {
  TVK_INHERITED(message);
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  UpdateHotItem(point);
  if (FMouseDown && DragMode() == TDragMode::dmAutomatic && !Dragging()) BeginDrag(false, -1);
  if (FMouseDown && !IsPointOnScrollBars(point)) {
    // Outside the rows the list scrolls by itself, faster the farther away.
    const RECT client = ClientRect();
    const int distance = point.y < client.top ? client.top - point.y
                         : point.y >= client.bottom ? point.y - client.bottom + 1
                                                    : 0;
    FScrollTimer->SetInterval(ScrollTimerInterval(distance));
    FScrollTimer->SetEnabled(distance > 0);
    FItemIndexByMouse = true;
    TrackSelectionTo(InternalItemAtPos(point, false));
  }
}

void TCustomXPListBox::UpdateHotItem(POINT point) {
  const RECT client = ClientRect();
  const int hot = PtInRect(&client, point) ? InternalItemAtPos(point, false) : -1;
  if (hot == FHotIndex) return;
  const int old = FHotIndex;
  FHotIndex = hot;
  if (FUseCheckBoxes) {
    RepaintCheckBox(old);
    RepaintCheckBox(hot);
  }
}

void TCustomXPListBox::ScrollTimerTick(TObject*) {
  if (!HandleAllocated()) return;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::ScreenToClient(Handle(), &cursor);
  FItemIndexByMouse = true;
  TrackSelectionTo(InternalItemAtPos(cursor, true));
}

void TCustomXPListBox::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  const int old = FHotIndex;
  FHotIndex = -1;
  if (FUseCheckBoxes) RepaintCheckBox(old);
  FLightedIndex = -1;
}

void TCustomXPListBox::WndProc(TMessage& message) {
  // An automatic drag starts from a move with the button down, so the press
  // itself still selects.
  if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) && DragMode() == TDragMode::dmAutomatic &&
      !(ComponentState() & csDesigning) && !Dragging()) {
    FControlState |= csLButtonDown;
    Dispatch(message);
    return;
  }
  TXPCustomControl::WndProc(message);
}

void TCustomXPListBox::WMLButtonUp(TMessage& message) {
  FMouseDown = false;
  FScrollTimer->SetEnabled(false);
  int pressed = FPressedIndex;
  FPressedIndex = -1;
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (IsPointOnCheckBox(point)) {
    int index = InternalItemAtPos(point, false);
    RepaintCheckBox(pressed);
    if (TXPListItem* item = FItems->Item(index)) {
      switch (item->State()) {
        case TCheckBoxState::cbChecked: SetState(index, TCheckBoxState::cbUnchecked); break;
        case TCheckBoxState::cbGrayed: SetState(index, TCheckBoxState::cbChecked); break;
        case TCheckBoxState::cbUnchecked:
          SetState(index, FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
          break;
      }
    }
  }
  TVK_INHERITED(message);
}

void TCustomXPListBox::WMMouseWheel(TMessage& message) {
  message.Result = 1;
  int steps = short(HIWORD(message.WParam)) / WHEEL_DELTA;
  if (steps == 0) return;
  int lines = 3;
  if (LOWORD(message.WParam) == MK_CONTROL) {
    lines = FVisibleCount - 1;
  } else if (ColumnMode()) {
    lines = 1;
  } else {
    UINT system = 3;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &system, 0)) lines = int(system);
  }
  if (ColumnMode()) lines *= FColumnCount;
  SetTopIndex(FTopIndex - steps * lines);
  POINT cursor{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (HandleAllocated()) ::ScreenToClient(Handle(), &cursor);
  FLightedIndex = InternalItemAtPos(cursor, false);
  UpdateHotItem(cursor);
}

// ---- Messages

void TCustomXPListBox::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  UpdateItemHeight();
  UpdateVisibleWidth();
  UpdateVisibleHeight();
}

void TCustomXPListBox::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  RepaintRow(FItemIndex < 0 ? FTopIndex : FItemIndex);
}

void TCustomXPListBox::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  RepaintRow(FItemIndex < 0 ? FTopIndex : FItemIndex);
}

void TCustomXPListBox::WMSetText(TMessage& message) {
  const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
  SetItemIndex(text ? FItems->IndexOf(text) : -1);
  message.Result = 1;
}

void TCustomXPListBox::WMGetTextLength(TMessage& message) {
  FText = CurrentText();
  message.Result = LRESULT(FText.size());
}

void TCustomXPListBox::WMGetText(TMessage& message) {
  // A buffer of no characters gets nothing, not even the terminator.
  auto* buffer = reinterpret_cast<wchar_t*>(message.LParam);
  size_t capacity = size_t(message.WParam);
  message.Result = 0;
  if (!buffer || capacity == 0) return;
  FText = CurrentText();
  size_t n = std::min(FText.size(), capacity - 1);
  std::copy_n(FText.c_str(), n, buffer);
  buffer[n] = L'\0';
  message.Result = LRESULT(n);
}

void TCustomXPListBox::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomXPListBox::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
  FVertScrollBar->SetEnabled(Enabled());
  FHorzScrollBar->SetEnabled(Enabled());
}

void TCustomXPListBox::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  UpdateItemHeight();
  Invalidate();
}

void TCustomXPListBox::AdjustNCRect(TMessage& message) {
  if (GetThemeMode() == 0 || message.LParam == 0) return;
  auto* rect = reinterpret_cast<RECT*>(message.LParam);
  InflateRect(rect, -1, -1);
}

bool TCustomXPListBox::PaintNCBorder() {
  if (GetThemeMode() == 0 || FBorderStyle != TBorderStyle::bsSingle) return false;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return false;
  RECT window;
  GetWindowRect(Handle(), &window);
  OffsetRect(&window, -window.left, -window.top);
  const int border = (Width() - ClientWidth()) / 2;
  RECT inner = window;
  InflateRect(&inner, -border, -border);
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  if (HTHEME theme = OpenThemeData(Handle(), L"LISTBOX")) {
    const int state = !Enabled() ? 4 : Focused() ? 2 : 1;
    DrawThemeBackground(theme, dc, 2, state, &window, nullptr);
    CloseThemeData(theme);
  } else {
    // Without the theme a plain frame in the list's frame colour, rather
    // than an unpainted border.
    HBRUSH frame = CreateSolidBrush(ColorToRGB(FFrameColor));
    FrameRect(dc, &window, frame);
    DeleteObject(frame);
    HBRUSH fill = CreateSolidBrush(ColorToRGB(GetBackgroundColor()));
    RECT between = window;
    InflateRect(&between, -1, -1);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    FrameRect(dc, &between, fill);
    DeleteObject(fill);
  }
  ReleaseDC(Handle(), dc);
  return true;
}

void TCustomXPListBox::WMNCCalcSize(TMessage& message) {
  AdjustNCRect(message);
  TVK_INHERITED(message);
}

void TCustomXPListBox::WMNCPaint(TMessage& message) {
  if (!PaintNCBorder()) TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TCustomXPListBox, {WM_SIZE, &TCustomXPListBox::WMSize}, {WM_SETFOCUS, &TCustomXPListBox::WMSetFocus},
                {WM_KILLFOCUS, &TCustomXPListBox::WMKillFocus}, {WM_SETTEXT, &TCustomXPListBox::WMSetText},
                {WM_GETTEXT, &TCustomXPListBox::WMGetText},
                {WM_GETTEXTLENGTH, &TCustomXPListBox::WMGetTextLength},
                {WM_GETDLGCODE, &TCustomXPListBox::WMGetDlgCode},
                {WM_MOUSEMOVE, &TCustomXPListBox::WMMouseMove},
                {WM_LBUTTONDOWN, &TCustomXPListBox::WMLButtonDown},
                {WM_LBUTTONUP, &TCustomXPListBox::WMLButtonUp},
                {WM_MOUSEWHEEL, &TCustomXPListBox::WMMouseWheel},
                {CM_ENABLEDCHANGED, &TCustomXPListBox::CMEnabledChanged},
                {CM_FONTCHANGED, &TCustomXPListBox::CMFontChanged},
                {CM_MOUSELEAVE, &TCustomXPListBox::CMMouseLeave},
                {WM_NCCALCSIZE, &TCustomXPListBox::WMNCCalcSize}, {WM_NCPAINT, &TCustomXPListBox::WMNCPaint})

}  // namespace tvk
