// The framework core as an object: its interfaces and their counts, two-phase
// construction, the host's window, the host device, defaults that follow the
// levels above, Supports and the constraint-file search.
#include "FrameworkTest.h"

#include "Dialogs.h"
#include "hostsvc/HostFixture.h"
#include "support/HostCall.h"
#include "support/TestFolder.h"

using namespace tvk;
namespace framework_test {
using namespace testsupport;

namespace {

TEST(DriverInterfaces, QueryInterfaceAnswersFourInterfacesThatCountNothing) {
  auto driver = MakeGenericDriver();
  IDispatch* dispatch = driver.get();
  void* unknown = nullptr;
  ASSERT_EQ(S_OK, dispatch->QueryInterface(IID_IUnknown, &unknown));
  for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_ISupportService, &IID_IMemoryAccess}) {
    IUnknown* intf = nullptr;
    ASSERT_EQ(S_OK, dispatch->QueryInterface(*iid, reinterpret_cast<void**>(&intf)));
    ASSERT_NE(nullptr, intf);
    // Every entry leads back to the same object.
    void* again = nullptr;
    ASSERT_EQ(S_OK, intf->QueryInterface(IID_IUnknown, &again));
    EXPECT_EQ(unknown, again);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(ULONG(-1), intf->AddRef());
      EXPECT_EQ(ULONG(-1), intf->Release());
    }
    EXPECT_EQ(ULONG(-1), intf->Release());  // more releases than references: still alive
  }
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, dispatch->QueryInterface(IID_IClassFactory, &none));
  EXPECT_EQ(nullptr, none);
  auto name = Call(dispatch, 503380);
  EXPECT_EQ(S_OK, name.Hr);
  EXPECT_EQ(L"Generic Tovik Device", name.Text());
}

TEST(DriverInterfaces, MemoryAccessTouchesNoMemoryAndAnswersFalse) {
  auto driver = MakeGenericDriver();
  IMemoryAccess* memory = nullptr;
  ASSERT_EQ(S_OK, driver->QueryInterface(IID_IMemoryAccess, reinterpret_cast<void**>(&memory)));
  uint32_t cells[4] = {0xA5, 0xA5, 0xA5, 0xA5};
  BOOL success = TRUE;
  EXPECT_EQ(S_OK, memory->MemoryRead(0, cells, 0x20000000, 4, &success));
  EXPECT_FALSE(success);
  success = TRUE;
  EXPECT_EQ(S_OK, memory->MemoryWrite(0, cells, 0x20000000, 4, &success));
  EXPECT_FALSE(success);
  for (uint32_t cell : cells) EXPECT_EQ(0xA5u, cell);
}

// A level below asks a virtual operation while the driver is made; the most
// derived level must answer it.
class TLevelBelow : public TTovikDriver {
public:
  TLevelBelow() : TTovikDriver(L".EDN") {}
  WideString NameSeenWhileMade;

protected:
  void AfterCreate() override {
    TTovikDriver::AfterCreate();
    CheckResult(GetDeviceName(NameSeenWhileMade));
  }
};

class TLevelAbove : public TLevelBelow {
public:
  HRESULT GetDeviceName(WideString& Result) override {
    Result = L"Most derived";
    return S_OK;
  }
};

TEST(DriverConstruction, SecondPhaseReachesTheMostDerivedLevel) {
  auto driver = MakeDriver<TLevelAbove>();
  EXPECT_EQ(L"Most derived", driver->NameSeenWhileMade);
}

class TFailingLevel : public TTovikDriver {
public:
  inline static int Destroyed = 0;
  TFailingLevel() : TTovikDriver(L".EDN") {}
  ~TFailingLevel() override { ++Destroyed; }

protected:
  void AfterCreate() override { throw Exception(L"no constraint file"); }
};

TEST(DriverConstruction, AFailedSecondPhaseFreesTheDriver) {
  TFailingLevel::Destroyed = 0;
  EXPECT_THROW(New<TFailingLevel>(), Exception);
  EXPECT_EQ(1, TFailingLevel::Destroyed);
}

class DriverWithHost : public hostsvc_test::HostFixture {};

TEST_F(DriverWithHost, ConstructionGivesTheModuleTheHostsWindow) {
  HWND before = ApplicationHandle();
  Host.Client().ReturnInt(hostsim::disp::Client_GetApplicationHandle, 0x1234);
  auto driver = MakeGenericDriver();
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), ApplicationHandle());
  SetApplicationHandle(before);
}

// Operations whose default answer is another operation's follow a level's override.
class TNamedDriver : public TTovikDriver {
public:
  TNamedDriver() : TTovikDriver(L".EDN") {}
  HRESULT GetDeviceName(WideString& Result) override { Result = L"Named"; return S_OK; }
  HRESULT GetMemorySpaceName(int32_t Space, WideString& Result) override {
    Result = L"Space" + std::to_wstring(Space);
    return S_OK;
  }
  HRESULT GetProcessorRegisterName(int32_t Index, WideString& Result) override {
    Result = L"R" + std::to_wstring(Index);
    return S_OK;
  }
};

