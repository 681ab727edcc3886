#include "cxEditViewInfo.h"

#include "HintWindow.h"
#include "dxOffice11.h"

#include "cxControls.h"
#include "cxGeometry.h"
#include "cxLookAndFeelPainters.h"
#include "dxCore.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

#include <algorithm>
#include <optional>

namespace tvk {

namespace {

bool IsEmptyRect(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }

// The margins of a themed element's content in a 100-pixel box (zero without a theme).
RECT ThemedContentMargins(HDC ADC, TdxThemedObjectType AType, int APart, int AState) {
  const RECT bounds{0, 0, 100, 100};
  RECT content = bounds;
  if (HTHEME theme = GetThemeHandleForType(AType))
    if (FAILED(GetThemeBackgroundContentRect(theme, ADC, APart, AState, bounds, content))) content = bounds;
  return RECT{content.left, content.top, 100 - content.right, 100 - content.bottom};
}

TcxCustomLookAndFeelPainter* RegisteredPainter(TcxLookAndFeelStyle AStyle) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  return manager ? manager->GetPainter(AStyle) : nullptr;
}

// Saves the canvas's DC for a scope (restored also when painting raises).
class TSavedCanvasDC {
public:
  explicit TSavedCanvasDC(TcxCanvas& ACanvas) : FCanvas(ACanvas) { FCanvas.SaveDC(); }
  ~TSavedCanvasDC() { FCanvas.RestoreDC(); }
  TSavedCanvasDC(const TSavedCanvasDC&) = delete;
  TSavedCanvasDC& operator=(const TSavedCanvasDC&) = delete;

private:
  TcxCanvas& FCanvas;
};

}  // namespace

// ---- The paint routines that read editor objects

int GetEditButtonWidth(TcxCanvas& ACanvas, TcxEditButtonViewInfo& AButtonViewInfo) {
  TcxEditButtonViewInfoData& data = AButtonViewInfo.Data;
  const TdxThemedObjectType type = data.ComboBoxStyle ? totComboBox : totButton;
  if (data.NativeStyle) data.NativeStyle = CanUseThemedDrawing(true, type);
  int allowance = 4;
  if (data.NativeStyle) {
    const RECT margins = ThemedContentMargins(ACanvas.Handle(), type, 1, 1);
    allowance = margins.left + margins.right;
  }
  if (AButtonViewInfo.Width > 0) return std::max(AButtonViewInfo.Width, allowance);
  if (data.Kind == bkGlyph && IsBitmapNonEmpty(AButtonViewInfo.Glyph)) return AButtonViewInfo.Glyph->Width() + allowance;
  if (data.Kind == bkGlyph && IsImageIndexValid(AButtonViewInfo.Images, AButtonViewInfo.ImageIndex))
    return allowance + AButtonViewInfo.Images->Width();
  const int width = data.Kind == bkText ? allowance + ACanvas.TextWidth(data.VisibleCaption) + 3 : 0;
  return std::max(width, GetSystemMetrics(SM_CYHSCROLL));
}

int NativeContentHeightCorrection(TcxCustomEditProperties& AProperties, bool AIsInplace) {
  return AIsInplace && AProperties.Buttons().Count() > 0 ? 1 : 0;
}

bool EditViewDataHasShadow(TcxCustomEditViewData& AViewData) {
  return AViewData.Style().Shadow() && !TcxCustomEditViewData::IsNativeStyle(AViewData.Style().LookAndFeel());
}

void PaintEditBackground(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo, bool AFillAll,
                         TcxEditBackgroundPaintingStyle ABackgroundStyle) {
  TcxCustomEditViewInfo& v = AViewInfo;
  {
    TSavedCanvasDC saved(ACanvas);
    const bool buttonsOverBackground = v.ButtonCount() > 0 && v.Button(0).Data.BackgroundPartiallyTransparent;
    if (!buttonsOverBackground)
      for (const auto& button : v.ButtonsInfo) ACanvas.ExcludeClipRect(button->VisibleBounds);
    HBRUSH brush = GetSolidBrush(ACanvas, v.BackgroundColor());
    if (!v.DrawBackground(ACanvas)) {
      if (v.NativeStyle) {
        v.DrawNativeStyleEditBackground(ACanvas, AFillAll, brush, ABackgroundStyle);
      } else {
        RECT r = v.BorderRect;
        const auto borderStyle = TcxContainerBorderStyle(v.BorderStyle);
        const int w = v.Painter ? v.Painter->GetContainerBorderWidth(borderStyle) : GetStandardContainerBorderWidth(borderStyle);
        r.left -= w;
        r.top -= w;
        if (v.Edges & bRight) r.right += w;
        if (v.Edges & bBottom) r.bottom += w;
        if (v.Shadow) PaintContainerShadow(ACanvas, r);
        if (!(v.Edges & bRight)) r.right += w;
        if (!(v.Edges & bBottom)) r.bottom += w;
        if (v.BorderStyle != cbsNone && v.Painter)
          v.Painter->DrawContainerBorder(ACanvas, r, borderStyle, w, v.BorderColor, v.Edges);
        const auto fill = [&](const RECT& R) {
          if (brush && !IsEmptyRect(R)) ::FillRect(ACanvas.Handle(), &R, brush);
        };
        const auto fillButtons = [&] {
          if (v.Transparent || !buttonsOverBackground) return;
          for (const auto& button : v.ButtonsInfo) fill(button->Bounds);
        };
        if (v.IsInplace) {
          if (!v.Transparent) {
            if (AFillAll) {
              fill(v.Bounds);
            } else {
              const RECT& b = v.Bounds;
              const RECT& i = v.BorderRect;
              if (v.HasContentOffsets) {
                fill(RECT{b.left, b.top, i.left, b.bottom});
                fill(RECT{i.left, b.top, i.right, i.top});
                fill(RECT{i.left, i.bottom, i.right, b.bottom});
                fill(RECT{i.right, b.top, b.right, b.bottom});
              }
              fillButtons();
            }
          }
        } else if (AFillAll) {
          if (!v.Transparent) fill(v.BorderRect);
        } else {
          fillButtons();
        }
      }
    }
  }
  v.DrawButtons(ACanvas);
}

// ---- TcxEditButtonViewInfo

void TcxEditButtonViewInfo::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxEditButtonViewInfo*>(&Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  Data.NativeState = source->Data.NativeState;
  Data.BackgroundColor = source->Data.BackgroundColor;
  Bounds = source->Bounds;
  Data.Style = source->Data.Style;
  Data.State = source->Data.State;
}

std::unique_ptr<TcxRegion> TcxEditButtonViewInfo::GetUpdateRegion(const TcxEditButtonViewInfo& APrev) const {
  const bool same = Data.Style == APrev.Data.Style && Data.State == APrev.Data.State &&
                    Data.BackgroundColor == APrev.Data.BackgroundColor && Data.NativeState == APrev.Data.NativeState;
  return same ? std::make_unique<TcxRegion>() : std::make_unique<TcxRegion>(Bounds);
}

bool TcxEditButtonViewInfo::Repaint(HWND AWindow, const TcxEditButtonViewInfo& APrev, POINT AEditPosition) const {
  const bool differs = Data.Style != APrev.Data.Style || Data.State != APrev.Data.State ||
                       Data.BackgroundColor != APrev.Data.BackgroundColor ||
                       Data.NativeState != APrev.Data.NativeState;
  if (differs && AWindow)
    InvalidateRectFrame(AWindow, OffsetRectBy(Bounds, AEditPosition.x, AEditPosition.y), RECT{}, HasBackground);
  return differs;
}

// ---- The shared hint window and the cached view infos

namespace {

struct TEditViewInfoCache {
  std::unique_ptr<THintWindow> HintWindow;
  TComponentClass HintWindowClass = nullptr;
  // One idle view info per class for size queries; taken out while in use.
  std::vector<std::unique_ptr<TcxCustomEditViewInfo>> SizeViewInfos;
};
TEditViewInfoCache gEditViewInfoCache;
bool gEditViewInfoCacheFreed = false;

}  // namespace

