// The driver and device-information dispatch tables: argument kinds of the
// driver's rows, the hand-written row 503815, the level chain and operations
// that no level implements.
#include <gtest/gtest.h>

#include "FakeHostObject.h"
#include "ORV.SCH.AbstractClasses.h"
#include "support/HostCall.h"

#include <memory>

using namespace tvk;
using namespace testsupport;

namespace {

class TProbeDriver : public TAbstractTovikDriver {
public:
  HRESULT SetProcessorRegisterValue(int32_t Index, uint32_t Value, bool& Result) override {
    LastIndex = Index;
    LastValue = Value;
    Result = true;
    return S_OK;
  }
  HRESULT GetMemorySpaceLength(int32_t, int64_t& Result) override {
    Result = 0x123456789LL;
    return S_OK;
  }
  HRESULT CreateRackViewer() override {
    ++RackViewers;
    return S_OK;
  }
  HRESULT GetDeviceName(WideString& Result) override {
    Result = L"Probe";
    return S_OK;
  }
  HRESULT RunDiagnostic(bool&) override { return HRESULT(0x80004005); }
  HRESULT SetTovikDevice(const ITovikDevice& Device, bool& Result) override {
    Device_ = Device;
    Result = true;
    return S_OK;
  }
  HRESULT GetTovikDevice(ITovikDevice& Result) override {
    Result = Device_;
    return S_OK;
  }
  ITovikDevice Device_;
  HRESULT CustomAction_GetState(int32_t Index, bool& State1, bool& State2, bool& State3, uint32_t Raw1,
                                uint32_t Raw2) override {
    LastIndex = Index;
    Seen2 = State2;
    State1 = true;
    State3 = false;  // State2 is left as it came
    LastValue = Raw1;
    LastRaw2 = Raw2;
    return Fail ? HRESULT(0x8000FFFF) : S_OK;
  }

