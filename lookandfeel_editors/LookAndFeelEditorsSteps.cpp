#include "LookAndFeelEditorsSteps.h"

#include "cxDataConsts.h"
#include "cxDataStorage.h"
#include "cxEdit.h"
#include "cxDateUtils.h"
#include "cxEditConsts.h"
#include "cxEditPaintUtils.h"
#include "cxFilterConsts.h"
#include "cxFilterControlStrs.h"
#include "cxFormats.h"
#include "cxPC.h"
#include "cxPCConsts.h"
#include "cxPCPainters.h"
#include "cxPCPaintersFactory.h"
#include "cxTextEdit.h"

#include <array>

namespace tvk {

namespace {

// By the index of TVK_LOOKANDFEEL_EDITORS_UNITS.
TCountedUnit gEditorsUnits[] = {
    {&cxDataConstsUnitStart, &cxDataConstsUnitStop},
    {&cxDataStorageUnitStart, &cxDataStorageUnitStop},
    {&cxEditPaintUtilsUnitStart, &cxEditPaintUtilsUnitStop},
    {&cxFormatsUnitStart, &cxFormatsUnitStop},
    {&cxDateUtilsUnitStart, &cxDateUtilsUnitStop},
    {&cxEditConstsUnitStart, &cxEditConstsUnitStop},
    {&cxFilterConstsUnitStart, &cxFilterConstsUnitStop},
    {&cxEditUnitStart, &cxEditUnitStop},
    {nullptr, nullptr},
    {&cxFilterControlStrsUnitStart, &cxFilterControlStrsUnitStop},
    {&cxTextEditUnitStart, &cxTextEditUnitStop},
    {nullptr, nullptr},
    {&cxPCConstsUnitStart, &cxPCConstsUnitStop},
    {&cxPCPaintersFactoryUnitStart, &cxPCPaintersFactoryUnitStop},
    {&cxPCPaintersUnitStart, &cxPCPaintersUnitStop},
    {&cxPCUnitStart, &cxPCUnitStop},
};

#define TVK_COUNT_EDITORS_UNIT(index, name) +1
static_assert(std::size(gEditorsUnits) == 0 TVK_LOOKANDFEEL_EDITORS_UNITS(TVK_COUNT_EDITORS_UNIT));
#undef TVK_COUNT_EDITORS_UNIT

constexpr std::array kEditorsSteps = {TVK_LOOKANDFEEL_EDITORS_STEPS};

}  // namespace

std::span<TCountedUnit> LookAndFeelEditorsUnits() { return gEditorsUnits; }

std::span<const TInitStep> LookAndFeelEditorsSteps() { return kEditorsSteps; }

int LookAndFeelEditorsUnitCounter(int AUnit) { return gEditorsUnits[AUnit].Counter; }

}  // namespace tvk
