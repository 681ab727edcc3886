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
  DrawGlyphOrImage(ACanvas.Handle(), R, R, &bitmap, nullptr, -1, idmNormal, false, nullptr, clNone, false);
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
  // The library's disabled look, not the image list's own.
  DrawGlyphOrImage(ACanvas.Handle(), AGlyphRect, AGlyphRect, nullptr, AImageList, AImageIndex,
                   AEnabled ? idmNormal : idmDisabled);
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

// ===================================================================== standard and flat painters

namespace {

void PntPolyline(TcxCanvas& ACanvas, const TPointArray& APoints, TColor AColor) {
  PntSetPen(ACanvas, AColor);
  ACanvas.Canvas()->Polyline(APoints);
}

// The side strips of a classic tab; adjacent tabs share the highlight corner pixels.
void PntClassicTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder, TcxBorders ABorders, bool AVertical) {
  RECT r = R;
  if (!AVertical) {
    if (ABorder == bLeft || ABorder == bRight) {
      if (ABorders & bTop) r.top += 2;
      if (ABorders & bBottom) r.bottom -= 1;
    } else if (ABorder == bTop) {
      ++r.left, --r.right;
      ACanvas.SetPixel(r.left - 1, r.top + 1, clBtnHighlight);
      ACanvas.SetPixel(r.right, r.top + 1, clBtnHighlight);
    }
  } else if (ABorder == bLeft) {
    r.top += ABorders & bTop ? 2 : 1;
    r.bottom -= ABorders & bBottom ? 2 : 1;
    ACanvas.SetPixel(r.left + 1, r.top - 1, clBtnHighlight);
    ACanvas.SetPixel(r.left + 1, r.bottom, clBtnHighlight);
  } else if ((ABorder == bTop || ABorder == bBottom) && (ABorders & bLeft))
    ++r.left;
  const bool shadow = AVertical ? ABorder == bBottom : ABorder == bRight;
  ACanvas.FillRect(r, shadow ? clBtnShadow : clBtnHighlight);
}

// Raised inner edge; neighbouring headers join without a notch.
void PntClassicHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors) {
  ACanvas.DrawEdge(R, false, false);
  if (ANeighbors & nLeft) {
    ACanvas.SetPixel(R.left, R.top + 1, clBtnFace);
    ACanvas.SetPixel(R.left, R.bottom - 2, clBtnFace);
  }
  if (ANeighbors & nRight) {
    ACanvas.SetPixel(R.right - 1, R.top, clBtnHighlight);
    ACanvas.SetPixel(R.right - 1, R.top + 1, clBtnFace);
    ACanvas.SetPixel(R.right - 1, R.bottom - 2, clBtnFace);
  }
}

void PntClassicFilterDropDownButton(TcxCustomLookAndFeelPainter& APainter, TcxCanvas& ACanvas, const RECT& R,
                                    TcxButtonState AState, bool AIsFilterActive, void (TcxCustomLookAndFeelPainter::*
                                    ADrawArrow)(TcxCanvas&, const RECT&, TColor)) {
  ACanvas.DrawEdge(R, AState == cxbsPressed, AState == cxbsPressed);
  ACanvas.FillRect(PntShrink(R, 1), clBtnFace);
  (APainter.*ADrawArrow)(ACanvas, PntShrink(R, 1), AIsFilterActive ? clBlue : clBtnText);
}

void PntPatternPart(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  ACanvas.FillRect(R, ScrollBarPatternBitmap(AState == cxbsPressed ? 1 : 0));
}

// Lines along the two long sides of a splitter, then the rest moved inward by one.
RECT PntSplitterLines(TcxCanvas& ACanvas, const RECT& R, bool AIsHorizontal, TColor AFirst, TColor ASecond) {
  if (AIsHorizontal) {
    ACanvas.FillRect(RECT{R.left, R.top, R.right, R.top + 1}, AFirst);
    ACanvas.FillRect(RECT{R.left, R.bottom - 1, R.right, R.bottom}, ASecond);
    return {R.left - 1, R.top + 1, R.right + 1, R.bottom - 1};
  }
  ACanvas.FillRect(RECT{R.left, R.top, R.left + 1, R.bottom}, AFirst);
  ACanvas.FillRect(RECT{R.right - 1, R.top, R.right, R.bottom}, ASecond);
  return {R.left + 1, R.top - 1, R.right - 1, R.bottom + 1};
}

void PntMonthArrows(TcxCustomLookAndFeelPainter& APainter, TcxCanvas& ACanvas, const RECT& ABounds,
                    TcxArrowDirections AArrows) {
  const int side = PntHeight(ABounds);
  if (AArrows & (1u << adLeft))
    APainter.DrawArrow(ACanvas, RECT{ABounds.left, ABounds.top, ABounds.left + side, ABounds.bottom}, adLeft,
                       clWindowText);
  if (AArrows & (1u << adRight))
    APainter.DrawArrow(ACanvas, RECT{ABounds.right - side, ABounds.top, ABounds.right, ABounds.bottom}, adRight,
                       clWindowText);
}

}  // namespace

void TcxStandardLookAndFeelPainter::DrawBorder(TcxCanvas& ACanvas, const RECT& R) {
  ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
  ACanvas.DrawComplexFrame(PntShrink(R, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  if (AState == cxbsPressed) {
    ACanvas.FrameRect(R, clBlack);
    ACanvas.FrameRect(PntShrink(R, 1), clBtnShadow);
    return;
  }
  RECT r = R;
  if (AState == cxbsDefault) {
    ACanvas.FrameRect(r, clBlack);
    r = PntShrink(r, 1);
  }
  ACanvas.DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow);
  ACanvas.DrawComplexFrame(PntShrink(r, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                     TColor AColor) {
  ACanvas.DrawEdge(R, false, false, bLeft | bTop);
  ACanvas.DrawEdge(R, false, true, bRight | bBottom);
  const RECT r = PntShrink(R, 1);
  ACanvas.DrawEdge(r, false, false, bRight | bBottom);
  ACanvas.FillRect(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, AColor == clDefault ? clBtnFace : AColor);
  DrawPlusMinusSign(ACanvas, R, AExpanded, clBtnText);
  ACanvas.ExcludeClipRect(R);
}

void TcxStandardLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                          TcxButtonState AState) {
  TcxCustomLookAndFeelPainter* flat =
      cxLookAndFeelPaintersManager() ? cxLookAndFeelPaintersManager()->GetPainter(lfsFlat) : nullptr;
  if (flat && flat != this)
    flat->DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
  else
    TcxCustomLookAndFeelPainter::DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
}

void TcxStandardLookAndFeelPainter::DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  (void)AState;
  ACanvas.DrawEdge(R, true, false);
  ACanvas.DrawEdge(PntShrink(R, 1), true, true);
}

void TcxStandardLookAndFeelPainter::DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors,
                                                     TcxBorders ABorders) {
  (void)ABorders;
  PntClassicHeaderBorder(ACanvas, R, ANeighbors);
}

void TcxStandardLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R,
                                                                   TcxBorders ABorders, TcxButtonState AState) {
  if (AState == cxbsPressed) {
    ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnShadow, ABorders);
    return;
  }
  ACanvas.DrawComplexFrame(R, clBtnHighlight, cl3DDkShadow, ABorders);
  ACanvas.DrawComplexFrame(PntShrink(R, 1), cl3DLight, clBtnShadow, ABorders);
}

void TcxStandardLookAndFeelPainter::DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnHighlight, AAscendingSorting);
}

void TcxStandardLookAndFeelPainter::DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R,
                                                           bool AAscendingSorting) {
  DrawSummarySortingArrow(ACanvas, R, clBtnShadow, clBtnHighlight, AAscendingSorting);
}

void TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                             bool AIsFilterActive) {
  PntClassicFilterDropDownButton(*this, ACanvas, R, AState, AIsFilterActive,
                                 &TcxStandardLookAndFeelPainter::DrawDropDownArrow);
}

void TcxStandardLookAndFeelPainter::DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder,
                                                  TcxBorders ABorders, bool AVertical) {
  PntClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxStandardLookAndFeelPainter::DrawScrollBarButtonFrame(TcxCanvas& ACanvas, const RECT& R, bool APressedArrow) {
  if (APressedArrow) {
    ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnShadow);
    ACanvas.DrawComplexFrame(PntShrink(R, 1), clBtnFace, clBtnFace);
  } else {
    ACanvas.DrawComplexFrame(R, clBtnFace, cl3DDkShadow);
    ACanvas.DrawComplexFrame(PntShrink(R, 1), clBtnHighlight, clBtnShadow);
  }
}

void TcxStandardLookAndFeelPainter::DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R,
                                                      TcxScrollBarPart APart, TcxButtonState AState) {
  if (PntIsEmpty(R) || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  switch (APart) {
    case sbpThumbnail:
      DrawScrollBarButtonFrame(ACanvas, R, false);
      ACanvas.FillRect(PntShrink(R, ButtonBorderSize(cxbsNormal)), clBtnFace);
      break;
    case sbpLineUp:
    case sbpLineDown: {
      static constexpr UINT kGlyphs[2][2] = {{DFCS_SCROLLUP, DFCS_SCROLLDOWN}, {DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}};
      UINT flags = kGlyphs[AHorizontal ? 1 : 0][APart == sbpLineDown ? 1 : 0];
      if (AState == cxbsDisabled) flags |= DFCS_INACTIVE;
      if (AState == cxbsPressed) flags |= DFCS_FLAT;
      RECT r = AState == cxbsPressed ? PntOffset(R, 1, 1) : R;
      DrawFrameControl(ACanvas.Handle(), &r, DFC_SCROLL, flags);
      DrawScrollBarButtonFrame(ACanvas, R, AState == cxbsPressed);
      break;
    }
    case sbpPageUp:
    case sbpPageDown: PntPatternPart(ACanvas, R, AState); break;
    default: break;
  }
}

void TcxStandardLookAndFeelPainter::DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText,
                                                    TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                                                    TcxArrowDirections AArrows, int ASideWidth,
                                                    const TcxDrawBackgroundEvent& AOnDrawBackground) {
  (void)ASideWidth;
  TcxBorders sides = cxBordersAll;
  if (ANeighbors & nRight) sides &= ~unsigned(bRight);
  if (ANeighbors & nLeft) sides &= ~unsigned(bLeft);
  ACanvas.FrameRect(ABounds, clBlack, 1, sides);
  const RECT content = HeaderContentBounds(ABounds, sides);
  DrawHeader(ACanvas, content, content, ANeighbors, cxBordersAll, cxbsNormal, TAlignment::taCenter,
             TcxAlignmentVert::vaCenter, false, false, AText, AViewParams.Font, AViewParams.TextColor,
             AViewParams.Color, AOnDrawBackground);
  PntMonthArrows(*this, ACanvas, ABounds, AArrows);
}

void TcxStandardLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R,
                                                                const TcxViewParams& AViewParams,
                                                                bool AIsHorizontal) {
  RECT r = PntSplitterLines(ACanvas, R, AIsHorizontal, clBtnFace, cl3DDkShadow);
  r = PntSplitterLines(ACanvas, r, AIsHorizontal, clBtnHighlight, clBtnShadow);
  ACanvas.FillRect(r, AViewParams, 0, clDefault, 1);
}

void TcxStandardLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled,
                                                      TcxGroupBoxCaptionPosition ACaptionPosition,
                                                      TcxBorders ABorders) {
  (void)AEnabled, (void)ACaptionPosition;
  const RECT r{R.left, R.top, R.right - 1, R.bottom - 1};
  ACanvas.FrameRect(r, clBtnShadow, 1, ABorders, true);
  ACanvas.FrameRect(PntOffset(r, 1, 1), clBtnHighlight, 1, ABorders);
}

void TcxStandardLookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) {
  ACanvas.DrawComplexFrame(ARect, clBtnShadow, clBtnHighlight);
  ACanvas.DrawComplexFrame(PntShrink(ARect, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                                                  const TPointArray& AShadowPolyLine,
                                                                  const TPointArray& ADarkPolyLine) {
  PntPolyline(ACanvas, ALightPolyLine, clBtnHighlight);
  PntPolyline(ACanvas, AShadowPolyLine, clBtnShadow);
  PntPolyline(ACanvas, ADarkPolyLine, cl3DDkShadow);
}

void TcxStandardLookAndFeelPainter::DrawTrackBarThumbBorderBoth(TcxCanvas& ACanvas, const RECT& ARect) {
  ACanvas.DrawComplexFrame(ARect, clBtnHighlight, cl3DDkShadow);
  ACanvas.DrawComplexFrame(PntShrink(ARect, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                             TdxBreadcrumbEditButtonState AState, bool AIsFirst,
                                                             bool AIsLast) {
  (void)AIsFirst, (void)AIsLast;
  if (PntIsEmpty(ARect)) return;
  if (AState == dxbcbsPressed)
    ACanvas.DrawComplexFrame(ARect, clBtnShadow, clBtnHighlight);
  else if (AState == dxbcbsFocused || AState == dxbcbsHot)
    ACanvas.DrawComplexFrame(ARect, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  if (AState == cxbsPressed) {
    ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnHighlight);
    return;
  }
  RECT r = R;
  if (AState == cxbsDefault) {
    ACanvas.FrameRect(r, clBlack);
    r = PntShrink(r, 1);
  }
  ACanvas.DrawComplexFrame(r, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor) {
  DrawButton(ACanvas, R, {}, cxbsNormal, true, AColor);
  DrawPlusMinusSign(ACanvas, PntShrink(R, 1), AExpanded, clBtnText);
  ACanvas.ExcludeClipRect(R);
}

void TcxFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  ACanvas.DrawEdge(R, true, true);
  ACanvas.FrameRect(PntShrink(R, 1), CheckButtonColor(AState));
}

void TcxFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors,
                                                 TcxBorders ABorders) {
  (void)ABorders;
  PntClassicHeaderBorder(ACanvas, R, ANeighbors);
}

void TcxFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders,
                                                               TcxButtonState AState) {
  if (AState == cxbsPressed)
    ACanvas.DrawComplexFrame(R, clBtnShadow, clBtnHighlight, ABorders);
  else
    ACanvas.DrawComplexFrame(R, clBtnHighlight, clBtnShadow, ABorders);
}

void TcxFlatLookAndFeelPainter::DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnHighlight, AAscendingSorting);
}

void TcxFlatLookAndFeelPainter::DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
  DrawSummarySortingArrow(ACanvas, R, clBtnShadow, clBtnHighlight, AAscendingSorting);
}

void TcxFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                         bool AIsFilterActive) {
  PntClassicFilterDropDownButton(*this, ACanvas, R, AState, AIsFilterActive,
                                 &TcxFlatLookAndFeelPainter::DrawDropDownArrow);
}

void TcxFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder,
                                              TcxBorders ABorders, bool AVertical) {
  PntClassicTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R,
                                                  TcxScrollBarPart APart, TcxButtonState AState) {
  if (PntIsEmpty(R) || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
      DrawButton(ACanvas, R, {}, AState);
      if (APart != sbpThumbnail)
        DrawScrollBarArrow(ACanvas, PntShrink(R, ButtonBorderSize(cxbsNormal)), AState,
                           ScrollBarArrowDirection(AHorizontal, APart));
      break;
    case sbpPageUp:
    case sbpPageDown: PntPatternPart(ACanvas, R, AState); break;
    default: break;
  }
}

void TcxFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R,
                                                            const TcxViewParams& AViewParams, bool AIsHorizontal) {
  RECT r = PntSplitterLines(ACanvas, R, AIsHorizontal, clBtnHighlight, clBtnShadow);
  ACanvas.FillRect(r, AViewParams, 0, clDefault, 1);
}

void TcxFlatLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled,
                                                  TcxGroupBoxCaptionPosition ACaptionPosition, TcxBorders ABorders) {
  (void)AEnabled, (void)ACaptionPosition;
  ACanvas.FrameRect(R, clBtnShadow, 1, ABorders);
  ACanvas.FrameRect(PntShrink(R, 1), clBtnHighlight, 1, ABorders);
}

void TcxFlatLookAndFeelPainter::DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) {
  ACanvas.DrawComplexFrame(ARect, clBtnShadow, clBtnHighlight);
  ACanvas.DrawComplexFrame(PntShrink(ARect, 1), clBtnFace, clBtnFace);
}

void TcxFlatLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                                              const TPointArray& AShadowPolyLine,
                                                              const TPointArray& ADarkPolyLine) {
  (void)AShadowPolyLine;
  PntPolyline(ACanvas, ALightPolyLine, clBtnHighlight);
  PntPolyline(ACanvas, ADarkPolyLine, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R) {
  ACanvas.FillRect(R, DefaultDateNavigatorHeaderColor());
  ACanvas.FillRect(RECT{R.left, R.bottom - 1, R.right, R.bottom}, clBtnFace);
  --R.bottom;
}

// ===================================================================== ultra-flat painter

TColor TcxUltraFlatLookAndFeelPainter::ButtonColor(TcxButtonState AState) {
  if (AState == cxbsHot) return GetLightHotColor();
  if (AState == cxbsPressed) return GetLightPressedColor();
  return clBtnFace;
}

RECT TcxUltraFlatLookAndFeelPainter::ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R) {
  (void)ACanvas;
  const RECT r = PntShrink(R, 3);
  return PntIsEmpty(r) ? R : r;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) {
  return AState == cxbsPressed ? clHighlightText : TcxCustomLookAndFeelPainter::ButtonSymbolColor(AState, ADefaultColor);
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  if (AState == cxbsDefault) {
    ACanvas.FrameRect(R, clWindowFrame);
    ACanvas.FrameRect(PntShrink(R, 1), clWindowFrame);
    return;
  }
  static constexpr TColor kColors[] = {clWindowFrame, clBtnText, clHighlight, clHighlight, clBtnShadow};
  ACanvas.FrameRect(R, kColors[AState]);
}

void TcxUltraFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                      TColor AColor) {
  ACanvas.FrameRect(R, clBtnShadow);
  ACanvas.FillRect(PntShrink(R, 1), AColor == clDefault ? clBtnFace : AColor);
  DrawPlusMinusSign(ACanvas, R, AExpanded, clBtnText);
  ACanvas.ExcludeClipRect(R);
}

void TcxUltraFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  ACanvas.FrameRect(R, clBtnText);
  ACanvas.FrameRect(PntShrink(R, 1), CheckButtonColor(AState));
}

TColor TcxUltraFlatLookAndFeelPainter::RadioButtonBodyColor(TcxButtonState AState) {
  switch (AState) {
    case cxbsNormal: return clWindow;
    case cxbsHot: return GetLightHotColor();
    case cxbsPressed: return GetLightPressedColor();
    default: return clBtnFace;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
  DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
}

void TcxUltraFlatLookAndFeelPainter::DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R,
                                                            bool AAscendingSorting) {
  DrawSummarySortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors,
                                                      TcxBorders ABorders) {
  (void)ANeighbors;
  ACanvas.FrameRect(R, clBtnText, 1, (ABorders & (bLeft | bTop)) | bRight | bBottom);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderEx(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                                  TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                                  TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                  bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                                                  TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                  const TcxDrawBackgroundEvent& AOnDrawBackground) {
  DrawContent(ACanvas, ABounds, PntShrink(ATextAreaBounds, 1), AState, AAlignmentHorz, AAlignmentVert, AMultiLine,
              AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground, false);
  DrawHeaderBorder(ACanvas, PntShrink(ABounds, 1), ANeighbors, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R,
                                                                    TcxBorders ABorders, TcxButtonState AState) {
  ACanvas.FrameRect(R, AState == cxbsDisabled ? clBtnShadow : clBlack, 1, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxButtonState AState,
    TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
    const WideString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor) {
  const bool own = AState == cxbsHot || AState == cxbsPressed || AState == cxbsDisabled;
  ACanvas.FillRect(ABounds, own ? ButtonColor(AState) : ABkColor);
  DrawHeaderControlSectionText(ACanvas, ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert, AMultiLine,
                               AShowEndEllipsis, AText, AFont, ATextColor);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderBorders(TcxNeighbors ANeighbors) {
  TcxBorders borders = cxBordersAll;
  if (ANeighbors & nLeft) borders &= ~unsigned(bLeft);
  if (ANeighbors & nTop) borders &= ~unsigned(bTop);
  return borders;
}

void TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                              bool AIsFilterActive) {
  ACanvas.FrameRect(R, FilterDropDownButtonBorderColor(AState));
  ACanvas.FillRect(PntShrink(R, 1), ButtonColor(AState));
  DrawDropDownArrow(ACanvas, PntShrink(R, 1), AIsFilterActive ? clBlue : ButtonSymbolColor(AState, clDefault));
}

void TcxUltraFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder,
                                                   TcxBorders ABorders, bool AVertical) {
  (void)ABorders;
  RECT r = R;
  bool strong = false;
  if (!AVertical && ABorder == bRight) {
    r.bottom -= TabBorderSize(AVertical);
    strong = true;
  } else if (AVertical && ABorder == bBottom)
    strong = true;
  ACanvas.FillRect(r, strong ? StrongFrameColor() : MutedFrameColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R,
                                                       TcxScrollBarPart APart, TcxButtonState AState) {
  if (PntIsEmpty(R) || (APart == sbpThumbnail && AState == cxbsDisabled)) return;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail:
      DrawButton(ACanvas, R, {}, AState);
      if (APart != sbpThumbnail)
        DrawScrollBarArrow(ACanvas, R, AState, ScrollBarArrowDirection(AHorizontal, APart));
      break;
    case sbpPageUp:
    case sbpPageDown: PntPatternPart(ACanvas, R, AState); break;
    default: break;
  }
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect,
                                                                          const RECT& AArrowRect, bool AIsNextButton,
                                                                          TcxButtonState AState) {
  ACanvas.FillRect(ARect, clBtnFace);
  const TColor frame = AState == cxbsHot ? MutedFrameColor() : StrongFrameColor();
  ACanvas.DrawComplexFrame(ARect, frame, frame, bTop | bBottom | (AIsNextButton ? bLeft : bRight));
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton, ButtonSymbolColor(AState, clDefault));
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R,
                                                                 const TcxViewParams& AViewParams,
                                                                 bool AIsHorizontal) {
  const TColor border = DefaultSchedulerBorderColor();
  RECT r = PntSplitterLines(ACanvas, R, AIsHorizontal, border, border);
  ACanvas.FillRect(r, AViewParams, 0, clDefault, 1);
}

void TcxUltraFlatLookAndFeelPainter::DrawNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                         TColor ABackgroundColor) {
  const bool quiet = AState == cxbsNormal || AState == cxbsDisabled;
  ACanvas.FrameRect(R, quiet ? ABackgroundColor : BorderHighlightColor());
  ACanvas.FillRect(PntShrink(R, 1), ButtonColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas,
                                                                   const TPointArray& ALightPolyLine,
                                                                   const TPointArray& AShadowPolyLine,
                                                                   const TPointArray& ADarkPolyLine) {
  (void)AShadowPolyLine;
  PntPolyline(ACanvas, ALightPolyLine, clWindowText);
  PntPolyline(ACanvas, ADarkPolyLine, clWindowText);
}

void TcxUltraFlatLookAndFeelPainter::DrawPrintPreviewBackground(TcxCanvas& ACanvas, const RECT& R) {
  const COLORREF c = ColorToRGB(clBtnShadow);
  const auto lift = [](int v) { return v + (255 - v) / 3; };
  ACanvas.FillRect(R, TColor(RGB(lift(GetRValue(c)), lift(GetGValue(c)), lift(GetBValue(c)))));
}

void TcxUltraFlatLookAndFeelPainter::DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect,
                                                                   bool AHasBorders) {
  RECT r = ARect;
  if (AHasBorders) {
    ACanvas.FrameRect(r, clBtnShadow);
    r = PntShrink(r, 1);
    ACanvas.FrameRect(r, clBtnHighlight);
    r = PntShrink(r, 1);
  }
  ACanvas.FillRect(r, clWindow);
}

