#pragma once
// Helpers of the tab styles' tests: an owner of a registered style with
// classic drawing, its painter, and pixels of what it painted.
#include "TabControlTest.h"
#include "cxPCPainters.h"

#include <functional>
#include <string>

namespace tabcontrol_test {

class TabStyle : public TabControl {
protected:
  // An owner of AStyle with ACount tabs ("Tab0" ...), the first active; ASetup
  // runs inside the update bracket.
  TTabOwner& StyleOwner(tvk::TcxPCStyleID AStyle, int ACount, int AWidth = 300, int AHeight = 120,
                        const std::function<void(TTabOwner&)>& ASetup = {}) {
    FOwner = std::make_unique<TTabOwner>(AWidth, AHeight);
    FOwner->OwnLookAndFeel().SetNativeStyle(false);
    FOwner->OwnColor = tvk::TColor(0x30A050);  // apart from every system colour
    tvk::TcxCustomTabControlProperties& p = FOwner->Properties();
    p.BeginUpdate();
    p.SetStyle(AStyle);
    for (int i = 0; i < ACount; ++i) p.Tabs().Add(L"Tab" + std::to_wstring(i));
    if (ASetup) ASetup(*FOwner);
    p.EndUpdate();
    FOwner->Relayout();
    return *FOwner;
  }
  template <class T>
  T& Painter() {
    T* painter = dynamic_cast<T*>(FOwner->QueryPainter());
    EXPECT_NE(nullptr, painter);
    return *painter;
  }
  void Paint() { FOwner->PaintSurface(); }
  COLORREF Pixel(int X, int Y) { return tvk::ColorToRGB(FOwner->Surface().Canvas().Pixel(X, Y)); }
  COLORREF Pixel(POINT P) { return Pixel(P.x, P.y); }
  static COLORREF Rgb(tvk::TColor AColor) { return tvk::ColorToRGB(AColor); }
};

// A white bitmap to draw single elements on.
struct TSheet {
  tvk::TcxBitmap32 Bitmap{40, 40};
  TSheet() { Bitmap.cxCanvas().FillRect(Bitmap.ClientRect(), tvk::clWhite); }
  tvk::TcxCanvas& Canvas() { return Bitmap.cxCanvas(); }
  COLORREF Pixel(int X, int Y) { return tvk::ColorToRGB(Bitmap.Canvas().Pixel(X, Y)); }
};

}  // namespace tabcontrol_test
