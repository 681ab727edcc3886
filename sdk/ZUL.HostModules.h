#pragma once
// The host modules beside the host executable and the root objects their
// exports hand out: the design workspace, the debug-device manager and its
// JTAG ports, the integrated-library managers, the FPGA-flow workbench and
// vendor tools; and the server modules the client names. A missing module or
// export gives an empty record (0 for a count, -1 for a port index).
#include "ORV.Embedded.RecordInterfaces.h"
#include "ORV.PCB.RecordInterfaces.h"
#include "ORV.RecordInterfaces.h"
#include "ORV.SCH.RecordInterfaces.h"
#include "ZUL.RecordInterfaces.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace tvk {

// File names of the host modules and the FPGA-flow server's name.
inline constexpr std::wstring_view kWorkspaceManagerModule = L"HostWorkspace.dll";
inline constexpr std::wstring_view kDeviceManagerModule = L"TovikManager.dll";
inline constexpr std::wstring_view kIntegratedLibraryModule = L"HostLibraries.dll";
inline constexpr std::wstring_view kFPGAFlowModule = L"HostFpgaFlow.dll";
inline constexpr std::wstring_view kFPGAFlowServer = L"FpgaFlow";

// FPGA tool vendors by the index the vendor-tool path takes.
inline constexpr auto kFPGAToolVendors = std::to_array<std::wstring_view>({L"Altera", L"Xilinx", L"Actel", L"Lattice"});
inline constexpr int kAlteraToolVendor = 0, kActelToolVendor = 2;

// Found among the loaded modules only (the host loads it).
IWorkspace GetHostWorkspace();
// The client's "SCH" server module; empty without a client.
ISch_ServerInterface GetSchematicServer();

// From "TovikManager.dll", loaded from the host's folders when needed.
IDeviceManager GetHostDeviceManager();
std::int32_t GetHostJTagPortCount();
IJtagPort GetHostJTagPort(std::int32_t index);
// The index of the host port that is the same object as Port; -1 if none.
std::int32_t FindJTagPortIndex(const IJtagPort& port);

IModelTypeManager GetModelTypeManager();
IIntegratedLibraryManager GetIntegratedLibraryManager();

// The workbench of the FPGA-flow module, which the FPGA-flow server loads.
ITovikWorkbench GetTovikWorkbench();
// The client's FPGA-flow server module; raises without a client.
IFPGAFlowModule GetFPGAFlowModule();
// Empty without a client or FPGA-flow module.
IVendorToolManager GetVendorToolManager();

// ---- Vendor tools

// Empty without a vendor-tool manager.
WideString GetVendorToolPath(int vendorIndex, std::wstring_view toolName);
WideString GetAlteraToolPath(std::wstring_view toolName);
WideString GetActelToolPath(std::wstring_view toolName);
// The Actel tools' "adm" folder (ending with "\"), or empty.
WideString GetActelAdmFolder();
// Whether the installed tools are of a supported version; Version is the
// installed version (empty when not found). The Actel and Altera checks raise
// when a file they read cannot be opened.
bool CheckActelToolsVersion(WideString& version);
bool CheckAlteraToolsVersion(WideString& version);
bool CheckLatticeToolsVersion(WideString& version);
bool CheckXilinxToolsVersion(WideString& version);

// ---- Server modules and documents of other record families

// The client's "PCB" server module; empty without a client.
IPCB_ServerInterface GetPCBServer();
// The design workspace, which also answers as the embedded-memory manager.
IEmbeddedMemoryManager GetEmbeddedMemoryManager();
// The memory kind of the collection the host fills with the embedded design's memories.
constexpr int32_t kEmbeddedMemoryKind = 2;
// The software stack of FileName: its open document, else the file opened as
// an "EmbeddedStack" document. 0 on success (also for an empty name, with an
// empty stack); any error gives its failure code, never an exception.
HRESULT OpenEmbeddedStack(std::wstring_view fileName, IEmbeddedStack& stack);

}  // namespace tvk
