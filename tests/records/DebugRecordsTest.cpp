// The debug-path record families (debug device and driver, JTAG channel and
// devices, boundary scan and device pins) with the examples their callers
// rely on, and the walks over the host's debug workbench.
#include "ORV.SCH.RecordInterfaces.h"
#include "RecordTestSupport.h"

#include <optional>
#include <utility>

using namespace tvk;
namespace tvk_test {

namespace {

struct WireArg {
  VARTYPE Type;
  std::wstring Text;
};
struct WireCall {
  DISPID Id;
  std::vector<WireArg> Args;
};

void ExpectWire(const std::vector<WireCall>& want, const std::vector<hostsim::LoggedCall>& got) {
  ASSERT_EQ(want.size(), got.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(want[i].Id, got[i].Id) << "call " << i;
    ASSERT_EQ(want[i].Args.size(), got[i].ArgCount) << "call " << i;
    for (std::size_t k = 0; k < want[i].Args.size(); ++k) {
      EXPECT_EQ(want[i].Args[k].Type, got[i].Type(k)) << "call " << i << " argument " << k;
      EXPECT_EQ(want[i].Args[k].Text, got[i].Str(k)) << "call " << i << " argument " << k;
    }
  }
}

WireArg I4(long v) { return {VT_I4, std::to_wstring(v)}; }

TEST(DebugRecords, ScanSequencesReachTheChannelInOrder) {
  Fake host = MakeFake();
  const std::wstring request(35, L'1');
  for (DISPID id : {503605, 503593, 503601, 503588}) host->Accept(id);
  host->ReturnString(503591, std::wstring(35, L'0'));
  host->ReturnInt(503589, 0x5A);
  const IJTagChannel channel(AsDispatch(host));
  const int32_t index = 1;

  // One debug-port or access-port scan.
  channel.MoveTAPState(2, 12);
  channel.LoadIR(0xA, index);
  channel.MoveTAPState(13, 5);
  EXPECT_EQ(std::wstring(35, L'0'), channel.ShiftDRString(request, index));
  channel.MoveTAPState(6, 2);
  // One debug-register access: a write of the address with bit 7, then the value.
  channel.ShiftIR(0x1C, index);
  channel.MoveTAPState(2, 5);
  channel.SendDR(0x80 | 0x05, 8, index);
  channel.MoveTAPState(6, 2);
  channel.ShiftIR(0x1D, index);
  channel.MoveTAPState(2, 5);
  EXPECT_EQ(0x5Au, channel.ExchangeDR(0x12, 8, index));
  channel.MoveTAPState(6, 2);

  ExpectWire({{503605, {I4(2), I4(12)}},
              {503593, {I4(0xA), I4(1)}},
              {503605, {I4(13), I4(5)}},
              {503591, {{VT_BSTR, request}, I4(1)}},
              {503605, {I4(6), I4(2)}},
              {503601, {I4(0x1C), I4(1)}},
              {503605, {I4(2), I4(5)}},
              {503588, {I4(0x85), I4(8), I4(1)}},
              {503605, {I4(6), I4(2)}},
              {503601, {I4(0x1D), I4(1)}},
              {503605, {I4(2), I4(5)}},
              {503589, {I4(0x12), I4(8), I4(1)}},
              {503605, {I4(6), I4(2)}}},
             host->Calls());
  EXPECT_EQ(35u, SysStringLen(host->Calls().at(3).Args[0].bstrVal));
}

TEST(DebugRecords, DeviceCallsCarryTheirExamples) {
  Fake host = MakeFake(), breakpoint = MakeFake();
  host->ReturnInt(503666, 0x1A5);
  host->Accept(503667);
  host->ReturnObject(508550, AsDispatch(breakpoint));
  host->ReturnBool(503674, true);
  const ITovikDevice device(AsDispatch(host));

  EXPECT_EQ(0x1A5u, device.ReadDebugRegister(64, 8));
  device.WriteDebugRegister(64, 8, 0xA5);
  const ISoftBreakpoint created = device.CreateSoftBreakpoint(2, 0x1'0800'0000);
  EXPECT_EQ(AsDispatch(breakpoint), created.ToPointer());
  EXPECT_TRUE(device.LittleEndian());

  ExpectWire({{503666, {I4(64), I4(8)}},
              {503667, {I4(64), I4(8), I4(0xA5)}},
              {508550, {I4(2), {VT_I8, L"4429185024"}}},
              {503674, {}}},
             host->Calls());
}

TEST(DebugRecords, ChannelOpenAnswersWhatTheHostSays) {
  Fake host = MakeFake();
  const IJTagChannel channel(AsDispatch(host));
  host->ReturnBool(503425, false);
  EXPECT_FALSE(channel.Open());
  host->ReturnBool(503425, true);
  EXPECT_TRUE(channel.Open());
}

TEST(DebugRecords, BoundaryScanValuesKeepTheirKinds) {
  Fake entity = MakeFake(), pin = MakeFake(), cell = MakeFake(), devicePin = MakeFake(), info = MakeFake();
  entity->ReturnDouble(503484, 10.0e6);
  entity->ReturnInt(503460, int32_t(0x4BA00477));
  entity->ReturnObject(503462, AsDispatch(pin));
  entity->ReturnObject(503476, nullptr);
  pin->ReturnString(503492, L"A12");
  pin->ReturnObject(503496, AsDispatch(cell));
  cell->ReturnObject(503510, nullptr);
  cell->ReturnInt(503512, 1);
  info->ReturnObject(503411, AsDispatch(devicePin));
  devicePin->ReturnString(503525, L"A12");
  devicePin->ReturnBool(503527, true);

  const IBSDLEntity bsdl(AsDispatch(entity));
  EXPECT_EQ(10.0e6, bsdl.GetScanClockMaxSpeed());
  EXPECT_EQ(0x4BA00477u, bsdl.GetIdCode());
  EXPECT_TRUE(bsdl.GetPin_TRST().IsEmpty());
  const IScanPin scanPin = bsdl.GetPin(4);
  const IBoundaryCell boundaryCell = scanPin.GetBoundaryCell(0);
  EXPECT_TRUE(boundaryCell.GetControlCell().IsEmpty());
  EXPECT_EQ(1, boundaryCell.GetCurrentValue());
  const IDevicePin catalogued = IDeviceInformation(AsDispatch(info)).GetDevicePin(3);
  // Pins pair by their pin numbers, which are strings.
  EXPECT_EQ(scanPin.GetPinNumber(), catalogued.GetPinNumber());
  EXPECT_TRUE(catalogued.GetIsIOPin());
  EXPECT_EQ(4, entity->Calls().at(3).Int(0));
  EXPECT_EQ(3, info->Calls().at(0).Int(0));
}

TEST(DebugRecords, ReadersCallTheirGetOperations) {
  Fake port = MakeFake(), workbench = MakeFake(), target = MakeFake();
  port->ReturnObject(504095, AsDispatch(target));
  port->ReturnObject(504103, AsDispatch(target));
  workbench->ReturnObject(504021, AsDispatch(target));
  const ITovikPort p(AsDispatch(port));
  EXPECT_EQ(AsDispatch(target), p.JtagPort().ToPointer());
  EXPECT_EQ(AsDispatch(target), p.DeviceLink(2).ToPointer());
  EXPECT_EQ(AsDispatch(target), ITovikWorkbench(AsDispatch(workbench)).Port(1).ToPointer());
  ExpectWire({{504095, {}}, {504103, {I4(2)}}}, port->Calls());
  ExpectWire({{504021, {I4(1)}}}, workbench->Calls());
}

// A host debug workbench: ports with or without a JTAG port, each with links
// to devices (a null identifier: a link without a device).
struct Port {
  bool HasJtagPort;
  std::vector<const wchar_t*> DeviceIds;
};

class Workbench {
public:
  explicit Workbench(const std::vector<Port>& ports) : FWorkbench(MakeFake()), FJtagPort(MakeFake()) {
    for (const Port& spec : ports) {
      Fake port = MakeFake();
      port->ReturnObject(504095, spec.HasJtagPort ? AsDispatch(FJtagPort) : nullptr);
      port->ReturnInt(504099, long(spec.DeviceIds.size()));
      std::vector<Fake> links;
      for (const wchar_t* id : spec.DeviceIds) {
        Fake link = MakeFake();
        if (id) {
          Fake device = MakeFake();
          device->ReturnString(503643, id);
          link->ReturnObject(504080, AsDispatch(device));
          FDevices.push_back(device);
        } else {
          link->ReturnObject(504080, nullptr);
        }
        links.push_back(link);
      }
      port->On(504103, Serve(links));
      FLinks.push_back(links);
      FPorts.push_back(port);
    }
    FWorkbench->ReturnInt(504020, long(FPorts.size()));
    FWorkbench->On(504021, Serve(FPorts));
  }
  ITovikWorkbench Record() const { return ITovikWorkbench(AsDispatch(FWorkbench)); }
  IDispatch* Link(std::size_t port, std::size_t link) const { return AsDispatch(FLinks.at(port).at(link)); }
  std::size_t DeviceQueries(std::size_t port, std::size_t link) const { return FLinks.at(port).at(link)->CallCount(504080); }

private:
  static hostsim::Handler Serve(std::vector<Fake> items) {
    return [items](std::vector<VARIANT*>& args, VARIANT* r) {
      const Fake& item = items.at(std::size_t(args.at(0)->lVal));
      r->vt = VT_DISPATCH;
      r->pdispVal = AsDispatch(item);
      r->pdispVal->AddRef();
      return S_OK;
    };
  }
  Fake FWorkbench, FJtagPort;
  std::vector<Fake> FPorts, FDevices;
  std::vector<std::vector<Fake>> FLinks;
};

TEST(DeviceLinkWalk, FindsTheFirstLinkWithTheDevicesIdentifier) {
  struct Case {
    const char* Name;
    std::vector<Port> Ports;
    std::optional<std::pair<std::size_t, std::size_t>> Want;
  };
  const std::vector<Case> cases = {
      {"no ports", {}, std::nullopt},
      {"no match", {{true, {L"DEV-A", L"DEV-C"}}}, std::nullopt},
      {"match without regard to case", {{true, {L"DEV-A"}}, {true, {L"dev-c", L"Dev-B"}}}, std::pair{1u, 1u}},
      {"port without JTAG port passed over", {{false, {L"DEV-B"}}, {true, {L"DEV-B"}}}, std::pair{1u, 0u}},
      {"only ports without JTAG port", {{false, {L"DEV-B"}}}, std::nullopt},
      {"link without device passed over", {{true, {nullptr, L"DEV-B"}}}, std::pair{0u, 1u}},
      {"whole strings only", {{true, {L"DEV-B2", L"DEV-"}}}, std::nullopt},
      {"first match wins", {{true, {L"DEV-B", L"DEV-B"}}, {true, {L"DEV-B"}}}, std::pair{0u, 0u}},
  };
  for (const Case& c : cases) {
    Workbench world(c.Ports);
    Fake own = MakeFake();
    own->ReturnString(503643, L"DEV-B");
    const IDeviceLink link = FindDeviceLink(world.Record(), ITovikDevice(AsDispatch(own)));
    if (!c.Want) {
      EXPECT_TRUE(link.IsEmpty()) << c.Name;
      continue;
    }
    EXPECT_EQ(world.Link(c.Want->first, c.Want->second), link.ToPointer()) << c.Name;
    // The walk stops at the match.
    const auto& ports = c.Ports;
    for (std::size_t p = c.Want->first; p < ports.size(); ++p)
      for (std::size_t l = (p == c.Want->first ? c.Want->second + 1 : 0); l < ports[p].DeviceIds.size(); ++l)
        EXPECT_EQ(0u, world.DeviceQueries(p, l)) << c.Name << ": link " << p << "." << l << " was asked";
  }
}

TEST(DeviceLinkWalk, EmptyWorkbenchOrDeviceGivesNoLink) {
  Workbench world(std::vector<Port>{{true, {L"DEV-B"}}});
  Fake own = MakeFake();
  own->ReturnString(503643, L"DEV-B");
  EXPECT_TRUE(FindDeviceLink(ITovikWorkbench(), ITovikDevice(AsDispatch(own))).IsEmpty());
  EXPECT_TRUE(FindDeviceLink(world.Record(), ITovikDevice()).IsEmpty());
  EXPECT_TRUE(own->Calls().empty());
}

TEST(DeviceLinkDriver, FollowsNameManagerDeviceAndDriver) {
  Fake link = MakeFake(), manager = MakeFake(), device = MakeFake(), driver = MakeFake();
  link->ReturnString(504085, L"STM32F103");
  manager->ReturnObject(504018, AsDispatch(device));
  device->ReturnObject(503635, AsDispatch(driver));
  const IDeviceLink l(AsDispatch(link));
  const IDeviceManager m(AsDispatch(manager));
  EXPECT_EQ(AsDispatch(driver), FindDeviceLinkDriver(l, m).ToPointer());
  EXPECT_EQ(L"STM32F103", manager->Calls().at(0).Str(0));

  // Any empty record on the way: no driver.
  EXPECT_TRUE(FindDeviceLinkDriver(IDeviceLink(), m).IsEmpty());
  EXPECT_TRUE(FindDeviceLinkDriver(l, IDeviceManager()).IsEmpty());
  device->ReturnObject(503635, nullptr);
  EXPECT_TRUE(FindDeviceLinkDriver(l, m).IsEmpty());
  manager->ReturnObject(504018, nullptr);
  EXPECT_TRUE(FindDeviceLinkDriver(l, m).IsEmpty());
  EXPECT_EQ(2u, device->CallCount(503635));  // not asked once the manager found nothing
}

}  // namespace

}  // namespace tvk_test
