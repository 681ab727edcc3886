#pragma once
// Vocabulary of the host's FPGA flows: vendors, toolchains, device families,
// flow stages and report labels. Declared for the extensions; the debug driver
// reads none of it.
#include <array>
#include <string_view>

namespace tvk {

inline constexpr auto kFPGAVendors = std::to_array<std::wstring_view>({
    L"Actel", L"Altera", L"Lattice", L"Sharp", L"AMCC", L"Xilinx", L"TexasInstruments", L"STMicroelectronics",
});
static_assert(kFPGAVendors.size() == 8);

// The flows' own copy of the processor toolchain names, in the same order.
inline constexpr auto kToolChainNames = std::to_array<std::wstring_view>({
    L"BRELMOX UNKNOWN", L"BRELMOX 165x", L"BRELMOX 3000", L"BRELMOX 8051", L"BRELMOX ARM",
    L"BRELMOX MicroBlaze", L"BRELMOX NiosII", L"BRELMOX PowerPC", L"BRELMOX Z80", L"BRELMOX CHC",
});
static_assert(kToolChainNames.size() == 10);

inline constexpr auto kResourceReportLabels = std::to_array<std::wstring_view>({
    L"Total logic elements", L"Total ALUTs", L"Total registers", L"I/O pins", L"Total memory bits",
    L"Total RAM block bits", L"DSP block 9-bit elements", L"Global clocks", L"Logic Cells", L"Registers",
    L"DSP",
});
static_assert(kResourceReportLabels.size() == 11);

inline constexpr auto kXilinxFamilies = std::to_array<std::wstring_view>({
    L"Virtex", L"VirtexE", L"Virtex2", L"Virtex2P", L"Spartan2", L"Spartan2E", L"XC9500XV",
});
static_assert(kXilinxFamilies.size() == 7);

inline constexpr auto kFlowStages = std::to_array<std::wstring_view>({
    L"SETUP_DESIGN", L"DEVICE_SELECTION", L"NETLIST_IMPORT", L"COMPILE", L"LAYOUT", L"BACKANNOTATE",
    L"PROGRAMMING_FILE",
});
static_assert(kFlowStages.size() == 7);

inline constexpr auto kFlowFileExtensions = std::to_array<std::wstring_view>({L"bts_stp", L"dc", L"fdb"});
static_assert(kFlowFileExtensions.size() == 3);

}  // namespace tvk
