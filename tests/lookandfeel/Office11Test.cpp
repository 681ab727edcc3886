// The Office 2003 scheme: detection by visual style, the scheme and classic
// colours, colour mixing, band and Office gradients, and the size grip's dots.
#include "LookAndFeelTest.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"

#include <array>
#include <set>
#include <string>

using namespace tvk;

namespace {

std::wstring gColorName;
HRESULT WINAPI StandInThemeName(LPWSTR file, int fileChars, LPWSTR color, int colorChars, LPWSTR, int) {
  lstrcpynW(file, L"C:\\Themes\\any.msstyles", fileChars);
  lstrcpynW(color, gColorName.c_str(), colorChars);
  return S_OK;
}

class Office11 : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    LookAndFeel::SetUp();
    FBitmap.SetPixelFormat(TPixelFormat::pf32bit);
  }
  void TearDown() override {
    SetGradientFillBound(true);
    LookAndFeel::TearDown();
  }
  HDC Surface(int w, int h) {
    FBitmap.SetSize(w, h);
    FBitmap.Canvas().Brush().SetColor(clWhite);
    FBitmap.Canvas().FillRect(RECT{0, 0, w, h});
    return FBitmap.Canvas().Handle();
  }
  TColor At(int x, int y) { return FBitmap.Canvas().Pixel(x, y); }
  TBitmap FBitmap;
};

}  // namespace

TEST(Office11Scheme, DetectedByFileColourNameAndVersion) {
  struct {
    int Major;
    const wchar_t* File;
    const wchar_t* Color;
    int Scheme;
  } const cases[] = {
      {5, L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 1},
      {5, L"C:\\x\\luna.MSSTYLES", L"Homestead", 2},
      {5, L"C:\\x\\Luna.msstyles", L"Metallic", 3},
      {5, L"C:\\x\\Royale.msstyles", L"NormalColor", 0},
      {6, L"C:\\x\\aero.msstyles", L"normalcolor", 1},
      {10, L"C:\\x\\light.msstyles", L"Blue", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Scheme, DetectOffice11Scheme(c.File, c.Color, c.Major)) << c.File << c.Color;
}

TEST_F(Office11, ASchemeFromTheVisualStyleAndTheClassicColoursOtherwise) {
  // Wine's style ("Blue") gives the classic column.
  CalculateOffice11Colors();
  EXPECT_EQ(0, GetOffice11ColorScheme());
  EXPECT_FALSE(IsOffice11Themed());
  EXPECT_EQ(clBtnFace, Office11SchemeColor(3));
  EXPECT_EQ(Office11SchemeColor(7), Office11SchemeColor(8)) << "as 7";
  EXPECT_EQ(Office11SchemeColor(38), Office11SchemeColor(48)) << "as 38";
  EXPECT_EQ(clHighlightText, Office11SchemeColor(49));
  EXPECT_EQ(75, Office11GradientMidPercent());

  const TUxThemeEntries real = UxThemeEntries();
  UxThemeEntries().Entry[uxGetCurrentThemeName] = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&StandInThemeName));
  struct {
    const wchar_t* Color;
    int Scheme, Mid;
    TColor First, Twelfth;
  } const schemes[] = {
      {L"NormalColor", 1, 41, 0xFEECDD, 0xE0A47B},
      {L"HomeStead", 2, 125, 0xDEF7F4, 0x8FC4B5},
      {L"METALLIC", 3, 40, 0xFAF4F3, 0xB09193},
  };
  for (const auto& s : schemes) {
    gColorName = s.Color;
    CalculateOffice11Colors();
    EXPECT_EQ(s.Scheme, GetOffice11ColorScheme()) << s.Color;
    EXPECT_TRUE(IsOffice11Themed());
    EXPECT_EQ(s.Mid, Office11GradientMidPercent());
    EXPECT_EQ(s.First, Office11SchemeColor(1));
    EXPECT_EQ(s.Twelfth, Office11SchemeColor(12));
    EXPECT_EQ(TColor(0x8D8D8D), Office11SchemeColor(32));
  }
  UxThemeEntries() = real;
  CalculateOffice11Colors();
}

TEST_F(Office11, ColourMixingCapsAndScales) {
  EXPECT_EQ(TColor(0xFFFFFF), BlendColorsByPercent(clWhite, clWhite, 50)) << "128 + 128 is capped at 255";
  EXPECT_EQ(TColor(0x000000), BlendColorsByPercent(clBlack, clBlack, 30));
  EXPECT_EQ(TColor(0x326480), ScaleColorByPercent(TColor(0x64C8FF), 50));  // 255 / 2 = 127.5 to the nearest even
}