namespace {
// The middle row of a list-box separator: the sum rounded down to even, then halved.
int PntSeparatorRow(const RECT& R) {
  int sum = R.top + R.bottom - 1;
  if (sum & 1) --sum;
  return sum / 2;
}
}  // namespace

void TcxUltraFlatLookAndFeelPainter::DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                                                  const RECT& AGutterRect) {
  const int y = PntSeparatorRow(ARect);
  ACanvas.FillRect(RECT{AGutterRect.right + 4, y, ARect.right, y + 1}, clBtnShadow);
}

RECT TcxUltraFlatLookAndFeelPainter::BreadcrumbEditButtonContentOffsets(bool AIsFirst, bool AIsLast) {
  return ScaleRectByScreenDPI(RECT{AIsFirst ? 2 : 3, 3, AIsLast ? 2 : 3, 3});
}

void TcxUltraFlatLookAndFeelPainter::DrawBreadcrumbEditBorders(TcxCanvas& ACanvas, const RECT& ARect,
                                                               TcxBorders ABorders, TdxBreadcrumbEditState AState) {
  const bool lit = AState == dxbcsFocused || AState == dxbcsHot;
  ACanvas.FrameRect(ARect, lit ? clHighlight : clBtnShadow, 1, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawBreadcrumbEditButtonArea(TcxCanvas& ACanvas, const RECT& R,
                                                                  TdxBreadcrumbEditButtonState AState,
                                                                  TcxBorders ABorders) {
  ACanvas.FillRect(R, ButtonColor(PntBreadcrumbState(AState)));
  if (AState == dxbcbsFocused)
    ACanvas.FrameRect(R, clBtnShadow, 1, ABorders);
  else if (AState == dxbcbsHot || AState == dxbcbsPressed)
    ACanvas.FrameRect(R, clHighlight, 1, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                              TdxBreadcrumbEditButtonState AState, bool AIsFirst,
                                                              bool AIsLast) {
  if (AState == dxbcbsNormal || AState == dxbcbsDisabled) return;
  TcxBorders sides = bLeft | bRight;
  if (AIsFirst) sides &= ~unsigned(bLeft);
  if (AIsLast) sides &= ~unsigned(bRight);
  DrawBreadcrumbEditButtonArea(ACanvas, ARect, AState, sides);
}

void TcxUltraFlatLookAndFeelPainter::DrawBreadcrumbEditDropDownButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                                      TdxBreadcrumbEditButtonState AState,
                                                                      bool AIsInEditor) {
  if (AIsInEditor || (AState != dxbcbsNormal && AState != dxbcbsDisabled))
    DrawBreadcrumbEditButtonArea(ACanvas, ARect, AState, bLeft);
}

// ===================================================================== Office 2003 painter

namespace {

// The scheme colour of each role (0: the role has no scheme colour and is
// derived from the system colours in every scheme).
constexpr int kOffice11RoleColors[] = {3,  4,  1,  2,  15, 16, 5,  0,  20, 5, 22,
                                       21, 23, 25, 28, 31, 32, 0,  12, 28, 37, 33};

}  // namespace

TColor TcxOffice11LookAndFeelPainter::RoleColor(TRole ARole) {
  switch (ARole) {
    case rFilterBoxText: return clBtnHighlight;
    case rGroupByBox: return BlendColorsByPercent(clBtnShadow, clBtnFace, 50);
    default: return Office11SchemeColor(kOffice11RoleColors[ARole]);
  }
}

TColor TcxOffice11LookAndFeelPainter::HeaderGradientStartColor() {
  return BlendColorsByPercent(RoleColor(rBand1), RoleColor(rBand2), 50);
}

TColor TcxOffice11LookAndFeelPainter::ButtonColor(TcxButtonState AState) {
  switch (AState) {
    case cxbsHot: return RoleColor(rSelected1);
    case cxbsPressed: return RoleColor(rPressed);
    case cxbsDisabled: return clBtnFace;
    default: return RoleColor(rFace);
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) {
  (void)ADefaultColor;
  if (AState == cxbsPressed && !IsOffice11Themed()) return clHighlightText;
  return RoleColor(AState == cxbsDisabled ? rDisabledText : rText);
}

TColor TcxOffice11LookAndFeelPainter::CheckButtonColor(TcxButtonState AState) {
  if (AState == cxbsHot || AState == cxbsPressed || AState == cxbsDisabled) return ButtonColor(AState);
  return TcxUltraFlatLookAndFeelPainter::CheckButtonColor(AState);
}

TColor TcxOffice11LookAndFeelPainter::RadioButtonBodyColor(TcxButtonState AState) {
  return AState == cxbsNormal ? clWindow : ButtonColor(AState);
}

void TcxOffice11LookAndFeelPainter::DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) {
  (void)AIsVertical;
  const RECT r{R.left, R.top, R.right - 1, R.bottom - 1};
  ACanvas.FillRect(r, RoleColor(rSeparatorDark));
  ACanvas.FillRect(PntOffset(r, 1, 1), RoleColor(rSeparatorLight));
}

void TcxOffice11LookAndFeelPainter::DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  switch (AState) {
    case cxbsDefault: TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(ACanvas, R, AState); break;
    case cxbsNormal: ACanvas.FrameRect(R, clBtnText); break;
    case cxbsDisabled: ACanvas.FrameRect(R, RoleColor(rDisabledText)); break;
    default: ACanvas.FrameRect(R, RoleColor(rHighlightFrame)); break;
  }
}

void TcxOffice11LookAndFeelPainter::DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                     TColor AColor) {
  (void)AColor;
  constexpr int kSize = 11;
  const RECT box{0, 0, kSize, kSize};
  TcxBitmap32 glyph(kSize, kSize);
  TcxCanvas& g = glyph.cxCanvas();
  FillGradientRect(g.Handle(), box, RoleColor(rBand1), RoleColor(rLightFace), false);
  g.FrameRect(box, RoleColor(rBorder));
  DrawPlusMinusSign(g, box, AExpanded, clBtnText);
  const TColor topLeft = TColor(GetPixel(ACanvas.Handle(), R.left, R.top));
  const TColor bottomRight = TColor(GetPixel(ACanvas.Handle(), R.right - 1, R.bottom - 1));
  g.SetPixel(0, 0, BlendColorsByPercent(0xBFAE9E, topLeft, 25));
  const TColor outer = BlendColorsByPercent(0x5F462E, bottomRight, 25);
  for (const POINT p : {POINT{kSize - 1, kSize - 1}, POINT{0, kSize - 1}, POINT{kSize - 1, 0}}) g.SetPixel(p.x, p.y, outer);
  BitBlt(ACanvas.Handle(), R.left, R.top, kSize, kSize, glyph.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TcxOffice11LookAndFeelPainter::DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
  DrawSortingArrow(ACanvas, R, HeaderShadowLineColor(), HeaderHighlightLineColor(), AAscendingSorting);
}

void TcxOffice11LookAndFeelPainter::DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R,
                                                           bool AAscendingSorting) {
  DrawSummarySortingArrow(ACanvas, R, HeaderShadowLineColor(), HeaderHighlightLineColor(), AAscendingSorting);
}

void TcxOffice11LookAndFeelPainter::DrawContent(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                                TcxButtonState AState, TAlignment AAlignmentHorz,
                                                TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                bool AShowEndEllipsis, const WideString& AText, TFont* AFont,
                                                TColor ATextColor, TColor ABkColor,
                                                const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsFooter) {
  if (!(AOnDrawBackground && AOnDrawBackground(ACanvas, ABounds))) {
    const TColor c1 = AState == cxbsHot ? RoleColor(rBand1) : HeaderGradientStartColor();
    const TColor c2 = AState == cxbsHot ? RoleColor(rBand1) : HeaderGradientEndColor();
    if (AIsFooter)
      ACanvas.FillRect(ABounds, c1);
    else {
      ACanvas.FillRect(RECT{ABounds.left, ABounds.top, ABounds.right, ABounds.bottom - 3}, c1);
      FillGradientRect(ACanvas.Handle(), RECT{ABounds.left, ABounds.bottom - 4, ABounds.right, ABounds.bottom}, c1, c2,
                       false);
    }
  }
  // The base drawing adds the text; the background is already there.
  TcxUltraFlatLookAndFeelPainter::DrawContent(ACanvas, ABounds, ATextAreaBounds, AState, AAlignmentHorz,
                                              AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor,
                                              ABkColor, [](TcxCanvas&, const RECT&) { return true; }, AIsFooter);
  if (AState == cxbsHot)
    FillGradientRect(ACanvas.Handle(), RECT{ABounds.left - 1, ABounds.bottom - 2, ABounds.right, ABounds.bottom + 1},
                     RoleColor(rSelected1), RoleColor(rSelected2), false);
}

