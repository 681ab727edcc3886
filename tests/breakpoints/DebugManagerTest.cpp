// The debug manager: which kind of breakpoint a request gets under each
// breakpoint and debugger mode, lending and release, the system breakpoint,
// the walks over all breakpoints, look-ups, and the memory probe that decides
// between software and hardware breakpoints.
#include "BreakpointTestSupport.h"

using namespace tvk;
namespace bp_test {

namespace {

constexpr long long kRam = 0x20000000, kRamEnd = 0x20005000, kFlash = 0x08000000;

class DebugManager : public DispatcherFixture {
protected:
  void SetUp() override {
    DispatcherFixture::SetUp();
    driver.Writable = [](long long a) { return a >= kRam && a < kRamEnd; };
    driver.OnCall = [this](const DriverCall& c) {
      if (c.Op == "AddSoftBreakpoint" || c.Op == "RemoveSoftBreakpoint") events->push_back("soft." + c.Op);
    };
  }
  IDispatch* M() { return manager.ToPointer(); }
  IDispatch* Hw(std::size_t i) { return AsDispatch(hard.at(i)); }
  void AddHard(int n) {
    for (int i = 0; i < n; ++i) {
      hard.push_back(MakeFakeBreakpoint("hw" + std::to_string(hard.size()), events, 0x100 + long(hard.size())));
      ASSERT_EQ(S_OK, Invoke(M(), id::AddHardBreakPoint, {Obj(hard.back().Get())}));
    }
  }
  long Free() { return AskInt(M(), id::GetHardBreakpointCount) - AskInt(M(), id::GetAllocatedHardBreakPointCount); }
  IDispatch* System() { return AskObject(M(), id::GetSystemBreakpoint); }
  IDispatch* NewSoft() { return AskObject(M(), id::GetNewSoftBreakpoint); }
  IDispatch* NewHard() { return AskObject(M(), id::GetNewHardBreakpoint); }
  bool SetMode(long mode) { return AskBool(M(), id::SetBreakpointMode, {I4(mode)}); }
  void SetDebugger(long mode) { ASSERT_EQ(S_OK, Invoke(M(), id::SetDebuggerMode, {I4(mode)})); }
  void RequireHardware(bool on) { ASSERT_EQ(S_OK, Invoke(M(), id::SetSoftbreakpointsRequireHardware, {Bool(on)})); }
  HRESULT Release(IDispatch* bp) { return Invoke(M(), id::ReleaseBreakpoint, {Obj(bp)}); }

