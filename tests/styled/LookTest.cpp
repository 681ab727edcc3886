// The look mode through the theme switch and the version override, the
// substitute colours and their recolouring after a system colour change,
// control metrics, caption drawing and measuring, and the glyph-and-caption
// layout of buttons.
#include <gtest/gtest.h>

#include "Forms.h"
#include "StyledTest.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPGraphics.h"

using namespace tvk;
namespace styled_test {

namespace {

// Puts the theme switch, the version and the substitute colours back.
struct LookMode : ::testing::Test {
  ~LookMode() override {
    ThemeServices().SetThemesSwitchedOff(false);
    ClearWin32VersionOverride();
    UpdateSubstColors();
  }
  static void Classic() { ThemeServices().SetThemesSwitchedOff(true); }
  static void EmulatedXP() {
    ThemeServices().SetThemesSwitchedOff(true);
    OverrideWin32Version(5, 0);
  }
};

TEST_F(LookMode, ComesFromTheThemesAndTheWindowsVersionAtEveryCall) {
  EXPECT_EQ(2, GetThemeMode());  // Wine: a themed Windows 6.1
  Classic();
  EXPECT_EQ(0, GetThemeMode());
  struct {
    int Major, Minor, Mode;
  } versions[] = {{4, 0, 1}, {5, 0, 1}, {5, 1, 0}, {6, 0, 0}, {10, 0, 0}};
  for (const auto& v : versions) {
    OverrideWin32Version(v.Major, v.Minor);
    EXPECT_EQ(v.Mode, GetThemeMode()) << v.Major << "." << v.Minor;
  }
  ThemeServices().SetThemesSwitchedOff(false);
  EXPECT_EQ(2, GetThemeMode());  // themes win whatever the version
}

TEST_F(LookMode, SubstituteColoursAreTheEmulatedLooksOrTheSystemColours) {
  EmulatedXP();
  UpdateSubstColors();
  const std::pair<TColor*, TColor> emulated[] = {
      {&SubstWindowColor, 0xFFFFFF},     {&SubstBtnFaceColor, 0xDEEBEF},      {&SubstHighlightColor, 0xC56A31},
      {&SubstHighlightTextColor, 0xFFFFFF}, {&SubstBtnShadowColor, 0xBFC3C4}, {&SubstBtnHighlightColor, 0xEDF1F1},
      {&SubstGrayTextColor, 0x92A1A1}};
  for (const auto& [variable, value] : emulated) EXPECT_EQ(value, *variable);
  Classic();
  OverrideWin32Version(6, 1);
  UpdateSubstColors();
  EXPECT_EQ(clWindow, SubstWindowColor);
  EXPECT_EQ(clBtnFace, SubstBtnFaceColor);
  EXPECT_EQ(clGrayText, SubstGrayTextColor);
}

TEST_F(LookMode, MetricsAreReadFromTheSystem) {
  HBITMAP boxes = LoadBitmapW(nullptr, MAKEINTRESOURCEW(32759));  // OBM_CHECKBOXES
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(boxes, sizeof bm, &bm));
  DeleteObject(boxes);
  POINT size{};
  GetSystemCheckSize(size);
  EXPECT_EQ(bm.bmWidth / 4, size.x);
  EXPECT_EQ(bm.bmHeight / 3, size.y);
  EXPECT_EQ(GetSystemMetrics(SM_CXHSCROLL), GetScrollBarSize());  // not look mode 1 at start-up
}

TEST_F(LookMode, MonochromeSkinsAreRecolouredAndPreparedAgainOnASystemColourChange) {
  std::unique_ptr<TAlphaImage> image;
  CreateAndPrepareAlphaImage(image, L"STDSCROLLPATTERN");
  ASSERT_TRUE(image);
  auto* p = static_cast<std::uint32_t*>(image->Bits());
  auto rgb = [](TColor c) {
    COLORREF v = ColorToRGB(c);
    return 0xFF000000u | GetRValue(v) << 16 | GetGValue(v) << 8 | GetBValue(v);
  };
  EXPECT_EQ(rgb(clBtnFace), p[0]);       // silver
  EXPECT_EQ(rgb(clBtnHighlight), p[1]);  // white
  HWND listener = TXPControlManager::ListenerWindow();
  ASSERT_NE(nullptr, listener);
  // Top-level, so that the system's broadcast reaches it.
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(listener, GA_PARENT));

  p[0] = p[1] = 0xFF123456u;  // as if the colours had changed
  EmulatedXP();               // and the look with them, substitute colours not yet updated
  EXPECT_EQ(clBtnFace, SubstBtnFaceColor);
  SendMessageW(listener, WM_SYSCOLORCHANGE, 0, 0);
  p = static_cast<std::uint32_t*>(image->Bits());
  EXPECT_EQ(rgb(clBtnFace), p[0]);
  EXPECT_EQ(rgb(clBtnHighlight), p[1]);
  EXPECT_EQ(TColor(0xDEEBEF), SubstBtnFaceColor);

