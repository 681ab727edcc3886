#include "Tovik.ARM.CortexM3.h"

#include "Files.h"
#include "Tovik.Utils.h"
#include "ZUL.Util.h"

#include <cwchar>
#include <iterator>
#include <utility>
#include <vector>

namespace tvk {

using namespace cortexm3;

namespace cortexm3 {

std::optional<uint32_t> DcrsrSelector(int32_t number) {
  struct Special {
    int32_t Number;
    uint32_t Selector;
  };
  static constexpr Special kSpecial[] = {{REG_XPSR, 16}, {REG_CFBP, 20}, {REG_MSP, 17}, {REG_PSP, 18}};
  if (number >= 0 && number <= REG_PC) return uint32_t(number);
  for (const Special& s : kSpecial)
    if (s.Number == number) return s.Selector;
  return std::nullopt;
}

}  // namespace cortexm3

namespace {

template <class Body>
auto InChannel(ICortexM3Levels& levels, Body body) {
  return Bracketed([&] { levels.OpenChannel(); }, [&] { levels.CloseChannel(); }, body);
}

template <class Body>
auto InTransaction(ICortexM3Levels& levels, Body body) {
  return Bracketed([&] { levels.TransactionBegin(); }, [&] { levels.TransactionEnd(); }, body);
}

}  // namespace

// ---- path choice ------------------------------------------------------------

ICortexM3Jlink* TCortexM3Core::ActiveJlink() { return ActiveJlink(FLevels.JTagChannel()); }

ICortexM3Jlink* TCortexM3Core::ActiveJlink(const IJTagChannel& channel) {
  ICortexM3Jlink* jlink = FLevels.Jlink();
  if (!jlink) return nullptr;
  bool open = false;
  CheckResult(jlink->ARM_IsOpen(channel, open));
  return open ? jlink : nullptr;
}

bool TCortexM3Core::JlinkActive() { return ActiveJlink() != nullptr; }

void TCortexM3Core::Log(const WideString& text) {
  if (FAdi.Hooks().Log) FAdi.Hooks().Log(TDapLogKind::Debug, text);
}

// ---- set-up -------------------------------------------------------------------

void TCortexM3Core::InitializeCore() {
  const IJTagChannel channel = FLevels.JTagChannel();
  if (ICortexM3Jlink* jlink = ActiveJlink(channel)) {
    // Without a device on a chain (at construction) the empty channel matches
    // any probe's port: nothing is set up yet, or the probe of another chain
    // would lend this driver its breakpoint units.
    if (!FJlinkInitialized && channel) {
      bool initialized = false;
      CheckResult(jlink->ARM_Initialize(FLevels.DebugManager(), initialized));
      FJlinkInitialized = initialized;
    }
    return;
  }
  if (FInitialized || FTargetNotResponding || !channel) return;

  FAdi.InitializeCore();
  if (!FAdi.PowerUpDebugPort()) {
    // Flagged before the dialog: a status query from a timer while it is up
    // must not show a second one. Nothing is tried again until a reset.
    FTargetNotResponding = true;
    ShowErrorMessage(L"Target is not responding.");
    return;
  }

  // A failed read leaves the core uninitialised; the next status query tries again.
  uint32_t cpuid = 0;
  if (!FAdi.ReadWordChecked(CPUID, cpuid)) return;
  if (FAdi.Hooks().Log) {
    wchar_t text[64];
    if (((cpuid >> 4) & CPUID_PARTNO_MASK) == CPUID_PARTNO_CORTEX_M3) {
      std::swprintf(text, std::size(text), L"Cortex-M3 r%d p%d processor detected", int((cpuid >> 20) & 0xF),
                    int(cpuid & 0xF));
      Log(text);
    }
    std::swprintf(text, std::size(text), L"cpuid %x", cpuid);
    Log(text);
  }

  uint32_t fpCtrl = 0;
  if (!FAdi.ReadWordChecked(FP_CTRL, fpCtrl)) return;
  FFpNumCode = int32_t(((fpCtrl >> 8) & 0x70) | ((fpCtrl >> 4) & 0xF));  // NUM_CODE2:NUM_CODE1
  FFpNumLit = int32_t((fpCtrl >> 8) & 0xF);
  FFpEnabled = (fpCtrl & FP_CTRL_ENABLE) != 0;
  if (!FFpEnabled && !FAdi.WriteWordChecked(FP_CTRL, FP_CTRL_KEY | FP_CTRL_ENABLE)) return;
  if (!FAdi.ReadWordChecked(FP_CTRL, fpCtrl)) return;
  FFpEnabled = (fpCtrl & FP_CTRL_ENABLE) != 0;

  uint32_t dwtCtrl = 0;
  if (!FAdi.ReadWordChecked(DWT_CTRL, dwtCtrl)) return;
  FDwtNumComp = int32_t(dwtCtrl >> 28);

  InitWatchPoints();
  FInitialized = true;
}

void TCortexM3Core::InitWatchPoints() {
  FLevels.ARMv7MInitWatchPoints();
  FComparators.Register(FLevels.BreakpointDriver(), FLevels.DebugManager(), FFpNumCode);
}

// ---- core registers -------------------------------------------------------------

uint32_t TCortexM3Core::ReadDebugCoreRegister(uint32_t selector) {
  // DCRSR and DCRDR sit in the banked block of DHCSR: one TAR for all.
  uint32_t kept = 0, value = 0;
  if (!FAdi.ReadWordBanked(DCRDR, kept)) return 0;  // nothing known to put back
  if (FAdi.WriteWordBanked(DCRSR, selector) && FAdi.ReadWordBanked(DCRDR, value) && FAdi.CheckDebugPortStatus())
    return value;
  FAdi.WriteWordChecked(DCRDR, kept);
  return 0;
}

void TCortexM3Core::WriteDebugCoreRegister(uint32_t selector, uint32_t value) {
  uint32_t kept = 0;
  if (!FAdi.ReadWordBanked(DCRDR, kept)) return;
  if (FAdi.WriteWordBanked(DCRDR, value) && FAdi.WriteWordBanked(DCRSR, selector | DCRSR_REGWNR) &&
      FAdi.CheckDebugPortStatus())
    return;
  FAdi.WriteWordChecked(DCRDR, kept);
}

uint32_t TCortexM3Core::ReadCoreRegister(int32_t number) {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    uint32_t value = 0;
    CheckResult(jlink->ARM_ReadRegister(number, value));
    return value;
  }
  const std::optional<uint32_t> selector = DcrsrSelector(number);
  return selector ? ReadDebugCoreRegister(*selector) : 0;
}

