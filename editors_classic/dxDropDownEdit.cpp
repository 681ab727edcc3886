#include "dxDropDownEdit.h"

#include <windowsx.h>

#include <algorithm>
#include <array>

namespace tvk {

namespace {

bool IsFlatOrSimple(TdxEditButtonViewStyle style) { return style == btsFlat || style == btsSimple; }

TdxDropDownEditViewData& AsDropDownData(TdxEditViewData& viewData) {
  return static_cast<TdxDropDownEditViewData&>(viewData);
}

void FillSquare(HDC dc, int x, int y, int size, int colorIndex) {
  RECT r{x, y, x + size, y + size};
  FillRect(dc, &r, GetSysColorBrush(colorIndex));
}

void DrawEllipsisDots(HDC dc, const RECT& r, int size, int colorIndex) {
  const int x = (r.left + r.right - size) / 2;
  const int y = (r.top + r.bottom - size / 2) / 2 - ((r.bottom - r.top) & 1);
  for (int dx : {-2 * size, 0, 2 * size}) FillSquare(dc, x + dx, y, size, colorIndex);
}

void DrawDownArrow(HDC dc, const RECT& r, int dx, int dy, int colorIndex) {
  int h = (r.right - r.left) / 2;
  if (h % 2 == 0) ++h;
  const int x = (r.left + r.right - h) / 2 + dx;
  const int y = (r.top + r.bottom - h / 2) / 2 - ((r.bottom - r.top) & 1) + dy;
  const POINT points[3] = {{x, y}, {x + h - 1, y}, {x + h / 2, y + h / 2}};
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colorIndex));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(colorIndex));
  Polygon(dc, points, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

bool IsDropDownKey(WORD key, TShiftState shift) {
  const bool alt = (shift & ssAlt) != 0;
  return ((key == VK_UP || key == VK_DOWN) && alt) || (key == VK_F4 && !alt);
}

bool IsNavigationKey(WORD key) {
  switch (key) {
    case VK_PRIOR: case VK_NEXT: case VK_END: case VK_HOME: case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN:
      return true;
    default: return false;
  }
}

}  // namespace

// --- class functions

const TdxInplaceDropDownEditClass& TdxInplaceDropDownEditClass::Instance() {
  static const TdxInplaceDropDownEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceDropDownEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxDropDownEditViewData>();
}

int TdxInplaceDropDownEditClass::CalcDefaultButtonWidth(const TdxDropDownEditViewData& viewData,
                                                        const TdxEditButtonInfo& buttonInfo) const {
  const bool flatOrSimple = IsFlatOrSimple(viewData.ButtonStyle);
  if (buttonInfo.Kind == bkGlyph && buttonInfo.Glyph && buttonInfo.Glyph->Width() > 0)
    return buttonInfo.Glyph->Width() + 2 + (flatOrSimple ? 1 : 0) + (viewData.ButtonStyle == bts3D ? 2 : 0);
  return GetSystemMetrics(SM_CXVSCROLL) - (flatOrSimple ? 1 : 0);
}

void TdxInplaceDropDownEditClass::CalcButtonsInfo(TdxDropDownEditViewData& viewData) const {
  viewData.Buttons = TdxEditButtonsInfo{};
  if (viewData.HideButtons) {
    viewData.ButtonCount = 0;
    return;
  }
  viewData.ButtonCount = 1;
  TdxEditButtonInfo& button = viewData.Buttons[0];
  button.Index = 0;
  button.LeftAlignment = false;
  button.Glyph = viewData.ButtonGlyph;
  button.Kind = viewData.ButtonGlyph ? bkGlyph : bkDown;
  button.Width = CalcDefaultButtonWidth(viewData, button);
}

void TdxInplaceDropDownEditClass::CalcViewInfo(TdxEditViewData& viewData, bool autoSize,
                                               TdxEditViewInfo& viewInfo) const {
  TdxInplaceMaskEditClass::CalcViewInfo(viewData, autoSize, viewInfo);
  TdxDropDownEditViewData& data = AsDropDownData(viewData);
  CalcButtonsInfo(data);
  for (int i = 0; i < data.ButtonCount; ++i) {
    const TdxEditButtonInfo& button = data.Buttons[static_cast<std::size_t>(i)];
    if (button.LeftAlignment)
      viewInfo.ClientBounds.left += button.Width;
    else
      viewInfo.ClientBounds.right -= button.Width;
  }
}

