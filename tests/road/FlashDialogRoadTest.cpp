// The flash memory utility dialog on the host's road: the loaded module's
// STM32F103 driver opens it for a device link, a script plays the user
// through windows alone, and the simulated chip's flash is the reference.
#include "ModuleCalls.h"
#include "SimDeviceLink.h"
#include "SimFlashProgrammer.h"
#include "SimHost.h"
#include "SimScript.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace road_flash_test {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr std::uint32_t kFlash = 0x08000000, kSector = 0x400;  // 1 KB pages
constexpr DISPID kDriverSupports = 503761;
constexpr std::size_t kCommandBlock = 0x400, kCommandBlockSize = 0x40;  // in SRAM

bool Shown(const wchar_t* component) {
  const HWND window = hostsim::SimScript::FindControl(component);
  return window && IsWindowVisible(window);
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, folder, nullptr);
  return folder;
}

// Bytes as an Intel HEX file at Address (16 a record, below 64 KB of it).
std::wstring WriteHexFile(const std::wstring& name, std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  std::string out;
  auto record = [&](std::uint8_t type, std::uint16_t offset, const std::uint8_t* data, std::size_t count) {
    unsigned sum = unsigned(count) + (offset >> 8) + (offset & 0xFF) + type;
    char text[16];
    std::snprintf(text, sizeof text, ":%02X%04X%02X", unsigned(count), unsigned(offset), unsigned(type));
    out += text;
    for (std::size_t k = 0; k < count; ++k) {
      std::snprintf(text, sizeof text, "%02X", unsigned(data[k]));
      out += text;
      sum += data[k];
    }
    std::snprintf(text, sizeof text, "%02X\r\n", unsigned(-sum & 0xFF));
    out += text;
  };
  const std::uint8_t upper[2] = {std::uint8_t(address >> 24), std::uint8_t(address >> 16)};
  record(4, 0, upper, 2);
  for (std::size_t o = 0; o < bytes.size(); o += 16)
    record(0, std::uint16_t((address & 0xFFFF) + o), bytes.data() + o, std::min<std::size_t>(16, bytes.size() - o));
  record(1, 0, nullptr, 0);
  testsupport::WriteBytes(path, out);
  return path;
}

class FlashDialogRoad : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    FModule = new hostsim::LoadedModule(TVK_MODULE_PATH);
    FKind = FModule->FindKind(hostsim::SimChipConfig::Stm32F103().DeviceName);
  }
  static void TearDownTestSuite() {
    delete FModule;
    FModule = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(FModule->Ready());
    ASSERT_LE(0, FKind);
    Chip.PowerOnReset();
    Driver = FModule->Driver(FKind);
    ASSERT_NE(nullptr, Driver);
    ASSERT_EQ(true, CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(Board->DeviceDispatch())}).Bool());
    ASSERT_EQ(true, CallModule(Driver, served::Driver_ProcessorIsRunning).Bool());
    ASSERT_TRUE(hostsim::SetDriverManagerDevice(SystemFolder(), Device(), Board->DeviceDispatch()));
  }
  void TearDown() override {
    hostsim::SetDriverManagerDevice(SystemFolder(), Device(), nullptr);
    if (Driver) CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(nullptr)});
    EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
  }

  const std::wstring& Device() { return Chip.Config().DeviceName; }

  // The host opens the dialog for the device's link while Script plays;
  // the dialog closed with Close, the script done.
  void RunDialog(hostsim::SimScript& script,
                 hostsim::SimRef<hostsim::SimProject> project = hostsim::SimRef<hostsim::SimProject>()) {
    auto link = hostsim::SimRef<hostsim::SimDeviceLink>::Adopt(new hostsim::SimDeviceLink(Device()));
    if (project) link->SetProject(project);
    script.Start();
    const HRESULT shown =
        CallModule(Driver, served::Driver_ShowFlashMemoryUtilityDialog, {hostsim::ArgObject(link.Get())}).Result;
    EXPECT_EQ(S_OK, shown);
    EXPECT_TRUE(script.Finished()) << "stopped after " << script.Ticks() << " ticks";
    EXPECT_FALSE(script.Failed()) << testing::PrintToString(script.Failure());
  }
  std::vector<std::uint8_t> OnChip(std::uint32_t address, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    EXPECT_TRUE(Chip.Peek(address, bytes));
    return bytes;
  }
  static std::vector<std::wstring> Texts(const hostsim::SimScript& script) {
    std::vector<std::wstring> texts;
    for (const auto& box : script.Boxes()) texts.push_back(box.Text);
    return texts;
  }

  static hostsim::LoadedModule* FModule;
  static std::int32_t FKind;
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  hostsim::SimCortexM3& Chip = Board->Chip();
  hostsim::SimFlashProgrammer Flash{Chip, hostsim::SimFlashLayout::Stm32F10x(Chip.Config().FlashSize)};
  IDispatch* Driver = nullptr;  // the module's; it counts no references
};
hostsim::LoadedModule* FlashDialogRoad::FModule = nullptr;
std::int32_t FlashDialogRoad::FKind = -1;

