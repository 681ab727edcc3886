#pragma once
// The styled push button with a glyph, the check box and the radio button:
// windowed controls that take the mouse and Space themselves and paint in
// the classic look, the emulated XP look (skins of the module), the system's
// themes, or from pictures the form supplies.
#include "AlphaImage.h"
#include "Forms.h"
#include "XPControls.h"
#include "XPGraphics.h"

namespace tvk {

enum class TXPButtonStyle { xpbsOffice, xpbsWindows };
enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TLeftRight { taLeftJustify, taRightJustify };

// The caption, modal result, default and cancel of a kind.
struct TBitBtnKindRow {
  const wchar_t* Caption;
  TModalResult ModalResult;
  bool Default, Cancel;
};
const TBitBtnKindRow& BitBtnKindRow(TBitBtnKind kind);

class TWinXPCustomButtonControl : public TXPCustomControl {
public:
  TVK_CLASS(TWinXPCustomButtonControl, TXPCustomControl)
  explicit TWinXPCustomButtonControl(TComponent* owner);

  bool Pressed() const { return FPressed; }
  bool Hot() const { return FHot; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TXPLookAndFeel LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TXPLookAndFeel value);
  // The theme state of the button class for the state now.
  int GetCurrentThemeState() { return GetThemeState(Enabled(), FPressed, FHot); }
  // Mouse down, Space down or loading: a change made now is the user's.
  bool IsUserAction() const { return FMouseDown || FSpaceDown || Loading(); }
  void WndProc(TMessage& message) override;

protected:
  virtual void ClickAction() { Click(); }
  virtual void MouseDownAction(int x, int y);
  virtual void MouseMoveAction(int x, int y);
  virtual void MouseUpAction();
  virtual int GetThemeState(bool enabled, bool pressed, bool hot) = 0;
  virtual void SetPressed(bool value);
  void CreateParams(TCreateParams& params) override;

