#include "dxUtils.h"

#include <algorithm>
#include <memory>

namespace tvk {

// --- TdxRegIniWrapper

TCustomIniFile* TdxRegIniWrapper::IniStore() const { return dynamic_cast<TCustomIniFile*>(FRegIniObject); }

TRegIniFile& TdxRegIniWrapper::RegistryStore() const {
  auto* store = dynamic_cast<TRegIniFile*>(FRegIniObject);
  if (!store) throw Exception(L"No registry or ini store is assigned");
  return *store;
}

WideString TdxRegIniWrapper::ReadString(const WideString& section, const WideString& ident,
                                        const WideString& defaultValue) {
  if (auto* ini = IniStore()) return ini->ReadString(section, ident, defaultValue);
  return RegistryStore().ReadString(section, ident, defaultValue);
}

void TdxRegIniWrapper::WriteString(const WideString& section, const WideString& ident, const WideString& value) {
  if (auto* ini = IniStore()) return ini->WriteString(section, ident, value);
  RegistryStore().WriteString(section, ident, value);
}

int TdxRegIniWrapper::ReadInteger(const WideString& section, const WideString& ident, int defaultValue) {
  if (auto* ini = IniStore()) return ini->ReadInteger(section, ident, defaultValue);
  return RegistryStore().ReadInteger(section, ident, defaultValue);
}

void TdxRegIniWrapper::WriteInteger(const WideString& section, const WideString& ident, int value) {
  if (auto* ini = IniStore()) return ini->WriteInteger(section, ident, value);
  RegistryStore().WriteInteger(section, ident, value);
}

bool TdxRegIniWrapper::ReadBool(const WideString& section, const WideString& ident, bool defaultValue) {
  if (auto* ini = IniStore()) return ini->ReadBool(section, ident, defaultValue);
  return RegistryStore().ReadBool(section, ident, defaultValue);
}

void TdxRegIniWrapper::WriteBool(const WideString& section, const WideString& ident, bool value) {
  if (auto* ini = IniStore()) return ini->WriteBool(section, ident, value);
  RegistryStore().WriteBool(section, ident, value);
}

void TdxRegIniWrapper::ReadSection(const WideString& section, TStrings& strings) {
  if (auto* ini = IniStore()) return ini->ReadSection(section, strings);
  RegistryStore().ReadSection(section, strings);
}

void TdxRegIniWrapper::ReadSections(TStrings& strings) {
  if (auto* ini = IniStore()) return ini->ReadSections(strings);
  RegistryStore().ReadSections(strings);
}

void TdxRegIniWrapper::ReadSectionValues(const WideString& section, TStrings& strings) {
  if (auto* ini = IniStore()) return ini->ReadSectionValues(section, strings);
  RegistryStore().ReadSectionValues(section, strings);
}

void TdxRegIniWrapper::EraseSection(const WideString& section) {
  if (auto* ini = IniStore()) return ini->EraseSection(section);
  RegistryStore().EraseSection(section);
}

void TdxRegIniWrapper::DeleteKey(const WideString& section, const WideString& ident) {
  if (auto* ini = IniStore()) return ini->DeleteKey(section, ident);
  RegistryStore().DeleteKey(section, ident);
}

void TdxRegIniWrapper::Erase(const WideString& path) {
  TCustomIniFile* ini = IniStore();
  if (!ini) return;  // a registry store's keys are deleted by the caller
  TStringList sections;
  ini->ReadSections(sections);
  for (int i = 0; i < sections.Count(); ++i)
    if (sections[i].compare(0, path.size(), path) == 0) ini->EraseSection(sections[i]);
}

namespace {

// Makes Section the registry store's current key for the duration and puts
// the previous one back, also when an error passes.
class TRegSectionScope {
public:
  TRegSectionScope(TRegistry& store, HKEY key) : FStore(store), FPrevious(store.CurrentKey()),
                                                 FPreviousPath(store.CurrentPath()), FKey(key) {
    FStore.ChangeKey(FKey, FPreviousPath);
  }
  ~TRegSectionScope() {
    FStore.ChangeKey(FPrevious, FPreviousPath);
    RegCloseKey(FKey);
  }
  TRegSectionScope(const TRegSectionScope&) = delete;
  TRegSectionScope& operator=(const TRegSectionScope&) = delete;

private:
  TRegistry& FStore;
  HKEY FPrevious;
  WideString FPreviousPath;
  HKEY FKey;
};

}  // namespace

int TdxRegIniWrapper::ReadBinaryData(const WideString& section, const WideString& name, void* buffer, int bufSize) {
  auto* store = dynamic_cast<TRegistry*>(FRegIniObject);
  if (!store) return 0;
  HKEY key = store->OpenSubKey(section, false);
  if (!key) return 0;
  TRegSectionScope scope(*store, key);
  if (!store->ValueExists(name)) return 0;
  if (bufSize <= 0) return store->GetDataSize(name);
  return store->ReadBinaryData(name, buffer, bufSize);
}

void TdxRegIniWrapper::WriteBinaryData(const WideString& section, const WideString& name, const void* buffer,
                                       int bufSize) {
  auto* store = dynamic_cast<TRegistry*>(FRegIniObject);
  if (!store) return;
  HKEY key = store->OpenSubKey(section, true);
  if (!key) throw ERegistryException(L"Failed to create key " + section);
  TRegSectionScope scope(*store, key);
  store->WriteBinaryData(name, buffer, bufSize);
}

// --- brushes

namespace {

HBRUSH gHalftoneBrush = nullptr;
HBRUSH gShadowBrush = nullptr;
TWorkAreaLookup gWorkAreaLookup = nullptr;

// The device context's font and colours, put back when it goes.
class TDCTextState {
public:
  explicit TDCTextState(HDC dc)
      : FDC(dc), FFont(static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT))), FText(GetTextColor(dc)),
        FBk(GetBkColor(dc)), FMode(GetBkMode(dc)) {}
  ~TDCTextState() {
    SelectObject(FDC, FFont);
    SetTextColor(FDC, FText);
    SetBkColor(FDC, FBk);
    SetBkMode(FDC, FMode);
  }
  TDCTextState(const TDCTextState&) = delete;
  TDCTextState& operator=(const TDCTextState&) = delete;

private:
  HDC FDC;
  HFONT FFont;
  COLORREF FText, FBk;
  int FMode;
};

