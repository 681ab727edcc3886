// Design data, the PCB server, embedded memories and software stacks through
// their records: what the host receives, and what comes back.
#include "ORV.Embedded.RecordInterfaces.h"
#include "ORV.PCB.RecordInterfaces.h"
#include "ORV.RecordInterfaces.h"
#include "WireCheck.h"
#include "ZUL.HostModules.h"
#include "hostsvc/HostFixture.h"

using namespace tvk;
namespace records2_test {

namespace {

// ---- Design data

using DesignRecords = RecordFamily;

// A net with one component pin, walked the way the pin-state panel links a
// scan pin to a net: the pin's parameter names the package pin.
TEST_F(DesignRecords, NetPinsAndTheirParameters) {
  Fake net = MakeFake(), pin = MakeFake(), parameter = MakeFake(), higher = MakeFake();
  net->ReturnInt(500446, 1);
  net->ReturnObject(500435, AsDispatch(pin));
  net->ReturnInt(500466, -1);
  pin->ReturnBool(500009, false);
  pin->ReturnString(500206, L"PA9");
  pin->ReturnInt(500008, 1);
  pin->ReturnObject(500007, AsDispatch(parameter));
  pin->ReturnObject(500203, AsDispatch(higher));
  parameter->ReturnString(500319, L"FPGA_PINNUM");
  parameter->ReturnString(500322, L"A12,B7");
  higher->ReturnString(510108, L"NET-0042");
  const INet n(AsDispatch(net));

  ASSERT_EQ(1, n.GetPinCount());
  const INetItem member = n.GetPin(0);
  EXPECT_FALSE(member.GetIsPowerPin());
  EXPECT_EQ(L"PA9", member.GetPinName());
  ASSERT_EQ(1, member.GetParameterCount());
  const IParameter p = member.GetParameter(0);
  EXPECT_EQ(L"FPGA_PINNUM", p.GetName());
  EXPECT_EQ(L"A12,B7", p.GetValue());
  EXPECT_EQ(L"NET-0042", member.GetHigherLevelNet().GetUniqueId());
  EXPECT_EQ(-1, n.GetBusIndex());  // no bus member

  ExpectCalls({{500446, {}}, {500435, {I4(0)}}, {500466, {}}}, net);
  ExpectCalls({{500009, {}}, {500206, {}}, {500008, {}}, {500007, {I4(0)}}, {500203, {}}}, pin);
}

TEST_F(DesignRecords, SchematicPortsAndComponentPinsAreNetItems) {
  Fake document = MakeFake(), port = MakeFake(), component = MakeFake(), pin = MakeFake();
  document->ReturnInt(500373, 1);
  document->ReturnObject(500352, AsDispatch(port));
  document->ReturnObject(500354, AsDispatch(component));
  port->ReturnString(500220, L"DATA");
  port->ReturnInt(500215, 7);
  port->ReturnInt(500217, 0);
  port->ReturnInt(500219, 8);
  component->ReturnObject(500145, AsDispatch(pin));
  pin->ReturnString(500230, L"A12");
  pin->ReturnString(500207, L"DATA7");
  const IDocument schematic(AsDispatch(document));

  ASSERT_EQ(1, schematic.GetPortCount());
  const INetItem bus = schematic.GetPort(0);
  EXPECT_EQ(L"DATA", bus.GetPortName());
  EXPECT_EQ(7, bus.GetBusIndex());
  EXPECT_EQ(0, bus.GetBusOrder());  // counts downwards
  EXPECT_EQ(8, bus.GetBusWidth());
  const INetItem componentPin = schematic.GetComponent(2).GetPin(5);
  EXPECT_EQ(L"A12", componentPin.GetPinNumber());
  EXPECT_EQ(L"DATA7", componentPin.GetNetName());
  ExpectCalls({{500373, {}}, {500352, {I4(0)}}, {500354, {I4(2)}}}, document);
  ExpectCalls({{500145, {I4(5)}}}, component);
}

TEST_F(DesignRecords, HighlightedObjectIsFoundByItsIdentifier) {
  Fake model = MakeFake(), line = MakeFake(), found = MakeFake();
  line->ReturnString(510108, L"WIRE-17");
  IDispatch* foundDisp = AsDispatch(found);
  model->Accept(510196);
  model->Accept(510197);
  model->On(510209, [foundDisp](std::vector<VARIANT*>& args, VARIANT* r) {
    if (args.size() != 2 || args[1]->vt != (VT_DISPATCH | VT_BYREF)) return E_INVALIDARG;
    const bool known = args[0]->bstrVal && std::wstring(args[0]->bstrVal) == L"WIRE-17";
    IDispatch*& slot = *args[1]->ppdispVal;
    if (slot) slot->Release();
    slot = known ? foundDisp : nullptr;
    if (slot) slot->AddRef();
    r->vt = VT_BOOL;
    r->boolVal = known ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
  const IUnifiedDataModel data(AsDispatch(model));

  // A wire is a design object; its identifier finds the object to highlight.
  const IDMObject wire = ILine(AsDispatch(line)).ToDMObject();
  IDMObject object;
  data.BeginUpdate();
  EXPECT_TRUE(data.FindObject(wire.GetUniqueId(), object));
  EXPECT_EQ(foundDisp, object.ToPointer());
  EXPECT_FALSE(data.FindObject(L"WIRE-99", object));
  EXPECT_FALSE(object);  // the host stored null: the object held before is let go
  data.EndUpdate();

  EXPECT_EQ(1, found->RefCount());
  ExpectCalls({{510196, {}},
               {510209, {Str(L"WIRE-17"), Ref(VT_DISPATCH)}},
               {510209, {Str(L"WIRE-99"), Ref(VT_DISPATCH)}},
               {510197, {}}},
              model);
}

TEST_F(DesignRecords, ProjectsAndTheirViews) {
  Fake workspace = MakeFake(), project = MakeFake();
  workspace->ReturnInt(501404, 1);
  workspace->ReturnObject(501402, AsDispatch(project));
  workspace->ReturnObject(501413, nullptr);
  project->ReturnString(500085, L"C:\\Designs\\Out\\Blinky.hex");
  project->ReturnBool(500088, false);
  project->Accept(500055);
  project->ReturnString(501469, L"");
  const IWorkspace designs(AsDispatch(workspace));

  ASSERT_EQ(1, designs.GetProjectCount());
  const IProject first = designs.GetProject(0);
  EXPECT_FALSE(designs.GetProjectByPath(L"C:\\Designs\\Missing.PrjFpg"));
  EXPECT_EQ(L"C:\\Designs\\Out\\Blinky.hex", first.GetOutputFileName(L""));
  first.Compile();  // sent for its effect
  IFPGAProject::FromProject(first).SetTarget(L"Board1");
  const IEmbeddedProject embedded = IEmbeddedProject::FromProject(first);
  EXPECT_EQ(L"", embedded.GetSoftwarePlatformFile());
  EXPECT_EQ(first.ToPointer(), embedded.ToProject().ToPointer());

  ExpectCalls({{501404, {}}, {501402, {I4(0)}}, {501413, {Str(L"C:\\Designs\\Missing.PrjFpg")}}}, workspace);
  ExpectCalls({{500085, {Str(L"")}}, {500088, {}}, {500055, {Str(L"Board1")}}, {501469, {}}}, project);
}

TEST_F(DesignRecords, PcbHighlighting) {
  Fake server = MakeFake(), net = MakeFake();
  for (DISPID id : {506417, 506418, 506419}) server->Accept(id);
  net->Accept(505484);
  const IPCB_ServerInterface pcb(AsDispatch(server));
  const std::wstring board = L"C:\\Designs\\Board.PcbDoc";

  pcb.StartLiveHighlight(board);
  IPCB_Net(AsDispatch(net)).SetLiveHighlightValue(0);
  pcb.StopLiveHighlight(board);
  pcb.RefreshDocument(board);
  ExpectCalls({{506417, {Str(board)}}, {506418, {Str(board)}}, {506419, {Str(board)}}}, server);
  ExpectCalls({{505484, {I4(0)}}}, net);
}

// ---- Embedded memories and software stacks

using EmbeddedRecords = RecordFamily;

TEST_F(EmbeddedRecords, MemoriesOfAProject) {
  Fake manager = MakeFake(), memories = MakeFake(), memory = MakeFake(), project = MakeFake();
  manager->ReturnObject(508622, AsDispatch(memories));
  memories->Accept(508617);
  memories->ReturnInt(508615, 1);
  memories->ReturnObject(508614, AsDispatch(memory));
  memory->ReturnString(508602, L"pflash");
  memory->ReturnInt64(508609, 0x1'0000'0000);
  memory->ReturnInt64(508610, 0x2'0000'0000);
  memory->ReturnString(508611, L"C:\\Designs\\Out\\pflash.hex");
  const IProject owner(AsDispatch(project));

  const IEmbeddedMemories found = IEmbeddedMemoryManager(AsDispatch(manager)).GetMemories(2);
  found.LoadFromProject(owner, true);
  ASSERT_EQ(1, found.GetCount());
  const IEmbeddedMemory flash = found.GetMemory(0);
  EXPECT_EQ(L"pflash", flash.GetName());
  EXPECT_EQ(0x1'0000'0000, flash.GetBaseAddress());  // 64 bits, nothing cut
  EXPECT_EQ(0x2'0000'0000, flash.GetSize());
  EXPECT_EQ(L"C:\\Designs\\Out\\pflash.hex", flash.GetDataFileName(owner));

  ExpectCalls({{508622, {I4(2)}}}, manager);
  ExpectCalls({{508617, {Obj(AsDispatch(project)), Bool(true)}}, {508615, {}}, {508614, {I4(0)}}}, memories);
  ExpectCalls({{508602, {}}, {508609, {}}, {508610, {}}, {508611, {Obj(AsDispatch(project))}}}, memory);
}

TEST_F(EmbeddedRecords, InitialValueIsReadThroughItsOutputs) {
  Fake memory = MakeFake();
  memory->ReturnInt(508604, 2);
  memory->On(508605, [](std::vector<VARIANT*>& args, VARIANT* r) {
    r->vt = VT_BOOL;
    r->boolVal = VARIANT_FALSE;
    if (args[0]->lVal != 1) return S_OK;  // no such entry: the outputs stay
    SysFreeString(*args[1]->pbstrVal);
    *args[1]->pbstrVal = SysAllocString(L"CLOCK_CR");
    *args[2]->pllVal = 0x4002'1000;
    *args[3]->pllVal = 0x0001'0083;
    *args[4]->pllVal = 4;
    r->boolVal = VARIANT_TRUE;
    return S_OK;
  });
  const IEmbeddedMemory ram(AsDispatch(memory));
  WideString name = L"-";
  int64_t address = -1, value = -1, width = -1;

  ASSERT_EQ(2, ram.GetInitializerCount());
  EXPECT_FALSE(ram.GetInitializer(0, name, address, value, width));
  EXPECT_EQ(L"-", name);
  EXPECT_EQ(-1, width);
  EXPECT_TRUE(ram.GetInitializer(1, name, address, value, width));
  EXPECT_EQ(L"CLOCK_CR", name);
  EXPECT_EQ(0x4002'1000, address);
  EXPECT_EQ(0x0001'0083, value);
  EXPECT_EQ(4, width);
  ExpectCalls({{508604, {}},
               {508605, {I4(0), Ref(VT_BSTR), Ref(VT_I8), Ref(VT_I8), Ref(VT_I8)}},
               {508605, {I4(1), Ref(VT_BSTR), Ref(VT_I8), Ref(VT_I8), Ref(VT_I8)}}},
              memory);
}

TEST_F(EmbeddedRecords, SoftwareStackOfTheSerialFlash) {
  Fake stack = MakeFake(), sync = MakeFake();
  stack->ReturnObject(508788, AsDispatch(sync));
  sync->ReturnString(508773, L"Platform1");
  sync->ReturnInt(508754, 1);
  sync->ReturnString(508755, L"per_spi");
  sync->ReturnBool(508758, true);
  sync->ReturnString(508767, L"WB_SPI");
  sync->ReturnString(508768, L"20000000");
  sync->ReturnInt(508770, 1);
  sync->ReturnString(508771, L"drv_spi_1");
  sync->ReturnString(508772, L"drv_spi");
  sync->ReturnInt(508763, 1);
  sync->ReturnString(508764, L"wb_1");

  const IEmbeddedStackSync items = IEmbeddedStack(AsDispatch(stack)).GetStackSync();
  EXPECT_EQ(L"Platform1", items.GetStackName());
  ASSERT_EQ(1, items.GetItemCount());
  const WideString id = items.GetItemId(0);
  ASSERT_TRUE(items.IsValidItem(id));
  EXPECT_EQ(L"WB_SPI", items.GetItemType(id));
  EXPECT_EQ(L"20000000", items.GetItemOption(id, L"spi_frequency"));
  ASSERT_EQ(1, items.GetStackedItemCount(id));
  EXPECT_EQ(L"drv_spi", items.GetItemName(items.GetStackedItem(id, 0)));
  ASSERT_EQ(1, items.GetLinkCount(id));
  EXPECT_EQ(L"wb_1", items.GetLink(id, 0));

  ExpectCalls({{508773, {}},
               {508754, {}},
               {508755, {I4(0)}},
               {508758, {Str(L"per_spi")}},
               {508767, {Str(L"per_spi")}},
               {508768, {Str(L"per_spi"), Str(L"spi_frequency")}},
               {508770, {Str(L"per_spi")}},
               {508771, {Str(L"per_spi"), I4(0)}},
               {508772, {Str(L"drv_spi_1")}},
               {508763, {Str(L"per_spi")}},
               {508764, {Str(L"per_spi"), I4(0)}}},
              sync);
}

// ---- Accessors that re-type a host object

using HostAccessors = hostsvc_test::HostFixture;

TEST_F(HostAccessors, PcbServerAndStackAreTheHostObjectsThemselves) {
  EXPECT_FALSE(GetPCBServer());  // no module of that name
  ExpectCalls({{496, {Str(L"PCB")}}}, Fake(&Host.Client()));

  Fake pcb = MakeFake();
  pcb->Accept(506417);
  Host.AddServerModule(L"PCB", AsDispatch(pcb));
  GetPCBServer().StartLiveHighlight(L"C:\\Designs\\Board.PcbDoc");
  ExpectCalls({{506417, {Str(L"C:\\Designs\\Board.PcbDoc")}}}, pcb);

  // An open stack document answers as the stack, without being opened again.
  FakeHostObject& document = Host.AddDocument(L"C:\\Designs\\Platform.SwPlatform");
  Fake sync = MakeFake();
  document.ReturnObject(508788, AsDispatch(sync));
  IEmbeddedStack stack;
  ASSERT_EQ(S_OK, OpenEmbeddedStack(L"C:\\Designs\\Platform.SwPlatform", stack));
  EXPECT_EQ(AsDispatch(sync), stack.GetStackSync().ToPointer());
  EXPECT_EQ(0u, Host.Client().CallCount(506));
  EXPECT_EQ(0, document.QueryInterfaces());
}

}  // namespace

}  // namespace records2_test
