#pragma once
// Bases of the driver's model objects, the driver's bases of device pins and
// I/O standards, the framework core of every driver, TTovikDriver, the memory
// maps and processor information a driver serves, and the processor level,
// TTovikProcessorDriver, that holds them with its flash writers.
#include "ORV.SCH.AbstractClasses.h"
#include "Tovik.DriverUI.h"
#include "Tovik.Types.h"
#include "ZUL.Param.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

namespace tvk {

// An object with its own reference count. The count is held at one while the
// object is constructed (see New()) and the Release that brings it to zero
// destroys the object.
class TReferencedObject : public IUnknown {
public:
  TReferencedObject() = default;
  TReferencedObject(const TReferencedObject&) = delete;
  TReferencedObject& operator=(const TReferencedObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  void AfterConstruction() { InterlockedDecrement(&FRefCount); }
  LONG RefCount() const { return FRefCount; }
  // Destroys an object that no reference holds; raises "Invalid Pointer" (and
  // destroys nothing) while references remain.
  void Free();

protected:
  virtual ~TReferencedObject() = default;
  // The interfaces the class declares; null for any other.
  virtual void* InterfaceFor(REFIID iid);

private:
  LONG FRefCount = 1;
};

// A model object with an IDispatch that answers no identifier.
class TDispatchObject : public TReferencedObject, public IDispatch {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return TReferencedObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TReferencedObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TReferencedObject::Release(); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return kE_NOTIMPL;
  }

protected:
  void* InterfaceFor(REFIID iid) override;
};

// A model object owned by its container: references count nothing.
class TDispatchObjectNoRef : public TDispatchObject {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }
};

// A device pin of a driver. The driver owns its pins, so the interface it
// hands out counts no references.
class TTovikAbstractDevicePin : public TAbstractDevicePin {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

  HRESULT GetIsPosPinOfDiffPair(bool& Result) override;
  HRESULT GetIsNegPinOfDiffPair(bool& Result) override;
  HRESULT GetUniqueDifferentialID(WideString& Result) override;
};

// An I/O standard, named by its position in the shared I/O-standard tables.
class TTovikAbstractDeviceIOStandard : public TAbstractDeviceIOStandard {
public:
  HRESULT GetDisplayName(WideString& Result) override;
  HRESULT GetParamName(WideString& Result) override;
  HRESULT GetSlewCount(int32_t& Result) override;
  HRESULT GetSlewValue(int32_t Index, WideString& Result) override;
  HRESULT GetDriveCount(int32_t& Result) override;
  HRESULT GetDriveStrength(int32_t Index, WideString& Result) override;

  virtual int32_t GetIOStandardIndex() const = 0;
};

// ---- The framework core of every driver

// {DE05D751-32F9-4557-A7B6-678A8280E274}
extern const IID IID_IMemoryAccess;

// A driver's target memory without dispatch. Buffer holds Count 32-bit cells,
// one byte in each cell's low 8 bits; Success is a 4-byte boolean.
struct IMemoryAccess : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                               int32_t Count, BOOL* Success) = 0;
  virtual HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address,
                                                int32_t Count, BOOL* Success) = 0;
};

// An owned GDI bitmap.
struct TGdiObjectDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using TBitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TGdiObjectDeleter>;

// The device's control register: debug register 64 of the host device, 8 bits.
inline constexpr int32_t kControlRegisterAddress = 64;
inline constexpr int32_t kControlRegisterBits = 8;
inline constexpr uint8_t kCR_StepCounterBreakpointEnable = 0x80;
// bit 6 is not used
inline constexpr uint8_t kCR_Reset = 0x20;
inline constexpr uint8_t kCR_DebugEnable = 0x10;
inline constexpr uint8_t kCR_DebugAcknowledge = 0x08;
inline constexpr uint8_t kCR_DebugRequest = 0x04;
inline constexpr uint8_t kCR_DebugStep = 0x02;
inline constexpr uint8_t kCR_DebuggerProgramSelect = 0x01;

// The generic register access: a select scan of 8 bits picks register 0..7
// by its code (0x80 added for a write), then the data scan moves the value.
inline constexpr uint32_t kRegisterSelectInstruction = 3;
inline constexpr uint32_t kRegisterDataInstruction = 4;
inline constexpr int32_t kRegisterSelectBits = 8;
inline constexpr uint32_t kRegisterSelectWrite = 0x80;
inline constexpr uint8_t kRegisterSelectCodes[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x90};
// The instruction ResetTovikRegisters loads.
inline constexpr uint32_t kResetRegistersInstruction = 2;

