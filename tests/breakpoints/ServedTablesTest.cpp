// The breakpoint and debug-manager dispatch tables as the host reaches them:
// service names per level, identifiers passed to the parent level, argument
// and result kinds.
#include "BreakpointTestSupport.h"

using namespace tvk;
namespace bp_test {

namespace {

class ServedTables : public DispatcherFixture {
protected:
  RecordingDriver driver;
  ComRef<TSoftBreakpoint> soft{New<TSoftBreakpoint>(&driver)};
  ComRef<TARM_Cortex_M3HardBreakpoint> comparator{New<TARM_Cortex_M3HardBreakpoint>(driver, fpb::FP_COMP0)};
  IDeviceDebugManager manager = CreateDeviceDebugManager(driver);
  IDispatch* Soft() { return static_cast<IDispatch*>(soft.Get()); }
  IDispatch* Hard() { return static_cast<IDispatch*>(comparator.Get()); }
  IDispatch* Manager() { return manager.ToPointer(); }
};

TEST_F(ServedTables, ServiceNamesFollowTheLevels) {
  Fake ice = MakeFake();
  const IHardBreakpoint watchpoint =
      TARMHardBreakpointPoint::Create(IARMEmbeddedICE(AsDispatch(ice)), 12, 13, 10, 11, 8, 9);

  struct Case {
    const char* object;
    IDispatch* target;
    const wchar_t* name;
    bool supported;
  };
  const Case cases[] = {
      {"comparator", Hard(), L"HardBreakpoint", true},
      {"comparator", Hard(), L"softbreakpoint", true},
      {"comparator", Hard(), L"DeviceDebugManager", false},
      {"watchpoint", watchpoint.ToPointer(), L"HARDBREAKPOINT", true},
      {"watchpoint", watchpoint.ToPointer(), L"SoftBreakpoint", true},
      {"soft", Soft(), L"SoftBreakpoint", true},
      {"soft", Soft(), L"HardBreakpoint", false},
      {"soft", Soft(), L"", false},
      {"soft", Soft(), L"SoftBreakpoint ", false},
      {"manager", Manager(), L"devicedebugmanager", true},
      {"manager", Manager(), L"SoftBreakpoint", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.supported, Supports(c.target, c.name)) << c.object << " " << c.name;
}

TEST_F(ServedTables, IdentifiersOfOtherLevelsAreNotAnswered) {
  for (DISPID id : {508557, 508565, 503948}) {
    Variant r;
    *r.Ptr() = I4(77);
    EXPECT_EQ(kE_NOTIMPL, Invoke(Soft(), id, {I8(1)}, &r)) << id;
    EXPECT_EQ(VT_I4, r.Type()) << "the result stays as it was";
    EXPECT_EQ(77, r.Ptr()->lVal);
  }
  EXPECT_EQ(kE_NOTIMPL, Invoke(Manager(), 503453));
  EXPECT_EQ(kE_NOTIMPL, Invoke(Hard(), 503947));
  // The hardware breakpoint answers the software breakpoint's identifiers.
  EXPECT_EQ(S_OK, Invoke(Hard(), id::SetAddress, {I8(0x08000100)}));
  EXPECT_EQ(0x08000100, AskInt64(Hard(), id::GetAddress));
}

TEST_F(ServedTables, ArgumentsConvertByKind) {
  // A memory space given as text, an address as a 64-bit integer beyond 32 bits.
  EXPECT_EQ(S_OK, Invoke(Soft(), id::SetMemorySpace, {Str(L"2")}));
  EXPECT_EQ(2, AskInt(Soft(), id::GetMemorySpace));
  EXPECT_EQ(S_OK, Invoke(Soft(), id::SetAddress, {I8(0x0000000108000000LL)}));
  EXPECT_EQ(0x0000000108000000LL, AskInt64(Soft(), id::GetAddress));
  // Kind u: the low 32 bits of the value; GetReplaced answers them as VT_I4.
  EXPECT_EQ(S_OK, Invoke(Soft(), id::SetReplaced, {I8(0x1FFFFFFFFLL)}));
  EXPECT_EQ(-1, AskInt(Soft(), id::GetReplaced));

  // GetNewBreakpoint passes the whole 64-bit address on to the memory probe.
  IDispatch* found = AskObject(Manager(), id::GetNewBreakpoint, {I4(0), I8(0x0000000108000000LL)});
  ASSERT_NE(nullptr, found);
  EXPECT_EQ(0x0000000108000000LL, AskInt64(found, id::GetAddress));
  ASSERT_FALSE(driver.CallsOf("MemoryRead").empty());
  EXPECT_EQ((DriverCall{"MemoryRead", {0, 0x0000000108000000LL, 4}}), driver.CallsOf("MemoryRead")[0]);

  // A boolean argument: a VT_BOOL true arrives as -1.
  EXPECT_EQ(S_OK, Invoke(Manager(), id::SetSoftbreakpointsRequireHardware, {Bool(true)}));
  EXPECT_TRUE(AskBool(Manager(), id::GetSoftBreakpointsRequireHardware));
}

TEST_F(ServedTables, EmptyResultsAreNullDispatchAndZero) {
  Variant r;
  *r.Ptr() = I4(5);
  ASSERT_EQ(S_OK, Invoke(Manager(), id::GetNewHardBreakpoint, {}, &r));
  EXPECT_EQ(VT_DISPATCH, r.Type());
  EXPECT_EQ(nullptr, r.Ptr()->pdispVal);

  EXPECT_EQ(nullptr, AskObject(Manager(), id::GetSystemBreakpoint));
  EXPECT_EQ(nullptr, AskObject(Manager(), id::GetAllocatedHardBreakpointByIndex, {I4(-1)}));
  EXPECT_EQ(nullptr, AskObject(Manager(), id::GetAllocatedSoftBreakpointByIndex, {I4(0)}));
  // AddHardBreakPoint leaves its answer unwritten: 0.
  EXPECT_EQ(0, AskInt(Manager(), id::AddHardBreakPoint, {Obj(Hard())}));
}

TEST_F(ServedTables, AFailingOperationKeepsTheResultVariant) {
  driver.FailOn = "OpenChannel";
  Variant r;
  *r.Ptr() = I4(9);
  EXPECT_EQ(kE_UNEXPECTED, Invoke(Manager(), id::AddressSupportsSoftBreakpoints, {I4(0), I8(0x20000000)}, &r));
  EXPECT_EQ(VT_I4, r.Type());
  EXPECT_EQ(9, r.Ptr()->lVal);
}

}  // namespace

}  // namespace bp_test
