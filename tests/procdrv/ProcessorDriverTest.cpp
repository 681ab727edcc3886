// The processor level of a driver: its writer list served under the driver's
// own identifiers, the flash memory utility dialog through the driver-UI
// seam, the fall-through of unanswered identifiers to its three services, its
// service names and the reload of its memory map.
#include "Embedded.h"
#include "FakeHostObject.h"

#include "Tovik.Classes.h"
#include "support/HostCall.h"

#include <memory>
#include <tuple>
#include <vector>

namespace procdrv_test {
namespace {

using namespace testsupport;
using hostsim::FakeHostObject;
using tvk::ComRef;

constexpr HRESULT kNotImpl = HRESULT(0x80004001L), kUnexpected = HRESULT(0x8000FFFFL);
constexpr DISPID kShowDialog = 508736, kAddWriter = 508741, kGetWriter = 508742, kSelectWriter = 508743,
                 kGetSelectedWriter = 508744, kGetWriterCount = 508745;

// ---- Writer classes whose writers are fake host objects, noted as they are made

struct TMadeWriter {
  const wchar_t* ClassName;
  IDispatch* Driver;
  bool Enable;
  ComRef<IDispatch> Writer;  // the test's own reference
};
std::vector<TMadeWriter> gMade;

template <int N>
IDispatch* CreateWriter(IDispatch* driver, bool enable);

constexpr tvk::TFlashWriterClass kWriterA{L"A", &CreateWriter<0>};
constexpr tvk::TFlashWriterClass kWriterB{L"B", &CreateWriter<1>};
constexpr tvk::TFlashWriterClass kWriterCFI{L"TCFI_FLASH_ARM_CORTEX_M3", &CreateWriter<2>};
constexpr tvk::TFlashWriterClass kNotBuilt{L"TFLASH_NOT_BUILT", nullptr};
constexpr tvk::TFlashWriterClass kFailing{L"TFLASH_FAILING", [](IDispatch*, bool) -> IDispatch* { return nullptr; }};
constexpr const tvk::TFlashWriterClass* kClassesByIndex[] = {&kWriterA, &kWriterB, &kWriterCFI};

template <int N>
IDispatch* CreateWriter(IDispatch* driver, bool enable) {
  auto* writer = new FakeHostObject;  // its one reference is the test's: the driver takes its own
  gMade.push_back({kClassesByIndex[N]->Name.data(), driver, enable, ComRef<IDispatch>::Adopt(writer)});
  return writer;
}

// ---- A driver above the processor level that answers what the search asks

class TTestDriver : public tvk::TTovikProcessorDriver {
public:
  using TTovikProcessorDriver::TTovikProcessorDriver;

  HRESULT ParameterResult = S_OK;  // of GetDeviceParameter (503424)

