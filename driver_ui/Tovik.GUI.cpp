#include "Tovik.GUI.h"

#include "DriverUISteps.h"
#include "Extension.Util.h"
#include "Tovik.Form.ARM.BaseInstrument.h"
#include "Tovik.Form.FlashMemoryUtility.h"
#include "Tovik.Form.HardDeviceViewer.h"
#include "ZUL.HostModules.h"

#include <algorithm>

namespace tvk {

// ---- TInstrumentFormDispatch

HRESULT STDMETHODCALLTYPE TInstrumentFormDispatch::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TInstrumentFormDispatch::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                                          DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                                          UINT* argErr) {
  HRESULT hr = kE_UNEXPECTED;
  Guard([&] { hr = FForm.Invoke(id, iid, lcid, flags, params, result, excep, argErr); });
  return hr;
}

// ---- TInstrumentForm

TInstrumentForm::TInstrumentForm(const ITovikDevice& Device) : TForm(nullptr), FTovikDevice(Device) {}

bool TInstrumentForm::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualIID(iid, IID_IDispatch)) {
    *obj = Dispatch();
    return true;
  }
  return TForm::GetInterface(iid, obj);
}

HRESULT TInstrumentForm::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return kE_NOTIMPL;
}

void TInstrumentForm::Display(const ITovikDevice& Device) {
  SetTovikDevice(Device);
  SetCaption(L"  JTAG Index: " + IntToStr(FTovikDevice.GetJTagIndex()));
}

// ---- TRackInstrumentForm

void TRackInstrumentForm::AfterDesign() {
  TInstrumentForm::AfterDesign();
  FDeviceBusy = false;
  SetBorderStyle(TFormBorderStyle::bsNone);
  const TMouseEvent handler = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    MouseButtonDown(sender, button, shift, x, y);
  };
  OnMouseDown = handler;
  SetMouseHandler(handler);
}

void TRackInstrumentForm::DoClose(TCloseAction& action) {
  action = TCloseAction::caHide;
  TInstrumentForm::DoClose(action);
}

namespace {

// Sets Busy for one register access, whatever happens in it.
class TBusyScope {
public:
  explicit TBusyScope(bool& busy) : FBusy(busy) { FBusy = true; }
  ~TBusyScope() { FBusy = false; }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

private:
  bool& FBusy;
};

}  // namespace

uint32_t TRackInstrumentForm::GetRegisterValue(int32_t Index) {
  if (!DeviceOnline() || FDeviceBusy) return 0;
  const IProcessorRegister reg = FTovikDevice.GetProcessorRegister(Index);
  if (!reg) return 0;
  TBusyScope busy(FDeviceBusy);
  return reg.GetValue();
}

void TRackInstrumentForm::SetRegisterValue(int32_t Index, uint32_t Value) {
  if (!DeviceOnline()) return;
  const IProcessorRegister reg = FTovikDevice.GetProcessorRegister(Index);
  if (!reg) return;
  TBusyScope busy(FDeviceBusy);
  reg.SetValue(Value);
}

TInstrumentBackgroundPanel* TRackInstrumentForm::GetMainPanel() {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* plate = dynamic_cast<TInstrumentBackgroundPanel*>(Controls(i))) return plate;
  return nullptr;
}

void TRackInstrumentForm::UpdateCoreInformation() {
  if (!DeviceOnline()) return;
  TInstrumentBackgroundPanel* plate = GetMainPanel();
  if (!plate) return;
  plate->SetJtagID(FTovikDevice.GetJTagIndex());
  const IJTagChannel channel = FTovikDevice.GetJTagChannel();
  plate->SetPortID(channel ? FindJTagPortIndex(channel.GetJtagPort()) : -1);
  ITovikCore core;
  GetDesignCore(core);
  if (core) plate->SetCoreName(core.GetCoreName() + L" (" + core.GetCoreDescription() + L")");
  else plate->SetCoreName(L"(" + FTovikDevice.GetDeviceName() + L" )");
}

