// The run stands between the start-up and shut-down of what the panel needs,
// as in the module: the styled controls, the in-place editors and the tree
// list, the driver user interface.
#include "PinsPanelTest.h"

#include "ControlSteps.h"
#include "DriverUISteps.h"
#include "EditorSteps.h"
#include "ModuleCalls.h"
#include "SimRack.h"
#include "TreeListSteps.h"
#include "ZUL.DispatchFix.h"
#include "dxCore.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace pinspanel_test {

namespace {

constexpr tvk::TInitStep kSteps[] = {
    tvk::TInitStep{"ZUL.DispatchFix", &tvk::DispatchFixStartup, nullptr},
    TVK_STYLED_CONTROLS_STEPS
    tvk::TInitStep{"dxCore", &tvk::DxCoreUnitStartup, &tvk::DxCoreUnitShutdown},
    TVK_EDITORS_CLASSIC_STEPS
    TVK_TREELIST_STEPS
    TVK_DRIVER_UI_STEPS
};

class PinsPanelEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(kSteps));
  }
  void TearDown() override {
    tvk::RunShutdown(kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(PinsPanelEnvironment);

tvk::TBoundaryCell* AddCell(tvk::TBSDLEntity& e, int32_t number, tvk::TCellKind kind, const wchar_t* port) {
  auto* cell = new tvk::TBoundaryCell(&e);
  cell->SetCellNumber(number);
  cell->SetCellKind(kind);
  cell->SetPortId(port);
  e.AddBoundaryCell(cell);
  return cell;
}

tvk::TScanPin* AddPin(tvk::TBSDLEntity& e, const wchar_t* name, const wchar_t* number, tvk::TPinElectrical direction,
                      tvk::TScanPinKind kind) {
  auto* pin = new tvk::TScanPin(&e);
  pin->SetPinName(name);
  pin->SetPinNumber(number);
  pin->SetDirection(direction);
  pin->SetKind(kind);
  e.AddPin(pin);
  return pin;
}

}  // namespace

std::unique_ptr<tvk::TBSDLEntity> MakeDescription() {
  auto e = std::make_unique<tvk::TBSDLEntity>();
  e->Name = L"STM32F1_Test";
  e->InstructionLength = 5;
  e->IdCode = 0x3BA00477;
  e->ScanClockMaxSpeed = 10000000.0;
  e->ScanClockHaltMode = tvk::eScanClockHaltMode_Low;
  e->ConformanceStatement = L"STD_1149_1_2001";
  e->Filename = L"C:\\Library\\BSDL\\STM32F1_Test.bsd";
  e->Instruction_SAMPLE = 2;
  e->Instruction_IDCODE = 0x1E;
  e->FProcessedBoundaryInfo = true;
  tvk::TBoundaryCell* control = AddCell(*e, 0, tvk::eCellKind_BC_1, L"*");
  tvk::TBoundaryCell* target = AddCell(*e, 1, tvk::eCellKind_BC_1, L"PA0");
  tvk::TBoundaryCell* pad = AddCell(*e, 2, tvk::eCellKind_BC_7, L"PA0");
  pad->SetControlCell(control);
  pad->SetTargetCell(target);
  tvk::TBoundaryCell* named = AddCell(*e, 3, tvk::eCellKind_BC_4, L"PB5");
  e->BoundaryLength = 4;
  tvk::TScanPin* pa0 = AddPin(*e, L"PA0", L"10", tvk::eElectricIO, tvk::eScanPinKind_Normal);
  pa0->AddBoundaryCell(pad);
  tvk::TScanPin* unnamed = AddPin(*e, L"", L"11", tvk::eElectricInput, tvk::eScanPinKind_Normal);
  unnamed->AddBoundaryCell(named);
  AddPin(*e, L"VDD", L"12", tvk::eElectricPower, tvk::eScanPinKind_Power);
  e->TAP_TDI = pa0;
  return e;
}

void PinsPanel::SetUp() {
  tvk::ReleaseHostClient();
  tvk::BindHostClientExport(GetModuleHandleW(nullptr));
  Panels = std::make_unique<hostsim::SimPanelHost>(Host);
  Host.Install();
  Description = MakeDescription();
  JTag = hostsim::SimRef<hostsim::SimJtagDevice>::Adopt(new hostsim::SimJtagDevice(L"STM32F103", 0x3BA00477));
  JTag->SetBsdlEntity(Description->GetImpl());
  Device = new hostsim::FakeHostObject;
  Device->ReturnString(hostsim::disp::TovikDevice_GetDeviceName, L"STM32F103C8");
  Device->ReturnString(hostsim::disp::TovikDevice_GetFamilyName, L"STM32F1");
  Device->ReturnInt(hostsim::disp::TovikDevice_GetJTagIndex, 1);
}

void PinsPanel::TearDown() {
  Destroy();
  if (Device) Device->Release();
  Panels.reset();
  JTag = {};
  Description.reset();
  tvk::ReleaseHostClient();
  hostsim::SimClient::Uninstall();
}

tvk::THardDevicePinsPanel* PinsPanel::Create() {
  try {
    Panel = tvk::CreatePinStatesPanel(tvk::ITovikDevice(Device), tvk::IJTagDevice(JTag.Get()));
  } catch (const tvk::Exception& e) {
    ADD_FAILURE() << "the panel was not made: " << std::string(e.Message().begin(), e.Message().end());
    throw;
  }
  return Panel;
}

void PinsPanel::Destroy() {
  tvk::DestroyPinStatesPanel(Panel);
  hostsim::PumpMessages();
}

}  // namespace pinspanel_test
