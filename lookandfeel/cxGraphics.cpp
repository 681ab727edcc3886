#include "cxGraphics.h"

#include "cxImageList.h"

#include "ClassRegistry.h"
#include "dxCore.h"
#include "cxControls.h"
#include "dxGDIPlusAPI.h"
#include "dxGDIPlusClasses.h"
#include "dxUxTheme.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace tvk {

namespace {

bool gFinalizing = false;  // the unit's shut-down began: no shared canvas is made again
TcxScreenCanvas* gScreenCanvas = nullptr;
TcxPaintCanvas* gPaintCanvas = nullptr;

constexpr int kNoClipExtent = 30000;

// Division rounded towards minus infinity: tiles left of or above the origin
// belong to the grid cell they lie in.
int FloorDiv(int A, int B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0)) ? 1 : 0); }

RECT Bounds(int X, int Y, int W, int H) { return {X, Y, X + W, Y + H}; }

RECT IntersectOf(const RECT& A, const RECT& B) {
  RECT r;
  return ::IntersectRect(&r, &A, &B) ? r : RECT{};
}

}  // namespace

// ---- TcxRegion

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}

TcxRegion::TcxRegion(const RECT& ABounds) : FHandle(CreateRectRgnIndirect(&ABounds)) {}

TcxRegion::TcxRegion(int ALeft, int ATop, int ARight, int ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}

TcxRegion::~TcxRegion() {
  if (FHandle) DeleteObject(FHandle);
}

std::unique_ptr<TcxRegion> TcxRegion::CreateRoundCorners(const RECT& ABounds, int AWidthEllipse,
                                                         int AHeightEllipse) {
  return std::make_unique<TcxRegion>(CreateRoundRectRgn(ABounds.left + 1, ABounds.top + 1, ABounds.right,
                                                        ABounds.bottom, AWidthEllipse, AHeightEllipse));
}

RECT TcxRegion::BoundsRect() const {
  RECT r{};
  return GetRgnBox(FHandle, &r) == NULLREGION ? RECT{} : r;
}

bool TcxRegion::IsEmpty() const {
  RECT r;
  return GetRgnBox(FHandle, &r) == NULLREGION;
}

void TcxRegion::Combine(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion) {
  static constexpr int kModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
  if (AOperation == roSet) CombineRgn(FHandle, ARegion->Handle(), nullptr, RGN_COPY);
  else CombineRgn(FHandle, FHandle, ARegion->Handle(), kModes[AOperation]);
  if (ADestroyRegion) delete ARegion;
}

bool TcxRegion::IsEqual(const TcxRegion* ARegion) const {
  if (!ARegion) return false;
  return (IsEmpty() && ARegion->IsEmpty()) || IsEqual(ARegion->Handle());
}

bool TcxRegion::IsEqual(HRGN ARegionHandle) const { return EqualRgn(FHandle, ARegionHandle) != 0; }

void TcxRegion::Offset(int DX, int DY) { OffsetRgn(FHandle, DX, DY); }

bool TcxRegion::PtInRegion(int X, int Y) const { return ::PtInRegion(FHandle, X, Y) != 0; }

bool TcxRegion::RectInRegion(const RECT& R) const { return ::RectInRegion(FHandle, &R) != 0; }

// ---- Text flags

UINT TextFlagsToDrawTextFlags(int AFlags) {
  struct TRow {
    int Flag;
    UINT DrawText;
  };
  static constexpr TRow kRows[] = {
      {cxTextAlignLeft, DT_LEFT},         {cxTextAlignRight, DT_RIGHT},         {cxTextAlignHCenter, DT_CENTER},
      {cxTextAlignTop, DT_TOP},           {cxTextAlignBottom, DT_BOTTOM},       {cxTextAlignVCenter, DT_VCENTER},
      {cxTextSingleLine, DT_SINGLELINE},  {cxTextDontClip, DT_NOCLIP},          {cxTextExpandTabs, DT_EXPANDTABS},
      {cxTextShowEndEllipsis, DT_END_ELLIPSIS}, {cxTextCalcRect, DT_CALCRECT}, {cxTextShowPathEllipsis, DT_PATH_ELLIPSIS},
  };
  UINT result = DT_NOPREFIX;
  for (const TRow& row : kRows)
    if (AFlags & row.Flag) result |= row.DrawText;
  if (AFlags & cxTextShowPrefix) result &= ~UINT(DT_NOPREFIX);
  if (AFlags & cxTextWordBreak) {
    result |= DT_WORDBREAK;
    if (!(AFlags & cxTextDontBreakChars)) result |= DT_EDITCONTROL;
    else if (AFlags & cxTextNoFullWidthCharBreak) result |= DT_NOFULLWIDTHCHARBREAK;
  }
  return result;
}

namespace {
using AlphaBlendEntry = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
AlphaBlendEntry gAlphaBlendEntry();
}  // namespace

// ---- TcxCanvas: origins and stacks

TcxCanvas::~TcxCanvas() = default;

POINT TcxCanvas::ViewportOrg() const {
  POINT p{};
  GetViewportOrgEx(Handle(), &p);
  return p;
}

void TcxCanvas::SetViewportOrg(POINT P) { SetViewportOrgEx(Handle(), P.x, P.y, nullptr); }

POINT TcxCanvas::WindowOrg() const {
  POINT p{};
  GetWindowOrgEx(Handle(), &p);
  return p;
}

void TcxCanvas::SetWindowOrg(POINT P) { SetWindowOrgEx(Handle(), P.x, P.y, nullptr); }

POINT TcxCanvas::DCOrigin() const {
  POINT viewport = ViewportOrg(), window = WindowOrg();
  return {viewport.x - window.x, viewport.y - window.y};
}

void TcxCanvas::SaveDC() {
  FCanvas->Lock();
  HDC dc = FCanvas->Handle();
  FSavedDCs.push_back({dc, ::SaveDC(dc)});
}

void TcxCanvas::RestoreDC() {
  if (FSavedDCs.empty()) return;
  TDCState state = FSavedDCs.back();
  FSavedDCs.pop_back();
  FCanvas->SetHandle(state.Handle);
  ::RestoreDC(state.Handle, state.State);
  FCanvas->Unlock();
}

void TcxCanvas::SaveClipRegion() { FSavedRegions.push_back(GetClipRegion(true)); }

void TcxCanvas::RestoreClipRegion() {
  if (FSavedRegions.empty()) return;
  std::unique_ptr<TcxRegion> region = std::move(FSavedRegions.back());
  FSavedRegions.pop_back();
  SetClipRegion(region.release(), roSet, true, true);
}

void TcxCanvas::AdoptDCObjects(TCanvas& ACanvas, HDC ADC) {
  // Everything is read before the canvas lets go of its own objects.
  const HGDIOBJ font = GetCurrentObject(ADC, OBJ_FONT), brush = GetCurrentObject(ADC, OBJ_BRUSH),
                pen = GetCurrentObject(ADC, OBJ_PEN);
  const COLORREF textColor = GetTextColor(ADC);
  const int rop2 = GetROP2(ADC);
  LOGFONTW logFont{};
  LOGBRUSH logBrush{};
  LOGPEN logPen{};
  const bool adoptFont = font != ACanvas.Font().Handle() && GetFontObjectData(HFONT(font), logFont);
  const bool adoptBrush = brush != ACanvas.Brush().Handle() && GetBrushObjectData(HBRUSH(brush), logBrush);
  const bool adoptPen = pen != ACanvas.Pen().Handle() && GetPenObjectData(HPEN(pen), logPen);
  if (adoptFont)
    if (HFONT handle = CreateFontIndirectW(&logFont)) ACanvas.Font().SetHandle(handle);
  if (ColorToRGB(ACanvas.Font().Color()) != textColor) ACanvas.Font().SetColor(TColor(textColor));
  if (adoptBrush) {
    TBrushStyle style = TBrushStyle::bsSolid;
    if (logBrush.lbStyle == BS_NULL) style = TBrushStyle::bsClear;
    else if (logBrush.lbStyle == BS_HATCHED && logBrush.lbHatch <= HS_DIAGCROSS)
      style = TBrushStyle(int(TBrushStyle::bsHorizontal) + int(logBrush.lbHatch));
    if (ColorToRGB(ACanvas.Brush().Color()) != logBrush.lbColor) ACanvas.Brush().SetColor(TColor(logBrush.lbColor));
    ACanvas.Brush().SetStyle(style);
  }
  if (adoptPen) {
    if (ColorToRGB(ACanvas.Pen().Color()) != logPen.lopnColor) ACanvas.Pen().SetColor(TColor(logPen.lopnColor));
    const UINT style = logPen.lopnStyle & PS_STYLE_MASK;
    ACanvas.Pen().SetStyle(style <= PS_INSIDEFRAME ? TPenStyle(style) : TPenStyle::psSolid);
    ACanvas.Pen().SetWidth(int(logPen.lopnWidth.x));
  }
  ACanvas.Pen().SetMode(PenModeOfRop2(rop2));
}

void TcxCanvas::SaveState() {
  // Changes not yet selected are made current first, so that only objects
  // someone else selected into the context are adopted (the canvas's text
  // colour is its font's); the context's background and raster modes stay.
  HDC dc = FCanvas->Handle();
  const int bkMode = GetBkMode(dc), rop2 = GetROP2(dc);
  const COLORREF bkColor = GetBkColor(dc);
  FCanvas->StateHandle();
  SetBkMode(dc, bkMode);
  SetBkColor(dc, bkColor);
  SetROP2(dc, rop2);
  AdoptDCObjects(*FCanvas, dc);
  SaveDC();
  TCanvasState state{std::make_unique<TFont>(), std::make_unique<TBrush>(), std::make_unique<TPen>()};
  state.Font->Assign(Font());
  state.Brush->Assign(Brush());
  state.Pen->Assign(Pen());
  FSavedStates.push_back(std::move(state));
}

void TcxCanvas::RestoreState() {
  if (FSavedStates.empty()) return;
  TCanvasState state = std::move(FSavedStates.back());
  FSavedStates.pop_back();
  Font().Assign(*state.Font);
  Brush().Assign(*state.Brush);
  Pen().Assign(*state.Pen);
  RestoreDC();
}

void TcxCanvas::GetParams(TcxViewParams& AParams) const {
  AParams.Color = Brush().Color();
  AParams.Font = &Font();
  AParams.TextColor = Font().Color();
}

void TcxCanvas::SetParams(const TcxViewParams& AParams) {
  SetBrushColor(AParams.Color);
  if (AParams.Font) Font().Assign(*AParams.Font);
  Font().SetColor(AParams.TextColor);
}

void TcxCanvas::SetBrushColor(TColor AValue) { Brush().SetColor(AValue); }

void TcxCanvas::SetFontAngle(int AValue) {
  LOGFONTW logFont{};
  if (!GetFontObjectData(Font().Handle(), logFont)) return;
  logFont.lfEscapement = AValue * 10;
  if (AValue != 0) logFont.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  if (HFONT handle = CreateFontIndirectW(&logFont)) Font().SetHandle(handle);
}

void TcxCanvas::BeginPath() { ::BeginPath(Handle()); }

void TcxCanvas::EndPath() { ::EndPath(Handle()); }

void TcxCanvas::WidenPath() { ::WidenPath(FCanvas->StateHandle()); }

