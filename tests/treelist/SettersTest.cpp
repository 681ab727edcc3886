// Property setters: what each change redoes, clamping, exclusive options and the title fonts.
#include "Forms.h"
#include "PublishedTreeList.h"

namespace treelist_test {
namespace {

using tvk::OptionBit;
using tvk::TCustomdxTreeList;

// One setter with the work its change must cause.
struct TSetterCase {
  const char* Name;
  std::function<void(TCustomdxTreeList&)> Change;
  int Repaints, Layouts;
};

TEST(TreeListSetters, EachChangeRedoesWhatItNeedsAndAnEqualValueNothing) {
  const TSetterCase cases[] = {
      {"BandColor", [](TCustomdxTreeList& t) { t.SetBandColor(tvk::clRed); }, 1, 0},
      {"GridLineColor", [](TCustomdxTreeList& t) { t.SetGridLineColor(tvk::clRed); }, 1, 0},
      {"TreeLineStyle", [](TCustomdxTreeList& t) { t.SetTreeLineStyle(tvk::tlSolid); }, 1, 0},
      {"ShowButtons", [](TCustomdxTreeList& t) { t.SetShowButtons(false); }, 1, 0},
      {"ShowGrid", [](TCustomdxTreeList& t) { t.SetShowGrid(true); }, 1, 1},
      {"ShowHeader", [](TCustomdxTreeList& t) { t.SetShowHeader(false); }, 1, 1},
      {"ShowRoot", [](TCustomdxTreeList& t) { t.SetShowRoot(false); }, 1, 1},
      {"PreviewLines", [](TCustomdxTreeList& t) { t.SetPreviewLines(4); }, 1, 1},
      {"Indent", [](TCustomdxTreeList& t) { t.SetIndent(20); }, 2, 1},
      {"IndicatorWidth", [](TCustomdxTreeList& t) { t.SetIndicatorWidth(20); }, 2, 1},
  };
  for (const TSetterCase& c : cases) {
    TTreeForm form(1);
    form.Tree->Invalidations = 0;
    form.Tree->ResetListStats();
    c.Change(*form.Tree);
    EXPECT_EQ(c.Repaints, form.Tree->Invalidations) << c.Name;
    EXPECT_EQ(c.Layouts, form.Tree->ListStats().LayoutRefreshes) << c.Name;
    form.Tree->Invalidations = 0;
    form.Tree->ResetListStats();
    c.Change(*form.Tree);
    EXPECT_EQ(0, form.Tree->Invalidations) << c.Name << " again";
    EXPECT_EQ(0, form.Tree->ListStats().LayoutRefreshes) << c.Name << " again";
  }
}

TEST(TreeListSetters, SizesAreClampedNeverRefused) {
  TTreeForm form(1);
  tvk::TdxTreeList& t = *form.Tree;
  t.SetIndent(-5);
  t.SetFixedBandLineWidth(0);
  t.SetRowSeparatorLineWidth(0);
  t.SetIndentDesc(-3);
  t.SetMaxRowLineCount(-5);
  t.SetPreviewLines(-7);
  t.SetIndicatorWidth(-1);
  t.SetCustomizingRowCount(1);
  EXPECT_EQ(0, t.Indent());
  EXPECT_EQ(1, t.FFixedBandLineWidth);
  EXPECT_EQ(1, t.GetRowSeparatorLineWidth());
  EXPECT_EQ(0, t.FIndentDesc);
  EXPECT_EQ(-1, t.FMaxRowLineCount);
  EXPECT_EQ(-1, t.FPreviewLines);
  EXPECT_EQ(0, t.IndicatorWidth());
  EXPECT_EQ(2, t.CustomizingRowCount());
}

TEST(TreeListSetters, TitleFontsRefreshEvenWhenEqualAndEndParentFontOnlyAtRunTime) {
  TTreeForm form(1);
  tvk::TdxTreeList& t = *form.Tree;
  form.Tree->SetComponentState(tvk::csLoading, true);
  t.FHeaderFont.SetSize(14);
  form.Tree->SetComponentState(tvk::csLoading, false);
  EXPECT_TRUE(t.ParentFont());
  EXPECT_FALSE(t.TitleFontsStored());
  t.ResetListStats();
  tvk::TFont same;
  same.Assign(t.FBandFont);
  t.SetBandFont(same);
  EXPECT_GE(t.ListStats().LayoutRefreshes, 1);
  EXPECT_FALSE(t.ParentFont());
  EXPECT_TRUE(t.TitleFontsStored());
}

TEST(TreeListSetters, RowSelectAndInvertSelectExcludeEachOther) {
  TTreeForm form(1);
  tvk::TdxTreeList& t = *form.Tree;
  t.SetOptions(t.Options() | OptionBit(tvk::aoRowSelect));
  t.SetOptionsEx(t.OptionsEx() | OptionBit(tvk::aoInvertSelect));
  EXPECT_FALSE(t.Options() & OptionBit(tvk::aoRowSelect));
  t.SetOptions(t.Options() | OptionBit(tvk::aoRowSelect));
  EXPECT_FALSE(t.OptionsEx() & OptionBit(tvk::aoInvertSelect));
  EXPECT_TRUE(t.Options() & OptionBit(tvk::aoRowSelect));
}

TEST(TreeListSetters, DefaultRowHeightAndLookAndFeel) {
  TTreeForm form(1);
  tvk::TdxTreeList& t = *form.Tree;
  t.ResetListStats();
  t.SetDefaultRowHeight(t.DefaultRowHeight());
  EXPECT_FALSE(t.DefaultRowHeightStored());
  EXPECT_EQ(0, t.ListStats().LayoutRefreshes);
  t.SetDefaultRowHeight(t.DefaultRowHeight() + 10);
  EXPECT_TRUE(t.DefaultRowHeightStored());

  t.SetLookAndFeel(tvk::lfUltraFlat);
  EXPECT_EQ(tvk::TScrollBarStyle::ssHotTrack, t.ScrollBarStyle());
  t.SetLookAndFeel(tvk::lfFlat);
  EXPECT_EQ(tvk::TScrollBarStyle::ssRegular, t.ScrollBarStyle());
}


// The layout follows a change of the state images, and a freed list is forgotten.
TEST(TreeListSetters, ImageListsAreFollowedThroughTheirChangesAndForgottenWhenFreed) {
  std::unique_ptr<tvk::TForm> form(tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew));
  auto* tree = tvk::CreateComponent<TCountingTreeList>(form.get());
  tree->SetParent(form.get());
  tree->Handle();
  auto images = std::make_unique<tvk::TImageList>(nullptr);
  images->SetSize(16, 16);
  tree->SetStateImages(images.get());
  tree->SetImages(images.get());
  EXPECT_EQ(16, tree->FImageStateW);
  images->SetSize(24, 20);
  EXPECT_EQ(24, tree->FImageStateW) << "the change re-ran the layout";
  images.reset();
  EXPECT_EQ(nullptr, tree->StateImages());
  EXPECT_EQ(nullptr, tree->Images());
}

}  // namespace
}  // namespace treelist_test
