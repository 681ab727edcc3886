#pragma once
// The writer families of the debug framework: parallel NOR flash of uniform
// 128 KB sectors, parallel flash whose geometry a CFI query reads from the
// chip, and M25P serial flash behind an SPI controller of the user's embedded
// design. Each family's flash base is the start of its first flash memory
// space. Only the CFI family is made by this module's drivers (the Cortex-M3
// writer on it); the parallel and serial classes load no remote driver of
// their own, so on their own they stay unloaded.
#include "Tovik.Classes.FlashWrite.h"

#include <array>
#include <utility>
#include <vector>

namespace tvk {

// ---- Parallel NOR flash: 128 KB sectors, a big-endian remote driver

class TRemoteExecuteBaseDriverParallelFlash : public TRemoteExecuteBaseDriver {
public:
  static constexpr uint32_t kSectorSize = 0x20000;
  static constexpr uint32_t kPageSize = 512;

  TRemoteExecuteBaseDriverParallelFlash(const ITovikDriver& ADriver, bool AEnable);

  // ---- Served operations
  // Command 53 (offset of First, size of First): only the first sector is checked.
  HRESULT BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t LastSector, int32_t& Result) override;
  HRESULT GetFlashSectorFromAddress(uint32_t FlashSpace, uint32_t Address, uint32_t& Result) override;
  HRESULT GetFlashAddressFromSector(uint32_t FlashSpace, uint32_t Sector, uint32_t& Result) override;
  HRESULT IsFlashWidthSupported(int32_t WidthInBits, bool& Result) override;  // 8 and 16
  HRESULT GetDefaultFlashWidth(int32_t& Result) override;                     // 16
  HRESULT SupportsAction(uint32_t Command, bool& Result) override;            // 51, 52, 53, 56

  // ---- Operations of the writers
  int32_t GetProcessorByteOrder() override;  // 1: big-endian
  // The exception-vector checksum, only for an image at address 0.
  void InjectChecksum(TDataChunkImage& Image) override;
  void LoadAndInitDriver() override {}
  // The general one, with the flash address as an offset from the flash base.
  int32_t ProgramChunk(uint32_t FlashSpace, uint32_t RamAddress, bool Verify, uint32_t ByteCount,
                       uint32_t FlashAddress) override;
  // Prepare, then command 52 (offset, offset, kHz) for each sector.
  int32_t InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) override;
  // Command 40 (flash base, width in bits).
  void InternalRemoteDriverInit() override;
  uint32_t GetFlashPageFromAddress(uint32_t FlashSpace, uint32_t Address) override;
  uint32_t GetFlashAddressFromPage(uint32_t FlashSpace, uint32_t Page) override;
  uint32_t GetDataAreaSize() override;   // 1024
  uint32_t GetReadBlockSize() override;  // 1024
  uint32_t GetEntryPointAddress() override;
  // None: the remote driver stops the core itself.
  void SetDriverBreakpoints() override {}

  // ---- Added operations
  // The base address and size of the project's embedded memory "pflash";
  // false (and nothing changed) when there is none.
  bool GetFlashData(const IProject& Project) override;
  TFlashWriterKind WriterKind() override { return TFlashWriterKind::fwkParallel; }
  virtual uint32_t GetSectorSize(uint32_t Sector);  // 0x20000

  int64_t BaseAddress() const override { return FBaseAddress; }
  int64_t Size() const override { return FSize; }

protected:
  // The start of the first flash memory space: the flash base of the commands.
  uint32_t FlashStart() const { return FlashSpace(0).startAddress; }

  int64_t FBaseAddress = -1;
  int64_t FSize = -1;
};

// Adds to an image at address 0 the checksum that makes its eight exception
// vectors sum to zero: the two's complement of the sum of words 0-4, 6 and 7
// (little-endian) goes into word 5. Any other image, or one too short to hold
// the vectors, is left as it is.
void InjectVectorChecksum(TDataChunkImage& Image);

// ---- Parallel flash whose geometry comes from a CFI query

class TRemoteExecuteBaseDriverCFIFlash : public TRemoteExecuteBaseDriverParallelFlash {
public:
  static constexpr uint32_t kMaxEraseBlockRegions = 3;

  TRemoteExecuteBaseDriverCFIFlash(const ITovikDriver& ADriver, bool AEnable);

  // Command 41 (flash base): on success the command set, size, widths and
  // erase-block regions of the chip, the regions starting at the flash base.
  // Called directly by the CFI query dialog.
  bool QueryFlash(TRemoteCommandResult& Result) override;
  TFlashWriterKind WriterKind() override { return TFlashWriterKind::fwkCFI; }

  // ---- Served operations: the geometry of the query
  HRESULT GetFlashSectorFromAddress(uint32_t FlashSpace, uint32_t Address, uint32_t& Result) override;
  HRESULT GetFlashAddressFromSector(uint32_t FlashSpace, uint32_t Sector, uint32_t& Result) override;
  // Every width bit the width needs is set (8: bit 0, 16: bit 1, 32: bit 2).
  HRESULT IsFlashWidthSupported(int32_t WidthInBits, bool& Result) override;
  // The first supported of 8, 16 and 32; none leaves Result as it is.
  HRESULT GetDefaultFlashWidth(int32_t& Result) override;

