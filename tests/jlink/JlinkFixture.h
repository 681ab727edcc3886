#pragma once
// A simulated board whose JTAG port is a J-Link probe: the stand-in probe
// library on the board's chip, the host's J-Link driver handing out its
// handle, and the host's port list (its debug-device manager module) holding
// the board's port.
#include "SimJlink.h"
#include "ZUL.DispatchFix.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace jlink_test {

using namespace hostsim;

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;

inline std::wstring SystemDir() { return std::wstring(HOSTSIM_SYSTEM_DIR) + L"\\"; }
inline std::wstring StandInPath() { return SystemDir() + L"JLINKARM.dll"; }
inline std::wstring LackingStandInPath() { return SystemDir() + L"JLINKARM-lacking.dll"; }

using Log = std::vector<std::string>;

class JlinkBoard {
public:
  JlinkBoard() {
    tvk::DispatchFixStartup();
    Ports.Set({Port()});
    Library->TakeLog();
  }
  ~JlinkBoard() {
    for (const auto& e : Board->ProtocolErrors()) ADD_FAILURE() << std::string(e.begin(), e.end());
  }
  JlinkBoard(const JlinkBoard&) = delete;
  JlinkBoard& operator=(const JlinkBoard&) = delete;

  IDispatch* Port() { return &Board->Port(); }
  // Scans and channel calls of the JTAG path so far.
  std::uint64_t Scans() const { return Board->Counters().DrScans + Board->Counters().IrScans; }

  std::unique_ptr<SimBoard> Board = SimBoard::Stm32F103BehindBypass();
  SimCortexM3& Chip = Board->Chip();
  std::shared_ptr<SimJlinkLibrary> Library = std::make_shared<SimJlinkLibrary>(StandInPath());
  SimRef<SimJlinkDriver> HostDriver = AttachJlinkProbe(*Board, Library);
  SimHostPorts Ports{SystemDir() + L"TovikManager.dll"};
};

}  // namespace jlink_test
