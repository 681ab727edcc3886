// The pins' links to the ports of the FPGA project and the nets of the board
// project, on a simulated design database.
#include "PinsPanelTest.h"

#include "HostConstants.h"
#include "SimDesign.h"
#include "SimDeviceLink.h"

namespace pinspanel_test {

namespace {

using hostsim::SimDesignItem;
using tvk::TScanPinLink;

const std::wstring kFpgaProject = L"C:\\Design\\Fpga\\Top.PrjFpg";
const std::wstring kSheet = L"C:\\Design\\Fpga\\Top.SchDoc";
const std::wstring kDevice = L"STM32F103C8";  // the panel's library reference

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetFullPathNameW(HOSTSIM_SYSTEM_DIR, MAX_PATH + 1, folder, nullptr);
  return folder;
}

class PinLinks : public PinsPanel {
protected:
  void SetUp() override {
    PinsPanel::SetUp();
    Design = std::make_unique<hostsim::SimDesign>(Host, SystemFolder());
    ASSERT_TRUE(Design->Installed());
  }
  void TearDown() override {
    Destroy();
    Design.reset();
    PinsPanel::TearDown();
  }

  // A description of the given pin numbers (a "!" in front: a ground pin).
  void UseDescription(std::initializer_list<std::wstring> numbers) {
    Description = std::make_unique<tvk::TBSDLEntity>();
    Description->Name = L"Links";
    Description->FProcessedBoundaryInfo = true;
    for (const std::wstring& text : numbers) {
      const bool ground = text.starts_with(L"!");
      auto* pin = new tvk::TScanPin(Description.get());
      pin->SetPinName(L"IO" + text);
      pin->SetPinNumber(ground ? text.substr(1) : text);
      pin->SetDirection(ground ? tvk::eElectricPower : tvk::eElectricIO);
      pin->SetKind(ground ? tvk::eScanPinKind_Ground : tvk::eScanPinKind_Normal);
      Description->AddPin(pin);
    }
    JTag->SetBsdlEntity(Description->GetImpl());
  }

  SimDesignItem& FpgaSheet() {
    if (!Sheet) {
      SimDesignItem& project = Design->AddProject(kFpgaProject, L"FPGAPROJECT");
      FpgaProjectItem = &project;
      Sheet = &Design->AddDocument(project, kSheet, L"SCH", true);
    }
    return *Sheet;
  }

  // A bus port D of four bits over the nets D0..D3; answers the member nets.
  std::vector<SimDesignItem*> AddBusPort(long busIndex, long busOrder, const std::wstring& pinNumbers) {
    SimDesignItem& sheet = FpgaSheet();
    SimDesignItem& bus = Design->AddNet(sheet, L"D[0..3]");
    std::vector<SimDesignItem*> members;
    for (long i = 0; i < 4; ++i) {
      members.push_back(&Design->AddNet(sheet, L"D" + std::to_wstring(i)));
      Design->AddMemberNet(bus, *members.back(), i);
    }
    BusPort = &Design->AddPort(sheet, L"D", &bus, 4, busIndex, busOrder);
    Design->AddParameter(*BusPort, L"FPGA_PINNUM", pinNumbers);
    return members;
  }

  TScanPinLink& Link(const wchar_t* number) {
    TScanPinLink* link = Panel->FindScanPinLinkByDesignator(number);
    if (!link) throw std::runtime_error("no link");
    return *link;
  }

