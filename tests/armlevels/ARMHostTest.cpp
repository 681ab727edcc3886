// The ARM levels as the host meets them: every ARM dispatch identifier
// through Invoke, memory initialisation from the project's embedded memories
// (found through the host's workbench), and the ARM instrument panel as the
// rack form.
#include "ARMDouble.h"
#include "Tarnwell_Driver.h"
#include "Tovik.DriverUI.h"

#include <windows.h>


namespace armlevels_test {
namespace {

using namespace testsupport;
using hostsim::FakeHostObject;
using hostsim::SimRef;

// ---- Every ARM identifier

TEST(ARMDispatch, EveryIdentifierThroughInvoke) {
  TDeviceHost host(true);
  auto driver = MakeDriver<TRecordingV7M>();
  host.Lend(*driver);
  IDispatch* d = AsDispatch(*driver);
  driver->Core[16] = 0x61000000;
  driver->LoadBytes(0x20000000, {0xF0, 0xE1, 0xD2, 0xC3});

  // 509025/509026: the driver's JTAG channel opened and closed
  EXPECT_EQ(Call(d, 509025).Hr, S_OK);
  EXPECT_EQ(host.Channel().CallCount(hostsim::disp::JTagChannel_Open), 1u);
  EXPECT_EQ(Call(d, 509026).Hr, S_OK);
  EXPECT_EQ(host.Channel().CallCount(hostsim::disp::JTagChannel_Close), 1u);
  // 509027/509028: EmbeddedICE registers do nothing on this chain
  EXPECT_EQ(Call(d, 509027, {I4(12), I4(5)}).Hr, S_OK);
  auto ice = Call(d, 509028, {I4(12)});
  EXPECT_EQ(ice.Type(), VT_I4);
  EXPECT_EQ(ice.Int(), 0);
  // 509029/509030: the level's register operations
  EXPECT_EQ(Call(d, 509029, {I4(16)}).Int(), 0x61000000);
  EXPECT_EQ(Call(d, 509030, {I4(4), I4(0x99)}).Hr, S_OK);
  EXPECT_EQ(driver->Core[4], 0x99u);
  // 509031/509032: the ARM base's banked versions: nothing reaches the core
  driver->Accesses.clear();
  EXPECT_EQ(Call(d, 509031, {I4(13), I4(0x13)}).Int(), 0);
  EXPECT_EQ(Call(d, 509032, {I4(13), I4(1), I4(0x13)}).Hr, S_OK);
  EXPECT_TRUE(driver->Accesses.empty());
  // 509033 to 509038: memory; the byte comes zero-extended
  auto byte = Call(d, 509033, {I4(0x20000000)});
  EXPECT_EQ(byte.Type(), VT_I4);
  EXPECT_EQ(byte.Int(), 0xF0);
  EXPECT_EQ(Call(d, 509034, {I4(0x20000002)}).Int(), 0xC3D2);
  EXPECT_EQ(Call(d, 509035, {I4(0x20000000)}).Int(), long(0xC3D2E1F0));
  driver->Accesses.clear();
  EXPECT_EQ(Call(d, 509036, {I4(0x20000010), I4(0x1A5)}).Hr, S_OK);  // the low byte
  EXPECT_EQ(Call(d, 509037, {I4(0x20000012), I4(0x12345678)}).Hr, S_OK);
  EXPECT_EQ(Call(d, 509038, {I4(0x20000014), I4(long(0xCAFEF00D))}).Hr, S_OK);
  EXPECT_EQ(driver->Accesses, (std::vector<Access>{{"wb", 0x20000010, 0xA5},
                                                   {"wh", 0x20000012, 0x12345678},
                                                   {"ww", 0x20000014, 0xCAFEF00D}}));
  // 509039 to 509046: state operations
  driver->Events.clear();
  for (DISPID id : {509039, 509040, 509041, 509044, 509045, 509046}) EXPECT_EQ(Call(d, id).Hr, S_OK) << id;
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"ChangeToARMState", "ChangeToARMState"}));  // SaveState, then 509044
  EXPECT_EQ(Call(d, 509042, {I4(0x10)}).Hr, S_OK);
  EXPECT_EQ(Call(d, 509043).Hr, S_OK);
  // 509047 to 509053: MMU and memory initialisation
  auto base = Call(d, 509047);
  EXPECT_EQ(base.Type(), VT_I8);
  EXPECT_EQ(base.Int64(), 0);
  long c = 0, dom = 0, ap = 0;
  EXPECT_EQ(Call(d, 509048, {I8(0x30000000), RefI4(&c), RefI4(&dom), RefI4(&ap)}).Int64(), 0x30000000LL);
  auto tiny = Call(d, 509049);
  EXPECT_EQ(tiny.Type(), VT_BOOL);
  EXPECT_FALSE(tiny.Bool());
  driver->Events.clear();
  EXPECT_EQ(Call(d, 509050).Hr, S_OK);
  EXPECT_EQ(Call(d, 509051).Hr, S_OK);
  EXPECT_EQ(Call(d, 509052, {Bool(true), Bool(false), Bool(true)}).Hr, S_OK);
  EXPECT_EQ(Call(d, 509053).Hr, S_OK);
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"EnableMMUCaches", "DisableMMUCaches()",
                                                      "DisableMMUCaches(1,0,1)", "InitializeMemory"}));

  // identifiers beside the table are not the ARM level's
  EXPECT_EQ(Call(d, 509024).Hr, kE_NOTIMPL);
  EXPECT_EQ(Call(d, 509054).Hr, kE_NOTIMPL);
  // a failed operation's code comes back unchanged; a bad argument is E_UNEXPECTED
  driver->FailAt = int(driver->Accesses.size());
  EXPECT_EQ(Call(d, 509035, {I4(0x20000000)}).Hr, kFailure);
  EXPECT_EQ(Call(d, 509035, {Str(L"no address")}).Hr, kE_UNEXPECTED);
  EXPECT_EQ(Call(d, 509035).Hr, kE_UNEXPECTED);
}

