// The module's driver class with the Cortex-M3 level in its chain, driven
// through its dispatch interface and IMemoryAccess as the host drives it,
// against the simulated STM32F103.
#include "CortexM3Fixture.h"

#include "Device_ST_CortexM3_Data.h"
#include "Tarnwell_Driver.h"
#include "support/HostCall.h"

#include <functional>

namespace cortexm3_test {
using namespace testsupport;

namespace {

constexpr DISPID kSingleStep = 503794, kReset = 503796, kPause = 503797, kContinue = 503798;
constexpr DISPID kIsPaused = 503800, kIsReset = 503801, kIsRunning = 503802, kRegisterValue = 503767;
constexpr DISPID kInitWatchPoints = 509046, kGetNewHardBreakpoint = 503949;
constexpr std::int32_t kLC = 29;  // the register the host shows as the program counter

bool Bool(const TCall& call) { return call.Hr == S_OK && call.Type() == VT_BOOL && call.Result.Ptr()->boolVal; }

class CortexM3Driver : public ::testing::Test {
protected:
  CortexM3Driver() {
    tvk::DispatchFixStartup();
    EXPECT_TRUE(tvk::DeviceDataUnitStartup());
    Chip.LoadWords(kFlash, {kInitialSp, kResetVector});
    Chip.LoadHalfwords(kProgram, {0x2000, 0x3001, 0xE7FD});
    Chip.PowerOnReset();
    Driver.reset(tvk::New<tvk::TCortexM3>(0));
    bool lent = false;
    EXPECT_EQ(S_OK, Driver->SetTovikDevice(tvk::ITovikDevice(Board->DeviceDispatch()), lent));
    EXPECT_TRUE(lent);
  }
  ~CortexM3Driver() override {
    EXPECT_TRUE(Board->ProtocolErrors().empty());
    EXPECT_EQ(Board->Channel().Opens(), Board->Channel().Closes());
  }

  IDispatch* D() { return static_cast<IDispatch*>(Driver.get()); }
  std::int32_t HardBreakpoints() { return Driver->DeviceDebugManager().GetHardBreakpointCount(); }
  std::uint32_t Register(std::int32_t index) { return std::uint32_t(Call(D(), kRegisterValue, {I4(index)}).Int()); }

  std::unique_ptr<SimBoard> Board = SimBoard::Stm32F103BehindBypass();
  SimCortexM3& Chip = Board->Chip();
  std::unique_ptr<tvk::TCortexM3> Driver;
};

TEST_F(CortexM3Driver, TheHostsRoadFromTheFirstStatusQueryToAHardwareBreakpoint) {
  // A pause or a memory read before the first status query sets nothing up.
  EXPECT_EQ(S_OK, Call(D(), kPause).Hr);
  tvk::IMemoryAccess* memory = nullptr;
  ASSERT_EQ(S_OK, Driver->QueryInterface(tvk::IID_IMemoryAccess, reinterpret_cast<void**>(&memory)));
  std::uint32_t cells[10] = {};
  BOOL success = FALSE;
  EXPECT_EQ(S_OK, memory->MemoryRead(0, cells, kSram, 4, &success));
  EXPECT_FALSE(Driver->Core().Initialized());
  EXPECT_EQ(0, HardBreakpoints());

  // The status query does; the host's watchpoint set-up adds no comparator twice.
  EXPECT_TRUE(Bool(Call(D(), kIsRunning)));
  EXPECT_TRUE(Driver->Core().Initialized());
  EXPECT_EQ(6, HardBreakpoints());
  EXPECT_EQ(S_OK, Call(D(), kInitWatchPoints).Hr);
  EXPECT_EQ(S_OK, Call(D(), kInitWatchPoints).Hr);
  EXPECT_EQ(6, HardBreakpoints());

  EXPECT_EQ(S_OK, Call(D(), kPause).Hr);
  EXPECT_TRUE(Chip.Halted());
  EXPECT_TRUE(Bool(Call(D(), kIsPaused)));

  EXPECT_EQ(S_OK, Call(D(), kReset).Hr);
  EXPECT_TRUE(Bool(Call(D(), kIsReset)));
  EXPECT_EQ(kProgram, Register(kLC));
  EXPECT_EQ(kInitialSp, Register(13));
  EXPECT_EQ(S_OK, Call(D(), kSingleStep).Hr);
  EXPECT_EQ(kLoop, Register(kLC));
  EXPECT_FALSE(Bool(Call(D(), kIsReset)));

  // Ten bytes across words, written and read back through the memory interface.
  const std::uint32_t bytes[10] = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x98, 0xA9};
  std::copy(std::begin(bytes), std::end(bytes), cells);
  EXPECT_EQ(S_OK, memory->MemoryWrite(0, cells, kSram + 3, 10, &success));
  EXPECT_TRUE(success);
  std::uint8_t onChip[10] = {};
  ASSERT_TRUE(Chip.Peek(kSram + 3, onChip));
  for (int k = 0; k < 10; ++k) EXPECT_EQ(bytes[k], onChip[k]) << k;
  std::fill(std::begin(cells), std::end(cells), 0u);
  EXPECT_EQ(S_OK, memory->MemoryRead(0, cells, kSram + 3, 10, &success));
  EXPECT_TRUE(success);
  EXPECT_TRUE(std::equal(std::begin(bytes), std::end(bytes), cells));

