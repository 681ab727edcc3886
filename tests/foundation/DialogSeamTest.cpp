// The message-dialog seam: a test handler answers without a window, and a real
// system message box can be answered automatically (so no test ever hangs).
#include <gtest/gtest.h>

#include "Dialogs.h"

#include <atomic>
#include <thread>

namespace {

std::wstring gSeen;

BOOL CALLBACK FindInformationBox(HWND w, LPARAM out) {
  wchar_t title[64] = {};
  GetWindowTextW(w, title, 64);
  if (std::wstring(title) != L"Information") return TRUE;
  *reinterpret_cast<HWND*>(out) = w;
  return FALSE;
}
int Answer(HWND, const std::wstring& text, const std::wstring& caption, UINT) {
  gSeen = caption + L":" + text;
  return IDCANCEL;
}

TEST(DialogSeam, InstalledHandlerAnswers) {
  auto old = tvk::SetDialogHandler(&Answer);
  EXPECT_EQ(IDCANCEL, tvk::RunMessageDialog(L"Proceed?", L"Confirm", MB_OKCANCEL));
  EXPECT_EQ(L"Confirm:Proceed?", gSeen);
  tvk::SetDialogHandler(old);
}

TEST(DialogSeam, RealMessageBoxIsAnsweredAutomatically) {
  tvk::SetDialogHandler(nullptr);
  std::atomic<bool> done{false};
  std::atomic<bool> pressed{false};
  DWORD thread = GetCurrentThreadId();
  // Looks for the dialog on the calling thread and presses its OK button.
  std::thread presser([&] {
    for (int i = 0; i < 500 && !done; ++i) {
      HWND found = nullptr;
      EnumThreadWindows(thread, &FindInformationBox, reinterpret_cast<LPARAM>(&found));
      if (found) {
        PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        pressed = true;
        return;
      }
      Sleep(10);
    }
  });
  int answer = tvk::RunMessageDialog(L"Target is not responding.", L"Information", MB_OK);
  done = true;
  presser.join();
  EXPECT_TRUE(pressed);
  EXPECT_EQ(IDOK, answer);
}

}  // namespace