// TAP states by the host channel's codes.
inline constexpr int32_t kTapRunTestIdle = 2;
inline constexpr int32_t kTapShiftDR = 5;
inline constexpr int32_t kTapExit1DR = 6;

// The core-output extension of this module's drivers.
inline constexpr std::wstring_view kCoreOutputExtension = L".EDN";

// Flow stages of CreateProcessFlow.
inline constexpr int32_t kFlowStageBuild = 0;
inline constexpr int32_t kFlowStageDownload = 1;

// Device-information and driver operations the framework answers with one
// constant: X(operation, result type, answer).
#define TVK_TOVIK_DRIVER_CONSTANTS(X)                                   \
  X(GetIdCode, uint32_t, 0)                                             \
  X(GetDeviceName, WideString, L"Generic Tovik Device")                 \
  X(GetFamilyName, WideString, L"")                                     \
  X(GetFamilyDescription, WideString, L"")                              \
  X(GetLibraryName, WideString, L"")                                    \
  X(GetVendorPrimitiveLibraryName, WideString, L"")                     \
  X(GetBaseName, WideString, L"")                                       \
  X(GetEquivalentGatesForBase, int32_t, -1)                             \
  X(GetMaxIOForBase, int32_t, -1)                                       \
  X(GetPackageTypeId, WideString, L"Generic")                           \
  X(GetPackageTypeName, WideString, L"Generic")                         \
  X(GetPackageTypeDescription, WideString, L"Un-Classified Packages")   \
  X(GetPackageId, WideString, L"")                                      \
  X(GetPackageName, WideString, L"")                                    \
  X(GetPackageDescription, WideString, L"")                             \
  X(GetPackageDimensions, WideString, L"? x ? mm")                      \
  X(GetTemperatureGradeId, WideString, L"")                             \
  X(GetTemperatureGradeName, WideString, L"")                           \
  X(GetTemperatureGradeDescription, WideString, L"")                    \
  X(GetSpeedGradeId, WideString, L"")                                   \
  X(GetSpeedGradeName, WideString, L"")                                 \
  X(GetSpeedGradeDescription, WideString, L"")                          \
  X(GetOptionDesignatorId, WideString, L"")                             \
  X(GetOptionDesignatorName, WideString, L"")                           \
  X(GetOptionDesignatorDescription, WideString, L"")                    \
  X(GetBSDLFilename, WideString, L"")                                   \
  X(GetBSDLEntity, IBSDLEntity, IBSDLEntity())                          \
  X(GetVendorName, WideString, L"")                                     \
  X(GetInstructionLength, int32_t, 4)                                   \
  X(GetDevicePinCount, int32_t, 0)                                      \
  X(GetDeviceIOCount, int32_t, -1)                                      \
  X(GetDownloadFileExtensions, WideString, L"")                         \
  X(GetDSPMultiplierCount, int32_t, -1)                                 \
  X(GetClockManagerCount, int32_t, -1)                                  \
  X(GetMemorySize, int32_t, -1)                                         \
  X(GetTerminationSupport, bool, false)                                 \
  X(GetGlobalClockCount, int32_t, -1)                                   \
  X(GetConfigMemorySize, int32_t, -1)                                   \
  X(GetDiffPairCount, int32_t, -1)                                      \
  X(GetHighSpeedDiffPairCount, int32_t, -1)                             \
  X(GetIOStandardCount, int32_t, 0)                                     \
  X(Finalize, bool, false)                                              \
  X(SaveProcessorState, bool, false)                                    \
  X(RestoreProcessorState, bool, false)                                 \
  X(GetProcessorRegisterCount, int32_t, 0)                              \
  X(GetRegisterIndex_PC, int32_t, -1)                                   \
  X(GetRegisterIndex_SP, int32_t, -1)                                   \
  X(GetSoftBreakpointAddressByteAlign, int32_t, 1)                      \
  X(GetMemorySpaceCount, int32_t, 0)                                    \
  X(GetMemorySpace_Program, int32_t, -1)                                \
  X(RunDiagnostic, bool, true)                                          \
  X(LittleEndian, bool, false)                                          \
  X(ResetDevice, bool, false)                                           \
  X(GetDeviceState, int32_t, 0)                                         \
  X(ReadUserCode, uint32_t, 0xFFFFFFFF)                                 \
  X(ProcessorIsUsingReducedInstructionSet, bool, false)                 \
  X(Flash_Reset, bool, false)                                           \
  X(ShowConfiguration, bool, true)                                      \
  X(InvalidateResources, bool, false)                                   \
  X(EPM_InititateTest, bool, false)                                     \
  X(ClockCoreGenerator, IClockCoreGenerator, IClockCoreGenerator())     \
  X(ClockCoreTemplateGenerator, IClockCoreTemplateGenerator, IClockCoreTemplateGenerator()) \
  X(ClockGeneratorTargetCore, ITargetCoreGenerator, ITargetCoreGenerator())

