#pragma once
// The drop-down editor: up to eight buttons in the editor's non-client area,
// laid out by class functions so that windowless cells paint them too, and
// the protocol by which its descendants open a pop-up under the cell, feed
// it keys and mouse drags while it is open, and take its value back. Also
// the configurable buttons of the button editor.
#include "Collections.h"
#include "Menus.h"
#include "dxEditor.h"

#include <array>
#include <cstdint>

namespace tvk {

constexpr UINT WM_DROPDOWNPOPUP = WM_APP + 0x66;  // open the drop-down once the current message is done
constexpr int kMaxEditButtons = 8;

enum TdxEditButtonKind { bkEllipsis, bkDown, bkGlyph };
enum TdxEditButtonStyle { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };
enum TdxButtonEditViewStyle { vsStandard, vsHideCursor, vsButtonOnly };

struct TdxEditButtonInfo {
  TBitmap* Glyph = nullptr;  // not owned
  std::int32_t Index = 0;    // visible index
  TdxEditButtonKind Kind = bkEllipsis;
  bool LeftAlignment = false;
  std::int32_t Width = 0;
};
using TdxEditButtonsInfo = std::array<TdxEditButtonInfo, kMaxEditButtons>;

class TdxEditButtons;

class TdxDropDownEditViewData : public TdxTextEditViewData {
public:
  TVK_CLASS(TdxDropDownEditViewData, TdxTextEditViewData)
  std::int32_t ButtonCount = 0;
  TdxEditButtonsInfo Buttons{};
  TBitmap* ButtonGlyph = nullptr;  // not owned
  bool HideButtons = false;
  std::int32_t ActiveButtonIndex = -1;
  std::int32_t PressedButtonIndex = -1;
};

class TdxButtonEditViewData : public TdxDropDownEditViewData {
public:
  TVK_CLASS(TdxButtonEditViewData, TdxDropDownEditViewData)
  bool ButtonOnly = false;
  TdxEditButtons* EditButtons = nullptr;  // not owned
  bool HideEditCursor = false;
};

// The drop-down editor's class functions: the button layout and painting.
class TdxInplaceDropDownEditClass : public TdxInplaceMaskEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const override;
  void DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, TdxEditViewData& viewData) const override;
  virtual void CalcButtonsInfo(TdxDropDownEditViewData& viewData) const;
  virtual int CalcDefaultButtonWidth(const TdxDropDownEditViewData& viewData,
                                     const TdxEditButtonInfo& buttonInfo) const;
  // The rectangles of the laid-out buttons, by button index; painting and hit testing both use them.
  static void CalcButtonRects(const TdxDropDownEditViewData& viewData, const TdxEditViewInfo& viewInfo,
                              std::array<RECT, kMaxEditButtons>& rects);
  static void DrawEditButton(HDC dc, RECT r, const TdxDropDownEditViewData& viewData,
                             const TdxEditButtonInfo& button, bool pressed, bool hot);
  static const TdxInplaceDropDownEditClass& Instance();
};

using TdxDropDownEditCloseUp = std::function<void(TObject* Sender, WideString& Value, bool& Accept)>;

class TdxInplaceDropDownEdit : public TdxInplaceMaskEdit {
public:
  TVK_CLASS(TdxInplaceDropDownEdit, TdxInplaceMaskEdit)
  explicit TdxInplaceDropDownEdit(TComponent* owner);
  ~TdxInplaceDropDownEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceDropDownEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  bool DroppedDown();
  void SetDroppedDown(bool value);
  TBitmap* ButtonGlyph() const { return FButtonGlyph.get(); }
  void SetButtonGlyph(TBitmap* value);
  bool PassMouseWheelToGrid() const { return fPassMouseWheelToGrid; }
  void SetPassMouseWheelToGrid(bool value) { fPassMouseWheelToGrid = value; }
  int ActiveButton() const { return FActiveButton; }
  int PressedButton() const { return FPressedButton; }
  TWinControl* ActiveList() const { return FActiveList; }
  bool ListVisible() const { return FListVisible; }

  // The drop-down protocol.
  virtual void PlacePopup(TControl* popup, bool adjustWidth);
  virtual void CloseUp(bool accept) { (void)accept; }
  virtual void ButtonDown(bool byClientClick, int index);
  virtual void ButtonClick(int index) { (void)index; }
  virtual void DoCloseUp(WideString& value, bool& accept);
  virtual void DropDownKeyDown(WORD& key, TShiftState shift);
  virtual void SelectNext(int delta, bool wrapAtEnd) { (void)delta; (void)wrapAtEnd; }
  virtual void DropDown() {}
  virtual void DoDropDown();
  virtual void SearchList(const WideString& text) { (void)text; }
  // The border a pop-up of this editor gets.
  TdxPopupBorderStyle PopupBorderStyle();
  // The OnMouseUp handler that list editors give their list.
  void PopupMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void FocusEditor();

  void ActivateEdit() override;
  bool IsFocused() override;
  void Hide() override;
  void Show() override;
  void MouseButtonClick(int x, int y) override;
  void MouseClick(int x, int y) override;
  void SetSelected(bool value) override;
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;

