#pragma once
// The flash writers that the Cortex-M3 drivers make: one per STM32 family
// and flash size, and the writer of external CFI flash on the chip's bus.
// An on-chip writer is a handful of constants (flash base, width, sector
// geometry, remote driver file, RAM layout) on the flash algorithm; each size
// class derives from the previous one of its family.
//
// RAM layout of an on-chip writer, D the driver base and A its driver area:
// the remote driver at D (up to A bytes), the parameter block at D + A with
// the result block 20 bytes on, and the 512-byte data area at D + A + 52.
#include "Tovik.Classes.FlashDevices.h"

namespace tvk {

class TFLASH_CORTEXM3 : public TRemoteExecuteBaseDriver {
public:
  using TRemoteExecuteBaseDriver::TRemoteExecuteBaseDriver;

  // ---- Constants of the flash and the RAM layout
  // The remote driver's file; a family also sets its device title and name here.
  virtual WideString GetDriverFileName();
  virtual uint32_t GetFlashBaseAddress();
  virtual uint32_t GetFlashSize();  // sector count x sector size
  // The size in KB and "K".
  virtual WideString GetFlashSizeText();
  virtual uint32_t GetFlashWidth();
  virtual uint32_t GetFlashSectorCount();
  virtual uint32_t GetFlashSectorSize();
  virtual uint32_t GetFlashSectorSizeAt(uint32_t Sector);
  virtual uint32_t GetDriverBaseAddress();
  virtual uint32_t GetDriverAreaSize();
  // One flash memory space on global memory space 0: base to base + size.
  virtual void RegisterFlashMemorySpace();

  // ---- Served operations
  // Command 53 (sector address, sector size, 0) for the first sector only.
  HRESULT BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t LastSector, int32_t& Result) override;
  HRESULT GetFlashSectorFromAddress(uint32_t FlashSpace, uint32_t Address, uint32_t& Result) override;
  HRESULT GetFlashAddressFromSector(uint32_t FlashSpace, uint32_t Sector, uint32_t& Result) override;
  HRESULT IsFlashWidthSupported(int32_t WidthInBits, bool& Result) override;  // the flash width only
  HRESULT GetDefaultFlashWidth(int32_t& Result) override;                     // the flash width
  HRESULT SupportsAction(uint32_t Command, bool& Result) override;            // 40, 51-53, 56-58

  // ---- Operations of the writers
  int32_t GetProcessorByteOrder() override;  // 0: little-endian
  // The RAM layout above, then the flash memory space.
  void LoadAndInitDriver() override;
  // Command 52 (sector address, sector address + sector size) for each sector.
  int32_t InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) override;
  // Command 40 (flash start, width in bits).
  void InternalRemoteDriverInit() override;
  // A page is a sector.
  uint32_t GetFlashPageFromAddress(uint32_t FlashSpace, uint32_t Address) override;
  uint32_t GetFlashAddressFromPage(uint32_t FlashSpace, uint32_t Page) override;
  uint32_t GetEntryPointAddress() override;
  // None: the remote driver stops the core itself.
  void SetDriverBreakpoints() override {}

protected:
  // Sets the device title and name and answers File in the Templates folder.
  WideString FamilyDriverFile(const WideString& Title, const WideString& DeviceName, const wchar_t* File);
};

// ---- STM32F1: 1 KB sectors up to 128 KB, 2 KB above

class TFLASH_STM32F10X : public TFLASH_CORTEXM3 {
public:
  using TFLASH_CORTEXM3::TFLASH_CORTEXM3;
  WideString GetDriverFileName() override;
  uint32_t GetFlashBaseAddress() override;
  uint32_t GetFlashWidth() override;  // 16
  uint32_t GetFlashSectorCount() override;
  uint32_t GetFlashSectorSize() override;
};

// ---- STM32F2: four 16 KB sectors, one of 64 KB, then 128 KB sectors

class TFLASH_STM32F2XX : public TFLASH_CORTEXM3 {
public:
  using TFLASH_CORTEXM3::TFLASH_CORTEXM3;
  WideString GetDriverFileName() override;
  uint32_t GetFlashBaseAddress() override;
  uint32_t GetFlashSize() override;
  uint32_t GetFlashWidth() override;  // 8
  uint32_t GetFlashSectorCount() override;
  // Stays 1024: only the end offset of the erase command.
  uint32_t GetFlashSectorSize() override;
  uint32_t GetFlashSectorSizeAt(uint32_t Sector) override;
  HRESULT GetFlashSectorFromAddress(uint32_t FlashSpace, uint32_t Address, uint32_t& Result) override;
  HRESULT GetFlashAddressFromSector(uint32_t FlashSpace, uint32_t Sector, uint32_t& Result) override;
};

