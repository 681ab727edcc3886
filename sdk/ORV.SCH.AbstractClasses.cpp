#include "ORV.SCH.AbstractClasses.h"

namespace tvk {

namespace {

// 503815: the action index, three boolean outputs handed to the operation as
// locals and written back as VARIANT_BOOL, and two raw arguments. An output
// without a VT_BYREF|VT_BOOL reference fails the call before anything runs:
// the host would take an answer it never got as given.
HRESULT CallCustomActionGetState(TAbstractTovikDriver& self, const TServedArgs& args, VARIANT*) {
  int32_t index = ServedArgInt(args.Arg(1));
  VARIANT_BOOL* refs[3];
  bool states[3];
  for (unsigned k = 0; k < 3; ++k) {
    refs[k] = static_cast<VARIANT_BOOL*>(ServedArgRef(args.Arg(k + 2), sizeof(VARIANT_BOOL), true));
    states[k] = *refs[k] != VARIANT_FALSE;  // an output the operation leaves keeps its value
  }
  HRESULT hr = self.CustomAction_GetState(index, states[0], states[1], states[2], ServedArgRaw(args.Arg(5)),
                                          ServedArgRaw(args.Arg(6)));
  if (FAILED(hr)) return hr;
  for (unsigned k = 0; k < 3; ++k) *refs[k] = states[k] ? VARIANT_TRUE : VARIANT_FALSE;
  return hr;
}

}  // namespace

#define TVK_ROW_TAbstractDeviceInformation(Id, Name, Params) TVK_SERVED_ROW(TAbstractDeviceInformation, Id, Name),
#define TVK_ROW_TAbstractTovikDriver(Id, Name, Params) TVK_SERVED_ROW(TAbstractTovikDriver, Id, Name),
#define TVK_ROW_TAbstractTovikDriver_H(Id, Name, Params, Call) TServedRow<TAbstractTovikDriver>{Id, &Call},
#define TVK_ROW_TAbstractDevicePin(Id, Name, Params) TVK_SERVED_ROW(TAbstractDevicePin, Id, Name),
#define TVK_ROW_TAbstractDeviceIOStandard(Id, Name, Params) TVK_SERVED_ROW(TAbstractDeviceIOStandard, Id, Name),

static constexpr TServedRow<TAbstractDeviceInformation> kDeviceInformationRows[] = {
    TVK_DEVICE_INFORMATION_OPERATIONS(TVK_ROW_TAbstractDeviceInformation)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceInformation, TAbstractSupportService, kDeviceInformationRows, L"DeviceInformation")

static constexpr TServedRow<TAbstractTovikDriver> kTovikDriverRows[] = {
    TVK_TOVIK_DRIVER_OPERATIONS(TVK_ROW_TAbstractTovikDriver, TVK_ROW_TAbstractTovikDriver_H)};
TVK_SERVED_LEVEL_IMPL(TAbstractTovikDriver, TAbstractDeviceInformation, kTovikDriverRows, L"TovikDriver")

static constexpr TServedRow<TAbstractDevicePin> kDevicePinRows[] = {
    TVK_DEVICE_PIN_OPERATIONS(TVK_ROW_TAbstractDevicePin)};
TVK_SERVED_LEVEL_IMPL(TAbstractDevicePin, TAbstractSupportService, kDevicePinRows, L"DevicePin")

static constexpr TServedRow<TAbstractDeviceIOStandard> kDeviceIOStandardRows[] = {
    TVK_DEVICE_IO_STANDARD_OPERATIONS(TVK_ROW_TAbstractDeviceIOStandard)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceIOStandard, TAbstractSupportService, kDeviceIOStandardRows, L"DeviceIOStandard")

// ---- Processor information, memory maps and the J-Link probe driver

#define TVK_ROW_TAbstractJlinkDriver(Id, Name, Params) TVK_SERVED_ROW(TAbstractJlinkDriver, Id, Name),
#define TVK_ROW_TAbstractDeviceProcessorInformation(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractDeviceProcessorInformation, Id, Name),
#define TVK_ROW_TAbstractDeviceMemoryLogicalSection(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractDeviceMemoryLogicalSection, Id, Name),
#define TVK_ROW_TAbstractDeviceMemoryArchitectureSection(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractDeviceMemoryArchitectureSection, Id, Name),
#define TVK_ROW_TAbstractDeviceMemoryInformation(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractDeviceMemoryInformation, Id, Name),

static constexpr TServedRow<TAbstractJlinkDriver> kJlinkDriverRows[] = {
    TVK_JLINK_DRIVER_OPERATIONS(TVK_ROW_TAbstractJlinkDriver)};
TVK_SERVED_LEVEL_IMPL(TAbstractJlinkDriver, TAbstractSupportService, kJlinkDriverRows, L"JlinkDriver")

static constexpr TServedRow<TAbstractDeviceProcessorInformation> kDeviceProcessorInformationRows[] = {
    TVK_DEVICE_PROCESSOR_INFORMATION_OPERATIONS(TVK_ROW_TAbstractDeviceProcessorInformation)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceProcessorInformation, TAbstractSupportService, kDeviceProcessorInformationRows,
                      L"DeviceProcessorInformation")

static constexpr TServedRow<TAbstractDeviceMemoryLogicalSection> kDeviceMemoryLogicalSectionRows[] = {
    TVK_DEVICE_MEMORY_LOGICAL_SECTION_OPERATIONS(TVK_ROW_TAbstractDeviceMemoryLogicalSection)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceMemoryLogicalSection, TAbstractSupportService, kDeviceMemoryLogicalSectionRows,
                      L"DeviceMemoryLogicalSection")

static constexpr TServedRow<TAbstractDeviceMemoryArchitectureSection> kDeviceMemoryArchitectureSectionRows[] = {
    TVK_DEVICE_MEMORY_ARCHITECTURE_SECTION_OPERATIONS(TVK_ROW_TAbstractDeviceMemoryArchitectureSection)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceMemoryArchitectureSection, TAbstractSupportService,
                      kDeviceMemoryArchitectureSectionRows, L"DeviceMemoryArchitectureSection")

static constexpr TServedRow<TAbstractDeviceMemoryInformation> kDeviceMemoryInformationRows[] = {
    TVK_DEVICE_MEMORY_INFORMATION_OPERATIONS(TVK_ROW_TAbstractDeviceMemoryInformation)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceMemoryInformation, TAbstractSupportService, kDeviceMemoryInformationRows,
                      L"DeviceMemoryInformation")

#define TVK_ROW_TAbstractSoftBreakpoint(Id, Name, Params, Args) TVK_SERVED_ROW(TAbstractSoftBreakpoint, Id, Name),
#define TVK_ROW_TAbstractHardBreakpoint(Id, Name, Params, Args) TVK_SERVED_ROW(TAbstractHardBreakpoint, Id, Name),
#define TVK_ROW_TAbstractDeviceDebugManager(Id, Name, Params, Args) \
  TVK_SERVED_ROW(TAbstractDeviceDebugManager, Id, Name),

static constexpr TServedRow<TAbstractSoftBreakpoint> kSoftBreakpointRows[] = {
    TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_ROW_TAbstractSoftBreakpoint)};
