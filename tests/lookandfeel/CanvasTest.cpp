// The library's canvas on a 64 x 64 32-bit bitmap filled with a sentinel:
// fills and frames, tiling, rotation and mirroring, the pie, disabled text,
// the clip stack, regions and the text-flag table.
#include "LookAndFeelTest.h"
#include "cxGraphics.h"
#include "dxCore.h"

#include <array>
#include <string>
#include <vector>

using namespace tvk;

namespace {

constexpr TColor kSentinel = 0x123456;
constexpr TColor kMark = 0x0000C0;

class Canvas : public ::testing::Test {
protected:
  void SetUp() override {
    FBitmap.SetPixelFormat(TPixelFormat::pf32bit);
    FBitmap.SetSize(64, 64);
    FBitmap.Canvas().Brush().SetColor(kSentinel);
    FBitmap.Canvas().FillRect(RECT{0, 0, 64, 64});
    FCanvas = std::make_unique<TcxCanvas>(&FBitmap.Canvas());
  }
  TColor At(int x, int y) { return FBitmap.Canvas().Pixel(x, y); }
  TBitmap FBitmap;
  std::unique_ptr<TcxCanvas> FCanvas;
};

// A W x H 32-bit bitmap whose pixels are Colors, rows top-down.
void MakeBitmap(TBitmap& bitmap, int w, int h, const std::vector<TColor>& colors) {
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap.Canvas().SetPixel(x, y, colors[std::size_t(y * w + x)]);
}

std::vector<TColor> PixelsOf(TBitmap& bitmap) {
  std::vector<TColor> colors;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) colors.push_back(bitmap.Canvas().Pixel(x, y));
  return colors;
}

}  // namespace

TEST_F(Canvas, NoColourDrawsNothingDefaultColourKeepsTheBrush) {
  struct {
    TColor Brush, Fill, Expected;
  } const cases[] = {
      {clRed, clNone, kSentinel},
      {clRed, clDefault, clRed},
      {clRed, clBlue, clBlue},
  };
  for (const auto& c : cases) {
    FCanvas->Brush().SetColor(c.Brush);
    FCanvas->FillRect(RECT{2, 2, 6, 6}, kSentinel);
    FCanvas->Brush().SetColor(c.Brush);
    FCanvas->FillRect(RECT{2, 2, 6, 6}, c.Fill);
    EXPECT_EQ(c.Expected, At(3, 3)) << std::hex << c.Fill;
    EXPECT_EQ(kSentinel, At(6, 6));
  }
  EXPECT_EQ(clBlue, FCanvas->Brush().Color()) << "a colour becomes the brush's";
  FCanvas->FrameRect(RECT{0, 0, 10, 10}, clNone, 3);
  EXPECT_EQ(kSentinel, At(0, 0));
}

TEST_F(Canvas, FrameStripsAreClippedToTheRectangleAndShareTheCorners) {
  FCanvas->FrameRect(RECT{10, 10, 30, 30}, clRed, 2, bLeft | bTop);
  struct {
    int X, Y;
    TColor Expected;
  } const pixels[] = {
      {10, 20, clRed}, {11, 20, clRed}, {12, 20, kSentinel}, {20, 10, clRed}, {20, 11, clRed}, {20, 12, kSentinel},
      {10, 10, clRed}, {29, 20, kSentinel}, {20, 29, kSentinel}, {9, 20, kSentinel},
  };
  for (const auto& p : pixels) EXPECT_EQ(p.Expected, At(p.X, p.Y)) << p.X << "," << p.Y;
  FCanvas->FrameRect(RECT{40, 40, 43, 43}, clLime, 5);
  EXPECT_EQ(clLime, At(41, 41)) << "wide strips stop at the rectangle";
  EXPECT_EQ(kSentinel, At(43, 43));
  EXPECT_EQ(kSentinel, At(39, 41));
  FCanvas->FrameRect(RECT{50, 50, 50, 60}, clRed);
  EXPECT_EQ(kSentinel, At(50, 55)) << "an empty rectangle frames nothing";
}

TEST_F(Canvas, EdgesUseTheirSystemColours) {
  struct {
    bool Sunken, Outer;
    TColor LeftTop, RightBottom;
  } const cases[] = {
      {true, true, clBtnShadow, clBtnHighlight},
      {true, false, cl3DDkShadow, cl3DLight},
      {false, true, cl3DLight, cl3DDkShadow},
      {false, false, clBtnHighlight, clBtnShadow},
  };
  for (const auto& c : cases) {
    FCanvas->DrawEdge(RECT{0, 0, 20, 20}, c.Sunken, c.Outer);
    EXPECT_EQ(TColor(ColorToRGB(c.LeftTop)), At(0, 10));
    EXPECT_EQ(TColor(ColorToRGB(c.LeftTop)), At(10, 0));
    EXPECT_EQ(TColor(ColorToRGB(c.RightBottom)), At(19, 10));
    EXPECT_EQ(TColor(ColorToRGB(c.RightBottom)), At(10, 19));
    EXPECT_EQ(kSentinel, At(10, 10));
  }
}

