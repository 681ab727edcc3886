// A driver created through the module's export reads its memory map from a
// constraint file in the module's own "Library\Embedded\" folder and serves
// it, and its processor information, by dispatch identifier.
#include "Embedded.h"
#include "SimHostModules.h"
#include "support/HostCall.h"

namespace procdrv_test {
namespace {

using namespace testsupport;

using GetDriverFn = HRESULT(__stdcall*)(int32_t, IDispatch**);

const char kMap[] =
    "Record=BUS_LAYOUT_INFO|ComponentDesignator=U1|Memory_BusName=Mem|Memory_BusType=AHB|"
    "ProgramDownloadAddress=0x0800_0000|Memory_Depth=16k|Memory_Width=32\r\n"
    "Record=BUS_LAYOUT_INFO|Memory_BusName=Mem|Memory_BusType=AHB|ProgramDownloadAddress=0x2000_0000|"
    "Memory_Depth=4k|Memory_Width=32\r\n"
    "Record=TOVIK_CORE|Memory_BusType=AHB|ProgramDownloadAddress=0x08000000|Memory_Depth=16k|Default=True|"
    "Memory_PhysicalType=flash|Memory_UsageType=Program\r\n"
    "Record=TOVIK_CORE|Memory_BusType=AHB|ProgramDownloadAddress=0x20000000|Memory_Depth=4k|Default=True|"
    "Memory_PhysicalType=ram\r\n";

TEST(LoadedModuleConstraints, ADriverServesTheMemoryMapOfItsDeviceNamesConstraintFile) {
  TestFolder folder;
  const std::wstring module = folder.Path() + L"Tovik.TVK";
  ASSERT_TRUE(CopyFileW(TVK_MODULE_PATH, module.c_str(), FALSE));
  folder.Folder(L"Library\\Embedded");
  WriteBytes(folder.Path() + L"Library\\Embedded\\STM32F100C4T6B.Constraint", kMap);  // kind 0's device name

  hostsim::HostDeviceManager();  // loaded in the host before any plug-in
  HMODULE handle = LoadLibraryW(module.c_str());
  ASSERT_NE(nullptr, handle);
  auto getDriver =
      reinterpret_cast<GetDriverFn>(reinterpret_cast<void*>(GetProcAddress(handle, "GetTovikDriver_Plugin")));
  ASSERT_NE(nullptr, getDriver);
  IDispatch* driver = nullptr;
  ASSERT_EQ(S_OK, getDriver(0, &driver));
  ASSERT_NE(nullptr, driver);

  EXPECT_EQ(L"STM32F100C4T6B", Call(driver, 503380).Text());
  EXPECT_EQ(2, Call(driver, 503941).Int());
  EXPECT_EQ(2, Call(driver, 503942).Int());
  EXPECT_EQ(L"ARM_CORTEX_M3", Call(driver, 503888).Text());
  EXPECT_EQ(L"CORTEX", Call(driver, 503886).Text());
  EXPECT_EQ(L"ARMv7M", Call(driver, 503889).Text());

  TCall flash = Call(driver, 503940);  // the default flash section
  ASSERT_NE(nullptr, flash.Dispatch());
  EXPECT_EQ(0x08000000, Call(flash.Dispatch(), 503896).Int());
  EXPECT_EQ(16 * 1024, Call(flash.Dispatch(), 503897).Int());
  EXPECT_EQ(L"Mem", Call(flash.Dispatch(), 503892).Text());
  TCall parent = Call(flash.Dispatch(), 503900);
  ASSERT_NE(nullptr, parent.Dispatch());
  EXPECT_EQ(32, Call(parent.Dispatch(), 503924).Int());
  EXPECT_EQ(L"U1", Call(parent.Dispatch(), 503925).Text());

  for (const wchar_t* name : {L"DeviceMemoryInformation", L"FlashWriters", L"TovikDriver"})
    EXPECT_TRUE(Supports(driver, name)) << name;

  flash.Result.Clear();
  parent.Result.Clear();
  FreeLibrary(handle);
}

}  // namespace

}  // namespace procdrv_test
