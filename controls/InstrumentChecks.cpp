#include "InstrumentChecks.h"

#include "InstrumentPanels.h"
#include "XPBitmapUtils.h"
#include "XPColors.h"
#include "XPControlUtils.h"
#include "WindowClasses.h"
#include "XPGraphics.h"

#include <array>
#include <memory>

namespace tvk {

namespace {

// Resource of each check style; the alpha ones are compressed alpha images.
struct TGlyphRow {
  const wchar_t* Name;
  bool Alpha;
};
constexpr std::array<TGlyphRow, 15> kGlyphs = {{
    {L"INSTRUMENT_CHECK_MIXED", true},       {L"INSTRUMENT_CHECK_RED", true},
    {L"INSTRUMENT_CHECK_GREEN", true},       {L"INSTRUMENT_CHECK_BUTTON", false},
    {L"INSTRUMENT_CHECK_RECT_AMBER", false}, {L"INSTRUMENT_CHECK_RECT_BLUE", false},
    {L"INSTRUMENT_CHECK_RECT_GREEN", false}, {L"INSTRUMENT_CHECK_RECT_PURPLE", false},
    {L"INSTRUMENT_CHECK_RECT_RED", false},   {L"INSTRUMENT_CHECK_RECT_YELLOW", false},
    {L"INSTRUMENT_CHECK_ORANGE", true},      {L"INSTRUMENT_CHECK_BLUE", true},
    {L"INSTRUMENT_CHECK_PURPLE", true},      {L"INSTRUMENT_CHECK_YELLOW", true},
    {L"INSTRUMENT_CHECK_WHITE", true},
}};

struct TCheckGlyphCache {
  std::array<std::unique_ptr<TAlphaBitmap>, 15> Glyphs;
  std::array<std::unique_ptr<TAlphaBitmap>, kInstrumentPanelStyleCount> KeyCaps;
  bool Loaded = false;
  int LoadCount = 0;
};
TCheckGlyphCache gGlyphs;

// A plain bitmap resource as a premultiplied alpha image; Hue (when given)
// recolours every pixel to it, keeping saturation and lightness.
std::unique_ptr<TAlphaBitmap> LoadBitmapGlyph(const wchar_t* name, const TColor* hueOf) {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(ClassLibraryInstance(), name);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetTransparent(false);
  if (hueOf) {
    std::uint8_t hue, s, l;
    ColorToHSL(*hueOf, hue, s, l);
    for (int y = 0; y < bitmap.Height(); ++y) {
      auto* row = static_cast<std::uint8_t*>(bitmap.ScanLine(y));
      for (int x = 0; x < bitmap.Width(); ++x) {
        std::uint8_t* p = row + x * 4;
        std::uint8_t ph, ps, pl;
        ColorToHSL(TColor(p[2] | (p[1] << 8) | (p[0] << 16)), ph, ps, pl);
        COLORREF c = ColorToRGB(HSLToColor(hue, ps, pl));
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      }
    }
  }
  auto glyph = std::make_unique<TAlphaBitmap>();
  glyph->Assign(bitmap);
  PremultiplyAlpha(*glyph);
  return glyph;
}

void EnsureGlyphs() {
  if (gGlyphs.Loaded) return;
  TCheckGlyphCache cache;
  for (std::size_t i = 0; i < kGlyphs.size(); ++i) {
    if (kGlyphs[i].Alpha) {
      cache.Glyphs[i] = std::make_unique<TAlphaBitmap>();
      cache.Glyphs[i]->LoadFromResource(kGlyphs[i].Name);
    } else {
      cache.Glyphs[i] = LoadBitmapGlyph(kGlyphs[i].Name, nullptr);
    }
  }
  for (int s = 0; s < kInstrumentPanelStyleCount; ++s) {
    TColor plate = InstrumentStyleColor(TInstrumentPanelStyle(s));
    cache.KeyCaps[std::size_t(s)] = LoadBitmapGlyph(L"INSTRUMENT_CHECK_BUTTON", &plate);
  }
  cache.LoadCount = gGlyphs.LoadCount + 1;
  cache.Loaded = true;
  gGlyphs = std::move(cache);
}

}  // namespace

TAlphaBitmap& InstrumentCheckGlyph(TInstrumentCheckStyle style, TInstrumentPanelStyle panelStyle) {
  EnsureGlyphs();
  if (style == TInstrumentCheckStyle::icsButton) {
    auto p = std::size_t(panelStyle);
    return *gGlyphs.KeyCaps[p < gGlyphs.KeyCaps.size() ? p : 0];
  }
  auto i = std::size_t(style);
  return *gGlyphs.Glyphs[i < gGlyphs.Glyphs.size() ? i : 1];
}

int InstrumentCheckGlyphLoadCount() { return gGlyphs.LoadCount; }
void InstrumentChecksShutdown() {
  int count = gGlyphs.LoadCount;
  gGlyphs = TCheckGlyphCache{};
  gGlyphs.LoadCount = count;
}

// ---- TCustomInstrumentCheckBox

TCustomInstrumentCheckBox::TCustomInstrumentCheckBox(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
  Font().SetName(L"Arial Black");
  Font().SetSize(7);
  Font().SetStyle(0);
  Font().SetColor(clWhite);
  FWidth = 150;
  FHeight = 17;
}

bool TCustomInstrumentCheckBox::GetInterface(const GUID& iid, void** obj) {
  return AnswerInterfaces<IInstrumentPrePaint, IInstrumentStyleClient>(this, iid, obj) ||
         TGraphicControl::GetInterface(iid, obj);
}

void TCustomInstrumentCheckBox::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TCustomInstrumentCheckBox::SetChecked(bool value) {
  if (FInChanging) return;
  FInChanging = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FInChanging};
  if (value == FChecked) return;
  FChecked = value;
  CheckStateChanged();
  TGraphicControl::Click();
  Invalidate();
}

