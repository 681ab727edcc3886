#pragma once
// A simulated ARM JTAG debug port (ADIv5 JTAG-DP) with one memory access
// port (MEM-AP, access port 0) on the chip's bus.
//
// Scans: DPACC and APACC shift 35 bits, bit 0 RnW, bits 2:1 address bits 3:2,
// bits 34:3 data. Capture-DR loads the acknowledge (bits 2:0) and the result
// of the previous read (bits 34:3); Update-DR runs the request unless the
// capture answered WAIT, in which case the request is dropped. A read's data
// therefore comes out with the next scan; RDBUFF reads as zero without side
// effects and serves to fetch the last result.
//
// Not modelled: pushed compare and verify (TRNMODE), TRNCNT, MASKLANE, packed
// transfers (packed auto-increment counts as single).
#include "SimJtagChain.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hostsim {

namespace adi {
// JTAG instructions of the JTAG-DP (4-bit instruction register).
constexpr std::uint32_t IR_ABORT = 0x8;
constexpr std::uint32_t IR_DPACC = 0xA;
constexpr std::uint32_t IR_APACC = 0xB;
constexpr std::uint32_t IR_IDCODE = 0xE;
constexpr std::uint32_t IR_BYPASS = 0xF;

// Acknowledges (bits 2:0 of a DPACC/APACC capture).
constexpr unsigned ACK_WAIT = 0x1;
constexpr unsigned ACK_OK_FAULT = 0x2;

// Debug port registers.
constexpr std::uint32_t DP_CTRL_STAT = 0x4;
constexpr std::uint32_t DP_SELECT = 0x8;
constexpr std::uint32_t DP_RDBUFF = 0xC;

// CTRL/STAT bits.
constexpr std::uint32_t ORUNDETECT = 1u << 0;    // overrun detection enable
constexpr std::uint32_t STICKYORUN = 1u << 1;    // a WAIT happened with overrun detection on
constexpr std::uint32_t TRNMODE = 3u << 2;       // transfer mode (normal only)
constexpr std::uint32_t STICKYCMP = 1u << 4;     // pushed-compare match
constexpr std::uint32_t STICKYERR = 1u << 5;     // an access-port transfer failed
constexpr std::uint32_t WDATAERR = 1u << 7;      // write data error; cleared through ABORT only
constexpr std::uint32_t MASKLANE = 0xFu << 8;
constexpr std::uint32_t TRNCNT = 0xFFFu << 12;
constexpr std::uint32_t CTRLSTAT_RESERVED = 3u << 24;
constexpr std::uint32_t CDBGRSTREQ = 1u << 26;
constexpr std::uint32_t CDBGRSTACK = 1u << 27;
constexpr std::uint32_t CDBGPWRUPREQ = 1u << 28;  // debug power-up request
constexpr std::uint32_t CDBGPWRUPACK = 1u << 29;  // debug power-up acknowledge
constexpr std::uint32_t CSYSPWRUPREQ = 1u << 30;  // system power-up request
constexpr std::uint32_t CSYSPWRUPACK = 1u << 31;  // system power-up acknowledge
constexpr std::uint32_t STICKY_FLAGS = STICKYORUN | STICKYCMP | STICKYERR | WDATAERR;

// SELECT fields.
constexpr std::uint32_t SELECT_APSEL = 0xFFu << 24;
constexpr std::uint32_t SELECT_APBANKSEL = 0xFu << 4;

// ABORT bits (DAPABORT cancels a transaction that keeps answering WAIT).
constexpr std::uint32_t DAPABORT = 1u << 0;
constexpr std::uint32_t STKCMPCLR = 1u << 1;
constexpr std::uint32_t STKERRCLR = 1u << 2;
constexpr std::uint32_t WDERRCLR = 1u << 3;
constexpr std::uint32_t ORUNERRCLR = 1u << 4;

// MEM-AP registers (bank in bits 7:4).
constexpr std::uint32_t AP_CSW = 0x00;
constexpr std::uint32_t AP_TAR = 0x04;
constexpr std::uint32_t AP_DRW = 0x0C;
constexpr std::uint32_t AP_BD0 = 0x10;
constexpr std::uint32_t AP_CFG = 0xF4;
constexpr std::uint32_t AP_BASE = 0xF8;
constexpr std::uint32_t AP_IDR = 0xFC;

// CSW fields.
constexpr std::uint32_t CSW_SIZE = 0x7;          // 0 byte, 1 halfword, 2 word
constexpr std::uint32_t CSW_ADDRINC = 0x3u << 4; // 0 off, 1 single, 2 packed
constexpr std::uint32_t CSW_DEVICEEN = 1u << 6;  // transfers possible (system powered)
constexpr std::uint32_t CSW_PROT = 0xFFu << 24;  // bus protection and debug enable bits
constexpr std::uint32_t CSW_RESET = 0x03000040;

// Identification of the Cortex-M3's AHB access port.
constexpr std::uint32_t AHB_AP_IDR = 0x24770011;
constexpr std::uint32_t CM3_ROM_BASE = 0xE00FF003;  // ROM table at 0xE00FF000, present
}  // namespace adi