// ---- STM32L1: 4 KB sectors of program flash; its data EEPROM

class TFLASH_STM32L1XX_32 : public TFLASH_CORTEXM3 {
public:
  using TFLASH_CORTEXM3::TFLASH_CORTEXM3;
  WideString GetDriverFileName() override;
  uint32_t GetFlashBaseAddress() override;
  // The size in KB and "+4K".
  WideString GetFlashSizeText() override;
  uint32_t GetFlashWidth() override;  // 16, the width of the space and the default
  uint32_t GetFlashSectorCount() override;
  uint32_t GetFlashSectorSize() override;
  HRESULT IsFlashWidthSupported(int32_t WidthInBits, bool& Result) override;  // 32 only
};

// ---- STM32W108: 1 KB sectors, a larger driver area

class TFLASH_STM32W10X : public TFLASH_CORTEXM3 {
public:
  using TFLASH_CORTEXM3::TFLASH_CORTEXM3;
  WideString GetDriverFileName() override;
  uint32_t GetFlashBaseAddress() override;
  uint32_t GetFlashWidth() override;  // 16
  uint32_t GetFlashSectorCount() override;
  uint32_t GetFlashSectorSize() override;
  uint32_t GetDriverAreaSize() override;  // 0x500
};

// A class that only renames its parent, and one that changes its sector count
// (and size).
#define TVK_FLASH_ALIAS_CLASS(Name, Parent) \
  class Name : public Parent {              \
  public:                                   \
    using Parent::Parent;                   \
  };
#define TVK_FLASH_SIZE_CLASS(Name, Parent, SectorCount, SectorSize)           \
  class Name : public Parent {                                                \
  public:                                                                     \
    using Parent::Parent;                                                     \
    uint32_t GetFlashSectorCount() override { return SectorCount; }           \
    uint32_t GetFlashSectorSize() override { return SectorSize; }             \
  };

TVK_FLASH_ALIAS_CLASS(TFLASH_STM32F10X_16, TFLASH_STM32F10X)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_32, TFLASH_STM32F10X_16, 32, 1024)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_64, TFLASH_STM32F10X_32, 64, 1024)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_128, TFLASH_STM32F10X_64, 128, 1024)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_256, TFLASH_STM32F10X_128, 128, 2048)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_384, TFLASH_STM32F10X_256, 192, 2048)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_512, TFLASH_STM32F10X_384, 256, 2048)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_768, TFLASH_STM32F10X_512, 384, 2048)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F10X_1024, TFLASH_STM32F10X_768, 512, 2048)

TVK_FLASH_ALIAS_CLASS(TFLASH_STM32F2XX_128, TFLASH_STM32F2XX)
TVK_FLASH_ALIAS_CLASS(TFLASH_STM32F2XX_256, TFLASH_STM32F2XX_128)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F2XX_512, TFLASH_STM32F2XX_256, 8, 1024)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F2XX_768, TFLASH_STM32F2XX_512, 10, 1024)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32F2XX_1024, TFLASH_STM32F2XX_768, 12, 1024)

TVK_FLASH_SIZE_CLASS(TFLASH_STM32L1XX_64, TFLASH_STM32L1XX_32, 16, 4096)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32L1XX_128, TFLASH_STM32L1XX_64, 32, 4096)

TVK_FLASH_ALIAS_CLASS(TFLASH_STM32W10X_64, TFLASH_STM32W10X)
TVK_FLASH_SIZE_CLASS(TFLASH_STM32W10X_128, TFLASH_STM32W10X_64, 128, 1024)

#undef TVK_FLASH_ALIAS_CLASS
#undef TVK_FLASH_SIZE_CLASS

// The data EEPROM of the STM32L1: one 4 KB sector at 0x08080000.
class TFLASH_STM32L1XX_DATA_4 : public TFLASH_STM32L1XX_128 {
public:
  using TFLASH_STM32L1XX_128::TFLASH_STM32L1XX_128;
  WideString GetDriverFileName() override;
  uint32_t GetFlashBaseAddress() override;
  uint32_t GetFlashSectorCount() override;
  uint32_t GetFlashSectorSize() override;
};

// ---- External CFI flash on the chip's bus at 0x10000000, 16 bits wide

class TCFI_FLASH_ARM_CORTEX_M3 : public TRemoteExecuteBaseDriverCFIFlash {
public:
  using TRemoteExecuteBaseDriverCFIFlash::TRemoteExecuteBaseDriverCFIFlash;
  int32_t GetProcessorByteOrder() override;  // 0: little-endian
  // The remote driver at 0x20000000, the parameter block at 0x20000900, the
  // data area at 0x20000940; then the flash memory space.
  void LoadAndInitDriver() override;
};

}  // namespace tvk
