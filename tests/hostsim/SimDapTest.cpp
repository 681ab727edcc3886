// The simulated JTAG-DP and MEM-AP: power-up, posted reads, SELECT banks,
// CSW/TAR/DRW with byte lanes and auto-increment, WAIT, sticky errors.
#include "SimProbe.h"

#include <gtest/gtest.h>

namespace simtest {

namespace {

constexpr std::uint32_t kSram = 0x20000000;

class SimDap : public ::testing::Test {
protected:
  std::unique_ptr<SimBoard> Board = SimBoard::Stm32F103BehindBypass();
  Probe Host{Board->DeviceDispatch()};
  SimCortexM3& Chip = Board->Chip();
  SimJtagDp& Dp = Board->Dp();
};

TEST_F(SimDap, CtrlStatReadIsARequestThenRdbuff) {
  Dp.RaiseSticky(adi::STICKYERR);
  const std::wstring zeros(32, L'0');
  Board->Channel().ClearCalls();
  Host.Scan(adi::IR_DPACC, zeros + L"011");
  const std::wstring out = Host.Scan(adi::IR_DPACC, zeros + L"111");
  EXPECT_EQ(zeros.substr(0, 26) + L"100000" + L"010", out);  // 0x00000020, OK/FAULT
  const auto& calls = Board->Channel().Calls();
  ASSERT_EQ(10u, calls.size());
  EXPECT_EQ(adi::IR_DPACC, std::uint32_t(calls[1].Int(0)));
  EXPECT_EQ(1, calls[1].Int(1));
  EXPECT_EQ(zeros + L"011", calls[3].Str(0));
}

TEST_F(SimDap, PowerUpAcknowledgesAfterDelayedReads) {
  Dp.SetPowerUpAckDelay(2, 3);
  EXPECT_EQ(0u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteDp(adi::DP_CTRL_STAT, 0x20);
  EXPECT_EQ(0u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteDp(adi::DP_CTRL_STAT, 0x50000000);
  const std::uint32_t expected[] = {0x50000000, 0x50000000, 0x70000000, 0xF0000000, 0xF0000000};
  for (std::uint32_t value : expected) EXPECT_EQ(value, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteDp(adi::DP_CTRL_STAT, 0x50000001);
  EXPECT_EQ(0xF0000001u, Host.ReadDp(adi::DP_CTRL_STAT));
  // Access port identification once powered; bank 0xF0 through SELECT.
  EXPECT_EQ(adi::AHB_AP_IDR, Host.ReadAp(adi::AP_IDR));
  EXPECT_EQ(adi::CM3_ROM_BASE, Host.ReadAp(adi::AP_BASE));
  EXPECT_EQ(0xF0u, Host.ReadDp(adi::DP_SELECT));
}

TEST_F(SimDap, PowerLossAndUnpoweredAccessSetStickyError) {
  Host.ReadAp(adi::AP_IDR);  // before any power-up request
  EXPECT_EQ(adi::STICKYERR, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteDp(adi::DP_CTRL_STAT, adi::STICKYERR);  // write one to clear
  Host.PowerUp();
  EXPECT_EQ(0xF0000000u, Host.ReadDp(adi::DP_CTRL_STAT));
  Dp.LosePower();
  EXPECT_EQ(0u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.ReadWord(kSram);
  EXPECT_EQ(adi::STICKYERR, Host.ReadDp(adi::DP_CTRL_STAT) & adi::STICKYERR);
}

TEST_F(SimDap, ReservedOrResetRequestBitsInCtrlStatAreProtocolFaults) {
  struct Case {
    std::uint32_t Value;
    bool Fault;
  };
  const Case cases[] = {
      {0x00000020, false}, {0x50000000, false}, {0x50000001, false}, {0x50000023, false}, {0x50000022, false},
      {0xFFFFFFFF, true},  {0x54000000, true},  {0x51000000, true},  {0x52000000, true},  {0x5000000C, true},
  };
  for (const Case& c : cases) {
    Dp.ClearProtocolFaults();
    Host.WriteDp(adi::DP_CTRL_STAT, c.Value);
    EXPECT_EQ(c.Fault, !Dp.ProtocolFaults().empty()) << std::hex << c.Value;
    EXPECT_EQ(c.Fault, !Board->ProtocolErrors().empty()) << std::hex << c.Value;
  }
  Dp.ClearProtocolFaults();
  Host.WriteDp(adi::DP_CTRL_STAT, 0xFFFFFFFF);
  ASSERT_EQ(1u, Dp.ProtocolFaults().size());
  EXPECT_EQ(L"CTRL/STAT written as 0xFFFFFFFF: reserved bits debug reset request", Dp.ProtocolFaults()[0]);
  Dp.ClearProtocolFaults();
}

class SimMemAp : public SimDap {
protected:
  void SetUp() override {
    Host.PowerUp();
    ASSERT_TRUE(Chip.LoadWords(kSram, {0x11111111, 0x22222222, 0x33333333, 0x44444444}));
  }
};

TEST_F(SimMemAp, WordWriteAndPostedAutoIncrementingReads) {
  Host.WriteAp(adi::AP_CSW, 0xA2000012);  // word, single increment
  Host.WriteAp(adi::AP_TAR, kSram + 4);
  Host.WriteAp(adi::AP_DRW, 0xCAFEF00D);
  EXPECT_EQ(0xCAFEF00Du, *Chip.PeekWord(kSram + 4));
  EXPECT_EQ(kSram + 8, Dp.Tar());

  // Each request shifts out the result of the one before it.
  Host.WriteAp(adi::AP_TAR, kSram);
  Host.Access(adi::IR_APACC, adi::AP_DRW, 0, true);
  EXPECT_EQ(0x11111111u, Host.Access(adi::IR_APACC, adi::AP_DRW, 0, true).Data);
  EXPECT_EQ(0xCAFEF00Du, Host.Access(adi::IR_APACC, adi::AP_DRW, 0, true).Data);
  EXPECT_EQ(0x33333333u, Host.Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Data);
  EXPECT_EQ(0u, Host.Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Data) << "RDBUFF reads as zero";
  EXPECT_EQ(kSram + 12, Dp.Tar());
  EXPECT_EQ(0xA2000052u, Host.ReadAp(adi::AP_CSW));  // DeviceEn reads set
}

TEST_F(SimMemAp, SizesUseTheirByteLanesAndIncrements) {
  struct Case {
    std::uint32_t Csw, Tar, Drw, WordAfter, TarAfter;
  } cases[] = {
      {0xA2000010, kSram + 3, 0x5A000000, 0x5A111111, kSram + 4},   // byte, lane 3
      {0xA2000010, kSram + 1, 0x0000A500, 0x1111A511, kSram + 2},   // byte, lane 1
      {0xA2000011, kSram + 2, 0xBEEF0000, 0xBEEF1111, kSram + 4},   // halfword, upper lanes
      {0xA2000011, kSram + 0, 0x0000D00D, 0x1111D00D, kSram + 2},   // halfword, lower lanes
      {0xA2000002, kSram + 0, 0x01020304, 0x01020304, kSram + 0},   // word, no increment
      {0xA2000012, kSram + 0x3FC, 0x0BADBEEF, 0x0BADBEEF, kSram},   // wraps within 1 KiB
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Chip.LoadWords(c.Tar & ~3u, {0x11111111}));
    Host.WriteAp(adi::AP_CSW, c.Csw);
    Host.WriteAp(adi::AP_TAR, c.Tar);
    Host.WriteAp(adi::AP_DRW, c.Drw);
    EXPECT_EQ(c.WordAfter, *Chip.PeekWord(c.Tar & ~3u)) << std::hex << c.Csw << " " << c.Tar;
    EXPECT_EQ(c.TarAfter, Host.ReadAp(adi::AP_TAR)) << std::hex << c.Csw << " " << c.Tar;
  }
  // A byte read answers the whole word on the bus; the caller takes its lane.
  ASSERT_TRUE(Chip.LoadWords(kSram, {0x5A332211}));
  Host.WriteAp(adi::AP_CSW, 0xA2000010);
  Host.WriteAp(adi::AP_TAR, kSram + 3);
  EXPECT_EQ(0x5A332211u, Host.ReadAp(adi::AP_DRW));
}

TEST_F(SimMemAp, BankedDataRegistersShareOneTar) {
  Host.WriteAp(adi::AP_CSW, 0xA2000002);
  Host.WriteAp(adi::AP_TAR, kSram);
  EXPECT_EQ(0x11111111u, Host.ReadAp(adi::AP_BD0));
  EXPECT_EQ(0x33333333u, Host.ReadAp(adi::AP_BD0 + 8));
  Host.WriteAp(adi::AP_BD0 + 12, 0x0D0D0D0D);
  EXPECT_EQ(0x0D0D0D0Du, *Chip.PeekWord(kSram + 12));
  EXPECT_EQ(kSram, Host.ReadAp(adi::AP_TAR));
}

TEST_F(SimMemAp, WaitDropsTheRequestThenOk) {
  Host.WriteAp(adi::AP_CSW, 0xA2000002);
  Host.WriteAp(adi::AP_TAR, kSram);
  Dp.SetWaitScans(2);
  EXPECT_EQ(adi::ACK_WAIT, Host.Access(adi::IR_APACC, adi::AP_DRW, 0x77777777, false).Ack);
  EXPECT_EQ(adi::ACK_WAIT, Host.Access(adi::IR_APACC, adi::AP_DRW, 0x77777777, false).Ack);
  EXPECT_EQ(0x11111111u, *Chip.PeekWord(kSram)) << "WAIT-ed writes are dropped";
  EXPECT_EQ(adi::ACK_OK_FAULT, Host.Access(adi::IR_APACC, adi::AP_DRW, 0x77777777, false).Ack);
  EXPECT_EQ(0x77777777u, *Chip.PeekWord(kSram));
  EXPECT_EQ(2u, Dp.WaitAnswers());

  // With overrun detection on, a WAIT leaves STICKYORUN, which blocks the access port until cleared.
  Host.WriteDp(adi::DP_CTRL_STAT, 0x50000001);
  Dp.SetWaitScans(1);
  Host.Access(adi::IR_APACC, adi::AP_DRW, 0x12345678, false);
  Host.Access(adi::IR_APACC, adi::AP_DRW, 0x12345678, false);
  EXPECT_EQ(0x77777777u, *Chip.PeekWord(kSram));
  EXPECT_EQ(0xF0000003u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteDp(adi::DP_CTRL_STAT, 0x50000023);
  EXPECT_EQ(0xF0000001u, Host.ReadDp(adi::DP_CTRL_STAT));

  // A port that keeps answering WAIT is released by DAPABORT.
  Dp.SetWaitScans(SimJtagDp::kForever);
  for (int k = 0; k < 20; ++k) ASSERT_EQ(adi::ACK_WAIT, Host.Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Ack);
  Host.Scan(adi::IR_ABORT, Request(adi::DAPABORT, 0, false));
  EXPECT_EQ(adi::ACK_OK_FAULT, Host.Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Ack);
}

TEST_F(SimMemAp, UnmappedAddressLeavesStickyErrorUntilCleared) {
  EXPECT_EQ(0u, Host.ReadWord(0x60000000));
  EXPECT_EQ(0xF0000020u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteWord(kSram, 0xABCDEF01);  // the port runs no access-port request meanwhile
  EXPECT_EQ(0x11111111u, *Chip.PeekWord(kSram));
  EXPECT_EQ(1u, Dp.BusErrors());
  Host.WriteDp(adi::DP_CTRL_STAT, 0x50000000 | adi::STICKYERR | adi::STICKYORUN);
  EXPECT_EQ(0xF0000000u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.WriteWord(kSram, 0xABCDEF01);
  EXPECT_EQ(0xABCDEF01u, Host.ReadWord(kSram));

  // WDATAERR does not clear through CTRL/STAT, only through ABORT.
  Dp.RaiseSticky(adi::WDATAERR);
  Host.WriteDp(adi::DP_CTRL_STAT, 0x50000000 | adi::STICKYERR | adi::STICKYORUN);
  EXPECT_EQ(0xF0000080u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.Scan(adi::IR_ABORT, Request(adi::WDERRCLR, 0, false));
  EXPECT_EQ(0xF0000000u, Host.ReadDp(adi::DP_CTRL_STAT));
}

TEST_F(SimMemAp, FlashReadsButIgnoresWritesAndSystemRegistersAnswer) {
  ASSERT_TRUE(Chip.LoadWords(0x08000000, {0x20005000, 0x08000009}));
  EXPECT_EQ(0x08000009u, Host.ReadWord(0x08000004));
  EXPECT_EQ(0x08000009u, Host.ReadWord(0x00000004)) << "booting from flash: aliased at 0";
  Host.WriteWord(0x08000004, 0);
  EXPECT_EQ(0x08000009u, *Chip.PeekWord(0x08000004));
  EXPECT_EQ(0xF0000000u, Host.ReadDp(adi::DP_CTRL_STAT)) << "no bus error for a flash write";

  struct Case {
    std::uint32_t Address, Value;
  } registers[] = {
      {cm3::CPUID, 0x411FC231}, {cm3::AIRCR, 0xFA050000}, {cm3::FP_CTRL, 0x260},
      {cm3::DWT_CTRL, 0x40000000}, {cm3::DEMCR, 0}, {0xE000E100, 0},  // unlisted system register: zero
  };
  for (const Case& c : registers) EXPECT_EQ(c.Value, Host.ReadWord(c.Address)) << std::hex << c.Address;
  EXPECT_EQ(0xF0000000u, Host.ReadDp(adi::DP_CTRL_STAT));
  Host.ReadWord(0xE0040000);  // outside the simulated debug units
  EXPECT_EQ(0xF0000020u, Host.ReadDp(adi::DP_CTRL_STAT));
}

}  // namespace

}  // namespace simtest
