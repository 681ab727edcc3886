#include "dxPopupEdits.h"

#include <algorithm>

namespace tvk {

namespace {

DWORD (*gPickTickSource)() = nullptr;

DWORD PickTickCount() { return gPickTickSource ? gPickTickSource() : GetTickCount(); }

constexpr DWORD kPickSearchPause = 2000;
constexpr std::size_t kPickSearchLength = 32;

// Raises a counter for one scope.
class TCounterGuard {
public:
  explicit TCounterGuard(int& counter) : FCounter(counter) { ++FCounter; }
  ~TCounterGuard() { --FCounter; }
  TCounterGuard(const TCounterGuard&) = delete;
  TCounterGuard& operator=(const TCounterGuard&) = delete;

private:
  int& FCounter;
};

}  // namespace

// ---- pick list

void TCustomdxPopupPickListBox::SetTickSource(DWORD (*source)()) { gPickTickSource = source; }

void TCustomdxPopupPickListBox::KeyPress(wchar_t& key) {
  if (key == L'\b' || key == VK_ESCAPE) {
    FSearchText.clear();
  } else if (key >= 32 && key <= 255) {
    const DWORD now = PickTickCount();
    if (now - FSearchTickCount > kPickSearchPause) FSearchText.clear();
    FSearchTickCount = now;
    if (FSearchText.size() < kPickSearchLength) {
      FSearchText += key;
      const LRESULT found =
          SendMessageW(Handle(), LB_SELECTSTRING, 0xFFFF, reinterpret_cast<LPARAM>(FSearchText.c_str()));
      if (found == LB_ERR) FSearchText.pop_back();
    }
    key = 0;
  }
  TCustomdxPopupListBox::KeyPress(key);
}

void TdxPopupPickListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomdxPopupPickListBox::MouseUp(button, shift, x, y);
  if (button != TMouseButton::mbLeft) return;
  if (auto* edit = dynamic_cast<TdxInplaceDropDownEdit*>(Owner()))
    edit->CloseUp(x >= 0 && y >= 0 && x < Width() && y < Height());
}

// ---- pick editor

TdxInplacePickEdit::TdxInplacePickEdit(TComponent* owner)
    : TdxInplaceDropDownEdit(owner), FItems(std::make_unique<TStringList>()) {
  FPickList = CreatePickList();
  FPickList->SetVisible(false);
  FPickList->SetIntegralHeight(true);
  FPickList->SetItemHeight(11);
  FSearchStyle = true;
}

TCustomdxPopupListBox* TdxInplacePickEdit::CreatePickList() { return new TdxPopupPickListBox(this); }

void TdxInplacePickEdit::SetSorted(bool value) {
  if (value == FSorted) return;
  SetDroppedDown(false);
  FSorted = value;
  FItems->SetSorted(value);
}

void TdxInplacePickEdit::SetDropDownListStyle(bool value) {
  if (value == FDropDownListStyle) return;
  FDropDownListStyle = value;
  ApplyReadOnly(GetReadOnly());
}

int TdxInplacePickEdit::ItemIndex() {
  const WideString text = GetTextValue();
  for (int i = 0; i < FItems->Count(); ++i) {
    const WideString item = FItems->Get(i);
    if (FItems->CaseSensitive() ? item == text
                                : CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, item.c_str(), -1, text.c_str(),
                                                 -1) == CSTR_EQUAL)
      return i;
  }
  return -1;
}

void TdxInplacePickEdit::SetItemIndex(int index) {
  if (index < 0 || index >= FItems->Count()) return;
  ResetFind();
  if (CanEditValue()) SetPickText(FItems->Get(index));
  SelectAll();
}

int TdxInplacePickEdit::FindItem(const WideString& s) {
  if (s.empty() || FItems->Count() == 0) return -1;
  const DWORD flags = FItems->CaseSensitive() ? 0 : NORM_IGNORECASE;
  const int length = static_cast<int>(s.size());
  for (int i = 0; i < FItems->Count(); ++i) {
    const WideString item = FItems->Get(i);
    if (static_cast<int>(item.size()) < length) continue;
    if (CompareStringW(LOCALE_USER_DEFAULT, flags, item.c_str(), length, s.c_str(), length) == CSTR_EQUAL) return i;
  }
  return -1;
}

void TdxInplacePickEdit::SetPickText(const WideString& value) {
  if (GetText() == value) return;
  SetText(value);
  SetEditModified(true);
}

