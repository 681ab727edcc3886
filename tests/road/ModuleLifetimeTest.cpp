// The module's lifetime in the host's process: loaded, used and unloaded
// twice, it gives back every host reference it took; and when the host ends
// its process without unloading it, after tearing its own objects down, the
// module makes no call on them and frees nothing as it goes.
#include "ModuleCalls.h"
#include "SimClient.h"
#include "SimHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr UINT kEndedByTheHost = 71;  // the child's exit code when it got to the end
constexpr char kEndMark[] = "ending the process without unloading";
constexpr char kLateCallMark[] = "call on a torn-down host object";

bool ModuleLoaded() {
  const std::wstring path = TVK_MODULE_PATH;
  return GetModuleHandleW(path.substr(path.find_last_of(L"\\/") + 1).c_str()) != nullptr;
}

// Every driver of the module, the board's device lent to the one of its chip,
// which is asked for its status (the core is set up through the channel).
void UseEveryDriver(const hostsim::LoadedModule& module, hostsim::SimBoard& board) {
  const std::int32_t count = module.DriverCount();
  ASSERT_EQ(290, count);
  const std::wstring chip = board.Chip().Config().DeviceName;
  IDispatch* lent = nullptr;
  for (std::int32_t kind = 0; kind < count; ++kind) {
    IDispatch* driver = module.Driver(kind);
    ASSERT_NE(nullptr, driver) << kind;
    const std::optional<std::wstring> name = CallModule(driver, served::Driver_GetDeviceName).Text();
    if (!lent && name && name->starts_with(chip)) lent = driver;
  }
  ASSERT_NE(nullptr, lent);
  ASSERT_EQ(true, CallModule(lent, served::Driver_SetTovikDevice, {hostsim::ArgObject(board.DeviceDispatch())}).Bool());
  ASSERT_EQ(false, CallModule(lent, served::Driver_ProcessorIsPaused).Bool());  // running from power-on
  ASSERT_EQ(S_OK, CallModule(lent, served::Driver_PauseProcessor).Result);
  ASSERT_EQ(true, CallModule(lent, served::Driver_ProcessorIsPaused).Bool());
}

TEST(ModuleLifetime, LoadedUsedAndUnloadedTwiceItGivesBackWhatItTook) {
  ASSERT_FALSE(ModuleLoaded()) << "unloading must really unload the module";
  hostsim::SimClient client;
  client.Install();
  auto board = hostsim::SimBoard::Stm32F103BehindBypass();
  board->Chip().LoadWords(0x08000000, {0x20005000, 0x08000009});
  board->Chip().LoadHalfwords(0x08000008, {0xE7FE});  // B .
  const LONG deviceRefs = board->Device().RefCount(), clientRefs = client.Client().RefCount();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    board->Chip().PowerOnReset();
    {
      hostsim::LoadedModule module(TVK_MODULE_PATH);
      ASSERT_TRUE(module.Ready()) << module.LoadError();
      UseEveryDriver(module, *board);
      EXPECT_LT(deviceRefs, board->Device().RefCount());  // held by the driver it was lent to
      EXPECT_LT(clientRefs, client.Client().RefCount());  // the cached host client
    }
    EXPECT_FALSE(ModuleLoaded());
    EXPECT_EQ(deviceRefs, board->Device().RefCount());
    EXPECT_EQ(clientRefs, client.Client().RefCount());
  }
  EXPECT_EQ(0u, hostsim::FakeHostObject::CallsAfterTearDown());
  EXPECT_TRUE(board->ProtocolErrors().empty());
  hostsim::SimClient::Uninstall();
}

// The output of a process of this test program that runs one test, and its exit code.
struct ChildRun {
  DWORD ExitCode = 0;
  std::string Output;
};

ChildRun RunThisProgram(const std::wstring& arguments) {
  ChildRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  wchar_t self[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.Output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 120000);
    GetExitCodeProcess(process.hProcess, &run.ExitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return run;
}

TEST(ModuleLifetime, TheHostEndsItsProcessWithoutUnloadingAndTheModuleTouchesNothing) {
  const ChildRun child = RunThisProgram(
      L"--gtest_also_run_disabled_tests --gtest_filter=ModuleLifetimeHost.DISABLED_EndsItsProcessWithoutUnloading");
  EXPECT_EQ(kEndedByTheHost, child.ExitCode) << child.Output;
  EXPECT_NE(std::string::npos, child.Output.find(kEndMark)) << child.Output;
  EXPECT_EQ(std::string::npos, child.Output.find(kLateCallMark)) << child.Output;
}

void ReportLateCall(const char* entry) {
  // Written at once and without the C runtime: this runs while modules detach.
  const std::string text = std::string(kLateCallMark) + ": " + entry + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), DWORD(text.size()), &written, nullptr);
}

// Run only as the child of the test above: the host's side of a process that
// ends while the module is loaded. Nothing here is freed; the process ends.
TEST(ModuleLifetimeHost, DISABLED_EndsItsProcessWithoutUnloading) {
  auto* client = new hostsim::SimClient;
  client->Install();
  hostsim::SimBoard* board = hostsim::SimBoard::Stm32F103BehindBypass().release();
  board->Chip().LoadWords(0x08000000, {0x20005000, 0x08000009});
  board->Chip().LoadHalfwords(0x08000008, {0xE7FE});  // B .
  board->Chip().PowerOnReset();
  auto* module = new hostsim::LoadedModule(TVK_MODULE_PATH);
  ASSERT_TRUE(module->Ready()) << module->LoadError();
  UseEveryDriver(*module, *board);

  // The host closes: its objects go, whatever the module still holds.
  hostsim::SimClient::Uninstall();
  for (hostsim::FakeHostObject* object :
       {&client->Client(), &client->ClientAPI(), &client->PluginsRegistry(), &client->WorkSpace(),
        &client->MessagesManager(), &client->GUIManager(), static_cast<hostsim::FakeHostObject*>(&board->Device()),
        static_cast<hostsim::FakeHostObject*>(&board->Channel()), static_cast<hostsim::FakeHostObject*>(&board->Port())})
    object->TearDown();
  hostsim::FakeHostObject::SetTearDownHook(&ReportLateCall);
  ASSERT_EQ(0u, hostsim::FakeHostObject::CallsAfterTearDown());

  std::printf("%s\n", kEndMark);
  std::fflush(stdout);
  ExitProcess(kEndedByTheHost);
}

}  // namespace
