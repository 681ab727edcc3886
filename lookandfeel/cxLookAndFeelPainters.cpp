#include "cxLookAndFeelPainters.h"

#include "cxLookAndFeels.h"
#include "dxCore.h"
#include "dxOffice11.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tvk {

namespace {

int PntWidth(const RECT& R) { return R.right - R.left; }
int PntHeight(const RECT& R) { return R.bottom - R.top; }
RECT PntShrink(const RECT& R, int N) { return {R.left + N, R.top + N, R.right - N, R.bottom - N}; }
RECT PntShrink(const RECT& R, const RECT& M) { return {R.left + M.left, R.top + M.top, R.right - M.right, R.bottom - M.bottom}; }
RECT PntOffset(const RECT& R, int DX, int DY) { return {R.left + DX, R.top + DY, R.right + DX, R.bottom + DY}; }
bool PntIsEmpty(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }
// Halving rounded down (toward minus infinity).
int PntHalfDown(int A) { return A >= 0 ? A / 2 : -((-A + 1) / 2); }

int PntTextFlags(TAlignment AHorz, TcxAlignmentVert AVert, bool AMultiLine, bool AShowEndEllipsis) {
  static constexpr int kHorz[] = {cxTextAlignLeft, cxTextAlignRight, cxTextAlignHCenter};
  static constexpr int kVert[] = {cxTextAlignTop, cxTextAlignBottom, cxTextAlignVCenter};
  int flags = kHorz[int(AHorz)] | kVert[int(AVert)] | (AMultiLine ? cxTextWordBreak : cxTextSingleLine);
  if (AShowEndEllipsis) flags |= cxTextShowEndEllipsis;
  return flags;
}

void PntSetBrushAndPen(TcxCanvas& ACanvas, TColor AColor) {
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.Brush().SetColor(AColor);
  ACanvas.Pen().SetStyle(TPenStyle::psSolid);
  ACanvas.Pen().SetWidth(1);
  ACanvas.Pen().SetColor(AColor);
}

void PntSetPen(TcxCanvas& ACanvas, TColor AColor) {
  ACanvas.Pen().SetStyle(TPenStyle::psSolid);
  ACanvas.Pen().SetWidth(1);
  ACanvas.Pen().SetColor(AColor);
}

void PntPolygon(TcxCanvas& ACanvas, std::span<const POINT> APoints, TColor AColor) {
  PntSetBrushAndPen(ACanvas, AColor);
  ACanvas.Canvas()->Polygon(APoints);
}

void PntLine(TcxCanvas& ACanvas, int X1, int Y1, int X2, int Y2) {
  ACanvas.Canvas()->MoveTo(X1, Y1);
  ACanvas.Canvas()->LineTo(X2, Y2);
}

void PntSetFont(TcxCanvas& ACanvas, TFont* AFont) {
  if (AFont) ACanvas.Font().Assign(*AFont);
}

// The Office 2003 scheme colours the base painter borrows.
constexpr int kOffice11GroupRowColor = 4, kOffice11GroupRowSeparatorColor = 17, kOffice11GroupRowTextColor = 5,
              kOffice11DisabledBorderColor = 32, kOffice11HighlightedBorderColor = 22;

// ---- Process-wide state of the unit

TcxLookAndFeelPaintersManager* gPaintersManager = nullptr;
TcxRadioButtonImageList* gRadioButtonImageList = nullptr;
std::vector<int> gRadioButtonImageIndexMap;
SIZE gCheckBoxGlyphSize{};
TImageList* gIndicatorImages = nullptr;
TBitmap* gScrollBarPatterns[2] = {};
bool gPaintersFinalizing = true;

class TPaintersPaletteNotifier : public TcxSystemPaletteChangedNotifier {
public:
  TPaintersPaletteNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void NotifyPaletteChange() override {
    if (gRadioButtonImageList) gRadioButtonImageList->Reset();
  }
};
TPaintersPaletteNotifier* gPaintersPaletteNotifier = nullptr;

// The system check-box bitmap: 4 columns and 3 rows of equal cells.
constexpr int kObmCheckBoxes = 32759;  // OBM_CHECKBOXES (defined only under OEMRESOURCE)
SIZE MeasureSystemCheckBoxCell() {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, MAKEINTRESOURCEW(kObmCheckBoxes), IMAGE_BITMAP, 0, 0,
                                                   LR_DEFAULTCOLOR | LR_SHARED));
  BITMAP info{};
  SIZE size{13, 13};
  if (bitmap && GetObjectW(bitmap, sizeof(info), &info)) size = {info.bmWidth / 4, info.bmHeight / 3};
  if (bitmap) DeleteObject(bitmap);
  return size;
}

constexpr const wchar_t* kIndicatorBitmaps[] = {L"CX_ARROWBITMAP",     L"CX_EDITBITMAP",       L"CX_INSERTBITMAP",
                                                L"CX_MULTIDOTBITMAP", L"CX_MULTIARROWBITMAP", L"CX_FILTERBITMAP"};

void LoadIndicatorImages() {
  for (const wchar_t* name : kIndicatorBitmaps) {
    if (!FindResourceW(ClassLibraryInstance(), name, MAKEINTRESOURCEW(2))) continue;  // RT_BITMAP
    TBitmap bitmap;
    bitmap.LoadFromResourceName(ClassLibraryInstance(), name);
    if (!gIndicatorImages) {
      gIndicatorImages = new TImageList(nullptr);
      gIndicatorImages->SetSize(bitmap.Width(), bitmap.Height());
    }
    gIndicatorImages->AddMasked(bitmap, clWhite);
  }
}

}  // namespace

TcxLookAndFeelKind PainterStyleToKind(TcxLookAndFeelStyle AStyle) {
  static constexpr TcxLookAndFeelKind kKinds[] = {lfFlat, lfStandard, lfUltraFlat, lfStandard, lfOffice11, lfUltraFlat};
  return kKinds[AStyle];
}

// ===================================================================== base painter: shared

TColor TcxCustomLookAndFeelPainter::DefaultHighlightedHeaderTextColor() {
  return IsWinVistaOrLater ? TColor(0xCC6600) : clHighlightText;
}

void TcxCustomLookAndFeelPainter::DrawBoxBackground(TcxCanvas& ACanvas, const RECT& R, bool ATransparent,
                                                    TColor AColor, TBitmap* ABitmap) {
  if (!ATransparent)
    ACanvas.FillRect(R, AColor);
  else if (ABitmap)
    ACanvas.FillRect(R, ABitmap);
}

void TcxCustomLookAndFeelPainter::DrawDropDownArrow(TcxCanvas& ACanvas, const RECT& R, TColor AColor) {
  int w = PntWidth(R) / 2;
  if (w % 2 == 0) ++w;
  const int h = w / 2 + 1;
  const int y = MulDiv(R.top + R.bottom - h, 1, 2);
  const int x0 = (R.left + R.right - w) / 2;
  const POINT p[] = {{x0, y}, {x0 + w - 1, y}, {x0 + w / 2, y + h - 1}};
  PntPolygon(ACanvas, p, AColor);
}

void TcxCustomLookAndFeelPainter::DrawContent(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                              TcxButtonState AState, TAlignment AAlignmentHorz,
                                              TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                              bool AShowEndEllipsis, const WideString& AText, TFont* AFont,
                                              TColor ATextColor, TColor ABkColor,
                                              const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsFooter) {
  (void)AState, (void)AIsFooter;
  if (!(AOnDrawBackground && AOnDrawBackground(ACanvas, ABounds))) ACanvas.FillRect(ABounds, ABkColor);
  if (AText.empty()) return;
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  PntSetFont(ACanvas, AFont);
  ACanvas.Font().SetColor(ATextColor);
  ACanvas.DrawTexT(AText, ATextAreaBounds, PntTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis));
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawFilterSmartTagGlyph(TcxCanvas& ACanvas, const RECT& R,
                                                          TcxFilterSmartTagState AState, bool AIsFilterActive) {
  static constexpr POINT kFunnel[] = {{0, 0}, {5, 0}, {5, 2}, {4, 2}, {4, 3}, {3, 3}, {3, 5},
                                      {2, 5}, {2, 3}, {1, 3}, {1, 2}, {0, 2}, {0, 0}};
  const int x0 = PntHalfDown(R.left + R.right - 6), y0 = PntHalfDown(R.top + R.bottom - 6);
  POINT p[std::size(kFunnel)];
  for (std::size_t i = 0; i < std::size(kFunnel); ++i) p[i] = {kFunnel[i].x + x0, kFunnel[i].y + y0};
  PntSetPen(ACanvas, FilterSmartTagGlyphColor(AState, AIsFilterActive));
  ACanvas.Canvas()->Polyline(p);
}

RECT TcxCustomLookAndFeelPainter::FooterCellContentBounds(const RECT& ABounds) {
  return PntShrink(ABounds, FooterCellBorderSize());
}

RECT TcxCustomLookAndFeelPainter::FooterCellTextAreaBounds(const RECT& ABounds) {
  return PntShrink(FooterCellContentBounds(ABounds), 2);
}

TColor TcxCustomLookAndFeelPainter::FilterSmartTagGlyphColor(TcxFilterSmartTagState AState, bool AIsFilterActive) {
  switch (AState) {
    case fstsNormal:
    case fstsParentHot: return AIsFilterActive ? TColor(0xFF2600) : TColor(0x909090);
    case fstsHot: return 0x848484;
    case fstsPressed: return 0x303030;
  }
  return 0x909090;
}

RECT TcxCustomLookAndFeelPainter::SeparatorBounds(const RECT& R, int ASize, bool AIsVertical) {
  RECT result = R;
  if (AIsVertical) {
    result.left = PntHalfDown(R.left + R.right) - ASize / 2;
    result.right = result.left + ASize;
  } else {
    result.top = PntHalfDown(R.top + R.bottom) - ASize / 2;
    result.bottom = result.top + ASize;
  }
  return result;
}

TColor TcxCustomLookAndFeelPainter::DefaultEditorBackgroundColor(bool AIsDisabled) {
  return DefaultEditorBackgroundColorEx(AIsDisabled ? esckDisabled : esckNormal);
}

TColor TcxCustomLookAndFeelPainter::DefaultEditorTextColor(bool AIsDisabled) {
  return DefaultEditorTextColorEx(AIsDisabled ? esckDisabled : esckNormal);
}

TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorHeaderTextColor(bool AIsHighlight) {
  return AIsHighlight ? DefaultHighlightedHeaderTextColor() : DefaultHeaderTextColor();
}

// ===================================================================== arrows

void TcxCustomLookAndFeelPainter::CalculateArrowPoints(const RECT& R, TcxArrowPoints& P,
                                                       TcxArrowDirection AArrowDirection, bool AProportional,
                                                       int AArrowSize) {
  RECT r = R;
  if (AProportional) {
    const int d = PntWidth(r) - PntHeight(r);
    // Square about the centre; an odd difference leaves the extra pixel on the right (bottom).
    if (d > 0) {
      r.left += d / 2;
      r.right = r.left + PntHeight(r);
    } else if (d < 0) {
      r.top += -d / 2;
      r.bottom = r.top + PntWidth(r);
    }
  }
  const bool vertical = AArrowDirection == adUp || AArrowDirection == adDown;
  const int extent = vertical ? PntWidth(r) : PntHeight(r);
  const int n = AArrowSize ? AArrowSize : (extent - 1) / 4 + 1;
  const int cx = vertical ? 2 * n - 1 : n, cy = vertical ? n : 2 * n - 1;
  const int L = r.left, T = r.top, Rt = r.right, B = r.bottom;
  switch (AArrowDirection) {
    case adUp:
      P[1] = {(L + Rt - 1) / 2, MulDiv(T + B - cy, 1, 2)};
      P[0] = {(L + Rt - cx) / 2, P[1].y + cy - 1};
      P[2] = {P[0].x + cx - 1, P[0].y};
      break;
    case adDown:
      P[2] = {(L + Rt - cx) / 2, MulDiv(T + B - cy, 1, 2)};
      P[0] = {P[2].x + cx - 1, P[2].y};
      P[1] = {(L + Rt - 1) / 2, P[2].y + cy - 1};
      break;
    case adLeft:
      P[1] = {(L + Rt - cx) / 2, (T + B) / 2};
      P[2] = {P[1].x + cx - 1, MulDiv(T + B - cy, 1, 2)};
      P[0] = {P[2].x, P[2].y + cy - 1};
      break;
    case adRight:
      P[0] = {(L + Rt - cx) / 2, MulDiv(T + B - cy, 1, 2)};
      P[1] = {P[0].x + cx - 1, (T + B) / 2};
      P[2] = {P[0].x, P[0].y + cy - 1};
      break;
  }
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxArrowDirection AArrowDirection,
                                            TColor AColor) {
  TcxArrowPoints p;
  CalculateArrowPoints(R, p, AArrowDirection, true);
  PntPolygon(ACanvas, p, AColor);
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                            TcxArrowDirection AArrowDirection, bool ADrawBorder) {
  TcxArrowPoints p;
  CalculateArrowPoints(R, p, AArrowDirection, false);
  if (ADrawBorder)
    DrawArrowBorder(ACanvas, R, AState);
  else
    ACanvas.FillRect(R, ButtonColor(AState));
  PntPolygon(ACanvas, p, ButtonSymbolColor(AState));
}