TEST_F(Canvas, TilesStayOnAGridAnchoredAtTheOriginAlsoLeftOfIt) {
  // A 10 x 10 tile marked in its top-left pixel.
  std::vector<TColor> colors(100, clYellow);
  colors[0] = kMark;
  colors[55] = clAqua;  // (5, 5)
  TBitmap tile;
  MakeBitmap(tile, 10, 10, colors);

  FCanvas->FillRect(RECT{5, 5, 20, 20}, &tile);
  EXPECT_EQ(clAqua, At(5, 5)) << "the tile at column and row 0 shows from its (5, 5)";
  EXPECT_EQ(kMark, At(10, 10)) << "the next tile starts at 10";
  EXPECT_EQ(clYellow, At(19, 19));
  EXPECT_EQ(kSentinel, At(20, 20));
  EXPECT_EQ(kSentinel, At(4, 10));

  // Logical (-5, -5, 7, 7) drawn through a viewport at (30, 30): the grid keeps its origin.
  FCanvas->SetViewportOrg(POINT{30, 30});
  FCanvas->FillRect(RECT{-5, -5, 7, 7}, &tile);
  FCanvas->SetViewportOrg(POINT{0, 0});
  EXPECT_EQ(clAqua, At(25, 25)) << "left of and above 0 the tile of column -1 is painted";
  EXPECT_EQ(clYellow, At(29, 29));
  EXPECT_EQ(kMark, At(30, 30));
  EXPECT_EQ(clYellow, At(36, 36));
  EXPECT_EQ(kSentinel, At(37, 37));
  EXPECT_EQ(kSentinel, At(24, 30));
}

TEST(CanvasBitmaps, AllEightTurnsOfAThreeByTwoBitmapAndTheMirror) {
  // a b c
  // d e f
  const TColor a = 0x000001, b = 0x000002, c = 0x000003, d = 0x000004, e = 0x000005, f = 0x000006;
  struct {
    TcxRotationAngle Angle;
    bool Flip;
    int W, H;
    std::vector<TColor> Expected;
  } const cases[] = {
      {ra0, false, 3, 2, {a, b, c, d, e, f}},
      {ra0, true, 3, 2, {d, e, f, a, b, c}},
      {raPlus90, false, 2, 3, {c, f, b, e, a, d}},
      {raPlus90, true, 2, 3, {a, d, b, e, c, f}},
      {raMinus90, false, 2, 3, {d, a, e, b, f, c}},
      {raMinus90, true, 2, 3, {f, c, e, b, d, a}},
      {ra180, false, 3, 2, {f, e, d, c, b, a}},
      {ra180, true, 3, 2, {c, b, a, f, e, d}},
  };
  for (const auto& t : cases) {
    TBitmap bitmap;
    MakeBitmap(bitmap, 3, 2, {a, b, c, d, e, f});
    TcxCanvas::RotateBitmap(bitmap, t.Angle, t.Flip);
    EXPECT_EQ(t.W, bitmap.Width()) << t.Angle << t.Flip;
    EXPECT_EQ(t.H, bitmap.Height());
    EXPECT_EQ(t.Expected, PixelsOf(bitmap)) << t.Angle << " flip " << t.Flip;
  }
  TBitmap bitmap;
  MakeBitmap(bitmap, 3, 2, {a, b, c, d, e, f});
  TcxCanvas::FlipHorizontally(bitmap);
  EXPECT_EQ((std::vector<TColor>{c, b, a, f, e, d}), PixelsOf(bitmap));
}

TEST_F(Canvas, PieByAngles) {
  FCanvas->Pen().SetColor(clRed);
  FCanvas->Brush().SetColor(clRed);
  FCanvas->Pie(RECT{0, 0, 40, 40}, 0, 0);
  EXPECT_EQ(kSentinel, At(30, 10)) << "no sweep, no pie";
  FCanvas->Pie(RECT{0, 0, 40, 40}, 0, 90);
  EXPECT_EQ(clRed, At(30, 10)) << "the quarter from three to twelve o'clock";
  EXPECT_EQ(kSentinel, At(10, 30));
  EXPECT_EQ(kSentinel, At(10, 10));
  FCanvas->Pie(RECT{0, 0, 40, 40}, 90, 360);
  for (POINT p : {POINT{10, 10}, POINT{10, 30}, POINT{30, 30}, POINT{20, 2}}) EXPECT_EQ(clRed, At(p.x, p.y));
  EXPECT_EQ(kSentinel, At(1, 1)) << "a full ellipse, not the rectangle";
}

