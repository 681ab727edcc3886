// The remote-execute base on the module's Cortex-M3 driver and the simulated
// chip: installing the stand-in program and putting target RAM back, the
// command block, one command's road to the core and back, aborts, and a
// writer without a program or without its driver.
#include "FlashWriterFixture.h"

#include <fstream>

namespace flashwrite_test {
using namespace testsupport;

namespace {

constexpr std::uint32_t kPatternBytes = 0x800;  // the image, the parameter block and the data area

class RemoteExecute : public FlashWriterTest {
protected:
  RemoteExecute() {
    EXPECT_TRUE(Board->Chip().Load(kSram, Before));
    Board->Chip().SetCoreRegisterValue(hostsim::cm3::REG_PC, 0);
  }
  std::int32_t Served(DISPID id) {
    TCall call = Call(W(), id);
    EXPECT_EQ(S_OK, call.Hr) << id;
    return call.Int();
  }
  // The stand-in image length.
  std::uint32_t ImageLength() const { return Writer->DriverImage().DataLen; }
  std::vector<std::uint8_t> Before = Pattern(kPatternBytes, 0x31);
};

TEST_F(RemoteExecute, InstallThenUninstallPutsTheImageAndDataAreasBack) {
  ASSERT_TRUE(Writer->IsDriverLoaded());
  ASSERT_GT(ImageLength(), 28u);
  ASSERT_EQ(1, Served(id::InstallDriver));
  EXPECT_TRUE(Writer->IsDriverInstalled());
  EXPECT_EQ(std::vector<std::uint32_t>{40}, TakeCommands()) << "the stand-in is initialised once";
  EXPECT_EQ(0xE7FEE7FEu, *Board->Chip().PeekWord(kSram)) << "the stand-in is in RAM";
  EXPECT_EQ(1, Served(id::InstallDriver)) << "installed already: nothing more";
  EXPECT_TRUE(TakeCommands().empty());

  ASSERT_EQ(0, Served(id::UninstallDriver));
  EXPECT_FALSE(Writer->IsDriverInstalled());
  const auto after = Peek(kSram, kPatternBytes);
  const std::uint32_t image = ImageLength(), param = kParamBlock - kSram, data = kDataArea - kSram;
  EXPECT_TRUE(std::equal(Before.begin(), Before.begin() + image, after.begin())) << "the image area";
  EXPECT_TRUE(std::equal(Before.begin() + image, Before.begin() + param, after.begin() + image))
      << "untouched between the image and the parameter block";
  EXPECT_TRUE(std::equal(Before.begin() + data, Before.begin() + data + 512, after.begin() + data))
      << "the data area";
  // 0x20000400-0x20000433 stay as command 40 left them: its block, its result, 12 bytes untouched.
  const std::vector<std::uint8_t> command40 = {40, 0, 0, 0, 0, 0, 0, 8, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(command40, Peek(kParamBlock, 40));
  EXPECT_EQ(std::vector<std::uint8_t>(Before.begin() + param + 40, Before.begin() + data), Peek(kParamBlock + 40, 12));
}

TEST_F(RemoteExecute, UninstallWithoutAnInstallWritesNothing) {
  const auto resets = Board->Chip().Resets();
  ASSERT_EQ(0, Served(id::UninstallDriver));
  EXPECT_EQ(Before, Peek(kSram, kPatternBytes));
  EXPECT_EQ(resets + 1, Board->Chip().Resets()) << "the processor is still reset";

  // Nor does a second uninstall after one that put RAM back.
  ASSERT_EQ(1, Served(id::InstallDriver));
  ASSERT_EQ(0, Served(id::UninstallDriver));
  const std::vector<std::uint8_t> changed(16, 0x5A);
  ASSERT_TRUE(Board->Chip().Load(kSram, changed));
  ASSERT_EQ(0, Served(id::UninstallDriver));
  EXPECT_EQ(changed, Peek(kSram, 16));
}

// The debug port dies while the program is in RAM: the restore fails and
// stays owed; a later install must not save the program as the user's RAM,
// and the next uninstall that reaches the chip puts the image and data areas back.
TEST_F(RemoteExecute, ARestoreThatFailedIsOwedUntilAnUninstallReachesTheChip) {
  ASSERT_EQ(1, Served(id::InstallDriver));
  ASSERT_EQ(0, Writer->Command(50, {0, 0}));
  Board->Dp().SetDead(hostsim::SimJtagDp::Dead::AllOnes);
  EXPECT_EQ(E_UNEXPECTED, Call(W(), id::UninstallDriver).Hr);
  Board->Dp().SetDead(hostsim::SimJtagDp::Dead::No);
  const std::uint32_t image = ImageLength(), data = kDataArea - kSram;
  EXPECT_NE(std::vector<std::uint8_t>(Before.begin(), Before.begin() + image), Peek(kSram, image))
      << "the program is still there";

  ASSERT_EQ(1, Served(id::InstallDriver));
  EXPECT_EQ(0, Writer->Command(50, {1, 1}));
  ASSERT_EQ(0, Served(id::UninstallDriver));
  const auto after = Peek(kSram, kPatternBytes);
  EXPECT_TRUE(std::equal(Before.begin(), Before.begin() + image, after.begin())) << "the image area";
  EXPECT_TRUE(std::equal(Before.begin() + data, Before.begin() + data + 512, after.begin() + data))
      << "the data area";
}

TEST_F(RemoteExecute, NestedScopesInstallOnceAndRestoreAtTheOuterEnd) {
  {
    tvk::TDriverTransaction outer(*Writer.Get());
    EXPECT_EQ(0, Writer->Command(50, {0, 0}));
    {
      tvk::TDriverTransaction inner(*Writer.Get());
      EXPECT_EQ(0, Writer->Command(50, {1, 1}));
    }
    EXPECT_TRUE(Writer->IsDriverInstalled());
    EXPECT_EQ(0xE7FEE7FEu, *Board->Chip().PeekWord(kSram));
  }
  EXPECT_EQ((std::vector<std::uint32_t>{40, 50, 50}), TakeCommands());
  EXPECT_FALSE(Writer->IsDriverInstalled());
  EXPECT_EQ(std::vector<std::uint8_t>(Before.begin(), Before.begin() + 0x400), Peek(kSram, 0x400));

  // The host keeps it installed over a series of operations.
  ASSERT_EQ(1, Served(id::InstallDriver));
  EXPECT_EQ(0, Writer->Command(50, {0, 0}));
  EXPECT_EQ(0, Writer->Command(50, {2, 2}));
  EXPECT_EQ(0xE7FEE7FEu, *Board->Chip().PeekWord(kSram)) << "no operation removed it";
  ASSERT_EQ(0, Served(id::UninstallDriver));
  EXPECT_EQ((std::vector<std::uint32_t>{40, 50, 50}), TakeCommands());
}

TEST_F(RemoteExecute, OneCommandResetsStartsAtTheEntryAndReadsItsResult) {
  Programmer.FailCommand(53, 8, 1);
  const auto resets = Board->Chip().Resets();
  EXPECT_EQ(8, Writer->Command(53, {0x08000000, 1024, 0}));
  EXPECT_EQ(8u, Writer->CommandResult().statusCode);
  // Install, command 40, command 53 and the uninstall each reset the processor.
  EXPECT_EQ(resets + 4, Board->Chip().Resets());
  EXPECT_EQ((std::vector<std::uint32_t>{40, 53}), TakeCommands());

  // The stand-in ran where the writer started the core and stopped it there.
  ASSERT_EQ(1, Served(id::InstallDriver));
  EXPECT_EQ(0, Writer->Command(53, {0x08000000, 1024, 0}));
  EXPECT_EQ(kSram, Board->Chip().CoreRegisterValue(hostsim::cm3::REG_PC));
  EXPECT_EQ(hostsim::SimStop::BkptInstruction, Board->Chip().LastStop());
  ASSERT_EQ(0, Served(id::UninstallDriver));
}

TEST_F(RemoteExecute, CommandBlocksInTheTargetsByteOrder) {
  ASSERT_EQ(1, Served(id::InstallDriver));
  Writer->Command(0x33, {0x01020304, 2, 3, 4, 5});
  EXPECT_EQ((std::vector<std::uint8_t>{0x33, 0, 0, 0, 4, 3, 2, 1, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0}),
            Peek(kParamBlock, 20))
      << "four arguments fill the block; the fifth is not sent";
  Writer->Command(0x33, {});
  EXPECT_EQ((std::vector<std::uint8_t>{0x33, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
            Peek(kParamBlock, 20));
  ASSERT_EQ(0, Served(id::UninstallDriver));

  TestWriterConfig bigEndian;
  bigEndian.ByteOrder = 1;
  auto writer = MakeWriter(bigEndian);
  writer->Command(0x33, {0x01020304});
  EXPECT_EQ((std::vector<std::uint8_t>{0, 0, 0, 0x33, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
            Peek(kParamBlock, 20));
  // The little-endian stand-in answered INVALID_COMMAND (1); read big-endian.
  EXPECT_EQ(0x01000000u, writer->CommandResult().statusCode);
}

TEST_F(RemoteExecute, AnAbortEndsTheWaitWithinOnePollAndPutsRamBack) {
  Programmer.SetKeepRunning(true);
  Callback->AbortFromQuestion(1);
  EXPECT_EQ(1, Writer->Command(50, {0, 0}));
  // The install's command 40 and command 50 each end at their first question.
  EXPECT_EQ(2u, Callback->Questions());
  EXPECT_TRUE(TakeCommands().empty()) << "the stand-in never finished";
  EXPECT_EQ(std::vector<std::uint8_t>(Before.begin(), Before.begin() + 0x400), Peek(kSram, 0x400)) << "the image area";
  EXPECT_EQ(std::vector<std::uint8_t>(Before.begin() + 0x434, Before.begin() + 0x634), Peek(kDataArea, 512));
  EXPECT_FALSE(Writer->IsDriverInstalled());
  bool aborting = true;
  EXPECT_EQ(S_OK, Writer->GetIsAborting(aborting));
  EXPECT_FALSE(aborting) << "cleared when the scope closed";
}

TEST_F(RemoteExecute, AbortOperationOnlySetsTheReportedFlag) {
  std::int32_t result = -1;
  ASSERT_EQ(S_OK, Writer->AbortOperation(result));
  EXPECT_EQ(0, result);
  EXPECT_TRUE(Call(W(), 508708).Bool());
  EXPECT_EQ(0, Writer->Command(50, {0, 0})) << "the command still runs";
  EXPECT_FALSE(Call(W(), 508708).Bool());
}

TEST_F(RemoteExecute, StopWordBreakpointsOnlyWhereAWriterKeepsThem) {
  EXPECT_EQ(std::vector<std::uint32_t>{28}, Writer->DriverBreakPoints()) << "the stand-in's branch to itself";
  Board->Device().ClearCalls();
  Board->Device().SetLogging(true);
  Writer->Command(50, {0, 0});
  EXPECT_EQ(0u, Board->Device().CallCount(508550)) << "no concrete writer sets them";

  TestWriterConfig keeps;
  keeps.StopWordBreakpoints = true;
  auto writer = MakeWriter(keeps);
  Fake breakpoint = MakeFake();
  Board->Device().ReturnObject(508550, AsDispatch(breakpoint));
  writer->Command(50, {0, 0});
  ASSERT_EQ(2u, Board->Device().CallCount(508550)) << "one per command: 40 and 50";
  for (const auto& call : Board->Device().Calls())
    if (call.Id == 508550) {
      EXPECT_EQ(0, call.Int(0));
      EXPECT_EQ(0x2000001C, call.Int64(1));
    }
}

TEST_F(RemoteExecute, StatusNames) {
  const std::pair<std::uint32_t, const wchar_t*> names[] = {
      {0, L"CMD_SUCCESS"}, {1, L"INVALID_COMMAND"}, {7, L"INVALID_SECTOR"},
      {9, L"SECTOR_NOT_PREPARED_FOR_WRITE_OPERATION"}, {11, L"BUSY"}, {12, L"STATUS_12"},
      {4294967295u, L"STATUS_4294967295"}};
  for (const auto& [code, name] : names) EXPECT_EQ(name, tvk::RemoteStatusName(code)) << code;
}

TEST_F(RemoteExecute, WithoutItsProgramTheWriterAnswersUnloaded) {
  TestWriterConfig missing;
  missing.FileName = L"absent.hex";
  auto writer = MakeWriter(missing);
  IDispatch* w = static_cast<IDispatch*>(static_cast<tvk::TAbstractSupportService*>(writer.Get()));
  EXPECT_FALSE(Call(w, 508705).Bool());
  EXPECT_TRUE(Call(w, 508704).Bool()) << "initialised all the same";
  auto image = Image(kFlash, {1, 2, 3, 4});
  EXPECT_EQ(0, Call(w, id::InstallDriver).Int());
  EXPECT_EQ(0, Call(w, id::UninstallDriver).Int());
  EXPECT_EQ(1, Call(w, id::ProgramImage, {I4(0), Obj(D(image)), Bool(false), Bool(false), Bool(false), Bool(true)}).Int());
  EXPECT_EQ(1, Call(w, id::EraseDevice, {I4(0)}).Int());
  EXPECT_EQ(1, Call(w, id::EraseSectorRange, {I4(0), I4(1), I4(1)}).Int());
  EXPECT_EQ(1, Call(w, id::BlankCheckSectors, {I4(0), I4(1), I4(1)}).Int());
  EXPECT_EQ(1, Call(w, id::CompareImage, {I4(0), Obj(D(image)), I4(kFlash), I4(4), Bool(false)}).Int());
  EXPECT_EQ(1, writer->Command(50, {0, 0}));
  EXPECT_TRUE(TakeCommands().empty());
  EXPECT_EQ(Before, Peek(kSram, kPatternBytes));
  EXPECT_TRUE(Callback->Progress().empty());
  EXPECT_TRUE(Dialogs.All().empty());
}

TEST_F(RemoteExecute, AProgramFileWithErrorsLeavesTheWriterUnloaded) {
  const std::wstring name = L"Broken_test_stand-in.hex";
  const std::wstring path = tvk::GetTemplatesFolder() + name;
  std::ofstream(path.c_str()) << ":020000042000DA\n:04000000FEE7FEE7FF\n:00000001FF\n";  // a checksum off
  TestWriterConfig broken;
  broken.FileName = name;
  auto writer = MakeWriter(broken);
  DeleteFileW(path.c_str());
  bool loaded = true;
  EXPECT_EQ(S_OK, writer->GetIsDriverLoaded(loaded));
  EXPECT_FALSE(loaded);
  EXPECT_EQ(2u, Dialogs.All().size()) << "the loader's messages";
  EXPECT_EQ(1, writer->Command(50, {0, 0}));
  EXPECT_EQ(Before, Peek(kSram, kPatternBytes));
}

TEST_F(RemoteExecute, AWriterThatOutlivesItsDriverAnswersUnloaded) {
  static constexpr tvk::TFlashWriterClass kClass{L"TTestFlashWriter", &tvk::CreateFlashWriter<TestFlashWriter>};
  auto* driver = tvk::New<tvk::TTovikProcessorDriver>(tvk::eDeviceProcessor_CORE_ARM_CORTEX_M3,
                                                      tvk::eDeviceProcessor_TYPE_HARD, &kClass);
  IDispatch* d = static_cast<IDispatch*>(driver);
  ASSERT_EQ(1, Call(d, 508745).Int());
  TCall selected = Call(d, 508744);
  ASSERT_NE(nullptr, selected.Dispatch());
  tvk::ComRef<IDispatch> held(selected.Dispatch());  // the host's reference
  EXPECT_TRUE(Call(held.Get(), 508705).Bool()) << "made through the virtual constructor, its program loaded";
  delete driver;

  auto image = Image(kFlash, {1, 2});
  EXPECT_EQ(0, Call(held.Get(), id::InstallDriver).Int());
  EXPECT_EQ(1, Call(held.Get(), id::ProgramImage, {I4(0), Obj(D(image)), Bool(false), Bool(false), Bool(false),
                                                   Bool(false)})
                   .Int());
  EXPECT_EQ(1, Call(held.Get(), id::EraseDevice, {I4(0)}).Int());
  EXPECT_EQ(0, Call(held.Get(), id::UninstallDriver).Int());
}

TEST_F(RemoteExecute, PropertiesAndFlashSpaces) {
  ASSERT_EQ(S_OK, Call(W(), 508688, {Str(L"Vendor")}).Hr);
  ASSERT_EQ(S_OK, Call(W(), 508689, {Str(L"Device")}).Hr);
  EXPECT_EQ(L"Vendor Device", Call(W(), 508695).Text()) << "no title: vendor, a blank, device";
  ASSERT_EQ(S_OK, Call(W(), 508687, {Str(L"Title")}).Hr);
  EXPECT_EQ(L"Title", Call(W(), 508695).Text());
  EXPECT_EQ(0x20000000, Call(W(), 508699).Int());
  EXPECT_EQ(0, Call(W(), 508700).Int()) << "the entry property stays 0";
  EXPECT_EQ(long(kParamBlock), Call(W(), 508701).Int());
  EXPECT_EQ(long(kDataArea), Call(W(), 508702).Int());

  EXPECT_EQ(1, Call(W(), 508726).Int());
  EXPECT_TRUE(Call(W(), 508731, {I4(0), I4(0x08020000)}).Bool()) << "the end address is inside";
  EXPECT_FALSE(Call(W(), 508731, {I4(1), I4(0x08000000)}).Bool()) << "another global space";
  EXPECT_FALSE(Call(W(), 508731, {I4(0), I4(0x08020001)}).Bool());
  EXPECT_EQ(0, Call(W(), 508727, {I4(2), I4(0x10000000), I4(0x10FFFFFF), I4(8)}).Int());
  long space = -1, start = -1, end = -1, width = -1;
  ASSERT_EQ(S_OK, Call(W(), 508746, {I4(1), RefI4(&space), RefI4(&start), RefI4(&end), RefI4(&width)}).Hr);
  EXPECT_EQ((std::vector<long>{2, 0x10000000, 0x10FFFFFF, 8}), (std::vector<long>{space, start, end, width}));
  ASSERT_EQ(S_OK, Call(W(), 508746, {I4(2), RefI4(&space), RefI4(&start), RefI4(&end), RefI4(&width)}).Hr);
  EXPECT_EQ(2, space) << "outside the list: untouched";
  ASSERT_EQ(S_OK, Call(W(), 508725).Hr);
  EXPECT_EQ(0, Call(W(), 508726).Int());
  EXPECT_TRUE(Call(W(), 508733, {I4(7)}).Bool());
  EXPECT_EQ(16, Call(W(), 508734).Int());
  for (long action : {50, 51, 52, 53, 56}) EXPECT_TRUE(Call(W(), 508735, {I4(action)}).Bool()) << action;
  for (long action : {40, 57, 58}) EXPECT_FALSE(Call(W(), 508735, {I4(action)}).Bool()) << action;
}

}  // namespace

}  // namespace flashwrite_test