void TdxInplaceDropDownEditClass::CalcButtonRects(const TdxDropDownEditViewData& viewData,
                                                  const TdxEditViewInfo& viewInfo,
                                                  std::array<RECT, kMaxEditButtons>& rects) {
  RECT rest = viewInfo.BorderRect;
  AdjustRectByBorder(rest, viewInfo, false);
  const int count = std::clamp<int>(viewData.ButtonCount, 0, kMaxEditButtons);
  for (int i = count - 1; i >= 0; --i) {
    const TdxEditButtonInfo& button = viewData.Buttons[static_cast<std::size_t>(i)];
    RECT& r = rects[static_cast<std::size_t>(i)];
    r = rest;
    if (button.LeftAlignment) {
      r.right = r.left + button.Width;
      rest.left = r.right;
    } else {
      r.left = r.right - button.Width;
      rest.right = r.left;
    }
  }
}

void TdxInplaceDropDownEditClass::DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo,
                                             TdxEditViewData& viewData) const {
  TdxInplaceMaskEditClass::DrawBorder(dc, viewInfo, viewData);
  const TdxDropDownEditViewData& data = AsDropDownData(viewData);
  std::array<RECT, kMaxEditButtons> rects{};
  CalcButtonRects(data, viewInfo, rects);
  for (int i = std::min<int>(data.ButtonCount, kMaxEditButtons) - 1; i >= 0; --i) {
    const bool hot = data.ActiveButtonIndex == i;
    DrawEditButton(dc, rects[static_cast<std::size_t>(i)], data, data.Buttons[static_cast<std::size_t>(i)],
                   hot && data.PressedButtonIndex == i, hot);
  }
}

void TdxInplaceDropDownEditClass::DrawEditButton(HDC dc, RECT r, const TdxDropDownEditViewData& viewData,
                                                 const TdxEditButtonInfo& button, bool pressed, bool hot) {
  const bool transparent = viewData.ButtonTransparence;
  const bool isGlyph = button.Kind == bkGlyph;
  const int width = r.right - r.left;
  int symbolColor = COLOR_BTNTEXT;
  HBRUSH background = transparent ? viewData.Brush : GetSysColorBrush(COLOR_BTNFACE);
  TdxEditButtonViewStyle style = viewData.ButtonStyle;
  if (style == btsSimple && (hot || pressed)) style = btsFlat;
  if (transparent && !isGlyph) FillRect(dc, &r, viewData.Brush);
  const UINT middle = (!transparent && !isGlyph) ? BF_MIDDLE : 0;
  switch (style) {
    case bts3D:
      if (pressed) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST | middle);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
      } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST | middle);
      }
      break;
    case btsFlat:
      if (!transparent) {
        RECT column{r.left, r.top, r.left + 1, r.bottom};
        FillRect(dc, &column, GetSysColorBrush(COLOR_BTNFACE));
        ++r.left;
      }
      DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST | middle);
      break;
    case btsSimple:
      if (transparent) {
        InflateRect(&r, -1, -1);
      } else {
        FrameRect(dc, &r, viewData.Brush);
        InflateRect(&r, -1, -1);
        RECT column{r.left, r.top, r.left + 1, r.bottom};
        FillRect(dc, &column, viewData.Brush);
        ++r.left;
        if (!isGlyph) FillRect(dc, &r, background);
      }
      break;
    case btsHotFlat:
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      InflateRect(&r, -1, -1);
      if (hot || pressed) symbolColor = !transparent ? COLOR_WINDOW : (pressed ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
      if (!transparent) {
        background = GetSysColorBrush(COLOR_BTNFACE);
        if (viewData.Enabled) {
          if (pressed)
            background = GetSysColorBrush(COLOR_BTNTEXT);
          else if (hot)
            background = GetSysColorBrush(COLOR_BTNSHADOW);
        }
        if (!isGlyph) FillRect(dc, &r, background);
      }
      break;
    default: break;
  }
  const RECT glyphBackground = r;
  if (pressed && style != btsHotFlat) {
    if (isGlyph) {
      const int d = style == bts3D ? 2 : 1;
      r.left += d;
      r.top += d;
    } else {
      OffsetRect(&r, 1, 1);
    }
  }
  switch (button.Kind) {
    case bkEllipsis: {
      const int size = width + (IsFlatOrSimple(viewData.ButtonStyle) ? 1 : 0) >= 16 ? 2 : 1;
      if (viewData.Enabled) {
        DrawEllipsisDots(dc, r, size, symbolColor);
      } else {
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        DrawEllipsisDots(dc, shifted, size, COLOR_BTNHIGHLIGHT);
        DrawEllipsisDots(dc, r, size, COLOR_BTNSHADOW);
      }
      break;
    }
    case bkDown:
      if (viewData.Enabled) {
        DrawDownArrow(dc, r, 0, 0, symbolColor);
      } else {
        DrawDownArrow(dc, r, 1, 1, COLOR_BTNHIGHLIGHT);
        DrawDownArrow(dc, r, 0, 0, COLOR_BTNSHADOW);
      }
      break;
    case bkGlyph: {
      if (!button.Glyph || button.Glyph->Empty()) break;
      const int gw = button.Glyph->Width(), gh = button.Glyph->Height();
      const int bw = r.right - r.left, bh = r.bottom - r.top;
      RECT g{r.left, r.top, r.left + gw, r.top + gh};
      if (gw < bw) {
        if (pressed && IsFlatOrSimple(style) && (bw - gw) % 2 == 1) OffsetRect(&g, 1, 0);
        OffsetRect(&g, (bw - gw) / 2, 0);
      }
      if (gh < bh) OffsetRect(&g, 0, (bh - gh) / 2);
      DrawGlyphOverBrush(dc, background, glyphBackground, g, *button.Glyph);
      break;
    }
  }
}

