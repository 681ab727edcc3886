// The styled scroll bar: range and page rules, geometry, the repeat timer,
// thumb dragging, keys and the painting of every look.
#include "XPListsTest.h"

#include <vssym32.h>

#include <cstdint>

#include <vector>

using namespace tvk;
namespace xplists_test {
using instrument_test::At;
using styled_test::PixelAt;

namespace {

// A 121 x 17 bar over 0..100 with a page of 10 (positions 0..91), which
// records every scroll it reports.
struct ScrollBar : ListsFixture {
  ScrollBar() {
    bar = Make<TXPScrollBar>(10, 10, 121, 17);
    bar->SetParams(0, 0, 100);
    bar->SetPageSize(10);
    bar->SetLargeChange(10);
    bar->OnScroll = [this](TObject*, TScrollCode code, int& pos) { codes.push_back({code, pos}); };
  }
  HWND Window() { return bar->Handle(); }
  std::vector<TScrollCode> Codes() {
    std::vector<TScrollCode> result;
    for (auto& [code, pos] : codes) result.push_back(code);
    return result;
  }
  TXPScrollBar* bar;
  std::vector<std::pair<TScrollCode, int>> codes;
};

TEST_F(ScrollBar, NewBarHasNoUsedRangeUntilItsParametersAreSet) {
  TXPScrollBar fresh(nullptr);
  EXPECT_EQ(121, fresh.Width());
  EXPECT_EQ(GetScrollBarSize(), fresh.Height());
  EXPECT_EQ(0, fresh.UsedMax());
  EXPECT_TRUE(fresh.TabStop());
  EXPECT_FALSE(fresh.ControlStyle() & csSetCaption);
  EXPECT_TRUE(fresh.ControlStyle() & csOpaque);
  EXPECT_FALSE(fresh.RepeatTimer().Enabled());
  // Min and Max are plain writes: the used range stays.
  fresh.SetMax(50);
  EXPECT_EQ(0, fresh.UsedMax());
}

TEST_F(ScrollBar, SetParamsLimitsThePositionAndIgnoresAnInvertedRange) {
  int changes = 0;
  bar->OnChange = [&](TObject*) { ++changes; };
  struct Case {
    int position, min, max;
    int wantPosition, wantMin, wantMax, wantChanges;
  } cases[] = {
      {5, 0, 100, 5, 0, 100, 1},     // 0..91 with the page
      {500, 0, 100, 91, 0, 100, 1},  // beyond: the largest position
      {-3, 0, 100, 0, 0, 100, 1},
      {0, 0, 100, 0, 0, 100, 0},     // nothing changed
      {5, 10, 2, 0, 0, 100, 0},      // Max < Min
  };
  for (const Case& c : cases) {
    changes = 0;
    bar->SetParams(c.position, c.min, c.max);
    EXPECT_EQ(c.wantPosition, bar->Position()) << c.position;
    EXPECT_EQ(c.wantMin, bar->Min());
    EXPECT_EQ(c.wantMax, bar->Max());
    EXPECT_EQ(c.wantChanges, changes) << c.position;
  }
  // The page is limited to the range and does not move the position.
  bar->SetParams(91, 0, 100);
  bar->SetPageSize(500);
  EXPECT_EQ(101, bar->PageSize());
  EXPECT_EQ(0, bar->UsedMax());
  EXPECT_EQ(91, bar->Position());
}

TEST_F(ScrollBar, ThumbIsPlacedByPositionAndNeverThinnerThanTheBar) {
  EXPECT_EQ(17, bar->ButtonSize());
  EXPECT_EQ((RECT{0, 0, 17, 17}), bar->StartButtonRect());
  EXPECT_EQ((RECT{104, 0, 121, 17}), bar->EndButtonRect());
  // 10 of 101 of an 87-pixel track is thinner than the bar: 17.
  EXPECT_EQ((RECT{17, 0, 34, 17}), bar->ThumbRect());
  EXPECT_EQ((RECT{17, 0, 17, 17}), bar->BeforeThumbRect());
  EXPECT_EQ((RECT{34, 0, 104, 17}), bar->AfterThumbRect());
  bar->SetPosition(91);
  EXPECT_EQ((RECT{87, 0, 104, 17}), bar->ThumbRect());
  EXPECT_EQ((RECT{17, 0, 87, 17}), bar->BeforeThumbRect());
  // The gripper: 20 long about the thumb's middle, the middle half across.
  EXPECT_EQ((RECT{85, 4, 105, 12}), bar->GripperRect());

  // A bar shorter than two buttons: buttons of half its length.
  bar->SetBounds(10, 10, 25, 17);
  EXPECT_EQ(12, bar->ButtonSize());
  EXPECT_GE(bar->ThumbRect().right - bar->ThumbRect().left, 17);

  // Turned: width and height swap, the geometry runs down.
  bar->SetBounds(10, 10, 121, 17);
  bar->SetKind(TScrollBarKind::sbVertical);
  EXPECT_EQ(17, bar->Width());
  EXPECT_EQ(121, bar->Height());
  EXPECT_EQ((RECT{0, 104, 17, 121}), bar->EndButtonRect());
}

TEST_F(ScrollBar, WholeRangeInThePageKeepsTheThumbAtTheStart) {
  bar->SetPageSize(101);
  ASSERT_EQ(bar->Min(), bar->UsedMax());
  EXPECT_EQ(17, bar->ThumbRect().left);
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(30, 8));
  EXPECT_EQ(TXPScrollElem::pseThumb, bar->PressedElement());
  SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, At(60, 8));
  EXPECT_EQ(0, bar->Position());
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(60, 8));
  EXPECT_EQ(0, bar->Position());
}

