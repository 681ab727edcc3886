// The shared vocabulary: ordinals, the names they resolve to, and the I/O-standard
// display names with the rules they are formed by.
#include "Extension.FPGA.h"
#include "ORV.SCH.Types.h"
#include "ORV.Types.h"
#include "Tovik.Types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace tvk {
namespace {

using Names = std::span<const std::wstring_view>;

struct NameCase {
  const char* table;
  Names names;
  std::size_t index;
  std::wstring_view text;
};

// Entries that fix the order of each table: the ends, the odd entries and the
// positions other components rely on.
TEST(Vocabulary, NamesSitAtTheirOrdinals) {
  const NameCase cases[] = {
      {"cell kind", kCellKindNames, eCellKind_Undefined, L""},
      {"cell kind", kCellKindNames, eCellKind_BC_0, L"BC_0"},
      {"cell kind", kCellKindNames, eCellKind_BC_10, L"BC_10"},
      {"cell function", kCellFunctionNames, eCellFunction_Undefined, L""},
      {"cell function", kCellFunctionNames, eCellFunction_ObserveOnly, L"ObserveOnly"},
      {"electrical", kPinElectricalNames, eElectricIO, L"I/O"},
      {"electrical", kPinElectricalNames, eElectricPower, L"Power"},
      {"scan pin", kScanPinKindNames, eScanPinKind_TDO, L"TDO"},
      {"scan pin", kScanPinKindNames, eScanPinKind_Ground, L"Ground"},
      {"halt mode", kScanClockHaltModeNames, eScanClockHaltMode_Both, L"Both"},
      {"boolean", kBooleanNames, false, L"False"},
      {"boolean", kBooleanNames, true, L"True"},
      {"core", kDeviceProcessorCoreStrings, eDeviceProcessor_CORE_UNKNOWN, L"UNKNOWN"},
      {"core", kDeviceProcessorCoreStrings, eDeviceProcessor_CORE_ARM7TDMI_S, L"ARM7TDMI_S"},
      {"core", kDeviceProcessorCoreStrings, eDeviceProcessor_CORE_ARM_CORTEX_M3, L"ARM_CORTEX_M3"},
      {"core", kDeviceProcessorCoreStrings, eDeviceProcessor_CORE_CoreMP7, L"CoreMP7"},
      {"family", kDeviceProcessorFamilies, 12, L"CORTEX"},
      {"family", kDeviceProcessorFamilies, 21, L"BRX80x"},
      {"architecture", kDeviceProcessorArchitectures, 16, L"ARMv7_M"},
      {"architecture", kDeviceProcessorArchitectures, 26, L"BRX80x"},
      {"toolchain", kDeviceProcessorToolChains, 4, L"BRELMOX ARM"},
      {"toolchain", kDeviceProcessorToolChains, 9, L"BRELMOX CHC"},
      {"target", kDeviceProcessorToolChainTargets, 1, L"ARMv4"},
      {"target", kDeviceProcessorToolChainTargets, 2, L"ARMv4T"},
      {"target", kDeviceProcessorToolChainTargets, 7, L"ARMv7M"},
      {"target", kDeviceProcessorToolChainTargets, 8, L"ARMv4T"},
      {"target", kDeviceProcessorToolChainTargets, 9, L"ARMv4"},
      {"target", kDeviceProcessorToolChainTargets, 26, L"BRX80A"},
      {"drive strength", kDriveStrengths, 13, L"24mA"},
      {"drive strength", kDriveStrengths, 14, L"3.5mA"},
      {"drive strength", kDriveStrengths, 20, L"35mA"},
      {"slew rate", kSlewRates, 2, L"VERY_SLOW"},
      {"process flow", kProcessFlowCommands, 0, L"None"},
      {"process flow", kProcessFlowCommands, 24, L"ShowCurrentSense"},
      {"process flow", kProcessFlowCommands, kProcessFlowCommandUnused, L""},
      {"process flow", kProcessFlowCommands, 26, L"CustomAction"},
      {"process flow", kProcessFlowCommands, 31, L"VerifyProgram"},
      {"IAP status", kIAPStatusNames, 0, L"CMD_SUCCESS"},
      {"IAP status", kIAPStatusNames, 11, L"BUSY"},
      {"memory kind", kMemoryKindKeys, 5, L"pflash"},
      {"memory kind", kMemoryKindDisplayNames, 5, L"Parallel Flash"},
      {"VHDL attribute", kVHDLAttributeNames, 13, L"XILINX_GSR"},
      {"ARM register", kARMRegisterNames, 19, L"LC (pseudo)"},
      {"ARM register", kARMRegisterShortNames, 19, L"LC"},
      {"ARM register", kARMRegisterNames, 46, L"SPSR_FIQ"},
      {"severity", kSeverityNames, 2, L"Error"},
      {"I/O standard", kIOStandardParameterNames, 141, L"3.3V GTL"},
      {"I/O standard", kIOStandardParameterNames, 185, L"RSDS25E"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.table) + " " + std::to_string(c.index));
    ASSERT_LT(c.index, c.names.size());
    EXPECT_EQ(std::wstring(c.names[c.index]), std::wstring(c.text));
  }
}

