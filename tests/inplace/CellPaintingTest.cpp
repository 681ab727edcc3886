// Cell geometry, windowless painting of cells and pop-up frames.
#include "InplaceTest.h"

using namespace tvk;
namespace inplace_test {

namespace {

std::unique_ptr<TdxEditViewData> Cell(TdxEditBorderStyle border, TdxEditEdges edges, bool shadow,
                                      RECT bounds = RECT{0, 0, 100, 20}) {
  auto vd = TdxInplaceEditClass::Instance().CreateViewDataObject();
  vd->Enabled = true;
  vd->BorderStyle = border;
  vd->BorderColor = clBlack;
  vd->Edges = edges;
  vd->Shadow = shadow;
  vd->ViewBounds = bounds;
  vd->Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  return vd;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// The region as its bounding box and whether it is one rectangle.
RECT RegionBox(HRGN rgn, int* kind = nullptr) {
  RECT box{};
  int k = GetRgnBox(rgn, &box);
  if (kind) *kind = k;
  return box;
}

struct GeometryRow {
  const char* Name;
  TdxEditBorderStyle Border;
  TdxEditEdges Edges;
  bool Shadow;
  RECT Client, BorderRect, ShadowRect;
  bool HasRegion;
};

const GeometryRow kGeometry[] = {
    {"3D", xbs3D, kAllEdges, false, {2, 2, 98, 18}, {0, 0, 100, 20}, {0, 0, 0, 0}, false},
    {"single", xbsSingle, kAllEdges, false, {2, 2, 98, 18}, {1, 1, 99, 19}, {0, 0, 0, 0}, true},
    {"3D shadow", xbs3D, kAllEdges, true, {2, 2, 96, 16}, {0, 0, 98, 18}, {2, 2, 100, 20}, true},
    {"bottom only", xbsSingle, edgBottom, false, {2, 2, 98, 18}, {2, 2, 98, 19}, {0, 0, 0, 0}, true},
    {"none", xbsNone, kAllEdges, false, {2, 2, 98, 18}, {2, 2, 98, 18}, {0, 0, 0, 0}, true},
    {"thick left top", xbsThick, edgLeft | edgTop, false, {2, 2, 98, 18}, {0, 0, 98, 18}, {0, 0, 0, 0}, true},
};

class Geometry : public ::testing::TestWithParam<GeometryRow> {};

}  // namespace

TEST_P(Geometry, ViewInfoAndRegion) {
  const GeometryRow& row = GetParam();
  auto vd = Cell(row.Border, row.Edges, row.Shadow);
  TdxEditViewInfo vi;
  const TdxInplaceEditClass& cls = TdxInplaceEditClass::Instance();
  cls.CalcViewInfo(*vd, false, vi);
  EXPECT_TRUE(SameRect(row.Client, vi.ClientBounds));
  EXPECT_TRUE(SameRect(row.BorderRect, vi.BorderRect));
  EXPECT_TRUE(SameRect(row.ShadowRect, vi.ShadowRect));
  HRGN rgn = cls.GetEditRgn(vi);
  EXPECT_EQ(row.HasRegion, rgn != nullptr);
  if (rgn) {
    int kind = 0;
    RECT box = RegionBox(rgn, &kind);
    RECT expected = row.BorderRect;
    if (row.Shadow) UnionRect(&expected, &row.BorderRect, &row.ShadowRect);
    EXPECT_TRUE(SameRect(expected, box));
    EXPECT_EQ(row.Shadow ? COMPLEXREGION : SIMPLEREGION, kind);
    DeleteObject(rgn);
  }
}

INSTANTIATE_TEST_SUITE_P(Cells, Geometry, ::testing::ValuesIn(kGeometry),
                         [](const auto& info) {
                           std::string n = info.param.Name;
                           for (char& c : n)
                             if (c == ' ') c = '_';
                           return n;
                         });

TEST(CellPainting, SingleBorderFramesOnceAndOnlyFlaggedStripsArePainted) {
  TBitmap b;
  MakeBitmap(b, 100, 20, clWhite);
  const TdxInplaceEditClass& cls = TdxInplaceEditClass::Instance();
  auto vd = Cell(xbsSingle, kAllEdges, false);
  vd->Brush = GetSysColorBrush(COLOR_WINDOW);
  cls.Draw(b.Canvas().Handle(), vd->ViewBounds, *vd, nullptr);
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 50, 1));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(b, 50, 0));  // the margin outside the border
  EXPECT_NE(RGB(0, 0, 0), Pixel(b, 50, 2));

  MakeBitmap(b, 100, 20, clWhite);
  auto bottom = Cell(xbsSingle, edgBottom, false);
  bottom->Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  cls.Draw(b.Canvas().Handle(), bottom->ViewBounds, *bottom, nullptr);
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 50, 18));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(b, 50, 1));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(b, 1, 10));
}

