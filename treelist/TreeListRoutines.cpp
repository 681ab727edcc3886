#include "TreeListRoutines.h"

#include <algorithm>
#include <array>
#include <memory>

#include "Application.h"
#include "Forms.h"
#include "ModuleInit.h"
#include "ResStrings.h"
#include "TreeListResources.h"
#include "dxUtils.h"

namespace tvk {

namespace {

constexpr std::array<const wchar_t*, 5> kIndicatorBitmaps = {L"DXGRID_ARROW", L"DXGRID_EDIT", L"DXGRID_INSERT",
                                                              L"DXGRID_MULTIDOT", L"DXGRID_MULTIARROW"};

struct TCursorRow {
  const wchar_t* Resource;
  TCursor Id;
};
constexpr std::array<TCursorRow, 10> kCursors = {{
    {L"DXTLDELETECURSOR", crdxTreeListDeleteCursor},
    {L"DXTL_FULLSCROLLCURSOR", crdxTreeListFullScroll},
    {L"DXTL_HORSCROLLCURSOR", crdxTreeListHorScroll},
    {L"DXTL_VERSCROLLCURSOR", crdxTreeListVerScroll},
    {L"DXTL_UPSCROLLCURSOR", crdxTreeListUpScroll},
    {L"DXTL_RIGHTSCROLLCURSOR", crdxTreeListRightScroll},
    {L"DXTL_DOWNSCROLLCURSOR", crdxTreeListDownScroll},
    {L"DXTL_LEFTSCROLLCURSOR", crdxTreeListLeftScroll},
    {L"DXTL_DRAGCOPY", crdxTreeListDragCopy},
    {L"DXTL_MULTIDRAGCOPY", crdxTreeListMultiDragCopy},
}};

constexpr int kHorzScrollStep = 32;

int gStartCount = 0;
std::unique_ptr<TImageList> gIndicatorImages;
std::unique_ptr<TBitmap> gWorkBitmap;

// The screen context of the unit, released when the unit shuts down.
struct TScreenDC {
  HDC Handle = nullptr;
  ~TScreenDC() { Release(); }
  void Release() {
    if (Handle) ReleaseDC(nullptr, Handle);
    Handle = nullptr;
  }
} gScreenDC;

WideString LoadText(UINT identifier) {
  TResStringRec rec(identifier);
  return LoadResString(&rec);
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  const TGdiObject brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush);
}

// The tree list of a timer's window, or null.
TCustomdxTreeList* TreeListOf(HWND window) {
  return dynamic_cast<TCustomdxTreeList*>(TWinControl::FindControl(window));
}

void StopTimer(HWND window, INT_PTR& id) {
  if (id != -1) KillTimer(window, UINT_PTR(id));
  id = -1;
}

}  // namespace

TTreeListUnitState& TreeListUnitState() {
  static TTreeListUnitState state;
  return state;
}

TImageList* GetIndicatorImages() {
  if (!gIndicatorImages) {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(ClassLibraryInstance(), kIndicatorBitmaps[0]);
    auto images = std::make_unique<TImageList>(nullptr);
    images->SetSize(bitmap.Width(), bitmap.Height());
    images->AddMasked(bitmap, clWhite);
    for (std::size_t i = 1; i < kIndicatorBitmaps.size(); ++i) {
      bitmap.LoadFromResourceName(ClassLibraryInstance(), kIndicatorBitmaps[i]);
      images->AddMasked(bitmap, clWhite);
    }
    gIndicatorImages = std::move(images);
  }
  return gIndicatorImages.get();
}

TBitmap* TreeListWorkBitmap() { return gWorkBitmap.get(); }
HDC TreeListScreenDC() { return gScreenDC.Handle; }

void DrawImageCentered(TCanvas& canvas, const RECT& rect, TCustomImageList* images, int index) {
  if (!images || index < 0 || index >= images->Count()) return;
  int x = (rect.left + rect.right - images->Width() + 1) / 2;
  int y = (rect.top + rect.bottom - images->Height() + 1) / 2;
  images->Draw(canvas, x, y, index, true);
}

// ---- timers

