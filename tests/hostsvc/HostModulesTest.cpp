// Plug-in folders, host modules found by name (loaded from the host's folders
// or only found when the host loaded them), their exports and the server
// modules the client names. Host modules stay loaded once found, so the
// sequence tests below each use a module no other test touches.
#include "HostFixture.h"

#include "ModuleImports.h"
#include "ZUL.HostModules.h"
#include "support/TestFolder.h"

using namespace tvk;
using hostsim::FakeHostObject;
using testsupport::TestFolder;
namespace disp = hostsim::disp;

namespace {

std::wstring SystemDir() {
  wchar_t full[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, full, nullptr);
  return full;
}

HMODULE HostLoads(const wchar_t* name) { return LoadLibraryW((SystemDir() + L"\\" + name).c_str()); }

// Asked without GetModuleHandleW, which the look-up count watches.
bool ManagerLoaded() {
  HMODULE module = nullptr;
  return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, L"TovikManager.dll", &module) && module;
}

class HostModules : public hostsvc_test::HostFixture {};

TEST_F(HostModules, PluginFoldersInRegistryOrderEnabledOnly) {
  Host.AddPlugin(L"C:\\Plugins\\A");
  Host.AddPlugin(L"C:\\Plugins\\Off\\", true);
  Host.AddPlugin(L"C:\\Plugins\\B\\");
  Host.AddPlugin(L"C:\\Plugins\\C");
  std::vector<std::wstring> seen;
  ForEachPluginFolder([&](const WideString& folder, bool& stop) {
    seen.push_back(folder);
    stop = folder == L"C:\\Plugins\\B\\";
  });
  EXPECT_EQ((std::vector<std::wstring>{L"C:\\Plugins\\A\\", L"C:\\Plugins\\B\\"}), seen);
  NoClient();
  ForEachPluginFolder([&](const WideString&, bool&) { ADD_FAILURE() << "no client, no folders"; });
}

TEST_F(HostModules, FileSearchInSystemAndPluginFolders) {
  TestFolder off, first, second;
  off.Write(L"Probe.cfg", "off");
  second.Write(L"Probe.cfg", "second");
  second.Write(L"Other.cfg", "x");
  first.Folder(L"Probe.cfg");  // a folder of that name is not a file
  Host.AddPlugin(off.Path(), true);
  Host.AddPlugin(first.Path());
  Host.AddPlugin(second.Path().substr(0, second.Path().size() - 1));
  EXPECT_EQ(second / L"Probe.cfg", FindFileInHostFolders(L"Probe.cfg"));
  EXPECT_EQ(L"", FindFileInHostFolders(L"Missing.cfg"));
  hostsvc_test::SystemFiles system;
  std::wstring inSystem = system.Write(L"Probe.cfg", "system");
  EXPECT_EQ(inSystem, FindFileInHostFolders(L"Probe.cfg"));
  NoClient();
  EXPECT_EQ(L"", FindFileInHostFolders(L"Other.cfg"));
}

TEST_F(HostModules, ABrokenPluginFolderFailsTheSearch) {
  const struct {
    std::wstring Folder;
    const wchar_t* Message;
  } cases[] = {
      {L"", L"The specified path was not found"},
      {L"C:\\No\\Such\\Plugin", L"The specified path was not found"},
      {L"C:\\Plugins\\A|B", L"Invalid characters in path"},
      {L"C:\\" + std::wstring(300, L'x'), L"The specified path is too long"},
  };
  for (const auto& c : cases) {
    hostsim::SimClient host;
    host.AddPlugin(c.Folder);
    host.Install();
    ReleaseHostClient();
    try {
      FindFileInHostFolders(L"Probe.cfg");
      ADD_FAILURE() << "no error for a broken folder";
    } catch (const Exception& e) {
      EXPECT_EQ(c.Message, e.Message());
    }
    ReleaseHostClient();
  }
  Host.Install();
}

