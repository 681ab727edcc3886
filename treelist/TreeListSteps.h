#pragma once
// The tree list's unit as rows of the module's start-up table.
#include "ModuleInit.h"
#include "TreeListColumn.h"
#include "TreeListRoutines.h"
#include "dxTLClms.h"

#define TVK_TREELIST_STEPS                                                                              \
  ::tvk::TInitStep{"dxTL", &::tvk::TreeListUnitStartup, &::tvk::TreeListUnitShutdown},                \
  ::tvk::TInitStep{"dxTLColumns", &::tvk::RegisterColumnClasses, &::tvk::UnregisterColumnClasses},     \
  ::tvk::TInitStep{"dxTLClms", &::tvk::ColumnTypesUnitStartup, &::tvk::ColumnTypesUnitShutdown},
