#include "ZUL.Classes.h"

#include "Application.h"
#include "ZUL.Util.h"

#include <shellapi.h>

namespace tvk {

uint32_t WindowToWire(HWND window) { return uint32_t(reinterpret_cast<uintptr_t>(window)); }

// Sign-extended, as the system widens a 32-bit handle value.
HWND WindowFromWire(uint32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(value))); }

namespace {

void ShellOpen(const WideString& target) {
  ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The module's own file name without folder and extension.
WideString ModuleBaseName() {
  WideString name = ExtractFileName(GetModuleFile());
  std::size_t dot = name.find_last_of(L'.');
  return dot == WideString::npos ? name : name.substr(0, dot);
}

// An object reference of a served call's argument, as the caller gave it.
IUnknown* ArgInterface(const VARIANT& v) {
  switch (v.vt) {
    case VT_UNKNOWN: return v.punkVal;
    case VT_DISPATCH: return v.pdispVal;
    case VT_BYREF | VT_UNKNOWN: return v.ppunkVal ? *v.ppunkVal : nullptr;
    case VT_BYREF | VT_DISPATCH: return v.ppdispVal ? *v.ppdispVal : nullptr;
    default: return nullptr;
  }
}

// {9D921288-DD0C-4B83-A5C9-BF9C132C5D9E}: the host's window-holder interface.
const IID IID_IExternalFormHolderIntf = {0x9D921288, 0xDD0C, 0x4B83, {0xA5, 0xC9, 0xBF, 0x9C, 0x13, 0x2C, 0x5D, 0x9E}};

}  // namespace

// ---- TFormWithHelp

void TFormWithHelp::GetHelpKeyword(TControl* control, WideString& keyword) {
  keyword = control ? control->Name() : WideString();
  if (!keyword.empty() || !control) return;
  keyword = control->ClassName();
  if (!keyword.empty() && keyword[0] == L'T') keyword.erase(0, 1);
}

void TFormWithHelp::BuildHelpKeyword(TControl* control, WideString& keyword) {
  WideString prefix;
  GetHostClientAPI().GetHelpKeywordPrefix(ModuleBaseName(), prefix);
  WideString formWord;
  GetHelpKeyword(this, formWord);
  keyword = prefix + L".Dlg." + formWord;
  if (!control || control == this) return;
  WideString name;
  GetHelpKeyword(control, name);
  for (TControl* p = control->Parent(); p && p != this && !p->Is<TCustomForm>(); p = p->Parent()) {
    WideString word;
    GetHelpKeyword(p, word);
    name = word + L"." + name;
  }
  keyword += L"." + name;
}

bool TFormWithHelp::GetHelpTarget(TControl* control, WideString& target) {
  if (!control) return false;
  WideString keyword;
  BuildHelpKeyword(control, keyword);
  WideString answer;
  if (!GetHostClientAPI().FindHelpKeyword(keyword, answer)) return false;
  target = answer;
  return true;
}

void TFormWithHelp::ShowHelpForControl(TControl* control) {
  WideString target;
  if (control && GetHelpTarget(control, target)) ShellOpen(target);
}

void TFormWithHelp::HandleF1(TControl* control) {
  FIgnoreWhatsThis = true;  // the WM_HELP that follows F1 is answered already
  if (IsShiftDown() || IsCtrlDown() || IsAltDown()) ProcessHostShortcut(VK_F1);
  else ShowHelpForControl(control);
}

void TFormWithHelp::CMChildKey(TMessage& message) {
  if (FHandleHelp && message.WParam == VK_F1) {
    HandleF1(reinterpret_cast<TControl*>(message.LParam));
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TFormWithHelp::WMHelp(TMessage& message) {
  const auto* info = reinterpret_cast<const HELPINFO*>(message.LParam);
  if (!FHandleHelp || !info || info->iContextType != HELPINFO_WINDOW) {
    TVK_INHERITED(message);
    return;
  }
  if (!FIgnoreWhatsThis) {
    ClearStatusBarText();
    WideString target;
    TWinControl* control = TWinControl::FindControl(static_cast<HWND>(info->hItemHandle));
    if (control && GetHelpTarget(control, target)) ShellOpen(target);
  }
  FIgnoreWhatsThis = false;
  message.Result = 1;
}

TVK_MESSAGE_MAP(TFormWithHelp, {CM_CHILDKEY, &TFormWithHelp::CMChildKey}, {WM_HELP, &TFormWithHelp::WMHelp})

// ---- TServerViewForm

void TServerViewForm::WMGetDlgCode(TMessage& message) {
  message.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;  // 7
}

void TServerViewForm::WMKeyDown(TMessage& message) {
  message.Result = 0;
  WORD key = WORD(message.WParam);
  // F1 on the form's own window carries no control: the form's own help.
  if (FHandleHelp && key == VK_F1) HandleF1(this);
  else ProcessHostShortcut(key);
}

void TServerViewForm::WMSysKeyDown(TMessage& message) {
  message.Result = 0;
  ProcessHostShortcut(int32_t(message.WParam));
}

TVK_MESSAGE_MAP(TServerViewForm, {WM_GETDLGCODE, &TServerViewForm::WMGetDlgCode},
                {WM_KEYDOWN, &TServerViewForm::WMKeyDown}, {WM_SYSKEYDOWN, &TServerViewForm::WMSysKeyDown})

// ---- TServerDialog

POINT PlaceCentered(const RECT& monitor, int width, int height) {
  // Integer division truncates toward zero, also left of the primary monitor.
  return POINT{(monitor.left + monitor.right - width) / 2, (monitor.top + monitor.bottom - height) / 2};
}

void TServerDialog::PlaceDialog() {
  HMONITOR monitor = MonitorFromWindow(GetActiveWindow(), MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return;
  POINT origin = PlaceCentered(info.rcMonitor, Width(), Height());
  SetBounds(origin.x, origin.y, Width(), Height());
}

void TServerDialog::Loaded() {
  TFormWithHelp::Loaded();
  FSizeableDialog = BorderStyle() == TFormBorderStyle::bsSizeable;
  if (FSizeableDialog) SetBorderStyle(TFormBorderStyle::bsDialog);
  RecreateWnd();
  SetColor(clBtnFace);
}

void TServerDialog::CreateParams(TCreateParams& params) {
  TFormWithHelp::CreateParams(params);
  if (FSizeableDialog) params.Style |= WS_THICKFRAME;
  if (!Parent() && !ParentWindow() && OwnedByHostWindow()) params.WndParent = GetHostMainWindowHandle();
}

void TServerDialog::WMNCCreate(TMessage& message) {
  // A sizeable dialog keeps the system menu the system gives it.
  if (FSizeableDialog) DefaultHandler(message);
  else TVK_INHERITED(message);
}

void TServerDialog::CMShowingChanged(TMessage& message) {
  if (!HandleAllocated() || !Visible() || Parent() || Position() == TPosition::poDesigned) {
    TVK_INHERITED(message);
    return;
  }
  // Placed already (PlaceDialog): the toolkit's placement is bypassed.
  SetFormState(fsShowing, true);
  CallGuarded(this, [&] { DoShow(); });  // an error there does not stop the showing
  ShowWindow(Handle(), ShowCommand());
  SetFormState(fsShowing, false);
  SetFormState(fsVisible, true);
}

TVK_MESSAGE_MAP(TServerDialog, {WM_NCCREATE, &TServerDialog::WMNCCreate},
                {CM_SHOWINGCHANGED, &TServerDialog::CMShowingChanged})

// ---- TServerPanelForm

TServerPanelForm::TServerPanelForm(TComponent* owner) : TServerViewForm(owner) { MakeTimerHandler(); }

TServerPanelForm::TServerPanelForm(TComponent* owner, TCreateNew) : TServerViewForm(owner, kCreateNew) {
  MakeTimerHandler();
}

void TServerPanelForm::MakeTimerHandler() {
  FTimerHandler = ComRef<TTimerHandler>(New<TTimerHandler>(500u, false, [this](uint32_t id) { TimerTick(id); }));
}

TServerPanelForm::~TServerPanelForm() {
  if (!FTimerHandler) return;
  // The host holds its own reference: without this it would tick a freed form.
  Guard([&] { FTimerHandler->Detach(); });
  FTimerHandler.Reset();
}

void TServerPanelForm::TimerTick(uint32_t) {}

void TServerPanelForm::WMEraseBkgnd(TMessage& message) {
  if (!FParentWindowHolder) {
    message.Result = 0;  // not painted, not marked handled
    return;
  }
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  struct TRestore {
    TServerPanelForm& Form;
    HDC Dc;
    int Saved;
    bool Buffered;
    ~TRestore() {
      Form.SetDoubleBuffered(Buffered);
      RestoreDC(Dc, Saved);
    }
  } restore{*this, dc, SaveDC(dc), DoubleBuffered()};
  SetDoubleBuffered(false);
  SendMessageW(WindowFromWire(uint32_t(FParentWindowHolder.GetHandle())), WM_ERASEBKGND, message.WParam, 0);
  message.Result = 1;
}

void TServerPanelForm::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!FParentWindowHolder) return;
  SetWindowTextW(WindowFromWire(uint32_t(FParentWindowHolder.GetHandle())), Caption().c_str());
  FParentWindowHolder.CaptionChanged();
}

TVK_MESSAGE_MAP(TServerPanelForm, {WM_ERASEBKGND, &TServerPanelForm::WMEraseBkgnd},
                {CM_TEXTCHANGED, &TServerPanelForm::CMTextChanged})

// ---- TExternalForm

TExternalForm::TExternalForm(TCustomForm* form, bool forceDestroy) : FForceDestroy(forceDestroy), FForm(form) {
  if (FForm) FForm->SetBorderStyle(TFormBorderStyle::bsNone);
}

TExternalForm::~TExternalForm() {
  // The holder's reference is released with the record: nothing else keeps it.
  FParentWindow.Clear();
  if (!FForm) return;
  std::unique_ptr<TCustomForm> form(std::exchange(FForm, nullptr));
  bool now = FForceDestroy;
  if (!now && FAILED(Guard([&] {
        IClient client = GetHostClient();
        now = !client || client.GetIsShuttingDown();
      })))
    now = true;
  if (now) return;  // freed here
  // Freed after the message being processed (the wrapper may be released from
  // inside one of the form's own handlers), or from the message loop.
  Guard([&] {
    if (form->HandleAllocated()) form.release()->Release();
    else DelayedDestroy(std::move(form));
  });
}

TCustomForm& TExternalForm::RequireForm() const {
  if (!FForm) throw Exception(L"The external form has no form");
  return *FForm;
}

HRESULT TExternalForm::SetParentWindow(const IExternalFormHolder& holder) {
  return Guard([&] {
    FParentWindow = holder;
    if (FForm && !holder) DetachFromParent();
  });
}

HRESULT TExternalForm::AttachToParent() {
  return Guard([&] {
    if (!FForm) return;
    int left = FForm->Left(), top = FForm->Top();
    if (FParentWindow) {
      FForm->SetParentWindow(WindowFromWire(uint32_t(FParentWindow.GetHandle())));
      FForm->SetVisible(true);
    } else {
      FForm->SetVisible(false);
    }
    FForm->SetBounds(left, top, FForm->Width(), FForm->Height());
  });
}

HRESULT TExternalForm::DetachFromParent() {
  return Guard([&] {
    if (!FForm) return;
    if (FForm->OnHide) FForm->OnHide(FForm);
    FForm->DestroyHandle();  // its controls keep their state for a later window
    FForm->SetVisible(false);
    FForm->SetParentWindow(nullptr);
  });
}

HRESULT TExternalForm::GetBounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height) {
  return Guard([&] {
    TCustomForm& form = RequireForm();
    *left = form.Left();
    *top = form.Top();
    *width = form.Width();
    *height = form.Height();
  });
}

HRESULT TExternalForm::GetCaption(WideString& caption) {
  caption = FForm ? FForm->Caption() : WideString();
  return S_OK;
}

HRESULT TExternalForm::GetHandle(uint32_t& handle) {
  return Guard([&] {
    TCustomForm& form = RequireForm();
    handle = form.HandleAllocated() ? WindowToWire(form.Handle()) : 0;  // never made for the asking
  });
}

HRESULT TExternalForm::Hide() {
  return Guard([&] { RequireForm().Hide(); });
}

HRESULT TExternalForm::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return Guard([&] { RequireForm().SetBounds(left, top, width, height); });
}

