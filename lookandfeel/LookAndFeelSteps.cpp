#include "LookAndFeelSteps.h"

#include "cxClasses.h"
#include "cxContainerHooks.h"
#include "cxControls.h"
#include "cxDWMApi.h"
#include "cxDrawTextUtils.h"
#include "cxGraphics.h"
#include "cxGeometry.h"
#include "cxLibraryStrs.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxGDIPlusAPI.h"
#include "dxGDIPlusClasses.h"
#include "dxOffice11.h"
#include "dxHooks.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

#include <array>

namespace tvk {

namespace {

// By the index of TVK_LOOKANDFEEL_UNITS.
TCountedUnit gUnits[] = {
    {&dxUxThemeUnitStart, &dxUxThemeUnitStop},
    {&dxThemeManagerUnitStart, &dxThemeManagerUnitStop},
    {&dxOffice11UnitStart, &dxOffice11UnitStop},
    {&cxGeometryUnitStart, &cxGeometryUnitStop},
    {&cxDrawTextUtilsUnitStart, &cxDrawTextUtilsUnitStop},
    {&cxLookAndFeelPaintersUnitStart, &cxLookAndFeelPaintersUnitStop},
    {&cxLookAndFeelsUnitStart, &cxLookAndFeelsUnitStop},
    {&cxLibraryStrsUnitStart, &cxLibraryStrsUnitStop},
    {&cxDWMApiUnitStart, &cxDWMApiUnitStop},
    {&cxControlsUnitStart, &cxControlsUnitStop},
    {&cxClassesUnitStart, &cxClassesUnitStop},
    {&dxGDIPlusAPIUnitStart, &dxGDIPlusAPIUnitStop},
    {&dxGDIPlusClassesUnitStart, &dxGDIPlusClassesUnitStop},
    {&cxGraphicsUnitStart, &cxGraphicsUnitStop},
    {&dxHooksUnitStart, &dxHooksUnitStop},
    {&cxContainerUnitStart, &cxContainerUnitStop},
};

#define TVK_COUNT_UNIT(index, name) +1
static_assert(std::size(gUnits) == 0 TVK_LOOKANDFEEL_UNITS(TVK_COUNT_UNIT));
#undef TVK_COUNT_UNIT

constexpr std::array kSteps = {TVK_LOOKANDFEEL_STEPS};

}  // namespace

std::span<TCountedUnit> LookAndFeelUnits() { return gUnits; }

std::span<const TInitStep> LookAndFeelSteps() { return kSteps; }

int LookAndFeelUnitCounter(int AUnit) { return gUnits[AUnit].Counter; }

}  // namespace tvk