// --- the drop-down editor

TdxInplaceDropDownEdit::TdxInplaceDropDownEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) {}

TdxInplaceDropDownEdit::~TdxInplaceDropDownEdit() = default;

bool TdxInplaceDropDownEdit::DroppedDown() {
  if (!FActiveList || !FActiveList->HandleAllocated()) return false;
  HWND list = FActiveList->Handle();
  return IsWindowVisible(list) && (GetFocus() == list || FSendChildrenStyle);
}

void TdxInplaceDropDownEdit::SetDroppedDown(bool value) {
  if (value == DroppedDown()) return;
  if (value)
    PostMessageW(Handle(), WM_DROPDOWNPOPUP, 0, 0);
  else
    CloseUp(false);
}

void TdxInplaceDropDownEdit::SetButtonGlyph(TBitmap* value) {
  if (!value || value->Empty()) {
    FButtonGlyph.reset();
  } else {
    if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
    FButtonGlyph->Assign(*value);
  }
  LayoutChanged();
}

std::unique_ptr<TdxEditViewData> TdxInplaceDropDownEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceMaskEdit::CreateViewData(isPaintCopy);
  if (auto* data = dynamic_cast<TdxDropDownEditViewData*>(vd.get())) {
    data->ButtonGlyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr;
    const TdxEditButtonTransparence t = FStyle->ButtonTransparence();
    data->HideButtons = t == ebtHideAlways || (t == ebtHideInactive && !IsSelected());
    data->ActiveButtonIndex = FActiveButton;
    data->PressedButtonIndex = FPressedButton;
  }
  return vd;
}

void TdxInplaceDropDownEdit::PlacePopup(TControl* popup, bool adjustWidth) {
  RECT r{};
  GetWindowRect(Handle(), &r);
  auto vd = CreateViewData(false);
  TdxEditViewInfo vi;
  EditClass().CalcViewInfo(*vd, false, vi);
  const int width = vi.BorderRect.right - vi.BorderRect.left + (vd->Shadow ? 2 : 0);
  if (adjustWidth && popup->Width() < width) popup->SetWidth(width);
  r.left += vi.BorderRect.left;
  r.right = r.left + width;
  if (vd->BorderStyle == xbsNone || vd->BorderStyle == xbsSingle) InflateRect(&r, 0, -1);
  POINT p{r.left, r.bottom};
  switch (FPopupAlignment) {
    case TAlignment::taRightJustify: p.x = r.right - popup->Width(); break;
    case TAlignment::taCenter: p.x = (r.left + r.right) / 2 - popup->Width() / 2; break;
    default: break;
  }
  FitPopupToWorkArea(p, popup->Width(), popup->Height(), r.bottom - r.top);
  popup->SetBounds(p.x, p.y, popup->Width(), popup->Height());
}

TdxPopupBorderStyle TdxInplaceDropDownEdit::PopupBorderStyle() {
  if (FPopupBorder != pbDefault) return FPopupBorder;
  if (TCustomdxContainer* host = Container()) return host->GetDefaultPopupBorderStyle(FStyle->BorderStyle());
  switch (FStyle->BorderStyle()) {
    case xbsSingle: case xbs3D: return pbSingle;
    case xbsFlat: return pbFlat;
    default: return pbFrame3D;
  }
}

