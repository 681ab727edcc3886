#include "Tovik.Classes.FlashDevices.h"

#include "Extension.Util.h"
#include "Files.h"
#include "ZUL.HostModules.h"

#include <algorithm>
#include <array>
#include <bit>

namespace tvk {

namespace {

using namespace remote_command;

constexpr wchar_t kParallelDeviceTitle[] = L"S29GLXXXA/M/N";
constexpr wchar_t kCFIDeviceTitle[] = L"CFI Flash Device";
constexpr wchar_t kSerialDevicePrefix[] = L"Embedded Flash - ";

constexpr uint32_t kFlashDataAreaSize = 1024;  // parallel and CFI
constexpr uint32_t kCFIResultBlockSize = 32;   // the status and seven result words
constexpr uint32_t kSerialDataAreaSize = 512;
constexpr uint32_t kSerialParameterBlockSize = 16;
constexpr uint32_t kSerialResultBlockSize = 8;

// The project memory holding parallel flash.
constexpr wchar_t kParallelFlashMemoryName[] = L"pflash";

// The exception vectors that the checksum covers: words 0-7, the sum going into word 5.
constexpr uint32_t kVectorBytes = 32;
constexpr uint32_t kChecksumOffset = 20;

// An SPI controller of the embedded design and the software stacked on it.
constexpr wchar_t kSPIPeripheralId[] = L"per_spi";
constexpr wchar_t kBootloaderV2Type[] = L"WB_BOOTLOADER_V2";
constexpr wchar_t kBootloaderType[] = L"WB_BOOTLOADER";
constexpr wchar_t kSPIControllerType[] = L"WB_SPI";
constexpr wchar_t kSarmodeckOption[] = L"Option_IsSarmodeck";
constexpr wchar_t kSPIDriverName[] = L"drv_spi";
constexpr wchar_t kMultiplexOption[] = L"sm_multiplex_support";
constexpr wchar_t kSPIFrequencyOption[] = L"spi_frequency";
constexpr wchar_t kSerialFlashDriverName[] = L"drv_m25px0";
constexpr wchar_t kBaseAddressOption[] = L"baseaddress";
constexpr wchar_t kDefaultSPIClock[] = L"2500000";

bool IsTrue(const WideString& text) { return SameTextIgnoringCase(text, L"True"); }

// The width bit a bus width needs (8 -> 1, 16 -> 2, 32 -> 4); 0 for widths below 8.
uint32_t WidthMask(int32_t widthInBits) {
  if (widthInBits < 8) return 0;
  return uint32_t(1) << (std::bit_width(uint32_t(widthInBits)) - 1 - 3);
}

// A text of the host's SPI description as a configuration word (0 when it is no number).
uint32_t ConfigurationWord(const WideString& text) {
  int64_t value = 0;
  return TryParseInt64(text, value) ? uint32_t(value) : 0;
}

}  // namespace

void InjectVectorChecksum(TDataChunkImage& Image) {
  if (Image.TargetAddr != 0 || std::min<std::size_t>(Image.DataLen, Image.DataArray.Length()) < kVectorBytes) return;
  uint32_t* cells = Image.DataArray.Data();
  uint32_t sum = 0;
  for (uint32_t offset = 0; offset < kVectorBytes; offset += 4)
    if (offset != kChecksumOffset) sum += TargetWord(cells + offset, false);
  PutTargetWord(cells + kChecksumOffset, 0u - sum, false);
}

// ---- TRemoteExecuteBaseDriverParallelFlash

TRemoteExecuteBaseDriverParallelFlash::TRemoteExecuteBaseDriverParallelFlash(const ITovikDriver& ADriver,
                                                                             bool AEnable)
    : TRemoteExecuteBaseDriver(ADriver, AEnable) {
  FDriverDeviceTitle = kParallelDeviceTitle;
}

HRESULT TRemoteExecuteBaseDriverParallelFlash::BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t,
                                                                 int32_t& Result) {
  Result = 0;
  return Guard([&] {
    const uint32_t offset = AddressFromSector(FlashSpace, FirstSector) - FlashStart();
    Result = RunFlashCommand(kBlankCheck, {offset, GetSectorSize(FirstSector)});
  });
}

