#pragma once
// Bases of the driver's model objects, and the driver's bases of device pins
// and I/O standards.
#include "ORV.SCH.AbstractClasses.h"
#include "Tovik.Types.h"
#include "ZUL.Param.h"

#include <array>
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

inline constexpr std::wstring_view kConstraintFileExtension = L".Constraint";

// The first of Name, the module's "Library\Embedded\" folder, the host's data
// folder and the toolchain manager's "Library\Embedded\" folder that holds
// the file Name; false (and Path empty) when none does or Name is empty.
bool FindConstraintFile(const WideString& name, WideString& path);

// The constraint-file search of a driver: its custom constraint file when set
// and found, else the device name, the "ProcessorDeviceName" parameter, the
// base name, the family name and (with a processor-information service) the
// toolchain name, each with ".Constraint"; empty when none is found. A failed
// device-information operation raises.
WideString SearchConstraintFile(TAbstractDeviceInformation& device, const WideString& customConstraintFile,
                                const IDeviceProcessorInformation& processorInformation);

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

}  // namespace tvk