void TRackInstrumentForm::GetDesignCore(ITovikCore& Core) {
  Core.Clear();
  if (!DeviceOnline()) return;
  const ITovikWorkbench workbench = GetTovikWorkbench();
  if (workbench) Core = workbench.GetCoreForDevice(FTovikDevice);
}

void TRackInstrumentForm::ShowRegisterValue(const IProcessorRegister& Register, TCustomLabel& Label, bool Hex,
                                            bool Decimal, bool Binary, uint32_t Value, int Bits) {
  if (Register && Bits == 0) {
    Register.Update();
    Value = Register.GetValue();
    Bits = Register.GetSize();
  }
  if (!Register) {
    Label.SetCaption(WideString());
    return;
  }
  WideString text;
  const auto join = [&](const WideString& part) { text += (text.empty() ? WideString() : WideString(L" - ")) + part; };
  if (Hex) join(FormatHex0x(Value, std::clamp((Bits + 3) / 4, 2, 8)));
  if (Decimal) join(IntToStr(Value));
  if (Binary) {
    WideString binary;
    FormatBinaryGrouped(Value, Bits, binary);
    join(binary);
  }
  Label.SetCaption(text);
}

void TRackInstrumentForm::MouseButtonDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  UINT message = 0;
  switch (Button) {
    case TMouseButton::mbLeft: message = WM_LBUTTONDOWN; break;
    case TMouseButton::mbRight: message = WM_RBUTTONDOWN; break;
    default: return;
  }
  if (!FParentWindowHolder) return;
  SendMessageW(WindowFromWire(uint32_t(FParentWindowHolder.GetHandle())), message, WPARAM(X), LPARAM(Y));
}

// ---- TInstrumentView

#define TVK_ROW_TInstrumentView(Id, Name, Params) TVK_SERVED_ROW(TInstrumentView, Id, Name),
static constexpr TServedRow<TInstrumentView> kInstrumentViewRows[] = {
    TVK_INSTRUMENT_VIEW_OPERATIONS(TVK_ROW_TInstrumentView)};
#undef TVK_ROW_TInstrumentView
TVK_SERVED_LEVEL_IMPL(TInstrumentView, TTovikInstrumentView, kInstrumentViewRows, L"InstrumentView")

TInstrumentView::TInstrumentView(TInstrumentForm* Form) : TTovikInstrumentView(Form) {
  try {
    FNHandler = ComRef<TNotificationHandler>(
        New<TNotificationHandler>([this](const INotification& notification) { return ReceiveNotification(notification); }));
  } catch (...) {
    FForm = nullptr;  // not made: the form stays the caller's
    throw;
  }
}

TInstrumentView::~TInstrumentView() {
  if (!FNHandler) return;
  Guard([&] { FNHandler->Detach(); });
  FNHandler.Reset();
}

TInstrumentForm* TInstrumentView::InstrumentForm() const { return dynamic_cast<TInstrumentForm*>(FForm); }

HRESULT TInstrumentView::UpdateDisplay() { return S_OK; }

HRESULT TInstrumentView::GetProjectDetails(TServedStringRef ProjectPath, TServedStringRef Target) {
  return Guard([&] {
    ProjectPath.Set(FProjectPath);
    Target.Set(FTarget);
  });
}

HRESULT TInstrumentView::SetProjectDetails(const WideString& ProjectPath, const WideString& Target) {
  return Guard([&] {
    FProjectPath = ProjectPath;
    FTarget = Target;
    if (TInstrumentForm* form = InstrumentForm()) form->SetProjectDetails(ProjectPath, Target);
  });
}

HRESULT TInstrumentView::GetPreferredBounds(int32_t* Left, int32_t* Top, int32_t* Width, int32_t* Height) {
  return Guard([&] {
    if (!FForm) return;
    *Left = FForm->Left();
    *Top = FForm->Top();
    *Width = FForm->ClientWidth();
    *Height = FForm->ClientHeight();
  });
}

HRESULT TInstrumentView::SetViewBounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  return Guard([&] {
    if (FForm) FForm->SetBounds(Left, Top, Width, Height);
  });
}

HRESULT TInstrumentView::LiveUpdateNet(const INet&, bool, bool& Result) {
  Result = false;
  return S_OK;
}

