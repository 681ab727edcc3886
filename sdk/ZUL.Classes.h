#pragma once
// The form and view framework: the module's windows shown inside the host.
// Form bases (help through the host, embedded server-view forms, modal
// dialogs owned by the host's main window, docked panels), the served wrapper
// through which the host embeds a form and its server views, served timer and
// notification handlers, a served string list, and a panel that shows a form
// the host supplies.
#include "Forms.h"
#include "Lists.h"
#include "Panels.h"
#include "ZUL.AbstractClasses.h"
#include "ZUL.DispWrappers.h"

#include <functional>

namespace tvk {

// Window handles cross the host boundary as 32-bit values.
uint32_t WindowToWire(HWND window);
HWND WindowFromWire(uint32_t value);

// ---- Form classes

// A form with the host's help: F1 on a control, or the title-bar help button,
// opens the help target the host names for the control's keyword.
class TFormWithHelp : public TForm {
public:
  TVK_CLASS(TFormWithHelp, TForm)
  using TForm::TForm;

  // The keyword's target as the host knows it (FindHelpKeyword); false without a control.
  virtual bool GetHelpTarget(TControl* control, WideString& target);
  // The control's name, or its class name without the leading "T".
  virtual void GetHelpKeyword(TControl* control, WideString& keyword);
  // Prefix + ".Dlg." + the form's keyword, then the keywords of the control's
  // parents (outermost first, up to a form) and the control's own, joined by ".".
  virtual void BuildHelpKeyword(TControl* control, WideString& keyword);
  // Opens the control's help target with the shell, when there is one.
  virtual void ShowHelpForControl(TControl* control);

  bool HandleHelp() const { return FHandleHelp; }
  void SetHandleHelp(bool value) { FHandleHelp = value; }

protected:
  // F1 (or F1 with Shift, Ctrl or Alt, which goes to the host as a shortcut).
  void HandleF1(TControl* control);
  TVK_MESSAGES();
  void CMChildKey(TMessage& message);
  void WMHelp(TMessage& message);

  bool FIgnoreWhatsThis = false;
  bool FHandleHelp = true;
};

// A form the host embeds: it wants every key, and keys reaching its own window go to the host.
class TServerViewForm : public TFormWithHelp {
public:
  TVK_CLASS(TServerViewForm, TFormWithHelp)
  using TFormWithHelp::TFormWithHelp;

protected:
  TVK_MESSAGES();
  void WMGetDlgCode(TMessage& message);
  void WMKeyDown(TMessage& message);
  void WMSysKeyDown(TMessage& message);
};

// Centres a Width x Height window in Monitor: each coordinate (low + high -
// size) / 2, truncated toward zero.
POINT PlaceCentered(const RECT& monitor, int width, int height);

// The base of the module's modal dialogs: owned by the host's main window,
// centred on the monitor of the active window when made.
class TServerDialog : public TFormWithHelp {
public:
  TVK_CLASS(TServerDialog, TFormWithHelp)
  using TFormWithHelp::TFormWithHelp;

  virtual bool OwnedByHostWindow() { return true; }
  // Centres the dialog, keeping its size, on the monitor nearest to the active window.
  virtual void PlaceDialog();
  bool SizeableDialog() const { return FSizeableDialog; }
  // A designed sizeable border becomes a dialog border with a resizing frame.
  void Loaded() override;

protected:
  void AfterDesign() override { PlaceDialog(); }
  void CreateParams(TCreateParams& params) override;
  TVK_MESSAGES();
  void WMNCCreate(TMessage& message);
  void CMShowingChanged(TMessage& message);

private:
  bool FSizeableDialog = false;
};

class TTimerHandler;

// The base of docked panels: the host window that holds it paints its
// background and shows its caption; a host timer (500 ms, made disabled)
// calls TimerTick for its whole life.
class TServerPanelForm : public TServerViewForm {
public:
  TVK_CLASS(TServerPanelForm, TServerViewForm)
  explicit TServerPanelForm(TComponent* owner);
  TServerPanelForm(TComponent* owner, TCreateNew);
  // Detaches its timer handler from the host first: a late tick finds no form.
  ~TServerPanelForm() override;

