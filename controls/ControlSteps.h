#pragma once
// The styled controls' start-up and shut-down steps, declared apart from
// their units for the module's ordered table: the units' own headers bring
// the class library's graphics, which the driver's units do not include.
// Their order in the table: as listed here, and as TVK_STYLED_CONTROLS_STEPS
// gives them to a start-up table.
#include "ModuleInit.h"

namespace tvk {

bool XPGraphicsStartup();      // gradient implementation (GradientFill when msimg32.dll has it)
void XPGraphicsShutdown();
bool XPImagesStartup();        // "bmp" to the compressed bitmap, "bmpx" to the plain one
void XPImagesShutdown();
bool AlphaImageStartup();      // "img" and "png"
void AlphaImageShutdown();
bool SmoothTextStartup();      // an empty glyph cache
void SmoothTextShutdown();
bool XPControlUtilsStartup();  // substitute colours and control metrics
void XPControlUtilsShutdown();
bool XPControlsStartup();      // no print-time detour yet
void XPControlsShutdown();     // GetWindowDC's entry put back
bool InstrumentWidgetsStartup();   // nothing loaded yet: skins and glyphs come at first use
void InstrumentWidgetsShutdown();  // skins, glyphs and a GDI+ left running freed
bool XPEditsStartup();         // no glyphs, menu or transparent-edit list yet
void XPEditsShutdown();        // the transparent-edit hook removed; glyphs and menu freed
bool WinXPButtonsStartup();    // skins not loaded yet
void WinXPButtonsShutdown();   // skins and the shield icon freed
bool XPProgressStartup();      // skins not loaded yet
void XPProgressShutdown();
bool XPScrollsStartup();       // skins not loaded yet
void XPScrollsShutdown();      // skins freed

}  // namespace tvk

#define TVK_STYLED_CONTROLS_STEPS                                                                   \
  ::tvk::TInitStep{"XPGraphics", &::tvk::XPGraphicsStartup, &::tvk::XPGraphicsShutdown},             \
      ::tvk::TInitStep{"XPImages", &::tvk::XPImagesStartup, &::tvk::XPImagesShutdown},               \
      ::tvk::TInitStep{"AlphaImage", &::tvk::AlphaImageStartup, &::tvk::AlphaImageShutdown},         \
      ::tvk::TInitStep{"SmoothText", &::tvk::SmoothTextStartup, &::tvk::SmoothTextShutdown},         \
      ::tvk::TInitStep{"XPControlUtils", &::tvk::XPControlUtilsStartup, &::tvk::XPControlUtilsShutdown}, \
      ::tvk::TInitStep{"XPControls", &::tvk::XPControlsStartup, &::tvk::XPControlsShutdown},         \
      ::tvk::TInitStep{"Instruments", &::tvk::InstrumentWidgetsStartup, &::tvk::InstrumentWidgetsShutdown}, \
      ::tvk::TInitStep{"XPEdits", &::tvk::XPEditsStartup, &::tvk::XPEditsShutdown},                  \
      ::tvk::TInitStep{"WinXPButtons", &::tvk::WinXPButtonsStartup, &::tvk::WinXPButtonsShutdown},   \
      ::tvk::TInitStep{"XPProgress", &::tvk::XPProgressStartup, &::tvk::XPProgressShutdown},         \
      ::tvk::TInitStep{"XPScrolls", &::tvk::XPScrollsStartup, &::tvk::XPScrollsShutdown},
