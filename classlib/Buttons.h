#pragma once
// Speed buttons: windowless push buttons with a glyph and a caption, flat
// (a frame only under the mouse or while pressed) or raised. Pressed while
// the left button is held on them, clicked when released over them.
#include "Controls.h"
#include "Graphics.h"

namespace tvk {

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
public:
  TVK_CLASS(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* owner);

  TButtonState State() const { return FState; }
  void SetState(TButtonState value);
  bool Down() const { return FState == TButtonState::bsDown; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  // Pixels between the left edge and the glyph; -1 centres glyph and caption.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  // The glyph (its lower-left pixel's colour is transparent).
  TBitmap& Glyph() { return FGlyph; }
  void SetGlyph(const TBitmap& glyph);
  void Click() override { TGraphicControl::Click(); }

protected:
  // A raised or flat face with the glyph and caption; descendants that draw
  // their own face replace it.
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void CMEnabledChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);

  TButtonState FState = TButtonState::bsUp;

private:
  bool FFlat = false;
  int FMargin = -1;
  bool FMouseInControl = false;
  TBitmap FGlyph;
};

}  // namespace tvk