  RecordingDriver driver;
  IDeviceDebugManager manager = CreateDeviceDebugManager(driver);
  std::shared_ptr<std::vector<std::string>> events = std::make_shared<std::vector<std::string>>();
  std::vector<Fake> hard;
};

constexpr long SOFT = eBreakpointMode_SOFT, HARD = eBreakpointMode_HARD, ANY = eBreakpointMode_ANY;
constexpr long MANUAL = eDebuggerMode_MANUAL, AUTO = eDebuggerMode_AUTO;

TEST_F(DebugManager, StartsInModeAnyAutoWithoutRequiredHardware) {
  EXPECT_EQ(ANY, AskInt(M(), id::GetBreakpointMode));
  EXPECT_EQ(AUTO, AskInt(M(), id::GetDebuggerMode));
  EXPECT_FALSE(AskBool(M(), id::GetSoftBreakpointsRequireHardware));
  EXPECT_EQ(0, AskInt(M(), id::GetHardBreakpointCount));
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
}

TEST_F(DebugManager, AllocationTable) {
  enum Action { NewSoftBp, NewHardBp, ModeSoft, ModeHard, ModeAny, ModeUnknown };
  struct Case {
    const char* name;
    int free;
    bool requireHard;
    long mode, debugger;
    Action action;
    bool answer;  // a breakpoint was given, or the mode change was accepted
    long modeAfter;
    long freeAfter;
    bool systemAfter;
  };
  const Case cases[] = {
      {"soft reserves a system breakpoint", 2, true, ANY, AUTO, NewSoftBp, true, ANY, 1, true},
      {"soft needing hardware, none free", 0, true, ANY, AUTO, NewSoftBp, false, ANY, 0, false},
      {"soft in HARD, MANUAL", 1, false, HARD, MANUAL, NewSoftBp, false, HARD, 1, false},
      {"soft in HARD, AUTO switches to SOFT", 1, false, HARD, AUTO, NewSoftBp, true, SOFT, 1, false},
      {"soft in HARD, AUTO, needing hardware", 1, true, HARD, AUTO, NewSoftBp, true, SOFT, 0, true},
      {"hard in SOFT, MANUAL", 1, false, SOFT, MANUAL, NewHardBp, false, SOFT, 1, false},
      {"hard in SOFT, AUTO switches to ANY", 1, false, SOFT, AUTO, NewHardBp, true, ANY, 0, false},
      {"hard in SOFT, AUTO, the only one reserved", 1, true, SOFT, AUTO, NewHardBp, false, ANY, 0, true},
      {"hard with none free", 0, false, ANY, AUTO, NewHardBp, false, ANY, 0, false},
      {"hard in HARD", 2, false, HARD, MANUAL, NewHardBp, true, HARD, 1, false},
      {"HARD with none free", 0, false, ANY, AUTO, ModeHard, false, ANY, 0, false},
      {"HARD with one free", 1, false, ANY, MANUAL, ModeHard, true, HARD, 1, false},
      {"SOFT reserves when hardware is needed", 1, true, ANY, AUTO, ModeSoft, true, SOFT, 0, true},
      {"SOFT needing hardware, none free", 0, true, ANY, AUTO, ModeSoft, false, ANY, 0, false},
      {"ANY from SOFT needing hardware", 2, true, SOFT, MANUAL, ModeAny, true, ANY, 1, true},
      {"the current mode", 0, true, ANY, AUTO, ModeAny, true, ANY, 0, false},
      {"an unknown mode", 1, false, ANY, AUTO, ModeUnknown, false, ANY, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    manager = CreateDeviceDebugManager(driver);
    hard.clear();
    AddHard(c.free);
    SetDebugger(c.debugger);
    ASSERT_TRUE(SetMode(c.mode));
    RequireHardware(c.requireHard);

    bool answer = false;
    switch (c.action) {
      case NewSoftBp: answer = NewSoft() != nullptr; break;
      case NewHardBp: answer = NewHard() != nullptr; break;
      case ModeSoft: answer = SetMode(SOFT); break;
      case ModeHard: answer = SetMode(HARD); break;
      case ModeAny: answer = SetMode(ANY); break;
      case ModeUnknown: answer = SetMode(7); break;
    }
    EXPECT_EQ(c.answer, answer);
    EXPECT_EQ(c.modeAfter, AskInt(M(), id::GetBreakpointMode));
    EXPECT_EQ(c.freeAfter, Free());
    EXPECT_EQ(c.systemAfter, System() != nullptr);
  }
}

TEST_F(DebugManager, LendsInOrderAndTakesBackToTheEndOfTheFreeList) {
  AddHard(3);
  EXPECT_EQ(Hw(0), NewHard());
  EXPECT_EQ(Hw(1), NewHard());
  EXPECT_EQ(2, AskInt(M(), id::GetAllocatedHardBreakPointCount));
  EXPECT_EQ(3, AskInt(M(), id::GetHardBreakpointCount));
  EXPECT_EQ(Hw(1), AskObject(M(), id::GetAllocatedHardBreakpointByIndex, {I4(1)}));
  for (long outside : {-1L, 2L})
    EXPECT_EQ(nullptr, AskObject(M(), id::GetAllocatedHardBreakpointByIndex, {I4(outside)}));
  EXPECT_TRUE(events->empty());

  ASSERT_EQ(S_OK, Release(Hw(0)));
  EXPECT_EQ((std::vector<std::string>{"hw0.Disable", "hw0.Reset"}), *events);
  EXPECT_EQ(Hw(1), AskObject(M(), id::GetAllocatedHardBreakpointByIndex, {I4(0)}));
  EXPECT_EQ(Hw(2), NewHard());
  EXPECT_EQ(Hw(0), NewHard());
  EXPECT_EQ(nullptr, NewHard());

  // Objects the manager did not lend change nothing: a stranger, a free one.
  events->clear();
  Fake stranger = MakeFakeBreakpoint("stranger", events);
  ASSERT_EQ(S_OK, Release(AsDispatch(stranger)));
  ASSERT_EQ(S_OK, Release(Hw(1)));
  ASSERT_EQ(S_OK, Release(Hw(1)));
  ASSERT_EQ(S_OK, Release(nullptr));
  EXPECT_EQ((std::vector<std::string>{"hw1.Disable", "hw1.Reset"}), *events);
  EXPECT_EQ(2, AskInt(M(), id::GetAllocatedHardBreakPointCount));
  EXPECT_EQ(3, AskInt(M(), id::GetHardBreakpointCount));
}

TEST_F(DebugManager, TheSystemBreakpointComesBackWithTheLastSoftBreakpointInAutoMode) {
  AddHard(2);
  RequireHardware(true);
  IDispatch* a = NewSoft();
  IDispatch* b = NewSoft();
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  EXPECT_EQ(Hw(0), System());
  EXPECT_EQ(1, AskInt(M(), id::GetHardBreakpointCount)) << "the reserved one is not counted";

  ASSERT_EQ(S_OK, Release(a));
  EXPECT_EQ(Hw(0), System()) << "a software breakpoint is still allocated";
  ASSERT_EQ(S_OK, Release(b));
  EXPECT_EQ(nullptr, System());
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
  EXPECT_EQ(2, AskInt(M(), id::GetHardBreakpointCount));
  EXPECT_EQ(Hw(1), NewHard()) << "the system breakpoint went to the end of the free list";
  EXPECT_EQ(Hw(0), NewHard());
}

TEST_F(DebugManager, TheSystemBreakpointStaysReservedOtherwise) {
  AddHard(2);
  RequireHardware(true);
  // MANUAL: releasing the last software breakpoint keeps it.
  SetDebugger(MANUAL);
  ASSERT_EQ(S_OK, Release(NewSoft()));
  EXPECT_EQ(Hw(0), System());
  // Release-all of the software breakpoints keeps it, in AUTO mode too.
  SetDebugger(AUTO);
  NewSoft();
  NewSoft();
  ASSERT_EQ(S_OK, Invoke(M(), id::ReleaseAllocatedSoftBreakpoints));
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
  EXPECT_EQ(Hw(0), System());
  // Switching to HARD gives it back.
  EXPECT_TRUE(SetMode(HARD));
  EXPECT_EQ(nullptr, System());
  EXPECT_EQ(2, AskInt(M(), id::GetHardBreakpointCount));
  EXPECT_EQ(Hw(1), NewHard());
  EXPECT_TRUE(events->empty()) << "the system breakpoint is reserved and returned without calls";
}

TEST_F(DebugManager, WalksGoHardwareFirstInListOrder) {
  AddHard(2);
  NewHard();
  NewHard();
  IDispatch* s1 = AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kRam + 0x10)});
  IDispatch* s2 = AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kRam + 0x20)});
  ASSERT_TRUE(s1 && s2);
  events->clear();

  ASSERT_EQ(S_OK, Invoke(M(), id::EnableAllAllocatedBreakpoints));
  EXPECT_EQ((std::vector<std::string>{"hw0.Enable", "hw1.Enable", "soft.AddSoftBreakpoint", "soft.AddSoftBreakpoint"}),
            *events);
  EXPECT_EQ((std::vector<DriverCall>{{"AddSoftBreakpoint", {0, kRam + 0x10}}, {"AddSoftBreakpoint", {0, kRam + 0x20}}}),
            driver.CallsOf("AddSoftBreakpoint"));

  events->clear();
  ASSERT_EQ(S_OK, Invoke(M(), id::DisableAllAllocatedBreakpoints));
  EXPECT_EQ((std::vector<std::string>{"hw0.Disable", "hw1.Disable", "soft.RemoveSoftBreakpoint",
                                      "soft.RemoveSoftBreakpoint"}),
            *events);

  ASSERT_EQ(S_OK, Invoke(M(), id::EnableAllAllocatedBreakpoints));
  events->clear();
  ASSERT_EQ(S_OK, Invoke(M(), id::ReleaseAllBreakpoints));
  EXPECT_EQ((std::vector<std::string>{"hw0.Disable", "hw0.Reset", "hw1.Disable", "hw1.Reset",
                                      "soft.RemoveSoftBreakpoint", "soft.RemoveSoftBreakpoint"}),
            *events);
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedHardBreakPointCount));
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
  EXPECT_EQ(2, Free());
  EXPECT_EQ(0u, driver.Half(kRam + 0x10)) << "the instructions were put back";
}

