// The hard-device viewer: its plate, the device actions with real clicks, the
// lamps on the host's timer, the project line, what it passes to its panel,
// and the order in which it lets go of the host.
#include "ViewerTest.h"

#include "ZUL.HostNames.h"

namespace harddeviceviewer_test {
namespace {

using tvk::THardDeviceViewerForm;
namespace hn = tvk::hostnames;

template <class F>
F HostHook(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"TovikManager.dll"), name)));
}

std::vector<std::wstring> DeviceInformationCalls() {
  auto count = HostHook<int32_t(__stdcall*)()>("HostSim_DeviceInformationCount");
  auto item = HostHook<const wchar_t*(__stdcall*)(int32_t)>("HostSim_DeviceInformation");
  std::vector<std::wstring> calls;
  if (!count || !item) return {L"no hooks"};
  for (int32_t k = 0; k < count(); ++k) calls.emplace_back(item(k));
  return calls;
}

void SetDeviceManagerAbsent(bool absent) {
  if (auto set = HostHook<void(__stdcall*)(int32_t)>("HostSim_SetDeviceManagerAbsent")) set(absent);
}

// Calls the viewer's own dispatch interface as the host's timer does.
HRESULT TimerCall(THardDeviceViewerForm& viewer, long id) {
  return Call(viewer.Dispatch(), hostsim::disp::TimerHandler_HandleTimer, {I4(id)}).Hr;
}

TEST_F(Viewer, ThePlateAndEveryCaptionAsDesigned) {
  auto viewer = MakeViewer();
  EXPECT_EQ(L"Hard Device Viewer", Text(viewer.get()));
  EXPECT_EQ(724, viewer->ClientWidth());
  EXPECT_EQ(129, viewer->ClientHeight());
  EXPECT_EQ(97, viewer->Panel_Main->Height());
  EXPECT_EQ(97, viewer->GetPreferredHeight());
  EXPECT_EQ(L"Discrete Device Controller", viewer->Panel_Main->Title());
  EXPECT_EQ(-1, viewer->Panel_Main->PortID());
  const std::pair<const tvk::TControl*, const wchar_t*> captions[] = {
      {viewer->Header_DeviceActions, L"DEVICE ACTIONS"},
      {viewer->Header_DeviceStatus, L"DEVICE STATUS"},
      {viewer->Button_ResetHardDevice, L"Reset"},
      {viewer->Button_Download, L"Download"},
      {viewer->Button_CompileAndDownload, L"Compile && Download"},
      {viewer->Button_ChooseAndDownload, L"Choose && Download"},
      {viewer->Button_DeviceInformation, L"Device Information"},
      {viewer->Button_ShowPinsState, L"JTAG Viewer Panel"},
      {viewer->Label_Programmed, L"Programmed"},
      {viewer->Label_Reset, L"Reset"},
      {viewer->Label_Status, L""},  // emptied at construction
  };
  for (const auto& [control, caption] : captions) EXPECT_EQ(caption, Text(control)) << control->Name();
  EXPECT_EQ(380, viewer->Panel_Status->Width());
  EXPECT_EQ(L"Arial", std::wstring(viewer->Label_Status->Font().Name()));
  EXPECT_FALSE(viewer->CheckBox_LEDProgrammed->Enabled());  // display only
  EXPECT_FALSE(viewer->CheckBox_LEDReset->Enabled());
  EXPECT_EQ(tvk::TInstrumentCheckStyle::icsGreen, viewer->CheckBox_LEDProgrammed->GlyphStyle());
  EXPECT_EQ(tvk::TFormBorderStyle::bsNone, viewer->BorderStyle());  // the rack base's
}

TEST_F(Viewer, TheStatusTimerRunsEverySecondOnTheViewersOwnDispatch) {
  auto viewer = MakeViewer();
  ASSERT_EQ(1u, Host.Timers().size());
  const hostsim::SimClient::SimTimer& timer = Host.Timers()[0];
  EXPECT_EQ(1000, timer.Interval);
  EXPECT_TRUE(timer.Enabled);  // created running
  EXPECT_EQ(static_cast<IDispatch*>(viewer->Dispatch()), timer.Handler);
  EXPECT_EQ(uint32_t(timer.Id), viewer->StatusUpdateTimerID());
  EXPECT_EQ((TEventLog{L"panel created"}), Log);
}

