#include "XPLabels.h"

#include "ActnList.h"
#include "AlphaImage.h"
#include "Shell.h"
#include "Themes.h"
#include "XPBitmapUtils.h"
#include "XPGraphics.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

namespace tvk {

std::function<void(const WideString& address)> OnLabelNavigate;
std::function<void(const WideString& address)> OnLabelNavigateInNewWindow;

namespace {

bool IsVertical(TXPTextOrientation o) { return o != TXPTextOrientation::xtoDefault; }

TXPDrawCaptionFlags FlagsFor(bool enabled, bool sunkenDisabled, bool wordWrap, bool showAccelChar, bool smoothDraw,
                             TXPTextOrientation orientation) {
  TXPDrawCaptionFlags flags = 0;
  if (!enabled && sunkenDisabled) flags |= dcfSunkenDisabled;
  if (wordWrap) flags |= dcfMultiline;
  if (!showAccelChar) flags |= dcfNoPrefix;
  if (smoothDraw && enabled) flags |= dcfSmoothText | dcfCustomUnderline;
  if (orientation == TXPTextOrientation::xtoVertical) flags |= dcfVertical;
  if (orientation == TXPTextOrientation::xtoVerticalClockwise) flags |= dcfVertical | dcfVertClockwise;
  return flags;
}

// The caption's rectangle from Rect's corner, grown for a glyph in use.
RECT MeasureWithGlyph(TCanvas& canvas, const RECT& rect, const WideString& caption, TFont& font,
                      TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis, TGraphic* glyph, bool vertical) {
  POINT size{};
  MeasureXPCaption(canvas, rect, caption, font, flags, ellipsis, 100, size);
  if (!IsGraphicEmpty(glyph)) {
    if (!vertical) {
      size.y = std::max<LONG>(size.y, glyph->Height());
      size.x += glyph->Width() + 3;
    } else {
      size.x = std::max<LONG>(size.x, glyph->Width());
      size.y += glyph->Width() + 3;
    }
  }
  return RECT{rect.left, rect.top, rect.left + size.x, rect.top + size.y};
}

}  // namespace

void TXPHotTrack::Assign(const TPersistent& source) {
  if (auto* other = dynamic_cast<const TXPHotTrack*>(&source)) {
    TrackFontColor = other->TrackFontColor;
    HotFontColor = other->HotFontColor;
    TrackFontStyle = other->TrackFontStyle;
    HotFontStyle = other->HotFontStyle;
    TrackCursor = other->TrackCursor;
    HotCursor = other->HotCursor;
    return;
  }
  TPersistent::Assign(source);
}

// ---- TLabelHintWindow

void TLabelHintWindow::Paint() {
  RECT client = ClientRect();
  HDC dc = Canvas().Handle();
  bool themed = false;
  if (Win32MajorVersion() >= 6 && ThemeServices().ThemesEnabled())
    if (HTHEME theme = OpenThemeData(Handle(), L"TOOLTIP")) {
      DrawThemeBackground(theme, dc, TTP_STANDARD, TTSS_NORMAL, &client, nullptr);
      CloseThemeData(theme);
      themed = true;
    }
  if (!themed) {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(client);
  }
  if (!ALabel) return;
  RECT text{client.left + BorderWidth, client.top + BorderWidth, client.right, client.bottom};
  DrawXPCaption(Canvas(), text, ALabel->Caption(), ALabel->Font(), ALabel->Font().Color(), ALabel->Alignment(),
                ALabel->Layout(), ALabel->WordWrap() ? unsigned(dcfMultiline) : 0u, TEllipsisPosition::epNone, 100);
}

void TLabelHintWindow::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

TVK_MESSAGE_MAP(TLabelHintWindow, {WM_ERASEBKGND, &TLabelHintWindow::WMEraseBkgnd})

// ---- TXPCustomLabel

TXPCustomLabel::TXPCustomLabel(TComponent* owner)
    : TCustomLabel(owner),
      FGlyph(std::make_unique<TPicture>()),
      FGlyphDisabled(std::make_unique<TPicture>()),
      FHotTrack(std::make_unique<TXPHotTrack>()) {
  SetControlStyle(ControlStyle() | csDisplayDragImage);
  SetTransparent(true);
  RememberFont();
  FOrigCursor = Cursor();
}

TXPCustomLabel::~TXPCustomLabel() { FRevealHintWindow.reset(); }

void TXPCustomLabel::RememberFont() {
  FOrigFontColor = Font().Color();
  FOrigFontStyle = Font().Style();
  // A font set from outside is the label's own: ParentFont went off with it.
  FOrigParentFont = ParentFont();
}

TXPDrawCaptionFlags TXPCustomLabel::CaptionFlags() {
  return FlagsFor(Enabled(), FSunkenDisabled, WordWrap(), ShowAccelChar(), FSmoothDraw, FOrientation);
}

TGraphic* TXPCustomLabel::GlyphInUse() { return Enabled() ? FGlyph->Graphic() : FGlyphDisabled->Graphic(); }

void TXPCustomLabel::SetGlyph(const TPicture& value) {
  FGlyph->Assign(value);
  UpdateGlyphs();
  AdjustBounds();
  Invalidate();
}

void TXPCustomLabel::SetGlyphLayout(TXPGlyphLayout value) {
  if (value == FGlyphLayout) return;
  FGlyphLayout = value;
  AdjustBounds();
  Invalidate();
}

void TXPCustomLabel::SetHotTrack(const TXPHotTrack& value) {
  FHotTrack->Assign(value);
  Invalidate();
}

void TXPCustomLabel::SetOrientation(TXPTextOrientation value) {
  if (value == FOrientation) return;
  // Turning between horizontal and vertical swaps the sides.
  if (IsVertical(value) != IsVertical(FOrientation) && !Loading()) SetBounds(Left(), Top(), Height(), Width());
  FOrientation = value;
  AdjustBounds();
  Invalidate();
}

void TXPCustomLabel::SetSmoothDraw(bool value) {
  if (value == FSmoothDraw) return;
  FSmoothDraw = value;
  AdjustBounds();
  Invalidate();
}

void TXPCustomLabel::SetSunkenDisabled(bool value) {
  if (value == FSunkenDisabled) return;
  FSunkenDisabled = value;
  UpdateGlyphs();
  AdjustBounds();
  Invalidate();
}

void TXPCustomLabel::SetEllipsisPosition(TEllipsisPosition value) {
  if (value == FEllipsisPosition) return;
  FEllipsisPosition = value;
  Invalidate();
}

void TXPCustomLabel::Loaded() {
  TCustomLabel::Loaded();
  UpdateGlyphs();
}

void TXPCustomLabel::UpdateGlyphs() {
  TGraphic* glyph = FGlyph->Graphic();
  if (auto* bitmap = dynamic_cast<TBitmap*>(glyph); bitmap && !bitmap->Empty()) {
    bitmap->SetPixelFormat(TPixelFormat::pf32bit);
    bitmap->SetTransparent(true);
  }
  FGlyphDisabled->Assign(*FGlyph);
  TGraphic* disabled = FGlyphDisabled->Graphic();
  if (auto* bitmap = dynamic_cast<TBitmap*>(disabled); bitmap && !bitmap->Empty()) {
    bitmap->SetPixelFormat(TPixelFormat::pf32bit);
    if (FSunkenDisabled) GrayscaleBitmap(*bitmap);
    else DisabledGrayBitmap(*bitmap);
    bitmap->SetTransparent(true);
  } else if (auto* alpha = dynamic_cast<TAlphaBitmap*>(disabled)) {
    alpha->SetMonochrome(true);
  }
}

void TXPCustomLabel::Click() {
  TCustomLabel::Click();
  if (FLinkStyle != TXPLinkStyle::xlsCustom) NavigateLink();
}

void TXPCustomLabel::NavigateLink() {
  if (FLinkAddress.empty()) return;
  switch (FLinkStyle) {
    case TXPLinkStyle::xlsCustom:
      if (OnClick) OnClick(this);
      break;
    case TXPLinkStyle::xlsNavigate:
      if (OnLabelNavigate) OnLabelNavigate(FLinkAddress);
      break;
    case TXPLinkStyle::xlsNavigateInNewWindow:
      if (OnLabelNavigateInNewWindow) OnLabelNavigateInNewWindow(FLinkAddress);
      break;
    case TXPLinkStyle::xlsOpenExternally:
      ShellExecuteDocument(nullptr, nullptr, FLinkAddress.c_str(), nullptr, nullptr, SW_SHOW);
      break;
  }
}

SIZE TXPCustomLabel::CalculateAutoSize(const WideString& caption, int width, TFont& font, bool wordWrap,
                                       bool smoothDraw, TEllipsisPosition ellipsis, TXPTextOrientation orientation,
                                       bool showAccelChar, bool sunkenDisabled, TGraphic* glyph) {
  TScreenCanvas screen;
  RECT out = MeasureWithGlyph(screen.Canvas(), RECT{0, 0, width, 0}, caption, font,
                              FlagsFor(true, sunkenDisabled, wordWrap, showAccelChar, smoothDraw, orientation),
                              ellipsis, glyph, IsVertical(orientation));
  return SIZE{out.right - out.left, out.bottom - out.top};
}

void TXPCustomLabel::DoDrawText(RECT& rect, UINT flags) {
  TCanvas& canvas = Canvas();
  const bool vertical = IsVertical(FOrientation);
  if (flags & DT_CALCRECT) {
    rect = MeasureWithGlyph(canvas, rect, Caption(), Font(), CaptionFlags(), FEllipsisPosition, GlyphInUse(), vertical);
    return;
  }
  canvas.Font().Assign(Font());
  TColor color = !Enabled() && !FSunkenDisabled ? clBtnFace : Font().Color();
  RECT text = ClientRect();
  TGraphic* glyph = GlyphInUse();
  if (!IsGraphicEmpty(FGlyph->Graphic()) && glyph) {
    const int gw = glyph->Width(), gh = glyph->Height();
    POINT at{text.left, text.top};
    const bool left = FGlyphLayout == TXPGlyphLayout::xglLeft;
    switch (FOrientation) {
      case TXPTextOrientation::xtoDefault:
        if (left) text.left += gw + 3;
        else { at.x = text.right - gw; text.right -= gw + 3; }
        break;
      case TXPTextOrientation::xtoVertical:
        if (left) { at.y = text.bottom - gh; text.bottom -= gh + 3; }
        else text.top += gh + 3;
        break;
      case TXPTextOrientation::xtoVerticalClockwise:
        if (left) { at.x = text.right - gw; text.top += gh + 3; }
        else { at.x = text.right - gw; at.y = text.bottom - gh; text.bottom -= gh + 3; }
        break;
    }
    // Across the reading direction the glyph follows Layout.
    const int d = vertical ? (text.right - text.left) - gw : (text.bottom - text.top) - gh;
    const int shift = Layout() == TTextLayout::tlCenter ? d / 2 : Layout() == TTextLayout::tlBottom ? d : 0;
    if (!vertical) at.y += shift;
    else if (FOrientation == TXPTextOrientation::xtoVertical) at.x += shift;
    else at.x -= shift;
    canvas.Draw(at.x, at.y, *glyph);
  }
  DrawXPCaption(canvas, text, Caption(), Font(), color, Alignment(), Layout(), CaptionFlags(), FEllipsisPosition, 100);
}

void TXPCustomLabel::AdjustBounds() {
  if (!AutoSize() || (ComponentState() & csReading)) return;
  RECT rect = ClientRect();
  {
    TScreenCanvas screen(&Canvas());
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | WordWrapTextFlags(WordWrap()));
  }
  SetAutoSizeBounds(rect.right - rect.left, rect.bottom - rect.top);
}