// A process without the manager (this one: it attaches no board) looks for it
// again on every call, and keeps it from the call that finds it on.
TEST_F(HostModules, DeviceManagerFoundOnceTheHostLoadsIt) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"TovikManager.dll")) << "another test loaded the device manager";
  Host.AddPlugin(SystemDir(), true);  // disabled: not searched
  IJtagPort someone(&Host.Client());
  HMODULE manager = nullptr;
  {
    hostsim::ModuleLookups searches(GetModuleHandleW(nullptr), L"TovikManager.dll");
    ASSERT_TRUE(searches.Active());
    EXPECT_EQ(0, GetHostJTagPortCount());
    EXPECT_FALSE(GetHostJTagPort(0));
    EXPECT_FALSE(GetHostDeviceManager());
    EXPECT_EQ(3, searches.Take()) << "one search per call while it is missing";
    EXPECT_EQ(-1, FindJTagPortIndex(someone));
    EXPECT_EQ(1, searches.Take());
    EXPECT_FALSE(ManagerLoaded()) << "no enabled folder holds it: the module loaded nothing";

    manager = HostLoads(L"TovikManager.dll");
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(1, GetHostJTagPortCount());
    EXPECT_EQ(1, searches.Take()) << "found on the next call";
    EXPECT_TRUE(GetHostDeviceManager());
    EXPECT_EQ(GetHostDeviceManager().ToPointer(), GetHostDeviceManager().ToPointer());
    EXPECT_EQ(-1, FindJTagPortIndex(someone));
    EXPECT_EQ(0, searches.Take()) << "kept once found";
  }

  auto setCount = reinterpret_cast<void(__stdcall*)(int32_t)>(
      reinterpret_cast<void*>(GetProcAddress(manager, "HostSim_SetJTagPortCount")));
  ASSERT_NE(nullptr, setCount);
  setCount(3);
  IJtagPort third = GetHostJTagPort(2);
  ASSERT_TRUE(third);
  EXPECT_NE(GetHostJTagPort(1).ToPointer(), third.ToPointer());
  EXPECT_EQ(2, FindJTagPortIndex(third));
  EXPECT_EQ(-1, FindJTagPortIndex(someone));
  EXPECT_EQ(-1, FindJTagPortIndex(IJtagPort()));
  // A failed result code of the export raises in the caller.
  try {
    GetHostJTagPort(3);
    ADD_FAILURE() << "no error for a port the host does not have";
  } catch (const EResultError& e) {
    EXPECT_EQ(E_INVALIDARG, e.Code());
  }
  setCount(1);
}

TEST_F(HostModules, IntegratedLibraryModuleLoadedFromAPluginFolder) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"HostLibraries.dll")) << "another test loaded the library module";
  EXPECT_FALSE(GetModelTypeManager());
  EXPECT_FALSE(GetIntegratedLibraryManager());
  Host.AddPlugin(SystemDir());
  IModelTypeManager types = GetModelTypeManager();
  IIntegratedLibraryManager libraries = GetIntegratedLibraryManager();
  EXPECT_NE(nullptr, GetModuleHandleW(L"HostLibraries.dll"));  // the module loaded it
  ASSERT_TRUE(types);
  ASSERT_TRUE(libraries);
  EXPECT_NE(types.ToPointer(), libraries.ToPointer());
}

TEST_F(HostModules, WorkspaceIsOnlyFoundNeverLoaded) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"HostWorkspace.dll")) << "another test loaded the workspace manager";
  Host.AddPlugin(SystemDir());  // it lies there, but the module does not load it
  EXPECT_FALSE(GetHostWorkspace());
  EXPECT_FALSE(GetEmbeddedMemoryManager());
  EXPECT_EQ(nullptr, GetModuleHandleW(L"HostWorkspace.dll"));
  ASSERT_NE(nullptr, HostLoads(L"HostWorkspace.dll"));
  IWorkspace workspace = GetHostWorkspace();
  ASSERT_TRUE(workspace);
  EXPECT_EQ(workspace.ToPointer(), GetEmbeddedMemoryManager().ToPointer());  // the same object, no query
}

