// The front plate and its widgets on a real form: the plate's children and
// readouts, its lazily rebuilt picture (grooves, holes, baked labels), the
// scheme reaching displays, lamps and keys, the lamp's click rules and the
// key faces.
#include <gtest/gtest.h>

#include "InstrumentButtons.h"
#include "InstrumentChecks.h"
#include "InstrumentLabels.h"
#include "InstrumentPanels.h"
#include "InstrumentTest.h"
#include "Maths.h"
#include "StdCtrls.h"
#include "XPColors.h"

using namespace tvk;
namespace instrument_test {
using namespace styled_test;

namespace {


struct Plate : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TInstrumentBackgroundPanel* P = nullptr;
  Plate() {
    SetRandSeed(42);
    P = new TInstrumentBackgroundPanel(Form.get());
    P->SetParent(Form.get());
    P->HandleNeeded();
  }
  // The plate painted now into a bitmap; its picture is what it shows.
  void PaintPlate() {
    TBitmap b;
    PaintInto(*P, b);
  }
};

TEST_F(Plate, ChildrenAndReadouts) {
  EXPECT_EQ(P->Width(), 724);
  EXPECT_EQ(P->Height(), 50);
  EXPECT_EQ(P->CoreNamePanel()->BoundsRect(), (RECT{155, 6, 655, 20}));
  EXPECT_EQ(P->JtagPanel()->BoundsRect(), (RECT{75, 6, 110, 20}));
  EXPECT_EQ(P->TitleLabel()->BoundsRect(), (RECT{724 - 310, 30, 724 - 50, 44}));
  EXPECT_EQ(P->CoreNameLabel()->Caption(), L"CoreName");
  EXPECT_EQ(P->CoreNameLabel()->Font().Color(), 0x0000E6);
  // 14-pixel readouts keep their red LED colour whatever the scheme.
  EXPECT_EQ(P->CoreNamePanel()->DisplayStyle(), TDisplayStyle::dsRedLed);
  EXPECT_EQ(P->JtagLabel()->Caption(), L"-1");
  P->SetJtagID(2);
  EXPECT_EQ(P->JtagLabel()->Caption(), L"2");
  P->SetPortID(0);
  EXPECT_EQ(P->JtagLabel()->Caption(), L"0/2");
  P->SetCoreName(L"Cortex-M3");
  EXPECT_EQ(P->CoreNameLabel()->Caption(), L"Cortex-M3");
}

TEST_F(Plate, PrimarySwitchesLampAndReadoutFont) {
  auto* lamp = static_cast<TInstrumentCheckBox*>(P->PrimaryLamp());
  P->SetPrimary(true);
  EXPECT_TRUE(lamp->Checked());
  EXPECT_EQ(P->CoreNameLabel()->Font().Style(), TFontStyles(fsBold));
  EXPECT_EQ(P->JtagLabel()->Font().Color(), 0x1018FF);
  P->SetPrimary(false);
  EXPECT_FALSE(lamp->Checked());
  EXPECT_EQ(P->CoreNameLabel()->Font().Style(), 0u);
  EXPECT_EQ(P->JtagLabel()->Font().Color(), 0x0000E6);
}

TEST_F(Plate, ShowCoreNameHidesWindowCaptionAndLamp) {
  P->SetShowCoreName(false);
  EXPECT_FALSE(P->CoreNamePanel()->Visible());
  EXPECT_FALSE(P->CoreNameCaption()->Visible());
  EXPECT_FALSE(P->PrimaryLamp()->Visible());
  EXPECT_TRUE(P->JtagPanel()->Visible());
}

TEST_F(Plate, GroovesAndHolesInThePicture) {
  PaintPlate();
  TBitmap& pic = P->Bitmap();
  ASSERT_EQ(pic.Width(), 724);
  for (int y : {0, 25, 49}) {
    EXPECT_EQ(PixelAt(pic, 38, y), clBlack);
    EXPECT_EQ(PixelAt(pic, 724 - 39, y), clBlack);
    EXPECT_LT(Red(PixelAt(pic, 37, y)), Red(PixelAt(pic, 39, y)));
  }
  TColor withHole = PixelAt(pic, 11, 10);
  SetRandSeed(42);
  P->SetShowMountingHoles(false);
  PaintPlate();
  EXPECT_NE(PixelAt(P->Bitmap(), 11, 10), withHole);
}

TEST_F(Plate, RebuildsOnlyWhenACauseSaysSo) {
  PaintPlate();
  const int built = P->BackgroundBuildCount();
  PaintPlate();
  EXPECT_EQ(P->BackgroundBuildCount(), built);
  // A plate label's new text is baked in: the plate rebuilds.
  P->CoreNameCaption()->SetCaption(L"CPU");
  EXPECT_FALSE(P->BackgroundValid());
  PaintPlate();
  EXPECT_EQ(P->BackgroundBuildCount(), built + 1);
  P->SetBounds(0, 0, 600, 50);
  PaintPlate();
  EXPECT_EQ(P->BackgroundBuildCount(), built + 2);
  EXPECT_EQ(P->Bitmap().Width(), 600);
  EXPECT_EQ(PixelAt(P->Bitmap(), 600 - 39, 30), clBlack);
}

TEST_F(Plate, LabelsOnThePlateAreBakedNotPainted) {
  auto* label = new TInstrumentLabel(Form.get());
  label->SetAutoSize(false);
  label->SetBounds(200, 25, 100, 14);
  label->SetCaption(L"STATUS");
  label->SetParent(P);
  SetRandSeed(5);
  PaintPlate();
  RECT spot{200, 25, 300, 39};
  TBitmap bare;
  MakeCanvas(bare, 724, 50, clBlack);
  bare.Canvas().CopyRect(RECT{0, 0, 724, 50}, P->Bitmap().Canvas(), RECT{0, 0, 724, 50});
  // Hiding the label takes it out of the picture: the plate rebuilds, and
  // differs exactly where the label was.
  ASSERT_TRUE(P->BackgroundValid());
  label->SetVisible(false);
  EXPECT_FALSE(P->BackgroundValid());
  SetRandSeed(5);
  PaintPlate();
  int differ = 0;
  for (int y = spot.top; y < spot.bottom; ++y)
    for (int x = spot.left; x < spot.right; ++x) differ += PixelAt(bare, x, y) != PixelAt(P->Bitmap(), x, y);
  EXPECT_GT(differ, 20);
}

TEST_F(Plate, HidingABakedCheckBoxRebuildsThePicture) {
  auto* box = new TInstrumentCheckBox(Form.get());
  box->SetBounds(300, 30, 60, 17);
  box->SetParent(P);
  PaintPlate();
  ASSERT_TRUE(P->BackgroundValid());
  box->SetVisible(false);
  EXPECT_FALSE(P->BackgroundValid());
  PaintPlate();
  box->SetVisible(true);
  EXPECT_FALSE(P->BackgroundValid());
}

TEST(InstrumentPanels, DisplaysFollowTheSchemeOnlyWhenTallEnough) {
  auto form = MakeForm();
  auto* plate = new TInstrumentBackgroundPanel(form.get());
  plate->SetBounds(0, 0, 724, 120);
  plate->SetParent(form.get());
  auto* low = new TInstrumentPanel(form.get());
  low->SetBounds(50, 60, 100, 14);
  low->SetDisplayStyle(TDisplayStyle::dsRedLed);
  low->SetParentDisplayStyle(true);
  low->SetParent(plate);
  auto* tall = new TInstrumentPanel(form.get());
  tall->SetBounds(200, 60, 100, 41);
  tall->SetParent(plate);
  auto* inside = new TInstrumentLabel(form.get());
  inside->SetParent(tall);
  plate->SetStyle(TInstrumentPanelStyle::ipsGrayBlue);
  EXPECT_EQ(low->DisplayStyle(), TDisplayStyle::dsRedLed);
  EXPECT_EQ(tall->DisplayStyle(), TDisplayStyle::dsBlue);
  EXPECT_TRUE(tall->ParentDisplayStyle());
  EXPECT_EQ(inside->Font().Color(), InstrumentLabelColor(TDisplayStyle::dsBlue));
  // An explicit colour stops the following.
  tall->SetDisplayStyle(TDisplayStyle::dsGreen);
  EXPECT_FALSE(tall->ParentDisplayStyle());
  EXPECT_EQ(inside->Font().Color(), InstrumentLabelColor(TDisplayStyle::dsGreen));
  plate->SetStyle(TInstrumentPanelStyle::ipsLightGray);
  EXPECT_EQ(tall->DisplayStyle(), TDisplayStyle::dsGreen);
  // A label moved into a red LED display takes its colour.
  auto* moved = new TInstrumentLabel(form.get());
  moved->SetParent(low);
  EXPECT_EQ(moved->Font().Color(), 0x0000FF);
}

TEST(InstrumentPanels, LookupsStopAtDisplaysUnlessTold) {
  auto form = MakeForm();
  auto* plate = new TInstrumentBackgroundPanel(form.get());
  plate->SetParent(form.get());
  auto* display = new TInstrumentPanel(form.get());
  display->SetParent(plate);
  auto* label = new TInstrumentLabel(form.get());
  label->SetParent(display);
  EXPECT_EQ(FindInstrumentBackgroundPanel(label, true), plate);
  EXPECT_EQ(FindInstrumentBackgroundPanel(label, false), nullptr);
  EXPECT_EQ(FindInstrumentPanel(label), display);
  EXPECT_EQ(FindInstrumentBackgroundPanel(nullptr, true), nullptr);
  // The widgets' interfaces count nothing.
  IInstrumentPrePaint* pre = Supports<IInstrumentPrePaint>(label, IInstrumentPrePaint::Iid);
  ASSERT_NE(pre, nullptr);
  pre->AddRef();
  EXPECT_EQ(pre->Release(), ULONG(-1));
  EXPECT_EQ(Supports<IInstrumentPostPaint>(label, IInstrumentPostPaint::Iid), nullptr);
  EXPECT_NE(Supports<IInstrumentPostPaint>(display, IInstrumentPostPaint::Iid), nullptr);
  void* viaQuery = nullptr;
  EXPECT_EQ(pre->QueryInterface(IInstrumentDisplayClient::Iid, &viaQuery), S_OK);
  EXPECT_NE(viaQuery, nullptr);
}

TEST(InstrumentLabels, CaptionColourAndDisabledSize) {
  auto form = MakeForm();
  auto* plate = new TInstrumentBackgroundPanel(form.get());
  plate->SetParent(form.get());
  plate->SetStyle(TInstrumentPanelStyle::ipsDarkGray);
  auto* caption = new TInstrumentCaption(form.get());
  caption->SetParent(plate);
  EXPECT_EQ(caption->HeadingTextColor(), ScaleColor(ScaleColor(0x847C7C, 1.2), 1.1));
  auto* label = new TInstrumentLabel(form.get());
  label->SetCaption(L"PC");
  label->SetParent(form.get());
  const int w = label->Width(), h = label->Height();
  label->SetEnabled(false);
  EXPECT_EQ(label->Width(), w + 1);
  EXPECT_EQ(label->Height(), h + 1);
}

struct CheckBox : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TInstrumentCheckBox* Box = new TInstrumentCheckBox(Form.get());
  int Clicks = 0;
  CheckBox() {
    Box->SetParent(Form.get());
    Box->OnClick = [this](TObject*) { ++Clicks; };
  }
};

