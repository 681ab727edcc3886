#include "XPGraphics.h"

#include "Maths.h"
#include "SmoothText.h"
#include "Themes.h"
#include "XPColors.h"
#include "XPSystem.h"

#include <algorithm>

namespace tvk {

// ---- Gradients

namespace {

using TGradientFill = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

HMODULE gImageLibrary = nullptr;
TGradientFill gGradientFill = nullptr;

TRIVERTEX Vertex(LONG x, LONG y, COLORREF c) {
  return TRIVERTEX{x, y, COLOR16(Channel(c, 0) << 8), COLOR16(Channel(c, 1) << 8), COLOR16(Channel(c, 2) << 8), 0};
}

// Light blended towards Dark by K, per channel.
COLORREF BlendByCoefficient(COLORREF light, COLORREF dark, double k) {
  COLORREF result = 0;
  for (int i = 0; i < 3; ++i) {
    int v = std::clamp<int>(int(Round((1 - k) * Channel(light, i) + k * Channel(dark, i))), 0, 255);
    result |= COLORREF(v) << (8 * i);
  }
  return result;
}

}  // namespace

TImgLibManager::TDrawGradient TImgLibManager::DrawGradient = &TImgLibManager::FallbackGradient;
TImgLibManager::TDrawBiGradient TImgLibManager::DrawBiGradient = &TImgLibManager::FallbackBiGradient;

void TImgLibManager::GradientFillGradient(HDC dc, const RECT& rect, TColor startColor, TColor endColor,
                                          bool horizontal) {
  if (!gGradientFill) return FallbackGradient(dc, rect, startColor, endColor, horizontal);
  TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, ColorToRGB(startColor)),
                           Vertex(rect.right, rect.bottom, ColorToRGB(endColor))};
  GRADIENT_RECT mesh{0, 1};
  gGradientFill(dc, vertices, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void TImgLibManager::FallbackGradient(HDC dc, const RECT& rect, TColor startColor, TColor endColor,
                                      bool horizontal) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  COLORREF start = ColorToRGB(startColor), end = ColorToRGB(endColor);
  int n = (horizontal ? width : height) - 1;
  for (int i = 0; i <= n; ++i) {
    COLORREF c = start;
    if (n > 0) {
      c = 0;
      for (int ch = 0; ch < 3; ++ch) {
        int s = Channel(start, ch), e = Channel(end, ch);
        c |= COLORREF(s + Round(double(i) * (e - s) / n)) << (8 * ch);
      }
    }
    SetPixel(dc, horizontal ? rect.left + i : rect.left, horizontal ? rect.top : rect.top + i, c);
  }
  // The first row (column) is copied over the others.
  if (horizontal)
    for (int y = 1; y < height; ++y) BitBlt(dc, rect.left, rect.top + y, width, 1, dc, rect.left, rect.top, SRCCOPY);
  else
    for (int x = 1; x < width; ++x) BitBlt(dc, rect.left + x, rect.top, 1, height, dc, rect.left, rect.top, SRCCOPY);
}

void TImgLibManager::GradientFillBiGradient(HDC dc, const RECT& rect, TColor lightColor, TColor darkColor,
                                            float coef11, float coef12, float coef21, float coef22) {
  if (!gGradientFill)
    return FallbackBiGradient(dc, rect, lightColor, darkColor, coef11, coef12, coef21, coef22);
  COLORREF light = ColorToRGB(lightColor), dark = ColorToRGB(darkColor);
  TRIVERTEX vertices[4] = {Vertex(rect.left, rect.top, BlendByCoefficient(light, dark, coef11)),
                           Vertex(rect.right, rect.top, BlendByCoefficient(light, dark, coef12)),
                           Vertex(rect.left, rect.bottom, BlendByCoefficient(light, dark, coef21)),
                           Vertex(rect.right, rect.bottom, BlendByCoefficient(light, dark, coef22))};
  GRADIENT_TRIANGLE triangles[2] = {{0, 1, 2}, {3, 1, 2}};
  gGradientFill(dc, vertices, 4, &triangles[0], 1, GRADIENT_FILL_TRIANGLE);
  gGradientFill(dc, vertices, 4, &triangles[1], 1, GRADIENT_FILL_TRIANGLE);
}

