// The FPGA vendor tools the host knows: paths, installed tools, descriptors
// and the version checks against the host's version lists.
#include "HostFixture.h"

#include "Tovik.Utils.h"
#include "ZUL.HostModules.h"
#include "support/TestFolder.h"

#include <map>

using namespace tvk;
using hostsim::FakeHostObject;
using hostsvc_test::SystemFiles;
using testsupport::TestFolder;

namespace {

constexpr DISPID kGetVendorToolDescriptor = 509001, kIsVendorToolInstalled = 509002, kIsVendorToolUpToDate = 509003,
                 kGetVendorToolPath = 509004, kGetVendorToolVersion = 509005, kGetVendorToolManager = 509009;

HRESULT AnswerText(VARIANT* r, const std::wstring& text) {
  hostsim::SetResultString(r, text);
  return S_OK;
}

HRESULT AnswerBool(VARIANT* r, bool value) {
  hostsim::SetResultBool(r, value);
  return S_OK;
}

// A host with an FPGA-flow server whose vendor-tool manager knows the tool
// paths in Paths ("Vendor/Tool") and reports Xilinx as installed.
class VendorTools : public hostsvc_test::HostFixture {
protected:
  void SetUp() override {
    HostFixture::SetUp();
    Flow->ReturnObject(kGetVendorToolManager, Tools);
    Host.AddServerModule(L"FpgaFlow", Flow);
    Tools->On(kGetVendorToolPath, [this](std::vector<VARIANT*>& a, VARIANT* r) {
      auto found = Paths.find(hostsim::ArgString(a[0]) + L"/" + hostsim::ArgString(a[1]));
      return AnswerText(r, found == Paths.end() ? L"" : found->second);
    });
    Tools->On(kIsVendorToolInstalled, [](std::vector<VARIANT*>& a, VARIANT* r) {
      return AnswerBool(r, hostsim::ArgString(a[0]) == L"Xilinx");
    });
    Tools->On(kIsVendorToolUpToDate, [](std::vector<VARIANT*>& a, VARIANT* r) {
      return AnswerBool(r, hostsim::ArgString(a[0]) == L"Lattice");
    });
    Tools->On(kGetVendorToolVersion, [](std::vector<VARIANT*>& a, VARIANT* r) {
      return AnswerText(r, hostsim::ArgString(a[0]) + L" 12.4");
    });
    Tools->On(kGetVendorToolDescriptor, [](std::vector<VARIANT*>& a, VARIANT* r) {
      return AnswerText(r, hostsim::ArgString(a[0]) + L" tools");
    });
  }
  void TearDown() override {
    HostFixture::TearDown();
    Flow->Release();
    Tools->Release();
  }

