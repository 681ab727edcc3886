// Device families and their vendors.
#include <gtest/gtest.h>

#include "ORV.SCH.Util.h"

#include <set>

using namespace tvk;

namespace {

TEST(DeviceFamilies, BuiltInRows) {
  FreeDeviceFamilies();
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
