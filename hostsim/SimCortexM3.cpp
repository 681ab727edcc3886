#include "SimCortexM3.h"

namespace hostsim {

using namespace cm3;

namespace {
constexpr std::uint32_t kCodeRegionEnd = 0x20000000;  // the FPB matches below this only
constexpr std::uint32_t kDhcsrControlBits = C_DEBUGEN | C_HALT | C_STEP | C_MASKINTS | C_SNAPSTALL;
constexpr std::uint32_t kXpsrBits = 0xFF00FDFF;  // APSR, EPSR and IPSR fields
constexpr std::uint32_t kVtorBits = 0x3FFFFF80;

std::uint32_t SignExtend(std::uint32_t value, unsigned bits) {
  const std::uint32_t sign = 1u << (bits - 1);
  return (value ^ sign) - sign;
}

bool InRange(std::uint32_t a, std::uint32_t base, std::uint32_t end) { return a >= base && a < end; }
}  // namespace

SimCortexM3::SimCortexM3(const SimChipConfig& config)
    : FConfig(config), FFlash(config.FlashSize, 0xFF), FSram(config.SramSize, 0) {
  PowerOnReset();
}

// ---- memory ---------------------------------------------------------------

std::uint8_t* SimCortexM3::Memory(std::uint32_t a, bool* writable) {
  *writable = false;
  if (a - FConfig.FlashBase < FConfig.FlashSize) return &FFlash[a - FConfig.FlashBase];
  if (FConfig.FlashAliasAtZero && a < FConfig.FlashSize) return &FFlash[a];
  if (a - FConfig.SramBase < FConfig.SramSize) {
    *writable = true;
    return &FSram[a - FConfig.SramBase];
  }
  for (Bank& bank : FBanks)
    if (a - bank.Base < bank.Bytes.size()) return &bank.Bytes[a - bank.Base];
  return nullptr;
}

void SimCortexM3::AddReadOnlyBank(std::uint32_t base, std::uint32_t size, std::uint8_t fill) {
  FBanks.push_back({base, std::vector<std::uint8_t>(size, fill)});
}

const std::uint8_t* SimCortexM3::Memory(std::uint32_t a) const {
  bool writable;
  return const_cast<SimCortexM3*>(this)->Memory(a, &writable);
}

bool SimCortexM3::Load(std::uint32_t address, std::span<const std::uint8_t> bytes) {
  for (std::size_t k = 0; k < bytes.size(); ++k)
    if (!Memory(address + std::uint32_t(k))) return false;
  bool writable;
  for (std::size_t k = 0; k < bytes.size(); ++k) *Memory(address + std::uint32_t(k), &writable) = bytes[k];
  return true;
}

bool SimCortexM3::LoadWords(std::uint32_t address, std::initializer_list<std::uint32_t> words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t w : words)
    for (int k = 0; k < 4; ++k) bytes.push_back(std::uint8_t(w >> (8 * k)));
  return Load(address, bytes);
}

bool SimCortexM3::LoadHalfwords(std::uint32_t address, std::initializer_list<std::uint16_t> halfwords) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t h : halfwords) {
    bytes.push_back(std::uint8_t(h));
    bytes.push_back(std::uint8_t(h >> 8));
  }
  return Load(address, bytes);
}

bool SimCortexM3::Peek(std::uint32_t address, std::span<std::uint8_t> out) const {
  for (std::size_t k = 0; k < out.size(); ++k) {
    const std::uint8_t* p = Memory(address + std::uint32_t(k));
    if (!p) return false;
    out[k] = *p;
  }
  return true;
}