THintWindow* cxEditHintWindow() {
  if (gEditViewInfoCacheFreed) return nullptr;
  TEditViewInfoCache& cache = gEditViewInfoCache;
  if (!cache.HintWindow || cache.HintWindowClass != HintWindowClass()) {
    cache.HintWindow.reset();
    cache.HintWindowClass = HintWindowClass();
    cache.HintWindow.reset(static_cast<THintWindow*>(cache.HintWindowClass->Create(nullptr)));
  }
  return cache.HintWindow.get();
}

void FreeEditViewInfoCache() {
  gEditViewInfoCacheFreed = true;
  gEditViewInfoCache.SizeViewInfos.clear();
  gEditViewInfoCache.HintWindow.reset();
  gEditViewInfoCache.HintWindowClass = nullptr;
}

void ResetEditViewInfoCache() { gEditViewInfoCacheFreed = false; }

namespace {

// A view info of AClass for a size query: a cached idle one, else a new one.
std::unique_ptr<TcxCustomEditViewInfo> TakeSizeViewInfo(TcxCustomEditViewInfoClass AClass) {
  auto& cached = gEditViewInfoCache.SizeViewInfos;
  for (auto it = cached.begin(); it != cached.end(); ++it)
    if ((*it)->ClassType() == AClass->Info) {
      std::unique_ptr<TcxCustomEditViewInfo> viewInfo = std::move(*it);
      cached.erase(it);
      return viewInfo;
    }
  return std::unique_ptr<TcxCustomEditViewInfo>(AClass->Create());
}

void ReturnSizeViewInfo(std::unique_ptr<TcxCustomEditViewInfo> AViewInfo) {
  if (!gEditViewInfoCacheFreed) gEditViewInfoCache.SizeViewInfos.push_back(std::move(AViewInfo));
}

}  // namespace

// ---- TcxCustomEditViewInfo

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() = default;

void TcxCustomEditViewInfo::Assign(TObject* ASource) {
  if (auto* source = dynamic_cast<TcxCustomEditViewInfo*>(ASource)) {
    AssignBackgroundColor(source->BackgroundColor());
    BorderColor = source->BorderColor;
    BorderStyle = source->BorderStyle;
    ContainerState = source->ContainerState;
    NativeState = source->NativeState;
    SetButtonCount(source->ButtonCount());
    for (int i = 0; i < ButtonCount(); ++i) Button(i).Assign(source->Button(i));
    PressedButton = source->PressedButton;
    SelectedButton = source->SelectedButton;
  }
  TcxContainerViewInfo::Assign(ASource);
}

bool TcxCustomEditViewInfo::Repaint(HWND AWindow, TcxCustomEditViewInfo* APrev) {
  return Repaint(AWindow, RECT{}, APrev);
}

bool TcxCustomEditViewInfo::Repaint(HWND AWindow, const RECT& AInnerEditRect, TcxCustomEditViewInfo* APrev) {
  if (!AWindow) return false;
  const RECT r = OffsetRectBy(Bounds, Left, Top);
  RECT inner{};
  if (!IsEmptyRect(AInnerEditRect)) IntersectRect(&inner, &AInnerEditRect, &ClientRect);
  if (!APrev) {
    InvalidateRectFrame(AWindow, r, inner, HasBackground);
    return false;
  }
  RECT frameInner{};
  bool invalidate = true;
  if (NativeState != APrev->NativeState || BackgroundColor() != APrev->BackgroundColor() ||
      (ContainerState != APrev->ContainerState && RepaintsOnStateChange()) || ButtonCount() != APrev->ButtonCount())
    frameInner = inner;
  else if ((BorderColor != APrev->BorderColor && BorderStyle != cbsNone) || BorderStyle != APrev->BorderStyle)
    frameInner = OffsetRectBy(BorderRect, Left, Top);
  else
    invalidate = false;
  if (invalidate && !IsEmptyRect(Bounds) && !EqualRect(&r, &frameInner))
    InvalidateRectFrame(AWindow, r, frameInner, APrev->HasBackground);
  bool repainted = false;
  if (ButtonCount() == APrev->ButtonCount())
    for (int i = 0; i < ButtonCount(); ++i)
      repainted = Button(i).Repaint(AWindow, APrev->Button(i), POINT{Left, Top}) || repainted;
  return repainted;
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas& ACanvas, POINT P, RECT& ATextRect, bool& AIsMultiLine,
                                         WideString& AText) {
  AText.clear();
  return NeedShowHint(ACanvas, P, RECT{}, ATextRect, AIsMultiLine, AText);
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas&, POINT P, const RECT&, RECT& ATextRect, bool& AIsMultiLine,
                                         WideString& AText) {
  ATextRect = RECT{};
  AIsMultiLine = false;
  AText.clear();
  const int index = GetPartIndexAt(POINT{P.x - Left, P.y - Top});
  if (index < 0) return false;
  const WideString& hint = Button(index).Data.Hint;
  AText = hint.substr(0, hint.find(L'|'));
  if (AText.empty()) return false;
  if (THintWindow* window = cxEditHintWindow()) {
    ATextRect = window->CalcHintRect(GetSystemMetrics(SM_CXSCREEN), AText);
    OffsetRect(&ATextRect, P.x, P.y + GetCurrentCursorSize().cy);
  }
  return true;
}

void TcxCustomEditViewInfo::SetButtonCount(int ACount) {
  ACount = std::max(ACount, 0);
  while (int(ButtonsInfo.size()) > ACount) ButtonsInfo.pop_back();
  while (int(ButtonsInfo.size()) < ACount) ButtonsInfo.push_back(std::make_unique<TcxEditButtonViewInfo>());
}

void TcxCustomEditViewInfo::Paint(TcxCanvas& ACanvas) {
  if (OnPaint) OnPaint(this, ACanvas);
  TcxContainerViewInfo::Paint(ACanvas);
}

void TcxCustomEditViewInfo::PaintEx(TcxCanvas& ACanvas) {
  POINT old{};
  GetWindowOrgEx(ACanvas.Handle(), &old);
  SetWindowOrgEx(ACanvas.Handle(), old.x - Left, old.y - Top, nullptr);
  struct TRestore {
    HDC DC;
    POINT Org;
    ~TRestore() { SetWindowOrgEx(DC, Org.x, Org.y, nullptr); }
  } restore{ACanvas.Handle(), old};
  Paint(ACanvas);
}

void TcxCustomEditViewInfo::InternalDrawBackground(TcxCanvas& ACanvas) { PaintEditBackground(ACanvas, *this, true, bpsSolid); }

bool TcxCustomEditViewInfo::DrawBackground(TcxCanvas& ACanvas) {
  if (!IsInplace || !OnDrawBackground) return false;
  bool handled = false;
  OnDrawBackground(this, ACanvas, handled);
  return handled;
}

bool TcxCustomEditViewInfo::IsBackgroundTransparent() {
  // Stand-alone without an editor: a custom background is never asked for.
  int mode;
  if (IsInplace)
    mode = IsCustomBackground() ? 0 : Transparent ? 2 : 3;
  else
    mode = Transparent ? 4 : !NativeStyle ? 1 : 3;
  return mode != 1 && mode != 3;
}

