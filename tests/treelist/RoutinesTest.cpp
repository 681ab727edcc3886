// The unit's module-wide state and drawing routines.
#include "Application.h"
#include "Forms.h"
#include "TreeListRoutines.h"
#include "TreeListTest.h"

namespace treelist_test {
namespace {

using tvk::TBitmap;

// A white 32-bit bitmap of Width x Height.
void WhiteBitmap(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(tvk::TPixelFormat::pf32bit);
  bitmap.SetSize(width, height);
  RECT r{0, 0, width, height};
  FillRect(bitmap.Canvas().Handle(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

COLORREF Pixel(TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }
COLORREF Sys(int index) { return GetSysColor(index); }
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(TreeListUnit, StartUpTwiceThenShutDownMakesAndFreesEverythingOnce) {
  tvk::TreeListUnitShutdown();  // the environment started it
  EXPECT_FALSE(tvk::Screen().HasCursor(tvk::crdxTreeListDeleteCursor));
  EXPECT_EQ(nullptr, tvk::TreeListWorkBitmap());
  ASSERT_TRUE(tvk::TreeListUnitStartup());
  HCURSOR first = tvk::Screen().Cursors(tvk::crdxTreeListDragCopy);
  ASSERT_TRUE(tvk::TreeListUnitStartup());
  EXPECT_EQ(first, tvk::Screen().Cursors(tvk::crdxTreeListDragCopy));
  for (tvk::TCursor id : {-1124, -1131, -1132, -1133, -1134, -1135, -1136, -1137, -1138, -1139})
    EXPECT_TRUE(tvk::Screen().HasCursor(id)) << id;
  EXPECT_NE(nullptr, tvk::TreeListWorkBitmap());
  EXPECT_NE(nullptr, tvk::TreeListScreenDC());
  EXPECT_EQ(L"    Bands    ", tvk::TreeListUnitState().BandsText);
  EXPECT_EQ(L"   Headers   ", tvk::TreeListUnitState().HeadersText);
  EXPECT_EQ(L"Customize", tvk::TreeListUnitState().CustomizeText);
  EXPECT_EQ(-1, tvk::TreeListUnitState().HorzScrollTimerId);
  tvk::TImageList* images = tvk::GetIndicatorImages();
  EXPECT_EQ(images, tvk::GetIndicatorImages());
  tvk::TreeListUnitShutdown();
  EXPECT_FALSE(tvk::Screen().HasCursor(tvk::crdxTreeListMultiDragCopy));
  EXPECT_EQ(nullptr, tvk::TreeListWorkBitmap());
  EXPECT_EQ(nullptr, tvk::TreeListScreenDC());
  ASSERT_TRUE(tvk::TreeListUnitStartup());
}

TEST(TreeListUnit, IndicatorGlyphsAreThePatterns) {
  // Rows from the top, 'X' drawn, '.' transparent.
  const char* patterns[] = {
      "X.... XX... XXX.. XXXX. XXXXX XXXX. XXX.. XX... X....",
      "XX.XX ..X.. ..X.. ..X.. ..X.. ..X.. ..X.. ..X.. XX.XX",
      "..... ..X.. X.X.X .XXX. ..X.. .XXX. X.X.X ..X.. .....",
      "..... ..... ..X.. .XXX. .XXX. .XXX. ..X.. ..... .....",
      "X.... XX... ..X.. X..X. XX.XX X..X. ..X.. XX... X....",
  };
  tvk::TImageList* images = tvk::GetIndicatorImages();
  ASSERT_EQ(5, images->Count());
  ASSERT_EQ(5, images->Width());
  ASSERT_EQ(9, images->Height());
  for (int i = 0; i < 5; ++i) {
    TBitmap bitmap;
    WhiteBitmap(bitmap, 5, 9);
    images->Draw(bitmap.Canvas(), 0, 0, i);
    std::string drawn;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 5; ++x) drawn += Pixel(bitmap, x, y) == kWhite ? '.' : 'X';
    std::string expected = patterns[i];
    std::erase(expected, ' ');
    EXPECT_EQ(expected, drawn) << i;
  }
}

TEST(TreeListUnit, DrawImageCenteredDrawsOnlyImagesOfTheList) {
  tvk::TImageList* images = tvk::GetIndicatorImages();
  TBitmap bitmap;
  WhiteBitmap(bitmap, 15, 19);
  RECT all{0, 0, 15, 19};
  for (int index : {5, -1}) {
    tvk::DrawImageCentered(bitmap.Canvas(), all, images, index);
    for (int y = 0; y < 19; ++y)
      for (int x = 0; x < 15; ++x) ASSERT_EQ(kWhite, Pixel(bitmap, x, y)) << index;
  }
  // The arrow's first pixel lands at ((15 - 5 + 1) div 2, (19 - 9 + 1) div 2).
  tvk::DrawImageCentered(bitmap.Canvas(), all, images, 0);
  EXPECT_NE(kWhite, Pixel(bitmap, 5, 5));
  EXPECT_EQ(kWhite, Pixel(bitmap, 4, 5));
  EXPECT_EQ(kWhite, Pixel(bitmap, 5, 4));
}

TEST(TreeListUnit, TreeButtonsSortMarksAndDropDownStates) {
  TBitmap bitmap;
  for (bool collapsed : {false, true}) {
    WhiteBitmap(bitmap, 20, 20);
    tvk::DrawTreeButton(bitmap.Canvas(), RECT{0, 0, 19, 20}, 10, nullptr, collapsed);
    // The box spans 5..13 across and 6..14 down; the bar is on row 10.
    EXPECT_EQ(Sys(COLOR_GRAYTEXT), Pixel(bitmap, 5, 6));
    EXPECT_EQ(Sys(COLOR_WINDOWTEXT), Pixel(bitmap, 8, 10));
    EXPECT_EQ(collapsed ? Sys(COLOR_WINDOWTEXT) : kWhite, Pixel(bitmap, 9, 8));
    WhiteBitmap(bitmap, 20, 20);
    tvk::DrawFlatTreeButton(bitmap.Canvas().Handle(), RECT{0, 0, 21, 21}, collapsed);
    EXPECT_EQ(Sys(COLOR_3DDKSHADOW), Pixel(bitmap, 5, 5));
    EXPECT_EQ(Sys(COLOR_WINDOWTEXT), Pixel(bitmap, 10, 10));
    EXPECT_EQ(collapsed ? Sys(COLOR_WINDOWTEXT) : Sys(COLOR_WINDOW), Pixel(bitmap, 10, 8));
  }
  // Up: the apex at the top; down: the wide edge at the top.
  for (bool up : {true, false}) {
    WhiteBitmap(bitmap, 16, 16);
    tvk::DrawSortMark(bitmap.Canvas().Handle(), RECT{0, 0, 16, 16}, up);
    int inkOnTop = 0;
    for (int x = 0; x < 16; ++x) inkOnTop += Pixel(bitmap, x, 4) != kWhite;
    if (up) {
      EXPECT_TRUE(inkOnTop >= 1 && inkOnTop <= 2) << inkOnTop;
    } else {
      EXPECT_GE(inkOnTop, 7);
    }
  }
  struct TCase {
    int State;
    COLORREF Face;
    COLORREF Arrow;
  };
  const TCase cases[] = {{1, Sys(COLOR_BTNFACE), Sys(COLOR_BTNTEXT)},
                         {3, Sys(COLOR_BTNSHADOW), Sys(COLOR_WINDOW)},
                         {7, Sys(COLOR_BTNTEXT), Sys(COLOR_WINDOW)}};
  for (const TCase& c : cases) {
    WhiteBitmap(bitmap, 15, 15);
    tvk::DrawDropDownGlyph(bitmap.Canvas().Handle(), RECT{0, 0, 15, 15}, c.State);
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), Pixel(bitmap, 0, 0)) << c.State;
    EXPECT_EQ(c.Face, Pixel(bitmap, 2, 2)) << c.State;
    EXPECT_EQ(c.Arrow, Pixel(bitmap, 7, 6)) << c.State;
  }
}

TEST(TreeListUnit, HeaderFramesInThreeLooks) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  struct TCase {
    tvk::TdxLookAndFeel Look;
    bool Pushed;
    COLORREF Corner;
    COLORREF Inside;
  };
  const COLORREF inverted = RGB(0, 255, 255);
  const TCase cases[] = {
      {tvk::lfStandard, false, Sys(COLOR_BTNHIGHLIGHT), RGB(255, 0, 0)},
      {tvk::lfStandard, true, Sys(COLOR_BTNSHADOW), RGB(255, 0, 0)},
      {tvk::lfFlat, false, Sys(COLOR_BTNHIGHLIGHT), RGB(255, 0, 0)},
      {tvk::lfFlat, true, Sys(COLOR_BTNHIGHLIGHT) ^ 0xFFFFFF, inverted},
      {tvk::lfUltraFlat, false, Sys(COLOR_BTNSHADOW), RGB(255, 0, 0)},
      {tvk::lfUltraFlat, true, Sys(COLOR_BTNSHADOW) ^ 0xFFFFFF, inverted},
  };
  for (const TCase& c : cases) {
    TBitmap bitmap;
    WhiteBitmap(bitmap, 40, 20);
    RECT r{0, 0, 40, 20};
    tvk::DrawHeaderButton(bitmap.Canvas().Handle(), r, red, c.Look, 0, c.Pushed);
    EXPECT_EQ(c.Corner, Pixel(bitmap, 0, 0)) << c.Look << c.Pushed;
    EXPECT_EQ(c.Inside, Pixel(bitmap, 20, 10)) << c.Look << c.Pushed;
    EXPECT_LT(r.right - r.left, 40);
  }
  DeleteObject(red);
}

TEST(TreeListUnit, InvertFrameInvertsEachCornerOnce) {
  TBitmap bitmap;
  WhiteBitmap(bitmap, 10, 10);
  tvk::InvertFrame(bitmap.Canvas().Handle(), RECT{1, 1, 9, 9});
  for (int i = 1; i < 9; ++i) {
    EXPECT_EQ(kBlack, Pixel(bitmap, i, 1)) << i;
    EXPECT_EQ(kBlack, Pixel(bitmap, i, 8)) << i;
    EXPECT_EQ(kBlack, Pixel(bitmap, 1, i)) << i;
    EXPECT_EQ(kBlack, Pixel(bitmap, 8, i)) << i;
  }
  EXPECT_EQ(kWhite, Pixel(bitmap, 4, 4));
  EXPECT_EQ(kWhite, Pixel(bitmap, 0, 0));
  EXPECT_EQ(kWhite, Pixel(bitmap, 9, 9));
}

// A tree list whose focus move raises, to prove the timers' guard.
struct TRaisingFocusTree : TTestTreeList {
  void SetFocusedNumber(int) override { throw tvk::Exception(L"focus failed"); }
};

TEST(TreeListUnit, ScrollTimersStopOutsideTheirStatesAndKeepErrorsInside) {
  std::unique_ptr<tvk::TForm> form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  auto* tree = new TRaisingFocusTree;
  tree->SetParent(form.get());
  HWND window = tree->Handle();
  tvk::TTreeListUnitState& state = tvk::TreeListUnitState();
  auto tick = [&](TIMERPROC proc, INT_PTR& id, UINT_PTR number) {
    SetTimer(window, number, 10000, proc);
    id = INT_PTR(number);
    MSG msg{window, WM_TIMER, number, reinterpret_cast<LPARAM>(proc), 0, {}};
    DispatchMessageW(&msg);
  };
  // Horizontal: keeps running while a column is dragged, stops in tsNormal.
  tree->SetState(tvk::tsColumnDragging);
  tick(&tvk::HorzScrollTimer, state.HorzScrollTimerId, 1);
  EXPECT_EQ(1, state.HorzScrollTimerId);
  tree->SetState(tvk::tsNormal);
  tick(&tvk::HorzScrollTimer, state.HorzScrollTimerId, 1);
  EXPECT_EQ(-1, state.HorzScrollTimerId);
  tick(&tvk::VertScrollTimer, state.VertScrollTimerId, 1);
  EXPECT_EQ(-1, state.VertScrollTimerId);

  // The selection scroll runs in tsNodeDown; the error of its step stays inside.
  std::vector<std::wstring> errors;
  auto saved = tvk::Application().OnException;
  tvk::Application().OnException = [&](tvk::TObject*, const std::exception_ptr&) { errors.push_back(L"caught"); };
  tree->SetState(tvk::tsNodeDown);
  tick(&tvk::MouseSelectScrollTimer, state.VertScrollTimerId, 1);
  tvk::Application().OnException = saved;
  EXPECT_EQ(1u, errors.size());
  EXPECT_EQ(1, state.VertScrollTimerId);
  tree->SetState(tvk::tsNormal);
  tick(&tvk::MouseSelectScrollTimer, state.VertScrollTimerId, 1);
  EXPECT_EQ(-1, state.VertScrollTimerId);
}

}  // namespace
}  // namespace treelist_test
