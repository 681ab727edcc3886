#include "HintWindow.h"

namespace tvk {

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  FVisible = false;
  SetColor(kSystemColor | COLOR_INFOBK);
}

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.WndParent = nullptr;
}

void THintWindow::ActivateHint(const RECT& rect, const WideString& hint) {
  SetCaption(hint);
  FLeft = rect.left;
  FTop = rect.top;
  FWidth = rect.right - rect.left;
  FHeight = rect.bottom - rect.top;
  FVisible = true;
  SetWindowPos(Handle(), HWND_TOPMOST, FLeft, FTop, FWidth, FHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  FVisible = false;
  DestroyHandle();
}

RECT THintWindow::CalcHintRect(int maxWidth, const WideString& hint) {
  RECT r{0, 0, maxWidth, 0};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font().Handle());
  DrawTextW(dc, hint.c_str(), int(hint.size()), &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  DeleteDC(dc);
  // The border and the margins Paint leaves.
  r.right += 6;
  r.bottom += 2;
  return r;
}

namespace {
TComponentClass gHintWindowClass = nullptr;
}  // namespace

TComponentClass HintWindowClass() { return gHintWindowClass ? gHintWindowClass : ComponentClassOf<THintWindow>(); }
void SetHintWindowClass(TComponentClass windowClass) { gHintWindowClass = windowClass; }

void THintWindow::Paint() {
  RECT r = ClientRect();
  InflateRect(&r, -2, -2);
  Canvas().Brush().SetStyle(TBrushStyle::bsClear);
  Canvas().Font().SetColor(kSystemColor | COLOR_INFOTEXT);
  Canvas().DrawText(r, Caption(), DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

}  // namespace tvk