TEST_F(Canvas, DisabledTextDrawsTheHighlightOffsetAndTheShadowInPlace) {
  FCanvas->Font().SetHeight(-20);
  FCanvas->DrawTexT(L"IIII", RECT{4, 4, 60, 40}, cxTextAlignLeft | cxTextAlignTop | cxTextSingleLine, false);
  const TColor highlight = TColor(ColorToRGB(clBtnHighlight)), shadow = TColor(ColorToRGB(clBtnShadow));
  ASSERT_NE(highlight, shadow);
  int shadowRight = -1, shadowBottom = -1, highlightRight = -1, highlightBottom = -1;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      TColor p = At(x, y);
      if (p == shadow) shadowRight = std::max(shadowRight, x), shadowBottom = std::max(shadowBottom, y);
      if (p == highlight) highlightRight = std::max(highlightRight, x), highlightBottom = std::max(highlightBottom, y);
    }
  ASSERT_GE(shadowRight, 0) << "the shadow pass";
  ASSERT_GE(highlightRight, 0) << "the highlight pass";
  EXPECT_EQ(shadowRight + 1, highlightRight);
  EXPECT_EQ(shadowBottom + 1, highlightBottom);
  EXPECT_EQ(TBrushStyle::bsSolid, FCanvas->Brush().Style()) << "the brush style is put back";
  EXPECT_EQ(clWindowText, FCanvas->Font().Color()) << "and the font colour";
}

TEST_F(Canvas, TheClipStackAndUnbalancedPops) {
  std::unique_ptr<TcxRegion> none = FCanvas->GetClipRegion(false);
  EXPECT_TRUE(AreRectsEqual(RECT{0, 0, 30000, 30000}, none->BoundsRect()));
  FCanvas->SetViewportOrg(POINT{5, 5});
  EXPECT_TRUE(AreRectsEqual(RECT{-5, -5, 29995, 29995}, FCanvas->GetClipRegion(true)->BoundsRect()));
  FCanvas->SetViewportOrg(POINT{0, 0});

  FCanvas->RestoreClipRegion();  // nothing saved: the clip stays as it is
  FCanvas->RestoreDC();
  FCanvas->RestoreState();
  FCanvas->SaveClipRegion();
  FCanvas->IntersectClipRect(RECT{10, 10, 20, 20});
  EXPECT_TRUE(FCanvas->RectFullyVisible(RECT{12, 12, 18, 18}));
  EXPECT_FALSE(FCanvas->RectFullyVisible(RECT{5, 12, 18, 18}));
  EXPECT_TRUE(FCanvas->RectVisible(RECT{5, 12, 18, 18}));
  FCanvas->SaveClipRegion();
  FCanvas->ExcludeClipRect(RECT{10, 10, 15, 20});
  FCanvas->FillRect(RECT{0, 0, 64, 64}, clRed);
  EXPECT_EQ(kSentinel, At(12, 12));
  EXPECT_EQ(clRed, At(16, 12));
  EXPECT_EQ(kSentinel, At(25, 25));
  FCanvas->RestoreClipRegion();
  FCanvas->FillRect(RECT{0, 0, 64, 64}, clBlue);
  EXPECT_EQ(clBlue, At(12, 12));
  EXPECT_EQ(kSentinel, At(25, 25));
  FCanvas->RestoreClipRegion();
  FCanvas->RestoreClipRegion();  // one pop too many
  EXPECT_EQ(0, FCanvas->SavedClipRegionCount());
  FCanvas->FillRect(RECT{0, 0, 64, 64}, clLime);
  EXPECT_EQ(clLime, At(25, 25));
}

TEST_F(Canvas, StateStackPutsFontBrushAndPenBack) {
  FCanvas->Brush().SetColor(clRed);
  FCanvas->Font().SetHeight(-11);
  FCanvas->SaveState();
  EXPECT_EQ(1, FCanvas->SavedDCCount());
  FCanvas->Brush().SetColor(clBlue);
  FCanvas->Font().SetHeight(-30);
  FCanvas->Pen().SetWidth(4);
  FCanvas->RestoreState();
  EXPECT_EQ(clRed, FCanvas->Brush().Color());
  EXPECT_EQ(-11, FCanvas->Font().Height());
  EXPECT_EQ(1, FCanvas->Pen().Width());
  EXPECT_EQ(0, FCanvas->SavedDCCount());
  EXPECT_EQ(0, FBitmap.Canvas().LockCount());
}

TEST(CanvasRegions, RoundCornersCombinationsAndEquality) {
  auto round = TcxRegion::CreateRoundCorners(RECT{0, 0, 10, 10}, 4, 4);
  // The left and top move in by one; right and bottom are the system's rounded rectangle's.
  const RECT box = round->BoundsRect();
  EXPECT_EQ(1, box.left);
  EXPECT_EQ(1, box.top);
  EXPECT_TRUE(round->IsEqual(TcxRegion(CreateRoundRectRgn(1, 1, 10, 10, 4, 4)).Handle()));
  EXPECT_FALSE(round->IsEqual(TcxRegion(CreateRoundRectRgn(0, 0, 10, 10, 4, 4)).Handle()));
  EXPECT_FALSE(round->PtInRegion(1, 1)) << "the corner is rounded off";
  EXPECT_TRUE(round->PtInRegion(5, 5));

  TcxRegion region(0, 0, 10, 10);
  region.Combine(new TcxRegion(5, 0, 15, 10), roAdd);
  EXPECT_TRUE(AreRectsEqual(RECT{0, 0, 15, 10}, region.BoundsRect()));
  region.Combine(new TcxRegion(0, 0, 5, 10), roSubtract);
  EXPECT_TRUE(AreRectsEqual(RECT{5, 0, 15, 10}, region.BoundsRect()));
  region.Combine(new TcxRegion(0, 0, 8, 10), roIntersect);
  EXPECT_TRUE(AreRectsEqual(RECT{5, 0, 8, 10}, region.BoundsRect()));
  TcxRegion kept(1, 1, 2, 2);
  region.Combine(&kept, roSet, false);
  EXPECT_TRUE(region.IsEqual(&kept));
  EXPECT_TRUE(region.RectInRegion(RECT{0, 0, 2, 2}));
  region.Offset(10, 0);
  EXPECT_FALSE(region.IsEqual(&kept));
  EXPECT_FALSE(region.IsEqual(static_cast<const TcxRegion*>(nullptr)));
  TcxRegion emptyA(3, 3, 3, 3), emptyB(7, 7, 7, 9);
  EXPECT_TRUE(emptyA.IsEmpty());
  EXPECT_TRUE(emptyA.IsEqual(&emptyB));
  EXPECT_TRUE(AreRectsEqual(RECT{}, emptyB.BoundsRect()));
}

