// Every stand-in program on the simulated flash of its STM32 family: loaded
// by a writer from the Templates folder, run at its RAM layout, changing
// flash that the access port can read but not write.
#include "FlashWriterFixture.h"

#include "Extension.SCH.Util.h"

namespace flashwrite_test {
using namespace testsupport;

namespace {

struct Family {
  const char* Name;
  TestWriterConfig Config;
  hostsim::SimFlashLayout (*Layout)();
  std::uint32_t Address;  // where the case programs
};

TestWriterConfig WriterFor(const wchar_t* file, std::uint32_t base, std::uint32_t sector, std::uint32_t count,
                        std::uint32_t driverArea = 1024, std::uint32_t resultBlock = 20) {
  TestWriterConfig c;
  c.FileName = file;
  c.FlashBase = base;
  c.SectorSize = sector;
  c.SectorCount = count;
  c.DriverAreaSize = driverArea;
  c.ResultBlockSize = resultBlock;
  return c;
}

const Family kFamilies[] = {
    {"STM32F10X", WriterFor(L"ARM_RD_STM32F10X.hex", kFlash, 1024, 128), [] { return hostsim::SimFlashLayout::Stm32F10x(128 * 1024); },
     kFlash + 0x400},
    {"STM32F2XX", WriterFor(L"ARM_RD_STM32F2XX.hex", kFlash, 16 * 1024, 4), [] { return hostsim::SimFlashLayout::Stm32F2xx(128 * 1024); },
     kFlash + 0x4000},
    {"STM32L15X", WriterFor(L"ARM_RD_STM32L15X.hex", kFlash, 4096, 32), [] { return hostsim::SimFlashLayout::Stm32L15x(128 * 1024); },
     kFlash + 0x1000},
    {"STM32L15X_DATA", WriterFor(L"ARM_RD_STM32L15X_DATA.hex", 0x08080000, 4096, 1),
     [] { return hostsim::SimFlashLayout::Stm32L15x(128 * 1024); }, 0x08080000},
    {"STM32W108", WriterFor(L"ARM_RD_STM32W108.hex", kFlash, 1024, 128, 1280), [] { return hostsim::SimFlashLayout::Stm32W108(128 * 1024); },
     kFlash + 0x800},
};

class FamilyStandIns : public FlashWriterTest, public ::testing::WithParamInterface<Family> {
protected:
  FamilyStandIns() : FlashWriterTest(GetParam().Config, GetParam().Layout()) {}
};

TEST_P(FamilyStandIns, ProgramVerifyAndReadBack) {
  const Family& f = GetParam();
  ASSERT_TRUE(Writer->IsDriverLoaded());
  EXPECT_EQ(0xE7FEE7FEu, Writer->DriverImage().DataArray[0] | Writer->DriverImage().DataArray[1] << 8 |
                             Writer->DriverImage().DataArray[2] << 16 | Writer->DriverImage().DataArray[3] << 24);
  const auto data = Pattern(64, 0x55);
  auto image = Image(f.Address, data);
  TCall call = Call(W(), id::ProgramImage, {I4(0), Obj(D(image)), Bool(false), Bool(true), Bool(false), Bool(true)});
  ASSERT_EQ(S_OK, call.Hr);
  EXPECT_EQ(0, call.Int());
  EXPECT_EQ(data, Peek(f.Address, 64));

  // Read through the access port, as the host does; its writes do not reach flash.
  tvk::IMemoryAccess* memory = nullptr;
  ASSERT_EQ(S_OK, Driver->QueryInterface(tvk::IID_IMemoryAccess, reinterpret_cast<void**>(&memory)));
  std::vector<std::uint32_t> cells(64);
  BOOL success = FALSE;
  ASSERT_EQ(S_OK, memory->MemoryRead(0, cells.data(), f.Address, 64, &success));
  EXPECT_TRUE(success);
  EXPECT_EQ(std::vector<std::uint32_t>(data.begin(), data.end()), cells);
  std::vector<std::uint32_t> zeros(64, 0);
  memory->MemoryWrite(0, zeros.data(), f.Address, 64, &success);
  EXPECT_EQ(data, Peek(f.Address, 64)) << "flash is read-only to the access port";

  EXPECT_EQ(0, Call(W(), id::EraseDevice, {I4(0)}).Int());
  EXPECT_EQ(std::vector<std::uint8_t>(64, 0xFF), Peek(f.Address, 64));
  EXPECT_EQ(1, Writer->Command(41, {f.Config.FlashBase})) << "no CFI query on chip: INVALID_COMMAND";
}

INSTANTIATE_TEST_SUITE_P(Families, FamilyStandIns, ::testing::ValuesIn(kFamilies),
                         [](const auto& info) { return std::string(info.param.Name); });

class CfiStandIn : public FlashWriterTest {
protected:
  CfiStandIn()
      : FlashWriterTest(WriterFor(L"ARM_RD_STM32_CFI.hex", hostsim::SimFlashProgrammer::kCfiBase, 8 * 1024, 8, 0x900, 32),
                        hostsim::SimFlashLayout::Stm32F10x(128 * 1024).WithCfiFlash()) {}
};

TEST_F(CfiStandIn, QueryAnswersTheGeometryAndEraseTakesOffsets) {
  ASSERT_EQ(0, Writer->Command(41, {hostsim::SimFlashProgrammer::kCfiBase}));
  const auto& r = Writer->CommandResult().resultArray;
  EXPECT_EQ(2u, r[0]) << "command set";
  EXPECT_EQ(22u, r[1]) << "4 MB";
  EXPECT_EQ(3u, r[2]) << "8 and 16 bits wide";
  EXPECT_EQ(2u, r[3]) << "regions";
  EXPECT_EQ(0x00200007u, r[4]) << "8 blocks of 8 KB";
  EXPECT_EQ(0x0100003Eu, r[5]) << "63 blocks of 64 KB";

  Board->Chip().Load(0x10010000, std::vector<std::uint8_t>(16, 0));
  EXPECT_EQ(0, Writer->Command(52, {0x10000, 0x10000, 12000})) << "the sector at offset 64 KB";
  EXPECT_EQ(std::vector<std::uint8_t>(16, 0xFF), Peek(0x10010000, 16));
}

}  // namespace

}  // namespace flashwrite_test