TEST(ARMDispatch, TheModulesDriversAreARMv7MDrivers) {
  DispatchFixStartup();
  DeviceDataUnitStartup();
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(0));
  IDispatch* d = AsDispatch(*driver);
  EXPECT_EQ(Call(d, 503771).Int(), 30);
  EXPECT_EQ(Call(d, 503769, {I4(29)}).Text(), L"LC (pseudo)");
  EXPECT_EQ(Call(d, 503772).Int(), 29);
  EXPECT_TRUE(Call(d, kDispSupportsService, {Str(L"ARMEmbeddedICE")}).Bool());
  EXPECT_TRUE(Call(d, kDispSupportsService, {Str(L"ARMTovikDriver")}).Bool());
  EXPECT_TRUE(Call(d, kDispSupportsService, {Str(L"FlashWriters")}).Bool());  // the processor level's still
  EXPECT_TRUE(Call(d, 503761, {Str(L"Action=ResetDevice")}).Bool());
  auto value = Call(d, 509029, {I4(16)});  // no core level yet: the register reads 0
  EXPECT_EQ(value.Hr, S_OK);
  EXPECT_EQ(value.Int(), 0);
  EXPECT_EQ(Call(d, 509047).Hr, S_OK);
  // the identifiers the ARM levels do not answer still reach the processor level's services
  EXPECT_EQ(Call(d, 503941).Hr, S_OK);  // the memory map's architecture-section count
}

// ---- Memory initialisation

std::wstring SystemDir() {
  wchar_t full[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, full, nullptr);
  return full;
}

using TSetObject = void(__stdcall*)(IDispatch*);

// Loads a stand-in host module (as the host does) and binds its test hook.
TSetObject HostHook(const wchar_t* module, const char* hook) {
  HMODULE handle = LoadLibraryW((SystemDir() + L"\\" + module).c_str());
  if (!handle) return nullptr;
  return reinterpret_cast<TSetObject>(reinterpret_cast<void*>(GetProcAddress(handle, hook)));
}

SimRef<FakeHostObject> NewHostObject() { return SimRef<FakeHostObject>::Adopt(new FakeHostObject); }

struct TInitialValue {
  const wchar_t* Name;
  long long Address, Value, Width;
  bool Answered = true;
};

