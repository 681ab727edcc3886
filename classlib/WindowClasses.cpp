#include "WindowClasses.h"

#include "Application.h"

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

}  // namespace tvk
