// Identification of the core at the first status query, the comparators
// handed to the debug manager, a port that does not answer, and the latched
// status check cleared by a reset or a new host device.
#include "CortexM3Fixture.h"

#include <algorithm>

namespace cortexm3_test {
namespace m3 = tvk::cortexm3;

namespace {

std::vector<std::wstring> CoreLines(const std::vector<std::wstring>& log) {
  std::vector<std::wstring> lines;
  for (const auto& line : log)
    if (line.starts_with(L"Cortex-M3") || line.starts_with(L"cpuid")) lines.push_back(line);
  return lines;
}

TEST_F(CortexM3Test, FirstStatusQuerySetsTheCoreUpAndHandsEachComparatorOverOnce) {
  ASSERT_EQ(S_OK, Levels.Manager->SetSoftbreakpointsRequireHardware(true));
  // Neither a pause nor a memory read sets the core up.
  Core.PauseProcessor();
  Core.ReadMemory_Word(kSram);
  EXPECT_FALSE(Core.Initialized());
  EXPECT_FALSE(Chip.FpEnabled());
  EXPECT_EQ(0, Levels.HardBreakpointCount());

  Core.ProcessorIsPaused();
  EXPECT_TRUE(Core.Initialized());
  EXPECT_EQ(6, Core.FpNumCode());
  EXPECT_EQ(2, Core.FpNumLit());
  EXPECT_EQ(4, Core.DwtNumComp());
  EXPECT_TRUE(Core.FpEnabled());
  EXPECT_TRUE(Chip.FpEnabled());
  EXPECT_EQ((std::vector<std::wstring>{L"Cortex-M3 r1 p1 processor detected", L"cpuid 411fc231"}),
            CoreLines(LogLines));
  bool requireHardware = true;
  ASSERT_EQ(S_OK, Levels.Manager->GetSoftBreakpointsRequireHardware(requireHardware));
  EXPECT_FALSE(requireHardware);
  EXPECT_EQ(6, Levels.HardBreakpointCount());

  // Later queries, the watchpoint set-up run again (the host may) and a new
  // host device hand nothing over a second time.
  Core.ProcessorIsPaused();
  Core.InitWatchPoints();
  Core.InitWatchPoints();
  Core.HostDeviceChanged();
  Core.ProcessorIsPaused();
  EXPECT_EQ(6, Levels.HardBreakpointCount());

  // One breakpoint per code comparator, in comparator order.
  for (unsigned n = 0; n < 6; ++n) {
    tvk::IHardBreakpoint lent;
    ASSERT_EQ(S_OK, Levels.Manager->GetNewHardBreakpoint(lent));
    ASSERT_TRUE(lent);
    const tvk::ISoftBreakpoint soft = lent.ToSoftBreakpoint();
    soft.SetAddress(0x08000100 + 4 * n);
    EXPECT_TRUE(soft.Enable());
    EXPECT_EQ(0x48000101u + 4 * n, Chip.FpComparator(n)) << n;
  }
  tvk::IHardBreakpoint none;
  ASSERT_EQ(S_OK, Levels.Manager->GetNewHardBreakpoint(none));
  EXPECT_FALSE(none);
  EXPECT_EQ(Levels.ChannelOpens, Levels.ChannelCloses);
}

TEST(CortexM3Identification, DetectionLineOnlyForACortexM3AndTheSetUpGoesOnEitherWay) {
  struct Case {
    std::uint32_t Cpuid;
    std::vector<std::wstring> Lines;
  } cases[] = {
      {0x412FC231, {L"Cortex-M3 r2 p1 processor detected", L"cpuid 412fc231"}},
      {0x410FC230, {L"Cortex-M3 r0 p0 processor detected", L"cpuid 410fc230"}},
      {0x410CC200, {L"cpuid 410cc200"}},
  };
  for (const Case& c : cases) {
    SimChipConfig config = SimChipConfig::Stm32F103();
    config.Cpuid = c.Cpuid;
    Rig rig(config);
    rig.Core.ProcessorIsPaused();
    EXPECT_EQ(c.Lines, CoreLines(rig.LogLines)) << std::hex << c.Cpuid;
    EXPECT_TRUE(rig.Core.Initialized()) << std::hex << c.Cpuid;
    EXPECT_EQ(6, rig.Levels.HardBreakpointCount()) << std::hex << c.Cpuid;
  }
}

TEST_F(CortexM3Test, WithoutAChannelTheStatusQueryDoesNothingAtThePort) {
  Board->Device().SetChannelPresent(false);
  EXPECT_FALSE(Core.ProcessorIsPaused());
  EXPECT_FALSE(Core.Initialized());
  EXPECT_TRUE(TakeScans().empty());
  EXPECT_TRUE(Board->Channel().Calls().empty());
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_EQ(1, Levels.ChannelOpens);
  EXPECT_EQ(1, Levels.ChannelCloses);
}

TEST(CortexM3DeadPort, TargetNotRespondingIsShownOnceUntilAProcessorReset) {
  struct Case {
    const char* Name;
    std::function<void(SimJtagDp&)> Kill, Revive;
  } cases[] = {
      {"TDO stuck high", [](SimJtagDp& dp) { dp.SetDead(SimJtagDp::Dead::AllOnes); },
       [](SimJtagDp& dp) { dp.SetDead(SimJtagDp::Dead::No); }},
      {"TDO stuck low", [](SimJtagDp& dp) { dp.SetDead(SimJtagDp::Dead::AllZeros); },
       [](SimJtagDp& dp) { dp.SetDead(SimJtagDp::Dead::No); }},
      {"port answering WAIT", [](SimJtagDp& dp) { dp.SetWaitScans(SimJtagDp::kForever); },
       [](SimJtagDp& dp) { dp.SetWaitScans(0); }},
  };
  const auto old = tvk::SetDialogHandler(&AnswerDialog);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Dialogs().clear();
    Rig rig;
    c.Kill(rig.Dp);
    for (int query = 0; query < 3; ++query) EXPECT_FALSE(rig.Core.ProcessorIsPaused());
    EXPECT_EQ(std::vector<std::wstring>{L"Error:Target is not responding."}, Dialogs());
    EXPECT_TRUE(rig.Core.TargetNotResponding());
    EXPECT_FALSE(rig.Core.Initialized());
    EXPECT_EQ(0, rig.Levels.HardBreakpointCount());

    // The reset clears the flag: the next status query sets the core up.
    c.Revive(rig.Dp);
    rig.Core.ResetProcessor();
    EXPECT_FALSE(rig.Core.TargetNotResponding());
    rig.Core.ProcessorIsPaused();
    EXPECT_TRUE(rig.Core.Initialized());
    EXPECT_EQ(1u, Dialogs().size());
  }
  tvk::SetDialogHandler(old);
}

// A port that stopped answering for a while latches the engine's status
// check; every access would read 0 for the life of the driver unless a reset
// or a new host device clears it.
TEST(CortexM3LatchedCheck, ResetOrNewHostDeviceClearsItWithoutSettingTheCoreUpAgain) {
  struct Case {
    const char* Name;
    std::function<void(tvk::TCortexM3Core&)> Clear;
  } cases[] = {
      {"processor reset", [](tvk::TCortexM3Core& core) { core.ResetProcessor(); }},
      {"new host device", [](tvk::TCortexM3Core& core) { core.HostDeviceChanged(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Rig rig;
    rig.Core.ProcessorIsPaused();
    ASSERT_TRUE(rig.Chip.LoadWords(kSram, {0x12345678}));
    rig.Dp.SetWaitScans(SimJtagDp::kForever);
    rig.Engine->CheckDebugPortStatus();
    rig.Dp.SetWaitScans(0);
    ASSERT_TRUE(rig.Engine->JTAGCheckPending());
    EXPECT_EQ(0u, rig.Core.ReadMemory_Word(kSram));

    c.Clear(rig.Core);
    EXPECT_EQ(0x12345678u, rig.Core.ReadMemory_Word(kSram));
    rig.Core.ProcessorIsPaused();
    EXPECT_EQ(6, rig.Levels.HardBreakpointCount());
  }
}

}  // namespace

}  // namespace cortexm3_test
