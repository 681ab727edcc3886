// The built module loaded and unloaded twice in one process: while loaded its
// look-and-feel library has its hidden windows and its cursors and messages;
// after unloading nothing of it is left, and messages find nothing to crash on.
#include "cxControls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

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
    HMODULE module = LoadLibraryW(TVK_MODULE_PATH);
    ASSERT_NE(nullptr, module);
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