void CALLBACK HorzScrollTimer(HWND window, UINT, UINT_PTR, DWORD) {
  TCustomdxTreeList* tree = TreeListOf(window);
  CallGuarded(tree, [&] {
    TTreeListUnitState& state = TreeListUnitState();
    TdxTreeListState s = tree ? tree->State() : tsNormal;
    if (!tree || (s != tsColumnDragging && s != tsNodeDragging && s != tsBandDragging && !tree->FDragObject)) {
      StopTimer(window, state.HorzScrollTimerId);
      return;
    }
    RECT area;
    tree->GetScrollingArea(area);
    int visible = int(area.right - area.left);
    int left = tree->LeftCoord();
    if (state.ScrollLeft && left > 0) {
      tree->SetLeftCoord(left - kHorzScrollStep);
    } else if (!state.ScrollLeft && left < tree->GetScrollingWidth() - visible) {
      tree->SetLeftCoord(left + kHorzScrollStep);
    } else {
      return;
    }
    tree->UpdateNow();
  });
}

void CALLBACK VertScrollTimer(HWND window, UINT, UINT_PTR, DWORD) {
  TCustomdxTreeList* tree = TreeListOf(window);
  CallGuarded(tree, [&] {
    TTreeListUnitState& state = TreeListUnitState();
    if (!tree || (tree->State() != tsNodeDragging && !tree->FDragObject)) {
      StopTimer(window, state.VertScrollTimerId);
      return;
    }
    POINT p;
    GetCursorPos(&p);
    if (WindowFromPoint(p) != window) return;
    tree->SetFocusedNumber(tree->FocusedNumber() + (state.ScrollUp ? -1 : 1));
    tree->UpdateNow();
  });
}

void CALLBACK MouseSelectScrollTimer(HWND window, UINT, UINT_PTR, DWORD) {
  TCustomdxTreeList* tree = TreeListOf(window);
  CallGuarded(tree, [&] {
    TTreeListUnitState& state = TreeListUnitState();
    if (!tree || tree->State() != tsNodeDown) {
      StopTimer(window, state.VertScrollTimerId);
      return;
    }
    tree->SetFocusedNumber(tree->FocusedNumber() + (state.ScrollUp ? -1 : 1));
  });
}

// ---- drawing

void DrawTreeButton(TCanvas& canvas, const RECT& rect, int centerY, HBRUSH brush, bool collapsed) {
  HDC dc = canvas.Handle();
  int left = (rect.left + rect.right - 9) / 2;
  int top = centerY - 4;
  RECT box{left, top, left + 9, top + 9};
  FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
  HBRUSH ink = brush ? brush : GetSysColorBrush(COLOR_WINDOWTEXT);
  RECT bar{left + 2, top + 4, left + 7, top + 5};
  FillRect(dc, &bar, ink);
  if (collapsed) {
    RECT upright{left + 4, top + 2, left + 5, top + 7};
    FillRect(dc, &upright, ink);
  }
}

void DrawFlatTreeButton(HDC dc, const RECT& rect, bool collapsed) {
  int left = (rect.left + rect.right - 11) / 2;
  int top = (rect.top + rect.bottom - 11) / 2;
  RECT box{left, top, left + 11, top + 11};
  FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &box, GetSysColorBrush(COLOR_3DDKSHADOW));
  HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
  RECT bar{left + 3, top + 5, left + 8, top + 6};
  FillRect(dc, &bar, ink);
  if (collapsed) {
    RECT upright{left + 5, top + 3, left + 6, top + 8};
    FillRect(dc, &upright, ink);
  }
}

void DrawSortMark(HDC dc, const RECT& rect, bool up) {
  constexpr int kWidth = 8, kHeight = 7;
  int x = (rect.left + rect.right - kWidth) / 2;
  int y = (rect.top + rect.bottom - kHeight) / 2;
  const TGdiObject shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
  const TGdiObject light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
  HGDIOBJ old = SelectObject(dc, shadow.Get());
  if (up) {
    // Lit from the top left: the side facing it in shadow, the others lit.
    POINT left[] = {{x + kWidth / 2 - 1, y}, {x, y + kHeight - 1}};
    Polyline(dc, left, 2);
    SelectObject(dc, light.Get());
    POINT rest[] = {{x, y + kHeight - 1}, {x + kWidth - 1, y + kHeight - 1}, {x + kWidth / 2, y}};
    Polyline(dc, rest, 3);
  } else {
    POINT top[] = {{x + kWidth - 1, y}, {x, y}, {x + kWidth / 2 - 1, y + kHeight - 1}};
    Polyline(dc, top, 3);
    SelectObject(dc, light.Get());
    POINT right[] = {{x + kWidth / 2, y + kHeight - 1}, {x + kWidth - 1, y}};
    Polyline(dc, right, 2);
  }
  SelectObject(dc, old);
}

