#pragma once
// Served base classes of the debug framework's interfaces.
#include "ZUL.Types.h"

namespace tvk {

// "DeviceInformation": the device-information operations.
class TAbstractDeviceInformation : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
};

// "TovikDriver": the driver operations.
class TAbstractTovikDriver : public TAbstractDeviceInformation {
public:
  TVK_SERVED_LEVEL();
};

}  // namespace tvk
