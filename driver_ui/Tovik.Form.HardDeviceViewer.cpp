#include "Tovik.Form.HardDeviceViewer.h"
#include "FormDesign.h"

#include "Extension.Util.h"
#include "Tovik.Form.HardDeviceViewer_PinsPanel.h"
#include "ZUL.HostModules.h"
#include "ZUL.HostNames.h"
#include "ZUL.Util.h"

namespace tvk {

namespace {

constexpr int kPlateHeight = 97;
constexpr uint32_t kStatusInterval = 1000;

// Reset, then programmed: the two states the lamps show.
constexpr int32_t kStateReset = 1, kStateProgrammed = 2;

// The device's docked pin-state panel, registered with the host while it lives.
class TDockedPinStatesPanel final : public TPinStatesPanelLink {
public:
  TDockedPinStatesPanel(const ITovikDevice& Device, const IJTagDevice& JTagDevice)
      : FPanel(CreatePinStatesPanel(Device, JTagDevice)) {}
  ~TDockedPinStatesPanel() override {
    Guard([&] { DestroyPinStatesPanel(FPanel); });
  }
  void SetState_Controls() override { FPanel->SetState_Controls(); }
  // The panel does not follow host notifications or per-net switches yet.
  void ReceiveNotification(const INotification&) override {}
  bool LiveUpdateNet(const INet&, bool) override { return false; }
  void SetProjectDetails(const WideString& ProjectPath, const WideString& Target) override {
    FPanel->SetProjectDetails(ProjectPath, Target);
  }
  void SetVisible() override { FPanel->SetVisible(); }
  void SetHidden() override { FPanel->SetHidden(); }

private:
  THardDevicePinsPanel* FPanel;
};

TPinStatesPanelMaker& PanelMaker() {
  static TPinStatesPanelMaker maker = DockedPinStatesPanelMaker();
  return maker;
}

constexpr auto* ActionKey = &PlaceKey<TInstrumentButton>;
constexpr auto* StatusLamp = &PlaceLamp<TInstrumentCheckBox, TInstrumentLabel>;

void BuildHardDeviceViewerForm(TComponent& root) {
  auto& form = static_cast<THardDeviceViewerForm&>(root);
  form.SetName(L"HardDeviceViewerForm");
  form.SetCaption(L"Hard Device Viewer");
  // Borderless already, as the rack base makes it: the designed client size is the form's size.
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetClientSize(kRackWidth, 129);
  form.Font().SetName(L"MS Sans Serif");
  form.Font().SetSize(8);

  auto* plate = PlaceControl<TInstrumentBackgroundPanel>(root, &form, L"Panel_Main", 0, 0, kRackWidth, kPlateHeight);
  form.Panel_Main = plate;
  plate->SetAlign(TAlign::alTop);
  plate->SetStyle(TInstrumentPanelStyle::ipsDarkGray);
  plate->SetPortID(-1);
  plate->SetTitle(L"Discrete Device Controller");

  // Device actions on the left, the status display on the right; the plate
  // draws its title in the bottom right corner, so the lamps stay above it.
  form.Header_DeviceActions = PlaceControl<TInstrumentCaption>(root, plate, L"Header_DeviceActions", 20, 24, 290, 14);
  form.Header_DeviceActions->SetCaption(L"DEVICE ACTIONS");
  form.Button_ResetHardDevice = ActionKey(root, plate, L"Button_ResetHardDevice", L"Reset", 20, 40, 60);
  form.Button_Download = ActionKey(root, plate, L"Button_Download", L"Download", 86, 40, 80);
  form.Button_CompileAndDownload =
      ActionKey(root, plate, L"Button_CompileAndDownload", L"Compile && Download", 172, 40, 138);
  form.Button_ChooseAndDownload =
      ActionKey(root, plate, L"Button_ChooseAndDownload", L"Choose && Download", 20, 66, 138);
  form.Button_DeviceInformation =
      ActionKey(root, plate, L"Button_DeviceInformation", L"Device Information", 164, 66, 146);
  form.Button_ResetHardDevice->OnClick = [&form](TObject* s) { form.Button_ResetHardDeviceClick(s); };
  form.Button_Download->OnClick = [&form](TObject* s) { form.Button_DownloadClick(s); };
  form.Button_CompileAndDownload->OnClick = [&form](TObject* s) { form.Button_CompileAndDownloadClick(s); };
  form.Button_ChooseAndDownload->OnClick = [&form](TObject* s) { form.Button_ChooseAndDownloadClick(s); };
  form.Button_DeviceInformation->OnClick = [&form](TObject* s) { form.Button_DeviceInformationClick(s); };

  form.Header_DeviceStatus = PlaceControl<TInstrumentCaption>(root, plate, L"Header_DeviceStatus", 324, 24, 380, 14);
  form.Header_DeviceStatus->SetCaption(L"DEVICE STATUS");
  auto* display = PlaceControl<TInstrumentPanel>(root, plate, L"Panel_Status", 324, 40, 380, 18);
  form.Panel_Status = display;
  display->SetDisplayStyle(TDisplayStyle::dsGray);
  form.Label_Status = PlaceControl<TInstrumentLabel>(root, display, L"Label_Status", 6, 2, 368, 14);
  form.Label_Status->SetAutoSize(false);
  form.Label_Status->Font().SetName(L"Arial");
  form.Label_Status->SetCaption(L"Label_Status");

  form.Button_ShowPinsState = ActionKey(root, plate, L"Button_ShowPinsState", L"JTAG Viewer Panel", 324, 60, 120);
  form.Button_ShowPinsState->OnClick = [&form](TObject* s) { form.Button_ShowPinsStates_Click(s); };
  form.CheckBox_LEDProgrammed = StatusLamp(root, plate, L"CheckBox_LEDProgrammed", 452, 59, form.Label_Programmed,
                                           L"Label_Programmed", L"Programmed", 64);
  form.CheckBox_LEDProgrammed->SetGlyphStyle(TInstrumentCheckStyle::icsGreen);
  form.CheckBox_LEDReset =
      StatusLamp(root, plate, L"CheckBox_LEDReset", 545, 59, form.Label_Reset, L"Label_Reset", L"Reset", 64);
}

TVK_DESIGN(THardDeviceViewerForm, BuildHardDeviceViewerForm);

}  // namespace

TPinStatesPanelMaker DockedPinStatesPanelMaker() {
  return [](const ITovikDevice& Device, const IJTagDevice& JTagDevice) -> std::unique_ptr<TPinStatesPanelLink> {
    return std::make_unique<TDockedPinStatesPanel>(Device, JTagDevice);
  };
}

TPinStatesPanelMaker SetPinStatesPanelMaker(TPinStatesPanelMaker Maker) {
  return std::exchange(PanelMaker(), std::move(Maker));
}

// ---- TMyTimerHandler

HRESULT THardDeviceViewerForm::TMyTimerHandler::HandleTimer(uint32_t TimerID) {
  return Guard([&] {
    if (F) F->HandleTimer(TimerID);
  });
}

// ---- THardDeviceViewerForm

THardDeviceViewerForm::THardDeviceViewerForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice)
    : TRackInstrumentForm(Device), FJTagDevice(JTagDevice) {}

