#pragma once
// Extended controls: the styled up-down control (two arrow buttons that
// repeat while held) and the windowed speed buttons (states, groups of
// mutually exclusive buttons, a drop-down part with a pop-up menu, fading,
// skins, themes and the classic faces, action links).
#include "ActnList.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "AlphaImage.h"
#include "Menus.h"
#include "Timers.h"
#include "XPControls.h"
#include "XPFading.h"
#include "XPTypes.h"

#include <memory>

namespace tvk {

// ---- Up-down control

enum class TUpDownKind { udkHorizontal, udkVertical };

class TXPUpDown : public TXPCustomControl {
public:
  TVK_CLASS(TXPUpDown, TXPCustomControl)
  explicit TXPUpDown(TComponent* owner);
  ~TXPUpDown() override;

  bool UpEnabled() const { return FUpEnabled; }
  void SetUpEnabled(bool value);
  bool DownEnabled() const { return FDownEnabled; }
  void SetDownEnabled(bool value);
  TUpDownKind Kind() const { return FKind; }
  // Also resets the size (32 x 16 or 16 x 32).
  void SetKind(TUpDownKind value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  // The control served (never read by the up-down itself).
  TWinControl* Control() const { return FControl; }
  void SetControl(TWinControl* control) { FControl = control; }

  bool UpPressed() const { return FUpPressed; }
  bool DownPressed() const { return FDownPressed; }
  bool UpHot() const { return FUpHot; }
  bool DownHot() const { return FDownHot; }
  // The repeat timer (null before the first press).
  TTimer* RepeatTimer() const { return FTimer.get(); }
  // The up half (top or left) and the down half (the larger with an odd size).
  RECT UpRect();
  RECT DownRect();

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

protected:
  virtual void DoUpClick();
  virtual void DoDownClick();
  virtual void DrawSpinButton(const RECT& rect, bool pressed, bool isUp, bool hot);
  void Paint() override;
  void Click() override;
  TVK_MESSAGES();
  void WMLButtonDown(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMEnabledChanged(TMessage& message);

private:
  void UpdateSize();
  void UpClick();
  void DownClick();
  void TimerTick();
  void UpdateButtonStates(POINT p);
  bool InUpHalf(POINT p);
  void DrawFlatArrow(const RECT& rect, TColor color, bool isUp);

  bool FUpPressed = false, FUpHot = false, FDownPressed = false, FDownHot = false;
  bool FMouseInside = false, FMouseDown = false, FIsUpTimer = false;
  bool FUpEnabled = true, FDownEnabled = true;
  TUpDownKind FKind = TUpDownKind::udkHorizontal;
  // Owned by the up-down alone, so it is freed exactly once.
  std::unique_ptr<TTimer> FTimer;
  bool FFlat = false;
  TWinControl* FControl = nullptr;
};

// ---- Speed buttons

enum class TXPSpeedStyle { xssButton, xssDropDown };
enum class TXPSpeedKind { xskStandard, xskFading };
// WParam of the enter and leave messages a button sends itself to settle
// its hot state: these start no fade.
constexpr WPARAM kSyntheticMouseMessage = 224;
// The width of the drop-down part.
constexpr int kDropDownWidth = 13;

class TXPBaseCustomSpeedButton : public TXPCustomTransparentControl {
public:
  TVK_CLASS(TXPBaseCustomSpeedButton, TXPCustomTransparentControl)
  explicit TXPBaseCustomSpeedButton(TComponent* owner);
  ~TXPBaseCustomSpeedButton() override;

  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  bool Down() const { return FDown; }
  void SetDown(bool value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  TXPSpeedStyle Style() const { return FStyle; }
  void SetStyle(TXPSpeedStyle value);
  TXPSpeedKind Kind() const { return FKind; }
  void SetKind(TXPSpeedKind value);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* menu);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  TXPFadeStrength FadeStrength() const { return FFadeStrength; }
  void SetFadeStrength(TXPFadeStrength value) { FFadeStrength = value; }

  TButtonState State() const { return FState; }
  bool Hot() const { return FHot; }
  bool DropdownDown() const { return FDropdownDown; }
  TXPFadeMode FadeMode() const { return FFadeMode; }
  int FadeStep() const { return FFadeStep; }
  // The fade timer while a fade runs, else null.
  TTimer* FadeTimer() const { return FFadeTimer && FFadeTimer->Enabled() ? FFadeTimer.get() : nullptr; }

  void Loaded() override;
  // The skin cell and theme offset of the current state.
  int GetDrawState();
  int GetDropDrawState();

protected:
  virtual bool ShiftWhenDown() { return true; }
  virtual void ClickAction() { TXPCustomTransparentControl::Click(); }
  virtual void DrawStandardFace(const RECT& rect, const RECT& dropRect, bool pressed);
  virtual void DrawFadingFace(const RECT& dropRect, bool pressed);
  virtual void DrawGlyphWithVeil(TCanvas& canvas, const RECT& rect);
  virtual void DrawCaption(const RECT& rect, const WideString& text, TColor color);
  virtual void DrawContent(const RECT& rect, TColor color, bool fade);
  virtual void CalcLayout(const RECT& rect, RECT& textRect, POINT& glyphPos);
  virtual bool HasDropDownPart() { return FStyle == TXPSpeedStyle::xssDropDown; }
  virtual bool CanStayDown() { return true; }
  virtual TXPDrawCaptionFlags GetTextFlags();
  virtual TEllipsisPosition GetTextEllipsis() { return TEllipsisPosition::epNone; }
  virtual bool UseFadeEffects() { return true; }
  virtual void UpdateExclusive();
  virtual void RedrawButton(int reason);
  virtual void GlyphLoaded() {}
  void Click() override {}
  virtual void DrawGlyphAt(const RECT& rect);
  virtual void DrawGlyph(TCanvas& canvas, const RECT& rect, bool enabled) = 0;
  virtual bool GetGlyphSize(POINT& size) = 0;

  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void StartFade(TXPFadeMode mode);
  void StopFade();
  void UpdateHotState();
  void SetDropdownDown(bool value);
  void DrawDropArrow(const RECT& rect, TColor color, int offset, bool pressed);

  TVK_MESSAGES();
  void WMLButtonDblClk(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMButtonPressed(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMTextChanged(TMessage& message);
  void CMSysColorChange(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMSize(TMessage& message);
  void WMWindowPosChanged(TMessage& message);

  TButtonState FState = TButtonState::bsUp;
  bool FDown = false;
  bool FDragging = false;

private:
  void ApplyDown(bool value);
  void FadeTick();
  void DrawClassicFace(RECT rect, const RECT& dropRect, bool pressed);

  int FMargin = -1, FSpacing = 4, FGroupIndex = 0;
  TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
  TXPSpeedStyle FStyle = TXPSpeedStyle::xssButton;
  TPopupMenu* FDropdownMenu = nullptr;
  TXPSpeedKind FKind = TXPSpeedKind::xskStandard;
  bool FAllowAllUp = false, FFlat = false, FHot = false, FDropdownDown = false;
  TXPFadeMode FFadeMode = TXPFadeMode::xfmNone;
  int FFadeStep = 0;
  std::unique_ptr<TTimer> FFadeTimer;
  TXPFadeStrength FFadeStrength = 3;
};

class TXPCustomSpeedButton;

class TXPSpeedButtonActionLink : public TControlActionLink {
public:
  TVK_CLASS(TXPSpeedButtonActionLink, TControlActionLink)
  explicit TXPSpeedButtonActionLink(TXPCustomSpeedButton* client);
  bool IsCheckedLinked() override;
  bool IsGroupIndexLinked() override;
  void SetChecked(bool value) override;
  void SetGroupIndex(int value) override;

private:
  TXPCustomSpeedButton* FClient;
};

class TXPCustomSpeedButton : public TXPBaseCustomSpeedButton {
public:
  TVK_CLASS(TXPCustomSpeedButton, TXPBaseCustomSpeedButton)
  explicit TXPCustomSpeedButton(TComponent* owner);
  ~TXPCustomSpeedButton() override;
  // The glyph strip (owned): NumGlyphs cells side by side.
  TAlphaBitmap& Glyph() { return *FGlyph; }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value);
  // The white silhouette of the glyph (fading buttons only).
  TBitmap* VeilBitmap() const { return FVeilBitmap.get(); }

protected:
  virtual void GlyphChanged();
  virtual int GetGlyphIndex();
  void DrawGlyphWithVeil(TCanvas& canvas, const RECT& rect) override;
  void GlyphLoaded() override;
  void DrawGlyph(TCanvas& canvas, const RECT& rect, bool enabled) override;
  bool GetGlyphSize(POINT& size) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  void ActionChange(TObject* sender, bool checkDefaults) override;

private:
  std::unique_ptr<TAlphaBitmap> FGlyph;
  std::unique_ptr<TBitmap> FVeilBitmap;
  int FNumGlyphs = 1;
};

// ---- Splitter and image button

// The class library's splitter, transparent by default, with a face in the
// look's button colour and an optional row of grip dots.
class TXPSplitter : public TSplitter {
public:
  TVK_CLASS(TXPSplitter, TSplitter)
  explicit TXPSplitter(TComponent* owner);
  bool DrawNotch() const { return FDrawNotch; }
  void SetDrawNotch(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool UseDefaultColor() const { return FUseDefaultColor; }
  void SetUseDefaultColor(bool value);
  // A drag runs: from the first resize check until it stops.
  bool IsResizing() const { return FIsResizing; }

protected:
  void Paint() override;
  bool DoCanResize(int& newSize) override;
  void StopSizing() override;

private:
  bool FDrawNotch = false, FTransparent = true, FUseDefaultColor = true, FIsResizing = false;
};

// A borderless image button: a strip of its normal and hot faces (and, when
// it can be inverted, two more) from a BITMAP resource of the module.
class TXPTransButton : public TGraphicControl {
public:
  TVK_CLASS(TXPTransButton, TGraphicControl)
  TXPTransButton(TComponent* owner, const WideString& resName, bool inversible);
  // Loads the strip and takes the size of one face.
  void UpdateGlyph(const WideString& resName);
  TBitmap& Glyph() { return *FGlyph; }
  bool Inversible() const { return FInversible; }
  bool Hot() const { return FHot; }
  bool Inverted() const { return FInverted; }
  // A change from code fires OnClick once; nothing on a button that cannot invert.
  void SetInverted(bool value);
  // The face shown now: 2 x Inverted + Hot.
  int FaceIndex() const { return 2 * int(FInverted) + int(FHot); }

protected:
  void Paint() override;
  void Click() override;
  TVK_MESSAGES();
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);

private:
  int FaceWidth() const { return FGlyph->Width() / (FInversible ? 4 : 2); }
  std::unique_ptr<TBitmap> FGlyph;
  bool FInversible = false, FHot = false, FInverted = false, FInSetInverted = false, FInClick = false;
};

// The unit's skins (loaded together on first use).
class TXPExtResources {
public:
  static TAlphaImage& SpinBtnUp();
  static TAlphaImage& SpinBtnDown();
  static TAlphaImage& SpinBtnLeft();
  static TAlphaImage& SpinBtnRight();
  static TAlphaImage& SpinGlyphUp();
  static TAlphaImage& SpinGlyphDown();
  static TAlphaImage& SpinGlyphLeft();
  static TAlphaImage& SpinGlyphRight();
  static TBitmap& StdArrows();
  static TAlphaImage& SpeedButton();
  static TAlphaImage& SpeedSplit();
  static TAlphaImage& SpeedDropDown();
  static int LoadCount();
};

void XPExtCtrlsShutdown();

}  // namespace tvk