// A memory bitmap selected into a memory context, both freed with it.
class TScratchDC {
public:
  TScratchDC(HDC like, int width, int height, bool mono = false)
      : FDC(CreateCompatibleDC(like)),
        FBitmap(mono ? CreateBitmap(std::max(width, 1), std::max(height, 1), 1, 1, nullptr)
                     : CreateCompatibleBitmap(like, std::max(width, 1), std::max(height, 1))),
        FOld(SelectObject(FDC, FBitmap)) {}
  ~TScratchDC() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TScratchDC(const TScratchDC&) = delete;
  TScratchDC& operator=(const TScratchDC&) = delete;
  HDC DC() const { return FDC; }

private:
  HDC FDC;
  TGdiObject<HBITMAP> FBitmap;  // freed after the destructor's body puts the old one back
  HGDIOBJ FOld;
};

}  // namespace

HBRUSH GetHalftoneBrush() {
  if (!gHalftoneBrush) {
    // Black where x and y have the same parity: a one-pixel checkerboard.
    WORD pattern[8];
    for (int y = 0; y < 8; ++y) pattern[y] = (y % 2 == 0) ? 0x55 : 0xAA;
    const TGdiObject<HBITMAP> bitmap(CreateBitmap(8, 8, 1, 1, pattern));
    gHalftoneBrush = GdiTrack(CreatePatternBrush(bitmap));
  }
  return gHalftoneBrush;
}

HBRUSH GetShadowBrush() {
  if (!gShadowBrush) gShadowBrush = GdiTrack(CreateSolidBrush(ColorToRGB(clBtnShadow)));
  return gShadowBrush;
}

void FreeHalftoneBrush() {
  GdiFree(gHalftoneBrush);
  gHalftoneBrush = nullptr;
}

void FreeShadowBrush() {
  GdiFree(gShadowBrush);
  gShadowBrush = nullptr;
}

void DxUtilsUnitShutdown() { FreeHalftoneBrush(); }

// --- bitmaps

void EnsureBitmapSize(TBitmap& bitmap, int width, int height) {
  if (bitmap.Width() < width) bitmap.SetWidth(width);
  if (bitmap.Height() < height) bitmap.SetHeight(height);
}

void DitherRect(HDC dc, const RECT& rect, TColor color) {
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  TScratchDC memory(dc, w, h);
  SetTextColor(memory.DC(), RGB(0, 0, 0));
  SetBkColor(memory.DC(), RGB(255, 255, 255));
  RECT all{0, 0, w, h};
  FillRect(memory.DC(), &all, GetHalftoneBrush());
  BitBlt(memory.DC(), 0, 0, w, h, dc, rect.left, rect.top, SRCAND);
  COLORREF oldText = SetTextColor(dc, ColorToRGB(color));
  COLORREF oldBk = SetBkColor(dc, RGB(0, 0, 0));
  FillRect(dc, &rect, GetHalftoneBrush());
  BitBlt(dc, rect.left, rect.top, w, h, memory.DC(), 0, 0, SRCPAINT);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
}

