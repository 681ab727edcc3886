// Scans and host calls of the loaded module's driver on the simulated
// STM32F103 (chain index 1), driven as the host drives it: IMemoryAccess for
// memory, dispatch identifiers for a core register and a reset. Each
// operation runs in steady state (the previous access was a word memory
// access), after a banked access (the host's status query) and after a
// power-up (the debug port lost power and the module powered it up again);
// the DR scans are checked against the counts the scan rules give. Then the
// module's own time per scan against the simulator's, and against the
// debug-port transport alone (the product's engine, built into this program,
// on a board of its own) doing the same memory accesses. Last, a flash writer
// on the loaded driver programs a 64 KiB image with verify into the simulated
// flash: each 512-byte chunk costs the same, the sum of its operations; the
// whole costs the module little time beside the simulator's.
#include "ModuleCalls.h"
#include "SimFlashCallback.h"
#include "SimFlashProgrammer.h"
#include "SimHost.h"
#include "Tovik.ARM.ADIv5.h"
#include "ZUL.DispatchFix.h"
#include "support/TestFlashWriter.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;
constexpr std::int32_t kKiB = 1024;
// Goals: the module's own time per scan at most this many times the
// transport's alone, and its time beside the simulator's while programming flash.
constexpr double kScanGoal = 1.3, kFlashGoal = 1.1;

struct Rig {
  hostsim::LoadedModule Module{TVK_MODULE_PATH};
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  IDispatch* Driver = nullptr;
  hostsim::IMemoryAccess* Memory = nullptr;
  std::vector<std::uint32_t> Cells = std::vector<std::uint32_t>(kKiB);

  ~Rig() {
    if (Memory) Memory->Release();
    if (Driver) CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(nullptr)});
  }

  // The driver of the chip's kind holds the board's device; the first status
  // query has set the core up, and the core is halted.
  bool Attach() {
    if (!Module.Ready()) return false;
    const std::int32_t kind = Module.FindKind(Board->Chip().Config().DeviceName);
    Driver = kind >= 0 ? Module.Driver(kind) : nullptr;
    if (!Driver) return false;
    Board->Chip().LoadWords(kFlash, {0x20005000, 0x08000009});
    Board->Chip().LoadHalfwords(0x08000008, {0xE7FE});  // B .
    Board->Chip().PowerOnReset();
    Board->SetLogging(false);
    Memory = hostsim::MemoryAccessOf(Driver);
    return Memory &&
           CallModule(Driver, served::Driver_SetTovikDevice, {hostsim::ArgObject(Board->DeviceDispatch())}).Bool() ==
               true &&
           CallModule(Driver, served::Driver_ProcessorIsPaused).Bool() == false &&
           SUCCEEDED(CallModule(Driver, served::Driver_PauseProcessor).Result) && Board->Chip().Halted();
  }

  bool Read(std::uint32_t address, std::int32_t count) { return hostsim::ReadMemory(Memory, Cells.data(), address, count); }
  bool Write(std::uint32_t address, std::int32_t count) {
    return hostsim::WriteMemory(Memory, Cells.data(), address, count);
  }
  bool Call(DISPID id, std::initializer_list<VARIANT> args = {}) { return CallModule(Driver, id, args).Result == S_OK; }
};

// The debug-port engine alone on a board of its own, driving the host's
// channel through the same transport the module's driver uses.
struct Transport {
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  tvk::ITovikDevice Device{Board->DeviceDispatch()};
  tvk::TADIv5Engine Engine{std::make_unique<tvk::TJTagChannelDapTransport>([this] { return Device; }),
                           tvk::TADIv5Hooks{{}, [](unsigned) {}}};

  bool PowerUp() {
    Board->SetLogging(false);
    return Engine.PowerUpDebugPort();
  }
  bool ReadWords(std::uint32_t address, std::int32_t bytes) {
    for (std::int32_t k = 0; k < bytes; k += 4) Engine.ReadMemWord(address + std::uint32_t(k));
    return !Engine.TransferFailed();
  }
  bool WriteWords(std::uint32_t address, std::int32_t bytes) {
    for (std::int32_t k = 0; k < bytes; k += 4) Engine.WriteMemWord(address + std::uint32_t(k), std::uint32_t(k));
    return !Engine.TransferFailed();
  }
};

// The whole time of Rounds runs against the time inside the simulator's
// objects: the caller's own microseconds per DR scan, and the scans.
struct ScanTime {
  double OwnPerScan = 0;
  double SimulatorPerScan = 0;
  std::uint64_t Scans = 0;
};

