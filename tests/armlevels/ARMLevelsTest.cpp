// The ARMv7-M and ARMv4T levels on the recording double: which register
// numbers reach the target and which come from the caches, composed writes,
// software breakpoints, modes and banked registers, and the MMU walk through
// the physical-memory read.
#include "ARMDouble.h"

namespace armlevels_test {
namespace {

using namespace testsupport;

constexpr uint32_t kXPSR = 0xA7008C23;  // N C, ITSTATE 0xE3, T, exception 0x23
constexpr uint32_t kCFBP = 0x01020304;

class ARMv7MRegisters : public ::testing::Test {
protected:
  void SetUp() override {
    for (int32_t n = 0; n <= 15; ++n) Driver->Core[n] = 0x100u + uint32_t(n);
    Driver->Core[16] = kXPSR;
    Driver->Core[20] = kCFBP;
    Driver->Core[25] = 0x20001000;
    Driver->Core[26] = 0x20002000;
    for (int32_t n : {17, 18, 19, 21, 22, 23, 24, 27, 28, 29}) Driver->Core[n] = 0xBAD;  // never read
  }
  uint32_t Read(int32_t number) {
    uint32_t value = 0xDEAD;
    EXPECT_EQ(S_OK, Driver->ReadRegister(number, value)) << number;
    return value;
  }
  std::vector<Access> Writes() { return Only(Driver->Accesses, {"wc"}); }

