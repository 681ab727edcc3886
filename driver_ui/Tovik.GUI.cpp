#include "Tovik.GUI.h"

#include "DriverUISteps.h"
#include "Tovik.Form.FlashMemoryUtility.h"

namespace tvk {

namespace {

// The windows the driver asks for; a window whose unit is not built raises.
class TModuleDriverUI final : public TDriverUI, public TInstrumentViewClass {
public:
  std::unique_ptr<TDriverForm> CreateHardDeviceViewerForm(const ITovikDevice&, const IJTagDevice&) override {
    throw Exception(L"The hard-device viewer is not available");
  }
  std::unique_ptr<TDriverForm> CreateARMInstrumentForm(const ITovikDevice&, const IJTagDevice&) override {
    throw Exception(L"The ARM instrument panel is not available");
  }
  std::unique_ptr<TDriverDialog> CreateFlashMemoryUtilityForm(const IFlashWriters& FlashWriters,
                                                              const IDeviceLink& DeviceLink) override {
    return TFlashMemoryUtilityForm::Create(FlashWriters, DeviceLink);
  }
  const TInstrumentViewClass& RackInstrumentView() const override { return *this; }
  IInstrumentView Create(TDriverForm&) const override {
    throw Exception(L"The rack instrument view is not available");
  }
};

TModuleDriverUI gModuleDriverUI;

}  // namespace

TDriverUI& ModuleDriverUI() { return gModuleDriverUI; }

bool DriverUIUnitStartup() {
  RegisterDriverUI(&gModuleDriverUI);
  return true;
}

void DriverUIUnitShutdown() {
  // Another registration made since (a test's stand-in) stays in place.
  TDriverUI* current = RegisterDriverUI(nullptr);
  if (current != &gModuleDriverUI) RegisterDriverUI(current);
}

}  // namespace tvk
