#pragma once
// Shared pieces of the framework tests: a simulated board whose host device
// is lent to a driver, the host calls it received written as text in the
// order they came, and a recording stand-in of the driver user interface.
#include <gtest/gtest.h>

#include "SimHost.h"
#include "Tovik.Classes.h"
#include "Tovik.DriverUI.h"
#include "ZUL.DispatchFix.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace framework_test {

// ---- Host calls as text

// The calls Objects received, merged in the order they came, one line each:
// "ShiftIR(3,1)", "SendDR(0x82,8,1)", "WriteDebugRegister(64,8,0x14)". The
// channel and index look-ups are left out unless WithLookups is set.
inline std::vector<std::wstring> HostCalls(std::initializer_list<const hostsim::FakeHostObject*> objects,
                                           bool withLookups = false) {
  std::vector<const hostsim::LoggedCall*> calls;
  for (const auto* object : objects)
    for (const auto& call : object->Calls()) calls.push_back(&call);
  std::sort(calls.begin(), calls.end(), [](auto* a, auto* b) { return a->Serial < b->Serial; });

  struct Name {
    DISPID Id;
    const wchar_t* Text;
    bool Lookup;
    int HexArg;  // argument written in hexadecimal, -1 for none
  };
  using namespace hostsim::disp;
  static const Name kNames[] = {
      {JTagChannel_Open, L"Open", false, -1},
      {JTagChannel_Close, L"Close", false, -1},
      {JTagChannel_GetJTagDevice, L"GetJTagDevice", false, -1},
      {JTagChannel_SendDR, L"SendDR", false, 0},
      {JTagChannel_ExchangeDR, L"ExchangeDR", false, 0},
      {JTagChannel_ShiftDRString, L"ShiftDRString", false, -1},
      {JTagChannel_LoadIR, L"LoadIR", false, -1},
      {JTagChannel_ShiftIR, L"ShiftIR", false, -1},
      {JTagChannel_MoveTAPState, L"MoveTAPState", false, -1},
      {TovikDevice_GetJTagChannel, L"GetJTagChannel", true, -1},
      {TovikDevice_GetJTagIndex, L"GetJTagIndex", true, -1},
      {TovikDevice_GetDeviceName, L"GetDeviceName", false, -1},
      {TovikDevice_ReadDebugRegister, L"ReadDebugRegister", false, -1},
      {TovikDevice_WriteDebugRegister, L"WriteDebugRegister", false, 2},
      {TovikDevice_TransactionBegin, L"TransactionBegin", false, -1},
      {TovikDevice_TransactionEnd, L"TransactionEnd", false, -1},
  };
  std::vector<std::wstring> lines;
  for (const auto* call : calls) {
    const Name* name = nullptr;
    for (const Name& n : kNames)
      if (n.Id == call->Id) name = &n;
    if (name && name->Lookup && !withLookups) continue;
    std::wstring line = name ? name->Text : L"#" + std::to_wstring(call->Id);
    line += L"(";
    for (std::size_t k = 0; k < call->Args.size(); ++k) {
      if (k) line += L",";
      if (name && int(k) == name->HexArg) {
        wchar_t hex[16];
        swprintf(hex, 16, L"0x%02lX", static_cast<unsigned long>(call->Int(k)));
        line += hex;
      } else {
        line += call->Str(k);
      }
    }
    lines.push_back(line + L")");
  }
  return lines;
}

// ---- Drivers

inline constexpr DISPID kSetTovikDevice = 503754;

// Drivers count no references: the test owns the one it makes.
template <class T>
using DriverPtr = std::unique_ptr<T>;

template <class T = tvk::TTovikDriver, class... A>
DriverPtr<T> MakeDriver(A&&... args) {
  return DriverPtr<T>(tvk::New<T>(std::forward<A>(args)...));
}

inline DriverPtr<tvk::TTovikDriver> MakeGenericDriver() { return MakeDriver(std::wstring(L".EDN")); }

// Lends Device to Driver as the host does.
inline void LendDevice(tvk::TTovikDriver& driver, IDispatch* device) {
  bool accepted = false;
  ASSERT_EQ(S_OK, driver.SetTovikDevice(tvk::ITovikDevice(device), accepted));
  ASSERT_TRUE(accepted);
}

// A board (a bypass device at chain index 0, the STM32 at 1) whose host
// device a driver holds; the logs start empty after the device is lent.
class BoardTest : public ::testing::Test {
protected:
  void SetUp() override {
    tvk::DispatchFixStartup();
    Board = hostsim::SimBoard::Stm32F103BehindBypass();
  }
  void Lend(tvk::TTovikDriver& driver) {
    LendDevice(driver, Board->DeviceDispatch());
    ClearLogs();
  }
  void ClearLogs() {
    Board->Channel().ClearCalls();
    Board->Device().ClearCalls();
  }
  std::vector<std::wstring> Calls(bool withLookups = false) const {
    return HostCalls({&Board->Channel(), &Board->Device()}, withLookups);
  }
  std::size_t HostCallCount() const { return Board->Channel().Calls().size() + Board->Device().Calls().size(); }

  std::unique_ptr<hostsim::SimBoard> Board;
};

// ---- A recording stand-in of the driver user interface

class RecordingUI;

class RecordingForm : public tvk::TDriverInstrumentForm {
public:
  RecordingForm(RecordingUI& ui, std::wstring name) : FUi(ui), FName(std::move(name)) {}
  ~RecordingForm() override;
  void SetTovikDevice(const tvk::ITovikDevice& device) override;
  void Display(const tvk::ITovikDevice& device) override;
  void SetState_Controls() override;