  int prepared = TXPControlManager::PreparedImageCount();
  TXPControlManager::ForgetAlphaImage(image.get());
  EXPECT_EQ(prepared - 1, TXPControlManager::PreparedImageCount());
}

TEST_F(LookMode, APlainCaptionBelowItsRectangleStaysAtTheTop) {
  TBitmap b;
  MakeCanvas(b, 200, 60, clWhite);
  TFont font;
  font.SetHeight(-16);
  DrawXPCaptionDC(b.Canvas().Handle(), RECT{10, 20, 190, 26}, L"Caption", font, clBlack, TAlignment::taLeftJustify,
                  TTextLayout::tlBottom, dcfNoClipping, TEllipsisPosition::epNone);
  EXPECT_NEAR(20, InkBox(b, clWhite).top, 4);
  MakeCanvas(b, 200, 60, clWhite);
  DrawXPCaptionDC(b.Canvas().Handle(), RECT{10, 0, 190, 60}, L"Caption", font, clBlack, TAlignment::taRightJustify,
                  TTextLayout::tlBottom, 0, TEllipsisPosition::epNone);
  RECT box = InkBox(b, clWhite);
  EXPECT_GT(box.top, 35);
  EXPECT_GT(box.left, 100);
  EXPECT_LE(box.right, 191);
}

TEST_F(LookMode, VerticalCaptionsReadTopToBottomClockwiseAndBottomToTopOtherwise) {
  TFont font;
  font.SetHeight(-16);
  for (bool smooth : {false, true}) {
    for (bool clockwise : {true, false}) {
      TBitmap b;
      MakeCanvas(b, 60, 160, clWhite);
      TXPDrawCaptionFlags flags = dcfVertical | (clockwise ? unsigned(dcfVertClockwise) : 0u) |
                                  (smooth ? unsigned(dcfSmoothText) : 0u);
      DrawXPCaption(b.Canvas(), RECT{10, 10, 50, 150}, L"MMMM....", font, clDefault, TAlignment::taLeftJustify,
                    TTextLayout::tlTop, flags, TEllipsisPosition::epNone, 100);
      RECT box = InkBox(b, clWhite);
      ASSERT_GT(box.bottom - box.top, box.right - box.left) << smooth << clockwise;
      int half = (box.top + box.bottom) / 2;
      int upper = InkIn(b, clWhite, RECT{0, box.top, 60, half}), lower = InkIn(b, clWhite, RECT{0, half, 60, box.bottom});
      EXPECT_EQ(clockwise, upper > lower) << "smooth " << smooth << " clockwise " << clockwise << " box " << box.left << "," << box.top << "," << box.right << "," << box.bottom << " " << upper << "/" << lower;
      // Both renderers start the text where its reading starts.
      if (clockwise) EXPECT_LE(box.top, 14) << smooth;
      else EXPECT_GE(box.bottom, 146) << smooth;
    }
  }
}

TEST_F(LookMode, MeasuringSwapsTheSizesOfVerticalCaptions) {
  TBitmap b;
  MakeCanvas(b, 10, 10, clWhite);
  TFont font;
  font.SetHeight(-16);
  for (TXPDrawCaptionFlags smooth : {0u, unsigned(dcfSmoothText)}) {
    POINT flat{}, turned{};
    MeasureXPCaption(b.Canvas(), RECT{0, 0, 300, 100}, L"&Caption", font, smooth, TEllipsisPosition::epNone, 100, flat);
    MeasureXPCaption(b.Canvas(), RECT{0, 0, 300, 100}, L"&Caption", font, smooth | dcfVertical,
                     TEllipsisPosition::epNone, 100, turned);
    EXPECT_GT(flat.x, flat.y);
    EXPECT_EQ(flat.x, turned.y) << smooth;
    EXPECT_EQ(flat.y, turned.x) << smooth;
    POINT withMark{};
    MeasureXPCaption(b.Canvas(), RECT{0, 0, 300, 100}, L"&Caption", font, smooth | dcfNoPrefix,
                     TEllipsisPosition::epNone, 100, withMark);
    EXPECT_GT(withMark.x, flat.x) << smooth;  // the mark takes room only when shown
  }
}