TEST(CellPainting, DrawTakesThePaintedAreaOutOfTheRegion) {
  const TdxInplaceEditClass& cls = TdxInplaceEditClass::Instance();
  TBitmap b;
  MakeBitmap(b, 120, 40, clWhite);
  for (TdxEditBorderStyle border : {xbs3D, xbsSingle}) {
    HRGN rgn = CreateRectRgn(0, 0, 120, 40);
    auto vd = Cell(border, kAllEdges, false);
    cls.Draw(b.Canvas().Handle(), vd->ViewBounds, *vd, rgn);
    TdxEditViewInfo vi;
    cls.CalcViewInfo(*vd, false, vi);
    EXPECT_FALSE(PtInRegion(rgn, vi.BorderRect.left, vi.BorderRect.top));
    EXPECT_FALSE(PtInRegion(rgn, vi.BorderRect.right - 1, vi.BorderRect.bottom - 1));
    EXPECT_TRUE(PtInRegion(rgn, 110, 30));
    // A single border leaves its one-pixel margin in the region.
    EXPECT_EQ(border == xbsSingle, PtInRegion(rgn, 0, 0) != FALSE);
    DeleteObject(rgn);
  }
}

TEST(CellPainting, TextCellsHonourPasswordCaseAndDisabledColours) {
  const TdxInplaceTextEditClass& cls = TdxInplaceTextEditClass::Instance();
  auto vd = cls.CreateViewDataObject();
  auto* text = dynamic_cast<TdxTextEditViewData*>(vd.get());
  ASSERT_NE(nullptr, text);
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                           L"Tahoma");
  text->Enabled = true;
  text->BorderStyle = xbsNone;
  text->Edges = kAllEdges;
  text->ViewBounds = RECT{0, 0, 100, 20};
  text->Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  text->BkColor = RGB(255, 255, 255);
  text->TextColor = RGB(0, 0, 0);
  text->Font = font;
  text->Data = L"secret";
  text->PasswordChar = L'*';
  TBitmap masked, stars;
  MakeBitmap(masked, 100, 20, clWhite);
  MakeBitmap(stars, 100, 20, clWhite);
  cls.Draw(masked.Canvas().Handle(), text->ViewBounds, *text, nullptr);
  text->PasswordChar = 0;
  text->Data = L"******";
  cls.Draw(stars.Canvas().Handle(), text->ViewBounds, *text, nullptr);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(Pixel(stars, x, y), Pixel(masked, x, y)) << x << "," << y;
  // Measuring fills the line fields and paints nothing.
  text->CalcHeight = true;
  text->DrawAlignment = daMultiLine;
  text->Data = L"one two three four five six seven";
  TBitmap blank;
  MakeBitmap(blank, 100, 20, clWhite);
  cls.Draw(blank.Canvas().Handle(), text->ViewBounds, *text, nullptr);
  EXPECT_GT(text->LineTextHeight, 0);
  EXPECT_GE(text->LineCount, 2);
  EXPECT_FALSE(HasInk(blank, RECT{0, 0, 100, 20}, RGB(255, 255, 255)));
  DeleteObject(font);
}

