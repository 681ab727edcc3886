#include "cxDrawTextUtils.h"

#include "cxControls.h"
#include "dxCore.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tvk {

namespace text_layout {

HBRUSH gNormalRowPattern = nullptr, gBoldRowPattern = nullptr;

constexpr wchar_t kLayoutCR = L'\r', kLayoutLF = L'\n';
constexpr wchar_t kLayoutEllipsis[] = L"...";

bool IsLayoutBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

struct TTextRowFormat {
  TcxTextAlignX Align;
  bool BreakByWords, BreakByChars, CalcRect, EditControl, EndEllipsis, ExpandTabs, ExcelStyle, SingleLine;
  bool LastRowWithEllipsis;
};

TTextRowFormat BuildRowFormat(const TcxTextParams& P) {
  TTextRowFormat f{};
  f.Align = P.TextAlignX;
  f.BreakByWords = !P.SingleLine && (P.WordBreak || P.TextAlignX == taJustifyX || P.TextAlignX == taDistributeX);
  f.BreakByChars = f.BreakByWords && (P.CharBreak || P.EditControl);
  f.CalcRect = P.CalcRect;
  f.EditControl = P.EditControl;
  f.EndEllipsis = P.EndEllipsis;
  f.ExpandTabs = P.ExpandTabs;
  f.ExcelStyle = P.ExcelStyle;
  f.SingleLine = P.SingleLine;
  return f;
}

bool IsFarEastSystemLocale() { return GetSystemMetrics(SM_DBCSENABLED) != 0; }

// The logical extent of ADevice device pixels.
SIZE LogicalSizeOfDevicePixelsOnDC(HDC ADC, int ADevice) {
  POINT p[2] = {{0, 0}, {ADevice, ADevice}};
  DPtoLP(ADC, p, 2);
  return SIZE{std::abs(p[1].x - p[0].x), std::abs(p[1].y - p[0].y)};
}

const wchar_t* FindLineEnd(const wchar_t* p, const wchar_t* AEnd) {
  while (p < AEnd && *p != kLayoutCR && *p != kLayoutLF) ++p;
  return p;
}

// Past a CR LF / LF CR pair (or a lone CR or LF) at p.
const wchar_t* SkipLineBreak(const wchar_t* p, const wchar_t* AEnd) {
  if (p >= AEnd) return p;
  const wchar_t first = *p++;
  if (p < AEnd && ((first == kLayoutCR && *p == kLayoutLF) || (first == kLayoutLF && *p == kLayoutCR))) ++p;
  return p;
}

const wchar_t* BreakWordToFit(HDC ADC, const wchar_t* AText, int ALength, bool AExpandTabs, int AMaxWidth,
                              TcxCalcTextExtentsProc ACalc, void* AUserData) {
  int lo = 0, hi = ALength;
  while (hi - lo > 1) {
    const int mid = lo + (hi - lo) / 2;
    SIZE size{};
    ACalc(ADC, AText, mid, size, AUserData, AExpandTabs);
    if (size.cx > AMaxWidth) hi = mid;
    else lo = mid;
  }
  return AText + (ALength > 0 ? std::max(lo, 1) : 0);
}

const wchar_t* GetNextRowStart(HDC ADC, const wchar_t* ARowStart, const wchar_t* AEnd, void* AUserData,
                               TcxCalcTextExtentsProc ACalc, TcxTextRow& ARow, const TTextRowFormat& F, int AMaxWidth) {
  ARow.Text = ARowStart;
  const wchar_t* p = ARowStart;
  const wchar_t* rowEnd = nullptr;
  const wchar_t* next = nullptr;
  bool wrapped = false;
  int previousWidth = 0;
  while (p < AEnd) {
    const wchar_t* chunkEnd = F.BreakByWords && !F.CalcRect ? GetNextWordBreak(p, AEnd) : FindLineEnd(p, AEnd);
    SIZE size{};
    ACalc(ADC, ARowStart, int(chunkEnd - ARowStart), size, AUserData, F.ExpandTabs);
    if (F.BreakByWords && size.cx > AMaxWidth) {
      wrapped = true;
      if (p != ARowStart && !F.LastRowWithEllipsis) {
        rowEnd = next = p;
      } else if (F.BreakByChars) {
        rowEnd = next = BreakWordToFit(ADC, p, int(chunkEnd - p), F.ExpandTabs, AMaxWidth - previousWidth, ACalc,
                                       AUserData);
      } else {
        rowEnd = next = chunkEnd;
        if (F.EndEllipsis && chunkEnd < AEnd && (*chunkEnd == kLayoutCR || *chunkEnd == kLayoutLF)) {
          next = SkipLineBreak(chunkEnd, AEnd);
          wrapped = false;
        }
      }
      break;
    }
    if (chunkEnd < AEnd && (*chunkEnd == kLayoutCR || *chunkEnd == kLayoutLF)) {
      rowEnd = chunkEnd;
      next = SkipLineBreak(chunkEnd, AEnd);
      break;
    }
    p = chunkEnd;
    previousWidth = size.cx;
  }
  if (!rowEnd) rowEnd = next = p;
  ARow.TextLength = int(rowEnd - ARowStart);
  if (wrapped && next < AEnd) {
    switch (F.Align) {
      case taLeft:
        if (IsLayoutBlank(*next)) ++next;
        break;
      case taCenterX:
        if (ARow.TextLength > 0 && IsLayoutBlank(ARowStart[ARow.TextLength - 1])) --ARow.TextLength;
        if (IsLayoutBlank(*next)) ++next;
        break;
      case taRight:
        if (ARow.TextLength > 0 && IsLayoutBlank(ARowStart[ARow.TextLength - 1])) --ARow.TextLength;
        break;
      default:
        break;
    }
    if (F.ExcelStyle)
      while (next < AEnd && *next == L' ') ++next;
  }
  if (F.Align == taDistributeX || (wrapped && F.Align == taJustifyX)) {
    while (ARow.TextLength > 0 && IsLayoutBlank(ARowStart[ARow.TextLength - 1])) --ARow.TextLength;
    ARow.BreakCount = int(std::count_if(ARowStart, ARowStart + ARow.TextLength, IsLayoutBlank));
  }
  return next;
}

bool IsLastTextRow(const TcxTextParams& P, int ACount, int AHeight, int AMaxHeight, int AMaxLineCount) {
  if (P.SingleLine) return true;
  if (P.TextAlignY == taTop && !P.CalcRect && !P.CalcRowCount) {
    if (P.EditControl && !P.NoClip) return AHeight + P.FullRowHeight > AMaxHeight;
    return AHeight > AMaxHeight;
  }
  return AMaxLineCount >= 1 && ACount >= AMaxLineCount;
}

bool IsMetafileTextDC(HDC ADC) {
  const DWORD type = GetObjectType(ADC);
  return type == OBJ_METADC || type == OBJ_METAFILE || type == OBJ_ENHMETADC || type == OBJ_ENHMETAFILE;
}

// Right-to-left text of a right-to-left character set is highlighted from the row's right end.
bool IsMirroredHighlightText(const wchar_t* AText, int ALength, uint8_t ACharSet) {
  if (ACharSet == DEFAULT_CHARSET) {
    CHARSETINFO info{};
    if (TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(GetACP())), &info, TCI_SRCCODEPAGE))
      ACharSet = uint8_t(info.ciCharset);
  }
  if (ACharSet != HEBREW_CHARSET && ACharSet != ARABIC_CHARSET) return false;
  return std::any_of(AText, AText + ALength, [](wchar_t c) { return c >= 0x0590 && c <= 0x06FF; });
}

