#pragma once
// Names and identifiers the host and the module agree on for docked panels,
// stored options and the design database. Plain constants only: the simulated
// host includes this header too, so both sides read one definition.
#include <cstdint>
#include <string_view>

namespace tvk::host {

// The options store: the module's server and the pin-state panel's section.
inline constexpr std::wstring_view kOptionsServer = L"TovikManager";
inline constexpr std::wstring_view kPinStatesSection = L"Pin States Panel";

// A server view that the host files under a category of its panels menu.
inline constexpr std::wstring_view kCategorizedServerViewService = L"CategorizedServerView";
inline constexpr std::int32_t kDispServerView_Category = 577;
inline constexpr std::int32_t kDispServerView_Subcategory = 578;
inline constexpr std::wstring_view kInstrumentsCategory = L"&Instruments";

// Document kinds the client reports for a file.
inline constexpr std::wstring_view kDocumentKindPCB = L"PCB";
inline constexpr std::wstring_view kDocumentKindPCBProject = L"PCBPROJECT";

// Device families: the generic family and the property naming a family's default IO standard.
inline constexpr std::wstring_view kGenericDeviceFamily = L"Generic";
inline constexpr std::wstring_view kDefaultIOStandardProperty = L"WM_DefaultIOStandard";

// The design database: the workspace's projects and the objects below them.
inline constexpr std::int32_t kDispWorkspace_GetProject = 501402;
inline constexpr std::int32_t kDispWorkspace_GetProjectCount = 501404;
inline constexpr std::int32_t kDispWorkspace_GetDocumentByPath = 501412;
inline constexpr std::int32_t kDispWorkspace_GetProjectByPath = 501413;
inline constexpr std::int32_t kDispClient_GetDocumentKind = 509;
inline constexpr std::wstring_view kSchematicServer = L"SCH";

// Port parameters of an FPGA schematic naming the device pins and their IO attributes.
inline constexpr std::wstring_view kParameterPinNumber = L"FPGA_PINNUM";
inline constexpr std::wstring_view kParameterPinNumberShort = L"PINNUM";
inline constexpr std::wstring_view kParameterIOStandard = L"FPGA_IOSTANDARD";
inline constexpr std::wstring_view kParameterSlew = L"FPGA_SLEW";
inline constexpr std::wstring_view kParameterDrive = L"FPGA_DRIVE";

// The device manager: two library references naming one device.
inline constexpr std::int32_t kDispDeviceManager_IsEquivalentDevice = 504007;

}  // namespace tvk::host
