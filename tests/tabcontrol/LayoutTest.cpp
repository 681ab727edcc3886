// The tab control's layout through the outline painter's fixed metrics: rows
// that fit, scroll, squeeze, break and balance; row order and side for every
// position; rotated rows; the navigator buttons; keeping a tab visible; the
// optimal size; hot tracking and the tab-set changes.
#include "TabControlTest.h"

#include <cfenv>

namespace tabcontrol_test {
namespace {

using namespace tvk;

std::vector<int> AlongPositions(TTabOwner& AOwner) {
  std::vector<int> result;
  TcxCustomTabControlViewInfo& viewInfo = AOwner.ViewInfo();
  const bool horizontal = viewInfo.TabPosition() == tpTop || viewInfo.TabPosition() == tpBottom;
  for (int i = 0; i < viewInfo.TabViewInfoCount(); ++i) {
    const POINT p = viewInfo.TabViewInfo(i)->NormalPosition();
    result.push_back(horizontal ? p.x : p.y);
  }
  return result;
}

std::vector<int> Rows(TTabOwner& AOwner, bool AVisible = false) {
  std::vector<int> result;
  for (int i = 0; i < AOwner.ViewInfo().TabViewInfoCount(); ++i) {
    tvk::TcxTabViewInfo* tab = AOwner.ViewInfo().TabViewInfo(i);
    result.push_back(AVisible ? tab->VisibleRow() : tab->Row());
  }
  return result;
}

std::vector<int> Widths(TTabOwner& AOwner) {
  std::vector<int> result;
  for (int i = 0; i < AOwner.ViewInfo().TabViewInfoCount(); ++i)
    result.push_back(AOwner.ViewInfo().TabViewInfo(i)->NormalWidth());
  return result;
}

TEST_F(TabControl, AFittingRowStartsAtTheLeftWithoutArrows) {
  TTabOwner& owner = Owner({50, 60, 70});
  owner.Relayout();
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  EXPECT_EQ((std::vector{0, 50, 110}), AlongPositions(owner));
  EXPECT_EQ(1, v.RowCount());
  EXPECT_EQ(0, v.FirstTabVisibleIndex());
  EXPECT_EQ(2, v.LastTabVisibleIndex());
  EXPECT_EQ(0u, v.NavigatorButtons());
  EXPECT_EQ((TBox{50, 0, 110, 20}), Box(Tab(1)->NormalRect()));
  EXPECT_EQ((TBox{0, 0, 300, 20}), Box(v.ExtendedTopOrLeftTabsRect()));
  EXPECT_EQ((TBox{0, 20, 300, 200}), Box(v.PageClientRect()));
  EXPECT_EQ(0, v.MainTabVisibleIndex());
  EXPECT_TRUE(owner.Properties().Tabs().Tabs(2)->RealVisible());
}

TEST_F(TabControl, ARowTooLongScrollsWithArrowsAndScrollsBack) {
  TTabOwner& owner = Owner(10, 50, 300);
  owner.Relayout();
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  ASSERT_EQ(NavButtons({nbTopLeft, nbBottomRight}), v.NavigatorButtons());
  EXPECT_EQ(268, v.TabsPosition().NormalRowWidth);
  EXPECT_EQ(0, v.FirstTabVisibleIndex());
  EXPECT_EQ(5, v.LastTabVisibleIndex());
  EXPECT_FALSE(v.IsLastTabFullyVisible());
  ASSERT_EQ(2, v.NavigatorButtonCount());
  EXPECT_EQ(nbTopLeft, v.NavigatorButtonInfos(0)->ButtonType());
  EXPECT_EQ(nbsDisabled, v.NavigatorButtonInfos(0)->State());
  EXPECT_EQ(nbsNormal, v.NavigatorButtonInfos(1)->State());
  EXPECT_EQ((TBox{268, 0, 284, 20}), Box(v.NavigatorButtonInfos(0)->Bounds()));
  // Scrolled too far: the range comes back until the last tab only just fits.
  v.SetFirstTabVisibleIndex(8);
  owner.Relayout();
  EXPECT_EQ(5, v.FirstTabVisibleIndex());
  EXPECT_EQ(9, v.LastTabVisibleIndex());
  EXPECT_TRUE(v.IsLastTabFullyVisible());
  EXPECT_EQ(nbsNormal, v.NavigatorButtonInfos(0)->State());
  EXPECT_EQ(nbsDisabled, v.NavigatorButtonInfos(1)->State());
  EXPECT_TRUE(Empty(Tab(4)->VisibleRect()));
  EXPECT_FALSE(owner.Properties().Tabs().Tabs(4)->RealVisible());
}

TEST_F(TabControl, WithoutScrollingTabsShrinkByTheirShare) {
  TTabOwner& owner = Owner({50, 60, 70}, 150);
  owner.Properties().SetTabsScroll(false);
  EXPECT_EQ((std::vector{42, 50, 58}), Widths(owner));
  EXPECT_EQ((std::vector{0, 42, 92}), AlongPositions(owner));
  EXPECT_EQ(0u, owner.ViewInfo().NavigatorButtons());
}

TEST_F(TabControl, ATabWiderThanTheRowTakesARowAlone) {
  TTabOwner& owner = Owner({100, 400, 100});
  owner.Properties().SetMultiLine(true);
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  EXPECT_EQ(3, v.RowCount());
  EXPECT_EQ((std::vector{0, 1, 2}), Rows(owner));
  EXPECT_EQ((std::vector{300, 300, 300}), Widths(owner));  // narrowed, then rows stretched
}

TEST_F(TabControl, RowsAreBalancedStretchedOrRagged) {
  TTabOwner& owner = Owner(30, 100, 2500, 300);
  owner.Properties().SetMultiLine(true);
  std::vector<int> rows = Rows(owner);
  EXPECT_EQ(15, std::count(rows.begin(), rows.end(), 0));
  EXPECT_EQ(15, std::count(rows.begin(), rows.end(), 1));
  // Stretched: each row's 1,000 spare pixels spread by share, the last tab the remainder.
  EXPECT_EQ(166, Tab(0)->NormalWidth());
  EXPECT_EQ(1000 - 14 * 66 + 100, Tab(14)->NormalWidth());
  owner.Properties().SetRaggedRight(true);
  EXPECT_EQ(100, Tab(0)->NormalWidth());
  EXPECT_EQ(1400, AlongPositions(owner)[14]);
}

TEST_F(TabControl, AVeryWideRowBalancesWithoutOverflow) {
  TTabOwner& owner = Owner(201, 100, 20000, 300);
  std::feclearexcept(FE_ALL_EXCEPT);
  owner.Properties().SetMultiLine(true);
  EXPECT_FALSE(std::fetestexcept(FE_OVERFLOW));
  const std::vector<int> rows = Rows(owner);
  const auto first = std::count(rows.begin(), rows.end(), 0);
  EXPECT_EQ(2, owner.ViewInfo().RowCount());
  EXPECT_LE(std::abs(201 - 2 * int(first)), 1) << first;  // 100 and 101, not 200 and 1
  EXPECT_GT(owner.ViewInfo().LayoutCounts().BalancingSteps, 0);
}

TEST_F(TabControl, RowOrderAndSideForEveryPosition) {
  // Three rows of two tabs (100 each in 200); the active tab (4) is in row 2.
  struct TRow {
    TcxTabPosition Position;
    bool ScrollOpposite;
    std::vector<int> VisibleRows;
    int TopOrLeftRows;
  };
  const TRow rows[] = {
      // Bound with the client, the main row is the one next to the page.
      {tpTop, false, {0, 0, 1, 1, 2, 2}, 3},     {tpTop, true, {0, 0, 1, 1, 2, 2}, 3},
      {tpBottom, false, {1, 1, 2, 2, 0, 0}, 0},  {tpBottom, true, {0, 0, 1, 1, 2, 2}, 2},
      {tpLeft, false, {0, 0, 1, 1, 2, 2}, 3},    {tpLeft, true, {0, 0, 1, 1, 2, 2}, 3},
      {tpRight, false, {1, 1, 2, 2, 0, 0}, 0},   {tpRight, true, {0, 0, 1, 1, 2, 2}, 2},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(int(row.Position) * 2 + row.ScrollOpposite);
    TTabOwner& owner = Owner(6, 100, 200, 200);
    TcxCustomTabControlProperties& p = owner.Properties();
    p.BeginUpdate();
    p.SetMultiLine(true);
    p.SetTabPosition(row.Position);
    p.SetScrollOpposite(row.ScrollOpposite);
    p.SetTabIndex(4);
    p.EndUpdate();
    EXPECT_EQ((std::vector{0, 0, 1, 1, 2, 2}), Rows(owner));
    EXPECT_EQ(row.VisibleRows, Rows(owner, true));
    EXPECT_EQ(row.TopOrLeftRows, owner.ViewInfo().TopOrLeftPartRowCount());
  }
}

TEST_F(TabControl, TheMainRowMovesNextToThePageOrToTheOppositeSide) {
  TTabOwner& owner = Owner(6, 100, 200, 200);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetMultiLine(true);
  p.SetTabIndex(0);
  // Bound with the client: row 0 (the main row) is shown last, next to the page.
  EXPECT_EQ((std::vector{2, 2, 0, 0, 1, 1}), Rows(owner, true));
  EXPECT_EQ(40, Tab(0)->NormalPosition().y);
  EXPECT_EQ(0, Tab(2)->NormalPosition().y);
  EXPECT_EQ((TBox{0, 60, 200, 200}), Box(owner.ViewInfo().PageClientRect()));
  // Scrolled to the opposite side: the rows after the main one go below the page.
  p.SetScrollOpposite(true);
  EXPECT_EQ((std::vector{0, 0, 1, 1, 2, 2}), Rows(owner, true));
  EXPECT_EQ(1, owner.ViewInfo().TopOrLeftPartRowCount());
  EXPECT_EQ(0, Tab(0)->NormalPosition().y);
  EXPECT_EQ(160, Tab(2)->NormalPosition().y);
  EXPECT_EQ(180, Tab(4)->NormalPosition().y);
  EXPECT_EQ((TBox{0, 20, 200, 160}), Box(owner.ViewInfo().PageClientRect()));
  EXPECT_TRUE(owner.ViewInfo().IsTabsOnBothSides());
  EXPECT_EQ(160, Tab(2)->VisibleRect().top);
}

TEST_F(TabControl, RotatedRowsTakeTheWidestTabOrTheLimit) {
  TTabOwner& owner = Owner({50, 90, 70}, 300, 300);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetRotate(true);
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  EXPECT_EQ(90, v.RowHeight());
  EXPECT_EQ(raPlus90, v.GetTextRotationAngle());
  EXPECT_EQ((TBox{20, 0, 40, 90}), Box(Tab(1)->NormalRect()));  // along: the tab height; across: the row
  EXPECT_EQ((std::vector{0, 20, 40}), AlongPositions(owner));
  p.SetRotatedTabsMaxWidth(60);  // a medium change: the owner decides when to lay out again
  owner.Relayout();
  EXPECT_EQ(60, v.RowHeight());
  p.SetRotatedTabsMaxWidth(5);  // never below the painter's minimum tab width
  owner.Relayout();
  EXPECT_EQ(10, v.RowHeight());
  // Top to bottom text fills the row from its far end.
  p.SetRotatedTabsMaxWidth(0);
  p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoTopToBottomText})));
  EXPECT_EQ(raMinus90, v.GetTextRotationAngle());
  EXPECT_TRUE(v.IsRightToLeftAlignment());
  EXPECT_EQ((std::vector{280, 260, 240}), AlongPositions(owner));
}

