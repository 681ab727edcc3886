// Every writer class answers its constants through its dispatch identifiers,
// as the host and the flash memory utility dialog read them: texts, remote
// driver file, RAM layout, flash space, sector geometry, widths and the
// actions it supports; and every driver's writer list holds its row's
// classes, then the CFI writer.
#include "WritersFixture.h"

#include "Tovik.Classes.FlashDevices.h"
#include "ZUL.Util.h"

#include <optional>
#include <set>
#include <string>

namespace writers_test {
namespace {

using namespace tvk;

constexpr unsigned k8 = 1, k16 = 2, k32 = 4;  // accepted widths
const std::set<unsigned> kOnChipActions = {40, 51, 52, 53, 56, 57, 58};
const std::set<unsigned> kParallelActions = {51, 52, 53, 56};
const std::set<unsigned> kSerialActions = {51, 52, 53, 56, 57};

struct Space {
  std::uint32_t Start, End, Width;
};

struct Constants {
  std::wstring Class;
  TFlashWriterCreate Create;
  std::wstring Title, DeviceName, File;  // File: in the Templates folder; empty: none
  std::uint32_t DriverBase, ParamBase, DataBase;
  std::optional<Space> FlashSpace;
  std::uint32_t LastSector, LastSectorStart;
  unsigned Widths;
  std::optional<long> DefaultWidth;  // none: the output is left as it was
  std::set<unsigned> Actions;
};

// An on-chip writer: the remote driver at 0x20000000, the parameter block
// after its driver area, the data area 52 bytes on; sectors of one size.
Constants OnChip(std::wstring cls, TFlashWriterCreate create, std::wstring title, std::wstring name,
                 std::wstring file, std::uint32_t base, std::uint32_t sectors, std::uint32_t sectorSize,
                 std::uint32_t width, unsigned widths, std::uint32_t driverArea = 0x400) {
  const std::uint32_t param = 0x20000000 + driverArea;
  return {std::move(cls), create, std::move(title), std::move(name), std::move(file), 0x20000000, param, param + 52,
          Space{base, base + sectors * sectorSize, width}, sectors - 1, base + (sectors - 1) * sectorSize, widths,
          long(width), kOnChipActions};
}

// STM32F2: 16 KB sectors 0-3, 64 KB sector 4, then 128 KB sectors.
Constants F2(std::wstring cls, TFlashWriterCreate create, std::uint32_t sectors) {
  const std::uint32_t size = 0x20000 + (sectors - 5) * 0x20000;
  Constants c = OnChip(std::move(cls), create, L"STM32F2XX Flash Memory",
                       L"STM32F2XXXX/" + std::to_wstring(size / 1024) + L"K", L"ARM_RD_STM32F2XX.hex", 0x08000000, 1,
                       size, 8, k8);
  c.LastSector = sectors - 1;
  c.LastSectorStart = 0x08000000 + (sectors - 1 - 4) * 0x20000;
  return c;
}

Constants F1(std::wstring cls, TFlashWriterCreate create, std::uint32_t sectors, std::uint32_t sectorSize) {
  return OnChip(std::move(cls), create, L"STM32F10X Flash Memory",
                L"STM32F10X/" + std::to_wstring(sectors * sectorSize / 1024) + L"K", L"ARM_RD_STM32F10X.hex",
                0x08000000, sectors, sectorSize, 16, k16);
}

Constants L1(std::wstring cls, TFlashWriterCreate create, std::uint32_t sectors) {
  return OnChip(std::move(cls), create, L"STM32L1XX Program Memory",
                L"STM32L1XX/" + std::to_wstring(sectors * 4) + L"+4K$Program Flash", L"ARM_RD_STM32L15X.hex",
                0x08000000, sectors, 4096, 16, k32);
}

Constants W1(std::wstring cls, TFlashWriterCreate create, std::uint32_t sectors) {
  return OnChip(std::move(cls), create, L"STM32W10X Flash Memory", L"STM32W108/" + std::to_wstring(sectors) + L"K",
                L"ARM_RD_STM32W108.hex", 0x08000000, sectors, 1024, 16, k16, 0x500);
}

#define WRITER_CLASS_ROW(Class) L## #Class, &CreateFlashWriter<Class>

const std::vector<Constants>& AllWriterClasses() {
  static const std::vector<Constants> classes = {
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X), 16, 1024),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_16), 16, 1024),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_32), 32, 1024),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_64), 64, 1024),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_128), 128, 1024),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_256), 128, 2048),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_384), 192, 2048),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_512), 256, 2048),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_768), 384, 2048),
      F1(WRITER_CLASS_ROW(TFLASH_STM32F10X_1024), 512, 2048),
      F2(WRITER_CLASS_ROW(TFLASH_STM32F2XX), 6),
      F2(WRITER_CLASS_ROW(TFLASH_STM32F2XX_128), 6),
      F2(WRITER_CLASS_ROW(TFLASH_STM32F2XX_256), 6),
      F2(WRITER_CLASS_ROW(TFLASH_STM32F2XX_512), 8),
      F2(WRITER_CLASS_ROW(TFLASH_STM32F2XX_768), 10),
      F2(WRITER_CLASS_ROW(TFLASH_STM32F2XX_1024), 12),
      L1(WRITER_CLASS_ROW(TFLASH_STM32L1XX_32), 8),
      L1(WRITER_CLASS_ROW(TFLASH_STM32L1XX_64), 16),
      L1(WRITER_CLASS_ROW(TFLASH_STM32L1XX_128), 32),
      OnChip(WRITER_CLASS_ROW(TFLASH_STM32L1XX_DATA_4), L"STM32L1XX Data Memory", L"STM32L1XX/4+4K$Data Flash (EEPROM)",
             L"ARM_RD_STM32L15X_DATA.hex", 0x08080000, 1, 4096, 16, k32),
      W1(WRITER_CLASS_ROW(TFLASH_STM32W10X), 64),
      W1(WRITER_CLASS_ROW(TFLASH_STM32W10X_64), 64),
      W1(WRITER_CLASS_ROW(TFLASH_STM32W10X_128), 128),
      // Before a query: no regions, so every address is sector 0 and every
      // sector the base, still -1; no width is known.
      {WRITER_CLASS_ROW(TCFI_FLASH_ARM_CORTEX_M3), L"CFI Flash Device", L"", L"ARM_RD_STM32_CFI.hex", 0x20000000, 0x20000900,
       0x20000940, Space{0x10000000, 0x12000000, 16}, 0, 0xFFFFFFFF, 0, std::nullopt, kParallelActions},
      // The framework's families that no device of this module names.
      {WRITER_CLASS_ROW(TRemoteExecuteBaseDriverParallelFlash), L"S29GLXXXA/M/N", L"", L"", 0, 0, 0, std::nullopt, 1, 0x20000,
       k8 | k16, 16, kParallelActions},
      {WRITER_CLASS_ROW(TRemoteExecuteBaseDriverCFIFlash), L"CFI Flash Device", L"", L"", 0, 0, 0, std::nullopt, 0,
       0xFFFFFFFF, 0, std::nullopt, kParallelActions},
      {WRITER_CLASS_ROW(TRemoteExecuteBaseDriverSerialFlash), L"Embedded Flash - M25P80", L"", L"", 0, 0, 0, std::nullopt, 1,
       0x10000, k8, 8, kSerialActions},
  };
  return classes;
}

