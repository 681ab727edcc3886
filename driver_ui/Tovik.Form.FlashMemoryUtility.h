#pragma once
// The modal flash memory utility dialog: download, verify, erase and blank
// check through the driver's flash writers, which it reaches only through
// their dispatch records. It serves the writers' progress and abort callback
// itself.
#include "StdCtrls.h"
#include "Tovik.DriverUI.h"
#include "Tovik.FlashWriterFace.h"
#include "WinXPButtons.h"
#include "XPExtEdits.h"
#include "XPGroups.h"
#include "XPPanels.h"
#include "XPProgress.h"
#include "ZUL.Classes.h"

#include <memory>
#include <vector>

namespace tvk {

// A unit of a size or frequency list: its value in bytes or Hz.
class TUnitConvertor : public TObject {
public:
  TVK_CLASS(TUnitConvertor, TObject)
  // 0 for 0 or less.
  int64_t Convert(int64_t Value) const { return Value <= 0 ? 0 : InternalConvert(Value); }

protected:
  virtual int64_t InternalConvert(int64_t Value) const = 0;
};

enum TControllerState { eControlState_Idle = 0, eControlState_Working = 1 };
enum TDownloadMode { eDownloadMode_Project = 0, eDownloadMode_File = 1 };

class TFlashMemoryUtilityForm;

// The writers' callback: the dialog's own automation interface, not counted.
class TFlashUtilityCallback final : public TUncountedDispatch {
public:
  explicit TFlashUtilityCallback(TFlashMemoryUtilityForm& form) : FForm(form) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override;

private:
  TFlashMemoryUtilityForm& FForm;
};

class TFlashMemoryUtilityForm : public TServerDialog, public TDriverDialog {
  friend class TFlashUtilityTransaction;
  friend class TFlashUtilityCallback;

public:
  TVK_CLASS(TFlashMemoryUtilityForm, TServerDialog)
  explicit TFlashMemoryUtilityForm(TComponent* owner);
  ~TFlashMemoryUtilityForm() override;

  // Create(FlashWriters, DeviceLink): the dialog set up for the writers.
  static std::unique_ptr<TFlashMemoryUtilityForm> Create(const IFlashWriters& FlashWriters,
                                                         const IDeviceLink& DeviceLink);
  int ShowModal() override { return TServerDialog::ShowModal(); }

  // ---- Components
  TXPExtPanel* panelADVANCED = nullptr;
  TXPGroupBox* XPGroupBox1 = nullptr;
  TLabel* FlashDeviceLabel = nullptr;
  TXPComboBox* FlashDeviceDropDownList = nullptr;
  TLabel* FlashBaseAddressLabel = nullptr;
  TXPHistoryEdit* EditFlashBaseAddress = nullptr;
  TButton* ButtonCfiQuery = nullptr;
  TLabel* SPIBaseAddressLabel = nullptr;
  TXPHistoryEdit* EditSPIBaseAddress = nullptr;
  TLabel* SPIInstanceLabel = nullptr;
  TXPComboBox* SPIInstanceDropDownList = nullptr;
  TLabel* SPIClockFreqLabel = nullptr;
  TXPHistoryEdit* EditSPIClockFreq = nullptr;
  TXPComboBox* comboSPIClockFreqUnits = nullptr;
  TLabel* ProcClockFreqLabel = nullptr;
  TXPHistoryEdit* EditProcessorClockFreq = nullptr;
  TXPComboBox* comboProcClockFreqUnits = nullptr;
  TLabel* FlashSizeLabel = nullptr;
  TXPHistoryEdit* EditFlashSize = nullptr;
  TXPComboBox* comboFlashSizeUnits = nullptr;
  TLabel* FlashWidthLabel = nullptr;
  TXPComboBox* comboFlashWidths = nullptr;
  TXPExtPanel* panelMAIN = nullptr;
  TXPGroupBox* groupDownload = nullptr;
  TXPRadioButton* RadioDownloadCurrentProject = nullptr;
  TXPRadioButton* radioDownloadFile = nullptr;
  TXPHistoryEdit* EditFilename = nullptr;
  TLabel* TargetAddressLabel = nullptr;
  TXPHistoryEdit* editTargetAddress = nullptr;
  TXPCheckBox* CheckVerifyWrite = nullptr;
  TXPCheckBox* CheckAutoChecksum = nullptr;
  TXPCheckBox* CheckResetDeviceAfterLoad = nullptr;
  TXPCheckBox* CheckPreserveSectorData = nullptr;
  TButton* ButtonDownloadToFlash = nullptr;
  TButton* ButtonVerify = nullptr;
  TXPGroupBox* groupEraseRange = nullptr;
  TButton* ButtonEraseAddressRange = nullptr;
  TLabel* EraseStartAddressLabel = nullptr;
  TXPHistoryEdit* EditEraseStartAddress = nullptr;
  TLabel* EraseArrowLabel = nullptr;
  TLabel* EraseEndAddressLabel = nullptr;
  TXPHistoryEdit* EditEraseEndAddress = nullptr;
  TXPCheckBox* CheckPreserveData = nullptr;
  TButton* ButtonEraseSectorRange = nullptr;
  TLabel* StartSectorLabel = nullptr;
  TXPHistoryEdit* EditStartSectorNumber = nullptr;
  TLabel* EndSectorLabel = nullptr;
  TXPHistoryEdit* EditEndSectorNumber = nullptr;
  TButton* ButtonEraseEntireDevice = nullptr;
  TXPGroupBox* groupUtility = nullptr;
  TButton* ButtonBlankCheck = nullptr;
  TLabel* BlankStartLabel = nullptr;
  TXPHistoryEdit* EditBlankCheckStart = nullptr;
  TLabel* BlankEndLabel = nullptr;
  TXPHistoryEdit* EditBlankCheckEnd = nullptr;
  TXPExtPanel* panelStatus = nullptr;
  TXPProgressBar* progressMainProgressBar = nullptr;
  TXPBitBtn* buttonClose = nullptr;
  TXPBitBtn* buttonAbort = nullptr;

