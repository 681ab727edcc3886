#include "XPCombo.h"

#include "CommonUtils.h"
#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "XPSystem.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace tvk {

namespace {

// One drop-down list is open at a time in the process.
TXPPopupListBox* gActiveDropDown = nullptr;

constexpr int kMaxDropWidth = 400;

bool IsCloseMouseMessage(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_NCLBUTTONDOWN ||
         message == WM_NCLBUTTONUP;
}

RECT WindowRectOf(TWinControl& control) {
  RECT r{};
  if (control.HandleAllocated()) GetWindowRect(control.Handle(), &r);
  return r;
}

}  // namespace

// ---- TXPPopupListBox

TXPPopupListBox::TXPPopupListBox(TComponent* owner)
    : TCustomXPListBox(owner), FCombo(dynamic_cast<TXPCustomComboBox*>(owner)) {
  SetControlStyle(ControlStyle() | csNoDesignVisible);
  SetVisible(false);
  SetTabStop(false);
  FFrameColor = clWindowFrame;
}

TXPPopupListBox::~TXPPopupListBox() {
  RemoveHooks();
  if (gActiveDropDown == this) gActiveDropDown = nullptr;
}

TXPPopupListBox* TXPPopupListBox::ActiveList() { return gActiveDropDown; }

bool TXPPopupListBox::IsListKey(WORD key) {
  switch (key) {
    case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_UP: case VK_DOWN:
      return true;
    default:
      return false;
  }
}

void TXPPopupListBox::CreateParams(TCreateParams& params) {
  TCustomXPListBox::CreateParams(params);
  params.Style = WS_CHILD | WS_CLIPCHILDREN;
  if (FCombo && FCombo->LookAndFeel() == TXPLookAndFeel::xlfNative) params.Style |= WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW;
  params.WindowClassStyle |= CS_SAVEBITS;
  if (IsVistaOrLater()) params.WindowClassStyle |= CS_DROPSHADOW;
}

void TXPPopupListBox::CreateHandle() {
  TCustomXPListBox::CreateHandle();
  // A child of the desktop: above every window, never activated.
  ::SetParent(Handle(), nullptr);
}

void TXPPopupListBox::DestroyWindowHandle() {
  FComboSubclass.Remove();
  TCustomXPListBox::DestroyWindowHandle();
}

TColor TXPPopupListBox::GetBackgroundColor() {
  if (FCombo && FCombo->LookAndFeel() == TXPLookAndFeel::xlfCustom) return FCombo->Color();
  return TCustomXPListBox::GetBackgroundColor();
}

void TXPPopupListBox::AdjustNCRect(TMessage& message) {
  if (!FCombo || FCombo->LookAndFeel() == TXPLookAndFeel::xlfNative) {
    TCustomXPListBox::AdjustNCRect(message);
    return;
  }
  if (message.LParam) InflateRect(reinterpret_cast<RECT*>(message.LParam), -2, -2);
}

bool TXPPopupListBox::PaintNCBorder() {
  if (!FCombo || FCombo->LookAndFeel() == TXPLookAndFeel::xlfNative) return TCustomXPListBox::PaintNCBorder();
  HDC dc = GetWindowDC(Handle());
  if (!dc) return true;
  RECT r;
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(FCombo->Color()));
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FCombo->FrameColor() == clDefault ? clWindowFrame : FCombo->FrameColor()));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
  ReleaseDC(Handle(), dc);
  return true;
}

void TXPPopupListBox::FirstItemMadeCurrent() {
  if (!FCombo) return;
  ++FCombo->FSuppressChange;
  FCombo->SetUnicodeText(CurrentText());
  --FCombo->FSuppressChange;
}

