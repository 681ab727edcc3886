// Bands: moves that renumber their columns, fixing, removing, showing, widths.
#include "PublishedTreeList.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListBand;

// Three bands with one column each (column i in band i).
struct TBandForm : TTreeForm {
  TBandForm() : TTreeForm(3) {
    Tree->Bands().Add();
    Tree->Bands().Add();
    for (int i = 0; i < 3; ++i) {
      Tree->Bands().GetItem(i)->SetCaption(L"B" + std::to_wstring(i));
      Tree->Columns(i)->SetBandIndex(i);
    }
  }
  std::vector<int> BandIndexes() const {
    std::vector<int> result;
    for (int i = 0; i < Tree->ColumnCount(); ++i) result.push_back(Tree->Columns(i)->BandIndex());
    return result;
  }
  std::vector<std::wstring> Captions() const {
    std::vector<std::wstring> result;
    for (int i = 0; i < Tree->Bands().Count(); ++i) result.push_back(Tree->Bands().GetItem(i)->Caption());
    return result;
  }
};

TEST(TreeListBands, MovingABandRenumbersTheColumns) {
  struct Case {
    int From, To;
    std::vector<int> Bands;  // of columns 0, 1, 2
    std::vector<std::wstring> Captions;
  };
  const Case cases[] = {
      {2, 0, {1, 2, 0}, {L"B2", L"B0", L"B1"}},
      {0, 2, {2, 0, 1}, {L"B1", L"B2", L"B0"}},
      {1, 9, {0, 2, 1}, {L"B0", L"B2", L"B1"}},  // clamped to the last
  };
  for (const Case& c : cases) {
    TBandForm form;
    form.Tree->Bands().GetItem(c.From)->SetIndex(c.To);
    EXPECT_EQ(c.Bands, form.BandIndexes()) << c.From << "->" << c.To;
    EXPECT_EQ(c.Captions, form.Captions()) << c.From << "->" << c.To;
  }
}

TEST(TreeListBands, OneBandIsFixedOnEachSideAndOnlyWhileShown) {
  TBandForm form;
  tvk::TdxTreeListBands& bands = form.Tree->Bands();
  TdxTreeListBand* b1 = bands.GetItem(1);
  TdxTreeListBand* b2 = bands.GetItem(2);
  b1->SetFixed(tvk::bfLeft);
  EXPECT_EQ(0, b1->Index());
  EXPECT_EQ((std::vector<int>{1, 0, 2}), form.BandIndexes());
  EXPECT_EQ(0, form.Tree->GetFixedLeftBandIndex());
  b2->SetFixed(tvk::bfLeft);
  EXPECT_EQ(tvk::bfNone, b1->Fixed());
  EXPECT_EQ(tvk::bfLeft, b2->Fixed());
  EXPECT_EQ(0, b2->Index());
  // A fixed band does not move; unfixed it does.
  b2->SetIndex(2);
  EXPECT_EQ(0, b2->Index());
  b2->SetFixed(tvk::bfNone);
  b2->SetIndex(2);
  EXPECT_EQ(2, b2->Index());
  b2->SetFixed(tvk::bfRight);
  EXPECT_EQ(2, form.Tree->GetFixedRightBandIndex());
  b2->SetVisible(false);
  EXPECT_EQ(tvk::bfNone, b2->Fixed());
  EXPECT_EQ(-1, form.Tree->GetFixedRightBandIndex());
  b2->SetFixed(tvk::bfRight);  // a hidden band is not fixed
  EXPECT_EQ(tvk::bfNone, b2->Fixed());
}

TEST(TreeListBands, DestroyingABandLeavesItsColumnsWithoutOne) {
  TBandForm form;
  delete form.Tree->Bands().GetItem(1);
  EXPECT_EQ((std::vector<int>{0, -1, 1}), form.BandIndexes());
  EXPECT_FALSE(form.Tree->IsHeaderVisible(1));
  EXPECT_TRUE(form.Tree->IsHeaderInCustomizeBox(1));
}

TEST(TreeListBands, VisibleIndexesSkipHiddenBands) {
  TBandForm form;
  tvk::TdxTreeListBands& bands = form.Tree->Bands();
  bands.GetItem(1)->SetVisible(false);
  for (bool cached : {false, true}) {
    if (cached)
      form.Tree->MakeBandHeaderList();
    else
      form.Tree->ClearListNodes();  // the counting answers
    EXPECT_EQ(cached, form.Tree->HeaderCachesFilled());
    EXPECT_EQ(2, bands.VisibleCount());
    EXPECT_EQ(2, bands.GetAbsoluteIndex(1));
    EXPECT_EQ(-1, bands.GetVisibleIndex(1));
    EXPECT_EQ(1, bands.GetVisibleIndex(2));
    EXPECT_EQ(-1, bands.GetAbsoluteIndex(2));
    EXPECT_EQ(-1, bands.GetAbsoluteIndex(-1));
    EXPECT_EQ(nullptr, bands.GetVisibleItem(5));
    EXPECT_EQ(1, form.Tree->GetHeaderColCount(1, 0));
    EXPECT_EQ(2, form.Tree->GetHeaderAbsoluteIndex(1, 0, 0));
  }
}

TEST(TreeListBands, AShownBandMovesToItsPositionOrTheEnd) {
  TBandForm form;
  form.Tree->Bands().Add()->SetCaption(L"B3");
  TdxTreeListBand* hidden = form.Tree->Bands().GetItem(0);
  hidden->SetVisible(false);
  form.Tree->ShowBandAt(0, 7);
  EXPECT_TRUE(hidden->Visible());
  EXPECT_EQ(3, hidden->Index());
  EXPECT_EQ((std::vector<int>{3, 0, 1}), form.BandIndexes());
  form.Tree->Bands().GetItem(3)->SetVisible(false);
  form.Tree->ShowBandAt(3, 1);
  EXPECT_EQ((std::vector<std::wstring>{L"B1", L"B0", L"B2", L"B3"}), form.Captions());
}

TEST(TreeListBands, WidthReportsEvenWhenEqualUnderTheDefaultLayout) {
  TTreeForm form(1);
  TdxTreeListBand* band = form.Tree->Bands().GetItem(0);
  band->SetWidth(10);
  EXPECT_EQ(30, band->Width());  // raised to the minimum
  form.Tree->BandNotices = 0;
  band->SetWidth(30);
  EXPECT_EQ(1, form.Tree->BandNotices);
  form.Tree->Bands().Add();  // two bands: no default layout
  form.Tree->SetOptionsEx(form.Tree->OptionsEx() & ~tvk::OptionBit(tvk::aoBandHeaderWidth));
  form.Tree->BandNotices = 0;
  band->SetWidth(30);
  EXPECT_EQ(0, form.Tree->BandNotices);
  band->SetMinWidth(50);
  EXPECT_EQ(50, band->Width());
}

TEST(TreeListBands, ScalingByAZeroDenominatorKeepsTheWidths) {
  TBandForm form;
  TdxTreeListBand* band = form.Tree->Bands().GetItem(1);
  band->SetVisible(false);
  band->SetWidth(120);
  form.Tree->ScaleBandWidths(3, 0);
  EXPECT_EQ(120, band->Width());
  form.Tree->ScaleBandWidths(1, 2);
  EXPECT_EQ(60, band->Width());
  tvk::TdxTreeListColumn* column = form.Tree->Columns(0);
  column->SetVisible(false);
  column->SetWidth(80);
  form.Tree->ScaleHeaderWidths(0, 5, 0);
  EXPECT_EQ(80, column->Width());
}

}  // namespace
}  // namespace treelist_test
