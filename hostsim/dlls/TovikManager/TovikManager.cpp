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
hostsim::FakeHostObject* gFamilyManager = nullptr;
hostsim::FakeHostObject* gGenericManager = nullptr;
// Families by upper-case name: their properties by upper-case name.
std::map<std::wstring, std::map<std::wstring, std::wstring>> gFamilyProperties;
std::map<std::wstring, hostsim::FakeHostObject*> gFamilies;
struct GenericDevice {
  std::wstring BSDLFile, LibraryReference, LibraryName;
};
std::map<std::pair<std::uint32_t, std::uint32_t>, GenericDevice> gGenericDevices;  // by IDCODE and secondary id
bool gManagerAbsent = false;
std::vector<std::wstring> gDeviceInformation;  // each ShowDeviceInformation: "type|parameters"

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(towupper(c));
  return text;
}

hostsim::FakeHostObject* Family(const std::wstring& key) {
  hostsim::FakeHostObject*& family = gFamilies[key];
  if (!family) {
    family = new hostsim::FakeHostObject;
    // IDeviceFamily.HasProperty(name) 503992 / GetPropertyValue(name) 503983 (empty when missing).
    family->Serve(503992, "s", [key](std::vector<VARIANT*>& args, VARIANT* result) {
      hostsim::SetResultBool(result, gFamilyProperties[key].contains(Upper(hostsim::ArgString(args[0]))));
      return S_OK;
    });
    family->Serve(503983, "s", [key](std::vector<VARIANT*>& args, VARIANT* result) {
      const auto& properties = gFamilyProperties[key];
      const auto found = properties.find(Upper(hostsim::ArgString(args[0])));
      hostsim::SetResultString(result, found == properties.end() ? std::wstring() : found->second);
      return S_OK;
    });
  }
  return family;
}

// IGenericDeviceManager 503975 GetBSDLFileName / 503976 GetLibraryReference /
// 503977 GetLibraryName (IDCODE, secondary id): empty for a device it does not know.
hostsim::FakeHostObject* GenericManager() {
  if (!gGenericManager) {
    gGenericManager = new hostsim::FakeHostObject;
    struct Field {
      DISPID Id;
      std::wstring GenericDevice::*Text;
    };
    for (Field field : {Field{503975, &GenericDevice::BSDLFile}, Field{503976, &GenericDevice::LibraryReference},
                        Field{503977, &GenericDevice::LibraryName}})
      gGenericManager->Serve(field.Id, "ii", [field](std::vector<VARIANT*>& args, VARIANT* result) {
        const auto found = gGenericDevices.find({std::uint32_t(args[0]->lVal), std::uint32_t(args[1]->lVal)});
        hostsim::SetResultString(result, found == gGenericDevices.end() ? std::wstring() : found->second.*field.Text);
        return S_OK;
      });
  }
  return gGenericManager;
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
    // IDeviceManager 504014 GetDeviceFamilyManager / 504015 GetGenericDeviceManager.
    gFamilyManager = new hostsim::FakeHostObject;
    // IDeviceFamilyManager.GetDeviceFamily(name) 503996: a known family, else none.
    gFamilyManager->Serve(503996, "s", [](std::vector<VARIANT*>& args, VARIANT* result) {
      const std::wstring key = Upper(hostsim::ArgString(args[0]));
      hostsim::SetResultObject(result, gFamilyProperties.contains(key) ? Family(key) : nullptr);
      return S_OK;
    });
    gDeviceManager->ReturnObject(504014, gFamilyManager);
    gDeviceManager->ReturnObject(504015, GenericManager());
    // IDeviceManager.IsEquivalentDevice(name1, name2): one device under both library references.
    gDeviceManager->Serve(504007, "ss", [](std::vector<VARIANT*>& args, VARIANT* result) {
      hostsim::SetResultBool(result, Upper(hostsim::ArgString(args[0])) == Upper(hostsim::ArgString(args[1])));
      return S_OK;
    });
    // IDeviceManager.ShowDeviceInformation(type, parameters): noted; answers the empty text.
    gDeviceManager->Serve(504001, "ss", [](std::vector<VARIANT*>& args, VARIANT* result) {
      gDeviceInformation.push_back(hostsim::ArgString(args[0]) + L"|" + hostsim::ArgString(args[1]));
      hostsim::SetResultString(result, L"");
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
  *manager = nullptr;
  if (gManagerAbsent) return S_OK;
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

// Simulator control: the device family Family has the property Name = Value.
__declspec(dllexport) void __stdcall HostSim_SetDeviceFamilyProperty(const wchar_t* family, const wchar_t* name,
                                                                     const wchar_t* value) {
  Manager();
  gFamilyProperties[Upper(family ? family : L"")][Upper(name ? name : L"")] = value ? value : L"";
}

// Simulator control: the generic device manager knows the device of IdCode and SecondaryId.
__declspec(dllexport) void __stdcall HostSim_SetGenericDevice(std::uint32_t idcode, std::uint32_t secondaryId,
                                                              const wchar_t* bsdlFile, const wchar_t* libraryReference,
                                                              const wchar_t* libraryName) {
  Manager();
  gGenericDevices[{idcode, secondaryId}] =
      GenericDevice{bsdlFile ? bsdlFile : L"", libraryReference ? libraryReference : L"", libraryName ? libraryName : L""};
}

// Simulator control: the generic device manager's library reference and
// library for a JTAG identification, its BSDL file kept (empty texts withdraw them).
__declspec(dllexport) void __stdcall HostSim_SetGenericDeviceLibrary(std::uint32_t idCode, std::uint32_t secondaryId,
                                                                     const wchar_t* reference, const wchar_t* library) {
  Manager();
  const auto key = std::make_pair(idCode, secondaryId);
  GenericDevice& device = gGenericDevices[key];
  device.LibraryReference = reference ? reference : L"";
  device.LibraryName = library ? library : L"";
  if (device.BSDLFile.empty() && device.LibraryReference.empty() && device.LibraryName.empty()) gGenericDevices.erase(key);
}

// Simulator control: the host has no device manager (GetDeviceManager answers none).
__declspec(dllexport) void __stdcall HostSim_SetDeviceManagerAbsent(int32_t absent) { gManagerAbsent = absent != 0; }

// Simulator control: the ShowDeviceInformation calls so far, "type|parameters" each.
__declspec(dllexport) int32_t __stdcall HostSim_DeviceInformationCount() { return int32_t(gDeviceInformation.size()); }
__declspec(dllexport) const wchar_t* __stdcall HostSim_DeviceInformation(int32_t index) {
  return index >= 0 && index < int32_t(gDeviceInformation.size()) ? gDeviceInformation[std::size_t(index)].c_str()
                                                                  : L"";
}

}  // extern "C"