TEST_F(FlashDialogRoad, SectorOneIsErasedAloneAndThenChecksBlankWhileSectorZeroDoesNot) {
  const std::vector<std::uint8_t> pattern(3 * kSector, 0x5A);
  ASSERT_TRUE(Chip.Load(kFlash, pattern));
  hostsim::SimScript script;
  script.Type(L"EditStartSectorNumber", L"1")
      .Type(L"EditEndSectorNumber", L"1")
      .Click(L"ButtonEraseSectorRange")
      .Box(IDOK)
      .Type(L"EditBlankCheckStart", L"1")
      .Type(L"EditBlankCheckEnd", L"1")
      .Click(L"ButtonBlankCheck")
      .Box(IDOK)
      .Type(L"EditBlankCheckStart", L"0")
      .Type(L"EditBlankCheckEnd", L"0")
      .Click(L"ButtonBlankCheck")
      .Box(IDCANCEL)
      .Click(L"buttonClose");
  RunDialog(script);
  EXPECT_EQ((std::vector<std::wstring>{L"Confirm erase sectors:  1  ->  1?",
                                       L"All valid sectors within the selected range are blank.",
                                       L"Sector [0] not blank!\r\nContinue checking ?"}),
            Texts(script));
  EXPECT_EQ(std::vector<std::uint8_t>(kSector, 0x5A), OnChip(kFlash, kSector));
  EXPECT_EQ(std::vector<std::uint8_t>(kSector, 0xFF), OnChip(kFlash + kSector, kSector));
  EXPECT_EQ(std::vector<std::uint8_t>(kSector, 0x5A), OnChip(kFlash + 2 * kSector, kSector));
}

// The project's one embedded memory names the file that project mode
// programs; the driver answers "PROC", so the flash information shows only
// for more than one writer.
TEST_F(FlashDialogRoad, ProjectModeProgramsTheEmbeddedMemorysFileAndTheWritersDecideThePanel) {
  std::vector<std::uint8_t> bytes(40);
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = std::uint8_t(0xC0 + k);
  const std::wstring file = WriteHexFile(L"tvk_road_memory.hex", kFlash, bytes);
  auto project = hostsim::SimRef<hostsim::SimProject>::Adopt(new hostsim::SimProject(L"C:\\nowhere\\out.hex"));
  project->MemoryFiles = {L"C:\\nowhere\\missing.hex", file};
  auto workspace = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  hostsim::ServeEmbeddedMemories(*workspace);
  ASSERT_TRUE(hostsim::SetHostWorkspace(SystemFolder(), workspace.Get()));
  ASSERT_EQ(true, CallModule(Driver, kDriverSupports, {hostsim::ArgString(L"PROC")}).Bool());
  Board->Device().SetDriver(Driver);  // the device manager's device fronts the driver
  const std::optional<std::uint32_t> writers = CallModule(Driver, served::Driver_GetFlashWriterCount).Unsigned();
  ASSERT_TRUE(writers);
  bool panelShown = false;
  hostsim::SimScript script;
  script.Do([&] { panelShown = Shown(L"panelADVANCED"); })
      .Click(L"ButtonDownloadToFlash")
      .Click(L"buttonClose");
  RunDialog(script, project);
  hostsim::SetHostWorkspace(SystemFolder(), nullptr);
  Board->Device().SetDriver(nullptr);
  EXPECT_EQ(*writers >= 2, panelShown);
  EXPECT_EQ(std::vector<std::wstring>{}, Texts(script));
  EXPECT_EQ(bytes, OnChip(kFlash, bytes.size()));
  DeleteFileW(file.c_str());
}

