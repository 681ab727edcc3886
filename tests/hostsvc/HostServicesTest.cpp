// Host client services: the client API cache, the silent flag, window handle,
// title, status bar, key strokes, server processes, folders and the
// locked-file report.
#include "HostFixture.h"

#include "Dialogs.h"

using namespace tvk;
using hostsim::FakeHostObject;
namespace disp = hostsim::disp;

namespace {

class HostServices : public hostsvc_test::HostFixture {};

TEST_F(HostServices, ClientRecordAndClientAPIAreCached) {
  IClient client = GetHostClient();
  ASSERT_TRUE(client);
  EXPECT_EQ(&Host.Client(), static_cast<IDispatch*>(client.ToPointer()));
  EXPECT_EQ(client.ToPointer(), GetHostClient().ToPointer());
  IClientAPI_Interface api = GetHostClientAPI();
  EXPECT_EQ(static_cast<IDispatch*>(&Host.ClientAPI()), api.ToPointer());
  GetHostClientAPI();
  EXPECT_EQ(1u, Host.Client().CallCount(disp::Client_GetClientAPI));
}

TEST_F(HostServices, WithoutAClient) {
  NoClient();
  EXPECT_FALSE(GetHostClient());
  EXPECT_FALSE(GetHostClientAPI());
  EXPECT_FALSE(IsHostSilent());
  EXPECT_EQ(nullptr, GetHostMainWindowHandle());
  EXPECT_FALSE(GetCurrentDocumentView());
  EXPECT_EQ(L"", GetApplicationTitle());
  EXPECT_EQ(L"", GetProgramFolder());
  EXPECT_EQ(L"", GetHostDataFolder());
  WideString parameters = L"Kind=1";
  RunServerProcess(L"WorkspaceManager:Open", parameters);
  EXPECT_EQ(L"Kind=1", parameters);
  SetStatusBarText(1, L"x");
  EXPECT_THROW(GetClientWorkSpace(), Exception);
  EXPECT_THROW(ProcessHostShortcut('S'), Exception);
  EXPECT_TRUE(Host.Client().Calls().empty());
  // The client found later is taken then.
  Host.Install();
  EXPECT_TRUE(GetHostClient());
}

TEST_F(HostServices, SilentFlagIsAskedOnce) {
  Host.SetSilent(true);
  EXPECT_TRUE(IsHostSilent());
  Host.SetSilent(false);
  EXPECT_TRUE(IsHostSilent());
  EXPECT_EQ(1u, Host.ClientAPI().CallCount(disp::ClientAPI_GetIsSilent));
}

TEST_F(HostServices, ClientReadings) {
  Host.Client().ReturnInt(disp::Client_GetMainWindowHandle, 0x1234);
  Host.SetFolders(L"C:\\Host\\", L"C:\\Users\\ann\\Host\\", L"C:\\Host\\Data\\");
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), GetHostMainWindowHandle());
  EXPECT_EQ(L"Tovik Host", GetApplicationTitle());
  EXPECT_EQ(L"C:\\Host\\", GetProgramFolder());
  EXPECT_EQ(L"C:\\Users\\ann\\Host\\", GetUserFolder());
  EXPECT_EQ(L"C:\\Host\\Data\\", GetHostDataFolder());
}

TEST_F(HostServices, ServerProcessHandsBackTheParameters) {
  std::wstring received;
  Host.Client().On(disp::Client_RunProcess, [&](std::vector<VARIANT*>& a, VARIANT*) {
    if (a.size() != 3 || a[1]->vt != (VT_BSTR | VT_BYREF)) return E_INVALIDARG;
    received = *a[1]->pbstrVal ? *a[1]->pbstrVal : L"";
    SysFreeString(*a[1]->pbstrVal);
    *a[1]->pbstrVal = SysAllocString(L"Result=Done");
    return S_OK;
  });
  WideString parameters = L"ObjectKind=Document";
  RunServerProcess(L"HostWorkspace:OpenObject", parameters);
  EXPECT_EQ(L"ObjectKind=Document", received);
  EXPECT_EQ(L"Result=Done", parameters);
  const auto& call = hostsvc_test::LastCall(Host.Client());
  EXPECT_EQ(disp::Client_RunProcess, call.Id);
  EXPECT_EQ(L"HostWorkspace:OpenObject", call.Str(0));
}

