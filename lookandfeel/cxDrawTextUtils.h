#pragma once
// The library's own multi-line text engine: splits a text into rows for a
// rectangle (word and character breaking with the Far-East line rules, tabs,
// a maximum row count, an end ellipsis on the last visible row), positions
// the rows and writes them with an optional highlighted part. Measuring goes
// through a routine the caller passes, so layouts do not depend on fonts.
#include "Graphics.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tvk {

enum TcxTextAlignX { taLeft, taCenterX, taRight, taJustifyX, taDistributeX };
enum TcxTextAlignY { taTop, taCenterY, taBottom, taDistributeY };

// The format bits of DrawTextInRect.
constexpr UINT CXTO_LEFT = 0x0, CXTO_CENTER_HORIZONTALLY = 0x1, CXTO_RIGHT = 0x2, CXTO_JUSTIFY_HORIZONTALLY = 0x3,
               CXTO_DISTRIBUTE_HORIZONTALLY = 0x4, CXTO_TOP = 0x00, CXTO_CENTER_VERTICALLY = 0x10,
               CXTO_BOTTOM = 0x20, CXTO_DISTRIBUTE_VERTICALLY = 0x30, CXTO_WORDBREAK = 0x100,
               CXTO_SINGLELINE = 0x200, CXTO_EXPANDTABS = 0x400, CXTO_END_ELLIPSIS = 0x800,
               CXTO_PATTERNEDTEXT = 0x1000, CXTO_EXTERNALLEADING = 0x2000, CXTO_EDITCONTROL = 0x4000,
               CXTO_NOCLIP = 0x8000, CXTO_AUTOINDENTS = 0x10000, CXTO_CHARBREAK = 0x20000,
               CXTO_PREVENT_LEFT_EXCEED = 0x40000, CXTO_PREVENT_TOP_EXCEED = 0x80000, CXTO_CALCRECT = 0x100000,
               CXTO_CALCROWCOUNT = 0x200000, CXTO_HIDEPREFIX = 0x1000000, CXTO_EXCELSTYLE = 0x2000000;

struct TcxTextParams {
  int RowHeight;
  int tmExternalLeading;
  int FullRowHeight;
  int EndEllipsisWidth;
  bool Bold;
  wchar_t BreakChar;
  TcxTextAlignX TextAlignX;
  TcxTextAlignY TextAlignY;
  bool WordBreak, SingleLine, ExpandTabs, EndEllipsis, ExternalLeading, EditControl, ExcelStyle, NoClip, AutoIndents,
      PatternedText, PreventLeftExceed, PreventTopExceed, CharBreak, CalcRowCount, CalcRect;
  int MaxCharWidth;
  uint8_t CharSet;
  int OnePixel;
  bool HidePrefix;
};

struct TcxTextRow {
  const wchar_t* Text;
  int TextLength;
  SIZE TextExtents;
  int BreakCount;
  int TextOriginX, TextOriginY;
  int StartOffset;
};

constexpr int cxStaticTextRowCount = 32;

// Rows 0..31 inline; later rows in the dynamic part (grown in steps of 4 beyond need).
struct TcxTextRows {
  int Count = 0;
  WideString Text;
  std::array<TcxTextRow, cxStaticTextRowCount> StaticRows{};
  std::vector<TcxTextRow> DynamicRows;

  TcxTextRow& Row(int AIndex) {
    return AIndex < cxStaticTextRowCount ? StaticRows[std::size_t(AIndex)]
                                         : DynamicRows[std::size_t(AIndex - cxStaticTextRowCount)];
  }
  const TcxTextRow& Row(int AIndex) const { return const_cast<TcxTextRows*>(this)->Row(AIndex); }
};
void SetTextRowCount(TcxTextRows& ARows, int ACount);

// Measures ALength characters (tabs expanded when asked).
using TcxCalcTextExtentsProc = void (*)(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, void* AUserData,
                                        bool AExpandTabs);

void FillTextParamsFromDC(HDC ADC, UINT AFormat, TcxTextParams& AParams, double ALineSpacing = 1.0);
void FillTextParamsFromCanvas(TCanvas& ACanvas, UINT AFormat, TcxTextParams& AParams, double ALineSpacing = 1.0);
RECT ApplyTextIndents(const RECT& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent);
RECT RemoveTextIndents(const RECT& R, const TcxTextParams& AParams, int ALeftIndent, int ARightIndent);
bool CanLayoutText(const TcxTextParams& AParams, const RECT& R);

void CalcTextExtents(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, bool AExpandTabs);
// The library's measuring routine (CalcTextExtents; the user data is unused).
void CalcTextExtentsEx(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize, void* AUserData, bool AExpandTabs);

bool IsFullWidthCharacter(UINT ACodePage, wchar_t AChar);
bool IsNoLineStartCharacter(wchar_t AChar);
// Where the word chunk starting at AText ends.
const wchar_t* GetNextWordBreak(const wchar_t* AText, const wchar_t* ATextEnd);

// True when all the text fits.
bool SplitTextIntoRows(HDC ADC, const wchar_t* AText, int ALength, TcxCalcTextExtentsProc ACalcExtents,
                       void* AUserData, int AMaxLineCount, int& ACount, TcxTextRows& ARows,
                       const TcxTextParams& AParams, const RECT& R);
void PositionTextRows(HDC ADC, const RECT& R, TcxTextParams& AParams, int ACount, TcxTextRows& ARows);
void OutputTextRowsHighlighted(HDC ADC, const RECT& R, const TcxTextParams& AParams, bool AForceEndEllipsis,
                               TColor ASelTextColor, TColor ASelBkColor, int ASelLength, int ASelStart, int ACount,
                               const TcxTextRows& ARows);
int GetWidestTextRowWidth(const TcxTextRows& ARows, int ACount);

// The height of the text drawn (or of the calculated rectangle, which R
// receives), or the row count with CXTO_CALCROWCOUNT; 0 for nothing.
int DrawTextInRect(HDC ADC, const WideString& AText, RECT& R, UINT AFormat, int ASelStart = 0, int ASelLength = 0,
                   TFont* AFont = nullptr, TColor ASelBkColor = clHighlight, TColor ASelTextColor = clHighlightText,
                   int AMaxLineCount = 0, int ALeftIndent = 0, int ARightIndent = 0, TColor ATextColor = clDefault,
                   double ALineSpacing = 1.0);

// The system's text functions: wide on NT, else through the ANSI code page.
int PlatformDrawText(HDC ADC, const wchar_t* AText, int ALength, RECT& R, UINT AFormat);
bool PlatformGetTextExtentPoint(HDC ADC, const wchar_t* AText, int ALength, SIZE& ASize);
bool PlatformGetTextExtentExPoint(HDC ADC, const wchar_t* AText, int ALength, int AMaxExtent, int* AFit, SIZE& ASize);
DWORD PlatformGetTabbedTextExtent(HDC ADC, const wchar_t* AText, int ALength);
// At most 4096 characters.
LONG PlatformTabbedTextOut(HDC ADC, int X, int Y, const wchar_t* AText, int ALength, int ATabOrigin);
bool PlatformTextOut(HDC ADC, int X, int Y, const wchar_t* AText, int ALength);
bool PlatformExtTextOut(HDC ADC, int X, int Y, UINT AOptions, const RECT* ARect, const wchar_t* AText, int ALength);

// The normal (checker) and bold (solid) row pattern brushes.
HBRUSH TextFillPatternBrush(bool ABold);

void cxDrawTextUtilsUnitStart();
void cxDrawTextUtilsUnitStop();

}  // namespace tvk
