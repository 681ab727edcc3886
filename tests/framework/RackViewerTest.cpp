// The rack viewer against a recording stand-in of the driver user interface:
// made once, released through its view, made again; the host device handed to
// the form; forms that are no instrument forms; the missing boundary-scan
// entity.
#include "FrameworkTest.h"

#include "Dialogs.h"
#include "support/HostCall.h"

using namespace tvk;
namespace framework_test {
using namespace testsupport;

namespace {

constexpr DISPID kCreateRackViewer = 503759, kGetRackViewer = 503760, kReleaseResources = 503812;

class RackViewer : public BoardTest {
protected:
  void SetUp() override {
    BoardTest::SetUp();
    Ui.ExpectedDevice = Board->DeviceDispatch();
    Driver = MakeGenericDriver();
    Lend(*Driver);
  }
  void TearDown() override { Driver.reset(); }

  // The JTAG device at the STM32's position, with a boundary-scan entity or without.
  void GiveEntity(bool entity) {
    auto device = hostsim::SimRef<hostsim::SimJtagDevice>::Adopt(new hostsim::SimJtagDevice(L"STM32", 0x3BA00477));
    if (entity) device->SetBsdlEntity(Entity.Get());
    Board->Channel().SetJtagDevice(1, device);
  }
  bool HasView() { return Call(Driver.get(), kGetRackViewer).Dispatch() != nullptr; }
  std::vector<std::wstring> TakeEvents() { return std::exchange(Ui.Events, {}); }

  hostsim::SimRef<hostsim::FakeHostObject> Entity = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  RecordingUI Ui;
  DriverPtr<TTovikDriver> Driver;
};

TEST_F(RackViewer, MadeOnceReleasedThroughItsViewAndMadeAgain) {
  GiveEntity(true);
  ASSERT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  EXPECT_EQ((std::vector<std::wstring>{L"CreateHardDeviceViewerForm(device,JTAG device)=form1",
                                       L"form1.SetState_Controls", L"form1.Display(device)",
                                       L"RackView.Create(form1)"}),
            TakeEvents());
  EXPECT_TRUE(HasView());
  EXPECT_NE(nullptr, Driver->GetRackForm());

  ASSERT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  EXPECT_EQ(std::vector<std::wstring>{}, TakeEvents());
  EXPECT_EQ(1, Ui.LiveForms);

  // The view disposes of the form; the driver's record was its last reference.
  ASSERT_EQ(S_OK, Call(Driver.get(), kReleaseResources).Hr);
  EXPECT_EQ((std::vector<std::wstring>{L"RackView.Release", L"form1.free", L"RackView.free"}), TakeEvents());
  EXPECT_FALSE(HasView());
  EXPECT_EQ(nullptr, Driver->GetRackForm());
  EXPECT_EQ(0, Ui.LiveForms);
  EXPECT_EQ(0, Ui.LiveViews);

  ASSERT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  EXPECT_EQ(L"RackView.Create(form2)", TakeEvents().back());
  EXPECT_TRUE(HasView());
}

TEST_F(RackViewer, TheFormFollowsTheHostDevice) {
  GiveEntity(true);
  ASSERT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  TakeEvents();
  LendDevice(*Driver, Board->DeviceDispatch());
  EXPECT_EQ(std::vector<std::wstring>{L"form1.SetTovikDevice(device)"}, TakeEvents());

  // An empty device withdraws it and releases the form and its view.
  bool accepted = false;
  EXPECT_EQ(S_OK, Driver->SetTovikDevice(ITovikDevice(), accepted));
  EXPECT_TRUE(accepted);
  EXPECT_EQ((std::vector<std::wstring>{L"form1.SetTovikDevice(empty)", L"RackView.Release", L"form1.free",
                                       L"RackView.free"}),
            TakeEvents());
  EXPECT_FALSE(HasView());
  EXPECT_EQ(nullptr, Driver->GetRackForm());
}

TEST_F(RackViewer, ADestroyedDriverReleasesItsView) {
  GiveEntity(true);
  ASSERT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  TakeEvents();
  Driver.reset();
  EXPECT_EQ((std::vector<std::wstring>{L"RackView.Release", L"form1.free", L"RackView.free"}), TakeEvents());
}

// A level whose rack form is no instrument form.
class TPlainRackDriver : public TTovikDriver {
public:
  explicit TPlainRackDriver(RecordingUI& ui) : TTovikDriver(L".EDN"), FUi(ui) {}
  std::unique_ptr<TDriverForm> CreateRackForm() override { return std::make_unique<PlainForm>(FUi, L"plain"); }

private:
  RecordingUI& FUi;
};

TEST_F(RackViewer, AFormThatIsNoInstrumentFormIsAnError) {
  auto driver = MakeDriver<TPlainRackDriver>(Ui);
  LendDevice(*driver, Board->DeviceDispatch());
  EXPECT_EQ(kE_UNEXPECTED, Call(driver.get(), kCreateRackViewer).Hr);
  EXPECT_NE(nullptr, driver->GetRackForm());  // it holds the form
  EXPECT_EQ(nullptr, Call(driver.get(), kGetRackViewer).Dispatch());
  bool accepted = false;
  EXPECT_EQ(kE_UNEXPECTED, driver->SetTovikDevice(ITovikDevice(Board->DeviceDispatch()), accepted));
  EXPECT_EQ(S_OK, Call(driver.get(), kReleaseResources).Hr);
  EXPECT_EQ(std::vector<std::wstring>{L"plain.free"}, TakeEvents());
  EXPECT_EQ(nullptr, driver->GetRackForm());
}

std::vector<std::wstring> gDialogs;
int RecordDialog(HWND, const std::wstring& text, const std::wstring& caption, UINT) {
  gDialogs.push_back(caption + L"|" + text);
  return IDOK;
}

TEST_F(RackViewer, WithoutABoundaryScanEntityTheUserIsToldAndNoFormIsMade) {
  GiveEntity(false);
  Board->Device().SetNames(L"STM32F103RB", L"STM32F1", L"ST", L"STMicroelectronics");
  gDialogs.clear();
  auto previous = SetDialogHandler(&RecordDialog);
  EXPECT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  SetDialogHandler(previous);
  EXPECT_EQ(std::vector<std::wstring>{L"Error|Failed To find Boundary Scan data for Device\r\rDevice:  STM32F103RB"},
            gDialogs);
  EXPECT_EQ(std::vector<std::wstring>{}, TakeEvents());
  EXPECT_EQ(nullptr, Driver->GetRackForm());
  EXPECT_FALSE(HasView());
}

TEST_F(RackViewer, WithoutAChannelOrDeviceNothingIsMadeOrCalled) {
  GiveEntity(true);
  Board->Device().SetChannelPresent(false);
  EXPECT_EQ(S_OK, Call(Driver.get(), kCreateRackViewer).Hr);
  EXPECT_EQ(0u, Board->Channel().Calls().size());

  auto unlent = MakeGenericDriver();
  EXPECT_EQ(S_OK, Call(unlent.get(), kCreateRackViewer).Hr);
  EXPECT_EQ(std::vector<std::wstring>{}, TakeEvents());
  EXPECT_EQ(nullptr, unlent->GetRackForm());
}

}  // namespace

}  // namespace framework_test