TEST(CanvasText, FlagTranslationStartsFromNoPrefix) {
  struct {
    int Flags;
    UINT Expected;
  } const cases[] = {
      {0, DT_NOPREFIX},
      {cxTextShowPrefix, 0},
      {cxTextAlignRight | cxTextAlignVCenter | cxTextSingleLine, DT_NOPREFIX | DT_RIGHT | DT_VCENTER | DT_SINGLELINE},
      {cxTextWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {cxTextWordBreak | cxTextDontBreakChars, DT_NOPREFIX | DT_WORDBREAK},
      {cxTextWordBreak | cxTextDontBreakChars | cxTextNoFullWidthCharBreak,
       DT_NOPREFIX | DT_WORDBREAK | DT_NOFULLWIDTHCHARBREAK},
      {cxTextDontBreakChars | cxTextNoFullWidthCharBreak, DT_NOPREFIX},
      {cxTextShowEndEllipsis | cxTextCalcRect | cxTextShowPathEllipsis | cxTextDontClip | cxTextExpandTabs,
       DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT | DT_PATH_ELLIPSIS | DT_NOCLIP | DT_EXPANDTABS},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Expected, TextFlagsToDrawTextFlags(c.Flags)) << std::hex << c.Flags;
}

TEST_F(Canvas, TextExtentPlacesTheMeasuredTextByItsAlignment) {
  const SIZE size = FCanvas->TextExtent(L"Hello");
  RECT centred{0, 0, 60, 40};
  FCanvas->TextExtent(L"Hello", centred, cxTextAlignHCenter | cxTextAlignVCenter | cxTextSingleLine);
  EXPECT_EQ(size.cx, centred.right - centred.left);
  EXPECT_EQ((60 - size.cx) / 2, centred.left);
  EXPECT_EQ((40 - size.cy) / 2, centred.top);
  RECT right{0, 0, 60, 40};
  FCanvas->TextExtent(L"Hello", right, cxTextAlignRight | cxTextAlignBottom | cxTextSingleLine);
  EXPECT_EQ(60, right.right);
  EXPECT_EQ(40, right.bottom);
  RECT empty{5, 5, 5, 5};
  FCanvas->TextExtent(L"", empty, cxTextAlignLeft);
  EXPECT_EQ(5, empty.left);
}

TEST_F(Canvas, SharedCanvasesExistWhileTheLibraryRuns) {
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  TcxScreenCanvas* screen = GetScreenCanvas();
  ASSERT_NE(nullptr, screen);
  EXPECT_EQ(screen, GetScreenCanvas());
  EXPECT_GT(screen->TextHeight(L"Zq"), 0);
  screen->Dormant();
  EXPECT_GT(screen->TextWidth(L"Zq"), 0) << "the desktop context is taken again";

  TcxPaintCanvas* paint = GetPaintCanvas();
  paint->BeginPaint(&FBitmap.Canvas());
  paint->BeginPaint(FBitmap.Canvas().Handle());
  EXPECT_EQ(2, paint->Counter());
  paint->FillRect(RECT{0, 0, 4, 4}, clRed);
  paint->EndPaint();
  EXPECT_EQ(&FBitmap.Canvas(), paint->Canvas());
  paint->EndPaint();
  paint->EndPaint();  // one too many
  EXPECT_EQ(0, paint->Counter());
  EXPECT_EQ(clRed, At(1, 1));
  RunShutdown(steps);
  EXPECT_EQ(nullptr, GetScreenCanvas());
  EXPECT_EQ(nullptr, GetPaintCanvas());
  DxCoreUnitShutdown();
}

TEST_F(Canvas, RotatedTextRunsAcrossTheTurnedRectangle) {
  // The ink of a row of capitals is wide when upright and tall when turned a quarter.
  auto inkBox = [&] {
    RECT box{64, 64, -1, -1};
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (At(x, y) == clBlack)
          box = RECT{std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                     std::max<int>(box.bottom, y + 1)};
    return box;
  };
  FCanvas->Font().SetHeight(-14);
  FCanvas->Font().SetColor(clBlack);
  FCanvas->Brush().SetStyle(TBrushStyle::bsClear);
  const int flags = cxTextAlignLeft | cxTextAlignTop | cxTextSingleLine;
  FCanvas->DrawTexT(L"HHHH", RECT{0, 0, 64, 20}, flags, true, ra0);
  RECT upright = inkBox();
  ASSERT_LT(upright.left, upright.right);
  EXPECT_GT(upright.right - upright.left, upright.bottom - upright.top);
  for (TcxRotationAngle angle : {raPlus90, raMinus90}) {
    SetUp();
    FCanvas->Font().SetHeight(-14);
    FCanvas->Font().SetColor(clBlack);
    FCanvas->DrawTexT(L"HHHH", RECT{0, 0, 20, 64}, flags, true, angle);
    RECT turned = inkBox();
    ASSERT_LT(turned.left, turned.right) << angle;
    EXPECT_GT(turned.bottom - turned.top, turned.right - turned.left) << angle;
    EXPECT_LE(turned.right, 20);
  }
}

namespace {

// A parent that paints blue with a red square where its child sits, and counts its paints.
class TPaintedParent : public TCustomControl {
public:
  TVK_CLASS(TPaintedParent, TCustomControl)
  TPaintedParent() : TCustomControl(nullptr) {
    OnPaint = [this](TObject*) {
      ++Paints;
      Canvas().Brush().SetColor(clBlue);
      Canvas().FillRect(RECT{0, 0, Width(), Height()});
      Canvas().Brush().SetColor(clRed);
      Canvas().FillRect(RECT{10, 10, 20, 20});
      if (Reenter) Reenter();
    };
  }
  int Paints = 0;
  std::function<void()> Reenter;
};

}  // namespace

TEST_F(Canvas, AParentPaintedIntoTheCanvasUnderItsChildAndNeverReentered) {
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  {
    TPaintedParent parent;
    parent.SetBounds(0, 0, 40, 40);
    parent.SetParentWindow(host);
    parent.HandleNeeded();
    TWinControl child(nullptr);
    child.SetBounds(10, 10, 10, 10);
    child.SetParent(&parent);
    child.HandleNeeded();
    parent.Reenter = [&] {
      TcxBitmap32 other(10, 10);
      TcxCanvas otherCanvas(&other.Canvas());
      PaintParentIntoCanvas(&child, otherCanvas, RECT{0, 0, 10, 10}, false);
    };
    PaintParentIntoCanvas(&child, *FCanvas, RECT{0, 0, 10, 10}, false);
    EXPECT_EQ(1, parent.Paints) << "the nested request for the same parent did nothing";
    EXPECT_EQ(clRed, At(0, 0)) << "the parent's pixels under the child";
    EXPECT_EQ(clRed, At(9, 9));
    EXPECT_EQ(kSentinel, At(10, 10)) << "only the child's rectangle";
    EXPECT_EQ(0, FCanvas->SavedDCCount());
    parent.Reenter = nullptr;
    PaintParentIntoCanvas(&child, *FCanvas, RECT{0, 0, 10, 10}, false);
    EXPECT_EQ(2, parent.Paints) << "a later request paints again";
    TWinControl orphan(nullptr);
    PaintParentIntoCanvas(&orphan, *FCanvas, RECT{0, 0, 10, 10}, false);
    EXPECT_EQ(2, parent.Paints);
  }
  DestroyWindow(host);
}

TEST_F(Canvas, TransparentDrawMixesWithConstantOpacityOnBothPaths) {
  const TcxGraphicsPlatform saved = GraphicsPlatform();
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));  // binds the system's AlphaBlend
  for (bool system : {true, false}) {
    GraphicsPlatform().SystemAlphaBlend = system;
    FCanvas->FillRect(RECT{0, 0, 64, 64}, clBlack);
    TBitmap white;
    white.SetPixelFormat(TPixelFormat::pf32bit);
    white.SetSize(8, 8);
    white.Canvas().Brush().SetColor(clWhite);
    white.Canvas().FillRect(RECT{0, 0, 8, 8});
    FCanvas->TransparentDraw(4, 4, white, 64);
    const TColor p = At(6, 6);
    EXPECT_NEAR(64, GetRValue(p), 1) << (system ? "system" : "software");
    EXPECT_EQ(clBlack, At(12, 12));
    TBitmap background;
    background.SetPixelFormat(TPixelFormat::pf32bit);
    background.SetSize(8, 8);
    background.Canvas().Brush().SetColor(clBlue);
    background.Canvas().FillRect(RECT{0, 0, 8, 8});
    FCanvas->TransparentDraw(20, 20, white, 255, &background);
    EXPECT_EQ(clWhite, At(22, 22));
  }
  GraphicsPlatform() = saved;
  RunShutdown(steps);
  DxCoreUnitShutdown();
}