TVK_SERVED_LEVEL_IMPL(TAbstractSoftBreakpoint, TAbstractSupportService, kSoftBreakpointRows, L"SoftBreakpoint")

static constexpr TServedRow<TAbstractHardBreakpoint> kHardBreakpointRows[] = {
    TVK_HARD_BREAKPOINT_OPERATIONS(TVK_ROW_TAbstractHardBreakpoint)};
TVK_SERVED_LEVEL_IMPL(TAbstractHardBreakpoint, TAbstractSoftBreakpoint, kHardBreakpointRows, L"HardBreakpoint")

static constexpr TServedRow<TAbstractDeviceDebugManager> kDeviceDebugManagerRows[] = {
    TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(TVK_ROW_TAbstractDeviceDebugManager)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceDebugManager, TAbstractSupportService, kDeviceDebugManagerRows,
                      L"DeviceDebugManager")

// ---- Flash writers

#define TVK_ROW_TAbstractRemoteExecuteBaseDriver(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractRemoteExecuteBaseDriver, Id, Name),
#define TVK_ROW_TAbstractFlashWriter(Id, Name, Params) TVK_SERVED_ROW(TAbstractFlashWriter, Id, Name),

static constexpr TServedRow<TAbstractRemoteExecuteBaseDriver> kRemoteExecuteBaseDriverRows[] = {
    TVK_REMOTE_EXECUTE_BASE_DRIVER_OPERATIONS(TVK_ROW_TAbstractRemoteExecuteBaseDriver)};
TVK_SERVED_LEVEL_IMPL(TAbstractRemoteExecuteBaseDriver, TAbstractSupportService, kRemoteExecuteBaseDriverRows,
                      L"RemoteExecuteBaseDriver")

static constexpr TServedRow<TAbstractFlashWriter> kFlashWriterRows[] = {
    TVK_FLASH_WRITER_OPERATIONS(TVK_ROW_TAbstractFlashWriter)};