void TXPCustomLabel::Resize() {
  TCustomLabel::Resize();
  AdjustBounds();
}

void TXPCustomLabel::ActionChange(TObject* sender, bool checkDefaults) {
  TCustomLabel::ActionChange(sender, checkDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(sender)) {
    TActionList* list = action->ActionList();
    TCustomImageList* images = list ? list->Images() : nullptr;
    if (images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) {
      TBitmap& bitmap = FGlyph->Bitmap();
      bitmap.SetSize(images->Width(), images->Height());
      bitmap.Canvas().Brush().SetColor(0xFF00FF);
      bitmap.Canvas().FillRect(RECT{0, 0, images->Width(), images->Height()});
      images->Draw(bitmap.Canvas(), 0, 0, action->ImageIndex());
      UpdateGlyphs();
    }
  }
  Invalidate();
}

void TXPCustomLabel::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  AdjustBounds();
}

void TXPCustomLabel::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  // Changes from outside become what hot tracking puts back.
  if (!FInternalHotTrack) RememberFont();
}

void TXPCustomLabel::CMParentFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!FInternalHotTrack) FOrigParentFont = ParentFont();
  AdjustBounds();
}

void TXPCustomLabel::CMCursorChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!FInternalHotTrack) FOrigCursor = Cursor();
}

