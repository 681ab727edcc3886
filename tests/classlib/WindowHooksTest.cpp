// Replaced window procedures that chain, the application window's hooks,
// the thread's mouse hook and dragging one control onto another.
#include <gtest/gtest.h>

#include "Application.h"
#include "Forms.h"
#include "ImageLists.h"

#include <stdexcept>
#include <string>

using namespace tvk;

namespace {

constexpr UINT kProbe = WM_APP + 40;

// A plain top-level window of the test's thread, of a foreign class.
struct TPlainWindow {
  HWND Handle = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ~TPlainWindow() {
    if (IsWindow(Handle)) DestroyWindow(Handle);
  }
};

// Each subclass notes its letter and passes the probe on, so the order of
// the letters is the order of the chain.
TWindowSubclass::THandler Noting(std::wstring& trace, wchar_t letter) {
  return [&trace, letter](TMessage& message) {
    if (message.Msg == kProbe) trace += letter;
    return false;
  };
}

TEST(WindowSubclass, ChainsAndSurvivesRemovalInAnyOrder) {
  for (const bool removeFirstInstalled : {true, false}) {
    TPlainWindow window;
    std::wstring trace;
    TWindowSubclass a, b, c;
    ASSERT_TRUE(a.Install(window.Handle, Noting(trace, L'a')));
    ASSERT_TRUE(b.Install(window.Handle, Noting(trace, L'b')));
    ASSERT_TRUE(c.Install(window.Handle, Noting(trace, L'c')));
    SendMessageW(window.Handle, kProbe, 0, 0);
    EXPECT_EQ(L"cba", trace);
    (removeFirstInstalled ? a : c).Remove();
    b.Remove();
    trace.clear();
    SendMessageW(window.Handle, kProbe, 0, 0);
    EXPECT_EQ(removeFirstInstalled ? L"c" : L"a", trace);
  }
}

TEST(WindowSubclass, TakesAMessageOrAnswersAfterThePrevious) {
  TPlainWindow window;
  SetWindowTextW(window.Handle, L"abc");
  TWindowSubclass inner, outer;
  inner.Install(window.Handle, [](TMessage& message) {
    if (message.Msg != kProbe) return false;
    message.Result = 7;
    return true;
  });
  outer.Install(window.Handle, [&outer](TMessage& message) {
    if (message.Msg != WM_GETTEXTLENGTH && message.Msg != kProbe) return false;
    message.Result = outer.CallPrevious(message) * 10;
    return true;
  });
  EXPECT_EQ(70, SendMessageW(window.Handle, kProbe, 0, 0));
  EXPECT_EQ(30, SendMessageW(window.Handle, WM_GETTEXTLENGTH, 0, 0));
}

TEST(WindowSubclass, EndsWithTheWindowAndRefusesAForeignThreadsWindow) {
  TWindowSubclass subclass;
  {
    TPlainWindow window;
    ASSERT_TRUE(subclass.Install(window.Handle, [](TMessage&) { return false; }));
  }
  EXPECT_FALSE(subclass.Installed());
  EXPECT_FALSE(subclass.Install(GetDesktopWindow(), [](TMessage&) { return false; }));
  EXPECT_FALSE(subclass.Installed());
}

TEST(WindowSubclass, AnErrorInTheHandlerStaysInside) {
  TPlainWindow window;
  TWindowSubclass subclass;
  subclass.Install(window.Handle, [](TMessage& message) -> bool {
    if (message.Msg == kProbe) throw Exception(L"broken");
    return false;
  });
  std::wstring seen;
  auto saved = Application().OnException;
  Application().OnException = [&](TObject*, const std::exception_ptr& e) { seen = ExceptionMessage(e); };
  EXPECT_EQ(0, SendMessageW(window.Handle, kProbe, 0, 0));
  Application().OnException = saved;
  EXPECT_EQ(L"broken", seen);
}

struct MainWindowHooks : ::testing::Test {
  TPlainWindow Main, Other;
  HWND Saved = Application().Handle();
  MainWindowHooks() { Application().SetHandle(Main.Handle); }
  ~MainWindowHooks() override { Application().SetHandle(Saved); }
};

TEST_F(MainWindowHooks, LatestFirstOneTakingTheMessageStopsTheRest) {
  std::wstring trace;
  const int first = Application().HookMainWindow([&](TMessage& m) {
    if (m.Msg == kProbe) trace += L'1';
    return false;
  });
  const int second = Application().HookMainWindow([&](TMessage& m) {
    if (m.Msg != kProbe) return false;
    trace += L'2';
    m.Result = 5;
    return m.WParam == 1;
  });
  EXPECT_EQ(0, SendMessageW(Main.Handle, kProbe, 0, 0));
  EXPECT_EQ(5, SendMessageW(Main.Handle, kProbe, 1, 0));
  EXPECT_EQ(L"212", trace);
  Application().UnhookMainWindow(second);
  Application().UnhookMainWindow(first);
  trace.clear();
  SendMessageW(Main.Handle, kProbe, 0, 0);
  EXPECT_EQ(L"", trace);
}

TEST_F(MainWindowHooks, UnhookingInsideAHookAndFollowingANewHandle) {
  std::wstring trace;
  int self = 0;
  self = Application().HookMainWindow([&](TMessage& m) {
    if (m.Msg != kProbe) return false;
    trace += L's';
    Application().UnhookMainWindow(self);
    return false;
  });
  const int stays = Application().HookMainWindow([&](TMessage& m) {
    if (m.Msg == kProbe) trace += L'k';
    return false;
  });
  SendMessageW(Main.Handle, kProbe, 0, 0);
  SendMessageW(Main.Handle, kProbe, 0, 0);
  EXPECT_EQ(L"ksk", trace);
  Application().SetHandle(Other.Handle);
  trace.clear();
  SendMessageW(Main.Handle, kProbe, 0, 0);
  SendMessageW(Other.Handle, kProbe, 0, 0);
  EXPECT_EQ(L"k", trace);
  Application().UnhookMainWindow(stays);
}

// A message given to the hook procedure as Windows gives it.
LRESULT CallMouseHook(UINT message, POINT pt) {
  MOUSEHOOKSTRUCT info{};
  info.pt = pt;
  return TThreadMouseHook::Procedure(HC_ACTION, message, reinterpret_cast<LPARAM>(&info));
}

TEST(ThreadMouseHook, HandlersNewestFirstAndASwallowStopsThem) {
  std::wstring trace;
  TThreadMouseHook older(nullptr, [&](int, UINT message, const MOUSEHOOKSTRUCT&) {
    trace += L'o';
    return message == WM_LBUTTONDOWN;
  });
  {
    TThreadMouseHook newer(nullptr, [&](int, UINT message, const MOUSEHOOKSTRUCT& info) {
      trace += L'n';
      return message == WM_RBUTTONDOWN && info.pt.x == 3;
    });
    EXPECT_EQ(older.Handle(), newer.Handle());
    EXPECT_EQ(1, CallMouseHook(WM_RBUTTONDOWN, {3, 0}));
    EXPECT_EQ(L"n", trace);
    EXPECT_EQ(1, CallMouseHook(WM_LBUTTONDOWN, {3, 0}));
    EXPECT_EQ(L"nno", trace);
  }
  trace.clear();
  EXPECT_EQ(0, CallMouseHook(WM_RBUTTONDOWN, {3, 0}));
  EXPECT_EQ(L"o", trace);
}

TEST(ThreadMouseHook, AHandlerMayFreeItsOwnHookAndErrorsStayInside) {
  std::wstring seen;
  auto saved = Application().OnException;
  Application().OnException = [&](TObject*, const std::exception_ptr& e) { seen = ExceptionMessage(e); };
  std::unique_ptr<TThreadMouseHook> hook;
  hook = std::make_unique<TThreadMouseHook>(nullptr, [&](int, UINT, const MOUSEHOOKSTRUCT&) -> bool {
    hook.reset();
    throw Exception(L"after freeing");
  });
  EXPECT_EQ(0, CallMouseHook(WM_MOUSEMOVE, {0, 0}));
  Application().OnException = saved;
  EXPECT_EQ(nullptr, hook);
  EXPECT_EQ(L"after freeing", seen);
}

// What reaches the hooks installed before ours (the host's): every message
// a handler leaves, with the code and the answer of the next hook.
std::vector<UINT>* gPassedOn = nullptr;
LRESULT WINAPI RecordPassedOn(HHOOK, int, WPARAM wParam, LPARAM) {
  if (gPassedOn) gPassedOn->push_back(UINT(wParam));
  return 9;
}

TEST(ThreadMouseHook, MessagesLeftGoOnToTheHooksBefore) {
  std::vector<UINT> passed;
  gPassedOn = &passed;
  auto saved = std::exchange(TThreadMouseHook::CallNext, &RecordPassedOn);
  {
    TThreadMouseHook hook(nullptr, [](int, UINT message, const MOUSEHOOKSTRUCT&) { return message == WM_RBUTTONDOWN; });
    EXPECT_EQ(9, CallMouseHook(WM_MOUSEMOVE, {500, 500}));
    EXPECT_EQ(1, CallMouseHook(WM_RBUTTONDOWN, {0, 0}));
    EXPECT_EQ(9, CallMouseHook(WM_LBUTTONDOWN, {0, 0}));
  }
  TThreadMouseHook::CallNext = saved;
  gPassedOn = nullptr;
  EXPECT_EQ((std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN}), passed);
}

