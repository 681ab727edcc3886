// Stand-in for the host's integrated-library module: the model-type manager
// and the library manager. Its two exports answer through their one out
// parameter and return nothing.
#include "FakeHostObject.h"

#include <cstdint>
#include <cwctype>
#include <map>
#include <string>

namespace {

hostsim::FakeHostObject* gModelTypeManager = nullptr;
hostsim::FakeHostObject* gLibraryManager = nullptr;
bool gModelTypeManagerAbsent = false;
std::map<std::wstring, IDispatch*> gModelTypes;  // by upper-case name; counted

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(towupper(c));
  return text;
}

void Hand(hostsim::FakeHostObject*& object, const wchar_t* service, IUnknown** out) {
  if (!out) return;
  if (!object) {
    object = new hostsim::FakeHostObject;
    object->SetServices({service});
  }
  *out = static_cast<IDispatch*>(object);
  object->AddRef();
}

}  // namespace

extern "C" {

__declspec(dllexport) void __stdcall LibApi_GetModelTypeManager(IUnknown** manager) {
  if (gModelTypeManagerAbsent) {
    if (manager) *manager = nullptr;
    return;
  }
  const bool made = gModelTypeManager != nullptr;
  Hand(gModelTypeManager, L"ModelTypeManager", manager);
  if (made) return;
  // IModelTypeManager.GetModelType(name): the model type of that name, else none.
  gModelTypeManager->Serve(503269, "s", [](std::vector<VARIANT*>& args, VARIANT* result) {
    auto found = gModelTypes.find(Upper(hostsim::ArgString(args[0])));
    hostsim::SetResultObject(result, found == gModelTypes.end() ? nullptr : found->second);
    return S_OK;
  });
}

// Simulator control: GetModelType answers Name (any case) with Type; null withdraws it.
__declspec(dllexport) void __stdcall HostSim_SetModelType(const wchar_t* name, IDispatch* type) {
  const std::wstring key = Upper(name ? name : L"");
  if (type) type->AddRef();
  if (auto found = gModelTypes.find(key); found != gModelTypes.end()) {
    found->second->Release();
    gModelTypes.erase(found);
  }
  if (type) gModelTypes[key] = type;
}

// Simulator control: the host has no model-type manager while Absent.
__declspec(dllexport) void __stdcall HostSim_SetModelTypeManagerAbsent(int32_t absent) {
  gModelTypeManagerAbsent = absent != 0;
}

__declspec(dllexport) void __stdcall LibApi_GetLibraryManager(IUnknown** manager) {
  Hand(gLibraryManager, L"IntegratedLibraryManager", manager);
}

}  // extern "C"
