// Container styles: the resolution chain (own value, controller chain,
// fallback), the fallback table by state, controllers with cycles refused,
// change events and update brackets, and values that live on the normal style.
#include "Streams.h"
#include "cxContainer.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

// Stands for a container: a persistent owner that answers the style's questions.
class TStyleHost : public TPersistent, public TcxContainerStyleHost {
public:
  bool ParentColored = false;
  bool ParentColorOn = false;
  bool ParentFontOn = false;
  TColor ParentColorValue = clRed;
  bool UsesParentColorByDefault() override { return ParentColored; }
  bool ParentColor() override { return ParentColorOn; }
  void SetParentColor(bool AValue) override { ParentColorOn = AValue; }
  bool ParentFont() override { return ParentFontOn; }
  void SetParentFont(bool AValue) override { ParentFontOn = AValue; }
  bool GetParentColor(TColor& AColor) override {
    AColor = ParentColorValue;
    return true;
  }
  bool IsInplace() override { return false; }
  bool IsStylePropertyPublished(const WideString&, bool) override { return true; }
};

class ContainerStyles : public laf_test::LookAndFeel {
protected:
  void TearDown() override {
    ContainerDefaultStyleController = nullptr;
    laf_test::LookAndFeel::TearDown();
  }
  TStyleHost Host;
};

int CountChanges(TcxContainerStyle* AStyle, int& ACounter) {
  AStyle->OnChanged = [&ACounter](TObject*) { ++ACounter; };
  return ACounter;
}

}  // namespace

TEST_F(ContainerStyles, FallbacksByState) {
  struct Case {
    TcxContainerStateItem State;
    bool ParentColored;
    TColor BorderColor, Color, TextColor;
  };
  for (const Case c : {Case{csNormal, false, TColor(kSystemColor | COLOR_WINDOWFRAME), clWindow, clWindowText},
                       Case{csNormal, true, TColor(kSystemColor | COLOR_WINDOWFRAME), clBtnFace, clWindowText},
                       Case{csActive, false, TColor(kSystemColor | COLOR_WINDOWFRAME), clWindow, clWindowText},
                       Case{csHotTrack, false, TColor(kSystemColor | COLOR_WINDOWFRAME), clWindow, clWindowText},
                       Case{csDisabled, false, clBtnShadow, clBtnFace, clBtnShadow},
                       Case{csDisabled, true, clBtnShadow, clBtnFace, clBtnShadow}}) {
    Host.ParentColored = c.ParentColored;
    TcxContainerStyles styles(&Host);
    TcxContainerStyle* style = styles.GetStyleByState(c.State);
    styles.Style()->Font()->SetColor(clWindowText);
    EXPECT_EQ(c.BorderColor, style->BorderColor()) << c.State;
    EXPECT_EQ(c.Color, style->Color()) << c.State << " parent coloured " << c.ParentColored;
    EXPECT_EQ(c.TextColor, style->TextColor()) << c.State;
    EXPECT_EQ(cxBordersAll, style->Edges());
    EXPECT_TRUE(style->HotTrack());
    EXPECT_FALSE(style->Shadow());
    EXPECT_TRUE(style->TransparentBorder());
  }
}

TEST_F(ContainerStyles, FocusedAndHotBordersThickenWhileHotTracking) {
  struct Case {
    TcxContainerBorderStyle Normal, Focused;
  };
  TcxContainerStyles styles(&Host);
  for (const Case c : {Case{cbsNone, cbsFlat}, Case{cbsSingle, cbsThick}, Case{cbsThick, cbsThick},
                       Case{cbsFlat, cbs3D}, Case{cbs3D, cbs3D}, Case{cbsUltraFlat, cbsUltraFlat},
                       Case{cbsOffice11, cbsOffice11}}) {
    styles.Style()->SetBorderStyle(c.Normal);
    styles.Style()->SetHotTrack(true);
    EXPECT_EQ(c.Focused, styles.StyleFocused()->BorderStyle()) << c.Normal;
    EXPECT_EQ(c.Focused, styles.StyleHot()->BorderStyle()) << c.Normal;
    EXPECT_EQ(c.Normal, styles.StyleDisabled()->BorderStyle()) << c.Normal;
    styles.Style()->SetHotTrack(false);
    EXPECT_EQ(c.Normal, styles.StyleFocused()->BorderStyle()) << c.Normal;
  }
}

