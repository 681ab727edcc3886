// The library's text layout: rows split at line breaks, words and characters
// (measured at 10 pixels per character so that fonts do not matter), blanks
// at a wrap by alignment, Far-East chunks, rows beyond the inline 32, the end
// ellipsis, highlighted output and the measuring results of DrawTextInRect.
#include "LookAndFeelTest.h"
#include "cxDrawTextUtils.h"

#include <string>

using namespace tvk;

namespace {

constexpr int kCharWidth = 10, kRowHeight = 16;

// 10 pixels per character; the user data, when given, counts the calls.
void MeasureTenPerChar(HDC, const wchar_t*, int ALength, SIZE& ASize, void* AUserData, bool) {
  ASize = SIZE{ALength * kCharWidth, kRowHeight};
  if (AUserData) ++*static_cast<int*>(AUserData);
}

class TextLayout : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    LookAndFeel::SetUp();
    FDC = CreateCompatibleDC(nullptr);
  }
  void TearDown() override {
    DeleteDC(FDC);
    LookAndFeel::TearDown();
  }
  TcxTextParams Params(UINT AFormat) {
    TcxTextParams params;
    FillTextParamsFromDC(FDC, AFormat, params);
    params.RowHeight = params.FullRowHeight = kRowHeight;
    params.CharBreak = (AFormat & CXTO_CHARBREAK) != 0;  // not from the machine's locale
    return params;
  }
  // The rows' texts.
  std::vector<std::wstring> Split(const std::wstring& AText, UINT AFormat, RECT R, bool* AFits = nullptr,
                                  int AMaxLineCount = 0) {
    const TcxTextParams params = Params(AFormat);
    FRows = TcxTextRows{};
    int count = 0;
    const bool fits = SplitTextIntoRows(FDC, AText.c_str(), int(AText.size()), &MeasureTenPerChar, nullptr,
                                        AMaxLineCount, count, FRows, params, R);
    if (AFits) *AFits = fits;
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i) texts.emplace_back(FRows.Row(i).Text, std::size_t(FRows.Row(i).TextLength));
    return texts;
  }
  HDC FDC = nullptr;
  TcxTextRows FRows;
};

using Rows = std::vector<std::wstring>;

}  // namespace

