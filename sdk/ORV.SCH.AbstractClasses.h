#pragma once
// Served base classes of the debug framework's interfaces: the driver, its
// device information, its device pins and their I/O standards, breakpoints
// and the debug manager, and the boundary-scan entity with its objects.
//
// Each class's operations stand in one list, in slot order:
//   X(DispID, Operation, (parameter types))
// The last parameter, when it is a non-const reference, is the result; the
// argument and result kinds follow from the types (ServedCall.h). The list
// declares the operations and builds the class's dispatch table, so the two
// cannot drift apart. H(...) marks a row whose call is written by hand.
//
// An operation that no level above implements answers E_NOTIMPL, like an
// identifier that no level answers.
#include "ORV.RecordInterfaces.h"
#include "ORV.SCH.RecordInterfaces.h"
#include "ZUL.Types.h"

#include <cstdint>

namespace tvk {

#define TVK_DEVICE_INFORMATION_OPERATIONS(X)                  \
  X(503379, GetIdCode, (uint32_t&))                           \
  X(503380, GetDeviceName, (WideString&))                     \
  X(503381, GetDeviceDescription, (WideString&))              \
  X(503382, GetFamilyName, (WideString&))                     \
  X(503383, GetFamilyDescription, (WideString&))              \
  X(503384, GetLibraryName, (WideString&))                    \
  X(503385, GetVendorPrimitiveLibraryName, (WideString&))     \
  X(503386, GetBaseName, (WideString&))                       \
  X(503387, GetEquivalentGatesForBase, (int32_t&))            \
  X(503388, GetMaxIOForBase, (int32_t&))                      \
  X(503389, GetPackageTypeId, (WideString&))                  \
  X(503390, GetPackageTypeName, (WideString&))                \
  X(503391, GetPackageTypeDescription, (WideString&))         \
  X(503392, GetPackageId, (WideString&))                      \
  X(503393, GetPackageName, (WideString&))                    \
  X(503394, GetPackageDescription, (WideString&))             \
  X(503395, GetPackageDimensions, (WideString&))              \
  X(503396, GetTemperatureGradeId, (WideString&))             \
  X(503397, GetTemperatureGradeName, (WideString&))           \
  X(503398, GetTemperatureGradeDescription, (WideString&))    \
  X(503399, GetSpeedGradeId, (WideString&))                   \
  X(503400, GetSpeedGradeName, (WideString&))                 \
  X(503401, GetSpeedGradeDescription, (WideString&))          \
  X(503402, GetOptionDesignatorId, (WideString&))             \
  X(503403, GetOptionDesignatorName, (WideString&))           \
  X(503404, GetOptionDesignatorDescription, (WideString&))    \
  X(503405, GetBSDLFilename, (WideString&))                   \
  X(503406, GetBSDLEntity, (IBSDLEntity&))                    \
  X(503407, GetVendorName, (WideString&))                     \
  X(503408, GetInstructionLength, (int32_t&))                 \
  X(503409, GetDevicePinCount, (int32_t&))                    \
  X(503410, GetDeviceIOCount, (int32_t&))                     \
  X(503411, GetDevicePin, (int32_t, IDevicePin&))             \
  X(503412, GetDownloadFileExtensions, (WideString&))         \
  X(503413, GetDSPMultiplierCount, (int32_t&))                \
  X(503414, GetClockManagerCount, (int32_t&))                 \
  X(503415, GetMemorySize, (int32_t&))                        \
  X(503416, GetTerminationSupport, (bool&))                   \
  X(503417, GetGlobalClockCount, (int32_t&))                  \
  X(503418, GetConfigMemorySize, (int32_t&))                  \
  X(503419, GetDiffPairCount, (int32_t&))                     \
  X(503420, GetHighSpeedDiffPairCount, (int32_t&))            \
  X(503421, GetIOStandardCount, (int32_t&))                   \
  X(503422, GetIOStandard, (int32_t, IDeviceIOStandard&))     \
  X(503423, GetDeviceDisplayName, (WideString&))              \
  X(503424, GetDeviceParameter, (const WideString&, WideString&))

#define TVK_TOVIK_DRIVER_OPERATIONS(X, H)                                                   \
  X(503753, GetTovikDevice, (ITovikDevice&))                                                \
  X(503754, SetTovikDevice, (const ITovikDevice&, bool&))                                   \
  X(503755, Finalize, (bool&))                                                              \
  X(503756, GetBitmapHandle, (uint32_t&))                                                   \
  X(503757, SaveProcessorState, (bool&))                                                    \
  X(503758, RestoreProcessorState, (bool&))                                                 \
  X(503759, CreateRackViewer, ())                                                           \
  X(503760, GetRackViewer, (IInstrumentView&))                                              \
  X(503761, Supports, (const WideString&, bool&))                                           \
  X(503762, ShowAboutDialog, ())                                                            \
  X(503763, VendorToolsDescriptor, (WideString&))                                           \
  X(503764, VendorToolsPresent, (bool&))                                                    \
  X(503765, VendorToolsUpToDate, (bool&))                                                   \
  X(503766, SetProcessorRegisterValue, (int32_t, uint32_t, bool&))                          \
  X(503767, GetProcessorRegisterValue, (int32_t, uint32_t&))                                \
  X(503768, GetProcessorRegisterWidth, (int32_t, uint32_t&))                                \
  X(503769, GetProcessorRegisterName, (int32_t, WideString&))                               \
  X(503770, GetProcessorRegisterShortName, (int32_t, WideString&))                          \
  X(503771, GetProcessorRegisterCount, (int32_t&))                                          \
  X(503772, GetRegisterIndex_PC, (int32_t&))                                                \
  X(503773, GetRegisterIndex_SP, (int32_t&))                                                \
  X(503774, GetSoftBreakpointAddressByteAlign, (int32_t&))                                  \
  X(503775, GetMemorySpaceWidth, (int32_t, uint32_t&))                                      \
  X(503776, GetMemorySpaceKind, (int32_t, int32_t&))                                        \
  X(503777, GetMemorySpaceBytesPerUnit, (int32_t, uint32_t&))                               \
  X(503778, GetMemorySpaceName, (int32_t, WideString&))                                     \
  X(503779, GetMemorySpaceShortName, (int32_t, WideString&))                                \
  X(503780, GetMemorySpaceCount, (int32_t&))                                                \
  X(503781, GetMemorySpace_Program, (int32_t&))                                             \
  X(503782, InitDownload, (int32_t, bool&))                                                 \
  X(503783, FinishDownload, (int32_t, bool&))                                               \
  X(503784, RunDiagnostic, (bool&))                                                         \
  X(503785, LittleEndian, (bool&))                                                          \
  X(503786, ResetDevice, (bool&))                                                           \
  X(503787, GetDeviceState, (int32_t&))                                                     \
  X(503788, ProgramDevice, (const WideString&, int32_t&))                                   \
  X(503789, ReadUserCode, (uint32_t&))                                                      \
  X(503790, FlowStage_Build, (IProcessFlow&))                                               \
  X(503791, FlowStage_Download, (IProcessFlow&))                                            \
  X(503792, CoreGen_OutputExtension, (WideString&))                                         \
  X(503793, ResetTovikRegisters, ())                                                        \
  X(503794, SingleStepProcessor, ())                                                        \
  X(503795, RunSingleStepInSubstitutionRegister, ())                                        \
  X(503796, ResetProcessor, ())                                                             \
  X(503797, PauseProcessor, ())                                                             \
  X(503798, ContinueProcessor, ())                                                          \
  X(503799, RunSteps, (int32_t))                                                            \
  X(503800, ProcessorIsPaused, (bool&))                                                     \
  X(503801, ProcessorIsReset, (bool&))                                                      \
  X(503802, ProcessorIsRunning, (bool&))                                                    \
  X(503803, ProcessorIsUsingReducedInstructionSet, (bool&))                                 \
  X(503804, Flash_Reset, (bool&))                                                           \
  X(503805, Flash_Program, (const WideString&, int32_t&))                                   \
  X(503806, Flash_Configure, ())                                                            \
  X(503807, SetProcessorRegisterWideValue, (int32_t, const WideString&, bool&))             \
  X(503808, GetProcessorRegisterWideValue, (int32_t, WideString&))                          \
  X(503809, ConfigureFpgaProject, (const IProject&, bool&))                                 \
  X(503810, ShowConfiguration, (bool&))                                                     \
  X(503811, ShowCurrentSensePanel, ())                                                      \
  X(503812, ReleaseResources, ())                                                           \
  X(503813, InvalidateResources, (bool&))                                                   \
  X(503814, CustomAction_Execute, (int32_t))                                                \
  H(503815, CustomAction_GetState, (int32_t, bool&, bool&, bool&, uint32_t, uint32_t),      \
    CallCustomActionGetState)                                                               \
  X(503816, EPM_Download, (const WideString&, const WideString&, const WideString&, bool&)) \
  X(503817, EPM_InititateTest, (bool&))                                                     \
  X(503818, EPM_GetTestResult, (int32_t, int32_t&))                                         \
  X(503819, EPM_SetPercentCallBack, (const IPercentCallback&))                              \
  X(503820, Flash_ResetForBitStream, (bool&))                                               \
  X(503821, GetEmbeddedConstraintFile, (WideString&))                                       \
  X(503822, SetEmbeddedConstraintFile, (const WideString&))                                 \
  X(508552, AddSoftBreakpoint, (int32_t, int64_t, uint32_t&))                               \
  X(508553, RemoveSoftBreakpoint, (int32_t, int64_t, uint32_t, bool&))                      \
  X(508554, GetMemorySpaceLength, (int32_t, int64_t&))                                      \
  X(509312, GetFolder_Library, (WideString&))                                               \
  X(509376, ClockCoreGenerator, (IClockCoreGenerator&))                                     \
  X(509427, ClockCoreTemplateGenerator, (IClockCoreTemplateGenerator&))                     \
  X(509470, ClockGeneratorTargetCore, (ITargetCoreGenerator&))                              \
  X(509981, CustomCoreGenerator, (int32_t, ICustomCoreGenerator&))

#define TVK_DEVICE_PIN_OPERATIONS(X)                \
  X(503525, GetPinNumber, (WideString&))            \
  X(503526, GetIOBank, (WideString&))               \
  X(503527, GetIsIOPin, (bool&))                    \
  X(503528, GetIsCLKPin, (bool&))                   \
  X(503529, GetIsVREFPin, (bool&))                  \
  X(503530, GetIsSpecialPin, (bool&))               \
  X(503531, GetIOStandardCount, (int32_t&))         \
  X(503532, GetIOStandard, (int32_t, IDeviceIOStandard&)) \
  X(503533, GetIsInputOnlyPin, (bool&))             \
  X(503534, GetIsDCIP_Pin, (bool&))                 \
  X(503535, GetIsDCIN_Pin, (bool&))                 \
  X(503536, GetIsDiffP_Pin, (bool&))                \
  X(503537, GetIsDiffN_Pin, (bool&))                \
  X(503538, GetIsHDiffP_Pin, (bool&))               \
  X(503539, GetIsHDiffN_Pin, (bool&))               \
  X(503540, GetIsTransmitDiffPin, (bool&))          \
  X(503541, GetIsReceiveDiffPin, (bool&))           \
  X(503542, GetIsClkDiffP_Pin, (bool&))             \
  X(503543, GetIsClkDiffN_Pin, (bool&))             \
  X(503544, GetIsDLLPin, (bool&))                   \
  X(503545, GetDifferentialId, (WideString&))       \
  X(503546, GetClkDifferentialId, (WideString&))    \
  X(503547, GetUniqueDifferentialID, (WideString&)) \
  X(503548, GetIsPosPinOfDiffPair, (bool&))         \
  X(503549, GetIsNegPinOfDiffPair, (bool&))

#define TVK_DEVICE_IO_STANDARD_OPERATIONS(X)         \
  X(503519, GetDisplayName, (WideString&))           \
  X(503520, GetParamName, (WideString&))             \
  X(503521, GetSlewCount, (int32_t&))                \
  X(503522, GetSlewValue, (int32_t, WideString&))    \
  X(503523, GetDriveCount, (int32_t&))               \
  X(503524, GetDriveStrength, (int32_t, WideString&))

// An abstract operation: answers E_NOTIMPL until a level implements it.
#define TVK_ABSTRACT_OPERATION(Id, Name, Params) \
  virtual HRESULT Name Params { return kE_NOTIMPL; }
#define TVK_ABSTRACT_OPERATION_H(Id, Name, Params, Call) TVK_ABSTRACT_OPERATION(Id, Name, Params)

// "DeviceInformation": the device-information operations.
class TAbstractDeviceInformation : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_INFORMATION_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "TovikDriver": the driver operations.
class TAbstractTovikDriver : public TAbstractDeviceInformation {
public:
  TVK_SERVED_LEVEL();
  TVK_TOVIK_DRIVER_OPERATIONS(TVK_ABSTRACT_OPERATION, TVK_ABSTRACT_OPERATION_H)
};

// "DevicePin": one pin of a device.
class TAbstractDevicePin : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_PIN_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "DeviceIOStandard": an electrical I/O standard of device pins.
class TAbstractDeviceIOStandard : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_IO_STANDARD_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// ---- Processor information, memory maps and the J-Link probe driver

#define TVK_JLINK_DRIVER_OPERATIONS(X) \
  X(503880, GetJlinkHandle, (uint32_t&))

#define TVK_DEVICE_PROCESSOR_INFORMATION_OPERATIONS(X)       \
  X(503886, GetDeviceProcessorFamilyString, (WideString&))   \
  X(503887, GetDeviceProcessorArchString, (WideString&))     \
  X(503888, GetDeviceProcessorCoreString, (WideString&))     \
  X(503889, GetDeviceProcessorToolChainTargetString, (WideString&)) \
  X(503890, GetDeviceProcessorToolChainString, (WideString&))

#define TVK_DEVICE_MEMORY_LOGICAL_SECTION_OPERATIONS(X)                 \
  X(503891, GetDeviceMemoryIndex, (uint32_t&))                          \
  X(503892, GetBusName, (WideString&))                                  \
  X(503893, GetBusType, (WideString&))                                  \
  X(503894, GetUsageType, (WideString&))                                \
  X(503895, GetPhysicalType, (WideString&))                             \
  X(503896, GetStartAddress, (uint32_t&))                               \
  X(503897, GetSize, (uint32_t&))                                       \
  X(503898, GetMAU, (uint32_t&))                                        \
  X(503899, GetIsDefault, (bool&))                                      \
  X(503900, GetParentMap, (IDeviceMemoryArchitectureSection&))          \
  X(503901, GetDesignator, (WideString&))                               \
  X(503902, GetMemConfig, (WideString&))                                \
  X(503903, GetIsExternal, (bool&))                                     \
  X(503904, SetDeviceMemoryIndex, (uint32_t))                           \
  X(503905, SetIsDefault, (bool))                                       \
  X(503906, SetMAU, (uint32_t))                                         \
  X(503907, SetBusName, (const WideString&))                            \
  X(503908, SetBusType, (const WideString&))                            \
  X(503909, SetParentMap, (const IDeviceMemoryArchitectureSection&))    \
  X(503910, SetSize, (uint32_t))                                        \
  X(503911, SetStartAddress, (uint32_t))                                \
  X(503912, SetUsageType, (const WideString&))                          \
  X(503913, SetPhysicalType, (const WideString&))                       \
  X(503914, SetDesignator, (const WideString&))                         \
  X(503915, SetMemConfig, (const WideString&))                          \
  X(503916, SetIsExternal, (bool))

#define TVK_DEVICE_MEMORY_ARCHITECTURE_SECTION_OPERATIONS(X)            \
  X(503917, GetDeviceMemoryIndex, (uint32_t&))                          \
  X(503918, GetBusName, (WideString&))                                  \
  X(503919, GetDescription, (WideString&))                              \
  X(503920, GetBusType, (WideString&))                                  \
  X(503921, GetStartAddress, (uint32_t&))                               \
  X(503922, GetSize, (uint32_t&))                                       \
  X(503923, GetIsMappedIO, (bool&))                                     \
  X(503924, GetAddressWidth, (uint32_t&))                               \
  X(503925, GetDesignator, (WideString&))                               \
  X(503926, SetDeviceMemoryIndex, (uint32_t))                           \
  X(503927, SetBusName, (const WideString&))                            \
  X(503928, SetDescription, (const WideString&))                        \
  X(503929, SetBusType, (const WideString&))                            \
  X(503930, SetStartAddress, (uint32_t))                                \
  X(503931, SetSize, (uint32_t))                                        \
  X(503932, SetAddressWidth, (uint32_t))                                \
  X(503933, SetIsMappedIO, (bool))                                      \
  X(503934, SetDesignator, (const WideString&))                         \
  X(503935, AddLogicalSection, (const IDeviceMemoryLogicalSection&, int32_t&)) \
  X(503936, GetChildMapCount, (uint32_t&))                              \
  X(503937, GetChildMap, (uint32_t, IDeviceMemoryLogicalSection&))

#define TVK_DEVICE_MEMORY_INFORMATION_OPERATIONS(X)                               \
  X(503938, GetDefaultROMLogicalSection, (IDeviceMemoryLogicalSection&))          \
  X(503939, GetDefaultRAMLogicalSection, (IDeviceMemoryLogicalSection&))          \
  X(503940, GetDefaultFlashLogicalSection, (IDeviceMemoryLogicalSection&))        \
  X(503941, GetArchitectureSectionCount, (uint32_t&))                             \
  X(503942, GetLogicalSectionCount, (uint32_t&))                                  \
  X(503943, GetLogicalSection, (uint32_t, IDeviceMemoryLogicalSection&))          \
  X(503944, GetArchitectureSection, (uint32_t, IDeviceMemoryArchitectureSection&)) \
  X(503945, AddArchitectureSection, (const IDeviceMemoryArchitectureSection&, int32_t&)) \
  X(503946, AddLogicalSection, (const IDeviceMemoryLogicalSection&, int32_t&))    \
  X(503947, AddDefaultSection, (const IDeviceMemoryLogicalSection&, int32_t&))

// "JlinkDriver": the probe library's handle.
class TAbstractJlinkDriver : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_JLINK_DRIVER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "DeviceProcessorInformation": the names of a processor core.
class TAbstractDeviceProcessorInformation : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_PROCESSOR_INFORMATION_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "DeviceMemoryLogicalSection": a range with a usage inside a physical memory.
class TAbstractDeviceMemoryLogicalSection : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_MEMORY_LOGICAL_SECTION_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "DeviceMemoryArchitectureSection": a physical memory on a bus.
class TAbstractDeviceMemoryArchitectureSection : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_MEMORY_ARCHITECTURE_SECTION_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "DeviceMemoryInformation": a processor's memory map.
class TAbstractDeviceMemoryInformation : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_MEMORY_INFORMATION_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// Breakpoints and the debug manager. Each list holds a class's operations in
// slot order, X(DispID, Operation, (parameters), (argument names)); the last
// parameter, when it is a non-const reference, is the result. A list declares
// the operations and builds the dispatch table, so the two cannot drift apart;
// the argument names let an adapter pass a call on unchanged.

#define TVK_SOFT_BREAKPOINT_OPERATIONS(X)                     \
  X(503448, Import_FromCore, (), ())                          \
  X(503449, Export_ToCore, (), ())                            \
  X(503450, GetReplaced, (int32_t & Result), (Result))        \
  X(503451, GetTovikDevice, (ITovikDevice & Result), (Result)) \
  X(503452, SetReplaced, (uint32_t Value), (Value))           \
  X(503453, Enable, (bool& Result), (Result))                 \
  X(503454, Disable, (bool& Result), (Result))                \
  X(503455, GetMemorySpace, (int32_t & Result), (Result))     \
  X(503456, SetMemorySpace, (int32_t Value), (Value))         \
  X(503457, Reset, (), ())                                    \
  X(508547, GetAddress, (int64_t & Result), (Result))         \
  X(508548, SetAddress, (int64_t Value), (Value))

#define TVK_HARD_BREAKPOINT_OPERATIONS(X)                   \
  X(508556, GetAddressMask, (int64_t & Result), (Result))   \
  X(508557, GetData, (int64_t & Result), (Result))          \
  X(508558, GetDataMask, (int64_t & Result), (Result))      \
  X(508559, GetControl, (int64_t & Result), (Result))       \
  X(508560, GetControlMask, (int64_t & Result), (Result))   \
  X(508561, SetAddressMask, (int64_t Value), (Value))       \
  X(508562, SetData, (int64_t Value), (Value))              \
  X(508563, SetDataMask, (int64_t Value), (Value))          \
  X(508564, SetControl, (int64_t Value), (Value))           \
  X(508565, SetControlMask, (int64_t Value), (Value))

#define TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(X)                                                              \
  X(503948, AddHardBreakPoint, (const IHardBreakpoint& Breakpoint, int32_t& Result), (Breakpoint, Result)) \
  X(503949, GetNewHardBreakpoint, (IHardBreakpoint & Result), (Result))                                    \
  X(503950, GetNewSoftBreakpoint, (ISoftBreakpoint & Result), (Result))                                    \
  X(503951, GetSystemBreakpoint, (IHardBreakpoint & Result), (Result))                                     \
  X(503952, ReleaseBreakpoint, (const ISoftBreakpoint& Breakpoint), (Breakpoint))                          \
  X(503953, ReleaseAllocatedHardBreakpoints, (), ())                                                       \
  X(503954, ReleaseAllocatedSoftBreakpoints, (), ())                                                       \
  X(503955, ReleaseAllBreakpoints, (), ())                                                                 \
  X(503956, DisableAllocatedHardBreakpoints, (), ())                                                       \
  X(503957, DisableAllocatedSoftBreakpoints, (), ())                                                       \
  X(503958, DisableAllAllocatedBreakpoints, (), ())                                                        \
  X(503959, EnableAllocatedHardBreakpoints, (), ())                                                        \
  X(503960, EnableAllocatedSoftBreakpoints, (), ())                                                        \
  X(503961, EnableAllAllocatedBreakpoints, (), ())                                                         \
  X(503962, GetAllocatedSoftBreakPointCount, (int32_t & Result), (Result))                                 \
  X(503963, GetAllocatedHardBreakPointCount, (int32_t & Result), (Result))                                 \
  X(503964, GetAllocatedSoftBreakpointByIndex, (int32_t Index, ISoftBreakpoint& Result), (Index, Result))  \
  X(503965, GetAllocatedHardBreakpointByIndex, (int32_t Index, IHardBreakpoint& Result), (Index, Result))  \
  X(503966, SetBreakpointMode, (int32_t Mode, bool& Result), (Mode, Result))                               \
  X(503967, SetDebuggerMode, (int32_t Mode), (Mode))                                                       \
  X(503968, SetSoftbreakpointsRequireHardware, (bool Value), (Value))                                      \
  X(503969, GetBreakpointMode, (int32_t & Result), (Result))                                               \
  X(503970, GetDebuggerMode, (int32_t & Result), (Result))                                                 \
  X(503971, GetSoftBreakpointsRequireHardware, (bool& Result), (Result))                                   \
  X(503972, GetHardBreakpointCount, (int32_t & Result), (Result))                                          \
  X(508566, AddressSupportsSoftBreakpoints, (int32_t MemorySpace, int64_t Address, bool& Result),           \
    (MemorySpace, Address, Result))                                                                         \
  X(508567, GetNewBreakpoint, (int32_t MemorySpace, int64_t Address, ISoftBreakpoint& Result),              \
    (MemorySpace, Address, Result))                                                                         \
  X(508568, GetBreakpointByAddress, (int32_t MemorySpace, int64_t Address, ISoftBreakpoint& Result),        \
    (MemorySpace, Address, Result))                                                                         \
  X(508569, GetBreakpointByData, (int64_t Data, IHardBreakpoint& Result), (Data, Result))

// Every implementation answers all of a breakpoint class's operations.
#define TVK_PURE_OPERATION(Id, Name, Params, Args) virtual HRESULT Name Params = 0;

// "SoftBreakpoint": a breakpoint the host sets and clears.
class TAbstractSoftBreakpoint : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_PURE_OPERATION)
};

