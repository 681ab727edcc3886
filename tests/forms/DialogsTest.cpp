// Help keywords composed through the host, dialog placement, sizeable
// dialogs, and a modal server dialog shown inside the simulated host.
#include "FormsFixture.h"

using namespace tvk;
using namespace testsupport;
using forms_test::HostWindow;

namespace {

using Dialogs = forms_test::FormsFixture;

class TEditStub : public TCustomControl {
public:
  TVK_CLASS(TEditStub, TCustomControl)
  using TCustomControl::TCustomControl;
};

class TFlashDialog : public TServerDialog {
public:
  TVK_CLASS(TFlashDialog, TServerDialog)
  using TServerDialog::TServerDialog;
  TPanel* Options = nullptr;
  TEditStub* AddressEdit = nullptr;
  TEditStub* Unnamed = nullptr;
};

void BuildFlashDialog(TComponent& root) {
  auto& d = static_cast<TFlashDialog&>(root);
  d.SetName(L"FlashDialog");
  d.SetBorderStyle(TFormBorderStyle::bsDialog);
  d.SetBounds(0, 0, 301, 201);
  d.Options = new TPanel(&d);
  d.Options->SetName(L"Options");
  d.Options->SetParent(&d);
  d.AddressEdit = new TEditStub(&d);
  d.AddressEdit->SetName(L"AddressEdit");
  d.AddressEdit->SetParent(d.Options);
  d.Unnamed = new TEditStub(&d);
  d.Unnamed->SetParent(d.Options);
}
TVK_DESIGN(TFlashDialog, BuildFlashDialog);

// The module's own base name as the help prefix request carries it.
std::wstring ModuleBaseName() {
  std::wstring file = ExtractFileName(GetModuleFile());
  return file.substr(0, file.find_last_of(L'.'));
}

TEST_F(Dialogs, F1OnANestedControlAsksTheHostForPrefixThenKeyword) {
  Host.SetHelpPrefix(L"Tvk");
  std::unique_ptr<TFlashDialog> dialog(CreateComponent<TFlashDialog>(nullptr));
  Host.ClientAPI().ClearCalls();
  SendMessageW(dialog->AddressEdit->Handle(), WM_KEYDOWN, VK_F1, 0);
  const auto& calls = Host.ClientAPI().Calls();
  ASSERT_EQ(2u, calls.size());
  EXPECT_EQ(964, calls[0].Id);
  EXPECT_EQ(ModuleBaseName(), calls[0].Str(0));
  EXPECT_EQ(963, calls[1].Id);
  EXPECT_EQ(L"Tvk.Dlg.FlashDialog.Options.AddressEdit", calls[1].Str(0));
  // A control without a name: its class name without the "T".
  WideString keyword;
  dialog->BuildHelpKeyword(dialog->Unnamed, keyword);
  EXPECT_EQ(L"Tvk.Dlg.FlashDialog.Options.EditStub", keyword);
  dialog->BuildHelpKeyword(dialog.get(), keyword);
  EXPECT_EQ(L"Tvk.Dlg.FlashDialog", keyword);
}

TEST_F(Dialogs, HelpTargetIsWhatTheHostAnswersForTheKeyword) {
  Host.SetHelpPrefix(L"P");
  Host.AddHelpTarget(L"P.Dlg.FlashDialog.Options", L"C:\\help\\options.htm");
  std::unique_ptr<TFlashDialog> dialog(CreateComponent<TFlashDialog>(nullptr));
  WideString target;
  EXPECT_TRUE(dialog->GetHelpTarget(dialog->Options, target));
  EXPECT_EQ(L"C:\\help\\options.htm", target);
  EXPECT_FALSE(dialog->GetHelpTarget(dialog->AddressEdit, target));
  EXPECT_FALSE(dialog->GetHelpTarget(nullptr, target));
}

TEST_F(Dialogs, F1WithShiftIsAHostShortcutNotHelp) {
  std::unique_ptr<TFlashDialog> dialog(CreateComponent<TFlashDialog>(nullptr));
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE saved = keys[VK_SHIFT];
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Host.ClientAPI().ClearCalls();
  SendMessageW(dialog->AddressEdit->Handle(), WM_KEYDOWN, VK_F1, 0);
  keys[VK_SHIFT] = saved;
  SetKeyboardState(keys);
  EXPECT_EQ(0u, Host.ClientAPI().CallCount(963));
  ASSERT_EQ(1u, Host.GUIManager().CallCount(hostsim::disp::GUIManager_ProcessKeyStroke));
  EXPECT_EQ(VK_F1, Host.GUIManager().Calls().back().Int(0));
}

TEST_F(Dialogs, TheHelpButtonsRequestAfterF1IsIgnoredOnceThenServed) {
  std::unique_ptr<TFlashDialog> dialog(CreateComponent<TFlashDialog>(nullptr));
  HELPINFO info{};
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.hItemHandle = dialog->AddressEdit->Handle();
  SendMessageW(dialog->AddressEdit->Handle(), WM_KEYDOWN, VK_F1, 0);
  Host.ClientAPI().ClearCalls();
  Host.GUIManager().ClearCalls();
  // The system follows F1 with WM_HELP: already answered.
  SendMessageW(dialog->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(0u, Host.ClientAPI().CallCount(963));
  // The title-bar help button on the same control: status bar cleared, then the control's help.
  SendMessageW(dialog->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(1u, Host.GUIManager().CallCount(hostsim::disp::GUIManager_SetStatusBarText));
  ASSERT_EQ(1u, Host.ClientAPI().CallCount(963));
  EXPECT_EQ(L"Help.Dlg.FlashDialog.Options.AddressEdit", Host.ClientAPI().Calls().back().Str(0));
}

TEST(PlaceDialog, CentresOnAMonitorLeftOfThePrimaryTruncatingTowardZero) {
  // (-1280 + 0 - 301) / 2 = -790.5: toward zero is -790 (flooring would give -791).
  POINT p = PlaceCentered(RECT{-1280, -100, 0, 924}, 301, 201);
  EXPECT_EQ(-790, p.x);
  EXPECT_EQ(311, p.y);  // (-100 + 924 - 201) / 2 = 311.5
}

TEST_F(Dialogs, ADialogIsCentredOnTheMonitorWhenMade) {
  std::unique_ptr<TFlashDialog> dialog(CreateComponent<TFlashDialog>(nullptr));
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(GetActiveWindow(), MONITOR_DEFAULTTONEAREST), &info);
  POINT expected = PlaceCentered(info.rcMonitor, 301, 201);
  EXPECT_EQ(expected.x, dialog->Left());
  EXPECT_EQ(expected.y, dialog->Top());
}

class TSizeableDialog : public TServerDialog {
public:
  TVK_CLASS(TSizeableDialog, TServerDialog)
  using TServerDialog::TServerDialog;
};
void BuildSizeableDialog(TComponent& root) {
  static_cast<TCustomForm&>(root).SetBorderStyle(TFormBorderStyle::bsSizeable);
  static_cast<TCustomForm&>(root).SetColor(clRed);
}
TVK_DESIGN(TSizeableDialog, BuildSizeableDialog);

TEST_F(Dialogs, ASizeableDesignBecomesADialogFrameThatResizes) {
  std::unique_ptr<TSizeableDialog> sizeable(CreateComponent<TSizeableDialog>(nullptr));
  std::unique_ptr<TFlashDialog> fixed(CreateComponent<TFlashDialog>(nullptr));
  EXPECT_TRUE(sizeable->SizeableDialog());
  EXPECT_EQ(TFormBorderStyle::bsDialog, sizeable->BorderStyle());
  EXPECT_EQ(clBtnFace, sizeable->Color());
  LONG_PTR style = GetWindowLongPtrW(sizeable->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongPtrW(sizeable->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(fixed->SizeableDialog());
  EXPECT_FALSE(GetWindowLongPtrW(fixed->Handle(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongPtrW(fixed->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
}

TEST_F(Dialogs, AModalServerDialogIsOwnedByTheHostsMainWindowAndEndsCleanly) {
  HostWindow main;
  Host.Client().ReturnInt(hostsim::disp::Client_GetMainWindowHandle, main.Wire());
  std::unique_ptr<TFlashDialog> dialog(CreateComponent<TFlashDialog>(nullptr));
  dialog->SetPosition(TPosition::poScreenCenter);
  HWND owner = nullptr;
  int left = dialog->Left();
  dialog->OnShow = [&](TObject*) {
    owner = GetWindow(dialog->Handle(), GW_OWNER);
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    throw Exception(L"show handler failed");  // handed to the application; the dialog still shows
  };
  std::vector<std::wstring> errors;
  Application().OnException = [&](TObject*, const std::exception_ptr& e) { errors.push_back(ExceptionMessage(e)); };
  EXPECT_EQ(mrCancel, dialog->ShowModal());
  Application().OnException = nullptr;
  EXPECT_EQ(main.Handle, owner);
  EXPECT_EQ(std::vector<std::wstring>{L"show handler failed"}, errors);
  EXPECT_EQ(left, dialog->Left());  // placed when made, not moved by the toolkit
  EXPECT_TRUE(IsWindowEnabled(main.Handle));
  dialog.reset();
  EXPECT_TRUE(IsWindow(main.Handle));
}

}  // namespace
