// The host's device manager as the loaded module looks for it: the host has
// it loaded, so the module finds it on its first look-up and keeps it; neither
// creating drivers nor the word accesses on the simulated board look again
// (a look-up that fails costs a search of the host's folders each time).
#include "ModuleCalls.h"
#include "ModuleImports.h"
#include "SimHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace road_test {
namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr wchar_t kDeviceManager[] = L"TovikManager.dll";
constexpr std::uint32_t kSramAt = 0x20000000;
constexpr std::int32_t kKinds = 290, kBlock = 1024;

bool LoadedInProcess(const std::wstring& path) {
  return GetModuleHandleW(path.substr(path.find_last_of(L"\\/") + 1).c_str()) != nullptr;
}

TEST(DeviceManagerSearch, OneLookUpInTheProcessThenNone) {
  ASSERT_FALSE(LoadedInProcess(TVK_MODULE_PATH)) << "the module must start afresh in this process";
  hostsim::LoadedModule module(TVK_MODULE_PATH);
  ASSERT_TRUE(module.Ready()) << module.LoadError();
  ASSERT_NE(nullptr, GetModuleHandleW(kDeviceManager)) << "the host has its device manager loaded";
  auto board = hostsim::SimBoard::Stm32F103BehindBypass();
  board->Chip().LoadWords(0x08000000, {0x20005000, 0x08000009});
  board->Chip().LoadHalfwords(0x08000008, {0xE7FE});  // B .
  board->Chip().PowerOnReset();
  board->SetLogging(false);

  hostsim::ModuleLookups searches(module.Handle(), kDeviceManager);
  ASSERT_TRUE(searches.Active());
  const std::wstring chip = board->Chip().Config().DeviceName;
  IDispatch* driver = nullptr;
  hostsim::IMemoryAccess* memory = nullptr;
  std::vector<std::uint32_t> cells(kBlock);
  const auto createEveryDriver = [&] {
    bool all = module.DriverCount() == kKinds;
    for (std::int32_t kind = 0; kind < kKinds; ++kind) {
      IDispatch* made = module.Driver(kind);
      all = all && made;
      if (!driver && made && CallModule(made, served::Driver_GetDeviceName).Text().value_or(L"").starts_with(chip))
        driver = made;
    }
    return all;
  };
  const struct {
    const char* Step;
    std::function<bool()> Run;
    long Searches;
  } steps[] = {
      {"creating all 290 drivers", createEveryDriver, 1},
      {"attaching the board",
       [&] {
         memory = driver ? hostsim::MemoryAccessOf(driver) : nullptr;
         return memory &&
                CallModule(driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(board->DeviceDispatch())})
                        .Bool() == true &&
                CallModule(driver, served::Driver_ProcessorIsPaused).Bool() == false &&
                CallModule(driver, served::Driver_PauseProcessor).Result == S_OK;
       },
       0},
      {"a word read", [&] { return hostsim::ReadMemory(memory, cells.data(), kSramAt + 4, 4); }, 0},
      {"a 1 KiB read", [&] { return hostsim::ReadMemory(memory, cells.data(), kSramAt, kBlock); }, 0},
      {"creating all 290 drivers again", createEveryDriver, 0},
  };
  for (const auto& step : steps) {
    EXPECT_TRUE(step.Run()) << step.Step;
    EXPECT_EQ(step.Searches, searches.Take()) << step.Step;
  }

  if (memory) memory->Release();
  if (driver) CallModule(driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(nullptr)});
  EXPECT_EQ(0, searches.Take());
  EXPECT_EQ(std::vector<std::wstring>{}, board->ProtocolErrors());
}

}  // namespace
}  // namespace road_test