void TdxInplaceDropDownEdit::ButtonDown(bool byClientClick, int index) {
  if (FListVisible) {
    if (FSendChildrenStyle) CloseUp(false);
    return;
  }
  FPressedButton = FActiveButton;
  if (!byClientClick) SetCapture(Handle());
  if (HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
  if (index != -1) SetDroppedDown(true);
}

void TdxInplaceDropDownEdit::DoCloseUp(WideString& value, bool& accept) {
  if (FOnCloseUp) FOnCloseUp(this, value, accept);
}

void TdxInplaceDropDownEdit::DoDropDown() {
  if (FOnEditButtonClick) FOnEditButtonClick(this);
  if (FOnDropDown) FOnDropDown(this);
}

void TdxInplaceDropDownEdit::DropDownKeyDown(WORD& key, TShiftState shift) {
  if (IsDropDownKey(key, shift)) {
    if (FListVisible)
      CloseUp(true);
    else
      DropDown();
    key = 0;
  } else if ((key == VK_RETURN || key == VK_ESCAPE) && !(shift & ssAlt) && FListVisible) {
    const bool enter = key == VK_RETURN;
    CloseUp(enter);
    if (enter && HandleAllocated()) RemovePendingMessage(Handle(), WM_CHAR);
    key = 0;
  }
}

void TdxInplaceDropDownEdit::PopupMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
  (void)sender;
  (void)shift;
  if (button != TMouseButton::mbLeft) return;
  bool inside = false;
  if (FActiveList) {
    RECT client = FActiveList->ClientRect();
    inside = PtInRect(&client, POINT{x, y}) != FALSE;
  }
  CloseUp(inside);
}

void TdxInplaceDropDownEdit::FocusEditor() {
  if (!Focused() && CanFocus() && HandleAllocated() && IsWindowVisible(Handle()) && ApplicationActive())
    SetFocus();
}

void TdxInplaceDropDownEdit::ActivateEdit() {
  TdxInplaceMaskEdit::ActivateEdit();
  if (FImmediatePopup) SetDroppedDown(true);
}

bool TdxInplaceDropDownEdit::IsFocused() {
  return TdxInplaceMaskEdit::IsFocused() ||
         (FActiveList && FActiveList->HandleAllocated() && GetFocus() == FActiveList->Handle());
}

void TdxInplaceDropDownEdit::Hide() {
  if (FListVisible && FActiveList && FActiveList->HandleAllocated())
    PostMessageW(FActiveList->Handle(), WM_CLOSE, 0, 0);
  FListVisible = false;
  TdxInplaceMaskEdit::Hide();
}

void TdxInplaceDropDownEdit::Show() {
  FListVisible = false;
  TdxInplaceMaskEdit::Show();
}

void TdxInplaceDropDownEdit::MouseButtonClick(int x, int y) {
  TdxInplaceMaskEdit::MouseButtonClick(x, y);
  TCustomdxContainer* host = Container();
  if (!host || !host->HandleAllocated()) return;
  POINT p{x, y};
  MapWindowPoints(host->Handle(), nullptr, &p, 1);
  ReleaseCapture();
  const LPARAM at = MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y));
  const LRESULT hit = SendMessageW(Handle(), WM_NCHITTEST, 0, at);
  SendMessageW(Handle(), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), at);
}

void TdxInplaceDropDownEdit::MouseClick(int x, int y) {
  if (FImmediatePopupStyle && !FListVisible) DropDown();
  TdxInplaceMaskEdit::MouseClick(x, y);
}

void TdxInplaceDropDownEdit::SetSelected(bool value) {
  TdxInplaceMaskEdit::SetSelected(value);
  if (!value) SetActiveButton(-1);
}

void TdxInplaceDropDownEdit::SetActiveButton(int index) {
  if (index == FActiveButton) return;
  FActiveButton = index;
  if (HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 1, 0);
}

void TdxInplaceDropDownEdit::ReleasePressedButton() {
  FPressedButton = -1;
  if (HandleAllocated()) {
    if (GetCapture() == Handle()) ReleaseCapture();
    SendMessageW(Handle(), WM_NCPAINT, 1, 0);
  }
}

POINT TdxInplaceDropDownEdit::ScreenToWindowPoint(POINT p) {
  RECT window{};
  GetWindowRect(Handle(), &window);
  return POINT{p.x - window.left, p.y - window.top};
}

void TdxInplaceDropDownEdit::KeyDown(WORD& key, TShiftState shift) {
  if (!FSendChildrenStyle && IsDropDownKey(key, shift)) {
    DropDown();
    key = 0;
  }
  if (key) TdxInplaceMaskEdit::KeyDown(key, shift);
}