template <class F>
ScanTime TimeScans(hostsim::SimBoard& board, int rounds, F&& run) {
  board.ResetCounters();
  const auto start = std::chrono::steady_clock::now();
  for (int k = 0; k < rounds; ++k) run();
  const double total = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  const hostsim::SimCounters c = board.Counters();
  const double scans = c.DrScans ? double(c.DrScans) : 1.0;
  return {(total - c.SimulatorMicroseconds) / scans, c.SimulatorMicroseconds / scans, c.DrScans};
}

struct Operation {
  const char* Name;
  std::function<bool(Rig&)> Run;
  // DR scans by the scan rules in steady state and after a banked access or
  // a power-up; none where the count depends on more than these rules.
  std::optional<std::uint64_t> Steady, AfterBank, AfterPowerUp;
};

struct State {
  const char* Name;
  std::function<bool(Rig&)> Prepare;
};

unsigned long long U(std::uint64_t n) { return static_cast<unsigned long long>(n); }

hostsim::SimCounters Minus(const hostsim::SimCounters& a, const hostsim::SimCounters& b) {
  return {a.IrScans - b.IrScans,           a.DrScans - b.DrScans,         a.TapMoves - b.TapMoves,
          a.ChannelCalls - b.ChannelCalls, a.DeviceCalls - b.DeviceCalls, a.DpScans - b.DpScans,
          a.ApScans - b.ApScans,           a.WaitAnswers - b.WaitAnswers,
          a.SimulatorMicroseconds - b.SimulatorMicroseconds};
}

// A flash writer built into this program drives the loaded driver as the
// host would: through its dispatch interface and IMemoryAccess.
bool FlashProgramming(Rig& rig) {
  using testsupport::TestFlashWriter;
  constexpr std::uint32_t kImageBytes = 64 * kKiB, kChunk = 512, kChunks = kImageBytes / kChunk;
  hostsim::SimFlashProgrammer flash(rig.Board->Chip(), hostsim::SimFlashLayout::Stm32F10x(128 * kKiB));
  tvk::ComRef<hostsim::SimFlashCallback> callback = tvk::ComRef<hostsim::SimFlashCallback>::Adopt(new hostsim::SimFlashCallback);
  tvk::ComRef<TestFlashWriter> writer(tvk::New<TestFlashWriter>(tvk::ITovikDriver(rig.Driver), true));
  std::int32_t result = 0;
  if (!writer->IsDriverLoaded() || writer->SetFlashWriterCallback(tvk::IFlashWriterCallback(callback.Get()), result) != S_OK ||
      writer->InstallDriver(result) != S_OK || result != 1) {
    std::printf("\nthe flash writer could not install its stand-in program\n");
    return false;
  }

  // One command and one data-area write, each after a command, as in the chunk loop.
  writer->Command(50, {0, 0});
  rig.Board->ResetCounters();
  writer->Command(50, {0, 0});
  const hostsim::SimCounters command = rig.Board->Counters();
  const std::vector<std::uint32_t> chunkCells(kChunk, 0xA5);
  rig.Board->ResetCounters();
  writer->RemoteDataWrite(writer->DataArea(), chunkCells.data(), kChunk, false);
  const hostsim::SimCounters dataWrite = rig.Board->Counters();
  const std::uint64_t expected = dataWrite.DrScans + 3 * command.DrScans;  // prepare, program, verify

  // A snapshot at each progress value: 0, 0, 50, 100, one per chunk, 1000.
  struct Snapshot {
    hostsim::SimCounters Counters;
    std::size_t CallbackCalls;
    std::chrono::steady_clock::time_point At;
  };
  std::vector<Snapshot> snapshots;
  callback->OnProgress([&](long) {
    snapshots.push_back({rig.Board->Counters(), callback->Questions() + callback->Progress().size(),
                         std::chrono::steady_clock::now()});
  });
  tvk::TDataChunkImage image;
  image.TargetAddr = kFlash;
  image.DataArray.SetLength(kImageBytes);
  for (std::uint32_t i = 0; i < kImageBytes; ++i) image.DataArray[i] = (i * 7 + (i >> 9)) & 0xFF;
  image.DataLen = kImageBytes;
  rig.Board->ResetCounters();
  const auto started = std::chrono::steady_clock::now();
  const std::int32_t status = writer->FlashWrite(0, image, false, false, false, true);
  const double wholeWall = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - started).count();
  const double wholeSimulator = rig.Board->Counters().SimulatorMicroseconds;
  writer->UninstallDriver(result);

  bool ok = status == 0 && snapshots.size() == 4 + kChunks + 1;
  std::vector<std::uint8_t> programmed(kImageBytes);
  rig.Board->Chip().Peek(kFlash, programmed);
  for (std::uint32_t i = 0; ok && i < kImageBytes; ++i) ok = programmed[i] == image.DataArray[i];
  std::printf("\nflash: 64 KiB with verify, status %d, %s\n", int(status), ok ? "programmed" : "NOT PROGRAMMED");
  std::printf("one command: %llu DR scans, one %u-byte data-area write: %llu, a chunk by these: %llu\n",
              U(command.DrScans), unsigned(kChunk), U(dataWrite.DrScans), U(expected));
  std::printf("%6s %6s %6s %8s %7s %9s %13s %s\n", "chunk", "DR", "IR", "channel", "device", "callback",
              "module/sim", "");
  bool uniform = ok;
  for (std::uint32_t k = 0; ok && k < kChunks; ++k) {
    const Snapshot& from = snapshots[3 + k];
    const Snapshot& to = snapshots[4 + k];
    const hostsim::SimCounters c = Minus(to.Counters, from.Counters);
    const double wall = std::chrono::duration<double, std::micro>(to.At - from.At).count();
    const bool match = c.DrScans == expected && c.IrScans == expected;
    uniform = uniform && match;
    std::printf("%6u %6llu %6llu %8llu %7llu %9llu %13.2f %s\n", unsigned(k + 1), U(c.DrScans), U(c.IrScans),
                U(c.ChannelCalls), U(c.DeviceCalls), U(to.CallbackCalls - from.CallbackCalls),
                (wall - c.SimulatorMicroseconds) / c.SimulatorMicroseconds, match ? "ok" : "EXTRA SCANS");
  }
  std::printf("(per chunk: DR and IR scans, calls on the channel and the debug device, calls on the host's "
              "callback; the module's time against the simulator's)\n");
  std::printf("%s\n", uniform ? "every chunk costs its operations' scans and no more" : "CHUNKS DIFFER");
  const double whole = (wholeWall - wholeSimulator) / wholeSimulator;
  std::printf("the whole programming: %.1f ms in the module, %.1f ms in the simulator: %.2f (goal <= %.2f) %s\n",
              (wholeWall - wholeSimulator) / 1e3, wholeSimulator / 1e3, whole, kFlashGoal,
              whole <= kFlashGoal ? "ok" : "ABOVE THE GOAL");
  return uniform;
}

}  // namespace