void TcxCustomEditViewInfo::DrawNativeStyleEditBackground(TcxCanvas& ACanvas, bool AFillAll, HBRUSH ABrush,
                                                          TcxEditBackgroundPaintingStyle ABackgroundStyle) {
  const bool vista = IsWinVistaOrLater;
  const bool framed = !IsInplace && BorderStyle != cbsNone;
  RECT content = Bounds;
  if (framed) {
    TdxThemedObjectType type = totEdit;
    int part = vista ? 6 : 1;
    RECT themeRect = Bounds;
    if (ABackgroundStyle == bpsComboListEdit && vista) {
      type = totButton;
      part = 1;
      InflateRect(&themeRect, 1, 1);
    }
    HTHEME theme = GetThemeHandleForType(type);
    switch (ABackgroundStyle) {
      case bpsSolid:
        if (vista) {
          InflateRect(&content, -2, -2);
        } else if (!theme || FAILED(GetThemeBackgroundContentRect(theme, ACanvas.Handle(), part, NativeState, Bounds, content))) {
          content = Bounds;
        }
        break;
      case bpsComboEdit:
        InflateRect(&content, -3, -3);
        --content.right;
        break;
      case bpsComboListEdit:
        content = vista ? RECT{} : ClientRect;
        break;
    }
    if (theme) {
      TSavedCanvasDC saved(ACanvas);
      if (!IsEmptyRect(content)) ACanvas.ExcludeClipRect(content);
      if (IsThemeBackgroundPartiallyTransparent(theme, part, NativeState))
        DrawThemeParentBackground(nullptr, ACanvas.Handle(), &themeRect);
      DrawThemeBackground(theme, ACanvas.Handle(), part, NativeState, themeRect);
    }
  }
  if (Transparent || !ABrush) return;
  if (!AFillAll && framed) {
    if (ABackgroundStyle == bpsComboListEdit) return;
    TcxRegion frame(BorderRect);
    TcxRegion inner(content);
    CombineRgn(frame.Handle(), frame.Handle(), inner.Handle(), RGN_DIFF);
    FillRgn(ACanvas.Handle(), frame.Handle(), ABrush);
  } else if (!IsEmptyRect(content)) {
    ::FillRect(ACanvas.Handle(), &content, ABrush);
  }
}

void TcxCustomEditViewInfo::DrawButtons(TcxCanvas& ACanvas) {
  if (FPaintingButtons) return;
  FPaintingButtons = true;
  struct TEnd {
    bool& Flag;
    ~TEnd() { Flag = false; }
  } end{FPaintingButtons};
  for (int i = 0; i < ButtonCount(); ++i) DrawButton(ACanvas, i);
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas& ACanvas, int AVisibleIndex) {
  TcxEditButtonViewInfo& button = Button(AVisibleIndex);
  button.Data.BackgroundColor = BackgroundColor();
  if (IsEmptyRect(button.VisibleBounds)) return;
  const RECT& b = button.Bounds;
  const bool clipped = b.left < BorderRect.left || b.top < BorderRect.top || b.right > BorderRect.right ||
                       b.bottom > BorderRect.bottom;
  std::optional<TSavedCanvasDC> saved;
  if (clipped) {
    saved.emplace(ACanvas);
    ACanvas.IntersectClipRect(button.VisibleBounds);
  }
  bool handled = false;
  if (OnDrawButton) OnDrawButton(this, ACanvas, AVisibleIndex, handled);
  if (!handled) InternalDrawButton(ACanvas, AVisibleIndex);
}

void TcxCustomEditViewInfo::InternalDrawButton(TcxCanvas& ACanvas, int AIndex) {
  TcxEditButtonViewInfo& button = Button(AIndex);
  const RECT& b = button.Bounds;
  const int width = b.right - b.left, height = b.bottom - b.top;
  if (width <= 0 || height <= 0) return;
  // Drawn on a 24-bit copy of what lies under the button, then copied back.
  TcxBitmap bitmap(width, height, TPixelFormat::pf24bit);
  TcxCanvas& canvas = bitmap.cxCanvas();
  BitBlt(canvas.Handle(), 0, 0, width, height, ACanvas.Handle(), b.left, b.top, SRCCOPY);
  SetWindowOrgEx(canvas.Handle(), b.left, b.top, nullptr);
  canvas.Font().Assign(ACanvas.Font());
  TColor brushColor = clBtnFace, penColor = clBtnText;
  RECT content{}, background = b;
  DrawButtonBorder(canvas, AIndex, brushColor, penColor, content, background);
  if (!IsEmptyRect(background)) DrawButtonBackground(canvas, AIndex, brushColor, background);
  if (!IsEmptyRect(content)) DrawButtonContent(canvas, AIndex, button.Data.State == ebsPressed, brushColor, penColor, content);
  SetWindowOrgEx(canvas.Handle(), 0, 0, nullptr);
  BitBlt(ACanvas.Handle(), b.left, b.top, width, height, canvas.Handle(), 0, 0, SRCCOPY);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas& ACanvas, int AIndex, TColor& ABrushColor, TColor& APenColor,
                                             RECT& AContentRect, RECT& ABackgroundRect) {
  TcxEditButtonViewInfo& button = Button(AIndex);
  const TcxEditButtonViewInfoData& data = button.Data;
  RECT r = button.Bounds;
  APenColor = clBtnText;
  if (data.NativeState != 0) {
    HTHEME theme = GetThemeHandleForType(data.ComboBoxStyle ? totComboBox : totButton);
    AContentRect = RECT{};
    if (!data.ComboBoxStyle && theme &&
        FAILED(GetThemeBackgroundContentRect(theme, ACanvas.Handle(), 1, data.NativeState, r, AContentRect)))
      AContentRect = r;
    ABackgroundRect = r;
    return;
  }
  const bool pressed = data.State == ebsPressed, hot = data.State == ebsSelected;
  const bool transparentButton = data.Transparent;
  TcxEditButtonStyle style = data.Style;
  if (style == btsSimple && (pressed || hot)) style = btsFlat;
  ABrushColor = transparentButton ? data.BackgroundColor : clBtnFace;
  const auto frame = [&](TColor ALeftTop, TColor ARightBottom) {
    ACanvas.DrawComplexFrame(r, ALeftTop, ARightBottom);
    InflateRect(&r, -1, -1);
  };
  const auto edges = [&](TcxBorders AEdges, TColor AColor) { DrawEdgeLines(ACanvas, r, AEdges, AColor); };
  switch (style) {
    case btsDefault:
    case bts3D:
      if (pressed) {
        frame(clBtnShadow, clBtnShadow);
        frame(ABrushColor, ABrushColor);
      } else {
        frame(cl3DLight, cl3DDkShadow);
        frame(clBtnHighlight, clBtnShadow);
      }
      break;
    case btsFlat:
      edges(bLeft, ABrushColor);
      if (pressed)
        frame(clBtnShadow, clBtnHighlight);
      else
        frame(clBtnHighlight, clBtnShadow);
      edges(bRight, ABrushColor);
      break;
    case btsSimple:
      if (!Transparent) ACanvas.FrameRect(r, data.BackgroundColor);
      InflateRect(&r, -1, -1);
      edges(bLeft | bRight, ABrushColor);
      break;
    case btsHotFlat: {
      if (!transparentButton)
        ABrushColor = data.State == ebsPressed ? clBtnText : data.State == ebsSelected ? clBtnShadow : clBtnFace;
      const bool outer = (data.LeftAlignment && data.Rightmost) || (!data.LeftAlignment && data.Leftmost);
      if (outer) {
        frame(clBtnShadow, clBtnShadow);
      } else if (data.LeftAlignment) {
        edges(bLeft | bTop | bBottom, clBtnShadow);
        edges(bRight, ABrushColor);
      } else {
        edges(bTop | bRight | bBottom, clBtnShadow);
        edges(bLeft, ABrushColor);
      }
      edges(bLeft | bRight, ABrushColor);
      if (pressed || hot) APenColor = transparentButton && hot ? clBtnShadow : clWindow;
      break;
    }
    case btsUltraFlat:
    case btsOffice11: {
      const bool office11 = style == btsOffice11;
      if (!transparentButton) {
        if (pressed || hot)
          ABrushColor = GetEditButtonHighlightColor(pressed, office11);
        else if (data.State == ebsNormal && office11)
          if (TcxCustomLookAndFeelPainter* painter = RegisteredPainter(lfsOffice11))
            ABrushColor = painter->ButtonColor(cxbsNormal);
      }
      const TColor frameColor = GetEditButtonFrameColor(office11);
      const bool framed = data.State == ebsDisabled || data.State == ebsNormal || (!IsInplace && BorderStyle == cbsNone) ||
                          (IsInplace && !(PaintOptions & epoHasExternalBorder));
      if (framed) {
        if (pressed || hot)
          ACanvas.FrameRect(r, frameColor);
        else if (!Transparent)
          ACanvas.FrameRect(r, data.BackgroundColor);
        InflateRect(&r, -1, -1);
        ABackgroundRect = r;
        AContentRect = RECT{r.left + 1, r.top, r.right - 1, r.bottom};
        return;
      }
      // Frame-colour lines on the inner sides only.
      if (data.LeftAlignment) {
        if (data.Leftmost) ++r.left; else edges(bLeft, frameColor);
        if (r.right >= BorderRect.right) --r.right; else edges(bRight, frameColor);
      } else {
        if (data.Rightmost) --r.right; else edges(bRight, frameColor);
        if (r.left <= BorderRect.left) ++r.left; else edges(bLeft, frameColor);
      }
      ABackgroundRect = r;
      InflateRect(&r, -1, -1);
      AContentRect = r;
      return;
    }
  }
  AContentRect = r;
  ABackgroundRect = r;
}

