// Scans on the wire, the SELECT/CSW/TAR caches and the byte lanes of memory
// accesses, against the simulated JTAG-DP and MEM-AP.
#include "Adiv5Fixture.h"

#include <functional>

namespace adiv5_test {

namespace {

const std::wstring kZeros(32, L'0');

TEST_F(Adiv5Test, DpReadIsARequestThenRdbuffInFiveCallsEachAtChainIndexOne) {
  Dp.RaiseSticky(adi::STICKYERR);
  Board->ResetCounters();
  std::uint32_t value = 0;
  ASSERT_TRUE(Engine->ReadDP(adi::DP_CTRL_STAT, value));
  EXPECT_EQ(adi::STICKYERR, value);

  struct Want {
    DISPID Id;
    std::vector<std::wstring> Args;
  };
  const DISPID move = disp::JTagChannel_MoveTAPState, load = disp::JTagChannel_LoadIR,
               shift = disp::JTagChannel_ShiftDRString;
  const std::vector<Want> want = {
      {move, {L"2", L"12"}}, {load, {L"10", L"1"}}, {move, {L"13", L"5"}}, {shift, {kZeros + L"011", L"1"}},
      {move, {L"6", L"2"}},  {move, {L"2", L"12"}}, {load, {L"10", L"1"}}, {move, {L"13", L"5"}},
      {shift, {kZeros + L"111", L"1"}}, {move, {L"6", L"2"}},
  };
  const auto& calls = Board->Channel().Calls();
  ASSERT_EQ(want.size(), calls.size());
  for (std::size_t k = 0; k < want.size(); ++k) {
    EXPECT_EQ(want[k].Id, calls[k].Id) << "call " << k;
    ASSERT_EQ(want[k].Args.size(), calls[k].ArgCount) << "call " << k;
    for (std::size_t a = 0; a < want[k].Args.size(); ++a) EXPECT_EQ(want[k].Args[a], calls[k].Str(a)) << "call " << k;
  }
  EXPECT_EQ(VT_BSTR, calls[3].Type(0));
  // Channel and chain index asked of the device for each scan.
  EXPECT_EQ(4u, Board->Counters().DeviceCalls);
  EXPECT_EQ(2u, Board->Counters().IrScans);
  EXPECT_EQ(2u, Board->Counters().DrScans);
  EXPECT_EQ(TapState::RunTestIdle, Board->Chain().State());
}

TEST_F(PoweredAdiv5Test, AccessPortWritesAndReadsShiftDataAddressAndReadFlag) {
  // Maintenance mode after the power-up: every access-port transfer ends with a CTRL/STAT read.
  ASSERT_TRUE(Engine->WriteAP(adi::AP_TAR, 0x20000004));
  std::uint32_t tar = 0;
  ASSERT_TRUE(Engine->ReadAP(adi::AP_TAR, tar));
  EXPECT_EQ(0x20000004u, tar);
  const std::vector<Access> scans = TakeScans();
  const std::vector<std::wstring> want = {
      kZeros + L"100",                   // SELECT := bank 0 (write, address 0x8)
      Binary(0x20000004, 32) + L"010",      // APACC write TAR (0x4)
      kZeros + L"011", kZeros + L"111",  // status check: CTRL/STAT request, RDBUFF
      kZeros + L"011",                   // APACC read TAR
      kZeros + L"111",                   // RDBUFF: the posted TAR
      kZeros + L"011", kZeros + L"111",  // status check
  };
  EXPECT_EQ(want, ScanBits);
  const std::uint32_t irs[] = {DP, AP, DP, DP, AP, DP, DP, DP};
  ASSERT_EQ(std::size(irs), scans.size());
  for (std::size_t k = 0; k < scans.size(); ++k) EXPECT_EQ(irs[k], scans[k].Ir) << k;
}

// Each step runs on the state the previous ones left; the scans are the
// port's view of what the engine sent.
struct Step {
  const char* Name;
  std::function<void(TADIv5Engine&)> Run;
  std::vector<Access> Scans;
};

constexpr std::uint32_t kCheck = 0;  // marker: the status check's two scans
std::vector<Access> Expand(std::vector<Access> scans) {
  std::vector<Access> out;
  for (const Access& a : scans) {
    if (a.Ir == kCheck) {
      out.push_back({DP, adi::DP_CTRL_STAT, R});
      out.push_back({DP, adi::DP_RDBUFF, R});
    } else {
      out.push_back(a);
    }
  }
  return out;
}

TEST_F(PoweredAdiv5Test, CachesWriteSelectCswAndTarOnlyWhenTheyChange) {
  std::uint32_t v = 0;
  const std::vector<Step> steps = {
      {"two bank-0 AP reads select once",
       [&](TADIv5Engine& e) { e.ReadAP(adi::AP_CSW, v); e.ReadAP(adi::AP_TAR, v); },
       {{DP, adi::DP_SELECT, W, 0x00}, {AP, 0x0, R}, {DP, adi::DP_RDBUFF, R}, {kCheck, 0, R},
        {AP, 0x4, R}, {DP, adi::DP_RDBUFF, R}, {kCheck, 0, R}}},
      {"IDR selects bank 0xF0", [&](TADIv5Engine& e) { e.ReadAP(adi::AP_IDR, v); },
       {{DP, adi::DP_SELECT, W, 0xF0}, {AP, 0xC, R}, {DP, adi::DP_RDBUFF, R}, {kCheck, 0, R}}},
      {"banked DHCSR: CSW, TAR of the block, BD0",
       [&](TADIv5Engine& e) { e.ReadWordBanked(0xE000EDF0, v); },
       {{DP, adi::DP_SELECT, W, 0x00}, {AP, 0x0, W, 0xA2000002}, {AP, 0x4, W, 0xE000EDF0},
        {DP, adi::DP_SELECT, W, 0x10}, {AP, 0x0, R}, {DP, adi::DP_RDBUFF, R}}},
      {"banked DCRDR reuses TAR: BD2 only", [&](TADIv5Engine& e) { e.ReadWordBanked(0xE000EDF8, v); },
       {{AP, 0x8, R}, {DP, adi::DP_RDBUFF, R}}},
      {"word read after banked: SELECT, CSW, TAR, DRW, check",
       [&](TADIv5Engine& e) { e.ReadMemWord(kSram); },
       {{DP, adi::DP_SELECT, W, 0x00}, {AP, 0x0, W, 0xA2000012}, {AP, 0x4, W, kSram}, {AP, 0xC, R},
        {DP, adi::DP_RDBUFF, R}, {kCheck, 0, R}}},
      {"next word: TAR again (auto-increment), CSW cached", [&](TADIv5Engine& e) { e.ReadMemWord(kSram + 4); },
       {{AP, 0x4, W, kSram + 4}, {AP, 0xC, R}, {DP, adi::DP_RDBUFF, R}, {kCheck, 0, R}}},
      {"word write", [&](TADIv5Engine& e) { e.WriteMemWord(kSram + 8, 0x12345678); },
       {{AP, 0x4, W, kSram + 8}, {AP, 0xC, W, 0x12345678}, {kCheck, 0, R}}},
      {"checked banked write after memory: CSW, TAR, SELECT, BD3, check",
       [&](TADIv5Engine& e) { e.WriteWordChecked(0xE000EDFC, 0x01000000); },
       {{AP, 0x0, W, 0xA2000002}, {AP, 0x4, W, 0xE000EDF0}, {DP, adi::DP_SELECT, W, 0x10},
        {AP, 0xC, W, 0x01000000}, {kCheck, 0, R}}},
  };
  for (const Step& step : steps) {
    step.Run(*Engine);
    EXPECT_EQ(Expand(step.Scans), TakeScans()) << step.Name;
  }
  EXPECT_EQ(0x12345678u, *Chip.PeekWord(kSram + 8));
  EXPECT_EQ(0x01000000u, Chip.Demcr());
  EXPECT_EQ(tvk::adiv5::TRANS_MODE_MEMORY, Engine->TransMode());
  EXPECT_EQ(0x10u, Engine->DPSelectValue());
  EXPECT_EQ(0xA2000002u, Engine->ApCswValue());
  EXPECT_EQ(0xE000EDF0u, Engine->ApTarValue());
}

TEST_F(PoweredAdiv5Test, MemoryReadsTakeTheirByteLanes) {
  struct Case {
    const char* Name;
    std::uint32_t (TADIv5Engine::*Read)(std::uint32_t);
    std::uint32_t Offset, Csw, Expected;
  } cases[] = {
      {"byte 0", &TADIv5Engine::ReadMemByte, 0, 0xA2000010, 0x11},
      {"byte 1", &TADIv5Engine::ReadMemByte, 1, 0xA2000010, 0x22},
      {"byte 3", &TADIv5Engine::ReadMemByte, 3, 0xA2000010, 0x44},
      {"halfword 0: bits 15:0", &TADIv5Engine::ReadMemHalfWord, 0, 0xA2000011, 0x2211},
      {"halfword 2: bits 31:16", &TADIv5Engine::ReadMemHalfWord, 2, 0xA2000011, 0x4433},
      {"word", &TADIv5Engine::ReadMemWord, 4, 0xA2000012, 0x88776655},
  };
  for (const Case& c : cases) {
    TakeScans();
    EXPECT_EQ(c.Expected, (Engine.get()->*c.Read)(kSram + c.Offset)) << c.Name;
    const std::vector<Access> scans = TakeScans();
    ASSERT_GE(scans.size(), 5u) << c.Name;
    EXPECT_EQ((Access{AP, 0x4, W, kSram + c.Offset}), scans[scans.size() - 5]) << c.Name << ": the full address";
    EXPECT_EQ(c.Csw, Dp.Csw() & ~adi::CSW_DEVICEEN) << c.Name;
  }
  EXPECT_FALSE(Engine->TransferFailed());
}

TEST_F(PoweredAdiv5Test, MemoryWritesPutTheValueOnItsByteLanes) {
  struct Case {
    const char* Name;
    void (TADIv5Engine::*Write)(std::uint32_t, std::uint32_t);
    std::uint32_t Offset, Value, Csw, Drw, WordAfter;
  } cases[] = {
      {"byte 3", &TADIv5Engine::WriteMemByte, 3, 0x5A, 0xA2000010, 0x5A000000, 0x5A332211},
      {"byte 1", &TADIv5Engine::WriteMemByte, 1, 0xA5, 0xA2000010, 0x0000A500, 0x4433A511},
      {"halfword 2", &TADIv5Engine::WriteMemHalfWord, 2, 0xBEEF, 0xA2000011, 0xBEEF0000, 0xBEEF2211},
      {"halfword 0", &TADIv5Engine::WriteMemHalfWord, 0, 0xD00D, 0xA2000011, 0x0000D00D, 0x4433D00D},
      {"word", &TADIv5Engine::WriteMemWord, 0, 0xCAFEF00D, 0xA2000012, 0xCAFEF00D, 0xCAFEF00D},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Chip.LoadWords(kSram, {0x44332211}));
    TakeScans();
    (Engine.get()->*c.Write)(kSram + c.Offset, c.Value);
    const std::vector<Access> scans = TakeScans();
    ASSERT_GE(scans.size(), 4u) << c.Name;
    EXPECT_EQ((Access{AP, 0x4, W, kSram + c.Offset}), scans[scans.size() - 4]) << c.Name;
    EXPECT_EQ((Access{AP, 0xC, W, c.Drw}), scans[scans.size() - 3]) << c.Name;
    EXPECT_EQ(c.Csw, Dp.Csw() & ~adi::CSW_DEVICEEN) << c.Name;
    EXPECT_EQ(c.WordAfter, *Chip.PeekWord(kSram)) << c.Name;
  }
  EXPECT_FALSE(Engine->TransferFailed());
}

TEST_F(Adiv5Test, InstructionScanLoadsAndReturnsToIdle) {
  ASSERT_TRUE(Engine->InstructionScan(4));
  const auto& calls = Board->Channel().Calls();
  ASSERT_EQ(3u, calls.size());
  testsupport::ExpectInstructionScan(calls.data(), 4, 1);
  EXPECT_EQ(TapState::RunTestIdle, Board->Chain().State());
  Board->Channel().ClearCalls();
}

}  // namespace

}  // namespace adiv5_test
