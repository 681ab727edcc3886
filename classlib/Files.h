#pragma once
// File names, file tests and text files, as the class library's callers use
// them: "\" and ":" end a folder part; case-blind comparisons follow the
// platform's ordinal case mapping, never the user's locale.
#include "Exception.h"

#include <string_view>
#include <vector>

namespace tvk {

// The folder part of a file name, with its final "\" (or the drive's ":").
WideString ExtractFilePath(std::wstring_view fileName);
// The folder part without its final "\" (a drive's root keeps it: "C:\").
WideString ExtractFileDir(std::wstring_view fileName);
// The name after the folder part.
WideString ExtractFileName(std::wstring_view fileName);
// The extension of the name part, with its dot; empty when it has none.
WideString ExtractFileExt(std::wstring_view fileName);
// FileName with the extension of its name part replaced by Extension (which
// brings its own dot, or is empty to remove it); appended when there is none.
WideString ChangeFileExt(std::wstring_view fileName, std::wstring_view extension);

bool FileExists(std::wstring_view fileName);       // an existing file, not a folder
bool DirectoryExists(std::wstring_view folder);    // an existing folder

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b);
WideString UpperCaseText(std::wstring_view text);

// The lines of a text file (UTF-16 or UTF-8 with their byte-order marks, else
// the system's ANSI code page); CR LF, LF and CR end lines. Raises when the
// file cannot be opened.
std::vector<WideString> LoadTextLines(std::wstring_view fileName);

}  // namespace tvk
