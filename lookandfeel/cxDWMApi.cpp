#include "cxDWMApi.h"

#include "Themes.h"
#include "dxUxTheme.h"

namespace tvk {

namespace {

HMODULE gDwmApi = nullptr;

constexpr const char* kDwmEntryNames[] = {
#define TVK_DWM_NAME(name) #name,
    TVK_DWM_ENTRIES(TVK_DWM_NAME)
#undef TVK_DWM_NAME
};

}  // namespace

TDwmEntries& DwmEntries() {
  static TDwmEntries entries;
  return entries;
}

bool IsDwmAvailable() { return gDwmApi != nullptr; }

bool IsDwmCompositionOn() {
  using TIsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
  auto entry = reinterpret_cast<TIsCompositionEnabled>(
      reinterpret_cast<void*>(DwmEntries().Entry[dwmDwmIsCompositionEnabled]));
  if (!IsDwmAvailable() || !entry) return false;
  BOOL enabled = FALSE;
  return SUCCEEDED(entry(&enabled)) && enabled;
}

void cxDWMApiUnitStart() {
  if (Win32MajorVersion() <= 5) return;
  gDwmApi = LoadLibraryW(L"dwmapi.dll");
  BindEntriesByName(gDwmApi, kDwmEntryNames, DwmEntries().Entry);
}

void cxDWMApiUnitStop() {
  DwmEntries() = TDwmEntries{};
  if (gDwmApi) FreeLibrary(gDwmApi);
  gDwmApi = nullptr;
}

}  // namespace tvk