HRESULT TRemoteExecuteBaseDriverParallelFlash::GetFlashSectorFromAddress(uint32_t, uint32_t Address,
                                                                         uint32_t& Result) {
  Result = (Address - FlashStart()) / kSectorSize;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverParallelFlash::GetFlashAddressFromSector(uint32_t, uint32_t Sector,
                                                                         uint32_t& Result) {
  Result = FlashStart() + Sector * kSectorSize;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverParallelFlash::IsFlashWidthSupported(int32_t WidthInBits, bool& Result) {
  Result = WidthInBits == 8 || WidthInBits == 16;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverParallelFlash::GetDefaultFlashWidth(int32_t& Result) {
  Result = 16;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverParallelFlash::SupportsAction(uint32_t Command, bool& Result) {
  Result = Command == kCopyToFlash || Command == kErase || Command == kBlankCheck || Command == kCompare;
  return S_OK;
}

int32_t TRemoteExecuteBaseDriverParallelFlash::GetProcessorByteOrder() { return 1; }

void TRemoteExecuteBaseDriverParallelFlash::InjectChecksum(TDataChunkImage& Image) { InjectVectorChecksum(Image); }

int32_t TRemoteExecuteBaseDriverParallelFlash::ProgramChunk(uint32_t FlashSpace, uint32_t RamAddress, bool Verify,
                                                            uint32_t ByteCount, uint32_t FlashAddress) {
  return TRemoteExecuteBaseDriver::ProgramChunk(FlashSpace, RamAddress, Verify, ByteCount,
                                                FlashAddress - FlashStart());
}

int32_t TRemoteExecuteBaseDriverParallelFlash::InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress,
                                                                  uint32_t EndAddress) {
  return EraseSectorBySector(FlashSpace, StartAddress, EndAddress, [&](uint32_t sector) {
    const uint32_t offset = AddressFromSector(FlashSpace, sector) - FlashStart();
    return RunCommand(kErase, {offset, offset, Kilohertz()});
  });
}

void TRemoteExecuteBaseDriverParallelFlash::InternalRemoteDriverInit() {
  const TFlashMemorySpace space = FlashSpace(0);
  RunCommand(kInitialise, {space.startAddress, space.widthInBits});
}

uint32_t TRemoteExecuteBaseDriverParallelFlash::GetFlashPageFromAddress(uint32_t, uint32_t Address) {
  return Address / kPageSize;
}

uint32_t TRemoteExecuteBaseDriverParallelFlash::GetFlashAddressFromPage(uint32_t, uint32_t Page) {
  return Page * kPageSize;
}

uint32_t TRemoteExecuteBaseDriverParallelFlash::GetDataAreaSize() { return kFlashDataAreaSize; }
uint32_t TRemoteExecuteBaseDriverParallelFlash::GetReadBlockSize() { return kFlashDataAreaSize; }
uint32_t TRemoteExecuteBaseDriverParallelFlash::GetEntryPointAddress() { return FDriverBaseAddress; }

bool TRemoteExecuteBaseDriverParallelFlash::GetFlashData(const IProject& Project) {
  if (!Project || !IEmbeddedProject::FromProject(Project)) return false;
  const IEmbeddedMemoryManager manager = GetEmbeddedMemoryManager();
  if (!manager) return false;
  const IEmbeddedMemories memories = manager.GetMemories(kEmbeddedMemoryKind);
  if (!memories) return false;
  memories.LoadFromProject(Project, true);
  const int32_t count = memories.GetCount();
  for (int32_t i = 0; i < count; ++i) {
    const IEmbeddedMemory memory = memories.GetMemory(i);
    if (!memory || !SameTextIgnoringCase(memory.GetName(), kParallelFlashMemoryName)) continue;
    FBaseAddress = memory.GetBaseAddress();
    FSize = memory.GetSize();
    return true;
  }
  return false;
}

uint32_t TRemoteExecuteBaseDriverParallelFlash::GetSectorSize(uint32_t) { return kSectorSize; }

// ---- TRemoteExecuteBaseDriverCFIFlash

TRemoteExecuteBaseDriverCFIFlash::TRemoteExecuteBaseDriverCFIFlash(const ITovikDriver& ADriver, bool AEnable)
    : TRemoteExecuteBaseDriverParallelFlash(ADriver, AEnable) {
  FDriverDeviceTitle = kCFIDeviceTitle;
}

bool TRemoteExecuteBaseDriverCFIFlash::QueryFlash(TRemoteCommandResult& Result) {
  FCommandSet = FSupportedWidths = FNumberOfEraseBlockRegions = 0;
  FEraseBlockRegions = {};
  const uint32_t start = FlashStart();
  const int32_t status = DispatchRemoteCommand(kCfiQuery, Result, {start});
  if (status == 0) {
    const auto& words = Result.resultArray;  // result word k is element k - 1
    FCommandSet = words[0];
    FBaseAddress = start;
    FSize = words[1] < 63 ? int64_t(1) << words[1] : -1;  // a size no address can reach stays unknown
    FSupportedWidths = words[2];
    FNumberOfEraseBlockRegions = std::min(words[3], kMaxEraseBlockRegions);
    for (uint32_t k = 0; k < FNumberOfEraseBlockRegions; ++k) FEraseBlockRegions[k] = words[4 + k];
  }
  FQueryOk = status == 0;
  return FQueryOk;
}

TRemoteExecuteBaseDriverCFIFlash::TEraseRegion TRemoteExecuteBaseDriverCFIFlash::Region(uint32_t Index) const {
  const uint32_t word = FEraseBlockRegions[Index];
  return {(word & 0xFFFF) + 1, (word >> 16) * 256};
}

// The regions lie one after the other from the flash base. An address before
// the base (a chunk's offset, say) is in sector 0; one past the last region
// is the total number of blocks.
HRESULT TRemoteExecuteBaseDriverCFIFlash::GetFlashSectorFromAddress(uint32_t, uint32_t Address, uint32_t& Result) {
  Result = 0;
  int64_t start = FBaseAddress;
  if (int64_t(Address) < start) return S_OK;
  uint64_t first = 0;
  for (uint32_t k = 0; k < FNumberOfEraseBlockRegions; ++k) {
    const TEraseRegion r = Region(k);
    const int64_t end = start + int64_t(r.Blocks) * r.BlockSize;
    if (int64_t(Address) < end) {  // so the block size is not 0
      Result = uint32_t(first + uint64_t(int64_t(Address) - start) / r.BlockSize);
      return S_OK;
    }
    first += r.Blocks;
    start = end;
  }
  Result = uint32_t(first);
  return S_OK;
}

// A sector past the last region is the flash base.
HRESULT TRemoteExecuteBaseDriverCFIFlash::GetFlashAddressFromSector(uint32_t, uint32_t Sector, uint32_t& Result) {
  int64_t start = FBaseAddress;
  uint64_t first = 0;
  for (uint32_t k = 0; k < FNumberOfEraseBlockRegions; ++k) {
    const TEraseRegion r = Region(k);
    if (Sector < first + r.Blocks) {
      Result = uint32_t(start + int64_t(Sector - first) * r.BlockSize);
      return S_OK;
    }
    first += r.Blocks;
    start += int64_t(r.Blocks) * r.BlockSize;
  }
  Result = uint32_t(FBaseAddress);
  return S_OK;
}

uint32_t TRemoteExecuteBaseDriverCFIFlash::GetSectorSize(uint32_t Sector) {
  uint64_t first = 0;
  for (uint32_t k = 0; k < FNumberOfEraseBlockRegions; ++k) {
    const TEraseRegion r = Region(k);
    if (Sector < first + r.Blocks) return r.BlockSize;
    first += r.Blocks;
  }
  return 0;
}

HRESULT TRemoteExecuteBaseDriverCFIFlash::IsFlashWidthSupported(int32_t WidthInBits, bool& Result) {
  const uint32_t mask = WidthMask(WidthInBits);
  Result = mask != 0 && (FSupportedWidths & mask) == mask;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverCFIFlash::GetDefaultFlashWidth(int32_t& Result) {
  for (int32_t width : {8, 16, 32}) {
    bool supported = false;
    CheckResult(IsFlashWidthSupported(width, supported));
    if (supported) {
      Result = width;
      break;
    }
  }
  return S_OK;
}

void TRemoteExecuteBaseDriverCFIFlash::InternalRemoteDriverInit() {
  const TFlashMemorySpace space = FlashSpace(0);
  RunCommand(kInitialise, {space.startAddress, space.widthInBits, FCommandSet});
}

uint32_t TRemoteExecuteBaseDriverCFIFlash::GetResultBlockSize() { return kCFIResultBlockSize; }

// ---- TRemoteExecuteBaseDriverSerialFlash

TRemoteExecuteBaseDriverSerialFlash::TRemoteExecuteBaseDriverSerialFlash(const ITovikDriver& ADriver, bool AEnable)
    : TRemoteExecuteBaseDriver(ADriver, AEnable) {
  FDriverDeviceTitle = DeviceName(FKind);
}

WideString TRemoteExecuteBaseDriverSerialFlash::DeviceName(TSerialDeviceKind Kind) {
  return kSerialDevicePrefix + WideString(kSerialDeviceParameters[std::size_t(Kind)].Name);
}

std::vector<WideString> TRemoteExecuteBaseDriverSerialFlash::SupportedDeviceNames() {
  std::vector<WideString> names;
  for (const TSerialDeviceParameters& device : kSerialDeviceParameters) names.push_back(DeviceName(device.Kind));
  return names;
}

void TRemoteExecuteBaseDriverSerialFlash::SetSelectedDevice(const WideString& Name) {
  const WideString name = UpperCaseText(Name);
  const auto device = std::find_if(kSerialDeviceParameters.begin(), kSerialDeviceParameters.end(),
                                   [&](const TSerialDeviceParameters& d) {
                                     return name.find(UpperCaseText(d.Name)) != WideString::npos;
                                   });
  if (device == kSerialDeviceParameters.end()) return;
  FKind = device->Kind;
  FDriverDeviceTitle = DeviceName(FKind);
  FFlashMemorySpaceArray = {{0, 0, uint32_t(device->SectorSize) * 1024 * uint32_t(device->SectorNum), 8}};
}

void TRemoteExecuteBaseDriverSerialFlash::SetSelectedSPI(const WideString& Id) {
  const auto entry = std::find_if(FSPIList.begin(), FSPIList.end(),
                                  [&](const auto& e) { return SameTextIgnoringCase(e.first, Id); });
  if (entry != FSPIList.end()) FSPISelected = entry->second;
}

bool TRemoteExecuteBaseDriverSerialFlash::GetSPIData(const IDeviceLink& DeviceLink, bool& SoftwarePlatform,
                                                     bool& SPIClock) {
  bool found = false;
  if (!DeviceLink) return found;
  FSPIList.clear();
  IEmbeddedStackSync sync;
  if (const IProject project = DeviceLink.GetProject())
    if (const IEmbeddedProject embedded = IEmbeddedProject::FromProject(project)) {
      IEmbeddedStack stack;
      CheckResult(OpenEmbeddedStack(embedded.GetSoftwarePlatformFile(), stack));
      if (stack) sync = stack.GetStackSync();
    }
  if (!sync) return found;
  SoftwarePlatform = true;
  const WideString processorClock = sync.GetStackName();

  // The first item stacked on Item, or empty.
  auto stackedOn = [&](const WideString& item) {
    return sync.GetStackedItemCount(item) > 0 ? sync.GetStackedItem(item, 0) : WideString();
  };
  const int32_t items = sync.GetItemCount();
  for (int32_t i = 0; i < items; ++i) {
    const WideString item = sync.GetItemId(i);
    if (!sync.IsValidItem(item) || !SameTextIgnoringCase(item, kSPIPeripheralId)) continue;
    const int32_t links = sync.GetLinkCount(item);
    for (int32_t l = 0; l < links; ++l) {
      const WideString link = sync.GetLink(item, l);
      const WideString type = sync.GetItemType(link);
      const bool bootloader = type == kBootloaderV2Type || type == kBootloaderType;
      if (!bootloader && type != kSPIControllerType) continue;
      // A description that breaks a rule ends the whole search.
      if (bootloader && IsTrue(sync.GetItemOption(link, kSarmodeckOption))) return found;
      const WideString driver = stackedOn(link);
      const WideString flash = driver.empty() ? WideString() : stackedOn(driver);
      if (!bootloader && !driver.empty() && flash.empty()) return found;
      WideString clock = kDefaultSPIClock;
      if (!driver.empty()) {
        if (sync.GetItemName(driver) != kSPIDriverName || IsTrue(sync.GetItemOption(driver, kMultiplexOption)))
          return found;
        clock = sync.GetItemOption(driver, kSPIFrequencyOption);
        SPIClock = !clock.empty();
      }
      if (!flash.empty() && sync.GetItemName(flash) != kSerialFlashDriverName) return found;
      const WideString base = sync.GetItemOption(link, kBaseAddressOption);
      if (base.empty()) return found;
      FSPIList.emplace_back(link, TSPIData{processorClock, base, clock});
      SetSelectedSPI(link);
      found = true;
    }
  }
  return found;
}

HRESULT TRemoteExecuteBaseDriverSerialFlash::BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t,
                                                               int32_t& Result) {
  Result = 0;
  return Guard([&] {
    const uint32_t address = AddressFromSector(FlashSpace, FirstSector);
    CheckResult(TRemoteExecuteBaseDriver::BlankCheckSectors(FlashSpace, address, address, Result));
  });
}

HRESULT TRemoteExecuteBaseDriverSerialFlash::GetFlashSectorFromAddress(uint32_t, uint32_t Address, uint32_t& Result) {
  Result = (Address - FlashStart()) / SectorBytes();
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverSerialFlash::GetFlashAddressFromSector(uint32_t, uint32_t Sector, uint32_t& Result) {
  Result = Sector * SectorBytes() + FlashStart();
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverSerialFlash::IsFlashWidthSupported(int32_t WidthInBits, bool& Result) {
  Result = WidthInBits == 8;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverSerialFlash::GetDefaultFlashWidth(int32_t& Result) {
  Result = 8;
  return S_OK;
}

HRESULT TRemoteExecuteBaseDriverSerialFlash::SupportsAction(uint32_t Command, bool& Result) {
  Result = Command == kCopyToFlash || Command == kErase || Command == kBlankCheck || Command == kCompare ||
           Command == kReadFlash;
  return S_OK;
}

int32_t TRemoteExecuteBaseDriverSerialFlash::GetProcessorByteOrder() { return 1; }

int32_t TRemoteExecuteBaseDriverSerialFlash::RemoteDataRead(uint32_t, uint32_t* Buffer, uint32_t Address,
                                                            uint32_t ByteCount) {
  TDriverTransaction transaction(*this);
  // The program copies into the data area: never more than it holds, or RAM
  // past it (which no uninstall restores) would be overwritten.
  const uint32_t piece = GetDataAreaSize();
  int32_t status = 0;
  for (uint32_t done = 0; done < ByteCount && status == 0; done += piece) {
    const uint32_t count = std::min(piece, ByteCount - done);
    status = RunCommand(kReadFlash, {Address + done, count});
    ReadTarget(FDriverMemorySpaceIndex, FDataBaseAddress, Buffer + done, count);  // whatever the status
  }
  return status;
}

int32_t TRemoteExecuteBaseDriverSerialFlash::InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress,
                                                                uint32_t EndAddress) {
  return EraseSectorBySector(FlashSpace, StartAddress, EndAddress, [&](uint32_t sector) {
    return RunCommand(kErase, {AddressFromSector(FlashSpace, sector) - FlashStart()});
  });
}

int32_t TRemoteExecuteBaseDriverSerialFlash::PrepareSectors(uint32_t, uint32_t, uint32_t) { return 0; }

void TRemoteExecuteBaseDriverSerialFlash::InternalRemoteDriverInit() {
  if (!FInternalIsDriverLoaded) return;
  const uint32_t words[kConfigurationWords] = {ConfigurationWord(FSPISelected.FSPIBaseAddress),
                                               ConfigurationWord(FSPISelected.FSPIClockFreq),
                                               ConfigurationWord(FSPISelected.FProcessorClockFreq),
                                               SectorBytes(),
                                               PageBytes(),
                                               0};
  std::array<uint32_t, 4 * kConfigurationWords> block{};
  const bool bigEndian = GetProcessorByteOrder() == 1;
  for (uint32_t k = 0; k < kConfigurationWords; ++k) PutTargetWord(block.data() + 4 * k, words[k], bigEndian);
  WriteTarget(FDriverMemorySpaceIndex,
              FParamBaseAddress + GetParameterBlockSize() + GetResultBlockSize() + GetDataAreaSize(), block.data(),
              uint32_t(block.size()));
}

uint32_t TRemoteExecuteBaseDriverSerialFlash::GetFlashPageFromAddress(uint32_t, uint32_t Address) {
  return Address / PageBytes();
}

uint32_t TRemoteExecuteBaseDriverSerialFlash::GetFlashAddressFromPage(uint32_t, uint32_t Page) {
  return Page * PageBytes();
}

uint32_t TRemoteExecuteBaseDriverSerialFlash::GetDataAreaSize() { return kSerialDataAreaSize; }
uint32_t TRemoteExecuteBaseDriverSerialFlash::GetReadBlockSize() { return kSerialDataAreaSize; }
uint32_t TRemoteExecuteBaseDriverSerialFlash::GetParameterBlockSize() { return kSerialParameterBlockSize; }
uint32_t TRemoteExecuteBaseDriverSerialFlash::GetResultBlockSize() { return kSerialResultBlockSize; }
uint32_t TRemoteExecuteBaseDriverSerialFlash::GetEntryPointAddress() { return FDriverBaseAddress; }

void TRemoteExecuteBaseDriverSerialFlash::GetRemoteCommandResult(TRemoteCommandResult& Result) {
  uint32_t block[kSerialResultBlockSize] = {};
  ReadTarget(FDriverMemorySpaceIndex, FParamBaseAddress + GetParameterBlockSize(), block, kSerialResultBlockSize);
  Result = {};
  Result.statusCode = TargetWord(block, GetProcessorByteOrder() == 1);
}

}  // namespace tvk
