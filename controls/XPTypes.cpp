#include "XPTypes.h"

namespace tvk {

WideString AddTrailingBackslash(std::wstring_view path) {
  WideString result(path);
  // An empty path stays empty: "\" alone would name the drive's root.
  if (!result.empty() && result.back() != L'\\') result += L'\\';
  return result;
}

}  // namespace tvk
