#pragma once
// The window a blob cell drops down: a plain-text rich edit for memo data or
// a self-painted picture view, with a panel of OK / Cancel / Close buttons and
// a size grip on the side away from the cell. It reports its changes through
// events and never writes the cell itself.
#include "Menus.h"
#include "StdCtrls.h"
#include "dxCntner.h"
#include "dxCore.h"
#include "dxEditor.h"
#include "dxExUtils.h"
#include "dxGraphicEdit.h"

#include <array>
#include <memory>

namespace tvk {

enum TdxBlobEditKind { bekMemo, bekPict, bekOle, bekBlob };
enum TdxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };
enum TdxBlobKind { bkAuto, bkBlob, bkMemo, bkPict, bkOle };
enum TdxBlobEditButton { bebOK, bebCancel, bebClose };
using TdxBlobEditButtons = unsigned;  // bit i: button ordinal i
constexpr TdxBlobEditButtons BlobButtonBit(TdxBlobEditButton b) { return 1u << unsigned(b); }

// The panel's metrics, measured with the pop-up's font.
struct TdxBlobPopupPanelMetrics {
  int FrameSize = 0;
  int GripWidth = 0;
  int ButtonMargin = 0;
  int ButtonGap = 0;
  int ButtonHeight = 0;
  int ButtonWidth = 0;
  int ButtonCount = 0;
};

// The captions of the panel buttons, as the extended editors' start-up loaded them.
const WideString& BlobButtonCaption(TdxBlobEditButton button);

class TCustomdxBlobPopup : public TdxInplacePopupControl {
public:
  TVK_CLASS(TCustomdxBlobPopup, TdxInplacePopupControl)
  explicit TCustomdxBlobPopup(TComponent* owner);
  ~TCustomdxBlobPopup() override;

  // Sizes and places the window below (or above) the owner editor whose
  // bottom-left screen corner is P, and chooses the grip corner.
  void SetSize(POINT p, int defaultWidth, int defaultHeight);
  void ShowPopup() override;
  void HidePopup(bool byMouse) override;
  virtual void ClosePopup(TdxBlobEditButton button);
  virtual void SaveChanges();

  TdxBlobEditKind BlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TdxBlobEditKind value);
  TdxBlobEditButtons Buttons() const { return FButtons; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool Sizeable() const { return FSizeable; }
  void SetSizeable(bool value);
  TdxCorner SizingCorner() const { return FSizingCorner; }
  bool AlwaysSaveText() const { return FAlwaysSaveText; }
  void SetAlwaysSaveText(bool value) { FAlwaysSaveText = value; }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  void SetWordWrap(bool value);
  void SetScrollBars(TScrollStyle value);
  void SetHideScrollBars(bool value);
  void SetSelectionBar(bool value);
  void SetOEMConvert(bool value);
  void SetMaxLength(int value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  UINT ClipboardFormat() const { return FClipboardFormat; }
  void SetClipboardFormat(UINT value) { FClipboardFormat = value; }
  TGraphicClass GraphicClass() const { return FGraphicClass; }
  void SetGraphicClass(TGraphicClass value) { FGraphicClass = value; }
  void SetGraphicTransparency(TdxGraphicEditTransparency value);
  const WideString& PictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const WideString& value) { FPictureFilter = value; }
  bool ShowPicturePopup = true;
  bool ShowExPopupItems = true;

  TPicture& Picture();
  // The memo text: the window's while there is one.
  WideString Text();
  void SetText(const WideString& value);
  // The memo text as it was when the pop-up was last hidden.
  const WideString& BlobText() const { return FBlobText; }
  bool Modified();
  void SetModified(bool value);
  bool ButtonEnabled() const { return FButtonEnabled; }
  int LeftCoord() const { return FLeftCoord; }
  void SetLeftCoord(int value);
  int TopCoord() const { return FTopCoord; }
  void SetTopCoord(int value);
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  int ButtonPanelHeight() const { return FButtonPanelHeight; }

  TdxBlobPopupPanelMetrics CalcPanelMetrics();
  // The screen rectangle of a panel button (empty for one not shown).
  RECT ButtonRect(TdxBlobEditButton button);
  // The button under a screen point, -1 for none.
  int ButtonAtPoint(POINT screenPoint);

  // Clipboard and file commands.
  bool CanPaste();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void ClearPicture();
  void LoadFromFile();
  void SaveToFile();
  void GetSelection(int& start, int& end);
  void SetSelection(int start, int end, bool scrollCaret);

  TNotifyEvent OnChange, OnSaveChanges, OnHide;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  virtual void DoChange();
  virtual void ApplyCharCase();
  virtual void DoHide();

  TVK_MESSAGES();
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMNCLButtonDown(TMessage& message);
  void WMNCLButtonDblClk(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMChar(TMessage& message);
  void WMHScroll(TMessage& message);
  void WMVScroll(TMessage& message);
  void WMSize(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMPaint(TMessage& message);
  void WMContextMenu(TMessage& message);
  void CNCommand(TMessage& message);
  void CMColorChanged(TMessage& message);

private:
  bool IsMemo() const { return FBlobEditKind == bekMemo; }
  bool HasPicture() { return !IsPictureEmpty(FPicture.get()); }
  bool PanelAtBottom() const { return IsBottomCornerOf(FSizingCorner); }
  static bool IsBottomCornerOf(TdxCorner c) { return c == coBottomLeft || c == coBottomRight; }
  void CalcMinSize();
  RECT PanelRect();
  void PictureChanged();
  void UpdateScrollBars();
  void ClampScrollPosition();
  void Scroll(bool horizontal, int code, int trackPos);
  void SetCoord(bool horizontal, int value);
  void RepaintFrame();
  void UpdatePressedButton(POINT screenPoint);
  void StopTracking();
  void DrawPanelButton(HDC dc, RECT r, TdxBlobEditButton button);
  void MenuItemClick(TObject* sender);
  void PopupMenuAt(POINT p);
  bool AcceleratorIs(WORD key, TdxBlobEditButton button);
  int BorderWidthForSize() const;
  bool OwnerCanEditValue();

  TdxBlobEditKind FBlobEditKind = bekMemo;
  bool FButtonEnabled = false;
  int FButtonPanelHeight = 26;
  bool FButtonPressed = false;
  TdxBlobEditButtons FButtons = BlobButtonBit(bebOK) | BlobButtonBit(bebCancel);
  bool FCreating = false;
  int FDownButton = -1;
  bool FModified = false;
  bool FReadOnly = false;
  bool FSizeable = true;
  TdxCorner FSizingCorner = coBottomRight;
  bool FTracking = false;
  bool FAlwaysSaveText = true;
  WideString FBlobText;
  bool FBlobTextSaved = false;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  bool FCharCaseChanging = false;
  std::unique_ptr<TPopupMenu> FEditPopupMenu;
  bool FHideScrollBars = true;
  int FMaxLength = 0;
  bool FOEMConvert = false;
  TScrollStyle FScrollBars = TScrollStyle::ssNone;
  bool FSelectionBar = true;
  bool FWantReturns = true;
  bool FWantTabs = true;
  bool FWordWrap = true;
  bool FAutoSize = true;
  UINT FClipboardFormat;
  TGraphicClass FGraphicClass = nullptr;
  TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
  bool FInternalChanging = false;
  int FLeftCoord = 0, FTopCoord = 0;
  std::unique_ptr<TPicture> FPicture;
  WideString FPictureFilter;
  std::unique_ptr<TBitmap> FTempTransparentBitmap;
  WideString FMemoText;  // the text while there is no window
  int FMinWidth = 0, FMinHeight = 0;
};

}  // namespace tvk
