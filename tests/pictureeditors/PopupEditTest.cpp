// The pop-up editor: the host's control moved into the form and given back,
// the form sized by the control or by the remembered size, minimum sizes,
// circular placement and the non-editable cell.
#include "PictureEditorsTest.h"

#include "Application.h"
#include "Panels.h"
#include "dxPopupEdit.h"
#include "support/CellHost.h"

#include <memory>

using namespace tvk;

namespace {

struct PopupEditFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  tvk_test::TCellHost* Host = nullptr;
  TdxInplacePopupEdit* Edit = nullptr;
  TPanel* Control = nullptr;

  void SetUp() override {
    Application().ProcessMessages();
    SetApplicationActiveOverride(true);
    Form->SetBounds(20, 20, 500, 400);
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 300, 250);
    Edit = new TdxInplacePopupEdit(Host);
    Edit->SetParent(Host);
    Edit->SetBounds(10, 10, 120, 20);
    Host->Editor = Edit;
    Control = new TPanel(Form.get());
    Control->SetParent(Form.get());
    Control->SetBounds(320, 30, 140, 90);
    Control->SetAlign(TAlign::alNone);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    Edit->SetPopupControl(Control);
  }
  void TearDown() override { SetApplicationActiveOverride(std::nullopt); }

  // Opens the form; Step runs inside its loop and must close it.
  void OpenAndRun(std::function<void()> step) {
    struct TStepWindow {
      static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_APP + 1) {
          (*reinterpret_cast<std::function<void()>*>(GetWindowLongPtrW(w, GWLP_USERDATA)))();
          return 0;
        }
        return DefWindowProcW(w, m, wp, lp);
      }
    };
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TStepWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PopupEditTestStep";
    RegisterClassW(&wc);
    HWND wnd = CreateWindowW(L"PopupEditTestStep", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&step));
    PostMessageW(wnd, WM_APP + 1, 0, 0);
    Edit->ShowPopupForm();
    DestroyWindow(wnd);
  }
};

TEST_F(PopupEditFixture, TheControlSitsInTheFormWhileItIsOpenAndGoesBackAfterwards) {
  bool inForm = false;
  RECT client{};
  OpenAndRun([&] {
    inForm = Control->Parent() == Edit->PopupForm() && Control->Visible() && Control->Align() == TAlign::alClient;
    GetClientRect(Edit->PopupForm()->Handle(), &client);
    Edit->PopupForm()->ClosePopup(false);
  });
  EXPECT_TRUE(inForm);
  EXPECT_EQ(140, client.right) << "auto size: the client area is the control's size";
  EXPECT_EQ(90, client.bottom);
  EXPECT_EQ(Form.get(), Control->Parent());
  EXPECT_EQ(TAlign::alNone, Control->Align());
  EXPECT_EQ(320, Control->Left());
  EXPECT_EQ(30, Control->Top());
  EXPECT_EQ(140, Control->Width());
  EXPECT_TRUE(Control->Visible());
}

TEST_F(PopupEditFixture, TheUsersSizeIsRememberedWithinTheMinimumSizes) {
  Edit->FPopupAutoSize = false;
  OpenAndRun([&] {
    TdxPopupEditForm& form = *Edit->PopupForm();
    EXPECT_EQ(250, form.Width());
    EXPECT_EQ(200, form.Height());
    MINMAXINFO info{};
    SendMessageW(form.Handle(), WM_GETMINMAXINFO, 0, LPARAM(&info));
    EXPECT_EQ(100, info.ptMinTrackSize.x);
    form.SetBounds(form.Left(), form.Top(), 400, 300);
    form.ClosePopup(true);
  });
  EXPECT_EQ(400, Edit->PopupWidth());
  EXPECT_EQ(300, Edit->PopupHeight());
  OpenAndRun([&] {
    EXPECT_EQ(400, Edit->PopupForm()->Width());
    Edit->PopupForm()->ClosePopup(false);
  });
}

TEST_F(PopupEditFixture, MinimumSizesRaiseTheSizeAndNegativeOnesAreZero) {
  Edit->SetPopupMinWidth(300);
  EXPECT_EQ(300, Edit->PopupWidth());
  Edit->SetPopupMinHeight(-5);
  EXPECT_EQ(0, Edit->PopupMinHeight());
  Edit->SetPopupHeight(50);
  EXPECT_EQ(50, Edit->PopupHeight());
  Edit->SetPopupWidth(120);
  EXPECT_EQ(300, Edit->PopupWidth());
}

TEST_F(PopupEditFixture, AControlHoldingTheEditorIsRefusedAndNothingOpens) {
  Edit->SetPopupControl(Host);
  Edit->SetFocus();
  try {
    Edit->ShowPopupForm();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Circular referencing is not allowed", e.Message());
  }
  ASSERT_NE(nullptr, Edit->PopupForm());
  EXPECT_FALSE(Edit->PopupForm()->Visible());
  EXPECT_EQ(Form.get(), Host->Parent());
}

TEST_F(PopupEditFixture, OpeningIsPostedAndAHiddenCursorCellTakesNoTyping) {
  Edit->SetHideEditCursor(true);
  Edit->SetText(L"abc");
  Edit->SetFocus();
  SendMessageW(Edit->Handle(), WM_CHAR, L'x', 1);
  EXPECT_EQ(L"abc", Edit->Text());
  bool opened = false;
  Edit->FOnPopup = [&](TObject*, const WideString& text) {
    opened = text == L"abc";
    PostMessageW(Edit->PopupForm()->Handle(), WM_CLOSE, 0, 0);
  };
  Edit->DropDown();
  EXPECT_FALSE(opened) << "the form opens after the current message";
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, Edit->Handle(), WM_SHOWPOPUPFORM, WM_SHOWPOPUPFORM, PM_REMOVE));
  DispatchMessageW(&msg);
  EXPECT_TRUE(opened);
  EXPECT_FALSE(Edit->PopupForm()->Visible());
}

}  // namespace