HRESULT TExternalForm::SetFocus() {
  return Guard([&] {
    if (FForm && FForm->Visible() && FForm->Enabled() && FForm->CanFocus()) FForm->SetFocus();
  });
}

HRESULT TExternalForm::Show() {
  return Guard([&] { RequireForm().Show(); });
}

HRESULT TExternalForm::FocusFirstControl() {
  return Guard([&] {
    TCustomForm& form = RequireForm();
    if (TWinControl* first = form.FindNextControl(nullptr, true, true, false)) first->SetFocus();
  });
}

// ---- TAbstractSDKServerView

namespace {

HRESULT CallGetIsPanel(TAbstractSDKServerView& self, const TServedArgs&, VARIANT* result) {
  int32_t value = 0;
  HRESULT hr = self.GetIsPanel(value);
  if (FAILED(hr)) return hr;
  ServedResultBool(result, value != 0);
  return hr;
}

// The shift state arrives as a transport-set object holding a 16-bit set.
HRESULT CallDragDropAccept(TAbstractSDKServerView& self, const TServedArgs& args, VARIANT* result) {
  IDragDropObject dragObject(ServedArgDispatch(args.Arg(1)).Get());
  int32_t value = ServedArgInt(args.Arg(2));
  uint8_t set[2] = {};
  ImportSetFromTransport(ArgInterface(args.Arg(3)), set, sizeof set);
  bool accept = false;
  HRESULT hr = self.DragDropAccept(dragObject, value, uint16_t(set[0] | (set[1] << 8)), accept);
  if (FAILED(hr)) return hr;
  ServedResultBool(result, accept);
  return hr;
}

}  // namespace