// The same for operations of one argument: X(operation, argument type, result type, answer).
#define TVK_TOVIK_DRIVER_CONSTANTS_1(X)                                            \
  X(GetDeviceParameter, const WideString&, WideString, L"")                        \
  X(GetDevicePin, int32_t, IDevicePin, IDevicePin())                               \
  X(GetIOStandard, int32_t, IDeviceIOStandard, IDeviceIOStandard())                \
  X(GetProcessorRegisterWidth, int32_t, uint32_t, 0)                               \
  X(GetProcessorRegisterName, int32_t, WideString, L"")                            \
  X(GetMemorySpaceWidth, int32_t, uint32_t, 0)                                     \
  X(GetMemorySpaceKind, int32_t, int32_t, 0)                                       \
  X(GetMemorySpaceBytesPerUnit, int32_t, uint32_t, 1)                              \
  X(GetMemorySpaceName, int32_t, WideString, L"")                                  \
  X(GetMemorySpaceLength, int32_t, int64_t, 0)                                     \
  X(InitDownload, int32_t, bool, true)                                             \
  X(FinishDownload, int32_t, bool, true)                                           \
  X(ProgramDevice, const WideString&, int32_t, 0)                                  \
  X(Flash_Program, const WideString&, int32_t, 0)                                  \
  X(EPM_GetTestResult, int32_t, int32_t, -1)                                       \
  X(ConfigureFpgaProject, const IProject&, bool, false)                            \
  X(CustomCoreGenerator, int32_t, ICustomCoreGenerator, ICustomCoreGenerator())

// The framework core: holds the host device the host lends the driver, its
// pictures, flows, rack form and view and the image of its control register;
// answers every device-information and driver operation with a neutral
// default that the levels above override; and adds the operations they build
// on. Its interfaces count no references: a driver lives until the module is
// unloaded, and the driver unit owns it.
//
// Construction is two-phase. The constructors of the levels must not ask the
// driver's own virtual operations (in C++ a base constructor reaches only the
// base's versions); a level whose construction needs them (the device name
// for the constraint-file search, say) does that work in AfterCreate, which
// New() runs once every constructor has finished.
class TTovikDriver : public TAbstractTovikDriver, public IMemoryAccess {
public:
  // Create(CoreExt): the core-output extension (".EDN" for this module's drivers).
  explicit TTovikDriver(const WideString& CoreExt);
  ~TTovikDriver() override;

  void AfterConstruction() final;

  // IUnknown of every interface entry; AddRef and Release count nothing.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

  // IMemoryAccess: Success is false and no memory is touched at this level.
  HRESULT STDMETHODCALLTYPE MemoryRead(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                       BOOL* Success) override;
  HRESULT STDMETHODCALLTYPE MemoryWrite(int32_t MemorySpace, uint32_t* Buffer, int64_t Address, int32_t Count,
                                        BOOL* Success) override;

  // ---- Served operations

#define TVK_TOVIK_DRIVER_DECLARE(Name, Type, Value) HRESULT Name(Type& Result) override;
  TVK_TOVIK_DRIVER_CONSTANTS(TVK_TOVIK_DRIVER_DECLARE)
#undef TVK_TOVIK_DRIVER_DECLARE
#define TVK_TOVIK_DRIVER_DECLARE_1(Name, Arg, Type, Value) HRESULT Name(Arg, Type& Result) override;
  TVK_TOVIK_DRIVER_CONSTANTS_1(TVK_TOVIK_DRIVER_DECLARE_1)
#undef TVK_TOVIK_DRIVER_DECLARE_1

