#include "dxPopupEdit.h"

#include "Application.h"

#include <algorithm>
#include <cstdlib>

namespace tvk {

TdxInplacePopupEdit::TdxInplacePopupEdit(TComponent* owner) : TdxInplaceDropDownEdit(owner) {
  FSendChildrenStyle = false;  // the form takes the focus
}

TdxInplacePopupEdit::~TdxInplacePopupEdit() {
  FPopupForm.reset();
  RemoveFreeNotifications();
}

void TdxInplacePopupEdit::SetHideEditCursor(bool value) {
  if (FHideEditCursor == value) return;
  FHideEditCursor = value;
  FImmediatePopupStyle = value;  // a click anywhere on the cell opens the form
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplacePopupEdit::SetPopupControl(TControl* value) {
  if (FPopupControl) FPopupControl->RemoveFreeNotification(this);
  FPopupControl = value;
  if (value) value->FreeNotification(this);
}

void TdxInplacePopupEdit::SetPopupHeight(int value) {
  FPopupHeight = std::max(value, FPopupMinHeight);
}

void TdxInplacePopupEdit::SetPopupWidth(int value) {
  FPopupWidth = std::max(value, FPopupMinWidth);
}

void TdxInplacePopupEdit::SetPopupMinHeight(int value) {
  FPopupMinHeight = std::max(value, 0);
  SetPopupHeight(FPopupHeight);
}

void TdxInplacePopupEdit::SetPopupMinWidth(int value) {
  FPopupMinWidth = std::max(value, 0);
  SetPopupWidth(FPopupWidth);
}

void TdxInplacePopupEdit::Notification(TComponent* component, TOperation operation) {
  TdxInplaceDropDownEdit::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FInitedPopupControl) FInitedPopupControl = nullptr;
  if (component == FPopupControl) {
    FPopupControl = nullptr;
    if (FInitedPopupControl == component) FInitedPopupControl = nullptr;
  }
}

bool TdxInplacePopupEdit::SwallowsOwnClick() { return FActiveButton >= 0 || FImmediatePopupStyle; }

void TdxInplacePopupEdit::DropDown() {
  if (HandleAllocated()) PostMessageW(Handle(), WM_SHOWPOPUPFORM, 0, 0);
}

TVK_MESSAGE_MAP(TdxInplacePopupEdit, {WM_SHOWPOPUPFORM, &TdxInplacePopupEdit::WMShowPopupForm})

void TdxInplacePopupEdit::WMShowPopupForm(TMessage& message) {
  message.Result = 0;
  ShowPopupForm();
}

void TdxInplacePopupEdit::DoInitPopup() {
  if (FOnInitPopup) FOnInitPopup(this);
}

void TdxInplacePopupEdit::DoPopup() {
  if (FOnPopup) FOnPopup(this, Text());
}

bool TdxInplacePopupEdit::DoCloseQuery() {
  bool canClose = true;
  if (FOnCloseQuery) FOnCloseQuery(this, canClose);
  return canClose;
}

void TdxInplacePopupEdit::DoCloseUp(TdxPopupEditForm& form, WideString& text, bool& accept) {
  // The user's size is remembered within the minimum sizes.
  SetPopupHeight(form.Height());
  SetPopupWidth(form.Width());
  if (FOnCloseUp) FOnCloseUp(this, text, accept);
}

void TdxInplacePopupEdit::ShowPopupForm() {
  if (FPopupFormVisible) return;
  SetFocus();
  if (!HandleAllocated() || GetFocus() != Handle()) return;
  DoDropDown();
  if (!FPopupForm) FPopupForm = std::make_unique<TdxPopupEditForm>(nullptr);
  FPopupForm->SetOwnerControl(this);
  FActiveList = FPopupForm.get();
  struct TEnd {
    TdxInplacePopupEdit& Edit;
    ~TEnd() {
      Edit.FPopupFormVisible = false;
      Edit.RestorePopupControl();
      Edit.FActiveList = nullptr;
    }
  } end{*this};
  InitPopup(*FPopupForm);
  FListVisible = false;
  FPopupFormVisible = true;
  FPopupForm->ShowPopup();
}

void TdxInplacePopupEdit::InitPopup(TdxPopupEditForm& form) {
  DoInitPopup();
  if (FPopupControl) {
    bool circular = FPopupControl == &form || FPopupControl == this;
    for (TWinControl* p = Parent(); p && !circular; p = p->Parent()) circular = p == FPopupControl;
    if (circular) throw Exception(L"Circular referencing is not allowed");
  }
  form.SetFlatBorder(true);
  form.SetSizeable(true);
  form.SetBorderStyle(TFormBorderStyle::bsDialog);
  form.SetClientEdge(false);
  form.SetPopupFormBorderStyle(pbsDialog);
  form.SetPopupMinWidth(100);
  form.SetPopupMinHeight(100);
  form.SetPopupFormBorderStyle(FPopupFormBorderStyle);
  form.SetClientEdge(FPopupClientEdge);
  form.SetFlatBorder(FPopupFlatBorder);
  form.SetSizeable(FPopupSizeable);
  form.SetCaption(FPopupFormCaption);
  form.SetPopupMinWidth(FPopupMinWidth);
  form.SetPopupMinHeight(FPopupMinHeight);
  if (TControl* control = FPopupControl) {
    FInitedPopupControl = control;
    FPopupControlAlign = control->Align();
    FPopupControlBoundsRect = control->BoundsRect();
    FPopupControlParent = control->Parent();
    FPopupControlVisible = control->Visible();
    if (auto* controlForm = dynamic_cast<TCustomForm*>(control)) {
      FPopupControlBorderStyle = controlForm->BorderStyle();
      controlForm->SetBorderStyle(TFormBorderStyle::bsNone);
    }
    control->Hide();
    control->SetBounds(0, 0, control->Width(), control->Height());
    if (FPopupAutoSize) {
      // The form's client area takes the control's size.
      RECT window, client;
      GetWindowRect(form.Handle(), &window);
      GetClientRect(form.Handle(), &client);
      form.SetBounds(form.Left(), form.Top(), control->Width() + (window.right - window.left) - client.right,
                     control->Height() + (window.bottom - window.top) - client.bottom);
    } else {
      form.SetBounds(form.Left(), form.Top(), FPopupWidth, FPopupHeight);
    }
    control->SetAlign(TAlign::alClient);
    control->SetParent(&form);
    control->Show();
  } else {
    form.SetBounds(form.Left(), form.Top(), FPopupWidth, FPopupHeight);
  }
  CalcPopupPosition(form);
  PlacePopup(&form, false);
  if (!FDoNotRecreateWnd && form.HandleAllocated()) form.RecreateWnd();
  DoPopup();
}

void TdxInplacePopupEdit::CalcPopupPosition(TdxPopupEditForm& form) {
  RECT r;
  GetWindowRect(Handle(), &r);
  RECT f{r.left, r.top + Height(), r.left + form.Width(), r.top + Height() + form.Height()};
  bool below = true, right = true;
  RECT wa;
  GetMonitorWorkArea(POINT{form.Left(), form.Top()}, wa);
  if (Width() < form.Width() && f.right > wa.right && std::abs(wa.right - r.left) < std::abs(wa.left - r.right)) {
    OffsetRect(&f, r.right - f.right, 0);
    right = false;
  }
  if (f.bottom > wa.bottom && std::abs(wa.bottom - r.bottom) < std::abs(r.top - wa.top)) {
    OffsetRect(&f, 0, r.top - f.bottom);
    below = false;
  }
  form.FSizingCorner = below ? (right ? coBottomRight : coBottomLeft) : (right ? coTopRight : coTopLeft);
  form.SetBounds(f.left, f.top, form.Width(), form.Height());
}

void TdxInplacePopupEdit::RestorePopupControl() {
  TControl* control = FInitedPopupControl;
  if (!control) return;
  FInitedPopupControl = nullptr;
  if (auto* controlForm = dynamic_cast<TCustomForm*>(control)) controlForm->SetBorderStyle(FPopupControlBorderStyle);
  control->SetAlign(FPopupControlAlign);
  const RECT& b = FPopupControlBoundsRect;
  control->SetBounds(b.left, b.top, b.right - b.left, b.bottom - b.top);
  control->SetVisible(FPopupControlVisible);
  control->SetParent(FPopupControlParent);
}

void TdxInplacePopupEdit::Hide() {
  if (FPopupFormVisible && FPopupForm && FPopupForm->Visible()) FPopupForm->ClosePopup(false);
  TdxInplaceDropDownEdit::Hide();
}

bool TdxInplacePopupEdit::IsOpenedFromThisForm() {
  std::vector<TdxPopupEditForm*>* forms = OpenPopupForms();
  if (!forms || forms->empty()) return false;
  TdxPopupEditForm* newest = forms->back();
  if (!newest->HandleAllocated() || GetActiveWindow() != newest->Handle()) return false;
  TCustomForm* mine = GetParentForm(this);
  for (TdxPopupEditForm* form = newest; form;) {
    TdxPopupEditFormOwner* owner = form->OwnerControl();
    if (!owner) return false;
    TCustomForm* ownerForm = GetParentForm(&owner->PopupOwnerEdit());
    if (ownerForm == mine) return true;
    form = dynamic_cast<TdxPopupEditForm*>(ownerForm);
  }
  return false;
}

bool TdxInplacePopupEdit::IsFocused() {
  if (TdxInplaceDropDownEdit::IsFocused()) return true;
  if (FPopupFormVisible && FPopupForm && FPopupForm->HandleAllocated() && GetActiveWindow() == FPopupForm->Handle())
    return true;
  return IsOpenedFromThisForm();
}

void TdxInplacePopupEdit::KeyPress(wchar_t& key) {
  // A cell whose text cannot be edited takes no typing.
  if (FHideEditCursor && key >= 32) key = 0;
  TdxInplaceDropDownEdit::KeyPress(key);
}

}  // namespace tvk
