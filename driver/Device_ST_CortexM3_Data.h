#pragma once
// The STM32 device catalogue and the device-data level of the driver: one row
// of the device table per device kind, the side tables its enumerations index,
// the pin sets, and the driver level that answers the host's device-information
// operations, device pins and I/O standards from them.
#include "ORV.SCH.Types.h"
#include "ORV.Types.h"
#include "Tovik.Classes.ARM.h"
#include "Tovik.Classes.BSDL.h"
#include "Tovik.Classes.h"
#include "Tovik.Types.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tvk {

#include "Device_ST_CortexM3_Enums.inc"

// A set over TDeviceIOStandardID: bit n for identifier n.
using TDeviceIOStandardSet = uint32_t;

// Bit positions in a pin's Options, one per option query of a device pin.
enum TPinOption : uint8_t {
  ePinOption_IO, ePinOption_VREF, ePinOption_CLK, ePinOption_Special,
  ePinOption_InputOnly, ePinOption_DCIP, ePinOption_DCIN, ePinOption_DiffP,
  ePinOption_DiffN, ePinOption_HDiffP, ePinOption_HDiffN, ePinOption_TransmitDiff,
  ePinOption_ReceiveDiff, ePinOption_ClkDiffP, ePinOption_ClkDiffN, ePinOption_DLL,
};

struct TPinParameters {
  std::wstring_view PinNumber;
  std::wstring_view Bank = {};
  std::wstring_view DiffId = {};
  std::wstring_view ClkDiffId = {};
  uint16_t Options = 0;  // bits of TPinOption
  TDeviceIOStandardSet Standards = 0;
};

struct TPinSetParameters {
  int32_t PinCount;
  int32_t IOCount;
  int32_t DiffCount;
  int32_t HSpeedDiffCount;
  TDeviceIOStandardSet Standards;
  std::span<const TPinParameters> Pins;
};

struct TBaseNameIdParameters {
  std::wstring_view Name;
  int32_t EquivalentGates;
  int32_t MaxIO;
};

struct TDevicePackageParameters {
  int32_t DSPMultiplierCount;
  int32_t ClockManagerCount;
  int32_t MemorySize;
  bool TerminationSupport;
  int32_t GlobalClockCount;
  int32_t ConfigMemorySize;
};

struct TDeviceParameters {
  TDeviceKind Kind;
  std::wstring_view FullName;
  TFamilyNameId FamilyName;
  uint32_t IdCode;
  TBaseNameId BaseName;
  TPackage Package;
  TPackageType PackageType;
  TTemperatureGrade TemperatureGrade;
  TSpeedGrade SpeedGrade;
  TOptionDesignator OptionDesignator;
  std::wstring_view BSDL;
  TDevicePinSet PinSet;
  int32_t InstructionLength;
  TDevicePackage DevicePackage;
  TDeviceProcessor_Core DeviceProcessorCore;
  TDeviceProcessor_Type DeviceProcessorType;
  // Flash-writer classes by name, bound to their slots at start-up; empty is none.
  std::wstring_view RemoteExecutionDriver;
  std::wstring_view RemoteExecutionDriverData;
};

#include "Device_ST_CortexM3_Tables.inc"

static_assert(std::size(kDeviceTable) == kDeviceKindCount && kDeviceKindCount == 290);
static_assert(std::size(kBaseNames) == kBaseNameIdCount && kBaseNameIdCount == 143);
static_assert(std::size(kDevicePackages) == kDevicePackageCount && kDevicePackageCount == 93);
static_assert(std::size(kPinSets) == kDevicePinSetCount && kDevicePinSetCount == 30);
static_assert(std::size(kFamilyNames) == kFamilyNameIdCount && std::size(kPackageNames) == kPackageCount &&
              std::size(kPackageTypeNames) == kPackageTypeCount &&
              std::size(kSpeedGradeNames) == kSpeedGradeCount &&
              std::size(kTemperatureGradeNames) == kTemperatureGradeCount &&
              std::size(kOptionDesignatorNames) == kOptionDesignatorCount);

