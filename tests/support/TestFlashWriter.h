#pragma once
// A flash writer for the tests and benchmarks, with the constants of an
// STM32F1 on-chip writer by default: 128 sectors of 1 KB at 0x08000000,
// 16 bits wide, the stand-in "ARM_RD_STM32F10X.hex" at 0x20000000 with a
// 1 KB driver area, a parameter block right after it and the data area 52
// bytes further on; one erase command per sector, commands starting at the
// driver base and no breakpoints on the stop words.
#include "Tovik.Classes.FlashWrite.h"
#include "ZUL.Util.h"

#include <string>

namespace testsupport {

struct TestWriterConfig {
  std::wstring FileName = L"ARM_RD_STM32F10X.hex";  // in the Templates folder
  std::uint32_t FlashBase = 0x08000000, SectorSize = 1024, SectorCount = 128, WidthInBits = 16;
  std::uint32_t DriverBase = 0x20000000, DriverAreaSize = 1024;
  std::uint32_t ResultBlockSize = 20;  // the data area starts 12 bytes after the result block
  std::uint32_t DataAreaSize = 512;
  std::int32_t ByteOrder = 0;
  bool StopWordBreakpoints = false;  // keep the base's breakpoints on the stop words
  bool EraseEachSector = true;       // one erase command per sector; false: the base's one command
};

class TestFlashWriter : public tvk::TRemoteExecuteBaseDriver {
public:
  TestFlashWriter(const tvk::ITovikDriver& driver, bool enable, TestWriterConfig config = {})
      : TRemoteExecuteBaseDriver(driver, enable), FConfig(std::move(config)) {}

  const TestWriterConfig& Config() const { return FConfig; }
  // The parameter block and the data area of this layout.
  std::uint32_t ParamBlock() const { return FConfig.DriverBase + FConfig.DriverAreaSize; }
  std::uint32_t DataArea() const { return ParamBlock() + 20 + FConfig.ResultBlockSize + 12; }

  // Runs one command as the writers do (for the tests of the command road).
  std::int32_t Command(std::uint32_t command, std::initializer_list<std::uint32_t> arguments) {
    return RunCommand(command, arguments);
  }

  void LoadAndInitDriver() override {
    InitDriver(tvk::GetTemplatesFolder() + FConfig.FileName, FConfig.DriverBase, ParamBlock(), DataArea(), 0);
    std::int32_t index = 0;
    tvk::CheckResult(AddFlashMemorySpace(0, FConfig.FlashBase, FConfig.FlashBase + FConfig.SectorSize * FConfig.SectorCount,
                                         FConfig.WidthInBits, index));
  }
  std::int32_t GetProcessorByteOrder() override { return FConfig.ByteOrder; }
  std::uint32_t GetEntryPointAddress() override { return FDriverBaseAddress; }
  std::uint32_t GetDataAreaSize() override { return FConfig.DataAreaSize; }
  std::uint32_t GetResultBlockSize() override { return FConfig.ResultBlockSize; }
  void SetDriverBreakpoints() override {
    if (FConfig.StopWordBreakpoints) TRemoteExecuteBaseDriver::SetDriverBreakpoints();
  }
  void InternalRemoteDriverInit() override {
    const tvk::TFlashMemorySpace space = FlashSpace(0);
    RunCommand(tvk::remote_command::kInitialise, {space.startAddress, space.widthInBits});
  }
  // One erase command per sector: its address and its end.
  std::int32_t InternalFlashErase(std::uint32_t space, std::uint32_t start, std::uint32_t end) override {
    if (!FConfig.EraseEachSector) return TRemoteExecuteBaseDriver::InternalFlashErase(space, start, end);
    return EraseSectorBySector(space, start, end, [&](std::uint32_t s) {
      const std::uint32_t a = AddressFromSector(space, s);
      return RunCommand(tvk::remote_command::kErase, {a, a + FConfig.SectorSize});
    });
  }
  // Only the first sector: its address and its size.
  HRESULT BlankCheckSectors(std::uint32_t space, std::uint32_t first, std::uint32_t, std::int32_t& Result) override {
    Result = 0;
    return tvk::Guard([&] {
      Result = RunFlashCommand(tvk::remote_command::kBlankCheck, {AddressFromSector(space, first), FConfig.SectorSize, 0});
    });
  }
  HRESULT GetFlashSectorFromAddress(std::uint32_t, std::uint32_t Address, std::uint32_t& Result) override {
    Result = (Address - FConfig.FlashBase) / FConfig.SectorSize;
    return S_OK;
  }
  HRESULT GetFlashAddressFromSector(std::uint32_t, std::uint32_t Sector, std::uint32_t& Result) override {
    Result = FConfig.FlashBase + Sector * FConfig.SectorSize;
    return S_OK;
  }
  // A page is a sector.
  std::uint32_t GetFlashPageFromAddress(std::uint32_t space, std::uint32_t address) override {
    return SectorFromAddress(space, address);
  }
  std::uint32_t GetFlashAddressFromPage(std::uint32_t space, std::uint32_t page) override {
    return AddressFromSector(space, page);
  }

private:
  TestWriterConfig FConfig;
};

}  // namespace testsupport
