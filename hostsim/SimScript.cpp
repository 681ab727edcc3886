#include "SimScript.h"

namespace hostsim {

namespace {

SimScript* gRunning = nullptr;  // the one script a thread timer drives

struct TTopLevel {
  std::vector<HWND> Windows;
};

BOOL CALLBACK AddVisible(HWND window, LPARAM data) {
  if (IsWindowVisible(window)) reinterpret_cast<TTopLevel*>(data)->Windows.push_back(window);
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  TTopLevel found;
  EnumThreadWindows(GetCurrentThreadId(), &AddVisible, reinterpret_cast<LPARAM>(&found));
  return found.Windows;
}

// The host's side of the module's component query: a window answers 1 when
// its control (or a windowless child) has the name, with the rectangle.
struct TComponentQuery {
  const wchar_t* Name;
  RECT Bounds;
};

struct TSearch {
  std::wstring Name;
  TComponentQuery Query{};
  HWND Found = nullptr;
  bool Ask(HWND window) {
    static const UINT query = RegisterWindowMessageW(L"Tovik.ComponentQuery");
    Query = TComponentQuery{Name.c_str(), RECT{}};
    if (SendMessageW(window, query, reinterpret_cast<WPARAM>(&Query), 0) != 1) return false;
    Found = window;
    return true;
  }
};

BOOL CALLBACK AskChild(HWND window, LPARAM data) { return reinterpret_cast<TSearch*>(data)->Ask(window) ? FALSE : TRUE; }

HWND FindComponentWindow(HWND root, const std::wstring& name, RECT* bounds) {
  TSearch search{name};
  if (!search.Ask(root)) EnumChildWindows(root, &AskChild, reinterpret_cast<LPARAM>(&search));
  if (search.Found && bounds) *bounds = search.Query.Bounds;
  return search.Found;
}

bool IsMessageBox(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring(name) == L"#32770";
}

}  // namespace

SimScript::SimScript(int tickLimit, UINT intervalMs) : FTickLimit(tickLimit), FInterval(intervalMs) {}

SimScript::~SimScript() {
  if (FTimer) KillTimer(nullptr, FTimer);
  if (gRunning == this) gRunning = nullptr;
}

HWND SimScript::FindControl(const std::wstring& component, RECT* bounds) {
  for (HWND top : ThreadWindows())
    if (!IsMessageBox(top))
      if (HWND window = FindComponentWindow(top, component, bounds)) return window;
  return nullptr;
}

std::wstring SimScript::WindowText(HWND window) {
  const int length = int(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(std::size_t(length) + 1, L'\0');
  SendMessageW(window, WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  return text;
}

HWND SimScript::FindMessageBox() {
  for (HWND top : ThreadWindows())
    if (IsMessageBox(top)) return top;
  return nullptr;
}

SimScript& SimScript::Add(std::wstring what, Step step) {
  FSteps.push_back({std::move(what), std::move(step)});
  return *this;
}

SimScript& SimScript::Click(const std::wstring& component) {
  return Add(L"click " + component, [component](SimScript&) {
    RECT r{};
    HWND window = FindControl(component, &r);
    if (!window || !IsWindowEnabled(window) || FindMessageBox()) return false;
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
    return true;
  });
}

SimScript& SimScript::Type(const std::wstring& component, const std::wstring& text) {
  return Add(L"type \"" + text + L"\" into " + component, [component, text](SimScript&) {
    HWND window = FindControl(component);
    if (!window || !IsWindowEnabled(window) || FindMessageBox()) return false;
    SetFocus(window);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t c : text) SendMessageW(window, WM_CHAR, c, 1);
    return true;
  });
}

SimScript& SimScript::Paste(const std::wstring& component, const std::wstring& text) {
  return Add(L"paste \"" + text + L"\" into " + component, [component, text](SimScript&) {
    HWND window = FindControl(component);
    if (!window || !IsWindowEnabled(window) || FindMessageBox()) return false;
    SetFocus(window);
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return true;
  });
}

namespace {

void PressKey(HWND window, WORD virtualKey) {
  const UINT scan = MapVirtualKeyW(virtualKey, 0);
  SendMessageW(window, WM_KEYDOWN, virtualKey, LPARAM(1 | (scan << 16)));
  if (IsWindow(window)) SendMessageW(window, WM_KEYUP, virtualKey, LPARAM(1 | (scan << 16) | 0xC0000000u));
}

}  // namespace

SimScript& SimScript::Choose(const std::wstring& component, const std::wstring& text) {
  return Add(L"choose \"" + text + L"\" in " + component, [component, text](SimScript& script) {
    HWND window = FindControl(component);
    if (!window || !IsWindowEnabled(window) || FindMessageBox()) return false;
    SetFocus(window);
    PressKey(window, VK_HOME);
    // A list longer than this is not one a user scrolls through by hand.
    for (int entry = 0; entry < 64 && IsWindow(window); ++entry) {
      if (WindowText(window) == text) return true;
      const std::wstring before = WindowText(window);
      PressKey(window, VK_DOWN);
      if (WindowText(window) == before) break;  // the last entry
    }
    script.FFailure = L"no entry \"" + text + L"\" in " + component;
    return true;
  });
}

SimScript& SimScript::Read(const std::wstring& component, Reader reader) {
  return Add(L"read " + component, [component, reader = std::move(reader)](SimScript& script) {
    HWND window = FindControl(component);
    if (!window || !IsWindowVisible(window)) return false;
    script.FReadings.push_back(reader(window));
    for (const std::wstring& line : script.FReadings.back()) script.Log(L"line: " + line);
    return true;
  });
}

SimScript& SimScript::Key(WORD virtualKey) {
  return Add(L"key " + std::to_wstring(virtualKey), [virtualKey](SimScript&) {
    // With nothing focused (a disabled control lost it) keys go to the active window.
    HWND window = GetFocus();
    if (!window) window = GetActiveWindow();
    if (!window) return false;
    PressKey(window, virtualKey);
    return true;
  });
}

SimScript& SimScript::Box(int button) {
  return Add(L"answer the next message box", [button](SimScript& script) {
    HWND box = FindMessageBox();
    if (!box) return false;
    HWND pressed = GetDlgItem(box, button);
    if (!pressed) return false;
    TBox seen{WindowText(box), WindowText(GetDlgItem(box, 0xFFFF))};
    script.FBoxes.push_back(seen);
    script.Log(L"box \"" + seen.Caption + L"\": " + seen.Text);
    PostMessageW(pressed, BM_CLICK, 0, 0);
    return true;
  });
}

SimScript& SimScript::WaitFor(std::wstring what, std::function<bool()> ready) {
  return Add(L"wait for " + what, [ready = std::move(ready)](SimScript&) { return ready(); });
}

SimScript& SimScript::Do(std::function<void()> action) {
  return Add(L"act", [action = std::move(action)](SimScript&) {
    action();
    return true;
  });
}

void SimScript::Start() {
  gRunning = this;
  FTimer = SetTimer(nullptr, 0, FInterval, &SimScript::TimerProc);
}

void CALLBACK SimScript::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
  // Nothing may leave a timer procedure.
  try {
    if (gRunning) gRunning->Tick();
  } catch (...) {
    if (gRunning) gRunning->FFailure = L"a script step raised";
  }
}

void SimScript::Tick() {
  ++FTicks;
  if (Failed()) return Unwind();
  if (Finished()) return;
  if (FTicks > FTickLimit) {
    FFailure = L"step limit reached at: " + FSteps[FNext].What;
    Log(FFailure);
    return Unwind();
  }
  // The step is taken before it runs: steps of the loops it starts follow on.
  const std::size_t index = FNext++;
  if (FSteps[index].Run(*this))
    Log(FSteps[index].What);
  else if (FNext == index + 1)
    FNext = index;
}

void SimScript::Unwind() {
  if (HWND box = FindMessageBox()) {
    if (HWND cancel = GetDlgItem(box, IDCANCEL))
      PostMessageW(cancel, BM_CLICK, 0, 0);
    else if (HWND ok = GetDlgItem(box, IDOK))
      PostMessageW(ok, BM_CLICK, 0, 0);
    return;
  }
  if (HWND focus = GetFocus()) PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
  for (HWND top : ThreadWindows()) PostMessageW(top, WM_CLOSE, 0, 0);
}

void SimScript::Log(const std::wstring& text) {
  if (OnLog) OnLog(text);
}

}  // namespace hostsim
