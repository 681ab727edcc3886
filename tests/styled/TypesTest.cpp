// The toolkit's helpers: both natural compares, accelerator marks, string
// and path helpers, the clip pair, the monitor lookup and the hidden window.
#include <gtest/gtest.h>

#include "CommonUtils.h"
#include "StyledTest.h"
#include "XPTypes.h"

#include <algorithm>
#include <cstring>

using namespace tvk;

namespace {

struct CompareCase {
  const wchar_t* A;
  const wchar_t* B;
  bool CaseSensitive;
  int Result;
};

TEST(NaturalCompareStrings, OrdersDigitRunsByValueAndFallsBackToThePlainComparison) {
  const CompareCase cases[] = {
      {L"file10", L"file9", false, 1},
      {L"file9", L"file10", false, -1},
      {L"File2", L"file10", false, -1},
      {L"a", L"", false, 1},
      {L"a", L"", true, 1},
      {L"", L"a", true, -1},
      {L"007", L"7", false, -1},     // equal after zero padding: the plain comparison decides
      {L"ab", L"AB", true, 1},
      {L"ab", L"AB", false, 0},
      {L"1 2", L"12", false, -1},    // a blank inside a digit run does not split it
      {L"x2y", L"x2y", true, 0},
      {L"abc", L"abc1", false, -1},  // the shorter text sorts first
      {L"  b", L"a", false, 1},      // leading blanks are skipped
      {L"v1.10", L"v1.9", false, 1},
      {L"img12.png", L"img3.png", true, 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Result, NaturalCompareStrings(c.A, c.B, c.CaseSensitive))
        << "'" << std::wstring(c.A) << "' vs '" << std::wstring(c.B) << "' case " << c.CaseSensitive;
}

TEST(AlphaNumericCompareText, ComparesNumbersByValueAndTextsTokenByToken) {
  const CompareCase cases[] = {
      {L"", L"0", false, 0},         // an empty text counts as 0
      {L"", L"-1", false, 1},
      {L"-5", L"3", false, -1},
      {L"x10", L"x9", false, 1},
      {L"1.5kg", L"1.25kg", false, 1},
      {L"a 1", L"a1", false, 0},      // blanks go when both hold a digit
      {L"a b", L"ab", false, -1},     // no digit: the case-blind comparison decides
      {L"10", L"9.5", false, 1},
      {L"1e3", L"999", false, 1},
      {L"ABC", L"abc", false, 0},
      {L"abc", L"abc", false, 0},
      {L"-x2", L"-x10", false, -1},   // the sign stays with the first token
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Result, AlphaNumericCompareText(c.A, c.B)) << "'" << std::wstring(c.A) << "' vs '"
                                                            << std::wstring(c.B) << "'";
}

TEST(TryTextToFloat, TakesOnlyAWholeNumberWithAPointWhateverTheLocale) {
  double v = -1;
  EXPECT_TRUE(TryTextToFloat(L"", v));
  EXPECT_EQ(0, v);
  EXPECT_TRUE(TryTextToFloat(L"1.25", v));
  EXPECT_EQ(1.25, v);
  EXPECT_TRUE(TryTextToFloat(L".5", v));
  EXPECT_EQ(0.5, v);
  for (const wchar_t* bad : {L"1,5", L" 1", L"1 ", L"x1", L"1kg", L"-", L"."}) EXPECT_FALSE(TryTextToFloat(bad, v)) << bad;
}

TEST(StripAccelChars, RemovesMarksAndAnswersTheAcceleratorPosition) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Stripped;
    int Position;
  } cases[] = {
      {L"&File", L"File", 1},
      {L"Save && Exit", L"Save & Exit", 0},
      {L"A&", L"A", 2},          // a final mark: just past the end
      {L"E&xit", L"Exit", 2},
      {L"&&&x", L"&x", 2},
      {L"&a&b", L"ab", 2},       // the last mark counts
      {L"plain", L"plain", 0},
  };
  for (const auto& c : cases) {
    WideString s = c.Text;
    EXPECT_EQ(c.Position, StripAccelChars(s)) << c.Text;
    EXPECT_EQ(c.Stripped, s) << c.Text;
    EXPECT_EQ(c.Stripped, RemoveAmpersands(c.Text)) << c.Text;
  }
}