void TcxCustomLookAndFeelPainter::DrawArrowBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  ACanvas.FillRect(R, ButtonColor(AState));
  DrawButtonBorder(ACanvas, R, AState);
}

void TcxCustomLookAndFeelPainter::DrawCollapseArrow(TcxCanvas& ACanvas, const RECT& R, TColor AColor,
                                                    int ALineWidth) {
  const int n = (std::min(PntWidth(R), PntHeight(R)) - 1) / 4;
  const int w = n + 3 * ALineWidth - 1;
  const int x = PntHalfDown(R.left + R.right - w);
  const int yc = (R.top + R.bottom) / 2;
  for (int chevron = 0; chevron < 2; ++chevron) {
    const int x0 = x + chevron * 2 * ALineWidth;
    for (int i = 0; i < n; ++i) {
      ACanvas.FillRect(RECT{x0 + i, yc - i, x0 + i + ALineWidth, yc - i + 1}, AColor);
      ACanvas.FillRect(RECT{x0 + i, yc + i, x0 + i + ALineWidth, yc + i + 1}, AColor);
    }
  }
}

void TcxCustomLookAndFeelPainter::DrawScrollBarArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                     TcxArrowDirection AArrowDirection) {
  RECT r = R;
  if (AState == cxbsPressed) r = PntOffset(r, ButtonTextShift(), ButtonTextShift());
  TcxArrowPoints p;
  CalculateArrowPoints(r, p, AArrowDirection, true);
  if (AState == cxbsDisabled) {
    TcxArrowPoints moved = p;
    for (POINT& q : moved) ++q.x, ++q.y;
    PntPolygon(ACanvas, moved, clBtnHighlight);
    PntPolygon(ACanvas, p, clBtnShadow);
  } else
    PntPolygon(ACanvas, p, ButtonSymbolColor(AState));
}

// ===================================================================== borders, buttons

void TcxCustomLookAndFeelPainter::DrawContainerBorder(TcxCanvas& ACanvas, const RECT& R,
                                                      TcxContainerBorderStyle AStyle, int AWidth, TColor AColor,
                                                      TcxBorders ABorders) {
  switch (AStyle) {
    case cbsSingle:
    case cbsThick: ACanvas.FrameRect(R, AColor, AWidth); break;
    case cbsFlat:
      ACanvas.DrawEdge(R, true, true, ABorders);
      ACanvas.FrameRect(PntShrink(R, 1), clBtnFace, 1);
      break;
    case cbs3D:
      ACanvas.DrawEdge(R, true, true, ABorders);
      ACanvas.DrawComplexFrame(PntShrink(R, 1), cl3DDkShadow, cl3DLight, ABorders, 1);
      break;
    default: break;
  }
}

void TcxCustomLookAndFeelPainter::DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) {
  (void)AIsVertical;
  const RECT r{R.left, R.top, R.right - 1, R.bottom - 1};
  ACanvas.FillRect(r, clBtnShadow);
  ACanvas.FillRect(PntOffset(r, 1, 1), clBtnHighlight);
}

RECT TcxCustomLookAndFeelPainter::ButtonTextRect(const RECT& R, TcxButtonState AState, bool ADrawBorder) {
  RECT r = ADrawBorder ? PntShrink(R, ButtonBorderSize(AState)) : R;
  // An even text height centres one-line captions the same way in every height.
  if (PntHeight(r) % 2 != 0) --r.bottom;
  if (PntHeight(r) < 18) --r.top;
  if (AState == cxbsPressed) r = PntOffset(r, ButtonTextShift(), ButtonTextShift());
  return r;
}

RECT TcxCustomLookAndFeelPainter::ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R) {
  (void)ACanvas;
  const RECT r = PntShrink(R, 4);
  return PntIsEmpty(r) ? R : r;
}

TColor TcxCustomLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) {
  if (AState == cxbsDisabled) return clBtnShadow;
  return ADefaultColor == clDefault ? clBtnText : ADefaultColor;
}