TEST_F(TabControl, LeftTabsRunBottomToTopUnlessTopToBottom) {
  TTabOwner& owner = Owner({50, 60}, 200, 300);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetTabPosition(tpLeft);
  EXPECT_TRUE(owner.ViewInfo().IsBottomToTopAlignment());
  EXPECT_EQ((std::vector{250, 190}), AlongPositions(owner));
  EXPECT_EQ((TBox{0, 250, 20, 300}), Box(Tab(0)->NormalRect()));
  p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoTopToBottomText})));
  EXPECT_EQ((std::vector{0, 50}), AlongPositions(owner));
  EXPECT_EQ((TBox{20, 0, 200, 300}), Box(owner.ViewInfo().PageClientRect()));
}

TEST_F(TabControl, EnsureTabVisibleScrollsTheRangeToTheTab) {
  TTabOwner& owner = Owner(10, 50, 300);
  owner.Relayout();
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  const int requests = owner.LayoutRequests;
  v.EnsureTabVisible(2);  // fully shown: nothing
  EXPECT_EQ(requests, owner.LayoutRequests);
  v.EnsureTabVisible(8);
  EXPECT_EQ(4, v.FirstTabVisibleIndex());  // 4..8 fill 250 of 268 pixels
  EXPECT_EQ(requests + 1, owner.LayoutRequests);
  v.EnsureTabVisible(1);
  EXPECT_EQ(1, v.FirstTabVisibleIndex());
  // Activating a hidden tab brings it into view.
  owner.Properties().SetTabIndex(9);
  EXPECT_EQ(9, v.MainTabVisibleIndex());
  EXPECT_EQ(5, v.FirstTabVisibleIndex());
}

