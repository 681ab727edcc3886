#include "Exception.h"

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

}  // namespace tvk
