// Renders the module's ARM rack panel as the host holds it: the driver's rack
// viewer in a rack window over the simulated STM32F103, with the core halted
// (its values shown), running, held in reset, and with polling off; and the
// framework's default rack form, the hard-device viewer, with its programmed
// lamp lit, and the pictures of its pin-state panel: a three-part symbol and
// a footprint drawn by the simulated host's painter windows, pins marked.
//
// usage: rack_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "Device_ST_CortexM3_Data.h"
#include "DriverExports.h"
#include "DriverUISteps.h"
#include "ModuleCalls.h"
#include "ScreenshotImages.h"
#include "SimClient.h"
#include "SimRack.h"
#include "Tovik.Disassembler.h"
#include "Tovik.Form.ARM.BaseInstrument.h"
#include "Tovik.Form.HardDeviceViewer.h"
#include "Tovik.Form.HardDeviceViewer_Painters.h"
#include "SimPainters.h"
#include "Panels.h"
#include "ZUL.HostNames.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {
    TInitStep{"ZUL.DispatchFix", &DispatchFixStartup, nullptr},
    TVK_STYLED_CONTROLS_STEPS
    TVK_DRIVER_UI_STEPS
    TInitStep{"device data", &DeviceDataUnitStartup, &DeviceDataUnitShutdown},
    TInitStep{"driver", &DriverUnitStartup, &DriverUnitShutdown},
    TInitStep{"disassembler", nullptr, &DisassemblerUnitShutdown},
};

constexpr std::uint32_t kLoop = 0x08000100;

// The driver of the board's chip, or null.
IDispatch* DriverFor(const std::wstring& device) {
  for (int32_t kind = 0;; ++kind) {
    IDispatch* driver = nullptr;
    if (FAILED(GetTovikDriverImpl(kind, &driver)) || !driver) return nullptr;
    const std::optional<std::wstring> name = hostsim::CallModule(driver, 503380).Text();
    if (name && name->starts_with(device)) return driver;
    driver->Release();
  }
}

void RunMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    hostsim::PumpMessages();
    Sleep(10);
  }
}

void Shoot(HWND rack, const std::string& folder, const char* file) {
  RunMessages(700);  // two polls or more
  RECT r{};
  GetWindowRect(rack, &r);
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(r.right - r.left, r.bottom - r.top);
  CopyWindow(rack, shot.Canvas(), 0, 0);
  SavePng(shot, folder, file, "rack panel");
}

// The hard-device viewer over a device whose driver reports it programmed,
// held in a rack through the module's rack view, its status line set.
void ShootHardDeviceViewer(const std::string& folder) {
  auto driver = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  driver->ReturnInt(503787, 2);  // programmed
  auto device = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  device->ReturnString(503380, L"XC3S200");
  device->ReturnInt(503629, 1);
  device->ReturnObject(503635, driver.Get());
  device->ReturnObject(503630, nullptr);  // no JTAG channel: port -1, the device name as the core
  // The panel has pictures of its own (pins_panel_screens); this one shows the viewer's plate.
  const TPinStatesPanelMaker previous = SetPinStatesPanelMaker(nullptr);
  std::unique_ptr<TDriverForm> form =
      ModuleDriverUI().CreateHardDeviceViewerForm(ITovikDevice(device.Get()), IJTagDevice());
  SetPinStatesPanelMaker(previous);
  AsInstrumentForm(*form).SetState_Controls();
  AsInstrumentForm(*form).Display(ITovikDevice(device.Get()));
  IInstrumentView view = ModuleDriverUI().RackInstrumentView().Create(*form);
  (void)form.release();  // the view owns it
  IDispatch* served = view.ToPointer();
  const auto rack = hostsim::SimRack::Make(724, 97);
  hostsim::CallModule(served, 49, {hostsim::ArgObject(rack.Get())});
  hostsim::CallModule(served, 50);
  hostsim::CallModule(served, 56, {hostsim::ArgInt(0), hostsim::ArgInt(0), hostsim::ArgInt(724), hostsim::ArgInt(97)});
  hostsim::CallModule(served, 58);
  hostsim::CallModule(served, 503697);
  hostsim::CallModule(served, 503699, {hostsim::ArgString(L"C:\\Designs\\Counter\\Counter.PrjFpg"),
                                       hostsim::ArgString(L"Spartan3 Starter Board")});
  Shoot(rack->Window(), folder, "rack_hard_device_viewer.png");
  view.Release();  // 503704, as the driver lets its view go
  view.Clear();
  hostsim::PumpMessages();
}