void TCustomInstrumentCheckBox::SetGlyphStyle(TInstrumentCheckStyle value) {
  if (value == FGlyphStyle) return;
  FGlyphStyle = value;
  InvalidateInstrumentBackground(this);
  Invalidate();
}

void TCustomInstrumentCheckBox::Click() {
  // A read-only box ignores the click and fires nothing.
  if (!FReadOnly) SetChecked(!FChecked);
}

void TCustomInstrumentCheckBox::DrawBox(TCanvas& canvas, const RECT& r, TInstrumentPanelStyle style) {
  TAlphaBitmap& glyph = InstrumentCheckGlyph(FGlyphStyle, style);
  const int half = glyph.Width() / 2, w = Width(), h = Height();
  if (half > 0) {
    int x = FAlignment == TAlignment::taRightJustify ? r.left : r.left + w - half - 1;
    int y = r.top + (h - glyph.Height()) / 2;
    AlphaBlit(canvas.Handle(), x, y, half, glyph.Height(), glyph.Canvas().Handle(), FChecked ? half : 0, 0);
  }
  RECT text = FAlignment == TAlignment::taRightJustify ? RECT{half + 3, 1, w - 2, h - 2}
                                                       : RECT{1, 1, w - half - 3, h - 2};
  OffsetRect(&text, r.left, r.top);
  TColor color = Font().Color();
  if (!Enabled()) color = GetThemeMode() == 0 ? clGrayText : SubstGrayTextColor;
  DrawXPCaption(canvas, text, Caption(), Font(), color, TAlignment::taLeftJustify, TTextLayout::tlCenter,
                dcfSmoothText, TEllipsisPosition::epNone, 100);
}

void TCustomInstrumentCheckBox::Paint() {
  auto* plate = FindInstrumentBackgroundPanel(this, true);
  DrawBox(Canvas(), ClientRect(), plate ? plate->Style() : TInstrumentPanelStyle::ipsDarkGray);
}

void TCustomInstrumentCheckBox::PaintToBackground(TCustomInstrumentBackgroundPanel* plate) {
  POINT p = ClientToParent(POINT{0, 0}, plate);
  RECT r{p.x, p.y, p.x + Width(), p.y + Height()};
  DrawBox(plate->Bitmap().Canvas(), r, plate->Style());
  SmoothBitmapRect(plate->Bitmap(), r.left - 1, r.top - 1, r.right + 1, r.bottom + 1, 10);
}

void TCustomInstrumentCheckBox::PanelStyleChanged(TInstrumentPanelStyle) { Invalidate(); }

void TCustomInstrumentCheckBox::CMTextChanged(TMessage&) { Invalidate(); }

// The box is also baked into its plate's picture: hiding it must take it out.
void TCustomInstrumentCheckBox::CMVisibleChanged(TMessage& message) {
  TVK_INHERITED(message);
  InvalidateInstrumentBackground(this);
}

TVK_MESSAGE_MAP(TCustomInstrumentCheckBox, {CM_TEXTCHANGED, &TCustomInstrumentCheckBox::CMTextChanged},
                {CM_VISIBLECHANGED, &TCustomInstrumentCheckBox::CMVisibleChanged})

}  // namespace tvk
