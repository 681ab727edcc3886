#pragma once
// The one seam every modal message dialog of the module goes through, so that
// tests can answer dialogs without a screen and without hanging.
#include <windows.h>

#include <string>

namespace tvk {

// Shows a modal message box and answers the button pressed (IDOK, IDCANCEL ...).
using TDialogHandler = int (*)(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// Routes through the installed handler (the system's message box by default).
int RunMessageDialog(const std::wstring& text, const std::wstring& caption, UINT flags);

// Installs Handler (null restores the system's message box); answers the previous one.
TDialogHandler SetDialogHandler(TDialogHandler handler);

// The system's short beep, through a replaceable handler (tests count beeps).
using TMessageBeepHandler = BOOL (*)(UINT type);
BOOL RunMessageBeep(UINT type);
// Installs Handler (null restores the system's); answers the previous one.
TMessageBeepHandler SetMessageBeepHandler(TMessageBeepHandler handler);

// The window that owns the module's dialogs (the host application's window).
HWND ApplicationHandle();
void SetApplicationHandle(HWND handle);

}  // namespace tvk
