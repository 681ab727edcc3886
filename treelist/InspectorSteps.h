#pragma once
// The inspector's unit as a row of the module's start-up table.
#include "ModuleInit.h"
#include "dxInspRw.h"
#include "dxInspct.h"

#define TVK_INSPECTOR_STEPS \
  ::tvk::TInitStep{"dxInspct", &::tvk::InspectorUnitStartup, &::tvk::InspectorUnitShutdown}, \
  ::tvk::TInitStep{"dxInspRw", &::tvk::InspectorRowsUnitStartup, &::tvk::InspectorRowsUnitShutdown},