std::unique_ptr<TcxRegion> TcxCanvas::PathToRegion(bool AConsiderOrigin) {
  HRGN handle = ::PathToRegion(Handle());
  auto region = handle ? std::make_unique<TcxRegion>(handle) : std::make_unique<TcxRegion>();
  if (AConsiderOrigin) {
    const POINT origin = DCOrigin();
    region->Offset(-origin.x, -origin.y);
  }
  return region;
}

void TcxCanvas::DrawGlyph(int X, int Y, TBitmap& AGlyph, bool AEnabled, TColor ABackgroundColor) {
  if (AGlyph.Empty()) return;
  const int w = AGlyph.Width(), h = AGlyph.Height();
  if (AEnabled) {
    // The glyph's transparent colour gives way to the brush (to nothing when clear).
    const TBrushStyle style = Brush().Style();
    if (ABackgroundColor == clNone) Brush().SetStyle(TBrushStyle::bsClear);
    else Brush().SetColor(ABackgroundColor);
    if (Brush().Style() != TBrushStyle::bsClear) FCanvas->FillRect(RECT{X, Y, X + w, Y + h});
    TransparentBlt(FCanvas->StateHandle(), X, Y, w, h, AGlyph.Canvas().Handle(), 0, 0, w, h,
                   ColorToRGB(AGlyph.TransparentColor()));
    Brush().SetStyle(style);
    return;
  }
  // The library's list, so that the disabled look is the library's.
  TcxImageList images;
  images.SetSize(w, h);
  images.AddMasked(&AGlyph, AGlyph.TransparentColor());
  if (ABackgroundColor != clNone) {
    TBitmap background;
    background.SetPixelFormat(TPixelFormat::pf32bit);
    background.SetSize(w, h);
    background.Canvas().Brush().SetColor(ABackgroundColor);
    background.Canvas().FillRect(RECT{0, 0, w, h});
    images.Draw(background.Canvas(), 0, 0, 0, false);
    FCanvas->Draw(X, Y, background);
  } else {
    images.Draw(*FCanvas, X, Y, 0, false);
  }
}

void TcxCanvas::DrawImage(TCustomImageList* AImages, int X, int Y, int AIndex, bool AEnabled) {
  if (!IsImageIndexValid(AImages, AIndex)) return;
  SaveDC();
  AImages->Draw(*FCanvas, X, Y, AIndex, AEnabled);
  RestoreDC();
}

void TcxCanvas::SetPixel(int X, int Y, TColor AColor) { FCanvas->SetPixel(X, Y, AColor); }

// ---- Clipping

std::unique_ptr<TcxRegion> TcxCanvas::GetClipRegion(bool AConsiderOrigin) {
  auto region = std::make_unique<TcxRegion>(0, 0, kNoClipExtent, kNoClipExtent);
  if (GetClipRgn(Handle(), region->Handle()) != 1)
    SetRectRgn(region->Handle(), 0, 0, kNoClipExtent, kNoClipExtent);
  if (AConsiderOrigin) {
    POINT origin = DCOrigin();
    region->Offset(-origin.x, -origin.y);
  }
  return region;
}

void TcxCanvas::SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion,
                              bool AConsiderOrigin) {
  if (AOperation != roSet) {
    std::unique_ptr<TcxRegion> clip = GetClipRegion(AConsiderOrigin);
    clip->Combine(ARegion, AOperation, ADestroyRegion);
    SetClipRegion(clip.release(), roSet, true, AConsiderOrigin);
    return;
  }
  POINT origin = AConsiderOrigin ? DCOrigin() : POINT{};
  ARegion->Offset(origin.x, origin.y);
  SelectClipRgn(Handle(), ARegion->Handle());
  if (ADestroyRegion) delete ARegion;
  else ARegion->Offset(-origin.x, -origin.y);
}

void TcxCanvas::ExcludeClipRect(const RECT& R) { ::ExcludeClipRect(Handle(), R.left, R.top, R.right, R.bottom); }

void TcxCanvas::IntersectClipRect(const RECT& R) {
  ::IntersectClipRect(Handle(), R.left, R.top, R.right, R.bottom);
}

bool TcxCanvas::RectVisible(const RECT& R) { return ::RectVisible(Handle(), &R) != 0; }

bool TcxCanvas::RectFullyVisible(const RECT& R) {
  std::unique_ptr<TcxRegion> clip = GetClipRegion(true);
  clip->Combine(new TcxRegion(R), roIntersect, true);
  TcxRegion whole(R);
  return clip->IsEqual(&whole);
}

// ---- Fills and frames

