#include "SmoothText.h"

#include "Maths.h"
#include "XPBitmapUtils.h"
#include "XPGraphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace tvk {

namespace {

// ---- Pixel buffers

// A 24-bit top-down section with direct row access and its own memory context.
class TFastBMP {
public:
  TFastBMP(int width, int height) : Width(std::max(width, 1)), Height(std::max(height, 1)) {
    Gap = Width % 4;
    RowInc = Width * 3 + Gap;
    Size = std::size_t(RowInc) * std::size_t(Height);
    void* bits = nullptr;
    Handle = CreateSection(Width, -Height, 24, bits);
    Bits = static_cast<std::uint8_t*>(bits);
    hDC = CreateCompatibleDC(nullptr);
    if (!hDC) {
      DeleteObject(Handle);
      RaiseLastOSError(L"Cannot create a memory context");
    }
    FOld = SelectObject(hDC, Handle);
    Pixels.resize(std::size_t(Height));
    for (int y = 0; y < Height; ++y) Pixels[std::size_t(y)] = Bits + std::size_t(y) * std::size_t(RowInc);
  }
  ~TFastBMP() {
    SelectObject(hDC, FOld);
    DeleteDC(hDC);
    DeleteObject(Handle);
  }
  TFastBMP(const TFastBMP&) = delete;
  TFastBMP& operator=(const TFastBMP&) = delete;

  int Gap, RowInc;
  std::size_t Size;
  int Width, Height;
  std::vector<std::uint8_t*> Pixels;  // blue, green, red per pixel
  std::uint8_t* Bits;
  HBITMAP Handle;
  HDC hDC;

private:
  HGDIOBJ FOld;
};

// A buffer that only grows.
void Grow(std::unique_ptr<TFastBMP>& buffer, int width, int height) {
  if (buffer && buffer->Width >= width && buffer->Height >= height) return;
  int w = std::max(width, buffer ? buffer->Width : 0), h = std::max(height, buffer ? buffer->Height : 0);
  buffer.reset();
  buffer = std::make_unique<TFastBMP>(w, h);
}

// ---- The glyph cache

struct TGlyph {
  std::unique_ptr<std::uint8_t[]> Data;  // Height rows of Width bytes; 255 no ink, 0 full ink
  std::int32_t Height = -1, Width = -1;  // -1: not rendered yet
  std::int32_t Advance = 0;
};

constexpr int kPageBits = 8;
constexpr int kPageSize = 1 << kPageBits;
using TGlyphPage = std::array<TGlyph, kPageSize>;

struct TSmoothSymbolSet {
  TFont Font;
  // 65536 glyph records in pages made on first use.
  std::array<std::unique_ptr<TGlyphPage>, 65536 / kPageSize> Pages;
  std::size_t MaskBytes = 0;
  int CellHeight = -1;  // tmHeight + tmDescent, measured once

