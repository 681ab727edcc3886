#pragma once
// The look-and-feel library's units in their start-up order, as rows of the
// module's start-up table (TVK_LOOKANDFEEL_STEPS) and as a table of their own
// that tests run alone. Each unit keeps a counter: its start runs on the first
// initialisation only and its stop on the last finalisation only. Units
// without work yet stand in the order with nothing to do.
#include "ModuleInit.h"

#include <span>

namespace tvk {

// Index, unit name.
#define TVK_LOOKANDFEEL_UNITS(X)                                                                              \
  X(0, "dxUxTheme") X(1, "dxThemeManager") X(2, "dxOffice11") X(3, "cxGeometry") X(4, "cxDrawTextUtils")   \
  X(5, "cxLookAndFeelPainters") X(6, "cxLookAndFeels") X(7, "cxLibraryStrs") X(8, "cxDWMApi")               \
  X(9, "cxControls") X(10, "cxClasses") X(11, "dxGDIPlusAPI") X(12, "dxGDIPlusClasses") X(13, "cxGraphics") \
  X(14, "dxHooks") X(15, "cxContainer")

// The units themselves, by index.
std::span<TCountedUnit> LookAndFeelUnits();

#define TVK_LOOKANDFEEL_ROW(index, name)                                             \
  ::tvk::TInitStep{name, &::tvk::CountedUnitStartup<&::tvk::LookAndFeelUnits, index>, \
                   &::tvk::CountedUnitShutdown<&::tvk::LookAndFeelUnits, index>},
// The rows for the module's table, at the library's place in it.
#define TVK_LOOKANDFEEL_STEPS TVK_LOOKANDFEEL_UNITS(TVK_LOOKANDFEEL_ROW)

// The same steps as a table of their own.
std::span<const TInitStep> LookAndFeelSteps();
// A unit's counter (how often it was initialised and not yet finalised).
int LookAndFeelUnitCounter(int AUnit);

}  // namespace tvk