void THardDeviceViewerForm::AfterDesign() {
  TRackInstrumentForm::AfterDesign();
  FTimerHandler = ComRef<TMyTimerHandler>(New<TMyTimerHandler>(*this));
  if (const TPinStatesPanelMaker& maker = PanelMaker()) FPinStatesPanel = maker(FTovikDevice, FJTagDevice);
  // The host calls the form's own dispatch interface, which counts nothing:
  // the host's reference does not keep the form, and letting it go ends nothing.
  if (IClient client = GetHostClient())
    if (ITimerManager manager = client.TimerManager())
      FStatusUpdateTimerID =
          uint32_t(manager.CreateTimer(ITimerHandler(Dispatch()), int32_t(kStatusInterval), true));
  Label_Status->SetCaption(WideString());
}

THardDeviceViewerForm::~THardDeviceViewerForm() {
  // No host call may reach the form from here on; a failing host does not stop the rest.
  if (const uint32_t id = std::exchange(FStatusUpdateTimerID, 0u))
    Guard([&] {
      if (IClient client = GetHostClient())
        if (ITimerManager manager = client.TimerManager()) manager.KillTimer(int32_t(id));
    });
  Guard([&] { FPinStatesPanel.reset(); });
  if (FTimerHandler) {
    FTimerHandler->Forget();
    FTimerHandler.Reset();
  }
}

HRESULT THardDeviceViewerForm::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                      VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  const HRESULT hr = TRackInstrumentForm::Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  if (SUCCEEDED(hr) || !FTimerHandler) return hr;
  return FTimerHandler->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
}

void THardDeviceViewerForm::HandleTimer(uint32_t TimerID) {
  if (TimerID == FStatusUpdateTimerID) UpdateStatusLEDs();
}