  HRESULT GetDeviceDescription(WideString& Result) override;
  HRESULT GetDeviceDisplayName(WideString& Result) override;
  HRESULT GetMemorySpaceShortName(int32_t Space, WideString& Result) override;
  HRESULT GetProcessorRegisterShortName(int32_t Index, WideString& Result) override;

  // Host device.
  HRESULT GetTovikDevice(ITovikDevice& Result) override;
  HRESULT SetTovikDevice(const ITovikDevice& Device, bool& Result) override;

  // Constraint file and library folder.
  HRESULT SetEmbeddedConstraintFile(const WideString& Name) override;
  HRESULT GetEmbeddedConstraintFile(WideString& Result) override;
  HRESULT GetFolder_Library(WideString& Result) override;

  HRESULT Supports(const WideString& Name, bool& Result) override;

  // Generic register access over JTAG.
  HRESULT GetProcessorRegisterValue(int32_t Index, uint32_t& Result) override;
  HRESULT SetProcessorRegisterValue(int32_t Index, uint32_t Value, bool& Result) override;
  HRESULT GetProcessorRegisterWideValue(int32_t Index, WideString& Result) override;
  HRESULT SetProcessorRegisterWideValue(int32_t Index, const WideString& Value, bool& Result) override;

  HRESULT AddSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t& Result) override;
  HRESULT RemoveSoftBreakpoint(int32_t MemorySpace, int64_t Address, uint32_t Kind, bool& Result) override;

  // Channel and control register.
  HRESULT ResetTovikRegisters() override;
  HRESULT ResetProcessor() override;
  HRESULT PauseProcessor() override;
  HRESULT ContinueProcessor() override;
  HRESULT SingleStepProcessor() override;
  HRESULT RunSteps(int32_t Count) override;
  HRESULT RunSingleStepInSubstitutionRegister() override;
  HRESULT ProcessorIsPaused(bool& Result) override;
  HRESULT ProcessorIsReset(bool& Result) override;
  HRESULT ProcessorIsRunning(bool& Result) override;

  // Flows and core output.
  HRESULT FlowStage_Build(IProcessFlow& Result) override;
  HRESULT FlowStage_Download(IProcessFlow& Result) override;
  HRESULT CoreGen_OutputExtension(WideString& Result) override;

  // Vendor tools.
  HRESULT VendorToolsPresent(bool& Result) override;
  HRESULT VendorToolsUpToDate(bool& Result) override;
  HRESULT VendorToolsDescriptor(WideString& Result) override;

  // Programming and test stubs.
  HRESULT Flash_Configure() override;
  HRESULT Flash_ResetForBitStream(bool& Result) override;
  HRESULT EPM_Download(const WideString& Arg1, const WideString& Arg2, const WideString& Arg3,
                       bool& Result) override;
  HRESULT EPM_SetPercentCallBack(const IPercentCallback& CallBack) override;
  HRESULT ShowCurrentSensePanel() override;
  HRESULT ShowAboutDialog() override;
  HRESULT CustomAction_Execute(int32_t Action) override;
  HRESULT CustomAction_GetState(int32_t Action, bool& State1, bool& State2, bool& State3, uint32_t Raw1,
                                uint32_t Raw2) override;

  // Device picture and rack viewer.
  HRESULT GetBitmapHandle(uint32_t& Result) override;
  HRESULT CreateRackViewer() override;
  HRESULT GetRackViewer(IInstrumentView& Result) override;
  HRESULT ReleaseResources() override;

  // ---- Operations the framework adds, in slot order

  // The JTAG instructions of the generic register access.
  virtual uint32_t GetRegisterSelectInstruction();
  virtual uint32_t GetRegisterDataInstruction();
  // A processor-information service for the constraint-file search; none here.
  virtual bool GetProcessorInformation(IDeviceProcessorInformation& Info);
  virtual bool IsCPLD();
  virtual bool IsFPGA();
  virtual bool IsPROM();
  virtual bool IsHardProcessor();
  virtual bool IsSoftProcessor();
  virtual bool IsGenericProcessor();
  // The process flow of a flow stage (kFlowStageBuild, kFlowStageDownload); none here.
  virtual IProcessFlow CreateProcessFlow(int32_t Kind);
  // The class of the served view that wraps the rack form (TRackInstrumentView).
  virtual const TInstrumentViewClass& GetRackViewClass();
  // The rack form factory: a hard-device viewer when the driver's JTAG device
  // has a boundary-scan entity; null otherwise.
  virtual std::unique_ptr<TDriverForm> CreateRackForm();
  TDriverForm* GetRackForm() const { return FRackForm; }
  // Open the channel and bracket the work at the host device. They do not
  // nest, and they call the host device without testing it.
  virtual void TransactionBegin();
  virtual void TransactionEnd();
  // The control register image to and from the host device.
  virtual void WriteControlRegister();
  virtual void ReadControlRegister();
  // Open and close the JTAG channel; nothing without one.
  virtual void OpenChannel();
  virtual void CloseChannel();

  // ---- For the levels above

  const ITovikDevice& TovikDevice() const { return FTovikDevice; }
  // The host device's JTAG channel; empty while no device is set.
  IJTagChannel JTagChannel() const;
  // The driver's position on the chain; 0 while no device is set.
  int32_t JTagIndex() const;
  const WideString& CustomConstraintFile() const { return FCustomConstraintFile; }

  // The control-register image and its bits (kCR_...).
  uint8_t ControlRegister() const { return FControlRegister; }
  bool ControlBit(uint8_t bit) const { return (FControlRegister & bit) != 0; }
  void SetControlBit(uint8_t bit, bool on);

