#pragma once
// The top-level form in which a pop-up editor shows a control of the host
// application under a cell. ShowPopup runs a small message loop of its own
// and returns when the form has closed; forms nest, newer ones closing first.
#include "Forms.h"
#include "dxCore.h"
#include "dxEditor.h"

#include <vector>

namespace tvk {

class TdxPopupEditForm;

enum TdxPopupEditFormBorderStyle { pbsDialog, pbsDialogHelp, pbsSimple, pbsSysPanel };

// The editor side a pop-up form reports to (the pop-up editor).
class TdxPopupEditFormOwner {
public:
  virtual ~TdxPopupEditFormOwner() = default;
  // The editor whose text the form reads and writes.
  virtual TdxInplaceMaskEdit& PopupOwnerEdit() = 0;
  virtual bool DoCloseQuery() = 0;
  virtual void DoCloseUp(TdxPopupEditForm& form, WideString& text, bool& accept) = 0;
  // A click on the editor's own window while its form is open only closes
  // the form (its button is hot or a click anywhere opens it).
  virtual bool SwallowsOwnClick() = 0;
};

// The open pop-up forms, oldest first; null until the first one opens.
std::vector<TdxPopupEditForm*>* OpenPopupForms();
void FreeOpenPopupForms();

class TdxPopupEditForm : public TCustomForm {
public:
  TVK_CLASS(TdxPopupEditForm, TCustomForm)
  explicit TdxPopupEditForm(TComponent* owner);
  ~TdxPopupEditForm() override;

  // Shows the form and runs messages until it closes, its owner goes or the
  // application quits (a WM_QUIT stays queued for the host's own loop).
  virtual void ShowPopup();
  virtual void ClosePopup(bool accept);

  bool ClientEdge() const { return FClientEdge; }
  void SetClientEdge(bool value);
  bool FlatBorder() const { return FFlatBorder; }
  void SetFlatBorder(bool value);
  TdxPopupEditFormBorderStyle PopupFormBorderStyle() const { return FPopupFormBorderStyle; }
  void SetPopupFormBorderStyle(TdxPopupEditFormBorderStyle value);
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int value) { FPopupMinHeight = value; }
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int value) { FPopupMinWidth = value; }
  bool Sizeable() const { return FSizeable; }
  void SetSizeable(bool value);
  int SysPanelHeight() const { return FSysPanelHeight; }
  const RECT& CloseButtonRect() const { return FCloseButtonRect; }
  const RECT& GripRect() const { return FGripRect; }

  // The corner of the size grip; the pop-up editor writes it.
  TdxCorner FSizingCorner = coBottomRight;
  // The editor that shows the form (null once it is gone).
  TdxPopupEditFormOwner* OwnerControl() const { return FOwner; }
  void SetOwnerControl(TdxPopupEditFormOwner* owner);

protected:
  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Leaving the pop-up for any window but an open pop-up form closes them all.
  virtual void Deactivate(HWND activated);

  TVK_MESSAGES();
  void WMActivate(TMessage& message);
  void WMClose(TMessage& message);
  void WMQueryEndSession(TMessage& message);
  void WMSysCommand(TMessage& message);
  void WMSysKeyDown(TMessage& message);
  void WMNCCreate(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMSizing(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMCaptureChanged(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void WMNCPaint(TMessage& message);

private:
  bool OwnerAlive() const { return FOwner != nullptr; }
  void PeekClick();
  void CheckOutsideClick(HWND target);
  int HitTestFrame(POINT screenPoint);
  bool CornerAllows(int hitTest) const;
  void RepaintFrame();
  void RemoveFromOpenForms();

  bool FClientEdge = false;
  RECT FCloseButtonRect{};
  bool FCloseButtonIsTracking = false;
  bool FClosePopup = false;
  bool FFlatBorder = true;
  RECT FGripRect{};
  bool FMouseAboveCloseButton = false;
  TdxPopupEditFormBorderStyle FPopupFormBorderStyle = pbsDialog;
  int FPopupMinHeight = 100;
  int FPopupMinWidth = 100;
  bool FSizeable = true;
  int FSysPanelBorder = 0;
  int FSysPanelHeight = 0;
  TdxPopupEditFormOwner* FOwner = nullptr;
  TComponent* FOwnerComponent = nullptr;  // the owner's editor, for its free notification
};

// Whether Window belongs to a pick-list drop-down, which counts as inside the
// pop-up form its editor sits in.
bool IsPickListWindow(HWND window);

}  // namespace tvk