void DrawDropDownGlyph(HDC dc, const RECT& rect, int state) {
  RECT box = rect;
  FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
  InflateRect(&box, -1, -1);
  int face = (state & 4) ? COLOR_BTNTEXT : (state & 2) ? COLOR_BTNSHADOW : COLOR_BTNFACE;
  FillRect(dc, &box, GetSysColorBrush(face));
  COLORREF ink = (state & 6) ? GetSysColor(COLOR_WINDOW) : (state & 8) ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT);
  int width = int(rect.right - rect.left + 1) / 2;
  if (width % 2 == 0) ++width;
  int height = (width + 1) / 2;
  int x = (rect.left + rect.right - width) / 2;
  int y = (rect.top + rect.bottom - height) / 2;
  for (int row = 0; row < height; ++row) {
    RECT line{x + row, y + row, x + width - row, y + row + 1};
    FillSolid(dc, line, ink);
  }
}

void DrawHeaderFrame(HDC dc, RECT& rect, HBRUSH brush, TdxLookAndFeel look, int kind, bool pushed) {
  if (look == lfStandard) {
    DrawEdge(dc, &rect, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    if (!pushed) {
      DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
      DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
    } else {
      DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
    }
    FillRect(dc, &rect, brush);
    return;
  }
  if (kind >= 1 && kind <= 3) {
    FillRect(dc, &rect, brush);
    RECT line = rect;
    if (look == lfUltraFlat) {
      DrawEdge(dc, &line, BDR_SUNKENOUTER, BF_TOP | BF_BOTTOM | BF_FLAT);
    } else {
      DrawEdge(dc, &line, BDR_RAISEDINNER, BF_TOP | BF_BOTTOM);
      int inset = kind == 2 ? 1 : 2;
      RECT left{rect.left, rect.top + inset, rect.right, rect.bottom - inset};
      DrawEdge(dc, &left, BDR_RAISEDINNER, BF_LEFT);
    }
    RECT right = rect;
    if (kind == 1) {
      right.bottom -= 1;
    } else {
      right.top += 2;
      right.bottom -= 2;
    }
    DrawEdge(dc, &right, BDR_RAISEDINNER, BF_RIGHT | (look == lfUltraFlat ? BF_FLAT : 0));
    InflateRect(&rect, -2, -1);
    return;
  }
  if (look == lfUltraFlat) {
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&rect, -1, -1);
  } else {
    DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  }
  FillRect(dc, &rect, brush);
  InflateRect(&rect, -1, 0);
}

void DrawHeaderButton(HDC dc, RECT& rect, HBRUSH brush, TdxLookAndFeel look, int kind, bool pushed) {
  RECT cell = rect;
  DrawHeaderFrame(dc, rect, brush, look, kind, pushed);
  if (look != lfStandard && pushed) InvertRect(dc, &cell);
}

void DrawHeaderCell(HDC dc, RECT rect, HBRUSH brush, int dropDownState, TdxLookAndFeel look, int kind,
                    TBitmap* glyph, TdxTreeListColumnSort sorted, TAlignment alignment, bool multiLine,
                    bool pushed, const WideString& text) {
  RECT cell = rect;
  DrawHeaderFrame(dc, rect, brush, look, kind, pushed);
  RECT area = rect;
  if (look == lfStandard && pushed) {
    OffsetRect(&area, 3, 3);
    area.bottom -= 3;
    area.right -= 3;
  } else {
    InflateRect(&area, -1, -1);
  }
  area.bottom -= 1;
  if (dropDownState != 0 && area.right - area.left > 14) {
    RECT button{area.right - 15, area.top, area.right, area.bottom};
    DrawDropDownGlyph(dc, button, dropDownState);
    area.right -= 15;
  }
  if (sorted != csNone && area.right - area.left > 15) {
    RECT mark{area.right - 16, area.top, area.right, area.bottom};
    DrawSortMark(dc, mark, sorted == csUp);
    area.right -= 16;
  }
  if (glyph && !glyph->Empty()) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    RECT place{area.left, (area.top + area.bottom - glyph->Height()) / 2, area.left + glyph->Width(), 0};
    place.bottom = place.top + glyph->Height();
    glyph->Draw(canvas, place);
    canvas.SetHandle(nullptr);
    area.left += glyph->Width();
  }
  UINT flags = multiLine ? DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK
                         : DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
  flags |= alignment == TAlignment::taRightJustify ? DT_RIGHT : alignment == TAlignment::taCenter ? DT_CENTER : DT_LEFT;
  if (!multiLine) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    if (size.cx <= area.right - area.left) flags |= DT_NOCLIP;
  }
  int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), int(text.size()), &area, flags);
  SetBkMode(dc, oldMode);
  (void)cell;
}