void TXPPopupListBox::Popup(int x, int y) {
  TXPCustomComboBox& combo = *FCombo;
  FSavedShowHint = combo.ShowHint();
  combo.SetShowHint(false);
  // The list shows the combo's font (and follows it), without the hot-tracking underline.
  SetParentFont(true);
  if (combo.HotTrack()) Font().SetStyle(Font().Style() & ~TFontStyles(fsUnderline));
  if (HandleAllocated()) UpdateItemHeight();
  else HandleNeeded();

  const bool classic = GetThemeMode() == 0;
  int width = combo.Width();
  if (combo.AutoDropWidth()) {
    int widest = 0;
    for (int i = 0; i < Count(); ++i) widest = std::max(widest, combo.GetItemTextWidth(i));
    if (combo.DropDownCount() < Count()) widest += GetScrollBarSize();
    widest += 2 * (GetSystemMetrics(SM_CXBORDER) + 3) - (classic ? 2 : 0);
    width = std::max(std::min(widest, kMaxDropWidth), combo.Width());
  }
  int height = 2 * (GetSystemMetrics(SM_CYBORDER) + (classic ? 0 : 1)) +
               GetRowHeight(0) * std::max(1, std::min(Count(), combo.DropDownCount()));
  if (HorzScrollBar().Visible()) height += HorzScrollBar().Height();

  // Kept on the monitor's full rectangle: moved left and up by the overhang.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoAtPoint(POINT{x, y}, monitor);
  if (x + width > monitor.rcMonitor.right) x -= x + width - monitor.rcMonitor.right;
  if (y + height > monitor.rcMonitor.bottom) y -= y + height - monitor.rcMonitor.bottom;

  SetBounds(x, y, width, height);
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetTopIndex(ItemIndex());
  SetVisible(true);
  ++FSuppressChange;
  SetItemIndex(Items().IndexOf(combo.UnicodeText()));
  --FSuppressChange;

  gActiveDropDown = this;
  FMouseHook = std::make_unique<TThreadMouseHook>(this, [this](int code, UINT message, const MOUSEHOOKSTRUCT& info) {
    if (code != HC_NOREMOVE) MouseHookMessage(message, info.pt);
    return false;
  });
  FMainWindowHook = Application().HookMainWindow([this](TMessage& message) {
    if (message.Msg == WM_ACTIVATEAPP) Close(false);
    return false;
  });
  FComboSubclass.Install(combo.Handle(), [this](TMessage& message) { return ComboMessage(message); }, this);
}

bool TXPPopupListBox::ComboMessage(TMessage& message) {
  // The combo keeps the focus and the caret; the list navigates.
  if (message.Msg < WM_KEYFIRST || message.Msg > WM_KEYLAST) return false;
  message.Result = Perform(message.Msg, message.WParam, message.LParam);
  return true;
}

void TXPPopupListBox::MouseHookMessage(UINT message, POINT screenPoint) {
  if (!HandleAllocated()) return;
  const RECT list = WindowRectOf(*this);
  const bool inside = PtInRect(&list, screenPoint) != FALSE;
  if (IsCloseMouseMessage(message) && !inside) {
    TXPCustomComboBox* combo = FCombo;
    Close(false);
    // Only a press where a click would open the list again is remembered,
    // so that click leaves it closed.
    RECT area = WindowRectOf(*combo);
    if (!combo->IsListStyle() && combo->HandleAllocated()) {
      RECT button = combo->Button().BoundsRect();
      MapWindowPoints(combo->Handle(), nullptr, reinterpret_cast<POINT*>(&button), 2);
      area = button;
    }
    combo->FFlag1 = PtInRect(&area, screenPoint) != FALSE;
    combo->FFlag2 = false;
    return;
  }
  if (message == WM_LBUTTONDOWN && inside) {
    POINT client = screenPoint;
    ::ScreenToClient(Handle(), &client);
    Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(WORD(short(client.x)), WORD(short(client.y))));
  }
}

void TXPPopupListBox::RemoveHooks() {
  FComboSubclass.Remove();
  if (FMainWindowHook) Application().UnhookMainWindow(std::exchange(FMainWindowHook, 0));
  FMouseHook.reset();
}

void TXPPopupListBox::Close(bool success) {
  if (FClosingFlag > 0) return;
  ++FClosingFlag;
  struct TLower {
    int& Flag;
    ~TLower() { --Flag; }
  } lower{FClosingFlag};
  RemoveHooks();
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  if (gActiveDropDown == this) gActiveDropDown = nullptr;
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetVisible(false);
  TXPCustomComboBox& combo = *FCombo;
  combo.SetDroppedDown(false);
  if (success) {
    if (ItemIndex() >= 0) combo.SetUnicodeText(CurrentText());
    if (combo.HandleAllocated() && combo.Focused()) combo.ShowTextCaret();
    if (combo.Style() == TComboBoxStyle::csDropDown) combo.SelectAll();
  } else {
    ++FSuppressChange;
    SetItemIndex(Items().IndexOf(combo.UnicodeText()));
    --FSuppressChange;
  }
  combo.SetShowHint(FSavedShowHint);
}