void TcxOffice11LookAndFeelPainter::DrawHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                               TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                               TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                               bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                                               TFont* AFont, TColor ATextColor, TColor ABkColor,
                                               const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast,
                                               bool AIsGroup) {
  (void)AOnDrawBackground, (void)AIsGroup;
  TcxUltraFlatLookAndFeelPainter::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState,
                                             AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AText,
                                             AFont, ATextColor, ABkColor, {}, AIsLast, false);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors,
                                                     TcxBorders ABorders) {
  const TColor top = HeaderGradientStartColor(), bottom = HeaderGradientEndColor();
  const TColor shadow = HeaderShadowLineColor(), light = HeaderHighlightLineColor();
  const TColor quarter = BlendColorsByPercent(top, bottom, 25);
  const auto column = [&](int X, int ATop, int ABottom, TColor AColor) {
    ACanvas.FillRect(RECT{X, ATop, X + 1, ABottom}, AColor);
  };
  if (ABorders & bTop) ACanvas.FillRect(RECT{R.left, R.top, R.right, R.top + 1}, top);
  if (ABorders & bBottom) ACanvas.FillRect(RECT{R.left, R.bottom - 1, R.right, R.bottom}, shadow);
  if (ABorders & bLeft) {
    ACanvas.SetPixel(R.left, R.top + 1, top);
    if (ANeighbors & nLeft) {
      ACanvas.SetPixel(R.left, R.top + 2, top);
      ACanvas.SetPixel(R.left, R.bottom - 3, quarter);
      ACanvas.SetPixel(R.left, R.bottom - 2, bottom);
      column(R.left, R.top + 2, R.bottom - 3, light);
    } else {
      ACanvas.SetPixel(R.left, R.bottom - 2, bottom);
      column(R.left, R.top + 1, R.bottom - 2, light);
    }
  }
  if (ABorders & bRight) {
    const int x = R.right - 1;
    if (ANeighbors & nRight) {
      ACanvas.SetPixel(x, R.top + 1, top);
      ACanvas.SetPixel(x, R.top + 2, top);
      ACanvas.SetPixel(x, R.bottom - 3, quarter);
      ACanvas.SetPixel(x, R.bottom - 2, bottom);
      column(x, R.top + 2, R.bottom - 3, shadow);
    } else {
      ACanvas.SetPixel(x, R.top, BlendColorsByPercent(top, shadow, 50));
      ACanvas.SetPixel(x, R.bottom - 2, BlendColorsByPercent(bottom, shadow, 50));
      column(x, R.top + 1, R.bottom - 2, shadow);
    }
  }
}

void TcxOffice11LookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors,
    TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
    bool AMultiLine, bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) {
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert,
             AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor);
  if (AState == cxbsPressed) DrawHeaderPressed(ACanvas, ABounds);
}

void TcxOffice11LookAndFeelPainter::LayoutViewDrawRecordCaption(TcxCanvas& ACanvas, const RECT& ABounds,
                                                                TcxGroupBoxCaptionPosition APosition,
                                                                TcxButtonState AState) {
  LayoutViewDrawRecordBorder(ACanvas, ABounds, AState, cxBordersAll);
  DrawContent(ACanvas, ABounds, RECT{}, AState, TAlignment::taLeftJustify, TcxAlignmentVert::vaTop, false, false, {},
              nullptr, clDefault, clDefault, {}, APosition == cxgpTop);
}

TcxCustomLookAndFeelPainter* TcxOffice11LookAndFeelPainter::NativePainter() {
  return cxLookAndFeelPaintersManager() ? cxLookAndFeelPaintersManager()->GetPainter(lfsNative) : nullptr;
}

int TcxOffice11LookAndFeelPainter::ScrollBarMinimalThumbSize(bool AVertical) {
  if (TcxCustomLookAndFeelPainter* native = NativePainter()) return native->ScrollBarMinimalThumbSize(AVertical);
  return TcxUltraFlatLookAndFeelPainter::ScrollBarMinimalThumbSize(AVertical);
}

void TcxOffice11LookAndFeelPainter::DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R,
                                                      TcxScrollBarPart APart, TcxButtonState AState) {
  if (TcxCustomLookAndFeelPainter* native = NativePainter())
    native->DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
  else
    TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas& ACanvas, const RECT& R,
                                                                 TcxButtonState AState) {
  if (TcxCustomLookAndFeelPainter* native = NativePainter())
    native->DrawSchedulerNavigatorButton(ACanvas, R, AState);
  else
    TcxUltraFlatLookAndFeelPainter::DrawSchedulerNavigatorButton(ACanvas, R, AState);
}

void TcxOffice11LookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled,
                                                      TcxGroupBoxCaptionPosition ACaptionPosition,
                                                      TcxBorders ABorders) {
  TcxCustomLookAndFeelPainter* native = AreThemesAvailable(ThemedTypes({totButton})) ? NativePainter() : nullptr;
  if (native)
    native->DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
  else
    TcxUltraFlatLookAndFeelPainter::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
}

TColor TcxOffice11LookAndFeelPainter::GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) {
  TcxCustomLookAndFeelPainter* native = AreThemesAvailable(ThemedTypes({totButton})) ? NativePainter() : nullptr;
  if (native) return native->GroupBoxTextColor(AEnabled, ACaptionPosition);
  return TcxCustomLookAndFeelPainter::GroupBoxTextColor(AEnabled, ACaptionPosition);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect,
                                                                         const RECT& AArrowRect, bool AIsNextButton,
                                                                         TcxButtonState AState) {
  ACanvas.FillRect(ARect, ButtonColor(AState == cxbsHot || AState == cxbsPressed ? AState : cxbsNormal));
  const TColor border = DefaultSchedulerBorderColor();
  ACanvas.DrawComplexFrame(ARect, border, border, bTop | bBottom | (AIsNextButton ? bLeft : bRight));
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton, ButtonSymbolColor(AState, clDefault));
}

void TcxOffice11LookAndFeelPainter::DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText,
                                                    TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                                                    TcxArrowDirections AArrows, int ASideWidth,
                                                    const TcxDrawBackgroundEvent& AOnDrawBackground) {
  (void)ANeighbors, (void)ASideWidth;
  const RECT r = PntShrink(ABounds, 1);
  if (!(AOnDrawBackground && AOnDrawBackground(ACanvas, r))) ACanvas.FillRect(r, AViewParams.Color);
  PntSetFont(ACanvas, AViewParams.Font);
  ACanvas.Font().SetColor(AViewParams.TextColor);
  ACanvas.Brush().SetStyle(TBrushStyle::bsClear);
  ACanvas.DrawTexT(AText, r, cxTextAlignHCenter | cxTextAlignVCenter | cxTextSingleLine);
  ACanvas.Brush().SetStyle(TBrushStyle::bsSolid);
  PntMonthArrows(*this, ACanvas, ABounds, AArrows);
}

void TcxOffice11LookAndFeelPainter::DoDrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect) {
  DrawOffice11SizeGrip(ACanvas.Handle(), ARect);
}

void TcxOffice11LookAndFeelPainter::DrawPanelBackground(TcxCanvas& ACanvas, TWinControl* AControl, const RECT& ABounds,
                                                        TColor AColorFrom, TColor AColorTo) {
  if (AColorFrom == clDefault)
    PaintParentIntoCanvas(AControl, ACanvas, ABounds, true);
  else if (AColorTo == clDefault)
    ACanvas.FillRect(ABounds, AColorFrom);
  else
    FillGradientRect(ACanvas.Handle(), ABounds, AColorFrom, AColorTo, false);
}

void TcxOffice11LookAndFeelPainter::DrawLayoutControlBackground(TcxCanvas& ACanvas, const RECT& R) {
  FillGradientRect(ACanvas.Handle(), R, RoleColor(rBand1), RoleColor(rBand2), false);
}

void TcxOffice11LookAndFeelPainter::DrawAlertWindowBackground(TcxCanvas& ACanvas, const RECT& ABounds) {
  ACanvas.FrameRect(ABounds, RoleColor(rBorder));
  FillGradientRect(ACanvas.Handle(), PntShrink(ABounds, 1), RoleColor(rLightFace), RoleColor(rFace), false);
}

void TcxOffice11LookAndFeelPainter::DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas,
                                                                  const TPointArray& ALightPolyLine,
                                                                  const TPointArray& AShadowPolyLine,
                                                                  const TPointArray& ADarkPolyLine) {
  (void)AShadowPolyLine;
  PntPolyline(ACanvas, ALightPolyLine, clBtnText);
  PntPolyline(ACanvas, ADarkPolyLine, clBtnText);
}

void TcxOffice11LookAndFeelPainter::DrawBreadcrumbEditButtonArea(TcxCanvas& ACanvas, const RECT& R,
                                                                 TdxBreadcrumbEditButtonState AState,
                                                                 TcxBorders ABorders) {
  if (PntIsEmpty(R)) return;
  TColor from = HeaderGradientStartColor(), to = from;
  switch (AState) {
    case dxbcbsFocused: from = to = RoleColor(rSelected1); break;
    case dxbcbsHot: from = RoleColor(rSelected1), to = RoleColor(rSelected2); break;
    case dxbcbsPressed: from = RoleColor(rPressedStart), to = RoleColor(rSelected1); break;
    default: break;
  }
  FillOffice11Gradient(ACanvas.Handle(), R, from, to, false);
  ACanvas.FrameRect(R, RoleColor(rBorder), 1, ABorders);
}

void TcxOffice11LookAndFeelPainter::DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect,
                                                                  bool AHasBorders) {
  RECT r = ARect;
  if (AHasBorders) {
    ACanvas.FrameRect(r, RoleColor(rBorder));
    r = PntShrink(r, 1);
    ACanvas.FrameRect(r, RoleColor(rListBackground));
    r = PntShrink(r, 1);
  }
  ACanvas.FillRect(r, RoleColor(rListBackground));
}

void TcxOffice11LookAndFeelPainter::DrawDropDownListBoxSelection(TcxCanvas& ACanvas, const RECT& ARect,
                                                                 const RECT& AGutterRect) {
  (void)AGutterRect;
  ACanvas.FillRect(ARect, RoleColor(rSelected1));
  // The scheme's frame: the highlight text colour on a black face.
  const bool blackFace = IsBlackButtonFace() || IsBlackFaceScheme();
  ACanvas.FrameRect(ARect, blackFace ? clHighlightText : RoleColor(rHighlightFrame));
}

void TcxOffice11LookAndFeelPainter::DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                                                 const RECT& AGutterRect) {
  const int y = PntSeparatorRow(ARect);
  ACanvas.FillRect(RECT{AGutterRect.right + 8, y, ARect.right, y + 1}, RoleColor(rSeparatorDark));
}

