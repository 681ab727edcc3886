// Value types: captions and the registered list, ordering of stored values,
// validity casts, and every kind written to a stream and read back, with
// texts as 8-bit and as UTF-16.
#include "EditorsTest.h"
#include "DateTimes.h"
#include "FMTBcd.h"
#include "SqlTimSt.h"
#include "cxDataStorage.h"
#include "cxVariants.h"

#include <array>
#include <cmath>
#include <vector>

using namespace tvk;

namespace laf_editors_test {

namespace {

// A value buffer of a kind, released with it.
class TValueBuffer {
public:
  explicit TValueBuffer(TcxValueTypeClass AKind) : FKind(AKind) {}
  ~TValueBuffer() { FKind->ReleaseValueBuffer(Data()); }
  TValueBuffer(const TValueBuffer&) = delete;
  TValueBuffer& operator=(const TValueBuffer&) = delete;
  void* Data() { return FBytes.data(); }

private:
  TcxValueTypeClass FKind;
  alignas(8) std::array<uint8_t, 40> FBytes{};
};

class TCountedObject : public TObject {
public:
  explicit TCountedObject(int& ALive) : FLive(ALive) { ++FLive; }
  ~TCountedObject() override { --FLive; }

private:
  int& FLive;
};

}  // namespace

using ValueTypes = EditorsUnits;

TEST_F(ValueTypes, RegisteredInOrderByTheirCaptionsAndGoneAfterShutDown) {
  const std::vector<std::wstring> captions{L"String", L"WideString", L"Smallint", L"Integer",  L"Word",
                                           L"Boolean", L"Float",     L"Currency", L"DateTime", L"LargeInt",
                                           L"FMTBcd",  L"SQLTimeStamp", L"Variant", L"Object", L"BLOB"};
  for (int round = 0; round < 2; ++round) {
    TcxValueTypeClassList& list = GetValueTypeClassList();
    ASSERT_EQ(int(captions.size()), list.Count());
    for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(captions[std::size_t(i)], list.Items(i)->Caption());
    EXPECT_EQ(TcxStringValueType::Class(), list.ItemByCaption(L"String"));
    EXPECT_EQ(nullptr, list.ItemByCaption(L"string"));
    list.RegisterItem(TcxIntegerValueType::Class());
    EXPECT_EQ(int(captions.size()), list.Count()) << "a second registration keeps one entry";
    StopSteps(LookAndFeelEditorsSteps());
    EXPECT_EQ(nullptr, FindValueTypeClassList());
    EXPECT_EQ(0, GetValueTypeClassList().Count()) << "a late caller gets an empty list";
    for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup());
  }
  EXPECT_EQ(L"", TcxValueType::Class()->Caption());
  EXPECT_EQ(L"SQLTimeStamp", TcxSQLTimeStampValueType::Class()->Caption());
  EXPECT_EQ(L"TcxWideStringValueType", TcxWideStringValueType::Class()->ClassName());
  EXPECT_TRUE(TcxObjectValueType::Class()->InheritsFrom(&TcxIntegerValueType::StaticClassInfo()));
}

TEST(ValueTypeOrder, StoredValuesCompareExactlyAndMissingCellsFirst) {
  TValueBuffer a(TcxIntegerValueType::Class()), b(TcxIntegerValueType::Class());
  TcxIntegerValueType::Class()->StoreValue(a.Data(), Variant(int32_t(-2147483647 - 1)));
  TcxIntegerValueType::Class()->StoreValue(b.Data(), Variant(int32_t(1)));
  EXPECT_LT(TcxIntegerValueType::Class()->CompareStored(a.Data(), b.Data()), 0);
  EXPECT_GT(TcxIntegerValueType::Class()->CompareStored(b.Data(), a.Data()), 0);

  for (TcxValueTypeClass kind : {TcxValueTypeClass(TcxStringValueType::Class()), TcxValueTypeClass(TcxWideStringValueType::Class()),
                                 TcxValueTypeClass(TcxVariantValueType::Class()), TcxValueTypeClass(TcxBLOBValueType::Class())}) {
    TValueBuffer none1(kind), none2(kind), some(kind);
    kind->StoreValue(some.Data(), Variant(L"a"));
    EXPECT_EQ(0, kind->CompareStored(none1.Data(), none2.Data())) << kind->Caption();
    EXPECT_EQ(-1, kind->CompareStored(none1.Data(), some.Data())) << kind->Caption();
    EXPECT_EQ(1, kind->CompareStored(some.Data(), none1.Data())) << kind->Caption();
    EXPECT_TRUE(VarIsNull(kind->GetValue(none1.Data()))) << kind->Caption();
  }
  TValueBuffer x(TcxFloatValueType::Class()), y(TcxFloatValueType::Class());
  TcxFloatValueType::Class()->StoreValue(x.Data(), Variant(0.1 + 0.2));
  TcxFloatValueType::Class()->StoreValue(y.Data(), Variant(0.3));
  EXPECT_EQ(1, TcxFloatValueType::Class()->CompareStored(x.Data(), y.Data())) << "no tolerance";
  TcxFloatValueType::Class()->StoreValue(y.Data(), Variant(std::nan("")));
  EXPECT_EQ(0, TcxFloatValueType::Class()->CompareStored(x.Data(), y.Data())) << "unordered counts as equal";
}

