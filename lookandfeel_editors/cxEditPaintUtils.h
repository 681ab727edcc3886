#pragma once
// Paint services of the editors: a process-wide cache of solid brushes keyed
// by colour, beside the system's own brushes of the system colours, and the
// small drawing routines and allowances the editors' view infos use.
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tvk {

// The styles an editor button is drawn in.
enum TcxEditButtonStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
// How an editor's background is filled.
enum TcxEditBackgroundPaintingStyle { bpsSolid, bpsComboEdit, bpsComboListEdit };

// Solid brushes made on demand and kept, sorted by colour, up to a capacity;
// when full, the entry found least often goes. Emptied when the system
// colours change.
class TcxSolidBrushCache : public TObject {
public:
  TVK_CLASS(TcxSolidBrushCache, TObject)
  TcxSolidBrushCache() : TcxSolidBrushCache(128) {}
  explicit TcxSolidBrushCache(int AMaxDepth);
  ~TcxSolidBrushCache() override;
  TcxSolidBrushCache(const TcxSolidBrushCache&) = delete;
  TcxSolidBrushCache& operator=(const TcxSolidBrushCache&) = delete;

  // Deletes every cached brush.
  void Clear();
  // The brush of ABrushColor; the cache's (or the system's), never the caller's.
  HBRUSH GetBrush(TColor ABrushColor);

  int Depth() const { return FDepth; }
  int MaxDepth() const { return FMaxDepth; }
  TColor ColorAt(int AIndex) const { return FBrushColors[std::size_t(AIndex)]; }
  HBRUSH BrushAt(int AIndex) const { return FBrushes[std::size_t(AIndex)]; }
  uint32_t CountAt(int AIndex) const { return FCounts[std::size_t(AIndex)]; }
  // Brushes made so far (a deterministic measure of the cache's use).
  int CreatedCount() const { return FCreatedCount; }

protected:
  virtual void HandleSystemColorChange();

private:
  int FindLeastUsedBrushSlot() const;
  HBRUSH InsertBrush(int AIndex, TColor AColor);

  std::vector<TColor> FBrushColors;
  std::vector<HBRUSH> FBrushes;
  std::vector<uint32_t> FCounts;
  int FDepth = 0;
  int FMaxDepth;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FSystemPaletteChangedNotifier;
  int FCreatedCount = 0;
};

// The system's brushes of the system colours 0 to 30 while the unit runs
// (empty otherwise); the system owns them.
const std::vector<HBRUSH>& SystemColorBrushes();
// The process-wide cache while the unit runs, else null.
TcxSolidBrushCache* SolidBrushCache();

// The cache's brush of AColor; 0 when there is no cache.
HBRUSH GetSolidBrush(TColor AColor);
HBRUSH GetSolidBrush(TcxCanvas& ACanvas, TColor AColor);

// One-pixel lines on the sides AEdges of R (both ends painted), each side
// moved inward by one.
void DrawEdgeLines(TcxCanvas& ACanvas, RECT& R, TcxBorders AEdges, TColor AColor);
// The vertical space a button's border takes.
int GetEditButtonVertAllowance(TcxCanvas& ACanvas, TcxEditButtonStyle AButtonStyle, bool ANativeStyle);
// Frame and fill colours of a hot or pressed ultra-flat or Office 2003 button.
TColor GetEditButtonFrameColor(bool AOffice11);
TColor GetEditButtonHighlightColor(bool APressed, bool AOffice11);
void FillRectWithColor(TcxCanvas& ACanvas, const RECT& R, TColor AColor);
// Fills R outside AInnerRect.
void FillRectFrameWithBrush(TcxCanvas& ACanvas, const RECT& R, const RECT& AInnerRect, HBRUSH ABrush);
// Text layout format bits to the library's canvas text flags.
int TextLayoutFlagsToCanvasFlags(int AFlags);
bool IsDigitChar(wchar_t C);

// The routines that read editor objects; the edit framework defines them.
class TcxEditButtonViewInfo;
class TcxCustomEditProperties;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
int GetEditButtonWidth(TcxCanvas& ACanvas, TcxEditButtonViewInfo& AButtonViewInfo);
int NativeContentHeightCorrection(TcxCustomEditProperties& AProperties, bool AIsInplace);
bool EditViewDataHasShadow(TcxCustomEditViewData& AViewData);
void PaintEditBackground(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo, bool AFillAll,
                         TcxEditBackgroundPaintingStyle ABackgroundStyle);

void cxEditPaintUtilsUnitStart();
void cxEditPaintUtilsUnitStop();

}  // namespace tvk