std::optional<std::uint32_t> SimCortexM3::PeekWord(std::uint32_t address) const {
  std::uint8_t b[4];
  if (!Peek(address, b)) return std::nullopt;
  return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

bool SimCortexM3::BusRead(std::uint32_t address, std::uint32_t& word, bool fromDebugger) {
  address &= ~3u;
  if (Memory(address)) {
    word = *PeekWord(address);
    return true;
  }
  return PpbRead(address, word, fromDebugger);
}

bool SimCortexM3::BusWrite(std::uint32_t address, unsigned size, std::uint32_t word, bool fromDebugger) {
  bool writable;
  if (Memory(address, &writable)) {
    if (!writable) return true;  // flash takes no plain writes; they vanish
    for (unsigned k = 0; k < size; ++k) {
      const std::uint32_t a = address + k;
      *Memory(a, &writable) = std::uint8_t(word >> (8 * (a & 3)));
    }
    return true;
  }
  if (!InRange(address, 0xE0000000, 0xE0100000)) return false;
  if (size != 4) return true;  // sub-word writes to registers are ignored
  return PpbWrite(address, word, fromDebugger);
}

bool SimCortexM3::ReadData(std::uint32_t address, std::uint32_t& value) {
  if ((address & 3) == 0) return BusRead(address, value, false);
  value = 0;
  for (unsigned k = 0; k < 4; ++k) {
    std::uint32_t w;
    if (!BusRead(address + k, w, false)) return false;
    value |= ((w >> (8 * ((address + k) & 3))) & 0xFF) << (8 * k);
  }
  return true;
}

bool SimCortexM3::WriteData(std::uint32_t address, std::uint32_t value) {
  if ((address & 3) == 0) return BusWrite(address, 4, value, false);
  for (unsigned k = 0; k < 4; ++k) {
    const std::uint32_t a = address + k;
    if (!BusWrite(a, 1, ((value >> (8 * k)) & 0xFF) << (8 * (a & 3)), false)) return false;
  }
  return true;
}

bool SimCortexM3::DapRead(std::uint32_t address, unsigned, std::uint32_t& word) { return BusRead(address, word, true); }

bool SimCortexM3::DapWrite(std::uint32_t address, unsigned size, std::uint32_t word) {
  return BusWrite(address, size, word, true);
}

// ---- private peripheral bus -----------------------------------------------

bool SimCortexM3::PpbRead(std::uint32_t a, std::uint32_t& w, bool fromDebugger) {
  w = 0;
  if (a == CPUID) w = FConfig.Cpuid;
  else if (a == VTOR) w = FVtor;
  else if (a == AIRCR) w = VECTKEYSTAT | FPriGroup;  // little-endian: ENDIANNESS clear
  else if (a == DFSR) w = FDfsr;
  else if (a == DHCSR) {
    if (fromDebugger) {
      Advance(FInstructionsPerPoll);  // a poll: let the running core make progress
      if (FHaltReadsLeft != 0 && FHaltReadsLeft != kNever && --FHaltReadsLeft == 0 && !FHalted)
        EnterDebug(DFSR_HALTED, SimStop::HaltRequest);
    }
    w = DhcsrValue();
    FRetireSticky = FResetSticky = false;
  } else if (a == DCRDR) w = FDcrdr;
  else if (a == DEMCR) w = FDemcr;
  else if (a == FP_CTRL) w = (FP_NUM_LIT << 8) | (FP_NUM_CODE << 4) | (FFpEnabled ? FP_ENABLE : 0);
  else if (a == FP_REMAP) w = FFpRemap;
  else if (InRange(a, FP_COMP0, FP_COMP0 + 4 * FFpComp.size())) w = FFpComp[(a - FP_COMP0) / 4];
  else if (a == DWT_CTRL) w = (DWT_NUM_COMP << 28) | FDwtCtrl;
  else if (a == DWT_CYCCNT) w = FDwtCyccnt;
  else if (InRange(a, DWT_COMP0, DWT_COMP0 + 16 * DWT_NUM_COMP) && (a & 0xC) != 0xC)
    w = FDwtComp[(a - DWT_COMP0) / 16 * 3 + (a & 0xC) / 4];
  else if (!InRange(a, SCS_BASE, SCS_END) && !InRange(a, DWT_BASE, DWT_END) && !InRange(a, FPB_BASE, FPB_END))
    return false;
  return true;
}

bool SimCortexM3::PpbWrite(std::uint32_t a, std::uint32_t w, bool fromDebugger) {
  if (a == VTOR) FVtor = w & kVtorBits;
  else if (a == AIRCR) WriteAircr(w);
  else if (a == DFSR) FDfsr &= ~w;  // write one to clear
  else if (a == DHCSR) {
    if (fromDebugger) WriteDhcsr(w);
  } else if (a == DCRSR) {
    if (fromDebugger) WriteDcrsr(w);
  } else if (a == DCRDR) FDcrdr = w;
  else if (a == DEMCR) FDemcr = w & DEMCR_WRITABLE;
  else if (a == FP_CTRL) {
    if (w & FP_KEY) FFpEnabled = (w & FP_ENABLE) != 0;
  } else if (a == FP_REMAP) FFpRemap = w & 0x1FFFFFE0;
  else if (InRange(a, FP_COMP0, FP_COMP0 + 4 * FFpComp.size()))
    FFpComp[(a - FP_COMP0) / 4] = w & (FP_REPLACE | FP_COMP_ADDRESS | FP_COMP_ENABLE);
  else if (a == DWT_CTRL) FDwtCtrl = w & 0x0FFFFFFF;
  else if (a == DWT_CYCCNT) FDwtCyccnt = w;
  else if (InRange(a, DWT_COMP0, DWT_COMP0 + 16 * DWT_NUM_COMP) && (a & 0xC) != 0xC) {
    const unsigned field = (a & 0xC) / 4;  // COMP, MASK, FUNCTION (MATCHED is read-only)
    FDwtComp[(a - DWT_COMP0) / 16 * 3 + field] = field == 0 ? w : field == 1 ? (w & 0x1F) : (w & 0x00FFFFFF & ~(1u << 24));
  } else if (!InRange(a, SCS_BASE, SCS_END) && !InRange(a, DWT_BASE, DWT_END) && !InRange(a, FPB_BASE, FPB_END))
    return false;
  return true;
}

std::uint32_t SimCortexM3::DhcsrValue() const {
  return (FDhcsrControl & kDhcsrControlBits) | (FRegReady ? S_REGRDY : 0) | (FHalted ? S_HALT : 0) |
         (FLockup ? S_LOCKUP : 0) | (FRetireSticky ? S_RETIRE_ST : 0) | (FResetSticky ? S_RESET_ST : 0);
}

void SimCortexM3::WriteAircr(std::uint32_t w) {
  if ((w & 0xFFFF0000) != VECTKEY) return;
  FPriGroup = w & PRIGROUP;
  if (w & SYSRESETREQ) ResetCore(true);
  else if (w & VECTRESET) ResetCore(false);
}

void SimCortexM3::WriteDhcsr(std::uint32_t w) {
  if ((w & 0xFFFF0000) != DBGKEY) return;
  const std::uint32_t control = w & kDhcsrControlBits;
  if (!(control & C_DEBUGEN)) {  // debug off: halting and stepping requests are void
    FDhcsrControl = 0;
    FHalted = false;
    FHaltReadsLeft = 0;
    return;
  }
  FDhcsrControl = control;
  if (control & C_HALT) {
    if (FHalted || FHaltReadsLeft != 0) return;  // a request that waits keeps its count
    if (FHaltDelay == 0) EnterDebug(DFSR_HALTED, SimStop::HaltRequest);
    else FHaltReadsLeft = FHaltDelay;
    return;
  }
  FHaltReadsLeft = 0;
  if (FLockup) return;
  FHalted = false;
  if ((control & C_STEP) && ExecuteOne()) EnterDebug(DFSR_HALTED, SimStop::Step);
}

void SimCortexM3::WriteDcrsr(std::uint32_t w) {
  if (!FHalted) {  // no transfer outside debug state; S_REGRDY stays clear
    FRegReady = false;
    return;
  }
  const unsigned selector = w & DCRSR_REGSEL;
  if (w & DCRSR_REGWNR) SetCoreRegisterValue(selector, FDcrdr);
  else FDcrdr = CoreRegisterValue(selector);
  FRegReady = true;
}

// ---- core registers and resets --------------------------------------------

std::uint32_t& SimCortexM3::Sp() { return (FControl & 2) ? FPsp : FMsp; }

std::uint32_t SimCortexM3::CoreRegisterValue(unsigned s) const {
  if (s <= 12) return FR[s];
  switch (s) {
    case REG_SP: return (FControl & 2) ? FPsp : FMsp;
    case REG_LR: return FLr;
    case REG_PC: return FPc;
    case REG_XPSR: return FXpsr;
    case REG_MSP: return FMsp;
    case REG_PSP: return FPsp;
    case REG_SPECIAL:
      return std::uint32_t(FControl) << 24 | std::uint32_t(FFaultMask) << 16 | std::uint32_t(FBasePri) << 8 | FPriMask;
    default: return 0;
  }
}

void SimCortexM3::SetCoreRegisterValue(unsigned s, std::uint32_t v) {
  if (s <= 12) {
    FR[s] = v;
    return;
  }
  switch (s) {
    case REG_SP: Sp() = v & ~3u; break;
    case REG_LR: FLr = v; break;
    case REG_PC: FPc = v; break;  // kept as written: an odd PC faults when the core resumes
    case REG_XPSR: FXpsr = v & kXpsrBits; break;
    case REG_MSP: FMsp = v & ~3u; break;
    case REG_PSP: FPsp = v & ~3u; break;
    case REG_SPECIAL:
      FControl = std::uint8_t((v >> 24) & 3);
      FFaultMask = std::uint8_t((v >> 16) & 1);
      FBasePri = std::uint8_t(v >> 8);
      FPriMask = std::uint8_t(v & 1);
      break;
    default: break;
  }
}

void SimCortexM3::PowerOnReset() {
  FDhcsrControl = 0;
  FDemcr = FDfsr = FDcrdr = 0;
  FFpEnabled = false;
  FFpRemap = 0;
  FFpComp.fill(0);
  FDwtCtrl = FDwtCyccnt = 0;
  FDwtComp.fill(0);
  FR.fill(0);
  FPsp = 0;
  FRegReady = true;
  FRetireSticky = false;
  ResetCore(true);
}

void SimCortexM3::ResetCore(bool system) {
  ++FResets;
  FHalted = FLockup = false;
  FHaltReadsLeft = 0;
  FLastStop = SimStop::None;
  FControl = FFaultMask = FBasePri = FPriMask = 0;
  FLr = 0xFFFFFFFF;
  FVtor = 0;
  if (system) FPriGroup = 0;
  FDhcsrControl &= ~(C_HALT | C_STEP);
  FResetSticky = true;
  std::uint32_t sp = 0, pc = 0;
  const bool fetched = BusRead(FVtor, sp, false) && BusRead(FVtor + 4, pc, false);
  FMsp = sp & ~3u;
  FPc = pc & ~1u;
  FXpsr = (pc & 1) ? XPSR_T : 0;
  if (!fetched) {
    FLockup = true;
    FLastStop = SimStop::Lockup;
  } else if ((FDhcsrControl & C_DEBUGEN) && (FDemcr & VC_CORERESET)) {
    EnterDebug(DFSR_VCATCH, SimStop::VectorCatch);
  }
}

// ---- execution ------------------------------------------------------------

void SimCortexM3::EnterDebug(std::uint32_t reason, SimStop stop) {
  FHalted = true;
  FHaltReadsLeft = 0;
  FLockup = false;
  FDhcsrControl |= C_HALT;
  FDfsr |= reason;
  FRegReady = true;
  FLastStop = stop;
}

void SimCortexM3::Fault() {
  if ((FDhcsrControl & C_DEBUGEN) && (FDemcr & VC_HARDERR)) {
    EnterDebug(DFSR_VCATCH, SimStop::VectorCatch);
  } else {
    FLockup = true;
    FLastStop = SimStop::Lockup;
  }
}

bool SimCortexM3::ComparatorHit(std::uint32_t pc) const {
  if (!FFpEnabled || pc >= kCodeRegionEnd) return false;
  for (unsigned n = 0; n < FP_NUM_CODE; ++n) {
    const std::uint32_t c = FFpComp[n];
    if (!(c & FP_COMP_ENABLE) || (c & FP_COMP_ADDRESS) != (pc & FP_COMP_ADDRESS)) continue;
    const std::uint32_t replace = c & FP_REPLACE;
    const bool upper = (pc & 2) != 0;
    if (replace == FP_REPLACE || (replace == FP_REPLACE_LOWER && !upper) || (replace == FP_REPLACE_UPPER && upper))
      return true;
  }
  return false;
}

unsigned SimCortexM3::Advance(unsigned count) {
  unsigned n = 0;
  while (n < count && !FHalted && !FLockup && ExecuteOne()) ++n;
  return n;
}

void SimCortexM3::SetFlagsNZ(std::uint32_t r) {
  FXpsr = (FXpsr & ~(XPSR_N | XPSR_Z)) | (r & 0x80000000 ? XPSR_N : 0) | (r == 0 ? XPSR_Z : 0);
}

std::uint32_t SimCortexM3::AddWithCarry(std::uint32_t a, std::uint32_t b, bool carry) {
  const std::uint64_t unsignedSum = std::uint64_t(a) + b + carry;
  const std::int64_t signedSum = std::int64_t(std::int32_t(a)) + std::int32_t(b) + carry;
  const std::uint32_t r = std::uint32_t(unsignedSum);
  SetFlagsNZ(r);
  FXpsr = (FXpsr & ~(XPSR_C | XPSR_V)) | (unsignedSum >> 32 ? XPSR_C : 0) |
          (std::int64_t(std::int32_t(r)) != signedSum ? XPSR_V : 0);
  return r;
}

bool SimCortexM3::ConditionHolds(unsigned cond) const {
  const bool n = FXpsr & XPSR_N, z = FXpsr & XPSR_Z, c = FXpsr & XPSR_C, v = FXpsr & XPSR_V;
  switch (cond) {
    case 0x0: return z;
    case 0x1: return !z;
    case 0x2: return c;
    case 0x3: return !c;
    case 0x4: return n;
    case 0x5: return !n;
    case 0x6: return v;
    case 0x7: return !v;
    case 0x8: return c && !z;
    case 0x9: return !c || z;
    case 0xA: return n == v;
    case 0xB: return n != v;
    case 0xC: return !z && n == v;
    case 0xD: return z || n != v;
    default: return true;
  }
}

void SimCortexM3::HaltAtBreakpoint() {
  if (FDhcsrControl & C_DEBUGEN) EnterDebug(DFSR_BKPT, SimStop::BkptInstruction);
  else Fault();
}

bool SimCortexM3::ExecuteOne() {
  if (FNativeCode && FNativeCode->Step(*this)) return !FHalted && !FLockup;
  if (!(FXpsr & XPSR_T) || (FPc & 1)) {  // invalid state or a misaligned PC
    Fault();
    return false;
  }
  if (ComparatorHit(FPc)) {
    EnterDebug(DFSR_BKPT, SimStop::Comparator);
    return false;
  }
  std::uint32_t word;
  if (!BusRead(FPc, word, false)) {
    Fault();
    return false;
  }
  const std::uint16_t op = std::uint16_t((FPc & 2) ? word >> 16 : word);
  const std::uint64_t resets = FResets;
  std::uint32_t next = FPc + 2;
  const unsigned r8 = (op >> 8) & 7;
  const std::uint32_t imm8 = op & 0xFF;
  bool ok = true;
  if ((op & 0xFF00) == 0xBE00) {  // BKPT
    if (FDhcsrControl & C_DEBUGEN) EnterDebug(DFSR_BKPT, SimStop::BkptInstruction);
    else Fault();
    return false;
  } else if ((op & 0xFF0F) == 0xBF00) {  // NOP and the other hints
  } else if ((op & 0xF800) == 0xE000) {  // B
    next = FPc + 4 + SignExtend((op & 0x7FFu) << 1, 12);
  } else if ((op & 0xF000) == 0xD000 && ((op >> 8) & 0xF) < 0xE) {  // B<cond>
    if (ConditionHolds((op >> 8) & 0xF)) next = FPc + 4 + SignExtend(imm8 << 1, 9);
  } else if ((op & 0xF800) == 0x2000) {  // MOVS Rd,#imm8
    FR[r8] = imm8;
    SetFlagsNZ(imm8);
  } else if ((op & 0xF800) == 0x2800) {  // CMP Rn,#imm8
    AddWithCarry(FR[r8], ~imm8, true);
  } else if ((op & 0xF800) == 0x3000) {  // ADDS Rdn,#imm8
    FR[r8] = AddWithCarry(FR[r8], imm8, false);
  } else if ((op & 0xF800) == 0x3800) {  // SUBS Rdn,#imm8
    FR[r8] = AddWithCarry(FR[r8], ~imm8, true);
  } else if ((op & 0xF800) == 0x4800) {  // LDR Rt,[PC,#imm8*4]
    ok = ReadData(((FPc + 4) & ~3u) + imm8 * 4, FR[r8]);
  } else if ((op & 0xF000) == 0x6000) {  // STR/LDR Rt,[Rn,#imm5*4]
    const std::uint32_t address = FR[(op >> 3) & 7] + ((op >> 6) & 0x1F) * 4;
    ok = (op & 0x0800) ? ReadData(address, FR[op & 7]) : WriteData(address, FR[op & 7]);
  } else {
    ok = false;  // outside the interpreted subset
  }
  if (!ok) {
    Fault();
    return false;
  }
  ++FRetired;
  FRetireSticky = true;
  if ((FDwtCtrl & DWT_CYCCNTENA) && (FDemcr & TRCENA)) ++FDwtCyccnt;
  if (FResets == resets) FPc = next;  // a store to AIRCR may have reset the core
  return true;
}

}  // namespace hostsim