TEST_F(Canvas, FocusRectanglesOnChosenSidesAndDesignSelections) {
  FCanvas->DrawFocusRectEx(RECT{10, 10, 30, 30}, bLeft);
  int left = 0, top = 0;
  for (int i = 11; i < 29; ++i) {
    left += At(10, i) != kSentinel;
    top += At(i, 10) != kSentinel;
  }
  EXPECT_GT(left, 0) << "the left side is drawn";
  EXPECT_EQ(0, top) << "the top side is not";
  RECT selection{40, 40, 60, 60};
  FCanvas->DrawDesignSelection(selection, 2);
  EXPECT_TRUE(AreRectsEqual(RECT{42, 42, 58, 58}, selection));
  FCanvas->DrawFocusRectEx(RECT{0, 0, 5, 5}, 0);
  EXPECT_EQ(kSentinel, At(0, 2)) << "no sides, nothing";
  TFont font;
  font.SetHeight(-20);
  EXPECT_GE(FCanvas->FontHeight(font), 20);
}

TEST_F(Canvas, ABitmapBlendsItselfIntoAnother) {
  TcxBitmap32 dest(4, 4), source(2, 2);
  dest.Canvas().Brush().SetColor(clWhite);
  dest.Canvas().FillRect(dest.ClientRect());
  source.SetBitmapColors(TRGBColors(4, RGBQUAD{0, 0, 255, 255}));
  source.AlphaBlend(dest, RECT{1, 1, 3, 3}, false);
  EXPECT_EQ(clRed, dest.Canvas().Pixel(1, 1));
  EXPECT_EQ(clWhite, dest.Canvas().Pixel(0, 0));
}

