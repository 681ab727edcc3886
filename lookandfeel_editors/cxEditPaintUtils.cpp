#include "cxEditPaintUtils.h"

#include "cxContainer.h"
#include "cxLookAndFeelPainters.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

#include <algorithm>
#include <array>

namespace tvk {

namespace {

constexpr int kSystemColorBrushCount = 31;
constexpr uint32_t kFirstSystemColor = 0xFF000000u;

std::vector<HBRUSH> gSystemColorBrushes;
std::unique_ptr<TcxSolidBrushCache> gSolidBrushCache;

bool RectIsEmpty(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }

void FillWithBrush(TcxCanvas& ACanvas, const RECT& R, HBRUSH ABrush) {
  if (ABrush) ::FillRect(ACanvas.Handle(), &R, ABrush);
}

// The top and bottom (or left and right) margins of a themed push button's
// content, measured on a 100-pixel box.
RECT ThemedButtonContent(TcxCanvas& ACanvas, TdxThemedObjectType AType) {
  const RECT bounds{0, 0, 100, 100};
  RECT content = bounds;
  if (HTHEME theme = GetThemeHandleForType(AType))
    if (FAILED(GetThemeBackgroundContentRect(theme, ACanvas.Handle(), 1, 1, bounds, content))) content = bounds;
  return content;
}

}  // namespace

// ---- The brush cache

TcxSolidBrushCache::TcxSolidBrushCache(int AMaxDepth)
    : FBrushColors(std::size_t(std::max(AMaxDepth, 1))),
      FBrushes(FBrushColors.size()),
      FCounts(FBrushColors.size()),
      FMaxDepth(int(FBrushColors.size())),
      FSystemPaletteChangedNotifier(std::make_unique<TcxSystemPaletteChangedNotifier>(true)) {
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged = [this] { HandleSystemColorChange(); };
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FSystemPaletteChangedNotifier.reset();
  Clear();
}

void TcxSolidBrushCache::Clear() {
  for (int i = 0; i < FDepth; ++i)
    if (HBRUSH brush = std::exchange(FBrushes[std::size_t(i)], nullptr)) DeleteObject(brush);
  FDepth = 0;
}

void TcxSolidBrushCache::HandleSystemColorChange() { Clear(); }

HBRUSH TcxSolidBrushCache::GetBrush(TColor ABrushColor) {
  const uint32_t color = uint32_t(ABrushColor);
  if (!gSystemColorBrushes.empty() && color >= kFirstSystemColor &&
      color < kFirstSystemColor + kSystemColorBrushCount)
    return gSystemColorBrushes[color & 0x00FFFFFFu];
  int lo = 0, hi = FDepth - 1;
  bool found = false;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    // The order is that of the signed difference, which wraps in 32 bits.
    const int32_t difference = int32_t(uint32_t(FBrushColors[std::size_t(mid)]) - color);
    if (difference < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (difference == 0) {
        lo = mid;
        found = true;
      }
    }
  }
  if (found) {
    ++FCounts[std::size_t(lo)];
    return FBrushes[std::size_t(lo)];
  }
  return InsertBrush(lo, ABrushColor);
}

int TcxSolidBrushCache::FindLeastUsedBrushSlot() const {
  if (FCounts[0] == 0) return 0;
  int result = 0;
  int32_t least = int32_t(FCounts[0]);
  for (int i = 1; i < FDepth; ++i) {
    const int32_t count = int32_t(FCounts[std::size_t(i)]);
    if (count < least) {
      least = count;
      result = i;
    }
    if (count == 0) break;
  }
  return result;
}

HBRUSH TcxSolidBrushCache::InsertBrush(int AIndex, TColor AColor) {
  // Moves ACount entries of the three arrays from AFrom to ATo (overlap allowed).
  const auto move = [this](int AFrom, int ATo, int ACount) {
    const auto span = [&](auto& v) {
      if (ATo < AFrom)
        std::copy(v.begin() + AFrom, v.begin() + AFrom + ACount, v.begin() + ATo);
      else
        std::copy_backward(v.begin() + AFrom, v.begin() + AFrom + ACount, v.begin() + ATo + ACount);
    };
    span(FBrushColors);
    span(FBrushes);
    span(FCounts);
  };
  if (FDepth == FMaxDepth) {
    const int victim = FindLeastUsedBrushSlot();
    if (HBRUSH brush = FBrushes[std::size_t(victim)]) DeleteObject(brush);
    --FDepth;
    move(victim + 1, victim, FDepth - victim);
    if (victim < AIndex) --AIndex;
  }
  if (AIndex < FDepth) move(AIndex, AIndex + 1, FDepth - AIndex);
  ++FDepth;
  // A system colour beyond the table is made from its present value; a brush
  // the system refuses is kept as 0, so fills with it do nothing.
  HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor));
  ++FCreatedCount;
  FBrushColors[std::size_t(AIndex)] = AColor;
  FBrushes[std::size_t(AIndex)] = brush;
  FCounts[std::size_t(AIndex)] = 0;
  return brush;
}

