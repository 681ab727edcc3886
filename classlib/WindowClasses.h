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

}  // namespace tvk
