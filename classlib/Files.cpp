#include "Files.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace tvk {

namespace {

constexpr std::wstring_view kFolderDelimiters = L"\\:";

class FileHandle {
public:
  explicit FileHandle(HANDLE h) : FHandle(h) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { if (Valid()) CloseHandle(FHandle); }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }

private:
  HANDLE FHandle;
};

DWORD Attributes(std::wstring_view name) {
  return GetFileAttributesW(WideString(name).c_str());
}

WideString Decode(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    WideString text((bytes.size() - 2) / 2, L'\0');
    if (!text.empty()) memcpy(text.data(), bytes.data() + 2, text.size() * sizeof(wchar_t));
    return text;
  }
  UINT codePage = CP_ACP;
  std::size_t skip = 0;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    codePage = CP_UTF8;
    skip = 3;
  }
  int size = int(bytes.size() - skip);
  if (size == 0) return {};
  int length = MultiByteToWideChar(codePage, 0, bytes.data() + skip, size, nullptr, 0);
  WideString text(std::size_t(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data() + skip, size, text.data(), length);
  return text;
}

}  // namespace

WideString ExtractFilePath(std::wstring_view fileName) {
  std::size_t p = fileName.find_last_of(kFolderDelimiters);
  return p == std::wstring_view::npos ? WideString() : WideString(fileName.substr(0, p + 1));
}

WideString ExtractFileDir(std::wstring_view fileName) {
  std::size_t p = fileName.find_last_of(kFolderDelimiters);
  if (p == std::wstring_view::npos) return {};
  // "C:\x" keeps "C:\"; "C:x" keeps "C:".
  if (p > 0 && fileName[p] == L'\\' && fileName[p - 1] != L':' && fileName[p - 1] != L'\\') --p;
  return WideString(fileName.substr(0, p + 1));
}

WideString ExtractFileName(std::wstring_view fileName) {
  std::size_t p = fileName.find_last_of(kFolderDelimiters);
  return WideString(p == std::wstring_view::npos ? fileName : fileName.substr(p + 1));
}

namespace {

// Where the extension of the name part begins, or npos.
std::size_t ExtensionStart(std::wstring_view fileName) {
  std::size_t p = fileName.find_last_of(L".\\:");
  return p != std::wstring_view::npos && fileName[p] == L'.' ? p : std::wstring_view::npos;
}

}  // namespace

WideString ExtractFileExt(std::wstring_view fileName) {
  std::size_t p = ExtensionStart(fileName);
  return p == std::wstring_view::npos ? WideString() : WideString(fileName.substr(p));
}

WideString ChangeFileExt(std::wstring_view fileName, std::wstring_view extension) {
  std::size_t p = ExtensionStart(fileName);
  return WideString(fileName.substr(0, p)) + WideString(extension);
}

bool FileExists(std::wstring_view fileName) {
  DWORD a = Attributes(fileName);
  return !fileName.empty() && a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(std::wstring_view folder) {
  DWORD a = Attributes(folder);
  return !folder.empty() && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

WideString UpperCaseText(std::wstring_view text) {
  WideString result(text);
  if (!result.empty()) CharUpperBuffW(result.data(), DWORD(result.size()));
  return result;
}

std::vector<WideString> LoadTextLines(std::wstring_view fileName) {
  WideString name(fileName);
  FileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw Exception(L"Cannot open file \"" + name + L"\"");
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);

  WideString text = Decode(bytes);
  std::vector<WideString> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.emplace_back(text, start, i - start);
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text, start);
  return lines;
}

}  // namespace tvk
