#pragma once
// The real module, loaded once for a test suite from TVK_MODULE_PATH after
// the host's own modules, with its two exports. Base is the fixture it adds
// them to.
#include "SimHostModules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

namespace testsupport {

using GetCountFn = HRESULT(__stdcall*)(int32_t*);
using GetDriverFn = HRESULT(__stdcall*)(int32_t, IDispatch**);

template <class Base = ::testing::Test>
class TLoadedModule : public Base {
protected:
  static void SetUpTestSuite() {
    hostsim::HostDeviceManager();
    FModule = LoadLibraryW(TVK_MODULE_PATH);
  }
  static void TearDownTestSuite() {
    if (FModule) FreeLibrary(FModule);
    FModule = nullptr;
  }
  void SetUp() override {
    Base::SetUp();
    if (this->HasFatalFailure()) return;
    ASSERT_NE(nullptr, FModule) << "cannot load the module";
    FGetCount = reinterpret_cast<GetCountFn>(reinterpret_cast<void*>(GetProcAddress(FModule, "GetTovikDriverCount")));
    FGetDriver =
        reinterpret_cast<GetDriverFn>(reinterpret_cast<void*>(GetProcAddress(FModule, "GetTovikDriver_Plugin")));
    ASSERT_TRUE(FGetCount && FGetDriver);
  }
  // A new driver of Kind from the export (the caller releases it); null if none.
  IDispatch* NewDriver(int32_t kind) {
    IDispatch* driver = nullptr;
    EXPECT_EQ(S_OK, FGetDriver(kind, &driver)) << kind;
    return driver;
  }

  static inline HMODULE FModule = nullptr;
  GetCountFn FGetCount = nullptr;
  GetDriverFn FGetDriver = nullptr;
};

using LoadedModule = TLoadedModule<>;

}  // namespace testsupport
