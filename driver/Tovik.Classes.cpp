#include "Tovik.Classes.h"

#include "Extension.Util.h"
#include "Files.h"
#include "Tovik.Types.h"
#include "ZUL.Util.h"

#include <span>

namespace tvk {

// ---- TReferencedObject

void* TReferencedObject::InterfaceFor(REFIID iid) {
  return IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE TReferencedObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = InterfaceFor(iid);
  if (!*out) return E_NOINTERFACE;
  static_cast<IUnknown*>(*out)->AddRef();  // the interface's own AddRef: it may not count
  return S_OK;
}

ULONG STDMETHODCALLTYPE TReferencedObject::AddRef() { return ULONG(InterlockedIncrement(&FRefCount)); }

ULONG STDMETHODCALLTYPE TReferencedObject::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return ULONG(n);
}

void TReferencedObject::Free() {
  if (FRefCount != 0) throw Exception(L"Invalid Pointer");
  delete this;
}

// ---- TDispatchObject

void* TDispatchObject::InterfaceFor(REFIID iid) {
  if (IsEqualIID(iid, IID_IDispatch)) return static_cast<IDispatch*>(this);
  return TReferencedObject::InterfaceFor(iid);
}

// ---- TTovikAbstractDevicePin

namespace {

using PinQuery = HRESULT (TAbstractDevicePin::*)(bool&);

// True when one of Queries answers true, asked in order until one does.
bool AnyOf(TAbstractDevicePin& pin, std::initializer_list<PinQuery> queries) {
  for (PinQuery q : queries) {
    bool answer = false;
    CheckResult((pin.*q)(answer));
    if (answer) return true;
  }
  return false;
}

}  // namespace

