// Renders the module's pin-state panel as the simulated host docks it, at its
// preferred size: pins with their cells expanded and linked ports, one pin
// switched off (grey); the description's details in the split button's
// pop-up; and the unassigned pins hidden.
//
// usage: pins_panel_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "DriverUISteps.h"
#include "EditorSteps.h"
#include "ModuleCalls.h"
#include "ScreenshotImages.h"
#include "SimClient.h"
#include "SimHost.h"
#include "SimPanels.h"
#include "SimRack.h"
#include "Tovik.Classes.BSDL.h"
#include "Tovik.Form.HardDeviceViewer_PinsPanel.h"
#include "TreeListSteps.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"
#include "dxCore.h"

#include <memory>
#include <string>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {
    TInitStep{"ZUL.DispatchFix", &DispatchFixStartup, nullptr},
    TVK_STYLED_CONTROLS_STEPS
    TInitStep{"dxCore", &DxCoreUnitStartup, &DxCoreUnitShutdown},
    TVK_EDITORS_CLASSIC_STEPS
    TVK_TREELIST_STEPS
    TVK_DRIVER_UI_STEPS
};

// Sixteen port pins PA0..PA15, each an output cell with a control cell, and the JTAG pins.
std::unique_ptr<TBSDLEntity> MakeDescription() {
  auto e = std::make_unique<TBSDLEntity>();
  e->Name = L"STM32F1_LQFP48";
  e->InstructionLength = 5;
  e->IdCode = 0x16410041;
  e->ScanClockMaxSpeed = 10000000.0;
  e->ScanClockHaltMode = eScanClockHaltMode_Both;
  e->ConformanceStatement = L"STD_1149_1_2001";
  e->Filename = L"C:\\Library\\BSDL\\ST\\STM32F103_LQFP48.bsd";
  e->Instruction_SAMPLE = 2;
  e->Instruction_EXTEST = 0;
  e->Instruction_IDCODE = 0x1E;
  e->Instruction_HIGHZ = 0x1F;
  e->FProcessedBoundaryInfo = true;
  int32_t cellNumber = 0;
  for (int i = 0; i < 16; ++i) {
    const std::wstring port = L"PA" + std::to_wstring(i);
    auto* control = new TBoundaryCell(e.get());
    control->SetCellNumber(cellNumber++);
    control->SetCellKind(eCellKind_BC_1);
    control->SetPortId(L"*");
    e->AddBoundaryCell(control);
    auto* output = new TBoundaryCell(e.get());
    output->SetCellNumber(cellNumber++);
    output->SetCellKind(eCellKind_BC_1);
    output->SetPortId(port);
    output->SetControlCell(control);
    e->AddBoundaryCell(output);
    auto* pin = new TScanPin(e.get());
    pin->SetPinName(port);
    pin->SetPinNumber(std::to_wstring(10 + i));
    pin->SetDirection(eElectricIO);
    pin->AddBoundaryCell(output);
    e->AddPin(pin);
  }
  e->BoundaryLength = cellNumber;
  const std::pair<const wchar_t*, TScanPinKind> tap[] = {
      {L"JTDI", eScanPinKind_TDI}, {L"JTDO", eScanPinKind_TDO}, {L"JTMS", eScanPinKind_TMS}, {L"JTCK", eScanPinKind_TCK}};
  int number = 37;
  for (auto [name, kind] : tap) {
    auto* pin = new TScanPin(e.get());
    pin->SetPinName(name);
    pin->SetPinNumber(std::to_wstring(number++));
    pin->SetKind(kind);
    pin->SetDirection(kind == eScanPinKind_TDO ? eElectricOutput : eElectricInput);
    e->AddPin(pin);
    if (kind == eScanPinKind_TDI) e->TAP_TDI = pin;
    if (kind == eScanPinKind_TDO) e->TAP_TDO = pin;
    if (kind == eScanPinKind_TMS) e->TAP_TMS = pin;
    if (kind == eScanPinKind_TCK) e->TAP_TCK = pin;
  }
  return e;
}

void RunMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    hostsim::PumpMessages();
    Sleep(10);
  }
}

void Shoot(HWND window, const std::string& folder, const char* file, const char* what) {
  RunMessages(300);
  RECT r{};
  GetWindowRect(window, &r);
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(r.right - r.left, r.bottom - r.top);
  CopyWindow(window, shot.Canvas(), 0, 0);
  SavePng(shot, folder, file, what);
}

}  // namespace

int main(int argc, char** argv) {
  hostsim::SimClient host;
  auto panels = std::make_unique<hostsim::SimPanelHost>(host);
  BindHostClientExport(GetModuleHandleW(nullptr));
  host.Install();
  return RunScreenshotProgram(argc, argv, "pins_panel_screens", kSteps, [&panels](const std::string& folder) {
    const std::unique_ptr<TBSDLEntity> description = MakeDescription();
    auto jtag = hostsim::SimRef<hostsim::SimJtagDevice>::Adopt(new hostsim::SimJtagDevice(L"STM32F103", 0x16410041));
    jtag->SetBsdlEntity(description->GetImpl());
    auto device = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
    device->ReturnString(hostsim::disp::TovikDevice_GetDeviceName, L"STM32F103C8");
    device->ReturnString(hostsim::disp::TovikDevice_GetFamilyName, L"STM32F1");
    device->ReturnInt(hostsim::disp::TovikDevice_GetJTagIndex, 1);

    THardDevicePinsPanel* panel = CreatePinStatesPanel(ITovikDevice(device.Get()), IJTagDevice(jtag.Get()));
    // Ports of a design placed on the first pins, as the FPGA project's parameters name them.
    const wchar_t* ports[] = {L"LED(0)", L"LED(1)", L"LED(2)", L"LED(3)", L"BUTTON", L"UART_TX", L"UART_RX"};
    for (std::size_t i = 0; i < std::size(ports); ++i) {
      TScanPinLink& link = *panel->ScanPinLinks_UnSorted[i];
      link.NetName_FPGA = ports[i];
      link.PortDirection = i == 4 || i == 6 ? L"Input" : L"Output";
    }
    panel->SetState_Controls();
    panel->SetVisible();
    const HWND dock = panels->PanelWindow(panel->FPanelName);
    if (!dock) throw Exception(L"the panel was not docked");
    panel->PinList->GetItem(0)->SetExpanded(true);
    panel->PinList->GetItem(1)->SetExpanded(true);
    panel->PinList->GetItem(2)->SetSelected(true);
    panel->MenuItem_DisableSelectedClick(nullptr);
    panel->PinList->ClearSelection();
    Shoot(dock, folder, "pins_panel.png", "pin-state panel, cells expanded, PA2 switched off");

    PostMessageW(panel->Button_BSDL->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);
    RunMessages(300);
    if (TForm* popup = panel->Button_BSDL->PopupHolder())
      Shoot(popup->Handle(), folder, "pins_panel_details.png", "pin-state panel, description details");
    PostMessageW(panel->Button_BSDL->Handle(), TXPSplitButton::WM_HIDEPOPUP, 0, 0);
    RunMessages(200);

    panel->CheckBox_HideUnassignedPins->SetChecked(true);
    Shoot(dock, folder, "pins_panel_assigned_only.png", "pin-state panel, unassigned pins hidden");

    DestroyPinStatesPanel(panel);
    hostsim::PumpMessages();
  }, [&panels] { panels.reset(); }, [] {
    ReleaseHostClient();
    hostsim::SimClient::Uninstall();
  });
}