  std::unique_ptr<TRecordingV7M> Driver = MakeDriver<TRecordingV7M>();
};

TEST_F(ARMv7MRegisters, ViewsReadTheCachesNotTheTarget) {
  // before xPSR and CFBP are read, the views answer the (empty) caches
  EXPECT_EQ(Read(17), 0u);
  EXPECT_EQ(Read(24), 0u);
  EXPECT_TRUE(Driver->Accesses.empty());
  Read(16);
  Read(20);

  struct Row {
    int32_t Number;
    int32_t Touches;  // the core register read, -1 for none
    uint32_t Value;
  } const rows[] = {
      {0, 0, 0x100},          {7, 7, 0x107},         {14, 14, 0x10E},   {15, 15, 0x10F},
      {16, 16, kXPSR},        {17, -1, 0xA0000000},  {18, -1, 0x07008C00}, {19, -1, 0x23},
      {20, 20, kCFBP},        {21, -1, 0x01},        {22, -1, 0x02},    {23, -1, 0x03},
      {24, -1, 0x04},         {25, 25, 0x20001000},  {26, 26, 0x20002000}, {27, -1, 0xE3},
      {28, -1, 1},            {29, 15, 0x10F},       {30, -1, 0},       {46, -1, 0},
      {-1, -1, 0},
  };
  for (const Row& r : rows) {
    Driver->Accesses.clear();
    EXPECT_EQ(Read(r.Number), r.Value) << r.Number;
    std::vector<Access> expected;
    if (r.Touches >= 0) expected.push_back({"rc", uint32_t(r.Touches), r.Value});
    EXPECT_EQ(Driver->Accesses, expected) << r.Number;
  }
}

TEST_F(ARMv7MRegisters, PCIsCachedThroughRegister15OnlyNotLC) {
  Read(29);
  EXPECT_EQ(Driver->SavedPC(), 0u);
  Read(15);
  EXPECT_EQ(Driver->SavedPC(), 0x10Fu);
  Driver->Core[15] = 0x200;
  EXPECT_EQ(Read(29), 0x200u);
  EXPECT_EQ(Driver->SavedPC(), 0x10Fu);
}

TEST_F(ARMv7MRegisters, PlainWritesAndWritesOfTheCachedWordsWhenTheyDiffer) {
  struct Row {
    int32_t Number;
    uint32_t Value;
    std::vector<Access> Writes;
  } const rows[] = {
      {3, 0x33, {{"wc", 3, 0x33}}},
      {15, 0x08000101, {{"wc", 15, 0x08000101}}},
      {25, 0x20003000, {{"wc", 25, 0x20003000}}},
      {26, 0x20004000, {{"wc", 26, 0x20004000}}},
      {29, 0x08000200, {{"wc", 15, 0x08000200}}},  // LC writes the PC
      {16, 0, {}},                                 // the cache holds 0: nothing to write
      {16, 0x61000000, {{"wc", 16, 0x61000000}}},
      {20, 0, {}},
      {20, 0x00000001, {{"wc", 20, 0x00000001}}},
      {30, 1, {}},
      {-1, 1, {}},
  };
  for (const Row& r : rows) {
    Driver->Accesses.clear();
    EXPECT_EQ(S_OK, Driver->WriteRegister(r.Number, r.Value)) << r.Number;
    EXPECT_EQ(Driver->Accesses, r.Writes) << r.Number;
  }
  // writes leave the caches as they were
  EXPECT_EQ(Driver->SavedXPSR(), 0u);
  EXPECT_EQ(Driver->SavedCFBP(), 0u);
}

TEST_F(ARMv7MRegisters, ComposedWritesStartFromTheCachesAndDoNotUpdateThem) {
  // PRIMASK = 1 on a CFBP cache of 0 writes CFBP 1, and writes it again the second time
  ASSERT_EQ(S_OK, Driver->WriteRegister(24, 1));
  ASSERT_EQ(S_OK, Driver->WriteRegister(24, 1));
  EXPECT_EQ(Writes(), (std::vector<Access>{{"wc", 20, 1}, {"wc", 20, 1}}));
  EXPECT_EQ(Driver->SavedCFBP(), 0u);

  // TBIT 0 still sets the Thumb bit
  Driver->Accesses.clear();
  ASSERT_EQ(S_OK, Driver->WriteRegister(28, 0));
  EXPECT_EQ(Writes(), (std::vector<Access>{{"wc", 16, 0x01000000}}));

  // two view writes without a read of xPSR between them: the second undoes the first
  Driver->Accesses.clear();
  ASSERT_EQ(S_OK, Driver->WriteRegister(17, 0xF0000000));
  ASSERT_EQ(S_OK, Driver->WriteRegister(19, 0x11));
  EXPECT_EQ(Writes(), (std::vector<Access>{{"wc", 16, 0xF0000000}, {"wc", 16, 0x00000011}}));

  // after a read of xPSR they compose from what was read
  Read(16);
  Driver->Accesses.clear();
  ASSERT_EQ(S_OK, Driver->WriteRegister(19, 0x05));
  EXPECT_EQ(Writes(), (std::vector<Access>{{"wc", 16, 0x00000005}}));

  // a view write that changes nothing writes nothing
  Driver->Accesses.clear();
  ASSERT_EQ(S_OK, Driver->WriteRegister(19, 0x11));
  EXPECT_TRUE(Writes().empty());
}

TEST_F(ARMv7MRegisters, ITStateWrittenThenReadBackThroughXPSR) {
  Driver->Core[16] = 0x01000000;
  Read(16);
  ASSERT_EQ(S_OK, Driver->WriteRegister(27, 0xC5));
  EXPECT_EQ(Driver->Core[16], 0x07001400u);  // bits 26:25 = 3, bits 15:10 = 5
  EXPECT_EQ(Read(27), 0x00u);                // the cache is still the old xPSR
  Read(16);
  EXPECT_EQ(Read(27), 0xC5u);
}

TEST(ARMv7MLevel, TableStateAndReset) {
  auto driver = MakeDriver<TRecordingV7M>();
  IDispatch* d = AsDispatch(*driver);
  EXPECT_EQ(Call(d, 503771).Int(), 30);
  EXPECT_EQ(Call(d, 503769, {I4(29)}).Text(), L"LC (pseudo)");
  EXPECT_EQ(Call(d, 503769, {I4(16)}).Text(), L"XPSR");
  EXPECT_EQ(Call(d, 503770, {I4(28)}).Text(), L"TBIT");
  EXPECT_EQ(Call(d, 503769, {I4(30)}).Text(), L"");
  EXPECT_EQ(Call(d, 503772).Int(), 29);
  EXPECT_EQ(Call(d, 503773).Int(), 13);
  struct {
    long Index, Width;
  } const widths[] = {{0, 32}, {20, 32}, {21, 8}, {24, 8}, {27, 8}, {28, 1}, {29, 32}};
  for (const auto& w : widths) EXPECT_EQ(Call(d, 503768, {I4(w.Index)}).Int(), w.Width) << w.Index;
  EXPECT_TRUE(Call(d, 503803).Bool());  // Thumb only
  EXPECT_TRUE(Call(d, 503785).Bool());
  driver->SetBigEndian(true);
  EXPECT_FALSE(Call(d, 503785).Bool());

  // the base accepts 0 to 46 and the level ignores 30 and up, without a target access
  TDeviceHost host;
  host.Lend(*driver);
  EXPECT_EQ(Call(d, 503767, {I4(35)}).Int(), 0);
  EXPECT_TRUE(Call(d, 503766, {I4(40), I4(7)}).Bool());
  EXPECT_TRUE(driver->Accesses.empty());

  // ResetTovikRegisters: halt, then R0 to R15 cleared
  EXPECT_EQ(Call(d, 503793).Hr, S_OK);
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"PauseProcessor"}));
  EXPECT_EQ(Only(driver->Accesses, {"wc"}).size(), 16u);
}

