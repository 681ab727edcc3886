// Scans and host calls of the debug-port engine's memory accesses on the
// simulated STM32F103 (chain index 1), in steady state (the previous access
// was a word memory access) and after a banked access or a power-up, checked
// against the counts the scan rules give; then the engine's own time per
// scan against the simulator's.
#include "SimHost.h"
#include "Tovik.ARM.ADIv5.h"
#include "ZUL.DispatchFix.h"

#include <chrono>
#include <cstdio>
#include <functional>

using namespace tvk;

namespace {

constexpr std::uint32_t kSram = 0x20000000;
constexpr std::uint32_t kDhcsr = 0xE000EDF0;
constexpr unsigned kWordsPerKiB = 256;

struct Bench {
  std::unique_ptr<hostsim::SimBoard> Board = hostsim::SimBoard::Stm32F103BehindBypass();
  ITovikDevice Device{Board->DeviceDispatch()};
  TADIv5Engine Engine{std::make_unique<TJTagChannelDapTransport>([this] { return Device; }),
                      TADIv5Hooks{{}, [](unsigned) {}}};
};

struct Row {
  const char* Operation;
  std::function<void(TADIv5Engine&)> Run;
  std::uint64_t Steady, AfterBank;  // DR scans by the scan rules
};

struct Before {
  const char* Name;
  std::function<void(TADIv5Engine&)> Prepare;
  bool Banked;  // the first word writes SELECT and CSW again
};

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

}  // namespace

int main() {
  DispatchFixStartup();
  Bench b;
  b.Board->SetLogging(false);
  if (!b.Engine.PowerUpDebugPort()) {
    std::printf("power-up failed\n");
    return 1;
  }
  for (std::uint32_t a = kSram; a < kSram + 1024; a += 4) b.Board->Chip().LoadWords(a, {a ^ 0x5A5A5A5A});

  const Row rows[] = {
      {"word read", [](TADIv5Engine& e) { e.ReadMemWord(kSram + 4); }, 5, 7},
      {"word write", [](TADIv5Engine& e) { e.WriteMemWord(kSram + 4, 0x12345678); }, 4, 6},
      {"1 KiB read",
       [](TADIv5Engine& e) {
         for (unsigned k = 0; k < kWordsPerKiB; ++k) e.ReadMemWord(kSram + 4 * k);
       },
       1280, 1282},
      {"1 KiB write",
       [](TADIv5Engine& e) {
         for (unsigned k = 0; k < kWordsPerKiB; ++k) e.WriteMemWord(kSram + 4 * k, k);
       },
       1024, 1026},
  };
  const Before befores[] = {
      {"steady state", [](TADIv5Engine& e) { e.ReadMemWord(kSram + 8); }, false},
      {"after a banked access", [](TADIv5Engine& e) { std::uint32_t v; e.ReadWordBanked(kDhcsr, v); }, true},
      {"after a power-up", [](TADIv5Engine& e) { e.PowerUpDebugPort(); }, true},
  };

  bool allMatch = true;
  std::printf("%-22s %-12s %8s %8s %8s %9s %9s %8s\n", "state", "operation", "DR", "IR", "channel", "device",
              "expected", "");
  for (const Before& before : befores) {
    for (const Row& row : rows) {
      before.Prepare(b.Engine);
      b.Engine.ResetTransferFailed();
      b.Board->ResetCounters();
      row.Run(b.Engine);
      const hostsim::SimCounters c = b.Board->Counters();
      const std::uint64_t expected = before.Banked ? row.AfterBank : row.Steady;
      const bool match = c.DrScans == expected && c.IrScans == expected && c.ChannelCalls == 5 * expected &&
                         c.DeviceCalls == 2 * expected && !b.Engine.TransferFailed();
      allMatch = allMatch && match;
      std::printf("%-22s %-12s %8llu %8llu %8llu %9llu %9llu %8s\n", before.Name, row.Operation,
                  static_cast<unsigned long long>(c.DrScans), static_cast<unsigned long long>(c.IrScans),
                  static_cast<unsigned long long>(c.ChannelCalls), static_cast<unsigned long long>(c.DeviceCalls),
                  static_cast<unsigned long long>(expected), match ? "ok" : "MISMATCH");
    }
  }

  // Time: the whole call against the time spent inside the simulator's objects.
  constexpr int kRounds = 40;
  std::printf("\n%-12s %8s %16s %18s\n", "operation", "scans", "module us/scan", "simulator us/scan");
  for (const Row& row : {rows[2], rows[3]}) {
    befores[0].Prepare(b.Engine);
    b.Board->ResetCounters();
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < kRounds; ++k) row.Run(b.Engine);
    const double total = Seconds(start) * 1e6;
    const hostsim::SimCounters c = b.Board->Counters();
    const double scans = double(c.DrScans);
    std::printf("%-12s %8llu %16.2f %18.2f\n", row.Operation, static_cast<unsigned long long>(c.DrScans),
                (total - c.SimulatorMicroseconds) / scans, c.SimulatorMicroseconds / scans);
  }
  std::printf("\n%s\n", allMatch ? "all counts match the scan rules" : "COUNTS DIFFER FROM THE SCAN RULES");
  return allMatch ? 0 : 1;
}
