// Strings, paths, hexadecimal text, identity, message dialogs, folders and
// deferred destruction.
#include <gtest/gtest.h>

#include "Dialogs.h"
#include "ZUL.Util.h"
#include "support/TestFolder.h"

#include <vector>

using namespace tvk;

namespace {

TEST(Strings, AppendAndPad) {
  EXPECT_EQ(L"\\", AppendCharIfMissing(L"", L'\\'));
  EXPECT_EQ(L"C:\\Tools\\", AppendCharIfMissing(L"C:\\Tools\\", L'\\'));
  EXPECT_EQ(L"C:\\Tools\\", AppendCharIfMissing(L"C:\\Tools", L'\\'));
  EXPECT_EQ(L"abc", PadRight(L"abc", 2));
  EXPECT_EQ(L"abc  ", PadRight(L"abc", 5));
  EXPECT_EQ(L"ab..", PadRightWithChar(L"ab", L'.', 4));
  EXPECT_EQ(L"007", PadLeftWithChar(L"7", L'0', 3));
  EXPECT_EQ(L"1234", PadLeftWithChar(L"1234", L'0', 3));
}

TEST(Strings, IsRelativePath) {
  struct Case {
    const wchar_t* Path;
    bool Relative;
  } const cases[] = {
      {L"BSDL\\ST\\STM32.bsd", true}, {L"\\Library\\x.bsd", true}, {L"", true},
      {L"C:\\Library\\x.bsd", false}, {L"C:x.bsd", false},          {L"\\\\server\\share\\x.bsd", false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Relative, IsRelativePath(c.Path)) << c.Path;
}

TEST(Numbers, HexStrToInt) {
  struct Case {
    const wchar_t* Text;
    std::int32_t Value;
  } const cases[] = {
      {L"0x1F", 31}, {L"0X1f", 31}, {L"1f", 31},       {L"1G", 7},
      {L"", 0},      {L"0x", 0},    {L"0x-1", 7},      {L"FFFFFFFF", -1},
      {L" 1", 7},    {L"$1F", 7},   {L"x1F", 7},       {L"123456789", 0x23456789},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Value, HexStrToInt(c.Text, 7)) << c.Text;
  EXPECT_EQ(HexStrToInt(L"23456789", 7), HexStrToInt(L"123456789", 7));
}

TEST(Identity, CachedNamesAndProcessId) {
  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameW(computer, &size));
  EXPECT_EQ(computer, GetComputerNameCached());
  EXPECT_FALSE(GetUserNameCached().empty());
  EXPECT_EQ(std::to_wstring(GetCurrentProcessId()), GetProcessIdText());
}

// ---- Message dialogs through the seam

struct ShownDialog {
  std::wstring Text, Caption;
  UINT Flags;
};
std::vector<ShownDialog> gShown;
int gAnswer = IDOK;

int Record(HWND, const std::wstring& text, const std::wstring& caption, UINT flags) {
  gShown.push_back({text, caption, flags});
  return gAnswer;
}

class MessageDialogs : public ::testing::Test {
protected:
  void SetUp() override {
    gShown.clear();
    gAnswer = IDOK;
    FOld = SetDialogHandler(&Record);
  }
  void TearDown() override { SetDialogHandler(FOld); }
  TDialogHandler FOld = nullptr;
};

TEST_F(MessageDialogs, CaptionsIconsAndButtons) {
  EXPECT_EQ(1, ShowWarningMessage(L"w"));
  ShowInformationMessage(L"i");
  ShowErrorMessage(L"e");
  ShowErrorMessage(L"e2", L"Flash");
  ShowWarningMessage(L"w2", L"");
  ASSERT_EQ(5u, gShown.size());
  const struct {
    const wchar_t* Text;
    const wchar_t* Caption;
    UINT Flags;
  } expected[] = {
      {L"w", L"Warning", MB_OK | MB_ICONWARNING},
      {L"i", L"Information", MB_OK | MB_ICONINFORMATION},
      {L"e", L"Error", MB_OK | MB_ICONERROR},
      {L"e2", L"Flash", MB_OK | MB_ICONERROR},
      {L"w2", L"Warning", MB_OK | MB_ICONWARNING},
  };
  for (std::size_t i = 0; i < gShown.size(); ++i) {
    EXPECT_EQ(expected[i].Text, gShown[i].Text);
    EXPECT_EQ(expected[i].Caption, gShown[i].Caption);
    EXPECT_EQ(expected[i].Flags, gShown[i].Flags) << i;
  }
}

TEST_F(MessageDialogs, ConfirmOkCancel) {
  EXPECT_TRUE(ConfirmOkCancel(L"Erase the flash?"));
  gAnswer = IDCANCEL;
  EXPECT_FALSE(ConfirmOkCancel(L"Erase the flash?"));
  ASSERT_EQ(2u, gShown.size());
  EXPECT_EQ(L"Confirm", gShown[0].Caption);
  EXPECT_EQ(UINT(MB_OKCANCEL | MB_ICONQUESTION), gShown[0].Flags);
  EXPECT_EQ(2, ShowMessageBox(L"Confirm", L"x", TMessageKind::Confirmation, TMessageButtons::OkCancel));
}

// ---- Folders

std::wstring ExecutableFolder() {
  wchar_t name[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, name, MAX_PATH + 1);
  std::wstring s = name;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

TEST(Folders, OnlyTheExecutableFolderIsUpperCased) {
  std::wstring exe = ExecutableFolder();
  std::wstring upper = exe;
  CharUpperBuffW(upper.data(), DWORD(upper.size()));
  ASSERT_NE(exe, upper) << "the test needs an executable folder with lower-case letters";
  EXPECT_EQ(upper, GetHostExecutableFolder());
  EXPECT_EQ(upper + L"System\\", GetSystemFolder());
  // The module's own folder keeps its case (in a test the module is the executable).
  EXPECT_EQ(exe, GetModuleFolder());
  EXPECT_EQ(exe + L"Library\\", GetLibraryFolder());
  EXPECT_EQ(exe + L"Templates\\", GetTemplatesFolder());
}

TEST(Folders, TemporaryFolderAndFile) {
  std::wstring temp = GetTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(L'\\', GetTempFolderLong().back());
  EXPECT_TRUE(testsupport::Exists(GetTempFolderLong()));
  std::wstring a = GetTempFileName(), b = GetTempFileName();
  ASSERT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_EQ(0u, a.find(temp + L"Pro"));
  EXPECT_TRUE(testsupport::Exists(a));
  EXPECT_EQ("", testsupport::ReadAll(a));
  DeleteFileW(a.c_str());
  DeleteFileW(b.c_str());
}

// ---- Deferred destruction

struct Watched {
  explicit Watched(int& destroyed) : Destroyed(destroyed) {}
  ~Watched() { ++Destroyed; }
  int& Destroyed;
};

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(DelayedDestroy, FreesTheObjectFromTheMessageLoop) {
  int destroyed = 0;
  DelayedDestroy(std::make_unique<Watched>(destroyed));
  DelayedDestroy(std::make_unique<Watched>(destroyed));
  EXPECT_EQ(0, destroyed);  // not while the caller still runs
  PumpMessages();
  EXPECT_EQ(2, destroyed);
  PumpMessages();
  EXPECT_EQ(2, destroyed);
}

TEST(DelayedDestroy, ShutDownFreesWhatIsStillPending) {
  int destroyed = 0;
  DelayedDestroy(std::make_unique<Watched>(destroyed));
  TDelayedDestroyer::DestroyPending();
  EXPECT_EQ(1, destroyed);
  PumpMessages();  // the posted message went with the window
  EXPECT_EQ(1, destroyed);
  DelayedDestroy(std::make_unique<Watched>(destroyed));  // the class is registered again
  PumpMessages();
  EXPECT_EQ(2, destroyed);
}

}  // namespace
