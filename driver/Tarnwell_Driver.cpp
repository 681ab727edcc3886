#include "Tarnwell_Driver.h"

#include "Convert.h"
#include "ZUL.Param.h"

namespace tvk {

namespace {

constexpr std::wstring_view kArmToolchain = L"BRELMOX ARM";

}  // namespace

TCortexM3::TCortexM3(int32_t kind) : TDeviceData(kind) {}

HRESULT TCortexM3::Supports(const WideString& Name, bool& Result) {
  Result = false;
  try {
    WideString toolchain;
    if (!GetParameterValue(Name, L"ToolchainName", toolchain)) toolchain.clear();
    if (SameAsciiText(toolchain, kArmToolchain)) {  // the user's locale has no say
      Result = true;
      return S_OK;
    }
    return TDeviceData::Supports(Name, Result);
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

}  // namespace tvk
