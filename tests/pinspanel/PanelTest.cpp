// The panel's rows, details, options, switches and menu.
#include "PinsPanelTest.h"

#include "HostConstants.h"
#include "ModuleCalls.h"
#include "SimRack.h"

namespace pinspanel_test {

namespace {

using tvk::THardDevicePinsPanel;
using tvk::TdxTreeListNode;

const std::wstring kServer(tvk::host::kOptionsServer), kSection(tvk::host::kPinStatesSection);

std::vector<std::wstring> Children(const TdxTreeListNode* row) {
  std::vector<std::wstring> names;
  for (int i = 0; i < row->Count(); ++i) names.push_back(row->GetItem(i)->GetString(tvk::pcPinName));
  return names;
}

TEST(PinsPanelFormat, Opcodes) {
  struct {
    int64_t Opcode;
    int32_t Bits;
    const wchar_t* Text;
  } const cases[] = {
      {2, 4, L"2H  0010"},
      {2, 5, L"02H  0-0010"},
      {10, 16, L"000AH  0000-0000-0000-1010"},
      {-1, 5, L"Undefined"},
      {0x1E, 5, L"1EH  1-1110"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Text, THardDevicePinsPanel::FormatOpcode(c.Opcode, c.Bits)) << c.Opcode;
}

TEST(PinsPanelFormat, NumericPinNumbers) {
  for (auto [number, numeric] : {std::pair{L"P17", L"17"}, {L"P", L""}, {L"A3", L"A3"}, {L"PA", L"PA"}, {L"p5", L"p5"}})
    EXPECT_EQ(numeric, tvk::NumericPinNumber(number)) << number;
}

TEST_F(PinsPanel, RowsFollowTheDescription) {
  Create();
  EXPECT_EQ(0, Panel->PinList->Count());  // empty until the viewer asks
  Panel->SetState_Controls();
  ASSERT_EQ(3, Panel->PinList->Count());
  // A pin with a cell whose control and target cells follow, control first.
  TdxTreeListNode* pa0 = Row(0);
  EXPECT_EQ(L"PA0", pa0->GetString(tvk::pcPinName));
  EXPECT_EQ(L"I/O", pa0->GetString(tvk::pcIO));
  EXPECT_EQ(L"Normal", pa0->GetString(tvk::pcKind));
  EXPECT_EQ(L"True", pa0->GetString(tvk::pcLiveUpdate));
  EXPECT_EQ(L"10", pa0->GetString(tvk::pcNumber));
  EXPECT_EQ(19, pa0->ImageIndex());
  ASSERT_EQ(std::vector<std::wstring>{L"Cell 2"}, Children(pa0));
  TdxTreeListNode* cell = pa0->GetItem(0);
  EXPECT_EQ(L"PA0", cell->GetString(tvk::pcIO));
  EXPECT_EQ(L"BC_7", cell->GetString(tvk::pcKind));
  EXPECT_EQ(L"None", cell->GetString(tvk::pcLiveUpdate));
  EXPECT_EQ(41, cell->ImageIndex());
  EXPECT_EQ((std::vector<std::wstring>{L"Control Cell 0", L"Target Cell 1"}), Children(cell));
  // An unnamed pin takes its cell's port; a pin without cells has no children.
  EXPECT_EQ(L"PB5", Row(1)->GetString(tvk::pcPinName));
  EXPECT_EQ(L"VDD", Row(2)->GetString(tvk::pcPinName));
  EXPECT_EQ(L"Power", Row(2)->GetString(tvk::pcKind));
  EXPECT_EQ(0, Row(2)->Count());
  // Row data: links on top, wrappers below.
  EXPECT_EQ(Panel->ScanPinLinks_UnSorted[0].get(), pa0->Data());
  EXPECT_EQ(pa0, Panel->ScanPinLinks_UnSorted[0]->TreeNode);
  EXPECT_EQ(4u, Panel->CellWrappers.size());
  EXPECT_EQ(L"STM32F103C8 Pin States on JTAG 1", Panel->Caption());
}

TEST_F(PinsPanel, DetailsShowTheDescription) {
  Create();
  Panel->Edit_Pin_TRST->SetText(L"kept");
  Panel->SetState_Controls();
  EXPECT_EQ(L"5", Panel->Edit_InstructionLength->Text());
  EXPECT_EQ(L"3BA00477", Panel->Edit_IdCode->Text());
  EXPECT_EQ(L"4", Panel->Edit_BoundaryLength->Text());
  EXPECT_EQ(L"3", Panel->Edit_PinCount->Text());
  EXPECT_EQ(L"10", Panel->Edit_Pin_TDI->Text());
  EXPECT_EQ(L"kept", Panel->Edit_Pin_TRST->Text());  // no TRST pin: the text stays
  EXPECT_EQ(L"02H  0-0010", Panel->Edit_Instruction_SAMPLE->Text());
  EXPECT_EQ(L"1EH  1-1110", Panel->Edit_Instruction_IDCODE->Text());
  EXPECT_EQ(L"Undefined", Panel->Edit_Instruction_HIGHZ->Text());
  EXPECT_EQ(L"10.00 MHz", Panel->Edit_ScanClockMaxSpeed->Text());
  EXPECT_EQ(L"Low", Panel->Edit_ScanClockHaltMode->Text());
  EXPECT_EQ(L"STM32F1_Test.bsd", Panel->Edit_BSDLFilename->Text());
  EXPECT_EQ(L"STD_1149_1_2001", Panel->Edit_ConformanceStatement->Text());
}

TEST_F(PinsPanel, WithoutADescriptionNothingChanges) {
  JTag->SetBsdlEntity(nullptr);
  Create();
  Panel->SetState_Controls();
  EXPECT_EQ(0, Panel->PinList->Count());
  EXPECT_TRUE(Panel->ScanPinLinks_UnSorted.empty());
  EXPECT_EQ(L"Not Defined", Panel->Edit_Instruction_SAMPLE->Text());
}

TEST_F(PinsPanel, OptionsDefaultReadAndWrittenBack) {
  Create();
  // Defaults: the designed columns, the library box checked.
  EXPECT_TRUE(Panel->CheckBox_InstallLibrary->Checked());
  for (auto* column : {Panel->PinColumn_PinName, Panel->PinColumn_IO, Panel->PinColumn_Kind,
                       static_cast<tvk::TdxTreeListColumn*>(Panel->PinColumn_LiveUpdate), Panel->PinColumn_Number,
                       Panel->PinColumn_PortName, Panel->PinColumn_PortDirection,
                       static_cast<tvk::TdxTreeListColumn*>(Panel->PinColumn_Value)})
    EXPECT_TRUE(column->Visible()) << column->Name();
  for (auto* column : {Panel->PinColumn_BankNumber, Panel->PinColumn_IOPin, Panel->PinColumn_VREFPin,
                       Panel->PinColumn_CLKPin, Panel->PinColumn_ConfigPin, Panel->PinColumn_IOStandard})
    EXPECT_FALSE(column->Visible()) << column->Name();
  Destroy();
  EXPECT_EQ(16u, Panels->OptionCount());
  EXPECT_EQ(true, Panels->Option(kServer, kSection, L"Auto Install Library"));
  EXPECT_EQ(true, Panels->Option(kServer, kSection, L"Pin Direction"));
  EXPECT_EQ(false, Panels->Option(kServer, kSection, L"IO Bank #"));

  // Stored values set the check marks; the IO attributes stay hidden without a project.
  Panels->SetOption(kServer, kSection, L"Pin Name", false);
  Panels->SetOption(kServer, kSection, L"IO Bank #", true);
  Panels->SetOption(kServer, kSection, L"IO Standard", true);
  Panels->SetOption(kServer, kSection, L"Auto Install Library", false);
  Create();
  EXPECT_FALSE(Panel->PinColumn_PinName->Visible());
  EXPECT_TRUE(Panel->PinColumn_BankNumber->Visible());
  EXPECT_TRUE(Panel->MenuItem_IOStandard->Checked());
  EXPECT_FALSE(Panel->PinColumn_IOStandard->Visible());
  EXPECT_FALSE(Panel->CheckBox_InstallLibrary->Checked());
  Panel->SetProjectDetails(L"C:\\Fpga\\Top.PrjFpg", L"Board");
  EXPECT_TRUE(Panel->PinColumn_IOStandard->Visible());
  // An item's click toggles its own mark and the column with it.
  Panel->MenuItem_PinType->Click();
  EXPECT_FALSE(Panel->PinColumn_Kind->Visible());
  Destroy();
  EXPECT_EQ(false, Panels->Option(kServer, kSection, L"Pin Type"));
  EXPECT_EQ(false, Panels->Option(kServer, kSection, L"Auto Install Library"));
}

TEST_F(PinsPanel, SwitchesMenuAndGreyText) {
  Create();
  Panel->SetState_Controls();
  // Only cell rows selected: the selection items are off.
  Row(0)->GetItem(0)->SetSelected(true);
  Panel->UpdateMenuItems();
  EXPECT_FALSE(Panel->MenuItem_EnableSelected->Enabled());
  EXPECT_FALSE(Panel->MenuItem_DisableSelected->Enabled());
  EXPECT_TRUE(Panel->MenuItem_ClearSelections->Enabled());
  Row(1)->SetSelected(true);
  Panel->UpdateMenuItems();
  EXPECT_TRUE(Panel->MenuItem_DisableSelected->Enabled());
  Panel->MenuItem_DisableSelected->Click();
  EXPECT_EQ(L"False", Row(1)->GetString(tvk::pcLiveUpdate));
  EXPECT_FALSE(Panel->ScanPinLinks_UnSorted[1]->UpdateEnabled());
  EXPECT_EQ(L"True", Row(0)->GetString(tvk::pcLiveUpdate));
  EXPECT_EQ(L"None", Row(0)->GetItem(0)->GetString(tvk::pcLiveUpdate));  // cell rows take no switch

  // A switched-off row draws grey; others keep their colour.
  tvk::TFont font;
  font.SetColor(tvk::clBlack);
  tvk::WideString text;
  tvk::TColor color = tvk::clWindow;
  tvk::TAlignment alignment = tvk::TAlignment::taLeftJustify;
  bool done = false;
  tvk::TBitmap canvasOwner;
  canvasOwner.SetSize(4, 4);
  Panel->PinListCustomDrawCell(nullptr, canvasOwner.Canvas(), RECT{}, Row(0), nullptr, false, false, false, text, color,
                               font, alignment, done);
  EXPECT_EQ(tvk::clBlack, font.Color());
  Panel->PinListCustomDrawCell(nullptr, canvasOwner.Canvas(), RECT{}, Row(1), nullptr, false, false, false, text, color,
                               font, alignment, done);
  EXPECT_EQ(tvk::TColor(0xFF000011), font.Color());

  Panel->MenuItem_EnableAllClick(nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(L"True", Row(i)->GetString(tvk::pcLiveUpdate));
  Panel->MenuItem_ClearSelectionsClick(nullptr);
  EXPECT_EQ(0, Panel->PinList->SelectedCount());
}

TEST_F(PinsPanel, CellRowsRefuseTheSwitch) {
  Create();
  Panel->SetState_Controls();
  Panel->PinList->Handle();
  Panel->PinList->SetFocusedColumn(Panel->PinList->GetFocusedVisibleIndex(Panel->PinColumn_LiveUpdate->Index()));
  bool allow = true;
  Panel->PinListEditing(nullptr, Row(0)->GetItem(0), allow);
  EXPECT_FALSE(allow);
  allow = true;
  Panel->PinListEditing(nullptr, Row(0), allow);
  EXPECT_TRUE(allow);
  // A toggle on a focused cell row changes nothing.
  Panel->PinList->SetFocusedNode(Row(0)->GetItem(0));
  Panel->PinColumn_LiveUpdateToggleClick(nullptr, L"", tvk::cbsUnchecked);
  EXPECT_EQ(L"None", Row(0)->GetItem(0)->GetString(tvk::pcLiveUpdate));
  Panel->PinList->SetFocusedNode(Row(2));
  Panel->PinColumn_LiveUpdateToggleClick(nullptr, L"", tvk::cbsUnchecked);
  EXPECT_EQ(L"False", Row(2)->GetString(tvk::pcLiveUpdate));
  EXPECT_FALSE(Panel->ScanPinLinks_UnSorted[2]->UpdateEnabled());
  // Switched on again, it has no last value: the next cycle writes its documents again.
  Panel->ScanPinLinks_UnSorted[2]->LastValue = 1;  // followed the samples while off
  Panel->PinColumn_LiveUpdateToggleClick(nullptr, L"", tvk::cbsChecked);
  EXPECT_EQ(L"True", Row(2)->GetString(tvk::pcLiveUpdate));
  EXPECT_TRUE(Panel->ScanPinLinks_UnSorted[2]->UpdateEnabled());
  EXPECT_EQ(-1, Panel->ScanPinLinks_UnSorted[2]->LastValue);
}

TEST_F(PinsPanel, HideUnassignedBothWays) {
  Create();
  Panel->SetState_Controls();
  Panel->ScanPinLinks_UnSorted[1]->NetName_FPGA = L"LED";
  Panel->CheckBox_HideUnassignedPins->SetChecked(true);  // runs its click
  ASSERT_EQ(1, Panel->PinList->Count());
  EXPECT_EQ(L"LED", Row(0)->GetString(tvk::pcPortName));
  EXPECT_FALSE(Panel->ScanPinLinks_UnSorted[0]->UpdateEnabled());
  EXPECT_EQ(nullptr, Panel->ScanPinLinks_UnSorted[0]->TreeNode);
  Panel->CheckBox_HideUnassignedPins->SetChecked(false);
  ASSERT_EQ(3, Panel->PinList->Count());
  for (const auto& link : Panel->ScanPinLinks_UnSorted) EXPECT_TRUE(link->UpdateEnabled());
}

// A rebuild of a large description paints the list once, inside one update bracket.
TEST_F(PinsPanel, ARebuildOfManyPinsPaintsOnce) {
  for (int i = 0; i < 300; ++i) {
    auto* pin = new tvk::TScanPin(Description.get());
    pin->SetPinName(L"IO" + std::to_wstring(i));
    pin->SetPinNumber(std::to_wstring(100 + i));
    Description->AddPin(pin);
  }
  Create();
  Panel->SetState_Controls();
  Panel->Show();
  hostsim::PumpMessages();
  int paints = 0;
  Panel->PinList->OnCustomDrawCell = [&paints](auto&&...) { ++paints; };
  Panel->PinList->Invalidate();
  Panel->PinList->Update();
  const int perPaint = paints;
  ASSERT_GT(perPaint, 0);
  paints = 0;
  Panel->SetState_Controls();
  EXPECT_EQ(303, Panel->PinList->Count());
  Panel->PinList->Update();
  hostsim::PumpMessages();
  EXPECT_EQ(perPaint, paints);
}

}  // namespace

}  // namespace pinspanel_test

namespace pinspanel_test {

namespace {

TEST(PinsPanelFormat, CommaTextSplitsAndQuotes) {
  struct {
    const wchar_t* Text;
    std::vector<std::wstring> Items;
  } const cases[] = {
      {L"10,11,12,13", {L"10", L"11", L"12", L"13"}},
      {L" 10, 11 12", {L"10", L"11", L"12"}},
      {L"\"a b\",c", {L"a b", L"c"}},
      {L"\"say \"\"hi\"\"\"", {L"say \"hi\""}},
      {L"a,,b", {L"a", L"", L"b"}},
      {L"a,", {L"a", L""}},
      {L"", {}},
  };
  for (const auto& c : cases) {
    tvk::TStringList list;
    list.SetCommaText(c.Text);
    std::vector<std::wstring> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
    EXPECT_EQ(c.Items, items) << std::wstring(c.Text).size();
  }
  tvk::TStringList list;
  for (const wchar_t* item : {L"x", L"a b", L"", L"q\""}) list.Add(item);
  EXPECT_EQ(L"x,\"a b\",\"\",\"q\"\"\"", list.CommaText());
}

}  // namespace

}  // namespace pinspanel_test