  void SetParentWindowHolder(const IExternalFormHolder& holder) { FParentWindowHolder = holder; }
  const IExternalFormHolder& ParentWindowHolder() const { return FParentWindowHolder; }
  const WideString& PanelName() const { return FPanelName; }
  void SetPanelName(const WideString& name) { FPanelName = name; }
  TTimerHandler* TimerHandler() const { return FTimerHandler.Get(); }
  virtual void TimerTick(uint32_t id);

protected:
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void CMTextChanged(TMessage& message);

private:
  void MakeTimerHandler();

  IExternalFormHolder FParentWindowHolder;
  WideString FPanelName;
  ComRef<TTimerHandler> FTimerHandler;
};

// ---- Served classes

// The host's view of one form, which it owns: freed at once without a client,
// while the host shuts down or when forced; else after the current message
// (window) or from the message loop (no window). The holder reference is
// released with the wrapper.
class TExternalForm : public TAbstractExternalForm {
public:
  TExternalForm(TCustomForm* form, bool forceDestroy);
  ~TExternalForm() override;

  TCustomForm* Form() const { return FForm; }

  HRESULT SetParentWindow(const IExternalFormHolder& holder) override;
  HRESULT AttachToParent() override;
  HRESULT DetachFromParent() override;
  HRESULT GetBounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height) override;
  HRESULT GetCaption(WideString& caption) override;
  HRESULT GetHandle(uint32_t& handle) override;
  HRESULT Hide() override;
  HRESULT SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  HRESULT SetFocus() override;
  HRESULT Show() override;
  HRESULT FocusFirstControl() override;

protected:
  TCustomForm& RequireForm() const;

  bool FForceDestroy;
  TCustomForm* FForm;
  IExternalFormHolder FParentWindow;
};

#define TVK_SDK_SERVER_VIEW_OPERATIONS(X, H)                                                          \
  H(60, GetIsPanel, (int32_t&), CallGetIsPanel)                                                       \
  X(61, GetViewName, (WideString&))                                                                   \
  X(62, GetViewState, (WideString&))                                                                  \
  X(63, SetViewState, (const WideString&))                                                            \
  X(64, ReceiveNotification, (const INotification&))                                                  \
  X(65, GetViewStateEx, (TRaw32, WideString&))                                                        \
  X(66, SetViewStateEx, (const WideString&))                                                          \
  X(9, DragDropCursorQuery, (const IDragDropObject&))                                                 \
  X(10, DragDropNotifyA, (const IDragDropObject&))                                                    \
  X(11, DragDropNotifyB, (const IDragDropObject&))                                                    \
  X(12, DragDropNotifyC, (const IDragDropObject&))                                                    \
  H(13, DragDropAccept, (const IDragDropObject&, int32_t, uint16_t, bool&), CallDragDropAccept)

// "ServerView" and "DragDropTarget": a named view the host keeps in a panel.
class TAbstractSDKServerView : public TExternalForm {
public:
  TVK_SERVED_LEVEL();
  // A view of Form (not forced to go at once); a panel form takes the view's name.
  TAbstractSDKServerView(const WideString& viewName, TCustomForm* form);

  // The operations of this level, in the order of its table.
  virtual HRESULT GetIsPanel(int32_t& value) = 0;  // any non-zero value answers true
  virtual HRESULT GetViewName(WideString& name);
  // What GetViewState answers; empty here.
  virtual void BuildViewState(WideString& state);
  virtual HRESULT GetViewState(WideString& state);
  virtual HRESULT SetViewState(const WideString& state);
  virtual HRESULT ReceiveNotification(const INotification& notification);
  virtual HRESULT GetViewStateEx(TRaw32 argument, WideString& state);
  virtual HRESULT SetViewStateEx(const WideString& state);
  virtual HRESULT DragDropCursorQuery(const IDragDropObject& dragObject);
  virtual HRESULT DragDropNotifyA(const IDragDropObject& dragObject);
  virtual HRESULT DragDropNotifyB(const IDragDropObject& dragObject);
  virtual HRESULT DragDropNotifyC(const IDragDropObject& dragObject);
  virtual HRESULT DragDropAccept(const IDragDropObject& dragObject, int32_t value, uint16_t shift, bool& accept);

  const WideString& ViewName() const { return FViewName; }

protected:
  WideString FViewName;
  WideString FViewState;
};

// A server view of a docked panel form.
class TServerPanelView : public TAbstractSDKServerView {
public:
  TServerPanelView(const WideString& viewName, TServerPanelForm* panelForm);
  HRESULT GetIsPanel(int32_t& value) override;
  // The inherited behaviour, then the panel form learns its holder.
  HRESULT SetParentWindow(const IExternalFormHolder& holder) override;
  TServerPanelForm* PanelForm() const { return FPanelForm; }

private:
  TServerPanelForm* FPanelForm;
};

