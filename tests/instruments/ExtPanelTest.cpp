// The extended panel: its own painting replaced by OnPaint, the top-shadow
// gradient, picture sizing, the rounded border through GDI+, the legacy
// "Stretch" and "Caption" stream properties, and the default colour rule.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "InstrumentTypes.h"
#include "XPColors.h"
#include "XPControlUtils.h"
#include "XPPanels.h"

using namespace tvk;
namespace instrument_test {
using namespace styled_test;

namespace {

struct ExtPanel : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TXPExtPanel* P = new TXPExtPanel(Form.get());
  ExtPanel() {
    P->SetParent(Form.get());
    P->SetTransparent(false);
  }
};

TEST_F(ExtPanel, OnPaintReplacesAllPainting) {
  P->SetKind(TXPExtPanelKind::epkSimple);
  P->SetShowBorder(true);
  int painted = 0;
  P->OnPaint = [&](TObject* sender) {
    EXPECT_EQ(sender, P);
    ++painted;
  };
  TBitmap shot;
  PaintInto(*P, shot);
  EXPECT_EQ(painted, 1);
  EXPECT_EQ(InkBox(shot, clBlack), (RECT{0, 0, 0, 0}));  // not even the border
}

TEST_F(ExtPanel, TopShadowOfAThreePixelPanel) {
  P->SetKind(TXPExtPanelKind::epkGradient);
  P->SetBeginColor(clBlack);
  P->SetEndColor(clWhite);
  P->SetBounds(0, 0, 50, 3);
  TBitmap shot;
  PaintInto(*P, shot);
  EXPECT_EQ(PixelAt(shot, 10, 0), BlendColors(clBlack, clWhite, 0));
  EXPECT_EQ(PixelAt(shot, 10, 1), BlendColors(clBlack, clWhite, 0.6));
  EXPECT_EQ(PixelAt(shot, 10, 2), BlendColors(clBlack, clWhite, 0.8));
}

TEST_F(ExtPanel, ProportionalPictureAtTheTopLeft) {
  TBitmap picture;
  MakeCanvas(picture, 100, 50, clRed);
  P->SetKind(TXPExtPanelKind::epkBitmap);
  P->SetBitmap(picture);
  P->SetStretching(TXPGraphicStretching::xgsProportional);
  P->SetColor(clBlue);
  P->SetBounds(0, 0, 300, 300);
  TBitmap shot;
  PaintInto(*P, shot);
  EXPECT_EQ(PixelAt(shot, 299, 149), clRed);
  EXPECT_EQ(PixelAt(shot, 10, 150), clBlue);
  P->SetAlignment(TAlignment::taRightJustify);
  P->SetLayout(TTextLayout::tlBottom);
  P->SetStretching(TXPGraphicStretching::xgsNone);
  PaintInto(*P, shot);
  EXPECT_EQ(PixelAt(shot, 250, 260), clRed);
  EXPECT_EQ(PixelAt(shot, 190, 260), clBlue);
}

TEST_F(ExtPanel, RoundBorderWithOnlyTheTopIsAStraightLine) {
  P->SetKind(TXPExtPanelKind::epkSimple);
  P->SetColor(clWhite);
  P->SetBounds(0, 0, 60, 30);
  P->SetShowBorder(true);
  P->SetRoundCorners(true);
  P->SetRadius(8);
  P->SetBorderColor(clBlack);
  P->SetShowLeft(false);
  P->SetShowRight(false);
  P->SetShowBottom(false);
  TBitmap shot;
  PaintInto(*P, shot);
  if (!GdiPlusRunning() && GdiPlus() == nullptr) GTEST_SKIP() << "no GDI+ here";
  RECT box = InkBox(shot, clWhite);
  EXPECT_EQ(box.top, 0);
  EXPECT_LE(box.bottom, 2);  // one line, no arcs going down
  EXPECT_GT(box.right - box.left, 30);
  EXPECT_EQ(GdiPlusUseCount(), 0);
}

TEST_F(ExtPanel, LegacyStretchAndCaptionAreReadNeverWritten) {
  // An older form's stream: the properties written as the old panel wrote them.
  struct OldPanel : TPersistent {
    void DefineProperties(TFiler& filer) override {
      filer.DefineBinaryProperty(L"Stretch", nullptr, [](TStream& s) { std::uint8_t one = 1; s.WriteBuffer(&one, 1); }, true);
      filer.DefineBinaryProperty(
          L"Caption", nullptr, [](TStream& s) { s.WriteBuffer(L"Old", 3 * sizeof(wchar_t)); }, true);
    }
  } old;
  TMemoryStream stream;
  WriteBinaryProperties(old, stream);
  stream.SetPosition(0);
  ReadBinaryProperties(*P, stream);
  EXPECT_EQ(P->Stretching(), TXPGraphicStretching::xgsStandard);
  EXPECT_EQ(P->Caption(), L"Old");
  TMemoryStream saved;
  WriteBinaryProperties(*P, saved);
  saved.SetPosition(0);
  EXPECT_TRUE(BinaryPropertyNames(saved).empty());
}

TEST_F(ExtPanel, ExplicitColourEndsTheDefault) {
  EXPECT_TRUE(P->UseDefaultColor());
  EXPECT_EQ(P->Color(), SubstBtnFaceColor);
  P->SetColor(clRed);
  EXPECT_FALSE(P->UseDefaultColor());
  P->SetUseDefaultColor(true);
  EXPECT_TRUE(P->UseDefaultColor());
  EXPECT_EQ(P->Color(), SubstBtnFaceColor);
}

TEST_F(ExtPanel, WavyShadingDarkensDownwards) {
  P->SetKind(TXPExtPanelKind::epkWavy);
  P->SetColor(0x808080);
  P->SetBounds(0, 0, 20, 100);
  TBitmap shot;
  PaintInto(*P, shot);
  EXPECT_GT(PixelAt(shot, 5, 2) & 0xFF, PixelAt(shot, 5, 97) & 0xFF);
}

TEST_F(ExtPanel, BorderWidthAndKindRealignTheChildren) {
  P->SetKind(TXPExtPanelKind::epkSimple);
  P->SetBounds(0, 0, 100, 60);
  auto* child = new TXPExtPanel(Form.get());
  child->SetParent(P);
  child->SetAlign(TAlign::alClient);
  EXPECT_EQ(child->BoundsRect(), (RECT{0, 0, 100, 60}));
  P->SetBorderWidth(5);
  EXPECT_EQ(child->BoundsRect(), (RECT{5, 5, 95, 55}));
  // The plain background kind keeps three more pixels free.
  P->SetKind(TXPExtPanelKind::epkBackground);
  EXPECT_EQ(child->BoundsRect(), (RECT{8, 8, 92, 52}));
  P->SetKind(TXPExtPanelKind::epkGradient);
  EXPECT_EQ(child->BoundsRect(), (RECT{5, 5, 95, 55}));
}

}  // namespace

}  // namespace instrument_test
