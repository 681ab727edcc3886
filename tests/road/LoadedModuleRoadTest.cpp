// The host's road through the loaded module: a driver from the export is lent
// the simulated board's debug device, asked for its status, and then reads and
// writes SRAM through IMemoryAccess and runs the core to a hardware breakpoint
// through dispatch identifiers only. The chip's back door is the reference.
#include "ModuleCalls.h"
#include "SimHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;
constexpr std::uint32_t kCounter = 0x20000400;

// Counts to 100 in kCounter, then stays at kDone:
//   08000008  MOVS R0,#0
//   0800000A  LDR  R1,[PC,#16]   ; =kCounter
//   0800000C  ADDS R0,#1         ; loop
//   0800000E  STR  R0,[R1]
//   08000010  CMP  R0,#100
//   08000012  BNE  loop
//   08000014  MOVS R2,#1         ; done
//   08000016  B    .
constexpr std::uint32_t kProgram = 0x08000008, kDone = 0x08000014, kLiteral = 0x0800001C;

class LoadedModuleRoad : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    FModule = new hostsim::LoadedModule(TVK_MODULE_PATH);
    FKind = FModule->FindKind(hostsim::SimChipConfig::Stm32F103().DeviceName);
  }
  static void TearDownTestSuite() {
    delete FModule;
    FModule = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(FModule->Ready());
    ASSERT_LE(0, FKind);
    Chip.LoadWords(kFlash, {0x20005000, kProgram | 1});
    Chip.LoadHalfwords(kProgram, {0x2000, 0x4904, 0x3001, 0x6008, 0x2864, 0xD1FB, 0x2201, 0xE7FE});
    Chip.LoadWords(kLiteral, {kCounter});
    Chip.PowerOnReset();

    Driver = FModule->Driver(FKind);
    ASSERT_NE(nullptr, Driver);
    ASSERT_EQ(true, CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(Board->DeviceDispatch())}).Bool());
    // The first status query sets the core up: its comparators reach the debug manager.
    ASSERT_EQ(true, CallModule(Driver, served::Driver_ProcessorIsRunning).Bool());
    ASSERT_EQ(6u, CallModule(Driver, served::DebugManager_GetHardBreakpointCount).Unsigned());
  }

  void TearDown() override {
    if (Driver) CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(nullptr)});
    EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
    EXPECT_EQ(Board->Channel().Opens(), Board->Channel().Closes());
  }

  std::optional<std::uint32_t> Register(std::int32_t index) {
    return CallModule(Driver, served::Driver_GetProcessorRegisterValue, {hostsim::ArgInt(index)}).Unsigned();
  }
  std::optional<std::uint32_t> ProgramCounter() {
    const std::optional<std::uint32_t> index = CallModule(Driver, served::Driver_GetRegisterIndex_PC).Unsigned();
    return index ? Register(std::int32_t(*index)) : std::nullopt;
  }
  // Polls the status as the host does, at most Polls times; the last answer.
  std::optional<bool> PausedWithin(int polls) {
    std::optional<bool> paused;
    for (int k = 0; k < polls && (paused = CallModule(Driver, served::Driver_ProcessorIsPaused).Bool()) == false; ++k) {
    }
    return paused;
  }
  std::vector<std::uint8_t> OnChip(std::uint32_t address, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    EXPECT_TRUE(Chip.Peek(address, bytes));
    return bytes;
  }

  static hostsim::LoadedModule* FModule;
  static std::int32_t FKind;
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  hostsim::SimCortexM3& Chip = Board->Chip();
  IDispatch* Driver = nullptr;  // the module's; it counts no references
};
hostsim::LoadedModule* LoadedModuleRoad::FModule = nullptr;
std::int32_t LoadedModuleRoad::FKind = -1;

