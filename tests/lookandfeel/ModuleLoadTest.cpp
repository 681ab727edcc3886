// The built module loaded and unloaded twice in one process: its start-up
// registers the five look-and-feel painters; while loaded its look-and-feel
// library has its hidden windows, its cursors and messages and its three
// thread hooks; after unloading nothing of it is left, and messages find
// nothing to crash on.
#include "cxControls.h"
#include "hostsim/ModuleImports.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cwchar>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The hooks the module hands events on to (its calls of CallNextHookEx).
using CallNextHookExFn = LRESULT(WINAPI*)(HHOOK, int, WPARAM, LPARAM);
CallNextHookExFn gCallNextHookEx = nullptr;
std::array<HHOOK, 256> gHandedOn{};
std::size_t gHandedOnCount = 0;

LRESULT WINAPI NotedCallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (gHandedOnCount < gHandedOn.size()) gHandedOn[gHandedOnCount++] = hook;
  return gCallNextHookEx(hook, code, wParam, lParam);
}

// The distinct hooks of the module that Event passed through.
std::set<HHOOK> HooksOf(const std::function<void()>& event) {
  gHandedOnCount = 0;
  event();
  return std::set<HHOOK>(gHandedOn.begin(), gHandedOn.begin() + std::ptrdiff_t(gHandedOnCount));
}

// The texts the module compared with the system's comparison (its calls of CompareStringW).
using CompareStringWFn = int(WINAPI*)(LCID, DWORD, PCNZWCH, int, PCNZWCH, int);
CompareStringWFn gCompareStringW = nullptr;
std::set<std::wstring> gCompared;

int WINAPI NotedCompareStringW(LCID locale, DWORD flags, PCNZWCH text1, int length1, PCNZWCH text2,
                               int length2) noexcept {
  try {
    for (auto [text, length] : {std::pair{text1, length1}, std::pair{text2, length2}})
      if (text) gCompared.emplace(text, length < 0 ? std::wcslen(text) : std::size_t(length));
  } catch (...) {  // called by the module: nothing may leave
  }
  return gCompareStringW(locale, flags, text1, length1, text2, length2);
}

// The painters start-up registers, by name. The registry keeps them sorted by
// name with the system's locale-aware comparison, so each registered painter's
// name is compared at least once, and no other name is.
const std::set<std::wstring> kPainterNames = {L"Flat", L"Native", L"Office11", L"Standard", L"UltraFlat"};

std::wstring ModuleFileName() {
  const std::wstring path = TVK_MODULE_PATH;
  return path.substr(path.find_last_of(L"/\\") + 1);
}

struct TWindows {
  HMODULE Module;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectModuleWindows(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<TWindows*>(data);
  if (reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) == windows->Module)
    windows->Found.push_back(window);
  return TRUE;
}

// The top-level windows of this thread that belong to Module.
std::vector<HWND> ModuleWindows(HMODULE module) {
  TWindows windows{module, {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectModuleWindows, reinterpret_cast<LPARAM>(&windows));
  return windows.Found;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

TEST(LookAndFeelModule, LoadedTwiceLeavesNothingBehindAfterEachUnload) {
  const UINT message1 = RegisterWindowMessageW(tvk::kcxMessageName1);
  const wchar_t* cursorNames[] = {L"CX_DRAGCOPYCURSOR", L"CX_NODROPCURSOR", L"CX_MULTIDRAGCOPYCURSOR"};
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    gCompareStringW = reinterpret_cast<CompareStringWFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CompareStringW")));
    gCompared.clear();
    HMODULE module = nullptr;
    {
      hostsim::ImportPatchAtLoad noted(ModuleFileName(), "kernel32.dll", "CompareStringW",
                                       reinterpret_cast<void*>(&NotedCompareStringW));
      ASSERT_TRUE(noted.Armed());
      module = LoadLibraryW(TVK_MODULE_PATH);
      EXPECT_TRUE(noted.Active()) << "the loader told of the load";
    }
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(kPainterNames, gCompared) << "the painters the start-up registered";
    for (const wchar_t* name : cursorNames)
      EXPECT_NE(nullptr, FindResourceW(module, name, RT_GROUP_CURSOR)) << "the module carries its cursors";
    HCURSOR own = static_cast<HCURSOR>(LoadImageW(module, L"CX_DRAGCURSOR", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    EXPECT_NE(nullptr, own);
    if (own) DestroyCursor(own);
    EXPECT_EQ(message1, RegisterWindowMessageW(tvk::kcxMessageName1)) << "the same identifier again";

    // The system controller, the theme-change receiver and the palette listener.
    std::vector<HWND> windows = ModuleWindows(module);
    EXPECT_EQ(3u, windows.size());
    for (HWND window : windows) EXPECT_FALSE(IsWindowVisible(window));
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetClassInfoExW(module, L"TvkMessageWindow", &info));

    // A sent message passes one hook of the module, a message taken from the
    // queue another, and mouse input that one and a third.
    {
      hostsim::ImportPatch noted(module, "user32.dll", "CallNextHookEx", reinterpret_cast<void*>(&NotedCallNextHookEx));
      ASSERT_TRUE(noted.Active());
      gCallNextHookEx = reinterpret_cast<CallNextHookExFn>(noted.Original());
      HWND target = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                    nullptr, nullptr);
      ASSERT_NE(nullptr, target);
      Pump();
      const std::set<HHOOK> sent = HooksOf([&] { SendMessageW(target, WM_NULL, 0, 0); });
      const std::set<HHOOK> taken = HooksOf([&] {
        MSG msg;
        PostMessageW(target, WM_NULL, 0, 0);
        PeekMessageW(&msg, target, WM_NULL, WM_NULL, PM_REMOVE);
      });
      const std::set<HHOOK> mouse = HooksOf([&] {
        SetCapture(target);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = 1;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        SendInput(1, &input, sizeof input);
        MSG msg;
        while (PeekMessageW(&msg, target, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        ReleaseCapture();
      });
      DestroyWindow(target);
      EXPECT_EQ(1u, sent.size());
      EXPECT_EQ(1u, taken.size());
      EXPECT_NE(sent, taken);
      std::set<HHOOK> all = sent;
      all.insert(taken.begin(), taken.end());
      all.insert(mouse.begin(), mouse.end());
      EXPECT_EQ(3u, all.size()) << "call-window-procedure, get-message and mouse";
      std::set<HHOOK> mouseOnly = mouse;
      for (HHOOK hook : sent) mouseOnly.erase(hook);
      for (HHOOK hook : taken) mouseOnly.erase(hook);
      EXPECT_EQ(1u, mouseOnly.size());
    }

    ASSERT_TRUE(FreeLibrary(module));
    for (HWND window : windows) {
      EXPECT_FALSE(IsWindow(window));
      EXPECT_FALSE(PostMessageW(window, tvk::WM_CX_WAKEMAINTHREAD, 0, 0));
    }
    EXPECT_FALSE(GetClassInfoExW(module, L"TvkMessageWindow", &info)) << "the class went with the module";
    // Whatever is still addressed to the thread's windows finds nothing of the module.
    PostThreadMessageW(GetCurrentThreadId(), tvk::WM_CX_WAKEMAINTHREAD, 0, 0);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_ABORTIFHUNG, 1000, &result);
    SendMessageTimeoutW(HWND_BROADCAST, WM_THEMECHANGED, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
    Pump();
  }
}
