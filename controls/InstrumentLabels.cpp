#include "InstrumentLabels.h"

#include "InstrumentPanels.h"
#include "XPBitmapUtils.h"
#include "XPColors.h"
#include "XPControls.h"
#include "XPGraphics.h"

namespace tvk {

namespace {

constexpr TSkinRow kLabelSkins[] = {{L"INSTRUMENT_HEADER1", TSkinKind::skBitmap},
                               {L"INSTRUMENT_HEADER2", TSkinKind::skBitmap}};
TSkinCache gLabelSkins(kLabelSkins);

// The heading's end pieces, white as their transparent colour.
TBitmap& Header(std::size_t index) {
  TBitmap& b = gLabelSkins.Bitmap(index);
  b.SetTransparent(true);
  return b;
}

}  // namespace

void InstrumentLabelsShutdown() { gLabelSkins.Release(); }

TCustomInstrumentLabel::TCustomInstrumentLabel(TComponent* owner) : TCustomLabel(owner) {
  Font().SetName(L"Arial Black");
  Font().SetSize(7);
  Font().SetStyle(0);
  Font().SetColor(clWhite);
  SetTransparent(true);
}

bool TCustomInstrumentLabel::GetInterface(const GUID& iid, void** obj) {
  return AnswerInterfaces<IInstrumentPrePaint, IInstrumentDisplayClient>(this, iid, obj) ||
         TCustomLabel::GetInterface(iid, obj);
}

void TCustomInstrumentLabel::SetEllipsisPosition(TEllipsisPosition value) {
  if (value == FEllipsisPosition) return;
  FEllipsisPosition = value;
  Invalidate();
}

TXPDrawCaptionFlags TCustomInstrumentLabel::TextFlags(bool multiline) {
  TXPDrawCaptionFlags flags = dcfSmoothText | (multiline ? unsigned(dcfMultiline) : 0u);
  if (!Enabled()) flags |= dcfSunkenDisabled;
  if (!ShowAccelChar()) flags |= dcfNoPrefix;
  return flags;
}

void TCustomInstrumentLabel::PaintLabel(TCanvas& canvas, const RECT& rect) {
  DrawXPCaption(canvas, rect, GetLabelText(), Font(), clDefault, Alignment(), Layout(), TextFlags(true),
                FEllipsisPosition, 100);
}

void TCustomInstrumentLabel::Paint() {
  // On a plate the label lives in the plate's picture.
  if (FindInstrumentBackgroundPanel(this, false) && !(ComponentState() & csDesigning)) return;
  if (!Transparent()) {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
  }
  PaintLabel(Canvas(), ClientRect());
}

void TCustomInstrumentLabel::PaintToBackground(TCustomInstrumentBackgroundPanel* plate) {
  POINT p = ClientToParent(POINT{0, 0}, plate);
  RECT r{p.x, p.y, p.x + Width(), p.y + Height()};
  PaintLabel(plate->Bitmap().Canvas(), r);
  SmoothBitmapRect(plate->Bitmap(), r.left - 1, r.top - 1, r.right + 1, r.bottom + 1, 10);
}

void TCustomInstrumentLabel::DisplayStyleChanged(TDisplayStyle style) { Font().SetColor(InstrumentLabelColor(style)); }

void TCustomInstrumentLabel::SetParent(TWinControl* parent) {
  TCustomLabel::SetParent(parent);
  if (auto* panel = FindInstrumentPanel(this)) DisplayStyleChanged(panel->DisplayStyle());
}

void TCustomInstrumentLabel::AdjustBounds() {
  if ((ComponentState() & (csLoading | csReading)) || !AutoSize()) return;
  TScreenCanvas screen;
  POINT size{};
  MeasureXPCaption(screen.Canvas(), ClientRect(), GetLabelText(), Font(), TextFlags(false), TEllipsisPosition::epNone,
                   100, size);
  // Sunken text needs one more pixel each way.
  int extra = Enabled() ? 0 : 1;
  SetBounds(Left(), Top(), size.x + extra, size.y + extra);
}

void TCustomInstrumentLabel::Loaded() {
  TCustomLabel::Loaded();
  AdjustBounds();
}

void TCustomInstrumentLabel::CMEnabledChanged(TMessage& message) {
  AdjustBounds();
  TVK_INHERITED(message);
  InvalidateInstrumentBackground(this);
}

void TCustomInstrumentLabel::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  InvalidateInstrumentBackground(this);
}

// Shown or hidden on a plate: the plate's picture gains or loses the text.
void TCustomInstrumentLabel::CMVisibleChanged(TMessage& message) {
  TVK_INHERITED(message);
  InvalidateInstrumentBackground(this);
}

TVK_MESSAGE_MAP(TCustomInstrumentLabel, {CM_ENABLEDCHANGED, &TCustomInstrumentLabel::CMEnabledChanged},
                {CM_TEXTCHANGED, &TCustomInstrumentLabel::CMTextChanged},
                {CM_VISIBLECHANGED, &TCustomInstrumentLabel::CMVisibleChanged})

// ---- TCustomInstrumentCaption

TCustomInstrumentCaption::TCustomInstrumentCaption(TComponent* owner) : TCustomInstrumentLabel(owner) {
  SetAutoSize(false);
  Font().SetSize(9);
  SetBounds(Left(), Top(), 200, 14);
}

TColor TCustomInstrumentCaption::HeadingTextColor() {
  auto* plate = FindInstrumentBackgroundPanel(this, true);
  if (!plate) return Font().Color();
  TColor color = plate->BackgroundColor();
  std::uint8_t h, s, l;
  ColorToHSL(color, h, s, l);
  if (l < 150) color = ScaleColor(color, 1.2);
  return ScaleColor(color, 1.1);
}

void TCustomInstrumentCaption::PaintLabel(TCanvas& canvas, const RECT& rect) {
  TXPDrawCaptionFlags flags = TextFlags(true);
  POINT size{};
  MeasureXPCaption(canvas, rect, GetLabelText(), Font(), flags, EllipsisPosition(), 100, size);
  TBitmap& left = Header(0);
  TBitmap& right = Header(1);
  const int x = rect.left, y = rect.top, w1 = left.Width(), h1 = left.Height();
  canvas.Draw(x, y, left);
  const int e = w1 + size.x + 8;
  canvas.Draw(x + e, y, right);
  canvas.Brush().SetColor(0x202020);
  canvas.Pen().SetStyle(TPenStyle::psClear);
  canvas.Rectangle(x + w1, y, x + e + 1, y + h1 + 1);
  canvas.Rectangle(x + e, y, x + Width() + 1, y + 4);
  canvas.Pen().SetStyle(TPenStyle::psSolid);
  RECT text{rect.left + w1, rect.top + 1, rect.right, rect.bottom + 1};
  DrawXPCaption(canvas, text, GetLabelText(), Font(), HeadingTextColor(), TAlignment::taLeftJustify,
                TTextLayout::tlCenter, flags, EllipsisPosition(), 100);
}

void TCustomInstrumentCaption::Paint() { PaintLabel(Canvas(), ClientRect()); }

}  // namespace tvk
