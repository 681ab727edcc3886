#pragma once
// The J-Link probe library (JLINKARM.dll) as the binding calls it: its 57
// entry points with their signatures, the records it fills and the constants
// the binding passes. This header describes an outside library's interface,
// so it depends on nothing of the module; the simulated host's stand-in
// library is built against the same declarations.
//
// The library uses the C calling convention: the caller removes the
// arguments, so a call that passes more or fewer values than an entry point
// takes cannot unbalance the stack. On x86_64 there is only one convention.
#include <cstddef>
#include <cstdint>
#include <iterator>

#define TVK_JLINK_CALL __cdecl

namespace tvk::jlink {

// The leading field is the number of devices on the probe's JTAG chain; the
// rest belongs to the library.
struct TJlinkIdData {
  uint16_t DeviceCount;
  uint16_t Reserved;
  uint32_t Private[32];
};

// The leading field is the target's supply in millivolts; the rest belongs to
// the library.
struct TJlinkHWStatus {
  uint16_t TargetMillivolts;
  uint16_t Reserved[15];
};

// One device of the probe's JTAG chain: its name (the library's text) and
// its instruction register length.
struct TJlinkJtagDeviceInfo {
  const char* Name;
  uint32_t IRLen;
};

// Room for one probe in the library's probe list.
struct TJlinkEmuInfo {
  uint32_t SerialNumber;
  uint32_t Connection;
  uint8_t Private[256];
};

// Breakpoint modes the binding passes to JLINKARM_SetBPEx; the unit count
// of JLINKARM_GetNumBPUnits is asked with kBreakpointHardware too.
inline constexpr uint32_t kBreakpointAny = 0xF0;       // soft breakpoints of the driver
inline constexpr uint32_t kBreakpointArm = 0xF1;       // ARM state
inline constexpr uint32_t kBreakpointThumb = 0xF2;     // Thumb state
inline constexpr uint32_t kBreakpointHardware = 0xFFFFFF00;

// JLINKARM_GoEx's two values, as the binding passes them.
inline constexpr uint32_t kGoMaxEmulatedInstructions = 5;
inline constexpr uint32_t kGoFlags = 1;

// JLINKARM_CORE_GetFound's answers the binding knows, and the identification
// codes it records for them.
inline constexpr uint32_t kCoreCortexM0 = 0x060000FF;
inline constexpr uint32_t kCoreCortexM3 = 0x030000FF;
inline constexpr uint32_t kIdcodeCortexM0 = 0x0BB11477;
inline constexpr uint32_t kIdcodeCortexM3 = 0x3BA00477;

// The probe's interface selection the binding asks for.
inline constexpr int32_t kInterfaceSwd = 1;
// Probes on the host's USB ports, as JLINKARM_EMU_GetList is asked.
inline constexpr int32_t kHostInterfaceUsb = 1;

// X(Index, Name, Result, (Parameters)) in binding order.
#define TVK_JLINK_ENTRY_POINTS(X)                                                                          \
  X(0, JLINKARM_Open, const char*, ())                                                                     \
  X(1, JLINKARM_Close, void, ())                                                                           \
  X(2, JLINKARM_GetIdData, void, (::tvk::jlink::TJlinkIdData * Data))                                      \
  X(3, JLINKARM_SetInitRegsOnReset, int32_t, (int32_t On))                                                 \
  X(4, JLINKARM_SetMaxSpeed, void, ())                                                                     \
  X(5, JLINKARM_SetSpeed, void, (uint32_t Speed))                                                          \
  X(6, JLINKARM_GetHWStatus, int32_t, (::tvk::jlink::TJlinkHWStatus * Status))                             \
  X(7, JLINKARM_GetId, uint32_t, ())                                                                       \
  X(8, JLINKARM_JTAG_GetDeviceId, uint32_t, (uint32_t Position))                                           \
  X(9, JLINKARM_JTAG_GetDeviceInfo, int32_t, (uint32_t Position, ::tvk::jlink::TJlinkJtagDeviceInfo * Info)) \
  X(10, JLINKARM_JTAG_GetData, void, (uint32_t A, uint32_t B, uint32_t C))                                 \
  X(11, JLINKARM_JTAG_GetU8, uint8_t, (uint32_t BitPosition))                                              \
  X(12, JLINKARM_JTAG_GetU16, uint16_t, (uint32_t BitPosition))                                            \
  X(13, JLINKARM_JTAG_GetU32, uint32_t, (uint32_t BitPosition))                                            \
  X(14, JLINKARM_JTAG_StoreGetData, void, (uint32_t A, uint32_t B, uint32_t C))                            \
  X(15, JLINKARM_JTAG_StoreGetRaw, void, (uint32_t A, uint32_t B, uint32_t C, uint32_t D))                 \
  X(16, JLINKARM_JTAG_StoreInst, int32_t, (uint32_t A, uint32_t B))                                        \
  X(17, JLINKARM_JTAG_StoreData, int32_t, (uint32_t A, uint32_t B))                                        \
  X(18, JLINKARM_JTAG_StoreRaw, int32_t, (uint32_t A, uint32_t B, uint32_t C))                             \
  X(19, JLINKARM_JTAG_SyncBits, void, ())                                                                  \
  X(20, JLINKARM_JTAG_SyncBytes, void, ())                                                                 \
  X(21, JLINKARM_JTAG_WriteData, int32_t, (uint32_t A, uint32_t B, uint32_t C))                            \
  X(22, JLINKARM_Go, void, ())                                                                             \
  X(23, JLINKARM_GoEx, void, (uint32_t MaxEmulatedInstructions, uint32_t Flags))                           \
  X(24, JLINKARM_Halt, uint8_t, ())                                                                        \
  X(25, JLINKARM_IsConnected, uint8_t, ())                                                                 \
  X(26, JLINKARM_IsHalted, uint8_t, ())                                                                    \
  X(27, JLINKARM_IsOpen, uint8_t, ())                                                                      \
  X(28, JLINKARM_Reset, void, ())                                                                          \
  X(29, JLINKARM_ResetNoHalt, void, ())                                                                    \
  X(30, JLINKARM_ResetPullsRESET, void, (uint32_t On))                                                     \
  X(31, JLINKARM_ResetPullsTRST, void, (uint32_t On))                                                      \
  X(32, JLINKARM_ResetTRST, void, ())                                                                      \
  X(33, JLINKARM_SetResetType, void, (int32_t Type))                                                       \
  X(34, JLINKARM_Step, uint8_t, ())                                                                        \
  X(35, JLINKARM_ReadMem, int32_t, (uint32_t Address, uint32_t Count, void* Data))                         \
  X(36, JLINKARM_ReadMemU8, int32_t, (uint32_t Address, uint32_t Items, uint8_t * Data, uint8_t * Status))   \
  X(37, JLINKARM_ReadMemU16, int32_t, (uint32_t Address, uint32_t Items, uint16_t * Data, uint8_t * Status)) \
  X(38, JLINKARM_ReadMemU32, int32_t, (uint32_t Address, uint32_t Items, uint32_t * Data, uint8_t * Status)) \
  X(39, JLINKARM_ReadMemU64, int32_t, (uint32_t A, uint32_t B, uint32_t C, uint32_t D))                    \
  X(40, JLINKARM_WriteMem, int32_t, (uint32_t Address, uint32_t Count, const void* Data))                  \
  X(41, JLINKARM_WriteU8, int32_t, (uint32_t Address, uint8_t Value))                                      \
  X(42, JLINKARM_WriteU16, int32_t, (uint32_t Address, uint16_t Value))                                    \
  X(43, JLINKARM_WriteU32, int32_t, (uint32_t Address, uint32_t Value))                                    \
  X(44, JLINKARM_WriteU64, int32_t, (uint32_t A, uint32_t B, uint32_t C))                                  \
  X(45, JLINKARM_ReadReg, uint32_t, (uint32_t Index))                                                      \
  X(46, JLINKARM_WriteReg, uint8_t, (uint32_t Index, uint32_t Value))                                      \
  X(47, JLINKARM_GetNumBPUnits, int32_t, (uint32_t Type))                                                  \
  X(48, JLINKARM_GetNumWPUnits, int32_t, ())                                                               \
  X(49, JLINKARM_ClrBP, int32_t, (uint32_t Index))                                                         \
  X(50, JLINKARM_ClrBPEx, int32_t, (int32_t Handle))                                                       \
  X(51, JLINKARM_SetBP, int32_t, (uint32_t Index, uint32_t Address))                                       \
  X(52, JLINKARM_SetBPEx, int32_t, (uint32_t Address, uint32_t Mode))                                      \
  X(53, JLINKARM_TIF_Select, int32_t, (int32_t Interface))                                                 \
  X(54, JLINKARM_CORE_GetFound, uint32_t, ())                                                              \
  X(55, JLINKARM_EMU_GetNumDevices, int32_t, ())                                                           \
  X(56, JLINKARM_EMU_GetList, int32_t, (int32_t HostInterfaces, ::tvk::jlink::TJlinkEmuInfo * Infos, int32_t MaxInfos))

// Each entry point's pointer type (JLINKARM_Open_Fn ...) and index (eJLINKARM_Open ...).
#define TVK_JLINK_DECLARE_TYPE(Index, Name, Result, Params) using Name##_Fn = Result(TVK_JLINK_CALL*) Params;
TVK_JLINK_ENTRY_POINTS(TVK_JLINK_DECLARE_TYPE)
#undef TVK_JLINK_DECLARE_TYPE

enum TJlinkEntry : std::size_t {
#define TVK_JLINK_DECLARE_INDEX(Index, Name, Result, Params) e##Name,
  TVK_JLINK_ENTRY_POINTS(TVK_JLINK_DECLARE_INDEX)
#undef TVK_JLINK_DECLARE_INDEX
  kEntryPointCount
};
static_assert(kEntryPointCount == 57);
#define TVK_JLINK_CHECK_INDEX(Index, Name, Result, Params) static_assert(e##Name == Index, #Name " out of order");
TVK_JLINK_ENTRY_POINTS(TVK_JLINK_CHECK_INDEX)
#undef TVK_JLINK_CHECK_INDEX

// The entry points' names in binding order.
inline constexpr const char* kEntryPointNames[] = {
#define TVK_JLINK_DECLARE_NAME(Index, Name, Result, Params) #Name,
    TVK_JLINK_ENTRY_POINTS(TVK_JLINK_DECLARE_NAME)
#undef TVK_JLINK_DECLARE_NAME
};
static_assert(std::size(kEntryPointNames) == kEntryPointCount);

}  // namespace tvk::jlink
