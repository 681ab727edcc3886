#pragma once
// The hard-device viewer on real windows over the simulated host: a host
// device whose driver reports a state the test sets, the host's timer
// manager, process launcher and device manager, and a recording pin-state
// panel in place of the real one.
#include <gtest/gtest.h>

#include "FakeHostObject.h"
#include "SimClient.h"
#include "SimHost.h"
#include "SimRack.h"
#include "Tovik.Form.HardDeviceViewer.h"
#include "support/HostCall.h"

#include <memory>
#include <string>
#include <vector>

namespace harddeviceviewer_test {

using namespace testsupport;

constexpr DISPID kGetDeviceName = 503380, kGetJTagIndex = 503629, kGetDriver = 503635, kGetDeviceState = 503787;

// Everything that happens to the viewer's panel and the host's timers, in order.
using TEventLog = std::vector<std::wstring>;

// A pin-state panel that notes each call it gets.
class TRecordingPanel final : public tvk::TPinStatesPanelLink {
public:
  // With Timers, its end notes how many host timers were left.
  TRecordingPanel(TEventLog& log, hostsim::SimClient* timers) : FLog(log), FTimers(timers) {}
  ~TRecordingPanel() override {
    FLog.push_back(FTimers ? L"panel destroyed with " + std::to_wstring(FTimers->Timers().size()) + L" timers"
                           : std::wstring(L"panel destroyed"));
  }
  void SetState_Controls() override { FLog.push_back(L"panel SetState_Controls"); }
  void ReceiveNotification(const tvk::INotification& n) override {
    FLog.push_back(n ? L"panel ReceiveNotification" : L"panel ReceiveNotification(none)");
  }
  void SetProjectDetails(const tvk::WideString& path, const tvk::WideString& target) override {
    FLog.push_back(L"panel SetProjectDetails(" + path + L"," + target + L")");
  }
  bool LiveUpdateNet(const tvk::INet&, bool enabled) override {
    FLog.push_back(enabled ? L"panel LiveUpdateNet(true)" : L"panel LiveUpdateNet(false)");
    return enabled;
  }
  void SetVisible() override { FLog.push_back(L"panel SetVisible"); }
  void SetHidden() override { FLog.push_back(L"panel SetHidden"); }

private:
  TEventLog& FLog;
  hostsim::SimClient* FTimers;
};

class Viewer : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A viewer over the device, shown; the panel maker records into Log.
  std::unique_ptr<tvk::THardDeviceViewerForm> MakeViewer();
  // The process launches the client got since the last ClearCalls: "process;parameters".
  std::vector<std::wstring> Launches();
  static std::wstring Text(const tvk::TControl* control) { return control->Caption(); }

  hostsim::SimClient Host;
  hostsim::SimRef<hostsim::FakeHostObject> Device, Driver;
  long DeviceState = 0;
  TEventLog Log;
  hostsim::SimClient* Timers = nullptr;  // panels made from now on note the timers left at their end
  tvk::TPinStatesPanelMaker PreviousMaker;
};

}  // namespace harddeviceviewer_test
