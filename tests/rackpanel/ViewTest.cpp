// The served rack view the driver hands the host, the rack form's bases
// (captions, identification line, registers, presses on the plate) and the
// host's whole road: a rack holds the viewer, its timer polls, real clicks.
#include "RackPanelTest.h"

#include "ZUL.HostModules.h"

#include <chrono>

namespace rackpanel_test {
namespace {

using tvk::TARM_BaseInstrumentForm;

constexpr DISPID kSetParentWindow = 49, kAttachToParent = 50, kGetHandle = 54, kSetBounds = 56, kShow = 58,
                 kUpdateDisplay = 503697, kGetProjectDetails = 503698, kSetProjectDetails = 503699,
                 kGetPreferredBounds = 503700, kSetViewBounds = 503701, kReceiveNotification = 503703,
                 kRelease = 503704;

VARIANT RefStr(BSTR* target) {
  VARIANT v = Typed(VT_BYREF | VT_BSTR);
  v.pbstrVal = target;
  return v;
}

// The form behind a view, found from its window as the host would not need to.
TARM_BaseInstrumentForm* PanelOf(IDispatch* view) {
  const TCall handle = Call(view, kGetHandle);
  return dynamic_cast<TARM_BaseInstrumentForm*>(
      tvk::TWinControl::FindControl(reinterpret_cast<HWND>(static_cast<intptr_t>(handle.Int()))));
}

class RackView : public RackPanel {
protected:
  void SetUp() override {
    RackPanel::SetUp();
    if (HasFatalFailure()) return;
    HaltAt(kLoop);
    ASSERT_EQ(S_OK, Call(Driver, kCreateRackViewer).Hr);
    View = Call(Driver, kGetRackViewer).Dispatch();
    ASSERT_NE(nullptr, View);
    View->AddRef();
    Rack = hostsim::SimRack::Make();
  }
  void TearDown() override {
    if (View) View->Release();
    RackPanel::TearDown();
  }
  // The view held in the rack and shown, as the host does.
  TARM_BaseInstrumentForm* Hold() {
    EXPECT_EQ(S_OK, Call(View, kSetParentWindow, {Obj(Rack.Get())}).Hr);
    EXPECT_EQ(S_OK, Call(View, kAttachToParent).Hr);
    EXPECT_EQ(S_OK, Call(View, kSetBounds, {I4(0), I4(0), I4(724), I4(108)}).Hr);
    EXPECT_EQ(S_OK, Call(View, kShow).Hr);
    TARM_BaseInstrumentForm* panel = PanelOf(View);
    EXPECT_NE(nullptr, panel);
    return panel;
  }
  std::array<long, 4> PreferredBounds() {
    std::array<long, 4> b{-7, -7, -7, -7};
    EXPECT_EQ(S_OK, Call(View, kGetPreferredBounds, {RefI4(&b[0]), RefI4(&b[1]), RefI4(&b[2]), RefI4(&b[3])}).Hr);
    return b;
  }