TEST_F(ContainerStyles, NormalBorderFollowsTheLookAndFeelKind) {
  TcxContainerStyles styles(&Host);
  const TcxContainerBorderStyle expected[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
  for (int kind = lfFlat; kind <= lfOffice11; ++kind) {
    styles.Style()->LookAndFeel()->SetKind(TcxLookAndFeelKind(kind));
    EXPECT_EQ(expected[kind], styles.Style()->BorderStyle()) << kind;
  }
}

TEST_F(ContainerStyles, ControllerValuesReachEveryUserUnlessAssignedThere) {
  TcxStyleController outer(nullptr), inner(nullptr);
  inner.Style()->SetStyleController(&outer);
  outer.Styles().StyleFocused()->SetColor(clYellow);
  TcxContainerStyles first(&Host), second(&Host);
  first.Style()->SetStyleController(&inner);
  second.Style()->SetStyleController(&inner);
  EXPECT_EQ(clYellow, first.StyleFocused()->Color()) << "through both controllers";
  EXPECT_EQ(clYellow, second.StyleFocused()->Color());
  EXPECT_TRUE(first.StyleFocused()->IsValueAssigned(svColor));
  EXPECT_EQ(clWindow, first.Style()->Color()) << "other states keep their own chain";
  second.StyleFocused()->SetColor(clLime);
  EXPECT_EQ(clLime, second.StyleFocused()->Color());
  inner.Styles().StyleFocused()->SetColor(clAqua);
  EXPECT_EQ(clAqua, first.StyleFocused()->Color()) << "the nearer controller wins";
  EXPECT_EQ(2, inner.ListenerCount());
}

TEST_F(ContainerStyles, ControllerCycleIsRefusedSilently) {
  TcxStyleController a(nullptr), b(nullptr), c(nullptr);
  b.Style()->SetStyleController(&a);
  c.Style()->SetStyleController(&b);
  a.Style()->SetStyleController(&c);
  EXPECT_EQ(nullptr, a.Style()->StyleController());
  a.Style()->SetStyleController(&a);
  EXPECT_EQ(nullptr, a.Style()->StyleController());
  a.Styles().Style()->SetBorderColor(clRed);
  EXPECT_EQ(clRed, c.Style()->BorderColor());
}

TEST_F(ContainerStyles, FreedControllerHandsItsUsersBackToTheDefault) {
  TcxContainerStyles styles(&Host);
  {
    TcxStyleController controller(nullptr);
    styles.Style()->SetStyleController(&controller);
    controller.Style()->SetColor(clYellow);
    EXPECT_EQ(clYellow, styles.Style()->Color());
  }
  EXPECT_EQ(nullptr, styles.Style()->StyleController());
  EXPECT_EQ(clWindow, styles.Style()->Color());
}

TEST_F(ContainerStyles, DefaultControllerVariableFeedsStylesWithoutAController) {
  TcxStyleController defaults(nullptr);
  defaults.Style()->SetColor(clFuchsia);
  ContainerDefaultStyleController = &defaults;
  TcxContainerStyles styles(&Host);
  EXPECT_EQ(clFuchsia, styles.Style()->Color());
  EXPECT_EQ(nullptr, styles.Style()->StyleController()) << "the default controller reads as none";
  ContainerDefaultStyleController = nullptr;
  TcxContainerStyles later(&Host);
  EXPECT_EQ(clWindow, later.Style()->Color()) << "no default: straight to the fallback";
}

TEST_F(ContainerStyles, ChangesAreReportedOnceAndOnlyWhenSomethingChanged) {
  TcxContainerStyles styles(&Host);
  int changes = 0;
  CountChanges(styles.Style(), changes);
  styles.Style()->SetBorderColor(clRed);
  styles.Style()->SetBorderColor(clRed);
  EXPECT_EQ(1, changes);
  styles.Style()->SetTextColor(styles.Style()->TextColor());
  EXPECT_EQ(2, changes) << "a first write assigns the value";
  styles.Style()->SetTextColor(styles.Style()->TextColor());
  EXPECT_EQ(2, changes) << "an assigned text colour equal to the resolved one";
  styles.Style()->BeginUpdate();
  styles.Style()->SetColor(clYellow);
  styles.Style()->SetBorderStyle(cbsSingle);
  styles.Style()->SetShadow(true);
  EXPECT_EQ(2, changes);
  styles.Style()->EndUpdate();
  EXPECT_EQ(3, changes) << "one event for the bracket";
  styles.Style()->EndUpdate();
  EXPECT_EQ(3, changes);
}

TEST_F(ContainerStyles, BaseOnlyValuesWrittenOnTheHotStyleChangeTheNormalStyle) {
  TcxContainerStyles styles(&Host);
  TcxContainerStyle* hot = styles.StyleHot();
  hot->SetEdges(bLeft | bTop);
  hot->SetHotTrack(false);
  hot->SetShadow(true);
  hot->SetTransparentBorder(false);
  TFont font;
  font.SetSize(17);
  hot->SetFont(&font);
  TcxContainerStyle* normal = styles.Style();
  EXPECT_EQ(bLeft | bTop, normal->Edges());
  EXPECT_FALSE(normal->HotTrack());
  EXPECT_TRUE(normal->Shadow());
  EXPECT_FALSE(normal->TransparentBorder());
  EXPECT_EQ(17, normal->Font()->Size());
  EXPECT_EQ(cxStyleValueBit(svEdges) | cxStyleValueBit(svFont) | cxStyleValueBit(svHotTrack) |
                cxStyleValueBit(svShadow) | cxStyleValueBit(svTransparentBorder),
            normal->AssignedValues());
  EXPECT_EQ(0u, hot->AssignedValues());
  EXPECT_TRUE(hot->IsValueAssigned(svTransparentBorder)) << "the bit is answered";
  EXPECT_FALSE(hot->IsExtendedStylePropertyPublished(L"Shadow"));
  EXPECT_TRUE(hot->IsExtendedStylePropertyPublished(L"BorderColor"));
  EXPECT_FALSE(hot->IsExtendedStylePropertyPublished(L"stylecontroller"));
}

TEST_F(ContainerStyles, ValueNamesAndLookups) {
  TcxContainerStyles styles(&Host);
  WideString name = L"x";
  EXPECT_FALSE(styles.Style()->GetStyleValueName(10, name));
  EXPECT_TRUE(name.empty());
  EXPECT_TRUE(styles.Style()->GetStyleValueName(9, name));
  EXPECT_EQ(WideString(L"TransparentBorder"), name);
  TcxContainerStyleValue value = -1;
  EXPECT_TRUE(styles.Style()->GetStyleValue(L"textcolor", value));
  EXPECT_EQ(svTextColor, value);
  EXPECT_FALSE(styles.Style()->GetStyleValue(L"Nothing", value));
}

TEST_F(ContainerStyles, DirectAccessStyleHoldsValuesWithoutEvents) {
  TFont font;
  font.SetStyle(fsBold);
  TcxContainerStyle style(nullptr, true, nullptr, csNormal);
  int changes = 0;
  CountChanges(&style, changes);
  style.SetFont(&font);
  style.SetColor(clRed);
  EXPECT_EQ(&font, style.Font());
  EXPECT_EQ(clRed, style.Color());
  EXPECT_EQ(TFontStyles(fsBold), style.TextStyle());
  EXPECT_EQ(clDefault, style.BorderColor());
  EXPECT_TRUE(style.IsValueAssigned(svShadow));
  EXPECT_EQ(0, changes);
}

TEST_F(ContainerStyles, OnlyOwnValuesTheContainerPublishesAreStored) {
  TcxContainer container(nullptr);
  TcxContainerStyle* normal = container.Style();
  TcxContainerStyle* focused = container.StyleFocused();
  normal->SetBorderColor(clRed);
  container.StyleHot()->SetEdges(bLeft);
  focused->SetTextColor(clBlue);
  // A base-only value marked on a state style is still not that style's to store.
  focused->SetAssignedValues(focused->AssignedValues() | cxStyleValueBit(svEdges));
  struct Case {
    TcxContainerStyle* Style;
    const wchar_t* Name;
    bool Stored;
  };
  for (const Case c : {Case{normal, L"BorderColor", true}, Case{normal, L"Color", false},
                       Case{normal, L"edges", true}, Case{container.StyleHot(), L"Edges", false},
                       Case{focused, L"TextColor", true}, Case{focused, L"Edges", false},
                       Case{normal, L"StyleController", false}, Case{normal, L"LookAndFeel", true}}) {
    EXPECT_EQ(c.Stored, c.Style->IsPropertyStored(c.Name)) << c.Name << " of state " << int(c.Style->State());
  }
  TcxStyleController controller(nullptr);
  normal->SetStyleController(&controller);
  EXPECT_TRUE(normal->IsPropertyStored(L"StyleController"));
  EXPECT_FALSE(focused->IsPropertyStored(L"StyleController"));
  normal->SetStyleController(nullptr);
}

TEST_F(ContainerStyles, IsFontAssignedIsWrittenWithAStoredFontAndReadingItMakesTheFontOwn) {
  TcxContainerStyles written(&Host);
  TMemoryStream withoutFont;
  WriteBinaryProperties(*written.Style(), withoutFont);
  withoutFont.SetPosition(0);
  EXPECT_TRUE(BinaryPropertyNames(withoutFont).empty());

  written.Style()->Font()->SetSize(21);
  ASSERT_TRUE(written.Style()->AssignedValues() & cxStyleValueBit(svFont));
  TMemoryStream stream;
  WriteBinaryProperties(*written.Style(), stream);
  stream.SetPosition(0);
  EXPECT_EQ(std::vector<WideString>{L"IsFontAssigned"}, BinaryPropertyNames(stream));

  TcxContainerStyles read(&Host);
  ASSERT_FALSE(read.Style()->AssignedValues() & cxStyleValueBit(svFont));
  stream.SetPosition(0);
  ReadBinaryProperties(*read.Style(), stream);
  EXPECT_TRUE(read.Style()->AssignedValues() & cxStyleValueBit(svFont));
}

TEST_F(ContainerStyles, AStyleCarriesTheSkinSupportMarker) {
  TcxContainerStyles styles(&Host);
  EXPECT_TRUE(IsSkinSupportedBy(styles.Style()));
  EXPECT_TRUE(IsSkinSupportedBy(styles.StyleHot()));
  TcxStyleController controller(nullptr);
  EXPECT_FALSE(IsSkinSupportedBy(&controller)) << "a controller is no style";
}