namespace {

UINT AlignmentFlag(TAlignment alignment) {
  return alignment == TAlignment::taRightJustify ? DT_RIGHT : alignment == TAlignment::taCenter ? DT_CENTER : DT_LEFT;
}

// The destination's font and text colour on a bitmap's context, for drawing that is copied there.
void TakeTextState(HDC from, HDC to) {
  SelectObject(to, GetCurrentObject(from, OBJ_FONT));
  SetTextColor(to, GetTextColor(from));
  SetBkColor(to, GetBkColor(from));
}

// Draws Paint at the origin of Bitmap (grown to the cell) and copies the cell to Dc.
template <class P>
void DrawBuffered(HDC dc, const RECT& rect, TBitmap& bitmap, P&& paint) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return;
  EnsureBitmapSize(bitmap, width, height);
  HDC bitmapDC = bitmap.Canvas().Handle();
  HGDIOBJ oldFont = GetCurrentObject(bitmapDC, OBJ_FONT);
  TakeTextState(dc, bitmapDC);
  paint(bitmapDC, RECT{0, 0, width, height});
  SelectObject(bitmapDC, oldFont);
  BitBlt(dc, rect.left, rect.top, width, height, bitmapDC, 0, 0, SRCCOPY);
}

}  // namespace

void DrawHeaderCellBuffered(HDC dc, const RECT& rect, const RECT& clip, TBitmap& bitmap, HBRUSH brush,
                            int dropDownState, TdxLookAndFeel look, int kind, TBitmap* glyph,
                            TdxTreeListColumnSort sorted, TAlignment alignment, bool multiLine, bool pushed,
                            const WideString& text) {
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || clip.right <= clip.left || clip.bottom <= clip.top) return;
  EnsureBitmapSize(bitmap, width, height);
  HDC bitmapDC = bitmap.Canvas().Handle();
  HGDIOBJ oldFont = GetCurrentObject(bitmapDC, OBJ_FONT);
  TakeTextState(dc, bitmapDC);
  RECT cell{0, 0, width, height};
  DrawHeaderCell(bitmapDC, cell, brush, dropDownState, look, kind, glyph, sorted, alignment, multiLine, pushed, text);
  if (pushed && look != lfStandard) InvertRect(bitmapDC, &cell);
  SelectObject(bitmapDC, oldFont);
  BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, bitmapDC, clip.left - rect.left,
         clip.top - rect.top, SRCCOPY);
}

void DrawCellText(HDC dc, const RECT& rect, const TdxCellTextParams& params) {
  FillRect(dc, &rect, params.Brush);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT area = rect;
  InflateRect(&area, -2, params.MultiLine ? -2 : -1);
  UINT flags = params.MultiLine ? DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK
                                : DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
  if (params.EndEllipsis) flags |= DT_END_ELLIPSIS;
  if (params.PathEllipsis) flags |= DT_PATH_ELLIPSIS;
  flags |= AlignmentFlag(params.Alignment);
  int length = std::min(params.TextLength > 0 ? params.TextLength : int(params.Text.size()), int(params.Text.size()));
  DrawTextW(dc, params.Text.c_str(), length, &area, flags);
  SetBkMode(dc, oldMode);
}

