#pragma once
// The nine tab painter styles that the painters unit registers, with their
// class-level answers (identifier, name, standard style, look-and-feel
// binding), on the two unregistered bases that answer per standard style.
#include "cxPCCustomPainter.h"

namespace tvk {

// The base of the nine styles: what a tab can do follows its standard style.
class TcxPCStandardPainter : public TcxPCCustomPainter {
public:
  TVK_PC_PAINTER(TcxPCStandardPainter, TcxPCCustomPainter)
  static bool IsStandardStyle(TcxPCPainterClass) { return true; }
  static bool IsMainTabBoundWithClient(TcxPCPainterClass Self) { return Self->GetStandardStyle() == tsTabs; }
  static bool IsMultiSelectionAccepted(TcxPCPainterClass Self) { return Self->GetStandardStyle() != tsTabs; }
  static bool IsTabPressable(TcxPCPainterClass Self) { return Self->GetStandardStyle() != tsTabs; }
};

// The base of the two button styles.
class TcxPCButtonedPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCButtonedPainter, TcxPCStandardPainter)
};

// The identifier, name and standard style of a registered style.
#define TVK_PC_STYLE(Id, Name, Standard)                                              \
  static TcxPCStyleID GetStyleID(TcxPCPainterClass) { return Id; }                    \
  static WideString GetStyleName(TcxPCPainterClass) { return Name; }                  \
  static TcxPCStandardStyle GetStandardStyle(TcxPCPainterClass) { return Standard; }

class TcxPCTabsPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCTabsPainter, TcxPCStandardPainter)
  TVK_PC_STYLE(1, L"Tabs", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);
  static bool IsDefault(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);
};

class TcxPCButtonsPainter : public TcxPCButtonedPainter {
public:
  TVK_PC_PAINTER(TcxPCButtonsPainter, TcxPCButtonedPainter)
  TVK_PC_STYLE(2, L"Buttons", tsButtons)
};

class TcxPCFlatButtonsPainter : public TcxPCButtonedPainter {
public:
  TVK_PC_PAINTER(TcxPCFlatButtonsPainter, TcxPCButtonedPainter)
  TVK_PC_STYLE(3, L"FlatButtons", tsFlatButtons)
};

class TcxPCExtraFlatPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCExtraFlatPainter, TcxPCStandardPainter)
  TVK_PC_STYLE(5, L"ExtraFlat", tsTabs)
  static bool IsMainTabBoundWithClient(TcxPCPainterClass) { return true; }
  static bool IsMultiSelectionAccepted(TcxPCPainterClass) { return false; }
  static bool IsTabPressable(TcxPCPainterClass) { return false; }
};

class TcxPCUltraFlatPainter : public TcxPCExtraFlatPainter {
public:
  TVK_PC_PAINTER(TcxPCUltraFlatPainter, TcxPCExtraFlatPainter)
  TVK_PC_STYLE(6, L"UltraFlat", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);
};

class TcxPCFlatPainter : public TcxPCTabsPainter {
public:
  TVK_PC_PAINTER(TcxPCFlatPainter, TcxPCTabsPainter)
  TVK_PC_STYLE(7, L"Flat", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);
};

class TcxPCOffice11Painter : public TcxPCUltraFlatPainter {
public:
  TVK_PC_PAINTER(TcxPCOffice11Painter, TcxPCUltraFlatPainter)
  TVK_PC_STYLE(8, L"Office11", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);
};

class TcxPCSlantedPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCSlantedPainter, TcxPCStandardPainter)
  TVK_PC_STYLE(9, L"Slanted", tsTabs)
};

class TcxPCOneNotePainter : public TcxPCSlantedPainter {
public:
  TVK_PC_PAINTER(TcxPCOneNotePainter, TcxPCSlantedPainter)
  TVK_PC_STYLE(10, L"OneNote", tsTabs)
};

#undef TVK_PC_STYLE

// The nine registered classes in their registration order.
inline TcxPCPainterClass const* RegisteredPCPainterClasses() {
  static const TcxPCPainterClass classes[] = {
      TcxPCTabsPainter::Class(),      TcxPCButtonsPainter::Class(), TcxPCFlatButtonsPainter::Class(),
      TcxPCExtraFlatPainter::Class(), TcxPCUltraFlatPainter::Class(), TcxPCFlatPainter::Class(),
      TcxPCOffice11Painter::Class(),  TcxPCSlantedPainter::Class(),   TcxPCOneNotePainter::Class()};
  return classes;
}
constexpr int cxPCRegisteredPainterCount = 9;

// The painter style of the painter that ALookAndFeel offers for tabs.
TcxLookAndFeelStyle GetTabPainterStyle(TcxLookAndFeel* ALookAndFeel);

void cxPCPaintersUnitStart();
void cxPCPaintersUnitStop();

}  // namespace tvk