// Dragging: a source made draggable, a target that accepts.
struct Dragging : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TCustomControl* Source = new TCustomControl(Form.get());
  TCustomControl* Target = new TCustomControl(Form.get());
  std::vector<TDragState> Steps;
  TObject* Dropped = nullptr;
  TObject* EndedOn = reinterpret_cast<TObject*>(1);
  Dragging() {
    Form->SetBounds(0, 0, 300, 200);
    Source->SetParent(Form.get());
    Source->SetBounds(10, 10, 50, 50);
    Target->SetParent(Form.get());
    Target->SetBounds(150, 10, 50, 50);
    Form->HandleNeeded();
    // Top-most, so that no other program's window on the desktop takes the drag.
    SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Target->OnDragOver = [this](TObject*, TObject* source, int, int, TDragState state, bool& accept) {
      Steps.push_back(state);
      accept = source == Source;
    };
    Target->OnDragDrop = [this](TObject*, TObject* source, int, int) { Dropped = source; };
    Source->OnEndDrag = [this](TObject*, TObject* target, int, int) { EndedOn = target; };
  }
  // A mouse message as the source's window gets it, at a point of the target.
  void MoveOverTarget(UINT message) {
    POINT p = Source->ScreenToClient(Target->ClientToScreen(POINT{5, 5}));
    SetCursorPos(Target->ClientToScreen(POINT{5, 5}).x, Target->ClientToScreen(POINT{5, 5}).y);
    SendMessageW(Source->Handle(), message, 0, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
  }
};

