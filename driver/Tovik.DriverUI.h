#pragma once
// What the driver needs of the driver user interface, and nothing more: the
// forms it makes and holds (its rack form, the flash memory utility dialog),
// the three operations it calls on an instrument form, and the class of the
// served view that wraps a rack form. The user-interface subsystem registers
// its implementation at start-up; the driver reaches it only through DriverUI().
#include "ORV.SCH.RecordInterfaces.h"

#include <memory>

namespace tvk {

// A form of the driver user interface. The holder of its unique pointer owns it.
class TDriverForm {
public:
  TDriverForm() = default;
  TDriverForm(const TDriverForm&) = delete;
  TDriverForm& operator=(const TDriverForm&) = delete;
  virtual ~TDriverForm() = default;
};

// An instrument form (TInstrumentForm): a form that shows one host device.
class TDriverInstrumentForm : public TDriverForm {
public:
  // Keeps Device (one reference) in place of the one it held; nothing else.
  virtual void SetTovikDevice(const ITovikDevice& Device) = 0;
  // SetTovikDevice, then the caption from the device's chain index.
  virtual void Display(const ITovikDevice& Device) = 0;
  // Brings the form's controls up to date from its state.
  virtual void SetState_Controls() = 0;
};

// A modal dialog; its holder shows it and frees it when it has closed.
class TDriverDialog : public TDriverForm {
public:
  // Runs the dialog until it closes; answers its modal result.
  virtual int ShowModal() = 0;
};

// Form as an instrument form; raises "Invalid class typecast" when it is none.
TDriverInstrumentForm& AsInstrumentForm(TDriverForm& form);

// A class of served instrument views (TRackInstrumentView).
class TInstrumentViewClass {
public:
  // The virtual constructor Create(AForm): a new view around Form, as its
  // served IInstrumentView. Once made, the view owns Form and disposes of it
  // when IInstrumentView.Release is called; when Create fails, Form stays
  // the caller's.
  virtual IInstrumentView Create(TDriverForm& Form) const = 0;

protected:
  ~TInstrumentViewClass() = default;
};

class TDriverUI {
public:
  // A new hard-device viewer (THardDeviceViewerForm, an instrument form) for
  // the host device and its JTAG device.
  virtual std::unique_ptr<TDriverForm> CreateHardDeviceViewerForm(const ITovikDevice& Device,
                                                                  const IJTagDevice& JTagDevice) = 0;
  // A new ARM instrument panel (TARM_BaseInstrumentForm) showing Device;
  // JTagDevice may be empty. Errors of the form's construction pass through.
  virtual std::unique_ptr<TDriverForm> CreateARMInstrumentForm(const ITovikDevice& Device,
                                                               const IJTagDevice& JTagDevice) = 0;
  // TFlashMemoryUtilityForm.Create(AFlashWriters, ADeviceLink): the modal
  // flash memory utility dialog; an error during construction leaves no form.
  virtual std::unique_ptr<TDriverDialog> CreateFlashMemoryUtilityForm(const IFlashWriters& FlashWriters,
                                                                      const IDeviceLink& DeviceLink) = 0;
  // TRackInstrumentView, the view class of rack forms.
  virtual const TInstrumentViewClass& RackInstrumentView() const = 0;

protected:
  ~TDriverUI() = default;
};

// Registers Ui (not owned; null withdraws it) and answers the one it replaces.
TDriverUI* RegisterDriverUI(TDriverUI* ui);
// The registered user interface; raises while none is registered.
TDriverUI& DriverUI();

}  // namespace tvk