// "HardBreakpoint": a breakpoint unit of the core; it answers every
// software-breakpoint call too.
class TAbstractHardBreakpoint : public TAbstractSoftBreakpoint {
public:
  TVK_SERVED_LEVEL();
  TVK_HARD_BREAKPOINT_OPERATIONS(TVK_PURE_OPERATION)
};

// "DeviceDebugManager": a driver's breakpoint allocator.
class TAbstractDeviceDebugManager : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(TVK_PURE_OPERATION)
};

// ---- Flash writers

// The properties of a writer's target-resident program.
#define TVK_REMOTE_EXECUTE_BASE_DRIVER_OPERATIONS(X)          \
  X(508687, SetRemoteDriverDeviceTitle, (const WideString&))  \
  X(508688, SetRemoteDriverVendorName, (const WideString&))   \
  X(508689, SetRemoteDriverDeviceName, (const WideString&))   \
  X(508690, SetRemoteDriverFileName, (const WideString&))     \
  X(508691, SetRemoteDriverBaseAddress, (uint32_t))           \
  X(508692, SetRemoteDriverMainEntryPoint, (uint32_t))        \
  X(508693, SetRemoteDriverParamBaseAddress, (uint32_t))      \
  X(508694, SetRemoteDriverDataBaseAddress, (uint32_t))       \
  X(508695, GetRemoteDriverDeviceTitle, (WideString&))        \
  X(508696, GetRemoteDriverDeviceName, (WideString&))         \
  X(508697, GetRemoteDriverVendorName, (WideString&))         \
  X(508698, GetRemoteDriverFileName, (WideString&))           \
  X(508699, GetRemoteDriverBaseAddress, (uint32_t&))          \
  X(508700, GetRemoteDriverMainEntryPoint, (uint32_t&))       \
  X(508701, GetRemoteDriverParamBaseAddress, (uint32_t&))     \
  X(508702, GetRemoteDriverDataBaseAddress, (uint32_t&))      \
  X(508703, GetIsEnabled, (bool&))                            \
  X(508704, GetIsInitialized, (bool&))                        \
  X(508705, GetIsDriverLoaded, (bool&))                       \
  X(508706, GetIsDriverInstalled, (bool&))                    \
  X(508707, GetPreserveState, (bool&))                        \
  X(508708, GetIsAborting, (bool&))

