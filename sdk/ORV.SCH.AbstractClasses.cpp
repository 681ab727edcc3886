#include "ORV.SCH.AbstractClasses.h"

namespace tvk {

static constexpr std::span<const TServedRow<TAbstractDeviceInformation>> kDeviceInformationRows{};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceInformation, TAbstractSupportService, kDeviceInformationRows, L"DeviceInformation")

static constexpr std::span<const TServedRow<TAbstractTovikDriver>> kTovikDriverRows{};
TVK_SERVED_LEVEL_IMPL(TAbstractTovikDriver, TAbstractDeviceInformation, kTovikDriverRows, L"TovikDriver")

#define TVK_ROW_TAbstractSoftBreakpoint(Id, Name, Params, Args) TVK_SERVED_ROW(TAbstractSoftBreakpoint, Id, Name),
#define TVK_ROW_TAbstractHardBreakpoint(Id, Name, Params, Args) TVK_SERVED_ROW(TAbstractHardBreakpoint, Id, Name),
#define TVK_ROW_TAbstractDeviceDebugManager(Id, Name, Params, Args) \
  TVK_SERVED_ROW(TAbstractDeviceDebugManager, Id, Name),

static constexpr TServedRow<TAbstractSoftBreakpoint> kSoftBreakpointRows[] = {
    TVK_SOFT_BREAKPOINT_OPERATIONS(TVK_ROW_TAbstractSoftBreakpoint)};
TVK_SERVED_LEVEL_IMPL(TAbstractSoftBreakpoint, TAbstractSupportService, kSoftBreakpointRows, L"SoftBreakpoint")

static constexpr TServedRow<TAbstractHardBreakpoint> kHardBreakpointRows[] = {
    TVK_HARD_BREAKPOINT_OPERATIONS(TVK_ROW_TAbstractHardBreakpoint)};
TVK_SERVED_LEVEL_IMPL(TAbstractHardBreakpoint, TAbstractSoftBreakpoint, kHardBreakpointRows, L"HardBreakpoint")

static constexpr TServedRow<TAbstractDeviceDebugManager> kDeviceDebugManagerRows[] = {
    TVK_DEVICE_DEBUG_MANAGER_OPERATIONS(TVK_ROW_TAbstractDeviceDebugManager)};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceDebugManager, TAbstractSupportService, kDeviceDebugManagerRows,
                      L"DeviceDebugManager")

}  // namespace tvk