TEST(Vocabulary, BoundaryCellKindNamesFollowTheirOrdinals) {
  for (int n = 0; n <= 10; ++n) EXPECT_EQ(std::wstring(kCellKindNames[n + 1]), L"BC_" + std::to_wstring(n));
}

// The error picture is the one the message helpers use; the serial rows give
// the writers their geometry.
TEST(Vocabulary, SeverityImagesAndSerialDevices) {
  EXPECT_EQ(kSeverityImageIndexes[2], 73);
  const TSerialDeviceParameters& m25p80 = kSerialDeviceParameters[eM25P80];
  EXPECT_EQ(std::wstring(m25p80.Name), L"M25P80");
  EXPECT_EQ(m25p80.SectorSize * 1024 * m25p80.SectorNum, 1024 * 1024);
  const TSerialDeviceParameters& m25p128 = kSerialDeviceParameters[eM25P128];
  EXPECT_EQ(m25p128.PageSize, 256);
  EXPECT_EQ(m25p128.SectorSize, 256);
  EXPECT_EQ(m25p128.SectorNum, 64);
}

// The first fourteen strengths ascend, and so do the seven added after them;
// positions are indexes, so the table is never sorted as a whole.
TEST(Vocabulary, DriveStrengthsKeepTheirPositions) {
  std::vector<double> mA;
  for (auto s : kDriveStrengths) {
    ASSERT_TRUE(s.ends_with(L"mA"));
    mA.push_back(std::stod(std::wstring(s.substr(0, s.size() - 2))));
  }
  // strictly ascending: no neighbour pair with the left one not smaller
  const auto ascending = [](auto first, auto last) {
    return std::adjacent_find(first, last, std::greater_equal<>()) == last;
  };
  EXPECT_TRUE(ascending(mA.begin(), mA.begin() + 14));
  EXPECT_TRUE(ascending(mA.begin() + 14, mA.end()));
  EXPECT_EQ(mA.front(), 2.0);
  EXPECT_EQ(mA[14], 3.5);
}

// Tables whose entries are looked up by name must not hold the same name twice.
TEST(Vocabulary, LookedUpNamesAreUnique) {
  const std::pair<const char*, Names> tables[] = {
      {"core", kDeviceProcessorCoreStrings},       {"process flow", kProcessFlowCommands},
      {"cell kind", kCellKindNames},               {"cell function", kCellFunctionNames},
      {"I/O standard", kIOStandardParameterNames}, {"I/O display", kIOStandardDisplayNames},
      {"toolchain", kDeviceProcessorToolChains},   {"FPGA toolchain", kToolChainNames},
  };
  for (const auto& [name, names] : tables) {
    std::set<std::wstring_view> seen(names.begin(), names.end());
    EXPECT_EQ(seen.size(), names.size()) << name;
  }
  EXPECT_TRUE(std::ranges::equal(kToolChainNames, kDeviceProcessorToolChains));
}