void DrawPanelCellText(HDC dc, const RECT& rect, const TdxCellTextParams& params) {
  COLORREF textColor = GetTextColor(dc);
  bool ellipsis = params.EndEllipsis || params.PathEllipsis;
  if (!params.Opaque && (ellipsis || GetNearestColor(dc, textColor) != textColor)) {
    if (params.UseBitmap && params.DrawBitmap)
      DrawBuffered(dc, rect, *params.DrawBitmap,
                   [&](HDC target, const RECT& cell) { DrawCellText(target, cell, params); });
    else
      DrawCellText(dc, rect, params);
    return;
  }
  // Written directly: 2 pixels at the right (and at the left unless left
  // aligned) stay free of text.
  int length = std::min(params.TextLength > 0 ? params.TextLength : int(params.Text.size()), int(params.Text.size()));
  SIZE size{};
  GetTextExtentPoint32W(dc, params.Text.c_str(), length, &size);
  bool left = params.Alignment == TAlignment::taLeftJustify;
  RECT textRect{rect.left + (left ? 0 : 2), rect.top, rect.right - 2, rect.bottom};
  int x = left ? rect.left + 2
               : params.Alignment == TAlignment::taRightJustify ? int(textRect.right) - size.cx
                                                                : int(rect.left + rect.right - size.cx) / 2;
  int y = rect.top + (params.MultiLine ? 2 : 1);
  UINT options = ETO_CLIPPED;
  int oldMode = 0;
  if (params.Opaque) {
    oldMode = SetBkMode(dc, OPAQUE);
  } else {
    options |= ETO_OPAQUE;
    SetBkColor(dc, ColorToRGB(params.Color));
  }
  ExtTextOutW(dc, x, y, options, &textRect, params.Text.c_str(), UINT(length), nullptr);
  if (params.Opaque) {
    SetBkMode(dc, oldMode);
    return;
  }
  RECT right{textRect.right, rect.top, rect.right, rect.bottom};
  FillRect(dc, &right, params.Brush);
  if (!left) {
    RECT leftStrip{rect.left, rect.top, textRect.left, rect.bottom};
    FillRect(dc, &leftStrip, params.Brush);
  }
}

void DrawPreviewText(HDC dc, const RECT& rect, const TdxPreviewTextParams& params) {
  FillRect(dc, &rect, params.Brush);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  RECT area = rect;
  InflateRect(&area, -1, -1);
  area.left += params.Indent;
  COLORREF oldColor = SetTextColor(dc, ColorToRGB(params.TextColor));
  HGDIOBJ oldFont = params.Font ? SelectObject(dc, params.Font) : nullptr;
  DrawTextW(dc, params.Text.c_str(), int(params.Text.size()), &area,
            DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  if (oldFont) SelectObject(dc, oldFont);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

void DrawPreviewTextBuffered(HDC dc, const RECT& rect, const TdxPreviewTextParams& params, TBitmap* bitmap) {
  if (!bitmap) {
    DrawPreviewText(dc, rect, params);
    return;
  }
  DrawBuffered(dc, rect, *bitmap, [&](HDC target, const RECT& cell) { DrawPreviewText(target, cell, params); });
}

void DrawFooterCellFrame(HDC dc, RECT& rect, HBRUSH brush) {
  DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
  FillRect(dc, &rect, brush);
  InflateRect(&rect, -1, 0);
}

void DrawFocusFrame(HDC dc, const RECT& rect) {
  COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
  COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &rect);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
}

void InvertFrame(HDC dc, const RECT& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  RECT top{rect.left, rect.top, rect.right, rect.top + 1};
  InvertRect(dc, &top);
  if (rect.bottom - rect.top > 1) {
    RECT bottom{rect.left, rect.bottom - 1, rect.right, rect.bottom};
    InvertRect(dc, &bottom);
  }
  if (rect.bottom - rect.top > 2) {
    RECT left{rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1};
    InvertRect(dc, &left);
    if (rect.right - rect.left > 1) {
      RECT right{rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1};
      InvertRect(dc, &right);
    }
  }
}

// ---- start-up and shut-down

bool TreeListUnitStartup() {
  if (gStartCount++ > 0) return true;
  for (const TCursorRow& row : kCursors)
    Screen().SetCursors(row.Id, LoadCursorFromData(ClassLibraryInstance(), row.Resource, L"TREELISTCURSOR"));
  TTreeListUnitState& state = TreeListUnitState();
  state.HorzScrollTimerId = state.VertScrollTimerId = state.ClickHoverEditTimerId = -1;
  gWorkBitmap = std::make_unique<TBitmap>();
  state.CustomizeText = LoadText(IDS_dxTreeListCustomize);
  state.BandsText = LoadText(IDS_dxTreeListBands);
  state.HeadersText = LoadText(IDS_dxTreeListHeaders);
  gScreenDC.Handle = GetDC(nullptr);
  return true;
}

void TreeListUnitShutdown() {
  if (gStartCount == 0) return;
  gStartCount = 0;
  gIndicatorImages.reset();
  gWorkBitmap.reset();
  gScreenDC.Release();
  for (const TCursorRow& row : kCursors) Screen().SetCursors(row.Id, nullptr);
}

}  // namespace tvk