void TdxInplaceDropDownEdit::MouseMove(TShiftState shift, int x, int y) {
  const bool dragging = FPressedButton != -1 || (FImmediatePopupStyle && (shift & ssLeft));
  if (dragging && FListVisible && FActiveList && FActiveList->HandleAllocated()) {
    POINT p{x, y};
    MapWindowPoints(Handle(), FActiveList->Handle(), &p, 1);
    RECT client{};
    GetClientRect(FActiveList->Handle(), &client);
    if (PtInRect(&client, p)) {
      ReleasePressedButton();
      SendMessageW(FActiveList->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(static_cast<short>(p.x), static_cast<short>(p.y)));
      return;
    }
  }
  TdxInplaceMaskEdit::MouseMove(shift, x, y);
}

// While a pop-up is open the editor keeps the focus: keys it does not keep for its text go to the pop-up.
void TdxInplaceDropDownEdit::WndProc(TMessage& message) {
  if (message.Msg == WM_MOUSEWHEEL) {
    const short delta = GET_WHEEL_DELTA_WPARAM(message.WParam);
    if (fPassMouseWheelToGrid && Parent()) {
      message.Result = Parent()->Perform(message.Msg, message.WParam, message.LParam);
    } else if (DroppedDown()) {
      SendMessageW(FActiveList->Handle(), WM_VSCROLL, delta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
      message.Result = 0;
    } else {
      SelectNext(delta > 0 ? -1 : 1, false);
      message.Result = 0;
    }
    return;
  }
  const bool keyMessage = message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR || message.Msg == WM_SYSKEYDOWN;
  if (!keyMessage || !FSendChildrenStyle) return TdxInplaceMaskEdit::WndProc(message);
  WORD key = static_cast<WORD>(message.WParam);
  if (message.Msg != WM_CHAR) {
    DropDownKeyDown(key, KeyboardShiftState(message.LParam));
    if (key == 0) {
      message.Result = 0;
      return;
    }
  }
  // Alt+F4 closes the form, not a pop-up that is a window of its own.
  if (!DroppedDown() || (message.Msg == WM_SYSKEYDOWN && key == VK_F4)) return TdxInplaceMaskEdit::WndProc(message);
  HWND list = FActiveList->Handle();
  if (!FSearchStyle) {
    message.Result = SendMessageW(list, message.Msg, message.WParam, message.LParam);
    return;
  }
  if (message.Msg == WM_CHAR || (message.Msg == WM_KEYDOWN && (key == VK_BACK || key == VK_DELETE))) {
    TdxInplaceMaskEdit::WndProc(message);
    SearchList(GetTextValue());
    return;
  }
  if (message.Msg == WM_KEYDOWN) {
    const bool keptForText = IsEditClass() && (key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT);
    if (keptForText) return TdxInplaceMaskEdit::WndProc(message);
    if (IsNavigationKey(key)) SendMessageW(list, message.Msg, message.WParam, message.LParam);
    message.Result = 0;
    return;
  }
  message.Result = 0;
}

TVK_MESSAGE_MAP(TdxInplaceDropDownEdit, {WM_NCHITTEST, &TdxInplaceDropDownEdit::WMNCHitTest},
                {WM_NCLBUTTONDOWN, &TdxInplaceDropDownEdit::WMNCLButtonDown},
                {WM_NCLBUTTONDBLCLK, &TdxInplaceDropDownEdit::WMNCLButtonDblClk},
                {WM_LBUTTONDOWN, &TdxInplaceDropDownEdit::WMLButtonDown},
                {WM_LBUTTONDBLCLK, &TdxInplaceDropDownEdit::WMLButtonDown},
                {WM_LBUTTONUP, &TdxInplaceDropDownEdit::WMLButtonUp},
                {WM_CANCELMODE, &TdxInplaceDropDownEdit::WMCancelMode},
                {WM_CAPTURECHANGED, &TdxInplaceDropDownEdit::WMCancelMode},
                {WM_KILLFOCUS, &TdxInplaceDropDownEdit::WMKillFocus},
                {WM_GETDLGCODE, &TdxInplaceDropDownEdit::WMGetDlgCode},
                {WM_DROPDOWNPOPUP, &TdxInplaceDropDownEdit::WMDropDownPopup},
                {WM_POPUPCLOSED, &TdxInplaceDropDownEdit::WMPopupClosed},
                {CM_CANCELMODE, &TdxInplaceDropDownEdit::CMCancelMode},
                {CM_HINTSHOW, &TdxInplaceDropDownEdit::CMHintShow})

void TdxInplaceDropDownEdit::WMNCHitTest(TMessage& message) {
  TVK_INHERITED(message);
  if (ComponentState() & csDesigning) {
    FActiveButton = -1;
    return;
  }
  const POINT p = ScreenToWindowPoint(POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)});
  auto vd = CreateViewData(false);
  TdxEditViewInfo vi;
  EditClass().CalcViewInfo(*vd, false, vi);
  const TdxDropDownEditViewData& data = AsDropDownData(*vd);
  std::array<RECT, kMaxEditButtons> rects{};
  TdxInplaceDropDownEditClass::CalcButtonRects(data, vi, rects);
  const bool foreignCapture = GetCapture() != nullptr && FPressedButton == -1;
  for (int i = std::min<int>(data.ButtonCount, kMaxEditButtons) - 1; i >= 0; --i) {
    if (!PtInRect(&rects[static_cast<std::size_t>(i)], p) || foreignCapture) continue;
    SetActiveButton(FPressedButton == -1 || FPressedButton == i ? i : -1);
    message.Result = HTBORDER;
    return;
  }
  SetActiveButton(-1);
}

