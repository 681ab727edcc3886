#pragma once
// The styled list box: every row painted by the control itself, styled
// scroll bars as parts of it, and per-item records (selection mark, check
// state) kept in the item list's object slots.
#include "Lists.h"
#include "StdCtrls.h"
#include "Timers.h"
#include "WinXPButtons.h"
#include "XPControls.h"
#include "XPEdits.h"
#include "XPScrolls.h"

namespace tvk {

class TCustomXPListBox;
class TXPListBoxStrings;

enum class TXPScrollStyle { pssNone, pssHorizontal, pssVertical, pssBoth, pssAuto, pssAutoHorizontal, pssAutoVertical };

// The state of one item, held in its object slot; the user's object rides along.
class TXPListItem : public TPersistent {
public:
  TVK_CLASS(TXPListItem, TPersistent)
  TXPListItem(TXPListBoxStrings* strings, TObject* object, bool selected)
      : FStrings(strings), FStdObject(object), FSelected(selected) {}
  ~TXPListItem() override;

  TObject* StdObject() const { return FStdObject; }
  void SetStdObject(TObject* value) { FStdObject = value; }
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value) { FState = value; }
  bool Checked() const { return FState == TCheckBoxState::cbChecked; }
  void SetChecked(bool value) { FState = value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked; }
  bool Selected() const { return FSelected; }
  // A change is reported as a change of the list.
  void SetSelected(bool value);

private:
  TXPListBoxStrings* FStrings;
  TObject* FStdObject;
  TCheckBoxState FState = TCheckBoxState::cbUnchecked;
  bool FSelected;
};

// The item list: keeps the list box's current item, rows and bars in step.
class TXPListBoxStrings : public TStringList {
public:
  TVK_CLASS(TXPListBoxStrings, TStringList)
  explicit TXPListBoxStrings(TCustomXPListBox* listBox);
  ~TXPListBoxStrings() override;

  // The record of an item; null out of range.
  TXPListItem* Item(int index) const;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Put(int index, const WideString& s) override;
  int AddObject(const WideString& s, TObject* object) override;
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int a, int b) override;
  void Move(int from, int to) override;
  bool InUpdating() const { return FInUpdating; }
  TCustomXPListBox* ListBox() const { return FListBox; }
  void ItemChanged() { Changed(); }

protected:
  void InsertItem(int index, const WideString& s, TObject* object) override;
  void SetUpdateState(bool updating) override;
  int CompareStrings(std::wstring_view a, std::wstring_view b) const override;

private:
  void FreeRecord(int index);

  TCustomXPListBox* FListBox;
  bool FInUpdating = false;
};

class TXPCustomComboBox;

class TCustomXPListBox : public TXPCustomControl {
  friend class TXPListBoxStrings;
  // The combo drives its drop-down list's index steps and change suppression.
  friend class TXPCustomComboBox;

public:
  TVK_CLASS(TCustomXPListBox, TXPCustomControl)
  explicit TCustomXPListBox(TComponent* owner);
  ~TCustomXPListBox() override;

  TStrings& Items() { return *FItems; }
  void SetItems(const TStrings& value);
  int Count() const { return FItems->Count(); }
  void Clear() { FItems->Clear(); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int value);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int value);
  int SelCount() const;
  bool Selected(int index) const;
  void SetSelected(int index, bool value);
  bool Checked(int index) const;
  TCheckBoxState State(int index) const;
  void SetChecked(int index, bool value);
  void SetState(int index, TCheckBoxState value);
  bool UseCheckBoxes() const { return FUseCheckBoxes; }
  void SetUseCheckBoxes(bool value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  // Column mode: items run down Columns columns of whole rows; 0 is a single column.
  int Columns() const { return FColumns; }
  void SetColumns(int value);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle value);
  // The row height of an owner-drawn list.
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  int HotIndex() const { return FHotIndex; }
  // Column mode: rows per column (0 in single-column mode).
  int ColumnCount() const { return FColumnCount; }
  int GetNeededColumns() const;
  TTimer& ScrollTimer() { return *FScrollTimer; }
  bool IsPointOnCheckBox(POINT point);
  // Incremental search: the first item after StartIndex (wrapping round to
  // it) that begins with Prefix, ASCII letters in any case; with Retry the
  // prefix is shortened until something matches. -1 when nothing does.
  int FindItemByPrefix(std::wstring_view prefix, bool retry, int startIndex) const;
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool value) { FAutoComplete = value; }
  unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(unsigned value) { FAutoCompleteDelay = value; }
  void ClearSelection();
  void SelectAll();
  // The current item's text; empty without one.
  WideString CurrentText() const;

  // The item under a client point; not limited to the item count.
  int ItemAtPos(POINT pos, bool existing) { return InternalItemAtPos(pos, !existing); }
  int InternalItemAtPos(POINT point, bool beyond);
  RECT ItemRect(int index);
  int GetRowHeight(int) const { return FUsedItemHeight; }
  void UpdateItemHeight();
  bool IsPointOnScrollBars(POINT point);
  // Whole rows that fit the visible area.
  int VisibleCount() const { return FVisibleCount; }
  TCustomXPScrollBar& VertScrollBar() { return *FVertScrollBar; }
  TCustomXPScrollBar& HorzScrollBar() { return *FHorzScrollBar; }
  TXPCustomControl& BottomPanel() { return *FBottomPanel; }

  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool value) { FExtendedSelect = value; }
  bool Sorted() const { return FItems->Sorted(); }
  void SetSorted(bool value);
  bool AlphaNumericSorting() const { return FAlphaNumericSorting; }
  void SetAlphaNumericSorting(bool value);
  TXPScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TXPScrollStyle value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);

  TNotifyEvent OnSelectionChanged;
  TNotifyEvent OnClickCheck;
  TDrawItemEvent OnDrawItem;

