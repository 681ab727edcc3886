// The run stands between the start-up and shut-down of what the rack windows
// need: the styled controls, the device table, the driver and the driver user
// interface, as in the module. The stand-in ARM disassembler lies beside the
// test program while it runs, where the module's code looks for it.
#include "RackPanelTest.h"

#include "ControlSteps.h"
#include "Device_ST_CortexM3_Data.h"
#include "DriverUISteps.h"
#include "Tovik.Disassembler.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace rackpanel_test {

namespace {

constexpr tvk::TInitStep kSteps[] = {
    tvk::TInitStep{"ZUL.DispatchFix", &tvk::DispatchFixStartup, nullptr},
    TVK_STYLED_CONTROLS_STEPS
    TVK_DRIVER_UI_STEPS
    tvk::TInitStep{"device data", &tvk::DeviceDataUnitStartup, &tvk::DeviceDataUnitShutdown},
    tvk::TInitStep{"driver", &tvk::DriverUnitStartup, &tvk::DriverUnitShutdown},
    tvk::TInitStep{"disassembler", nullptr, &tvk::DisassemblerUnitShutdown},
};

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/") + 1); }

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return FolderOf(path);
}

class RackPanelEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    FDisassembler = ProgramFolder() + L"DisasmARM.dll";
    ASSERT_TRUE(CopyFileW((FolderOf(TVK_MODULE_PATH) + L"DisasmARM.dll").c_str(), FDisassembler.c_str(), FALSE));
    ASSERT_TRUE(tvk::RunStartup(kSteps));
  }
  void TearDown() override {
    tvk::RunShutdown(kSteps);
    DeleteFileW(FDisassembler.c_str());
    CoUninitialize();
  }

private:
  std::wstring FDisassembler;
};

TVK_FOLDER_ENVIRONMENT(RackPanelEnvironment);

// The STM32F103C8's kind among the module's drivers.
int32_t Stm32F103C8Kind() {
  static const int32_t kind = [] {
    for (int32_t k = 0;; ++k) {
      IDispatch* driver = nullptr;
      if (FAILED(tvk::GetTovikDriverImpl(k, &driver)) || !driver) return -1;
      const std::wstring name = Call(driver, 503380).Text();
      driver->Release();
      if (name.starts_with(L"STM32F103C8")) return k;
    }
  }();
  return kind;
}

}  // namespace

void RackPanel::SetUp() {
  tvk::ReleaseHostClient();
  tvk::BindHostClientExport(GetModuleHandleW(nullptr));
  Host.Install();
  Board = hostsim::SimBoard::Stm32F103BehindBypass();
  hostsim::SimCortexM3& chip = Board->Chip();
  chip.LoadWords(0x08000000, {0x20005000, kLoop | 1});
  chip.LoadHalfwords(kLoop, {0xBF00, 0xE7FD});
  chip.PowerOnReset();
  const int32_t kind = Stm32F103C8Kind();
  ASSERT_LE(0, kind);
  ASSERT_EQ(S_OK, tvk::GetTovikDriverImpl(kind, &Driver));
  ASSERT_EQ(S_OK, Call(Driver, kSetTovikDevice, {Obj(Board->DeviceDispatch())}).Hr);
  Board->Device().SetDriver(Driver);
}

void RackPanel::TearDown() {
  if (Driver) {
    Call(Driver, kReleaseResources);
    Board->Device().SetDriver(nullptr);
    Driver->Release();
  }
  hostsim::PumpMessages();
  tvk::ReleaseHostClient();
  hostsim::SimClient::Uninstall();
}

void RackPanel::HaltAt(std::uint32_t pc) {
  Call(Driver, kProcessorIsRunning);  // the first status query sets the core up
  ASSERT_EQ(S_OK, Call(Driver, kPause).Hr);
  const long index = Call(Driver, kRegisterIndexPC).Int();
  ASSERT_EQ(S_OK, Call(Driver, kSetRegister, {I4(index), I4(long(pc))}).Hr);
  ASSERT_FALSE(Call(Driver, kProcessorIsRunning).Bool());
}

std::unique_ptr<tvk::TARM_BaseInstrumentForm> RackPanel::MakePanel() {
  std::unique_ptr<tvk::TARM_BaseInstrumentForm> panel(tvk::CreateARMInstrumentForm(Device(), tvk::IJTagDevice()));
  panel->Timer_Polling->SetInterval(600000);  // the tests fire it themselves
  return panel;
}

void RackPanel::Tick(tvk::TARM_BaseInstrumentForm& panel) {
  SendMessageW(panel.Timer_Polling->WindowHandle(), WM_TIMER, 1, 0);
}

}  // namespace rackpanel_test
