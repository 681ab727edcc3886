// Reset, core registers, halt, step and run, the halt check, stops at a
// comparator or a breakpoint instruction, and the memory initialisation, on
// the simulated core.
#include "CortexM3Fixture.h"
#include "support/JtagScan.h"

#include <algorithm>

namespace cortexm3_test {
namespace m3 = tvk::cortexm3;

namespace {

bool IsDhcsrWrite(const Scan& s, std::uint32_t value) {
  return s.Ir == kApacc && !s.Read && !s.Bare && s.Value == value;
}

TEST_F(CortexM3Test, ResetClearsTheRegistersAndLoadsSpAndPcFromTheVectorTable) {
  ASSERT_FALSE(Core.ProcessorIsPaused());
  Core.PauseProcessor();
  for (unsigned r = 0; r <= 12; ++r) Chip.SetCoreRegisterValue(r, 0xA5A50000 + r);
  Chip.SetCoreRegisterValue(cm3::REG_LR, 0x08000777);
  Chip.SetCoreRegisterValue(cm3::REG_XPSR, 0x61000000);
  const auto resets = Chip.Resets();

  Core.ResetProcessor();
  EXPECT_EQ(resets + 1, Chip.Resets());
  EXPECT_EQ(m3::DEMCR_RESET_CATCH, Chip.Demcr());
  EXPECT_TRUE(Chip.Halted());
  for (unsigned r = 0; r <= 12; ++r) EXPECT_EQ(0u, Chip.CoreRegisterValue(r)) << "R" << r;
  EXPECT_EQ(0u, Chip.CoreRegisterValue(cm3::REG_LR));
  EXPECT_EQ(kInitialSp, Chip.CoreRegisterValue(cm3::REG_SP));
  EXPECT_EQ(kProgram, Chip.CoreRegisterValue(cm3::REG_PC));
  EXPECT_EQ(m3::XPSR_THUMB, Chip.CoreRegisterValue(cm3::REG_XPSR));

  // Reset until the core runs and halts somewhere else.
  EXPECT_TRUE(Core.ProcessorIsReset());
  EXPECT_TRUE(Core.ProcessorIsReset());
  Core.ContinueProcessor();
  Core.PauseProcessor();
  EXPECT_FALSE(Core.ProcessorIsReset());
  EXPECT_EQ(Levels.ChannelOpens, Levels.ChannelCloses);
}

TEST_F(CortexM3Test, CoreRegistersByNumberThroughTheirSelectors) {
  InitialiseAndReset();
  struct Case {
    std::int32_t Number;
    unsigned Selector;
    std::uint32_t Written, Stored, Read;
  } cases[] = {
      {0, 0, 0x11111111, 0x11111111, 0x01010101},
      {7, 7, 0x77777777, 0x77777777, 0x07070707},
      {12, 12, 0xCCCC0000, 0xCCCC0000, 0x0000CCCC},
      {13, 13, 0x20004FF0, 0x20004FF0, 0x20004000},
      {14, 14, 0x08000123, 0x08000123, 0xFFFFFFF9},
      {15, 15, 0x08000101, 0x08000100, 0x08000010},  // the PC is written without the Thumb bit
      {16, 16, 0x81000000, 0x81000000, 0x01000000},
      {20, 20, 0x00000001, 0x00000001, 0x00000000},
      {25, 17, 0x20003F00, 0x20003F00, 0x20003000},  // MSP
      {26, 18, 0x20002F00, 0x20002F00, 0x20002000},  // PSP
  };
  for (const Case& c : cases) {
    Core.WriteCoreRegister(c.Number, c.Written);
    EXPECT_EQ(c.Stored, Chip.CoreRegisterValue(c.Selector)) << "write " << c.Number;
    Chip.SetCoreRegisterValue(c.Selector, c.Read);
    EXPECT_EQ(c.Read, Core.ReadCoreRegister(c.Number)) << "read " << c.Number;
  }

  // The views and pseudo-registers have no core register behind them.
  TakeScans();
  for (std::int32_t number : {-1, 17, 18, 19, 21, 24, 27, 28, 29, 30}) {
    EXPECT_EQ(0u, Core.ReadCoreRegister(number)) << number;
    Core.WriteCoreRegister(number, 0xFFFFFFFF);
  }
  EXPECT_TRUE(TakeScans().empty());
}

TEST_F(CortexM3Test, DcrdrIsPutBackOnlyWhenARegisterReadFails) {
  InitialiseAndReset();
  Chip.SetCoreRegisterValue(5, 0x55555555);
  ASSERT_TRUE(Engine->WriteWordChecked(m3::DCRDR, 0xCAFEF00D));
  EXPECT_EQ(0x55555555u, Core.ReadCoreRegister(5));
  EXPECT_EQ(0x55555555u, Chip.Dcrdr());

  // The selector write reaches the core, but its answer is lost.
  ASSERT_TRUE(Engine->WriteWordChecked(m3::DCRDR, 0xCAFEF00D));
  Transport->FailOnce([](const Scan& s) { return s.Ir == kApacc && !s.Read && s.Address == 0x4 && s.Value == 5; },
                      true);
  EXPECT_EQ(0u, Core.ReadCoreRegister(5));
  EXPECT_EQ(0xCAFEF00Du, Chip.Dcrdr());

  // When DCRDR itself could not be read there is nothing to put back: no write.
  TakeScans();
  Transport->FailOnce([](const Scan& s) { return s.Ir == kApacc && s.Read && s.Address == 0x8; }, false);
  EXPECT_EQ(0u, Core.ReadCoreRegister(5));
  const auto scans = TakeScans();
  EXPECT_TRUE(std::none_of(scans.begin(), scans.end(), [](const Scan& s) { return s.Ir == kApacc && !s.Read; }));
  EXPECT_EQ(0xCAFEF00Du, Chip.Dcrdr());
}

TEST_F(CortexM3Test, PauseStepAndContinue) {
  ASSERT_FALSE(Core.ProcessorIsPaused());
  // A halt check that finds the core running ends with a bare scan of instruction 4.
  const auto& calls = Board->Channel().Calls();
  ASSERT_GE(calls.size(), 3u);
  testsupport::ExpectInstructionScan(&calls[calls.size() - 3], 4, 1);

  Core.PauseProcessor();
  EXPECT_TRUE(Chip.Halted());
  EXPECT_EQ(SimStop::HaltRequest, Chip.LastStop());
  EXPECT_TRUE(Core.ProcessorIsPaused());
  EXPECT_TRUE(Levels.Saved);
  EXPECT_TRUE(Levels.Thumb);
  EXPECT_FALSE(Levels.BigEndian);
  EXPECT_EQ(Chip.CoreRegisterValue(cm3::REG_PC), Levels.SavedPc);
  EXPECT_EQ(Chip.CoreRegisterValue(cm3::REG_XPSR), Levels.SavedXpsr);

  Core.ResetProcessor();
  struct Step {
    std::uint32_t Pc, R0;
  } steps[] = {{kLoop, 0}, {kBranch, 1}, {kLoop, 1}, {kBranch, 2}};
  for (const Step& s : steps) {
    Core.SingleStepProcessor();
    EXPECT_TRUE(Chip.Halted());
    EXPECT_EQ(SimStop::Step, Chip.LastStop());
    EXPECT_EQ(s.Pc, Chip.CoreRegisterValue(cm3::REG_PC));
    EXPECT_EQ(s.R0, Chip.CoreRegisterValue(0));
    EXPECT_EQ(s.Pc, Levels.SavedPc);  // the state is read again after each step
  }

  Core.ContinueProcessor();
  EXPECT_FALSE(Chip.Halted());
  EXPECT_FALSE(Levels.Saved);
  EXPECT_FALSE(Core.ProcessorIsPaused());

  // A step asks for nothing while the core runs.
  TakeScans();
  Core.SingleStepProcessor();
  const auto scans = TakeScans();
  EXPECT_TRUE(std::none_of(scans.begin(), scans.end(),
                           [](const Scan& s) { return IsDhcsrWrite(s, m3::DHCSR_STEP_REQUEST); }));
  EXPECT_FALSE(Chip.Halted());
  EXPECT_EQ(Levels.ChannelOpens, Levels.ChannelCloses);
}

TEST_F(CortexM3Test, WaitHaltedChecksElevenTimesWithoutWaiting) {
  ASSERT_FALSE(Core.ProcessorIsPaused());
  TakeScans();
  Waits.clear();
  EXPECT_FALSE(Core.WaitHalted());
  const auto scans = TakeScans();
  EXPECT_EQ(11, std::count_if(scans.begin(), scans.end(), [](const Scan& s) { return s.Bare && s.Ir == 4; }));
  EXPECT_TRUE(Waits.empty());
}

TEST(CortexM3Run, RunningCoreStopsAtAnEnabledComparatorOrABreakpointInstruction) {
  struct Case {
    const char* Name;
    std::function<void(Rig&)> Arrange;
    SimStop Stop;
  } cases[] = {
      {"hardware breakpoint on the branch",
       [](Rig& rig) {
         tvk::IHardBreakpoint breakpoint;
         ASSERT_EQ(S_OK, rig.Levels.Manager->GetNewHardBreakpoint(breakpoint));
         const tvk::ISoftBreakpoint soft = breakpoint.ToSoftBreakpoint();
         soft.SetAddress(kBranch);
         ASSERT_TRUE(soft.Enable());
       },
       SimStop::Comparator},
      {"breakpoint instruction in place of the branch",
       [](Rig& rig) { ASSERT_TRUE(rig.Chip.LoadHalfwords(kBranch, {0xBE00})); }, SimStop::BkptInstruction},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Rig rig;
    rig.InitialiseAndReset();
    c.Arrange(rig);
    rig.Core.ContinueProcessor();
    EXPECT_TRUE(rig.Core.ProcessorIsPaused());
    EXPECT_EQ(c.Stop, rig.Chip.LastStop());
    EXPECT_EQ(kBranch, rig.Core.ReadCoreRegister(m3::REG_PC));
    EXPECT_EQ(1u, rig.Core.ReadCoreRegister(0));
  }
}

TEST_F(CortexM3Test, MemoryInitialisationOrsARepeatedNameWithItsFirstValue) {
  InitialiseAndReset();
  ASSERT_TRUE(Chip.LoadWords(kSram, {0xEEEEEEEE, 0xEEEEEEEE, 0xEEEEEEEE, 0xEEEEEEEE, 0xEEEEEEEE, 0xEEEEEEEE,
                                      0xEEEEEEEE}));
  Levels.InitialValues = {
      {L"A", kSram + 0x00, 0x1, 4}, {L"A", kSram + 0x04, 0x2, 4}, {L"a", kSram + 0x08, 0x4, 4},
      {L"B", kSram + 0x10, 0x1234, 2}, {L"b", kSram + 0x12, 0x8000, 2},
      {L"C", kSram + 0x14, 0x1FF, 1},  // the low byte
      {L"D", kSram + 0x18, 0x7, 8},    // no such width: skipped
  };
  Core.InitializeMemory();
  const std::uint32_t want[] = {0x1, 0x3, 0x5, 0xEEEEEEEE, 0x92341234, 0xEEEEEEFF, 0xEEEEEEEE};
  for (std::uint32_t k = 0; k < std::size(want); ++k)
    EXPECT_EQ(want[k], Chip.PeekWord(kSram + 4 * k).value_or(0)) << "word " << k;
}

TEST_F(CortexM3Test, SoftBreakpointsGoToTheARMv7MLevelInSpaceZeroOnly) {
  EXPECT_EQ(0xBF00u, Core.AddSoftBreakpoint(0, 0x08000101));
  EXPECT_TRUE(Core.RemoveSoftBreakpoint(0, 0x08000101, 0xBF00));
  EXPECT_EQ(0u, Core.AddSoftBreakpoint(1, 0x08000101));
  EXPECT_FALSE(Core.RemoveSoftBreakpoint(1, 0x08000101, 0xBF00));
  EXPECT_EQ((std::vector<std::string>{"AddSoftBreakpoint", "RemoveSoftBreakpoint"}), Levels.LevelCalls);
  EXPECT_EQ(4, Levels.TransactionBegins);
  EXPECT_EQ(4, Levels.TransactionEnds);
}

}  // namespace

}  // namespace cortexm3_test