const std::vector<HBRUSH>& SystemColorBrushes() { return gSystemColorBrushes; }
TcxSolidBrushCache* SolidBrushCache() { return gSolidBrushCache.get(); }

HBRUSH GetSolidBrush(TColor AColor) { return gSolidBrushCache ? gSolidBrushCache->GetBrush(AColor) : nullptr; }
HBRUSH GetSolidBrush(TcxCanvas&, TColor AColor) { return GetSolidBrush(AColor); }

// ---- Drawing routines

void DrawEdgeLines(TcxCanvas& ACanvas, RECT& R, TcxBorders AEdges, TColor AColor) {
  const RECT q{R.left, R.top, R.right - 1, R.bottom - 1};
  struct TEdge {
    TcxBorder Edge;
    POINT From, To;
    LONG RECT::*Side;
    int Step;
  };
  const std::array<TEdge, 4> edges{{{bLeft, {q.left, q.top}, {q.left, q.bottom}, &RECT::left, 1},
                                    {bRight, {q.right, q.top}, {q.right, q.bottom}, &RECT::right, -1},
                                    {bTop, {q.left, q.top}, {q.right, q.top}, &RECT::top, 1},
                                    {bBottom, {q.left, q.bottom}, {q.right, q.bottom}, &RECT::bottom, -1}}};
  ACanvas.Pen().SetColor(AColor);
  for (const TEdge& edge : edges) {
    if (!(AEdges & edge.Edge)) continue;
    const POINT points[2] = {edge.From, edge.To};
    SelectObject(ACanvas.Handle(), ACanvas.Pen().Handle());
    Polyline(ACanvas.Handle(), points, 2);
    ACanvas.SetPixel(edge.To.x, edge.To.y, AColor);
    R.*edge.Side += edge.Step;
  }
}

int GetEditButtonVertAllowance(TcxCanvas& ACanvas, TcxEditButtonStyle AButtonStyle, bool ANativeStyle) {
  if (ANativeStyle) {
    const RECT content = ThemedButtonContent(ACanvas, totButton);
    return content.top + 100 - content.bottom;
  }
  constexpr std::array<int, 7> kAllowance{0, 4, 2, 2, 2, 2, 2};  // by TcxEditButtonStyle
  return kAllowance[std::size_t(AButtonStyle)];
}

TColor GetEditButtonFrameColor(bool AOffice11) { return GetHotTrackBorderColor(true, AOffice11); }

TColor GetEditButtonHighlightColor(bool APressed, bool AOffice11) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  TcxCustomLookAndFeelPainter* painter =
      manager ? manager->GetPainter(AOffice11 ? lfsOffice11 : lfsUltraFlat) : nullptr;
  if (!painter) return clDefault;
  return painter->ButtonColor(APressed ? cxbsPressed : cxbsHot);
}

void FillRectWithColor(TcxCanvas& ACanvas, const RECT& R, TColor AColor) {
  FillWithBrush(ACanvas, R, GetSolidBrush(ACanvas, AColor));
}

void FillRectFrameWithBrush(TcxCanvas& ACanvas, const RECT& R, const RECT& AInnerRect, HBRUSH ABrush) {
  if (RectIsEmpty(R) || EqualRect(&R, &AInnerRect)) return;
  if (RectIsEmpty(AInnerRect)) {
    FillWithBrush(ACanvas, R, ABrush);
    return;
  }
  const RECT strips[4] = {{R.left, R.top, AInnerRect.left, R.bottom},
                          {AInnerRect.left, R.top, AInnerRect.right, AInnerRect.top},
                          {AInnerRect.right, R.top, R.right, R.bottom},
                          {AInnerRect.left, AInnerRect.bottom, AInnerRect.right, R.bottom}};
  for (const RECT& strip : strips) FillWithBrush(ACanvas, strip, ABrush);
}

int TextLayoutFlagsToCanvasFlags(int AFlags) {
  struct TBit {
    int Bit, Flag;
  };
  constexpr TBit kBits[] = {{0x1, cxTextAlignHCenter}, {0x2, cxTextAlignRight},    {0x10, cxTextAlignVCenter},
                            {0x20, cxTextAlignBottom}, {0x200, cxTextSingleLine}, {0x100, cxTextWordBreak}};
  int result = 0;
  for (const TBit& bit : kBits)
    if (AFlags & bit.Bit) result |= bit.Flag;
  return result;
}

bool IsDigitChar(wchar_t C) { return C >= L'0' && C <= L'9'; }

// ---- Unit

void cxEditPaintUtilsUnitStart() {
  gSystemColorBrushes.resize(kSystemColorBrushCount);
  for (int i = 0; i < kSystemColorBrushCount; ++i) gSystemColorBrushes[std::size_t(i)] = GetSysColorBrush(i);
  gSolidBrushCache = std::make_unique<TcxSolidBrushCache>();
}

void cxEditPaintUtilsUnitStop() {
  std::unique_ptr<TcxSolidBrushCache> cache = std::move(gSolidBrushCache);
  cache.reset();
  gSystemColorBrushes.clear();
}

}  // namespace tvk
