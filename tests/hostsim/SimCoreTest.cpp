// The simulated Cortex-M3 through its debug registers: reset from the vector
// table, halt, step, run to a breakpoint instruction or a flash patch comparator.
#include "SimProbe.h"

#include <gtest/gtest.h>

namespace simtest {
using namespace hostsim::cm3;

namespace {

constexpr std::uint32_t kFlash = 0x08000000;
constexpr std::uint32_t kResult = 0x20000100;

class SimCore : public ::testing::Test {
protected:
  void SetUp() override {
    // Vector table, then: MOVS R0,#1; ADDS R0,#2; NOP; MOVS R1,#5; loop: SUBS R1,#1; BNE loop;
    // LDR R2,=kResult; STR R0,[R2]; BKPT; B .
    ASSERT_TRUE(Chip.LoadWords(kFlash, {0x20005000, kFlash + 9}));
    ASSERT_TRUE(Chip.LoadHalfwords(kFlash + 8, {0x2001, 0x3002, 0xBF00, 0x2105, 0x3901, 0xD1FD, 0x4A01, 0x6010,
                                                0xBE00, 0xE7FE}));
    ASSERT_TRUE(Chip.LoadWords(kFlash + 0x1C, {kResult}));
    Host.PowerUp();
  }
  // The debugger's reset: halt, catch the core reset, request it.
  void ResetAndHalt(std::uint32_t aircr = VECTKEY | VECTRESET) {
    Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_HALT);
    Host.WriteWord(DEMCR, TRCENA | VC_HARDERR | VC_BUSERR | VC_CORERESET);
    Host.WriteWord(AIRCR, aircr);
  }
  // Polls DHCSR until the core halts; answers the number of polls, 0 when it never did.
  int RunToHalt(int limit = 100) {
    Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
    for (int k = 1; k <= limit; ++k)
      if (Host.ReadWord(DHCSR) & S_HALT) return k;
    return 0;
  }

  std::unique_ptr<SimBoard> Board = SimBoard::Stm32F103BehindBypass();
  Probe Host{Board->DeviceDispatch()};
  SimCortexM3& Chip = Board->Chip();
};

TEST_F(SimCore, BlankChipLocksUpButHalts) {
  SimBoard blank;
  blank.AddStm32();
  Probe host(blank.DeviceDispatch());
  host.PowerUp();
  EXPECT_EQ(S_LOCKUP, host.ReadWord(DHCSR) & (S_LOCKUP | S_HALT));  // erased vectors: no code to run
  host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_HALT);
  EXPECT_EQ(S_HALT, host.ReadWord(DHCSR) & (S_LOCKUP | S_HALT));
}

TEST_F(SimCore, ResetTakesStackAndEntryFromVectorTable) {
  Chip.SetCoreRegisterValue(REG_R0 + 4, 0x44);
  ResetAndHalt();
  EXPECT_EQ(S_RESET_ST | S_HALT | S_REGRDY | C_HALT | C_DEBUGEN, Host.ReadWord(DHCSR));
  EXPECT_EQ(S_HALT | S_REGRDY | C_HALT | C_DEBUGEN, Host.ReadWord(DHCSR)) << "S_RESET_ST clears on read";
  EXPECT_EQ(DFSR_VCATCH, Host.ReadWord(DFSR) & DFSR_VCATCH);
  struct Case {
    unsigned Selector;
    std::uint32_t Value;
  } cases[] = {
      {REG_PC, kFlash + 8}, {REG_SP, 0x20005000}, {REG_MSP, 0x20005000}, {REG_XPSR, XPSR_T},
      {REG_LR, 0xFFFFFFFF}, {REG_SPECIAL, 0}, {4, 0x44},  // R0-R12 keep their values
  };
  for (const Case& c : cases) EXPECT_EQ(c.Value, Host.ReadCore(c.Selector)) << c.Selector;

  Host.WriteCore(7, 0x12345678);
  Host.WriteCore(REG_PSP, 0x20004FFF);
  EXPECT_EQ(0x12345678u, Host.ReadCore(7));
  EXPECT_EQ(0x20004FFCu, Host.ReadCore(REG_PSP));
  EXPECT_EQ(0x12345678u, Chip.CoreRegisterValue(7));
}

TEST_F(SimCore, StepsOneInstructionAtATime) {
  ResetAndHalt();
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_STEP | C_MASKINTS);
  EXPECT_EQ(kFlash + 10, Host.ReadCore(REG_PC));
  EXPECT_EQ(1u, Host.ReadCore(0));
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_STEP | C_MASKINTS);
  EXPECT_EQ(S_HALT | S_RETIRE_ST, Host.ReadWord(DHCSR) & (S_HALT | S_RETIRE_ST));
  EXPECT_EQ(3u, Host.ReadCore(0));
  EXPECT_EQ(2u, Chip.Retired());
}