  int32_t LastIndex = -1;
  uint32_t LastValue = 0, LastRaw2 = 0;
  bool Seen2 = false, Fail = false;
  int RackViewers = 0;
};

TEST(DriverTable, RegisterValueArrivesByKindU) {
  auto driver = std::unique_ptr<TProbeDriver>(New<TProbeDriver>());
  VARIANT ui4 = Typed(VT_UI4);
  ui4.ulVal = 0xFFFFFFFFu;
  for (VARIANT value : {I4(-1), ui4, I8(0xFFFFFFFFLL)}) {
    driver->LastValue = 0;
    TCall call = Call(driver.get(), 503766, {I4(3), value});
    EXPECT_EQ(S_OK, call.Hr);
    EXPECT_EQ(VT_BOOL, call.Type());
    EXPECT_EQ(VARIANT_TRUE, call.Result.Ptr()->boolVal);
    EXPECT_EQ(3, driver->LastIndex);
    EXPECT_EQ(0xFFFFFFFFu, driver->LastValue);
  }
}

TEST(DriverTable, ResultKindsAndRowsWithoutResult) {
  auto driver = std::unique_ptr<TProbeDriver>(New<TProbeDriver>());
  TCall length = Call(driver.get(), 508554, {I4(0)});
  EXPECT_EQ(VT_I8, length.Type());
  EXPECT_EQ(0x123456789LL, length.Result.Ptr()->llVal);

  Variant untouched;
  untouched.Ptr()->vt = VT_I4;
  untouched.Ptr()->lVal = 55;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(S_OK, driver->Invoke(503759, IID_NULL, 0, DISPATCH_METHOD, &none, untouched.Ptr(), nullptr, nullptr));
  EXPECT_EQ(1, driver->RackViewers);
  EXPECT_EQ(VT_I4, untouched.Type());
  EXPECT_EQ(55, untouched.Ptr()->lVal);
}

TEST(DriverTable, LevelsServiceNamesAndUnansweredIdentifiers) {
  auto driver = std::unique_ptr<TProbeDriver>(New<TProbeDriver>());
  EXPECT_EQ(L"Probe", Call(driver.get(), 503380).Text());  // a device-information row below the driver's
  EXPECT_EQ(VARIANT_TRUE, Call(driver.get(), 1023, {Str(L"tovikdriver")}).Result.Ptr()->boolVal);
  EXPECT_EQ(VARIANT_TRUE, Call(driver.get(), 1023, {Str(L"DeviceInformation")}).Result.Ptr()->boolVal);
  EXPECT_EQ(VARIANT_FALSE, Call(driver.get(), 1023, {Str(L"DevicePin")}).Result.Ptr()->boolVal);
  // An operation no level implements, an identifier of no table, and a failing operation.
  for (DISPID id : {503381, 503793, 509312, 503525, 503519, 600000}) EXPECT_EQ(E_NOTIMPL, Call(driver.get(), id).Hr) << id;
  TCall failed = Call(driver.get(), 503784);
  EXPECT_EQ(HRESULT(0x80004005), failed.Hr);
  EXPECT_EQ(VT_EMPTY, failed.Type());
}

TEST(DriverTable, RecordsGoInAndComeOutAsDispatchInterfaces) {
  auto driver = std::unique_ptr<TProbeDriver>(New<TProbeDriver>());
  auto* host = new hostsim::FakeHostObject;  // one reference: the creator's
  TCall set = Call(driver.get(), 503754, {Obj(host)});  // the variant's reference is released by the call
  EXPECT_EQ(S_OK, set.Hr);
  EXPECT_EQ(VT_BOOL, set.Type());
  EXPECT_EQ(VARIANT_TRUE, set.Result.Ptr()->boolVal);
  EXPECT_EQ(static_cast<IDispatch*>(host), driver->Device_.ToPointer());
  TCall get = Call(driver.get(), 503753);
  EXPECT_EQ(VT_DISPATCH, get.Type());
  EXPECT_EQ(static_cast<IDispatch*>(host), get.Dispatch());
  get.Result.Clear();
  driver->Device_.Clear();
  EXPECT_EQ(0u, host->Release());  // nothing kept a reference
}

TEST(DriverTable, CustomActionStateWritesBackThroughBooleanReferences) {
  auto driver = std::unique_ptr<TProbeDriver>(New<TProbeDriver>());
  VARIANT_BOOL first = VARIANT_FALSE, second = VARIANT_TRUE, third = VARIANT_TRUE;
  long raw = 0;
  TCall call =
      Call(driver.get(), 503815, {I4(2), RefBool(&first), RefBool(&second), RefBool(&third), I4(0x1234), RefI4(&raw)});
  ASSERT_EQ(S_OK, call.Hr);
  EXPECT_EQ(VT_EMPTY, call.Type());
  EXPECT_EQ(2, driver->LastIndex);
  EXPECT_EQ(VARIANT_TRUE, first);
  EXPECT_TRUE(driver->Seen2);  // the operation got the host's value
  EXPECT_EQ(VARIANT_TRUE, second);
  EXPECT_EQ(VARIANT_FALSE, third);
  EXPECT_EQ(0x1234u, driver->LastValue);  // raw: the first 32 bits of the variant
  EXPECT_EQ(uint32_t(reinterpret_cast<uintptr_t>(&raw)), driver->LastRaw2);
  EXPECT_EQ(0, raw);
}

TEST(DriverTable, CustomActionStateFailsAndWritesNothingWithoutAReference) {
  auto driver = std::unique_ptr<TProbeDriver>(New<TProbeDriver>());
  // Each output in turn passed by value, by a reference of the wrong width or
  // by a null reference: the call fails before the operation runs, and the
  // outputs that were good references keep what they held.
  long wide = 0x55555555;
  const VARIANT bad[] = {Bool(false), RefI4(&wide), RefBool(nullptr)};
  for (unsigned slot = 0; slot < 3; ++slot) {
    for (const VARIANT& wrong : bad) {
      VARIANT_BOOL outputs[3] = {VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE};
      std::vector<VARIANT> args = {I4(1), RefBool(&outputs[0]), RefBool(&outputs[1]), RefBool(&outputs[2]), I4(0), I4(0)};
      args[slot + 1] = wrong;
      driver->LastIndex = -1;
      TCall call = CallWith(driver.get(), 503815, args);
      EXPECT_EQ(HRESULT(0x8000FFFF), call.Hr) << slot << " " << wrong.vt;
      EXPECT_EQ(-1, driver->LastIndex) << "the operation ran";
      for (VARIANT_BOOL output : outputs) EXPECT_EQ(VARIANT_TRUE, output);
    }
  }
  EXPECT_EQ(0x55555555, wide);

  // A failed operation writes nothing back.
  VARIANT_BOOL first = VARIANT_FALSE;
  driver->Fail = true;
  EXPECT_EQ(HRESULT(0x8000FFFF),
            Call(driver.get(), 503815, {I4(1), RefBool(&first), RefBool(&first), RefBool(&first), I4(0), I4(0)}).Hr);
  EXPECT_EQ(VARIANT_FALSE, first);
}

}  // namespace
