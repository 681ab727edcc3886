#pragma once
// Register access of an ARM Debug Interface v5 JTAG debug port (JTAG-DP) and
// its memory access port 0 (MEM-AP): 35-bit DPACC/APACC scans, posted reads
// fetched through RDBUFF, the SELECT/CSW/TAR caches, banked and checked word
// access, byte/halfword/word memory access on byte lanes, the debug-port
// power-up and the CTRL/STAT status check with its sticky-flag handling.
//
// The engine answers booleans and never raises on its own; errors raised by
// the host's channel calls pass through to the caller. The scans themselves
// sit behind IDapTransport, so the engine never sees how a scan is made.
#include "ORV.SCH.RecordInterfaces.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace tvk {

namespace adiv5 {
// JTAG instructions of the JTAG-DP.
inline constexpr uint32_t JTAG_DP_DPACC = 0xA;  // debug-port register access
inline constexpr uint32_t JTAG_DP_APACC = 0xB;  // access-port register access

// Acknowledges of a DPACC/APACC scan (bits 2:0 shifted out).
inline constexpr uint8_t JTAG_ACK_WAIT = 0x1;
inline constexpr uint8_t JTAG_ACK_OK_FAULT = 0x2;  // the only one accepted

// Debug-port registers.
inline constexpr uint32_t DP_CTRL_STAT = 0x4;
inline constexpr uint32_t DP_SELECT = 0x8;
inline constexpr uint32_t DP_RDBUFF = 0xC;  // reads as zero; its scan fetches the posted result

// CTRL/STAT bits.
inline constexpr uint32_t ORUNDETECT = 1u << 0;     // overrun detection
inline constexpr uint32_t STICKYORUN = 1u << 1;     // a scan answered WAIT with overrun detection on
inline constexpr uint32_t STICKYERR = 1u << 5;      // an access-port transfer failed
inline constexpr uint32_t CDBGPWRUPREQ = 1u << 28;  // debug power-up request
inline constexpr uint32_t CDBGPWRUPACK = 1u << 29;
inline constexpr uint32_t CSYSPWRUPREQ = 1u << 30;  // system power-up request
inline constexpr uint32_t CSYSPWRUPACK = 1u << 31;
inline constexpr uint32_t DP_POWER_BITS = CDBGPWRUPREQ | CDBGPWRUPACK | CSYSPWRUPREQ | CSYSPWRUPACK;
inline constexpr uint32_t DP_STICKY_CLEAR = STICKYORUN | STICKYERR;  // written as ones to clear
// The value the power-up first writes to CTRL/STAT, before it requests power.
inline constexpr uint32_t DP_POWERUP_PROBE = 0x20;

// MEM-AP registers (bits 7:4 are the SELECT bank).
inline constexpr uint32_t AP_REG_CSW = 0x00;
inline constexpr uint32_t AP_REG_TAR = 0x04;
inline constexpr uint32_t AP_REG_DRW = 0x0C;
inline constexpr uint32_t AP_REG_BD0 = 0x10;  // BD0-BD3: the word at TAR's 16-byte block + 0, 4, 8, 12
inline constexpr uint32_t AP_REG_BASE = 0xF8;
inline constexpr uint32_t AP_REG_IDR = 0xFC;
inline constexpr uint32_t AP_BANK_MASK = 0xF0;

// CSW size-and-increment bits, and the bus-access bits always set with them.
inline constexpr uint32_t CSW_8BIT = 0x00;
inline constexpr uint32_t CSW_16BIT = 0x01;
inline constexpr uint32_t CSW_32BIT = 0x02;
inline constexpr uint32_t CSW_ADDRINC_SINGLE = 0x10;
inline constexpr uint32_t CSW_ADDRINC_MASK = 0x30;
inline constexpr uint32_t CSW_DBG_SW_ACCESS = 0xA2000000;  // debugger, privileged data access

// FTransMode values.
inline constexpr uint8_t TRANS_MODE_MAINTENANCE = 1;  // every access-port transfer checks the status
inline constexpr uint8_t TRANS_MODE_MEMORY = 2;       // memory and banked accesses check once per access

// A cached register value that is not known.
inline constexpr uint32_t CACHE_INVALID = 0xFFFFFFFF;

// Limits of the bounded waits.
inline constexpr unsigned ACK_RETRIES = 11;           // re-scans after an acknowledge that was not OK
inline constexpr unsigned POWERUP_ACK_POLLS = 10;     // CTRL/STAT reads per power-up acknowledge
inline constexpr unsigned POWERUP_POLL_DELAY_MS = 10;
inline constexpr uint32_t TAR_AUTOINC_BLOCK = 4096;

// The length of one DPACC/APACC data register scan.
inline constexpr std::size_t DAP_SCAN_LENGTH = 35;

// The host's TAP state codes as its channel takes them.
inline constexpr int32_t TAP_RUN_TEST_IDLE = 2;
inline constexpr int32_t TAP_SHIFT_DR = 5;
inline constexpr int32_t TAP_EXIT1_DR = 6;
inline constexpr int32_t TAP_SHIFT_IR = 12;
inline constexpr int32_t TAP_EXIT1_IR = 13;
}  // namespace adiv5