int RowPrefixWidth(HDC ADC, const wchar_t* AText, int ACount, bool AExpandTabs) {
  if (ACount <= 0) return 0;
  SIZE size{};
  CalcTextExtents(ADC, AText, ACount, size, AExpandTabs);
  return size.cx;
}

void OutputTextRow(HDC ADC, const TcxTextRow& ARow, const TcxTextParams& P) {
  if (P.ExpandTabs)
    PlatformTabbedTextOut(ADC, ARow.TextOriginX, ARow.TextOriginY, ARow.Text, ARow.TextLength, ARow.TextOriginX);
  else
    PlatformTextOut(ADC, ARow.TextOriginX, ARow.TextOriginY, ARow.Text, ARow.TextLength);
}

void OutputRowEndEllipsis(HDC ADC, const TcxTextRow& ARow, const TcxTextParams& P, const RECT& ABand) {
  const int x = ARow.TextOriginX + ARow.TextExtents.cx;
  if (x >= ABand.right) return;
  const bool clip = !P.NoClip && x + P.EndEllipsisWidth > ABand.right;
  PlatformExtTextOut(ADC, x, ARow.TextOriginY, clip ? ETO_CLIPPED : 0, clip ? &ABand : nullptr, kLayoutEllipsis, 3);
}

// The clip region of the DC, or null when it has none (restored by RestoreRowClip).
HRGN SaveRowClip(HDC ADC) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(ADC, region) != 1) {
    DeleteObject(region);
    return nullptr;
  }
  return region;
}

