// The panel's registration with the host, its view, the chain of its host
// callbacks, and what the host holds after the panel has gone.
#include "PinsPanelTest.h"

#include "HostConstants.h"
#include "ModuleCalls.h"
#include "SimRack.h"

namespace pinspanel_test {

namespace {

using hostsim::ArgInt;
using hostsim::ArgString;
using hostsim::CallModule;

std::vector<DISPID> ClientCalls(const hostsim::FakeHostObject& client, const hostsim::FakeHostObject& gui) {
  std::vector<std::pair<std::uint64_t, DISPID>> calls;
  for (const auto& c : client.Calls())
    if (c.Id == 513 || c.Id == 514 || c.Id == 532) calls.emplace_back(c.Serial, c.Id);
  for (const auto& c : gui.Calls())
    if (c.Id == 171 || c.Id == 167) calls.emplace_back(c.Serial, c.Id);
  std::sort(calls.begin(), calls.end());
  std::vector<DISPID> ids;
  for (auto [serial, id] : calls) ids.push_back(id);
  return ids;
}

TEST_F(PinsPanel, RegisteredSizedShownAndRemoved) {
  Create();
  const std::wstring name = Panel->FPanelName;
  EXPECT_EQ(0u, name.find(L"HardDeviceViewer_PinPanels_"));
  EXPECT_TRUE(name.size() > 27 && name.find_first_not_of(L"0123456789", 27) == std::wstring::npos) << name;
  ASSERT_EQ(1u, Panels->ViewCount());
  IDispatch* view = Panels->View(name);
  ASSERT_NE(nullptr, view);
  // The size goes under the name the view reports.
  const SIZE size = Panels->PanelSize(name);
  EXPECT_GT(size.cx, 1000);
  EXPECT_GT(size.cy, 600);

  // The view: its category, the empty second text, and the service in any case.
  EXPECT_EQ(L"&Instruments", CallModule(view, 577).Text());
  EXPECT_EQ(L"", CallModule(view, 578).Text());
  for (const wchar_t* service : {L"CategorizedServerView", L"categorizedserverview", L"ServerView"}) {
    tvk::ComRef<tvk::ISupportService> support;
    ASSERT_EQ(S_OK, view->QueryInterface(tvk::IID_ISupportService, reinterpret_cast<void**>(support.Receive())));
    tvk::ByteBool supported = 0;
    BSTR text = SysAllocString(service);
    EXPECT_EQ(S_OK, support->SupportsService(text, &supported));
    SysFreeString(text);
    EXPECT_EQ(1, supported) << std::string(service, service + wcslen(service));
  }

  // Shown: docked in a real window of that size.
  Panel->SetVisible();
  EXPECT_TRUE(Panels->PanelVisible(name));
  const HWND dock = Panels->PanelWindow(name);
  ASSERT_NE(nullptr, dock);
  EXPECT_EQ(dock, GetParent(Panel->Handle()));
  EXPECT_TRUE(IsWindowVisible(Panel->Handle()));
  Panel->SetHidden();
  EXPECT_FALSE(Panels->PanelVisible(name));

  Destroy();
  EXPECT_EQ(nullptr, Panel);
  EXPECT_EQ(0u, Panels->ViewCount());
  EXPECT_EQ((std::vector<DISPID>{513, 171, 167, 167, 514, 532}), ClientCalls(Host.Client(), Host.GUIManager()));
  // Gone with its view: the scan timer is removed and the options are stored.
  EXPECT_TRUE(Host.Timers().empty());
  EXPECT_TRUE(Panels->Option(std::wstring(tvk::host::kOptionsServer), std::wstring(tvk::host::kPinStatesSection),
                             L"Pin Name").has_value());
  // An empty reference does nothing.
  Host.Client().ClearCalls();
  tvk::THardDevicePinsPanel* none = nullptr;
  tvk::DestroyPinStatesPanel(none);
  EXPECT_TRUE(Host.Client().Calls().empty());
}

TEST_F(PinsPanel, PreferredSizeAddsTheSplittersAndBorder) {
  Create();
  Panel->Panel_Pins->SetAlign(tvk::TAlign::alNone);
  Panel->Panel_Symbols->SetAlign(tvk::TAlign::alNone);
  Panel->Panel_Pins->SetBounds(0, 0, 720, 624);
  Panel->Panel_Symbols->SetBounds(0, 0, 321, 624);
  EXPECT_EQ(1059, Panel->GetPreferredWidth());
  EXPECT_EQ(668, Panel->GetPreferredHeight());
  EXPECT_EQ(1200, Panel->Width());
}

TEST_F(PinsPanel, TheHostsCallsGoThroughTheChain) {
  Create();
  // Two host timers: the panel form's own and the scan timer.
  ASSERT_EQ(2u, Host.Timers().size());
  const auto scan = std::find_if(Host.Timers().begin(), Host.Timers().end(),
                                 [this](const auto& t) { return uint32_t(t.Id) == Panel->ScanPinTimerID; });
  ASSERT_NE(Host.Timers().end(), scan);
  const auto& timer = *scan;
  EXPECT_EQ(100, timer.Interval);
  EXPECT_FALSE(timer.Enabled);
  EXPECT_EQ(Panel->HostDispatch(), timer.Handler);
  EXPECT_EQ(uint32_t(timer.Id), Panel->ScanPinTimerID);
  IDispatch* host = Panel->HostDispatch();
  EXPECT_EQ(S_OK, CallModule(host, 267, {ArgInt(timer.Id)}).Result);
  EXPECT_EQ(S_OK, CallModule(host, 267, {ArgInt(timer.Id + 100)}).Result);  // another timer: no scan, no fault
  EXPECT_EQ(S_OK, CallModule(host, 502787, {ArgString(L"10,11")}).Result);
  EXPECT_EQ(S_OK, CallModule(host, 503256, {ArgString(L"12")}).Result);
  // An unknown identifier answers what the last handler answers.
  const HRESULT last = CallModule(Panel->Impl_ModelEditorSelectionListener.Get(), 4242).Result;
  EXPECT_FALSE(SUCCEEDED(last));
  EXPECT_EQ(last, CallModule(host, 4242).Result);
  for (const wchar_t* service : {L"TimerHandler", L"ComponentPinSelectionListener", L"ModelEditorSelectionListener"}) {
    tvk::ComRef<tvk::ISupportService> support;
    ASSERT_EQ(S_OK, host->QueryInterface(tvk::IID_ISupportService, reinterpret_cast<void**>(support.Receive())));
    tvk::ByteBool supported = 0;
    BSTR text = SysAllocString(service);
    EXPECT_EQ(S_OK, support->SupportsService(text, &supported));
    SysFreeString(text);
    EXPECT_EQ(1, supported);
  }
}

// The host keeps its handler reference after the panel is gone: a late call
// finds a detached forwarder that answers E_UNEXPECTED and touches nothing.
TEST_F(PinsPanel, ACallAfterThePanelIsGoneIsRefused) {
  Create();
  tvk::ComRef<IDispatch> kept(Panel->HostDispatch());
  Destroy();
  ASSERT_TRUE(kept);
  EXPECT_EQ(E_UNEXPECTED, CallModule(kept.Get(), 267, {ArgInt(1)}).Result);
  EXPECT_EQ(E_UNEXPECTED, CallModule(kept.Get(), 502787, {ArgString(L"10")}).Result);
  tvk::ComRef<tvk::ISupportService> support;
  ASSERT_EQ(S_OK, kept->QueryInterface(tvk::IID_ISupportService, reinterpret_cast<void**>(support.Receive())));
  tvk::ByteBool supported = 0;
  BSTR text = SysAllocString(L"TimerHandler");
  EXPECT_EQ(E_UNEXPECTED, support->SupportsService(text, &supported));
  SysFreeString(text);
}

// The viewer may replace its device: the panel's own counted reference keeps
// the old one alive for its caption and look-ups until the panel goes.
TEST_F(PinsPanel, AReplacedDeviceStaysValidForTheRebuild) {
  Create();
  const LONG held = Device->RefCount();
  EXPECT_GE(held, 2);
  Device->Release();  // the viewer lets its device go
  hostsim::FakeHostObject* device = Device;
  Device = nullptr;
  device->AddRef();  // the test watches it (the panel's reference alone would keep it)
  const LONG watched = device->RefCount();
  Panel->RebuildLinks(true);
  EXPECT_EQ(L"STM32F103C8 Pin States on JTAG 1", Panel->Caption());
  EXPECT_EQ(watched, device->RefCount());
  Destroy();
  EXPECT_EQ(1, device->RefCount());  // the panel's reference went with it
  device->Release();
}

TEST_F(PinsPanel, HelpKeyword) {
  Create();
  tvk::WideString keyword;
  Panel->GetHelpKeyword(Panel, keyword);
  EXPECT_EQ(L"HardDevicePinsPanel", keyword);
  Panel->GetHelpKeyword(Panel->PinList, keyword);
  EXPECT_EQ(L"PinList", keyword);
}

}  // namespace

}  // namespace pinspanel_test
