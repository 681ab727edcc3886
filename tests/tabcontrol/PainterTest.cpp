// The tab painter base: the position tables, page geometry, painting order
// with clip exclusion, disabled captions, the image rules and the tab image
// list.
#include "TabControlTest.h"
#include "painters/PaintersTest.h"

namespace tabcontrol_test {
namespace {

using namespace tvk;

TEST_F(TabControl, RectanglesMapBetweenTopTabsAndEachPosition) {
  const RECT source{1, 2, 3, 4};
  EXPECT_EQ((TBox{1, 2, 3, 4}), Box(RotateRectForPosition(source, tpTop)));
  EXPECT_EQ((TBox{3, 4, 1, 2}), Box(RotateRectForPosition(source, tpBottom)));
  EXPECT_EQ((TBox{2, 3, 4, 1}), Box(RotateRectForPosition(source, tpLeft)));
  EXPECT_EQ((TBox{4, 1, 2, 3}), Box(RotateRectForPosition(source, tpRight)));
  for (TcxTabPosition position : {tpTop, tpBottom, tpLeft, tpRight})
    EXPECT_EQ(Box(source), Box(UnrotateRectForPosition(RotateRectForPosition(source, position), position)));
  EXPECT_EQ((TBox{12, 13, 96, 99}), Box(DeflateRectForPosition({10, 10, 100, 100}, {1, 2, 3, 4}, tpLeft)));
  EXPECT_EQ((TBox{5, 5, 5, 9}), Box(NormalizeRectSize({5, 5, 2, 9})));
  POINT p{2, 3};
  TcxPCCustomPainter::RotatePointInRect({0, 0, 10, 20}, p, tpBottom);
  EXPECT_EQ(16, p.y);
}

TEST_F(TabControl, SideBordersFollowTheRows) {
  TTabOwner& owner = Owner(6, 100, 200, 200);
  TTestTabViewInfo& v = owner.ViewInfo();
  TcxCustomTabControlProperties& p = owner.Properties();
  EXPECT_EQ(15u, owner.TestPainter()->GetTabSideBorders());  // a full frame
  v.FullFrame = false;
  struct TRow {
    TcxTabPosition Position;
    bool MultiLine, HideTabs;
    int TabIndex;  // multi-line: the main row moves the other rows to the opposite side
    unsigned Sides;
  };
  const TRow rows[] = {{tpTop, false, false, 0, cxPCSideTop},   {tpBottom, false, false, 0, cxPCSideBottom},
                       {tpLeft, false, false, 0, cxPCSideLeft}, {tpRight, false, false, 0, cxPCSideRight},
                       {tpTop, true, false, 0, cxPCSideTop | cxPCSideBottom},
                       {tpTop, true, false, 4, cxPCSideTop},
                       {tpRight, true, false, 4, cxPCSideLeft | cxPCSideRight},
                       {tpTop, false, true, 0, 0}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    p.BeginUpdate();
    p.SetTabIndex(row.TabIndex);
    p.SetTabPosition(row.Position);
    p.SetMultiLine(row.MultiLine);
    p.SetScrollOpposite(row.MultiLine);
    p.SetHideTabs(row.HideTabs);
    p.EndUpdate();
    EXPECT_EQ(row.Sides, owner.TestPainter()->GetTabSideBorders());
  }
  RECT margins;
  owner.TestPainter()->GetTabsAreaMargins(margins);
  EXPECT_EQ((TBox{0, 0, 0, 0}), Box(margins));
}

TEST_F(TabControl, RowsFillingTheControlLeaveNoPage) {
  TTabOwner& owner = Owner(6, 100, 200, 60);
  owner.Properties().SetShowFrame(true);
  EXPECT_TRUE(owner.TestPainter()->HasPageArea());
  owner.Properties().SetMultiLine(true);  // three rows of 20 in 60 pixels
  TcxPCCustomPainter* painter = owner.TestPainter();
  EXPECT_FALSE(painter->HasPageArea());
  RECT page, frame;
  painter->CalculatePageClientRect(page);
  painter->GetFrameRect(frame);
  EXPECT_TRUE(Empty(page));
  EXPECT_TRUE(Empty(frame));
}

TEST_F(TabControl, FrameWidthsJoinThePageOffsets) {
  TTabOwner& owner = Owner({50}, 200, 100);
  owner.Properties().SetShowFrame(true);
  owner.Properties().SetTabPosition(tpBottom);
  EXPECT_EQ((TBox{1, 1, 199, 79}), Box(owner.ViewInfo().PageClientRect()));
  EXPECT_EQ((TBox{1, 1, 1, 21}), Box(owner.ViewInfo().PageClientRectOffset()));
  EXPECT_EQ((TBox{0, 80, 200, 100}), Box(owner.ViewInfo().TabsAreaRect()));
}

TEST_F(TabControl, PaintingExcludesWhatItPaintedInEitherOrder) {
  for (bool tabsFirst : {true, false}) {
    SCOPED_TRACE(tabsFirst);
    TTabOwner& owner = Owner({50, 60}, 200, 100);
    owner.OwnColor = TColor(0x00C000);
    owner.Properties().SetShowFrame(true);
    TTestTabPainter* painter = owner.TestPainter();
    painter->TabsFirst = tabsFirst;
    owner.PaintSurface();
    const std::vector<const char*> expected =
        tabsFirst ? std::vector<const char*>{"tabs", "page", "frame", "background"}
                  : std::vector<const char*>{"page", "frame", "tabs", "background"};
    EXPECT_EQ(expected, painter->Steps);
    TCanvas& c = owner.Surface().Canvas();
    EXPECT_EQ(TColor(0xFFFFFF), c.Pixel(100, 60));  // the page
    EXPECT_EQ(TColor(0x000000), c.Pixel(100, 99));  // the frame
    EXPECT_EQ(TColor(0xFFFFFF), c.Pixel(25, 1));    // the main tab
    EXPECT_EQ(TColor(0x00C000), c.Pixel(150, 10));  // background beside the tabs
  }
}

TEST_F(TabControl, DisabledCaptionsCastAShadowByTheirRotation) {
  struct TRow {
    bool Rotate, TopToBottom;
    int Dx, Dy;
  };
  const TRow rows[] = {{false, false, 1, 1}, {true, false, 1, -1}, {true, true, -1, 1}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    TTabOwner& owner = Owner({60}, 200, 200);
    TcxCustomTabControlProperties& p = owner.Properties();
    p.BeginUpdate();
    p.Tabs().Put(0, L"HHHH");
    p.SetRotate(row.Rotate);
    if (row.TopToBottom) p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoTopToBottomText})));
    p.EndUpdate();
    painters_test::TDib dib(100, 100);
    TcxCanvas& canvas = dib.Canvas();
    canvas.Font().Assign(owner.OwnFont());
    SetBkMode(canvas.Handle(), TRANSPARENT);
    const RECT r = row.Rotate ? RECT{40, 20, 60, 80} : RECT{20, 40, 80, 60};
    owner.TestPainter()->PaintTabText(canvas, r, 0, clBtnFace, false, L"HHHH");
    const RECT highlight = dib.BoundsOf(clBtnHighlight), shadow = dib.BoundsOf(clBtnShadow);
    ASSERT_FALSE(Empty(shadow));
    // The shadow text covers part of the highlight copy: compare the sides it leaves bare.
    if (row.Dx > 0) { EXPECT_EQ(shadow.right + 1, highlight.right); }
    if (row.Dx < 0) { EXPECT_EQ(shadow.left - 1, highlight.left); }
    if (row.Dy > 0) { EXPECT_EQ(shadow.bottom + 1, highlight.bottom); }
    if (row.Dy < 0) { EXPECT_EQ(shadow.top - 1, highlight.top); }
  }
}

