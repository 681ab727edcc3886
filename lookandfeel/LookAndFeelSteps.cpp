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

struct TLibraryUnit {
  void (*Start)();  // null: nothing to do yet
  void (*Stop)();
  int Counter;
};

// By the index of TVK_LOOKANDFEEL_UNITS.
TLibraryUnit gUnits[] = {
    {&dxUxThemeUnitStart, &dxUxThemeUnitStop, 0},
    {&dxThemeManagerUnitStart, &dxThemeManagerUnitStop, 0},
    {&dxOffice11UnitStart, &dxOffice11UnitStop, 0},
    {&cxGeometryUnitStart, &cxGeometryUnitStop, 0},
    {&cxDrawTextUtilsUnitStart, &cxDrawTextUtilsUnitStop, 0},
    {&cxLookAndFeelPaintersUnitStart, &cxLookAndFeelPaintersUnitStop, 0},
    {&cxLookAndFeelsUnitStart, &cxLookAndFeelsUnitStop, 0},
    {&cxLibraryStrsUnitStart, &cxLibraryStrsUnitStop, 0},
    {&cxDWMApiUnitStart, &cxDWMApiUnitStop, 0},
    {&cxControlsUnitStart, &cxControlsUnitStop, 0},
    {&cxClassesUnitStart, &cxClassesUnitStop, 0},
    {&dxGDIPlusAPIUnitStart, &dxGDIPlusAPIUnitStop, 0},
    {&dxGDIPlusClassesUnitStart, &dxGDIPlusClassesUnitStop, 0},
    {&cxGraphicsUnitStart, &cxGraphicsUnitStop, 0},
    {&dxHooksUnitStart, &dxHooksUnitStop, 0},
    {&cxContainerUnitStart, &cxContainerUnitStop, 0},
};

#define TVK_COUNT_UNIT(index, name) +1
static_assert(std::size(gUnits) == 0 TVK_LOOKANDFEEL_UNITS(TVK_COUNT_UNIT));
#undef TVK_COUNT_UNIT

constexpr std::array kSteps = {TVK_LOOKANDFEEL_STEPS};

}  // namespace

template <int Unit>
bool LookAndFeelUnitStartup() {
  TLibraryUnit& unit = gUnits[Unit];
  if (unit.Counter++ == 0 && unit.Start) {
    try {
      unit.Start();
    } catch (...) {
      unit.Counter = 0;  // a failed start counts as not started: its stop must not run
      throw;
    }
  }
  return true;
}

template <int Unit>
void LookAndFeelUnitShutdown() {
  TLibraryUnit& unit = gUnits[Unit];
  if (unit.Counter == 0) return;
  if (--unit.Counter == 0 && unit.Stop) unit.Stop();
}

#define TVK_INSTANTIATE_UNIT(index, name)            \
  template bool LookAndFeelUnitStartup<index>();     \
  template void LookAndFeelUnitShutdown<index>();
TVK_LOOKANDFEEL_UNITS(TVK_INSTANTIATE_UNIT)
#undef TVK_INSTANTIATE_UNIT

std::span<const TInitStep> LookAndFeelSteps() { return kSteps; }

int LookAndFeelUnitCounter(int AUnit) { return gUnits[AUnit].Counter; }

}  // namespace tvk
