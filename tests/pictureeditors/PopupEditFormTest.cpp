// The pop-up edit form: its own message loop, nesting, outside clicks,
// deactivation, the close query, sizing towards the grip only, and the host's
// WM_QUIT left for the host.
#include "PictureEditorsTest.h"

#include "Application.h"
#include "Panels.h"
#include "dxCntner.h"
#include "dxPopupEditForm.h"
#include "dxPopupEdits.h"
#include "support/CellHost.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tvk;

namespace {

// An editor that owns a pop-up form and records what the form tells it.
class TFormOwnerEdit : public TdxInplaceMaskEdit, public TdxPopupEditFormOwner {
public:
  TVK_CLASS(TFormOwnerEdit, TdxInplaceMaskEdit)
  explicit TFormOwnerEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) {}
  std::string Name;
  std::vector<std::string>* Log = nullptr;
  bool AllowClose = true;
  bool Swallow = false;
  WideString ReplyText;
  std::vector<bool> Accepts;

  TdxInplaceMaskEdit& PopupOwnerEdit() override { return *this; }
  bool DoCloseQuery() override { return AllowClose; }
  void DoCloseUp(TdxPopupEditForm&, WideString& text, bool& accept) override {
    Accepts.push_back(accept);
    if (Log) Log->push_back(Name);
    if (!ReplyText.empty()) text = ReplyText;
  }
  bool SwallowsOwnClick() override { return Swallow; }
};

// Runs test steps from inside a message loop: each posted step runs when the
// loop dispatches it.
class TPostedSteps {
public:
  TPostedSteps() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PopupFormTestSteps";
    RegisterClassW(&wc);
    FWindow = CreateWindowW(L"PopupFormTestSteps", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TPostedSteps() { DestroyWindow(FWindow); }
  void Post(std::function<void()> step) {
    FSteps.push_back(std::move(step));
    PostMessageW(FWindow, WM_APP, WPARAM(FSteps.size() - 1), 0);
  }
  int Ran = 0;

private:
  static LRESULT CALLBACK Procedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) {
      auto* self = reinterpret_cast<TPostedSteps*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
      ++self->Ran;
      self->FSteps[wParam]();
      return 0;
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
  }
  HWND FWindow = nullptr;
  std::vector<std::function<void()>> FSteps;
};

struct PopupFormFixture : ::testing::Test {
  std::unique_ptr<TForm> HostForm{CreateComponent<TForm>(nullptr, kCreateNew)};
  tvk_test::TCellHost* Host = nullptr;
  std::vector<std::string> Log;
  TPostedSteps Steps;

  void SetUp() override {
    Application().ProcessMessages();  // nothing another test left in the queue
    SetApplicationActiveOverride(true);
    HostForm->SetBounds(10, 10, 400, 300);
    Host = new tvk_test::TCellHost(HostForm.get());
    Host->SetParent(HostForm.get());
    Host->SetBounds(0, 0, 300, 200);
    HostForm->Show();
    // The host's form is the active window when a pop-up opens from it.
    SetForegroundWindow(HostForm->Handle());
    SetActiveWindow(HostForm->Handle());
    Application().ProcessMessages();
  }
  void TearDown() override { SetApplicationActiveOverride(std::nullopt); }

  TFormOwnerEdit* MakeEdit(const std::string& name, TWinControl* parent, TComponent* owner) {
    auto* edit = new TFormOwnerEdit(owner);
    edit->SetParent(parent);
    edit->SetBounds(0, 0, 100, 20);
    edit->Name = name;
    edit->Log = &Log;
    edit->Show();
    edit->HandleNeeded();
    return edit;
  }

  // A form of Edit holding a panel, placed beside the host.
  std::unique_ptr<TdxPopupEditForm> MakeForm(TFormOwnerEdit& edit, TPanel** inner = nullptr) {
    auto form = std::make_unique<TdxPopupEditForm>(nullptr);
    form->SetOwnerControl(&edit);
    form->SetBounds(420, 10, 200, 150);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetAlign(TAlign::alClient);
    if (inner) *inner = panel;
    return form;
  }
};

TEST_F(PopupFormFixture, AClickOutsideCancelsAndAClickInsideOrIntoAPickListDoesNot) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  TPanel* panel = nullptr;
  auto form = MakeForm(*edit, &panel);
  TdxPopupPickListBox pickList(nullptr);  // a pick editor's drop-down, a window of its own
  pickList.SetParent(HostForm.get());
  pickList.SetBounds(430, 200, 80, 60);
  pickList.Show();
  pickList.HandleNeeded();
  bool openAfterInnerClicks = false;
  Steps.Post([&] {
    PostMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(pickList.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Steps.Post([&] {
      openAfterInnerClicks = form->Visible();
      PostMessageW(HostForm->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(350, 250));
    });
  });
  form->ShowPopup();
  EXPECT_TRUE(openAfterInnerClicks);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(std::vector<bool>{false}, edit->Accepts);
  ASSERT_NE(nullptr, OpenPopupForms());
  EXPECT_TRUE(OpenPopupForms()->empty());
}

