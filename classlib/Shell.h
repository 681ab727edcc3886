#pragma once
// The shell's document opening behind a seam: tests put a recorder in place
// of ShellExecuteW, so that nothing is opened on the machine that runs them.
#include <windows.h>

namespace tvk {

using TShellExecuteProc = HINSTANCE(WINAPI*)(HWND window, const wchar_t* operation, const wchar_t* file,
                                             const wchar_t* parameters, const wchar_t* directory, int show);
// ShellExecuteW (the system's, or the replacement set).
HINSTANCE ShellExecuteDocument(HWND window, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                       const wchar_t* directory, int show);
// Null puts the system's back; answers the one replaced.
TShellExecuteProc SetShellExecuteProc(TShellExecuteProc proc);

}  // namespace tvk