  HRESULT GetDeviceName(tvk::WideString& r) override { return Answer(r, L"STM32F103RB"); }
  HRESULT GetBaseName(tvk::WideString& r) override { return Answer(r, L"STM32F103"); }
  HRESULT GetFamilyName(tvk::WideString& r) override { return Answer(r, L"STM32F1"); }
  HRESULT GetDeviceParameter(const tvk::WideString&, tvk::WideString& r) override {
    return FAILED(ParameterResult) ? ParameterResult : Answer(r, L"");
  }
  HRESULT GetMemorySpaceCount(int32_t& r) override {
    r = 1;
    return S_OK;
  }
  HRESULT GetMemorySpaceShortName(int32_t, tvk::WideString& r) override { return Answer(r, L"Mem"); }

private:
  static HRESULT Answer(tvk::WideString& r, const wchar_t* v) {
    r = v;
    return S_OK;
  }
};

template <class... A>
std::unique_ptr<TTestDriver> MakeDriver(A&&... args) {
  return std::unique_ptr<TTestDriver>(tvk::New<TTestDriver>(std::forward<A>(args)...));
}

constexpr auto kCortexM3 = tvk::eDeviceProcessor_CORE_ARM_CORTEX_M3;
constexpr auto kHard = tvk::eDeviceProcessor_TYPE_HARD;

class ProcessorDriver : public EmbeddedFolders {
protected:
  void SetUp() override {
    EmbeddedFolders::SetUp();
    gMade.clear();
  }
  void TearDown() override {
    gMade.clear();
    EmbeddedFolders::TearDown();
  }
  static IDispatch* Disp(TTestDriver& d) { return static_cast<IDispatch*>(&d); }
};

// ---- Constructor forms and the writer list

struct TFormCase {
  const char* Label;
  std::function<std::unique_ptr<TTestDriver>()> Make;
  std::vector<const wchar_t*> Writers;  // made, in list order; the first is selected
  bool HasList;
};

TEST_F(ProcessorDriver, EachConstructorFormMakesItsWriterList) {
  static constexpr const tvk::TFlashWriterClass* kThree[] = {&kWriterA, &kWriterB, &kWriterCFI};
  static constexpr const tvk::TFlashWriterClass* kOne[] = {&kWriterA};
  static constexpr const tvk::TFlashWriterClass* kWithUnbuilt[] = {&kWriterA, &kNotBuilt, &kWriterCFI};
  const TFormCase cases[] = {
      {"no arguments", [] { return MakeDriver(); }, {}, false},
      {"core and type", [] { return MakeDriver(kCortexM3, kHard); }, {}, false},
      {"one class", [] { return MakeDriver(kCortexM3, kHard, &kWriterB); }, {L"B"}, true},
      {"no class", [] { return MakeDriver(kCortexM3, kHard, static_cast<const tvk::TFlashWriterClass*>(nullptr)); },
       {}, false},
      {"three classes", [] { return MakeDriver(kCortexM3, kHard, std::span(kThree)); },
       {L"A", L"B", L"TCFI_FLASH_ARM_CORTEX_M3"}, true},
      {"an array of one", [] { return MakeDriver(kCortexM3, kHard, std::span(kOne)); }, {}, false},
      {"a class not built yet is passed over", [] { return MakeDriver(kCortexM3, kHard, std::span(kWithUnbuilt)); },
       {L"A", L"TCFI_FLASH_ARM_CORTEX_M3"}, true},
  };
  for (const auto& c : cases) {
    gMade.clear();
    auto driver = c.Make();
    IDispatch* d = Disp(*driver);
    ASSERT_EQ(c.Writers.size(), gMade.size()) << c.Label;
    EXPECT_EQ(long(c.Writers.size()), Call(d, kGetWriterCount).Int()) << c.Label;
    for (std::size_t i = 0; i < gMade.size(); ++i) {
      EXPECT_STREQ(c.Writers[i], gMade[i].ClassName) << c.Label;
      EXPECT_EQ(d, gMade[i].Driver) << c.Label << ": a writer gets the driver's dispatch interface";
      EXPECT_TRUE(gMade[i].Enable) << c.Label;
      TCall w = Call(d, kGetWriter, {I4(long(i))});
      ASSERT_EQ(S_OK, w.Hr) << c.Label;
      EXPECT_EQ(gMade[i].Writer.Get(), w.Dispatch()) << c.Label << " " << i;
    }
    EXPECT_EQ(kUnexpected, Call(d, kGetWriter, {I4(long(gMade.size()))}).Hr) << c.Label;
    EXPECT_EQ(kUnexpected, Call(d, kGetWriter, {I4(-1)}).Hr) << c.Label;
    TCall selected = Call(d, kGetSelectedWriter);
    ASSERT_EQ(S_OK, selected.Hr) << c.Label;
    EXPECT_EQ(VT_DISPATCH, selected.Type()) << c.Label;
    EXPECT_EQ(gMade.empty() ? nullptr : gMade[0].Writer.Get(), selected.Dispatch()) << c.Label;
    EXPECT_EQ(c.HasList, driver->HasWriterList()) << c.Label;
    FakeHostObject extra;
    EXPECT_EQ(c.HasList ? S_OK : kUnexpected, Call(d, kAddWriter, {Obj(&extra)}).Hr) << c.Label;
  }
}

TEST_F(ProcessorDriver, SelectingAndAddingWritersDoNotTouchTheOther) {
  static constexpr const tvk::TFlashWriterClass* kTwo[] = {&kWriterA, &kWriterB};
  auto driver = MakeDriver(kCortexM3, kHard, std::span(kTwo));
  IDispatch* d = Disp(*driver);
  auto* outsider = new FakeHostObject;
  ComRef<IDispatch> outsiderRef = ComRef<IDispatch>::Adopt(outsider);

  ASSERT_EQ(S_OK, Call(d, kSelectWriter, {Obj(outsider)}).Hr);
  EXPECT_EQ(outsider, Call(d, kGetSelectedWriter).Dispatch()) << "a writer outside the list may be selected";
  EXPECT_EQ(2, Call(d, kGetWriterCount).Int());

  ASSERT_EQ(S_OK, Call(d, kAddWriter, {Obj(gMade[1].Writer.Get())}).Hr);  // a duplicate is kept
  EXPECT_EQ(3, Call(d, kGetWriterCount).Int());
  EXPECT_EQ(gMade[1].Writer.Get(), Call(d, kGetWriter, {I4(2)}).Dispatch());
  EXPECT_EQ(outsider, Call(d, kGetSelectedWriter).Dispatch());

  ASSERT_EQ(S_OK, Call(d, kSelectWriter, {Obj(nullptr)}).Hr);
  TCall none = Call(d, kGetSelectedWriter);
  EXPECT_EQ(VT_DISPATCH, none.Type());
  EXPECT_EQ(nullptr, none.Dispatch());
}

TEST_F(ProcessorDriver, TheDriverHoldsOneReferenceToEachWriterAndReleasesThemWhenItGoes) {
  static constexpr const tvk::TFlashWriterClass* kTwo[] = {&kWriterA, &kWriterB};
  auto driver = MakeDriver(kCortexM3, kHard, std::span(kTwo));
  auto* a = static_cast<FakeHostObject*>(gMade[0].Writer.Get());
  auto* b = static_cast<FakeHostObject*>(gMade[1].Writer.Get());
  EXPECT_EQ(3, a->RefCount()) << "the test's, the list's and the selection's";
  EXPECT_EQ(2, b->RefCount());
  driver.reset();
  EXPECT_EQ(1, a->RefCount());
  EXPECT_EQ(1, b->RefCount());
}

TEST_F(ProcessorDriver, AWriterThatCannotBeMadeFailsTheConstruction) {
  static constexpr const tvk::TFlashWriterClass* kBad[] = {&kWriterA, &kFailing};
  EXPECT_THROW(MakeDriver(kCortexM3, kHard, std::span(kBad)), tvk::Exception);
  ASSERT_EQ(1u, gMade.size());
  EXPECT_EQ(1, static_cast<FakeHostObject*>(gMade[0].Writer.Get())->RefCount()) << "the failed driver let go";
}

// ---- Fall-through to the services

class TFakeDebugManagers {
public:
  TFakeDebugManagers() : FPrevious(tvk::BindDeviceDebugManagerClass(&kClass)) {}
  ~TFakeDebugManagers() {
    tvk::BindDeviceDebugManagerClass(FPrevious);
    Last = nullptr;
  }
  TFakeDebugManagers(const TFakeDebugManagers&) = delete;
  TFakeDebugManagers& operator=(const TFakeDebugManagers&) = delete;