// What a MEM-AP reaches: the chip's bus as the debugger sees it.
class SimBusTarget {
public:
  virtual ~SimBusTarget() = default;
  // The aligned word that holds `address` (every byte lane); false for a bus error.
  virtual bool DapRead(std::uint32_t address, unsigned size, std::uint32_t& word) = 0;
  // Writes `size` bytes at `address` (aligned to size) from their lanes of `word`.
  virtual bool DapWrite(std::uint32_t address, unsigned size, std::uint32_t word) = 0;
};

class SimJtagDp : public SimTap {
public:
  SimJtagDp(std::uint32_t idcode, std::unique_ptr<SimBusTarget> bus);

  void ResetTap() override;
  Bits CaptureDr() override;
  void UpdateDr(const Bits& shifted) override;

  SimBusTarget& Bus() { return *FBus; }
  std::uint32_t Idcode() const { return FIdcode; }
  // Power-on state of the port: CTRL/STAT, SELECT, CSW and TAR reset, no fault pending.
  void PowerOnReset();

  // Fault knobs.
  static constexpr unsigned kForever = ~0u;
  // The next `scans` DPACC/APACC scans answer WAIT and their requests are
  // dropped (kForever: until DAPABORT or another call).
  void SetWaitScans(unsigned scans) { FWaitScans = scans; }
  enum class Dead { No, AllOnes, AllZeros };
  // A dead port drives TDO stuck high (all ones: acknowledge 111) or low (no
  // acknowledge: 000) and runs no request.
  void SetDead(Dead mode);
  // Power loss: power-up requests and acknowledges drop; until power is
  // requested again, access-port transfers fail with STICKYERR.
  void LosePower();
  // Each acknowledge appears only after this many CTRL/STAT reads have seen its
  // request without it (0: at the first read).
  void SetPowerUpAckDelay(unsigned debugReads, unsigned systemReads);
  // Sets sticky flags as if a transfer had failed (STICKYERR, STICKYORUN, STICKYCMP, WDATAERR).
  void RaiseSticky(std::uint32_t flags) { FCtrlStat |= flags & adi::STICKY_FLAGS; }
  // TAR auto-increment wraps within blocks of this many bytes (1 KiB on the Cortex-M3's AHB-AP).
  void SetTarAutoIncrementBlock(std::uint32_t bytes) { FTarBlock = bytes; }

  // State, as the debugger would read it (no side effects).
  std::uint32_t CtrlStat() const { return FCtrlStat; }
  std::uint32_t Select() const { return FSelect; }
  std::uint32_t Csw() const { return FCsw | CswStatus(); }
  std::uint32_t Tar() const { return FTar; }

  // Counters.
  std::uint64_t DpScans() const { return FDpScans; }            // DPACC captures
  std::uint64_t ApScans() const { return FApScans; }            // APACC captures
  std::uint64_t WaitAnswers() const { return FWaitAnswers; }    // scans that answered WAIT
  std::uint64_t DroppedApAccesses() const { return FDropped; }  // requests not run: sticky flags set
  std::uint64_t BusErrors() const { return FBusErrors; }        // transfers that set STICKYERR
  std::uint64_t CtrlStatReads() const { return FCtrlStatReads; }
  void ResetCounters();

  // Requests a debugger must not make: a CTRL/STAT write with reserved bits
  // (25:24, or the reserved transfer mode 3) or the debug reset request. The
  // port still does what it can with them; the board's ProtocolErrors lists them.
  const std::vector<std::wstring>& ProtocolFaults() const { return FProtocolFaults; }
  void ClearProtocolFaults() { FProtocolFaults.clear(); }

private:
  std::uint32_t CswStatus() const;
  void RunDp(bool read, std::uint32_t address, std::uint32_t data);
  void RunAp(bool read, std::uint32_t address, std::uint32_t data);
  void WriteCtrlStat(std::uint32_t value);
  void AdvancePowerAcks();
  bool Transfer(bool read, std::uint32_t address, std::uint32_t data, bool increment);
  void Fail(bool read);

  std::uint32_t FIdcode;
  std::unique_ptr<SimBusTarget> FBus;
  std::uint32_t FCtrlStat = 0, FSelect = 0, FCsw = adi::CSW_RESET, FTar = 0;
  std::uint32_t FReadResult = 0;     // shifted out by the next capture
  unsigned FLastAck = adi::ACK_OK_FAULT;  // acknowledge of the last capture
  unsigned FWaitScans = 0;
  Dead FDead = Dead::No;
  unsigned FDebugAckDelay = 0, FSystemAckDelay = 0;
  unsigned FDebugAckPending = 0, FSystemAckPending = 0;  // reads left before each acknowledge
  std::uint32_t FTarBlock = 1024;
  std::uint64_t FDpScans = 0, FApScans = 0, FWaitAnswers = 0, FDropped = 0, FBusErrors = 0, FCtrlStatReads = 0;
  std::vector<std::wstring> FProtocolFaults;
};

}  // namespace hostsim
