// Painting the five styles into a 32-bit bitmap through WM_PRINTCLIENT.
#include "InspectorTest.h"

namespace inspector_test {
namespace {

constexpr COLORREF kSentinel = RGB(255, 0, 255);

struct PaintFixture : InspectorFixture {
  tvk::TBitmap Bitmap;
  void Paint() {
    const RECT client = Insp->ClientRect();
    Bitmap.SetPixelFormat(tvk::TPixelFormat::pf32bit);
    Bitmap.SetSize(client.right, client.bottom);
    HBRUSH sentinel = CreateSolidBrush(kSentinel);
    FillRect(Bitmap.Canvas().Handle(), &client, sentinel);
    DeleteObject(sentinel);
    SendMessageW(Wnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Bitmap.Canvas().Handle()), PRF_CLIENT);
  }
  COLORREF At(int x, int y) { return GetPixel(Bitmap.Canvas().Handle(), x, y); }
  static COLORREF Sys(int index) { return GetSysColor(index); }
};

TEST_F(PaintFixture, EveryStylePaintsEveryPixelAndFreesItsBrushes) {
  TdxInspectorNode* category = Insp->Row(L"Category");
  Insp->Categories.insert(category);
  Insp->Row(L"Name", L"value", category);
  Insp->Row(L"Other", L"x");
  category->Expand(false);
  EXPECT_EQ(1, SendMessageW(Wnd(), WM_ERASEBKGND, 0, 0));
  for (auto style : {tvk::ipsStandard, tvk::ipsSimple, tvk::ipsExtended, tvk::ipsNET, tvk::ipsCategorized}) {
    SCOPED_TRACE(style);
    Insp->SetPaintStyle(style);
    Paint();  // the first paint may make the editor and cached objects
    const DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    Paint();
    EXPECT_EQ(objects, GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    // Only the value cells are left to the cell painter, which the base does not have.
    const RECT client = Insp->ClientRect();
    EXPECT_NE(kSentinel, At(1, client.bottom - 2));         // the empty area
    EXPECT_NE(kSentinel, At(1, Insp->RowHeight() / 2));     // the category row
  }
}

TEST_F(PaintFixture, TheSunkenFocusFrameSurvivesThePaintingOfTheRowAbove) {
  Insp->Row(L"first", L"1");
  TdxInspectorNode* second = Insp->Row(L"second", L"2");
  Insp->Row(L"third", L"3");
  for (auto style : {tvk::ipsStandard, tvk::ipsExtended}) {
    Insp->SetPaintStyle(style);
    Insp->SetFocusedNode(second);
    Paint();
    const int top = Insp->RowHeight();
    // The outer and inner sunken edges lie over the grid line of the row above.
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), At(60, top - 2)) << style;
    EXPECT_EQ(Sys(COLOR_3DDKSHADOW), At(60, top - 1)) << style;
    EXPECT_EQ(Sys(COLOR_3DDKSHADOW), At(61, top - 1)) << style;
  }
}

TEST_F(PaintFixture, NetColoursItsGridLinesByCategory) {
  Insp->SetPaintStyle(tvk::ipsNET);
  Insp->SetGridColor(tvk::clBlue);
  Insp->SetGroupGridColor(tvk::clRed);
  Insp->SetGroupColor(tvk::clYellow);
  TdxInspectorNode* plain = Insp->Row(L"plain", L"1");
  TdxInspectorNode* before = Insp->Row(L"before", L"2");
  TdxInspectorNode* category = Insp->Row(L"Category");
  Insp->Categories.insert(category);
  Insp->Row(L"inner", L"3", category);
  Insp->Row(L"last inner", L"4", category);
  category->Expand(false);
  Insp->SetFocusedNode(plain);
  Paint();
  const int h = Insp->RowHeight(), indent = Insp->Indent();
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), yellow = RGB(255, 255, 0);
  struct Case {
    const char* row;
    int index;
    COLORREF left, right;
  };
  const Case cases[] = {
      {"plain row: background, then grid", 0, tvk::ColorToRGB(Insp->Color()), blue},
      {"row before a category", 1, red, red},
      {"expanded category: its background on the left", 2, yellow, red},
      {"inside the category", 3, yellow, blue},
      {"last row of the category", 4, red, red},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    const int y = (c.index + 1) * h - 1;
    EXPECT_EQ(c.left, At(2, y));
    EXPECT_EQ(c.right, At(indent + 20, y));
  }
  (void)before;
}

