// The loaded module's drivers on a board whose port is a J-Link probe, driven
// as the host drives them (exports, dispatch identifiers, IMemoryAccess): the
// choice between the probe and the JTAG scans, and a debugging session that
// runs through the stand-in probe library without a single scan.
#include "JlinkFixture.h"
#include "ModuleCalls.h"

#include <functional>
#include <optional>

namespace jlink_test {
using hostsim::CallModule;
using hostsim::IMemoryAccess;
using hostsim::LoadedModule;
namespace served = hostsim::served;

namespace {

constexpr std::uint32_t kCounter = 0x20000400;
// Counts to 100 in kCounter, then stays at kDone (as the JTAG road's program).
constexpr std::uint32_t kProgram = 0x08000008, kDone = 0x08000014, kLiteral = 0x0800001C;

class JlinkDriver : public ::testing::Test, protected JlinkBoard {
protected:
  static void SetUpTestSuite() {
    FModule = new LoadedModule(TVK_MODULE_PATH);
    FKind = FModule->FindKind(SimChipConfig::Stm32F103().DeviceName);
  }
  static void TearDownTestSuite() {
    delete FModule;
    FModule = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(FModule->Ready());
    ASSERT_LE(0, FKind);
    ASSERT_TRUE(Ports.Loaded());
    Chip.LoadWords(kFlash, {0x20005000, kProgram | 1});
    Chip.LoadHalfwords(kProgram, {0x2000, 0x4904, 0x3001, 0x6008, 0x2864, 0xD1FB, 0x2201, 0xE7FE});
    Chip.LoadWords(kLiteral, {kCounter});
    Chip.PowerOnReset();
    Driver = NewDriver();
  }
  void TearDown() override {
    if (Memory) Memory->Release();
    if (Driver) CallModule(Driver, served::Driver_SetTovikDevice, {ArgObject(nullptr)});
  }

  // A new driver of the board's kind, lent the board's device and asked for
  // its status, which sets the core up; the library's counts start after.
  IDispatch* NewDriver() {
    IDispatch* driver = FModule->Driver(FKind);
    EXPECT_EQ(true, CallModule(driver, served::Driver_SetTovikDevice, {ArgObject(Board->DeviceDispatch())}).Bool());
    EXPECT_EQ(true, CallModule(driver, served::Driver_ProcessorIsRunning).Bool());
    Library->ResetCounts();
    Library->TakeLog();
    return driver;
  }
  IMemoryAccess& MemoryOf() {
    if (!Memory) Memory = MemoryAccessOf(Driver);
    return *Memory;
  }
  // Count bytes at Address through the driver; checked against the chip.
  void ReadAndCompare(std::uint32_t address, std::int32_t count) {
    std::vector<std::uint32_t> cells(std::size_t(count), 0xFFFFFFFF);
    BOOL success = FALSE;
    ASSERT_EQ(S_OK, MemoryOf().MemoryRead(0, cells.data(), address, count, &success));
    EXPECT_TRUE(success);
    std::vector<std::uint8_t> bytes(cells.size());
    ASSERT_TRUE(Chip.Peek(address, bytes));
    EXPECT_EQ(std::vector<std::uint32_t>(bytes.begin(), bytes.end()), cells);
  }
  std::optional<std::uint32_t> Register(std::int32_t index) {
    return CallModule(Driver, served::Driver_GetProcessorRegisterValue, {ArgInt(index)}).Unsigned();
  }
  std::optional<bool> PausedWithin(int polls) {
    std::optional<bool> paused;
    for (int k = 0; k < polls && (paused = CallModule(Driver, served::Driver_ProcessorIsPaused).Bool()) == false; ++k) {
    }
    return paused;
  }