void TdxInplacePickEdit::ClearText() {
  if (!CanEditValue()) return;
  TCounterGuard guard(FDisableRefresh);
  SetPickText(WideString());
}

void TdxInplacePickEdit::ResetFind() {
  if (FDisableRefresh) return;
  FFindSelection = false;
  FFindStr.clear();
}

void TdxInplacePickEdit::SelectTail(int from) {
  const int length = static_cast<int>(GetTextValue().size());
  // The caret stands at the start of the completed tail.
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(length), from);
}

bool TdxInplacePickEdit::AutoComplete() {
  const int index = FindItem(FFindStr);
  if (index < 0) return false;
  {
    TCounterGuard guard(FDisableRefresh);
    if (CanEditValue()) SetPickText(FItems->Get(index));
  }
  SelectTail(static_cast<int>(FFindStr.size()));
  return true;
}

bool TdxInplacePickEdit::WholeTextSelected() {
  const int length = static_cast<int>(GetTextValue().size());
  return length > 0 && SelStart() == 0 && SelLength() >= length;
}

bool TdxInplacePickEdit::CanModify() { return !FDropDownListStyle && TdxInplaceDropDownEdit::CanModify(); }

void TdxInplacePickEdit::SetEditValue(const Variant& value) {
  ResetFind();
  TdxInplaceDropDownEdit::SetEditValue(value);
}

void TdxInplacePickEdit::SetActive(bool value) {
  ResetFind();
  TdxInplaceDropDownEdit::SetActive(value);
}

void TdxInplacePickEdit::ApplyReadOnly(bool value) {
  TdxInplaceDropDownEdit::ApplyReadOnly(value);
  if (FDropDownListStyle && HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, TRUE, 0);
}

void TdxInplacePickEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_ESCAPE) ResetFind();
  if (key == VK_DELETE && FDropDownListStyle && FCanDeleteText && WholeTextSelected()) ClearText();
  // Backspace works on its character (KeyPress), after the completion has seen it.
  if (key == VK_BACK && !(shift & (ssCtrl | ssAlt))) {
    key = 0;
    return;
  }
  TdxInplaceDropDownEdit::KeyDown(key, shift);
}

void TdxInplacePickEdit::KeyPress(wchar_t& key) {
  if (GetReadOnly()) {
    key = 0;
    return;
  }
  const WideString text = GetTextValue();
  const int length = static_cast<int>(text.size());
  const bool atEnd = SelStart() >= length;
  bool found = false;
  if (key == L'\b') {
    if (!atEnd && !FDropDownListStyle) ResetFind();
    bool cleared = false;
    if (FDropDownListStyle) {
      if (WholeTextSelected() && FCanDeleteText) {
        ClearText();
        cleared = true;
      } else if (!FFindSelection) {
        FFindStr = text;
        FFindSelection = true;
      }
    }
    if (!cleared && FFindSelection) {
      if (!FFindStr.empty()) FFindStr.pop_back();
      if (!FFindStr.empty() || (FDropDownListStyle && !FCanDeleteText)) {
        SelectTail(static_cast<int>(FFindStr.size()));
        found = AutoComplete();
      } else {
        ClearText();
      }
    }
  } else if (key >= 32 && key <= 255) {
    if (!atEnd || static_cast<int>(FFindStr.size()) != length) ResetFind();
    if (FFindSelection && (FMaxLength == 0 || length < FMaxLength)) {
      FFindStr += key;
    } else {
      CHARRANGE range{};
      GetSelection(range);
      const int start = std::clamp<int>(range.cpMin, 0, length);
      const int end = std::clamp<int>(range.cpMax, start, length);
      FFindStr = text.substr(0, static_cast<std::size_t>(start)) + text.substr(static_cast<std::size_t>(end)) + key;
      FFindSelection = true;
    }
    found = AutoComplete();
    if (FImmediateDropDown && !FListVisible) {
      DropDown();
      SearchList(GetTextValue());
    }
  }
  if (found) key = 0;
  if (key == L'\b') {
    DeleteBack();
    key = 0;
  }
  if (key) TdxInplaceDropDownEdit::KeyPress(key);
}

void TdxInplacePickEdit::DeleteBack() {
  if (!CanEditValue() || !CanModify()) return;
  CHARRANGE range{};
  GetSelection(range);
  if (range.cpMax == range.cpMin) {
    if (range.cpMin == 0) return;
    SetSelection(range.cpMin - 1, range.cpMin);
  }
  SetSelText(WideString());
}

void TdxInplacePickEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && (shift & ssDouble) && FRevertable && FItems->Count() > 1) {
    SelectNext(1, true);
    SearchList(GetTextValue());
  }
  TdxInplaceDropDownEdit::MouseDown(button, shift, x, y);
}

void TdxInplacePickEdit::SelectNext(int delta, bool wrapAtEnd) {
  if (GetReadOnly() || FItems->Count() == 0) return;
  ResetFind();
  const int count = FItems->Count();
  const int p = FItemIndex != -1 ? FItemIndex : FindItem(GetTextValue());
  int index = 0;
  if (p >= 0 && p < count) {
    index = std::max(p + delta, 0);
    if (index >= count) index = wrapAtEnd ? 0 : count - 1;
  }
  FItemIndex = index;
  if (CanEditValue()) SetPickText(FItems->Get(index));
  SelectAll();
}

void TdxInplacePickEdit::PreparePickList() {
  TCustomdxPopupListBox& list = *FPickList;
  list.SetParent(this);
  list.SetColor(Color());
  list.Font().Assign(Font());
  list.SetPopupBorderStyle(PopupBorderStyle());
  list.SetShadow(Style().Shadow());
  list.Items().Assign(*FItems);
  list.HandleNeeded();
  const int nonClientWidth = list.Width() - list.ClientWidth();
  const int nonClientHeight = list.Height() - list.ClientHeight();
  const int rows = std::min(list.Items().Count(), FDropDownRows);
  int width = FDropDownWidth;
  if (width == 0) {
    int widest = 10;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    for (int i = 0; i < list.Items().Count(); ++i) {
      const WideString item = list.Items().Get(i);
      SIZE size{};
      GetTextExtentPoint32W(dc, item.c_str(), static_cast<int>(item.size()), &size);
      widest = std::max<int>(widest, size.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    width = widest + 4 + nonClientWidth;
  }
  list.SetBounds(list.Left(), list.Top(), width, rows * list.RealItemHeight() + nonClientHeight);
  list.SetItemIndex(list.Items().IndexOf(GetTextValue()));
  PlacePopup(&list, true);
}

void TdxInplacePickEdit::DropDown() {
  if (InternalReadOnly() || !HandleAllocated()) return;
  if (GetFocus() != Handle()) ::SetFocus(Handle());
  if (GetFocus() != Handle()) return;
  DoDropDown();
  FActiveList = FPickList;
  if (FItems->Count() == 0) return;
  PreparePickList();
  SetWindowPos(FPickList->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FListVisible = true;
  Invalidate();
}

void TdxInplacePickEdit::SearchList(const WideString& text) {
  if (!FListVisible) return;
  if (!FFindSelection && FItemIndex >= 0 && FItemIndex < FPickList->Items().Count())
    FPickList->SetItemIndex(FItemIndex);
  else
    FPickList->SetItemIndex(FindItem(text));
}

void TdxInplacePickEdit::CloseUp(bool accept) {
  if (!FListVisible) return;
  ResetFind();
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  FocusEditor();
  if (FPickList->HandleAllocated()) ShowWindow(FPickList->Handle(), SW_HIDE);
  FListVisible = false;
  Invalidate();
  WideString value = GetTextValue();
  const int index = FPickList->ItemIndex();
  if (index >= 0) value = FPickList->Items().Get(index);
  DoCloseUp(value, accept);
  if (accept && CanEditValue()) {
    SetPickText(value);
    SelectAll();
    if (PostEditorOnCloseUp && HandleAllocated()) PostMessageW(Handle(), WM_KEYDOWN, VK_RETURN, 0);
  }
}

// ---- calculator editor

TdxPopupCalculator::TdxPopupCalculator(TComponent* owner) : TCustomdxCalculator(owner) { SetIsPopupControl(true); }

void TdxPopupCalculator::SetIsFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxPopupCalculator::ReadDisplayText(WideString& text) { text = FEdit ? FEdit->GetTextValue() : L"0"; }

void TdxPopupCalculator::WriteDisplayText(const WideString& text) {
  if (!FEdit || !FEdit->CanEditValue()) return;
  try {
    FEdit->SetText(text);
    FEdit->SetEditModified(true);
  } catch (...) {
    HidePopup(false);
    throw;
  }
}

void TdxPopupCalculator::HidePopup(bool byMouse) {
  TCustomdxCalculator::HidePopup(byMouse);
  if (FEdit && FEdit->GetTextValue() == CalcErrorText()) {
    FEdit->SetText(L"0");
    FEdit->SetEditModified(true);
  }
}

void TdxPopupCalculator::CreateParams(TCreateParams& params) {
  TCustomdxCalculator::CreateParams(params);
  params.Style = WS_POPUP;
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TdxPopupCalculator::KeyDown(WORD& key, TShiftState shift) {
  if (((key == VK_UP || key == VK_DOWN) && (shift & ssAlt)) || key == VK_F4) {
    HidePopup(false);
    key = 0;
  } else if (key == VK_RETURN) {
    TCustomdxCalculator::KeyDown(key, shift);
    HidePopup(false);
    key = 0;
  } else if (key == VK_ESCAPE) {
    HidePopup(false);
    key = 0;
  } else {
    TCustomdxCalculator::KeyDown(key, shift);
  }
}

void TdxPopupCalculator::KeyPress(wchar_t& key) {
  const wchar_t typed = key;
  TCustomdxCalculator::KeyPress(key);
  if (typed == L'=' && FQuickClose) HidePopup(false);
}

TdxInplaceCalcEdit::TdxInplaceCalcEdit(TComponent* owner) : TdxInplaceDropDownEdit(owner) {
  FSendChildrenStyle = false;
}

TdxInplaceCalcEdit::~TdxInplaceCalcEdit() = default;

void TdxInplaceCalcEdit::DropDown() {
  if (FListVisible || !CanModify()) return;
  if (!FPopupCalculator)
    FPopupCalculator = std::make_unique<TdxPopupCalculator>(nullptr);
  else
    FPopupCalculator->DestroyHandle();
  TdxPopupCalculator& calc = *FPopupCalculator;
  calc.OwnerControl = this;
  FActiveList = &calc;
  DoDropDown();
  calc.SetPopupBorderStyle(PopupBorderStyle());
  calc.SetShadow(Style().Shadow());
  calc.IsPopup = true;
  calc.SetIsQuickClose(FQuickClose);
  calc.SetEdit(this);
  calc.Font().Assign(Font());
  calc.SetFocusRectVisible(false);
  calc.FBeepOnError = FBeepOnError;
  calc.SetButtonStyle(FButtonStyle);
  calc.SetButtonFrameVisible(FShowButtonFrame);
  calc.FPrecision = FPrecision;
  calc.CalcLayout();
  PlacePopup(&calc, false);
  FListVisible = true;
  calc.ShowPopup();
}

// ---- date editor

TdxInplaceDateEdit::TdxInplaceDateEdit(TComponent* owner) : TdxInplaceDropDownEdit(owner) {
  SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csSetCaption));
  FSendChildrenStyle = false;
}

TdxInplaceDateEdit::~TdxInplaceDateEdit() = default;

void TdxInplaceDateEdit::DoDateValidateInput(const WideString& text, TDateTime& date, WideString& message,
                                             bool& error) {
  if (FOnDateValidateInput) FOnDateValidateInput(this, text, date, message, error);
}

WideString TdxInplaceDateEdit::BlankText() { return BlankMaskText(EditMask(), GetMaskBlankChar(EditMask())); }

void TdxInplaceDateEdit::SetUseEditMask(bool value) {
  if (value == FUseEditMask) return;
  FUseEditMask = value;
  ApplyDateMask();
}

void TdxInplaceDateEdit::ApplyDateMask() {
  TCounterGuard guard(FInternalChanging);
  SetEditText(WideString());
  if (FUseEditMask) {
    SetEditMask(BuildDateEditMask());
  } else {
    SetEditMask(WideString());
    FStoredValues &= ~Bit(svEditMask);
  }
  ShowDate(FDate);
}

void TdxInplaceDateEdit::ShowDate(TDateTime date) {
  const TDateTime old = FDate;
  FDate = date;
  const bool modified = GetEditModified();
  SetText(DateToEditText(IsMasked(), date));
  SetEditModified(modified);
  FTextChanged = false;
  if (!FInternalChanging && FDate != old && FOnDateChange) FOnDateChange(this);
}

void TdxInplaceDateEdit::DoChange() {
  if (FInternalChanging) return;
  TdxInplaceDropDownEdit::DoChange();
  FTextChanged = true;
}

void TdxInplaceDateEdit::CommitDate(TDateTime date) {
  if (date == FDate && !FTextChanged) return;
  TCustomdxContainer* host = Container();
  if ((host && host->InitEdit()) || CanEditValue()) ShowDate(date);
}

WideString TdxInplaceDateEdit::GetEditingText() {
  const WideString text = TdxInplaceDropDownEdit::GetEditingText();
  if (IsMasked() && GetTextValue() == BlankText()) return WideString();
  return text;
}

void TdxInplaceDateEdit::ValidateEdit() {
  TDateTime d = FDateOnError == deToday ? tvk::Date() : NullDate;
  if (GetEditModified()) {
    const WideString text = GetTextValue();
    bool error = false;
    if ((IsMasked() && text == BlankText()) || (!IsMasked() && TrimBlanks(text).empty()))
      d = NullDate;
    else
      error = !TextToDate(text, d);
    if (FDateValidation || error) {
      if (FCloseFlag) {
        // The closing host takes the entry snapshot back; the date stays.
        Reset();
        SetEditText(WideString());
        return;
      }
      bool reject = error && FDateValidation;
      WideString message = InvalidDateText();
      DoDateValidateInput(text, d, message, reject);
      if (reject) {
        if (!(ComponentState() & csDesigning)) MarkReEnter();
        if (HandleAllocated() && IsWindowVisible(Handle()) && GetFocus() != Handle()) ::SetFocus(Handle());
        MessageBeep(0);
        throw Exception(message);
      }
    }
    CommitDate(d);
    SetEditModified(true);
  }
  TdxInplaceDropDownEdit::ValidateEdit();
}

void TdxInplaceDateEdit::SetEditValue(const Variant& value) {
  TCounterGuard guard(FInternalChanging);
  TDateTime date = NullDate;
  if (VarIsStr(value)) {
    // A text reads by the editor's own date rules (a number of days too).
    const WideString text(TrimBlanks(VarToStr(value)));
    double days = 0;
    if (text.empty())
      date = NullDate;
    else if (TryStrToFloat(text, days))
      date = days;
    else if (!TextToDate(text, date))
      date = NullDate;
  } else if (double moment = 0; TryVarToDateTime(value, moment)) {
    date = moment;
  }
  const bool modified = GetEditModified();
  ShowDate(date);
  SetEditModified(modified);
}

Variant TdxInplaceDateEdit::GetEditValue() { return FDate == NullDate ? Null() : VarFromDateTime(FDate); }

void TdxInplaceDateEdit::DropDown() {
  if (FListVisible || !CanModify()) return;
  if (!FDateNavigator)
    FDateNavigator = std::make_unique<TdxGridDatePopup>(nullptr);
  else
    FDateNavigator->DestroyHandle();
  TdxGridDatePopup& calendar = *FDateNavigator;
  calendar.OwnerControl = this;
  FActiveList = &calendar;
  DoDropDown();
  calendar.SetPopupBorderStyle(PopupBorderStyle());
  calendar.SetShadow(Style().Shadow());
  calendar.Font().Assign(Font());
  calendar.ShowTodayButton = (FDateButtons & btnToday) != 0;
  calendar.ShowClearButton = (FDateButtons & btnClear) != 0;
  calendar.OnDateTimeChanged = nullptr;
  TDateTime d = tvk::Date();
  const WideString text = GetTextValue();
  if (!(IsMasked() && text == BlankText())) {
    TDateTime parsed = 0;
    if (TextToDate(text, parsed)) FDateDropDown = parsed;
  }
  if (FDateDropDown != NullDate) d = DatePart(FDateDropDown);
  calendar.SetFirstDate(d);
  calendar.SetSelStart(d);
  calendar.OnDateTimeChanged = [this](TObject* sender) { CalendarDateChanged(sender); };
  calendar.HandleNeeded();
  calendar.SetSize();
  PlacePopup(&calendar, false);
  FListVisible = true;
  calendar.ShowPopup();
}

void TdxInplaceDateEdit::CalendarDateChanged(TObject* sender) {
  (void)sender;
  TDateTime d = FDateNavigator->SelStart();
  if (FSaveTime && d != NullDate && FDateDropDown != NullDate) {
    const TDateTime time = TimeOfDay(FDateDropDown);
    d = d < 0 ? d - time : d + time;
  }
  SetEditModified(true);
  CommitDate(d);
  SetEditModified(true);
}

TVK_MESSAGE_MAP(TdxInplaceDateEdit, {CM_WININICHANGE, &TdxInplaceDateEdit::CMWinIniChange})

void TdxInplaceDateEdit::CMWinIniChange(TMessage& message) {
  TVK_INHERITED(message);
  ReadLocaleFormatSettings();
  ReadFirstDayOfWeek();
  ApplyDateMask();
}

}  // namespace tvk