TEST_F(TabControl, HotTabsTakeTheirImageFromTheHotList) {
  TTabOwner& owner = Owner({60, 60});
  TImageList base(nullptr), hot(nullptr);
  base.SetSize(16, 16);
  hot.SetSize(16, 16);
  TBitmap picture;
  picture.SetPixelFormat(TPixelFormat::pf24bit);
  picture.SetSize(16, 16);
  base.Add(picture, nullptr);
  base.Add(picture, nullptr);
  hot.Add(picture, nullptr);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.Images().SetBaseImages(&base);
  p.SetHotTrack(true);
  TTestTabPainter* painter = owner.TestPainter();
  owner.Controller().Mouse = {70, 10};  // over tab 1, whose image is 1
  owner.ViewInfo().UpdateHotTrack(0);
  ASSERT_EQ(1, owner.ViewInfo().HotTrackTabVisibleIndex());
  EXPECT_TRUE(painter->IsTabImageShown(0));
  EXPECT_TRUE(painter->IsTabImageShown(1));  // no hot list: the base list decides
  p.Images().SetBaseHotImages(&hot);
  owner.ViewInfo().UpdateHotTrack(0);
  EXPECT_FALSE(painter->IsTabImageShown(1));  // outside the hot list
  EXPECT_TRUE(painter->IsTabImageShown(0));
  // A list that goes is dropped.
  p.Images().SetBaseHotImages(nullptr);
  p.Images().SetBaseImages(nullptr);
}

TEST_F(TabControl, AfterPaintTellsTheTabsRectangles) {
  TTabOwner& owner = Owner({80});
  owner.Properties().Tabs().Put(0, L"Caption");
  TcxCanvas& canvas = owner.Surface().cxCanvas();
  owner.TestPainter()->DoAfterPaintTab(canvas, 0);
  ASSERT_EQ(1u, owner.ViewInfo().AfterPaint.size());
  const auto& [tab, data] = owner.ViewInfo().AfterPaint[0];
  EXPECT_EQ(owner.Properties().Tabs().Tabs(0), tab);
  EXPECT_EQ(0, data.TabVisibleIndex);
  EXPECT_EQ(Box(Tab(0)->TextRect()), Box(data.TabTextRect));
  EXPECT_EQ(Box(Tab(0)->ImageRect()), Box(data.TabImageRect));
}

