// Flows, vendor tools, the programming stubs with logic, and the device
// picture overlaid by the family name.
#include "FrameworkTest.h"

#include "Tarnwell_Driver.h"
#include "ZUL.Util.h"
#include "hostsvc/HostFixture.h"
#include "support/HostCall.h"

#include <fstream>

using namespace tvk;
namespace framework_test {
using namespace testsupport;

namespace {

constexpr DISPID kFlowStageBuild = 503790, kFlowStageDownload = 503791;

class TFlowDriver : public TTovikDriver {
public:
  TFlowDriver() : TTovikDriver(L".EDN") {}
  IProcessFlow CreateProcessFlow(int32_t Kind) override {
    Asked.push_back(Kind);
    return Answer;
  }
  std::vector<int32_t> Asked;
  IProcessFlow Answer;
};

TEST(DriverFlows, MadeOnFirstRequestAndAskedAgainWhileEmpty) {
  auto driver = MakeDriver<TFlowDriver>();
  EXPECT_EQ(nullptr, Call(driver.get(), kFlowStageBuild).Dispatch());
  EXPECT_EQ(nullptr, Call(driver.get(), kFlowStageBuild).Dispatch());
  EXPECT_EQ((std::vector<int32_t>{0, 0}), driver->Asked);

  auto flow = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  driver->Answer = IProcessFlow(flow.Get());
  EXPECT_EQ(flow.Get(), Call(driver.get(), kFlowStageBuild).Dispatch());
  driver->Answer.Clear();
  EXPECT_EQ(flow.Get(), Call(driver.get(), kFlowStageBuild).Dispatch());  // kept
  EXPECT_EQ((std::vector<int32_t>{0, 0, 0}), driver->Asked);

  EXPECT_EQ(nullptr, Call(driver.get(), kFlowStageDownload).Dispatch());
  EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 1}), driver->Asked);
}

// ---- Vendor tools

class TVendorDriver : public TTovikDriver {
public:
  TVendorDriver() : TTovikDriver(L".EDN") {}
  HRESULT GetVendorName(WideString& Result) override {
    Result = Vendor;
    return S_OK;
  }
  WideString Vendor;
};

HRESULT AnswerText(VARIANT* r, const std::wstring& text) {
  hostsim::SetResultString(r, text);
  return S_OK;
}

class VendorTools : public hostsvc_test::HostFixture {
protected:
  static constexpr DISPID kDescriptor = 509001, kInstalled = 509002, kUpToDate = 509003, kToolPath = 509004,
                          kVersion = 509005, kGetVendorToolManager = 509009;
  void SetUp() override {
    HostFixture::SetUp();
    // Xilinx tools are installed, Lattice's are up to date; no tool has a path.
    Tools->On(kInstalled, [](std::vector<VARIANT*>& a, VARIANT* r) {
      hostsim::SetResultBool(r, hostsim::ArgString(a[0]) == L"Xilinx");
      return S_OK;
    });
    Tools->On(kUpToDate, [](std::vector<VARIANT*>& a, VARIANT* r) {
      hostsim::SetResultBool(r, hostsim::ArgString(a[0]) == L"Lattice");
      return S_OK;
    });
    Tools->On(kDescriptor, [](std::vector<VARIANT*>& a, VARIANT* r) {
      return AnswerText(r, hostsim::ArgString(a[0]) + L" tools");
    });
    Tools->On(kToolPath, [](std::vector<VARIANT*>&, VARIANT* r) { return AnswerText(r, L""); });
    Tools->On(kVersion, [](std::vector<VARIANT*>&, VARIANT* r) { return AnswerText(r, L"1.0"); });
    Flow->ReturnObject(kGetVendorToolManager, Tools.Get());
  }
  void WithToolManager() { Host.AddServerModule(L"FpgaFlow", Flow.Get()); }