  const tvk::ITovikDevice& Device() const { return FDevice; }
  const std::wstring& Name() const { return FName; }

private:
  RecordingUI& FUi;
  std::wstring FName;
  tvk::ITovikDevice FDevice;
};

// A form that is not an instrument form.
class PlainForm : public tvk::TDriverForm {
public:
  PlainForm(RecordingUI& ui, std::wstring name) : FUi(ui), FName(std::move(name)) {}
  ~PlainForm() override;

private:
  RecordingUI& FUi;
  std::wstring FName;
};

// The served view around a rack form: owns the form, frees it when the host
// (or the driver) calls IInstrumentView.Release.
class RecordingView : public hostsim::FakeHostObject {
public:
  static constexpr DISPID kRelease = 503704;
  RecordingView(RecordingUI& ui, std::unique_ptr<tvk::TDriverForm> form);
  ~RecordingView() override;

private:
  RecordingUI& FUi;
  std::unique_ptr<tvk::TDriverForm> FForm;
};

class RecordingUI : public tvk::TDriverUI, public tvk::TInstrumentViewClass {
public:
  RecordingUI() : FPrevious(tvk::RegisterDriverUI(this)) {}
  ~RecordingUI() { tvk::RegisterDriverUI(FPrevious); }
  RecordingUI(const RecordingUI&) = delete;
  RecordingUI& operator=(const RecordingUI&) = delete;

  std::unique_ptr<tvk::TDriverForm> CreateHardDeviceViewerForm(const tvk::ITovikDevice& device,
                                                               const tvk::IJTagDevice& jtagDevice) override {
    return MakeForm(L"CreateHardDeviceViewerForm", device, jtagDevice);
  }
  std::unique_ptr<tvk::TDriverForm> CreateARMInstrumentForm(const tvk::ITovikDevice& device,
                                                            const tvk::IJTagDevice& jtagDevice) override {
    return MakeForm(L"CreateARMInstrumentForm", device, jtagDevice);
  }
  std::unique_ptr<tvk::TDriverDialog> CreateFlashMemoryUtilityForm(const tvk::IFlashWriters&,
                                                                   const tvk::IDeviceLink&) override {
    Note(L"CreateFlashMemoryUtilityForm");
    return nullptr;
  }
  const tvk::TInstrumentViewClass& RackInstrumentView() const override { return *this; }

  tvk::IInstrumentView Create(tvk::TDriverForm& form) const override {
    auto* self = const_cast<RecordingUI*>(this);
    self->Note(L"RackView.Create(" + self->NameOf(form) + L")");
    auto* view = new RecordingView(*self, std::unique_ptr<tvk::TDriverForm>(&form));
    tvk::IInstrumentView record(view);
    view->Release();  // the record holds the one reference
    return record;
  }

  // Set-up: the next forms made are not instrument forms.
  bool MakePlainForms = false;

  void Note(std::wstring event) { Events.push_back(std::move(event)); }
  std::wstring NameOf(tvk::TDriverForm& form) {
    auto* recording = dynamic_cast<RecordingForm*>(&form);
    return recording ? recording->Name() : L"plain";
  }
  // The device a call was given, as the test's board sees it.
  IDispatch* ExpectedDevice = nullptr;
  std::wstring DeviceText(const tvk::ITovikDevice& device) const {
    if (device.IsEmpty()) return L"empty";
    return device.ToPointer() == ExpectedDevice ? L"device" : L"other";
  }

  std::vector<std::wstring> Events;
  int LiveViews = 0;
  int LiveForms = 0;

private:
  std::unique_ptr<tvk::TDriverForm> MakeForm(const wchar_t* call, const tvk::ITovikDevice& device,
                                             const tvk::IJTagDevice& jtagDevice) {
    std::wstring name = L"form" + std::to_wstring(++FMade);
    Note(std::wstring(call) + L"(" + DeviceText(device) + L"," + (jtagDevice.IsEmpty() ? L"no JTAG device" : L"JTAG device") +
         L")=" + name);
    ++LiveForms;
    if (MakePlainForms) return std::make_unique<PlainForm>(*this, name);
    return std::make_unique<RecordingForm>(*this, name);
  }

  tvk::TDriverUI* FPrevious;
  int FMade = 0;
};

inline RecordingForm::~RecordingForm() {
  FUi.Note(FName + L".free");
  --FUi.LiveForms;
}
inline void RecordingForm::SetTovikDevice(const tvk::ITovikDevice& device) {
  FDevice = device;
  FUi.Note(FName + L".SetTovikDevice(" + FUi.DeviceText(device) + L")");
}
inline void RecordingForm::Display(const tvk::ITovikDevice& device) {
  FDevice = device;
  FUi.Note(FName + L".Display(" + FUi.DeviceText(device) + L")");
}
inline void RecordingForm::SetState_Controls() { FUi.Note(FName + L".SetState_Controls"); }

inline PlainForm::~PlainForm() {
  FUi.Note(FName + L".free");
  --FUi.LiveForms;
}

inline RecordingView::RecordingView(RecordingUI& ui, std::unique_ptr<tvk::TDriverForm> form)
    : FUi(ui), FForm(std::move(form)) {
  ++FUi.LiveViews;
  On(kRelease, [this](std::vector<VARIANT*>&, VARIANT*) {
    FUi.Note(L"RackView.Release");
    FForm.reset();
    return S_OK;
  });
}
inline RecordingView::~RecordingView() {
  FUi.Note(L"RackView.free");
  --FUi.LiveViews;
}

}  // namespace framework_test
