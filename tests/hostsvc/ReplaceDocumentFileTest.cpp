// Replacing a document the host may hold open: the lock check, the host's
// file-update bracket, and no file lost on any failure.
#include "HostFixture.h"
#include "support/TestFolder.h"

#include <functional>
#include <string>
#include <vector>

using namespace tvk;
using hostsim::FakeHostObject;
using testsupport::Exists;
using testsupport::ReadAll;
using testsupport::TestFolder;
namespace disp = hostsim::disp;

namespace {

class ReplaceDocument : public hostsvc_test::HostFixture {
protected:
  TestFolder Folder;
  std::wstring Target = Folder.Write(L"Board.PcbDoc", "old");
  std::wstring NewFile = Folder.Write(L"Board.tmp", "new");

  void LockByAnother() {
    Folder.Write(L"~$Board.PcbDoc_loc", "ComputerName=BENCH-7\r\nUserName=ann\r\nProcessID=1\r\n");
  }
  std::vector<DISPID> DocumentCalls(const FakeHostObject& document) const {
    std::vector<DISPID> ids;
    for (const auto& c : document.Calls()) ids.push_back(c.Id);
    return ids;
  }
};

TEST_F(ReplaceDocument, EqualNamesDoNothing) {
  EXPECT_TRUE(ReplaceDocumentFile(Target, Folder / L"BOARD.PCBDOC"));
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_TRUE(Host.Client().Calls().empty());
}

TEST_F(ReplaceDocument, ReplacesInsideTheHostsFileUpdate) {
  FakeHostObject& document = Host.AddDocument(Target);
  EXPECT_TRUE(ReplaceDocumentFile(NewFile, Target));
  EXPECT_EQ("new", ReadAll(Target));
  EXPECT_FALSE(Exists(NewFile));
  EXPECT_EQ((std::vector<DISPID>{disp::ServerDocument_BeginFileUpdate, disp::ServerDocument_EndFileUpdate}), DocumentCalls(document));
  EXPECT_EQ(Target, hostsvc_test::LastCall(Host.Client()).Str(0));  // GetDocumentByPath of the target
}

TEST_F(ReplaceDocument, WithoutADocumentOrAClient) {
  EXPECT_TRUE(ReplaceDocumentFile(NewFile, Target));  // no open document
  EXPECT_EQ("new", ReadAll(Target));
  NoClient();
  std::wstring next = Folder.Write(L"Board2.tmp", "newer");
  EXPECT_TRUE(ReplaceDocumentFile(next, Target));
  EXPECT_EQ("newer", ReadAll(Target));
  std::wstring fresh = Folder.Write(L"Fresh.tmp", "fresh");
  EXPECT_TRUE(ReplaceDocumentFile(fresh, Folder / L"Fresh.PcbDoc"));  // no target yet
  EXPECT_EQ("fresh", ReadAll(Folder / L"Fresh.PcbDoc"));
}

TEST_F(ReplaceDocument, AMissingNewFileLeavesTheTarget) {
  FakeHostObject& document = Host.AddDocument(Target);
  EXPECT_TRUE(ReplaceDocumentFile(Folder / L"Missing.tmp", Target));
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_EQ((std::vector<DISPID>{disp::ServerDocument_BeginFileUpdate, disp::ServerDocument_EndFileUpdate}), DocumentCalls(document));
}

TEST_F(ReplaceDocument, ALockedTargetIsReportedAndKept) {
  LockByAnother();
  EXPECT_FALSE(ReplaceDocumentFile(NewFile, Target));
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_FALSE(Exists(NewFile));
  ASSERT_EQ(1u, Host.MessagesManager().CallCount(disp::MessagesManager_AddMessage));
  EXPECT_EQ(L"Board.PcbDoc is used by ann on BENCH-7. You will not be able to save your changes.",
            hostsvc_test::LastCall(Host.MessagesManager()).Str(1));
}

TEST_F(ReplaceDocument, ALockedTargetWhileTheHostIsSilent) {
  Host.SetSilent(true);
  LockByAnother();
  EXPECT_FALSE(ReplaceDocumentFile(NewFile, Target));
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_FALSE(Exists(NewFile));
  EXPECT_EQ(0u, Host.MessagesManager().CallCount(disp::MessagesManager_AddMessage));
}

TEST_F(ReplaceDocument, AFailedReplacementKeepsTheOldTarget) {
  FakeHostObject& document = Host.AddDocument(Target);
  // An editor holds the target open without letting anyone delete it.
  HANDLE held = CreateFileW(Target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(ReplaceDocumentFile(NewFile, Target));
  CloseHandle(held);
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_FALSE(Exists(NewFile));
  EXPECT_EQ((std::vector<DISPID>{disp::ServerDocument_BeginFileUpdate, disp::ServerDocument_EndFileUpdate}), DocumentCalls(document));
}

TEST_F(ReplaceDocument, ANewFileThatCannotMoveLeavesTheTargetWhole) {
  // The new file is still held by its writer: it cannot be moved (nor
  // deleted), and the target must not be deleted before that is known.
  HANDLE held = CreateFileW(NewFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_FALSE(ReplaceDocumentFile(NewFile, Target));
  CloseHandle(held);
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_EQ("new", ReadAll(NewFile));
}

TEST_F(ReplaceDocument, AHostErrorStillEndsTheUpdate) {
  FakeHostObject& document = Host.AddDocument(Target);
  hostsim::Fault busy;
  busy.Description = L"Document is busy";
  document.FailWith(disp::ServerDocument_BeginFileUpdate, busy);
  EXPECT_THROW(ReplaceDocumentFile(NewFile, Target), Exception);
  EXPECT_EQ((std::vector<DISPID>{disp::ServerDocument_BeginFileUpdate, disp::ServerDocument_EndFileUpdate}), DocumentCalls(document));
  EXPECT_EQ("old", ReadAll(Target));
  EXPECT_TRUE(Exists(NewFile));  // nothing was moved
}

}  // namespace

namespace {

// The names in a folder, so that a temporary copy left behind shows.
std::vector<std::wstring> FilesIn(const TestFolder& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder / L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// The new file is written elsewhere, as a host writes it into its temporary folder.
class ReplaceFromElsewhere : public ReplaceDocument {
protected:
  TestFolder Elsewhere;
  std::wstring Written = Elsewhere.Write(L"Board.tmp", "new");
  void SetUp() override {
    ReplaceDocument::SetUp();
    DeleteFileW(NewFile.c_str());  // only the document in its folder
  }
};

TEST_F(ReplaceFromElsewhere, ReplacesAndLeavesNothingBehind) {
  FakeHostObject& document = Host.AddDocument(Target);
  EXPECT_TRUE(ReplaceDocumentFile(Written, Target));
  EXPECT_EQ("new", ReadAll(Target));
  EXPECT_FALSE(Exists(Written));
  EXPECT_EQ(std::vector<std::wstring>{L"Board.PcbDoc"}, FilesIn(Folder));
  EXPECT_EQ((std::vector<DISPID>{disp::ServerDocument_BeginFileUpdate, disp::ServerDocument_EndFileUpdate}),
            DocumentCalls(document));
}

TEST_F(ReplaceFromElsewhere, AFailedReplacementRemovesTheCopyBesideTheDocument) {
  struct Case {
    const char* Name;
    std::function<std::wstring()> File;  // the file held open for reading only
    bool NewFileKept;  // it cannot be deleted while held
  };
  const Case cases[] = {
      // An editor holds the document open without letting anyone replace it.
      {"document held", [&] { return Target; }, false},
      // The writer of the new file still holds it: it cannot move beside the document.
      {"new file held", [&] { return Written; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Elsewhere.Write(L"Board.tmp", "new");
    HANDLE held = CreateFileW(c.File().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(ReplaceDocumentFile(Written, Target));
    CloseHandle(held);
    EXPECT_EQ("old", ReadAll(Target));
    EXPECT_EQ(std::vector<std::wstring>{L"Board.PcbDoc"}, FilesIn(Folder));
    EXPECT_EQ(c.NewFileKept, Exists(Written));
  }
}

TEST_F(ReplaceFromElsewhere, ANewFileOnAnotherFileSystemIsCopiedBesideFirst) {
  // Wine reaches the host's own file systems by their Unix names: its shared
  // memory lies on another file system than the prefix, so no rename can
  // bring the file over and the copy beside the document is what runs.
  const std::wstring other = L"\\\\?\\unix\\dev\\shm\\tvk_replace_" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  testsupport::WriteBytes(other, "from afar");
  ASSERT_EQ("from afar", ReadAll(other));
  ASSERT_FALSE(MoveFileExW(other.c_str(), (Folder / L"probe.tmp").c_str(), 0));
  ASSERT_EQ(DWORD(ERROR_NOT_SAME_DEVICE), GetLastError());

  EXPECT_TRUE(ReplaceDocumentFile(other, Target));
  EXPECT_EQ("from afar", ReadAll(Target));
  EXPECT_FALSE(Exists(other));
  EXPECT_EQ(std::vector<std::wstring>{L"Board.PcbDoc"}, FilesIn(Folder));
}

}  // namespace
