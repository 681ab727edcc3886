// Device pins and the I/O-standard object through their dispatch tables, the
// pins' lazy creation, and the option bits behind the pins' answers.
#include <gtest/gtest.h>

#include "Tarnwell_Driver.h"
#include "support/HostCall.h"

#include <memory>

using namespace tvk;
using namespace testsupport;

namespace {

constexpr DISPID kGetPinNumber = 503525;
constexpr DISPID kGetIOBank = 503526;
constexpr DISPID kGetPinIOStandardCount = 503531;
constexpr DISPID kGetUniqueDifferentialID = 503547;
constexpr DISPID kGetIsPosPinOfDiffPair = 503548;
constexpr DISPID kGetIsNegPinOfDiffPair = 503549;

bool BoolResult(const TCall& call) {
  EXPECT_EQ(S_OK, call.Hr);
  EXPECT_EQ(VT_BOOL, call.Type());
  return call.Result.Ptr()->boolVal != VARIANT_FALSE;
}

TEST(DevicePins, MadeOnFirstRequestOnePerPinOfTheSet) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(eSTM32F207IGH6));
  EXPECT_EQ(0u, driver->MadePinCount());
  TDevicePinData* first = driver->DevicePin(0);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(201u, driver->MadePinCount());
  EXPECT_EQ(L"A1", Call(first, kGetPinNumber).Text());
  EXPECT_EQ(L"R15", Call(driver->DevicePin(200), kGetPinNumber).Text());
  EXPECT_EQ(first, driver->DevicePin(0));  // kept, not made again
  EXPECT_EQ(ePinSet_STM32F207_GA201, first->PinSet());
  EXPECT_EQ(200, driver->DevicePin(200)->Index());
}

TEST(DevicePins, ServedByTheDriverAsObjects) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(eSTM32F207IGH6));
  TCall first = Call(driver.get(), 503411, {I4(0)});
  ASSERT_EQ(S_OK, first.Hr);
  ASSERT_EQ(VT_DISPATCH, first.Type());
  ASSERT_NE(nullptr, first.Dispatch());
  EXPECT_EQ(static_cast<IDispatch*>(driver->DevicePin(0)), first.Dispatch());
  EXPECT_EQ(L"A1", Call(first.Dispatch(), kGetPinNumber).Text());
  EXPECT_EQ(L"R15", Call(Call(driver.get(), 503411, {Str(L"200")}).Dispatch(), kGetPinNumber).Text());
  // A pin has no I/O standard: an empty object, not a failure.
  TCall standard = Call(first.Dispatch(), 503532, {I4(0)});
  EXPECT_EQ(S_OK, standard.Hr);
  EXPECT_EQ(VT_DISPATCH, standard.Type());
  EXPECT_EQ(nullptr, standard.Dispatch());
}

TEST(DevicePins, AnIndexOutsideThePinSetGivesNoPin) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(0));
  for (int32_t index : {-1, 48, 1000}) {
    EXPECT_EQ(nullptr, driver->DevicePin(index)) << index;
    TCall call = Call(driver.get(), 503411, {I4(index)});
    EXPECT_EQ(S_OK, call.Hr);
    EXPECT_EQ(VT_DISPATCH, call.Type());
    EXPECT_EQ(nullptr, call.Dispatch()) << index;
  }
  EXPECT_EQ(48u, driver->MadePinCount());
  EXPECT_EQ(L"48", Call(driver->DevicePin(47), kGetPinNumber).Text());
}

TEST(DevicePins, EveryPinOfTheTableAnswersItsNumberAndNothingElse) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(eSTM32F103ZEH6));  // the GA144 grid
  TDevicePinData* pin = driver->DevicePin(0);
  ASSERT_NE(nullptr, pin);
  EXPECT_EQ(L"A1", Call(pin, kGetPinNumber).Text());
  EXPECT_EQ(L"", Call(pin, kGetIOBank).Text());
  EXPECT_EQ(L"||", Call(pin, kGetUniqueDifferentialID).Text());
  for (DISPID id = 503527; id <= 503544; ++id) {
    if (id == kGetPinIOStandardCount || id == 503532) continue;
    EXPECT_FALSE(BoolResult(Call(pin, id))) << id;
  }
  EXPECT_FALSE(BoolResult(Call(pin, kGetIsPosPinOfDiffPair)));
  EXPECT_FALSE(BoolResult(Call(pin, kGetIsNegPinOfDiffPair)));
  TCall count = Call(pin, kGetPinIOStandardCount);
  EXPECT_EQ(VT_I4, count.Type());
  EXPECT_EQ(0, count.Int());
  EXPECT_EQ(L"", Call(pin, 503545).Text());
  EXPECT_EQ(L"", Call(pin, 503546).Text());
}

