// Forms: modal show inside a running message loop, the owner window, the
// other windows disabled meanwhile, deferred release, designs read at
// creation, borders, and a form placed in a foreign window.
#include <gtest/gtest.h>

#include <memory>

#include "ClassLibTest.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Panels.h"

using namespace tvk;
using classlib_test::PumpUntil;

namespace {

// A plain top-level window standing in for the host's main window.
struct HostWindow {
  HWND Handle = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                nullptr, nullptr, nullptr);
  ~HostWindow() { DestroyWindow(Handle); }
};

struct ApplicationHandleScope {
  explicit ApplicationHandleScope(HWND h) : Old(Application().Handle()) { Application().SetHandle(h); }
  ~ApplicationHandleScope() { Application().SetHandle(Old); }
  HWND Old;
};

TEST(Forms, ShowModalRunsUntilAResultIsSetWithTheHostWindowOwningAndDisabled) {
  HostWindow host;
  ApplicationHandleScope scope(host.Handle);
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  HWND owner = nullptr;
  bool hostEnabledMeanwhile = true;
  form->OnShow = [&](TObject*) {
    owner = GetWindow(form->Handle(), GW_OWNER);
    hostEnabledMeanwhile = IsWindowEnabled(host.Handle);
    // Closed later, from inside the modal loop, as the window's close box would.
    PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(mrCancel, form->ShowModal());  // WM_CLOSE on a modal form cancels it
  EXPECT_EQ(host.Handle, owner);
  EXPECT_FALSE(hostEnabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(host.Handle));
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(0u, form->FormState() & fsModal);
  form->Show();
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

void CALLBACK SetOkOnTick(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  static_cast<TCustomForm*>(TWinControl::FindControl(window))->SetModalResult(mrOk);
}

TEST(Forms, ModalResultEndsTheLoopUnlessOnCloseRefuses) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  int closeCalls = 0;
  form->OnClose = [&](TObject*, TCloseAction& action) {
    if (++closeCalls == 1) action = TCloseAction::caNone;  // the first result is refused
  };
  form->OnShow = [&](TObject*) {
    form->SetModalResult(mrOk);
    SetTimer(form->Handle(), 1, 10, &SetOkOnTick);  // sets it again from inside the loop
  };
  EXPECT_EQ(mrOk, form->ShowModal());
  EXPECT_EQ(2, closeCalls);
}

TEST(Forms, ReleaseFreesTheFormAfterTheWaitingMessages) {
  bool freed = false;
  struct TWatched : TForm {
    TWatched(TComponent* o, bool& f) : TForm(o, kCreateNew), Freed(f) {}
    ~TWatched() override { Freed = true; }
    bool& Freed;
  };
  auto* form = CreateComponent<TWatched>(nullptr, freed);
  HWND w = form->Handle();
  form->Release();
  EXPECT_FALSE(freed);
  EXPECT_TRUE(PumpUntil([&] { return freed; }));
  EXPECT_FALSE(IsWindow(w));
}

class TDesignedDialog : public TForm {
public:
  TVK_CLASS(TDesignedDialog, TForm)
  using TForm::TForm;
  TPanel* Body = nullptr;
  bool CreatedAfterDesign = false;
};

void BuildDesignedDialog(TComponent& root) {
  auto& f = static_cast<TDesignedDialog&>(root);
  f.SetName(L"DesignedDialog");
  f.SetCaption(L"Designed");
  f.SetBorderStyle(TFormBorderStyle::bsDialog);
  f.SetBounds(0, 0, 250, 150);
  f.Body = new TPanel(&f);
  f.Body->SetName(L"Body");
  f.Body->SetParent(&f);
}
TVK_DESIGN(TDesignedDialog, BuildDesignedDialog);

TEST(Forms, CreateComponentReadsTheDesignRegisteredUnderTheResourceName) {
  std::unique_ptr<TDesignedDialog> form(CreateComponent<TDesignedDialog>(nullptr));
  ASSERT_NE(nullptr, form->Body);
  EXPECT_EQ(form->Body, form->FindComponent(L"body"));
  EXPECT_EQ(L"Designed", form->Caption());
  LONG_PTR style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  form->SetBorderStyle(TFormBorderStyle::bsSizeable);  // the window is made anew
  EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_STYLE) & WS_THICKFRAME);
  // Made without CreateComponent, a form cannot be shown modally.
  TDesignedDialog bare(nullptr);
  EXPECT_THROW(bare.ShowModal(), EInvalidOperation);
}

// Set before or after the window exists, the client area is what was asked
// for whatever frame the border style gives.
TEST(Forms, SetClientSizeGivesThatClientAreaInsideEveryBorder) {
  for (TFormBorderStyle style : {TFormBorderStyle::bsNone, TFormBorderStyle::bsSingle, TFormBorderStyle::bsSizeable,
                                 TFormBorderStyle::bsDialog, TFormBorderStyle::bsToolWindow})
    for (bool handleFirst : {false, true}) {
      std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
      form->SetBorderStyle(style);
      if (handleFirst) form->HandleNeeded();
      form->SetClientSize(500, 200);
      form->HandleNeeded();
      RECT client{};
      GetClientRect(form->Handle(), &client);
      EXPECT_EQ(500, client.right) << int(style) << handleFirst;
      EXPECT_EQ(200, client.bottom) << int(style) << handleFirst;
    }
}

