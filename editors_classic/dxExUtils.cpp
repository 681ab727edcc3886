#include "dxExUtils.h"

#include "Variants.h"
#include "WindowClasses.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tvk {

namespace {

// The blob glyphs in image order; olive is their mask colour.
constexpr const wchar_t* kBlobGlyphNames[] = {
    L"DXINPLACE_BLOB_NULL", L"DXINPLACE_BLOB", L"DXINPLACE_MEMO_NULL", L"DXINPLACE_MEMO",
    L"DXINPLACE_PICT_NULL", L"DXINPLACE_PICT", L"DXINPLACE_OLE_NULL",  L"DXINPLACE_OLE"};
constexpr TColor kBlobGlyphMaskColor = 0x00008080;

std::unique_ptr<TImageList> gBlobGlyphImages;

// The glyph of a close button is drawn one pixel lower except at the one
// caption-button width whose glyph already sits centred.
constexpr int kCloseGlyphCentredWidth = 22;

// Puts a device context's clip region back when it goes.
class TSavedClip {
public:
  explicit TSavedClip(HDC dc) : FDC(dc), FRgn(CreateRectRgn(0, 0, 0, 0)) {
    FHadClip = GetClipRgn(dc, FRgn) == 1;
  }
  ~TSavedClip() { SelectClipRgn(FDC, FHadClip ? FRgn.Get() : nullptr); }
  TSavedClip(const TSavedClip&) = delete;
  TSavedClip& operator=(const TSavedClip&) = delete;

private:
  HDC FDC;
  TGdiObject<HRGN> FRgn;
  bool FHadClip = false;
};

void FillFace(HDC dc, int left, int top, int right, int bottom) {
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

int GetPopupCaptionHeight() {
  int h = GetSystemMetrics(SM_CYHSCROLL) + 2;
  h = std::max(h, GetSystemMetrics(SM_CYSIZE));
  return h + 1;
}

int CornerToHitTest(TdxCorner corner) {
  switch (corner) {
    case coTopLeft: return HTTOPLEFT;
    case coTopRight: return HTTOPRIGHT;
    case coBottomLeft: return HTBOTTOMLEFT;
    case coBottomRight: break;
  }
  return HTBOTTOMRIGHT;
}

bool IsRightCorner(TdxCorner corner) { return corner == coTopRight || corner == coBottomRight; }
bool IsBottomCorner(TdxCorner corner) { return corner == coBottomLeft || corner == coBottomRight; }

void DrawPopupCloseButton(HDC dc, RECT& rect, bool hot, TdxCorner corner, int pressed) {
  DrawPopupCloseButtonSized(dc, rect, hot, corner, pressed, GetSystemMetrics(SM_CXSIZE));
}

void DrawPopupCloseButtonSized(HDC dc, RECT& rect, bool hot, TdxCorner corner, int pressed, int buttonWidth) {
  const int w = buttonWidth;
  const int h = w + 1;
  if (IsRightCorner(corner))
    rect.right = rect.left + w;
  else
    rect.left = rect.right - w;
  rect.top = (rect.top + rect.bottom - h) / 2;
  if (IsBottomCorner(corner)) ++rect.top;
  rect.bottom = rect.top + h;
  InflateRect(&rect, -1, -2);
  if (hot)
    DrawEdge(dc, &rect, pressed == 0 ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
  else
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  InflateRect(&rect, -1, -1);
  FrameRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  {
    TSavedClip clip(dc);
    const TGdiObject<HRGN> inner(CreateRectRgn(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1));
    SelectClipRgn(dc, inner);
    InflateRect(&rect, 1, 1);
    const int shift = w != kCloseGlyphCentredWidth ? 1 : 0;
    rect.top += shift;
    UINT state = DFCS_CAPTIONCLOSE | DFCS_FLAT;
    if (pressed == 1) state |= DFCS_PUSHED;
    DrawFrameControl(dc, &rect, DFC_CAPTION, state);
    rect.top -= shift;
  }
}

void DrawCornerSizeGrip(HDC dc, RECT& rect, TdxCorner corner) {
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  if (IsRightCorner(corner))
    rect.left = rect.right - cx;
  else
    rect.right = rect.left + cx;
  if (IsBottomCorner(corner))
    rect.top = rect.bottom - cy;
  else
    rect.bottom = rect.top + cy;
  const bool mirrorX = !IsRightCorner(corner), mirrorY = !IsBottomCorner(corner);
  RECT r = rect;
  if (mirrorX) {
    r.left += 2;
    FillFace(dc, rect.left, r.top, r.left, r.bottom);
  } else {
    r.right -= 2;
    FillFace(dc, r.right, r.top, rect.right, r.bottom);
  }
  if (mirrorY) {
    r.top += 2;
    FillFace(dc, r.left, rect.top, r.right, r.top);
  } else {
    r.bottom -= 2;
    FillFace(dc, r.left, r.bottom, r.right, rect.bottom);
  }
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  HDC memDC = CreateCompatibleDC(dc);
  const TGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, width, height));
  HGDIOBJ old = SelectObject(memDC, bitmap);
  RECT grip{0, 0, width, height};
  DrawFrameControl(memDC, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  StretchBlt(dc, r.left, r.top, width, height, memDC, mirrorX ? width - 1 : 0, mirrorY ? height - 1 : 0,
             mirrorX ? -width : width, mirrorY ? -height : height, SRCCOPY);
  SelectObject(memDC, old);
  DeleteDC(memDC);
}

bool IsPictureEmpty(const TPicture* picture) {
  return !picture || !picture->Graphic() || picture->Graphic()->Empty();
}

void LoadPictureFromText(TPicture& picture, TGraphicClass graphicClass, std::wstring_view text) {
  // N characters carry N bytes in the first N bytes of their storage.
  LoadPictureFromBytes(picture, graphicClass, text.data(), text.size());
}

void LoadPictureFromBytes(TPicture& picture, TGraphicClass graphicClass, const void* data, std::size_t n) {
  TMemoryStreamReadOnly stream;
  if (n >= sizeof(TdxPictureGraphicHeader)) {
    stream.SetBuffer(data, n);
    TdxPictureGraphicHeader header{};
    stream.ReadBuffer(&header, sizeof header);
    if (!(header.Count == kPictureHeaderCount && header.HType == kPictureHeaderType &&
          header.HSize == n - sizeof header))
      stream.SetPosition(0);
  }
  if (stream.Size() == 0) {
    picture.SetGraphic(nullptr);
    return;
  }
  if (graphicClass) {
    std::unique_ptr<TGraphic> graphic = graphicClass->Create();
    graphic->LoadFromStream(stream);
    picture.SetGraphic(std::move(graphic));
  } else {
    // A bitmap is the default graphic; loaded aside so damaged data leaves
    // the picture as it was.
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromStream(stream);
    picture.SetGraphic(std::move(bitmap));
  }
}

void LoadPictureFromValue(TPicture& picture, TGraphicClass graphicClass, const Variant& value) {
  if (VarIsStr(value)) return LoadPictureFromText(picture, graphicClass, VarToStr(value));
  const std::string bytes = VarArrayBytes(value);  // empty for anything but a byte array
  LoadPictureFromBytes(picture, graphicClass, bytes.data(), bytes.size());
}

Variant SavePictureToValue(const TPicture* picture) {
  if (IsPictureEmpty(picture)) return Null();
  TMemoryStream stream;
  picture->Graphic()->SaveToStream(stream);
  return VarArrayOfBytes(stream.Memory(), stream.Bytes().size());
}

WideString SavePictureToText(const TPicture* picture) {
  if (IsPictureEmpty(picture)) return {};
  TMemoryStream stream;
  picture->Graphic()->SaveToStream(stream);
  const std::size_t n = stream.Bytes().size();
  WideString text(n, L'\0');
  if (n) std::memcpy(text.data(), stream.Memory(), n);
  return text;
}

TImageList& GetBlobGlyphImages() {
  if (!gBlobGlyphImages) {
    auto list = std::make_unique<TImageList>(nullptr);
    list->SetSize(18, 16);
    for (const wchar_t* name : kBlobGlyphNames) {
      TBitmap glyph;
      glyph.LoadFromResourceName(ClassLibraryInstance(), name);
      list->AddMasked(glyph, kBlobGlyphMaskColor);
    }
    gBlobGlyphImages = std::move(list);
  }
  return *gBlobGlyphImages;
}

bool BlobGlyphImagesCreated() { return gBlobGlyphImages != nullptr; }
void FreeBlobGlyphImages() { gBlobGlyphImages.reset(); }

}  // namespace tvk
