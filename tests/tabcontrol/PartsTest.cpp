// A tab's parts (content, image, caption, close button), caption fitting and
// alignment, hit tests and the new-tab button.
#include "TabControlTest.h"

namespace tabcontrol_test {
namespace {

using namespace tvk;

// A list of AWidth x AHeight images in distinct colours.
std::unique_ptr<TImageList> Images(int ACount, int AWidth = 16, int AHeight = 16) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(AWidth, AHeight);
  for (int i = 0; i < ACount; ++i) {
    TBitmap picture;
    picture.SetPixelFormat(TPixelFormat::pf24bit);
    picture.SetSize(AWidth, AHeight);
    picture.Canvas().Brush().SetColor(TColor(0x2040C0 + 0x10 * i));
    picture.Canvas().FillRect({0, 0, AWidth, AHeight});
    list->Add(picture, nullptr);
  }
  return list;
}

int TextWidth(TTabOwner& AOwner, const WideString& AText) {
  TcxCanvas& canvas = AOwner.Surface().cxCanvas();
  canvas.Font().Assign(AOwner.OwnFont());
  return canvas.TextWidth(AText);
}

TEST_F(TabControl, ACentredCaptionMovesWithItsImage) {
  TTabOwner& owner = Owner({100, 100});
  auto images = Images(1);
  owner.Properties().Images().SetBaseImages(images.get());
  owner.Properties().Tabs().Tabs(1)->SetImageIndex(-1);
  const int tw = TextWidth(owner, L"T0");
  // Content 6..94: image and caption centred together, 3 pixels apart.
  const int lead = (88 - (16 + 3 + tw)) / 2;
  EXPECT_EQ((TBox{6 + lead, 2, 6 + lead + 16, 18}), Box(Tab(0)->ImageRect()));
  EXPECT_EQ(6 + lead + 19, Tab(0)->TextRect().left);
  EXPECT_EQ(6 + lead + 19 + tw, Tab(0)->TextRect().right);
  // Without an image the caption alone is centred.
  EXPECT_TRUE(Empty(Tab(1)->ImageRect()));
  EXPECT_EQ(100 + 6 + (88 - tw) / 2, Tab(1)->TextRect().left);
  owner.Properties().Images().SetBaseImages(nullptr);
}

TEST_F(TabControl, ATooLongCaptionIsShortenedFromTheContentStart) {
  TTabOwner& owner = Owner({60});
  owner.Properties().Tabs().Put(0, L"A caption much too long for its tab");
  TcxTabViewInfo* tab = Tab(0);
  EXPECT_TRUE(tab->IsTextTooLong());
  EXPECT_EQ((TBox{2, 0, 58, 20}), Box(tab->ContentRect()));  // the long-text offsets
  EXPECT_EQ(2, tab->TextRect().left);
  const int width = tab->TextRect().right - tab->TextRect().left;
  EXPECT_GT(width, 0);
  EXPECT_LE(width, 56);
  // Room for no character with the ellipsis: nothing is shown and nothing shifts.
  EXPECT_EQ(0, tab->FitCaption(4));
}

TEST_F(TabControl, RotatedTabsReserveImageSpaceAndLineUpCaptions) {
  TTabOwner& owner = Owner({}, 300, 300);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.BeginUpdate();
  p.Tabs().Add(L"Short");
  p.Tabs().Add(L"Short");
  p.Tabs().Add(L"A longer caption");
  p.SetRotate(true);
  p.EndUpdate();
  auto images = Images(1);
  p.Images().SetBaseImages(images.get());
  p.Tabs().Tabs(0)->SetImageIndex(0);
  p.Tabs().Tabs(1)->SetImageIndex(-1);
  p.Tabs().Tabs(2)->SetImageIndex(-1);
  ASSERT_EQ(raPlus90, owner.ViewInfo().GetTextRotationAngle());
  // Both "Short" tabs place their caption alike, with or without an image.
  EXPECT_FALSE(Empty(Tab(0)->ImageRect()));
  EXPECT_TRUE(Empty(Tab(1)->ImageRect()));
  EXPECT_EQ(Tab(0)->TextRect().top, Tab(1)->TextRect().top);
  EXPECT_EQ(Tab(0)->TextRect().bottom, Tab(1)->TextRect().bottom);
  // Right-justified captions end (upwards) where the widest caption ends.
  p.Images().SetBaseImages(nullptr);
  p.SetTabCaptionAlignment(TAlignment::taRightJustify);
  EXPECT_EQ(Tab(0)->TextRect().top, Tab(2)->TextRect().top);
  EXPECT_LT(Tab(0)->TextRect().bottom, Tab(2)->TextRect().bottom);
  p.SetTabCaptionAlignment(TAlignment::taLeftJustify);
  EXPECT_EQ(Tab(0)->TextRect().bottom, Tab(2)->TextRect().bottom);
}

TEST_F(TabControl, CloseButtonsSitAtTheCaptionsEnd) {
  TTabOwner& owner = Owner({100, 100});
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetCloseButtonMode(cbmActiveTab);
  ASSERT_NE(nullptr, Tab(0)->CloseButtonInfo());
  EXPECT_EQ(nullptr, Tab(1)->CloseButtonInfo());
  // Margins 4, 2 (the image offsets' top), 0, 1; the button 16 x 14.
  EXPECT_EQ((TBox{78, 3, 94, 17}), Box(Tab(0)->CloseButtonInfo()->Bounds()));
  EXPECT_LE(Tab(0)->TextRect().right, 74);
  RECT margins;
  owner.TestPainter()->GetCloseButtonMargins(-1, margins);
  EXPECT_EQ((TBox{4, 2, 0, 2}), Box(margins));
  // Rotated text: the button takes the content's top, across the tab's middle.
  p.SetCloseButtonMode(cbmEveryTab);
  p.SetRotate(true);
  const RECT content = Tab(1)->ContentRect();
  const RECT button = Tab(1)->CloseButtonInfo()->Bounds();
  EXPECT_EQ(content.top, button.top);
  EXPECT_EQ(16, button.bottom - button.top);
  EXPECT_EQ(14, button.right - button.left);
  EXPECT_GE(Tab(1)->TextRect().top, button.bottom);
}

TEST_F(TabControl, HitTestsFindButtonsTabsAndCloseButtons) {
  TTabOwner& owner = Owner(10, 50, 300);
  owner.Properties().SetCloseButtonMode(cbmEveryTab);
  TcxPCHitTest& hitTest = owner.Controller().HitTest();
  struct TRow {
    POINT P;
    unsigned Codes;
    TClass Kind;
  };
  const TRow rows[] = {
      {{290, 5}, 1u << pchtNavigatorButton, &TcxPCNavigatorButtonViewInfo::StaticClassInfo()},
      {{10, 5}, 1u << pchtTab, &TcxTabViewInfo::StaticClassInfo()},
      {{40, 10}, (1u << pchtTab) | (1u << pchtTabCloseButton), &TcxPCTabCloseButtonViewInfo::StaticClassInfo()},
      {{10, 100}, 0, nullptr},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.P.x * 1000 + row.P.y);
    hitTest.SetHitTestPoint(0, row.P);
    EXPECT_EQ(row.Codes, hitTest.HitTestCodes());
    if (row.Kind) {
      EXPECT_TRUE(hitTest.HitObject() && hitTest.HitObject()->InheritsFrom(row.Kind));
    } else {
      EXPECT_EQ(nullptr, hitTest.HitObject());
    }
  }
  EXPECT_EQ(1, owner.ViewInfo().IndexOfTabAt(60, 5));
  EXPECT_TRUE(owner.ViewInfo().IsActiveTabAt(10, 5));
  // A close button's click closes its tab; a go-dialog click opens the dialog.
  hitTest.SetHitTestPoint(0, {90, 10});
  static_cast<TcxPCCustomButtonViewInfo*>(hitTest.HitObject())->Click();
  EXPECT_EQ(9, owner.Properties().Tabs().Count());
  EXPECT_EQ(L"T2", owner.Properties().Tabs()[1]);
}

