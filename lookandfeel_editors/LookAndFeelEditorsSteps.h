#pragma once
// The editors' and tab control's units in their start-up order, as rows of
// the module's start-up table (TVK_LOOKANDFEEL_EDITORS_STEPS, right after the
// look-and-feel library's) and as a table of their own that tests run alone.
// Each unit keeps a counter: its start runs on the first initialisation only
// and its stop on the last finalisation only. Units without work yet stand in
// the order with nothing to do.
#include "ModuleInit.h"

#include <span>

namespace tvk {

// Index, unit name.
#define TVK_LOOKANDFEEL_EDITORS_UNITS(X)                                                                      \
  X(0, "cxDataConsts") X(1, "cxDataStorage") X(2, "cxEditPaintUtils") X(3, "cxFormats") X(4, "cxDateUtils")  \
  X(5, "cxEditConsts") X(6, "cxFilterConsts") X(7, "cxEdit") X(8, "cxFilterEditConsts")                     \
  X(9, "cxFilterControlStrs") X(10, "cxTextEdit") X(11, "cxMemo") X(12, "cxPCConsts")                       \
  X(13, "cxPCPaintersFactory") X(14, "cxPCPainters") X(15, "cxPC")

// The units themselves, by index.
std::span<TCountedUnit> LookAndFeelEditorsUnits();

#define TVK_LOOKANDFEEL_EDITORS_ROW(index, name)                                             \
  ::tvk::TInitStep{name, &::tvk::CountedUnitStartup<&::tvk::LookAndFeelEditorsUnits, index>, \
                   &::tvk::CountedUnitShutdown<&::tvk::LookAndFeelEditorsUnits, index>},
// The rows for the module's table, at the units' place in it.
#define TVK_LOOKANDFEEL_EDITORS_STEPS TVK_LOOKANDFEEL_EDITORS_UNITS(TVK_LOOKANDFEEL_EDITORS_ROW)

// The same steps as a table of their own.
std::span<const TInitStep> LookAndFeelEditorsSteps();
// A unit's counter (how often it was initialised and not yet finalised).
int LookAndFeelEditorsUnitCounter(int AUnit);

}  // namespace tvk
