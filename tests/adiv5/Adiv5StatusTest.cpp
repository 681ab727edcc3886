// Power-up, the CTRL/STAT status check (WAIT, sticky flags, re-power, the
// latched guard), WAIT on data scans and the failure report of memory
// accesses, against the simulated JTAG-DP.
#include "Adiv5Fixture.h"

#include <algorithm>
#include <functional>

namespace adiv5_test {

namespace {

std::vector<Access> Repeat(std::vector<Access> block, unsigned times) {
  std::vector<Access> out;
  for (unsigned k = 0; k < times; ++k) out.insert(out.end(), block.begin(), block.end());
  return out;
}

const std::vector<Access> kCtrlStatRead = {{DP, adi::DP_CTRL_STAT, R}, {DP, adi::DP_RDBUFF, R}};

std::vector<Access> Concat(std::initializer_list<std::vector<Access>> parts) {
  std::vector<Access> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST_F(Adiv5Test, PowerUpWaitsForDelayedAcknowledgesThenIdentifiesTheAccessPort) {
  Dp.SetPowerUpAckDelay(2, 3);
  ASSERT_TRUE(Engine->PowerUpDebugPort());

  const std::vector<Access> want = Concat({
      kCtrlStatRead,
      {{DP, adi::DP_CTRL_STAT, W, 0x20}},  // clears a sticky error left from before
      kCtrlStatRead,
      {{DP, adi::DP_CTRL_STAT, W, 0x50000000}},
      kCtrlStatRead,
      Repeat(kCtrlStatRead, 2),  // debug acknowledge: two polls
      kCtrlStatRead,             // system acknowledge: one more
      kCtrlStatRead,
      {{DP, adi::DP_CTRL_STAT, W, 0x50000001}},
      kCtrlStatRead,
      {{DP, adi::DP_SELECT, W, 0xF0}, {AP, 0xC, R}, {DP, adi::DP_RDBUFF, R}},  // IDR
      kCtrlStatRead,  // maintenance mode: each transfer checked
      {{AP, 0x8, R}, {DP, adi::DP_RDBUFF, R}},  // BASE
      kCtrlStatRead,
  });
  EXPECT_EQ(want, TakeScans());
  const std::vector<std::wstring> log = {
      L"DEBUG DAP : wait CDBGPWRUPACK", L"DEBUG DAP : wait CDBGPWRUPACK", L"DEBUG DAP : wait CSYSPWRUPACK",
      L"DEBUG MEM-AP #0 ID Register 0x24770011, Debug ROM Address 0xe00ff003"};
  EXPECT_EQ(log, LogLines);
  EXPECT_EQ((std::vector<unsigned>{10, 10, 10}), Waits);
  EXPECT_EQ(0xF0000001u, Dp.CtrlStat());
  EXPECT_EQ(0x50000001u, Engine->DpCtrlStat());
  EXPECT_EQ(tvk::adiv5::TRANS_MODE_MAINTENANCE, Engine->TransMode());
  EXPECT_EQ(0xF0u, Engine->DPSelectValue());
  EXPECT_EQ(tvk::adiv5::CACHE_INVALID, Engine->ApCswValue());
  EXPECT_EQ(tvk::adiv5::CACHE_INVALID, Engine->ApTarValue());
}

TEST_F(Adiv5Test, PowerUpGoesOnWhenAnAcknowledgeNeverComes) {
  Dp.SetPowerUpAckDelay(0, 50);
  EXPECT_TRUE(Engine->PowerUpDebugPort());
  EXPECT_EQ(10, std::count(LogLines.begin(), LogLines.end(), L"DEBUG DAP : wait CSYSPWRUPACK"));
  EXPECT_EQ(10u, Waits.size());
  EXPECT_EQ(0x50000001u, Engine->DpCtrlStat());
  TakeScans();
}

TEST_F(Adiv5Test, PowerUpFailsAtTheFirstStepThatFails) {
  struct Case {
    const char* Name;
    std::function<void(SimBoard&)> Arrange;
    std::uint64_t Scans;
  } cases[] = {
      {"no channel", [](SimBoard& b) { b.Device().SetChannelPresent(false); }, 0},
      {"dead port, TDO high", [](SimBoard& b) { b.Dp().SetDead(SimJtagDp::Dead::AllOnes); }, 1},
      {"dead port, TDO low", [](SimBoard& b) { b.Dp().SetDead(SimJtagDp::Dead::AllZeros); }, 1},
      {"port answering WAIT", [](SimBoard& b) { b.Dp().SetWaitScans(SimJtagDp::kForever); }, 12},
  };
  for (const Case& c : cases) {
    Board = SimBoard::Stm32F103BehindBypass();
    Device = tvk::ITovikDevice(Board->DeviceDispatch());
    Engine = MakeEngine();
    c.Arrange(*Board);
    EXPECT_FALSE(Engine->PowerUpDebugPort()) << c.Name;
    EXPECT_EQ(c.Scans, Board->Counters().DrScans) << c.Name;
    EXPECT_TRUE(Waits.empty()) << c.Name;
  }
}

TEST_F(PoweredAdiv5Test, StatusCheckLatchesAfterTwelveUnacknowledgedReadsUntilTheGuardIsCleared) {
  struct Entry {
    const char* Name;
    std::function<void(TADIv5Engine&)> Clear;
  } entries[] = {
      {"InitializeCore", [](TADIv5Engine& e) { e.InitializeCore(); }},
      {"processor reset", [](TADIv5Engine& e) { e.ClearStatusCheckGuard(); }},
      {"new host device", [](TADIv5Engine& e) { e.HostDeviceChanged(); }},
  };
  for (const Entry& entry : entries) {
    TakeScans();
    Dp.SetWaitScans(SimJtagDp::kForever);
    EXPECT_TRUE(Engine->CheckDebugPortStatus()) << entry.Name << ": the last read's scans were made";
    EXPECT_EQ(Repeat(kCtrlStatRead, 12), TakeScans()) << entry.Name;
    EXPECT_TRUE(Engine->JTAGCheckPending()) << entry.Name;
    EXPECT_TRUE(Engine->TransferFailed()) << entry.Name << ": an acknowledge that never came is a failure";

    Dp.SetWaitScans(0);
    Engine->ResetTransferFailed();
    EXPECT_FALSE(Engine->CheckDebugPortStatus()) << entry.Name;
    EXPECT_TRUE(TakeScans().empty()) << entry.Name << ": a latched check makes no scan";
    EXPECT_EQ(0u, Engine->ReadMemWord(kSram)) << entry.Name;
    EXPECT_TRUE(Engine->TransferFailed()) << entry.Name;

    entry.Clear(*Engine);
    Engine->ResetTransferFailed();
    TakeScans();
    EXPECT_EQ(0x44332211u, Engine->ReadMemWord(kSram)) << entry.Name;
    EXPECT_FALSE(Engine->TransferFailed()) << entry.Name;
    // The WAITs left STICKYORUN (overrun detection is on); it was cleared before the next request.
    EXPECT_EQ(0xF0000001u, Dp.CtrlStat()) << entry.Name;
  }
}

TEST_F(PoweredAdiv5Test, NewHostDeviceForgetsTheCachedPortRegisters) {
  Engine->ReadMemWord(kSram);
  Engine->HostDeviceChanged();
  TakeScans();
  EXPECT_EQ(0x88776655u, Engine->ReadMemWord(kSram + 4));
  EXPECT_EQ(7u, TakeScans().size()) << "SELECT, CSW and TAR written again";
}

TEST_F(PoweredAdiv5Test, StatusCheckRereadsAWaitedRequestInsteadOfTakingTheStaleAnswer) {
  // The first CTRL/STAT request answers WAIT and is dropped; the RDBUFF scan
  // after it is acknowledged but carries no CTRL/STAT. Overrun detection
  // makes the WAIT leave STICKYORUN, which the check must see and clear.
  Engine->ReadMemWord(kSram);  // memory mode: the check's own access-port reads are not checked again
  Waiter->Arm(0, 1);
  EXPECT_TRUE(Engine->CheckDebugPortStatus());
  EXPECT_FALSE(Engine->JTAGCheckPending());
  EXPECT_EQ(0xF0000001u, Dp.CtrlStat());
  EXPECT_NE(std::find(LogLines.begin(), LogLines.end(),
                      L"ERROR JTAG-DP OVERRUN - check clock, memaccess, or reduce jtag speed"),
            LogLines.end());
  TakeScans();
}

TEST_F(PoweredAdiv5Test, StickyFlagsAreClearedKeepingTheRequestsAndTheTransferCounts) {
  std::uint32_t dhcsr = 0;
  ASSERT_TRUE(Engine->ReadWordBanked(0xE000EDF0, dhcsr));
  Dp.RaiseSticky(adi::STICKYERR | adi::STICKYORUN);
  TakeScans();
  LogLines.clear();
  EXPECT_TRUE(Engine->CheckDebugPortStatus());
  const std::vector<Access> want = Concat({
      kCtrlStatRead,
      {{DP, adi::DP_CTRL_STAT, W, 0x50000023}},
      kCtrlStatRead,
      {{DP, adi::DP_SELECT, W, 0x00}, {AP, 0x0, R}, {DP, adi::DP_RDBUFF, R}, {AP, 0x4, R}, {DP, adi::DP_RDBUFF, R}},
  });
  EXPECT_EQ(want, TakeScans());
  const std::vector<std::wstring> log = {
      L"DEBUG MEM-AP Cached values: ap_bank 0x10, ap_csw 0xa2000002, ap_tar 0xe000edf0",
      L"ERROR JTAG-DP OVERRUN - check clock, memaccess, or reduce jtag speed",
      L"ERROR JTAG-DP STICKY ERROR",
      L"DEBUG jtag-dp: CTRL/STAT 0xf0000001",
      L"ERROR MEM-AP_CSW 0xa2000042, MEM_AP_TAR 0xe000edf0",
  };
  EXPECT_EQ(log, LogLines);
  EXPECT_EQ(0xF0000001u, Dp.CtrlStat());
  EXPECT_FALSE(Engine->JTAGCheckPending());
  EXPECT_FALSE(Engine->TransferFailed());

  // An unmapped address: the bus error is cleared and the word reads as 0, a transfer that counts.
  EXPECT_EQ(0u, Engine->ReadMemWord(0x60000000));
  EXPECT_EQ(1u, Dp.BusErrors());
  EXPECT_FALSE(Engine->TransferFailed());
  EXPECT_EQ(0x44332211u, Engine->ReadMemWord(kSram));
  TakeScans();
}

TEST_F(PoweredAdiv5Test, ASecondEngineMeetingAStickyFlagFirstWritesOnlyThePowerRequestsAndTheClearBits) {
  // Another driver powered the port up; this one has not, so it knows no
  // request bits of its own when its first access meets a sticky error.
  std::unique_ptr<TADIv5Engine> second = MakeEngine();
  ASSERT_EQ(tvk::adiv5::CACHE_INVALID, second->DpCtrlStat());
  Dp.RaiseSticky(adi::STICKYERR);
  TakeScans();
  second->ReadMemWord(kSram);  // the port dropped it while the flag was up: the check clears the flag
  const std::vector<Access> scans = TakeScans();
  std::vector<std::uint32_t> ctrlStatWrites;
  for (const Access& a : scans)
    if (a.Ir == DP && !a.Read && a.Address == adi::DP_CTRL_STAT) ctrlStatWrites.push_back(a.Value);
  EXPECT_EQ(std::vector<std::uint32_t>{0x50000022}, ctrlStatWrites);
  EXPECT_EQ(0u, Dp.CtrlStat() & (adi::STICKY_FLAGS | adi::CDBGRSTREQ | adi::TRNMODE));
  EXPECT_EQ(tvk::adiv5::CACHE_INVALID, second->DpCtrlStat());  // still not its own power-up
  EXPECT_EQ(0x44332211u, second->ReadMemWord(kSram));
  TakeScans();
}

TEST_F(PoweredAdiv5Test, LostPowerRerunsThePowerUpWhichResetsEveryCache) {
  Engine->ReadMemWord(kSram);
  Dp.LosePower();
  Engine->ReadMemWord(kSram + 4);
  EXPECT_TRUE(Engine->TransferFailed()) << "a re-power loses what the transfer moved";
  EXPECT_EQ(0xF0000001u, Dp.CtrlStat());
  EXPECT_EQ(0x50000001u, Engine->DpCtrlStat());
  EXPECT_EQ(tvk::adiv5::CACHE_INVALID, Engine->ApCswValue());
  EXPECT_EQ(tvk::adiv5::CACHE_INVALID, Engine->ApTarValue());
  EXPECT_EQ(tvk::adiv5::TRANS_MODE_MAINTENANCE, Engine->TransMode());
  EXPECT_FALSE(Engine->JTAGCheckPending());

  Engine->ResetTransferFailed();
  EXPECT_EQ(0x88776655u, Engine->ReadMemWord(kSram + 4));
  EXPECT_FALSE(Engine->TransferFailed());
  TakeScans();
}

TEST_F(PoweredAdiv5Test, HostErrorsPassThroughWithoutLatchingTheCheck) {
  hostsim::Fault fault;
  fault.Description = L"channel gone";
  Board->Channel().FailWith(disp::JTagChannel_ShiftDRString, fault);
  EXPECT_ANY_THROW(Engine->CheckDebugPortStatus());
  EXPECT_FALSE(Engine->JTAGCheckPending());
  Board->Channel().ClearCalls();
  Board->Chain().ClearProtocolErrors();
}

// WAIT answers before one scan of a steady-state word access: only that
// scan is repeated, the data and the memory stay right, nothing is reported.
struct WaitCase {
  bool Write;
  unsigned Scan;  // read: TAR, DRW, RDBUFF, CTRL/STAT request, RDBUFF; write: TAR, DRW, request, RDBUFF
  unsigned Waits;
};

void PrintTo(const WaitCase& c, std::ostream* os) {
  *os << (c.Write ? "write" : "read") << ", scan " << c.Scan << ", " << c.Waits << " WAIT";
}

class DataScanWait : public PoweredAdiv5Test, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(DataScanWait, IsRetriedOnItsOwn) {
  const WaitCase c = GetParam();
  Engine->ReadMemWord(kSram + 8);  // leaves the port's TAR away from the next address
  Engine->ResetTransferFailed();
  Dp.ResetCounters();
  Waiter->Arm(c.Scan, c.Waits);
  if (c.Write) {
    Engine->WriteMemWord(kSram + 4, 0xA5A5A5A5);
    EXPECT_EQ(0xA5A5A5A5u, *Chip.PeekWord(kSram + 4));
    EXPECT_EQ(0xCCBBAA99u, *Chip.PeekWord(kSram + 8)) << "the write ran once, at its address";
  } else {
    EXPECT_EQ(0x88776655u, Engine->ReadMemWord(kSram + 4));
  }
  EXPECT_EQ(c.Waits, Dp.WaitAnswers());
  EXPECT_FALSE(Engine->TransferFailed());
  EXPECT_FALSE(Engine->JTAGCheckPending());
  // Nothing left behind: the next access reads right without a WAIT.
  EXPECT_EQ(0xCCBBAA99u, Engine->ReadMemWord(kSram + 8));
  EXPECT_EQ(0xF0000001u, Dp.CtrlStat());
  EXPECT_FALSE(Engine->TransferFailed());
  TakeScans();
}

std::vector<WaitCase> WaitCases() {
  std::vector<WaitCase> cases;
  for (unsigned waits : {1u, 3u, 11u}) {
    for (unsigned scan = 0; scan < 5; ++scan) cases.push_back({false, scan, waits});
    for (unsigned scan = 0; scan < 4; ++scan) cases.push_back({true, scan, waits});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Adiv5, DataScanWait, ::testing::ValuesIn(WaitCases()),
                         [](const ::testing::TestParamInfo<WaitCase>& info) {
                           return std::string(info.param.Write ? "Write" : "Read") + "Scan" +
                                  std::to_string(info.param.Scan) + "Waits" + std::to_string(info.param.Waits);
                         });

// What a memory access reports when it failed, and what it does not.
struct FailureCase {
  const char* Name;
  std::function<void(SimBoard&, TADIv5Engine&)> Arrange;
  bool Failed;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.Name; }

class TransferFailure : public PoweredAdiv5Test, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(TransferFailure, IsReportedByReadsAndWrites) {
  const FailureCase& c = GetParam();
  Engine->ReadMemWord(kSram);
  Engine->ResetTransferFailed();
  // A failing case reads SRAM, the other one an unmapped address.
  const std::uint32_t address = c.Failed ? kSram + 4 : 0x60000000;
  c.Arrange(*Board, *Engine);
  EXPECT_EQ(0u, Engine->ReadMemWord(address));
  EXPECT_EQ(c.Failed, Engine->TransferFailed());
  Engine->ResetTransferFailed();
  c.Arrange(*Board, *Engine);
  Engine->WriteMemWord(address, 0x5A5A5A5A);
  EXPECT_EQ(c.Failed, Engine->TransferFailed());
  Board->Channel().ClearCalls();
  if (std::string(c.Name) == "ShortAnswer") Board->Chain().ClearProtocolErrors();  // no data was shifted
}

void NoChannel(SimBoard& b, TADIv5Engine&) { b.Device().SetChannelPresent(false); }

INSTANTIATE_TEST_SUITE_P(
    Adiv5, TransferFailure,
    ::testing::Values(
        FailureCase{"NoChannel", NoChannel, true},
        FailureCase{"WaitNeverCleared",
                    [](SimBoard& b, TADIv5Engine&) { b.Dp().SetWaitScans(SimJtagDp::kForever); }, true},
        FailureCase{"LatchedCheck",
                    [](SimBoard& b, TADIv5Engine& e) {
                      b.Dp().SetWaitScans(SimJtagDp::kForever);
                      e.CheckDebugPortStatus();
                      b.Dp().SetWaitScans(0);
                    },
                    true},
        FailureCase{"PowerLost", [](SimBoard& b, TADIv5Engine&) { b.Dp().LosePower(); }, true},
        FailureCase{"ShortAnswer",
                    [](SimBoard& b, TADIv5Engine&) {
                      b.Channel().On(disp::JTagChannel_ShiftDRString, [](std::vector<VARIANT*>&, VARIANT* r) {
                        SetResultString(r, std::wstring(34, L'0'));
                        return S_OK;
                      });
                    },
                    true},
        FailureCase{"StickyErrorCleared", [](SimBoard&, TADIv5Engine&) {}, false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.Name); });

TEST_F(PoweredAdiv5Test, WithoutAChannelNothingButTheChannelRequestIsMade) {
  Engine->ReadMemWord(kSram);
  Board->Device().SetChannelPresent(false);
  Board->ResetCounters();
  Board->Device().ClearCalls();
  EXPECT_EQ(0u, Engine->ReadMemWord(kSram + 4));
  EXPECT_EQ(0u, Engine->ReadMemHalfWord(kSram + 2));
  EXPECT_EQ(0u, Engine->ReadMemByte(kSram + 1));
  const SimCounters counters = Board->Counters();
  EXPECT_EQ(0u, counters.ChannelCalls);
  EXPECT_EQ(3u, counters.DeviceCalls);
  EXPECT_EQ(3u, Board->Device().CallCount(disp::TovikDevice_GetJTagChannel));
  EXPECT_FALSE(Engine->InstructionScan(4));
}

TEST_F(PoweredAdiv5Test, ShortAnswerStillLeavesTheTapInIdle) {
  Board->Channel().On(disp::JTagChannel_ShiftDRString, [](std::vector<VARIANT*>&, VARIANT* r) {
    SetResultString(r, std::wstring(34, L'1'));
    return S_OK;
  });
  std::uint32_t value = 0x1234;
  EXPECT_FALSE(Engine->ReadDP(adi::DP_CTRL_STAT, value));
  EXPECT_EQ(0u, value);
  const auto& calls = Board->Channel().Calls();
  ASSERT_EQ(5u, calls.size()) << "the read stops at its first scan";
  EXPECT_EQ(disp::JTagChannel_MoveTAPState, calls[4].Id);
  EXPECT_EQ(6, calls[4].Int(0));
  EXPECT_EQ(2, calls[4].Int(1));
  Board->Channel().ClearCalls();
  Board->Chain().ClearProtocolErrors();  // the replaced shift never entered Shift-DR's data
}

}  // namespace

}  // namespace adiv5_test