TEST_F(SimCore, RunsToBreakpointInstructionOverSeveralPolls) {
  ResetAndHalt();
  Chip.SetInstructionsPerPoll(4);
  const int polls = RunToHalt();
  EXPECT_GT(polls, 1) << "each poll runs a few instructions only";
  EXPECT_EQ(kFlash + 0x18, Host.ReadCore(REG_PC));  // on the BKPT
  EXPECT_EQ(DFSR_BKPT, Host.ReadWord(DFSR) & DFSR_BKPT);
  EXPECT_EQ(3u, *Chip.PeekWord(kResult));
  EXPECT_EQ(0u, Host.ReadCore(1));
  EXPECT_EQ(SimStop::BkptInstruction, Chip.LastStop());

  // While running, a core register transfer never completes.
  Host.WriteCore(REG_PC, kFlash + 0x1A);  // B .
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
  EXPECT_EQ(0u, Host.ReadWord(DHCSR) & S_HALT);
  Host.WriteWord(DCRSR, 0);
  EXPECT_EQ(0u, Host.ReadWord(DHCSR) & S_REGRDY);
}

TEST_F(SimCore, StopsAtAnEnabledComparator) {
  struct Case {
    std::uint32_t Comparator;
    std::uint32_t StopPc;
    SimStop Stop;
  } cases[] = {
      {0x8800000D, kFlash + 0x0E, SimStop::Comparator},       // upper halfword of 0x0800000C
      {0x48000011, kFlash + 0x10, SimStop::Comparator},       // lower halfword of 0x08000010
      {0x48000010, kFlash + 0x18, SimStop::BkptInstruction},  // comparator not enabled
      {0x40000101, kFlash + 0x18, SimStop::BkptInstruction},  // 0x20000100 without bits 31:29: never fetched
  };
  Host.WriteWord(FP_CTRL, FP_KEY | FP_ENABLE);
  EXPECT_EQ(0x261u, Host.ReadWord(FP_CTRL));
  for (const Case& c : cases) {
    Host.WriteWord(FP_COMP0 + 4, c.Comparator);
    ResetAndHalt(VECTKEY | SYSRESETREQ);  // a system reset keeps the debug units' settings
    EXPECT_EQ(c.Comparator, Host.ReadWord(FP_COMP0 + 4));
    ASSERT_GT(RunToHalt(), 0) << std::hex << c.Comparator;
    EXPECT_EQ(c.StopPc, Host.ReadCore(REG_PC)) << std::hex << c.Comparator;
    EXPECT_EQ(c.Stop, Chip.LastStop()) << std::hex << c.Comparator;
  }
  // With the unit disabled the comparators are ignored.
  Host.WriteWord(FP_COMP0 + 4, 0x8800000D);
  Host.WriteWord(FP_CTRL, FP_KEY);
  ResetAndHalt();
  ASSERT_GT(RunToHalt(), 0);
  EXPECT_EQ(kFlash + 0x18, Host.ReadCore(REG_PC));
}

TEST_F(SimCore, FaultHaltsOnVectorCatchOrLocksUp) {
  ASSERT_TRUE(Chip.LoadHalfwords(kFlash + 8, {0xDF00}));  // SVC: outside the interpreted subset
  ResetAndHalt();
  ASSERT_GT(RunToHalt(), 0);
  EXPECT_EQ(SimStop::VectorCatch, Chip.LastStop());
  Host.WriteWord(DEMCR, 0);
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
  EXPECT_EQ(S_LOCKUP, Host.ReadWord(DHCSR) & (S_LOCKUP | S_HALT));
}

}  // namespace

namespace {

TEST_F(SimCore, AHaltRequestCanBeDelayedOrIgnored) {
  ResetAndHalt();
  Chip.SetCoreRegisterValue(REG_PC, kFlash + 0x1A);  // B . : runs until something halts it
  struct Case {
    unsigned Delay;
    int HaltedAtRead;  // the DHCSR read that first shows S_HALT; 0: none of the ten
  };
  const Case cases[] = {{0, 1}, {1, 1}, {4, 4}, {hostsim::SimCortexM3::kNever, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Delay);
    Chip.SetHaltDelay(c.Delay);
    Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN);  // running
    ASSERT_FALSE(Chip.Halted());
    const std::uint64_t retired = Chip.Retired();
    Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_HALT);
    EXPECT_EQ(c.Delay == 0, Chip.Halted());
    int haltedAt = 0;
    for (int read = 1; read <= 10 && !haltedAt; ++read)
      if (Host.ReadWord(DHCSR) & S_HALT) haltedAt = read;
    EXPECT_EQ(c.HaltedAtRead, haltedAt);
    EXPECT_EQ(c.HaltedAtRead != 0, Chip.Halted());
    if (c.Delay > 1) {
      EXPECT_LT(retired, Chip.Retired()) << "the core ran on while the request waited";
    }
    if (haltedAt) {
      EXPECT_EQ(hostsim::SimStop::HaltRequest, Chip.LastStop());
    }
  }
  // A run request cancels a request that waits; a reset too.
  Chip.SetHaltDelay(3);
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_HALT);
  EXPECT_TRUE(Chip.HaltPending());
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN);
  EXPECT_FALSE(Chip.HaltPending());
  for (int read = 0; read < 5; ++read) EXPECT_EQ(0u, Host.ReadWord(DHCSR) & S_HALT);
  Host.WriteWord(DHCSR, DBGKEY | C_DEBUGEN | C_HALT);
  Chip.CoreReset();
  EXPECT_FALSE(Chip.HaltPending());
}

}  // namespace

}  // namespace simtest