  // ---- Operations
  void UpdateFlashInformation();
  void ConfigureFlashMemorySpace(int64_t Base, int64_t Size, int64_t Width);
  void EnableFlashControls(bool Enable);
  void SetControllerState(TControllerState State, bool Force);
  void SetProgress(int Position);
  void StepProgress(int Delta) { SetProgress(progressMainProgressBar->Position() + Delta); }
  bool ValidateSPISettings();
  void FindProjectProgramFile(WideString& FileName);
  bool ChooseFileForDownload(WideString& FileName);
  void ShowAdvancedPanel(bool Visible);
  void SetDownloadMode(TDownloadMode Mode);
  int RunDownloadOrVerify(bool Verify);

  // ---- Handlers
  void FlashDeviceChange(TObject* Sender);
  void EditFlashBaseAddressChange(TObject* Sender);
  void comboFlashWidthsChange(TObject* Sender);
  void comboFlashSizeUnitsChange(TObject* Sender);
  void SPIInstancesDropDownListChange(TObject* Sender);
  void RadioDownloadCurrentProjectClick(TObject* Sender);
  void radioDownloadFileClick(TObject* Sender);
  void EditFilenameButton2Click(TObject* Sender);
  void ButtonCfiQueryClick(TObject* Sender);
  void ButtonDownloadToFlashClick(TObject* Sender);
  void ButtonVerifyClick(TObject* Sender);
  void ButtonEraseAddressRangeClick(TObject* Sender);
  void ButtonEraseSectorRangeClick(TObject* Sender);
  void EditStartSectorNumberChange(TObject* Sender);
  void ButtonEraseEntireDeviceClick(TObject* Sender);
  void ButtonBlankCheckClick(TObject* Sender);
  void EditBlankCheckStartChange(TObject* Sender);
  void buttonAbortClick(TObject* Sender);

  // ---- State (read by tests)
  bool Initialized() const { return FInitialized; }
  TControllerState CurrentState() const { return FCurrentState; }
  TDownloadMode CurrentDownloadMode() const { return FCurrentDownloadMode; }
  bool AbortRequested() const { return FAbort; }
  const IFlashWriter& FlashUtility() const { return FFlashUtility; }
  IDispatch* CallbackDispatch() { return &FCallback; }

protected:
  void AfterDesign() override;

private:
  void Construct(const IFlashWriters& FlashWriters, const IDeviceLink& DeviceLink);
  void FillFlashDeviceList();
  void FillUnitLists();
  void ClearUnitLists();
  // Installs Callback (empty: none) on every writer of the list.
  void SetCallbackOnWriters(IDispatch* Callback) noexcept(false);
  void ApplyFlashSettings();
  // The writer's private face (null: a writer of no family of the module).
  ComRef<IFlashWriterFace> Face(const IFlashWriter& Writer) const;
  TFlashWriterKind Kind() const;
  bool CheckAbort();
  // A sector number from Edit: false (and Message shown) when it does not
  // parse or is negative.
  bool ReadSector(TXPHistoryEdit& Edit, const wchar_t* Message, int32_t& Sector);
  void SectorEditChange(TXPHistoryEdit& StartEdit, TXPHistoryEdit& EndEdit);

  bool FInitialized = false;
  TControllerState FCurrentState = eControlState_Idle;
  TDownloadMode FCurrentDownloadMode = eDownloadMode_Project;
  IFlashWriters FFlashWriters;
  IFlashWriter FFlashUtility;
  IDeviceLink FDeviceLink;
  bool FAbort = false;
  WideString FTargetAddressSave;
  bool FUpdating = false;
  TFlashUtilityCallback FCallback{*this};
  std::vector<IFlashWriter> FEntryWriters;  // the writer of each device-list entry
};

// The transaction of one job: the dialog busy, the writer's program installed.
class TFlashUtilityTransaction : public TObject {
public:
  TVK_CLASS(TFlashUtilityTransaction, TObject)
  explicit TFlashUtilityTransaction(TFlashMemoryUtilityForm& Form);
  // Nothing leaves: an error of the removal is reported, the dialog idle.
  ~TFlashUtilityTransaction() override;

private:
  TFlashMemoryUtilityForm& FFlashUtilityForm;
};

}  // namespace tvk