HRESULT TInstrumentView::ReceiveNotification(const INotification& Notification) {
  return Guard([&] {
    if (TInstrumentForm* form = InstrumentForm()) form->ReceiveNotification(Notification);
  });
}

HRESULT TInstrumentView::ReleaseView() {
  return Guard([&] {
    if (TInstrumentForm* form = InstrumentForm()) form->Hidden();
  });
}

// ---- TRackInstrumentView

TRackInstrumentForm* TRackInstrumentView::RackForm() const { return dynamic_cast<TRackInstrumentForm*>(FForm); }

HRESULT TRackInstrumentView::SetParentWindow(const IExternalFormHolder& Holder) {
  HRESULT hr = TInstrumentView::SetParentWindow(Holder);
  if (FAILED(hr)) return hr;
  return Guard([&] {
    if (TRackInstrumentForm* form = RackForm()) form->SetParentWindow(Holder);
  });
}

HRESULT TRackInstrumentView::UpdateDisplay() {
  return Guard([&] {
    if (TRackInstrumentForm* form = RackForm()) {
      form->UpdateCoreInformation();
      form->ForceDisplayUpdate();
    }
  });
}

HRESULT TRackInstrumentView::GetPreferredBounds(int32_t* Left, int32_t* Top, int32_t* Width, int32_t* Height) {
  HRESULT hr = TInstrumentView::GetPreferredBounds(Left, Top, Width, Height);
  if (FAILED(hr)) return hr;
  return Guard([&] {
    if (!FForm) return;  // without a form the outputs stay as they were
    *Left = 0;
    *Top = 0;
    *Width = kRackWidth;
    if (TRackInstrumentForm* form = RackForm()) *Height = form->GetPreferredHeight();
  });
}

HRESULT TRackInstrumentView::LiveUpdateNet(const INet& Net, bool UpdateEnabled, bool& Result) {
  Result = false;
  return Guard([&] {
    if (TRackInstrumentForm* form = RackForm()) Result = form->LiveUpdateNet(Net, UpdateEnabled);
  });
}

// ---- The module's driver user interface

namespace {

// The windows the driver asks for; a window whose unit is not built raises.
class TModuleDriverUI final : public TDriverUI, public TInstrumentViewClass {
public:
  std::unique_ptr<TDriverForm> CreateHardDeviceViewerForm(const ITovikDevice& Device,
                                                           const IJTagDevice& JTagDevice) override {
    return std::unique_ptr<TDriverForm>(tvk::CreateHardDeviceViewerForm(Device, JTagDevice));
  }
  std::unique_ptr<TDriverForm> CreateARMInstrumentForm(const ITovikDevice& Device,
                                                       const IJTagDevice& JTagDevice) override {
    return std::unique_ptr<TDriverForm>(tvk::CreateARMInstrumentForm(Device, JTagDevice));
  }
  std::unique_ptr<TDriverDialog> CreateFlashMemoryUtilityForm(const IFlashWriters& FlashWriters,
                                                              const IDeviceLink& DeviceLink) override {
    return TFlashMemoryUtilityForm::Create(FlashWriters, DeviceLink);
  }
  const TInstrumentViewClass& RackInstrumentView() const override { return *this; }

  // TRackInstrumentView.Create(Form): Form must be a rack form.
  IInstrumentView Create(TDriverForm& Form) const override {
    auto* rack = dynamic_cast<TRackInstrumentForm*>(&Form);
    if (!rack) throw Exception(L"Invalid class typecast");
    return IInstrumentView(static_cast<IDispatch*>(New<TRackInstrumentView>(rack)));
  }
};

TModuleDriverUI gModuleDriverUI;

}  // namespace

TDriverUI& ModuleDriverUI() { return gModuleDriverUI; }

bool DriverUIUnitStartup() {
  RegisterDriverUI(&gModuleDriverUI);
  return true;
}

void DriverUIUnitShutdown() {
  // Another registration made since (a test's stand-in) stays in place.
  TDriverUI* current = RegisterDriverUI(nullptr);
  if (current != &gModuleDriverUI) RegisterDriverUI(current);
}

}  // namespace tvk
