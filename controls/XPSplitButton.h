#pragma once
// The split button: a styled bit button whose right 16 pixels drop down a
// pop-up menu or any windowed control of the form, shown in a borderless
// tool window below the button with an optional close button.
#include "Forms.h"
#include "Menus.h"
#include "WinXPButtons.h"

namespace tvk {

// The window a split button shows its pop-up control in.
class TPopupContainer : public TForm {
public:
  TVK_CLASS(TPopupContainer, TForm)
  TPopupContainer(TComponent* owner, HWND ownerHandle);
  HWND OwnerHandle() const { return FOwnerHandle; }

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;

private:
  HWND FOwnerHandle;
};

class TXPSplitButton : public TXPBitBtn {
public:
  TVK_CLASS(TXPSplitButton, TXPBitBtn)
  static constexpr UINT WM_SHOWPOPUP = WM_USER + 7;
  static constexpr UINT WM_HIDEPOPUP = WM_USER + 8;
  static constexpr int kArrowWidth = 16;

  explicit TXPSplitButton(TComponent* owner);
  ~TXPSplitButton() override;

  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* value);
  TWinControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TWinControl* value);
  bool AutoAddCloseButton() const { return FAutoAddCloseButton; }
  void SetAutoAddCloseButton(bool value) { FAutoAddCloseButton = value; }
  bool ArrowButtonPressed() const { return FArrowButtonPressed; }
  // The container while the pop-up control is shown.
  TForm* PopupHolder() const { return FPopupHolder; }
  HWND MainFormHandle() const { return FMainFormHandle; }
  bool MainFormProcedureReplaced() const { return FMainFormSubclass.Installed(); }
  RECT GetArrowRect() { RECT r = ClientRect(); r.left = r.right - kArrowWidth; return r; }

  TNotifyEvent OnAfterHidePopup;
  TNotifyEvent OnBeforeShowPopup;

protected:
  virtual void DoAfterHidePopup();
  virtual void DoBeforeShowPopup();
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void MouseDownAction(int x, int y) override;
  void MouseUpAction() override;
  void DrawContent(const RECT& rect, TColor color) override;
  void DrawButton(TColor textColor, RECT rect, bool withContent, bool hot, bool pressed, bool enabled,
                  const RECT* clipRect) override;

  TVK_MESSAGES();
  void WMLButtonUp(TMessage& message);
  void WMShowPopup(TMessage& message);
  void WMHidePopup(TMessage& message);

private:
  void SetArrowPressed(bool value);
  void HidePopup();
  void PostToSelf(UINT message);

  bool FArrowButtonPressed = false;
  TPopupMenu* FDropDownMenu = nullptr;
  HWND FMainFormHandle = nullptr;
  TWindowSubclass FMainFormSubclass;
  bool FArrowMouseDown = false;
  TForm* FPopupHolder = nullptr;
  TWinControl* FPopupControl = nullptr;
  bool FAutoAddCloseButton = true;
};

}  // namespace tvk