  std::unique_ptr<hostsim::SimDesign> Design;
  SimDesignItem* Sheet = nullptr;
  SimDesignItem* FpgaProjectItem = nullptr;
  SimDesignItem* BusPort = nullptr;
};

TEST_F(PinLinks, ShorteningNeedsEveryNumberToBeginWithP) {
  UseDescription({L"P1", L"P17", L"P"});
  Create();
  EXPECT_EQ(&Link(L"P17"), Panel->FindScanPinLinkByDesignator(L"17"));
  EXPECT_EQ(L"", Link(L"P").PinNumber_Numeric());
  Destroy();

  UseDescription({L"P12", L"A3"});
  Create();
  EXPECT_EQ(nullptr, Panel->FindScanPinLinkByDesignator(L"12"));
  EXPECT_EQ(L"P12", Link(L"P12").PinNumber_Numeric());
}

TEST_F(PinLinks, BusPortBitsInBothOrders) {
  struct {
    long Index, Order;
    const wchar_t* Names[4];
    int32_t Bits[4];
  } const cases[] = {
      {0, 1, {L"D(0)", L"D(1)", L"D(2)", L"D(3)"}, {0, 1, 2, 3}},
      {3, 0, {L"D(3)", L"D(2)", L"D(1)", L"D(0)"}, {3, 2, 1, 0}},
  };
  const wchar_t* const pins[] = {L"10", L"11", L"12", L"13"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Order);
    Design.reset();  // hands the workspace back before the next takes its place
    Design = std::make_unique<hostsim::SimDesign>(Host, SystemFolder());
    Sheet = nullptr;
    UseDescription({L"10", L"11", L"12", L"13"});
    const std::vector<SimDesignItem*> members = AddBusPort(c.Index, c.Order, L"10,11,12,13");
    Design->AddPin(nullptr, L"1", members[0], L"D");  // a sheet pin on a bit: the sheet is linked
    Create();
    Panel->SetProjectDetails(kFpgaProject, L"Board1");
    for (int i = 0; i < 4; ++i) {
      TScanPinLink& link = Link(pins[i]);
      EXPECT_EQ(c.Names[i], link.NetName_FPGA);
      EXPECT_EQ(&link, Panel->FindScanPinLinkByPortName(c.Names[i]));
      EXPECT_EQ(Panel->FDevicePinDefaultIOStandard, link.IOStandard);
      EXPECT_EQ(L"Output", link.PortDirection);
      ASSERT_EQ(1u, link.NetLinks.size());
      const tvk::TNetLink& net = *link.NetLinks[0];
      EXPECT_EQ(tvk::eNetLink_Bus, net.NetLinkKind);
      EXPECT_EQ(c.Bits[i], net.BitIndex);
      EXPECT_EQ(static_cast<IDispatch*>(members[std::size_t(i)]), net.TargetNet.ToPointer());
      EXPECT_EQ(static_cast<IDispatch*>(BusPort), net.FPGAProject_Port.ToPointer());
      ASSERT_NE(nullptr, link.TreeNode);
      EXPECT_EQ(c.Names[i], link.TreeNode->GetString(tvk::pcPortName));
    }
    EXPECT_EQ(L"To Project: Top.PrjFpg", Panel->PinList->Bands().GetItem(2)->Caption());
    EXPECT_EQ(L"Top.SchDoc", Panel->Edit_TopDocumentFileName->Text());
    EXPECT_EQ(1u, FpgaProjectItem->CallCount(hostsim::disp::Project_SetTarget));
    EXPECT_NE(nullptr, Panel->FindDocumentLink(tvk::IDocument(Sheet)));
    Destroy();
  }
}

TEST_F(PinLinks, FewerItemsThanTheBusIsOnePinNumberAndFindsNothing) {
  UseDescription({L"10", L"11", L"12", L"13"});
  AddBusPort(0, 1, L"10,11");
  Create();
  Panel->SetProjectDetails(kFpgaProject, L"");
  for (const wchar_t* pin : {L"10", L"11"}) {
    EXPECT_EQ(L"", Link(pin).NetName_FPGA);
    EXPECT_TRUE(Link(pin).NetLinks.empty());
  }
  EXPECT_EQ(0, Panel->ScanPinLinks_ByFPGAPortName->Count());
}

