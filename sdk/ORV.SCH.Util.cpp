#include "ORV.SCH.Util.h"

#include "Files.h"
#include "ZUL.Util.h"

#include <windows.h>

#include <map>
#include <memory>

namespace tvk {

namespace {

// Family name (with case) to its description; null until the first query.
std::unique_ptr<std::map<WideString, TDeviceFamilyInfo, std::less<>>> gFamilies;

WideString IniValue(const WideString& fileName, const wchar_t* key) {
  wchar_t value[1024] = {};
  DWORD n = GetPrivateProfileStringW(L"General", key, L"", value, 1024, fileName.c_str());
  return WideString(value, n);
}

// A file without a family, vendor or EDIF name changes nothing.
void ReadDeviceFamilyFile(const WideString& fileName) {
  WideString family = IniValue(fileName, L"DeviceFamily");
  if (family.empty()) return;
  WideString vendor = IniValue(fileName, L"DeviceVendor");
  if (vendor.empty()) return;
  WideString edif = IniValue(fileName, L"EDIF");
  if (edif.empty()) return;
  (*gFamilies)[family] = {vendor, edif};
}

void InitDeviceFamilies() {
  gFamilies = std::make_unique<std::map<WideString, TDeviceFamilyInfo, std::less<>>>();
  for (const TBuiltInDeviceFamily& row : kBuiltInDeviceFamilies)
    (*gFamilies)[WideString(row.Family)] = {WideString(row.Vendor), WideString(row.EDIF)};
  ForEachPluginFolder([](const WideString& folder, bool&) {
    WideString file = folder + WideString(kDeviceFamilyFileName);
    if (FileExists(file)) ReadDeviceFamilyFile(file);
  });
}

}  // namespace

WideString GetDeviceFamilyVendorName(std::wstring_view familyName) {
  if (!gFamilies) InitDeviceFamilies();
  auto found = gFamilies->find(familyName);
  return found == gFamilies->end() ? WideString() : found->second.VendorName;
}

void FreeDeviceFamilies() { gFamilies.reset(); }

}  // namespace tvk