TEST_F(ScrollBar, KeysStepAndEveryReleaseEndsTheScroll) {
  struct Case {
    WORD key;
    int from, want;
    TScrollCode code;
  } cases[] = {
      {VK_HOME, 40, 0, TScrollCode::scTop},      {VK_END, 40, 91, TScrollCode::scBottom},
      {VK_PRIOR, 40, 30, TScrollCode::scPageUp}, {VK_NEXT, 40, 50, TScrollCode::scPageDown},
      {VK_NEXT, 88, 91, TScrollCode::scPageDown}, {VK_UP, 40, 39, TScrollCode::scLineUp},
      {VK_LEFT, 0, 0, TScrollCode::scLineUp},    {VK_RIGHT, 40, 41, TScrollCode::scLineDown},
      {VK_DOWN, 40, 41, TScrollCode::scLineDown},
  };
  for (const Case& c : cases) {
    bar->SetPosition(c.from);
    codes.clear();
    SendMessageW(Window(), WM_KEYDOWN, c.key, 1);
    SendMessageW(Window(), WM_KEYUP, c.key, 1 | (LPARAM(3) << 30));
    EXPECT_EQ(c.want, bar->Position()) << c.key;
    EXPECT_EQ((std::vector<TScrollCode>{c.code, TScrollCode::scEndScroll}), Codes()) << c.key;
  }
  // Other keys do not scroll; arrows are wanted in dialogs.
  codes.clear();
  SendMessageW(Window(), WM_KEYDOWN, 'A', 1);
  SendMessageW(Window(), WM_KEYUP, 'A', 1);
  EXPECT_TRUE(codes.empty());
  EXPECT_TRUE(SendMessageW(Window(), WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS);
}

TEST_F(ScrollBar, OnScrollMayChangeTheNewPosition) {
  bar->OnScroll = [](TObject*, TScrollCode, int& pos) { pos = 7; };
  SendMessageW(Window(), WM_KEYDOWN, VK_END, 1);
  EXPECT_EQ(7, bar->Position());
}

TEST_F(ScrollBar, HeldArrowRepeatsAfterADelayAndEndsWithEndScroll) {
  // The mouse really on the arrow: the system's own moves while the button
  // is held must find it there.
  POINT screen{112, 8};
  ClientToScreen(Window(), &screen);
  SetCursorPos(screen.x, screen.y);
  instrument_test::Pump(20);
  std::vector<DWORD> ticks;
  bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) {
    codes.push_back({code, pos});
    ticks.push_back(GetTickCount());
  };
  DWORD pressed = GetTickCount();
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(112, 8));
  // One step at once, before any timer.
  EXPECT_EQ((std::vector<TScrollCode>{TScrollCode::scLineDown}), Codes());
  EXPECT_EQ(TXPScrollElem::pseEndButton, bar->PressedElement());
  EXPECT_TRUE(bar->RepeatTimer().Enabled());
  EXPECT_EQ(200u, bar->RepeatTimer().Interval());
  instrument_test::Pump(260);
  EXPECT_TRUE(bar->RepeatTimer().Enabled());
  EXPECT_EQ(30u, bar->RepeatTimer().Interval());
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(112, 8));
  auto got = Codes();
  ASSERT_GE(got.size(), 3u);
  EXPECT_EQ(TScrollCode::scEndScroll, got.back());
  got.pop_back();
  for (TScrollCode code : got) EXPECT_EQ(TScrollCode::scLineDown, code);
  EXPECT_EQ(int(got.size()), bar->Position());
  // The first repetition waits for the delay, the next ones come quicker.
  EXPECT_GE(ticks[1] - pressed, 180u);
  if (got.size() >= 3) {
    EXPECT_LT(ticks[2] - ticks[1], 150u);
  }
  EXPECT_FALSE(bar->RepeatTimer().Enabled());
  EXPECT_EQ(TXPScrollElem::pseNone, bar->PressedElement());
}