void TdxInplaceDropDownEdit::WMNCLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  if (FActiveButton == -1) return;
  ButtonDown(false, FActiveButton);
  if (!Focused() && CanFocus()) SetFocus();
}

void TdxInplaceDropDownEdit::WMNCLButtonDblClk(TMessage& message) {
  DefaultHandler(message);
  SendMessageW(Handle(), WM_NCLBUTTONDOWN, message.WParam, message.LParam);
}

void TdxInplaceDropDownEdit::WMLButtonDown(TMessage& message) {
  if (FImmediatePopupStyle) ButtonDown(true, 0);
  TVK_INHERITED(message);
}

void TdxInplaceDropDownEdit::WMLButtonUp(TMessage& message) {
  if (FPressedButton != -1) {
    const int released = FActiveButton != -1 ? FPressedButton : -1;
    ReleasePressedButton();
    if (released != -1) ButtonClick(released);
  }
  TVK_INHERITED(message);
}

void TdxInplaceDropDownEdit::WMCancelMode(TMessage& message) {
  if (FPressedButton != -1) ReleasePressedButton();
  TVK_INHERITED(message);
}

void TdxInplaceDropDownEdit::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  CloseUp(false);
}

void TdxInplaceDropDownEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTALLKEYS;
}

void TdxInplaceDropDownEdit::WMDropDownPopup(TMessage& message) {
  DropDown();
  message.Result = 0;
}

void TdxInplaceDropDownEdit::WMPopupClosed(TMessage& message) {
  FListVisible = false;
  message.Result = 0;
}

// No hint over the editor while its pop-up is open.
void TdxInplaceDropDownEdit::CMHintShow(TMessage& message) { message.Result = DroppedDown() ? 1 : 0; }

void TdxInplaceDropDownEdit::CMCancelMode(TMessage& message) {
  auto* sender = reinterpret_cast<TControl*>(message.LParam);
  if (sender != this && sender != FActiveList) CloseUp(false);
  TVK_INHERITED(message);
}

// --- buttons

TCollection* TdxEditButton::CheckRoom(TCollection* collection) {
  if (collection && collection->Count() >= kMaxEditButtons)
    throw Exception(L"Too many buttons ( >= " + std::to_wstring(kMaxEditButtons) + L")");
  return collection;
}

TdxEditButton::TdxEditButton(TCollection* collection) : TCollectionItem(CheckRoom(collection)) {}

TdxEditButton::~TdxEditButton() = default;

void TdxEditButton::SetDefault(bool value) {
  if (value == FDefault) return;
  if (value && Collection()) {
    for (int i = 0; i < Collection()->Count(); ++i)
      if (auto* other = static_cast<TdxEditButton*>(Collection()->Items(i)); other != this) other->FDefault = false;
  }
  FDefault = value;
  Changed(true);
}

TBitmap& TdxEditButton::Glyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  return *FGlyph;
}

void TdxEditButton::SetGlyph(TBitmap* value) {
  if (!value) {
    FGlyph.reset();
  } else {
    Glyph().Assign(*value);
  }
  Changed(true);
}

void TdxEditButton::SetKind(TdxEditButtonKind value) {
  if (value == FKind) return;
  FKind = value;
  Changed(true);
}

void TdxEditButton::SetLeftAlignment(bool value) {
  if (value == FLeftAlignment) return;
  FLeftAlignment = value;
  Changed(true);
}

void TdxEditButton::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  Changed(true);
}

