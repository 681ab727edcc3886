#pragma once
// A simulated Cortex-M3 microcontroller as a debugger sees it: flash, SRAM,
// the system control space with the core debug registers, the flash patch and
// breakpoint unit (FPB), the data watchpoint unit (DWT) and a core that
// resets from its vector table, halts, steps and runs.
//
// The core interprets a small 16-bit Thumb subset, enough to run test
// programs to a breakpoint:
//   NOP (BF00; other hints too), B (E000-E7FF), B<cond> (D000-DDFF),
//   MOVS Rd,#imm8 (2000), CMP Rn,#imm8 (2800), ADDS Rdn,#imm8 (3000),
//   SUBS Rdn,#imm8 (3800), LDR Rt,[PC,#imm8*4] (4800),
//   STR/LDR Rt,[Rn,#imm5*4] (6000/6800), BKPT #imm8 (BE00).
// Anything else is a fault. There are no exceptions or interrupts: a fault
// halts the core (vector catch) when debug is enabled and VC_HARDERR is set,
// and locks it up otherwise (S_LOCKUP) until a halt request or a reset.
// A running core executes a bounded number of instructions each time the
// debugger reads DHCSR (its poll), so polling makes progress.
//
// Memory map: flash at FlashBase (aliased at 0 when booting from flash; read
// only through the debug port, writes are ignored), SRAM at SramBase, the
// system control space 0xE000E000-0xE000EFFF (unlisted registers read as zero
// and ignore writes), DWT at 0xE0001000, FPB at 0xE0002000. Every other
// address is a bus error (sticky error at the debug port). Registers of the
// private peripheral bus take word writes only.
#include "SimJtagDp.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hostsim {