// ---- Software breakpoints

TEST(ARMv7MLevel, ThumbSoftBreakpointSetAndRemoved) {
  auto driver = MakeDriver<TRecordingV7M>();
  driver->LoadBytes(0x08000100, {0x70, 0x47});  // bx lr
  IDispatch* d = AsDispatch(*driver);
  auto set = Call(d, 508552, {I4(0), I8(0x08000101)});
  ASSERT_EQ(set.Hr, S_OK);
  EXPECT_EQ(set.Int(), 0x4770);
  EXPECT_EQ(driver->Accesses,
            (std::vector<Access>{{"rh", 0x08000100, 0x4770}, {"wh", 0x08000100, 0xBE00BE00}}));
  EXPECT_EQ(driver->Byte(0x08000100), 0x00);
  EXPECT_EQ(driver->Byte(0x08000101), 0xBE);
  EXPECT_EQ(driver->Byte(0x08000102), 0x00);  // only the halfword was written

  driver->Accesses.clear();
  auto removed = Call(d, 508553, {I4(0), I8(0x08000101), I4(0x4770)});
  EXPECT_TRUE(removed.Bool());
  EXPECT_EQ(driver->Accesses, (std::vector<Access>{{"wh", 0x08000100, 0x47704770}}));
  EXPECT_EQ(driver->Byte(0x08000100), 0x70);
  EXPECT_EQ(driver->Byte(0x08000101), 0x47);

  driver->Accesses.clear();
  EXPECT_EQ(Call(d, 508552, {I4(1), I8(0x08000100)}).Int(), 0);
  EXPECT_FALSE(Call(d, 508553, {I4(1), I8(0x08000100), I4(0x4770)}).Bool());
  EXPECT_TRUE(driver->Accesses.empty());

  driver->FailAt = 1;  // the breakpoint write
  EXPECT_EQ(Call(d, 508552, {I4(0), I8(0x08000100)}).Hr, kE_UNEXPECTED);
}

TEST(ARMv4TLevel, ARMAndThumbSoftBreakpoints) {
  auto driver = MakeDriver<TRecordingV4T>();
  driver->LoadBytes(0x8000, {0x1E, 0xFF, 0x2F, 0xE1});  // bx lr
  driver->LoadBytes(0x9002, {0x70, 0x47});
  uint32_t replaced = 0;
  ASSERT_EQ(S_OK, driver->AddSoftBreakpoint(0, 0x8000, replaced));
  EXPECT_EQ(replaced, 0xE12FFF1Eu);
  ASSERT_EQ(S_OK, driver->AddSoftBreakpoint(0, 0x9003, replaced));
  EXPECT_EQ(replaced, 0x4770u);
  EXPECT_EQ(driver->Accesses, (std::vector<Access>{{"rw", 0x8000, 0xE12FFF1E},
                                                   {"ww", 0x8000, 0xE1200070},
                                                   {"rh", 0x9002, 0x4770},
                                                   {"wh", 0x9002, 0xBE00BE00}}));
  driver->Accesses.clear();
  bool done = false;
  ASSERT_EQ(S_OK, driver->RemoveSoftBreakpoint(0, 0x8000, 0xE12FFF1E, done));
  EXPECT_TRUE(done);
  ASSERT_EQ(S_OK, driver->RemoveSoftBreakpoint(0, 0x9003, 0x4770, done));
  EXPECT_EQ(driver->Accesses,
            (std::vector<Access>{{"ww", 0x8000, 0xE12FFF1E}, {"wh", 0x9002, 0x47704770}}));
  EXPECT_EQ(driver->Load(0x8000, 4), 0xE12FFF1Eu);
  ASSERT_EQ(S_OK, driver->RemoveSoftBreakpoint(2, 0x8000, 0, done));
  EXPECT_FALSE(done);
}

