#pragma once
// Pictures shared by the extension's windows: the version-control states and
// their images in the shared image list.
#include <array>
#include <cstdint>
#include <string_view>

namespace tvk {

// A version-control state and its picture; -1 means no picture.
struct TVCSStatusString {
  std::wstring_view Name;
  std::int32_t ImageIndex;
};

inline constexpr auto kVCSStatusStrings = std::to_array<TVCSStatusString>({
    {L"Conflict", 163},
    {L"Deleted", -1},
    {L"Inconsistent", 163},
    {L"Locked by me", 168},
    {L"Locked by someone else", 167},
    {L"Missing", 175},
    {L"Modified", 161},
    {L"Modified and locked by me", 169},
    {L"Modified and locked by someone else", 163},
    {L"No modification", 160},
    {L"Not in version control", -1},
    {L"Out of date", 162},
    {L"Refreshing ...", 177},
    {L"Scheduled for addition", 176},
    {L"Scheduled for deletion", 175},
});
static_assert(kVCSStatusStrings.size() == 15);

}  // namespace tvk
