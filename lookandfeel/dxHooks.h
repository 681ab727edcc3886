#pragma once
// One thread hook per kind for the whole library: parts that watch the
// thread's messages register hook procedures with the hook controller, which
// installs a kind's hook while at least one procedure is registered and calls
// them as a chain, newest first, sharing one result.
#include "cxClasses.h"

#include <array>

namespace tvk {

enum TdxHookType : int { htKeyboard, htMouse, htWndProc, htGetMessage, htCBT };
constexpr int kHookTypeCount = htCBT + 1;

// A hook procedure: what the system hands the hook, and the chain's result.
using TdxHookProc = void (*)(int Code, WPARAM wParam, LPARAM lParam, LRESULT& HookResult);

// A broken invariant of the hook controller (a programming error).
class EdxHookAssertion : public Exception {
public:
  using Exception::Exception;
};

class TdxSystemHook : public TObject {
public:
  TVK_CLASS(TdxSystemHook, TObject)
  explicit TdxSystemHook(TdxHookType AHookType) : FHookType(AHookType) {}
  // With procedures or a handle left, reports the broken invariant and unhooks.
  ~TdxSystemHook() override;

  // Installs the hook for the first procedure; a procedure registered twice
  // raises EdxHookAssertion.
  void Add(TdxHookProc AHookProc);
  // Uninstalls the hook when the last procedure goes; an absent one: nothing.
  void Remove(TdxHookProc AHookProc);
  bool Contains(TdxHookProc AHookProc) const;

  HHOOK Handle() const { return FHandle; }
  TdxHookType HookType() const { return FHookType; }
  int Count() const { return int(FHooks.size()); }

  // The routine the system calls for a kind (tests call it as the system would).
  static HOOKPROC EntryRoutine(TdxHookType AHookType);
  // Runs the chain: newest procedure first, one shared result, an error of
  // one procedure handed to the application's handler, CallNextHookEx always.
  LRESULT CallChain(int Code, WPARAM wParam, LPARAM lParam);

protected:
  void Install();
  void Uninstall();

private:
  HHOOK FHandle = nullptr;
  TdxHookType FHookType;
  std::vector<TdxHookProc> FHooks;  // in order of registration
};

class TdxHookController : public TObject {
public:
  TVK_CLASS(TdxHookController, TObject)
  TdxHookController();
  ~TdxHookController() override;
  void SetHook(TdxHookType AHookType, TdxHookProc AHookProc);
  // Removes the procedure from every kind.
  void ReleaseHook(TdxHookProc AHookProc);
  TdxSystemHook& SystemHook(TdxHookType AHookType) { return *FSystemHooks[std::size_t(AHookType)]; }

private:
  std::array<TdxSystemHook*, kHookTypeCount> FSystemHooks{};
};

// The process-wide controller (null before start-up and after shut-down).
TdxHookController* HookController();
// On the process-wide controller; nothing without one.
void dxSetHook(TdxHookType AHookType, TdxHookProc AHookProc);
void dxReleaseHook(TdxHookProc AHookProc);

void dxHooksUnitStart();
void dxHooksUnitStop();

}  // namespace tvk
