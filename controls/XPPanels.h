#pragma once
// The extended panel: a container that paints its background in one of
// seven kinds (look-dependent plain background, picture, gradient, plain or
// tinted, two rippled shadings, gradient with picture), with a straight or
// anti-aliased rounded border and an optional see-through mode.
#include "Panels.h"
#include "XPControls.h"

namespace tvk {

enum class TXPExtPanelKind { epkBackground, epkBitmap, epkGradient, epkSimple, epkWavy, epkGradientWithBitmap, epkVerticalWavy };
enum class TGradientPanelStyle { gsLeftToRight, gsTopToBottom, gsTopShadow };
enum class TXPGraphicStretching { xgsNone, xgsStandard, xgsProportional, xgsHorizontal, xgsVertical };
enum class TXPAnimationKind { xakNone, xakFocusRects, xakFading, xakSliding };

class TXPCustomExtPanel : public TXPCustomControl {
public:
  TVK_CLASS(TXPCustomExtPanel, TXPCustomControl)
  explicit TXPCustomExtPanel(TComponent* owner);
  ~TXPCustomExtPanel() override;

  TXPExtPanelKind Kind() const { return FKind; }
  void SetKind(TXPExtPanelKind value);
  TColor BeginColor() const { return FBeginColor; }
  void SetBeginColor(TColor value);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor value);
  TGradientPanelStyle GradientStyle() const { return FGradientStyle; }
  void SetGradientStyle(TGradientPanelStyle value);
  // The picture (owned); assigning copies it and always repaints.
  TBitmap& Bitmap() { return *FBitmap; }
  void SetBitmap(const TBitmap& value);
  bool BitmapTransparent() const { return FBitmapTransparent; }
  void SetBitmapTransparent(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  TXPGraphicStretching Stretching() const { return FStretching; }
  void SetStretching(TXPGraphicStretching value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  std::uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(std::uint8_t value);
  bool ShowBorder() const { return FShowBorder; }
  void SetShowBorder(bool value);
  bool ShowTop() const { return FShowTop; }
  void SetShowTop(bool value);
  bool ShowBottom() const { return FShowBottom; }
  void SetShowBottom(bool value);
  bool ShowLeft() const { return FShowLeft; }
  void SetShowLeft(bool value);
  bool ShowRight() const { return FShowRight; }
  void SetShowRight(bool value);
  bool RoundCorners() const { return FRoundCorners; }
  void SetRoundCorners(bool value);
  int Radius() const { return FRadius; }
  void SetRadius(int value);
  bool UseDefaultColor() const { return FUseDefaultColor; }
  void SetUseDefaultColor(bool value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);
  HRGN Region() const { return FRegion; }

  // Nothing: kept for callers that bracket many changes.
  void BeginUpdate() {}
  void EndUpdate() {}
  // The client area less BorderWidth (and 3 more for the plain background).
  void AdjustClientRect(RECT& rect) override;
  void Loaded() override;
  void DefineProperties(TFiler& filer) override;

protected:
  virtual bool SkipBitmap() { return false; }
  virtual bool UseRegion() { return false; }
  virtual HRGN CreateRegion();
  void Paint() override;
  // Whether the parent shows through now.
  bool SeeThrough();
  void UpdateRegion();
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void WMDestroy(TMessage& message);
  void WMSize(TMessage& message);
  void CMColorChanged(TMessage& message);

  bool FDesignTransparent = false;

private:
  void PaintKind(HDC dc);
  void PaintBackgroundStep(HDC dc, bool designHatch);
  void PaintGradient(HDC dc);
  void PaintWavy(HDC dc, bool vertical);
  void PaintPicture(HDC dc, bool withBackground);
  void PaintBorder(HDC dc);
  void PaintRoundBorder(HDC dc, const RECT& r);
  void ApplyRegion();
  void RemoveRegion();
  void InvalidateIfKind(std::initializer_list<TXPExtPanelKind> kinds);

  TXPExtPanelKind FKind = TXPExtPanelKind::epkBackground;
  TColor FBeginColor = cl3DDkShadow, FEndColor = clBtnFace;
  TGradientPanelStyle FGradientStyle = TGradientPanelStyle::gsTopShadow;
  std::unique_ptr<TBitmap> FBitmap;
  bool FBitmapTransparent = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TTextLayout FLayout = TTextLayout::tlTop;
  TXPGraphicStretching FStretching = TXPGraphicStretching::xgsNone;
  TColor FBorderColor = cl3DDkShadow;
  bool FTransparent = true;
  std::uint8_t FAlphaBlendValue = 0;
  bool FShowBorder = false, FShowTop = true, FShowBottom = true, FShowLeft = true, FShowRight = true;
  bool FRoundCorners = false;
  int FRadius = 0;
  bool FUseDefaultColor = true;
  HRGN FRegion = nullptr;
  int FBorderWidth = 0;
  bool FApplyingDefaultColor = false;  // the face colour set by the panel itself
};

class TXPExtPanel : public TXPCustomExtPanel {
public:
  TVK_CLASS(TXPExtPanel, TXPCustomExtPanel)
  using TXPCustomExtPanel::TXPCustomExtPanel;
};

}  // namespace tvk