protected:
  // Second phase of construction (see the class comment); levels that
  // override it call their parent's first.
  virtual void AfterCreate() {}

private:
  // One register access of the generic JTAG protocol: Value in, the bits
  // shifted out back. Nothing without a channel.
  uint32_t AccessRegister(int32_t index, bool write, uint32_t value);
  WideString AccessRegisterWide(int32_t index, bool write, const WideString& value);
  // Index within both the register count and the select-code table.
  bool RegisterInRange(int32_t index);
  void SelectRegister(const IJTagChannel& channel, int32_t position, int32_t index, bool write);
  // The device picture from a name (the family name): the host's base
  // picture with the name's picture centred on it; null without a base.
  TBitmapHandle BuildDeviceImage(const WideString& name);
  IProcessFlow& FlowStage(IProcessFlow& flow, int32_t kind);

  ITovikDevice FTovikDevice;          // lent by the host; empty until set
  TBitmapHandle FDeviceImage;               // built on first request
  TBitmapHandle FDeviceAboutImage;          // never set; freed with the driver
  IPercentCallback FCallBack;
  WideString FCustomConstraintFile;
  IProcessFlow FBuildFlow, FDownloadFlow, FVerifyFlow;  // made on first request; no verify flow
  TDriverForm* FRackForm = nullptr;   // the rack form, owned by FRackFormOwner until a view takes it
  std::unique_ptr<TDriverForm> FRackFormOwner;
  IInstrumentView FRackView;
  uint8_t FControlRegister = 0;
  WideString FCoreExt;
};

// The folder search of one constraint-file name: Name itself, then in the
// module's "Library\Embedded\", the host's data folder and the
// "Library\Embedded\" folder of the host's toolchain manager. False (Path
// empty) when none exists.
bool FindConstraintFile(const WideString& name, WideString& path);

// ---- Memory maps and processor information

// A getter and a setter of one field of a memory section; the operations'
// types convert to the field's (a memory index is stored signed).
#define TVK_SECTION_FIELD_ACCESSORS(Name, Type, Field)                          \
  HRESULT Get##Name(Type& Result) override {                                    \
    Result = static_cast<Type>(Field);                                          \
    return S_OK;                                                                \
  }                                                                             \
  HRESULT Set##Name(std::conditional_t<std::is_same_v<Type, WideString>, const Type&, Type> Value) override { \
    Field = static_cast<decltype(Field)>(Value);                                \
    return S_OK;                                                                \
  }

class TDeviceMemoryLogicalSection;