TEST_F(Canvas, WrappedLineBoundsFollowBreaksAndWidth) {
  // A space right after the fitting part stays with the next line; one inside it ends the line.
  const int width = FCanvas->TextWidth(L"aaa aaa");
  std::vector<RECT> lines;
  const int flags = cxTextAlignLeft | cxTextAlignTop | cxTextWordBreak;
  FCanvas->GetTextStringsBounds(L"aaa aaa aaa aaa", RECT{0, 0, width + 1, 60}, flags, true, lines);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(width, lines[0].right - lines[0].left);
  EXPECT_EQ(FCanvas->TextWidth(L" aaa "), lines[1].right - lines[1].left);
  EXPECT_EQ(FCanvas->TextWidth(L"aaa"), lines[2].right - lines[2].left);
  EXPECT_EQ(0, lines[0].top);
  EXPECT_EQ(lines[0].bottom, lines[1].top) << "each line starts at the previous one's bottom";
  lines.clear();
  FCanvas->GetTextStringsBounds(L"aaa aaa aaa aaa", RECT{0, 0, width + 1, 60}, flags | cxTextAlignHCenter, true, lines);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(FCanvas->TextWidth(L" aaa"), lines[1].right - lines[1].left) << "centred: the ending space is dropped";

  struct {
    const wchar_t* Text;
    std::size_t Lines;
  } const breaks[] = {{L"ab\r\ncd", 2}, {L"ab\n\rcd", 2}, {L"ab\rcd", 2}, {L"ab\ncd", 2}, {L"ab", 1}};
  for (const auto& b : breaks) {
    lines.clear();
    FCanvas->GetTextStringsBounds(b.Text, RECT{0, 0, 60, 60}, cxTextAlignLeft | cxTextAlignTop | cxTextWordBreak,
                                  true, lines);
    EXPECT_EQ(b.Lines, lines.size()) << b.Text;
  }
  lines.clear();
  FCanvas->GetTextStringsBounds(L"", RECT{0, 0, 60, 60}, flags, true, lines);
  EXPECT_TRUE(lines.empty());
  FCanvas->GetTextStringsBounds(L"ab", RECT{0, 0, 60, 60}, cxTextAlignRight | cxTextAlignTop, true, lines);
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(60, lines[0].right) << "right-aligned in the measured rectangle";
}

namespace {

// The box of the pixels of Colour (empty, left > right, when there is none).
RECT InkBox(TBitmap& bitmap, TColor colour) {
  RECT box{bitmap.Width(), bitmap.Height(), -1, -1};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Canvas().Pixel(x, y) == colour)
        box = RECT{std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                   std::max<int>(box.bottom, y + 1)};
  return box;
}

}  // namespace

