#include "ORV.SCH.AbstractClasses.h"

namespace tvk {

static constexpr std::span<const TServedRow<TAbstractDeviceInformation>> kDeviceInformationRows{};
TVK_SERVED_LEVEL_IMPL(TAbstractDeviceInformation, TAbstractSupportService, kDeviceInformationRows, L"DeviceInformation")

static constexpr std::span<const TServedRow<TAbstractTovikDriver>> kTovikDriverRows{};
TVK_SERVED_LEVEL_IMPL(TAbstractTovikDriver, TAbstractDeviceInformation, kTovikDriverRows, L"TovikDriver")

}  // namespace tvk