// The workbench with one port and one link to a device of Id, whose project
// has embedded memories with the given initial values.
class MemoryInitialisation : public ::testing::Test {
protected:
  void SetUp() override {
    SetWorkbench = HostHook(L"HostFpgaFlow.dll", "HostSim_SetTovikWorkbench");
    SetWorkspace = HostHook(L"HostWorkspace.dll", "HostSim_SetWorkspace");
    ASSERT_NE(SetWorkbench, nullptr);
    ASSERT_NE(SetWorkspace, nullptr);
    Workbench->ReturnInt(504020, 1);  // GetPortCount
    Workbench->ReturnObject(504021, Port.Get());
    Port->ReturnObject(504095, JtagPort.Get());
    Port->ReturnInt(504099, 1);  // GetDeviceLinkCount
    Port->ReturnObject(504103, Link.Get());
    Link->ReturnObject(504080, LinkedDevice.Get());
    Link->ReturnObject(504082, Project.Get());
    LinkedDevice->ReturnString(hostsim::disp::TovikDevice_GetDeviceId, L"stm32-BOARD-1");  // case differs
    Workspace->Serve(508622, "i", [this](std::vector<VARIANT*>& args, VARIANT* r) {
      KindAsked = args[0]->lVal;
      hostsim::SetResultObject(r, Memories.Get());
      return S_OK;
    });
    Memories->Serve(508617, "ob", [this](std::vector<VARIANT*>& args, VARIANT*) {
      LoadedProject = args[0]->pdispVal == static_cast<IDispatch*>(Project.Get()) && args[1]->boolVal != VARIANT_FALSE;
      return S_OK;
    });
    SetWorkbench(static_cast<IDispatch*>(Workbench.Get()));
    SetWorkspace(static_cast<IDispatch*>(Workspace.Get()));
    Host.Lend(*Driver);
  }
  void TearDown() override {
    // later drivers find a workbench without ports
    static SimRef<FakeHostObject> empty = [] {
      auto bench = NewHostObject();
      bench->ReturnInt(504020, 0);
      return bench;
    }();
    if (SetWorkbench) SetWorkbench(static_cast<IDispatch*>(empty.Get()));
    if (SetWorkspace) SetWorkspace(nullptr);
  }

  // The embedded memories, each with its initial values.
  void SetMemories(std::vector<std::vector<TInitialValue>> memories) {
    Values = std::move(memories);
    MemoryObjects.clear();
    Memories->ReturnInt(508615, long(Values.size()));  // GetCount
    for (std::size_t m = 0; m < Values.size(); ++m) {
      auto memory = NewHostObject();
      memory->ReturnInt(508604, long(Values[m].size()));  // GetInitializerCount
      memory->On(508605, [this, m](std::vector<VARIANT*>& args, VARIANT* r) {
        const TInitialValue& v = Values[m].at(std::size_t(args[0]->lVal));
        SysFreeString(*args[1]->pbstrVal);
        *args[1]->pbstrVal = SysAllocString(v.Name);
        *args[2]->pllVal = v.Address;
        *args[3]->pllVal = v.Value;
        *args[4]->pllVal = v.Width;
        hostsim::SetResultBool(r, v.Answered);
        return S_OK;
      });
      MemoryObjects.push_back(memory);
    }
    Memories->On(508614, [this](std::vector<VARIANT*>& args, VARIANT* r) {
      hostsim::SetResultObject(r, MemoryObjects.at(std::size_t(args[0]->lVal)).Get());
      return S_OK;
    });
  }

  TSetObject SetWorkbench = nullptr, SetWorkspace = nullptr;
  SimRef<FakeHostObject> Workbench = NewHostObject(), Port = NewHostObject(), JtagPort = NewHostObject(),
                         Link = NewHostObject(), LinkedDevice = NewHostObject(), Project = NewHostObject(),
                         Workspace = NewHostObject(), Memories = NewHostObject();
  std::vector<SimRef<FakeHostObject>> MemoryObjects;
  std::vector<std::vector<TInitialValue>> Values;
  long KindAsked = -1;
  bool LoadedProject = false;
  TDeviceHost Host;
  std::unique_ptr<TRecordingV7M> Driver = MakeDriver<TRecordingV7M>();
};

TEST_F(MemoryInitialisation, WidthsFourTwoAndOneAreWrittenOthersPassedOver) {
  SetMemories({
      {{L"A", 0x20000000, 0x11223344, 4},
       {L"B", 0x20000010, 0xFFFFABCD, 2},
       {L"C", 0x20000020, 0x1FF, 1},
       {L"D", 0x20000030, 5, 8},
       {L"E", 0x20000034, 6, 3},
       {L"F", 0x20000038, 7, 4, false}},  // the host gives no value
      {{L"G", 0x120000040LL, 0x100000007LL, 4}},  // the low 32 bits of both
  });
  ASSERT_EQ(S_OK, Driver->InitializeMemory());
  EXPECT_EQ(KindAsked, 2);
  EXPECT_TRUE(LoadedProject);
  EXPECT_EQ(Driver->Accesses, (std::vector<Access>{{"ww", 0x20000000, 0x11223344},
                                                   {"wh", 0x20000010, 0xFFFFABCD},
                                                   {"wb", 0x20000020, 0xFF},
                                                   {"ww", 0x20000040, 0x7}}));
}

