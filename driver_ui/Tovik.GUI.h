#pragma once
// The bases of the driver's instrument windows (a form that shows one host
// device, the rack form the host embeds in its rack), the served views the
// host moves, sizes and feeds them through, and the module's driver user
// interface: the one TDriverUI the driver reaches its windows through.
#include "Forms.h"
#include "InstrumentPanels.h"
#include "StdCtrls.h"
#include "Tovik.DriverUI.h"
#include "Tovik.InstrumentView.h"

#include <cstdint>

namespace tvk {

class TInstrumentForm;

// The automation interface of an instrument form. The form owns it: it
// counts no references and lives as long as the form.
class TInstrumentFormDispatch final : public TUncountedDispatch {
public:
  explicit TInstrumentFormDispatch(TInstrumentForm& form) : FForm(form) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // The form's Invoke; nothing thrown leaves it.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

private:
  TInstrumentForm& FForm;
};

// A form that shows one host device. Made with CreateComponent from the
// design of its class, without owner; the device is kept as given.
class TInstrumentForm : public TForm, public TDriverInstrumentForm {
public:
  TVK_CLASS(TInstrumentForm, TForm)
  explicit TInstrumentForm(const ITovikDevice& Device);

  // TovikDevice: reading gives a copy; writing stores it and does nothing else.
  ITovikDevice TovikDevice() const { return FTovikDevice; }
  void SetTovikDevice(const ITovikDevice& Device) override { FTovikDevice = Device; }

  // IDispatch of the form (also answered by GetInterface).
  IDispatch* Dispatch() { return &FDispatch; }
  bool GetInterface(const GUID& iid, void** obj) override;

  // The arguments of IDispatch::Invoke; the base implements nothing.
  virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                         EXCEPINFO* excep, UINT* argErr);
  virtual void ReceiveNotification(const INotification&) {}
  // Stores Device, then captions the form "  JTAG Index: " and its chain index.
  void Display(const ITovikDevice& Device) override;
  virtual void Hidden() {}
  virtual void SetProjectDetails(const WideString&, const WideString&) {}
  void SetState_Controls() override {}

protected:
  ITovikDevice FTovikDevice;

private:
  TInstrumentFormDispatch FDispatch{*this};
};

// A form the host holds in its rack: borderless, a front plate over it whose
// mouse presses go to the rack window, the plate's identification line and
// the processor's registers.
class TRackInstrumentForm : public TInstrumentForm {
public:
  TVK_CLASS(TRackInstrumentForm, TInstrumentForm)
  using TInstrumentForm::TInstrumentForm;
  using TInstrumentForm::SetParentWindow;  // the window-handle form

  bool DeviceBusy() const { return FDeviceBusy; }
  bool DeviceOnline() const { return !FTovikDevice.IsEmpty(); }
  const IExternalFormHolder& ParentWindowHolder() const { return FParentWindowHolder; }

  // 0 while the device is offline or busy, or without such a register.
  virtual uint32_t GetRegisterValue(int32_t Index);
  // Writes while the device is online (busy or not).
  virtual void SetRegisterValue(int32_t Index, uint32_t Value);
  virtual void ForceDisplayUpdate() {}
  // The height of the front plate.
  virtual int GetPreferredHeight() = 0;
  // Points the front plate's mouse presses at Handler.
  virtual void SetMouseHandler(const TMouseEvent& Handler) = 0;
  virtual bool LiveUpdateNet(const INet&, bool) { return false; }
  virtual void SetParentWindow(const IExternalFormHolder& Holder) { FParentWindowHolder = Holder; }
  // The first direct child that is a front plate; null without one.
  TInstrumentBackgroundPanel* GetMainPanel();

  // The plate's chain index, port and core name from the device.
  void UpdateCoreInformation();
  // The design core that implements the device (through the host's
  // workbench); empty without device, workbench or core.
  void GetDesignCore(ITovikCore& Core);
  // Shows Register in Label: with Bits 0 the register is refreshed and its
  // value and width taken; hexadecimal, decimal and grouped binary parts
  // joined by " - ". An empty register clears the label.
  void ShowRegisterValue(const IProcessorRegister& Register, TCustomLabel& Label, bool Hex, bool Decimal,
                         bool Binary, uint32_t Value, int Bits);
  // A left or right press goes to the rack window, X in WParam and Y in LParam.
  void MouseButtonDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
  // Borderless, and the form's and the plate's presses to MouseButtonDown.
  void AfterDesign() override;
  // Closing only hides.
  void DoClose(TCloseAction& action) override;

  IExternalFormHolder FParentWindowHolder;
  bool FDeviceBusy = false;
};

// What an instrument view answers beside the external form, in slot order.
#define TVK_INSTRUMENT_VIEW_OPERATIONS(X)                                 \
  X(503697, UpdateDisplay, ())                                            \
  X(503698, GetProjectDetails, (TServedStringRef, TServedStringRef))                  \
  X(503699, SetProjectDetails, (const WideString&, const WideString&))    \
  X(503700, GetPreferredBounds, (int32_t*, int32_t*, int32_t*, int32_t*)) \
  X(503701, SetViewBounds, (int32_t, int32_t, int32_t, int32_t))          \
  X(503702, LiveUpdateNet, (const INet&, bool, bool&))                    \
  X(503703, ReceiveNotification, (const INotification&))                  \
  X(503704, ReleaseView, ())

// "InstrumentView": the served view of an instrument form. It hears the
// host's notifications from its making to its end and passes them on.
class TInstrumentView : public TTovikInstrumentView {
public:
  TVK_SERVED_LEVEL();
  // Form may be null; an error here leaves Form to the caller.
  explicit TInstrumentView(TInstrumentForm* Form);
  // The notification handler is detached first: a late notification reaches nothing.
  ~TInstrumentView() override;

  virtual HRESULT UpdateDisplay();
  virtual HRESULT GetProjectDetails(TServedStringRef ProjectPath, TServedStringRef Target);
  virtual HRESULT SetProjectDetails(const WideString& ProjectPath, const WideString& Target);
  virtual HRESULT GetPreferredBounds(int32_t* Left, int32_t* Top, int32_t* Width, int32_t* Height);
  virtual HRESULT SetViewBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height);
  virtual HRESULT LiveUpdateNet(const INet& Net, bool UpdateEnabled, bool& Result);
  virtual HRESULT ReceiveNotification(const INotification& Notification);
  // Release (503704): the form hears Hidden; the driver lets the view go next.
  virtual HRESULT ReleaseView();

  TInstrumentForm* InstrumentForm() const;

protected:
  ComRef<TNotificationHandler> FNHandler;
  WideString FProjectPath, FTarget;
};

// The view of a rack form.
class TRackInstrumentView : public TInstrumentView {
public:
  explicit TRackInstrumentView(TRackInstrumentForm* Form) : TInstrumentView(Form) {}

  HRESULT SetParentWindow(const IExternalFormHolder& Holder) override;
  HRESULT UpdateDisplay() override;
  HRESULT GetPreferredBounds(int32_t* Left, int32_t* Top, int32_t* Width, int32_t* Height) override;
  HRESULT LiveUpdateNet(const INet& Net, bool UpdateEnabled, bool& Result) override;

  TRackInstrumentForm* RackForm() const;
};

// The rack's width, which every rack view prefers.
constexpr int32_t kRackWidth = 724;

// The module's driver user interface (registered by DriverUIUnitStartup).
TDriverUI& ModuleDriverUI();

}  // namespace tvk
