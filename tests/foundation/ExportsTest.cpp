// The module as the host sees it: the loaded DLL's export table and the two
// exports' answers; and the creation failure path inside the driver unit.
#include <gtest/gtest.h>

#include "DriverExports.h"
#include "ZUL.Types.h"
#include "support/HostCall.h"
#include "support/LoadedModule.h"

#include <set>
#include <string>

namespace {

using testsupport::Call;
using testsupport::LoadedModule;
using testsupport::Str;
using testsupport::TCall;

TEST_F(LoadedModule, ExportsExactlyTheTwoUndecoratedFunctions) {
  auto base = reinterpret_cast<const BYTE*>(FModule);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  // IMAGE_NT_HEADERS is the header of this build's own kind (PE32 or PE32+).
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
#ifdef _WIN64
  ASSERT_EQ(IMAGE_FILE_MACHINE_AMD64, nt->FileHeader.Machine);
#else
  ASSERT_EQ(IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);
#endif
  const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::set<std::string> found;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) found.insert(reinterpret_cast<const char*>(base + names[i]));
  EXPECT_EQ((std::set<std::string>{"GetTovikDriverCount", "GetTovikDriver_Plugin"}), found);
  EXPECT_EQ(2u, exports->NumberOfFunctions);
}

TEST_F(LoadedModule, CountsTheDeviceKinds) {
  int32_t count = 0;
  EXPECT_EQ(S_OK, FGetCount(&count));
  EXPECT_EQ(290, count);
}

TEST_F(LoadedModule, KindsOutsideTheRangeGiveNoDriverAndSuccess) {
  for (int32_t kind : {-1, 290, 0x7FFFFFFF, int32_t(0x80000000)}) {
    IDispatch* driver = reinterpret_cast<IDispatch*>(0x1);  // must be cleared
    EXPECT_EQ(S_OK, FGetDriver(kind, &driver)) << kind;
    EXPECT_EQ(nullptr, driver) << kind;
  }
}

TEST_F(LoadedModule, EveryCallCreatesANewDriverThatSupportsItsService) {
  IDispatch* a = nullptr;
  IDispatch* b = nullptr;
  ASSERT_EQ(S_OK, FGetDriver(0, &a));
  ASSERT_EQ(S_OK, FGetDriver(0, &b));
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  for (IDispatch* d : {a, b}) {
    TCall supports = Call(d, 1023, {Str(L"tovikdriver")});
    EXPECT_EQ(S_OK, supports.Hr);
    EXPECT_EQ(VT_BOOL, supports.Type());
    EXPECT_EQ(VARIANT_TRUE, supports.Result.Ptr()->boolVal);
    d->Release();
  }
}

TEST(DriverCreation, AnErrorWhileCreatingGivesUnexpectedAndNoDriver) {
  // A driver takes its writer classes from the table the device-data unit's
  // start-up binds: without it, the creation fails inside the driver's levels.
  tvk::DeviceDataUnitShutdown();
  const std::size_t drivers = tvk::LiveDriverCount();
  IDispatch* driver = reinterpret_cast<IDispatch*>(0x1);
  EXPECT_EQ(HRESULT(0x8000FFFF), tvk::GetTovikDriverImpl(3, &driver));
  EXPECT_EQ(nullptr, driver);
  EXPECT_EQ(drivers, tvk::LiveDriverCount());  // nothing half-made is kept
  ASSERT_TRUE(tvk::DeviceDataUnitStartup());
  ASSERT_EQ(S_OK, tvk::GetTovikDriverImpl(3, &driver));
  EXPECT_NE(nullptr, driver);
}

}  // namespace

namespace {

// Driver operation 503761: Supports(Name) -> boolean.
bool DriverSupports(IDispatch* driver, const wchar_t* text) {
  TCall supports = Call(driver, 503761, {Str(text)});
  EXPECT_EQ(S_OK, supports.Hr) << text;
  EXPECT_EQ(VT_BOOL, supports.Type()) << text;
  return supports.Result.Ptr()->boolVal != 0;
}

TEST_F(LoadedModule, SupportsTheArmToolchainInAnyCase) {
  IDispatch* driver = nullptr;
  ASSERT_EQ(S_OK, FGetDriver(42, &driver));
  EXPECT_TRUE(DriverSupports(driver, L"ToolchainName=BRELMOX ARM"));
  EXPECT_TRUE(DriverSupports(driver, L"Action=Build|toolchainname=brelmox arm"));
  EXPECT_FALSE(DriverSupports(driver, L"ToolchainName=BRELMOX Z80"));
  driver->Release();
}

}  // namespace
