#pragma once
// String and path helpers shared by the styled controls and their users.
#include "Exception.h"

#include <string_view>

namespace tvk {

// Path with a "\" appended, unless it is empty or already ends with one.
WideString AddTrailingBackslash(std::wstring_view path);

}  // namespace tvk
