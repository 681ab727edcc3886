#include "Themes.h"

#include <uxtheme.h>

#include <utility>

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

TThemeIntReader gThemeIntReader = nullptr;
TThemeOpener gThemeOpener = nullptr;
TThemeBackgroundPainter gThemeBackgroundPainter = nullptr;

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

TThemeHandle::TThemeHandle(HWND window, const wchar_t* classList)
    : FTheme(!window ? nullptr : gThemeOpener ? gThemeOpener(window, classList) : OpenThemeData(window, classList)),
      FOwned(gThemeOpener == nullptr) {}

TThemeHandle::~TThemeHandle() {
  if (FTheme && FOwned) CloseThemeData(FTheme);
}

TThemeOpener SetThemeOpener(TThemeOpener opener) { return std::exchange(gThemeOpener, opener); }

HRESULT ThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect) {
  if (gThemeBackgroundPainter) return gThemeBackgroundPainter(theme, dc, part, state, rect);
  return DrawThemeBackground(theme, dc, part, state, &rect, nullptr);
}

TThemeBackgroundPainter SetThemeBackgroundPainter(TThemeBackgroundPainter painter) {
  return std::exchange(gThemeBackgroundPainter, painter);
}

HRESULT ThemeInt(HTHEME theme, int part, int state, int property, int& value) {
  if (gThemeIntReader) return gThemeIntReader(theme, part, state, property, &value);
  return GetThemeInt(theme, part, state, property, &value);
}

TThemeIntReader SetThemeIntReader(TThemeIntReader reader) { return std::exchange(gThemeIntReader, reader); }

int Win32MajorVersion() { return CurrentVersion().Major; }
int Win32MinorVersion() { return CurrentVersion().Minor; }

void OverrideWin32Version(int major, int minor) {
  gVersionOverride = {major, minor};
  gVersionOverridden = true;
}

void ClearWin32VersionOverride() { gVersionOverridden = false; }

}  // namespace tvk
