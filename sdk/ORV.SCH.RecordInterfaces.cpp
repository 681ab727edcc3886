#include "ORV.SCH.RecordInterfaces.h"

namespace tvk {

static bool SameDeviceId(const WideString& a, const WideString& b) {
  return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

IDeviceLink FindDeviceLink(const ITovikWorkbench& workbench, const ITovikDevice& device) {
  if (!workbench || !device) return {};
  const WideString id = device.GetDeviceId();
  const int32_t portCount = workbench.GetPortCount();
  for (int32_t p = 0; p < portCount; ++p) {
    const ITovikPort port = workbench.Port(p);
    if (!port || !port.JtagPort()) continue;
    const int32_t linkCount = port.GetDeviceLinkCount();
    for (int32_t l = 0; l < linkCount; ++l) {
      IDeviceLink link = port.DeviceLink(l);
      if (!link) continue;
      const ITovikDevice linked = link.GetTovikDevice();
      if (linked && SameDeviceId(id, linked.GetDeviceId())) return link;
    }
  }
  return {};
}

ITovikDriver FindDeviceLinkDriver(const IDeviceLink& link, const IDeviceManager& deviceManager) {
  if (!link || !deviceManager) return {};
  const WideString name = link.GetDeviceName();
  const IDriverManager drivers = IDriverManager::FromInterface(deviceManager.ToInterface().Get());
  if (!drivers) return {};
  const ITovikDevice device = drivers.GetTovikDevice(name);
  if (!device) return {};
  return device.GetDriver();
}

}  // namespace tvk
