#pragma once
// Speed buttons: windowless push buttons with a glyph and a caption, flat
// (a frame only under the mouse or while pressed) or raised.
#include "Controls.h"

namespace tvk {

class TSpeedButton : public TGraphicControl {
public:
  TVK_CLASS(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* owner);

  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  // Pixels between the left edge and the glyph; -1 centres glyph and caption.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  // The glyph (its lower-left pixel's colour is transparent).
  TBitmap& Glyph() { return FGlyph; }
  void SetGlyph(const TBitmap& glyph);
  bool Down() const { return FDown; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);

private:
  bool FFlat = false;
  int FMargin = -1;
  bool FDown = false;
  bool FMouseInControl = false;
  TBitmap FGlyph;
};

}  // namespace tvk