void TcxCustomEditViewInfo::DrawButtonBackground(TcxCanvas& ACanvas, int AIndex, TColor ABrushColor, const RECT& ARect) {
  TcxEditButtonViewInfo& button = Button(AIndex);
  if (button.Data.NativeState != 0) {
    const TdxThemedObjectType type = button.Data.ComboBoxStyle ? totComboBox : totButton;
    if (HTHEME theme = GetThemeHandleForType(type)) {
      DrawThemeBackground(theme, ACanvas.Handle(), std::max(button.Data.NativePart, 1), button.Data.NativeState, ARect);
      return;
    }
  }
  const TcxEditButtonViewInfoData& data = button.Data;
  if (data.Style == btsOffice11 && data.Gradient && !data.Transparent && data.State != ebsDisabled) {
    // The scheme's button gradients by state, top to bottom.
    const bool pressed = data.State == ebsPressed, hot = data.State == ebsSelected;
    const int from = pressed ? 10 : hot ? 8 : 1, to = pressed ? 7 : hot ? 9 : 2;
    RECT r{ARect.left, BorderRect.top, ARect.right, BorderRect.bottom};
    if (!pressed && !hot) InflateRect(&r, 0, -1);
    TSavedCanvasDC saved(ACanvas);
    ACanvas.IntersectClipRect(ARect);
    FillOffice11Gradient(ACanvas.Handle(), r, Office11SchemeColor(from), Office11SchemeColor(to), false);
    return;
  }
  ACanvas.FillRect(ARect, ABrushColor);
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas& ACanvas, int AIndex, bool AOffsetContent, TColor,
                                              TColor APenColor, const RECT& AContentRect) {
  TcxEditButtonViewInfo& button = Button(AIndex);
  const TcxEditButtonViewInfoData& data = button.Data;
  const bool disabled = data.State == ebsDisabled;
  TSavedCanvasDC saved(ACanvas);
  ACanvas.IntersectClipRect(AContentRect);
  const RECT& c = AContentRect;
  const int cw = c.right - c.left, ch = c.bottom - c.top;
  // Centres a size in the content, a pixel further right and down when pressed and there is room.
  const auto centred = [&](int AWidth, int AHeight) {
    POINT p{c.left + (cw - AWidth) / 2, c.top + (ch - AHeight) / 2};
    if (AOffsetContent) {
      if (p.x + AWidth < c.right) ++p.x;
      if (p.y + AHeight < c.bottom) ++p.y;
    }
    return p;
  };
  switch (data.Kind) {
    case bkEllipsis: {
      const int s = cw > 11 ? 2 : 1;
      const POINT p = centred(3 * s + 4, s);
      const auto dots = [&](int DX, int DY, TColor AColor) {
        for (int i = 0; i < 3; ++i) {
          const int x = p.x + DX + i * (s + 2);
          ACanvas.FillRect(RECT{x, p.y + DY, x + s, p.y + DY + s}, AColor);
        }
      };
      if (disabled) {
        dots(1, 1, clBtnHighlight);
        dots(0, 0, clBtnShadow);
      } else {
        dots(0, 0, APenColor);
      }
      break;
    }
    case bkDown: {
      RECT r = c;
      const RECT& b = button.Bounds;
      const auto widen = [&](LONG& ALow, LONG& AHigh, LONG AFullLow, LONG AFullHigh) {
        const int extra = (AFullHigh - AFullLow) - (AHigh - ALow);
        const int half = extra / 2, odd = extra % 2;
        ALow -= half + (AOffsetContent ? 0 : odd);
        AHigh += half + (AOffsetContent ? odd : 0);
      };
      widen(r.left, r.right, b.left, b.right);
      if (data.IsInplace) widen(r.top, r.bottom, b.top, b.bottom);
      if (AOffsetContent) OffsetRect(&r, 1, 1);
      TcxCustomLookAndFeelPainter* painter = RegisteredPainter(lfsStandard);
      if (!painter) break;
      if (disabled) {
        painter->DrawArrow(ACanvas, OffsetRectBy(r, 1, 1), adDown, clBtnHighlight);
        painter->DrawArrow(ACanvas, r, adDown, clBtnShadow);
      } else {
        painter->DrawArrow(ACanvas, r, adDown, APenColor);
      }
      break;
    }
    case bkGlyph: {
      const bool hasGlyph = IsBitmapNonEmpty(button.Glyph);
      if (!hasGlyph && !IsImageIndexValid(button.Images, button.ImageIndex)) break;
      const SIZE size = hasGlyph ? SIZE{button.Glyph->Width(), button.Glyph->Height()}
                                 : SIZE{button.Images->Width(), button.Images->Height()};
      const POINT p = centred(size.cx, size.cy);
      const RECT glyphRect{p.x, p.y, p.x + size.cx, p.y + size.cy};
      DrawGlyphOrImage(ACanvas.Handle(), glyphRect, c, hasGlyph ? button.Glyph : nullptr, button.Images,
                       button.ImageIndex, disabled ? idmDisabled : idmNormal);
      break;
    }
    case bkText: {
      RECT r = c;
      InflateRect(&r, -1, IsInplace ? 0 : -1);
      --r.right;
      if (AOffsetContent) OffsetRect(&r, 1, 1);
      TColor color = data.Style == btsHotFlat && (data.State == ebsPressed || data.State == ebsSelected)
                         ? APenColor
                         : data.TextColor;
      if (color == clDefault) color = TextColor;
      if (Font) ACanvas.Font().Assign(*Font);
      SetBkMode(ACanvas.Handle(), TRANSPARENT);
      const int alignment = data.ContentAlignment == TAlignment::taLeftJustify    ? cxTextAlignLeft
                            : data.ContentAlignment == TAlignment::taRightJustify ? cxTextAlignRight
                                                                                  : cxTextAlignHCenter;
      const int flags = alignment | cxTextAlignVCenter | cxTextSingleLine | cxTextShowPrefix | cxTextShowEndEllipsis;
      if (disabled) {
        ACanvas.Font().SetColor(clBtnHighlight);
        ACanvas.DrawTexT(data.VisibleCaption, OffsetRectBy(r, 1, 1), flags);
        color = clBtnShadow;
      }
      ACanvas.Font().SetColor(color);
      ACanvas.DrawTexT(data.VisibleCaption, r, flags);
      break;
    }
  }
}

bool TcxCustomEditViewInfo::IsHotTrack() const {
  return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(), [](const auto& b) { return b->Data.State == ebsSelected; });
}

bool TcxCustomEditViewInfo::IsHotTrack(POINT P) const {
  P.x -= Left;
  P.y -= Top;
  return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(), [P](const auto& b) { return PtInRect(&b->Bounds, P); });
}

