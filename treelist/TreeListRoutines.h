#pragma once
// The tree list's module-wide state and routines: indicator images, cursors,
// the drag and selection scroll timers, and the drawing of header cells,
// tree buttons, sort marks and frames.
#include "Graphics.h"
#include "ImageLists.h"
#include "TreeList.h"

namespace tvk {

// Cursor numbers put into the screen's cursor table at start-up.
constexpr TCursor crdxTreeListDeleteCursor = -1124;
constexpr TCursor crdxTreeListFullScroll = -1131;
constexpr TCursor crdxTreeListHorScroll = -1132;
constexpr TCursor crdxTreeListVerScroll = -1133;
constexpr TCursor crdxTreeListUpScroll = -1134;
constexpr TCursor crdxTreeListRightScroll = -1135;
constexpr TCursor crdxTreeListDownScroll = -1136;
constexpr TCursor crdxTreeListLeftScroll = -1137;
constexpr TCursor crdxTreeListDragCopy = -1138;
constexpr TCursor crdxTreeListMultiDragCopy = -1139;

// Module-wide state shared by every tree list (user-interface thread only).
struct TTreeListUnitState {
  // Window-timer identifiers, -1 while stopped.
  INT_PTR HorzScrollTimerId = -1;
  INT_PTR VertScrollTimerId = -1;
  INT_PTR ClickHoverEditTimerId = -1;
  bool ScrollLeft = false;  // the horizontal drag scroll moves left
  bool ScrollUp = false;    // the vertical drag scroll moves up
  WideString CustomizeText, BandsText, HeadersText;
};
TTreeListUnitState& TreeListUnitState();

// The indicator image list, built on first use (null before start-up's resources load).
TImageList* GetIndicatorImages();
// The scratch bitmap of buffered drawing; null outside start-up and shut-down.
TBitmap* TreeListWorkBitmap();
// The screen context used for measuring; null outside start-up and shut-down.
HDC TreeListScreenDC();

void DrawImageCentered(TCanvas& canvas, const RECT& rect, TCustomImageList* images, int index);

// Window-timer callbacks: each finds its tree list by the window.
void CALLBACK HorzScrollTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
void CALLBACK VertScrollTimer(HWND window, UINT message, UINT_PTR id, DWORD time);
void CALLBACK MouseSelectScrollTimer(HWND window, UINT message, UINT_PTR id, DWORD time);

void DrawTreeButton(TCanvas& canvas, const RECT& rect, int centerY, HBRUSH brush, bool collapsed);
void DrawFlatTreeButton(HDC dc, const RECT& rect, bool collapsed);
void DrawSortMark(HDC dc, const RECT& rect, bool up);
void DrawDropDownGlyph(HDC dc, const RECT& rect, int state);
// Kind: 0 a header cell, 1 to 3 the panel buttons and band cells of the flat looks.
void DrawHeaderFrame(HDC dc, RECT& rect, HBRUSH brush, TdxLookAndFeel look, int kind, bool pushed);
void DrawHeaderButton(HDC dc, RECT& rect, HBRUSH brush, TdxLookAndFeel look, int kind, bool pushed);
void DrawHeaderCell(HDC dc, RECT rect, HBRUSH brush, int dropDownState, TdxLookAndFeel look, int kind,
                    TBitmap* glyph, TdxTreeListColumnSort sorted, TAlignment alignment, bool multiLine,
                    bool pushed, const WideString& text);
// Draws through Bitmap (grown to the cell) with the destination's font and
// text colour, then copies the part Clip of the cell to Dc.
void DrawHeaderCellBuffered(HDC dc, const RECT& rect, const RECT& clip, TBitmap& bitmap, HBRUSH brush,
                            int dropDownState, TdxLookAndFeel look, int kind, TBitmap* glyph,
                            TdxTreeListColumnSort sorted, TAlignment alignment, bool multiLine, bool pushed,
                            const WideString& text);
void DrawFooterCellFrame(HDC dc, RECT& rect, HBRUSH brush);

// The text of a cell, a footer or a row-footer cell.
struct TdxCellTextParams {
  HBRUSH Brush = nullptr;
  bool Opaque = false;        // glyph backgrounds only, the rest of the cell left as it is
  bool InvertSelect = false;
  bool UseBitmap = false;     // buffered in DrawBitmap
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool PathEllipsis = false;
  bool EndEllipsis = false;
  bool MultiLine = false;
  WideString Text;
  int TextLength = 0;         // characters drawn
  TBitmap* DrawBitmap = nullptr;
  TColor Color = clWindow;    // the cell's background
};
using TdxPanelCellTextParams = TdxCellTextParams;

struct TdxPreviewTextParams {
  HBRUSH Brush = nullptr;
  int Indent = 0;
  WideString Text;
  TColor TextColor = clBlue;
  HFONT Font = nullptr;
};

void DrawCellText(HDC dc, const RECT& rect, const TdxCellTextParams& params);
void DrawPanelCellText(HDC dc, const RECT& rect, const TdxCellTextParams& params);
void DrawPreviewText(HDC dc, const RECT& rect, const TdxPreviewTextParams& params);
// Through Bitmap when one is given.
void DrawPreviewTextBuffered(HDC dc, const RECT& rect, const TdxPreviewTextParams& params, TBitmap* bitmap);
void DrawFocusFrame(HDC dc, const RECT& rect);
void InvertFrame(HDC dc, const RECT& rect);

// The unit's start-up and shut-down, counted: each runs its steps once.
// The unit's start-up runs its steps once however often it is entered;
// shut-down frees what it made.
bool TreeListUnitStartup();
void TreeListUnitShutdown();

}  // namespace tvk