void TCortexM3Core::WriteCoreRegister(int32_t number, uint32_t value) {
  if (number == REG_PC) value &= ~1u;  // the Thumb bit is no address bit
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_WriteRegister(number, value));
    return;
  }
  if (const std::optional<uint32_t> selector = DcrsrSelector(number)) WriteDebugCoreRegister(*selector, value);
}

// ---- memory ---------------------------------------------------------------------------

// One memory access: through the probe when its path is active, else through the debug port.
uint32_t TCortexM3Core::ReadThrough(HRESULT (ICortexM3Jlink::*probe)(int64_t, uint32_t&),
                                   uint32_t (TADIv5Engine::*port)(uint32_t), uint32_t address) {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    uint32_t value = 0;
    CheckResult((jlink->*probe)(address, value));
    return value;
  }
  return (FAdi.*port)(address);
}

void TCortexM3Core::WriteThrough(HRESULT (ICortexM3Jlink::*probe)(int64_t, uint32_t),
                                 void (TADIv5Engine::*port)(uint32_t, uint32_t), uint32_t address, uint32_t value) {
  if (ICortexM3Jlink* jlink = ActiveJlink()) CheckResult((jlink->*probe)(address, value));
  else (FAdi.*port)(address, value);
}

uint32_t TCortexM3Core::ReadMemory_Byte(uint32_t address) {
  return ReadThrough(&ICortexM3Jlink::ARM_ReadByte, &TADIv5Engine::ReadMemByte, address);
}

