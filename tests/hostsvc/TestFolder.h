#pragma once
// A fresh folder under the temporary folder for one test, removed with all
// its files afterwards.
#include <windows.h>

#include <fstream>
#include <string>

namespace hostsvc_test {

class TestFolder {
public:
  TestFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    static int serial = 0;
    FPath = std::wstring(temp) + L"hostsvc_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++serial) + L"\\";
    CreateDirectoryW(FPath.c_str(), nullptr);
  }
  ~TestFolder() { Remove(FPath); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::wstring& Path() const { return FPath; }
  std::wstring operator/(const std::wstring& name) const { return FPath + name; }

  // Writes Text (plain ASCII) as the file Name; answers its full name.
  std::wstring Write(const std::wstring& name, const std::string& text) const {
    std::wstring full = FPath + name;
    std::ofstream(full.c_str(), std::ios::binary) << text;
    return full;
  }
  std::wstring Folder(const std::wstring& name) const {
    std::wstring full = FPath + name + L"\\";
    CreateDirectoryW(full.c_str(), nullptr);
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

inline bool Exists(const std::wstring& name) { return GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline std::string ReadAll(const std::wstring& name) {
  std::ifstream in(name.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace hostsvc_test