void TcxOffice11LookAndFeelPainter::DrawDropDownListBoxGutterBackground(TcxCanvas& ACanvas, const RECT& ARect) {
  FillOffice11Gradient(ACanvas.Handle(), ARect, RoleColor(rBand1), RoleColor(rBand2), true);
}

// ===================================================================== native painter

namespace {

constexpr int kTmtButtonColor = 204, kTmtSizingMargins = 3601, kTmtContentMargins = 3602, kTmtBorderColor = 3801,
              kTmtTextColor = 3803, kTmtEdgeLightColor = 3804, kTmtEdgeHighlightColor = 3805;

HTHEME XPTheme(TdxThemedObjectType AType) { return GetThemeHandleForType(AType); }

int XPPlainState(TcxButtonState AState) {
  static constexpr int kStates[] = {1, 1, 2, 3, 4};
  return kStates[AState];
}

int XPHeaderState(TcxButtonState AState) {
  static constexpr int kStates[] = {1, 1, 2, 3, 1};
  return kStates[AState];
}

int XPScrollBarState(TcxButtonState AState) {
  switch (AState) {
    case cxbsHot: return 2;
    case cxbsPressed: return 3;
    case cxbsDisabled: return 4;
    default: return 1;
  }
}

// The TS_TRUE (or other) size of a part; false without a handle or when the query fails.
bool XPPartSize(TdxThemedObjectType AType, int APartId, int AStateId, THEMESIZE AKind, SIZE& ASize,
                HDC DC = nullptr) {
  HTHEME theme = XPTheme(AType);
  return theme && SUCCEEDED(GetThemePartSize(theme, DC, APartId, AStateId, AKind, ASize));
}

// The content rectangle of a part inside (0, 0, 100, 100).
bool XPContent(TdxThemedObjectType AType, int APartId, int AStateId, RECT& AContent) {
  HTHEME theme = XPTheme(AType);
  return theme && SUCCEEDED(GetThemeBackgroundContentRect(theme, nullptr, APartId, AStateId, RECT{0, 0, 100, 100},
                                                          AContent));
}

// The clipping region saved now is restored on leaving, also on an exception.
class XPClipGuard {
public:
  XPClipGuard(TcxCanvas& ACanvas, const RECT& R) : FCanvas(ACanvas) {
    FCanvas.SaveClipRegion();
    FCanvas.IntersectClipRect(R);
  }
  ~XPClipGuard() { FCanvas.RestoreClipRegion(); }
  XPClipGuard(const XPClipGuard&) = delete;
  XPClipGuard& operator=(const XPClipGuard&) = delete;

private:
  TcxCanvas& FCanvas;
};

}  // namespace

bool TcxWinXPLookAndFeelPainter::TryGetThemeColor(TdxThemedObjectType AType, int APartId, int AStateId, int APropId,
                                                  TColor& AColor) {
  HTHEME theme = XPTheme(AType);
  COLORREF color = 0;
  if (!theme || FAILED(tvk::GetThemeColor(theme, APartId, AStateId, APropId, color))) return false;
  AColor = TColor(color);
  return true;
}

int TcxWinXPLookAndFeelPainter::ButtonStateToNativeState(TcxButtonState AState) {
  static constexpr int kStates[] = {5, 1, 2, 3, 4};
  return kStates[AState];
}

TColor TcxWinXPLookAndFeelPainter::DefaultSchedulerBorderColor() {
  TColor color;
  return TryGetThemeColor(totComboBox, 1, 1, kTmtBorderColor, color) ? color : inherited::DefaultSchedulerBorderColor();
}

void TcxWinXPLookAndFeelPainter::DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                           TcxArrowDirection AArrowDirection, bool ADrawBorder) {
  HTHEME theme = XPTheme(totScrollBar);
  if (!theme) return inherited::DrawArrow(ACanvas, R, AState, AArrowDirection, ADrawBorder);
  static constexpr int kFirst[] = {1, 5, 9, 13};
  static constexpr int kOffset[] = {0, 0, 1, 2, 3};
  DrawThemeBackground(theme, ACanvas.Handle(), 1, kFirst[AArrowDirection] + kOffset[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawArrowBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  HTHEME theme = XPTheme(totButton);
  if (!theme) return inherited::DrawArrowBorder(ACanvas, R, AState);
  DrawThemeBackground(theme, ACanvas.Handle(), 1, ButtonStateToNativeState(AState), R);
}

int TcxWinXPLookAndFeelPainter::BorderSize() { return XPTheme(totListView) ? 1 : inherited::BorderSize(); }

void TcxWinXPLookAndFeelPainter::DrawBorder(TcxCanvas& ACanvas, const RECT& R) {
  HTHEME theme = XPTheme(totListView);
  if (!theme) return inherited::DrawBorder(ACanvas, R);
  ACanvas.SaveDC();
  ACanvas.ExcludeClipRect(PntShrink(R, 1));
  DrawThemeBackground(theme, ACanvas.Handle(), 5, 0, R);
  ACanvas.RestoreDC();
}

void TcxWinXPLookAndFeelPainter::DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) {
  HTHEME theme = XPTheme(totToolBar);
  if (!theme) return inherited::DoDrawSeparator(ACanvas, R, AIsVertical);
  DrawThemeBackground(theme, ACanvas.Handle(), AIsVertical ? 5 : 6, 1, R);
}

int TcxWinXPLookAndFeelPainter::ButtonBorderSize(TcxButtonState AState) {
  RECT content;
  if (!XPContent(totButton, 1, ButtonStateToNativeState(AState), content))
    return inherited::ButtonBorderSize(cxbsNormal);
  return content.left;
}

TColor TcxWinXPLookAndFeelPainter::ButtonColor(TcxButtonState AState) {
  TColor color;
  return TryGetThemeColor(totButton, 1, ButtonStateToNativeState(AState), kTmtButtonColor, color)
             ? color
             : inherited::ButtonColor(AState);
}

RECT TcxWinXPLookAndFeelPainter::ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R) {
  HTHEME theme = XPTheme(totButton);
  RECT content;
  if (theme && SUCCEEDED(GetThemeBackgroundContentRect(theme, ACanvas.Handle(), 1, 1, R, content))) return content;
  return inherited::ButtonFocusRect(ACanvas, R);
}

TColor TcxWinXPLookAndFeelPainter::ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor) {
  TColor color;
  return TryGetThemeColor(totButton, 1, ButtonStateToNativeState(AState), kTmtTextColor, color)
             ? color
             : inherited::ButtonSymbolColor(AState, ADefaultColor);
}

void TcxWinXPLookAndFeelPainter::DrawButton(TcxCanvas& ACanvas, const RECT& R, const WideString& ACaption,
                                            TcxButtonState AState, bool ADrawBorder, TColor AColor, TColor ATextColor,
                                            bool AWordWrap, bool AIsToolButton) {
  HTHEME theme = XPTheme(AIsToolButton ? totToolBar : totButton);
  if (!theme)
    return inherited::DrawButton(ACanvas, R, ACaption, AState, ADrawBorder, AColor, ATextColor, AWordWrap,
                                 AIsToolButton);
  const int state = ButtonStateToNativeState(AState);
  DrawThemeBackground(theme, ACanvas.Handle(), 1, state, R);
  tvk::DrawThemeText(theme, ACanvas.Canvas()->StateHandle(), 1, state, ACaption.c_str(), -1,
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, R);
}

void TcxWinXPLookAndFeelPainter::DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor) {
  HTHEME theme = XPTheme(totTreeview);
  if (!theme) return inherited::DrawExpandButton(ACanvas, R, AExpanded, AColor);
  DrawThemeBackground(theme, ACanvas.Handle(), 2, AExpanded ? 2 : 1, R);
  ACanvas.ExcludeClipRect(R);
}

void TcxWinXPLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                       TcxButtonState AState) {
  HTHEME theme = XPTheme(totExplorerBar);
  if (!theme) return inherited::DrawGroupExpandButton(ACanvas, R, AExpanded, AState);
  static constexpr int kStates[] = {1, 1, 2, 3, 1};
  DrawThemeBackground(theme, ACanvas.Handle(), AExpanded ? 6 : 7, kStates[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded,
                                                       TColor ABorderColor, TColor AColor) {
  (void)ABorderColor;
  if (XPTheme(totTreeview))
    DrawExpandButton(ACanvas, R, AExpanded, clDefault);
  else
    TcxCustomLookAndFeelPainter::DrawSmallExpandButton(ACanvas, R, AExpanded, AColor, clDefault);
}

int TcxWinXPLookAndFeelPainter::ExpandButtonSize() {
  SIZE size;
  return XPPartSize(totTreeview, 2, 2, TS_TRUE, size) ? int(size.cx) : inherited::ExpandButtonSize();
}

int TcxWinXPLookAndFeelPainter::GroupExpandButtonSize() {
  SIZE size;
  return XPPartSize(totExplorerBar, 7, 1, TS_TRUE, size) ? int(size.cx) : inherited::GroupExpandButtonSize();
}

int TcxWinXPLookAndFeelPainter::SmallExpandButtonSize() {
  return XPTheme(totTreeview) ? ExpandButtonSize() : inherited::SmallExpandButtonSize();
}

bool TcxWinXPLookAndFeelPainter::IsPointOverGroupExpandButton(const RECT& R, POINT P) {
  HTHEME theme = XPTheme(totExplorerBar);
  if (!theme) return inherited::IsPointOverGroupExpandButton(R, P);
  HRGN region = nullptr;
  if (FAILED(GetThemeBackgroundRegion(theme, nullptr, 7, 2, R, region)) || !region) return false;
  const bool inside = PtInRegion(region, P.x, P.y) != FALSE;
  DeleteObject(region);
  return inside;
}

int TcxWinXPLookAndFeelPainter::CheckBorderSize() { return XPTheme(totButton) ? 0 : inherited::CheckBorderSize(); }

SIZE TcxWinXPLookAndFeelPainter::CheckButtonSize() {
  SIZE size;
  return XPPartSize(totButton, 3, 5, TS_TRUE, size) ? size : inherited::CheckButtonSize();
}

void TcxWinXPLookAndFeelPainter::DrawCheck(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AChecked,
                                           TColor AColor) {
  HTHEME theme = XPTheme(totButton);
  if (!theme) return inherited::DrawCheck(ACanvas, R, AState, AChecked, AColor);
  DrawThemeBackground(theme, ACanvas.Handle(), 3, XPPlainState(AState) + (AChecked ? 4 : 0), R);
}

void TcxWinXPLookAndFeelPainter::DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  if (!XPTheme(totButton)) inherited::DrawCheckBorder(ACanvas, R, AState);
}

void TcxWinXPLookAndFeelPainter::DrawRadioButton(TcxCanvas& ACanvas, int X, int Y, TcxButtonState AButtonState,
                                                 bool AChecked, bool AFocused, TColor ABrushColor, bool AIsDesigning) {
  (void)AFocused, (void)ABrushColor, (void)AIsDesigning;
  const SIZE size = RadioButtonSize();
  DrawThemeBackground(XPTheme(totButton), ACanvas.Handle(), 2, XPPlainState(AButtonState) + (AChecked ? 4 : 0),
                      RECT{X, Y, X + size.cx, Y + size.cy});
}

SIZE TcxWinXPLookAndFeelPainter::RadioButtonSize() {
  SIZE size;
  return XPPartSize(totButton, 2, 1, TS_TRUE, size) ? size : inherited::RadioButtonSize();
}

void TcxWinXPLookAndFeelPainter::DrawHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                            TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                            bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                                            TFont* AFont, TColor ATextColor, TColor ABkColor,
                                            const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast,
                                            bool AIsGroup) {
  HTHEME theme = XPTheme(totHeader);
  if (!theme)
    return inherited::DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
                                 AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                                 AOnDrawBackground, AIsLast, AIsGroup);
  const int state = XPHeaderState(AState);
  const int scheme = GetOffice11ColorScheme();
  const int part = AIsLast && state == 1 && (scheme == 1 || scheme == 2) ? 3 : 1;
  DrawThemeBackground(theme, ACanvas.Handle(), part, state, ABounds);
  const RECT text = AState == cxbsPressed ? PntOffset(ATextAreaBounds, 1, 1) : ATextAreaBounds;
  DrawThemedContentText(ACanvas, theme, part, state, ABounds, text, AAlignmentHorz, AAlignmentVert, AMultiLine,
                        AShowEndEllipsis, false, AText, AFont, ATextColor, ABkColor);
}

void TcxWinXPLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors,
    TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
    bool AMultiLine, bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor,
    TColor ABkColor) {
  ACanvas.FillRect(ABounds, clBtnFace);
  DrawHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert,
             AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor);
}

int TcxWinXPLookAndFeelPainter::HeaderBorderSize() {
  RECT content;
  if (!XPContent(totHeader, 1, 1, content)) return inherited::HeaderBorderSize();
  return std::max<int>(1, (content.left + content.top) / 2);
}

RECT TcxWinXPLookAndFeelPainter::HeaderControlSectionContentBounds(const RECT& ABounds, TcxButtonState AState) {
  if (!XPTheme(totHeader)) return inherited::HeaderControlSectionContentBounds(ABounds, AState);
  return PntShrink(ABounds, HeaderBorderSize());
}

void TcxWinXPLookAndFeelPainter::DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText,
                                                 TcxNeighbors ANeighbors, const TcxViewParams& AViewParams,
                                                 TcxArrowDirections AArrows, int ASideWidth,
                                                 const TcxDrawBackgroundEvent& AOnDrawBackground) {
  (void)ASideWidth;
  DrawHeader(ACanvas, ABounds, ABounds, ANeighbors, cxBordersAll, cxbsNormal, TAlignment::taCenter,
             TcxAlignmentVert::vaCenter, false, false, AText, AViewParams.Font, AViewParams.TextColor,
             AViewParams.Color, AOnDrawBackground, (ANeighbors & nRight) == 0, false);
  PntMonthArrows(*this, ACanvas, ABounds, AArrows);
}

void TcxWinXPLookAndFeelPainter::DrawFooterBorder(TcxCanvas& ACanvas, const RECT& R) {
  HTHEME theme = XPTheme(totEdit);
  if (!theme) return inherited::DrawFooterBorder(ACanvas, R);
  DrawThemeEdge(theme, ACanvas.Handle(), 0, 0, R, BDR_RAISEDINNER, BF_RECT, nullptr);
}

void TcxWinXPLookAndFeelPainter::DrawFooterCell(TcxCanvas& ACanvas, const RECT& ABounds, TAlignment AAlignmentHorz,
                                                TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                const WideString& AText, TFont* AFont, TColor ATextColor,
                                                TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) {
  HTHEME theme = XPTheme(totTrackBar);
  if (!theme)
    return inherited::DrawFooterCell(ACanvas, ABounds, AAlignmentHorz, AAlignmentVert, AMultiLine, AText, AFont,
                                     ATextColor, ABkColor, AOnDrawBackground);
  DrawThemeBackground(theme, ACanvas.Handle(), 1, 1, ABounds);
  DrawThemedContentText(ACanvas, theme, 1, 1, ABounds, FooterCellTextAreaBounds(ABounds), AAlignmentHorz,
                        AAlignmentVert, AMultiLine, false, false, AText, AFont, ATextColor, ABkColor);
}

int TcxWinXPLookAndFeelPainter::FooterBorderSize() { return XPTheme(totEdit) ? 1 : inherited::FooterBorderSize(); }

int TcxWinXPLookAndFeelPainter::FooterCellBorderSize() {
  RECT content;
  return XPContent(totTrackBar, 1, 1, content) ? int(content.left) : inherited::FooterCellBorderSize();
}

int TcxWinXPLookAndFeelPainter::FooterCellOffset() {
  return XPTheme(totTrackBar) ? 1 : inherited::FooterCellOffset();
}

void TcxWinXPLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
  HTHEME theme = XPTheme(totWindow);
  if (!theme) return inherited::DrawFilterCloseButton(ACanvas, R, AState);
  DrawThemeBackground(theme, ACanvas.Handle(), 19, XPPlainState(AState), R);
}

void TcxWinXPLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                                          bool AIsFilterActive) {
  HTHEME theme = XPTheme(totComboBox);
  if (!theme) return inherited::DrawFilterDropDownButton(ACanvas, R, AState, AIsFilterActive);
  DrawThemeBackground(theme, ACanvas.Handle(), 1, XPPlainState(AState), R);
}

POINT TcxWinXPLookAndFeelPainter::FilterActivateButtonSize() {
  SIZE size;
  return XPPartSize(totButton, 3, 5, TS_TRUE, size) ? POINT{size.cx, size.cy} : inherited::FilterActivateButtonSize();
}

POINT TcxWinXPLookAndFeelPainter::FilterCloseButtonSize() {
  SIZE size;
  return XPPartSize(totWindow, 19, 1, TS_TRUE, size) ? POINT{size.cx + 4, size.cy + 4}
                                                     : inherited::FilterCloseButtonSize();
}

SIZE TcxWinXPLookAndFeelPainter::SmallCloseButtonSize() {
  SIZE size;
  return XPPartSize(totWindow, 19, 1, TS_TRUE, size) ? size : inherited::SmallCloseButtonSize();
}

void TcxWinXPLookAndFeelPainter::LayoutViewDrawRecordCaption(TcxCanvas& ACanvas, const RECT& ABounds,
                                                             TcxGroupBoxCaptionPosition APosition,
                                                             TcxButtonState AState) {
  LayoutViewDrawRecordBorder(ACanvas, ABounds, AState, cxBordersAll);
  DrawTab(ACanvas, ABounds, 0, {}, AState, APosition != cxgpTop, nullptr, clDefault, clDefault, false);
}

void TcxWinXPLookAndFeelPainter::DrawTab(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders,
                                         const WideString& AText, TcxButtonState AState, bool AVertical, TFont* AFont,
                                         TColor ATextColor, TColor ABkColor, bool AShowPrefix) {
  HTHEME theme = XPTheme(totTab);
  if (!theme)
    return inherited::DrawTab(ACanvas, R, ABorders, AText, AState, AVertical, AFont, ATextColor, ABkColor,
                              AShowPrefix);
  const int state = XPPlainState(AState);
  RECT c = R;
  const LONG l0 = R.left, t0 = R.top;
  std::unique_ptr<TcxBitmap32> bitmap;
  if (AVertical) {
    c = PntOffset(c, -l0, -t0);
    std::swap(c.right, c.bottom);
    bitmap = std::make_unique<TcxBitmap32>(PntWidth(c), PntHeight(c));
  }
  HDC target = bitmap ? bitmap->Canvas().Handle() : ACanvas.Handle();
  RECT d = c;
  if (!(ABorders & (AVertical ? bTop : bLeft))) d.left -= 2;
  if (!(ABorders & (AVertical ? bBottom : bRight))) d.right += 2;
  if (AState == cxbsPressed)
    ++d.bottom;
  else
    --c.bottom;
  DrawThemeBackground(theme, target, 1, state, d, c);
  if (bitmap) {
    TcxCanvas::RotateBitmap(*bitmap, raPlus90, true);
    std::swap(c.right, c.bottom);
    std::swap(d.right, d.bottom);
    BitBlt(ACanvas.Handle(), l0, t0, PntWidth(c), PntHeight(c), bitmap->Canvas().Handle(), c.left, c.top, SRCCOPY);
    bitmap.reset();
    c = PntOffset(c, l0, t0);
    d = PntOffset(d, l0, t0);
  }
  if (AState == cxbsPressed) {
    if (AVertical)
      d.right -= 2;
    else
      d.bottom -= 2;
  }
  DrawThemedContentText(ACanvas, theme, 1, state, c, d, TAlignment::taCenter, TcxAlignmentVert::vaCenter, false, false,
                        AShowPrefix, AText, AFont, ATextColor, ABkColor);
}

void TcxWinXPLookAndFeelPainter::DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder,
                                               TcxBorders ABorders, bool AVertical) {
  if (!XPTheme(totTab)) inherited::DrawTabBorder(ACanvas, R, ABorder, ABorders, AVertical);
}

void TcxWinXPLookAndFeelPainter::DrawTabsRoot(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, bool AVertical) {
  HTHEME theme = XPTheme(totTab);
  if (!theme) return inherited::DrawTabsRoot(ACanvas, R, ABorders, AVertical);
  RECT c = R;
  GetThemeBackgroundContentRect(theme, ACanvas.Handle(), 9, 0, R, c);
  RECT d = R;
  if (!AVertical) {
    d.right += (R.right - c.right) - (c.left - R.left);
    d.bottom += 10;
  } else {
    d.bottom += (R.bottom - c.bottom) - (c.top - R.top);
    d.right += 10;
  }
  DrawThemeBackground(theme, ACanvas.Handle(), 9, 0, d, R);
}

bool TcxWinXPLookAndFeelPainter::IsDrawTabImplemented(bool AVertical) {
  return XPTheme(totTab) ? true : inherited::IsDrawTabImplemented(AVertical);
}

bool TcxWinXPLookAndFeelPainter::IsTabHotTrack(bool AVertical) {
  return XPTheme(totTab) ? true : inherited::IsTabHotTrack(AVertical);
}

int TcxWinXPLookAndFeelPainter::TabBorderSize(bool AVertical) {
  return XPTheme(totTab) ? 1 : inherited::TabBorderSize(AVertical);
}

void TcxWinXPLookAndFeelPainter::DrawIndicatorItem(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind,
                                                   TColor AColor, const TcxDrawBackgroundEvent& AOnDrawBackground) {
  TcxCustomLookAndFeelPainter* flat =
      cxLookAndFeelPaintersManager() ? cxLookAndFeelPaintersManager()->GetPainter(lfsFlat) : nullptr;
  if (flat)
    flat->DrawIndicatorItem(ACanvas, R, AKind, AColor, AOnDrawBackground);
  else
    inherited::DrawIndicatorItem(ACanvas, R, AKind, AColor, AOnDrawBackground);
}