  TGlyph& Record(wchar_t c) {
    auto& page = Pages[std::size_t(c) >> kPageBits];
    if (!page) page = std::make_unique<TGlyphPage>();
    return (*page)[std::size_t(c) & (kPageSize - 1)];
  }
  std::size_t PageCount() const {
    return std::size_t(std::count_if(Pages.begin(), Pages.end(), [](const auto& p) { return p != nullptr; }));
  }
};

struct TGlyphCache {
  // Slots 1 to 1000; held shared so that a set in use survives its eviction.
  std::array<std::shared_ptr<TSmoothSymbolSet>, kSmoothTextMaxSets + 1> Slots;
  bool Initialised = false;
  int EvictionCursor = 0;
  std::uint64_t Renderings = 0, Evictions = 0;
  std::unique_ptr<TFastBMP> Coverage, Background;
};

TGlyphCache gCache;

// Two fonts share a symbol set: colour and character set do not count.
bool SameFontIdentity(const TFont& a, const TFont& b) {
  if (a.Height() > 0) {
    if (a.Height() != b.Height()) return false;
  } else if (a.Size() != b.Size()) {
    return false;
  }
  return a.Name() == b.Name() && a.Pitch() == b.Pitch() && a.PixelsPerInch() == b.PixelsPerInch() &&
         a.Style() == b.Style();
}

std::size_t TotalMaskBytes() {
  std::size_t total = 0;
  for (const auto& set : gCache.Slots)
    if (set) total += set->MaskBytes;
  return total;
}

// Frees the next set after the cursor (round-robin) and answers its slot.
int Evict() {
  do {
    gCache.EvictionCursor = gCache.EvictionCursor % kSmoothTextMaxSets + 1;
  } while (!gCache.Slots[std::size_t(gCache.EvictionCursor)]);
  gCache.Slots[std::size_t(gCache.EvictionCursor)].reset();
  ++gCache.Evictions;
  return gCache.EvictionCursor;
}

std::shared_ptr<TSmoothSymbolSet> FindSymbolSet(const TFont& font) {
  if (!gCache.Initialised) {
    for (auto& slot : gCache.Slots) slot.reset();
    gCache.Initialised = true;
  }
  for (int i = 1; i <= kSmoothTextMaxSets && gCache.Slots[std::size_t(i)]; ++i)
    if (SameFontIdentity(gCache.Slots[std::size_t(i)]->Font, font)) return gCache.Slots[std::size_t(i)];

  const bool overLimit = TotalMaskBytes() > kSmoothTextMaskLimit;
  int slot = 0, i = 1;
  while (i <= kSmoothTextMaxSets && gCache.Slots[std::size_t(i)]) {
    ++i;
    if (i > kSmoothTextMaxSets ||
        ((gCache.EvictionCursor == 0 || i == gCache.EvictionCursor + 1) && overLimit)) {
      slot = Evict();
      break;
    }
  }
  if (!slot) slot = i;
  auto set = std::make_shared<TSmoothSymbolSet>();
  set->Font.SetName(font.Name());
  set->Font.SetPixelsPerInch(font.PixelsPerInch());
  if (font.Height() > 0) set->Font.SetHeight(font.Height());
  else set->Font.SetSize(font.Size());
  set->Font.SetColor(font.Color());
  set->Font.SetPitch(font.Pitch());
  set->Font.SetStyle(font.Style());
  gCache.Slots[std::size_t(slot)] = set;
  return set;
}

// A copy of Font with Style changed, for the glyphs of one character kind.
std::shared_ptr<TSmoothSymbolSet> VariantSet(const TFont& font, TFontStyles add, TFontStyles remove) {
  TFont variant;
  variant.Assign(font);
  variant.SetStyle((font.Style() | add) & ~remove);
  return FindSymbolSet(variant);
}

int MeasureCellHeight(TSmoothSymbolSet& set) {
  if (set.CellHeight < 0) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, set.Font.Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    set.CellHeight = int(tm.tmHeight + tm.tmDescent);
  }
  return set.CellHeight;
}