TEST_F(PinLinks, AttributesGoToTheLastBitOrBitByBit) {
  UseDescription({L"10", L"11", L"12", L"13", L"20", L"!21"});
  AddBusPort(0, 1, L"10,11,12,13");
  Design->AddParameter(*BusPort, L"fpga_iostandard", L"LVCMOS33");
  Design->AddParameter(*BusPort, L"FPGA_SLEW", L"FAST SLOW FAST \"SLOW\"");
  // A single port: its attributes whole; a port on a ground pin links nothing.
  SimDesignItem& clock = Design->AddPort(FpgaSheet(), L"CLK", &Design->AddNet(FpgaSheet(), L"CLK"), 1, 0, 0, L"Input");
  Design->AddParameter(clock, L"FPGA_DRIVE", L"12");  // before the pin number: read after it all the same
  Design->AddParameter(clock, L"PINNUM", L"20");
  SimDesignItem& ground = Design->AddPort(FpgaSheet(), L"GNDPORT", &Design->AddNet(FpgaSheet(), L"G"));
  Design->AddParameter(ground, L"FPGA_PINNUM", L"21");
  Design->AddParameter(ground, L"FPGA_IOSTANDARD", L"LVDS");
  Create();
  Panel->SetProjectDetails(kFpgaProject, L"");

  const std::wstring fallback = Panel->FDevicePinDefaultIOStandard;
  ASSERT_NE(L"LVCMOS33", fallback);
  const wchar_t* const slews[] = {L"FAST", L"SLOW", L"FAST", L"SLOW"};
  const wchar_t* const pins[] = {L"10", L"11", L"12", L"13"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(i == 3 ? L"LVCMOS33" : fallback, Link(pins[i]).IOStandard) << pins[i];
    EXPECT_EQ(slews[i], Link(pins[i]).SlewRate) << pins[i];
  }
  EXPECT_EQ(L"CLK", Link(L"20").NetName_FPGA);
  EXPECT_EQ(L"12", Link(L"20").DriveStrength);
  EXPECT_EQ(L"Input", Link(L"20").PortDirection);
  ASSERT_EQ(1u, Link(L"20").NetLinks.size());
  EXPECT_EQ(tvk::eNetLink_Wire, Link(L"20").NetLinks[0]->NetLinkKind);
  EXPECT_EQ(-1, Link(L"20").NetLinks[0]->BitIndex);
  EXPECT_EQ(L"", Link(L"21").NetName_FPGA);
  EXPECT_EQ(L"", Link(L"21").IOStandard);
  EXPECT_TRUE(Link(L"21").NetLinks.empty());
}

TEST_F(PinLinks, WithoutAProjectNothingIsLinkedAndTheAttributesHide) {
  UseDescription({L"10"});
  AddBusPort(0, 1, L"10,11,12,13");
  Create();
  Panel->SetProjectDetails(L"C:\\Design\\Elsewhere.PrjFpg", L"");
  EXPECT_EQ(L"No Project Assigned", Panel->PinList->Bands().GetItem(2)->Caption());
  EXPECT_TRUE(Panel->MenuItem_IOStandard->Visible());
  EXPECT_TRUE(Link(L"10").NetLinks.empty());
  Panel->SetProjectDetails(L"", L"");
  for (tvk::TMenuItem* item : {Panel->MenuItem_IOStandard, Panel->MenuItem_SlewRate, Panel->MenuItem_DriveStrength})
    EXPECT_FALSE(item->Visible());
  EXPECT_EQ(L"", Panel->Edit_TopDocumentFileName->Text());
}

// A board project holding the device as U1 on a schematic and a PCB.
struct Board {
  SimDesignItem *Project, *Schematic, *Pcb, *SchComponent, *PcbComponent;
};

Board AddBoard(hostsim::SimDesign& design, const std::wstring& folder, const std::wstring& subProject = {},
               const std::wstring& name = L"Board") {
  Board b{};
  b.Project = &design.AddProject(folder + L"\\" + name + L".PrjPcb", L"PCBPROJECT");
  b.Schematic = &design.AddDocument(*b.Project, folder + L"\\Board.SchDoc", L"SCH", true);
  b.Pcb = &design.AddDocument(*b.Project, folder + L"\\Board.PcbDoc", L"PCB");
  design.AddComponent(*b.Schematic, L"R1", L"RES");
  b.SchComponent = &design.AddComponent(*b.Schematic, L"U1", kDevice, subProject);
  b.PcbComponent = &design.AddComponent(*b.Pcb, L"u1", kDevice);
  return b;
}

