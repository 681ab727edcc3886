#include "Forms.h"

#include "Application.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tvk {

namespace {

// The enabled, visible top-level windows of this thread, disabled while a
// modal form runs and enabled again when it ends.
class TTaskWindowsDisabled {
public:
  explicit TTaskWindowsDisabled(HWND except) : FExcept(except) {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
    for (HWND w : FWindows) EnableWindow(w, FALSE);
  }
  ~TTaskWindowsDisabled() {
    for (HWND w : FWindows)
      if (IsWindow(w)) EnableWindow(w, TRUE);
  }
  TTaskWindowsDisabled(const TTaskWindowsDisabled&) = delete;
  TTaskWindowsDisabled& operator=(const TTaskWindowsDisabled&) = delete;

private:
  static BOOL CALLBACK Collect(HWND w, LPARAM self) {
    auto* me = reinterpret_cast<TTaskWindowsDisabled*>(self);
    if (w != me->FExcept && IsWindowVisible(w) && IsWindowEnabled(w)) me->FWindows.push_back(w);
    return TRUE;
  }
  HWND FExcept;
  std::vector<HWND> FWindows;
};

}  // namespace

TCustomForm* GetParentForm(TControl* control) {
  return control ? dynamic_cast<TCustomForm*>(control->TopParent()) : nullptr;
}

// ---- TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner), FNewForm(false) {
  FVisible = false;
  SetBounds(0, 0, 320, 240);
}

TCustomForm::TCustomForm(TComponent* owner, TCreateNew) : TCustomForm(owner) { FNewForm = true; }

TCustomForm::~TCustomForm() {
  if (FActiveControl) RemoveFreeNotification(FActiveControl);
  if (FFocusedControl) RemoveFreeNotification(FFocusedControl);
}

void TCustomForm::UnlinkFocus(TWinControl* control) {
  if (control && control != FActiveControl && control != FFocusedControl) RemoveFreeNotification(control);
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == this) control = nullptr;
  const int count = ++FFocusCount;
  // A control that a CM_EXIT handler focuses is taken up by the outer change.
  if (FExiting) {
    FRequestedControl = control;
    return true;
  }
  FRequestedControl = nullptr;
  if (control == FFocusedControl) return true;
  TWinControl* leaving = FFocusedControl;
  while (FFocusedControl && !FFocusedControl->ContainsControl(control)) {
    TWinControl* exited = FFocusedControl;
    FFocusedControl = exited->Parent() && exited->Parent() != this ? exited->Parent() : nullptr;
    if (exited->IsDestroying()) continue;
    FExiting = true;
    try {
      exited->Perform(CM_EXIT);
      FExiting = false;
    } catch (...) {
      FExiting = false;
      // The change is cancelled: the control that refused keeps the focus.
      FFocusedControl = exited;
      if (FFocusedControl != leaving) FreeNotification(FFocusedControl);
      UnlinkFocus(leaving);
      FRequestedControl = nullptr;
      Application().HandleException(this);
      if (exited->HandleAllocated() && GetFocus() != exited->Handle()) ::SetFocus(exited->Handle());
      return false;
    }
    if (count != FFocusCount) break;
  }
  if (count != FFocusCount) {
    // A CM_EXIT handler moved the focus elsewhere: that move is the one that counts.
    if (FFocusedControl) FreeNotification(FFocusedControl);
    UnlinkFocus(leaving);
    TWinControl* requested = std::exchange(FRequestedControl, nullptr);
    if (requested && requested->HandleAllocated() && GetFocus() == requested->Handle()) SetFocusedControl(requested);
    return false;
  }
  // Enter from the outermost control that was not focused down to Control.
  std::vector<TWinControl*> entered;
  for (TWinControl* c = control; c && c != this && c != FFocusedControl; c = c->Parent()) entered.push_back(c);
  FFocusedControl = control;
  if (control) FreeNotification(control);
  UnlinkFocus(leaving);
  for (auto it = entered.rbegin(); it != entered.rend(); ++it) {
    (*it)->Perform(CM_ENTER);
    if (count != FFocusCount) return false;
  }
  if (control) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  return true;
}

