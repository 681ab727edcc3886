// The layout metrics that follow fonts, options and looks.
#include "TreeListWindow.h"

namespace treelist_test {
namespace {

int TextHeight(tvk::TFont& font) {
  tvk::TBitmap bitmap;
  bitmap.SetSize(4, 4);
  bitmap.Canvas().Font().Assign(font);
  return bitmap.Canvas().TextHeight(L"Wg");
}

TEST(TreeListMetrics, MinimumRowHeightFollowsTheFontGridAndInvertedSelection) {
  TTreeWindow w(300, 200);
  w.AddBand({{100}});
  // An 11-pixel text height as the numbers below assume, and one that outgrows the button.
  for (int fontHeight : {-8, -20}) {
    w->Font().SetHeight(fontHeight);
    w->LayoutChanged();
    int h = TextHeight(w->Font());
    EXPECT_EQ(h, w->FTextHeight);
    int base = std::max(h + 3, 16);
    struct TCase {
      bool grid, previewGrid, invert;
      int extra;
    } cases[] = {{false, false, false, 0}, {true, false, false, 0}, {true, true, false, 1}, {true, true, true, 3}};
    for (const TCase& c : cases) {
      w->FShowGrid = c.grid;
      w->FShowPreviewGrid = c.previewGrid;
      w->SetOptionsEx(c.invert ? w->OptionsEx() | tvk::OptionBit(tvk::aoInvertSelect)
                               : w->OptionsEx() & ~tvk::OptionBit(tvk::aoInvertSelect));
      w->LayoutChanged();
      EXPECT_EQ(base + c.extra, w->FMinRowHeight) << fontHeight << " " << c.extra;
      EXPECT_EQ(w->FMinRowHeight, w->RowHeight());
    }
  }
}

TEST(TreeListMetrics, ARaisedDefaultRowHeightIsNoLongerStored) {
  TTreeWindow w(300, 200);
  w.AddBand({{100}});
  w->SetDefaultRowHeight(40);
  EXPECT_EQ(40, w->RowHeight());
  EXPECT_TRUE(w->DefaultRowHeightStored());
  w->SetDefaultRowHeight(5);
  EXPECT_EQ(w->FMinRowHeight, w->RowHeight());
  EXPECT_FALSE(w->DefaultRowHeightStored());
}

TEST(TreeListMetrics, PanelHeights) {
  TTreeWindow w(300, 200);
  w.AddBand({{100}});
  w->StatusPanel = true;
  w->Font().SetHeight(-8);
  w->FShowBands = true;
  w->FShowFooter = true;
  w->FShowNewItemRow = true;
  w->LayoutChanged();
  int text = w->FTextHeight, header = TextHeight(w->FHeaderFont);
  EXPECT_EQ(std::max(text + 5, 17), w->FStatusHeight);
  EXPECT_EQ(17, w->FStatusHeight);  // an 8-pixel font
  EXPECT_EQ(header + 6, w->FHeaderRowHeight);  // + 1 in the standard look
  EXPECT_EQ(TextHeight(w->FBandFont) + 6, w->FBandHeight);
  EXPECT_EQ((text + 7) + 3 + 1, w->FFooterHeight);
  EXPECT_EQ(w->RowHeight() + 6, w->FNewItemRowHeight);
  w->SetLookAndFeel(tvk::lfFlat);
  EXPECT_EQ(header + 5, w->FHeaderRowHeight);
  EXPECT_EQ(w->RowHeight() + 5, w->FNewItemRowHeight);
  // Two header rows: no new item row.
  w->PanelRows = 2;
  w->LayoutChanged();
  EXPECT_EQ(0, w->FNewItemRowHeight);
  EXPECT_EQ(2 * w->FHeaderRowHeight, w->FHeaderHeight);
}

TEST(TreeListMetrics, TitleFontsFollowTheParentsFontUntilSetOnTheirOwn) {
  TTreeWindow w(300, 200);
  tvk::TFont font;
  font.SetName(L"Arial");
  font.SetHeight(-15);
  w.Form->Font().Assign(font);
  EXPECT_TRUE(w->ParentFont());
  EXPECT_EQ(L"Arial", w->FBandFont.Name());
  EXPECT_EQ(-15, w->FHeaderFont.Height());
  EXPECT_EQ(-15, w->FPreviewFont.Height());
  EXPECT_EQ(tvk::clBlue, w->FPreviewFont.Color());
  int before = w->FHeaderRowHeight;
  w->FHeaderFont.SetHeight(-30);
  EXPECT_FALSE(w->ParentFont());
  EXPECT_GT(w->FHeaderRowHeight, before);
}

}  // namespace
}  // namespace treelist_test