  struct Answers {
    bool Present, UpToDate;
    std::wstring Descriptor;
    bool operator==(const Answers&) const = default;
  };
  static Answers Ask(TVendorDriver& driver) {
    return {Call(&driver, 503764).Result.Ptr()->boolVal != VARIANT_FALSE,
            Call(&driver, 503765).Result.Ptr()->boolVal != VARIANT_FALSE, Call(&driver, 503763).Text()};
  }

  hostsim::SimRef<hostsim::FakeHostObject> Tools = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  hostsim::SimRef<hostsim::FakeHostObject> Flow = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
};

TEST_F(VendorTools, AnswersByVendor) {
  WithToolManager();
  struct Case {
    const wchar_t* Vendor;
    Answers Expected;
  };
  const Case cases[] = {
      {L"XILINX", {true, false, L"Xilinx tools"}},
      {L"lattice", {false, true, L"Lattice tools"}},
      {L"Altera", {false, false, L"Altera Quartus II"}},  // no path for its tool
      {L"Actel", {false, false, L"ACTEL LiberoIDE"}},
      {L"STMicroelectronics", {true, true, L""}},       // not an FPGA vendor: nothing is missing
      {L"", {true, true, L""}},
  };
  auto driver = MakeDriver<TVendorDriver>();
  for (const Case& c : cases) {
    driver->Vendor = c.Vendor;
    EXPECT_TRUE(Ask(*driver) == c.Expected) << c.Vendor;
  }
}

TEST_F(VendorTools, WithoutTheManagerXilinxToolsAreMissing) {
  auto driver = MakeDriver<TVendorDriver>();
  driver->Vendor = L"Xilinx";
  EXPECT_TRUE(Ask(*driver) == (Answers{false, false, L""}));
}

// ---- Stubs with logic

class TDownloadDriver : public TTovikDriver {
public:
  TDownloadDriver() : TTovikDriver(L".EDN") {}
  HRESULT ResetDevice(bool& Result) override {
    Result = Resets;
    return S_OK;
  }
  HRESULT ProgramDevice(const WideString& File, int32_t& Result) override {
    Programmed.push_back(File);
    Result = 0;
    return S_OK;
  }
  HRESULT GetDeviceState(int32_t& Result) override {
    Result = State;
    return S_OK;
  }
  bool Resets = false;
  int32_t State = 2;
  std::vector<WideString> Programmed;
};

TEST(DriverStubs, EPM_DownloadProgramsOnlyAfterAReset) {
  auto driver = MakeDriver<TDownloadDriver>();
  auto download = [&] {
    auto call = Call(driver.get(), 503816, {Str(L"a"), Str(L"image.bin"), Str(L"c")});
    EXPECT_EQ(S_OK, call.Hr);
    return call.Result.Ptr()->boolVal != VARIANT_FALSE;
  };
  EXPECT_FALSE(download());
  EXPECT_TRUE(driver->Programmed.empty());
  driver->Resets = true;
  EXPECT_TRUE(download());
  driver->State = 1;
  EXPECT_FALSE(download());
  EXPECT_EQ((std::vector<WideString>{L"image.bin", L"image.bin"}), driver->Programmed);
}

TEST(DriverStubs, CustomActionStateClearsTheFirstAndThirdOutput) {
  auto driver = MakeGenericDriver();
  for (long action : {0L, 5L, -1L}) {
    VARIANT_BOOL states[3] = {VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE};
    EXPECT_EQ(S_OK, Invoke(driver.get(), 503815,
                           {I4(action), RefBool(&states[0]), RefBool(&states[1]), RefBool(&states[2]), I4(0), I4(0)},
                           nullptr, DISPATCH_METHOD));
    EXPECT_EQ(VARIANT_FALSE, states[0]) << action;
    EXPECT_EQ(VARIANT_TRUE, states[1]) << action;  // not touched
    EXPECT_EQ(VARIANT_FALSE, states[2]) << action;
  }
}

// ---- Device picture