// Escape once the first bytes are in flash: the writer stops at its next
// question, the dialog says the download failed, and the tail stays erased.
TEST_F(FlashDialogRoad, EscapeStopsADownloadPartWayAndTheDialogReportsItFailed) {
  std::vector<std::uint8_t> bytes(32 * kSector);
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = std::uint8_t(k * 7 + k / 256);
  const std::wstring file = WriteHexFile(L"tvk_road_escape.hex", kFlash, bytes);
  hostsim::SimScript script(6000);
  script.Click(L"radioDownloadFile")
      .Type(L"EditFilename", file)
      .Click(L"ButtonDownloadToFlash")
      .WaitFor(L"the first bytes programmed", [&] { return OnChip(kFlash, 16) == std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16); })
      .Key(VK_ESCAPE)
      .Box(IDOK)
      .Click(L"buttonClose");
  RunDialog(script);
  EXPECT_EQ((std::vector<std::wstring>{L"Download failed (status 1)!"}), Texts(script));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 16), OnChip(kFlash, 16));
  EXPECT_EQ(std::vector<std::uint8_t>(kSector, 0xFF), OnChip(kFlash + 31 * kSector, kSector)) << "the tail is not written";
  DeleteFileW(file.c_str());
}

// A chip that stops answering: whatever the writer meets, the user hears of
// it, the dialog comes back idle (Close works) with target RAM as it was, and
// no job ends in its success message.
TEST_F(FlashDialogRoad, AChipThatStopsAnsweringNeverEndsAJobAsIfItHadWorked) {
  const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
  const std::wstring file = WriteHexFile(L"tvk_road_stops.hex", kFlash, bytes);
  std::vector<std::uint8_t> ram(0x5000);
  for (std::size_t k = 0; k < ram.size(); ++k) ram[k] = std::uint8_t(k * 13 + 5);
  struct Row {
    const char* Name;
    std::function<void()> Arm;
    std::function<void(hostsim::SimScript&)> Play;
    std::vector<std::wstring> Boxes;
  } rows[] = {
      {"dead debug port, verify",
       [this] { Board->Dp().SetDead(hostsim::SimJtagDp::Dead::AllOnes); },
       [&](hostsim::SimScript& s) {
         s.Click(L"radioDownloadFile").Type(L"EditFilename", file).Click(L"ButtonVerify").Box(IDOK);
       },
       {L"OLE error 8000ffff."}},
      {"command never ends, blank check stopped by Escape",
       [this] { Flash.SetKeepRunning(true); },
       [](hostsim::SimScript& s) {
         s.Type(L"EditBlankCheckStart", L"1")
             .Type(L"EditBlankCheckEnd", L"1")
             .Click(L"ButtonBlankCheck")
             .WaitFor(L"the job running", [] { return Shown(L"buttonAbort"); })
             .Key(VK_ESCAPE)
             .Box(IDCANCEL);
       },
       {L"Sector [1] not blank!\r\nContinue checking ?"}},
      {"injected status while programming",
       [this] { Flash.FailCommand(51, 8, 1); },
       [&](hostsim::SimScript& s) {
         s.Click(L"radioDownloadFile").Type(L"EditFilename", file).Click(L"ButtonDownloadToFlash").Box(IDCANCEL).Box(IDOK);
       },
       {L"Error: SECTOR_NOT_BLANK\r\n OK to continue?", L"Download failed (status 8)!"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    ASSERT_TRUE(Chip.Load(0x20000000, ram));
    row.Arm();
    hostsim::SimScript script;
    row.Play(script);
    script.Click(L"buttonClose");
    RunDialog(script);
    EXPECT_EQ(row.Boxes, Texts(script));
    for (const std::wstring& text : Texts(script)) {
      EXPECT_EQ(std::wstring::npos, text.find(L"identical")) << testing::PrintToString(text);
      EXPECT_EQ(std::wstring::npos, text.find(L"are blank")) << testing::PrintToString(text);
    }
    Board->Dp().SetDead(hostsim::SimJtagDp::Dead::No);
    Flash.SetKeepRunning(false);
    // The writer's command and result block is left as the last command left it.
    std::vector<std::uint8_t> expected = ram, after = OnChip(0x20000000, ram.size());
    std::copy_n(after.begin() + kCommandBlock, kCommandBlockSize, expected.begin() + kCommandBlock);
    EXPECT_EQ(expected, after) << "target RAM restored";
  }
  DeleteFileW(file.c_str());
}

}  // namespace road_flash_test