TEST_F(Canvas, SavingTheStateAdoptsWhatWasSelectedIntoTheContextBehindItsBack) {
  HDC dc = FBitmap.Canvas().StateHandle();
  LOGFONTW lf{};
  lf.lfHeight = -21;
  lf.lfWeight = FW_BOLD;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  TGdiObject<HFONT> font(CreateFontIndirectW(&lf));
  TGdiObject<HBRUSH> brush(CreateHatchBrush(HS_CROSS, 0x00FF00));
  TGdiObject<HPEN> pen(CreatePen(PS_DOT, 1, 0xFF0000));
  HGDIOBJ oldFont = SelectObject(dc, font), oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  SetTextColor(dc, 0x0000C0);
  SetROP2(dc, R2_NOT);
  SetBkMode(dc, TRANSPARENT);
  FCanvas->SaveState();
  EXPECT_EQ(TRANSPARENT, GetBkMode(dc)) << "the context's modes stay";
  EXPECT_EQ(-21, FCanvas->Font().Height());
  EXPECT_EQ(fsBold, FCanvas->Font().Style());
  EXPECT_EQ(clWindowText, FCanvas->Font().Color()) << "the canvas sets the text colour itself as it draws";
  EXPECT_EQ(TBrushStyle::bsCross, FCanvas->Brush().Style());
  EXPECT_EQ(0x00FF00, FCanvas->Brush().Color());
  EXPECT_EQ(TPenStyle::psDot, FCanvas->Pen().Style());
  EXPECT_EQ(0xFF0000, FCanvas->Pen().Color());
  EXPECT_EQ(TPenMode::pmNot, FCanvas->Pen().Mode());
  // Drawn through the canvas, the adopted pen inverts what is there.
  FCanvas->Pen().SetStyle(TPenStyle::psSolid);
  FCanvas->MoveTo(0, 40);
  FCanvas->LineTo(64, 40);
  EXPECT_EQ(~kSentinel & 0xFFFFFF, At(30, 40));
  FCanvas->RestoreState();
  EXPECT_EQ(TPenMode::pmNot, FCanvas->Pen().Mode()) << "the saved copies are the adopted ones";
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);

  // A change the canvas has not selected yet is its own, not the context's.
  FCanvas->Font().SetHeight(-30);
  FCanvas->Brush().SetColor(clBtnFace);
  FCanvas->SaveState();
  EXPECT_EQ(-30, FCanvas->Font().Height());
  EXPECT_EQ(clBtnFace, FCanvas->Brush().Color()) << "a system colour stays one";
  FCanvas->RestoreState();

  // The paint canvas on a bare context starts from the context's objects.
  TMemoryContext memory(dc, 8, 8);
  lf.lfHeight = -9;
  TGdiObject<HFONT> small(CreateFontIndirectW(&lf));
  HGDIOBJ previous = SelectObject(memory.Handle(), small);
  SetTextColor(memory.Handle(), 0x0000C0);
  TcxPaintCanvas paint;
  paint.BeginPaint(memory.Handle());
  EXPECT_EQ(-9, paint.Font().Height());
  EXPECT_EQ(0x0000C0, paint.Font().Color());
  paint.EndPaint();
  EXPECT_EQ(HGDIOBJ(small), GetCurrentObject(memory.Handle(), OBJ_FONT));
  SelectObject(memory.Handle(), previous);
}

TEST_F(Canvas, TheFontAngleTurnsTextAndLastsUntilTheFontChanges) {
  FCanvas->Font().SetHeight(-14);
  FCanvas->Font().SetColor(clBlack);
  FCanvas->Brush().SetStyle(TBrushStyle::bsClear);
  FCanvas->SetFontAngle(90);
  LOGFONTW lf{};
  ASSERT_TRUE(GetFontObjectData(FCanvas->Font().Handle(), lf));
  EXPECT_EQ(900, lf.lfEscapement);
  EXPECT_EQ(OUT_TT_ONLY_PRECIS, lf.lfOutPrecision);
  // Turned counter-clockwise, a row of capitals runs upwards from its origin.
  FBitmap.Canvas().TextOut(10, 60, L"HHHH");
  const RECT turned = InkBox(FBitmap, clBlack);
  ASSERT_LT(turned.left, turned.right);
  EXPECT_GT(turned.bottom - turned.top, turned.right - turned.left);
  EXPECT_LE(turned.bottom, 61);

  FCanvas->SaveState();
  FCanvas->RestoreState();
  ASSERT_TRUE(GetFontObjectData(FCanvas->Font().Handle(), lf));
  EXPECT_EQ(900, lf.lfEscapement) << "the saved copy kept the angle";
  FCanvas->SetFontAngle(0);
  ASSERT_TRUE(GetFontObjectData(FCanvas->Font().Handle(), lf));
  EXPECT_EQ(0, lf.lfEscapement);
  FCanvas->SetFontAngle(45);
  FCanvas->Font().SetHeight(-12);
  ASSERT_TRUE(GetFontObjectData(FCanvas->Font().Handle(), lf));
  EXPECT_EQ(0, lf.lfEscapement) << "a changed font is upright again";
}

TEST_F(Canvas, APathBecomesARegionInLogicalOrDeviceCoordinates) {
  FCanvas->SetWindowOrg(POINT{-5, -3});  // logical (0, 0) is device (5, 3)
  FCanvas->BeginPath();
  FCanvas->Rectangle(10, 10, 20, 30);
  FCanvas->EndPath();
  std::unique_ptr<TcxRegion> logical = FCanvas->PathToRegion(true);
  EXPECT_EQ((std::vector<LONG>{10, 10, 19, 29}), (std::vector<LONG>{logical->BoundsRect().left, logical->BoundsRect().top,
                                                                     logical->BoundsRect().right, logical->BoundsRect().bottom}));
  FCanvas->BeginPath();
  FCanvas->Rectangle(10, 10, 20, 30);
  FCanvas->EndPath();
  std::unique_ptr<TcxRegion> device = FCanvas->PathToRegion(false);
  RECT shifted = logical->BoundsRect();
  OffsetRect(&shifted, 5, 3);
  const RECT deviceBox = device->BoundsRect();
  EXPECT_TRUE(EqualRect(&shifted, &deviceBox));
  EXPECT_TRUE(FCanvas->PathToRegion()->IsEmpty()) << "the path was used up";

  // A widened line is as wide as the pen.
  FCanvas->Pen().SetWidth(6);
  FCanvas->BeginPath();
  FCanvas->MoveTo(0, 50);
  FCanvas->LineTo(40, 50);
  FCanvas->EndPath();
  FCanvas->WidenPath();
  std::unique_ptr<TcxRegion> widened = FCanvas->PathToRegion(true);
  EXPECT_NEAR(6, widened->BoundsRect().bottom - widened->BoundsRect().top, 1);
  FCanvas->SetWindowOrg(POINT{0, 0});
  FCanvas->FillRegion(widened.get(), kMark);
  EXPECT_EQ(kMark, At(20, 52));
  EXPECT_EQ(kSentinel, At(20, 54));
}