// ---- I/O standards

struct TellingRow {
  std::size_t index;
  std::wstring_view parameter;
  std::wstring_view display;
};

TEST(IOStandards, TellingRows) {
  const TellingRow rows[] = {
      {0, L"LVTTL15", L"LVTTL 1.5V"},
      {3, L"LVTTL33", L"LVTTL 3.3V"},
      {8, L"LVCMOS5", L"LVCMOS 5V"},
      {9, L"PCI33_3", L"PCI 33Mhz 3.3V"},
      {11, L"PCI66", L"PCI 66Mhz 3.3V"},
      {12, L"PCIX_3", L"PCI-X 3.3V"},
      {13, L"COMPACTPCI_3", L"Compact PCI 3.3V"},
      {14, L"SSTL3I", L"SSTL3 Class I"},
      {17, L"SSTL2II", L"SSTL2 Class II"},
      {21, L"GTLP", L"GTL+"},
      {26, L"HSTL_12", L"HSTL 1.2V"},
      {27, L"HSTLI_18", L"HSTL Class I 1.8V"},
      {46, L"DHSTLI", L"DHSTL Class I"},
      {49, L"DHSTL18I", L"DHSTL 1.8V Class I"},
      {65, L"LVCMOS15_DCI_DV2", L"LVCMOS 1.5V DCI DIV2"},
      {71, L"DSSTL18I", L"Differential SSTL 1.8V Class I"},
      {73, L"DSSTL2I", L"Differential SSTL2 Class I"},
      {77, L"BLVDS25", L"Bus LVDS 2.5V"},
      {93, L"MiniLVDS25", L"Mini LVDS 2.5V"},
      {94, L"LVCMOS33_1", L"LVCMOS 3.3V (24mA)"},
      {95, L"LVCMOS33_2", L"LVCMOS 3.3V (12mA)"},
      {104, L"HSLV15_DCI", L"HSLV 1.5V DCI"},
      {108, L"MLVDS25", L"Multi-Point LVDS 2.5V"},
      {121, L"PCIX_15", L"PCI-X 1.5V"},
      {130, L"SSTL15I", L"SSTL Class I 1.5V"},
      {133, L"DSSTL15I", L"Differential SSTL Class I 1.5V"},
      {135, L"MiniLVDS25_E_1R", L"MiniLVDS25 External One-Resistor"},
      {136, L"MiniLVDS25_E_3R", L"MiniLVDS25 External Three-Resistor Network"},
      {141, L"3.3V GTL", L"Gunning Transceiver Logic 3.3 V"},
      {143, L"3.3V GTL+", L"Gunning Transceiver Logic Plus 3.3 V"},
      {148, L"Mobile_DDR", L"Mobile DDR"},
      {149, L"DMobile_DDR", L"Differential Mobile DDR"},
      {150, L"Display_Port", L"Display Port"},
      {153, L"SSTL15", L"SSTL 1.5V"},
      {170, L"LVTTL33_STI", L"LVTTL 3.3V Schmitt Trigger Input"},
      {172, L"SSTL25I", L"SSTL25 Class I"},
      {176, L"LVTTL33D", L"Differential LVTTL 3.3V"},
      {177, L"LVCMOS33D", L"Differential LVCMOS 3.3V"},
      {182, L"BLVDS25E", L"Emulated BLVDS 2.5V"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.index);
    EXPECT_EQ(std::wstring(kIOStandardParameterNames[r.index]), std::wstring(r.parameter));
    EXPECT_EQ(std::wstring(kIOStandardDisplayNames[r.index]), std::wstring(r.display));
  }
}