TEST_F(LookMode, GlyphAndCaptionLayout) {
  const RECT client{10, 20, 110, 60};  // 100 x 40
  const POINT glyph{16, 16}, caption{40, 13};
  POINT g{};
  RECT t{};
  // Margin and spacing -1: three equal gaps.
  CalcGlyphCaptionLayoutSized(client, caption, glyph, TButtonLayout::blGlyphLeft, -1, -1, g, t);
  int gap1 = g.x - client.left, gap2 = t.left - (g.x + glyph.x), gap3 = client.right - t.right;
  EXPECT_EQ(gap1, gap2);
  EXPECT_LE(std::abs(gap3 - gap1), 2);
  EXPECT_EQ(20 + (40 - 16 + 1) / 2, g.y);
  EXPECT_EQ(20 + (40 - 13) / 2, t.top);
  EXPECT_EQ(40, t.right - t.left);
  // A fixed margin and spacing, the glyph on the right.
  CalcGlyphCaptionLayoutSized(client, caption, glyph, TButtonLayout::blGlyphRight, 4, 2, g, t);
  EXPECT_EQ(110 - 4 - 16, g.x);
  EXPECT_EQ(g.x - 2 - 40, t.left);
  // Centred together with a spacing, the glyph on top.
  CalcGlyphCaptionLayoutSized(client, caption, glyph, TButtonLayout::blGlyphTop, -1, 3, g, t);
  EXPECT_EQ(20 + (40 - (16 + 3 + 13)) / 2, g.y);
  EXPECT_EQ(g.y + 16 + 3, t.top);
  EXPECT_EQ(10 + (100 - 16 + 1) / 2, g.x);
  // Without a caption there is no spacing.
  CalcGlyphCaptionLayoutSized(client, POINT{0, 0}, glyph, TButtonLayout::blGlyphBottom, 5, 10, g, t);
  EXPECT_EQ(60 - 5 - 16, g.y);
  EXPECT_EQ(g.y, t.top);
  // Measured captions follow the font.
  TBitmap b;
  MakeCanvas(b, 10, 10, clWhite);
  TFont font;
  CalcGlyphCaptionLayout(b.Canvas(), client, font, L"&OK", glyph, TButtonLayout::blGlyphLeft, -1, -1, 0, g, t);
  EXPECT_GT(t.right - t.left, 5);
  EXPECT_GT(t.left, g.x + glyph.x);
}

// A panel painting stripes, holding a control that shows what lies behind it.
class Stripes : public TCustomControl {
public:
  TVK_CLASS(Stripes, TCustomControl)
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    for (int x = 0; x < ClientWidth(); x += 4) {
      Canvas().Brush().SetColor(x % 8 ? clBlue : clYellow);
      Canvas().FillRect(RECT{x, 0, x + 4, ClientHeight()});
    }
  }
};

TEST_F(LookMode, ParentBackgroundPaintsThePartOfTheParentBehindTheControl) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* parent = new Stripes(form.get());
  parent->SetParent(form.get());
  parent->SetBounds(0, 0, 80, 40);
  auto* child = new TCustomControl(form.get());
  child->SetParent(parent);
  child->SetBounds(6, 5, 20, 10);
  form->HandleNeeded();
  TBitmap b;
  MakeCanvas(b, 20, 10, clWhite);
  DrawParentBackground(*child, b.Canvas().Handle(), nullptr);
  for (int x = 0; x < 20; ++x) EXPECT_EQ((x + 6) % 8 < 4 ? clYellow : clBlue, PixelAt(b, x, 3)) << x;
  RECT part{0, 0, 5, 10};
  MakeCanvas(b, 20, 10, clWhite);
  DrawParentBackground(*child, b.Canvas().Handle(), &part);
  EXPECT_EQ(clWhite, PixelAt(b, 10, 3));  // outside the rectangle nothing is drawn
  EXPECT_NE(clWhite, PixelAt(b, 2, 3));
  TCustomControl orphan(nullptr);
  EXPECT_NO_THROW(DrawParentBackground(orphan, b.Canvas().Handle(), nullptr));
  EXPECT_EQ(clBtnFace, ParentOrOwnColor(orphan));
  parent->SetColor(clRed);
  EXPECT_EQ(clRed, ParentOrOwnColor(*child));
  EXPECT_TRUE(IsGraphicEmpty(nullptr));
  EXPECT_TRUE(IsGraphicEmpty(&b) == false);
}

TEST_F(LookMode, ACapturedControlImageIsItsPrintedClientArea) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* stripes = new Stripes(form.get());
  stripes->SetParent(form.get());
  stripes->SetBounds(0, 0, 24, 12);
  form->HandleNeeded();
  TBitmap shot;
  CaptureControlImage(*stripes, shot);  // asks for visible windows only
  EXPECT_EQ(clBlack, PixelAt(shot, 1, 5));
  form->Show();
  CaptureControlImage(*stripes, shot);
  EXPECT_EQ(TPixelFormat::pf32bit, shot.PixelFormat());
  ASSERT_EQ(24, shot.Width());
  ASSERT_EQ(12, shot.Height());
  EXPECT_EQ(clYellow, PixelAt(shot, 1, 5));
  EXPECT_EQ(clBlue, PixelAt(shot, 5, 5));
  form->Hide();
}

}  // namespace

}  // namespace styled_test