  IDispatch* View = nullptr;  // counted
  hostsim::SimRef<hostsim::SimRack> Rack;
};

TEST_F(RackView, AnswersTheInstrumentViewIdentifiers) {
  for (const wchar_t* name : {L"InstrumentView", L"iNSTRUMENTvIEW", L"ExternalForm"}) EXPECT_TRUE(Supports(View, name));
  EXPECT_FALSE(Supports(View, L"InstrumentViews"));

  BSTR path = SysAllocString(L"old"), target = SysAllocString(L"old");
  EXPECT_EQ(S_OK, Call(View, kGetProjectDetails, {RefStr(&path), RefStr(&target)}).Hr);
  EXPECT_EQ(std::wstring(), std::wstring(path ? path : L""));
  EXPECT_EQ(std::wstring(), std::wstring(target ? target : L""));
  EXPECT_EQ(S_OK, Call(View, kSetProjectDetails, {Str(L"C:\\Board.PrjEmb"), Str(L"Target")}).Hr);
  EXPECT_EQ(S_OK, Call(View, kGetProjectDetails, {RefStr(&path), RefStr(&target)}).Hr);
  EXPECT_EQ(L"C:\\Board.PrjEmb", std::wstring(path));
  EXPECT_EQ(L"Target", std::wstring(target));
  SysFreeString(path);
  SysFreeString(target);

  TARM_BaseInstrumentForm* panel = Hold();
  EXPECT_EQ(L"C:\\Board.PrjEmb", panel->ProjectPath());
  ASSERT_EQ(S_OK, Call(View, kSetViewBounds, {I4(30), I4(40), I4(500), I4(90)}).Hr);
  EXPECT_EQ(30, panel->Left());
  EXPECT_EQ((std::array<long, 4>{0, 0, 724, 108}), PreferredBounds());  // wherever the form is

  // A value where a reference belongs is refused.
  long out = 0;
  EXPECT_EQ(tvk::kE_UNEXPECTED, Call(View, kGetPreferredBounds, {I4(1), RefI4(&out), RefI4(&out), RefI4(&out)}).Hr);
  EXPECT_EQ(tvk::kE_UNEXPECTED, Call(View, kGetProjectDetails, {Str(L"a"), Str(L"b")}).Hr);
  EXPECT_EQ(S_OK, Call(View, kUpdateDisplay).Hr);
  EXPECT_EQ(1, panel->Panel_Main->JtagID());
  // A host call failing inside an operation stops at the view's boundary.
  Board->Device().FailWith(503629, hostsim::Fault{});
  EXPECT_EQ(tvk::kE_UNEXPECTED, Call(View, kUpdateDisplay).Hr);
}

TEST(RackViewWithoutForm, SucceedsDoingNothing) {
  auto* view = tvk::New<tvk::TRackInstrumentView>(nullptr);
  IDispatch* d = static_cast<IDispatch*>(view);
  d->AddRef();
  long b[4] = {-7, -7, -7, -7};
  EXPECT_EQ(S_OK, Call(d, kGetPreferredBounds, {RefI4(&b[0]), RefI4(&b[1]), RefI4(&b[2]), RefI4(&b[3])}).Hr);
  EXPECT_EQ((std::array<long, 4>{-7, -7, -7, -7}), (std::array<long, 4>{b[0], b[1], b[2], b[3]}));
  for (DISPID id : {kUpdateDisplay, kRelease}) EXPECT_EQ(S_OK, Call(d, id).Hr) << id;
  EXPECT_EQ(S_OK, Call(d, kSetViewBounds, {I4(1), I4(2), I4(3), I4(4)}).Hr);
  EXPECT_EQ(S_OK, Call(d, kReceiveNotification, {Obj(nullptr)}).Hr);
  d->Release();
}

// A device at chain index 3 on no channel, named STM32F103C8, that is running.
hostsim::SimRef<hostsim::FakeHostObject> LoneDevice() {
  auto device = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  device->ReturnInt(503629, 3);
  device->ReturnObject(503630, nullptr);
  device->ReturnString(503380, L"STM32F103C8");
  device->ReturnString(503645, L"Running");
  return device;
}

TEST_F(RackPanel, CaptionsAndTheIdentificationLine) {
  auto device = LoneDevice();
  const tvk::ITovikDevice lone(device.Get());
  std::unique_ptr<TARM_BaseInstrumentForm> panel(tvk::CreateARMInstrumentForm(lone, tvk::IJTagDevice()));
  EXPECT_EQ(L"  JTag Index: 3", panel->Caption());
  panel->Display(lone);
  EXPECT_EQ(L"  JTAG Index: 3", panel->Caption());
  panel->UpdateCoreInformation();
  EXPECT_EQ(3, panel->Panel_Main->JtagID());
  EXPECT_EQ(-1, panel->Panel_Main->PortID());
  EXPECT_EQ(L"(STM32F103C8 )", panel->Panel_Main->CoreName());

  // With the board's channel its port is found among the host's; a design
  // core from the workbench names itself.
  panel->SetTovikDevice(Device());
  Host.OnStartServer([](const std::wstring&) {
    wchar_t system[MAX_PATH + 1] = {};
    GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, system, nullptr);
    return LoadLibraryW((std::wstring(system) + L"\\HostFpgaFlow.dll").c_str()) != nullptr;
  });
  ASSERT_TRUE(tvk::GetTovikWorkbench());
  using SetCore = void(__stdcall*)(const wchar_t*, const wchar_t*);
  auto setCore = reinterpret_cast<SetCore>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"HostFpgaFlow.dll"), "HostSim_SetDesignCore")));
  ASSERT_NE(nullptr, setCore);
  setCore(L"ARM_Core", L"Cortex-M3");
  panel->UpdateCoreInformation();
  setCore(nullptr, nullptr);
  EXPECT_EQ(L"ARM_Core (Cortex-M3)", panel->Panel_Main->CoreName());
  EXPECT_EQ(1, panel->Panel_Main->JtagID());
}

