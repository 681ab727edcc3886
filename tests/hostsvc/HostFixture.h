#pragma once
// A simulated host whose client the test executable's own export hands out,
// with the module's caches emptied before and after each test; and files in
// the host's System folder (the test executable's folder + "System\").
#include <gtest/gtest.h>

#include "ORV.SCH.Util.h"
#include "SimClient.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Util.h"
#include "support/TestFolder.h"

#include <string>
#include <vector>

namespace hostsvc_test {

inline void ForgetHostCaches() {
  tvk::ReleaseHostClient();
  tvk::UtilUnitShutdown();
  tvk::FreeDeviceFamilies();
}

class HostFixture : public ::testing::Test {
protected:
  void SetUp() override {
    tvk::DispatchFixStartup();  // the module's start-up installs it
    ForgetHostCaches();
    tvk::BindHostClientExport(GetModuleHandleW(nullptr));
    Host.Install();
  }
  void TearDown() override {
    ForgetHostCaches();
    hostsim::SimClient::Uninstall();
  }
  // The host without a client from now on.
  void NoClient() {
    ForgetHostCaches();
    hostsim::SimClient::Uninstall();
  }

  hostsim::SimClient Host;
};

// Files written into the host's System folder, removed again (with the folder
// when it did not exist before).
class SystemFiles {
public:
  SystemFiles() : FFolder(tvk::GetSystemFolder()), FCreated(CreateDirectoryW(FFolder.c_str(), nullptr) != 0) {}
  ~SystemFiles() {
    for (const auto& f : FFiles) DeleteFileW(f.c_str());
    if (FCreated) RemoveDirectoryW(FFolder.c_str());
  }
  SystemFiles(const SystemFiles&) = delete;
  SystemFiles& operator=(const SystemFiles&) = delete;

  std::wstring Write(const std::wstring& name, const std::string& text) {
    std::wstring full = FFolder + name;
    testsupport::WriteBytes(full, text);
    FFiles.push_back(full);
    return full;
  }

private:
  std::wstring FFolder;
  bool FCreated;
  std::vector<std::wstring> FFiles;
};

// The last call an object received; a test failure (not a crash) when none.
inline const hostsim::LoggedCall& LastCall(const hostsim::FakeHostObject& object) {
  static const hostsim::LoggedCall none{};
  EXPECT_FALSE(object.Calls().empty()) << "no call reached the host object";
  return object.Calls().empty() ? none : object.Calls().back();
}

}  // namespace hostsvc_test
