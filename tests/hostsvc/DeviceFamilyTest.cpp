// Device families and their vendors.
#include <gtest/gtest.h>

#include "HostFixture.h"
#include "ORV.SCH.Util.h"
#include "Tarnwell_Driver.h"
#include "support/HostCall.h"
#include "support/TestFolder.h"

#include <memory>
#include <set>

using namespace tvk;

namespace {

TEST(DeviceFamilies, BuiltInRows) {
  hostsvc_test::ForgetHostCaches();
  struct Case {
    const wchar_t* Family;
    const wchar_t* Vendor;
  } const cases[] = {
      {L"STM32", L"STMicroelectronics"}, {L"stm32", L""},           {L"IGLOOnano", L"Actel"},
      {L"Arria2GZ", L"Altera"},          {L"ispMACH4000Z", L"Lattice"}, {L"XCF", L"Xilinx"},
      {L"BLUESTREAK", L"Sharp"},         {L"PPC405", L"AMCC"},         {L"Stellaris", L"TexasInstruments"},
      {L"", L""},                        {L"Cortex", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Vendor, GetDeviceFamilyVendorName(c.Family)) << c.Family;
  std::set<std::wstring_view> names;
  for (const auto& row : kBuiltInDeviceFamilies) names.insert(row.Family);
  EXPECT_EQ(kBuiltInDeviceFamilies.size(), names.size());
}

}  // namespace

// ---- Plug-ins' "TovikConfig.ini"

namespace {

using testsupport::TestFolder;

class PluginFamilies : public hostsvc_test::HostFixture {};

TEST_F(PluginFamilies, EnabledPluginsOverrideTheBuiltInRows) {
  TestFolder first, second, disabled, incomplete, other;
  first.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=STM32\r\nDeviceVendor=First Silicon\r\nEDIF=STM32\r\n");
  second.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=STM32\r\nDeviceVendor=Second Silicon\r\nEDIF=X\r\n");
  disabled.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=Cortex\r\nDeviceVendor=Off\r\nEDIF=X\r\n");
  incomplete.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=PPC405\r\nDeviceVendor=Nobody\r\n");
  other.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=LPC2000\r\nDeviceVendor=NXP\r\nEDIF=LPC\r\n");
  Host.AddPlugin(first.Path());
  Host.AddPlugin(disabled.Path(), true);
  Host.AddPlugin(incomplete.Path());
  Host.AddPlugin(second.Path());
  Host.AddPlugin(other.Path());
  EXPECT_EQ(L"Second Silicon", GetDeviceFamilyVendorName(L"STM32"));
  EXPECT_EQ(L"", GetDeviceFamilyVendorName(L"stm32"));
  EXPECT_EQ(L"", GetDeviceFamilyVendorName(L"Cortex"));
  EXPECT_EQ(L"AMCC", GetDeviceFamilyVendorName(L"PPC405"));  // no EDIF: ignored
  EXPECT_EQ(L"NXP", GetDeviceFamilyVendorName(L"LPC2000"));
}

TEST_F(PluginFamilies, ReadOnceAtTheFirstQuery) {
  EXPECT_EQ(L"STMicroelectronics", GetDeviceFamilyVendorName(L"STM32"));
  TestFolder late;
  late.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=STM32\r\nDeviceVendor=Late\r\nEDIF=STM32\r\n");
  Host.AddPlugin(late.Path());
  EXPECT_EQ(L"STMicroelectronics", GetDeviceFamilyVendorName(L"STM32"));
  EXPECT_EQ(1u, Host.Client().CallCount(hostsim::disp::Client_GetPluginsRegistry));
  FreeDeviceFamilies();  // shut-down: read again next time
  EXPECT_EQ(L"Late", GetDeviceFamilyVendorName(L"STM32"));
}

}  // namespace

// ---- The drivers' vendor

namespace {

std::wstring Answer(IDispatch* driver, DISPID id) {
  testsupport::TCall call = testsupport::Call(driver, id);
  return FAILED(call.Hr) || call.Type() != VT_BSTR ? L"<failed>" : call.Text();
}

constexpr DISPID kGetDeviceDescription = 503381, kGetVendorName = 503407;

TEST_F(PluginFamilies, DriversNameTheVendorOfTheFamilyKeySTM32) {
  ASSERT_TRUE(DeviceDataUnitStartup());  // a driver takes its writer classes from the table start-up binds
  std::unique_ptr<TCortexM3> driver(New<TCortexM3>(0));
  EXPECT_EQ(L"STMicroelectronics", Answer(driver.get(), kGetVendorName));
  EXPECT_EQ(L"STMicroelectronics STM32F100 STM32F100C4T6B", Answer(driver.get(), kGetDeviceDescription));

  TestFolder plugin;
  plugin.Write(L"TovikConfig.ini", "[General]\r\nDeviceFamily=STM32\r\nDeviceVendor=ST\r\nEDIF=STM32\r\n");
  Host.AddPlugin(plugin.Path());
  FreeDeviceFamilies();
  EXPECT_EQ(L"ST STM32F100 STM32F100C4T6B", Answer(driver.get(), kGetDeviceDescription));
}

}  // namespace
