#pragma once
// Flash that only the stand-in target-resident programs change, and the
// programs themselves, carried out natively by the simulated chip.
//
// A stand-in program is a small Intel HEX file of ours (hostsim/resident/)
// that a flash writer loads into SRAM. It starts with a header:
//   +0  0xE7FEE7FE   two "B ." (a chip that does not know it spins there)
//   +4  0x44525654   "TVRD"
//   +8  kind         1: on-chip flash, absolute addresses; 2: CFI flash,
//                    addresses as offsets from the bank base
//   +12 parameter block address (the command block; the result block follows it)
//   +16 result block size in bytes (20, or 32 for CFI flash)
//   +20 data area address
//   +24 flash bank base
// When the core reaches such a header, the programmer reads the command
// block, carries the command out on the simulated flash, writes the result
// block and halts the core as a BKPT would.
//
//   auto board = hostsim::SimBoard::Stm32F103BehindBypass();
//   hostsim::SimFlashProgrammer flash(board->Chip(), hostsim::SimFlashLayout::Stm32F10x(128 * 1024));
//   ... a writer programs, erases, compares ...; flash.Commands() lists what ran
#include "SimCortexM3.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <utility>
#include <vector>

namespace hostsim {

// One flash bank: its sectors, in address order.
struct SimFlashBank {
  std::uint32_t Base = 0;
  std::vector<std::uint32_t> Sectors;  // sizes in bytes

  std::uint32_t Size() const;
  bool Contains(std::uint32_t address, std::uint32_t count = 1) const;
  // The sector holding Address; -1 outside the bank.
  int SectorAt(std::uint32_t address) const;
  std::uint32_t SectorStart(std::size_t sector) const;
};

// The flash of a chip family, erased to 0xFF.
struct SimFlashLayout {
  std::vector<SimFlashBank> Banks;
  std::uint32_t CfiWidths = 3;  // what a CFI query answers: bit 0 x8, bit 1 x16, bit 2 x32

  // 1 KB pages up to 128 KB, 2 KB pages above.
  static SimFlashLayout Stm32F10x(std::uint32_t flashSize);
  // Four 16 KB sectors, one of 64 KB, then 128 KB sectors.
  static SimFlashLayout Stm32F2xx(std::uint32_t flashSize);
  // 4 KB sectors of program flash and 4 KB of data EEPROM at 0x08080000.
  static SimFlashLayout Stm32L15x(std::uint32_t flashSize);
  // 1 KB pages.
  static SimFlashLayout Stm32W108(std::uint32_t flashSize);
  static SimFlashLayout Uniform(std::uint32_t base, std::uint32_t sectorSize, std::uint32_t count);
  // Adds external CFI flash at 0x10000000, by default 8 sectors of 8 KB and
  // 63 of 64 KB (4 MB), 8 and 16 bits wide. Regions: (count, size) runs.
  // A CFI query (command 41) answers only at an address inside it; elsewhere
  // no chip answers and the command fails with status 3.
  SimFlashLayout& WithCfiFlash(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> regions =
                                   {{8, 8 * 1024}, {63, 64 * 1024}},
                               std::uint32_t widths = 3);
};

// One command a stand-in carried out.
struct SimRemoteCommand {
  std::uint32_t Command;
  std::array<std::uint32_t, 4> Args;
  std::uint32_t Status;
};

class SimFlashProgrammer : public SimNativeCode {
public:
  static constexpr std::uint32_t kEntryWord = 0xE7FEE7FE;
  static constexpr std::uint32_t kMagic = 0x44525654;
  static constexpr std::uint32_t kKindOnChip = 1, kKindCfi = 2;
  static constexpr std::uint32_t kCfiBase = 0x10000000;

  // Gives the chip the layout's banks that its own flash does not hold and
  // carries out the stand-ins on it until destroyed.
  SimFlashProgrammer(SimCortexM3& chip, SimFlashLayout layout);
  ~SimFlashProgrammer();
  SimFlashProgrammer(const SimFlashProgrammer&) = delete;
  SimFlashProgrammer& operator=(const SimFlashProgrammer&) = delete;

  bool Step(SimCortexM3& chip) override;

  // While on, a stand-in the core reaches runs on and never finishes.
  void SetKeepRunning(bool on) { FKeepRunning = on; }
  // The Occurrence-th run (from 1) of Command answers Status and does nothing.
  void FailCommand(std::uint32_t command, std::uint32_t status, unsigned occurrence);
  const std::vector<SimRemoteCommand>& Commands() const { return FCommands; }
  void ClearCommands() { FCommands.clear(); }
  const SimFlashLayout& Layout() const { return FLayout; }

private:
  struct Header {
    std::uint32_t Kind, ParamBlock, ResultSize, DataArea, BankBase;
  };
  struct Failure {
    std::uint32_t Command, Status;
    unsigned Occurrence;
  };
  bool ReadHeader(std::uint32_t at, Header& header) const;
  std::uint32_t Execute(const Header& header, std::uint32_t command, const std::array<std::uint32_t, 4>& args,
                        std::array<std::uint32_t, 7>& results);
  const SimFlashBank* BankAt(std::uint32_t base) const;
  bool EraseSectors(const SimFlashBank& bank, std::uint32_t from, std::uint32_t to);
  bool InSram(std::uint32_t address, std::uint32_t count) const;

  SimCortexM3& FChip;
  SimFlashLayout FLayout;
  bool FKeepRunning = false;
  std::vector<Failure> FFailures;
  std::vector<SimRemoteCommand> FCommands;
  std::map<std::uint32_t, unsigned> FRuns;  // runs of each command so far
};

}  // namespace hostsim