TEST_F(CheckBox, OneClickPerChangeFromCode) {
  Box->SetChecked(true);
  EXPECT_EQ(Clicks, 1);
  Box->SetChecked(true);
  EXPECT_EQ(Clicks, 1);
  Box->SetEnabled(false);
  Box->SetChecked(false);
  EXPECT_EQ(Clicks, 2);
  EXPECT_FALSE(Box->Checked());
}

TEST_F(CheckBox, ReentryFromOnClickIsIgnored) {
  Box->OnClick = [this](TObject*) {
    ++Clicks;
    Box->SetChecked(!Box->Checked());
  };
  Box->SetChecked(true);
  EXPECT_EQ(Clicks, 1);
  EXPECT_TRUE(Box->Checked());
  // The guard is down again after a handler that raises.
  Box->OnClick = [](TObject*) { throw Exception(L"handler failed"); };
  EXPECT_THROW(Box->SetChecked(false), Exception);
  Box->OnClick = [this](TObject*) { ++Clicks; };
  Box->SetChecked(true);
  EXPECT_EQ(Clicks, 2);
}

TEST_F(CheckBox, MouseClicksToggleUnlessReadOnly) {
  Box->SetBounds(10, 10, 150, 17);
  HWND form = Form->Handle();
  ClickAt(form, 15, 15, 15, 15);
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
  Box->SetReadOnly(true);
  ClickAt(form, 15, 15, 15, 15);
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
}

