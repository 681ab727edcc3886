// The ARM levels' algorithms on their own: the split of a memory request,
// words in cells in both byte orders, the ARMv7-M register views, the banked
// register map and the MMU walk.
#include "Tovik.Classes.ARM.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace tvk {
std::ostream& operator<<(std::ostream& os, const TARMMemoryPiece& p) {
  return os << (p.Kind == TARMAccessKind::Words ? "words" : "bytes") << " cell " << p.CellIndex << " at 0x"
            << std::hex << p.Address << std::dec << " count " << p.Count;
}
}  // namespace tvk

namespace {

using namespace tvk;
using K = TARMAccessKind;

// ---- Splitting

struct SplitCase {
  const char* Name;
  uint64_t Address;
  int32_t Count;
  std::vector<TARMMemoryPiece> Pieces;
};

TEST(ARMMemorySplit, PiecesInCallOrder) {
  const SplitCase cases[] = {
      {"aligned word", 0x20000000, 4, {{K::Words, 0, 0x20000000, 4}}},
      {"unaligned 4", 0x20000001, 4, {{K::Bytes, 0, 0x20000001, 4}}},
      {"short aligned", 0x20000000, 3, {{K::Bytes, 0, 0x20000000, 3}}},
      {"nothing", 0x20000000, 0, {{K::Bytes, 0, 0x20000000, 0}}},
      // head 1 (cell 0), tail 1 (cell 9), then two words from cell 1
      {"10 at +3", 0x20000003, 10,
       {{K::Bytes, 0, 0x20000003, 1}, {K::Bytes, 9, 0x2000000C, 1}, {K::Words, 1, 0x20000004, 8}}},
      // head 3, tail 2 at 0x20000008, one word into cells 3 to 6
      {"9 at +1", 0x20000001, 9,
       {{K::Bytes, 0, 0x20000001, 3}, {K::Bytes, 7, 0x20000008, 2}, {K::Words, 3, 0x20000004, 4}}},
      // no whole word between head and tail: the word call moves nothing
      {"5 at +1", 0x20000001, 5,
       {{K::Bytes, 0, 0x20000001, 3}, {K::Bytes, 3, 0x20000004, 2}, {K::Words, 3, 0x20000004, 0}}},
      {"aligned 8", 0x08000000, 8, {{K::Words, 0, 0x08000000, 8}}},
      {"tail only", 0x08000000, 6, {{K::Bytes, 4, 0x08000004, 2}, {K::Words, 0, 0x08000000, 4}}},
      // above 4 GiB the arithmetic stays 64-bit
      {"high", 0x1FFFFFFFEull, 6, {{K::Bytes, 0, 0x1FFFFFFFEull, 2}, {K::Words, 2, 0x200000000ull, 4}}},
  };
  for (const SplitCase& c : cases) {
    const TARMMemorySplit split = SplitMainMemoryRequest(c.Address, c.Count);
    EXPECT_EQ(std::vector<TARMMemoryPiece>(split.begin(), split.end()), c.Pieces) << c.Name;
  }
}

TEST(ARMMemorySplit, PiecesCoverEveryCellOnceWithWordsAligned) {
  for (uint64_t address = 0x100; address < 0x108; ++address) {
    for (int32_t count = 0; count <= 21; ++count) {
      std::vector<int> covered(std::size_t(count), 0);
      for (const TARMMemoryPiece& p : SplitMainMemoryRequest(address, count)) {
        ASSERT_EQ(p.Address, address + uint64_t(p.CellIndex));
        if (p.Kind == K::Words && p.Count > 0) {
          EXPECT_EQ(p.Address % 4, 0u);
          EXPECT_EQ(p.Count % 4, 0);
        }
        for (int32_t i = 0; i < p.Count; ++i) ++covered.at(std::size_t(p.CellIndex + i));
      }
      for (int32_t i = 0; i < count; ++i)
        EXPECT_EQ(covered[std::size_t(i)], 1) << "address " << address << " count " << count << " cell " << i;
    }
  }
}

// ---- Cells

TEST(ARMMemoryCells, WordInTargetByteOrder) {
  uint32_t cells[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  StoreWordToCells(cells, 0x11223344, true);
  EXPECT_EQ(std::vector<uint32_t>(cells, cells + 4), (std::vector<uint32_t>{0x44, 0x33, 0x22, 0x11}));
  StoreWordToCells(cells, 0x11223344, false);
  EXPECT_EQ(std::vector<uint32_t>(cells, cells + 4), (std::vector<uint32_t>{0x11, 0x22, 0x33, 0x44}));

  // only the low byte of each cell counts
  const uint32_t noisy[4] = {0xABCD0044, 0x100033, 0xFF22, 0x7FFFFF11};
  EXPECT_EQ(LoadWordFromCells(noisy, true), 0x11223344u);
  EXPECT_EQ(LoadWordFromCells(noisy, false), 0x44332211u);
}

// ---- ARMv7-M views

TEST(ARMv7MViews, ReadFromTheCachedWords) {
  const uint32_t xpsr = 0xF9FFFFFF, cfbp = 0x01020304;
  struct {
    int32_t Number;
    uint32_t Value;
  } const reads[] = {
      {arm::V7M_REG_APSR, 0xF8000000}, {arm::V7M_REG_EPSR, 0x0100FC00}, {arm::V7M_REG_IPSR, 0x1FF},
      {arm::V7M_REG_CONTROL, 0x01},    {arm::V7M_REG_FAULTMASK, 0x02},  {arm::V7M_REG_BASEPRI, 0x03},
      {arm::V7M_REG_PRIMASK, 0x04},    {arm::V7M_REG_ITSTATE, 0x3F},    {arm::V7M_REG_TBIT, 1},
  };
  for (const auto& r : reads) {
    uint32_t value = 0xDEAD;
    ASSERT_TRUE(ReadARMv7MView(r.Number, xpsr, cfbp, value)) << r.Number;
    EXPECT_EQ(value, r.Value) << r.Number;
  }
  uint32_t value = 0;
  for (int32_t plain : {0, 15, arm::V7M_REG_XPSR, arm::V7M_REG_CFBP, arm::V7M_REG_MSP, arm::V7M_REG_LC, 30})
    EXPECT_FALSE(ReadARMv7MView(plain, xpsr, cfbp, value)) << plain;
}

TEST(ARMv7MViews, ComposedWrites) {
  struct Case {
    int32_t Number;
    uint32_t Value, Xpsr, Cfbp;
    TARMv7MCache Cache;
    uint32_t Word;
  } const cases[] = {
      // the field is replaced, the rest of the cached word kept, bits outside the field dropped
      {arm::V7M_REG_APSR, 0xFFFFFFFF, 0x01000003, 0, TARMv7MCache::XPSR, 0xF9000003},
      {arm::V7M_REG_EPSR, 0x00000000, 0x61000003, 0, TARMv7MCache::XPSR, 0x60000003},
      {arm::V7M_REG_IPSR, 0x00000211, 0x61000003, 0, TARMv7MCache::XPSR, 0x61000011},
      {arm::V7M_REG_PRIMASK, 1, 0, 0x00000000, TARMv7MCache::CFBP, 0x00000001},
      {arm::V7M_REG_BASEPRI, 0x1A0, 0, 0x11223344, TARMv7MCache::CFBP, 0x1122A044},
      {arm::V7M_REG_FAULTMASK, 0, 0, 0x11223344, TARMv7MCache::CFBP, 0x11003344},
      {arm::V7M_REG_CONTROL, 2, 0, 0x11223344, TARMv7MCache::CFBP, 0x02223344},
      // ITSTATE 0xC5: bits 26:25 = 3, bits 15:10 = 5
      {arm::V7M_REG_ITSTATE, 0xC5, 0x01000000, 0, TARMv7MCache::XPSR, 0x07001400},
      {arm::V7M_REG_ITSTATE, 0x00, 0xFFFFFFFF, 0, TARMv7MCache::XPSR, 0xF9FF03FF},
      // TBIT is set whatever the value
      {arm::V7M_REG_TBIT, 0, 0x20000000, 0, TARMv7MCache::XPSR, 0x21000000},
  };
  for (const Case& c : cases) {
    TARMv7MCache cache{};
    uint32_t word = 0;
    ASSERT_TRUE(ComposeARMv7MView(c.Number, c.Value, c.Xpsr, c.Cfbp, cache, word)) << c.Number;
    EXPECT_EQ(cache, c.Cache) << c.Number;
    EXPECT_EQ(word, c.Word) << c.Number << std::hex << " got 0x" << word;
  }
  TARMv7MCache cache{};
  uint32_t word = 0;
  EXPECT_FALSE(ComposeARMv7MView(arm::V7M_REG_XPSR, 1, 0, 0, cache, word));
  EXPECT_FALSE(ComposeARMv7MView(arm::V7M_REG_MSP, 1, 0, 0, cache, word));
}

TEST(ARMv7MViews, ITStateReadsBackWhatWasComposed) {
  for (uint32_t it = 0; it < 256; ++it) {
    TARMv7MCache cache{};
    uint32_t xpsr = 0;
    ASSERT_TRUE(ComposeARMv7MView(arm::V7M_REG_ITSTATE, it, 0x81000007, 0, cache, xpsr));
    uint32_t back = 0;
    ASSERT_TRUE(ReadARMv7MView(arm::V7M_REG_ITSTATE, xpsr, 0, back));
    EXPECT_EQ(back, it);
    EXPECT_EQ(xpsr & 0xF9FF03FF, 0x81000007u);  // nothing outside the two fields moved
  }
}

// ---- ARMv4T banked registers

TEST(ARMv4TBankedRegisters, TableNumbersToRegisterAndMode) {
  struct {
    int32_t Number, Register;
    uint32_t Mode;
  } const rows[] = {
      {20, 8, 0x10}, {26, 14, 0x10}, {27, 13, 0x13}, {29, 17, 0x13}, {30, 13, 0x17}, {32, 17, 0x17},
      {33, 13, 0x1B}, {35, 17, 0x1B}, {36, 13, 0x12}, {38, 17, 0x12}, {39, 8, 0x11}, {45, 14, 0x11},
      {46, 17, 0x11},
  };
  for (const auto& r : rows) {
    const TARMBankedRegister* banked = FindARMv4TBankedRegister(r.Number);
    ASSERT_NE(banked, nullptr) << r.Number;
    EXPECT_EQ(banked->Register, r.Register) << r.Number;
    EXPECT_EQ(banked->Mode, r.Mode) << r.Number;
  }
  // every banked number's name in the register table says the same register and mode
  const std::map<uint32_t, std::wstring> suffix = {
      {0x10, L"_USR"}, {0x11, L"_FIQ"}, {0x12, L"_IRQ"}, {0x13, L"_SVC"}, {0x17, L"_ABT"}, {0x1B, L"_UND"}};
  for (int32_t n = arm::ARM_REG_FIRST_BANKED; n < arm::ARM_REGISTER_COUNT; ++n) {
    const TARMBankedRegister* banked = FindARMv4TBankedRegister(n);
    ASSERT_NE(banked, nullptr);
    const std::wstring name =
        (banked->Register == arm::ARM_REG_SPSR ? std::wstring(L"SPSR") : L"R" + std::to_wstring(banked->Register)) +
        suffix.at(banked->Mode);
    EXPECT_EQ(kARMRegisterShortNames[std::size_t(n)], name);
  }
  EXPECT_EQ(FindARMv4TBankedRegister(19), nullptr);
  EXPECT_EQ(FindARMv4TBankedRegister(47), nullptr);
  EXPECT_EQ(FindARMv4TBankedRegister(-1), nullptr);
  EXPECT_EQ(CPSRWithMode(0x600000DF, arm::ARM_MODE_IRQ), 0x600000D2u);
}

// ---- MMU walk

class Tables {
public:
  void Set(uint64_t address, uint32_t word) { FWords[address] = word; }
  TARMDescriptorReader Reader() {
    return [this](uint64_t address) {
      FReads.push_back(address);
      auto it = FWords.find(address);
      return it == FWords.end() ? 0u : it->second;
    };
  }
  const std::vector<uint64_t>& Reads() const { return FReads; }

private:
  std::map<uint64_t, uint32_t> FWords;
  std::vector<uint64_t> FReads;
};

TEST(ARMMMUWalk, OneWalkPerDescriptorType) {
  const uint64_t base = 0x00004000;
  struct Case {
    const char* Name;
    uint64_t Virtual;
    uint32_t D1;
    uint64_t D2Address;  // 0: no second level
    uint32_t D2;
    bool TinyPages;
    TARMTranslation Expected;
  } const cases[] = {
      {"fault", 0x00123456, 0x00000000, 0, 0, false, {0, 0, 0, 0x00123456}},
      // section: C B = 3, domain 5, AP 2
      {"section", 0x00123456, 0x80000000 | (2 << 10) | (5 << 5) | 0xC | 2, 0, 0, false,
       {3, 5, 2, 0x80023456}},
      {"coarse, large page", 0x00123456, 0x00200000 | (1 << 5) | 1, 0x00200000 + 0x23 * 4,
       0x90000000 | 0xFF0 | 0x4 | 1, false, {1, 1, 0xFF, 0x90003456}},
      {"coarse, small page", 0x00123456, 0x00200400 | (15 << 5) | 1, 0x00200400 + 0x23 * 4,
       0xA0000000 | 0x550 | 0x8 | 2, false, {2, 15, 0x55, 0xA0000456}},
      {"fine without tiny pages", 0x00123456, 0x00300000 | 3, 0, 0, false, {0, 0, 0, 0x00123456}},
      {"fine, tiny page", 0x00123456, 0x00300000 | (2 << 5) | 3, 0x00300000 + 0x8D * 4,
       0xB0000000 | 0x30 | 0xC | 3, true, {3, 2, 3, 0xB0000056}},
      {"second-level fault", 0x00123456, 0x00200000 | (4 << 5) | 1, 0x00200000 + 0x23 * 4, 0, false,
       {0, 4, 0, 0x00123456}},
  };
  for (const Case& c : cases) {
    Tables tables;
    const uint64_t first = base + ((c.Virtual >> 20) & 0xFFF) * 4;
    tables.Set(first, c.D1);
    if (c.D2Address) tables.Set(c.D2Address, c.D2);
    // the base's low bits are no part of the table address
    const TARMTranslation t = WalkTranslationTable(c.Virtual, base | 0x3FFF, c.TinyPages, tables.Reader());
    EXPECT_EQ(t.CacheBits, c.Expected.CacheBits) << c.Name;
    EXPECT_EQ(t.Domain, c.Expected.Domain) << c.Name;
    EXPECT_EQ(t.Access, c.Expected.Access) << c.Name;
    EXPECT_EQ(t.Physical, c.Expected.Physical) << c.Name << std::hex << " got 0x" << t.Physical;
    std::vector<uint64_t> reads{first};
    if (c.D2Address) reads.push_back(c.D2Address);
    EXPECT_EQ(tables.Reads(), reads) << c.Name;
  }
}

TEST(ARMMMUWalk, TableBaseZeroReadsTheFirstLevelAtTheVirtualMegabyte) {
  Tables tables;
  WalkTranslationTable(0x00123456, 0, false, tables.Reader());
  EXPECT_EQ(tables.Reads(), (std::vector<uint64_t>{0x00000004}));
}

// ---- Diagnostic log

TEST(ARMDebugLog, LinesAndFile) {
  TARMDebugLog log;
  log.Debug(L"cpuid 412fc231");
  log.Error(L"JTAG-DP STICKY ERROR");
  EXPECT_EQ(log.Lines(), (std::vector<WideString>{L"DEBUG :DEBUG :cpuid 412fc231", L"DEBUG :ERROR :JTAG-DP STICKY ERROR"}));

  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring file = std::wstring(temp) + L"armlevels_" + std::to_wstring(GetCurrentProcessId()) + L".log";
  log.SaveToFile(file);
  std::ifstream in(file.c_str(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileW(file.c_str());
  EXPECT_EQ(text, "DEBUG :DEBUG :cpuid 412fc231\r\nDEBUG :ERROR :JTAG-DP STICKY ERROR\r\n");

  EXPECT_THROW(log.SaveToFile(std::wstring(temp) + L"no such folder\\debug.log"), Exception);
}

}  // namespace
