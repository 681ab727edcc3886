#pragma once
// Anti-aliased text without the system's font smoothing: each character of a
// font is rendered once, enlarged, reduced to a coverage mask and kept in a
// process-wide glyph cache; text is laid out from the masks (wrapping, line
// spacing, alignment, ellipsis, turned by 90 degrees either way) and blended
// over what lies under it.
#include "Graphics.h"
#include "Panels.h"
#include "XPTypes.h"

#include <cstdint>

namespace tvk {

class TSmoothTextRenderer {
public:
  TSmoothTextRenderer() = delete;
  // The widest line of Text in Canvas's font; with dcfMultiline wrapped to
  // Rect's width (its height with dcfVertical).
  static int SmoothTextWidth(TCanvas& canvas, const WideString& text, const RECT& rect, TXPDrawCaptionFlags flags);
  // One line height (LineSpacing percent of the font's cell height) per
  // line: 1 without dcfMultiline, else the wrapped lines.
  static int SmoothTextHeight(TCanvas& canvas, const WideString& text, const RECT& rect, TXPDrawCaptionFlags flags,
                              int lineSpacing);
  // Draws Text into Rect in FontColor with Font's glyphs. Alignment places
  // the text along its reading direction, Layout across its lines (for
  // vertical text as well, so that a turned caption keeps its placement).
  static void SmoothTextOut(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font, TColor fontColor,
                            TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags,
                            TEllipsisPosition ellipsis, int lineSpacing);
  // The characters from StrikeOutStartPos on (1-based over the whole text, a
  // line break counting 2) struck out; "&" is drawn as it is. Raises for
  // vertical text when anything is to be struck out.
  static void SmoothTextOut_MakeStrikeOutAfter(TCanvas& canvas, const RECT& rect, const WideString& text,
                                               int strikeOutStartPos, TFont& font, TColor fontColor,
                                               TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags,
                                               int lineSpacing);
};

inline int SmoothTextWidth(TCanvas& canvas, const WideString& text, const RECT& rect, TXPDrawCaptionFlags flags) {
  return TSmoothTextRenderer::SmoothTextWidth(canvas, text, rect, flags);
}
inline int SmoothTextHeight(TCanvas& canvas, const WideString& text, const RECT& rect, TXPDrawCaptionFlags flags,
                            int lineSpacing) {
  return TSmoothTextRenderer::SmoothTextHeight(canvas, text, rect, flags, lineSpacing);
}
inline void SmoothTextOut(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font, TColor fontColor,
                          TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags,
                          TEllipsisPosition ellipsis, int lineSpacing) {
  TSmoothTextRenderer::SmoothTextOut(canvas, rect, text, font, fontColor, alignment, layout, flags, ellipsis,
                                     lineSpacing);
}
inline void SmoothTextOut_MakeStrikeOutAfter(TCanvas& canvas, const RECT& rect, const WideString& text,
                                             int strikeOutStartPos, TFont& font, TColor fontColor,
                                             TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags,
                                             int lineSpacing) {
  TSmoothTextRenderer::SmoothTextOut_MakeStrikeOutAfter(canvas, rect, text, strikeOutStartPos, font, fontColor,
                                                        alignment, layout, flags, lineSpacing);
}

// What the glyph cache holds and has done, for measurement.
struct TSmoothTextStats {
  std::uint64_t GlyphRenderings = 0;  // characters rendered since start-up
  std::uint64_t Evictions = 0;        // symbol sets dropped to make room
  int SymbolSets = 0;                 // fonts in the cache
  std::size_t MaskBytes = 0;          // coverage masks of all fonts
  std::size_t RecordBytes = 0;        // glyph records (pages made on first use)
};
TSmoothTextStats SmoothTextStats();

// The cache holds at most this many fonts, and drops one round-robin for a
// new font once the masks pass the byte limit.
inline constexpr int kSmoothTextMaxSets = 1000;
inline constexpr std::size_t kSmoothTextMaskLimit = 1000000;

bool SmoothTextStartup();
// Frees every symbol set and the work buffers.
void SmoothTextShutdown();

}  // namespace tvk
