// The flash algorithm through the writer's dispatch identifiers, as the host
// and the flash memory utility dialog call it, on simulated STM32 flash:
// program and verify, progress, widening with and without preserve, chunk
// errors and the user's answer, erase, blank check and compare.
#include "FlashWriterFixture.h"

#include <array>

namespace flashwrite_test {
using namespace testsupport;

namespace {

class FlashWrite : public FlashWriterTest {
protected:
  using FlashWriterTest::FlashWriterTest;

  TCall Program(std::uint32_t address, const std::vector<std::uint8_t>& bytes, bool preserve = false,
                bool verify = true, long space = 0) {
    auto image = Image(address, bytes);
    return Call(W(), id::ProgramImage,
                {I4(space), Obj(D(image)), Bool(false), Bool(preserve), Bool(false), Bool(verify)});
  }
  TCall Compare(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    auto image = Image(address, bytes);
    return Call(W(), id::CompareImage, {I4(0), Obj(D(image)), I4(long(address)), I4(long(bytes.size())), Bool(false)});
  }
  // Flash set as if programmed long ago (the back door).
  void Preload(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(Board->Chip().Load(address, bytes));
  }
  std::vector<long> Progress() { return Callback->Progress(); }
  std::vector<std::uint8_t> Erased(std::size_t n) { return std::vector<std::uint8_t>(n, 0xFF); }
};

TEST_F(FlashWrite, ProgramsAndVerifiesChunkByChunk) {
  const auto data = Pattern(4096, 0x10);
  const auto ram = Peek(kSram, 0x800);
  TCall call = Program(kFlash + 0x1000, data);
  ASSERT_EQ(S_OK, call.Hr);
  EXPECT_EQ(0, call.Int());
  EXPECT_EQ(data, Peek(kFlash + 0x1000, 4096));
  EXPECT_EQ(Erased(0x1000), Peek(kFlash, 0x1000)) << "nothing else changed";

  std::vector<std::uint32_t> expected = {40, 50, 52, 52, 52, 52};  // prepare and erase pages 4-7
  for (int chunk = 0; chunk < 8; ++chunk) expected.insert(expected.end(), {50, 51, 56});
  EXPECT_EQ(expected, TakeCommands());
  // 900 over 8 chunks: 112 each, ending at 996, then 1000.
  std::vector<long> progress = {0, 0, 50, 100};
  for (int chunk = 1; chunk <= 8; ++chunk) progress.push_back(100 + 112 * chunk);
  progress.push_back(1000);
  EXPECT_EQ(progress, Progress());
  const auto after = Peek(kSram, 0x800);
  EXPECT_TRUE(std::equal(ram.begin(), ram.begin() + 0x400, after.begin())) << "the image area put back";
  EXPECT_TRUE(std::equal(ram.begin() + 0x434, ram.begin() + 0x634, after.begin() + 0x434)) << "the data area";
  EXPECT_TRUE(Dialogs.All().empty());
}

TEST_F(FlashWrite, CommandArgumentsAndStatusesThatAreNotLookedAt) {
  Programmer.FailCommand(40, 5, 1);  // the install's initialisation
  Programmer.FailCommand(52, 8, 1);  // the erase inside the write: provisional
  ASSERT_EQ(0, Program(kFlash + kPage, Pattern(512, 2), false, false).Int());
  EXPECT_EQ(Pattern(512, 2), Peek(kFlash + kPage, 512)) << "programming went on";
  const auto& commands = Programmer.Commands();
  ASSERT_EQ(7u, commands.size()) << "the page: two chunks";
  EXPECT_EQ((std::array<std::uint32_t, 4>{1, 1, 0, 0}), commands[1].Args) << "prepare: the page's sector";
  EXPECT_EQ((std::array<std::uint32_t, 4>{kFlash + kPage, kFlash + 2 * kPage, 0, 0}), commands[2].Args);
  EXPECT_EQ((std::array<std::uint32_t, 4>{kFlash + kPage, kDataArea, 512, 12000}), commands[4].Args)
      << "copy to flash: flash, RAM, count, kHz";
  TakeCommands();

  // The general erase: one command for the sector range, with kHz.
  TestWriterConfig general;
  general.EraseEachSector = false;
  auto writer = MakeWriter(general);
  std::int32_t result = -1;
  ASSERT_EQ(S_OK, writer->EraseSectorRange(0, 3, 5, result));
  ASSERT_EQ(3u, Programmer.Commands().size());
  EXPECT_EQ((std::array<std::uint32_t, 4>{3, 5, 12000, 0}), Programmer.Commands()[2].Args);
}

TEST_F(FlashWrite, OneKilobyteAtAPageBoundary) {
  ASSERT_EQ(0, Program(kFlash + 3 * kPage, Pattern(1024, 1), false, false).Int());
  EXPECT_EQ((std::vector<std::uint32_t>{40, 50, 52, 50, 51, 50, 51}), TakeCommands())
      << "one page erased, two chunks of 512";
  EXPECT_EQ((std::vector<long>{0, 0, 50, 100, 550, 1000, 1000}), Progress());
}

TEST_F(FlashWrite, PreserveKeepsTheSectorAndPadErasesThePage) {
  const auto old = Pattern(kPage, 0x80);
  for (bool preserve : {true, false}) {
    Preload(kFlash + kPage, old);
    const std::vector<std::uint8_t> ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(0, Program(kFlash + kPage + 4, ten, preserve).Int()) << preserve;
    std::vector<std::uint8_t> expected = preserve ? old : Erased(kPage);
    std::copy(ten.begin(), ten.end(), expected.begin() + 4);
    EXPECT_EQ(expected, Peek(kFlash + kPage, kPage)) << (preserve ? "preserve" : "pad");
    EXPECT_EQ(Erased(kPage), Peek(kFlash, kPage)) << "the page before";
  }
}

TEST_F(FlashWrite, ACancelledChunkErrorEndsTheWrite) {
  Programmer.FailCommand(51, 9, 2);  // the second chunk
  Dialogs.AnswerNext({IDCANCEL});
  const auto ram = Peek(kSram, 0x400);
  TCall call = Program(kFlash, Pattern(2048, 3), false, false);
  ASSERT_EQ(S_OK, call.Hr);
  EXPECT_EQ(9, call.Int());
  ASSERT_EQ(1u, Dialogs.All().size());
  EXPECT_EQ(L"Error: SECTOR_NOT_PREPARED_FOR_WRITE_OPERATION\r\n OK to continue?", Dialogs.All()[0].Text);
  EXPECT_EQ(L"Confirm", Dialogs.All()[0].Caption);
  EXPECT_EQ(Pattern(512, 3), Peek(kFlash, 512)) << "the first chunk";
  EXPECT_EQ(Erased(1536), Peek(kFlash + 512, 1536)) << "the failed and the later chunks";
  EXPECT_EQ((std::vector<long>{0, 0, 50, 100, 325, 1000}), Progress());
  EXPECT_EQ(ram, Peek(kSram, 0x400));
}

TEST_F(FlashWrite, AnAnsweredChunkErrorGoesOn) {
  Programmer.FailCommand(51, 12, 1);
  TCall call = Program(kFlash, Pattern(1024, 3), false, false);
  EXPECT_EQ((std::vector<std::wstring>{L"Error: STATUS_12\r\n OK to continue?"}), Dialogs.Texts());
  EXPECT_EQ(0, call.Int()) << "the later chunk's status is the result";
  EXPECT_EQ(Erased(512), Peek(kFlash, 512)) << "the failed chunk";
  const auto data = Pattern(1024, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + 512, data.end()), Peek(kFlash + 512, 512))
      << "the second chunk is written";
  EXPECT_EQ((std::vector<long>{0, 0, 50, 100, 550, 1000, 1000}), Progress());
}

TEST_F(FlashWrite, AbortBeforeAChunk) {
  Callback->AbortFromQuestion(4);  // two before widening and erasing, one in the erase, then the first chunk's
  EXPECT_EQ(1, Program(kFlash, Pattern(1024, 3)).Int());
  EXPECT_EQ((std::vector<std::uint32_t>{40, 50, 52}), TakeCommands());
  EXPECT_EQ((std::vector<long>{0, 0, 50, 100, 1000}), Progress());
}

TEST_F(FlashWrite, AnEmptyImageProgramsNothing) {
  EXPECT_EQ(0, Program(kFlash, {}).Int());
  EXPECT_TRUE(TakeCommands().empty());
  EXPECT_EQ((std::vector<long>{0, 0, 1000}), Progress());
}

TEST_F(FlashWrite, AnUnknownFlashSpaceIsTheFirst) {
  EXPECT_EQ(0, Program(kFlash + kPage, Pattern(16, 9), false, true, 7).Int());
  EXPECT_EQ(Pattern(16, 9), Peek(kFlash + kPage, 16));
}

TEST_F(FlashWrite, EraseByProgrammingLeavesTheEndAndTheRest) {
  const auto old = Pattern(kPage, 0x40);
  Preload(kFlash + 2 * kPage, old);
  TCall call = Call(W(), id::EraseAddressRange, {I4(0), I4(kFlash + 2 * kPage + 16), I4(kFlash + 2 * kPage + 32), Bool(true)});
  ASSERT_EQ(S_OK, call.Hr);
  EXPECT_EQ(0, call.Int());
  auto expected = old;
  std::fill(expected.begin() + 16, expected.begin() + 32, 0xFF);
  EXPECT_EQ(expected, Peek(kFlash + 2 * kPage, kPage));
}

TEST_F(FlashWrite, EraseBySectorAndDevice) {
  for (std::uint32_t s : {2u, 3u, 4u}) Preload(kFlash + s * kPage, Pattern(kPage, std::uint8_t(s)));
  ASSERT_EQ(0, Call(W(), id::EraseSectorRange, {I4(0), I4(3), I4(3)}).Int());
  EXPECT_EQ(Pattern(kPage, 2), Peek(kFlash + 2 * kPage, kPage));
  EXPECT_EQ(Erased(kPage), Peek(kFlash + 3 * kPage, kPage));
  EXPECT_EQ(Pattern(kPage, 4), Peek(kFlash + 4 * kPage, kPage));
  EXPECT_EQ((std::vector<std::uint32_t>{40, 50, 52}), TakeCommands());

  ASSERT_EQ(0, Call(W(), id::EraseDevice, {I4(0)}).Int());
  EXPECT_EQ((std::vector<std::uint32_t>{40, 58}), TakeCommands());
  EXPECT_EQ(Erased(5 * kPage), Peek(kFlash, 5 * kPage));
}

TEST_F(FlashWrite, BlankCheckOfTheFirstSector) {
  EXPECT_EQ(0, Call(W(), id::BlankCheckSectors, {I4(0), I4(5), I4(5)}).Int());
  Preload(kFlash + 5 * kPage + 100, {0x00});
  EXPECT_EQ(8, Call(W(), id::BlankCheckSectors, {I4(0), I4(5), I4(5)}).Int()) << "SECTOR_NOT_BLANK";
  EXPECT_EQ(0, Call(W(), id::BlankCheckSectors, {I4(0), I4(6), I4(6)}).Int());
}

TEST_F(FlashWrite, CompareCountsDifferingBytesInReadBlocks) {
  auto data = Pattern(2500, 0x21);
  Preload(kFlash + kPage, data);
  TCall same = Compare(kFlash + kPage, data);
  ASSERT_EQ(S_OK, same.Hr);
  EXPECT_EQ(0, same.Int());
  EXPECT_EQ((std::vector<long>{0, 500, 1000, 1000}), Progress()) << "two blocks of 1024, then 452";
  data[0] ^= 1;
  data[1500] ^= 0x80;
  data[2499] ^= 0xFF;
  EXPECT_EQ(3, Compare(kFlash + kPage, data).Int());
  EXPECT_EQ(0, Compare(kFlash, {}).Int()) << "nothing to compare";
  EXPECT_EQ(std::vector<std::uint32_t>(3, 40), TakeCommands()) << "each compare installs; it reads, it runs no command";
}

// ---- Progress that the chunk count divides

class FlashWriteLargeArea : public FlashWrite {
protected:
  FlashWriteLargeArea() : FlashWrite(Config(), hostsim::SimFlashLayout::Uniform(kFlash, 512, 256)) {}
  static TestWriterConfig Config() {
    TestWriterConfig config;
    config.SectorSize = 512;
    config.SectorCount = 256;
    config.DataAreaSize = 1024;
    return config;
  }
};

TEST_F(FlashWriteLargeArea, OneAndAHalfDataAreasEndAt1000) {
  const auto data = Pattern(1536, 5);
  ASSERT_EQ(0, Program(kFlash + 1024, data).Int());
  EXPECT_EQ(data, Peek(kFlash + 1024, 1536));
  // Two chunks (1024 and 512): 450 each, where 900 / ((n + 1) / c) would give 900.
  EXPECT_EQ((std::vector<long>{0, 0, 50, 100, 550, 1000, 1000}), Progress());
  for (long p : Progress()) EXPECT_LE(p, 1000);
}

}  // namespace

}  // namespace flashwrite_test
