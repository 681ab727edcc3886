// File systems: what the base answers, ordinary files with their temporary
// and backup names, and the errors of renaming and deleting.
#include <gtest/gtest.h>

#include "ZUL.Util.h"
#include "dcsystem.h"
#include "support/TestFolder.h"
#include "support/ErrorText.h"

using namespace tvk;
using testsupport::ErrorText;
using testsupport::Exists;
using testsupport::TestFolder;

namespace {

// A file system that holds nothing but the files it is told it has.
class TEmptyFileSystem : public TFileSystem {
public:
  TVK_CLASS(TEmptyFileSystem, TFileSystem)
  TEmptyFileSystem() : TFileSystem(nullptr) {}
  std::unique_ptr<TStream> GetFileStream(const WideString&, std::uint16_t) override { return nullptr; }
  bool FileExists(const WideString& name) override { return name == Existing; }
  bool DeleteFile(const WideString&) override { return false; }
  bool RenameFile(const WideString&, const WideString&) override { return false; }
  WideString Existing;
};

TEST(FileSystem, BackupNames) {
  TWin32FileSystem fs(nullptr);
  struct Row {
    const wchar_t* Name;
    const wchar_t* Backup;
  };
  for (const Row& row : {Row{L"C:\\dir\\unit.pas", L"C:\\dir\\unit.~pa"}, Row{L"C:\\dir\\readme", L"C:\\dir\\readme.~"},
                         Row{L"unit.pas", L"unit.~pa"}, Row{L"a.c", L"a.~c"}, Row{L"dir.x\\file", L"dir.x\\file.~"}})
    EXPECT_EQ(row.Backup, fs.GetBackupFileName(row.Name)) << row.Name;
  EXPECT_EQ(L".pas", fs.ExtractFileExt(L"C:\\a.b\\unit.pas"));
  EXPECT_EQ(L"", fs.ExtractFileExt(L"C:\\a.b\\unit"));
  EXPECT_EQ(L"C:\\a.b\\unit.txt", fs.ChangeFileExt(L"C:\\a.b\\unit", L".txt"));
}

TEST(FileSystem, TheBaseHoldsNothing) {
  TEmptyFileSystem fs;
  TDateTime age = 0;
  EXPECT_FALSE(fs.TFileSystem::FileAge(L"x", age));
  EXPECT_FALSE(fs.TFileSystem::IsReadonly(L"x"));
  EXPECT_TRUE(fs.TFileSystem::DeleteFile(L"x"));
  EXPECT_EQ(L"x.txt", fs.TFileSystem::GetTempFileName(L"x.txt"));
  EXPECT_EQ(L"", fs.CurrentDir());
  EXPECT_EQ(TFileSystemLevel::flFullSupport, fs.GetFileSystemLevel());
  // The errors of the failing operations.
  EXPECT_EQ(L"Can't rename file a.txt to file b.txt", ErrorText([&] { fs.RenameFileExcept(L"a.txt", L"b.txt"); }));
  EXPECT_EQ(L"(no error)", ErrorText([&] { fs.DeleteFileExcept(L"gone.txt"); }));  // not there: nothing to delete
  fs.Existing = L"here.txt";
  EXPECT_EQ(L"Can't delete file here.txt", ErrorText([&] { fs.DeleteFileExcept(L"here.txt"); }));
}

TEST(Win32FileSystem, FilesOfTheSystem) {
  TestFolder folder;
  TWin32FileSystem fs(nullptr);
  std::wstring file = folder.Write(L"a.txt", "text");
  EXPECT_TRUE(fs.FileExists(file));
  EXPECT_FALSE(fs.IsReadonly(file));
  EXPECT_TRUE(fs.IsReadonly(folder / L"missing.txt"));  // a missing file counts as read-only
  TDateTime age = 0;
  ASSERT_TRUE(fs.FileAge(file, age));
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME nowFile;
  SystemTimeToFileTime(&now, &nowFile);
  double today = double((std::uint64_t(nowFile.dwHighDateTime) << 32) | nowFile.dwLowDateTime) / 864000000000.0 - 109205.0;
  EXPECT_NEAR(today, age, 1.0 / 24);
  EXPECT_FALSE(fs.FileAge(folder / L"missing.txt", age));

  fs.RenameFileExcept(file, folder / L"b.txt");
  EXPECT_TRUE(Exists(folder / L"b.txt"));
  EXPECT_EQ(L"Can't rename file " + (folder / L"a.txt") + L" to file " + (folder / L"c.txt"),
            ErrorText([&] { fs.RenameFileExcept(folder / L"a.txt", folder / L"c.txt"); }));

  SetFileAttributesW((folder / L"b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(fs.IsReadonly(folder / L"b.txt"));
  EXPECT_EQ(L"Can't delete file " + (folder / L"b.txt"), ErrorText([&] { fs.DeleteFileExcept(folder / L"b.txt"); }));
  SetFileAttributesW((folder / L"b.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  fs.DeleteFileExcept(folder / L"b.txt");
  EXPECT_FALSE(Exists(folder / L"b.txt"));

  auto stream = fs.GetFileStream(folder / L"new.bin", fmCreate);
  stream->WriteBuffer("abc", 3);
  stream.reset();
  EXPECT_EQ("abc", testsupport::ReadAll(folder / L"new.bin"));
  EXPECT_THROW(fs.GetFileStream(folder / L"missing.bin", fmOpenRead), EFOpenError);
}

TEST(Win32FileSystem, ATemporaryNameIsANewFileBesideTheGivenOne) {
  TestFolder folder;
  TWin32FileSystem fs(nullptr);
  WideString first = fs.GetTempFileName(folder / L"report.txt");
  WideString second = fs.GetTempFileName(folder / L"report.txt");
  EXPECT_NE(first, second);
  for (const WideString& name : {first, second}) {
    EXPECT_EQ(folder.Path(), ExtractFilePath(name));
    EXPECT_EQ(L"rep", ExtractFileName(name).substr(0, 3));  // the system takes three characters
    EXPECT_TRUE(Exists(name));  // created, so that nobody else takes the name
  }
  EXPECT_EQ(L"Can't create temporary filename", ErrorText([&] { fs.GetTempFileName(folder / L"no\\such\\x.txt"); }));
}

TEST(Win32FileSystem, LivesBesideTheHostHelpersOfTheSameNames) {
  // Both are named after a system macro; a unit may use both.
  WideString hostTemp = tvk::GetTempFileName();
  ASSERT_FALSE(hostTemp.empty());
  TWin32FileSystem fs(nullptr);
  WideString beside = fs.GetTempFileName(hostTemp);
  EXPECT_TRUE(fs.DeleteFile(beside));
  EXPECT_TRUE(fs.DeleteFile(hostTemp));
}

TEST(Win32FileSystem, TheCurrentFolder) {
  TestFolder folder;
  TWin32FileSystem fs(nullptr);
  WideString old = fs.CurrentDir();
  fs.SetCurrentDir(folder.Path());
  EXPECT_TRUE(SameTextIgnoringCase(folder.Path(), fs.CurrentDir() + L"\\"));
  fs.SetCurrentDir(old);
  EXPECT_EQ(old, fs.CurrentDir());
}

}  // namespace
