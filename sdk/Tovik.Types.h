#pragma once
// Vocabulary of the debug framework: processor, serial-flash and description-model
// enumerations, the result of a target-resident command, and the name tables the
// driver resolves ordinals through. Ordinals cross the host boundary as plain
// integers, so every value keeps its position.
#include <array>
#include <cstdint>
#include <string_view>

namespace tvk {

enum TDeviceProcessor_Type : int {
  eDeviceProcessor_TYPE_UNKNOWN,
  eDeviceProcessor_TYPE_HARD,
  eDeviceProcessor_TYPE_SOFT,
  eDeviceProcessor_TYPE_GENERIC,
};
inline constexpr int kDeviceProcessor_TypeCount = eDeviceProcessor_TYPE_GENERIC + 1;

enum TDeviceProcessor_Byte_Order : int {
  eDeviceProcessor_BYTE_ORDER_LITTLE_ENDIAN,
  eDeviceProcessor_BYTE_ORDER_BIG_ENDIAN,
};
inline constexpr int kDeviceProcessor_Byte_OrderCount = eDeviceProcessor_BYTE_ORDER_BIG_ENDIAN + 1;

enum TARM_State : int {
  eARM_State_ARM,
  eARM_State_Thumb,
  eARM_State_Jazelle,
};
inline constexpr int kARM_StateCount = eARM_State_Jazelle + 1;

enum TSerialDeviceKind : int {
  eM25P05,
  eM25P10,
  eM25P20,
  eM25P40,
  eM25P80,
  eM25P16,
  eM25P32,
  eM25P64,
  eM25P128,
};
inline constexpr int kSerialDeviceKindCount = eM25P128 + 1;

enum TElementKind : int {
  eElementAbstract,
  eElementPortDeclaration,
  eElementGenericDeclaration,
  eElementPortMap,
  eElementGenericMap,
  eElementSignalDeclaration,
};
inline constexpr int kElementKindCount = eElementSignalDeclaration + 1;

// The processor cores, in the order of their core strings: the enumeration and
// the string table are both made from this one list so they cannot drift apart.
#define TVK_DEVICE_PROCESSOR_CORES(X)                                                                     \
  X(UNKNOWN) X(ARMvGENERIC) X(ARM1) X(ARM2) X(ARM250) X(ARM2a) X(ARM610) X(ARM7TDMI_S) X(ARM710T)         \
  X(ARM720T) X(ARM740T) X(ARM7EJ_S) X(ARM9TDMI) X(ARM920T) X(ARM922T) X(ARM940T) X(ARM946E_S)             \
  X(ARM966E_S) X(ARM968E_S) X(ARM926EJ_S) X(ARM996HS) X(ARM1020E) X(ARM1022E) X(ARM1026EJ_S)             \
  X(ARM_80200) X(ARM_IOP310) X(ARM_IOP315) X(ARM_80219) X(ARM_IOP321) X(ARM_IOP33x) X(ARM_IOP34x)        \
  X(ARM_PXA210) X(ARM_PXA250) X(ARM_PXA255) X(ARM_PXA26x) X(ARM_PXA27x) X(ARM_PXA800_E_F)                 \
  X(ARM_MONAHANS) X(ARM_PXA900) X(ARM_IXC1100) X(ARM_IXP2400) X(ARM_IXP2800) X(ARM_IXP2850)               \
  X(ARM_IXP2325) X(ARM_IXP2350) X(ARM_IXP42x) X(ARM_IXP460) X(ARM_IXP465) X(ARM1136J_F_S)                 \
  X(ARM1156T2_F_S) X(ARM1176JZ_F_S) X(ARM11MPCORE) X(ARM_CORTEX_A) X(ARM_CORTEX_R4) X(ARM_CORTEX_R4_F)   \
  X(ARM_CORTEX_M3) X(ARM_CORTEX_M1) X(ARM_CORTEX_M0) X(BRX165A) X(BRX165B) X(BRX165C) X(BRX165D)          \
  X(BRX3000) X(BRX51A) X(BRX52A) X(BRX52B) X(MicroBlaze) X(MIPS32) X(MIPS32r2) X(NiosII_e) X(NiosII_f)    \
  X(NiosII_s) X(PPC_405) X(BRX80A) X(CoreMP7)

enum TDeviceProcessor_Core : int {
#define TVK_CORE_VALUE(Name) eDeviceProcessor_CORE_##Name,
  TVK_DEVICE_PROCESSOR_CORES(TVK_CORE_VALUE)
#undef TVK_CORE_VALUE
};
inline constexpr int kDeviceProcessor_CoreCount = eDeviceProcessor_CORE_CoreMP7 + 1;
static_assert(kDeviceProcessor_CoreCount == 75);
static_assert(eDeviceProcessor_CORE_ARM_CORTEX_M3 == 55);

// The result block of one target-resident command.
struct TRemoteCommandResult {
  std::uint32_t statusCode = 0;
  std::array<std::uint32_t, 8> resultArray{};
};
static_assert(sizeof(TRemoteCommandResult) == 36);

// One serial flash device: page size in bytes, sector size in KB, sector count.
struct TSerialDeviceParameters {
  TSerialDeviceKind Kind;
  std::wstring_view Name;
  std::int32_t PageSize;
  std::int32_t SectorSize;
  std::int32_t SectorNum;
};

// ---- Processor tables (indexes resolved by the processor-information objects)

#define TVK_WIDE(Text) L##Text
#define TVK_CORE_STRING(Name) std::wstring_view(TVK_WIDE(#Name)),
inline constexpr std::array<std::wstring_view, kDeviceProcessor_CoreCount> kDeviceProcessorCoreStrings = {
    TVK_DEVICE_PROCESSOR_CORES(TVK_CORE_STRING)};
#undef TVK_CORE_STRING
#undef TVK_WIDE

inline constexpr auto kDeviceProcessorFamilies = std::to_array<std::wstring_view>({
    L"UNKNOWN", L"ARMvGENERIC", L"ARM1", L"ARM2", L"ARM3", L"ARM6", L"ARM7TDMI", L"ARM9TDMI",
    L"ARM9E", L"ARM10E", L"XSCALE", L"ARM11", L"CORTEX", L"BRX165x", L"BRX3000", L"BRX51X",
    L"BRX52X", L"MicroBlaze", L"MIPS", L"NiosII", L"PowerPC", L"BRX80x",
});
static_assert(kDeviceProcessorFamilies.size() == 22);

inline constexpr auto kDeviceProcessorArchitectures = std::to_array<std::wstring_view>({
    L"UNKNOWN", L"ARMvGeneric", L"ARMv1", L"ARMv2", L"ARMv2a", L"ARMv3", L"ARMv4", L"ARMv4T", L"ARMv5TE",
    L"ARMv5TEJ", L"ARMv6", L"ARMv6T2", L"ARMv6KZ", L"ARMv6K", L"ARMv7_A", L"ARMv7_R", L"ARMv7_M", L"ARMv6_M",
    L"BRX165x", L"BRX3000", L"BRX51X", L"BRX52X", L"MicroBlaze", L"MIPS", L"NiosII", L"PowerPC", L"BRX80x",
});
static_assert(kDeviceProcessorArchitectures.size() == 27);

inline constexpr auto kDeviceProcessorToolChains = std::to_array<std::wstring_view>({
    L"BRELMOX UNKNOWN", L"BRELMOX 165x", L"BRELMOX 3000", L"BRELMOX 8051", L"BRELMOX ARM",
    L"BRELMOX MicroBlaze", L"BRELMOX NiosII", L"BRELMOX PowerPC", L"BRELMOX Z80", L"BRELMOX CHC",
});
static_assert(kDeviceProcessorToolChains.size() == 10);

// "ARMv4T" and "ARMv4" each occur twice (1/9 and 2/8): targets are kept by
// position, not by name.
inline constexpr auto kDeviceProcessorToolChainTargets = std::to_array<std::wstring_view>({
    L"UNKNOWN", L"ARMv4", L"ARMv4T", L"ARMv5", L"ARMv5T", L"ARMv5TE", L"ARMv6M", L"ARMv7M", L"ARMv4T",
    L"ARMv4", L"XScale", L"BRX165A", L"BRX165B", L"BRX165C", L"BRX165D", L"BRX3000", L"BRX51A", L"BRX52A",
    L"BRX52B", L"MB", L"MIPS32", L"MIPS32r2", L"NiosIIe", L"NiosIIf", L"NiosIIs", L"405", L"BRX80A",
});
static_assert(kDeviceProcessorToolChainTargets.size() == 27);

// ---- Serial flash devices, one row per TSerialDeviceKind in order

inline constexpr auto kSerialDeviceParameters = std::to_array<TSerialDeviceParameters>({
    {eM25P05, L"M25P05", 128, 32, 1},
    {eM25P10, L"M25P10", 128, 32, 2},
    {eM25P20, L"M25P20", 256, 64, 4},
    {eM25P40, L"M25P40", 256, 64, 8},
    {eM25P80, L"M25P80", 256, 64, 16},
    {eM25P16, L"M25P16", 256, 64, 32},
    {eM25P32, L"M25P32", 256, 64, 64},
    {eM25P64, L"M25P64", 256, 64, 128},
    {eM25P128, L"M25P128", 256, 256, 64},
});
static_assert(kSerialDeviceParameters.size() == kSerialDeviceKindCount);
static_assert([] {
  for (int i = 0; i < kSerialDeviceKindCount; ++i)
    if (kSerialDeviceParameters[i].Kind != i) return false;
  return true;
}(), "serial device rows must follow TSerialDeviceKind");

// Parameter names of the in-system serial flash (declared vocabulary; nothing reads it).
inline constexpr auto kSerialFlashParameterNames = std::to_array<std::wstring_view>({
    L"ISF_Sectors", L"ISF_Blocks", L"ISF_SectorsPerBitstream", L"ISF_PagesPerSectors", L"ISF_PagesPerBlocks",
    L"ISF_BaseBlockAddr", L"ISF_PageSize", L"ISF_PageSizeP2Mode", L"ISF_BasePageAddr", L"ISF_MaskMemSize",
});
static_assert(kSerialFlashParameterNames.size() == 10);

// ---- Target-resident programs and memory kinds

// Names of a target-resident program's status codes.
inline constexpr auto kIAPStatusNames = std::to_array<std::wstring_view>({
    L"CMD_SUCCESS", L"INVALID_COMMAND", L"SRC_ADDR_ERROR", L"DST_ADDR_ERROR", L"SRC_ADDR_NOT_MAPPED",
    L"DST_ADDR_NOT_MAPPED", L"COUNT_ERROR", L"INVALID_SECTOR", L"SECTOR_NOT_BLANK",
    L"SECTOR_NOT_PREPARED_FOR_WRITE_OPERATION", L"COMPARE_ERROR", L"BUSY",
});
static_assert(kIAPStatusNames.size() == 12);

// Keys of the memory kinds, with their display names at the same positions.
inline constexpr auto kMemoryKindKeys = std::to_array<std::wstring_view>({
    L"peripheral", L"rom", L"ram", L"nvram", L"asp", L"pflash", L"memperipheral",
});
inline constexpr auto kMemoryKindDisplayNames = std::to_array<std::wstring_view>({
    L"Peripheral", L"ROM", L"RAM", L"Block RAM", L"ASP", L"Parallel Flash", L"Memory Mapped Peripheral",
});
static_assert(kMemoryKindKeys.size() == 7 && kMemoryKindDisplayNames.size() == kMemoryKindKeys.size());

inline constexpr auto kCoreMemoryTypes = std::to_array<std::wstring_view>({L"rom", L"ram", L"nvram", L"reserved ram"});
static_assert(kCoreMemoryTypes.size() == 4);

// ---- Process flows

// Action names of the host's process flows. Position 25 carries no action: its
// entry is empty, so a look-up by name must not let an empty name match it.
inline constexpr auto kProcessFlowCommands = std::to_array<std::wstring_view>({
    L"None", L"PauseProcessor", L"ContinueProcessor", L"ResetProcessor", L"SingleStepProcessor",
    L"CompileProgram", L"DownloadProgram", L"StartDebug", L"StartAttach", L"EndDebug", L"ShowAboutDialog",
    L"ResetDevice", L"DownloadToDevice", L"ShowViewer", L"ChooseAndDownload", L"ProcessorMenu",
    L"ConfigureJTAGIdMapping", L"Flash_ResetDevice", L"Flash_ConfigureDevice", L"Flash_DownloadDevice",
    L"Flash_ChooseAndDownload", L"WriteToFlash", L"ConfigureFpgaProject", L"ShowConfiguration",
    L"ShowCurrentSense", L"", L"CustomAction", L"OnDblClick", L"HideViewer", L"UpdateFirmware",
    L"ToggleFirmwareAutoUpdate", L"VerifyProgram",
});
static_assert(kProcessFlowCommands.size() == 32);
inline constexpr int kProcessFlowCommandUnused = 25;

// ---- ARM registers (short name and display name at the same index)

inline constexpr auto kARMRegisterShortNames = std::to_array<std::wstring_view>({
    L"R0", L"R1", L"R2", L"R3", L"R4", L"R5", L"R6", L"R7", L"R8", L"R9", L"R10", L"R11",
    L"R12", L"R13", L"R14", L"R15", L"CPSR", L"SPSR", L"TBIT", L"LC",
    L"R8_USR", L"R9_USR", L"R10_USR", L"R11_USR", L"R12_USR", L"R13_USR", L"R14_USR",
    L"R13_SVC", L"R14_SVC", L"SPSR_SVC", L"R13_ABT", L"R14_ABT", L"SPSR_ABT",
    L"R13_UND", L"R14_UND", L"SPSR_UND", L"R13_IRQ", L"R14_IRQ", L"SPSR_IRQ",
    L"R8_FIQ", L"R9_FIQ", L"R10_FIQ", L"R11_FIQ", L"R12_FIQ", L"R13_FIQ", L"R14_FIQ", L"SPSR_FIQ",
});
inline constexpr auto kARMRegisterNames = std::to_array<std::wstring_view>({
    L"R0", L"R1", L"R2", L"R3", L"R4", L"R5", L"R6", L"R7", L"R8", L"R9", L"R10", L"R11",
    L"R12/IP", L"R13/SP", L"R14/LR", L"R15/PC", L"CPSR", L"SPSR", L"TBIT (pseudo)", L"LC (pseudo)",
    L"R8_USR", L"R9_USR", L"R10_USR", L"R11_USR", L"R12_USR", L"R13_USR", L"R14_USR",
    L"R13_SVC", L"R14_SVC", L"SPSR_SVC", L"R13_ABT", L"R14_ABT", L"SPSR_ABT",
    L"R13_UND", L"R14_UND", L"SPSR_UND", L"R13_IRQ", L"R14_IRQ", L"SPSR_IRQ",
    L"R8_FIQ", L"R9_FIQ", L"R10_FIQ", L"R11_FIQ", L"R12_FIQ", L"R13_FIQ", L"R14_FIQ", L"SPSR_FIQ",
});
static_assert(kARMRegisterShortNames.size() == 47 && kARMRegisterNames.size() == 47);

// ---- Device pins: slew rates, drive strengths and I/O standards

inline constexpr auto kSlewRates = std::to_array<std::wstring_view>({L"SLOW", L"FAST", L"VERY_SLOW"});
static_assert(kSlewRates.size() == 3);

// A drive-strength index is a position here. The strengths added later follow
// the first fourteen, so the table is not in ascending order.
inline constexpr auto kDriveStrengths = std::to_array<std::wstring_view>({
    L"2mA", L"3mA", L"4mA", L"6mA", L"7mA", L"8mA", L"10mA", L"12mA", L"14mA", L"16mA", L"17mA",
    L"18mA", L"20mA", L"24mA", L"3.5mA", L"5mA", L"15mA", L"21mA", L"25mA", L"33mA", L"35mA",
});
static_assert(kDriveStrengths.size() == 21);

// One I/O standard: the key the host uses and the text shown to the user.
struct TIOStandardName {
  std::wstring_view ParameterName;
  std::wstring_view DisplayName;
};

inline constexpr auto kIOStandards = std::to_array<TIOStandardName>({
    {L"LVTTL15",           L"LVTTL 1.5V"},  // 0
    {L"LVTTL18",           L"LVTTL 1.8V"},  // 1
    {L"LVTTL25",           L"LVTTL 2.5V"},  // 2
    {L"LVTTL33",           L"LVTTL 3.3V"},  // 3
    {L"LVCMOS15",          L"LVCMOS 1.5V"},  // 4
    {L"LVCMOS18",          L"LVCMOS 1.8V"},  // 5
    {L"LVCMOS25",          L"LVCMOS 2.5V"},  // 6
    {L"LVCMOS33",          L"LVCMOS 3.3V"},  // 7
    {L"LVCMOS5",           L"LVCMOS 5V"},  // 8
    {L"PCI33_3",           L"PCI 33Mhz 3.3V"},  // 9
    {L"PCI33_5",           L"PCI 33Mhz 5V"},  // 10
    {L"PCI66",             L"PCI 66Mhz 3.3V"},  // 11
    {L"PCIX_3",            L"PCI-X 3.3V"},  // 12
    {L"COMPACTPCI_3",      L"Compact PCI 3.3V"},  // 13
    {L"SSTL3I",            L"SSTL3 Class I"},  // 14
    {L"SSTL3II",           L"SSTL3 Class II"},  // 15
    {L"SSTL2I",            L"SSTL2 Class I"},  // 16
    {L"SSTL2II",           L"SSTL2 Class II"},  // 17
    {L"SSTL18I",           L"SSTL 1.8V Class I"},  // 18
    {L"SSTL18II",          L"SSTL 1.8V Class II"},  // 19
    {L"GTL",               L"GTL"},  // 20
    {L"GTLP",              L"GTL+"},  // 21
    {L"HSTLI",             L"HSTL Class I"},  // 22
    {L"HSTLII",            L"HSTL Class II"},  // 23
    {L"HSTLIII",           L"HSTL Class III"},  // 24
    {L"HSTLIV",            L"HSTL Class IV"},  // 25
    {L"HSTL_12",           L"HSTL 1.2V"},  // 26
    {L"HSTLI_18",          L"HSTL Class I 1.8V"},  // 27
    {L"HSTLII_18",         L"HSTL Class II 1.8V"},  // 28
    {L"HSTLIII_18",        L"HSTL Class III 1.8V"},  // 29
    {L"HSTLIV_18",         L"HSTL Class IV 1.8V"},  // 30
    {L"CTT",               L"CTT"},  // 31
    {L"AGP1x",             L"AGP 1x"},  // 32
    {L"AGP2x",             L"AGP 2x"},  // 33
    {L"TTL",               L"TTL"},  // 34
    {L"LVCMOS12",          L"LVCMOS 1.2V"},  // 35
    {L"GTL_DCI",           L"GTL DCI"},  // 36
    {L"GTLP_DCI",          L"GTL+ DCI"},  // 37
    {L"HSTLI_DCI",         L"HSTL Class I DCI"},  // 38
    {L"HSTLII_DCI",        L"HSTL Class II DCI"},  // 39
    {L"HSTLIII_DCI",       L"HSTL Class III DCI"},  // 40
    {L"HSTLIV_DCI",        L"HSTL Class IV DCI"},  // 41
    {L"HSTLI_18_DCI",      L"HSTL Class I 1.8V DCI"},  // 42
    {L"HSTLII_18_DCI",     L"HSTL Class II 1.8V DCI"},  // 43
    {L"HSTLIII_18_DCI",    L"HSTL Class III 1.8V DCI"},  // 44
    {L"HSTLIV_18_DCI",     L"HSTL Class IV 1.8V DCI"},  // 45
    {L"DHSTLI",            L"DHSTL Class I"},  // 46
    {L"DHSTLII",           L"DHSTL Class II"},  // 47
    {L"DHSTLIII",          L"DHSTL Class III"},  // 48
    {L"DHSTL18I",          L"DHSTL 1.8V Class I"},  // 49
    {L"DHSTL18II",         L"DHSTL 1.8V Class II"},  // 50
    {L"DHSTL18III",        L"DHSTL 1.8V Class III"},  // 51
    {L"HTT",               L"HTT"},  // 52
    {L"PCML",              L"PCML"},  // 53
    {L"PCML15",            L"PCML15"},  // 54
    {L"SSTL18I_DCI",       L"SSTL 1.8V Class I DCI"},  // 55
    {L"SSTL18II_DCI",      L"SSTL 1.8V Class II DCI"},  // 56
    {L"SSTL2I_DCI",        L"SSTL2 Class I DCI"},  // 57
    {L"SSTL2II_DCI",       L"SSTL2 Class II DCI"},  // 58
    {L"SSTL3I_DCI",        L"SSTL3 Class I DCI"},  // 59
    {L"SSTL3II_DCI",       L"SSTL3 Class II DCI"},  // 60
    {L"LVCMOS15_DCI",      L"LVCMOS 1.5V DCI"},  // 61
    {L"LVCMOS18_DCI",      L"LVCMOS 1.8V DCI"},  // 62
    {L"LVCMOS25_DCI",      L"LVCMOS 2.5V DCI"},  // 63
    {L"LVCMOS33_DCI",      L"LVCMOS 3.3V DCI"},  // 64
    {L"LVCMOS15_DCI_DV2",  L"LVCMOS 1.5V DCI DIV2"},  // 65
    {L"LVCMOS18_DCI_DV2",  L"LVCMOS 1.8V DCI DIV2"},  // 66
    {L"LVCMOS25_DCI_DV2",  L"LVCMOS 2.5V DCI DIV2"},  // 67
    {L"LVCMOS33_DCI_DV2",  L"LVCMOS 3.3V DCI DIV2"},  // 68
    {L"LVDS",              L"LVDS"},  // 69
    {L"LVPECL",            L"LVPECL"},  // 70
    {L"DSSTL18I",          L"Differential SSTL 1.8V Class I"},  // 71
    {L"DSSTL18II",         L"Differential SSTL 1.8V Class II"},  // 72
    {L"DSSTL2I",           L"Differential SSTL2 Class I"},  // 73
    {L"DSSTL2II",          L"Differential SSTL2 Class II"},  // 74
    {L"DSSTL3I",           L"Differential SSTL3 Class I"},  // 75
    {L"DSSTL3II",          L"Differential SSTL3 Class II"},  // 76
    {L"BLVDS25",           L"Bus LVDS 2.5V"},  // 77
    {L"LVPECL25",          L"LVPECL 2.5V"},  // 78
    {L"RSDS25",            L"RSDS 2.5V"},  // 79
    {L"LVDS33",            L"LVDS 3.3V"},  // 80
    {L"LVDS25_DCI",        L"LVDS 2.5V DCI"},  // 81
    {L"LVDS33_DCI",        L"LVDS 3.3V DCI"},  // 82
    {L"LVDSEXT25",         L"LVDS Extended 2.5V"},  // 83
    {L"LVDSEXT33",         L"LVDS Extended 3.3V"},  // 84
    {L"LVDSEXT25_DCI",     L"LVDS Extended 2.5V DCI"},  // 85
    {L"LVDSEXT33_DCI",     L"LVDS Extended 3.3V DCI"},  // 86
    {L"LDT",               L"LDT"},  // 87
    {L"ULVDS25",           L"Ultra LVDS 2.5V"},  // 88
    {L"LDT_DT",            L"LDT DT"},  // 89
    {L"LVDS_DT",           L"LVDS DT"},  // 90
    {L"LVDSEXT25_DT",      L"LVDS Extended 2.5V DT"},  // 91
    {L"ULVDS25_DT",        L"Ultra LVDS 2.5V DT"},  // 92
    {L"MiniLVDS25",        L"Mini LVDS 2.5V"},  // 93
    {L"LVCMOS33_1",        L"LVCMOS 3.3V (24mA)"},  // 94
    {L"LVCMOS33_2",        L"LVCMOS 3.3V (12mA)"},  // 95
    {L"DHSTLII_DCI",       L"DHSTL Class II DCI"},  // 96
    {L"DHSTL18II_DCI",     L"DHSTL 1.8V Class II DCI"},  // 97
    {L"DSSTL2II_DCI",      L"Differential SSTL2 Class II DCI"},  // 98
    {L"DSSTL18II_DCI",     L"Differential SSTL 1.8V Class II DCI"},  // 99
    {L"LVTTL12",           L"LVTTL 1.2V"},  // 100
    {L"PCML12",            L"PCML12"},  // 101
    {L"BLVDS33",           L"Bus LVDS 3.3V"},  // 102
    {L"RSDS33",            L"RSDS 3.3V"},  // 103
    {L"HSLV15_DCI",        L"HSLV 1.5V DCI"},  // 104
    {L"HSLV18_DCI",        L"HSLV 1.8V DCI"},  // 105
    {L"HSLV25_DCI",        L"HSLV 2.5V DCI"},  // 106
    {L"HSLV33_DCI",        L"HSLV 3.3V DCI"},  // 107
    {L"MLVDS25",           L"Multi-Point LVDS 2.5V"},  // 108
    {L"MiniLVDS33",        L"Mini LVDS 3.3V"},  // 109
    {L"TMDS33",            L"TMDS 3.3V"},  // 110
    {L"PPDS25",            L"PPDS 2.5V"},  // 111
    {L"PPDS33",            L"PPDS 3.3V"},  // 112
    {L"DHSTL18I_DCI",      L"DHSTL 1.8V Class I DCI"},  // 113
    {L"DHSTLI_DCI",        L"DHSTL Class I DCI"},  // 114
    {L"DSSTL18I_DCI",      L"Differential SSTL 1.8V Class I DCI"},  // 115
    {L"DSSTL2I_DCI",       L"Differential SSTL2 Class I DCI"},  // 116
    {L"HSTLII_18T_DCI",    L"HSTL Class II 1.8V Terminated DCI"},  // 117
    {L"HSTLIIT_DCI",       L"HSTL Class II Terminated DCI"},  // 118
    {L"SSTL18IIT_DCI",     L"SSTL 1.8V Class II Terminated DCI"},  // 119
    {L"SSTL2IIT_DCI",      L"SSTL2 Class II Terminated DCI"},  // 120
    {L"PCIX_15",           L"PCI-X 1.5V"},  // 121
    {L"CTT25",             L"CTT 2.5V"},  // 122
    {L"LVCMOS30",          L"LVCMOS30"},  // 123
    {L"LVTTL30",           L"LVTTL30"},  // 124
    {L"HSTLII_12",         L"HSTLII_12"},  // 125
    {L"PCI33_30",          L"PCI33_30"},  // 126
    {L"PCIX_30",           L"PCIX_30"},  // 127
    {L"DHSTL12I",          L"DHSTL12I"},  // 128
    {L"DHSTL12II",         L"DHSTL12II"},  // 129
    {L"SSTL15I",           L"SSTL Class I 1.5V"},  // 130
    {L"SSTL15II",          L"SSTL Class II 1.5V"},  // 131
    {L"HSTLI_12",          L"HSTL Class I 1.2V"},  // 132
    {L"DSSTL15I",          L"Differential SSTL Class I 1.5V"},  // 133
    {L"DSSTL15II",         L"Differential SSTL Class II 1.5V"},  // 134
    {L"MiniLVDS25_E_1R",   L"MiniLVDS25 External One-Resistor"},  // 135
    {L"MiniLVDS25_E_3R",   L"MiniLVDS25 External Three-Resistor Network"},  // 136
    {L"RSDS25_E_1R",       L"RSDS25 External One-Resistor"},  // 137
    {L"RSDS25_E_3R",       L"RSDS25 External Three-Resistor Network"},  // 138
    {L"LVDS_E_1R",         L"LVDS External One-Resistor"},  // 139
    {L"LVDS_E_3R",         L"LVDS External Three-Resistor Network"},  // 140
    {L"3.3V GTL",          L"Gunning Transceiver Logic 3.3 V"},  // 141
    {L"2.5V GTL",          L"Gunning Transceiver Logic 2.5 V"},  // 142
    {L"3.3V GTL+",         L"Gunning Transceiver Logic Plus 3.3 V"},  // 143
    {L"2.5V GTL+",         L"Gunning Transceiver Logic Plus 2.5 V"},  // 144
    {L"I2C",               L"I2C"},  // 145
    {L"SMBus",             L"SMBus"},  // 146
    {L"SDIO",              L"SDIO"},  // 147
    {L"Mobile_DDR",        L"Mobile DDR"},  // 148
    {L"DMobile_DDR",       L"Differential Mobile DDR"},  // 149
    {L"Display_Port",      L"Display Port"},  // 150
    {L"DHSTLIIT_DCI",      L"DHSTL Class II Terminated DCI"},  // 151
    {L"DHSTLII_18T_DCI",   L"DHSTL Class II 1.8V Terminated DCI"},  // 152
    {L"SSTL15",            L"SSTL 1.5V"},  // 153
    {L"SSTL15_DCI",        L"SSTL 1.5V DCI"},  // 154
    {L"DSSTL15",           L"Differential SSTL 1.5V"},  // 155
    {L"DSSTL15_DCI",       L"Differential SSTL 1.5V DCI"},  // 156
    {L"SSTL15T_DCI",       L"SSTL 1.5V Terminated DCI"},  // 157
    {L"DSSTL2IIT_DCI",     L"Differential SSTL2 Class II Terminated DCI"},  // 158
    {L"DSSTL18IIT_DCI",    L"Differential SSTL 1.8V Class II Terminated DCI"},  // 159
    {L"DSSTL15T_DCI",      L"Differential SSTL 1.5V Terminated DCI"},  // 160
    {L"PPDS25_E_3R",       L"PPDS25 External Three-Resistor Network"},  // 161
    {L"DSSTL12II",         L"Differential SSTL 1.2V Class II"},  // 162
    {L"HCSL",              L"HCSL"},  // 163
    {L"PCML25",            L"PCML 2.5V"},  // 164
    {L"DSSTL25I",          L"Differential SSTL25 Class I"},  // 165
    {L"DSSTL25II",         L"Differential SSTL25 Class II"},  // 166
    {L"DSSTL20II",         L"Differential SSTL20 Class II"},  // 167
    {L"DSSTL12I",          L"Differential SSTL 1.2V Class I"},  // 168
    {L"PCML14",            L"PCML14"},  // 169
    {L"LVTTL33_STI",       L"LVTTL 3.3V Schmitt Trigger Input"},  // 170
    {L"LVTTL25_STI",       L"LVTTL 2.5V Schmitt Trigger Input"},  // 171
    {L"SSTL25I",           L"SSTL25 Class I"},  // 172
    {L"SSTL25II",          L"SSTL25 Class II"},  // 173
    {L"LVPECL33",          L"LVPECL 3.3V"},  // 174
    {L"MLVDS33",           L"Multi-Point LVDS 3.3V"},  // 175
    {L"LVTTL33D",          L"Differential LVTTL 3.3V"},  // 176
    {L"LVCMOS33D",         L"Differential LVCMOS 3.3V"},  // 177
    {L"LVCMOS25D",         L"Differential LVCMOS 2.5V"},  // 178
    {L"LVCMOS18D",         L"Differential LVCMOS 1.8V"},  // 179
    {L"LVCMOS15D",         L"Differential LVCMOS 1.5V"},  // 180
    {L"LVCMOS12D",         L"Differential LVCMOS 1.2V"},  // 181
    {L"BLVDS25E",          L"Emulated BLVDS 2.5V"},  // 182
    {L"MLVDS25E",          L"Emulated MLVDS 2.5V"},  // 183
    {L"LVPECL33E",         L"Emulated LVPECL 3.3V"},  // 184
    {L"RSDS25E",           L"Emulated RSDS 2.5V"},  // 185
});
static_assert(kIOStandards.size() == 186);

namespace detail {
template <std::size_t N>
constexpr std::array<std::wstring_view, N> IOStandardColumn(const std::array<TIOStandardName, N>& rows,
                                                            std::wstring_view TIOStandardName::*column) {
  std::array<std::wstring_view, N> names{};
  for (std::size_t i = 0; i < N; ++i) names[i] = rows[i].*column;
  return names;
}
}  // namespace detail

// The two parallel tables, indexed by the I/O standard's ordinal.
inline constexpr auto kIOStandardParameterNames =
    detail::IOStandardColumn(kIOStandards, &TIOStandardName::ParameterName);
inline constexpr auto kIOStandardDisplayNames = detail::IOStandardColumn(kIOStandards, &TIOStandardName::DisplayName);

// One flash memory space a writer serves: a range of a global memory space.
struct TFlashMemorySpace {
  std::uint32_t globalMemorySpaceIndex = 0;
  std::uint32_t startAddress = 0;
  std::uint32_t endAddress = 0;
  std::uint32_t widthInBits = 0;
};

}  // namespace tvk