uint32_t TCortexM3Core::ReadMemory_HalfWord(uint32_t address) {
  return ReadThrough(&ICortexM3Jlink::ARM_ReadHalfWord, &TADIv5Engine::ReadMemHalfWord, address);
}

uint32_t TCortexM3Core::ReadMemory_Word(uint32_t address) {
  return ReadThrough(&ICortexM3Jlink::ARM_ReadWord, &TADIv5Engine::ReadMemWord, address);
}

void TCortexM3Core::WriteMemory_Byte(uint32_t address, uint32_t value) {
  WriteThrough(&ICortexM3Jlink::ARM_WriteByte, &TADIv5Engine::WriteMemByte, address, value);
}

void TCortexM3Core::WriteMemory_HalfWord(uint32_t address, uint32_t value) {
  WriteThrough(&ICortexM3Jlink::ARM_WriteHalfWord, &TADIv5Engine::WriteMemHalfWord, address, value);
}

void TCortexM3Core::WriteMemory_Word(uint32_t address, uint32_t value) {
  WriteThrough(&ICortexM3Jlink::ARM_WriteWord, &TADIv5Engine::WriteMemWord, address, value);
}

bool TCortexM3Core::JlinkBlockTransfer(TJlinkBlock kind, uint32_t* cells, int32_t index, int64_t address,
                                       int32_t count) {
  ICortexM3Jlink* jlink = ActiveJlink();
  if (!jlink) return false;
  switch (kind) {
    case TJlinkBlock::ReadBytes: CheckResult(jlink->ARM_ReadBytes(cells, index, address, count)); break;
    case TJlinkBlock::ReadWords: CheckResult(jlink->ARM_ReadWords(cells, index, address, count)); break;
    case TJlinkBlock::WriteBytes: CheckResult(jlink->ARM_WriteBytes(cells, index, address, count)); break;
    case TJlinkBlock::WriteWords: CheckResult(jlink->ARM_WriteWords(cells, index, address, count)); break;
  }
  return true;
}

// ---- halt state -----------------------------------------------------------------------

void TCortexM3Core::SaveState() {
  if (!FLevels.StateSaved()) FLevels.SetThumbState();
  FLevels.ARMv7MSaveState();
  if (FLevels.StateSaved()) return;
  FLevels.SetStateSaved(true);
  // The ARMv7-M reads keep the PC and the xPSR in its caches.
  FLevels.ReadRegister(REG_PC);
  FLevels.ReadRegister(REG_XPSR);
  if (ActiveJlink()) return;
  uint32_t aircr = 0;
  if (FAdi.ReadWordChecked(AIRCR, aircr)) FLevels.SetBigEndian((aircr & AIRCR_ENDIANNESS) != 0);
}

bool TCortexM3Core::CheckHalted() {
  bool halted = false;
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_IsHalted(halted));
  } else {
    if (!FLevels.JTagChannel()) return false;
    uint32_t dhcsr = 0;
    halted = FAdi.ReadWordChecked(DHCSR, dhcsr) && (dhcsr & S_HALT) != 0;
    if (!halted) FAdi.InstructionScan(HALT_CHECK_INSTRUCTION);
  }
  if (halted) SaveState();
  else FLevels.ClearState();
  return halted;
}

bool TCortexM3Core::WaitHalted() {
  for (unsigned check = 0; check < HALT_CHECKS; ++check)
    if (CheckHalted()) return true;
  return false;
}

// ---- run control ------------------------------------------------------------------------

void TCortexM3Core::PauseProcessor() {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_Halt());
    return;
  }
  InChannel(FLevels, [this] {
    // A core that never shows the halt still counts as paused.
    if (FAdi.WriteWordChecked(DHCSR, DHCSR_HALT_REQUEST)) WaitHalted();
  });
}

void TCortexM3Core::ContinueProcessor() {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_Continue());
    FLevels.RestoreState();
    return;
  }
  InChannel(FLevels, [this] {
    if (FAdi.WriteWordChecked(DHCSR, DHCSR_RUN_REQUEST)) FLevels.RestoreState();
  });
}

