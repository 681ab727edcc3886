// Filter edit helpers: the operators offered, the properties a filter row
// gets, the filter editor with and without an in-place list, the value and
// its text, and the registry keyed by the parent class, gone when emptied.
#include "CustomEditTest.h"
#include "cxFilterControlUtils.h"

using namespace tvk;

namespace laf_editors_test {

namespace {

class TFilterTestHelper : public TcxCustomFilterEditHelper {
public:
  TVK_CLASS(TFilterTestHelper, TcxCustomFilterEditHelper)
  TcxCustomEditClass GetFilterEditClass() const override { return EditClassOf<TTestEdit>(); }
};
class TFilterMemoHelper : public TFilterTestHelper {
public:
  TVK_CLASS(TFilterMemoHelper, TFilterTestHelper)
};

// A properties tree as the text editor's and the memo's.
#define TVK_FILTER_PROPS(Name, Parent)       \
  class Name : public Parent {               \
  public:                                    \
    TVK_CLASS(Name, Parent)                  \
    TVK_EDIT_PROPERTIES_CLASS(Name)          \
    using Parent::Parent;                    \
  };
TVK_FILTER_PROPS(TFilterCustomTextProps, TcxCustomEditProperties)
TVK_FILTER_PROPS(TFilterTextProps, TFilterCustomTextProps)
TVK_FILTER_PROPS(TFilterCustomMemoProps, TFilterCustomTextProps)
TVK_FILTER_PROPS(TFilterMemoProps, TFilterCustomMemoProps)
#undef TVK_FILTER_PROPS

// Shows "#" and the value.
class TFilterShownProps : public TcxCustomEditProperties {
public:
  TVK_CLASS(TFilterShownProps, TcxCustomEditProperties)
  TVK_EDIT_PROPERTIES_CLASS(TFilterShownProps)
  using TcxCustomEditProperties::TcxCustomEditProperties;
  WideString GetDisplayText(const Variant& AEditValue, bool, bool) override { return L"#" + VarToStr(AEditValue); }
};

}  // namespace

using FilterEditHelpers = EditorsUnits;

TEST_F(FilterEditHelpers, TheBaseOffersComparisonsLikeOnlyForTextAndNeverDates) {
  const TcxCustomFilterEditHelperClass helper = FilterEditHelperClassOf<TcxCustomFilterEditHelper>();
  const TcxFilterControlOperators like = cxFilterOperatorBit(fcoLike) | cxFilterOperatorBit(fcoNotLike);
  const TcxFilterControlOperators basic = cxFilterOperatorRange(fcoEqual, fcoNonBlanks);
  const TcxFilterControlOperators extended = cxFilterOperatorRange(fcoEqual, fcoNotInList);
  struct Case {
    const char* Name;
    TcxValueTypeClass ValueType;
    bool Extended;
    TcxFilterControlOperators Expected;
  };
  const Case cases[] = {
      {"string", TcxStringValueType::Class(), false, basic},
      {"integer", TcxIntegerValueType::Class(), false, basic & ~like},
      {"string extended", TcxStringValueType::Class(), true, extended},
      {"none", nullptr, true, extended & ~like},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const TcxFilterControlOperators ops = helper->GetSupportedFilterOperators(nullptr, c.ValueType, c.Extended);
    EXPECT_EQ(c.Expected, ops);
    EXPECT_EQ(0u, ops & (cxFilterOperatorBit(fcoNone) | cxFilterOperatorRange(fcoYesterday, fcoInFuture)));
  }
  EXPECT_EQ(36, fcoInFuture);
  Variant text(L"12");
  EXPECT_TRUE(helper->IsValueValid(TcxIntegerValueType::Class(), text));
}

TEST_F(FilterEditHelpers, AFilterRowsPropertiesKeepTheFieldsSettingsButTheUsersCode) {
  TcxCustomEditProperties field(nullptr);
  field.Alignment().SetHorz(TAlignment::taRightJustify);
  field.Alignment().SetVert(taBottomJustify);
  field.SetBeepOnError(true);
  field.SetReadOnly(true);
  field.SetAutoSelect(false);
  field.Buttons().Add();
  int closes = 0, userCode = 0;
  field.OnChange = [&](TObject*) { ++userCode; };
  field.OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { ++userCode; };
  field.OnButtonClick = [&](TObject*, int) { ++userCode; };
  field.OnEditValueChanged = [&](TObject*) { ++userCode; };

  for (const bool hasButtons : {false, true}) {
    SCOPED_TRACE(hasButtons);
    TcxCustomEditProperties row(nullptr);
    row.OnClosePopup = [&](TObject*, TcxEditCloseUpReason) { ++closes; };
    FilterEditHelperClassOf<TcxCustomFilterEditHelper>()->InitializeProperties(row, field, hasButtons);
    EXPECT_FALSE(row.AutoSelect()) << "copied";
    EXPECT_EQ(TAlignment::taLeftJustify, row.Alignment().Horz());
    EXPECT_EQ(taTopJustify, row.Alignment().Vert());
    EXPECT_FALSE(row.BeepOnError());
    EXPECT_EQ(hasButtons ? 1 : 0, row.Buttons().Count());
    EXPECT_FALSE(row.ReadOnly());
    EXPECT_TRUE(row.IsReadOnlyAssigned()) << "explicitly not read-only";
    EXPECT_TRUE(row.ValidateOnEnter());
    EXPECT_FALSE(row.OnChange || row.OnValidate || row.OnButtonClick || row.OnEditValueChanged);
    ASSERT_TRUE(row.OnClosePopup) << "the row's own popup handler stays";
    row.OnClosePopup(nullptr, crClose);
  }
  EXPECT_EQ(2, closes);
  EXPECT_EQ(0, userCode);
}

TEST_F(FilterEditHelpers, TheFilterEditorComesFromTheListOnceOrNewEachTime) {
  const TcxCustomFilterEditHelperClass helper = FilterEditHelperClassOf<TFilterTestHelper>();
  TcxCustomEditProperties field(nullptr);
  field.SetImmediatePost(true);
  TcxInplaceEditList list(nullptr);
  TcxCustomEdit* first = helper->GetFilterEdit(field, &list);
  TcxCustomEdit* second = helper->GetFilterEdit(field, &list);
  EXPECT_EQ(first, second);
  EXPECT_EQ(1, list.Count());
  EXPECT_TRUE(first->IsInplace());
  EXPECT_TRUE(first->ActiveProperties()->ImmediatePost()) << "prepared from the field's properties";

  std::unique_ptr<TcxCustomEdit> own1(helper->GetFilterEdit(field));
  std::unique_ptr<TcxCustomEdit> own2(helper->GetFilterEdit(field));
  EXPECT_NE(own1.get(), own2.get());
  EXPECT_EQ(nullptr, own1->Owner());
  EXPECT_EQ(TTestEdit::StaticClassInfo().Name, own1->ClassType()->Name);

  EXPECT_THROW(FilterEditHelperClassOf<TcxCustomFilterEditHelper>()->GetFilterEdit(field), EcxEditError)
      << "the base helper names no editor";
}

TEST_F(FilterEditHelpers, TheValueComesFromTheEditorAndItsTextFromThePropertiesPassed) {
  std::unique_ptr<TTestEdit> edit(CreateComponent<TTestEdit>(nullptr, false));
  edit->SetEditValue(Variant(L"v"));
  TFilterShownProps shown(nullptr);
  Variant V;
  WideString S;
  FilterEditHelperClassOf<TcxCustomFilterEditHelper>()->GetFilterValue(*edit, shown, V, S);
  EXPECT_EQ(L"v", VarToStr(V));
  EXPECT_EQ(L"#v", S);
}

TEST_F(FilterEditHelpers, HelpersAreKeyedByTheParentClassAndTheRegistryGoesWhenEmptied) {
  const auto text = FilterEditHelperClassOf<TFilterTestHelper>();
  const auto memo = FilterEditHelperClassOf<TFilterMemoHelper>();
  const auto textProps = EditPropertiesClassOf<TFilterTextProps>();
  const auto memoProps = EditPropertiesClassOf<TFilterMemoProps>();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(nullptr, FindFilterEditsController());
    FilterEditsController()->Register(textProps, text);
    FilterEditsController()->Register(memoProps, memo);
    struct Case {
      TcxCustomEditPropertiesClass Props;
      TcxCustomFilterEditHelperClass Expected;
    };
    const Case cases[] = {{memoProps, memo},
                          {textProps, text},
                          {EditPropertiesClassOf<TFilterCustomMemoProps>(), text},
                          {EditPropertiesClassOf<TFilterCustomTextProps>(), nullptr}};
    for (const Case& c : cases) EXPECT_EQ(c.Expected, FilterEditsController()->FindHelper(c.Props)) << c.Props->ClassName();
    FilterEditsController()->Unregister(memoProps, text);
    EXPECT_NE(nullptr, FindFilterEditsController()) << "an unknown pair changes nothing";
    FilterEditsController()->Unregister(memoProps, memo);
    FilterEditsController()->Unregister(textProps, text);
    EXPECT_EQ(nullptr, FindFilterEditsController()) << "destroyed by the last unregistration";
  }
  FilterEditsController()->Unregister(textProps, text);
  EXPECT_EQ(nullptr, FindFilterEditsController()) << "an unknown pair still destroys an empty registry";
}

}  // namespace laf_editors_test