// The library of STM32 parts among the host's integrated device libraries.
inline constexpr std::wstring_view kLibraryName = L"STM32.TvkIntLib";
inline constexpr std::wstring_view kFamilyDescription = L"32-bit Arm Microcontroller";

// ---- Boundary-scan parameters: the compiled-in descriptions a driver builds
// its boundary-scan entity from. The one entry is empty, so no row finds one.
// Counts may be smaller than the record lists; only the first so many count.

struct TPinMappingParameters {
  std::wstring_view PinName;
  std::wstring_view PinNumber;
};

struct TScanPinParameters {
  TPinElectrical Direction;
  std::wstring_view PinName;
  std::wstring_view PinNumber;
  TScanPinKind Kind;
  TPinMappingParameters PinMapping;
  int32_t BoundaryCellCount;
  std::span<const int32_t> BoundaryCells;
};

struct TBoundaryCellParameters {
  int32_t CellNumber;
  TCellKind CellKind;
  std::wstring_view PortId;
  TCellFunction CellFunction;
  TBitValue SafeBit;
  TBitValue DisableValue;
  TDisableResult DisableResult;
  std::wstring_view PinNumber;
  int32_t ControlCellNumber;
  int32_t TargetCellNumber;
};

struct TOpCodeParameters {
  std::wstring_view InstructionName;
  std::wstring_view OpCodePattern;
};

struct TRegisterAssociationParameters {
  std::wstring_view RegisterName;
  int32_t RegisterLength;
  int32_t OpCodeCount;
  std::span<const std::wstring_view> OpCodes;
};

struct TBSDLParameters {
  std::wstring_view Name;
  int32_t BoundaryLength;
  double ScanClockMaxSpeed;
  TScanClockHaltMode ScanClockHaltMode;
  std::wstring_view ConformanceStatement;
  std::wstring_view CompliancePattern;
  std::wstring_view Filename;
  int32_t Instruction_SAMPLE;
  std::wstring_view PinNumber_TDI, PinNumber_TDO, PinNumber_TMS, PinNumber_TCK, PinNumber_TRST;
  int32_t PinCount;
  std::span<const TScanPinParameters> Pins;
  int32_t BoundaryCellCount;
  std::span<const TBoundaryCellParameters> BoundaryCells;
  int32_t OpCodeCount;
  std::span<const TOpCodeParameters> OpCodes;
  int32_t RegisterAssociationCount;
  std::span<const TRegisterAssociationParameters> RegisterAssociations;
};

inline constexpr TBSDLParameters kBSDLTable[] = {{}};

// ---- I/O standards: byte 0 the position in the shared I/O-standard tables,
// byte 1 the slew rates (bit i: entry i of kSlewRates), bytes 2 to 5 the drive
// strengths (bit i: entry i of kDriveStrengths).

struct TDeviceIOStandardParameters {
  uint8_t Index;
  uint8_t Slews;
  uint32_t Drives;
};

inline constexpr TDeviceIOStandardParameters kDeviceIOStandards[] = {
    {0, 0, 0},  // eSt_None: "LVTTL15", no slew rate, no drive strength
};
static_assert(std::size(kDeviceIOStandards) == kDeviceIOStandardIDCount);

// ---- Flash-writer classes

// The class references (TFlashWriterClass) are declared with the processor
// driver that creates writers from them (Tovik.Classes.h).

// Every writer class the device table may name, and the CFI writer.
std::span<const TFlashWriterClass> FlashWriterClasses();
const TFlashWriterClass& CFIFlashWriterClass();
// The class named Name, or null.
const TFlashWriterClass* FindFlashWriterClass(std::wstring_view name);

// The writer classes of a row, in creation order: its RemoteExecutionDriver,
// its RemoteExecutionDriverData when set, and the CFI writer last. Raises
// when the device-data unit has not bound the table.
std::vector<const TFlashWriterClass*> CollectFlashWriterClasses(int32_t kind);
// How many writer cells of the table start-up bound (0 before start-up).
int BoundWriterCellCount();