// ---- ARMv4T modes and banked registers

TEST(ARMv4TLevel, BankedRegistersAreReadInsideAModeSwitch) {
  auto driver = MakeDriver<TRecordingV4T>();
  driver->Registers[16] = 0x600000DF;
  driver->Registers[13] = 0x1234;
  uint32_t value = 0;
  ASSERT_EQ(S_OK, driver->ReadRegister(27, value));  // R13_SVC
  EXPECT_EQ(value, 0x1234u);
  // the level's own mode stays 0, so the switch back writes mode bits 0
  EXPECT_EQ(driver->Accesses, (std::vector<Access>{{"rc", 16, 0x600000DF},
                                                   {"wc", 16, 0x600000D3},
                                                   {"rc", 13, 0x1234},
                                                   {"rc", 16, 0x600000D3},
                                                   {"wc", 16, 0x600000C0}}));
  driver->Accesses.clear();
  ASSERT_EQ(S_OK, driver->WriteRegister(46, 0x10));  // SPSR_FIQ
  EXPECT_EQ(Only(driver->Accesses, {"wc"}),
            (std::vector<Access>{{"wc", 16, 0x600000D1}, {"wc", 17, 0x10}, {"wc", 16, 0x600000C0}}));

  // the host reaches the ARM base's banked operations, which do nothing
  driver->Accesses.clear();
  IDispatch* d = AsDispatch(*driver);
  EXPECT_EQ(Call(d, 509031, {I4(13), I4(0x13)}).Int(), 0);
  EXPECT_EQ(Call(d, 509032, {I4(13), I4(5), I4(0x13)}).Hr, S_OK);
  EXPECT_EQ(Call(d, 509042, {I4(0x17)}).Hr, S_OK);
  EXPECT_EQ(Call(d, 509043).Hr, S_OK);
  EXPECT_TRUE(driver->Accesses.empty());
}

TEST(ARMv4TLevel, StateRegistersAndRegisterReset) {
  auto driver = MakeDriver<TRecordingV4T>();
  uint32_t value = 7;
  ASSERT_EQ(S_OK, driver->ReadRegister(18, value));
  EXPECT_EQ(value, 0u);
  driver->SetState(eARM_State_Thumb, true);
  ASSERT_EQ(S_OK, driver->ReadRegister(18, value));
  EXPECT_EQ(value, 1u);
  ASSERT_EQ(S_OK, driver->ReadRegister(19, value));
  EXPECT_EQ(value, 0u);
  bool thumb = false;
  ASSERT_EQ(S_OK, driver->ProcessorIsUsingReducedInstructionSet(thumb));
  EXPECT_TRUE(thumb);
  ASSERT_EQ(S_OK, driver->RestoreState());
  ASSERT_EQ(S_OK, driver->ProcessorIsUsingReducedInstructionSet(thumb));
  EXPECT_FALSE(thumb);
  EXPECT_TRUE(driver->Accesses.empty());

  // halt, ARM state, CPSR = System mode with interrupts off, R0 to R15 cleared
  driver->SetState(eARM_State_Thumb, true);
  ASSERT_EQ(S_OK, driver->ResetTovikRegisters());
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"PauseProcessor", "ChangeToARMState"}));
  std::vector<Access> expected{{"wc", 16, 0xDF}};
  for (uint32_t n = 0; n <= 15; ++n) expected.push_back({"wc", n, 0});
  EXPECT_EQ(driver->Accesses, expected);
  ASSERT_EQ(S_OK, driver->ReadRegister(18, value));
  EXPECT_EQ(value, 0u);

  bool little = false;
  ASSERT_EQ(S_OK, driver->LittleEndian(little));
  EXPECT_TRUE(little);
  driver->SetBigEndian(true);
  ASSERT_EQ(S_OK, driver->LittleEndian(little));
  EXPECT_FALSE(little);
}

// ---- EmbeddedICE watchpoints

hostsim::FakeHostObject* gManager = nullptr;