TEST_F(PaintFixture, CategorizedFramesAndChevrons) {
  Insp->SetPaintStyle(tvk::ipsCategorized);
  TdxInspectorNode* category = Insp->Row(L"Category");
  Insp->Categories.insert(category);
  Insp->Row(L"inner", L"1", category);
  TdxInspectorNode* plain = Insp->Row(L"plain", L"2");
  for (bool expanded : {false, true}) {
    SCOPED_TRACE(expanded);
    category->SetExpanded(expanded);
    Insp->SetFocusedNode(category);
    Paint();
    const RECT row = Insp->GetNodeRect(category);
    const tvk::TdxInspectorRowParts parts = Insp->CalcRowParts(category, row);
    // The focused category is raised: light outer edge on the top, dark outer edge at the bottom.
    EXPECT_EQ(Sys(COLOR_3DLIGHT), At(row.left + 5, row.top));
    EXPECT_EQ(Sys(COLOR_3DDKSHADOW), At(row.left + 5, row.bottom - 1));
    const int w = expanded ? 5 : 6, hgt = expanded ? 6 : 5;
    const int gx = (parts.Button.left + parts.Button.right - w) / 2;
    const int gy = (parts.Button.top + parts.Button.bottom - hgt) / 2;
    const COLORREF ink = tvk::ColorToRGB(Insp->Font().Color());
    auto glyph = [&](int x, int y) { return expanded ? At(gx + y, gy + x) : At(gx + x, gy + y); };
    for (POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{2, 2}, POINT{0, 4}, POINT{3, 0}, POINT{5, 2}, POINT{3, 4}})
      EXPECT_EQ(ink, glyph(p.x, p.y)) << p.x << "," << p.y;
    for (POINT p : {POINT{2, 0}, POINT{1, 4}, POINT{4, 0}})
      EXPECT_NE(ink, glyph(p.x, p.y)) << p.x << "," << p.y;
  }
  // A row that is neither focused nor hot has a frame in the control colour.
  Insp->SetFocusedNode(plain);
  category->SetExpanded(false);
  Paint();
  const RECT row = Insp->GetNodeRect(category);
  EXPECT_EQ(tvk::ColorToRGB(Insp->Color()), At(row.left + 5, row.top));
}

TEST_F(PaintFixture, TheDividerCrossesGridLinesAndCategoriesBreakIt) {
  Insp->Row(L"a", L"1");
  Insp->Row(L"b", L"2");
  TdxInspectorNode* category = Insp->Row(L"Category");
  Insp->Categories.insert(category);
  TdxInspectorNode* after = Insp->Row(L"c", L"3");
  Insp->SetFocusedNode(after);
  Insp->SetDividerPos(80);
  Paint();
  const int h = Insp->RowHeight(), x = Insp->DividerPos();
  const COLORREF light = Sys(COLOR_3DHILIGHT);
  EXPECT_EQ(light, At(x + 1, 0));          // the first row's divider from its own top
  EXPECT_EQ(light, At(x + 1, h - 1));      // the second row's over the grid line above it
  EXPECT_NE(light, At(x + 1, 2 * h + h / 2));  // no divider in the category row
  EXPECT_NE(light, At(x + 1, 3 * h - 1));  // nor over the category's grid line
  EXPECT_EQ(light, At(x + 1, 3 * h + 1));
}

TEST_F(PaintFixture, ACaptionIsClippedAtADividerInsideTheIndent) {
  TdxInspectorNode* node = Insp->Row(L"top", L"1");
  for (int level = 0; level < 6; ++level) node = Insp->Row(L"deep caption text", L"v", node);
  Insp->FullExpand();
  Insp->SetFocusedNode(Insp->TopNode());
  Insp->SetDividerPos(30);
  const RECT row = Insp->GetNodeRect(node);
  const tvk::TdxInspectorRowParts parts = Insp->CalcRowParts(node, row);
  ASSERT_GT(parts.Indent.right, parts.Value.left + 4);
  Paint();
  // The base paints no value cells: what lies right of the divider stays untouched.
  for (int x = parts.Value.left; x < parts.Indent.right; ++x)
    EXPECT_EQ(kSentinel, At(x, (row.top + row.bottom) / 2)) << x;
  EXPECT_NE(kSentinel, At(5, (row.top + row.bottom) / 2));
}

}  // namespace
}  // namespace inspector_test
