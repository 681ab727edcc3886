#pragma once
// The in-place editors' bottom layer: one read/write interface over a registry
// or an ini-file store, and the drawing helpers that every windowless cell
// painter and pop-up shares (cached brushes, text placement, work-area fitting).
#include "Graphics.h"
#include "ImageLists.h"
#include "IniFiles.h"
#include "Registry.h"

#include <string_view>

namespace tvk {

// One interface over a store that the caller owns: an ini store (TIniFile,
// TMemIniFile) or a registry store (TRegIniFile). Binary data lives only in
// the registry; Erase only touches ini stores.
class TdxRegIniWrapper : public TObject {
public:
  TVK_CLASS(TdxRegIniWrapper, TObject)
  TObject* RegIniObject() const { return FRegIniObject; }
  void SetRegIniObject(TObject* store) { FRegIniObject = store; }

  WideString ReadString(const WideString& section, const WideString& ident, const WideString& defaultValue);
  void WriteString(const WideString& section, const WideString& ident, const WideString& value);
  int ReadInteger(const WideString& section, const WideString& ident, int defaultValue);
  void WriteInteger(const WideString& section, const WideString& ident, int value);
  bool ReadBool(const WideString& section, const WideString& ident, bool defaultValue);
  void WriteBool(const WideString& section, const WideString& ident, bool value);
  void ReadSection(const WideString& section, TStrings& strings);
  void ReadSections(TStrings& strings);
  void ReadSectionValues(const WideString& section, TStrings& strings);
  void EraseSection(const WideString& section);
  void DeleteKey(const WideString& section, const WideString& ident);
  // Erases every section whose name starts with Path (case-sensitive).
  void Erase(const WideString& path);
  // BufSize <= 0 asks for the value's size. 0 for a missing key or value.
  int ReadBinaryData(const WideString& section, const WideString& name, void* buffer, int bufSize);
  void WriteBinaryData(const WideString& section, const WideString& name, const void* buffer, int bufSize);

private:
  TCustomIniFile* IniStore() const;
  TRegIniFile& RegistryStore() const;
  TObject* FRegIniObject = nullptr;
};

// Flags of DrawAlignedText.
enum TdxDrawAlignment { daSingleLine = 0, daVCenter = 4, daBottom = 8, daMultiLine = 16, daMultiLineVCenter = 20 };
constexpr WORD kDrawTextEndEllipsis = 0x0100, kDrawTextPathEllipsis = 0x0200, kDrawTextFocusRect = 0x0400,
               kDrawTextFocusOnText = 0x0800, kDrawTextNoFill = 0x1000, kDrawTextPrefix = 0x2000,
               kDrawTextMeasure = 0x4000, kDrawTextOpaque = 0x8000;

// Shared brushes, made on first request; callers never delete them.
HBRUSH GetHalftoneBrush();
HBRUSH GetShadowBrush();
// Shut-down: the halftone brush by this unit, the shadow brush by the containers' unit.
void FreeHalftoneBrush();
void FreeShadowBrush();

void EnsureBitmapSize(TBitmap& bitmap, int width, int height);
void DitherRect(HDC dc, const RECT& rect, TColor color);
void DrawBitmapOverBrush(HDC dc, HBRUSH brush, const RECT& rect, TBitmap& bitmap);
void DrawGlyphOverBrush(HDC dc, HBRUSH brush, const RECT& targetRect, const RECT& glyphRect, TBitmap& bitmap);
// Draws (or with kDrawTextMeasure measures) Text in TextRect, filling FillRect;
// the device context's font and colours are put back. Measuring answers the
// height FillRect needs, drawing 0.
int DrawAlignedText(HDC dc, std::wstring_view text, int count, RECT fillRect, RECT textRect, WORD flags,
                    HBRUSH brush, HFONT font, COLORREF bkColor, COLORREF textColor, int* lineHeight);
// Moves a pop-up's top-left corner onto the work area of its monitor, above
// its editor when it does not fit below and there is more room above.
void FitPopupToWorkArea(POINT& p, int width, int height, int editHeight);
void GetMonitorWorkArea(POINT p, RECT& r);
// Tests replace the work-area lookup; null puts the system's back.
using TWorkAreaLookup = void (*)(POINT p, RECT& r);
void SetMonitorWorkAreaLookup(TWorkAreaLookup lookup);
COLORREF ColorToImageListColor(TColor color);
void DrawImageListItem(HDC dc, int x, int y, int index, TCustomImageList& imageList);
void PaintShadowEdges(HDC dc, const RECT& rect, int size, HBRUSH brush);

void DxUtilsUnitShutdown();

}  // namespace tvk
