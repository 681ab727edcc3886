#include "Tovik.Classes.CortexM3Flash.h"

#include "ZUL.Util.h"

#include <string>

namespace tvk {

namespace {

using namespace remote_command;

constexpr uint32_t kSramBase = 0x20000000;
constexpr uint32_t kDriverAreaSize = 0x400;
constexpr uint32_t kW10XDriverAreaSize = 0x500;
// Parameter block, result block and a gap before the data area.
constexpr uint32_t kDataAreaOffset = 20 + 20 + 12;
constexpr uint32_t kDriverMemorySpace = 0;

constexpr uint32_t kMainFlashBase = 0x08000000;
constexpr uint32_t kL1DataEepromBase = 0x08080000;

// STM32F2 sectors: 0-3 of 16 KB, 4 of 64 KB, 5 and up of 128 KB.
constexpr uint32_t kF2SmallSector = 0x4000, kF2MiddleSector = 0x10000, kF2LargeSector = 0x20000;
constexpr uint32_t kF2MiddleSectorIndex = 4;
constexpr uint32_t kF2SectorCount = 6;

constexpr wchar_t kCFIDriverFile[] = L"ARM_RD_STM32_CFI.hex";
constexpr uint32_t kCFIParamBase = 0x20000900;
constexpr uint32_t kCFIDataBase = kCFIParamBase + 20 + 32 + 12;  // after the 32-byte result block
constexpr uint32_t kCFIFlashStart = 0x10000000, kCFIFlashEnd = 0x12000000, kCFIFlashWidth = 16;

}  // namespace

// ---- TFLASH_CORTEXM3

WideString TFLASH_CORTEXM3::GetDriverFileName() { return {}; }
uint32_t TFLASH_CORTEXM3::GetFlashBaseAddress() { return 0; }
uint32_t TFLASH_CORTEXM3::GetFlashSize() { return GetFlashSectorCount() * GetFlashSectorSize(); }
WideString TFLASH_CORTEXM3::GetFlashSizeText() { return std::to_wstring(GetFlashSize() / 1024) + L"K"; }
uint32_t TFLASH_CORTEXM3::GetFlashWidth() { return 32; }
uint32_t TFLASH_CORTEXM3::GetFlashSectorCount() { return 16; }
uint32_t TFLASH_CORTEXM3::GetFlashSectorSize() { return 1024; }
uint32_t TFLASH_CORTEXM3::GetFlashSectorSizeAt(uint32_t) { return GetFlashSectorSize(); }
uint32_t TFLASH_CORTEXM3::GetDriverBaseAddress() { return kSramBase; }
uint32_t TFLASH_CORTEXM3::GetDriverAreaSize() { return kDriverAreaSize; }

void TFLASH_CORTEXM3::RegisterFlashMemorySpace() {
  const uint32_t base = GetFlashBaseAddress();
  int32_t result = 0;
  CheckResult(AddFlashMemorySpace(0, base, base + GetFlashSize(), GetFlashWidth(), result));
}

WideString TFLASH_CORTEXM3::FamilyDriverFile(const WideString& Title, const WideString& DeviceName,
                                             const wchar_t* File) {
  CheckResult(SetRemoteDriverDeviceTitle(Title));
  CheckResult(SetRemoteDriverDeviceName(DeviceName));
  return GetTemplatesFolder() + File;
}

HRESULT TFLASH_CORTEXM3::BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t, int32_t& Result) {
  Result = 0;
  return Guard([&] {
    Result = RunFlashCommand(kBlankCheck,
                             {AddressFromSector(FlashSpace, FirstSector), GetFlashSectorSizeAt(FirstSector), 0});
  });
}

HRESULT TFLASH_CORTEXM3::GetFlashSectorFromAddress(uint32_t, uint32_t Address, uint32_t& Result) {
  Result = (Address - GetFlashBaseAddress()) / GetFlashSectorSize();
  return S_OK;
}

HRESULT TFLASH_CORTEXM3::GetFlashAddressFromSector(uint32_t, uint32_t Sector, uint32_t& Result) {
  Result = GetFlashBaseAddress() + Sector * GetFlashSectorSize();
  return S_OK;
}

