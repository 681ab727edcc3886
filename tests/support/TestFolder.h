#pragma once
// A fresh folder under the temporary folder for one test, removed with all
// its files afterwards; and small file helpers.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

inline void WriteBytes(const std::wstring& file, const std::string& bytes) {
  std::ofstream(file.c_str(), std::ios::binary) << bytes;
}

inline bool Exists(const std::wstring& name) { return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::string ReadAll(const std::wstring& name) {
  std::ifstream in(name.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TestFolder {
public:
  TestFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    static int serial = 0;
    FPath = std::wstring(temp) + L"tvktest_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(++serial) + L"\\";
    CreateDirectoryW(FPath.c_str(), nullptr);
  }
  ~TestFolder() { Remove(FPath); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  // With a trailing "\".
  const std::wstring& Path() const { return FPath; }
  std::wstring operator/(const std::wstring& name) const { return FPath + name; }

  // Writes Text as the file Name; answers its full name.
  std::wstring Write(const std::wstring& name, const std::string& text) const {
    std::wstring full = FPath + name;
    WriteBytes(full, text);
    return full;
  }
  // Creates the folder Relative (with its parents) and answers it with "\".
  std::wstring Folder(const std::wstring& relative) const {
    std::wstring full = FPath;
    std::size_t start = 0;
    while (start < relative.size()) {
      std::size_t end = relative.find(L'\\', start);
      if (end == std::wstring::npos) end = relative.size();
      full += relative.substr(start, end - start) + L"\\";
      CreateDirectoryW(full.c_str(), nullptr);
      start = end + 1;
    }
    return full;
  }

private:
  static void Remove(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(folder + name + L"\\");
        else DeleteFileW((folder + name).c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring FPath;
};

}  // namespace testsupport
