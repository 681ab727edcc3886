// The ARM base on the recording double: IMemoryAccess and its split into
// byte and word accesses, counted transactions, the register and memory-space
// answers, Supports, run control, downloads and the diagnostic log.
#include "ARMDouble.h"

#include <windows.h>

#include <fstream>
#include <iterator>

namespace armlevels_test {
namespace {

using namespace testsupport;

std::vector<std::pair<std::string, uint32_t>> OpsAndAddresses(const std::vector<Access>& accesses) {
  std::vector<std::pair<std::string, uint32_t>> out;
  for (const Access& a : accesses) out.emplace_back(a.Op, a.Address);
  return out;
}

IMemoryAccess* MemoryOf(TTovikDriver& driver) {
  void* out = nullptr;
  EXPECT_EQ(S_OK, AsDispatch(driver)->QueryInterface(IID_IMemoryAccess, &out));
  return static_cast<IMemoryAccess*>(out);
}

class ARMBaseMemory : public ::testing::Test {
protected:
  void SetUp() override {
    Host.Lend(*Driver);
    for (uint32_t a = 0x20000000; a < 0x20000020; ++a) Driver->Memory[a] = uint8_t(a * 7 + 1);
  }
  std::vector<uint32_t> Expected(uint32_t address, int32_t count) {
    std::vector<uint32_t> cells;
    for (int32_t i = 0; i < count; ++i) cells.push_back(Driver->Byte(address + uint32_t(i)));
    return cells;
  }

