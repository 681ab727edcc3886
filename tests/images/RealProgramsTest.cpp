// One program linked by a real ARM toolchain (data/make_programs.sh), read in
// every format the loader knows: all describe the same bytes.
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace tvk;
namespace images_test {
using testsupport::RecordedDialogs;

namespace {

constexpr std::uint64_t kFlashBase = 0x08000000;

class RealPrograms : public ::testing::Test {
protected:
  ChunkLog Load(const std::wstring& name) {
    ChunkLog log;
    EXPECT_TRUE(LoadProgramFile(DataFile(name), log.Sink())) << name.c_str();
    return log;
  }
  RecordedDialogs dialogs;
};

TEST_F(RealPrograms, HexAndBinaryHoldWhatTheElfReports) {
  const ChunkLog elf = Load(L"program_be.elf");
  const ChunkLog hex = Load(L"program_be.hex");
  const ChunkLog bin = Load(L"program_be.bin");
  EXPECT_TRUE(dialogs.All().empty());

  // The ELF file: .text at the start of flash, .rodata after a gap.
  ASSERT_EQ(2u, elf.Chunks.size());
  EXPECT_EQ(kFlashBase, elf.Chunks[0].Address);
  EXPECT_EQ(kFlashBase + 0x200, elf.Chunks[1].Address);
  const auto elfMap = elf.Map();
  // The vector table's first word, big-endian as the file stores it.
  EXPECT_EQ(0x20, elfMap.at(kFlashBase));
  EXPECT_EQ(0x00, elfMap.at(kFlashBase + 1));
  EXPECT_EQ(0x50, elfMap.at(kFlashBase + 2));
  EXPECT_EQ('p', elfMap.at(kFlashBase + 0x200)) << "the message in .rodata";

  // The HEX file: one chunk over both sections, zero in the gap.
  ASSERT_EQ(1u, hex.Chunks.size());
  EXPECT_EQ(kFlashBase, hex.Chunks[0].Address);
  const auto hexMap = hex.Map();
  for (const auto& [address, byte] : elfMap) EXPECT_EQ(byte, hexMap.at(address)) << std::hex << address;
  for (const auto& [address, byte] : hexMap) {
    if (!elfMap.contains(address)) {
      EXPECT_EQ(0, byte) << "gap at " << std::hex << address;
    }
  }
  EXPECT_EQ(elf.Chunks[1].Address + elf.Chunks[1].Cells.size(), kFlashBase + hex.Chunks[0].Cells.size());

  // The binary: the HEX map moved down to 0.
  ASSERT_EQ(1u, bin.Chunks.size());
  EXPECT_EQ(0u, bin.Chunks[0].Address);
  EXPECT_EQ(hexMap, bin.Map(std::int64_t(kFlashBase)));
}

TEST_F(RealPrograms, LittleEndianElfIsRefused) {
  ChunkLog log;
  EXPECT_FALSE(LoadProgramFile(DataFile(L"program_le.elf"), log.Sink()));
  EXPECT_TRUE(log.Chunks.empty());
  EXPECT_EQ((std::vector<std::wstring>{L"program_le.elf is not an valid ELF file",
                                       L"Errors Found When Loading Elf File: program_le.elf\r\r"}),
            dialogs.Texts());
}

}  // namespace

}  // namespace images_test
