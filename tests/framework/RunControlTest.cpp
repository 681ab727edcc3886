// Run control through the device's control register (debug register 64 of the
// host device, which the simulated device echoes), transactions, and the
// register reset; nothing reaches the host without a device.
#include "FrameworkTest.h"

#include "support/HostCall.h"

#include <optional>

using namespace tvk;
namespace framework_test {
using namespace testsupport;

namespace {

constexpr DISPID kResetTovikRegisters = 503793, kSingleStep = 503794, kSubstitutionStep = 503795,
                 kResetProcessor = 503796, kPauseProcessor = 503797, kContinueProcessor = 503798,
                 kRunSteps = 503799, kIsPaused = 503800, kIsReset = 503801, kIsRunning = 503802;

const std::wstring kOpen = L"Open()", kClose = L"Close()", kRead = L"ReadDebugRegister(64,8)";
std::wstring Write(unsigned value) {
  wchar_t text[48];
  swprintf(text, 48, L"WriteDebugRegister(64,8,0x%02X)", value);
  return text;
}
// PauseProcessor from a register whose bits are all set: everything but
// DebugEnable, DebugRequest and the unused bit 6 is cleared.
std::vector<std::wstring> Pause() { return {kOpen, kRead, Write(0x54), kRead, kClose}; }

std::vector<std::wstring> Join(std::initializer_list<std::vector<std::wstring>> parts) {
  std::vector<std::wstring> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class RunControl : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    Driver = MakeGenericDriver();
    Lend(*Driver);
  }
  DriverPtr<TTovikDriver> Driver;
};

TEST_F(RunControl, ControlRegisterWriteSequences) {
  struct Case {
    const char* Name;
    DISPID Id;
    std::optional<long> Arg;  // RunSteps' count
    unsigned Initial;
    std::vector<std::wstring> Expected;
    unsigned Final;
  };
  const Case cases[] = {
      {"pause", kPauseProcessor, {}, 0xFF, Pause(), 0x54},
      {"reset", kResetProcessor, {}, 0xFF,
       Join({{kOpen}, Pause(), {Write(0x74), Write(0x54), kRead, kClose}}), 0x54},
      {"continue", kContinueProcessor, {}, 0xFF, {kOpen, kRead, Write(0x54), Write(0x50), kRead, kClose}, 0x50},
      {"step", kSingleStep, {}, 0xFF, Join({{kOpen}, Pause(), {kRead, Write(0x54), Write(0x56), kRead, kClose}}),
       0x56},
      {"RunSteps(0)", kRunSteps, 0, 0xFF, Join({{kOpen, kRead}, Pause(), {Write(0x54), kRead, kClose}}), 0x54},
      {"RunSteps(3)", kRunSteps, 3, 0xFF,
       Join({{kOpen, kRead}, Pause(), {Write(0x54), Write(0x56), Write(0x56), Write(0x56), kRead, kClose}}), 0x56},
      {"RunSteps(-2)", kRunSteps, -2, 0xFF, Join({{kOpen, kRead}, Pause(), {Write(0x54), kRead, kClose}}), 0x54},
      {"substitution step", kSubstitutionStep, {}, 0x00,
       {kOpen, kRead, Write(0x14), Write(0x15), Write(0x17), Write(0x14), kRead, kClose}, 0x14},
  };
  for (const Case& c : cases) {
    Board->Device().SetDebugRegister(64, c.Initial);
    ClearLogs();
    auto call = c.Arg ? Call(Driver.get(), c.Id, {I4(*c.Arg)}) : Call(Driver.get(), c.Id);
    EXPECT_EQ(S_OK, call.Hr) << c.Name;
    EXPECT_EQ(VT_EMPTY, call.Type()) << c.Name;
    EXPECT_EQ(c.Expected, Calls()) << c.Name;
    EXPECT_EQ(c.Final, Board->Device().DebugRegister(64)) << c.Name;
    EXPECT_EQ(c.Final, Driver->ControlRegister()) << c.Name;
  }
  EXPECT_EQ(Board->Channel().Opens(), Board->Channel().Closes());
}

TEST_F(RunControl, StateQueriesReadTheRegister) {
  struct Case {
    unsigned Register;
    bool Reset, Paused, Running;
    std::size_t RunningReads;  // reads ProcessorIsRunning makes
  };
  const Case cases[] = {
      {0x20, true, false, false, 1},  // Reset: the pause state is not asked
      {0x3F, true, true, false, 1},
      {0x18, false, true, false, 2},  // DebugEnable and DebugAcknowledge
      {0x10, false, false, true, 2},
      {0x08, false, false, true, 2},
  };
  for (const Case& c : cases) {
    Board->Device().SetDebugRegister(64, c.Register);
    auto flag = [&](DISPID id) { return Call(Driver.get(), id).Result.Ptr()->boolVal != VARIANT_FALSE; };
    EXPECT_EQ(c.Reset, flag(kIsReset)) << c.Register;
    EXPECT_EQ(c.Paused, flag(kIsPaused)) << c.Register;
    ClearLogs();
    EXPECT_EQ(c.Running, flag(kIsRunning)) << c.Register;
    EXPECT_EQ(c.RunningReads, Board->Device().CallCount(hostsim::disp::TovikDevice_ReadDebugRegister)) << c.Register;
  }
}

TEST_F(RunControl, TransactionsAndTheRegisterReset) {
  Driver->TransactionBegin();
  Driver->TransactionEnd();
  EXPECT_EQ((std::vector<std::wstring>{kOpen, L"TransactionBegin()", L"TransactionEnd()", kClose}), Calls());
  ClearLogs();
  EXPECT_EQ(S_OK, Call(Driver.get(), kResetTovikRegisters).Hr);
  EXPECT_EQ((std::vector<std::wstring>{kOpen, L"ShiftIR(2,1)", kClose}), Calls());
  EXPECT_EQ(std::vector<std::wstring>{}, Board->ProtocolErrors());
}

TEST_F(RunControl, WithoutADeviceOperationsFailAndNothingIsCalled) {
  auto unlent = MakeGenericDriver();
  for (DISPID id : {kSingleStep, kSubstitutionStep, kResetProcessor, kPauseProcessor, kContinueProcessor, kIsPaused,
                    kIsReset, kIsRunning})
    EXPECT_EQ(kE_UNEXPECTED, Call(unlent.get(), id).Hr) << id;
  EXPECT_EQ(kE_UNEXPECTED, Call(unlent.get(), kRunSteps, {I4(2)}).Hr);
  EXPECT_THROW(unlent->TransactionBegin(), Exception);
  EXPECT_THROW(unlent->ReadControlRegister(), Exception);
  EXPECT_EQ(S_OK, Call(unlent.get(), kResetTovikRegisters).Hr);  // no channel: nothing to do
  EXPECT_EQ(0u, HostCallCount());
}

// A level that replaces PauseProcessor changes every sequence built on it.
class TOwnPause : public TTovikDriver {
public:
  TOwnPause() : TTovikDriver(L".EDN") {}
  HRESULT PauseProcessor() override {
    ++Pauses;
    return Result;
  }
  int Pauses = 0;
  HRESULT Result = S_OK;
};

TEST_F(RunControl, SequencesUseTheLevelsPause) {
  auto driver = MakeDriver<TOwnPause>();
  Lend(*driver);
  EXPECT_EQ(S_OK, Call(driver.get(), kResetProcessor).Hr);
  EXPECT_EQ(S_OK, Call(driver.get(), kSingleStep).Hr);
  EXPECT_EQ(S_OK, Call(driver.get(), kRunSteps, {I4(1)}).Hr);
  EXPECT_EQ(3, driver->Pauses);
  // Its failure ends the sequence there.
  driver->Result = HRESULT(0x80004005);
  ClearLogs();
  EXPECT_EQ(kE_UNEXPECTED, Call(driver.get(), kResetProcessor).Hr);
  EXPECT_EQ(std::vector<std::wstring>{kOpen}, Calls());
}

}  // namespace

}  // namespace framework_test
