#include "XPPanels.h"

#include "InstrumentTypes.h"
#include "Maths.h"
#include "XPColors.h"
#include "XPControlUtils.h"
#include "XPGraphics.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cmath>

namespace tvk {

TXPCustomExtPanel::TXPCustomExtPanel(TComponent* owner)
    : TXPCustomControl(owner), FBitmap(std::make_unique<TBitmap>()) {
  FWidth = 185;
  FHeight = 41;
  SetControlStyle((ControlStyle() | csAcceptsControls) & ~csOpaque);
  SetColor(clBtnFace);
  SetUseDefaultColor(true);
  SetTabStop(false);
  FBitmap->OnChange = [this](TObject*) { Invalidate(); };
}

TXPCustomExtPanel::~TXPCustomExtPanel() {
  FBitmap->OnChange = nullptr;
  RemoveRegion();
}

void TXPCustomExtPanel::InvalidateIfKind(std::initializer_list<TXPExtPanelKind> kinds) {
  if (std::find(kinds.begin(), kinds.end(), FKind) != kinds.end()) Invalidate();
}

using enum TXPExtPanelKind;

void TXPCustomExtPanel::SetKind(TXPExtPanelKind value) {
  if (value == FKind) return;
  FKind = value;
  UpdateRegion();
  Realign();  // the plain background kind keeps a margin of its own
  Invalidate();
}

void TXPCustomExtPanel::SetBeginColor(TColor value) {
  if (value == FBeginColor) return;
  FBeginColor = value;
  InvalidateIfKind({epkGradient, epkGradientWithBitmap});
}

void TXPCustomExtPanel::SetEndColor(TColor value) {
  if (value == FEndColor) return;
  FEndColor = value;
  InvalidateIfKind({epkGradient, epkGradientWithBitmap});
}

void TXPCustomExtPanel::SetGradientStyle(TGradientPanelStyle value) {
  if (value == FGradientStyle) return;
  FGradientStyle = value;
  InvalidateIfKind({epkGradient, epkGradientWithBitmap});
}

void TXPCustomExtPanel::SetBitmap(const TBitmap& value) {
  FBitmap->Assign(value);
  FBitmap->SetTransparent(FBitmapTransparent);
  Invalidate();
}

void TXPCustomExtPanel::SetBitmapTransparent(bool value) {
  if (value == FBitmapTransparent) return;
  FBitmapTransparent = value;
  FBitmap->SetTransparent(value);
  InvalidateIfKind({epkBitmap, epkGradientWithBitmap});
}

void TXPCustomExtPanel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  InvalidateIfKind({epkBitmap, epkGradientWithBitmap});
}

void TXPCustomExtPanel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  InvalidateIfKind({epkBitmap, epkGradientWithBitmap});
}

void TXPCustomExtPanel::SetStretching(TXPGraphicStretching value) {
  if (value == FStretching) return;
  FStretching = value;
  InvalidateIfKind({epkBitmap, epkGradientWithBitmap});
}

// Border settings repaint at once only for the plain kind; other kinds show
// the change at their next repaint.
#define TVK_BORDER_SETTER(Name, Field, Type)        \
  void TXPCustomExtPanel::Set##Name(Type value) {  \
    if (value == Field) return;                    \
    Field = value;                                 \
    InvalidateIfKind({epkSimple});                 \
  }
TVK_BORDER_SETTER(BorderColor, FBorderColor, TColor)
TVK_BORDER_SETTER(ShowBorder, FShowBorder, bool)
TVK_BORDER_SETTER(ShowBottom, FShowBottom, bool)
TVK_BORDER_SETTER(ShowLeft, FShowLeft, bool)
TVK_BORDER_SETTER(ShowRight, FShowRight, bool)
TVK_BORDER_SETTER(Radius, FRadius, int)
TVK_BORDER_SETTER(RoundCorners, FRoundCorners, bool)
#undef TVK_BORDER_SETTER