#define TVK_ROW_TAbstractSDKServerView(Id, Name, Params) TVK_SERVED_ROW(TAbstractSDKServerView, Id, Name),
#define TVK_ROW_TAbstractSDKServerView_H(Id, Name, Params, Call) TServedRow<TAbstractSDKServerView>{Id, &Call},

static constexpr TServedRow<TAbstractSDKServerView> kSDKServerViewRows[] = {
    TVK_SDK_SERVER_VIEW_OPERATIONS(TVK_ROW_TAbstractSDKServerView, TVK_ROW_TAbstractSDKServerView_H)};
TVK_SERVED_LEVEL_IMPL(TAbstractSDKServerView, TExternalForm, kSDKServerViewRows, L"ServerView", L"DragDropTarget")

TAbstractSDKServerView::TAbstractSDKServerView(const WideString& viewName, TCustomForm* form)
    : TExternalForm(form, false), FViewName(viewName) {
  if (auto* panel = dynamic_cast<TServerPanelForm*>(form)) panel->SetPanelName(viewName);
}

HRESULT TAbstractSDKServerView::GetViewName(WideString& name) {
  name = FViewName;
  return S_OK;
}

void TAbstractSDKServerView::BuildViewState(WideString& state) { state.clear(); }

HRESULT TAbstractSDKServerView::GetViewState(WideString& state) {
  return Guard([&] {
    WideString built;
    BuildViewState(built);
    FViewState = built;
    state = built;
  });
}

