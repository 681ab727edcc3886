// Stand-in for the host's workspace-manager module: hands out the workspace
// (projects and documents). The host loads it; modules only find it.
#include "FakeHostObject.h"

namespace {
hostsim::FakeHostObject* gWorkspace = nullptr;
// A test's own workspace in place of the module's (one reference held); null: the module's.
IDispatch* gWorkspaceOverride = nullptr;
}

extern "C" __declspec(dllexport) void __stdcall HostSim_SetWorkspace(IDispatch* workspace) {
  if (workspace) workspace->AddRef();
  if (gWorkspaceOverride) gWorkspaceOverride->Release();
  gWorkspaceOverride = workspace;
}

extern "C" __declspec(dllexport) HRESULT __stdcall GetWorkspace(IUnknown** workspace) {
  if (!workspace) return E_POINTER;
  if (gWorkspaceOverride) {
    *workspace = gWorkspaceOverride;
    gWorkspaceOverride->AddRef();
    return S_OK;
  }
  if (!gWorkspace) {
    gWorkspace = new hostsim::FakeHostObject;
    gWorkspace->SetServices({L"Workspace"});
    // An empty workspace: no projects, no documents.
    gWorkspace->ReturnInt(501404, 0);  // GetProjectCount
    for (DISPID byName : {501412, 501413})  // GetDocumentByPath, GetProjectByPath
      gWorkspace->Serve(byName, "s", [](std::vector<VARIANT*>&, VARIANT* result) {
        hostsim::SetResultObject(result, nullptr);
        return S_OK;
      });
  }
  *workspace = static_cast<IDispatch*>(gWorkspace);
  gWorkspace->AddRef();
  return S_OK;
}