  TVK_MESSAGES();
  void WMLButtonDown(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void WMKeyDown(TMessage& message);
  void WMKeyUp(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void CMInvalidating(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CNCommand(TMessage& message);

  bool FMouseDown = false;
  bool FSpaceDown = false;
  bool FPressed = false;
  bool FHot = false;
  bool FWordWrap = false;
  TXPLookAndFeel FLookAndFeel = TXPLookAndFeel::xlfNative;
};

class TWinXPCustomButton : public TWinXPCustomButtonControl {
public:
  TVK_CLASS(TWinXPCustomButton, TWinXPCustomButtonControl)
  explicit TWinXPCustomButton(TComponent* owner);
  ~TWinXPCustomButton() override;

  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  TXPButtonStyle Style() const { return FStyle; }
  void SetStyle(TXPButtonStyle value);
  // Drawn and acting as the default button now.
  bool Active() const { return FActive; }
  TColor HotColor() const { return FHotColor; }
  TColor PressedColor() const { return FPressedColor; }
  TColor HotFrameColor() const { return FHotFrameColor; }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value);
  TAlphaBitmap& CustomImage() { return *FCustomImage; }
  void Click() override;

protected:
  virtual bool ShiftWhenPressed() { return GetThemeMode() != 2; }
  virtual void DrawCaption(const RECT& rect, TColor color);
  virtual void DrawContent(const RECT& rect, TColor color) { DrawCaption(rect, color); }
  virtual void DrawButton(TColor textColor, RECT rect, bool withContent, bool hot, bool pressed, bool enabled,
                          const RECT* clipRect);
  int GetThemeState(bool enabled, bool pressed, bool hot) override;
  void CreateWnd() override;
  void Paint() override;
  RECT GetFocusRect();
  void DrawOfficeButton(TColor textColor);

  TVK_MESSAGES();
  void CMDialogChar(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMFocusChanged(TMessage& message);

  bool FCancel = false, FDefault = false;
  TModalResult FModalResult = mrNone;
  TXPButtonStyle FStyle = TXPButtonStyle::xpbsWindows;
  bool FActive = false;
  TColor FHotColor = 0xD2BDB6, FPressedColor = 0xB59285, FHotFrameColor = 0x6A240A,
         FFrameColor = kSystemColor | COLOR_WINDOWFRAME;
  std::unique_ptr<TAlphaBitmap> FCustomImage;
};

class TXPCustomBitBtn : public TWinXPCustomButton {
public:
  TVK_CLASS(TXPCustomBitBtn, TWinXPCustomButton)
  explicit TXPCustomBitBtn(TComponent* owner);
  ~TXPCustomBitBtn() override;

  TBitmap& Glyph() { return *FGlyph; }
  void SetGlyph(const TBitmap& value) { FGlyph->Assign(value); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value);
  // bkCustom once Default, Cancel, ModalResult or the glyph no longer match the kind.
  TBitBtnKind Kind();
  void SetKind(TBitBtnKind value);
  bool ShowShieldIcon() const { return FShowShieldIcon; }
  void SetShowShieldIcon(bool value);
  void SetPressed(bool value) override;
  void Click() override;
  // The glyph cell drawn now: 1 disabled, 2 pressed, 0 otherwise; 0 when the strip lacks it.
  int GetGlyphIndex();

protected:
  void DrawContent(const RECT& rect, TColor color) override;
  TVK_MESSAGES();
  void BCMSetShield(TMessage& message);

private:
  void GlyphChanged();
  std::unique_ptr<TBitmap> FGlyph;
  TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  int FNumGlyphs = 1;
  TBitBtnKind FKind = TBitBtnKind::bkCustom;
  bool FModifiedGlyph = false;
  bool FShowShieldIcon = false;
  bool FSettingKind = false;
};

class TXPBitBtn : public TXPCustomBitBtn {
public:
  TVK_CLASS(TXPBitBtn, TXPCustomBitBtn)
  using TXPCustomBitBtn::TXPCustomBitBtn;
};

class TXPCheckControl : public TWinXPCustomButtonControl {
public:
  TVK_CLASS(TXPCheckControl, TWinXPCustomButtonControl)
  explicit TXPCheckControl(TComponent* owner);
  ~TXPCheckControl() override;

  TLeftRight Alignment() const { return FAlignment; }
  void SetAlignment(TLeftRight value);
  bool DrawFocusRect() const { return FDrawFocusRect; }
  void SetDrawFocusRect(bool value) { FDrawFocusRect = value; }
  TPicture& CheckImage() { return *FCheckImage; }
  virtual bool GetChecked() = 0;
  virtual void SetChecked(bool value) = 0;
  bool Checked() { return GetChecked(); }
  POINT GetCheckSize();
  // The DrawFrameControl state of the mark.
  virtual UINT GetFrameControlState() = 0;

protected:
  virtual void DrawContent(TColor color, TColor textColor);
  virtual void Toggle() = 0;
  virtual int GetThemePart() = 0;
  // The first theme state of the kind (unchecked normal).
  virtual int GetFirstThemeState() = 0;
  virtual TAlphaImage& GetSkinImage() = 0;
  void DrawCheck();
  void CreateHandle() override;
  void Paint() override;
  TVK_MESSAGES();
  void CMFontChanged(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CNCommand(TMessage& message);

  TLeftRight FAlignment = TLeftRight::taRightJustify;
  bool FDrawFocusRect = true;
  TCheckBoxState FSavedState = TCheckBoxState::cbUnchecked;
  std::unique_ptr<TPicture> FCheckImage;
};

class TXPCheckBox : public TXPCheckControl {
public:
  TVK_CLASS(TXPCheckBox, TXPCheckControl)
  explicit TXPCheckBox(TComponent* owner) : TXPCheckControl(owner) {}
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  TCheckBoxState State() const { return FState; }
  // A change made outside a user action runs OnClick too.
  void SetState(TCheckBoxState value);
  bool GetChecked() override { return FState == TCheckBoxState::cbChecked; }
  void SetChecked(bool value) override {
    SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
  }
  UINT GetFrameControlState() override;
  bool GetModified() override { return FState != FSavedState; }
  void ClearModified() override { FSavedState = FState; }
  void Click() override;

protected:
  void Toggle() override;
  int GetThemeState(bool enabled, bool pressed, bool hot) override;
  int GetThemePart() override { return 3; }  // BP_CHECKBOX
  int GetFirstThemeState() override { return 1; }
  TAlphaImage& GetSkinImage() override;

private:
  bool FAllowGrayed = false;
  TCheckBoxState FState = TCheckBoxState::cbUnchecked;
  bool FInClick = false;
  bool FDisableToggle = false;
};

class TXPRadioButton : public TXPCheckControl {
public:
  TVK_CLASS(TXPRadioButton, TXPCheckControl)
  explicit TXPRadioButton(TComponent* owner);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  bool GetChecked() override { return FChecked; }
  void SetChecked(bool value) override;
  UINT GetFrameControlState() override;
  bool GetModified() override { return FChecked != (FSavedState == TCheckBoxState::cbChecked); }
  void ClearModified() override {
    FSavedState = FChecked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked;
  }
  void Loaded() override;
  // A radio button's click is its check on the press.
  void Click() override {}

protected:
  void Toggle() override { SetChecked(true); }
  void ClickAction() override;
  int GetThemeState(bool enabled, bool pressed, bool hot) override;
  int GetThemePart() override { return 2; }  // BP_RADIOBUTTON
  int GetFirstThemeState() override { return 1; }
  TAlphaImage& GetSkinImage() override;
  TVK_MESSAGES();
  void WMLButtonDown(TMessage& message);
  void CMEnter(TMessage& message);

private:
  void UncheckSiblings();
  bool FChecked = false;
  int FGroupIndex = 0;
};

// The kinds' glyphs (two cells: up and disabled) and the skins.
class TXPButtonResources {
public:
  TXPButtonResources() = delete;
  static TBitmap& BitBtnGlyph(TBitBtnKind kind);
  static TAlphaImage& PushButton();
  static TAlphaImage& CheckBox();
  static TAlphaImage& RadioButton();
  static TIcon& ShieldIcon();
  static bool Loaded();
};

bool WinXPButtonsStartup();
void WinXPButtonsShutdown();

}  // namespace tvk
