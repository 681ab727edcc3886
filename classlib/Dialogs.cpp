#include "Dialogs.h"

namespace tvk {

namespace {

int SystemMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
  return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

TDialogHandler gHandler = &SystemMessageBox;
HWND gApplicationHandle = nullptr;

}  // namespace

int RunMessageDialog(const std::wstring& text, const std::wstring& caption, UINT flags) {
  return gHandler(gApplicationHandle, text, caption, flags);
}

TDialogHandler SetDialogHandler(TDialogHandler handler) {
  TDialogHandler old = gHandler;
  gHandler = handler ? handler : &SystemMessageBox;
  return old;
}

namespace {
BOOL SystemMessageBeep(UINT type) { return MessageBeep(type); }
TMessageBeepHandler gBeepHandler = &SystemMessageBeep;
}  // namespace

BOOL RunMessageBeep(UINT type) { return gBeepHandler(type); }

TMessageBeepHandler SetMessageBeepHandler(TMessageBeepHandler handler) {
  TMessageBeepHandler old = gBeepHandler;
  gBeepHandler = handler ? handler : &SystemMessageBeep;
  return old;
}

HWND ApplicationHandle() { return gApplicationHandle; }
void SetApplicationHandle(HWND handle) { gApplicationHandle = handle; }

}  // namespace tvk