// A physical memory on a bus. Logical sections whose parent link points here
// are told when it goes, so that the link never outlives it.
class TDeviceMemoryArchitectureSection : public TAbstractDeviceMemoryArchitectureSection {
public:
  ~TDeviceMemoryArchitectureSection() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // The section behind Object when it is one of this module's; null otherwise.
  static TDeviceMemoryArchitectureSection* FromDispatch(IDispatch* object);

#define TVK_ARCHITECTURE_SECTION_FIELDS(X)                  \
  X(DeviceMemoryIndex, uint32_t, FDeviceMemoryIndex)        \
  X(BusName, WideString, FBusName)                          \
  X(Description, WideString, FDescription)                  \
  X(BusType, WideString, FBusType)                          \
  X(StartAddress, uint32_t, FStartAddress)                  \
  X(Size, uint32_t, FSize)                                  \
  X(IsMappedIO, bool, FIsMappedIO)                          \
  X(AddressWidth, uint32_t, FAddressWidth)                  \
  X(Designator, WideString, FDesignator)
  TVK_ARCHITECTURE_SECTION_FIELDS(TVK_SECTION_FIELD_ACCESSORS)

  HRESULT AddLogicalSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) override;
  HRESULT GetChildMapCount(uint32_t& Result) override;
  HRESULT GetChildMap(uint32_t Index, IDeviceMemoryLogicalSection& Result) override;

private:
  friend class TDeviceMemoryLogicalSection;

  int32_t FDeviceMemoryIndex = 0;
  WideString FBusName;
  WideString FDescription;
  WideString FBusType;
  uint32_t FStartAddress = 0;
  uint32_t FSize = 0;
  uint32_t FAddressWidth = 0;
  bool FIsMappedIO = false;
  WideString FDesignator;
  std::vector<IDeviceMemoryLogicalSection> FChildList;
  // Logical sections whose parent link points here (links own nothing).
  std::vector<TDeviceMemoryLogicalSection*> FLinkedSections;
};

// A range with a usage inside an architecture section.
class TDeviceMemoryLogicalSection : public TAbstractDeviceMemoryLogicalSection {
public:
  ~TDeviceMemoryLogicalSection() override;

#define TVK_LOGICAL_SECTION_FIELDS(X)                       \
  X(DeviceMemoryIndex, uint32_t, FDeviceMemoryIndex)        \
  X(BusName, WideString, FBusName)                          \
  X(BusType, WideString, FBusType)                          \
  X(UsageType, WideString, FUsageType)                      \
  X(PhysicalType, WideString, FPhysicalType)                \
  X(StartAddress, uint32_t, FStartAddress)                  \
  X(Size, uint32_t, FSize)                                  \
  X(MAU, uint32_t, FMAU)                                    \
  X(IsDefault, bool, FIsDefault)                            \
  X(Designator, WideString, FDesignator)                    \
  X(MemConfig, WideString, FMemConfig)                      \
  X(IsExternal, bool, FIsExternal)
  TVK_LOGICAL_SECTION_FIELDS(TVK_SECTION_FIELD_ACCESSORS)

  HRESULT GetParentMap(IDeviceMemoryArchitectureSection& Result) override;
  HRESULT SetParentMap(const IDeviceMemoryArchitectureSection& Section) override;

private:
  friend class TDeviceMemoryArchitectureSection;
  void DropParentLink();

  int32_t FDeviceMemoryIndex = 0;
  WideString FBusName;
  WideString FBusType;
  bool FIsDefault = false;
  uint32_t FMAU = 0;
  uint32_t FSize = 0;
  uint32_t FStartAddress = 0;
  WideString FUsageType;
  WideString FPhysicalType;
  WideString FDesignator;
  WideString FMemConfig;
  bool FIsExternal = false;
  // The parent. One of this module's sections is linked without a count (it
  // clears the link when it goes); a section from elsewhere is held counted,
  // since nothing would tell this one when it goes.
  TDeviceMemoryArchitectureSection* FParentLink = nullptr;
  IDeviceMemoryArchitectureSection FForeignParent;
};

// A processor's memory map. Sections are reached only through their served
// interfaces, so a section the host made is treated like one of the module's.
class TDeviceMemoryInformation : public TAbstractDeviceMemoryInformation {
public:
  HRESULT GetDefaultROMLogicalSection(IDeviceMemoryLogicalSection& Result) override;
  HRESULT GetDefaultRAMLogicalSection(IDeviceMemoryLogicalSection& Result) override;
  HRESULT GetDefaultFlashLogicalSection(IDeviceMemoryLogicalSection& Result) override;
  HRESULT GetArchitectureSectionCount(uint32_t& Result) override;
  HRESULT GetLogicalSectionCount(uint32_t& Result) override;
  HRESULT GetLogicalSection(uint32_t Index, IDeviceMemoryLogicalSection& Result) override;
  HRESULT GetArchitectureSection(uint32_t Index, IDeviceMemoryArchitectureSection& Result) override;
  // 0 when accepted, -1 when Section overlaps a section of its bus type or is empty.
  HRESULT AddArchitectureSection(const IDeviceMemoryArchitectureSection& Section, int32_t& Result) override;
  // 0 when attached, -1 when no section of its bus type contains it or it is empty.
  HRESULT AddLogicalSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) override;
  // Always 0; a default "rom", "ram" or "flash" section replaces the earlier one.
  HRESULT AddDefaultSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) override;

