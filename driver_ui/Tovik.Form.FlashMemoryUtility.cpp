#include "Tovik.Form.FlashMemoryUtility.h"
#include "FormDesign.h"
#include "Tovik.Form.CfiFlashQuery.h"

#include "Application.h"
#include "Controls.h"
#include "Convert.h"
#include "ExtDlgs.h"
#include "Extension.SCH.Util.h"
#include "Extension.Util.h"
#include "Files.h"
#include "ORV.Embedded.RecordInterfaces.h"
#include "Tovik.Classes.DataChunkImage.h"
#include "ZUL.HostModules.h"
#include "ZUL.Util.h"

namespace tvk {

namespace {

// ---- Unit converters: each list entry carries one; the caller wants bytes or Hz.

template <int64_t Multiplier, int64_t Divisor = 1>
class TScaleConvertor : public TUnitConvertor {
protected:
  int64_t InternalConvert(int64_t Value) const override { return Value * Multiplier / Divisor; }
};

#define TVK_UNIT_CONVERTOR(Name, Multiplier, Divisor)           \
  class Name final : public TScaleConvertor<Multiplier, Divisor> { \
  public:                                                        \
    TVK_CLASS(Name, TUnitConvertor)                              \
  };
TVK_UNIT_CONVERTOR(TUC_Byte2Byte, 1, 1)
TVK_UNIT_CONVERTOR(TUC_KByte2Byte, 1024, 1)
TVK_UNIT_CONVERTOR(TUC_MByte2Byte, 1048576, 1)
TVK_UNIT_CONVERTOR(TUC_Bit2Byte, 1, 8)
TVK_UNIT_CONVERTOR(TUC_KBit2Byte, 128, 1)
TVK_UNIT_CONVERTOR(TUC_MBit2Byte, 131072, 1)
TVK_UNIT_CONVERTOR(TUC_Hz2Hz, 1, 1)
TVK_UNIT_CONVERTOR(TUC_KHz2Hz, 1000, 1)
TVK_UNIT_CONVERTOR(TUC_MHz2Hz, 1000000, 1)
#undef TVK_UNIT_CONVERTOR

struct TUnitRow {
  const wchar_t* Caption;
  std::unique_ptr<TUnitConvertor> (*Make)();
};

template <class T>
std::unique_ptr<TUnitConvertor> MakeConvertor() {
  return std::make_unique<T>();
}

const TUnitRow kSizeUnits[] = {{L"Byte", &MakeConvertor<TUC_Byte2Byte>},   {L"KByte", &MakeConvertor<TUC_KByte2Byte>},
                               {L"MByte", &MakeConvertor<TUC_MByte2Byte>}, {L"Bit", &MakeConvertor<TUC_Bit2Byte>},
                               {L"KBit", &MakeConvertor<TUC_KBit2Byte>},   {L"MBit", &MakeConvertor<TUC_MBit2Byte>}};
const TUnitRow kFrequencyUnits[] = {
    {L"Hz", &MakeConvertor<TUC_Hz2Hz>}, {L"KHz", &MakeConvertor<TUC_KHz2Hz>}, {L"MHz", &MakeConvertor<TUC_MHz2Hz>}};

const TUnitConvertor* SelectedConvertor(TXPComboBox& list) {
  const int index = list.ItemIndex();
  return index < 0 ? nullptr : dynamic_cast<const TUnitConvertor*>(list.Items().Objects(index));
}

// ---- The design

template <class T>
T* WithHint(T* control, const wchar_t* hint) {
  control->SetHint(hint);
  control->SetShowHint(true);
  return control;
}

TLabel* Label(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* caption, int left, int top,
              int width = 150) {
  auto* label = PlaceControl<TLabel>(owner, parent, name, left, top, width, 17);
  label->SetCaption(caption);
  return label;
}

TXPHistoryEdit* History(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* text,
                        const wchar_t* hint, int left, int top, int width) {
  auto* edit = WithHint(PlaceControl<TXPHistoryEdit>(owner, parent, name, left, top, width, 21), hint);
  edit->SetText(text);
  return edit;
}

TXPComboBox* List(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* hint, int left, int top,
                  int width) {
  auto* list = WithHint(PlaceControl<TXPComboBox>(owner, parent, name, left, top, width, 21), hint);
  list->SetStyle(TComboBoxStyle::csDropDownList);
  return list;
}

TButton* Button(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* caption,
                const wchar_t* hint, int left, int top, int width) {
  auto* button = WithHint(PlaceControl<TButton>(owner, parent, name, left, top, width, 25), hint);
  button->SetCaption(caption);
  return button;
}

template <class T>
T* Check(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* caption, const wchar_t* hint,
         int left, int top, int width) {
  auto* check = PlaceControl<T>(owner, parent, name, left, top, width, 17);
  check->SetCaption(caption);
  if (hint) WithHint(check, hint);
  return check;
}

TXPGroupBox* Group(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* caption, int top,
                   int height) {
  auto* group = PlaceControl<TXPGroupBox>(owner, parent, name, 6, top, 431, height);
  group->SetCaption(caption);
  return group;
}

// A start and an end sector at Top: the labels over their edits.
struct TSectorRow {
  TLabel *&StartLabel, *&EndLabel;
  TXPHistoryEdit *&StartEdit, *&EndEdit;
};

void PlaceSectorRow(TComponent& owner, TWinControl* parent, int top, const TSectorRow& row,
                    const wchar_t* const (&names)[4]) {
  row.StartLabel = Label(owner, parent, names[0], L"Start Sector", 12, top, 120);
  row.EndLabel = Label(owner, parent, names[1], L"End Sector", 160, top, 120);
  row.StartEdit = History(owner, parent, names[2], L"0", L"Sector number to range", 12, top + 18, 115);
  row.EndEdit = History(owner, parent, names[3], L"0", L"Sector number to range", 160, top + 18, 115);
}

using F = TFlashMemoryUtilityForm;

TNotifyEvent On(F& form, void (F::*handler)(TObject*)) {
  return [&form, handler](TObject* sender) { (form.*handler)(sender); };
}

void BuildFlashMemoryUtilityForm(TComponent& root) {
  auto& f = static_cast<F&>(root);
  f.SetName(L"FlashMemoryUtilityForm");
  f.SetCaption(L"Flash Memory Controller");
  f.SetBorderStyle(TFormBorderStyle::bsDialog);
  f.SetPosition(TPosition::poDesigned);
  // Client 443 x 688 inside the dialog frame; the layout sets the height again.
  f.SetBounds(0, 0, 449, 714);

  // Flash information
  f.panelADVANCED = PlaceControl<TXPExtPanel>(f, &f, L"panelADVANCED", 0, 0, 443, 141);
  f.XPGroupBox1 = Group(f, f.panelADVANCED, L"XPGroupBox1", L"Flash Information", 2, 134);
  auto* g = f.XPGroupBox1;
  f.FlashDeviceLabel = Label(f, g, L"FlashDeviceLabel", L"Flash Device:", 12, 23);
  f.FlashDeviceDropDownList = List(f, g, L"FlashDeviceDropDownList", L"Flash device", 160, 20, 258);
  f.FlashBaseAddressLabel = Label(f, g, L"FlashBaseAddressLabel", L"Flash Base Address:", 12, 51);
  f.EditFlashBaseAddress =
      History(f, g, L"EditFlashBaseAddress", L"0x00000000", L"Base address of flash", 160, 48, 170);
  f.ButtonCfiQuery = Button(f, g, L"ButtonCfiQuery", L"Query...", L"Perform CFI query", 338, 46, 80);
  f.SPIBaseAddressLabel = Label(f, g, L"SPIBaseAddressLabel", L"SPI Base Address:", 12, 51);
  f.EditSPIBaseAddress = History(f, g, L"EditSPIBaseAddress", L"0x00000000", L"Base address of SPI", 160, 48, 170);
  f.SPIInstanceLabel = Label(f, g, L"SPIInstanceLabel", L"SPI Instance:", 12, 51);
  f.SPIInstanceDropDownList = List(f, g, L"SPIInstanceDropDownList", L"SPI instance name", 160, 48, 170);
  f.SPIClockFreqLabel = Label(f, g, L"SPIClockFreqLabel", L"SPI Clock Frequency :", 12, 79);
  f.EditSPIClockFreq = History(f, g, L"EditSPIClockFreq", L"0x00000000", L"SPI clock frequency", 160, 76, 170);
  f.comboSPIClockFreqUnits = List(f, g, L"comboSPIClockFreqUnits", L"SPI clock frequency", 338, 76, 80);
  f.ProcClockFreqLabel = Label(f, g, L"ProcClockFreqLabel", L"Processor Clock Frequency:", 12, 107);
  f.EditProcessorClockFreq =
      History(f, g, L"EditProcessorClockFreq", L"50000000", L"Processor clock frequency", 160, 104, 170);
  f.comboProcClockFreqUnits = List(f, g, L"comboProcClockFreqUnits", L"Processor clock frequency", 338, 104, 80);
  for (TControl* c : std::initializer_list<TControl*>{f.SPIBaseAddressLabel, f.EditSPIBaseAddress, f.SPIInstanceLabel,
                                                      f.SPIInstanceDropDownList, f.SPIClockFreqLabel, f.EditSPIClockFreq,
                                                      f.comboSPIClockFreqUnits, f.ProcClockFreqLabel,
                                                      f.EditProcessorClockFreq, f.comboProcClockFreqUnits})
    c->SetVisible(false);
  f.FlashSizeLabel = Label(f, g, L"FlashSizeLabel", L"Flash Size:", 12, 76);
  f.EditFlashSize = History(f, g, L"EditFlashSize", L"0", L"Size of flash", 160, 73, 170);
  f.comboFlashSizeUnits = List(f, g, L"comboFlashSizeUnits", L"Size of flash", 338, 73, 80);
  f.FlashWidthLabel = Label(f, g, L"FlashWidthLabel", L"Flash Width:", 12, 104);
  f.comboFlashWidths = List(f, g, L"comboFlashWidths", L"Width of flash", 160, 101, 80);

  // Write, erase, utility
  f.panelMAIN = PlaceControl<TXPExtPanel>(f, &f, L"panelMAIN", 0, 144, 443, 449);
  f.groupDownload = g = Group(f, f.panelMAIN, L"groupDownload", L"Write Flash", 2, 190);
  f.RadioDownloadCurrentProject =
      Check<TXPRadioButton>(f, g, L"RadioDownloadCurrentProject", L"Download current project",
                            L"Download the current project hex file(irom) to flash.", 12, 22, 200);
  f.radioDownloadFile = Check<TXPRadioButton>(f, g, L"radioDownloadFile", L"Download file", nullptr, 12, 44, 200);
  f.EditFilename = PlaceControl<TXPHistoryEdit>(f, g, L"EditFilename", 30, 64, 388, 21);
  f.EditFilename->SetShowButton2(true);
  f.TargetAddressLabel = Label(f, g, L"TargetAddressLabel", L"Target Memory Address", 12, 95);
  f.editTargetAddress =
      History(f, g, L"editTargetAddress", L"0x00000000", L"Target flash address", 160, 92, 170);
  f.CheckVerifyWrite = Check<TXPCheckBox>(f, g, L"CheckVerifyWrite", L"Verify Write",
                                          L"Verify written data to ensure integrity", 12, 122, 130);
  f.CheckAutoChecksum = Check<TXPCheckBox>(f, g, L"CheckAutoChecksum", L"Auto Checksum",
                                           L"Enable any available checksum algorithms ", 150, 122, 130);
  f.CheckAutoChecksum->SetChecked(true);
  f.CheckAutoChecksum->SetVisible(false);
  f.CheckResetDeviceAfterLoad = Check<TXPCheckBox>(f, g, L"CheckResetDeviceAfterLoad", L"Reset Device",
                                                   L"After download, restart the device", 150, 122, 130);
  f.CheckResetDeviceAfterLoad->SetChecked(true);
  f.CheckPreserveSectorData =
      Check<TXPCheckBox>(f, g, L"CheckPreserveSectorData", L"Preserve Lead/Trail Data",
                         L"Leading/Trailing data within sector boundries will be preserved", 12, 142, 200);
  f.ButtonDownloadToFlash = Button(f, g, L"ButtonDownloadToFlash", L"Download to Flash",
                                   L"Download current project or a selected file to flash", 110, 158, 150);
  f.ButtonVerify = Button(f, g, L"ButtonVerify", L"Verify against Flash",
                          L"Verify current project or a selected file against flash memory", 268, 158, 150);

  f.groupEraseRange = g = Group(f, f.panelMAIN, L"groupEraseRange", L"Erase Flash", 196, 170);
  f.EraseStartAddressLabel = Label(f, g, L"EraseStartAddressLabel", L"Start Address", 12, 20, 120);
  f.EraseEndAddressLabel = Label(f, g, L"EraseEndAddressLabel", L"End Address", 160, 20, 120);
  f.EditEraseStartAddress =
      History(f, g, L"EditEraseStartAddress", L"0x00000000", L"Address to range", 12, 38, 115);
  f.EraseArrowLabel = Label(f, g, L"EraseArrowLabel", L"-->", 134, 41, 22);
  f.EditEraseEndAddress = History(f, g, L"EditEraseEndAddress", L"0x00000000", L"Address to range", 160, 38, 115);
  f.ButtonEraseAddressRange = Button(f, g, L"ButtonEraseAddressRange", L"Erase Address Range",
                                     L"Erase the given address range", 288, 36, 130);
  f.CheckPreserveData =
      Check<TXPCheckBox>(f, g, L"CheckPreserveData", L"Preserve lead/trail data",
                         L"Preserve lead/trail data bytes when address range is not sector aligned", 12, 66, 250);
  PlaceSectorRow(f, g, 88, {f.StartSectorLabel, f.EndSectorLabel, f.EditStartSectorNumber, f.EditEndSectorNumber},
                 {L"StartSectorLabel", L"EndSectorLabel", L"EditStartSectorNumber", L"EditEndSectorNumber"});
  f.ButtonEraseSectorRange = Button(f, g, L"ButtonEraseSectorRange", L"Erase Sector Range",
                                    L"Erase the given sector range", 288, 104, 130);
  f.ButtonEraseEntireDevice = Button(f, g, L"ButtonEraseEntireDevice", L"&Erase Entire Device",
                                     L"Erase all standard flash memory associated with this device", 288, 136, 130);

  f.groupUtility = g = Group(f, f.panelMAIN, L"groupUtility", L"Utility", 370, 74);
  PlaceSectorRow(f, g, 20, {f.BlankStartLabel, f.BlankEndLabel, f.EditBlankCheckStart, f.EditBlankCheckEnd},
                 {L"BlankStartLabel", L"BlankEndLabel", L"EditBlankCheckStart", L"EditBlankCheckEnd"});
  f.ButtonBlankCheck = Button(f, g, L"ButtonBlankCheck", L"Blank Check", L"Check sector range if blank", 288, 36, 130);

  // Status
  f.panelStatus = PlaceControl<TXPExtPanel>(f, &f, L"panelStatus", 0, 596, 443, 40);
  f.panelStatus->SetGradientStyle(TGradientPanelStyle::gsTopToBottom);
  f.progressMainProgressBar = PlaceControl<TXPProgressBar>(f, f.panelStatus, L"progressMainProgressBar", 8, 11, 330, 18);
  f.progressMainProgressBar->SetMax(1000);
  f.progressMainProgressBar->SetPosition(0);
  f.progressMainProgressBar->SetVisible(false);
  for (TXPBitBtn** button : {&f.buttonClose, &f.buttonAbort}) {
    const bool close = button == &f.buttonClose;
    *button = PlaceControl<TXPBitBtn>(f, f.panelStatus, close ? L"buttonClose" : L"buttonAbort", 356, 8, 80, 25);
    (*button)->SetCaption(close ? L"Close" : L"Abort");
    (*button)->SetModalResult(close ? mrOk : mrNone);
    (*button)->SetDefault(true);
    (*button)->SetCancel(true);
    (*button)->SetVisible(close);
  }

  // Events
  f.FlashDeviceDropDownList->OnChange = On(f, &F::FlashDeviceChange);
  f.EditFlashBaseAddress->OnChange = On(f, &F::EditFlashBaseAddressChange);
  f.EditFlashSize->OnChange = On(f, &F::EditFlashBaseAddressChange);
  f.comboFlashWidths->OnChange = On(f, &F::comboFlashWidthsChange);
  for (TXPComboBox* units : {f.comboFlashSizeUnits, f.comboSPIClockFreqUnits, f.comboProcClockFreqUnits})
    units->OnChange = On(f, &F::comboFlashSizeUnitsChange);
  f.SPIInstanceDropDownList->OnChange = On(f, &F::SPIInstancesDropDownListChange);
  f.RadioDownloadCurrentProject->OnClick = On(f, &F::RadioDownloadCurrentProjectClick);
  f.radioDownloadFile->OnClick = On(f, &F::radioDownloadFileClick);
  f.EditFilename->OnButton2Click = On(f, &F::EditFilenameButton2Click);
  f.ButtonCfiQuery->OnClick = On(f, &F::ButtonCfiQueryClick);
  f.ButtonDownloadToFlash->OnClick = On(f, &F::ButtonDownloadToFlashClick);
  f.ButtonVerify->OnClick = On(f, &F::ButtonVerifyClick);
  f.ButtonEraseAddressRange->OnClick = On(f, &F::ButtonEraseAddressRangeClick);
  f.ButtonEraseSectorRange->OnClick = On(f, &F::ButtonEraseSectorRangeClick);
  f.EditStartSectorNumber->OnChange = On(f, &F::EditStartSectorNumberChange);
  f.ButtonEraseEntireDevice->OnClick = On(f, &F::ButtonEraseEntireDeviceClick);
  f.ButtonBlankCheck->OnClick = On(f, &F::ButtonBlankCheckClick);
  f.EditBlankCheckStart->OnChange = On(f, &F::EditBlankCheckStartChange);
  f.buttonAbort->OnClick = On(f, &F::buttonAbortClick);
}

void EnableTree(TWinControl& parent, bool enable) {
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* child = parent.Controls(i);
    child->SetEnabled(enable);
    if (auto* inner = dynamic_cast<TWinControl*>(child)) EnableTree(*inner, enable);
  }
}

}  // namespace