namespace {

constexpr DWORD kRopDSPDxax = 0x00E20746;

// Pixels of the image's transparent colour take the brush: a mask from the
// colour, then the brush combined through it.
void ReplaceTransparentByBrush(HDC image, int w, int h, COLORREF transparent, HBRUSH brush) {
  TScratchDC mask(image, w, h, true);
  COLORREF oldBk = SetBkColor(image, transparent);
  BitBlt(mask.DC(), 0, 0, w, h, image, 0, 0, SRCCOPY);
  SetBkColor(image, oldBk);
  COLORREF oldText = SetTextColor(image, RGB(0, 0, 0));
  oldBk = SetBkColor(image, RGB(255, 255, 255));
  HGDIOBJ oldBrush = SelectObject(image, brush);
  BitBlt(image, 0, 0, w, h, mask.DC(), 0, 0, kRopDSPDxax);
  SelectObject(image, oldBrush);
  SetTextColor(image, oldText);
  SetBkColor(image, oldBk);
}

}  // namespace

void DrawBitmapOverBrush(HDC dc, HBRUSH brush, const RECT& rect, TBitmap& bitmap) {
  int w = bitmap.Width(), h = bitmap.Height();
  if (w <= 0 || h <= 0) return;
  COLORREF transparent = ColorToRGB(bitmap.TransparentColor());
  TScratchDC image(dc, w, h);
  BitBlt(image.DC(), 0, 0, w, h, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
  ReplaceTransparentByBrush(image.DC(), w, h, transparent, brush);
  BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, image.DC(), 0, 0, SRCCOPY);
}

