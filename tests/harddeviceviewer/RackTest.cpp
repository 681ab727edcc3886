// The viewer as the framework's default rack form: a driver without an
// instrument panel of its own, over a board whose JTAG device holds a
// boundary-scan description, makes it for the host's rack.
#include "ViewerTest.h"

#include "Tovik.Classes.h"

namespace harddeviceviewer_test {
namespace {

constexpr DISPID kSetTovikDevice = 503754, kCreateRackViewer = 503759, kGetRackViewer = 503760,
                 kReleaseResources = 503812;

// A framework driver whose device state the test sets.
class TStateDriver final : public tvk::TTovikDriver {
public:
  TStateDriver() : tvk::TTovikDriver(L".EDN") {}
  HRESULT GetDeviceState(int32_t& Result) override {
    Result = State;
    return S_OK;
  }
  int32_t State = 0;
};

class DefaultRackForm : public Viewer {
protected:
  void SetUp() override {
    Viewer::SetUp();
    Board = hostsim::SimBoard::Stm32F103BehindBypass();
    auto jtag = hostsim::SimRef<hostsim::SimJtagDevice>::Adopt(new hostsim::SimJtagDevice(L"XC3S200", 0x01414093));
    jtag->SetBsdlEntity(Entity.Get());
    Board->Channel().SetJtagDevice(1, jtag);
    Driver.reset(tvk::New<TStateDriver>());
    ASSERT_EQ(S_OK, Call(Driver.get(), kSetTovikDevice, {Obj(Board->DeviceDispatch())}).Hr);
    Board->Device().SetDriver(Driver.get());
  }
  void TearDown() override {
    if (Driver) {
      Call(Driver.get(), kReleaseResources);
      Board->Device().SetDriver(nullptr);
      Driver.reset();
    }
    Board.reset();
    Viewer::TearDown();
  }

  std::unique_ptr<hostsim::SimBoard> Board;
  hostsim::SimRef<hostsim::FakeHostObject> Entity = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  std::unique_ptr<TStateDriver> Driver;
};

TEST_F(DefaultRackForm, TheHostHoldsTheViewerInItsRackAndItsLampsFollowTheDriver) {
  ASSERT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  IDispatch* view = Call(Driver.get(), kGetRackViewer).Dispatch();
  ASSERT_NE(nullptr, view);
  auto* viewer = dynamic_cast<tvk::THardDeviceViewerForm*>(Driver->GetRackForm());
  ASSERT_NE(nullptr, viewer);
  EXPECT_EQ((TEventLog{L"panel created", L"panel SetState_Controls"}), Log);  // the factory's state update

  const auto rack = hostsim::SimRack::Make(724, 97);
  ASSERT_EQ(S_OK, Call(view, 49, {Obj(rack.Get())}).Hr);
  ASSERT_EQ(S_OK, Call(view, 50).Hr);
  ASSERT_EQ(S_OK, Call(view, 58).Hr);
  long left = -1, top = -1, width = -1, height = -1;
  ASSERT_EQ(S_OK, Call(view, 503700, {RefI4(&left), RefI4(&top), RefI4(&width), RefI4(&height)}).Hr);
  EXPECT_EQ(724, width);
  EXPECT_EQ(97, height);
  ASSERT_EQ(S_OK, Call(view, 503699, {Str(L"C:\\Designs\\Counter\\Counter.PrjFpg"), Str(L"Starter Board")}).Hr);
  EXPECT_EQ(L"Counter / Starter Board", Text(viewer->Label_Status));

  // The host's timer: the lamps follow the driver's state.
  ASSERT_EQ(1u, Host.Timers().size());
  const long id = Host.Timers()[0].Id;
  for (const int32_t state : {2, 1, 0}) {
    Driver->State = state;
    ASSERT_EQ(S_OK, Host.FireTimer(id));
    EXPECT_EQ(state == 2, viewer->CheckBox_LEDProgrammed->Checked()) << state;
    EXPECT_EQ(state == 1, viewer->CheckBox_LEDReset->Checked()) << state;
  }

  // A real click in the rack on "JTAG Viewer Panel", then the host's notification and release.
  Log.clear();
  ASSERT_TRUE(hostsim::ClickModuleControl(rack->Window(), L"Button_ShowPinsState"));
  auto notification = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  ASSERT_EQ(S_OK, Host.Notify(notification.Get()));
  ASSERT_EQ(S_OK, Call(Driver.get(), kReleaseResources).Hr);
  hostsim::PumpMessages();
  EXPECT_EQ((TEventLog{L"panel SetVisible", L"panel ReceiveNotification", L"panel SetHidden", L"panel destroyed"}),
            Log);
  EXPECT_TRUE(Host.Timers().empty());
  EXPECT_EQ(nullptr, Driver->GetRackForm());
}

}  // namespace
}  // namespace harddeviceviewer_test
