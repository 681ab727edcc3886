#pragma once
// The message of the module's error that Body raises, or "(no error)".
#include "Exception.h"

#include <functional>
#include <string>

namespace testsupport {

inline std::wstring ErrorText(const std::function<void()>& body) {
  try {
    body();
  } catch (const tvk::Exception& e) {
    return e.Message();
  }
  return L"(no error)";
}

}  // namespace testsupport
