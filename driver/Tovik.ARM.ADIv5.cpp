#include "Tovik.ARM.ADIv5.h"

#include "Extension.Util.h"
#include "Tovik.Utils.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

namespace tvk {

using namespace adiv5;

namespace {

WideString Hex(uint32_t value) {
  wchar_t text[12];
  std::swprintf(text, std::size(text), L"0x%x", value);
  return text;
}

}  // namespace

// ---- transport on the host's JTAG channel ----------------------------------

WideString TJTagChannelDapTransport::AccessRequest(uint32_t value, uint32_t address, bool read) {
  const uint32_t low = ((address >> 1) & 6) | (read ? 1u : 0u);
  return FormatBinary(value, 32) + FormatBinary(low, 3);
}

bool TJTagChannelDapTransport::Channel(IJTagChannel& channel, int32_t& index) const {
  const ITovikDevice device = FDevice ? FDevice() : ITovikDevice();
  if (!device) return false;
  channel = device.GetJTagChannel();
  if (!channel) return false;
  index = device.GetJTagIndex();
  return true;
}

bool TJTagChannelDapTransport::AccessScan(uint32_t instruction, uint32_t address, bool read, uint32_t value,
                                          TDapScanAnswer& answer) {
  IJTagChannel channel;
  int32_t index = 0;
  if (!Channel(channel, index)) return false;
  channel.MoveTAPState(TAP_RUN_TEST_IDLE, TAP_SHIFT_IR);
  channel.LoadIR(instruction, index);
  channel.MoveTAPState(TAP_EXIT1_IR, TAP_SHIFT_DR);
  const WideString out = channel.ShiftDRString(AccessRequest(read ? 0 : value, address, read), index);
  channel.MoveTAPState(TAP_EXIT1_DR, TAP_RUN_TEST_IDLE);
  // The answer's fixed ranges are cut out of it: a short one is no answer.
  if (out.size() < DAP_SCAN_LENGTH) return false;
  const std::wstring_view view(out);
  uint32_t ack = 0;
  ParseBinaryText(view.substr(0, 32), answer.Data);  // any other character reads as 0
  ParseBinaryText(view.substr(32, 3), ack);
  answer.Ack = uint8_t(ack);
  return true;
}

bool TJTagChannelDapTransport::InstructionScan(uint32_t instruction) {
  IJTagChannel channel;
  int32_t index = 0;
  if (!Channel(channel, index)) return false;
  channel.MoveTAPState(TAP_RUN_TEST_IDLE, TAP_SHIFT_IR);
  channel.LoadIR(instruction, index);
  channel.MoveTAPState(TAP_EXIT1_IR, TAP_RUN_TEST_IDLE);
  return true;
}

// ---- engine -----------------------------------------------------------------

TADIv5Engine::TADIv5Engine(std::unique_ptr<IDapTransport> transport, TADIv5Hooks hooks)
    : FTransport(std::move(transport)), FHooks(std::move(hooks)) {}

void TADIv5Engine::Log(TDapLogKind kind, const WideString& text) { FHooks.Log(kind, text); }

void TADIv5Engine::Wait(unsigned milliseconds) {
  if (FHooks.Wait) FHooks.Wait(milliseconds);
  else ::Sleep(milliseconds);
}

void TADIv5Engine::HostDeviceChanged() {
  FJTAGCheckPending = false;
  FDPSelectValue = FApCswValue = FApTarValue = CACHE_INVALID;
  // A pending overrun stays pending: when the device is the same port, it
  // still drops every access-port request, and the next read would pass the
  // stale answer on as data. Clearing it on another port costs one scan.
}

// Every scan passes here. A WAIT with overrun detection on has set
// STICKYORUN, and the port runs no access-port request until it is cleared.
bool TADIv5Engine::Scan(uint32_t instruction, uint32_t address, bool read, uint32_t value, TDapScanAnswer& answer) {
  if (!FTransport->AccessScan(instruction, address, read, value, answer)) return false;
  if (answer.Ack == JTAG_ACK_WAIT && OverrunDetectionOn()) FOverrunPending = true;
  return true;
}

bool TADIv5Engine::ScanRead(uint32_t instruction, uint32_t address, uint8_t& ack, uint32_t& data) {
  TDapScanAnswer answer;
  if (!Scan(instruction, address, true, 0, answer)) return false;
  ack = answer.Ack;
  data = answer.Data;
  return true;
}

bool TADIv5Engine::ScanReadRequest(uint32_t instruction, uint32_t address, uint32_t& data) {
  TDapScanAnswer answer;
  if (!Scan(instruction, address, true, 0, answer)) return false;
  data = answer.Data;
  return true;
}

bool TADIv5Engine::ScanWrite(uint32_t instruction, uint32_t address, uint32_t value, uint8_t& ack) {
  TDapScanAnswer answer;
  if (!Scan(instruction, address, false, value, answer)) return false;
  ack = answer.Ack;
  return true;
}

bool TADIv5Engine::OverrunDetectionOn() const {
  return FDpCtrlStat != CACHE_INVALID && (FDpCtrlStat & ORUNDETECT) != 0;
}

uint32_t TADIv5Engine::CtrlStatRequests() const {
  return FDpCtrlStat != CACHE_INVALID ? FDpCtrlStat : CDBGPWRUPREQ | CSYSPWRUPREQ;
}

bool TADIv5Engine::ClearStickyOverrun() {
  uint32_t ignored = 0;
  if (!AcceptedScan(JTAG_DP_DPACC, DP_CTRL_STAT, false, CtrlStatRequests() | STICKYORUN, ignored)) return false;
  FOverrunPending = false;
  return true;
}

// A WAIT-ed request was dropped by the port and is scanned again on its own:
// re-issuing the whole register access could run a transfer twice (an
// auto-incrementing DRW access would move on to the next word).
bool TADIv5Engine::AcceptedScan(uint32_t instruction, uint32_t address, bool read, uint32_t value,
                                uint32_t& data) {
  if (instruction == JTAG_DP_APACC && FOverrunPending && !ClearStickyOverrun()) return false;
  for (unsigned retries = 0;; ++retries) {
    TDapScanAnswer answer;
    if (!Scan(instruction, address, read, value, answer)) return false;
    FAck = answer.Ack;
    if (answer.Ack == JTAG_ACK_OK_FAULT) {
      data = answer.Data;
      return true;
    }
    if (answer.Ack != JTAG_ACK_WAIT || retries == ACK_RETRIES) return false;
    if (instruction == JTAG_DP_APACC && FOverrunPending && !ClearStickyOverrun()) return false;
  }
}

bool TADIv5Engine::ReadDapRegister(uint32_t instruction, uint32_t address, uint32_t& value) {
  value = 0;
  uint32_t previous = 0, result = 0;
  if (!AcceptedScan(instruction, address, true, 0, previous) ||
      !AcceptedScan(JTAG_DP_DPACC, DP_RDBUFF, true, 0, result))
    return false;
  value = result;
  if (instruction == JTAG_DP_APACC && FTransMode == TRANS_MODE_MAINTENANCE) return CheckDebugPortStatus();
  return true;
}

bool TADIv5Engine::WriteDapRegister(uint32_t instruction, uint32_t address, uint32_t value) {
  uint32_t previous = 0;
  if (!AcceptedScan(instruction, address, false, value, previous)) return false;
  if (instruction == JTAG_DP_APACC && FTransMode == TRANS_MODE_MAINTENANCE) return CheckDebugPortStatus();
  return true;
}

bool TADIv5Engine::ReadDP(uint32_t address, uint32_t& value) { return ReadDapRegister(JTAG_DP_DPACC, address, value); }

bool TADIv5Engine::WriteDP(uint32_t address, uint32_t value) { return WriteDapRegister(JTAG_DP_DPACC, address, value); }

bool TADIv5Engine::SelectApBank(uint32_t address) {
  const uint32_t bank = address & AP_BANK_MASK;
  if (bank == FDPSelectValue) return true;
  if (!WriteDP(DP_SELECT, bank | FApSelect)) return false;
  FDPSelectValue = bank;
  return true;
}

bool TADIv5Engine::ReadAP(uint32_t address, uint32_t& value) {
  value = 0;
  return SelectApBank(address) && ReadDapRegister(JTAG_DP_APACC, address, value);
}

bool TADIv5Engine::WriteAP(uint32_t address, uint32_t value) {
  return SelectApBank(address) && WriteDapRegister(JTAG_DP_APACC, address, value);
}

bool TADIv5Engine::SetMemApCswTar(uint32_t bits, uint32_t address) {
  const uint32_t csw = bits | CSW_DBG_SW_ACCESS;
  if (csw != FApCswValue) {
    if (!WriteAP(AP_REG_CSW, csw)) return false;
    FApCswValue = csw;
  }
  if (address != FApTarValue) {
    if (!WriteAP(AP_REG_TAR, address)) return false;
    FApTarValue = address;
  }
  // The port moves TAR by itself after an incrementing transfer.
  if (bits & CSW_ADDRINC_MASK) FApTarValue = CACHE_INVALID;
  return true;
}

bool TADIv5Engine::ReadWordBanked(uint32_t address, uint32_t& value) {
  value = 0;
  FTransMode = TRANS_MODE_MEMORY;
  return SetMemApCswTar(CSW_32BIT, address & ~0xFu) && ReadAP(AP_REG_BD0 | (address & 0xC), value);
}

bool TADIv5Engine::WriteWordBanked(uint32_t address, uint32_t value) {
  FTransMode = TRANS_MODE_MEMORY;
  return SetMemApCswTar(CSW_32BIT, address & ~0xFu) && WriteAP(AP_REG_BD0 | (address & 0xC), value);
}

bool TADIv5Engine::ReadWordChecked(uint32_t address, uint32_t& value) {
  return ReadWordBanked(address, value) && CheckDebugPortStatus();
}

bool TADIv5Engine::WriteWordChecked(uint32_t address, uint32_t value) {
  return WriteWordBanked(address, value) && CheckDebugPortStatus();
}

bool TADIv5Engine::PowerUpDebugPort() {
  FApSelect = 0;
  FDpCtrlStat = FDPSelectValue = FApCswValue = FApTarValue = CACHE_INVALID;
  FTransMode = TRANS_MODE_MAINTENANCE;

  uint32_t ctrlStat = 0;
  if (!ReadDP(DP_CTRL_STAT, ctrlStat) || !WriteDP(DP_CTRL_STAT, DP_POWERUP_PROBE) || !ReadDP(DP_CTRL_STAT, ctrlStat))
    return false;
  FDpCtrlStat = CDBGPWRUPREQ | CSYSPWRUPREQ;
  if (!WriteDP(DP_CTRL_STAT, FDpCtrlStat) || !ReadDP(DP_CTRL_STAT, ctrlStat)) return false;

  // Running out of polls is no failure: the power-up goes on.
  struct AckWait {
    uint32_t Bit;
    const wchar_t* Text;
  };
  static constexpr AckWait kAckWaits[] = {{CDBGPWRUPACK, L"DAP : wait CDBGPWRUPACK"},
                                          {CSYSPWRUPACK, L"DAP : wait CSYSPWRUPACK"}};
  for (const AckWait& wait : kAckWaits) {
    for (unsigned poll = 0; poll < POWERUP_ACK_POLLS && !(ctrlStat & wait.Bit); ++poll) {
      if (Logging()) Log(TDapLogKind::Debug, wait.Text);
      if (!ReadDP(DP_CTRL_STAT, ctrlStat)) return false;
      Wait(POWERUP_POLL_DELAY_MS);
    }
  }

  if (!ReadDP(DP_CTRL_STAT, ctrlStat)) return false;
  FDpCtrlStat = CDBGPWRUPREQ | CSYSPWRUPREQ | ORUNDETECT;
  if (!WriteDP(DP_CTRL_STAT, FDpCtrlStat) || !ReadDP(DP_CTRL_STAT, ctrlStat)) return false;

  uint32_t idr = CACHE_INVALID, base = CACHE_INVALID, value = 0;
  bool result = ReadAP(AP_REG_IDR, value);
  if (result) {
    idr = value;
    result = ReadAP(AP_REG_BASE, value);
    if (result) base = value;
  }
  if (Logging()) {
    wchar_t text[96];
    std::swprintf(text, std::size(text), L"%d ID Register 0x%x, Debug ROM Address 0x%x", int(FApSelect), idr, base);
    Log(TDapLogKind::Debug, WideString(L"MEM-AP #") + text);
  }
  return result;
}

bool TADIv5Engine::ReadCtrlStatForCheck(uint32_t& value) {
  // The request's own acknowledge counts too: a dropped request leaves the
  // previous result in the answer, which is not CTRL/STAT.
  uint8_t requestAck = 0;
  uint32_t ignored = 0;
  if (!ScanRead(JTAG_DP_DPACC, DP_CTRL_STAT, requestAck, ignored)) return false;
  if (!ScanRead(JTAG_DP_DPACC, DP_RDBUFF, FAck, value)) return false;
  if (requestAck != JTAG_ACK_OK_FAULT) FAck = requestAck;
  return true;
}

bool TADIv5Engine::CheckDebugPortStatus() {
  // A nested check (an access-port transfer inside the check or inside the
  // power-up it started) fails at once; so does every check once latched.
  if (FJTAGCheckPending) return false;
  FJTAGCheckPending = true;
  try {
    return CheckDebugPortStatusGuarded();
  } catch (...) {
    // A host error is no acknowledge timeout: it must not latch the check.
    FJTAGCheckPending = false;
    throw;
  }
}

bool TADIv5Engine::CheckDebugPortStatusGuarded() {
  uint32_t ctrlStat = 0;
  bool result = ReadCtrlStatForCheck(ctrlStat);
  if (!result) {
    FJTAGCheckPending = false;
    return false;
  }
  for (unsigned retry = 0; retry < ACK_RETRIES && (FAck & 7) != JTAG_ACK_OK_FAULT; ++retry)
    result = ReadCtrlStatForCheck(ctrlStat);
  if ((FAck & 7) != JTAG_ACK_OK_FAULT) {
    // Latched: the guard stays set, so the target counts as not responding.
    FTransferFailed = true;
    return result;
  }
  if (!(ctrlStat & (STICKYORUN | STICKYERR))) {
    FJTAGCheckPending = false;
    return result;
  }
  if ((ctrlStat & DP_POWER_BITS) != DP_POWER_BITS) {
    // The port lost power: what the transfer moved is lost with it.
    PowerUpDebugPort();
    FTransferFailed = true;
    FJTAGCheckPending = false;
    return result;
  }

  if (Logging()) {
    if (FApTarValue != CACHE_INVALID) {
      wchar_t text[96];
      std::swprintf(text, std::size(text), L"ap_bank 0x%x, ap_csw 0x%x, ap_tar 0x%x", FDPSelectValue, FApCswValue,
                    FApTarValue);
      Log(TDapLogKind::Debug, WideString(L"MEM-AP Cached values: ") + text);
    }
    if (ctrlStat & STICKYORUN)
      Log(TDapLogKind::Error, L"JTAG-DP OVERRUN - check clock, memaccess, or reduce jtag speed");
    if (ctrlStat & STICKYERR) Log(TDapLogKind::Error, L"JTAG-DP STICKY ERROR");
  }

  result = WriteDP(DP_CTRL_STAT, CtrlStatRequests() | DP_STICKY_CLEAR);
  if (result) {
    FOverrunPending = false;
    result = ReadDP(DP_CTRL_STAT, ctrlStat);
    if (result) {
      if (Logging()) Log(TDapLogKind::Debug, L"jtag-dp: CTRL/STAT " + Hex(ctrlStat));
      uint32_t csw = 0, tar = 0;
      result = ReadAP(AP_REG_CSW, csw);
      if (result) {
        result = ReadAP(AP_REG_TAR, tar);
        if (result && Logging()) Log(TDapLogKind::Error, L"MEM-AP_CSW " + Hex(csw) + L", MEM_AP_TAR " + Hex(tar));
      }
    }
  }
  FJTAGCheckPending = false;
  return result;
}

uint32_t TADIv5Engine::ReadMem(uint32_t sizeBits, uint32_t address) {
  FTransMode = TRANS_MODE_MEMORY;
  uint32_t drw = 0;
  if (!SetMemApCswTar(sizeBits | CSW_ADDRINC_SINGLE, address) || !ReadAP(AP_REG_DRW, drw) ||
      !CheckDebugPortStatus()) {
    FTransferFailed = true;
    return 0;
  }
  const uint32_t lanes = drw >> ((address & 3) * 8);
  switch (sizeBits) {
    case CSW_8BIT: return lanes & 0xFF;
    case CSW_16BIT: return lanes & 0xFFFF;
    default: return drw;
  }
}

void TADIv5Engine::WriteMem(uint32_t sizeBits, uint32_t address, uint32_t lanes) {
  FTransMode = TRANS_MODE_MEMORY;
  if (!SetMemApCswTar(sizeBits | CSW_ADDRINC_SINGLE, address) || !WriteAP(AP_REG_DRW, lanes) ||
      !CheckDebugPortStatus())
    FTransferFailed = true;
}

uint32_t TADIv5Engine::ReadMemByte(uint32_t address) { return ReadMem(CSW_8BIT, address); }
uint32_t TADIv5Engine::ReadMemHalfWord(uint32_t address) { return ReadMem(CSW_16BIT, address); }
uint32_t TADIv5Engine::ReadMemWord(uint32_t address) { return ReadMem(CSW_32BIT, address); }

void TADIv5Engine::WriteMemByte(uint32_t address, uint32_t value) {
  WriteMem(CSW_8BIT, address, value << ((address & 3) * 8));
}

void TADIv5Engine::WriteMemHalfWord(uint32_t address, uint32_t value) {
  WriteMem(CSW_16BIT, address, value << ((address & 3) * 8));
}

void TADIv5Engine::WriteMemWord(uint32_t address, uint32_t value) { WriteMem(CSW_32BIT, address, value); }

}  // namespace tvk
