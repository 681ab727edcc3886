#pragma once
// The flash algorithm every concrete writer shares: an image is widened to
// whole flash units, the range erased, and the data written chunk by chunk
// through the RAM data area, each chunk programmed (and verified) by a
// remote command; and the erase, blank-check and compare operations built on
// the same steps. Each served operation answers a status: 0 success, 1 no
// remote driver loaded or aborted through the callback, otherwise the remote
// driver's status.
#include "Tovik.Classes.RemoteExecute.h"

namespace tvk {

class TRemoteExecuteBaseDriver : public TQLBAbstractRemoteExecuteBaseDriver {
public:
  using TQLBAbstractRemoteExecuteBaseDriver::TQLBAbstractRemoteExecuteBaseDriver;

  // ---- Served flash operations
  HRESULT ProgramImage(uint32_t FlashSpace, const IDataChunkImageInterface& Image, bool AutoChecksum,
                       bool PreserveSectorData, bool ResetAfterLoad, bool Verify, int32_t& Result) override;
  // Command 53 (first sector, last sector, 0).
  HRESULT BlankCheckSectors(uint32_t FlashSpace, uint32_t FirstSector, uint32_t LastSector, int32_t& Result) override;
  // Command 58 (0): the whole device in one command.
  HRESULT EraseDevice(uint32_t FlashSpace, int32_t& Result) override;
  HRESULT EraseAddressRange(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress, bool ByProgramming,
                            int32_t& Result) override;
  // The sectors' start addresses to EraseAddressRange, by command.
  HRESULT EraseSectorRange(uint32_t FlashSpace, uint32_t FirstSector, uint32_t LastSector, int32_t& Result) override;
  // The number of differing bytes (0: identical); 1 also when unloaded.
  HRESULT CompareImage(uint32_t FlashSpace, const IDataChunkImageInterface& Image, uint32_t StartAddress,
                       uint32_t ByteCount, bool AutoChecksum, int32_t& Result) override;

  // ---- The algorithm
  int32_t FlashWrite(uint32_t FlashSpace, TDataChunkImage& Image, bool AutoChecksum, bool Preserve,
                     bool ResetAfterLoad, bool Verify) override;
  // Widens Source to whole sectors (Preserve: their other bytes read back
  // from flash) or whole pages (the other bytes 0xFF).
  void BuildFlashImage(uint32_t FlashSpace, const TDataChunkImage& Source, bool Preserve,
                       TDataChunkImage& FlashImage) override;
  // By programming: the bytes from Start up to, not including, End become
  // 0xFF and the rest of each touched sector keeps its contents. Otherwise
  // every sector from Start's to End's is erased.
  int32_t FlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress, bool ByProgramming);
  int32_t FlashCompare(uint32_t FlashSpace, TDataChunkImage& Image, uint32_t StartAddress, uint32_t ByteCount,
                       bool AutoChecksum);

  // ---- Command-level steps
  // Prepare; copy the data area to flash (51); with Verify and success, compare (56).
  int32_t ProgramChunk(uint32_t FlashSpace, uint32_t RamAddress, bool Verify, uint32_t ByteCount,
                       uint32_t FlashAddress) override;
  // Reads flash through the flash space's global memory space; a failed read raises.
  int32_t RemoteDataRead(uint32_t FlashSpace, uint32_t* Buffer, uint32_t Address, uint32_t ByteCount) override;
  // Prepare, then command 52 (first sector, last sector, kHz).
  int32_t InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) override;
  // Command 50 with the sectors of both addresses.
  int32_t PrepareSectors(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) override;
  uint32_t GetDataAreaSize() override;  // 512
  uint32_t GetParameterBlockSize() override;
  uint32_t GetResultBlockSize() override;

protected:
  uint32_t Kilohertz() const { return FDeviceClockFrequency / 1000; }
  // A served operation of one command: 1 when unloaded; inside a driver
  // transaction, 1 when the callback asks to abort, else the command's status.
  int32_t RunFlashCommand(uint32_t Command, std::initializer_list<uint32_t> Arguments);
  // Erasing one command per sector, inside a driver transaction: prepare,
  // then EraseSector(sector) for every sector from Start's to End's in
  // ascending order. A failed sector does not stop the loop: the result is
  // the last sector's status (or the failed preparation's).
  template <class F>
  int32_t EraseSectorBySector(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress, F&& EraseSector) {
    TDriverTransaction transaction(*this);
    int32_t status = PrepareSectors(FlashSpace, StartAddress, EndAddress);
    if (status != 0) return status;
    const uint64_t last = SectorFromAddress(FlashSpace, EndAddress);  // 64-bit: the last sector may be 0xFFFFFFFF
    for (uint64_t s = SectorFromAddress(FlashSpace, StartAddress); s <= last; ++s) status = EraseSector(uint32_t(s));
    return status;
  }
};

}  // namespace tvk