int TcxWinXPLookAndFeelPainter::ScrollBarMinimalThumbSize(bool AVertical) {
  const int part = AVertical ? 3 : 2;
  SIZE size;
  if (!XPPartSize(totScrollBar, part, 1, TS_MIN, size)) return inherited::ScrollBarMinimalThumbSize(AVertical);
  int result = AVertical ? size.cy : size.cx;
  MARGINS margins{};
  if (IsWinVistaOrLater &&
      SUCCEEDED(GetThemeMargins(XPTheme(totScrollBar), nullptr, part, 1, kTmtContentMargins, nullptr, margins)))
    result += AVertical ? margins.cyTopHeight + margins.cyBottomHeight : margins.cxLeftWidth + margins.cxRightWidth;
  return result;
}

void TcxWinXPLookAndFeelPainter::DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R,
                                                   TcxScrollBarPart APart, TcxButtonState AState) {
  if (PntIsEmpty(R)) return;
  HTHEME theme = XPTheme(totScrollBar);
  if (!theme) return inherited::DrawScrollBarPart(ACanvas, AHorizontal, R, APart, AState);
  const int state = XPScrollBarState(AState);
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: DrawArrow(ACanvas, R, AState, ScrollBarArrowDirection(AHorizontal, APart), true); break;
    case sbpThumbnail: {
      const int part = AHorizontal ? 2 : 3;
      DrawThemeBackground(theme, ACanvas.Handle(), part, state, R);
      SIZE size;
      const bool sized = SUCCEEDED(GetThemePartSize(theme, ACanvas.Handle(), part, 1, TS_TRUE, size));
      if (!sized || (AHorizontal ? PntWidth(R) > size.cy : PntHeight(R) > size.cx))
        DrawThemeBackground(theme, ACanvas.Handle(), AHorizontal ? 8 : 9, state, R);
      break;
    }
    case sbpPageUp: DrawThemeBackground(theme, ACanvas.Handle(), AHorizontal ? 4 : 6, state, R); break;
    case sbpPageDown: DrawThemeBackground(theme, ACanvas.Handle(), AHorizontal ? 5 : 7, state, R); break;
    default: break;
  }
}

SIZE TcxWinXPLookAndFeelPainter::SizeGripSize() {
  SIZE size;
  return XPPartSize(totScrollBar, 10, 1, TS_TRUE, size) ? size : inherited::SizeGripSize();
}

void TcxWinXPLookAndFeelPainter::DoDrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect) {
  HTHEME theme = XPTheme(totScrollBar);
  if (!theme) return inherited::DoDrawSizeGrip(ACanvas, ARect);
  DrawThemeBackground(theme, ACanvas.Handle(), 10, 1, ARect);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect,
                                                                      const RECT& AArrowRect, bool AIsNextButton,
                                                                      TcxButtonState AState) {
  HTHEME theme = XPTheme(totTab);
  if (!theme) return inherited::DrawSchedulerNavigationButtonContent(ACanvas, ARect, AArrowRect, AIsNextButton, AState);
  {
    TcxBitmap32 bitmap(PntWidth(ARect), PntHeight(ARect));
    BitBlt(bitmap.Canvas().Handle(), 0, 0, bitmap.Width(), bitmap.Height(), ACanvas.Handle(), ARect.left, ARect.top,
           SRCCOPY);
    TcxCanvas::RotateBitmap(bitmap, AIsNextButton ? raMinus90 : raPlus90);
    DrawThemeBackground(theme, bitmap.Canvas().Handle(), 1, XPPlainState(AState), bitmap.ClientRect());
    TcxCanvas::RotateBitmap(bitmap, AIsNextButton ? raPlus90 : raMinus90);
    BitBlt(ACanvas.Handle(), ARect.left, ARect.top, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0,
           SRCCOPY);
  }
  DrawSchedulerNavigationButtonArrow(ACanvas, AArrowRect, AIsNextButton, ButtonSymbolColor(AState, clDefault));
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerEventProgress(TcxCanvas& ACanvas, const RECT& ABounds,
                                                            const RECT& AProgress, const TcxViewParams& AViewParams,
                                                            bool ATransparent) {
  HTHEME theme = XPTheme(totProgress);
  if (!theme) return inherited::DrawSchedulerEventProgress(ACanvas, ABounds, AProgress, AViewParams, ATransparent);
  DrawThemeBackground(theme, ACanvas.Handle(), 1, 0, ABounds);
  DrawThemeBackground(theme, ACanvas.Handle(), 3, 0, AProgress);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerNavigatorButton(TcxCanvas& ACanvas, const RECT& R,
                                                              TcxButtonState AState) {
  HTHEME theme = XPTheme(totToolBar);
  if (!theme) return inherited::DrawSchedulerNavigatorButton(ACanvas, R, AState);
  static constexpr int kStates[] = {2, 2, 5, 3, 4};
  DrawThemeBackground(theme, ACanvas.Handle(), 1, kStates[AState], R);
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R,
                                                             const TcxViewParams& AViewParams, bool AIsHorizontal) {
  TColor border;
  if (!XPTheme(totListView) || !TryGetThemeColor(totComboBox, 1, 1, kTmtBorderColor, border))
    return inherited::DrawSchedulerSplitterBorder(ACanvas, R, AViewParams, AIsHorizontal);
  RECT r = PntSplitterLines(ACanvas, R, AIsHorizontal, border, border);
  ACanvas.FillRect(r, AViewParams, 0, clDefault, 1);
}

void TcxWinXPLookAndFeelPainter::DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled,
                                                   TcxGroupBoxCaptionPosition ACaptionPosition, TcxBorders ABorders) {
  HTHEME theme = XPTheme(totButton);
  if (!theme) return inherited::DrawGroupBoxFrame(ACanvas, R, AEnabled, ACaptionPosition, ABorders);
  DrawThemeBackground(theme, ACanvas.Handle(), 4, AEnabled ? 1 : 2, R);
}

TColor TcxWinXPLookAndFeelPainter::GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) {
  TColor color;
  return TryGetThemeColor(totButton, 4, AEnabled ? 1 : 2, kTmtTextColor, color)
             ? color
             : inherited::GroupBoxTextColor(AEnabled, ACaptionPosition);
}

void TcxWinXPLookAndFeelPainter::DrawPanelBackground(TcxCanvas& ACanvas, TWinControl* AControl, const RECT& ABounds,
                                                     TColor AColorFrom, TColor AColorTo) {
  (void)AColorTo;
  if (AColorFrom == clDefault)
    PaintParentIntoCanvas(AControl, ACanvas, ABounds, true);
  else
    ACanvas.FillRect(ABounds, AColorFrom);
}

void TcxWinXPLookAndFeelPainter::DrawEditPopupWindowBorder(TcxCanvas& ACanvas, RECT& R,
                                                           TcxEditPopupBorderStyle ABorderStyle, bool AClientEdge) {
  (void)ABorderStyle, (void)AClientEdge;
  if (IsWinVistaOrLater)
    DrawThemeBackground(XPTheme(totListBox), ACanvas.Handle(), 3, 3, R);
  else
    ACanvas.FrameRect(R, clBtnText);
  R = PntShrink(R, 1);
}

TColor TcxWinXPLookAndFeelPainter::GetHintBorderColor() {
  return XPTheme(totToolTip) ? clWindowFrame : inherited::GetHintBorderColor();
}

void TcxWinXPLookAndFeelPainter::DrawHintBackground(TcxCanvas& ACanvas, const RECT& ARect, TColor AColor) {
  HTHEME theme = XPTheme(totToolTip);
  if (!theme) return inherited::DrawHintBackground(ACanvas, ARect, AColor);
  DrawThemeBackground(theme, ACanvas.Handle(), 1, 1, PntShrink(ARect, -4));
}

TColor TcxWinXPLookAndFeelPainter::ScreenTipGetDescriptionTextColor() {
  TColor color;
  return TryGetThemeColor(totToolTip, 1, 1, kTmtTextColor, color) ? color
                                                                   : inherited::ScreenTipGetDescriptionTextColor();
}

namespace {
int XPThumbPart(bool AHorizontal, TcxTrackBarTicksAlign ATicks) {
  static constexpr int kParts[3][2] = {{7, 5}, {8, 4}, {6, 3}};
  return kParts[ATicks][AHorizontal ? 1 : 0];
}
}  // namespace

void TcxWinXPLookAndFeelPainter::CorrectThumbRect(TcxCanvas& ACanvas, RECT& ARect, bool AHorizontal,
                                                  TcxTrackBarTicksAlign ATicks) {
  HTHEME theme = XPTheme(totTrackBar);
  SIZE size;
  if (!theme || FAILED(GetThemePartSize(theme, ACanvas.Handle(), XPThumbPart(AHorizontal, ATicks), 1, &ARect, TS_DRAW,
                                        size)))
    return inherited::CorrectThumbRect(ACanvas, ARect, AHorizontal, ATicks);
  const LONG left = ARect.left + (PntWidth(ARect) - size.cx) / 2, top = ARect.top + (PntHeight(ARect) - size.cy) / 2;
  ARect = {left, top, left + size.cx, top + size.cy};
}

void TcxWinXPLookAndFeelPainter::DrawTrackBarTrack(TcxCanvas& ACanvas, const RECT& ARect, const RECT& ASelection,
                                                   bool AShowSelection, bool AEnabled, bool AHorizontal,
                                                   TColor ATrackColor) {
  HTHEME theme = XPTheme(totTrackBar);
  if (!theme)
    return inherited::DrawTrackBarTrack(ACanvas, ARect, ASelection, AShowSelection, AEnabled, AHorizontal,
                                        ATrackColor);
  DrawThemeBackground(theme, ACanvas.Handle(), AHorizontal ? 1 : 2, 1, ARect);
}

void TcxWinXPLookAndFeelPainter::DrawTrackBarThumb(TcxCanvas& ACanvas, const RECT& ARect, TcxButtonState AState,
                                                   bool AHorizontal, TcxTrackBarTicksAlign ATicks,
                                                   TColor AThumbColor) {
  HTHEME theme = XPTheme(totTrackBar);
  if (!theme) return inherited::DrawTrackBarThumb(ACanvas, ARect, AState, AHorizontal, ATicks, AThumbColor);
  static constexpr int kStates[] = {2, 1, 2, 3, 5};
  DrawThemeBackground(theme, ACanvas.Handle(), XPThumbPart(AHorizontal, ATicks), kStates[AState], ARect);
}

void TcxWinXPLookAndFeelPainter::DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R) {
  DrawThemeBackground(XPTheme(totHeader), ACanvas.Handle(), 2, 1, R);
}

