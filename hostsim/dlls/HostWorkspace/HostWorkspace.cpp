// Stand-in for the host's workspace-manager module: hands out the workspace
// (projects and documents). The host loads it; modules only find it.
#include "FakeHostObject.h"

namespace {
hostsim::FakeHostObject* gWorkspace = nullptr;
}

extern "C" __declspec(dllexport) HRESULT __stdcall GetWorkspace(IUnknown** workspace) {
  if (!workspace) return E_POINTER;
  if (!gWorkspace) {
    gWorkspace = new hostsim::FakeHostObject;
    gWorkspace->SetServices({L"Workspace"});
  }
  *workspace = static_cast<IDispatch*>(gWorkspace);
  gWorkspace->AddRef();
  return S_OK;
}
