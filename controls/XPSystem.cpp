#include "XPSystem.h"

#include "Themes.h"
#include "WindowClasses.h"

#include <shellapi.h>

#include <vector>

namespace tvk {

bool IsWindowsXPOrLater() {
  int major = Win32MajorVersion();
  return major > 5 || (major == 5 && Win32MinorVersion() > 0);
}

bool IsVistaOrLater() { return Win32MajorVersion() >= 6; }

HMODULE FindResourceModule(const WideString& name, const wchar_t* type) {
  std::vector<HMODULE> modules{ClassLibraryInstance()};
  if (HMODULE host = GetModuleHandleW(nullptr); host != modules[0]) modules.push_back(host);
  for (HMODULE module : modules)
    if (FindResourceW(module, name.c_str(), type)) return module;
  return nullptr;
}

HICON GetStockIconHandle(int siid, bool large) {
  if (!IsVistaOrLater()) return nullptr;
  // Looked up by name: the export exists from Windows Vista on.
  using GetStockIconInfo = HRESULT(WINAPI*)(SHSTOCKICONID, UINT, SHSTOCKICONINFO*);
  auto get = reinterpret_cast<GetStockIconInfo>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"shell32.dll"), "SHGetStockIconInfo")));
  if (!get) return nullptr;
  SHSTOCKICONINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(get(SHSTOCKICONID(siid), SHGSI_ICON | (large ? 0 : SHGSI_SMALLICON), &info))) return nullptr;
  return info.hIcon;
}

}  // namespace tvk