  TDeviceHost Host;
  std::unique_ptr<TRecordingV7M> Driver = MakeDriver<TRecordingV7M>();
};

struct ScanSplitCase {
  const char* Name;
  uint32_t Address;
  int32_t Count;
  std::vector<std::pair<std::string, uint32_t>> Reads;  // ops in call order; writes use w for r
};

const ScanSplitCase kSplitCases[] = {
    {"aligned word", 0x20000000, 4, {{"rw", 0x20000000}}},
    {"unaligned 4", 0x20000001, 4, {{"rb", 0x20000001}, {"rb", 0x20000002}, {"rb", 0x20000003}, {"rb", 0x20000004}}},
    {"short", 0x20000000, 3, {{"rb", 0x20000000}, {"rb", 0x20000001}, {"rb", 0x20000002}}},
    {"10 at +3", 0x20000003, 10, {{"rb", 0x20000003}, {"rb", 0x2000000C}, {"rw", 0x20000004}, {"rw", 0x20000008}}},
    {"9 at +1", 0x20000001, 9,
     {{"rb", 0x20000001}, {"rb", 0x20000002}, {"rb", 0x20000003}, {"rb", 0x20000008}, {"rb", 0x20000009},
      {"rw", 0x20000004}}},
};

TEST_F(ARMBaseMemory, ReadsSplitHeadTailThenWordsInBothByteOrders) {
  for (bool big : {false, true}) {
    Driver->SetBigEndian(big);
    for (const ScanSplitCase& c : kSplitCases) {
      Driver->Accesses.clear();
      std::vector<uint32_t> cells(std::size_t(c.Count) + 2, 0xEEEEEEEE);
      BOOL success = FALSE;
      ASSERT_EQ(S_OK, MemoryOf(*Driver)->MemoryRead(0, cells.data(), c.Address, c.Count, &success)) << c.Name;
      EXPECT_TRUE(success) << c.Name;
      EXPECT_EQ(OpsAndAddresses(Driver->Accesses), c.Reads) << c.Name << (big ? " big" : " little");
      // cells hold the bytes in address order whatever the target's byte order
      std::vector<uint32_t> want = Expected(c.Address, c.Count);
      want.insert(want.end(), {0xEEEEEEEE, 0xEEEEEEEE});  // nothing past the request
      EXPECT_EQ(cells, want) << c.Name << (big ? " big" : " little");
    }
  }
}

TEST_F(ARMBaseMemory, WritesSplitTheSameWayAndTakeTheLowByteOfEachCell) {
  for (const ScanSplitCase& c : kSplitCases) {
    Driver->Accesses.clear();
    std::vector<uint32_t> cells;
    for (int32_t i = 0; i < c.Count; ++i) cells.push_back(0xABCD0000u | uint32_t(0x10 + i));
    BOOL success = FALSE;
    ASSERT_EQ(S_OK, MemoryOf(*Driver)->MemoryWrite(0, cells.data(), c.Address, c.Count, &success)) << c.Name;
    EXPECT_TRUE(success);
    auto writes = c.Reads;
    for (auto& w : writes) w.first[0] = 'w';
    EXPECT_EQ(OpsAndAddresses(Driver->Accesses), writes) << c.Name;
    for (int32_t i = 0; i < c.Count; ++i) EXPECT_EQ(Driver->Byte(c.Address + uint32_t(i)), 0x10 + i) << c.Name;
  }
}

TEST_F(ARMBaseMemory, WordsInTheTargetsByteOrder) {
  Driver->LoadBytes(0x20000100, {0x44, 0x33, 0x22, 0x11});
  uint32_t cells[4] = {};
  BOOL success = FALSE;
  ASSERT_EQ(S_OK, MemoryOf(*Driver)->MemoryRead(0, cells, 0x20000100, 4, &success));
  EXPECT_EQ(Driver->Accesses.back(), (Access{"rw", 0x20000100, 0x11223344}));
  EXPECT_EQ(std::vector<uint32_t>(cells, cells + 4), (std::vector<uint32_t>{0x44, 0x33, 0x22, 0x11}));

  uint32_t out[4] = {0x1AA, 0xBB, 0xCC, 0xDD};
  ASSERT_EQ(S_OK, MemoryOf(*Driver)->MemoryWrite(0, out, 0x20000200, 4, &success));
  EXPECT_EQ(Driver->Accesses.back(), (Access{"ww", 0x20000200, 0xDDCCBBAA}));
  Driver->SetBigEndian(true);
  ASSERT_EQ(S_OK, MemoryOf(*Driver)->MemoryWrite(0, out, 0x20000200, 4, &success));
  EXPECT_EQ(Driver->Accesses.back(), (Access{"ww", 0x20000200, 0xAABBCCDD}));
}

TEST_F(ARMBaseMemory, OtherSpacesReadNothingButStillOpenTheTransaction) {
  uint32_t cells[4] = {7, 7, 7, 7};
  BOOL success = TRUE;
  EXPECT_EQ(S_OK, MemoryOf(*Driver)->MemoryRead(1, cells, 0x20000000, 4, &success));
  EXPECT_FALSE(success);
  EXPECT_EQ(std::vector<uint32_t>(cells, cells + 4), (std::vector<uint32_t>{7, 7, 7, 7}));
  success = TRUE;
  EXPECT_EQ(S_OK, MemoryOf(*Driver)->MemoryWrite(1, cells, 0x20000000, 4, &success));
  EXPECT_FALSE(success);
  EXPECT_TRUE(Driver->Accesses.empty());
  EXPECT_EQ(Host.Begins(), 2u);
  EXPECT_EQ(Host.Ends(), 2u);
}

TEST_F(ARMBaseMemory, AFailedAccessEndsTheRequestWithSuccessAlreadySet) {
  Driver->FailAt = 1;  // the tail byte of a 10-byte read
  uint32_t cells[10] = {};
  BOOL success = FALSE;
  EXPECT_EQ(kE_UNEXPECTED, MemoryOf(*Driver)->MemoryRead(0, cells, 0x20000003, 10, &success));
  EXPECT_TRUE(success);
  EXPECT_EQ(Driver->Accesses.size(), 2u);  // nothing after the failure
  EXPECT_EQ(Host.Begins(), 1u);
  EXPECT_EQ(Host.Ends(), 1u);
  EXPECT_EQ(Driver->TransactionDepth(), 0);
}

TEST_F(ARMBaseMemory, NoBufferIsAnErrorNotACrash) {
  BOOL success = TRUE;
  EXPECT_EQ(kE_UNEXPECTED, MemoryOf(*Driver)->MemoryRead(0, nullptr, 0x20000000, 8, &success));
  EXPECT_FALSE(success);
  EXPECT_EQ(S_OK, MemoryOf(*Driver)->MemoryRead(0, nullptr, 0x20000000, 0, &success));
  EXPECT_TRUE(Driver->Accesses.empty());
}

// ---- Transactions

TEST(ARMTransactions, OnlyTheOutermostPairReachesTheHostDevice) {
  TDeviceHost host;
  auto driver = MakeDriver<TRecordingV7M>();
  host.Lend(*driver);
  driver->TransactionBegin();
  driver->TransactionBegin();
  EXPECT_EQ(host.Begins(), 1u);
  driver->TransactionEnd();
  EXPECT_EQ(host.Ends(), 0u);
  driver->TransactionEnd();
  EXPECT_EQ(host.Ends(), 1u);
  EXPECT_EQ(driver->TransactionDepth(), 0);
  // a register read inside an open transaction adds no host transaction
  driver->TransactionBegin();
  uint32_t value = 0;
  EXPECT_EQ(S_OK, driver->GetProcessorRegisterValue(0, value));
  driver->TransactionEnd();
  EXPECT_EQ(host.Begins(), 2u);
  EXPECT_EQ(host.Ends(), 2u);
}

TEST(ARMTransactions, AnEndWhoseBeginFailedDoesNotLockTheHostTransactionOut) {
  auto driver = MakeDriver<TRecordingV7M>();
  uint32_t cells[4] = {};
  BOOL success = TRUE;
  // No host device: the driver's transaction cannot be opened and the end runs anyway.
  EXPECT_EQ(kE_UNEXPECTED, MemoryOf(*driver)->MemoryRead(0, cells, 0x20000000, 4, &success));
  EXPECT_FALSE(success);
  EXPECT_EQ(driver->TransactionDepth(), 0);
  driver->TransactionEnd();  // a stray end is ignored too
  EXPECT_EQ(driver->TransactionDepth(), 0);

  TDeviceHost host;
  host.Lend(*driver);
  EXPECT_EQ(S_OK, MemoryOf(*driver)->MemoryRead(0, cells, 0x20000000, 4, &success));
  EXPECT_TRUE(success);
  EXPECT_EQ(host.Begins(), 1u);
  EXPECT_EQ(host.Ends(), 1u);
}

// ---- Register and memory-space answers

TEST(ARMBaseAnswers, RegisterTableAndMemorySpaceThroughInvoke) {
  auto driver = MakeDriver<TRecording<TARMBase>>();
  IDispatch* d = AsDispatch(*driver);
  EXPECT_EQ(Call(d, 503771).Int(), 47);  // GetProcessorRegisterCount
  EXPECT_EQ(Call(d, 503769, {I4(19)}).Text(), L"LC (pseudo)");
  EXPECT_EQ(Call(d, 503769, {I4(12)}).Text(), L"R12/IP");
  EXPECT_EQ(Call(d, 503770, {I4(12)}).Text(), L"R12");
  EXPECT_EQ(Call(d, 503770, {I4(46)}).Text(), L"SPSR_FIQ");
  for (long bad : {47L, -1L}) {
    auto name = Call(d, 503769, {I4(bad)});
    EXPECT_EQ(name.Hr, S_OK);
    EXPECT_EQ(name.Text(), L"");
    EXPECT_EQ(Call(d, 503770, {I4(bad)}).Text(), L"");
  }
  EXPECT_EQ(Call(d, 503768, {I4(99)}).Int(), 32);  // GetProcessorRegisterWidth
  EXPECT_EQ(Call(d, 503772).Int(), 19);            // PC
  EXPECT_EQ(Call(d, 503773).Int(), 13);            // SP
  EXPECT_EQ(Call(d, 503774).Int(), 2);             // soft-breakpoint alignment

  struct SpaceRow {
    DISPID Id;
    long Space0, Space1;
  } const spaces[] = {
      {503775, 8, 0},  // width
      {503776, 0, 0},  // kind
      {503777, 1, 4},  // bytes per unit
  };
  for (const SpaceRow& r : spaces) {
    EXPECT_EQ(Call(d, r.Id, {I4(0)}).Int(), r.Space0) << r.Id;
    EXPECT_EQ(Call(d, r.Id, {I4(1)}).Int(), r.Space1) << r.Id;
  }
  EXPECT_EQ(Call(d, 503778, {I4(0)}).Text(), L"Main");
  EXPECT_EQ(Call(d, 503779, {I4(0)}).Text(), L"Main");
  EXPECT_EQ(Call(d, 503778, {I4(1)}).Text(), L"");
  EXPECT_EQ(Call(d, 503780).Int(), 1);
  EXPECT_EQ(Call(d, 503781).Int(), 0);
  EXPECT_EQ(Call(d, 508554, {I4(0)}).Int64(), 0xFFFFFFFFLL);
  EXPECT_EQ(Call(d, 508554, {I4(2)}).Int64(), 0);
  EXPECT_TRUE(Call(d, 503784).Bool());   // RunDiagnostic
  EXPECT_TRUE(Call(d, 503785).Bool());   // LittleEndian
  EXPECT_EQ(Call(d, 503787).Int(), 2);   // GetDeviceState
  EXPECT_FALSE(Call(d, 503800).Bool());  // ProcessorIsPaused
  EXPECT_TRUE(Call(d, 503802).Bool());   // ProcessorIsRunning: not paused
  EXPECT_FALSE(Call(d, 503803).Bool());  // reduced instruction set
}

TEST(ARMBaseAnswers, RegisterValuesInATransactionForValidIndicesOnly) {
  TDeviceHost host;
  auto driver = MakeDriver<TRecordingV7M>();
  host.Lend(*driver);
  driver->Core[3] = 0x12345678;
  IDispatch* d = AsDispatch(*driver);
  EXPECT_EQ(Call(d, 503767, {I4(3)}).Int(), 0x12345678);
  EXPECT_TRUE(Call(d, 503766, {I4(4), I4(0x55)}).Bool());
  EXPECT_EQ(driver->Core[4], 0x55u);
  EXPECT_EQ(host.Begins(), 2u);
  EXPECT_EQ(host.Ends(), 2u);
  // outside 0..46 nothing happens, not even a transaction
  EXPECT_EQ(Call(d, 503767, {I4(47)}).Int(), 0);
  EXPECT_FALSE(Call(d, 503766, {I4(-1), I4(1)}).Bool());
  EXPECT_EQ(host.Begins(), 2u);
}

TEST(ARMBaseAnswers, ServicesAddedToTheDriversOwn) {
  auto driver = MakeDriver<TRecording<TARMBase>>();
  for (const wchar_t* name : {L"ARMEmbeddedICE", L"armtovikdriver", L"TovikDriver", L"DeviceInformation"}) {
    ByteBool supported = 0;
    Bstr text{std::wstring(name)};
    EXPECT_EQ(S_OK, driver->SupportsService(text.Get(), &supported));
    EXPECT_EQ(supported, 1) << name;
  }
  ByteBool supported = 1;
  Bstr other{std::wstring(L"ARMEmbedded")};
  EXPECT_EQ(S_OK, driver->SupportsService(other.Get(), &supported));
  EXPECT_EQ(supported, 0);
}

TEST(ARMBaseAnswers, SupportsForcesTheDebugActions) {
  auto driver = MakeDriver<TRecording<TARMBase>>();
  struct {
    const wchar_t* Request;
    bool Answer;
  } const rows[] = {
      {L"PauseProcessor", true},  // the core says no
      {L"Action=ResetDevice", true},
      {L"ToolchainName=GCC|Action=StartDebug", true},
      {L"Action=VerifyProgram", true},
      {L"ShowViewer", true},
      {L"Flash_ResetDevice", false},  // not forced: the core's answer stands
      {L"ToolchainName=GCC|Action=ShowConfiguration", false},
      {L"ToolchainName=GCC", false},
      {L"FPGA", false},
      {L"", true},
  };
  for (const auto& r : rows) {
    bool answer = !r.Answer;
    EXPECT_EQ(S_OK, driver->Supports(r.Request, answer));
    EXPECT_EQ(answer, r.Answer) << r.Request;
  }
}

// ---- Run control and downloads

TEST(ARMBaseRunControl, ResetProcessorResetsRegistersThenInitialisesMemoryWithCachesOff) {
  TDeviceHost host;
  auto driver = MakeDriver<TRecordingV7M>();
  host.Lend(*driver);
  driver->Core[15] = 0x08000100;
  uint32_t pc = 0;
  ASSERT_EQ(S_OK, driver->ReadRegister(15, pc));
  EXPECT_EQ(driver->SavedPC(), 0x08000100u);
  driver->Accesses.clear();

  auto reset = Call(AsDispatch(*driver), 503786);  // ResetDevice
  EXPECT_EQ(reset.Hr, S_OK);
  EXPECT_TRUE(reset.Bool());
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"PauseProcessor", "DisableMMUCaches(1,1,1)", "InitializeMemory"}));
  std::vector<Access> cleared;
  for (uint32_t n = 0; n <= 15; ++n) cleared.push_back({"wc", n, 0});
  EXPECT_EQ(driver->Accesses, cleared);
  EXPECT_EQ(driver->SavedPC(), 0u);

  // a failed register reset ends the reset before memory is touched
  driver->Events.clear();
  driver->FailEvent = "PauseProcessor";
  EXPECT_EQ(kE_UNEXPECTED, driver->ResetProcessor());
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"PauseProcessor"}));
}

