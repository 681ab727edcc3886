#include "Tarnwell_Driver.h"

#include "ZUL.Param.h"

#include <cwctype>

namespace tvk {

namespace {

constexpr std::wstring_view kArmToolchain = L"BRELMOX ARM";

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  return true;
}

}  // namespace

TCortexM3::TCortexM3(int32_t kind) : TDeviceData(kind) {}

HRESULT TCortexM3::Supports(const WideString& Name, bool& Result) {
  Result = false;
  try {
    WideString toolchain;
    if (!GetParameterValue(Name, L"ToolchainName", toolchain)) toolchain.clear();
    if (SameTextIgnoringCase(toolchain, kArmToolchain)) {
      Result = true;
      return S_OK;
    }
    return TDeviceData::Supports(Name, Result);
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

}  // namespace tvk
