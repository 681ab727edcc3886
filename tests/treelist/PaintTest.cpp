// Painting into a 32-bit picture: colours at draw-info coordinates, never on text.
#include "TreeListWindow.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

// a (a1, a2) expanded, b: one band of two columns; a1 focused on column 0 and selected.
struct TPaintTree : TTreeWindow {
  TdxTreeListNode *a, *a1, *a2, *b;
  TPaintTree() : TTreeWindow(300, 200) {
    AddBand({{100, 100}});
    a = Tree->Add();
    a1 = a->AddChild();
    a2 = a->AddChild();
    b = Tree->Add();
    a->SetExpanded(true);
    Tree->KeepSelection = true;
    Tree->LayoutChanged();
    Tree->ChangeFocus(a1, 0, false);
    a1->SetSelected(true);
  }
  tvk::TdxGridDrawInfo Info() {
    tvk::TdxGridDrawInfo info;
    Tree->CalcDrawInfo(info);
    return info;
  }
  int RowTop(int row) { return Info().CellsRect.top + row * Tree->RowHeight(); }
  // A pixel inside the cell of a column (0 or 1) of a row, clear of any text.
  COLORREF Cell(tvk::TBitmap& picture, int row, int column) {
    return PixelAt(picture, 100 * column + 90, RowTop(row) + 3);
  }
};

TEST(TreeListPaint, SelectedAndFocusedRowsTakeTheColoursOfTheirRules) {
  const COLORREF highlight = Rgb(tvk::clHighlight), window = Rgb(tvk::clWindow),
                 hidden = Rgb(tvk::clBtnFace);
  struct TCase {
    const char* name;
    int focus;
    bool hideSelection, rowSelect, invert;
    COLORREF column0, column1;
  } cases[] = {
      {"row select with focus", 1, true, true, false, highlight, highlight},
      {"no focus, selection hidden", 0, true, true, false, window, window},
      {"no focus, selection kept", 0, false, true, false, hidden, hidden},
      {"cell focus", 1, true, false, false, highlight, window},
      {"inverted selection", 1, true, false, true, window, highlight},
  };
  for (const TCase& c : cases) {
    TPaintTree t;
    t->PaintFocus = c.focus;
    t->FHideSelection = c.hideSelection;
    t->SetOptions(c.rowSelect ? t->Options() | tvk::OptionBit(tvk::aoRowSelect)
                              : t->Options() & ~tvk::OptionBit(tvk::aoRowSelect));
    if (c.invert) t->SetOptionsEx(t->OptionsEx() | tvk::OptionBit(tvk::aoInvertSelect));
    t->LayoutChanged();
    t->ChangeFocus(t.a1, 0, false);  // the focused column counts without row selection
    auto picture = PaintPicture(*t);
    EXPECT_EQ(c.column0, t.Cell(*picture, 1, 0)) << c.name;
    EXPECT_EQ(c.column1, t.Cell(*picture, 1, 1)) << c.name;
    EXPECT_EQ(window, t.Cell(*picture, 0, 1)) << c.name;  // an unselected row
  }
}

TEST(TreeListPaint, OutlookGroupRowsAndLevelColours) {
  TPaintTree t;
  t->SetPaintStyle(tvk::psOutlook);
  auto picture = PaintPicture(*t);
  EXPECT_EQ(Rgb(t->FGroupColor), t.Cell(*picture, 0, 1));
  EXPECT_EQ(Rgb(tvk::clWindow), t.Cell(*picture, 3, 1));
  t->LevelColor = [](int level, tvk::TColor& color) {
    if (level == 0) color = tvk::clRed;
  };
  picture = PaintPicture(*t);
  EXPECT_EQ(Rgb(tvk::clRed), t.Cell(*picture, 0, 1));
}