HRESULT TFLASH_CORTEXM3::IsFlashWidthSupported(int32_t WidthInBits, bool& Result) {
  Result = WidthInBits == int32_t(GetFlashWidth());
  return S_OK;
}

HRESULT TFLASH_CORTEXM3::GetDefaultFlashWidth(int32_t& Result) {
  Result = int32_t(GetFlashWidth());
  return S_OK;
}

HRESULT TFLASH_CORTEXM3::SupportsAction(uint32_t Command, bool& Result) {
  Result = Command == kInitialise || Command == kCopyToFlash || Command == kErase || Command == kBlankCheck ||
           Command == kCompare || Command == kReadFlash || Command == kEraseDevice;
  return S_OK;
}

int32_t TFLASH_CORTEXM3::GetProcessorByteOrder() { return 0; }

void TFLASH_CORTEXM3::LoadAndInitDriver() {
  const uint32_t driverBase = GetDriverBaseAddress();
  const uint32_t paramBase = driverBase + GetDriverAreaSize();
  InitDriver(GetDriverFileName(), driverBase, paramBase, paramBase + kDataAreaOffset, kDriverMemorySpace);
  RegisterFlashMemorySpace();
}

int32_t TFLASH_CORTEXM3::InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) {
  return EraseSectorBySector(FlashSpace, StartAddress, EndAddress, [&](uint32_t sector) {
    const uint32_t a = AddressFromSector(FlashSpace, sector);
    return RunCommand(kErase, {a, a + GetFlashSectorSize()});
  });
}

void TFLASH_CORTEXM3::InternalRemoteDriverInit() {
  const TFlashMemorySpace space = FlashSpace(0);
  RunCommand(kInitialise, {space.startAddress, space.widthInBits});
}

uint32_t TFLASH_CORTEXM3::GetFlashPageFromAddress(uint32_t FlashSpace, uint32_t Address) {
  return SectorFromAddress(FlashSpace, Address);
}

uint32_t TFLASH_CORTEXM3::GetFlashAddressFromPage(uint32_t FlashSpace, uint32_t Page) {
  return AddressFromSector(FlashSpace, Page);
}

uint32_t TFLASH_CORTEXM3::GetEntryPointAddress() { return FDriverBaseAddress; }

// ---- STM32F1

WideString TFLASH_STM32F10X::GetDriverFileName() {
  return FamilyDriverFile(L"STM32F10X Flash Memory", L"STM32F10X/" + GetFlashSizeText(), L"ARM_RD_STM32F10X.hex");
}
uint32_t TFLASH_STM32F10X::GetFlashBaseAddress() { return kMainFlashBase; }
uint32_t TFLASH_STM32F10X::GetFlashWidth() { return 16; }
uint32_t TFLASH_STM32F10X::GetFlashSectorCount() { return 16; }
uint32_t TFLASH_STM32F10X::GetFlashSectorSize() { return 1024; }

// ---- STM32F2

WideString TFLASH_STM32F2XX::GetDriverFileName() {
  return FamilyDriverFile(L"STM32F2XX Flash Memory", L"STM32F2XXXX/" + GetFlashSizeText(), L"ARM_RD_STM32F2XX.hex");
}
uint32_t TFLASH_STM32F2XX::GetFlashBaseAddress() { return kMainFlashBase; }
uint32_t TFLASH_STM32F2XX::GetFlashWidth() { return 8; }
uint32_t TFLASH_STM32F2XX::GetFlashSectorCount() { return kF2SectorCount; }
uint32_t TFLASH_STM32F2XX::GetFlashSectorSize() { return 1024; }

// The first five sectors make 128 KB; every further one is 128 KB.
uint32_t TFLASH_STM32F2XX::GetFlashSize() {
  const uint32_t count = GetFlashSectorCount();
  return count <= 5 ? kF2LargeSector : kF2LargeSector + (count - 5) * kF2LargeSector;
}

uint32_t TFLASH_STM32F2XX::GetFlashSectorSizeAt(uint32_t Sector) {
  if (Sector == kF2MiddleSectorIndex) return kF2MiddleSector;
  return Sector < kF2MiddleSectorIndex ? kF2SmallSector : kF2LargeSector;
}