void TCustomForm::AfterConstruction() {
  if (!FNewForm) ReadDesign(*this);
  AfterDesign();
  FConstructed = true;
  FFormState &= ~TFormState(fsCreating);
  if (OnCreate) OnCreate(this);
}

void TCustomForm::SetFormState(TFormState flags, bool on) {
  if (on) FFormState |= flags;
  else FFormState &= ~flags;
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == FBorderIcons) return;
  FBorderIcons = icons;
  RecreateWnd();
}

void TCustomForm::SetClientSize(int width, int height) {
  TCreateParams params;
  CreateParams(params);
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, params.Style, FALSE, params.ExStyle);
  SetBounds(Left(), Top(), frame.right - frame.left, frame.bottom - frame.top);
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state == FWindowState) return;
  FWindowState = state;
  if (HandleAllocated() && Showing()) ShowWindow(Handle(), ShowCommand());
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == FFormStyle) return;
  FFormStyle = style;
  // The window keeps its place and size; only its layer changes.
  if (HandleAllocated())
    SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

int TCustomForm::ShowCommand() const {
  switch (FWindowState) {
    case TWindowState::wsMinimized: return SW_SHOWMINNOACTIVE;
    case TWindowState::wsMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

void TCustomForm::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style &= ~DWORD(WS_VISIBLE);  // shown by CM_SHOWINGCHANGED
  DWORD border = 0, exBorder = 0;
  switch (FBorderStyle) {
    case TFormBorderStyle::bsNone: break;
    case TFormBorderStyle::bsSingle: border = WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsToolWindow: border = WS_CAPTION | WS_BORDER; exBorder = WS_EX_TOOLWINDOW; break;
    case TFormBorderStyle::bsSizeable: border = WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsSizeToolWin: border = WS_CAPTION | WS_THICKFRAME; exBorder = WS_EX_TOOLWINDOW; break;
    case TFormBorderStyle::bsDialog:
      border = WS_CAPTION;
      exBorder = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (FBorderStyle != TFormBorderStyle::bsNone) {
    if (FBorderIcons & biSystemMenu) border |= WS_SYSMENU;
    bool minMax = FBorderStyle == TFormBorderStyle::bsSingle || FBorderStyle == TFormBorderStyle::bsSizeable;
    if (minMax && (FBorderIcons & biMinimize)) border |= WS_MINIMIZEBOX;
    if (minMax && (FBorderIcons & biMaximize)) border |= WS_MAXIMIZEBOX;
    // The title-bar help button shows only without minimise and maximise buttons.
    if ((FBorderIcons & biHelp) && !(border & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) exBorder |= WS_EX_CONTEXTHELP;
  }
  if (!Parent() && !ParentWindow()) {
    // A top-level window, owned by the application's window.
    params.Style = (params.Style & ~DWORD(WS_CHILD)) | (FBorderStyle == TFormBorderStyle::bsNone ? WS_POPUP : 0);
    params.WndParent = Application().Handle();
  }
  params.Style |= border;
  params.ExStyle |= exBorder;
  if (FFormStyle == TFormStyle::fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::WMNCCreate(TMessage& message) {
  TVK_INHERITED(message);
  // A dialog's system menu offers moving and closing only.
  if (FBorderStyle == TFormBorderStyle::bsDialog && (FBorderIcons & biSystemMenu)) {
    if (HMENU menu = GetSystemMenu(Handle(), FALSE)) {
      for (UINT item : {SC_TASKLIST, SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE, SC_RESTORE}) DeleteMenu(menu, item, MF_BYCOMMAND);
    }
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FActiveControl) FActiveControl = nullptr;
  if (component == FFocusedControl) FFocusedControl = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  if (control && (control == this || !ContainsControl(control)))
    throw EInvalidOperation(L"Invalid active control");
  TWinControl* old = std::exchange(FActiveControl, control);
  UnlinkFocus(old);
  if (FActiveControl) FreeNotification(FActiveControl);
}

void TCustomForm::FocusControl(TWinControl* control) {
  SetActiveControl(control);
  if (control && Showing() && control->CanFocus()) control->SetFocus();
}

void TCustomForm::SetFocus() {
  if (!Visible() || !Enabled() || !CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
  else ::SetFocus(Handle());
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (FFormState & fsModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  DoClose(action);
  switch (action) {
    case TCloseAction::caHide: Hide(); break;
    case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
    case TCloseAction::caFree: Release(); break;
    case TCloseAction::caNone: break;
  }
}

void TCustomForm::CloseModal() {
  TCloseAction action = TCloseAction::caHide;
  if (!CloseQuery()) action = TCloseAction::caNone;
  else DoClose(action);
  if (action == TCloseAction::caNone) FModalResult = mrNone;
}

int TCustomForm::ShowModal() {
  if (!FConstructed) throw EInvalidOperation(L"Form '" + Name() + L"' is not made (CreateComponent)");
  if (Visible() || !Enabled() || (FFormState & fsModal))
    throw EInvalidOperation(L"Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HWND active = GetActiveWindow();
  FFormState |= fsModal;
  Application().ModalStarted();
  struct TModalEnd {
    TCustomForm& Form;
    HWND Active;
    ~TModalEnd() {
      Form.FFormState &= ~TFormState(fsModal);
      Application().ModalFinished();
      if (Active && IsWindow(Active)) SetActiveWindow(Active);
    }
  } modalEnd{*this, active};
  TTaskWindowsDisabled disabled(Handle());
  FModalResult = mrNone;
  Show();
  try {
    // A result set before the first message (by OnShow) is asked of OnClose too.
    for (;;) {
      if (Application().Terminated()) FModalResult = mrCancel;
      if (FModalResult != mrNone) {
        CloseModal();
        if (FModalResult != mrNone) break;
      }
      Application().HandleMessage();
    }
  } catch (...) {
    Hide();
    throw;
  }
  Hide();
  return FModalResult;
}

void TCustomForm::Release() { PostMessageW(Handle(), CM_RELEASE, 0, 0); }

void TCustomForm::PlaceByPosition() {
  if (Parent() || ParentWindow() || FPosition == TPosition::poDesigned || FPosition == TPosition::poDefault) return;
  RECT area{};
  if (FPosition == TPosition::poOwnerFormCenter && Application().Handle() && IsWindowVisible(Application().Handle())) {
    GetWindowRect(Application().Handle(), &area);
  } else {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY);
    if (!monitor || !GetMonitorInfoW(monitor, &info)) return;
    area = info.rcWork;
  }
  SetBounds(area.left + (area.right - area.left - Width()) / 2, area.top + (area.bottom - area.top - Height()) / 2,
            Width(), Height());
}

void TCustomForm::CMShowingChanged(TMessage& message) {
  if (!HandleAllocated()) return;
  if (Parent()) {
    TVK_INHERITED(message);
    return;
  }
  if (Visible()) {
    FFormState |= fsShowing;
    try {
      DoShow();
      PlaceByPosition();
    } catch (...) {
      FFormState &= ~TFormState(fsShowing);
      throw;
    }
    ShowWindow(Handle(), ParentWindow() ? SW_SHOW : ShowCommand());
    FFormState = (FFormState & ~TFormState(fsShowing)) | fsVisible;
  } else {
    DoHide();
    ShowWindow(Handle(), SW_HIDE);
    FFormState &= ~TFormState(fsVisible);
  }
}

void TCustomForm::WMClose(TMessage& message) {
  message.Result = 0;
  Close();  // the window itself stays until the form goes
}

void TCustomForm::WMActivate(TMessage& message) {
  TVK_INHERITED(message);
  if (LOWORD(message.WParam) == WA_INACTIVE) {
    if (OnDeactivate) OnDeactivate(this);
    return;
  }
  if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
    ::SetFocus(FActiveControl->Handle());
  if (OnActivate) OnActivate(this);
}

void TCustomForm::CMRelease(TMessage&) {
  // Posted, so it runs in a dispatch of its own: nothing touches the form after this.
  delete this;
}

void TCustomForm::CMDialogKey(TMessage& message) {
  WORD key = WORD(message.WParam);
  TShiftState shift = KeyboardShiftState(message.LParam);
  if (key == VK_TAB && !(shift & (ssAlt | ssCtrl))) {
    SelectNext(FActiveControl, !(shift & ssShift), true);
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TCustomForm::CMFocusChanged(TMessage& message) {
  auto* control = reinterpret_cast<TWinControl*>(message.LParam);
  if (control && control != this && ContainsControl(control)) SetActiveControl(control);
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TCustomForm, {WM_NCCREATE, &TCustomForm::WMNCCreate}, {WM_CLOSE, &TCustomForm::WMClose},
                {WM_ACTIVATE, &TCustomForm::WMActivate}, {CM_SHOWINGCHANGED, &TCustomForm::CMShowingChanged},
                {CM_RELEASE, &TCustomForm::CMRelease}, {CM_DIALOGKEY, &TCustomForm::CMDialogKey},
                {CM_FOCUSCHANGED, &TCustomForm::CMFocusChanged})

// ---- TDataModule

void TDataModule::AfterConstruction() {
  if (!FNewModule) ReadDesign(*this);
  if (OnCreate) OnCreate(this);
}

// ---- TScreen

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

HCURSOR TScreen::Cursors(int index) const {
  for (const auto& [id, cursor] : FCursors)
    if (id == index) return cursor;
  // The library's standard numbers stand for the system's cursors.
  if (HCURSOR standard = CursorHandle(index)) return standard;
  return LoadCursorW(nullptr, IDC_ARROW);
}

void TScreen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  if (cursor == crDefault) return;
  HCURSOR handle = HasCursor(cursor) ? Cursors(cursor) : CursorHandle(cursor);
  if (handle) ::SetCursor(handle);
}

bool TScreen::HasCursor(int index) const {
  return std::any_of(FCursors.begin(), FCursors.end(), [index](const auto& entry) { return entry.first == index; });
}

std::vector<int> TScreen::CursorIndexes() const {
  std::vector<int> indexes;
  for (const auto& entry : FCursors) indexes.push_back(entry.first);
  return indexes;
}

void TScreen::SetCursors(int index, HCURSOR cursor) {
  for (auto it = FCursors.begin(); it != FCursors.end(); ++it)
    if (it->first == index) {
      if (it->second != cursor) DestroyCursor(it->second);
      if (cursor) it->second = cursor;
      else FCursors.erase(it);
      return;
    }
  if (cursor) FCursors.emplace_back(index, cursor);
}

void TScreen::ClearCursors() {
  for (const auto& entry : FCursors) DestroyCursor(entry.second);
  FCursors.clear();
}

int TScreen::PixelsPerInch() const {
  HDC dc = GetDC(nullptr);
  int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

HCURSOR LoadCursorFromData(HINSTANCE module, const wchar_t* name, const wchar_t* type) {
  HRSRC info = FindResourceW(module, name, type);
  if (!info) return nullptr;
  HGLOBAL data = LoadResource(module, info);
  auto* bytes = data ? static_cast<BYTE*>(LockResource(data)) : nullptr;
  if (!bytes) return nullptr;
  return reinterpret_cast<HCURSOR>(
      CreateIconFromResourceEx(bytes, SizeofResource(module, info), FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
}

void ScreenUnitShutdown() { Screen().ClearCursors(); }

}  // namespace tvk