TEST(TreeListPaint, EmptyHeaderAreasInTheShadowColourOfTheLook) {
  for (auto [look, shadow] : {std::pair{tvk::lfStandard, Rgb(tvk::clBtnShadow)}, std::pair{tvk::lfUltraFlat, RGB(0xA0, 0xA0, 0xA0)}}) {
    TPaintTree t;
    t->PanelRows = 2;
    t->SetLookAndFeel(look);
    t->LayoutChanged();
    tvk::TdxGridDrawInfo info = t.Info();
    const RECT& empty = info.HeadersInfo[0].HeaderEmptyRect;
    ASSERT_LT(empty.top, empty.bottom);
    auto picture = PaintPicture(*t);
    EXPECT_EQ(shadow, PixelAt(*picture, empty.left + 5, empty.top + 2));
  }
}

TEST(TreeListPaint, FixedBandSeparatorsRunThroughPanelsAndRows) {
  TTreeWindow w(300, 200);
  w.AddBand({{100}});
  w.AddBand({{300}});
  w->FixedLeft = 0;
  w->FShowBands = true;
  w->Add();
  w->LayoutChanged();
  tvk::TdxGridDrawInfo info;
  w->CalcDrawInfo(info);
  auto picture = PaintPicture(*w);
  int x = info.FixedBandLeftRect.right - 1;
  const COLORREF line = Rgb(tvk::clWindowFrame);
  EXPECT_EQ(line, PixelAt(*picture, x, info.BandRect.top + 3));
  EXPECT_EQ(line, PixelAt(*picture, x, info.CellsRect.top + 3));
}

TEST(TreeListPaint, DottedTreeLinesKeepTheirDotsWhenTheOriginMoves) {
  TPaintTree t;
  auto sample = [&](int shift) {
    t->FShowIndicator = shift > 0;
    t->SetIndicatorWidth(shift);
    t->LayoutChanged();
    auto picture = PaintPicture(*t);
    int c = t.Info().CellsRect.left + t->FIndent + t->FIndent / 2 - 1;  // the line of the level-1 rows
    std::vector<COLORREF> column;
    for (int y = t.RowTop(1); y < t.RowTop(2); ++y) column.push_back(PixelAt(*picture, c, y));
    return column;
  };
  std::vector<COLORREF> plain = sample(0), shifted = sample(1);
  EXPECT_EQ(plain, shifted);
  ASSERT_GT(plain.size(), 2u);
  EXPECT_NE(plain[0], plain[1]);  // dotted
  EXPECT_TRUE(plain[0] == Rgb(tvk::clGrayText) || plain[1] == Rgb(tvk::clGrayText));
}

TEST(TreeListPaint, AFirstChildsLineStartsUnderItsParentsImage) {
  TPaintTree t;
  tvk::TImageList images(nullptr);
  images.SetSize(16, 10);
  tvk::TBitmap green;
  green.SetSize(16, 10);
  green.Canvas().Brush().SetColor(tvk::clLime);
  green.Canvas().FillRect(RECT{0, 0, 16, 10});
  images.AddMasked(green, tvk::TColor(0xFF00FF));
  t->NodeImages = &images;
  t->ImageIndexes[t.a] = 0;
  t->FTreeLineStyle = tvk::tlSolid;
  t->SetDefaultRowHeight(30);
  auto picture = PaintPicture(*t);
  int c = t.Info().CellsRect.left + t->FIndent + t->FIndent / 2 - 1;
  int top = t.RowTop(1);
  int start = top - (30 - 10) / 2;
  EXPECT_EQ(Rgb(tvk::clLime), PixelAt(*picture, c, start - 1));
  EXPECT_EQ(Rgb(tvk::clGrayText), PixelAt(*picture, c, start));
  EXPECT_EQ(Rgb(tvk::clGrayText), PixelAt(*picture, c, top + 5));
  t->NodeImages = nullptr;
}

