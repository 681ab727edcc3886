#pragma once
// The driver user interface's start-up and shut-down step, declared apart from
// its units for the module's ordered table (and for test programs that link
// the module's code and need its windows). It stands before the driver's step.
#include "ModuleInit.h"

namespace tvk {

bool DriverUIUnitStartup();   // registers the module's driver user interface (RegisterDriverUI)
void DriverUIUnitShutdown();  // withdraws it, when it is still the registered one

}  // namespace tvk

#define TVK_DRIVER_UI_STEPS ::tvk::TInitStep{"Tovik.GUI", &::tvk::DriverUIUnitStartup, &::tvk::DriverUIUnitShutdown},