// ---- Device pins and I/O standards

// Pin Index of a pin set's pin table.
class TDevicePinData : public TTovikAbstractDevicePin {
public:
  TDevicePinData(TDevicePinSet pinSet, int32_t index) : FPinSet(pinSet), FIndex(index) {}
  TDevicePinSet PinSet() const { return FPinSet; }
  int32_t Index() const { return FIndex; }

#define TVK_PIN_OPTION_QUERIES(X)                                                                           \
  X(GetIsIOPin, ePinOption_IO) X(GetIsVREFPin, ePinOption_VREF) X(GetIsCLKPin, ePinOption_CLK)             \
  X(GetIsSpecialPin, ePinOption_Special) X(GetIsInputOnlyPin, ePinOption_InputOnly)                        \
  X(GetIsDCIP_Pin, ePinOption_DCIP) X(GetIsDCIN_Pin, ePinOption_DCIN) X(GetIsDiffP_Pin, ePinOption_DiffP)  \
  X(GetIsDiffN_Pin, ePinOption_DiffN) X(GetIsHDiffP_Pin, ePinOption_HDiffP)                                \
  X(GetIsHDiffN_Pin, ePinOption_HDiffN) X(GetIsTransmitDiffPin, ePinOption_TransmitDiff)                   \
  X(GetIsReceiveDiffPin, ePinOption_ReceiveDiff) X(GetIsClkDiffP_Pin, ePinOption_ClkDiffP)                 \
  X(GetIsClkDiffN_Pin, ePinOption_ClkDiffN) X(GetIsDLLPin, ePinOption_DLL)
#define TVK_PIN_OPTION_DECLARE(Name, Bit) HRESULT Name(bool& Result) override;
  TVK_PIN_OPTION_QUERIES(TVK_PIN_OPTION_DECLARE)
#undef TVK_PIN_OPTION_DECLARE

  HRESULT GetPinNumber(WideString& Result) override;
  HRESULT GetIOBank(WideString& Result) override;
  HRESULT GetDifferentialId(WideString& Result) override;
  HRESULT GetClkDifferentialId(WideString& Result) override;
  HRESULT GetIOStandardCount(int32_t& Result) override;
  HRESULT GetIOStandard(int32_t Index, IDeviceIOStandard& Result) override;

protected:
  // The pin's table entry.
  virtual const TPinParameters& Entry() const;

private:
  HRESULT Option(TPinOption bit, bool& result) const;
  TDevicePinSet FPinSet;
  int32_t FIndex;
};

// The I/O standard of one TDeviceIOStandardID; the module holds the one object
// of each identifier from start-up to shut-down.
class TDeviceIOStandardData : public TTovikAbstractDeviceIOStandard {
public:
  explicit TDeviceIOStandardData(TDeviceIOStandardID id) : FID(id) {}
  TDeviceIOStandardID ID() const { return FID; }

  // The module's own reference outlives every reference handed out: those
  // are counted, but none of them, balanced or not, frees the object. The
  // answers count the module's reference too.
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  LONG HostReferences() const { return FHostReferences; }

  int32_t GetIOStandardIndex() const override;
  HRESULT GetSlewCount(int32_t& Result) override;
  HRESULT GetSlewValue(int32_t Index, WideString& Result) override;
  HRESULT GetDriveCount(int32_t& Result) override;
  HRESULT GetDriveStrength(int32_t Index, WideString& Result) override;

protected:
  // The identifier's table entry.
  virtual const TDeviceIOStandardParameters& Parameters() const;

private:
  TDeviceIOStandardID FID;
  LONG FHostReferences = 0;  // taken and not yet given back; never below 0
};

// The module's I/O-standard object of Id (null before start-up). The module
// owns it: a reference handed out owns nothing.
TDeviceIOStandardData* DeviceIOStandard(TDeviceIOStandardID id);
// The Index-th identifier present in Standards, counting from 0 in identifier
// order; false when there is none.
bool NthIOStandard(TDeviceIOStandardSet standards, int32_t index, TDeviceIOStandardID& id);

