// Where sectors and pages lie: the STM32 sector maps at their boundaries, the
// CFI geometry that a query reads from the chip, the vector checksum of the
// parallel writers and the serial device selection.
#include "WritersFixture.h"

#include "Tovik.Classes.FlashDevices.h"

namespace writers_test {
namespace {

using namespace tvk;

template <class Writer>
ComRef<Writer> Make() {
  return ComRef<Writer>(New<Writer>(ITovikDriver(), true));
}

std::uint32_t SectorOf(TAbstractFlashWriter& w, std::uint32_t address) {
  std::uint32_t sector = 0xDEAD;
  EXPECT_EQ(S_OK, w.GetFlashSectorFromAddress(0, address, sector));
  return sector;
}

std::uint32_t AddressOf(TAbstractFlashWriter& w, std::uint32_t sector) {
  std::uint32_t address = 0xDEAD;
  EXPECT_EQ(S_OK, w.GetFlashAddressFromSector(0, sector, address));
  return address;
}

TEST(OnChipSectorMaps, STM32F1SectorsAndPagesAreOneAndTheSame) {
  auto f128 = Make<TFLASH_STM32F10X_128>();
  EXPECT_EQ(L"128K", f128->GetFlashSizeText());
  EXPECT_EQ(128u * 1024, f128->GetFlashSize());
  EXPECT_EQ(3u, SectorOf(*f128.Get(), 0x08000C00));
  EXPECT_EQ(3u, f128->GetFlashPageFromAddress(0, 0x08000C00));
  EXPECT_EQ(2u, SectorOf(*f128.Get(), 0x08000BFF));
  EXPECT_EQ(127u, SectorOf(*f128.Get(), 0x0801FFFF));
  EXPECT_EQ(0x08000C00u, f128->GetFlashAddressFromPage(0, 3));

  auto f256 = Make<TFLASH_STM32F10X_256>();
  EXPECT_EQ(0x08002800u, AddressOf(*f256.Get(), 5));
  EXPECT_EQ(4u, SectorOf(*f256.Get(), 0x080027FF));
  EXPECT_EQ(5u, SectorOf(*f256.Get(), 0x08002800));
}

TEST(OnChipSectorMaps, STM32F2SectorsGrowFrom16KBTo64KBTo128KB) {
  auto f2 = Make<TFLASH_STM32F2XX_1024>();
  struct Case {
    std::uint32_t Address, Sector;
  };
  for (const Case& c : {Case{0x08000000, 0}, Case{0x08003FFF, 0}, Case{0x08004000, 1}, Case{0x0800FFFF, 3},
                        Case{0x08010000, 4}, Case{0x0801FFFF, 4}, Case{0x08020000, 5}, Case{0x0803FFFF, 5},
                        Case{0x08040000, 6}, Case{0x080E0000, 11}, Case{0x080FFFFF, 11}})
    EXPECT_EQ(c.Sector, SectorOf(*f2.Get(), c.Address)) << std::hex << c.Address;
  struct Start {
    std::uint32_t Sector, Address, Size;
  };
  for (const Start& s : {Start{0, 0x08000000, 0x4000}, Start{3, 0x0800C000, 0x4000}, Start{4, 0x08010000, 0x10000},
                         Start{5, 0x08020000, 0x20000}, Start{11, 0x080E0000, 0x20000}}) {
    EXPECT_EQ(s.Address, AddressOf(*f2.Get(), s.Sector)) << s.Sector;
    EXPECT_EQ(s.Size, f2->GetFlashSectorSizeAt(s.Sector)) << s.Sector;
  }
  EXPECT_EQ(1024u, f2->GetFlashSectorSize()) << "only the end offset of the erase command";
  // Six sectors, as the smallest classes have: 256 KB.
  EXPECT_EQ(0x40000u, Make<TFLASH_STM32F2XX_128>()->GetFlashSize());
  EXPECT_EQ(6u, Make<TFLASH_STM32F2XX_256>()->GetFlashSectorCount());
}

TEST(OnChipSectorMaps, STM32L1DataEepromIsOne4KBSectorWrittenOnly32BitsWide) {
  auto data = Make<TFLASH_STM32L1XX_DATA_4>();
  EXPECT_EQ(L"4+4K", data->GetFlashSizeText());
  EXPECT_EQ(0u, SectorOf(*data.Get(), 0x08080FFF));
  EXPECT_EQ(1u, SectorOf(*data.Get(), 0x08081000));
  EXPECT_EQ(0x08080000u, AddressOf(*data.Get(), 0));
  bool supported = true;
  data->IsFlashWidthSupported(16, supported);
  EXPECT_FALSE(supported);
  data->IsFlashWidthSupported(32, supported);
  EXPECT_TRUE(supported);
  std::int32_t width = 0;
  data->GetDefaultFlashWidth(width);
  EXPECT_EQ(16, width);
  EXPECT_EQ(16u, data->FlashMemorySpaces().at(0).widthInBits);
}

// ---- CFI geometry, read from the simulated NOR flash by command 41

class CfiGeometry : public DriverOnChip {
protected:
  explicit CfiGeometry(hostsim::SimFlashLayout layout = hostsim::SimFlashLayout::Stm32F10x(128 * 1024).WithCfiFlash())
      : DriverOnChip({"F103", eSTM32F103RBT6, hostsim::SimChipConfig::Stm32F103(), std::move(layout)}) {}
  TCFI_FLASH_ARM_CORTEX_M3& Cfi() { return *WriterObject<TCFI_FLASH_ARM_CORTEX_M3>(CFIWriter()); }
  bool Query() { return Cfi().QueryFlash(Result); }
  bool Width(std::int32_t w) {
    bool supported = false;
    EXPECT_EQ(S_OK, Cfi().IsFlashWidthSupported(w, supported));
    return supported;
  }
  std::int32_t DefaultWidth(std::int32_t before) {
    EXPECT_EQ(S_OK, Cfi().GetDefaultFlashWidth(before));
    return before;
  }