HRESULT TAbstractSDKServerView::SetViewState(const WideString&) { return S_OK; }

HRESULT TAbstractSDKServerView::ReceiveNotification(const INotification&) { return S_OK; }

HRESULT TAbstractSDKServerView::GetViewStateEx(TRaw32, WideString& state) { return GetViewState(state); }

HRESULT TAbstractSDKServerView::SetViewStateEx(const WideString& state) { return SetViewState(state); }

HRESULT TAbstractSDKServerView::DragDropCursorQuery(const IDragDropObject& dragObject) {
  return Guard([&] {
    HCURSOR no = LoadCursorW(nullptr, IDC_NO);
    dragObject.SetCursor(int32_t(reinterpret_cast<intptr_t>(no)));
  });
}

HRESULT TAbstractSDKServerView::DragDropNotifyA(const IDragDropObject&) { return S_OK; }
HRESULT TAbstractSDKServerView::DragDropNotifyB(const IDragDropObject&) { return S_OK; }
HRESULT TAbstractSDKServerView::DragDropNotifyC(const IDragDropObject&) { return S_OK; }

HRESULT TAbstractSDKServerView::DragDropAccept(const IDragDropObject&, int32_t, uint16_t, bool& accept) {
  accept = false;
  return S_OK;
}

// ---- TServerPanelView

TServerPanelView::TServerPanelView(const WideString& viewName, TServerPanelForm* panelForm)
    : TAbstractSDKServerView(viewName, panelForm), FPanelForm(panelForm) {}

HRESULT TServerPanelView::GetIsPanel(int32_t& value) {
  value = -1;
  return S_OK;
}