TEST(ValueTypeValidity, CastsInPlaceOrRefuses) {
  Variant twelve(L"12");
  EXPECT_TRUE(TcxIntegerValueType::Class()->IsValueValid(twelve));
  EXPECT_EQ(varInteger, twelve.Type());
  EXPECT_EQ(12, twelve.Ptr()->lVal);
  Variant x(L"x");
  EXPECT_FALSE(TcxIntegerValueType::Class()->IsValueValid(x));
  Variant null = Null();
  EXPECT_TRUE(TcxIntegerValueType::Class()->IsValueValid(null));
  Variant anything(L"x");
  EXPECT_TRUE(TcxVariantValueType::Class()->IsValueValid(anything));
  EXPECT_EQ(varOleStr, anything.Type());
  Variant text(int32_t(5));
  EXPECT_TRUE(TcxStringValueType::Class()->IsValueValid(text));
  EXPECT_EQ(varUString, text.Type());
}

TEST(ValueTypeStreams, EveryKindReadsBackWhatItWrote) {
  struct TCase {
    TcxValueTypeClass Kind;
    Variant Value;
    std::size_t Bytes;  // written by the kind alone (0: not checked)
  };
  const TCase cases[] = {
      {TcxStringValueType::Class(), Variant(L"h\x00e9llo"), 0},
      {TcxWideStringValueType::Class(), Variant(L"\x4E2D"), 4 + 2},
      {TcxSmallintValueType::Class(), Variant(int32_t(-300)), 2},
      {TcxIntegerValueType::Class(), Variant(int32_t(-2147483647 - 1)), 4},
      {TcxWordValueType::Class(), Variant(int32_t(65535)), 2},
      {TcxBooleanValueType::Class(), Variant(true), 1},
      {TcxFloatValueType::Class(), Variant(0.1), 10},
      {TcxCurrencyValueType::Class(), VarAsType(Variant(1.2345), varCurrency), 8},
      {TcxDateTimeValueType::Class(), VarFromDateTime(45000.5), 8},
      {TcxLargeIntValueType::Class(), Variant(int64_t(1) << 50), 8},
      // A BCD number goes as its text: digits a double would lose.
      {TcxFMTBcdValueType::Class(), VarFMTBcdCreate(StrToBcd(L"-12345678901234567890.125")), 1 + 1 + 25},
      // A time stamp as a date: tag and double.
      {TcxSQLTimeStampValueType::Class(), VarSQLTimeStampCreate({2024, 2, 29, 23, 59, 58, 250}), 1 + 8},
      {TcxVariantValueType::Class(), Variant(int32_t(40000)), 5},
      {TcxBLOBValueType::Class(), Variant::FromAnsi(std::string("\0\x01\xFF", 3)), 4 + 3},
  };
  for (bool wide : {false, true}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(c.Kind->Caption());
      TValueBuffer out(c.Kind), in(c.Kind);
      c.Kind->StoreValue(out.Data(), c.Value);
      TMemoryStream stream;
      stream.SetWideText(wide);
      c.Kind->WriteValueTo(out.Data(), stream);
      if (c.Bytes) {
        EXPECT_EQ(c.Bytes, stream.Bytes().size()) << c.Kind->Caption();
      }
      stream.SetPosition(0);
      c.Kind->ReadValueFrom(in.Data(), stream);
      EXPECT_EQ(stream.Size(), stream.Position()) << c.Kind->Caption();
      EXPECT_EQ(0, c.Kind->CompareStored(out.Data(), in.Data())) << c.Kind->Caption() << " wide " << wide;
      const Variant back = c.Kind->GetValue(in.Data());
      EXPECT_EQ(c.Kind->GetVarType() == varVariant ? c.Value.Type() : c.Kind->GetVarType(), back.Type())
          << c.Kind->Caption();
    }
  }
  // The string kind's text follows the stream's flag: 8-bit or UTF-16.
  TValueBuffer text(TcxStringValueType::Class());
  TcxStringValueType::Class()->StoreValue(text.Data(), Variant(L"abc"));
  TMemoryStream narrow, wide;
  wide.SetWideText(true);
  TcxStringValueType::Class()->WriteValueTo(text.Data(), narrow);
  TcxStringValueType::Class()->WriteValueTo(text.Data(), wide);
  EXPECT_EQ((std::vector<uint8_t>{3, 0, 0, 0, 'a', 'b', 'c'}), narrow.Bytes());
  EXPECT_EQ((std::vector<uint8_t>{3, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0}), wide.Bytes());
  // The text buffer the same way.
  void* cell = nullptr;
  TcxValueType::Class()->StoreText(&cell, L"t");
  TMemoryStream texts;
  TcxValueType::Class()->WriteTextTo(&cell, texts);
  texts.SetPosition(0);
  void* again = nullptr;
  TcxValueType::Class()->ReadTextFrom(&again, texts);
  EXPECT_EQ(L"t", TcxValueType::Class()->LoadText(&again));
  TcxValueType::Class()->ReleaseTextBuffer(&cell);
  TcxValueType::Class()->ReleaseTextBuffer(&again);
  EXPECT_EQ(nullptr, cell);
  EXPECT_EQ(L"", TcxValueType::Class()->LoadText(&cell));
}