TEST_F(TabControl, TabOffsetsAreAdjustedForPressableAndRotatedTabs) {
  TTabOwner& owner = Owner({80}, 200, 200);
  TTestTabPainter* painter = owner.TestPainter();
  RECT offsets{1, 2, 3, 4};
  painter->AdjustTabElementOffsets(0, offsets);
  EXPECT_EQ((TBox{1, 2, 3, 4}), Box(offsets));
  owner.Properties().SetRotate(true);
  offsets = {1, 2, 3, 4};
  owner.TestPainter()->AdjustTabElementOffsets(0, offsets);
  EXPECT_EQ((TBox{1, 0, 3, 0}), Box(offsets));
  // Bottom tabs paint turned by 180 degrees relative to the text: top and bottom swap.
  owner.Properties().SetRotate(false);
  owner.Properties().SetTabPosition(tpBottom);
  EXPECT_EQ(ra180, Tab(0)->GetRelativeTextRotationAngle());
  offsets = {1, 2, 3, 4};
  owner.TestPainter()->AdjustTabElementOffsets(0, offsets);
  EXPECT_EQ((TBox{1, 4, 3, 2}), Box(offsets));
}

// ---- The tab image list

TEST_F(TabControl, ImageListSizesAndErrors) {
  TcxCustomTabControlProperties p(nullptr);
  TcxPCImageList& images = p.Images();
  TImageList hot(nullptr);
  hot.SetSize(16, 24);
  images.SetBaseHotImages(&hot);
  EXPECT_EQ(16, images.BaseImageSize().cx);
  EXPECT_EQ(24, images.BaseImageSize().cy);
  for (TcxRotationAngle angle : {raPlus90, raMinus90, ra180}) {
    images.SetImageRotationAngle(angle);
    EXPECT_EQ(24, images.RotatedImageSize().cx);
    EXPECT_EQ(16, images.RotatedImageSize().cy);
  }
  images.SetImageRotationAngle(ra0);
  painters_test::TDib dib(40, 40);
  try {
    images.Draw(dib.Canvas(), 0, 0, false, true, false, clNone, 0);
    FAIL() << "drawn without a base list";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"TcxPCImageList.Draw: BaseImages is not assigned", e.Message());
  }
  try {
    images.Draw(dib.Canvas(), 0, 0, true, true, false, clNone, 5);
    FAIL() << "drawn out of range";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"TcxPCImageList.Draw: Index (5) must be between 0 and -1", e.Message());
  }
  int changes = 0;
  images.OnChange = [&](TObject*) { ++changes; };
  {
    TImageList gone(nullptr);
    images.SetBaseImages(&gone);
    EXPECT_EQ(1, changes);
  }
  EXPECT_EQ(nullptr, images.BaseImages());  // freed elsewhere: dropped
  images.OnChange = nullptr;
  images.SetBaseHotImages(nullptr);
}

TEST_F(TabControl, RotatedImagesAreDrawnTurned) {
  TcxCustomTabControlProperties p(nullptr);
  TImageList list(nullptr);
  list.SetSize(8, 4);
  TBitmap picture;
  picture.SetPixelFormat(TPixelFormat::pf24bit);
  picture.SetSize(8, 4);
  picture.Canvas().Brush().SetColor(TColor(0x0000FF));
  picture.Canvas().FillRect({0, 0, 8, 4});
  picture.Canvas().Brush().SetColor(TColor(0x00FF00));
  picture.Canvas().FillRect({0, 0, 2, 2});  // a marker in the top-left corner
  list.Add(picture, nullptr);
  p.Images().SetBaseImages(&list);
  // The expected picture: the same image turned by the library's rotation.
  TcxBitmap32 expected(8, 4);
  list.Draw(expected.Canvas(), 0, 0, 0);
  expected.Rotate(raPlus90);
  ASSERT_EQ(4, expected.Width());
  p.Images().SetImageRotationAngle(raPlus90);
  painters_test::TDib dib(20, 20);
  p.Images().Draw(dib.Canvas(), 5, 5, false, true, false, clNone, 0);
  EXPECT_EQ(painters_test::kSentinel, dib.At(9, 5));   // four pixels wide
  EXPECT_EQ(painters_test::kSentinel, dib.At(5, 13));  // eight high
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(expected.Canvas().Pixel(x, y), dib.At(5 + x, 5 + y)) << x << "," << y;
  p.Images().SetBaseImages(nullptr);
}

}  // namespace
}  // namespace tabcontrol_test