protected:
  virtual TCustomXPScrollBar* GetScrollBarClass(TComponent* owner) { return new TCustomXPScrollBar(owner); }
  virtual void ClickCheck();
  virtual int GetCheckBoxAreaWidth() { return FUseCheckBoxes ? kCheckBoxSize + 2 : 0; }
  virtual void DrawCheckBox(int index);
  virtual TColor GetBackgroundColor();
  virtual int GetPrevItemIndex() { return std::max(0, FItemIndex - 1); }
  virtual int GetNextItemIndex() { return FItemIndex + 1; }
  virtual void UpdateItemsAreaWidth();
  virtual void AdjustItemHeight(int& height) { (void)height; }
  virtual void PaintBackground();
  virtual void DrawItemStandard(int index);
  virtual void DrawItemText(int index, const RECT& rect);
  virtual RECT GetItemsAreaRect() { return ClientRect(); }
  virtual int GetItemTextWidth(int index);
  virtual int GetFontHeight();
  virtual void SelectionChanged();
  virtual void DoDrawItem(int index);
  // Outside the classic look the client area loses a pixel on every side.
  virtual void AdjustNCRect(TMessage& message);
  // True when the non-client border was painted here.
  virtual bool PaintNCBorder();
  virtual SIZE GetCheckBoxSize(int themeState);
  // Adding made the first item current: an owner that shows it follows.
  virtual void FirstItemMadeCurrent() {}

  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  // The clock of type-ahead pauses.
  virtual DWORD TickNow() { return GetTickCount(); }

  TVK_MESSAGES();
  void WMSize(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMSetText(TMessage& message);
  void WMGetText(TMessage& message);
  void WMGetTextLength(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);

  int FSuppressChange = 0;
  bool FItemIndexByMouse = false;

private:
  static constexpr int kCheckBoxSize = 13;
  bool ColumnMode() const { return FColumns > 0; }
  void UpdateBarPosition();
  void UpdateHotItem(POINT point);
  void ScrollTimerTick(TObject*);
  void RepaintCheckBox(int index);
  void ItemsChange(TObject*) { SelectionChanged(); }
  void ItemsUpdateEnded();
  void VertScrollBarChange(TObject*);
  void HorzScrollBarChange(TObject*);
  void SetHorzDelta(int value);
  void UpdateVisibleWidth();
  void UpdateVisibleHeight();
  void UpdateVisibleCount();
  void UpdateVertVisibility();
  void UpdateVertRange();
  void UpdateHorzVisibility();
  void UpdateHorzRange();
  void UpdateScrollBars();
  int GetItemWidth();
  POINT GetItemPos(int index);
  void PaintItem(int index);
  void SelectOnlyItemIndex();
  void TrackSelectionTo(int index);
  // Repaints by rectangle: one row, or from a row to the bottom of the area.
  void RepaintRow(int index);
  void RepaintFrom(int index);
  void RepaintAll();
  void MarkRange(int from, int to, bool value);

  std::unique_ptr<TXPListBoxStrings> FItems;
  // Text is measured outside painting as well (rows, widest item).
  TMeasureCanvas FMeasure;
  int FItemIndex = -1;
  int FTopIndex = 0;
  int FVisibleCount = 0;
  TCustomXPScrollBar* FHorzScrollBar = nullptr;
  TCustomXPScrollBar* FVertScrollBar = nullptr;
  TXPCustomControl* FBottomPanel = nullptr;
  TCustomControl* FCorner = nullptr;
  TXPScrollStyle FScrollBars = TXPScrollStyle::pssAuto;
  int FUsedItemHeight = 1;
  int FLightedIndex = -1;
  bool FAlphaNumericSorting = true;
  TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
  WideString FText;
  int FHorzDelta = 0;
  int FItemsAreaWidth = 0;
  bool FExtendedSelect = true;
  bool FMultiSelect = false;
  int FSelStartIndex = 0;
  int FPredIndex = 0;
  bool FSelState = false;
  bool FMouseDown = false;
  bool FUseCheckBoxes = false;
  bool FAllowGrayed = false;
  int FPressedIndex = -1;
  bool FAutoComplete = true;
  unsigned FAutoCompleteDelay = 500;
  WideString FFilter;
  DWORD FLastTime = 0;
  SIZE FVisibleAreaSize{0, 0};
  int FColumns = 0;
  int FColumnCount = 1;
  int FHotIndex = -1;
  TListBoxStyle FStyle = TListBoxStyle::lbStandard;
  int FItemHeight = 16;
  TTimer* FScrollTimer = nullptr;

protected:
  TColor FFrameColor = RGB(127, 157, 185);
};

class TXPListBox : public TCustomXPListBox {
public:
  TVK_CLASS(TXPListBox, TCustomXPListBox)
  explicit TXPListBox(TComponent* owner) : TCustomXPListBox(owner) {}
};

}  // namespace tvk