TEST(Forms, AFormInAForeignWindowIsItsChild) {
  HostWindow host;
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetParentWindow(host.Handle);
  form->SetBounds(3, 4, 50, 60);
  form->Show();
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_TRUE(GetWindowLongPtrW(form->Handle(), GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(host.Handle, GetParent(form->Handle()));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(3, form->Left());
  form->SetParentWindow(nullptr);  // leaves the foreign window; its window goes
  EXPECT_FALSE(IsWindow(GetWindow(host.Handle, GW_CHILD)) && GetWindow(host.Handle, GW_CHILD) == form->Handle());
}

TEST(Forms, AnErrorLeftInAFormsHandlerReachesTheApplicationsDialog) {
  static std::wstring shown;
  auto old = SetDialogHandler([](HWND, const std::wstring& text, const std::wstring& caption, UINT) {
    shown = caption + L": " + text;
    return IDOK;
  });
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->OnResize = [](TObject*) { throw Exception(L"Resize failed"); };
  HWND w = form->Handle();
  SetWindowPos(w, nullptr, 0, 0, 99, 99, SWP_NOZORDER | SWP_NOACTIVATE);
  SetDialogHandler(old);
  EXPECT_EQ(L"Error: Resize failed.", shown);
}

}  // namespace

namespace {

// A control that notes the focus messages it hears and may refuse to be left.
class FocusProbe : public TWinControl {
public:
  FocusProbe(TWinControl* parent, std::wstring name, std::vector<std::wstring>& log)
      : TWinControl(parent), Name(std::move(name)), Log(log) {
    SetParent(parent);
    SetBounds(0, 0, 40, 20);
  }
  std::wstring Name;
  std::vector<std::wstring>& Log;
  bool RefuseExit = false;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_ENTER) Log.push_back(L"enter " + Name);
    if (message.Msg == CM_EXIT) {
      Log.push_back(L"exit " + Name);
      if (RefuseExit) throw Exception(L"stay in " + Name);
    }
    TWinControl::WndProc(message);
  }
};

}  // namespace

TEST(Forms, AFocusMoveExitsInnermostFirstAndEntersOutermostFirst) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  std::vector<std::wstring> log;
  auto* panel = new FocusProbe(form.get(), L"panel", log);
  panel->SetBounds(0, 0, 100, 100);
  auto* inner = new FocusProbe(panel, L"inner", log);
  auto* outer = new FocusProbe(form.get(), L"outer", log);
  outer->SetLeft(150);
  form->Show();
  SetFocus(inner->Handle());
  SetFocus(outer->Handle());
  EXPECT_EQ((std::vector<std::wstring>{L"enter panel", L"enter inner", L"exit inner", L"exit panel", L"enter outer"}),
            log);
  EXPECT_EQ(outer, form->FocusedControl());
  EXPECT_EQ(outer, form->ActiveControl());
  log.clear();
  SetFocus(form->Handle());  // the form itself: every control is left
  EXPECT_EQ((std::vector<std::wstring>{L"exit outer"}), log);
  EXPECT_EQ(nullptr, form->FocusedControl());
}

TEST(Forms, AControlRefusingToBeLeftKeepsTheFocusAndTheErrorReachesTheHandler) {
  classlib_test::ExceptionRecorder errors;
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  std::vector<std::wstring> log;
  auto* first = new FocusProbe(form.get(), L"first", log);
  auto* second = new FocusProbe(form.get(), L"second", log);
  second->SetLeft(60);
  form->Show();
  SetFocus(first->Handle());
  first->RefuseExit = true;
  SetFocus(second->Handle());
  EXPECT_EQ(first->Handle(), GetFocus());
  EXPECT_EQ(first, form->FocusedControl());
  EXPECT_EQ((std::vector<std::wstring>{L"enter first", L"exit first"}), log);
  EXPECT_EQ((std::vector<std::wstring>{L"stay in first"}), errors.Messages);
  first->RefuseExit = false;
  SetFocus(second->Handle());
  EXPECT_EQ(second->Handle(), GetFocus());
  EXPECT_EQ(L"enter second", log.back());
}

TEST(Forms, TheScreensCursorTableAnswersTheStandardCursorsItDoesNotHold) {
  EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), Screen().Cursors(crHandPoint));
  EXPECT_EQ(LoadCursorW(nullptr, IDC_IBEAM), Screen().Cursors(crIBeam));
  EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), Screen().Cursors(4711));
}

// Stay-on-top is the window's topmost layer, made with the window or set on it later, and taken back.
TEST(Forms, AStayOnTopFormIsATopmostWindowBeforeAndAfterItsWindowIsMade) {
  auto topmost = [](TForm& form) { return (GetWindowLongPtrW(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  std::unique_ptr<TForm> early(CreateComponent<TForm>(nullptr, kCreateNew));
  early->SetFormStyle(TFormStyle::fsStayOnTop);
  early->Show();
  EXPECT_TRUE(topmost(*early));
  early->SetFormStyle(TFormStyle::fsNormal);
  EXPECT_FALSE(topmost(*early));

  std::unique_ptr<TForm> late(CreateComponent<TForm>(nullptr, kCreateNew));
  late->Show();
  EXPECT_FALSE(topmost(*late));
  late->SetFormStyle(TFormStyle::fsStayOnTop);
  EXPECT_TRUE(topmost(*late));
  late->RecreateWnd();
  EXPECT_TRUE(topmost(*late)) << "kept by a new window";
}