int main() {
  tvk::DispatchFixStartup();  // this program's own calls (the transport alone, the writer) take its dispatcher
  Rig rig;
  if (!rig.Attach()) {
    std::printf("the module's driver could not be attached to the simulated chip\n");
    return 1;
  }

  // A core-register read: DCRDR kept, DCRSR written, DCRDR read, status
  // checked, all through the banked data registers of 0xE000EDF0.
  const Operation operations[] = {
      {"word read", [](Rig& r) { return r.Read(kSram + 4, 4); }, 5, 7, 7},
      {"word write", [](Rig& r) { return r.Write(kSram + 4, 4); }, 4, 6, 6},
      {"1 KiB read", [](Rig& r) { return r.Read(kSram, kKiB); }, 1280, 1282, 1282},
      {"1 KiB write", [](Rig& r) { return r.Write(kSram, kKiB); }, 1024, 1026, 1026},
      {"register read", [](Rig& r) { return r.Call(served::Driver_GetProcessorRegisterValue, {hostsim::ArgInt(0)}); },
       10, 7, 11},
      {"reset", [](Rig& r) { return r.Call(served::Driver_ResetProcessor); }, {}, {}, {}},
  };
  const State states[] = {
      {"steady state", [](Rig& r) { return r.Read(kSram + 8, 4); }},
      // The host's status query reads DHCSR through the banked data registers.
      {"after a banked access", [](Rig& r) { return r.Call(served::Driver_ProcessorIsPaused); }},
      // The status check of the next access finds the port unpowered and powers it up.
      {"after a power-up",
       [](Rig& r) {
         r.Board->Dp().LosePower();
         r.Read(kSram + 8, 4);  // fails: the port had no power
         return (r.Board->Dp().CtrlStat() & hostsim::adi::CDBGPWRUPACK) != 0;
       }},
  };

  bool allMatch = true;
  std::printf("%-22s %-14s %6s %6s %8s %7s %9s %s\n", "state", "operation", "DR", "IR", "channel", "device",
              "expected", "");
  for (std::size_t s = 0; s < std::size(states); ++s) {
    for (const Operation& op : operations) {
      const bool prepared = states[s].Prepare(rig);
      rig.Board->ResetCounters();
      const bool done = op.Run(rig);
      const hostsim::SimCounters c = rig.Board->Counters();
      const std::optional<std::uint64_t> expected = s == 0 ? op.Steady : s == 1 ? op.AfterBank : op.AfterPowerUp;
      const char* mark = !prepared ? "NOT PREPARED" : !done ? "FAILED" : "";
      if (prepared && done && expected) mark = c.DrScans == *expected && c.IrScans == *expected ? "ok" : "MISMATCH";
      allMatch = allMatch && prepared && done && (!expected || (c.DrScans == *expected && c.IrScans == *expected));
      char rule[16] = "-";
      if (expected) std::snprintf(rule, sizeof rule, "%llu", U(*expected));
      std::printf("%-22s %-14s %6llu %6llu %8llu %7llu %9s %s\n", states[s].Name, op.Name, U(c.DrScans),
                  U(c.IrScans), U(c.ChannelCalls), U(c.DeviceCalls), rule, mark);
    }
  }
  std::printf("(DR and IR scans, calls on the host's JTAG channel and on its debug device; "
              "\"expected\": DR scans by the scan rules, each scan loading the instruction once)\n");

  // Time: the module's own time per scan (each call whole, less the time inside
  // the simulator's objects) against the transport alone making the same
  // accesses in the same run; the best of a few repetitions of each, taken in
  // turn, so that other work on the machine weighs on neither.
  Transport transport;
  if (!transport.PowerUp()) {
    std::printf("the transport alone could not power the debug port up\n");
    return 1;
  }
  struct Timed {
    const Operation& Op;
    int Rounds;
    std::function<bool(Transport&)> Alone;  // the same accesses through the transport; none for a register
  };
  const Timed timed[] = {
      {operations[0], 2000, [](Transport& t) { return t.ReadWords(kSram + 4, 4); }},
      {operations[1], 2000, [](Transport& t) { return t.WriteWords(kSram + 4, 4); }},
      {operations[2], 20, [](Transport& t) { return t.ReadWords(kSram, kKiB); }},
      {operations[3], 20, [](Transport& t) { return t.WriteWords(kSram, kKiB); }},
      {operations[4], 1000, {}},
  };
  constexpr int kRepetitions = 5;
  std::printf("\n%-14s %7s %15s %18s %18s %17s\n", "operation", "scans", "module us/scan", "simulator us/scan",
              "transport us/scan", "module/transport");
  for (const Timed& t : timed) {
    ScanTime module, alone;
    for (int repetition = 0; repetition < kRepetitions; ++repetition) {
      states[0].Prepare(rig);
      const ScanTime m = TimeScans(*rig.Board, t.Rounds, [&] { t.Op.Run(rig); });
      if (repetition == 0 || m.OwnPerScan < module.OwnPerScan) module = m;
      if (!t.Alone) continue;
      transport.ReadWords(kSram + 8, 4);  // steady state, as for the module
      const ScanTime a = TimeScans(*transport.Board, t.Rounds, [&] { t.Alone(transport); });
      if (repetition == 0 || a.OwnPerScan < alone.OwnPerScan) alone = a;
    }
    std::printf("%-14s %7llu %15.2f %18.2f", t.Op.Name, U(module.Scans), module.OwnPerScan, module.SimulatorPerScan);
    if (!t.Alone) {
      std::printf(" %18s %17s\n", "-", "-");
      continue;
    }
    const double ratio = module.OwnPerScan / alone.OwnPerScan;
    std::printf(" %18.2f %17.2f (goal <= %.2f) %s\n", alone.OwnPerScan, ratio, kScanGoal,
                alone.Scans != module.Scans ? "SCANS DIFFER" : ratio <= kScanGoal ? "ok" : "ABOVE THE GOAL");
  }
  std::printf("(own time per DR scan: of the loaded module's driver, of the transport alone; scans per run)\n");

  const bool flashed = FlashProgramming(rig);
  const bool clean = rig.Board->ProtocolErrors().empty();
  std::printf("\n%s%s%s\n", allMatch ? "all counts match the scan rules" : "COUNTS DIFFER FROM THE SCAN RULES",
              flashed ? "" : "; FLASH CHUNKS DIFFER", clean ? "" : "; JTAG PROTOCOL ERRORS");
  return allMatch && flashed && clean ? 0 : 1;
}