void TcxCanvas::FillRect(const RECT& R, TColor AColor) {
  if (AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  FCanvas->FillRect(R);
}

void TcxCanvas::FillRect(const RECT& R, TBitmap* ABitmap, bool AExcludeRect) {
  if (IsRectEmpty(&R)) return;
  if (ABitmap && !ABitmap->Empty()) {
    const int w = ABitmap->Width(), h = ABitmap->Height();
    const int lastColumn = FloorDiv(R.right, w) - (R.right % w == 0 ? 1 : 0);
    const int lastRow = FloorDiv(R.bottom, h) - (R.bottom % h == 0 ? 1 : 0);
    for (int column = FloorDiv(R.left, w); column <= lastColumn; ++column)
      for (int row = FloorDiv(R.top, h); row <= lastRow; ++row) {
        const RECT tile = Bounds(column * w, row * h, w, h);
        const RECT part = IntersectOf(tile, R);
        if (IsRectEmpty(&part)) continue;
        const RECT source = OffsetRectBy(part, tile.left, tile.top, false);
        FCanvas->CopyRect(part, ABitmap->Canvas(), source);
      }
  } else {
    FCanvas->FillRect(R);
  }
  if (AExcludeRect) ExcludeClipRect(R);
}

void TcxCanvas::FillRect(RECT& R, const TcxViewParams& AParams, TcxBorders ABorders, TColor ABorderColor,
                         int ALineWidth, bool AExcludeRect) {
  FrameRect(R, ABorderColor, ALineWidth, ABorders, AExcludeRect);
  if (ABorders & bLeft) R.left += ALineWidth;
  if (ABorders & bTop) R.top += ALineWidth;
  if (ABorders & bRight) R.right -= ALineWidth;
  if (ABorders & bBottom) R.bottom -= ALineWidth;
  SetBrushColor(AParams.Color);
  FillRect(R, AParams.Bitmap, AExcludeRect);
}

namespace {

// The strips of a frame in their order: left, right, top, bottom, each clipped to R.
template <class F>
void ForEachFrameStrip(const RECT& R, int W, TcxBorders ABorders, F&& f) {
  if (ABorders & bLeft) f(RECT{R.left, R.top, std::min<int>(R.left + W, R.right), R.bottom});
  if (ABorders & bRight) f(RECT{std::max<int>(R.left, R.right - W), R.top, R.right, R.bottom});
  if (ABorders & bTop) f(RECT{R.left, R.top, R.right, std::min<int>(R.top + W, R.bottom)});
  if (ABorders & bBottom) f(RECT{R.left, std::max<int>(R.top, R.bottom - W), R.right, R.bottom});
}

}  // namespace

void TcxCanvas::FrameRect(const RECT& R, TColor AColor, int ALineWidth, TcxBorders ABorders, bool AExcludeFrame) {
  if (IsRectEmpty(&R) || AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  ForEachFrameStrip(R, ALineWidth, ABorders, [&](const RECT& strip) { FillRect(strip, nullptr, AExcludeFrame); });
}

void TcxCanvas::ExcludeFrameRect(const RECT& R, int ALineWidth, TcxBorders ABorders) {
  ForEachFrameStrip(R, ALineWidth, ABorders, [&](const RECT& strip) { ExcludeClipRect(strip); });
}

void TcxCanvas::DrawComplexFrame(const RECT& R, TColor ALeftTopColor, TColor ARightBottomColor, TcxBorders ABorders,
                                 int ABorderWidth) {
  const int w = ABorderWidth;
  if (ABorders & bLeft) FillRect(RECT{R.left, R.top, R.left + w, R.bottom}, ALeftTopColor);
  if (ABorders & bTop) FillRect(RECT{R.left, R.top, R.right, R.top + w}, ALeftTopColor);
  if (ABorders & bRight) FillRect(RECT{R.right - w, R.top, R.right, R.bottom}, ARightBottomColor);
  if (ABorders & bBottom) FillRect(RECT{R.left, R.bottom - w, R.right, R.bottom}, ARightBottomColor);
}

void TcxCanvas::DrawEdge(const RECT& R, bool ASunken, bool AOuter, TcxBorders ABorders) {
  if (ASunken) {
    if (AOuter) DrawComplexFrame(R, clBtnShadow, clBtnHighlight, ABorders);
    else DrawComplexFrame(R, cl3DDkShadow, cl3DLight, ABorders);
  } else {
    if (AOuter) DrawComplexFrame(R, cl3DLight, cl3DDkShadow, ABorders);
    else DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
  }
}

void TcxCanvas::InvertRect(const RECT& R) {
  SetCopyMode(DSTINVERT);
  FCanvas->CopyRect(R, *FCanvas, R);
  SetCopyMode(SRCCOPY);
}

void TcxCanvas::InvertFrame(const RECT& R, int ABorderSize) {
  const int s = ABorderSize;
  InvertRect(RECT{R.left, R.top, R.left + s, R.bottom});
  InvertRect(RECT{R.right - s, R.top, R.right, R.bottom});
  InvertRect(RECT{R.left + s, R.top, R.right - s, R.top + s});
  InvertRect(RECT{R.left + s, R.bottom - s, R.right - s, R.bottom});
}

void TcxCanvas::FillRegion(TcxRegion* ARegion, TColor AColor) {
  if (AColor == clNone) return;
  SetBrushColor(AColor);
  FillRgn(FCanvas->StateHandle(), ARegion->Handle(), Brush().Handle());
}

void TcxCanvas::FrameRegion(TcxRegion* ARegion, TColor AColor, int ABorderWidth, int ABorderHeight) {
  if (AColor == clNone) return;
  SetBrushColor(AColor);
  FrameRgn(FCanvas->StateHandle(), ARegion->Handle(), Brush().Handle(), ABorderWidth, ABorderHeight);
}

void TcxCanvas::DrawRegion(TcxRegion* ARegion, TColor AContentColor, TColor ABorderColor, int ABorderWidth,
                           int ABorderHeight) {
  FillRegion(ARegion, AContentColor);
  FrameRegion(ARegion, ABorderColor, ABorderWidth, ABorderHeight);
}

void TcxCanvas::DrawFocusRect(const RECT& R) {
  SetBrushColor(clWhite);
  Font().SetColor(clBlack);
  ::DrawFocusRect(FCanvas->StateHandle(), &R);
}

void TcxCanvas::DrawFocusRectEx(const RECT& R, TcxBorders ABorders, bool AExclude) {
  if (ABorders == 0) return;
  SaveClipRegion();
  ExcludeFrameRect(R, 1, cxBordersAll & ~ABorders);
  DrawFocusRect(R);
  RestoreClipRegion();
  if (AExclude) ExcludeFrameRect(R, 1, ABorders);
}

void TcxCanvas::DrawDesignSelection(RECT& ARect, int AWidth) {
  for (int i = 0; i < AWidth; ++i) {
    DrawFocusRect(ARect);
    InflateRect(&ARect, -1, -1);
  }
}

void TcxCanvas::TransparentDraw(int X, int Y, TBitmap& ABitmap, uint8_t AAlpha, TBitmap* ABackground) {
  const int w = ABitmap.Width(), h = ABitmap.Height();
  if (w == 0 || h == 0) return;
  TcxBitmap32 mixed(w, h);
  if (ABackground) mixed.Canvas().Draw(0, 0, *ABackground);
  else BitBltRect(mixed.Canvas().Handle(), Handle(), mixed.ClientRect(), SRCCOPY, POINT{X, Y});
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, AAlpha, 0};
  if (!(IsSystemAlphaBlendAvailable() &&
        gAlphaBlendEntry()(mixed.Canvas().Handle(), 0, 0, w, h, ABitmap.Canvas().Handle(), 0, 0, w, h, blend))) {
    TRGBColors dest, source;
    ReadBitmapPixels(mixed, dest, true);
    ReadBitmapPixels(ABitmap, source, true);
    auto mix = [AAlpha](BYTE d, BYTE s) { return BYTE(MulDiv(d, 255 - AAlpha, 255) + MulDiv(s, AAlpha, 255)); };
    for (std::size_t i = 0; i < dest.size() && i < source.size(); ++i) {
      dest[i].rgbRed = mix(dest[i].rgbRed, source[i].rgbRed);
      dest[i].rgbGreen = mix(dest[i].rgbGreen, source[i].rgbGreen);
      dest[i].rgbBlue = mix(dest[i].rgbBlue, source[i].rgbBlue);
    }
    WriteBitmapPixels(mixed, dest, true);
  }
  BitBltRect(FCanvas->StateHandle(), mixed.Canvas().Handle(), RECT{X, Y, X + w, Y + h}, SRCCOPY);
}

int TcxCanvas::FontHeight(TFont& AFont) {
  Font().Assign(AFont);
  return GetDCTextHeight(FCanvas->StateHandle());
}

void TcxCanvas::Pie(const RECT& R, int AStartAngle, int ASweepAngle) {
  if (IsRectEmpty(&R) || ASweepAngle == 0) return;
  const int a = (R.right - R.left) / 2, b = (R.bottom - R.top) / 2;
  const POINT centre{R.left + a, R.top + b};
  auto pointAt = [&](int degrees) {
    const double theta = degrees * std::numbers::pi / 180.0;
    const double s = std::sin(theta), c = std::cos(theta);
    const double e = (a == 0 || b == 0) ? 0.0 : double(a) * b / std::sqrt(double(a) * a * s * s + double(b) * b * c * c);
    return POINT{centre.x + int(std::nearbyint(c * e)), centre.y - int(std::nearbyint(s * e))};
  };
  const POINT first = pointAt(AStartAngle);
  const POINT second = ASweepAngle == 360 ? first : pointAt(AStartAngle + ASweepAngle);
  if (first.x != second.x || first.y != second.y || ASweepAngle > 180)
    FCanvas->Pie(R.left, R.top, R.right, R.bottom, first.x, first.y, second.x, second.y);
}

// ---- Text

SIZE TcxCanvas::TextExtent(const WideString& AText) { return FCanvas->TextExtent(AText); }

void TcxCanvas::TextExtent(const WideString& AText, RECT& R, int AFlags) {
  const int width = R.right - R.left, height = R.bottom - R.top;
  const UINT flags = TextFlagsToDrawTextFlags(AFlags);
  if (width <= 0 && !AText.empty()) R.right = R.left + 1;
  HDC dc = FCanvas->StateHandle();
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const int result = DrawTextW(dc, AText.c_str(), int(AText.size()), &R, (flags & ~UINT(DT_VCENTER)) | DT_CALCRECT);
  SetBkMode(dc, oldMode);
  if (result == 0) R = RECT{R.left, R.top, R.left, R.top};
  const int dx = width - (R.right - R.left), dy = height - (R.bottom - R.top);
  if (flags & DT_CENTER) OffsetRect(&R, dx / 2, 0);
  else if (flags & DT_RIGHT) OffsetRect(&R, dx, 0);
  if (flags & DT_VCENTER) OffsetRect(&R, 0, dy / 2);
  else if (flags & DT_BOTTOM) OffsetRect(&R, 0, dy);
}

void TcxCanvas::AlignMultiLineTextRectVertically(RECT& R, const WideString& AText, TcxAlignmentVert AAlignmentVert,
                                                 bool AWordBreak, bool AShowPrefix, bool AEnabled,
                                                 bool ADontBreakChars, bool AEndEllipsis) {
  if (AAlignmentVert == TcxAlignmentVert::vaTop) return;
  const int d = AEnabled ? 0 : 1;
  int textHeight;
  if (AEndEllipsis && AWordBreak) {
    const int h = TextHeight(L"Zq");
    textHeight = h > 0 ? std::max<int>(h, h * ((R.bottom - R.top - d) / h)) : 0;
  } else {
    RECT measure{0, 0, R.right - R.left - d, 0};
    int flags = cxTextAlignLeft | cxTextAlignTop;
    if (AWordBreak) flags |= cxTextWordBreak;
    if (AShowPrefix) flags |= cxTextShowPrefix;
    if (ADontBreakChars) flags |= cxTextDontBreakChars;
    TextExtent(AText, measure, flags);
    textHeight = measure.bottom - measure.top;
  }
  if (AAlignmentVert == TcxAlignmentVert::vaBottom) R.top = R.bottom - (textHeight + d);
  else R.top = (R.top + R.bottom - textHeight) / 2;
}

void TcxCanvas::DrawTextPass(const WideString& AText, RECT R, int AFlags, bool ATextOut,
                             TcxRotationAngle ARotationAngle) {
  if (ATextOut) {
    HDC dc = FCanvas->StateHandle();
    const UINT options = (AFlags & cxTextDontClip) ? 0 : ETO_CLIPPED;
    TextOutOnDC(dc, AText, POINT{R.left, R.top}, -1, options | FCanvas->TextFlags, &R);
  } else {
    DrawRotatedText(*this, AText, R, ARotationAngle, clDefault, TextFlagsToDrawTextFlags(AFlags));
  }
}

void TcxCanvas::DrawTexT(const WideString& AText, RECT R, int AFlags, bool AEnabled,
                         TcxRotationAngle ARotationAngle) {
  if (AText.empty()) return;
  const bool drawTextPath = !(AFlags & cxTextSingleLine) || ARotationAngle != ra0 ||
                            (AFlags & (cxTextShowPrefix | cxTextShowEndEllipsis | cxTextShowPathEllipsis));
  const SIZE extent = TextExtent(AText);
  if (extent.cx <= R.right - R.left && extent.cy <= R.bottom - R.top) AFlags |= cxTextDontClip;
  const int d = AEnabled ? 0 : 1;
  if (drawTextPath) {
    if (!(AFlags & cxTextSingleLine) && (AFlags & (cxTextAlignBottom | cxTextAlignVCenter)))
      AlignMultiLineTextRectVertically(
          R, AText, (AFlags & cxTextAlignBottom) ? TcxAlignmentVert::vaBottom : TcxAlignmentVert::vaCenter,
          (AFlags & cxTextWordBreak) != 0, (AFlags & cxTextShowPrefix) != 0, AEnabled,
          (AFlags & cxTextDontBreakChars) != 0, (AFlags & cxTextShowEndEllipsis) != 0);
  } else {
    if (extent.cx < R.right - R.left) {
      if (AFlags & cxTextAlignRight) R.left = R.right - extent.cx - d;
      else if (AFlags & cxTextAlignHCenter) R.left = (R.left + R.right - extent.cx) / 2;
    }
    if (extent.cy < R.bottom - R.top) {
      if (AFlags & cxTextAlignBottom) R.top = R.bottom - extent.cy - d;
      else if (AFlags & cxTextAlignVCenter) R.top = (R.top + R.bottom - extent.cy) / 2;
    }
  }
  const TBrushStyle brushStyle = Brush().Style();
  const TColor fontColor = Font().Color();
  if (!AEnabled) {
    Brush().SetStyle(TBrushStyle::bsClear);
    Font().SetColor(clBtnHighlight);
    DrawTextPass(AText, OffsetRectBy(R, 1, 1), AFlags, !drawTextPath, ARotationAngle);
    Font().SetColor(clBtnShadow);
  }
  DrawTextPass(AText, R, AFlags, !drawTextPath, ARotationAngle);
  if (Brush().Style() != brushStyle) Brush().SetStyle(brushStyle);
  Font().SetColor(fontColor);
}

void TcxCanvas::DrawTexT(const WideString& AText, RECT R, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                         bool AMultiLine, bool AShowEndEllipsis) {
  if (AText.empty()) return;
  static constexpr int kHorz[] = {cxTextAlignLeft, cxTextAlignRight, cxTextAlignHCenter};
  static constexpr int kVert[] = {cxTextAlignTop, cxTextAlignBottom, cxTextAlignVCenter};
  int flags = kHorz[int(AAlignmentHorz)] | kVert[int(AAlignmentVert)] | (AMultiLine ? cxTextWordBreak : cxTextSingleLine);
  if (AShowEndEllipsis) flags |= cxTextShowEndEllipsis;
  DrawTexT(AText, R, flags, true);
}

void TcxCanvas::GetTextStringsBounds(WideString AText, RECT R, int AFlags, bool AEnabled,
                                     std::vector<RECT>& ABounds) {
  if (AText.empty()) return;
  if (AFlags & cxTextShowPrefix) {
    AText = RemoveAcceleratorPrefixes(AText, false);
    AFlags &= ~cxTextShowPrefix;
  }
  if (!AEnabled) --R.right, --R.bottom;
  RECT measured = R;
  TextExtent(AText, measured, AFlags);
  if (AFlags & cxTextAlignBottom) OffsetRect(&measured, 0, R.bottom - measured.bottom);
  else if (AFlags & cxTextAlignVCenter) OffsetRect(&measured, 0, (R.bottom - measured.bottom) / 2);
  HDC dc = FCanvas->StateHandle();
  int top = measured.top;
  const int width = R.right - R.left;
  while (!AText.empty()) {
    int fit = 0;
    SIZE size{};
    GetTextExtentExPointW(dc, AText.c_str(), int(AText.size()), std::max(width, 0), &fit, nullptr, &size);
    std::size_t count = std::size_t(std::max(fit, 1));
    std::size_t skip = 0;  // line-break characters after the line
    const std::size_t lineBreak = AText.find_first_of(L"\r\n");
    if (lineBreak != WideString::npos && lineBreak < count) {
      count = lineBreak;
      const wchar_t other = AText[lineBreak] == L'\r' ? L'\n' : L'\r';
      skip = lineBreak + 1 < AText.size() && AText[lineBreak + 1] == other ? 2 : 1;
    } else if (AText.size() > count) {
      const std::size_t space = AText.substr(0, count + 1).find_last_of(L' ');
      if (space != WideString::npos && space < count) {
        if (AFlags & (cxTextAlignRight | cxTextAlignHCenter)) {
          AText.erase(space, 1);
          count = space;
        } else {
          count = space + 1;
        }
      }
    }
    SIZE line{};
    GetTextExtentPoint32W(dc, AText.c_str(), int(count), &line);
    int left = measured.left;
    if (AFlags & cxTextAlignRight) left = measured.right - line.cx;
    else if (AFlags & cxTextAlignHCenter) left = (measured.left + measured.right - line.cx) / 2;
    ABounds.push_back(RECT{left, top, left + line.cx, top + line.cy});
    top += line.cy;
    AText.erase(0, std::min(AText.size(), count + skip));
  }
}

// ---- Bitmaps

void TcxCanvas::RotateBitmap(TBitmap& ABitmap, TcxRotationAngle ARotationAngle, bool AFlipVertically) {
  if (ARotationAngle == ra0 && !AFlipVertically) return;
  const int W = ABitmap.Width(), H = ABitmap.Height();
  TRGBColors source;
  if (!ReadBitmapPixels(ABitmap, source, true)) return;
  TRGBColors dest(source.size());
  for (int r = 0; r < H; ++r)
    for (int c = 0; c < W; ++c) {
      int index = 0;
      switch (ARotationAngle) {
        case ra0: index = c + W * (H - r - 1); break;
        case raPlus90: index = r + (AFlipVertically ? c : W - c - 1) * H; break;
        case raMinus90: index = H * (AFlipVertically ? W - c : c + 1) - r - 1; break;
        case ra180: index = AFlipVertically ? W + W * r - c - 1 : W * (H - r) - c - 1; break;
      }
      dest[std::size_t(index)] = source[std::size_t(c + W * r)];
    }
  if (ARotationAngle == raPlus90 || ARotationAngle == raMinus90) {
    ABitmap.SetHeight(0);
    ABitmap.SetWidth(H);
    ABitmap.SetHeight(W);
  }
  WriteBitmapPixels(ABitmap, dest, true);
}

void TcxCanvas::FlipHorizontally(TBitmap& ABitmap) {
  const int W = ABitmap.Width(), H = ABitmap.Height();
  TRGBColors pixels;
  if (!ReadBitmapPixels(ABitmap, pixels, true)) return;
  for (int r = 0; r < H; ++r)
    for (int i = 0; i <= (W - 1) / 2; ++i) std::swap(pixels[std::size_t(r * W + i)], pixels[std::size_t(r * W + W - 1 - i)]);
  WriteBitmapPixels(ABitmap, pixels, true);
}

// ---- Compressed bitmap data

namespace {

constexpr uint8_t kSignature[4] = {0x58, 0x44, 0x42, 0x4D};
constexpr int kMaxRun = 125;
constexpr uint8_t kLiteral = 0x80;

void PutU32(std::vector<uint8_t>& out, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = uint8_t(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> CompressBitmapData(std::span<const uint8_t> APlain, int AElementSize) {
  const std::size_t e = std::size_t(std::max(AElementSize, 1));
  const std::size_t r = APlain.size() % e;
  std::vector<uint8_t> out(10);
  out.push_back(uint8_t(e));
  out.push_back(uint8_t(r));
  out.insert(out.end(), APlain.begin(), APlain.begin() + std::ptrdiff_t(r));
  const uint8_t* elements = APlain.data() + r;
  const std::size_t count = (APlain.size() - r) / e;
  auto same = [&](std::size_t a, std::size_t b) { return std::equal(elements + a * e, elements + (a + 1) * e, elements + b * e); };
  auto put = [&](std::size_t first, std::size_t n) { out.insert(out.end(), elements + first * e, elements + (first + n) * e); };
  for (std::size_t i = 0; i < count;) {
    std::size_t n = 1;
    if (i + 1 >= count) {
      out.push_back(kLiteral | 1);
      put(i, 1);
    } else if (same(i, i + 1)) {
      while (n < kMaxRun && i + n < count && same(i + n, i + n - 1)) ++n;
      out.push_back(uint8_t(n));
      put(i, 1);
    } else {
      while (n < kMaxRun && i + n < count && !same(i + n, i + n - 1)) ++n;
      // Two equal neighbours stopped the run: the last counted one begins the repeat run.
      if (n < kMaxRun && i + n < count) --n;
      out.push_back(uint8_t(kLiteral | n));
      put(i, n);
    }
    i += n;
  }
  PutU32(out, 0, uint32_t(out.size() - 10));
  std::copy(std::begin(kSignature), std::end(kSignature), out.begin() + 4);
  out[8] = 2;
  out[9] = 0;
  return out;
}

bool DecompressBitmapData(TStream& AStream, std::vector<uint8_t>& APlain) {
  APlain.clear();
  const std::int64_t start = AStream.Position();
  uint8_t header[10];
  if (AStream.Read(header, sizeof header) != sizeof header || !std::equal(header + 4, header + 8, kSignature)) {
    AStream.SetPosition(start);
    return false;
  }
  const uint32_t size = uint32_t(header[0]) | uint32_t(header[1]) << 8 | uint32_t(header[2]) << 16 |
                        uint32_t(header[3]) << 24;
  const int version = header[8] | header[9] << 8;
  // The data ends at the header's size or at the stream's end, whichever comes first.
  const std::int64_t end = std::min<std::int64_t>(start + 10 + std::int64_t(size), AStream.Size());
  auto left = [&] { return std::size_t(std::max<std::int64_t>(0, end - AStream.Position())); };
  // Appends up to Count bytes of the data to Out; answers how many came.
  auto readUpTo = [&](std::size_t count, std::vector<uint8_t>& out) {
    const std::size_t n = std::min(count, left());
    const std::size_t at = out.size();
    out.insert(out.end(), n, 0);
    const std::size_t got = n ? AStream.Read(out.data() + at, n) : 0;
    out.erase(out.begin() + std::ptrdiff_t(at + got), out.end());
    return got;
  };
  if (version != 1 && version != 2) {
    AStream.SetPosition(std::max(AStream.Position(), end));
    return true;
  }
  std::size_t e = 1;
  std::vector<uint8_t> bytes;
  if (version == 2) {
    if (readUpTo(2, bytes) < 2) return true;
    e = std::max<std::size_t>(bytes[0], 1);
    readUpTo(bytes[1], APlain);
  }
  while (left() > 0) {
    bytes.clear();
    if (readUpTo(1, bytes) < 1) break;
    const uint8_t control = bytes[0];
    const std::size_t n = control & 0x7F;
    if (control & kLiteral) {
      readUpTo(n * e, APlain);
    } else {
      bytes.clear();
      if (readUpTo(e, bytes) < e) break;
      for (std::size_t i = 0; i < n; ++i) APlain.insert(APlain.end(), bytes.begin(), bytes.end());
    }
  }
  return true;
}

// ---- TcxBitmap

TcxBitmap::TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat)
    : FcxCanvas(std::make_unique<TcxCanvas>(&Canvas())) {
  BeginUpdate();
  SetPixelFormat(APixelFormat);
  SetSize(AWidth, AHeight);
  EndUpdate(true);
}

void TcxBitmap::EndUpdate(bool AForceUpdate) {
  if (FLockCount <= 0) return;
  if (--FLockCount == 0 && (AForceUpdate || FModified)) Changed();
}

void TcxBitmap::Changed() {
  if (FLockCount > 0) {
    FModified = true;
    return;
  }
  TBitmap::Changed();
  BitmapChanged();
  FModified = false;
}

void TcxBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == Width() && AHeight == Height()) return;
  BeginUpdate();
  TBitmap::SetSize(AWidth, AHeight);
  EndUpdate(false);
}

void TcxBitmap::CopyBitmap(TBitmap& ASrcBitmap, DWORD ACopyMode) {
  CopyBitmap(ASrcBitmap, ClientRect(), POINT{0, 0}, ACopyMode);
}

void TcxBitmap::CopyBitmap(TBitmap& ASrcBitmap, const RECT& ADestRect, POINT ASrcTopLeft, DWORD ACopyMode) {
  BitBlt(Canvas().StateHandle(), ADestRect.left, ADestRect.top, ADestRect.right - ADestRect.left,
         ADestRect.bottom - ADestRect.top, ASrcBitmap.Canvas().Handle(), ASrcTopLeft.x, ASrcTopLeft.y, ACopyMode);
  Changed();
}

void TcxBitmap::Rotate(TcxRotationAngle ARotationAngle, bool AFlipVertically) {
  TcxCanvas::RotateBitmap(*this, ARotationAngle, AFlipVertically);
}

void TcxBitmap::ReadData(TStream& AStream) {
  std::vector<uint8_t> plain;
  if (!DecompressBitmapData(AStream, plain)) {
    TBitmap::ReadData(AStream);
    return;
  }
  if (plain.empty()) {
    SetSize(0, 0);
    return;
  }
  TMemoryStream data(std::move(plain));
  TBitmap::ReadData(data);
}

void TcxBitmap::WriteData(TStream& AStream) {
  if (!FCompressData) {
    TBitmap::WriteData(AStream);
    return;
  }
  TMemoryStream plain;
  TBitmap::WriteData(plain);
  const int bits = GetBitmapBitsPerPixel(*this);
  const std::vector<uint8_t> packed = CompressBitmapData(
      std::span<const uint8_t>(plain.Memory(), std::size_t(plain.Size())), bits >= 16 ? bits / 8 : 1);
  AStream.WriteBuffer(packed.data(), packed.size());
}

// ---- TcxBitmap32

TcxBitmap32::TcxBitmap32(int AWidth, int AHeight, bool AClear) : TcxBitmap(AWidth, AHeight, TPixelFormat::pf32bit) {
  if (AClear) Clear();
}

void TcxBitmap32::GetBitmapColors(TRGBColors& AColors) { ReadBitmapPixels(*this, AColors, false); }

void TcxBitmap32::SetBitmapColors(const TRGBColors& AColors) {
  WriteBitmapPixels(*this, AColors, false);
  Changed();
}

void TcxBitmap32::Clear() {
  if (Empty()) return;
  RECT r = ClientRect();
  ::FillRect(Canvas().StateHandle(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  Changed();
}

template <class F>
void TcxBitmap32::ForEachPixel(F&& f) {
  TRGBColors colors;
  if (!ReadBitmapPixels(*this, colors, false)) return;
  for (RGBQUAD& pixel : colors) f(pixel);
  SetBitmapColors(colors);
}

void TcxBitmap32::Darken(int APercent) {
  ForEachPixel([APercent](RGBQUAD& p) {
    for (BYTE* c : {&p.rgbBlue, &p.rgbGreen, &p.rgbRed}) *c = BYTE(APercent * *c / 100);
  });
}

void TcxBitmap32::Lighten(int APercent) {
  ForEachPixel([APercent](RGBQUAD& p) {
    for (BYTE* c : {&p.rgbBlue, &p.rgbGreen, &p.rgbRed}) *c = BYTE(std::trunc(255 - APercent / 100.0 * (255 - *c)));
  });
}

void TcxBitmap32::Filter(TBitmap& AMaskBitmap) {
  BitBlt(Canvas().StateHandle(), 0, 0, Width(), Height(), AMaskBitmap.Canvas().Handle(), 0, 0, 0x00220326);
  Changed();
}

void TcxBitmap32::Invert() {
  HDC dc = Canvas().StateHandle();
  BitBlt(dc, 0, 0, Width(), Height(), dc, 0, 0, NOTSRCCOPY);
  Changed();
}

void TcxBitmap32::SetAlphaChannel(uint8_t AAlpha) {
  ForEachPixel([AAlpha](RGBQUAD& p) { p.rgbReserved = AAlpha; });
}

void TcxBitmap32::RecoverTransparency(TColor ATransparentColor) {
  const uint32_t rgb = ColorToQuad(ATransparentColor) & 0x00FFFFFF;
  ForEachPixel([rgb](RGBQUAD& p) {
    uint32_t value;
    std::memcpy(&value, &p, 4);
    if ((value & 0x00FFFFFF) == rgb) p = RGBQUAD{};
    else if (p.rgbReserved == 0) p.rgbReserved = 255;
  });
}

void TcxBitmap32::LoadFromStream(TStream& AStream) {
  BeginUpdate();
  TBitmap::LoadFromStream(AStream);
  SetPixelFormat(TPixelFormat::pf32bit);
  EndUpdate(true);
}

void TcxBitmap32::BitmapChanged() {
  if (PixelFormat() != TPixelFormat::pf32bit) throw EdxException(L"Wrong PixelFormat");
}

// ---- TcxAlphaBitmap

TcxAlphaBitmap::TcxAlphaBitmap(int AWidth, int AHeight, RGBQUAD ATransparentBkColor)
    : TcxBitmap32(AWidth, AHeight), FTransparentBkColor(ATransparentBkColor) {}

void TcxAlphaBitmap::Clear() {
  if (FTransparentBkColor.rgbReserved != 0) TransformBitmap(btmClear);
  else TcxBitmap32::Clear();
}

void TcxAlphaBitmap::RefreshImage(int AWidth, int AHeight) {
  SetSize(AWidth, AHeight);
  ClearTransparentColors();
  Clear();
}

void TcxAlphaBitmap::RecoverAlphaChannel(TColor ATransparentColor) {
  ClearTransparentColors();
  AddTransparentColor(ATransparentColor);
  const uint32_t quad = ColorToQuad(ATransparentColor, 0);
  std::memcpy(&FTransparentBkColor, &quad, 4);
  TransformBitmap(btmCorrectBlend);
}

void TcxAlphaBitmap::AddTransparentColor(TColor AColor) {
  FTransparentPixels.push_back(ColorToQuad(AColor, 0) & 0x00FFFFFF);
}

void TcxAlphaBitmap::DrawShadow(TcxAlphaBitmap& AMaskBitmap, int AShadowSize, TColor AShadowColor,
                                bool AInflateSize) {
  const int s = AShadowSize, w = Width(), h = Height();
  // The mask on a white field, drawn onto itself moved by s: the brush colour
  // lands where the moved shape covers the white field, black elsewhere.
  TcxAlphaBitmap shadow(w + 2 * s, h + 2 * s, RGBQUAD{0xFF, 0xFF, 0xFF, 0xFF});
  shadow.Clear();
  shadow.CopyBitmap(AMaskBitmap, RECT{s, s, s + AMaskBitmap.Width(), s + AMaskBitmap.Height()}, POINT{0, 0});
  shadow.Canvas().Brush().SetColor(AShadowColor);
  shadow.CopyBitmap(shadow, RECT{s, s, s + shadow.Width(), s + shadow.Height()}, POINT{0, 0}, 0x00200F09);
  shadow.FTransparentBkColor = RGBQUAD{};
  shadow.TransformBitmap(btmCorrectBlend);

  TcxAlphaBitmap result(w + s, h + s);
  result.Clear();
  result.CopyBitmap(*this, RECT{0, 0, w, h}, POINT{0, 0});
  result.CopyBitmap(shadow, result.ClientRect(), POINT{s, s}, SRCPAINT);
  if (AInflateSize) SetSize(w + s, h + s);
  CopyBitmap(result);
}

void TcxAlphaBitmap::Shade(TcxAlphaBitmap& AMaskBitmap) {
  const RECT mask = AMaskBitmap.ClientRect();
  AMaskBitmap.Canvas().CopyMode = PATINVERT;
  AMaskBitmap.CopyBitmap(AMaskBitmap, mask, POINT{0, 0}, PATINVERT);
  Canvas().CopyMode = SRCCOPY;
  CopyBitmap(AMaskBitmap, RECT{1, 1, mask.right + 1, mask.bottom + 1}, POINT{0, 0}, SRCCOPY);
  // The brush where the mask is white, the picture elsewhere.
  Canvas().CopyMode = 0x00E20746;
  Canvas().Brush().SetColor(clBtnShadow);
  CopyBitmap(AMaskBitmap, mask, POINT{0, 0}, 0x00E20746);
  TransformBitmap(btmCorrectBlend);
}

void TcxAlphaBitmap::DrawHatch(TColor AColor1, TColor AColor2, uint8_t AStep, uint8_t AAlpha1, uint8_t AAlpha2) {
  const uint32_t c1 = ColorToQuad(AColor1, 255), c2 = ColorToQuad(AColor2, 255);
  std::memcpy(&FHatchData.Color1, &c1, 4);
  std::memcpy(&FHatchData.Color2, &c2, 4);
  FHatchData.Alpha1 = AAlpha1;
  FHatchData.Alpha2 = AAlpha2;
  FHatchData.Step = AStep;
  TransformBitmap(btmHatch);
}

bool TcxAlphaBitmap::IsTransparentPixel(RGBQUAD APixel) const {
  uint32_t value, background;
  std::memcpy(&value, &APixel, 4);
  std::memcpy(&background, &FTransparentBkColor, 4);
  return value == background ||
         std::find(FTransparentPixels.begin(), FTransparentPixels.end(), value & 0x00FFFFFF) != FTransparentPixels.end();
}

void TcxAlphaBitmap::TransformBitmap(TcxBitmapTransformationMode AMode) {
  TRGBColors colors;
  if (!ReadBitmapPixels(*this, colors, false)) return;
  const int w = Width(), h = Height();
  auto grey = [](const RGBQUAD& p, double r, double g, double b) {
    return BYTE(std::clamp(std::nearbyint(r * p.rgbRed + g * p.rgbGreen + b * p.rgbBlue), 0.0, 255.0));
  };
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      RGBQUAD& p = colors[std::size_t(y * w + x)];
      const bool transparent = IsTransparentPixel(p);
      switch (AMode) {
        case btmDingy:
          if (transparent) break;
          if (p.rgbReserved == 255) {
            for (BYTE* c : {&p.rgbBlue, &p.rgbGreen, &p.rgbRed}) *c = BYTE(*c + MulDiv(255 - *c, 3, 10));
          } else {
            for (BYTE* c : {&p.rgbBlue, &p.rgbGreen, &p.rgbRed, &p.rgbReserved}) *c = BYTE(MulDiv(*c, 200, 255));
          }
          break;
        case btmGrayScale:
          if (!transparent) p.rgbRed = p.rgbGreen = p.rgbBlue = BYTE((p.rgbRed + p.rgbGreen + p.rgbBlue) / 3);
          break;
        case btmSetOpaque: p.rgbReserved = 255; break;
        case btmResetAlpha: p.rgbReserved = 0; break;
        case btmMakeMask: p = transparent ? RGBQUAD{255, 255, 255, 255} : RGBQUAD{}; break;
        case btmFade:
          if (!transparent) p.rgbRed = p.rgbGreen = p.rgbBlue = grey(p, 0.299, 0.587, 0.114);
          break;
        case btmDisable:
          if (!transparent) p.rgbRed = p.rgbGreen = p.rgbBlue = grey(p, 0.0729, 0.7146, 0.2125);
          break;
        case btmCorrectBlend:
          if (p.rgbReserved == 0 && !transparent) p.rgbReserved = 255;
          break;
        case btmClear: p = FTransparentBkColor; break;
        case btmDirty: {
          if (transparent) break;
          p.rgbRed = p.rgbGreen = p.rgbBlue = grey(p, 0.299, 0.587, 0.114);
          const uint32_t shadow = ColorToQuad(clBtnShadow, 0xC0);
          RGBQUAD over;
          std::memcpy(&over, &shadow, 4);
          BlendPixelPremultiplied(p, over, 238);
          break;
        }
        case btmHatch: {
          const int step = std::max<int>(FHatchData.Step, 1);
          if ((x / step + y / step) % 2 == 1) BlendPixelPremultiplied(p, FHatchData.Color2, FHatchData.Alpha2);
          else BlendPixelPremultiplied(p, FHatchData.Color1, FHatchData.Alpha1);
          break;
        }
      }
    }
  SetBitmapColors(colors);
}

// ---- Colour and drawing routines

namespace {

using AlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

TcxGraphicsPlatform gPlatform;
int gPixelsPerInchX = 96, gPixelsPerInchY = 96;
HMODULE gMsImg32 = nullptr;
AlphaBlendProc gAlphaBlend = nullptr;
HBRUSH gCheckerBrush = nullptr;

// The destination area's copy, a 32-bit bitmap of R's size.
std::unique_ptr<TcxBitmap32> CopyDCAreaToBitmap32(HDC ASrcDC, const RECT& R) {
  auto bitmap = std::make_unique<TcxBitmap32>(R.right - R.left, R.bottom - R.top, true);
  BitBltRect(bitmap->Canvas().Handle(), ASrcDC, bitmap->ClientRect(), SRCCOPY, POINT{R.left, R.top});
  return bitmap;
}

double Sinc(double x) {
  if (x == 0) return 1;
  x *= std::numbers::pi;
  return std::sin(x) / x;
}

double Lanczos3(double x) { return std::abs(x) < 3 ? Sinc(x) * Sinc(x / 3) : 0; }

struct TContribution {
  int Index;
  int Weight;  // 8 fractional bits
};

// The source pixels and weights of every destination index along one axis.
std::vector<std::vector<TContribution>> LanczosWeights(int ASource, int ADest) {
  // A side of 1 (either way) scales by dest / source: (dest - 1) / (source - 1)
  // would make a one-pixel destination infinitely wide.
  const double s = (ASource == 1 || ADest == 1) ? double(ADest) / ASource : double(ADest - 1) / (ASource - 1);
  const double w = s < 1 ? 1 / s : 1, r = 3 * w;
  std::vector<std::vector<TContribution>> result;
  result.resize(std::size_t(ADest));
  for (int i = 0; i < ADest; ++i) {
    const double f = i / s;
    for (int j = int(std::floor(f - r)); j <= int(std::ceil(f + r)); ++j) {
      const int weight = int(std::nearbyint(Lanczos3((f - j) / w) / w * 256));
      if (weight == 0) continue;
      int index = j < 0 ? -j : j >= ASource ? 2 * ASource - 1 - j : j;
      index = std::clamp(index, 0, ASource - 1);
      result[std::size_t(i)].push_back({index, weight});
    }
  }
  return result;
}

uint8_t ShiftAndClamp(int ASum) { return uint8_t(std::clamp(ASum >> 8, 0, 255)); }

}  // namespace

TcxGraphicsPlatform& GraphicsPlatform() { return gPlatform; }

int GetScreenPixelsPerInch() { return gPixelsPerInchX; }
int GetScreenDPI() { return gPixelsPerInchY; }
int ScaleByScreenDPI(int AValue) { return MulDiv(AValue, GetScreenDPI(), 96); }
RECT ScaleRectByScreenDPI(const RECT& R) {
  return {ScaleByScreenDPI(R.left), ScaleByScreenDPI(R.top), ScaleByScreenDPI(R.right), ScaleByScreenDPI(R.bottom)};
}

void DeflateRectByMargins(RECT& R, const RECT& AMargins) {
  R.left += AMargins.left;
  R.top += AMargins.top;
  R.right -= AMargins.right;
  R.bottom -= AMargins.bottom;
}

bool IsBitmapNonEmpty(TBitmap* ABitmap) { return ABitmap && !ABitmap->Empty(); }

bool RectSizesEqual(const RECT& R1, const RECT& R2) {
  return R1.right - R1.left == R2.right - R2.left && R1.bottom - R1.top == R2.bottom - R2.top;
}

void BitBltRect(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, DWORD ARop, POINT ASrcTopLeft) {
  BitBlt(ADestDC, ADestRect.left, ADestRect.top, ADestRect.right - ADestRect.left, ADestRect.bottom - ADestRect.top,
         ASrcDC, ASrcTopLeft.x, ASrcTopLeft.y, ARop);
}

uint8_t ClampToByte(int AValue) { return uint8_t(std::clamp(AValue, 0, 255)); }

uint8_t RoundToByte(float AValue) { return uint8_t(std::clamp(std::nearbyint(AValue), 0.0f, 255.0f)); }

bool SameColorValue(TColor A, TColor B) { return ColorToRGB(A) == ColorToRGB(B); }

TColor MixSystemColors(int ABtnFacePercent, int AHighlightPercent, int AWindowPercent) {
  const COLORREF f = ColorToRGB(clBtnFace), h = ColorToRGB(clHighlight), w = ColorToRGB(clWindow);
  if ((f == 0 || f == 0xFFFFFF) && h != 0) return TColor(h);
  auto mix = [&](int cf, int ch, int cw) {
    return ClampToByte(MulDiv(cf, ABtnFacePercent, 100) + MulDiv(ch, AHighlightPercent, 100) +
                       MulDiv(cw, AWindowPercent, 100));
  };
  return TColor(RGB(mix(GetRValue(f), GetRValue(h), GetRValue(w)), mix(GetGValue(f), GetGValue(h), GetGValue(w)),
                    mix(GetBValue(f), GetBValue(h), GetBValue(w))));
}

TColor GetLightPressedColor() {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetNearestColor(dc, ColorToRGB(MixSystemColors(14, 44, 40)));
  ReleaseDC(nullptr, dc);
  return TColor(c);
}

TColor GetLightHotColor() {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetNearestColor(dc, ColorToRGB(MixSystemColors(-2, 30, 72)));
  ReleaseDC(nullptr, dc);
  return TColor(c);
}

bool IsSystemAlphaBlendAvailable() { return gAlphaBlend != nullptr && gPlatform.SystemAlphaBlend; }

bool SystemAlphaBlend(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, const RECT& ASrcRect, uint8_t AConstantAlpha) {
  if (!IsSystemAlphaBlendAvailable()) return false;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, AConstantAlpha, AC_SRC_ALPHA};
  return gAlphaBlend(ADestDC, ADestRect.left, ADestRect.top, ADestRect.right - ADestRect.left,
                     ADestRect.bottom - ADestRect.top, ASrcDC, ASrcRect.left, ASrcRect.top,
                     ASrcRect.right - ASrcRect.left, ASrcRect.bottom - ASrcRect.top, blend) != FALSE;
}

void BlendPixelPremultiplied(RGBQUAD& ADest, const RGBQUAD& ASource, uint8_t AAlpha) {
  const float a = AAlpha / 255.0f;
  const float sa = a * ASource.rgbReserved;
  const float k = 1 - sa / 255.0f;
  ADest.rgbRed = RoundToByte(a * ASource.rgbRed + k * ADest.rgbRed);
  ADest.rgbGreen = RoundToByte(a * ASource.rgbGreen + k * ADest.rgbGreen);
  ADest.rgbBlue = RoundToByte(a * ASource.rgbBlue + k * ADest.rgbBlue);
  ADest.rgbReserved = RoundToByte(sa + k * ADest.rgbReserved);
}

void BlendBitmaps32(TcxBitmap32& ADest, TcxBitmap32& ASource, uint8_t AConstantAlpha) {
  if (SystemAlphaBlend(ADest.Canvas().Handle(), ASource.Canvas().Handle(), ADest.ClientRect(), ASource.ClientRect(),
                       AConstantAlpha))
    return;
  TRGBColors dest, source;
  ADest.GetBitmapColors(dest);
  ASource.GetBitmapColors(source);
  const std::size_t count = std::min(dest.size(), source.size());
  for (std::size_t i = 0; i < count; ++i) BlendPixelPremultiplied(dest[i], source[i], AConstantAlpha);
  ADest.SetBitmapColors(dest);
}

void AlphaBlendBitmaps(TBitmap& ADestBitmap, TBitmap& ASrcBitmap, const RECT& ADestRect, const RECT& ASrcRect,
                       bool ASmoothImage, uint8_t AConstantAlpha) {
  AlphaBlendDC(ADestBitmap.Canvas().Handle(), ASrcBitmap.Canvas().Handle(), ADestRect, ASrcRect, ASmoothImage,
               AConstantAlpha);
}

void TcxBitmap32::AlphaBlend(TcxBitmap32& ADestBitmap, const RECT& ARect, bool ASmoothImage, uint8_t AConstantAlpha) {
  AlphaBlendBitmaps(ADestBitmap, *this, ARect, ClientRect(), ASmoothImage, AConstantAlpha);
}

void StretchBitmapPlain(TBitmap& ADest, TBitmap& ASource) {
  StretchBlt(ADest.Canvas().Handle(), 0, 0, ADest.Width(), ADest.Height(), ASource.Canvas().Handle(), 0, 0,
             ASource.Width(), ASource.Height(), SRCCOPY);
}

void ResampleBitmapLanczos(TBitmap& ASource, TBitmap& ADest, bool AHighQuality) {
  const int sw = ASource.Width(), sh = ASource.Height(), dw = ADest.Width(), dh = ADest.Height();
  if (sw == 0 || sh == 0 || dw == 0 || dh == 0) return;
  if (gPlatform.WinNT && !AHighQuality) {
    HDC dc = ADest.Canvas().Handle();
    const int mode = SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, dw, dh, ASource.Canvas().Handle(), 0, 0, sw, sh, SRCCOPY);
    SetStretchBltMode(dc, mode);
    return;
  }
  TRGBColors source;
  if (!ReadBitmapPixels(ASource, source, true)) return;
  const auto horizontal = LanczosWeights(sw, dw), vertical = LanczosWeights(sh, dh);
  // Horizontal pass: destination width x source height.
  TRGBColors middle(std::size_t(dw) * std::size_t(sh));
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < dw; ++x) {
      int b = 0, g = 0, r = 0, a = 0;
      for (const TContribution& c : horizontal[std::size_t(x)]) {
        const RGBQUAD& p = source[std::size_t(y) * std::size_t(sw) + std::size_t(c.Index)];
        b += p.rgbBlue * c.Weight, g += p.rgbGreen * c.Weight, r += p.rgbRed * c.Weight, a += p.rgbReserved * c.Weight;
      }
      middle[std::size_t(y) * std::size_t(dw) + std::size_t(x)] =
          RGBQUAD{ShiftAndClamp(b), ShiftAndClamp(g), ShiftAndClamp(r), ShiftAndClamp(a)};
    }
  TRGBColors dest(std::size_t(dw) * std::size_t(dh));
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x) {
      int b = 0, g = 0, r = 0, a = 0;
      for (const TContribution& c : vertical[std::size_t(y)]) {
        const RGBQUAD& p = middle[std::size_t(c.Index) * std::size_t(dw) + std::size_t(x)];
        b += p.rgbBlue * c.Weight, g += p.rgbGreen * c.Weight, r += p.rgbRed * c.Weight, a += p.rgbReserved * c.Weight;
      }
      dest[std::size_t(y) * std::size_t(dw) + std::size_t(x)] =
          RGBQUAD{ShiftAndClamp(b), ShiftAndClamp(g), ShiftAndClamp(r), ShiftAndClamp(a)};
    }
  WriteBitmapPixels(ADest, dest, true);
}