TEST_F(PopupFormFixture, AcceptingWritesTheChangedTextAndMarksTheEditorModified) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  edit->SetText(L"before");
  edit->SetEditModified(false);
  edit->ReplyText = L"picked";
  auto form = MakeForm(*edit);
  Steps.Post([&] { form->SetModalResult(mrOk); });
  form->ShowPopup();
  EXPECT_EQ(std::vector<bool>{true}, edit->Accepts);
  EXPECT_EQ(L"picked", edit->Text());
  EXPECT_TRUE(edit->GetEditModified());

  // Cancelled, the reply is not written.
  edit->SetEditModified(false);
  edit->ReplyText = L"other";
  Steps.Post([&] { form->SetModalResult(mrCancel); });
  form->ShowPopup();
  EXPECT_EQ(L"picked", edit->Text());
  EXPECT_FALSE(edit->GetEditModified());
}

TEST_F(PopupFormFixture, ClosingTheOuterOfTwoNestedFormsClosesTheInnerFirst) {
  TFormOwnerEdit* outerEdit = MakeEdit("outer", Host, Host);
  TPanel* panel = nullptr;
  auto outer = MakeForm(*outerEdit, &panel);
  TFormOwnerEdit* innerEdit = MakeEdit("inner", panel, panel);
  auto inner = MakeForm(*innerEdit);
  inner->SetLeft(650);
  std::size_t openWhileNested = 0;
  Steps.Post([&] {
    Steps.Post([&] {
      openWhileNested = OpenPopupForms()->size();
      outer->ClosePopup(false);
    });
    inner->ShowPopup();
  });
  outer->ShowPopup();
  EXPECT_EQ(2u, openWhileNested);
  EXPECT_EQ((std::vector<std::string>{"inner", "outer"}), Log);
  EXPECT_FALSE(inner->Visible());
  EXPECT_TRUE(OpenPopupForms()->empty());
}

TEST_F(PopupFormFixture, ARefusingCloseQueryKeepsTheFormOpenOnOkAndOnWMClose) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  edit->AllowClose = false;
  auto form = MakeForm(*edit);
  bool openAfterOk = false, openAfterClose = false;
  Steps.Post([&] { form->SetModalResult(mrOk); });
  Steps.Post([&] {
    openAfterOk = form->Visible() && form->ModalResult() == mrNone;
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    openAfterClose = form->Visible();
    edit->AllowClose = true;
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
  });
  form->ShowPopup();
  EXPECT_TRUE(openAfterOk);
  EXPECT_TRUE(openAfterClose);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(std::vector<bool>{false}, edit->Accepts);
}

TEST_F(PopupFormFixture, LosingTheActivationOrTheApplicationClosesWithoutAccepting) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  auto form = MakeForm(*edit);
  Steps.Post([&] { SendMessageW(form->Handle(), WM_ACTIVATE, WA_INACTIVE, LPARAM(HostForm->Handle())); });
  form->ShowPopup();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(std::vector<bool>{false}, edit->Accepts);

  Steps.Post([&] { SetApplicationActiveOverride(false); });
  form->ShowPopup();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ((std::vector<bool>{false, false}), edit->Accepts);
}

TEST_F(PopupFormFixture, TheHostsQuitMessageEndsTheLoopAndStaysQueued) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  auto form = MakeForm(*edit);
  Steps.Post([&] { PostQuitMessage(42); });
  form->ShowPopup();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(std::vector<bool>{false}, edit->Accepts);
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(42u, msg.wParam);
  EXPECT_FALSE(Application().Terminated());
}

struct SizingRow {
  TdxCorner Corner;
  std::vector<int> Allowed;
};

class PopupFormSizing : public PopupFormFixture, public ::testing::WithParamInterface<SizingRow> {};