// A 24-bit BMP file of one colour.
std::string BitmapFile(int width, int height, COLORREF colour) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + DWORD(stride * height);
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  std::string data(reinterpret_cast<const char*>(&file), sizeof file);
  data.append(reinterpret_cast<const char*>(&info), sizeof info);
  std::string row(std::size_t(stride), '\0');
  for (int x = 0; x < width; ++x) {
    row[std::size_t(x) * 3] = char(GetBValue(colour));
    row[std::size_t(x) * 3 + 1] = char(GetGValue(colour));
    row[std::size_t(x) * 3 + 2] = char(GetRValue(colour));
  }
  for (int y = 0; y < height; ++y) data += row;
  return data;
}

COLORREF PixelAt(HBITMAP bitmap, int x, int y) {
  BITMAP b{};
  GetObjectW(bitmap, sizeof b, &b);
  const int stride = (b.bmWidth * 3 + 3) & ~3;
  std::vector<BYTE> bits(std::size_t(stride * b.bmHeight));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = b.bmWidth;
  info.bmiHeader.biHeight = -b.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, bitmap, 0, UINT(b.bmHeight), bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  const BYTE* p = bits.data() + std::size_t(y * stride + x * 3);
  return RGB(p[2], p[1], p[0]);
}

// Files in the module's "Library\DeviceImages\" folder, removed afterwards.
class DeviceImages {
public:
  DeviceImages() : FLibrary(GetLibraryFolder()), FFolder(FLibrary + L"DeviceImages\\") {
    FMadeLibrary = CreateDirectoryW(FLibrary.c_str(), nullptr) != 0;
    CreateDirectoryW(FFolder.c_str(), nullptr);
  }
  ~DeviceImages() {
    for (const auto& f : FFiles) DeleteFileW(f.c_str());
    RemoveDirectoryW(FFolder.c_str());
    if (FMadeLibrary) RemoveDirectoryW(FLibrary.c_str());
  }
  void Write(const std::wstring& name, const std::string& data) {
    FFiles.push_back(FFolder + name);
    std::ofstream(FFiles.back().c_str(), std::ios::binary) << data;
  }

private:
  std::wstring FLibrary, FFolder;
  bool FMadeLibrary;
  std::vector<std::wstring> FFiles;
};

TEST(DevicePicture, TheBasePictureOverlaidByTheFamilyPicture) {
  constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);
  ASSERT_TRUE(DeviceDataUnitStartup());  // a driver takes its writer classes from the table start-up binds
  auto driver = MakeDriver<TCortexM3>(0);
  WideString family, device;
  ASSERT_EQ(S_OK, driver->GetFamilyName(family));
  ASSERT_EQ(S_OK, driver->GetDeviceName(device));
  DeviceImages images;
  images.Write(family + L".bmp", BitmapFile(10, 10, kBlue));
  images.Write(device + L".bmp", BitmapFile(32, 32, kGreen));  // not the name the picture goes by

  // No base picture: no picture, and nothing kept, so the next request tries again.
  EXPECT_EQ(0, Call(driver.get(), 503756).Int());
  hostsvc_test::SystemFiles system;
  system.Write(L"Generic_Hard_Device.bmp", BitmapFile(32, 32, kRed));
  auto first = Call(driver.get(), 503756);
  ASSERT_EQ(S_OK, first.Hr);
  ASSERT_NE(0, first.Int());
  auto bitmap = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(first.Int()));
  EXPECT_EQ(kBlue, PixelAt(bitmap, 16, 16));  // centred at (11, 11)
  EXPECT_EQ(kBlue, PixelAt(bitmap, 12, 11));
  EXPECT_EQ(kRed, PixelAt(bitmap, 11, 11));   // the overlay's corners are left out
  EXPECT_EQ(kRed, PixelAt(bitmap, 20, 20));
  EXPECT_EQ(kRed, PixelAt(bitmap, 10, 16));
  EXPECT_EQ(kRed, PixelAt(bitmap, 21, 16));
  EXPECT_EQ(first.Int(), Call(driver.get(), 503756).Int());  // built once
}

}  // namespace

}  // namespace framework_test
