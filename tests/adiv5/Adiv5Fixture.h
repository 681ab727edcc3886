#pragma once
// The engine on the simulated STM32F103 at chain index 1 (a bypass device
// before it), and the channel's call log read back as scans.
#include "SimHost.h"
#include "Tovik.ARM.ADIv5.h"
#include "ZUL.DispatchFix.h"
#include "support/JtagScan.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace adiv5_test {

using namespace hostsim;
using tvk::TADIv5Engine;

constexpr std::uint32_t DP = 0xA, AP = 0xB;
constexpr bool R = true, W = false;
constexpr std::uint32_t kSram = 0x20000000;

// One DPACC/APACC scan as the port saw it, decoded from the shifted string.
struct Access {
  std::uint32_t Ir;
  std::uint32_t Address;  // bits 3:2
  bool Read;
  std::uint32_t Value = 0;
  bool operator==(const Access&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Access& a) {
  return os << (a.Ir == DP ? "DP" : a.Ir == AP ? "AP" : "IR?") << (a.Read ? " R " : " W ") << std::hex << "0x"
            << a.Address << " 0x" << a.Value << std::dec;
}

using testsupport::Binary;
using testsupport::ParseBinary;

// A transport that passes every scan on and, before chosen scans, makes the
// port answer WAIT for a number of scans.
class WaitArmingTransport : public tvk::IDapTransport {
public:
  WaitArmingTransport(std::unique_ptr<tvk::IDapTransport> inner, SimJtagDp& dp) : FInner(std::move(inner)), FDp(dp) {}
  // Before access scan number `scan` (0 = the next one), `waits` WAIT answers.
  void Arm(unsigned scan, unsigned waits) {
    FArmAt = FScans + scan;
    FWaits = waits;
    FArmed = true;
  }
  bool AccessScan(std::uint32_t instruction, std::uint32_t address, bool read, std::uint32_t value,
                  tvk::TDapScanAnswer& answer) override {
    if (FArmed && FScans == FArmAt) {
      FDp.SetWaitScans(FWaits);
      FArmed = false;
    }
    ++FScans;
    return FInner->AccessScan(instruction, address, read, value, answer);
  }
  bool InstructionScan(std::uint32_t instruction) override { return FInner->InstructionScan(instruction); }

private:
  std::unique_ptr<tvk::IDapTransport> FInner;
  SimJtagDp& FDp;
  unsigned FScans = 0, FArmAt = 0, FWaits = 0;
  bool FArmed = false;
};

class Adiv5Test : public ::testing::Test {
protected:
  Adiv5Test() { tvk::DispatchFixStartup(); }
  void TearDown() override { EXPECT_TRUE(Board->ProtocolErrors().empty()) << ProtocolErrorText(); }

  std::unique_ptr<TADIv5Engine> MakeEngine() {
    auto channel = std::make_unique<tvk::TJTagChannelDapTransport>([this] { return Device; });
    auto arming = std::make_unique<WaitArmingTransport>(std::move(channel), Board->Dp());
    Waiter = arming.get();
    tvk::TADIv5Hooks hooks;
    hooks.Log = [this](tvk::TDapLogKind kind, const std::wstring& text) {
      LogLines.push_back((kind == tvk::TDapLogKind::Error ? L"ERROR " : L"DEBUG ") + text);
    };
    hooks.Wait = [this](unsigned ms) { Waits.push_back(ms); };
    return std::make_unique<TADIv5Engine>(std::move(arming), std::move(hooks));
  }

  // The scans since the last call, each checked for the five channel calls
  // with the host's TAP pairs at chain index 1.
  std::vector<Access> TakeScans() {
    const auto& calls = Board->Channel().Calls();
    std::vector<Access> scans;
    ScanBits.clear();
    std::size_t k = 0;
    for (; k + 5 <= calls.size(); k += 5) {
      const hostsim::LoggedCall* c = &calls[k];
      const bool shaped = c[0].Id == disp::JTagChannel_MoveTAPState && c[0].Int(0) == 2 && c[0].Int(1) == 12 &&
                          c[1].Id == disp::JTagChannel_LoadIR && c[1].Int(1) == 1 &&
                          c[2].Id == disp::JTagChannel_MoveTAPState && c[2].Int(0) == 13 && c[2].Int(1) == 5 &&
                          c[3].Id == disp::JTagChannel_ShiftDRString && c[3].Int(1) == 1 &&
                          c[4].Id == disp::JTagChannel_MoveTAPState && c[4].Int(0) == 6 && c[4].Int(1) == 2;
      if (!shaped) {
        ADD_FAILURE() << "channel calls " << k << ".." << k + 4 << " are not one access scan";
        break;
      }
      const std::wstring bits = c[3].Str(0);
      if (bits.size() != 35) {
        ADD_FAILURE() << "scan of " << bits.size() << " characters";
        break;
      }
      scans.push_back({std::uint32_t(c[1].Int(0)), std::uint32_t(ParseBinary(bits, 32, 2) << 2), bits[34] == L'1',
                       std::uint32_t(ParseBinary(bits, 0, 32))});
      ScanBits.push_back(bits);
    }
    EXPECT_EQ(k, calls.size()) << "calls that are not whole access scans";
    Board->Channel().ClearCalls();
    return scans;
  }

  std::wstring ProtocolErrorText() const {
    std::wstring all;
    for (const auto& e : Board->ProtocolErrors()) all += e + L"\n";
    return all;
  }

  std::unique_ptr<SimBoard> Board = SimBoard::Stm32F103BehindBypass();
  SimJtagDp& Dp = Board->Dp();
  SimCortexM3& Chip = Board->Chip();
  tvk::ITovikDevice Device{Board->DeviceDispatch()};
  std::vector<std::wstring> ScanBits;  // the strings shifted in by the scans TakeScans read
  std::vector<std::wstring> LogLines;
  std::vector<unsigned> Waits;
  WaitArmingTransport* Waiter = nullptr;
  std::unique_ptr<TADIv5Engine> Engine = MakeEngine();
};

// Powered up (maintenance mode, SELECT at the identification bank, CSW and
// TAR unknown), SRAM filled, logs and counters emptied.
class PoweredAdiv5Test : public Adiv5Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Engine->PowerUpDebugPort());
    ASSERT_TRUE(Chip.LoadWords(kSram, {0x44332211, 0x88776655, 0xCCBBAA99, 0x00FFEEDD}));
    Board->Channel().ClearCalls();
    Board->ResetCounters();
    LogLines.clear();
    Waits.clear();
  }
  std::uint64_t DrScans() const { return Board->Counters().DrScans; }
};

}  // namespace adiv5_test
