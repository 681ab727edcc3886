// Stand-in for the host's FPGA-flow module, which the host loads when its
// FPGA-flow server starts: hands out the device workbench.
#include "FakeHostObject.h"

namespace {
constexpr DISPID kWorkbench_GetPortCount = 504020;
hostsim::FakeHostObject* gWorkbench = nullptr;
// A test's own workbench in place of the module's (one reference held); null: the module's.
IDispatch* gWorkbenchOverride = nullptr;
}

extern "C" __declspec(dllexport) void __stdcall HostSim_SetTovikWorkbench(IDispatch* workbench) {
  if (workbench) workbench->AddRef();
  if (gWorkbenchOverride) gWorkbenchOverride->Release();
  gWorkbenchOverride = workbench;
}

extern "C" __declspec(dllexport) HRESULT __stdcall GetTovikWorkspace(IUnknown** workbench) {
  if (!workbench) return E_POINTER;
  if (gWorkbenchOverride) {
    *workbench = gWorkbenchOverride;
    gWorkbenchOverride->AddRef();
    return S_OK;
  }
  if (!gWorkbench) {
    gWorkbench = new hostsim::FakeHostObject;
    gWorkbench->SetServices({L"TovikWorkbench"});
    gWorkbench->ReturnInt(kWorkbench_GetPortCount, 0);  // nothing linked to the host's ports yet
  }
  *workbench = static_cast<IDispatch*>(gWorkbench);
  gWorkbench->AddRef();
  return S_OK;
}