TEST_F(Viewer, DeviceActionsRunTheirProcessWithTheChainPositionFromOne) {
  struct Case {
    const wchar_t* Button;
    const wchar_t* Process;
    const wchar_t* Parameters;
  };
  const Case cases[] = {
      {L"Button_ResetHardDevice", hn::kFpgaFlowDeviceAction, L"Target=HardDevice|Action=ResetDevice|Index=1"},
      {L"Button_Download", hn::kFpgaFlowFlowAction, L"Action=DownloadExistingHardDeviceFile|Index=1"},
      {L"Button_CompileAndDownload", hn::kFpgaFlowFlowAction, L"Action=CompileHardDeviceFileAndDownload|Index=1"},
      {L"Button_ChooseAndDownload", hn::kFpgaFlowDeviceAction, L"Target=HardDevice|Action=ChooseAndDownload|Index=1"},
  };
  auto viewer = MakeViewer();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Button);
    Host.Client().ClearCalls();
    Driver->ClearCalls();
    DeviceState = 1;
    ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), c.Button));
    EXPECT_EQ((std::vector<std::wstring>{std::wstring(c.Process) + L";" + c.Parameters}), Launches());
    EXPECT_EQ(2u, Driver->CallCount(kGetDeviceState));  // the lamps at once, the state asked for each
    EXPECT_TRUE(viewer->CheckBox_LEDReset->Checked());
    viewer->CheckBox_LEDReset->SetChecked(false);
  }
  // A device further down the chain.
  Device->ReturnInt(kGetJTagIndex, 11);
  Host.Client().ClearCalls();
  ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), L"Button_ResetHardDevice"));
  EXPECT_EQ((std::vector<std::wstring>{std::wstring(hn::kFpgaFlowDeviceAction) +
                                       L";Target=HardDevice|Action=ResetDevice|Index=12"}),
            Launches());
}

TEST_F(Viewer, DeviceInformationBrowsesTheDeviceManagerAndLeavesTheLampsAlone) {
  auto viewer = MakeViewer();
  const auto before = DeviceInformationCalls();
  Driver->ClearCalls();
  ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), L"Button_DeviceInformation"));
  auto expected = before;
  expected.push_back(L"XC3S200|Mode=Browse");
  EXPECT_EQ(expected, DeviceInformationCalls());
  EXPECT_TRUE(Launches().empty());
  EXPECT_EQ(0u, Driver->CallCount(kGetDeviceState));

  // Without a device manager nothing happens.
  SetDeviceManagerAbsent(true);
  ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), L"Button_DeviceInformation"));
  SetDeviceManagerAbsent(false);
  EXPECT_EQ(expected, DeviceInformationCalls());
  EXPECT_TRUE(Launches().empty());
}

TEST_F(Viewer, AGenericDeviceHasNoDownloadsAndMapsItsJtagId) {
  Device->ReturnString(kGetDeviceName, L"genericdevice");
  Device->ReturnInt(kGetJTagIndex, 0);
  auto viewer = MakeViewer();
  viewer->SetState_Controls();
  for (const tvk::TControl* key : {static_cast<tvk::TControl*>(viewer->Button_ResetHardDevice),
                                   static_cast<tvk::TControl*>(viewer->Button_Download),
                                   static_cast<tvk::TControl*>(viewer->Button_CompileAndDownload),
                                   static_cast<tvk::TControl*>(viewer->Button_ChooseAndDownload)})
    EXPECT_FALSE(key->Enabled()) << key->Name();
  EXPECT_TRUE(viewer->Button_DeviceInformation->Enabled());
  EXPECT_TRUE(viewer->Button_ShowPinsState->Enabled());

  const auto before = DeviceInformationCalls();
  Host.Client().ClearCalls();
  ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), L"Button_DeviceInformation"));
  EXPECT_EQ((std::vector<std::wstring>{std::wstring(hn::kFpgaFlowDeviceAction) +
                                       L";Target=HardDevice|Action=ConfigureJTAGIdMapping|Index=1"}),
            Launches());
  EXPECT_EQ(before, DeviceInformationCalls());

  // Another name enables them again.
  Device->ReturnString(kGetDeviceName, L"XC3S200");
  viewer->SetState_Controls();
  EXPECT_TRUE(viewer->Button_Download->Enabled());
}

TEST_F(Viewer, TheLampsFollowTheDriverStateOnTheStatusTimerOnly) {
  auto viewer = MakeViewer();
  const long id = Host.Timers().at(0).Id;
  struct Case {
    long State;
    bool Reset, Programmed;
  };
  for (const Case c : {Case{1, true, false}, Case{2, false, true}, Case{3, false, false}, Case{0, false, false},
                       Case{-1, false, false}}) {
    SCOPED_TRACE(c.State);
    DeviceState = c.State;
    Driver->ClearCalls();
    EXPECT_EQ(S_OK, Host.FireTimer(id));
    EXPECT_EQ(c.Reset, viewer->CheckBox_LEDReset->Checked());
    EXPECT_EQ(c.Programmed, viewer->CheckBox_LEDProgrammed->Checked());
    EXPECT_EQ(2u, Driver->CallCount(kGetDeviceState));
  }
  // Another timer's call reaches the viewer and changes nothing.
  DeviceState = 2;
  Driver->ClearCalls();
  EXPECT_EQ(S_OK, TimerCall(*viewer, id + 7));
  EXPECT_FALSE(viewer->CheckBox_LEDProgrammed->Checked());
  EXPECT_EQ(0u, Driver->CallCount(kGetDeviceState));
  // The base answers no other identifier, nor does the timer handler.
  EXPECT_NE(S_OK, Call(viewer->Dispatch(), 4711).Hr);
}