TEST(ARMv4TLevel, TwoEmbeddedICEWatchpointsGoToTheDebugManager) {
  auto manager = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  manager->SetLogging(false);  // a logged call would hold the watchpoints past the driver
  std::vector<ComRef<IDispatch>> handed;
  manager->Serve(503948, "o", [&](std::vector<VARIANT*>& args, VARIANT* r) {  // AddHardBreakPoint
    handed.emplace_back(args[0]->pdispVal);
    hostsim::SetResultInt(r, 0);
    return S_OK;
  });
  gManager = manager.Get();
  static const TDeviceDebugManagerClass kManagerClass{
      L"recording", [](TTovikProcessorDriver&) { return IDeviceDebugManager(gManager); }};
  const TDeviceDebugManagerClass* previous = BindDeviceDebugManagerClass(&kManagerClass);
  auto driver = MakeDriver<TRecordingV4T>();
  BindDeviceDebugManagerClass(previous);

  ASSERT_EQ(Call(AsDispatch(*driver), 509046).Hr, S_OK);
  ASSERT_EQ(handed.size(), 2u);
  // each watchpoint, enabled, programs its own EmbeddedICE registers through the driver
  const std::vector<uint32_t> registers[] = {{12, 9, 8, 11, 10, 13, 12}, {20, 17, 16, 19, 18, 21, 20}};
  for (std::size_t w = 0; w < 2; ++w) {
    driver->Accesses.clear();
    auto enabled = Call(handed[w].Get(), 503453);
    EXPECT_TRUE(enabled.Bool());
    std::vector<uint32_t> written;
    for (const Access& a : Only(driver->Accesses, {"ice"})) written.push_back(a.Address);
    EXPECT_EQ(written, registers[w]) << "watchpoint " << w;
  }
  handed.clear();  // the watchpoints go before the driver they point at

  // the module's own debug manager takes them as free hardware breakpoints
  auto own = MakeDriver<TRecordingV4T>();
  ASSERT_EQ(Call(AsDispatch(*own), 509046).Hr, S_OK);
  EXPECT_EQ(Call(AsDispatch(*own), 503972).Int(), 2);  // GetHardBreakpointCount, passed on to the manager
}

// ---- MMU walk through the driver

TEST(ARMMMU, TranslateVirtualAddressReadsDescriptorsWithTheMMUOff) {
  auto driver = MakeDriver<TRecordingV7M>();
  // table base 0: the first-level descriptor of 0x00123456 is the word at 0x4, a section
  driver->Store(0x4, 4, 0x80000000 | (3u << 10) | (2u << 5) | 0x8 | 2);
  long cacheBits = 77, domain = 77, access = 77;
  auto t = Call(AsDispatch(*driver), 509048, {I8(0x00123456), RefI4(&cacheBits), RefI4(&domain), RefI4(&access)});
  ASSERT_EQ(t.Hr, S_OK);
  EXPECT_EQ(t.Int64(), 0x80023456LL);
  EXPECT_EQ(cacheBits, 2);
  EXPECT_EQ(domain, 2);
  EXPECT_EQ(access, 3);
  EXPECT_EQ(driver->Accesses, (std::vector<Access>{{"rw", 0x4, driver->Load(0x4, 4)}}));
  EXPECT_EQ(driver->Events, (std::vector<std::string>{"DisableMMUCaches(1,1,0)", "EnableMMUCaches"}));

  // a fault descriptor leaves the address as it is, the outputs 0
  auto fault = Call(AsDispatch(*driver), 509048, {I8(0x20000010), RefI4(&cacheBits), RefI4(&domain), RefI4(&access)});
  EXPECT_EQ(fault.Int64(), 0x20000010LL);
  EXPECT_EQ(cacheBits + domain + access, 0);

  // a failed descriptor read fails the walk
  driver->FailAt = int(driver->Accesses.size());
  EXPECT_EQ(Call(AsDispatch(*driver), 509048, {I8(0x1000), RefI4(&cacheBits), RefI4(&domain), RefI4(&access)}).Hr,
            kE_UNEXPECTED);
}

TEST(ARMMMU, TheBaseTranslatesNothing) {
  auto driver = MakeDriver<TRecording<TARMBase>>();
  long cacheBits = 77, domain = 77, access = 77;
  auto t = Call(AsDispatch(*driver), 509048, {I8(0x00123456), RefI4(&cacheBits), RefI4(&domain), RefI4(&access)});
  EXPECT_EQ(t.Int64(), 0x00123456LL);
  EXPECT_EQ(cacheBits, 77);  // untouched
  EXPECT_TRUE(driver->Accesses.empty());
}

}  // namespace

}  // namespace armlevels_test
