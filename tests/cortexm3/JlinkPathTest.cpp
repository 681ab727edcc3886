// The choice of path per operation: while the J-Link binding holds the
// device's channel every operation goes to it whole and no scan is made.
#include "CortexM3Fixture.h"

#include <cstdio>

namespace cortexm3_test {
namespace m3 = tvk::cortexm3;

namespace {

std::string Hex(std::int64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(v));
  return text;
}

// Notes every call but ARM_IsOpen, whose answers it counts.
class RecordingJlink : public tvk::ICortexM3Jlink {
public:
  bool Open = true, Halted = false;
  HRESULT FailHalt = S_OK;
  int OpenQueries = 0;
  bool ChannelGiven = false;
  std::vector<std::string> Calls;

  HRESULT ARM_IsOpen(const tvk::IJTagChannel& channel, bool& isOpen) override {
    ++OpenQueries;
    ChannelGiven = bool(channel);
    isOpen = Open;
    return S_OK;
  }
  HRESULT ARM_Initialize(const tvk::IDeviceDebugManager& manager, bool& initialized) override {
    Calls.push_back(manager ? "ARM_Initialize manager" : "ARM_Initialize");
    initialized = true;
    return S_OK;
  }
  HRESULT ARM_Halt() override { return Note("ARM_Halt", FailHalt); }
  HRESULT ARM_Continue() override { return Note("ARM_Continue"); }
  HRESULT ARM_SingleStep() override { return Note("ARM_SingleStep"); }
  HRESULT ARM_Reset() override { return Note("ARM_Reset"); }
  HRESULT ARM_ResetRegisters() override { return Note("ARM_ResetRegisters"); }
  HRESULT ARM_IsHalted(bool& halted) override {
    halted = Halted;
    return Note("ARM_IsHalted");
  }
  HRESULT ARM_ReadRegister(std::int32_t number, std::uint32_t& value) override {
    value = 0x08000200;
    return Note("ARM_ReadRegister " + std::to_string(number));
  }
  HRESULT ARM_WriteRegister(std::int32_t number, std::uint32_t value) override {
    return Note("ARM_WriteRegister " + std::to_string(number) + " " + Hex(value));
  }
  HRESULT ARM_ReadByte(std::int64_t a, std::uint32_t& v) override { return Read("ARM_ReadByte", a, v); }
  HRESULT ARM_ReadHalfWord(std::int64_t a, std::uint32_t& v) override { return Read("ARM_ReadHalfWord", a, v); }
  HRESULT ARM_ReadWord(std::int64_t a, std::uint32_t& v) override { return Read("ARM_ReadWord", a, v); }
  HRESULT ARM_WriteByte(std::int64_t a, std::uint32_t v) override { return Write("ARM_WriteByte", a, v); }
  HRESULT ARM_WriteHalfWord(std::int64_t a, std::uint32_t v) override { return Write("ARM_WriteHalfWord", a, v); }
  HRESULT ARM_WriteWord(std::int64_t a, std::uint32_t v) override { return Write("ARM_WriteWord", a, v); }
  HRESULT ARM_ReadBytes(std::uint32_t*, std::int32_t i, std::int64_t a, std::int32_t n) override {
    return Block("ARM_ReadBytes", i, a, n);
  }
  HRESULT ARM_ReadWords(std::uint32_t*, std::int32_t i, std::int64_t a, std::int32_t n) override {
    return Block("ARM_ReadWords", i, a, n);
  }
  HRESULT ARM_WriteBytes(std::uint32_t*, std::int32_t i, std::int64_t a, std::int32_t n) override {
    return Block("ARM_WriteBytes", i, a, n);
  }
  HRESULT ARM_WriteWords(std::uint32_t*, std::int32_t i, std::int64_t a, std::int32_t n) override {
    return Block("ARM_WriteWords", i, a, n);
  }
  HRESULT ARM_AddBreakpoint(std::int64_t address, std::uint32_t& handle) override {
    handle = 7;
    return Note("ARM_AddBreakpoint " + Hex(address));
  }
  HRESULT ARM_RemoveBreakpoint(std::int64_t address, bool& removed) override {
    removed = true;
    return Note("ARM_RemoveBreakpoint " + Hex(address));
  }

private:
  HRESULT Note(std::string call, HRESULT result = S_OK) {
    Calls.push_back(std::move(call));
    return result;
  }
  HRESULT Read(const char* name, std::int64_t address, std::uint32_t& value) {
    value = 0x5A;
    return Note(std::string(name) + " " + Hex(address));
  }
  HRESULT Write(const char* name, std::int64_t address, std::uint32_t value) {
    return Note(std::string(name) + " " + Hex(address) + " " + Hex(value));
  }
  HRESULT Block(const char* name, std::int32_t index, std::int64_t address, std::int32_t count) {
    return Note(std::string(name) + " " + std::to_string(index) + " " + Hex(address) + " " + std::to_string(count));
  }
};

using Calls = std::vector<std::string>;

TEST(CortexM3JlinkPath, EveryOperationGoesToTheBindingWholeWithoutAScan) {
  std::uint32_t cells[16] = {};
  struct Case {
    const char* Name;
    std::function<void(tvk::TCortexM3Core&, RecordingJlink&)> Run;
    Calls Want;
  } cases[] = {
      {"status queries initialise the binding once",
       [](auto& core, auto&) {
         EXPECT_FALSE(core.ProcessorIsPaused());
         EXPECT_FALSE(core.ProcessorIsPaused());
       },
       {"ARM_Initialize manager", "ARM_IsHalted", "ARM_IsHalted"}},
      {"halted core: PC and xPSR saved, no byte-order read",
       [](auto& core, auto& jlink) {
         jlink.Halted = true;
         EXPECT_TRUE(core.CheckHalted());
         EXPECT_TRUE(core.CheckHalted());
       },
       {"ARM_IsHalted", "ARM_ReadRegister 15", "ARM_ReadRegister 16", "ARM_IsHalted"}},
      {"pause", [](auto& core, auto&) { core.PauseProcessor(); }, {"ARM_Halt"}},
      {"continue", [](auto& core, auto&) { core.ContinueProcessor(); }, {"ARM_Continue"}},
      {"step", [](auto& core, auto&) { core.SingleStepProcessor(); }, {"ARM_SingleStep"}},
      {"reset", [](auto& core, auto&) { core.ResetProcessor(); }, {"ARM_Reset", "ARM_ResetRegisters"}},
      {"MSP read by its number", [](auto& core, auto&) { EXPECT_EQ(0x08000200u, core.ReadCoreRegister(25)); },
       {"ARM_ReadRegister 25"}},
      {"PC write", [](auto& core, auto&) { core.WriteCoreRegister(15, 0x08000101); },
       {"ARM_WriteRegister 15 0x8000100"}},
      {"byte, halfword and word access",
       [](auto& core, auto&) {
         EXPECT_EQ(0x5Au, core.ReadMemory_Byte(0x20000003));
         core.ReadMemory_HalfWord(0x20000002);
         core.ReadMemory_Word(0x20000004);
         core.WriteMemory_Byte(0x20000001, 0xA5);
         core.WriteMemory_HalfWord(0x20000002, 0xBEEF);
         core.WriteMemory_Word(0x20000004, 0x12345678);
       },
       {"ARM_ReadByte 0x20000003", "ARM_ReadHalfWord 0x20000002", "ARM_ReadWord 0x20000004",
        "ARM_WriteByte 0x20000001 0xa5", "ARM_WriteHalfWord 0x20000002 0xbeef", "ARM_WriteWord 0x20000004 0x12345678"}},
      {"10 bytes in one request",
       [&cells](auto& core, auto&) {
         EXPECT_TRUE(core.JlinkBlockTransfer(tvk::TJlinkBlock::ReadBytes, cells, 0, 0x20000003, 10));
         EXPECT_TRUE(core.JlinkBlockTransfer(tvk::TJlinkBlock::WriteWords, cells, 4, 0x20000004, 8));
       },
       {"ARM_ReadBytes 0 0x20000003 10", "ARM_WriteWords 4 0x20000004 8"}},
      {"soft breakpoints whatever the space",
       [](auto& core, auto&) {
         EXPECT_EQ(7u, core.AddSoftBreakpoint(1, 0x08000101));
         EXPECT_TRUE(core.RemoveSoftBreakpoint(1, 0x08000101, 0));
       },
       {"ARM_AddBreakpoint 0x8000101", "ARM_RemoveBreakpoint 0x8000101"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Rig rig;
    RecordingJlink jlink;
    rig.Levels.JlinkBinding = &jlink;
    c.Run(rig.Core, jlink);
    EXPECT_EQ(c.Want, jlink.Calls);
    EXPECT_GT(jlink.OpenQueries, 0);
    EXPECT_TRUE(jlink.ChannelGiven);
    EXPECT_TRUE(rig.TakeScans().empty());
    EXPECT_TRUE(rig.Levels.LevelCalls.empty());
    EXPECT_EQ(0, rig.Levels.HardBreakpointCount());
  }
}

TEST(CortexM3JlinkPath, ContinueAndStepForgetTheSavedState) {
  for (auto run : {&tvk::TCortexM3Core::ContinueProcessor, &tvk::TCortexM3Core::SingleStepProcessor}) {
    Rig rig;
    RecordingJlink jlink;
    rig.Levels.JlinkBinding = &jlink;
    rig.Levels.Saved = true;
    (rig.Core.*run)();
    EXPECT_FALSE(rig.Levels.Saved);
  }
}

TEST(CortexM3JlinkPath, ABindingWithoutTheChannelLeavesTheScans) {
  Rig rig;
  RecordingJlink jlink;
  jlink.Open = false;
  rig.Levels.JlinkBinding = &jlink;
  rig.Core.ProcessorIsPaused();
  rig.Core.PauseProcessor();
  EXPECT_TRUE(jlink.Calls.empty());
  EXPECT_TRUE(rig.Core.Initialized());
  EXPECT_TRUE(rig.Chip.Halted());
}

TEST(CortexM3JlinkPath, AFailedBindingCallEndsTheOperation) {
  Rig rig;
  RecordingJlink jlink;
  jlink.FailHalt = E_FAIL;
  rig.Levels.JlinkBinding = &jlink;
  EXPECT_THROW(rig.Core.PauseProcessor(), tvk::EResultError);
}

}  // namespace

}  // namespace cortexm3_test