void TXPCustomExtPanel::SetShowTop(bool value) {
  if (value == FShowTop) return;
  FShowTop = value;
  Invalidate();
}

void TXPCustomExtPanel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (FKind == epkBitmap || FKind == epkGradientWithBitmap) {
    if (value) SetControlStyle(ControlStyle() & ~csOpaque);
    else SetControlStyle(ControlStyle() | csOpaque);
  }
  Invalidate();
}

void TXPCustomExtPanel::SetAlphaBlendValue(std::uint8_t value) {
  if (value == FAlphaBlendValue) return;
  FAlphaBlendValue = value;
  Invalidate();
}

void TXPCustomExtPanel::SetUseDefaultColor(bool value) {
  if (value == FUseDefaultColor && !value) return;
  if (value) {
    FApplyingDefaultColor = true;
    SetColor(SubstBtnFaceColor);
    FApplyingDefaultColor = false;
  }
  FUseDefaultColor = value;
  Invalidate();
}

void TXPCustomExtPanel::SetBorderWidth(int value) {
  if (value == FBorderWidth) return;
  FBorderWidth = value;
  Realign();
  Invalidate();
}

void TXPCustomExtPanel::AdjustClientRect(RECT& rect) {
  InflateRect(&rect, -FBorderWidth, -FBorderWidth);
  if (FKind == epkBackground) InflateRect(&rect, -3, -3);
}

void TXPCustomExtPanel::Loaded() {
  TXPCustomControl::Loaded();
  // The streamed colour gives way to the face colour of this machine's look.
  if (FUseDefaultColor) {
    FApplyingDefaultColor = true;
    SetColor(SubstBtnFaceColor);
    FApplyingDefaultColor = false;
  }
}

void TXPCustomExtPanel::DefineProperties(TFiler& filer) {
  TXPCustomControl::DefineProperties(filer);
  // Older forms: read, never written.
  filer.DefineBinaryProperty(
      L"Stretch",
      [this](TStream& stream) {
        std::uint8_t value = 0;
        stream.ReadBuffer(&value, 1);
        SetStretching(value ? TXPGraphicStretching::xgsStandard : TXPGraphicStretching::xgsNone);
      },
      nullptr, false);
  filer.DefineBinaryProperty(
      L"Caption",
      [this](TStream& stream) {
        WideString text(std::size_t(stream.Size() - stream.Position()) / sizeof(wchar_t), L'\0');
        if (!text.empty()) stream.ReadBuffer(text.data(), text.size() * sizeof(wchar_t));
        SetCaption(text);
      },
      nullptr, false);
}

HRGN TXPCustomExtPanel::CreateRegion() { return CreateRoundRectRgn(0, 0, ClientWidth() + 1, ClientHeight() + 1, 5, 5); }

void TXPCustomExtPanel::UpdateRegion() {
  if (UseRegion()) ApplyRegion();
  else RemoveRegion();
}

void TXPCustomExtPanel::ApplyRegion() {
  if (!HandleAllocated()) return;
  FRegion = CreateRegion();
  SetWindowRgn(Handle(), FRegion, TRUE);  // the system owns it from here
}

void TXPCustomExtPanel::RemoveRegion() {
  if (!HandleAllocated() || !FRegion) return;
  SetWindowRgn(Handle(), nullptr, FALSE);
  FRegion = nullptr;  // freed by the system with the window's region
}

bool TXPCustomExtPanel::SeeThrough() {
  if (!FTransparent) return false;
  if ((ComponentState() & csDesigning) && !FDesignTransparent)
    return FKind == epkBitmap || (FKind == epkSimple && FAlphaBlendValue <= 254);
  return true;
}

void TXPCustomExtPanel::Paint() {
  if (OnPaint) {
    OnPaint(this);
    return;
  }
  HDC dc = Canvas().Handle();
  PaintKind(dc);
  PaintBorder(dc);
}

