#include "Shell.h"

#include <shellapi.h>

#include <utility>

namespace tvk {

namespace {
TShellExecuteProc gShellExecute = nullptr;
}

HINSTANCE ShellExecuteDocument(HWND window, const wchar_t* operation, const wchar_t* file, const wchar_t* parameters,
                       const wchar_t* directory, int show) {
  TShellExecuteProc proc = gShellExecute ? gShellExecute : &::ShellExecuteW;
  return proc(window, operation, file, parameters, directory, show);
}

TShellExecuteProc SetShellExecuteProc(TShellExecuteProc proc) { return std::exchange(gShellExecute, proc); }

}  // namespace tvk
