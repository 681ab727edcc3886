#pragma once
// The stand-in zip library copied into the host's System folder for a test,
// and unloaded and removed again afterwards (the wrapper never unloads it);
// the paths of the group's fixtures.
#include "ZUL.Util.h"
#include "support/FolderTests.h"

#include <windows.h>

#include <string>

namespace bsdl_test {

inline std::wstring Fixture(const std::wstring& name) {
  return std::wstring(TVK_TEST_GROUP_DIR) + L"\\fixtures\\" + name;
}

class ZipLibraryCopy {
public:
  ZipLibraryCopy()
      : FFolder(tvk::GetSystemFolder()), FCreated(CreateDirectoryW(FFolder.c_str(), nullptr) != 0),
        FPath(FFolder + L"ZipComponents.DLL") {
    Copied = CopyFileW(HOSTSIM_SYSTEM_DIR L"\\ZipComponents.DLL", FPath.c_str(), FALSE) != 0;
  }
  ~ZipLibraryCopy() {
    Unload();
    DeleteFileW(FPath.c_str());
    if (FCreated) RemoveDirectoryW(FFolder.c_str());
  }
  ZipLibraryCopy(const ZipLibraryCopy&) = delete;
  ZipLibraryCopy& operator=(const ZipLibraryCopy&) = delete;

  // Every reference the wrappers took.
  void Unload() const {
    while (HMODULE module = GetModuleHandleW(FPath.c_str())) FreeLibrary(module);
  }
  HMODULE Loaded() const { return GetModuleHandleW(FPath.c_str()); }
  // The entry points the library was called at since the last clearing.
  std::string Calls() const {
    using TCalls = int32_t(__stdcall*)(char*, int32_t);
    auto calls = reinterpret_cast<TCalls>(reinterpret_cast<void*>(GetProcAddress(Loaded(), "HostSim_Zip_Calls")));
    if (!calls) return "(not loaded)";
    std::string text(std::size_t(calls(nullptr, 0)) + 1, '\0');
    calls(text.data(), int32_t(text.size()));
    text.resize(text.size() - 1);
    return text;
  }
  void ClearCalls() const {
    using TClear = void(__stdcall*)();
    if (auto clear = reinterpret_cast<TClear>(reinterpret_cast<void*>(GetProcAddress(Loaded(), "HostSim_Zip_ClearCalls"))))
      clear();
  }
  int32_t Objects() const {
    using TCount = int32_t(__stdcall*)();
    auto count = reinterpret_cast<TCount>(reinterpret_cast<void*>(GetProcAddress(Loaded(), "HostSim_Zip_ObjectCount")));
    return count ? count() : -1;
  }
  const std::wstring& Path() const { return FPath; }
  bool Copied = false;

private:
  std::wstring FFolder;
  bool FCreated;
  std::wstring FPath;
};

// The temporary folder redirected into a folder of the test's own.
class TempRedirect {
public:
  explicit TempRedirect(const std::wstring& folder) {
    wchar_t old[MAX_PATH + 1] = {};
    FOld.assign(old, GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1));
    SetEnvironmentVariableW(L"TMP", folder.c_str());
  }
  ~TempRedirect() { SetEnvironmentVariableW(L"TMP", FOld.empty() ? nullptr : FOld.c_str()); }
  TempRedirect(const TempRedirect&) = delete;
  TempRedirect& operator=(const TempRedirect&) = delete;

private:
  std::wstring FOld;
};

}  // namespace bsdl_test