  // A hardware breakpoint from the debug manager stops the running core.
  TCall lent = Call(Driver->DeviceDebugManager().ToPointer(), kGetNewHardBreakpoint);
  ASSERT_NE(nullptr, lent.Dispatch());
  const tvk::ISoftBreakpoint breakpoint(lent.Dispatch());
  breakpoint.SetAddress(kBranch);
  EXPECT_TRUE(breakpoint.Enable());
  EXPECT_EQ(0x4800000Du, Chip.FpComparator(0));
  EXPECT_EQ(S_OK, Call(D(), kContinue).Hr);
  EXPECT_TRUE(Bool(Call(D(), kIsPaused)));
  EXPECT_EQ(SimStop::Comparator, Chip.LastStop());
  EXPECT_EQ(kBranch, Register(kLC));
}

// A transfer that failed at the port is reported; one whose sticky error
// could be cleared (an unmapped address) reads zeros and counts as done.
TEST_F(CortexM3Driver, MemoryReadAndWriteReportATransferThatFailed) {
  tvk::IMemoryAccess* memory = nullptr;
  ASSERT_EQ(S_OK, Driver->QueryInterface(tvk::IID_IMemoryAccess, reinterpret_cast<void**>(&memory)));
  ASSERT_FALSE(Bool(Call(D(), kIsPaused)));  // sets the core up
  ASSERT_TRUE(Chip.LoadWords(kSram, {0x44332211}));
  struct Case {
    const char* Name;
    std::function<void(SimBoard&)> Arrange, Restore;
    std::uint32_t Address;
    bool Success;
    std::uint32_t FirstCell;
  } cases[] = {
      {"SRAM", [](SimBoard&) {}, [](SimBoard&) {}, kSram, true, 0x11},
      {"unmapped address", [](SimBoard&) {}, [](SimBoard&) {}, 0x30000000, true, 0},
      {"no channel", [](SimBoard& b) { b.Device().SetChannelPresent(false); },
       [](SimBoard& b) { b.Device().SetChannelPresent(true); }, kSram, false, 0},
      {"debug port answering WAIT", [](SimBoard& b) { b.Dp().SetWaitScans(SimJtagDp::kForever); },
       [](SimBoard& b) { b.Dp().SetWaitScans(0); }, kSram, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Arrange(*Board);
    std::uint32_t cells[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    BOOL success = !c.Success;
    EXPECT_EQ(S_OK, memory->MemoryRead(0, cells, c.Address, 4, &success));
    EXPECT_EQ(c.Success, success != FALSE);
    EXPECT_EQ(c.FirstCell, cells[0]);
    success = !c.Success;
    EXPECT_EQ(S_OK, memory->MemoryWrite(0, cells, c.Address, 4, &success));
    EXPECT_EQ(c.Success, success != FALSE);
    c.Restore(*Board);
    // A reset clears what a port that stopped answering latched.
    EXPECT_EQ(S_OK, Call(D(), kReset).Hr);
  }
}

TEST_F(CortexM3Driver, SettingTheDeviceAgainClearsALatchedStatusCheckButSetsNothingUpAgain) {
  ASSERT_FALSE(Bool(Call(D(), kIsPaused)));
  ASSERT_TRUE(Chip.LoadWords(kSram, {0x44332211}));
  Board->Dp().SetWaitScans(SimJtagDp::kForever);
  Driver->Adi().CheckDebugPortStatus();
  Board->Dp().SetWaitScans(0);
  ASSERT_TRUE(Driver->Adi().JTAGCheckPending());

  bool lent = false;
  ASSERT_EQ(S_OK, Driver->SetTovikDevice(tvk::ITovikDevice(Board->DeviceDispatch()), lent));
  EXPECT_FALSE(Driver->Adi().JTAGCheckPending());
  std::uint32_t value = 0;
  EXPECT_EQ(S_OK, Driver->ReadMemory_Word(kSram, value));
  EXPECT_EQ(0x44332211u, value);
  EXPECT_FALSE(Bool(Call(D(), kIsPaused)));
  EXPECT_EQ(6, HardBreakpoints());
}

}  // namespace

namespace {

// A core that does not halt when asked. The pause itself answers success
// whether or not the halt came, as the driver's pause is specified (it checks
// up to eleven times and reports nothing); every operation that asks for the
// halt state answers from what the core shows.
TEST_F(CortexM3Driver, ACoreThatIgnoresTheHaltRequestIsNeverReportedPaused) {
  ASSERT_TRUE(Bool(Call(D(), kIsRunning)));  // the first status query sets the core up
  Chip.SetHaltDelay(SimCortexM3::kNever);
  EXPECT_EQ(S_OK, Call(D(), kPause).Hr);
  EXPECT_FALSE(Chip.Halted());
  EXPECT_FALSE(Bool(Call(D(), kIsPaused)));
  EXPECT_TRUE(Bool(Call(D(), kIsRunning)));
  EXPECT_FALSE(Bool(Call(D(), kIsReset)));

  // A step needs a halted core: nothing is stepped, and the answer is success.
  EXPECT_EQ(S_OK, Call(D(), kSingleStep).Hr);
  EXPECT_FALSE(Chip.Halted());
  EXPECT_NE(SimStop::Step, Chip.LastStop());

  // A register read of a running core: the selector write moves nothing, and
  // what comes back is whatever DCRDR held, answered as success.
  const std::uint32_t held = Chip.Dcrdr();
  const TCall pc = Call(D(), kRegisterValue, {I4(kLC)});
  EXPECT_EQ(S_OK, pc.Hr);
  EXPECT_EQ(held, std::uint32_t(pc.Int()));

  // A reset still halts it: vector catch is no halt request.
  EXPECT_EQ(S_OK, Call(D(), kReset).Hr);
  EXPECT_TRUE(Chip.Halted());
  EXPECT_EQ(SimStop::VectorCatch, Chip.LastStop());
  EXPECT_TRUE(Bool(Call(D(), kIsPaused)));
}

TEST_F(CortexM3Driver, ADelayedHaltIsSeenByThePausesChecksOrByALaterStatusQuery) {
  ASSERT_TRUE(Bool(Call(D(), kIsRunning)));
  // Within the pause's eleven checks: paused when the pause returns.
  Chip.SetHaltDelay(5);
  EXPECT_EQ(S_OK, Call(D(), kPause).Hr);
  EXPECT_TRUE(Chip.Halted());
  EXPECT_TRUE(Bool(Call(D(), kIsPaused)));
  EXPECT_EQ(Chip.CoreRegisterValue(cm3::REG_PC), Register(kLC));

  // Beyond them: running when the pause returns, paused once a status query sees it.
  EXPECT_EQ(S_OK, Call(D(), kContinue).Hr);
  ASSERT_FALSE(Chip.Halted());
  Chip.SetHaltDelay(20);
  EXPECT_EQ(S_OK, Call(D(), kPause).Hr);
  EXPECT_FALSE(Chip.Halted());
  int queries = 0;
  bool paused = false;
  while (!paused && queries < 20) {
    paused = Bool(Call(D(), kIsPaused));
    ++queries;
  }
  EXPECT_TRUE(paused);
  EXPECT_EQ(9, queries);  // the pause's eleven checks and nine more reads of DHCSR
  EXPECT_EQ(SimStop::HaltRequest, Chip.LastStop());
  EXPECT_EQ(Chip.CoreRegisterValue(cm3::REG_PC), Register(kLC));
}

}  // namespace

}  // namespace cortexm3_test
