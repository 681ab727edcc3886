// The tab control's properties and tab collection: what each setter
// announces, the active tab's rules, deletion, selection, the navigator
// buttons and the drag image.
#include "TabControlTest.h"
#include "cxControls.h"
#include "cxPC.h"

#include <functional>

namespace tabcontrol_test {
namespace {

using namespace tvk;

// Records the collection's change notifications.
struct TTabNotices {
  explicit TTabNotices(TcxTabs& ATabs) : Tabs(ATabs) { Tabs.ChangedHandlers().Add(EventHandlerOf<&TTabNotices::Changed>(this)); }
  ~TTabNotices() { Tabs.ChangedHandlers().Remove(EventHandlerOf<&TTabNotices::Changed>(this)); }
  void Changed(TObject*, const void* AArgs) {
    const auto* args = static_cast<const TcxTabChangedArgs*>(AArgs);
    Kinds.push_back(args->Kind);
    Tabs_.push_back(args->Tab);
  }
  TcxTabs& Tabs;
  std::vector<int> Kinds;
  std::vector<TcxTab*> Tabs_;
};

TEST_F(TabControl, EachSetterAnnouncesItsKindOfChange) {
  TTabOwner& owner = Owner({50, 50});
  TcxCustomTabControlProperties& p = owner.Properties();
  using TSet = std::function<void(TcxCustomTabControlProperties&)>;
  struct TRow {
    const char* Name;
    TSet Set;
    std::vector<TcxCustomTabControlPropertiesChangedType> Kinds;
  };
  const TcxPCOptions base = p.Options();
  auto toggled = [base](std::initializer_list<TcxPCOption> AOptions) {
    return TcxPCOptions(base ^ PCOptions(AOptions));
  };
  const TRow rows[] = {
      {"HideTabs", [](auto& q) { q.SetHideTabs(true); }, {pctHard}},
      {"HideTabs twice", [](auto& q) { q.SetHideTabs(true); q.SetHideTabs(true); }, {pctHard}},
      {"ImageBorder", [](auto& q) { q.SetImageBorder(2); }, {pctHard}},
      {"ImageBorder negative", [](auto& q) { q.SetImageBorder(-1); }, {}},
      {"ActivateFocusedTab off", [](auto& q) { q.SetActivateFocusedTab(false); }, {}},
      {"ActivateFocusedTab on", [](auto& q) { q.SetActivateFocusedTab(false); q.SetActivateFocusedTab(true); }, {pctHard}},
      {"RaggedRight single row", [](auto& q) { q.SetRaggedRight(true); }, {}},
      {"RaggedRight multi-line", [](auto& q) { q.SetMultiLine(true); q.SetRaggedRight(true); }, {pctHard, pctHard}},
      {"RotatedTabsMaxWidth", [](auto& q) { q.SetRotatedTabsMaxWidth(40); }, {pctMedium}},
      {"RotatedTabsMaxWidth negative", [](auto& q) { q.SetRotatedTabsMaxWidth(-3); }, {}},
      {"OwnerDraw", [](auto& q) { q.SetOwnerDraw(true); }, {pctLight}},
      {"TabPosition", [](auto& q) { q.SetTabPosition(tpLeft); }, {pctHard}},
      {"tab height", [](auto& q) { q.SetTabHeight(30); }, {pctHard}},
      {"Sort only", [=](auto& q) { q.SetOptions(toggled({pcoSort})); }, {}},
      {"RedrawOnResize only", [=](auto& q) { q.SetOptions(toggled({pcoRedrawOnResize})); }, {}},
      {"UsePageColorForTab only", [=](auto& q) { q.SetOptions(toggled({pcoUsePageColorForTab})); }, {pctLight}},
      {"Gradient", [=](auto& q) { q.SetOptions(toggled({pcoGradient})); }, {pctHard}},
      {"GoDialog", [=](auto& q) { q.SetOptions(toggled({pcoGoDialog})); }, {pctHard}},
      {"slants", [](auto& q) { q.TabSlants().SetKind(skCutCorner); }, {pctHard}},
      {"slants unchanged", [](auto& q) { q.TabSlants().SetKind(skSlant); q.TabSlants().SetPositions(1u << spLeft); }, {}},
      {"Style", [](auto& q) { q.SetStyle(7); }, {}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TcxCustomTabControlProperties fresh(nullptr);
    fresh.Assign(p);  // a fresh set with the owner's values, without an owner
    std::vector<TcxCustomTabControlPropertiesChangedType> kinds;
    fresh.OnChanged = [&](TObject*, TcxCustomTabControlPropertiesChangedType AType) { kinds.push_back(AType); };
    row.Set(fresh);
    EXPECT_EQ(row.Kinds, kinds);
  }
  TcxCustomTabControlProperties q(nullptr);
  q.SetRotatedTabsMaxWidth(-3);
  EXPECT_EQ(0, q.RotatedTabsMaxWidth());
}

TEST_F(TabControl, BracketsAndLoadingHoldNotificationsBack) {
  TTabOwner& owner = Owner({50});
  TcxCustomTabControlProperties& p = owner.Properties();
  owner.ChangeKinds.clear();
  p.BeginUpdate();
  p.SetHotTrack(true);
  p.SetShowFrame(true);
  p.BeginUpdate();
  p.CancelUpdate();
  EXPECT_TRUE(owner.ChangeKinds.empty());
  p.EndUpdate();
  EXPECT_EQ(std::vector{pctHard}, owner.ChangeKinds);
  owner.Loading = true;
  p.SetMultiLine(true);
  EXPECT_EQ(1u, owner.ChangeKinds.size());
}

TEST_F(TabControl, StyleNoPainterHasIsStoredAsZeroAndStillAnnounced) {
  TTabOwner& owner = Owner({50});
  const int before = owner.StyleChanges;
  owner.Properties().SetStyle(4);
  EXPECT_EQ(0, owner.Properties().Style());
  EXPECT_EQ(before + 1, owner.StyleChanges);
  owner.Properties().SetStyle(10);
  EXPECT_EQ(10, owner.Properties().Style());
}

TEST_F(TabControl, SetTabIndexLimitsRefusalAndLoading) {
  TTabOwner& owner = Owner({50, 50, 50});
  TcxCustomTabControlProperties& p = owner.Properties();
  int changing = 0, changes = 0;
  bool allow = true;
  p.OnChanging = [&](TObject*, bool& AAllow) { ++changing; AAllow = allow; };
  p.OnChange = [&](TObject*) { ++changes; };
  p.Tabs().Tabs(1)->SetSelected(true);  // not active: refused
  EXPECT_FALSE(p.Tabs().Tabs(1)->Selected());
  p.SetTabIndex(3);
  p.SetTabIndex(-2);
  EXPECT_EQ(0, p.TabIndex());
  EXPECT_EQ(0, changing);
  const int modified = owner.Modified;
  p.SetTabIndex(2);
  EXPECT_EQ(2, p.TabIndex());
  EXPECT_EQ(1, changing);
  EXPECT_EQ(1, changes);
  EXPECT_EQ(modified + 1, owner.Modified);
  p.Tabs().Tabs(2)->SetSelected(true);  // the active tab may be selected
  EXPECT_TRUE(p.Tabs().Tabs(2)->Selected());
  allow = false;
  p.SetTabIndex(-1);
  EXPECT_EQ(2, p.TabIndex());
  allow = true;
  p.SetTabIndex(-1);
  EXPECT_EQ(-1, p.TabIndex());
  EXPECT_FALSE(p.Tabs().Tabs(2)->Selected());  // every tab deselected
  owner.Loading = true;
  p.SetTabIndex(7);
  EXPECT_EQ(7, p.TabIndex());
}

TEST_F(TabControl, FirstTabIsActiveSilentlyAndTabsKeepTheirRules) {
  TTabOwner owner;
  TcxCustomTabControlProperties& p = owner.Properties();
  int events = 0;
  p.OnChanging = [&](TObject*, bool&) { ++events; };
  p.OnChange = [&](TObject*) { ++events; };
  TTabNotices notices(p.Tabs());
  p.Tabs().Add(L"First");
  p.Tabs().Add(L"Second");
  EXPECT_EQ(0, p.TabIndex());
  EXPECT_EQ(0, events);
  EXPECT_EQ(0, p.Tabs().Tabs(0)->ImageIndex());
  EXPECT_EQ(1, p.Tabs().Tabs(1)->ImageIndex());  // a new tab's image index is its position
  EXPECT_EQ((std::vector{tpcLayout, tpcLayout}), notices.Kinds);
  notices.Kinds.clear();
  TcxTab* tab = p.Tabs().Tabs(1);
  tab->SetCaption(L"Second");
  tab->SetImageIndex(-5);
  EXPECT_EQ(-1, tab->ImageIndex());
  tab->SetColor(clRed);
  tab->SetEnabled(false);
  tab->SetHighlighted(true);
  tab->SetVisible(false);
  EXPECT_EQ((std::vector{tpcLayout, tpcColor, tpcEnabled, tpcHighlighted, tpcVisible}), notices.Kinds);
  EXPECT_EQ(L"Second", p.Tabs()[1]);
  p.Tabs().Put(1, L"Renamed");
  EXPECT_EQ(L"Renamed", tab->Caption());
}

TEST_F(TabControl, DeletingTabsKeepsTheActiveOneOrTheNumber) {
  struct TRow {
    int Active, Deleted, After;
  };
  // The active tab itself: TabIndex stays as a number; one before it: follows it; none active: stays -1.
  const TRow rows[] = {{2, 2, 2}, {2, 0, 1}, {-1, 1, -1}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Deleted);
    TTabOwner& owner = Owner({40, 40, 40, 40});
    TcxCustomTabControlProperties& p = owner.Properties();
    p.SetTabIndex(row.Active);
    std::vector<int> closed;
    int changes = 0;
    p.OnClose = [&](TObject*, int AIndex) { closed.push_back(AIndex); };
    p.OnChange = [&](TObject*) { ++changes; };
    p.DeleteTab(row.Deleted);
    EXPECT_EQ(row.After, p.TabIndex());
    EXPECT_EQ(std::vector{row.Deleted}, closed);
    EXPECT_EQ(1, changes);
    EXPECT_EQ(3, p.Tabs().Count());
  }
}

TEST_F(TabControl, CloseRulesAndAnActiveTablessClose) {
  TTabOwner& owner = Owner({40, 40});
  TcxCustomTabControlProperties& p = owner.Properties();
  p.OnCanClose = [](TObject*, int AIndex, bool& ACanClose) { ACanClose = AIndex != 0; };
  p.CloseTab(0);
  EXPECT_EQ(2, p.Tabs().Count());
  p.DoCloseButtonClick(1);
  EXPECT_EQ(1, p.Tabs().Count());
  p.OnCanClose = nullptr;
  p.SetTabIndex(-1);
  EXPECT_THROW(p.CloseActiveTab(), Exception);  // -1 fails in the collection
}

TEST_F(TabControl, ClearNotifiesOnceAndMoveReorders) {
  TTabOwner& owner = Owner({40, 40, 40});
  TcxTabs& tabs = owner.Properties().Tabs();
  TTabNotices notices(tabs);
  TcxTab* first = tabs.Tabs(0);
  tabs.Move(0, 2);
  EXPECT_EQ(first, tabs.Tabs(2));
  EXPECT_EQ(2, first->Index());
  tabs.Clear();
  EXPECT_EQ(0, tabs.Count());
  EXPECT_EQ((std::vector{tpcLayout, tpcLayout}), notices.Kinds);
  EXPECT_EQ(nullptr, notices.Tabs_.back());
  EXPECT_EQ(-2, tabs.NewButton()->Index());
}

TEST_F(TabControl, NewTabButtonAddsAndActivatesUnlessHandled) {
  TTabOwner& owner = Owner({40});
  TcxCustomTabControlProperties& p = owner.Properties();
  std::vector<int> created;
  p.OnNewTabCreate = [&](TObject*, int AIndex) { created.push_back(AIndex); };
  p.NewTabButtonClick();
  EXPECT_EQ(2, p.Tabs().Count());
  EXPECT_EQ(1, p.TabIndex());
  EXPECT_EQ(std::vector{1}, created);
  p.OnNewTabButtonClick = [](TObject*, bool& AHandled) { AHandled = true; };
  p.NewTabButtonClick();
  EXPECT_EQ(2, p.Tabs().Count());
  p.SetNewButtonMode(3);
  EXPECT_EQ(0, p.NewButtonMode());
  p.SetNewButtonMode(1);
  EXPECT_EQ(1, p.NewButtonMode());
}

TEST_F(TabControl, NavigatorButtonsFollowTheOptions) {
  struct TRow {
    std::initializer_list<TcxPCOption> Options;
    bool MultiLine, AllFit;
    TcxPCNavigatorButtons Buttons;
  };
  const TRow rows[] = {
      {{}, false, true, 0},
      {{}, false, false, NavButtons({nbTopLeft, nbBottomRight})},
      {{pcoNoArrows}, false, false, 0},
      {{pcoGoDialog}, false, true, 0},
      {{pcoGoDialog, pcoAlwaysShowGoDialogButton}, false, true, NavButtons({nbGoDialog})},
      {{pcoGoDialog}, false, false, NavButtons({nbTopLeft, nbBottomRight, nbGoDialog})},
      {{pcoCloseButton}, false, true, NavButtons({nbClose})},
      {{pcoCloseButton, pcoGoDialog}, true, false, 0},
  };
  for (const TRow& row : rows) {
    TcxCustomTabControlProperties p(nullptr);
    p.SetOptions(PCOptions(row.Options));
    p.SetMultiLine(row.MultiLine);
    EXPECT_EQ(row.Buttons, p.CalcNavigatorButtons(row.AllFit)) << &row - rows;
  }
}

TEST_F(TabControl, AssignCopiesTheOptionsButNotTheTabs) {
  TTabOwner& owner = Owner({40, 40});
  TcxCustomTabControlProperties& source = owner.Properties();
  source.SetTabPosition(tpRight);
  source.SetAllowTabDragDrop(true);
  source.SetStyle(9);
  source.TabSlants().SetPositions(1u << spRight);
  TcxCustomTabControlProperties copy(nullptr);
  std::vector<TcxCustomTabControlPropertiesChangedType> kinds;
  copy.OnChanged = [&](TObject*, TcxCustomTabControlPropertiesChangedType AType) { kinds.push_back(AType); };
  copy.Assign(source);
  EXPECT_EQ(tpRight, copy.TabPosition());
  EXPECT_TRUE(copy.AllowTabDragDrop());
  EXPECT_EQ(9, copy.Style());
  EXPECT_EQ(1u << spRight, copy.TabSlants().Positions());
  EXPECT_EQ(0, copy.Tabs().Count());
  EXPECT_EQ(std::vector{pctHard}, kinds);
}

TEST_F(TabControl, PaintDragImageFillsTheDragForm) {
  TTabOwner& owner = Owner({40});
  TcxCustomTabControlProperties& p = owner.Properties();
  TcxDragImage form;
  EXPECT_FALSE(p.PaintDragImage(form));  // no handler, no bitmap
  // The owned drag bitmap: its size, its transparent colour (the bottom-left pixel).
  p.DragImage().SetPixelFormat(TPixelFormat::pf24bit);
  p.DragImage().SetSize(12, 8);
  p.DragImage().Canvas().Brush().SetColor(TColor(0x00FF00));
  p.DragImage().Canvas().FillRect({0, 0, 12, 8});
  p.DragImage().Canvas().Brush().SetColor(TColor(0x0000FF));
  p.DragImage().Canvas().FillRect({0, 0, 4, 4});
  ASSERT_TRUE(p.PaintDragImage(form));
  EXPECT_EQ(0, form.Left());
  EXPECT_EQ(12, form.Width());
  EXPECT_EQ(8, form.Height());
  EXPECT_TRUE(form.Transparent());
  EXPECT_EQ(TColor(0x00FF00), form.TransparentColor());
  EXPECT_EQ(TColor(0x0000FF), GetDragImageCanvas(form).Canvas()->Pixel(1, 1));
  EXPECT_EQ(TColor(0x00FF00), GetDragImageCanvas(form).Canvas()->Pixel(10, 6));
  // A handler that draws wins over the owned bitmap.
  p.OnPaintDragImage = [](TObject*, TBitmap& ABitmap, bool& ADone) {
    ABitmap.SetPixelFormat(TPixelFormat::pf24bit);
    ABitmap.SetSize(5, 3);
    ABitmap.Canvas().Brush().SetColor(TColor(0xFF0000));
    ABitmap.Canvas().FillRect({0, 0, 5, 3});
    ADone = true;
  };
  ASSERT_TRUE(p.PaintDragImage(form));
  EXPECT_EQ(5, form.Width());
  EXPECT_EQ(3, form.Height());
  EXPECT_EQ(TColor(0xFF0000), GetDragImageCanvas(form).Canvas()->Pixel(2, 1));
  form.ShowImage();
  EXPECT_TRUE(form.Showing());
  form.MoveTo({40, 30});
  EXPECT_EQ(40, form.Left());
  form.HideImage();
  EXPECT_FALSE(form.Showing());
}

}  // namespace
}  // namespace tabcontrol_test
