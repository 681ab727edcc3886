// Stand-in for the host's debug-device manager module: the device manager and
// the JTAG ports of the host's probes. Each object lives as long as the DLL.
#include "FakeHostObject.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

hostsim::FakeHostObject* gDeviceManager = nullptr;
std::vector<hostsim::FakeHostObject*> gPorts;
int gPortCount = 1;
std::vector<IDispatch*> gListedPorts;  // the simulator's ports in place of the own ones; counted
std::map<std::wstring, IDispatch*> gDevices;  // the driver manager's devices by upper-case name; counted

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(towupper(c));
  return text;
}

hostsim::FakeHostObject* Manager() {
  if (!gDeviceManager) {
    gDeviceManager = new hostsim::FakeHostObject;
    // IDriverManager.GetTovikDevice(name): the device of that name, else none.
    gDeviceManager->Serve(504018, "s", [](std::vector<VARIANT*>& args, VARIANT* result) {
      auto found = gDevices.find(Upper(hostsim::ArgString(args[0])));
      hostsim::SetResultObject(result, found == gDevices.end() ? nullptr : found->second);
      return S_OK;
    });
    // IDeviceManager.IsEquivalentDevice(name1, name2): one device under both library references.
    gDeviceManager->Serve(504007, "ss", [](std::vector<VARIANT*>& args, VARIANT* result) {
      hostsim::SetResultBool(result, Upper(hostsim::ArgString(args[0])) == Upper(hostsim::ArgString(args[1])));
      return S_OK;
    });
  }
  return gDeviceManager;
}

hostsim::FakeHostObject* Port(int index) {
  while (int(gPorts.size()) <= index) {
    auto* port = new hostsim::FakeHostObject;
    port->SetServices({L"JTagPort"});
    gPorts.push_back(port);
  }
  return gPorts[std::size_t(index)];
}

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT __stdcall GetDeviceManager(IUnknown** manager) {
  if (!manager) return E_POINTER;
  *manager = static_cast<IDispatch*>(Manager());
  gDeviceManager->AddRef();
  return S_OK;
}

__declspec(dllexport) HRESULT __stdcall GetJTagPortCount(int32_t* count) {
  if (!count) return E_POINTER;
  *count = gPortCount;
  return S_OK;
}

__declspec(dllexport) HRESULT __stdcall GetJTagPort(int32_t index, IDispatch** port) {
  if (!port) return E_POINTER;
  *port = nullptr;
  if (index < 0 || index >= gPortCount) return E_INVALIDARG;
  *port = gListedPorts.empty() ? Port(index) : gListedPorts[std::size_t(index)];
  (*port)->AddRef();
  return S_OK;
}

// Simulator control: how many probe ports the host has.
__declspec(dllexport) void __stdcall HostSim_SetJTagPortCount(int32_t count) {
  if (gListedPorts.empty()) gPortCount = count < 0 ? 0 : count;
}

// Simulator control: the host lists Ports (Count of them) instead of its own;
// none puts its own single port back.
__declspec(dllexport) void __stdcall HostSim_SetJTagPorts(int32_t count, IDispatch* const* ports) {
  for (IDispatch* listed : gListedPorts) listed->Release();
  gListedPorts.clear();
  for (int32_t k = 0; k < count; ++k) {
    ports[k]->AddRef();
    gListedPorts.push_back(ports[k]);
  }
  gPortCount = count > 0 ? count : 1;
}

// Simulator control: the driver manager answers Name (any case) with Device;
// null withdraws the name.
__declspec(dllexport) void __stdcall HostSim_SetDriverManagerDevice(const wchar_t* name, IDispatch* device) {
  Manager();
  const std::wstring key = Upper(name ? name : L"");
  if (device) device->AddRef();
  if (auto found = gDevices.find(key); found != gDevices.end()) {
    found->second->Release();
    gDevices.erase(found);
  }
  if (device) gDevices[key] = device;
}

}  // extern "C"
