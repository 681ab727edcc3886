#pragma once
// The folders a constraint file is looked for in, made for one test under the
// temporary folder: the module's own folder (a stand-in module loaded from
// there becomes the module instance), the host's data folder and the folder
// of the host's toolchain-manager module (an enabled plug-in's folder); the
// simulated host is installed with them.
#include <gtest/gtest.h>

#include "ModuleInit.h"
#include "SimClient.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"
#include "support/TestFolder.h"

#include <string>

namespace procdrv_test {

enum class TWhere { Module, Data, Tools };

inline std::wstring HostSystemDir() {
  wchar_t full[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, full, nullptr);
  return std::wstring(full) + L"\\";
}

class EmbeddedFolders : public ::testing::Test {
protected:
  void SetUp() override {
    tvk::DispatchFixStartup();
    ForgetHostCaches();
    tvk::BindHostClientExport(GetModuleHandleW(nullptr));
    ModuleFolder = Temp.Folder(L"module");
    DataFolder = Temp.Folder(L"data");
    ToolsFolder = Temp.Folder(L"tools");
    // Any module file does: only its folder counts.
    std::wstring module = ModuleFolder + L"StandIn.TVK";
    ASSERT_TRUE(CopyFileW((HostSystemDir() + L"HostToolchains.dll").c_str(), module.c_str(), FALSE));
    FModule = LoadLibraryW(module.c_str());
    ASSERT_NE(nullptr, FModule);
    FPreviousInstance = tvk::ModuleInstance();
    tvk::SetModuleInstance(FModule);
    testsupport::WriteBytes(ToolsFolder + L"HostToolchains.dll", "stand-in");
    Host.AddPlugin(Temp.Folder(L"unrelated"));
    Host.AddPlugin(ToolsFolder);
    Host.SetFolders(L"", L"", DataFolder);
    Host.Install();
  }
  void TearDown() override {
    tvk::SetModuleInstance(FPreviousInstance);
    if (FModule) FreeLibrary(FModule);
    ForgetHostCaches();
    hostsim::SimClient::Uninstall();
  }
  static void ForgetHostCaches() {
    tvk::ReleaseHostClient();
    tvk::UtilUnitShutdown();
  }

  std::wstring EmbeddedFolder(TWhere where) const {
    switch (where) {
      case TWhere::Module: return ModuleFolder + L"Library\\Embedded\\";
      case TWhere::Data: return DataFolder;
      case TWhere::Tools: return ToolsFolder + L"Library\\Embedded\\";
    }
    return {};
  }
  // Writes Name into one of the three folders; answers its full name.
  std::wstring Place(TWhere where, const std::wstring& name, const std::string& bytes = "Record=None") {
    std::wstring folder = EmbeddedFolder(where);
    if (where != TWhere::Data) Temp.Folder(folder.substr(Temp.Path().size(), folder.size() - Temp.Path().size() - 1));
    testsupport::WriteBytes(folder + name, bytes);
    return folder + name;
  }
  void ClearPlaced() {
    for (TWhere w : {TWhere::Module, TWhere::Data, TWhere::Tools}) {
      std::wstring folder = EmbeddedFolder(w);
      WIN32_FIND_DATAW found;
      HANDLE h = FindFirstFileW((folder + L"*.*").c_str(), &found);
      if (h == INVALID_HANDLE_VALUE) continue;
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
  }

  testsupport::TestFolder Temp;
  hostsim::SimClient Host;
  std::wstring ModuleFolder, DataFolder, ToolsFolder;

private:
  HMODULE FModule = nullptr;
  HINSTANCE FPreviousInstance = nullptr;
};

}  // namespace procdrv_test
