#include "SimRack.h"

namespace hostsim {

namespace {

constexpr wchar_t kRackClass[] = L"HostSimRack";
constexpr DISPID kHolder_GetHandle = 69, kHolder_CaptionChanged = 71;

// The module's component query, as the host knows it: a registered message
// whose WParam points at the name and the bounds answered.
struct ComponentQuery {
  const wchar_t* Name;
  RECT Bounds;
};

UINT ComponentQueryMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tovik.ComponentQuery");
  return message;
}

void RegisterRackClass() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kRackClass;
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

SimRef<SimRack> SimRack::Make(int width, int height, bool visible) {
  return SimRef<SimRack>::Adopt(new SimRack(width, height, visible));
}

SimRack::SimRack(int width, int height, bool visible) {
  RegisterRackClass();
  SetServices({L"ExternalFormHolder"});
  RECT frame{0, 0, width, height};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
  AdjustWindowRect(&frame, style, FALSE);
  FWindow = CreateWindowExW(0, kRackClass, L"Rack", style, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SimRack::WindowProcedure));
  // Window handles go to the module as 32 bits.
  Serve(kHolder_GetHandle, "", [this](std::vector<VARIANT*>&, VARIANT* r) {
    SetResultInt(r, long(static_cast<int32_t>(reinterpret_cast<intptr_t>(FWindow))));
    return S_OK;
  });
  Accept(kHolder_CaptionChanged);
}

SimRack::~SimRack() {
  if (FWindow) {
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
    DestroyWindow(FWindow);
  }
}

LRESULT CALLBACK SimRack::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* rack = reinterpret_cast<SimRack*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (rack && (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN))
    rack->FMouse.push_back({msg, wParam, lParam});
  return DefWindowProcW(window, msg, wParam, lParam);
}

namespace {

struct Search {
  const std::wstring& Name;
  ComponentQuery Query{};
  HWND Found = nullptr;
  bool Ask(HWND window) {
    Query = ComponentQuery{Name.c_str(), RECT{}};
    if (SendMessageW(window, ComponentQueryMessage(), reinterpret_cast<WPARAM>(&Query), 0) != 1) return false;
    Found = window;
    return true;
  }
};

BOOL CALLBACK AskWindow(HWND window, LPARAM data) { return reinterpret_cast<Search*>(data)->Ask(window) ? FALSE : TRUE; }

}  // namespace

HWND FindModuleControl(HWND root, const std::wstring& name, RECT* bounds) {
  if (!root) return nullptr;
  Search search{name};
  if (!search.Ask(root)) EnumChildWindows(root, &AskWindow, reinterpret_cast<LPARAM>(&search));
  if (search.Found && bounds) *bounds = search.Query.Bounds;
  return search.Found;
}

bool ClickModuleControl(HWND root, const std::wstring& name, UINT button) {
  RECT bounds{};
  HWND window = FindModuleControl(root, name, &bounds);
  if (!window) return false;
  const LPARAM at = MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
  const WPARAM key = button == WM_LBUTTONDOWN ? MK_LBUTTON : button == WM_RBUTTONDOWN ? MK_RBUTTON : MK_MBUTTON;
  SendMessageW(window, WM_MOUSEMOVE, 0, at);
  SendMessageW(window, button, key, at);
  SendMessageW(window, button + 1, 0, at);  // the matching button-up
  return true;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace hostsim
