// Resources of a module file: resource names, the resource file system and
// its stream (read at creation, written back through the system's resource
// update), and the in-place writer that grows the resource section of a
// 32-bit module file. The module files are the fixtures of Pe32Fixture.inc.
#include <gtest/gtest.h>

#include "Application.h"
#include "Pe32Fixture.inc"
#include "dcsystem.h"
#include "support/ErrorText.h"
#include "support/TestFolder.h"

#include <cstring>

using namespace tvk;
using testsupport::ErrorText;
using testsupport::ReadAll;
using testsupport::TestFolder;

namespace {

template <std::size_t N>
std::wstring WriteModule(const TestFolder& folder, const wchar_t* name, const unsigned char (&bytes)[N]) {
  return folder.Write(name, std::string(reinterpret_cast<const char*>(bytes), N));
}

// A resource as the system's loader finds it.
std::string SystemResource(const std::wstring& file, const wchar_t* type, const wchar_t* name) {
  HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "<no module>";
  std::string data = "<no resource>";
  if (HRSRC info = FindResourceW(module, name, type)) {
    const void* bytes = LockResource(LoadResource(module, info));
    data.assign(static_cast<const char*>(bytes), SizeofResource(module, info));
  }
  FreeLibrary(module);
  return data;
}

TEST(ResourceNames, TypeAndNameOfAFileName) {
  struct Row {
    const wchar_t* Text;
    std::uint16_t Number;
    const wchar_t* TypeName;
    const wchar_t* Name;
  };
  for (const Row& row : {Row{L"RCDATA\\SETTINGS", 10, L"", L"SETTINGS"}, Row{L"rcdata\\x\\y", 10, L"", L"x\\y"},
                         Row{L"group_icon\\MAIN", 14, L"", L"MAIN"}, Row{L"custom\\DATA", 0, L"custom", L"DATA"},
                         Row{L"RT_RCDATA\\A", 0, L"RT_RCDATA", L"A"}, Row{L"SETTINGS", 0, L"", L""}}) {
    TResType type;
    WideString name = L"old";
    SplitResName(row.Text, type, name);
    EXPECT_EQ(row.Number, type.Number) << row.Text;
    EXPECT_EQ(row.TypeName, type.Name) << row.Text;
    EXPECT_EQ(row.Name, name) << row.Text;
  }
}

// A module file whose resource section is last, and a resource file system on it.
struct ResourceModule : ::testing::Test {
  ResourceModule() { fs.SetFileName(file); }
  TestFolder folder;
  std::wstring file = WriteModule(folder, L"res.dll", kResourceLastModule);
  TResFileSystem fs{nullptr};
};

using ResourceFileSystem = ResourceModule;

TEST_F(ResourceFileSystem, ResourcesStandForFiles) {
  EXPECT_TRUE(fs.FileExists(L"RCDATA\\SETTINGS.txt"));  // the extension goes first
  EXPECT_TRUE(fs.FileExists(L"texts\\note"));
  EXPECT_FALSE(fs.FileExists(L"RCDATA\\MISSING"));
  EXPECT_FALSE(fs.FileExists(L"SETTINGS"));  // no type
  EXPECT_EQ(TFileSystemLevel::flOnlyGetStream, fs.GetFileSystemLevel());

  TResFileSystem missing(nullptr);
  missing.SetFileName(folder / L"none.dll");
  EXPECT_FALSE(missing.FileExists(L"RCDATA\\SETTINGS"));
}

TEST_F(ResourceFileSystem, AStreamReadsTheResourceAndWritesItBack) {
  {
    auto stream = fs.GetFileStream(L"RCDATA\\SETTINGS.ini", fmOpenRead);
    ASSERT_EQ(11, stream->Size());
    char text[12] = {};
    stream->ReadBuffer(text, 11);
    EXPECT_STREQ("key=value\r\n", text);
  }
  EXPECT_EQ("key=value\r\n", SystemResource(file, RT_RCDATA, L"SETTINGS"));  // unchanged: nothing written

  {
    auto stream = fs.GetFileStream(L"RCDATA\\SETTINGS.ini", fmOpenReadWrite);
    stream->SetPosition(4);
    stream->WriteBuffer("other", 5);
    static_cast<TResWriteStream&>(*stream).Flush();
  }
  EXPECT_EQ("key=other\r\n", SystemResource(file, RT_RCDATA, L"SETTINGS"));
  EXPECT_EQ("other data", SystemResource(file, RT_RCDATA, L"OTHER"));

  {
    auto stream = fs.GetFileStream(L"TEXTS\\NOTE", fmCreate);  // not read: starts empty
    EXPECT_EQ(0, stream->Size());
    stream->WriteBuffer("new", 3);
  }  // written back when freed
  EXPECT_EQ("new", SystemResource(file, L"TEXTS", L"NOTE"));
}

TEST_F(ResourceFileSystem, AFailedWriteBackIsReported) {
  auto stream = fs.GetFileStream(L"RCDATA\\SETTINGS", fmOpenReadWrite);
  stream->WriteBuffer("x", 1);
  DeleteFileW(file.c_str());
  EXPECT_EQ(L"Error updating resource", ErrorText([&] { static_cast<TResWriteStream&>(*stream).Flush(); }));

  // From the destructor, the error goes to the application's handler.
  std::vector<std::wstring> handled;
  Application().OnException = [&](TObject*, const std::exception_ptr& e) { handled.push_back(ExceptionMessage(e)); };
  stream.reset();
  Application().OnException = nullptr;
  EXPECT_EQ((std::vector<std::wstring>{L"Error updating resource"}), handled);
}

TEST_F(ResourceFileSystem, TheSystemsUpdateReplacesOneResource) {
  std::string data(300, 'q');
  EXPECT_TRUE(UpdateResourceFile(file, TResType{10, L""}, L"OTHER", std::uint32_t(data.size()), data.data(), 1033));
  EXPECT_EQ(data, SystemResource(file, RT_RCDATA, L"OTHER"));
  EXPECT_EQ("key=value\r\n", SystemResource(file, RT_RCDATA, L"SETTINGS"));
  EXPECT_FALSE(UpdateResourceFile(folder / L"none.dll", TResType{10, L""}, L"OTHER", 1, "x", 0));
}

// ---- The in-place writer

struct Growth {
  std::uint32_t DataLength;
  std::uint32_t Delta;
};

TEST(ResourceWriter, ReplacesTheResourceAndGrowsTheFileByWholePages) {
  for (Growth g : {Growth{100, 4096}, Growth{4095, 4096}, Growth{4096, 8192}, Growth{0, 4096}}) {
    TestFolder folder;
    std::wstring file = WriteModule(folder, L"res.dll", kResourceLastModule);
    std::string data(g.DataLength, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = char('a' + i % 26);
    {
      TResourceWriter writer(file);
      writer.UpdateResource(TResType{10, L""}, L"SETTINGS", g.DataLength, data.data());
    }
    EXPECT_EQ(sizeof kResourceLastModule + g.Delta, ReadAll(file).size()) << g.DataLength;
    // The loader finds the new data, and the other resources where they were.
    EXPECT_EQ(data, SystemResource(file, RT_RCDATA, L"SETTINGS")) << g.DataLength;
    EXPECT_EQ("other data", SystemResource(file, RT_RCDATA, L"OTHER"));
    EXPECT_EQ("a note", SystemResource(file, L"TEXTS", L"NOTE"));

    // The headers grew by the same amount.
    std::string bytes = ReadAll(file);
    TPeHeaders32 headers;
    std::memcpy(&headers, bytes.data() + 0x40, sizeof headers);
    TPeSectionHeader rsrc;
    std::memcpy(&rsrc, bytes.data() + 0x40 + sizeof headers + sizeof rsrc, sizeof rsrc);
    EXPECT_EQ(0x3000u + g.Delta, headers.OptionalHeader.SizeOfImage);
    EXPECT_EQ(0x200u + g.Delta, rsrc.SizeOfRawData);
    EXPECT_EQ(0x200u + g.Delta, rsrc.VirtualSize);
  }
}

TEST_F(ResourceModule, TheWriterReplacesTheFirstResourceOfThatNameWhateverItsType) {
  {
    TResourceWriter writer(file);
    writer.UpdateResource(TResType{0, L"ANY"}, L"NOTE", 4, "abcd");
  }
  EXPECT_EQ("abcd", SystemResource(file, L"TEXTS", L"NOTE"));
}

TEST(ResourceWriter, RefusesWhatItCannotReplaceAndLeavesTheFileAsItWas) {
  TestFolder folder;
  struct Row {
    const unsigned char* Bytes;
    std::size_t Size;
    const wchar_t* Name;
    const wchar_t* Error;
  };
  for (const Row& row : {Row{kResourceNotLastModule, sizeof kResourceNotLastModule, L"SETTINGS",
                             L"Resource section is not the last section"},
                         Row{kResourceLastModule, sizeof kResourceLastModule, L"MISSING", L"Resource not found"},
                         Row{kResourceLastModule, sizeof kResourceLastModule, L"settings", L"Resource not found"}}) {
    std::string original(reinterpret_cast<const char*>(row.Bytes), row.Size);
    std::wstring file = folder.Write(L"module.dll", original);
    {
      TResourceWriter writer(file);
      EXPECT_EQ(row.Error, ErrorText([&] { writer.UpdateResource(TResType{10, L""}, row.Name, 3, "new"); }));
    }
    EXPECT_EQ(original, ReadAll(file)) << row.Error;
  }
}

TEST(ResourceWriter, OpeningErrors) {
  TestFolder folder;
  std::string module(reinterpret_cast<const char*>(kResourceLastModule), sizeof kResourceLastModule);
  auto patched = [&](std::size_t offset, std::string bytes) {
    std::string m = module;
    m.replace(offset, bytes.size(), bytes);
    return m;
  };
  const std::size_t magic = 0x40 + 4 + sizeof(TPeFileHeader);
  const std::size_t rsrcName = 0x40 + sizeof(TPeHeaders32) + sizeof(TPeSectionHeader);
  struct Row {
    std::string Bytes;
    const wchar_t* Error;
  };
  for (const Row& row : {Row{"plain text, no module", L"Invalid file format\r\nError code : "},
                         Row{patched(0x3C, std::string("\xF0\xFF\0\0", 4)), L"Invalid file format\r\nError code : "},
                         Row{patched(magic, "\x0B\x02"), L"Invalid file format\r\nError code : "},  // 64-bit layout
                         Row{patched(rsrcName, ".data"), L"This file doesn't contain resources\r\nError code : "}}) {
    std::wstring file = folder.Write(L"bad.dll", row.Bytes);
    std::wstring error = ErrorText([&] { TResourceWriter writer(file); });
    EXPECT_EQ(row.Error, error.substr(0, std::wcslen(row.Error)));
    EXPECT_TRUE(DeleteFileW(file.c_str())) << "the failed writer left the file open";
  }
  EXPECT_EQ(L"Can't open file for writing\r\nError code : 2",
            ErrorText([&] { TResourceWriter writer(folder / L"none.dll"); }));
}

TEST(ResourceWriter, AResourceTreeThatLoopsIsABadFormatNotAnEndlessWalk) {
  TestFolder folder;
  std::string module(reinterpret_cast<const char*>(kResourceLastModule), sizeof kResourceLastModule);
  // The first entry of the first type directory (section offset 0x20) points back at the root.
  const std::size_t entry = 0x400 + 0x20 + sizeof(TResDirectory);
  std::uint32_t root = 0x80000000u;
  module.replace(entry + 4, 4, reinterpret_cast<const char*>(&root), 4);
  std::wstring file = folder.Write(L"loop.dll", module);
  TResourceWriter writer(file);
  EXPECT_EQ(L"Invalid file format", ErrorText([&] { writer.UpdateResource(TResType{10, L""}, L"SETTINGS", 1, "x"); }));
}

}  // namespace
