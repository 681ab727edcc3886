#include "dcdevenv.h"

#include "XPTypes.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

namespace tvk {

namespace {

constexpr std::array<TDevEnvRelease, 0> kReleases{};

class RegistryKey {
public:
  RegistryKey(HKEY root, const WideString& path) {
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &FKey) != ERROR_SUCCESS) FKey = nullptr;
  }
  ~RegistryKey() {
    if (FKey) RegCloseKey(FKey);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  WideString String(std::wstring_view name) const {
    if (!FKey) return {};
    WideString valueName(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(FKey, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
      return {};
    WideString value(size / sizeof(wchar_t) + 1, L'\0');
    size = DWORD(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(FKey, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS)
      return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
  }

private:
  HKEY FKey = nullptr;
};

template <class Get>
WideString FolderOf(Get get) {
  wchar_t buffer[MAX_PATH + 1] = {};
  UINT n = get(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return AddTrailingBackslash(buffer);
}

}  // namespace

std::span<const TDevEnvRelease> DevEnvReleases() { return kReleases; }

WideString DevEnvValue(int release, std::wstring_view name) {
  if (release < 0 || std::size_t(release) >= DevEnvReleases().size()) return {};
  return RegistryKey(HKEY_LOCAL_MACHINE, WideString(L"Software\\") + DevEnvReleases()[std::size_t(release)].RegistryKey)
      .String(name);
}

WideString DevEnvRootFolder(int release) { return AddTrailingBackslash(DevEnvValue(release, L"RootDir")); }

WideString DevEnvHelpFolder(int release) {
  WideString root = DevEnvRootFolder(release);
  return root.empty() ? root : root + L"HELP\\";
}

WideString SystemFolder() { return FolderOf(GetSystemDirectoryW); }

WideString WindowsFolder() { return FolderOf(GetWindowsDirectoryW); }

WideString ProgramFilesFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROGRAM_FILES, FALSE) || !buffer[0]) return {};
  return AddTrailingBackslash(buffer);
}

}  // namespace tvk