TVK_SERVED_LEVEL_IMPL(TAbstractFlashWriter, TAbstractRemoteExecuteBaseDriver, kFlashWriterRows, L"FlashWriter")

#define TVK_ROW_TAbstractComponentPinSelectionListener(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractComponentPinSelectionListener, Id, Name),
#define TVK_ROW_TAbstractModelEditorSelectionListener(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractModelEditorSelectionListener, Id, Name),

static constexpr TServedRow<TAbstractComponentPinSelectionListener> kComponentPinSelectionListenerRows[] = {
    TVK_COMPONENT_PIN_SELECTION_LISTENER_OPERATIONS(TVK_ROW_TAbstractComponentPinSelectionListener)};
TVK_SERVED_LEVEL_IMPL(TAbstractComponentPinSelectionListener, TAbstractSupportService,
                      kComponentPinSelectionListenerRows, L"ComponentPinSelectionListener")

static constexpr TServedRow<TAbstractModelEditorSelectionListener> kModelEditorSelectionListenerRows[] = {
    TVK_MODEL_EDITOR_SELECTION_LISTENER_OPERATIONS(TVK_ROW_TAbstractModelEditorSelectionListener)};
TVK_SERVED_LEVEL_IMPL(TAbstractModelEditorSelectionListener, TAbstractSupportService,
                      kModelEditorSelectionListenerRows, L"ModelEditorSelectionListener")

// ---- Boundary scan

#define TVK_BSDL_LEVEL_ROWS(Class, Rows, List)                          \
  static constexpr TServedRow<Class> Rows[] = {List(TVK_ROW_##Class)};
#define TVK_ROW_TAbstractBSDLEntity(Id, Name, Params) TVK_SERVED_ROW(TAbstractBSDLEntity, Id, Name),
#define TVK_ROW_TAbstractBSDLObject(Id, Name, Params) TVK_SERVED_ROW(TAbstractBSDLObject, Id, Name),
#define TVK_ROW_TAbstractScanPin(Id, Name, Params) TVK_SERVED_ROW(TAbstractScanPin, Id, Name),
#define TVK_ROW_TAbstractPinMapping(Id, Name, Params) TVK_SERVED_ROW(TAbstractPinMapping, Id, Name),
#define TVK_ROW_TAbstractBoundaryCell(Id, Name, Params) TVK_SERVED_ROW(TAbstractBoundaryCell, Id, Name),
#define TVK_ROW_TAbstractInstructionOpCode(Id, Name, Params) TVK_SERVED_ROW(TAbstractInstructionOpCode, Id, Name),
#define TVK_ROW_TAbstractRegisterAssociation(Id, Name, Params) \
  TVK_SERVED_ROW(TAbstractRegisterAssociation, Id, Name),

TVK_BSDL_LEVEL_ROWS(TAbstractBSDLEntity, kBSDLEntityRows, TVK_BSDL_ENTITY_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractBSDLEntity, TAbstractSupportService, kBSDLEntityRows, L"BSDLEntity")

TVK_BSDL_LEVEL_ROWS(TAbstractBSDLObject, kBSDLObjectRows, TVK_BSDL_OBJECT_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractBSDLObject, TAbstractSupportService, kBSDLObjectRows, L"BSDLObject")

TVK_BSDL_LEVEL_ROWS(TAbstractScanPin, kScanPinRows, TVK_SCAN_PIN_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractScanPin, TAbstractBSDLObject, kScanPinRows, L"ScanPin")

TVK_BSDL_LEVEL_ROWS(TAbstractPinMapping, kPinMappingRows, TVK_PIN_MAPPING_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractPinMapping, TAbstractBSDLObject, kPinMappingRows, L"PinMapping")

TVK_BSDL_LEVEL_ROWS(TAbstractBoundaryCell, kBoundaryCellRows, TVK_BOUNDARY_CELL_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractBoundaryCell, TAbstractBSDLObject, kBoundaryCellRows, L"BoundaryCell")

TVK_BSDL_LEVEL_ROWS(TAbstractInstructionOpCode, kInstructionOpCodeRows, TVK_INSTRUCTION_OPCODE_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractInstructionOpCode, TAbstractBSDLObject, kInstructionOpCodeRows,
                      L"InstructionOpCode")

TVK_BSDL_LEVEL_ROWS(TAbstractRegisterAssociation, kRegisterAssociationRows, TVK_REGISTER_ASSOCIATION_OPERATIONS)
TVK_SERVED_LEVEL_IMPL(TAbstractRegisterAssociation, TAbstractBSDLObject, kRegisterAssociationRows,
                      L"RegisterAssociation")

}  // namespace tvk