TVK_DESIGN(TFlashMemoryUtilityForm, BuildFlashMemoryUtilityForm);

// ---- The callback

HRESULT STDMETHODCALLTYPE TFlashUtilityCallback::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
  *out = static_cast<IDispatch*>(this);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TFlashUtilityCallback::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TFlashUtilityCallback::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                       VARIANT* result, EXCEPINFO*, UINT*) {
  if (id != 508715 && id != 508716) return E_NOTIMPL;
  try {
    if (id == 508715) {
      if (!params || params->cArgs != 1) return E_UNEXPECTED;
      VARIANT position;
      VariantInit(&position);
      VARIANT* arg = &params->rgvarg[0];
      if (FAILED(VariantChangeType(&position, arg->vt == (VT_BYREF | VT_VARIANT) ? arg->pvarVal : arg, 0, VT_I4)))
        return E_UNEXPECTED;
      FForm.SetProgress(position.lVal);
      return S_OK;
    }
    const bool abort = FForm.CheckAbort();
    if (result) {
      VariantClear(result);
      result->vt = VT_BOOL;
      result->boolVal = abort ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---- Construction

TFlashMemoryUtilityForm::TFlashMemoryUtilityForm(TComponent* owner) : TServerDialog(owner) {}

void TFlashMemoryUtilityForm::AfterDesign() {
  TServerDialog::AfterDesign();
  // Centred, with the size the layout gives.
}

std::unique_ptr<TFlashMemoryUtilityForm> TFlashMemoryUtilityForm::Create(const IFlashWriters& FlashWriters,
                                                                         const IDeviceLink& DeviceLink) {
  std::unique_ptr<TFlashMemoryUtilityForm> form(CreateComponent<TFlashMemoryUtilityForm>(nullptr));
  form->Construct(FlashWriters, DeviceLink);
  return form;
}

void TFlashMemoryUtilityForm::Construct(const IFlashWriters& FlashWriters, const IDeviceLink& DeviceLink) {
  FInitialized = false;
  FAbort = false;
  FDeviceLink = DeviceLink;
  FFlashWriters = FlashWriters;
  FillFlashDeviceList();
  FFlashUtility = FFlashWriters.GetSelectedFlashWriter();
  if (FFlashUtility) {
    const WideString title = FFlashUtility.GetDriverDeviceTitle();
    for (int i = 0; i < FlashDeviceDropDownList->Items().Count(); ++i)
      if (FlashDeviceDropDownList->Items().Get(i) == title) {
        FUpdating = true;  // the selection is not a user's change
        FlashDeviceDropDownList->SetItemIndex(i);
        FUpdating = false;
        break;
      }
  }
  FCurrentState = eControlState_Idle;
  SetDownloadMode(eDownloadMode_Project);
  FillUnitLists();
  UpdateFlashInformation();
  for (TXPHistoryEdit* edit : {EditStartSectorNumber, EditEndSectorNumber, EditBlankCheckStart, EditBlankCheckEnd})
    edit->SetText(L"0");
  try {
    SetCallbackOnWriters(&FCallback);
    if (IDeviceManager manager = GetHostDeviceManager()) {
      if (ITovikDriver driver = FindDeviceLinkDriver(FDeviceLink, manager))
        ShowAdvancedPanel(driver.Supports(L"PROC") ? FFlashWriters.GetFlashWriterCount() >= 2 : true);
    }
  } catch (...) {
    // The seam promises no form: the writers must not keep calling it.
    try {
      SetCallbackOnWriters(nullptr);
    } catch (...) {
    }
    throw;
  }
  FInitialized = true;
}

TFlashMemoryUtilityForm::~TFlashMemoryUtilityForm() {
  // The controls go with the base dialog, after this level: their last
  // changes and clicks must not reach it.
  FInitialized = false;
  for (int i = 0; i < ComponentCount(); ++i) {
    if (auto* edit = dynamic_cast<TCustomXPEdit*>(Components(i))) edit->OnChange = nullptr;
    if (auto* combo = dynamic_cast<TXPCustomComboBox*>(Components(i))) combo->OnButton2Click = nullptr;
    if (auto* control = dynamic_cast<TControl*>(Components(i))) control->OnClick = nullptr;
  }
  try {
    SetCallbackOnWriters(nullptr);
  } catch (...) {
    // A writer that cannot be told keeps nothing of ours it may call: the
    // callback is not counted and goes with the dialog.
  }
  ClearUnitLists();
}

void TFlashMemoryUtilityForm::SetCallbackOnWriters(IDispatch* Callback) {
  if (!FFlashWriters) return;
  const int32_t count = FFlashWriters.GetFlashWriterCount();
  for (int32_t i = 0; i < count; ++i)
    if (IFlashWriter writer = FFlashWriters.GetFlashWriter(i))
      writer.SetFlashWriterCallback(IFlashWriterCallback(Callback));
}

ComRef<IFlashWriterFace> TFlashMemoryUtilityForm::Face(const IFlashWriter& Writer) const {
  ComRef<IFlashWriterFace> face;
  if (IDispatch* dispatch = Writer.ToPointer())
    if (FAILED(dispatch->QueryInterface(IID_IFlashWriterFace, reinterpret_cast<void**>(face.Receive()))))
      face.Reset();
  return face;
}

TFlashWriterKind TFlashMemoryUtilityForm::Kind() const {
  ComRef<IFlashWriterFace> face = Face(FFlashUtility);
  return face ? face->WriterKind() : TFlashWriterKind::fwkOther;
}

void TFlashMemoryUtilityForm::FillFlashDeviceList() {
  TStrings& items = FlashDeviceDropDownList->Items();
  items.Clear();
  FEntryWriters.clear();
  const int32_t count = FFlashWriters.GetFlashWriterCount();
  for (int32_t i = 0; i < count; ++i) {
    IFlashWriter writer = FFlashWriters.GetFlashWriter(i);
    if (!writer) continue;
    // The list's entries own their objects, so the writers of the entries are kept beside them.
    auto add = [&](const WideString& name) {
      items.Add(name);
      FEntryWriters.push_back(writer);
    };
    ComRef<IFlashWriterFace> face = Face(writer);
    if (face && face->WriterKind() == TFlashWriterKind::fwkSerial) {
      bool designFile = false, spiClock = false;
      if (face->GetSPIData(FDeviceLink, designFile, spiClock) || !designFile)
        if (IStrings names = writer.GetSupportedDevicesList()) {
          const int32_t n = names.GetCount();
          for (int32_t k = 0; k < n; ++k) add(names.Get(k));
        }
      continue;
    }
    add(writer.GetDriverDeviceTitle());
  }
  if (items.Count() == 1) FFlashWriters.SelectFlashWriter(FFlashWriters.GetFlashWriter(0));
}

void TFlashMemoryUtilityForm::FillUnitLists() {
  auto fill = [this](TXPComboBox& list, const auto& rows) {
    // The entry owns its converter.
    for (const TUnitRow& row : rows) list.Items().AddObject(row.Caption, row.Make().release());
    list.SetItemIndex(0);
  };
  FUpdating = true;
  fill(*comboFlashSizeUnits, kSizeUnits);
  fill(*comboSPIClockFreqUnits, kFrequencyUnits);
  fill(*comboProcClockFreqUnits, kFrequencyUnits);
  FUpdating = false;
}

void TFlashMemoryUtilityForm::ClearUnitLists() {
  for (TXPComboBox* list : {comboFlashSizeUnits, comboSPIClockFreqUnits, comboProcClockFreqUnits})
    if (list) list->Items().Clear();
}

// ---- Layout and settings

void TFlashMemoryUtilityForm::ShowAdvancedPanel(bool Visible) {
  panelADVANCED->SetVisible(Visible);
  panelMAIN->SetTop(Visible ? panelADVANCED->Top() + panelADVANCED->Height() : 0);
  panelStatus->SetTop(panelMAIN->Top() + panelMAIN->Height() + 3);
  SetHeight(panelMAIN->Height() + (Visible ? panelADVANCED->Height() : 0) + panelStatus->Height() + 40);
}

void TFlashMemoryUtilityForm::SetDownloadMode(TDownloadMode Mode) {
  FCurrentDownloadMode = Mode;
  const bool file = Mode == eDownloadMode_File;
  RadioDownloadCurrentProject->SetChecked(!file);
  radioDownloadFile->SetChecked(file);
  EditFilename->SetEnabled(file);
  editTargetAddress->SetEnabled(file);
  editTargetAddress->SetText(EditFlashBaseAddress->Text());
  CheckAutoChecksum->SetChecked(!file);
}

void TFlashMemoryUtilityForm::UpdateFlashInformation() {
  FUpdating = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FUpdating};

  int64_t base = -1, size = -1;
  WideString spiBase = FormatHex0x(0xFF000000u, 8);
  int64_t spiClock = 2500000, processorClock = 50000000;
  bool baseRow = false, spiFixed = false, designSPIClock = false, designFile = false;
  std::vector<WideString> controllers;

  panelADVANCED->SetHeight(141);
  XPGroupBox1->SetHeight(134);
  panelMAIN->SetTop(panelADVANCED->Top() + panelADVANCED->Height() + 3);
  panelStatus->SetTop(panelMAIN->Top() + panelMAIN->Height() + 3);
  SetHeight(670);

  ComRef<IFlashWriterFace> face = Face(FFlashUtility);
  const TFlashWriterKind kind = face ? face->WriterKind() : TFlashWriterKind::fwkOther;
  int sizeRow = 76;
  if (kind == TFlashWriterKind::fwkSerial) {
    bool spiClockFound = false;
    if (face->GetSPIData(FDeviceLink, designFile, spiClockFound)) {
      const TSPIData& selected = face->SelectedSPI();
      int64_t value = 0;
      spiBase = TryParseSizeValue(selected.FSPIBaseAddress, value) ? FormatHex0x(value, 8) : spiBase;
      if (TryParseSizeValue(selected.FSPIClockFreq, value)) spiClock = value;
      if (TryParseSizeValue(selected.FProcessorClockFreq, value)) processorClock = value;
      spiFixed = true;
      designSPIClock = spiClockFound;
      for (const auto& controller : face->SPIList()) controllers.push_back(controller.first);
    }
    for (TControl* c : std::initializer_list<TControl*>{panelADVANCED, XPGroupBox1})
      c->SetHeight(c->Height() + 56);
    panelMAIN->SetTop(panelMAIN->Top() + 56);
    panelStatus->SetTop(panelStatus->Top() + 56);
    SetHeight(Height() + 56);
    sizeRow = 132;
  } else {
    if (kind == TFlashWriterKind::fwkParallel || kind == TFlashWriterKind::fwkCFI) {
      if (face->GetFlashData(FDeviceLink ? FDeviceLink.GetProject() : IProject())) {
        base = face->BaseAddress();
        size = face->Size();
      }
    }
    baseRow = true;
  }

  if (base >= 0 && size >= 0) {
    FTargetAddressSave = FormatHex0x(base, 8);
    EditFlashSize->SetText(IntToStr(size));
  } else if (FFlashUtility && FFlashUtility.GetFlashMemorySpaceCount() > 0) {
    int32_t space = 0, width = 0;
    uint32_t start = 0, end = 0;
    FFlashUtility.GetFlashMemorySpace(0, space, start, end, width);
    FTargetAddressSave = FormatHex0x(start, 8);
    EditFlashSize->SetText(IntToStr(int64_t(end) - int64_t(start)));
  } else {
    FTargetAddressSave = L"0x00000000";
  }

  FlashSizeLabel->SetTop(sizeRow);
  EditFlashSize->SetTop(sizeRow - 3);
  comboFlashSizeUnits->SetTop(sizeRow - 3);
  FlashWidthLabel->SetTop(sizeRow + 28);
  comboFlashWidths->SetTop(sizeRow + 25);
  FlashBaseAddressLabel->SetVisible(baseRow);
  EditFlashBaseAddress->SetVisible(baseRow);
  ButtonCfiQuery->SetVisible(baseRow && kind == TFlashWriterKind::fwkCFI);

  const bool serial = kind == TFlashWriterKind::fwkSerial;
  const bool hasList = !controllers.empty();
  SPIBaseAddressLabel->SetVisible(serial && !hasList);
  EditSPIBaseAddress->SetVisible(serial && !hasList);
  SPIInstanceLabel->SetVisible(serial && hasList);
  SPIInstanceDropDownList->SetVisible(serial && hasList);
  SPIInstanceDropDownList->Items().Clear();
  for (const WideString& name : controllers) SPIInstanceDropDownList->Items().Add(name);
  EditSPIBaseAddress->SetEnabled(!spiFixed && !hasList);
  EditSPIBaseAddress->SetText(spiBase);
  for (TControl* c : std::initializer_list<TControl*>{SPIClockFreqLabel, EditSPIClockFreq, comboSPIClockFreqUnits,
                                                      ProcClockFreqLabel, EditProcessorClockFreq,
                                                      comboProcClockFreqUnits})
    c->SetVisible(serial);
  EditSPIClockFreq->SetEnabled(!designSPIClock);
  comboSPIClockFreqUnits->SetEnabled(!designSPIClock);
  EditSPIClockFreq->SetText(IntToStr(spiClock));
  EditProcessorClockFreq->SetEnabled(!designFile);
  comboProcClockFreqUnits->SetEnabled(!designFile);
  EditProcessorClockFreq->SetText(IntToStr(processorClock));
  comboSPIClockFreqUnits->SetItemIndex(0);
  comboProcClockFreqUnits->SetItemIndex(0);

  for (TXPHistoryEdit* edit : {EditEraseStartAddress, EditEraseEndAddress, editTargetAddress, EditFlashBaseAddress})
    edit->SetText(FTargetAddressSave);

  comboFlashWidths->Items().Clear();
  int32_t defaultWidth = 0;
  if (FFlashUtility) {
    for (int width : {8, 16, 32})
      if (FFlashUtility.IsFlashWidthSupported(width)) comboFlashWidths->Items().Add(IntToStr(width));
    defaultWidth = FFlashUtility.GetDefaultFlashWidth();
    comboFlashWidths->SetItemIndex(comboFlashWidths->Items().IndexOf(IntToStr(defaultWidth)));
  }
  if (base >= 0 && size >= 0) ConfigureFlashMemorySpace(base, size, defaultWidth);

  for (TControl* c : std::initializer_list<TControl*>{EditFlashSize, comboFlashSizeUnits, comboFlashWidths})
    c->SetEnabled(!serial);
  if (kind == TFlashWriterKind::fwkCFI) EnableFlashControls(face->QueryOk());
}

void TFlashMemoryUtilityForm::ApplyFlashSettings() {
  if (!FFlashUtility || !FInitialized || FUpdating) return;
  int64_t base = 0, size = 0, width = 0;
  if (!TryParseSizeValue(EditFlashBaseAddress->Text(), base)) {
    ShowErrorMessage(L"Please enter a valid base Flash address!");
    return;
  }
  if (!TryParseSizeValue(EditFlashSize->Text(), size)) {
    ShowErrorMessage(L"Please enter a valid Flash size!");
    return;
  }
  if (!TryParseSizeValue(comboFlashWidths->Text(), width)) {
    ShowErrorMessage(L"Please enter a valid base Flash width!");
    return;
  }
  if (const TUnitConvertor* unit = SelectedConvertor(*comboFlashSizeUnits)) size = unit->Convert(size);
  for (TXPHistoryEdit* edit : {EditEraseStartAddress, EditEraseEndAddress, editTargetAddress})
    edit->SetText(EditFlashBaseAddress->Text());
  ConfigureFlashMemorySpace(base, size, width);
  if (Kind() == TFlashWriterKind::fwkCFI) {
    ComRef<IFlashWriterFace> face = Face(FFlashUtility);
    EnableFlashControls(face->QueryOk() && face->BaseAddress() == base);
  }
}

void TFlashMemoryUtilityForm::ConfigureFlashMemorySpace(int64_t Base, int64_t Size, int64_t Width) {
  if (!FFlashUtility) return;
  FFlashUtility.ClearFlashMemorySpaces();
  FFlashUtility.AddFlashMemorySpace(0, uint32_t(Base), uint32_t(Base + Size), int32_t(uint32_t(Width)));
}

void TFlashMemoryUtilityForm::EnableFlashControls(bool Enable) {
  for (TXPGroupBox* group : {groupDownload, groupEraseRange, groupUtility}) EnableTree(*group, Enable);
  for (TControl* c : std::initializer_list<TControl*>{FlashSizeLabel, EditFlashSize, comboFlashSizeUnits,
                                                      FlashWidthLabel, comboFlashWidths})
    c->SetEnabled(Enable);
}

void TFlashMemoryUtilityForm::SetControllerState(TControllerState State, bool Force) {
  if (Force || State != FCurrentState) {
    const bool idle = State == eControlState_Idle;
    for (TXPGroupBox* group : {groupDownload, groupEraseRange, groupUtility}) EnableTree(*group, idle);
    // Abort takes Close's place: Close's window would stay above it, and
    // Enter and Escape are Abort's meanwhile.
    buttonClose->SetEnabled(idle);
    buttonClose->SetVisible(idle);
    buttonAbort->SetVisible(!idle);
    FCurrentState = State;
  }
  Application().ProcessMessages();
}

void TFlashMemoryUtilityForm::SetProgress(int Position) {
  progressMainProgressBar->SetPosition(Position);
  progressMainProgressBar->Update();
}

bool TFlashMemoryUtilityForm::ValidateSPISettings() {
  int64_t spiBase = 0, spiClock = 0, processorClock = 0;
  if (!TryParseSizeValue(EditSPIBaseAddress->Text(), spiBase)) {
    ShowErrorMessage(L"Please enter a valid base SPI address!");
    return false;
  }
  if (!TryParseSizeValue(EditSPIClockFreq->Text(), spiClock)) {
    ShowErrorMessage(L"Please enter a valid SPI clock frequency!");
    return false;
  }
  if (!TryParseSizeValue(EditProcessorClockFreq->Text(), processorClock)) {
    ShowErrorMessage(L"Please enter a valid system clock frequency!");
    return false;
  }
  ComRef<IFlashWriterFace> face = Face(FFlashUtility);
  if (face && face->WriterKind() == TFlashWriterKind::fwkSerial) {
    if (const TUnitConvertor* unit = SelectedConvertor(*comboSPIClockFreqUnits)) spiClock = unit->Convert(spiClock);
    if (const TUnitConvertor* unit = SelectedConvertor(*comboProcClockFreqUnits))
      processorClock = unit->Convert(processorClock);
    TSPIData data;
    data.FSPIBaseAddress = EditSPIBaseAddress->Text();
    data.FSPIClockFreq = IntToStr(spiClock);
    data.FProcessorClockFreq = IntToStr(processorClock);
    face->SetSelectedSPIData(data);
  }
  return true;
}

void TFlashMemoryUtilityForm::FindProjectProgramFile(WideString& FileName) {
  FileName.clear();
  IProject project = FDeviceLink ? FDeviceLink.GetProject() : IProject();
  if (!project) return;
  std::vector<WideString> files;
  if (IEmbeddedMemoryManager manager = GetEmbeddedMemoryManager())
    if (IEmbeddedMemories memories = manager.GetMemories(3)) {
      memories.LoadFromProject(project, true);
      const int32_t count = memories.GetCount();
      for (int32_t i = 0; i < count; ++i)
        if (IEmbeddedMemory memory = memories.GetMemory(i)) {
          WideString file = memory.GetDataFileName(project);
          if (FileExists(file)) files.push_back(file);
        }
    }
  if (files.size() == 1) {
    FileName = files.front();
    return;
  }
  WideString chosen = project.GetOutputFileName(L"");
  if (ChooseFileForDownload(chosen)) FileName = chosen;
}

bool TFlashMemoryUtilityForm::ChooseFileForDownload(WideString& FileName) {
  TOpenDialog dialog;
  dialog.SetFilter(WideString(L"Intel Hex Files (*.hex)|*.hex") + L"|" + L"All files (*.*)|*.*");
  dialog.SetFilterIndex(1);
  dialog.SetTitle(L"Choose File For Download");
  dialog.SetInitialDir(FileName);
  if (!dialog.Execute()) return false;
  FileName = dialog.FileName();
  return true;
}

// ---- Handlers of the settings

void TFlashMemoryUtilityForm::FlashDeviceChange(TObject*) {
  if (FUpdating || !FInitialized) return;
  const int index = FlashDeviceDropDownList->ItemIndex();
  if (index < 0 || std::size_t(index) >= FEntryWriters.size()) return;
  const IFlashWriter writer = FEntryWriters[std::size_t(index)];
  FFlashWriters.SelectFlashWriter(writer);
  if (ComRef<IFlashWriterFace> face = Face(writer); face && face->WriterKind() == TFlashWriterKind::fwkSerial)
    face->SetSelectedDevice(FlashDeviceDropDownList->Items().Get(index));
  FFlashUtility = FFlashWriters.GetSelectedFlashWriter();
  UpdateFlashInformation();
}

void TFlashMemoryUtilityForm::EditFlashBaseAddressChange(TObject*) { ApplyFlashSettings(); }

void TFlashMemoryUtilityForm::comboFlashWidthsChange(TObject*) { ApplyFlashSettings(); }

void TFlashMemoryUtilityForm::comboFlashSizeUnitsChange(TObject*) { ApplyFlashSettings(); }

void TFlashMemoryUtilityForm::SPIInstancesDropDownListChange(TObject*) {
  if (FUpdating) return;
  if (ComRef<IFlashWriterFace> face = Face(FFlashUtility); face && face->WriterKind() == TFlashWriterKind::fwkSerial)
    face->SetSelectedSPI(SPIInstanceDropDownList->Text());
}

void TFlashMemoryUtilityForm::RadioDownloadCurrentProjectClick(TObject*) {
  if (FInitialized && FCurrentDownloadMode != eDownloadMode_Project && RadioDownloadCurrentProject->Checked())
    SetDownloadMode(eDownloadMode_Project);
}

void TFlashMemoryUtilityForm::radioDownloadFileClick(TObject*) {
  if (FInitialized && FCurrentDownloadMode != eDownloadMode_File && radioDownloadFile->Checked()) SetDownloadMode(eDownloadMode_File);
}

void TFlashMemoryUtilityForm::EditFilenameButton2Click(TObject*) {
  WideString name = EditFilename->Text();
  if (!FileExists(name))
    if (IProject project = FDeviceLink ? FDeviceLink.GetProject() : IProject()) name = project.GetOutputFileName(L"");
  if (ChooseFileForDownload(name)) EditFilename->SetText(name);
}

void TFlashMemoryUtilityForm::ButtonCfiQueryClick(TObject*) {
  if (FCurrentState == eControlState_Working || !FFlashUtility) return;
  ComRef<IFlashWriterFace> face = Face(FFlashUtility);
  if (!face || face->WriterKind() != TFlashWriterKind::fwkCFI) return;
  int64_t address = 0;
  if (!TryParseSizeValue(EditFlashBaseAddress->Text(), address)) {
    ShowErrorMessage(L"Please enter a valid memory address!");
    return;
  }
  {
    // An error of the writer or of the report leaves through here with the
    // transaction ended and nothing refreshed.
    TFlashUtilityTransaction transaction(*this);
    TRemoteCommandResult result;
    if (face->QueryFlash(result)) {
      // Owned by the dialog: each query shows a report of its own.
      TCfiFlashQueryForm::Create(this, result)->ShowModal();
      ConfigureFlashMemorySpace(face->BaseAddress(), face->Size(), FFlashUtility.GetDefaultFlashWidth());
    } else {
      ShowErrorMessage(L"No CFI flash detected at address " + FormatHex0x(address, 8) + L" !");
    }
  }
  UpdateFlashInformation();
}

// ---- Jobs

TFlashUtilityTransaction::TFlashUtilityTransaction(TFlashMemoryUtilityForm& Form) : FFlashUtilityForm(Form) {
  Form.FAbort = false;
  Form.SetControllerState(eControlState_Working, false);
  try {
    Form.FFlashUtility.InstallDriver();
  } catch (...) {
    Form.SetControllerState(eControlState_Idle, false);
    throw;
  }
  Form.SetProgress(0);
  Form.progressMainProgressBar->SetVisible(true);
}

TFlashUtilityTransaction::~TFlashUtilityTransaction() {
  TFlashMemoryUtilityForm& form = FFlashUtilityForm;
  form.FAbort = false;
  try {
    form.SetControllerState(eControlState_Idle, false);
    form.FFlashUtility.UninstallDriver();
  } catch (...) {
    // An error is already on its way, or the removal failed: the user hears of it.
    Application().HandleException(&form);
  }
  form.SetProgress(0);
  form.progressMainProgressBar->SetVisible(false);
}

bool TFlashMemoryUtilityForm::CheckAbort() {
  Application().ProcessMessages();
  if (KeyState(VK_ESCAPE) < 0) FAbort = true;
  return FAbort;
}

void TFlashMemoryUtilityForm::buttonAbortClick(TObject*) { FAbort = true; }

int TFlashMemoryUtilityForm::RunDownloadOrVerify(bool Verify) {
  if (FCurrentState == eControlState_Working || !FFlashUtility) return 0;
  if (!ValidateSPISettings()) return 0;
  int64_t address = 0;
  if (!TryParseSizeValue(editTargetAddress->Text(), address)) {
    ShowErrorMessage(L"Please enter a valid memory address!");
    return 0;
  }
  if (!FFlashUtility.IsAddressInFlashMemorySpace(0, uint32_t(address))) {
    ShowErrorMessage(L"Target address is not within a valid flash memory space!");
    return 0;
  }
  WideString fileName(TrimBlanks(EditFilename->Text()));
  TLoadFileCallBackHelper loader(&LoadProgramFile);
  if (FCurrentDownloadMode == eDownloadMode_Project) {
    FindProjectProgramFile(fileName);
    if (fileName.empty()) return 0;
    if (!loader.ProcessFile(fileName)) {
      ShowErrorMessage(L"No valid rom file was found!");
      return 0;
    }
  } else {
    if (fileName.empty()) FindProjectProgramFile(fileName);
    if (!FileExists(fileName)) {
      ShowErrorMessage(L"Please enter a valid file path!");
      return 0;
    }
    if (!loader.ProcessFile(fileName)) return 0;  // the loader has told the user
  }
  TDataChunkImage image;
  image.TargetAddr = uint32_t(address);
  image.DataArray = loader.GetBuffer();
  image.DataLen = uint32_t(image.DataArray.Length());
  ComRef<TDataChunkImageInterface> served(New<TDataChunkImageInterface>(image));
  const IDataChunkImageInterface imageRecord(static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(served.Get())));

  int result = 0;
  TFlashUtilityTransaction transaction(*this);
  if (Verify) {
    const int32_t differences = FFlashUtility.CompareImage(0, imageRecord, uint32_t(address), image.DataLen,
                                                           CheckAutoChecksum->Checked());
    WideString text = L"Compared Bytes: " + IntToStr(image.DataLen) + L"\r\n";
    text += differences == 0 ? WideString(L"File and Flash are identical")
                             : L"There are (" + IntToStr(differences) + L") differences.";
    ShowInformationMessage(text, L"Compare File to Flash");
  } else {
    result = FFlashUtility.ProgramImage(0, imageRecord, CheckAutoChecksum->Checked(),
                                        CheckPreserveSectorData->Checked(), CheckResetDeviceAfterLoad->Checked(),
                                        CheckVerifyWrite->Checked());
  }
  return result;
}

void TFlashMemoryUtilityForm::ButtonDownloadToFlashClick(TObject*) {
  const int status = RunDownloadOrVerify(false);
  if (status != 0) ShowErrorMessage(L"Download failed (status " + IntToStr(status) + L")!");
}

void TFlashMemoryUtilityForm::ButtonVerifyClick(TObject*) { RunDownloadOrVerify(true); }

void TFlashMemoryUtilityForm::ButtonEraseAddressRangeClick(TObject*) {
  if (FCurrentState == eControlState_Working || !FFlashUtility) return;
  if (!ValidateSPISettings()) return;
  int64_t start = 0, end = 0;
  if (!TryParseSizeValue(EditEraseStartAddress->Text(), start) ||
      !TryParseSizeValue(EditEraseEndAddress->Text(), end)) {
    ShowErrorMessage(L"Please enter a valid memory address!");
    return;
  }
  if (!FFlashUtility.IsAddressInFlashMemorySpace(0, uint32_t(start))) {
    ShowErrorMessage(L"Start address is not within a valid flash memory space!");
    return;
  }
  if (!FFlashUtility.IsAddressInFlashMemorySpace(0, uint32_t(end))) {
    ShowErrorMessage(L"End address is not within a valid flash memory space!");
    return;
  }
  if (end < start) {
    ShowErrorMessage(L"Start address must be less then or equal to END address!");
    return;
  }
  if (!ConfirmOkCancel(L"Confirm erase address range:" + EditEraseStartAddress->Text() + L" -> " +
                       EditEraseEndAddress->Text() + L" ?"))
    return;
  TFlashUtilityTransaction transaction(*this);
  if (CheckPreserveData->Checked()) {
    // The bytes around the range are written back: 0xFF over the range alone.
    TDataChunkImage image;
    image.TargetAddr = uint32_t(start);
    image.DataLen = uint32_t(end - start + 1);
    image.DataArray.SetLength(image.DataLen);
    std::fill(image.DataArray.Cells().begin(), image.DataArray.Cells().end(), 0xFFu);
    ComRef<TDataChunkImageInterface> served(New<TDataChunkImageInterface>(image));
    FFlashUtility.ProgramImage(
        0, IDataChunkImageInterface(static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(served.Get()))),
        false, true, false, true);
    return;
  }
  const int32_t first = FFlashUtility.GetFlashSectorFromAddress(0, uint32_t(start));
  const int32_t last = FFlashUtility.GetFlashSectorFromAddress(0, uint32_t(end));
  const int32_t count = last - first + 1;
  if (count == 0) return;
  const int step = 1000 / count;
  SetProgress(0);
  for (int32_t sector = first; sector <= last; ++sector) {
    FFlashUtility.EraseSectorRange(0, sector, sector);
    StepProgress(step);
  }
}