void TCortexM3Core::SingleStepProcessor() {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_SingleStep());
    FLevels.RestoreState();
    return;
  }
  InChannel(FLevels, [this] {
    if (CheckHalted() && FAdi.WriteWordChecked(DHCSR, DHCSR_STEP_REQUEST)) {
      FLevels.RestoreState();
      WaitHalted();
    }
  });
}

void TCortexM3Core::ResetProcessor() {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_Reset());
  } else {
    FTargetNotResponding = false;
    // A status check latched by a port that stopped answering would read
    // every later access as 0 for the life of the driver.
    FAdi.ClearStatusCheckGuard();
    FAdi.WriteWordBanked(DEMCR, DEMCR_RESET_CATCH);
    FAdi.WriteWordChecked(AIRCR, AIRCR_CORE_RESET);
  }
  FLevels.ARMv7MResetProcessor();
}

void TCortexM3Core::ResetTovikRegisters() {
  if (ICortexM3Jlink* jlink = ActiveJlink()) {
    CheckResult(jlink->ARM_ResetRegisters());
    return;
  }
  // No clean-up on error: a failure ends the operation before the channel closes.
  FLevels.OpenChannel();
  PauseProcessor();
  for (int32_t n = 0; n < REG_PC; ++n)
    if (n != REG_SP) FLevels.WriteRegister(n, 0);
  WriteCoreRegister(REG_XPSR, XPSR_THUMB);
  WriteCoreRegister(REG_PC, ReadMemory_Word(VECTOR_RESET) & ~1u);
  WriteCoreRegister(REG_SP, ReadMemory_Word(VECTOR_INITIAL_SP) & ~3u);
  FLevels.CloseChannel();
}

bool TCortexM3Core::ProcessorIsPaused() {
  return InChannel(FLevels, [this] {
    InitializeCore();
    return CheckHalted();
  });
}

bool TCortexM3Core::ProcessorIsReset() {
  return InChannel(FLevels, [this] {
    const bool halted = CheckHalted();  // may read the PC into the saved one
    return halted && FLevels.SavedPC() == 0;
  });
}

uint32_t TCortexM3Core::AddSoftBreakpoint(int32_t space, int64_t address) {
  return InTransaction(FLevels, [&]() -> uint32_t {
    if (ICortexM3Jlink* jlink = ActiveJlink()) {
      uint32_t handle = 0;
      CheckResult(jlink->ARM_AddBreakpoint(address, handle));
      return handle;
    }
    return space == 0 ? FLevels.ARMv7MAddSoftBreakpoint(space, address) : 0;
  });
}

bool TCortexM3Core::RemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced) {
  return InTransaction(FLevels, [&]() -> bool {
    if (ICortexM3Jlink* jlink = ActiveJlink()) {
      bool removed = false;
      CheckResult(jlink->ARM_RemoveBreakpoint(address, removed));
      return removed;
    }
    return space == 0 && FLevels.ARMv7MRemoveSoftBreakpoint(space, address, replaced);
  });
}

// ---- memory initialisation ---------------------------------------------------------

void TCortexM3Core::InitializeMemory() {
  struct FirstValue {
    WideString Name;
    uint32_t Value;
  };
  std::vector<FirstValue> firsts;
  FLevels.ForEachInitialValue([&](const WideString& name, uint32_t address, uint32_t value, int64_t width) {
    bool repeated = false;
    for (const FirstValue& first : firsts)
      if (SameTextIgnoringCase(first.Name, name)) {
        value |= first.Value;
        repeated = true;
        break;
      }
    if (!repeated) firsts.push_back({name, value});
    switch (width) {
      case 4: WriteMemory_Word(address, value); break;
      case 2: WriteMemory_HalfWord(address, value); break;
      case 1: WriteMemory_Byte(address, value & 0xFF); break;
      default: break;  // no other width is written
    }
  });
}

}  // namespace tvk
