#include "LookAndFeelEditorsSteps.h"

#include "cxDataConsts.h"
#include "cxDataStorage.h"
#include "cxDateUtils.h"
#include "cxEditConsts.h"
#include "cxEditPaintUtils.h"
#include "cxFilterConsts.h"
#include "cxFormats.h"
#include "cxPC.h"
#include "cxPCConsts.h"
#include "cxPCPainters.h"
#include "cxPCPaintersFactory.h"

#include <array>

namespace tvk {

namespace {

struct TEditorsUnit {
  void (*Start)();  // null: nothing to do yet
  void (*Stop)();
  int Counter;
};

// By the index of TVK_LOOKANDFEEL_EDITORS_UNITS.
TEditorsUnit gEditorsUnits[] = {
    {&cxDataConstsUnitStart, &cxDataConstsUnitStop, 0},
    {&cxDataStorageUnitStart, &cxDataStorageUnitStop, 0},
    {&cxEditPaintUtilsUnitStart, &cxEditPaintUtilsUnitStop, 0},
    {&cxFormatsUnitStart, &cxFormatsUnitStop, 0},
    {&cxDateUtilsUnitStart, &cxDateUtilsUnitStop, 0},
    {&cxEditConstsUnitStart, &cxEditConstsUnitStop, 0},
    {&cxFilterConstsUnitStart, &cxFilterConstsUnitStop, 0},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {&cxPCConstsUnitStart, &cxPCConstsUnitStop, 0},
    {&cxPCPaintersFactoryUnitStart, &cxPCPaintersFactoryUnitStop, 0},
    {&cxPCPaintersUnitStart, &cxPCPaintersUnitStop, 0},
    {&cxPCUnitStart, &cxPCUnitStop, 0},
};

#define TVK_COUNT_EDITORS_UNIT(index, name) +1
static_assert(std::size(gEditorsUnits) == 0 TVK_LOOKANDFEEL_EDITORS_UNITS(TVK_COUNT_EDITORS_UNIT));
#undef TVK_COUNT_EDITORS_UNIT

constexpr std::array kEditorsSteps = {TVK_LOOKANDFEEL_EDITORS_STEPS};

}  // namespace

template <int Unit>
bool LookAndFeelEditorsUnitStartup() {
  TEditorsUnit& unit = gEditorsUnits[Unit];
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
void LookAndFeelEditorsUnitShutdown() {
  TEditorsUnit& unit = gEditorsUnits[Unit];
  if (unit.Counter == 0) return;
  if (--unit.Counter == 0 && unit.Stop) unit.Stop();
}

#define TVK_INSTANTIATE_EDITORS_UNIT(index, name)        \
  template bool LookAndFeelEditorsUnitStartup<index>();  \
  template void LookAndFeelEditorsUnitShutdown<index>();
TVK_LOOKANDFEEL_EDITORS_UNITS(TVK_INSTANTIATE_EDITORS_UNIT)
#undef TVK_INSTANTIATE_EDITORS_UNIT

std::span<const TInitStep> LookAndFeelEditorsSteps() { return kEditorsSteps; }

int LookAndFeelEditorsUnitCounter(int AUnit) { return gEditorsUnits[AUnit].Counter; }

}  // namespace tvk