int TcxCustomEditViewInfo::GetPartIndexAt(POINT P) const {
  for (int i = 0; i < int(ButtonsInfo.size()); ++i)
    if (PtInRect(&ButtonsInfo[std::size_t(i)]->Bounds, P)) return i;
  return PtInRect(&BorderRect, P) ? -1 : -2;
}

RECT TcxCustomEditViewInfo::GetPartBounds(int AIndex) const {
  if (AIndex >= 0) return AIndex < int(ButtonsInfo.size()) ? ButtonsInfo[std::size_t(AIndex)]->Bounds : RECT{};
  if (AIndex != -1) return RECT{};
  RECT r = BorderRect;
  for (const auto& b : ButtonsInfo) {
    if (b->Data.LeftAlignment && b->Data.Rightmost) r.left = std::max(r.left, b->Bounds.right);
    if (!b->Data.LeftAlignment && b->Data.Leftmost) r.right = std::min(r.right, b->Bounds.left);
  }
  return r;
}

std::unique_ptr<TcxRegion> TcxCustomEditViewInfo::GetUpdateRegion(TcxContainerViewInfo* APrev) {
  std::unique_ptr<TcxRegion> region = TcxContainerViewInfo::GetUpdateRegion(APrev);
  auto* prev = dynamic_cast<TcxCustomEditViewInfo*>(APrev);
  const bool sameFrame = prev && (BorderColor == prev->BorderColor || BorderStyle == cbsNone) &&
                         BorderStyle == prev->BorderStyle && ButtonCount() == prev->ButtonCount() &&
                         NativeState == prev->NativeState;
  if (sameFrame) {
    for (int i = 0; i < ButtonCount(); ++i) {
      std::unique_ptr<TcxRegion> part = Button(i).GetUpdateRegion(prev->Button(i));
      CombineRgn(region->Handle(), region->Handle(), part->Handle(), RGN_OR);
    }
  } else if (!IsEmptyRect(Bounds)) {
    const TcxRegion whole(Bounds);
    CombineRgn(region->Handle(), region->Handle(), whole.Handle(), RGN_OR);
  }
  return region;
}

void TcxCustomEditViewInfo::Offset(int DX, int DY) {
  TcxContainerViewInfo::Offset(DX, DY);
  OffsetRect(&InnerEditRect, DX, DY);
  OffsetRect(&ShadowRect, DX, DY);
  for (const auto& button : ButtonsInfo) {
    OffsetRect(&button->Bounds, DX, DY);
    OffsetRect(&button->VisibleBounds, DX, DY);
  }
}

// ---- TcxCustomEditViewData

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties& AProperties, TcxCustomEditStyle& AStyle,
                                             bool AIsInplace)
    : FProperties(AProperties), FStyle(&AStyle), FIsInplace(AIsInplace) {
  ButtonVisibleCount = FProperties.Buttons().VisibleCount();
  const TcxEditAlignment& alignment = FProperties.Alignment();
  HorzAlignment = alignment.Horz();
  VertAlignment = alignment.Vert();
  NativeStyle = IsNativeStyle(AStyle.LookAndFeel());
  ContentParamsOffsets = DefaultContentOffsets();
  ContentParamsSizeCorrection.cx = 3 - ContentParamsOffsets.left - ContentParamsOffsets.right;
  ContentParamsSizeCorrection.cy = NativeStyle ? NativeContentHeightCorrection(FProperties, FIsInplace) : 0;
}

SIZE TcxCustomEditViewData::GetEditContentSizeCorrection() {
  return SIZE{ContentParamsOffsets.left + ContentParamsOffsets.right + ContentParamsSizeCorrection.cx,
              ContentParamsOffsets.top + ContentParamsOffsets.bottom + ContentParamsSizeCorrection.cy};
}

WideString TcxCustomEditViewData::ConvertEditValueToText(const Variant& AValue) {
  WideString text = ValueToDisplayText(AValue);
  if (OnGetDisplayText) OnGetDisplayText(this, text);
  return text;
}

SIZE TcxCustomEditViewData::GetEditContentSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                                               const TcxEditSizeProperties& ASizeProperties) {
  if (FProperties.ButtonsViewStyle() == bvsNormal) return CalcContentSize(ACanvas, AEditValue, ASizeProperties);
  if (TFont* font = FStyle->GetVisibleFont()) ACanvas.Font().Assign(*font);
  return SIZE{0, GetEditContentSizeCorrection().cy + GetDCTextHeight(ACanvas.Handle())};
}

void TcxCustomEditViewData::CalcConstantPartSize(TcxCanvas& ACanvas, const TcxEditSizeProperties&,
                                                 SIZE& AConstantPartSize, SIZE& MinContentSize,
                                                 TcxCustomEditViewInfo& AViewInfo) {
  AConstantPartSize = SIZE{(AViewInfo.Bounds.right - AViewInfo.Bounds.left) -
                               (AViewInfo.ClientRect.right - AViewInfo.ClientRect.left),
                           (AViewInfo.Bounds.bottom - AViewInfo.Bounds.top) -
                               (AViewInfo.ClientRect.bottom - AViewInfo.ClientRect.top)};
  MinContentSize = SIZE{0, 0};
  int height = 0;
  for (const auto& button : AViewInfo.ButtonsInfo) {
    if (button->Data.Kind == bkGlyph) {
      if (button->Glyph && IsBitmapNonEmpty(button->Glyph))
        height = std::max(height, button->Glyph->Height());
      else if (IsImageIndexValid(button->Images, button->ImageIndex))
        height = std::max(height, button->Images->Height());
    } else if (button->Data.Kind == bkText && FIsInplace) {
      if (TFont* font = FStyle->GetVisibleFont()) ACanvas.Font().Assign(*font);
      AViewInfo.PrepareCanvasFont(ACanvas);
      height = std::max(height, int(ACanvas.TextHeight(button->Data.VisibleCaption)));
    }
  }
  if (height <= 0) return;
  const RECT extent = GetButtonsExtent(ACanvas);
  height += extent.top + extent.bottom;
  height += GetEditButtonVertAllowance(ACanvas, EffectiveButtonStyle(), AViewInfo.NativeStyle);
  MinContentSize.cy = std::max(0, height - int(AConstantPartSize.cy));
}

SIZE TcxCustomEditViewData::GetEditConstantPartSize(TcxCanvas& ACanvas, const TcxEditSizeProperties& ASizeProperties,
                                                    SIZE& MinContentSize, TcxCustomEditViewInfo* AViewInfo) {
  SIZE constant{};
  if (AViewInfo) {
    CalcConstantPartSize(ACanvas, ASizeProperties, constant, MinContentSize, *AViewInfo);
    return constant;
  }
  // A cached view info goes back to the cache even on failure.
  struct TLoan {
    std::unique_ptr<TcxCustomEditViewInfo> ViewInfo;
    ~TLoan() { ReturnSizeViewInfo(std::move(ViewInfo)); }
  } loan{TakeSizeViewInfo(FProperties.GetViewInfoClass())};
  Calculate(ACanvas, RECT{0, 0, 2147483647, 2147483647}, POINT{-1, -1}, cxmbNone, 0, *loan.ViewInfo, false);
  CalcConstantPartSize(ACanvas, ASizeProperties, constant, MinContentSize, *loan.ViewInfo);
  return constant;
}

namespace {

SIZE InternalGetEditSize(TcxCustomEditViewData& AData, TcxCanvas& ACanvas, const Variant& AEditValue,
                         TcxEditSizeProperties ASizeProperties, TcxCustomEditViewInfo* AViewInfo, bool AEditing) {
  SIZE minContent{};
  const SIZE constant = AData.GetEditConstantPartSize(ACanvas, ASizeProperties, minContent, AViewInfo);
  if (ASizeProperties.Height >= 0) ASizeProperties.Height -= constant.cy;
  if (ASizeProperties.Width >= 0) ASizeProperties.Width -= constant.cx;
  SIZE content = AEditing && (AData.Properties().GetSupportedOperations() & cxOperationBit(esoEditingAutoHeight))
                     ? AData.GetEditingContentSize(ACanvas, AEditValue, ASizeProperties)
                     : AData.GetEditContentSize(ACanvas, AEditValue, ASizeProperties);
  EnlargeSize(content, minContent);
  return SIZE{constant.cx + content.cx, constant.cy + content.cy};
}

}  // namespace