TEST_F(Office11, BandGradientsWithoutTheSystemRoutine) {
  SetGradientFillBound(false);
  struct {
    int Extent, Bands;
  } const cases[] = {{600, 256}, {100, 100}};
  for (const auto& c : cases) {
    HDC dc = Surface(c.Extent, 1);
    FillGradientRect(dc, RECT{0, 0, c.Extent, 1}, clBlack, TColor(0x0000FF), true);
    std::set<TColor> colors;
    for (int x = 0; x < c.Extent; ++x) colors.insert(At(x, 0));
    EXPECT_EQ(std::size_t(c.Bands), colors.size()) << c.Extent;
    EXPECT_EQ(clBlack, At(0, 0));
    EXPECT_EQ(TColor(0x0000FF), At(c.Extent - 1, 0));
  }
  // One band is the first colour; no channel runs below 0 into its neighbour.
  HDC dc = Surface(4, 4);
  FillGradientRect(dc, RECT{0, 0, 4, 1}, TColor(0x102000), TColor(0xFFFFFF), false);
  EXPECT_EQ(TColor(0x102000), At(0, 0));
  EXPECT_EQ(TColor(0x102000), At(3, 0));
  FillGradientRect(dc, RECT{0, 2, 4, 4}, clRed, TColor(0x0000FF), true);
  EXPECT_EQ(clRed, At(3, 3)) << "equal colours: a plain fill";
}

TEST_F(Office11, OfficeGradientsOneAndTwoDeep) {
  // The classic middle percentage (75): M = 200 - MulDiv(200, 75, 200) = 125.
  const TColor c1 = 0xC8C8C8, middle = 0x7D7D7D;
  HDC dc = Surface(4, 4);
  FillOffice11Gradient(dc, RECT{0, 0, 4, 1}, c1, clBlack, false);
  EXPECT_EQ(middle, At(0, 0));
  FillOffice11Gradient(dc, RECT{0, 1, 4, 3}, c1, clBlack, false);
  EXPECT_EQ(c1, At(0, 1));
  EXPECT_EQ(middle, At(0, 2));
  HDC wide = Surface(9, 1);
  FillOffice11Gradient(wide, RECT{0, 0, 9, 1}, c1, clBlack, true);
  EXPECT_EQ(clBlack, At(8, 0)) << "from three on the last line is the second colour";
  EXPECT_EQ(middle, At(4, 0));
}

TEST_F(Office11, TheSizeGripHasRowsOfThreeTwoAndOneDots) {
  HDC dc = Surface(20, 20);
  DrawOffice11SizeGrip(dc, RECT{0, 0, 20, 20}, clRed, clBlue);
  struct {
    int X, Y;
    TColor Expected;
  } const pixels[] = {
      {8, 17, clRed},  {12, 17, clRed}, {16, 17, clRed}, {10, 19, clBlue}, {12, 13, clRed}, {16, 13, clRed},
      {16, 9, clRed},  {8, 13, clWhite}, {12, 9, clWhite}, {7, 17, clWhite},
  };
  for (const auto& p : pixels) EXPECT_EQ(p.Expected, At(p.X, p.Y)) << p.X << "," << p.Y;
  int dark = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) dark += At(x, y) == clRed;
  EXPECT_EQ(6 * 4, dark) << "six dots of 2 x 2";
}

namespace {

// Sets the button face and text colours, and puts them back.
class TButtonColors {
public:
  TButtonColors(COLORREF AFace, COLORREF AText) : FOld{GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)} {
    Set({AFace, AText});
  }
  ~TButtonColors() { Set(FOld); }
  TButtonColors(const TButtonColors&) = delete;
  TButtonColors& operator=(const TButtonColors&) = delete;

private:
  static void Set(const std::array<COLORREF, 2>& AColors) {
    const INT elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    SetSysColors(2, elements, AColors.data());
  }
  std::array<COLORREF, 2> FOld;
};

}  // namespace

