// The run stands between the start-up and shut-down of what the viewer needs:
// the styled controls and the driver user interface, as in the module.
#include "ViewerTest.h"

#include "ControlSteps.h"
#include "DriverUISteps.h"
#include "SimHostModules.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace harddeviceviewer_test {

namespace {

constexpr tvk::TInitStep kSteps[] = {
    tvk::TInitStep{"ZUL.DispatchFix", &tvk::DispatchFixStartup, nullptr},
    TVK_STYLED_CONTROLS_STEPS
    TVK_DRIVER_UI_STEPS
};

class ViewerEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_NE(nullptr, hostsim::HostDeviceManager());  // the host has its device manager loaded
    ASSERT_TRUE(tvk::RunStartup(kSteps));
  }
  void TearDown() override {
    tvk::RunShutdown(kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(ViewerEnvironment);

}  // namespace

void Viewer::SetUp() {
  tvk::ReleaseHostClient();
  tvk::BindHostClientExport(GetModuleHandleW(nullptr));
  Host.Install();
  Driver = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  Driver->On(kGetDeviceState, [this](std::vector<VARIANT*>&, VARIANT* r) {
    hostsim::SetResultInt(r, DeviceState);
    return S_OK;
  });
  Device = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  Device->ReturnString(kGetDeviceName, L"XC3S200");
  Device->ReturnInt(kGetJTagIndex, 0);
  Device->ReturnObject(kGetDriver, Driver.Get());
  PreviousMaker = tvk::SetPinStatesPanelMaker([this](const tvk::ITovikDevice& device, const tvk::IJTagDevice&) {
    Log.push_back(device ? L"panel created" : L"panel created without device");
    return std::make_unique<TRecordingPanel>(Log, Timers);
  });
}

void Viewer::TearDown() {
  tvk::SetPinStatesPanelMaker(std::move(PreviousMaker));
  hostsim::PumpMessages();
  tvk::ReleaseHostClient();
  hostsim::SimClient::Uninstall();
}

std::unique_ptr<tvk::THardDeviceViewerForm> Viewer::MakeViewer() {
  std::unique_ptr<tvk::THardDeviceViewerForm> viewer(
      tvk::CreateHardDeviceViewerForm(tvk::ITovikDevice(Device.Get()), tvk::IJTagDevice()));
  viewer->Show();
  return viewer;
}

std::vector<std::wstring> Viewer::Launches() {
  std::vector<std::wstring> launches;
  for (const hostsim::LoggedCall& call : Host.Client().Calls())
    if (call.Id == hostsim::disp::Client_RunProcess) launches.push_back(call.Str(0) + L";" + call.Str(1));
  return launches;
}

}  // namespace harddeviceviewer_test
