#pragma once
// The Cortex-M3 core on the simulated STM32F103 at chain index 1, inside a
// small stand-in for the driver levels around it: the ARMv7-M caches and
// register views it needs, a fake debug manager, fake comparator breakpoints,
// the ARM base's reset sequence, and counters of the channel and transaction
// brackets.
#include "SimHost.h"
#include "Tovik.ARM.CortexM3.h"
#include "ZUL.DispatchFix.h"

#include "Dialogs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cortexm3_test {

using namespace hostsim;

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;
constexpr std::uint32_t kInitialSp = 0x20005000, kResetVector = 0x08000009;
constexpr std::uint32_t kDpacc = 0xA, kApacc = 0xB;

// One scan as the transport was asked for it.
struct Scan {
  std::uint32_t Ir;
  std::uint32_t Address;  // bits 3:2 (0 for a bare instruction scan)
  bool Read;
  std::uint32_t Value;
  bool Bare = false;  // instruction scan without a data scan
};

// Passes every scan on, logs it, and can make one chosen scan fail: either
// before it reaches the port or after (the port ran it, the answer was lost).
class ScriptedTransport : public tvk::IDapTransport {
public:
  using Predicate = std::function<bool(const Scan&)>;
  explicit ScriptedTransport(std::unique_ptr<tvk::IDapTransport> inner) : FInner(std::move(inner)) {}

  void FailOnce(Predicate when, bool reachesPort) {
    FFailWhen = std::move(when);
    FFailAfter = reachesPort;
  }
  bool AccessScan(std::uint32_t instruction, std::uint32_t address, bool read, std::uint32_t value,
                  tvk::TDapScanAnswer& answer) override {
    const Scan scan{instruction, address & 0xC, read, read ? 0 : value};
    Log.push_back(scan);
    if (FFailWhen && FFailWhen(scan)) {
      FFailWhen = nullptr;
      if (FFailAfter) FInner->AccessScan(instruction, address, read, value, answer);
      return false;
    }
    return FInner->AccessScan(instruction, address, read, value, answer);
  }
  bool InstructionScan(std::uint32_t instruction) override {
    Log.push_back({instruction, 0, false, 0, true});
    return FInner->InstructionScan(instruction);
  }

  std::vector<Scan> Log;

private:
  std::unique_ptr<tvk::IDapTransport> FInner;
  Predicate FFailWhen;
  bool FFailAfter = false;
};

// What the driver levels would do around the core, kept to what it asks; it
// is also the driver that the debug manager and the comparators reach.
class LevelsStandIn : public tvk::ICortexM3Levels, public tvk::ICortexM3BreakpointDriver {
public:
  LevelsStandIn(tvk::ITovikDevice& device, tvk::TADIv5Engine& engine) : FDevice(device), FEngine(engine) {}

  tvk::TCortexM3Core* Core = nullptr;
  tvk::ICortexM3Jlink* JlinkBinding = nullptr;
  tvk::ComRef<tvk::TDeviceDebugManager> Manager{tvk::New<tvk::TDeviceDebugManager>(*this)};
  struct InitialValue {
    std::wstring Name;
    std::uint32_t Address, Value;
    std::int64_t Width;
  };
  std::vector<InitialValue> InitialValues;
  int ChannelOpens = 0, ChannelCloses = 0, TransactionBegins = 0, TransactionEnds = 0;
  std::vector<std::string> LevelCalls;  // the ARMv7-M soft-breakpoint operations reached

  // ARMv7-M caches.
  bool Saved = false, Thumb = false, BigEndian = true;
  std::uint32_t SavedPc = 0xFFFFFFFF, SavedXpsr = 0;

  // ---- ICortexM3Levels
  tvk::IJTagChannel JTagChannel() override { return FDevice.GetJTagChannel(); }
  void OpenChannel() override { ++ChannelOpens; }
  void CloseChannel() override { ++ChannelCloses; }
  void TransactionBegin() override { ++TransactionBegins; }
  void TransactionEnd() override { ++TransactionEnds; }

  tvk::IDeviceDebugManager DebugManager() override { return tvk::IDeviceDebugManager(Manager.Get()); }
  tvk::ICortexM3BreakpointDriver& BreakpointDriver() override { return *this; }
  tvk::ICortexM3Jlink* Jlink() override { return JlinkBinding; }

  std::uint32_t ReadRegister(std::int32_t number) override {
    const std::uint32_t value = Core->ReadCoreRegister(number);
    if (number == tvk::cortexm3::REG_PC) SavedPc = value;
    if (number == tvk::cortexm3::REG_XPSR) SavedXpsr = value;
    return value;
  }
  void WriteRegister(std::int32_t number, std::uint32_t value) override { Core->WriteCoreRegister(number, value); }
  void ARMv7MSaveState() override {}
  void RestoreState() override { Saved = false; }
  void ClearState() override { Saved = false; }
  void ARMv7MInitWatchPoints() override {}
  std::uint32_t ARMv7MAddSoftBreakpoint(std::int32_t, std::int64_t) override {
    LevelCalls.push_back("AddSoftBreakpoint");
    return 0xBF00;
  }
  bool ARMv7MRemoveSoftBreakpoint(std::int32_t, std::int64_t, std::uint32_t) override {
    LevelCalls.push_back("RemoveSoftBreakpoint");
    return true;
  }
  // The ARM base's reset (registers, then the memory initialisation in the
  // channel), then the saved PC cleared.
  void ARMv7MResetProcessor() override {
    Core->ResetTovikRegisters();
    OpenChannel();
    Core->InitializeMemory();
    CloseChannel();
    SavedPc = 0;
  }
  bool StateSaved() override { return Saved; }
  void SetStateSaved(bool saved) override { Saved = saved; }
  void SetThumbState() override { Thumb = true; }
  void SetBigEndian(bool bigEndian) override { BigEndian = bigEndian; }
  std::uint32_t SavedPC() override { return SavedPc; }
  void ForEachInitialValue(const TInitialValueVisitor& visit) override {
    for (const auto& v : InitialValues) visit(v.Name, v.Address, v.Value, v.Width);
  }