TEST_F(TabControl, OptimalSizeIsTheOvershootOfAllTabs) {
  TTabOwner& owner = Owner({50, 60, 70}, 150);
  EXPECT_EQ(180, owner.ViewInfo().GetOptimalSize());
  owner.Properties().SetTabPosition(tpLeft);
  EXPECT_EQ(180, owner.ViewInfo().GetOptimalSize());
  TTabOwner empty;
  EXPECT_EQ(0, empty.ViewInfo().GetOptimalSize());
  empty.Properties().SetStyle(TTestTabPainter::kStyleID);
  empty.Relayout();
  EXPECT_EQ(0, empty.ViewInfo().RowCount());
  EXPECT_EQ(300, empty.ViewInfo().TabsPosition().NormalRowWidth);
}

TEST_F(TabControl, NavigatorButtonsTakeTheirOrderFromTheirSide) {
  TTabOwner& owner = Owner(10, 50, 300);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGoDialog, pcoCloseButton})));
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  auto order = [&] {
    std::vector<TcxPCNavigatorButton> result;
    for (int i = 0; i < v.NavigatorButtonCount(); ++i) result.push_back(v.NavigatorButtonInfos(i)->ButtonType());
    return result;
  };
  EXPECT_EQ((std::vector{nbGoDialog, nbTopLeft, nbBottomRight, nbClose}), order());
  EXPECT_EQ(236, v.TabsPosition().NormalRowWidth);
  p.SetNavigatorPosition(npLeftBottom);
  EXPECT_EQ((std::vector{nbClose, nbTopLeft, nbBottomRight, nbGoDialog}), order());
  EXPECT_EQ(64, v.TabsPosition().NormalTabsRect.left);
  p.SetTabPosition(tpLeft);
  EXPECT_EQ((std::vector{nbGoDialog, nbTopLeft, nbBottomRight, nbClose}), order());
  // States: the close button follows the main tab; the go dialog is always enabled.
  EXPECT_EQ(nbsNormal, v.FindNavigatorButton(nbClose)->State());
  p.SetTabIndex(-1);
  EXPECT_EQ(nbsDisabled, v.FindNavigatorButton(nbClose)->State());
  EXPECT_EQ(nbsNormal, v.FindNavigatorButton(nbGoDialog)->State());
  // Bottom-to-top rows: the arrow to the row's end is the top-left one.
  EXPECT_EQ(nbsNormal, v.FindNavigatorButton(nbTopLeft)->State());
  EXPECT_EQ(nbsDisabled, v.FindNavigatorButton(nbBottomRight)->State());
}

