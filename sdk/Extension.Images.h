#pragma once
// Pictures shared by the extension's windows: one image list of 16 x 16
// pictures of 32-bit colour (273 drawn at build time, tools/gen_images.py),
// extended at run time with the pictures of host window kinds; and the
// version-control states with their pictures in it.
#include "Forms.h"
#include "ImageLists.h"

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

// The pictures the list holds when it is made.
inline constexpr int kMainImageCount = 273;

// The data module that holds the shared list (design "TIMAGELISTFORM").
class TImageListForm : public TDataModule {
public:
  TVK_CLASS(TImageListForm, TDataModule)
  explicit TImageListForm(TComponent* owner) : TDataModule(owner) {}
  TImageList* Main_ImageList = nullptr;
};

// The shared list, made on first use; null when it cannot be made.
TImageList* GetMainImageList();

// The picture of a host window kind or document kind, or -1. Names that
// begin with "UNKNOWN" take the system's small icon for such a file name
// (asked by name only: no file is made); others the icon the host names for
// the kind, else a bitmap of the kind's own name. A picture found is added
// once and remembered under the name asked for; a name without one is looked
// for again next time. Raises without a host client.
int GetWindowKindImageIndex(const WideString& kindName);

// Finds FileNameOnly + ".bmp" in the host's user and program folders, then in
// the "DocumentImages\" and "Buttons\" folders of the plug-ins; adds it
// (masked by its lower-left pixel) and remembers it under KindName. -1 when none.
int AddImageFromSystemPath(const WideString& fileNameOnly, const WideString& kindName);

// Shut-down: frees the list and forgets the names.
void ImagesUnitShutdown();

}  // namespace tvk
