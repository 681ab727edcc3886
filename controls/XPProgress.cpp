#include "XPProgress.h"

#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "XPSystem.h"

#include "Themes.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <cmath>

namespace tvk {

namespace {

constexpr TSkinRow kProgressSkinRows[] = {
    {L"XPPROGRESSBARHORZ", TSkinKind::skAlphaImage},
    {L"XPPROGRESSBARVERT", TSkinKind::skAlphaImage},
    {L"XPPROGRESSCHUNKHORZ", TSkinKind::skAlphaImage},
    {L"XPPROGRESSCHUNKVERT", TSkinKind::skAlphaImage},
};
TSkinCache gProgressSkins(kProgressSkinRows);

constexpr int kChunkSpacing = 2;

void FillWith(HDC dc, const RECT& r, TColor color) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void FrameWithColor(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

// A picture drawn nine-grid over Dest, with fixed margins on each side.
void DrawNineGrid(HDC dc, const RECT& dest, TAlphaImage& image, int left, int top, int right, int bottom) {
  int w = int(image.Width()), h = int(image.Height());
  DrawSkinBitmap(dest, RECT{left, top, w - right, h - bottom}, RECT{0, 0, w, h}, dc, image.Handle(), true);
}

}  // namespace

bool XPProgressStartup() { return true; }
void XPProgressShutdown() { gProgressSkins.Release(); }

TXPProgressBar::TXPProgressBar(TComponent* owner) : TXPCustomControl(owner) {
  SetBounds(Left(), Top(), 150, GetScrollBarSize());
  SetColor(SubstWindowColor);
  SetTabStop(false);
  auto changed = [this](TObject*) {
    if (FLookAndFeel == TXPLookAndFeel::xlfCustom) Invalidate();
  };
  FBackImage = std::make_unique<TAlphaBitmap>();
  FBarImage = std::make_unique<TAlphaBitmap>();
  FBackImage->OnChange = changed;
  FBarImage->OnChange = changed;
}

TXPProgressBar::~TXPProgressBar() {
  FBackImage->OnChange = nullptr;
  FBarImage->OnChange = nullptr;
}

void TXPProgressBar::SetBackgroundColor(TColor value) {
  if (value == FBackgroundColor) return;
  FBackgroundColor = value;
  Invalidate();
}

void TXPProgressBar::SetBarColor(TColor value) {
  if (value == FBarColor) return;
  FBarColor = value;
  Invalidate();
}

void TXPProgressBar::SetFrameColor(TColor value) {
  if (value == FFrameColor) return;
  FFrameColor = value;
  Invalidate();
}

void TXPProgressBar::SetLookAndFeel(TXPLookAndFeel value) {
  if (value == FLookAndFeel) return;
  FLookAndFeel = value;
  Invalidate();
}

void TXPProgressBar::SetSmooth(bool value) {
  if (value == FSmooth) return;
  FSmooth = value;
  Invalidate();
}

void TXPProgressBar::SetState(TProgressBarState value) {
  if (value == FState) return;
  FState = value;
  Invalidate();
}

void TXPProgressBar::Clamp() {
  if (FMin != 0 || FMax != 0) FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
}

void TXPProgressBar::SetMin(int value) {
  FMin = value;
  Clamp();
  Invalidate();
}

void TXPProgressBar::SetMax(int value) {
  FMax = value;
  Clamp();
  Invalidate();
}

void TXPProgressBar::SetPosition(int value) {
  FPosition = value;
  Clamp();
  Invalidate();
}

void TXPProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  if (!Loading() && Align() == TAlign::alNone) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

int TXPProgressBar::ChunkCount(int min, int max, int position, int length, int chunkLength, int spacing) {
  if (min == max) return 0;
  double filled = double(std::int64_t(position) - min) * double(length);
  double whole = double(std::int64_t(max) - min) * double(chunkLength + spacing);
  return int(std::trunc(filled / whole + 1 - 0.000001));
}

int TXPProgressBar::FilledLength(int length) const {
  if (FMin == FMax) return length;
  return int(std::lround(double(std::int64_t(FPosition) - FMin) * length / double(std::int64_t(FMax) - FMin)));
}

void TXPProgressBar::Paint() {
  bool vertical = FOrientation == TProgressBarOrientation::pbVertical;
  int mode = GetThemeMode();
  bool native = FLookAndFeel == TXPLookAndFeel::xlfNative;
  int p, q, cw, ch;
  if (native && mode != 0) {
    p = 4;
    q = 3;
    if (mode == 2 && IsVistaOrLater()) p = q = 0;
    cw = 10;
    ch = 12;
    if (vertical) {
      std::swap(p, q);
      cw = 12;
      ch = 10;
    }
  } else {
    p = q = 2;
    if (!vertical) {
      ch = Height() - 4;
      cw = MulDiv(ch, 3, 5);
    } else {
      cw = Width() - 4;
      ch = MulDiv(cw, 3, 5);
    }
  }
  RECT bar = ClientRect();
  InflateRect(&bar, -p, -q);
  int c = vertical ? ch : cw;
  int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
  int s = kChunkSpacing;
  TThemeHandle theme(native && mode == 2 && HandleAllocated() ? Handle() : nullptr, L"PROGRESS");
  if (theme) {
    // The theme's chunk and gap, unless it answers neither.
    int chunk = 0, space = 0;
    const int part = vertical ? PP_CHUNKVERT : PP_CHUNK;
    ThemeInt(theme, part, 1, TMT_PROGRESSCHUNKSIZE, chunk);
    ThemeInt(theme, part, 1, TMT_PROGRESSSPACESIZE, space);
    if (chunk != 0 || space != 0) {
      c = chunk;
      s = space;
    }
  }
  int n = ChunkCount(FMin, FMax, FPosition, length, c, s);
  bool pictures = !native && !IsGraphicEmpty(FBackImage.get()) && !IsGraphicEmpty(FBarImage.get());
  FPaintedChunks = 0;
  if (native && mode == 1)
    // The chunk picture carries its own gap and the chunks are laid edge to
    // edge: counted with the gap, a full bar would show only five sixths.
    PaintSkin(bar, ChunkCount(FMin, FMax, FPosition, length, c, 0), cw, ch, p, q);
  else if (theme)
    PaintThemed(theme, bar, n, c, s);
  else if (native && mode == 2)
    PaintPlain(bar, n, c, s, vertical ? bar.right - bar.left : c, vertical ? c : bar.bottom - bar.top);
  else if (pictures)
    PaintPictures(bar, n, c, s, cw, ch);
  else
    PaintPlain(bar, n, c, s, cw, ch);
  DoPostPaint();
}

void TXPProgressBar::PaintPlain(const RECT& bar, int n, int, int s, int cw, int ch) {
  HDC dc = Canvas().Handle();
  RECT client = ClientRect();
  // The classic look always has the sunken edge; the custom one unless it has a frame colour.
  bool classic = FLookAndFeel == TXPLookAndFeel::xlfNative;
  TColor frame = Enabled() ? FFrameColor : SubstBtnShadowColor;
  if (FFrameColor == clDefault || classic)
    DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
  else
    FrameWithColor(dc, client, frame);
  TColor empty = Enabled() ? (FBackgroundColor == clDefault ? clBtnFace : FBackgroundColor) : SubstBtnFaceColor;
  TColor filled = Enabled() ? (FBarColor == clDefault ? clHighlight : FBarColor) : SubstGrayTextColor;
  RECT inner = client;
  InflateRect(&inner, -1, -1);
  FrameWithColor(dc, inner, empty);
  TClipRect clip(dc, bar, !(ControlState() & csPaintCopy));
  bool vertical = FOrientation == TProgressBarOrientation::pbVertical;
  if (FSmooth) {
    int f = FilledLength(vertical ? bar.bottom - bar.top : bar.right - bar.left);
    if (!vertical) {
      FillWith(dc, RECT{bar.left, bar.top, bar.left + f, bar.bottom}, filled);
      FillWith(dc, RECT{bar.left + f, bar.top, bar.right, bar.bottom}, empty);
    } else {
      FillWith(dc, RECT{bar.left, bar.bottom - f, bar.right, bar.bottom}, filled);
      FillWith(dc, RECT{bar.left, bar.top, bar.right, bar.bottom - f}, empty);
    }
    return;
  }
  FPaintedChunks = n;
  if (!vertical) {
    for (int i = 0; i < n; ++i) {
      int x = bar.left + i * (cw + s);
      FillWith(dc, RECT{x, bar.top, x + cw, bar.top + ch}, filled);
      FillWith(dc, RECT{x + cw, bar.top, x + cw + s, bar.top + ch}, empty);
    }
    FillWith(dc, RECT{bar.left + n * (cw + s), bar.top, bar.right, bar.bottom}, empty);
  } else {
    for (int i = 1; i <= n; ++i) {
      int y = bar.bottom + s - i * (ch + s);
      FillWith(dc, RECT{bar.left, y, bar.left + cw, y + ch}, filled);
      FillWith(dc, RECT{bar.left, y - s, bar.left + cw, y}, empty);
    }
    FillWith(dc, RECT{bar.left, bar.top, bar.right, bar.bottom - n * (ch + s)}, empty);
  }
}

void TXPProgressBar::PaintSkin(const RECT& bar, int n, int cw, int ch, int p, int q) {
  HDC dc = Canvas().Handle();
  bool vertical = FOrientation == TProgressBarOrientation::pbVertical;
  DrawParentBackground(*this, dc, nullptr);
  TAlphaImage& frame = gProgressSkins.AlphaImage(vertical ? 1 : 0);
  DrawNineGrid(dc, ClientRect(), frame, p, q, p, q);
  TAlphaImage& chunk = gProgressSkins.AlphaImage(vertical ? 3 : 2);
  TClipRect clip(dc, bar, !(ControlState() & csPaintCopy));
  FPaintedChunks = n;
  for (int i = 0; i < n; ++i) {
    if (!vertical) {
      RECT r{bar.left + i * cw, bar.top, bar.left + (i + 1) * cw, bar.bottom};
      DrawNineGrid(dc, r, chunk, 0, 6, 0, 5);
    } else {
      RECT r{bar.left, bar.bottom - (i + 1) * ch, bar.right, bar.bottom - i * ch};
      DrawNineGrid(dc, r, chunk, 6, 0, 5, 0);
    }
  }
}

void TXPProgressBar::PaintThemed(HTHEME theme, const RECT& bar, int n, int c, int s) {
  HDC dc = Canvas().Handle();
  bool vertical = FOrientation == TProgressBarOrientation::pbVertical;
  RECT client = ClientRect();
  DrawThemeParentBackground(Handle(), dc, &client);
  DrawThemeBackground(theme, dc, vertical ? PP_BARVERT : PP_BAR, 0, &client, nullptr);
  TClipRect clip(dc, bar, !(ControlState() & csPaintCopy));
  if (s > 0) {
    FPaintedChunks = n;
    for (int i = 0; i < n; ++i) {
      RECT r = vertical ? RECT{bar.left, bar.bottom - c - s - i * (c + s), bar.right, bar.bottom - i * (c + s)}
                        : RECT{bar.left + i * (c + s), bar.top, bar.left + i * (c + s) + c, bar.bottom};
      DrawThemeBackground(theme, dc, vertical ? PP_CHUNKVERT : PP_CHUNK, 0, &r, nullptr);
    }
  } else {
    RECT r = bar;
    int f = FilledLength(vertical ? bar.bottom - bar.top : bar.right - bar.left);
    if (vertical)
      r.top = r.bottom - f;
    else
      r.right = r.left + f;
    if (f <= 0) {
      // Nothing filled: the theme would still draw a sliver.
    } else if (IsVistaOrLater())
      DrawThemeBackground(theme, dc, vertical ? PP_FILLVERT : PP_FILL, int(FState) + 1, &r, nullptr);
    else
      DrawThemeBackground(theme, dc, vertical ? PP_CHUNKVERT : PP_CHUNK, 0, &r, nullptr);
  }
}

void TXPProgressBar::PaintPictures(const RECT& bar, int n, int, int s, int cw, int ch) {
  HDC dc = Canvas().Handle();
  bool vertical = FOrientation == TProgressBarOrientation::pbVertical;
  DrawParentBackground(*this, dc, nullptr);
  auto nine = [&](TAlphaBitmap& image, const RECT& dest) {
    int w = image.Width(), h = image.Height();
    DrawSkinBitmap(dest, RECT{2, 2, w - 2, h - 2}, RECT{0, 0, w, h}, dc, image.Handle(), true);
  };
  nine(*FBackImage, ClientRect());
  TClipRect clip(dc, bar, !(ControlState() & csPaintCopy));
  if (FSmooth) {
    int f = FilledLength(vertical ? bar.bottom - bar.top : bar.right - bar.left);
    if (f > 0)
      nine(*FBarImage, vertical ? RECT{bar.left, bar.bottom - f, bar.right, bar.bottom}
                                : RECT{bar.left, bar.top, bar.left + f, bar.bottom});
    return;
  }
  FPaintedChunks = n;
  for (int i = 0; i < n; ++i) {
    if (!vertical) {
      int x = bar.left + i * (cw + s);
      nine(*FBarImage, RECT{x, bar.top, x + cw, bar.top + ch});
    } else {
      int y = bar.bottom + s - (i + 1) * (ch + s);
      nine(*FBarImage, RECT{bar.left, y, bar.left + cw, y + ch});
    }
  }
}

void TXPProgressBar::DoPostPaint() {
  if (OnPostPaint) OnPostPaint(this);
}

}  // namespace tvk
