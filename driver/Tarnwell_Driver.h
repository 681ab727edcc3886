#pragma once
// The driver class the module's export creates, one object per device kind.
#include "Device_ST_CortexM3_Data.h"

#include <cstdint>

namespace tvk {

class TCortexM3 : public TDeviceData {
public:
  explicit TCortexM3(int32_t kind);

  // True for the ARM toolchain named by the parameter "ToolchainName";
  // anything else is answered by the levels below for the whole text.
  HRESULT Supports(const WideString& Name, bool& Result) override;
};

}  // namespace tvk