// Counted in 16 KB steps from the start of the 1 MB window; from sector 5 on,
// in steps of eight.
HRESULT TFLASH_STM32F2XX::GetFlashSectorFromAddress(uint32_t, uint32_t Address, uint32_t& Result) {
  uint32_t s = (Address >> 14) & 0xFF;
  if (s > kF2MiddleSectorIndex) s = (s >> 3) + kF2MiddleSectorIndex;
  Result = s;
  return S_OK;
}

HRESULT TFLASH_STM32F2XX::GetFlashAddressFromSector(uint32_t, uint32_t Sector, uint32_t& Result) {
  const uint32_t base = GetFlashBaseAddress();
  if (Sector < kF2MiddleSectorIndex)
    Result = base + Sector * kF2SmallSector;
  else if (Sector == kF2MiddleSectorIndex)
    Result = base + kF2MiddleSector;
  else
    Result = base + (Sector - kF2MiddleSectorIndex) * kF2LargeSector;
  return S_OK;
}

// ---- STM32L1

WideString TFLASH_STM32L1XX_32::GetDriverFileName() {
  return FamilyDriverFile(L"STM32L1XX Program Memory", L"STM32L1XX/" + GetFlashSizeText() + L"$Program Flash",
                          L"ARM_RD_STM32L15X.hex");
}
uint32_t TFLASH_STM32L1XX_32::GetFlashBaseAddress() { return kMainFlashBase; }
WideString TFLASH_STM32L1XX_32::GetFlashSizeText() { return std::to_wstring(GetFlashSize() / 1024) + L"+4K"; }
uint32_t TFLASH_STM32L1XX_32::GetFlashWidth() { return 16; }
uint32_t TFLASH_STM32L1XX_32::GetFlashSectorCount() { return 8; }
uint32_t TFLASH_STM32L1XX_32::GetFlashSectorSize() { return 4096; }

HRESULT TFLASH_STM32L1XX_32::IsFlashWidthSupported(int32_t WidthInBits, bool& Result) {
  Result = WidthInBits == 32;
  return S_OK;
}

WideString TFLASH_STM32L1XX_DATA_4::GetDriverFileName() {
  return FamilyDriverFile(L"STM32L1XX Data Memory", L"STM32L1XX/" + GetFlashSizeText() + L"$Data Flash (EEPROM)",
                          L"ARM_RD_STM32L15X_DATA.hex");
}
uint32_t TFLASH_STM32L1XX_DATA_4::GetFlashBaseAddress() { return kL1DataEepromBase; }
uint32_t TFLASH_STM32L1XX_DATA_4::GetFlashSectorCount() { return 1; }
uint32_t TFLASH_STM32L1XX_DATA_4::GetFlashSectorSize() { return 4096; }

// ---- STM32W108

WideString TFLASH_STM32W10X::GetDriverFileName() {
  return FamilyDriverFile(L"STM32W10X Flash Memory", L"STM32W108/" + GetFlashSizeText(), L"ARM_RD_STM32W108.hex");
}
uint32_t TFLASH_STM32W10X::GetFlashBaseAddress() { return kMainFlashBase; }
uint32_t TFLASH_STM32W10X::GetFlashWidth() { return 16; }
uint32_t TFLASH_STM32W10X::GetFlashSectorCount() { return 64; }
uint32_t TFLASH_STM32W10X::GetFlashSectorSize() { return 1024; }
uint32_t TFLASH_STM32W10X::GetDriverAreaSize() { return kW10XDriverAreaSize; }

// ---- CFI flash

int32_t TCFI_FLASH_ARM_CORTEX_M3::GetProcessorByteOrder() { return 0; }

void TCFI_FLASH_ARM_CORTEX_M3::LoadAndInitDriver() {
  InitDriver(GetTemplatesFolder() + kCFIDriverFile, kSramBase, kCFIParamBase, kCFIDataBase, kDriverMemorySpace);
  int32_t result = 0;
  CheckResult(AddFlashMemorySpace(0, kCFIFlashStart, kCFIFlashEnd, kCFIFlashWidth, result));
}

}  // namespace tvk
