// Intel HEX files through the program image loader: single records, address
// regions, and the exact texts and empty result of a bad file.
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace tvk;
namespace images_test {
using testsupport::RecordedDialogs;
using testsupport::TestFolder;

namespace {

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }
// A line without its line break.
std::string Bare(std::string line) { return line.substr(0, line.size() - 1); }
std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(HexRecord, LinesParseByTheirFields) {
  const std::string line = Bare(HexData(0, Bytes(0x10, 16)));
  struct Case {
    const char* what;
    std::string text;
    bool valid;
  };
  const Case cases[] = {
      {"16 data bytes, checksum right", line, true},
      {"checksum off by one", Bare(HexLine(0, 0, Bytes(0x10, 16), 1)), false},
      {"lower-case digits", Lower(Bare(HexData(0x10, {1, 0xAB, 0xCD, 0xEF}))), true},
      {"text after the checksum is ignored", line + "ZZ junk", true},
      {"no colon", line.substr(1) + "0", false},
      {"eight characters", ":0000000", false},
      {"cut inside the data", line.substr(0, 20), false},
      {"cut inside the checksum", line.substr(0, line.size() - 1), false},
      {"count claims more than the line holds", ":FF000000" + std::string(40, '0'), false},
      // A field's value stops at its first non-hex character: "0G" is 0.
      {"non-hex inside a data field", ":0200000001" "0G" "FD", true},
  };
  for (const Case& c : cases) {
    THexRecord record;
    EXPECT_EQ(c.valid, record.Import_FromHex(Widen(c.text))) << c.what;
  }
}

TEST(HexRecord, FieldsAndChecksumSum) {
  THexRecord record;
  ASSERT_TRUE(record.Import_FromHex(Widen(HexLine(0, 0x1234, {0xAA, 0x55}))));
  EXPECT_EQ(2, record.BytesInLine);
  EXPECT_EQ(0x1234, record.StartAddress);
  EXPECT_EQ(eHexLine_Data, record.HexLineKind);
  EXPECT_EQ(0xAA, record.DataBytes[0]);
  EXPECT_EQ(0x55, record.DataBytes[1]);
  EXPECT_EQ(0, record.CheckSum);
  ASSERT_FALSE(record.Import_FromHex(Widen(HexLine(7, 0, {1}, 3))));
  EXPECT_EQ(7, record.HexLineKind) << "the type byte is kept as it is";
  EXPECT_EQ(3, record.CheckSum) << "the low byte of the sum of the whole line";
}

class HexFiles : public ::testing::Test {
protected:
  bool Load(const std::string& text, const std::wstring& name = L"image.hex") {
    return LoadProgramFile(folder.Write(name, text), log.Sink());
  }
  TestFolder folder;
  RecordedDialogs dialogs;
  ChunkLog log;
};

TEST_F(HexFiles, RecordsOfOneRegionBecomeOneChunkWithZeroGaps) {
  ASSERT_TRUE(Load(HexLinear(0x0800) + HexData(0x0000, Bytes(1, 16)) + HexData(0x0020, Bytes(0x40, 16)) + HexEnd()));
  EXPECT_TRUE(dialogs.All().empty());
  ASSERT_EQ(1u, log.Chunks.size());
  EXPECT_EQ(0x08000000u, log.Chunks[0].Address);
  ASSERT_EQ(48u, log.Chunks[0].Cells.size());
  for (unsigned i = 0; i < 48; ++i) {
    const unsigned expected = i < 16 ? 1 + i : i < 32 ? 0 : 0x40 + (i - 32);
    EXPECT_EQ(expected, log.Chunks[0].Cells[i]) << i;
  }
}

TEST_F(HexFiles, EachLinearRegionHasItsOwnBase) {
  ASSERT_TRUE(Load(HexLinear(0x0800) + HexData(0x0010, Bytes(1, 4)) + HexData(0x0008, Bytes(9, 2)) +
                   HexLinear(0x2000) + HexData(0xFFFE, Bytes(0x70, 4)) + HexEnd()));
  ASSERT_EQ(2u, log.Chunks.size());
  EXPECT_EQ(0x08000008u, log.Chunks[0].Address) << "a region starts at its lowest record";
  EXPECT_EQ((std::vector<std::uint32_t>{9, 10, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}), log.Chunks[0].Cells);
  EXPECT_EQ(0x2000FFFEu, log.Chunks[1].Address) << "a record may run past the region's 64 KB";
  EXPECT_EQ((std::vector<std::uint32_t>{0x70, 0x71, 0x72, 0x73}), log.Chunks[1].Cells);
}

TEST_F(HexFiles, NoEmptyChunkAndSegmentRecordsMoveNothing) {
  // A segment address record between the data and a linear record at the end.
  ASSERT_TRUE(Load(HexData(0x0000, Bytes(1, 4)) + HexLine(2, 0, {0x10, 0x00}) + HexData(0x0004, Bytes(5, 4)) +
                   HexLine(3, 0, {0, 0, 0, 0}) + HexLinear(0x0800) + HexEnd()));
  ASSERT_EQ(1u, log.Chunks.size());
  EXPECT_EQ(0u, log.Chunks[0].Address);
  EXPECT_EQ((std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8}), log.Chunks[0].Cells);
}

TEST_F(HexFiles, UpperCaseExtensionIsHex) {
  ASSERT_TRUE(Load(HexData(0x0100, Bytes(0xA0, 2)) + HexEnd(), L"IMAGE.HEX"));
  ASSERT_EQ(1u, log.Chunks.size());
  EXPECT_EQ(0x100u, log.Chunks[0].Address);
}

TEST_F(HexFiles, BadLinesReportNothingAndNameTheFirst) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::wstring> messages;
  };
  const std::wstring summary = L"Errors Found When Loading Hex File: image.hex\r\r     Lines With Errors: ";
  const Case cases[] = {
      {"checksum off by one on line 1", HexLine(0, 0, Bytes(0, 16), 1) + HexEnd(),
       {L"Hex File Error : Line 1", summary + L"1"}},
      {"a short line 3 after good ones", HexData(0, Bytes(0, 16)) + HexData(16, Bytes(0, 16)) + ":10002000010203\n" + HexEnd(),
       {L"Hex File Error : Line 3", summary + L"1"}},
      {"two bad lines, one message for the first", HexData(0, Bytes(0, 4)) + "junk\n" + HexData(4, Bytes(0, 4)) +
                                                       HexLine(0, 8, Bytes(0, 4), -1) + HexEnd(),
       {L"Hex File Error : Line 2", summary + L"2"}},
  };
  for (const Case& c : cases) {
    dialogs.Clear();
    log.Chunks.clear();
    EXPECT_FALSE(Load(c.text)) << c.what;
    EXPECT_TRUE(log.Chunks.empty()) << c.what;
    EXPECT_EQ(c.messages, dialogs.Texts()) << c.what;
    for (const auto& shown : dialogs.All()) EXPECT_EQ(L"Error", shown.Caption) << c.what;
  }
}

TEST_F(HexFiles, MissingHexFileIsReported) {
  const std::wstring path = folder / L"absent.Hex";
  EXPECT_FALSE(LoadProgramFile(path, log.Sink()));
  EXPECT_EQ((std::vector<std::wstring>{L"File " + path + L" Not Found",
                                       L"Errors Found When Loading Hex File: absent.Hex\r\r     Lines With Errors: 0"}),
            dialogs.Texts());
  EXPECT_TRUE(log.Chunks.empty());
}

}  // namespace

}  // namespace images_test