TEST(DevicePins, ServeOnlyThePinTableAndCountNoReferences) {
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(0));
  TDevicePinData* pin = driver->DevicePin(3);
  ASSERT_NE(nullptr, pin);
  EXPECT_EQ(E_NOTIMPL, Call(pin, 503519).Hr);  // an I/O-standard identifier
  EXPECT_EQ(E_NOTIMPL, Call(pin, 503380).Hr);  // a device-information identifier
  EXPECT_EQ(VARIANT_TRUE, Call(pin, 1023, {Str(L"devicepin")}).Result.Ptr()->boolVal);
  EXPECT_EQ(VARIANT_FALSE, Call(pin, 1023, {Str(L"DeviceIOStandard")}).Result.Ptr()->boolVal);
  EXPECT_EQ(ULONG(-1), pin->AddRef());
  EXPECT_EQ(ULONG(-1), pin->Release());
  EXPECT_EQ(ULONG(-1), pin->Release());
  ComRef<IDispatch> held;
  ASSERT_EQ(S_OK, pin->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(held.Receive())));
  held.Reset();
  EXPECT_EQ(L"4", Call(pin, kGetPinNumber).Text());  // the pin survives
}

// A pin whose table entry is given, to drive the option bits.
class TOptionPin : public TDevicePinData {
public:
  explicit TOptionPin(uint16_t options) : TDevicePinData(ePinSet_STM32F101_SQ48, 0) {
    FEntry.PinNumber = L"P";
    FEntry.Bank = L"B2";
    FEntry.DiffId = L"D7";
    FEntry.Options = options;
  }

protected:
  const TPinParameters& Entry() const override { return FEntry; }

private:
  TPinParameters FEntry{};
};

TEST(DevicePins, OptionBitsAnswerTheirQueriesAndTheDiffPairQuestions) {
  const DISPID byBit[16] = {503527, 503529, 503528, 503530, 503533, 503534, 503535, 503536,
                            503537, 503538, 503539, 503540, 503541, 503542, 503543, 503544};
  for (int bit = 0; bit < 16; ++bit) {
    TOptionPin pin(uint16_t(1u << bit));
    for (int other = 0; other < 16; ++other)
      EXPECT_EQ(other == bit, BoolResult(Call(&pin, byBit[other]))) << bit << " " << other;
  }
  struct Case {
    int Bit;
    bool Pos, Neg;
  };
  const Case pairs[] = {{ePinOption_DiffP, true, false},    {ePinOption_HDiffP, true, false},
                        {ePinOption_DCIP, true, false},     {ePinOption_ClkDiffP, true, false},
                        {ePinOption_DiffN, false, true},    {ePinOption_HDiffN, false, true},
                        {ePinOption_DCIN, false, true},     {ePinOption_ClkDiffN, false, true},
                        {ePinOption_TransmitDiff, false, false}, {ePinOption_IO, false, false}};
  for (const Case& c : pairs) {
    TOptionPin pin(uint16_t(1u << c.Bit));
    EXPECT_EQ(c.Pos, BoolResult(Call(&pin, kGetIsPosPinOfDiffPair))) << c.Bit;
    EXPECT_EQ(c.Neg, BoolResult(Call(&pin, kGetIsNegPinOfDiffPair))) << c.Bit;
  }
  TOptionPin pin(0);
  EXPECT_EQ(L"B2|D7|", Call(&pin, kGetUniqueDifferentialID).Text());
}

// ---- The I/O-standard object

constexpr DISPID kGetDisplayName = 503519;
constexpr DISPID kGetParamName = 503520;
constexpr DISPID kGetSlewCount = 503521;
constexpr DISPID kGetSlewValue = 503522;
constexpr DISPID kGetDriveCount = 503523;
constexpr DISPID kGetDriveStrength = 503524;

TEST(DeviceIOStandard, TheModulesObjectAnswersTheNoneStandard) {
  TDeviceIOStandardData* standard = DeviceIOStandard(eSt_None);
  ASSERT_NE(nullptr, standard);
  EXPECT_EQ(L"LVTTL 1.5V", Call(standard, kGetDisplayName).Text());
  EXPECT_EQ(L"LVTTL15", Call(standard, kGetParamName).Text());
  EXPECT_EQ(0, Call(standard, kGetSlewCount).Int());
  EXPECT_EQ(0, Call(standard, kGetDriveCount).Int());
  TCall slew = Call(standard, kGetSlewValue, {I4(0)});
  EXPECT_EQ(S_OK, slew.Hr);
  EXPECT_EQ(VT_BSTR, slew.Type());
  EXPECT_EQ(L"", slew.Text());
  EXPECT_EQ(L"", Call(standard, kGetDriveStrength, {I4(0)}).Text());
  EXPECT_EQ(E_NOTIMPL, Call(standard, kGetPinNumber).Hr);
  EXPECT_EQ(VARIANT_TRUE, Call(standard, 1023, {Str(L"DEVICEIOSTANDARD")}).Result.Ptr()->boolVal);
}

