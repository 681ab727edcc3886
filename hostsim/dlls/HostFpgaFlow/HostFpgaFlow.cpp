// Stand-in for the host's FPGA-flow module, which the host loads when its
// FPGA-flow server starts: hands out the device workbench.
#include "FakeHostObject.h"

namespace {
hostsim::FakeHostObject* gWorkbench = nullptr;
}

extern "C" __declspec(dllexport) HRESULT __stdcall GetTovikWorkspace(IUnknown** workbench) {
  if (!workbench) return E_POINTER;
  if (!gWorkbench) {
    gWorkbench = new hostsim::FakeHostObject;
    gWorkbench->SetServices({L"TovikWorkbench"});
  }
  *workbench = static_cast<IDispatch*>(gWorkbench);
  gWorkbench->AddRef();
  return S_OK;
}
