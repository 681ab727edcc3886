#include "Themes.h"

#include <uxtheme.h>

namespace tvk {

namespace {

struct TVersion {
  int Major = 0, Minor = 0;
};

TVersion SystemVersion() {
  static const TVersion version = [] {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&info);
#pragma GCC diagnostic pop
    return TVersion{int(info.dwMajorVersion), int(info.dwMinorVersion)};
  }();
  return version;
}

bool gVersionOverridden = false;
TVersion gVersionOverride;

TVersion CurrentVersion() { return gVersionOverridden ? gVersionOverride : SystemVersion(); }

}  // namespace

bool TThemeServices::ThemesAvailable() const { return GetModuleHandleW(L"uxtheme.dll") != nullptr; }

bool TThemeServices::ThemesEnabled() const {
  return !FSwitchedOff && ThemesAvailable() && IsThemeActive() && IsAppThemed();
}

TThemeServices& ThemeServices() {
  static TThemeServices services;
  return services;
}

int Win32MajorVersion() { return CurrentVersion().Major; }
int Win32MinorVersion() { return CurrentVersion().Minor; }

void OverrideWin32Version(int major, int minor) {
  gVersionOverride = {major, minor};
  gVersionOverridden = true;
}

void ClearWin32VersionOverride() { gVersionOverridden = false; }

}  // namespace tvk