TEST(InstrumentChecks, KeyCapTakesThePlateHue) {
  auto hueOf = [](TInstrumentPanelStyle style) {
    TAlphaBitmap& glyph = InstrumentCheckGlyph(TInstrumentCheckStyle::icsButton, style);
    auto* p = static_cast<const std::uint8_t*>(glyph.ScanLine(glyph.Height() / 2)) + 4 * 4;
    return TColor(p[2] | (p[1] << 8) | (p[0] << 16));
  };
  TColor blue = hueOf(TInstrumentPanelStyle::ipsBlue), red = hueOf(TInstrumentPanelStyle::ipsDarkRed);
  EXPECT_GT((blue >> 16) & 0xFF, blue & 0xFF);
  EXPECT_GT(red & 0xFF, (red >> 16) & 0xFF);
  EXPECT_EQ(InstrumentCheckGlyph(TInstrumentCheckStyle::icsRed, TInstrumentPanelStyle::ipsBlue).Width(), 24);
  EXPECT_EQ(InstrumentCheckGlyph(TInstrumentCheckStyle::icsRectAmber, TInstrumentPanelStyle::ipsBlue).Width(), 32);
  EXPECT_EQ(InstrumentCheckGlyphLoadCount(), 1);
}

TEST(InstrumentButtons, TakeThePlatesButtonColourAndRebuildFaces) {
  auto form = MakeForm();
  auto* blue = new TInstrumentBackgroundPanel(form.get());
  blue->SetStyle(TInstrumentPanelStyle::ipsBlue);
  blue->SetParent(form.get());
  auto* red = new TInstrumentBackgroundPanel(form.get());
  red->SetStyle(TInstrumentPanelStyle::ipsDarkRed);
  red->SetBounds(0, 60, 724, 50);
  red->SetParent(form.get());
  auto* key = new TInstrumentButton(form.get());
  key->SetBounds(100, 20, 40, 20);
  key->SetCaption(L"Reset");
  key->SetParent(blue);
  EXPECT_EQ(key->Color(), 0xBF8252);
  const int built = key->FaceBuildCount();
  key->SetParent(red);
  EXPECT_EQ(key->Color(), 0x7971B3);
  EXPECT_GT(key->FaceBuildCount(), built);
  EXPECT_FALSE(key->Face(false, false).Empty());
}