TEST_F(HostServices, StatusBarAndShortcuts) {
  SetStatusBarText(2, L"Reading target");
  ClearStatusBarText();
  const auto& calls = Host.GUIManager().Calls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(2, calls[0].Int(0));
  EXPECT_EQ(L"Reading target", calls[0].Str(1));
  EXPECT_EQ(-1, calls[1].Int(0));
  EXPECT_EQ(L"", calls[1].Str(1));

  Host.GUIManager().ClearCalls();
  EXPECT_FALSE(ProcessHostShortcut('S'));
  EXPECT_EQ(0u, Host.GUIManager().CallCount(disp::GUIManager_UpdateInterfaceState));
  Host.GUIManager().ReturnBool(disp::GUIManager_ProcessKeyStroke, true);
  EXPECT_TRUE(ProcessHostShortcut('S'));
  EXPECT_EQ(1u, Host.GUIManager().CallCount(disp::GUIManager_UpdateInterfaceState));
  const auto& key = Host.GUIManager().Calls()[1];
  ASSERT_EQ(4u, key.ArgCount);
  EXPECT_EQ('S', key.Int(0));
  for (std::size_t k = 1; k < 4; ++k) EXPECT_EQ(VT_BOOL, key.Type(k));  // Alt, Shift, Ctrl: none held here
}

// ---- The locked-file report

std::vector<std::pair<std::wstring, std::wstring>> gDialogs;
int RecordDialog(HWND, const std::wstring& text, const std::wstring& caption, UINT) {
  gDialogs.emplace_back(caption, text);
  return IDOK;
}

class LockedFileReport : public hostsvc_test::HostFixture {
protected:
  void SetUp() override {
    HostFixture::SetUp();
    gDialogs.clear();
    FOld = SetDialogHandler(&RecordDialog);
  }
  void TearDown() override {
    SetDialogHandler(FOld);
    HostFixture::TearDown();
  }
  TDialogHandler FOld = nullptr;
};

TEST_F(LockedFileReport, MessagesPanelLine) {
  ReportLockedFile(L"C:\\Designs\\Board.PcbDoc", L"BENCH-7", L"ann", kLockReportMessagesPanel);
  ASSERT_EQ(1u, Host.MessagesManager().CallCount(disp::MessagesManager_AddMessage));
  const auto& call = hostsvc_test::LastCall(Host.MessagesManager());
  ASSERT_EQ(10u, call.ArgCount);
  const wchar_t* texts[] = {L"[Locked File]",
                            L"Board.PcbDoc is used by ann on BENCH-7. You will not be able to save your changes.",
                            L"Tovik Host",
                            L"C:\\Designs\\Board.PcbDoc",
                            L"HostWorkspace:OpenObject",
                            L"FileName=C:\\Designs\\Board.PcbDoc"};
  for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(texts[k], call.Str(k)) << k;
  EXPECT_EQ(VT_I4, call.Type(6));
  EXPECT_EQ(73, call.Int(6));
  EXPECT_EQ(VT_BOOL, call.Type(7));
  EXPECT_EQ(0, call.Int(7));
  EXPECT_EQ(L"", call.Str(8));
  EXPECT_EQ(L"", call.Str(9));
  EXPECT_TRUE(gDialogs.empty());
}

TEST_F(LockedFileReport, DialogAndOtherKinds) {
  ReportLockedFile(L"C:\\Designs\\Board.PcbDoc", L"BENCH-7", L"ann", kLockReportDialog);
  ReportLockedFile(L"C:\\Designs\\Board.PcbDoc", L"BENCH-7", L"ann", 3);
  ASSERT_EQ(1u, gDialogs.size());
  EXPECT_EQ(L"Warning", gDialogs[0].first);
  EXPECT_EQ(L"Board.PcbDoc is used and locked by ann on BENCH-7.\nYou will not be able to save your changes.",
            gDialogs[0].second);
  EXPECT_EQ(0u, Host.MessagesManager().CallCount(disp::MessagesManager_AddMessage));
}

TEST_F(LockedFileReport, NothingWhileTheHostIsSilent) {
  Host.SetSilent(true);
  ReportLockedFile(L"C:\\a.txt", L"PC", L"ann", kLockReportMessagesPanel);
  ReportLockedFile(L"C:\\a.txt", L"PC", L"ann", kLockReportDialog);
  EXPECT_EQ(0u, Host.MessagesManager().CallCount(disp::MessagesManager_AddMessage));
  EXPECT_TRUE(gDialogs.empty());
}

TEST_F(LockedFileReport, WithoutWorkspaceOrPanelNothingIsPosted) {
  Host.WorkSpace().ReturnObject(disp::WorkSpace_GetMessagesManager, nullptr);
  ReportLockedFile(L"C:\\a.txt", L"PC", L"ann", kLockReportMessagesPanel);
  Host.Client().ReturnObject(disp::Client_GetWorkSpace, nullptr);
  ReportLockedFile(L"C:\\a.txt", L"PC", L"ann", kLockReportMessagesPanel);
  EXPECT_EQ(0u, Host.MessagesManager().CallCount(disp::MessagesManager_AddMessage));
  NoClient();  // not silent, no client: the panel cannot be reached
  EXPECT_THROW(ReportLockedFile(L"C:\\a.txt", L"PC", L"ann", kLockReportMessagesPanel), Exception);
}

}  // namespace
