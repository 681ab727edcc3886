// Edit styles: the six editor values, their resolution through controllers
// and fallbacks, the values only the normal style holds, what a state style
// streams, Assign's one notice; the edit unit's cursor and default
// controller, twice.
#include "EditorsTest.h"
#include "cxEditViewInfo.h"
#include "Forms.h"
#include "cxEdit.h"

#include <algorithm>

using namespace tvk;

namespace laf_editors_test {

namespace {

// A container owner that says whether it is an in-place editor.
class TStyleOwner : public TPersistent, public TcxContainerStyleHost {
public:
  explicit TStyleOwner(bool AInplace) : FInplace(AInplace) {}
  bool UsesParentColorByDefault() override { return false; }
  bool ParentColor() override { return false; }
  void SetParentColor(bool) override {}
  bool ParentFont() override { return false; }
  void SetParentFont(bool) override {}
  bool GetParentColor(TColor&) override { return false; }
  bool IsInplace() override { return FInplace; }
  bool IsStylePropertyPublished(const WideString&, bool) override { return true; }

private:
  bool FInplace;
};

// The four edit styles of an owner, with the notices of their changes counted.
struct TEditStyles {
  explicit TEditStyles(TPersistent* AOwner) : Styles(AOwner, ContainerStyleClassOf<TcxEditStyle>()) {
    Styles.SetOnChanged([this](TObject*) { ++Notices; });
  }
  TcxEditStyle& Get(TcxContainerStateItem AState) { return *static_cast<TcxEditStyle*>(Styles.GetStyleByState(AState)); }
  TcxContainerStyles Styles;
  int Notices = 0;
};

std::vector<WideString> StreamedNames(TPersistent& AStyle) {
  TMemoryStream stream;
  WriteProperties(AStyle, stream);
  stream.SetPosition(0);
  return BinaryPropertyNames(stream);
}

}  // namespace

using EditStyles = EditorsUnits;

TEST_F(EditStyles, TheUnitSetsTheCursorAndTheDefaultControllerOnlyWhileItRuns) {
  for (int round = 0; round < 2; ++round) {
    ASSERT_NE(nullptr, cxDefaultEditStyleController());
    EXPECT_EQ(cxDefaultEditStyleController(), ContainerDefaultStyleController);
    EXPECT_TRUE(Screen().HasCursor(crcxEditMouseWheel));
    EXPECT_NE(nullptr, Screen().Cursors(crcxEditMouseWheel));
    for (auto state : {csNormal, csActive, csDisabled, csHotTrack})
      EXPECT_STREQ(L"TcxEditStyle", cxDefaultEditStyleController()->Styles().GetStyleByState(state)->ClassName().c_str());
    EXPECT_NE(nullptr, cxEditResourceStringGetter());
    EXPECT_NE(nullptr, RegisteredEditProperties());
    EXPECT_NE(nullptr, cxEditHintWindow());
    TcxCustomEditProperties properties(nullptr);
    EXPECT_EQ(&properties, EditPropertiesList().back());
    StopSteps(LookAndFeelEditorsSteps());
    EXPECT_TRUE(EditPropertiesList().empty());
    EXPECT_EQ(nullptr, RegisteredEditProperties());
    EXPECT_EQ(nullptr, cxEditHintWindow()) << "freed and not made again";
    EXPECT_EQ(nullptr, cxEditResourceStringGetter());
    EXPECT_EQ(nullptr, cxDefaultEditStyleController());
    EXPECT_EQ(nullptr, ContainerDefaultStyleController);
    EXPECT_FALSE(Screen().HasCursor(crcxEditMouseWheel));
    for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup());
  }
}

TEST_F(EditStyles, ValuesHaveTheirNamesAndResolveThroughTwoControllers) {
  TStyleOwner owner(false);
  TEditStyles styles(&owner);
  TcxEditStyle& style = styles.Get(csNormal);
  EXPECT_EQ(16, style.GetStyleValueCount());
  const wchar_t* names[] = {L"ButtonStyle", L"ButtonTransparency", L"PopupBorderStyle", L"GradientButtons", L"Gradient",
                            L"GradientDirection"};
  for (int value = svButtonStyle; value <= svGradientDirection; ++value) {
    WideString name;
    EXPECT_TRUE(style.GetStyleValueName(value, name));
    EXPECT_EQ(names[value - svButtonStyle], name);
  }
  WideString none;
  EXPECT_FALSE(style.GetStyleValueName(16, none));

  // Unassigned everywhere: the fallbacks.
  EXPECT_EQ(btsDefault, style.ButtonStyle());
  EXPECT_EQ(dirDown, style.GradientDirection());
  EXPECT_FALSE(style.IsValueAssigned(svButtonStyle));
  EXPECT_EQ(cxDefaultEditStyleController(), style.TcxContainerStyle::ActiveStyleController()) << "a stand-alone style";

  // The style -> a near controller -> a far one; only the far one assigns.
  TcxEditStyleController nearController(nullptr), farController(nullptr);
  nearController.Style()->SetStyleController(&farController);
  style.SetStyleController(&nearController);
  farController.Style()->SetButtonStyle(btsFlat);
  farController.StyleFocused()->SetButtonStyle(btsUltraFlat);
  EXPECT_EQ(btsFlat, style.ButtonStyle());
  EXPECT_TRUE(style.IsValueAssigned(svButtonStyle));
  EXPECT_EQ(btsUltraFlat, styles.Get(csActive).ButtonStyle()) << "the controller's style of the same state";
  nearController.Style()->SetButtonStyle(bts3D);
  EXPECT_EQ(bts3D, style.ButtonStyle()) << "the nearer controller wins";
  style.SetButtonStyle(btsSimple);
  EXPECT_EQ(btsSimple, style.ButtonStyle());
  style.SetStyleController(nullptr);
}

