#pragma once
// A simulated JTAG chain: one TAP controller state shared by every device
// (they all see the same TMS), instruction and data registers per device, and
// the shifts that pass bits from TDI through each device to TDO.
//
// Chain index 0 is the device nearest TDO: its register bits leave the chain
// first and the first bits shifted in end up in it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

// TAP controller states numbered as the host's channel numbers them in its
// TAP moves: (2,12) Run-Test/Idle to Shift-IR, (13,5) Exit1-IR to Shift-DR,
// (6,2) Exit1-DR to Run-Test/Idle, (2,5) Run-Test/Idle to Shift-DR,
// (13,2) Exit1-IR to Run-Test/Idle.
enum class TapState : int {
  TestLogicReset = 1,
  RunTestIdle = 2,
  SelectDrScan = 3,
  CaptureDr = 4,
  ShiftDr = 5,
  Exit1Dr = 6,
  PauseDr = 7,
  Exit2Dr = 8,
  UpdateDr = 9,
  SelectIrScan = 10,
  CaptureIr = 11,
  ShiftIr = 12,
  Exit1Ir = 13,
  PauseIr = 14,
  Exit2Ir = 15,
  UpdateIr = 16,
};

constexpr bool IsTapStateCode(long code) { return code >= 1 && code <= 16; }
const wchar_t* TapStateName(TapState state);

// One bit per element, in shift order: element 0 is the bit that leaves (or
// enters) first, which is bit 0 of the register.
using Bits = std::vector<std::uint8_t>;
Bits ToBits(std::uint64_t value, unsigned count);
std::uint64_t FromBits(const Bits& bits, std::size_t first = 0, std::size_t count = 64);

// One TAP on the chain.
class SimTap {
public:
  explicit SimTap(unsigned irLength) : FIrLength(irLength) {}
  virtual ~SimTap() = default;
  SimTap(const SimTap&) = delete;
  SimTap& operator=(const SimTap&) = delete;

  unsigned IrLength() const { return FIrLength; }
  std::uint32_t Instruction() const { return FInstruction; }
  std::uint32_t BypassInstruction() const { return (1u << FIrLength) - 1; }

  // Test-Logic-Reset selects the IDCODE register when there is one, else BYPASS.
  virtual void ResetTap() { FInstruction = BypassInstruction(); }
  virtual void UpdateIr(std::uint32_t instruction) { FInstruction = instruction; }
  // The data register selected by the current instruction, captured (bit 0
  // first); its size is the register's length.
  virtual Bits CaptureDr() = 0;
  virtual void UpdateDr(const Bits& shifted) = 0;

  // A dead TAP drives this level on TDO whatever is shifted through it.
  std::optional<bool> StuckTdo;

protected:
  unsigned FIrLength;
  std::uint32_t FInstruction = 0;
};

// A device that takes no part but BYPASS (and IDCODE when it has one).
class SimBypassTap : public SimTap {
public:
  explicit SimBypassTap(unsigned irLength = 5, std::optional<std::uint32_t> idcode = std::nullopt,
                        std::uint32_t idcodeInstruction = 1);
  void ResetTap() override;
  Bits CaptureDr() override;
  void UpdateDr(const Bits&) override {}

private:
  std::optional<std::uint32_t> FIdcode;
  std::uint32_t FIdcodeInstruction;
};

class SimJtagChain {
public:
  SimJtagChain();
  SimJtagChain(const SimJtagChain&) = delete;
  SimJtagChain& operator=(const SimJtagChain&) = delete;

  // Devices are added TDO side first; the answer is the new chain index.
  std::size_t Add(std::unique_ptr<SimTap> tap);
  std::size_t Size() const { return FTaps.size(); }
  SimTap& Tap(std::size_t index) { return *FTaps.at(index); }

  TapState State() const { return FState; }
  // TMS held high for five clocks, then Run-Test/Idle: how a host brings up its chain.
  void ResetToIdle();

  // Clocks the TMS path from `from` to `to` starting in the current state.
  // When the current state is not `from`, the path still runs (a real TAP
  // follows the TMS bits, not the host's belief) and a protocol error is noted.
  void Move(TapState from, TapState to);
  // The host's own moves inside a call (ShiftIR): from wherever the TAP is, uncounted.
  void Goto(TapState to);
  // Shifts the whole instruction or data chain (bit 0 first), leaving the
  // shift state on the last bit (to Exit1). Must be called in Shift-IR or
  // Shift-DR; otherwise nothing is shifted, a protocol error is noted and
  // the answer is all ones (a floating TDO).
  Bits ShiftIr(const Bits& in);
  Bits ShiftDr(const Bits& in);
  // Bits the chain expects for the IR and (all others in BYPASS) the DR.
  unsigned IrChainLength() const;

  // Counters: one IR scan or DR scan per shift call.
  std::uint64_t IrScans() const { return FIrScans; }
  std::uint64_t DrScans() const { return FDrScans; }
  std::uint64_t TapMoves() const { return FTapMoves; }
  void ResetCounters() { FIrScans = FDrScans = FTapMoves = 0; }

  // Sequences that a real TAP would not accept as the host meant them.
  const std::vector<std::wstring>& ProtocolErrors() const { return FProtocolErrors; }
  void NoteProtocolError(std::wstring text) { FProtocolErrors.push_back(std::move(text)); }
  void ClearProtocolErrors() { FProtocolErrors.clear(); }

private:
  void Clock(bool tms);
  void Enter(TapState next);
  Bits ShiftThrough(std::vector<Bits>& registers, const Bits& in);

  TapState FState = TapState::TestLogicReset;
  std::vector<std::unique_ptr<SimTap>> FTaps;
  std::vector<Bits> FIr, FDr;  // per device shift registers, captured at Capture-IR/DR
  std::uint64_t FIrScans = 0, FDrScans = 0, FTapMoves = 0;
  std::vector<std::wstring> FProtocolErrors;
};

}  // namespace hostsim