void TImgLibManager::FallbackBiGradient(HDC dc, const RECT& rect, TColor lightColor, TColor darkColor,
                                        float coef11, float coef12, float coef21, float coef22) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  COLORREF light = ColorToRGB(lightColor), dark = ColorToRGB(darkColor);
  double across = width > 1 ? width - 1 : 1;
  for (int y = 0; y < height; ++y) {
    double t = height > 1 ? double(y) / (height - 1) : 1;
    double left = coef11 + (coef21 - coef11) * t, right = coef12 + (coef22 - coef12) * t;
    for (int x = 0; x < width; ++x)
      SetPixel(dc, rect.left + x, rect.top + y, BlendByCoefficient(light, dark, left + (right - left) * (x / across)));
  }
}

bool TImgLibManager::UsesGradientFill() { return DrawGradient == &GradientFillGradient; }

void DrawGradientRect(HDC dc, const RECT& rect, TColor startColor, TColor endColor, bool horizontal) {
  TImgLibManager::DrawGradient(dc, rect, startColor, endColor, horizontal);
}

bool XPGraphicsStartup() {
  TImgLibManager::DrawGradient = &TImgLibManager::FallbackGradient;
  TImgLibManager::DrawBiGradient = &TImgLibManager::FallbackBiGradient;
  gImageLibrary = LoadLibraryW(L"msimg32.dll");
  if (gImageLibrary)
    gGradientFill = reinterpret_cast<TGradientFill>(reinterpret_cast<void*>(GetProcAddress(gImageLibrary, "GradientFill")));
  if (gGradientFill) {
    TImgLibManager::DrawGradient = &TImgLibManager::GradientFillGradient;
    TImgLibManager::DrawBiGradient = &TImgLibManager::GradientFillBiGradient;
  }
  return true;
}

void XPGraphicsShutdown() {
  TImgLibManager::DrawGradient = &TImgLibManager::FallbackGradient;
  TImgLibManager::DrawBiGradient = &TImgLibManager::FallbackBiGradient;
  gGradientFill = nullptr;
  if (gImageLibrary) FreeLibrary(std::exchange(gImageLibrary, nullptr));
}

// ---- Skins and blits

namespace {

// A memory context compatible with the screen holding a bitmap; both put back when it goes.
class TSelectedBitmap {
public:
  explicit TSelectedBitmap(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)) {
    if (!FDC) RaiseLastOSError(L"Cannot create a memory context");
    FOld = SelectObject(FDC, bitmap);
  }
  ~TSelectedBitmap() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TSelectedBitmap(const TSelectedBitmap&) = delete;
  TSelectedBitmap& operator=(const TSelectedBitmap&) = delete;
  HDC Handle() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// A monochrome bitmap in a memory context: the mask of a transparent blit.
class TMask {
public:
  TMask(int width, int height) : FBitmap(CreateBitmap(width, height, 1, 1, nullptr)), FDC(CreateCompatibleDC(nullptr)) {
    if (!FBitmap || !FDC) {
      if (FBitmap) DeleteObject(FBitmap);
      if (FDC) DeleteDC(FDC);
      RaiseLastOSError(L"Cannot create a mask");
    }
    FOld = SelectObject(FDC, FBitmap);
  }
  ~TMask() {
    Deselect();
    DeleteDC(FDC);
    DeleteObject(FBitmap);
  }
  // Out of its context, for routines that select the mask themselves.
  void Deselect() {
    if (FOld) SelectObject(FDC, std::exchange(FOld, nullptr));
  }
  TMask(const TMask&) = delete;
  TMask& operator=(const TMask&) = delete;
  HDC Handle() const { return FDC; }
  HBITMAP Bitmap() const { return FBitmap; }

private:
  HBITMAP FBitmap;
  HDC FDC;
  HGDIOBJ FOld;
};

}  // namespace