TEST_F(TextLayout, EachLineBreakEndsExactlyOneRow) {
  struct {
    const wchar_t* Text;
    Rows Expected;
  } const cases[] = {
      {L"ab\r\ncd", {L"ab", L"cd"}},
      {L"ab\n\rcd", {L"ab", L"cd"}},
      {L"ab\rcd", {L"ab", L"cd"}},
      {L"ab\ncd", {L"ab", L"cd"}},
      {L"ab\r\n\r\ncd", {L"ab", L"", L"cd"}},
      {L"ab\n\ncd", {L"ab", L"", L"cd"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Expected, Split(c.Text, CXTO_WORDBREAK, RECT{0, 0, 500, 500})) << testing::PrintToString(c.Text);
    EXPECT_EQ(c.Expected, Split(c.Text, 0, RECT{0, 0, 500, 500})) << "without word breaks";
  }
  Split(L"ab\r\ncd", CXTO_WORDBREAK, RECT{0, 0, 500, 500});
  EXPECT_EQ(4, FRows.Row(1).StartOffset);
}

TEST_F(TextLayout, BlankAtAWrapIsKeptOrDroppedByAlignment) {
  // The rectangle holds "abc " (40 pixels) but not "abc def".
  struct {
    UINT Align;
    int FirstRowLength;
  } const cases[] = {{CXTO_LEFT, 4}, {CXTO_CENTER_HORIZONTALLY, 3}, {CXTO_RIGHT, 3}};
  for (const auto& c : cases) {
    const Rows rows = Split(L"abc def", CXTO_WORDBREAK | c.Align, RECT{0, 0, 40, 100});
    ASSERT_EQ(2u, rows.size()) << c.Align;
    EXPECT_EQ(c.FirstRowLength, int(rows[0].size())) << c.Align;
    EXPECT_EQ(L"def", rows[1]) << c.Align;
  }
  // Justified rows lose trailing blanks and count the blanks inside.
  const Rows justified = Split(L"ab cd ef gh", CXTO_WORDBREAK | CXTO_JUSTIFY_HORIZONTALLY, RECT{0, 0, 90, 100});
  EXPECT_EQ(L"ab cd ef", justified.at(0));
  EXPECT_EQ(2, FRows.Row(0).BreakCount);
}

TEST_F(TextLayout, OverWideWordBreaksIntoCharactersOnlyWithCharBreak) {
  EXPECT_EQ((Rows{L"abc", L"def", L"ghi", L"j"}), Split(L"abcdefghij", CXTO_WORDBREAK | CXTO_CHARBREAK, RECT{0, 0, 35, 500}));
  EXPECT_EQ((Rows{L"abcdefghij"}), Split(L"abcdefghij", CXTO_WORDBREAK, RECT{0, 0, 35, 500}));
  // Narrower than one character: still one character per row.
  EXPECT_EQ((Rows{L"a", L"b", L"c"}), Split(L"abc", CXTO_WORDBREAK | CXTO_CHARBREAK, RECT{0, 0, 5, 500}));
  // After a word that fits, an over-wide one starts the next row before it is broken.
  EXPECT_EQ((Rows{L"ab ", L"cdef", L"gh"}), Split(L"ab cdefgh", CXTO_WORDBREAK | CXTO_CHARBREAK, RECT{0, 0, 45, 500}));
}

TEST_F(TextLayout, FarEastCharactersAreChunksOfTheirOwnWithTheirClosingMark) {
  const std::wstring text = L"\x4E00\x3001\x4E01\x4E02x";
  const wchar_t* end = text.c_str() + text.size();
  EXPECT_EQ(text.c_str() + 2, GetNextWordBreak(text.c_str(), end)) << "with the ideographic comma";
  EXPECT_EQ(text.c_str() + 3, GetNextWordBreak(text.c_str() + 2, end));
  EXPECT_EQ(text.c_str() + 4, GetNextWordBreak(text.c_str() + 3, end));
  const std::wstring latin = L"ab\x4E00 cd";
  EXPECT_EQ(latin.c_str() + 2, GetNextWordBreak(latin.c_str(), latin.c_str() + latin.size()));
  EXPECT_EQ(latin.c_str() + 4, GetNextWordBreak(latin.c_str() + 3, latin.c_str() + latin.size())) << "a blank alone";
  for (wchar_t c : {L'!', L')', L'}', wchar_t(0x3001), wchar_t(0xFF09), wchar_t(0xFFE0), wchar_t(0xFFFF)})
    EXPECT_TRUE(IsNoLineStartCharacter(c)) << int(c);
  for (wchar_t c : {L'a', L'(', wchar_t(0x3000), wchar_t(0x4E00), wchar_t(0xFF08)})
    EXPECT_FALSE(IsNoLineStartCharacter(c)) << int(c);
  EXPECT_TRUE(IsFullWidthCharacter(0, wchar_t(0xAC00)));
  EXPECT_FALSE(IsFullWidthCharacter(0, L'z'));
  // Two ideographs wrap between them at a width of one.
  EXPECT_EQ((Rows{L"\x4E00\x3001", L"\x4E01"}), Split(L"\x4E00\x3001\x4E01", CXTO_WORDBREAK, RECT{0, 0, 25, 500}));
}

TEST_F(TextLayout, RowsBeyondTheInlineOnesAreKeptAndPositioned) {
  std::wstring text;
  for (int i = 0; i < 40; ++i) text += L"r" + std::to_wstring(i) + L"\n";
  const Rows rows = Split(text, CXTO_WORDBREAK, RECT{0, 0, 500, 1000});
  ASSERT_EQ(40u, rows.size());
  EXPECT_EQ(L"r35", rows[35]);
  EXPECT_EQ(L"r39", rows[39]);
  EXPECT_EQ(10u, FRows.DynamicRows.size()) << "grown in steps of 4 beyond need";
  TcxTextParams params = Params(CXTO_WORDBREAK);
  PositionTextRows(FDC, RECT{5, 7, 500, 1000}, params, 40, FRows);
  EXPECT_EQ(7 + 39 * kRowHeight, FRows.Row(39).TextOriginY);
  EXPECT_EQ(5, FRows.Row(39).TextOriginX);

  Split(L"a\nb", CXTO_WORDBREAK, RECT{0, 0, 500, 1000});
  EXPECT_TRUE(FRows.DynamicRows.empty()) << "32 rows or fewer allocate nothing";
}

TEST_F(TextLayout, RowsStopAtTheRectangleOrTheLineCount) {
  bool fits = true;
  // Top alignment: the row that crosses the bottom is the last one.
  EXPECT_EQ((Rows{L"a", L"b", L"c"}), Split(L"a\nb\nc\nd\ne", CXTO_END_ELLIPSIS, RECT{0, 0, 100, 40}, &fits));
  EXPECT_FALSE(fits);
  // An edit control shows whole rows only.
  EXPECT_EQ((Rows{L"a", L"b"}), Split(L"a\nb\nc\nd\ne", CXTO_EDITCONTROL, RECT{0, 0, 100, 40}));
  EXPECT_EQ((Rows{L"a", L"b"}), Split(L"a\nb\nc", CXTO_CALCRECT, RECT{0, 0, 100, 40}, &fits, 2));
  EXPECT_TRUE(fits) << "measuring always fits";
  EXPECT_EQ((Rows{L"a", L"b", L"c"}), Split(L"a\nb\nc", 0, RECT{0, 0, 100, 100}, &fits));
  EXPECT_TRUE(fits);
  // The ellipsis row keeps its over-wide word whole: the ellipsis shortens it when drawn.
  EXPECT_EQ((Rows{L"ab", L"cdefgh"}),
            Split(L"ab\ncdefgh ij", CXTO_WORDBREAK | CXTO_END_ELLIPSIS, RECT{0, 0, 30, 20}, &fits));
  EXPECT_FALSE(fits);
}

TEST_F(TextLayout, PositionsByAlignment) {
  Split(L"ab\ncdef", 0, RECT{0, 0, 100, 100});
  struct {
    UINT Format;
    int X0, X1, Y0;
  } const cases[] = {
      {CXTO_LEFT | CXTO_TOP, 0, 0, 0},
      {CXTO_CENTER_HORIZONTALLY | CXTO_CENTER_VERTICALLY, 40, 30, (100 - 2 * kRowHeight) / 2},
      {CXTO_RIGHT | CXTO_BOTTOM, 80, 60, 100 - 2 * kRowHeight},
  };
  for (const auto& c : cases) {
    TcxTextParams params = Params(c.Format);
    PositionTextRows(FDC, RECT{0, 0, 100, 100}, params, 2, FRows);
    EXPECT_EQ(c.X0, FRows.Row(0).TextOriginX) << c.Format;
    EXPECT_EQ(c.X1, FRows.Row(1).TextOriginX) << c.Format;
    EXPECT_EQ(c.Y0, FRows.Row(0).TextOriginY) << c.Format;
  }
  // Distributed vertically: the gap spread, the remainder a pixel each on the first rows.
  Split(L"a\nb\nc", 0, RECT{0, 0, 100, 100});
  TcxTextParams params = Params(CXTO_DISTRIBUTE_VERTICALLY);
  PositionTextRows(FDC, RECT{0, 0, 100, 101}, params, 3, FRows);
  EXPECT_EQ(0, FRows.Row(0).TextOriginY);
  EXPECT_EQ(43, FRows.Row(1).TextOriginY);  // (101 - 16) / 2 = 42, one spread pixel
  EXPECT_EQ(85, FRows.Row(2).TextOriginY);
}

namespace {

// A 32-bit top-down DIB selected into a memory DC, filled with a sentinel.
class TextSurface {
public:
  TextSurface(int AWidth, int AHeight) : FWidth(AWidth) {
    BITMAPINFO info{};
    InitBitmapInfoHeader32(info.bmiHeader, AWidth, AHeight, true);
    FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    std::fill(FBits, FBits + std::size_t(AWidth) * std::size_t(AHeight), kSentinel);
    SetTextColor(FDC, RGB(0, 0, 0));
  }
  ~TextSurface() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
  }
  HDC DC() const { return FDC; }
  uint32_t Pixel(int X, int Y) const { return FBits[std::size_t(Y) * std::size_t(FWidth) + std::size_t(X)] & 0xFFFFFF; }
  // The rightmost column in rows [Y0, Y1) whose pixel is not the sentinel (-1: none).
  int RightmostInk(int Y0, int Y1) const {
    for (int x = FWidth - 1; x >= 0; --x)
      for (int y = Y0; y < Y1; ++y)
        if (Pixel(x, y) != kSentinel) return x;
    return -1;
  }
  int CountOf(uint32_t AColor, int Y0, int Y1) const {
    int n = 0;
    for (int y = Y0; y < Y1; ++y)
      for (int x = 0; x < FWidth; ++x) n += Pixel(x, y) == AColor;
    return n;
  }
  static constexpr uint32_t kSentinel = 0x00FFFFFF;

private:
  int FWidth;
  HBITMAP FBitmap = nullptr;
  uint32_t* FBits = nullptr;
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

}  // namespace

TEST_F(TextLayout, TallTextEndsItsLastVisibleRowWithAnEllipsis) {
  TextSurface surface(200, 120);
  TEXTMETRICW metric{};
  GetTextMetricsW(surface.DC(), &metric);
  const int h = metric.tmHeight;
  RECT r{0, 0, 200, h * 3 - 1};
  const int height = DrawTextInRect(surface.DC(), L"ab\nab\nab\nab\nab", r, CXTO_END_ELLIPSIS);
  EXPECT_EQ(3 * h, height);
  const int plainRow = surface.RightmostInk(0, h);
  ASSERT_GT(plainRow, 0) << "the first row is drawn";
  EXPECT_GT(surface.RightmostInk(2 * h, r.bottom), plainRow + 3) << "the last visible row carries \"...\"";
  EXPECT_EQ(-1, surface.RightmostInk(r.bottom, 120)) << "nothing below the rectangle";
}

TEST_F(TextLayout, HighlightFillsOnlyTheSelectedCharacters) {
  TextSurface surface(200, 40);
  RECT r{0, 0, 200, 40};
  DrawTextInRect(surface.DC(), L"abcdef", r, CXTO_SINGLELINE, 2, 2, nullptr, TColor(0x0000FF), TColor(0xFFFFFF));
  SIZE two{}, four{};
  GetTextExtentPoint32W(surface.DC(), L"abcdef", 2, &two);
  GetTextExtentPoint32W(surface.DC(), L"abcdef", 4, &four);
  const uint32_t red = 0xFF0000;  // the DIB's 0x00RRGGBB
  EXPECT_GT(surface.CountOf(red, 0, two.cy), 0);
  EXPECT_EQ(red, surface.Pixel((two.cx + four.cx) / 2, 0));
  EXPECT_NE(red, surface.Pixel(two.cx - 1, 0));
  EXPECT_NE(red, surface.Pixel(four.cx, 0));
  // A selection starting beyond the text is dropped.
  TextSurface plain(200, 40);
  DrawTextInRect(plain.DC(), L"abcdef", r, CXTO_SINGLELINE, 6, 2, nullptr, TColor(0x0000FF), TColor(0xFFFFFF));
  EXPECT_EQ(0, plain.CountOf(red, 0, 40));
}

TEST_F(TextLayout, MeasuringGivesTheRowCountOrTheRectangle) {
  TextSurface surface(10, 10);
  TEXTMETRICW metric{};
  GetTextMetricsW(surface.DC(), &metric);
  RECT r{0, 0, 300, 300};
  EXPECT_EQ(3, DrawTextInRect(surface.DC(), L"a\nbb\nccc", r, CXTO_CALCROWCOUNT | CXTO_WORDBREAK));
  EXPECT_EQ(2, DrawTextInRect(surface.DC(), L"a\nbb\nccc", r, CXTO_CALCROWCOUNT | CXTO_WORDBREAK, 0, 0, nullptr,
                              clNone, clNone, 2));
  SIZE widest{};
  GetTextExtentPoint32W(surface.DC(), L"ccc", 3, &widest);
  RECT calc{10, 20, 300, 300};
  DrawTextInRect(surface.DC(), L"a\nbb\nccc", calc, CXTO_CALCRECT | CXTO_WORDBREAK);
  EXPECT_EQ(10 + widest.cx, calc.right);
  EXPECT_EQ(20 + 3 * metric.tmHeight, calc.bottom);
  RECT empty{0, 0, 0, 10};
  EXPECT_EQ(0, DrawTextInRect(surface.DC(), L"abc", empty, 0)) << "no room, nothing drawn";
  EXPECT_EQ(0, DrawTextInRect(surface.DC(), L"", r, 0));
}

TEST_F(TextLayout, IndentsAndTheirInverse) {
  TcxTextParams params = Params(CXTO_AUTOINDENTS);
  const RECT r{10, 10, 100, 50};
  const RECT indented = ApplyTextIndents(r, params, 3, 4);
  const RECT expected{15, 12, 94, 48};
  EXPECT_TRUE(EqualRect(&indented, &expected));
  const RECT back = RemoveTextIndents(indented, params, 3, 4);
  EXPECT_TRUE(EqualRect(&back, &r));
  params.CalcRect = true;
  EXPECT_TRUE(CanLayoutText(params, RECT{0, 0, 1, 0}));
  params.CalcRect = false;
  EXPECT_FALSE(CanLayoutText(params, RECT{0, 0, 1, 0}));
}
