// The one-line disassembler: its text as the driver shows it, its one-entry
// cache, the modules it loads from the module's folder and frees again, and
// the stand-in ARM module's text for instructions of the simulated chip.
#include "DisassemblerFixture.h"

namespace disasm_test {
using tvk::TOneLineDisassembler;

namespace {

std::wstring Line(const std::wstring& target, std::int64_t address, const std::vector<std::uint32_t>& cells,
                  bool reduced = true, bool little = true) {
  return TOneLineDisassembler::GetDisassembly(target, address, cells, reduced, little);
}

TEST(TidyDisassemblyText, KeepsWhatFollowsTheFirstBlankOrTabTrimmed) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Tidy;
  } cases[] = {
      {L"08000008 MOVS    R0,#0x00", L"MOVS    R0,#0x00"},
      {L"08000008\tNOP", L"NOP"},
      {L"NOP", L"NOP"},
      {L"  NOP  ", L"NOP"},
      {L"   ", L""},
      {L"", L""},
      {L"0800\tB 0x0800", L"0x0800"},  // a blank anywhere comes before a tab
      {L"08000008 \t NOP\r\n", L"NOP"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Tidy, tvk::TidyDisassemblyText(c.Text)) << '"' << Narrow(c.Text) << '"';
}

TEST_F(DisassemblerTest, TheStandInArmModuleShowsTheChipsInstructions) {
  InstallArmStandIn();
  struct Case {
    const wchar_t* Target;
    std::int64_t Address;
    std::vector<std::uint32_t> Cells;
    bool Reduced;
    const wchar_t* Text;
  } cases[] = {
      {L"arm", 0x08000008, {0x00, 0x20}, true, L"MOVS    R0,#0x00"},
      {L"arm", 0x0800000A, {0x04, 0x49}, true, L"LDR     R1,[PC,#0x10]"},
      {L"arm", 0x08000012, {0xFB, 0xD1}, true, L"BNE     0x0800000C"},
      {L"arm", 0x08000000, {0xFE, 0xFF, 0xFF, 0xEA}, false, L"B    0x08000000"},
      {L"STM32F103RB", 0x08000100, {0x00, 0xF0, 0x02, 0xF8}, true, L"BL      0x08000108"},
      {L"STM32F103RB", 0x08000104, {0x00, 0xBF}, false, L"NOP"},  // ARMv7-M is Thumb whatever the flag
      {L"tms320", 0x08000104, {0x00, 0xBF}, true, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Text, Line(c.Target, c.Address, c.Cells, c.Reduced));
}

TEST_F(DisassemblerTest, TheLastNameAndAddressAnswerTheKeptText) {
  Recorder& recorder = RecordAs(L"DisasmARM.dll");
  EXPECT_EQ(L"unit 0x2001", Line(L"arm", 0x100, {0x01, 0x20}));
  // Same name and address: the kept text, whatever the cells and flags; no module is loaded.
  recorder.TakeNotes();
  EXPECT_EQ(L"unit 0x2001", Line(L"arm", 0x100, {0x02, 0x30}, false, false));
  EXPECT_EQ(Notes{}, recorder.TakeNotes());
  // Another address or name is disassembled again.
  EXPECT_EQ(L"unit 0x3002", Line(L"arm", 0x102, {0x02, 0x30}));
  EXPECT_EQ(L"unit 0x3002", Line(L"Cortex-M3", 0x102, {0x02, 0x30}));
  EXPECT_EQ(L"", Line(L"Cortex-M4", 0x102, {0x02, 0x30}));
  EXPECT_EQ(L"unit 0x4003", Line(L"Cortex-M3", 0x102, {0x03, 0x40}));
  // The module's shut-down lets the cache go.
  recorder.TakeNotes();
  tvk::DisassemblerUnitShutdown();
  EXPECT_EQ(L"unit 0x4003", Line(L"Cortex-M3", 0x102, {0x03, 0x40}));
  EXPECT_FALSE(recorder.TakeNotes().empty());
}

TEST_F(DisassemblerTest, AFailedReadRaisesAndLeavesTheNewKeyWithThePreviousText) {
  Recorder& recorder = RecordAs(L"DisasmARM.dll");
  EXPECT_EQ(L"unit 0xBF00", Line(L"LPC1768", 0x200, {0x00, 0xBF}));
  // 0xF000 opens a 32-bit instruction whose second half was not captured.
  EXPECT_THROW(Line(L"LPC1768", 0x300, {0x00, 0xF0}), tvk::Exception);
  EXPECT_EQ(L"unit 0xBF00", Line(L"LPC1768", 0x300, {0x00, 0xF0, 0x00, 0xBF}));
  recorder.Release();
  EXPECT_FALSE(recorder.LoadedByAnyone());  // freed also after the error
}

TEST_F(DisassemblerTest, EachMissLoadsTheModuleOnceAndFreesIt) {
  Recorder& recorder = RecordAs(L"DisasmARM.dll");
  recorder.SetReply("0000 \t reply\t");
  recorder.TakeNotes();
  EXPECT_EQ(L"reply", Line(L"STM32W108", 0x400, {0x00, 0xBF}, true, false));
  EXPECT_EQ((Notes{"InitDisassembler()", "SetThumb2InstructionSet()", "SetReducedInstructionSet(-1)",
                   "SetReducedInstructionSet(-1)", "DisassembleInstruction(0x0, 0x400)", "read(0x400) = 0xBF"}),
            recorder.TakeNotes());
  recorder.SetReply(nullptr);
  EXPECT_EQ(L"", Line(L"arm", 0x402, {0x00, 0x00, 0x00, 0xBF}, false, true));
  EXPECT_EQ((Notes{"InitDisassembler()", "SetReducedInstructionSet(0)", "DisassembleInstruction(0x0, 0x402)",
                   "read(0x402) = 0xBF000000"}),
            recorder.TakeNotes());
  // With the test's own hold let go, nothing keeps the module loaded.
  recorder.Release();
  EXPECT_FALSE(recorder.LoadedByAnyone());
  EXPECT_EQ(L"unit 0xBF00", Line(L"arm", 0x404, {0x00, 0xBF}));
  EXPECT_FALSE(recorder.LoadedByAnyone());
}

}  // namespace

}  // namespace disasm_test
