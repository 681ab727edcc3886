#pragma once
// The host's side of a flash-programming session: the project a debug device
// belongs to (its program output file, 500085), the device link the host
// hands a driver (504082 project, 504085 device name), the device manager's
// driver-manager face (504018: a device by name, through TovikManager.dll)
// and the workspace's embedded memories of a project (508622, 508617,
// 508615, 508614, 508611, through HostWorkspace.dll).
#include "FakeHostObject.h"
#include "SimHost.h"

#include <string>
#include <vector>

namespace hostsim {

namespace disp {
constexpr DISPID Project_GetOutputFileName = 500085;
constexpr DISPID DeviceLink_GetProject = 504082;
constexpr DISPID DeviceLink_GetDeviceName = 504085;
constexpr DISPID DriverManager_GetTovikDevice = 504018;
constexpr DISPID EmbeddedMemoryManager_GetMemories = 508622;
constexpr DISPID EmbeddedMemories_LoadFromProject = 508617;
constexpr DISPID EmbeddedMemories_GetCount = 508615;
constexpr DISPID EmbeddedMemories_GetMemory = 508614;
constexpr DISPID EmbeddedMemory_GetDataFileName = 508611;
}  // namespace disp

// A project: its output file, and the data files of its embedded memories of
// kind 3 (each memory names one file for the project).
class SimProject : public FakeHostObject {
public:
  explicit SimProject(std::wstring outputFile = {});
  void SetOutputFile(const std::wstring& file);
  std::vector<std::wstring> MemoryFiles;
};

// A device link: the device's name and its project (none: empty).
class SimDeviceLink : public FakeHostObject {
public:
  explicit SimDeviceLink(std::wstring deviceName);
  void SetProject(SimRef<SimProject> project) { FProject = std::move(project); }

private:
  SimRef<SimProject> FProject;
};

// The host's device manager answers Name (without regard to case) with
// Device (counted while set; null withdraws the name) through the stand-in
// device-manager module in SystemFolder.
bool SetDriverManagerDevice(const std::wstring& systemFolder, const std::wstring& name, IDispatch* device);
// The device manager's family Family (any case) has the property Name = Value
// (the family manager answers only families given a property).
bool SetDeviceFamilyProperty(const std::wstring& systemFolder, const std::wstring& family, const std::wstring& name,
                             const std::wstring& value);
// The generic device manager answers its BSDL file, library reference and
// library name for the device of IdCode and SecondaryId.
bool SetGenericDevice(const std::wstring& systemFolder, std::uint32_t idcode, std::uint32_t secondaryId,
                      const std::wstring& bsdlFile, const std::wstring& libraryReference,
                      const std::wstring& libraryName);

// Serves the embedded-memory manager on Workspace: the memories of a project
// are its SimProject::MemoryFiles (kind 3 only; another kind has none).
void ServeEmbeddedMemories(FakeHostObject& workspace);
// Makes Workspace (null: none) the one the stand-in workspace module in
// SystemFolder hands out.
bool SetHostWorkspace(const std::wstring& systemFolder, IDispatch* workspace);

}  // namespace hostsim