void RestoreRowClip(HDC ADC, HRGN ARegion) {
  SelectClipRgn(ADC, ARegion);
  if (ARegion) DeleteObject(ARegion);
}

// The row cut to what fits before the ellipsis, measured again.
void PrepareRowEndEllipsis(HDC ADC, TcxTextRow& ARow, const TcxTextParams& P, const RECT& R) {
  const int available = std::max(0, int(R.right - R.left) - P.EndEllipsisWidth);
  int fit = 0;
  SIZE size{};
  PlatformGetTextExtentExPoint(ADC, ARow.Text, ARow.TextLength, available, &fit, size);
  if (P.TextAlignX == taLeft && ARow.TextLength > 0) fit = std::max(fit, 1);
  ARow.TextLength = std::min(fit, ARow.TextLength);
  CalcTextExtents(ADC, ARow.Text, ARow.TextLength, ARow.TextExtents, P.ExpandTabs);
}

}  // namespace text_layout

using namespace text_layout;

void SetTextRowCount(TcxTextRows& ARows, int ACount) {
  ACount = std::max(ACount, 0);
  if (ACount > cxStaticTextRowCount && int(ARows.DynamicRows.size()) < ACount - cxStaticTextRowCount)
    ARows.DynamicRows.resize(std::size_t(ACount - cxStaticTextRowCount + 4));
  ARows.Count = ACount;
  if (ACount > 0) ARows.Row(ACount - 1) = TcxTextRow{};
}

void FillTextParamsFromDC(HDC ADC, UINT AFormat, TcxTextParams& AParams, double ALineSpacing) {
  AParams = TcxTextParams{};
  TEXTMETRICW metric{};
  bool haveMetric = GetTextMetricsW(ADC, &metric) != FALSE;
  if (!haveMetric) {
    TEXTMETRICA ansi{};
    if (GetTextMetricsA(ADC, &ansi)) {
      haveMetric = true;
      metric.tmHeight = ansi.tmHeight;
      metric.tmWeight = ansi.tmWeight;
      metric.tmBreakChar = wchar_t(static_cast<unsigned char>(ansi.tmBreakChar));
      metric.tmMaxCharWidth = ansi.tmMaxCharWidth;
      metric.tmCharSet = ansi.tmCharSet;
      metric.tmExternalLeading = ansi.tmExternalLeading;
    }
  }
  if (haveMetric) {
    AParams.Bold = metric.tmWeight >= FW_BOLD;
    AParams.BreakChar = metric.tmBreakChar;
    AParams.MaxCharWidth = metric.tmMaxCharWidth;
    AParams.RowHeight = metric.tmHeight;
    AParams.CharSet = metric.tmCharSet;
    if (AFormat & CXTO_EXTERNALLEADING) AParams.tmExternalLeading = metric.tmExternalLeading;
  }
  AParams.TextAlignX = TcxTextAlignX(std::min<UINT>(AFormat & 0x7, taDistributeX));
  AParams.TextAlignY = TcxTextAlignY((AFormat & 0x30) >> 4);
  AParams.WordBreak = AFormat & CXTO_WORDBREAK;
  AParams.SingleLine = AFormat & CXTO_SINGLELINE;
  AParams.ExpandTabs = AFormat & CXTO_EXPANDTABS;
  AParams.EndEllipsis = AFormat & CXTO_END_ELLIPSIS;
  AParams.PatternedText = AFormat & CXTO_PATTERNEDTEXT;
  AParams.ExternalLeading = AFormat & CXTO_EXTERNALLEADING;
  AParams.EditControl = AFormat & CXTO_EDITCONTROL;
  AParams.NoClip = AFormat & CXTO_NOCLIP;
  AParams.AutoIndents = AFormat & CXTO_AUTOINDENTS;
  AParams.CharBreak = (AFormat & CXTO_CHARBREAK) || IsFarEastSystemLocale();
  AParams.PreventLeftExceed = AFormat & CXTO_PREVENT_LEFT_EXCEED;
  AParams.PreventTopExceed = AFormat & CXTO_PREVENT_TOP_EXCEED;
  AParams.CalcRect = AFormat & CXTO_CALCRECT;
  AParams.CalcRowCount = AFormat & CXTO_CALCROWCOUNT;
  AParams.HidePrefix = AFormat & CXTO_HIDEPREFIX;
  AParams.ExcelStyle = AFormat & CXTO_EXCELSTYLE;
  AParams.OnePixel = std::max<LONG>(1, LogicalSizeOfDevicePixelsOnDC(ADC, 1).cx);
  AParams.FullRowHeight = int(std::nearbyint(double(AParams.RowHeight + AParams.tmExternalLeading) * ALineSpacing));
  if (AParams.PatternedText) AParams.PatternedText = AParams.RowHeight < LogicalSizeOfDevicePixelsOnDC(ADC, 6).cy;
  if (AParams.EndEllipsis) {
    SIZE size{};
    PlatformGetTextExtentPoint(ADC, kLayoutEllipsis, 3, size);
    AParams.EndEllipsisWidth = size.cx;
  }
}

