// The ARM operations on the probe, bound as the core binds them (through the
// host's J-Link port of the device's channel), against the stand-in library
// on the simulated chip: what reaches the library, and what the chip holds.
#include "JlinkFixture.h"
#include "Tovik.ARM.Jlink.h"
#include "Tovik.Classes.Breakpoints.h"
#include "ZUL.Util.h"

#include <windows.h>

#include <algorithm>
#include <functional>

namespace jlink_test {
using tvk::TARMJlink;
using tvk::TJlinkRegisterMap;
namespace cm3 = hostsim::cm3;

namespace {

constexpr std::uint32_t kCode = 0x08000010;

class JlinkBinding : public ::testing::Test, protected JlinkBoard {
protected:
  void SetUp() override {
    Chip.LoadWords(kFlash, {0x20005000, 0x08000009});
    Chip.PowerOnReset();
    ASSERT_TRUE(Bind(Jlink));
    ASSERT_EQ(S_OK, Jlink.ARM_Halt());
    ASSERT_TRUE(Chip.Halted());
    Library->TakeLog();
  }
  // Jlink's binding, found through the host's ports as the core asks for it.
  bool Bind(TARMJlink& jlink) {
    bool open = false;
    EXPECT_EQ(S_OK, jlink.ARM_IsOpen(Device.GetJTagChannel(), open));
    return open;
  }
  int ComparatorsInUse() const {
    int used = 0;
    for (unsigned n = 0; n < cm3::FP_NUM_CODE; ++n) used += (Chip.FpComparator(n) & cm3::FP_COMP_ENABLE) != 0;
    return used;
  }

