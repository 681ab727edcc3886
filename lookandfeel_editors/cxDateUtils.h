#pragma once
// The date utilities' unit: its object list, alive while the unit runs.
#include "Lists.h"

namespace tvk {

// Null outside the unit's run.
TObjectList* DateUtilsObjectList();
void cxDateUtilsUnitStart();
void cxDateUtilsUnitStop();

}  // namespace tvk