TEST_F(Dragging, AutomaticDragDropsOnTheTargetUnderTheMouse) {
  Source->SetDragMode(TDragMode::dmAutomatic);
  const POINT start = Source->ClientToScreen(POINT{5, 5});
  SetCursorPos(start.x, start.y);
  SendMessageW(Source->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_TRUE(Source->Dragging());
  MoveOverTarget(WM_MOUSEMOVE);
  MoveOverTarget(WM_MOUSEMOVE);
  MoveOverTarget(WM_LBUTTONUP);
  EXPECT_FALSE(Source->Dragging());
  EXPECT_EQ((std::vector<TDragState>{TDragState::dsDragEnter, TDragState::dsDragMove}), Steps);
  EXPECT_EQ(Source, Dropped);
  EXPECT_EQ(Target, EndedOn);
}

TEST_F(Dragging, EscapeCancelsAndTheTargetHearsTheLeave) {
  const POINT start = Source->ClientToScreen(POINT{5, 5});
  SetCursorPos(start.x, start.y);
  Source->BeginDrag(true);
  MoveOverTarget(WM_MOUSEMOVE);
  SendMessageW(Source->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(Source->Dragging());
  EXPECT_EQ((std::vector<TDragState>{TDragState::dsDragEnter, TDragState::dsDragLeave}), Steps);
  EXPECT_EQ(nullptr, Dropped);
  EXPECT_EQ(nullptr, EndedOn);
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(Dragging, AReleaseBeforeTheThresholdIsNoDrag) {
  Source->BeginDrag(false, 20);
  const POINT start = Source->ClientToScreen(POINT{5, 5});
  SetCursorPos(start.x, start.y);
  SendMessageW(Source->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(8, 8));
  SendMessageW(Source->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  EXPECT_FALSE(Source->Dragging());
  EXPECT_TRUE(Steps.empty());
  EXPECT_EQ(nullptr, EndedOn);
}

TEST_F(Dragging, FreeingTheSourceEndsTheDrag) {
  Source->BeginDrag(true);
  delete Source;
  EXPECT_EQ(nullptr, GetCapture());
  const POINT over = Form->ScreenToClient(Target->ClientToScreen(POINT{5, 5}));
  SendMessageW(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));  // nothing left to drag
  EXPECT_TRUE(Steps.empty());
}

// A drag object of the test's own: its cursor and how the drag ended.
class TRecordingDragObject : public TDragObject {
public:
  std::vector<bool> Finishes;
  TObject* FinishedOn = reinterpret_cast<TObject*>(1);
  void Finished(TObject* target, int, int, bool accepted) override {
    Finishes.push_back(accepted);
    FinishedOn = target;
  }

protected:
  TCursor DragCursorFor(bool accepted, int, int) override { return accepted ? crHandPoint : crNo; }
};

TEST_F(Dragging, ASuppliedDragObjectGivesTheCursorAndHearsTheEnd) {
  TRecordingDragObject object;
  Source->OnStartDrag = [&](TObject*, TDragObject*& drag) { drag = &object; };
  const POINT start = Source->ClientToScreen(POINT{5, 5});
  SetCursorPos(start.x, start.y);
  Source->BeginDrag(true);
  EXPECT_EQ(&object, DragObject());
  MoveOverTarget(WM_MOUSEMOVE);
  EXPECT_EQ(crHandPoint, Screen().Cursor());
  EXPECT_EQ(Target, object.DragTarget());
  MoveOverTarget(WM_LBUTTONUP);
  EXPECT_EQ(std::vector<bool>{true}, object.Finishes);
  EXPECT_EQ(Target, object.FinishedOn);
  EXPECT_TRUE(object.Dropped());
  EXPECT_EQ(Source, Dropped) << "targets still get the source control";
  EXPECT_EQ(reinterpret_cast<TObject*>(1), EndedOn) << "the supplied object's end stands for the source's";
  EXPECT_EQ(nullptr, DragObject());
  EXPECT_EQ(crDefault, Screen().Cursor());
}

TEST_F(Dragging, TheLibrarysDragObjectShowsTheSourcesDragCursorWhereAccepted) {
  Source->SetDragCursor(crHandPoint);
  const POINT start = Source->ClientToScreen(POINT{5, 5});
  SetCursorPos(start.x, start.y);
  Source->BeginDrag(true);
  auto* object = dynamic_cast<TDragControlObject*>(DragObject());
  ASSERT_NE(nullptr, object);
  EXPECT_EQ(Source, object->Control());
  MoveOverTarget(WM_MOUSEMOVE);
  EXPECT_EQ(crHandPoint, Screen().Cursor());
  const POINT onForm = Source->ScreenToClient(Form->ClientToScreen(POINT{100, 120}));
  SendMessageW(Source->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(WORD(short(onForm.x)), WORD(short(onForm.y))));
  EXPECT_EQ(crNoDrop, Screen().Cursor()) << "the form does not accept";
  SendMessageW(Source->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(nullptr, EndedOn) << "the library's object ends the drag at the source";
  EXPECT_EQ(nullptr, DragObject());
}

TEST_F(Dragging, AStartThatFailsLeavesNoDragHoldingTheMouse) {
  Source->OnStartDrag = [](TObject*, TDragObject*&) { throw std::runtime_error("refused"); };
  EXPECT_THROW(Source->BeginDrag(true), std::runtime_error);
  EXPECT_FALSE(Source->Dragging());
  EXPECT_EQ(nullptr, GetCapture());
}

// A source whose drag shows a picture.
class TPictureSource : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  std::unique_ptr<TDragImageList> Images;
  TDragImageList* GetDragImages() override { return Images.get(); }
};

TEST_F(Dragging, ThePictureShowsOnlyOverTargetsThatDisplayItAndEndsWithTheDrag) {
  auto* source = new TPictureSource(Form.get());
  source->SetParent(Form.get());
  source->SetBounds(10, 80, 50, 50);
  source->Images = std::make_unique<TDragImageList>(nullptr);
  source->Images->SetSize(8, 8);
  TBitmap picture;
  picture.SetSize(8, 8);
  ASSERT_EQ(0, source->Images->AddMasked(picture, clFuchsia));
  TDragImageList& images = *source->Images;
  const POINT start = source->ClientToScreen(POINT{5, 5});
  SetCursorPos(start.x, start.y);
  source->BeginDrag(true);
  ASSERT_TRUE(images.Dragging());
  MoveOverTarget(WM_MOUSEMOVE);
  EXPECT_FALSE(images.DragImageVisible()) << "the target does not display drag pictures";
  Target->SetControlStyle(Target->ControlStyle() | csDisplayDragImage);
  MoveOverTarget(WM_MOUSEMOVE);
  EXPECT_TRUE(images.DragImageVisible());
  const POINT over = Target->ClientToScreen(POINT{5, 5});
  EXPECT_EQ(over.x, images.DragPosition().x);
  EXPECT_EQ(over.y, images.DragPosition().y);
  SendMessageW(Source->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(images.Dragging()) << "the picture goes with the drag";

  // A picture freed during the drag is forgotten.
  source->BeginDrag(true);
  ASSERT_TRUE(images.Dragging());
  source->Images.reset();
  MoveOverTarget(WM_MOUSEMOVE);
  SendMessageW(Source->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(source->Dragging());
}

}  // namespace
