#include "dxHooks.h"

#include <algorithm>

namespace tvk {

namespace {

constexpr int kWindowsHook[kHookTypeCount] = {WH_KEYBOARD, WH_MOUSE, WH_CALLWNDPROC, WH_GETMESSAGE, WH_CBT};

TdxHookController* gController = nullptr;

[[noreturn]] void Assertion(const wchar_t* what) {
  throw EdxHookAssertion(WideString(L"Assertion failure: ") + what + L" (dxHooks)");
}

template <TdxHookType Kind>
LRESULT CALLBACK HookEntry(int code, WPARAM wParam, LPARAM lParam) {
  if (!gController) return CallNextHookEx(nullptr, code, wParam, lParam);
  return gController->SystemHook(Kind).CallChain(code, wParam, lParam);
}

constexpr HOOKPROC kEntries[kHookTypeCount] = {&HookEntry<htKeyboard>, &HookEntry<htMouse>, &HookEntry<htWndProc>,
                                               &HookEntry<htGetMessage>, &HookEntry<htCBT>};

}  // namespace

TdxSystemHook::~TdxSystemHook() {
  if (FHooks.empty() && !FHandle) return;
  // Never leave a hook behind whose procedures are gone: unhook, then report.
  FHooks.clear();
  if (FHandle) UnhookWindowsHookEx(FHandle);
  FHandle = nullptr;
  CallGuarded(this, [] { Assertion(L"a system hook is destroyed while procedures are registered"); });
}

void TdxSystemHook::Add(TdxHookProc AHookProc) {
  if (Contains(AHookProc)) Assertion(L"the hook procedure is registered already");
  if (FHooks.empty()) Install();
  FHooks.push_back(AHookProc);
}

void TdxSystemHook::Remove(TdxHookProc AHookProc) {
  auto it = std::find(FHooks.begin(), FHooks.end(), AHookProc);
  if (it == FHooks.end()) return;
  FHooks.erase(it);
  if (FHooks.empty()) Uninstall();
}

bool TdxSystemHook::Contains(TdxHookProc AHookProc) const {
  return std::find(FHooks.begin(), FHooks.end(), AHookProc) != FHooks.end();
}

void TdxSystemHook::Install() {
  if (FHandle) Assertion(L"the hook is installed already");
  FHandle = SetWindowsHookExW(kWindowsHook[FHookType], kEntries[FHookType], nullptr, GetCurrentThreadId());
  if (!FHandle) RaiseLastOSError(L"Cannot install a thread hook");
}

void TdxSystemHook::Uninstall() {
  if (!FHandle) Assertion(L"the hook is not installed");
  UnhookWindowsHookEx(FHandle);
  FHandle = nullptr;
}

HOOKPROC TdxSystemHook::EntryRoutine(TdxHookType AHookType) { return kEntries[AHookType]; }

LRESULT TdxSystemHook::CallChain(int Code, WPARAM wParam, LPARAM lParam) {
  LRESULT hookResult = 0;
  // A procedure may release itself (or another) while the chain runs.
  const std::vector<TdxHookProc> chain = FHooks;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    if (Contains(*it)) CallGuarded(this, [&] { (*it)(Code, wParam, lParam, hookResult); });
  LRESULT next = CallNextHookEx(FHandle, Code, wParam, lParam);
  return hookResult != 0 ? hookResult : next;
}

TdxHookController::TdxHookController() {
  for (int kind = 0; kind < kHookTypeCount; ++kind) FSystemHooks[std::size_t(kind)] = new TdxSystemHook(TdxHookType(kind));
}

TdxHookController::~TdxHookController() {
  for (TdxSystemHook* hook : FSystemHooks) delete hook;
}

void TdxHookController::SetHook(TdxHookType AHookType, TdxHookProc AHookProc) { SystemHook(AHookType).Add(AHookProc); }

void TdxHookController::ReleaseHook(TdxHookProc AHookProc) {
  for (TdxSystemHook* hook : FSystemHooks) hook->Remove(AHookProc);
}

TdxHookController* HookController() { return gController; }

void dxSetHook(TdxHookType AHookType, TdxHookProc AHookProc) {
  if (gController) gController->SetHook(AHookType, AHookProc);
}

void dxReleaseHook(TdxHookProc AHookProc) {
  if (gController) gController->ReleaseHook(AHookProc);
}

void dxHooksUnitStart() { gController = new TdxHookController(); }

void dxHooksUnitStop() { delete std::exchange(gController, nullptr); }

}  // namespace tvk