TColor TcxWinXPLookAndFeelPainter::DropDownListBoxItemTextColor(bool ASelected) {
  TColor color;
  return TryGetThemeColor(totMenu, 14, 1, kTmtTextColor, color) ? color
                                                                 : inherited::DropDownListBoxItemTextColor(ASelected);
}

int TcxWinXPLookAndFeelPainter::DropDownListBoxSeparatorSize() {
  SIZE size;
  return XPPartSize(totMenu, 15, 0, TS_TRUE, size) ? int(size.cy) : inherited::DropDownListBoxSeparatorSize();
}

void TcxWinXPLookAndFeelPainter::DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect,
                                                               bool AHasBorders) {
  if (!AreThemesAvailable()) return inherited::DrawDropDownListBoxBackground(ACanvas, ARect, AHasBorders);
  HTHEME theme = XPTheme(totMenu);
  RECT r = ARect;
  if (AHasBorders) {
    TColor color;
    ACanvas.FrameRect(r, TryGetThemeColor(totMenu, 9, 0, kTmtEdgeLightColor, color) ? color : clBtnShadow);
    r = PntShrink(r, 1);
    ACanvas.FrameRect(r, TryGetThemeColor(totMenu, 9, 0, kTmtEdgeHighlightColor, color) ? color : clBtnHighlight);
    r = PntShrink(r, 1);
  }
  if (theme)
    DrawThemeBackground(theme, ACanvas.Handle(), 9, 0, r);
  else
    ACanvas.FillRect(r, clWindow);
}

void TcxWinXPLookAndFeelPainter::DrawDropDownListBoxGutterBackground(TcxCanvas& ACanvas, const RECT& ARect) {
  HTHEME theme = XPTheme(totMenu);
  if (!theme) return inherited::DrawDropDownListBoxGutterBackground(ACanvas, ARect);
  DrawThemeBackground(theme, ACanvas.Handle(), 13, 0, ARect);
}

void TcxWinXPLookAndFeelPainter::DrawDropDownListBoxSelection(TcxCanvas& ACanvas, const RECT& ARect,
                                                              const RECT& AGutterRect) {
  HTHEME theme = XPTheme(totMenu);
  if (!theme) return inherited::DrawDropDownListBoxSelection(ACanvas, ARect, AGutterRect);
  DrawThemeBackground(theme, ACanvas.Handle(), 14, 2, ARect);
}

void TcxWinXPLookAndFeelPainter::DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                                              const RECT& AGutterRect) {
  HTHEME theme = XPTheme(totMenu);
  if (!theme) return inherited::DrawDropDownListBoxSeparator(ACanvas, ARect, AGutterRect);
  SIZE size{};
  GetThemePartSize(theme, ACanvas.Handle(), 15, 0, TS_TRUE, size);
  int s = ARect.top + ARect.bottom - size.cy;
  if (s & 1) --s;
  DrawThemeBackground(theme, ACanvas.Handle(), 15, 0, RECT{AGutterRect.right + 2, s / 2, ARect.right, s / 2 + size.cy});
}

RECT TcxWinXPLookAndFeelPainter::BreadcrumbEditButtonContentOffsets(bool AIsFirst, bool AIsLast) {
  HTHEME theme = XPTheme(totButton);
  MARGINS margins{};
  if (!theme || FAILED(GetThemeMargins(theme, nullptr, 1, 0, kTmtContentMargins, nullptr, margins)))
    return inherited::BreadcrumbEditButtonContentOffsets(AIsFirst, AIsLast);
  return {margins.cxLeftWidth, margins.cyTopHeight, margins.cxRightWidth, margins.cyBottomHeight};
}

SIZE TcxWinXPLookAndFeelPainter::BreadcrumbEditProgressChunkOverlaySize() {
  SIZE size;
  if (IsWinVistaOrLater && XPPartSize(totProgress, 8, 0, TS_TRUE, size)) return size;
  return inherited::BreadcrumbEditProgressChunkOverlaySize();
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditBorders(TcxCanvas& ACanvas, const RECT& ARect, TcxBorders ABorders,
                                                           TdxBreadcrumbEditState AState) {
  HTHEME theme = XPTheme(totEdit);
  if (!theme) return inherited::DrawBreadcrumbEditBorders(ACanvas, ARect, ABorders, AState);
  static constexpr int kStates[] = {1, 5, 2, 4};
  const int part = IsWinVistaOrLater ? 6 : 1;
  if (ABorders == cxBordersAll) {
    DrawThemeBackground(theme, ACanvas.Handle(), part, kStates[AState], ARect);
    return;
  }
  XPClipGuard clip(ACanvas, ARect);
  MARGINS m{};
  GetThemeMargins(theme, ACanvas.Handle(), part, 0, kTmtSizingMargins, nullptr, m);
  RECT r = ARect;
  if (!(ABorders & bLeft)) r.left -= m.cxLeftWidth;
  if (!(ABorders & bTop)) r.top -= m.cyTopHeight;
  if (!(ABorders & bRight)) r.right += m.cxRightWidth;
  if (!(ABorders & bBottom)) r.bottom += m.cyBottomHeight;
  DrawThemeBackground(theme, ACanvas.Handle(), part, kStates[AState], r);
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                          TdxBreadcrumbEditButtonState AState, bool AIsFirst,
                                                          bool AIsLast) {
  HTHEME theme = XPTheme(totButton);
  if (!theme) return inherited::DrawBreadcrumbEditButton(ACanvas, ARect, AState, AIsFirst, AIsLast);
  if (AState == dxbcbsNormal || AState == dxbcbsDisabled) return;
  XPClipGuard clip(ACanvas, ARect);
  RECT o = BreadcrumbEditButtonContentOffsets(AIsFirst, AIsLast);
  o.left = o.right = 1;
  DrawThemeBackground(theme, ACanvas.Handle(), 1, int(AState),
                      RECT{ARect.left - o.left, ARect.top - o.top, ARect.right + o.right, ARect.bottom + o.bottom});
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditThemedButton(TcxCanvas& ACanvas, const RECT& R,
                                                                TdxBreadcrumbEditButtonState AState,
                                                                TcxBorders ABorders) {
  if (AState == dxbcbsNormal || AState == dxbcbsDisabled || PntIsEmpty(R)) return;
  XPClipGuard clip(ACanvas, R);
  RECT o = BreadcrumbEditButtonContentOffsets(true, true);
  if (ABorders & bLeft) o.left = 1;
  if (ABorders & bTop) o.top = 1;
  if (ABorders & bRight) o.right = 1;
  if (ABorders & bBottom) o.bottom = 1;
  DrawThemeBackground(XPTheme(totButton), ACanvas.Handle(), 1, int(AState),
                      RECT{R.left - o.left, R.top - o.top, R.right + o.right, R.bottom + o.bottom});
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditNode(TcxCanvas& ACanvas, const RECT& R,
                                                        TdxBreadcrumbEditButtonState AState, bool AHasDelimiter) {
  if (!XPTheme(totButton)) return inherited::DrawBreadcrumbEditNode(ACanvas, R, AState, AHasDelimiter);
  DrawBreadcrumbEditThemedButton(ACanvas, R, AState, AHasDelimiter ? TcxBorders(bLeft) : TcxBorders(bLeft | bRight));
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditNodeDelimiter(TcxCanvas& ACanvas, const RECT& R,
                                                                 TdxBreadcrumbEditButtonState AState) {
  if (!XPTheme(totButton)) return inherited::DrawBreadcrumbEditNodeDelimiter(ACanvas, R, AState);
  DrawBreadcrumbEditThemedButton(ACanvas, R, AState, bLeft | bRight);
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditNodeDelimiterGlyph(TcxCanvas& ACanvas, const RECT& R,
                                                                      TdxBreadcrumbEditButtonState AState) {
  DrawArrow(ACanvas, PntShrink(R, 1), AState == dxbcbsPressed ? adDown : adRight, BreadcrumbEditNodeTextColor(AState));
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditProgressChunk(TcxCanvas& ACanvas, const RECT& R) {
  HTHEME theme = XPTheme(totProgress);
  if (!theme) return inherited::DrawBreadcrumbEditProgressChunk(ACanvas, R);
  DrawThemeBackground(theme, ACanvas.Handle(), 3, 1, R);
}

void TcxWinXPLookAndFeelPainter::DrawBreadcrumbEditProgressChunkOverlay(TcxCanvas& ACanvas, const RECT& R) {
  HTHEME theme = IsWinVistaOrLater ? XPTheme(totProgress) : nullptr;
  if (!theme) return inherited::DrawBreadcrumbEditProgressChunkOverlay(ACanvas, R);
  DrawThemeBackground(theme, ACanvas.Handle(), 8, 0, R);
}

void TcxWinXPLookAndFeelPainter::DrawBevelFrame(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2,
                                                bool ABoxStyle) {
  HTHEME theme = XPTheme(totButton);
  if (!theme) return inherited::DrawBevelFrame(ACanvas, R, AColor1, AColor2, ABoxStyle);
  DrawThemeBackground(theme, ACanvas.Handle(), 4, 1, R);
}

void TcxWinXPLookAndFeelPainter::DrawBevelLine(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2,
                                               bool AIsVertical) {
  HTHEME theme = XPTheme(totToolBar);
  if (!theme) return inherited::DrawBevelLine(ACanvas, R, AColor1, AColor2, AIsVertical);
  DrawThemeBackground(theme, ACanvas.Handle(), AIsVertical ? 5 : 6, 1, R);
}

void TcxWinXPLookAndFeelPainter::DrawThemedContentText(TcxCanvas& ACanvas, HTHEME ATheme, int APartId, int AStateId,
                                                       const RECT& AClipRect, const RECT& ATextRect,
                                                       TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                       bool AMultiLine, bool AShowEndEllipsis, bool AShowPrefix,
                                                       const WideString& AText, TFont* AFont, TColor ATextColor,
                                                       TColor ABkColor) {
  (void)AClipRect, (void)ABkColor;
  if (AText.empty()) return;
  PntSetFont(ACanvas, AFont);
  ACanvas.Font().SetColor(ATextColor);
  RECT r = ATextRect;
  if (AMultiLine)
    ACanvas.AlignMultiLineTextRectVertically(r, AText, AAlignmentVert, true, AShowPrefix, true, false,
                                             AShowEndEllipsis);
  static constexpr DWORD kHorz[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static constexpr DWORD kVert[] = {DT_TOP, DT_BOTTOM, DT_VCENTER};
  DWORD flags = kHorz[int(AAlignmentHorz)] | kVert[int(AAlignmentVert)] | DT_EDITCONTROL;
  if (AShowEndEllipsis) flags |= DT_END_ELLIPSIS;
  if (!AShowPrefix) flags |= DT_NOPREFIX;
  flags |= AMultiLine ? DT_WORDBREAK : DT_SINGLELINE;
  tvk::DrawThemeText(ATheme, ACanvas.Canvas()->StateHandle(), APartId, AStateId, AText.c_str(), -1, flags, 0, r);
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