TEST_F(MemoryInitialisation, AResetWritesThemAndAFailedWriteEndsIt) {
  SetMemories({{{L"A", 0x20000000, 1, 4}, {L"B", 0x20000004, 2, 4}}});
  ASSERT_EQ(S_OK, Driver->ResetProcessor());
  EXPECT_EQ(Only(Driver->Accesses, {"ww"}).size(), 2u);
  Driver->Accesses.clear();
  Driver->FailAt = 0;
  EXPECT_EQ(kE_UNEXPECTED, Driver->InitializeMemory());
  EXPECT_EQ(Driver->Accesses.size(), 1u);
}

TEST_F(MemoryInitialisation, NothingWithoutAMatchingLinkOrProject) {
  SetMemories({{{L"A", 0x20000000, 1, 4}}});
  LinkedDevice->ReturnString(hostsim::disp::TovikDevice_GetDeviceId, L"another board");
  ASSERT_EQ(S_OK, Driver->InitializeMemory());
  LinkedDevice->ReturnString(hostsim::disp::TovikDevice_GetDeviceId, L"STM32-Board-1");
  Port->ReturnObject(504095, nullptr);  // a port without a JTAG port is passed over
  ASSERT_EQ(S_OK, Driver->InitializeMemory());
  Port->ReturnObject(504095, JtagPort.Get());
  Link->ReturnObject(504082, nullptr);
  ASSERT_EQ(S_OK, Driver->InitializeMemory());
  EXPECT_TRUE(Driver->Accesses.empty());
  Link->ReturnObject(504082, Project.Get());
  ASSERT_EQ(S_OK, Driver->InitializeMemory());
  EXPECT_EQ(Driver->Accesses.size(), 1u);
}

// ---- Rack form

class TRecordingUI final : public TDriverUI, public TInstrumentViewClass {
public:
  struct TForm final : TDriverInstrumentForm {
    void SetTovikDevice(const ITovikDevice&) override {}
    void Display(const ITovikDevice&) override {}
    void SetState_Controls() override {}
  };
  IDispatch* Device = nullptr;
  IDispatch* JTagDevice = nullptr;
  int ARMForms = 0;

  std::unique_ptr<TDriverForm> CreateHardDeviceViewerForm(const ITovikDevice&, const IJTagDevice&) override {
    ADD_FAILURE() << "an ARM driver makes no hard-device viewer";
    return nullptr;
  }
  std::unique_ptr<TDriverForm> CreateARMInstrumentForm(const ITovikDevice& device, const IJTagDevice& jtag) override {
    ++ARMForms;
    Device = device.ToPointer();
    JTagDevice = jtag.ToPointer();
    return std::make_unique<TForm>();
  }
  std::unique_ptr<TDriverDialog> CreateFlashMemoryUtilityForm(const IFlashWriters&, const IDeviceLink&) override {
    return nullptr;
  }
  const TInstrumentViewClass& RackInstrumentView() const override { return *this; }
  IInstrumentView Create(TDriverForm&) const override { return {}; }
};

TEST(ARMRackForm, TheARMInstrumentPanelForTheDeviceAndItsJTagDevice) {
  TRecordingUI ui;
  TDriverUI* previous = RegisterDriverUI(&ui);
  TDeviceHost host(true, 3);
  auto jtagDevice = NewHostObject();
  long indexAsked = -1;
  host.Channel().Serve(hostsim::disp::JTagChannel_GetJTagDevice, "i", [&](std::vector<VARIANT*>& args, VARIANT* r) {
    indexAsked = args[0]->lVal;
    hostsim::SetResultObject(r, jtagDevice.Get());
    return S_OK;
  });
  auto driver = MakeDriver<TRecordingV7M>();
  host.Lend(*driver);
  std::unique_ptr<TDriverForm> form = driver->CreateRackForm();
  EXPECT_NE(form, nullptr);
  EXPECT_EQ(ui.ARMForms, 1);
  EXPECT_EQ(ui.Device, host.Dispatch());
  EXPECT_EQ(ui.JTagDevice, static_cast<IDispatch*>(jtagDevice.Get()));
  EXPECT_EQ(indexAsked, 3);

  // without a channel the panel is made without a JTAG device
  TDeviceHost lone;
  lone.Lend(*driver);
  form = driver->CreateRackForm();
  EXPECT_EQ(ui.ARMForms, 2);
  EXPECT_EQ(ui.JTagDevice, nullptr);
  RegisterDriverUI(previous);
}

}  // namespace

}  // namespace armlevels_test
