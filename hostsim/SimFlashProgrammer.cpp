#include "SimFlashProgrammer.h"

#include <algorithm>
#include <bit>

namespace hostsim {

namespace {

// Commands and statuses of the remote-driver protocol.
enum : std::uint32_t {
  kInitialise = 40, kCfiQuery = 41, kPrepare = 50, kCopyToFlash = 51, kErase = 52, kBlankCheck = 53,
  kCompare = 56, kReadFlash = 57, kEraseDevice = 58,
};
enum : std::uint32_t {
  kSuccess = 0, kInvalidCommand = 1, kSrcAddrError = 2, kDstAddrError = 3, kInvalidSector = 7,
  kSectorNotBlank = 8, kCompareError = 10,
};

constexpr std::uint32_t kCommandBlockBytes = 20;
constexpr std::uint8_t kErased = 0xFF;
constexpr std::uint32_t kCfiCommandSet = 2;  // AMD/Fujitsu standard

std::uint32_t LittleEndian(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void PutLittleEndian(std::uint8_t* p, std::uint32_t w) {
  for (int k = 0; k < 4; ++k) p[k] = std::uint8_t(w >> (8 * k));
}

SimFlashBank Bank(std::uint32_t base, std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> runs) {
  SimFlashBank bank;
  bank.Base = base;
  for (auto [count, size] : runs) bank.Sectors.insert(bank.Sectors.end(), count, size);
  return bank;
}

}  // namespace

// ---- Layouts

std::uint32_t SimFlashBank::Size() const {
  std::uint32_t size = 0;
  for (std::uint32_t s : Sectors) size += s;
  return size;
}

bool SimFlashBank::Contains(std::uint32_t address, std::uint32_t count) const {
  return address >= Base && std::uint64_t(address - Base) + count <= Size();
}

int SimFlashBank::SectorAt(std::uint32_t address) const {
  if (!Contains(address)) return -1;
  std::uint32_t start = Base;
  for (std::size_t k = 0; k < Sectors.size(); start += Sectors[k++])
    if (address - start < Sectors[k]) return int(k);
  return -1;
}

std::uint32_t SimFlashBank::SectorStart(std::size_t sector) const {
  std::uint32_t start = Base;
  for (std::size_t k = 0; k < sector && k < Sectors.size(); ++k) start += Sectors[k];
  return start;
}

SimFlashLayout SimFlashLayout::Stm32F10x(std::uint32_t flashSize) {
  const std::uint32_t page = flashSize <= 128 * 1024 ? 1024 : 2048;
  return Uniform(0x08000000, page, flashSize / page);
}

SimFlashLayout SimFlashLayout::Stm32F2xx(std::uint32_t flashSize) {
  const std::uint32_t large = flashSize > 128 * 1024 ? (flashSize - 128 * 1024) / (128 * 1024) : 0;
  return {{Bank(0x08000000, {{4, 16 * 1024}, {1, 64 * 1024}, {large, 128 * 1024}})}};
}

SimFlashLayout SimFlashLayout::Stm32L15x(std::uint32_t flashSize) {
  return {{Bank(0x08000000, {{flashSize / 4096, 4096}}), Bank(0x08080000, {{1, 4096}})}};
}

SimFlashLayout SimFlashLayout::Stm32W108(std::uint32_t flashSize) { return Uniform(0x08000000, 1024, flashSize / 1024); }

SimFlashLayout SimFlashLayout::Uniform(std::uint32_t base, std::uint32_t sectorSize, std::uint32_t count) {
  return {{Bank(base, {{count, sectorSize}})}};
}

SimFlashLayout& SimFlashLayout::WithCfiFlash(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> regions,
                                             std::uint32_t widths) {
  Banks.push_back(Bank(SimFlashProgrammer::kCfiBase, regions));
  CfiWidths = widths;
  return *this;
}

// ---- The programmer

SimFlashProgrammer::SimFlashProgrammer(SimCortexM3& chip, SimFlashLayout layout)
    : FChip(chip), FLayout(std::move(layout)) {
  const SimChipConfig& config = chip.Config();
  for (const SimFlashBank& bank : FLayout.Banks) {
    const bool inChipFlash = bank.Base >= config.FlashBase &&
                             std::uint64_t(bank.Base - config.FlashBase) + bank.Size() <= config.FlashSize;
    if (!inChipFlash) chip.AddReadOnlyBank(bank.Base, bank.Size(), kErased);
  }
  chip.SetNativeCode(this);
}

SimFlashProgrammer::~SimFlashProgrammer() { FChip.SetNativeCode(nullptr); }

void SimFlashProgrammer::FailCommand(std::uint32_t command, std::uint32_t status, unsigned occurrence) {
  FFailures.push_back({command, status, occurrence});
}

bool SimFlashProgrammer::ReadHeader(std::uint32_t at, Header& header) const {
  std::uint8_t bytes[28];
  if (!FChip.Peek(at, bytes) || LittleEndian(bytes) != kEntryWord || LittleEndian(bytes + 4) != kMagic) return false;
  header = {LittleEndian(bytes + 8), LittleEndian(bytes + 12), LittleEndian(bytes + 16), LittleEndian(bytes + 20),
            LittleEndian(bytes + 24)};
  return true;
}

bool SimFlashProgrammer::Step(SimCortexM3& chip) {
  Header header;
  if (!ReadHeader(chip.CoreRegisterValue(cm3::REG_PC), header)) return false;
  if (FKeepRunning) return true;  // busy: the core runs on

  std::uint8_t block[kCommandBlockBytes] = {};
  chip.Peek(header.ParamBlock, block);
  const std::uint32_t command = LittleEndian(block);
  const std::array<std::uint32_t, 4> args = {LittleEndian(block + 4), LittleEndian(block + 8), LittleEndian(block + 12),
                                             LittleEndian(block + 16)};
  std::array<std::uint32_t, 7> results{};
  const unsigned occurrence = ++FRuns[command];
  std::uint32_t status = 0;
  const auto failure = std::find_if(FFailures.begin(), FFailures.end(), [&](const Failure& f) {
    return f.Command == command && f.Occurrence == occurrence;
  });
  status = failure != FFailures.end() ? failure->Status : Execute(header, command, args, results);
  FCommands.push_back({command, args, status});

  std::vector<std::uint8_t> result(std::max<std::uint32_t>(header.ResultSize, 4), 0);
  PutLittleEndian(result.data(), status);
  for (std::size_t k = 0; 4 * (k + 2) <= result.size() && k < results.size(); ++k)
    PutLittleEndian(result.data() + 4 * (k + 1), results[k]);
  chip.Load(header.ParamBlock + kCommandBlockBytes, result);
  chip.HaltAtBreakpoint();
  return true;
}

const SimFlashBank* SimFlashProgrammer::BankAt(std::uint32_t base) const {
  for (const SimFlashBank& bank : FLayout.Banks)
    if (bank.Base == base) return &bank;
  return nullptr;
}

bool SimFlashProgrammer::InSram(std::uint32_t address, std::uint32_t count) const {
  const SimChipConfig& c = FChip.Config();
  return address >= c.SramBase && std::uint64_t(address - c.SramBase) + count <= c.SramSize;
}

bool SimFlashProgrammer::EraseSectors(const SimFlashBank& bank, std::uint32_t from, std::uint32_t to) {
  if (from > to || to >= bank.Sectors.size()) return false;
  for (std::uint32_t s = from; s <= to; ++s)
    FChip.Load(bank.SectorStart(s), std::vector<std::uint8_t>(bank.Sectors[s], kErased));
  return true;
}

std::uint32_t SimFlashProgrammer::Execute(const Header& header, std::uint32_t command,
                                          const std::array<std::uint32_t, 4>& args,
                                          std::array<std::uint32_t, 7>& results) {
  const SimFlashBank* bank = BankAt(header.BankBase);
  if (!bank) return kInvalidCommand;
  const bool cfi = header.Kind == kKindCfi;
  // CFI programs name flash by its offset in the bank.
  auto flashAddress = [&](std::uint32_t a) { return cfi ? bank->Base + a : a; };

  switch (command) {
    case kInitialise: return kSuccess;
    case kCfiQuery: {
      if (!cfi) return kInvalidCommand;
      // The query names the chip by its absolute address: nothing answers outside it.
      if (!bank->Contains(args[0])) return kDstAddrError;
      results[0] = kCfiCommandSet;
      results[1] = std::uint32_t(std::bit_width(bank->Size()) - 1);
      results[2] = FLayout.CfiWidths;
      // Runs of equal sectors as CFI erase-block regions: count - 1, size / 256.
      std::vector<std::uint32_t> regions;
      for (std::size_t k = 0; k < bank->Sectors.size();) {
        std::size_t end = k;
        while (end < bank->Sectors.size() && bank->Sectors[end] == bank->Sectors[k]) ++end;
        regions.push_back(std::uint32_t(end - k - 1) | (bank->Sectors[k] / 256) << 16);
        k = end;
      }
      results[3] = std::uint32_t(std::min<std::size_t>(regions.size(), 3));
      for (std::size_t k = 0; k < results[3]; ++k) results[4 + k] = regions[k];
      return kSuccess;
    }
    case kPrepare:
      return args[0] <= args[1] && args[1] < bank->Sectors.size() ? kSuccess : kInvalidSector;
    case kCopyToFlash: {
      const std::uint32_t to = flashAddress(args[0]), from = args[1], count = args[2];
      if (!bank->Contains(to, count)) return kDstAddrError;
      if (!InSram(from, count)) return kSrcAddrError;
      std::vector<std::uint8_t> data(count), flash(count);
      FChip.Peek(from, data);
      FChip.Peek(to, flash);
      // Programming only clears bits; erasing sets them.
      for (std::uint32_t i = 0; i < count; ++i) flash[i] &= data[i];
      FChip.Load(to, flash);
      return kSuccess;
    }
    case kErase: {
      if (cfi) {
        const int sector = bank->SectorAt(flashAddress(args[0]));
        return sector >= 0 && EraseSectors(*bank, std::uint32_t(sector), std::uint32_t(sector)) ? kSuccess
                                                                                                 : kInvalidSector;
      }
      // Every sector the range [start, end) touches.
      const std::uint32_t start = args[0], end = std::max(args[1], args[0] + 1);
      const int first = bank->SectorAt(start), last = bank->SectorAt(end - 1);
      return first >= 0 && last >= 0 && EraseSectors(*bank, std::uint32_t(first), std::uint32_t(last))
                 ? kSuccess
                 : kInvalidSector;
    }
    case kBlankCheck: {
      const std::uint32_t at = flashAddress(args[0]), count = args[1];
      if (!bank->Contains(at, count)) return kInvalidSector;
      std::vector<std::uint8_t> flash(count);
      FChip.Peek(at, flash);
      return std::all_of(flash.begin(), flash.end(), [](std::uint8_t b) { return b == kErased; }) ? kSuccess
                                                                                                   : kSectorNotBlank;
    }
    case kCompare: {
      const std::uint32_t at = flashAddress(args[0]), ram = args[1], count = args[2];
      if (!bank->Contains(at, count)) return kDstAddrError;
      if (!InSram(ram, count)) return kSrcAddrError;
      std::vector<std::uint8_t> flash(count), data(count);
      FChip.Peek(at, flash);
      FChip.Peek(ram, data);
      return flash == data ? kSuccess : kCompareError;
    }
    case kReadFlash: {
      const std::uint32_t at = flashAddress(args[0]), count = args[1];
      if (!bank->Contains(at, count)) return kSrcAddrError;
      if (!InSram(header.DataArea, count)) return kDstAddrError;
      std::vector<std::uint8_t> flash(count);
      FChip.Peek(at, flash);
      FChip.Load(header.DataArea, flash);
      return kSuccess;
    }
    case kEraseDevice:
      return EraseSectors(*bank, 0, std::uint32_t(bank->Sectors.size() - 1)) ? kSuccess : kInvalidSector;
    default: return kInvalidCommand;
  }
}

}  // namespace hostsim
