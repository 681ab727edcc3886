#pragma once
// The application object of the module: the window that owns the module's
// windows (the host's), the dialog handle, message pumping for modal loops,
// and the one place where an exception that reaches a boundary Windows calls
// (window procedure, timer, hook) is caught and handed to the handler.
#include "Classes.h"
#include "WindowClasses.h"

#include <exception>

namespace tvk {

class TApplication : public TComponent {
public:
  TVK_CLASS(TApplication, TComponent)
  TApplication() : TComponent(nullptr) {}

  // The window that owns the module's top-level windows (the host's main
  // window once a driver is made); the same value as Dialogs' ApplicationHandle.
  HWND Handle() const;
  void SetHandle(HWND handle);
  // Procedures that see the application window's messages first (in the
  // plug-in: the host's main window), the latest first; one answering true
  // took the message. HookMainWindow answers the key UnhookMainWindow takes;
  // unhooking is safe at any time, inside a hook too. The hooks move with
  // SetHandle.
  using TWindowHook = std::function<bool(TMessage& message)>;
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int key);
  // A window whose dialog-key navigation the message pump serves (IsDialogMessage).
  HWND DialogHandle() const { return FDialogHandle; }
  void SetDialogHandle(HWND handle) { FDialogHandle = handle; }

  // Runs inside a catch block: hands the exception being handled to OnException,
  // or shows it (ShowException). Nothing leaves it.
  void HandleException(TObject* sender) noexcept;
  using TExceptionEvent = std::function<void(TObject* Sender, const std::exception_ptr& E)>;
  TExceptionEvent OnException;
  // A modal "Error" message with the exception's text.
  void ShowException(const std::exception_ptr& e);

  // Takes and dispatches one waiting message; false when none was waiting or
  // WM_QUIT came (which is put back for the host's own loop, and Terminated set).
  bool ProcessMessage();
  void ProcessMessages();
  // One message, or waits for one: the step of a modal loop.
  void HandleMessage();
  bool Terminated() const { return FTerminated; }
  // Ends the application: the thread's message loop gets WM_QUIT.
  void Terminate() { PostQuitMessage(0); }

  // Whether hints of actions show their shortcut (on by default).
  bool HintShortCuts() const { return FHintShortCuts; }
  void SetHintShortCuts(bool value) { FHintShortCuts = value; }

  // A window of the thread is active.
  bool Active() const { return GetActiveWindow() != nullptr; }

  int ModalLevel() const { return FModalLevel; }
  void ModalStarted() { ++FModalLevel; }
  void ModalFinished() { --FModalLevel; }

private:
  void AttachWindowHooks();
  bool RunWindowHooks(TMessage& message);
  HWND FDialogHandle = nullptr;
  std::vector<std::pair<int, TWindowHook>> FWindowHooks;
  int FNextHookKey = 0;
  TWindowSubclass FMainWindowSubclass;
  bool FTerminated = false;
  int FModalLevel = 0;
  bool FHintShortCuts = true;
};

// A WH_MOUSE hook of the calling thread, held for the object's lifetime.
// Handler sees every mouse message the thread takes from its queue, inside
// the boundary guard; answering true swallows it, false passes it on. Every
// message Handler leaves goes on to the hooks installed before (the host's
// among them).
class TThreadMouseHook {
public:
  using THandler = std::function<bool(int code, UINT message, const MOUSEHOOKSTRUCT& info)>;
  TThreadMouseHook(TObject* sender, THandler handler);
  ~TThreadMouseHook();
  TThreadMouseHook(const TThreadMouseHook&) = delete;
  TThreadMouseHook& operator=(const TThreadMouseHook&) = delete;
  HHOOK Handle() const { return FHandle; }

  // The hook procedure as Windows calls it (for code that must drive it
  // without real input).
  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam);
  // How the procedure passes a message on (CallNextHookEx; tests put a
  // recorder in its place).
  static LRESULT(WINAPI* CallNext)(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

private:
  TObject* FSender;
  THandler FHandler;
  HHOOK FHandle = nullptr;
};

// The module's application object.
TApplication& Application();
// Frees the components the application object owns, the latest first: they
// go at the module's shut-down, while the host and the libraries they use are
// still there, not when the process ends.
void DestroyApplicationComponents();

// The text of an exception: the module's message, or the standard library's.
WideString ExceptionMessage(const std::exception_ptr& e);

// Runs Body at a boundary that Windows calls; an exception is handed to the
// application's handler and never leaves. The result form answers OnError then.
template <class F>
void CallGuarded(TObject* sender, F&& body) noexcept {
  try {
    body();
  } catch (...) {
    Application().HandleException(sender);
  }
}

template <class R, class F>
R CallGuarded(TObject* sender, R onError, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    Application().HandleException(sender);
    return onError;
  }
}

}  // namespace tvk