TEST_F(EditStyles, NormalOnlyValuesGoToTheNormalStyleAndAreNotStreamedByAStateStyle) {
  TStyleOwner owner(false);
  TEditStyles styles(&owner);
  TcxEditStyle& normal = styles.Get(csNormal);
  TcxEditStyle& focused = styles.Get(csActive);
  focused.SetGradient(true);
  focused.SetButtonTransparency(ebtHideInactive);
  focused.SetButtonStyle(btsHotFlat);
  EXPECT_TRUE(normal.Gradient()) << "written on the normal style";
  EXPECT_TRUE(focused.Gradient()) << "read back through the normal style";
  EXPECT_EQ(ebtHideInactive, normal.ButtonTransparency());
  EXPECT_EQ(btsDefault, normal.ButtonStyle()) << "each state keeps its own button style";
  EXPECT_EQ(btsHotFlat, focused.ButtonStyle());
  EXPECT_EQ(btsHotFlat, focused.ButtonStyle());
  EXPECT_EQ(btsDefault, styles.Get(csHotTrack).ButtonStyle()) << "a state style falls back on the normal one";

  const auto focusedNames = StreamedNames(focused);
  EXPECT_EQ(1, std::count(focusedNames.begin(), focusedNames.end(), L"ButtonStyle"));
  EXPECT_EQ(0, std::count(focusedNames.begin(), focusedNames.end(), L"ButtonTransparency"));
  EXPECT_EQ(0, std::count(focusedNames.begin(), focusedNames.end(), L"Gradient"));
  const auto normalNames = StreamedNames(normal);
  EXPECT_EQ(1, std::count(normalNames.begin(), normalNames.end(), L"Gradient"));
  EXPECT_EQ(1, std::count(normalNames.begin(), normalNames.end(), L"ButtonTransparency"));

  // Read back into fresh styles: the same values with their bits.
  TMemoryStream stream;
  WriteProperties(normal, stream);
  stream.SetPosition(0);
  TEditStyles other(&owner);
  ReadProperties(other.Get(csNormal), stream);
  EXPECT_TRUE(other.Get(csNormal).Gradient());
  EXPECT_EQ(ebtHideInactive, other.Get(csNormal).ButtonTransparency());
  EXPECT_TRUE(other.Get(csNormal).IsValueAssigned(svGradient));

  EXPECT_FALSE(focused.IsExtendedStylePropertyPublished(L"ButtonTransparency"));
  EXPECT_FALSE(focused.IsExtendedStylePropertyPublished(L"GradientDirection"));
  EXPECT_TRUE(focused.IsExtendedStylePropertyPublished(L"ButtonStyle"));
  EXPECT_TRUE(focused.IsExtendedStylePropertyPublished(L"BorderStyle"));
}

TEST_F(EditStyles, WritesNotifyOnRealChangesAndAssignOnce) {
  TStyleOwner owner(false);
  TEditStyles styles(&owner);
  TcxEditStyle& normal = styles.Get(csNormal);
  normal.SetPopupBorderStyle(epbsFlat);
  EXPECT_EQ(1, styles.Notices);
  normal.SetPopupBorderStyle(epbsFlat);
  EXPECT_EQ(1, styles.Notices) << "an assigned equal value";

  TEditStyles source(&owner);
  source.Get(csNormal).SetButtonStyle(btsOffice11);
  source.Get(csNormal).SetGradientDirection(dirLeft);
  source.Get(csNormal).SetColor(clYellow);
  styles.Notices = 0;
  normal.Assign(source.Get(csNormal));
  EXPECT_EQ(1, styles.Notices);
  EXPECT_EQ(btsOffice11, normal.ButtonStyle());
  EXPECT_EQ(dirLeft, normal.GradientDirection());
  EXPECT_EQ(clYellow, normal.Color());
  EXPECT_FALSE(normal.IsValueAssigned(svPopupBorderStyle)) << "the source's bits came along";

  TFont font;
  font.SetColor(clRed);
  styles.Notices = 0;
  normal.Init(TcxViewParams{nullptr, clAqua, &font, clGreen});
  EXPECT_EQ(1, styles.Notices);
  EXPECT_EQ(clAqua, normal.Color());
  EXPECT_EQ(clGreen, normal.TextColor());
}

TEST_F(EditStyles, FallbackControllerByKindOfOwner) {
  TStyleOwner standAlone(false), inplace(true);
  TEditStyles plain(&standAlone), cell(&inplace);
  EXPECT_EQ(cxDefaultEditStyleController(), plain.Get(csNormal).TcxContainerStyle::ActiveStyleController());
  EXPECT_EQ(nullptr, plain.Get(csNormal).StyleController()) << "the default controller reads as none";
  EXPECT_EQ(nullptr, cell.Get(csNormal).TcxContainerStyle::ActiveStyleController()) << "in-place styles follow none";
  TcxEditStyle direct(&standAlone, true, nullptr, csNormal);
  EXPECT_EQ(nullptr, direct.TcxContainerStyle::ActiveStyleController());
  cxDefaultEditStyleController()->Style()->SetButtonStyle(btsUltraFlat);
  EXPECT_EQ(btsUltraFlat, plain.Get(csNormal).ButtonStyle());
  EXPECT_EQ(btsDefault, cell.Get(csNormal).ButtonStyle());
  cxDefaultEditStyleController()->Style()->SetAssignedValues(0);
}

}  // namespace laf_editors_test
