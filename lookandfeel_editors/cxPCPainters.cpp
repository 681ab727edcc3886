#include "cxPCPainters.h"

#include "cxLookAndFeels.h"

namespace tvk {

TcxLookAndFeelStyle GetTabPainterStyle(TcxLookAndFeel* ALookAndFeel) {
  TcxCustomLookAndFeelPainter* painter = ALookAndFeel ? ALookAndFeel->GetAvailablePainter(totTab) : nullptr;
  return painter ? painter->LookAndFeelStyle() : lfsSkin;
}

bool TcxPCTabsPainter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  const TcxLookAndFeelStyle style = GetTabPainterStyle(ALookAndFeel);
  return style == lfsStandard || style == lfsNative;
}

bool TcxPCTabsPainter::IsDefault(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && ALookAndFeel->NativeStyle();
}

bool TcxPCUltraFlatPainter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return GetTabPainterStyle(ALookAndFeel) == lfsUltraFlat;
}

bool TcxPCFlatPainter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return GetTabPainterStyle(ALookAndFeel) == lfsFlat;
}

bool TcxPCOffice11Painter::HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && !ALookAndFeel->SkinPainter() && GetTabPainterStyle(ALookAndFeel) == lfsOffice11;
}

void cxPCPaintersUnitStart() {
  for (int i = 0; i < cxPCRegisteredPainterCount; ++i) RegisterPainterClass(RegisteredPCPainterClasses()[i]);
}

void cxPCPaintersUnitStop() {
  for (int i = 0; i < cxPCRegisteredPainterCount; ++i) UnregisterPainterClass(RegisteredPCPainterClasses()[i]);
}

}  // namespace tvk
