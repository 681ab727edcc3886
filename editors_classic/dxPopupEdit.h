#pragma once
// The pop-up editor: a drop-down editor whose drop-down is a control the host
// application designs itself, moved into a pop-up edit form under the cell
// while the form is open and given back its place afterwards.
#include "dxDropDownEdit.h"
#include "dxPopupEditForm.h"

#include <functional>
#include <memory>

namespace tvk {

// Opens the pop-up form after the message that asked for it is done.
constexpr UINT WM_SHOWPOPUPFORM = WM_APP + 0x67;

using TdxPopupEditCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TdxPopupEditCloseUpEvent = std::function<void(TObject* Sender, WideString& Text, bool& Accept)>;
using TdxPopupEditPopupEvent = std::function<void(TObject* Sender, const WideString& EditText)>;

class TdxInplacePopupEdit : public TdxInplaceDropDownEdit, public TdxPopupEditFormOwner {
public:
  TVK_CLASS(TdxInplacePopupEdit, TdxInplaceDropDownEdit)
  explicit TdxInplacePopupEdit(TComponent* owner);
  ~TdxInplacePopupEdit() override;

  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool value);
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* value);
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value);
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int value);
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int value);
  TdxPopupEditForm* PopupForm() const { return FPopupForm.get(); }
  bool DoNotRecreateWnd() const { return FDoNotRecreateWnd; }
  void SetDoNotRecreateWnd(bool value) { FDoNotRecreateWnd = value; }

  // Settings hosts write directly
  bool FPopupAutoSize = true;
  bool FPopupClientEdge = false;
  bool FPopupFlatBorder = true;
  TdxPopupEditFormBorderStyle FPopupFormBorderStyle = pbsDialog;
  WideString FPopupFormCaption;
  bool FPopupSizeable = true;
  TdxPopupEditCloseQueryEvent FOnCloseQuery;
  TNotifyEvent FOnInitPopup;
  TdxPopupEditPopupEvent FOnPopup;

  virtual void CalcPopupPosition(TdxPopupEditForm& form);
  bool DoCloseQuery() override;
  using TdxInplaceDropDownEdit::DoCloseUp;
  void DoCloseUp(TdxPopupEditForm& form, WideString& text, bool& accept) override;
  virtual void ShowPopupForm();
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void RestorePopupControl();
  virtual void InitPopup(TdxPopupEditForm& form);

  TdxInplaceMaskEdit& PopupOwnerEdit() override { return *this; }
  bool SwallowsOwnClick() override;

  void Hide() override;
  bool IsFocused() override;
  void DropDown() override;

protected:
  bool IsResetTextClass() override { return true; }
  void KeyPress(wchar_t& key) override;
  void Notification(TComponent* component, TOperation operation) override;
  TVK_MESSAGES();
  void WMShowPopupForm(TMessage& message);

private:
  bool IsOpenedFromThisForm();

  bool FHideEditCursor = false;
  TControl* FInitedPopupControl = nullptr;
  TControl* FPopupControl = nullptr;
  TAlign FPopupControlAlign = TAlign::alNone;
  TFormBorderStyle FPopupControlBorderStyle = TFormBorderStyle::bsSizeable;
  RECT FPopupControlBoundsRect{};
  TWinControl* FPopupControlParent = nullptr;
  bool FPopupControlVisible = false;
  std::unique_ptr<TdxPopupEditForm> FPopupForm;
  bool FPopupFormVisible = false;
  int FPopupHeight = 200;
  int FPopupMinHeight = 100;
  int FPopupMinWidth = 100;
  int FPopupWidth = 250;
  bool FDoNotRecreateWnd = false;
};

// The inspector row's pop-up editor.
class TdxInspectorPopupEdit : public TdxInplacePopupEdit {
public:
  TVK_CLASS(TdxInspectorPopupEdit, TdxInplacePopupEdit)
  using TdxInplacePopupEdit::TdxInplacePopupEdit;
};

}  // namespace tvk
