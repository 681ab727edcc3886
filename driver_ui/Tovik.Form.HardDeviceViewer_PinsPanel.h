#pragma once
// The docked panel "Hard Device Pin States": the pins and boundary cells of a
// device's boundary-scan description in a banded tree list, the details of
// the description, per-pin live-update switches, and each pin's links to the
// ports of the user's FPGA project and the nets of the board project. It is
// registered with the host as a server view of its own; the host reaches it
// (scan timer, pin selections of the symbol and footprint views) through a
// small counted forwarder that the panel detaches when it goes.
#include "Extension.Classes.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TreeListPublished.h"
#include "WinXPButtons.h"
#include "XPCombo.h"
#include "XPEdits.h"
#include "XPExtCtrls.h"
#include "XPGroups.h"
#include "XPImages.h"
#include "XPPanels.h"
#include "XPSplit.h"
#include "XPSplitButton.h"
#include "ZUL.Classes.h"
#include "dxTLClms.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tvk {

class THardDevicePinsPanel;

// ---- Pin links

enum TNetLinkKind { eNetLink_Wire = 0, eNetLink_Bus = 1 };

class TScanPinLink;

// One net a pin is linked to.
class TNetLink {
public:
  TNetLink(TScanPinLink* AScanPinLink, TNetLinkKind ANetLinkKind, int32_t ABitIndex, const INet& ATargetNet)
      : ScanPinLink(AScanPinLink), TargetNet(ATargetNet), BitIndex(ABitIndex), NetLinkKind(ANetLinkKind) {}

  TScanPinLink* ScanPinLink;
  INet TargetNet;
  int32_t BitIndex;  // -1 for a wire
  INetItem FPGAProject_Port;
  TNetLinkKind NetLinkKind;
};

// The numeric form of a pin number: "P17" gives "17" (and "P" alone an empty
// text); anything else is kept.
WideString NumericPinNumber(const WideString& Number);

// One pin of the description and what it is linked to.
class TScanPinLink : public TObject {
public:
  TVK_CLASS(TScanPinLink, TObject)
  TScanPinLink(const IScanPin& AScanPin, bool AUseFullPinNumberOnly, const IDevicePin& ADevicePin);

  const IScanPin& ScanPin() const { return FScanPin; }
  const IDevicePin& DevicePin() const { return FDevicePin; }
  bool UpdateEnabled() const { return FUpdateEnabled; }
  void SetUpdateEnabled(bool Value) { FUpdateEnabled = Value; }
  WideString PinNumber_Full() const { return FScanPin.GetPinNumber(); }
  WideString PinNumber_Numeric() const;
  // Appends the link; a wire whose net is a bus bit also links the bus. Answers the first.
  TNetLink* AddNetLink(const INet& Net, int32_t BitIndex, TNetLinkKind NetLinkKind);
  // Power and ground pins link nothing; a board net needs another pad, a
  // schematic net a pin that is not a supply pin.
  bool ValidToLinkToNet(const INet& Net) const;
  void ClearNetLinks() { NetLinks.clear(); }

  int32_t LastValue = -1;
  TdxTreeListNode* TreeNode = nullptr;
  WideString NetName_FPGA, NetName_PCB, PortDirection, IOStandard, SlewRate, DriveStrength;
  std::vector<std::unique_ptr<TNetLink>> NetLinks;

private:
  bool FUpdateEnabled = true;
  IScanPin FScanPin;
  IDevicePin FDevicePin;
  bool FUseFullPinNumberOnly;
};

// The document's kind as the client reports it for its full path is "PCB".
bool IsPCBDocument(const IDocument& Document);
// The project's kind as the client reports it for its full path is "PCBPROJECT".
bool IsPCBProject(const IProject& Project);