  static inline FakeHostObject* Last = nullptr;  // the manager made last

private:
  static tvk::IDeviceDebugManager Create(tvk::TTovikProcessorDriver&) {
    auto* manager = new FakeHostObject;
    manager->SetUnknownResult(HRESULT(0x80004001L));
    manager->ReturnInt(503972, 7);       // GetHardBreakpointCount
    manager->ReturnInt(503941, 99);      // never asked: the memory map answers first
    manager->ReturnString(503424, L"from the manager");
    hostsim::Fault fault;
    fault.Description = L"manager failed";
    manager->FailWith(503960, fault);
    Last = manager;
    tvk::IDeviceDebugManager record(manager);
    manager->Release();
    return record;
  }
  static constexpr tvk::TDeviceDebugManagerClass kClass{L"TDeviceDebugManager", &TFakeDebugManagers::Create};
  const tvk::TDeviceDebugManagerClass* FPrevious;
};

const char kTwoSections[] =
    "Record=BUS_LAYOUT_INFO|Memory_BusName=Mem|Memory_BusType=AHB|ProgramDownloadAddress=0|Memory_Depth=64k\r\n"
    "Record=BUS_LAYOUT_INFO|Memory_BusName=Mem|Memory_BusType=AHB|ProgramDownloadAddress=0x20000000|Memory_Depth=8k\r\n"
    "Record=TOVIK_CORE|Memory_BusType=AHB|ProgramDownloadAddress=0x20000000|Memory_Depth=8k|Default=True|"
    "Memory_PhysicalType=ram\r\n";

TEST_F(ProcessorDriver, IdentifiersNoLevelAnswersGoToTheServicesInOrder) {
  TFakeDebugManagers managers;
  Place(TWhere::Module, L"STM32F103RB.Constraint", kTwoSections);
  auto driver = MakeDriver(kCortexM3, kHard);
  IDispatch* d = Disp(*driver);
  ASSERT_NE(nullptr, TFakeDebugManagers::Last);
  FakeHostObject& manager = *TFakeDebugManagers::Last;

  const struct {
    DISPID Id;
    HRESULT Hr;
    long Int;               // for integer answers
    const wchar_t* Text;    // for string answers
  } cases[] = {
      {503941, S_OK, 2, nullptr},                 // the memory map's architecture-section count
      {503942, S_OK, 1, nullptr},                 // its logical-section count
      {503886, S_OK, 0, L"CORTEX"},               // the processor information's family
      {503890, S_OK, 0, L"BRELMOX ARM"},          // its toolchain
      {503972, S_OK, 7, nullptr},                 // the debug manager's
      {503960, DISP_E_EXCEPTION, 0, nullptr},     // the manager's failure comes back unchanged
      {503380, S_OK, 0, L"STM32F103RB"},          // the driver's own
      {999999, kNotImpl, 0, nullptr},             // no one's
  };
  for (const auto& c : cases) {
    TCall call = Call(d, c.Id);
    EXPECT_EQ(c.Hr, call.Hr) << c.Id;
    if (c.Text) {
      EXPECT_EQ(c.Text, call.Text()) << c.Id;
    } else if (c.Hr == S_OK) {
      EXPECT_EQ(c.Int, call.Int()) << c.Id;
    }
  }
  EXPECT_EQ(0u, manager.CallCount(503941)) << "the memory map answered first";
  EXPECT_EQ(0u, manager.CallCount(503380)) << "the driver answered itself";
  EXPECT_EQ(1u, manager.CallCount(999999));

  // The same arguments reach the service.
  manager.ClearCalls();
  EXPECT_EQ(kNotImpl, Call(d, 503990, {I4(5), Str(L"x")}).Hr);
  ASSERT_EQ(1u, manager.Calls().size());
  EXPECT_EQ(5, manager.Calls()[0].Int(0));
  EXPECT_EQ(L"x", manager.Calls()[0].Str(1));
}

TEST_F(ProcessorDriver, OnlyNotImplementedIsPassedOn) {
  TFakeDebugManagers managers;
  auto driver = MakeDriver(kCortexM3, kHard);
  IDispatch* d = Disp(*driver);
  FakeHostObject& manager = *TFakeDebugManagers::Last;

  driver->ParameterResult = E_FAIL;  // the driver's own operation ran and failed
  EXPECT_EQ(E_FAIL, Call(d, 503424, {Str(L"Any")}).Hr);
  EXPECT_EQ(0u, manager.CallCount(503424));

  driver->ParameterResult = kNotImpl;  // as if no level implemented it
  TCall c = Call(d, 503424, {Str(L"Any")});
  EXPECT_EQ(S_OK, c.Hr);
  EXPECT_EQ(L"from the manager", c.Text());

  // An argument error of the driver's own row is a failure, not "unknown".
  EXPECT_EQ(kUnexpected, Call(d, 503754).Hr);
  EXPECT_EQ(0u, manager.CallCount(503754));
}

TEST_F(ProcessorDriver, EachDriverGetsTheModulesDebugManagerReachedThroughTheDriver) {
  auto driver = MakeDriver(kCortexM3, kHard);
  IDispatch* manager = driver->DeviceDebugManager().ToPointer();
  ASSERT_NE(nullptr, manager);
  EXPECT_TRUE(Supports(manager, L"DeviceDebugManager"));
  TCall count = Call(Disp(*driver), 503972);  // GetHardBreakpointCount
  EXPECT_EQ(S_OK, count.Hr);
  EXPECT_EQ(0, count.Int());
  EXPECT_NE(manager, MakeDriver(kCortexM3, kHard)->DeviceDebugManager().ToPointer()) << "one per driver";
  EXPECT_EQ(0, Call(Disp(*driver), 503941).Int()) << "no constraint file: an empty map";
}

TEST_F(ProcessorDriver, TheDebugManagersBreakpointsPlantThroughTheDriversOwnOperations) {
  struct TPlanting : TTestDriver {
    using TTestDriver::TTestDriver;
    std::vector<std::tuple<int32_t, int64_t, uint32_t>> Added, Removed;
    HRESULT AddSoftBreakpoint(int32_t space, int64_t address, uint32_t& replaced) override {
      Added.emplace_back(space, address, 0);
      replaced = 0xE7F0DEFEu;
      return S_OK;
    }
    HRESULT RemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced, bool& done) override {
      Removed.emplace_back(space, address, replaced);
      done = true;
      return S_OK;
    }
  };
  std::unique_ptr<TPlanting> driver(tvk::New<TPlanting>(kCortexM3, kHard));
  IDispatch* d = static_cast<IDispatch*>(driver.get());
  TCall breakpoint = Call(d, 503950);  // GetNewSoftBreakpoint, through the driver
  ASSERT_EQ(S_OK, breakpoint.Hr);
  ASSERT_NE(nullptr, breakpoint.Dispatch());
  ASSERT_EQ(S_OK, Call(breakpoint.Dispatch(), 508548, {I8(0x08000100)}).Hr);  // SetAddress
  EXPECT_TRUE(Call(breakpoint.Dispatch(), 503453).Bool());                    // Enable
  EXPECT_TRUE(Call(breakpoint.Dispatch(), 503454).Bool());                    // Disable
  ASSERT_EQ(1u, driver->Added.size());
  EXPECT_EQ(0x08000100, std::get<1>(driver->Added[0]));
  ASSERT_EQ(1u, driver->Removed.size());
  EXPECT_EQ(0x08000100, std::get<1>(driver->Removed[0]));
  EXPECT_EQ(0xE7F0DEFEu, std::get<2>(driver->Removed[0])) << "the replaced instruction goes back";
  breakpoint.Result.Clear();
}

TEST_F(ProcessorDriver, WithoutADebugManagerClassItsIdentifiersAreNotImplemented) {
  static constexpr tvk::TDeviceDebugManagerClass kNone{L"None", nullptr};
  const tvk::TDeviceDebugManagerClass* previous = tvk::BindDeviceDebugManagerClass(&kNone);
  auto driver = MakeDriver(kCortexM3, kHard);
  tvk::BindDeviceDebugManagerClass(previous);
  EXPECT_TRUE(driver->DeviceDebugManager().IsEmpty());
  EXPECT_EQ(kNotImpl, Call(Disp(*driver), 503972).Hr);
}

// ---- Service names and processor kinds

TEST_F(ProcessorDriver, SupportsTheServiceNamesOfItsLevelsAndServices) {
  auto driver = MakeDriver(kCortexM3, kHard);
  const std::pair<const wchar_t*, bool> names[] = {
      {L"TovikDriver", true},          {L"DeviceInformation", true},    {L"DeviceProcessorInformation", true},
      {L"DeviceMemoryInformation", true}, {L"DeviceDebugManager", true}, {L"flashwriters", true},
      {L"FLASHMEMORYUTILITYDIALOG", true}, {L"FlashWriter", false},      {L"DeviceMemoryLogicalSection", false},
      {L"JlinkDriver", false},         {L"", false},
  };
  for (auto [name, expected] : names) EXPECT_EQ(expected, Supports(Disp(*driver), name)) << name;
}

TEST_F(ProcessorDriver, TheProcessorTypeAnswersTheProcessorKinds) {
  const struct {
    tvk::TDeviceProcessor_Type Type;
    bool Hard, Soft, Generic;
  } cases[] = {
      {tvk::eDeviceProcessor_TYPE_UNKNOWN, false, false, false},
      {tvk::eDeviceProcessor_TYPE_HARD, true, false, false},
      {tvk::eDeviceProcessor_TYPE_SOFT, false, true, false},
      {tvk::eDeviceProcessor_TYPE_GENERIC, false, false, true},
  };
  for (const auto& c : cases) {
    auto driver = MakeDriver(kCortexM3, c.Type);
    for (auto [name, expected] : {std::pair{L"PROC", c.Hard}, {L"SPROC", c.Soft}, {L"GPROC", c.Generic}}) {
      TCall s = Call(Disp(*driver), 503761, {Str(name)});  // Supports
      ASSERT_EQ(S_OK, s.Hr);
      EXPECT_EQ(expected, s.Bool()) << name << " for type " << c.Type;
    }
  }
}

// ---- The flash memory utility dialog

class TRecordingUI : public tvk::TDriverUI {
public:
  struct TDialog : tvk::TDriverDialog {
    TRecordingUI& Ui;
    explicit TDialog(TRecordingUI& ui) : Ui(ui) { ++Ui.Alive; }
    ~TDialog() override { --Ui.Alive; }
    int ShowModal() override {
      ++Ui.Shown;
      if (Ui.ShowFails) throw tvk::Exception(L"the dialog failed");
      return 1;
    }
  };

