#pragma once
// Vocabulary of the host's design domain shared by every extension: pin
// electrical kinds, message severities and the name lists of the host's
// documents and boards. Ordinals cross the host boundary as plain integers.
#include <array>
#include <cstdint>
#include <string_view>

namespace tvk {

enum TPinElectrical : int {
  eElectricInput,
  eElectricIO,
  eElectricOutput,
  eElectricOpenCollector,
  eElectricPassive,
  eElectricHiZ,
  eElectricOpenEmitter,
  eElectricPower,
};
inline constexpr int kPinElectricalCount = eElectricPower + 1;

inline constexpr auto kPinElectricalNames = std::to_array<std::wstring_view>({
    L"Input", L"I/O", L"Output", L"Open Collector", L"Passive", L"HiZ", L"Open Emitter", L"Power",
});
static_assert(kPinElectricalNames.size() == kPinElectricalCount);

// Indexed by a boolean (false, true).
inline constexpr auto kBooleanNames = std::to_array<std::wstring_view>({L"False", L"True"});
static_assert(kBooleanNames.size() == 2);

// Message severities and their pictures in the host's image list.
inline constexpr auto kSeverityNames = std::to_array<std::wstring_view>({
    L"No Report", L"Warning", L"Error", L"Fatal Error",
});
inline constexpr auto kSeverityImageIndexes = std::to_array<std::int32_t>({71, 72, 73, 74});
static_assert(kSeverityImageIndexes.size() == kSeverityNames.size());

// ---- Declared vocabulary of the host's documents and boards (the driver reads none of it)

inline constexpr auto kDocumentSpecialParameterNames = std::to_array<std::wstring_view>({
    L"User defined", L"CurrentTime", L"CurrentDate", L"Time", L"Date", L"DocumentFullPathAndName",
    L"DocumentName", L"ModifiedDate", L"ApprovedBy", L"CheckedBy", L"Author", L"CompanyName", L"DrawnBy",
    L"Engineer", L"Organization", L"Address1", L"Address2", L"Address3", L"Address4", L"Title",
    L"DocumentNumber", L"Revision", L"SheetNumber", L"SheetTotal", L"Rule", L"ImagePath",
    L"ConfigurationParameters", L"ConfiguratorName", L"VersionControl_RevNumber", L"IsUserConfigurable",
    L"ProjectName",
});
static_assert(kDocumentSpecialParameterNames.size() == 31);

inline constexpr auto kDielectricKinds = std::to_array<std::wstring_view>({
    L"No dielectric", L"Core", L"Prepreg", L"Surface Material",
});
static_assert(kDielectricKinds.size() == 4);

inline constexpr auto kPlaneConnectionStyles = std::to_array<std::wstring_view>({
    L"No Connection", L"Relief Connection", L"Direct Connection",
});
static_assert(kPlaneConnectionStyles.size() == 3);

inline constexpr auto kPolygonConnectionStyles = std::to_array<std::wstring_view>({L"Relief", L"Direct", L"None"});
static_assert(kPolygonConnectionStyles.size() == 3);

inline constexpr auto kNetScopes = std::to_array<std::wstring_view>({
    L"DifferentNets", L"SameNetOnly", L"AnyNet", L"DifferentPairs", L"SameDiffPairs",
});
static_assert(kNetScopes.size() == 5);

inline constexpr auto kLayerRelations = std::to_array<std::wstring_view>({L"SameLayer", L"AdjacentLayers"});
static_assert(kLayerRelations.size() == 2);

inline constexpr auto kPlaneKinds = std::to_array<std::wstring_view>({L"Polygon", L"Split Plane"});
static_assert(kPlaneKinds.size() == 2);

inline constexpr auto kDesignRuleKinds = std::to_array<std::wstring_view>({
    L"Clearance", L"ParallelSegment", L"Width", L"Length", L"MatchedLengths", L"StubLength", L"PlaneConnect",
    L"RoutingTopology", L"RoutingPriority", L"RoutingLayers", L"RoutingCorners", L"RoutingVias",
    L"PlaneClearance", L"SolderMaskExpansion", L"PasteMaskExpansion", L"ShortCircuit", L"UnRoutedNet",
    L"ViasUnderSMD", L"MaximumViaCount", L"MinimumAnnularRing", L"PolygonConnect", L"AcuteAngle",
    L"RoomDefinition", L"SMDToCorner", L"ComponentClearance", L"ComponentOrientations", L"PermittedLayers",
    L"NetsToIgnore", L"SignalStimulus", L"OvershootFalling", L"OvershootRising", L"UndershootFalling",
    L"UndershootRising", L"MaxMinImpedance", L"SignalTopValue", L"SignalBaseValue", L"FlightTimeRising",
    L"FlightTimeFalling", L"LayerStack", L"SlopeRising", L"SlopeFalling", L"SupplyNets", L"HoleSize",
    L"FabricationTestpoint", L"FabricationTestPointUsage", L"UnConnectedPin", L"SMDToPlane", L"SMDNeckDown",
    L"LayerPairs", L"FanoutControl", L"Height", L"DiffPairsRouting", L"HoleToHoleClearance",
    L"MinimumSolderMaskSliver", L"SilkToSolderMaskClearance", L"SilkToSilkClearance", L"NetAntennae",
    L"AssemblyTestpoint", L"AssemblyTestPointUsage", L"SilkToBoardRegionClearance",
});
static_assert(kDesignRuleKinds.size() == 60);

inline constexpr auto kLayerNames = std::to_array<std::wstring_view>({
    L"NoLayer", L"TopLayer", L"MidLayer1", L"MidLayer2", L"MidLayer3", L"MidLayer4", L"MidLayer5",
    L"MidLayer6", L"MidLayer7", L"MidLayer8", L"MidLayer9", L"MidLayer10", L"MidLayer11", L"MidLayer12",
    L"MidLayer13", L"MidLayer14", L"MidLayer15", L"MidLayer16", L"MidLayer17", L"MidLayer18", L"MidLayer19",
    L"MidLayer20", L"MidLayer21", L"MidLayer22", L"MidLayer23", L"MidLayer24", L"MidLayer25", L"MidLayer26",
    L"MidLayer27", L"MidLayer28", L"MidLayer29", L"MidLayer30", L"BottomLayer", L"TopOverlay",
    L"BottomOverlay", L"TopPaste", L"BottomPaste", L"TopSolder", L"BottomSolder", L"InternalPlane1",
    L"InternalPlane2", L"InternalPlane3", L"InternalPlane4", L"InternalPlane5", L"InternalPlane6",
    L"InternalPlane7", L"InternalPlane8", L"InternalPlane9", L"InternalPlane10", L"InternalPlane11",
    L"InternalPlane12", L"InternalPlane13", L"InternalPlane14", L"InternalPlane15", L"InternalPlane16",
    L"DrillGuide", L"KeepOutLayer", L"Mechanical1", L"Mechanical2", L"Mechanical3", L"Mechanical4",
    L"Mechanical5", L"Mechanical6", L"Mechanical7", L"Mechanical8", L"Mechanical9", L"Mechanical10",
    L"Mechanical11", L"Mechanical12", L"Mechanical13", L"Mechanical14", L"Mechanical15", L"Mechanical16",
    L"DrillDrawing", L"MultiLayer", L"ConnectLayer", L"BackGroundLayer", L"DRCErrorLayer", L"HighlightLayer",
    L"GridColor1", L"GridColor10", L"PadHoleLayer", L"ViaHoleLayer",
});
static_assert(kLayerNames.size() == 83);

}  // namespace tvk