// A document on which some linked net has an object.
class TDocumentLink : public TObject {
public:
  TVK_CLASS(TDocumentLink, TObject)
  explicit TDocumentLink(const IDocument& ADocument) : Document(ADocument) {}
  // The client's server document for the document's full path.
  IHighlightedDocument GetHighlightedDocument() const;
  IDocument Document;
};

// A board component that carries the device: its board project and designator.
class TPCBComponentInfo : public TObject {
public:
  TVK_CLASS(TPCBComponentInfo, TObject)
  TPCBComponentInfo(const WideString& AProjectPath, const WideString& AComponentDesignator)
      : FProjectPath(AProjectPath), FComponentDesignator(AComponentDesignator) {}
  // "Board.PrjPcb / U3": the project's file name and the designator.
  WideString GetDescription() const;
  WideString FProjectPath, FComponentDesignator;
};

// The board components of the workspace's board projects that are the device.
class TPCBComponentInfoManager {
public:
  TPCBComponentInfoManager();
  // Lists the matching components again; the FPGA project's own component comes first.
  void UpdateComponentsList();
  TPCBComponentInfo* GetPCBComponentInfoFromDescription(const WideString& ADescription) const;
  void FillComponentDescriptions(TStrings* AStringList) const;
  int Count() const { return FComponentInfos->Count(); }

  std::unique_ptr<TStringList> FComponentInfos;  // by description; owns the infos
  WideString FLibraryReference;
  WideString FTargetProjectPath;
};

// A boundary cell behind a cell row.
class TCellWrapper : public TObject {
public:
  TVK_CLASS(TCellWrapper, TObject)
  explicit TCellWrapper(const IBoundaryCell& ACell) : FCell(ACell) {}
  const IBoundaryCell& Cell() const { return FCell; }

private:
  IBoundaryCell FCell;
};

// ---- The host's callbacks

// The three served objects the panel's dispatch passes each call to, in turn.
class TMyTimerHandler : public TAbstractTimerHandler {
public:
  explicit TMyTimerHandler(THardDevicePinsPanel* APanel) : F(APanel) {}
  HRESULT HandleTimer(uint32_t id) override;
  THardDevicePinsPanel* F;
};

class TMyComponentPinSelectionListener : public TAbstractComponentPinSelectionListener {
public:
  explicit TMyComponentPinSelectionListener(THardDevicePinsPanel* APanel) : F(APanel) {}
  HRESULT SelectionChanged(const WideString& pins) override;
  THardDevicePinsPanel* F;
};

class TMyModelEditorSelectionListener : public TAbstractModelEditorSelectionListener {
public:
  explicit TMyModelEditorSelectionListener(THardDevicePinsPanel* APanel) : F(APanel) {}
  HRESULT SelectionChanged(const WideString& pins) override;
  THardDevicePinsPanel* F;
};

// What the host holds as the panel's handler (scan timer, symbol views,
// footprint editor): a counted object that passes every call to the panel
// until the panel detaches it; afterwards it answers E_UNEXPECTED.
class TPinsPanelDispatch final : public IDispatch, public ISupportService {
public:
  explicit TPinsPanelDispatch(THardDevicePinsPanel* APanel) : FPanel(APanel) {}
  void Detach() { FPanel = nullptr; }
  bool Attached() const { return FPanel != nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&FRefCount)); }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;
  HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, ByteBool* Supported) override;

private:
  LONG FRefCount = 1;
  THardDevicePinsPanel* FPanel;
};

// ---- The panel

class THardDevicePinsPanel : public TServerPanelForm {
public:
  TVK_CLASS(THardDevicePinsPanel, TServerPanelForm)
  THardDevicePinsPanel(const ITovikDevice& ATovikDevice, const IJTagDevice& AJTagDevice);
  // Writes the options, removes the scan timer, detaches the host's handler and frees the links.
  ~THardDevicePinsPanel() override;