namespace cm3 {
// System control space.
constexpr std::uint32_t CPUID = 0xE000ED00;
constexpr std::uint32_t ICSR = 0xE000ED04;
constexpr std::uint32_t VTOR = 0xE000ED08;
constexpr std::uint32_t AIRCR = 0xE000ED0C;
constexpr std::uint32_t DFSR = 0xE000ED30;
constexpr std::uint32_t DHCSR = 0xE000EDF0;
constexpr std::uint32_t DCRSR = 0xE000EDF4;
constexpr std::uint32_t DCRDR = 0xE000EDF8;
constexpr std::uint32_t DEMCR = 0xE000EDFC;
constexpr std::uint32_t SCS_BASE = 0xE000E000, SCS_END = 0xE000F000;

// Flash patch and breakpoint unit: 6 code and 2 literal comparators.
constexpr std::uint32_t FP_CTRL = 0xE0002000;
constexpr std::uint32_t FP_REMAP = 0xE0002004;
constexpr std::uint32_t FP_COMP0 = 0xE0002008;
constexpr unsigned FP_NUM_CODE = 6, FP_NUM_LIT = 2;
constexpr std::uint32_t FPB_BASE = 0xE0002000, FPB_END = 0xE0003000;

// Data watchpoint and trace unit: 4 comparators.
constexpr std::uint32_t DWT_CTRL = 0xE0001000;
constexpr std::uint32_t DWT_CYCCNT = 0xE0001004;
constexpr std::uint32_t DWT_COMP0 = 0xE0001020;  // then MASK at +4, FUNCTION at +8, every 16 bytes
constexpr unsigned DWT_NUM_COMP = 4;
constexpr std::uint32_t DWT_BASE = 0xE0001000, DWT_END = 0xE0002000;

// DHCSR.
constexpr std::uint32_t DBGKEY = 0xA05F0000;
constexpr std::uint32_t C_DEBUGEN = 1u << 0;
constexpr std::uint32_t C_HALT = 1u << 1;
constexpr std::uint32_t C_STEP = 1u << 2;
constexpr std::uint32_t C_MASKINTS = 1u << 3;
constexpr std::uint32_t C_SNAPSTALL = 1u << 5;
constexpr std::uint32_t S_REGRDY = 1u << 16;
constexpr std::uint32_t S_HALT = 1u << 17;
constexpr std::uint32_t S_SLEEP = 1u << 18;
constexpr std::uint32_t S_LOCKUP = 1u << 19;
constexpr std::uint32_t S_RETIRE_ST = 1u << 24;  // an instruction retired since the last read
constexpr std::uint32_t S_RESET_ST = 1u << 25;   // the core was reset since the last read

// DCRSR.
constexpr std::uint32_t DCRSR_REGSEL = 0x1F;
constexpr std::uint32_t DCRSR_REGWNR = 1u << 16;

// DEMCR.
constexpr std::uint32_t VC_CORERESET = 1u << 0;
constexpr std::uint32_t VC_BUSERR = 1u << 8;
constexpr std::uint32_t VC_HARDERR = 1u << 10;
constexpr std::uint32_t TRCENA = 1u << 24;
constexpr std::uint32_t DEMCR_WRITABLE = 0x010F07F1;

// AIRCR.
constexpr std::uint32_t VECTKEY = 0x05FA0000;
constexpr std::uint32_t VECTKEYSTAT = 0xFA050000;
constexpr std::uint32_t VECTRESET = 1u << 0;
constexpr std::uint32_t VECTCLRACTIVE = 1u << 1;
constexpr std::uint32_t SYSRESETREQ = 1u << 2;
constexpr std::uint32_t PRIGROUP = 7u << 8;
constexpr std::uint32_t ENDIANNESS = 1u << 15;

// DFSR: why the core halted.
constexpr std::uint32_t DFSR_HALTED = 1u << 0;
constexpr std::uint32_t DFSR_BKPT = 1u << 1;
constexpr std::uint32_t DFSR_DWTTRAP = 1u << 2;
constexpr std::uint32_t DFSR_VCATCH = 1u << 3;
constexpr std::uint32_t DFSR_EXTERNAL = 1u << 4;

// FP_CTRL and FP_COMPn.
constexpr std::uint32_t FP_ENABLE = 1u << 0;
constexpr std::uint32_t FP_KEY = 1u << 1;
constexpr std::uint32_t FP_COMP_ENABLE = 1u << 0;
constexpr std::uint32_t FP_COMP_ADDRESS = 0x1FFFFFFC;
constexpr std::uint32_t FP_REPLACE = 3u << 30;
constexpr std::uint32_t FP_REPLACE_LOWER = 1u << 30;  // breakpoint on the lower halfword
constexpr std::uint32_t FP_REPLACE_UPPER = 2u << 30;  // breakpoint on the upper halfword

// DWT_CTRL.
constexpr std::uint32_t DWT_CYCCNTENA = 1u << 0;

// xPSR.
constexpr std::uint32_t XPSR_N = 1u << 31, XPSR_Z = 1u << 30, XPSR_C = 1u << 29, XPSR_V = 1u << 28;
constexpr std::uint32_t XPSR_T = 1u << 24;

// Core register selectors of DCRSR.
enum CoreRegister : unsigned {
  REG_R0 = 0,
  REG_SP = 13,  // the current stack pointer (MSP unless CONTROL.SPSEL)
  REG_LR = 14,
  REG_PC = 15,  // debug return address
  REG_XPSR = 16,
  REG_MSP = 17,
  REG_PSP = 18,
  REG_SPECIAL = 20,  // CONTROL[31:24], FAULTMASK[23:16], BASEPRI[15:8], PRIMASK[7:0]
};

// Cortex-M3 r1p1.
constexpr std::uint32_t CPUID_R1P1 = 0x411FC231;
}  // namespace cm3

struct SimChipConfig {
  std::wstring DeviceName = L"STM32F103RB";
  std::wstring FamilyName = L"STM32F103";
  std::uint32_t Idcode = 0x3BA00477;  // the JTAG-DP's identification
  std::uint32_t Cpuid = cm3::CPUID_R1P1;
  std::uint32_t FlashBase = 0x08000000, FlashSize = 128 * 1024;
  bool FlashAliasAtZero = true;  // booting from main flash
  std::uint32_t SramBase = 0x20000000, SramSize = 20 * 1024;