TEST_F(HostModules, WorkbenchAfterTheServerStarts) {
  ASSERT_EQ(nullptr, GetModuleHandleW(L"HostFpgaFlow.dll")) << "another test loaded the FPGA-flow module";
  std::vector<std::wstring> started;
  Host.OnStartServer([&](const std::wstring& name) {
    started.push_back(name);
    return false;
  });
  EXPECT_FALSE(GetTovikWorkbench());
  EXPECT_FALSE(GetTovikWorkbench());
  EXPECT_EQ((std::vector<std::wstring>{L"FpgaFlow", L"FpgaFlow"}), started);  // asked again while not found
  Host.OnStartServer([&](const std::wstring& name) {
    started.push_back(name);
    return HostLoads(L"HostFpgaFlow.dll") != nullptr;
  });
  EXPECT_TRUE(GetTovikWorkbench());
  EXPECT_TRUE(GetTovikWorkbench());
  EXPECT_EQ(3u, started.size());  // found: the server is not started again
}

TEST_F(HostModules, ServerModulesOfTheClient) {
  auto* sch = new FakeHostObject;
  auto* pcb = new FakeHostObject;
  auto* flow = new FakeHostObject;
  auto* tools = new FakeHostObject;
  flow->ReturnObject(509009, tools);
  Host.AddServerModule(L"SCH", sch);
  Host.AddServerModule(L"PCB", pcb);
  EXPECT_FALSE(GetFPGAFlowModule());
  EXPECT_FALSE(GetVendorToolManager());
  Host.AddServerModule(L"FpgaFlow", flow);
  EXPECT_EQ(static_cast<IDispatch*>(sch), GetSchematicServer().ToPointer());
  EXPECT_EQ(static_cast<IDispatch*>(pcb), GetPCBServer().ToPointer());
  EXPECT_EQ(static_cast<IDispatch*>(flow), GetFPGAFlowModule().ToPointer());
  EXPECT_EQ(static_cast<IDispatch*>(tools), GetVendorToolManager().ToPointer());
  EXPECT_EQ(0, sch->QueryInterfaces());  // taken as they are

  NoClient();
  Host.Client().ClearCalls();
  EXPECT_FALSE(GetSchematicServer());
  EXPECT_FALSE(GetPCBServer());
  EXPECT_FALSE(GetVendorToolManager());
  EXPECT_THROW(GetFPGAFlowModule(), Exception);
  EXPECT_TRUE(Host.Client().Calls().empty());
  for (auto* o : {sch, pcb, flow, tools}) o->Release();
}

TEST_F(HostModules, OpenEmbeddedStack) {
  TestFolder folder;
  std::wstring onDisk = folder.Write(L"Platform.SwPlatform", "stack");
  FakeHostObject& open = Host.AddDocument(folder / L"Open.SwPlatform");
  auto* opened = new FakeHostObject;
  Host.Client().On(506, [&](std::vector<VARIANT*>& a, VARIANT* r) {
    if (a.size() != 2 || hostsim::ArgString(a[0]) != L"EmbeddedStack") return E_INVALIDARG;
    hostsim::SetResultObject(r, opened);
    return S_OK;
  });

  IEmbeddedStack stack(&Host.Client());
  EXPECT_EQ(S_OK, OpenEmbeddedStack(L"", stack));
  EXPECT_FALSE(stack);
  EXPECT_TRUE(Host.Client().Calls().empty());

  EXPECT_EQ(S_OK, OpenEmbeddedStack(folder / L"Open.SwPlatform", stack));
  EXPECT_EQ(static_cast<IDispatch*>(&open), stack.ToPointer());
  EXPECT_EQ(S_OK, OpenEmbeddedStack(onDisk, stack));
  EXPECT_EQ(static_cast<IDispatch*>(opened), stack.ToPointer());
  EXPECT_EQ(onDisk, hostsvc_test::LastCall(Host.Client()).Str(1));
  EXPECT_EQ(S_OK, OpenEmbeddedStack(folder / L"Missing.SwPlatform", stack));
  EXPECT_FALSE(stack);

  hostsim::Fault denied;
  denied.Result = E_ACCESSDENIED;
  Host.Client().FailWith(disp::Client_GetDocumentByPath, denied);
  EXPECT_EQ(E_ACCESSDENIED, OpenEmbeddedStack(onDisk, stack));
  NoClient();
  EXPECT_TRUE(FAILED(OpenEmbeddedStack(onDisk, stack)));
  EXPECT_FALSE(stack);
  opened->Release();
}

}  // namespace
