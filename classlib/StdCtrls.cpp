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

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(Left(), Top(), 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

WideString TEdit::Text() {
  if (!HandleAllocated()) return Caption();
  WideString text(std::size_t(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(Handle(), text.data(), int(text.size()))));
  return text;
}

void TEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SubClassName = L"EDIT";
  params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd() {
  TWinControl::CreateWnd();
  FWindowFont.Assign(Font());
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FWindowFont.Handle()), FALSE);
}

void TEdit::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == EN_CHANGE && OnChange) OnChange(this);
  message.Result = 0;
}

// A text set from code while there is no window changes it too.
void TEdit::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!HandleAllocated() && OnChange) OnChange(this);
}

void TEdit::CMFontChanged(TMessage& message) {
  if (HandleAllocated()) {
    FWindowFont.Assign(Font());
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FWindowFont.Handle()), TRUE);
  }
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TEdit, {CN_COMMAND, &TEdit::CNCommand}, {CM_TEXTCHANGED, &TEdit::CMTextChanged},
                {CM_FONTCHANGED, &TEdit::CMFontChanged})

}  // namespace tvk
