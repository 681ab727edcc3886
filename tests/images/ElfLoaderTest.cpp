// ELF32 and raw binary files through the program image loader: which
// sections are reported, where names come from, and what bad files give.
#include "ImageTestSupport.h"

#include <gtest/gtest.h>

using namespace tvk;
namespace images_test {
using testsupport::RecordedDialogs;
using testsupport::TestFolder;

namespace {

class ElfFiles : public ::testing::Test {
protected:
  bool Load(const std::string& bytes, const std::wstring& name = L"image.elf") {
    path = folder.Write(name, bytes);
    return LoadProgramFile(path, log.Sink());
  }
  std::vector<std::uint64_t> Addresses() const {
    std::vector<std::uint64_t> a;
    for (const Chunk& c : log.Chunks) a.push_back(c.Address);
    return a;
  }
  std::vector<std::wstring> InvalidTexts() const {
    return {L"image.elf is not an valid ELF file", L"Errors Found When Loading Elf File: image.elf\r\r"};
  }
  TestFolder folder;
  RecordedDialogs dialogs;
  ChunkLog log;
  std::wstring path;
};

TEST_F(ElfFiles, AllocatedCodeAndConstantSectionsAreReportedInAddressOrder) {
  ElfFileImage elf;
  elf.Sections = {
      Section(".rodata.str1.4", 0x300, Body('a', 8)),
      Section(".text.startup", 0x100, Body(1, 16)),
      Section(".data", 0x200, Body(2, 4)).WithFlags(3),
      Section(".TEXT", 0x400, Body(3, 4)),
      Section(".text.debug", 0x500, Body(4, 4)).WithFlags(0),  // not allocated
      Section(".text.empty", 0x600),                           // size 0
      Section(".text.zero", 0x700).WithType(8).WithSize(6),    // no bits
      Section(".text.note", 0x800, Body(5, 4)).WithType(6),    // neither bit 0 nor 3
  };
  ASSERT_TRUE(Load(elf.Build()));
  EXPECT_TRUE(dialogs.All().empty());
  ASSERT_EQ((std::vector<std::uint64_t>{0x100, 0x300, 0x700}), Addresses());
  EXPECT_EQ(Cells(Body(1, 16)), log.Chunks[0].Cells);
  EXPECT_EQ(Cells(Body('a', 8)), log.Chunks[1].Cells);
  EXPECT_EQ(std::vector<std::uint32_t>(6, 0), log.Chunks[2].Cells) << "a no-bits section reports its size in zeros";
}

TEST_F(ElfFiles, SectionNamesComeFromTheTableTheHeaderNames) {
  ElfFileImage elf;
  elf.Sections = {Section(".text", 0x10, Body(1, 4))};
  // .strtab (symbol names) stands before .shstrtab, as linkers write it.
  TElfFile file(folder.Write(L"names.elf", elf.Build()), nullptr);
  ASSERT_TRUE(file.Load());
  ASSERT_NE(nullptr, file.StrTab());
  EXPECT_EQ(L".shstrtab", file.StrTab()->GetName());
  std::vector<std::wstring> names;
  for (const auto& s : file.Sections()) names.push_back(s->GetName());
  EXPECT_EQ((std::vector<std::wstring>{L"", L".strtab", L".shstrtab", L".text"}), names);

  // An index out of range, or naming no string table: the first string table.
  for (std::uint16_t index : {std::uint16_t(99), std::uint16_t(1)}) {
    elf.NameSectionIndex = index;
    elf.SymbolNamesFirst = false;
    TElfFile fallback(folder.Write(L"fallback.elf", elf.Build()), nullptr);
    ASSERT_TRUE(fallback.Load()) << index;
    EXPECT_EQ(L".shstrtab", fallback.StrTab()->GetName()) << index;
  }
}

TEST_F(ElfFiles, HostileNameOffsetsGiveEmptyOrCutNames) {
  ElfFileImage elf;
  elf.SymbolNamesFirst = false;
  elf.Sections = {
      Section(".text", 0x10, Body(1, 4)).WithNameOffset(0xFFFFFFF0),  // outside the table
      Section(".rodata", 0x20, Body(2, 4)),
  };
  const std::string built = elf.Build();
  TElfFile file(folder.Write(L"hostile.elf", built), nullptr);
  ASSERT_TRUE(file.Load());
  const TSection* text = nullptr;
  for (const auto& s : file.Sections())
    if (s->VirtualAddress() == 0x10) text = s.get();
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(L"", text->GetName());
  ASSERT_TRUE(Load(built));
  EXPECT_EQ((std::vector<std::uint64_t>{0x20}), Addresses()) << "an unnamed section is not reported";

  // The table's last name without its terminator stops at the table's end.
  const std::size_t lastName = built.rfind(".shstrtab");
  std::string cut = built;
  cut[lastName + 9] = 'X';  // overwrite the terminator, the table's last byte
  TElfFile unterminated(folder.Write(L"cut.elf", cut), nullptr);
  ASSERT_TRUE(unterminated.Load());
  EXPECT_EQ(L".shstrtabX", unterminated.StrTab()->GetName());
}

TEST_F(ElfFiles, FileCutInsideSectionDataLoadsWithZeros) {
  ElfFileImage elf;
  elf.Sections = {Section(".text", 0x08000000, Body(1, 32))};
  const std::string built = elf.Build();
  ASSERT_TRUE(Load(built.substr(0, built.size() - 20)));
  EXPECT_TRUE(dialogs.All().empty());
  ASSERT_EQ(1u, log.Chunks.size());
  ASSERT_EQ(32u, log.Chunks[0].Cells.size());
  for (unsigned i = 0; i < 32; ++i) EXPECT_EQ(i < 12 ? 1 + i : 0, log.Chunks[0].Cells[i]) << i;
}

TEST_F(ElfFiles, BadFilesGiveTheirTextsAndNoChunks) {
  ElfFileImage pastEnd;
  pastEnd.Sections = {Section(".text", 0, Body(1, 4))};
  pastEnd.TableOffset = 0x10000;
  ElfFileImage tooLarge;  // a size no buffer can hold
  tooLarge.Sections = {Section(".rodata", 0, Body(1, 4)), Section(".text", 0).WithSize(0x7FFFFFFF)};
  ElfFileImage wraps;  // past the end of the 32-bit address space
  wraps.Sections = {Section(".text", 0xFFFFFF00).WithSize(0x200)};
  std::string shortHeader = ElfFileImage{}.Build().substr(0, 40);

  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"section-header table past the end", pastEnd.Build()},
      {"a reported section too large to hold", tooLarge.Build()},
      {"a reported section wrapping the address space", wraps.Build()},
      {"a header cut short", shortHeader},
  };
  for (const Case& c : cases) {
    dialogs.Clear();
    log.Chunks.clear();
    EXPECT_FALSE(Load(c.bytes)) << c.what;
    EXPECT_EQ(InvalidTexts(), dialogs.Texts()) << c.what;
    EXPECT_TRUE(log.Chunks.empty()) << c.what;
  }
}