SIZE TcxCustomEditViewData::GetEditSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                                        TcxEditSizeProperties ASizeProperties, TcxCustomEditViewInfo* AViewInfo) {
  return InternalGetEditSize(*this, ACanvas, AEditValue, ASizeProperties, AViewInfo, false);
}

SIZE TcxCustomEditViewData::GetEditingSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                                           TcxEditSizeProperties ASizeProperties, TcxCustomEditViewInfo* AViewInfo) {
  return InternalGetEditSize(*this, ACanvas, AEditValue, ASizeProperties, AViewInfo, true);
}

bool TcxCustomEditViewData::IsNativeStyle(TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && CanUseThemedDrawing(ALookAndFeel->NativeStyle(), totEdit);
}

TcxLookAndFeelKind TcxCustomEditViewData::LookAndFeelKind() {
  TcxLookAndFeel* lookAndFeel = FStyle->LookAndFeel();
  return lookAndFeel ? lookAndFeel->Kind() : lfStandard;
}

void TcxCustomEditViewData::CalculateEx(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton,
                                        TShiftState AShift, TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent) {
  AViewInfo.Left = ABounds.left;
  AViewInfo.Top = ABounds.top;
  const RECT bounds = OffsetRectBy(ABounds, -int(ABounds.left), -int(ABounds.top));
  Calculate(ACanvas, bounds, POINT{P.x - ABounds.left, P.y - ABounds.top}, AButton, AShift, AViewInfo, AIsMouseEvent);
}

void TcxCustomEditViewData::CalculateState(TcxCustomEditViewInfo& AViewInfo, POINT P, TcxMouseButton AButton,
                                           TShiftState AShift) {
  ContainerState = GetContainerStateAt(P, AButton, AShift);
  AViewInfo.ContainerState = ContainerState;
  Selected = (ContainerState & (cxStateBit(csActive) | cxStateBit(csHotTrack))) != 0;
  AViewInfo.HotState = IsDesigning || FIsInplace || !FStyle->HotTrack() ? chsNoHotTrack
                       : Selected                                       ? chsSelected
                                                                        : chsNormal;
  AViewInfo.BorderStyle = TcxContainerBorderStyle(FIsInplace || !NativeStyle ? GetBorderStyle()
                                                                             : FStyle->BaseStyle()->BorderStyle());
}

void TcxCustomEditViewData::Calculate(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton,
                                      TShiftState AShift, TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent) {
  AShift &= 0xFE78;
  const int previousWidth = GetStandardContainerBorderWidth(AViewInfo.BorderStyle);
  CalculateState(AViewInfo, P, AButton, AShift);
  if (!FIsInplace && !NativeStyle && GetStandardContainerBorderWidth(AViewInfo.BorderStyle) < previousWidth)
    CalculateState(AViewInfo, P, AButton, AShift);
  ButtonsOnlyStyle = FIsInplace ? ABounds.right != 2147483647 && FProperties.ButtonsViewStyle() != bvsNormal
                                : FProperties.ButtonsViewStyle() == bvsButtonsOnly;

  Bounds = ABounds;
  AViewInfo.UpdateStyle(FStyle);
  AViewInfo.Bounds = Bounds;
  AViewInfo.Enabled = Enabled;
  AViewInfo.Focused = Focused;
  AViewInfo.HasBackground = false;
  AViewInfo.IsDesigning = IsDesigning;
  AViewInfo.IsInplace = FIsInplace;
  AViewInfo.IsSelected = IsSelected;
  AViewInfo.PaintOptions = PaintOptions;
  AViewInfo.Edges = FStyle->Edges();
  AViewInfo.Font = FStyle->DirectAccessMode() ? FStyle->Font() : FStyle->GetVisibleFont();
  AViewInfo.Shadow = !FIsInplace && HasShadow();
  AViewInfo.Transparent = FProperties.Transparent();

  AViewInfo.NativeStyle = NativeStyle;
  AViewInfo.NativeState = NativeStyle ? GetEditNativeState() : 0;
  AViewInfo.BorderExtent = GetBorderExtent();
  AViewInfo.BorderRect = Bounds;
  DeflateRectByMargins(AViewInfo.BorderRect, AViewInfo.BorderExtent);
  AViewInfo.ShadowRect = AViewInfo.BorderRect;
  AViewInfo.HasContentOffsets = ContentOffset.left || ContentOffset.top || ContentOffset.right || ContentOffset.bottom;
  AViewInfo.BorderWidth = AViewInfo.Painter ? AViewInfo.Painter->GetContainerBorderWidth(AViewInfo.BorderStyle)
                                            : GetStandardContainerBorderWidth(AViewInfo.BorderStyle);
  if (!FIsInplace) AViewInfo.BorderColor = GetBorderColor();
  // Colours: the style's, or the themed fill of a disabled native editor.
  AViewInfo.TextColor = FStyle->TextColor();
  TColor background = FStyle->Color();
  if (NativeStyle && !Enabled && !FStyle->IsValueAssigned(svColor))
    if (HTHEME theme = GetThemeHandleForType(totEdit)) {
      COLORREF fill = 0;
      if (SUCCEEDED(GetThemeColor(theme, IsWinVistaOrLater ? 3 : 1, AViewInfo.NativeState, 3802, fill)))
        background = TColor(fill);
    }
  AViewInfo.AssignBackgroundColor(background);

  CalculateButtonsViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  AViewInfo.ClientRect = ABounds;
  DeflateRectByMargins(AViewInfo.ClientRect, GetClientExtent(ACanvas, AViewInfo));
  AViewInfo.InnerEditRect = AViewInfo.ClientRect;
  AViewInfo.PopupBorderStyle = FStyle->PopupBorderStyle();
  if (AViewInfo.PopupBorderStyle == epbsDefault && Edit)
    AViewInfo.PopupBorderStyle = DefaultPopupBorderStyle(
        FIsInplace, TcxEditBorderStyle(AViewInfo.BorderStyle), AViewInfo.ButtonCount() > 0,
        AViewInfo.ButtonCount() > 0 ? AViewInfo.Button(0).Data.Style : btsDefault, LookAndFeelKind());
}

TcxEditPopupBorderStyle TcxCustomEditViewData::DefaultPopupBorderStyle(bool AIsInplace, TcxEditBorderStyle ABorderStyle,
                                                                      bool AHasButtons,
                                                                      TcxEditButtonStyle AFirstButtonStyle,
                                                                      TcxLookAndFeelKind AKind) {
  constexpr TcxEditPopupBorderStyle kByKind[] = {epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};  // by TcxLookAndFeelKind
  constexpr TcxEditPopupBorderStyle kByBorder[] = {epbsFlat, epbsSingle, epbsSingle, epbsFlat,
                                                   epbsSingle, epbsSingle, epbsSingle};  // by TcxEditBorderStyle
  constexpr TcxLookAndFeelKind kKindByButton[] = {lfStandard, lfStandard, lfFlat,     lfFlat,
                                                  lfFlat,     lfUltraFlat, lfOffice11};  // by TcxEditButtonStyle
  if (AIsInplace) return kByKind[AKind];
  if (ABorderStyle != ebsNone || !AHasButtons) return kByBorder[ABorderStyle];
  return kByKind[kKindByButton[AFirstButtonStyle]];
}

TcxContainerState TcxCustomEditViewData::GetContainerStateAt(POINT P, TcxMouseButton, TShiftState AShift) {
  if (!Enabled) return cxStateBit(csDisabled);
  if (IsDesigning) return cxStateBit(csNormal);
  TcxContainerState state = cxStateBit(Focused ? csActive : csNormal);
  RECT visible = Bounds;
  DeflateRectByMargins(visible, ContentOffset);
  if (PtInRect(&visible, P) && IsPlainMouseMove(AShift)) state |= cxStateBit(csHotTrack);
  return state;
}

