#include "SimJtagChain.h"

#include <array>
#include <deque>

namespace hostsim {

namespace {

struct TapEdge {
  TapState Tms0, Tms1;
};

// IEEE 1149.1 TAP controller, indexed by state code.
constexpr std::array<TapEdge, 17> kTapGraph = {{
    {TapState::TestLogicReset, TapState::TestLogicReset},  // 0: unused
    {TapState::RunTestIdle, TapState::TestLogicReset},     // Test-Logic-Reset
    {TapState::RunTestIdle, TapState::SelectDrScan},       // Run-Test/Idle
    {TapState::CaptureDr, TapState::SelectIrScan},         // Select-DR-Scan
    {TapState::ShiftDr, TapState::Exit1Dr},                // Capture-DR
    {TapState::ShiftDr, TapState::Exit1Dr},                // Shift-DR
    {TapState::PauseDr, TapState::UpdateDr},               // Exit1-DR
    {TapState::PauseDr, TapState::Exit2Dr},                // Pause-DR
    {TapState::ShiftDr, TapState::UpdateDr},               // Exit2-DR
    {TapState::RunTestIdle, TapState::SelectDrScan},       // Update-DR
    {TapState::CaptureIr, TapState::TestLogicReset},       // Select-IR-Scan
    {TapState::ShiftIr, TapState::Exit1Ir},                // Capture-IR
    {TapState::ShiftIr, TapState::Exit1Ir},                // Shift-IR
    {TapState::PauseIr, TapState::UpdateIr},               // Exit1-IR
    {TapState::PauseIr, TapState::Exit2Ir},                // Pause-IR
    {TapState::ShiftIr, TapState::UpdateIr},               // Exit2-IR
    {TapState::RunTestIdle, TapState::SelectDrScan},       // Update-IR
}};

constexpr const wchar_t* kTapNames[17] = {
    L"?",          L"Test-Logic-Reset", L"Run-Test/Idle", L"Select-DR-Scan", L"Capture-DR", L"Shift-DR",
    L"Exit1-DR",   L"Pause-DR",         L"Exit2-DR",      L"Update-DR",      L"Select-IR-Scan",
    L"Capture-IR", L"Shift-IR",         L"Exit1-IR",      L"Pause-IR",       L"Exit2-IR",
    L"Update-IR"};

const TapEdge& Edges(TapState s) { return kTapGraph[static_cast<int>(s)]; }

// Shortest TMS sequence from one state to another (empty when equal).
std::vector<bool> TmsPath(TapState from, TapState to) {
  std::array<int, 17> prev{};
  std::array<bool, 17> prevTms{}, seen{};
  std::deque<TapState> queue{from};
  seen[static_cast<int>(from)] = true;
  while (!queue.empty()) {
    TapState s = queue.front();
    queue.pop_front();
    if (s == to) break;
    for (bool tms : {false, true}) {
      TapState n = tms ? Edges(s).Tms1 : Edges(s).Tms0;
      if (seen[static_cast<int>(n)]) continue;
      seen[static_cast<int>(n)] = true;
      prev[static_cast<int>(n)] = static_cast<int>(s);
      prevTms[static_cast<int>(n)] = tms;
      queue.push_back(n);
    }
  }
  std::vector<bool> path;
  for (int s = static_cast<int>(to); s != static_cast<int>(from); s = prev[s]) path.insert(path.begin(), prevTms[s]);
  return path;
}

// Capture-IR loads the pattern 1149.1 requires: bit 0 one, bit 1 zero.
Bits IrCapturePattern(unsigned length) {
  Bits b(length, 0);
  if (length) b[0] = 1;
  return b;
}

}  // namespace

const wchar_t* TapStateName(TapState state) {
  int s = static_cast<int>(state);
  return (s >= 1 && s <= 16) ? kTapNames[s] : kTapNames[0];
}

Bits ToBits(std::uint64_t value, unsigned count) {
  Bits b(count);
  for (unsigned k = 0; k < count; ++k) b[k] = k < 64 ? std::uint8_t((value >> k) & 1) : 0;
  return b;
}

std::uint64_t FromBits(const Bits& bits, std::size_t first, std::size_t count) {
  std::uint64_t v = 0;
  for (std::size_t k = 0; k < count && k < 64 && first + k < bits.size(); ++k)
    v |= std::uint64_t(bits[first + k] & 1) << k;
  return v;
}

SimBypassTap::SimBypassTap(unsigned irLength, std::optional<std::uint32_t> idcode, std::uint32_t idcodeInstruction)
    : SimTap(irLength), FIdcode(idcode), FIdcodeInstruction(idcodeInstruction) {
  ResetTap();
}

void SimBypassTap::ResetTap() { FInstruction = FIdcode ? FIdcodeInstruction : BypassInstruction(); }

Bits SimBypassTap::CaptureDr() {
  if (FIdcode && FInstruction == FIdcodeInstruction) return ToBits(*FIdcode, 32);
  return Bits(1, 0);  // BYPASS captures 0
}

SimJtagChain::SimJtagChain() = default;

std::size_t SimJtagChain::Add(std::unique_ptr<SimTap> tap) {
  tap->ResetTap();
  FIr.push_back(IrCapturePattern(tap->IrLength()));
  FDr.push_back(Bits(1, 0));  // nothing captured yet
  FTaps.push_back(std::move(tap));
  return FTaps.size() - 1;
}

void SimJtagChain::ResetToIdle() {
  for (int k = 0; k < 5; ++k) Clock(true);
  Clock(false);
}

unsigned SimJtagChain::IrChainLength() const {
  unsigned n = 0;
  for (const auto& t : FTaps) n += t->IrLength();
  return n;
}

void SimJtagChain::Enter(TapState next) {
  FState = next;
  for (std::size_t i = 0; i < FTaps.size(); ++i) {
    SimTap& tap = *FTaps[i];
    switch (next) {
      case TapState::TestLogicReset: tap.ResetTap(); break;
      case TapState::CaptureIr: FIr[i] = IrCapturePattern(tap.IrLength()); break;
      case TapState::UpdateIr: tap.UpdateIr(std::uint32_t(FromBits(FIr[i], 0, tap.IrLength()))); break;
      case TapState::CaptureDr: FDr[i] = tap.CaptureDr(); break;
      case TapState::UpdateDr: tap.UpdateDr(FDr[i]); break;
      default: break;
    }
  }
}

void SimJtagChain::Clock(bool tms) {
  // A clock in a shift state moves one bit (TDI low) on its way out.
  if (FState == TapState::ShiftIr) ShiftThrough(FIr, Bits(1, 0));
  if (FState == TapState::ShiftDr) ShiftThrough(FDr, Bits(1, 0));
  Enter(tms ? Edges(FState).Tms1 : Edges(FState).Tms0);
}

void SimJtagChain::Move(TapState from, TapState to) {
  ++FTapMoves;
  if (FState != from)
    NoteProtocolError(std::wstring(L"TAP move from ") + TapStateName(from) + L" while in " + TapStateName(FState));
  for (bool tms : TmsPath(from, to)) Clock(tms);
}

void SimJtagChain::Goto(TapState to) {
  for (bool tms : TmsPath(FState, to)) Clock(tms);
}

Bits SimJtagChain::ShiftThrough(std::vector<Bits>& registers, const Bits& in) {
  Bits stream = in;
  for (std::size_t i = FTaps.size(); i-- > 0;) {
    Bits& reg = registers[i];
    Bits combined = reg;
    combined.insert(combined.end(), stream.begin(), stream.end());
    Bits out(combined.begin(), combined.begin() + std::ptrdiff_t(stream.size()));
    reg.assign(combined.end() - std::ptrdiff_t(reg.size()), combined.end());
    if (FTaps[i]->StuckTdo) out.assign(stream.size(), *FTaps[i]->StuckTdo ? 1 : 0);
    stream = std::move(out);
  }
  return stream;
}

Bits SimJtagChain::ShiftIr(const Bits& in) {
  ++FIrScans;
  if (FState != TapState::ShiftIr) {
    NoteProtocolError(std::wstring(L"instruction shift while in ") + TapStateName(FState));
    return Bits(in.size(), 1);
  }
  Bits out = ShiftThrough(FIr, in);
  if (!in.empty()) Enter(TapState::Exit1Ir);
  return out;
}

Bits SimJtagChain::ShiftDr(const Bits& in) {
  ++FDrScans;
  if (FState != TapState::ShiftDr) {
    NoteProtocolError(std::wstring(L"data shift while in ") + TapStateName(FState));
    return Bits(in.size(), 1);
  }
  Bits out = ShiftThrough(FDr, in);
  if (!in.empty()) Enter(TapState::Exit1Dr);
  return out;
}

}  // namespace hostsim
