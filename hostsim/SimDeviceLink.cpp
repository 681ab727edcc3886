#include "SimDeviceLink.h"

namespace hostsim {

namespace {

template <class F>
F SystemExport(const std::wstring& systemFolder, const wchar_t* dll, const char* name) {
  // The module stays loaded: the driver keeps the handle it found.
  HMODULE module = LoadLibraryW((systemFolder + L"\\" + dll).c_str());
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The memories LoadFromProject read last; each answers its data file.
class SimMemories : public FakeHostObject {
public:
  explicit SimMemories(long kind) {
    Serve(disp::EmbeddedMemories_LoadFromProject, "ob", [this, kind](std::vector<VARIANT*>& args, VARIANT*) {
      FFiles.clear();
      auto* project = dynamic_cast<SimProject*>(static_cast<FakeHostObject*>(args[0]->pdispVal));
      if (project && kind == 3) FFiles = project->MemoryFiles;
      return S_OK;
    });
    Serve(disp::EmbeddedMemories_GetCount, "", [this](std::vector<VARIANT*>&, VARIANT* result) {
      SetResultInt(result, long(FFiles.size()));
      return S_OK;
    });
    Serve(disp::EmbeddedMemories_GetMemory, "i", [this](std::vector<VARIANT*>& args, VARIANT* result) {
      const long index = args[0]->lVal;
      if (index < 0 || std::size_t(index) >= FFiles.size()) return E_INVALIDARG;
      auto memory = SimRef<FakeHostObject>::Adopt(new FakeHostObject);
      memory->Serve(disp::EmbeddedMemory_GetDataFileName, "o",
                    [file = FFiles[std::size_t(index)]](std::vector<VARIANT*>&, VARIANT* r) {
                      SetResultString(r, file);
                      return S_OK;
                    });
      SetResultObject(result, memory.Get());
      return S_OK;
    });
  }

private:
  std::vector<std::wstring> FFiles;
};

}  // namespace

SimProject::SimProject(std::wstring outputFile) { SetOutputFile(outputFile); }

void SimProject::SetOutputFile(const std::wstring& file) {
  Serve(disp::Project_GetOutputFileName, "s", [file](std::vector<VARIANT*>&, VARIANT* result) {
    SetResultString(result, file);
    return S_OK;
  });
}

SimDeviceLink::SimDeviceLink(std::wstring deviceName) {
  ReturnString(disp::DeviceLink_GetDeviceName, deviceName);
  Serve(disp::DeviceLink_GetProject, "", [this](std::vector<VARIANT*>&, VARIANT* result) {
    if (FProject)
      SetResultObject(result, FProject.Get());
    else
      SetResultObject(result, nullptr);
    return S_OK;
  });
}

bool SetDriverManagerDevice(const std::wstring& systemFolder, const std::wstring& name, IDispatch* device) {
  using TSet = void(__stdcall*)(const wchar_t*, IDispatch*);
  auto set = SystemExport<TSet>(systemFolder, L"TovikManager.dll", "HostSim_SetDriverManagerDevice");
  if (!set) return false;
  set(name.c_str(), device);
  return true;
}

bool SetDeviceFamilyProperty(const std::wstring& systemFolder, const std::wstring& family, const std::wstring& name,
                             const std::wstring& value) {
  using TSet = void(__stdcall*)(const wchar_t*, const wchar_t*, const wchar_t*);
  auto set = SystemExport<TSet>(systemFolder, L"TovikManager.dll", "HostSim_SetDeviceFamilyProperty");
  if (!set) return false;
  set(family.c_str(), name.c_str(), value.c_str());
  return true;
}

bool SetGenericDevice(const std::wstring& systemFolder, std::uint32_t idcode, std::uint32_t secondaryId,
                      const std::wstring& bsdlFile, const std::wstring& libraryReference,
                      const std::wstring& libraryName) {
  using TSet = void(__stdcall*)(std::uint32_t, std::uint32_t, const wchar_t*, const wchar_t*, const wchar_t*);
  auto set = SystemExport<TSet>(systemFolder, L"TovikManager.dll", "HostSim_SetGenericDevice");
  if (!set) return false;
  set(idcode, secondaryId, bsdlFile.c_str(), libraryReference.c_str(), libraryName.c_str());
  return true;
}

void ServeEmbeddedMemories(FakeHostObject& workspace) {
  workspace.Serve(disp::EmbeddedMemoryManager_GetMemories, "i", [](std::vector<VARIANT*>& args, VARIANT* result) {
    auto memories = SimRef<SimMemories>::Adopt(new SimMemories(args[0]->lVal));
    SetResultObject(result, memories.Get());
    return S_OK;
  });
}

bool SetHostWorkspace(const std::wstring& systemFolder, IDispatch* workspace) {
  using TSet = void(__stdcall*)(IDispatch*);
  auto set = SystemExport<TSet>(systemFolder, L"HostWorkspace.dll", "HostSim_SetWorkspace");
  if (!set) return false;
  set(workspace);
  return true;
}

}  // namespace hostsim