void RenderGlyph(TSmoothSymbolSet& set, wchar_t c, TGlyph& glyph, UINT textFlags) {
  const int cellHeight = MeasureCellHeight(set);
  const int d = cellHeight <= 50 ? 16 : cellHeight <= 100 ? 8 : 4;
  TFont large;
  large.Assign(set.Font);
  large.SetColor(clBlack);
  if (large.Size() < 1) large.SetHeight(large.Height() * d);
  else large.SetSize(large.Size() * d);

  HDC measure = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(measure, large.Handle());
  SIZE extent{};
  GetTextExtentPoint32W(measure, &c, 1, &extent);
  TEXTMETRICW tm{};
  GetTextMetricsW(measure, &tm);
  int cellWidth = extent.cx;
  if (tm.tmPitchAndFamily & TMPF_TRUETYPE) {
    ABC abc{};
    if (GetCharABCWidthsW(measure, c, c, &abc)) cellWidth = std::max<int>(cellWidth, abc.abcA + int(abc.abcB));
  } else {
    cellWidth += tm.tmOverhang;
  }
  SIZE blank{};
  GetTextExtentPoint32W(measure, L" ", 1, &blank);
  SelectObject(measure, oldFont);
  DeleteDC(measure);

  const int maskWidth = std::max(1, (cellWidth + d - 1) / d);
  TFastBMP big(d * maskWidth, d * cellHeight);
  std::memset(big.Bits, 0xFF, big.Size);
  HGDIOBJ old = SelectObject(big.hDC, large.Handle());
  SetBkMode(big.hDC, TRANSPARENT);
  SetTextColor(big.hDC, RGB(0, 0, 0));
  if (set.Font.Style() & fsUnderline) {
    // A blank reaching past the edge carries the underline to the cell's end.
    ExtTextOutW(big.hDC, big.Width - blank.cx / 2, 0, textFlags, nullptr, L" ", 1, nullptr);
  }
  int x = (textFlags & ETO_RTLREADING) ? extent.cx + 1 : 0;
  ExtTextOutW(big.hDC, x, 0, textFlags, nullptr, &c, 1, nullptr);
  SelectObject(big.hDC, old);
  GdiFlush();

  // Each mask byte: the average of its d x d block, channels averaged.
  glyph.Data = std::make_unique<std::uint8_t[]>(std::size_t(maskWidth) * std::size_t(cellHeight));
  const int area = d * d;
  for (int y = 0; y < cellHeight; ++y)
    for (int mx = 0; mx < maskWidth; ++mx) {
      int sum[3] = {0, 0, 0};
      for (int by = 0; by < d; ++by) {
        const std::uint8_t* p = big.Pixels[std::size_t(y * d + by)] + std::size_t(mx * d) * 3;
        for (int bx = 0; bx < d; ++bx, p += 3)
          for (int ch = 0; ch < 3; ++ch) sum[ch] += p[ch];
      }
      int average = (sum[0] / area + sum[1] / area + sum[2] / area) / 3;
      glyph.Data[std::size_t(y) * std::size_t(maskWidth) + std::size_t(mx)] = std::uint8_t(average);
    }
  glyph.Width = maskWidth;
  glyph.Height = cellHeight;
  glyph.Advance = (extent.cx + d - 1) / d;
  set.MaskBytes += std::size_t(maskWidth) * std::size_t(cellHeight);
  ++gCache.Renderings;
}

const TGlyph& Glyph(TSmoothSymbolSet& set, wchar_t c, UINT textFlags) {
  TGlyph& glyph = set.Record(c);
  if (glyph.Height < 0) RenderGlyph(set, c, glyph, textFlags);
  return glyph;
}

// ---- Layout

bool IsLineBreakAt(std::wstring_view s, std::size_t i) {
  return i + 1 < s.size() && s[i] == L'\r' && s[i + 1] == L'\n';
}

int LineWidth(TSmoothSymbolSet& set, std::wstring_view line, UINT textFlags) {
  int width = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const TGlyph& g = Glyph(set, line[i], textFlags);
    width += i + 1 < line.size() ? g.Advance : g.Width;
  }
  return width;
}

std::wstring_view TrimRight(std::wstring_view s) {
  while (!s.empty() && s.back() == L' ') s.remove_suffix(1);
  return s;
}

struct TLine {
  WideString Text;
  int FirstIndex;  // running number (1-based) of its first character in the whole text
};

// The length of the token at the start of S: a CR LF pair, a run of letters,
// digits and underscores, or one other character.
std::size_t TokenLength(std::wstring_view s) {
  if (IsLineBreakAt(s, 0)) return 2;
  auto word = [](wchar_t c) { return c == L'_' || IsCharAlphaNumericW(c); };
  if (!word(s[0])) return 1;
  std::size_t n = 1;
  while (n < s.size() && word(s[n])) ++n;
  return n;
}