TEST(ARMBaseRunControl, RunStepsStopsAtTheFirstFailure) {
  auto driver = MakeDriver<TRecording<TARMBase>>();
  EXPECT_EQ(S_OK, driver->RunSteps(3));
  EXPECT_EQ(driver->Events.size(), 3u);
  EXPECT_EQ(S_OK, driver->RunSteps(0));
  EXPECT_EQ(S_OK, driver->RunSteps(-2));
  EXPECT_EQ(driver->Events.size(), 3u);
  driver->FailEvent = "SingleStepProcessor";
  EXPECT_EQ(kE_UNEXPECTED, driver->RunSteps(5));
  EXPECT_EQ(driver->Events.size(), 4u);
}

TEST(ARMBaseRunControl, DownloadsSwitchTheMMUAndCachesOffAndOn) {
  auto driver = MakeDriver<TRecording<TARMBase>>();
  IDispatch* d = AsDispatch(*driver);
  EXPECT_TRUE(Call(d, 503782, {I4(0)}).Bool());
  EXPECT_TRUE(driver->Downloading());
  EXPECT_TRUE(Call(d, 503783, {I4(0)}).Bool());
  EXPECT_FALSE(driver->Downloading());
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"DisableMMUCaches()", "EnableMMUCaches"}));
  driver->FailEvent = "DisableMMUCaches()";
  EXPECT_EQ(Call(d, 503782, {I4(0)}).Hr, kE_UNEXPECTED);
}

// ---- Diagnostic log

TEST(ARMDiagnosticLog, DroppedUnlessStartedAndSavedWhenTheDriverGoes) {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"armlog_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  wchar_t previous[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
  const std::wstring file = folder + L"\\debug.log";
  {
    auto driver = MakeDriver<TRecording<TARMBase>>();
    driver->LogDebug(L"dropped");
    EXPECT_EQ(driver->DebugLogging(), nullptr);
  }
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
  {
    auto driver = MakeDriver<TRecording<TARMBase>>();
    driver->StartDebugLogging();
    driver->LogDebug(L"cpuid 412fc231");
    driver->LogError(L"JTAG-DP STICKY ERROR");
  }
  std::ifstream in(file.c_str(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  SetCurrentDirectoryW(previous);
  DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
  EXPECT_EQ(text, "DEBUG :DEBUG :cpuid 412fc231\r\nDEBUG :ERROR :JTAG-DP STICKY ERROR\r\n");
}

}  // namespace

}  // namespace armlevels_test
