// Where a description file is looked for, its zipped copy unpacked into the
// temporary folder, and the file parsed into a boundary-scan entity whose
// boundary register is decoded on demand and served to the host.
#include "BSDLFixture.h"
#include "Extension.XCeedApi.h"
#include "Tovik.Classes.BSDL.h"
#include "support/HostCall.h"
#include "vhdl/VHDLFixture.h"

using namespace tvk;
using namespace testsupport;
namespace bsdl_test {

namespace {

TEST(BSDLLookup, DetermineFullPath) {
  const WideString library = GetLibraryFolder();
  const struct {
    const wchar_t *File, *Vendor, *Family, *Folder;
    WideString Expected;
  } cases[] = {
      {L"STM32F103_LQFP48.bsd", L"ST", L"STM32F1", L"", library + L"BSDL\\ST\\STM32F1\\STM32F103_LQFP48.bsd"},
      {L"STM32F103_LQFP48.bsd", L"ST", L"STM32F1", L"D:\\Lib", L"D:\\Lib\\BSDL\\ST\\STM32F1\\STM32F103_LQFP48.bsd"},
      {L"a.bsd", L"ST", L"F1", L"D:\\Lib\\", L"D:\\Lib\\BSDL\\ST\\F1\\a.bsd"},
      {L"C:\\x\\a.bsd", L"ST", L"F1", L"D:\\Lib", L"C:\\x\\a.bsd"},
      {L"\\\\server\\a.bsd", L"ST", L"F1", L"D:\\Lib", L"\\\\server\\a.bsd"},
      {L"sub\\a.bsd", L"ST", L"F1", L"D:\\Lib", L"D:\\Lib\\BSDL\\ST\\F1\\sub\\a.bsd"},
      {L"a.bsd", L"", L"", L"D:\\Lib", L"D:\\Lib\\BSDL\\\\\\a.bsd"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Expected, TBSDLEntity::DetermineFullPath(c.File, c.Vendor, c.Family, c.Folder));
}

// Moves a file's last write Days away from now.
bool SetWriteTime(const std::wstring& path, int days) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart += uint64_t(int64_t(days) * 24 * 3600) * 10000000ull;
  const FILETIME when{t.LowPart, t.HighPart};
  const bool done = SetFileTime(file, nullptr, nullptr, &when) != 0;
  CloseHandle(file);
  return done;
}

class BSDLFind : public ::testing::Test {
protected:
  TestFolder Temp, Library;
  TempRedirect Redirect{Temp.Path()};
  ZipLibraryCopy Zip;
  // Where the description is expected.
  std::wstring Expected = Library.Folder(L"BSDL\\ST\\STM32F1") + L"STM32F103_LQFP48.bsd";
  std::wstring Archive = Library.Path() + L"BSDL\\ST\\STM32F1\\STM32F103_LQFP48.Zip";
  std::wstring Unpacked = Temp.Path() + L"STM32F103_LQFP48.bsd";
  void PutArchive(const wchar_t* name) { CopyFileW(Fixture(name).c_str(), Archive.c_str(), FALSE); }
};

TEST_F(BSDLFind, NeitherFileNorArchive) {
  EXPECT_EQ(L"", TBSDLEntity::FindFullBSDLPath(Expected));
  EXPECT_FALSE(Exists(Unpacked));
  EXPECT_EQ(nullptr, Zip.Loaded());  // the library was not even loaded
  EXPECT_EQ(L"", TBSDLEntity::FindFullBSDLPath(Library.Path()));  // no file name
}

TEST_F(BSDLFind, TheFileItselfWithoutOpeningANewerArchive) {
  WriteBytes(Expected, "present");
  PutArchive(L"archive\\STM32F103_LQFP48.Zip");
  EXPECT_EQ(Expected, TBSDLEntity::FindFullBSDLPath(Expected));
  EXPECT_EQ(nullptr, Zip.Loaded());
}

TEST_F(BSDLFind, AnArchiveOnlyIsUnpackedOnceIntoTheTemporaryFolder) {
  PutArchive(L"archive\\STM32F103_LQFP48.Zip");
  EXPECT_EQ(Unpacked, TBSDLEntity::FindFullBSDLPath(Expected));
  EXPECT_EQ(ReadAll(Fixture(L"STM32F103_LQFP48.bsd")), ReadAll(Unpacked));
  EXPECT_TRUE(Exists(Temp.Path() + L"MakeArchives.sh"));  // every file of the archive stays there
  EXPECT_NE(std::string::npos, Zip.Calls().find("XzUnzip"));
  Zip.ClearCalls();
  EXPECT_EQ(Unpacked, TBSDLEntity::FindFullBSDLPath(Expected));
  EXPECT_EQ("", Zip.Calls());  // the copy is taken; no archive is opened

  // Also when the archive is newer than the copy: the copy stays as it is.
  WriteBytes(Unpacked, "stale");
  ASSERT_TRUE(SetWriteTime(Unpacked, -2));
  ASSERT_TRUE(SetWriteTime(Archive, +2));
  EXPECT_EQ(Unpacked, TBSDLEntity::FindFullBSDLPath(Expected));
  EXPECT_EQ("stale", ReadAll(Unpacked));
  EXPECT_EQ("", Zip.Calls());
}

TEST_F(BSDLFind, AnArchiveWithoutTheFileOrAFolderOfItsName) {
  PutArchive(L"archive\\Other.Zip");
  EXPECT_EQ(L"", TBSDLEntity::FindFullBSDLPath(Expected));
  EXPECT_TRUE(Exists(Temp.Path() + L"Unrelated.txt"));
  // A folder of the file's name is no file, here or in the temporary folder.
  CreateDirectoryW(Expected.c_str(), nullptr);
  CreateDirectoryW(Unpacked.c_str(), nullptr);
  EXPECT_EQ(L"", TBSDLEntity::FindFullBSDLPath(Expected));
  RemoveDirectoryW(Unpacked.c_str());
  RemoveDirectoryW(Expected.c_str());
}

TEST_F(BSDLFind, AMissingZipLibraryReachesTheCaller) {
  PutArchive(L"archive\\STM32F103_LQFP48.Zip");
  Zip.Unload();
  DeleteFileW(Zip.Path().c_str());
  EXPECT_THROW(TBSDLEntity::FindFullBSDLPath(Expected), EZipLibraryError);
  EXPECT_FALSE(Exists(Unpacked));
}

// ---- Parsing

class BSDLParse : public vhdl_test::VHDLHost {
protected:
  // Parses File into Entities with a boundary-scan parser.
  std::unique_ptr<TBSDLParser> ParseFile(const std::wstring& file) {
    Lines.Clear();
    for (const auto& line : LoadTextLines(file)) Lines.Add(line);
    auto parser = std::make_unique<TBSDLParser>(&Logged, &Entities, file);
    parser->Run(&Lines);
    return parser;
  }
  TStringList Logged;
};

TEST_F(BSDLParse, TheArchivedFixtureIsFoundUnpackedParsedAndDecoded) {
  ZipLibraryCopy zip;
  TestFolder library;
  const std::wstring expected = library.Folder(L"BSDL\\ST\\STM32F1") + L"STM32F103_LQFP48.bsd";
  CopyFileW(Fixture(L"archive\\STM32F103_LQFP48.Zip").c_str(),
            (library.Path() + L"BSDL\\ST\\STM32F1\\STM32F103_LQFP48.Zip").c_str(), FALSE);
  const WideString found = TBSDLEntity::FindFullBSDLPath(
      TBSDLEntity::DetermineFullPath(L"STM32F103_LQFP48.bsd", L"ST", L"STM32F1", library.Path()));
  EXPECT_EQ(Temp.Path() + L"STM32F103_LQFP48.bsd", found);

  auto parser = ParseFile(found);
  EXPECT_FALSE(parser->DidErrorOccur());
  ASSERT_EQ(1, Entities.Count());
  EXPECT_EQ(L"STM32F1_LQFP48", Entities.Get(0));
  auto* entity = dynamic_cast<TBSDLEntity*>(&Entities.At(0));
  ASSERT_NE(nullptr, entity);
  EXPECT_EQ(found, entity->Filename);
  EXPECT_TRUE(entity->UsingLazyEvaluation);
  EXPECT_FALSE(entity->FProcessedBoundaryInfo);
  EXPECT_EQ(12, entity->Ports->Count());
  EXPECT_NE(std::string::npos, ReadAll(Temp.Path() + L"BSDL Parser.log").find("New Entity:STM32F1_LQFP48"));
  EXPECT_GE(Logged.IndexOf(L"New Entity:STM32F1_LQFP48"), 0);  // the log lines go to the caller's list too

  // The host reads it through the entity's adapter.
  IDispatch* served = entity->GetImpl();
  EXPECT_EQ(L"stm32f1_lqfp48", Call(served, 503458).Text());
  EXPECT_EQ(16, Call(served, 503461).Int());
  ASSERT_EQ(16, Call(served, 503469).Int());  // as many cells as the boundary length
  EXPECT_EQ(0, Call(served, 503467).Int());   // the parser makes no scan pins
  EXPECT_EQ(0, Call(served, 503459).Int());
  EXPECT_EQ(0, Call(served, 503470).Int());
  EXPECT_EQ(-1, Call(served, 503480).Int());
  EXPECT_EQ(found, Call(served, 503489).Text());
  for (int i = 0; i < 16; ++i) {
    IDispatch* cell = Call(served, 503464, {I4(i)}).Dispatch();
    ASSERT_NE(nullptr, cell);
    EXPECT_EQ(i, Call(cell, 503501).Int());
    EXPECT_EQ(nullptr, Call(cell, 503509).Dispatch());  // no pin
  }
  IDispatch* output = Call(served, 503464, {I4(14)}).Dispatch();
  EXPECT_EQ(L"PA0", Call(output, 503503).Text());
  EXPECT_EQ(eCellFunction_Output3, Call(output, 503504).Int());
  EXPECT_EQ(eDisableResult_HiZ, Call(output, 503508).Int());
  IDispatch* control = Call(output, 503510).Dispatch();
  EXPECT_EQ(15, Call(control, 503501).Int());
  EXPECT_EQ(output, Call(control, 503511).Dispatch());
  EXPECT_EQ(eCellKind_BC_2, Call(Call(served, 503464, {I4(3)}).Dispatch(), 503502).Int());
  // "observe_only" names no cell function.
  EXPECT_EQ(eCellFunction_Undefined, Call(Call(served, 503464, {I4(0)}).Dispatch(), 503504).Int());

  // The module's own windows read an entity through the host-interface record.
  DispatchFixStartup();
  const IBSDLEntity record = IBSDLEntity::FromPointer(served);
  EXPECT_EQ(L"stm32f1_lqfp48", record.GetName());
  EXPECT_EQ(16, record.GetBoundaryLength());
  EXPECT_EQ(0, record.GetPinCount());
  EXPECT_EQ(0xFFFFFFFFu, record.GetInstruction_IDCODE());
  EXPECT_EQ(found, record.GetFilename());
  EXPECT_FALSE(record.GetPin_TDI());

  // The same text again into the same list: the entity is redeclared.
  auto again = ParseFile(found);
  EXPECT_TRUE(again->DidErrorOccur());
  ASSERT_EQ(1u, Posted().size());
  EXPECT_EQ(0u, Posted()[0].find(L"Entity STM32F1_LQFP48 Redeclared"));
}

TEST_F(BSDLParse, AnUnclosedPortClauseIsAnError) {
  Lines.SetText(L"entity E is\n  port (TDI : in bit\n");
  TBSDLParser parser(nullptr, &Entities, L"E.bsd");
  parser.Run(&Lines);
  EXPECT_TRUE(parser.DidErrorOccur());
  EXPECT_NE(std::string::npos, ReadAll(Temp.Path() + L"BSDL Parser.log").find("New Entity:E"));
}

// Attribute packages under the standard names a description uses make no entity.
TEST_F(BSDLParse, StandardPackagesParseClean) {
  for (const wchar_t* file : {L"STD_1149_1_1990.vhd", L"STD_1149_1_1994.vhd", L"STD_1149_1_2001.vhd",
                              L"STD_1532_2001.vhd", L"STD_1532_2002.vhd"}) {
    SCOPED_TRACE(std::string(file, file + wcslen(file)));
    auto parser = ParseFile(Fixture(file));
    EXPECT_FALSE(parser->DidErrorOccur());
    EXPECT_EQ(0, Entities.Count());
    EXPECT_TRUE(Posted().empty());
  }
}

}  // namespace

}  // namespace bsdl_test