// The callback of a notification handler: a failed result is raised by the handler.
using TNotificationHandlerCallback = std::function<HRESULT(const INotification& notification)>;
using THandleTimerEventCallback = std::function<void(uint32_t id)>;

// Registered with the host client from construction until Detach (or its
// end); the host holds counted references to it meanwhile, so its owner must
// Detach it when the owner goes: a later host call then does nothing.
class TNotificationHandler : public TAbstractNotificationHandler {
public:
  explicit TNotificationHandler(TNotificationHandlerCallback handler);
  ~TNotificationHandler() override;
  HRESULT HandleNotification(const INotification& notification) override;
  // Unregisters from the host and forgets the callback; again does nothing.
  void Detach();
  bool Registered() const { return FRegistered; }

private:
  TNotificationHandlerCallback FHandler;
  bool FRegistered = false;
};

// A host timer (the client's timer manager) that calls Handler with its
// identifier, from construction until Detach (or its end).
class TTimerHandler : public TAbstractTimerHandler {
public:
  TTimerHandler(uint32_t interval, bool enabled, THandleTimerEventCallback handler);
  ~TTimerHandler() override;
  HRESULT HandleTimer(uint32_t id) override;
  // Kills the host timer and forgets the callback; again does nothing.
  void Detach();
  uint32_t TimerID() const { return FTimerID; }

private:
  uint32_t FTimerID = 0;
  THandleTimerEventCallback FHandler;
};

// A string list served to the host (unsorted; IndexOf without regard to case).
class TADStrings : public TAbstractStrings {
public:
  TADStrings() = default;
  HRESULT GetCount(int32_t& count) override;
  HRESULT Get(int32_t index, WideString& s) override;
  HRESULT IndexOf(const WideString& s, int32_t& index) override;
  HRESULT Add(const WideString& s, int32_t& index) override;
  TStringList& Strings() { return FStrings; }

private:
  TStringList FStrings;
};

// ---- A panel that shows a form the host supplies

class TExternalFormComponent;

// The host's window-holder protocol, served by the panel: its references are
// not counted (the panel's owner frees the panel).
class TExternalFormHolderProtocol : public TUncountedDispatch {
public:
  explicit TExternalFormHolderProtocol(TExternalFormComponent& panel) : FPanel(panel) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* excep, UINT* argErr) override;

private:
  TExternalFormComponent& FPanel;
};

class TExternalFormComponent : public TCustomPanel {
public:
  TVK_CLASS(TExternalFormComponent, TCustomPanel)
  explicit TExternalFormComponent(TComponent* owner);
  // Hides, detaches and lets go of the shown form.
  ~TExternalFormComponent() override;

  const IExternalForm& ExternalForm() const { return FExternalForm; }
  // Shows Value instead of the form shown now (which is detached); empty: none.
  virtual void SetExternalForm(const IExternalForm& value);
  // Shows Value without detaching the form shown before.
  void SwitchExternalForm(const IExternalForm& value);
  // The external form's window handle; 0 without one.
  HWND ExternHandle() const;
  // The holder the panel hands to the external form.
  IExternalFormHolder Holder();
  bool Transparent() const { return FTransparent; }

  void SetBounds(int left, int top, int width, int height) override;
  void SetFocus() override;
  virtual void CaptionChanged() {}
  virtual void ActivateExternalForm();
  virtual bool SupportsService(std::wstring_view name) const;
  TNotifyEvent OnActivate;

protected:
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void Paint() override;
  TVK_MESSAGES();
  void WMActivate(TMessage& message);
  void WMGetDlgCode(TMessage& message);  // also CM_WANTSPECIALKEY
  void CMDialogKey(TMessage& message);
  void WMSetTransparent(TMessage& message);
  void WMEraseBkgnd(TMessage& message);

private:
  IExternalForm FExternalForm;
  TExternalFormHolderProtocol FHolder{*this};
  bool FInCMDialogKey = false;
  bool FTransparent = false;
};

// The message that sets a TExternalFormComponent's transparency (WParam non-zero: transparent).
constexpr UINT WM_SETTRANSPARENT = WM_USER + 1;

}  // namespace tvk