  // ---- Operations of the viewer
  void SetState_Controls();
  void SetProjectDetails(const WideString& AProjectPath, const WideString& ATarget);
  void SetVisible();
  void SetHidden();
  int GetPreferredWidth();
  int GetPreferredHeight();
  void SetMouseHandler(const TMouseEvent& AnEvent);
  void Rebuild();
  void ResetLinks();
  void RebuildLinks(bool RefillCombo);

  // ---- Look-ups
  TScanPinLink* FindScanPinLinkByDesignator(const WideString& Number) const;
  TScanPinLink* FindScanPinLinkByPortName(const WideString& Name) const;
  TDocumentLink* FindDocumentLink(const IDocument& Document) const;
  WideString LibraryReference();
  bool IsGenericDevice();

  // ---- The host's callbacks (the chain of the three handler objects)
  HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                 UINT* argErr);
  HRESULT SupportsService(BSTR ServiceName, ByteBool* Supported);
  // What the host holds: the counted forwarder (borrowed).
  IDispatch* HostDispatch() const { return FHostDispatch.Get(); }
  virtual void HandleTimerEvent(uint32_t TimerID);
  virtual void SelectPins(bool FromSymbol, const WideString& Pins);
  void GetHelpKeyword(TControl* control, WideString& keyword) override;

  // ---- Event handlers
  void FormShow(TObject* Sender);
  void CheckBox_HideUnassignedPinsClick(TObject* Sender);
  void PinListEditing(TObject* Sender, TdxTreeListNode* Node, bool& Allow);
  void PinListCustomDrawCell(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListNode* ANode,
                             TdxTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow,
                             WideString& AText, TColor& AColor, TFont& AFont, TAlignment& AAlignment, bool& ADone);
  void PinColumn_LiveUpdateToggleClick(TObject* Sender, const WideString& Text, TdxCheckBoxState State);
  void PinListMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MenuItem_ShowHideColumnsClick(TObject* Sender);
  void MenuItem_EnableSelectedClick(TObject*) { SwitchRows(true, true); }
  void MenuItem_DisableSelectedClick(TObject*) { SwitchRows(true, false); }
  void MenuItem_EnableAllClick(TObject*) { SwitchRows(false, true); }
  void MenuItem_DisableAllClick(TObject*) { SwitchRows(false, false); }
  void MenuItem_ClearSelectionsClick(TObject* Sender);
  void ComboBox_PCBComponentChange(TObject*) { RebuildLinks(false); }
  void Button_RebuildPCBLinksClick(TObject*) { RebuildLinks(true); }
  // Sets the enabling of the menu's items from the list's selection.
  void UpdateMenuItems();
  void ApplyColumnVisibility();
  static WideString FormatOpcode(int64_t Opcode, int32_t Bits);

  // ---- Components
  TXPExtPanel *Panel_Overlay = nullptr, *Panel_Top = nullptr, *Panel_Pins = nullptr, *Panel_Symbols = nullptr,
              *Panel_Bottom = nullptr, *Panel_Details = nullptr;
  TLabel *Label23 = nullptr, *Label_PCBComponent = nullptr;
  TXPEdit* Edit_TopDocumentFileName = nullptr;
  TXPSplitButton* Button_BSDL = nullptr;
  TXPComboBox* ComboBox_PCBComponent = nullptr;
  TXPBitBtn *Button_RebuildPCBLinks = nullptr, *Button_Update = nullptr;
  TdxTreeList* PinList = nullptr;
  TXPSplitter *Splitter_Vertical = nullptr, *Splitter_Horizontal = nullptr;
  TXPCollapseSectionsPanel* CollapseSectionsPanel_Symbols = nullptr;
  TXPCollapseSection *CollapseSection_SchematicSymbol = nullptr, *CollapseSection_PCBFootprint = nullptr;
  TPanel *Panel_SchematicSymbolNotFound = nullptr, *Panel_PCBFootprintNotFound = nullptr;
  TLabel *Label_SchematicSymbolNotFound = nullptr, *Label_PCBFootprintNotFound = nullptr;
  TXPCheckBox *CheckBox_ScanPins = nullptr, *CheckBox_HideUnassignedPins = nullptr, *CheckBox_InstallLibrary = nullptr;
  TXPGroupBox *Group_Others = nullptr, *Group_Instructions = nullptr, *Group_TAP = nullptr;
  TXPEdit *Edit_EntityName = nullptr, *Edit_ScanClockHaltMode = nullptr, *Edit_ConformanceStatement = nullptr,
          *Edit_ScanClockMaxSpeed = nullptr, *Edit_CompliancePattern = nullptr, *Edit_InstructionLength = nullptr,
          *Edit_BoundaryLength = nullptr, *Edit_BSDLFilename = nullptr, *Edit_PinCount = nullptr,
          *Edit_IdCode = nullptr;
  TXPEdit *Edit_Instruction_SAMPLE = nullptr, *Edit_Instruction_EXTEST = nullptr, *Edit_Instruction_IDCODE = nullptr,
          *Edit_Instruction_USERCODE = nullptr, *Edit_Instruction_CLAMP = nullptr, *Edit_Instruction_HIGHZ = nullptr;
  TXPEdit *Edit_Pin_TDI = nullptr, *Edit_Pin_TDO = nullptr, *Edit_Pin_TMS = nullptr, *Edit_Pin_TCK = nullptr,
          *Edit_Pin_TRST = nullptr;
  TXPImageList* ImageList_PinStates = nullptr;
  TPopupMenu* PopupMenu_PinList = nullptr;
  TMenuItem *SubMenuItem_ShowHideColumn = nullptr, *MenuItem_EnableSelected = nullptr,
            *MenuItem_DisableSelected = nullptr, *MenuItem_EnableAll = nullptr, *MenuItem_DisableAll = nullptr,
            *MenuItem_ClearSelections = nullptr;
  // The column items, in the order of the columns they show.
  TMenuItem *MenuItem_PinName = nullptr, *MenuItem_PinDirection = nullptr, *MenuItem_PinType = nullptr,
            *MenuItem_BankNumber = nullptr, *MenuItem_VREFPin = nullptr, *MenuItem_IOPin = nullptr,
            *MenuItem_CLKPin = nullptr, *MenuItem_ConfigPin = nullptr, *MenuItem_LiveUpdate = nullptr,
            *MenuItem_PinNumber = nullptr, *MenuItem_PortName = nullptr, *MenuItem_PortDirection = nullptr,
            *MenuItem_IOStandard = nullptr, *MenuItem_SlewRate = nullptr, *MenuItem_DriveStrength = nullptr;
  TdxTreeListColumn *PinColumn_PinName = nullptr, *PinColumn_IO = nullptr, *PinColumn_Kind = nullptr,
                    *PinColumn_BankNumber = nullptr, *PinColumn_IOPin = nullptr, *PinColumn_VREFPin = nullptr,
                    *PinColumn_CLKPin = nullptr, *PinColumn_ConfigPin = nullptr, *PinColumn_Number = nullptr,
                    *PinColumn_PortName = nullptr, *PinColumn_PortDirection = nullptr,
                    *PinColumn_IOStandard = nullptr, *PinColumn_SlewRate = nullptr,
                    *PinColumn_DriveStrength = nullptr;
  TdxTreeListCheckColumn* PinColumn_LiveUpdate = nullptr;
  TdxTreeListImageColumn* PinColumn_Value = nullptr;

  // ---- State
  ComRef<TMyTimerHandler> Impl_TimerHandler;
  ComRef<TMyComponentPinSelectionListener> Impl_ComponentPinSelectionListener;
  ComRef<TMyModelEditorSelectionListener> Impl_ModelEditorSelectionListener;
  bool RebuildRequired = false;
  IBSDLEntity BSDLEntity;
  IJTagDevice JTagDevice;
  WideString FPGAProjectPath;
  WideString FDevicePinDefaultIOStandard;
  IDocument FPGALevel_SCHDocument;
  IProject FPGALevel_Project;
  IProject BoardLevel_Project;
  IComponent BoardLevel_SCHComponent, BoardLevel_PCBComponent;
  IDocument BoardLevel_SCHDocument, BoardLevel_PCBDocument;
  std::vector<std::unique_ptr<TScanPinLink>> ScanPinLinks_UnSorted;
  std::unique_ptr<TSortedUniqueStringList> ScanPinLinks_ByDesignator_Full, ScanPinLinks_ByDesignator_Numeric,
      ScanPinLinks_ByFPGAPortName;
  std::vector<std::unique_ptr<TCellWrapper>> CellWrappers;
  std::unique_ptr<TSortedUniqueStringList> DocumentLinks;  // by full path; owns the links
  std::unique_ptr<TPCBComponentInfoManager> FPCBComponentInfoManager;
  WideString Target;
  bool IgnoreNotifications = false;
  uint32_t ScanPinTimerID = 0;
  bool RebuildPCBComponentLinksRequired = false;
  // Counted: the viewer may replace its device while the panel lives.
  ITovikDevice FTovikDevice;
  WideString FPanelName;
  WideString FSchLibraryPath, FFootprintName, FDatafilePath;
  bool FHasSelectionChangesToHandle = false;