void TXPPopupListBox::Click() {
  TCustomXPListBox::Click();
  if (FCombo) FCombo->ListClicked();
}

void TXPPopupListBox::KeyDown(WORD& key, TShiftState shift) {
  if ((key == VK_RETURN || key == VK_ESCAPE) && (shift & (ssShift | ssAlt | ssCtrl)) == 0) {
    Close(key == VK_RETURN);
    key = 0;
    return;
  }
  TCustomXPListBox::KeyDown(key, shift);
}

void TXPPopupListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomXPListBox::MouseUp(button, shift, x, y);
  if (button == TMouseButton::mbLeft) Close(true);
}

void TXPPopupListBox::WMKeyDown(TMessage& message) {
  if (IsListKey(WORD(message.WParam)) || !FCombo) {
    TVK_INHERITED(message);
    return;
  }
  // Every other key is the combo's: caret keys, editing.
  FCombo->WndProc(message);
}

void TXPPopupListBox::WMSysKeyDown(TMessage& message) {
  if ((message.WParam == VK_UP || message.WParam == VK_DOWN) && FCombo && FCombo->AllowAltArrowDropDown()) {
    Close(true);
    return;
  }
  TVK_INHERITED(message);
}

void TXPPopupListBox::WMChar(TMessage& message) {
  // Typing runs the combo's auto-complete.
  if (FCombo) FCombo->WndProc(message);
}

void TXPPopupListBox::WMMouseMove(TMessage& message) {
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (IsPointOnScrollBars(point)) return;
  const int index = ItemAtPos(point, true);
  if (index >= 0 && index < Count() && index != ItemIndex()) {
    FItemIndexByMouse = true;
    SetItemIndex(index);
  }
  TVK_INHERITED(message);
}

void TXPPopupListBox::WMLButtonDown(TMessage& message) {
  POINT point{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (IsPointOnScrollBars(point)) return;
  TVK_INHERITED(message);
  const int index = ItemAtPos(point, true);
  if (index >= 0 && index < Count()) SetItemIndex(index);
}

void TXPPopupListBox::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  UpdateItemHeight();
  if (HandleAllocated()) RecreateWnd();
}

void TXPPopupListBox::CMWantSpecialKey(TMessage& message) {
  if (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE) message.Result = 1;
  else TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TXPPopupListBox, {WM_KEYDOWN, &TXPPopupListBox::WMKeyDown},
                {WM_SYSKEYDOWN, &TXPPopupListBox::WMSysKeyDown}, {WM_CHAR, &TXPPopupListBox::WMChar},
                {WM_MOUSEMOVE, &TXPPopupListBox::WMMouseMove}, {WM_LBUTTONDOWN, &TXPPopupListBox::WMLButtonDown},
                {CM_FONTCHANGED, &TXPPopupListBox::CMFontChanged},
                {CM_WANTSPECIALKEY, &TXPPopupListBox::CMWantSpecialKey})

// ---- TXPCustomComboBox

TXPCustomComboBox::TXPCustomComboBox(TComponent* owner) : TXPCustomButtonEdit(owner) {
  FPopupListBox = new TXPPopupListBox(this);
  FButton2 = new TXPEditButton(this);
  FButton2->SetLeft(Width());
  FButton2->SetAlign(TAlign::alRight);
  FButton2->SetParent(this);
  FButton2->OnClick = [this](TObject* sender) { Button2Click(sender); };
  UpdateButtonVisibility();
  FPopupListBox->SetItemIndex(-1);
  FPopupListBox->SetVisible(false);
  FPopupListBox->SetParent(this);
  // The combo reads case-sensitive while its items compare without case.
  FPopupListBox->Items().SetCaseSensitive(false);
}

TXPCustomComboBox::~TXPCustomComboBox() { SetDroppedDown(false); }

void TXPCustomComboBox::OutsideChange() {
  FExternalTextChanging = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FExternalTextChanging};
  Change();
}

