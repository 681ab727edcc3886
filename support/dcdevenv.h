#pragma once
// Folders of installed development tools, read from the local machine's
// registry, and the system's own folders. Every look-up answers an empty text
// when the key, value or folder is missing. The release table is empty: no
// development tools are looked for, so the release look-ups answer empty.
#include "Exception.h"

#include <span>
#include <string_view>

namespace tvk {

// One supported release of the development tools.
struct TDevEnvRelease {
  const wchar_t* RegistryKey;   // under the local machine's "Software\"
  const wchar_t* Name;          // the environment's name
  const wchar_t* HelpFile;
  const wchar_t* PackageExtension;
};

std::span<const TDevEnvRelease> DevEnvReleases();

// Macros that stand for the system's folders in tool paths.
constexpr const wchar_t* kSystemFolderMacro = L"%SYSTEM%";
constexpr const wchar_t* kWindowsFolderMacro = L"%WINDOWS%";
constexpr const wchar_t* kProgramFilesFolderMacro = L"%PROGRAMFILES%";

// The string value Name of Release's key.
WideString DevEnvValue(int release, std::wstring_view name);
// Its value "RootDir" with a trailing "\".
WideString DevEnvRootFolder(int release);
// The root folder followed by "HELP\".
WideString DevEnvHelpFolder(int release);

// The system's folders, each with a trailing "\".
WideString SystemFolder();
WideString WindowsFolder();
WideString ProgramFilesFolder();

}  // namespace tvk
