#include "SimJtagDp.h"

#include <cwchar>
#include <iterator>

namespace hostsim {

using namespace adi;

namespace {
constexpr unsigned kAccessBits = 35;
// CTRL/STAT bits the debugger writes as values (the sticky ones are write-one-to-clear).
constexpr std::uint32_t kCtrlStatWritable =
    ORUNDETECT | TRNMODE | MASKLANE | TRNCNT | CDBGRSTREQ | CDBGPWRUPREQ | CSYSPWRUPREQ;
constexpr std::uint32_t kCtrlStatWriteOneToClear = STICKYORUN | STICKYCMP | STICKYERR;
}  // namespace

SimJtagDp::SimJtagDp(std::uint32_t idcode, std::unique_ptr<SimBusTarget> bus)
    : SimTap(4), FIdcode(idcode), FBus(std::move(bus)) {
  ResetTap();
}

void SimJtagDp::ResetTap() { FInstruction = IR_IDCODE; }

void SimJtagDp::PowerOnReset() {
  FCtrlStat = 0;
  FSelect = 0;
  FCsw = CSW_RESET;
  FTar = 0;
  FReadResult = 0;
  FLastAck = ACK_OK_FAULT;
  FWaitScans = 0;
  FDebugAckPending = FSystemAckPending = 0;
}

void SimJtagDp::ResetCounters() { FDpScans = FApScans = FWaitAnswers = FDropped = FBusErrors = FCtrlStatReads = 0; }

void SimJtagDp::SetDead(Dead mode) {
  FDead = mode;
  if (mode == Dead::No) StuckTdo.reset();
  else StuckTdo = mode == Dead::AllOnes;
}

void SimJtagDp::LosePower() { FCtrlStat &= ~(CDBGPWRUPREQ | CDBGPWRUPACK | CSYSPWRUPREQ | CSYSPWRUPACK); }

void SimJtagDp::SetPowerUpAckDelay(unsigned debugReads, unsigned systemReads) {
  FDebugAckDelay = debugReads;
  FSystemAckDelay = systemReads;
}

std::uint32_t SimJtagDp::CswStatus() const { return (FCtrlStat & CSYSPWRUPACK) ? CSW_DEVICEEN : 0; }

Bits SimJtagDp::CaptureDr() {
  switch (FInstruction) {
    case IR_IDCODE: return ToBits(FIdcode, 32);
    case IR_ABORT: return Bits(kAccessBits, 0);
    case IR_DPACC:
    case IR_APACC: {
      ++(FInstruction == IR_DPACC ? FDpScans : FApScans);
      FLastAck = ACK_OK_FAULT;
      if (FWaitScans > 0) {
        if (FWaitScans != kForever) --FWaitScans;
        FLastAck = ACK_WAIT;
        ++FWaitAnswers;
        if (FCtrlStat & ORUNDETECT) FCtrlStat |= STICKYORUN;
      }
      return ToBits((std::uint64_t(FReadResult) << 3) | FLastAck, kAccessBits);
    }
    default: return Bits(1, 0);  // BYPASS, also for instructions the port does not have
  }
}

void SimJtagDp::UpdateDr(const Bits& shifted) {
  if (FDead != Dead::No) return;
  const std::uint32_t data = std::uint32_t(FromBits(shifted, 3, 32));
  switch (FInstruction) {
    case IR_ABORT:
      if (data & DAPABORT) FWaitScans = 0;
      if (data & STKCMPCLR) FCtrlStat &= ~STICKYCMP;
      if (data & STKERRCLR) FCtrlStat &= ~STICKYERR;
      if (data & WDERRCLR) FCtrlStat &= ~WDATAERR;
      if (data & ORUNERRCLR) FCtrlStat &= ~STICKYORUN;
      break;
    case IR_DPACC:
    case IR_APACC: {
      if (FLastAck != ACK_OK_FAULT) return;  // a WAIT-ed request is dropped
      const bool read = FromBits(shifted, 0, 1) != 0;
      const std::uint32_t address = std::uint32_t(FromBits(shifted, 1, 2)) << 2;
      if (FInstruction == IR_DPACC) RunDp(read, address, data);
      else RunAp(read, address, data);
      break;
    }
    default: break;
  }
}

void SimJtagDp::AdvancePowerAcks() {
  if ((FCtrlStat & CDBGPWRUPREQ) && !(FCtrlStat & CDBGPWRUPACK)) {
    if (FDebugAckPending) --FDebugAckPending;
    else FCtrlStat |= CDBGPWRUPACK;
  }
  if ((FCtrlStat & CSYSPWRUPREQ) && !(FCtrlStat & CSYSPWRUPACK)) {
    if (FSystemAckPending) --FSystemAckPending;
    else FCtrlStat |= CSYSPWRUPACK;
  }
}

void SimJtagDp::WriteCtrlStat(std::uint32_t value) {
  const bool reserved = (value & CTRLSTAT_RESERVED) || (value & TRNMODE) == TRNMODE;
  if (reserved || (value & CDBGRSTREQ)) {
    wchar_t text[96];
    std::swprintf(text, std::size(text), L"CTRL/STAT written as 0x%08X:%ls%ls", unsigned(value),
                  reserved ? L" reserved bits" : L"", (value & CDBGRSTREQ) ? L" debug reset request" : L"");
    FProtocolFaults.push_back(text);
  }
  FCtrlStat &= ~(value & kCtrlStatWriteOneToClear);
  const std::uint32_t raised = value & ~FCtrlStat;
  if (raised & CDBGPWRUPREQ) FDebugAckPending = FDebugAckDelay;
  if (raised & CSYSPWRUPREQ) FSystemAckPending = FSystemAckDelay;
  FCtrlStat = (FCtrlStat & ~kCtrlStatWritable) | (value & kCtrlStatWritable);
  // Acknowledges follow a dropped request at once; the reset handshake is immediate.
  if (!(FCtrlStat & CDBGPWRUPREQ)) FCtrlStat &= ~CDBGPWRUPACK;
  if (!(FCtrlStat & CSYSPWRUPREQ)) FCtrlStat &= ~CSYSPWRUPACK;
  FCtrlStat = (FCtrlStat & ~CDBGRSTACK) | ((FCtrlStat & CDBGRSTREQ) ? CDBGRSTACK : 0);
}

void SimJtagDp::RunDp(bool read, std::uint32_t address, std::uint32_t data) {
  if (read) {
    switch (address) {
      case DP_CTRL_STAT:
        ++FCtrlStatReads;
        AdvancePowerAcks();
        FReadResult = FCtrlStat;
        break;
      case DP_SELECT: FReadResult = FSelect; break;
      default: FReadResult = 0; break;  // RDBUFF and the reserved address read as zero
    }
    return;
  }
  if (address == DP_CTRL_STAT) WriteCtrlStat(data);
  else if (address == DP_SELECT) FSelect = data;
}

void SimJtagDp::Fail(bool read) {
  FCtrlStat |= STICKYERR;
  ++FBusErrors;
  if (read) FReadResult = 0;
}

bool SimJtagDp::Transfer(bool read, std::uint32_t address, std::uint32_t data, bool increment) {
  const std::uint32_t sizeCode = FCsw & CSW_SIZE;
  if (sizeCode > 2 || !(FCtrlStat & CSYSPWRUPACK)) {
    Fail(read);
    return false;
  }
  const unsigned bytes = 1u << sizeCode;
  const std::uint32_t aligned = address & ~(bytes - 1);
  std::uint32_t word = 0;
  const bool ok = read ? FBus->DapRead(aligned, bytes, word) : FBus->DapWrite(aligned, bytes, data);
  if (!ok) {
    Fail(read);
    return false;
  }
  if (read) FReadResult = word;
  if (increment && (FCsw & CSW_ADDRINC)) FTar = (FTar & ~(FTarBlock - 1)) | ((FTar + bytes) & (FTarBlock - 1));
  return true;
}

void SimJtagDp::RunAp(bool read, std::uint32_t address, std::uint32_t data) {
  if (FCtrlStat & STICKY_FLAGS) {  // the port runs no access-port request until they are cleared
    ++FDropped;
    if (read) FReadResult = 0;
    return;
  }
  if (!(FCtrlStat & CDBGPWRUPACK)) {
    Fail(read);
    return;
  }
  if (FSelect & SELECT_APSEL) {  // no such access port: reads zero, writes vanish
    if (read) FReadResult = 0;
    return;
  }
  const std::uint32_t reg = (FSelect & SELECT_APBANKSEL) | address;
  switch (reg) {
    case AP_CSW:
      if (read) FReadResult = Csw();
      else FCsw = data & (CSW_PROT | CSW_ADDRINC | CSW_SIZE);
      break;
    case AP_TAR:
      if (read) FReadResult = FTar;
      else FTar = data;
      break;
    case AP_DRW: Transfer(read, FTar, data, true); break;
    case AP_BD0:
    case AP_BD0 + 4:
    case AP_BD0 + 8:
    case AP_BD0 + 12: Transfer(read, (FTar & ~0xFu) | (reg & 0xC), data, false); break;
    case AP_BASE:
      if (read) FReadResult = CM3_ROM_BASE;
      break;
    case AP_IDR:
      if (read) FReadResult = AHB_AP_IDR;
      break;
    default:  // CFG (little-endian: 0) and reserved registers
      if (read) FReadResult = 0;
      break;
  }
}

}  // namespace hostsim
