// The host client from the host executable's export: cached once found, asked
// for again while the host has none, absent without the export.
#include <gtest/gtest.h>

#include "FakeHostObject.h"
#include "HostExports.h"
#include "ZUL.Util.h"

using namespace tvk;
using hostsim::FakeHostObject;

namespace {

class HostClient : public ::testing::Test {
protected:
  void SetUp() override {
    BindHostClientExport(GetModuleHandleW(nullptr));
    ReleaseHostClient();
    hostsim::SetHostClient(nullptr);
  }
  void TearDown() override {
    ReleaseHostClient();
    hostsim::SetHostClient(nullptr);
    BindHostClientExport(GetModuleHandleW(nullptr));
  }
};

TEST_F(HostClient, CachedOnceFoundAskedAgainWhileEmpty) {
  int calls = hostsim::ClientInterfaceCalls();
  EXPECT_FALSE(GetHostClient());
  EXPECT_FALSE(GetHostClient());
  EXPECT_EQ(calls + 2, hostsim::ClientInterfaceCalls());  // an empty answer is not cached

  auto* client = new FakeHostObject;
  auto* later = new FakeHostObject;
  hostsim::SetHostClient(client);
  EXPECT_EQ(client, GetHostClient().ToPointer());
  hostsim::SetHostClient(later);
  EXPECT_EQ(client, GetHostClient().ToPointer());
  EXPECT_EQ(calls + 3, hostsim::ClientInterfaceCalls());  // never asked again

  hostsim::SetHostClient(nullptr);
  EXPECT_EQ(2, client->RefCount());  // ours and the cache's
  ReleaseHostClient();
  EXPECT_EQ(1, client->RefCount());
  client->Release();
  later->Release();
}

TEST_F(HostClient, AnAnswerWithoutDispatchIsNotCached) {
  auto* client = new FakeHostObject;
  client->SetOffersDispatch(false);
  hostsim::SetHostClient(client);
  EXPECT_FALSE(GetHostClient());
  client->SetOffersDispatch(true);
  EXPECT_EQ(client, GetHostClient().ToPointer());
  ReleaseHostClient();
  hostsim::SetHostClient(nullptr);
  EXPECT_EQ(1, client->RefCount());
  client->Release();
}

TEST_F(HostClient, WithoutTheExportThereIsNoClient) {
  auto* client = new FakeHostObject;
  hostsim::SetHostClient(client);
  BindHostClientExport(GetModuleHandleW(L"kernel32.dll"));  // a main executable without the export
  int calls = hostsim::ClientInterfaceCalls();
  EXPECT_FALSE(GetHostClient());
  EXPECT_FALSE(GetHostClient());
  EXPECT_EQ(calls, hostsim::ClientInterfaceCalls());
  hostsim::SetHostClient(nullptr);
  client->Release();
}

}  // namespace
