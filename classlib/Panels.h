#pragma once
// Panels: a windowed control with bevels, a border and a centred caption,
// the container most windows are laid out in.
#include "Controls.h"

namespace tvk {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
  TVK_CLASS(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut bevel);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  // Whether the parent's pixels show through instead of the panel's colour.
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool value);

protected:
  void Paint() override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void CMTextChanged(TMessage& message);

private:
  TBevelCut FBevelOuter = TBevelCut::bvRaised;
  TBevelCut FBevelInner = TBevelCut::bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TAlignment FAlignment = TAlignment::taCenter;
  bool FParentBackground = false;
};

class TPanel : public TCustomPanel {
public:
  TVK_CLASS(TPanel, TCustomPanel)
  using TCustomPanel::TCustomPanel;
};

// Draws Width rings inside Rect: top and left in TopColor, bottom and right in
// BottomColor; Rect shrinks by the rings.
void Frame3D(TCanvas& canvas, RECT& rect, TColor topColor, TColor bottomColor, int width);

}  // namespace tvk