// Lines of Text: wrapped to Width with Wrap, else broken only at CR LF.
std::vector<TLine> BreakLines(TSmoothSymbolSet& set, std::wstring_view text, bool wrap, int width, UINT textFlags) {
  std::vector<TLine> lines;
  std::size_t pos = 0;
  auto nextBreak = [&](std::size_t from) {
    std::size_t at = from;
    while (at < text.size() && !IsLineBreakAt(text, at)) ++at;
    return at;
  };
  if (!wrap || width <= 0) {
    for (;;) {
      std::size_t end = nextBreak(pos);
      lines.push_back({WideString(text.substr(pos, end - pos)), int(pos) + 1});
      if (end >= text.size()) break;
      pos = end + 2;
    }
    return lines;
  }
  do {
    WideString line;
    int first = int(pos) + 1;
    while (pos < text.size()) {
      std::size_t length = TokenLength(text.substr(pos));
      std::wstring_view token = text.substr(pos, length);
      if (length == 2 && IsLineBreakAt(text, pos)) {
        pos += 2;  // the break ends the line and goes with it
        break;
      }
      WideString candidate = line + WideString(token);
      if (LineWidth(set, TrimRight(candidate), textFlags) <= width) {
        line = std::move(candidate);
        pos += length;
        continue;
      }
      if (line.empty()) {  // a word wider than the line stands alone, unbroken
        line = WideString(token);
        pos += length;
      }
      break;
    }
    lines.push_back({std::move(line), first});
  } while (pos < text.size());
  return lines;
}

int WidestLine(TSmoothSymbolSet& set, const std::vector<TLine>& lines, UINT textFlags) {
  int width = 0;
  for (const TLine& l : lines) width = std::max(width, LineWidth(set, l.Text, textFlags));
  return width;
}

int LineHeight(TSmoothSymbolSet& set, int lineSpacing) {
  return int(Round(double(MeasureCellHeight(set)) * lineSpacing / 100.0));
}

int AvailableWidth(const RECT& rect, TXPDrawCaptionFlags flags) {
  return (flags & dcfVertical) ? rect.bottom - rect.top : rect.right - rect.left;
}

// The first try of an ellipsis that fits (the last one when none does).
WideString Ellipsize(TSmoothSymbolSet& set, const WideString& text, TEllipsisPosition ellipsis, bool wrap, int width,
                     UINT textFlags) {
  auto fits = [&](const WideString& s) { return WidestLine(set, BreakLines(set, s, wrap, width, textFlags), textFlags) <= width; };
  if (ellipsis == TEllipsisPosition::epNone || fits(text)) return text;
  std::size_t slash = text.rfind(L'\\');
  WideString attempt;
  if (ellipsis == TEllipsisPosition::epPathEllipsis && slash != WideString::npos) {
    WideString head = text.substr(0, slash), tail = text.substr(slash);
    for (std::size_t n = head.size() + 1; n-- > 0;) {
      attempt = head.substr(0, n) + L"..." + tail;
      if (fits(attempt)) break;
    }
    return attempt;
  }
  for (std::size_t n = text.size(); n >= 1; --n) {
    attempt = text.substr(0, n) + L"...";
    if (fits(attempt)) break;
  }
  return attempt;
}

// ---- Drawing

enum class TTurn { None, Clockwise, Anticlockwise };

struct TPass {
  TCanvas& Canvas;
  RECT Rect;
  WideString Text;
  TFont& Font;
  TColor Color;
  TAlignment Alignment;
  TTextLayout Layout;
  TXPDrawCaptionFlags Flags;
  TEllipsisPosition Ellipsis;
  int LineSpacing;
  int StrikeOutFrom;  // 0: nothing struck out
};

void DrawCustomUnderline(HDC dc, const TFont& font, TColor color, int left, int top, int width) {
  if (width <= 0) return;
  int thickness = std::max(1, (std::abs(font.Size()) + 10) / 20 + 1);
  COLORREF rgb = ColorToRGB(color);
  TColor key = rgb == RGB(255, 255, 255) ? clBlack : clWhite;
  TBitmap line;
  line.SetPixelFormat(TPixelFormat::pf32bit);
  line.SetSize(width, 3 * thickness);
  TCanvas& c = line.Canvas();
  c.Brush().SetColor(key);
  c.FillRect(RECT{0, 0, width, 3 * thickness});
  c.Pen().SetColor(TColor(rgb));
  c.Pen().SetWidth(thickness);
  int middle = (3 * thickness + 1) / 2;
  c.MoveTo(0, middle);
  c.LineTo(width, middle);
  GaussianBlur(line, 1);
  AlphaFromColorDistance(line, key);
  AlphaBlit(dc, left, top, width, 3 * thickness, line.Canvas().Handle(), 0, 0);
}