  TRecordingUI() : FPrevious(tvk::RegisterDriverUI(this)) {}
  ~TRecordingUI() { tvk::RegisterDriverUI(FPrevious); }
  TRecordingUI(const TRecordingUI&) = delete;
  TRecordingUI& operator=(const TRecordingUI&) = delete;

  std::unique_ptr<tvk::TDriverDialog> CreateFlashMemoryUtilityForm(const tvk::IFlashWriters& writers,
                                                                   const tvk::IDeviceLink& link) override {
    WritersGiven = writers.ToPointer();
    LinkGiven = link.ToPointer();
    SelectedSeen = writers.GetSelectedFlashWriter().ToPointer();  // what the real dialog asks first
    return std::make_unique<TDialog>(*this);
  }
  std::unique_ptr<tvk::TDriverForm> CreateHardDeviceViewerForm(const tvk::ITovikDevice&,
                                                               const tvk::IJTagDevice&) override {
    throw tvk::Exception(L"not used");
  }
  std::unique_ptr<tvk::TDriverForm> CreateARMInstrumentForm(const tvk::ITovikDevice&,
                                                            const tvk::IJTagDevice&) override {
    throw tvk::Exception(L"not used");
  }
  const tvk::TInstrumentViewClass& RackInstrumentView() const override { throw tvk::Exception(L"not used"); }