// The flash operations. The image and the callback are wrapped as they come,
// without asking the object for their interfaces; the four outputs of 508746
// are written only through by-reference arguments with 4-byte referents.
#define TVK_FLASH_WRITER_OPERATIONS(X)                                                                                  \
  X(508717, InstallDriver, (int32_t&))                                                                                  \
  X(508718, UninstallDriver, (int32_t&))                                                                                \
  X(508719, ProgramImage, (uint32_t /*FlashSpace*/, const IDataChunkImageInterface& /*Image*/, bool /*AutoChecksum*/,   \
    bool /*PreserveSectorData*/, bool /*ResetAfterLoad*/, bool /*Verify*/, int32_t&))                                   \
  X(508720, BlankCheckSectors, (uint32_t /*FlashSpace*/, uint32_t /*FirstSector*/, uint32_t /*LastSector*/, int32_t&))  \
  X(508721, EraseDevice, (uint32_t /*FlashSpace*/, int32_t&))                                                           \
  X(508722, EraseAddressRange, (uint32_t /*FlashSpace*/, uint32_t /*StartAddress*/, uint32_t /*EndAddress*/,            \
    bool /*ByProgramming*/, int32_t&))                                                                                  \
  X(508723, EraseSectorRange, (uint32_t /*FlashSpace*/, uint32_t /*FirstSector*/, uint32_t /*LastSector*/, int32_t&))   \
  X(508724, CompareImage, (uint32_t /*FlashSpace*/, const IDataChunkImageInterface& /*Image*/,                          \
    uint32_t /*StartAddress*/, uint32_t /*ByteCount*/, bool /*AutoChecksum*/, int32_t&))                                \
  X(508725, ClearFlashMemorySpaces, ())                                                                                 \
  X(508726, GetFlashMemorySpaceCount, (int32_t&))                                                                       \
  X(508727, AddFlashMemorySpace, (uint32_t /*GlobalMemorySpace*/, uint32_t /*StartAddress*/, uint32_t /*EndAddress*/,   \
    uint32_t /*WidthInBits*/, int32_t&))                                                                                \
  X(508728, AbortOperation, (int32_t&))                                                                                 \
  X(508729, GetFlashAddressFromSector, (uint32_t /*FlashSpace*/, uint32_t /*Sector*/, uint32_t&))                       \
  X(508730, GetFlashSectorFromAddress, (uint32_t /*FlashSpace*/, uint32_t /*Address*/, uint32_t&))                      \
  X(508731, IsAddressInFlashMemorySpace, (uint32_t /*GlobalMemorySpace*/, uint32_t /*Address*/, bool&))                 \
  X(508732, SetFlashWriterCallback, (const IFlashWriterCallback& /*Callback*/, int32_t&))                               \
  X(508733, IsFlashWidthSupported, (int32_t /*WidthInBits*/, bool&))                                                    \
  X(508734, GetDefaultFlashWidth, (int32_t&))                                                                           \
  X(508735, SupportsAction, (uint32_t /*Command*/, bool&))                                                              \
  X(508746, GetFlashMemorySpace, (uint32_t /*Index*/, uint32_t* /*GlobalMemorySpace*/, uint32_t* /*StartAddress*/,      \
    uint32_t* /*EndAddress*/, uint32_t* /*WidthInBits*/))                                                               \
  X(508837, GetSupportedDevicesList, (IStrings&))