TEST(DeviceIOStandard, AHostReleaseNeverDestroysTheModulesObject) {
  TDeviceIOStandardData* standard = DeviceIOStandard(eSt_None);
  ASSERT_NE(nullptr, standard);
  const LONG before = standard->HostReferences();

  // Balanced: the count follows the host's references, the module's own counted in the answers.
  IDispatch* host = nullptr;
  ASSERT_EQ(S_OK, standard->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&host)));
  EXPECT_EQ(standard, static_cast<TDeviceIOStandardData*>(host));
  EXPECT_EQ(before + 1, standard->HostReferences());
  EXPECT_EQ(ULONG(before + 3), host->AddRef());
  EXPECT_EQ(ULONG(before + 2), host->Release());
  EXPECT_EQ(ULONG(before + 1), host->Release());

  // Unbalanced: a host releases what it never held, again and again. The
  // module's object still answers, and later references count from where they were.
  for (int extra = 0; extra < 3; ++extra) EXPECT_EQ(1u, host->Release());
  EXPECT_EQ(0, standard->HostReferences());
  EXPECT_EQ(standard, DeviceIOStandard(eSt_None));
  EXPECT_EQ(L"LVTTL15", Call(standard, kGetParamName).Text());
  EXPECT_EQ(L"LVTTL 1.5V", Call(host, kGetDisplayName).Text());
  EXPECT_EQ(VARIANT_TRUE, Call(host, 1023, {Str(L"DeviceIOStandard")}).Result.Ptr()->boolVal);
  EXPECT_EQ(2u, host->AddRef());
  EXPECT_EQ(1u, host->Release());
}

// A standard whose table entry is given, to drive the slew and drive bits.
class TBitsStandard : public TDeviceIOStandardData {
public:
  TBitsStandard(uint8_t index, uint8_t slews, uint32_t drives)
      : TDeviceIOStandardData(eSt_None), FParameters{index, slews, drives} {}

protected:
  const TDeviceIOStandardParameters& Parameters() const override { return FParameters; }

private:
  TDeviceIOStandardParameters FParameters;
};

TEST(DeviceIOStandard, SlewAndDriveBitsCountInBitOrder) {
  // Slews FAST and VERY_SLOW; drives 2mA, 24mA (13) and 35mA (20); bits past the tables are ignored.
  auto standard = std::unique_ptr<TBitsStandard>(
      New<TBitsStandard>(141, 0b1111'0110, (1u << 0) | (1u << 13) | (1u << 20) | (1u << 21)));
  EXPECT_EQ(L"3.3V GTL", Call(standard.get(), kGetParamName).Text());
  EXPECT_EQ(2, Call(standard.get(), kGetSlewCount).Int());
  EXPECT_EQ(L"FAST", Call(standard.get(), kGetSlewValue, {I4(0)}).Text());
  EXPECT_EQ(L"VERY_SLOW", Call(standard.get(), kGetSlewValue, {Str(L"1")}).Text());  // index given as text
  EXPECT_EQ(L"", Call(standard.get(), kGetSlewValue, {I4(2)}).Text());
  EXPECT_EQ(L"", Call(standard.get(), kGetSlewValue, {I4(-1)}).Text());
  EXPECT_EQ(3, Call(standard.get(), kGetDriveCount).Int());
  EXPECT_EQ(L"2mA", Call(standard.get(), kGetDriveStrength, {I4(0)}).Text());
  EXPECT_EQ(L"24mA", Call(standard.get(), kGetDriveStrength, {Str(L"1")}).Text());
  EXPECT_EQ(L"35mA", Call(standard.get(), kGetDriveStrength, {I4(2)}).Text());
  EXPECT_EQ(L"", Call(standard.get(), kGetDriveStrength, {I4(3)}).Text());
}

TEST(DeviceIOStandard, AnIndexOutsideTheNameTablesFails) {
  auto standard = std::unique_ptr<TBitsStandard>(New<TBitsStandard>(200, 0, 0));
  TCall call = Call(standard.get(), kGetDisplayName);
  EXPECT_EQ(HRESULT(0x8000FFFF), call.Hr);
  EXPECT_EQ(VT_EMPTY, call.Type());
}

TEST(DeviceIOStandard, NoPinSetHasAStandard) {
  for (int kind = 0; kind < kDeviceKindCount; ++kind) {
    std::unique_ptr<TCortexM3> driver(New<TCortexM3>(kind));
    EXPECT_EQ(0, Call(driver.get(), 503421).Int());
    EXPECT_EQ(nullptr, driver->IOStandard(0));
  }
  TDeviceIOStandardID id{};
  EXPECT_TRUE(NthIOStandard(1u, 0, id));
  EXPECT_EQ(eSt_None, id);
  EXPECT_FALSE(NthIOStandard(1u, 1, id));
  EXPECT_FALSE(NthIOStandard(0u, 0, id));
}

}  // namespace