TEST(InstrumentButtons, FacesSwitchWithPressAndBacklight) {
  auto form = MakeForm();
  auto* key = new TInstrumentButton(form.get());
  key->SetBounds(10, 10, 40, 20);
  key->SetCaption(L"Step");
  key->SetParent(form.get());
  EXPECT_EQ(&key->CurrentFace(), &key->Face(false, false));
  const int built = key->FaceBuildCount();
  SendMessageW(key->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(&key->CurrentFace(), &key->Face(true, false));
  SendMessageW(key->Handle(), WM_LBUTTONUP, 0, At(5, 5));
  key->SetBacklight(true);
  EXPECT_EQ(&key->CurrentFace(), &key->Face(false, true));
  key->SetButtonDown(true);
  EXPECT_EQ(&key->CurrentFace(), &key->Face(true, true));
  EXPECT_EQ(key->FaceBuildCount(), built);  // switching faces redraws none
  // The lit released face: yellow glass.
  TBitmap shot;
  key->SetButtonDown(false);
  PaintInto(*key, shot);
  TColor c = PixelAt(shot, 20, 4);
  EXPECT_GT(c & 0xFF, (c >> 16) & 0xFF);
  EXPECT_FALSE(key->IsFontStored());
  key->Font().SetSize(8);
  EXPECT_TRUE(key->IsFontStored());
}

TEST(InstrumentButtons, ZeroSizePaintsNothing) {
  auto form = MakeForm();
  auto* key = new TInstrumentButton(form.get());
  key->SetParent(form.get());
  key->SetBounds(0, 0, 0, 20);
  EXPECT_TRUE(key->Face(false, false).Empty());
  EXPECT_TRUE(key->Face(true, true).Empty());
}

}  // namespace

}  // namespace instrument_test
