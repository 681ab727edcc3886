#pragma once
// A simulated host for the VHDL parser: a client with a "VHDL" window kind and
// its picture, a workspace whose messages panel logs what is posted, and a
// temporary folder of the test's own, where the parser writes its log.
#include "Extension.Images.h"
#include "Files.h"
#include "Graphics.h"
#include "SimClient.h"
#include "Tovik.Classes.VHDL.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"
#include "support/FakeHost.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vhdl_test {

using TSetObject = void(__stdcall*)(IDispatch*);

// The workspace that the stand-in workspace manager hands out.
inline TSetObject WorkspaceHook() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, folder, nullptr);
  HMODULE module = LoadLibraryW((std::wstring(folder) + L"\\HostWorkspace.dll").c_str());
  return module ? reinterpret_cast<TSetObject>(reinterpret_cast<void*>(GetProcAddress(module, "HostSim_SetWorkspace")))
                : nullptr;
}

// Entities a parser read; the list owns them, as a parser's creator does.
class TEntityList : public tvk::TSortedStringList {
public:
  TEntityList() { SetOwnsObjects(true); }
  tvk::TEntity& At(int i) const { return *static_cast<tvk::TEntity*>(Objects(i)); }
  tvk::TEntity* Named(const std::wstring& name) const {
    int index = 0;
    return Find(name, index) ? &At(index) : nullptr;
  }
};

inline void ForgetHostCaches() {
  tvk::ReleaseHostClient();
  tvk::UtilUnitShutdown();
}

class VHDLHost : public ::testing::Test {
protected:
  static constexpr DISPID kWorkspace_GetMessagesManager = 508377;

  void SetUp() override {
    tvk::DispatchFixStartup();  // the module's start-up installs it
    ForgetHostCaches();
    tvk::BindHostClientExport(GetModuleHandleW(nullptr));
    wchar_t old[MAX_PATH + 1] = {};
    FOldTmp.assign(old, GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1));
    SetEnvironmentVariableW(L"TMP", Temp.Path().c_str());
    Host.Install();
    Host.SetFolders(L"", Temp.Folder(L"user"), L"");
    Host.AddWindowKind(L"VHDL", L"VhdlDocument");
    tvk::TBitmap picture;
    picture.SetSize(16, 16);
    picture.SaveToFile(Temp.Path() + L"user\\VhdlDocument.bmp");
    SetWorkspace = WorkspaceHook();
    ASSERT_NE(nullptr, SetWorkspace);
    Workspace->ReturnObject(kWorkspace_GetMessagesManager, &Host.MessagesManager());
    SetWorkspace(testsupport::AsDispatch(Workspace));
  }
  void TearDown() override {
    if (SetWorkspace) SetWorkspace(nullptr);
    ForgetHostCaches();
    hostsim::SimClient::Uninstall();
    SetEnvironmentVariableW(L"TMP", FOldTmp.empty() ? nullptr : FOldTmp.c_str());
  }

  // Runs a new parser over Text (lines split at line breaks) into Entities.
  void Parse(const std::wstring& text, const std::wstring& document = L"C:\\Designs\\Chip.vhd") {
    Lines.SetText(text);
    Parser = std::make_unique<tvk::TVHDLParser>(&Entities, document);
    Parser->Run(&Lines);
  }
  // The texts of the messages-panel lines posted (argument 2 of AddMessage).
  std::vector<std::wstring> Posted() {
    std::vector<std::wstring> texts;
    for (const auto& call : Host.MessagesManager().Calls())
      if (call.Id == hostsim::disp::MessagesManager_AddMessage) texts.push_back(call.Str(1));
    return texts;
  }
  std::size_t CrossProbes() { return Host.Client().CallCount(hostsim::disp::Client_RunProcess); }
  std::string Log() const { return testsupport::ReadAll(Temp.Path() + L"VHDL Parser.log"); }

  testsupport::TestFolder Temp;
  hostsim::SimClient Host;
  testsupport::Fake Workspace = testsupport::MakeFake();
  TSetObject SetWorkspace = nullptr;
  tvk::TStringList Lines;
  TEntityList Entities;
  std::unique_ptr<tvk::TVHDLParser> Parser;

private:
  std::wstring FOldTmp;
};

}  // namespace vhdl_test
