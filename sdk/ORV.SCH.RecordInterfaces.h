#pragma once
// Host-interface records of the schematic and library servers and of the
// debug framework: debug devices and drivers, JTAG chains, memory maps,
// breakpoints, flash writers, boundary scan, device pins and the device
// manager. The classes come from RecordInterfaces.table; the walks over them
// are here.
#include "ORV.SCH.RecordInterfaces.gen.h"

namespace tvk {

// The link on the workbench's ports whose debug device has Device's
// identifier (whole strings, without regard to case); the first match wins.
// Ports without a JTAG port and links without a device are passed over; an
// empty workbench or device gives an empty link.
IDeviceLink FindDeviceLink(const ITovikWorkbench& workbench, const ITovikDevice& device);

// The driver of a link's device: the link's device name looked up at the
// device manager (as IDriverManager), then that device's driver. Any empty
// record on the way gives an empty driver.
ITovikDriver FindDeviceLinkDriver(const IDeviceLink& link, const IDeviceManager& deviceManager);

}  // namespace tvk