TEST_F(DebugManager, LookUpsByAddressAndByData) {
  AddHard(3);  // data 0x100, 0x101, 0x102
  IDispatch* lent = NewHard();
  ASSERT_EQ(S_OK, Invoke(lent, id::SetAddress, {I8(kRam + 0x40)}));
  ASSERT_EQ(S_OK, Invoke(Hw(2), id::SetAddress, {I8(kRam + 0x80)}));  // free: not looked at
  IDispatch* soft = NewSoft();
  ASSERT_EQ(S_OK, Invoke(soft, id::SetAddress, {I8(kRam + 0x40)}));

  EXPECT_EQ(soft, AskObject(M(), id::GetBreakpointByAddress, {I4(5), I8(kRam + 0x40)})) << "software first, any space";
  ASSERT_EQ(S_OK, Release(soft));
  EXPECT_EQ(lent, AskObject(M(), id::GetBreakpointByAddress, {I4(0), I8(kRam + 0x40)}));
  EXPECT_EQ(nullptr, AskObject(M(), id::GetBreakpointByAddress, {I4(0), I8(kRam + 0x80)}));

  EXPECT_EQ(lent, AskObject(M(), id::GetBreakpointByData, {I8(0x100)}));
  EXPECT_EQ(nullptr, AskObject(M(), id::GetBreakpointByData, {I8(0x101)}));
}