TEST_F(ScrollBar, MovingOffThePressedAreaStopsTheRepeatAndBackStepsAtOnce) {
  bar->SetPosition(50);
  RECT after = bar->AfterThumbRect();
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(after.right - 2, 8));
  EXPECT_EQ(60, bar->Position());
  // The thumb has moved towards the mouse but the point is still after it.
  SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, At(after.right - 3, 8));
  EXPECT_EQ(70, bar->Position());
  EXPECT_EQ(200u, bar->RepeatTimer().Interval());
  SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, At(8, 8));
  EXPECT_FALSE(bar->RepeatTimer().Enabled());
  EXPECT_EQ(70, bar->Position());
  SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, At(after.right - 2, 8));
  EXPECT_TRUE(bar->RepeatTimer().Enabled());
  EXPECT_EQ(80, bar->Position());
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(after.right - 2, 8));
  EXPECT_EQ((std::vector<TScrollCode>{TScrollCode::scPageDown, TScrollCode::scPageDown, TScrollCode::scPageDown,
                                      TScrollCode::scEndScroll}),
            Codes());
}

TEST_F(ScrollBar, DraggedThumbFollowsTheMouseFromItsGrip) {
  // The thumb is 17..34; grabbed 5 pixels in. The track left for it is 70
  // pixels for 91 positions.
  struct Case {
    int x, want;
  } cases[] = {{22, 0}, {57, 46}, {92, 91}, {150, 91}, {0, 0}, {29, 9}};
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(22, 8));
  ASSERT_EQ(TXPScrollElem::pseThumb, bar->PressedElement());
  EXPECT_FALSE(bar->RepeatTimer().Enabled());
  for (const Case& c : cases) {
    SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, At(c.x, 8));
    EXPECT_EQ(c.want, bar->Position()) << c.x;
  }
  codes.clear();
  SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, At(29, 8));  // no change: no track
  EXPECT_TRUE(codes.empty());
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(29, 8));
  EXPECT_EQ((std::vector<TScrollCode>{TScrollCode::scPosition, TScrollCode::scEndScroll}), Codes());
  EXPECT_EQ(9, codes.front().second);
}

TEST_F(ScrollBar, DoubleClickActsAsASecondPress) {
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(8, 8));
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(8, 8));
  bar->SetPosition(10);
  codes.clear();
  SendMessageW(Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(8, 8));
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(8, 8));
  EXPECT_EQ(9, bar->Position());
  EXPECT_EQ((std::vector<TScrollCode>{TScrollCode::scEndScroll, TScrollCode::scLineUp, TScrollCode::scEndScroll}),
            Codes());
}

TEST_F(ScrollBar, ElementStatesFollowPressHotAndEnabled) {
  SendMessageW(Window(), WM_MOUSEMOVE, 0, At(60, 8));
  EXPECT_EQ(TXPScrollElem::pseAfterThumb, bar->HotElement());
  EXPECT_EQ(1, bar->ElementState(TXPScrollElem::pseAfterThumb));
  EXPECT_EQ(0, bar->ElementState(TXPScrollElem::pseThumb));
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(25, 8));
  EXPECT_EQ(2, bar->ElementState(TXPScrollElem::pseThumb));
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(25, 8));
  bar->SetEnabled(false);
  EXPECT_EQ(3, bar->ElementState(TXPScrollElem::pseThumb));
}