// ---- The device-data level of a driver

// Device-information answers read from the driver's row: X(operation, result
// type, expression over the row R).
#define TVK_DEVICE_DATA_ANSWERS(X)                                                                 \
  X(GetIdCode, uint32_t, R.IdCode)                                                                 \
  X(GetDeviceName, WideString, R.FullName)                                                         \
  X(GetFamilyName, WideString, kFamilyNames[R.FamilyName])                                         \
  X(GetFamilyDescription, WideString, kFamilyDescription)                                          \
  X(GetLibraryName, WideString, kLibraryName)                                                      \
  X(GetBaseName, WideString, kBaseNames[R.BaseName].Name)                                          \
  X(GetEquivalentGatesForBase, int32_t, kBaseNames[R.BaseName].EquivalentGates)                    \
  X(GetMaxIOForBase, int32_t, kBaseNames[R.BaseName].MaxIO)                                        \
  X(GetPackageTypeId, WideString, kPackageTypeIds[R.PackageType])                                  \
  X(GetPackageTypeName, WideString, kPackageTypeNames[R.PackageType])                              \
  X(GetPackageTypeDescription, WideString, kPackageTypeDescriptions[R.PackageType])                \
  X(GetPackageId, WideString, kPackageIds[R.Package])                                              \
  X(GetPackageName, WideString, kPackageNames[R.Package])                                          \
  X(GetPackageDescription, WideString, kPackageDescriptions[R.Package])                            \
  X(GetPackageDimensions, WideString, kPackageDimensions[R.Package])                               \
  X(GetTemperatureGradeId, WideString, kTemperatureGradeIds[R.TemperatureGrade])                   \
  X(GetTemperatureGradeName, WideString, kTemperatureGradeNames[R.TemperatureGrade])               \
  X(GetTemperatureGradeDescription, WideString, kTemperatureGradeDescriptions[R.TemperatureGrade]) \
  X(GetSpeedGradeId, WideString, kSpeedGradeIds[R.SpeedGrade])                                     \
  X(GetSpeedGradeName, WideString, kSpeedGradeNames[R.SpeedGrade])                                 \
  X(GetSpeedGradeDescription, WideString, kSpeedGradeDescriptions[R.SpeedGrade])                   \
  X(GetOptionDesignatorId, WideString, kOptionDesignatorIds[R.OptionDesignator])                   \
  X(GetOptionDesignatorName, WideString, kOptionDesignatorNames[R.OptionDesignator])               \
  X(GetOptionDesignatorDescription, WideString, kOptionDesignatorDescriptions[R.OptionDesignator]) \
  X(GetBSDLFilename, WideString, R.BSDL)                                                           \
  X(GetInstructionLength, int32_t, R.InstructionLength)                                            \
  X(GetDevicePinCount, int32_t, kPinSets[R.PinSet].PinCount)                                       \
  X(GetDeviceIOCount, int32_t, kPinSets[R.PinSet].IOCount)                                         \
  X(GetDiffPairCount, int32_t, kPinSets[R.PinSet].DiffCount)                                       \
  X(GetHighSpeedDiffPairCount, int32_t, kPinSets[R.PinSet].HSpeedDiffCount)                        \
  X(GetIOStandardCount, int32_t, std::popcount(kPinSets[R.PinSet].Standards))                      \
  X(GetDSPMultiplierCount, int32_t, kDevicePackages[R.DevicePackage].DSPMultiplierCount)           \
  X(GetClockManagerCount, int32_t, kDevicePackages[R.DevicePackage].ClockManagerCount)             \
  X(GetMemorySize, int32_t, kDevicePackages[R.DevicePackage].MemorySize)                           \
  X(GetTerminationSupport, bool, kDevicePackages[R.DevicePackage].TerminationSupport)              \
  X(GetGlobalClockCount, int32_t, kDevicePackages[R.DevicePackage].GlobalClockCount)               \
  X(GetConfigMemorySize, int32_t, kDevicePackages[R.DevicePackage].ConfigMemorySize)               \
  X(GetVendorPrimitiveLibraryName, WideString, std::wstring_view())                                \
  X(GetDownloadFileExtensions, WideString, std::wstring_view())