bool TFlashMemoryUtilityForm::ReadSector(TXPHistoryEdit& Edit, const wchar_t* Message, int32_t& Sector) {
  // A negative number would reach the writer as a huge unsigned sector.
  if (TryParseInt(Edit.Text(), Sector) && Sector >= 0) return true;
  ShowErrorMessage(Message);
  return false;
}

void TFlashMemoryUtilityForm::ButtonEraseSectorRangeClick(TObject*) {
  if (FCurrentState == eControlState_Working || !FFlashUtility) return;
  if (!ValidateSPISettings()) return;
  int32_t start = 0, end = 0;
  if (!ReadSector(*EditStartSectorNumber, L"Please enter a valid start sector number!", start)) return;
  if (!ReadSector(*EditEndSectorNumber, L"Please enter a valid end sector number!", end)) return;
  if (end < start) {
    EditEndSectorNumber->SetText(EditStartSectorNumber->Text());
    end = start;
  }
  if (!ConfirmOkCancel(L"Confirm erase sectors:  " + EditStartSectorNumber->Text() + L"  ->  " +
                       EditEndSectorNumber->Text() + L"?"))
    return;
  TFlashUtilityTransaction transaction(*this);
  const int step = 1000 / (end - start + 1);
  SetProgress(0);
  for (int32_t sector = start; sector <= end; ++sector) {
    FFlashUtility.EraseSectorRange(0, sector, sector);
    StepProgress(step);
  }
}