void TdxEditButton::SetWidth(int value) {
  if (value == FWidth) return;
  FWidth = value;
  Changed(true);
}

void TdxEditButton::RestoreDefaults() {
  FGlyph.reset();
  FKind = bkEllipsis;
  FLeftAlignment = false;
  FVisible = true;
  FWidth = 0;
}

void TdxEditButton::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TdxEditButton*>(&source);
  if (!other) return TCollectionItem::Assign(source);
  if (Collection()) Collection()->BeginUpdate();
  try {
    RestoreDefaults();
    SetDefault(other->FDefault);
    SetGlyph(other->FGlyph.get());
    SetKind(other->FKind);
    SetLeftAlignment(other->FLeftAlignment);
    SetVisible(other->FVisible);
    SetWidth(other->FWidth);
  } catch (...) {
    if (Collection()) Collection()->EndUpdate();
    throw;
  }
  if (Collection()) Collection()->EndUpdate();
}

TdxEditButtons::TdxEditButtons(TComponent* owner, TCollectionItemClass buttonClass)
    : TCollection(buttonClass), FOwner(owner) {}

int TdxEditButtons::VisibleCount() const {
  int count = 0;
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->Visible()) ++count;
  return count;
}

TdxEditButton* TdxEditButtons::GetVisibleItem(int visibleIndex) const {
  const int index = GetAbsoluteIndex(visibleIndex);
  return index < 0 ? nullptr : GetItem(index);
}

int TdxEditButtons::GetAbsoluteIndex(int visibleIndex) const {
  if (visibleIndex < 0) return -1;
  for (int i = 0, seen = 0; i < Count(); ++i) {
    if (!GetItem(i)->Visible()) continue;
    if (seen++ == visibleIndex) return i;
  }
  return -1;
}

int TdxEditButtons::GetVisibleIndex(int absoluteIndex) const {
  if (absoluteIndex < 0 || absoluteIndex >= Count() || !GetItem(absoluteIndex)->Visible()) return -1;
  int visible = 0;
  for (int i = 0; i <= absoluteIndex; ++i)
    if (GetItem(i)->Visible()) ++visible;
  return visible - 1;
}

void TdxEditButtons::RestoreDefaults() {
  BeginUpdate();
  for (int i = 0; i < Count(); ++i) GetItem(i)->RestoreDefaults();
  EndUpdate();
}

