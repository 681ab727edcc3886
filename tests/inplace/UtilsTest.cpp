// The store wrapper over ini files, memory ini files and the registry, and
// the shared drawing helpers.
#include "InplaceTest.h"

#include <algorithm>
#include <functional>

using namespace tvk;
namespace inplace_test {

namespace {

const wchar_t kWrapperKey[] = L"Software\\TovikTests\\InplaceWrapper";

WideString TempIniPath() {
  wchar_t folder[MAX_PATH]{};
  GetTempPathW(MAX_PATH, folder);
  return WideString(folder) + L"tvk_inplace_wrapper.ini";
}

// One store of each kind, made fresh and removed afterwards.
struct StoreKind {
  const char* Name;
  std::function<std::unique_ptr<TObject>()> Make;
};

const StoreKind kStoreKinds[] = {
    {"ini file",
     [] {
       DeleteFileW(TempIniPath().c_str());
       return std::unique_ptr<TObject>(new TIniFile(TempIniPath()));
     }},
    {"memory ini", [] { return std::unique_ptr<TObject>(new TMemIniFile(L"")); }},
    {"registry",
     [] {
       RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
       return std::unique_ptr<TObject>(new TRegIniFile(kWrapperKey));
     }},
};

class WrapperParity : public ::testing::TestWithParam<StoreKind> {
protected:
  void TearDown() override {
    DeleteFileW(TempIniPath().c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
  }
};

std::vector<WideString> Sorted(TStrings& list) {
  std::vector<WideString> v;
  for (int i = 0; i < list.Count(); ++i) v.push_back(list[i]);
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace

TEST_P(WrapperParity, EveryStoreAnswersTheSame) {
  auto store = GetParam().Make();
  TdxRegIniWrapper w;
  w.SetRegIniObject(store.get());
  w.WriteString(L"Bands", L"Caption", L"Pins");
  w.WriteInteger(L"Bands", L"Width", -120);
  w.WriteBool(L"Bands", L"Visible", true);
  w.WriteBool(L"Columns", L"Sorted", false);
  EXPECT_EQ(L"Pins", w.ReadString(L"Bands", L"Caption", L"x"));
  EXPECT_EQ(L"x", w.ReadString(L"Bands", L"Missing", L"x"));
  EXPECT_EQ(-120, w.ReadInteger(L"Bands", L"Width", 0));
  EXPECT_EQ(7, w.ReadInteger(L"Bands", L"Caption", 7));  // not a number: the default
  EXPECT_TRUE(w.ReadBool(L"Bands", L"Visible", false));
  EXPECT_FALSE(w.ReadBool(L"Columns", L"Sorted", true));
  // Integers and Booleans are stored as an ini file writes them.
  EXPECT_EQ(L"-120", w.ReadString(L"Bands", L"Width", L""));
  EXPECT_EQ(L"1", w.ReadString(L"Bands", L"Visible", L""));

  TStringList names, sections, values;
  w.ReadSection(L"Bands", names);
  EXPECT_EQ((std::vector<WideString>{L"Caption", L"Visible", L"Width"}), Sorted(names));
  w.ReadSections(sections);
  EXPECT_EQ((std::vector<WideString>{L"Bands", L"Columns"}), Sorted(sections));
  w.ReadSectionValues(L"Columns", values);
  EXPECT_EQ((std::vector<WideString>{L"Sorted=0"}), Sorted(values));

  w.DeleteKey(L"Bands", L"Caption");
  EXPECT_EQ(L"gone", w.ReadString(L"Bands", L"Caption", L"gone"));
  w.EraseSection(L"Bands");
  EXPECT_EQ(0, w.ReadInteger(L"Bands", L"Width", 0));
  w.ReadSections(sections);
  EXPECT_EQ((std::vector<WideString>{L"Columns"}), Sorted(sections));
}

INSTANTIATE_TEST_SUITE_P(Stores, WrapperParity, ::testing::ValuesIn(kStoreKinds),
                         [](const auto& info) { return info.index == 0 ? "IniFile" : info.index == 1 ? "MemIni" : "Registry"; });

TEST(RegIniWrapper, EraseRemovesSectionsByCaseSensitivePrefixOnIniStoresOnly) {
  TMemIniFile ini(L"");
  for (const wchar_t* s : {L"Layout", L"Layout1", L"LayoutBands", L"layoutOld", L"Other"}) ini.WriteString(s, L"v", L"1");
  TdxRegIniWrapper w;
  w.SetRegIniObject(&ini);
  w.Erase(L"Layout");
  TStringList left;
  ini.ReadSections(left);
  EXPECT_EQ((std::vector<WideString>{L"Other", L"layoutOld"}), Sorted(left));

  RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
  {
    TRegIniFile reg(kWrapperKey);
    reg.WriteString(L"Layout", L"v", L"1");
    w.SetRegIniObject(&reg);
    w.Erase(L"Layout");  // the caller deletes registry keys itself
    EXPECT_EQ(L"1", reg.ReadString(L"Layout", L"v", L""));
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
}

TEST(RegIniWrapper, BinaryDataLivesInTheRegistryWithASizeQueryFirst) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
  {
    TRegIniFile reg(kWrapperKey);
    TdxRegIniWrapper w;
    w.SetRegIniObject(&reg);
    const std::uint8_t data[6] = {1, 2, 3, 4, 5, 6};
    w.WriteBinaryData(L"Widths", L"Columns", data, 6);
    HKEY before = reg.CurrentKey();
    std::uint8_t buffer[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(6, w.ReadBinaryData(L"Widths", L"Columns", buffer, 0));  // the size, nothing read
    EXPECT_EQ(0xEE, buffer[0]);
    EXPECT_EQ(4, w.ReadBinaryData(L"Widths", L"Columns", buffer, 4));  // never past the buffer
    EXPECT_EQ(4, buffer[3]);
    EXPECT_EQ(0xEE, buffer[4]);
    EXPECT_EQ(6, w.ReadBinaryData(L"Widths", L"Columns", buffer, 8));
    EXPECT_EQ(0, w.ReadBinaryData(L"Widths", L"Missing", buffer, 8));
    EXPECT_EQ(0, w.ReadBinaryData(L"NoSuchSection", L"Columns", buffer, 8));
    EXPECT_EQ(before, reg.CurrentKey());  // the store's key is back
    // A value of another kind raises, and the key is still put back.
    reg.WriteString(L"Widths", L"Text", L"abc");
    EXPECT_THROW(w.ReadBinaryData(L"Widths", L"Text", buffer, 8), ERegistryException);
    EXPECT_EQ(before, reg.CurrentKey());

    TMemIniFile ini(L"");
    w.SetRegIniObject(&ini);
    w.WriteBinaryData(L"Widths", L"Columns", data, 6);
    EXPECT_EQ(0, w.ReadBinaryData(L"Widths", L"Columns", buffer, 8));
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(0, sections.Count());
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
}

TEST(RegIniWrapper, RegistryIntegersAlsoReadFromDwordValues) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
  {
    TRegIniFile reg(kWrapperKey);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (WideString(kWrapperKey) + L"\\Old").c_str(), 0,
                                             nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    DWORD value = 42;
    RegSetValueExW(key, L"Width", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    TdxRegIniWrapper w;
    w.SetRegIniObject(&reg);
    EXPECT_EQ(42, w.ReadInteger(L"Old", L"Width", 0));
    EXPECT_TRUE(w.ReadBool(L"Old", L"Width", false));
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, kWrapperKey);
}

TEST(RegIniWrapper, MemoryIniWritesItsFileOnRequestAndReadsItBack) {
  const WideString path = TempIniPath();
  DeleteFileW(path.c_str());
  {
    TMemIniFile ini(path);
    ini.WriteString(L"Grid", L"Name", L"\x0416-cells");
    ini.WriteInteger(L"Grid", L"Rows", 12);
    ini.UpdateFile();
  }
  TMemIniFile again(path);
  EXPECT_EQ(L"\x0416-cells", again.ReadString(L"Grid", L"Name", L""));
  EXPECT_EQ(12, again.ReadInteger(L"Grid", L"Rows", 0));
  TIniFile system(path);  // the system's reader understands the file too
  EXPECT_EQ(12, system.ReadInteger(L"Grid", L"Rows", 0));
  DeleteFileW(path.c_str());
}

// --- drawing helpers

namespace {

struct TextCanvas : ::testing::Test {
  TBitmap Bitmap;
  HFONT Font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                           L"Tahoma");
  HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
  const COLORREF White = RGB(255, 255, 255);
  TextCanvas() { MakeBitmap(Bitmap, 200, 100, clWhite); }
  ~TextCanvas() override {
    DeleteObject(Font);
    DeleteObject(Red);
  }
  HDC DC() { return Bitmap.Canvas().Handle(); }
  int Draw(std::wstring_view text, RECT fill, RECT textRect, WORD flags, int* lineHeight = nullptr) {
    return DrawAlignedText(DC(), text, static_cast<int>(text.size()), fill, textRect, flags, Red, Font, White,
                           RGB(0, 0, 0), lineHeight);
  }
};

}  // namespace

TEST_F(TextCanvas, TooWideTextIsClippedAtTheTextRectAndTheRestFilled) {
  Draw(L"A rather long line of text", RECT{0, 0, 120, 20}, RECT{0, 0, 60, 20}, 0);
  EXPECT_EQ(RGB(255, 0, 0), Pixel(Bitmap, 100, 10));        // right of the text: the brush
  EXPECT_TRUE(HasInk(Bitmap, RECT{0, 0, 60, 20}, White));   // text up to the cut
  EXPECT_EQ(RGB(255, 255, 255), Pixel(Bitmap, 150, 10));    // outside FillRect untouched
}

TEST_F(TextCanvas, EndEllipsisFillsTheCellAndKeepsTheTextInside) {
  Draw(L"A rather long line of text", RECT{0, 0, 120, 20}, RECT{0, 0, 60, 20}, kDrawTextEndEllipsis);
  // The word path fills the whole fill rectangle and shortens the text.
  EXPECT_FALSE(HasInk(Bitmap, RECT{60, 0, 120, 20}, RGB(255, 0, 0)));
  EXPECT_TRUE(HasInk(Bitmap, RECT{40, 0, 60, 20}, RGB(255, 0, 0)));  // the dots at the end
}

TEST_F(TextCanvas, CentredAndRightAlignedSingleRuns) {
  Draw(L"ab", RECT{0, 0, 200, 20}, RECT{0, 0, 200, 20}, 1 | daVCenter);
  EXPECT_FALSE(HasInk(Bitmap, RECT{0, 0, 80, 20}, White));
  EXPECT_TRUE(HasInk(Bitmap, RECT{80, 0, 120, 20}, White));
  MakeBitmap(Bitmap, 200, 100, clWhite);
  Draw(L"ab", RECT{0, 0, 200, 20}, RECT{0, 0, 200, 20}, 2);
  EXPECT_TRUE(HasInk(Bitmap, RECT{170, 0, 200, 20}, White));
  EXPECT_FALSE(HasInk(Bitmap, RECT{0, 0, 150, 20}, White));
}

TEST_F(TextCanvas, WrappedBlockIsCentredWhenItFitsAndStartsAtTheTopWhenNot) {
  const wchar_t* text = L"one two three four five six";
  Draw(text, RECT{0, 0, 60, 100}, RECT{0, 0, 60, 100}, daMultiLineVCenter | kDrawTextNoFill);
  int centredTop = FirstInkRow(Bitmap, RECT{0, 0, 60, 100}, White);
  EXPECT_GT(centredTop, 15);
  MakeBitmap(Bitmap, 200, 100, clWhite);
  Draw(text, RECT{0, 0, 60, 20}, RECT{0, 0, 60, 20}, daMultiLineVCenter | kDrawTextNoFill);
  int shortTop = FirstInkRow(Bitmap, RECT{0, 0, 60, 20}, White);
  EXPECT_GE(shortTop, 0);
  EXPECT_LT(shortTop, 6);
}

TEST_F(TextCanvas, MeasuringDrawsNothingAndAnswersTheNeededHeight) {
  int lineHeight = 0;
  int single = Draw(L"one", RECT{0, 0, 60, 20}, RECT{0, 0, 60, 20}, kDrawTextMeasure, &lineHeight);
  EXPECT_GT(lineHeight, 8);
  EXPECT_EQ(lineHeight, single);
  int wrapped = Draw(L"one two three four five six", RECT{0, 0, 60, 20}, RECT{0, 0, 60, 20},
                     daMultiLine | kDrawTextMeasure, &lineHeight);
  EXPECT_GE(wrapped, 3 * lineHeight);
  EXPECT_FALSE(HasInk(Bitmap, RECT{0, 0, 200, 100}, White));
  EXPECT_EQ(0, Draw(L"", RECT{0, 0, 60, 20}, RECT{0, 0, 60, 20}, kDrawTextMeasure, &lineHeight));
}

TEST_F(TextCanvas, TheContextsFontAndColoursComeBack) {
  HGDIOBJ font = GetCurrentObject(DC(), OBJ_FONT);
  SetTextColor(DC(), RGB(1, 2, 3));
  SetBkColor(DC(), RGB(4, 5, 6));
  Draw(L"abc", RECT{0, 0, 60, 20}, RECT{0, 0, 60, 20}, kDrawTextFocusRect);
  EXPECT_EQ(font, GetCurrentObject(DC(), OBJ_FONT));
  EXPECT_EQ(RGB(1, 2, 3), GetTextColor(DC()));
  EXPECT_EQ(RGB(4, 5, 6), GetBkColor(DC()));
}

namespace {

void StandInWorkArea(POINT, RECT& r) { r = RECT{0, 100, 800, 600}; }

}  // namespace

TEST(PopupPlacement, FitsToTheWorkAreaAndFlipsAboveOnlyPastItsBottom) {
  SetMonitorWorkAreaLookup(&StandInWorkArea);
  struct Row {
    POINT In;
    POINT Out;
  };
  const Row rows[] = {
      {{700, 550}, {600, 410}},  // past the right and the bottom: left, and above the editor
      {{-50, 300}, {0, 300}},    // left of the area
      {{10, 480}, {10, 480}},    // ends at the bottom exactly: stays
      {{10, 150}, {10, 150}},    // fits
  };
  for (const Row& row : rows) {
    POINT p = row.In;
    FitPopupToWorkArea(p, 200, 120, 20);
    EXPECT_EQ(row.Out.x, p.x) << row.In.x << "," << row.In.y;
    EXPECT_EQ(row.Out.y, p.y) << row.In.x << "," << row.In.y;
  }
  // Past the bottom but with less room above than below: stays below.
  POINT p{10, 200};
  FitPopupToWorkArea(p, 200, 450, 20);
  EXPECT_EQ(200, p.y);
  SetMonitorWorkAreaLookup(nullptr);
  RECT r{};
  GetMonitorWorkArea(POINT{1, 1}, r);
  EXPECT_GT(r.right, r.left);
}

TEST(DrawingHelpers, BitmapsGrowButNeverShrink) {
  TBitmap b;
  b.SetSize(20, 5);
  EnsureBitmapSize(b, 10, 10);
  EXPECT_EQ(20, b.Width());
  EXPECT_EQ(10, b.Height());
}

TEST(DrawingHelpers, HalftoneBrushPaintsACheckerboardAndShadowEdgesTheDropShadow) {
  TBitmap b;
  MakeBitmap(b, 8, 8, clWhite);
  HDC dc = b.Canvas().Handle();
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  RECT all{0, 0, 8, 8};
  FillRect(dc, &all, GetHalftoneBrush());
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 0, 0));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(b, 1, 0));
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 1, 1));
  EXPECT_EQ(GetHalftoneBrush(), GetHalftoneBrush());  // cached
  MakeBitmap(b, 20, 20, clWhite);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  PaintShadowEdges(b.Canvas().Handle(), RECT{2, 2, 20, 20}, 2, black);
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 5, 19));   // bottom strip
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 19, 5));   // right strip
  EXPECT_EQ(RGB(255, 255, 255), Pixel(b, 5, 5));
  EXPECT_EQ(static_cast<COLORREF>(CLR_NONE), ColorToImageListColor(clNone));
  EXPECT_EQ(static_cast<COLORREF>(CLR_DEFAULT), ColorToImageListColor(clDefault));
  EXPECT_EQ(RGB(1, 2, 3), ColorToImageListColor(0x030201));
}

}  // namespace inplace_test
