#pragma once
// The bases of the driver's instrument windows and the module's driver user
// interface: the one TDriverUI the driver reaches its windows through.
#include "Tovik.DriverUI.h"

namespace tvk {

// The module's driver user interface (registered by DriverUIUnitStartup).
TDriverUI& ModuleDriverUI();

}  // namespace tvk