int32_t THardDeviceViewerForm::DeviceState() const {
  if (!FTovikDevice) return 0;
  const ITovikDriver driver = FTovikDevice.GetDriver();
  return driver ? driver.GetDeviceState() : 0;
}

void THardDeviceViewerForm::UpdateStatusLEDs() {
  CheckBox_LEDReset->SetChecked(DeviceState() == kStateReset);
  CheckBox_LEDProgrammed->SetChecked(DeviceState() == kStateProgrammed);
}

bool THardDeviceViewerForm::IsGenericDevice() const {
  return FTovikDevice && SameAsciiText(FTovikDevice.GetDeviceName(), L"GenericDevice");
}

void THardDeviceViewerForm::UpdateActionButtons() {
  const bool enabled = !IsGenericDevice();
  for (TInstrumentButton* key : {Button_Download, Button_ResetHardDevice, Button_CompileAndDownload,
                                 Button_ChooseAndDownload})
    key->SetEnabled(enabled);
}

void THardDeviceViewerForm::SetState_Controls() {
  UpdateStatusLEDs();
  UpdateActionButtons();
  if (FPinStatesPanel) FPinStatesPanel->SetState_Controls();
}

void THardDeviceViewerForm::RunDeviceAction(const wchar_t* Process, const wchar_t* Action) {
  if (!FTovikDevice) return;
  WideString parameters = WideString(Action) + L"|Index=" + IntToStr(FTovikDevice.GetJTagIndex() + 1);
  RunServerProcess(Process, parameters);
}

void THardDeviceViewerForm::Button_ResetHardDeviceClick(TObject*) {
  RunDeviceAction(hostnames::kFpgaFlowDeviceAction, L"Target=HardDevice|Action=ResetDevice");
  UpdateStatusLEDs();
}

void THardDeviceViewerForm::Button_DownloadClick(TObject*) {
  RunDeviceAction(hostnames::kFpgaFlowFlowAction, L"Action=DownloadExistingHardDeviceFile");
  UpdateStatusLEDs();
}

void THardDeviceViewerForm::Button_CompileAndDownloadClick(TObject*) {
  RunDeviceAction(hostnames::kFpgaFlowFlowAction, L"Action=CompileHardDeviceFileAndDownload");
  UpdateStatusLEDs();
}

void THardDeviceViewerForm::Button_ChooseAndDownloadClick(TObject*) {
  RunDeviceAction(hostnames::kFpgaFlowDeviceAction, L"Target=HardDevice|Action=ChooseAndDownload");
  UpdateStatusLEDs();
}

void THardDeviceViewerForm::Button_DeviceInformationClick(TObject*) {
  if (!FTovikDevice) return;
  if (IsGenericDevice()) {
    RunDeviceAction(hostnames::kFpgaFlowDeviceAction, L"Target=HardDevice|Action=ConfigureJTAGIdMapping");
    return;
  }
  if (const IDeviceManager manager = GetHostDeviceManager())
    (void)manager.ShowDeviceInformation(FTovikDevice.GetDeviceName(), L"Mode=Browse");
}

void THardDeviceViewerForm::Button_ShowPinsStates_Click(TObject*) {
  if (FPinStatesPanel) FPinStatesPanel->SetVisible();
}

void THardDeviceViewerForm::SetProjectDetails(const WideString& ProjectPath, const WideString& Target) {
  if (ProjectPath.empty() && Target.empty()) {
    Label_Status->SetCaption(L"No Compatible Project Configurations Found");
  } else {
    WideString baseName;
    if (const IClientAPI_Interface api = GetHostClientAPI()) baseName = api.ExtractFileBaseName(ProjectPath);
    Label_Status->SetCaption(baseName + L" / " + Target);
  }
  if (FPinStatesPanel) FPinStatesPanel->SetProjectDetails(ProjectPath, Target);
}

void THardDeviceViewerForm::ReceiveNotification(const INotification& Notification) {
  if (FPinStatesPanel) FPinStatesPanel->ReceiveNotification(Notification);
}

bool THardDeviceViewerForm::LiveUpdateNet(const INet& Net, bool UpdateEnabled) {
  return FPinStatesPanel && FPinStatesPanel->LiveUpdateNet(Net, UpdateEnabled);
}

void THardDeviceViewerForm::Hidden() {
  if (FPinStatesPanel) FPinStatesPanel->SetHidden();
}

THardDeviceViewerForm* CreateHardDeviceViewerForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice) {
  return CreateComponent<THardDeviceViewerForm>(Device, JTagDevice);
}

}  // namespace tvk
