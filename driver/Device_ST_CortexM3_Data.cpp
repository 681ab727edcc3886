#include "Device_ST_CortexM3_Data.h"

#include "ModuleInit.h"
#include "ORV.SCH.Util.h"
#include "Tovik.Classes.CortexM3Flash.h"

#include <algorithm>
#include <array>
#include <memory>

namespace tvk {

namespace {

// Runs an answer at a served boundary: Result is cleared first, and every
// error becomes E_UNEXPECTED.
template <class T, class F>
HRESULT Answer(T& result, F&& compute) noexcept {
  result = T{};
  try {
    result = T(compute());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// The position of the Index-th bit set among the first Width bits of Mask,
// counting from 0 in bit order; -1 when there is none.
int NthSetBit(uint32_t mask, int width, int32_t index) {
  if (index < 0) return -1;
  for (int bit = 0; bit < width; ++bit)
    if (mask & (uint32_t(1) << bit))
      if (index-- == 0) return bit;
  return -1;
}

int SetBitCount(uint32_t mask, int width) {
  return std::popcount(width >= 32 ? mask : mask & ((uint32_t(1) << width) - 1));
}

// ---- Flash-writer classes: the on-chip writers the table names, and the CFI writer.

#define TVK_WRITER_CLASS(Class) {L## #Class, &CreateFlashWriter<Class>}
constexpr TFlashWriterClass kFlashWriterClasses[] = {
    TVK_WRITER_CLASS(TFLASH_STM32F10X_16),   TVK_WRITER_CLASS(TFLASH_STM32F10X_32),
    TVK_WRITER_CLASS(TFLASH_STM32F10X_64),   TVK_WRITER_CLASS(TFLASH_STM32F10X_128),
    TVK_WRITER_CLASS(TFLASH_STM32F10X_256),  TVK_WRITER_CLASS(TFLASH_STM32F10X_384),
    TVK_WRITER_CLASS(TFLASH_STM32F10X_512),  TVK_WRITER_CLASS(TFLASH_STM32F10X_768),
    TVK_WRITER_CLASS(TFLASH_STM32F10X_1024), TVK_WRITER_CLASS(TFLASH_STM32F2XX_128),
    TVK_WRITER_CLASS(TFLASH_STM32F2XX_256),  TVK_WRITER_CLASS(TFLASH_STM32F2XX_512),
    TVK_WRITER_CLASS(TFLASH_STM32F2XX_768),  TVK_WRITER_CLASS(TFLASH_STM32F2XX_1024),
    TVK_WRITER_CLASS(TFLASH_STM32L1XX_64),   TVK_WRITER_CLASS(TFLASH_STM32L1XX_128),
    TVK_WRITER_CLASS(TFLASH_STM32W10X_64),   TVK_WRITER_CLASS(TFLASH_STM32W10X_128),
    TVK_WRITER_CLASS(TFLASH_STM32L1XX_DATA_4),
    TVK_WRITER_CLASS(TCFI_FLASH_ARM_CORTEX_M3),
};
#undef TVK_WRITER_CLASS
constexpr std::size_t kCFIWriterSlot = std::size(kFlashWriterClasses) - 1;

// The writer cells of the device table, bound at start-up: [kind][0] its
// RemoteExecutionDriver, [kind][1] its RemoteExecutionDriverData (null: none).
std::array<std::array<const TFlashWriterClass*, 2>, kDeviceKindCount> gWriterCells{};
bool gWriterCellsBound = false;

// The module's I/O-standard objects, one per identifier, from start-up to
// shut-down; the references handed to the host own nothing.
using TIOStandards = std::array<std::unique_ptr<TDeviceIOStandardData>, kDeviceIOStandardIDCount>;
constinit TModuleHeld<TIOStandards> gIOStandards;

void UnbindWriterCells() {
  gWriterCells = {};
  gWriterCellsBound = false;
}

void BindWriterCells() {
  UnbindWriterCells();
  for (const TDeviceParameters& row : kDeviceTable) {
    std::wstring_view names[2] = {row.RemoteExecutionDriver, row.RemoteExecutionDriverData};
    for (int cell = 0; cell < 2; ++cell) {
      if (names[cell].empty()) continue;
      const TFlashWriterClass* cls = FindFlashWriterClass(names[cell]);
      if (!cls) throw Exception(L"Unknown flash writer class " + WideString(names[cell]));
      gWriterCells[std::size_t(row.Kind)][std::size_t(cell)] = cls;
    }
  }
  gWriterCellsBound = true;
}

}  // namespace

std::span<const TFlashWriterClass> FlashWriterClasses() { return kFlashWriterClasses; }

const TFlashWriterClass& CFIFlashWriterClass() { return kFlashWriterClasses[kCFIWriterSlot]; }

const TFlashWriterClass* FindFlashWriterClass(std::wstring_view name) {
  for (const TFlashWriterClass& cls : kFlashWriterClasses)
    if (cls.Name == name) return &cls;
  return nullptr;
}

std::vector<const TFlashWriterClass*> CollectFlashWriterClasses(int32_t kind) {
  if (!gWriterCellsBound) throw Exception(L"The device table's writer classes are not bound");
  if (kind < 0 || kind >= kDeviceKindCount) throw Exception(L"Device kind out of range");
  std::vector<const TFlashWriterClass*> classes;
  for (const TFlashWriterClass* cls : gWriterCells[std::size_t(kind)])
    if (cls) classes.push_back(cls);
  classes.push_back(&CFIFlashWriterClass());
  return classes;
}

int BoundWriterCellCount() {
  int count = 0;
  for (const auto& cells : gWriterCells)
    for (const TFlashWriterClass* cls : cells) count += cls != nullptr;
  return count;
}

// ---- I/O standards

bool NthIOStandard(TDeviceIOStandardSet standards, int32_t index, TDeviceIOStandardID& id) {
  int bit = NthSetBit(standards, kDeviceIOStandardIDCount, index);
  if (bit < 0) return false;
  id = TDeviceIOStandardID(bit);
  return true;
}

TDeviceIOStandardData* DeviceIOStandard(TDeviceIOStandardID id) {
  if (id >= kDeviceIOStandardIDCount) return nullptr;
  return gIOStandards->at(id).get();
}

const TDeviceIOStandardParameters& TDeviceIOStandardData::Parameters() const {
  if (FID >= kDeviceIOStandardIDCount) throw Exception(L"Unknown I/O standard");
  return kDeviceIOStandards[FID];
}

ULONG STDMETHODCALLTYPE TDeviceIOStandardData::AddRef() { return ULONG(InterlockedIncrement(&FHostReferences) + 1); }

ULONG STDMETHODCALLTYPE TDeviceIOStandardData::Release() {
  // One Release too many from the host is ignored, not passed on to the module's own reference.
  LONG n = FHostReferences;
  while (n > 0) {
    const LONG seen = InterlockedCompareExchange(&FHostReferences, n - 1, n);
    if (seen == n) return ULONG(n);  // n - 1 handed out, plus the module's own
    n = seen;
  }
  return 1;
}

int32_t TDeviceIOStandardData::GetIOStandardIndex() const { return Parameters().Index; }

HRESULT TDeviceIOStandardData::GetSlewCount(int32_t& Result) {
  return Answer(Result, [&] { return SetBitCount(Parameters().Slews, int(kSlewRates.size())); });
}

HRESULT TDeviceIOStandardData::GetSlewValue(int32_t Index, WideString& Result) {
  return Answer(Result, [&] {
    int bit = NthSetBit(Parameters().Slews, int(kSlewRates.size()), Index);
    return bit < 0 ? std::wstring_view() : kSlewRates[std::size_t(bit)];
  });
}

HRESULT TDeviceIOStandardData::GetDriveCount(int32_t& Result) {
  return Answer(Result, [&] { return SetBitCount(Parameters().Drives, int(kDriveStrengths.size())); });
}

HRESULT TDeviceIOStandardData::GetDriveStrength(int32_t Index, WideString& Result) {
  return Answer(Result, [&] {
    int bit = NthSetBit(Parameters().Drives, int(kDriveStrengths.size()), Index);
    return bit < 0 ? std::wstring_view() : kDriveStrengths[std::size_t(bit)];
  });
}

// ---- Device pins

const TPinParameters& TDevicePinData::Entry() const {
  if (FPinSet >= kDevicePinSetCount) throw Exception(L"Unknown pin set");
  const TPinSetParameters& set = kPinSets[FPinSet];
  if (FIndex < 0 || FIndex >= set.PinCount) throw Exception(L"Pin index out of range");
  return set.Pins[std::size_t(FIndex)];
}

HRESULT TDevicePinData::Option(TPinOption bit, bool& result) const {
  return Answer(result, [&] { return (Entry().Options >> bit & 1) != 0; });
}

#define TVK_PIN_OPTION_DEFINE(Name, Bit) \
  HRESULT TDevicePinData::Name(bool& Result) { return Option(Bit, Result); }
TVK_PIN_OPTION_QUERIES(TVK_PIN_OPTION_DEFINE)
#undef TVK_PIN_OPTION_DEFINE

HRESULT TDevicePinData::GetPinNumber(WideString& Result) {
  return Answer(Result, [&] { return Entry().PinNumber; });
}

HRESULT TDevicePinData::GetIOBank(WideString& Result) {
  return Answer(Result, [&] { return Entry().Bank; });
}

HRESULT TDevicePinData::GetDifferentialId(WideString& Result) {
  return Answer(Result, [&] { return Entry().DiffId; });
}

HRESULT TDevicePinData::GetClkDifferentialId(WideString& Result) {
  return Answer(Result, [&] { return Entry().ClkDiffId; });
}

HRESULT TDevicePinData::GetIOStandardCount(int32_t& Result) {
  return Answer(Result, [&] { return SetBitCount(Entry().Standards, kDeviceIOStandardIDCount); });
}

HRESULT TDevicePinData::GetIOStandard(int32_t Index, IDeviceIOStandard& Result) {
  return Answer(Result, [&] {
    TDeviceIOStandardID id{};
    return NthIOStandard(Entry().Standards, Index, id) ? IDeviceIOStandard(DeviceIOStandard(id))
                                                        : IDeviceIOStandard();
  });
}

// ---- TDeviceData

namespace {

const TDeviceParameters& CheckedRow(int32_t kind) {
  if (kind < 0 || kind >= kDeviceKindCount) throw Exception(L"Device kind out of range");
  return kDeviceTable[std::size_t(kind)];
}

}  // namespace

// The processor level gets the row's core, type and writer classes; every row
// names at least one class besides the CFI writer, so the list form applies.
TDeviceData::TDeviceData(int32_t kind)
    : TDeviceDataParent(CheckedRow(kind).DeviceProcessorCore, CheckedRow(kind).DeviceProcessorType,
                        CollectFlashWriterClasses(kind)) {
  FKind = TDeviceKind(kind);
  UseBSDLTable(kBSDLTable);
}

TDeviceData::~TDeviceData() = default;

#define TVK_DEVICE_DATA_DEFINE(Name, Type, Expr)                            \
  HRESULT TDeviceData::Name(Type& Result) {                                 \
    return Answer(Result, [&] {                                             \
      [[maybe_unused]] const TDeviceParameters& R = Row();                  \
      return Expr;                                                          \
    });                                                                     \
  }
TVK_DEVICE_DATA_ANSWERS(TVK_DEVICE_DATA_DEFINE)
#undef TVK_DEVICE_DATA_DEFINE

// The vendor comes from the device-family descriptions (built in, or a
// plug-in's) for the family key "STM32", not from the kind's own family.
HRESULT TDeviceData::GetVendorName(WideString& Result) {
  return Answer(Result, [] { return GetDeviceFamilyVendorName(L"STM32"); });
}

HRESULT TDeviceData::GetDeviceDescription(WideString& Result) {
  return Answer(Result, [&] {
    WideString vendor, family, name;
    CheckResult(GetVendorName(vendor));
    CheckResult(GetFamilyName(family));
    CheckResult(GetDeviceName(name));
    return vendor + L" " + family + L" " + name;
  });
}

HRESULT TDeviceData::GetDeviceDisplayName(WideString& Result) {
  return Answer(Result, [&] {
    WideString name;
    CheckResult(GetDeviceName(name));
    return name;
  });
}

HRESULT TDeviceData::GetDeviceParameter(const WideString&, WideString& Result) {
  Result.clear();
  return S_OK;
}

TDevicePinData* TDeviceData::DevicePin(int32_t index) {
  if (FPins.empty()) {
    int32_t count = 0;
    CheckResult(GetDevicePinCount(count));
    std::vector<std::unique_ptr<TDevicePinData>> pins;
    pins.reserve(std::size_t(count));
    for (int32_t i = 0; i < count; ++i) pins.emplace_back(New<TDevicePinData>(Row().PinSet, i));
    FPins = std::move(pins);
  }
  if (index < 0 || std::size_t(index) >= FPins.size()) return nullptr;
  return FPins[std::size_t(index)].get();
}

TDeviceIOStandardData* TDeviceData::IOStandard(int32_t index) const {
  TDeviceIOStandardID id{};
  if (!NthIOStandard(kPinSets[Row().PinSet].Standards, index, id)) return nullptr;
  return DeviceIOStandard(id);
}

// ---- Boundary-scan entities

namespace {

std::wstring BSDLCacheKey(std::wstring_view name) {
  std::wstring key(name);
  for (wchar_t& c : key)
    if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
  return key;
}

std::wstring BSDLCellKey(int32_t number) { return std::to_wstring(number); }

template <class T>
T* FindCached(const std::unordered_map<std::wstring, std::unique_ptr<T>>& cache, const std::wstring& key) {
  const auto found = cache.find(key);
  return found == cache.end() ? nullptr : found->second.get();
}

// The cached object of Key, or the one Make makes, stored under Key.
template <class T, class Make>
T* Cached(std::unordered_map<std::wstring, std::unique_ptr<T>>& cache, const std::wstring& key, Make&& make) {
  if (T* found = FindCached(cache, key)) return found;
  std::unique_ptr<T> made = make();
  return cache.emplace(key, std::move(made)).first->second.get();
}

// The first Count records of a list (never more than it holds).
template <class T>
std::span<const T> FirstRecords(std::span<const T> records, int32_t count) {
  return records.first(std::min(records.size(), std::size_t(std::max(count, 0))));
}

}  // namespace

void TDeviceData::UseBSDLTable(std::span<const TBSDLParameters> table) {
  FBSDLTable = table;
  FBSDLDataList.clear();
  for (const TBSDLParameters& entry : table) FBSDLDataList.push_back({entry.Name, {}});
}

IDispatch* TDeviceData::BSDLEntity() {
  const std::wstring_view name = Row().BSDL;
  auto listed = std::find_if(FBSDLDataList.begin(), FBSDLDataList.end(),
                             [&](const TBSDLDataEntry& entry) { return SameAsciiText(entry.Name, name); });
  if (listed == FBSDLDataList.end()) return nullptr;
  if (!listed->Entity) {
    // The last entry of that name, or the first entry when none has it.
    const TBSDLParameters* source = &FBSDLTable.front();
    for (const TBSDLParameters& entry : FBSDLTable)
      if (SameAsciiText(entry.Name, name)) source = &entry;
    listed->Entity = BuildBSDLEntity(*source);
  }
  return listed->Entity->GetImpl();
}

TScanPin* TDeviceData::ScanPin(const TScanPinParameters& record, TBSDLEntity& entity) {
  return Cached(FScanPins, BSDLCacheKey(record.PinNumber), [&] {
    auto pin = std::make_unique<TScanPin>(&entity);
    pin->SetDirection(record.Direction);
    pin->SetPinName(WideString(record.PinName));
    pin->SetPinNumber(WideString(record.PinNumber));
    pin->SetKind(record.Kind);
    const TPinMappingParameters& map = record.PinMapping;
    pin->SetPinMapping(Cached(FPinMappings, BSDLCacheKey(map.PinNumber), [&] {
      auto mapping = std::make_unique<TPinMapping>(&entity);
      mapping->SetPinName(WideString(map.PinName));
      mapping->SetPinNumber(WideString(map.PinNumber));
      // The pin being made is not stored yet; it may be the one mapped.
      mapping->SetScanPin(SameAsciiText(map.PinNumber, record.PinNumber)
                              ? pin.get()
                              : FindCached(FScanPins, BSDLCacheKey(map.PinNumber)));
      return mapping;
    }));
    for (int32_t number : FirstRecords(record.BoundaryCells, record.BoundaryCellCount))
      if (TBoundaryCell* cell = FindCached(FBoundaryCells, BSDLCellKey(number))) pin->AddBoundaryCell(cell);
    return pin;
  });
}

std::unique_ptr<TBSDLEntity> TDeviceData::BuildBSDLEntity(const TBSDLParameters& entry) {
  std::unique_ptr<TBSDLEntity> entity(New<TBSDLEntity>());
  entity->Name = WideString(entry.Name);
  entity->BoundaryLength = entry.BoundaryLength;
  entity->ScanClockMaxSpeed = entry.ScanClockMaxSpeed;
  entity->ScanClockHaltMode = entry.ScanClockHaltMode;
  entity->ConformanceStatement = WideString(entry.ConformanceStatement);
  entity->CompliancePattern = WideString(entry.CompliancePattern);
  entity->Filename = WideString(entry.Filename);
  entity->Instruction_SAMPLE = uint32_t(entry.Instruction_SAMPLE);

  const auto cells = FirstRecords(entry.BoundaryCells, entry.BoundaryCellCount);
  for (const TBoundaryCellParameters& record : cells) {
    entity->AddBoundaryCell(Cached(FBoundaryCells, BSDLCellKey(record.CellNumber),
                                   [&] {
                                     auto cell = std::make_unique<TBoundaryCell>(entity.get());
                                     cell->SetCellNumber(record.CellNumber);
                                     cell->SetCellKind(record.CellKind);
                                     cell->SetPortId(WideString(record.PortId));
                                     cell->SetCellFunction(record.CellFunction);
                                     cell->SetSafeBit(record.SafeBit);
                                     cell->SetControlCellNumber(record.ControlCellNumber);
                                     cell->SetDisableValue(record.DisableValue);
                                     cell->SetDisableResult(record.DisableResult);
                                     return cell;
                                   }),
                            kBSDLShared);
  }
  for (const TScanPinParameters& record : FirstRecords(entry.Pins, entry.PinCount))
    entity->AddPin(ScanPin(record, *entity), kBSDLShared);

  const auto scanPin = [&](std::wstring_view number) { return FindCached(FScanPins, BSDLCacheKey(number)); };
  entity->TAP_TDI = scanPin(entry.PinNumber_TDI);
  entity->TAP_TDO = scanPin(entry.PinNumber_TDO);
  entity->TAP_TMS = scanPin(entry.PinNumber_TMS);
  entity->TAP_TCK = scanPin(entry.PinNumber_TCK);
  entity->TAP_TRST = scanPin(entry.PinNumber_TRST);

  for (const TBoundaryCellParameters& record : cells) {
    TBoundaryCell* cell = FindCached(FBoundaryCells, BSDLCellKey(record.CellNumber));
    cell->SetPin(scanPin(record.PinNumber));
    if (record.ControlCellNumber != -1)
      cell->SetControlCell(FindCached(FBoundaryCells, BSDLCellKey(record.ControlCellNumber)));
    if (record.TargetCellNumber != -1)
      cell->SetTargetCell(FindCached(FBoundaryCells, BSDLCellKey(record.TargetCellNumber)));
  }

  for (const TOpCodeParameters& record : FirstRecords(entry.OpCodes, entry.OpCodeCount)) {
    entity->AddInstructionOpCode(Cached(FOpCodes, BSDLCacheKey(record.InstructionName),
                                        [&] {
                                          auto opcode = std::make_unique<TInstructionOpCode>(entity.get());
                                          opcode->SetInstructionName(WideString(record.InstructionName));
                                          opcode->SetOpCodePattern(WideString(record.OpCodePattern));
                                          return opcode;
                                        }),
                                 kBSDLShared);
  }
  for (const TRegisterAssociationParameters& record :
       FirstRecords(entry.RegisterAssociations, entry.RegisterAssociationCount)) {
    entity->AddRegisterAssociation(
        Cached(FRegisterAssociations, BSDLCacheKey(record.RegisterName),
               [&] {
                 auto association = std::make_unique<TRegisterAssociation>(entity.get());
                 association->SetRegisterName(WideString(record.RegisterName));
                 association->SetRegisterLength(record.RegisterLength);
                 for (std::wstring_view name : FirstRecords(record.OpCodes, record.OpCodeCount))
                   if (TInstructionOpCode* opcode = FindCached(FOpCodes, BSDLCacheKey(name)))
                     association->AddOpCode(opcode);
                 return association;
               }),
        kBSDLShared);
  }
  return entity;
}

HRESULT TDeviceData::GetDevicePin(int32_t Index, IDevicePin& Result) {
  return Answer(Result, [&] { return IDevicePin(DevicePin(Index)); });
}

HRESULT TDeviceData::GetIOStandard(int32_t Index, IDeviceIOStandard& Result) {
  return Answer(Result, [&] { return IDeviceIOStandard(IOStandard(Index)); });
}

HRESULT TDeviceData::GetBSDLEntity(IBSDLEntity& Result) {
  return Answer(Result, [&] { return IBSDLEntity(BSDLEntity()); });
}

// ---- Unit start-up and shut-down

bool DeviceDataUnitStartup() {
  BindWriterCells();
  for (int id = 0; id < kDeviceIOStandardIDCount; ++id)
    gIOStandards->at(std::size_t(id)).reset(New<TDeviceIOStandardData>(TDeviceIOStandardID(id)));
  return true;
}

void DeviceDataUnitShutdown() {
  gIOStandards.Free();
  UnbindWriterCells();
}

}  // namespace tvk
