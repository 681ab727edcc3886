// The device-information answers of a driver, through IDispatch::Invoke as
// the host asks them: in-process drivers field by field, and every identifier
// of every kind through the loaded module.
#include <gtest/gtest.h>

#include "Tarnwell_Driver.h"
#include "support/HostCall.h"
#include "support/LoadedModule.h"

#include <memory>
#include <variant>

using namespace tvk;
using namespace testsupport;

namespace {

using Expected = std::variant<const wchar_t*, long, bool>;

struct Field {
  DISPID Id;
  Expected Value;
};

void ExpectFields(int32_t kind, std::initializer_list<Field> fields) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(kind));
  for (const Field& f : fields) {
    SCOPED_TRACE(f.Id);
    TCall call = f.Id == 503424 ? Call(driver.get(), f.Id, {Str(L"ProcessorDeviceName")}) : Call(driver.get(), f.Id);
    ASSERT_EQ(S_OK, call.Hr);
    if (auto* text = std::get_if<const wchar_t*>(&f.Value)) {
      EXPECT_EQ(VT_BSTR, call.Type());
      EXPECT_EQ(*text, call.Text());
    } else if (auto* number = std::get_if<long>(&f.Value)) {
      EXPECT_EQ(VT_I4, call.Type());
      EXPECT_EQ(*number, call.Int());
    } else {
      EXPECT_EQ(VT_BOOL, call.Type());
      EXPECT_EQ(std::get<bool>(f.Value) ? VARIANT_TRUE : VARIANT_FALSE, call.Result.Ptr()->boolVal);
    }
  }
}

TEST(DeviceInformation, KindZeroFieldByField) {
  ExpectFields(0, {
                      {503379, long(0x3BA00477)},
                      {503380, L"STM32F100C4T6B"},
                      {503381, L"STMicroelectronics STM32F100 STM32F100C4T6B"},
                      {503382, L"STM32F100"},
                      {503383, L"32-bit Arm Microcontroller"},
                      {503384, L"STM32.TvkIntLib"},
                      {503385, L""},
                      {503386, L"STM32F100C4"},
                      {503387, 0L},
                      {503388, 112L},
                      {503389, L"T"},
                      {503390, L"LQFP"},
                      {503391, L"Low-Profile Quad Flat Pack"},
                      {503392, L"T48"},
                      {503393, L"LQFP48"},
                      {503394, L"48-Pin Low-Profile Quad Flat Pack"},
                      {503395, L"7 x 7 mm"},
                      {503396, L"6"},
                      {503397, L"Industrial Temperature Range"},
                      {503398, L"-40 to +85"},
                      {503399, L"4"},
                      {503400, L"4"},
                      {503401, L"16Kb"},
                      {503402, L"B"},
                      {503403, L"B"},
                      {503404, L"Internal Code B"},
                      {503405, L".bsd"},
                      {503407, L"STMicroelectronics"},
                      {503408, 4L},
                      {503409, 48L},
                      {503410, 0L},
                      {503412, L""},
                      {503413, 0L},
                      {503414, 0L},
                      {503415, 512L},
                      {503416, false},
                      {503417, 0L},
                      {503418, 0L},
                      {503419, 0L},
                      {503420, 0L},
                      {503421, 0L},
                      {503423, L"STM32F100C4T6B"},
                      {503424, L""},
                  });
}

TEST(DeviceInformation, LastKindFieldByField) {
  ExpectFields(289, {
                        {503379, long(0x3BA00477)},
                        {503380, L"STM32W108CBU64TR"},
                        {503381, L"STMicroelectronics STM32W108 STM32W108CBU64TR"},
                        {503382, L"STM32W108"},
                        {503386, L"STM32W108CB"},
                        {503388, 49L},
                        {503389, L"U"},
                        {503390, L"VFQFPN"},
                        {503391, L"Quad Flat Pack No-Lead"},
                        {503392, L"U49"},
                        {503393, L"VFQFPN48"},
                        {503394, L"48-Pin Quad Flat Pack No-Lead"},
                        {503395, L"7 x 7 mm"},
                        {503396, L"6"},
                        {503398, L"-40 to +85"},
                        {503399, L"B"},
                        {503401, L"128Kb"},
                        {503402, L"4TR"},
                        {503403, L"4TR"},
                        {503404, L"IEEE 802.15.4 media access control"},
                        {503409, 49L},
                        {503415, 1024L},
                        {503421, 0L},
                        {503423, L"STM32W108CBU64TR"},
                    });
}

TEST(DeviceInformation, OptionDesignatorsAndTheOddBaseName) {
  struct Case {
    TDeviceKind Kind;
    const wchar_t *Id, *Name, *Description;
  };
  const Case cases[] = {
      {eSTM32F100R6T6, L"None", L"Standard", L"Standard Configuration"},
      {eSTM32F101C8T6TR, L"TR", L"TR", L"Tape and Reel"},
      {eSTM32F101C4T6A, L"A", L"A", L"Internal Code A"},
      {eSTM32F101C6T6ATR, L"ATR", L"ATR", L"Internal Code A"},
      {eSTM32F100C6T6BTR, L"BTR", L"BTR", L"Internal Code B"},
      {eSTM32L152VBH6D, L"D", L"D", L"VDD range: 1.65 to 3.6V and BOR disabled"},
      {eSTM32W108CBU61TR, L"1TR", L"1TR", L"Ember ZigBee stack"},
      {eSTM32W108C8U63TR, L"3TR", L"3TR", L"RF4CE stack"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Kind));
    ExpectFields(c.Kind, {{503402, c.Id}, {503403, c.Name}, {503404, c.Description}});
  }
  ExpectFields(eSTM32L151VBT6, {{503386, L"STM32L150VB"}, {503382, L"STM32L151"}});
  ExpectFields(eSTM32L151V8T6, {{503386, L"STM32L151V8"}});
  ExpectFields(eSTM32F207IGH6, {{503409, 201L}, {503393, L"UFBGA201"}, {503398, L"-40 to +85"}});
  ExpectFields(eSTM32F207IGH7, {{503398, L"-40 to +105"}, {503397, L"Industrial Temperature Range"}});
}