HRESULT TServerPanelView::SetParentWindow(const IExternalFormHolder& holder) {
  HRESULT hr = TAbstractSDKServerView::SetParentWindow(holder);
  if (FAILED(hr)) return hr;
  return Guard([&] {
    if (FPanelForm) FPanelForm->SetParentWindowHolder(FParentWindow);
  });
}

// ---- Handlers

TNotificationHandler::TNotificationHandler(TNotificationHandlerCallback handler) : FHandler(std::move(handler)) {
  if (IClient client = GetHostClient()) {
    client.RegisterNotificationHandler(INotificationHandler(static_cast<IDispatch*>(this)));
    FRegistered = true;
  }
}

TNotificationHandler::~TNotificationHandler() {
  if (!FRegistered) return;
  // The count is 0 here: the temporary reference that unregistration hands
  // the host must not bring it to 0 again.
  AddRef();
  Guard([&] { Detach(); });
}

void TNotificationHandler::Detach() {
  FHandler = nullptr;
  if (!std::exchange(FRegistered, false)) return;
  if (IClient client = GetHostClient())
    client.UnregisterNotificationHandler(INotificationHandler(static_cast<IDispatch*>(this)));
}

HRESULT TNotificationHandler::HandleNotification(const INotification& notification) {
  return Guard([&] {
    if (FHandler) CheckResult(FHandler(notification));
  });
}

TTimerHandler::TTimerHandler(uint32_t interval, bool enabled, THandleTimerEventCallback handler)
    : FHandler(std::move(handler)) {
  if (IClient client = GetHostClient())
    FTimerID = uint32_t(client.TimerManager().CreateTimer(ITimerHandler(static_cast<IDispatch*>(this)),
                                                          int32_t(interval), enabled));
}

TTimerHandler::~TTimerHandler() {
  if (FTimerID == 0) return;
  AddRef();  // as in TNotificationHandler: the host's release must not end it again
  Guard([&] { Detach(); });
}

void TTimerHandler::Detach() {
  FHandler = nullptr;
  uint32_t id = std::exchange(FTimerID, 0u);
  if (id == 0) return;
  if (IClient client = GetHostClient())
    if (ITimerManager manager = client.TimerManager()) manager.KillTimer(int32_t(id));
}

HRESULT TTimerHandler::HandleTimer(uint32_t id) {
  return Guard([&] {
    if (FHandler) FHandler(id);
  });
}

// ---- TADStrings

HRESULT TADStrings::GetCount(int32_t& count) {
  count = FStrings.Count();
  return S_OK;
}

HRESULT TADStrings::Get(int32_t index, WideString& s) {
  return Guard([&] { s = FStrings.Get(index); });
}

HRESULT TADStrings::IndexOf(const WideString& s, int32_t& index) {
  index = FStrings.IndexOf(s);
  return S_OK;
}

HRESULT TADStrings::Add(const WideString& s, int32_t& index) {
  return Guard([&] { index = FStrings.Add(s); });
}

// ---- TExternalFormComponent