// The Office frame takes the highlight text colour on a black button face,
// whatever the button text; colour 22 otherwise.
TEST_F(Office11, TheOfficeFrameOnABlackFaceTakesTheHighlightTextColour) {
  const struct {
    COLORREF Face, Text;
    bool BlackFace, BlackScheme;
  } cases[] = {
      {RGB(0xD4, 0xD0, 0xC8), RGB(0, 0, 0), false, false},
      {RGB(0, 0, 0), RGB(0xFF, 0xFF, 0xFF), true, false},  // a black face alone
      {RGB(0, 0, 0), RGB(0xFF, 0xFF, 0x00), true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.Face << " " << c.Text);
    TButtonColors colors(c.Face, c.Text);
    EXPECT_EQ(c.BlackFace, IsBlackButtonFace());
    EXPECT_EQ(c.BlackScheme, IsBlackFaceScheme());
    const TColor frame = TColor(ColorToRGB(c.BlackFace ? clHighlightText : Office11SchemeColor(22)));
    HDC dc = Surface(5, 4);
    FrameOffice11Rect(dc, RECT{0, 0, 5, 4});
    for (const POINT p : {POINT{0, 0}, POINT{4, 3}, POINT{2, 0}, POINT{0, 2}}) EXPECT_EQ(frame, At(p.x, p.y));
    EXPECT_EQ(clWhite, At(2, 2)) << "the inside stays";
    FrameRectByColor(dc, RECT{1, 1, 4, 3}, clRed);
    EXPECT_EQ(clRed, At(1, 1));
    EXPECT_EQ(clRed, At(3, 2));
  }
}

// The brushes and bitmaps live while the colours have users, and a refresh
// remakes them with the current colours.
TEST_F(Office11, BrushesAndBitmapsLiveWhileTheColoursAreUsed) {
  ASSERT_EQ(0, Office11ColorsRefCount());
  EXPECT_EQ(nullptr, Office11SchemeBrush(13));
  EXPECT_EQ(nullptr, Office11SubMenuExpandBitmap());
  AddOffice11ColorsRef();
  AddOffice11ColorsRef();
  const auto brushColor = [](HBRUSH brush) {
    LOGBRUSH info{};
    GetObjectW(brush, sizeof info, &info);
    return info.lbColor;
  };
  for (int k : {13, 14, 15, 16, 19, 20, 21, 22, 27, 28, 29, 30}) {
    ASSERT_NE(nullptr, Office11SchemeBrush(k)) << k;
    EXPECT_EQ(ColorToRGB(Office11SchemeColor(k)), brushColor(Office11SchemeBrush(k))) << k;
  }
  EXPECT_EQ(nullptr, Office11SchemeBrush(1)) << "no brush of its own";
  EXPECT_EQ(ColorToRGB(Office11BlendColor(3)), brushColor(Office11BlendBrush()));
  for (TBitmap* bitmap :
       {Office11SubMenuExpandBitmap(), Office11ExpandButtonBitmap(true), Office11ExpandButtonBitmap(false)}) {
    ASSERT_NE(nullptr, bitmap);
    EXPECT_FALSE(bitmap->Empty());
  }
  RefreshOffice11Colors();
  EXPECT_EQ(ColorToRGB(Office11SchemeColor(22)), brushColor(Office11SchemeBrush(22)));
  ReleaseOffice11ColorsRef();
  EXPECT_NE(nullptr, Office11SchemeBrush(13)) << "one user left";
  ReleaseOffice11ColorsRef();
  EXPECT_EQ(nullptr, Office11SchemeBrush(13));
  EXPECT_EQ(nullptr, Office11BlendBrush());
  EXPECT_EQ(nullptr, Office11ExpandButtonBitmap(true));
  ReleaseOffice11ColorsRef();
  EXPECT_EQ(0, Office11ColorsRefCount()) << "never below none";
}

// Shades between colour 1 (the largest red) and colour 2 (the smallest); the
// background and black stay. One red value throughout takes colour 2.
TEST_F(Office11, TheSubmenuArrowIsRecolouredByItsRedValues) {
  const TColor first = Office11SchemeColor(1), second = Office11SchemeColor(2);
  ASSERT_NE(ColorToRGB(first), ColorToRGB(second));
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf24bit);
  bitmap.SetSize(5, 1);
  const COLORREF pixels[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(10, 0, 0), RGB(20, 0, 0), RGB(30, 0, 0)};
  for (int x = 0; x < 5; ++x) bitmap.Canvas().SetPixel(x, 0, TColor(pixels[x]));
  RecolorOffice11Bitmap(bitmap);
  const TColor want[] = {clWhite, clBlack, TColor(ColorToRGB(BlendColorsByPercent(first, second, 0))),
                         TColor(ColorToRGB(BlendColorsByPercent(first, second, 50))),
                         TColor(ColorToRGB(BlendColorsByPercent(first, second, 100)))};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(want[x], bitmap.Canvas().Pixel(x, 0)) << x;

  bitmap.SetSize(3, 1);
  for (int x = 0; x < 3; ++x) bitmap.Canvas().SetPixel(x, 0, TColor(x == 0 ? RGB(255, 255, 255) : RGB(40, 5, 5)));
  RecolorOffice11Bitmap(bitmap);
  EXPECT_EQ(TColor(ColorToRGB(BlendColorsByPercent(first, second, 0))), bitmap.Canvas().Pixel(2, 0));
}
