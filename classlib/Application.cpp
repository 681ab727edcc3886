#include "Application.h"

#include "Dialogs.h"

namespace tvk {

TApplication& Application() {
  static TApplication application;
  return application;
}

HWND TApplication::Handle() const { return ApplicationHandle(); }

void TApplication::SetHandle(HWND handle) { SetApplicationHandle(handle); }

WideString ExceptionMessage(const std::exception_ptr& e) {
  try {
    std::rethrow_exception(e);
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::exception& error) {
    const char* text = error.what();
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    WideString wide(std::size_t(length > 0 ? length - 1 : 0), L'\0');
    if (length > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    return wide;
  } catch (...) {
    return L"Unknown error";
  }
}

void TApplication::HandleException(TObject* sender) noexcept {
  try {
    std::exception_ptr e = std::current_exception();
    if (!e) return;
    if (OnException) OnException(sender, e);
    else ShowException(e);
  } catch (...) {
    // The handler itself failed: nothing more can be done at a boundary.
  }
}

void TApplication::ShowException(const std::exception_ptr& e) {
  WideString text = ExceptionMessage(e);
  if (!text.empty() && text.back() > L'.') text += L'.';
  RunMessageDialog(text, L"Error", MB_OK | MB_ICONERROR);
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    PostQuitMessage(int(msg.wParam));  // the host's own loop must see it too
    return false;
  }
  if (FDialogHandle && IsWindow(FDialogHandle) && IsDialogMessageW(FDialogHandle, &msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage() && !FTerminated) WaitMessage();
}

}  // namespace tvk
