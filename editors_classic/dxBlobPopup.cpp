#include "dxBlobPopup.h"

#include "Clipbrd.h"
#include "ExtDlgs.h"
#include "dxExEdtr.h"
#include "dxExUtils.h"

#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace tvk {

namespace {

constexpr int kBlobSeparatorTag = 2147483647;
// Scrolls a rich edit's caret into view.
constexpr UINT kBlobScrollCaretMessage = WM_USER + 49;

WideString BlobCasedText(WideString text, TEditCharCase charCase) {
  if (charCase == TEditCharCase::ecUpperCase && !text.empty()) CharUpperBuffW(text.data(), DWORD(text.size()));
  if (charCase == TEditCharCase::ecLowerCase && !text.empty()) CharLowerBuffW(text.data(), DWORD(text.size()));
  return text;
}

SIZE BlobTextSize(HDC dc, const WideString& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  return size;
}

// The character after '&' in a caption, upper case; 0 without one.
wchar_t BlobAccelerator(const WideString& caption) {
  const std::size_t amp = caption.find(L'&');
  if (amp == WideString::npos || amp + 1 >= caption.size()) return 0;
  return wchar_t(std::towupper(caption[amp + 1]));
}

}  // namespace

const WideString& BlobButtonCaption(TdxBlobEditButton button) {
  return BlobPopupCaption(TdxBlobPopupButton(int(button)));
}

TCustomdxBlobPopup::TCustomdxBlobPopup(TComponent* owner)
    : TdxInplacePopupControl(owner), FClipboardFormat(PictureClipFormat()) {
  SetControlStyle(csCaptureMouse | csClickEvents);
  SetBounds(0, 0, 185, 89);
  SetTabStop(true);
  SetVisible(false);
  SetIsPopupControl(true);
  SetDrawNC(false);
}

TCustomdxBlobPopup::~TCustomdxBlobPopup() {
  FEditPopupMenu.reset();
  FPicture.reset();
  FTempTransparentBitmap.reset();
}

// --- settings

void TCustomdxBlobPopup::SetBlobEditKind(TdxBlobEditKind value) {
  if (FBlobEditKind == value) return;
  if (HandleAllocated()) DestroyHandle();
  FBlobEditKind = value;
}

