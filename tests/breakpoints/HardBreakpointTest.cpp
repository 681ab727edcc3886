// Hardware breakpoints: the flash patch comparator values and their writes,
// the registration of the comparators with the debug manager, and the
// EmbeddedICE watchpoint against a fake IARMEmbeddedICE host object.
#include "BreakpointTestSupport.h"

using namespace tvk;
namespace bp_test {

namespace {

constexpr uint32_t kComp1 = 0xE000200C;

class Comparator : public DispatcherFixture {
protected:
  RecordingDriver driver;
  ComRef<TARM_Cortex_M3HardBreakpoint> MakeComparator(uint32_t reg = kComp1) {
    return ComRef<TARM_Cortex_M3HardBreakpoint>(New<TARM_Cortex_M3HardBreakpoint>(driver, reg));
  }
  static IDispatch* D(const ComRef<TARM_Cortex_M3HardBreakpoint>& c) { return static_cast<IDispatch*>(c.Get()); }
  std::vector<DriverCall> Write(uint32_t reg, uint32_t value) {
    return {{"OpenJtagChannel", {}}, {"WriteWordChecked", {reg, value}}, {"CloseJtagChannel", {}}};
  }
};

TEST_F(Comparator, EnableWritesTheMatchingComparatorValue) {
  struct Case {
    long long set;
    long long address;  // as GetAddress answers it
    uint32_t value;     // written to the comparator
  };
  const Case cases[] = {
      {0x08000102, 0x08000102, 0x88000101},           // upper halfword
      {0x08000101, 0x08000100, 0x48000101},           // bit 0 dropped, lower halfword
      {0x20000100, 0x20000100, 0x40000101},           // bits 31:29 are not compared
      {0x0000000108000002LL, 0x08000002, 0x88000001}, // the upper half of the address is dropped
      {0xFFFFFFFF, 0xFFFFFFFE, 0x9FFFFFFD},
  };
  for (const Case& c : cases) {
    auto comparator = MakeComparator();
    driver.Calls.clear();
    ASSERT_EQ(S_OK, Invoke(D(comparator), id::SetAddress, {I8(c.set)}));
    EXPECT_TRUE(driver.Calls.empty()) << "setting a value touches no target";
    EXPECT_EQ(c.address, AskInt64(D(comparator), id::GetAddress)) << std::hex << c.set;
    EXPECT_TRUE(AskBool(D(comparator), id::Enable));
    EXPECT_EQ(Write(kComp1, c.value), driver.Calls) << std::hex << c.set;
  }
}

TEST_F(Comparator, DisableAndResetClearTheComparatorAndAnswerTheWrite) {
  auto comparator = MakeComparator();
  ASSERT_EQ(S_OK, Invoke(D(comparator), id::SetAddress, {I8(0x08000200)}));
  for (bool writeOk : {true, false}) {
    driver.WriteWordAnswer = writeOk;
    driver.Calls.clear();
    EXPECT_EQ(writeOk, AskBool(D(comparator), id::Disable));
    EXPECT_EQ(Write(kComp1, 0), driver.Calls);
    EXPECT_EQ(writeOk, AskBool(D(comparator), id::Enable));
  }
  driver.Calls.clear();
  EXPECT_EQ(S_OK, Invoke(D(comparator), id::Reset));
  EXPECT_EQ(Write(kComp1, 0), driver.Calls);
  EXPECT_EQ(0x08000200, AskInt64(D(comparator), id::GetAddress)) << "reset keeps the values";
}

TEST_F(Comparator, CreationClearsTheComparator) {
  auto comparator = MakeComparator(0xE0002010);
  EXPECT_EQ(Write(0xE0002010, 0), driver.Calls);
  EXPECT_EQ(0xE0002010u, comparator->ComparatorRegister());

  // Without a channel the write is not made and answers false: the object is
  // still created, reset.
  driver.WriteWordAnswer = false;
  auto unreached = MakeComparator();
  EXPECT_EQ(0, AskInt64(D(unreached), id::GetAddress));
  EXPECT_EQ(0, AskInt(D(unreached), id::GetMemorySpace));

  // A failing channel makes the creation fail.
  driver.FailOn = "OpenJtagChannel";
  EXPECT_THROW(MakeComparator(), Exception);
}

TEST_F(Comparator, QualifiersKeepTheirLow32Bits) {
  auto comparator = MakeComparator();
  driver.Calls.clear();
  const std::pair<DISPID, DISPID> qualifiers[] = {{id::SetAddressMask, id::GetAddressMask},
                                                  {id::SetData, id::GetData},
                                                  {id::SetDataMask, id::GetDataMask},
                                                  {id::SetControl, id::GetControl},
                                                  {id::SetControlMask, id::GetControlMask}};
  long long value = 0x1122334455667788LL;
  for (auto [set, get] : qualifiers) {
    ASSERT_EQ(S_OK, Invoke(D(comparator), set, {I8(value)}));
    EXPECT_EQ(value & 0xFFFFFFFF, AskInt64(D(comparator), get)) << get;
    value += 0x0101010101010101LL;
  }
  ASSERT_EQ(S_OK, Invoke(D(comparator), id::SetMemorySpace, {I4(3)}));
  EXPECT_EQ(3, AskInt(D(comparator), id::GetMemorySpace));
  ASSERT_EQ(S_OK, Invoke(D(comparator), id::SetReplaced, {I4(0x4770)}));
  EXPECT_EQ(0, AskInt(D(comparator), id::GetReplaced));
  EXPECT_TRUE(driver.Calls.empty());
  // The qualifiers play no part in the comparator value.
  ASSERT_EQ(S_OK, Invoke(D(comparator), id::SetAddress, {I8(0x08000000)}));
  EXPECT_TRUE(AskBool(D(comparator), id::Enable));
  EXPECT_EQ(Write(kComp1, 0x48000001), driver.Calls);
}

TEST_F(Comparator, ChannelErrorsFailTheOperationAndCloseTheChannel) {
  auto comparator = MakeComparator();
  driver.Calls.clear();
  driver.FailOn = "WriteWordChecked";
  Variant r;
  *r.Ptr() = I4(3);
  EXPECT_EQ(kE_UNEXPECTED, Invoke(D(comparator), id::Enable, {}, &r));
  EXPECT_EQ(VT_I4, r.Type());
  EXPECT_EQ(Write(kComp1, 0x40000001), driver.Calls);

  driver.Calls.clear();
  driver.FailOn = "OpenJtagChannel";
  EXPECT_EQ(kE_UNEXPECTED, Invoke(D(comparator), id::Disable));
  EXPECT_EQ((std::vector<DriverCall>{{"OpenJtagChannel", {}}}), driver.Calls);
}

TEST_F(Comparator, AnswersTheDriversDevice) {
  Fake device = MakeFake();
  driver.Device = ITovikDevice(AsDispatch(device));
  auto comparator = MakeComparator();
  EXPECT_EQ(AsDispatch(device), AskObject(D(comparator), id::GetTovikDevice));
}

// ---- Registration with the debug manager

class Registration : public DispatcherFixture {
protected:
  RecordingDriver driver;
  IDeviceDebugManager manager = CreateDeviceDebugManager(driver);
  TFlashPatchRegistration registration;
  std::vector<long long> ClearedComparators() {
    std::vector<long long> regs;
    for (const auto& c : driver.CallsOf("WriteWordChecked"))
      if (c.Args[1] == 0) regs.push_back(c.Args[0]);
    return regs;
  }
};

TEST_F(Registration, EachComparatorIsRegisteredOnceHoweverOftenItRuns) {
  ASSERT_EQ(S_OK, Invoke(manager.ToPointer(), id::SetSoftbreakpointsRequireHardware, {Bool(true)}));
  registration.Register(driver, manager, 6);
  EXPECT_FALSE(AskBool(manager.ToPointer(), id::GetSoftBreakpointsRequireHardware));
  EXPECT_EQ(6, AskInt(manager.ToPointer(), id::GetHardBreakpointCount));
  EXPECT_EQ((std::vector<long long>{0xE0002008, 0xE000200C, 0xE0002010, 0xE0002014, 0xE0002018, 0xE000201C}),
            ClearedComparators());

  // Again, as the host may ask: nothing is created or added twice.
  registration.Register(driver, manager, 6);
  EXPECT_EQ(6, AskInt(manager.ToPointer(), id::GetHardBreakpointCount));
  EXPECT_EQ(6u, ClearedComparators().size());
  EXPECT_EQ(6, registration.Registered());

  // More comparators than before: only the new ones are added.
  registration.Register(driver, manager, 8);
  EXPECT_EQ(8, AskInt(manager.ToPointer(), id::GetHardBreakpointCount));
  EXPECT_EQ(8u, ClearedComparators().size());
  EXPECT_EQ(0xE0002024, ClearedComparators().back());
}

TEST_F(Registration, ComparatorsAreLentInRegistrationOrder) {
  registration.Register(driver, manager, 2);
  for (uint32_t reg : {0xE0002008u, 0xE000200Cu}) {
    IDispatch* lent = AskObject(manager.ToPointer(), id::GetNewHardBreakpoint);
    ASSERT_NE(nullptr, lent);
    ASSERT_EQ(S_OK, Invoke(lent, id::SetAddress, {I8(0x08000104)}));
    driver.Calls.clear();
    EXPECT_TRUE(AskBool(lent, id::Enable));
    ASSERT_EQ(1u, driver.CallsOf("WriteWordChecked").size());
    EXPECT_EQ((DriverCall{"WriteWordChecked", {reg, 0x48000105}}), driver.CallsOf("WriteWordChecked")[0]);
  }
  EXPECT_EQ(nullptr, AskObject(manager.ToPointer(), id::GetNewHardBreakpoint));
}

TEST_F(Registration, AnAbsentManagerRaises) {
  EXPECT_THROW(registration.Register(driver, IDeviceDebugManager(), 2), Exception);
  EXPECT_EQ(0, registration.Registered());
}

// ---- EmbeddedICE watchpoint

constexpr DISPID kOpenJtagChannel = 509025, kCloseJtagChannel = 509026, kSetICERegister = 509027,
                 kDriverGetTovikDevice = 503753;

class Watchpoint : public DispatcherFixture {
protected:
  void SetUp() override {
    DispatcherFixture::SetUp();
    ice->Accept(kOpenJtagChannel);
    ice->Accept(kCloseJtagChannel);
    ice->Serve(kSetICERegister, "ii", [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
    ice->ReturnObject(kDriverGetTovikDevice, AsDispatch(device));
  }
  // (register, value) of each EmbeddedICE register write, opening and closing as (-1, 0) and (-2, 0).
  std::vector<std::pair<long, long>> IceWrites() const {
    std::vector<std::pair<long, long>> r;
    for (const auto& c : ice->Calls()) {
      if (c.Id == kOpenJtagChannel) r.push_back({-1, 0});
      else if (c.Id == kCloseJtagChannel) r.push_back({-2, 0});
      else if (c.Id == kSetICERegister) r.push_back({c.Int(0), c.Int(1)});
    }
    return r;
  }
  Fake ice = MakeFake();
  Fake device = MakeFake();
  IHardBreakpoint watchpoint = TARMHardBreakpointPoint::Create(IARMEmbeddedICE(AsDispatch(ice)), 12, 13, 10, 11, 8, 9);
  IDispatch* W() const { return watchpoint.ToPointer(); }
};

TEST_F(Watchpoint, StartsResetWithoutTouchingTheTarget) {
  EXPECT_TRUE(ice->Calls().empty());
  EXPECT_EQ(0xFFFFFFFFLL, AskInt64(W(), id::GetDataMask));
  EXPECT_EQ(0, AskInt64(W(), id::GetData));
  EXPECT_EQ(0, AskInt64(W(), id::GetAddress));
  EXPECT_EQ(0, AskInt64(W(), id::GetAddressMask));
}

TEST_F(Watchpoint, EnableProgramsTheUnitInOrder) {
  ASSERT_EQ(S_OK, Invoke(W(), id::SetAddress, {I8(0x00008001)}));
  ASSERT_EQ(S_OK, Invoke(W(), id::SetAddressMask, {I8(3)}));
  ASSERT_EQ(S_OK, Invoke(W(), id::SetData, {I8(0x1122334455667788LL)}));
  ASSERT_EQ(S_OK, Invoke(W(), id::SetDataMask, {I8(0xFF)}));
  ASSERT_EQ(S_OK, Invoke(W(), id::SetControl, {I8(0x1F)}));
  ASSERT_EQ(S_OK, Invoke(W(), id::SetControlMask, {I8(0xF7)}));
  EXPECT_TRUE(ice->Calls().empty()) << "setting values touches no target";

  EXPECT_TRUE(AskBool(W(), id::Enable));
  const std::vector<std::pair<long, long>> enable = {{-1, 0}, {12, 0},          {9, 3},     {8, 0x8000},
                                                     {11, 0xFF}, {10, 0x55667788}, {13, 0xF7}, {12, 0x11F},
                                                     {-2, 0}};
  EXPECT_EQ(enable, IceWrites());
  EXPECT_TRUE(ice->KindErrors().empty());

  ice->ClearCalls();
  EXPECT_TRUE(AskBool(W(), id::Disable));
  EXPECT_EQ((std::vector<std::pair<long, long>>{{-1, 0}, {12, 0}, {-2, 0}}), IceWrites());

  // Reset keeps control and control mask and writes nothing.
  ice->ClearCalls();
  ASSERT_EQ(S_OK, Invoke(W(), id::Reset));
  EXPECT_TRUE(ice->Calls().empty());
  EXPECT_EQ(0x1F, AskInt64(W(), id::GetControl));
  EXPECT_EQ(0xF7, AskInt64(W(), id::GetControlMask));
  EXPECT_EQ(0xFFFFFFFFLL, AskInt64(W(), id::GetDataMask));
  EXPECT_EQ(0, AskInt64(W(), id::GetAddress));
  EXPECT_EQ(0, AskInt(W(), id::GetReplaced));
}

TEST_F(Watchpoint, AnswersTheDeviceOfItsDriver) {
  EXPECT_EQ(AsDispatch(device), AskObject(W(), id::GetTovikDevice));
  EXPECT_EQ(1u, ice->CallCount(kDriverGetTovikDevice));
}

TEST_F(Watchpoint, AHostErrorFailsTheOperationAndClosesTheChannel) {
  ice->FailWith(kSetICERegister, hostsim::Fault{});
  EXPECT_EQ(kE_UNEXPECTED, Invoke(W(), id::Enable));
  EXPECT_EQ(1u, ice->CallCount(kSetICERegister));
  EXPECT_EQ(1u, ice->CallCount(kCloseJtagChannel));
}

TEST_F(Watchpoint, LivesWhileItsAdapterIsReferenced) {
  const LONG held = ice->RefCount();
  ComRef<IUnknown> extra;
  ASSERT_EQ(S_OK, W()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(extra.Receive())));
  watchpoint.Clear();
  EXPECT_EQ(held, ice->RefCount()) << "a reference taken through the adapter keeps the watchpoint";
  EXPECT_EQ(S_OK, Invoke(static_cast<IDispatch*>(extra.Get()), id::Disable));
  extra.Reset();
  EXPECT_EQ(held - 1, ice->RefCount()) << "the last reference frees the watchpoint and its record";
}

}  // namespace

}  // namespace bp_test
