// The scan rules, counted through the loaded module on the simulated chip:
// a memory or core-register access costs exactly the scans the rules give,
// in steady state (the previous access was a word memory access), after a
// banked access (the host's status query) and after a power-up. A change that
// adds a scan, or a channel call around the scans, fails here; the benchmarks
// keep measuring the time.
#include "ModuleCalls.h"
#include "SimHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr std::uint32_t kFlashBase = 0x08000000, kSramBase = 0x20000000;
constexpr std::int32_t kKiB = 1024;

// Public: the tables of the test reach it through references.
class ScanCounts : public ::testing::Test {
public:
  static void SetUpTestSuite() { FModule = new hostsim::LoadedModule(TVK_MODULE_PATH); }
  static void TearDownTestSuite() {
    delete FModule;
    FModule = nullptr;
  }

  // The driver of the chip's kind holds the board's device; the first status
  // query has set the core up, and the core is halted.
  void SetUp() override {
    ASSERT_TRUE(FModule->Ready());
    const std::int32_t kind = FModule->FindKind(Board->Chip().Config().DeviceName);
    ASSERT_LE(0, kind);
    Driver = FModule->Driver(kind);
    ASSERT_NE(nullptr, Driver);
    Board->Chip().LoadWords(kFlashBase, {0x20005000, 0x08000009});
    Board->Chip().LoadHalfwords(0x08000008, {0xE7FE});  // B .
    Board->Chip().PowerOnReset();
    Board->SetLogging(false);
    Memory = hostsim::MemoryAccessOf(Driver);
    ASSERT_NE(nullptr, Memory);
    ASSERT_EQ(true, CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(Board->DeviceDispatch())}).Bool());
    ASSERT_EQ(false, CallModule(Driver, served::Driver_ProcessorIsPaused).Bool());
    ASSERT_EQ(S_OK, CallModule(Driver, served::Driver_PauseProcessor).Result);
    ASSERT_TRUE(Board->Chip().Halted());
  }
  void TearDown() override {
    if (Memory) Memory->Release();
    if (Driver) CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(nullptr)});
    EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
  }

  bool Read(std::uint32_t address, std::int32_t count) { return hostsim::ReadMemory(Memory, Cells.data(), address, count); }
  bool Write(std::uint32_t address, std::int32_t count) {
    return hostsim::WriteMemory(Memory, Cells.data(), address, count);
  }

  static hostsim::LoadedModule* FModule;
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  IDispatch* Driver = nullptr;  // the module's; it counts no references
  hostsim::IMemoryAccess* Memory = nullptr;
  std::vector<std::uint32_t> Cells = std::vector<std::uint32_t>(kKiB);
};
hostsim::LoadedModule* ScanCounts::FModule = nullptr;

TEST_F(ScanCounts, EveryAccessCostsTheScansOfTheScanRules) {
  struct Operation {
    const char* Name;
    std::function<bool(ScanCounts&)> Run;
    std::uint64_t Steady, AfterBank, AfterPowerUp;  // DR scans
  };
  // A core-register read: DCRDR kept, DCRSR written, DCRDR read, status
  // checked, all through the banked data registers of 0xE000EDF0.
  const Operation operations[] = {
      {"word read", [](ScanCounts& t) { return t.Read(kSramBase + 4, 4); }, 5, 7, 7},
      {"word write", [](ScanCounts& t) { return t.Write(kSramBase + 4, 4); }, 4, 6, 6},
      {"1 KiB read", [](ScanCounts& t) { return t.Read(kSramBase, kKiB); }, 1280, 1282, 1282},
      {"1 KiB write", [](ScanCounts& t) { return t.Write(kSramBase, kKiB); }, 1024, 1026, 1026},
      {"register read",
       [](ScanCounts& t) {
         return CallModule(t.Driver, served::Driver_GetProcessorRegisterValue, {hostsim::ArgInt(0)}).Result == S_OK;
       },
       10, 7, 11},
  };
  struct State {
    const char* Name;
    std::function<bool(ScanCounts&)> Prepare;
    std::uint64_t Operation::*Scans;
  };
  const State states[] = {
      {"steady state", [](ScanCounts& t) { return t.Read(kSramBase + 8, 4); }, &Operation::Steady},
      // The host's status query reads DHCSR through the banked data registers.
      {"after a banked access",
       [](ScanCounts& t) { return CallModule(t.Driver, served::Driver_ProcessorIsPaused).Bool() == true; },
       &Operation::AfterBank},
      // The status check of the next access finds the port unpowered and powers it up.
      {"after a power-up",
       [](ScanCounts& t) {
         t.Board->Dp().LosePower();
         t.Read(kSramBase + 8, 4);  // fails: the port had no power
         return (t.Board->Dp().CtrlStat() & hostsim::adi::CDBGPWRUPACK) != 0;
       },
       &Operation::AfterPowerUp},
  };
  for (const State& state : states) {
    for (const Operation& op : operations) {
      SCOPED_TRACE(testing::Message() << op.Name << ", " << state.Name);
      ASSERT_TRUE(state.Prepare(*this));
      Board->ResetCounters();
      EXPECT_TRUE(op.Run(*this));
      const hostsim::SimCounters c = Board->Counters();
      const std::uint64_t scans = op.*state.Scans;
      EXPECT_EQ(scans, c.DrScans);
      EXPECT_EQ(scans, c.IrScans);  // each scan loads the instruction once
      // Five channel calls per scan, and the channel opened and closed once.
      EXPECT_EQ(5 * scans + 2, c.ChannelCalls);
    }
  }
}

}  // namespace
