// Controls on real windows: windows made on demand along the parent chain,
// bounds, visibility, enabled state and text kept in step with the window,
// messages dispatched by number, reflection to child controls, focus and tab
// order, and exceptions stopped at the window procedure.
#include <gtest/gtest.h>

#include <imm.h>

#include <string>
#include <vector>

#include "ClassLibTest.h"
#include "Forms.h"
#include "Menus.h"
#include "Panels.h"
#include "StdCtrls.h"

using namespace tvk;
using classlib_test::ExceptionRecorder;

namespace {

class TRecorder : public TCustomControl {
public:
  TVK_CLASS(TRecorder, TCustomControl)
  using TCustomControl::TCustomControl;
  std::vector<UINT> Seen;
  bool ThrowOnPaint = false;
  UINT ThrowOn = 0;

protected:
  TVK_MESSAGES();
  void Record(TMessage& m) {
    Seen.push_back(m.Msg);
    if (m.Msg == ThrowOn) throw Exception(L"broken handler");
    TVK_INHERITED(m);
  }
};
TVK_MESSAGE_MAP(TRecorder, {CM_TEXTCHANGED, &TRecorder::Record}, {CN_COMMAND, &TRecorder::Record},
                {CM_ENABLEDCHANGED, &TRecorder::Record}, {WM_USER + 7, &TRecorder::Record})

struct FormFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
};

using Controls = FormFixture;

TEST_F(Controls, AChildsWindowIsMadeWithItsParentsAndSitsInIt) {
  auto* panel = new TPanel(Form.get());
  panel->SetParent(Form.get());
  auto* inner = new TRecorder(Form.get());
  inner->SetParent(panel);
  EXPECT_FALSE(Form->HandleAllocated());
  HWND innerWindow = inner->Handle();  // makes the form's and the panel's windows first
  ASSERT_TRUE(Form->HandleAllocated());
  EXPECT_EQ(panel->Handle(), GetParent(innerWindow));
  EXPECT_EQ(Form->Handle(), GetParent(panel->Handle()));
  EXPECT_EQ(inner, TWinControl::FindControl(innerWindow));
  EXPECT_EQ(nullptr, TWinControl::FindControl(GetDesktopWindow()));
  EXPECT_EQ(Form.get(), GetParentForm(inner));
}

TEST_F(Controls, BoundsFollowTheWindowBothWays) {
  auto* panel = new TPanel(Form.get());
  panel->SetParent(Form.get());
  panel->SetBounds(10, 20, 300, 200);
  HWND w = panel->Handle();
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(HWND_DESKTOP, Form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ((RECT{10, 20, 310, 220}.left), r.left);
  EXPECT_EQ(220, r.bottom);
  MoveWindow(w, 5, 6, 70, 80, FALSE);  // moved from outside
  EXPECT_EQ((std::vector<int>{5, 6, 70, 80}),
            (std::vector<int>{panel->Left(), panel->Top(), panel->Width(), panel->Height()}));
}

TEST_F(Controls, VisibilityEnabledStateAndTextReachTheWindow) {
  auto* c = new TRecorder(Form.get());
  c->SetParent(Form.get());
  HWND w = c->Handle();
  EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE);
  c->Hide();
  EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE);
  c->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(w));
  c->SetText(L"Caption");
  wchar_t text[32] = {};
  GetWindowTextW(w, text, 32);
  EXPECT_STREQ(L"Caption", text);
  SetWindowTextW(w, L"From outside");
  EXPECT_EQ(L"From outside", c->Text());
  EXPECT_EQ((std::vector<UINT>{CM_ENABLEDCHANGED, CM_TEXTCHANGED, CM_TEXTCHANGED}), c->Seen);
}

TEST_F(Controls, LeavingAParentDestroysTheWindowAndComingBackMakesItAnew) {
  auto* c = new TRecorder(Form.get());
  c->SetParent(Form.get());
  HWND first = c->Handle();
  c->SetParent(nullptr);
  EXPECT_FALSE(c->HandleAllocated());
  EXPECT_FALSE(IsWindow(first));
  c->SetParent(Form.get());
  EXPECT_TRUE(c->HandleAllocated());  // the parent has a window: visible children get theirs
  EXPECT_EQ(Form->Handle(), GetParent(c->Handle()));
}