#undef WRITER_CLASS_ROW

const Constants& ConstantsOf(std::wstring_view cls) {
  for (const Constants& c : AllWriterClasses())
    if (c.Class == cls) return c;
  throw std::runtime_error("no constants for a writer class");
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// Compares one writer's answers with its constants.
void ExpectConstants(IDispatch* w, const Constants& c) {
  SCOPED_TRACE(Narrow(c.Class));
  EXPECT_EQ(c.Title, Call(w, id::DeviceTitle).Text());
  EXPECT_EQ(c.DeviceName, Call(w, id::DeviceName).Text());
  EXPECT_EQ(c.File.empty() ? std::wstring() : GetTemplatesFolder() + c.File, Call(w, id::FileName).Text());
  EXPECT_EQ(!c.File.empty(), Call(w, id::IsDriverLoaded).Bool()) << "the stand-in is in the Templates folder";
  EXPECT_EQ(long(c.DriverBase), Call(w, id::DriverBase).Int());
  EXPECT_EQ(long(c.ParamBase), Call(w, id::ParamBase).Int());
  EXPECT_EQ(long(c.DataBase), Call(w, id::DataBase).Int());

  ASSERT_EQ(c.FlashSpace ? 1 : 0, Call(w, id::FlashSpaceCount).Int());
  if (c.FlashSpace) {
    long global = -1, start = -1, end = -1, width = -1;
    ASSERT_EQ(S_OK, Call(w, id::FlashSpace, {I4(0), RefI4(&global), RefI4(&start), RefI4(&end), RefI4(&width)}).Hr);
    EXPECT_EQ(0, global);
    EXPECT_EQ(long(c.FlashSpace->Start), start);
    EXPECT_EQ(long(c.FlashSpace->End), end);
    EXPECT_EQ(long(c.FlashSpace->Width), width);
    // The space ends at base + size: the end address itself is in it.
    EXPECT_TRUE(Call(w, id::IsAddressInFlashSpace, {I4(0), I4(long(c.FlashSpace->End))}).Bool());
    EXPECT_FALSE(Call(w, id::IsAddressInFlashSpace, {I4(0), I4(long(c.FlashSpace->End + 1))}).Bool());
    EXPECT_FALSE(Call(w, id::IsAddressInFlashSpace, {I4(1), I4(long(c.FlashSpace->Start))}).Bool());
  }

  auto sectorOf = [&](std::uint32_t a) { return std::uint32_t(Call(w, id::SectorFromAddress, {I4(0), I4(long(a))}).Int()); };
  EXPECT_EQ(c.LastSectorStart, std::uint32_t(Call(w, id::AddressFromSector, {I4(0), I4(long(c.LastSector))}).Int()));
  EXPECT_EQ(c.LastSector, sectorOf(c.LastSectorStart));
  if (c.LastSector > 0) {
    EXPECT_EQ(c.LastSector - 1, sectorOf(c.LastSectorStart - 1));
  }
  if (c.FlashSpace) {
    EXPECT_EQ(c.LastSector, sectorOf(c.FlashSpace->End - 1));
  }

  unsigned widths = 0;
  for (unsigned k = 0; k < 3; ++k) widths |= Call(w, id::IsFlashWidthSupported, {I4(8L << k)}).Bool() ? 1u << k : 0;
  EXPECT_EQ(c.Widths, widths);
  for (long odd : {0L, 4L, 12L, 64L}) EXPECT_FALSE(Call(w, id::IsFlashWidthSupported, {I4(odd)}).Bool()) << odd;
  if (c.DefaultWidth) {
    EXPECT_EQ(*c.DefaultWidth, Call(w, id::DefaultFlashWidth).Int());
  }

  std::set<unsigned> actions;
  for (unsigned action : {40u, 41u, 50u, 51u, 52u, 53u, 56u, 57u, 58u})
    if (Call(w, id::SupportsAction, {I4(long(action))}).Bool()) actions.insert(action);
  EXPECT_EQ(c.Actions, actions);
}

class WriterConstants : public ::testing::Test {
protected:
  void SetUp() override {
    DispatchFixStartup();
    ASSERT_TRUE(DeviceDataUnitStartup());
  }
  static ComRef<IDispatch> Make(TFlashWriterCreate create) { return ComRef<IDispatch>(create(nullptr, true)); }
};

TEST_F(WriterConstants, EveryWriterClassAnswersItsConstants) {
  for (const Constants& c : AllWriterClasses()) {
    ComRef<IDispatch> writer = Make(c.Create);
    ASSERT_TRUE(writer.Get());
    ExpectConstants(writer.Get(), c);
  }
}

// The device table's classes create the writers of their names.
TEST_F(WriterConstants, TheClassTableCreatesTheClassesItNames) {
  for (const TFlashWriterClass& cls : FlashWriterClasses()) {
    ASSERT_NE(nullptr, cls.Create) << Narrow(std::wstring(cls.Name));
    ComRef<IDispatch> writer = Make(cls.Create);
    ExpectConstants(writer.Get(), ConstantsOf(cls.Name));
  }
  EXPECT_EQ(L"TCFI_FLASH_ARM_CORTEX_M3", CFIFlashWriterClass().Name);
}

TEST_F(WriterConstants, EveryDriverListsItsRowsWritersThenTheCFIWriterWithTheFirstSelected) {
  for (const TDeviceParameters& row : kDeviceTable) {
    SCOPED_TRACE(Narrow(std::wstring(row.FullName)));
    std::unique_ptr<TCortexM3> driver(New<TCortexM3>(row.Kind));
    IDispatch* d = static_cast<IDispatch*>(driver.get());
    std::vector<std::wstring_view> classes = {row.RemoteExecutionDriver};
    if (!row.RemoteExecutionDriverData.empty()) classes.push_back(row.RemoteExecutionDriverData);
    classes.push_back(L"TCFI_FLASH_ARM_CORTEX_M3");
    ASSERT_EQ(long(classes.size()), Call(d, id::WriterCount).Int());
    for (std::size_t k = 0; k < classes.size(); ++k) {
      IDispatch* writer = Call(d, id::GetWriter, {I4(long(k))}).Dispatch();
      ASSERT_TRUE(writer);
      const Constants& c = ConstantsOf(classes[k]);
      EXPECT_EQ(c.DeviceName, Call(writer, id::DeviceName).Text()) << k;
      EXPECT_EQ(c.Title, Call(writer, id::DeviceTitle).Text()) << k;
      EXPECT_TRUE(Call(writer, id::IsDriverLoaded).Bool()) << k;
      if (k == 0) {
        EXPECT_EQ(writer, Call(d, id::SelectedWriter).Dispatch());
      }
    }
  }
}

// A writer whose remote driver file is missing is listed with its title and
// answers 1 to every operation.
TEST_F(WriterConstants, AWriterWithoutItsFileIsListedAndAnswersOne) {
  class TMissingFile : public TFLASH_STM32F10X_128 {
  public:
    using TFLASH_STM32F10X_128::TFLASH_STM32F10X_128;
    WideString GetDriverFileName() override {
      TFLASH_STM32F10X_128::GetDriverFileName();  // the titles
      return GetTemplatesFolder() + L"ARM_RD_MISSING.hex";
    }
  };
  ComRef<IDispatch> writer = Make(&CreateFlashWriter<TMissingFile>);
  IDispatch* w = writer.Get();
  EXPECT_EQ(L"STM32F10X Flash Memory", Call(w, id::DeviceTitle).Text());
  EXPECT_EQ(L"STM32F10X/128K", Call(w, id::DeviceName).Text());
  EXPECT_FALSE(Call(w, id::IsDriverLoaded).Bool());
  EXPECT_EQ(1, Call(w, id::EraseDevice, {I4(0)}).Int());
  EXPECT_EQ(1, Call(w, id::BlankCheckSectors, {I4(0), I4(0), I4(0)}).Int());
  EXPECT_EQ(1, Call(w, id::EraseSectorRange, {I4(0), I4(0), I4(1)}).Int());
}

}  // namespace

}  // namespace writers_test