// "RemoteExecuteBaseDriver": a writer's target-resident program.
class TAbstractRemoteExecuteBaseDriver : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_REMOTE_EXECUTE_BASE_DRIVER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "FlashWriter": the flash operations of a writer.
class TAbstractFlashWriter : public TAbstractRemoteExecuteBaseDriver {
public:
  TVK_SERVED_LEVEL();
  TVK_FLASH_WRITER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// Selection listeners that the host's schematic component painter and model
// editor call with the names of the selected pins.
#define TVK_COMPONENT_PIN_SELECTION_LISTENER_OPERATIONS(X) \
  X(502787, SelectionChanged, (const WideString&))
#define TVK_MODEL_EDITOR_SELECTION_LISTENER_OPERATIONS(X) \
  X(503256, SelectionChanged, (const WideString&))

// "ComponentPinSelectionListener".
class TAbstractComponentPinSelectionListener : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_COMPONENT_PIN_SELECTION_LISTENER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "ModelEditorSelectionListener".
class TAbstractModelEditorSelectionListener : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_MODEL_EDITOR_SELECTION_LISTENER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// ---- Boundary scan: the entity and the five kinds of object inside it

#define TVK_BSDL_ENTITY_OPERATIONS(X)                         \
  X(503458, GetName, (WideString&))                           \
  X(503459, GetInstructionLength, (int32_t&))                 \
  X(503460, GetIdCode, (uint32_t&))                           \
  X(503461, GetBoundaryLength, (int32_t&))                    \
  X(503462, GetPin, (int32_t, IScanPin&))                     \
  X(503463, GetPinMapping, (int32_t, IPinMapping&))           \
  X(503464, GetBoundaryCell, (int32_t, IBoundaryCell&))       \
  X(503465, GetInstructionOpcode, (int32_t, IInstructionOpCode&)) \
  X(503466, GetRegisterAssociation, (int32_t, IRegisterAssociation&)) \
  X(503467, GetPinCount, (int32_t&))                          \
  X(503468, GetPinMappingCount, (int32_t&))                   \
  X(503469, GetBoundaryCellCount, (int32_t&))                 \
  X(503470, GetInstructionOpcodeCount, (int32_t&))            \
  X(503471, GetRegisterAssociationCount, (int32_t&))          \
  X(503472, GetPin_TDI, (IScanPin&))                          \
  X(503473, GetPin_TDO, (IScanPin&))                          \
  X(503474, GetPin_TMS, (IScanPin&))                          \
  X(503475, GetPin_TCK, (IScanPin&))                          \
  X(503476, GetPin_TRST, (IScanPin&))                         \
  X(503477, GetInstruction_BYPASS, (uint32_t&))               \
  X(503478, GetInstruction_EXTEST, (uint32_t&))               \
  X(503479, GetInstruction_SAMPLE, (uint32_t&))               \
  X(503480, GetInstruction_IDCODE, (uint32_t&))               \
  X(503481, GetInstruction_USERCODE, (uint32_t&))             \
  X(503482, GetInstruction_CLAMP, (uint32_t&))                \
  X(503483, GetInstruction_HIGHZ, (uint32_t&))                \
  X(503484, GetScanClockMaxSpeed, (double&))                  \
  X(503485, GetScanClockHaltMode, (int32_t&))                 \
  X(503486, GetConformanceStatement, (WideString&))           \
  X(503487, GetCompliancePattern, (WideString&))              \
  X(503488, GetDesignWarning, (WideString&))                  \
  X(503489, GetFilename, (WideString&))

#define TVK_BSDL_OBJECT_OPERATIONS(X)            \
  X(503427, GetDescription, (WideString&))       \
  X(503428, GetShortDescription, (WideString&))  \
  X(503429, GetEntity, (IBSDLEntity&))

#define TVK_SCAN_PIN_OPERATIONS(X)                      \
  X(503490, GetDirection, (int32_t&))                   \
  X(503491, GetPinName, (WideString&))                  \
  X(503492, GetPinNumber, (WideString&))                \
  X(503493, GetKind, (int32_t&))                        \
  X(503494, GetPinMapping, (IPinMapping&))              \
  X(503495, GetBoundaryCellCount, (int32_t&))           \
  X(503496, GetBoundaryCell, (int32_t, IBoundaryCell&)) \
  X(503497, GetCurrentValue, (int32_t&))

#define TVK_PIN_MAPPING_OPERATIONS(X)      \
  X(503498, GetPinName, (WideString&))     \
  X(503499, GetPinNumber, (WideString&))   \
  X(503500, GetScanPin, (IScanPin&))

#define TVK_BOUNDARY_CELL_OPERATIONS(X)          \
  X(503501, GetCellNumber, (int32_t&))           \
  X(503502, GetCellKind, (int32_t&))             \
  X(503503, GetPortId, (WideString&))            \
  X(503504, GetCellFunction, (int32_t&))         \
  X(503505, GetSafeBit, (int32_t&))              \
  X(503506, GetControlCellNumber, (int32_t&))    \
  X(503507, GetDisableValue, (int32_t&))         \
  X(503508, GetDisableResult, (int32_t&))        \
  X(503509, GetPin, (IScanPin&))                 \
  X(503510, GetControlCell, (IBoundaryCell&))    \
  X(503511, GetTargetCell, (IBoundaryCell&))     \
  X(503512, GetCurrentValue, (int32_t&))

#define TVK_INSTRUCTION_OPCODE_OPERATIONS(X)     \
  X(503513, GetInstructionName, (WideString&))   \
  X(503514, GetOpCodePattern, (WideString&))

#define TVK_REGISTER_ASSOCIATION_OPERATIONS(X)                      \
  X(503515, GetRegisterName, (WideString&))                         \
  X(503516, GetRegisterLength, (int32_t&))                          \
  X(503517, GetInstructionOpcodeCount, (int32_t&))                  \
  X(503518, GetInstructionOpcode, (int32_t, IInstructionOpCode&))

// Sets the current value of a scan pin or boundary cell (argument i, no
// result). No base answers it: the implementations do, before their base.
constexpr DISPID kDispSetCurrentValue = 509024;

// "BSDLEntity": a device's boundary-scan description.
class TAbstractBSDLEntity : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_BSDL_ENTITY_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "BSDLObject": what every object inside an entity answers.
class TAbstractBSDLObject : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_BSDL_OBJECT_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "ScanPin": a port of the entity.
class TAbstractScanPin : public TAbstractBSDLObject {
public:
  TVK_SERVED_LEVEL();
  TVK_SCAN_PIN_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "PinMapping": a package pin and the port it carries.
class TAbstractPinMapping : public TAbstractBSDLObject {
public:
  TVK_SERVED_LEVEL();
  TVK_PIN_MAPPING_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "BoundaryCell": one cell of the boundary register.
class TAbstractBoundaryCell : public TAbstractBSDLObject {
public:
  TVK_SERVED_LEVEL();
  TVK_BOUNDARY_CELL_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "InstructionOpCode": an instruction and its opcode pattern.
class TAbstractInstructionOpCode : public TAbstractBSDLObject {
public:
  TVK_SERVED_LEVEL();
  TVK_INSTRUCTION_OPCODE_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "RegisterAssociation": a data register and the instructions that select it.
class TAbstractRegisterAssociation : public TAbstractBSDLObject {
public:
  TVK_SERVED_LEVEL();
  TVK_REGISTER_ASSOCIATION_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

}  // namespace tvk
