#include "SimHostModules.h"

#include <string>

namespace hostsim {

namespace {

// The host's System folder, ending with '\': the stand-in host modules lie there.
std::wstring HostSystemFolder() {
  wchar_t full[MAX_PATH + 1] = {};
  const DWORD length = GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, full, nullptr);
  std::wstring folder(full, length <= MAX_PATH ? length : 0);
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder;
}

}  // namespace

HMODULE HostDeviceManager() {
  // Never freed: the host unloads it only as its process ends.
  static const HMODULE manager = LoadLibraryW((HostSystemFolder() + L"TovikManager.dll").c_str());
  return manager;
}

}  // namespace hostsim