void TdxEditButtons::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TdxEditButtons*>(&source);
  if (!other) return TCollection::Assign(source);
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < other->Count(); ++i) Add()->Assign(*other->GetItem(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TdxEditButtons::Update(TCollectionItem* item) {
  (void)item;
  if (FOwner && !FOwner->Loading() && Count() == 1) GetItem(0)->FDefault = true;
}

void TdxInplaceEditButtons::Update(TCollectionItem* item) {
  TdxEditButtons::Update(item);
  if (auto* edit = dynamic_cast<TdxInplaceButtonEdit*>(Owner()); edit && !edit->IsDestroying()) edit->LayoutChanged();
}

// --- the button editor

const TdxInplaceButtonEditClass& TdxInplaceButtonEditClass::Instance() {
  static const TdxInplaceButtonEditClass instance;
  return instance;
}

const TdxInplaceButtonEditNoTextClass& TdxInplaceButtonEditNoTextClass::Instance() {
  static const TdxInplaceButtonEditNoTextClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceButtonEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxButtonEditViewData>();
}

void TdxInplaceButtonEditClass::CalcButtonsInfo(TdxDropDownEditViewData& viewData) const {
  TdxInplaceDropDownEditClass::CalcButtonsInfo(viewData);
  auto* data = dynamic_cast<TdxButtonEditViewData*>(&viewData);
  if (!data || !data->EditButtons || data->HideButtons) return;
  TdxEditButtons& buttons = *data->EditButtons;
  data->ButtonCount = std::min(buttons.VisibleCount(), kMaxEditButtons);
  int total = 0;
  for (int a = 0; a < data->ButtonCount; ++a) {
    TdxEditButton* button = buttons.GetVisibleItem(a);
    TdxEditButtonInfo& info = data->Buttons[static_cast<std::size_t>(a)];
    info.Glyph = &button->Glyph();
    info.Index = a;
    info.Kind = button->Kind();
    info.LeftAlignment = button->LeftAlignment();
    info.Width = button->Width() != 0 ? button->Width() : CalcDefaultButtonWidth(viewData, info);
    total += info.Width;
  }
  if (data->ButtonOnly && data->ButtonCount > 0) {
    TdxEditViewInfo bounds;
    CalcBoundsInfo(viewData, bounds);
    const int spare = bounds.ClientBounds.right - bounds.ClientBounds.left - total;
    if (spare > 0) data->Buttons[static_cast<std::size_t>(data->ButtonCount - 1)].Width += spare;
  }
}

void TdxInplaceButtonEditClass::CalcViewInfo(TdxEditViewData& viewData, bool autoSize,
                                             TdxEditViewInfo& viewInfo) const {
  TdxInplaceDropDownEditClass::CalcViewInfo(viewData, autoSize, viewInfo);
  if (auto* data = dynamic_cast<TdxButtonEditViewData*>(&viewData); data && data->ButtonOnly)
    viewInfo.ClientBounds.right = viewInfo.ClientBounds.left;
}

void TdxInplaceButtonEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData,
                                               bool isControl) const {
  auto* data = dynamic_cast<TdxButtonEditViewData*>(&viewData);
  TdxInplaceDropDownEditClass::DrawClientArea(dc, rect, viewData, isControl && !(data && data->HideEditCursor));
}

TdxInplaceButtonEdit::TdxInplaceButtonEdit(TComponent* owner)
    : TdxInplaceDropDownEdit(owner),
      FButtons(std::make_unique<TdxInplaceEditButtons>(this, CollectionItemClassOf<TdxEditButton>())) {
  FButtons->Add();
}

TdxInplaceButtonEdit::~TdxInplaceButtonEdit() { FButtons.reset(); }

const TdxInplaceEditClass& TdxInplaceButtonEdit::EditClass() const {
  if (FViewStyle == vsStandard) return TdxInplaceButtonEditClass::Instance();
  return TdxInplaceButtonEditNoTextClass::Instance();
}

void TdxInplaceButtonEdit::SetViewStyle(TdxButtonEditViewStyle value) {
  if (value == FViewStyle) return;
  FViewStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

std::unique_ptr<TdxEditViewData> TdxInplaceButtonEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceDropDownEdit::CreateViewData(isPaintCopy);
  if (auto* data = dynamic_cast<TdxButtonEditViewData*>(vd.get())) {
    data->EditButtons = FButtons.get();
    data->ButtonOnly = FViewStyle == vsButtonOnly && FButtons->Count() > 0;
    data->HideEditCursor = !IsEditClass();
  }
  return vd;
}

void TdxInplaceButtonEdit::ClickDefaultButton() {
  for (int v = 0, n = FButtons->VisibleCount(); v < n; ++v) {
    if (FButtons->GetVisibleItem(v)->Default()) {
      ButtonClick(v);
      return;
    }
  }
}

void TdxInplaceButtonEdit::ButtonClick(int visibleIndex) {
  if (FOnButtonClick && visibleIndex >= 0 && visibleIndex < FButtons->VisibleCount())
    FOnButtonClick(this, FButtons->GetAbsoluteIndex(visibleIndex));
  DoDropDown();
}

void TdxInplaceButtonEdit::KeyDown(WORD& key, TShiftState shift) {
  if (!IsEditClass()) {
    if (key == VK_LEFT) GoToNeighbourCell(true);
    if (key == VK_RIGHT) GoToNeighbourCell(false);
  }
  if (FButtons->Count() > 0 && ShortCut(key, shift) == FClickKey && CanModify()) {
    if (HandleAllocated()) RemovePendingMessage(Handle(), WM_CHAR);
    ClickDefaultButton();
    key = 0;
    return;
  }
  TdxInplaceDropDownEdit::KeyDown(key, shift);
}

void TdxInplaceButtonEdit::DefineProperties(TFiler& filer) {
  TdxInplaceDropDownEdit::DefineProperties(filer);
  filer.DefineBinaryProperty(
      L"ExistButtons",
      [this](TStream& s) {
        std::uint8_t exist = 0;
        s.ReadBuffer(&exist, sizeof exist);
        FExistButtons = exist != 0;
      },
      [this](TStream& s) {
        std::uint8_t exist = FButtons->Count() > 0 ? 1 : 0;
        s.WriteBuffer(&exist, sizeof exist);
      },
      FButtons->Count() > 0);
}

void TdxInplaceButtonEdit::Loaded() {
  TdxInplaceDropDownEdit::Loaded();
  if (!FExistButtons) FButtons->Clear();
}

TVK_MESSAGE_MAP(TdxInplaceButtonEdit, {WM_GETDLGCODE, &TdxInplaceButtonEdit::WMGetDlgCode})

void TdxInplaceButtonEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS;
}

}  // namespace tvk
