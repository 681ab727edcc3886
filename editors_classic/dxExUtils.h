#pragma once
// Routines the sizable pop-ups and the picture editors share: the caption
// strip of a pop-up that the user sizes by one corner (its close button and
// its mirrored size grip), and the move of a picture between a TPicture and
// the string value under which hosts keep a picture cell.
#include "ComRef.h"
#include "Graphics.h"
#include "ImageLists.h"
#include "Streams.h"
#include "dxCore.h"

#include <cstdint>
#include <string_view>

namespace tvk {

// --- sizable pop-up frames

// The height of the caption strip that holds the grip and the close button.
int GetPopupCaptionHeight();
int CornerToHitTest(TdxCorner corner);
bool IsRightCorner(TdxCorner corner);
bool IsBottomCorner(TdxCorner corner);
// ARect is the strip on entry and the button's outer rectangle on return.
// Pressed is 0 or 1.
void DrawPopupCloseButton(HDC dc, RECT& rect, bool hot, TdxCorner corner, int pressed);
// The same for a caption-button width (SM_CXSIZE) given by the caller.
void DrawPopupCloseButtonSized(HDC dc, RECT& rect, bool hot, TdxCorner corner, int pressed, int buttonWidth);
// ARect is the area on entry and the grip's rectangle on return.
void DrawCornerSizeGrip(HDC dc, RECT& rect, TdxCorner corner);

// --- picture values

// The optional header before the graphic bytes of a picture value.
#pragma pack(push, 1)
struct TdxPictureGraphicHeader {
  std::uint16_t Count;
  std::uint16_t HType;
  std::uint32_t HSize;
};
#pragma pack(pop)
static_assert(sizeof(TdxPictureGraphicHeader) == 8);
constexpr std::uint16_t kPictureHeaderCount = 1;
constexpr std::uint16_t kPictureHeaderType = 0x0100;

// A read-only stream over memory that the caller keeps alive.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
public:
  TVK_CLASS(TMemoryStreamReadOnly, TCustomMemoryStream)
  void SetBuffer(const void* buffer, std::size_t size) { SetPointer(buffer, size); }
  std::size_t Write(const void* buffer, std::size_t count) override {
    (void)buffer;
    (void)count;
    return 0;
  }
};

bool IsPictureEmpty(const TPicture* picture);
// A byte array, or a string value (of N characters carrying N bytes), loads
// Picture, as a GraphicClass when one is given, else as a bitmap; anything
// else, or a value shorter than a header, clears it. Damaged data raises the
// graphic's error.
void LoadPictureFromValue(TPicture& picture, TGraphicClass graphicClass, const Variant& value);
void LoadPictureFromText(TPicture& picture, TGraphicClass graphicClass, std::wstring_view text);
void LoadPictureFromBytes(TPicture& picture, TGraphicClass graphicClass, const void* data, std::size_t size);
// The graphic's stream as a value of N characters; empty for an empty picture.
WideString SavePictureToText(const TPicture* picture);
// The graphic's stream as a byte array; Null for an empty picture.
Variant SavePictureToValue(const TPicture* picture);

// The blob cells' kind glyphs (18 x 16): 0 blob empty, 1 blob, 2 memo empty,
// 3 memo, 4 picture empty, 5 picture, 6 OLE empty, 7 OLE. Made on first use,
// freed at the unit's shut-down; hosts draw from it too.
TImageList& GetBlobGlyphImages();
bool BlobGlyphImagesCreated();
void FreeBlobGlyphImages();

}  // namespace tvk