TEST_F(TabControl, HotTrackingFollowsTheMouse) {
  TTabOwner& owner = Owner(10, 50, 300);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetHotTrack(true);
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  owner.Controller().Mouse = {75, 10};
  v.UpdateHotTrack(0);
  EXPECT_EQ(1, v.HotTrackTabVisibleIndex());
  TTestTabPainter* painter = owner.TestPainter();
  painter->Repaints.clear();
  owner.Controller().Mouse = {125, 10};
  v.UpdateHotTrack(0);
  EXPECT_EQ(2, v.HotTrackTabVisibleIndex());
  EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 5}, {2, 5}}), painter->Repaints);
  // Over the enabled arrow: the button is hot, no tab.
  owner.Controller().Mouse = {290, 10};
  v.UpdateHotTrack(0);
  EXPECT_EQ(-1, v.HotTrackTabVisibleIndex());
  ASSERT_NE(nullptr, v.HotTrackNavigatorButton());
  EXPECT_EQ(nbBottomRight, v.HotTrackNavigatorButton()->ButtonType());
  EXPECT_EQ(nbsHotTrack, v.HotTrackNavigatorButton()->State());
  // Over the disabled arrow: nothing is hot.
  owner.Controller().Mouse = {270, 10};
  v.UpdateHotTrack(0);
  EXPECT_EQ(nullptr, v.HotTrackNavigatorButton());
  // A disabled tab is not hot; a disabled control has nothing hot; the go dialog freezes it all.
  p.Tabs().Tabs(0)->SetEnabled(false);
  owner.Controller().Mouse = {25, 10};
  v.UpdateHotTrack(0);
  EXPECT_EQ(-1, v.HotTrackTabVisibleIndex());
  owner.Controller().Mouse = {125, 10};
  owner.Enabled = false;
  v.UpdateHotTrack(0);
  EXPECT_EQ(-1, v.HotTrackTabVisibleIndex());
  owner.Enabled = true;
  v.UpdateHotTrack(0);
  EXPECT_EQ(2, v.HotTrackTabVisibleIndex());
  owner.Controller().GoDialogShowing = true;
  owner.Controller().Mouse = {75, 10};
  v.UpdateHotTrack(0);
  EXPECT_EQ(2, v.HotTrackTabVisibleIndex());
}

