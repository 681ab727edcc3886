#pragma once
// Helpers of the core-services tests: a fixture that frees the process-wide
// repository and loader after each test, and a module with a string table
// made for the test (a copy of a stand-in host library with strings added).
#include "dxCore.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

namespace coreservices_test {

// Each test starts without a repository or a loader.
class CoreServices : public ::testing::Test {
protected:
  void TearDown() override { tvk::DxCoreUnitShutdown(); }
};

// A library loaded as data whose string table holds Strings.
class StringTableModule {
public:
  explicit StringTableModule(const std::map<UINT, std::wstring>& strings) {
    std::wstring file = FFolder / L"Strings.dll";
    if (!CopyFileW(HOSTSIM_SYSTEM_DIR L"\\HostWorkspace.dll", file.c_str(), FALSE)) return;
    HANDLE update = BeginUpdateResourceW(file.c_str(), FALSE);
    if (!update) return;
    // A string table holds blocks of 16 strings: block N + 1 holds 16N..16N+15,
    // each a length word and its characters.
    std::map<UINT, std::array<std::wstring, 16>> slots;
    for (const auto& [id, text] : strings) slots[id / 16 + 1][id % 16] = text;
    std::map<UINT, std::wstring> blocks;
    for (const auto& [blockId, texts] : slots)
      for (const std::wstring& text : texts) blocks[blockId] += wchar_t(text.size()) + text;
    bool ok = true;
    for (auto& [blockId, block] : blocks)
      ok = ok && UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(blockId), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                 block.data(), DWORD(block.size() * sizeof(wchar_t)));
    if (!EndUpdateResourceW(update, !ok) || !ok) return;
    FModule = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~StringTableModule() {
    if (FModule) FreeLibrary(FModule);
  }
  StringTableModule(const StringTableModule&) = delete;
  StringTableModule& operator=(const StringTableModule&) = delete;

  HINSTANCE Handle() const { return FModule; }

private:
  testsupport::TestFolder FFolder;  // removed after the module is freed
  HMODULE FModule = nullptr;
};

}  // namespace coreservices_test