TEST(TreeListPaint, StatusCloseButtonInItsThreeLooks) {
  TPaintTree t;
  t->StatusPanel = true;
  t->StatusCloseButton = true;
  t->LayoutChanged();
  RECT button{};
  t->GetStatusCloseButtonRect(button);
  tvk::TdxGridDrawInfo info = t.Info();
  EXPECT_EQ(12, button.right - button.left);
  EXPECT_EQ(11, button.bottom - button.top);
  EXPECT_EQ(info.StatusRect.top + (info.StatusRect.bottom - info.StatusRect.top - 11) / 2, button.top);
  struct TCase {
    bool active, pressed;
    int face;
  } cases[] = {{true, true, COLOR_WINDOWFRAME}, {true, false, COLOR_WINDOW}, {false, false, COLOR_BTNFACE}};
  for (const TCase& c : cases) {
    t->FStatusCloseButtonActive = c.active;
    t->FStatusCloseButtonPressed = c.pressed;
    auto picture = PaintPicture(*t);
    EXPECT_EQ(GetSysColor(c.face), PixelAt(*picture, button.left, button.top)) << c.face;
    EXPECT_EQ(Rgb(tvk::clBtnShadow), PixelAt(*picture, button.right + 30, button.top));  // the panel
  }
}

TEST(TreeListPaint, ACustomDrawThatIsDoneLeavesTheCellToItsHandler) {
  TPaintTree t;
  t->CustomDrawCell = [](int column, tvk::TColor&, bool& done) { done = column == 1; };
  auto picture = PaintPicture(*t);
  EXPECT_EQ(RGB(0xFF, 0, 0xFF), t.Cell(*picture, 0, 1));
  for (const auto& cell : t->DrawnCells) EXPECT_EQ(0, cell.Column);
  // A handler's colour becomes the cell's.
  t->CustomDrawCell = [](int, tvk::TColor& color, bool&) { color = tvk::clYellow; };
  picture = PaintPicture(*t);
  EXPECT_EQ(Rgb(tvk::clYellow), t.Cell(*picture, 0, 1));
}

TEST(TreeListPaint, PaintLockAndRaisingPaintersLeaveThingsIntact) {
  TPaintTree t;
  t->BeginPaintUpdate();
  auto picture = PaintPicture(*t);
  EXPECT_EQ(RGB(0xFF, 0, 0xFF), t.Cell(*picture, 0, 1));
  EXPECT_EQ(0, t->PaintStats().Paints);
  t->EndPaintUpdate();

  t->ThrowInDrawCellValue = true;
  EXPECT_THROW(PaintPicture(*t), std::runtime_error);
  EXPECT_EQ(t->BeginDrawNodes, t->EndDrawNodes);
  EXPECT_EQ(nullptr, t->DrawBitmap());
  t->ThrowInDrawCellValue = false;
  t->ResetPaintStats();
  picture = PaintPicture(*t);
  EXPECT_EQ(Rgb(tvk::clWindow), t.Cell(*picture, 0, 1));
  EXPECT_EQ(t->BeginDrawNodes, t->EndDrawNodes);
  EXPECT_EQ(1, t->PaintStats().Paints);
  EXPECT_EQ(4, t->PaintStats().RowsLaidOut);
}

TEST(TreeListPaint, IndicatorShowsTheFocusedRow) {
  TPaintTree t;
  t->FShowIndicator = true;
  t->SetIndicatorWidth(12);
  t->LayoutChanged();
  auto picture = PaintPicture(*t);
  tvk::TdxGridDrawInfo info = t.Info();
  auto glyphPixels = [&](int row) {
    int count = 0;
    for (int y = t.RowTop(row); y < t.RowTop(row + 1); ++y)
      for (int x = 2; x < 10; ++x) count += PixelAt(*picture, x, y) == RGB(0, 0, 0) ? 1 : 0;
    return count;
  };
  EXPECT_EQ(25, glyphPixels(1));  // the arrow's pixels
  EXPECT_EQ(0, glyphPixels(0));
  EXPECT_EQ(info.IndicatorRect.right, info.CellsRect.left);
}

}  // namespace
}  // namespace treelist_test