TEST_F(Controls, AWindowMadeUnderAHostWindowMovesIntoTheParentItIsPlacedIn) {
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  auto* moved = new TRecorder(Form.get());
  moved->SetParentWindow(host);
  HWND window = moved->Handle();
  ASSERT_EQ(host, GetParent(window));
  Form->HandleNeeded();
  moved->SetParent(Form.get());
  EXPECT_EQ(window, moved->Handle()) << "the parent has a window: the same window moves into it";
  EXPECT_EQ(Form->Handle(), GetParent(window));

  TForm later(nullptr, kCreateNew);
  auto* remade = new TRecorder(&later);
  remade->SetParentWindow(host);
  HWND old = remade->Handle();
  remade->SetParent(&later);
  EXPECT_FALSE(IsWindow(old)) << "the parent has no window yet: the old one goes";
  later.HandleNeeded();
  EXPECT_EQ(later.Handle(), GetParent(remade->Handle()));
  DestroyWindow(host);
}

TEST_F(Controls, CommandsComeBackToTheChildAsNotifications) {
  auto* c = new TRecorder(Form.get());
  c->SetParent(Form.get());
  SendMessageW(Form->Handle(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(c->Handle()));
  EXPECT_EQ(std::vector<UINT>{CN_COMMAND}, c->Seen);
}

TEST_F(Controls, AnExceptionInAHandlerStopsAtTheWindowProcedure) {
  ExceptionRecorder recorder;
  auto* c = new TRecorder(Form.get());
  c->SetParent(Form.get());
  c->ThrowOn = WM_USER + 7;
  SendMessageW(c->Handle(), WM_USER + 7, 0, 0);
  ASSERT_EQ(1u, recorder.Messages.size());
  EXPECT_EQ(L"broken handler", recorder.Messages[0]);
  EXPECT_EQ(c, recorder.Senders[0]);
  // Called directly (not through Windows), the error reaches the caller.
  EXPECT_THROW(c->Perform(WM_USER + 7), Exception);
}

TEST_F(Controls, TabOrderSkipsControlsWithoutTabStopOrFocus) {
  std::vector<TRecorder*> c;
  for (int i = 0; i < 4; ++i) {
    c.push_back(new TRecorder(Form.get()));
    c.back()->SetParent(Form.get());
    c.back()->SetTabStop(true);
  }
  c[0]->SetTabStop(false);
  c[2]->SetEnabled(false);
  c[3]->SetTabOrder(0);
  // Tab order now: 3, 0, 1, 2.
  EXPECT_EQ(c[3], Form->FindNextControl(nullptr, true, true, false));
  EXPECT_EQ(c[1], Form->FindNextControl(c[3], true, true, false));
  EXPECT_EQ(c[3], Form->FindNextControl(c[1], true, true, false));  // wraps past the disabled one
  EXPECT_EQ(c[1], Form->FindNextControl(c[3], false, true, false));
  EXPECT_THROW(c[2]->SetFocus(), EInvalidOperation);
}

TEST_F(Controls, FocusedControlBecomesTheFormsActiveControl) {
  auto* a = new TRecorder(Form.get());
  a->SetParent(Form.get());
  auto* b = new TRecorder(Form.get());
  b->SetParent(Form.get());
  Form->Show();
  b->SetFocus();
  EXPECT_TRUE(b->Focused());
  EXPECT_EQ(b, Form->ActiveControl());
  delete b;  // the form hears of it
  EXPECT_EQ(nullptr, Form->ActiveControl());
}

TEST_F(Controls, EnterAndExitFollowTheFocusAcrossTheForm) {
  auto* panel = new TPanel(Form.get());
  panel->SetParent(Form.get());
  auto* a = new TRecorder(Form.get());
  a->SetParent(panel);
  auto* b = new TRecorder(Form.get());
  b->SetParent(Form.get());
  std::vector<std::wstring> events;
  auto note = [&](const wchar_t* what) {
    return [&events, what, a, b](TObject* sender) {
      events.push_back(std::wstring(what) + (sender == b ? L" b" : sender == a ? L" a" : L" panel"));
    };
  };
  for (TWinControl* c : std::initializer_list<TWinControl*>{panel, a, b}) {
    c->OnEnter = note(L"enter");
    c->OnExit = note(L"exit");
  }
  Form->Show();
  a->SetFocus();
  b->SetFocus();
  EXPECT_EQ((std::vector<std::wstring>{L"enter panel", L"enter a", L"exit a", L"exit panel", L"enter b"}), events)
      << "entered outermost first, left innermost first";
}

// The context associated with Window now (put back after the look).
HIMC AssociatedContext(HWND window) {
  HIMC context = ImmAssociateContext(window, nullptr);
  ImmAssociateContext(window, context);
  return context;
}

TEST_F(Controls, TheInputMethodModeReachesTheWindowsInputContext) {
  auto* plain = new TRecorder(Form.get());
  plain->SetParent(Form.get());
  auto* c = new TRecorder(Form.get());
  c->SetParent(Form.get());
  c->SetImeMode(TImeMode::imDisable);
  c->SetImeName(L"Kept");
  HWND window = c->Handle();  // applied as the window is made
  ASSERT_NE(nullptr, AssociatedContext(plain->Handle())) << "a window has the thread's context";
  EXPECT_EQ(nullptr, AssociatedContext(window));
  c->SetImeMode(TImeMode::imOpen);
  EXPECT_EQ(AssociatedContext(plain->Handle()), AssociatedContext(window)) << "the default context is back";
  c->SetImeMode(TImeMode::imDisable);
  EXPECT_EQ(nullptr, AssociatedContext(window));
  EXPECT_EQ(L"Kept", c->ImeName());
}

// The window's own handling sees every press and release once: a system list
// box selects the clicked item, a system button clicks once, and a released
// right button brings the control's menu up once.
TEST_F(Controls, MouseButtonsReachTheWindowsOwnHandlingOnce) {
  auto* list = new TListBox(Form.get());
  list->SetParent(Form.get());
  list->SetBounds(0, 0, 120, 100);
  for (const wchar_t* item : {L"one", L"two", L"three"}) list->Items().Add(item);
  auto* button = new TButton(Form.get());
  button->SetParent(Form.get());
  button->SetBounds(150, 0, 75, 25);
  int downs = 0, clicks = 0, menus = 0;
  list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
  button->OnClick = [&](TObject*) { ++clicks; };
  TPopupMenu menu(Form.get());
  list->SetPopupMenu(&menu);
  SetPopupMenuShow([&](TPopupMenu& shown, int, int) { menus += &shown == &menu; });
  struct TRestore {
    ~TRestore() { SetPopupMenuShow(nullptr); }
  } restore;
  Form->Show();

  const RECT item = list->ItemRect(2);
  const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(2, list->ItemIndex()) << "the system list box saw the click";
  EXPECT_EQ(1, downs);
  SendMessageW(list->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, at);
  SendMessageW(list->Handle(), WM_RBUTTONUP, 0, at);
  EXPECT_EQ(1, menus);

  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(1, clicks);
}

TEST_F(Controls, AParentFreesItsChildControls) {
  int freed = 0;
  struct TCounted : TWinControl {
    TCounted(TComponent* o, int& n) : TWinControl(o), Count(n) {}
    ~TCounted() override { ++Count; }
    int& Count;
  };
  {
    TPanel panel(nullptr);  // no owner: the children's only owner is the form
    auto* child = new TCounted(Form.get(), freed);
    child->SetParent(&panel);
    EXPECT_EQ(1, Form->ComponentCount());
  }
  EXPECT_EQ(1, freed);
  EXPECT_EQ(0, Form->ComponentCount());
}

}  // namespace

