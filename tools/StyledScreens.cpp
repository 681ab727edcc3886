// Renders the styled controls' foundation in look modes 0, 1 and 2 into PNG
// files: captions (plain, smooth, turned, disabled, shortened), gradients by
// both implementations, nine-grid skins, and a transparent control with a
// printed frame over a patterned parent.
//
// usage: styled_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "Forms.h"
#include "ModuleInit.h"
#include "PngImage.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPControls.h"
#include "XPGraphics.h"
#include "ScreenshotImages.h"

#include <objbase.h>

#include <cstdio>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {
    TVK_STYLED_CONTROLS_STEPS
};

// A parent painting diagonal stripes.
class Pattern : public TCustomControl {
public:
  TVK_CLASS(Pattern, TCustomControl)
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    for (int y = 0; y < ClientHeight(); ++y)
      for (int x = 0; x < ClientWidth(); ++x)
        Canvas().SetPixel(x, y, ((x + y) / 6) % 2 ? TColor(0x3070D0) : TColor(0xF0E0C0));
  }
};

// A transparent styled control: a framed caption over whatever lies behind it.
class Badge : public TXPCustomTransparentControl {
public:
  TVK_CLASS(Badge, TXPCustomTransparentControl)
  using TXPCustomTransparentControl::TXPCustomTransparentControl;

protected:
  void CreateParams(TCreateParams& params) override {
    TXPCustomTransparentControl::CreateParams(params);
    params.Style |= WS_BORDER;
  }
  void Paint() override {
    DrawXPCaption(Canvas(), RECT{0, 0, ClientWidth(), ClientHeight()}, L"&Transparent", Font(), clBlack,
                  TAlignment::taCenter, TTextLayout::tlCenter, dcfSmoothText, TEllipsisPosition::epNone, 100);
  }
  TVK_MESSAGES();
  // The frame, painted through GetWindowDC as the styled controls paint theirs.
  void WMNCPaint(TMessage& message) {
    HDC dc = GetWindowDC(Handle());
    RECT r{0, 0, Width(), Height()};
    HBRUSH brush = CreateSolidBrush(ColorToRGB(SubstHighlightColor));
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(Handle(), dc);
    message.Result = 0;
  }
};

TVK_MESSAGE_MAP(Badge, {WM_NCPAINT, &Badge::WMNCPaint})

void Label(TCanvas& canvas, int x, int y, const wchar_t* text) {
  TFont font;
  font.SetStyle(fsBold);
  DrawXPCaption(canvas, RECT{x, y, x + 300, y + 16}, text, font, clBtnText, TAlignment::taLeftJustify,
                TTextLayout::tlTop, dcfNoPrefix, TEllipsisPosition::epNone, 100);
}

void DrawCaptions(TCanvas& c) {
  Label(c, 10, 8, L"Captions");
  TFont font;
  font.SetHeight(-14);
  const struct {
    const wchar_t* Text;
    TXPDrawCaptionFlags Flags;
    TEllipsisPosition Ellipsis;
  } rows[] = {
      {L"Plain GDI &caption", dcfFocusRect, TEllipsisPosition::epNone},
      {L"Smooth &caption", dcfSmoothText, TEllipsisPosition::epNone},
      {L"Disabled caption", dcfSunkenDisabled, TEllipsisPosition::epNone},
      {L"Smooth disabled", dcfSmoothText | dcfSunkenDisabled, TEllipsisPosition::epNone},
      {L"A caption far too long for its place", dcfSmoothText, TEllipsisPosition::epEndEllipsis},
      {L"C:\\Program Files\\Tools\\flash.cfg", 0, TEllipsisPosition::epPathEllipsis},
  };
  int y = 28;
  for (const auto& r : rows) {
    RECT box{10, y, 190, y + 20};
    c.Brush().SetColor(SubstWindowColor);
    c.FillRect(box);
    DrawXPCaption(c, box, r.Text, font, clWindowText, TAlignment::taLeftJustify, TTextLayout::tlCenter,
                  r.Flags, r.Ellipsis, 100);
    y += 24;
  }
  const TXPDrawCaptionFlags turned[] = {dcfVertical | dcfVertClockwise, dcfVertical,
                                        dcfVertical | dcfVertClockwise | dcfSmoothText, dcfVertical | dcfSmoothText};
  int x = 200;
  for (TXPDrawCaptionFlags f : turned) {
    RECT box{x, 28, x + 22, 168};
    c.Brush().SetColor(SubstWindowColor);
    c.FillRect(box);
    DrawXPCaption(c, box, L"Turned text", font, clWindowText, TAlignment::taLeftJustify, TTextLayout::tlCenter, f,
                  TEllipsisPosition::epNone, 100);
    x += 28;
  }
}

