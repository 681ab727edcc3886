// The parallel flash family finds its flash among the embedded design's
// memories: the first named "pflash" gives its base address and size.
#include "FakeHostObject.h"
#include "Tovik.Classes.FlashDevices.h"
#include "ZUL.DispatchFix.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tvk;
using namespace testsupport;

using TSetObject = void(__stdcall*)(IDispatch*);

// The workspace that the stand-in workspace manager hands out.
TSetObject WorkspaceHook() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, folder, nullptr);
  HMODULE module = LoadLibraryW((std::wstring(folder) + L"\\HostWorkspace.dll").c_str());
  return module ? reinterpret_cast<TSetObject>(reinterpret_cast<void*>(GetProcAddress(module, "HostSim_SetWorkspace")))
                : nullptr;
}

struct Memory {
  const wchar_t* Name;
  long long Base, Size;
};

class ParallelFlashData : public ::testing::Test {
protected:
  void SetUp() override {
    DispatchFixStartup();
    SetWorkspace = WorkspaceHook();
    ASSERT_NE(nullptr, SetWorkspace);
    Workspace->Serve(508622, "i", [this](std::vector<VARIANT*>& args, VARIANT* r) {  // GetMemories(kind)
      KindAsked = args[0]->lVal;
      hostsim::SetResultObject(r, AsDispatch(Memories));
      return S_OK;
    });
    Memories->Serve(508617, "ob", [this](std::vector<VARIANT*>& args, VARIANT*) {  // LoadFromProject
      Loaded = args[0]->pdispVal == AsDispatch(Project) && args[1]->boolVal != VARIANT_FALSE;
      return S_OK;
    });
    Memories->Serve(508614, "i", [this](std::vector<VARIANT*>& args, VARIANT* r) {
      hostsim::SetResultObject(r, AsDispatch(MemoryObjects.at(std::size_t(args[0]->lVal))));
      return S_OK;
    });
    SetWorkspace(AsDispatch(Workspace));
  }
  void TearDown() override {
    if (SetWorkspace) SetWorkspace(nullptr);
  }
  void SetMemories(std::initializer_list<Memory> memories) {
    MemoryObjects.clear();
    for (const Memory& m : memories) {
      Fake memory = MakeFake();
      memory->ReturnString(508602, m.Name);
      memory->ReturnInt64(508609, m.Base);
      memory->ReturnInt64(508610, m.Size);
      MemoryObjects.push_back(memory);
    }
    Memories->ReturnInt(508615, long(MemoryObjects.size()));
  }

  TSetObject SetWorkspace = nullptr;
  Fake Workspace = MakeFake(), Memories = MakeFake(), Project = MakeFake();
  std::vector<Fake> MemoryObjects;
  long KindAsked = -1;
  bool Loaded = false;
  ComRef<TRemoteExecuteBaseDriverParallelFlash> Parallel{
      New<TRemoteExecuteBaseDriverParallelFlash>(ITovikDriver(), true)};
};

TEST_F(ParallelFlashData, TheFirstMemoryNamedPflashGivesBaseAndSize) {
  SetMemories({{L"sram", 0x1000, 0x100}, {L"PFlash", 0x100000000LL, 0x800000}, {L"pflash", 0x2000, 0x10}});
  EXPECT_TRUE(Parallel->GetFlashData(IProject(AsDispatch(Project))));
  EXPECT_EQ(2, KindAsked);
  EXPECT_TRUE(Loaded) << "filled from the project";
  EXPECT_EQ(0x100000000LL, Parallel->BaseAddress()) << "64-bit";
  EXPECT_EQ(0x800000, Parallel->Size());
}

TEST_F(ParallelFlashData, WithoutSuchAMemoryNothingChanges) {
  EXPECT_EQ(-1, Parallel->BaseAddress());
  EXPECT_EQ(-1, Parallel->Size());
  SetMemories({{L"sram", 0x1000, 0x100}, {L"pflash2", 0x2000, 0x10}});
  EXPECT_FALSE(Parallel->GetFlashData(IProject(AsDispatch(Project))));
  EXPECT_FALSE(Parallel->GetFlashData(IProject()));
  EXPECT_EQ(-1, Parallel->BaseAddress());
  EXPECT_EQ(-1, Parallel->Size());
}

}  // namespace