void TFlashMemoryUtilityForm::SectorEditChange(TXPHistoryEdit& StartEdit, TXPHistoryEdit& EndEdit) {
  int32_t start = 0, end = 0;
  if (!ReadSector(StartEdit, L"Please enter a valid start sector number!", start)) return;
  if (!TryParseInt(EndEdit.Text(), end)) end = 0;
  if (end < start) EndEdit.SetText(StartEdit.Text());
}

void TFlashMemoryUtilityForm::EditStartSectorNumberChange(TObject*) {
  if (!FInitialized) return;
  SectorEditChange(*EditStartSectorNumber, *EditEndSectorNumber);
}

void TFlashMemoryUtilityForm::EditBlankCheckStartChange(TObject*) {
  if (!FInitialized || !ValidateSPISettings()) return;
  SectorEditChange(*EditBlankCheckStart, *EditBlankCheckEnd);
}

void TFlashMemoryUtilityForm::ButtonEraseEntireDeviceClick(TObject*) {
  if (FCurrentState == eControlState_Working || !FFlashUtility) return;
  if (!ConfirmOkCancel(L"Erase entire device ?")) return;
  if (!ValidateSPISettings()) return;
  TFlashUtilityTransaction transaction(*this);
  const int32_t count = FFlashUtility.GetFlashMemorySpaceCount();
  for (int32_t i = 0; i < count; ++i) {
    int32_t space = 0, width = 0;
    uint32_t start = 0, end = 0;
    FFlashUtility.GetFlashMemorySpace(i, space, start, end, width);
    if (FFlashUtility.SupportsAction(58)) {
      FFlashUtility.EraseDevice(space);
      continue;
    }
    const int32_t sectors = FFlashUtility.GetFlashSectorFromAddress(space, end);
    if (sectors == 0) return;
    const int step = 1000 / sectors;
    SetProgress(0);
    for (int32_t sector = 0; sector < sectors; ++sector) {
      FFlashUtility.EraseSectorRange(space, sector, sector);
      StepProgress(step);
    }
  }
}

