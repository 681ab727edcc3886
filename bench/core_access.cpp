// Scans and host calls of the loaded module's driver on the simulated
// STM32F103 (chain index 1), driven as the host drives it: IMemoryAccess for
// memory, dispatch identifiers for a core register and a reset. Each
// operation runs in steady state (the previous access was a word memory
// access), after a banked access (the host's status query) and after a
// power-up (the debug port lost power and the module powered it up again);
// the DR scans are checked against the counts the scan rules give. Then the
// module's own time per scan against the simulator's.
#include "ModuleCalls.h"
#include "SimHost.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace {

using hostsim::CallModule;
namespace served = hostsim::served;

constexpr std::uint32_t kFlash = 0x08000000, kSram = 0x20000000;
constexpr std::int32_t kKiB = 1024;

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

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

unsigned long long U(std::uint64_t n) { return static_cast<unsigned long long>(n); }

}  // namespace

int main() {
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

  // Time: each call whole against the time spent inside the simulator's objects.
  struct Timed {
    const Operation& Op;
    int Rounds;
  };
  const Timed timed[] = {{operations[0], 2000}, {operations[1], 2000}, {operations[2], 20},
                         {operations[3], 20},   {operations[4], 1000}};
  std::printf("\n%-14s %8s %16s %18s\n", "operation", "scans", "module us/scan", "simulator us/scan");
  for (const Timed& t : timed) {
    states[0].Prepare(rig);
    rig.Board->ResetCounters();
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < t.Rounds; ++k) t.Op.Run(rig);
    const double total = Seconds(start) * 1e6;
    const hostsim::SimCounters c = rig.Board->Counters();
    const double scans = double(c.DrScans);
    std::printf("%-14s %8llu %16.2f %18.2f\n", t.Op.Name, U(c.DrScans), (total - c.SimulatorMicroseconds) / scans,
                c.SimulatorMicroseconds / scans);
  }

  const bool clean = rig.Board->ProtocolErrors().empty();
  std::printf("\n%s%s\n", allMatch ? "all counts match the scan rules" : "COUNTS DIFFER FROM THE SCAN RULES",
              clean ? "" : "; JTAG PROTOCOL ERRORS");
  return allMatch && clean ? 0 : 1;
}
