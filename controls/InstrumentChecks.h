#pragma once
// The LED of an instrument front plate: a lamp or key-cap glyph with an
// optional caption, a switch when clicked, a status lamp when set from code.
#include "AlphaImage.h"
#include "InstrumentTypes.h"
#include "Panels.h"

namespace tvk {

class TCustomInstrumentCheckBox : public TGraphicControl, public IInstrumentPrePaint, public IInstrumentStyleClient {
public:
  TVK_CLASS(TCustomInstrumentCheckBox, TGraphicControl)
  explicit TCustomInstrumentCheckBox(TComponent* owner);
  TVK_UNCOUNTED_IUNKNOWN()
  bool GetInterface(const GUID& iid, void** obj) override;

  // taRightJustify: glyph at the left, caption to its right.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool Checked() const { return FChecked; }
  // Fires OnClick also for changes from code; a call while one runs is ignored.
  void SetChecked(bool value);
  TInstrumentCheckStyle GlyphStyle() const { return FGlyphStyle; }
  void SetGlyphStyle(TInstrumentCheckStyle value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

  void PaintToBackground(TCustomInstrumentBackgroundPanel* plate) override;
  void PanelStyleChanged(TInstrumentPanelStyle style) override;
  // Draws the box into R of Canvas for a plate of Style.
  void DrawBox(TCanvas& canvas, const RECT& r, TInstrumentPanelStyle style);

protected:
  virtual void CheckStateChanged() {}
  void Click() override;
  void Paint() override;
  TVK_MESSAGES();
  void CMTextChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);

private:
  TAlignment FAlignment = TAlignment::taRightJustify;
  bool FChecked = false;
  TInstrumentCheckStyle FGlyphStyle = TInstrumentCheckStyle::icsRed;
  bool FReadOnly = false;
  bool FInChanging = false;
};

class TInstrumentCheckBox : public TCustomInstrumentCheckBox {
public:
  TVK_CLASS(TInstrumentCheckBox, TCustomInstrumentCheckBox)
  using TCustomInstrumentCheckBox::TCustomInstrumentCheckBox;
};

// The glyph of a style on a plate of PanelStyle (two halves: off, on).
TAlphaBitmap& InstrumentCheckGlyph(TInstrumentCheckStyle style, TInstrumentPanelStyle panelStyle);
// How often the glyphs were loaded (once per process until shut-down).
int InstrumentCheckGlyphLoadCount();
void InstrumentChecksShutdown();

}  // namespace tvk