  tvk::ITovikDevice Device{Board->DeviceDispatch()};
  TARMJlink Jlink;
};

TEST(JlinkRegisterMap, NumbersMapToProbeIndices) {
  struct Case {
    TJlinkRegisterMap Map;
    std::int32_t Number, Index;
  } cases[] = {
      {TJlinkRegisterMap::V7M, 5, 5},   {TJlinkRegisterMap::V7M, 15, 15}, {TJlinkRegisterMap::V7M, 16, 16},
      {TJlinkRegisterMap::V7M, 17, 21}, {TJlinkRegisterMap::V7M, 20, 20}, {TJlinkRegisterMap::V7M, 21, 27},
      {TJlinkRegisterMap::V7M, 24, 24}, {TJlinkRegisterMap::V7M, 25, 17}, {TJlinkRegisterMap::V7M, 26, 18},
      {TJlinkRegisterMap::V7M, 27, 27}, {TJlinkRegisterMap::ARM, 7, 7},   {TJlinkRegisterMap::ARM, 8, 10},
      {TJlinkRegisterMap::ARM, 20, 10}, {TJlinkRegisterMap::ARM, 15, 9},  {TJlinkRegisterMap::ARM, 19, 9},
      {TJlinkRegisterMap::ARM, 16, 8},  {TJlinkRegisterMap::ARM, 29, 25}, {TJlinkRegisterMap::ARM, 32, 28},
      {TJlinkRegisterMap::ARM, 33, 35}, {TJlinkRegisterMap::ARM, 38, 31}, {TJlinkRegisterMap::ARM, 46, 17},
      {TJlinkRegisterMap::ARM, 47, 47},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Index, tvk::JlinkRegisterIndex(c.Map, c.Number))
        << (c.Map == TJlinkRegisterMap::V7M ? "v7-M " : "ARM ") << c.Number;
}

TEST(JlinkBreakpointKey, HexWithAtLeastEightUpperCaseDigits) {
  EXPECT_EQ(L"0x0000001A", tvk::JlinkBreakpointKey(0x1A));
  EXPECT_EQ(L"0x0800ABCD", tvk::JlinkBreakpointKey(0x0800ABCD));
  EXPECT_EQ(L"0x123456789", tvk::JlinkBreakpointKey(0x123456789));
}

TEST_F(JlinkBinding, RegistersGoThroughTheV7MMap) {
  Chip.SetCoreRegisterValue(cm3::REG_MSP, 0x20004FF0);
  Chip.SetCoreRegisterValue(5, 0x55AA);
  std::uint32_t msp = 0, r5 = 0;
  EXPECT_EQ(S_OK, Jlink.ARM_ReadRegister(25, msp));
  EXPECT_EQ(S_OK, Jlink.ARM_ReadRegister(5, r5));
  EXPECT_EQ(S_OK, Jlink.ARM_WriteRegister(26, 0x20003000));
  EXPECT_EQ(0x20004FF0u, msp);
  EXPECT_EQ(0x55AAu, r5);
  EXPECT_EQ(0x20003000u, Chip.CoreRegisterValue(cm3::REG_PSP));
  EXPECT_EQ((Log{"JLINKARM_ReadReg(0x11)", "JLINKARM_ReadReg(0x5)", "JLINKARM_WriteReg(0x12, 0x20003000)"}),
            Library->TakeLog());
}

TEST_F(JlinkBinding, BlocksAreOneCallWithOneByteACell) {
  ASSERT_TRUE(Chip.LoadWords(kSram + 0x100, {0x44332211, 0x88776655}));
  std::uint32_t cells[8];
  std::fill(std::begin(cells), std::end(cells), 0xDEADBEEF);
  EXPECT_EQ(S_OK, Jlink.ARM_ReadBytes(cells, 2, kSram + 0x101, 5));
  EXPECT_EQ((std::vector<std::uint32_t>{0xDEADBEEF, 0xDEADBEEF, 0x22, 0x33, 0x44, 0x55, 0x66, 0xDEADBEEF}),
            std::vector<std::uint32_t>(std::begin(cells), std::end(cells)));

  // Only the low byte of a cell is written.
  std::uint32_t out[5] = {0xFFFFFFA1, 0xA2, 0x1A3, 0xA4, 0xA5};
  EXPECT_EQ(S_OK, Jlink.ARM_WriteWords(out, 1, kSram + 0x201, 4));
  EXPECT_EQ(0xA4A3A2u << 8, *Chip.PeekWord(kSram + 0x200) & 0xFFFFFF00);
  EXPECT_EQ(0xA5u, *Chip.PeekWord(kSram + 0x204) & 0xFF);
  EXPECT_EQ((Log{"JLINKARM_ReadMem(0x20000101, 0x5, buffer)", "JLINKARM_WriteMem(0x20000201, 0x4, buffer)"}),
            Library->TakeLog());

  // A failed read reads as 0 and the operation answers success.
  EXPECT_EQ(S_OK, Jlink.ARM_ReadBytes(cells, 0, 0x40000000, 3));
  EXPECT_EQ(0u, cells[0] | cells[1] | cells[2]);
}

TEST_F(JlinkBinding, SingleItemsUseTheSizedEntryPoints) {
  ASSERT_TRUE(Chip.LoadWords(kSram, {0xCAFEF00D}));
  std::uint32_t byte = 0, half = 0, word = 0;
  EXPECT_EQ(S_OK, Jlink.ARM_ReadByte(kSram + 1, byte));
  EXPECT_EQ(S_OK, Jlink.ARM_ReadHalfWord(kSram + 2, half));
  EXPECT_EQ(S_OK, Jlink.ARM_ReadWord(kSram, word));
  EXPECT_EQ(0xF0u, byte);
  EXPECT_EQ(0xCAFEu, half);
  EXPECT_EQ(0xCAFEF00Du, word);
  EXPECT_EQ(S_OK, Jlink.ARM_WriteByte(kSram + 4, 0x1FF));
  EXPECT_EQ(S_OK, Jlink.ARM_WriteHalfWord(kSram + 6, 0xBEEF));
  EXPECT_EQ(S_OK, Jlink.ARM_WriteWord(kSram + 8, 0x12345678));
  EXPECT_EQ(0xBEEF00FFu, *Chip.PeekWord(kSram + 4));
  EXPECT_EQ(0x12345678u, *Chip.PeekWord(kSram + 8));
  EXPECT_EQ((Log{"JLINKARM_ReadMemU8(0x20000001, 0x1, buffer, buffer)",
                 "JLINKARM_ReadMemU16(0x20000002, 0x1, buffer, buffer)",
                 "JLINKARM_ReadMemU32(0x20000000, 0x1, buffer, buffer)", "JLINKARM_WriteU8(0x20000004, 0xFF)",
                 "JLINKARM_WriteU16(0x20000006, 0xBEEF)", "JLINKARM_WriteU32(0x20000008, 0x12345678)"}),
            Library->TakeLog());
}

TEST_F(JlinkBinding, ResetRegistersTakesPcAndSpFromTheVectorTable) {
  ASSERT_TRUE(Chip.LoadWords(kFlash, {9, 7}));  // seen at address 0 as well
  EXPECT_EQ(S_OK, Jlink.ARM_ResetRegisters());
  EXPECT_EQ(8u, Chip.CoreRegisterValue(cm3::REG_SP));
  EXPECT_EQ(6u, Chip.CoreRegisterValue(cm3::REG_PC));
  EXPECT_EQ((Log{"JLINKARM_ReadMemU32(0x4, 0x1, buffer, buffer)", "JLINKARM_WriteReg(0xF, 0x6)",
                 "JLINKARM_ReadMemU32(0x0, 0x1, buffer, buffer)", "JLINKARM_WriteReg(0xD, 0x8)"}),
            Library->TakeLog());
}

TEST_F(JlinkBinding, RunControlPassesTheValuesTheProbeExpects) {
  struct Case {
    const char* Name;
    std::function<HRESULT(TARMJlink&)> Run;
    Log Want;
  } cases[] = {
      {"continue", [](auto& j) { return j.ARM_Continue(); }, {"JLINKARM_GoEx(0x5, 0x1)"}},
      {"halt", [](auto& j) { return j.ARM_Halt(); }, {"JLINKARM_Halt()"}},
      {"step", [](auto& j) { return j.ARM_SingleStep(); }, {"JLINKARM_Step()"}},
      {"reset", [](auto& j) { return j.ARM_Reset(); }, {"JLINKARM_ResetPullsRESET(0x1)", "JLINKARM_Reset()"}},
      {"reset type", [](auto& j) { return j.ARM_SetResetType(2); }, {"JLINKARM_SetResetType(0x2)"}},
      {"halted?",
       [](auto& j) {
         bool halted = false;
         const HRESULT hr = j.ARM_IsHalted(halted);
         EXPECT_TRUE(halted);
         return hr;
       },
       {"JLINKARM_IsHalted()"}},
      {"save state", [](auto& j) { return j.ARM_SaveSate(); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(S_OK, c.Run(Jlink));
    EXPECT_EQ(c.Want, Library->TakeLog());
  }
  EXPECT_TRUE(Chip.Halted());  // the reset stopped at the reset vector
  EXPECT_EQ(0x08000008u, Chip.CoreRegisterValue(cm3::REG_PC));
}

TEST_F(JlinkBinding, SoftBreakpointsAreProbeBreakpointsByAddress) {
  bool removed = true;
  EXPECT_EQ(S_OK, Jlink.ARM_RemoveBreakpoint(kCode, removed));  // never added
  EXPECT_FALSE(removed);
  EXPECT_EQ(Log{}, Library->TakeLog());

  std::uint32_t handle = 0;
  EXPECT_EQ(S_OK, Jlink.ARM_AddBreakpoint(kCode, handle));
  EXPECT_NE(0u, handle);
  EXPECT_EQ(1, ComparatorsInUse());
  ASSERT_EQ(1u, Jlink.BreakpointList().size());
  EXPECT_EQ(L"0x08000010", Jlink.BreakpointList().begin()->first);

  // The same address again: the first probe breakpoint is given back.
  std::uint32_t again = 0;
  EXPECT_EQ(S_OK, Jlink.ARM_AddBreakpoint(kCode, again));
  EXPECT_EQ(1, ComparatorsInUse());
  EXPECT_EQ(1u, Jlink.BreakpointList().size());
  EXPECT_EQ(S_OK, Jlink.ARM_RemoveBreakpoint(kCode, removed));
  EXPECT_TRUE(removed);
  EXPECT_EQ(0, ComparatorsInUse());
  EXPECT_TRUE(Jlink.BreakpointList().empty());
  EXPECT_EQ((Log{"JLINKARM_SetBPEx(0x8000010, 0xF0)", "JLINKARM_ClrBPEx(0x" + std::to_string(handle) + ")",
                 "JLINKARM_SetBPEx(0x8000010, 0xF0)", "JLINKARM_ClrBPEx(0x" + std::to_string(again) + ")"}),
            Library->TakeLog());

  // A breakpoint the probe could not set is listed with handle 0, which
  // becomes the soft breakpoint's replaced value; setting it again asks
  // nothing to be cleared, removing it asks the probe to clear handle 0.
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(S_OK, Jlink.ARM_AddBreakpoint(kSram, handle));
    EXPECT_EQ(0u, handle);
  }
  ASSERT_EQ(1u, Jlink.BreakpointList().count(L"0x20000000"));
  EXPECT_EQ(0, Jlink.BreakpointList().at(L"0x20000000"));
  EXPECT_EQ(S_OK, Jlink.ARM_RemoveBreakpoint(kSram, removed));
  EXPECT_FALSE(removed);
  EXPECT_TRUE(Jlink.BreakpointList().empty());
  EXPECT_EQ((Log{"JLINKARM_SetBPEx(0x20000000, 0xF0)", "JLINKARM_SetBPEx(0x20000000, 0xF0)", "JLINKARM_ClrBPEx(0x0)"}),
            Library->TakeLog());

  EXPECT_EQ(S_OK, Jlink.ARM_AddBreakpointEx(kCode, true, handle));
  EXPECT_EQ(S_OK, Jlink.ARM_AddBreakpointEx(kCode + 4, false, handle));
  EXPECT_EQ((Log{"JLINKARM_SetBPEx(0x8000010, 0xF2)", "JLINKARM_SetBPEx(0x8000014, 0xF1)"}), Library->TakeLog());
}

TEST_F(JlinkBinding, ALibraryWithoutSetBPExListsNoBreakpoint) {
  auto lacking = std::make_shared<SimJlinkLibrary>(LackingStandInPath());
  lacking->Connect(&Chip);
  lacking->OpenProbe();
  HostDriver->SetLibrary(lacking);
  ASSERT_TRUE(Bind(Jlink));  // the changed handle is bound again
  EXPECT_EQ(lacking->Handle(), Jlink.Binding()->Handle());
  lacking->TakeLog();

  std::uint32_t handle = 5;
  EXPECT_EQ(S_OK, Jlink.ARM_AddBreakpoint(kCode, handle));
  EXPECT_EQ(0u, handle);
  EXPECT_TRUE(Jlink.BreakpointList().empty());
  EXPECT_EQ(Log{}, lacking->TakeLog());
  EXPECT_EQ(0, ComparatorsInUse());
}

// The driver hooks a debug manager needs; none is used here.
class NoDriver : public tvk::IBreakpointDriver {
public:
  tvk::ITovikDevice GetTovikDevice() override { return {}; }
  void OpenChannel() override {}
  void CloseChannel() override {}
  std::uint32_t AddSoftBreakpoint(std::int32_t, std::int64_t) override { return 0; }
  bool RemoveSoftBreakpoint(std::int32_t, std::int64_t, std::uint32_t) override { return false; }
  bool MemoryRead(std::int32_t, std::uint32_t*, std::int64_t, std::int32_t) override { return false; }
  bool MemoryWrite(std::int32_t, const std::uint32_t*, std::int64_t, std::int32_t) override { return false; }
};

// A debug manager of its own, as the driver's processor level makes it.
struct Manager {
  NoDriver Hooks;
  tvk::ComRef<tvk::TDeviceDebugManager> Object{tvk::New<tvk::TDeviceDebugManager>(Hooks)};
  tvk::IDeviceDebugManager Record{Object.Get()};

  std::int32_t HardBreakpoints() const { return Record.GetHardBreakpointCount(); }
  bool SoftBreakpointsRequireHardware() const {
    bool require = false;
    EXPECT_EQ(S_OK, Object->GetSoftBreakpointsRequireHardware(require));
    return require;
  }
};

TEST_F(JlinkBinding, InitializeRegistersTheProbesUnitsOnceWithinTheCap) {
  struct Case {
    const char* Name;
    bool Claim;
    std::int32_t Claimed, Want;
  } cases[] = {
      {"the chip's comparators", false, 0, 6}, {"none", true, 0, 0},      {"a negative count", true, -3, 0},
      {"two", true, 2, 2},                     {"above the cap", true, 1000, 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Manager manager;
    manager.Record.SetSoftbreakpointsRequireHardware(true);
    if (c.Claim) Library->ClaimBreakpointUnits(c.Claimed);
    TARMJlink jlink;
    ASSERT_TRUE(Bind(jlink));
    Library->TakeLog();
    for (int round = 0; round < 2; ++round) {
      bool initialized = false;
      EXPECT_EQ(S_OK, jlink.ARM_Initialize(manager.Record, initialized));
      EXPECT_TRUE(initialized);
    }
    EXPECT_EQ(c.Want, manager.HardBreakpoints());
    EXPECT_FALSE(manager.SoftBreakpointsRequireHardware());
    EXPECT_EQ(Log{"JLINKARM_GetNumBPUnits(0xFFFFFF00)"}, Library->TakeLog());
    Library->ResetCounts();
  }
}

TEST_F(JlinkBinding, InitializeLeavesAManagerThatHasHardBreakpoints) {
  Manager manager;
  manager.Record.AddHardBreakPoint(tvk::IHardBreakpoint(tvk::New<tvk::TARMJlinkHardBreakpoint>(Jlink.Binding())));
  bool initialized = false;
  EXPECT_EQ(S_OK, Jlink.ARM_Initialize(manager.Record, initialized));
  EXPECT_TRUE(initialized);
  EXPECT_EQ(1, manager.HardBreakpoints());
  EXPECT_EQ(Log{}, Library->TakeLog());
}

TEST_F(JlinkBinding, HardBreakpointsSetAProbeBreakpointAtTheirAddress) {
  tvk::ComRef<tvk::TARMJlinkHardBreakpoint> bp(tvk::New<tvk::TARMJlinkHardBreakpoint>(Jlink.Binding()));
  bool ok = true;
  EXPECT_EQ(S_OK, bp->Disable(ok));  // not set: nothing is called
  EXPECT_FALSE(ok);
  EXPECT_EQ(Log{}, Library->TakeLog());

  EXPECT_EQ(S_OK, bp->SetAddress(0x1'0800'0013));
  std::int64_t address = 0;
  EXPECT_EQ(S_OK, bp->GetAddress(address));
  EXPECT_EQ(0x08000012, address);
  EXPECT_EQ(S_OK, bp->SetData(0x1'2345'6789));
  std::int64_t data = 0;
  EXPECT_EQ(S_OK, bp->GetData(data));
  EXPECT_EQ(0x23456789, data);

  EXPECT_EQ(S_OK, bp->Enable(ok));
  EXPECT_TRUE(ok);
  EXPECT_GT(bp->Id(), 0);
  EXPECT_EQ(1, ComparatorsInUse());
  const std::int32_t id = bp->Id();
  EXPECT_EQ(S_OK, bp->Disable(ok));
  EXPECT_TRUE(ok);
  EXPECT_EQ(tvk::kJlinkNoBreakpoint, bp->Id());
  EXPECT_EQ(0, ComparatorsInUse());
  EXPECT_EQ((Log{"JLINKARM_SetBPEx(0x8000012, 0xFFFFFF00)", "JLINKARM_ClrBPEx(0x" + std::to_string(id) + ")"}),
            Library->TakeLog());

  // A probe that sets none leaves the breakpoint unset.
  EXPECT_EQ(S_OK, bp->SetAddress(0x20000000));  // outside the comparators' reach
  EXPECT_EQ(S_OK, bp->Enable(ok));
  EXPECT_FALSE(ok);
  EXPECT_EQ(tvk::kJlinkNoBreakpoint, bp->Id());
}

// ---- TJlink's own operations

TEST_F(JlinkBinding, InitializeNeedsATargetAbove500Millivolts) {
  struct Case {
    std::uint32_t Millivolts;
    bool Initialized;
  } cases[] = {{500, false}, {501, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Millivolts);
    Library->SetTargetMillivolts(c.Millivolts);
    auto jlink = tvk::TJlink::CreateJlinkDriver(Library->Handle());
    EXPECT_EQ(c.Initialized, jlink->Initialize());
    EXPECT_EQ(c.Initialized, Library->ProbeOpen());
    Log want{"JLINKARM_EMU_GetList(0x1, buffer, 0x1)", "JLINKARM_IsOpen()", "JLINKARM_Close()",
             "JLINKARM_SetInitRegsOnReset(0x1)", "JLINKARM_Open()", "JLINKARM_GetHWStatus(buffer)",
             "JLINKARM_SetSpeed(0x0)"};
    if (!c.Initialized) want.push_back("JLINKARM_Close()");
    EXPECT_EQ(want, Library->TakeLog());
    Library->OpenProbe();
    Library->TakeLog();
  }
  // Initialised, only the supply is looked at again.
  Library->SetTargetMillivolts(3300);
  auto jlink = tvk::TJlink::CreateJlinkDriver(Library->Handle());
  ASSERT_TRUE(jlink->Initialize());
  Library->TakeLog();
  Library->SetTargetMillivolts(400);
  EXPECT_FALSE(jlink->Initialize());
  EXPECT_EQ(Log{"JLINKARM_GetHWStatus(buffer)"}, Library->TakeLog());
}

TEST_F(JlinkBinding, InitializeFailsWithoutAProbe) {
  Library->SetProbesFound(0);
  auto jlink = tvk::TJlink::CreateJlinkDriver(Library->Handle());
  EXPECT_FALSE(jlink->Initialize());
  EXPECT_EQ((Log{"JLINKARM_EMU_GetList(0x1, buffer, 0x1)", "JLINKARM_IsOpen()", "JLINKARM_Close()"}),
            Library->TakeLog());
}

TEST_F(JlinkBinding, TheDeviceListHoldsTheChipOnTheProbesChain) {
  auto jlink = tvk::TJlink::CreateJlinkDriver(Library->Handle());
  EXPECT_EQ(tvk::kJlinkCallDone, jlink->CreateDeviceInfoList());
  ASSERT_EQ(1, jlink->GetDeviceCount());
  const tvk::TJlinkDeviceInfo info = jlink->GetDeviceInfo(0);
  EXPECT_EQ(0x3BA00477u, info.Id);
  EXPECT_EQ(4u, info.IRLen);
  EXPECT_STREQ("STM32F103", info.sName);
  EXPECT_EQ(0u, jlink->GetDeviceInfo(1).Id);

  Library->SetTargetMillivolts(0);
  EXPECT_EQ(tvk::kJlinkCallMissing, jlink->CreateDeviceInfoList());
  EXPECT_EQ(0, jlink->GetDeviceCount());
}

// The library copied into the host's System folder, removed again.
class SystemFolderCopy {
public:
  SystemFolderCopy()
      : FFolder(tvk::GetSystemFolder()), FCreated(CreateDirectoryW(FFolder.c_str(), nullptr) != 0),
        FPath(FFolder + L"JLINKARM.dll") {
    EXPECT_TRUE(CopyFileW(StandInPath().c_str(), FPath.c_str(), FALSE));
  }
  ~SystemFolderCopy() {
    DeleteFileW(FPath.c_str());
    if (FCreated) RemoveDirectoryW(FFolder.c_str());
  }
  const std::wstring& Path() const { return FPath; }
  HMODULE Loaded() const { return GetModuleHandleW(FPath.c_str()); }

private:
  std::wstring FFolder;
  bool FCreated;
  std::wstring FPath;
};

TEST_F(JlinkBinding, ABindingOfItsOwnLoadsFromTheSystemFolderAndFreesItsLibrary) {
  EXPECT_EQ(nullptr, tvk::TJlink::OpenJlinkDriver());  // nothing there yet
  SystemFolderCopy copy;
  {
    auto jlink = tvk::TJlink::OpenJlinkDriver();
    ASSERT_NE(nullptr, jlink);
    EXPECT_TRUE(jlink->OwnsLibrary());
    EXPECT_NE(nullptr, copy.Loaded());
    EXPECT_NE(Library->Handle(), jlink->Handle());
    EXPECT_NE(nullptr, jlink->FunctionList()[tvk::jlink::eJLINKARM_EMU_GetList].Func);
    // Taking a host's handle gives the own library back first.
    jlink->Rebind(Library->Handle());
    EXPECT_EQ(nullptr, copy.Loaded());
    EXPECT_FALSE(jlink->OwnsLibrary());
  }
  EXPECT_EQ(Library->Handle(), GetModuleHandleW(StandInPath().c_str()));

  // ARM_Open makes one and opens the probe; ARM_Close closes it and lets it go.
  TARMJlink own;
  EXPECT_EQ(S_OK, own.ARM_Open());
  ASSERT_NE(nullptr, own.Binding());
  EXPECT_TRUE(own.Binding()->OwnsLibrary());
  EXPECT_EQ(S_OK, own.ARM_Close());
  EXPECT_EQ(nullptr, own.Binding());
  EXPECT_EQ(nullptr, copy.Loaded());
}

}  // namespace

}  // namespace jlink_test
