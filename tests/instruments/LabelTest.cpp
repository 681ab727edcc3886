// The styled label: the reveal hint, orientation swaps, the disabled looks,
// links and hot tracking that puts back what was set from outside.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "Shell.h"
#include "XPLabels.h"

using namespace tvk;
namespace instrument_test {

namespace {

struct XPLabel : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TXPLabel* L = new TXPLabel(Form.get());
  int Clicks = 0;
  XPLabel() {
    L->SetCaption(L"A caption of some length");
    L->SetParent(Form.get());
    L->OnClick = [this](TObject*) { ++Clicks; };
  }
};

TEST_F(XPLabel, RevealHintOnlyWhenTooNarrow) {
  L->SetRevealCaptionInHint(true);
  L->Perform(CM_MOUSEENTER);
  EXPECT_EQ(L->RevealHintWindow(), nullptr);  // auto-sized: the caption fits
  L->Perform(CM_MOUSELEAVE);
  L->SetAutoSize(false);
  L->SetBounds(10, 10, 30, 15);
  L->Perform(CM_MOUSEENTER);
  ASSERT_NE(L->RevealHintWindow(), nullptr);
  EXPECT_EQ(L->RevealHintWindow()->ALabel, L);
  EXPECT_EQ(L->RevealHintWindow()->Caption(), L->Caption());
  EXPECT_GT(L->RevealHintWindow()->Width(), 30);
  L->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(L->RevealHintWindow(), nullptr);
}

TEST_F(XPLabel, OrientationSwapsSidesBetweenHorizontalAndVertical) {
  L->SetAutoSize(false);
  L->SetBounds(0, 0, 120, 20);
  L->SetOrientation(TXPTextOrientation::xtoVertical);
  EXPECT_EQ(L->Width(), 20);
  EXPECT_EQ(L->Height(), 120);
  L->SetOrientation(TXPTextOrientation::xtoVerticalClockwise);
  EXPECT_EQ(L->Width(), 20);
  EXPECT_EQ(L->Height(), 120);
  EXPECT_EQ(L->CaptionFlags() & (dcfVertical | dcfVertClockwise), unsigned(dcfVertical | dcfVertClockwise));
}

TEST_F(XPLabel, DisabledLooks) {
  L->SetSmoothDraw(true);
  EXPECT_TRUE(L->CaptionFlags() & dcfSmoothText);
  L->SetEnabled(false);
  // Disabled: sunken, and drawn with plain GDI text even when smooth.
  EXPECT_TRUE(L->CaptionFlags() & dcfSunkenDisabled);
  EXPECT_FALSE(L->CaptionFlags() & dcfSmoothText);
  L->SetSunkenDisabled(false);
  EXPECT_FALSE(L->CaptionFlags() & dcfSunkenDisabled);
  // A glyph is greyed for the disabled state.
  TPicture picture;
  TBitmap& b = picture.Bitmap();
  b.SetSize(8, 8);
  b.Canvas().Brush().SetColor(clRed);
  b.Canvas().FillRect(RECT{0, 0, 8, 8});
  L->SetGlyph(picture);
  auto* grey = dynamic_cast<TBitmap*>(L->GlyphDisabled().Graphic());
  ASSERT_NE(grey, nullptr);
  TColor c = grey->Canvas().Pixel(4, 4);
  EXPECT_EQ(c & 0xFF, (c >> 8) & 0xFF);
}

TEST_F(XPLabel, GlyphWidensTheAutoSize) {
  const int w = L->Width();
  TPicture picture;
  picture.Bitmap().SetSize(16, 30);
  L->SetGlyph(picture);
  EXPECT_EQ(L->Width(), w + 16 + 3);
  EXPECT_EQ(L->Height(), 30);
}

TEST_F(XPLabel, AutoSizeLeavesTheSidesHeldByAlign) {
  Form->SetBounds(0, 0, 300, 200);
  const int clientW = Form->ClientWidth(), clientH = Form->ClientHeight();
  L->SetAlign(TAlign::alTop);
  L->SetCaption(L"Short");
  EXPECT_EQ(L->Width(), clientW);
  const int lineH = L->Height();
  EXPECT_LT(lineH, 40);
  L->SetAlign(TAlign::alLeft);
  L->SetCaption(L"Another");
  EXPECT_EQ(L->Height(), clientH);
  EXPECT_LT(L->Width(), 100);
  // Unaligned, both sides follow the text again.
  L->SetAlign(TAlign::alNone);
  L->SetCaption(L"Short");
  EXPECT_EQ(L->Height(), lineH);
  EXPECT_LT(L->Width(), 100);
}

TEST_F(XPLabel, NavigateWithoutHandlerOnlyClicks) {
  L->SetLinkStyle(TXPLinkStyle::xlsNavigate);
  L->SetLinkAddress(L"help:start");
  OnLabelNavigate = nullptr;
  ClickAt(Form->Handle(), L->Left() + 2, L->Top() + 2, L->Left() + 2, L->Top() + 2);
  EXPECT_EQ(Clicks, 1);
  WideString navigated;
  OnLabelNavigate = [&](const WideString& a) { navigated = a; };
  ClickAt(Form->Handle(), L->Left() + 2, L->Top() + 2, L->Left() + 2, L->Top() + 2);
  EXPECT_EQ(navigated, L"help:start");
  OnLabelNavigate = nullptr;
}

WideString gOpened;
HINSTANCE WINAPI RecordOpen(HWND, const wchar_t*, const wchar_t* file, const wchar_t*, const wchar_t*, int) {
  gOpened = file;
  return reinterpret_cast<HINSTANCE>(33);
}

TEST_F(XPLabel, OpenExternallyGoesThroughTheShell) {
  TShellExecuteProc old = SetShellExecuteProc(&RecordOpen);
  L->SetLinkStyle(TXPLinkStyle::xlsOpenExternally);
  L->SetLinkAddress(L"C:\\docs\\manual.pdf");
  ClickAt(Form->Handle(), L->Left() + 2, L->Top() + 2, L->Left() + 2, L->Top() + 2);
  SetShellExecuteProc(old);
  EXPECT_EQ(gOpened, L"C:\\docs\\manual.pdf");
  EXPECT_EQ(Clicks, 1);
}

TEST_F(XPLabel, HotTrackingPutsBackWhatWasSetFromOutside) {
  L->HotTrack().TrackFontColor = true;
  L->HotTrack().TrackFontStyle = true;
  L->HotTrack().TrackCursor = true;
  L->Font().SetColor(clGreen);
  L->Perform(CM_MOUSEENTER);
  EXPECT_EQ(L->Font().Color(), kSystemColor | COLOR_HOTLIGHT);
  EXPECT_EQ(L->Font().Style(), TFontStyles(fsUnderline));
  EXPECT_EQ(L->Cursor(), crHandPoint);
  L->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(L->Font().Color(), clGreen);
  EXPECT_EQ(L->Font().Style(), 0u);
  EXPECT_EQ(L->Cursor(), crDefault);
  // A disabled label does not track.
  L->SetEnabled(false);
  L->Perform(CM_MOUSEENTER);
  EXPECT_EQ(L->Font().Color(), clGreen);
}

TEST_F(XPLabel, HotTrackingLeavesALabelOnItsParentsFontFollowingIt) {
  L->HotTrack().TrackFontColor = true;
  ASSERT_TRUE(L->ParentFont());
  L->Perform(CM_MOUSEENTER);
  L->Perform(CM_MOUSELEAVE);
  EXPECT_TRUE(L->ParentFont());
  Form->Font().SetName(L"Courier New");
  EXPECT_EQ(L"Courier New", L->Font().Name()) << "the parent's font still reaches it";

  // A label with a font of its own stays on it.
  L->Font().SetSize(15);
  L->Perform(CM_MOUSEENTER);
  L->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(L->ParentFont());
  Form->Font().SetSize(9);
  EXPECT_EQ(15, L->Font().Size());
}

}  // namespace

}  // namespace instrument_test