void TXPCustomExtPanel::PaintBackgroundStep(HDC dc, bool designHatch) {
  RECT r = ClientRect();
  if (SeeThrough()) {
    if (designHatch && (ComponentState() & csDesigning)) {
      HBRUSH face = CreateSolidBrush(ColorToRGB(Color()));
      FillRect(dc, &r, face);
      DeleteObject(face);
      FillHatch(dc, r, TBrushStyle::bsDiagCross, Color());
    } else {
      DrawParentBackground(*this, dc, nullptr);
    }
    return;
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void TXPCustomExtPanel::PaintGradient(HDC dc) {
  RECT r = ClientRect();
  if (FGradientStyle != TGradientPanelStyle::gsTopShadow) {
    DrawGradientRect(dc, r, ColorToRGB(FBeginColor), ColorToRGB(FEndColor),
                     FGradientStyle == TGradientPanelStyle::gsLeftToRight);
    return;
  }
  constexpr double kShadow[4] = {0, 0.6, 0.8, 0.95};
  const int w = ClientWidth(), h = ClientHeight();
  for (int y = 0; y < 4 && y < h; ++y) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(BlendColors(FBeginColor, FEndColor, kShadow[y])));
    RECT line{0, y, w, y + 1};
    FillRect(dc, &line, b);
    DeleteObject(b);
  }
  if (h > 4) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
    RECT rest{0, 4, w, h};
    FillRect(dc, &rest, b);
    DeleteObject(b);
  }
}

void TXPCustomExtPanel::PaintWavy(HDC dc, bool vertical) {
  std::uint8_t hue, sat, light;
  ColorToHSL(Color(), hue, sat, light);
  const int w = ClientWidth(), h = ClientHeight(), n = vertical ? w : h;
  for (int i = 0; i < n; ++i) {
    double l = 3 * std::sin(i - n / 2.0) + light - 20.0 * i / n;
    auto level = std::uint8_t(std::clamp<std::int64_t>(Round(std::clamp(l, 0.0, 255.0)), 0, 255));
    HBRUSH b = CreateSolidBrush(ColorToRGB(HSLToColor(hue, sat, level)));
    RECT line = vertical ? RECT{i, 0, i + 1, h} : RECT{0, i, w, i + 1};
    FillRect(dc, &line, b);
    DeleteObject(b);
  }
}

void TXPCustomExtPanel::PaintPicture(HDC dc, bool withBackground) {
  const int cw = ClientWidth(), ch = ClientHeight();
  const int bw = FBitmap->Width(), bh = FBitmap->Height();
  if (FBitmap->Empty() || bw <= 0 || bh <= 0 || SkipBitmap()) {
    if (withBackground) PaintBackgroundStep(dc, true);
    return;
  }
  int w = bw, h = bh;
  switch (FStretching) {
    case TXPGraphicStretching::xgsNone: break;
    case TXPGraphicStretching::xgsStandard: w = cw; h = ch; break;
    case TXPGraphicStretching::xgsProportional: {
      double f = std::min(double(cw) / bw, double(ch) / bh);
      w = int(bw * f);
      h = int(bh * f);
      break;
    }
    case TXPGraphicStretching::xgsHorizontal: w = cw; h = int(std::int64_t(bh) * cw / bw); break;
    case TXPGraphicStretching::xgsVertical: w = int(std::int64_t(bw) * ch / bh); h = ch; break;
  }
  int x = FAlignment == TAlignment::taRightJustify ? cw - w : FAlignment == TAlignment::taCenter ? (cw - w) / 2 : 0;
  int y = FLayout == TTextLayout::tlBottom ? ch - h : FLayout == TTextLayout::tlCenter ? (ch - h) / 2 : 0;
  RECT pic{x, y, x + w, y + h};
  if (withBackground) {
    if (!FBitmapTransparent) {
      // The picture covers its own rectangle.
      HRGN saved = nullptr;
      BeginClipRect(dc, pic, saved, true);
      PaintBackgroundStep(dc, true);
      EndClipRect(dc, saved);
    } else {
      PaintBackgroundStep(dc, true);
    }
  }
  HDC src = FBitmap->Canvas().Handle();
  if (FStretching != TXPGraphicStretching::xgsNone) {
    if (FBitmapTransparent)
      StretchTransparentBlit(dc, x, y, w, h, src, 0, 0, bw, bh, FBitmap->Canvas().Pixel(0, 0));
    else
      StretchBlt(dc, x, y, w, h, src, 0, 0, bw, bh, SRCCOPY);
  } else if (FBitmapTransparent) {
    TransparentBlit(dc, x, y, w, h, src, 0, 0, FBitmap->Canvas().Pixel(0, 0));
  } else {
    BitBlt(dc, x, y, w, h, src, 0, 0, SRCCOPY);
  }
}