  // ---- Operations of the writers
  // Command 40 (flash base, width in bits, command set).
  void InternalRemoteDriverInit() override;
  uint32_t GetResultBlockSize() override;  // 32: the status and seven words
  uint32_t GetSectorSize(uint32_t Sector) override;

  bool QueryOk() const override { return FQueryOk; }
  uint32_t CommandSet() const { return FCommandSet; }
  uint32_t SupportedWidths() const { return FSupportedWidths; }
  uint32_t NumberOfEraseBlockRegions() const { return FNumberOfEraseBlockRegions; }

protected:
  // An erase-block region: its blocks and their size.
  struct TEraseRegion {
    uint32_t Blocks;
    uint32_t BlockSize;
  };
  TEraseRegion Region(uint32_t Index) const;

  bool FQueryOk = false;
  uint32_t FCommandSet = 0;
  uint32_t FSupportedWidths = 0;
  uint32_t FNumberOfEraseBlockRegions = 0;
  // Low 16 bits: blocks - 1; high 16 bits: block size / 256.
  std::array<uint32_t, kMaxEraseBlockRegions> FEraseBlockRegions{};
};

// ---- M25P serial flash behind an SPI controller

class TRemoteExecuteBaseDriverSerialFlash : public TRemoteExecuteBaseDriver {
public:
  static constexpr uint32_t kConfigurationWords = 6;

  TRemoteExecuteBaseDriverSerialFlash(const ITovikDriver& ADriver, bool AEnable);

  // The SPI controllers of the device's embedded design, each selected as it
  // is found; true when one was found before a description broke the rules.
  // SoftwarePlatform: the design has a software platform; SPIClock: the last
  // controller's driver names its clock.
  bool GetSPIData(const IDeviceLink& DeviceLink, bool& SoftwarePlatform, bool& SPIClock) override;
  // Copies the controller's texts into the selection; an unknown id changes nothing.
  void SetSelectedSPI(const WideString& Id) override;
  void SetSelectedSPIData(const TSPIData& Data) override { FSPISelected = Data; }
  // The first device whose name occurs in Name (any case) becomes the
  // device, with one flash space of its size; none changes nothing.
  void SetSelectedDevice(const WideString& Name) override;
  TFlashWriterKind WriterKind() override { return TFlashWriterKind::fwkSerial; }
  // "Embedded Flash - " and each device's name, in table order.
  std::vector<WideString> SupportedDeviceNames() override;
  static WideString DeviceName(TSerialDeviceKind Kind);

  // ---- Served operations
  // The general blank check of one sector, named by its address twice.
  HRESULT BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t LastSector, int32_t& Result) override;
  HRESULT GetFlashSectorFromAddress(uint32_t FlashSpace, uint32_t Address, uint32_t& Result) override;
  HRESULT GetFlashAddressFromSector(uint32_t FlashSpace, uint32_t Sector, uint32_t& Result) override;
  HRESULT IsFlashWidthSupported(int32_t WidthInBits, bool& Result) override;  // 8
  HRESULT GetDefaultFlashWidth(int32_t& Result) override;                     // 8
  HRESULT SupportsAction(uint32_t Command, bool& Result) override;            // 51, 52, 53, 56, 57

  // ---- Operations of the writers
  int32_t GetProcessorByteOrder() override;  // 1: big-endian
  void LoadAndInitDriver() override {}
  // Command 57 copies flash into the data area, which is then read; a read
  // longer than the data area goes in data-area-sized pieces.
  int32_t RemoteDataRead(uint32_t FlashSpace, uint32_t* Buffer, uint32_t Address, uint32_t ByteCount) override;
  // Command 52 (offset) for each sector; nothing to prepare.
  int32_t InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) override;
  int32_t PrepareSectors(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) override;
  // Writes the SPI configuration block after the data area; no command.
  void InternalRemoteDriverInit() override;
  uint32_t GetFlashPageFromAddress(uint32_t FlashSpace, uint32_t Address) override;
  uint32_t GetFlashAddressFromPage(uint32_t FlashSpace, uint32_t Page) override;
  uint32_t GetDataAreaSize() override;        // 512
  uint32_t GetReadBlockSize() override;       // 512
  uint32_t GetParameterBlockSize() override;  // 16
  uint32_t GetResultBlockSize() override;     // 8
  uint32_t GetEntryPointAddress() override;
  void SetDriverBreakpoints() override {}
  // The status alone.
  void GetRemoteCommandResult(TRemoteCommandResult& Result) override;

  TSerialDeviceKind Kind() const { return FKind; }
  const TSPIData& SelectedSPI() const override { return FSPISelected; }
  const TSPIList& SPIList() const override { return FSPIList; }

protected:
  const TSerialDeviceParameters& Device() const { return kSerialDeviceParameters[std::size_t(FKind)]; }
  uint32_t SectorBytes() const { return uint32_t(Device().SectorSize) * 1024; }
  uint32_t PageBytes() const { return uint32_t(Device().PageSize); }
  uint32_t FlashStart() const { return FlashSpace(0).startAddress; }

  TSPIList FSPIList;  // by controller id, in the order found
  TSPIData FSPISelected;
  TSerialDeviceKind FKind = eM25P80;
};

}  // namespace tvk