TEST_F(PinLinks, BoardPinsLinkValidNetsOnly) {
  UseDescription({L"P10", L"P11", L"P12", L"P13", L"P14"});
  Board b = AddBoard(*Design, L"C:\\Design\\Board");
  // Schematic: P10 with a real load; P11 whose other pins are only supply pins.
  SimDesignItem& data = Design->AddNet(*b.Schematic, L"DATA");
  Design->AddPin(b.SchComponent, L"10", &data);
  Design->AddPin(nullptr, L"1", &data, L"SDA");
  SimDesignItem& supply = Design->AddNet(*b.Schematic, L"SUPPLY");
  Design->AddPin(b.SchComponent, L"11", &supply, L"GND");
  Design->AddPin(nullptr, L"2", &supply, L"vcc");
  Design->AddPin(nullptr, L"3", &supply, L"VIN", true);
  // PCB: a net of one pad and a net of two.
  SimDesignItem& lone = Design->AddNet(*b.Pcb, L"LONE");
  Design->SetPCBPinCount(lone, 1);
  Design->AddPin(b.PcbComponent, L"12", &lone);
  SimDesignItem& pair = Design->AddNet(*b.Pcb, L"PAIR");
  Design->SetPCBPinCount(pair, 2);
  Design->AddPin(b.PcbComponent, L"13", &pair);
  Create();
  Panel->SetProjectDetails(kFpgaProject, L"");  // not open: board links only

  ASSERT_EQ(1, Panel->ComboBox_PCBComponent->Items().Count());
  EXPECT_EQ(L"Board.PrjPcb / U1", Panel->ComboBox_PCBComponent->Text());
  EXPECT_TRUE(Panel->ComboBox_PCBComponent->Enabled());
  struct {
    const wchar_t* Pin;
    const wchar_t* NetName;
    SimDesignItem* Net;
  } const cases[] = {
      {L"P10", L"DATA", &data}, {L"P11", L"SUPPLY", nullptr}, {L"P12", L"LONE", nullptr},
      {L"P13", L"PAIR", &pair}, {L"P14", L"", nullptr},
  };
  for (const auto& c : cases) {
    TScanPinLink& link = Link(c.Pin);
    EXPECT_EQ(c.NetName, link.NetName_PCB) << c.Pin;
    ASSERT_EQ(c.Net ? 1u : 0u, link.NetLinks.size()) << c.Pin;
    if (c.Net) {
      EXPECT_EQ(static_cast<IDispatch*>(c.Net), link.NetLinks[0]->TargetNet.ToPointer()) << c.Pin;
    }
  }
  EXPECT_NE(nullptr, Panel->FindDocumentLink(tvk::IDocument(b.Schematic)));
  EXPECT_NE(nullptr, Panel->FindDocumentLink(tvk::IDocument(b.Pcb)));
  EXPECT_EQ(0u, b.Project->CallCount(hostsim::disp::Project_GetComponentMappings))
      << "a board that lists its components needs no mappings";

  Panel->ResetLinks();
  EXPECT_TRUE(Link(L"P10").NetLinks.empty());
  EXPECT_EQ(nullptr, Panel->FindDocumentLink(tvk::IDocument(b.Schematic)));
  EXPECT_TRUE(Panel->RebuildRequired);
}

TEST_F(PinLinks, TheTargetsBoardComesFirstAndAChoiceRelinks) {
  UseDescription({L"10"});
  FpgaSheet();
  Board first = AddBoard(*Design, L"C:\\Design\\First", {}, L"First");
  Board second = AddBoard(*Design, L"C:\\Design\\Second", kFpgaProject, L"Second");
  Board same = AddBoard(*Design, L"C:\\Design\\Copy", {}, L"First");  // reads like the first: dropped
  // The second board's top sheet appears only after a compile.
  Design->SetTopLevelAfterCompile(*second.Project, *second.Schematic);
  second.Project->Refer(hostsim::disp::Project_GetTopLevelDocument, nullptr);
  for (Board* b : {&first, &second, &same}) {
    SimDesignItem& net = Design->AddNet(*b->Schematic, b == &second ? L"SECOND" : L"FIRST");
    Design->AddPin(b->SchComponent, L"10", &net);
    Design->AddPin(nullptr, L"1", &net, L"A");
  }
  Create();
  Panel->SetProjectDetails(kFpgaProject, L"");

  tvk::TStrings& items = Panel->ComboBox_PCBComponent->Items();
  ASSERT_EQ(2, items.Count());
  EXPECT_EQ(L"Second.PrjPcb / U1", items.Get(0));
  EXPECT_EQ(L"First.PrjPcb / U1", items.Get(1));
  EXPECT_EQ(1u, second.Project->CallCount(hostsim::disp::Project_Compile));
  EXPECT_EQ(L"SECOND", Link(L"10").NetName_PCB);

  // Another board: relinked at once, the list kept.
  const std::size_t listings = Design->Workspace().CallCount(tvk::host::kDispWorkspace_GetProjectCount);
  Panel->ComboBox_PCBComponent->SetItemIndex(1);
  Panel->ComboBox_PCBComponentChange(nullptr);
  EXPECT_EQ(L"FIRST", Link(L"10").NetName_PCB);
  ASSERT_EQ(1u, Link(L"10").NetLinks.size());
  EXPECT_EQ(L"First.PrjPcb / U1", Panel->ComboBox_PCBComponent->Text());
  EXPECT_EQ(listings, Design->Workspace().CallCount(tvk::host::kDispWorkspace_GetProjectCount))
      << "the list was not refilled";
  EXPECT_TRUE(Panel->RebuildPCBComponentLinksRequired);

  // "Rebuild Links" refills and keeps the choice, and live update where it was.
  Panel->CheckBox_ScanPins->SetChecked(true);
  Panel->Button_RebuildPCBLinksClick(nullptr);
  EXPECT_TRUE(Panel->CheckBox_ScanPins->Checked());
  EXPECT_EQ(2, items.Count());
  EXPECT_EQ(L"First.PrjPcb / U1", Panel->ComboBox_PCBComponent->Text());
  EXPECT_EQ(L"FIRST", Link(L"10").NetName_PCB);
}

}  // namespace

}  // namespace pinspanel_test