TEST_F(TabControl, TheNewTabButtonIsNoOrdinaryTab) {
  TTabOwner& owner = Owner({50, 50});
  TcxCustomTabControlProperties& p = owner.Properties();
  p.SetCloseButtonMode(cbmEveryTab);
  p.Tabs().NewButton()->SetWidth(24);
  p.SetNewButtonMode(1);
  TTestTabPainter::Metrics().Widths.resize(2);  // the button measures its defined width
  owner.Relayout();
  TcxTabViewInfo* button = Tab(2);
  ASSERT_TRUE(button && button->Is<TcxPCNewButtonViewInfo>());
  EXPECT_EQ(-2, button->Index());
  EXPECT_EQ(24, button->NormalWidth());
  EXPECT_FALSE(button->HasCloseButton());
  EXPECT_FALSE(button->IsVisibleForGoDialog());
  EXPECT_FALSE(button->IsOrdinaryTab());
  EXPECT_EQ(1, owner.ViewInfo().TabsViewInfo()->LastRealTabIndex());
  button->ClickTab(0);
  EXPECT_EQ(3, p.Tabs().Count());
  EXPECT_EQ(2, p.TabIndex());
  // Designing: the button is not shown.
  owner.Designing = true;
  p.Tabs().Tabs(0)->SetCaption(L"Renamed");
  EXPECT_EQ(3, owner.ViewInfo().TabViewInfoCount());
}

}  // namespace
}  // namespace tabcontrol_test