void AlphaBlendDC(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, const RECT& ASrcRect, bool ASmoothImage,
                  uint8_t AConstantAlpha) {
  if (IsRectEmptyOrInverted(ADestRect) || IsRectEmptyOrInverted(ASrcRect)) return;
  const bool smoothing = ASmoothImage && !RectSizesEqual(ADestRect, ASrcRect);
  const bool withoutSystem = gPlatform.Wow64 || gPlatform.Win9x || !IsSystemAlphaBlendAvailable() || smoothing;
  if (!(withoutSystem && CheckGdiPlusAvailable(false))) {
    SystemAlphaBlend(ADestDC, ASrcDC, ADestRect, ASrcRect, AConstantAlpha);
    return;
  }
  std::unique_ptr<TcxBitmap32> source = CopyDCAreaToBitmap32(ASrcDC, ASrcRect);
  if (gPlatform.Wow64) {
    // Through GDI+ on the destination (high-quality bicubic when smoothing).
    TdxGPPaintCanvas* canvas = GetSharedGdipPaintCanvas();
    canvas->BeginPaint(ADestDC, ADestRect);
    try {
      canvas->SetInterpolationMode(smoothing ? 7 : 1);
      canvas->DrawBitmap(*source, ADestRect, AConstantAlpha);
    } catch (...) {
      canvas->EndPaint();
      throw;
    }
    canvas->EndPaint();
    return;
  }
  // In software: the destination's copy blended with the resized source.
  std::unique_ptr<TcxBitmap32> dest = CopyDCAreaToBitmap32(ADestDC, ADestRect);
  TcxBitmap32 sized(dest->Width(), dest->Height(), true);
  if (smoothing) ResampleBitmapLanczos(*source, sized, true);
  else StretchBitmapPlain(sized, *source);
  BlendBitmaps32(*dest, sized, AConstantAlpha);
  BitBltRect(ADestDC, dest->Canvas().Handle(), ADestRect, SRCCOPY);
}

