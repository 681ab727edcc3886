#include "Panels.h"

namespace tvk {

void Frame3D(TCanvas& canvas, RECT& rect, TColor topColor, TColor bottomColor, int width) {
  for (int i = 0; i < width && rect.right > rect.left && rect.bottom > rect.top; ++i) {
    canvas.Brush().SetColor(topColor);
    canvas.FillRect(RECT{rect.left, rect.top, rect.right, rect.top + 1});
    canvas.FillRect(RECT{rect.left, rect.top, rect.left + 1, rect.bottom});
    canvas.Brush().SetColor(bottomColor);
    canvas.FillRect(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom});
    canvas.FillRect(RECT{rect.right - 1, rect.top, rect.right, rect.bottom});
    InflateRect(&rect, -1, -1);
  }
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 41); }

void TCustomPanel::SetBevelOuter(TBevelCut bevel) {
  if (bevel == FBevelOuter) return;
  FBevelOuter = bevel;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut bevel) {
  if (bevel == FBevelInner) return;
  FBevelInner = bevel;
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int width) {
  if (width == FBevelWidth || width < 1) return;
  FBevelWidth = width;
  Invalidate();
}

void TCustomPanel::SetBorderWidth(int width) {
  if (width == FBorderWidth || width < 0) return;
  FBorderWidth = width;
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment alignment) {
  if (alignment == FAlignment) return;
  FAlignment = alignment;
  Invalidate();
}

void TCustomPanel::SetParentBackground(bool value) {
  if (value == FParentBackground) return;
  FParentBackground = value;
  Invalidate();
}

void TCustomPanel::Paint() {
  TCanvas& canvas = Canvas();
  RECT rect{0, 0, ClientWidth(), ClientHeight()};
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvNone) return;
    bool lowered = cut == TBevelCut::bvLowered;
    TColor top = cut == TBevelCut::bvSpace ? Color() : (lowered ? clBtnShadow : clBtnHighlight);
    TColor bottom = cut == TBevelCut::bvSpace ? Color() : (lowered ? clBtnHighlight : clBtnShadow);
    Frame3D(canvas, rect, top, bottom, FBevelWidth);
  };
  bevel(FBevelOuter);
  Frame3D(canvas, rect, Color(), Color(), FBorderWidth);
  bevel(FBevelInner);
  if (!FParentBackground) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(rect);
  }
  if (Caption().empty()) return;
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.DrawText(rect, Caption(), kAlign[int(FAlignment)] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TCustomPanel::WMEraseBkgnd(TMessage& message) {
  if (FParentBackground) {
    DrawParentBackground(*this, reinterpret_cast<HDC>(message.WParam));
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TCustomPanel::CMTextChanged(TMessage& message) {
  Invalidate();
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TCustomPanel, {WM_ERASEBKGND, &TCustomPanel::WMEraseBkgnd}, {CM_TEXTCHANGED, &TCustomPanel::CMTextChanged})

}  // namespace tvk
