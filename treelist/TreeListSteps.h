#pragma once
// The tree list's unit as a row of the module's start-up table.
#include "ModuleInit.h"
#include "TreeListRoutines.h"

#define TVK_TREELIST_STEPS \
  ::tvk::TInitStep{"dxTL", &::tvk::TreeListUnitStartup, &::tvk::TreeListUnitShutdown},
