#include "cxDateUtils.h"

#include <memory>

namespace tvk {

namespace {
std::unique_ptr<TObjectList> gDateUtilsObjectList;
}  // namespace

TObjectList* DateUtilsObjectList() { return gDateUtilsObjectList.get(); }

void cxDateUtilsUnitStart() { gDateUtilsObjectList = std::make_unique<TObjectList>(); }

// The relative-date words are read from their records each time: nothing to release.
void cxDateUtilsUnitStop() { gDateUtilsObjectList.reset(); }

}  // namespace tvk