void FillTextParamsFromCanvas(TCanvas& ACanvas, UINT AFormat, TcxTextParams& AParams, double ALineSpacing) {
  FillTextParamsFromDC(ACanvas.StateHandle(), AFormat, AParams, ALineSpacing);
}

RECT ApplyTextIndents(const RECT& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent) {
  RECT result = R;
  if (AParams.AutoIndents) InflateRect(&result, -2 * AParams.OnePixel, -2 * AParams.OnePixel);
  result.left += ALeftIndent * AParams.OnePixel;
  result.right -= ARightIndent * AParams.OnePixel;
  return result;
}

RECT RemoveTextIndents(const RECT& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent) {
  RECT result = R;
  result.left -= ALeftIndent * AParams.OnePixel;
  result.right += ARightIndent * AParams.OnePixel;
  if (AParams.AutoIndents) InflateRect(&result, 2 * AParams.OnePixel, 2 * AParams.OnePixel);
  return result;
}

bool CanLayoutText(const TcxTextParams& AParams, const RECT& R) {
  if (AParams.CalcRect) return R.right - R.left > 0;
  return R.right - R.left >= 1 && R.bottom - R.top >= 1;
}

namespace text_layout {
// DrawText's single-line measurement with tabs expanded.
SIZE MeasureRowByDrawText(HDC ADC, const wchar_t* AText, int ALength) {
  RECT r{};
  const int height =
      PlatformDrawText(ADC, AText, ALength, r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
  return SIZE{r.right - r.left, height};
}
}  // namespace text_layout

void CalcTextExtents(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, bool AExpandTabs) {
  ASize = SIZE{};
  if (ALength <= 0) return;
  if (!AExpandTabs) {
    PlatformGetTextExtentPoint(ADC, AText, ALength, ASize);
    return;
  }
  if (ALength > 4095) {
    ASize = MeasureRowByDrawText(ADC, AText, ALength);
    if (ASize.cx == 0 && ALength >= 4097) ASize = MeasureRowByDrawText(ADC, AText, 4096);
    return;
  }
  const DWORD extent = PlatformGetTabbedTextExtent(ADC, AText, ALength);
  ASize.cx = LOWORD(extent);
  ASize.cy = HIWORD(extent);
  SIZE w{};
  PlatformGetTextExtentPoint(ADC, L"W", 1, w);
  // The system's result is 16 bits wide: the whole 0xFFFF steps come from DrawText.
  if (int64_t(ALength) * w.cx > 0xFFFF) ASize.cx += (MeasureRowByDrawText(ADC, AText, ALength).cx / 0xFFFF) * 0xFFFF;
}

void CalcTextExtentsEx(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, void*, bool AExpandTabs) {
  CalcTextExtents(ADC, AText, ALength, ASize, AExpandTabs);
}

bool IsFullWidthCharacter(UINT ACodePage, wchar_t AChar) {
  if (AChar < 128) return false;
  if ((AChar >= 0x4E00 && AChar <= 0x9FFF) || (AChar >= 0x3040 && AChar <= 0x309F) ||
      (AChar >= 0x30A0 && AChar <= 0x30FF) || (AChar >= 0xAC00 && AChar <= 0xD7A3))
    return true;
  char buffer[8];
  return WideCharToMultiByte(ACodePage, 0, &AChar, 1, buffer, sizeof(buffer), nullptr, nullptr) > 1;
}

bool IsNoLineStartCharacter(wchar_t AChar) {
  static constexpr wchar_t kTable[] = {
      0x21,   0x25,   0x29,   0x2C,   0x2E,   0x3A,   0x3B,   0x3E,   0x3F,   0x5D,   0x7D,   0xA8,   0xB0,
      0xB7,   0x2C7,  0x2C9,  0x2013, 0x2014, 0x2015, 0x2016, 0x2018, 0x2019, 0x201D, 0x2022, 0x2025, 0x2026,
      0x2027, 0x2032, 0x2033, 0x2103, 0x2236, 0x2574, 0x3001, 0x3002, 0x3003, 0x3005, 0x3009, 0x300B, 0x300D,
      0x300F, 0x3011, 0x3015, 0x3017, 0x301E, 0x309B, 0x309C, 0xFE30, 0xFE31, 0xFE33, 0xFE34, 0xFE36, 0xFE38,
      0xFE3A, 0xFE3C, 0xFE3E, 0xFE40, 0xFE42, 0xFE44, 0xFE4F, 0xFE50, 0xFE51, 0xFE52, 0xFE54, 0xFE55, 0xFE56,
      0xFE57, 0xFE5A, 0xFE5C, 0xFE5E, 0xFF01, 0xFF02, 0xFF05, 0xFF07, 0xFF09, 0xFF0C, 0xFF0D, 0xFF0E, 0xFF1A,
      0xFF1B, 0xFF1E, 0xFF1F, 0xFF3D, 0xFF5C, 0xFF5D, 0xFF5E, 0xFF61, 0xFF63, 0xFF64, 0xFF9E, 0xFF9F};
  static_assert(std::is_sorted(std::begin(kTable), std::end(kTable)));
  return AChar >= 0xFFE0 || std::binary_search(std::begin(kTable), std::end(kTable), AChar);
}

const wchar_t* GetNextWordBreak(const wchar_t* AText, const wchar_t* ATextEnd) {
  const wchar_t* p = AText;
  if (p >= ATextEnd) return p;
  if (IsLayoutBlank(*p)) return p + 1;
  if (IsFullWidthCharacter(0, *p)) {
    ++p;
    if (p < ATextEnd && IsNoLineStartCharacter(*p)) ++p;
    return p;
  }
  while (p < ATextEnd && !IsLayoutBlank(*p) && *p != kLayoutCR && *p != kLayoutLF && !IsFullWidthCharacter(0, *p)) ++p;
  return p;
}

bool SplitTextIntoRows(HDC ADC, const wchar_t* AText, int ALength, TcxCalcTextExtentsProc ACalcExtents,
                       void* AUserData, int AMaxLineCount, int& ACount, TcxTextRows& ARows,
                       const TcxTextParams& AParams, const RECT& R) {
  ACount = 0;
  ARows.Count = 0;
  if (!AText || ALength <= 0) return true;
  TTextRowFormat format = BuildRowFormat(AParams);
  const wchar_t* const end = AText + ALength;
  if (AParams.CalcRect && AParams.SingleLine) {
    SetTextRowCount(ARows, 1);
    TcxTextRow& row = ARows.Row(0);
    row.Text = AText;
    row.TextLength = ALength;
    ACalcExtents(ADC, AText, ALength, row.TextExtents, AUserData, AParams.ExpandTabs);
    ACount = 1;
    return true;
  }
  const int maxWidth = R.right - R.left, maxHeight = R.bottom - R.top;
  const bool ellipsis = AParams.EndEllipsis && !AParams.NoClip && !AParams.CalcRect && !AParams.CalcRowCount &&
                        AParams.TextAlignX != taJustifyX && AParams.TextAlignX != taDistributeX;
  const wchar_t* p = AText;
  int height = 0;
  bool last = false;
  while (p < end && !last) {
    ++ACount;
    SetTextRowCount(ARows, ACount);
    height += AParams.FullRowHeight;
    last = IsLastTextRow(AParams, ACount, height, maxHeight, AMaxLineCount);
    format.LastRowWithEllipsis = last && ellipsis;
    TcxTextRow& row = ARows.Row(ACount - 1);
    const wchar_t* next = GetNextRowStart(ADC, p, end, AUserData, ACalcExtents, row, format, maxWidth);
    ACalcExtents(ADC, row.Text, row.TextLength, row.TextExtents, AUserData, AParams.ExpandTabs);
    row.StartOffset = int(p - AText);
    p = next;
    if (p >= end) last = true;
    if (AMaxLineCount >= 1 && ACount == AMaxLineCount) break;
  }
  if (AParams.CalcRect || AParams.CalcRowCount || ACount == 0) return true;
  if (AParams.SingleLine) return ARows.Row(ACount - 1).TextExtents.cx <= maxWidth;
  return p >= end;
}

void PositionTextRows(HDC, const RECT& R, TcxTextParams& AParams, int ACount, TcxTextRows& ARows) {
  if (ACount <= 0) return;
  const int height = R.bottom - R.top, width = R.right - R.left;
  int spread = 0;
  if (ACount > 1 && AParams.TextAlignY == taDistributeY) {
    const int gap = height - AParams.RowHeight;
    if (double(AParams.RowHeight) < double(gap) / (ACount - 1)) {
      AParams.FullRowHeight = gap / (ACount - 1);
      spread = gap % (ACount - 1);
    }
  }
  int y;
  switch (AParams.TextAlignY) {
    case taCenterY: y = R.top + (height - ACount * AParams.FullRowHeight) / 2; break;
    case taBottom: y = R.bottom - ACount * AParams.FullRowHeight + AParams.tmExternalLeading; break;
    default: y = R.top; break;
  }
  if (AParams.PreventTopExceed) y = std::max<int>(y, R.top);
  for (int i = 0; i < ACount; ++i) {
    TcxTextRow& row = ARows.Row(i);
    int x;
    switch (AParams.TextAlignX) {
      case taCenterX: x = R.left + (width - row.TextExtents.cx) / 2; break;
      case taRight: x = R.right - row.TextExtents.cx; break;
      default: x = R.left; break;
    }
    if (AParams.PreventLeftExceed) x = std::max<int>(x, R.left);
    row.TextOriginX = x;
    row.TextOriginY = y;
    y += AParams.FullRowHeight;
    if (spread > 0) {
      ++y;
      --spread;
    }
  }
}

void OutputTextRowsHighlighted(HDC ADC, const RECT& R, const TcxTextParams& AParams, bool AForceEndEllipsis,
                               TColor ASelTextColor, TColor ASelBkColor, int ASelLength, int ASelStart, int ACount,
                               const TcxTextRows& ARows) {
  const int oldBkMode = SetBkMode(ADC, TRANSPARENT);
  const bool useSelTextColor = ASelTextColor != clNone && ASelTextColor != clDefault;
  HBRUSH selBrush = ASelLength >= 1 && ASelBkColor != clNone && ASelBkColor != clDefault
                        ? CreateSolidBrush(ColorToRGB(ASelBkColor))
                        : nullptr;
  const bool metafile = IsMetafileTextDC(ADC);
  const bool highlight = ASelLength > 0 && !metafile;
  for (int i = 0; i < ACount; ++i) {
    TcxTextRow row = ARows.Row(i);
    const bool lastRow = i == ACount - 1;
    RECT band{R.left, row.TextOriginY, R.right, row.TextOriginY + AParams.FullRowHeight};
    if (row.TextLength <= 0) {
      if (lastRow && AForceEndEllipsis && AParams.EndEllipsis) OutputRowEndEllipsis(ADC, row, AParams, band);
      continue;
    }
    if (!metafile && !RectVisible(ADC, &band)) continue;
    if (AParams.PatternedText) {
      RECT bar{row.TextOriginX, band.top + AParams.OnePixel,
               std::min<LONG>(row.TextOriginX + row.TextExtents.cx, R.right), band.bottom - AParams.OnePixel};
      if (bar.bottom - bar.top < AParams.OnePixel) bar.bottom = bar.top + AParams.OnePixel;
      const COLORREF oldBk = SetBkColor(ADC, ColorToRGB(clWindow));
      FillRect(ADC, &bar, TextFillPatternBrush(AParams.Bold));
      SetBkColor(ADC, oldBk);
      continue;
    }
    const bool withEllipsis = AParams.EndEllipsis && lastRow && (AForceEndEllipsis || row.TextExtents.cx > R.right - R.left);
    const bool justify = !withEllipsis && (AParams.TextAlignX == taJustifyX || AParams.TextAlignX == taDistributeX) &&
                         row.BreakCount > 0;
    if (justify) SetTextJustification(ADC, std::max<int>(0, (R.right - R.left) - row.TextExtents.cx), row.BreakCount);
    // Clipping and the highlight's exclusion last for this row only.
    HRGN savedClip = SaveRowClip(ADC);
    if (!AParams.NoClip && (row.TextExtents.cx > R.right - R.left || band.top < R.top || band.bottom > R.bottom)) {
      band.top = std::max(band.top, R.top);
      band.bottom = std::min(band.bottom, R.bottom);
      IntersectClipRect(ADC, band.left, band.top, band.right, band.bottom);
    }
    if (withEllipsis) PrepareRowEndEllipsis(ADC, row, AParams, R);
    bool ellipsisWritten = false;
    if (highlight) {
      const int s = std::max(row.StartOffset, ASelStart) - row.StartOffset;
      const int e = std::min(row.StartOffset + row.TextLength, ASelStart + ASelLength) - row.StartOffset;
      if (s < e) {
        const int x1 = RowPrefixWidth(ADC, row.Text, s, AParams.ExpandTabs);
        const int x2 = RowPrefixWidth(ADC, row.Text, e, AParams.ExpandTabs);
        RECT mark{row.TextOriginX + x1, band.top, row.TextOriginX + x2, band.bottom};
        if (IsMirroredHighlightText(row.Text, row.TextLength, AParams.CharSet))
          mark = RECT{row.TextOriginX + row.TextExtents.cx - x2, band.top, row.TextOriginX + row.TextExtents.cx - x1,
                      band.bottom};
        if (!IsRectEmpty(&mark)) {
          HRGN before = SaveRowClip(ADC);
          IntersectClipRect(ADC, mark.left, mark.top, mark.right, mark.bottom);
          if (selBrush) FillRect(ADC, &mark, selBrush);
          const COLORREF oldColor = useSelTextColor ? SetTextColor(ADC, ColorToRGB(ASelTextColor)) : CLR_INVALID;
          OutputTextRow(ADC, row, AParams);
          if (withEllipsis && e >= row.TextLength) {
            OutputRowEndEllipsis(ADC, row, AParams, band);
            ellipsisWritten = true;
          }
          if (oldColor != CLR_INVALID) SetTextColor(ADC, oldColor);
          RestoreRowClip(ADC, before);
          ExcludeClipRect(ADC, mark.left, mark.top, mark.right, mark.bottom);
        }
      }
    }
    OutputTextRow(ADC, row, AParams);
    if (withEllipsis && !ellipsisWritten) OutputRowEndEllipsis(ADC, row, AParams, band);
    RestoreRowClip(ADC, savedClip);
    if (justify) SetTextJustification(ADC, 0, 0);
  }
  if (selBrush) DeleteObject(selBrush);
  SetBkMode(ADC, oldBkMode);
}

int GetWidestTextRowWidth(const TcxTextRows& ARows, int ACount) {
  int widest = 0;
  for (int i = 0; i < std::min(ARows.Count, ACount); ++i) widest = std::max<int>(widest, ARows.Row(i).TextExtents.cx);
  return widest;
}

int DrawTextInRect(HDC ADC, const WideString& AText, RECT& R, UINT AFormat, int ASelStart, int ASelLength,
                   TFont* AFont, TColor ASelBkColor, TColor ASelTextColor, int AMaxLineCount, int ALeftIndent,
                   int ARightIndent, TColor ATextColor, double ALineSpacing) {
  if (AText.empty()) return 0;
  HGDIOBJ oldFont = GetCurrentObject(ADC, OBJ_FONT);
  const COLORREF oldColor = GetTextColor(ADC);
  if (AFont) {
    SelectObject(ADC, AFont->Handle());
    SetTextColor(ADC, ColorToRGB(AFont->Color()));
  }
  if (ATextColor != clDefault) SetTextColor(ADC, ColorToRGB(ATextColor));
  struct TRestore {
    HDC DC;
    HGDIOBJ Font;
    COLORREF Color;
    ~TRestore() {
      SelectObject(DC, Font);
      SetTextColor(DC, Color);
    }
  } restore{ADC, oldFont, oldColor};

  TcxTextParams params;
  FillTextParamsFromDC(ADC, AFormat, params, ALineSpacing);
  RECT textRect = ApplyTextIndents(R, params, ALeftIndent, ARightIndent);
  if (!CanLayoutText(params, textRect)) return 0;
  TcxTextRows rows;
  rows.Text = params.HidePrefix ? RemoveAcceleratorPrefixes(AText, false) : AText;
  if (rows.Text.empty()) return 0;
  const int length = int(rows.Text.size());
  int count = 0;
  const bool fits = SplitTextIntoRows(ADC, rows.Text.c_str(), length, &CalcTextExtentsEx, nullptr, AMaxLineCount,
                                      count, rows, params, textRect);
  int textHeight = 0;
  if (count > 0) {
    if (params.CalcRect) {
      if (AMaxLineCount >= 1 && AMaxLineCount < count) count = AMaxLineCount;
      textRect.right = textRect.left + GetWidestTextRowWidth(rows, count);
      if (!params.SingleLine)
        SplitTextIntoRows(ADC, rows.Text.c_str(), length, &CalcTextExtentsEx, nullptr, AMaxLineCount, count, rows,
                          params, textRect);
      PositionTextRows(ADC, textRect, params, count, rows);
      textRect.bottom = rows.Row(count - 1).TextOriginY + params.RowHeight;
      R = RemoveTextIndents(textRect, params, ALeftIndent, ARightIndent);
    } else {
      PositionTextRows(ADC, textRect, params, count, rows);
      if (ASelStart < 0 || ASelStart > length - 1) ASelLength = 0;
      else ASelLength = std::min(ASelLength, length - ASelStart);
      OutputTextRowsHighlighted(ADC, textRect, params, !fits, ASelTextColor, ASelBkColor, ASelLength, ASelStart,
                                count, rows);
    }
    textHeight = rows.Row(count - 1).TextOriginY + params.RowHeight - textRect.top;
  }
  if (params.CalcRowCount) return count;
  return textHeight != 0 ? textHeight : count;
}

namespace text_layout {
std::string RowTextToAnsi(const wchar_t* AText, int ALength) {
  return WideToMultiByteText(WideString(AText, std::size_t(std::max(ALength, 0))), CP_ACP, -1);
}
}  // namespace text_layout

int PlatformDrawText(HDC ADC, const wchar_t* AText, int ALength, RECT& R, UINT AFormat) {
  if (RunsOnWinNT) return DrawTextW(ADC, AText, ALength, &R, AFormat);
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return DrawTextA(ADC, ansi.c_str(), int(ansi.size()), &R, AFormat);
}

bool PlatformGetTextExtentPoint(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize) {
  if (RunsOnWinNT) return GetTextExtentPoint32W(ADC, AText, ALength, &ASize) != FALSE;
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return GetTextExtentPoint32A(ADC, ansi.c_str(), int(ansi.size()), &ASize) != FALSE;
}

bool PlatformGetTextExtentExPoint(HDC ADC, const wchar_t* AText, int ALength, int AMaxExtent, int* AFit,
                                  SIZE& ASize) {
  if (RunsOnWinNT) return GetTextExtentExPointW(ADC, AText, ALength, AMaxExtent, AFit, nullptr, &ASize) != FALSE;
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return GetTextExtentExPointA(ADC, ansi.c_str(), int(ansi.size()), AMaxExtent, AFit, nullptr, &ASize) != FALSE;
}

DWORD PlatformGetTabbedTextExtent(HDC ADC, const wchar_t* AText, int ALength) {
  if (RunsOnWinNT) return GetTabbedTextExtentW(ADC, AText, ALength, 0, nullptr);
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return GetTabbedTextExtentA(ADC, ansi.c_str(), int(ansi.size()), 0, nullptr);
}

LONG PlatformTabbedTextOut(HDC ADC, int X, int Y, const wchar_t* AText, int ALength, int ATabOrigin) {
  ALength = std::min(ALength, 4096);
  if (RunsOnWinNT) return TabbedTextOutW(ADC, X, Y, AText, ALength, 0, nullptr, ATabOrigin);
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return TabbedTextOutA(ADC, X, Y, ansi.c_str(), int(ansi.size()), 0, nullptr, ATabOrigin);
}

bool PlatformTextOut(HDC ADC, int X, int Y, const wchar_t* AText, int ALength) {
  if (RunsOnWinNT) return TextOutW(ADC, X, Y, AText, ALength) != FALSE;
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return TextOutA(ADC, X, Y, ansi.c_str(), int(ansi.size())) != FALSE;
}

bool PlatformExtTextOut(HDC ADC, int X, int Y, UINT AOptions, const RECT* ARect, const wchar_t* AText, int ALength) {
  if (RunsOnWinNT) return ExtTextOutW(ADC, X, Y, AOptions, ARect, AText, UINT(ALength), nullptr) != FALSE;
  const std::string ansi = RowTextToAnsi(AText, ALength);
  return ExtTextOutA(ADC, X, Y, AOptions, ARect, ansi.c_str(), UINT(ansi.size()), nullptr) != FALSE;
}

HBRUSH TextFillPatternBrush(bool ABold) { return ABold ? gBoldRowPattern : gNormalRowPattern; }

void cxDrawTextUtilsUnitStart() {
  static const WORD kNormal[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  static const WORD kBold[8] = {};
  for (auto [bits, brush] : {std::pair{kNormal, &gNormalRowPattern}, std::pair{kBold, &gBoldRowPattern}}) {
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
    *brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
  }
}

void cxDrawTextUtilsUnitStop() {
  for (HBRUSH* brush : {&gNormalRowPattern, &gBoldRowPattern}) {
    if (*brush) DeleteObject(*brush);
    *brush = nullptr;
  }
}

}  // namespace tvk