namespace {

// A painter that forgets one brush per border it draws: the count must see it.
class TLeakyBorderClass : public TdxInplaceEditClass {
public:
  void DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, TdxEditViewData& viewData) const override {
    TdxInplaceEditClass::DrawBorder(dc, viewInfo, viewData);
    Forgotten.push_back(GdiTrack(CreateSolidBrush(RGB(1, 2, 3))));
  }
  mutable std::vector<HBRUSH> Forgotten;
};

// Paints N cells of every border style, edge set and shadow through Cls.
void PaintCells(const TdxInplaceEditClass& cls, HDC dc, HFONT font, int n) {
  for (int i = 0; i < n; ++i) {
    auto vd = cls.CreateViewDataObject();
    vd->BorderStyle = static_cast<TdxEditBorderStyle>(i % 5);
    vd->Edges = i % 3 == 0 ? TdxEditEdges{edgLeft | edgTop} : kAllEdges;
    vd->Shadow = i % 2 == 0;
    vd->ViewBounds = RECT{0, 0, 100, 20};
    vd->Brush = GetSysColorBrush(COLOR_WINDOW);
    vd->Font = font;
    vd->Data = L"cell";
    HRGN rgn = CreateRectRgn(0, 0, 120, 40);
    cls.Draw(dc, vd->ViewBounds, *vd, rgn);
    DeleteObject(rgn);
  }
}

}  // namespace

TEST(CellPainting, PaintingManyCellsLeavesTheGdiObjectCountUnchanged) {
  // The class library's own count: the system's is zero under Wine.
  TBitmap b;
  MakeBitmap(b, 120, 40, clWhite);
  TFont font;
  font.SetHeight(-13);
  const HFONT fontHandle = font.Handle();
  const TdxInplaceTextEditClass& text = TdxInplaceTextEditClass::Instance();
  const TdxInplaceEditClass& plain = TdxInplaceEditClass::Instance();
  PaintCells(text, b.Canvas().Handle(), fontHandle, 10);  // the cached brushes exist from here on
  const long before = GdiObjectsAlive();
  EXPECT_GT(before, 0);  // the font and the shadow brush at least
  PaintCells(text, b.Canvas().Handle(), fontHandle, 500);
  PaintCells(plain, b.Canvas().Handle(), fontHandle, 500);
  EXPECT_EQ(before, GdiObjectsAlive());

  // The count is no constant: a painter that keeps a brush per cell shows up as many.
  TLeakyBorderClass leaky;
  PaintCells(leaky, b.Canvas().Handle(), fontHandle, 25);
  EXPECT_EQ(before + 25, GdiObjectsAlive());
  for (HBRUSH brush : leaky.Forgotten) GdiFree(brush);
  EXPECT_EQ(before, GdiObjectsAlive());
}

TEST(PopupFrames, Frame3DWithShadowShrinksTheClientByTenAndCutsTwoCorners) {
  EXPECT_EQ(4, PopupBorderWidth(pbFrame3D));
  TBitmap b;
  MakeBitmap(b, 60, 40, clWhite);
  RECT r{0, 0, 60, 40};
  DrawPopupFrame(b.Canvas().Handle(), r, pbFrame3D, 2, true, false);
  // What the frame leaves inside: 4 on each side, and the shadow's 2 more right and below.
  EXPECT_TRUE(SameRect(RECT{4, 4, 54, 34}, r));
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), Pixel(b, 59, 20));  // the shadow at the right
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), Pixel(b, 30, 39));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(b, 30, 20));            // the client area untouched

  RECT single{0, 0, 60, 40}, flat{0, 0, 60, 40}, none{0, 0, 60, 40};
  DrawPopupFrame(b.Canvas().Handle(), single, pbSingle, 2, false, false);
  DrawPopupFrame(b.Canvas().Handle(), flat, pbFlat, 2, false, false);
  DrawPopupFrame(b.Canvas().Handle(), none, pbDefault, 2, false, false);
  EXPECT_EQ(1, single.left);
  EXPECT_EQ(2, flat.left);
  EXPECT_EQ(0, none.left);
}

}  // namespace inplace_test
