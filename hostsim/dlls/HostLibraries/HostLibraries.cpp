// Stand-in for the host's integrated-library module: the model-type manager
// and the library manager. Its two exports answer through their one out
// parameter and return nothing.
#include "FakeHostObject.h"

#include <cstdint>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

namespace {

hostsim::FakeHostObject* gModelTypeManager = nullptr;
hostsim::FakeHostObject* gLibraryManager = nullptr;
bool gModelTypeManagerAbsent = false;
std::map<std::wstring, IDispatch*> gModelTypes;  // by upper-case name; counted

// A component the library manager finds once one of its files is installed.
struct Library {
  std::wstring Name, Reference, File, Footprint, Datafile;
  bool Installed = false;
};
std::vector<Library> gLibraries;
std::vector<std::wstring> gInstalled;  // every InstallLibrary, in order

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

const Library* Installed(const std::wstring& reference) {
  for (const Library& library : gLibraries)
    if (library.Installed && Upper(library.Reference) == Upper(reference)) return &library;
  return nullptr;
}

void SetByRef(VARIANT* arg, const std::wstring& text) {
  if (arg->vt != (VT_BYREF | VT_BSTR)) return;
  SysFreeString(*arg->pbstrVal);
  *arg->pbstrVal = SysAllocString(text.c_str());
}

__declspec(dllexport) void __stdcall LibApi_GetLibraryManager(IUnknown** manager) {
  const bool made = gLibraryManager != nullptr;
  Hand(gLibraryManager, L"IntegratedLibraryManager", manager);
  if (made) return;
  // InstallLibrary(file): noted; the components of that file are found from now on.
  gLibraryManager->Serve(503277, "s", [](std::vector<VARIANT*>& args, VARIANT*) {
    const std::wstring file = hostsim::ArgString(args[0]);
    gInstalled.push_back(file);
    for (Library& library : gLibraries)
      if (Upper(library.File) == Upper(file)) library.Installed = true;
    return S_OK;
  });
  // FindComponentLibrary(name, reference, var file): the library that holds the symbol.
  gLibraryManager->On(503282, [](std::vector<VARIANT*>& args, VARIANT* result) {
    if (args.size() != 3) return DISP_E_BADPARAMCOUNT;
    const Library* found = Installed(hostsim::ArgString(args[1]));
    SetByRef(args[2], found ? found->File : L"");
    hostsim::SetResultString(result, found ? found->File : L"");
    return S_OK;
  });
  // FindFootprintDatafile(0, footprint, model type, reference, file, var unused).
  gLibraryManager->On(503284, [](std::vector<VARIANT*>& args, VARIANT* result) {
    if (args.size() != 6) return DISP_E_BADPARAMCOUNT;
    const Library* found = Installed(hostsim::ArgString(args[3]));
    hostsim::SetResultString(result, found && Upper(found->Footprint) == Upper(hostsim::ArgString(args[1]))
                                         ? found->Datafile
                                         : L"");
    return S_OK;
  });
  // GetComponentFootprint(reference, file, model type, 0).
  gLibraryManager->Serve(503288, "sssi", [](std::vector<VARIANT*>& args, VARIANT* result) {
    const Library* found = Installed(hostsim::ArgString(args[0]));
    hostsim::SetResultString(result, found ? found->Footprint : L"");
    return S_OK;
  });
}

// Simulator control: a component in library File, with its footprint and the
// footprint's data file; found once File is installed (at once with Installed).
__declspec(dllexport) void __stdcall HostSim_AddLibraryComponent(const wchar_t* name, const wchar_t* reference,
                                                                 const wchar_t* file, const wchar_t* footprint,
                                                                 const wchar_t* datafile, int32_t installed) {
  gLibraries.push_back(Library{name, reference, file, footprint, datafile, installed != 0});
}

// Simulator control: forgets every component and every installation.
__declspec(dllexport) void __stdcall HostSim_ClearLibraries() {
  gLibraries.clear();
  gInstalled.clear();
}

// Simulator control: the files InstallLibrary was given, in order.
__declspec(dllexport) int32_t __stdcall HostSim_InstalledLibraryCount() { return int32_t(gInstalled.size()); }
__declspec(dllexport) const wchar_t* __stdcall HostSim_InstalledLibrary(int32_t index) {
  return index >= 0 && index < int32_t(gInstalled.size()) ? gInstalled[std::size_t(index)].c_str() : L"";
}

}  // extern "C"