// Hit-test points on the frame of a 200 x 150 window, and the sizing edges.
TEST_P(PopupFormSizing, OnlyTheGripCornersEdgesSize) {
  const SizingRow row = GetParam();
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  auto form = MakeForm(*edit);
  form->FSizingCorner = row.Corner;
  HWND wnd = form->Handle();
  RECT w;
  GetWindowRect(wnd, &w);
  const int midX = (w.left + w.right) / 2, midY = (w.top + w.bottom) / 2;
  const struct {
    POINT P;
    int Code;
    WPARAM Edge;
  } probes[] = {
      {{w.left + 1, midY}, HTLEFT, WMSZ_LEFT},
      {{w.right - 2, midY}, HTRIGHT, WMSZ_RIGHT},
      {{midX, w.top + 1}, HTTOP, WMSZ_TOP},
      {{midX, w.bottom - 2}, HTBOTTOM, WMSZ_BOTTOM},
      {{w.left + 1, w.top + 1}, HTTOPLEFT, WMSZ_TOPLEFT},
      {{w.right - 2, w.top + 1}, HTTOPRIGHT, WMSZ_TOPRIGHT},
      {{w.left + 1, w.bottom - 2}, HTBOTTOMLEFT, WMSZ_BOTTOMLEFT},
      {{w.right - 2, w.bottom - 2}, HTBOTTOMRIGHT, WMSZ_BOTTOMRIGHT},
  };
  for (const auto& probe : probes) {
    const bool allowed = std::find(row.Allowed.begin(), row.Allowed.end(), probe.Code) != row.Allowed.end();
    const LRESULT code = SendMessageW(wnd, WM_NCHITTEST, 0, MAKELPARAM(probe.P.x, probe.P.y));
    EXPECT_EQ(allowed ? probe.Code : HTNOWHERE, code) << "probe code " << probe.Code;
    RECT proposed{w.left - 30, w.top - 30, w.right + 30, w.bottom + 30};
    SendMessageW(wnd, WM_SIZING, probe.Edge, LPARAM(&proposed));
    EXPECT_EQ(allowed ? w.left - 30 : w.left, proposed.left) << "edge " << probe.Edge;
  }
}

INSTANTIATE_TEST_SUITE_P(Corners, PopupFormSizing,
                         ::testing::Values(SizingRow{coBottomRight, {HTRIGHT, HTBOTTOM, HTBOTTOMRIGHT}},
                                           SizingRow{coTopLeft, {HTLEFT, HTTOP, HTTOPLEFT}},
                                           SizingRow{coTopRight, {HTRIGHT, HTTOP, HTTOPRIGHT}},
                                           SizingRow{coBottomLeft, {HTLEFT, HTBOTTOM, HTBOTTOMLEFT}}));

TEST_F(PopupFormFixture, ANonSizeableFormNeverSizesAndTheMinimumTrackingSizeIsTheFormsMinimum) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  auto form = MakeForm(*edit);
  form->SetPopupMinWidth(150);
  form->SetPopupMinHeight(120);
  MINMAXINFO info{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, LPARAM(&info));
  EXPECT_EQ(150, info.ptMinTrackSize.x);
  EXPECT_EQ(120, info.ptMinTrackSize.y);

  form->SetSizeable(false);
  RECT w;
  GetWindowRect(form->Handle(), &w);
  const LRESULT corner = SendMessageW(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.right - 2, w.bottom - 2));
  EXPECT_FALSE(corner >= HTLEFT && corner <= HTBOTTOMRIGHT) << corner;
  RECT proposed{w.left, w.top, w.right + 40, w.bottom + 40};
  SendMessageW(form->Handle(), WM_SIZING, WMSZ_BOTTOMRIGHT, LPARAM(&proposed));
  EXPECT_EQ(w.right, proposed.right);
}

TEST_F(PopupFormFixture, TheSystemPanelsCloseButtonClosesTheForm) {
  TFormOwnerEdit* edit = MakeEdit("A", Host, Host);
  auto form = MakeForm(*edit);
  form->SetPopupFormBorderStyle(pbsSysPanel);
  form->FSizingCorner = coBottomLeft;
  RECT button{};
  LRESULT hit = 0;
  Steps.Post([&] {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    button = form->CloseButtonRect();
    const POINT c{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    hit = SendMessageW(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y));
    SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(c.x, c.y));
    POINT client = c;
    ScreenToClient(form->Handle(), &client);
    SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  });
  form->ShowPopup();
  ASSERT_FALSE(IsRectEmpty(&button));
  RECT w;
  GetWindowRect(form->Handle(), &w);
  EXPECT_GT(button.left, (w.left + w.right) / 2) << "a left grip corner puts the button at the right end";
  EXPECT_GT(button.top, (w.top + w.bottom) / 2) << "the panel lies on the grip's side";
  EXPECT_EQ(HTBORDER, hit);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(std::vector<bool>{false}, edit->Accepts);
}

}  // namespace