void TcxCustomLookAndFeelPainter::DrawButton(TcxCanvas& ACanvas, const RECT& R, const WideString& ACaption,
                                             TcxButtonState AState, bool ADrawBorder, TColor AColor,
                                             TColor ATextColor, bool AWordWrap, bool AIsToolButton) {
  (void)AIsToolButton;
  if (ADrawBorder) DrawButtonBorder(ACanvas, R, AState);
  ACanvas.FillRect(ADrawBorder ? PntShrink(R, ButtonBorderSize(AState)) : R,
                   AColor == clDefault ? ButtonColor(AState) : AColor);
  ACanvas.Font().SetColor(ATextColor == clDefault ? ButtonSymbolColor(AState) : ATextColor);
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  const RECT r = ButtonTextRect(R, AState, ADrawBorder);
  if (!ACaption.empty())
    ACanvas.DrawTexT(ACaption, r,
                     cxTextAlignHCenter | cxTextAlignVCenter | cxTextShowPrefix |
                         (AWordWrap ? cxTextWordBreak : cxTextSingleLine),
                     AState != cxbsDisabled);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawButtonCross(TcxCanvas& ACanvas, const RECT& R, TColor AColor,
                                                  TcxButtonState AState) {
  int s = FilterCloseButtonSize().x / 2;
  if (s % 2 == 0) --s;
  int x = (R.left + R.right - s) / 2, y = (R.top + R.bottom - s) / 2;
  if (AState == cxbsPressed) ++x, ++y;
  PntSetPen(ACanvas, AColor);
  for (int dx = 0; dx < 2; ++dx) {
    PntLine(ACanvas, x + dx, y, x + dx + s, y + s);
    PntLine(ACanvas, x + dx, y + s - 1, x + dx + s, y - 1);
  }
}

// ===================================================================== expand buttons

void TcxCustomLookAndFeelPainter::DrawPlusMinusSign(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                    TColor AColor) {
  const int cx = (R.left + R.right) / 2, cy = (R.top + R.bottom) / 2;
  const int half = (PntWidth(R) - 4) / 2;
  ACanvas.FillRect(RECT{cx - half, cy, cx + half + 1, cy + 1}, AColor);
  if (!AExpanded) ACanvas.FillRect(RECT{cx, cy - half, cx + 1, cy + half + 1}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                        TColor ABorderColor, TColor AColor) {
  ACanvas.FrameRect(R, ABorderColor);
  if (AColor != clDefault) ACanvas.FillRect(PntShrink(R, 1), AColor);
  DrawPlusMinusSign(ACanvas, R, AExpanded, clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawGroupExpandGlyph(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                       TcxButtonState AState) {
  constexpr int N = 3;
  const int x = (R.left + R.right - (2 * N + 1)) / 2;
  const int y0 = (R.top + R.bottom - 8) / 2;
  const int c = AExpanded ? 1 : -1;
  static constexpr int kRows[] = {0, 1, 4, 5};
  PntSetPen(ACanvas, ButtonSymbolColor(AState));
  for (int k = 0; k < 4; ++k) {
    const int f = AExpanded ? k % 2 : 1 - k % 2;
    const int yy = y0 + kRows[k] + (AExpanded ? N : 0);
    const POINT p[] = {{x + f, yy - c * f}, {x + N, yy - N * c}, {x + 2 * N + 1 - f, yy + (1 - f) * c}};
    ACanvas.Canvas()->Polyline(p);
  }
}

void TcxCustomLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                        TcxButtonState AState) {
  DrawButton(ACanvas, R, {}, AState);
  DrawGroupExpandGlyph(ACanvas, R, AExpanded, AState);
}

void TcxCustomLookAndFeelPainter::DrawExpandButtonEx(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                     bool AExpanded, TcxRotationAngle ARotationAngle) {
  DrawButton(ACanvas, R, {}, AState);
  const bool turned = ARotationAngle == raPlus90 || ARotationAngle == raMinus90;
  TcxBitmap32 bitmap(turned ? PntHeight(R) : PntWidth(R), turned ? PntWidth(R) : PntHeight(R));
  bitmap.cxCanvas().FillRect(bitmap.ClientRect(), ButtonColor(AState));
  DrawGroupExpandGlyph(bitmap.cxCanvas(), bitmap.ClientRect(), AExpanded, AState);
  TcxCanvas::RotateBitmap(bitmap, ARotationAngle);
  BitBlt(ACanvas.Handle(), R.left, R.top, PntWidth(R), PntHeight(R), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

bool TcxCustomLookAndFeelPainter::IsPointOverGroupExpandButton(const RECT& R, POINT P) {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

// ===================================================================== headers

void TcxCustomLookAndFeelPainter::DrawHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                             TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                             TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                             bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                                             TFont* AFont, TColor ATextColor, TColor ABkColor,
                                             const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast,
                                             bool AIsGroup) {
  (void)AIsLast, (void)AIsGroup;
  DrawHeaderBorder(ACanvas, ABounds, ANeighbors, ABorders);
  DrawContent(ACanvas, HeaderContentBounds(ABounds, ABorders), ATextAreaBounds, AState, AAlignmentHorz,
              AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground,
              false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderEx(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                               TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                               TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                               bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                                               TFont* AFont, TColor ATextColor, TColor ABkColor,
                                               const TcxDrawBackgroundEvent& AOnDrawBackground) {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert,
             AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground, false, false);
}

void TcxCustomLookAndFeelPainter::DrawHeaderPressed(TcxCanvas& ACanvas, const RECT& ABounds) {
  ACanvas.InvertRect(ABounds);
}

RECT TcxCustomLookAndFeelPainter::HeaderBounds(const RECT& ABounds, TcxNeighbors ANeighbors, TcxBorders ABorders) {
  const TcxBorders grow = ABorders & ~HeaderBorders(ANeighbors);
  const int s = HeaderBorderSize();
  RECT r = ABounds;
  if (grow & bLeft) r.left -= s;
  if (grow & bTop) r.top -= s;
  if (grow & bRight) r.right += s;
  if (grow & bBottom) r.bottom += s;
  return r;
}

RECT TcxCustomLookAndFeelPainter::HeaderContentBounds(const RECT& ABounds, TcxBorders ABorders) {
  const int s = HeaderBorderSize();
  RECT r = ABounds;
  if (ABorders & bLeft) r.left += s;
  if (ABorders & bTop) r.top += s;
  if (ABorders & bRight) r.right -= s;
  if (ABorders & bBottom) r.bottom -= s;
  return r;
}

RECT TcxCustomLookAndFeelPainter::HeaderControlSectionTextAreaBounds(const RECT& ABounds, TcxButtonState AState) {
  return AState == cxbsPressed ? PntOffset(ABounds, 1, 1) : ABounds;
}

RECT TcxCustomLookAndFeelPainter::HeaderControlSectionContentBounds(const RECT& ABounds, TcxButtonState AState) {
  return PntShrink(ABounds, HeaderControlSectionBorderSize(AState));
}

int TcxCustomLookAndFeelPainter::HeaderWidth(TcxCanvas& ACanvas, TcxBorders ABorders, const WideString& AText,
                                             TFont* AFont) {
  PntSetFont(ACanvas, AFont);
  int result = ACanvas.TextWidth(AText) + 4;
  if (ABorders & bLeft) result += HeaderBorderSize();
  if (ABorders & bRight) result -= HeaderBorderSize();
  return result;
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors, TcxBorders ABorders,
    TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
    bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor) {
  (void)ANeighbors;
  DrawHeaderControlSectionBorder(ACanvas, ABounds, ABorders, AState);
  DrawHeaderControlSectionContent(ACanvas, HeaderControlSectionContentBounds(ABounds, AState), ATextAreaBounds, AState,
                                  AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                                  ATextColor, ABkColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
    const WideString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor) {
  ACanvas.FillRect(ABounds, ABkColor);
  DrawHeaderControlSectionText(ACanvas, HeaderControlSectionTextAreaBounds(ATextAreaBounds, AState), AState,
                               AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont,
                               ATextColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionText(TcxCanvas& ACanvas, const RECT& ATextAreaBounds,
                                                               TcxButtonState AState, TAlignment AAlignmentHorz,
                                                               TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                               bool AShowEndEllipsis, const WideString& AText,
                                                               TFont* AFont, TColor ATextColor) {
  if (AText.empty()) return;
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  PntSetFont(ACanvas, AFont);
  const int flags = PntTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  if (AState == cxbsDisabled) {
    ACanvas.Font().SetColor(clBtnHighlight);
    ACanvas.DrawTexT(AText, PntOffset(ATextAreaBounds, 1, 1), flags);
    ACanvas.Font().SetColor(clBtnShadow);
  } else
    ACanvas.Font().SetColor(ATextColor);
  ACanvas.DrawTexT(AText, ATextAreaBounds, flags);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TcxCustomLookAndFeelPainter::DrawHeaderSeparator(TcxCanvas& ACanvas, const RECT& ABounds, int AIndentSize,
                                                      TColor AColor, const TcxViewParams& AViewParams) {
  RECT left{ABounds.left, ABounds.top, ABounds.left + AIndentSize, ABounds.bottom};
  RECT right{ABounds.right - AIndentSize, ABounds.top, ABounds.right, ABounds.bottom};
  ACanvas.FillRect(left, AViewParams, 0, clNone, 0);
  ACanvas.FillRect(right, AViewParams, 0, clNone, 0);
  ACanvas.FillRect(RECT{ABounds.left + AIndentSize, ABounds.top, ABounds.right - AIndentSize, ABounds.bottom}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSortingArrow(TcxCanvas& ACanvas, const RECT& R, TColor ADarkColor,
                                                   TColor ALightColor, bool AAscending) {
  const POINT size = SortingMarkSize();
  const int w = size.x, h = size.y, s = AAscending ? 1 : -1;
  const int xc = (R.left + R.right) / 2 - (w % 2 == 0 ? 1 : 0);
  const int yb = AAscending ? (R.top + R.bottom - h) / 2 : (R.top + R.bottom + h) / 2 - 1;
  const int a = w / 2, b = (w - 1) / 2;
  TCanvas& c = *ACanvas.Canvas();
  PntSetPen(ACanvas, ALightColor);
  c.MoveTo(xc + a, yb + (h - 2) * s);
  c.LineTo(xc + a - b, yb);
  c.LineTo(xc + a, yb + (h - 1) * s);
  if (!AAscending) PntSetPen(ACanvas, ADarkColor);
  c.LineTo(xc - b, yb + (h - 1) * s);
  if (AAscending) PntSetPen(ACanvas, ADarkColor);
  c.LineTo(xc, yb);
  c.LineTo(xc - b, yb + (h - (w % 2)) * s);
}

void TcxCustomLookAndFeelPainter::DrawSummarySortingArrow(TcxCanvas& ACanvas, const RECT& R, TColor ADarkColor,
                                                          TColor ALightColor, bool AAscending) {
  const POINT size = SummarySortingMarkSize();
  const int w = size.x, h = size.y - 2, s = AAscending ? 1 : -1;
  const int xc = (R.left + R.right) / 2 - (w % 2 == 0 ? 1 : 0);
  const int a = w / 2, b = (w - 1) / 2;
  PntSetPen(ACanvas, ADarkColor);
  PntLine(ACanvas, xc - b, R.top, xc + a + 1, R.top);
  if (ADarkColor != ALightColor) {
    PntSetPen(ACanvas, ALightColor);
    PntLine(ACanvas, xc - b, R.top + 1, xc + a + 1, R.top + 1);
  }
  const int yb = (AAscending ? (R.top + R.bottom - h) / 2 : (R.top + R.bottom + h) / 2 - 1) + 2;
  TCanvas& c = *ACanvas.Canvas();
  PntSetPen(ACanvas, ALightColor);
  c.MoveTo(xc + a, yb + (h - 2) * s);
  c.LineTo(xc + a - b, yb);
  c.LineTo(xc + a, yb + (h - 1) * s);
  if (!AAscending) PntSetPen(ACanvas, ADarkColor);
  c.LineTo(xc - b, yb + (h - 1) * s);
  if (AAscending) PntSetPen(ACanvas, ADarkColor);
  c.LineTo(xc, yb);
  c.LineTo(xc - b, yb + (h - (w % 2)) * s);
}

TcxArrowDirection TcxCustomLookAndFeelPainter::ScrollBarArrowDirection(bool AHorizontal, TcxScrollBarPart APart) {
  if (AHorizontal) return APart == sbpLineUp ? adLeft : adRight;
  return APart == sbpLineUp ? adUp : adDown;
}

// ===================================================================== grid, layout view

TColor TcxCustomLookAndFeelPainter::GridGroupRowStyleOffice11ContentColor(bool AHasData) {
  return AHasData ? clWindow : Office11SchemeColor(kOffice11GroupRowColor);
}

TColor TcxCustomLookAndFeelPainter::GridGroupRowStyleOffice11SeparatorColor() {
  return Office11SchemeColor(kOffice11GroupRowSeparatorColor);
}

TColor TcxCustomLookAndFeelPainter::GridGroupRowStyleOffice11TextColor() {
  return Office11SchemeColor(kOffice11GroupRowTextColor);
}

void TcxCustomLookAndFeelPainter::LayoutViewDrawItem(TcxCanvas& ACanvas, const RECT& ABounds, TcxButtonState AState,
                                                     TcxBorders ABorders) {
  (void)ABorders;
  ACanvas.FillRect(ABounds, AState == cxbsPressed ? DefaultSelectionColor() : DefaultGroupColor());
}

void TcxCustomLookAndFeelPainter::LayoutViewDrawRecordBorder(TcxCanvas& ACanvas, const RECT& ABounds,
                                                             TcxButtonState AState, TcxBorders ABorders) {
  ACanvas.FrameRect(ABounds, AState == cxbsHot ? DefaultSelectionColor() : clBtnShadow, 1, ABorders, true);
}

void TcxCustomLookAndFeelPainter::LayoutViewDrawRecordCaption(TcxCanvas& ACanvas, const RECT& ABounds,
                                                              TcxGroupBoxCaptionPosition APosition,
                                                              TcxButtonState AState) {
  (void)APosition;
  LayoutViewDrawRecordBorder(ACanvas, ABounds, AState, cxBordersAll);
  ACanvas.FillRect(ABounds, AState == cxbsHot ? DefaultSelectionColor() : DefaultGroupColor());
}

void TcxCustomLookAndFeelPainter::LayoutViewDrawRecordContent(TcxCanvas& ACanvas, const RECT& ABounds,
                                                              TcxGroupBoxCaptionPosition ACaptionPosition,
                                                              TcxButtonState AState, TcxBorders ABorders) {
  (void)ACaptionPosition;
  LayoutViewDrawRecordBorder(ACanvas, ABounds, AState, ABorders);
  ACanvas.FillRect(ABounds, DefaultGroupColor());
}

// ===================================================================== footers

void TcxCustomLookAndFeelPainter::DrawFooterCell(TcxCanvas& ACanvas, const RECT& ABounds, TAlignment AAlignmentHorz,
                                                 TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                 const WideString& AText, TFont* AFont, TColor ATextColor,
                                                 TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) {
  DrawFooterCellBorder(ACanvas, ABounds);
  DrawFooterCellContent(ACanvas, ABounds, AAlignmentHorz, AAlignmentVert, AMultiLine, AText, AFont, ATextColor,
                        ABkColor, AOnDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawFooterCellContent(TcxCanvas& ACanvas, const RECT& ABounds,
                                                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                        bool AMultiLine, const WideString& AText, TFont* AFont,
                                                        TColor ATextColor, TColor ABkColor,
                                                        const TcxDrawBackgroundEvent& AOnDrawBackground) {
  DrawContent(ACanvas, FooterCellContentBounds(ABounds), FooterCellTextAreaBounds(ABounds), cxbsDefault,
              AAlignmentHorz, AAlignmentVert, AMultiLine, false, AText, AFont, ATextColor, ABkColor,
              AOnDrawBackground, true);
}

void TcxCustomLookAndFeelPainter::DrawFooterBorderEx(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders) {
  (void)ABorders;
  const int band = FooterSeparatorSize();
  DrawFooterSeparator(ACanvas, RECT{R.left, R.top, R.right, R.top + band});
  DrawFooterBorder(ACanvas, RECT{R.left, R.top + band, R.right, R.bottom});
}

void TcxCustomLookAndFeelPainter::DrawFooterContent(TcxCanvas& ACanvas, const RECT& ARect,
                                                    const TcxViewParams& AViewParams) {
  if (PntIsEmpty(ARect)) return;
  RECT r = ARect;
  ACanvas.FillRect(r, AViewParams, 0, clNone, 0);
}

void TcxCustomLookAndFeelPainter::DrawFooterSeparator(TcxCanvas& ACanvas, const RECT& R) {
  ACanvas.FillRect(R, FooterSeparatorColor());
}

void TcxCustomLookAndFeelPainter::DrawFooterPanel(TcxCanvas& ACanvas, const RECT& ABounds,
                                                  const TcxViewParams& AViewParams, TcxBorders ABorders) {
  ACanvas.SaveClipRegion();
  try {
    ACanvas.IntersectClipRect(ABounds);
    DrawFooterContent(ACanvas, ABounds, AViewParams);
    DrawFooterBorderEx(ACanvas, ABounds, ABorders);
  } catch (...) {
    ACanvas.RestoreClipRegion();
    throw;
  }
  ACanvas.RestoreClipRegion();
}

// ===================================================================== filter elements

void TcxCustomLookAndFeelPainter::DrawFilterActivateButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                           bool AChecked) {
  DrawCheckButton(ACanvas, R, AState, AChecked);
}

void TcxCustomLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  DrawButtonBorder(ACanvas, R, AState);
  const RECT r = PntShrink(R, ButtonBorderSize(cxbsNormal));
  ACanvas.FillRect(r, ButtonColor(AState));
  DrawButtonCross(ACanvas, r, ButtonSymbolColor(AState), ButtonSymbolState(AState));
}

void TcxCustomLookAndFeelPainter::DrawFilterSmartTag(TcxCanvas& ACanvas, const RECT& R, TcxFilterSmartTagState AState,
                                                     bool AIsFilterActive) {
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  PntSetPen(ACanvas, FilterSmartTagGlyphColor(AState, AIsFilterActive));
  ACanvas.Canvas()->Rectangle(R.left, R.top, R.right, R.bottom);
  DrawFilterSmartTagGlyph(ACanvas, R, AState, AIsFilterActive);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

// ===================================================================== popups, hints

void TcxCustomLookAndFeelPainter::DrawEditPopupWindowBorder(TcxCanvas& ACanvas, RECT& R,
                                                            TcxEditPopupBorderStyle ABorderStyle, bool AClientEdge) {
  switch (ABorderStyle) {
    case epbsSingle: ACanvas.FrameRect(R, clBtnText); break;
    case epbsFrame3D:
    case epbsFlat:
      ACanvas.DrawEdge(R, false, true);
      R = PntShrink(R, 1);
      ACanvas.DrawEdge(R, false, false);
      if (ABorderStyle == epbsFrame3D) {
        R = PntShrink(R, 1);
        ACanvas.FrameRect(R, AClientEdge ? TColor(kSystemColor | COLOR_INACTIVEBORDER) : clBtnFace);
        R = PntShrink(R, 1);
        if (AClientEdge)
          ACanvas.FrameRect(R, clBtnFace);
        else
          ACanvas.DrawEdge(R, true, true);
      }
      break;
    case epbsDefault: break;
  }
  R = PntShrink(R, 1);
}

int TcxCustomLookAndFeelPainter::GetEditPopupWindowBorderWidth(TcxEditPopupBorderStyle AStyle) {
  static constexpr int kWidths[] = {0, 1, 4, 2};
  return kWidths[AStyle];
}

int TcxCustomLookAndFeelPainter::GetEditPopupWindowClientEdgeWidth(TcxEditPopupBorderStyle AStyle) {
  static constexpr int kWidths[] = {0, 2, 2, 1};
  return kWidths[AStyle];
}

void TcxCustomLookAndFeelPainter::DrawHintBackground(TcxCanvas& ACanvas, const RECT& ARect, TColor AColor) {
  ACanvas.FillRect(ARect, AColor == clDefault ? TColor(kSystemColor | COLOR_INFOBK) : AColor);
}

void TcxCustomLookAndFeelPainter::ScreenTipDrawBackground(TcxCanvas& ACanvas, const RECT& ARect) {
  DrawHintBackground(ACanvas, PntShrink(ARect, 1), clDefault);
  PntSetPen(ACanvas, kSystemColor | COLOR_WINDOWFRAME);
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  RoundRect(ACanvas.Canvas()->StateHandle(), ARect.left, ARect.top, ARect.right, ARect.bottom, 2, 2);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TcxCustomLookAndFeelPainter::ScreenTipDrawFooterLine(TcxCanvas& ACanvas, const RECT& ARect) {
  ACanvas.FillRect(RECT{ARect.left, ARect.top, ARect.right, ARect.top + 1}, kSystemColor | COLOR_WINDOWFRAME);
  ACanvas.FillRect(RECT{ARect.left, ARect.top + 1, ARect.right, ARect.top + 2}, clWhite);
}

int TcxCustomLookAndFeelPainter::PopupPanelSize() {
  return std::max({GetSystemMetrics(SM_CYHSCROLL) + 3, int(SizeGripSize().cy) + 4,
                   int(SmallCloseButtonSize().cy) + 6});
}

void TcxCustomLookAndFeelPainter::CalculatePopupPanelClientRect(RECT& AClientRect, RECT& APanelRect, RECT& AGripRect,
                                                                RECT& ACloseButtonRect, TdxCorner ACorner,
                                                                const RECT& ABorders, const RECT& APanelBorders,
                                                                int APanelHeight, bool AShowCloseButton,
                                                                bool AShowGripSize) {
  const int height = APanelHeight ? APanelHeight : PopupPanelSize();
  const bool top = ACorner == coTopLeft || ACorner == coTopRight;
  const bool right = ACorner == coTopRight || ACorner == coBottomRight;
  AClientRect = PntShrink(AClientRect, ABorders);
  APanelRect = AClientRect;
  if (top) {
    APanelRect.bottom = APanelRect.top + height;
    AClientRect.top = APanelRect.bottom;
  } else {
    APanelRect.top = APanelRect.bottom - height;
    AClientRect.bottom = APanelRect.top;
  }
  AGripRect = {};
  if (AShowGripSize) {
    const SIZE grip = SizeGripSize();
    AGripRect.left = right ? APanelRect.right - 2 - grip.cx : APanelRect.left + 2;
    AGripRect.top = top ? APanelRect.top + 2 : APanelRect.bottom - 2 - grip.cy;
    AGripRect.right = AGripRect.left + grip.cx;
    AGripRect.bottom = AGripRect.top + grip.cy;
  }
  ACloseButtonRect = {};
  if (AShowCloseButton) {
    const RECT r = PntShrink(APanelRect, APanelBorders);
    const int side = PntHeight(r);
    const RECT square = right ? RECT{r.left, r.top, r.left + side, r.bottom} : RECT{r.right - side, r.top, r.right, r.bottom};
    const SIZE size = SmallCloseButtonSize();
    ACloseButtonRect.left = (square.left + square.right - size.cx) / 2;
    ACloseButtonRect.top = (square.top + square.bottom - size.cy) / 2;
    ACloseButtonRect.right = ACloseButtonRect.left + size.cx;
    ACloseButtonRect.bottom = ACloseButtonRect.top + size.cy;
  }
}

void TcxCustomLookAndFeelPainter::DrawPopupNCPanel(HWND AHandle, bool AMouseAboveCloseButton,
                                                   bool ACloseButtonIsTracking, TdxCorner ACorner,
                                                   const RECT& ACloseButtonRect, const RECT& AGripRect,
                                                   TColor ABorderColor) {
  TcxPaintCanvas* canvas = GetPaintCanvas();
  if (!canvas) return;
  HDC dc = GetWindowDC(AHandle);
  if (!dc) return;
  canvas->BeginPaint(dc);
  try {
    RECT window{}, client{};
    GetWindowRect(AHandle, &window);
    GetClientRect(AHandle, &client);
    MapWindowPoints(AHandle, nullptr, reinterpret_cast<POINT*>(&client), 2);
    client = PntOffset(client, -window.left, -window.top);
    const RECT whole = PntOffset(window, -window.left, -window.top);
    const int border = client.left;
    canvas->FrameRect(whole, ABorderColor, border);
    RECT band = PntShrink(whole, border);
    const bool top = ACorner == coTopLeft || ACorner == coTopRight;
    if (top)
      band.bottom = client.top;
    else
      band.top = client.bottom;
    const RECT grip = PntOffset(AGripRect, -window.left, -window.top);
    const RECT close = PntOffset(ACloseButtonRect, -window.left, -window.top);
    const TcxButtonState state = AMouseAboveCloseButton && ACloseButtonIsTracking   ? cxbsPressed
                                 : AMouseAboveCloseButton || ACloseButtonIsTracking ? cxbsHot
                                                                                    : cxbsNormal;
    const RECT separator = top ? RECT{0, 0, 0, 1} : RECT{0, 1, 0, 0};
    DrawPopupPanelBand(*canvas, band, grip, close, ACorner, state, separator, ABorderColor, true, true);
  } catch (...) {
    canvas->EndPaint();
    ReleaseDC(AHandle, dc);
    throw;
  }
  canvas->EndPaint();
  ReleaseDC(AHandle, dc);
}

void TcxCustomLookAndFeelPainter::DrawPopupPanelBand(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& AGripRect,
                                                     const RECT& ACloseButtonRect, TdxCorner AGripCorner,
                                                     TcxButtonState ACloseButtonState, const RECT& ABorders,
                                                     TColor ABorderColor, bool AShowGripSize, bool AShowCloseButton) {
  const RECT interior = PntShrink(ABounds, ABorders);
  ACanvas.SaveClipRegion();
  ACanvas.ExcludeClipRect(interior);
  ACanvas.FillRect(ABounds, ABorderColor);
  ACanvas.RestoreClipRegion();
  if (AShowGripSize) {
    TcxBitmap grip(AGripRect);
    DrawWindowContent(grip.cxCanvas(), grip.ClientRect());
    DrawSizeGrip(grip.cxCanvas(), grip.ClientRect(), clNone, AGripCorner);
    BitBlt(ACanvas.Handle(), AGripRect.left, AGripRect.top, PntWidth(AGripRect), PntHeight(AGripRect),
           grip.Canvas().Handle(), 0, 0, SRCCOPY);
    ACanvas.ExcludeClipRect(AGripRect);
  }
  if (AShowCloseButton) {
    DrawWindowContent(ACanvas, ACloseButtonRect);
    DrawSmallCloseButton(ACanvas, ACloseButtonRect, ACloseButtonState);
    ACanvas.ExcludeClipRect(ACloseButtonRect);
  }
  DrawWindowContent(ACanvas, interior);
  ACanvas.ExcludeClipRect(ABounds);
}

// ===================================================================== indicators, scroll bars, size grip

void TcxCustomLookAndFeelPainter::DrawIndicatorCustomizationMark(TcxCanvas& ACanvas, const RECT& R, TColor AColor) {
  const int x = R.left + 3, w = PntWidth(R) - 6, y0 = (R.top + R.bottom - 9) / 2;
  for (int k = 0; k < 5; ++k) {
    const int y = y0 + 2 * k;
    ACanvas.FillRect(RECT{x + 2, y, x + w, y + 1}, AColor);
    if (k % 2 == 0) ACanvas.FillRect(RECT{x, y, x + 1, y + 1}, AColor);
  }
}

void TcxCustomLookAndFeelPainter::DrawIndicatorImage(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind) {
  TImageList* images = IndicatorImages();
  if (AKind == ikNone || !images || int(AKind) > images->Count()) return;
  ACanvas.Canvas()->Lock();
  images->Draw(*ACanvas.Canvas(), (R.left + R.right - images->Width()) / 2, (R.top + R.bottom - images->Height()) / 2,
               int(AKind) - 1, true);
  ACanvas.Canvas()->Unlock();
}

void TcxCustomLookAndFeelPainter::DrawIndicatorItem(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind,
                                                    TColor AColor, const TcxDrawBackgroundEvent& AOnDrawBackground) {
  DrawHeader(ACanvas, R, R, 0, HeaderBorders(nTop | nBottom), cxbsNormal, TAlignment::taLeftJustify,
             TcxAlignmentVert::vaTop, false, false, {}, nullptr, clNone, AColor, AOnDrawBackground, false, false);
  DrawIndicatorImage(ACanvas, R, AKind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorItemEx(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind,
                                                      TColor AColor, const TcxDrawBackgroundEvent& AOnDrawBackground) {
  DrawHeaderEx(ACanvas, R, R, 0, cxBordersAll, cxbsNormal, TAlignment::taLeftJustify, TcxAlignmentVert::vaTop, false,
               false, {}, nullptr, clNone, AColor, AOnDrawBackground);
  DrawIndicatorImage(ACanvas, R, AKind);
}

SIZE TcxCustomLookAndFeelPainter::SizeGripSize() {
  return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TcxCustomLookAndFeelPainter::DoDrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect) {
  RECT r = ARect;
  DrawFrameControl(ACanvas.Handle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

void TcxCustomLookAndFeelPainter::DrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect, TColor ABackgroundColor,
                                               TdxCorner ACorner) {
  TcxBitmap32 bitmap(PntWidth(ARect), PntHeight(ARect));
  bitmap.Canvas().Brush().Assign(ACanvas.Brush());
  if (ABackgroundColor == clNone)
    BitBlt(bitmap.Canvas().Handle(), 0, 0, bitmap.Width(), bitmap.Height(), ACanvas.Handle(), ARect.left, ARect.top,
           SRCCOPY);
  else
    bitmap.cxCanvas().FillRect(bitmap.ClientRect(), ABackgroundColor);
  DoDrawSizeGrip(bitmap.cxCanvas(), bitmap.ClientRect());
  switch (ACorner) {
    case coBottomRight: break;
    case coTopLeft: TcxCanvas::RotateBitmap(bitmap, ra180); break;
    case coTopRight: TcxCanvas::RotateBitmap(bitmap, ra0, true); break;
    case coBottomLeft: TcxCanvas::RotateBitmap(bitmap, ra180, true); break;
  }
  BitBlt(ACanvas.Handle(), ARect.left, ARect.top, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0,
         SRCCOPY);
}

// ===================================================================== scheduler, date navigator

void TcxCustomLookAndFeelPainter::SchedulerNavigationButtonSizes(bool AIsNextButton, RECT& ABorders,
                                                                 SIZE& AArrowSize, bool& AHasTextArea) {
  ABorders = AIsNextButton ? RECT{2, 6, 0, 6} : RECT{0, 6, 2, 6};
  AArrowSize = {7, 7};
  AHasTextArea = true;
}

void TcxCustomLookAndFeelPainter::CalculateSchedulerNavigationButtonRects(bool AIsNextButton, bool ACollapsed,
                                                                          SIZE APrevButtonTextSize,
                                                                          SIZE ANextButtonTextSize, RECT& ABounds,
                                                                          RECT& ATextRect, RECT& AArrowRect) {
  RECT borders{};
  SIZE arrow{};
  bool hasText = false;
  SchedulerNavigationButtonSizes(AIsNextButton, borders, arrow, hasText);
  const int a = 3 * arrow.cy;
  if (ACollapsed || !hasText) {
    ATextRect = {};
    const int h = a + borders.top + borders.bottom;
    ABounds.top += (PntHeight(ABounds) - h) / 2;
    ABounds.bottom = ABounds.top + h;
    AArrowRect.left = (ABounds.left + ABounds.right - arrow.cx) / 2;
    AArrowRect.top = (ABounds.top + ABounds.bottom - arrow.cy) / 2;
  } else {
    const RECT c = PntShrink(ABounds, borders);
    AArrowRect.left = (c.left + c.right - arrow.cx) / 2;
    AArrowRect.top = (2 * c.top + a - arrow.cy) / 2;
    ATextRect = {c.left, c.top + a + 5, c.right, c.bottom - 2 * arrow.cy};
    const int e = std::max(APrevButtonTextSize.cx, ANextButtonTextSize.cx) - PntHeight(ATextRect);
    if (e >= 1) {
      AArrowRect.top -= e;
      ATextRect.top -= e, ATextRect.bottom += e;
      ABounds.top -= e, ABounds.bottom += e;
    }
  }
  AArrowRect.right = AArrowRect.left + arrow.cx;
  AArrowRect.bottom = AArrowRect.top + arrow.cy;
}

void TcxCustomLookAndFeelPainter::DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText,
                                                  TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                                                  TcxArrowDirections AArrows, int ASideWidth,
                                                  const TcxDrawBackgroundEvent& AOnDrawBackground) {
  (void)ASideWidth;
  DrawHeader(ACanvas, ABounds, ABounds, ANeighbors, HeaderBorders(ANeighbors), cxbsNormal, TAlignment::taCenter,
             TcxAlignmentVert::vaCenter, false, false, AText, AViewParams.Font, AViewParams.TextColor,
             AViewParams.Color, AOnDrawBackground, false, false);
  const int side = PntHeight(ABounds);
  if (AArrows & (1u << adLeft))
    DrawArrow(ACanvas, RECT{ABounds.left, ABounds.top, ABounds.left + side, ABounds.bottom}, adLeft, clWindowText);
  if (AArrows & (1u << adRight))
    DrawArrow(ACanvas, RECT{ABounds.right - side, ABounds.top, ABounds.right, ABounds.bottom}, adRight, clWindowText);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerEventProgress(TcxCanvas& ACanvas, const RECT& ABounds,
                                                             const RECT& AProgress, const TcxViewParams& AViewParams,
                                                             bool ATransparent) {
  if (ATransparent)
    ACanvas.FrameRect(ABounds, clGray);
  else {
    RECT r = ABounds;
    ACanvas.FillRect(r, AViewParams, cxBordersAll, clGray, 1);
  }
  ACanvas.FillRect(AProgress, clNavy);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerGroup(TcxCanvas& ACanvas, const RECT& R, TColor AColor) {
  const int L = R.left, T = R.top + 2, Rt = R.right - 1, B = R.bottom - 2;
  const int k = (B - T) / 2;
  const POINT p[] = {{L, T}, {Rt, T}, {Rt, B}, {Rt - k, B - k}, {L + k, B - k}, {L, B}};
  PntPolygon(ACanvas, p, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerMilestone(TcxCanvas& ACanvas, const RECT& R) {
  int s = std::min(PntWidth(R), PntHeight(R));
  const int x0 = PntHalfDown(R.left + R.right - s), y0 = PntHalfDown(R.top + R.bottom - s);
  s -= s % 2;
  const POINT p[] = {{x0, y0 + s / 2}, {x0 + s / 2, y0}, {x0 + s, y0 + s / 2}, {x0 + s / 2, y0 + s}};
  PntPolygon(ACanvas, p, clGray);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect,
                                                                       const RECT& AArrowRect, bool AIsNextButton,
                                                                       TcxButtonState AState) {
  ACanvas.FillRect(ARect, clBtnFace);
  const TcxBorders sides = bTop | bBottom | (AIsNextButton ? bLeft : bRight);
  ACanvas.FrameRect(ARect, clBtnShadow, 1, sides);
  RECT inner = ARect;
  ++inner.top, --inner.bottom;
  if (AIsNextButton)
    ++inner.left;
  else
    --inner.right;
  if (AState == cxbsPressed)
    ACanvas.DrawComplexFrame(inner, clBtnShadow, clBtnHighlight, sides, 1);
  else
    ACanvas.DrawComplexFrame(inner, clBtnHighlight, clBtnFace, sides, 1);
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton, ButtonSymbolColor(AState));
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigationButtonArrow(TcxCanvas& ACanvas, const RECT& ARect,
                                                                     bool AIsNextButton, TColor AColor) {
  const int n = (PntHeight(ARect) + 1) / 2;
  for (int i = 0; i < n; ++i) {
    const int x = AIsNextButton ? ARect.left + i : ARect.right - 2 - i;
    ACanvas.FillRect(RECT{x, ARect.top + i, x + 2, ARect.top + i + 1}, AColor);
    ACanvas.FillRect(RECT{x, ARect.bottom - 1 - i, x + 2, ARect.bottom - i}, AColor);
  }
  const int column = AIsNextButton ? ARect.right - 1 : ARect.left;
  ACanvas.FillRect(RECT{column, ARect.top, column + 1, ARect.bottom}, AColor);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerNavigationButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                                bool AIsNextButton, TcxButtonState AState,
                                                                const WideString& AText, const RECT& ATextRect,
                                                                const RECT& AArrowRect) {
  DrawSchedulerNavigationButtonContent(ACanvas, ARect, AArrowRect, AIsNextButton, AState);
  if (PntIsEmpty(ATextRect) || SchedulerNavigationButtonTextColor(AIsNextButton, AState, clDefault) == clNone) return;
  DrawRotatedText(ACanvas, AText, ATextRect, raPlus90,
                  SchedulerNavigationButtonTextColor(AIsNextButton, AState, ACanvas.Font().Color()),
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void TcxCustomLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R) {
  ACanvas.FillRect(R, DefaultDateNavigatorHeaderColor());
  ACanvas.DrawEdge(R, false, false);
  R = PntShrink(R, 1);
}

// ===================================================================== clock

void TcxCustomLookAndFeelPainter::DrawClock(TcxCanvas& ACanvas, const RECT& ARect, TDateTime ADateTime,
                                            TColor ABackgroundColor) {
  constexpr double kPi = std::numbers::pi;
  const int cx = (ARect.left + ARect.right) / 2, cy = (ARect.top + ARect.bottom) / 2;
  const double rx = PntWidth(ARect) / 2.0 - 2, ry = PntHeight(ARect) / 2.0 - 2;
  ACanvas.SaveClipRegion();
  try {
    for (int i = 0; i < 60; i += 5) {
      const double a = i * 2 * kPi / 60;
      const int x = int(std::lround(rx * std::cos(a) + cx)), y = int(std::lround(ry * std::sin(a) + cy));
      ACanvas.SetPixel(x, y, 0x808000);
      PntSetPen(ACanvas, 0xFFFF00);
      const POINT light[] = {{x - 1, y + 1}, {x - 1, y - 1}, {x, y - 1}};
      ACanvas.Canvas()->Polyline(light);
      PntSetPen(ACanvas, clBtnText);
      const POINT dark[] = {{x, y + 1}, {x + 1, y + 1}, {x + 1, y - 1}};
      ACanvas.Canvas()->Polyline(dark);
      ACanvas.ExcludeClipRect(RECT{x - 1, y - 1, x + 2, y + 2});
    }
    ACanvas.FillRect(ARect, ABackgroundColor);
    const double dayFraction = ADateTime - std::floor(ADateTime);
    const int total = int(std::lround(dayFraction * 86400)) % 86400;
    const int h = total / 3600, m = total / 60 % 60, s = total % 60;
    auto hand = [&](double a, double w, double kt, double kb) {
      const double half = w / 2;
      const POINT p[] = {
          {int(std::lround(cx + kt * rx * std::cos(a))), int(std::lround(cy + kt * ry * std::sin(a)))},
          {int(std::lround(cx + half * std::cos(a + kPi / 2))), int(std::lround(cy + half * std::sin(a + kPi / 2)))},
          {int(std::lround(cx + kb * rx * std::cos(a + kPi))), int(std::lround(cy + kb * ry * std::sin(a + kPi)))},
          {int(std::lround(cx + half * std::cos(a - kPi / 2))), int(std::lround(cy + half * std::sin(a - kPi / 2)))}};
      PntPolygon(ACanvas, p, 0x808000);
    };
    hand(((h % 12) * 3600 + m * 60 + s - 10800) * 2 * kPi / 43200, 9, 0.75, 0.15);
    hand((m * 60 + s - 900) * 2 * kPi / 3600, 7, 0.85, 0.2);
    const double sa = (s - 15) * 2 * kPi / 60;
    PntSetPen(ACanvas, clRed);
    PntLine(ACanvas, cx, cy, int(std::lround(cx + 0.9 * rx * std::cos(sa))), int(std::lround(cy + 0.9 * ry * std::sin(sa))));
  } catch (...) {
    ACanvas.RestoreClipRegion();
    throw;
  }
  ACanvas.RestoreClipRegion();
}

// ===================================================================== navigator, progress bar

void TcxCustomLookAndFeelPainter::DrawNavigatorButtonGlyph(TcxCanvas& ACanvas, TCustomImageList* AImageList,
                                                           TImageIndex AImageIndex, const RECT& AGlyphRect,
                                                           bool AEnabled, bool AUserGlyphs) {
  (void)AUserGlyphs;
  if (!AImageList || AImageIndex < 0 || AImageIndex >= AImageList->Count()) return;
  AImageList->Draw(*ACanvas.Canvas(), (AGlyphRect.left + AGlyphRect.right - AImageList->Width()) / 2,
                   (AGlyphRect.top + AGlyphRect.bottom - AImageList->Height()) / 2, AImageIndex, AEnabled);
}

namespace {

// Selects a copy of the canvas font turned by 270 degrees while it lives.
class TPntVerticalFont {
public:
  TPntVerticalFont(HDC ADC, HFONT AFont) : FDC(ADC) {
    LOGFONTW font{};
    GetObjectW(AFont, sizeof(font), &font);
    font.lfEscapement = font.lfOrientation = 2700;
    FFont = CreateFontIndirectW(&font);
    FOld = SelectObject(FDC, FFont);
  }
  ~TPntVerticalFont() {
    SelectObject(FDC, FOld);
    DeleteObject(FFont);
  }
  TPntVerticalFont(const TPntVerticalFont&) = delete;
  TPntVerticalFont& operator=(const TPntVerticalFont&) = delete;

private:
  HDC FDC;
  HFONT FFont;
  HGDIOBJ FOld;
};

void PntWriteText(HDC ADC, HFONT AFont, bool AVertical, POINT AOrigin, const WideString& AText, TColor AColor) {
  std::unique_ptr<TPntVerticalFont> turned;
  HGDIOBJ old = nullptr;
  if (AVertical)
    turned = std::make_unique<TPntVerticalFont>(ADC, AFont);
  else
    old = SelectObject(ADC, AFont);
  SetBkMode(ADC, TRANSPARENT);
  SetTextColor(ADC, ColorToRGB(AColor));
  TextOutW(ADC, AOrigin.x, AOrigin.y, AText.c_str(), int(AText.size()));
  if (old) SelectObject(ADC, old);
}

}  // namespace

void TcxCustomLookAndFeelPainter::DrawProgressBarText(TcxCanvas& ACanvas, bool AVertical, bool ASolid,
                                                      const WideString& AText, const RECT& ATextRect,
                                                      const RECT& AProgressBarRect, const RECT& AProgressChunkRect,
                                                      TColor ATextColor) {
  (void)AProgressBarRect;
  const TColor color = ATextColor == clDefault || !ASolid ? ProgressBarTextColor() : ATextColor;
  const POINT origin = AVertical ? POINT{ATextRect.right, ATextRect.top} : POINT{ATextRect.left, ATextRect.top};
  ACanvas.SaveState();
  ACanvas.SaveClipRegion();
  try {
    HDC dc = ACanvas.Canvas()->StateHandle();
    HFONT font = ACanvas.Font().Handle();
    if (ASolid)
      PntWriteText(dc, font, AVertical, origin, AText, color);
    else if (ProgressBarTextColorEx(true) == clDefault) {
      // White text on black, combined by XOR: the text inverts what lies below.
      TcxBitmap text(ATextRect);
      text.cxCanvas().FillRect(text.ClientRect(), clBlack);
      text.Canvas().Font().Assign(ACanvas.Font());
      HDC textDC = text.Canvas().StateHandle();
      PntWriteText(textDC, text.Canvas().Font().Handle(), AVertical,
                   AVertical ? POINT{PntWidth(ATextRect), 0} : POINT{0, 0}, AText, clWhite);
      BitBlt(dc, ATextRect.left, ATextRect.top, PntWidth(ATextRect), PntHeight(ATextRect), textDC, 0, 0, SRCINVERT);
    } else {
      RECT covered{};
      if (!IntersectRect(&covered, &ATextRect, &AProgressChunkRect))
        PntWriteText(dc, font, AVertical, origin, AText, color);
      else {
        TcxBitmap saved(covered);
        BitBlt(saved.Canvas().Handle(), 0, 0, PntWidth(covered), PntHeight(covered), dc, covered.left, covered.top,
               SRCCOPY);
        PntWriteText(dc, font, AVertical, origin, AText, ProgressBarTextColorEx(false));
        BitBlt(dc, covered.left, covered.top, PntWidth(covered), PntHeight(covered), saved.Canvas().Handle(), 0, 0,
               SRCCOPY);
        ACanvas.IntersectClipRect(covered);
        dc = ACanvas.Canvas()->StateHandle();
        PntWriteText(dc, font, AVertical, origin, AText, ProgressBarTextColorEx(true));
      }
    }
  } catch (...) {
    ACanvas.RestoreClipRegion();
    ACanvas.RestoreState();
    throw;
  }
  ACanvas.RestoreClipRegion();
  ACanvas.RestoreState();
}

// ===================================================================== track bar, splitter

void TcxCustomLookAndFeelPainter::CorrectThumbRect(TcxCanvas& ACanvas, RECT& ARect, bool AHorizontal,
                                                   TcxTrackBarTicksAlign ATicks) {
  (void)ACanvas, (void)AHorizontal, (void)ATicks;
  --ARect.right, --ARect.bottom;
}

void TcxCustomLookAndFeelPainter::DrawTrackBarTrack(TcxCanvas& ACanvas, const RECT& ARect, const RECT& ASelection,
                                                    bool AShowSelection, bool AEnabled, bool AHorizontal,
                                                    TColor ATrackColor) {
  (void)ASelection, (void)AShowSelection, (void)AEnabled, (void)AHorizontal;
  ACanvas.FillRect(ARect, ATrackColor);
  DrawTrackBarTrackBounds(ACanvas, ARect);
}

void TcxCustomLookAndFeelPainter::DrawTrackBarThumb(TcxCanvas& ACanvas, const RECT& ARect, TcxButtonState AState,
                                                    bool AHorizontal, TcxTrackBarTicksAlign ATicks,
                                                    TColor AThumbColor) {
  (void)AState;
  PntSetBrushAndPen(ACanvas, AThumbColor);
  if (ATicks == tbtaBoth) {
    ACanvas.FillRect(ARect, AThumbColor);
    DrawTrackBarThumbBorderBoth(ACanvas, ARect);
    return;
  }
  const int L = ARect.left, T = ARect.top, R = ARect.right, B = ARect.bottom;
  const int c = AHorizontal ? L + (R - L) / 2 : T + (B - T) / 2;
  const int t = AHorizontal ? (R - L) / 2 : (B - T) / 2;
  TPointArray body, light, shadow, dark;
  if (ATicks == tbtaUp && AHorizontal) {
    body = {{R - 1, B - 2}, {L + 1, B - 2}, {L + 1, T + t - 1}, {c, T}, {R - 1, T + t - 1}};
    light = {{L, B - 1}, {L, T + t - 1}, {c, T - 1}};
    shadow = {{c, T}, {R - 1, T + t - 1}, {R - 1, B - 2}, {L, B - 2}};
    dark = {{c, T - 1}, {R, T + t - 1}, {R, B - 1}, {L, B - 1}};
  } else if (ATicks == tbtaUp) {
    body = {{R - 2, B - 1}, {R - 2, T + 1}, {L + t - 1, T + 1}, {L, c}, {L + t - 1, B - 1}};
    light = {{R - 1, T}, {L + t - 1, T}, {L - 1, c}};
    shadow = {{L, c}, {L + t - 1, B - 1}, {R - 2, B - 1}, {R - 2, T}};
    dark = {{L - 1, c}, {L + t - 1, B}, {R - 1, B}, {R - 1, T}};
  } else if (AHorizontal) {
    body = {{R - 1, T + 1}, {L + 1, T + 1}, {L + 1, B - t}, {c, B - 1}, {R - 1, B - t}};
    light = {{R, T}, {L, T}, {L, B - t}, {c, B}};
    shadow = {{c, B - 1}, {R - 1, B - t}, {R - 1, T}};
    dark = {{c, B}, {R, B - t}, {R, T}};
  } else {
    body = {{L + 1, B - 1}, {L + 1, T + 1}, {R - t, T + 1}, {R - 1, c}, {R - t, B - 1}};
    light = {{L, B}, {L, T}, {R - t, T}, {R, c}};
    shadow = {{R - 1, c}, {R - t, B - 1}, {L, B - 1}};
    dark = {{R, c}, {R - t, B}, {L, B}};
  }
  ACanvas.Canvas()->Polygon(body);
  DrawTrackBarThumbBorderUpDown(ACanvas, light, shadow, dark);
}

void TcxCustomLookAndFeelPainter::DrawSplitter(TcxCanvas& ACanvas, const RECT& ARect, bool AHighlighted,
                                               bool AClicked, bool AHorizontal) {
  (void)AClicked;
  const SIZE size = GetSplitterSize(AHorizontal);
  const bool thick = (AHorizontal ? size.cy : size.cx) > 1;
  auto grip = [&](int AOffset) {
    // Along the splitter: solid, three 2-pixel dashes around the centre, solid.
    const int start = AHorizontal ? ARect.left : ARect.top, end = AHorizontal ? ARect.right : ARect.bottom;
    const int across = (AHorizontal ? ARect.top + ARect.bottom : ARect.left + ARect.right) / 2 + AOffset;
    const int centre = (start + end) / 2;
    const int pieces[][2] = {{start, centre - 5}, {centre - 4, centre - 2}, {centre - 1, centre + 1},
                             {centre + 2, centre + 4}, {centre + 5, end}};
    for (const auto& piece : pieces) {
      const int from = piece[0] + AOffset, to = std::min(piece[1] + AOffset, end + AOffset);
      if (to <= from) continue;
      if (AHorizontal)
        PntLine(ACanvas, from, across, to, across);
      else
        PntLine(ACanvas, across, from, across, to);
    }
  };
  PntSetPen(ACanvas, GetSplitterOuterColor(AHighlighted));
  grip(0);
  if (thick) {
    PntSetPen(ACanvas, GetSplitterInnerColor(AHighlighted));
    grip(1);
  }
}

// ===================================================================== other areas

void TcxCustomLookAndFeelPainter::DrawPrintPreviewPageBackground(TcxCanvas& ACanvas, const RECT& ABorderRect,
                                                                 const RECT& AContentRect, bool ASelected,
                                                                 bool ADrawContent) {
  ACanvas.SaveClipRegion();
  try {
    if (ADrawContent) ACanvas.FillRect(AContentRect, clWindow);
    ACanvas.ExcludeClipRect(AContentRect);
    RECT page{ABorderRect.left, ABorderRect.top, ABorderRect.right - 2, ABorderRect.bottom - 2};
    if (!ASelected) page = PntShrink(page, 1);
    ACanvas.FillRect(page, ASelected ? clHighlight : clWindowText);
    ACanvas.ExcludeClipRect(page);
    ACanvas.FillRect(PntOffset(page, 2, 2), clWindowText);
  } catch (...) {
    ACanvas.RestoreClipRegion();
    throw;
  }
  ACanvas.RestoreClipRegion();
}

TColor TcxCustomLookAndFeelPainter::CalcEditButtonTextColor(TcxCalcButtonKind AButtonKind) {
  // Editing keys dark red, memory and operator keys red, digits and the sign blue.
  if (AButtonKind <= cbClear) return clMaroon;
  if (AButtonKind <= cbMP) return clRed;
  if (AButtonKind <= cbDecimal) return clBlue;
  if (AButtonKind <= cbEqual) return clRed;
  return clBtnText;
}

void TcxCustomLookAndFeelPainter::DrawMessageBox(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AMessage,
                                                 TFont* AFont, TColor AColor) {
  ACanvas.FrameRect(ABounds, DefaultGridLineColor(), 1, cxBordersAll, true);
  ACanvas.FillRect(ABounds, AColor == clNone ? DefaultGroupColor() : AColor);
  PntSetFont(ACanvas, AFont);
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  ACanvas.DrawTexT(AMessage, ABounds, cxTextAlignHCenter | cxTextAlignVCenter | cxTextSingleLine);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

// ===================================================================== breadcrumb, drop-down list box

namespace {
TcxButtonState PntBreadcrumbState(TdxBreadcrumbEditButtonState AState) {
  static constexpr TcxButtonState kStates[] = {cxbsNormal, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
  return kStates[AState];
}
}  // namespace

RECT TcxCustomLookAndFeelPainter::BreadcrumbEditButtonContentOffsets(bool AIsFirst, bool AIsLast) {
  (void)AIsFirst, (void)AIsLast;
  return ScaleRectByScreenDPI(RECT{3, 3, 3, 3});
}

RECT TcxCustomLookAndFeelPainter::BreadcrumbEditNodeTextOffsets() { return ScaleRectByScreenDPI(RECT{4, 4, 4, 4}); }

void TcxCustomLookAndFeelPainter::DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                           TdxBreadcrumbEditButtonState AState, bool AIsFirst,
                                                           bool AIsLast) {
  (void)AIsFirst, (void)AIsLast;
  if (AState == dxbcbsNormal || AState == dxbcbsDisabled) return;
  DrawButton(ACanvas, ARect, {}, PntBreadcrumbState(AState));
}

void TcxCustomLookAndFeelPainter::DrawBreadcrumbEditDropDownButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                                   TdxBreadcrumbEditButtonState AState,
                                                                   bool AIsInEditor) {
  if (AIsInEditor)
    DrawButton(ACanvas, ARect, {}, PntBreadcrumbState(AState));
  else
    DrawBreadcrumbEditButton(ACanvas, ARect, AState, true, true);
}

void TcxCustomLookAndFeelPainter::DrawBreadcrumbEditDropDownButtonGlyph(TcxCanvas& ACanvas, const RECT& ARect,
                                                                        TdxBreadcrumbEditButtonState AState,
                                                                        bool AIsInEditor) {
  (void)AIsInEditor;
  DrawDropDownArrow(ACanvas, PntShrink(ARect, 2), ButtonSymbolColor(PntBreadcrumbState(AState)));
}

void TcxCustomLookAndFeelPainter::DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect,
                                                                bool AHasBorders) {
  RECT r = ARect;
  if (AHasBorders) {
    ACanvas.DrawComplexFrame(r, cl3DLight, cl3DDkShadow);
    r = PntShrink(r, 1);
    ACanvas.DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
    r = PntShrink(r, 1);
  }
  ACanvas.FillRect(r, kSystemColor | COLOR_MENU);
}

void TcxCustomLookAndFeelPainter::DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                                               const RECT& AGutterRect) {
  (void)AGutterRect;
  const int y = PntHalfDown(ARect.top + ARect.bottom - 2);
  ACanvas.FillRect(RECT{ARect.left, y, ARect.right, y + 1}, clBtnShadow);
  ACanvas.FillRect(RECT{ARect.left, y + 1, ARect.right, y + 2}, clBtnHighlight);
}

RECT TcxCustomLookAndFeelPainter::DropDownListBoxItemImageOffsets() { return ScaleRectByScreenDPI(RECT{5, 3, 5, 3}); }

RECT TcxCustomLookAndFeelPainter::DropDownListBoxItemTextOffsets() { return ScaleRectByScreenDPI(RECT{5, 2, 5, 2}); }

// ===================================================================== alert window, pin

void TcxCustomLookAndFeelPainter::DrawAlertWindowBackground(TcxCanvas& ACanvas, const RECT& ABounds) {
  ACanvas.FillRect(ABounds, clBtnFace);
  const int radius = AlertWindowCornerRadius();
  RoundRect(ACanvas.Canvas()->StateHandle(), ABounds.left, ABounds.top, ABounds.right, ABounds.bottom, radius, radius);
}

void TcxCustomLookAndFeelPainter::DrawAlertWindowButton(TcxCanvas& ACanvas, const RECT& ABounds,
                                                        TcxButtonState AState, TdxAlertWindowButtonKind AKind,
                                                        bool ADown) {
  const TcxButtonState state = ADown ? cxbsPressed : AState;
  DrawButton(ACanvas, ABounds, {}, state);
  const RECT r = PntShrink(ABounds, AlertWindowButtonContentOffsets(AKind));
  const TColor color = ButtonSymbolColor(state);
  switch (AKind) {
    case awbkClose: DrawButtonCross(ACanvas, r, color, state); break;
    case awbkPin: DrawPin(ACanvas, r, color, ADown); break;
    case awbkDropDown: DrawArrow(ACanvas, r, adDown, color); break;
    case awbkPrevious: DrawArrow(ACanvas, r, adLeft, color); break;
    case awbkNext: DrawArrow(ACanvas, r, adRight, color); break;
    case awbkCustom: break;
  }
}

void TcxCustomLookAndFeelPainter::DrawPin(TcxCanvas& ACanvas, const RECT& ABounds, TColor AColor, bool APinned) {
  static constexpr double kWidthFactors[] = {0.5, 0.9, 0.1}, kLengthFactors[] = {0.5, 0.1, 0.5};
  // Upright the pin's length runs down the height; lying, along the width.
  const int across = APinned ? PntWidth(ABounds) : PntHeight(ABounds);
  const int along = APinned ? PntHeight(ABounds) : PntWidth(ABounds);
  int position = APinned ? ABounds.top : ABounds.right;
  for (int part = 0; part < 3; ++part) {
    const int width = int(across * kWidthFactors[part] / 2) * 2 + 1;
    const int length = int(std::lround(along * kLengthFactors[part]));
    RECT r;
    if (APinned) {
      r.left = (ABounds.left + ABounds.right - width) / 2, r.right = r.left + width;
      r.top = position, r.bottom = position + length;
      position = r.bottom - 1;
    } else {
      r.top = (ABounds.top + ABounds.bottom - width) / 2, r.bottom = r.top + width;
      r.right = position, r.left = position - length;
      position = r.left + 1;
    }
    if (part == 0) {
      ACanvas.FrameRect(r, AColor);
      RECT half = r;
      if (APinned)
        half.left = (r.left + r.right) / 2;
      else
        half.top = (r.top + r.bottom) / 2;
      ACanvas.FillRect(half, AColor);
    } else
      ACanvas.FillRect(r, AColor);
  }
}

// ===================================================================== gallery, bevel

void TcxCustomLookAndFeelPainter::DrawGalleryGroupHeader(TcxCanvas& ACanvas, const RECT& ABounds,
                                                         const RECT& ATextAreaBounds, const WideString& AText,
                                                         TFont* AFont, TColor ATextColor) {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, 0, cxBordersAll, cxbsNormal, TAlignment::taLeftJustify,
             TcxAlignmentVert::vaCenter, false, true, AText, AFont, ATextColor, DefaultHeaderColor(), {}, false,
             false);
}

void TcxCustomLookAndFeelPainter::DrawGalleryItemSelection(TcxCanvas& ACanvas, const RECT& R,
                                                           TdxGalleryItemViewState AViewState) {
  static constexpr uint8_t kAlpha[] = {0, 80, 0, 96, 0, 112, 128, 128, 144, 112};
  const uint8_t alpha = kAlpha[AViewState];
  if (alpha == 0 || PntIsEmpty(R)) return;
  TcxBitmap32 under(PntWidth(R), PntHeight(R));
  BitBlt(under.Canvas().Handle(), 0, 0, under.Width(), under.Height(), ACanvas.Handle(), R.left, R.top, SRCCOPY);
  TcxBitmap32 tint(PntWidth(R), PntHeight(R));
  tint.cxCanvas().FillRect(tint.ClientRect(), 0x582801);
  const COLORREF tintColor = ColorToRGB(0x582801);
  for (int y = 0; y < under.Height(); ++y) {
    auto* row = static_cast<RGBQUAD*>(under.ScanLine(y));
    for (int x = 0; x < under.Width(); ++x) {
      auto mix = [alpha](BYTE below, BYTE over) { return BYTE((over * alpha + below * (255 - alpha) + 127) / 255); };
      row[x].rgbRed = mix(row[x].rgbRed, GetRValue(tintColor));
      row[x].rgbGreen = mix(row[x].rgbGreen, GetGValue(tintColor));
      row[x].rgbBlue = mix(row[x].rgbBlue, GetBValue(tintColor));
    }
  }
  under.cxCanvas().FrameRect(under.ClientRect(), 0xBD8753);
  BitBlt(ACanvas.Handle(), R.left, R.top, under.Width(), under.Height(), under.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TcxCustomLookAndFeelPainter::DrawBevelFrame(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2,
                                                 bool ABoxStyle) {
  if (AColor2 == clNone)
    ACanvas.FrameRect(R, AColor1);
  else if (ABoxStyle)
    ACanvas.DrawComplexFrame(R, AColor1, AColor2);
  else {
    ACanvas.FrameRect(RECT{R.left + 1, R.top + 1, R.right, R.bottom}, AColor2);
    ACanvas.FrameRect(RECT{R.left, R.top, R.right - 1, R.bottom - 1}, AColor1);
  }
}

void TcxCustomLookAndFeelPainter::DrawBevelLine(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2,
                                                bool AIsVertical) {
  if (AColor2 == clNone)
    ACanvas.FillRect(R, AColor1);
  else
    ACanvas.DrawComplexFrame(R, AColor1, AColor2, AIsVertical ? bLeft | bRight : bTop | bBottom, 1);
}

void TcxCustomLookAndFeelPainter::DrawBevelShape(TcxCanvas& ACanvas, const RECT& R, TdxBevelShape AShape,
                                                 TdxBevelStyle AStyle) {
  TColor c1, c2;
  GetBevelShapeColors(c1, c2);
  if (AStyle == dxbsRaised) std::swap(c1, c2);
  if (c1 == clNone) std::swap(c1, c2);
  const SIZE size = GetBevelMinimalShapeSize(AShape);
  switch (AShape) {
    case dxbsNone: break;
    case dxbsBox:
    case dxbsFrame: DrawBevelFrame(ACanvas, R, c1, c2, AShape == dxbsBox); break;
    case dxbsLineTop: DrawBevelLine(ACanvas, RECT{R.left, R.top, R.right, R.top + size.cy}, c1, c2, false); break;
    case dxbsLineBottom:
      DrawBevelLine(ACanvas, RECT{R.left, R.bottom - size.cy, R.right, R.bottom}, c1, c2, false);
      break;
    case dxbsLineLeft: DrawBevelLine(ACanvas, RECT{R.left, R.top, R.left + size.cx, R.bottom}, c1, c2, true); break;
    case dxbsLineRight:
      DrawBevelLine(ACanvas, RECT{R.right - size.cx, R.top, R.right, R.bottom}, c1, c2, true);
      break;
    case dxbsLineCenteredHorz: {
      const int x = PntHalfDown(R.left + R.right - size.cx);
      DrawBevelLine(ACanvas, RECT{x, R.top, x + size.cx, R.bottom}, c1, c2, true);
      break;
    }
    case dxbsLineCenteredVert: {
      const int y = PntHalfDown(R.top + R.bottom - size.cy);
      DrawBevelLine(ACanvas, RECT{R.left, y, R.right, y + size.cy}, c1, c2, false);
      break;
    }
  }
}

// ===================================================================== check boxes, radio buttons, label line

TColor TcxCustomLookAndFeelPainter::CheckButtonColor(TcxButtonState AState) {
  return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

SIZE TcxCustomLookAndFeelPainter::CheckButtonSize() { return CheckBoxGlyphSize(); }

void TcxCustomLookAndFeelPainter::DrawCheck(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AChecked,
                                            TColor AColor) {
  if (ACanvas.Brush().Style() != TBrushStyle::bsClear) ACanvas.FillRect(R, CheckButtonColor(AState));
  if (!AChecked) return;
  const int w = PntWidth(R) - 2, h = PntHeight(R) - 4;
  const int x0 = (R.left + R.right) / 2 - 1;
  PntSetPen(ACanvas, AColor);
  for (int k = 0; k < 3; ++k) {
    const int y = (R.top + R.bottom + h) / 2 - 2 + k;
    const POINT p[] = {{x0 - (w / 2 - 1), y - h / 2}, {x0, y}, {x0 + w / 2 + 2, y - h}};
    ACanvas.Canvas()->Polyline(p);
  }
}

void TcxCustomLookAndFeelPainter::DrawCheckButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                  TcxCheckBoxState ACheckState) {
  DrawCheckBorder(ACanvas, R, AState);
  DrawCheck(ACanvas, PntShrink(R, CheckBorderSize()), AState, ACheckState != cbsUnchecked,
            AState == cxbsDisabled || ACheckState == cbsGrayed ? clGrayText : clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawCheckButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                  bool AChecked) {
  DrawCheckButton(ACanvas, R, AState, AChecked ? cbsChecked : cbsUnchecked);
}

void TcxCustomLookAndFeelPainter::DrawRadioButton(TcxCanvas& ACanvas, int X, int Y, TcxButtonState AButtonState,
                                                  bool AChecked, bool AFocused, TColor ABrushColor,
                                                  bool AIsDesigning) {
  if (TcxRadioButtonImageList* list = GetRadioButtonImageList())
    list->Draw(ACanvas, X, Y, ABrushColor, PainterStyleToKind(LookAndFeelStyle()), AButtonState, AChecked, AFocused,
               AIsDesigning);
}

TColor TcxCustomLookAndFeelPainter::RadioButtonBodyColor(TcxButtonState AState) {
  return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

SIZE TcxCustomLookAndFeelPainter::RadioButtonSize() {
  TcxRadioButtonImageList* list = GetRadioButtonImageList();
  return list ? list->GetSize() : SIZE{0, 0};
}

void TcxCustomLookAndFeelPainter::DrawLabelLine(TcxCanvas& ACanvas, const RECT& R, TColor AOuterColor,
                                                TColor AInnerColor, bool AIsVertical) {
  ACanvas.DrawComplexFrame(R, AInnerColor == clDefault ? clBtnShadow : AInnerColor,
                           AOuterColor == clDefault ? clBtnHighlight : AOuterColor,
                           AIsVertical ? bLeft | bRight : bTop | bBottom, 1);
}

int TcxCustomLookAndFeelPainter::GetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle) {
  static constexpr int kWidths[] = {0, 1, 2, 2, 2, 1, 1};
  return kWidths[ABorderStyle];
}

// ===================================================================== native painter

void TcxWinXPLookAndFeelPainter::DrawThemedContentText(TcxCanvas& ACanvas, HTHEME ATheme, int APartId, int AStateId,
                                                       const RECT& AClipRect, const RECT& ATextRect,
                                                       TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                       bool AMultiLine, bool AShowEndEllipsis, bool AShowPrefix,
                                                       const WideString& AText, TFont* AFont, TColor ATextColor,
                                                       TColor ABkColor) {
  (void)ATheme, (void)APartId, (void)AStateId, (void)ABkColor;
  ACanvas.SaveClipRegion();
  ACanvas.IntersectClipRect(AClipRect);
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  PntSetFont(ACanvas, AFont);
  ACanvas.Font().SetColor(ATextColor);
  int flags = PntTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  if (AShowPrefix) flags |= cxTextShowPrefix;
  ACanvas.DrawTexT(AText, ATextRect, flags);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  ACanvas.RestoreClipRegion();
}

// ===================================================================== registry

int ComparePaintersByName(TcxCustomLookAndFeelPainter* AItem1, TcxCustomLookAndFeelPainter* AItem2) {
  const WideString n1 = AItem1->LookAndFeelName(), n2 = AItem2->LookAndFeelName();
  return CompareStringW(LOCALE_USER_DEFAULT, 0, n1.c_str(), int(n1.size()), n2.c_str(), int(n2.size())) - CSTR_EQUAL;
}

TcxLookAndFeelPaintersManager::TcxLookAndFeelPaintersManager() : FPainters(std::make_unique<TcxObjectList>(true)) {}

TcxLookAndFeelPaintersManager::~TcxLookAndFeelPaintersManager() {
  FListeners.clear();
  FPainters.reset();
}

bool TcxLookAndFeelPaintersManager::Register(TcxCustomLookAndFeelPainter* APainter) {
  std::unique_ptr<TcxCustomLookAndFeelPainter> offered(APainter);
  if (!offered || GetPainter(offered->LookAndFeelName())) return false;  // the offered painter is freed
  FPainters->Add(offered.release());
  Sort();
  NotifyAdded(APainter);
  return true;
}

bool TcxLookAndFeelPaintersManager::Unregister(const WideString& AName) {
  TcxCustomLookAndFeelPainter* painter = GetPainter(AName);
  if (!painter) return false;
  FPainters->Remove(painter);
  std::unique_ptr<TcxCustomLookAndFeelPainter> owned(painter);  // freed also when a listener raises
  NotifyRemoving(painter);
  return true;
}

void TcxLookAndFeelPaintersManager::Sort() {
  FPainters->Sort([](const void* a, const void* b) {
    return ComparePaintersByName(static_cast<TcxCustomLookAndFeelPainter*>(const_cast<void*>(a)),
                                 static_cast<TcxCustomLookAndFeelPainter*>(const_cast<void*>(b)));
  });
}

bool TcxLookAndFeelPaintersManager::GetPainter(TcxLookAndFeelStyle AStyle,
                                               TcxCustomLookAndFeelPainter*& APainter) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->LookAndFeelStyle() == AStyle) {
      APainter = Items(i);
      return true;
    }
  APainter = nullptr;
  return false;
}

TcxCustomLookAndFeelPainter* TcxLookAndFeelPaintersManager::GetPainter(TcxLookAndFeelStyle AStyle) const {
  TcxCustomLookAndFeelPainter* painter = nullptr;
  GetPainter(AStyle, painter);
  return painter;
}

bool TcxLookAndFeelPaintersManager::GetPainter(const WideString& AName, TcxCustomLookAndFeelPainter*& APainter) const {
  auto asciiLower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
  for (int i = 0; i < Count(); ++i) {
    const WideString name = Items(i)->LookAndFeelName();
    if (name.size() == AName.size() && std::equal(name.begin(), name.end(), AName.begin(), [&](wchar_t a, wchar_t b) {
          return asciiLower(a) == asciiLower(b);
        })) {
      APainter = Items(i);
      return true;
    }
  }
  APainter = nullptr;
  return false;
}

TcxCustomLookAndFeelPainter* TcxLookAndFeelPaintersManager::GetPainter(const WideString& AName) const {
  TcxCustomLookAndFeelPainter* painter = nullptr;
  GetPainter(AName, painter);
  return painter;
}

void TcxLookAndFeelPaintersManager::AddListener(IcxLookAndFeelPainterListener* AListener) {
  if (AListener && std::find(FListeners.begin(), FListeners.end(), AListener) == FListeners.end())
    FListeners.push_back(AListener);
}

void TcxLookAndFeelPaintersManager::RemoveListener(IcxLookAndFeelPainterListener* AListener) {
  std::erase(FListeners, AListener);
}

void TcxLookAndFeelPaintersManager::NotifyAdded(TcxCustomLookAndFeelPainter* APainter) {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->Refresh();
  for (std::size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->PainterRegistered(APainter);
}

void TcxLookAndFeelPaintersManager::NotifyRemoving(TcxCustomLookAndFeelPainter* APainter) {
  if (TcxLookAndFeel* root = GetRootLookAndFeel()) root->Refresh();
  for (std::size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->PainterUnregistering(APainter);
}

TcxLookAndFeelPaintersManager* cxLookAndFeelPaintersManager() { return gPaintersManager; }

// ===================================================================== radio-button images

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  MeasureRadioButtonGlyph();
  FList = std::make_unique<TImageList>(nullptr);
  FList->SetSize(PntWidth(FRadioButtonRect), PntHeight(FRadioButtonRect));
  CreateRadioButtonMask();
  BuildRadioButtonPattern();
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() = default;

void TcxRadioButtonImageList::MeasureRadioButtonGlyph() {
  const SIZE cell = MeasureSystemCheckBoxCell();
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(cell.cx, cell.cy);
  TCanvas& canvas = bitmap.Canvas();
  const RECT whole{0, 0, cell.cx, cell.cy};
  auto fillBlack = [&] {
    canvas.Brush().SetColor(clBlack);
    canvas.FillRect(whole);
  };
  fillBlack();
  RECT r = whole;
  DrawFrameControl(canvas.Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  int left = -1, width = 0, top = -1, height = 0;
  for (int x = 0; x < cell.cx; ++x)
    for (int y = 0; y < cell.cy; ++y)
      if (canvas.Pixel(x, y) == clBlack) {
        if (left < 0) left = x;
        ++width;
        break;
      }
  for (int y = 0; y < cell.cy; ++y)
    for (int x = 0; x < cell.cx; ++x)
      if (canvas.Pixel(x, y) == clBlack) {
        if (top < 0) top = y;
        ++height;
        break;
      }
  if (width == 0 || height == 0) left = top = 0, width = cell.cx, height = cell.cy;
  FRadioButtonRect = {left, top, left + width, top + height};

  fillBlack();
  r = whole;
  DrawFrameControl(canvas.Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  const TColor dot = TColor(ColorToRGB(clWindowText));
  auto isDot = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < cell.cx && y < cell.cy && canvas.Pixel(x, y) == dot;
  };
  // The walks stop at the cell's edges.
  auto walk = [&](int vx, int vy, int hx, int hy) {
    int dotTop = vy;
    while (isDot(vx, dotTop - 1)) --dotTop;
    int dotBottom = dotTop;
    while (isDot(vx, dotBottom)) ++dotBottom;
    int dotLeft = hx;
    while (isDot(dotLeft - 1, hy)) --dotLeft;
    int dotRight = dotLeft;
    while (isDot(dotRight, hy)) ++dotRight;
    return RECT{dotLeft, dotTop, dotRight, dotBottom};
  };
  const int cx = left + width / 2, cy = top + height / 2;
  FRadioButtonCheckRect = walk(cx - 1, cy - 2, cx - 2, cy - 1);
  // A system whose dot misses the usual probe points (or is drawn in another
  // colour) would leave checked buttons looking unchecked: probe the centre,
  // and failing that take a centred dot a third of the button wide.
  if (PntIsEmpty(FRadioButtonCheckRect)) FRadioButtonCheckRect = walk(cx, cy, cx, cy);
  if (PntIsEmpty(FRadioButtonCheckRect)) {
    const int w = std::max(2, width / 3 + ((width / 3 - width) % 2 != 0)), h = std::max(2, height / 3 + ((height / 3 - height) % 2 != 0));
    FRadioButtonCheckRect.left = left + (width - w) / 2;
    FRadioButtonCheckRect.top = top + (height - h) / 2;
    FRadioButtonCheckRect.right = FRadioButtonCheckRect.left + w;
    FRadioButtonCheckRect.bottom = FRadioButtonCheckRect.top + h;
  }
}

void TcxRadioButtonImageList::CreateRadioButtonMask() {
  const SIZE size = GetSize();
  FButtonMask = std::make_unique<TBitmap>();
  FButtonMask->SetPixelFormat(TPixelFormat::pf1bit);
  FButtonMask->SetSize(size.cx, size.cy);
  TCanvas& canvas = FButtonMask->Canvas();
  canvas.Brush().SetColor(clWhite);
  canvas.FillRect(RECT{0, 0, size.cx, size.cy});
  canvas.Brush().SetColor(clBlack);
  canvas.Pen().SetColor(clBlack);
  RoundRect(canvas.StateHandle(), 0, 0, size.cx, size.cy, size.cx - 1, size.cy - 1);
}

void TcxRadioButtonImageList::BuildRadioButtonPattern() {
  const SIZE size = GetSize();
  const int W = size.cx, H = size.cy;
  FRadioButtonPattern.assign(H, std::vector<uint8_t>(W, 0));
  auto below = [&](int i, int j) { return (H - 1) * (W - j - 1) < i * (W - 1); };
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(W, H);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(clWhite);
  canvas.FillRect(RECT{0, 0, W, H});
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.Pen().SetColor(clBlack);
  RoundRect(canvas.StateHandle(), 0, 0, W, H, W - 1, H - 1);
  for (int i = 0; i < H; ++i)
    for (int j = 0; j < W; ++j)
      if (canvas.Pixel(j, i) == clBlack) FRadioButtonPattern[i][j] = below(i, j) ? 2 : 1;
  // Body: from the middle column outward while nothing is set.
  for (int i = 1; i < H - 1; ++i) {
    for (int j = W / 2 - 1; j >= 0 && FRadioButtonPattern[i][j] == 0; --j) FRadioButtonPattern[i][j] = 5;
    for (int j = W / 2; j < W && FRadioButtonPattern[i][j] == 0; ++j) FRadioButtonPattern[i][j] = 5;
  }
  auto innerCode = [&](int i, int j) {
    if ((H - 1) * (W - j - 1) == i * (W - 1)) return j > W / 2 - 1 ? 4 : 3;
    return below(i, j) ? 4 : 3;
  };
  // Inner ring: the last body pixel reached from the middle on each side; the
  // first and last rows (columns) of the walk take every pixel walked over.
  for (int i = 1; i < H - 1; ++i) {
    const bool whole = i == 1 || i == H - 2;
    for (int step : {-1, 1}) {
      int j = W / 2, last = -1;
      while (j >= 0 && j < W && FRadioButtonPattern[i][j] >= 3) {
        if (whole) FRadioButtonPattern[i][j] = uint8_t(innerCode(i, j));
        last = j;
        j += step;
      }
      if (last >= 0) FRadioButtonPattern[i][last] = uint8_t(innerCode(i, last));
    }
  }
  for (int j = 1; j < W - 1; ++j) {
    const bool whole = j == 1 || j == W - 2;
    for (int step : {-1, 1}) {
      int i = H / 2, last = -1;
      while (i >= 0 && i < H && FRadioButtonPattern[i][j] >= 3) {
        if (whole) FRadioButtonPattern[i][j] = uint8_t(innerCode(i, j));
        last = i;
        i += step;
      }
      if (last >= 0) FRadioButtonPattern[last][j] = uint8_t(innerCode(last, j));
    }
  }
  // The check dot.
  RECT dot = PntOffset(FRadioButtonCheckRect, -FRadioButtonRect.left, -FRadioButtonRect.top);
  if (!PntIsEmpty(dot)) {
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(clWhite);
    canvas.FillRect(RECT{0, 0, W, H});
    canvas.Brush().SetColor(clBlack);
    canvas.Pen().SetColor(clBlack);
    RoundRect(canvas.StateHandle(), dot.left, dot.top, dot.right, dot.bottom, PntWidth(dot) - 1, PntHeight(dot) - 1);
    for (int i = 0; i < H; ++i)
      for (int j = 0; j < W; ++j)
        if (canvas.Pixel(j, i) == clBlack) FRadioButtonPattern[i][j] = 6;
  }
}

int TcxRadioButtonImageList::ImageIndex(TcxButtonState AState, bool AChecked, TcxLookAndFeelKind AKind,
                                        bool AIsDesigning, bool AFocused) {
  const int state = AState == cxbsDefault ? cxbsNormal : AState;
  return (state - 1) + 4 * AChecked + 8 * AKind + 32 * AIsDesigning + 64 * AFocused;
}

std::array<TColor, 7> TcxRadioButtonImageList::RadioButtonImageColors(TcxLookAndFeelKind AKind,
                                                                      TcxButtonState AState, bool AChecked,
                                                                      bool AFocused, bool AIsDesigning) {
  static constexpr TcxLookAndFeelStyle kStyles[] = {lfsFlat, lfsStandard, lfsUltraFlat, lfsOffice11};
  TColor body = clWindow;
  if (TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager())
    if (TcxCustomLookAndFeelPainter* painter = manager->GetPainter(kStyles[AKind]))
      body = painter->RadioButtonBodyColor(AState);
  const bool disabled = AState == cxbsDisabled;
  const bool active = AFocused || AState == cxbsHot || AState == cxbsPressed;
  std::array<TColor, 7> colors{};
  colors[0] = clBlack;
  colors[5] = body;
  switch (AKind) {
    case lfFlat: colors[1] = clBtnShadow, colors[2] = clBtnHighlight, colors[3] = colors[4] = cl3DLight; break;
    case lfStandard: colors[1] = clBtnShadow, colors[2] = clBtnHighlight, colors[3] = cl3DDkShadow, colors[4] = cl3DLight; break;
    case lfUltraFlat:
      colors[1] = colors[2] = active || (AIsDesigning && !disabled) ? clHighlight : clBtnShadow;
      colors[3] = colors[4] = body;
      break;
    case lfOffice11:
      colors[1] = colors[2] = disabled                   ? Office11SchemeColor(kOffice11DisabledBorderColor)
                              : active || AIsDesigning ? Office11SchemeColor(kOffice11HighlightedBorderColor)
                                                       : clBtnText;
      colors[3] = colors[4] = body;
      break;
  }
  if (!AChecked)
    colors[6] = body;
  else if (!disabled)
    colors[6] = clWindowText;
  else
    colors[6] = AKind == lfOffice11 ? Office11SchemeColor(kOffice11DisabledBorderColor) : clBtnShadow;
  return colors;
}

void TcxRadioButtonImageList::Prepare() {
  if (FList->Count() > 0) return;
  const SIZE size = GetSize();
  TcxBitmap32 bitmap(size.cx, size.cy);
  static constexpr TcxButtonState kStates[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
  for (bool focused : {false, true})
    for (bool designing : {false, true})
      for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11})
        for (bool checked : {false, true})
          for (TcxButtonState state : kStates) {
            const auto colors = RadioButtonImageColors(kind, state, checked, focused, designing);
            COLORREF rgb[7];
            for (int k = 0; k < 7; ++k) rgb[k] = ColorToRGB(colors[k]);
            for (int i = 0; i < size.cy; ++i) {
              auto* row = static_cast<RGBQUAD*>(bitmap.ScanLine(i));
              for (int j = 0; j < size.cx; ++j) {
                const COLORREF c = rgb[FRadioButtonPattern[i][j]];
                row[j] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
              }
            }
            const int position = FList->Add(bitmap, FButtonMask.get());
            const int index = ImageIndex(state, checked, kind, designing, focused);
            if (index >= int(gRadioButtonImageIndexMap.size())) gRadioButtonImageIndexMap.resize(index + 1, -1);
            gRadioButtonImageIndexMap[index] = position;
          }
}

void TcxRadioButtonImageList::Reset() {
  FList->Clear();
  Prepare();
}

void TcxRadioButtonImageList::Draw(TcxCanvas& ACanvas, int X, int Y, TColor ABrushColor,
                                   TcxLookAndFeelKind ALookAndFeelKind, TcxButtonState AButtonState, bool AChecked,
                                   bool AFocused, bool AIsDesigning) {
  const int index = ImageIndex(AButtonState, AChecked, ALookAndFeelKind, AIsDesigning, AFocused);
  if (index < 0 || index >= int(gRadioButtonImageIndexMap.size()) || gRadioButtonImageIndexMap[index] < 0) return;
  const int image = gRadioButtonImageIndexMap[index];
  if (ABrushColor == clDefault) {
    FList->Draw(*ACanvas.Canvas(), X, Y, image, true);
    return;
  }
  const SIZE size = GetSize();
  TcxBitmap bitmap(size.cx, size.cy);
  bitmap.cxCanvas().FillRect(bitmap.ClientRect(), TColor(ColorToRGB(ABrushColor)));
  FList->Draw(bitmap.Canvas(), 0, 0, image, true);
  BitBlt(ACanvas.Handle(), X, Y, size.cx, size.cy, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

TcxRadioButtonImageList* GetRadioButtonImageList() {
  if (!gRadioButtonImageList && !gPaintersFinalizing) {
    gRadioButtonImageList = new TcxRadioButtonImageList();
    gRadioButtonImageList->Prepare();
  }
  return gRadioButtonImageList;
}

const std::vector<int>& RadioButtonImageIndexMap() { return gRadioButtonImageIndexMap; }

SIZE CheckBoxGlyphSize() { return gCheckBoxGlyphSize; }

TImageList* IndicatorImages() { return gIndicatorImages; }

TBitmap* ScrollBarPatternBitmap(int AIndex) { return gScrollBarPatterns[AIndex]; }

void PaintScrollBarPatternBitmaps() {
  static constexpr TColor kColors[2][2] = {{clBtnFace, clBtnHighlight}, {clBlack, cl3DDkShadow}};
  for (int k = 0; k < 2; ++k) {
    if (!gScrollBarPatterns[k]) {
      gScrollBarPatterns[k] = new TBitmap();
      gScrollBarPatterns[k]->SetPixelFormat(TPixelFormat::pf24bit);
      gScrollBarPatterns[k]->SetSize(8, 8);
    }
    TCanvas& canvas = gScrollBarPatterns[k]->Canvas();
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) canvas.SetPixel(x, y, kColors[k][(x % 2 == y % 2) ? 0 : 1]);
  }
}

TObject* PaintersPaletteNotifier() { return gPaintersPaletteNotifier; }

// ===================================================================== unit

void cxLookAndFeelPaintersUnitStart() {
  gPaintersFinalizing = false;
  gPaintersManager = new TcxLookAndFeelPaintersManager();
  gPaintersPaletteNotifier = new TPaintersPaletteNotifier();
  LoadIndicatorImages();
  PaintScrollBarPatternBitmaps();
  gCheckBoxGlyphSize = MeasureSystemCheckBoxCell();
  gPaintersManager->Register(new TcxFlatLookAndFeelPainter());
  gPaintersManager->Register(new TcxOffice11LookAndFeelPainter());
  gPaintersManager->Register(new TcxStandardLookAndFeelPainter());
  gPaintersManager->Register(new TcxUltraFlatLookAndFeelPainter());
  gPaintersManager->Register(new TcxWinXPLookAndFeelPainter());
}

void cxLookAndFeelPaintersUnitStop() {
  gPaintersFinalizing = true;
  delete std::exchange(gPaintersPaletteNotifier, nullptr);
  for (TBitmap*& pattern : gScrollBarPatterns) delete std::exchange(pattern, nullptr);
  delete std::exchange(gIndicatorImages, nullptr);
  delete std::exchange(gPaintersManager, nullptr);
  delete std::exchange(gRadioButtonImageList, nullptr);
  gRadioButtonImageIndexMap.clear();
  gRadioButtonImageIndexMap.shrink_to_fit();
}

}  // namespace tvk