TEST(ValueTypeRecords, BcdAndTimeStampKindsOrderTheirRecords) {
  const auto bcd = TcxFMTBcdValueType::Class();
  TValueBuffer small(bcd), large(bcd), same(bcd);
  bcd->StoreValue(small.Data(), Variant(L"-0.5"));
  bcd->StoreValue(large.Data(), Variant(L"100000000000000000000.01"));
  bcd->StoreValue(same.Data(), Variant(L"100000000000000000000.010"));
  EXPECT_EQ(-1, bcd->CompareStored(small.Data(), large.Data()));
  EXPECT_EQ(0, bcd->CompareStored(large.Data(), same.Data())) << "trailing zeros say nothing";
  EXPECT_EQ(L"-0" + std::wstring(1, FormatSettings().DecimalSeparator) + L"5", bcd->DefaultTextOf(small.Data()));
  Variant text(L"7.25"), bad(L"7,2.5");
  EXPECT_TRUE(bcd->IsValueValid(text));
  EXPECT_EQ(varFMTBcd, text.Type());
  EXPECT_FALSE(bcd->IsValueValid(bad));

  const auto stamp = TcxSQLTimeStampValueType::Class();
  TValueBuffer earlier(stamp), later(stamp);
  stamp->StoreValue(earlier.Data(), VarFromDateTime(EncodeDate(2024, 2, 29) + EncodeTime(12, 0, 0, 1)));
  stamp->StoreValue(later.Data(), VarFromDateTime(EncodeDate(2024, 2, 29) + EncodeTime(12, 0, 0, 3)));
  EXPECT_EQ(-2, stamp->CompareStored(earlier.Data(), later.Data())) << "the fractions' difference";
  const TSQLTimeStamp fields = VarToSQLTimeStamp(stamp->GetValue(earlier.Data()));
  EXPECT_EQ(2024, fields.Year);
  EXPECT_EQ(29, fields.Day);
  EXPECT_EQ(1u, fields.Fractions);
  double date = 0;
  EXPECT_TRUE(TryVarToDateTime(stamp->GetValue(later.Data()), date));
  EXPECT_NEAR(EncodeDate(2024, 2, 29) + EncodeTime(12, 0, 0, 3), date, 1e-9);
  EXPECT_TRUE(IsDateVariant(stamp->GetValue(later.Data())));
  EXPECT_TRUE(IsNumericOrBcdVariant(bcd->GetValue(small.Data())));
}

TEST(ValueTypeObjects, TheBufferOwnsItsObjectAndIsNotStreamed) {
  int live = 0;
  {
    TValueBuffer buffer(TcxObjectValueType::Class());
    *static_cast<TObject**>(buffer.Data()) = new TCountedObject(live);
    EXPECT_EQ(1, live);
    TMemoryStream stream;
    TcxObjectValueType::Class()->WriteValueTo(buffer.Data(), stream);
    EXPECT_EQ(0, stream.Size());
  }
  EXPECT_EQ(0, live);
  TValueBuffer wide(TcxWideStringValueType::Class());
  TcxWideStringValueType::Class()->StoreValue(wide.Data(), Variant(L"x"));
  TcxWideStringValueType::Class()->StoreValue(wide.Data(), Null());
  EXPECT_EQ(nullptr, *static_cast<void**>(wide.Data())) << "null leaves no block";
  TValueBuffer boolean(TcxBooleanValueType::Class());
  TcxBooleanValueType::Class()->StoreValue(boolean.Data(), Variant(true));
  EXPECT_EQ(L"True", TcxBooleanValueType::Class()->DefaultTextOf(boolean.Data()));
}

}  // namespace laf_editors_test