bool GetTextExtentOnDC(HDC ADC, const WideString& AText, SIZE& ASize, int ALength) {
  ASize = SIZE{};
  const int length = ALength < 0 ? int(AText.size()) : ALength;
  return GetTextExtentPoint32W(ADC, AText.c_str(), length, &ASize) != FALSE;
}

int DrawTextOnDC(HDC ADC, const WideString& AText, RECT& R, int ABkMode, TColor ATextColor, int ALength,
                 UINT AFormat) {
  if (AText.empty()) return DrawTextW(ADC, L"", 0, &R, AFormat);
  const COLORREF oldColor = ATextColor != clDefault ? SetTextColor(ADC, ColorToRGB(ATextColor)) : CLR_INVALID;
  const int oldMode = SetBkMode(ADC, ABkMode);
  const int result = DrawTextW(ADC, AText.c_str(), ALength < 0 ? int(AText.size()) : ALength, &R, AFormat);
  SetBkMode(ADC, oldMode);
  if (oldColor != CLR_INVALID) SetTextColor(ADC, oldColor);
  return result;
}

bool TextOutOnDC(HDC ADC, const WideString& AText, POINT AOrigin, int ALength, UINT AOptions, const RECT* AClipRect) {
  return ExtTextOutW(ADC, AOrigin.x, AOrigin.y, AOptions, AClipRect, AText.c_str(),
                     UINT(ALength < 0 ? int(AText.size()) : ALength), nullptr) != FALSE;
}

