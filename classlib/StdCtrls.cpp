#include "StdCtrls.h"

#include "Forms.h"

#include <algorithm>

namespace tvk {

UINT AlignmentTextFlags(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  FWidth = 65;
  FHeight = 17;
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (value) SetControlStyle(ControlStyle() & ~csOpaque);
  else SetControlStyle(ControlStyle() | csOpaque);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (control == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

WideString TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(RECT& rect, UINT flags) {
  WideString text = GetLabelText();
  // An empty text (or a lone accelerator mark) still measures one line.
  if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == L"&"))) text += L" ";
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  if (!Enabled()) {
    OffsetRect(&rect, 1, 1);
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(rect, text, flags);
    OffsetRect(&rect, -1, -1);
    canvas.Font().SetColor(clBtnShadow);
    canvas.DrawText(rect, text, flags);
  } else {
    canvas.DrawText(rect, text, flags);
  }
}

void TCustomLabel::Paint() {
  TCanvas& canvas = Canvas();
  if (!FTransparent) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
  }
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  RECT rect = ClientRect();
  UINT style = DT_EXPANDTABS | WordWrapTextFlags(FWordWrap) | AlignmentTextFlags(FAlignment);
  if (FLayout != TTextLayout::tlTop) {
    RECT calc = rect;
    DoDrawText(calc, style | DT_CALCRECT);
    int dy = FLayout == TTextLayout::tlBottom ? Height() - calc.bottom : (Height() - calc.bottom) / 2;
    OffsetRect(&rect, 0, dy);
  }
  DoDrawText(rect, style);
}

void TCustomLabel::AdjustBounds() {
  if ((ComponentState() & csReading) || !FAutoSize) return;
  RECT rect = ClientRect();
  {
    TScreenCanvas screen(&Canvas());
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | WordWrapTextFlags(FWordWrap));
  }
  SetAutoSizeBounds(rect.right, rect.bottom);
}

void TCustomLabel::SetAutoSizeBounds(int width, int height) {
  switch (Align()) {
    case TAlign::alTop:
    case TAlign::alBottom: width = Width(); break;
    case TAlign::alLeft:
    case TAlign::alRight: height = Height(); break;
    case TAlign::alClient:
    case TAlign::alCustom:
      width = Width();
      height = Height();
      break;
    case TAlign::alNone: break;
  }
  int x = Left();
  // A right-aligned label keeps its right edge.
  if (FAlignment == TAlignment::taRightJustify) x += Width() - width;
  SetBounds(x, Top(), width, height);
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage&) {
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMDialogChar(TMessage& message) {
  if (!FFocusControl || !Enabled() || !FShowAccelChar) return;
  WideString text = Caption();
  auto pos = text.find(L'&');
  while (pos != WideString::npos && pos + 1 < text.size() && text[pos + 1] == L'&') pos = text.find(L'&', pos + 2);
  if (pos == WideString::npos || pos + 1 >= text.size()) return;
  if (CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(text[pos + 1]))) ==
      CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(WORD(message.WParam)))) &&
      FFocusControl->CanFocus()) {
    FFocusControl->SetFocus();
    message.Result = 1;
  }
}

TVK_MESSAGE_MAP(TCustomLabel, {CM_TEXTCHANGED, &TCustomLabel::CMTextChanged},
                {CM_FONTCHANGED, &TCustomLabel::CMFontChanged}, {CM_DIALOGCHAR, &TCustomLabel::CMDialogChar})

// --- TCustomListBox

namespace {

LRESULT SendToList(TCustomListBox* listBox, UINT msg, WPARAM wParam, LPARAM lParam) {
  return SendMessageW(listBox->Handle(), msg, wParam, lParam);
}

}  // namespace

void TListBoxStrings::InsertItem(int index, const WideString& s, TObject* object) {
  TStringList::InsertItem(index, s, object);
  if (FListBox->HandleAllocated()) FListBox->InsertToWindow(index);
}

