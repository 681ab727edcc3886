#include "Exception.h"

#include <windows.h>

#include <cstdio>

namespace tvk {

static WideString ResultText(long code) {
  wchar_t text[40];
  std::swprintf(text, 40, L"Operation failed: 0x%.8lX", static_cast<unsigned long>(code));
  return text;
}

EResultError::EResultError(long code) : Exception(ResultText(code)), FCode(code) {}

void CheckResult(long code) {
  if (code < 0) throw EResultError(code);
}

// Drops trailing characters up to the blank and trailing full stops.
static WideString TrimTrailing(WideString s) {
  while (!s.empty() && (s.back() <= L' ' || s.back() == L'.')) s.pop_back();
  return s;
}

WideString SysErrorMessage(long code) {
  wchar_t* buffer = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                    FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  WideString text = buffer ? WideString(buffer, length) : WideString();
  if (buffer) LocalFree(buffer);
  return TrimTrailing(std::move(text));
}

static WideString OleErrorText(const WideString& message, long code) {
  if (!message.empty()) return message;
  WideString text = SysErrorMessage(code);
  if (!text.empty()) return text;
  wchar_t fallback[32];
  std::swprintf(fallback, 32, L"OLE error %.8x", static_cast<unsigned>(code));
  return fallback;
}

EOleSysError::EOleSysError(const WideString& message, long code, unsigned long helpContext)
    : EOleError(OleErrorText(message, code)), FErrorCode(code), FHelpContext(helpContext) {}

EOleException::EOleException(const WideString& description, long code, WideString source, WideString helpFile,
                             unsigned long helpContext)
    : EOleSysError(TrimTrailing(description), code, helpContext),
      FSource(std::move(source)),
      FHelpFile(std::move(helpFile)) {}

}  // namespace tvk
