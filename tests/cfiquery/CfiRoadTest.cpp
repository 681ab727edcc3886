// The CFI query on the user's road, over the module's code: the host opens
// the flash dialog of an STM32F103 driver whose board carries a CFI NOR at
// 0x10000000, and a script plays the user through windows alone. The
// simulated chip runs the writer's query and erase commands on that NOR.
#include "CfiQueryTest.h"

#include "DriverExports.h"
#include "SimClient.h"
#include "SimDeviceLink.h"
#include "SimFlashProgrammer.h"
#include "SimHost.h"
#include "SimRack.h"
#include "SimScript.h"
#include "ZUL.Classes.h"
#include "ZUL.Util.h"
#include "support/HostCall.h"

#include <memory>

namespace cfiquery_test {

constexpr DISPID kSetTovikDevice = 503754, kReleaseResources = 503812, kDeviceName = 503380,
                 kShowFlashMemoryUtilityDialog = 508736;
constexpr std::uint32_t kNor = 0x10000000, kNorSector = 8 * 1024;

// The first of the module's drivers whose device name starts with Device's.
int32_t KindOf(const std::wstring& device) {
  for (int32_t kind = 0;; ++kind) {
    IDispatch* driver = nullptr;
    if (FAILED(tvk::GetTovikDriverImpl(kind, &driver)) || !driver) return -1;
    const std::wstring name = testsupport::Call(driver, kDeviceName).Text();
    driver->Release();
    if (name.starts_with(device)) return kind;
  }
}

// A job that has begun has ended once its progress bar is hidden again: the
// dialog processes messages while a job runs and ends, so the script's next
// step waits for that.
bool JobEnded() {
  const HWND bar = hostsim::SimScript::FindControl(L"progressMainProgressBar");
  return bar && !IsWindowVisible(bar);
}

bool Enabled(const wchar_t* component) {
  const HWND window = hostsim::SimScript::FindControl(component);
  return window && IsWindowEnabled(window);
}

class CfiRoad : public ::testing::Test {
protected:
  void SetUp() override {
    tvk::ReleaseHostClient();
    tvk::BindHostClientExport(GetModuleHandleW(nullptr));
    Host.Install();
    Chip.PowerOnReset();
    static const int32_t kind = KindOf(Chip.Config().DeviceName);
    ASSERT_LE(0, kind);
    ASSERT_EQ(S_OK, tvk::GetTovikDriverImpl(kind, &Driver));
    ASSERT_EQ(S_OK, testsupport::Call(Driver, kSetTovikDevice, {testsupport::Obj(Board->DeviceDispatch())}).Hr);
  }
  void TearDown() override {
    if (Driver) {
      testsupport::Call(Driver, kReleaseResources);
      Driver->Release();
    }
    hostsim::PumpMessages();
    tvk::ReleaseHostClient();
    hostsim::SimClient::Uninstall();
    EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
  }

  // The host opens the dialog while Script plays; Close ends both.
  void RunDialog(hostsim::SimScript& script) {
    script.Click(L"buttonClose");
    auto link = hostsim::SimRef<hostsim::SimDeviceLink>::Adopt(new hostsim::SimDeviceLink(Chip.Config().DeviceName));
    script.Start();
    EXPECT_EQ(S_OK, testsupport::Call(Driver, kShowFlashMemoryUtilityDialog, {testsupport::Obj(link.Get())}).Hr);
    EXPECT_TRUE(script.Finished()) << "stopped after " << script.Ticks() << " ticks";
    EXPECT_FALSE(script.Failed()) << testing::PrintToString(script.Failure());
  }
  std::vector<std::uint8_t> OnChip(std::uint32_t address, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    EXPECT_TRUE(Chip.Peek(address, bytes));
    return bytes;
  }

  hostsim::SimClient Host;
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  hostsim::SimCortexM3& Chip = Board->Chip();
  // 8 sectors of 8 KB and 63 of 64 KB, 16 bits wide only.
  hostsim::SimFlashProgrammer Flash{
      Chip, hostsim::SimFlashLayout::Stm32F10x(Chip.Config().FlashSize).WithCfiFlash({{8, 8 * 1024}, {63, 64 * 1024}}, 2)};
  IDispatch* Driver = nullptr;  // counted
};

TEST_F(CfiRoad, TheQueryShowsTheNorsGeometryAndEnablesAnEraseThatReachesItUntilAQueryElsewhereFails) {
  ASSERT_TRUE(Chip.Load(kNor, std::vector<std::uint8_t>(2 * kNorSector, 0x5A)));
  bool enabledBefore = true, enabledAfterQuery = false, enabledAfterFailure = true;
  hostsim::SimScript script(6000);
  script.Choose(L"FlashDeviceDropDownList", L"CFI Flash Device")
      .Paste(L"EditFlashBaseAddress", L"0x10000000")
      .Do([&] { enabledBefore = Enabled(L"ButtonEraseSectorRange"); })
      .Click(L"ButtonCfiQuery")
      .Read(L"Tree_CfiQuery", &ReadTreeLines)
      .Key(VK_RETURN)
      .WaitFor(L"the query's end", &JobEnded)
      .Do([&] { enabledAfterQuery = Enabled(L"ButtonEraseSectorRange"); })
      .Type(L"EditStartSectorNumber", L"0")
      .Type(L"EditEndSectorNumber", L"0")
      .Click(L"ButtonEraseSectorRange")
      .Box(IDOK)
      .WaitFor(L"the erase's end", [&] { return OnChip(kNor, 1)[0] == 0xFF && JobEnded(); })
      .Paste(L"EditFlashBaseAddress", L"0x14000000")
      .Click(L"ButtonCfiQuery")
      .Box(IDOK)
      .WaitFor(L"the query's end", &JobEnded)
      .Do([&] { enabledAfterFailure = Enabled(L"ButtonEraseSectorRange"); });
  RunDialog(script);

  ASSERT_EQ(1u, script.Readings().size());
  EXPECT_EQ((std::vector<std::wstring>{L"Primary vendor command set: AMD/Fujitsu Standard Command Set",
                                       L"Size: 4194304 (Hex: 0x00400000)", L"Supported widths: 16",
                                       L"Number of erase block regions: 2", L"Erase Block Region 1: 8 x 8K",
                                       L"Erase Block Region 2: 63 x 64K"}),
            script.Readings()[0]);
  std::vector<std::wstring> boxes;
  for (const auto& box : script.Boxes()) boxes.push_back(box.Text);
  EXPECT_EQ((std::vector<std::wstring>{L"Confirm erase sectors:  0  ->  0?",
                                       L"No CFI flash detected at address 0x14000000 !"}),
            boxes);
  EXPECT_FALSE(enabledBefore);
  EXPECT_TRUE(enabledAfterQuery);
  EXPECT_FALSE(enabledAfterFailure);
  EXPECT_EQ(std::vector<std::uint8_t>(kNorSector, 0xFF), OnChip(kNor, kNorSector));
  EXPECT_EQ(std::vector<std::uint8_t>(kNorSector, 0x5A), OnChip(kNor + kNorSector, kNorSector)) << "sector 1 kept";
  // The chip ran the query twice: at the NOR, and where nothing answers.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> queries;
  for (const hostsim::SimRemoteCommand& c : Flash.Commands())
    if (c.Command == 41) queries.push_back({c.Args[0], c.Status});
  EXPECT_EQ((std::vector<std::pair<std::uint32_t, std::uint32_t>>{{kNor, 0}, {0x14000000, 3}}), queries);
}

}  // namespace cfiquery_test