void DrawGlyphOverBrush(HDC dc, HBRUSH brush, const RECT& targetRect, const RECT& glyphRect, TBitmap& bitmap) {
  int w = targetRect.right - targetRect.left, h = targetRect.bottom - targetRect.top;
  if (w <= 0 || h <= 0) return;
  COLORREF transparent = ColorToRGB(bitmap.TransparentColor());
  TScratchDC image(dc, w, h);
  RECT all{0, 0, w, h};
  FillRect(image.DC(), &all, brush);
  BitBlt(image.DC(), glyphRect.left - targetRect.left, glyphRect.top - targetRect.top,
         glyphRect.right - glyphRect.left, glyphRect.bottom - glyphRect.top, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
  ReplaceTransparentByBrush(image.DC(), w, h, transparent, brush);
  BitBlt(dc, targetRect.left, targetRect.top, w, h, image.DC(), 0, 0, SRCCOPY);
}

// --- text

int DrawAlignedText(HDC dc, std::wstring_view text, int count, RECT fillRect, RECT textRect, WORD flags,
                    HBRUSH brush, HFONT font, COLORREF bkColor, COLORREF textColor, int* lineHeight) {
  TDCTextState state(dc);
  SelectObject(dc, font);
  SetBkColor(dc, bkColor);
  SetTextColor(dc, textColor);
  count = std::clamp(count, 0, static_cast<int>(text.size()));
  SIZE extent{0, 0};
  GetTextExtentPoint32W(dc, text.data(), count, &extent);
  const int tw = extent.cx, th = extent.cy;
  const bool measuring = (flags & kDrawTextMeasure) != 0;
  // What FillRect has beyond the text rectangle, before measuring changes it.
  const int margin = (fillRect.bottom - fillRect.top) - (textRect.bottom - textRect.top);
  if (measuring && lineHeight) *lineHeight = th;
  if (th == 0 && measuring) return 0;

  const int horizontal = flags & 3, vertical = flags & 0x1C;
  const bool wider = tw > textRect.right - textRect.left;
  const std::wstring_view shown = text.substr(0, static_cast<std::size_t>(count));
  const bool hasBreak = shown.find_first_of(L"\r\n") != std::wstring_view::npos;
  const bool forced = (flags & (kDrawTextPrefix | 0x0010)) != 0;
  const bool wordPath = forced || ((flags & 0x0310) && (wider || hasBreak));
  const bool clipped = wider || forced;
  RECT focus = textRect;
  int height = 0;

  if (wordPath) {
    UINT format = (horizontal == 1 ? DT_CENTER : horizontal == 2 ? DT_RIGHT : DT_LEFT) | DT_EXPANDTABS;
    if (!clipped) format |= DT_NOCLIP;
    if (!(flags & kDrawTextPrefix)) format |= DT_NOPREFIX;
    if (flags & kDrawTextEndEllipsis) format |= DT_END_ELLIPSIS;
    if (flags & kDrawTextPathEllipsis) format |= DT_PATH_ELLIPSIS;
    switch (vertical) {
      case daVCenter: format |= DT_SINGLELINE | DT_VCENTER; break;
      case daBottom: format |= DT_SINGLELINE | DT_BOTTOM; break;
      case daMultiLine: format |= DT_WORDBREAK; break;
      case daMultiLineVCenter: {
        format |= DT_WORDBREAK;
        RECT measured = textRect;
        int h = DrawTextW(dc, shown.data(), count, &measured, format | DT_CALCRECT);
        int top = (textRect.top + textRect.bottom - h) / 2;
        if (top > textRect.top) textRect.top = top;
        break;
      }
      default: format |= DT_SINGLELINE; break;
    }
    if (measuring) {
      height = DrawTextW(dc, shown.data(), count, &textRect, format | DT_CALCRECT);
    } else {
      if (!(flags & kDrawTextNoFill)) FillRect(dc, &fillRect, brush);
      if (!(flags & kDrawTextOpaque)) SetBkMode(dc, TRANSPARENT);
      DrawTextW(dc, shown.data(), count, &textRect, format);
      if ((flags & kDrawTextFocusRect) && (flags & kDrawTextFocusOnText)) {
        DrawTextW(dc, shown.data(), count, &textRect, format | DT_CALCRECT);
        if (!(flags & 0x0010)) textRect.top = textRect.bottom - th;
      }
    }
  } else {
    RECT clip = fillRect;
    if (clipped) {
      if (!(flags & kDrawTextNoFill) && fillRect.right > textRect.right && !measuring) {
        RECT rest{textRect.right, fillRect.top, fillRect.right, fillRect.bottom};
        FillRect(dc, &rest, brush);
      }
      clip.right = std::min(clip.right, textRect.right);
    } else {
      if (horizontal == 1)
        textRect.left = (textRect.left + textRect.right - tw) / 2;
      else if (horizontal == 2)
        textRect.left = textRect.right - tw;
      textRect.right = textRect.left + tw;
    }
    if (vertical == daVCenter) {
      textRect.top = (textRect.top + textRect.bottom - th) / 2;
      textRect.bottom = textRect.top + th;
    } else if (vertical == daBottom) {
      textRect.top = textRect.bottom - th;
    }
    height = th;
    if (!measuring) {
      if (flags & kDrawTextNoFill) {
        if (!(flags & kDrawTextOpaque)) SetBkMode(dc, TRANSPARENT);
        ExtTextOutW(dc, textRect.left, textRect.top, ETO_CLIPPED, &clip, shown.data(), count, nullptr);
      } else {
        ExtTextOutW(dc, textRect.left, textRect.top, ETO_CLIPPED | ETO_OPAQUE, &clip, shown.data(), count, nullptr);
      }
    }
  }

  if (measuring) return height + margin;
  if ((flags & kDrawTextFocusRect) && (count > 0 || !(flags & kDrawTextFocusOnText))) {
    RECT r = (flags & kDrawTextFocusOnText) ? textRect : focus;
    InflateRect(&r, 1, 1);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &r);
  }
  return 0;
}

// --- placement

void SetMonitorWorkAreaLookup(TWorkAreaLookup lookup) { gWorkAreaLookup = lookup; }

void GetMonitorWorkArea(POINT p, RECT& r) {
  if (gWorkAreaLookup) return gWorkAreaLookup(p, r);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  if (HMONITOR monitor = MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST)) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) r = info.rcWork;
  }
}

void FitPopupToWorkArea(POINT& p, int width, int height, int editHeight) {
  RECT r{};
  GetMonitorWorkArea(p, r);
  if (p.x < r.left) p.x = r.left;
  if (p.x + width > r.right) p.x = r.right - width;
  if (p.y + height > r.bottom && r.bottom - (p.y + editHeight) < p.y - r.top) p.y -= height + editHeight;
}

COLORREF ColorToImageListColor(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(color);
}

void DrawImageListItem(HDC dc, int x, int y, int index, TCustomImageList& imageList) {
  if (!imageList.HandleAllocated()) return;
  ImageList_DrawEx(imageList.Handle(), index, dc, x, y, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
}

void PaintShadowEdges(HDC dc, const RECT& rect, int size, HBRUSH brush) {
  RECT bottom{rect.left, rect.bottom - size, rect.right, rect.bottom};
  RECT right{rect.right - size, rect.top, rect.right, rect.bottom};
  FillRect(dc, &bottom, brush);
  FillRect(dc, &right, brush);
}

}  // namespace tvk