  // Settings that hosts write before activation.
  int FDropDownRows = 7;
  int FDropDownWidth = 0;
  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  TAlignment FPopupAlignment = TAlignment::taLeftJustify;
  TdxPopupBorderStyle FPopupBorder = pbDefault;
  TdxDropDownEditCloseUp FOnCloseUp;
  TNotifyEvent FOnDropDown;
  TNotifyEvent FOnEditButtonClick;
  bool fPassMouseWheelToGrid = false;

protected:
  void WndProc(TMessage& message) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void SetActiveButton(int index);
  void ReleasePressedButton();
  // The window point under screen point P (window coordinates, as the button rectangles are).
  POINT ScreenToWindowPoint(POINT p);

  TVK_MESSAGES();
  void WMNCHitTest(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMNCLButtonDblClk(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMCancelMode(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void WMDropDownPopup(TMessage& message);
  void WMPopupClosed(TMessage& message);
  void CMCancelMode(TMessage& message);
  void CMHintShow(TMessage& message);

  int FActiveButton = -1;
  std::unique_ptr<TBitmap> FButtonGlyph;
  int FPressedButton = -1;
  TWinControl* FActiveList = nullptr;  // not owned
  bool FListVisible = false;
  bool FSendChildrenStyle = true;
  bool FSearchStyle = false;
};

// --- the button editor's buttons

class TdxEditButton : public TCollectionItem {
public:
  TVK_CLASS(TdxEditButton, TCollectionItem)
  // Raises "Too many buttons ( >= 8)" before joining a collection that is full.
  explicit TdxEditButton(TCollection* collection);
  ~TdxEditButton() override;

  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  TBitmap& Glyph();  // made on first use
  bool HasGlyph() const { return FGlyph != nullptr; }
  void SetGlyph(TBitmap* value);
  TdxEditButtonKind Kind() const { return FKind; }
  void SetKind(TdxEditButtonKind value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  int Width() const { return FWidth; }
  void SetWidth(int value);
  virtual void RestoreDefaults();
  void Assign(const TPersistent& source) override;

private:
  friend class TdxEditButtons;
  static TCollection* CheckRoom(TCollection* collection);
  bool FDefault = false;
  std::unique_ptr<TBitmap> FGlyph;
  TdxEditButtonKind FKind = bkEllipsis;
  bool FLeftAlignment = false;
  bool FVisible = true;
  std::int32_t FWidth = 0;
};

class TdxEditButtons : public TCollection {
public:
  TVK_CLASS(TdxEditButtons, TCollection)
  TdxEditButtons(TComponent* owner, TCollectionItemClass buttonClass);
  TComponent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }
  TdxEditButton* Add() { return static_cast<TdxEditButton*>(TCollection::Add()); }
  TdxEditButton* GetItem(int index) const { return static_cast<TdxEditButton*>(Items(index)); }
  int VisibleCount() const;
  TdxEditButton* GetVisibleItem(int visibleIndex) const;
  int GetAbsoluteIndex(int visibleIndex) const;
  int GetVisibleIndex(int absoluteIndex) const;
  void RestoreDefaults();
  void Assign(const TPersistent& source) override;
  // A change of Item (null: of every button): a single remaining button becomes the default.
  void Update(TCollectionItem* item) override;

private:
  TComponent* FOwner;
};

class TdxInplaceEditButtons : public TdxEditButtons {
public:
  TVK_CLASS(TdxInplaceEditButtons, TdxEditButtons)
  using TdxEditButtons::TdxEditButtons;
  void Update(TCollectionItem* item) override;
};

using TdxEditButtonClickEvent = std::function<void(TObject* Sender, int AbsoluteIndex)>;

class TdxInplaceButtonEditClass : public TdxInplaceDropDownEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const override;
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  void CalcButtonsInfo(TdxDropDownEditViewData& viewData) const override;
  static const TdxInplaceButtonEditClass& Instance();
};

// The button-only and hidden-caret styles need a class of their own: a
// class function answers whether the editor edits text.
class TdxInplaceButtonEditNoTextClass : public TdxInplaceButtonEditClass {
public:
  bool IsEditClass() const override { return false; }
  static const TdxInplaceButtonEditNoTextClass& Instance();
};

class TdxInplaceButtonEdit : public TdxInplaceDropDownEdit {
public:
  TVK_CLASS(TdxInplaceButtonEdit, TdxInplaceDropDownEdit)
  explicit TdxInplaceButtonEdit(TComponent* owner);
  ~TdxInplaceButtonEdit() override;
  // The standard view style's functions; the others answer by their style.
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceButtonEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override;

  TdxEditButtons& Buttons() { return *FButtons; }
  void SetButtons(const TdxEditButtons& value) { FButtons->Assign(value); }
  TdxButtonEditViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TdxButtonEditViewStyle value);
  virtual void ClickDefaultButton();
  void ButtonClick(int visibleIndex) override;
  void DropDownKeyDown(WORD& key, TShiftState shift) override { (void)key; (void)shift; }
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;
  // The filer property "ExistButtons".
  void DefineProperties(TFiler& filer) override;
  void Loaded() override;

  TShortCut FClickKey = scCtrl | VK_RETURN;
  TdxEditButtonClickEvent FOnButtonClick;

protected:
  bool IsResetTextClass() override { return true; }
  void KeyDown(WORD& key, TShiftState shift) override;
  TVK_MESSAGES();
  void WMGetDlgCode(TMessage& message);

private:
  std::unique_ptr<TdxEditButtons> FButtons;
  bool FExistButtons = false;
  TdxButtonEditViewStyle FViewStyle = vsStandard;
};

}  // namespace tvk
