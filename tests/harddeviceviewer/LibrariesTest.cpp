// Where the device's symbol and footprint are found: the installed
// libraries of the simulated host, the generic device manager, and the
// automatic installation from the module's library folder.
#include "ViewerTest.h"

#include "Files.h"
#include "Tovik.Form.HardDeviceViewer_Painters.h"
#include "ZUL.Util.h"

#include <fstream>

namespace harddeviceviewer_test {
namespace {

constexpr DISPID kGetFamilyName = 503382, kGetLibraryName = 503384, kGetVendorName = 503407, kGetIdCode = 503552,
                 kGetSecondaryId = 503556;

template <class F>
F Hook(const wchar_t* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), name)));
}

class Libraries : public Viewer {
protected:
  void SetUp() override {
    Viewer::SetUp();
    // The host has its library module loaded, as it has its device manager.
    ASSERT_NE(nullptr, LoadLibraryW(HOSTSIM_SYSTEM_DIR L"\\HostLibraries.dll"));
    Hook<void(__stdcall*)()>(L"HostLibraries.dll", "HostSim_ClearLibraries")();
    Device->ReturnString(kGetFamilyName, L"Spartan3");
    Device->ReturnString(kGetLibraryName, L"Spartan3.slib");
    Device->ReturnString(kGetVendorName, L"Xilinx");
    Jtag = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
    Jtag->ReturnInt(kGetIdCode, 0x01414093);
    Jtag->ReturnInt(kGetSecondaryId, 7);
  }
  void TearDown() override {
    for (const std::wstring& file : Made) DeleteFileW(file.c_str());
    Hook<void(__stdcall*)()>(L"HostLibraries.dll", "HostSim_ClearLibraries")();
    Viewer::TearDown();
  }
  void AddComponent(const wchar_t* name, const wchar_t* reference, const wchar_t* file, const wchar_t* footprint,
                    const wchar_t* datafile, bool installed) {
    Hook<void(__stdcall*)(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int32_t)>(
        L"HostLibraries.dll", "HostSim_AddLibraryComponent")(name, reference, file, footprint, datafile, installed);
  }
  static std::vector<std::wstring> InstalledFiles() {
    auto count = Hook<int32_t(__stdcall*)()>(L"HostLibraries.dll", "HostSim_InstalledLibraryCount");
    auto item = Hook<const wchar_t*(__stdcall*)(int32_t)>(L"HostLibraries.dll", "HostSim_InstalledLibrary");
    std::vector<std::wstring> files;
    for (int32_t k = 0; k < count(); ++k) files.emplace_back(item(k));
    return files;
  }
  // A file in the module's library folder, under the vendor's folder.
  std::wstring MakeLibraryFile(const std::wstring& name) {
    const std::wstring folder = tvk::GetLibraryFolder() + L"Xilinx";
    CreateDirectoryW(tvk::GetLibraryFolder().c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + L"\\" + name;
    std::ofstream(file.c_str()) << "library";
    Made.push_back(file);
    return file;
  }
  tvk::ITovikDevice TheDevice() const { return tvk::ITovikDevice(Device.Get()); }
  tvk::IJTagDevice TheJtag() const { return tvk::IJTagDevice(Jtag.Get()); }

  hostsim::SimRef<hostsim::FakeHostObject> Jtag;
  std::vector<std::wstring> Made;
};

TEST_F(Libraries, AnIntegratedLibraryGivesItsFootprintsDataFile) {
  AddComponent(L"Spartan3.slib", L"XC3S200", L"C:\\Libraries\\Spartan3.ilib", L"FT256",
               L"C:\\Libraries\\Spartan3.ilib|FT256.flib", true);
  const tvk::TDeviceLibraries found = tvk::FindLibraries(TheDevice(), TheJtag(), false);
  EXPECT_EQ(L"C:\\Libraries\\Spartan3.ilib", found.SchLibraryPath);
  EXPECT_EQ(L"FT256", found.FootprintName);
  EXPECT_EQ(L"C:\\Libraries\\Spartan3.ilib|FT256.flib", found.DatafilePath);
}

TEST_F(Libraries, ASchematicLibrarysFootprintsAreInTheFootprintLibraryOfItsName) {
  AddComponent(L"Spartan3.slib", L"XC3S200", L"C:\\Libraries\\Spartan3.slib", L"FT256", L"", true);
  const tvk::TDeviceLibraries found = tvk::FindLibraries(TheDevice(), TheJtag(), false);
  EXPECT_EQ(L"C:\\Libraries\\Spartan3.slib", found.SchLibraryPath);
  EXPECT_EQ(L"FT256", found.FootprintName);
  EXPECT_EQ(L"Spartan3.flib", found.DatafilePath);  // the library name's, as the device gives it
}

TEST_F(Libraries, TheDevicesLibraryIsInstalledFromTheLibraryFolderOnlyWhenWanted) {
  const std::wstring symbols = MakeLibraryFile(L"Spartan3.slib");
  AddComponent(L"Spartan3.slib", L"XC3S200", symbols.c_str(), L"FT256", L"", false);
  tvk::TDeviceLibraries found = tvk::FindLibraries(TheDevice(), TheJtag(), false);
  EXPECT_TRUE(found.SchLibraryPath.empty());
  EXPECT_TRUE(InstalledFiles().empty());

  found = tvk::FindLibraries(TheDevice(), TheJtag(), true);
  EXPECT_EQ((std::vector<std::wstring>{symbols, tvk::ChangeFileExt(symbols, L".flib")}), InstalledFiles());
  EXPECT_EQ(symbols, found.SchLibraryPath);

  // An absolute library name is taken as it stands; a missing file is not installed, and nothing is said.
  Hook<void(__stdcall*)()>(L"HostLibraries.dll", "HostSim_ClearLibraries")();
  Device->ReturnString(kGetLibraryName, L"C:\\Nowhere\\Spartan3.ilib");
  found = tvk::FindLibraries(TheDevice(), TheJtag(), true);
  EXPECT_TRUE(InstalledFiles().empty());
  EXPECT_TRUE(found.SchLibraryPath.empty());
  EXPECT_TRUE(found.FootprintName.empty());
}

TEST_F(Libraries, AGenericDeviceIsNamedByTheGenericDeviceManager) {
  auto set = Hook<void(__stdcall*)(uint32_t, uint32_t, const wchar_t*, const wchar_t*)>(
      L"TovikManager.dll", "HostSim_SetGenericDeviceLibrary");
  ASSERT_NE(nullptr, set);
  set(0x01414093, 7, L"XC3S200-FT256", L"Generic.slib");
  EXPECT_EQ(L"XC3S200", tvk::LibraryReference(TheDevice(), TheJtag()));  // not generic: its own name
  Device->ReturnString(kGetFamilyName, L"gENERIC");
  EXPECT_TRUE(tvk::IsGenericDevice(TheDevice()));
  EXPECT_EQ(L"XC3S200-FT256", tvk::LibraryReference(TheDevice(), TheJtag()));
  EXPECT_EQ(L"Spartan3.slib", tvk::LibraryName(TheDevice(), TheJtag()));  // its own library comes first
  Device->ReturnString(kGetLibraryName, L"");
  EXPECT_EQ(L"Generic.slib", tvk::LibraryName(TheDevice(), TheJtag()));
  // An identification the manager does not know keeps the device's own name.
  set(0x01414093, 7, L"", L"");
  EXPECT_EQ(L"XC3S200", tvk::LibraryReference(TheDevice(), TheJtag()));
  EXPECT_EQ(L"", tvk::LibraryName(TheDevice(), TheJtag()));
}

TEST_F(Libraries, TheNotFoundTexts) {
  EXPECT_EQ(L"Schematic symbol with library reference XC3S200 cannot be found in installed libraries. Please "
            L"install library Spartan3.slib and click here to try again.",
            tvk::SymbolNotFoundText(L"XC3S200", L"Spartan3.slib"));
  EXPECT_EQ(L"Footprint model with library reference XC3S200 cannot be found in installed libraries. Please "
            L"install library Spartan3.slib and click here to try again.",
            tvk::FootprintNotFoundText(L"XC3S200", L"Spartan3.slib"));
}

}  // namespace
}  // namespace harddeviceviewer_test
