#pragma once
// The rack instrument windows against the simulated board: an STM32F103
// driver of the module's code fronted by the board's host device, the ARM
// panel made over that device, and the host's rack that holds it.
#include <gtest/gtest.h>

#include "DriverExports.h"
#include "SimClient.h"
#include "SimRack.h"
#include "Tovik.Form.ARM.BaseInstrument.h"
#include "support/HostCall.h"

#include <memory>
#include <string>

namespace rackpanel_test {

using namespace testsupport;

constexpr DISPID kSetTovikDevice = 503754, kCreateRackViewer = 503759, kGetRackViewer = 503760,
                 kReleaseResources = 503812, kProcessorIsRunning = 503802, kPause = 503797,
                 kSetRegister = 503766, kRegisterIndexPC = 503772;

// Thumb code at 0x08000100: a NOP and a branch back to it, forever.
constexpr std::uint32_t kLoop = 0x08000100;

class RackPanel : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The chip halted at Pc (the driver's register write).
  void HaltAt(std::uint32_t pc);
  // The ARM panel over the board's device.
  std::unique_ptr<tvk::TARM_BaseInstrumentForm> MakePanel();
  // The panel's timer fires once.
  static void Tick(tvk::TARM_BaseInstrumentForm& panel);
  static std::wstring Text(const tvk::TControl* control) { return control->Caption(); }
  // Calls of Id the board's device got since the last ClearCalls.
  std::size_t DeviceCalls(DISPID id) const { return Board->Device().CallCount(id); }
  tvk::ITovikDevice Device() const { return tvk::ITovikDevice(Board->DeviceDispatch()); }

  hostsim::SimClient Host;
  std::unique_ptr<hostsim::SimBoard> Board;
  IDispatch* Driver = nullptr;  // counted
};

}  // namespace rackpanel_test
