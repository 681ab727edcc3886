// The hook controller on real thread hooks: a kind's hook is installed exactly
// while procedures are registered, the chain runs newest first with one shared
// result, an error is passed over and the next hook is always called.
#include "LookAndFeelTest.h"
#include "cxContainerHooks.h"
#include "dxHooks.h"

#include <string>
#include <vector>

using namespace tvk;
using laf_test::ExceptionRecorder;
using laf_test::LookAndFeel;

namespace {

std::vector<std::string> gCalls;
LRESULT gSeenByA = -1;
int gWitnessCalls = 0;

void HookA(int, WPARAM, LPARAM, LRESULT& result) {
  gCalls.push_back("A");
  gSeenByA = result;
}
void HookB(int, WPARAM, LPARAM, LRESULT& result) {
  gCalls.push_back("B");
  result = 5;
}
void Throwing(int, WPARAM, LPARAM, LRESULT&) {
  gCalls.push_back("throwing");
  throw Exception(L"hook procedure failed");
}
void MouseProc(int code, WPARAM, LPARAM, LRESULT&) { gCalls.push_back("mouse " + std::to_string(code)); }

LRESULT CALLBACK Witness(int code, WPARAM wParam, LPARAM lParam) {
  ++gWitnessCalls;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A hook installed before the controller's: the system calls it after them,
// through their CallNextHookEx.
class Hooks : public LookAndFeel {
protected:
  void SetUp() override {
    gCalls.clear();
    gSeenByA = -1;
    gWitnessCalls = 0;
    FWitness = SetWindowsHookExW(WH_GETMESSAGE, &Witness, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, FWitness);
    LookAndFeel::SetUp();
    // The controller's own tests start with no procedure registered.
    RemoveContainerHooks();
  }
  void TearDown() override {
    if (HookController()) {
      HookController()->ReleaseHook(&HookA);
      HookController()->ReleaseHook(&HookB);
      HookController()->ReleaseHook(&Throwing);
      HookController()->ReleaseHook(&MouseProc);
    }
    UnhookWindowsHookEx(FWitness);
    LookAndFeel::TearDown();
  }
  // A message through the thread's queue: the get-message hooks see it.
  static void GetOneMessage() {
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 7, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_USER + 7, WM_USER + 7, PM_REMOVE)) {
    }
  }
  HHOOK FWitness = nullptr;
};

}  // namespace

TEST_F(Hooks, ARealGetMessageChainRunsNewestFirstAndReachesTheNextHook) {
  TdxSystemHook& hook = HookController()->SystemHook(htGetMessage);
  dxSetHook(htGetMessage, &HookA);
  EXPECT_NE(nullptr, hook.Handle()) << "the first procedure installs the hook";
  HHOOK handle = hook.Handle();
  dxSetHook(htGetMessage, &HookB);
  EXPECT_EQ(handle, hook.Handle());
  GetOneMessage();
  EXPECT_EQ((std::vector<std::string>{"B", "A"}), gCalls);
  EXPECT_EQ(5, gSeenByA) << "B's result is shared with A";
  EXPECT_GE(gWitnessCalls, 1) << "CallNextHookEx reached the older hook";

  // The routine answers the shared result when a procedure set one.
  MSG msg{};
  EXPECT_EQ(5, TdxSystemHook::EntryRoutine(htGetMessage)(HC_ACTION, PM_NOREMOVE, reinterpret_cast<LPARAM>(&msg)));

  dxReleaseHook(&HookA);
  EXPECT_NE(nullptr, hook.Handle());
  dxReleaseHook(&HookB);
  EXPECT_EQ(nullptr, hook.Handle()) << "the last release unhooks";
  dxReleaseHook(&HookB);  // again: nothing
  gCalls.clear();
  gWitnessCalls = 0;
  GetOneMessage();
  EXPECT_TRUE(gCalls.empty());
  EXPECT_GE(gWitnessCalls, 1);
}

TEST_F(Hooks, AThrowingProcedureIsPassedOverAndTheOthersStillRun) {
  ExceptionRecorder errors;
  dxSetHook(htGetMessage, &HookA);
  dxSetHook(htGetMessage, &Throwing);
  dxSetHook(htGetMessage, &HookB);
  GetOneMessage();
  EXPECT_EQ((std::vector<std::string>{"B", "throwing", "A"}), gCalls);
  EXPECT_EQ(5, gSeenByA);
  EXPECT_EQ((std::vector<std::wstring>{L"hook procedure failed"}), errors.Messages);
  EXPECT_GE(gWitnessCalls, 1);
}

TEST_F(Hooks, MouseKindThroughItsEntryRoutineAndTheInvariants) {
  TdxSystemHook& mouse = HookController()->SystemHook(htMouse);
  dxSetHook(htMouse, &MouseProc);
  EXPECT_NE(nullptr, mouse.Handle());
  MOUSEHOOKSTRUCT data{};
  EXPECT_EQ(0, TdxSystemHook::EntryRoutine(htMouse)(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&data)));
  EXPECT_EQ((std::vector<std::string>{"mouse 0"}), gCalls);
  EXPECT_THROW(dxSetHook(htMouse, &MouseProc), EdxHookAssertion) << "registered twice";
  EXPECT_EQ(1, mouse.Count());
  dxReleaseHook(&MouseProc);
  EXPECT_EQ(nullptr, mouse.Handle());
  for (int kind = 0; kind < kHookTypeCount; ++kind)
    EXPECT_EQ(kind, int(HookController()->SystemHook(TdxHookType(kind)).HookType()));
}

TEST_F(Hooks, ASystemHookDestroyedWithProceduresIsReportedAndUnhooked) {
  ExceptionRecorder errors;
  auto* hook = new TdxSystemHook(htGetMessage);
  hook->Add(&HookA);
  HHOOK handle = hook->Handle();
  ASSERT_NE(nullptr, handle);
  delete hook;
  ASSERT_EQ(1u, errors.Messages.size());
  EXPECT_NE(std::wstring::npos, errors.Messages[0].find(L"dxHooks"));
  EXPECT_FALSE(UnhookWindowsHookEx(handle)) << "nothing is left installed";
}