void TXPCustomComboBox::ListClicked() {
  ++FSuppressChange;
  try {
    SetUnicodeText(FPopupListBox->CurrentText());
  } catch (...) {
    --FSuppressChange;
    throw;
  }
  --FSuppressChange;
  OutsideChange();
  Select();
}

void TXPCustomComboBox::SetItemIndex(int value) {
  FPopupListBox->SetItemIndex(value);
  SetUnicodeText(FPopupListBox->CurrentText());
}

void TXPCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == TComboBoxStyle::csSimple) value = TComboBoxStyle::csDropDown;
  if (value == FStyle) return;
  FStyle = value;
  FPopupListBox->SetStyle(value == TComboBoxStyle::csOwnerDrawFixed ? TListBoxStyle::lbOwnerDrawFixed
                                                                    : TListBoxStyle::lbStandard);
  if (IsListStyle()) {
    SetItemIndex(Items().IndexOf(UnicodeText()));
    if (ItemIndex() < 0) SetUnicodeText(L"");
  }
  Invalidate();
}

void TXPCustomComboBox::SetCaseSensitive(bool value) {
  FCaseSensitive = value;
  Items().SetCaseSensitive(value);
}

void TXPCustomComboBox::SetNoItemText(const WideString& value) {
  if (value == FNoItemText) return;
  FNoItemText = value;
  Invalidate();
}

void TXPCustomComboBox::SetShowButton2(bool value) {
  if (value == FShowButton2) return;
  FShowButton2 = value;
  UpdateButtonVisibility();
  Invalidate();
}

void TXPCustomComboBox::SetDroppedDown(bool value) {
  HotChanged(false);
  if (FFlag2) {
    FFlag2 = false;
    value = false;
  }
  if (value == FDroppedDown) return;
  FDroppedDown = value;
  const bool destroying = (ComponentState() & csDestroying) != 0;
  if (value) {
    DropDown();
    if (CanFocus() && !destroying) SetFocus();
    POINT p = ClientToScreen(POINT{0, Height()});
    if (GetThemeMode() == 0) {
      p.x -= GetSystemMetrics(SM_CXEDGE);
      p.y -= GetSystemMetrics(SM_CYEDGE);
    }
    HandleNeeded();
    FPopupListBox->Popup(p.x, p.y);
  } else {
    FPopupListBox->Close(false);
    try {
      if (CanFocus() && !destroying && HandleAllocated()) SetFocus();
    } catch (...) {
      FPopupListBox->SetTabStop(false);
      throw;
    }
    FPopupListBox->SetTabStop(false);
  }
  Invalidate();
  if (!value) CloseUp();
}

void TXPCustomComboBox::DoButtonClick() {
  if (Loading() || ReadOnly()) return;
  if (FFlag1) {
    FFlag1 = false;
    FFlag2 = true;
  }
  SetDroppedDown(true);
}

void TXPCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TXPCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TXPCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TXPCustomComboBox::Button2Click(TObject*) {
  if (OnButton2Click) OnButton2Click(this);
  else DoButton2Click();
}

void TXPCustomComboBox::ClickButton() { FButton2->Click(); }

void TXPCustomComboBox::SetText(const WideString& value) {
  if (FStyle == TComboBoxStyle::csDropDownList) SetItemIndex(Items().IndexOf(value));
  else TXPCustomButtonEdit::SetText(value);
}

void TXPCustomComboBox::Clear() {
  TXPCustomButtonEdit::Clear();
  Items().Clear();
  SetFirstChar(0);
}

void TXPCustomComboBox::ClearSelection() {
  SetItemIndex(-1);
  TXPCustomButtonEdit::ClearSelection();
}

HRESULT TXPCustomComboBox::SelectAll() {
  if (FStyle != TComboBoxStyle::csDropDown) return S_OK;
  return TXPCustomButtonEdit::SelectAll();
}

int TXPCustomComboBox::GetItemTextWidth(int index) {
  if (index < 0 || index >= Items().Count() || !HandleAllocated()) return 0;
  const WideString text = Items().Get(index);
  RECT r{0, 0, 0, 0};
  HDC dc = MeasureDC();
  DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return r.right - r.left;
}

int TXPCustomComboBox::GetAutoWidth() {
  return TXPCustomButtonEdit::GetAutoWidth() + (FButton2->Visible() ? FButton2->Width() : 0);
}

