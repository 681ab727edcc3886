#pragma once
// Theme services: whether the system's visual styles are in use, with a
// switch that turns them off for the module, and the Windows version the
// module's look decisions read (overridable, so that every look can be tried
// on one machine).
#include <windows.h>

namespace tvk {

class TThemeServices {
public:
  // Visual styles active for the system and this application, unless switched off.
  bool ThemesEnabled() const;
  // The uxtheme library answers at all.
  bool ThemesAvailable() const;
  // Off: ThemesEnabled answers false whatever the system says.
  void SetThemesSwitchedOff(bool off) { FSwitchedOff = off; }
  bool ThemesSwitchedOff() const { return FSwitchedOff; }

private:
  bool FSwitchedOff = false;
};

TThemeServices& ThemeServices();

// The Windows version (major.minor) the module behaves for: the system's,
// unless overridden.
int Win32MajorVersion();
int Win32MinorVersion();
void OverrideWin32Version(int major, int minor);
void ClearWin32VersionOverride();

}  // namespace tvk
