// Layout: row and band distribution, row counts, scrolling, the divider and
// the sizes that follow the font and the images.
#include "ImageLists.h"
#include "InspectorTest.h"

namespace inspector_test {
namespace {

struct LayoutFixture : InspectorFixture {
  std::vector<TdxInspectorNode*> Rows;
  void AddRows(int count) {
    for (int i = 0; i < count; ++i) Rows.push_back(Insp->Row(L"row " + std::to_wstring(i), L"v"));
  }
  tvk::TdxInspectorBandInfo Band(int index = 0) {
    tvk::TdxInspectorContentDrawInfo info;
    Insp->CalcContentDrawInfo(info);
    return info.BandsInfo.at(std::size_t(index));
  }
};

TEST_F(LayoutFixture, ExactlyAsHighAsItsRowsAndOnePixelLower) {
  AddRows(10);
  struct Case {
    int extra, rowCount, visibleRowCount;
    bool partRow;
  };
  for (const Case& c : {Case{0, 4, 4, false}, Case{-1, 3, 4, true}, Case{5, 4, 5, true}}) {
    SCOPED_TRACE(c.extra);
    SetRowsHigh(4, c.extra);
    const tvk::TdxInspectorBandInfo band = Band();
    EXPECT_EQ(c.partRow, band.PartRowVisible);
    EXPECT_EQ(c.visibleRowCount, band.RowCount);
    EXPECT_EQ(c.rowCount, Insp->RowCount());
    EXPECT_EQ(c.visibleRowCount, Insp->VisibleRowCount());
    EXPECT_TRUE(IsRectEmpty(&band.EmptyRect));
  }
  // Rows that end above the bottom leave the rest as the empty area.
  for (int i = 0; i < 8; ++i) delete Rows[std::size_t(i)];
  const tvk::TdxInspectorBandInfo band = Band();
  EXPECT_EQ(2 * Insp->RowHeight(), band.EmptyRect.top);
}

TEST_F(LayoutFixture, BandedModeCutsOnlyABandsFirstRowAndAddsAnEmptyBandAfterAnExactFit) {
  AddRows(8);
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioAutoBandCount));
  Insp->SetBounds(0, 0, 600, Insp->Height());
  SetRowsHigh(4);
  // Two full bands of four and the empty band the exact fit adds.
  EXPECT_EQ(3, Insp->BandCount());
  EXPECT_EQ(4, Band(0).RowCount);
  EXPECT_EQ(4, Band(1).RowCount);
  // A row taller than the band is still its only (cut) row.
  Insp->RowHeights[Rows[1]] = 1000;
  Insp->LayoutChanged();
  EXPECT_EQ(1, Band(0).RowCount);
  EXPECT_EQ(1, Band(1).RowCount);
  EXPECT_TRUE(Band(1).PartRowVisible);
  EXPECT_EQ(Rows[1], Band(1).RowsInfo[0].Node);
  EXPECT_FALSE(Band(0).PartRowVisible);
  // The separator strip is the band's right edge.
  EXPECT_EQ(Insp->BandWidth() - Insp->BandSeparatorWidth(), Band(0).BandSeparatorRect.left);
}

TEST_F(LayoutFixture, LeftBandIndexPastTheEndShowsTheLastBands) {
  AddRows(20);
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioAutoBandCount));
  Insp->SetBandWidth(100);
  Insp->SetBounds(0, 0, 250, Insp->Height());
  SetRowsHigh(4);
  ASSERT_EQ(2, Insp->VisibleBandCount());
  Insp->SetLeftBandIndex(100);
  EXPECT_EQ(Insp->BandCount() - Insp->VisibleBandCount(), Insp->LeftBandIndex());
  EXPECT_EQ(Insp->LeftBandIndex() * 4, Insp->TopIndex());
  SendMessageW(Wnd(), WM_HSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(Insp->BandCount() - 4, Insp->LeftBandIndex());
  // The band width never goes below its minimum.
  Insp->SetBandWidth(10);
  EXPECT_EQ(43, Insp->BandWidth());
}