TGraphic* TXPCustomComboBox::GetButtonGlyph(TXPEditButton& button) {
  if (&button == FButton2) return &TXPEditResourceManager::EllipsisGlyph();
  return &TXPEditResourceManager::ComboButtonGlyph();
}

void TXPCustomComboBox::UpdateButtonVisibility() {
  if (FButton2) {
    const bool visible = IsButtonVisible(*FButton2, FShowButton2);
    if (visible != FButton2->Visible()) {
      FButton2->SetLeft(Width());
      FButton2->SetVisible(visible);
    }
  }
  TXPCustomButtonEdit::UpdateButtonVisibility();
}

void TXPCustomComboBox::Invalidate() {
  if (Transparent()) UpdateButtonVisibility();
  TXPCustomButtonEdit::Invalidate();
}

void TXPCustomComboBox::CreateHandle() {
  TXPCustomButtonEdit::CreateHandle();
  if (LookAndFeel() != TXPLookAndFeel::xlfNative) return;
  int width = Button().Width();
  if (GetThemeMode() == 2) {
    if (HTHEME theme = OpenThemeData(Handle(), L"SCROLLBAR")) {
      SIZE size{};
      if (SUCCEEDED(GetThemePartSize(theme, nullptr, SBP_ARROWBTN, 1, nullptr, TS_TRUE, &size))) width = size.cx;
      CloseThemeData(theme);
    }
  } else {
    width = GetScrollBarSize();
  }
  Button().SetWidth(width);
  FButton2->SetWidth(width);
}

TPopupMenu* TXPCustomComboBox::GetPopupMenu() {
  if (IsListStyle()) return PopupMenu();
  return TXPCustomButtonEdit::GetPopupMenu();
}

void TXPCustomComboBox::MoveCaret(int pos) {
  TXPCustomButtonEdit::MoveCaret(FStyle == TComboBoxStyle::csDropDownList ? 0 : pos);
}

void TXPCustomComboBox::ShowTextCaret() {
  if (FStyle == TComboBoxStyle::csDropDown) TXPCustomButtonEdit::ShowTextCaret();
}

void TXPCustomComboBox::HideTextCaret() {
  if (FStyle == TComboBoxStyle::csDropDown) TXPCustomButtonEdit::HideTextCaret();
}

void TXPCustomComboBox::UpdateCursor() {
  if (FStyle == TComboBoxStyle::csDropDown) TXPCustomButtonEdit::UpdateCursor();
}

void TXPCustomComboBox::HotChanged(bool hot) {
  if (!FDroppedDown) TXPCustomButtonEdit::HotChanged(hot);
}

void TXPCustomComboBox::Click() {
  TXPCustomButtonEdit::Click();
  // A click anywhere on a list-style combo opens its list.
  if (IsListStyle()) DoButtonClick();
}

void TXPCustomComboBox::DblClick() {
  if (FStyle == TComboBoxStyle::csDropDown) TXPCustomButtonEdit::DblClick();
}

// ---- Keys

void TXPCustomComboBox::KeyDown(WORD& key, TShiftState shift) {
  if (ReadOnly()) {
    const bool caretKey = key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT || key == VK_INSERT;
    if (caretKey && FStyle == TComboBoxStyle::csDropDown) TXPCustomButtonEdit::KeyDown(key, shift);
    else key = 0;
    return;
  }
  const bool altArrow = (shift & ssAlt) && AllowAltArrowDropDown();
  if (IsListStyle()) {
    TXPCustomControl::KeyDown(key, shift);  // the key events, not the edit's caret keys
    switch (key) {
      case VK_END: SetItemIndex(Items().Count() - 1); break;
      case VK_HOME: SetItemIndex(0); break;
      case VK_LEFT: SetItemIndex(FPopupListBox->GetPrevItemIndex()); break;
      case VK_RIGHT: SetItemIndex(FPopupListBox->GetNextItemIndex()); break;
      case VK_UP:
      case VK_DOWN:
        if (altArrow) Button().Click();
        else SetItemIndex(key == VK_UP ? FPopupListBox->GetPrevItemIndex() : FPopupListBox->GetNextItemIndex());
        break;
      default: break;
    }
    return;
  }
  TXPCustomButtonEdit::KeyDown(key, shift);
  if (key != VK_UP && key != VK_DOWN) return;
  if (altArrow) {
    Button().Click();
    return;
  }
  SetItemIndex(key == VK_UP ? FPopupListBox->GetPrevItemIndex() : FPopupListBox->GetNextItemIndex());
  SelectAll();
}