TEST(DriverDefaults, DerivedAnswersFollowTheLevelsAbove) {
  auto driver = MakeDriver<TNamedDriver>();
  struct Case {
    DISPID Id;
    long Arg;
    const wchar_t* Expected;
  };
  const Case cases[] = {
      {503423, -1, L"Named"},  // GetDeviceDisplayName
      {503381, -1, L"Named"},  // GetDeviceDescription
      {503779, 2, L"Space2"},  // GetMemorySpaceShortName
      {503770, 7, L"R7"},      // GetProcessorRegisterShortName
      {503792, -1, L".EDN"},   // CoreGen_OutputExtension
  };
  for (const Case& c : cases) {
    auto call = c.Arg < 0 ? Call(driver.get(), c.Id) : Call(driver.get(), c.Id, {I4(c.Arg)});
    EXPECT_EQ(S_OK, call.Hr) << c.Id;
    EXPECT_EQ(c.Expected, call.Text()) << c.Id;
  }
}

TEST(DriverDefaults, ANewDriverHasNoDeviceAndTouchesNothing) {
  auto driver = MakeGenericDriver();
  auto device = Call(driver.get(), 503753);
  EXPECT_EQ(S_OK, device.Hr);
  EXPECT_EQ(VT_DISPATCH, device.Type());
  EXPECT_EQ(nullptr, device.Dispatch());
  EXPECT_TRUE(driver->JTagChannel().IsEmpty());
  EXPECT_EQ(0, driver->JTagIndex());
  // Nothing to reach: these succeed and do nothing.
  for (DISPID id : {503793 /* ResetTovikRegisters */, 503759 /* CreateRackViewer */, 503812 /* ReleaseResources */})
    EXPECT_EQ(S_OK, Call(driver.get(), id).Hr) << id;
}

// ---- Supports

class TKindDriver : public TTovikDriver {
public:
  TKindDriver() : TTovikDriver(L".EDN") {}
  bool IsSoftProcessor() override { return true; }
};

TEST(DriverSupports, KindsToolchainsAndFlowActions) {
  auto driver = MakeDriver<TKindDriver>();
  struct Case {
    const wchar_t* Name;
    bool Expected;
  };
  const Case cases[] = {
      {L"sproc", true},                                  // a kind, in any case, asked of the level
      {L"PROC", false},
      {L"FPGA", false},
      {L"SPROC2", true},                                 // not a kind: no action either
      {L"ToolchainName=BRELMOX ARM", false},             // any toolchain
      {L"ToolchainName=|Action=ShowViewer", true},       // an empty toolchain is none
      {L"PauseProcessor", false},
      {L"Action=verifyprogram|Other=1", false},
      {L"Action=Flash_ChooseAndDownload", false},
      {L"ShowViewer", true},
      {L"Action=WriteToFlash", true},
      {L"", true},
  };
  for (const Case& c : cases) {
    auto call = Call(driver.get(), 503761, {Str(c.Name)});
    EXPECT_EQ(S_OK, call.Hr) << c.Name;
    EXPECT_EQ(VT_BOOL, call.Type()) << c.Name;
    EXPECT_EQ(c.Expected, call.Result.Ptr()->boolVal != VARIANT_FALSE) << c.Name;
  }
}

// ---- Constraint-file search

class TConstraintDriver : public TTovikDriver {
public:
  TConstraintDriver() : TTovikDriver(L".EDN") {}
  HRESULT GetDeviceName(WideString& Result) override { Result = DeviceName; return S_OK; }
  HRESULT GetFamilyName(WideString& Result) override { Result = FamilyName; return S_OK; }
  WideString DeviceName, FamilyName;
};

TEST(DriverConstraintFile, CustomNameThenDeviceThenFamily) {
  TestFolder folder;
  const std::wstring custom = folder.Write(L"Custom.txt", "x");
  const std::wstring byDevice = folder.Write(L"Dev.Constraint", "x");
  const std::wstring byFamily = folder.Write(L"Fam.Constraint", "x");
  auto driver = MakeDriver<TConstraintDriver>();
  driver->DeviceName = folder / L"Dev";
  driver->FamilyName = folder / L"Fam";

  auto path = [&] {
    WideString result;
    EXPECT_EQ(S_OK, driver->GetEmbeddedConstraintFile(result));
    return result;
  };
  EXPECT_EQ(byDevice, path());
  ASSERT_EQ(S_OK, driver->SetEmbeddedConstraintFile(custom));  // taken unchanged, no extension
  EXPECT_EQ(custom, path());
  ASSERT_EQ(S_OK, driver->SetEmbeddedConstraintFile(folder / L"Missing.txt"));
  EXPECT_EQ(byDevice, path());
  driver->DeviceName = folder / L"Other";
  EXPECT_EQ(byFamily, path());
  driver->FamilyName = folder / L"Nothing";
  EXPECT_EQ(L"", path());
}

}  // namespace

}  // namespace framework_test