// Exactly these rows show their parameter name; every other row spells it out.
const std::set<std::wstring_view> kShownAsParameterName = {
    L"GTL", L"CTT", L"TTL", L"HTT", L"PCML", L"PCML15", L"LVDS", L"LVPECL", L"LDT", L"PCML12", L"LVCMOS30",
    L"LVTTL30", L"HSTLII_12", L"PCI33_30", L"PCIX_30", L"DHSTL12I", L"DHSTL12II", L"I2C", L"SMBus", L"SDIO",
    L"HCSL", L"PCML14",
};

TEST(IOStandards, DisplayEqualsParameterNameOnlyForTheListedRows) {
  ASSERT_EQ(kShownAsParameterName.size(), 22u);
  std::size_t equalRows = 0;
  for (std::size_t i = 0; i < kIOStandards.size(); ++i) {
    const auto& row = kIOStandards[i];
    SCOPED_TRACE(i);
    EXPECT_FALSE(row.DisplayName.empty());
    const bool listed = kShownAsParameterName.contains(row.ParameterName);
    EXPECT_EQ(row.DisplayName == row.ParameterName, listed) << std::wstring(row.ParameterName);
    equalRows += listed;
  }
  EXPECT_EQ(equalRows, 22u);
}

TEST(IOStandards, ParallelTablesFollowTheRows) {
  for (std::size_t i = 0; i < kIOStandards.size(); ++i) {
    EXPECT_EQ(kIOStandardParameterNames[i], kIOStandards[i].ParameterName);
    EXPECT_EQ(kIOStandardDisplayNames[i], kIOStandards[i].DisplayName);
  }
}

// The mechanical part of the display-name formation: a parameter-name pattern
// and what the display name must then contain ($n: groups of the parameter).
struct FormationRule {
  const char* what;
  const wchar_t* parameter;
  const wchar_t* display;
};

TEST(IOStandards, DisplayNamesFollowTheFormationRules) {
  const FormationRule rules[] = {
      {"voltage", L"^(LVTTL|LVCMOS|HSLV)(\\d)(\\d)(?!\\d)", L"^(Differential )?$1 $2\\.$3V"},
      {"HSTL voltage", L"^D?HSTL\\w*_(\\d)(\\d)", L" $1\\.$2V( |$)"},
      {"SSTL voltage", L"^D?SSTL1(\\d)", L" 1\\.$1V( |$)"},
      {"class", L"^D?(?:SSTL|HSTL)\\d*(IV|I{1,3})(?=T|_|$)", L" Class $1( |$)"},
      {"differential SSTL", L"^DSSTL", L"^Differential SSTL"},
      {"differential single-ended", L"^(LVTTL|LVCMOS)(\\d)(\\d)D$", L"^Differential $1 $2\\.$3V$"},
      {"emulated", L"^(BLVDS|MLVDS|LVPECL|RSDS)(\\d)(\\d)E$", L"^Emulated $1 $2\\.$3V$"},
      {"DCI", L"_DCI", L" DCI( |$)"},
      {"DT", L"_DT$", L" DT$"},
      {"one resistor", L"_E_1R$", L" External One-Resistor$"},
      {"three resistors", L"_E_3R$", L" External Three-Resistor Network$"},
  };
  for (const auto& rule : rules) {
    const std::wregex parameter(rule.parameter);
    std::size_t applied = 0;
    for (std::size_t i = 0; i < kIOStandards.size(); ++i) {
      const std::wstring name(kIOStandards[i].ParameterName);
      std::wsmatch m;
      if (kShownAsParameterName.contains(kIOStandards[i].ParameterName) || !std::regex_search(name, m, parameter))
        continue;
      ++applied;
      const std::wstring display(kIOStandards[i].DisplayName);
      EXPECT_TRUE(std::regex_search(display, std::wregex(m.format(rule.display))))
          << rule.what << ": " << name << " shown as " << display;
    }
    EXPECT_GT(applied, 0u) << rule.what;
  }
}

}  // namespace
}  // namespace tvk
