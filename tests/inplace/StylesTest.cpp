// Edit styles: values set on the editor or inherited from its explicit
// controller, the default controller or the fixed defaults.
#include "InplaceTest.h"

using namespace tvk;
namespace inplace_test {

namespace {

// An editor that counts how often its look was redone.
class CountingEdit : public TdxInplaceEdit {
public:
  explicit CountingEdit(TComponent* owner) : TdxInplaceEdit(owner) {}
  void LayoutChanged() override {
    ++Layouts;
    TdxInplaceEdit::LayoutChanged();
  }
  int Layouts = 0;
};

struct Styles : HostFixture {
  CountingEdit* Edit = nullptr;
  void SetUp() override {
    HostFixture::SetUp();
    Edit = new CountingEdit(Host);
    Edit->SetParent(Host);
  }
  void TearDown() override { DefaultEditStyleController()->RestoreDefaults(); }
};

}  // namespace

TEST_F(Styles, FreshStyleAnswersTheFixedDefaultsWithNothingStored) {
  TdxEditStyle& s = Edit->Style();
  EXPECT_EQ(xbs3D, s.BorderStyle());
  EXPECT_EQ(kAllEdges, s.Edges());
  EXPECT_EQ(TdxEditStyleController::clWindowFrameColor(), s.BorderColor());
  EXPECT_EQ(0u, s.AssignedValues());
  // Setting the inherited value still marks it as set here.
  Edit->Layouts = 0;
  s.SetBorderStyle(xbs3D);
  EXPECT_EQ(Bit(svBorderStyle), s.AssignedValues());
  EXPECT_EQ(1, Edit->Layouts);
  s.SetBorderStyle(xbs3D);  // now already set to it: nothing
  EXPECT_EQ(1, Edit->Layouts);
}

TEST_F(Styles, ExplicitControllerShieldsTheEditorFromTheDefaultOne) {
  TdxEditStyleController b(nullptr);
  b.SetBorderStyle(xbsSingle);
  Edit->SetStyleController(&b);
  EXPECT_EQ(xbsSingle, Edit->Style().BorderStyle());
  Edit->Layouts = 0;
  DefaultEditStyleController()->SetBorderStyle(xbsFlat);
  EXPECT_EQ(0, Edit->Layouts);
  EXPECT_EQ(xbsSingle, Edit->Style().BorderStyle());
  b.SetHotTrack(true);
  EXPECT_EQ(1, Edit->Layouts);
  EXPECT_TRUE(Edit->Style().HotTrack());
}

TEST_F(Styles, OneNotificationPerUpdateBracket) {
  TdxEditStyleController b(nullptr);
  Edit->SetStyleController(&b);
  int notified = 0;
  b.OnStyleChanged = [&](TObject*, TObject* link) {
    EXPECT_EQ(Edit, link);
    ++notified;
  };
  b.BeginUpdate();
  b.SetBorderStyle(xbsThick);
  b.SetShadow(true);
  b.SetEdges(edgBottom);
  EXPECT_EQ(0, notified);
  b.EndUpdate();
  EXPECT_EQ(1, notified);
  TdxEditStyleController c(nullptr);
  c.Assign(b);  // c has no links; b is told nothing
  EXPECT_EQ(xbsThick, c.BorderStyle());
  EXPECT_EQ(1, notified);
  b.RestoreDefaults();
  EXPECT_EQ(2, notified);
  EXPECT_EQ(xbs3D, b.BorderStyle());
}

TEST_F(Styles, RestoreDefaultsFollowsTheControllersAgain) {
  Edit->Style().SetShadow(true);
  Edit->Style().SetBorderStyle(xbsNone);
  DefaultEditStyleController()->SetBorderStyle(xbsFlat);
  EXPECT_EQ(xbsNone, Edit->Style().BorderStyle());
  Edit->Layouts = 0;
  Edit->Style().RestoreDefaults();
  EXPECT_EQ(1, Edit->Layouts);
  EXPECT_EQ(xbsFlat, Edit->Style().BorderStyle());
  EXPECT_FALSE(Edit->Style().Shadow());
}

TEST_F(Styles, FreeingTheExplicitControllerFallsBackToTheDefault) {
  DefaultEditStyleController()->SetBorderStyle(xbsFlat);
  auto b = std::make_unique<TdxEditStyleController>(nullptr);
  b->SetBorderStyle(xbsThick);
  Edit->SetStyleController(b.get());
  EXPECT_EQ(xbsThick, Edit->Style().BorderStyle());
  b.reset();
  EXPECT_EQ(nullptr, Edit->StyleController());
  EXPECT_EQ(xbsFlat, Edit->Style().BorderStyle());
}

TEST_F(Styles, AssigningAStyleSetsAllSevenValues) {
  TdxEditStyle source(nullptr);
  source.SetHotTrack(true);
  Edit->SetStyle(source);
  EXPECT_EQ(0x7Fu, Edit->Style().AssignedValues());
  EXPECT_TRUE(Edit->Style().HotTrack());
}

TEST_F(Styles, HotCellsChangeTheirBorderAndButtons) {
  Edit->Style().SetHotTrack(true);
  struct Row {
    TdxEditBorderStyle Border;
    TdxEditBorderStyle Hot;
    TdxEditButtonViewStyle Buttons;
    TColor Color;
  };
  const Row rows[] = {
      {xbsNone, xbsFlat, btsFlat, TdxEditStyleController::clWindowFrameColor()},
      {xbsSingle, xbsSingle, btsHotFlat, kHotSingleBorderColor},
      {xbsFlat, xbs3D, bts3D, TdxEditStyleController::clWindowFrameColor()},
      {xbsThick, xbsThick, bts3D, TdxEditStyleController::clWindowFrameColor()},
  };
  for (const Row& row : rows) {
    Edit->Style().SetBorderStyle(row.Border);
    Edit->SetSelected(true);
    auto vd = Edit->CreateViewData(false);
    EXPECT_EQ(row.Hot, vd->BorderStyle);
    EXPECT_EQ(row.Buttons, vd->ButtonStyle);
    EXPECT_EQ(row.Color, vd->BorderColor);
    Edit->SetSelected(false);
    auto cold = Edit->CreateViewData(false);
    EXPECT_EQ(row.Border, cold->BorderStyle);
  }
  Edit->Style().SetBorderStyle(xbsNone);
  Edit->SetEnabled(false);
  auto disabled = Edit->CreateViewData(false);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), disabled->BkColor);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), disabled->TextColor);
  EXPECT_EQ(btsSimple, disabled->ButtonStyle);
}

TEST_F(Styles, ACellIsFilledInTheColourItsTextIsDrawnOn) {
  for (TColor color : {clWindow, TColor(RGB(255, 255, 192)), clBtnFace}) {
    SCOPED_TRACE(color);
    Edit->SetColor(color);
    auto vd = Edit->CreateViewData(false);
    LOGBRUSH fill{};
    ASSERT_EQ(static_cast<int>(sizeof fill), GetObjectW(vd->Brush, sizeof fill, &fill));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), fill.lbStyle);
    EXPECT_EQ(ColorToRGB(color), fill.lbColor);
    EXPECT_EQ(ColorToRGB(color), vd->BkColor);
  }
}

}  // namespace inplace_test