  static SimChipConfig Stm32F103() { return {}; }
  // 1 MB of flash in STM32F2 sectors, 128 KB of SRAM.
  static SimChipConfig Stm32F207() {
    SimChipConfig c;
    c.DeviceName = L"STM32F207ZG";
    c.FamilyName = L"STM32F207";
    c.FlashSize = 1024 * 1024;
    c.SramSize = 128 * 1024;
    return c;
  }
  // 128 KB of program flash (the data EEPROM is a bank of its flash layout), 16 KB of SRAM.
  static SimChipConfig Stm32L152() {
    SimChipConfig c;
    c.DeviceName = L"STM32L152RB";
    c.FamilyName = L"STM32L152";
    c.SramSize = 16 * 1024;
    return c;
  }
};

// Why a running core last stopped.
enum class SimStop { None, HaltRequest, Step, BkptInstruction, Comparator, VectorCatch, Lockup };

class SimCortexM3;

// Code the chip carries out natively where the core would interpret it (the
// stand-in flash programs): Step runs before each instruction and answers
// true when it took the core's step itself.
class SimNativeCode {
public:
  virtual bool Step(SimCortexM3& chip) = 0;

protected:
  ~SimNativeCode() = default;
};

class SimCortexM3 : public SimBusTarget {
public:
  explicit SimCortexM3(const SimChipConfig& config);

  const SimChipConfig& Config() const { return FConfig; }

  // Back door for set-up and inspection: flash or SRAM bytes, no bus rules.
  bool Load(std::uint32_t address, std::span<const std::uint8_t> bytes);
  bool LoadWords(std::uint32_t address, std::initializer_list<std::uint32_t> words);
  bool LoadHalfwords(std::uint32_t address, std::initializer_list<std::uint16_t> halfwords);
  bool Peek(std::uint32_t address, std::span<std::uint8_t> out) const;
  std::optional<std::uint32_t> PeekWord(std::uint32_t address) const;

  // Resets: power-on (debug state too), system (SYSRESETREQ: the debug units
  // keep their settings), core (VECTRESET). SP and PC come from the vector
  // table at VTOR; R0-R12 keep their values (architecturally unknown).
  void PowerOnReset();
  void SystemReset() { ResetCore(true); }
  void CoreReset() { ResetCore(false); }

  // Runs up to `count` instructions while the core runs; answers how many ran.
  unsigned Advance(unsigned count);
  void SetInstructionsPerPoll(unsigned count) { FInstructionsPerPoll = count; }

  // How the core answers a halt request (C_HALT written to DHCSR): at once
  // (0, the default), at the n-th DHCSR read by the debugger after it, or
  // never (kNever). It runs on meanwhile; breakpoints, steps and vector
  // catch halt it as ever, and a run request or a reset cancels the request.
  static constexpr unsigned kNever = ~0u;
  void SetHaltDelay(unsigned dhcsrReads) { FHaltDelay = dhcsrReads; }
  bool HaltPending() const { return FHaltReadsLeft != 0; }

  // Core state.
  bool Halted() const { return FHalted; }
  bool LockedUp() const { return FLockup; }
  SimStop LastStop() const { return FLastStop; }
  std::uint32_t CoreRegisterValue(unsigned selector) const;
  void SetCoreRegisterValue(unsigned selector, std::uint32_t value);
  std::uint64_t Retired() const { return FRetired; }
  // Debug registers as stored (no read side effects).
  std::uint32_t DhcsrValue() const;
  std::uint32_t Dfsr() const { return FDfsr; }
  std::uint32_t Demcr() const { return FDemcr; }
  std::uint32_t Dcrdr() const { return FDcrdr; }
  bool FpEnabled() const { return FFpEnabled; }
  std::uint32_t FpComparator(unsigned n) const { return FFpComp.at(n); }
  std::uint64_t Resets() const { return FResets; }

