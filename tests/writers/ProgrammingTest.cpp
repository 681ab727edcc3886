// The drivers' own writers program, erase and check the simulated flash of
// their chips end to end, through the driver's writer list and the writers'
// dispatch identifiers: a HEX file loaded as the flash memory utility dialog
// loads it, programmed with verify (508719) and read back; whole-device and
// per-sector erase; blank check; and the CFI writer before its query.
#include "WritersFixture.h"

#include "Extension.SCH.Util.h"
#include "images/ImageTestSupport.h"
#include "support/TestFolder.h"

#include <algorithm>

namespace writers_test {
namespace {

using namespace tvk;
using hostsim::SimChipConfig;
using hostsim::SimFlashLayout;

// An Intel HEX file of Bytes at Address, 16 bytes a line.
std::string HexFile(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  std::string text = images_test::HexLinear(address >> 16);
  for (std::size_t k = 0; k < bytes.size(); k += 16) {
    const std::uint32_t at = address + std::uint32_t(k);
    if ((at >> 16) != (address >> 16) && (at & 0xFFFF) < 16) text += images_test::HexLinear(at >> 16);
    text += images_test::HexData(at & 0xFFFF, std::vector<std::uint8_t>(bytes.begin() + std::ptrdiff_t(k),
                                                                         bytes.begin() + std::ptrdiff_t(std::min(k + 16, bytes.size()))));
  }
  return text + images_test::HexEnd();
}

// The file's bytes as a served image at Address, collected by the module's
// own loading helper.
ComRef<TDataChunkImageInterface> LoadHexImage(const std::wstring& path, std::uint32_t address) {
  TLoadFileCallBackHelper helper(&LoadProgramFile);
  EXPECT_TRUE(helper.ProcessFile(path));
  const TDynamicLongWordArray& cells = helper.GetBuffer();
  return ComRef<TDataChunkImageInterface>(
      New<TDataChunkImageInterface>(address, std::uint32_t(cells.Length()), cells));
}

struct Target {
  const char* Name;
  Chip (*MakeChip)();
  long WriterIndex;  // -1: the CFI writer, last in the list
  std::uint32_t Address;
  std::size_t Bytes;
  std::uint32_t ParamBlock;  // the command and result blocks, which no uninstall restores
  std::uint32_t ResultBlockSize;
};

void PrintTo(const Target& t, std::ostream* os) { *os << t.Name; }

Chip F207() {
  return {"F207", eSTM32F207ZGT6, SimChipConfig::Stm32F207(), SimFlashLayout::Stm32F2xx(1024 * 1024)};
}
Chip L152() { return {"L152", eSTM32L152RBT6, SimChipConfig::Stm32L152(), SimFlashLayout::Stm32L15x(128 * 1024)}; }
Chip W108() { return {"W108", eSTM32W108CBU6, SimChipConfig::Stm32F103(), SimFlashLayout::Stm32W108(128 * 1024)}; }

const Target kTargets[] = {
    {"STM32F103", &F103, 0, 0x08000403, 700, 0x20000400, 20},
    {"STM32F207", &F207, 0, 0x08004010, 700, 0x20000400, 20},
    {"STM32L152", &L152, 0, 0x08001003, 700, 0x20000400, 20},
    {"STM32L152_DataEeprom", &L152, 1, 0x08080010, 300, 0x20000400, 20},
    {"STM32W108", &W108, 0, 0x08000801, 700, 0x20000500, 20},
    {"CFI_NOR", &F103, -1, 0x10002003, 1500, 0x20000900, 32},
};

class Programming : public DriverOnChip, public ::testing::WithParamInterface<Target> {
protected:
  Programming() : DriverOnChip(GetParam().MakeChip()) {}
};

TEST_P(Programming, AHexFileProgrammedWithVerifyReadsBackEqual) {
  const Target& t = GetParam();
  IDispatch* writer = t.WriterIndex < 0 ? CFIWriter() : Writer(t.WriterIndex);
  ASSERT_TRUE(writer);
  ASSERT_TRUE(Call(writer, id::IsDriverLoaded).Bool());
  if (t.WriterIndex < 0) {
    TRemoteCommandResult result;
    ASSERT_TRUE(WriterObject<TCFI_FLASH_ARM_CORTEX_M3>(writer)->QueryFlash(result));
  }
  const std::vector<std::uint8_t> ram = Peek(0x20000000, 0x1000);
  const std::vector<std::uint8_t> data = Pattern(t.Bytes, 0x31);
  TestFolder folder;
  const auto image = LoadHexImage(folder.Write(L"program.hex", HexFile(t.Address, data)), t.Address);
  TakeCommands();

  TCall program = Call(writer, id::ProgramImage,
                       {I4(0), Obj(ImageDispatch(image)), Bool(false), Bool(false), Bool(false), Bool(true)});
  ASSERT_EQ(S_OK, program.Hr);
  EXPECT_EQ(0, program.Int());
  EXPECT_EQ(data, Peek(t.Address, t.Bytes));
  EXPECT_EQ(0xFF, Peek(t.Address - 1, 1)[0]) << "the rest of the unit erased";
  EXPECT_EQ(1000, Callback->Progress().back());
  const auto commands = TakeCommands();
  const auto count = [&](std::uint32_t command) {
    return std::count_if(commands.begin(), commands.end(), [&](const auto& c) { return c.Command == command; });
  };
  EXPECT_GT(count(56), 0) << "verified";
  EXPECT_EQ(count(51), count(56));
  EXPECT_TRUE(std::all_of(commands.begin(), commands.end(), [](const auto& c) { return c.Status == 0; }));

  // Read back as the host does, and compared by the writer.
  IMemoryAccess* memory = nullptr;
  ASSERT_EQ(S_OK, Driver->QueryInterface(IID_IMemoryAccess, reinterpret_cast<void**>(&memory)));
  std::vector<std::uint32_t> cells(t.Bytes);
  BOOL success = FALSE;
  ASSERT_EQ(S_OK, memory->MemoryRead(0, cells.data(), t.Address, std::int32_t(t.Bytes), &success));
  memory->Release();
  EXPECT_TRUE(success);
  EXPECT_EQ(std::vector<std::uint32_t>(data.begin(), data.end()), cells);
  TCall compare = Call(writer, id::CompareImage,
                       {I4(0), Obj(ImageDispatch(image)), I4(long(t.Address)), I4(long(t.Bytes)), Bool(false)});
  EXPECT_EQ(0, compare.Int()) << "no byte differs";

  // Target RAM is as it was, but for the command and result blocks.
  const std::vector<std::uint8_t> after = Peek(0x20000000, 0x1000);
  const std::size_t param = t.ParamBlock - 0x20000000, resultEnd = param + 20 + t.ResultBlockSize;
  EXPECT_TRUE(std::equal(ram.begin(), ram.begin() + std::ptrdiff_t(param), after.begin()));
  EXPECT_TRUE(std::equal(ram.begin() + std::ptrdiff_t(resultEnd), ram.end(), after.begin() + std::ptrdiff_t(resultEnd)));
  EXPECT_FALSE(Call(writer, id::IsDriverInstalled).Bool());
  EXPECT_TRUE(Dialogs.All().empty());
}

INSTANTIATE_TEST_SUITE_P(Chips, Programming, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- Erasing and blank check on the STM32F103's own flash and its CFI NOR

class Erasing : public DriverOnChip {
protected:
  std::vector<std::uint8_t> Erased(std::size_t n) { return std::vector<std::uint8_t>(n, 0xFF); }
  std::vector<std::uint8_t> Zeros(std::size_t n) { return std::vector<std::uint8_t>(n, 0); }
  static std::array<std::uint32_t, 4> Args(std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0,
                                           std::uint32_t d = 0) {
    return {a, b, c, d};
  }
};

TEST_F(Erasing, TheWholeDeviceInOneCommandForEveryOnChipWriter) {
  IDispatch* writer = Writer(0);
  EXPECT_TRUE(Call(writer, id::SupportsAction, {I4(58)}).Bool());
  EXPECT_FALSE(Call(CFIWriter(), id::SupportsAction, {I4(58)}).Bool());
  Preload(0x08000000, Zeros(64));
  Preload(0x0801FFC0, Zeros(64));
  TakeCommands();
  EXPECT_EQ(0, Call(writer, id::EraseDevice, {I4(0)}).Int());
  EXPECT_EQ(Erased(64), Peek(0x08000000, 64));
  EXPECT_EQ(Erased(64), Peek(0x0801FFC0, 64));
  const auto commands = TakeCommands();
  ASSERT_EQ(2u, commands.size());
  EXPECT_EQ(40u, commands[0].Command);
  EXPECT_EQ(Args(0x08000000, 16), commands[0].Args) << "initialised with the flash start and width";
  EXPECT_EQ(58u, commands[1].Command);
}

TEST_F(Erasing, ARangeGoesOnPastAFailedSectorAndAnswersTheLastSectorsStatus) {
  IDispatch* writer = Writer(0);
  Preload(0x08000C00, Zeros(3 * 1024));  // sectors 3, 4 and 5
  Programmer.FailCommand(52, 8, 2);      // sector 4
  TakeCommands();
  EXPECT_EQ(0, Call(writer, id::EraseSectorRange, {I4(0), I4(3), I4(5)}).Int());
  EXPECT_EQ(Erased(1024), Peek(0x08000C00, 1024));
  EXPECT_EQ(Zeros(1024), Peek(0x08001000, 1024)) << "the failed sector";
  EXPECT_EQ(Erased(1024), Peek(0x08001400, 1024)) << "the loop went on";
  const auto commands = TakeCommands();
  ASSERT_EQ(5u, commands.size());
  EXPECT_EQ(Args(3, 5), commands[1].Args) << "prepare";
  EXPECT_EQ(Args(0x08000C00, 0x08001000), commands[2].Args);
  EXPECT_EQ(Args(0x08001000, 0x08001400), commands[3].Args);
  EXPECT_EQ(Args(0x08001400, 0x08001800), commands[4].Args);

  Programmer.FailCommand(52, 9, 6);  // the last sector of the next range
  EXPECT_EQ(9, Call(writer, id::EraseSectorRange, {I4(0), I4(3), I4(5)}).Int());
  EXPECT_EQ(Erased(1024), Peek(0x08001000, 1024));
}

TEST_F(Erasing, BlankCheckTestsTheFirstSectorOfItsRangeOnly) {
  IDispatch* writer = Writer(0);
  Preload(0x08001000, Zeros(16));  // sector 4
  TakeCommands();
  EXPECT_EQ(0, Call(writer, id::BlankCheckSectors, {I4(0), I4(3), I4(4)}).Int());
  EXPECT_EQ(8, Call(writer, id::BlankCheckSectors, {I4(0), I4(4), I4(4)}).Int()) << "SECTOR_NOT_BLANK";
  const auto commands = TakeCommands();
  ASSERT_EQ(4u, commands.size());
  EXPECT_EQ(Args(0x08000C00, 1024, 0), commands[1].Args);
  EXPECT_EQ(Args(0x08001000, 1024, 0), commands[3].Args);
}

TEST_F(Erasing, CFISectorsAreErasedAndCheckedByTheirOffsets) {
  IDispatch* cfi = CFIWriter();
  TRemoteCommandResult result;
  ASSERT_TRUE(WriterObject<TCFI_FLASH_ARM_CORTEX_M3>(cfi)->QueryFlash(result));
  Preload(0x1000E000, Zeros(0x12000));  // sectors 7 (8 KB) and 8 (64 KB)
  TakeCommands();
  EXPECT_EQ(0, Call(cfi, id::EraseSectorRange, {I4(0), I4(7), I4(8)}).Int());
  EXPECT_EQ(Erased(0x12000), Peek(0x1000E000, 0x12000));
  EXPECT_EQ(0, Call(cfi, id::BlankCheckSectors, {I4(0), I4(8), I4(8)}).Int());
  const auto commands = TakeCommands();
  ASSERT_EQ(6u, commands.size());
  EXPECT_EQ(Args(7, 8), commands[1].Args) << "prepare: sectors of the addresses";
  EXPECT_EQ(Args(0xE000, 0xE000, 12000), commands[2].Args);
  EXPECT_EQ(Args(0x10000, 0x10000, 12000), commands[3].Args);
  EXPECT_EQ(Args(0x10000, 0x10000), commands[5].Args) << "blank check: offset and size of the sector";
}

// Before a query the CFI writer knows no sectors: erasing by programming
// cannot widen the range to whole sectors and must not touch the target.
TEST_F(Erasing, CFIEraseByProgrammingBeforeAQueryFailsAndRestoresRam) {
  IDispatch* cfi = CFIWriter();
  Preload(0x10000000, Zeros(64));
  const std::vector<std::uint8_t> ram = Peek(0x20000000, 0x1000);
  TakeCommands();
  TCall erase = Call(cfi, id::EraseAddressRange, {I4(0), I4(0x10000010), I4(0x10000020), Bool(true)});
  EXPECT_EQ(HRESULT(0x8000FFFF), erase.Hr);
  EXPECT_EQ(Zeros(64), Peek(0x10000000, 64)) << "flash unchanged";
  const std::vector<std::uint8_t> after = Peek(0x20000000, 0x1000);
  EXPECT_TRUE(std::equal(ram.begin(), ram.begin() + 0x900, after.begin())) << "the program's RAM restored";
  EXPECT_TRUE(std::equal(ram.begin() + 0x940, ram.end(), after.begin() + 0x940)) << "the data area restored";
  EXPECT_FALSE(Call(cfi, id::IsDriverInstalled).Bool());
  for (const auto& c : TakeCommands()) EXPECT_EQ(40u, c.Command) << "nothing but the install's initialisation";
  EXPECT_EQ(1000, Callback->Progress().back());
}

// The STM32F2's erase command names a sector by its start and start + 1024;
// the stand-in erases the whole sector.
class F2Sectors : public DriverOnChip {
protected:
  F2Sectors() : DriverOnChip(F207()) {}
};

TEST_F(F2Sectors, EachSectorIsErasedWholeByItsStartAddress) {
  IDispatch* writer = Writer(0);
  Preload(0x08010000, std::vector<std::uint8_t>(0x30000, 0));  // sectors 4 (64 KB) and 5 (128 KB)
  TakeCommands();
  EXPECT_EQ(0, Call(writer, id::EraseSectorRange, {I4(0), I4(4), I4(5)}).Int());
  EXPECT_EQ(std::vector<std::uint8_t>(0x30000, 0xFF), Peek(0x08010000, 0x30000));
  const auto commands = TakeCommands();
  ASSERT_EQ(4u, commands.size());
  EXPECT_EQ((std::array<std::uint32_t, 4>{0x08000000, 8, 0, 0}), commands[0].Args) << "8 bits wide";
  EXPECT_EQ((std::array<std::uint32_t, 4>{4, 5, 0, 0}), commands[1].Args);
  EXPECT_EQ((std::array<std::uint32_t, 4>{0x08010000, 0x08010400, 0, 0}), commands[2].Args);
  EXPECT_EQ((std::array<std::uint32_t, 4>{0x08020000, 0x08020400, 0, 0}), commands[3].Args);
}

// The parameter block follows the driver area (0x500 bytes on the STM32W108):
// the command written there stays, what the program and data area covered
// comes back.
class W108Layout : public DriverOnChip {
protected:
  W108Layout() : DriverOnChip(W108()) {}
};

TEST_F(W108Layout, TheParameterBlockFollowsTheLargerDriverArea) {
  IDispatch* writer = Writer(0);
  EXPECT_EQ(0x20000500, Call(writer, id::ParamBase).Int());
  EXPECT_EQ(0x20000534, Call(writer, id::DataBase).Int());
  const std::vector<std::uint8_t> ram = Pattern(0x800, 0x5A);
  ASSERT_TRUE(Board->Chip().Load(0x20000000, ram));
  EXPECT_EQ(0, Call(writer, id::EraseDevice, {I4(0)}).Int());
  const std::vector<std::uint8_t> after = Peek(0x20000000, 0x800);
  EXPECT_TRUE(std::equal(ram.begin(), ram.begin() + 0x500, after.begin())) << "the program's RAM";
  EXPECT_TRUE(std::equal(ram.begin() + 0x534, ram.end(), after.begin() + 0x534)) << "the data area";
  EXPECT_EQ((std::vector<std::uint8_t>{58, 0, 0, 0, 0, 0, 0, 0}), Peek(0x20000500, 8)) << "the last command block";
}

}  // namespace

}  // namespace writers_test