int GetDCTextHeight(HDC ADC) {
  TEXTMETRICW metric{};
  GetTextMetricsW(ADC, &metric);
  return metric.tmHeight;
}

int DrawTextOnCanvas(TCanvas& ACanvas, const WideString& AText, RECT R, TColor ATextColor, UINT AFormat) {
  return DrawTextOnDC(ACanvas.StateHandle(), AText, R, TRANSPARENT, ATextColor, -1, AFormat);
}

int DrawRotatedText(TcxCanvas& ACanvas, const WideString& AText, const RECT& ADestRect,
                    TcxRotationAngle ARotationAngle, TColor ATextColor, UINT AFormat) {
  if (ARotationAngle == ra0) return DrawTextOnCanvas(*ACanvas.Canvas(), AText, ADestRect, ATextColor, AFormat);
  TcxBitmap bitmap(ADestRect, TPixelFormat::pf32bit);
  BitBltRect(bitmap.Canvas().Handle(), ACanvas.Handle(), bitmap.ClientRect(), SRCCOPY,
             POINT{ADestRect.left, ADestRect.top});
  static constexpr TcxRotationAngle kUpright[] = {ra0, raMinus90, raPlus90, ra180};
  bitmap.Rotate(kUpright[ARotationAngle]);
  bitmap.Canvas().Font().Assign(ACanvas.Font());
  const int result = DrawTextOnCanvas(bitmap.Canvas(), AText, bitmap.ClientRect(), ATextColor, AFormat);
  bitmap.Rotate(ARotationAngle);
  BitBltRect(ACanvas.Canvas()->StateHandle(), bitmap.Canvas().Handle(), ADestRect, SRCCOPY);
  return result;
}