private:
  std::vector<IDeviceMemoryArchitectureSection> FArchitectureSectionList;
  std::vector<IDeviceMemoryLogicalSection> FLogicalSectionList;
  IDeviceMemoryLogicalSection FDefaultRomMap;
  IDeviceMemoryLogicalSection FDefaultRamMap;
  IDeviceMemoryLogicalSection FDefaultFlashMap;
};

// One core's row of the processor description table: positions in the
// vocabulary's architecture, family, toolchain and toolchain-target tables.
struct TDeviceProcessorDescription {
  uint8_t Architecture;
  uint8_t Family;
  uint8_t ToolChain;
  uint8_t ToolChainTarget;
};

// One row per TDeviceProcessor_Core, in enumeration order.
extern const std::array<TDeviceProcessorDescription, kDeviceProcessor_CoreCount> kDeviceProcessorDescriptions;

// The names of one processor core.
class TDeviceProcessorInformation : public TAbstractDeviceProcessorInformation {
public:
  explicit TDeviceProcessorInformation(TDeviceProcessor_Core core) : FCore(core) {}

  HRESULT GetDeviceProcessorFamilyString(WideString& Result) override;
  HRESULT GetDeviceProcessorArchString(WideString& Result) override;
  HRESULT GetDeviceProcessorCoreString(WideString& Result) override;
  HRESULT GetDeviceProcessorToolChainTargetString(WideString& Result) override;
  HRESULT GetDeviceProcessorToolChainString(WideString& Result) override;

private:
  std::size_t Core() const;  // raises for a value outside the enumeration
  const TDeviceProcessorDescription& Row() const;
  TDeviceProcessor_Core FCore;
};

// ---- Memory-map constraint files

// Reads a constraint file into Map: each line in order, nothing when the file
// does not exist. Sections take the index of the driver's memory space whose
// short name matches their bus name.
void LoadDeviceMemoryFromConstraint(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                    const WideString& fileFullPath);
void LoadMemoryMapsFromConstraintLine(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                      const WideString& line);
void LoadArchitectureSectionFromParamList(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                          const TParameterList& list);
void LoadLogicalSectionFromParamList(const IDeviceMemoryInformation& map, const TParameterList& list);

// ---- The processor driver

// A flash-writer class: its virtual constructor, which makes a writer for a
// driver (the driver's dispatch interface, a reference that owns nothing)
// with its enable flag and answers it as New() leaves an object, its first
// reference for the caller to take. Create is empty until the class is built;
// the processor level passes such a class over.
using TFlashWriterCreate = IDispatch* (*)(IDispatch* driver, bool enable);

struct TFlashWriterClass {
  std::wstring_view Name;
  TFlashWriterCreate Create;
};

// {97D62810-2143-4888-AAF9-09E79EC83A46}
extern const IID IID_IFlashWriterDriverLink;

// The module's own flash writers offer this beside their dispatch interface:
// a driver that goes tells each of its writers, so that a writer the host
// still holds no longer reaches it (its back reference owns nothing).
struct IFlashWriterDriverLink : public IUnknown {
  virtual void STDMETHODCALLTYPE DriverDestroyed() = 0;
};

class TTovikProcessorDriver;
class IBreakpointDriver;

// The debug manager's class (TDeviceDebugManager): makes the breakpoint
// allocator of a driver; an empty Create makes none.
using TDeviceDebugManagerCreate = IDeviceDebugManager (*)(TTovikProcessorDriver& driver);

struct TDeviceDebugManagerClass {
  std::wstring_view Name;
  TDeviceDebugManagerCreate Create;
};

// The class the processor level makes its debug manager from (the module's
// TDeviceDebugManager unless another is bound).
const TDeviceDebugManagerClass& DeviceDebugManagerClass();
// Binds Class (kept by address; it must outlive the binding) and answers the
// class it replaces; null restores the module's own.
const TDeviceDebugManagerClass* BindDeviceDebugManagerClass(const TDeviceDebugManagerClass* cls);

