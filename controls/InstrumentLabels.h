#pragma once
// The lettering of an instrument front plate: labels drawn with the smooth
// text renderer (baked into the plate's picture when they sit on a plate,
// in the display's text colour inside a display window) and section
// headings on a dark bar with two end pieces.
#include "InstrumentTypes.h"
#include "StdCtrls.h"
#include "XPTypes.h"

namespace tvk {

class TCustomInstrumentLabel : public TCustomLabel, public IInstrumentPrePaint, public IInstrumentDisplayClient {
public:
  TVK_CLASS(TCustomInstrumentLabel, TCustomLabel)
  explicit TCustomInstrumentLabel(TComponent* owner);
  TVK_UNCOUNTED_IUNKNOWN()
  bool GetInterface(const GUID& iid, void** obj) override;

  TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
  void SetEllipsisPosition(TEllipsisPosition value);

  void Loaded() override;
  void SetParent(TWinControl* parent) override;
  void PaintToBackground(TCustomInstrumentBackgroundPanel* plate) override;
  void DisplayStyleChanged(TDisplayStyle style) override;
  // Draws the text into Rect of Canvas.
  virtual void PaintLabel(TCanvas& canvas, const RECT& rect);

protected:
  void Paint() override;
  void AdjustBounds() override;
  TXPDrawCaptionFlags TextFlags(bool multiline);
  TVK_MESSAGES();
  void CMEnabledChanged(TMessage& message);
  void CMTextChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);

private:
  TEllipsisPosition FEllipsisPosition = TEllipsisPosition::epNone;
};

class TInstrumentLabel : public TCustomInstrumentLabel {
public:
  TVK_CLASS(TInstrumentLabel, TCustomInstrumentLabel)
  using TCustomInstrumentLabel::TCustomInstrumentLabel;
};

class TCustomInstrumentCaption : public TCustomInstrumentLabel {
public:
  TVK_CLASS(TCustomInstrumentCaption, TCustomInstrumentLabel)
  explicit TCustomInstrumentCaption(TComponent* owner);
  void PaintLabel(TCanvas& canvas, const RECT& rect) override;
  // The colour the heading's text is drawn in.
  TColor HeadingTextColor();

protected:
  void Paint() override;
};

class TInstrumentCaption : public TCustomInstrumentCaption {
public:
  TVK_CLASS(TInstrumentCaption, TCustomInstrumentCaption)
  using TCustomInstrumentCaption::TCustomInstrumentCaption;
};

void InstrumentLabelsShutdown();

}  // namespace tvk