  FakeHostObject* Flow = new FakeHostObject;
  FakeHostObject* Tools = new FakeHostObject;
  std::map<std::wstring, std::wstring> Paths;
};

TEST_F(VendorTools, PathsInstalledToolsAndDescriptors) {
  Paths[L"Altera/Quartus_Cmd"] = L"C:\\altera\\quartus\\bin\\quartus_cmd.exe";
  Paths[L"Actel/designer"] = L"C:\\Actel\\Designer\\bin\\designer.exe";
  EXPECT_EQ(L"C:\\altera\\quartus\\bin\\quartus_cmd.exe", GetAlteraToolPath(L"Quartus_Cmd"));
  EXPECT_EQ(L"", GetVendorToolPath(1, L"Quartus_Cmd"));  // Xilinx
  EXPECT_EQ(L"", GetVendorToolPath(4, L"Quartus_Cmd"));
  EXPECT_TRUE(AlteraToolsInstalled());
  EXPECT_TRUE(ActelToolsInstalled());
  EXPECT_TRUE(XilinxToolsInstalled());
  EXPECT_FALSE(LatticeToolsInstalled());
  WideString text;
  XilinxToolsDescriptor(text);
  EXPECT_EQ(L"Xilinx tools", text);
  LatticeToolsDescriptor(text);
  EXPECT_EQ(L"Lattice tools", text);
  AlteraToolsDescriptor(text);
  EXPECT_EQ(L"Altera Quartus II", text);
  ActelToolsDescriptor(text);
  EXPECT_EQ(L"ACTEL LiberoIDE", text);

  WideString version;
  EXPECT_TRUE(CheckLatticeToolsVersion(version));
  EXPECT_EQ(L"Lattice 12.4", version);
  EXPECT_FALSE(CheckXilinxToolsVersion(version));
  EXPECT_EQ(L"Xilinx 12.4", version);
}

TEST_F(VendorTools, WithoutTheHostsVendorToolManager) {
  NoClient();
  WideString version = L"stale", text = L"stale";
  EXPECT_FALSE(CheckLatticeToolsVersion(version));
  EXPECT_EQ(L"", version);
  EXPECT_FALSE(CheckAlteraToolsVersion(version));
  EXPECT_FALSE(CheckActelToolsVersion(version));
  EXPECT_FALSE(XilinxToolsInstalled());
  EXPECT_FALSE(AlteraToolsInstalled());
  XilinxToolsDescriptor(text);
  EXPECT_EQ(L"", text);
  EXPECT_EQ(L"", GetActelAdmFolder());
}

TEST_F(VendorTools, AlteraVersionFromTheReadme) {
  TestFolder install;
  install.Folder(L"quartus");
  install.Folder(L"quartus\\bin");
  Paths[L"Altera/Quartus_Cmd"] = install / L"quartus\\bin\\quartus_cmd.exe";
  SystemFiles system;
  system.Write(L"AlteraVersions.Txt", "8.1\r\n9.1\r\n10.0SP1\r\n");
  const struct {
    const char* Readme;
    bool Supported;
    const wchar_t* Version;
  } cases[] = {
      {"Version 9.1 Build 222 10/21/2009", true, L"9.1"},
      {"Quartus II Version   9.1  Build", true, L"9.1"},
      {"Version 9.1", false, L""},  // nothing after the version
      {"Release 10.0sp1 notes", true, L"10.0sp1"},
      {"version 9.1 Build", false, L""},  // matched with case
      {"Version 7.2 Build 1", false, L""},
      {"Readme", false, L""},
  };
  for (const auto& c : cases) {
    install.Write(L"quartus\\readme.txt", std::string(c.Readme) + "\r\nmore\r\n");
    WideString version = L"stale";
    EXPECT_EQ(c.Supported, CheckAlteraToolsVersion(version)) << c.Readme;
    EXPECT_EQ(c.Version, version) << c.Readme;
  }
  DeleteFileW((install / L"quartus\\readme.txt").c_str());
  WideString version;
  EXPECT_THROW(CheckAlteraToolsVersion(version), Exception);  // the readme cannot be opened
}

TEST_F(VendorTools, ActelVersionFromTheAdmFolder) {
  TestFolder install;
  install.Folder(L"Designer");
  install.Folder(L"Designer\\bin");
  Paths[L"Actel/Designer"] = install / L"Designer\\bin\\designer.exe";
  WideString version = L"stale";
  EXPECT_EQ(L"", GetActelAdmFolder());  // no adm folder yet
  EXPECT_FALSE(CheckActelToolsVersion(version));
  EXPECT_EQ(L"", version);

  install.Folder(L"Designer\\adm");
  EXPECT_EQ(install / L"Designer\\bin\\..\\adm\\", GetActelAdmFolder());
  EXPECT_THROW(CheckActelToolsVersion(version), Exception);  // no verinfo
  install.Write(L"Designer\\adm\\verinfo", "8.6.2.10\r\n");
  SystemFiles system;
  EXPECT_THROW(CheckActelToolsVersion(version), Exception);  // no versions list
  system.Write(L"ACTELVersions.Txt", "8.5\r\n8.6.2.10\r\n");
  EXPECT_TRUE(CheckActelToolsVersion(version));
  EXPECT_EQ(L"8.6.2.10", version);
  install.Write(L"Designer\\adm\\verinfo", "8.4\r\n");
  EXPECT_FALSE(CheckActelToolsVersion(version));
  EXPECT_EQ(L"", version);
}

}  // namespace