void TXPCustomLabel::ShowRevealHint() {
  RECT client = ClientRect();
  POINT size{};
  {
    TScreenCanvas screen;
    MeasureXPCaption(screen.Canvas(), client, Caption(), Font(), WordWrap() ? unsigned(dcfMultiline) : 0u,
                     TEllipsisPosition::epNone, 100, size);
  }
  if (size.x <= Width()) return;
  FRevealHintWindow = std::make_unique<TLabelHintWindow>(nullptr);
  FRevealHintWindow->ALabel = this;
  FRevealHintWindow->BorderWidth = 2;
  POINT origin = ClientToScreen(POINT{0, 0});
  RECT r{origin.x - 1 - 2, origin.y - 1 - 2, origin.x - 1 + size.x + 2, origin.y - 1 + size.y + 2};
  FRevealHintWindow->ActivateHint(r, Caption());
}

void TXPCustomLabel::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  if (FRevealCaptionInHint) ShowRevealHint();
  if (!Enabled()) return;
  FInternalHotTrack = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInternalHotTrack};
  if (FHotTrack->TrackFontColor) Font().SetColor(FHotTrack->HotFontColor);
  if (FHotTrack->TrackFontStyle) Font().SetStyle(FHotTrack->HotFontStyle);
  if (FHotTrack->TrackCursor) SetCursor(FHotTrack->HotCursor);
}

void TXPCustomLabel::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  FRevealHintWindow.reset();
  FInternalHotTrack = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInternalHotTrack};
  if (FHotTrack->TrackFontColor) Font().SetColor(FOrigFontColor);
  if (FHotTrack->TrackFontStyle) Font().SetStyle(FOrigFontStyle);
  if (FHotTrack->TrackCursor) SetCursor(FOrigCursor);
  // Tracking set a font of its own: the label follows its parent's again when it did before.
  if (FHotTrack->TrackFontColor || FHotTrack->TrackFontStyle) SetParentFont(FOrigParentFont);
}

TVK_MESSAGE_MAP(TXPCustomLabel, {CM_ENABLEDCHANGED, &TXPCustomLabel::CMEnabledChanged},
                {CM_FONTCHANGED, &TXPCustomLabel::CMFontChanged}, {CM_CURSORCHANGED, &TXPCustomLabel::CMCursorChanged},
                {CM_PARENTFONTCHANGED, &TXPCustomLabel::CMParentFontChanged},
                {CM_MOUSEENTER, &TXPCustomLabel::CMMouseEnter}, {CM_MOUSELEAVE, &TXPCustomLabel::CMMouseLeave})

}  // namespace tvk