// A sorted list keeps its items in caption order, ignoring case, in the window too,
// whether the items came before or after the window and before or after sorting.
TEST_F(Controls, ASortedListBoxKeepsItsItemsInCaptionOrder) {
  auto* list = new TListBox(Form.get());
  list->SetParent(Form.get());
  list->SetBounds(0, 0, 120, 100);
  auto shown = [&] {
    std::vector<std::wstring> texts;
    const int count = int(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[32] = {};
      SendMessageW(list->Handle(), LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
      EXPECT_EQ(intptr_t(list->Items().Objects(i)), SendMessageW(list->Handle(), LB_GETITEMDATA, WPARAM(i), 0));
      texts.push_back(text);
    }
    return texts;
  };
  for (auto [text, data] : {std::pair{L"pear", 1}, {L"Apple", 2}, {L"fig", 3}})
    list->Items().AddObject(text, reinterpret_cast<TObject*>(intptr_t(data)));
  list->Handle();
  list->SetSorted(true);
  EXPECT_EQ((std::vector<std::wstring>{L"Apple", L"fig", L"pear"}), shown());
  list->Items().AddObject(L"banana", reinterpret_cast<TObject*>(intptr_t(4)));
  list->Items().AddObject(L"fig", reinterpret_cast<TObject*>(intptr_t(5)));
  EXPECT_EQ((std::vector<std::wstring>{L"Apple", L"banana", L"fig", L"fig", L"pear"}), shown()) << "a shared caption is kept";
  list->SetSorted(false);
  list->Items().Add(L"apricot");
  EXPECT_EQ(L"apricot", shown().back()) << "unsorted again: added at the end";
}
