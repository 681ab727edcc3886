#pragma once
// The rack instrument panel of the ARM drivers: run control of the core
// (reset, pause, continue, single step), the host's debugger panel, and a
// polled view of the program counter, the stack pointer and the instruction
// at the program counter with its disassembly. It reaches the processor only
// through the host's device, as the host itself does.
#include "InstrumentButtons.h"
#include "InstrumentChecks.h"
#include "InstrumentLabels.h"
#include "Timers.h"
#include "Tovik.GUI.h"

namespace tvk {

class TARM_BaseInstrumentForm : public TRackInstrumentForm {
public:
  TVK_CLASS(TARM_BaseInstrumentForm, TRackInstrumentForm)
  // Make it with CreateComponent (the design is read after the constructors).
  TARM_BaseInstrumentForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice);

  void Display(const ITovikDevice& Device) override { TRackInstrumentForm::Display(Device); }
  void ReceiveNotification(const INotification& Notification) override {
    TRackInstrumentForm::ReceiveNotification(Notification);
  }
  int GetPreferredHeight() override { return Panel_Main->Height(); }
  void SetMouseHandler(const TMouseEvent& Handler) override { Panel_Main->OnMouseDown = Handler; }
  void SetProjectDetails(const WideString& ProjectPath, const WideString&) override { FProjectPath = ProjectPath; }

  // The lamps from the state text, and while stopped the PC, the SP and the
  // instruction at the PC.
  void UpdateProcessorStatus();
  // The instruction word at Address and its disassembly.
  void ShowCurrentInstruction(int64_t Address);

  const WideString& ProjectPath() const { return FProjectPath; }
  bool Polling() const { return FPolling; }

  // The design's components.
  TInstrumentBackgroundPanel* Panel_Main = nullptr;
  TInstrumentCaption* Header_ProcessorControl = nullptr;
  TInstrumentCaption* Header_Status = nullptr;
  TInstrumentButton* Button_Reset = nullptr;
  TInstrumentButton* Button_Pause = nullptr;
  TInstrumentButton* Button_Continue = nullptr;
  TInstrumentButton* Button_Step = nullptr;
  TInstrumentButton* Button_TovikDebugger = nullptr;
  TInstrumentCheckBox* CheckBox_Polling = nullptr;
  TInstrumentCheckBox* CheckBox_Running = nullptr;
  TInstrumentLabel* Label_Running = nullptr;
  TInstrumentCheckBox* CheckBox_Reset = nullptr;
  TInstrumentLabel* Label_Reset = nullptr;
  TInstrumentPanel* Panel_Status = nullptr;
  TInstrumentLabel* Label_PC = nullptr;
  TInstrumentLabel* Label_SP = nullptr;
  TInstrumentLabel* Label_Status = nullptr;
  TInstrumentLabel* Label_Edit_PC = nullptr;
  TInstrumentLabel* Label_Edit_SP = nullptr;
  TInstrumentLabel* Label_Edit_Instruction = nullptr;
  TInstrumentLabel* Label_Edit_Assembler = nullptr;
  TTimer* Timer_Polling = nullptr;

  // The design's event handlers.
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Button_ResetClick(TObject* Sender);
  void Button_PauseClick(TObject* Sender);
  void Button_ContinueClick(TObject* Sender);
  void Button_StepClick(TObject* Sender);
  void Button_TovikDebuggerClick(TObject* Sender);
  void CheckBox_PollingClick(TObject* Sender);
  void Timer_PollingTimer(TObject* Sender);

protected:
  // The panel's own start: its device, cleared fields and one status update.
  void AfterDesign() override;

private:
  // The device the panel was made with: buttons and polls use it, whatever
  // device the driver hands the form later (TInstrumentForm::FTovikDevice,
  // which serves the caption and the identification line).
  ITovikDevice FTovikDevice;
  WideString FProjectPath;
  bool FPolling = false;
};

// The ARM drivers' rack form for Device, captioned "  JTag Index: " and the
// device's chain index. The caller owns it.
TARM_BaseInstrumentForm* CreateARMInstrumentForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice);

}  // namespace tvk
