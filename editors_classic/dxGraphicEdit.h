#pragma once
// The in-place editor of picture cells: the picture shown stretched, centred
// or at its natural size, painted windowlessly for the other cells of its
// kind, and edited by Cut, Copy, Paste, Delete, Load, Save and one custom
// command through a context menu or the floating toolbar.
#include "dxCntner.h"
#include "dxPopupToolBar.h"

#include <functional>
#include <memory>

namespace tvk {

enum TdxGraphicEditTransparency { gtDefault, gtOpaque, gtTransparent };

class TdxGraphicEditViewData : public TdxEditViewData {
public:
  TVK_CLASS(TdxGraphicEditViewData, TdxEditViewData)
  bool Center = false;
  bool DrawShadow = false;
  TPicture* Picture = nullptr;
  bool QuickDraw = false;
  COLORREF ShadowColor = 0;
  bool Stretch = false;
  TBitmap* TempTransparentBitmap = nullptr;
};

class TdxInplaceGraphicEditClass : public TdxInplaceEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const override;
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  void GetMinRect(TdxEditViewData& viewData, RECT& rect) const override;
  static const TdxInplaceGraphicEditClass& Instance();
};

// The picture of W x H fitted into Area, keeping its aspect and the area's
// top-left corner; empty when either has a side of 0.
RECT FitPictureRect(const RECT& area, int w, int h);

using TdxGraphicEditAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TdxGraphicEditGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

constexpr POINT kNoToolbarPos{-10000, -10000};

class TdxInplaceGraphicEdit : public TdxInplaceEdit {
public:
  TVK_CLASS(TdxInplaceGraphicEdit, TdxInplaceEdit)
  explicit TdxInplaceGraphicEdit(TComponent* owner);
  ~TdxInplaceGraphicEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceGraphicEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  // Protocol
  // A byte array (or the text form) loads the picture; Null, Unassigned or an empty text clear it.
  void SetEditValue(const Variant& value) override;
  // The picture (after OnAssignPicture) as the bytes of its graphic's stream; Null without one.
  Variant GetEditValue() override;
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;
  bool IsFocused() override;
  void DoKillFocus(TMessage& message) override;

  // Settings the hosts write
  UINT FClipboardFormat;
  WideString FCustomFilter;
  bool FDblClickActivate = true;
  bool FQuickDraw = false;
  POINT FToolbarPos = kNoToolbarPos;
  TdxGraphicEditAssignPictureEvent FOnAssignPicture;
  TNotifyEvent FOnCustomClick;
  TdxGraphicEditGraphicClassEvent FOnGetGraphicClass;

  bool Center() const { return FCenter; }
  void SetCenter(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool CustomGraphic() const { return FCustomGraphic; }
  void SetCustomGraphic(bool value);
  TdxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TdxGraphicEditTransparency value);
  bool ToolbarPosStored() const { return FToolbarPosStored; }
  void SetToolbarPosStored(bool value);
  TPicture& Picture() { return *FPicture; }
  void SetPicture(const TPicture& value) { FPicture->Assign(value); }
  TdxPopupToolBar& PopupToolBar() { return *FPopupToolBar; }
  TdxPopupToolBarWindow& ToolbarLayout() { return *FToolbarLayout; }

  // Commands
  void ClearPicture();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void LoadFromFile();
  void SaveToFile();

  virtual void DoCustomClick();
  virtual void DoAssignPicture(TPicture*& picture);
  virtual TGraphicClass GetGraphicClass();

  void SyncToolbar();
  void ShowPopupToolbar();
  void ToolbarButtonClick(TObject* sender, TdxPopupToolBarButton button);

protected:
  void DoSetFocus() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void WMGetDlgCode(TMessage& message);
  void WMContextMenu(TMessage& message);

private:
  void PictureChanged();
  void HideToolbarIfUnfocused();
  void MenuItemClick(TObject* sender);
  void BuildEditMenu();

  bool FCenter = true;
  bool FCustomGraphic = false;
  TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
  bool FInternalChanging = false;
  std::unique_ptr<TPicture> FPicture;
  std::unique_ptr<TPicture> FTempPicture;
  std::unique_ptr<TdxPopupToolBar> FPopupToolBar;
  POINT FSavePos = kNoToolbarPos;
  bool FStretch = false;
  std::unique_ptr<TBitmap> FTempTransparentBitmap;
  std::unique_ptr<TdxPopupToolBarWindow> FToolbarLayout;
  bool FToolbarPosStored = true;
};

}  // namespace tvk