// What one DPACC/APACC scan shifted out.
struct TDapScanAnswer {
  uint8_t Ack = 0;    // bits 2:0
  uint32_t Data = 0;  // bits 34:3: the result of the transfer before this one
};

// How the engine's scans reach the debug port.
class IDapTransport {
public:
  virtual ~IDapTransport() = default;
  // One 35-bit scan under Instruction: Value (a read sends zeros), address
  // bits 3:2 and RnW. False, Answer untouched, when no scan could be made or
  // what came back is not a whole answer.
  virtual bool AccessScan(uint32_t instruction, uint32_t address, bool read, uint32_t value,
                          TDapScanAnswer& answer) = 0;
  // Loads Instruction and goes back to Run-Test/Idle without a data scan.
  // False when there is no channel.
  virtual bool InstructionScan(uint32_t instruction) = 0;
};

// The scans on the host's JTAG channel. The channel and the chain index are
// asked of the host device afresh for every scan; the device comes from the
// owner (the driver's current host device; empty: no device).
class TJTagChannelDapTransport final : public IDapTransport {
public:
  using TDeviceSource = std::function<ITovikDevice()>;
  explicit TJTagChannelDapTransport(TDeviceSource device) : FDevice(std::move(device)) {}

  // MoveTAPState (2, 12), LoadIR, MoveTAPState (13, 5), ShiftDRString of the
  // 35 characters (most significant first), MoveTAPState (6, 2). A shorter
  // answer fails the scan after the last move.
  bool AccessScan(uint32_t instruction, uint32_t address, bool read, uint32_t value,
                  TDapScanAnswer& answer) override;
  // MoveTAPState (2, 12), LoadIR, MoveTAPState (13, 2).
  bool InstructionScan(uint32_t instruction) override;

  // The 35 characters of one access request.
  static WideString AccessRequest(uint32_t value, uint32_t address, bool read);

private:
  // The channel and chain index of the current device; false without a channel.
  bool Channel(IJTagChannel& channel, int32_t& index) const;

  TDeviceSource FDevice;
};

enum class TDapLogKind { Debug, Error };

// What the engine needs of the driver around it.
struct TADIv5Hooks {
  // The ARM base's diagnostic log; empty when there is none, and then no
  // line is even formatted.
  std::function<void(TDapLogKind kind, const WideString& text)> Log;
  // Blocks for one power-up acknowledge wait; empty: the thread sleeps.
  std::function<void(unsigned milliseconds)> Wait;
};

class TADIv5Engine {
public:
  explicit TADIv5Engine(std::unique_ptr<IDapTransport> transport, TADIv5Hooks hooks = {});
  TADIv5Engine(const TADIv5Engine&) = delete;
  TADIv5Engine& operator=(const TADIv5Engine&) = delete;

  IDapTransport& Transport() { return *FTransport; }
  TADIv5Hooks& Hooks() { return FHooks; }

  // One scan each, as made: false (outputs untouched) only when no scan
  // could be made. ScanRead gives the acknowledge and the data shifted out,
  // ScanReadRequest only the data, ScanWrite only the acknowledge.
  bool ScanRead(uint32_t instruction, uint32_t address, uint8_t& ack, uint32_t& data);
  bool ScanReadRequest(uint32_t instruction, uint32_t address, uint32_t& data);
  bool ScanWrite(uint32_t instruction, uint32_t address, uint32_t value, uint8_t& ack);

  // Register accesses. A read sends its request, then fetches the posted
  // result from RDBUFF; each scan must be acknowledged OK, a WAIT-ed one is
  // scanned again (up to ACK_RETRIES times). In maintenance mode an
  // access-port transfer is followed by the status check, whose result is
  // the access's. A failed read gives 0.
  bool ReadDapRegister(uint32_t instruction, uint32_t address, uint32_t& value);
  bool WriteDapRegister(uint32_t instruction, uint32_t address, uint32_t value);
  bool ReadDP(uint32_t address, uint32_t& value);
  bool WriteDP(uint32_t address, uint32_t value);
  // Writes SELECT only when Address's bank differs from the cached one.
  bool SelectApBank(uint32_t address);
  bool ReadAP(uint32_t address, uint32_t& value);
  bool WriteAP(uint32_t address, uint32_t value);
  // CSW = Bits | CSW_DBG_SW_ACCESS and TAR = Address, each written only when
  // it differs from the cache; an incrementing CSW leaves TAR unknown.
  bool SetMemApCswTar(uint32_t bits, uint32_t address);

  // Word access through the banked data registers of Address's 16-byte
  // block (core debug and system registers); the checked forms run the
  // status check after a successful access.
  bool ReadWordBanked(uint32_t address, uint32_t& value);
  bool WriteWordBanked(uint32_t address, uint32_t value);
  bool ReadWordChecked(uint32_t address, uint32_t& value);
  bool WriteWordChecked(uint32_t address, uint32_t value);

