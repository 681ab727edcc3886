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

}  // namespace tvk