HRESULT TTovikAbstractDevicePin::GetIsPosPinOfDiffPair(bool& Result) {
  try {
    Result = AnyOf(*this, {&TAbstractDevicePin::GetIsDiffP_Pin, &TAbstractDevicePin::GetIsHDiffP_Pin,
                           &TAbstractDevicePin::GetIsDCIP_Pin, &TAbstractDevicePin::GetIsClkDiffP_Pin});
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDevicePin::GetIsNegPinOfDiffPair(bool& Result) {
  try {
    Result = AnyOf(*this, {&TAbstractDevicePin::GetIsDiffN_Pin, &TAbstractDevicePin::GetIsHDiffN_Pin,
                           &TAbstractDevicePin::GetIsDCIN_Pin, &TAbstractDevicePin::GetIsClkDiffN_Pin});
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDevicePin::GetUniqueDifferentialID(WideString& Result) {
  Result.clear();
  try {
    WideString bank, diff, clkDiff;
    CheckResult(GetIOBank(bank));
    CheckResult(GetDifferentialId(diff));
    CheckResult(GetClkDifferentialId(clkDiff));
    Result = bank + L"|" + diff + L"|" + clkDiff;
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// ---- TTovikAbstractDeviceIOStandard

namespace {

template <std::size_t N>
std::wstring_view Entry(const std::array<std::wstring_view, N>& table, int32_t index) {
  if (index < 0 || std::size_t(index) >= N) throw Exception(L"I/O standard index out of range");
  return table[std::size_t(index)];
}

}  // namespace

HRESULT TTovikAbstractDeviceIOStandard::GetDisplayName(WideString& Result) {
  Result.clear();
  try {
    Result = Entry(kIOStandardDisplayNames, GetIOStandardIndex());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDeviceIOStandard::GetParamName(WideString& Result) {
  Result.clear();
  try {
    Result = Entry(kIOStandardParameterNames, GetIOStandardIndex());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDeviceIOStandard::GetSlewCount(int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetSlewValue(int32_t, WideString& Result) {
  Result.clear();
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetDriveCount(int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetDriveStrength(int32_t, WideString& Result) {
  Result.clear();
  return S_OK;
}

// ---- Memory sections

namespace {

// Answers the object pointer of this module's architecture sections, so that
// a logical section can tell its own kind of parent from a foreign one.
// {6B0E4C1D-9A2F-4F57-8C31-2E5D7A9B4F60}
const IID IID_TovikArchitectureSectionObject = {0x6B0E4C1D, 0x9A2F, 0x4F57,
                                                {0x8C, 0x31, 0x2E, 0x5D, 0x7A, 0x9B, 0x4F, 0x60}};

template <class Record>
HRESULT ItemAt(const std::vector<Record>& list, uint32_t index, Record& result) {
  result = index < list.size() ? list[index] : Record();
  return S_OK;
}

}  // namespace

TDeviceMemoryArchitectureSection::~TDeviceMemoryArchitectureSection() {
  for (TDeviceMemoryLogicalSection* section : FLinkedSections) section->FParentLink = nullptr;
}

HRESULT STDMETHODCALLTYPE TDeviceMemoryArchitectureSection::QueryInterface(REFIID iid, void** out) {
  if (out && IsEqualIID(iid, IID_TovikArchitectureSectionObject)) {
    *out = this;
    AddRef();
    return S_OK;
  }
  return TAbstractDeviceMemoryArchitectureSection::QueryInterface(iid, out);
}

TDeviceMemoryArchitectureSection* TDeviceMemoryArchitectureSection::FromDispatch(IDispatch* object) {
  if (!object) return nullptr;
  void* found = nullptr;
  if (FAILED(object->QueryInterface(IID_TovikArchitectureSectionObject, &found)) || !found) return nullptr;
  auto* section = static_cast<TDeviceMemoryArchitectureSection*>(found);
  section->Release();  // the caller's reference keeps it alive
  return section;
}

HRESULT TDeviceMemoryArchitectureSection::AddLogicalSection(const IDeviceMemoryLogicalSection& Section,
                                                            int32_t& Result) {
  FChildList.push_back(Section);
  Result = 0;
  return S_OK;
}

HRESULT TDeviceMemoryArchitectureSection::GetChildMapCount(uint32_t& Result) {
  Result = uint32_t(FChildList.size());
  return S_OK;
}

HRESULT TDeviceMemoryArchitectureSection::GetChildMap(uint32_t Index, IDeviceMemoryLogicalSection& Result) {
  return ItemAt(FChildList, Index, Result);
}

TDeviceMemoryLogicalSection::~TDeviceMemoryLogicalSection() { DropParentLink(); }

void TDeviceMemoryLogicalSection::DropParentLink() {
  if (FParentLink) std::erase(FParentLink->FLinkedSections, this);
  FParentLink = nullptr;
  FForeignParent.Clear();
}

HRESULT TDeviceMemoryLogicalSection::GetParentMap(IDeviceMemoryArchitectureSection& Result) {
  Result = FParentLink ? IDeviceMemoryArchitectureSection(static_cast<IDispatch*>(FParentLink)) : FForeignParent;
  return S_OK;
}

HRESULT TDeviceMemoryLogicalSection::SetParentMap(const IDeviceMemoryArchitectureSection& Section) {
  TDeviceMemoryArchitectureSection* own = TDeviceMemoryArchitectureSection::FromDispatch(Section.ToPointer());
  IDeviceMemoryArchitectureSection keep = Section;  // Section may be the record being dropped
  DropParentLink();
  if (own) {
    own->FLinkedSections.push_back(this);
    FParentLink = own;
  } else {
    FForeignParent = keep;
  }
  return S_OK;
}

// ---- TDeviceMemoryInformation

namespace {

// The address range of a section, in 64 bits so that no sum wraps; an empty
// range (size 0) lies nowhere.
struct TAddressRange {
  int64_t First, End;  // End is one past the last address

  template <class Section>
  static TAddressRange Of(const Section& s) {
    int64_t first = s.GetStartAddress();
    return {first, first + int64_t(s.GetSize())};
  }
  bool Empty() const { return End == First; }
  bool Overlaps(const TAddressRange& o) const { return !Empty() && !o.Empty() && First < o.End && o.First < End; }
  bool Contains(const TAddressRange& o) const { return !o.Empty() && o.First >= First && o.End <= End; }
};

}  // namespace

HRESULT TDeviceMemoryInformation::GetDefaultROMLogicalSection(IDeviceMemoryLogicalSection& Result) {
  Result = FDefaultRomMap;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetDefaultRAMLogicalSection(IDeviceMemoryLogicalSection& Result) {
  Result = FDefaultRamMap;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetDefaultFlashLogicalSection(IDeviceMemoryLogicalSection& Result) {
  Result = FDefaultFlashMap;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetArchitectureSectionCount(uint32_t& Result) {
  Result = uint32_t(FArchitectureSectionList.size());
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetLogicalSectionCount(uint32_t& Result) {
  Result = uint32_t(FLogicalSectionList.size());
  return S_OK;
}

HRESULT TDeviceMemoryInformation::GetLogicalSection(uint32_t Index, IDeviceMemoryLogicalSection& Result) {
  return ItemAt(FLogicalSectionList, Index, Result);
}

HRESULT TDeviceMemoryInformation::GetArchitectureSection(uint32_t Index, IDeviceMemoryArchitectureSection& Result) {
  return ItemAt(FArchitectureSectionList, Index, Result);
}

HRESULT TDeviceMemoryInformation::AddArchitectureSection(const IDeviceMemoryArchitectureSection& Section,
                                                         int32_t& Result) {
  Result = -1;
  const TAddressRange range = TAddressRange::Of(Section);
  if (range.Empty()) return S_OK;
  const WideString busType = Section.GetBusType();
  // By index, with a counted copy: a foreign section may call back into the map.
  for (std::size_t i = 0; i < FArchitectureSectionList.size(); ++i) {
    const IDeviceMemoryArchitectureSection existing = FArchitectureSectionList[i];
    if (existing.GetBusType() == busType && TAddressRange::Of(existing).Overlaps(range)) return S_OK;
  }
  FArchitectureSectionList.push_back(Section);
  Result = 0;
  return S_OK;
}

HRESULT TDeviceMemoryInformation::AddLogicalSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) {
  Result = -1;
  const TAddressRange range = TAddressRange::Of(Section);
  const WideString busType = Section.GetBusType();
  for (std::size_t i = 0; i < FArchitectureSectionList.size(); ++i) {
    const IDeviceMemoryArchitectureSection parent = FArchitectureSectionList[i];
    if (parent.GetBusType() != busType || !TAddressRange::Of(parent).Contains(range)) continue;
    Section.SetParentMap(parent);
    Section.SetBusName(parent.GetBusName());
    Section.SetDeviceMemoryIndex(parent.GetDeviceMemoryIndex());
    parent.AddLogicalSection(Section);
    FLogicalSectionList.push_back(Section);
    int32_t ignored = 0;
    CheckResult(AddDefaultSection(Section, ignored));
    Result = 0;
    return S_OK;
  }
  return S_OK;
}

HRESULT TDeviceMemoryInformation::AddDefaultSection(const IDeviceMemoryLogicalSection& Section, int32_t& Result) {
  Result = 0;
  if (!Section.GetIsDefault()) return S_OK;
  const WideString kind = Section.GetPhysicalType();
  IDeviceMemoryLogicalSection* slot = SameServiceName(kind, L"rom")     ? &FDefaultRomMap
                                      : SameServiceName(kind, L"ram")   ? &FDefaultRamMap
                                      : SameServiceName(kind, L"flash") ? &FDefaultFlashMap
                                                                        : nullptr;
  if (slot) *slot = Section;
  return S_OK;
}

// ---- TDeviceProcessorInformation

namespace {

// The position of Name in Table; an unknown name does not compile.
template <std::size_t N>
consteval uint8_t IndexOf(const std::array<std::wstring_view, N>& table, std::wstring_view name) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == name) return uint8_t(i);
  throw "name not in the table";
}

consteval TDeviceProcessorDescription Row(std::wstring_view arch, std::wstring_view family,
                                          std::wstring_view toolChain, std::wstring_view target) {
  return {IndexOf(kDeviceProcessorArchitectures, arch), IndexOf(kDeviceProcessorFamilies, family),
          IndexOf(kDeviceProcessorToolChains, toolChain), IndexOf(kDeviceProcessorToolChainTargets, target)};
}

// Rows shared by groups of cores.
constexpr auto kUnknownArm = [](std::wstring_view arch, std::wstring_view family) consteval {
  return Row(arch, family, L"BRELMOX ARM", L"UNKNOWN");
};

}  // namespace

constexpr std::array<TDeviceProcessorDescription, kDeviceProcessor_CoreCount> kDeviceProcessorDescriptions = [] {
  constexpr auto arm4t = Row(L"ARMv4T", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T");
  constexpr auto arm9t = Row(L"ARMv4T", L"ARM9TDMI", L"BRELMOX ARM", L"ARMv4T");
  constexpr auto arm9e = Row(L"ARMv5TE", L"ARM9E", L"BRELMOX ARM", L"ARMv5TE");
  constexpr auto arm10e = Row(L"ARMv5TE", L"ARM10E", L"BRELMOX ARM", L"ARMv5TE");
  constexpr auto xscale = Row(L"ARMv5TE", L"XSCALE", L"BRELMOX ARM", L"XScale");
  constexpr auto armR = kUnknownArm(L"ARMv7_R", L"CORTEX");
  constexpr auto rows = std::to_array<TDeviceProcessorDescription>({
      Row(L"UNKNOWN", L"UNKNOWN", L"BRELMOX UNKNOWN", L"UNKNOWN"),  // UNKNOWN
      kUnknownArm(L"ARMvGeneric", L"ARMvGENERIC"),                   // ARMvGENERIC
      kUnknownArm(L"ARMv1", L"ARM1"),                                // ARM1
      kUnknownArm(L"ARMv2", L"ARM2"),                                // ARM2
      kUnknownArm(L"ARMv2a", L"ARM2"),                               // ARM250
      kUnknownArm(L"ARMv2a", L"ARM3"),                               // ARM2a
      kUnknownArm(L"ARMv3", L"ARM6"),                                // ARM610
      arm4t, arm4t, arm4t, arm4t,                                    // ARM7TDMI_S, ARM710T, ARM720T, ARM740T
      Row(L"ARMv5TEJ", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T"),      // ARM7EJ_S
      arm9t, arm9t, arm9t, arm9t,                                    // ARM9TDMI, ARM920T, ARM922T, ARM940T
      arm9e, arm9e, arm9e,                                           // ARM946E_S, ARM966E_S, ARM968E_S
      Row(L"ARMv5TEJ", L"ARM9E", L"BRELMOX ARM", L"ARMv5TE"),        // ARM926EJ_S
      arm9e,                                                         // ARM996HS
      arm10e, arm10e,                                                // ARM1020E, ARM1022E
      Row(L"ARMv5TEJ", L"ARM10E", L"BRELMOX ARM", L"ARMv5TE"),       // ARM1026EJ_S
      xscale, xscale, xscale, xscale, xscale, xscale, xscale, xscale,  // ARM_80200 .. ARM_PXA210
      xscale, xscale, xscale, xscale, xscale, xscale, xscale, xscale,  // ARM_PXA250 .. ARM_IXC1100
      xscale, xscale, xscale, xscale, xscale, xscale, xscale, xscale,  // ARM_IXP2400 .. ARM_IXP465
      kUnknownArm(L"ARMv6", L"ARM11"),                               // ARM1136J_F_S
      kUnknownArm(L"ARMv6T2", L"ARM11"),                             // ARM1156T2_F_S
      kUnknownArm(L"ARMv6KZ", L"ARM11"),                             // ARM1176JZ_F_S
      kUnknownArm(L"ARMv6K", L"ARM11"),                              // ARM11MPCORE
      kUnknownArm(L"ARMv7_A", L"CORTEX"),                            // ARM_CORTEX_A
      armR, armR,                                                    // ARM_CORTEX_R4, ARM_CORTEX_R4_F
      Row(L"ARMv7_M", L"CORTEX", L"BRELMOX ARM", L"ARMv7M"),         // ARM_CORTEX_M3
      kUnknownArm(L"ARMv6_M", L"CORTEX"),                            // ARM_CORTEX_M1
      Row(L"ARMv6_M", L"CORTEX", L"BRELMOX ARM", L"ARMv6M"),         // ARM_CORTEX_M0
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165A"),      // BRX165A
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165B"),      // BRX165B
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165C"),      // BRX165C
      Row(L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165D"),      // BRX165D
      Row(L"BRX3000", L"BRX3000", L"BRELMOX 3000", L"BRX3000"),      // BRX3000
      Row(L"BRX51X", L"BRX51X", L"BRELMOX 8051", L"BRX51A"),         // BRX51A
      Row(L"BRX52X", L"BRX52X", L"BRELMOX 8051", L"BRX52A"),         // BRX52A
      Row(L"BRX52X", L"BRX52X", L"BRELMOX 8051", L"BRX52B"),         // BRX52B
      Row(L"MicroBlaze", L"MicroBlaze", L"BRELMOX MicroBlaze", L"MB"),  // MicroBlaze
      Row(L"MIPS", L"MIPS", L"BRELMOX UNKNOWN", L"MIPS32"),          // MIPS32
      Row(L"MIPS", L"MIPS", L"BRELMOX UNKNOWN", L"MIPS32r2"),        // MIPS32r2
      Row(L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIe"),      // NiosII_e
      Row(L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIf"),      // NiosII_f
      Row(L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIs"),      // NiosII_s
      Row(L"PowerPC", L"PowerPC", L"BRELMOX PowerPC", L"405"),       // PPC_405
      Row(L"BRX80x", L"BRX80x", L"BRELMOX Z80", L"BRX80A"),          // BRX80A
      arm4t,                                                         // CoreMP7
  });
  static_assert(rows.size() == kDeviceProcessor_CoreCount, "one row per processor core");
  return rows;
}();

std::size_t TDeviceProcessorInformation::Core() const {
  if (FCore < 0 || FCore >= kDeviceProcessor_CoreCount) throw Exception(L"Processor core out of range");
  return std::size_t(FCore);
}

const TDeviceProcessorDescription& TDeviceProcessorInformation::Row() const {
  return kDeviceProcessorDescriptions[Core()];
}

#define TVK_PROCESSOR_STRING(Operation, Expr) \
  HRESULT TDeviceProcessorInformation::Operation(WideString& Result) { \
    Result.clear();                                                 \
    try {                                                           \
      Result = Expr;                                                \
      return S_OK;                                                  \
    } catch (...) {                                                 \
      return kE_UNEXPECTED;                                         \
    }                                                               \
  }
TVK_PROCESSOR_STRING(GetDeviceProcessorFamilyString, kDeviceProcessorFamilies[Row().Family])
TVK_PROCESSOR_STRING(GetDeviceProcessorArchString, kDeviceProcessorArchitectures[Row().Architecture])
TVK_PROCESSOR_STRING(GetDeviceProcessorCoreString, kDeviceProcessorCoreStrings[Core()])
TVK_PROCESSOR_STRING(GetDeviceProcessorToolChainTargetString,
                     kDeviceProcessorToolChainTargets[Row().ToolChainTarget])
TVK_PROCESSOR_STRING(GetDeviceProcessorToolChainString, kDeviceProcessorToolChains[Row().ToolChain])
#undef TVK_PROCESSOR_STRING

// ---- Constraint files

bool FindConstraintFile(const WideString& name, WideString& path) {
  path.clear();
  if (name.empty()) return false;
  const WideString candidates[] = {
      name,
      GetModuleFolder() + L"Library\\Embedded\\" + name,
      GetHostDataFolder() + name,
      SpecialFolder_EmbeddedExtension() + L"Library\\Embedded\\" + name,
  };
  for (const WideString& candidate : candidates) {
    if (FileExists(candidate)) {
      path = candidate;
      return true;
    }
  }
  return false;
}

WideString SearchConstraintFile(TAbstractDeviceInformation& device, const WideString& customConstraintFile,
                                const IDeviceProcessorInformation& processorInformation) {
  WideString path;
  if (!customConstraintFile.empty() && FindConstraintFile(customConstraintFile, path)) return path;

  // Each name is asked only when the names before it found nothing.
  using TNameQuery = WideString (*)(TAbstractDeviceInformation&);
  static constexpr TNameQuery kCandidates[] = {
      [](TAbstractDeviceInformation& d) {
        WideString s;
        CheckResult(d.GetDeviceName(s));
        return s;
      },
      [](TAbstractDeviceInformation& d) {
        WideString s;
        CheckResult(d.GetDeviceParameter(L"ProcessorDeviceName", s));
        return s;
      },
      [](TAbstractDeviceInformation& d) {
        WideString s;
        CheckResult(d.GetBaseName(s));
        return s;
      },
      [](TAbstractDeviceInformation& d) {
        WideString s;
        CheckResult(d.GetFamilyName(s));
        return s;
      },
  };
  // Names are the outer loop: every folder is tried for one name before the next name.
  for (TNameQuery query : kCandidates)
    if (FindConstraintFile(query(device) + WideString(kConstraintFileExtension), path)) return path;
  if (processorInformation &&
      FindConstraintFile(processorInformation.GetDeviceProcessorToolChainString() +
                             WideString(kConstraintFileExtension),
                         path))
    return path;
  return WideString();
}

namespace {

WideString StringField(const TParameterList& list, std::wstring_view name) {
  WideString value;
  list.GetState_ParameterAsString(name, value);
  return value;
}

// A size value; missing or unreadable gives 0.
uint32_t SizeField(const TParameterList& list, std::wstring_view name) {
  return ParseSizeValue(StringField(list, name));
}

bool BooleanField(const TParameterList& list, std::wstring_view name) {
  bool value = false;
  list.GetState_ParameterAsBoolean(name, value);
  return value;
}

constexpr uint32_t kDefaultMAU = 8;

}  // namespace

void LoadDeviceMemoryFromConstraint(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                    const WideString& fileFullPath) {
  if (!FileExists(fileFullPath)) return;
  for (const WideString& line : LoadTextLines(fileFullPath)) LoadMemoryMapsFromConstraintLine(driver, map, line);
}

void LoadMemoryMapsFromConstraintLine(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                      const WideString& line) {
  TParameterList list;
  list.SetState(line);
  const WideString record = StringField(list, L"Record");
  if (SameServiceName(record, L"BUS_LAYOUT_INFO")) LoadArchitectureSectionFromParamList(driver, map, list);
  else if (SameServiceName(record, L"TOVIK_CORE")) LoadLogicalSectionFromParamList(map, list);
}

void LoadArchitectureSectionFromParamList(TAbstractTovikDriver& driver, const IDeviceMemoryInformation& map,
                                          const TParameterList& list) {
  ComRef<TDeviceMemoryArchitectureSection> section(New<TDeviceMemoryArchitectureSection>());
  TDeviceMemoryArchitectureSection& s = *section.Get();
  int32_t width = 0;
  list.GetState_ParameterAsInteger(L"Memory_Width", width);
  CheckResult(s.SetDesignator(StringField(list, L"ComponentDesignator")));
  CheckResult(s.SetBusName(StringField(list, L"Memory_BusName")));
  CheckResult(s.SetDescription(StringField(list, L"Memory_Description")));
  CheckResult(s.SetBusType(StringField(list, L"Memory_BusType")));
  CheckResult(s.SetStartAddress(SizeField(list, L"ProgramDownloadAddress")));
  CheckResult(s.SetSize(SizeField(list, L"Memory_Depth")));
  CheckResult(s.SetAddressWidth(uint32_t(width)));
  CheckResult(s.SetIsMappedIO(BooleanField(list, L"Memory_MappedIO")));

  // The last memory space whose short name is the bus name gives the index.
  WideString busName;
  CheckResult(s.GetBusName(busName));
  int32_t spaceCount = 0;
  CheckResult(driver.GetMemorySpaceCount(spaceCount));
  for (int32_t i = 0; i < spaceCount; ++i) {
    WideString shortName;
    CheckResult(driver.GetMemorySpaceShortName(i, shortName));
    if (SameServiceName(shortName, busName)) CheckResult(s.SetDeviceMemoryIndex(uint32_t(i)));
  }
  map.AddArchitectureSection(IDeviceMemoryArchitectureSection(static_cast<IDispatch*>(section.Get())));
}

void LoadLogicalSectionFromParamList(const IDeviceMemoryInformation& map, const TParameterList& list) {
  ComRef<TDeviceMemoryLogicalSection> section(New<TDeviceMemoryLogicalSection>());
  TDeviceMemoryLogicalSection& s = *section.Get();
  uint32_t mau = SizeField(list, L"Memory_Mau");
  CheckResult(s.SetDesignator(StringField(list, L"ComponentDesignator")));
  CheckResult(s.SetBusName(StringField(list, L"Memory_BusName")));
  CheckResult(s.SetBusType(StringField(list, L"Memory_BusType")));
  CheckResult(s.SetIsDefault(BooleanField(list, L"Default")));
  CheckResult(s.SetMAU(mau == 0 ? kDefaultMAU : mau));
  CheckResult(s.SetSize(SizeField(list, L"Memory_Depth")));
  CheckResult(s.SetStartAddress(SizeField(list, L"ProgramDownloadAddress")));
  CheckResult(s.SetUsageType(StringField(list, L"Memory_UsageType")));
  CheckResult(s.SetPhysicalType(StringField(list, L"Memory_PhysicalType")));
  CheckResult(s.SetMemConfig(StringField(list, L"Memory_Configuration")));
  CheckResult(s.SetIsExternal(BooleanField(list, L"Memory_External")));
  map.AddLogicalSection(IDeviceMemoryLogicalSection(static_cast<IDispatch*>(section.Get())));
}

}  // namespace tvk
