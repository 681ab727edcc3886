#include "Tarnwell_Driver.h"

namespace tvk {

TCortexM3::TCortexM3(int32_t kind) : TDeviceData(kind) {}

}  // namespace tvk
