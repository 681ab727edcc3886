#include "Application.h"

#include "Dialogs.h"

#include <algorithm>

namespace tvk {

TApplication& Application() {
  static TApplication application;
  return application;
}

void DestroyApplicationComponents() {
  TApplication& application = Application();
  while (application.ComponentCount() > 0) delete application.Components(application.ComponentCount() - 1);
}

HWND TApplication::Handle() const { return ApplicationHandle(); }

void TApplication::SetHandle(HWND handle) {
  SetApplicationHandle(handle);
  if (!FWindowHooks.empty()) AttachWindowHooks();
}

int TApplication::HookMainWindow(TWindowHook hook) {
  const int key = ++FNextHookKey;
  FWindowHooks.emplace_back(key, std::move(hook));
  if (!FMainWindowSubclass.Installed() || FMainWindowSubclass.Window() != Handle()) AttachWindowHooks();
  return key;
}

void TApplication::UnhookMainWindow(int key) {
  std::erase_if(FWindowHooks, [key](const auto& entry) { return entry.first == key; });
  if (FWindowHooks.empty()) FMainWindowSubclass.Remove();
}

void TApplication::AttachWindowHooks() {
  // A window of another thread cannot be subclassed: the hooks then wait.
  FMainWindowSubclass.Install(Handle(), [this](TMessage& message) { return RunWindowHooks(message); }, this);
}

bool TApplication::RunWindowHooks(TMessage& message) {
  // A hook may unhook itself or another: walk a copy, skipping the removed.
  const auto hooks = FWindowHooks;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    const int key = it->first;
    if (std::none_of(FWindowHooks.begin(), FWindowHooks.end(), [key](const auto& e) { return e.first == key; }))
      continue;
    if (it->second(message)) return true;
  }
  return false;
}

// ---- TThreadMouseHook

namespace {

// One system hook per thread serves all of the thread's mouse hooks.
struct TThreadMouseHooks {
  HHOOK Handle = nullptr;
  std::vector<TThreadMouseHook*> Hooks;  // the latest last
};
thread_local TThreadMouseHooks tMouseHooks;

}  // namespace

TThreadMouseHook::TThreadMouseHook(TObject* sender, THandler handler) : FSender(sender), FHandler(std::move(handler)) {
  if (!tMouseHooks.Handle) {
    tMouseHooks.Handle = SetWindowsHookExW(WH_MOUSE, &Procedure, nullptr, GetCurrentThreadId());
    if (!tMouseHooks.Handle) RaiseLastOSError(L"Cannot install a mouse hook");
  }
  FHandle = tMouseHooks.Handle;
  tMouseHooks.Hooks.push_back(this);
}

TThreadMouseHook::~TThreadMouseHook() {
  std::erase(tMouseHooks.Hooks, this);
  if (tMouseHooks.Hooks.empty() && tMouseHooks.Handle) {
    UnhookWindowsHookEx(tMouseHooks.Handle);
    tMouseHooks.Handle = nullptr;
  }
}

LRESULT(WINAPI* TThreadMouseHook::CallNext)(HHOOK, int, WPARAM, LPARAM) = &CallNextHookEx;

LRESULT CALLBACK TThreadMouseHook::Procedure(int code, WPARAM wParam, LPARAM lParam) {
  const HHOOK handle = tMouseHooks.Handle;
  if (code >= 0 && lParam && !tMouseHooks.Hooks.empty()) {
    const auto& info = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    // A handler may free its own hook or another: walk a copy, newest first.
    const auto hooks = tMouseHooks.Hooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
      if (std::find(tMouseHooks.Hooks.begin(), tMouseHooks.Hooks.end(), *it) == tMouseHooks.Hooks.end()) continue;
      TThreadMouseHook* hook = *it;
      // A copy: the handler may free the hook that holds it.
      const THandler handler = hook->FHandler;
      const bool swallowed =
          handler && CallGuarded(hook->FSender, false, [&] { return handler(code, UINT(wParam), info); });
      if (swallowed) return 1;
    }
  }
  // Whatever is not swallowed reaches the hooks installed before ours.
  return CallNext(handle, code, wParam, lParam);
}

WideString ExceptionMessage(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::exception& error) {
    const char* text = error.what();
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    WideString wide(std::size_t(length > 0 ? length - 1 : 0), L'\0');
    if (length > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return wide;
  } catch (...) {
    return L"Unknown error";
  }
}

void TApplication::HandleException(TObject* sender) noexcept {
  try {
    std::exception_ptr e = std::current_exception();
    if (!e) return;
    try {
      std::rethrow_exception(e);
    } catch (const EAbort&) {
      return;  // silent by design
    } catch (...) {
    }
    if (OnException) OnException(sender, e);
    else ShowException(e);
  } catch (...) {
    // The handler itself failed: nothing more can be done at a boundary.
  }
}

void TApplication::ShowException(const std::exception_ptr& e) {
  WideString text = ExceptionMessage(e);
  if (!text.empty() && text.back() > L'.') text += L'.';
  RunMessageDialog(text, L"Error", MB_OK | MB_ICONERROR);
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    PostQuitMessage(int(msg.wParam));  // the host's own loop must see it too
    return false;
  }
  if (FDialogHandle && IsWindow(FDialogHandle) && IsDialogMessageW(FDialogHandle, &msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage() && !FTerminated) WaitMessage();
}

}  // namespace tvk
