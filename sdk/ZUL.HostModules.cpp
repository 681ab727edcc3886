#include "ZUL.HostModules.h"

#include "Files.h"
#include "ZUL.Types.h"
#include "ZUL.Util.h"
#include "Convert.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace tvk {

namespace {

// Host module handles (0: not found yet, looked for again on the next call)
// and the exports bound once with them.
using TResultExport = HRESULT(__stdcall*)(IUnknown** answer);
using TLibApiExport = void(__stdcall*)(IUnknown** answer);
using TGetJTagPort = HRESULT(__stdcall*)(std::int32_t index, IDispatch** port);
using TGetJTagPortCount = HRESULT(__stdcall*)(std::int32_t* count);

HMODULE gWorkspaceModule = nullptr;
TResultExport gGetWorkspace = nullptr;
HMODULE gDeviceManagerModule = nullptr;  // its exports are looked up on every call
HMODULE gLibraryModule = nullptr;
TLibApiExport gGetModelTypeManager = nullptr;
TLibApiExport gGetLibraryManager = nullptr;
HMODULE gFPGAFlowModule = nullptr;
TResultExport gGetTovikWorkspace = nullptr;

template <class F>
F Export(HMODULE module, const char* name) {
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE LoadedModule(std::wstring_view fileName) { return GetModuleHandleW(WideString(fileName).c_str()); }

// Calls an export that answers a result code and one interface; a failed code
// raises, the interface is asked for IDispatch.
template <class R>
R CallResultExport(TResultExport function) {
  ComRef<IUnknown> answer;
  CheckResult(function(answer.Receive()));
  return R::FromInterface(answer.Get());
}

template <class R>
R CallLibApiExport(TLibApiExport function) {
  ComRef<IUnknown> answer;
  function(answer.Receive());
  return R::FromInterface(answer.Get());
}

HRESULT FailureCode(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EOleSysError& e) {
    return FAILED(e.ErrorCode()) ? HRESULT(e.ErrorCode()) : kE_UNEXPECTED;
  } catch (const EResultError& e) {
    return FAILED(e.Code()) ? HRESULT(e.Code()) : kE_UNEXPECTED;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// The first line of a text file; raises when it cannot be opened.
WideString FirstLine(const WideString& fileName) {
  std::vector<WideString> lines = LoadTextLines(fileName);
  return lines.empty() ? WideString() : lines.front();
}

// Whether Version is one of the lines of a versions list in the System folder.
bool ListedVersion(const WideString& version, std::wstring_view listName) {
  std::vector<WideString> lines = LoadTextLines(GetSystemFolder() + WideString(listName));
  return std::any_of(lines.begin(), lines.end(), [&](const WideString& l) { return SameTextIgnoringCase(l, version); });
}

bool VendorToolUpToDate(std::wstring_view vendor, WideString& version) {
  version.clear();
  IVendorToolManager manager = GetVendorToolManager();
  if (!manager) return false;
  bool upToDate = manager.IsVendorToolUpToDate(WideString(vendor));
  version = manager.GetVendorToolVersion(WideString(vendor));
  return upToDate;
}

}  // namespace

IWorkspace GetHostWorkspace() {
  if (!gWorkspaceModule) {
    gWorkspaceModule = LoadedModule(kWorkspaceManagerModule);
    if (gWorkspaceModule) gGetWorkspace = Export<TResultExport>(gWorkspaceModule, "GetWorkspace");
  }
  return gGetWorkspace ? CallResultExport<IWorkspace>(gGetWorkspace) : IWorkspace();
}

ISch_ServerInterface GetSchematicServer() {
  IClient client = GetHostClient();
  return client ? RecordAs<ISch_ServerInterface>(client.GetServerModuleByName(L"SCH")) : ISch_ServerInterface();
}

IDeviceManager GetHostDeviceManager() {
  LoadHostModule(gDeviceManagerModule, kDeviceManagerModule);
  auto function = Export<TResultExport>(gDeviceManagerModule, "GetDeviceManager");
  return function ? CallResultExport<IDeviceManager>(function) : IDeviceManager();
}

std::int32_t GetHostJTagPortCount() {
  LoadHostModule(gDeviceManagerModule, kDeviceManagerModule);
  auto function = Export<TGetJTagPortCount>(gDeviceManagerModule, "GetJTagPortCount");
  if (!function) return 0;
  std::int32_t count = 0;
  CheckResult(function(&count));
  return count;
}

IJtagPort GetHostJTagPort(std::int32_t index) {
  LoadHostModule(gDeviceManagerModule, kDeviceManagerModule);
  auto function = Export<TGetJTagPort>(gDeviceManagerModule, "GetJTagPort");
  if (!function) return {};
  ComRef<IDispatch> port;
  CheckResult(function(index, port.Receive()));
  return IJtagPort(port.Get());  // taken as it is, without a query
}

std::int32_t FindJTagPortIndex(const IJtagPort& port) {
  if (!port) return -1;
  ComRef<IDispatch> wanted = port.ToDispatch();
  const std::int32_t count = GetHostJTagPortCount();
  for (std::int32_t i = 0; i < count; ++i)
    if (GetHostJTagPort(i).ToPointer() == wanted.Get()) return i;
  return -1;
}

namespace {

void BindLibraryModule() {
  if (gLibraryModule) return;
  LoadHostModule(gLibraryModule, kIntegratedLibraryModule);
  gGetModelTypeManager = Export<TLibApiExport>(gLibraryModule, "LibApi_GetModelTypeManager");
  gGetLibraryManager = Export<TLibApiExport>(gLibraryModule, "LibApi_GetLibraryManager");
}

}  // namespace

IModelTypeManager GetModelTypeManager() {
  BindLibraryModule();
  return gGetModelTypeManager ? CallLibApiExport<IModelTypeManager>(gGetModelTypeManager) : IModelTypeManager();
}

IIntegratedLibraryManager GetIntegratedLibraryManager() {
  BindLibraryModule();
  return gGetLibraryManager ? CallLibApiExport<IIntegratedLibraryManager>(gGetLibraryManager)
                            : IIntegratedLibraryManager();
}

ITovikWorkbench GetTovikWorkbench() {
  if (!gFPGAFlowModule) {
    // Starting the server makes the host load the FPGA-flow module.
    if (IClient client = GetHostClient()) client.StartServer(WideString(kFPGAFlowServer));
    gFPGAFlowModule = LoadedModule(kFPGAFlowModule);
    if (gFPGAFlowModule) gGetTovikWorkspace = Export<TResultExport>(gFPGAFlowModule, "GetTovikWorkspace");
  }
  return gGetTovikWorkspace ? CallResultExport<ITovikWorkbench>(gGetTovikWorkspace) : ITovikWorkbench();
}

IFPGAFlowModule GetFPGAFlowModule() {
  return RecordAs<IFPGAFlowModule>(GetHostClient().GetServerModuleByName(WideString(kFPGAFlowServer)));
}

IVendorToolManager GetVendorToolManager() {
  if (!GetHostClient()) return {};
  IFPGAFlowModule flow = GetFPGAFlowModule();
  return flow ? flow.GetVendorToolManager() : IVendorToolManager();
}

// ---- Vendor tools

WideString GetVendorToolPath(int vendorIndex, std::wstring_view toolName) {
  if (vendorIndex < 0 || vendorIndex >= int(kFPGAToolVendors.size())) return {};
  IVendorToolManager manager = GetVendorToolManager();
  return manager ? manager.GetVendorToolPath(WideString(kFPGAToolVendors[std::size_t(vendorIndex)]), WideString(toolName))
                 : WideString();
}

WideString GetAlteraToolPath(std::wstring_view toolName) { return GetVendorToolPath(kAlteraToolVendor, toolName); }

WideString GetActelToolPath(std::wstring_view toolName) { return GetVendorToolPath(kActelToolVendor, toolName); }

WideString GetActelAdmFolder() {
  WideString path = GetActelToolPath(L"Designer");
  if (path.empty()) return {};
  WideString folder = AppendCharIfMissing(ExtractFileDir(path) + L"\\..\\adm", L'\\');
  return DirectoryExists(folder) ? folder : WideString();
}

bool CheckActelToolsVersion(WideString& version) {
  version.clear();
  WideString folder = GetActelAdmFolder();
  if (folder.empty()) return false;
  WideString line = FirstLine(folder + L"verinfo");
  if (line.empty() || !ListedVersion(line, L"ACTELVersions.Txt")) return false;
  version = line;
  return true;
}

bool CheckAlteraToolsVersion(WideString& version) {
  version.clear();
  WideString path = GetAlteraToolPath(L"Quartus_Cmd");
  if (path.empty()) return false;
  // The readme lies in the folder above the tool's own folder.
  WideString line = FirstLine(ExtractFilePath(ExtractFileDir(path)) + L"readme.txt");
  std::size_t p = line.find(L"Version");
  if (p == WideString::npos) p = line.find(L"Release");
  if (p == WideString::npos) return false;
  std::wstring_view rest = TrimBlanks(std::wstring_view(line).substr(p + 7));
  std::size_t blank = rest.find(L' ');
  if (blank == std::wstring_view::npos) return false;
  WideString found(rest.substr(0, blank));
  if (!ListedVersion(found, L"AlteraVersions.Txt")) return false;
  version = found;
  return true;
}

bool CheckLatticeToolsVersion(WideString& version) { return VendorToolUpToDate(L"Lattice", version); }

bool CheckXilinxToolsVersion(WideString& version) { return VendorToolUpToDate(L"Xilinx", version); }

// ---- Server modules and documents of other record families

IPCB_ServerInterface GetPCBServer() {
  IClient client = GetHostClient();
  return client ? RecordAs<IPCB_ServerInterface>(client.GetServerModuleByName(L"PCB")) : IPCB_ServerInterface();
}

IEmbeddedMemoryManager GetEmbeddedMemoryManager() { return RecordAs<IEmbeddedMemoryManager>(GetHostWorkspace()); }

HRESULT OpenEmbeddedStack(std::wstring_view fileName, IEmbeddedStack& stack) {
  stack = IEmbeddedStack();
  if (fileName.empty()) return S_OK;
  try {
    const WideString name(fileName);
    IClient client = GetHostClient();
    IServerDocument document = client.GetDocumentByPath(name);
    if (!document && FileExists(name)) document = client.OpenDocument(L"EmbeddedStack", name);
    if (document) stack = RecordAs<IEmbeddedStack>(document);
    return S_OK;
  } catch (...) {
    return FailureCode(std::current_exception());
  }
}

}  // namespace tvk