TEST_F(ElfFiles, HugeSectionsThatAreNotReportedLoad) {
  ElfFileImage elf;
  elf.Sections = {Section(".comment", 0).WithFlags(0).WithSize(0xFFFFFFF0),
                  Section(".text", 0x40, Body(1, 2))};
  ASSERT_TRUE(Load(elf.Build()));
  EXPECT_EQ((std::vector<std::uint64_t>{0x40}), Addresses());
}

TEST_F(ElfFiles, HeaderFieldsAreBigEndianWhateverTheEncodingByte) {
  ElfFileImage elf;
  elf.Sections = {Section(".text", 0x80, Body(1, 4))};
  std::string bytes = elf.Build();
  bytes[5] = 1;  // claims little-endian; still read big-endian
  ASSERT_TRUE(Load(bytes));
  EXPECT_EQ((std::vector<std::uint64_t>{0x80}), Addresses());
}

TEST(ElfFile, ConvertToInstructionBufferStaysInsideTheBuffer) {
  TestFolder folder;
  ElfFileImage elf;
  elf.Sections = {Section(".TEXT", 4, Body(1, 4)),
                  Section(".text", 14, Body(0x20, 8)),
                  Section(".rodata", 0, Body(0x40, 2))};
  TElfFile file(folder.Write(L"convert.elf", elf.Build()), nullptr);
  ASSERT_TRUE(file.Load());
  std::vector<std::uint32_t> buffer(16, 0xEE);
  std::uint32_t count = 0;
  file.ConvertToInstructionBuffer(buffer, count);
  EXPECT_EQ(22u, count);
  EXPECT_EQ((std::vector<std::uint32_t>{0xEE, 0xEE, 0xEE, 0xEE, 1, 2, 3, 4, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0x20,
                                        0x21}),
            buffer);
}

TEST(ElfFile, NotAnElfFileAndMissingFile) {
  TestFolder folder;
  RecordedDialogs dialogs;
  TElfFile missing(folder / L"absent.elf", nullptr);
  EXPECT_FALSE(missing.Load());
  EXPECT_TRUE(dialogs.All().empty());
  TElfFile other(folder.Write(L"other.elf", "\x7F" "ELX and more"), nullptr);
  EXPECT_FALSE(other.Load());
  EXPECT_EQ((std::vector<std::wstring>{L"other.elf is not an ELF file"}), dialogs.Texts());
}

// ---- Raw binary and the choice of format

TEST_F(ElfFiles, OtherFilesAreRawBinaryAtZero) {
  ASSERT_TRUE(Load(std::string("\x7F" "EL\0\x01\x02", 6), L"image.bin"));
  ASSERT_EQ(1u, log.Chunks.size());
  EXPECT_EQ(0u, log.Chunks[0].Address);
  EXPECT_EQ((std::vector<std::uint32_t>{0x7F, 'E', 'L', 0, 1, 2}), log.Chunks[0].Cells);
  EXPECT_TRUE(dialogs.All().empty());
}

TEST_F(ElfFiles, MissingFilesOfOtherFormats) {
  EXPECT_THROW(LoadProgramFile(folder / L"absent.elf", log.Sink()), Exception) << "raised to the caller";
  EXPECT_FALSE(LoadBinaryFile(folder / L"absent.bin", log.Sink()));
  EXPECT_TRUE(dialogs.All().empty());
  EXPECT_TRUE(log.Chunks.empty());
}

}  // namespace

}  // namespace images_test
