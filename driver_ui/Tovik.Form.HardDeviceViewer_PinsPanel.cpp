#include "Tovik.Form.HardDeviceViewer_PinsPanel.h"
#include "FormDesign.h"

#include "Extension.Images.h"
#include "Extension.Util.h"
#include "Files.h"
#include "Convert.h"
#include "HostConstants.h"
#include "Tovik.Classes.BSDL.h"
#include "Tovik.Utils.h"
#include "ZUL.HostModules.h"
#include "ZUL.Util.h"
#include "ZUL.VFS.h"

#include <algorithm>
#include <atomic>
#include <span>

namespace tvk {

namespace {

// Pictures of the shared image list: a pin and a pad.
constexpr int kPinImage = 19, kCellImage = 41;
constexpr TColor kGreyText = TColor(0xFF000011);  // the system's grey-text colour
constexpr wchar_t kLiveUpdateOn[] = L"True", kLiveUpdateOff[] = L"False", kLiveUpdateNone[] = L"None";

constexpr const wchar_t* kDirectionNames[] = {L"Input", L"I/O", L"Output", L"Open Collector",
                                              L"Passive", L"HiZ", L"Open Emitter", L"Power"};
constexpr const wchar_t* kKindNames[] = {L"Normal", L"TRST", L"TCK", L"TDO", L"TDI", L"TMS", L"Power", L"Ground"};
constexpr const wchar_t* kHaltModeNames[] = {L"None", L"Low", L"Both"};

template <std::size_t N>
WideString NameOf(const wchar_t* const (&names)[N], int32_t index) {
  return index >= 0 && std::size_t(index) < N ? WideString(names[index]) : WideString();
}

WideString CellKindName(int32_t kind) { return kind >= 1 && kind <= 11 ? L"BC_" + IntToStr(kind - 1) : WideString(); }
WideString BoolText(bool value) { return value ? L"True" : L"False"; }

// An 18 x 18 lamp on the transparent colour: 0 dark red, 1 bright red, 2 bright red with a ring (toggling).
void DrawPinStateLamp(int lamp, TBitmap& picture) {
  picture.SetPixelFormat(TPixelFormat::pf24bit);
  picture.SetSize(18, 18);
  TCanvas& c = picture.Canvas();
  c.Brush().SetColor(clFuchsia);
  c.FillRect(RECT{0, 0, 18, 18});
  HDC dc = c.Handle();
  const COLORREF fill = lamp == 0 ? RGB(96, 0, 0) : RGB(255, 32, 32);
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, lamp == 2 ? RGB(255, 220, 0) : RGB(64, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Ellipse(dc, 3, 3, 15, 15);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
  if (lamp != 0) c.SetPixel(6, 6, clWhite);  // a highlight on the lit lamps
}

// Panels made so far: each gets its own component name.
std::atomic<int> gPanelCounter{0};

// The column table: component, band, caption, width (0: default), read-only,
// menu caption and check state at design.
struct TColumnRow {
  TdxTreeListColumn* THardDevicePinsPanel::*Column;
  TMenuItem* THardDevicePinsPanel::*Item;
  int Band;
  const wchar_t* Caption;
  int Width;
  bool ReadOnly;
  const wchar_t* ItemCaption;
  bool Checked;
  const wchar_t* ColumnName;
  const wchar_t* ItemName;
};

#define TVK_PIN_COLUMN(Column, Item, Band, Caption, Width, ReadOnly, ItemCaption, Checked) \
  TColumnRow{&THardDevicePinsPanel::Column, &THardDevicePinsPanel::Item, Band, Caption, Width, ReadOnly,  \
             ItemCaption, Checked, L## #Column, L## #Item}

// Every column with a menu item, in column order (the live-update check and
// the value image column stand apart).
const TColumnRow kTextColumns[] = {
    TVK_PIN_COLUMN(PinColumn_PinName, MenuItem_PinName, 0, L"Pin Name", 97, false, L"Pin Name", true),
    TVK_PIN_COLUMN(PinColumn_IO, MenuItem_PinDirection, 0, L"Direction", 97, false, L"Pin Direction", true),
    TVK_PIN_COLUMN(PinColumn_Kind, MenuItem_PinType, 0, L"Type", 95, false, L"Pin Type", true),
    TVK_PIN_COLUMN(PinColumn_BankNumber, MenuItem_BankNumber, 0, L"IO Bank #", 0, true, L"IO Bank #", false),
    TVK_PIN_COLUMN(PinColumn_IOPin, MenuItem_IOPin, 0, L"IO Pin", 0, false, L"IO Pin", false),
    TVK_PIN_COLUMN(PinColumn_VREFPin, MenuItem_VREFPin, 0, L"VREF Pin", 0, false, L"VREF Pin", false),
    TVK_PIN_COLUMN(PinColumn_CLKPin, MenuItem_CLKPin, 0, L"Clock Pin", 0, false, L"Clock Pin", false),
    TVK_PIN_COLUMN(PinColumn_ConfigPin, MenuItem_ConfigPin, 0, L"Config Pin", 0, false, L"Config Pin", false),
    TVK_PIN_COLUMN(PinColumn_Number, MenuItem_PinNumber, 1, L"Pin Number", 81, false, L"Pin Number", true),
    TVK_PIN_COLUMN(PinColumn_PortName, MenuItem_PortName, 2, L"Port Name", 149, true, L"Port Name", true),
    TVK_PIN_COLUMN(PinColumn_PortDirection, MenuItem_PortDirection, 2, L"Direction", 67, true, L"Port Direction",
                   true),
    TVK_PIN_COLUMN(PinColumn_IOStandard, MenuItem_IOStandard, 2, L"IO Standard", 0, true, L"IO Standard", false),
    TVK_PIN_COLUMN(PinColumn_SlewRate, MenuItem_SlewRate, 2, L"Slew Rate", 0, false, L"Slew Rate", false),
    TVK_PIN_COLUMN(PinColumn_DriveStrength, MenuItem_DriveStrength, 2, L"Drive Strength", 0, false,
                   L"Drive Strength", false),
};
#undef TVK_PIN_COLUMN

// The submenu's order differs from the columns' (VREF before IO, live update after config).
constexpr const wchar_t* kMenuOrder[] = {L"Pin Name",    L"Pin Direction", L"Pin Type",    L"IO Bank #",
                                         L"VREF Pin",    L"IO Pin",        L"Clock Pin",   L"Config Pin",
                                         L"Enable Live Update", L"Pin Number", L"Port Name", L"Port Direction",
                                         L"IO Standard", L"Slew Rate",     L"Drive Strength"};

WideString WithoutAccelerators(const WideString& caption) {
  WideString text = caption;
  std::erase(text, L'&');
  return text;
}

TXPEdit* DetailEdit(THardDevicePinsPanel& f, TWinControl* group, const wchar_t* name, const wchar_t* label,
                    int row, int labelWidth, int editWidth) {
  const int top = 18 + row * 22;
  auto* caption = PlaceControl<TLabel>(f, group, (WideString(name) + L"_Label").c_str(), 6, top + 3, labelWidth, 14);
  caption->SetCaption(label);
  caption->SetAlignment(TAlignment::taRightJustify);
  auto* edit = PlaceControl<TXPEdit>(f, group, name, labelWidth + 10, top, editWidth, 20);
  return edit;
}

void SetFont(TFont& font, const wchar_t* name, int height, TColor color = clBlack, TFontStyles style = {}) {
  font.SetName(name);
  font.SetHeight(height);
  font.SetColor(color);
  font.SetStyle(style);
}

void BuildPinsPanel(TComponent& root) {
  auto& f = static_cast<THardDevicePinsPanel&>(root);
  f.SetCaption(L"Hard Device Pin States");
  f.SetClientSize(1059, 727);
  f.Font().SetName(L"MS Sans Serif");
  f.Font().SetHeight(-11);

  f.Panel_Overlay = PlaceControl<TXPExtPanel>(f, &f, L"Panel_Overlay", 0, 0, 1059, 727);
  f.Panel_Overlay->SetAlign(TAlign::alClient);
  f.Panel_Overlay->SetBorderWidth(6);

  // Top bar.
  f.Panel_Top = PlaceControl<TXPExtPanel>(f, f.Panel_Overlay, L"Panel_Top", 6, 6, 1047, 59);
  f.Panel_Top->SetAlign(TAlign::alTop);
  f.Label23 = PlaceControl<TLabel>(f, f.Panel_Top, L"Label23", 8, 8, 220, 14);
  f.Label23->SetCaption(L"FPGA Project Top Level Document");
  SetFont(f.Label23->Font(), L"Verdana", -11);
  f.Edit_TopDocumentFileName = PlaceControl<TXPEdit>(f, f.Panel_Top, L"Edit_TopDocumentFileName", 230, 5, 560, 20);
  f.Edit_TopDocumentFileName->SetEnabled(false);
  f.Edit_TopDocumentFileName->SetAnchors(akLeft | akTop | akRight);
  f.Button_BSDL = PlaceControl<TXPSplitButton>(f, f.Panel_Top, L"Button_BSDL", 900, 4, 140, 24);
  f.Button_BSDL->SetCaption(L"BSDL Information");
  f.Button_BSDL->SetAnchors(akTop | akRight);
  f.Label_PCBComponent = PlaceControl<TLabel>(f, f.Panel_Top, L"Label_PCBComponent", 8, 36, 220, 14);
  f.Label_PCBComponent->SetCaption(L"PCB Project And  Component Link");
  SetFont(f.Label_PCBComponent->Font(), L"Verdana", -11);
  f.ComboBox_PCBComponent = PlaceControl<TXPComboBox>(f, f.Panel_Top, L"ComboBox_PCBComponent", 230, 32, 300, 21);
  f.ComboBox_PCBComponent->SetStyle(TComboBoxStyle::csDropDownList);
  f.ComboBox_PCBComponent->OnChange = [&f](TObject* s) { f.ComboBox_PCBComponentChange(s); };
  f.Button_RebuildPCBLinks = PlaceControl<TXPBitBtn>(f, f.Panel_Top, L"Button_RebuildPCBLinks", 540, 31, 100, 23);
  f.Button_RebuildPCBLinks->SetCaption(L"Rebuild Links");
  f.Button_RebuildPCBLinks->OnClick = [&f](TObject* s) { f.Button_RebuildPCBLinksClick(s); };

  // Bottom bar, its splitter, the symbols on the right, then the list filling the rest.
  f.Panel_Bottom = PlaceControl<TXPExtPanel>(f, f.Panel_Overlay, L"Panel_Bottom", 6, 695, 1047, 26);
  f.Panel_Bottom->SetAlign(TAlign::alBottom);
  f.Button_Update = PlaceControl<TXPBitBtn>(f, f.Panel_Bottom, L"Button_Update", 2, 2, 80, 22);
  f.Button_Update->SetCaption(L"  &Update");
  f.CheckBox_ScanPins = PlaceControl<TXPCheckBox>(f, f.Panel_Bottom, L"CheckBox_ScanPins", 96, 5, 90, 17);
  f.CheckBox_ScanPins->SetCaption(L"Live Update");
  f.CheckBox_HideUnassignedPins =
      PlaceControl<TXPCheckBox>(f, f.Panel_Bottom, L"CheckBox_HideUnassignedPins", 196, 5, 170, 17);
  f.CheckBox_HideUnassignedPins->SetCaption(L"Hide Unassigned I/O Pins");
  f.CheckBox_HideUnassignedPins->OnClick = [&f](TObject* s) { f.CheckBox_HideUnassignedPinsClick(s); };
  f.CheckBox_InstallLibrary = PlaceControl<TXPCheckBox>(f, f.Panel_Bottom, L"CheckBox_InstallLibrary", 840, 5, 200, 17);
  f.CheckBox_InstallLibrary->SetCaption(L"Auto Install Component Library ");
  f.CheckBox_InstallLibrary->SetAnchors(akTop | akRight);
  f.Splitter_Horizontal = PlaceControl<TXPSplitter>(f, f.Panel_Overlay, L"Splitter_Horizontal", 6, 689, 1047, 6);
  f.Splitter_Horizontal->SetAlign(TAlign::alBottom);

  f.Panel_Symbols = PlaceControl<TXPExtPanel>(f, f.Panel_Overlay, L"Panel_Symbols", 732, 65, 321, 624);
  f.Panel_Symbols->SetAlign(TAlign::alRight);
  f.CollapseSectionsPanel_Symbols = PlaceControl<TXPCollapseSectionsPanel>(f, f.Panel_Symbols,
                                                                           L"CollapseSectionsPanel_Symbols", 0, 0, 321, 624);
  f.CollapseSectionsPanel_Symbols->SetAlign(TAlign::alClient);
  f.CollapseSectionsPanel_Symbols->SetMargin(1);
  f.CollapseSection_SchematicSymbol = static_cast<TXPCollapseSection*>(f.CollapseSectionsPanel_Symbols->AddNewSection());
  f.CollapseSection_SchematicSymbol->SetName(L"CollapseSection_SchematicSymbol");
  f.CollapseSection_SchematicSymbol->SetCaption(L"CollapseSection_SchematicSymbol");
  f.CollapseSection_PCBFootprint = static_cast<TXPCollapseSection*>(f.CollapseSectionsPanel_Symbols->AddNewSection());
  f.CollapseSection_PCBFootprint->SetName(L"CollapseSection_PCBFootprint");
  f.CollapseSection_PCBFootprint->SetCaption(L"CollapseSection_PCBFootprint");
  const auto notFound = [&f](TXPCollapseSection* section, const wchar_t* panelName, const wchar_t* labelName,
                             TPanel*& panel, TLabel*& label) {
    panel = PlaceControl<TPanel>(f, section, panelName, 0, 0, 300, 200);
    label = PlaceControl<TLabel>(f, panel, labelName, 8, 8, 284, 120);
    label->SetAlignment(TAlignment::taCenter);
    label->SetWordWrap(true);
  };
  notFound(f.CollapseSection_SchematicSymbol, L"Panel_SchematicSymbolNotFound", L"Label_SchematicSymbolNotFound",
           f.Panel_SchematicSymbolNotFound, f.Label_SchematicSymbolNotFound);
  notFound(f.CollapseSection_PCBFootprint, L"Panel_PCBFootprintNotFound", L"Label_PCBFootprintNotFound",
           f.Panel_PCBFootprintNotFound, f.Label_PCBFootprintNotFound);
  f.Splitter_Vertical = PlaceControl<TXPSplitter>(f, f.Panel_Overlay, L"Splitter_Vertical", 726, 65, 6, 624);
  f.Splitter_Vertical->SetAlign(TAlign::alRight);

  f.Panel_Pins = PlaceControl<TXPExtPanel>(f, f.Panel_Overlay, L"Panel_Pins", 6, 65, 720, 624);
  f.Panel_Pins->SetAlign(TAlign::alClient);
  f.Panel_Pins->SetKind(TXPExtPanelKind::epkGradient);

  // The list.
  TdxTreeList* list = f.PinList = PlaceControl<TdxTreeList>(f, f.Panel_Pins, L"PinList", 0, 0, 720, 624);
  list->SetAlign(TAlign::alClient);
  list->SetOptions(OptionBit(aoColumnSizing) | OptionBit(aoColumnMoving) | OptionBit(aoEditing) |
                   OptionBit(aoTabThrough) | OptionBit(aoMultiSelect) | OptionBit(aoExtMultiSelect) |
                   OptionBit(aoImmediateEditor) | OptionBit(aoAutoWidth) | OptionBit(aoAutoSort));
  list->SetOptionsEx(OptionBit(aoBandHeaderWidth) | OptionBit(aoBandSizing) | OptionBit(aoBandMoving) |
                     OptionBit(aoDragScroll) | OptionBit(aoDragExpand) | OptionBit(aoMultiSort) |
                     OptionBit(aoAutoSearch) | OptionBit(aoUseBitmap) | OptionBit(aoAutoCalcPreviewLines));
  list->SetLookAndFeel(lfUltraFlat);
  list->SetShowBands(true);
  list->SetShowGrid(true);
  list->SetShowLines(false);
  list->SetShowIndicator(false);
  list->SetHideSelection(false);
  list->SetGridLineColor(clBtnFace);
  list->SetBandColor(clBtnShadow);
  SetFont(list->Font(), L"Arial", -11);
  TFont bandFont;
  SetFont(bandFont, L"Verdana", -9, clWhite, fsBold);
  list->SetBandFont(bandFont);
  TFont headerFont;
  SetFont(headerFont, L"Verdana", -9);
  list->SetHeaderFont(headerFont);
  list->Bands().GetItem(0)->SetCaption(L"From BSDL File For Device");
  list->Bands().GetItem(0)->SetWidth(332);
  TdxTreeListBand* linked = list->Bands().Add();
  linked->SetCaption(L"Linked By");
  linked->SetWidth(97);
  TdxTreeListBand* project = list->Bands().Add();
  project->SetCaption(L"To: No Project");
  project->SetWidth(216);

  f.ImageList_PinStates = new TXPImageList(&f);
  f.ImageList_PinStates->SetName(L"ImageList_PinStates");
  f.ImageList_PinStates->SetSize(18, 18);
  for (int lamp = 0; lamp < 3; ++lamp) {
    TBitmap picture;
    DrawPinStateLamp(lamp, picture);
    f.ImageList_PinStates->AddMasked(picture, clFuchsia);
  }

  // Columns in order: the text columns up to "Config Pin", the live-update check, the value, the rest.
  const auto addText = [&f, list](const TColumnRow& row) {
    TdxTreeListColumn* column = list->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), &f);
    column->SetName(row.ColumnName);
    column->SetCaption(row.Caption);
    column->SetBandIndex(row.Band);
    if (row.Width) column->SetWidth(row.Width);
    column->SetReadOnly(row.ReadOnly);
    column->SetDisableEditor(true);
    f.*row.Column = column;
  };
  for (std::size_t i = 0; i < 8; ++i) addText(kTextColumns[i]);
  f.PinColumn_LiveUpdate = static_cast<TdxTreeListCheckColumn*>(
      list->CreateColumnEx(ComponentClassOf<TdxTreeListCheckColumn>(), &f));
  f.PinColumn_LiveUpdate->SetName(L"PinColumn_LiveUpdate");
  f.PinColumn_LiveUpdate->SetCaption(L"Enable Live Update");
  f.PinColumn_LiveUpdate->SetWidth(99);
  f.PinColumn_LiveUpdate->SetValueChecked(kLiveUpdateOn);
  f.PinColumn_LiveUpdate->SetValueUnchecked(kLiveUpdateOff);
  f.PinColumn_LiveUpdate->SetValueGrayed(kLiveUpdateNone);
  f.PinColumn_LiveUpdate->SetShowNullFieldStyle(nsInactive);
  f.PinColumn_LiveUpdate->OnToggleClick = [&f](TObject* s, const WideString& text, TdxCheckBoxState state) {
    f.PinColumn_LiveUpdateToggleClick(s, text, state);
  };
  f.PinColumn_Value = static_cast<TdxTreeListImageColumn*>(
      list->CreateColumnEx(ComponentClassOf<TdxTreeListImageColumn>(), &f));
  f.PinColumn_Value->SetName(L"PinColumn_Value");
  f.PinColumn_Value->SetBandIndex(1);
  f.PinColumn_Value->SetDisableCustomizing(true);
  f.PinColumn_Value->SetDisableDragging(true);
  f.PinColumn_Value->SetDisableEditor(true);
  f.PinColumn_Value->SetSizing(false);
  f.PinColumn_Value->SetMinWidth(18);
  f.PinColumn_Value->SetWidth(18);
  f.PinColumn_Value->SetVertAlignment(TTextLayout::tlCenter);
  f.PinColumn_Value->SetImages(f.ImageList_PinStates);
  f.PinColumn_Value->SetShowDescription(true);
  {
    TStringList values, indexes, descriptions;
    values.SetCommaText(L"0,1,2");
    indexes.SetCommaText(L"0,1,2");
    descriptions.SetCommaText(L"0,1,Toggling");
    f.PinColumn_Value->SetValues(values);
    f.PinColumn_Value->SetImageIndexes(indexes);
    f.PinColumn_Value->SetDescriptions(descriptions);
  }
  for (std::size_t i = 8; i < std::size(kTextColumns); ++i) addText(kTextColumns[i]);

  list->OnEditing = [&f](TObject* s, TdxTreeListNode* n, bool& allow) { f.PinListEditing(s, n, allow); };
  list->OnCustomDrawCell = [&f](TObject* s, TCanvas& c, RECT r, TdxTreeListNode* n, TdxTreeListColumn* col, bool sel,
                                bool foc, bool nr, WideString& t, TColor& color, TFont& font, TAlignment& a,
                                bool& done) {
    f.PinListCustomDrawCell(s, c, r, n, col, sel, foc, nr, t, color, font, a, done);
  };
  list->OnMouseDown = [&f](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    f.PinListMouseDown(s, b, sh, x, y);
  };

  // The list's menu.
  f.PopupMenu_PinList = new TPopupMenu(&f);
  f.PopupMenu_PinList->SetName(L"PopupMenu_PinList");
  TMenuItem& items = f.PopupMenu_PinList->Items();
  const auto item = [&f](TMenuItem& parent, const wchar_t* name, const wchar_t* caption, TNotifyEvent click) {
    auto* entry = new TMenuItem(&f);
    if (*name) entry->SetName(name);
    entry->SetCaption(caption);
    entry->OnClick = std::move(click);
    parent.Add(entry);
    return entry;
  };
  f.SubMenuItem_ShowHideColumn = item(items, L"SubMenuItem_ShowHideColumn", L"Hide/Show Column...", {});
  for (const wchar_t* caption : kMenuOrder) {
    TMenuItem* entry = nullptr;
    bool checked = false;
    const wchar_t* name = L"MenuItem_LiveUpdate";
    TMenuItem* THardDevicePinsPanel::*field = &THardDevicePinsPanel::MenuItem_LiveUpdate;
    checked = true;  // "Enable Live Update" is shown at design
    for (const TColumnRow& row : kTextColumns)
      if (WideString(row.ItemCaption) == caption) {
        name = row.ItemName;
        field = row.Item;
        checked = row.Checked;
      }
    entry = item(*f.SubMenuItem_ShowHideColumn, name, caption, [&f](TObject* s) { f.MenuItem_ShowHideColumnsClick(s); });
    entry->SetAutoCheck(true);
    entry->SetChecked(checked);
    f.*field = entry;
  }
  item(items, L"", L"-", {});
  f.MenuItem_EnableSelected = item(items, L"MenuItem_EnableSelected", L"&Enable Selected",
                                   [&f](TObject* s) { f.MenuItem_EnableSelectedClick(s); });
  f.MenuItem_DisableSelected = item(items, L"MenuItem_DisableSelected", L"&Disable Selected",
                                    [&f](TObject* s) { f.MenuItem_DisableSelectedClick(s); });
  f.MenuItem_EnableAll = item(items, L"MenuItem_EnableAll", L"Enable &All", [&f](TObject* s) { f.MenuItem_EnableAllClick(s); });
  f.MenuItem_DisableAll = item(items, L"MenuItem_DisableAll", L"Disa&ble All",
                               [&f](TObject* s) { f.MenuItem_DisableAllClick(s); });
  item(items, L"", L"-", {});
  f.MenuItem_ClearSelections = item(items, L"MenuItem_ClearSelections", L"Clear Selections",
                                    [&f](TObject* s) { f.MenuItem_ClearSelectionsClick(s); });

  // The details, shown only as the split button's pop-up.
  f.Panel_Details = PlaceControl<TXPExtPanel>(f, &f, L"Panel_Details", 0, 0, 506, 297);
  f.Panel_Details->SetBorderWidth(10);
  f.Panel_Details->SetColor(TColor(0xDEEDDC));
  f.Panel_Details->SetVisible(false);
  f.Group_Others = PlaceControl<TXPGroupBox>(f, f.Panel_Details, L"Group_Others", 10, 10, 250, 277);
  f.Group_Others->SetCaption(L"General");
  struct TDetailRow {
    TXPEdit* THardDevicePinsPanel::*Edit;
    const wchar_t* Name;
    const wchar_t* Label;
  };
  const TDetailRow general[] = {
      {&THardDevicePinsPanel::Edit_EntityName, L"Edit_EntityName", L"Entity Name"},
      {&THardDevicePinsPanel::Edit_ScanClockHaltMode, L"Edit_ScanClockHaltMode", L"Clock Halt Mode"},
      {&THardDevicePinsPanel::Edit_ConformanceStatement, L"Edit_ConformanceStatement", L"Conformance"},
      {&THardDevicePinsPanel::Edit_ScanClockMaxSpeed, L"Edit_ScanClockMaxSpeed", L"Max Clock Speed"},
      {&THardDevicePinsPanel::Edit_CompliancePattern, L"Edit_CompliancePattern", L"Compliance"},
      {&THardDevicePinsPanel::Edit_InstructionLength, L"Edit_InstructionLength", L"Instruction Length"},
      {&THardDevicePinsPanel::Edit_BoundaryLength, L"Edit_BoundaryLength", L"Boundary Length"},
      {&THardDevicePinsPanel::Edit_BSDLFilename, L"Edit_BSDLFilename", L"BSDL Filename"},
      {&THardDevicePinsPanel::Edit_PinCount, L"Edit_PinCount", L"Pin Count"},
      {&THardDevicePinsPanel::Edit_IdCode, L"Edit_IdCode", L"ID-Code"},
  };
  for (std::size_t i = 0; i < std::size(general); ++i)
    f.*general[i].Edit = DetailEdit(f, f.Group_Others, general[i].Name, general[i].Label, int(i), 100, 130);
  f.Group_Instructions = PlaceControl<TXPGroupBox>(f, f.Panel_Details, L"Group_Instructions", 266, 10, 230, 155);
  f.Group_Instructions->SetCaption(L"Instructions");
  const TDetailRow instructions[] = {
      {&THardDevicePinsPanel::Edit_Instruction_SAMPLE, L"Edit_Instruction_SAMPLE", L"SAMPLE"},
      {&THardDevicePinsPanel::Edit_Instruction_EXTEST, L"Edit_Instruction_EXTEST", L"EXTEST"},
      {&THardDevicePinsPanel::Edit_Instruction_IDCODE, L"Edit_Instruction_IDCODE", L"IDCODE"},
      {&THardDevicePinsPanel::Edit_Instruction_USERCODE, L"Edit_Instruction_USERCODE", L"USERCODE"},
      {&THardDevicePinsPanel::Edit_Instruction_CLAMP, L"Edit_Instruction_CLAMP", L"CLAMP"},
      {&THardDevicePinsPanel::Edit_Instruction_HIGHZ, L"Edit_Instruction_HIGHZ", L"HIGHZ"},
  };
  for (std::size_t i = 0; i < std::size(instructions); ++i) {
    TXPEdit* edit = f.*instructions[i].Edit =
        DetailEdit(f, f.Group_Instructions, instructions[i].Name, instructions[i].Label, int(i), 60, 150);
    edit->Font().SetName(L"Courier New");
    edit->SetText(L"Not Defined");
  }
  f.Group_TAP = PlaceControl<TXPGroupBox>(f, f.Panel_Details, L"Group_TAP", 266, 170, 230, 117);
  f.Group_TAP->SetCaption(L"TAP Controller Pins");
  const TDetailRow tap[] = {
      {&THardDevicePinsPanel::Edit_Pin_TDI, L"Edit_Pin_TDI", L"TDI"},
      {&THardDevicePinsPanel::Edit_Pin_TDO, L"Edit_Pin_TDO", L"TDO"},
      {&THardDevicePinsPanel::Edit_Pin_TMS, L"Edit_Pin_TMS", L"TMS"},
      {&THardDevicePinsPanel::Edit_Pin_TCK, L"Edit_Pin_TCK", L"TCK"},
      {&THardDevicePinsPanel::Edit_Pin_TRST, L"Edit_Pin_TRST", L"TRST"},
  };
  for (std::size_t i = 0; i < std::size(tap); ++i)
    f.*tap[i].Edit = DetailEdit(f, f.Group_TAP, tap[i].Name, tap[i].Label, int(i) % 3 + 0, 40, 60);
  f.Button_BSDL->SetPopupControl(f.Panel_Details);
  f.OnShow = [&f](TObject* s) { f.FormShow(s); };
}

}  // namespace

TVK_DESIGN(THardDevicePinsPanel, BuildPinsPanel);

// ---- Pin links

WideString NumericPinNumber(const WideString& Number) {
  if (Number.empty() || Number[0] != L'P') return Number;
  const WideString rest = Number.substr(1);
  int32_t value = 0;
  return rest.empty() || TryParseInt(rest, value) ? rest : Number;
}

TScanPinLink::TScanPinLink(const IScanPin& AScanPin, bool AUseFullPinNumberOnly, const IDevicePin& ADevicePin)
    : FScanPin(AScanPin), FDevicePin(ADevicePin), FUseFullPinNumberOnly(AUseFullPinNumberOnly) {}

WideString TScanPinLink::PinNumber_Numeric() const {
  return FUseFullPinNumberOnly ? PinNumber_Full() : NumericPinNumber(PinNumber_Full());
}

TNetLink* TScanPinLink::AddNetLink(const INet& Net, int32_t BitIndex, TNetLinkKind NetLinkKind) {
  TNetLink* first = NetLinks.emplace_back(std::make_unique<TNetLink>(this, NetLinkKind, BitIndex, Net)).get();
  if (NetLinkKind == eNetLink_Wire) {
    const INet bus = Net.GetBusNet();
    const int32_t bit = bus ? Net.GetBusIndex() : -1;
    if (bus && bit >= 0) NetLinks.push_back(std::make_unique<TNetLink>(this, eNetLink_Bus, bit, bus));
  }
  return first;
}

bool IsSupplyPin(const IScanPin& Pin) {
  const int32_t kind = Pin.GetKind();
  return kind == eScanPinKind_Power || kind == eScanPinKind_Ground;
}

bool TScanPinLink::ValidToLinkToNet(const INet& Net) const {
  if (IsSupplyPin(FScanPin)) return false;
  if (IsPCBDocument(Net.GetDocument())) return Net.GetPCBPinCount() > 1;
  for (int32_t i = 0, n = Net.GetPinCount(); i < n; ++i) {
    const INetItem pin = Net.GetPin(i);
    if (!pin) continue;
    const WideString name = pin.GetPinName();
    if (!SameTextIgnoringCase(name, L"GND") && !SameTextIgnoringCase(name, L"VCC") && !pin.GetIsPowerPin())
      return true;
  }
  return false;
}

namespace {

WideString KindOfPath(const WideString& Path) {
  const IClient client = GetHostClient();
  return client ? client.GetDocumentKind(Path) : WideString();
}

}  // namespace

bool IsPCBDocument(const IDocument& Document) {
  return Document && SameTextIgnoringCase(KindOfPath(Document.GetFullPath()), WideString(host::kDocumentKindPCB));
}

bool IsPCBProject(const IProject& Project) {
  return Project && SameTextIgnoringCase(KindOfPath(Project.GetFullPath()), WideString(host::kDocumentKindPCBProject));
}

IHighlightedDocument TDocumentLink::GetHighlightedDocument() const {
  const IClient client = GetHostClient();
  return client && Document ? RecordAs<IHighlightedDocument>(client.GetDocumentByPath(Document.GetFullPath()))
                            : IHighlightedDocument();
}

WideString TPCBComponentInfo::GetDescription() const {
  return ExtractFileName(FProjectPath) + L" / " + FComponentDesignator;
}

TPCBComponentInfoManager::TPCBComponentInfoManager() : FComponentInfos(std::make_unique<TStringList>()) {
  FComponentInfos->SetOwnsObjects(true);
  FComponentInfos->SetCaseSensitive(false);
}

void TPCBComponentInfoManager::UpdateComponentsList() {
  FComponentInfos->Clear();
  if (FLibraryReference.empty()) return;
  const IWorkspace workspace = GetHostWorkspace();
  if (!workspace) return;
  const IDeviceManager devices = GetHostDeviceManager();
  for (int32_t p = 0, projects = workspace.GetProjectCount(); p < projects; ++p) {
    const IProject project = workspace.GetProject(p);
    if (!IsPCBProject(project)) continue;
    if (!project.GetTopLevelDocument()) project.Compile();
    const IDocument top = project.GetTopLevelDocument();
    if (!top) continue;
    const WideString projectPath = project.GetFullPath();
    for (int32_t c = 0, components = top.GetComponentCount(); c < components; ++c) {
      const IComponent component = top.GetComponent(c);
      if (!component) continue;
      const WideString reference = component.GetLibraryReference();
      const bool matches = (devices && devices.IsEquivalentDevice(reference, FLibraryReference)) ||
                           SameTextIgnoringCase(reference, FLibraryReference);
      if (!matches) continue;
      WideString subProject = component.GetSubProjectPath();
      if (!subProject.empty() && IsRelativePath(subProject)) {
        WideString full;
        ExpandRelativePath(projectPath, subProject, full);
        subProject = full;
      }
      auto info = std::make_unique<TPCBComponentInfo>(projectPath, component.GetDesignator());
      const WideString description = info->GetDescription();
      if (FComponentInfos->IndexOf(description) >= 0) continue;
      if (!FTargetProjectPath.empty() && SameTextIgnoringCase(subProject, FTargetProjectPath)) {
        FComponentInfos->Insert(0, description);
        FComponentInfos->PutObject(0, info.release());
      } else {
        FComponentInfos->AddObject(description, info.release());
      }
    }
  }
}

TPCBComponentInfo* TPCBComponentInfoManager::GetPCBComponentInfoFromDescription(const WideString& ADescription) const {
  const int i = FComponentInfos->IndexOf(ADescription);
  return i >= 0 ? static_cast<TPCBComponentInfo*>(FComponentInfos->Objects(i)) : nullptr;
}

void TPCBComponentInfoManager::FillComponentDescriptions(TStrings* AStringList) const {
  if (!AStringList) return;
  for (int i = 0; i < FComponentInfos->Count(); ++i) AStringList->Add(FComponentInfos->Get(i));
}

// ---- The host's callbacks

HRESULT TMyTimerHandler::HandleTimer(uint32_t id) {
  return Guard([&] { F->HandleTimerEvent(id); });
}

HRESULT TMyComponentPinSelectionListener::SelectionChanged(const WideString& pins) {
  return Guard([&] { F->SelectPins(true, pins); });
}

HRESULT TMyModelEditorSelectionListener::SelectionChanged(const WideString& pins) {
  return Guard([&] { F->SelectPins(false, pins); });
}

HRESULT TPinsPanelDispatch::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
  } else if (IsEqualIID(iid, IID_ISupportService)) {
    *out = static_cast<ISupportService*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG TPinsPanelDispatch::Release() {
  const LONG count = InterlockedDecrement(&FRefCount);
  if (count == 0) delete this;
  return ULONG(count);
}

HRESULT TPinsPanelDispatch::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  if (!FPanel) return kE_UNEXPECTED;
  try {
    return FPanel->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TPinsPanelDispatch::SupportsService(BSTR ServiceName, ByteBool* Supported) {
  if (!FPanel) return kE_UNEXPECTED;
  try {
    return FPanel->SupportsService(ServiceName, Supported);
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// ---- The panel

THardDevicePinsPanel::THardDevicePinsPanel(const ITovikDevice& ATovikDevice, const IJTagDevice& AJTagDevice)
    : TServerPanelForm(nullptr), JTagDevice(AJTagDevice), FTovikDevice(ATovikDevice) {}

void THardDevicePinsPanel::AfterDesign() {
  TServerPanelForm::AfterDesign();
  Impl_TimerHandler = ComRef<TMyTimerHandler>(New<TMyTimerHandler>(this));
  Impl_ComponentPinSelectionListener =
      ComRef<TMyComponentPinSelectionListener>(New<TMyComponentPinSelectionListener>(this));
  Impl_ModelEditorSelectionListener =
      ComRef<TMyModelEditorSelectionListener>(New<TMyModelEditorSelectionListener>(this));
  FHostDispatch = ComRef<TPinsPanelDispatch>(new TPinsPanelDispatch(this));
  FHostDispatch->Release();  // the record above holds the one reference

  Splitter_Vertical->SetTransparent(true);
  Splitter_Horizontal->SetTransparent(true);
  for (TPanel* panel : {Panel_SchematicSymbolNotFound, Panel_PCBFootprintNotFound}) {
    panel->SetColor(clWindow);
    panel->SetAlign(TAlign::alClient);
  }
  ReadOptions();
  ApplyColumnVisibility();
  FHasSelectionChangesToHandle = false;
  FPanelName = L"HardDeviceViewer_PinPanels_" + IntToStr(int64_t(reinterpret_cast<intptr_t>(Handle())));
  CheckBox_InstallLibrary->OnClick = [](TObject*) {};  // the library install comes with the views
  RebuildRequired = false;
  IgnoreNotifications = false;
  for (TXPExtPanel* panel : {Panel_Bottom, Panel_Pins, Panel_Symbols}) panel->SetDoubleBuffered(true);
  SetName(L"TJTagDeviceFrame" + IntToStr(++gPanelCounter));
  BSDLEntity = JTagDevice ? JTagDevice.GetBSDLEntity() : IBSDLEntity();
  if (GetMainImageList()) PinList->SetImages(GetMainImageList());
  FPGAProjectPath.clear();
  Target.clear();
  PinList->Bands().GetItem(0)->SetCaption(L"From JTAG Device: " + (JTagDevice ? JTagDevice.GetName() : WideString()));
  ScanPinLinks_ByDesignator_Full = std::make_unique<TSortedUniqueStringList>();
  ScanPinLinks_ByDesignator_Numeric = std::make_unique<TSortedUniqueStringList>();
  ScanPinLinks_ByFPGAPortName = std::make_unique<TSortedUniqueStringList>();
  DocumentLinks = std::make_unique<TSortedUniqueStringList>();
  DocumentLinks->SetOwnsObjects(true);
  FPCBComponentInfoManager = std::make_unique<TPCBComponentInfoManager>();
  if (const IClient client = GetHostClient()) {
    if (const ITimerManager timers = client.GetTimerManager())
      ScanPinTimerID = uint32_t(timers.CreateTimer(ITimerHandler(FHostDispatch.Get()), 100, false));
  }
  BuildScanPinLinks();
  SetWidth(1200);
  SetIOAttributeItemsVisible(false);
  FDevicePinDefaultIOStandard = L"LVTTL 3.3V";
  if (const IDeviceManager devices = GetHostDeviceManager()) {
    const IDeviceInformation information = JTagDevice ? JTagDevice.GetDeviceInformation() : IDeviceInformation();
    const IDeviceFamilyManager families = devices.GetDeviceFamilyManager();
    if (information && families) {
      const IDeviceFamily family = families.GetDeviceFamily(information.GetFamilyName());
      if (family && family.HasProperty(WideString(host::kDefaultIOStandardProperty)))
        FDevicePinDefaultIOStandard = family.GetPropertyValue(WideString(host::kDefaultIOStandardProperty));
    }
  }
  RebuildPCBComponentLinksRequired = true;
}

THardDevicePinsPanel::~THardDevicePinsPanel() {
  // Nothing leaves a destructor: a host that fails here is only noted.
  if (Guard([&] { WriteOptions(); }) != S_OK) OutputDebugStringW(L"Pin states panel: the options were not written\n");
  if (ScanPinTimerID != 0 && Guard([&] {
        if (const IClient client = GetHostClient())
          if (const ITimerManager timers = client.GetTimerManager()) timers.KillTimer(int32_t(ScanPinTimerID));
      }) != S_OK)
    OutputDebugStringW(L"Pin states panel: the scan timer was not removed\n");
  if (FHostDispatch) FHostDispatch->Detach();
  // Rows point at the links: they go first.
  if (PinList) Guard([&] { PinList->ClearNodes(); });
  ClearScanPinLinks();
  ClearDocumentLinks();
  CellWrappers.clear();
}

std::vector<std::pair<TMenuItem*, TdxTreeListColumn*>> THardDevicePinsPanel::ColumnItems() const {
  std::vector<std::pair<TMenuItem*, TdxTreeListColumn*>> items;
  for (const TColumnRow& row : kTextColumns) items.emplace_back(this->*row.Item, this->*row.Column);
  items.emplace_back(MenuItem_LiveUpdate, PinColumn_LiveUpdate);
  return items;
}

void THardDevicePinsPanel::ReadOptions() {
  const IClient client = GetHostClient();
  const IOptionsManager options = client ? client.GetOptionsManager() : IOptionsManager();
  const IOptionsReader reader = options ? options.GetOptionsReader(WideString(host::kOptionsServer), L"") : IOptionsReader();
  if (!reader) {
    CheckBox_InstallLibrary->SetChecked(true);
    return;
  }
  const WideString section(host::kPinStatesSection);
  CheckBox_InstallLibrary->SetChecked(reader.ReadBoolean(section, L"Auto Install Library", true));
  for (int i = 0; i < SubMenuItem_ShowHideColumn->Count(); ++i) {
    TMenuItem* item = SubMenuItem_ShowHideColumn->Items(i);
    item->SetChecked(reader.ReadBoolean(section, WithoutAccelerators(item->Caption()), item->Checked()));
  }
}

void THardDevicePinsPanel::WriteOptions() {
  if (!SubMenuItem_ShowHideColumn || !CheckBox_InstallLibrary) return;  // the design never finished
  const IClient client = GetHostClient();
  const IOptionsManager options = client ? client.GetOptionsManager() : IOptionsManager();
  const IOptionsWriter writer = options ? options.GetOptionsWriter(WideString(host::kOptionsServer)) : IOptionsWriter();
  if (!writer) return;
  const WideString section(host::kPinStatesSection);
  writer.WriteBoolean(section, L"Auto Install Library", CheckBox_InstallLibrary->Checked());
  for (int i = 0; i < SubMenuItem_ShowHideColumn->Count(); ++i) {
    TMenuItem* item = SubMenuItem_ShowHideColumn->Items(i);
    writer.WriteBoolean(section, WithoutAccelerators(item->Caption()), item->Checked());
  }
}

void THardDevicePinsPanel::SetIOAttributeItemsVisible(bool Visible) {
  for (TMenuItem* item : {MenuItem_IOStandard, MenuItem_SlewRate, MenuItem_DriveStrength}) item->SetVisible(Visible);
  // Their columns follow at once, not only at the next rebuild.
  ApplyColumnVisibility();
}

void THardDevicePinsPanel::ApplyColumnVisibility() {
  for (auto [item, column] : ColumnItems()) column->SetVisible(item->Checked() && item->Visible());
  PinColumn_Value->SetVisible(true);
}

void THardDevicePinsPanel::MenuItem_ShowHideColumnsClick(TObject*) { ApplyColumnVisibility(); }

WideString THardDevicePinsPanel::FormatOpcode(int64_t Opcode, int32_t Bits) {
  if (Opcode == -1 || Opcode == 0xFFFFFFFF) return L"Undefined";
  const uint32_t value = uint32_t(Opcode);
  WideString hex;
  IntToHexMinDigits(value, Bits, hex);
  WideString binary;
  FormatBinaryGrouped(value, Bits, binary);
  return hex + L"H  " + binary;
}

void THardDevicePinsPanel::SetStateOfDetails() {
  const IBSDLEntity& e = BSDLEntity;
  const int32_t bits = e.GetInstructionLength();
  Edit_InstructionLength->SetText(IntToStr(bits));
  WideString idCode;
  IntToHexMinDigits(e.GetIdCode(), 32, idCode);
  Edit_IdCode->SetText(idCode);
  Edit_BoundaryLength->SetText(IntToStr(e.GetBoundaryLength()));
  Edit_PinCount->SetText(IntToStr(e.GetPinCount()));
  const std::pair<TXPEdit*, IScanPin> tapPins[] = {{Edit_Pin_TDI, e.GetPin_TDI()},
                                                   {Edit_Pin_TDO, e.GetPin_TDO()},
                                                   {Edit_Pin_TMS, e.GetPin_TMS()},
                                                   {Edit_Pin_TCK, e.GetPin_TCK()},
                                                   {Edit_Pin_TRST, e.GetPin_TRST()}};
  for (const auto& [edit, pin] : tapPins)
    if (pin) edit->SetText(pin.GetPinNumber());
  const std::pair<TXPEdit*, uint32_t> opcodes[] = {{Edit_Instruction_SAMPLE, e.GetInstruction_SAMPLE()},
                                                   {Edit_Instruction_EXTEST, e.GetInstruction_EXTEST()},
                                                   {Edit_Instruction_IDCODE, e.GetInstruction_IDCODE()},
                                                   {Edit_Instruction_USERCODE, e.GetInstruction_USERCODE()},
                                                   {Edit_Instruction_CLAMP, e.GetInstruction_CLAMP()},
                                                   {Edit_Instruction_HIGHZ, e.GetInstruction_HIGHZ()}};
  for (const auto& [edit, opcode] : opcodes) edit->SetText(FormatOpcode(opcode == 0xFFFFFFFF ? -1 : opcode, bits));
  WideString speed;
  FloatToFixed2(e.GetScanClockMaxSpeed() / 1000000.0, speed);
  Edit_ScanClockMaxSpeed->SetText(speed + L" MHz");
  Edit_ScanClockHaltMode->SetText(NameOf(kHaltModeNames, e.GetScanClockHaltMode()));
  Edit_ConformanceStatement->SetText(e.GetConformanceStatement());
  Edit_CompliancePattern->SetText(e.GetCompliancePattern());
  Edit_BSDLFilename->SetText(ExtractFileName(e.GetFilename()));
  Edit_EntityName->SetText(e.GetName());
}

void THardDevicePinsPanel::SetState_Controls() {
  if (!BSDLEntity) return;
  PinList->BeginUpdate();
  try {
    PinList->ClearNodes();
    ApplyColumnVisibility();
    CellWrappers.clear();
    SetStateOfDetails();
    const bool hideUnassigned = CheckBox_HideUnassignedPins->Checked();
    for (const auto& link : ScanPinLinks_UnSorted) {
      link->TreeNode = nullptr;
      link->LastValue = -1;
      const bool shown = !hideUnassigned || !link->NetName_FPGA.empty();
      if (shown) AddPinNode(*link);
      link->SetUpdateEnabled(shown);
    }
  } catch (...) {
    PinList->EndUpdate();
    throw;
  }
  PinList->EndUpdate();
  FSchLibraryPath.clear();
  UpdateCaption();
}

TdxTreeListNode* THardDevicePinsPanel::AddNode(TdxTreeListNode* Parent, TObject* Data, int Image,
                                               const WideString& Name) {
  TdxTreeListNode* node = Parent ? Parent->AddChild() : PinList->Add();
  node->SetString(pcPinName, Name);
  node->SetString(pcLiveUpdate, kLiveUpdateNone);
  node->SetData(Data);
  node->SetImageIndex(Image);
  node->SetSelectedIndex(Image);
  return node;
}

void THardDevicePinsPanel::AddPinNode(TScanPinLink& Link) {
  const IScanPin& pin = Link.ScanPin();
  TdxTreeListNode* row = AddNode(nullptr, &Link, kPinImage, pin.GetPinName());
  Link.TreeNode = row;
  row->SetString(pcIO, NameOf(kDirectionNames, pin.GetDirection()));
  row->SetString(pcKind, NameOf(kKindNames, pin.GetKind()));
  row->SetString(pcLiveUpdate, kLiveUpdateOn);
  row->SetString(pcNumber, pin.GetPinNumber());
  row->SetString(pcPortName, Link.NetName_FPGA);
  row->SetString(pcPortDirection, Link.PortDirection);
  if (const IDevicePin& device = Link.DevicePin()) {
    row->SetString(pcBankNumber, device.GetIOBank());
    row->SetString(pcIOPin, BoolText(device.GetIsIOPin()));
    row->SetString(pcVREFPin, BoolText(device.GetIsVREFPin()));
    row->SetString(pcCLKPin, BoolText(device.GetIsCLKPin()));
    row->SetString(pcConfigPin, BoolText(device.GetIsSpecialPin()));
  }
  row->SetString(pcIOStandard, Link.IOStandard);
  row->SetString(pcSlewRate, Link.SlewRate);
  row->SetString(pcDriveStrength, Link.DriveStrength);
  const int32_t cells = pin.GetBoundaryCellCount();
  for (int32_t i = 0; i < cells; ++i) {
    const IBoundaryCell cell = pin.GetBoundaryCell(i);
    AddCellNode(row, cell);
    const WideString port = cell.GetPortId();
    if (row->GetString(pcPinName).empty() && !port.empty()) row->SetString(pcPinName, port);
  }
}

void THardDevicePinsPanel::AddCellNode(TdxTreeListNode* PinRow, const IBoundaryCell& Cell) {
  TCellWrapper* wrapper = CellWrappers.emplace_back(std::make_unique<TCellWrapper>(Cell)).get();
  TdxTreeListNode* row = AddNode(PinRow, wrapper, kCellImage, L"Cell " + IntToStr(Cell.GetCellNumber()));
  row->SetString(pcIO, Cell.GetPortId());
  row->SetString(pcKind, CellKindName(Cell.GetCellKind()));
  const std::pair<IBoundaryCell, const wchar_t*> related[] = {{Cell.GetControlCell(), L"Control Cell "},
                                                              {Cell.GetTargetCell(), L"Target Cell "}};
  for (const auto& [other, caption] : related) {
    if (!other) continue;
    TCellWrapper* otherWrapper = CellWrappers.emplace_back(std::make_unique<TCellWrapper>(other)).get();
    AddNode(row, otherWrapper, kCellImage, caption + IntToStr(other.GetCellNumber()));
  }
}

bool THardDevicePinsPanel::IsGenericDevice() {
  return FTovikDevice && SameTextIgnoringCase(FTovikDevice.GetFamilyName(), WideString(host::kGenericDeviceFamily));
}

WideString THardDevicePinsPanel::LibraryReference() {
  WideString reference = FTovikDevice ? FTovikDevice.GetDeviceName() : WideString();
  if (IsGenericDevice() && JTagDevice)
    if (const IDeviceManager devices = GetHostDeviceManager())
      if (const IGenericDeviceManager generic = devices.GetGenericDeviceManager()) {
        const WideString found = generic.GetLibraryReference(JTagDevice.GetIdCode(), JTagDevice.GetSecondaryId());
        if (!found.empty()) reference = found;
      }
  return reference;
}

void THardDevicePinsPanel::UpdateCaption() {
  SetCaption(LibraryReference() + L" Pin States on JTAG " + IntToStr(FTovikDevice ? FTovikDevice.GetJTagIndex() : 0));
}

void THardDevicePinsPanel::FormShow(TObject*) {
  const IDeviceInformation information = JTagDevice ? JTagDevice.GetDeviceInformation() : IDeviceInformation();
  if (!information) return;
  WideString path;
  if (IsGenericDevice()) {
    if (const IDeviceManager devices = GetHostDeviceManager())
      if (const IGenericDeviceManager generic = devices.GetGenericDeviceManager())
        path = generic.GetBSDLFileName(JTagDevice.GetIdCode(), JTagDevice.GetSecondaryId());
  } else {
    path = TBSDLEntity::FindFullBSDLPath(TBSDLEntity::DetermineFullPath(
        information.GetBSDLFilename(), information.GetVendorName(), information.GetFamilyName(), GetLibraryFolder()));
  }
  Button_BSDL->SetEnabled(!path.empty() && FileExists(path));
}

// ---- Switches and the menu

void THardDevicePinsPanel::SetRowSwitch(TdxTreeListNode* Row, bool On) {
  Row->SetString(pcLiveUpdate, On ? kLiveUpdateOn : kLiveUpdateOff);
  auto* link = static_cast<TScanPinLink*>(Row->Data());
  link->SetUpdateEnabled(On);
  link->LastValue = -1;
}

void THardDevicePinsPanel::SwitchRows(bool SelectedOnly, bool On) {
  if (SelectedOnly) {
    TdxTreeListNodeList selected;
    PinList->GetSelectedNodes(selected);
    for (TdxTreeListNode* row : selected)
      if (row->Level() == 0) SetRowSwitch(row, On);
  } else {
    for (int i = 0; i < PinList->Count(); ++i) SetRowSwitch(PinList->GetItem(i), On);
  }
  PinList->Invalidate();
}

void THardDevicePinsPanel::PinListEditing(TObject*, TdxTreeListNode* Node, bool& Allow) {
  if (Node && Node->Level() > 0 &&
      PinList->FocusedColumn() == PinList->GetFocusedVisibleIndex(PinColumn_LiveUpdate->Index()))
    Allow = false;
}

void THardDevicePinsPanel::PinColumn_LiveUpdateToggleClick(TObject*, const WideString&, TdxCheckBoxState State) {
  TdxTreeListNode* row = PinList->FocusedNode();
  if (!row || row->Level() != 0) return;
  const bool on = State == cbsChecked;
  row->SetString(pcLiveUpdate, on ? kLiveUpdateOn : kLiveUpdateOff);
  auto* link = static_cast<TScanPinLink*>(row->Data());
  link->SetUpdateEnabled(on);
  // Its highlights were cleared when it was switched off: the next cycle writes it again.
  if (on) link->LastValue = -1;
  PinList->Invalidate();
}

void THardDevicePinsPanel::UpdateMenuItems() {
  TdxTreeListNodeList selected;
  PinList->GetSelectedNodes(selected);
  const bool anyPin = std::any_of(selected.begin(), selected.end(), [](TdxTreeListNode* n) { return n->Level() == 0; });
  MenuItem_EnableSelected->SetEnabled(anyPin);
  MenuItem_DisableSelected->SetEnabled(anyPin);
  MenuItem_ClearSelections->SetEnabled(!selected.empty());
}

void THardDevicePinsPanel::PinListMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button != TMouseButton::mbRight) return;
  UpdateMenuItems();
  POINT cursor{};
  GetCursorPos(&cursor);
  PopupMenu_PinList->SetPopupComponent(PinList);
  PopupMenu_PinList->Popup(cursor.x, cursor.y);
}

void THardDevicePinsPanel::MenuItem_ClearSelectionsClick(TObject*) { PinList->ClearSelection(); }

void THardDevicePinsPanel::PinListCustomDrawCell(TObject*, TCanvas&, RECT, TdxTreeListNode* ANode, TdxTreeListColumn*,
                                                 bool, bool, bool, WideString&, TColor&, TFont& AFont, TAlignment&,
                                                 bool&) {
  if (ANode && SameTextIgnoringCase(ANode->GetString(pcLiveUpdate), kLiveUpdateOff)) AFont.SetColor(kGreyText);
}

void THardDevicePinsPanel::CheckBox_HideUnassignedPinsClick(TObject*) { SetState_Controls(); }

// ---- Links

void THardDevicePinsPanel::ClearScanPinLinks() {
  for (auto* list : {ScanPinLinks_ByDesignator_Full.get(), ScanPinLinks_ByDesignator_Numeric.get(),
                     ScanPinLinks_ByFPGAPortName.get()})
    if (list) list->Clear();
  ScanPinLinks_UnSorted.clear();
}

void THardDevicePinsPanel::BuildScanPinLinks() {
  ClearScanPinLinks();
  if (!BSDLEntity) {
    PinList->ClearNodes();  // no row may keep a freed link
    return;
  }
  const IDeviceInformation information = JTagDevice ? JTagDevice.GetDeviceInformation() : IDeviceInformation();
  const int32_t count = BSDLEntity.GetPinCount();
  std::vector<IScanPin> pins;
  bool fullOnly = false;
  for (int32_t i = 0; i < count; ++i) {
    pins.push_back(BSDLEntity.GetPin(i));
    if (!pins.back().GetPinNumber().starts_with(L"P")) fullOnly = true;
  }
  std::vector<IDevicePin> devicePins;
  if (information)
    for (int32_t i = 0, n = information.GetDevicePinCount(); i < n; ++i) devicePins.push_back(information.GetDevicePin(i));
  for (const IScanPin& pin : pins) {
    const WideString numeric = NumericPinNumber(pin.GetPinNumber());
    IDevicePin device;
    for (const IDevicePin& candidate : devicePins)
      if (SameTextIgnoringCase(candidate.GetPinNumber(), numeric)) {
        device = candidate;
        break;
      }
    TScanPinLink* link = ScanPinLinks_UnSorted.emplace_back(std::make_unique<TScanPinLink>(pin, fullOnly, device)).get();
    ScanPinLinks_ByDesignator_Full->AddObject(link->PinNumber_Full(), link);
    ScanPinLinks_ByDesignator_Numeric->AddObject(link->PinNumber_Numeric(), link);
  }
}

TScanPinLink* THardDevicePinsPanel::FindScanPinLinkByDesignator(const WideString& Number) const {
  for (auto* list : {ScanPinLinks_ByDesignator_Full.get(), ScanPinLinks_ByDesignator_Numeric.get()}) {
    const int i = list->IndexOf(Number);
    if (i >= 0) return static_cast<TScanPinLink*>(list->Objects(i));
  }
  return nullptr;
}

TScanPinLink* THardDevicePinsPanel::FindScanPinLinkByPortName(const WideString& Name) const {
  const int i = ScanPinLinks_ByFPGAPortName->IndexOf(Name);
  return i >= 0 ? static_cast<TScanPinLink*>(ScanPinLinks_ByFPGAPortName->Objects(i)) : nullptr;
}

TDocumentLink* THardDevicePinsPanel::FindDocumentLink(const IDocument& Document) const {
  if (!Document) return nullptr;
  const int i = DocumentLinks->IndexOf(Document.GetFullPath());
  return i >= 0 ? static_cast<TDocumentLink*>(DocumentLinks->Objects(i)) : nullptr;
}

void THardDevicePinsPanel::AddDocumentLink(const IDocument& Document) {
  if (!Document || FindDocumentLink(Document)) return;
  auto link = std::make_unique<TDocumentLink>(Document);
  DocumentLinks->AddObject(Document.GetFullPath(), link.release());
}

void THardDevicePinsPanel::ClearDocumentLinks() {
  if (DocumentLinks) DocumentLinks->Clear();
}

TNetLink* THardDevicePinsPanel::LinkNet(TScanPinLink& Link, const INet& Net, TNetLinkKind Kind, int32_t BitIndex) {
  TNetLink* netLink = Link.AddNetLink(Net, BitIndex, Kind);
  for (int32_t i = 0, n = Net.GetObjectCount(); i < n; ++i)
    if (const IDMObject object = Net.GetObject(i)) AddDocumentLink(RecordAs<INetItem>(object).GetDocument());
  return netLink;
}

namespace {

bool IsParameterNamed(const WideString& Name, std::initializer_list<std::wstring_view> Names) {
  return std::any_of(Names.begin(), Names.end(), [&](std::wstring_view n) { return SameTextIgnoringCase(Name, WideString(n)); });
}

// The parameter's value split as comma text (commas and blanks separate, quotes group).
std::vector<WideString> SplitValue(const WideString& Value) {
  TStringList items;
  items.SetCommaText(Value);
  std::vector<WideString> result;
  for (int i = 0; i < items.Count(); ++i) result.push_back(items.Get(i));
  return result;
}

// The name of bit Item of a bus port: D(0), D(1)... upwards for bus order 1, else downwards.
WideString BusBitName(const INetItem& Port, int32_t Item, int32_t& BitIndex) {
  BitIndex = Port.GetBusIndex() + (Port.GetBusOrder() == 1 ? Item : -Item);
  return Port.GetPortName() + L"(" + IntToStr(BitIndex) + L")";
}

}  // namespace

void THardDevicePinsPanel::LinkPortPinNumbers(const INetItem& Port, TScanPinLink*& Current) {
  const auto name = [](const IParameter& p) { return p.GetName(); };
  for (int32_t k = 0, n = Port.GetParameterCount(); k < n; ++k) {
    const IParameter parameter = Port.GetParameter(k);
    if (!parameter || !IsParameterNamed(name(parameter), {host::kParameterPinNumber, host::kParameterPinNumberShort}))
      continue;
    const WideString value = parameter.GetValue();
    const std::vector<WideString> items = SplitValue(value);
    const int32_t width = Port.GetBusWidth();
    const auto take = [&](TScanPinLink& link, const WideString& portName) {
      link.NetName_FPGA = portName;
      link.PortDirection = Port.GetPortDirection();
      link.IOStandard = FDevicePinDefaultIOStandard;
      ScanPinLinks_ByFPGAPortName->AddObject(portName, &link);
    };
    if (width > 1 && int32_t(items.size()) == width) {
      const INet bus = Port.GetHigherLevelNet();
      const int32_t members = bus ? bus.GetMemberNetCount() : 0;
      for (int32_t i = 0; i < width; ++i) {
        const INet member = i < members ? bus.GetMemberNet(i) : INet();
        int32_t bit = 0;
        const WideString bitName = BusBitName(Port, i, bit);
        Current = FindScanPinLinkByDesignator(items[std::size_t(i)]);
        if (!Current || !member || IsSupplyPin(Current->ScanPin())) continue;
        LinkNet(*Current, member, eNetLink_Bus, bit)->FPGAProject_Port = Port;
        take(*Current, bitName);
      }
    } else {
      Current = FindScanPinLinkByDesignator(value);
      if (!Current || IsSupplyPin(Current->ScanPin())) continue;
      LinkNet(*Current, Port.GetHigherLevelNet(), eNetLink_Wire, -1);
      take(*Current, Port.GetPinName());
    }
  }
}

void THardDevicePinsPanel::LinkPortAttributes(const INetItem& Port, TScanPinLink* Current) {
  struct TAttribute {
    std::wstring_view Name;
    WideString TScanPinLink::*Field;
  };
  static constexpr TAttribute kAttributes[] = {{host::kParameterIOStandard, &TScanPinLink::IOStandard},
                                               {host::kParameterSlew, &TScanPinLink::SlewRate},
                                               {host::kParameterDrive, &TScanPinLink::DriveStrength}};
  for (int32_t k = 0, n = Port.GetParameterCount(); k < n; ++k) {
    const IParameter parameter = Port.GetParameter(k);
    if (!parameter) continue;
    const WideString name = parameter.GetName();
    for (const TAttribute& attribute : kAttributes) {
      if (!SameTextIgnoringCase(name, WideString(attribute.Name))) continue;
      const WideString value = parameter.GetValue();
      const std::vector<WideString> items = SplitValue(value);
      const int32_t width = Port.GetBusWidth();
      if (width > 1 && int32_t(items.size()) == width) {
        for (int32_t i = 0; i < width; ++i) {
          int32_t bit = 0;
          Current = FindScanPinLinkByPortName(BusBitName(Port, i, bit));
          if (Current) Current->*attribute.Field = items[std::size_t(i)];
        }
      } else if (Current) {
        // A single value belongs to the link found last.
        Current->*attribute.Field = value;
      }
    }
  }
}

void THardDevicePinsPanel::LinkComponentPins(const IComponent& Component) {
  for (int32_t i = 0, n = Component.GetPinCount(); i < n; ++i) {
    const INetItem pin = Component.GetPin(i);
    if (!pin) continue;
    TScanPinLink* link = FindScanPinLinkByDesignator(pin.GetPinNumber());
    if (!link) continue;
    link->NetName_PCB = pin.GetNetName();
    INet net = pin.GetNet();
    if (!net) continue;
    if (const INet higher = pin.GetHigherLevelNet()) net = higher;
    if (link->ValidToLinkToNet(net)) LinkNet(*link, net, eNetLink_Wire, -1);
  }
}

void THardDevicePinsPanel::LinkNets() {
  if (!BSDLEntity) return;
  if (FPGALevel_Project) IFPGAProject::FromProject(FPGALevel_Project).SetTarget(Target);
  if (FPGALevel_SCHDocument) {
    for (int32_t i = 0, n = FPGALevel_SCHDocument.GetPortCount(); i < n; ++i) {
      const INetItem port = FPGALevel_SCHDocument.GetPort(i);
      if (!port) continue;
      TScanPinLink* current = nullptr;
      LinkPortPinNumbers(port, current);
      if (current && !current->NetName_FPGA.empty()) LinkPortAttributes(port, current);
    }
  }
  for (const IComponent* component : {&BoardLevel_SCHComponent, &BoardLevel_PCBComponent})
    if (*component) LinkComponentPins(*component);
}

void THardDevicePinsPanel::FindBoardComponents() {
  BoardLevel_Project.Clear();
  BoardLevel_SCHDocument.Clear();
  BoardLevel_SCHComponent.Clear();
  BoardLevel_PCBDocument.Clear();
  BoardLevel_PCBComponent.Clear();
  const TPCBComponentInfo* info = FPCBComponentInfoManager->GetPCBComponentInfoFromDescription(ComboBox_PCBComponent->Text());
  if (!info) return;
  const IWorkspace workspace = GetHostWorkspace();
  BoardLevel_Project = workspace ? workspace.GetProjectByPath(info->FProjectPath) : IProject();
  if (!BoardLevel_Project) return;
  for (int32_t i = BoardLevel_Project.GetDocumentCount() - 1; i >= 0; --i) {
    const IDocument document = BoardLevel_Project.GetDocument(i);
    if (IsPCBDocument(document)) {
      BoardLevel_PCBDocument = document;
      break;
    }
  }
  const auto findComponent = [&](const IDocument& document) {
    for (int32_t i = 0, n = document.GetComponentCount(); i < n; ++i) {
      const IComponent component = document.GetComponent(i);
      if (component && SameTextIgnoringCase(component.GetDesignator(), info->FComponentDesignator)) return component;
    }
    return IComponent();
  };
  if (const IDocument top = BoardLevel_Project.GetTopLevelDocument()) {
    BoardLevel_SCHDocument = top;
    BoardLevel_SCHComponent = findComponent(top);
  }
  if (BoardLevel_PCBDocument) {
    // A board that has not been read yet lists its components after the mappings are asked for.
    if (BoardLevel_PCBDocument.GetComponentCount() == 0)
      BoardLevel_Project.GetComponentMappings(BoardLevel_PCBDocument.GetFullPath());
    BoardLevel_PCBComponent = findComponent(BoardLevel_PCBDocument);
  }
}

void THardDevicePinsPanel::UpdatePCBComponentList() {
  TNotifyEvent change = std::move(ComboBox_PCBComponent->OnChange);
  ComboBox_PCBComponent->OnChange = nullptr;
  const WideString remembered = ComboBox_PCBComponent->Text();
  const auto restore = [&] { ComboBox_PCBComponent->OnChange = std::move(change); };
  try {
    FPCBComponentInfoManager->FLibraryReference = LibraryReference();
    FPCBComponentInfoManager->FTargetProjectPath = FPGAProjectPath;
    FPCBComponentInfoManager->UpdateComponentsList();
    TStrings& items = ComboBox_PCBComponent->Items();
    items.Clear();
    FPCBComponentInfoManager->FillComponentDescriptions(&items);
    const int index = remembered.empty() ? -1 : items.IndexOf(remembered);
    ComboBox_PCBComponent->SetItemIndex(index >= 0 ? index : (items.Count() > 0 ? 0 : -1));
  } catch (...) {
    restore();
    throw;
  }
  restore();
  ComboBox_PCBComponent->SetEnabled(ComboBox_PCBComponent->Items().Count() > 0);
}

void THardDevicePinsPanel::ResolveFPGAProject() {
  FPGALevel_SCHDocument.Clear();
  const IWorkspace workspace = GetHostWorkspace();
  FPGALevel_Project = workspace && !FPGAProjectPath.empty() ? workspace.GetProjectByPath(FPGAProjectPath) : IProject();
  if (FPGALevel_Project && GetSchematicServer()) FPGALevel_SCHDocument = FPGALevel_Project.GetTopLevelDocument();
}

void THardDevicePinsPanel::Rebuild() {
  for (const auto& link : ScanPinLinks_UnSorted) link->LastValue = -1;
  ResolveFPGAProject();
  TdxTreeListBand* band = PinList->Bands().GetItem(2);
  if (FPGALevel_Project) {
    band->SetCaption(L"To Project: " + FPGALevel_Project.GetFileName());
    Edit_TopDocumentFileName->SetText(FPGALevel_SCHDocument ? FPGALevel_SCHDocument.GetFileName() : WideString());
  } else {
    band->SetCaption(L"No Project Assigned");
    Edit_TopDocumentFileName->SetText(L"");
  }
  if (RebuildPCBComponentLinksRequired) UpdatePCBComponentList();
  FindBoardComponents();
  BuildScanPinLinks();
  LinkNets();
  SetState_Controls();
  RebuildRequired = false;
}

void THardDevicePinsPanel::ResetLinks() {
  for (const auto& link : ScanPinLinks_UnSorted) link->ClearNetLinks();
  ClearDocumentLinks();
  FPGALevel_SCHDocument.Clear();
  FPGALevel_Project.Clear();
  BoardLevel_Project.Clear();
  BoardLevel_SCHComponent.Clear();
  BoardLevel_SCHDocument.Clear();
  BoardLevel_PCBComponent.Clear();
  BoardLevel_PCBDocument.Clear();
  RebuildRequired = true;
}

void THardDevicePinsPanel::SetProjectDetails(const WideString& AProjectPath, const WideString& ATarget) {
  if (SameTextIgnoringCase(AProjectPath, FPGAProjectPath) && SameTextIgnoringCase(ATarget, Target)) return;
  FPGAProjectPath = AProjectPath;
  Target = ATarget;
  SetIOAttributeItemsVisible(!AProjectPath.empty());
  ResetLinks();
  IgnoreNotifications = true;
  try {
    Rebuild();
  } catch (...) {
    IgnoreNotifications = false;
    throw;
  }
  IgnoreNotifications = false;
}

void THardDevicePinsPanel::RebuildLinks(bool RefillCombo) {
  // Live update stops while the links are rebuilt and resumes after (its click runs both ways).
  const bool live = CheckBox_ScanPins->Checked();
  CheckBox_ScanPins->SetChecked(false);
  IgnoreNotifications = true;
  RebuildPCBComponentLinksRequired = RefillCombo;
  try {
    ResetLinks();
    Rebuild();
  } catch (...) {
    IgnoreNotifications = false;
    RebuildPCBComponentLinksRequired = true;
    CheckBox_ScanPins->SetChecked(live);
    throw;
  }
  IgnoreNotifications = false;
  RebuildPCBComponentLinksRequired = true;
  CheckBox_ScanPins->SetChecked(live);
}

// ---- The host's side

HRESULT THardDevicePinsPanel::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  IDispatch* const chain[] = {Impl_TimerHandler.Get(), Impl_ComponentPinSelectionListener.Get(),
                              Impl_ModelEditorSelectionListener.Get()};
  HRESULT hr = kE_NOTIMPL;
  for (IDispatch* handler : chain) {
    hr = handler->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
    if (hr == S_OK) break;
  }
  return hr;
}

HRESULT THardDevicePinsPanel::SupportsService(BSTR ServiceName, ByteBool* Supported) {
  ISupportService* const chain[] = {Impl_TimerHandler.Get(), Impl_ComponentPinSelectionListener.Get(),
                                    Impl_ModelEditorSelectionListener.Get()};
  if (Supported) *Supported = 0;
  for (ISupportService* handler : chain) {
    ByteBool supported = 0;
    const HRESULT hr = handler->SupportsService(ServiceName, &supported);
    if (FAILED(hr)) return hr;
    if (supported) {
      if (Supported) *Supported = 1;
      break;
    }
  }
  return S_OK;
}

void THardDevicePinsPanel::HandleTimerEvent(uint32_t) {}  // the scan cycle comes with the views

void THardDevicePinsPanel::SelectPins(bool, const WideString&) {}  // the views report selections

void THardDevicePinsPanel::GetHelpKeyword(TControl* control, WideString& keyword) {
  if (control == this) keyword = L"HardDevicePinsPanel";
  else TServerPanelForm::GetHelpKeyword(control, keyword);
}

void THardDevicePinsPanel::SetMouseHandler(const TMouseEvent& AnEvent) { Panel_Pins->OnMouseDown = AnEvent; }

int THardDevicePinsPanel::GetPreferredWidth() {
  return Panel_Pins->Width() + Splitter_Vertical->Width() + Panel_Symbols->Width() + 12;
}

int THardDevicePinsPanel::GetPreferredHeight() {
  return Panel_Pins->Height() + Splitter_Horizontal->Height() + Panel_Bottom->Height() + 12;
}

void THardDevicePinsPanel::SetVisible() {
  if (const IClient client = GetHostClient()) client.GetGUIManager().SetPanelVisible(FPanelName, true);
}

void THardDevicePinsPanel::SetHidden() {
  if (const IClient client = GetHostClient()) client.GetGUIManager().SetPanelVisible(FPanelName, false);
}

// ---- Registration

#define TVK_PINS_PANEL_VIEW_OPERATIONS(X) \
  X(577, GetCategory)                    \
  X(578, GetSubcategory)
#define TVK_ROW_PinsPanelView(Id, Name) TVK_SERVED_ROW(THardDevicePinsPanelView, Id, Name),
static constexpr TServedRow<THardDevicePinsPanelView> kPinsPanelViewRows[] = {
    TVK_PINS_PANEL_VIEW_OPERATIONS(TVK_ROW_PinsPanelView)};
#undef TVK_ROW_PinsPanelView
static_assert(kPinsPanelViewRows[0].Id == host::kDispServerView_Category &&
              kPinsPanelViewRows[1].Id == host::kDispServerView_Subcategory);
TVK_SERVED_LEVEL_IMPL(THardDevicePinsPanelView, TServerPanelView, kPinsPanelViewRows,
                      host::kCategorizedServerViewService)

HRESULT THardDevicePinsPanelView::GetCategory(WideString& category) {
  category = WideString(host::kInstrumentsCategory);
  return S_OK;
}

HRESULT THardDevicePinsPanelView::GetSubcategory(WideString& subcategory) {
  subcategory.clear();
  return S_OK;
}

THardDevicePinsPanel* CreatePinStatesPanel(const ITovikDevice& ATovikDevice, const IJTagDevice& AJTagDevice) {
  std::unique_ptr<THardDevicePinsPanel> panel(CreateComponent<THardDevicePinsPanel>(ATovikDevice, AJTagDevice));
  // The view owns the panel from here on.
  THardDevicePinsPanel* result = panel.get();
  const WideString panelName = result->FPanelName;
  ComRef<THardDevicePinsPanelView> view(New<THardDevicePinsPanelView>(panelName, panel.get()));
  panel.release();
  const IClient client = GetHostClient();
  if (!client) throw Exception(L"No host client");
  client.AddServerView(IServerView(view.Get()));
  WideString name;
  view->GetViewName(name);
  client.GetGUIManager().SetPanelSize(name, result->GetPreferredWidth(), result->GetPreferredHeight());
  return result;
}

void DestroyPinStatesPanel(THardDevicePinsPanel*& APanel) {
  if (!APanel) return;
  const WideString name = APanel->FPanelName;
  APanel = nullptr;
  const IClient client = GetHostClient();
  if (!client) return;
  if (const IServerView view = client.GetServerViewByName(name)) client.RemoveServerView(view);
}

}  // namespace tvk