// The themed arrows: their own state, or on newer systems the hover state
// while the mouse is elsewhere on the bar.
TEST_F(ScrollBar, ThemedArrowsHoverWhileTheMouseIsElsewhereOnTheBar) {
  struct Case {
    int x;  // where the mouse is (-1: off the bar)
    bool vista;
    int start, end;
  } cases[] = {
      {-1, true, 9, 13},   // left and right arrows, normal
      {8, true, 10, 20},   // on the start arrow: it is hot, the end one hovers
      {60, true, 19, 20},  // on the shaft: both hover
      {112, true, 19, 14}, // on the end arrow
      {60, false, 9, 13},  // no hover states before the newer systems
  };
  for (const Case& c : cases) {
    OverrideWin32Version(c.vista ? 6 : 5, c.vista ? 0 : 1);
    SendMessageW(Window(), WM_MOUSEMOVE, 0, c.x < 0 ? At(-50, -50) : At(c.x, 8));
    EXPECT_EQ(c.start, bar->ArrowThemeState(true)) << c.x;
    EXPECT_EQ(c.end, bar->ArrowThemeState(false)) << c.x;
  }
  OverrideWin32Version(6, 0);
  bar->SetKind(TScrollBarKind::sbVertical);
  SendMessageW(Window(), WM_MOUSEMOVE, 0, At(8, 60));
  EXPECT_EQ(17, bar->ArrowThemeState(true));
  EXPECT_EQ(18, bar->ArrowThemeState(false));
  bar->SetEnabled(false);
  EXPECT_EQ(4, bar->ArrowThemeState(true));  // disabled wins
  EXPECT_EQ(8, bar->ArrowThemeState(false));
}

// Every look paints the whole bar; the custom one with the given colours.
TEST_F(ScrollBar, EveryLookPaintsTheWholeBar) {
  bar->SetPosition(40);
  for (int mode : {0, 1, 2}) {
    Look(mode);
    for (bool enabled : {true, false}) {
      bar->SetEnabled(enabled);
      TBitmap bitmap;
      instrument_test::PaintInto(*bar, bitmap);
      RECT shaft = bar->AfterThumbRect();
      RECT button = bar->EndButtonRect();
      EXPECT_GT(styled_test::InkIn(bitmap, clBlack, shaft), (shaft.right - shaft.left) * 17 / 2)
          << mode << enabled;
      EXPECT_GT(styled_test::InkIn(bitmap, clBlack, button), 17 * 17 / 2) << mode << enabled;
    }
  }
  Look(0);
  // Classic: a pressed page area is black.
  bar->SetEnabled(true);
  SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, At(100, 8));
  bar->RepeatTimer().SetEnabled(false);
  TBitmap pressed;
  instrument_test::PaintInto(*bar, pressed);
  RECT after = bar->AfterThumbRect();
  EXPECT_EQ(clBlack, PixelAt(pressed, after.right - 2, 8));
  SendMessageW(Window(), WM_LBUTTONUP, 0, At(100, 8));
}

TEST_F(ScrollBar, CustomLookDrawsWithTheOwnersColours) {
  bar->SetLookAndFeel(TXPLookAndFeel::xlfCustom);
  bar->SetShaftColor(TColor(0x00FF00));
  bar->SetButtonColor(TColor(0xFF0000));
  bar->SetHotButtonColor(TColor(0x0000FF));
  bar->SetFrameColor(TColor(0x808080));
  bar->SetPosition(40);
  TBitmap bitmap;
  instrument_test::PaintInto(*bar, bitmap);
  RECT after = bar->AfterThumbRect(), thumb = bar->ThumbRect();
  EXPECT_EQ(TColor(0x00FF00), PixelAt(bitmap, after.left + 5, 8));
  EXPECT_EQ(TColor(0x808080), PixelAt(bitmap, after.left + 5, 0));  // the long edge
  EXPECT_EQ(TColor(0xFF0000), PixelAt(bitmap, (thumb.left + thumb.right) / 2, 8));
  EXPECT_EQ(TColor(0xFF0000), PixelAt(bitmap, 112, 8));
  // Hot: the hot colour.
  SendMessageW(Window(), WM_MOUSEMOVE, 0, At(112, 8));
  instrument_test::PaintInto(*bar, bitmap);
  EXPECT_EQ(TColor(0x0000FF), PixelAt(bitmap, 112, 8));
  // Disabled: the substitute colours.
  bar->SetEnabled(false);
  instrument_test::PaintInto(*bar, bitmap);
  EXPECT_EQ(ColorToRGB(SubstBtnHighlightColor), PixelAt(bitmap, after.left + 5, 8));
}

// What the themed paint asks of the theme, part by part.
struct TThemedPart {
  int Part, State;
  RECT Rect;
};
std::vector<TThemedPart> gThemedParts;