RECT GetTextRectForRowCount(HDC ADC, const WideString& AText, int ARowCount, bool AReturnMaxRectHeight) {
  auto measure = [&](int width, UINT flags) {
    RECT r{0, 0, width, 0};
    DrawTextW(ADC, AText.c_str(), int(AText.size()), &r, DT_CALCRECT | flags);
    return r;
  };
  if (ARowCount == 1) return measure(0, DT_SINGLELINE);
  const int limit = ARowCount <= 0 ? 32000 : ARowCount * GetDCTextHeight(ADC);
  constexpr UINT kWrap = DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK;
  auto height = [&](int width) {
    RECT r = measure(width, kWrap);
    return r.bottom - r.top;
  };
  int lo = measure(1, kWrap).right, hi = measure(0, DT_SINGLELINE).right;
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (height(mid) > limit) lo = mid;
    else hi = mid;
  }
  RECT result = measure(lo, kWrap);
  if (result.bottom - result.top > limit) result = measure(hi, kWrap);
  if (AReturnMaxRectHeight) result.bottom = limit;
  return result;
}

SIZE GetTextSizeOnDC(HDC ADC, const WideString& AText) {
  RECT r = GetTextRectForRowCount(ADC, AText, 1);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE GetCurrentCursorSize() {
  SIZE size{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
  ICONINFO info{};
  if (!GetIconInfo(GetCursor(), &info)) return size;
  BITMAP mask{};
  if (info.hbmMask && GetObjectW(info.hbmMask, sizeof mask, &mask) && mask.bmBitsPixel == 1 && mask.bmWidth > 0) {
    // The AND half (and for a colour-less cursor the XOR half below it).
    const bool colourless = info.hbmColor == nullptr;
    const int rows = colourless ? mask.bmHeight / 2 : mask.bmHeight;
    const int stride = ((mask.bmWidth + 31) / 32) * 4;
    std::vector<uint8_t> bits(std::size_t(stride) * std::size_t(mask.bmHeight));
    struct {
      BITMAPINFOHEADER Header;
      RGBQUAD Colors[2];
    } bmi{};
    bmi.Header = {sizeof(BITMAPINFOHEADER), mask.bmWidth, -mask.bmHeight, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    const bool read = GetDIBits(dc, info.hbmMask, 0, UINT(mask.bmHeight), bits.data(),
                                reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS) != 0;
    ReleaseDC(nullptr, dc);
    if (read) {
      auto rowHolds = [&](int row, bool xorHalf) {
        const uint8_t* line = bits.data() + std::size_t(row) * std::size_t(stride);
        for (int i = 0; i < (mask.bmWidth + 7) / 8; ++i)
          if (xorHalf ? line[i] != 0 : line[i] != 0xFF) return true;
        return false;
      };
      int last = -1;
      for (int row = 0; row < rows; ++row)
        if (rowHolds(row, false)) last = row;
      if (last < 0 && colourless)
        for (int row = 0; row < rows; ++row)
          if (rowHolds(rows + row, true)) last = row;
      size.cx = mask.bmWidth;
      size.cy = last + 1 - int(info.yHotspot);
    }
  }
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return size;
}

namespace {
std::vector<TWinControl*> gParentsBeingPainted;
}

void PaintControlTo(TWinControl* AControl, TcxCanvas& ACanvas, POINT AOrigin, TWinControl* AExcludedControl,
                    bool ANonClient, bool APaintChildren, const RECT& ABounds) {
  if (!AControl || AControl->IsDestroying() || !AControl->HandleAllocated()) return;
  HWND window = AControl->Handle();
  ACanvas.SaveDC();
  HDC dc = ACanvas.Handle();
  MoveWindowOrg(dc, AOrigin.x - ABounds.left, AOrigin.y - ABounds.top);
  ACanvas.IntersectClipRect(ABounds);
  HRGN windowRegion = CreateRectRgn(0, 0, 0, 0);
  const int regionKind = GetWindowRgn(window, windowRegion);
  if (regionKind == SIMPLEREGION || regionKind == COMPLEXREGION)
    ACanvas.SetClipRegion(new TcxRegion(windowRegion), roIntersect);
  else
    DeleteObject(windowRegion);
  if (ACanvas.RectVisible(ABounds)) {
    const TControlState state = AControl->ControlState();
    AControl->SetControlState(state | csPaintCopy);
    ACanvas.SaveState();
    if (!ANonClient) {
      const POINT offset = GetWindowClientOffset(window);
      MoveWindowOrg(dc, offset.x, offset.y);
    }
    const WPARAM context = reinterpret_cast<WPARAM>(dc);
    if (AControl->DoubleBuffered()) SendMessageW(window, WM_ERASEBKGND, context, LPARAM(context));
    if (ANonClient) {
      SendMessageW(window, WM_PRINT, context, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
      SendMessageW(window, WM_NCPAINT, 0, 0);
    } else {
      SendMessageW(window, WM_PRINT, context, PRF_CLIENT | PRF_ERASEBKGND);
    }
    ACanvas.RestoreState();
    AControl->SetControlState(state);
  }
  if (APaintChildren)
    for (int i = 0; i < AControl->ControlCount(); ++i) {
      auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
      if (!child || child == AExcludedControl || !child->HandleAllocated() || !child->Visible()) continue;
      const RECT bounds = child->BoundsRect();
      if (!ACanvas.RectVisible(bounds)) continue;
      PaintControlTo(child, ACanvas, POINT{bounds.left, bounds.top}, AExcludedControl, true, APaintChildren,
                     OffsetRectBy(bounds, bounds.left, bounds.top, false));
    }
  ACanvas.RestoreDC();
}

void PaintParentIntoCanvas(TWinControl* AControl, TcxCanvas& ACanvas, const RECT& R, bool APaintChildren) {
  if (!AControl || !AControl->Parent()) return;
  TWinControl* parent = AControl->Parent();
  if (std::find(gParentsBeingPainted.begin(), gParentsBeingPainted.end(), parent) != gParentsBeingPainted.end())
    return;
  gParentsBeingPainted.push_back(parent);
  try {
    const RECT mapped = MapWindowRect(AControl->Handle(), parent->Handle(), R, true);
    PaintControlTo(parent, ACanvas, POINT{0, 0}, AControl, false, APaintChildren, mapped);
  } catch (...) {
    std::erase(gParentsBeingPainted, parent);
    throw;
  }
  std::erase(gParentsBeingPainted, parent);
  if (gParentsBeingPainted.empty()) gParentsBeingPainted.shrink_to_fit();
}

void DrawControlParentBackground(TWinControl* AControl, TcxCanvas& ACanvas, const RECT& R) {
  if (!AControl) return;
  if ((AControl->Parent() && AControl->Parent()->DoubleBuffered()) || !IsUxThemeLoaded())
    PaintParentIntoCanvas(AControl, ACanvas, R, false);
  else
    DrawThemeParentBackground(AControl->Handle(), ACanvas.Handle(), &R);
}

namespace {
AlphaBlendEntry gAlphaBlendEntry() { return gAlphaBlend; }
}  // namespace

HBRUSH CheckerPatternBrush() { return gCheckerBrush; }

HBRUSH SystemColorBrush(int AIndex) { return AIndex >= 0 && AIndex <= 30 ? GetSysColorBrush(AIndex) : nullptr; }

// ---- Shared canvases

namespace {

// A canvas on the desktop's cached device context.
class TScreenDCCanvas : public TCanvas {
public:
  TVK_CLASS(TScreenDCCanvas, TCanvas)
  ~TScreenDCCanvas() override { FreeHandle(); }
  void FreeHandle() {
    if (!FDeviceContext) return;
    SetHandle(nullptr);
    ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
  }

protected:
  void CreateHandle() override {
    FWindowHandle = GetDesktopWindow();
    FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    SetHandle(FDeviceContext);
  }

private:
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

}  // namespace

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(nullptr), FScreen(std::make_unique<TScreenDCCanvas>()) {
  SetCanvas(FScreen.get());
}

TcxScreenCanvas::~TcxScreenCanvas() { Dormant(); }

void TcxScreenCanvas::Dormant() { static_cast<TScreenDCCanvas*>(FScreen.get())->FreeHandle(); }

TcxPaintCanvas::~TcxPaintCanvas() {
  while (!FStates.empty()) EndPaint();
}

void TcxPaintCanvas::BeginPaint(HDC ADC) {
  auto own = std::make_unique<TCanvas>();
  const int saved = ::SaveDC(ADC);
  own->SetHandle(ADC);
  AdoptDCObjects(*own, ADC);
  TCanvas* canvas = own.get();
  FStates.push_back({Canvas(), saved, std::move(own)});
  SetCanvas(canvas);
  SaveState();
}

void TcxPaintCanvas::BeginPaint(TCanvas* ACanvas) {
  FStates.push_back({Canvas(), 0, nullptr});
  SetCanvas(ACanvas);
  SaveState();
}

void TcxPaintCanvas::EndPaint() {
  if (FStates.empty()) return;
  RestoreState();
  TPaintState state = std::move(FStates.back());
  FStates.pop_back();
  if (state.Own) {
    HDC dc = state.Own->Handle();
    state.Own.reset();
    ::RestoreDC(dc, state.SaveDC);
  }
  SetCanvas(state.PrevCanvas);
}

// ---- Small routines, bitmap creation, object data

bool IsImageIndexValid(TCustomImageList* AImages, int AIndex) {
  return AImages && AIndex >= 0 && AIndex < AImages->Count();
}

void ReplaceImageListLink(TCustomImageList* AValue, TCustomImageList*& AField, TChangeLink* AChangeLink,
                          TComponent* ANotifyComponent) {
  if (AValue == AField) return;
  if (AField) {
    if (ANotifyComponent) AField->RemoveFreeNotification(ANotifyComponent);
    if (AChangeLink) AField->UnRegisterChanges(AChangeLink);
  }
  AField = AValue;
  if (AValue) {
    if (AChangeLink) AValue->RegisterChanges(AChangeLink);
    if (ANotifyComponent) AValue->FreeNotification(ANotifyComponent);
  }
  if (AChangeLink) AChangeLink->Change();
}

void ResetFontToDefault(TFont& AFont) {
  const TFont defaults;
  AFont.SetCharset(defaults.Charset());
  AFont.SetName(defaults.Name());
  AFont.SetHeight(defaults.Height());
  AFont.SetPitch(defaults.Pitch());
  AFont.SetStyle(defaults.Style());
}

void SetBitmapFormatAndSize(TBitmap& ABitmap, int AWidth, int AHeight, TPixelFormat APixelFormat) {
  ABitmap.SetPixelFormat(APixelFormat);
  ABitmap.SetWidth(AWidth);
  ABitmap.SetHeight(AHeight);
}

std::unique_ptr<TBitmap> CreateBitmapOfSize(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  auto bitmap = std::make_unique<TBitmap>();
  SetBitmapFormatAndSize(*bitmap, AWidth, AHeight, APixelFormat);
  return bitmap;
}

std::unique_ptr<TBitmap> CreateBitmapOfSize(const RECT& ARect, TPixelFormat APixelFormat) {
  return CreateBitmapOfSize(ARect.right - ARect.left, ARect.bottom - ARect.top, APixelFormat);
}

bool GetBitmapObjectData(HBITMAP AHandle, BITMAP& AData) {
  return GetObjectW(AHandle, sizeof AData, &AData) == int(sizeof AData);
}
bool GetBrushObjectData(HBRUSH AHandle, LOGBRUSH& AData) {
  return GetObjectW(AHandle, sizeof AData, &AData) == int(sizeof AData);
}
bool GetFontObjectData(HFONT AHandle, LOGFONTW& AData) {
  return GetObjectW(AHandle, sizeof AData, &AData) == int(sizeof AData);
}
bool GetPenObjectData(HPEN AHandle, LOGPEN& AData) {
  return GetObjectW(AHandle, sizeof AData, &AData) == int(sizeof AData);
}

void InvalidateWindowRect(HWND AWnd, const RECT& R, bool AEraseBackground) { InvalidateRect(AWnd, &R, AEraseBackground); }
void InvalidateWindow(HWND AWnd, bool AEraseBackground) { InvalidateRect(AWnd, nullptr, AEraseBackground); }

int GetFontTextHeight(TFont& AFont) {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  if (!canvas) return 0;
  canvas->Font().Assign(AFont);
  const int height = GetDCTextHeight(canvas->Canvas()->StateHandle());
  canvas->Dormant();
  return height;
}

void CopyBitmapToDC(HDC ADC, TBitmap& ABitmap, const RECT& ADestRect, DWORD ARop, POINT ASrcTopLeft) {
  if (gPlatform.Win9x && GetDeviceCaps(ADC, BITSPIXEL) == 32 && GetBitmapBitsPerPixel(ABitmap) < 32) {
    TcxAlphaBitmap copy(ADestRect.right - ADestRect.left, ADestRect.bottom - ADestRect.top);
    BitBltRect(copy.Canvas().Handle(), ABitmap.Canvas().Handle(), copy.ClientRect(), SRCCOPY, ASrcTopLeft);
    copy.TransformBitmap(btmResetAlpha);
    BitBltRect(ADC, copy.Canvas().Handle(), ADestRect, ARop);
    return;
  }
  BitBltRect(ADC, ABitmap.Canvas().Handle(), ADestRect, ARop, ASrcTopLeft);
}

// ---- Glyph drawing

TcxDrawImageHook DrawImageHook = nullptr;

namespace glyph_drawing {

TcxAlphaBitmap* gSharedDraw = nullptr;
TcxAlphaBitmap* gSharedImage = nullptr;
TcxAlphaBitmap* gSharedMask = nullptr;

TcxAlphaBitmap& PrepareSharedAlphaBitmap(TcxAlphaBitmap*& AField, int AWidth, int AHeight) {
  if (!AField) AField = new TcxAlphaBitmap(AWidth, AHeight);
  AField->RefreshImage(AWidth, AHeight);
  return *AField;
}

// ASource's picture into the top-left of ADest (32-bit sources keep their alpha).
void CopyPictureInto(TcxAlphaBitmap& ADest, TBitmap& ASource) {
  BitBlt(ADest.Canvas().Handle(), 0, 0, ASource.Width(), ASource.Height(), ASource.Canvas().Handle(), 0, 0, SRCCOPY);
}

// The picture's silhouette (from AMask) in AColor on ADraw, offset by ASize, or
// with AInflate stamped at every offset from 0 to ASize.
void DrawShadow(TcxAlphaBitmap& ADraw, TcxAlphaBitmap& AMask, const RECT& AGlyphRect, TColor AColor, int ASize,
                bool AInflate, bool AMaskHasAlpha) {
  TRGBColors draw, mask;
  if (!ReadBitmapPixels(ADraw, draw, true) || !ReadBitmapPixels(AMask, mask, true)) return;
  const int dw = ADraw.Width(), dh = ADraw.Height(), mw = AMask.Width(), mh = AMask.Height();
  const uint32_t quad = ColorToQuad(AColor, 255);
  RGBQUAD shade;
  std::memcpy(&shade, &quad, 4);
  const int first = AInflate ? 0 : ASize;
  for (int y = 0; y < mh; ++y)
    for (int x = 0; x < mw; ++x) {
      const RGBQUAD& m = mask[std::size_t(y) * std::size_t(mw) + std::size_t(x)];
      const bool picture = AMaskHasAlpha ? m.rgbReserved != 0 : (m.rgbRed | m.rgbGreen | m.rgbBlue) == 0;
      if (!picture) continue;
      for (int dy = first; dy <= ASize; ++dy)
        for (int dx = first; dx <= ASize; ++dx) {
          const int tx = AGlyphRect.left + x + dx, ty = AGlyphRect.top + y + dy;
          if (tx >= 0 && ty >= 0 && tx < dw && ty < dh) draw[std::size_t(ty) * std::size_t(dw) + std::size_t(tx)] = shade;
        }
    }
  WriteBitmapPixels(ADraw, draw, true);
}

}  // namespace glyph_drawing

TcxSharedAlphaBitmaps SharedAlphaBitmaps() {
  return {glyph_drawing::gSharedDraw, glyph_drawing::gSharedImage, glyph_drawing::gSharedMask};
}

void DrawGlyphOrImage(HDC ADC, const RECT& AGlyphRect, const RECT& ADrawRect, TBitmap* AGlyph,
                      TCustomImageList* AImages, int AImageIndex, int ADrawMode, bool ASmoothImage, HBRUSH ABrush,
                      TColor ATransparentColor, bool AUseGlyphTransparentColor) {
  using namespace glyph_drawing;
  const bool useGlyph = IsBitmapNonEmpty(AGlyph);
  if (!useGlyph && !IsImageIndexValid(AImages, AImageIndex)) return;
  const int dw = ADrawRect.right - ADrawRect.left, dh = ADrawRect.bottom - ADrawRect.top;
  if (dw <= 0 || dh <= 0) return;
  TcxAlphaBitmap& draw = PrepareSharedAlphaBitmap(gSharedDraw, dw, dh);
  const RECT client = draw.ClientRect();
  if (ABrush) ::FillRect(draw.Canvas().Handle(), &client, ABrush);
  else BitBltRect(draw.Canvas().Handle(), ADC, client, SRCCOPY, POINT{ADrawRect.left, ADrawRect.top});
  RECT glyphRect = AGlyphRect;
  OffsetRect(&glyphRect, -ADrawRect.left, -ADrawRect.top);
  if (!(DrawImageHook && DrawImageHook(draw.cxCanvas(), AImages, AImageIndex, ADrawMode, glyphRect, AGlyph))) {
    const int iw = useGlyph ? AGlyph->Width() : AImages->Width();
    const int ih = useGlyph ? AGlyph->Height() : AImages->Height();
    TcxAlphaBitmap& image = PrepareSharedAlphaBitmap(gSharedImage, iw, ih);
    if (useGlyph) CopyPictureInto(image, *AGlyph);
    else TcxImageList::GetImageInfo(AImages, AImageIndex, &image, nullptr);
    const bool hasAlpha = (!useGlyph || GetBitmapBitsPerPixel(*AGlyph) == 32) && image.IsAlphaUsed();
    if (!hasAlpha) image.TransformBitmap(btmSetOpaque);
    TcxAlphaBitmap& mask = PrepareSharedAlphaBitmap(gSharedMask, iw, ih);
    CopyPictureInto(mask, image);
    if (!hasAlpha) {
      if (!useGlyph) {
        TcxAlphaBitmap listMask(iw, ih);
        TcxImageList::GetImageInfo(AImages, AImageIndex, nullptr, &listMask);
        listMask.TransformBitmap(btmCorrectBlend);
        mask.Filter(listMask);
      }
      if (ATransparentColor != clNone) mask.AddTransparentColor(ATransparentColor);
      if (AUseGlyphTransparentColor && useGlyph) mask.AddTransparentColor(AGlyph->TransparentColor());
      mask.TransformBitmap(btmMakeMask);
      image.Filter(mask);
    }
    uint8_t alpha = 255;
    switch (ADrawMode) {
      case idmDisabled:
        if (hasAlpha) {
          image.TransformBitmap(btmDisable);
          alpha = 151;
        } else {
          image.TransformBitmap(btmDirty);
          DrawShadow(draw, mask, glyphRect, clBtnHighlight, 1, false, hasAlpha);
        }
        break;
      case idmFaded:
        image.TransformBitmap(btmFade);
        alpha = 64;
        break;
      case idmGrayScale: image.TransformBitmap(btmGrayScale); break;
      case idmDingy: image.TransformBitmap(btmDingy); break;
      case idmShadowed:
        DrawShadow(draw, mask, glyphRect, clBtnShadow, 2, true, hasAlpha);
        glyphRect.right += 2;
        glyphRect.bottom += 2;
        OffsetRect(&glyphRect, -1, -1);
        break;
      default: break;
    }
    image.AlphaBlend(draw, glyphRect, ASmoothImage, alpha);
  }
  CopyBitmapToDC(ADC, draw, ADrawRect, SRCCOPY);
}

TcxScreenCanvas* GetScreenCanvas() {
  if (!gScreenCanvas && !gFinalizing) gScreenCanvas = new TcxScreenCanvas();
  return gScreenCanvas;
}

TcxPaintCanvas* GetPaintCanvas() {
  if (!gPaintCanvas && !gFinalizing) gPaintCanvas = new TcxPaintCanvas();
  return gPaintCanvas;
}

void cxGraphicsUnitStart() {
  gFinalizing = false;
  gPlatform = TcxGraphicsPlatform{RunsOnWin9x, RunsOnWinNT, RunsUnderWow64, true};
  // The 50 % checker: rows alternate 0xAA and 0x55.
  static const WORD kChecker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kChecker);
  gCheckerBrush = CreatePatternBrush(pattern);
  DeleteObject(pattern);
  gMsImg32 = LoadLibraryW(L"msimg32.dll");
  gAlphaBlend = gMsImg32 ? reinterpret_cast<AlphaBlendProc>(reinterpret_cast<void*>(GetProcAddress(gMsImg32, "AlphaBlend")))
                         : nullptr;
  HDC screen = GetDC(nullptr);
  gPixelsPerInchX = GetDeviceCaps(screen, LOGPIXELSX);
  gPixelsPerInchY = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RegisterClass(&TcxBitmap::StaticClassInfo());
  RegisterClass(&TcxBitmap32::StaticClassInfo());
}

void cxGraphicsUnitStop() {
  gFinalizing = true;
  delete std::exchange(gScreenCanvas, nullptr);
  delete std::exchange(gPaintCanvas, nullptr);
  delete std::exchange(glyph_drawing::gSharedMask, nullptr);
  delete std::exchange(glyph_drawing::gSharedImage, nullptr);
  delete std::exchange(glyph_drawing::gSharedDraw, nullptr);
  UnRegisterClass(&TcxBitmap::StaticClassInfo());
  UnRegisterClass(&TcxBitmap32::StaticClassInfo());
  if (gCheckerBrush) DeleteObject(gCheckerBrush);
  gCheckerBrush = nullptr;
  gAlphaBlend = nullptr;
  if (gMsImg32) FreeLibrary(gMsImg32);
  gMsImg32 = nullptr;
}

}  // namespace tvk