void TXPCustomComboBox::KeyPress(wchar_t& key) {
  if (ReadOnly()) return;
  if (!FAutoComplete) {
    TXPCustomButtonEdit::KeyPress(key);
    return;
  }
  ++FSuppressKeyPress;
  try {
    TXPCustomButtonEdit::KeyPress(key);  // OnKeyPress only
  } catch (...) {
    --FSuppressKeyPress;
    throw;
  }
  --FSuppressKeyPress;
  if (key == 0) return;
  if (IsListStyle()) {
    const DWORD now = TickNow();
    if (now - FLastTime >= FAutoCompleteDelay) FFilter.clear();
    FLastTime = now;
  } else {
    FFilter = UnicodeText();
  }
  const int textLength = int(UnicodeText().size());
  if (FStyle != TComboBoxStyle::csDropDownList && SelStart() + SelLength() < textLength) {
    // Typing in the middle of the text is plain editing.
    ProcessChar(key);
    return;
  }
  switch (key) {
    case VK_BACK: {
      if (SelLength() > 0) {
        const int start = SelStart();
        WideString text = UnicodeText();
        text.erase(std::size_t(start), std::size_t(SelLength()));
        SetItemIndex(-1);
        SetUnicodeText(text);
        SetSelStart(start);
        SetSelLength(0);
        MoveCaret(start);
      } else if (FStyle == TComboBoxStyle::csDropDown && textLength > 0) {
        // The window is a Unicode one: one UTF-16 unit goes, none is taken
        // for half of a double-byte character.
        const int caret = std::clamp(CaretPos(), 0, textLength);
        if (caret > 0) {
          WideString text = UnicodeText();
          text.erase(std::size_t(caret - 1), 1);
          ++FSuppressChange;
          try {
            SetItemIndex(-1);
            SetUnicodeText(text);
            MoveCaret(caret - 1);
          } catch (...) {
            --FSuppressChange;
            throw;
          }
          --FSuppressChange;
          FFilter = text;
          OutsideChange();
        }
      } else if (!FFilter.empty()) {
        FFilter.pop_back();
      }
      key = 0;
      return;
    }
    case VK_TAB:
      if (FAutoDropDown && FDroppedDown) SetDroppedDown(false);
      return;
    case VK_ESCAPE:
      return;
    default: break;
  }
  if (FAutoDropDown && !FDroppedDown) DoButtonClick();
  WideString candidate = SelLength() > 0 ? FFilter.substr(0, std::min(FFilter.size(), std::size_t(SelStart()))) : FFilter;
  candidate.push_back(key);
  if (AutoCompleteText(candidate)) {
    key = 0;
  } else if (FStyle == TComboBoxStyle::csDropDownList) {
    key = 0;  // only items can be typed
  } else {
    ProcessChar(key);
  }
}

bool TXPCustomComboBox::AutoCompleteText(const WideString& s) {
  if (s.empty()) {
    SetItemIndex(-1);
    OutsideChange();
    return false;
  }
  int start = ItemIndex();
  if (start == 0 && UnicodeText() != Items().Get(0)) start = -1;
  int found = -1;
  // Typing on in the editable style keeps the item it already completes to.
  if (FStyle == TComboBoxStyle::csDropDown && start >= 0 && FPopupListBox->FindItemByPrefix(s, false, start - 1) == start)
    found = start;
  else
    found = FPopupListBox->FindItemByPrefix(s, false, start);
  if (found < 0) return false;
  const int old = ItemIndex();
  SetItemIndex(found);
  if (IsListStyle()) {
    FFilter = s;
  } else {
    const WideString item = Items().Get(found);
    const WideString rest = item.size() > s.size() ? item.substr(s.size()) : WideString();
    ++FSuppressChange;
    try {
      SetUnicodeText(s + rest);
    } catch (...) {
      --FSuppressChange;
      throw;
    }
    --FSuppressChange;
    SetSelStart(int(s.size()));
    SetSelLength(int(rest.size()));
  }
  // The click event only: typing opens no list unless AutoDropDown says so.
  if (found != old) TXPCustomButtonEdit::Click();
  return true;
}