TEST(DeviceInformation, DriverAnswersBothServiceNamesAndNothingElse) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(5));
  for (const wchar_t* name : {L"TovikDriver", L"deviceinformation", L"DEVICEINFORMATION"})
    EXPECT_EQ(VARIANT_TRUE, Call(driver.get(), 1023, {Str(name)}).Result.Ptr()->boolVal) << name;
  for (const wchar_t* name : {L"DevicePin", L"", L"TovikDriver "})
    EXPECT_EQ(VARIANT_FALSE, Call(driver.get(), 1023, {Str(name)}).Result.Ptr()->boolVal) << name;
  EXPECT_EQ(ULONG(-1), driver->AddRef());
  EXPECT_EQ(ULONG(-1), driver->Release());
  EXPECT_EQ(ULONG(-1), driver->Release());
  EXPECT_EQ(L"STM32F100C8T6B", Call(driver.get(), 503380).Text());  // still alive
}

TEST(DeviceInformation, KindsOutsideTheTableAreRefused) {
  for (int32_t kind : {-1, 290}) EXPECT_THROW(TCortexM3 driver(kind), Exception) << kind;
}

// ---- Through the loaded module

TEST_F(LoadedModule, EveryKindAnswersEveryDeviceInformationIdentifier) {
  // The identifiers whose results are plain values, with their result types.
  std::vector<std::pair<DISPID, VARTYPE>> ids;
  for (DISPID id = 503379; id <= 503424; ++id) {
    VARTYPE vt = VT_BSTR;
    if (id == 503406 || id == 503411 || id == 503422) vt = VT_DISPATCH;
    if (id == 503379 || (id >= 503387 && id <= 503388) || (id >= 503408 && id <= 503410) ||
        (id >= 503413 && id <= 503421 && id != 503416))
      vt = VT_I4;
    if (id == 503416) vt = VT_BOOL;
    ids.emplace_back(id, vt);
  }
  for (int32_t kind = 0; kind < 290; ++kind) {
    IDispatch* driver = NewDriver(kind);
    ASSERT_NE(nullptr, driver) << kind;
    for (auto [id, vt] : ids) {
      TCall call = id == 503424 ? Call(driver, id, {Str(L"Name")})
                   : id == 503411 || id == 503422 ? Call(driver, id, {I4(0)})
                                                  : Call(driver, id);
      ASSERT_EQ(S_OK, call.Hr) << kind << " " << id;
      ASSERT_EQ(vt, call.Type()) << kind << " " << id;
    }
    EXPECT_EQ(std::wstring(kDeviceTable[kind].FullName), Call(driver, 503380).Text());
    EXPECT_EQ(std::wstring(kPackageNames[kDeviceTable[kind].Package]), Call(driver, 503393).Text());
    const TPinSetParameters& pins = kPinSets[kDeviceTable[kind].PinSet];
    EXPECT_EQ(pins.PinCount, Call(driver, 503409).Int());
    EXPECT_EQ(nullptr, Call(driver, 503406).Dispatch());                 // no boundary-scan entity
    EXPECT_EQ(nullptr, Call(driver, 503422, {I4(0)}).Dispatch());        // no I/O standard
    EXPECT_EQ(nullptr, Call(driver, 503411, {I4(pins.PinCount)}).Dispatch());
    // Every pin identifier on the first and the last pin.
    for (int32_t index : {0, pins.PinCount - 1}) {
      TCall pinCall = Call(driver, 503411, {I4(index)});
      IDispatch* pin = pinCall.Dispatch();
      ASSERT_NE(nullptr, pin) << kind << " " << index;
      for (DISPID id = 503525; id <= 503549; ++id) {
        TCall call = id == 503532 ? Call(pin, id, {I4(0)}) : Call(pin, id);
        ASSERT_EQ(S_OK, call.Hr) << kind << " " << id;
        VARTYPE vt = id == 503532 ? VT_DISPATCH : id == 503531 ? VT_I4
                     : id == 503525 || id == 503526 || (id >= 503545 && id <= 503547) ? VT_BSTR : VT_BOOL;
        ASSERT_EQ(vt, call.Type()) << kind << " " << id;
      }
      EXPECT_EQ(std::wstring(pins.Pins[std::size_t(index)].PinNumber), Call(pin, 503525).Text());
    }
    driver->Release();
  }
}

TEST_F(LoadedModule, FirstAndLastKindNameThemselves) {
  IDispatch* first = NewDriver(0);
  IDispatch* last = NewDriver(289);
  ASSERT_TRUE(first && last);
  EXPECT_EQ(L"STM32F100C4T6B", Call(first, 503380).Text());
  EXPECT_EQ(L"STM32W108CBU64TR", Call(last, 503380).Text());
  EXPECT_EQ(E_NOTIMPL, Call(first, 503423 + 1000).Hr);
}

}  // namespace
