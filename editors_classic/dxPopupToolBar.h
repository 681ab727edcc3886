#pragma once
// The floating picture toolbar: a small tool window beside a graphic editor
// with Cut, Copy, Paste, Delete, Load, Save and one host-defined command; the
// settings object through which hosts configure it; and the shared image
// list of its glyphs, which the picture context menus use too.
#include "Buttons.h"
#include "Forms.h"
#include "ImageLists.h"
#include "Menus.h"

#include <array>
#include <functional>
#include <memory>

namespace tvk {

class TdxInplaceGraphicEdit;

enum TdxPopupToolBarButton { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };
constexpr int kPopupToolBarButtonCount = 7;
using TdxPopupToolBarButtons = unsigned;  // bit i: button ordinal i
constexpr TdxPopupToolBarButtons PopupToolBarButtonBit(TdxPopupToolBarButton b) { return 1u << unsigned(b); }
// Cut to Save.
constexpr TdxPopupToolBarButtons kDefaultPopupToolBarButtons = 0x3F;
enum TdxPopupToolBarAlignment { ptaLeft, ptaRight, ptaTop, ptaBottom };
using TdxPopupToolBarButtonClick = std::function<void(TObject* Sender, TdxPopupToolBarButton Button)>;

// The menu caption and hint of a button (empty for the custom one), as the
// extended editors' start-up loaded them.
const WideString& PopupToolBarCaption(TdxPopupToolBarButton button);
const WideString& PopupToolBarHint(TdxPopupToolBarButton button);

// The six command glyphs, image index = button ordinal; made on first use,
// freed at the unit's shut-down.
TImageList& GetToolbarImages();
bool ToolbarImagesCreated();
void FreeToolbarImages();

class TdxPopupToolBar : public TForm {
public:
  TVK_CLASS(TdxPopupToolBar, TForm)
  // Owner: the editor the toolbar serves.
  explicit TdxPopupToolBar(TComponent* owner);
  ~TdxPopupToolBar() override;

  bool CanShow() const { return FCanShow; }
  void SetCanShow(bool value) { FCanShow = value; }
  UINT ClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(UINT value) { FClipboardFormat = value; }
  bool IsEmpty() const { return FIsEmpty; }
  void SetIsEmpty(bool value) { FIsEmpty = value; }
  bool IsPopupMenu() const { return FIsPopupMenu; }
  void SetIsPopupMenu(bool value) { FIsPopupMenu = value; }
  bool IsReadOnly() const { return FIsReadOnly; }
  void SetIsReadOnly(bool value) { FIsReadOnly = value; }
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool value) { FShowCaptions = value; }
  TdxPopupToolBarAlignment ToolBarAlignment() const { return FToolBarAlignment; }
  void SetToolBarAlignment(TdxPopupToolBarAlignment value);
  TdxPopupToolBarButtons ToolBarButtons() const { return FToolBarButtons; }
  void SetToolBarButtons(TdxPopupToolBarButtons value);
  const WideString& CustomButtonCaption() const { return FCustomButtonCaption; }
  void SetCustomButtonCaption(const WideString& value);
  void SetCustomButtonGlyph(const TBitmap& glyph);
  TSpeedButton& Button(TdxPopupToolBarButton button) const { return *FButtons[std::size_t(button)]; }
  // Set when the user closed the window; Show does nothing until it is cleared.
  bool FlagHide() const { return FFlagHide; }
  void SetFlagHide(bool value) { FFlagHide = value; }
  bool Chained() const { return FChained; }
  // The picture context menu the graphic editor builds (owned from then on).
  TPopupMenu* EditPopupMenu() const { return FEditPopupMenu.get(); }
  void SetEditPopupMenu(std::unique_ptr<TPopupMenu> menu) { FEditPopupMenu = std::move(menu); }

  void RefreshButtons();
  // Places the toolbar beside an editor whose top-left screen corner is P.
  void CalcPosition(POINT p);
  void UpdateButtonStates();
  void Show();
  void Hide();
  bool Visible() const;

  TdxPopupToolBarButtonClick OnButtonClick;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  TVK_MESSAGES();
  void WMDrawClipboard(TMessage& message);
  void WMChangeCBChain(TMessage& message);
  void WMNCDestroy(TMessage& message);
  void WMActivate(TMessage& message);
  void WMMouseActivate(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMClose(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void CMShowingChanged(TMessage& message);

private:
  TSpeedButton* CreateButton(const WideString& caption, const WideString& hint, const TBitmap& glyph);
  void ButtonClick(TObject* sender);
  void LeaveClipboardChain();
  void PassToNextViewer(TMessage& message);
  void SetClientSize(int width, int height);

  std::array<TSpeedButton*, kPopupToolBarButtonCount> FButtons{};
  bool FCanShow = false;
  bool FChained = false;
  UINT FClipboardFormat = 0;
  std::unique_ptr<TPopupMenu> FEditPopupMenu;
  bool FFlagHide = false;
  bool FIsEmpty = false;
  bool FIsPopupMenu = false;
  bool FIsReadOnly = false;
  HWND FNextWindow = nullptr;
  bool FShowCaptions = true;
  TdxPopupToolBarAlignment FToolBarAlignment = ptaRight;
  TdxPopupToolBarButtons FToolBarButtons = kDefaultPopupToolBarButtons;
  WideString FCustomButtonCaption;
};

// The toolbar settings a host keeps per column or row and hands to its graphic editor.
class TdxPopupToolBarWindow : public TPersistent {
public:
  TVK_CLASS(TdxPopupToolBarWindow, TPersistent)
  explicit TdxPopupToolBarWindow(TdxInplaceGraphicEdit* graphicEdit);
  ~TdxPopupToolBarWindow() override;
  void Assign(const TPersistent& source) override;

  TdxPopupToolBarAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TdxPopupToolBarAlignment value) { FAlignment = value; }
  TdxPopupToolBarButtons Buttons() const { return FButtons; }
  void SetButtons(TdxPopupToolBarButtons value) { FButtons = value; }
  const WideString& CustomButtonCaption() const { return FCustomButtonCaption; }
  void SetCustomButtonCaption(const WideString& value) { FCustomButtonCaption = value; }
  // Made on the first read.
  virtual TBitmap* CustomButtonGlyph();
  // Null frees the glyph; a bitmap is copied.
  void SetCustomButtonGlyph(const TBitmap* value);
  bool HasCustomButtonGlyph() const { return FCustomButtonGlyph != nullptr; }
  TdxInplaceGraphicEdit* GraphicEdit() const { return FGraphicEdit; }
  bool IsPopupMenu() const { return FIsPopupMenu; }
  // Also the owning editor's toolbar's.
  void SetIsPopupMenu(bool value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool value) { FShowCaptions = value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }

private:
  TdxPopupToolBarAlignment FAlignment = ptaBottom;
  TdxPopupToolBarButtons FButtons = kDefaultPopupToolBarButtons;
  WideString FCustomButtonCaption;
  std::unique_ptr<TBitmap> FCustomButtonGlyph;
  TdxInplaceGraphicEdit* FGraphicEdit;
  bool FIsPopupMenu = true;
  bool FShowCaptions = true;
  bool FVisible = true;
};

}  // namespace tvk
