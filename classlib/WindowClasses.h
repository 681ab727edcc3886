#pragma once
// The window classes the library registers for its controls (one per control
// class, named after it) and hidden message windows. Classes belong to the
// module that holds this code and are unregistered at its shut-down: Windows
// keeps a library's classes after the library is unloaded.
#include "Classes.h"

namespace tvk {

// The module (DLL or program) that holds the class library's code.
HINSTANCE ClassLibraryInstance();

// Registers the class Name with Proc once (later calls change nothing);
// ExtraBytes of window memory per window.
void EnsureWindowClass(const WideString& name, WNDPROC proc, UINT style, HBRUSH background, int extraBytes = 0);
bool WindowClassRegistered(const WideString& name);
// Registers Name once as a copy of the system class BaseClass with Proc and
// one more pointer of window memory behind the base's; answers the base's
// procedure. Raises when the base class is not there.
// ClassStyle 0 keeps the system class's style.
WNDPROC EnsureSuperclass(const WideString& name, const WideString& baseClass, WNDPROC proc, UINT classStyle = 0);
// Unregisters every class registered here (a class whose windows still exist stays).
void UnregisterWindowClasses();

// A hidden window that hands its messages to Handler, inside the boundary
// guard; Handler answers false to leave a message to the default processing.
// A message-only window by default; a hidden top-level one when asked, which
// also hears what the system broadcasts (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE).
class TMessageWindow {
public:
  using THandler = std::function<bool(TMessage& message)>;
  TMessageWindow(TObject* sender, THandler handler, bool topLevel = false);
  ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;
  HWND Handle() const { return FHandle; }

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  TObject* FSender;
  THandler FHandler;
  HWND FHandle = nullptr;
};

// A replacement of one window's procedure that chains with others: several
// may stand on one window (this library's or a foreign one of the same
// thread) and each may be removed in any order without cutting the others
// off. Handler answers true when it took the message (its Result is the
// answer), false to pass it on; CallPrevious passes a message on from inside
// Handler. Handler runs inside the boundary guard. The replacement ends by
// itself when the window is destroyed.
class TWindowSubclass {
public:
  using THandler = std::function<bool(TMessage& message)>;
  TWindowSubclass() = default;
  ~TWindowSubclass() { Remove(); }
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // Replaces Window's procedure (a previous installation of this object is
  // removed first); false when the window is missing or of another thread.
  bool Install(HWND window, THandler handler, TObject* sender = nullptr);
  void Remove();
  bool Installed() const { return FWindow != nullptr; }
  HWND Window() const { return FWindow; }
  // The procedures below this one, for the message being handled.
  LRESULT CallPrevious(TMessage& message);

private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);
  HWND FWindow = nullptr;
  THandler FHandler;
  TObject* FSender = nullptr;
};

}  // namespace tvk