TEST_F(LayoutFixture, ScrollMessagesMoveTheTopRowAndStopAtTheEnd) {
  AddRows(10);
  SetRowsHigh(4);
  SendMessageW(Wnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(1, Insp->TopIndex());
  SendMessageW(Wnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(5, Insp->TopIndex());
  SendMessageW(Wnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(6, Insp->TopIndex());  // the last four rows stay shown
  SendMessageW(Wnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(6, Insp->TopIndex());
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  Insp->GetFlatScrollInfo(SB_VERT, info);
  EXPECT_EQ(9, info.nMax);
  EXPECT_EQ(4u, info.nPage);
  EXPECT_EQ(6, info.nPos);
  SendMessageW(Wnd(), WM_VSCROLL, SB_PAGEUP, 0);
  EXPECT_EQ(2, Insp->TopIndex());
}

TEST_F(LayoutFixture, CollapsingNearTheEndScrollsBackSoNoSpaceIsLeftBelow) {
  AddRows(6);
  TdxInspectorNode* parent = Rows.back();
  for (int i = 0; i < 4; ++i) Insp->Row(L"child", L"", parent);
  parent->Expand(false);
  SetRowsHigh(4);
  Insp->SetTopIndex(100);
  ASSERT_EQ(6, Insp->TopIndex());
  parent->Collapse(false);
  EXPECT_EQ(2, Insp->TopIndex());
  const tvk::TdxInspectorBandInfo band = Band();
  EXPECT_TRUE(IsRectEmpty(&band.EmptyRect));
}

TEST_F(LayoutFixture, DividerIsClampedFromBothEndsAndKeepsItsProportion) {
  AddRows(2);
  const int width = Insp->Width();
  Insp->SetDividerPos(5);
  EXPECT_EQ(30, Insp->DividerPos());
  Insp->SetDividerPos(10000);
  EXPECT_EQ(width - 30, Insp->DividerPos());
  Insp->SetDividerPos(width / 4);
  Insp->SetBounds(0, 0, width * 2, Insp->Height());
  Pump();
  EXPECT_EQ(width / 2, Insp->DividerPos());
  // Without the automatic width only the clamp applies; the lower bound wins.
  Insp->SetOptions(Insp->Options() & ~tvk::InspectorOptionBit(tvk::ioAutoWidth));
  Insp->SetBounds(0, 0, 40, Insp->Height());
  Pump();
  EXPECT_EQ(30, Insp->DividerPos());
}

TEST_F(LayoutFixture, RowHeightFollowsTheFontAndTheImagesUnlessSetHigher) {
  AddRows(2);
  const int normal = Insp->RowHeight();
  EXPECT_EQ(normal, Insp->MinRowHeight());
  Insp->Font().SetHeight(-30);
  EXPECT_GT(Insp->RowHeight(), normal);
  EXPECT_EQ(Insp->TextHeight() + 1, Insp->RowHeight());
  Insp->SetRowHeight(200);
  Insp->Font().SetHeight(-11);
  EXPECT_EQ(200, Insp->RowHeight());
  EXPECT_TRUE(Insp->RowHeightAssigned());
  // An assigned height below the minimum is raised and no longer assigned.
  Insp->SetRowHeight(3);
  EXPECT_EQ(Insp->MinRowHeight(), Insp->RowHeight());
  EXPECT_FALSE(Insp->RowHeightAssigned());
  tvk::TImageList images(nullptr);
  images.SetSize(16, 40);
  Insp->SetImages(&images);
  EXPECT_EQ(1 + 40, Insp->RowHeight());
  Insp->SetImages(nullptr);
  EXPECT_EQ(Insp->MinRowHeight(), Insp->RowHeight());
}

TEST_F(LayoutFixture, IndentAndFrameFollowThePaintStyle) {
  AddRows(1);
  struct Case {
    tvk::TdxInspectorPaintStyle style;
    int indent, gridSize, frameSize;
  };
  for (const Case& c : {Case{tvk::ipsSimple, 15, 1, 0}, Case{tvk::ipsNET, 15, 1, 0}, Case{tvk::ipsExtended, 14, 1, 0},
                        Case{tvk::ipsCategorized, 14, 0, 2}}) {
    Insp->SetPaintStyle(c.style);
    EXPECT_EQ(c.indent, Insp->Indent()) << c.style;
    EXPECT_EQ(c.gridSize, Insp->GridSize()) << c.style;
    EXPECT_EQ(c.frameSize, Insp->RowFrameSize()) << c.style;
    EXPECT_EQ(Insp->TextHeight() + c.gridSize + 2 * c.frameSize, Insp->MinRowHeight()) << c.style;
  }
}

}  // namespace
}  // namespace inspector_test
