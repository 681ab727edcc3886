#pragma once
// Names that belong to the host: its server processes, its model types and its
// library file extensions. The module passes them on and compares with them;
// the simulated host answers to the same names, so both read them from here.
// Plain constants only: the simulated host includes this header.

namespace tvk::hostnames {

// The FPGA-flow server's two processes: the device action ("Target=...") and
// the flow action ("Action=..." of the design flow).
inline constexpr wchar_t kFpgaFlowDeviceAction[] = L"FPGAFlow:RunDeviceAction";
inline constexpr wchar_t kFpgaFlowFlowAction[] = L"FPGAFlow:RunFlowAction";

// The model type of footprint libraries.
inline constexpr wchar_t kFootprintModelType[] = L"FOOTPRINT";

// Library files: integrated, schematic and footprint libraries.
inline constexpr wchar_t kIntegratedLibraryExt[] = L".ilib";
inline constexpr wchar_t kSchematicLibraryExt[] = L".slib";
inline constexpr wchar_t kFootprintLibraryExt[] = L".flib";

}  // namespace tvk::hostnames