TEST_F(TabControl, InteractionStatesRepaintWithTheirCodes) {
  TTabOwner& owner = Owner(4, 50, 300);
  owner.Properties().SetActivateFocusedTab(false);
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  TTestTabPainter* painter = owner.TestPainter();
  painter->Repaints.clear();
  v.SetFocusedTabVisibleIndex(2);
  v.SetTrackingTabVisibleIndex(3);
  owner.Properties().SetTabIndex(1);
  EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 3}, {2, 3}, {3, 10}, {0, 6}, {1, 6}}), painter->Repaints);
  EXPECT_EQ(-1, v.TrackingTabVisibleIndex());  // a new main tab drops tracking and focus
  EXPECT_EQ(1, v.FocusedTabVisibleIndex());
}

TEST_F(TabControl, TabSetChangesRebuildOrRepaint) {
  TTabOwner& owner = Owner(4, 50, 300);
  TcxTabs& tabs = owner.Properties().Tabs();
  TcxCustomTabControlViewInfo& v = owner.ViewInfo();
  TTestTabPainter* painter = owner.TestPainter();
  painter->Repaints.clear();
  int requests = owner.LayoutRequests;
  tabs.Tabs(2)->SetColor(clRed);  // code 1: a repaint of the shown tab
  EXPECT_EQ((std::vector<std::pair<int, int>>{{2, 1}}), painter->Repaints);
  EXPECT_EQ(requests, owner.LayoutRequests);
  tabs.Tabs(1)->SetVisible(false);  // code 11: its view info goes, a new layout
  EXPECT_EQ(requests + 1, owner.LayoutRequests);
  EXPECT_EQ(3, v.TabViewInfoCount());
  EXPECT_EQ(-1, tabs.Tabs(1)->VisibleIndex());
  EXPECT_EQ(2, tabs.Tabs(3)->VisibleIndex());
  tabs.Tabs(1)->SetVisible(true);
  tabs.Tabs(0)->SetCaption(L"Longer");  // code 7
  EXPECT_EQ(requests + 3, owner.LayoutRequests);
  EXPECT_EQ(4, v.TabViewInfoCount());
  // Inside a bracket only the recreation is remembered.
  owner.Properties().BeginUpdate();
  tabs.Add(L"Fifth");
  EXPECT_EQ(requests + 3, owner.LayoutRequests);
  owner.Properties().EndUpdate();
  EXPECT_EQ(5, v.TabViewInfoCount());
  // A deleted tab's view info goes with it.
  delete tabs.Tabs(4);
  EXPECT_EQ(4, tabs.Count());
  EXPECT_EQ(4, v.TabViewInfoCount());
  // The new-tab button is shown after the tabs.
  owner.Properties().SetNewButtonMode(1);
  EXPECT_EQ(5, v.TabViewInfoCount());
  EXPECT_TRUE(v.TabViewInfo(4)->Tab()->IsNewButton());
  EXPECT_EQ(5, tabs.VisibleTabsCount());
}

}  // namespace
}  // namespace tabcontrol_test