HRESULT STDMETHODCALLTYPE TExternalFormHolderProtocol::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IExternalFormHolderIntf)) {
    *out = static_cast<IDispatch*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TExternalFormHolderProtocol::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                              VARIANT* result, EXCEPINFO*, UINT*) {
  try {
    TServedArgs args(params);
    switch (id) {
      case 69:
        ServedResultInt(result, int32_t(FPanel.HandleAllocated() ? WindowToWire(FPanel.Handle()) : 0));
        return S_OK;
      case 70:
        Application().SetDialogHandle(WindowFromWire(ServedArgUInt(args.Arg(1))));
        return S_OK;
      case 71:
        FPanel.CaptionChanged();
        return S_OK;
      case kDispSupportsService:
        ServedResultBool(result, FPanel.SupportsService(ServedArgString(args.Arg(1))));
        return S_OK;
      default:
        return kE_NOTIMPL;
    }
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

TExternalFormComponent::TExternalFormComponent(TComponent* owner) : TCustomPanel(owner) {
  SetBevelOuter(TBevelCut::bvNone);
  SetParentBackground(false);
  SetTabStop(true);
}

TExternalFormComponent::~TExternalFormComponent() {
  if (!FExternalForm) return;
  Guard([&] {
    FExternalForm.Hide();
    FExternalForm.DetachFromParent();
    FExternalForm.SetParentWindow(IExternalFormHolder());
  });
  FExternalForm.Clear();
}

IExternalFormHolder TExternalFormComponent::Holder() { return IExternalFormHolder(static_cast<IDispatch*>(&FHolder)); }

bool TExternalFormComponent::SupportsService(std::wstring_view name) const {
  return SameServiceName(name, L"ExternalFormHolder");
}

HWND TExternalFormComponent::ExternHandle() const {
  return FExternalForm ? WindowFromWire(uint32_t(FExternalForm.GetHandle())) : nullptr;
}

void TExternalFormComponent::SetExternalForm(const IExternalForm& value) {
  if (value.ToPointer() == FExternalForm.ToPointer()) return;
  if (FExternalForm) FExternalForm.DetachFromParent();
  FExternalForm = value;
  if (!FExternalForm) return;
  SetCaption(FExternalForm.GetCaption());
  Hide();
  // Out of the parent and back: the panel's window is made anew, and making it attaches the form.
  TWinControl* parent = Parent();
  SetParent(nullptr);
  SetParent(parent);
  FExternalForm.SetParentWindow(Holder());
  Show();
}

void TExternalFormComponent::SwitchExternalForm(const IExternalForm& value) {
  if (!value || value.ToPointer() == FExternalForm.ToPointer()) return;
  value.SetParentWindow(Holder());
  value.SetBounds(0, 0, ClientWidth(), ClientHeight());
  value.AttachToParent();
  value.Show();
  FExternalForm = value;
  SetCaption(value.GetCaption());
}

void TExternalFormComponent::SetBounds(int left, int top, int width, int height) {
  TCustomPanel::SetBounds(left, top, width, height);
  if (FExternalForm) FExternalForm.SetBounds(0, 0, width, height);
}

void TExternalFormComponent::SetFocus() {
  TCustomPanel::SetFocus();
  if (HandleAllocated() && Enabled()) ActivateExternalForm();
}

void TExternalFormComponent::ActivateExternalForm() {
  if (FExternalForm) FExternalForm.SetFocus();
  if (OnActivate) OnActivate(this);
}

void TExternalFormComponent::CreateWnd() {
  TCustomPanel::CreateWnd();
  if (FExternalForm) FExternalForm.AttachToParent();
}

void TExternalFormComponent::DestroyWindowHandle() {
  if (FExternalForm) FExternalForm.DetachFromParent();
  TCustomPanel::DestroyWindowHandle();
}

void TExternalFormComponent::Paint() {
  if (!FTransparent) TCustomPanel::Paint();
}

void TExternalFormComponent::WMActivate(TMessage& message) {
  TVK_INHERITED(message);
  ActivateExternalForm();
}

void TExternalFormComponent::WMGetDlgCode(TMessage& message) {
  if (!FExternalForm) {
    TVK_INHERITED(message);
    return;
  }
  message.Result = SendMessageW(ExternHandle(), message.Msg, message.WParam, message.LParam);
}

void TExternalFormComponent::CMDialogKey(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  bool alt = KeyboardShiftState(message.LParam) & ssAlt;
  if (message.WParam != VK_TAB || alt || FInCMDialogKey || !form || form == static_cast<TControl*>(this)) {
    TVK_INHERITED(message);
    return;
  }
  // Once to the form's window; the guard keeps it from coming back here.
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FInCMDialogKey};
  FInCMDialogKey = true;
  message.Result = SendMessageW(form->Handle(), CM_DIALOGKEY, message.WParam, message.LParam);
}

void TExternalFormComponent::WMSetTransparent(TMessage& message) {
  FTransparent = message.WParam != 0;
  message.Result = 1;
  Invalidate();
}

void TExternalFormComponent::WMEraseBkgnd(TMessage& message) {
  if (!FTransparent) {
    TVK_INHERITED(message);
    return;
  }
  DrawParentBackground(*this, reinterpret_cast<HDC>(message.WParam));
  message.Result = 1;
}

TVK_MESSAGE_MAP(TExternalFormComponent, {WM_ACTIVATE, &TExternalFormComponent::WMActivate},
                {WM_GETDLGCODE, &TExternalFormComponent::WMGetDlgCode},
                {CM_WANTSPECIALKEY, &TExternalFormComponent::WMGetDlgCode},
                {CM_DIALOGKEY, &TExternalFormComponent::CMDialogKey},
                {WM_SETTRANSPARENT, &TExternalFormComponent::WMSetTransparent},
                {WM_ERASEBKGND, &TExternalFormComponent::WMEraseBkgnd})

}  // namespace tvk
