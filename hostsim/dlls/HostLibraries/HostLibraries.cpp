// Stand-in for the host's integrated-library module: the model-type manager
// and the library manager. Its two exports answer through their one out
// parameter and return nothing.
#include "FakeHostObject.h"

namespace {

hostsim::FakeHostObject* gModelTypeManager = nullptr;
hostsim::FakeHostObject* gLibraryManager = nullptr;

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
  Hand(gModelTypeManager, L"ModelTypeManager", manager);
}

__declspec(dllexport) void __stdcall LibApi_GetLibraryManager(IUnknown** manager) {
  Hand(gLibraryManager, L"IntegratedLibraryManager", manager);
}

}  // extern "C"