TEST_F(Canvas, AGlyphGivesItsTransparentColourToTheBackgroundEnabledOrNot) {
  // Fuchsia at the lower left is the glyph's transparent colour.
  TBitmap glyph;
  MakeBitmap(glyph, 4, 4,
             {clRed, clRed, clFuchsia, clFuchsia, clRed, clRed, clFuchsia, clFuchsia,  //
              clFuchsia, clFuchsia, clRed, clRed, clFuchsia, clFuchsia, clRed, clRed});
  struct {
    bool Enabled;
    TColor Background, Transparent;
  } const cases[] = {{true, clNone, kSentinel}, {true, clBlue, clBlue}, {false, clNone, kSentinel}, {false, clBlue, clBlue}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Enabled << " " << std::hex << c.Background);
    SetUp();
    FCanvas->Brush().SetStyle(TBrushStyle::bsSolid);
    FCanvas->DrawGlyph(10, 20, glyph, c.Enabled, c.Background);
    EXPECT_EQ(c.Transparent, At(12, 20));
    EXPECT_EQ(c.Transparent, At(10, 23));
    EXPECT_EQ(kSentinel, At(14, 20)) << "nothing beyond the glyph";
    if (c.Enabled) {
      EXPECT_EQ(clRed, At(10, 20));
    } else {
      EXPECT_NE(clRed, At(10, 20)) << "the disabled look";
    }
    EXPECT_NE(c.Transparent, At(13, 23));
    EXPECT_EQ(TBrushStyle::bsSolid, FCanvas->Brush().Style());
  }
}

TEST_F(Canvas, AnImageIsDrawnOnlyForAnIndexOfTheListAndLeavesTheContextAsItWas) {
  TImageList images(nullptr);
  images.SetSize(4, 4);
  TBitmap picture;
  MakeBitmap(picture, 4, 4, std::vector<TColor>(16, clGreen));
  images.Add(picture, nullptr);
  for (int index : {-1, 1}) FCanvas->DrawImage(&images, 0, 0, index);
  FCanvas->DrawImage(nullptr, 0, 0, 0);
  EXPECT_EQ(kSentinel, At(1, 1));
  FCanvas->DrawImage(&images, 8, 8, 0);
  EXPECT_EQ(clGreen, At(9, 9));
  EXPECT_EQ(kSentinel, At(12, 12));
  EXPECT_EQ(0, FCanvas->SavedDCCount());
  EXPECT_EQ(0, FBitmap.Canvas().LockCount());
}

TEST_F(Canvas, ForwardersDrawWithTheWrappedCanvas) {
  FCanvas->Pen().SetColor(kMark);
  FCanvas->Brush().SetColor(clBlue);
  FCanvas->Rectangle(RECT{0, 0, 10, 10});
  FCanvas->Rectangle(10, 0, 20, 10);
  const POINT triangle[] = {{20, 0}, {30, 0}, {20, 10}};
  FCanvas->Polygon(triangle);
  const POINT line[] = {{0, 12}, {30, 12}};
  FCanvas->Polyline(line);
  FCanvas->MoveTo(0, 14);
  FCanvas->LineTo(30, 14);
  // The quarter from three o'clock to twelve.
  FCanvas->Pie(RECT{0, 20, 20, 40}, POINT{20, 30}, POINT{10, 20});
  TBitmap green;
  MakeBitmap(green, 3, 3, std::vector<TColor>(9, clGreen));
  FCanvas->Draw(40, 0, green);
  FCanvas->CopyRect(RECT{40, 10, 46, 16}, green.Canvas(), RECT{0, 0, 3, 3});
  struct {
    int X, Y;
    TColor Expected;
  } const pixels[] = {
      {0, 5, kMark}, {5, 5, clBlue}, {15, 5, clBlue}, {19, 5, kMark}, {22, 3, clBlue}, {28, 8, kSentinel},
      {15, 12, kMark}, {15, 14, kMark}, {15, 13, kSentinel}, {14, 26, clBlue}, {5, 35, kSentinel},
      {41, 1, clGreen}, {43, 1, kSentinel}, {45, 15, clGreen},
  };
  for (const auto& p : pixels) EXPECT_EQ(p.Expected, At(p.X, p.Y)) << p.X << "," << p.Y;
}
