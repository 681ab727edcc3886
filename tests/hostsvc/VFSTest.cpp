// The host executable's file-system functions: bound by name, only the path
// expansion called.
#include <gtest/gtest.h>

#include "ZUL.VFS.h"

#include <set>
#include <string>

using namespace tvk;

namespace {

class VFS : public ::testing::Test {
protected:
  void TearDown() override { BindVFSEntryPoints(GetModuleHandleW(nullptr)); }
};

TEST_F(VFS, BindsWhatTheHostExports) {
  std::set<std::string> names(kVFSEntryPointNames.begin(), kVFSEntryPointNames.end());
  EXPECT_EQ(kVFSEntryPointNames.size(), names.size());
  BindVFSEntryPoints(GetModuleHandleW(nullptr));
  // The host program of the tests exports only the path expansion.
  for (std::size_t i = 0; i < kVFSEntryPointNames.size(); ++i)
    EXPECT_EQ(std::string(kVFSEntryPointNames[i]) == "VFSAPI_VFS_ExpandRelativePath", VFSEntryPoint(i) != nullptr)
        << kVFSEntryPointNames[i];
  VFSUnitShutdown();
  for (std::size_t i = 0; i < kVFSEntryPointNames.size(); ++i) EXPECT_EQ(nullptr, VFSEntryPoint(i));
}

TEST_F(VFS, ExpandRelativePath) {
  BindVFSEntryPoints(GetModuleHandleW(nullptr));
  WideString full = L"unchanged";
  ExpandRelativePath(L"C:\\Designs\\Board\\Board.PrjPcb", L"..\\Parts\\Chip.PcbLib", full);
  EXPECT_EQ(L"C:\\Designs\\Parts\\Chip.PcbLib", full);
  ExpandRelativePath(L"C:\\Designs\\Board\\", L"D:\\Other\\x.txt", full);
  EXPECT_EQ(L"D:\\Other\\x.txt", full);
}

TEST_F(VFS, WithoutTheHostFunctionTheOutputIsLeftAlone) {
  for (HMODULE host : {HMODULE(nullptr), GetModuleHandleW(L"kernel32.dll")}) {
    BindVFSEntryPoints(host);
    WideString full = L"unchanged";
    ExpandRelativePath(L"C:\\Designs\\Board.PrjPcb", L"x.txt", full);
    EXPECT_EQ(L"unchanged", full);
  }
}

}  // namespace