void TXPCustomExtPanel::PaintKind(HDC dc) {
  RECT r = ClientRect();
  const int w = ClientWidth(), h = ClientHeight();
  switch (FKind) {
    case epkBackground:
      switch (GetThemeMode()) {
        case 0:
          DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
          break;
        case 2:
          if (HTHEME theme = OpenThemeData(Handle(), L"TAB")) {
            DrawThemeBackground(theme, dc, TABP_PANE, 0, &r, nullptr);
            CloseThemeData(theme);
          }
          break;
        default: {
          TCanvas& c = Canvas();
          c.Brush().SetStyle(TBrushStyle::bsClear);
          c.Pen().SetStyle(TPenStyle::psSolid);
          c.Pen().SetColor(0xF7F7FF);
          c.Rectangle(0, 0, w, h);
          c.Rectangle(1, 1, w - 1, h - 1);
          auto line = [&](TColor color, std::initializer_list<POINT> points) {
            c.Pen().SetColor(color);
            auto it = points.begin();
            c.MoveTo(it->x, it->y);
            for (++it; it != points.end(); ++it) c.LineTo(it->x, it->y);
          };
          line(0x9C9FA0, {{2, 2}, {w - 2, 2}});
          line(0x9C9FA0, {{2, h - 3}, {w - 2, h - 3}});
          line(0xB8BABB, {{2, 3}, {2, h - 3}});
          line(0xB8BABB, {{w - 3, 3}, {w - 3, h - 3}});
          line(clWhite, {{3, h - 4}, {3, 3}, {w - 3, 3}});
          line(0xD8D8D8, {{w - 4, 4}, {w - 4, h - 4}, {3, h - 4}});
          c.Pen().SetStyle(TPenStyle::psClear);
          c.Brush().SetColor(0xD8E9EC);
          c.Rectangle(4, 4, w - 3, h - 3);
          break;
        }
      }
      break;
    case epkBitmap:
      PaintPicture(dc, true);
      break;
    case epkGradient:
      PaintGradient(dc);
      break;
    case epkSimple:
      if (!SeeThrough()) {
        HBRUSH b = CreateSolidBrush(ColorToRGB(Color()));
        FillRect(dc, &r, b);
        DeleteObject(b);
      } else if ((ComponentState() & csDesigning) && FAlphaBlendValue == 0) {
        FillHatch(dc, r, TBrushStyle::bsDiagCross, Color());
      } else {
        DrawParentBackground(*this, dc, nullptr);
        if (FAlphaBlendValue != 0) {
          TBitmap tint;
          tint.SetPixelFormat(TPixelFormat::pf32bit);
          tint.SetSize(w, h);
          tint.Canvas().Brush().SetColor(Color());
          tint.Canvas().FillRect(RECT{0, 0, w, h});
          AlphaBlitConst(dc, 0, 0, w, h, tint.Canvas().Handle(), 0, 0, FAlphaBlendValue, 0);
        }
      }
      break;
    case epkWavy:
      PaintWavy(dc, false);
      break;
    case epkVerticalWavy:
      PaintWavy(dc, true);
      break;
    case epkGradientWithBitmap:
      PaintGradient(dc);
      PaintPicture(dc, false);
      break;
  }
}

