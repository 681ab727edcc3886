#include "XPDXCombos.h"

#include "Application.h"
#include "CommonUtils.h"
#include "XPControlUtils.h"

#include <algorithm>
#include <utility>

namespace tvk {

namespace {

// The one open drop-down list of the process.
TXPDXPopupListBox* gOpenComboList = nullptr;

constexpr DWORD kComboTypeAheadPause = 500;
constexpr int kComboMaxDropWidth = 400;

DWORD ComboSystemTicks() { return GetTickCount(); }

bool ComboIsSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool ComboIsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Raises a counter for the life of the scope.
struct TComboCounter {
  explicit TComboCounter(int& counter) : Counter(counter) { ++Counter; }
  ~TComboCounter() { --Counter; }
  TComboCounter(const TComboCounter&) = delete;
  TComboCounter& operator=(const TComboCounter&) = delete;
  int& Counter;
};

}  // namespace

// ---- TXPDXPopupListBox

TXPDXPopupListBox::TXPDXPopupListBox(TComponent* owner) : TXPListBox(owner) {
  SetControlStyle(ControlStyle() | csNoDesignVisible);
  SetVisible(false);
  SetTabStop(false);
}

TXPDXPopupListBox::~TXPDXPopupListBox() {
  if (gOpenComboList == this) {
    RemoveHooks();
    gOpenComboList = nullptr;
  }
}

TXPDXPopupListBox* TXPDXPopupListBox::OpenList() { return gOpenComboList; }

TXPDXCustomComboBox* TXPDXPopupListBox::Combo() const { return dynamic_cast<TXPDXCustomComboBox*>(Owner()); }

void TXPDXPopupListBox::CreateParams(TCreateParams& params) {
  TXPListBox::CreateParams(params);
  params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW;
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TXPDXPopupListBox::CreateHandle() {
  TXPListBox::CreateHandle();
  // A child of the desktop: it floats over everything without taking the activation.
  ::SetParent(Handle(), nullptr);
}

void TXPDXPopupListBox::DestroyWindowHandle() {
  UnhookCombo();
  TXPListBox::DestroyWindowHandle();
}

void TXPDXPopupListBox::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  UpdateItemHeight();
}

void TXPDXPopupListBox::Popup(int x, int y) {
  TXPDXCustomComboBox* combo = Combo();
  // The combo's font, without the hot-tracking underline; set only when it differs.
  TFont& own = combo->Font();
  TFontStyles style = combo->HotTrack() ? (own.Style() & ~fsUnderline) : own.Style();
  if (Font().Name() != own.Name() || Font().Height() != own.Height() || Font().Color() != own.Color() ||
      Font().Style() != style) {
    Font().Assign(own);
    Font().SetStyle(style);
  }
  if (HandleAllocated())
    UpdateItemHeight();
  else
    HandleNeeded();
  int count = Count();
  int width = combo->Width();
  if (combo->AutoDropWidth()) {
    int widest = 0;
    TMeasureCanvas measure;
    measure.Font().Assign(Font());
    for (int i = 0; i < count; ++i) {
      WideString item = Items().Get(i);
      if (item.empty()) continue;
      RECT r{0, 0, 0, 0};
      measure.DrawText(r, item, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      widest = std::max<int>(widest, r.right - r.left);
    }
    if (count > combo->DropDownCount()) widest += GetScrollBarSize();
    widest = std::min(2 * GetSystemMetrics(SM_CXBORDER) + widest + 4, kComboMaxDropWidth);
    width = std::max(widest, combo->Width()) + 8;
  }
  int rows = std::max(1, std::min(count, combo->DropDownCount()));
  int height = 2 * GetSystemMetrics(SM_CYBORDER) + GetRowHeight(0) * rows;
  if (HorzScrollBar().Visible()) height += HorzScrollBar().Height();
  MONITORINFO monitor{};
  GetMonitorInfoAtPoint(POINT{x, y}, monitor);
  const RECT& screen = monitor.rcMonitor;
  if (screen.right > screen.left) {
    if (x + width > screen.right) x -= x + width - screen.right;
    if (y + height > screen.bottom) y -= y + height - screen.bottom;
  }
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  UpdateBounds();
  SetTopIndex(ItemIndex());
  SetVisible(true);
  WideString text = combo->UnicodeText();
  {
    TComboCounter quiet(combo->FSuppressChange);
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  gOpenComboList = this;
  InstallHooks();
  HookCombo();
}

void TXPDXPopupListBox::Close(bool success) {
  TXPDXCustomComboBox* combo = Combo();
  UnhookCombo();
  RemoveHooks();
  if (gOpenComboList == this) gOpenComboList = nullptr;
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  if (HandleAllocated()) {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
    SetVisible(false);
  }
  if (!combo) return;
  combo->SetDroppedDown(false);
  if (success) {
    if (ItemIndex() >= 0) combo->SetUnicodeText(Items().Get(ItemIndex()));
    if (combo->HandleAllocated() && combo->Focused()) combo->ShowTextCaret();
    if (combo->Style() == TXPComboBoxStyle::csDropDown) combo->SelectAll();
  } else {
    TComboCounter quiet(combo->FSuppressChange);
    SetItemIndexQuietly(Items().IndexOf(combo->UnicodeText()));
  }
}

void TXPDXPopupListBox::SetItemIndexQuietly(int index) {
  bool wasQuiet = std::exchange(FQuiet, true);
  struct TEnd {
    bool& Flag;
    bool Was;
    ~TEnd() { Flag = Was; }
  } end{FQuiet, wasQuiet};
  SetItemIndex(index);
}

void TXPDXPopupListBox::Click() {
  TXPListBox::Click();
  TXPDXCustomComboBox* combo = Combo();
  if (FQuiet || !combo || ItemIndex() < 0) return;
  {
    TComboCounter quiet(combo->FSuppressChange);
    combo->SetUnicodeText(Items().Get(ItemIndex()));
  }
  combo->Change();
  combo->Select();
}

void TXPDXPopupListBox::KeyDown(WORD& key, TShiftState shift) {
  if ((key == VK_RETURN || key == VK_ESCAPE) && (shift & (ssShift | ssCtrl | ssAlt)) == 0) {
    bool enter = key == VK_RETURN;
    key = 0;
    Close(enter);
    return;
  }
  TXPListBox::KeyDown(key, shift);
}

void TXPDXPopupListBox::WMKeyDown(TMessage& message) {
  switch (message.WParam) {
    case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_UP:
    case VK_DOWN:
      TVK_INHERITED(message);
      return;
    default:
      if (TXPDXCustomComboBox* combo = Combo()) {
        WORD key = WORD(message.WParam);
        combo->KeyDown(key, KeyboardShiftState(message.LParam));
      }
      message.Result = 0;
  }
}

void TXPDXPopupListBox::WMSysKeyDown(TMessage& message) {
  if ((message.WParam == VK_UP || message.WParam == VK_DOWN) && (KeyboardShiftState(message.LParam) & ssAlt)) {
    Close(true);
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TXPDXPopupListBox::WMChar(TMessage& message) {
  if (TXPDXCustomComboBox* combo = Combo()) {
    wchar_t key = wchar_t(message.WParam);
    combo->KeyPress(key);
  }
  message.Result = 0;
}

void TXPDXPopupListBox::CMWantSpecialKey(TMessage& message) {
  if (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE)
    message.Result = 1;
  else
    TVK_INHERITED(message);
}

void TXPDXPopupListBox::WMLButtonDown(TMessage& message) {
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (IsPointOnScrollBars(point)) return;
  // The press of a control, without the list box's own: the combo keeps the focus.
  if (!TXPCustomControl::DispatchByNumber(message)) DefaultHandler(message);
  int index = InternalItemAtPos(point, false);
  if (index >= 0) SetItemIndex(index);
}

void TXPDXPopupListBox::WMMouseMove(TMessage& message) {
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (!IsPointOnScrollBars(point)) {
    int index = InternalItemAtPos(point, false);
    if (index >= 0) SetItemIndexQuietly(index);
  }
  TVK_INHERITED(message);
}

void TXPDXPopupListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TXPListBox::MouseUp(button, shift, x, y);
  if (button == TMouseButton::mbLeft) Close(true);
}

TVK_MESSAGE_MAP(TXPDXPopupListBox, {WM_KEYDOWN, &TXPDXPopupListBox::WMKeyDown},
                {WM_SYSKEYDOWN, &TXPDXPopupListBox::WMSysKeyDown}, {WM_CHAR, &TXPDXPopupListBox::WMChar},
                {WM_LBUTTONDOWN, &TXPDXPopupListBox::WMLButtonDown},
                {WM_MOUSEMOVE, &TXPDXPopupListBox::WMMouseMove},
                {CM_WANTSPECIALKEY, &TXPDXPopupListBox::CMWantSpecialKey},
                {CM_FONTCHANGED, &TXPDXPopupListBox::CMFontChanged})

// ---- TXPDXCustomComboBox

DWORD (*TXPDXCustomComboBox::TickCount)() = &ComboSystemTicks;

TXPDXCustomComboBox::TXPDXCustomComboBox(TComponent* owner) : TXPDXCustomButtonEdit(owner) {
  FPopupListBox = new TXPDXPopupListBox(this);
  FPopupListBox->SetItemIndex(-1);
  FPopupListBox->SetVisible(false);
  FPopupListBox->SetParent(this);
  // The item list follows CaseSensitive from the start.
  FCaseSensitive = true;
  FPopupListBox->Items().SetCaseSensitive(true);
  FButton2 = new TXPDXEditButton(this);
  FButton2->SetLeft(Width());
  FButton2->SetAlign(TAlign::alRight);
  FButton2->SetParent(this);
  FButton2->OnClick = [this](TObject* sender) { Button2Click(sender); };
  UpdateButtonVisibility();
}

TXPDXCustomComboBox::~TXPDXCustomComboBox() { SetDroppedDown(false); }

void TXPDXCustomComboBox::CreateHandle() {
  TXPDXCustomButtonEdit::CreateHandle();
  Button().SetWidth(GetScrollBarSize());
  FButton2->SetWidth(GetScrollBarSize());
}

TStrings& TXPDXCustomComboBox::GetItems() { return FPopupListBox->Items(); }
void TXPDXCustomComboBox::SetItems(const TStrings& value) { FPopupListBox->SetItems(value); }
bool TXPDXCustomComboBox::GetSorted() const { return FPopupListBox->Sorted(); }
void TXPDXCustomComboBox::SetSorted(bool value) { FPopupListBox->SetSorted(value); }
bool TXPDXCustomComboBox::AlphaNumericSorting() const { return FPopupListBox->AlphaNumericSorting(); }
void TXPDXCustomComboBox::SetAlphaNumericSorting(bool value) { FPopupListBox->SetAlphaNumericSorting(value); }
int TXPDXCustomComboBox::GetItemIndex() const { return FPopupListBox->ItemIndex(); }
int TXPDXCustomComboBox::GetItemHeight() const { return FPopupListBox->GetRowHeight(0); }

// The rows of an owner-drawn list; a standard list's rows follow its font.
void TXPDXCustomComboBox::SetItemHeight(int value) { FPopupListBox->SetItemHeight(value); }

void TXPDXCustomComboBox::SetCaseSensitive(bool value) {
  if (value == FCaseSensitive) return;
  FCaseSensitive = value;
  FPopupListBox->Items().SetCaseSensitive(value);
}

void TXPDXCustomComboBox::SetItemIndex(int value) {
  FPopupListBox->SetItemIndexQuietly(value);
  int index = FPopupListBox->ItemIndex();
  SetUnicodeText(index >= 0 ? Items().Get(index) : WideString());
}

void TXPDXCustomComboBox::SetStyle(TXPComboBoxStyle value) {
  if (value == TXPComboBoxStyle::csSimple) value = TXPComboBoxStyle::csDropDown;
  if (value == FStyle) return;
  FStyle = value;
  FPopupListBox->SetStyle(FStyle == TXPComboBoxStyle::csOwnerDrawFixed ? TListBoxStyle::lbOwnerDrawFixed
                                                                       : TListBoxStyle::lbStandard);
  if (FStyle != TXPComboBoxStyle::csDropDown) {
    SetItemIndex(Items().IndexOf(UnicodeText()));
    if (ItemIndex() < 0) SetUnicodeText(L"");
  }
  Invalidate();
}

void TXPDXCustomComboBox::SetText(const WideString& value) {
  if (FStyle == TXPComboBoxStyle::csDropDownList)
    SetItemIndex(Items().IndexOf(value));
  else
    TXPDXCustomButtonEdit::SetText(value);
}

void TXPDXCustomComboBox::Clear() {
  TXPDXCustomButtonEdit::Clear();
  FPopupListBox->Clear();
}

void TXPDXCustomComboBox::ClearSelection() {
  SetItemIndex(-1);
  TXPDXCustomButtonEdit::ClearSelection();
}

void TXPDXCustomComboBox::SelectAll() {
  if (FStyle == TXPComboBoxStyle::csDropDown) TXPDXCustomButtonEdit::SelectAll();
}

int TXPDXCustomComboBox::GetAutoWidth() {
  int w = TXPDXCustomButtonEdit::GetAutoWidth();
  if (FButton2->Visible()) w += FButton2->Width();
  return w;
}

void TXPDXCustomComboBox::GetButtonRect(RECT& rect) {
  TXPDXCustomButtonEdit::GetButtonRect(rect);
  if (!FShowButton2) return;
  RECT second{FButton2->Left(), FButton2->Top(), FButton2->Left() + FButton2->Width(),
              FButton2->Top() + FButton2->Height()};
  if (IsRectEmpty(&rect))
    rect = second;
  else
    UnionRect(&rect, &rect, &second);
}

void TXPDXCustomComboBox::GetTextRect(RECT& rect) {
  TXPDXCustomButtonEdit::GetTextRect(rect);
  if (FShowButton2) rect.right -= FButton2->Width();
}

void TXPDXCustomComboBox::MoveCaret(int pos) {
  TXPDXCustomButtonEdit::MoveCaret(FStyle == TXPComboBoxStyle::csDropDownList ? 0 : pos);
}

void TXPDXCustomComboBox::SetShowButton2(bool value) {
  FShowButton2 = value;
  UpdateButtonVisibility();
  Invalidate();
}

void TXPDXCustomComboBox::UpdateButtonVisibility() {
  bool visible = IsButtonVisible(*FButton2, FShowButton2);
  if (visible != FButton2->Visible()) {
    FButton2->SetLeft(Width());
    FButton2->SetVisible(visible);
  }
  TXPDXCustomButtonEdit::UpdateButtonVisibility();
}

void TXPDXCustomComboBox::Invalidate() {
  if (FTransparent && FButton2) UpdateButtonVisibility();
  TXPDXCustomButtonEdit::Invalidate();
}

// ---- Dropping down

void TXPDXCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TXPDXCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TXPDXCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TXPDXCustomComboBox::SetDroppedDown(bool value) {
  HotChanged(false);
  if (Flag2) {
    Flag2 = false;
    value = false;
  }
  if (value == FDroppedDown) return;
  FDroppedDown = value;
  if (value) {
    DropDown();
    if (CanFocus()) SetFocus();
    POINT p = ClientToScreen(POINT{0, Height()});
    p.y -= GetSystemMetrics(SM_CYEDGE) + 1;
    FPopupListBox->Popup(p.x, p.y);
  } else {
    struct TNoTabStop {
      TXPDXPopupListBox& List;
      ~TNoTabStop() { List.SetTabStop(false); }
    } noTabStop{*FPopupListBox};
    FPopupListBox->Close(false);
    if (CanFocus() && !(ComponentState() & csDestroying)) SetFocus();
  }
  Invalidate();
  if (!FDroppedDown) CloseUp();
}

void TXPDXCustomComboBox::DoButtonClick() {
  if (Loading() || FReadOnly) return;
  if (Flag1) {
    Flag1 = false;
    Flag2 = true;
  }
  SetDroppedDown(true);
}

void TXPDXCustomComboBox::Button2Click(TObject* sender) {
  if (OnButton2Click)
    OnButton2Click(sender);
  else
    DoButton2Click();
}

void TXPDXCustomComboBox::ClickButton() { FButton2->Click(); }

void TXPDXCustomComboBox::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  SetDroppedDown(false);
  FButton2->SetEnabled(Button().Enabled());
}

// ---- Painting

void TXPDXCustomComboBox::PaintButton(TXPDXEditButton& button) {
  HDC dc = button.Canvas().Handle();
  RECT r = button.ClientRect();
  RECT column{r.left, r.top, r.left + 1, r.bottom};
  FillRect(dc, &column, GetSysColorBrush(COLOR_BTNFACE));
  r.left += 1;
  bool down = button.State() == TButtonState::bsDown;
  DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_ADJUST);
  if (down) OffsetRect(&r, 1, 1);
  int a = (r.right - r.left) / 2;
  if (a % 2 == 0) a += 1;
  int x = (r.left + r.right - a) / 2;
  int y = (r.top + r.bottom - a / 2) / 2 - ((r.bottom - r.top) & 1);
  HBRUSH brush = GetSysColorBrush(COLOR_BTNTEXT);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  POINT arrow[] = {{x, y}, {x + a - 1, y}, {x + a / 2, y + a / 2}};
  Polygon(dc, arrow, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void TXPDXCustomComboBox::DrawButtonGlyph(TXPDXEditButton&, const RECT&) {}

void TXPDXCustomComboBox::PaintText(const RECT& rect, TColor backColor, TColor borderColor, TColor selTextColor,
                                    TColor selBackColor, TColor textColor) {
  if (!IsListStyle() || !HandleAllocated() || !Focused() || FDroppedDown) {
    TXPDXCustomButtonEdit::PaintText(rect, backColor, borderColor, selTextColor, selBackColor, textColor);
    return;
  }
  RECT r = rect;
  r.bottom += 2;
  if (FTransparent)
    TXPDXCustomButtonEdit::PaintText(r, backColor, borderColor, selTextColor, selBackColor, textColor);
  else
    TXPDXCustomButtonEdit::PaintText(r, selBackColor, borderColor, selTextColor, selBackColor, selTextColor);
  InflateRect(&r, 1, 1);
  HDC dc = FCanvas->Handle();
  int oldMode = SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  DrawFocusRect(dc, &r);
  SelectObject(dc, oldBrush);
  SetBkMode(dc, oldMode);
}

void TXPDXCustomComboBox::HotChanged(bool hot) {
  if (FDroppedDown) return;
  TXPDXCustomButtonEdit::HotChanged(hot);
}

void TXPDXCustomComboBox::UpdateCursor() {
  if (FStyle == TXPComboBoxStyle::csDropDown) TXPDXCustomButtonEdit::UpdateCursor();
}

void TXPDXCustomComboBox::ShowTextCaret() {
  if (FStyle == TXPComboBoxStyle::csDropDown) TXPDXCustomButtonEdit::ShowTextCaret();
}

void TXPDXCustomComboBox::HideTextCaret() {
  if (FStyle == TXPComboBoxStyle::csDropDown) TXPDXCustomButtonEdit::HideTextCaret();
}

void TXPDXCustomComboBox::DblClick() {
  if (FStyle == TXPComboBoxStyle::csDropDown) TXPDXCustomButtonEdit::DblClick();
}

TPopupMenu* TXPDXCustomComboBox::GetPopupMenu() {
  if (IsListStyle()) return PopupMenu();
  return TXPDXCustomButtonEdit::GetPopupMenu();
}

void TXPDXCustomComboBox::Click() {
  TXPDXCustomButtonEdit::Click();
  if (IsListStyle()) DoButtonClick();
}

// ---- Messages

void TXPDXCustomComboBox::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (IsListStyle()) Invalidate();
}

void TXPDXCustomComboBox::WMKillFocus(TMessage& message) {
  SetDroppedDown(false);
  TVK_INHERITED(message);
  if (IsListStyle()) Invalidate();
}

void TXPDXCustomComboBox::WMSetText(TMessage& message) {
  if (FIgnoreSetText > 0) return;
  const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
  WideString value = text ? text : L"";
  if (!Loading() && FStyle != TXPComboBoxStyle::csDropDown && !value.empty() && Items().IndexOf(value) < 0) {
    message.Result = 1;  // a text that is no item is refused
    return;
  }
  TVK_INHERITED(message);
  if (FSuppressChange > 0) return;
  TComboCounter ignore(FIgnoreSetText);
  FPopupListBox->SetItemIndexQuietly(Items().IndexOf(UnicodeText()));
}

void TXPDXCustomComboBox::WMMouseWheel(TMessage& message) {
  if (FReadOnly) {
    TVK_INHERITED(message);
    return;
  }
  if (FDroppedDown) {
    message.Result = FPopupListBox->Perform(message.Msg, message.WParam, message.LParam);
    return;
  }
  int delta = short(HIWORD(message.WParam));
  if (delta != 0) {
    if (delta < 0)
      SetItemIndex(ItemIndex() + 1);
    else
      SetItemIndex(std::max(ItemIndex() - 1, 0));
    if (FStyle == TXPComboBoxStyle::csDropDown) SelectAll();
  }
  message.Result = 1;
}

void TXPDXCustomComboBox::CMWantSpecialKey(TMessage& message) {
  TVK_INHERITED(message);
  if (FDroppedDown && (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE)) message.Result = 1;
}

TVK_MESSAGE_MAP(TXPDXCustomComboBox, {WM_SETFOCUS, &TXPDXCustomComboBox::WMSetFocus},
                {WM_KILLFOCUS, &TXPDXCustomComboBox::WMKillFocus}, {WM_SETTEXT, &TXPDXCustomComboBox::WMSetText},
                {WM_MOUSEWHEEL, &TXPDXCustomComboBox::WMMouseWheel},
                {CM_ENABLEDCHANGED, &TXPDXCustomComboBox::CMEnabledChanged},
                {CM_WANTSPECIALKEY, &TXPDXCustomComboBox::CMWantSpecialKey})

// ---- Keys and type-ahead

void TXPDXCustomComboBox::KeyDown(WORD& key, TShiftState shift) {
  const bool alt = (shift & ssAlt) != 0;
  if (FReadOnly) {
    bool movement = key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT || key == VK_INSERT;
    if (FStyle == TXPComboBoxStyle::csDropDown && movement)
      TXPDXCustomButtonEdit::KeyDown(key, shift);
    else
      key = 0;
    return;
  }
  if (FStyle == TXPComboBoxStyle::csDropDown) {
    if (!((key == VK_UP || key == VK_DOWN) && alt)) TXPDXCustomButtonEdit::KeyDown(key, shift);
    if (key == VK_UP || key == VK_DOWN) {
      if (alt) {
        Button().Click();
      } else {
        SetItemIndex(key == VK_UP ? std::max(ItemIndex() - 1, 0) : ItemIndex() + 1);
        SelectAll();
      }
      key = 0;
    }
    return;
  }
  switch (key) {
    case VK_END: SetItemIndex(Items().Count() - 1); break;
    case VK_HOME: SetItemIndex(0); break;
    case VK_UP:
    case VK_DOWN:
      if (alt) {
        Button().Click();
        break;
      }
      [[fallthrough]];
    case VK_LEFT:
    case VK_RIGHT:
      if (key == VK_UP || key == VK_LEFT)
        SetItemIndex(std::max(ItemIndex() - 1, 0));
      else
        SetItemIndex(ItemIndex() + 1);
      break;
    default: break;
  }
  key = 0;
}

void TXPDXCustomComboBox::ReplaceText(const WideString& text, int selStart, int selLength) {
  {
    TComboCounter quiet(FSuppressChange);
    SetUnicodeText(text);
  }
  FSelBegin = FSelEnd = selStart;
  SetCaretPosition(selStart);
  SetSelLength(selLength);
  Invalidate();
}

void TXPDXCustomComboBox::KeyPress(wchar_t& key) {
  if (FReadOnly) {
    TXPDXCustomButtonEdit::KeyPress(key);
    return;
  }
  if (!FAutoComplete) {
    TXPDXCustomButtonEdit::KeyPress(key);
    return;
  }
  {
    TComboCounter quiet(FSuppressKeyPress);
    TXPDXCustomButtonEdit::KeyPress(key);
  }
  if (key == 0) return;
  if (IsListStyle()) {
    DWORD now = TickCount();
    if (now - FLastTime >= kComboTypeAheadPause) FFilter.clear();
    FLastTime = now;
  } else {
    FFilter = UnicodeText();
  }
  if (FStyle != TXPComboBoxStyle::csDropDownList && std::max(FSelBegin, FSelEnd) < int(FText.size())) {
    ProcessChar(key);
    return;
  }
  if (key == 8) {
    WideString text = UnicodeText();
    if (SelLength() > 0) {
      int start = SelStart();
      {
        FPopupListBox->SetItemIndexQuietly(-1);
      }
      text.erase(std::size_t(start), std::size_t(SelLength()));
      ReplaceText(text, start, 0);
      Change();
    } else if (FStyle == TXPComboBoxStyle::csDropDown && !text.empty()) {
      int caret = SelStart();
      int p = caret > 0 ? caret - 1 : 0;
      while (p > 0 && ComboIsLowSurrogate(text[std::size_t(p)])) --p;
      {
        TComboCounter quiet(FSuppressChange);
        FPopupListBox->SetItemIndexQuietly(-1);
        WideString next = text.substr(0, std::size_t(p)) + text.substr(std::size_t(caret));
        ReplaceText(next, p, 0);
        FFilter = next;
      }
      Change();
    } else if (!FFilter.empty()) {
      FFilter.pop_back();
      if (!FFilter.empty() && ComboIsLowSurrogate(FFilter.back())) FFilter.pop_back();
    }
    key = 0;
    return;
  }
  if (key == L'\t') {
    if (FAutoDropDown && FDroppedDown) SetDroppedDown(false);
    return;
  }
  if (key == 27) return;
  if (FAutoDropDown && !FDroppedDown) DoButtonClick();
  WideString typed(1, key);
  if (ComboIsSurrogate(key)) {
    MSG next{};
    bool paired = HandleAllocated() && PeekMessageW(&next, Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
                  ComboIsLowSurrogate(wchar_t(next.wParam));
    if (paired) typed.push_back(wchar_t(next.wParam));
    WideString candidate = (SelLength() > 0 ? FFilter.substr(0, std::size_t(SelStart())) : FFilter) + typed;
    if (paired && AutoCompleteText(candidate)) {
      PeekMessageW(&next, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
      key = 0;
      return;
    }
    if (FStyle != TXPComboBoxStyle::csDropDownList) ProcessChar(key);
    key = 0;
    return;
  }
  WideString candidate = (SelLength() > 0 ? FFilter.substr(0, std::size_t(SelStart())) : FFilter) + typed;
  if (AutoCompleteText(candidate)) {
    key = 0;
  } else if (FStyle != TXPComboBoxStyle::csDropDownList) {
    ProcessChar(key);
  } else {
    key = 0;
  }
}

bool TXPDXCustomComboBox::AutoCompleteText(const WideString& text) {
  if (text.empty()) {
    SetItemIndex(-1);
    Change();
    return false;
  }
  int old = ItemIndex();
  int start = old;
  if (old == 0 && Items().Count() > 0 && UnicodeText() != Items().Get(0)) start = -1;
  int found = FPopupListBox->FindItemByPrefix(text, false, start);
  if (found < 0) return false;
  SetItemIndex(found);
  if (IsListStyle()) {
    SetItemIndex(found);
    FFilter = text;
  } else {
    WideString item = Items().Get(found);
    WideString completed = text + item.substr(std::min(text.size(), item.size()));
    ReplaceText(completed, int(text.size()), int(completed.size() - text.size()));
  }
  if (found != old) Click();
  return true;
}

// ---- While the list is open: the combo's window procedure, the mouse hook
// and the deactivation watch

bool TXPDXPopupListBox::ParentWndProcHook(TMessage& message) {
  // Keys and characters typed into the combo are the list's while it is open.
  if (message.Msg < WM_KEYDOWN || message.Msg > WM_UNICHAR) return false;
  message.Result = Perform(message.Msg, message.WParam, message.LParam);
  return true;
}

bool TXPDXPopupListBox::MouseHook(int code, UINT message, const MOUSEHOOKSTRUCT& info) {
  if (code == HC_NOREMOVE || !HandleAllocated()) return false;
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: {
      RECT own;
      GetWindowRect(Handle(), &own);
      if (PtInRect(&own, info.pt)) {
        if (message == WM_LBUTTONDOWN) {
          POINT p = info.pt;
          ::ScreenToClient(Handle(), &p);
          Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
        }
        break;
      }
      TXPDXCustomComboBox* combo = Combo();
      Close(false);
      if (combo) {
        RECT comboRect{};
        if (combo->HandleAllocated()) GetWindowRect(combo->Handle(), &comboRect);
        combo->Flag1 = PtInRect(&comboRect, info.pt) != 0;
        combo->Flag2 = false;
      }
      break;
    }
    default: break;
  }
  // Nothing is swallowed: the hooks before this one (the host's) see every message.
  return false;
}

bool TXPDXPopupListBox::MainWindowHook(TMessage& message) {
  if (message.Msg == WM_ACTIVATEAPP) Close(false);
  return false;
}

void TXPDXPopupListBox::HookCombo() {
  TXPDXCustomComboBox* combo = Combo();
  if (!combo || !combo->HandleAllocated()) return;
  fParentHooked = fComboProc.Install(
      combo->Handle(), [this](TMessage& message) { return ParentWndProcHook(message); }, this);
}

void TXPDXPopupListBox::UnhookCombo() {
  fComboProc.Remove();
  fParentHooked = false;
}

void TXPDXPopupListBox::InstallHooks() {
  RemoveHooks();
  FMouseHook = std::make_unique<TThreadMouseHook>(
      this, [this](int code, UINT message, const MOUSEHOOKSTRUCT& info) { return MouseHook(code, message, info); });
  FMainWindowHookKey = Application().HookMainWindow([this](TMessage& message) { return MainWindowHook(message); });
}

void TXPDXPopupListBox::RemoveHooks() {
  if (FMainWindowHookKey) Application().UnhookMainWindow(std::exchange(FMainWindowHookKey, 0));
  FMouseHook.reset();
}

}  // namespace tvk