void TCustomdxBlobPopup::SetReadOnly(bool value) {
  FReadOnly = value;
  FButtons = value ? BlobButtonBit(bebClose) : BlobButtonBit(bebOK) | BlobButtonBit(bebCancel);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetSizeable(bool value) {
  if (FSizeable == value) return;
  FSizeable = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetCharCase(TEditCharCase value) {
  if (FCharCase == value) return;
  FCharCase = value;
  ApplyCharCase();
}

void TCustomdxBlobPopup::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetScrollBars(TScrollStyle value) {
  if (FScrollBars == value) return;
  FScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetHideScrollBars(bool value) {
  if (FHideScrollBars == value) return;
  FHideScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetSelectionBar(bool value) {
  if (FSelectionBar == value) return;
  FSelectionBar = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetOEMConvert(bool value) {
  if (FOEMConvert == value) return;
  FOEMConvert = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetMaxLength(int value) {
  FMaxLength = value;
  if (IsMemo() && HandleAllocated()) SendMessageW(Handle(), EM_EXLIMITTEXT, 0, value > 0 ? value : 0x7FFFFFFE);
}

void TCustomdxBlobPopup::SetAutoSize(bool value) {
  if (FAutoSize == value) return;
  FAutoSize = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxBlobPopup::SetGraphicTransparency(TdxGraphicEditTransparency value) {
  FGraphicTransparency = value;
  FInternalChanging = true;
  PictureChanged();
  FInternalChanging = false;
}

TPicture& TCustomdxBlobPopup::Picture() {
  if (!FPicture) FPicture = std::make_unique<TPicture>();
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
  return *FPicture;
}

WideString TCustomdxBlobPopup::Text() {
  if (!IsMemo() || !HandleAllocated()) return FMemoText;
  const int length = GetWindowTextLengthW(Handle());
  WideString text(std::size_t(length) + 1, L'\0');
  text.resize(std::size_t(GetWindowTextW(Handle(), text.data(), length + 1)));
  return text;
}

void TCustomdxBlobPopup::SetText(const WideString& value) {
  FMemoText = value;
  if (IsMemo() && HandleAllocated()) SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

bool TCustomdxBlobPopup::Modified() {
  if (IsMemo() && HandleAllocated()) return SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomdxBlobPopup::SetModified(bool value) {
  if (IsMemo() && HandleAllocated())
    SendMessageW(Handle(), EM_SETMODIFY, value ? TRUE : FALSE, 0);
  else
    FModified = value;
  if (FButtonEnabled != value) {
    FButtonEnabled = value;
    RepaintFrame();
  }
}

bool TCustomdxBlobPopup::OwnerCanEditValue() { return !OwnerControl || OwnerControl->CanEditValue(); }

// --- metrics and placement

TdxBlobPopupPanelMetrics TCustomdxBlobPopup::CalcPanelMetrics() {
  TdxBlobPopupPanelMetrics m;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  const SIZE wg = BlobTextSize(dc, L"Wg"), zero = BlobTextSize(dc, L"0");
  m.FrameSize = PopupBorderStyle() == pbSingle || PopupBorderStyle() == pbFlat ? 2 : 4;
  m.GripWidth = FSizeable ? GetSystemMetrics(SM_CXVSCROLL) : zero.cx;
  m.ButtonMargin = wg.cy / 3;
  m.ButtonGap = zero.cx;
  m.ButtonHeight = MulDiv(wg.cy, 20, 13);
  for (int b = bebOK; b <= bebClose; ++b) {
    if (!(FButtons & BlobButtonBit(TdxBlobEditButton(b)))) continue;
    ++m.ButtonCount;
    m.ButtonWidth = std::max(m.ButtonWidth, int(BlobTextSize(dc, BlobButtonCaption(TdxBlobEditButton(b)) + L"00").cx));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return m;
}

int TCustomdxBlobPopup::BorderWidthForSize() const {
  return PopupBorderStyle() == pbDefault ? 1 : PopupBorderWidth(PopupBorderStyle());
}

void TCustomdxBlobPopup::CalcMinSize() {
  const TdxBlobPopupPanelMetrics m = CalcPanelMetrics();
  const int b = 2 * BorderWidthForSize();
  FMinWidth = 2 * m.GripWidth + (m.ButtonWidth + m.ButtonGap) * m.ButtonCount + b - m.ButtonGap + 2;
  FButtonPanelHeight = 2 * m.ButtonMargin + m.FrameSize + m.ButtonHeight;
  FMinHeight = 3 * GetSystemMetrics(SM_CYHSCROLL) + FButtonPanelHeight;
}

void TCustomdxBlobPopup::SetSize(POINT p, int defaultWidth, int defaultHeight) {
  FLeftCoord = FTopCoord = 0;
  CalcMinSize();
  bool below = true, right = true;
  RECT r{p.x, p.y, p.x, p.y};
  if (OwnerControl && OwnerControl->HandleAllocated()) GetWindowRect(OwnerControl->Handle(), &r);
  RECT wa;
  GetMonitorWorkArea(p, wa);
  const TdxBlobPopupPanelMetrics m = CalcPanelMetrics();
  const int b = 2 * BorderWidthForSize();
  const int nc = m.FrameSize + 2 * m.ButtonMargin + m.ButtonHeight + b;
  const int maxW = wa.right - wa.left;
  const int room = std::max(wa.bottom - p.y, p.y - (r.bottom - r.top) - wa.top);
  int w = defaultWidth - b, h = defaultHeight - nc;
  if (FBlobEditKind == bekPict && FAutoSize && HasPicture()) {
    const int pw = FPicture->Width(), ph = FPicture->Height();
    w = pw;
    h = ph;
    if (w + b > maxW) {
      w = maxW - b;
      h = ph * w / pw;
    }
    if (h + nc > room) {
      h = room - nc;
      w = h * pw / ph;
    }
  }
  const int width = std::min(maxW, std::max(FMinWidth, w + b));
  const int height = std::min(room, std::max(FMinHeight, h + nc));
  int left = p.x, top = p.y;
  if ((r.right - r.left) < width && left + width > wa.right && std::abs(wa.right - r.left) < std::abs(wa.left - r.right)) {
    left = r.right - width;
    right = false;
  }
  if (top + height > wa.bottom && std::abs(wa.bottom - r.bottom) < std::abs(r.top - wa.top)) {
    top = r.top - height;
    below = false;
  }
  FSizingCorner = below ? (right ? coBottomRight : coBottomLeft) : (right ? coTopRight : coTopLeft);
  SetBounds(left, top, width, height);
  if (HandleAllocated()) RecreateWnd();
}

// --- showing and closing

void TCustomdxBlobPopup::ShowPopup() {
  TdxInplacePopupControl::ShowPopup();
  FBlobTextSaved = false;
}

void TCustomdxBlobPopup::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomdxBlobPopup::HidePopup(bool byMouse) {
  if (HandleAllocated()) {
    FBlobText = Text();
    if (IsWindowVisible(Handle())) DoHide();
  }
  TdxInplacePopupControl::HidePopup(byMouse);
  if (FAlwaysSaveText) SaveChanges();
}

void TCustomdxBlobPopup::ClosePopup(TdxBlobEditButton button) {
  if (button == bebCancel || button == bebClose) FBlobTextSaved = true;
  HidePopup(false);
  if (button == bebOK) SaveChanges();
}

void TCustomdxBlobPopup::SaveChanges() {
  if (!FBlobTextSaved && Modified() && OnSaveChanges) OnSaveChanges(this);
  FBlobTextSaved = true;
}

void TCustomdxBlobPopup::DoChange() {
  if (OnChange) OnChange(this);
  const bool enabled = Modified();
  if (enabled != FButtonEnabled) {
    FButtonEnabled = enabled;
    RepaintFrame();
  }
}

void TCustomdxBlobPopup::ApplyCharCase() {
  if (FCharCase == TEditCharCase::ecNormal || !IsMemo()) return;
  const WideString text = Text();
  const WideString cased = BlobCasedText(text, FCharCase);
  if (cased == text) return;
  FCharCaseChanging = true;
  int start = 0, end = 0;
  if (HandleAllocated()) GetSelection(start, end);
  SetText(cased);
  if (HandleAllocated()) SetSelection(start, end, true);
  FCharCaseChanging = false;
}

void TCustomdxBlobPopup::GetSelection(int& start, int& end) {
  CHARRANGE range{};
  if (HandleAllocated()) SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  start = range.cpMin;
  end = range.cpMax;
}

void TCustomdxBlobPopup::SetSelection(int start, int end, bool scrollCaret) {
  if (!HandleAllocated()) return;
  CHARRANGE range{start, end};
  SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (scrollCaret) SendMessageW(Handle(), kBlobScrollCaretMessage, 0, 0);
}

// --- window

void TCustomdxBlobPopup::CreateParams(TCreateParams& params) {
  TdxInplacePopupControl::CreateParams(params);
  params.WinClassName = WideString(ClassName()) + (IsMemo() ? L"Memo" : L"Pict");
  if (IsMemo()) {
    params.SubClassName = L"RichEdit20W";
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
    if (FWordWrap) params.Style &= ~DWORD(ES_AUTOHSCROLL);
    if (FReadOnly) params.Style |= ES_READONLY;
    if (FCharCase == TEditCharCase::ecUpperCase) params.Style |= ES_UPPERCASE;
    if (FCharCase == TEditCharCase::ecLowerCase) params.Style |= ES_LOWERCASE;
    if (FOEMConvert) params.Style |= ES_OEMCONVERT;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth) params.Style |= WS_HSCROLL;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
    if (FSelectionBar) params.Style |= ES_SELECTIONBAR;
    if (!FHideScrollBars) params.Style |= ES_DISABLENOSCROLL;
  }
  params.Style = (params.Style & ~DWORD(WS_CHILD | WS_BORDER)) | WS_POPUP;
  params.WindowClassStyle |= CS_SAVEBITS;
}

// The rich edit resizes its window while it is created; the control's bounds stay.
void TCustomdxBlobPopup::CreateWindowHandle(const TCreateParams& params) {
  const RECT bounds = BoundsRect();
  TdxInplacePopupControl::CreateWindowHandle(params);
  if (IsMemo()) {
    SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
  }
}

void TCustomdxBlobPopup::CreateWnd() {
  if (IsMemo()) {
    FCreating = true;
    const WideString text = FMemoText;
    TdxInplacePopupControl::CreateWnd();
    HWND h = Handle();
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(h, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SetMaxLength(FMaxLength);
    SendMessageW(h, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DRAGDROPDONE | ENM_SELCHANGE);
    Perform(CM_COLORCHANGED);
    RECT r;
    GetClientRect(h, &r);
    InflateRect(&r, -1, -1);
    if (FSelectionBar) r.left += 8;
    SendMessageW(h, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
    FCreating = false;
    ApplyCharCase();
  } else {
    TdxInplacePopupControl::CreateWnd();
  }
  SetModified(FModified);
  UpdateScrollBars();
}

void TCustomdxBlobPopup::DestroyWindowHandle() {
  FModified = Modified();
  if (IsMemo()) FMemoText = Text();
  TdxInplacePopupControl::DestroyWindowHandle();
}

void TCustomdxBlobPopup::RepaintFrame() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

TVK_MESSAGE_MAP(TCustomdxBlobPopup, {WM_NCCALCSIZE, &TCustomdxBlobPopup::WMNCCalcSize},
                {WM_NCPAINT, &TCustomdxBlobPopup::WMNCPaint}, {WM_NCHITTEST, &TCustomdxBlobPopup::WMNCHitTest},
                {WM_NCLBUTTONDOWN, &TCustomdxBlobPopup::WMNCLButtonDown},
                {WM_NCLBUTTONDBLCLK, &TCustomdxBlobPopup::WMNCLButtonDblClk},
                {WM_SYSKEYDOWN, &TCustomdxBlobPopup::WMKeyDown}, {WM_MOUSEMOVE, &TCustomdxBlobPopup::WMMouseMove}, {WM_LBUTTONUP, &TCustomdxBlobPopup::WMLButtonUp},
                {WM_GETMINMAXINFO, &TCustomdxBlobPopup::WMGetMinMaxInfo},
                {WM_GETDLGCODE, &TCustomdxBlobPopup::WMGetDlgCode}, {WM_CHAR, &TCustomdxBlobPopup::WMChar},
                {WM_HSCROLL, &TCustomdxBlobPopup::WMHScroll}, {WM_VSCROLL, &TCustomdxBlobPopup::WMVScroll},
                {WM_SIZE, &TCustomdxBlobPopup::WMSize}, {WM_ERASEBKGND, &TCustomdxBlobPopup::WMEraseBkgnd},
                {WM_PAINT, &TCustomdxBlobPopup::WMPaint}, {WM_CONTEXTMENU, &TCustomdxBlobPopup::WMContextMenu},
                {CN_COMMAND, &TCustomdxBlobPopup::CNCommand}, {CM_COLORCHANGED, &TCustomdxBlobPopup::CMColorChanged})

void TCustomdxBlobPopup::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  RECT& r = *reinterpret_cast<RECT*>(message.LParam);
  if (PanelAtBottom())
    r.bottom -= FButtonPanelHeight;
  else
    r.top += FButtonPanelHeight;
  if (r.bottom < r.top) r.bottom = r.top;
}

RECT TCustomdxBlobPopup::PanelRect() {
  RECT w;
  GetWindowRect(Handle(), &w);
  if (Shadow()) {
    w.right -= ShadowSize();
    w.bottom -= ShadowSize();
  }
  const int border = PopupBorderWidth(PopupBorderStyle());
  InflateRect(&w, -border, -border);
  if (PanelAtBottom())
    w.top = w.bottom - FButtonPanelHeight;
  else
    w.bottom = w.top + FButtonPanelHeight;
  return w;
}

// Painting and hit testing share this rectangle: the separator lies between
// the buttons and the client on either side.
RECT TCustomdxBlobPopup::ButtonRect(TdxBlobEditButton button) {
  if (!HandleAllocated() || !(FButtons & BlobButtonBit(button))) return RECT{};
  const TdxBlobPopupPanelMetrics m = CalcPanelMetrics();
  const RECT panel = PanelRect();
  const int top = PanelAtBottom() ? panel.top + m.FrameSize + m.ButtonMargin : panel.top + m.ButtonMargin;
  int x = panel.right - m.GripWidth;
  for (int b = bebClose; b >= bebOK; --b) {
    if (!(FButtons & BlobButtonBit(TdxBlobEditButton(b)))) continue;
    if (b == button) return RECT{x - m.ButtonWidth, top, x, top + m.ButtonHeight};
    x -= m.ButtonWidth + m.ButtonGap;
  }
  return RECT{};
}

int TCustomdxBlobPopup::ButtonAtPoint(POINT p) {
  if (FButtonPanelHeight <= 0) return -1;
  for (int b = bebOK; b <= bebClose; ++b) {
    const RECT r = ButtonRect(TdxBlobEditButton(b));
    if (PtInRect(&r, p)) return b;
  }
  return -1;
}

void TCustomdxBlobPopup::DrawPanelButton(HDC dc, RECT r, TdxBlobEditButton button) {
  const bool pressed = FButtonPressed && FDownButton == int(button);
  if (PopupBorderStyle() == pbSingle || PopupBorderStyle() == pbFlat) {
    DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    InflateRect(&r, -1, -1);
  } else {
    if (pressed) {
      DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    } else {
      DrawEdge(dc, &r, EDGE_RAISED, BF_RIGHT | BF_BOTTOM);
      DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP);
      RECT inner = r;
      InflateRect(&inner, -1, -1);
      DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      SetPixel(dc, r.left + 1, r.bottom - 2, GetSysColor(COLOR_BTNFACE));
      SetPixel(dc, r.right - 2, r.top + 1, GetSysColor(COLOR_BTNFACE));
    }
    InflateRect(&r, -2, -2);
  }
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  const bool enabled = button != bebOK || FButtonEnabled;
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
  const WideString& caption = BlobButtonCaption(button);
  DrawTextW(dc, caption.c_str(), int(caption.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  SelectObject(dc, old);
}

void TCustomdxBlobPopup::WMNCPaint(TMessage& message) {
  TVK_INHERITED(message);
  HWND wnd = Handle();
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  const bool bothBars = (style & WS_HSCROLL) && (style & WS_VSCROLL);
  DrawPopupWindowFrame(wnd, PopupBorderStyle(), bothBars, ShadowSize(), Shadow());
  HDC dc = GetWindowDC(wnd);
  if (!dc) return;
  RECT window;
  GetWindowRect(wnd, &window);
  RECT panel = PanelRect();
  OffsetRect(&panel, -window.left, -window.top);
  const bool bottom = PanelAtBottom();
  const bool thin = PopupBorderStyle() == pbSingle || PopupBorderStyle() == pbFlat;
  const int y = bottom ? panel.top : panel.bottom - (thin ? 2 : 4);
  if (thin) {
    RECT line{panel.left, y, panel.right, y + 1};
    DrawEdge(dc, &line, BDR_RAISEDINNER, BF_TOP);
    line = RECT{panel.left, y + 1, panel.right, y + 2};
    DrawEdge(dc, &line, BDR_SUNKENOUTER, BF_TOP);
  } else {
    RECT a{panel.left - 2, y, panel.right + 1, y + 2};
    DrawEdge(dc, &a, EDGE_RAISED, BF_TOP);
    RECT b{panel.left - 2, y + 2, panel.right + 2, y + 5};
    DrawEdge(dc, &b, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_RIGHT | BF_FLAT);
    RECT c{panel.left - 1, y + 3, panel.right + 1, y + 6};
    DrawEdge(dc, &c, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_RIGHT);
  }
  RECT rest = panel;
  if (bottom)
    rest.top += thin ? 2 : 4;
  else
    rest.bottom -= thin ? 2 : 4;
  const int saved = SaveDC(dc);
  for (int b = bebOK; b <= bebClose; ++b) {
    RECT r = ButtonRect(TdxBlobEditButton(b));
    if (IsRectEmpty(&r)) continue;
    OffsetRect(&r, -window.left, -window.top);
    DrawPanelButton(dc, r, TdxBlobEditButton(b));
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  if (FSizeable) {
    RECT grip = rest;
    DrawCornerSizeGrip(dc, grip, FSizingCorner);
    ExcludeClipRect(dc, grip.left, grip.top, grip.right, grip.bottom);
  }
  FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));
  RestoreDC(dc, saved);
  ReleaseDC(wnd, dc);
  message.Result = 0;
}

void TCustomdxBlobPopup::WMNCHitTest(TMessage& message) {
  TVK_INHERITED(message);
  const POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (FSizeable && !FTracking) {
    RECT w;
    GetWindowRect(Handle(), &w);
    if (Shadow()) {
      w.right -= ShadowSize();
      w.bottom -= ShadowSize();
    }
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    const bool rightCorner = IsRightCorner(FSizingCorner), bottomCorner = IsBottomCorner(FSizingCorner);
    RECT grip{rightCorner ? w.right - cx : w.left, bottomCorner ? w.bottom - cy : w.top, 0, 0};
    grip.right = grip.left + cx;
    grip.bottom = grip.top + cy;
    if (PtInRect(&grip, p)) {
      message.Result = CornerToHitTest(FSizingCorner);
    } else {
      const int fy = GetSystemMetrics(SM_CYDLGFRAME), fx = GetSystemMetrics(SM_CXDLGFRAME);
      const RECT horizontal{w.left, bottomCorner ? w.bottom - fy : w.top, w.right, bottomCorner ? w.bottom : w.top + fy};
      const RECT vertical{rightCorner ? w.right - fx : w.left, w.top, rightCorner ? w.right : w.left + fx, w.bottom};
      if (PtInRect(&horizontal, p)) message.Result = bottomCorner ? HTBOTTOM : HTTOP;
      if (PtInRect(&vertical, p)) message.Result = rightCorner ? HTRIGHT : HTLEFT;
    }
  }
  if (message.Result == HTNOWHERE) message.Result = HTBORDER;
}

void TCustomdxBlobPopup::WMNCLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  const POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  FDownButton = ButtonAtPoint(p);
  if (FDownButton == bebOK && !FButtonEnabled) FDownButton = -1;
  if (FDownButton >= 0) {
    SetCapture(Handle());
    FTracking = true;
    UpdatePressedButton(p);
  }
}

void TCustomdxBlobPopup::WMNCLButtonDblClk(TMessage& message) {
  DefaultHandler(message);
  message.Msg = WM_NCLBUTTONDOWN;
  WMNCLButtonDown(message);
}

void TCustomdxBlobPopup::UpdatePressedButton(POINT p) {
  const bool pressed = FDownButton >= 0 && ButtonAtPoint(p) == FDownButton;
  if (pressed != FButtonPressed) {
    FButtonPressed = pressed;
    RepaintFrame();
  }
}

void TCustomdxBlobPopup::StopTracking() {
  const bool wasTracking = FTracking;
  FTracking = false;
  if (FButtonPressed) {
    FButtonPressed = false;
    RepaintFrame();
  }
  if (wasTracking && GetCapture() == Handle()) ReleaseCapture();
}

void TCustomdxBlobPopup::WMMouseMove(TMessage& message) {
  TVK_INHERITED(message);
  if (!FTracking) return;
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  ::ClientToScreen(Handle(), &p);
  UpdatePressedButton(p);
}

void TCustomdxBlobPopup::WMLButtonUp(TMessage& message) {
  TVK_INHERITED(message);
  if (FButtonPanelHeight <= 0) return;
  const int down = FDownButton;
  const bool clicked = down >= 0 && FButtonPressed;
  StopTracking();
  FDownButton = -1;
  if (clicked) ClosePopup(TdxBlobEditButton(down));
}

void TCustomdxBlobPopup::WMGetMinMaxInfo(TMessage& message) {
  TVK_INHERITED(message);
  reinterpret_cast<MINMAXINFO*>(message.LParam)->ptMinTrackSize = POINT{FMinWidth, FMinHeight};
}

void TCustomdxBlobPopup::WMGetDlgCode(TMessage& message) {
  DefaultHandler(message);
  if (FWantTabs)
    message.Result |= DLGC_WANTTAB;
  else
    message.Result &= ~LRESULT(DLGC_WANTTAB);
  if (!FWantReturns) message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

void TCustomdxBlobPopup::WMChar(TMessage& message) {
  if (FCharCase != TEditCharCase::ecNormal && message.WParam >= 32) {
    WideString one(1, wchar_t(message.WParam));
    message.WParam = WPARAM(BlobCasedText(one, FCharCase)[0]);
  }
  TVK_INHERITED(message);
}

// --- keyboard

bool TCustomdxBlobPopup::AcceleratorIs(WORD key, TdxBlobEditButton button) {
  const wchar_t accel = BlobAccelerator(BlobButtonCaption(button));
  return accel != 0 && key == WORD(accel) && (FButtons & BlobButtonBit(button));
}

void TCustomdxBlobPopup::KeyDown(WORD& key, TShiftState shift) {
  const bool alt = (shift & ssAlt) != 0, ctrl = (shift & ssCtrl) != 0;
  if (key == VK_TAB && !FWantTabs && OwnerControl && OwnerControl->IsInplace()) {
    HidePopup(false);
    OwnerControl->GoToNeighbourCell((shift & ssShift) != 0);
    key = 0;
    if (HandleAllocated()) RemovePendingMessage(Handle(), WM_CHAR);
    return;
  }
  if ((alt && (key == VK_UP || key == VK_DOWN)) || key == VK_F4) {
    HidePopup(false);
    SetModified(false);
    key = 0;
    return;
  }
  const bool cancelAccel = alt && (AcceleratorIs(key, bebCancel) || AcceleratorIs(key, bebClose));
  if (key == VK_ESCAPE || cancelAccel) {
    SetModified(false);
    ClosePopup(bebCancel);
    if (cancelAccel) DestroyHandle();
    key = 0;
    return;
  }
  const bool okAccel = alt && AcceleratorIs(key, bebOK);
  if ((key == VK_RETURN && (ctrl || !FWantReturns || FBlobEditKind == bekPict)) || okAccel) {
    ClosePopup(bebOK);
    if (okAccel) DestroyHandle();
    key = 0;
    return;
  }
  TdxInplacePopupControl::KeyDown(key, shift);
  if (FBlobEditKind == bekPict) {
    if (key == VK_INSERT && (shift & ssShift))
      PasteFromClipboard();
    else if (key == VK_INSERT && ctrl)
      CopyToClipboard();
    else if (key == VK_DELETE && (shift & ssShift))
      CutToClipboard();
  }
}

void TCustomdxBlobPopup::KeyPress(wchar_t& key) {
  if (key == L'\n' && (FButtons & BlobButtonBit(bebOK))) key = 0;
  if (key == L'\t' && !FWantTabs) key = 0;
  TdxInplacePopupControl::KeyPress(key);
  if (FBlobEditKind == bekPict) {
    switch (key) {
      case 3: CopyToClipboard(); break;
      case 22: PasteFromClipboard(); break;
      case 24: CutToClipboard(); break;
      default: break;
    }
  }
}

void TCustomdxBlobPopup::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == EN_CHANGE) {
    if (!FCharCaseChanging) ApplyCharCase();
    if (!FCreating && !FCharCaseChanging) DoChange();
  }
  TVK_INHERITED(message);
}

void TCustomdxBlobPopup::CMColorChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (IsMemo() && HandleAllocated()) SendMessageW(Handle(), EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(Color())));
}

// --- picture view

void TCustomdxBlobPopup::WMEraseBkgnd(TMessage& message) {
  if (IsMemo()) {
    TVK_INHERITED(message);
    return;
  }
  message.Result = 1;
}

void TCustomdxBlobPopup::WMPaint(TMessage& message) {
  if (IsMemo()) {
    DefaultHandler(message);
    return;
  }
  TVK_INHERITED(message);
}

void TCustomdxBlobPopup::Paint() {
  HDC dc = Canvas().Handle();
  RECT client = ClientRect();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  if (!HasPicture()) {
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    return;
  }
  TGraphic* graphic = FPicture->Graphic();
  RECT p = FAutoSize ? FitPictureRect(client, graphic->Width(), graphic->Height())
                     : RECT{-FLeftCoord, -FTopCoord, graphic->Width() - FLeftCoord, graphic->Height() - FTopCoord};
  if (graphic->Transparent()) {
    if (!FTempTransparentBitmap) FTempTransparentBitmap = std::make_unique<TBitmap>();
    EnsureBitmapSize(*FTempTransparentBitmap, client.right, client.bottom);
    FillRect(FTempTransparentBitmap->Canvas().Handle(), &client, brush);
    graphic->Draw(FTempTransparentBitmap->Canvas(), p);
    BitBlt(dc, 0, 0, client.right, client.bottom, FTempTransparentBitmap->Canvas().Handle(), 0, 0, SRCCOPY);
  } else {
    graphic->Draw(Canvas(), p);
    ExcludeClipRect(dc, p.left, p.top, p.right, p.bottom);
    FillRect(dc, &client, brush);
  }
  SelectClipRgn(dc, nullptr);
  DeleteObject(brush);
}

void TCustomdxBlobPopup::UpdateScrollBars() {
  if (IsMemo() || FAutoSize || !HasPicture() || !HandleAllocated()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  const struct {
    int Bar, Size, Page, Pos;
  } bars[] = {{SB_HORZ, FPicture->Width(), client.right, FLeftCoord},
              {SB_VERT, FPicture->Height(), client.bottom, FTopCoord}};
  for (const auto& bar : bars) {
    SCROLLINFO want{sizeof(SCROLLINFO), SIF_ALL, 0, bar.Page >= bar.Size ? 0 : bar.Size - 1, UINT(bar.Page), bar.Pos, 0};
    SCROLLINFO now{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(Handle(), bar.Bar, &now);
    if (now.nMin != want.nMin || now.nMax != want.nMax || now.nPage != want.nPage || now.nPos != want.nPos)
      SetScrollInfo(Handle(), bar.Bar, &want, TRUE);
  }
}

void TCustomdxBlobPopup::SetCoord(bool horizontal, int value) {
  if (IsMemo() || FAutoSize || !HasPicture() || !HandleAllocated()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  const int size = horizontal ? FPicture->Width() : FPicture->Height();
  const int page = horizontal ? client.right : client.bottom;
  value = std::max(0, std::min(value, size - page));
  int& coord = horizontal ? FLeftCoord : FTopCoord;
  if (value == coord) return;
  const int delta = coord - value;
  coord = value;
  UpdateScrollBars();
  if (std::abs(delta) > page)
    InvalidateRect(Handle(), nullptr, FALSE);
  else
    ScrollWindowEx(Handle(), horizontal ? delta : 0, horizontal ? 0 : delta, nullptr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE);
}

void TCustomdxBlobPopup::SetLeftCoord(int value) { SetCoord(true, value); }
void TCustomdxBlobPopup::SetTopCoord(int value) { SetCoord(false, value); }

void TCustomdxBlobPopup::ClampScrollPosition() {
  SetCoord(true, FLeftCoord);
  SetCoord(false, FTopCoord);
}

void TCustomdxBlobPopup::Scroll(bool horizontal, int code, int trackPos) {
  if (!HasPicture()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  const int size = horizontal ? FPicture->Width() : FPicture->Height();
  const int page = horizontal ? client.right : client.bottom;
  const int line = GetSystemMetrics(horizontal ? SM_CXHSCROLL : SM_CYVSCROLL);
  int pos = horizontal ? FLeftCoord : FTopCoord;
  switch (code) {
    case SB_LINELEFT: pos -= line; break;
    case SB_LINERIGHT: pos += line; break;
    case SB_PAGELEFT: pos -= page; break;
    case SB_PAGERIGHT: pos += page; break;
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = size; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      // Thumb positions move in steps of 4, except where the end is reached.
      if (trackPos <= 0)
        pos = 0;
      else if (trackPos < size)
        pos = page + trackPos + 1 >= size ? trackPos + 1 : (trackPos + 1) / 4 * 4;
      else
        pos = size;
      break;
    case SB_ENDSCROLL:
      if (!horizontal && GetCapture() == Handle()) ReleaseCapture();
      return;
    default: return;
  }
  SetCoord(horizontal, pos);
}

void TCustomdxBlobPopup::WMHScroll(TMessage& message) {
  if (IsMemo()) {
    TVK_INHERITED(message);
    return;
  }
  Scroll(true, LOWORD(message.WParam), short(HIWORD(message.WParam)));
}

void TCustomdxBlobPopup::WMVScroll(TMessage& message) {
  if (IsMemo()) {
    TVK_INHERITED(message);
    return;
  }
  Scroll(false, LOWORD(message.WParam), short(HIWORD(message.WParam)));
}

void TCustomdxBlobPopup::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  UpdateScrollBars();
  ClampScrollPosition();
}

void TCustomdxBlobPopup::PictureChanged() {
  if (!HandleAllocated() || IsMemo() || !FPicture) return;
  if (FGraphicTransparency != gtDefault && HasPicture()) {
    TNotifyEvent handler = std::move(FPicture->OnChange);
    FPicture->OnChange = nullptr;
    FPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
    FPicture->OnChange = std::move(handler);
  }
  if (!FInternalChanging) {
    SetModified(true);
    DoChange();
  }
  Invalidate();
  RepaintFrame();
}

// --- commands

bool TCustomdxBlobPopup::CanPaste() {
  if (!IsMemo()) return Clipboard().HasFormat(FClipboardFormat);
  return HandleAllocated() && SendMessageW(Handle(), EM_CANPASTE, 0, 0) != 0;
}

void TCustomdxBlobPopup::CopyToClipboard() {
  if (IsMemo()) {
    if (HandleAllocated()) SendMessageW(Handle(), WM_COPY, 0, 0);
  } else if (FPicture && FPicture->Graphic()) {
    Clipboard().Assign(*FPicture);
  }
}

void TCustomdxBlobPopup::CutToClipboard() {
  if (IsMemo()) {
    if (HandleAllocated()) SendMessageW(Handle(), WM_CUT, 0, 0);
    return;
  }
  if (!FPicture || !FPicture->Graphic()) return;
  CopyToClipboard();
  if (!FReadOnly && OwnerCanEditValue()) ClearPicture();
}

void TCustomdxBlobPopup::PasteFromClipboard() {
  if (FReadOnly) return;
  if (IsMemo()) {
    if (HandleAllocated()) SendMessageW(Handle(), WM_PASTE, 0, 0);
    return;
  }
  if (!Clipboard().HasFormat(FClipboardFormat) || !OwnerCanEditValue()) return;
  try {
    Clipboard().AssignTo(Picture());
  } catch (...) {
    HidePopup(false);
    throw;
  }
  Invalidate();
  SetModified(true);
  RepaintFrame();
}

void TCustomdxBlobPopup::ClearPicture() {
  if (IsMemo() || FReadOnly || !FPicture || !FPicture->Graphic()) return;
  Picture().SetGraphic(nullptr);
  Invalidate();
  SetModified(true);
  RepaintFrame();
}

void TCustomdxBlobPopup::LoadFromFile() {
  if (FReadOnly || IsMemo()) return;
  TOpenPictureDialog dialog;
  if (!FPictureFilter.empty()) dialog.SetFilter(FPictureFilter);
  if (dialog.Execute() && OwnerCanEditValue()) {
    try {
      Picture().LoadFromFile(dialog.FileName());
    } catch (...) {
      HidePopup(false);
      throw;
    }
    Invalidate();
    SetModified(true);
    RepaintFrame();
  }
  ShowPopup();
}

void TCustomdxBlobPopup::SaveToFile() {
  if (IsMemo() || !FPicture || !FPicture->Graphic()) return;
  const TGraphicClass graphicClass = TPicture::FindGraphicClass(FPicture->Graphic()->ClassName());
  TSavePictureDialog dialog;
  dialog.SetFilter(!FPictureFilter.empty() ? FPictureFilter : GraphicFilter(graphicClass));
  dialog.SetDefaultExt(GraphicExtension(graphicClass));
  if (dialog.Execute()) FPicture->SaveToFile(dialog.FileName());
  ShowPopup();
}

// --- context menu

void TCustomdxBlobPopup::MenuItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item) return;
  switch (item->Tag) {
    case 0: CutToClipboard(); break;
    case 1: CopyToClipboard(); break;
    case 2: PasteFromClipboard(); break;
    case 3: ClearPicture(); break;
    case 4: LoadFromFile(); break;
    case 5: SaveToFile(); break;
    case -1: SendMessageW(Handle(), EM_UNDO, 0, 0); break;
    case -2: SendMessageW(Handle(), EM_REDO, 0, 0); break;
    case -3: SendMessageW(Handle(), WM_CUT, 0, 0); break;
    case -4: SendMessageW(Handle(), WM_COPY, 0, 0); break;
    case -5: SendMessageW(Handle(), WM_PASTE, 0, 0); break;
    case -6: SendMessageW(Handle(), WM_CLEAR, 0, 0); break;
    case -7: SetSelection(0, -1, false); break;
    default: break;
  }
}

void TCustomdxBlobPopup::PopupMenuAt(POINT p) {
  if (!FEditPopupMenu) FEditPopupMenu = std::make_unique<TPopupMenu>(nullptr);
  TMenuItem& items = FEditPopupMenu->Items();
  items.Clear();
  auto add = [&](const WideString& caption, int tag, bool enabled) {
    auto* item = new TMenuItem(FEditPopupMenu.get());
    item->SetCaption(caption);
    item->Tag = tag;
    item->ImageIndex = tag >= 0 && tag != kBlobSeparatorTag ? tag : -1;
    item->SetEnabled(enabled);
    item->OnClick = [this](TObject* s) { MenuItemClick(s); };
    items.Add(item);
  };
  if (IsMemo()) {
    int start = 0, end = 0;
    GetSelection(start, end);
    const bool selection = end > start;
    const int length = GetWindowTextLengthW(Handle());
    add(EditMenuCaption(0), -1, SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0);
    add(EditMenuCaption(1), -2, SendMessageW(Handle(), EM_CANREDO, 0, 0) != 0);
    add(L"-", kBlobSeparatorTag, true);
    add(EditMenuCaption(2), -3, selection && !FReadOnly);
    add(EditMenuCaption(3), -4, selection);
    add(EditMenuCaption(4), -5, !FReadOnly && CanPaste());
    add(EditMenuCaption(5), -6, selection && !FReadOnly);
    add(L"-", kBlobSeparatorTag, true);
    add(EditMenuCaption(6), -7, !(start == 0 && end >= length));
  } else {
    const bool picture = HasPicture();
    add(PopupToolBarCaption(ptbCut), 0, picture && !FReadOnly);
    add(PopupToolBarCaption(ptbCopy), 1, picture);
    add(PopupToolBarCaption(ptbPaste), 2, !FReadOnly && CanPaste());
    add(PopupToolBarCaption(ptbDelete), 3, picture && !FReadOnly);
    add(L"-", kBlobSeparatorTag, true);
    if (ShowExPopupItems) {
      add(PopupToolBarCaption(ptbLoad), 4, !FReadOnly);
      add(PopupToolBarCaption(ptbSave), 5, picture);
    }
  }
  FEditPopupMenu->Popup(p.x, p.y);
}

void TCustomdxBlobPopup::WMContextMenu(TMessage& message) {
  if (!IsMemo() && !ShowPicturePopup) return;
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (p.x == -1 && p.y == -1) {
    GetCaretPos(&p);
    if (p.x > ClientWidth()) p.x = ClientWidth();
    p = ClientToScreen(p);
  }
  PopupMenuAt(p);
  message.Result = 0;
}

}  // namespace tvk