TEST_F(RackPanel, ShowRegisterValueWritesTheLabel) {
  auto reg = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  reg->Accept(503833);
  reg->ReturnInt(503838, 16);
  reg->ReturnInt(503839, 0xBEEF);
  const tvk::IProcessorRegister some(reg.Get());
  std::unique_ptr<TARM_BaseInstrumentForm> panel(tvk::CreateARMInstrumentForm(Device(), tvk::IJTagDevice()));
  struct Case {
    bool Empty, Hex, Decimal, Binary;
    uint32_t Value;
    int Bits;
    const wchar_t* Text;
  };
  const Case cases[] = {
      {true, true, true, true, 5, 32, L""},
      {false, true, true, false, 0x1234, 32, L"0x00001234 - 4660"},
      {false, true, false, false, 1, 1, L"0x01"},
      {false, true, false, false, 0x1FF, 9, L"0x1FF"},
      {false, true, false, false, 0xABC, 12, L"0xABC"},
      {false, true, false, false, 0x1234567, 29, L"0x01234567"},
      {false, false, true, true, 0x35, 6, L"53 - 11-0101"},
      {false, true, false, false, 0, 0, L"0xBEEF"},  // refreshed from the register
  };
  for (const Case& c : cases) {
    panel->Label_Edit_PC->SetCaption(L"before");
    panel->ShowRegisterValue(c.Empty ? tvk::IProcessorRegister() : some, *panel->Label_Edit_PC, c.Hex, c.Decimal,
                             c.Binary, c.Value, c.Bits);
    EXPECT_EQ(c.Text, Text(panel->Label_Edit_PC)) << c.Value << " " << c.Bits;
  }
  EXPECT_EQ(1u, reg->CallCount(503833));
}

TEST_F(RackPanel, ARegisterReadWhileTheDeviceIsBusyAnswersZeroWithoutTheHost) {
  std::unique_ptr<TARM_BaseInstrumentForm> panel(tvk::CreateARMInstrumentForm(Device(), tvk::IJTagDevice()));
  auto reg = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  uint32_t nested = 7;
  std::size_t lookupsInside = 0;
  reg->Serve(503839, "", [&](std::vector<VARIANT*>&, VARIANT* r) {
    const std::size_t before = DeviceCalls(503661);
    nested = panel->GetRegisterValue(4);
    lookupsInside = DeviceCalls(503661) - before;
    panel->SetRegisterValue(4, 9);  // a write does not look at the flag
    hostsim::SetResultInt(r, 0x55);
    return S_OK;
  });
  reg->Accept(503844);
  Board->Device().ReturnObject(503661, reg.Get());
  EXPECT_EQ(0x55u, panel->GetRegisterValue(4));
  EXPECT_EQ(0u, nested);
  EXPECT_EQ(0u, lookupsInside);
  EXPECT_EQ(1u, reg->CallCount(503844));
  EXPECT_FALSE(panel->DeviceBusy());
}

TEST_F(RackView, PressesOnThePlateReachTheRack) {
  TARM_BaseInstrumentForm* panel = Hold();
  HWND plate = panel->Panel_Main->Handle();
  for (UINT button : {UINT(WM_LBUTTONDOWN), UINT(WM_RBUTTONDOWN), UINT(WM_MBUTTONDOWN)}) {
    SendMessageW(plate, button, 0, MAKELPARAM(5, 7));
    SendMessageW(plate, button + 1, 0, MAKELPARAM(5, 7));
  }
  const auto& got = Rack->MouseMessages();
  ASSERT_EQ(2u, got.size());  // nothing for the middle button
  EXPECT_EQ(UINT(WM_LBUTTONDOWN), got[0].Msg);
  EXPECT_EQ(UINT(WM_RBUTTONDOWN), got[1].Msg);
  for (const auto& m : got) {
    EXPECT_EQ(5u, m.WParam);  // X and Y apart, not packed
    EXPECT_EQ(7, m.LParam);
  }
}

