#pragma once
// The styled group box: a frame with a caption in the classic etched look,
// the emulated XP look (chamfered corners, blue caption) or the system's
// themed group box, over its parent's background.
#include "XPControls.h"

namespace tvk {

// xgbIgnoreThemeFont: in the themed look the caption is drawn in the
// control's own font colour instead of the theme's text drawing.
enum TXPGroupBoxOption : unsigned { xgbIgnoreThemeFont = 1 };
using TXPGroupBoxOptions = unsigned;

class TXPCustomGroupBox : public TXPCustomControl {
public:
  TVK_CLASS(TXPCustomGroupBox, TXPCustomControl)
  explicit TXPCustomGroupBox(TComponent* owner);

  TXPGroupBoxOptions Options() const { return FOptions; }
  void SetOptions(TXPGroupBoxOptions value);
  // The caption's rectangle (widened by the 4-pixel gap) that the frame leaves out.
  RECT CaptionGap();
  void AdjustClientRect(RECT& rect) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  // Paints on Dc in the look mode now (Paint and the erase of a buffered box use it).
  void PaintOn(TCanvas& canvas);
  TVK_MESSAGES();
  void WMNCCalcSize(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMTextChanged(TMessage& message);

private:
  TXPGroupBoxOptions FOptions = 0;
};

class TXPGroupBox : public TXPCustomGroupBox {
public:
  TVK_CLASS(TXPGroupBox, TXPCustomGroupBox)
  using TXPCustomGroupBox::TXPCustomGroupBox;
};

}  // namespace tvk