// The level below the device data. Levels may come between, so the device
// data names its parent only through this.
using TDeviceDataParent = TARM_Cortex_M3;

class TDeviceData : public TDeviceDataParent {
public:
  // Records the kind first: the levels below read the device's names from it.
  explicit TDeviceData(int32_t kind);
  ~TDeviceData() override;

  TDeviceKind Kind() const { return FKind; }
  const TDeviceParameters& Row() const { return kDeviceTable[FKind]; }

#define TVK_DEVICE_DATA_DECLARE(Name, Type, Expr) HRESULT Name(Type& Result) override;
  TVK_DEVICE_DATA_ANSWERS(TVK_DEVICE_DATA_DECLARE)
#undef TVK_DEVICE_DATA_DECLARE

  HRESULT GetDeviceDescription(WideString& Result) override;
  HRESULT GetVendorName(WideString& Result) override;
  HRESULT GetDeviceDisplayName(WideString& Result) override;
  HRESULT GetDeviceParameter(const WideString& Name, WideString& Result) override;
  HRESULT GetDevicePin(int32_t Index, IDevicePin& Result) override;
  HRESULT GetIOStandard(int32_t Index, IDeviceIOStandard& Result) override;
  HRESULT GetBSDLEntity(IBSDLEntity& Result) override;

  // Pin Index of the row's pin set, made with all its siblings on the first
  // request; null for an index outside the pin set.
  TDevicePinData* DevicePin(int32_t index);
  // How many pin objects exist (0 until the first request).
  std::size_t MadePinCount() const { return FPins.size(); }
  // The Index-th I/O standard of the row's pin set, or null.
  TDeviceIOStandardData* IOStandard(int32_t index) const;
  // The served entity of the row's boundary-scan description, built from
  // the description and attached on first demand; null when the table has no
  // description of that name.
  IDispatch* BSDLEntity();
  // The descriptions the driver builds from: the compiled-in table unless
  // another is given, which starts the list of names afresh.
  void UseBSDLTable(std::span<const TBSDLParameters> table);
  // An entity built from Entry. Its cells, scan pins, pin mappings, opcodes
  // and register associations are the driver's: taken from its caches by
  // number or name (ASCII case ignored), or made and stored there.
  std::unique_ptr<TBSDLEntity> BuildBSDLEntity(const TBSDLParameters& entry);

private:
  // A boundary-scan description by name, with the entity built from it.
  struct TBSDLDataEntry {
    std::wstring_view Name;
    std::unique_ptr<TBSDLEntity> Entity;
  };
  template <class T>
  using TBSDLCache = std::unordered_map<std::wstring, std::unique_ptr<T>>;

  TScanPin* ScanPin(const TScanPinParameters& pin, TBSDLEntity& entity);

  TDeviceKind FKind;
  std::vector<std::unique_ptr<TDevicePinData>> FPins;
  std::span<const TBSDLParameters> FBSDLTable;
  // The caches own the model objects; the entities only share them, so the
  // entities go first.
  TBSDLCache<TScanPin> FScanPins;
  TBSDLCache<TBoundaryCell> FBoundaryCells;
  TBSDLCache<TPinMapping> FPinMappings;
  TBSDLCache<TInstructionOpCode> FOpCodes;
  TBSDLCache<TRegisterAssociation> FRegisterAssociations;
  std::vector<TBSDLDataEntry> FBSDLDataList;
};

// Start-up of the device-data unit: binds the table's writer cells to their
// classes, then creates the I/O-standard object. Shut-down frees it.
bool DeviceDataUnitStartup();
void DeviceDataUnitShutdown();

}  // namespace tvk
