// The raw disassemblers: which family a target name makes, what code unit
// each family hands its module (seen by the recording module), and the
// captured memory they read it from.
#include "DisassemblerFixture.h"

#include <functional>
#include <typeindex>
#include <typeinfo>

namespace disasm_test {
using tvk::ComRef;
using tvk::IRawDisassembler;

namespace {

// The class behind a disassembler interface; void for none.
std::type_index ClassOf(const ComRef<IRawDisassembler>& disassembler) {
  if (!disassembler) return typeid(void);
  return typeid(*static_cast<tvk::TRawDisassembler*>(disassembler.Get()));
}

ComRef<IRawDisassembler> Make(const std::wstring& target, tvk::IMemoryReader* reader = nullptr,
                              const std::wstring& basePath = {}) {
  return tvk::TRawDisassembler::CreateInstance(target, reader, basePath);
}

TEST(RawDisassembler, TargetNamesPickTheirFamilyExactlyThenByPrefix) {
  struct Case {
    const wchar_t* Target;
    std::type_index Class;
  } cases[] = {
      {L"arm", typeid(tvk::TRawDisassemblerARM)},
      {L"ARM", typeid(void)},  // exact names keep their case
      {L"stm32f103rb", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"STM32F1XXXX", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"LPC2100", typeid(tvk::TRawDisassemblerARM)},  // listed, before the "LPC1" prefix is looked at
      {L"LPC1768", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"lpc1114", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"LPC2378", typeid(void)},
      {L"stellaris-lm3s811", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"Cortex-M3", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"cortex-m3", typeid(void)},
      {L"GenericARM926EJSDevice", typeid(tvk::TRawDisassemblerARM)},
      {L"GenericARMCortexM3", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"SmartFusion Kits", typeid(tvk::TRawDisassemblerARMv7M)},
      {L"51", typeid(tvk::TRawDisassembler51)},
      {L"BRX52", typeid(tvk::TRawDisassembler51)},
      {L"165x", typeid(tvk::TRawDisassembler165x)},
      {L"BRX165", typeid(tvk::TRawDisassembler165x)},
      {L"z80", typeid(tvk::TRawDisassemblerZ80)},
      {L"BRX80", typeid(tvk::TRawDisassemblerZ80)},
      {L"Z80", typeid(void)},
      {L"tvk", typeid(tvk::TRawDisassemblerTvk)},
      {L"BRX3000", typeid(tvk::TRawDisassemblerTvk)},
      {L"PPC405A", typeid(tvk::TRawDisassemblerPPC)},
      {L"ppc", typeid(tvk::TRawDisassemblerPPC)},
      {L"mb", typeid(tvk::TRawDisassemblerMB)},
      {L"MICROBLAZE", typeid(tvk::TRawDisassemblerMB)},
      {L"nios2", typeid(tvk::TRawDisassemblerNIOS2)},
      {L"NIOS2", typeid(tvk::TRawDisassemblerNIOS2)},
      {L"Nios2", typeid(void)},
      {L"", typeid(void)},
  };
  for (const Case& c : cases) {
    const ComRef<IRawDisassembler> made = Make(c.Target);
    EXPECT_EQ(c.Class, ClassOf(made)) << Narrow(c.Target);
  }
}

TEST(RawDisassembler, TheBaseCannotBeMadeDirectly) {
  try {
    tvk::New<tvk::TRawDisassembler>();
    ADD_FAILURE() << "made";
  } catch (const tvk::Exception& e) {
    EXPECT_EQ(L"Use CreateInstance insted!", e.Message());
  }
}

TEST(MemoryReader, ReadsOnlyInsideTheCapturedCells) {
  const std::uint32_t cells[] = {0x10, 0x11, 0x12, 0x13};
  const ComRef<tvk::IMemoryReader> reader = Reader(0x1000, cells);
  struct Case {
    std::int64_t Address;
    std::int32_t Count;
    HRESULT Result;
  } cases[] = {{0x1000, 4, S_OK},          {0x1002, 2, S_OK},          {0x1003, 2, tvk::kE_BOUNDS},
               {0x0FFF, 1, tvk::kE_BOUNDS}, {0x1004, 1, tvk::kE_BOUNDS}, {0x1000, 0, tvk::kE_BOUNDS},
               {0x1000, -1, tvk::kE_BOUNDS}, {-0x1000, 1, tvk::kE_BOUNDS}};
  for (const Case& c : cases) {
    std::uint32_t dest[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(c.Result, reader->ReadMemory(dest, c.Address, c.Count)) << std::hex << c.Address << " " << c.Count;
    if (c.Result == S_OK) EXPECT_EQ(cells[c.Address - 0x1000], dest[0]);
    else EXPECT_EQ(0xEEu, dest[0]);  // nothing copied
  }
}

// Each family's module (the recording one under the family's file name) is
// given the code unit its rule makes of the cells.
TEST_F(DisassemblerTest, EachFamilyHandsItsModuleItsCodeUnit) {
  // Cells carry more than a byte where a family looks at more.
  const std::uint32_t cells[] = {0xABCD1234, 0x22, 0x33, 0x144, 0x55, 0x66};
  const ComRef<tvk::IMemoryReader> reader = Reader(0x1000, cells);
  struct Case {
    const wchar_t* Target;
    const wchar_t* File;
    std::int32_t Reduced, Little;
    std::int64_t Address;
    const char* Read;
  } cases[] = {
      {L"51", L"Disasm51.dll", 0, 0, 0x5001000, "read(0x5001000) = 0x34"},  // address masked to 24 bits
      {L"165x", L"Disasm165x.dll", 0, 0, 0x1000, "read(0x1000) = 0x1234"},
      {L"z80", L"DisasmZ80.dll", 0, 0, 0x1000, "read(0x1000) = 0x34"},
      {L"tvk", L"DisasmTvk.dll", 0, -1, 0x1000, "read(0x1000) = 0x34223344"},
      {L"ppc", L"DisasmPPC.dll", 0, -1, 0x1000, "read(0x1000) = 0x34223344"},
      {L"mb", L"DisasmMB.dll", 0, -1, 0x1000, "read(0x1000) = 0x34223344"},
      {L"nios2", L"DisasmNIOS2.dll", 0, 0, 0x1000, "read(0x1000) = 0x34223344"},
      {L"nios2", L"DisasmNIOS2.dll", 0, -1, 0x1000, "read(0x1000) = 0x44332234"},
      {L"arm", L"DisasmARM.dll", 0, -1, 0x1000, "read(0x1000) = 0x44332234"},
      {L"arm", L"DisasmARM.dll", 0, 0, 0x1000, "read(0x1000) = 0x34223344"},
      {L"arm", L"DisasmARM.dll", -1, -1, 0x1001, "read(0x1001) = 0x3322"},
      {L"arm", L"DisasmARM.dll", -1, 0, 0x1001, "read(0x1001) = 0x2233"},
      {L"STM32F103", L"DisasmARM.dll", 0, -1, 0x1000, "read(0x1000) = 0x2234"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << Narrow(c.Target) << " reduced "
                                    << c.Reduced << " little " << c.Little);
    Recorder& recorder = RecordAs(c.File);
    const ComRef<IRawDisassembler> disassembler = Make(c.Target, reader.Get(), Folder);
    ASSERT_TRUE(disassembler);
    ASSERT_EQ(S_OK, disassembler->LoadModule());
    ASSERT_EQ(S_OK, disassembler->SetReducedInstructionSet(c.Reduced));
    ASSERT_EQ(S_OK, disassembler->SetLittleEndian(c.Little));
    recorder.TakeNotes();
    std::int64_t address = c.Address;
    tvk::Bstr text;
    ASSERT_EQ(S_OK, disassembler->Disassemble(7, &address, text.Receive()));
    EXPECT_EQ((Notes{"DisassembleInstruction(0x7, 0x" + ToHex(c.Address) + ")", c.Read}), recorder.TakeNotes());
    EXPECT_EQ(S_OK, disassembler->UnloadModule());
  }
}

}  // namespace

namespace {

TEST_F(DisassemblerTest, LoadingSetsTheARMModulesUp) {
  struct Case {
    const wchar_t* Target;
    const wchar_t* File;
    Notes Load;
    Notes Reduced;  // after SetReducedInstructionSet(0)
  } cases[] = {
      {L"z80", L"DisasmZ80.dll", {"InitDisassembler()"}, {}},
      {L"arm", L"DisasmARM.dll", {"InitDisassembler()"}, {"SetReducedInstructionSet(0)"}},
      {L"LM3S",
       L"DisasmARM.dll",
       {"InitDisassembler()", "SetThumb2InstructionSet()", "SetReducedInstructionSet(-1)"},
       {"SetReducedInstructionSet(0)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.Target));
    Recorder& recorder = RecordAs(c.File);
    recorder.TakeNotes();
    const ComRef<IRawDisassembler> disassembler = Make(c.Target, nullptr, Folder);
    ASSERT_EQ(S_OK, disassembler->LoadModule());
    EXPECT_EQ(c.Load, recorder.TakeNotes());
    EXPECT_EQ(S_OK, disassembler->SetReducedInstructionSet(0));
    EXPECT_EQ(c.Reduced, recorder.TakeNotes());
  }
}

TEST_F(DisassemblerTest, TheModuleMovesTheAddressAndAnswersText) {
  const std::uint32_t cells[] = {0x00, 0xBF};
  const ComRef<tvk::IMemoryReader> reader = Reader(0x08000100, cells);
  Recorder& recorder = RecordAs(L"DisasmARM.dll");
  recorder.SetAdvance(2);
  const ComRef<IRawDisassembler> disassembler = Make(L"Cortex-M3", reader.Get(), Folder);
  ASSERT_EQ(S_OK, disassembler->LoadModule());
  std::int64_t address = 0x08000100;
  tvk::Bstr text;
  ASSERT_EQ(S_OK, disassembler->Disassemble(0, &address, text.Receive()));
  EXPECT_EQ(0x08000102, address);
  EXPECT_EQ(L"08000100 unit 0xBF00", text.Str());

  // Without the module nothing is read and the address stays.
  ASSERT_EQ(S_OK, disassembler->UnloadModule());
  EXPECT_FALSE(static_cast<tvk::TRawDisassembler*>(disassembler.Get())->ModuleLoaded());
  recorder.TakeNotes();
  ASSERT_EQ(S_OK, disassembler->Disassemble(0, &address, text.Receive()));
  EXPECT_EQ(0x08000102, address);
  EXPECT_EQ(L"", text.Str());
  EXPECT_EQ(Notes{}, recorder.TakeNotes());

  // A family whose module is not there disassembles to nothing.
  const ComRef<IRawDisassembler> missing = Make(L"ppc", reader.Get(), Folder);
  EXPECT_EQ(S_OK, missing->LoadModule());
  ASSERT_EQ(S_OK, missing->Disassemble(0, &address, text.Receive()));
  EXPECT_EQ(L"", text.Str());
}

TEST_F(DisassemblerTest, Thumb2ReadsASecondHalfwordForA32BitInstruction) {
  struct Case {
    std::vector<std::uint32_t> Cells;
    std::int32_t Little;
    const char* Read;
  } cases[] = {
      {{0x00, 0xF0, 0xCD, 0xAB}, -1, "read(0x2000) = 0xF000ABCD"},
      {{0x00, 0xE8, 0x11, 0x22}, -1, "read(0x2000) = 0xE8002211"},
      {{0xFF, 0xEF, 0x11, 0x22}, -1, "read(0x2000) = 0xEFFF2211"},
      {{0x00, 0xE0, 0x11, 0x22}, -1, "read(0x2000) = 0xE000"},
      {{0xFF, 0xE7, 0x11, 0x22}, -1, "read(0x2000) = 0xE7FF"},
      {{0xF0, 0x00, 0xAB, 0xCD}, 0, "read(0x2000) = 0xF000ABCD"},
  };
  Recorder& recorder = RecordAs(L"DisasmARM.dll");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Read);
    const ComRef<tvk::IMemoryReader> reader = Reader(0x2000, c.Cells);
    const ComRef<IRawDisassembler> disassembler = Make(L"STM32L152", reader.Get(), Folder);
    ASSERT_EQ(S_OK, disassembler->LoadModule());
    ASSERT_EQ(S_OK, disassembler->SetLittleEndian(c.Little));
    recorder.TakeNotes();
    std::int64_t address = 0x2000;
    tvk::Bstr text;
    ASSERT_EQ(S_OK, disassembler->Disassemble(0, &address, text.Receive()));
    EXPECT_EQ((Notes{"DisassembleInstruction(0x0, 0x2000)", c.Read}), recorder.TakeNotes());
  }
}

TEST_F(DisassemblerTest, AReadPastTheCapturedCellsEndsTheDisassembly) {
  const std::uint32_t cells[] = {0x00, 0xF0};  // a 32-bit instruction's first half only
  const ComRef<tvk::IMemoryReader> reader = Reader(0x2000, cells);
  Recorder& recorder = RecordAs(L"DisasmARM.dll");
  recorder.SetReads(2, 2);
  recorder.SetAdvance(4);
  const ComRef<IRawDisassembler> disassembler = Make(L"STM32F2XXXX", reader.Get(), Folder);
  ASSERT_EQ(S_OK, disassembler->LoadModule());
  recorder.TakeNotes();
  std::int64_t address = 0x2000;
  tvk::Bstr text;
  EXPECT_EQ(tvk::kE_UNEXPECTED, disassembler->Disassemble(0, &address, text.Receive()));
  EXPECT_EQ(nullptr, text.Get());
  EXPECT_EQ(0x2000, address);
  // The module finished on nothing: no read after the failed one reached the memory.
  EXPECT_EQ((Notes{"DisassembleInstruction(0x0, 0x2000)", "read(0x2000) = 0x0", "read(0x2002) = 0x0"}),
            recorder.TakeNotes());
}

}  // namespace

}  // namespace disasm_test