protected:
  void AfterDesign() override;

private:
  void ReadOptions();
  void WriteOptions();
  TdxTreeListNode* AddNode(TdxTreeListNode* Parent, TObject* Data, int Image, const WideString& Name);
  void AddPinNode(TScanPinLink& Link);
  void AddCellNode(TdxTreeListNode* PinRow, const IBoundaryCell& Cell);
  void UpdateCaption();
  void SetStateOfDetails();
  void BuildScanPinLinks();
  void ClearScanPinLinks();
  void ResolveFPGAProject();
  TNetLink* LinkNet(TScanPinLink& Link, const INet& Net, TNetLinkKind Kind, int32_t BitIndex);
  void AddDocumentLink(const IDocument& Document);
  void ClearDocumentLinks();
  void LinkNets();
  void LinkPortPinNumbers(const INetItem& Port, TScanPinLink*& Current);
  void LinkPortAttributes(const INetItem& Port, TScanPinLink* Current);
  void LinkComponentPins(const IComponent& Component);
  void FindBoardComponents();
  void UpdatePCBComponentList();
  void SetRowSwitch(TdxTreeListNode* Row, bool On);
  void SwitchRows(bool SelectedOnly, bool On);
  void SetIOAttributeItemsVisible(bool Visible);
  // The column items and their columns, in menu order.
  std::vector<std::pair<TMenuItem*, TdxTreeListColumn*>> ColumnItems() const;

  ComRef<TPinsPanelDispatch> FHostDispatch;
};

// The panel and its view, registered with the host and sized; the panel.
THardDevicePinsPanel* CreatePinStatesPanel(const ITovikDevice& ATovikDevice, const IJTagDevice& AJTagDevice);
// Removes the panel's view from the host (which then frees the panel) and clears APanel.
void DestroyPinStatesPanel(THardDevicePinsPanel*& APanel);

// The panel's server view: filed under "&Instruments".
class THardDevicePinsPanelView : public TServerPanelView {
public:
  TVK_SERVED_LEVEL();
  using TServerPanelView::TServerPanelView;
  HRESULT GetCategory(WideString& category);
  HRESULT GetSubcategory(WideString& subcategory);
};

// Column indexes of the pin list's cells.
enum TPinColumn {
  pcPinName, pcIO, pcKind, pcBankNumber, pcIOPin, pcVREFPin, pcCLKPin, pcConfigPin, pcLiveUpdate, pcValue,
  pcNumber, pcPortName, pcPortDirection, pcIOStandard, pcSlewRate, pcDriveStrength, pcColumnCount
};

}  // namespace tvk