  static LoadedModule* FModule;
  static std::int32_t FKind;
  IDispatch* Driver = nullptr;  // the module's; it counts no references
  IMemoryAccess* Memory = nullptr;
};
LoadedModule* JlinkDriver::FModule = nullptr;
std::int32_t JlinkDriver::FKind = -1;

TEST_F(JlinkDriver, TheProbeIsUsedOnlyWhileAJlinkPortOfTheDevicesChainIsListedFirst) {
  auto otherBoard = SimBoard::Stm32F103BehindBypass();
  auto otherDriver = SimRef<SimJlinkDriver>::Adopt(new SimJlinkDriver(Library));
  SimRef<SimJtagPort> foreign = MakeJlinkPort(otherBoard->ChannelDispatch(), otherDriver);
  auto plain = SimRef<SimJtagPort>::Adopt(new SimJtagPort);
  plain->SetServices({L"JTagPort"});

  struct Case {
    const char* Name;
    std::vector<IDispatch*> Ports;
    bool Probe;
  } cases[] = {
      {"the host's own port only", {}, false},
      {"the device's J-Link port", {Port()}, true},
      {"a plain port, then the device's J-Link port", {plain.Get(), Port()}, true},
      {"another chain's J-Link port first", {foreign.Get(), Port()}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Ports.Set(c.Ports);
    if (Memory) Memory->Release();
    Memory = nullptr;
    Driver = NewDriver();
    otherDriver->ClearCalls();
    const std::uint64_t scans = Scans();
    ReadAndCompare(kSram, 16);
    EXPECT_EQ(c.Probe ? 1 : 0, Library->Calls("JLINKARM_ReadMem"));
    EXPECT_EQ(c.Probe, Scans() == scans);
    // The search stops at the foreign port: its driver is not asked.
    EXPECT_EQ(0u, otherDriver->CallCount(disp::JlinkDriver_GetJlinkHandle));
    // Set up by the status query, the driver has the units of its own path only.
    EXPECT_EQ(6u, CallModule(Driver, served::DebugManager_GetHardBreakpointCount).Unsigned());
  }
}

TEST_F(JlinkDriver, ADriverTakesTheProbeFromTheNextOperationOnAndFollowsTheHandle) {
  Ports.Set({});
  // The host's status query sets the core up on the JTAG path.
  EXPECT_EQ(true, CallModule(Driver, served::Driver_ProcessorIsRunning).Bool());
  std::uint64_t scans = Scans();
  ReadAndCompare(kSram + 3, 9);
  EXPECT_GT(Scans(), scans);
  EXPECT_EQ(0, Library->TotalCalls());

  Ports.Set({Port()});
  scans = Scans();
  ReadAndCompare(kSram + 3, 9);
  EXPECT_EQ(scans, Scans());
  EXPECT_EQ(Log{"JLINKARM_ReadMem(0x20000003, 0x9, buffer)"}, Library->TakeLog());

  // The host's J-Link driver loads another library: the binding follows it.
  auto lacking = std::make_shared<SimJlinkLibrary>(LackingStandInPath());
  lacking->Connect(&Chip);
  lacking->OpenProbe();
  lacking->TakeLog();
  HostDriver->SetLibrary(lacking);
  ReadAndCompare(kSram + 3, 9);
  EXPECT_EQ(Log{"JLINKARM_ReadMem(0x20000003, 0x9, buffer)"}, lacking->TakeLog());
  EXPECT_EQ(Log{}, Library->TakeLog());
  EXPECT_EQ(scans, Scans());
}

TEST_F(JlinkDriver, AKibibyteIsOneLibraryCallEachWay) {
  std::vector<std::uint8_t> pattern(1024);
  for (std::size_t k = 0; k < pattern.size(); ++k) pattern[k] = std::uint8_t(k * 7 + 1);
  ASSERT_TRUE(Chip.Load(kSram + 0x800, pattern));
  const std::uint64_t scans = Scans();
  ReadAndCompare(kSram + 0x800, 1024);
  EXPECT_EQ(1, Library->TotalCalls());

  std::vector<std::uint32_t> cells(1024);
  for (std::size_t k = 0; k < cells.size(); ++k) cells[k] = std::uint32_t(0xFF - pattern[k]);
  BOOL success = FALSE;
  ASSERT_EQ(S_OK, MemoryOf().MemoryWrite(0, cells.data(), kSram + 0x800, 1024, &success));
  EXPECT_TRUE(success);
  EXPECT_EQ(2, Library->TotalCalls());
  ReadAndCompare(kSram + 0x800, 1024);
  EXPECT_EQ(0xFEu, *Chip.PeekWord(kSram + 0x800) & 0xFF);
  EXPECT_EQ(scans, Scans());
}

TEST_F(JlinkDriver, ADebuggingSessionRunsThroughTheProbeWithoutAScan) {
  const std::uint64_t scans = Scans();
  // The probe's breakpoint units are the driver's hardware breakpoints.
  EXPECT_EQ(6u, CallModule(Driver, served::DebugManager_GetHardBreakpointCount).Unsigned());
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_PauseProcessor).Result);
  ASSERT_EQ(true, PausedWithin(1));
  EXPECT_TRUE(Chip.Halted());

  hostsim::ModuleAnswer lent = CallModule(Driver, served::DebugManager_GetNewHardBreakpoint);
  IDispatch* breakpoint = lent.Object();
  ASSERT_NE(nullptr, breakpoint);
  EXPECT_EQ(S_OK, CallModule(breakpoint, served::Breakpoint_SetAddress, {ArgInt64(kDone)}).Result);
  EXPECT_EQ(true, CallModule(breakpoint, served::Breakpoint_Enable).Bool());
  EXPECT_EQ(0x48000015u, Chip.FpComparator(0));  // lower halfword of 0x08000014, enabled

  // From a reset at the vector table's entry, the program counts to 100 and stops.
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_ResetProcessor).Result);
  const std::optional<std::uint32_t> pcIndex = CallModule(Driver, served::Driver_GetRegisterIndex_PC).Unsigned();
  ASSERT_TRUE(pcIndex);
  EXPECT_EQ(kProgram, Register(std::int32_t(*pcIndex)));
  EXPECT_EQ(0x20005000u, Register(13));
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_ContinueProcessor).Result);
  ASSERT_EQ(true, PausedWithin(1000));
  EXPECT_EQ(kDone, Register(std::int32_t(*pcIndex)));
  EXPECT_EQ(100u, Register(0));
  EXPECT_EQ(100u, Chip.PeekWord(kCounter));
  EXPECT_EQ(SimStop::Comparator, Chip.LastStop());

  EXPECT_EQ(true, CallModule(breakpoint, served::Breakpoint_Disable).Bool());
  EXPECT_EQ(0u, Chip.FpComparator(0) & 1);
  EXPECT_EQ(S_OK, CallModule(Driver, served::DebugManager_ReleaseBreakpoint, {ArgObject(breakpoint)}).Result);

  EXPECT_EQ(scans, Scans());
  EXPECT_GT(Library->Calls("JLINKARM_IsHalted"), 0);
  EXPECT_EQ(1, Library->Calls("JLINKARM_GoEx"));
  EXPECT_EQ(1, Library->Calls("JLINKARM_Reset"));
}

}  // namespace

}  // namespace jlink_test
