#include "Tovik.Form.ARM.BaseInstrument.h"
#include "FormDesign.h"

#include "Tovik.Classes.h"
#include "Extension.Util.h"
#include "Tovik.Disassembler.h"
#include "ZUL.Util.h"

#include <vector>

namespace tvk {

namespace {

// The read buffer: one byte in each 32-bit cell, as the host's memory access
// fills it (a fixed layout, whatever the pointer size).
constexpr std::size_t kInstructionCells = 65536;

void SetValueFont(TInstrumentLabel& label) {
  label.Font().SetName(L"Courier New");
  label.Font().SetSize(9);
  label.Font().SetStyle(fsBold);
}

TInstrumentLabel* ValueField(TComponent& owner, TWinControl* parent, const wchar_t* name, int left, int top,
                             int width, const wchar_t* designText) {
  auto* label = PlaceControl<TInstrumentLabel>(owner, parent, name, left, top, width, 16);
  label->SetAutoSize(false);
  SetValueFont(*label);
  label->SetCaption(designText);
  return label;
}

constexpr auto* Key = &PlaceKey<TInstrumentButton>;
constexpr auto* Lamp = &PlaceLamp<TInstrumentCheckBox, TInstrumentLabel>;

void BuildArmBaseInstrumentForm(TComponent& root) {
  auto& form = static_cast<TARM_BaseInstrumentForm&>(root);
  form.SetName(L"ARM_BaseInstrumentForm");
  form.SetCaption(L"ARM Controller");
  form.SetBorderStyle(TFormBorderStyle::bsToolWindow);
  form.SetBounds(0, 0, kRackWidth, 144);
  form.Font().SetName(L"MS Sans Serif");
  form.Font().SetSize(8);
  form.OnShow = [&form](TObject* sender) { form.FormShow(sender); };
  form.OnClose = [&form](TObject* sender, TCloseAction& action) { form.FormClose(sender, action); };

  auto* plate = PlaceControl<TInstrumentBackgroundPanel>(root, &form, L"Panel_Main", 0, 0, kRackWidth, 108);
  form.Panel_Main = plate;
  plate->SetAlign(TAlign::alTop);
  plate->SetStyle(TInstrumentPanelStyle::ipsDarkGray);
  plate->SetPortID(-1);
  plate->SetTitle(L"ARM 32-Bit RISC Processor Core");

  // Run control on the left, the status display on the right.
  form.Header_ProcessorControl =
      PlaceControl<TInstrumentCaption>(root, plate, L"Header_ProcessorControl", 20, 26, 316, 14);
  form.Header_ProcessorControl->SetCaption(L"PROCESSOR CONTROL");
  form.Button_Reset = Key(root, plate, L"Button_Reset", L"Reset", 20, 46, 74);
  form.Button_Pause = Key(root, plate, L"Button_Pause", L"Pause", 101, 46, 74);
  form.Button_Continue = Key(root, plate, L"Button_Continue", L"Continue", 182, 46, 74);
  form.Button_Step = Key(root, plate, L"Button_Step", L"Step", 263, 46, 73);
  form.Button_TovikDebugger = Key(root, plate, L"Button_TovikDebugger", L"Tovik Debugger", 20, 76, 108);
  form.Button_Reset->OnClick = [&form](TObject* sender) { form.Button_ResetClick(sender); };
  form.Button_Pause->OnClick = [&form](TObject* sender) { form.Button_PauseClick(sender); };
  form.Button_Continue->OnClick = [&form](TObject* sender) { form.Button_ContinueClick(sender); };
  form.Button_Step->OnClick = [&form](TObject* sender) { form.Button_StepClick(sender); };
  form.Button_TovikDebugger->OnClick = [&form](TObject* sender) { form.Button_TovikDebuggerClick(sender); };

  form.CheckBox_Polling = PlaceControl<TInstrumentCheckBox>(root, plate, L"CheckBox_Polling", 138, 78, 66, 17);
  form.CheckBox_Polling->SetCaption(L"Polling");
  form.CheckBox_Polling->SetGlyphStyle(TInstrumentCheckStyle::icsGreen);
  form.CheckBox_Polling->SetChecked(true);
  form.CheckBox_Polling->OnClick = [&form](TObject* sender) { form.CheckBox_PollingClick(sender); };
  form.CheckBox_Running =
      Lamp(root, plate, L"CheckBox_Running", 208, 78, form.Label_Running, L"Label_Running", L"Running", 48);
  form.CheckBox_Running->SetGlyphStyle(TInstrumentCheckStyle::icsGreen);
  form.CheckBox_Reset = Lamp(root, plate, L"CheckBox_Reset", 276, 78, form.Label_Reset, L"Label_Reset", L"Reset", 40);

  form.Header_Status = PlaceControl<TInstrumentCaption>(root, plate, L"Header_Status", 360, 26, 344, 14);
  form.Header_Status->SetCaption(L"PROCESSOR STATUS");
  auto* display = PlaceControl<TInstrumentPanel>(root, plate, L"Panel_Status", 360, 44, 344, 40);
  form.Panel_Status = display;
  display->SetDisplayStyle(TDisplayStyle::dsGray);
  form.Label_PC = PlaceControl<TInstrumentLabel>(root, display, L"Label_PC", 6, 5, 28, 14);
  form.Label_PC->SetCaption(L"PC :");
  form.Label_SP = PlaceControl<TInstrumentLabel>(root, display, L"Label_SP", 6, 22, 28, 14);
  form.Label_SP->SetCaption(L"SP :");
  form.Label_Status = PlaceControl<TInstrumentLabel>(root, display, L"Label_Status", 138, 5, 28, 14);
  form.Label_Status->SetCaption(L"IR :");
  form.Label_Edit_PC = ValueField(root, display, L"Label_Edit_PC", 36, 4, 96, L"0x00000000");
  form.Label_Edit_SP = ValueField(root, display, L"Label_Edit_SP", 36, 21, 96, L"0x00000000");
  form.Label_Edit_Instruction = ValueField(root, display, L"Label_Edit_Instruction", 168, 4, 96, L"0x00000000");
  form.Label_Edit_Assembler = ValueField(root, display, L"Label_Edit_Assembler", 138, 21, 200, L"NOP");

  form.Timer_Polling = new TTimer(&root);
  form.Timer_Polling->SetName(L"Timer_Polling");
  form.Timer_Polling->SetInterval(250);
  form.Timer_Polling->SetEnabled(true);
  form.Timer_Polling->SetOnTimer([&form](TObject* sender) { form.Timer_PollingTimer(sender); });
}

TVK_DESIGN(TARM_BaseInstrumentForm, BuildArmBaseInstrumentForm);

// "Running" or "Reset" in any letter case.
bool SameStateText(const WideString& state, std::wstring_view name) { return SameAsciiText(state, name); }

// Lights or puts out Lamp at once, not at the next paint.
void ShowLamp(TInstrumentCheckBox& lamp, bool lit) {
  lamp.SetChecked(lit);
  lamp.Invalidate();
  lamp.Update();
}

}  // namespace

TARM_BaseInstrumentForm::TARM_BaseInstrumentForm(const ITovikDevice& Device, const IJTagDevice&)
    : TRackInstrumentForm(Device), FTovikDevice(Device) {}

void TARM_BaseInstrumentForm::AfterDesign() {
  TRackInstrumentForm::AfterDesign();
  if (!FTovikDevice) return;  // the fields keep their design texts until the first poll
  FPolling = false;
  Panel_Main->SetHeight(Panel_Main->Height());
  FProjectPath.clear();
  for (TInstrumentLabel* field : {Label_Edit_Instruction, Label_Edit_Assembler, Label_Edit_PC, Label_Edit_SP})
    field->SetCaption(WideString());
  UpdateProcessorStatus();
  Panel_Main->UpdateBackgroundImage();
}

void TARM_BaseInstrumentForm::FormShow(TObject*) {}

void TARM_BaseInstrumentForm::FormClose(TObject*, TCloseAction& Action) { Action = TCloseAction::caHide; }

void TARM_BaseInstrumentForm::Button_ResetClick(TObject*) {
  if (FTovikDevice) FTovikDevice.ResetProcessor();
}

void TARM_BaseInstrumentForm::Button_PauseClick(TObject*) {
  if (FTovikDevice) FTovikDevice.PauseProcessor();
}

void TARM_BaseInstrumentForm::Button_ContinueClick(TObject*) {
  if (FTovikDevice) FTovikDevice.ContinueProcessor();
}

void TARM_BaseInstrumentForm::Button_StepClick(TObject*) {
  if (!FTovikDevice) return;
  // The lamp flashes for each step, whatever the polls show; a failed step leaves it lit.
  ShowLamp(*CheckBox_Running, true);
  FTovikDevice.SingleStepProcessor();
  Sleep(100);
  ShowLamp(*CheckBox_Running, false);
}

void TARM_BaseInstrumentForm::Button_TovikDebuggerClick(TObject*) {
  if (!FTovikDevice) return;
  WideString parameters = L"ObjectKind=Panel|Action=Show|Id=TovikDebugger" + FTovikDevice.GetDeviceId();
  RunServerProcess(L"Client:CustomizeResources", parameters);
}

void TARM_BaseInstrumentForm::CheckBox_PollingClick(TObject*) {
  Timer_Polling->SetEnabled(CheckBox_Polling->Checked());
}

void TARM_BaseInstrumentForm::Timer_PollingTimer(TObject*) {
  if (FPolling || !Visible() || !CheckBox_Polling->Checked()) return;
  struct TPollScope {
    bool& Polling;
    explicit TPollScope(bool& polling) : Polling(polling) { Polling = true; }
    ~TPollScope() { Polling = false; }
  } poll(FPolling);
  UpdateProcessorStatus();
}

void TARM_BaseInstrumentForm::UpdateProcessorStatus() {
  if (!FTovikDevice) {
    for (TInstrumentLabel* field : {Label_Edit_PC, Label_Edit_SP, Label_Edit_Instruction, Label_Edit_Assembler})
      field->SetCaption(WideString());
    return;
  }
  const WideString state = FTovikDevice.GetStateText();
  const bool running = SameStateText(state, L"Running");
  const bool inReset = SameStateText(state, L"Reset");
  if (running) {
    for (TInstrumentLabel* field : {Label_Edit_PC, Label_Edit_SP, Label_Edit_Instruction, Label_Edit_Assembler})
      ShowRegisterValue(IProcessorRegister(), *field, false, false, false, 0, 0);
  } else {
    const IProcessorRegister sp = FTovikDevice.GetProcessorRegister_SP();
    const IProcessorRegister pc = FTovikDevice.GetProcessorRegister_PC();
    const uint32_t pcValue = pc ? pc.GetValue() : 0;
    const uint32_t spValue = sp ? sp.GetValue() : 0;
    ShowRegisterValue(pc, *Label_Edit_PC, true, false, false, pcValue, 32);
    ShowRegisterValue(sp, *Label_Edit_SP, true, false, false, spValue, 32);
    ShowCurrentInstruction(int64_t(pcValue));
  }
  CheckBox_Running->SetChecked(running);
  CheckBox_Reset->SetChecked(inReset);
}

void TARM_BaseInstrumentForm::ShowCurrentInstruction(int64_t Address) {
  if (!FTovikDevice) return;
  const ITovikDriver driver = FTovikDevice.GetDriver();
  if (!driver) return;
  const IMemorySpace space = FTovikDevice.GetProgramMemorySpace();
  if (!space) {
    Label_Edit_Instruction->SetCaption(WideString());
    Label_Edit_Assembler->SetCaption(WideString());
    return;
  }
  const bool thumb = driver.ProcessorIsUsingReducedInstructionSet();
  const bool littleEndian = FTovikDevice.LittleEndian();
  const int32_t count = thumb ? 2 : 4;

  std::vector<uint32_t> buffer(kInstructionCells, 0);  // zeroed for every read
  ComRef<IMemoryAccess> memory;
  if (SUCCEEDED(space.ToPointer()->QueryInterface(IID_IMemoryAccess, reinterpret_cast<void**>(memory.Receive()))) &&
      memory) {
    BOOL success = FALSE;
    CheckResult(memory->MemoryRead(-1, buffer.data(), Address, count, &success));
    if (thumb) {
      // The next halfword too, so that a 32-bit Thumb-2 instruction is read
      // whole; when it cannot be read its cells stay zero.
      if (FAILED(memory->MemoryRead(-1, buffer.data() + 2, Address + 2, 2, &success))) buffer[2] = buffer[3] = 0;
    }
  }
  uint32_t word = 0;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t byte = buffer[littleEndian ? count - 1 - i : i] & 0xFF;
    word = (word << 8) | byte;
  }
  const WideString text = TOneLineDisassembler::GetDisassembly(L"arm", Address, buffer, thumb, littleEndian);
  Label_Edit_Instruction->SetCaption(FormatHex0x(word, 2 * count));
  Label_Edit_Assembler->SetCaption(text);
}

TARM_BaseInstrumentForm* CreateARMInstrumentForm(const ITovikDevice& Device, const IJTagDevice& JTagDevice) {
  std::unique_ptr<TARM_BaseInstrumentForm> form(CreateComponent<TARM_BaseInstrumentForm>(Device, JTagDevice));
  form->SetCaption(L"  JTag Index: " + IntToStr(Device.GetJTagIndex()));
  return form.release();
}

}  // namespace tvk