// ---- Messages

void TXPCustomComboBox::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (IsListStyle()) Invalidate();
}

void TXPCustomComboBox::WMKillFocus(TMessage& message) {
  if (FDroppedDown) FPopupListBox->Close(false);
  TVK_INHERITED(message);
  if (IsListStyle()) Invalidate();
}

void TXPCustomComboBox::WMSetText(TMessage& message) {
  if (FIgnoreSetText > 0) {
    TVK_INHERITED(message);
    return;
  }
  const auto* raw = reinterpret_cast<const wchar_t*>(message.LParam);
  const WideString text = raw ? raw : L"";
  if (Loading() || FStyle == TComboBoxStyle::csDropDown || text.empty()) {
    TVK_INHERITED(message);
  } else {
    // A list style takes only an item's text.
    const int index = Items().IndexOf(text);
    if (index < 0) {
      message.Result = 1;
      return;
    }
    TVK_INHERITED(message);
  }
  if (FSuppressChange == 0) {
    ++FIgnoreSetText;
    ++FPopupListBox->FSuppressChange;
    FPopupListBox->SetItemIndex(Items().IndexOf(UnicodeText()));
    --FPopupListBox->FSuppressChange;
    --FIgnoreSetText;
  }
}

void TXPCustomComboBox::WMMouseWheel(TMessage& message) {
  if (ReadOnly()) {
    TVK_INHERITED(message);
    return;
  }
  if (FDroppedDown) {
    FPopupListBox->Perform(WM_MOUSEWHEEL, message.WParam, message.LParam);
  } else {
    const int delta = short(HIWORD(message.WParam));
    if (delta > 0) SetItemIndex(FPopupListBox->GetPrevItemIndex());
    else if (delta < 0) SetItemIndex(FPopupListBox->GetNextItemIndex());
    if (FStyle == TComboBoxStyle::csDropDown) SelectAll();
  }
  message.Result = 1;
}

void TXPCustomComboBox::CMEnabledChanged(TMessage& message) {
  if (FDroppedDown) FPopupListBox->Close(false);
  TVK_INHERITED(message);
  FButton2->SetEnabled(Button().Enabled());
}

void TXPCustomComboBox::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  if (Transparent() && HandleAllocated()) Invalidate();
}

void TXPCustomComboBox::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  if (Transparent() && HandleAllocated()) Invalidate();
}

void TXPCustomComboBox::CMWantSpecialKey(TMessage& message) {
  TVK_INHERITED(message);
  if (FDroppedDown && (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE)) message.Result = 1;
}

// ---- Painting of the edit part

void TXPCustomComboBox::GetTextRect(RECT& rect) {
  TXPCustomButtonEdit::GetTextRect(rect);
  if (FShowButton2) rect.right -= FButton2->Width();
}

void TXPCustomComboBox::DeflateButtonArea(RECT& rect) {
  if (!IsVistaOrLater()) TXPCustomButtonEdit::DeflateButtonArea(rect);
}

TThemedEditState TXPCustomComboBox::GetEditState() {
  if (FDroppedDown) return teEditTextSelected;
  return TXPCustomButtonEdit::GetEditState();
}

void TXPCustomComboBox::GetThemedDetails(TThemedDetails& details) {
  details.ThemeClass = L"COMBOBOX";
  details.Part = FStyle == TComboBoxStyle::csDropDownList ? 5 : 4;
  switch (GetEditState()) {
    case teEditTextHot: details.State = 2; break;
    case teEditTextSelected: details.State = 3; break;
    case teEditTextDisabled: details.State = 4; break;
    case teEditTextFocused: details.State = (Hot() || FStyle != TComboBoxStyle::csDropDownList) ? 2 : 1; break;
    default: details.State = 1; break;
  }
}

void TXPCustomComboBox::GetButtonDetails(TXPEditButton& button, TThemedDetails& details) {
  TXPCustomButtonEdit::GetButtonDetails(button, details);
  if (!IsVistaOrLater()) return;
  TXPEditButton* rightmost = FShowButton2 ? FButton2 : (ShowButton() ? &Button() : nullptr);
  const int state = button.GetButtonState();
  if (&button == rightmost || FStyle == TComboBoxStyle::csDropDownList || state == 1 || state == 4) details.Part = 6;
  if (FStyle == TComboBoxStyle::csDropDownList) details.State = Enabled() ? 1 : 4;
}