int TcxCustomEditViewData::GetEditNativeState() {
  if (!Enabled) return 4;
  if (ContainerState & cxStateBit(csHotTrack)) return 2;
  if (Focused) return 5;
  if (FProperties.ReadOnly()) return 6;
  return 1;
}

TcxEditBorderStyle TcxCustomEditViewData::GetBorderStyle() {
  if (FIsInplace) return ebsNone;
  const TcxEditBorderStyle style = FStyle->BorderStyle();
  return style == ebsUltraFlat || style == ebsOffice11 ? ebsSingle : style;
}

RECT TcxCustomEditViewData::GetBorderExtentByEdges(int AWidth) {
  const TcxBorders edges = FStyle->Edges();
  return RECT{edges & bLeft ? AWidth : 0, edges & bTop ? AWidth : 0, edges & bRight ? AWidth : 0,
              edges & bBottom ? AWidth : 0};
}

RECT TcxCustomEditViewData::GetBorderExtent() {
  if (FIsInplace) return ContentOffset;
  RECT extent;
  if (FStyle->TransparentBorder())
    extent = RECT{2, 2, 2, 2};
  else if (!FStyle->HasBorder() || (NativeStyle && FStyle->BaseStyle()->BorderStyle() == ebsNone))
    extent = RECT{};
  else if (NativeStyle)
    extent = RECT{2, 2, 2, 2};
  else
    extent = GetBorderExtentByEdges(GetStandardContainerBorderWidth(TcxContainerBorderStyle(GetBorderStyle())));
  if (HasShadow()) {
    extent.right += cxContainerShadowWidth;
    extent.bottom += cxContainerShadowWidth;
  }
  return extent;
}

RECT TcxCustomEditViewData::GetButtonsExtent(TcxCanvas& ACanvas) {
  if (FIsInplace) return ContentOffset;
  if (!NativeStyle) return GetBorderExtent();
  const bool border = FStyle->BaseStyle()->BorderStyle() != ebsNone;
  if (border) return ThemedContentMargins(ACanvas.Handle(), totEdit, 1, 1);
  return FStyle->TransparentBorder() ? RECT{2, 2, 2, 2} : RECT{};
}

RECT TcxCustomEditViewData::GetClientExtent(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo) {
  RECT extent = GetBorderExtent();
  if (FProperties.ButtonsViewStyle() != bvsNormal && AViewInfo.ButtonCount() > 0) {
    const RECT buttons = GetButtonsExtent(ACanvas);
    extent.left = buttons.left;
    extent.right = buttons.right;
  }
  for (const auto& button : AViewInfo.ButtonsInfo) {
    if (button->Data.LeftAlignment)
      extent.left = std::max<LONG>(extent.left, button->Bounds.right - Bounds.left);
    else
      extent.right = std::max<LONG>(extent.right, Bounds.right - button->Bounds.left);
  }
  return extent;
}

TColor TcxCustomEditViewData::GetBorderColor() {
  const bool highlighted = (ContainerState & cxStateBit(csActive)) ||
                           ((ContainerState & cxStateBit(csHotTrack)) && FStyle->HotTrack());
  const TcxEditBorderStyle style = FStyle->BorderStyle();
  if (style == ebsUltraFlat || style == ebsOffice11)
    return GetHotTrackBorderColor(highlighted || (IsDesigning && Enabled), style == ebsOffice11);
  return FStyle->BorderColor();
}

bool TcxCustomEditViewData::HasShadow() { return EditViewDataHasShadow(*this); }

TcxEditButtonStyle TcxCustomEditViewData::EffectiveButtonStyle() {
  const TcxEditButtonStyle style = FStyle->ButtonStyle();
  if (style != btsDefault) return style;
  if (FIsInplace || (FStyle->BorderStyle() == ebsNone && !FStyle->HotTrack())) {
    constexpr TcxEditButtonStyle kByKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};  // by TcxLookAndFeelKind
    return kByKind[LookAndFeelKind()];
  }
  constexpr TcxEditButtonStyle kByBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat, btsOffice11};
  return kByBorder[FStyle->BorderStyle()];
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(TcxCanvas& ACanvas, const RECT& ABounds, POINT P,
                                                     TcxMouseButton AButton, TShiftState AShift,
                                                     TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent) {
  const bool active = ContainerState & cxStateBit(csActive), hot = ContainerState & cxStateBit(csHotTrack);
  const TcxEditButtonTransparency transparency = FStyle->ButtonTransparency();
  const bool hidden = ButtonVisibleCount == 0 || (!active && transparency == ebtHideInactive) ||
                      (!active && !hot && transparency == ebtHideUnselected);
  AViewInfo.SetButtonCount(hidden ? 0 : ButtonVisibleCount);
  AViewInfo.IsButtonReallyPressed = false;
  const int previousPressed = AIsMouseEvent ? AViewInfo.PressedButton : -1;
  AViewInfo.PressedButton = AViewInfo.SelectedButton = -1;
  FLeftSideLeftmostButtonIndex = FLeftSideRightmostButtonIndex = -1;
  FRightSideLeftmostButtonIndex = FRightSideRightmostButtonIndex = -1;
  AViewInfo.HasTextButtons = false;
  if (hidden) return;

  TcxEditButtons& buttons = FProperties.Buttons();
  RECT r = ABounds;
  const bool comboFirst = buttons.Count() == 1 && buttons.Items(0)->Kind() == bkDown;
  if (FIsInplace || !NativeStyle || !comboFirst || !IsWinVistaOrLater) DeflateRectByMargins(r, GetButtonsExtent(ACanvas));
  const int width = r.right - r.left;
  int visibleIndex = ButtonVisibleCount;
  for (int i = buttons.Count() - 1; i >= 0 && visibleIndex > 0; --i) {
    TcxEditButton* button = buttons.Items(i);
    if (!button->Visible()) continue;
    --visibleIndex;
    if (button->Kind() == bkText && !AViewInfo.HasTextButtons) {
      ACanvas.Font().Assign(*FStyle->GetVisibleFont());
      AViewInfo.PrepareCanvasFont(ACanvas);
      AViewInfo.HasTextButtons = true;
    }
    TcxEditButtonViewInfo& info = AViewInfo.Button(visibleIndex);
    info.ButtonIndex = i;
    info.Data.Style = EffectiveButtonStyle();
    CalculateButtonViewInfo(ACanvas, AViewInfo, visibleIndex, r);
  }
  CheckButtonsOnly(AViewInfo, width, std::max<LONG>(r.right - r.left, 0));
  CalculateButtonStates(AViewInfo, P, AButton, AShift, previousPressed);

  const auto setEdge = [&](int AIndex, bool TcxEditButtonViewInfoData::*AEdge) {
    if (AIndex >= 0) AViewInfo.Button(AIndex).Data.*AEdge = true;
  };
  const bool leftSide = FLeftSideLeftmostButtonIndex >= 0, rightSide = FRightSideRightmostButtonIndex >= 0;
  setEdge(FLeftSideLeftmostButtonIndex, &TcxEditButtonViewInfoData::Leftmost);
  if (!(ButtonsOnlyStyle && rightSide)) setEdge(FLeftSideRightmostButtonIndex, &TcxEditButtonViewInfoData::Rightmost);
  if (!(ButtonsOnlyStyle && leftSide)) setEdge(FRightSideLeftmostButtonIndex, &TcxEditButtonViewInfoData::Leftmost);
  setEdge(FRightSideRightmostButtonIndex, &TcxEditButtonViewInfoData::Rightmost);
  if (ButtonsOnlyStyle)
    for (const auto& info : AViewInfo.ButtonsInfo) info->Data.LeftAlignment = false;
}