  // Native code before each instruction (not owned; null: none).
  void SetNativeCode(SimNativeCode* code) { FNativeCode = code; }
  // A memory bank beyond flash and SRAM (a data EEPROM, external flash):
  // read-only to the bus like flash; the back door (Load) changes it.
  void AddReadOnlyBank(std::uint32_t base, std::uint32_t size, std::uint8_t fill);
  // Stops the running core as a BKPT instruction does.
  void HaltAtBreakpoint();

  // Seen through the MEM-AP.
  bool DapRead(std::uint32_t address, unsigned size, std::uint32_t& word) override;
  bool DapWrite(std::uint32_t address, unsigned size, std::uint32_t word) override;

private:
  std::uint8_t* Memory(std::uint32_t address, bool* writable);
  const std::uint8_t* Memory(std::uint32_t address) const;
  bool BusRead(std::uint32_t address, std::uint32_t& word, bool fromDebugger);
  bool BusWrite(std::uint32_t address, unsigned size, std::uint32_t word, bool fromDebugger);
  bool PpbRead(std::uint32_t address, std::uint32_t& word, bool fromDebugger);
  bool PpbWrite(std::uint32_t address, std::uint32_t word, bool fromDebugger);
  bool ReadData(std::uint32_t address, std::uint32_t& value);
  bool WriteData(std::uint32_t address, std::uint32_t value);

  void ResetCore(bool system);
  void WriteDhcsr(std::uint32_t value);
  void WriteDcrsr(std::uint32_t value);
  void WriteAircr(std::uint32_t value);
  void EnterDebug(std::uint32_t reason, SimStop stop);
  void Fault();
  bool ComparatorHit(std::uint32_t pc) const;
  bool ExecuteOne();
  void SetFlagsNZ(std::uint32_t result);
  std::uint32_t AddWithCarry(std::uint32_t a, std::uint32_t b, bool carry);
  bool ConditionHolds(unsigned cond) const;
  std::uint32_t& Sp();

  SimChipConfig FConfig;
  std::vector<std::uint8_t> FFlash, FSram;
  struct Bank {
    std::uint32_t Base;
    std::vector<std::uint8_t> Bytes;
  };
  std::vector<Bank> FBanks;  // read-only banks besides flash
  SimNativeCode* FNativeCode = nullptr;

  // Core.
  std::array<std::uint32_t, 13> FR{};
  std::uint32_t FLr = 0xFFFFFFFF, FPc = 0, FXpsr = cm3::XPSR_T, FMsp = 0, FPsp = 0;
  std::uint8_t FControl = 0, FFaultMask = 0, FBasePri = 0, FPriMask = 0;
  bool FHalted = false, FLockup = false;
  SimStop FLastStop = SimStop::None;
  std::uint64_t FRetired = 0, FResets = 0;
  unsigned FInstructionsPerPoll = 32;
  unsigned FHaltDelay = 0;      // DHCSR reads before a halt request takes effect (kNever: none)
  unsigned FHaltReadsLeft = 0;  // of the request waiting; 0: none waits

  // Debug and system registers.
  std::uint32_t FDhcsrControl = 0;  // C_* bits
  bool FRegReady = true, FRetireSticky = false, FResetSticky = false;
  std::uint32_t FDcrdr = 0, FDemcr = 0, FDfsr = 0, FVtor = 0, FPriGroup = 0;
  bool FFpEnabled = false;
  std::uint32_t FFpRemap = 0;
  std::array<std::uint32_t, cm3::FP_NUM_CODE + cm3::FP_NUM_LIT> FFpComp{};
  std::uint32_t FDwtCtrl = 0, FDwtCyccnt = 0;
  std::array<std::uint32_t, cm3::DWT_NUM_COMP * 3> FDwtComp{};  // COMP, MASK, FUNCTION per comparator
};

}  // namespace hostsim
