#include "WindowClasses.h"

#include "Application.h"

#include <commctrl.h>

#include <set>

namespace tvk {

namespace {

std::set<WideString>& RegisteredWindowClasses() {
  static std::set<WideString> names;
  return names;
}

constexpr const wchar_t* kMessageWindowClass = L"TvkMessageWindow";

}  // namespace

HINSTANCE ClassLibraryInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ClassLibraryInstance), &module);
  return module;
}

void EnsureWindowClass(const WideString& name, WNDPROC proc, UINT style, HBRUSH background, int extraBytes) {
  if (RegisteredWindowClasses().count(name)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = extraBytes;
  wc.hInstance = ClassLibraryInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    RaiseLastOSError(L"Cannot register window class");
  RegisteredWindowClasses().insert(name);
}

WNDPROC EnsureSuperclass(const WideString& name, const WideString& baseClass, WNDPROC proc, UINT classStyle) {
  WNDCLASSEXW base{};
  base.cbSize = sizeof base;
  if (!GetClassInfoExW(nullptr, baseClass.c_str(), &base)) RaiseLastOSError(L"Cannot register window class");
  if (!RegisteredWindowClasses().count(name)) {
    WNDCLASSEXW wc = base;
    wc.lpfnWndProc = proc;
    if (classStyle != 0) wc.style = classStyle;
    wc.cbWndExtra = base.cbWndExtra + int(sizeof(LONG_PTR));
    wc.hInstance = ClassLibraryInstance();
    wc.lpszClassName = name.c_str();
    wc.lpszMenuName = nullptr;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      RaiseLastOSError(L"Cannot register window class");
    RegisteredWindowClasses().insert(name);
  }
  return base.lpfnWndProc;
}

bool WindowClassRegistered(const WideString& name) { return RegisteredWindowClasses().count(name) != 0; }

void UnregisterWindowClasses() {
  HINSTANCE instance = ClassLibraryInstance();
  for (auto it = RegisteredWindowClasses().begin(); it != RegisteredWindowClasses().end();) {
    if (UnregisterClassW(it->c_str(), instance)) it = RegisteredWindowClasses().erase(it);
    else ++it;
  }
}

TMessageWindow::TMessageWindow(TObject* sender, THandler handler, bool topLevel)
    : FSender(sender), FHandler(std::move(handler)) {
  EnsureWindowClass(kMessageWindowClass, &Procedure, 0, nullptr);
  FHandle = CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, kMessageWindowClass, L"", topLevel ? WS_POPUP : 0, 0, 0,
                            0, 0, topLevel ? nullptr : HWND_MESSAGE, nullptr, ClassLibraryInstance(), nullptr);
  if (!FHandle) RaiseLastOSError(L"Cannot create message window");
  SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TMessageWindow::~TMessageWindow() {
  if (FHandle) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

LRESULT CALLBACK TMessageWindow::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TMessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->FHandler) return DefWindowProcW(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  bool handled = CallGuarded(self->FSender, true, [&] { return self->FHandler(message); });
  return handled ? message.Result : DefWindowProcW(window, msg, wParam, lParam);
}

// ---- TWindowSubclass

bool TWindowSubclass::Install(HWND window, THandler handler, TObject* sender) {
  Remove();
  if (!window || !IsWindow(window)) return false;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  FHandler = std::move(handler);
  FSender = sender;
  // The object's address is the subclass identifier: one entry per object.
  if (!SetWindowSubclass(window, &Procedure, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
    return false;
  FWindow = window;
  return true;
}

void TWindowSubclass::Remove() {
  if (!FWindow) return;
  RemoveWindowSubclass(FWindow, &Procedure, reinterpret_cast<UINT_PTR>(this));
  FWindow = nullptr;
}

LRESULT TWindowSubclass::CallPrevious(TMessage& message) {
  if (!FWindow) return 0;
  message.Result = DefSubclassProc(FWindow, message.Msg, message.WParam, message.LParam);
  return message.Result;
}

LRESULT CALLBACK TWindowSubclass::Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
  auto* self = reinterpret_cast<TWindowSubclass*>(data);
  if (msg == WM_NCDESTROY) {
    // The window goes: leave the chain before passing the last message on.
    self->Remove();
    return DefSubclassProc(window, msg, wParam, lParam);
  }
  TMessage message{msg, wParam, lParam, 0};
  // A copy: the handler may free the object that holds it.
  const THandler handler = self->FHandler;
  const bool handled = handler && CallGuarded(self->FSender, false, [&] { return handler(message); });
  if (handled) return message.Result;
  return DefSubclassProc(window, msg, wParam, lParam);
}

}  // namespace tvk