  TRemoteCommandResult Result;  // of the last query
};

TEST_F(CfiGeometry, TwoRegionsFromTheFlashBase) {
  ASSERT_TRUE(Query());
  auto& cfi = Cfi();
  EXPECT_EQ(4194304, cfi.Size()) << "size word 22";
  EXPECT_EQ(0x10000000, cfi.BaseAddress());
  EXPECT_EQ(2u, cfi.NumberOfEraseBlockRegions());
  EXPECT_EQ(2u, cfi.CommandSet());
  EXPECT_EQ(8u, SectorOf(cfi, 0x10010000));
  EXPECT_EQ(7u, SectorOf(cfi, 0x1000FFFF));
  EXPECT_EQ(0x10020000u, AddressOf(cfi, 9));
  EXPECT_EQ(0x1000E000u, AddressOf(cfi, 7));
  EXPECT_EQ(8192u, cfi.GetSectorSize(7));
  EXPECT_EQ(65536u, cfi.GetSectorSize(8));
  // Past the last region: the total number of blocks, the base, no size.
  EXPECT_EQ(71u, SectorOf(cfi, 0x10400000));
  EXPECT_EQ(0x10000000u, AddressOf(cfi, 71));
  EXPECT_EQ(0u, cfi.GetSectorSize(71));
  // A chunk's offset lies before the base: sector 0.
  EXPECT_EQ(0u, SectorOf(cfi, 0x00010000));
  EXPECT_TRUE(Width(8));
  EXPECT_TRUE(Width(16));
  EXPECT_FALSE(Width(32));
  EXPECT_EQ(8, DefaultWidth(77));
  // The install after the query initialises with the command set.
  TakeCommands();
  std::int32_t installed = 0;
  ASSERT_EQ(S_OK, cfi.InstallDriver(installed));
  const auto commands = TakeCommands();
  ASSERT_EQ(1u, commands.size());
  EXPECT_EQ((std::array<std::uint32_t, 4>{0x10000000, 16, 2, 0}), commands[0].Args);
  cfi.UninstallDriver(installed);
}

TEST_F(CfiGeometry, AFailedQueryLeavesNoRegionsAndNoWidths) {
  ASSERT_TRUE(Query());
  Programmer.FailCommand(41, 7, 2);
  EXPECT_FALSE(Query());
  auto& cfi = Cfi();
  EXPECT_FALSE(cfi.QueryOk());
  EXPECT_EQ(0u, cfi.NumberOfEraseBlockRegions());
  EXPECT_EQ(0u, SectorOf(cfi, 0x10010000));
  EXPECT_EQ(0x10000000u, AddressOf(cfi, 5)) << "the base of the last good query";
  EXPECT_FALSE(Width(8));
  EXPECT_EQ(77, DefaultWidth(77)) << "no width: the output is left as it was";
}

class CfiOneRegion : public CfiGeometry {
protected:
  CfiOneRegion() : CfiGeometry(hostsim::SimFlashLayout::Stm32F10x(128 * 1024).WithCfiFlash({{63, 16 * 1024}}, 2)) {}
};

TEST_F(CfiOneRegion, RegionWord0040003EIs63BlocksOf16KB) {
  ASSERT_TRUE(Query());
  auto& cfi = Cfi();
  EXPECT_EQ(0x0040003Eu, Result.resultArray[4]) << "region word 1";
  EXPECT_EQ(1u, cfi.NumberOfEraseBlockRegions());
  EXPECT_EQ(62u, SectorOf(cfi, 0x10000000 + 62 * 16384));
  EXPECT_EQ(63u, SectorOf(cfi, 0x10000000 + 63 * 16384));
  EXPECT_EQ(16384u, cfi.GetSectorSize(62));
  EXPECT_EQ(0u, cfi.GetSectorSize(63));
  // Widths word 2: 16 bits only.
  EXPECT_FALSE(Width(8));
  EXPECT_TRUE(Width(16));
  EXPECT_EQ(16, DefaultWidth(77));
}

// ---- The vector checksum of the parallel writers

TDataChunkImage VectorImage(std::uint32_t address, std::uint32_t length) {
  TDataChunkImage image;
  image.TargetAddr = address;
  image.DataArray.SetLength(length);
  image.DataLen = length;
  // Words 0-4, 6 and 7 sum to 0x10; word 5 holds a stale value.
  std::uint32_t words[8] = {0x20005000, 0x08000101, 2, 3, 4, 0x12345678, 0xE0000000, 0};
  words[7] = 0x10u - (words[0] + words[1] + words[2] + words[3] + words[4] + words[6]);
  for (std::uint32_t k = 0; k < 8 && 4 * k + 3 < length; ++k)
    PutTargetWord(image.DataArray.Data() + 4 * k, words[k], false);
  return image;
}

TEST(VectorChecksum, OnlyAnImageAtAddressZeroWithItsVectorsGetsIt) {
  auto parallel = Make<TRemoteExecuteBaseDriverParallelFlash>();
  TDataChunkImage atZero = VectorImage(0, 64);
  std::uint32_t sum = 0;
  for (std::uint32_t k : {0u, 1u, 2u, 3u, 4u, 6u, 7u}) sum += TargetWord(atZero.DataArray.Data() + 4 * k, false);
  ASSERT_EQ(0x10u, sum);
  parallel->InjectChecksum(atZero);
  EXPECT_EQ((std::vector<std::uint32_t>{0xF0, 0xFF, 0xFF, 0xFF}),
            std::vector<std::uint32_t>(atZero.DataArray.Data() + 20, atZero.DataArray.Data() + 24));

  for (TDataChunkImage image : {VectorImage(0x100, 64), VectorImage(0x08000000, 64), VectorImage(0, 28)}) {
    const std::vector<std::uint32_t> before = image.DataArray.Cells();
    parallel->InjectChecksum(image);
    EXPECT_EQ(before, image.DataArray.Cells()) << std::hex << image.TargetAddr << " " << image.DataLen;
  }
  // The on-chip writers add none.
  TDataChunkImage onChip = VectorImage(0, 64);
  const std::vector<std::uint32_t> before = onChip.DataArray.Cells();
  Make<TFLASH_STM32F10X_128>()->InjectChecksum(onChip);
  EXPECT_EQ(before, onChip.DataArray.Cells());
}

// ---- Serial devices

TEST(SerialDevices, SelectionByNameSetsTheDeviceAndItsFlashSpace) {
  auto serial = Make<TRemoteExecuteBaseDriverSerialFlash>();
  EXPECT_EQ(eM25P80, serial->Kind());
  EXPECT_TRUE(serial->FlashMemorySpaces().empty());

  serial->SetSelectedDevice(L"m25p16");
  EXPECT_EQ(eM25P16, serial->Kind());
  WideString title;
  serial->GetRemoteDriverDeviceTitle(title);
  EXPECT_EQ(L"Embedded Flash - M25P16", title);
  ASSERT_EQ(1u, serial->FlashMemorySpaces().size());
  const TFlashMemorySpace space = serial->FlashMemorySpaces()[0];
  EXPECT_EQ(0u, space.globalMemorySpaceIndex);
  EXPECT_EQ(0u, space.startAddress);
  EXPECT_EQ(2u * 1024 * 1024, space.endAddress);
  EXPECT_EQ(8u, space.widthInBits);
  EXPECT_EQ(31u, SectorOf(*serial.Get(), 0x1FFFFF));
  EXPECT_EQ(0x10000u, AddressOf(*serial.Get(), 1));
  EXPECT_EQ(3u, serial->GetFlashPageFromAddress(0, 0x3FF));

  serial->SetSelectedDevice(L"Embedded Flash - M25P128");
  EXPECT_EQ(eM25P128, serial->Kind());
  EXPECT_EQ(64u * 256 * 1024, serial->FlashMemorySpaces()[0].endAddress);
  serial->SetSelectedDevice(L"AT45DB161");
  EXPECT_EQ(eM25P128, serial->Kind()) << "an unknown name changes nothing";
  EXPECT_EQ(1u, serial->FlashMemorySpaces().size());

}

// The list the flash memory utility dialog offers: the serial writer's nine
// devices in table order; every other writer's is empty.
TEST(SupportedDevices, AServedListOfTheSerialDevicesAndEmptyForTheOthers) {
  DispatchFixStartup();
  auto serial = Make<TRemoteExecuteBaseDriverSerialFlash>();
  IDispatch* s = static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(serial.Get()));
  TCall list = Call(s, 508837);
  ASSERT_EQ(S_OK, list.Hr);
  ASSERT_TRUE(list.Dispatch());
  EXPECT_TRUE(Supports(list.Dispatch(), L"Strings"));
  ASSERT_EQ(9, Call(list.Dispatch(), 660).Int());
  EXPECT_EQ(L"Embedded Flash - M25P05", Call(list.Dispatch(), 661, {I4(0)}).Text());
  EXPECT_EQ(L"Embedded Flash - M25P80", Call(list.Dispatch(), 661, {I4(4)}).Text());
  EXPECT_EQ(L"Embedded Flash - M25P128", Call(list.Dispatch(), 661, {I4(8)}).Text());
  EXPECT_NE(list.Dispatch(), Call(s, 508837).Dispatch()) << "a new list each time";

  for (TFlashWriterCreate create : {&CreateFlashWriter<TFLASH_STM32F10X_128>, &CreateFlashWriter<TCFI_FLASH_ARM_CORTEX_M3>}) {
    ComRef<IDispatch> writer(create(nullptr, true));
    TCall empty = Call(writer.Get(), 508837);
    ASSERT_EQ(S_OK, empty.Hr);
    ASSERT_TRUE(empty.Dispatch());
    EXPECT_EQ(0, Call(empty.Dispatch(), 660).Int());
  }
}

}  // namespace

}  // namespace writers_test