TEST_F(DebugManager, AHardwareBreakpointIsHeldOnce) {
  AddHard(1);
  ASSERT_EQ(S_OK, Invoke(M(), id::AddHardBreakPoint, {Obj(Hw(0))}));
  EXPECT_EQ(1, AskInt(M(), id::GetHardBreakpointCount));
  EXPECT_EQ(Hw(0), NewHard());
  ASSERT_EQ(S_OK, Invoke(M(), id::AddHardBreakPoint, {Obj(Hw(0))}));
  EXPECT_EQ(1, AskInt(M(), id::GetHardBreakpointCount)) << "a lent one is not made free again";
  EXPECT_EQ(nullptr, NewHard());
  // An empty record is no breakpoint.
  EXPECT_EQ(kE_UNEXPECTED, Invoke(M(), id::AddHardBreakPoint, {Obj(nullptr)}));
  EXPECT_EQ(1, AskInt(M(), id::GetHardBreakpointCount));
}

TEST_F(DebugManager, GetNewBreakpointPicksByMemory) {
  AddHard(2);
  driver.Fill(kFlash + 0x100, {0x01, 0x02, 0x03, 0x04});

  // Flash does not take the probe's write: a hardware breakpoint is lent,
  // reset and placed.
  IDispatch* onFlash = AskObject(M(), id::GetNewBreakpoint, {I4(1), I8(kFlash + 0x100)});
  EXPECT_EQ(Hw(0), onFlash);
  EXPECT_EQ((std::vector<std::string>{"hw0.Reset", "hw0.SetMemorySpace", "hw0.SetAddress"}), *events);
  EXPECT_EQ(kFlash + 0x100, AskInt64(onFlash, id::GetAddress));
  EXPECT_EQ(1, AskInt(M(), id::GetAllocatedHardBreakPointCount));

  // The same address again: the same breakpoint, reset again.
  events->clear();
  EXPECT_EQ(Hw(0), AskObject(M(), id::GetNewBreakpoint, {I4(1), I8(kFlash + 0x100)}));
  EXPECT_EQ((std::vector<std::string>{"hw0.Reset", "hw0.SetMemorySpace", "hw0.SetAddress"}), *events);
  EXPECT_EQ(1, AskInt(M(), id::GetAllocatedHardBreakPointCount));

  // RAM takes a software breakpoint; the probe leaves it as it was.
  driver.Fill(kRam + 0x200, {0x10, 0xFF, 0x00, 0x7F});
  IDispatch* onRam = AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kRam + 0x200)});
  ASSERT_NE(nullptr, onRam);
  EXPECT_FALSE(Supports(onRam, L"HardBreakpoint"));
  EXPECT_EQ(kRam + 0x200, AskInt64(onRam, id::GetAddress));
  EXPECT_EQ(0, AskInt(onRam, id::GetMemorySpace));
  EXPECT_EQ(1, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
  EXPECT_EQ((std::vector<uint8_t>{0x10, 0xFF, 0x00, 0x7F}), driver.Bytes(kRam + 0x200, 4));
  EXPECT_EQ(onRam, AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kRam + 0x200)}));
  EXPECT_EQ(1, AskInt(M(), id::GetAllocatedSoftBreakPointCount));

  // Flash again, with the last hardware breakpoint, then with none free.
  EXPECT_EQ(Hw(1), AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kFlash + 0x200)}));
  EXPECT_EQ(nullptr, AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kFlash + 0x300)}));
}

