#pragma once
// Vocabulary of boundary scan and debugging: scan-pin and boundary-cell kinds,
// cell functions and values, breakpoint and debugger modes. Ordinals cross the
// host boundary as plain integers, so every value keeps its position.
#include <array>
#include <cstdint>
#include <string_view>

namespace tvk {

enum TScanPinKind : int {
  eScanPinKind_Normal,
  eScanPinKind_TRST,
  eScanPinKind_TCK,
  eScanPinKind_TDO,
  eScanPinKind_TDI,
  eScanPinKind_TMS,
  eScanPinKind_Power,
  eScanPinKind_Ground,
};
inline constexpr int kScanPinKindCount = eScanPinKind_Ground + 1;

// BC_n has the ordinal n + 1.
enum TCellKind : int {
  eCellKind_Undefined,
  eCellKind_BC_0,
  eCellKind_BC_1,
  eCellKind_BC_2,
  eCellKind_BC_3,
  eCellKind_BC_4,
  eCellKind_BC_5,
  eCellKind_BC_6,
  eCellKind_BC_7,
  eCellKind_BC_8,
  eCellKind_BC_9,
  eCellKind_BC_10,
};
inline constexpr int kCellKindCount = eCellKind_BC_10 + 1;
static_assert(kCellKindCount == 12);

enum TCellFunction : int {
  eCellFunction_Undefined,
  eCellFunction_Input,
  eCellFunction_Clock,
  eCellFunction_Output2,
  eCellFunction_Output3,
  eCellFunction_Control,
  eCellFunction_ControlR,
  eCellFunction_Internal,
  eCellFunction_BiDir,
  eCellFunction_ObserveOnly,
};
inline constexpr int kCellFunctionCount = eCellFunction_ObserveOnly + 1;

enum TBitValue : int {
  eBit_Undefined,
  eBit_0,
  eBit_1,
  eBit_X,
};
inline constexpr int kBitValueCount = eBit_X + 1;

enum TDisableResult : int {
  eDisableResult_Undefined,
  eDisableResult_HiZ,
  eDisableResult_Weak0,
  eDisableResult_Weak1,
  eDisableResult_Pull0,
  eDisableResult_Pull1,
  eDisableResult_Keeper,
};
inline constexpr int kDisableResultCount = eDisableResult_Keeper + 1;

enum TScanClockHaltMode : int {
  eScanClockHaltMode_None,
  eScanClockHaltMode_Low,
  eScanClockHaltMode_Both,
};
inline constexpr int kScanClockHaltModeCount = eScanClockHaltMode_Both + 1;

enum TBreakpointMode : int {
  eBreakpointMode_SOFT,
  eBreakpointMode_HARD,
  eBreakpointMode_ANY,
};
inline constexpr int kBreakpointModeCount = eBreakpointMode_ANY + 1;

enum TDebuggerMode : int {
  eDebuggerMode_MANUAL,
  eDebuggerMode_AUTO,
};
inline constexpr int kDebuggerModeCount = eDebuggerMode_AUTO + 1;

// 65536 words of target memory, the unit in which memory pages are passed around.
using TMemoryArray = std::array<std::uint32_t, 65536>;
using PMemoryArray = TMemoryArray*;

// ---- Display names, indexed by ordinal

inline constexpr auto kScanPinKindNames = std::to_array<std::wstring_view>({
    L"Normal", L"TRST", L"TCK", L"TDO", L"TDI", L"TMS", L"Power", L"Ground",
});
static_assert(kScanPinKindNames.size() == kScanPinKindCount);

// The undefined kind and function have an empty name.
inline constexpr auto kCellKindNames = std::to_array<std::wstring_view>({
    L"", L"BC_0", L"BC_1", L"BC_2", L"BC_3", L"BC_4", L"BC_5", L"BC_6", L"BC_7", L"BC_8", L"BC_9", L"BC_10",
});
static_assert(kCellKindNames.size() == kCellKindCount);

inline constexpr auto kCellFunctionNames = std::to_array<std::wstring_view>({
    L"", L"Input", L"Clock", L"Output2", L"Output3", L"Control", L"ControlR", L"Internal", L"BiDir",
    L"ObserveOnly",
});
static_assert(kCellFunctionNames.size() == kCellFunctionCount);

inline constexpr auto kScanClockHaltModeNames = std::to_array<std::wstring_view>({L"None", L"Low", L"Both"});
static_assert(kScanClockHaltModeNames.size() == kScanClockHaltModeCount);

// Attributes a VHDL description may carry, by position.
inline constexpr auto kVHDLAttributeNames = std::to_array<std::wstring_view>({
    L"ARRAY_TO_NUMERIC", L"CLOCK_BUFFER", L"CRITICAL", L"ENUM_ENCODING", L"FPGA_GSR", L"INHIBIT_BUF",
    L"MACROCELL", L"NUMERIC_TO_ARRAY", L"PART_NAME", L"PINNUM", L"PROPERTY", L"UNGROUP", L"XILINX_BUFG",
    L"XILINX_GSR",
});
static_assert(kVHDLAttributeNames.size() == 14);

}  // namespace tvk