// The level of every driver with a processor: its processor type, its
// processor-information service, its memory map, its debug manager and its
// list of flash writers with one selected. The list is served under the
// driver's own identifiers (the host's IFlashWriters); identifiers that no
// level of the driver answers go on to the three services.
//
// The constructors only record what they are given: the services, the memory
// map from the constraint files and the writers are made in AfterCreate, when
// the levels above can answer the device's names.
class TTovikProcessorDriver : public TTovikDriver {
public:
  TTovikProcessorDriver();
  TTovikProcessorDriver(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType);
  // One writer class, selected; none (null) makes no writer list.
  TTovikProcessorDriver(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType,
                        const TFlashWriterClass* ARemoteExecutionClass);
  // One writer per class in order, the first selected; fewer than two
  // classes make no writer list (one class takes the form above).
  TTovikProcessorDriver(TDeviceProcessor_Core AProcessorCore, TDeviceProcessor_Type AProcessorType,
                        std::span<const TFlashWriterClass* const> ARemoteExecutionClasses);
  ~TTovikProcessorDriver() override;

  TVK_SERVED_LEVEL();

  // ---- Served operations of this level

  // Opens the flash memory utility dialog on this driver's writer list, modally.
  HRESULT ShowFlashMemoryUtilityDialog(const IDeviceLink& ADeviceLink);
  // Appends AWriter (duplicates allowed); the selection stays. Fails without a list.
  HRESULT AddFlashWriter(const IFlashWriter& AWriter);
  // The writer at Index (0-based); fails outside the list or without one.
  HRESULT GetFlashWriter(int32_t Index, IFlashWriter& Result);
  // AWriter becomes the selected writer, in the list or not; empty selects none.
  HRESULT SelectFlashWriter(const IFlashWriter& AWriter);
  HRESULT GetSelectedFlashWriter(IFlashWriter& Result);
  // 0 without a list.
  HRESULT GetFlashWriterCount(int32_t& Result);

  // ---- Overrides of the framework core

  // Stores the name, then replaces the memory map by one read from FileName
  // as it is (no folder search; a missing file leaves the new map empty).
  HRESULT SetEmbeddedConstraintFile(const WideString& FileName) override;
  bool IsHardProcessor() override;
  bool IsSoftProcessor() override;
  bool IsGenericProcessor() override;

  // Reads a constraint file into the current memory map.
  void LoadDeviceMemoryFromConstraint(const WideString& FileFullPath);

  TDeviceProcessor_Type ProcessorType() const { return FProcessorType; }
  const IDeviceProcessorInformation& DeviceProcessorInformation() const { return FDeviceProcessorInformation; }
  const IDeviceMemoryInformation& DeviceMemoryInformation() const { return FDeviceMemoryInformation; }
  const IDeviceDebugManager& DeviceDebugManager() const { return FDeviceDebugManager; }
  bool HasWriterList() const { return FRemoteExecuteDrivers.has_value(); }
  // What the debug manager and its breakpoints use of this driver; it lives
  // as long as the driver.
  IBreakpointDriver& BreakpointHooks();

protected:
  void AfterCreate() override;

private:
  // Makes the three services for Core and loads the memory map found by the
  // constraint-file search.
  void SetProcessorCore(TDeviceProcessor_Core core);
  // The writer list, one writer per class; the first writer selected.
  void CreateFlashWriters();

  TDeviceProcessor_Type FProcessorType;
  IDeviceProcessorInformation FDeviceProcessorInformation;
  IDeviceMemoryInformation FDeviceMemoryInformation;
  std::optional<std::vector<IFlashWriter>> FRemoteExecuteDrivers;  // none unless made with writer classes
  IFlashWriter FRemoteExecuteDriver;                                // the selected writer; empty for none
  IDeviceDebugManager FDeviceDebugManager;

  class TBreakpointHooks;
  std::unique_ptr<TBreakpointHooks> FBreakpointHooks;  // made on first request

  // What the constructor was given, used by AfterCreate.
  TDeviceProcessor_Core FProcessorCore;
  std::vector<const TFlashWriterClass*> FWriterClasses;
  bool FMakesWriterList = false;
};

}  // namespace tvk