TEST_F(LoadedModuleRoad, MemoryAccessReadsAndWritesSramAsTheChipHoldsIt) {
  hostsim::IMemoryAccess* memory = hostsim::MemoryAccessOf(Driver);
  ASSERT_NE(nullptr, memory);
  std::vector<std::uint8_t> pattern(96);
  for (std::size_t k = 0; k < pattern.size(); ++k) pattern[k] = std::uint8_t(0x3C + 11 * k);
  ASSERT_TRUE(Chip.Load(kSram + 0x200, pattern));

  // Head bytes, tail bytes and middle words in every mix, and the short forms.
  struct Case {
    std::uint32_t Offset;
    std::int32_t Count;
  } cases[] = {{0x203, 37}, {0x201, 6}, {0x202, 9}, {0x204, 4}, {0x205, 4}, {0x206, 3}, {0x200, 64}, {0x20F, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "offset 0x" << std::hex << c.Offset << std::dec << ", " << c.Count << " bytes");
    const std::uint32_t address = kSram + c.Offset;
    std::vector<std::uint32_t> cells(std::size_t(c.Count), 0xFFFFFFFF);
    BOOL success = FALSE;
    ASSERT_EQ(S_OK, memory->MemoryRead(0, cells.data(), address, c.Count, &success));
    EXPECT_TRUE(success);
    const std::vector<std::uint8_t> before = OnChip(address, cells.size());
    EXPECT_EQ(std::vector<std::uint32_t>(before.begin(), before.end()), cells);

    // Written complemented; the bytes on either side stay as they were.
    for (std::uint32_t& cell : cells) cell = ~cell & 0xFF;
    const std::vector<std::uint8_t> around = OnChip(address - 1, cells.size() + 2);
    success = FALSE;
    ASSERT_EQ(S_OK, memory->MemoryWrite(0, cells.data(), address, c.Count, &success));
    EXPECT_TRUE(success);
    std::vector<std::uint8_t> expected = around;
    for (std::size_t k = 0; k < cells.size(); ++k) expected[k + 1] = std::uint8_t(cells[k]);
    EXPECT_EQ(expected, OnChip(address - 1, cells.size() + 2));

    std::vector<std::uint32_t> back(cells.size(), 0xFFFFFFFF);
    success = FALSE;
    ASSERT_EQ(S_OK, memory->MemoryRead(0, back.data(), address, c.Count, &success));
    EXPECT_TRUE(success);
    EXPECT_EQ(cells, back);
    ASSERT_TRUE(Chip.Load(kSram + 0x200, pattern));
  }
  memory->Release();
}

TEST_F(LoadedModuleRoad, TheCoreRunsToAHardwareBreakpointSetThroughTheDriver) {
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_PauseProcessor).Result);
  ASSERT_EQ(true, PausedWithin(1));

  // The debug manager's identifiers reach it through the driver.
  hostsim::ModuleAnswer lent = CallModule(Driver, served::DebugManager_GetNewHardBreakpoint);
  IDispatch* breakpoint = lent.Object();
  ASSERT_NE(nullptr, breakpoint);
  EXPECT_EQ(S_OK, CallModule(breakpoint, served::Breakpoint_SetAddress, {hostsim::ArgInt64(kDone)}).Result);
  EXPECT_EQ(true, CallModule(breakpoint, served::Breakpoint_Enable).Bool());
  EXPECT_EQ(1u, CallModule(Driver, served::DebugManager_GetAllocatedHardBreakPointCount).Unsigned());
  EXPECT_EQ(0x48000015u, Chip.FpComparator(0));  // lower halfword of 0x08000014, enabled

  // From a reset at the vector table's entry, the program counts to 100 and stops.
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_ResetProcessor).Result);
  EXPECT_EQ(true, CallModule(Driver, served::Driver_ProcessorIsReset).Bool());
  EXPECT_EQ(kProgram, ProgramCounter());
  EXPECT_EQ(0x20005000u, Register(13));
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_ContinueProcessor).Result);
  ASSERT_EQ(true, PausedWithin(1000));
  EXPECT_EQ(kDone, ProgramCounter());
  EXPECT_EQ(100u, Register(0));
  EXPECT_EQ(100u, Chip.PeekWord(kCounter));
  EXPECT_EQ(hostsim::SimStop::Comparator, Chip.LastStop());

  // Disabled and released, the comparator no longer stops the core.
  EXPECT_EQ(true, CallModule(breakpoint, served::Breakpoint_Disable).Bool());
  EXPECT_EQ(0u, Chip.FpComparator(0) & 1);
  EXPECT_EQ(S_OK,
            CallModule(Driver, served::DebugManager_ReleaseBreakpoint, {hostsim::ArgObject(breakpoint)}).Result);
  EXPECT_EQ(0u, CallModule(Driver, served::DebugManager_GetAllocatedHardBreakPointCount).Unsigned());
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_ResetProcessor).Result);
  ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_ContinueProcessor).Result);
  EXPECT_EQ(false, PausedWithin(50));
  EXPECT_FALSE(Chip.Halted());
  EXPECT_EQ(kDone + 2, Chip.CoreRegisterValue(hostsim::cm3::REG_PC));  // past it, at the closing branch
}

}  // namespace
