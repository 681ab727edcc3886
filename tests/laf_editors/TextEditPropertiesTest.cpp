// Text editor properties: the derived view style, display texts (password,
// letter case, null text), number formatting and the edit format through a
// numeric subclass, thousand separators, bounds, Assign of lookup items and
// format flags, format-controller notifications, streaming, and the unit's
// registration.
#include "EditorsTest.h"
#include "LocaleFormats.h"
#include "Streams.h"
#include "Variants.h"
#include "cxEditConsts.h"
#include "cxTextEdit.h"

#include <algorithm>

using namespace tvk;

namespace laf_editors_test {

namespace {

// The numbers-only behaviour descendants give: numeric edit values, thousand
// separators on request.
class TNumericProperties : public TcxCustomTextEditProperties {
public:
  TVK_CLASS(TNumericProperties, TcxCustomTextEditProperties)
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool IsEditValueNumeric() override { return true; }
  bool UseThousandSeparators(bool) override { return Separators; }
  bool Separators = false;
};

// A provider with the number settings a test sets.
class TNumberProvider : public TcxCustomEditDefaultValuesProvider {
public:
  TVK_CLASS(TNumberProvider, TcxCustomEditDefaultValuesProvider)
  TNumberProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  WideString DefaultDisplayFormat() override { return DisplayFormat; }
  WideString DefaultEditFormat() override { return EditFormat; }
  bool IsCurrency() override { return Currency; }
  int DefaultMaxLength() override { return 7; }
  int DefaultPrecision() override { return Precision; }
  bool IsOnGetTextAssigned() override { return true; }
  WideString DisplayFormat, EditFormat;
  bool Currency = false;
  int Precision = 15;
};

TFormatSettings PointAndComma() {
  TFormatSettings settings;
  settings.DecimalSeparator = L'.';
  settings.ThousandSeparator = L',';
  settings.CurrencyDecimals = 2;
  return settings;
}

WideString Display(TcxCustomTextEditProperties& AProperties, const Variant& AValue, bool AFocused) {
  Variant display;
  AProperties.PrepareDisplayValue(AValue, display, AFocused);
  return VarToStr(display);
}

}  // namespace

using TextEditProperties = EditorsUnits;

TEST_F(TextEditProperties, DefaultsClassesAndTheDerivedViewStyle) {
  TcxTextEditProperties p(nullptr);
  EXPECT_TRUE(p.AutoSelect() && p.HideSelection() && p.IncrementalSearch() && p.FixedListSelection());
  EXPECT_EQ(TEditCharCase::ecNormal, p.CharCase());
  EXPECT_EQ(eemNormal, p.EchoMode());
  EXPECT_EQ(0, p.MaxLength());
  EXPECT_EQ(8, p.GetDropDownRowCount());
  EXPECT_EQ(&TcxCustomTextEditViewData::StaticClassInfo(), p.ViewDataClass()->Info);
  EXPECT_EQ(&TcxCustomTextEditViewInfo::StaticClassInfo(), p.GetViewInfoClass()->Info);
  EXPECT_EQ(nullptr, p.GetLookupDataClass());
  EXPECT_FALSE(p.UseLookupData());
  EXPECT_TRUE(p.LookupItems().Duplicates() == TDuplicates::dupAccept);
  EXPECT_TRUE(p.GetSupportedOperations() & cxOperationBit(esoEditingAutoHeight)) << "no buttons";
  p.Buttons().Add();
  EXPECT_FALSE(p.GetSupportedOperations() & cxOperationBit(esoEditingAutoHeight));
  EXPECT_TRUE(p.GetSupportedOperations() & cxOperationBit(esoIncSearch));

  int changes = 0;
  p.OnPropertiesChanged = [&](TObject*) { ++changes; };
  const struct {
    TcxTextEditViewStyle Style;
    TcxEditButtonsViewStyle Buttons;
    bool HideCursor;
    TcxEditEditingStyle Editing;
  } cases[] = {{vsHideCursor, bvsNormal, true, esNoEdit},
               {vsButtonsOnly, bvsButtonsOnly, true, esNoEdit},
               {vsButtonsAutoWidth, bvsButtonsAutoWidth, true, esNoEdit},
               {vsNormal, bvsNormal, false, esEdit}};
  for (const auto& c : cases) {
    changes = 0;
    p.SetViewStyle(c.Style);
    EXPECT_EQ(c.Style, p.ViewStyle());
    EXPECT_EQ(c.Buttons, p.ButtonsViewStyle());
    EXPECT_EQ(c.HideCursor, p.HideCursor());
    EXPECT_EQ(c.Editing, p.GetEditingStyle());
    EXPECT_EQ(c.Editing != esNoEdit, p.IsResetEditClass());
    EXPECT_EQ(1, changes) << "one bracket";
  }
  changes = 0;
  p.SetViewStyle(vsNormal);
  EXPECT_EQ(0, changes);
}

TEST_F(TextEditProperties, PasswordAndLetterCaseInTheDisplayText) {
  TcxTextEditProperties p(nullptr);
  p.SetEchoMode(eemPassword);
  EXPECT_EQ(L"***", p.GetDisplayText(Variant(L"abc")));
  EXPECT_EQ(L"", p.GetDisplayText(Variant(L"")));
  p.SetPasswordChar(L'#');
  EXPECT_EQ(L"####", p.GetDisplayText(Variant(L"abcd")));
  p.SetEchoMode(eemNormal);
  p.SetCharCase(TEditCharCase::ecUpperCase);
  EXPECT_EQ(L"\u00C4BC", p.GetDisplayText(Variant(L"\u00E4bc")));
  Variant value(L"mixed Case");
  EXPECT_TRUE(p.IsDisplayValueValid(value, false));
  EXPECT_EQ(L"MIXED CASE", VarToStr(value)) << "the valid text is written back";
  p.SetCharCase(TEditCharCase::ecLowerCase);
  EXPECT_EQ(L"abc", p.DisplayValueToDisplayText(L"ABC"));
  EXPECT_TRUE(p.CompareDisplayValues(Variant(L"ABC"), Variant(L"abc"))) << "both shown in lower case";
  p.SetCharCase(TEditCharCase::ecNormal);
  EXPECT_FALSE(p.CompareDisplayValues(Variant(L"ABC"), Variant(L"abc")));
}

TEST_F(TextEditProperties, NullTextShowsUnfocusedOnly) {
  TcxTextEditProperties p(nullptr);
  p.SetNullstring(L"<none>");
  EXPECT_EQ(L"", Display(p, Null(), false)) << "not used yet";
  p.SetUseNullString(true);
  EXPECT_EQ(L"<none>", Display(p, Null(), false));
  EXPECT_EQ(L"", Display(p, Null(), true));
  EXPECT_EQ(L"<none>", p.GetDisplayText(Null()));
  EXPECT_EQ(L"x", Display(p, Variant(L"x"), false));
}

TEST_F(TextEditProperties, ListStylesAcceptOnlyLookupItemsWithLookupData) {
  // A subclass with a list style and lookup data, as list editors have.
  class TListProperties : public TcxCustomTextEditProperties {
  public:
    using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
    TcxEditEditingStyle GetEditingStyle() override { return esFixedList; }
    TcxTextEditLookupDataClass GetLookupDataClass() override {
      static const TcxTextEditLookupDataClassRef ref{nullptr, nullptr};
      return &ref;
    }
  } p(nullptr);
  p.LookupItems().Add(L"Apple");
  Variant value(L"APPLE");
  EXPECT_TRUE(p.IsDisplayValueValid(value, false));
  Variant other(L"pear");
  EXPECT_FALSE(p.IsDisplayValueValid(other, false));
  Variant empty(L"");
  EXPECT_TRUE(p.IsDisplayValueValid(empty, false));
  EXPECT_TRUE(p.CanIncrementalSearch());
}

TEST_F(TextEditProperties, NumbersFocusedAndUnfocused) {
  TFormatSettingsScope scope(PointAndComma());
  TNumericProperties p(nullptr);
  EXPECT_EQ(L"", Display(p, Variant(L""), true)) << "a soft null";
  EXPECT_EQ(L"", Display(p, Null(), false));
  EXPECT_EQ(L"1234.5", Display(p, Variant(1234.5), false)) << "no display format: the plain form";
  EXPECT_EQ(L"1234.5", Display(p, Variant(1234.5), true)) << "general form while editing";
  EXPECT_EQ(L"abc", Display(p, Variant(L"abc"), true)) << "not a number: the text stays";
  p.Separators = true;
  EXPECT_EQ(L"-1,234,567.5", Display(p, Variant(-1234567.5), true));
  p.Separators = false;
  p.SetDisplayFormat(L"0.00");
  EXPECT_EQ(L"1234.50", Display(p, Variant(1234.5), false));
  EXPECT_EQ(L"1234.5", Display(p, Variant(1234.5), true)) << "the display format is not the edit format";
  p.SetUseDisplayFormatWhenEditing(true);
  EXPECT_EQ(L"1234.50", Display(p, Variant(1234.5), true));
  p.SetEditFormat(L"#,##0.0");
  EXPECT_EQ(L"1,234.5", Display(p, Variant(L"1234.5"), true)) << "a numeric text through the edit format";
  EXPECT_THROW(Display(p, VarFromDateTime(1.5), true), EConvertError);
  try {
    Display(p, VarFromDateTime(1.5), false);
    ADD_FAILURE() << "a date is no number";
  } catch (const EConvertError& e) {
    EXPECT_EQ(L"Could not convert to numeric value", WideString(e.Message()));
  }

  TNumericProperties money(nullptr);
  TNumberProvider provider;
  provider.Currency = true;
  provider.Precision = 10;
  money.SetIDefaultValuesProvider(&provider);
  EXPECT_EQ(L"12.50", Display(money, Variant(12.5), true)) << "currency decimals while editing";
}

TEST_F(TextEditProperties, TheEditFormatAndItsFlags) {
  TNumericProperties p(nullptr);
  TNumberProvider provider;
  bool currency = true, onGetText = true;
  EXPECT_EQ(L"", p.GetEditFormatEx(currency, onGetText));
  EXPECT_FALSE(currency || onGetText) << "both start false";
  p.SetIDefaultValuesProvider(&provider);
  provider.Currency = true;
  EXPECT_EQ(L"", p.GetEditFormatEx(currency, onGetText));
  EXPECT_TRUE(currency);
  EXPECT_TRUE(onGetText);
  EXPECT_EQ(L"", p.GetEditFormatEx(currency, onGetText, true));
  EXPECT_FALSE(onGetText) << "not asked of an in-place editor";
  provider.DisplayFormat = L"0.0";
  EXPECT_EQ(L"", p.GetEditFormatEx(currency, onGetText)) << "dropped unless used when editing";
  EXPECT_FALSE(currency);
  EXPECT_EQ(L"0.0", p.DisplayFormat()) << "the provider's";
  p.SetUseDisplayFormatWhenEditing(true);
  EXPECT_EQ(L"0.0", p.GetEditFormatEx(currency, onGetText));
  p.SetDisplayFormat(L"0.000");
  EXPECT_EQ(L"0.000", p.EditFormat());
  provider.EditFormat = L"#";
  EXPECT_EQ(L"#", p.EditFormat());
  p.SetEditFormat(L"0");
  EXPECT_EQ(L"0", p.EditFormat()) << "an assigned edit format first";
  EXPECT_EQ(7, p.MaxLength()) << "the provider's until assigned";
  p.SetMaxLength(-3);
  EXPECT_EQ(0, p.MaxLength());
  EXPECT_TRUE(p.AssignedValues().MaxLength());
}

TEST_F(TextEditProperties, ThousandSeparators) {
  TFormatSettingsScope scope(PointAndComma());
  const struct {
    const wchar_t* In;
    const wchar_t* Out;
  } cases[] = {
      {L"-1234567.5", L"-1,234,567.5"}, {L"123", L"123"},         {L"1234", L"1,234"},
      {L"1,2,34", L"1,234"},            {L" 12345E10 ", L" 12,345E10 "}, {L"0.12345", L"0.12345"},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Out, InsertThousandSeparators(c.In)) << c.In;
  TFormatSettings spaced = PointAndComma();
  spaced.ThousandSeparator = L' ';
  spaced.DecimalSeparator = L',';
  TFormatSettingsScope other(spaced);
  EXPECT_EQ(L"-1 234 567,5", InsertThousandSeparators(L"-1234567,5"));
}

TEST_F(TextEditProperties, BoundsOfANumericSubclass) {
  TNumericProperties p(nullptr);
  const auto validate = [&](double AValue) {
    Variant value(AValue);
    TCaption text;
    bool error = false;
    p.ValidateDisplayValue(value, text, error, nullptr);
    return std::pair<bool, TCaption>(error, text);
  };
  EXPECT_FALSE(p.IsValueBoundsDefined());
  p.SetMinValue(10);
  EXPECT_TRUE(p.IsValueBoundDefined(0));
  EXPECT_FALSE(p.IsValueBoundDefined(1)) << "only the minimum is assigned";
  EXPECT_TRUE(validate(5).first);
  EXPECT_EQ(L"Value out of bounds", validate(5).second);
  EXPECT_FALSE(validate(1e9).first);
  p.SetMaxValue(10);
  EXPECT_FALSE(p.IsValueBoundsDefined()) << "both assigned, the maximum not above the minimum";
  EXPECT_FALSE(validate(5).first);
  p.SetMaxValue(20);
  EXPECT_TRUE(validate(25).first);
  EXPECT_FALSE(validate(15).first);

  TcxTextEditProperties text(nullptr);
  text.SetMinValue(10);
  Variant value(5.0);
  TCaption message;
  bool error = false;
  text.ValidateDisplayValue(value, message, error, nullptr);
  EXPECT_FALSE(error) << "a text editor checks no bounds";
}

TEST_F(TextEditProperties, AssignCopiesItemsInOrderAndFlagsOnlyWhenSet) {
  TcxTextEditProperties source(nullptr), target(nullptr);
  source.LookupItems().Add(L"pear");
  source.LookupItems().Add(L"apple");
  source.SetCharCase(TEditCharCase::ecUpperCase);
  source.SetPasswordChar(L'x');
  source.SetNullstring(L"-");
  source.SetMaxLength(12);
  TcxTextEditChars chars;
  chars.set('z');
  source.SetValidChars(chars);
  target.SetDisplayFormat(L"0.0");
  target.Assign(source);
  EXPECT_EQ(L"pear\r\napple\r\n", target.LookupItems().Text()) << "an unsorted source keeps its order";
  EXPECT_FALSE(target.LookupItemsSorted());
  EXPECT_EQ(TEditCharCase::ecUpperCase, target.CharCase());
  EXPECT_EQ(L'x', target.PasswordChar());
  EXPECT_EQ(L"-", target.Nullstring());
  EXPECT_EQ(12, target.MaxLength());
  EXPECT_TRUE(target.ValidChars().test('z'));
  EXPECT_FALSE(target.AssignedValues().DisplayFormat()) << "the source never set one";

  source.SetLookupItemsSorted(true);
  target.Assign(source);
  EXPECT_EQ(L"apple\r\npear\r\n", target.LookupItems().Text());
  EXPECT_TRUE(target.LookupItemsSorted());
}

TEST_F(TextEditProperties, FormatChangesReachEveryPropertiesObjectUntilItGoes) {
  int changes = 0;
  bool changing = false;
  auto p = std::make_unique<TcxTextEditProperties>(nullptr);
  p->OnPropertiesChanged = [&](TObject* ASender) {
    ++changes;
    changing = static_cast<TcxCustomTextEditProperties*>(ASender)->FormatChanging();
  };
  GetFormatController()->NotifyListeners();
  EXPECT_EQ(1, changes);
  EXPECT_TRUE(changing);
  EXPECT_FALSE(p->FormatChanging());
  p.reset();
  GetFormatController()->NotifyListeners();  // the listener left: nothing is told
  EXPECT_EQ(1, changes);
}

TEST_F(TextEditProperties, StreamingKeepsTheFlagsRules) {
  TcxTextEditProperties p(nullptr);
  p.SetCharCase(TEditCharCase::ecLowerCase);
  p.SetNullstring(L"n/a");
  p.SetPasswordChar(L'%');
  TMemoryStream stream;
  WriteProperties(p, stream);
  stream.SetPosition(0);
  std::vector<WideString> names = BinaryPropertyNames(stream);
  const auto has = [&](const wchar_t* AName) { return std::find(names.begin(), names.end(), AName) != names.end(); };
  EXPECT_TRUE(has(L"CharCase") && has(L"Nullstring") && has(L"PasswordChar"));
  EXPECT_FALSE(has(L"MaxLength")) << "stored only when assigned";
  EXPECT_FALSE(has(L"IsDisplayFormatAssigned")) << "never written";
  stream.SetPosition(0);
  TcxTextEditProperties copy(nullptr);
  ReadProperties(copy, stream);
  EXPECT_EQ(TEditCharCase::ecLowerCase, copy.CharCase());
  EXPECT_EQ(L"n/a", copy.Nullstring());
  EXPECT_EQ(L'%', copy.PasswordChar());

  p.SetMaxLength(0);
  TMemoryStream withLength;
  WriteProperties(p, withLength);
  withLength.SetPosition(0);
  names = BinaryPropertyNames(withLength);
  EXPECT_TRUE(has(L"MaxLength")) << "assigned, even at 0";
  withLength.SetPosition(0);
  TcxTextEditProperties lengthCopy(nullptr);
  ReadProperties(lengthCopy, withLength);
  EXPECT_TRUE(lengthCopy.AssignedValues().MaxLength());

  // An older stream's flag is read.
  TMemoryStream old;
  {
    struct TOld : TPersistent {
      void DefineProperties(TFiler& AFiler) override {
        AFiler.DefineProperty(L"IsDisplayFormatAssigned", nullptr,
                              [](TWriter& AWriter) { AWriter.WriteBoolean(true); }, true);
      }
    } writer;
    WriteProperties(writer, old);
  }
  old.SetPosition(0);
  TcxTextEditProperties reader(nullptr);
  ReadProperties(reader, old);
  EXPECT_TRUE(reader.AssignedValues().DisplayFormat());
}

TEST_F(TextEditProperties, TheUnitRegistersTheTextKindAndStopsTwice) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup());
      FEditorsStarted = true;
    }
    TcxRegisteredClasses* registered = RegisteredEditProperties();
    ASSERT_NE(nullptr, registered);
    const int index = registered->GetIndexByClass(&TcxTextEditProperties::StaticClassInfo());
    ASSERT_GE(index, 0);
    EXPECT_EQ(L"TextEdit|Represents a single line text editor",
              registered->GetDescriptionByClass(&TcxTextEditProperties::StaticClassInfo()) + L"|" +
                  registered->GetHintByClass(&TcxTextEditProperties::StaticClassInfo()));
    StopSteps(LookAndFeelEditorsSteps());
    FEditorsStarted = false;
    EXPECT_EQ(nullptr, RegisteredEditProperties());
  }
}

}  // namespace laf_editors_test