void TXPCustomComboBox::PaintButton(TXPEditButton& button) {
  if (LookAndFeel() == TXPLookAndFeel::xlfNative && GetThemeMode() == 2 && &button == &Button()) {
    const bool focused = HandleAllocated() && Focused();
    if ((ComponentState() & csDesigning) || !Transparent() || focused || Hot() || button.Hot()) {
      TThemedDetails details;
      GetButtonDetails(button, details);
      RECT r = button.ClientRect();
      if (HTHEME theme = OpenThemeData(Handle(), details.ThemeClass)) {
        DrawThemeBackground(theme, button.Canvas().Handle(), details.Part, details.State, &r, nullptr);
        CloseThemeData(theme);
      }
    }
    return;
  }
  TXPCustomButtonEdit::PaintButton(button);
}

void TXPCustomComboBox::DrawButtonGlyph(TXPEditButton& button, const RECT& rect) {
  // The theme's element carries the arrow itself.
  if (&button == &Button() && GetThemeMode() == 2 && LookAndFeel() == TXPLookAndFeel::xlfNative) return;
  TXPCustomButtonEdit::DrawButtonGlyph(button, rect);
}

void TXPCustomComboBox::PaintText(const RECT& rect, TColor backColor, TColor textColor, TColor selBackColor,
                                  TColor selTextColor, TColor frameColor) {
  RECT r = rect;
  const bool focused = HandleAllocated() && Focused();
  if (OnDraw) {
    TOwnerDrawState state = 0;
    if (focused) state |= odFocused;
    if (!Enabled()) state |= odDisabled;
    bool done = false;
    OnDraw(this, r, state, done);
    if (done) return;
  }
  const bool vista = IsVistaOrLater();
  if (IsListStyle() && focused && !FDroppedDown) {
    r.bottom += FExtraDelta;
    if (!Transparent() && !vista) {
      backColor = selBackColor;
      textColor = selTextColor;
    }
    RECT textRect = r;
    if (FStyle == TComboBoxStyle::csDropDownList && vista && GetThemeMode() != 0) InflateRect(&textRect, -1, -1);
    TXPCustomButtonEdit::PaintText(textRect, backColor, textColor, selBackColor, selTextColor, frameColor);
    if (!vista) InflateRect(&r, 1, 1);
    SetTextColor(Canvas().Handle(), RGB(255, 255, 255));
    SetBkMode(Canvas().Handle(), TRANSPARENT);
    ::DrawFocusRect(Canvas().Handle(), &r);
  } else {
    if (FStyle == TComboBoxStyle::csDropDownList) r.bottom += FExtraDelta;
    TXPCustomButtonEdit::PaintText(r, backColor, textColor, selBackColor, selTextColor, frameColor);
  }
  if (FStyle == TComboBoxStyle::csDropDownList && ItemIndex() < 0 && !FNoItemText.empty()) {
    InflateRect(&r, 1, 1);
    Canvas().Font().Assign(Font());
    Canvas().Font().SetColor(clGrayText);
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    SetBkMode(Canvas().Handle(), TRANSPARENT);
    const int y = (Height() - Canvas().TextHeight(L"0")) / 2;
    Canvas().TextRect(r, 3 * FExtraDelta, y, FNoItemText);
  }
}

TVK_MESSAGE_MAP(TXPCustomComboBox, {WM_SETFOCUS, &TXPCustomComboBox::WMSetFocus},
                {WM_KILLFOCUS, &TXPCustomComboBox::WMKillFocus}, {WM_SETTEXT, &TXPCustomComboBox::WMSetText},
                {WM_MOUSEWHEEL, &TXPCustomComboBox::WMMouseWheel},
                {CM_ENABLEDCHANGED, &TXPCustomComboBox::CMEnabledChanged},
                {CM_MOUSEENTER, &TXPCustomComboBox::CMMouseEnter}, {CM_MOUSELEAVE, &TXPCustomComboBox::CMMouseLeave},
                {CM_WANTSPECIALKEY, &TXPCustomComboBox::CMWantSpecialKey})

}  // namespace tvk