// The symbol painter (part B shown) and the footprint painter side by side,
// the pins 12, 13 and 40 marked and 12 and 40 renamed.
void ShootPainters(hostsim::SimClient& host, const std::string& folder) {
  constexpr wchar_t kLibrary[] = L"C:\\Libraries\\Xilinx\\Spartan3.slib";
  auto sch = hostsim::SimSchServer::Make();
  sch->AddComponent(L"XC3S200-4FT256C", kLibrary, 3);
  host.AddServerModule(L"SCH", sch.Get());
  auto footprintType = hostsim::SimFootprintModelType::Make(L"PCB");
  hostsim::SetHostModelType(hostnames::kFootprintModelType, footprintType.Get());
  auto listener = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  {
    std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
    form->SetCaption(L"Symbol and footprint");
    form->SetBounds(0, 0, 700, 300);
    auto* symbolSection = new TPanel(form.get());
    symbolSection->SetParent(form.get());
    symbolSection->SetBounds(4, 4, 340, 250);
    auto* footprintSection = new TPanel(form.get());
    footprintSection->SetParent(form.get());
    footprintSection->SetBounds(350, 4, 330, 250);
    form->Show();
    TSchComponentPainter symbol(symbolSection, IComponentPinSelectionListener(listener.Get()));
    TPCBFootprintPainter footprint(footprintSection);
    symbol.SetComponent(L"XC3S200-4FT256C", kLibrary);
    symbol.RenameSpecifiedPins(L"12=LED0|40=CLK");
    symbol.HighlightPins(L",12,13,40");
    symbol.TabSheetsHolder()->SetActivePage(symbol.TabSheetsHolder()->Pages(1));
    footprint.SetFootprint(L"FT256", L"C:\\Libraries\\Xilinx\\Spartan3.flib");
    footprint.DrawFootprintModel();
    footprint.HighlightPins(L",12,13,40");
    footprint.ShowPinsAsSelected(L",12,40");
    RunMessages(300);
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(form->Width(), form->Height());
    CopyWindow(form->Handle(), shot.Canvas(), 0, 0);
    SavePng(shot, folder, "hard_device_pictures.png", "rack panel");
  }
  hostsim::SetHostModelType(hostnames::kFootprintModelType, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  hostsim::SimClient host;
  BindHostClientExport(GetModuleHandleW(nullptr));
  host.Install();
  return RunScreenshotProgram(argc, argv, "rack_screens", kSteps, [&host](const std::string& folder) {
    auto board = hostsim::SimBoard::Stm32F103BehindBypass();
    hostsim::SimCortexM3& chip = board->Chip();
    chip.LoadWords(0x08000000, {0x20005000, kLoop | 1});
    chip.LoadHalfwords(kLoop, {0x2001, 0x3001, 0xE7FD});  // MOVS R0,#1; ADDS R0,#1; B back
    chip.PowerOnReset();
    IDispatch* driver = DriverFor(L"STM32F103C8");
    if (!driver) throw Exception(L"no driver for the STM32F103C8");
    hostsim::CallModule(driver, 503754, {hostsim::ArgObject(board->DeviceDispatch())});
    board->Device().SetDriver(driver);
    hostsim::CallModule(driver, 503802);  // the first status query sets the core up
    hostsim::CallModule(driver, 503797);  // halted, with values to show
    hostsim::CallModule(driver, 503759);
    hostsim::ModuleAnswer view = hostsim::CallModule(driver, 503760);
    if (!view.Object()) throw Exception(L"no rack viewer");
    const auto rack = hostsim::SimRack::Make(724, 108);
    hostsim::CallModule(view.Object(), 49, {hostsim::ArgObject(rack.Get())});
    hostsim::CallModule(view.Object(), 50);
    hostsim::CallModule(view.Object(), 56, {hostsim::ArgInt(0), hostsim::ArgInt(0), hostsim::ArgInt(724), hostsim::ArgInt(108)});
    hostsim::CallModule(view.Object(), 58);
    hostsim::CallModule(view.Object(), 503697);  // the plate's identification line
    const HWND window = rack->Window();
    Shoot(window, folder, "rack_arm_halted.png");
    hostsim::ClickModuleControl(window, L"Button_Continue");
    Shoot(window, folder, "rack_arm_running.png");
    hostsim::ClickModuleControl(window, L"Button_Reset");
    Shoot(window, folder, "rack_arm_reset.png");
    hostsim::ClickModuleControl(window, L"Button_Step");
    hostsim::ClickModuleControl(window, L"Button_Step");
    RunMessages(400);
    hostsim::ClickModuleControl(window, L"CheckBox_Polling");
    hostsim::ClickModuleControl(window, L"Button_Continue");
    Shoot(window, folder, "rack_arm_polling_off.png");
    hostsim::CallModule(view.Object(), 503704);
    view = hostsim::ModuleAnswer();
    hostsim::CallModule(driver, 503812);
    hostsim::PumpMessages();
    board->Device().SetDriver(nullptr);
    hostsim::CallModule(driver, 503754, {hostsim::ArgObject(nullptr)});
    driver->Release();
    ShootHardDeviceViewer(folder);
    ShootPainters(host, folder);
  }, [] {}, [] {
    ReleaseHostClient();
    hostsim::SimClient::Uninstall();
  });
}