// The host's road: the rack holds the viewer, the message loop runs its
// timer, real clicks move the core, and the host lets it go.
TEST_F(RackView, TheHostsRoadFromCreationToRelease) {
  const std::size_t handlers = Host.NotificationHandlerCount();
  TARM_BaseInstrumentForm* panel = Hold();
  HWND window = panel->Handle();
  EXPECT_EQ((std::array<long, 4>{0, 0, 724, 108}), PreferredBounds());
  const long long ticks = Board->Device().CallCount(503645);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Board->Device().CallCount(503645) < std::size_t(ticks + 2) && std::chrono::steady_clock::now() < until) {
    hostsim::PumpMessages();
    Sleep(10);
  }
  EXPECT_LE(std::size_t(ticks + 2), Board->Device().CallCount(503645));
  EXPECT_EQ(L"0x08000100", Text(panel->Label_Edit_PC));
  EXPECT_EQ(L"0xBF00", Text(panel->Label_Edit_Instruction));

  ASSERT_TRUE(hostsim::ClickModuleControl(Rack->Window(), L"Button_Continue"));
  EXPECT_TRUE(Call(Driver, kProcessorIsRunning).Bool());
  ASSERT_TRUE(hostsim::ClickModuleControl(Rack->Window(), L"Button_Pause"));
  EXPECT_FALSE(Call(Driver, kProcessorIsRunning).Bool());
  ASSERT_TRUE(hostsim::ClickModuleControl(Rack->Window(), L"Panel_Main", WM_RBUTTONDOWN));
  ASSERT_EQ(1u, Rack->MouseMessages().size());
  EXPECT_EQ(UINT(WM_RBUTTONDOWN), Rack->MouseMessages()[0].Msg);

  EXPECT_EQ(S_OK, Call(View, kRelease).Hr);
  View->Release();
  View = nullptr;
  EXPECT_EQ(S_OK, Call(Driver, kReleaseResources).Hr);
  hostsim::PumpMessages();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, hostsim::FindModuleControl(Rack->Window(), L"Panel_Main"));
  // The view's notification handler went with it: a late notification reaches nothing.
  EXPECT_EQ(handlers - 1, Host.NotificationHandlerCount());
  auto late = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  EXPECT_EQ(S_OK, Host.Notify(late.Get()));
}

}  // namespace
}  // namespace rackpanel_test

namespace rackpanel_test {
namespace {

// The form's automation interface: no type information, no names, no
// identifiers of its own, and no say over the form's life.
TEST_F(RackPanel, TheFormAnswersIDispatchWithoutControllingItsLife) {
  std::unique_ptr<tvk::TARM_BaseInstrumentForm> panel(tvk::CreateARMInstrumentForm(Device(), tvk::IJTagDevice()));
  IDispatch* form = nullptr;
  ASSERT_TRUE(panel->GetInterface(IID_IDispatch, reinterpret_cast<void**>(&form)));
  ASSERT_EQ(panel->Dispatch(), form);
  UINT count = 9;
  ITypeInfo* info = nullptr;
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"Caption");
  EXPECT_EQ(tvk::kE_NOTIMPL, form->GetTypeInfoCount(&count));
  EXPECT_EQ(tvk::kE_NOTIMPL, form->GetTypeInfo(0, 0, &info));
  EXPECT_EQ(tvk::kE_NOTIMPL, form->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  EXPECT_EQ(tvk::kE_NOTIMPL, Call(form, 267, {I4(1)}).Hr);
  EXPECT_EQ(1u, form->AddRef());
  EXPECT_EQ(1u, form->Release());
  EXPECT_EQ(1u, form->Release());  // the form lives on
  EXPECT_EQ(L"ARM_BaseInstrumentForm", panel->Name());
}

}  // namespace
}  // namespace rackpanel_test