void TXPCustomExtPanel::PaintBorder(HDC dc) {
  if (!FShowBorder) return;
  RECT r = ClientRect();
  if (FRoundCorners) {
    PaintRoundBorder(dc, r);
    return;
  }
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FBorderColor));
  HGDIOBJ old = SelectObject(dc, pen);
  auto line = [dc](int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
  };
  if (FShowTop) line(r.left, r.top, r.right, r.top);
  if (FShowBottom) line(r.left, r.bottom - 1, r.right, r.bottom - 1);
  if (FShowLeft) line(r.left, r.top, r.left, r.bottom);
  if (FShowRight) line(r.right - 1, r.top, r.right - 1, r.bottom);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void TXPCustomExtPanel::PaintRoundBorder(HDC dc, const RECT& r) {
  TGdiPlusUse use;
  const TGdiPlusApi* gp = GdiPlus();
  if (!gp || !gp->Complete() || !GdiPlusRunning()) return;
  void* graphics = nullptr;
  if (gp->CreateFromHDC(dc, &graphics) != 0 || !graphics) return;
  void* path = nullptr;
  void* pen = nullptr;
  constexpr int kSmoothingModeAntiAlias = 4, kUnitPixel = 2;
  gp->SetSmoothingMode(graphics, kSmoothingModeAntiAlias);
  if (gp->CreatePath(0, &path) == 0 && path) {
    const int rr = FRadius, L = r.left, T = r.top, R = r.right, B = r.bottom;
    if (FShowLeft && FShowTop) gp->AddPathArcI(path, L, T, rr, rr, 180, 90);
    if (FShowTop) gp->AddPathLineI(path, L + rr, T, R - rr - 1, T);
    if (FShowTop && FShowRight) gp->AddPathArcI(path, R - rr - 1, T, rr, rr, 270, 90);
    if (FShowRight) gp->AddPathLineI(path, R - 1, T + rr, R - 1, B - rr - 1);
    if (FShowRight && FShowBottom) gp->AddPathArcI(path, R - rr - 1, B - rr - 1, rr, rr, 0, 90);
    if (FShowBottom) gp->AddPathLineI(path, R - rr - 1, B - 1, L + rr, B - 1);
    if (FShowBottom && FShowLeft) gp->AddPathArcI(path, L, B - rr - 1, rr, rr, 90, 90);
    if (FShowLeft) gp->AddPathLineI(path, L, B - rr - 1, L, T + rr);
    gp->ClosePathFigure(path);
    COLORREF c = ColorToRGB(FBorderColor);
    std::uint8_t alpha = FAlphaBlendValue ? FAlphaBlendValue : 255;
    if (gp->CreatePen1(MakeARGB(alpha, GetRValue(c), GetGValue(c), GetBValue(c)), 1.0f, kUnitPixel, &pen) == 0 && pen)
      gp->DrawPath(graphics, pen, path);
  }
  if (pen) gp->DeletePen(pen);
  if (path) gp->DeletePath(path);
  gp->DeleteGraphics(graphics);
}

void TXPCustomExtPanel::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TXPCustomExtPanel::WMDestroy(TMessage& message) {
  if (UseRegion()) RemoveRegion();
  TVK_INHERITED(message);
}

void TXPCustomExtPanel::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  if (UseRegion()) {
    RemoveRegion();
    ApplyRegion();
  }
}

void TXPCustomExtPanel::CMColorChanged(TMessage& message) {
  TVK_INHERITED(message);
  // An explicit colour wins over the face colour.
  if (!FApplyingDefaultColor && ((ComponentState() & csDesigning) || !Loading())) FUseDefaultColor = false;
}

TVK_MESSAGE_MAP(TXPCustomExtPanel, {WM_ERASEBKGND, &TXPCustomExtPanel::WMEraseBkgnd},
                {WM_DESTROY, &TXPCustomExtPanel::WMDestroy}, {WM_SIZE, &TXPCustomExtPanel::WMSize},
                {CM_COLORCHANGED, &TXPCustomExtPanel::CMColorChanged})

}  // namespace tvk