HTHEME AnyTheme(HWND, const wchar_t*) { return reinterpret_cast<HTHEME>(std::intptr_t{1}); }

HRESULT RecordPart(HTHEME, HDC, int part, int state, const RECT& rect) {
  gThemedParts.push_back({part, state, rect});
  return S_OK;
}

TEST_F(ScrollBar, ThemedPaintGivesEachPartItsOwnRegionAndState) {
  Look(2);
  ASSERT_EQ(2, GetThemeMode());
  const TThemeOpener oldOpener = SetThemeOpener(&AnyTheme);
  const TThemeBackgroundPainter oldPainter = SetThemeBackgroundPainter(&RecordPart);
  struct Restore {
    TThemeOpener Opener;
    TThemeBackgroundPainter Painter;
    ~Restore() {
      SetThemeOpener(Opener);
      SetThemeBackgroundPainter(Painter);
    }
  } restore{oldOpener, oldPainter};
  auto paint = [&] {
    gThemedParts.clear();
    TBitmap bitmap;
    instrument_test::PaintInto(*bar, bitmap);
    return gThemedParts;
  };
  auto same = [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; };
  // Each part once at most (an empty track is not drawn); an absent one is empty.
  auto of = [](const std::vector<TThemedPart>& parts, int part) {
    TThemedPart found{part, -1, RECT{}};
    int seen = 0;
    for (const TThemedPart& p : parts)
      if (p.Part == part && p.Part != SBP_ARROWBTN) found = p, ++seen;
    EXPECT_LE(seen, 1) << part;
    return found;
  };
  for (int position : {0, 40, 91}) {
    SCOPED_TRACE(position);
    bar->SetPosition(position);
    const auto parts = paint();
    ASSERT_GE(parts.size(), 5u);
    const TThemedPart before = of(parts, SBP_UPPERTRACKHORZ), after = of(parts, SBP_LOWERTRACKHORZ),
                      thumb = of(parts, SBP_THUMBBTNHORZ), gripper = of(parts, SBP_GRIPPERHORZ);
    const TThemedPart &start = parts[parts.size() - 2], &end = parts.back();
    EXPECT_EQ(SCRBS_NORMAL, thumb.State);
    EXPECT_EQ(SBP_ARROWBTN, start.Part);
    EXPECT_EQ(ABS_LEFTNORMAL, start.State);
    EXPECT_EQ(ABS_RIGHTNORMAL, end.State);
    // The arrows at the ends; the tracks and the thumb tile what lies between.
    EXPECT_TRUE(same(start.Rect, RECT{0, 0, 17, 17}));
    EXPECT_TRUE(same(end.Rect, RECT{104, 0, 121, 17}));
    EXPECT_EQ(position == 0, IsRectEmpty(&before.Rect) != FALSE);
    EXPECT_EQ(position == 91, IsRectEmpty(&after.Rect) != FALSE);
    RECT tiled = thumb.Rect;
    UnionRect(&tiled, &tiled, &before.Rect);
    UnionRect(&tiled, &tiled, &after.Rect);
    EXPECT_TRUE(same(tiled, RECT{17, 0, 104, 17}));
    const int width = (before.Rect.right - before.Rect.left) + (thumb.Rect.right - thumb.Rect.left) +
                      (after.Rect.right - after.Rect.left);
    EXPECT_EQ(87, width) << "no overlap";
    EXPECT_GT(thumb.Rect.right - thumb.Rect.left, 0);
    // The gripper is centred on the thumb, across the middle half of the bar.
    EXPECT_EQ((thumb.Rect.left + thumb.Rect.right) / 2, (gripper.Rect.left + gripper.Rect.right) / 2);
    EXPECT_EQ(4, gripper.Rect.top);
    EXPECT_EQ(12, gripper.Rect.bottom);
  }
  // Disabled: no thumb, its place painted as disabled track.
  bar->SetPosition(40);
  bar->SetEnabled(false);
  const auto parts = paint();
  ASSERT_EQ(5u, parts.size());
  EXPECT_EQ(SBP_UPPERTRACKHORZ, parts[2].Part);
  EXPECT_EQ(SCRBS_DISABLED, parts[2].State);
  EXPECT_EQ(ABS_LEFTDISABLED, parts[3].State);
  EXPECT_EQ(ABS_RIGHTDISABLED, parts[4].State);
  Look(0);
}

}  // namespace

}  // namespace xplists_test
