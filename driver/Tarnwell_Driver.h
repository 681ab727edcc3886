#pragma once
// The driver class the module's export creates, one object per device kind.
#include "ORV.SCH.AbstractClasses.h"

#include <cstdint>

namespace tvk {

class TCortexM3 : public TAbstractTovikDriver {
public:
  explicit TCortexM3(int32_t kind);
  int32_t Kind() const { return FKind; }

  // A driver's interfaces count no references: it lives until the module is unloaded.
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

private:
  int32_t FKind;
};

}  // namespace tvk