  // ---- ICortexM3BreakpointDriver
  tvk::ITovikDevice GetTovikDevice() override { return FDevice; }
  std::uint32_t AddSoftBreakpoint(std::int32_t space, std::int64_t address) override {
    return Core->AddSoftBreakpoint(space, address);
  }
  bool RemoveSoftBreakpoint(std::int32_t space, std::int64_t address, std::uint32_t replaced) override {
    return Core->RemoveSoftBreakpoint(space, address, replaced);
  }
  bool MemoryRead(std::int32_t space, std::uint32_t* cells, std::int64_t address, std::int32_t count) override {
    for (std::int32_t k = 0; space == 0 && k < count; ++k) cells[k] = Core->ReadMemory_Byte(std::uint32_t(address + k));
    return space == 0;
  }
  bool MemoryWrite(std::int32_t space, const std::uint32_t* cells, std::int64_t address, std::int32_t count) override {
    for (std::int32_t k = 0; space == 0 && k < count; ++k) Core->WriteMemory_Byte(std::uint32_t(address + k), cells[k]);
    return space == 0;
  }
  void OpenJtagChannel() override { OpenChannel(); }
  void CloseJtagChannel() override { CloseChannel(); }
  bool WriteWordChecked(std::uint32_t address, std::uint32_t value) override {
    return FEngine.WriteWordChecked(address, value);
  }

  // The manager's free and lent hardware breakpoints.
  std::int32_t HardBreakpointCount() {
    std::int32_t count = 0;
    EXPECT_EQ(S_OK, Manager->GetHardBreakpointCount(count));
    return count;
  }

private:
  tvk::ITovikDevice& FDevice;
  tvk::TADIv5Engine& FEngine;
};

// Dialogs shown through the seam, as "caption:text".
inline std::vector<std::wstring>& Dialogs() {
  static std::vector<std::wstring> shown;
  return shown;
}

inline int AnswerDialog(HWND, const std::wstring& text, const std::wstring& caption, UINT) {
  Dialogs().push_back(caption + L":" + text);
  return IDOK;
}

// A program in flash, entered through the vector table:
//   0x08000008  MOVS R0,#0
//   0x0800000A  ADDS R0,#1     <- loop
//   0x0800000C  B    loop
constexpr std::uint32_t kProgram = 0x08000008, kLoop = 0x0800000A, kBranch = 0x0800000C;

// One simulated board with the core on it.
class Rig {
public:
  explicit Rig(const SimChipConfig& config = SimChipConfig::Stm32F103()) : Board(SimBoard::Stm32F103BehindBypass(config)) {
    tvk::DispatchFixStartup();
    Chip.LoadWords(kFlash, {kInitialSp, kResetVector});
    Chip.LoadHalfwords(kProgram, {0x2000, 0x3001, 0xE7FD});
    Chip.PowerOnReset();
    Levels.Core = &Core;
  }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;
  ~Rig() {
    for (const auto& e : Board->ProtocolErrors()) ADD_FAILURE() << std::string(e.begin(), e.end());
  }

  // The scans logged since the last call.
  std::vector<Scan> TakeScans() { return std::exchange(Transport->Log, {}); }

  // Initialised at the first status query, then reset: halted at the reset vector.
  void InitialiseAndReset() {
    ASSERT_FALSE(Core.ProcessorIsPaused());  // running from power-on
    ASSERT_TRUE(Core.Initialized());
    Core.ResetProcessor();
    ASSERT_TRUE(Chip.Halted());
    ASSERT_EQ(kProgram, Chip.CoreRegisterValue(cm3::REG_PC));
    TakeScans();
  }

  std::unique_ptr<SimBoard> Board;
  SimJtagDp& Dp = Board->Dp();
  SimCortexM3& Chip = Board->Chip();
  tvk::ITovikDevice Device{Board->DeviceDispatch()};
  std::vector<std::wstring> LogLines;
  std::vector<unsigned> Waits;
  ScriptedTransport* Transport = nullptr;
  std::unique_ptr<tvk::TADIv5Engine> Engine = MakeEngine();
  LevelsStandIn Levels{Device, *Engine};
  tvk::TCortexM3Core Core{*Engine, Levels};

private:
  std::unique_ptr<tvk::TADIv5Engine> MakeEngine() {
    auto channel = std::make_unique<tvk::TJTagChannelDapTransport>([this] { return Device; });
    auto scripted = std::make_unique<ScriptedTransport>(std::move(channel));
    Transport = scripted.get();
    tvk::TADIv5Hooks hooks;
    hooks.Log = [this](tvk::TDapLogKind, const std::wstring& text) { LogLines.push_back(text); };
    hooks.Wait = [this](unsigned ms) { Waits.push_back(ms); };
    return std::make_unique<tvk::TADIv5Engine>(std::move(scripted), std::move(hooks));
  }
};

// Dialogs are answered through the seam and noted.
class CortexM3Test : public ::testing::Test, protected Rig {
protected:
  CortexM3Test() {
    Dialogs().clear();
    FOldDialogHandler = tvk::SetDialogHandler(&AnswerDialog);
  }
  ~CortexM3Test() override { tvk::SetDialogHandler(FOldDialogHandler); }

private:
  tvk::TDialogHandler FOldDialogHandler = nullptr;
};

}  // namespace cortexm3_test