TEST(StringHelpers, BackslashesDelimitersAndAnsiText) {
  EXPECT_EQ(L"", AddTrailingBackslash(L""));
  EXPECT_EQ(L"C:\\a\\", AddTrailingBackslash(L"C:\\a"));
  EXPECT_EQ(L"C:\\a\\", RemoveTrailingBackslash(L"C:\\a\\\\"));  // only the last one
  EXPECT_EQ(L"C:\\a", RemoveTrailingBackslash(L"C:\\a"));

  WideString rest = L"key=value=more", head;
  SplitAtDelimiter(rest, L"=", head);
  EXPECT_EQ(L"key", head);
  EXPECT_EQ(L"value=more", rest);
  rest = L"nothing";
  SplitAtDelimiter(rest, L";", head);
  EXPECT_EQ(L"nothing", head);
  EXPECT_EQ(L"", rest);

  std::string ansi;
  WideToAnsiString(L"Port 3", ansi);
  EXPECT_EQ("Port 3", ansi);
}

TEST(LastPosBefore, FindsTheRightMostMatchAtOrBeforeTheStartAndClampsAStartPastTheText) {
  EXPECT_EQ(4, LastPosBefore(L"ab", L"ab_ab_", 5));
  EXPECT_EQ(4, LastPosBefore(L"ab", L"ab_ab_", 4));
  EXPECT_EQ(1, LastPosBefore(L"ab", L"ab_ab_", 3));
  EXPECT_EQ(0, LastPosBefore(L"ab", L"ab_ab_", 0));
  EXPECT_EQ(0, LastPosBefore(L"", L"ab", 2));
  EXPECT_EQ(0, LastPosBefore(L"abc", L"ab", 1));
  // A start far past the end reads nothing outside the text and finds the last match.
  EXPECT_EQ(4, LastPosBefore(L"ab", L"ab_ab", 1000));
  EXPECT_EQ(4, LastPosBefore(L"x", L"abcx", 99));
}

TEST(ClipPair, RestoresAContextWithoutClippingAndOneWithClipping) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 50, 50);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT box;
  HRGN saved = reinterpret_cast<HRGN>(1);
  BeginClipRect(dc, RECT{10, 10, 20, 20}, saved, false);
  EXPECT_EQ(nullptr, saved);  // there was no clipping to keep
  GetClipBox(dc, &box);
  EXPECT_EQ((RECT{10, 10, 20, 20}), box);
  EndClipRect(dc, saved);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(0, GetClipRgn(dc, probe));  // removed again

  IntersectClipRect(dc, 0, 0, 30, 30);
  BeginClipRect(dc, RECT{5, 5, 15, 15}, saved, true);  // cut out
  ASSERT_NE(nullptr, saved);
  EXPECT_FALSE(PtVisible(dc, 10, 10));
  EXPECT_TRUE(PtVisible(dc, 25, 25));
  EndClipRect(dc, saved);
  EXPECT_TRUE(PtVisible(dc, 10, 10));
  ASSERT_EQ(1, GetClipRgn(dc, probe));
  GetRgnBox(probe, &box);
  EXPECT_EQ((RECT{0, 0, 30, 30}), box);
  DeleteObject(probe);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(MonitorLookup, FillsTheWholeRecordOfTheNearestMonitor) {
  MONITORINFO info;
  std::memset(&info, 0xCC, sizeof info);
  GetMonitorInfoAtPoint(POINT{-100000, -100000}, info);  // far off: the nearest monitor still answers
  EXPECT_EQ(sizeof info, info.cbSize);
  EXPECT_GT(info.rcMonitor.right - info.rcMonitor.left, 0);
}

TEST(CustomWndProcObject, IsATopLevelWindowThatLeavesUnhandledMessagesToTheDefault) {
  TCustomWndProcObject object;
  ASSERT_NE(nullptr, object.Handle());
  // Message-only windows hear no broadcasts: this one must be top-level.
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(object.Handle(), GA_PARENT));
  EXPECT_FALSE(IsWindowVisible(object.Handle()));
  std::vector<UINT> seen;
  object.OnMessage = [&](TMessage& m, bool& handled) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_APP) {
      m.Result = 42;
      handled = true;
    }
  };
  EXPECT_EQ(42, SendMessageW(object.Handle(), WM_APP, 0, 0));
  // Unhandled: the default procedure answers (the window's text here).
  SetWindowTextW(object.Handle(), L"listener");
  wchar_t text[16] = {};
  EXPECT_EQ(8, SendMessageW(object.Handle(), WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ(L"listener", text);
  EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_GETTEXT)), seen.end());
}

}  // namespace