TEST_F(Viewer, AFailingDriverFailsOnlyTheTimerCall) {
  auto viewer = MakeViewer();
  bool fail = true;
  Driver->On(kGetDeviceState, [&](std::vector<VARIANT*>&, VARIANT* r) {
    if (fail) return DISP_E_EXCEPTION;
    hostsim::SetResultInt(r, 1);
    return S_OK;
  });
  const long id = Host.Timers().at(0).Id;
  EXPECT_TRUE(FAILED(Host.FireTimer(id)));  // caught at the boundary, answered as a failure
  fail = false;
  EXPECT_EQ(S_OK, Host.FireTimer(id));
  EXPECT_TRUE(viewer->CheckBox_LEDReset->Checked());
}

TEST_F(Viewer, TheProjectLineAndThePanelGetTheProjectDetails) {
  auto viewer = MakeViewer();
  Log.clear();
  viewer->SetProjectDetails(L"", L"");
  EXPECT_EQ(L"No Compatible Project Configurations Found", Text(viewer->Label_Status));
  viewer->SetProjectDetails(L"C:\\Designs\\Board Demo\\Counter.PrjFpg", L"Spartan3 Starter");
  EXPECT_EQ(L"Counter / Spartan3 Starter", Text(viewer->Label_Status));
  viewer->SetProjectDetails(L"", L"T");
  EXPECT_EQ(L" / T", Text(viewer->Label_Status));
  EXPECT_EQ((TEventLog{L"panel SetProjectDetails(,)",
                       L"panel SetProjectDetails(C:\\Designs\\Board Demo\\Counter.PrjFpg,Spartan3 Starter)",
                       L"panel SetProjectDetails(,T)"}),
            Log);
}

TEST_F(Viewer, ThePanelHearsNotificationsNetsStateVisibilityAndHiding) {
  auto viewer = MakeViewer();
  Log.clear();
  auto notification = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  auto net = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  viewer->ReceiveNotification(tvk::INotification(notification.Get()));
  EXPECT_TRUE(viewer->LiveUpdateNet(tvk::INet(net.Get()), true));
  EXPECT_FALSE(viewer->LiveUpdateNet(tvk::INet(net.Get()), false));
  viewer->SetState_Controls();
  ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), L"Button_ShowPinsState"));
  viewer->Hidden();
  EXPECT_EQ((TEventLog{L"panel ReceiveNotification", L"panel LiveUpdateNet(true)", L"panel LiveUpdateNet(false)",
                       L"panel SetState_Controls", L"panel SetVisible", L"panel SetHidden"}),
            Log);
}

TEST_F(Viewer, WithoutAPanelTheViewerStillWorks) {
  tvk::SetPinStatesPanelMaker(nullptr);
  auto viewer = MakeViewer();
  EXPECT_EQ(nullptr, viewer->PinStatesPanel());
  ASSERT_TRUE(hostsim::ClickModuleControl(viewer->Handle(), L"Button_ShowPinsState"));
  EXPECT_FALSE(viewer->LiveUpdateNet(tvk::INet(), true));
  viewer->SetState_Controls();
  viewer->Hidden();
  EXPECT_TRUE(Log.empty());
}

TEST_F(Viewer, DestructionKillsTheTimerThenRemovesThePanelAndNoCallReachesTheFreedForm) {
  Timers = &Host;
  auto viewer = MakeViewer();
  const long id = Host.Timers().at(0).Id;
  // The host's counting on the viewer's dispatch does not end the form.
  IDispatch* dispatch = viewer->Dispatch();
  for (int k = 0; k < 3; ++k) dispatch->AddRef();
  for (int k = 0; k < 5; ++k) dispatch->Release();
  EXPECT_EQ(S_OK, Host.FireTimer(id));

  Log.clear();
  viewer.reset();
  // The timer was gone when the panel went.
  EXPECT_EQ((TEventLog{L"panel destroyed with 0 timers"}), Log);
  EXPECT_EQ(S_FALSE, Host.FireTimer(id));
}

TEST_F(Viewer, DestroyedViewersLeaveNoTimerBehind) {
  {
    auto first = MakeViewer();
    auto second = MakeViewer();
    EXPECT_EQ(2u, Host.Timers().size());
    EXPECT_NE(first->StatusUpdateTimerID(), second->StatusUpdateTimerID());
  }
  EXPECT_TRUE(Host.Timers().empty());
  EXPECT_EQ(S_FALSE, Host.FireTimer(1));  // nothing left to call
}

TEST_F(Viewer, TheModulesDriverUserInterfaceMakesTheViewer) {
  std::unique_ptr<tvk::TDriverForm> form =
      tvk::ModuleDriverUI().CreateHardDeviceViewerForm(tvk::ITovikDevice(Device.Get()), tvk::IJTagDevice());
  ASSERT_NE(nullptr, dynamic_cast<THardDeviceViewerForm*>(form.get()));
  EXPECT_EQ(1u, Host.Timers().size());
  form.reset();
  EXPECT_TRUE(Host.Timers().empty());
}

}  // namespace
}  // namespace harddeviceviewer_test
