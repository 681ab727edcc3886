// Stand-in for the host's FPGA-flow module, which the host loads when its
// FPGA-flow server starts: hands out the device workbench.
#include "FakeHostObject.h"

namespace {
constexpr DISPID kWorkbench_GetPortCount = 504020;
constexpr DISPID kWorkbench_GetCoreForDevice = 504032;
constexpr DISPID kCore_GetCoreName = 504043;
constexpr DISPID kCore_GetCoreDescription = 504046;
hostsim::FakeHostObject* gWorkbench = nullptr;
// The design core the workbench finds for every device (null: none).
hostsim::FakeHostObject* gCore = nullptr;
// A test's own workbench in place of the module's (one reference held); null: the module's.
IDispatch* gWorkbenchOverride = nullptr;
}

extern "C" __declspec(dllexport) void __stdcall HostSim_SetTovikWorkbench(IDispatch* workbench) {
  if (workbench) workbench->AddRef();
  if (gWorkbenchOverride) gWorkbenchOverride->Release();
  gWorkbenchOverride = workbench;
}

// A design core named Name with Description for every device; a null Name: none.
extern "C" __declspec(dllexport) void __stdcall HostSim_SetDesignCore(const wchar_t* name, const wchar_t* description) {
  if (gCore) gCore->Release();
  gCore = nullptr;
  if (!name) return;
  gCore = new hostsim::FakeHostObject;
  gCore->SetServices({L"TovikCore"});
  gCore->ReturnString(kCore_GetCoreName, name);
  gCore->ReturnString(kCore_GetCoreDescription, description ? description : L"");
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
    gWorkbench->Serve(kWorkbench_GetCoreForDevice, "o", [](std::vector<VARIANT*>&, VARIANT* r) {
      hostsim::SetResultObject(r, gCore);
      return S_OK;
    });
  }
  *workbench = static_cast<IDispatch*>(gWorkbench);
  gWorkbench->AddRef();
  return S_OK;
}
