#include "Device_ST_CortexM3_Data.h"

#include "ModuleInit.h"
#include "ORV.SCH.Util.h"
#include "Tovik.Classes.CortexM3Flash.h"

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
  for (const TBSDLParameters& entry : kBSDLTable) FBSDLDataList.push_back({entry.Name, {}});
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

IDispatch* TDeviceData::BSDLEntity() {
  for (TBSDLDataEntry& entry : FBSDLDataList) {
    if (!SameServiceName(entry.Name, Row().BSDL)) continue;
    if (!entry.Entity) throw Exception(L"No boundary-scan model to build an entity from");
    return entry.Entity.Get();
  }
  return nullptr;
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