void DrawSkinBitmap(const RECT& dest, const RECT& inner, const RECT& source, HDC dc, HBITMAP bitmap, bool alpha) {
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  TSelectedBitmap src(bitmap);
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  const int leftW = inner.left, topH = inner.top, rightW = sw - inner.right, bottomH = sh - inner.bottom;
  // Column and row bands: offset and size in the source and in the destination.
  const int srcX[3] = {0, leftW, sw - rightW}, srcW[3] = {leftW, sw - leftW - rightW, rightW};
  const int dstX[3] = {0, leftW, dw - rightW}, dstW[3] = {leftW, dw - leftW - rightW, rightW};
  const int srcY[3] = {0, topH, sh - bottomH}, srcH[3] = {topH, sh - topH - bottomH, bottomH};
  const int dstY[3] = {0, topH, dh - bottomH}, dstH[3] = {topH, dh - topH - bottomH, bottomH};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      if (srcW[col] <= 0 || srcH[row] <= 0 || dstW[col] <= 0 || dstH[row] <= 0) continue;
      int x = dest.left + dstX[col], y = dest.top + dstY[row];
      int sx = source.left + srcX[col], sy = source.top + srcY[row];
      bool same = srcW[col] == dstW[col] && srcH[row] == dstH[row];
      if (alpha && same) AlphaBlit(dc, x, y, dstW[col], dstH[row], src.Handle(), sx, sy);
      else if (alpha) AlphaStretchBlit(dc, x, y, dstW[col], dstH[row], src.Handle(), sx, sy, srcW[col], srcH[row]);
      else if (same) BitBlt(dc, x, y, dstW[col], dstH[row], src.Handle(), sx, sy, SRCCOPY);
      else StretchBlt(dc, x, y, dstW[col], dstH[row], src.Handle(), sx, sy, srcW[col], srcH[row], SRCCOPY);
    }
}

void TransparentBlit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY,
                     TColor transparentColor) {
  if (width <= 0 || height <= 0) return;
  TMask mask(width, height);
  COLORREF oldBk = SetBkColor(srcDC, ColorToRGB(transparentColor));
  BitBlt(mask.Handle(), 0, 0, width, height, srcDC, srcX, srcY, SRCCOPY);
  SetBkColor(srcDC, oldBk);
  // The source where the mask is 0, the destination kept where it is 1.
  mask.Deselect();
  MaskBlt(destDC, x, y, width, height, srcDC, srcX, srcY, mask.Bitmap(), 0, 0, 0xCCAA0029);
}

void StretchTransparentBlit(HDC destDC, int x, int y, int destWidth, int destHeight, HDC srcDC, int srcX, int srcY,
                            int srcWidth, int srcHeight, TColor transparentColor) {
  if (destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
  TMask mask(destWidth, destHeight);
  COLORREF oldBk = SetBkColor(srcDC, ColorToRGB(transparentColor));
  StretchBlt(mask.Handle(), 0, 0, destWidth, destHeight, srcDC, srcX, srcY, srcWidth, srcHeight, SRCCOPY);
  SetBkColor(srcDC, oldBk);
  // Source xor destination, masked to 0 where the source shows, xor source again.
  COLORREF oldDestBk = SetBkColor(destDC, RGB(255, 255, 255));
  COLORREF oldText = SetTextColor(destDC, RGB(0, 0, 0));
  StretchBlt(destDC, x, y, destWidth, destHeight, srcDC, srcX, srcY, srcWidth, srcHeight, SRCINVERT);
  BitBlt(destDC, x, y, destWidth, destHeight, mask.Handle(), 0, 0, SRCAND);
  StretchBlt(destDC, x, y, destWidth, destHeight, srcDC, srcX, srcY, srcWidth, srcHeight, SRCINVERT);
  SetBkColor(destDC, oldDestBk);
  SetTextColor(destDC, oldText);
}

void AlphaStretchBlitConst(HDC destDC, int x, int y, int destWidth, int destHeight, HDC srcDC, int srcX, int srcY,
                           int srcWidth, int srcHeight, std::uint8_t constantAlpha, std::uint8_t alphaFormat) {
  BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, alphaFormat};
  AlphaBlend(destDC, x, y, destWidth, destHeight, srcDC, srcX, srcY, srcWidth, srcHeight, blend);
}

void AlphaBlitConst(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY,
                    std::uint8_t constantAlpha, std::uint8_t alphaFormat) {
  AlphaStretchBlitConst(destDC, x, y, width, height, srcDC, srcX, srcY, width, height, constantAlpha, alphaFormat);
}

void AlphaBlit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY) {
  AlphaBlitConst(destDC, x, y, width, height, srcDC, srcX, srcY, 255, AC_SRC_ALPHA);
}

void AlphaStretchBlit(HDC destDC, int x, int y, int destWidth, int destHeight, HDC srcDC, int srcX, int srcY,
                      int srcWidth, int srcHeight) {
  AlphaStretchBlitConst(destDC, x, y, destWidth, destHeight, srcDC, srcX, srcY, srcWidth, srcHeight, 255,
                        AC_SRC_ALPHA);
}

