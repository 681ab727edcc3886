#pragma once
// Labels: a graphic control that shows a caption, sized to it on request,
// wrapped, aligned and placed vertically, with an accelerator that focuses
// another control.
#include "Controls.h"
#include "Panels.h"

namespace tvk {

// Which scroll bars a memo shows.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomLabel : public TGraphicControl {
public:
  TVK_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // The control the accelerator focuses (not owned).
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);

  void Loaded() override;

protected:
  // The text drawn: the caption.
  virtual WideString GetLabelText();
  // Draws (or with DT_CALCRECT measures into Rect) the text on the canvas.
  virtual void DoDrawText(RECT& rect, UINT flags);
  // Sizes the label to its text when AutoSize is set.
  virtual void AdjustBounds();
  // Takes a measured text size as auto size: an edge held by Align keeps its
  // extent, and a right-justified label keeps its right edge.
  void SetAutoSizeBounds(int width, int height);
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  TVK_MESSAGES();
  void CMTextChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMDialogChar(TMessage& message);

  bool FAutoSize = true;

private:
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TTextLayout FLayout = TTextLayout::tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
  TVK_CLASS(TLabel, TCustomLabel)
  using TCustomLabel::TCustomLabel;
};

// The DrawText flags of an alignment and of word wrapping.
UINT AlignmentTextFlags(TAlignment alignment);
inline UINT WordWrapTextFlags(bool wordWrap) { return wordWrap ? DT_WORDBREAK : 0; }

// A scroll bar's step (the kinds, codes and scroll event are the controls').
using TScrollBarInc = int;  // 1..32767

}  // namespace tvk