void TcxCustomEditViewData::CalculateButtonViewInfo(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo, int AIndex,
                                                    RECT& AButtonsRect) {
  TcxEditButtonViewInfo& info = AViewInfo.Button(AIndex);
  TcxEditButton* button = FProperties.Buttons().Items(info.ButtonIndex);
  TcxEditButtonViewInfoData& data = info.Data;
  data.ComboBoxStyle = FProperties.Buttons().Count() == 1 && button->Kind() == bkDown;
  data.UseSkins = false;
  data.Kind = button->Kind();
  if (data.Kind == bkText) {
    data.Caption = button->Caption();
    data.TextColor = button->TextColor();
    data.VisibleCaption = button->VisibleCaption();
  }
  data.ContentAlignment = button->ContentAlignment();
  data.Default = button->Default();
  info.Images = FProperties.Images();
  info.ImageIndex = button->ImageIndex();
  info.Glyph = button->HasGlyph() ? button->Glyph() : nullptr;
  info.HasBackground = AViewInfo.HasBackground;
  data.Gradient = FStyle->GradientButtons();
  data.Hint = button->Hint();
  data.ActionLink = button->ActionLink();
  if (data.ActionLink) data.ActionLink->PrepareHint(data.Hint);
  data.IsInplace = FIsInplace;
  data.LeftAlignment = button->LeftAlignment();
  data.Leftmost = data.Rightmost = false;
  data.NativeStyle = AViewInfo.NativeStyle;
  info.Stretchable = button->Stretchable();
  info.Width = button->Width();
  if (info.Width == 0) {
    int width = 0;
    if (OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, AIndex, width);
    info.Width = width;
  }
  const TcxEditButtonTransparency transparency = FStyle->ButtonTransparency();
  data.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
  data.BackgroundColor = AViewInfo.BackgroundColor();
  CalculateButtonBounds(ACanvas, AViewInfo, AIndex, AButtonsRect);
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo, int AIndex,
                                                  RECT& AButtonsRect) {
  TcxEditButtonViewInfo& info = AViewInfo.Button(AIndex);
  RECT& r = AButtonsRect;
  if (IsEmptyRect(r)) {
    info.Bounds = info.VisibleBounds = RECT{};
    return;
  }
  const int w = GetEditButtonWidth(ACanvas, info);
  const int visible = std::min<int>(w, r.right - r.left);
  if (info.Data.LeftAlignment) {
    info.Bounds = RECT{r.left, r.top, r.left + w, r.bottom};
    info.VisibleBounds = RECT{r.left, r.top, r.left + visible, r.bottom};
    r.left += visible;
    if (FLeftSideLeftmostButtonIndex < 0) FLeftSideLeftmostButtonIndex = AIndex;
    FLeftSideRightmostButtonIndex = AIndex;
  } else {
    info.Bounds = RECT{r.right - w, r.top, r.right, r.bottom};
    info.VisibleBounds = RECT{r.right - visible, r.top, r.right, r.bottom};
    r.right -= visible;
    if (FRightSideRightmostButtonIndex < 0) FRightSideRightmostButtonIndex = AIndex;
    FRightSideLeftmostButtonIndex = AIndex;
  }
}

void TcxCustomEditViewData::CalculateButtonStates(TcxCustomEditViewInfo& AViewInfo, POINT P, TcxMouseButton AButton,
                                                  TShiftState AShift, int APrevPressed) {
  for (int i = 0; i < AViewInfo.ButtonCount(); ++i) {
    TcxEditButtonViewInfo& info = AViewInfo.Button(i);
    const TcxEditButtonState previous = info.Data.State;
    TcxEditButtonState state = ebsNormal;
    const bool forced = IsButtonForcedPressed(i);
    if (!Enabled || !FProperties.Buttons().Items(info.ButtonIndex)->Enabled()) {
      state = ebsDisabled;
    } else if (forced || (!IsDesigning && PtInRect(&info.VisibleBounds, P))) {
      constexpr bool capture = false;  // no editor holds a captured button
      const bool leftDown = AButton == cxmbLeft && IsLeftButtonOnly(AShift, true);
      const bool stillDown = previous == ebsPressed && (AShift & ssLeft);
      if (forced || leftDown || stillDown || capture) AViewInfo.IsButtonReallyPressed = true;
      if (!forced && IsPlainMouseMove(AShift) && !capture) {
        state = ebsSelected;
        AViewInfo.SelectedButton = i;
      } else if (forced || (capture && AllowsButtonPress()) ||
                 (IsLeftButtonOnly(AShift, true) && ((AButton == cxmbLeft && AllowsButtonPress()) || APrevPressed == i)) ||
                 stillDown) {
        state = ebsPressed;
        AViewInfo.PressedButton = i;
      }
    }
    if (AViewInfo.OnGetButtonState) AViewInfo.OnGetButtonState(&AViewInfo, i, state);
    info.Data.State = state;
    CalculateButtonNativeInfo(info);
  }
}

void TcxCustomEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo& AButton) {
  TcxEditButtonViewInfoData& data = AButton.Data;
  const TdxThemedObjectType type = data.ComboBoxStyle ? totComboBox : totButton;
  HTHEME theme = data.NativeStyle ? GetThemeHandleForType(type) : nullptr;
  data.NativePart = 0;
  if (theme) data.NativePart = data.ComboBoxStyle && !FIsInplace && IsWinVistaOrLater ? (data.LeftAlignment ? 7 : 6) : 1;
  constexpr int kNativeStates[] = {4, 1, 3, 2};  // by TcxEditButtonState
  data.NativeState = data.NativePart ? kNativeStates[data.State] : 0;
  data.BackgroundPartiallyTransparent =
      data.NativePart && IsThemeBackgroundPartiallyTransparent(theme, data.NativePart, data.NativeState);
}

void TcxCustomEditViewData::CheckButtonsOnly(TcxCustomEditViewInfo& AViewInfo, int APrevWidth, int ARestWidth) {
  if (!ButtonsOnlyStyle || ARestWidth <= 0) return;
  const int count = AViewInfo.ButtonCount();
  const auto stretching = [&](int I) { return AViewInfo.Button(I).Stretchable && !IgnoreButtonWhileStretching(I); };
  bool any = false;
  int total = 0;
  for (int i = 0; i < count; ++i)
    if (stretching(i)) {
      any = true;
      total += AViewInfo.Button(i).Bounds.right - AViewInfo.Button(i).Bounds.left;
    }
  if (!any) total = APrevWidth - ARestWidth;
  if (total <= 0) return;  // nothing to share the width by
  // The last one processed (the first stretching one) takes what remains.
  int last = -1;
  for (int i = count - 1; i >= 0; --i)
    if (!any || stretching(i)) last = i;
  int rest = ARestWidth;
  for (int i = count - 1; i >= 0; --i) {
    if (any && !stretching(i)) continue;
    TcxEditButtonViewInfo& button = AViewInfo.Button(i);
    const int width = button.Bounds.right - button.Bounds.left;
    const int extra = i == last ? rest : int(int64_t(width) * ARestWidth / total);
    rest -= extra;
    if (button.Data.LeftAlignment) {
      const LONG oldRight = button.Bounds.right;
      for (int j = 0; j < count; ++j) {
        TcxEditButtonViewInfo& other = AViewInfo.Button(j);
        if (j != i && other.Data.LeftAlignment && other.Bounds.left >= oldRight) {
          OffsetRect(&other.Bounds, extra, 0);
          OffsetRect(&other.VisibleBounds, extra, 0);
        }
      }
      button.Bounds.right += extra;
      button.VisibleBounds.right += extra;
    } else {
      const LONG oldLeft = button.Bounds.left;
      for (int j = 0; j < count; ++j) {
        TcxEditButtonViewInfo& other = AViewInfo.Button(j);
        if (j != i && !other.Data.LeftAlignment && other.Bounds.right <= oldLeft) {
          OffsetRect(&other.Bounds, -extra, 0);
          OffsetRect(&other.VisibleBounds, -extra, 0);
        }
      }
      button.Bounds.left -= extra;
      button.VisibleBounds.left -= extra;
    }
  }
}

}  // namespace tvk