void TFlashMemoryUtilityForm::ButtonBlankCheckClick(TObject*) {
  if (FCurrentState == eControlState_Working || !FFlashUtility) return;
  if (!ValidateSPISettings()) return;
  TFlashUtilityTransaction transaction(*this);
  int32_t start = 0, end = 0;
  if (!ReadSector(*EditBlankCheckStart, L"Please enter a valid start sector number!", start)) return;
  int32_t space = 0, width = 0;
  uint32_t spaceStart = 0, spaceEnd = 0;
  FFlashUtility.GetFlashMemorySpace(0, space, spaceStart, spaceEnd, width);
  if (FFlashUtility.GetFlashAddressFromSector(0, start) > spaceEnd &&
      !ConfirmOkCancel(L"Entered start sector number exceeds total sectors reported for this device!\r\nContinue anyway?"))
    return;
  if (!ReadSector(*EditBlankCheckEnd, L"Please enter a valid END sector number!", end)) return;
  if (FFlashUtility.GetFlashAddressFromSector(0, end) > spaceEnd &&
      !ConfirmOkCancel(L"Entered end sector number exceeds total sectors reported for this device!\r\nContinue anyway?"))
    return;
  if (end < start) {
    EditBlankCheckEnd->SetText(EditBlankCheckStart->Text());
    end = start;
  }
  const int step = 1000 / (end - start + 1);
  int notBlank = 0;
  for (int32_t sector = start; sector <= end; ++sector) {
    if (FFlashUtility.BlankCheckSectors(0, sector, sector) != 0) {
      ++notBlank;
      if (!ConfirmOkCancel(L"Sector [" + IntToStr(sector) + L"] not blank!\r\nContinue checking ?")) return;
    }
    StepProgress(step);
  }
  if (notBlank == 0) ShowInformationMessage(L"All valid sectors within the selected range are blank.");
}

}  // namespace tvk
