#pragma once
// The styled label: a glyph beside the caption (greyed while disabled), hot
// tracking of colour, style and cursor, link behaviour on click, text turned
// by 90 degrees either way, smooth and sunken text, and a reveal hint that
// shows the whole caption when the label is too narrow for it.
#include "HintWindow.h"
#include "StdCtrls.h"
#include "XPTypes.h"

namespace tvk {

enum class TXPLinkStyle { xlsCustom, xlsNavigate, xlsNavigateInNewWindow, xlsOpenExternally };
enum class TXPGlyphLayout { xglLeft, xglRight };
enum class TXPTextOrientation { xtoDefault, xtoVertical, xtoVerticalClockwise };

class TXPHotTrack : public TPersistent {
public:
  TVK_CLASS(TXPHotTrack, TPersistent)
  bool TrackFontColor = false;
  TColor HotFontColor = kSystemColor | COLOR_HOTLIGHT;
  bool TrackFontStyle = false;
  TFontStyles HotFontStyle = fsUnderline;
  bool TrackCursor = false;
  TCursor HotCursor = crHandPoint;
  void Assign(const TPersistent& source) override;
};

class TXPCustomLabel;

// The reveal hint: the label's whole caption in a tooltip.
class TLabelHintWindow : public THintWindow {
public:
  TVK_CLASS(TLabelHintWindow, THintWindow)
  using THintWindow::THintWindow;
  TXPCustomLabel* ALabel = nullptr;
  int BorderWidth = 0;

protected:
  void Paint() override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
};

class TXPCustomLabel : public TCustomLabel {
public:
  TVK_CLASS(TXPCustomLabel, TCustomLabel)
  explicit TXPCustomLabel(TComponent* owner);
  ~TXPCustomLabel() override;

  TPicture& Glyph() { return *FGlyph; }
  void SetGlyph(const TPicture& value);
  // The glyph shown while disabled (made from Glyph).
  TPicture& GlyphDisabled() { return *FGlyphDisabled; }
  TXPGlyphLayout GlyphLayout() const { return FGlyphLayout; }
  void SetGlyphLayout(TXPGlyphLayout value);
  TXPHotTrack& HotTrack() { return *FHotTrack; }
  void SetHotTrack(const TXPHotTrack& value);
  const WideString& LinkAddress() const { return FLinkAddress; }
  void SetLinkAddress(const WideString& value) { FLinkAddress = value; }
  TXPLinkStyle LinkStyle() const { return FLinkStyle; }
  void SetLinkStyle(TXPLinkStyle value) { FLinkStyle = value; }
  TXPTextOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TXPTextOrientation value);
  bool SmoothDraw() const { return FSmoothDraw; }
  void SetSmoothDraw(bool value);
  bool SunkenDisabled() const { return FSunkenDisabled; }
  void SetSunkenDisabled(bool value);
  TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
  void SetEllipsisPosition(TEllipsisPosition value);
  bool RevealCaptionInHint() const { return FRevealCaptionInHint; }
  void SetRevealCaptionInHint(bool value) { FRevealCaptionInHint = value; }
  const WideString& UnicodeText() const { return Caption(); }
  void SetUnicodeText(const WideString& value) { SetCaption(value); }
  // The reveal hint while it shows, else null.
  TLabelHintWindow* RevealHintWindow() const { return FRevealHintWindow.get(); }
  // The caption flags the label draws and measures with now.
  TXPDrawCaptionFlags CaptionFlags();

  // The size a label with these settings needs for Caption within Width.
  static SIZE CalculateAutoSize(const WideString& caption, int width, TFont& font, bool wordWrap, bool smoothDraw,
                                TEllipsisPosition ellipsis, TXPTextOrientation orientation, bool showAccelChar,
                                bool sunkenDisabled, TGraphic* glyph);

  void Loaded() override;

protected:
  virtual void NavigateLink();
  void Click() override;
  void DoDrawText(RECT& rect, UINT flags) override;
  void AdjustBounds() override;
  void Resize() override;
  void ActionChange(TObject* sender, bool checkDefaults) override;
  void UpdateGlyphs();
  TVK_MESSAGES();
  void CMEnabledChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMCursorChanged(TMessage& message);
  void CMParentFontChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);

private:
  TGraphic* GlyphInUse();
  void ShowRevealHint();
  void RememberFont();

  std::unique_ptr<TPicture> FGlyph, FGlyphDisabled;
  TXPGlyphLayout FGlyphLayout = TXPGlyphLayout::xglLeft;
  std::unique_ptr<TXPHotTrack> FHotTrack;
  WideString FLinkAddress;
  TXPLinkStyle FLinkStyle = TXPLinkStyle::xlsCustom;
  TXPTextOrientation FOrientation = TXPTextOrientation::xtoDefault;
  bool FSmoothDraw = false, FSunkenDisabled = true;
  bool FInternalHotTrack = false;
  TColor FOrigFontColor = clWindowText;
  TFontStyles FOrigFontStyle = 0;
  bool FOrigParentFont = true;
  TCursor FOrigCursor = crDefault;
  std::unique_ptr<TLabelHintWindow> FRevealHintWindow;
  bool FRevealCaptionInHint = false;
  TEllipsisPosition FEllipsisPosition = TEllipsisPosition::epNone;
};

class TXPLabel : public TXPCustomLabel {
public:
  TVK_CLASS(TXPLabel, TXPCustomLabel)
  using TXPCustomLabel::TXPCustomLabel;
};

// What the embedding application does with a label's link; nothing unless set.
extern std::function<void(const WideString& address)> OnLabelNavigate;
extern std::function<void(const WideString& address)> OnLabelNavigateInNewWindow;

}  // namespace tvk