void DrawPass(const TPass& p) {
  HDC dc = p.Canvas.Handle();
  RECT outer = p.Rect;
  InflateRect(&outer, 1, 1);
  TClipRect clip(dc, outer, !(p.Flags & dcfNoClipping));
  p.Canvas.Font().Assign(p.Font);
  const UINT textFlags = p.Canvas.TextFlags;
  std::shared_ptr<TSmoothSymbolSet> set = FindSymbolSet(p.Canvas.Font());

  const bool strike = p.StrikeOutFrom > 0;
  const TTurn turn = strike || !(p.Flags & dcfVertical) ? TTurn::None
                     : (p.Flags & dcfVertClockwise)      ? TTurn::Clockwise
                                                         : TTurn::Anticlockwise;
  const int rectW = p.Rect.right - p.Rect.left, rectH = p.Rect.bottom - p.Rect.top;
  // The text is laid out in an upright rectangle, turned afterwards.
  const int areaW = turn == TTurn::None ? rectW : rectH, areaH = turn == TTurn::None ? rectH : rectW;
  if (!gCache.Coverage) {
    Grow(gCache.Coverage, rectW, rectH);
    Grow(gCache.Background, rectW, rectH);
  }

  WideString text = p.Text;
  int accel = 0;
  if (!strike && !(p.Flags & dcfNoPrefix)) accel = StripAccelChars(text);
  const bool wrap = p.Flags & dcfMultiline;
  if (!strike) text = Ellipsize(*set, text, p.Ellipsis, wrap, areaW, textFlags);
  std::vector<TLine> lines = BreakLines(*set, text, wrap, areaW, textFlags);
  const int lineHeight = LineHeight(*set, p.LineSpacing);
  const int blockW = WidestLine(*set, lines, textFlags), blockH = lineHeight * int(lines.size());
  if (blockW <= 0 || blockH <= 0) return;

  int bx = p.Alignment == TAlignment::taRightJustify ? areaW - blockW
           : p.Alignment == TAlignment::taCenter    ? (areaW - blockW) / 2
                                                    : 0;
  int by = p.Layout == TTextLayout::tlBottom   ? areaH - blockH
           : p.Layout == TTextLayout::tlCenter ? (areaH - blockH) / 2
                                               : 0;

  // Characters of other kinds come from sets of the font with a style changed.
  const bool underlined = p.Font.Style() & fsUnderline;
  const bool custom = (p.Flags & dcfCustomUnderline) && underlined;
  std::shared_ptr<TSmoothSymbolSet> accelSet = accel > 0 ? VariantSet(p.Canvas.Font(), fsUnderline, 0) : nullptr;
  std::shared_ptr<TSmoothSymbolSet> strikeSet = strike ? VariantSet(p.Canvas.Font(), fsStrikeOut, 0) : nullptr;
  std::shared_ptr<TSmoothSymbolSet> plainSet = custom ? VariantSet(p.Canvas.Font(), 0, fsUnderline) : nullptr;

  Grow(gCache.Coverage, blockW, blockH);
  TFastBMP& coverage = *gCache.Coverage;
  for (int y = 0; y < blockH; ++y) std::memset(coverage.Pixels[std::size_t(y)], 0xFF, std::size_t(blockW) * 3);
  for (std::size_t li = 0; li < lines.size(); ++li) {
    const TLine& line = lines[li];
    int lineW = LineWidth(*set, TrimRight(line.Text), textFlags);
    int penX = p.Alignment == TAlignment::taRightJustify ? blockW - lineW
               : p.Alignment == TAlignment::taCenter    ? (blockW - lineW) / 2
                                                        : 0;
    int top = int(li) * lineHeight;
    for (std::size_t ci = 0; ci < line.Text.size(); ++ci) {
      int number = line.FirstIndex + int(ci);
      TSmoothSymbolSet* from = set.get();
      if (number == accel && accelSet) from = accelSet.get();
      else if (strikeSet && number >= p.StrikeOutFrom) from = strikeSet.get();
      else if (plainSet) from = plainSet.get();
      const TGlyph& g = Glyph(*from, line.Text[ci], textFlags);
      for (int gy = 0; gy < g.Height && top + gy < blockH; ++gy) {
        if (top + gy < 0) continue;
        std::uint8_t* row = coverage.Pixels[std::size_t(top + gy)];
        const std::uint8_t* mask = g.Data.get() + std::size_t(gy) * std::size_t(g.Width);
        for (int gx = 0; gx < g.Width; ++gx) {
          int x = penX + gx;
          if (x < 0 || x >= blockW || mask[gx] == 255) continue;
          std::memset(row + std::size_t(x) * 3, mask[gx], 3);
        }
      }
      penX += g.Advance;
    }
  }

  // The block's place on the canvas (turned for vertical text).
  RECT device;
  if (turn == TTurn::None)
    device = RECT{p.Rect.left + bx, p.Rect.top + by, p.Rect.left + bx + blockW, p.Rect.top + by + blockH};
  else if (turn == TTurn::Clockwise)
    device = RECT{p.Rect.right - by - blockH, p.Rect.top + bx, p.Rect.right - by, p.Rect.top + bx + blockW};
  else
    device = RECT{p.Rect.left + by, p.Rect.bottom - bx - blockW, p.Rect.left + by + blockH, p.Rect.bottom - bx};
  const int deviceW = device.right - device.left, deviceH = device.bottom - device.top;

  if (custom && turn == TTurn::None) {
    TEXTMETRICW tm{};
    GetTextMetricsW(p.Canvas.Handle(), &tm);
    for (std::size_t li = 0; li < lines.size(); ++li) {
      int lineW = LineWidth(*set, TrimRight(lines[li].Text), textFlags);
      int offset = p.Alignment == TAlignment::taRightJustify ? blockW - lineW
                   : p.Alignment == TAlignment::taCenter    ? (blockW - lineW) / 2
                                                            : 0;
      DrawCustomUnderline(dc, p.Font, p.Color, device.left + offset,
                          device.top + int(li) * lineHeight + int(tm.tmAscent), lineW);
    }
  }

  Grow(gCache.Background, deviceW, deviceH);
  TFastBMP& background = *gCache.Background;
  BitBlt(background.hDC, 0, 0, deviceW, deviceH, dc, device.left, device.top, SRCCOPY);
  GdiFlush();
  const COLORREF rgb = ColorToRGB(p.Color);
  const int ink[3] = {int(GetBValue(rgb)), int(GetGValue(rgb)), int(GetRValue(rgb))};
  for (int j = 0; j < blockH; ++j) {
    const std::uint8_t* cov = coverage.Pixels[std::size_t(j)];
    for (int i = 0; i < blockW; ++i) {
      int c = cov[std::size_t(i) * 3];
      if (c == 255) continue;
      int px = turn == TTurn::None ? i : turn == TTurn::Clockwise ? blockH - 1 - j : j;
      int py = turn == TTurn::None ? j : turn == TTurn::Clockwise ? i : blockW - 1 - i;
      std::uint8_t* pixel = background.Pixels[std::size_t(py)] + std::size_t(px) * 3;
      for (int ch = 0; ch < 3; ++ch)
        pixel[ch] = c == 0 ? std::uint8_t(ink[ch]) : std::uint8_t((pixel[ch] * c + ink[ch] * (255 - c)) >> 8);
    }
  }
  BitBlt(dc, device.left, device.top, deviceW, deviceH, background.hDC, 0, 0, SRCCOPY);

  if ((p.Flags & dcfFocusRect) && !strike) {
    RECT focus;
    IntersectRect(&focus, &device, &p.Rect);
    InflateRect(&focus, 1, 1);
    SetTextColor(dc, ColorToRGB(kSystemColor | COLOR_WINDOWFRAME));
    SetBkColor(dc, ColorToRGB(clBtnFace));
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace

int TSmoothTextRenderer::SmoothTextWidth(TCanvas& canvas, const WideString& text, const RECT& rect,
                                         TXPDrawCaptionFlags flags) {
  std::shared_ptr<TSmoothSymbolSet> set = FindSymbolSet(canvas.Font());
  return WidestLine(*set, BreakLines(*set, text, flags & dcfMultiline, AvailableWidth(rect, flags), canvas.TextFlags),
                    canvas.TextFlags);
}

int TSmoothTextRenderer::SmoothTextHeight(TCanvas& canvas, const WideString& text, const RECT& rect,
                                          TXPDrawCaptionFlags flags, int lineSpacing) {
  std::shared_ptr<TSmoothSymbolSet> set = FindSymbolSet(canvas.Font());
  int lines = 1;
  if (flags & dcfMultiline)
    lines = int(BreakLines(*set, text, true, AvailableWidth(rect, flags), canvas.TextFlags).size());
  return LineHeight(*set, lineSpacing) * lines;
}

void TSmoothTextRenderer::SmoothTextOut(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font,
                                        TColor fontColor, TAlignment alignment, TTextLayout layout,
                                        TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis, int lineSpacing) {
  if (flags & dcfSunkenDisabled) {
    RECT shifted = rect;
    OffsetRect(&shifted, 1, 1);
    DrawPass({canvas, shifted, text, font, clBtnHighlight, alignment, layout, flags & ~dcfFocusRect, ellipsis,
              lineSpacing, 0});
    DrawPass({canvas, rect, text, font, clBtnShadow, alignment, layout, flags, ellipsis, lineSpacing, 0});
    return;
  }
  DrawPass({canvas, rect, text, font, fontColor, alignment, layout, flags, ellipsis, lineSpacing, 0});
}

void TSmoothTextRenderer::SmoothTextOut_MakeStrikeOutAfter(TCanvas& canvas, const RECT& rect, const WideString& text,
                                                           int strikeOutStartPos, TFont& font, TColor fontColor,
                                                           TAlignment alignment, TTextLayout layout,
                                                           TXPDrawCaptionFlags flags, int lineSpacing) {
  if (strikeOutStartPos <= 0)
    return SmoothTextOut(canvas, rect, text, font, fontColor, alignment, layout, flags, TEllipsisPosition::epNone,
                         lineSpacing);
  if (flags & dcfVertical) throw Exception(L"Can't do Vertical Text when some of the text will be drawn Strike-Out.");
  DrawPass({canvas, rect, text, font, fontColor, alignment, layout, flags, TEllipsisPosition::epNone, lineSpacing,
            strikeOutStartPos});
}

TSmoothTextStats SmoothTextStats() {
  TSmoothTextStats stats;
  stats.GlyphRenderings = gCache.Renderings;
  stats.Evictions = gCache.Evictions;
  for (const auto& set : gCache.Slots) {
    if (!set) continue;
    ++stats.SymbolSets;
    stats.MaskBytes += set->MaskBytes;
    stats.RecordBytes += set->PageCount() * sizeof(TGlyphPage) + sizeof(TSmoothSymbolSet);
  }
  return stats;
}

bool SmoothTextStartup() {
  gCache.Initialised = false;
  gCache.EvictionCursor = 0;
  gCache.Coverage.reset();
  gCache.Background.reset();
  return true;
}

void SmoothTextShutdown() {
  for (auto& slot : gCache.Slots) slot.reset();
  gCache.Coverage.reset();
  gCache.Background.reset();
  gCache.Initialised = false;
  gCache.EvictionCursor = 0;
}

}  // namespace tvk