namespace pinspanel_test {

namespace {

// The host's device information of the JTAG device: its family and BSDL file.
hostsim::SimRef<hostsim::FakeHostObject> MakeInformation(const std::wstring& family, const std::wstring& bsdlFile) {
  auto information = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  information->ReturnString(503382, family);    // GetFamilyName
  information->ReturnString(503405, bsdlFile);  // GetBSDLFilename
  information->ReturnString(503407, L"ST");     // GetVendorName
  information->ReturnInt(503409, 0);            // GetDevicePinCount
  return information;
}

class DeviceManagers : public PinsPanel {
protected:
  void TearDown() override {
    Destroy();
    JTag->SetDeviceInformation(nullptr);
    PinsPanel::TearDown();
  }
};

TEST_F(DeviceManagers, TheFamilyGivesTheDefaultIOStandard) {
  ASSERT_TRUE(hostsim::SetDeviceFamilyProperty(SystemFolder(), L"STM32F1", L"wm_defaultiostandard", L"LVCMOS33"));
  auto information = MakeInformation(L"stm32f1", L"");
  JTag->SetDeviceInformation(information.Get());
  Create();
  EXPECT_EQ(L"LVCMOS33", Panel->FDevicePinDefaultIOStandard);
  Destroy();

  auto unknown = MakeInformation(L"OTHER", L"");
  JTag->SetDeviceInformation(unknown.Get());
  Create();
  EXPECT_EQ(L"LVTTL 3.3V", Panel->FDevicePinDefaultIOStandard) << "a family the host does not know keeps the default";
}

TEST_F(DeviceManagers, AGenericDeviceTakesTheGenericManagersReferenceAndBSDLFile) {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring bsdl = std::wstring(folder) + L"GenericPins.bsd";
  HANDLE file = CreateFileW(bsdl.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  ASSERT_TRUE(hostsim::SetGenericDevice(SystemFolder(), 0x3BA00477, 7, bsdl, L"GENERIC_CHIP", L"Generic.IntLib"));
  JTag->SetSecondaryId(7);
  Device->ReturnString(hostsim::disp::TovikDevice_GetFamilyName, L"Generic");
  auto information = MakeInformation(L"Generic", L"");
  JTag->SetDeviceInformation(information.Get());
  Create();
  EXPECT_TRUE(Panel->IsGenericDevice());
  EXPECT_EQ(L"GENERIC_CHIP", Panel->LibraryReference());
  Panel->SetState_Controls();
  EXPECT_EQ(L"GENERIC_CHIP Pin States on JTAG 1", Panel->Caption());
  Panel->FormShow(nullptr);
  EXPECT_TRUE(Panel->Button_BSDL->Enabled());

  DeleteFileW(bsdl.c_str());
  Panel->FormShow(nullptr);
  EXPECT_FALSE(Panel->Button_BSDL->Enabled()) << "a file that is gone";
  JTag->SetSecondaryId(8);  // a device the generic manager does not know
  EXPECT_EQ(L"STM32F103C8", Panel->LibraryReference());
  Panel->FormShow(nullptr);
  EXPECT_FALSE(Panel->Button_BSDL->Enabled());
}

}  // namespace

}  // namespace pinspanel_test