void DrawGradients(TCanvas& c) {
  Label(c, 320, 8, L"Gradients (GradientFill, fallback)");
  HDC dc = c.Handle();
  TImgLibManager::GradientFillGradient(dc, RECT{320, 28, 470, 52}, SubstHighlightColor, SubstWindowColor, true);
  TImgLibManager::FallbackGradient(dc, RECT{320, 56, 470, 80}, SubstHighlightColor, SubstWindowColor, true);
  TImgLibManager::GradientFillGradient(dc, RECT{480, 28, 520, 130}, clBtnShadow, SubstBtnFaceColor, false);
  TImgLibManager::FallbackGradient(dc, RECT{530, 28, 570, 130}, clBtnShadow, SubstBtnFaceColor, false);
  TImgLibManager::GradientFillBiGradient(dc, RECT{320, 86, 390, 130}, clWhite, SubstHighlightColor, 0, 0.5f, 0.5f, 1);
  TImgLibManager::FallbackBiGradient(dc, RECT{400, 86, 470, 130}, clWhite, SubstHighlightColor, 0, 0.5f, 0.5f, 1);
}

void DrawSkins(TCanvas& c) {
  Label(c, 10, 178, L"Nine-grid skins");
  static constexpr TSkinRow kRows[] = {{L"SCROLLARROWS", TSkinKind::skBitmapHandle},
                                       {L"TABPANEEDGE", TSkinKind::skAlphaImage}};
  TSkinCache skins(kRows);
  HDC dc = c.Handle();
  // Each state cell of the arrow skin, stretched with its 3-pixel corners kept.
  for (int state = 0; state < 4; ++state)
    DrawSkinBitmap(RECT{10 + state * 75, 198, 80 + state * 75, 222}, RECT{3, 3, 14, 14},
                   RECT{0, state * 17, 17, state * 17 + 17}, dc, skins.BitmapHandle(0), false);
  DrawSkinBitmap(RECT{10, 232, 290, 330}, RECT{6, 6, 42, 42}, RECT{0, 0, 48, 48}, dc, skins.AlphaImage(1).Handle(),
                 true);
  skins.Release();
}

void DrawTransparentControl(TCanvas& c) {
  Label(c, 320, 178, L"Transparent control over a pattern");
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* parent = new Pattern(form.get());
  parent->SetParent(form.get());
  parent->SetBounds(0, 0, 250, 130);
  auto* badge = new Badge(form.get());
  badge->SetParent(parent);
  badge->SetBounds(40, 35, 170, 60);
  badge->Font().SetHeight(-18);
  form->HandleNeeded();
  HDC dc = c.Handle();
  SaveDC(dc);
  MoveWindowOrg(dc, 320, 198);
  SendMessageW(parent->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  MoveWindowOrg(dc, badge->Left(), badge->Top());
  SendMessageW(badge->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  RestoreDC(dc, -1);
}

void SetLookMode(int mode) {
  ThemeServices().SetThemesSwitchedOff(mode != 2);
  if (mode == 1) OverrideWin32Version(5, 0);
  else ClearWin32VersionOverride();
  UpdateSubstColors();
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "styled_screens", kSteps, [](const std::string& folder) {
    for (int mode = 0; mode <= 2; ++mode) {
      SetLookMode(mode);
      TBitmap shot;
      shot.SetPixelFormat(TPixelFormat::pf32bit);
      shot.SetSize(590, 340);
      TCanvas& c = shot.Canvas();
      c.Brush().SetColor(SubstBtnFaceColor);
      c.FillRect(RECT{0, 0, 590, 340});
      DrawCaptions(c);
      DrawGradients(c);
      DrawSkins(c);
      DrawTransparentControl(c);
      const std::string file = "styled_lookmode" + std::to_string(mode) + ".png";
      SavePng(shot, folder, file.c_str(),
              ("look mode " + std::to_string(mode) + " (GetThemeMode " + std::to_string(int(GetThemeMode())) + ")").c_str());
    }
  }, [] { SetLookMode(2); });
}