void TListBoxStrings::Put(int index, const WideString& s) {
  TStringList::Put(index, s);
  if (!FListBox->HandleAllocated()) return;
  const int selected = FListBox->ItemIndex();
  SendToList(FListBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  FListBox->InsertToWindow(index);
  if (selected == index) FListBox->SetItemIndex(index);
}

void TListBoxStrings::PutObject(int index, TObject* object) {
  TStringList::PutObject(index, object);
  if (FListBox->HandleAllocated())
    SendToList(FListBox, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
}

void TListBoxStrings::Delete(int index) {
  TStringList::Delete(index);
  if (FListBox->HandleAllocated()) SendToList(FListBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TListBoxStrings::Clear() {
  TStringList::Clear();
  FListBox->FItemIndex = -1;
  if (FListBox->HandleAllocated()) SendToList(FListBox, LB_RESETCONTENT, 0, 0);
}

void TListBoxStrings::Exchange(int a, int b) {
  TStringList::Exchange(a, b);
  if (!FListBox->HandleAllocated()) return;
  for (int index : {a, b}) {
    SendToList(FListBox, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    FListBox->InsertToWindow(index);
  }
}

void TListBoxStrings::SetUpdateState(bool updating) {
  if (!FListBox->HandleAllocated()) return;
  SendToList(FListBox, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
  if (!updating) InvalidateRect(FListBox->Handle(), nullptr, TRUE);
}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), FItems(std::make_unique<TListBoxStrings>(this)) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubClassName = L"LISTBOX";
  params.Style |= WS_VSCROLL | WS_BORDER | LBS_NOTIFY;
  // A virtual list keeps no data in the window: its items are drawn from OnData.
  params.Style |= IsVirtual() ? LBS_NODATA | LBS_OWNERDRAWFIXED : LBS_HASSTRINGS;
  if (!FIntegralHeight) params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FMultiSelect) params.Style |= LBS_EXTENDEDSEL;
  if (FStyle == TListBoxStyle::lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED;
  if (FStyle == TListBoxStyle::lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE;
}

void TCustomListBox::SetSorted(bool value) {
  if (value == Sorted() || IsVirtual()) return;
  FItems->SetDuplicates(TDuplicates::dupAccept);  // two items may share a caption, as in the system's sorted list
  FItems->SetSorted(value);
  // The window shows the items in their new order.
  if (value && HandleAllocated()) RecreateWnd();
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  if (FStyle == TListBoxStyle::lbOwnerDrawFixed || IsVirtual()) SendToList(this, LB_SETITEMHEIGHT, 0, FItemHeight);
  SendToList(this, WM_SETREDRAW, FALSE, 0);
  if (IsVirtual())
    SendToList(this, LB_SETCOUNT, static_cast<WPARAM>(FCount), 0);
  else
    for (int i = 0; i < FItems->Count(); ++i) InsertToWindow(i);
  SendToList(this, WM_SETREDRAW, TRUE, 0);
  SetItemIndex(FItemIndex);
}

void TCustomListBox::DestroyWindowHandle() {
  FItemIndex = ItemIndex();
  TWinControl::DestroyWindowHandle();
}

void TCustomListBox::InsertToWindow(int index) {
  if (IsVirtual()) return;
  SendToList(this, LB_INSERTSTRING, static_cast<WPARAM>(index),
             reinterpret_cast<LPARAM>(FItems->Get(index).c_str()));
  SendToList(this, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(FItems->Objects(index)));
  if (FStyle == TListBoxStyle::lbOwnerDrawVariable) {
    // Measured here rather than through the parent, which a list shown as a pop-up may not have.
    int height = FItemHeight;
    MeasureItem(index, height);
    SendToList(this, LB_SETITEMHEIGHT, static_cast<WPARAM>(index), std::clamp(height, 1, 255));
  }
}

int TCustomListBox::Count() const { return IsVirtual() ? FCount : FItems->Count(); }

void TCustomListBox::SetCount(int value) {
  if (!IsVirtual() || value < 0) return;
  FCount = value;
  if (HandleAllocated()) SendToList(this, LB_SETCOUNT, static_cast<WPARAM>(value), 0);
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return FItemIndex;
  const LRESULT index = SendToList(this, FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  FItemIndex = index;
  if (!HandleAllocated()) return;
  if (FMultiSelect)
    SendToList(this, LB_SETCARETINDEX, static_cast<WPARAM>(index), 0);
  else
    SendToList(this, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == FMultiSelect) return;
  FMultiSelect = value;
  if (HandleAllocated()) RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
  if (!HandleAllocated()) return FItemIndex >= 0 && index == FItemIndex;
  return SendToList(this, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

int TCustomListBox::TopIndex() {
  if (!HandleAllocated()) return 0;
  return static_cast<int>(SendToList(this, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int index) { SendToList(this, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0); }

WideString TCustomListBox::ItemText(int index) {
  if (!IsVirtual()) return index >= 0 && index < FItems->Count() ? FItems->Get(index) : WideString();
  WideString data;
  if (OnData) OnData(this, index, data);
  return data;
}

int TCustomListBox::DoFindData(const WideString& text) {
  return OnDataFind ? OnDataFind(this, text) : -1;
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || value == FItemHeight) return;
  FItemHeight = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (value == FIntegralHeight) return;
  FIntegralHeight = value;
  if (HandleAllocated()) RecreateWnd();
}

int TCustomListBox::ItemAtPos(POINT p, bool existing) {
  const int count = Count();
  if (count == 0) return existing ? -1 : 0;
  const int top = static_cast<int>(SendToList(this, LB_GETTOPINDEX, 0, 0));
  for (int i = std::max(top, 0); i < count; ++i) {
    RECT r = ItemRect(i);
    if (r.top > p.y) break;
    if (PtInRect(&r, p)) return i;
  }
  return existing ? -1 : count - 1;
}

RECT TCustomListBox::ItemRect(int index) {
  RECT r{};
  if (SendToList(this, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
    return RECT{};
  return r;
}

int TCustomListBox::SelectString(int start, const WideString& text) {
  const LRESULT found =
      SendToList(this, LB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text.c_str()));
  return found == LB_ERR ? -1 : static_cast<int>(found);
}

void TCustomListBox::MeasureItem(int index, int& height) { (void)index; (void)height; }

void TCustomListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  (void)state;
  FCanvas.FillRect(rect);
  if (index >= 0 && index < Count()) FCanvas.TextOut(rect.left + 2, rect.top, ItemText(index));
}

TVK_MESSAGE_MAP(TCustomListBox, {CN_DRAWITEM, &TCustomListBox::CNDrawItem})

void TCustomListBox::CNDrawItem(TMessage& message) {
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
  const TOwnerDrawState state = OwnerDrawStateOf(item.itemState);
  const int saved = SaveDC(item.hDC);
  FCanvas.SetHandle(item.hDC);
  FCanvas.Font().Assign(Font());
  if (state & odSelected) {
    FCanvas.Brush().SetColor(clHighlight);
    FCanvas.Font().SetColor(clHighlightText);
  } else {
    FCanvas.Brush().SetColor(Color());
  }
  const int index = static_cast<int>(item.itemID);
  if (index >= 0 && index < Count())
    DrawItem(index, item.rcItem, state);
  else
    FCanvas.FillRect(item.rcItem);
  if (state & odFocused) DrawFocusRect(item.hDC, &item.rcItem);
  FCanvas.SetHandle(nullptr);
  RestoreDC(item.hDC, saved);
  message.Result = 1;
}

TOwnerDrawState OwnerDrawStateOf(UINT itemState) {
  static constexpr std::pair<UINT, TOwnerDrawStateFlag> kMap[] = {
      {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},       {ODS_DISABLED, odDisabled},
      {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},       {ODS_DEFAULT, odDefault},
      {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},   {ODS_NOACCEL, odNoAccel},
      {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
  TOwnerDrawState state = 0;
  for (const auto& [system, flag] : kMap)
    if (itemState & system) state |= flag;
  return state;
}

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  // The system button reports its clicks itself (BN_CLICKED).
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks | csCaptureMouse));
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubClassName = L"BUTTON";
  params.Style |= FActive ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  TWinControl::CreateWnd();
  HandFont(false);
}

void TButton::HandFont(bool redraw) {
  if (!HandleAllocated()) return;
  FWindowFont.Assign(Font());
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FWindowFont.Handle()), redraw);
}

void TButton::CMFontChanged(TMessage& message) {
  HandFont(true);
  TVK_INHERITED(message);
}

void TButton::SetDefault(bool value) {
  FDefault = value;
  TCustomForm* form = GetParentForm(this);
  auto* focused = form ? dynamic_cast<TButton*>(form->ActiveControl()) : nullptr;
  SetActive(focused ? focused == this : FDefault);
}

void TButton::SetActive(bool value) {
  FActive = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TWinControl::Click();
}

void TButton::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == BN_CLICKED) Click();
}

void TButton::CMDialogKey(TMessage& message) {
  const WORD key = WORD(message.WParam);
  const TShiftState shift = KeyboardShiftState(message.LParam) & (ssShift | ssAlt | ssCtrl);
  if (Enabled() && Visible() && shift == 0 && ((key == VK_RETURN && FActive) || (key == VK_ESCAPE && FCancel))) {
    Click();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TButton::CMFocusChanged(TMessage& message) {
  auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
  SetActive(dynamic_cast<TButton*>(focused) ? focused == this : FDefault);
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TButton, {CN_COMMAND, &TButton::CNCommand}, {CM_DIALOGKEY, &TButton::CMDialogKey},
                {CM_FOCUSCHANGED, &TButton::CMFocusChanged}, {CM_FONTCHANGED, &TButton::CMFontChanged})

// ---- edit

namespace {

#ifndef EM_SETCUEBANNER
constexpr UINT EM_SETCUEBANNER = 0x1501;
#endif

DWORD AlignmentEditStyle(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return ES_RIGHT;
    case TAlignment::taCenter: return ES_CENTER;
    default: return ES_LEFT;
  }
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(Left(), Top(), 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

const WideString& TCustomEdit::Text() {
  if (HandleAllocated()) ReadWindowText();
  return FText;
}

void TCustomEdit::ReadWindowText() {
  WideString text(std::size_t(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(Handle(), text.data(), int(text.size()))));
  FText = std::move(text);
}

DWORD TCustomEdit::EditStyle() const {
  DWORD style = 0;
  if (FCharCase == TEditCharCase::ecUpperCase) style |= ES_UPPERCASE;
  if (FCharCase == TEditCharCase::ecLowerCase) style |= ES_LOWERCASE;
  if (FOEMConvert) style |= ES_OEMCONVERT;
  if (!FHideSelection) style |= ES_NOHIDESEL;
  if (FReadOnly) style |= ES_READONLY;
  if (FPasswordChar != 0) style |= ES_PASSWORD;
  return style;
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubClassName = L"EDIT";
  params.Style |= ES_AUTOHSCROLL | ES_LEFT | EditStyle();
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  HWND window = Handle();
  HandFont(false);
  SendMessageW(window, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
  if (FPasswordChar != 0) SendMessageW(window, EM_SETPASSWORDCHAR, WPARAM(FPasswordChar), 0);
  if (!FTextHint.empty()) SendMessageW(window, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(FTextHint.c_str()));
  SendMessageW(window, EM_SETMODIFY, FModified, 0);
  if (FSelectionKept) {
    SendMessageW(window, EM_SETSEL, WPARAM(FSelStart), LPARAM(FSelStart + FSelLength));
    FSelectionKept = false;
  }
}

void TCustomEdit::DestroyWindowHandle() {
  if (HandleAllocated()) {
    ReadWindowText();
    FModified = SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
    FSelStart = SelStart();
    FSelLength = SelLength();
    FSelectionKept = true;
  }
  TWinControl::DestroyWindowHandle();
}

void TCustomEdit::HandFont(bool redraw) {
  if (!HandleAllocated()) return;
  FWindowFont.Assign(Font());
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FWindowFont.Handle()), redraw);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  FMaxLength = std::max(value, 0);
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (value == FOEMConvert) return;
  FOEMConvert = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(wchar_t value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), EM_SETPASSWORDCHAR, WPARAM(value), 0);
  Invalidate();
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

bool TCustomEdit::Modified() {
  return HandleAllocated() ? SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool value) {
  FModified = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETMODIFY, value, 0);
}

void TCustomEdit::SetTextHint(const WideString& value) {
  if (value == FTextHint) return;
  FTextHint = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(FTextHint.c_str()));
}

int TCustomEdit::SelStart() {
  if (!HandleAllocated()) return FSelStart;
  DWORD start = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return int(start);
}

void TCustomEdit::SetSelStart(int value) {
  FSelStart = value;
  FSelLength = 0;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, WPARAM(value), LPARAM(value));
}

int TCustomEdit::SelLength() {
  if (!HandleAllocated()) return FSelLength;
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return int(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  FSelLength = value;
  if (!HandleAllocated()) return;
  const int start = SelStart();
  SendMessageW(Handle(), EM_SETSEL, WPARAM(start), LPARAM(start + value));
}

WideString TCustomEdit::SelText() {
  const WideString& text = Text();
  const std::size_t start = std::min(std::size_t(std::max(SelStart(), 0)), text.size());
  return text.substr(start, std::size_t(std::max(SelLength(), 0)));
}

void TCustomEdit::SetSelText(const WideString& value) {
  if (HandleAllocated()) {
    SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
    return;
  }
  // Without a window the kept selection is replaced in the kept text.
  const std::size_t start = std::min(std::size_t(std::max(FSelStart, 0)), FText.size());
  WideString text = FText;
  text.replace(start, std::size_t(std::max(FSelLength, 0)), value);
  SetText(text);
  FSelStart = int(start + value.size());
  FSelLength = 0;
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection() { Perform(WM_CLEAR); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE); }
bool TCustomEdit::CanUndo() { return HandleAllocated() && SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0; }
void TCustomEdit::Undo() { Perform(WM_UNDO); }

void TCustomEdit::ClearUndo() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TCustomEdit::DoEnter() {
  // A click places the caret itself; a multi-line edit keeps its caret.
  if (FAutoSelect && !(ControlState() & csLButtonDown) && HandleAllocated() &&
      !(GetWindowLongW(Handle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == EN_CHANGE) {
    ReadWindowText();
    Change();
  }
  message.Result = 0;
}

// A text set from code while there is no window changes it too, and so does
// one set into a multi-line window, which reports no EN_CHANGE for it.
void TCustomEdit::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!HandleAllocated() || (GetWindowLongW(Handle(), GWL_STYLE) & ES_MULTILINE)) Change();
}

void TCustomEdit::CMFontChanged(TMessage& message) {
  HandFont(true);
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TCustomEdit, {CN_COMMAND, &TCustomEdit::CNCommand}, {CM_TEXTCHANGED, &TCustomEdit::CMTextChanged},
                {CM_FONTCHANGED, &TCustomEdit::CMFontChanged})

// ---- memo lines

namespace {

// A memo's text as lines: split at CR LF, LF or CR; a last line break ends
// the last line rather than starting an empty one.
std::vector<WideString> SplitMemoLines(std::wstring_view text) {
  std::vector<WideString> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end;
    if (start < text.size() && text[start] == L'\r') ++start;
    if (start < text.size() && text[start] == L'\n') ++start;
  }
  return lines;
}

// The lines joined by CR LF, without one after the last.
WideString JoinMemoLines(const std::vector<WideString>& lines) {
  WideString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += L"\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace

std::vector<WideString> TMemoStrings::Lines() const {
  if (FUpdating) return *FUpdating;
  return SplitMemoLines(FMemo->Text());
}

void TMemoStrings::Store(std::vector<WideString> lines) {
  if (FUpdating) {
    *FUpdating = std::move(lines);
    return;
  }
  FMemo->SetText(JoinMemoLines(lines));
  Changed();
}

int TMemoStrings::Count() const { return int(Lines().size()); }

WideString TMemoStrings::Get(int index) const {
  const auto lines = Lines();
  if (index < 0 || index >= int(lines.size())) Error(L"List index out of bounds (%d)", index);
  return lines[std::size_t(index)];
}

void TMemoStrings::Put(int index, const WideString& s) {
  auto lines = Lines();
  if (index < 0 || index >= int(lines.size())) Error(L"List index out of bounds (%d)", index);
  lines[std::size_t(index)] = s;
  Store(std::move(lines));
}

void TMemoStrings::Insert(int index, const WideString& s) {
  auto lines = Lines();
  if (index < 0 || index > int(lines.size())) Error(L"List index out of bounds (%d)", index);
  lines.insert(lines.begin() + index, s);
  Store(std::move(lines));
}

void TMemoStrings::Delete(int index) {
  auto lines = Lines();
  if (index < 0 || index >= int(lines.size())) Error(L"List index out of bounds (%d)", index);
  lines.erase(lines.begin() + index);
  Store(std::move(lines));
}

void TMemoStrings::Clear() { Store({}); }

// An update works on a copy of the lines and writes the text once at its end.
void TMemoStrings::SetUpdateState(bool updating) {
  if (updating) {
    FUpdating = SplitMemoLines(FMemo->Text());
    return;
  }
  std::vector<WideString> lines = std::move(*FUpdating);
  FUpdating.reset();
  FMemo->SetText(JoinMemoLines(lines));
}

// ---- memo

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), FLines(std::make_unique<TMemoStrings>(this)) {
  SetBounds(Left(), Top(), 185, 89);
  SetAutoSelect(false);
}

void TCustomMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style &= ~DWORD(ES_AUTOHSCROLL | ES_LEFT | ES_RIGHT | ES_CENTER);
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | AlignmentEditStyle(FAlignment);
  if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth) params.Style |= WS_HSCROLL;
  if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
  // Without word wrap long lines scroll; a horizontal bar scrolls them too.
  if (!FWordWrap || (params.Style & WS_HSCROLL)) params.Style |= ES_AUTOHSCROLL;
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  RecreateWnd();
}

POINT TCustomMemo::CaretPos() {
  if (!HandleAllocated()) return POINT{};
  const int start = SelStart();
  const int line = int(SendMessageW(Handle(), EM_LINEFROMCHAR, WPARAM(start), 0));
  const int lineStart = int(SendMessageW(Handle(), EM_LINEINDEX, WPARAM(line), 0));
  return POINT{start - lineStart, line};
}

void TCustomMemo::SetCaretPos(POINT value) {
  if (!HandleAllocated()) return;
  const int lineStart = int(SendMessageW(Handle(), EM_LINEINDEX, WPARAM(value.y), 0));
  if (lineStart < 0) return;
  const int lineLength = int(SendMessageW(Handle(), EM_LINELENGTH, WPARAM(lineStart), 0));
  SetSelStart(lineStart + std::clamp(int(value.x), 0, lineLength));
}

void TCustomMemo::KeyPress(wchar_t& key) {
  TCustomEdit::KeyPress(key);
  // What the memo does not want reaches the form instead of the text.
  if ((key == L'\r' && !FWantReturns) || (key == L'\t' && !FWantTabs)) key = 0;
}

void TCustomMemo::CNCommand(TMessage& message) {
  const WORD code = HIWORD(message.WParam);
  if (code == EN_HSCROLL && OnHScroll) OnHScroll(this);
  if (code == EN_VSCROLL && OnVScroll) OnVScroll(this);
  TVK_INHERITED(message);
}

void TCustomMemo::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  // The system edit asks for every key; Tab and Enter (with Escape) only when wanted.
  if (FWantTabs) {
    message.Result |= DLGC_WANTTAB;
  } else {
    message.Result &= ~LRESULT(DLGC_WANTTAB);
    if (message.WParam == VK_TAB) message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
  }
  if (!FWantReturns) message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

TVK_MESSAGE_MAP(TCustomMemo, {CN_COMMAND, &TCustomMemo::CNCommand}, {WM_GETDLGCODE, &TCustomMemo::WMGetDlgCode})

}  // namespace tvk