  // Requests debug and system power, waits for both acknowledges (a bounded
  // wait whose end is no failure), enables overrun detection and identifies
  // the access port. Every cache is unknown afterwards.
  bool PowerUpDebugPort();
  // Reads CTRL/STAT until it is acknowledged (up to ACK_RETRIES re-reads),
  // clears sticky flags, or powers the port up again when it lost power. An
  // acknowledge that never comes latches the check: every later check fails
  // without a scan until the guard is cleared.
  bool CheckDebugPortStatus();

  // Memory access: the full address goes to TAR, the data on its byte lanes
  // of DRW, then the status check. A read gives 0 unless every step
  // succeeded; a write reports nothing. A failure is noted (TransferFailed).
  uint32_t ReadMemByte(uint32_t address);
  uint32_t ReadMemHalfWord(uint32_t address);
  uint32_t ReadMemWord(uint32_t address);
  void WriteMemByte(uint32_t address, uint32_t value);
  void WriteMemHalfWord(uint32_t address, uint32_t value);
  void WriteMemWord(uint32_t address, uint32_t value);

  // A bare instruction scan (the halt check's); false without a channel.
  bool InstructionScan(uint32_t instruction) { return FTransport->InstructionScan(instruction); }

  // This level's part of the core initialisation: the status-check guard is cleared.
  void InitializeCore() { ClearStatusCheckGuard(); }
  // For a processor reset: a latched status check may work again.
  void ClearStatusCheckGuard() { FJTAGCheckPending = false; }
  // For a new host device: the guard is cleared and the port's cached
  // registers (SELECT, CSW, TAR) are unknown.
  void HostDeviceChanged();

  // Whether a memory access or status check since the last reset failed: no
  // channel, a scan never acknowledged OK, the latched check, or a re-power
  // of the debug port. Sticky flags that could be cleared are no failure.
  bool TransferFailed() const { return FTransferFailed; }
  void ResetTransferFailed() { FTransferFailed = false; }

  // State.
  uint32_t DpCtrlStat() const { return FDpCtrlStat; }
  uint32_t ApSelect() const { return FApSelect; }
  uint32_t DPSelectValue() const { return FDPSelectValue; }
  uint32_t ApCswValue() const { return FApCswValue; }
  uint32_t ApTarValue() const { return FApTarValue; }
  uint8_t TransMode() const { return FTransMode; }
  uint8_t Ack() const { return FAck; }
  uint32_t TarAutoIncBlock() const { return FTarAutoIncBlock; }
  void SetTarAutoIncBlock(uint32_t bytes) { FTarAutoIncBlock = bytes; }
  bool JTAGCheckPending() const { return FJTAGCheckPending; }

protected:
  uint32_t FDpCtrlStat = adiv5::CACHE_INVALID;     // request bits kept set in CTRL/STAT
  uint32_t FApSelect = 0;                          // APSEL field of SELECT, in place; always 0
  uint32_t FDPSelectValue = adiv5::CACHE_INVALID;  // cache: AP bank last written to SELECT
  uint32_t FApCswValue = adiv5::CACHE_INVALID;     // cache: CSW last written
  uint32_t FApTarValue = adiv5::CACHE_INVALID;     // cache: TAR last written
  uint8_t FTransMode = 0;                          // TRANS_MODE_*; 0 before the first power-up
  uint8_t FTransRW = 0;                            // declared for the levels above; unused here
  uint8_t FAck = 0;                                // acknowledge of the last scan that gave one
  uint32_t FMemAccessTCK = 0;                      // declared for the levels above; unused here
  uint32_t FTarAutoIncBlock = adiv5::TAR_AUTOINC_BLOCK;  // not consulted: TAR is written per word
  bool FJTAGCheckPending = false;                  // guard: a status check runs, or latched

private:
  bool Scan(uint32_t instruction, uint32_t address, bool read, uint32_t value, TDapScanAnswer& answer);
  // One scan that must be acknowledged OK (WAIT re-scanned); its data on success.
  bool AcceptedScan(uint32_t instruction, uint32_t address, bool read, uint32_t value, uint32_t& data);
  bool OverrunDetectionOn() const;
  // The requests a CTRL/STAT write keeps set: FDpCtrlStat, or before a
  // power-up of this engine the power-up requests alone. The unknown value
  // is never written: all ones would request a debug reset and a reserved
  // transfer mode.
  uint32_t CtrlStatRequests() const;
  bool ClearStickyOverrun();
  // The status check's CTRL/STAT read; FAck gets the first acknowledge that was not OK.
  bool ReadCtrlStatForCheck(uint32_t& value);
  bool CheckDebugPortStatusGuarded();
  uint32_t ReadMem(uint32_t sizeBits, uint32_t address);
  void WriteMem(uint32_t sizeBits, uint32_t address, uint32_t lanes);
  void Wait(unsigned milliseconds);
  bool Logging() const { return bool(FHooks.Log); }
  void Log(TDapLogKind kind, const WideString& text);

  std::unique_ptr<IDapTransport> FTransport;
  TADIv5Hooks FHooks;
  // A WAIT came while overrun detection was on: the port has set STICKYORUN
  // and runs no access-port request until it is cleared.
  bool FOverrunPending = false;
  bool FTransferFailed = false;
};

}  // namespace tvk
