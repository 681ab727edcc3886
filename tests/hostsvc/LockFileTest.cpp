// Lock files: who holds a document open, and whether that is this process.
#include <gtest/gtest.h>

#include "ZUL.Util.h"
#include "support/TestFolder.h"

#include <string>

using namespace tvk;
using testsupport::TestFolder;

namespace {

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::string Lock(const std::wstring& computer, const std::wstring& user, const std::wstring& pid) {
  return "[Lock]\r\nComputerName=" + Narrow(computer) + "\r\nUserName=" + Narrow(user) + "\r\nProcessID=" +
         Narrow(pid) + "\r\n";
}

TEST(LockFile, NameBesideTheFile) {
  EXPECT_EQ(L"C:\\Designs\\~$Board.PcbDoc_loc", GetLockFileName(L"C:\\Designs\\Board.PcbDoc"));
  EXPECT_EQ(L"~$Board.PcbDoc_loc", GetLockFileName(L"Board.PcbDoc"));
}

TEST(LockFile, WhoHoldsTheFile) {
  const std::wstring me = GetComputerNameCached(), user = GetUserNameCached(), pid = GetProcessIdText();
  std::wstring lowerMe = me;
  CharLowerBuffW(lowerMe.data(), DWORD(lowerMe.size()));
  struct Case {
    const char* What;
    std::string Content;  // empty: no lock file
    bool Locked;
    std::wstring Computer, User;
  } const cases[] = {
      {"no lock file", "", false, L"", L""},
      {"this process", Lock(me, user, pid), false, me, user},
      {"this process, other letter case", Lock(lowerMe, user, pid), false, lowerMe, user},
      {"another process", Lock(me, user, pid + L"0"), true, me, user},
      {"another computer", Lock(L"BENCH-7", user, pid), true, L"BENCH-7", user},
      {"no user line", "ComputerName=BENCH-7\nProcessID=12\n", false, L"", L""},
      {"empty process id", "ComputerName=BENCH-7\nUserName=ann\nProcessID=\n", false, L"", L""},
      {"later lines win, LF only", "ComputerName=A\nUserName=ann\nProcessID=1\nComputerName=BENCH-7\n", true,
       L"BENCH-7", L"ann"},
      {"keys match with case", "computername=X\nUserName=ann\nProcessID=1\n", false, L"", L""},
  };
  for (const auto& c : cases) {
    TestFolder folder;
    std::wstring document = folder.Write(L"Board.PcbDoc", "pcb");
    if (!c.Content.empty()) folder.Write(L"~$Board.PcbDoc_loc", c.Content);
    std::wstring computer = L"stale", userName = L"stale";
    EXPECT_EQ(c.Locked, IsFileLockedByOther(document, computer, userName)) << c.What;
    EXPECT_EQ(c.Computer, computer) << c.What;
    EXPECT_EQ(c.User, userName) << c.What;
  }
}

TEST(LockFile, ValuesSitAtFixedPositions) {
  TestFolder folder;
  folder.Write(L"~$a.txt_loc", "ComputerName:PC 1\r\nUserName=ann lee\r\nProcessID=42 \r\nOther=1\r\n");
  TFileOwnershipDetails details;
  ASSERT_TRUE(ReadLockFile(folder / L"a.txt", details));
  EXPECT_EQ(L"PC 1", details.ComputerName);
  EXPECT_EQ(L"ann lee", details.UserName);
  EXPECT_EQ(L"42 ", details.ProcessID);
}

TEST(LockFile, AnUnreadableLockCountsAsHeldByAnother) {
  TestFolder folder;
  std::wstring lock = folder.Write(L"~$a.txt_loc", Lock(GetComputerNameCached(), GetUserNameCached(), GetProcessIdText()));
  HANDLE exclusive = CreateFileW(lock.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, exclusive);
  std::wstring computer, user;
  EXPECT_TRUE(IsFileLockedByOther(folder / L"a.txt", computer, user));
  CloseHandle(exclusive);
  EXPECT_FALSE(IsFileLockedByOther(folder / L"a.txt", computer, user));
}

}  // namespace
