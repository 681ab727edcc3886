#pragma once
// Theme services: whether the system's visual styles are in use, with a
// switch that turns them off for the module, and the Windows version the
// module's look decisions read (overridable, so that every look can be tried
// on one machine).
#include <windows.h>

#include <uxtheme.h>

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

// A theme's data opened for a window and a class list, closed when it goes
// (null without a window or when the window has no theme of that class).
class TThemeHandle {
public:
  TThemeHandle(HWND window, const wchar_t* classList);
  ~TThemeHandle();
  TThemeHandle(const TThemeHandle&) = delete;
  TThemeHandle& operator=(const TThemeHandle&) = delete;
  operator HTHEME() const { return FTheme; }
  explicit operator bool() const { return FTheme != nullptr; }

private:
  HTHEME FTheme;
  bool FOwned;  // opened by the system, so closed here
};

// Opening a theme and drawing a part's background: one owner each, with a
// replacement a test sets (null puts the system's back) to see what the
// painters ask of a theme where the system has none. A handle a replacement
// opener gives is never closed.
using TThemeOpener = HTHEME (*)(HWND window, const wchar_t* classList);
TThemeOpener SetThemeOpener(TThemeOpener opener);
using TThemeBackgroundPainter = HRESULT (*)(HTHEME theme, HDC dc, int part, int state, const RECT& rect);
HRESULT ThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect);
TThemeBackgroundPainter SetThemeBackgroundPainter(TThemeBackgroundPainter painter);

// An integer property of a theme part (the system's GetThemeInt). One reader
// serves every control, so that tests can answer what a theme would; a
// reader set here is used until null puts the system's back.
using TThemeIntReader = HRESULT (*)(HTHEME theme, int part, int state, int property, int* value);
HRESULT ThemeInt(HTHEME theme, int part, int state, int property, int& value);
// Answers the reader that was in place.
TThemeIntReader SetThemeIntReader(TThemeIntReader reader);

// The Windows version (major.minor) the module behaves for: the system's,
// unless overridden.
int Win32MajorVersion();
int Win32MinorVersion();
void OverrideWin32Version(int major, int minor);
void ClearWin32VersionOverride();

}  // namespace tvk
