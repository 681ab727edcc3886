#pragma once
// The framework's default rack form: a device without an instrument panel of
// its own gets device actions that the host's FPGA flow carries out, a
// programmed and a reset lamp refreshed by a host timer every second, a line
// naming the project, and the device's pin-state panel.
#include "InstrumentButtons.h"
#include "InstrumentChecks.h"
#include "InstrumentLabels.h"
#include "Tovik.GUI.h"
#include "ZUL.AbstractClasses.h"

#include <functional>
#include <memory>

namespace tvk {

// The viewer's pin-state panel as the viewer uses it. Freeing it removes the
// panel from the host.
class TPinStatesPanelLink {
public:
  TPinStatesPanelLink() = default;
  TPinStatesPanelLink(const TPinStatesPanelLink&) = delete;
  TPinStatesPanelLink& operator=(const TPinStatesPanelLink&) = delete;
  virtual ~TPinStatesPanelLink() = default;

  virtual void SetState_Controls() = 0;
  virtual void ReceiveNotification(const INotification& Notification) = 0;
  virtual void SetProjectDetails(const WideString& ProjectPath, const WideString& Target) = 0;
  virtual bool LiveUpdateNet(const INet& Net, bool UpdateEnabled) = 0;
  virtual void SetVisible() = 0;
  virtual void SetHidden() = 0;
};

// Makes the panel of a new viewer (registered with the host); null: no panel.
using TPinStatesPanelMaker =
    std::function<std::unique_ptr<TPinStatesPanelLink>(const ITovikDevice& Device, const IJTagDevice& JTagDevice)>;
// Puts Maker in place for viewers made from now on; answers the one before.
// The first in place is DockedPinStatesPanelMaker.
TPinStatesPanelMaker SetPinStatesPanelMaker(TPinStatesPanelMaker Maker);
// Makes the device's docked pin-state panel (THardDevicePinsPanel).
TPinStatesPanelMaker DockedPinStatesPanelMaker();

class THardDeviceViewerForm : public TRackInstrumentForm {
public:
  TVK_CLASS(THardDeviceViewerForm, TRackInstrumentForm)
  // Make it with CreateComponent (the design is read after the constructors).
  THardDeviceViewerForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice);
  // Status timer killed, panel removed, timer handler let go, then the form.
  ~THardDeviceViewerForm() override;

  // The served handler of the status timer; it reaches the viewer until the
  // viewer lets it go.
  class TMyTimerHandler final : public TAbstractTimerHandler {
  public:
    explicit TMyTimerHandler(THardDeviceViewerForm& Viewer) : F(&Viewer) {}
    HRESULT HandleTimer(uint32_t TimerID) override;
    void Forget() { F = nullptr; }

  private:
    THardDeviceViewerForm* F;
  };

  // The base's answer first; what it does not answer goes to the timer handler.
  HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* excep, UINT* argErr) override;
  // The lamps on the status timer's ticks; other timers are not ours.
  virtual void HandleTimer(uint32_t TimerID);

  void Display(const ITovikDevice& Device) override { TRackInstrumentForm::Display(Device); }
  void SetState_Controls() override;
  void ReceiveNotification(const INotification& Notification) override;
  void SetProjectDetails(const WideString& ProjectPath, const WideString& Target) override;
  bool LiveUpdateNet(const INet& Net, bool UpdateEnabled) override;
  void Hidden() override;
  int GetPreferredHeight() override { return Panel_Main->Height(); }
  void SetMouseHandler(const TMouseEvent& Handler) override { Panel_Main->OnMouseDown = Handler; }

  void UpdateStatusLEDs();
  void UpdateActionButtons();

  uint32_t StatusUpdateTimerID() const { return FStatusUpdateTimerID; }
  TPinStatesPanelLink* PinStatesPanel() const { return FPinStatesPanel.get(); }

  // The design's components.
  TInstrumentBackgroundPanel* Panel_Main = nullptr;
  TInstrumentCaption* Header_DeviceActions = nullptr;
  TInstrumentCaption* Header_DeviceStatus = nullptr;
  TInstrumentButton* Button_ResetHardDevice = nullptr;
  TInstrumentButton* Button_Download = nullptr;
  TInstrumentButton* Button_CompileAndDownload = nullptr;
  TInstrumentButton* Button_ChooseAndDownload = nullptr;
  TInstrumentButton* Button_DeviceInformation = nullptr;
  TInstrumentPanel* Panel_Status = nullptr;
  TInstrumentLabel* Label_Status = nullptr;
  TInstrumentButton* Button_ShowPinsState = nullptr;
  TInstrumentCheckBox* CheckBox_LEDProgrammed = nullptr;
  TInstrumentLabel* Label_Programmed = nullptr;
  TInstrumentCheckBox* CheckBox_LEDReset = nullptr;
  TInstrumentLabel* Label_Reset = nullptr;

  // The design's event handlers.
  void Button_ResetHardDeviceClick(TObject* Sender);
  void Button_DownloadClick(TObject* Sender);
  void Button_CompileAndDownloadClick(TObject* Sender);
  void Button_ChooseAndDownloadClick(TObject* Sender);
  void Button_DeviceInformationClick(TObject* Sender);
  void Button_ShowPinsStates_Click(TObject* Sender);

protected:
  // Timer handler, pin-state panel and status timer, then an empty status line.
  void AfterDesign() override;

private:
  // Runs Process with Action and "Index=" the device's chain position (from 1).
  void RunDeviceAction(const wchar_t* Process, const wchar_t* Action);
  bool IsGenericDevice() const;
  int32_t DeviceState() const;

  IJTagDevice FJTagDevice;
  uint32_t FStatusUpdateTimerID = 0;
  std::unique_ptr<TPinStatesPanelLink> FPinStatesPanel;
  ComRef<TMyTimerHandler> FTimerHandler;
};

// The viewer for Device and its JTAG device; the caller owns it.
THardDeviceViewerForm* CreateHardDeviceViewerForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice);

}  // namespace tvk