TEST_F(DebugManager, GetNewBreakpointWithoutHardwareOnFlashIsEmpty) {
  EXPECT_EQ(nullptr, AskObject(M(), id::GetNewBreakpoint, {I4(0), I8(kFlash)}));
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
}

TEST_F(DebugManager, TheProbePutsBackEveryByteItChanged) {
  struct Case {
    const char* name;
    long long address;
    std::function<bool(long long)> writable;
    bool answer;
    std::vector<std::vector<long long>> restores;  // space, address, count, bytes...
  };
  const long long a = kRam + 0x300;
  const Case cases[] = {
      {"RAM", a, [](long long) { return true; }, true, {{0, a, 4, 0xFF, 0x00, 0x7F, 0x80}}},
      {"flash", a, [](long long) { return false; }, false, {}},
      {"across the end of RAM", a, [a](long long x) { return x < a + 2; }, false, {{0, a, 2, 0xFF, 0x00}}},
      {"one read-only byte", a, [a](long long x) { return x != a + 2; }, false,
       {{0, a, 2, 0xFF, 0x00}, {0, a + 3, 1, 0x80}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    driver.Calls.clear();
    driver.Memory.clear();
    driver.Writable = [](long long) { return true; };
    driver.Fill(a, {0xFF, 0x00, 0x7F, 0x80});
    driver.Writable = c.writable;

    EXPECT_EQ(c.answer, AskBool(M(), id::AddressSupportsSoftBreakpoints, {I4(0), I8(c.address)}));
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0x00, 0x7F, 0x80}), driver.Bytes(a, 4));

    std::vector<DriverCall> want = {{"OpenChannel", {}},
                                    {"MemoryRead", {0, a, 4}},
                                    {"MemoryWrite", {0, a, 4, 0x00, 0x01, 0x80, 0x81}},
                                    {"MemoryRead", {0, a, 4}}};
    for (const auto& r : c.restores) want.push_back({"MemoryWrite", r});
    want.push_back({"CloseChannel", {}});
    EXPECT_EQ(want, driver.Calls);
  }
}

TEST_F(DebugManager, AFailingProbeClosesTheChannel) {
  driver.FailOn = "MemoryWrite";
  EXPECT_EQ(kE_UNEXPECTED, Invoke(M(), id::AddressSupportsSoftBreakpoints, {I4(0), I8(kRam)}));
  EXPECT_EQ("CloseChannel", driver.Calls.back().Op);
  // GetNewBreakpoint fails the same way and hands out nothing.
  AddHard(1);
  EXPECT_EQ(kE_UNEXPECTED, Invoke(M(), id::GetNewBreakpoint, {I4(0), I8(kRam)}));
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedSoftBreakPointCount));
  EXPECT_EQ(0, AskInt(M(), id::GetAllocatedHardBreakPointCount));
}

TEST_F(DebugManager, ModesAreKeptAsGiven) {
  SetDebugger(MANUAL);
  EXPECT_EQ(MANUAL, AskInt(M(), id::GetDebuggerMode));
  RequireHardware(true);
  EXPECT_TRUE(AskBool(M(), id::GetSoftBreakpointsRequireHardware));
  RequireHardware(false);
  EXPECT_FALSE(AskBool(M(), id::GetSoftBreakpointsRequireHardware));
}

}  // namespace

}  // namespace bp_test