// ---- Look mode

std::uint8_t GetThemeMode() {
  if (ThemeServices().ThemesEnabled()) return 2;
  if (EmulateXPLook && !IsWindowsXPOrLater()) return 1;
  return 0;
}

// ---- Graphics and parent background

bool IsGraphicEmpty(const TGraphic* graphic) {
  return !graphic || graphic->Empty() || graphic->Width() == 0 || graphic->Height() == 0;
}

TColor ParentOrOwnColor(TControl& control) {
  return control.Parent() ? control.Parent()->Color() : control.Color();
}

namespace {

// SaveDC and RestoreDC around a block, whatever leaves it.
class TSavedDC {
public:
  explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
  ~TSavedDC() { RestoreDC(FDC, FSaved); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC FDC;
  int FSaved;
};

RECT Inflated(RECT r, int by) {
  InflateRect(&r, by, by);
  return r;
}

// The client area's offset within the window, (0, 0) when unknown.
POINT ClientOffset(HWND window) {
  WINDOWINFO info{};
  info.cbSize = sizeof info;
  if (!window || !GetWindowInfo(window, &info)) return POINT{0, 0};
  return POINT{info.rcClient.left - info.rcWindow.left, info.rcClient.top - info.rcWindow.top};
}

}  // namespace

void DrawParentBackground(TControl& control, HDC dc, const RECT* rect) {
  TWinControl* parent = control.Parent();
  if (!parent) return;
  TSavedDC saved(dc);
  bool parentBuffered = parent->DoubleBuffered();
  parent->SetDoubleBuffered(false);
  struct TRestoreBuffered {
    TWinControl* Parent;
    bool Value;
    ~TRestoreBuffered() { Parent->SetDoubleBuffered(Value); }
  } restore{parent, parentBuffered};
  TClipRect clip(dc, rect ? *rect : RECT{}, rect != nullptr);
  auto* windowed = dynamic_cast<TWinControl*>(&control);
  POINT offset = windowed && windowed->HandleAllocated() ? ClientOffset(windowed->Handle()) : POINT{0, 0};
  int dx = -offset.x - control.Left(), dy = -offset.y - control.Top();
  MoveWindowOrg(dc, dx, dy);
  auto wParam = reinterpret_cast<WPARAM>(dc);
  parent->Perform(WM_ERASEBKGND, wParam, LPARAM(wParam));
  if (windowed) parent->Perform(WM_PAINT, wParam, 0);
  MoveWindowOrg(dc, -dx, -dy);
}

void CaptureControlImage(TWinControl& control, TBitmap& bitmap) {
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(control.Width(), control.Height());
  TCanvas& canvas = bitmap.Canvas();
  canvas.Lock();
  struct TUnlock {
    TCanvas& Canvas;
    ~TUnlock() { Canvas.Unlock(); }
  } unlock{canvas};
  control.Perform(WM_PRINT, reinterpret_cast<WPARAM>(canvas.Handle()),
                  PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  WINDOWINFO info{};
  info.cbSize = sizeof info;
  if (!control.HandleAllocated() || !GetWindowInfo(control.Handle(), &info)) return;
  int dx = info.rcClient.left - info.rcWindow.left, dy = info.rcClient.top - info.rcWindow.top;
  int width = info.rcClient.right - info.rcClient.left, height = info.rcClient.bottom - info.rcClient.top;
  // The client part, moved to the top-left corner and cut to its size.
  TBitmap client;
  client.SetPixelFormat(TPixelFormat::pf32bit);
  client.SetSize(width, height);
  BitBlt(client.Canvas().Handle(), 0, 0, width, height, canvas.Handle(), dx, dy, SRCCOPY);
  bitmap.Assign(client);
}

// ---- Captions

namespace {

UINT CaptionFormat(TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis) {
  static constexpr UINT kEllipsis[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
  UINT format = (flags & dcfMultiline) ? DT_WORDBREAK : DT_SINGLELINE;
  format |= kEllipsis[int(ellipsis)];
  if (flags & dcfNoPrefix) format |= DT_NOPREFIX;
  return format;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

void DrawXPCaption(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font, TColor color,
                   TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis,
                   int lineSpacing) {
  if (color == clDefault) color = font.Color();
  if (flags & dcfSmoothText)
    SmoothTextOut(canvas, rect, text, font, color, alignment, layout, flags, ellipsis, lineSpacing);
  else
    DrawXPCaptionDC(canvas.Handle(), rect, text, font, color, alignment, layout, flags, ellipsis);
}

namespace {

// Copies a turned rectangle's pixels between its device picture (W x H) and
// the upright picture its text is laid out in (H x W). Clockwise text reads
// top to bottom: upright (x, y) is device (W - 1 - y, x); anticlockwise it is
// device (y, H - 1 - x). The same turn as the world transform
// (0, 1, -1, 0) or (0, -1, 1, 0) about the rectangle.
void TurnPixels(TBitmap& device, TBitmap& upright, bool clockwise, bool toUpright) {
  const int w = device.Width(), h = device.Height();
  for (int dy = 0; dy < h; ++dy) {
    auto* row = static_cast<std::uint32_t*>(device.ScanLine(dy));
    for (int dx = 0; dx < w; ++dx) {
      int ux = clockwise ? dy : h - 1 - dy, uy = clockwise ? w - 1 - dx : dx;
      auto* pixel = static_cast<std::uint32_t*>(upright.ScanLine(uy)) + ux;
      if (toUpright) *pixel = row[dx];
      else row[dx] = *pixel;
    }
  }
}

void DrawUprightCaption(HDC dc, const RECT& rect, const WideString& text, TFont& font, TColor color,
                        TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags,
                        TEllipsisPosition ellipsis) {
  TSavedDC saved(dc);
  SelectObject(dc, font.Handle());
  TClipRect clip(dc, Inflated(rect, 1), !(flags & dcfNoClipping));
  const RECT work = rect;
  SetBkMode(dc, TRANSPARENT);
  const UINT format = CaptionFormat(flags, ellipsis) | ((flags & dcfNoClipping) ? DT_NOCLIP : 0);
  RECT measured = work;
  DrawTextW(dc, text.c_str(), int(text.size()), &measured, format | DT_CALCRECT);
  const int textWidth = Width(measured), textHeight = Height(measured);

  RECT box = work;
  UINT align = DT_LEFT;
  if (alignment == TAlignment::taRightJustify) {
    OffsetRect(&box, Width(work) - textWidth, 0);
    align = DT_RIGHT;
  } else if (alignment == TAlignment::taCenter) {
    OffsetRect(&box, (Width(work) - textWidth) / 2, 0);
    align = DT_CENTER;
  }
  int down = layout == TTextLayout::tlCenter   ? (Height(work) - textHeight) / 2
             : layout == TTextLayout::tlBottom ? Height(work) - textHeight
                                               : 0;
  if (down > 0) OffsetRect(&box, 0, down);
  box.right = box.left + textWidth;
  box.bottom = box.top + textHeight;

  auto draw = [&](RECT r, TColor c) {
    SetTextColor(dc, ColorToRGB(c));
    DrawTextW(dc, text.c_str(), int(text.size()), &r, format | align);
  };
  if (flags & dcfSunkenDisabled) {
    RECT shifted = box;
    OffsetRect(&shifted, 1, 1);
    draw(shifted, clBtnHighlight);
    draw(box, clBtnShadow);
  } else {
    draw(box, color);
  }
  if ((flags & dcfFocusRect) && !text.empty()) {
    RECT focus;
    IntersectRect(&focus, &box, &work);
    InflateRect(&focus, 1, 1);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace

void DrawXPCaptionDC(HDC dc, const RECT& rect, const WideString& text, TFont& font, TColor color,
                     TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags,
                     TEllipsisPosition ellipsis) {
  if (!(flags & dcfVertical))
    return DrawUprightCaption(dc, rect, text, font, color, alignment, layout, flags, ellipsis);
  // Turned text: laid out upright in the rectangle with width and height
  // swapped, over the picture already there, and turned into place pixel by
  // pixel (a turning world transform draws text mirrored on some systems).
  const int w = Width(rect), h = Height(rect);
  if (w <= 0 || h <= 0) return;
  TSavedDC saved(dc);
  TClipRect clip(dc, Inflated(rect, 1), !(flags & dcfNoClipping));
  const bool clockwise = flags & dcfVertClockwise;
  TBitmap device, upright;
  device.SetPixelFormat(TPixelFormat::pf32bit);
  device.SetSize(w, h);
  upright.SetPixelFormat(TPixelFormat::pf32bit);
  upright.SetSize(h, w);
  BitBlt(device.Canvas().Handle(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
  TurnPixels(device, upright, clockwise, true);
  DrawUprightCaption(upright.Canvas().Handle(), RECT{0, 0, h, w}, text, font, color, alignment, layout,
                     (flags & ~(dcfVertical | dcfVertClockwise)) | dcfNoClipping, ellipsis);
  TurnPixels(device, upright, clockwise, false);
  BitBlt(dc, rect.left, rect.top, w, h, device.Canvas().Handle(), 0, 0, SRCCOPY);
}

void MeasureXPCaption(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font,
                      TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis, int lineSpacing, POINT& size) {
  canvas.Font().Assign(font);
  if (flags & dcfSmoothText) {
    WideString plain = (flags & dcfNoPrefix) ? text : RemoveAmpersands(text);
    TXPDrawCaptionFlags flat = flags & ~(dcfVertical | dcfVertClockwise);
    size.x = SmoothTextWidth(canvas, plain, rect, flat);
    size.y = SmoothTextHeight(canvas, plain, rect, flat, lineSpacing);
  } else {
    RECT r = rect;
    canvas.DrawText(r, text, CaptionFormat(flags, ellipsis) | DT_CALCRECT);
    size.x = Width(r);
    size.y = Height(r);
  }
  if (flags & dcfVertical) std::swap(size.x, size.y);
}

void CalcGlyphCaptionLayout(TCanvas& canvas, const RECT& client, TFont& font, const WideString& caption,
                            POINT glyphSize, TButtonLayout layout, int margin, int spacing,
                            TXPDrawCaptionFlags flags, POINT& glyphPos, RECT& textBounds) {
  POINT captionSize{0, 0};
  if (!caption.empty()) {
    RECT room = client;
    bool across = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    bool glyph = glyphSize.x > 0 && glyphSize.y > 0;
    int cut = (glyph ? (across ? glyphSize.x : glyphSize.y) : 0) + (spacing > 0 ? spacing : 0);
    if (across) room.right -= cut;
    else room.bottom -= cut;
    MeasureXPCaption(canvas, room, caption, font, flags, TEllipsisPosition::epNone, 100, captionSize);
  }
  CalcGlyphCaptionLayoutSized(client, captionSize, glyphSize, layout, margin, spacing, glyphPos, textBounds);
}

void CalcGlyphCaptionLayoutSized(const RECT& client, POINT captionSize, POINT glyphSize, TButtonLayout layout,
                                 int margin, int spacing, POINT& glyphPos, RECT& textBounds) {
  const int clientW = Width(client), clientH = Height(client);
  const bool across = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
  POINT caption{0, 0};
  // Centred across the layout's axis.
  if (across) {
    glyphPos.y = (clientH - glyphSize.y + 1) / 2;
    caption.y = (clientH - captionSize.y) / 2;
  } else {
    glyphPos.x = (clientW - glyphSize.x + 1) / 2;
    caption.x = (clientW - captionSize.x) / 2;
  }
  if (captionSize.x == 0 || glyphSize.x == 0) spacing = 0;
  const int size = across ? clientW : clientH;
  const int glyph = across ? glyphSize.x : glyphSize.y;
  const int text = across ? captionSize.x : captionSize.y;
  if (margin == -1) {
    if (spacing != -1) {
      margin = (size - (glyph + spacing + text)) / 2;
    } else {
      margin = (size - glyph - text) / 3;
      spacing = margin;
    }
  } else if (spacing == -1) {
    spacing = ((size - margin - glyph) - text) / 2;
  }
  int glyphAt = 0, textAt = 0;
  if (layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphTop) {
    glyphAt = margin;
    textAt = margin + glyph + spacing;
  } else {
    glyphAt = size - margin - glyph;
    textAt = glyphAt - spacing - text;
  }
  if (across) {
    glyphPos.x = glyphAt;
    caption.x = textAt;
  } else {
    glyphPos.y = glyphAt;
    caption.y = textAt;
  }
  glyphPos.x += client.left;
  glyphPos.y += client.top;
  textBounds = RECT{client.left + caption.x, client.top + caption.y, client.left + caption.x + captionSize.x,
                    client.top + caption.y + captionSize.y};
}

}  // namespace tvk
