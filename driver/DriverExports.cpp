#include "DriverExports.h"

#include "ModuleInit.h"
#include "Tarnwell_Driver.h"

#include <memory>
#include <vector>

namespace tvk {

namespace {

// Drivers count no references; the module owns them until it is unloaded
// (and at process exit simply leaves them).
using TDriverList = std::vector<std::unique_ptr<TAbstractSupportService>>;
constinit TModuleHeld<TDriverList> gDrivers;

TDriverList& Drivers() { return gDrivers.Get(); }

IDispatch* CreateDriver(int32_t kind) {
  auto driver = std::unique_ptr<TCortexM3>(New<TCortexM3>(kind));
  IDispatch* disp = static_cast<IDispatch*>(driver.get());
  Drivers().push_back(std::move(driver));
  return disp;
}

}  // namespace

HRESULT GetTovikDriverCountImpl(int32_t* count) {
  if (!count) return E_POINTER;
  *count = kDeviceKindCount;
  return S_OK;
}

HRESULT GetTovikDriverImpl(int32_t kind, IDispatch** driver) {
  if (!driver) return E_POINTER;
  *driver = nullptr;
  if (kind < 0 || kind >= kDeviceKindCount) return S_OK;  // no driver for this kind
  try {
    *driver = CreateDriver(kind);
    return S_OK;
  } catch (...) {
    *driver = nullptr;
    return HRESULT(0x8000FFFFL);
  }
}

std::size_t LiveDriverCount() { return Drivers().size(); }

bool DriverUnitStartup() { return true; }

void DriverUnitShutdown() { gDrivers.Free(); }

}  // namespace tvk