  IDispatch* WritersGiven = nullptr;
  IDispatch* LinkGiven = nullptr;
  IDispatch* SelectedSeen = nullptr;
  int Shown = 0, Alive = 0;
  bool ShowFails = false;

private:
  tvk::TDriverUI* FPrevious;
};

TEST_F(ProcessorDriver, TheDialogWorksOnTheDriverAsItsWriterListAndIsFreedAfterShowing) {
  static constexpr const tvk::TFlashWriterClass* kTwo[] = {&kWriterA, &kWriterB};
  auto driver = MakeDriver(kCortexM3, kHard, std::span(kTwo));
  TRecordingUI ui;
  FakeHostObject link;

  TCall c = Call(Disp(*driver), kShowDialog, {Obj(&link)});
  EXPECT_EQ(S_OK, c.Hr);
  EXPECT_TRUE(SameObject(Disp(*driver), ui.WritersGiven));
  EXPECT_EQ(static_cast<IDispatch*>(&link), ui.LinkGiven);
  EXPECT_EQ(gMade[0].Writer.Get(), ui.SelectedSeen);
  EXPECT_EQ(1, ui.Shown);
  EXPECT_EQ(0, ui.Alive);

  ui.ShowFails = true;
  EXPECT_EQ(kUnexpected, Call(Disp(*driver), kShowDialog, {Obj(&link)}).Hr);
  EXPECT_EQ(2, ui.Shown);
  EXPECT_EQ(0, ui.Alive) << "freed also when showing failed";
}

TEST_F(ProcessorDriver, WithoutTheUserInterfaceTheDialogFails) {
  tvk::TDriverUI* previous = tvk::RegisterDriverUI(nullptr);
  auto driver = MakeDriver(kCortexM3, kHard);
  EXPECT_EQ(kUnexpected, Call(Disp(*driver), kShowDialog, {Obj(nullptr)}).Hr);
  tvk::RegisterDriverUI(previous);
}

// ---- The memory map at construction and after SetEmbeddedConstraintFile

TEST_F(ProcessorDriver, SetEmbeddedConstraintFileReplacesTheMapFromTheNameAsItIs) {
  Place(TWhere::Module, L"STM32F103RB.Constraint", kTwoSections);
  Place(TWhere::Module, L"Board.map",
        "Record=BUS_LAYOUT_INFO|Memory_BusType=AHB|ProgramDownloadAddress=0|Memory_Depth=1k\r\n");
  auto driver = MakeDriver(kCortexM3, kHard);
  IDispatch* d = Disp(*driver);
  ASSERT_EQ(2, Call(d, 503941).Int()) << "the device-name file found during construction";
  auto* first = static_cast<tvk::TDeviceMemoryInformation*>(driver->DeviceMemoryInformation().ToPointer());
  ComRef<IDispatch> held(static_cast<IDispatch*>(first));

  // A bare name is not looked for in the folders: the new map stays empty,
  // while the driver's search (which does look) now finds it.
  ASSERT_EQ(S_OK, Call(d, 503822, {Str(L"Board.map")}).Hr);
  EXPECT_EQ(0, Call(d, 503941).Int());
  EXPECT_EQ(0, Call(d, 503942).Int());
  EXPECT_EQ(ModuleFolder + L"Library\\Embedded\\Board.map", Call(d, 503821).Text());
  EXPECT_EQ(1, first->RefCount()) << "the old map was released";
  EXPECT_EQ(2, Call(held.Get(), 503941).Int()) << "and kept its sections";

  ASSERT_EQ(S_OK, Call(d, 503822, {Str(ModuleFolder + L"Library\\Embedded\\Board.map")}).Hr);
  EXPECT_EQ(1, Call(d, 503941).Int());
}

TEST_F(ProcessorDriver, AFailedNameQueryFailsTheConstruction) {
  struct TFailing : TTestDriver {
    using TTestDriver::TTestDriver;
    HRESULT GetFamilyName(tvk::WideString&) override { return E_FAIL; }
  };
  EXPECT_THROW(std::unique_ptr<TFailing>(tvk::New<TFailing>(kCortexM3, kHard)), tvk::Exception);
  Place(TWhere::Tools, L"STM32F103.Constraint", kTwoSections);  // found before the family name is asked
  std::unique_ptr<TFailing> driver(tvk::New<TFailing>(kCortexM3, kHard));
  EXPECT_EQ(2, Call(static_cast<IDispatch*>(driver.get()), 503941).Int());
}

}  // namespace

}  // namespace procdrv_test
