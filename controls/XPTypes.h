#pragma once
// The styled controls' published enumerations and caption flags, the
// clip-region pair around partial painting, the two natural-order compares,
// and string and path helpers.
#include "Exception.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace tvk {

enum class TRadix { rdxBinary, rdxOctal, rdxDecimal, rdxHexadecimal };
enum class TNumberTypeEx { ntNone, ntUnsignedInt, ntSignedInt, ntFloat };
// Native: by the global look mode; custom: the control's own colours and skins.
enum class TXPLookAndFeel { xlfNative, xlfCustom };

// How a caption is drawn (caption drawing and the smooth text renderer).
enum TXPDrawCaptionFlag : unsigned {
  dcfFocusRect = 1u << 0,        // a focus rectangle round the text
  dcfSunkenDisabled = 1u << 1,   // embossed, as disabled text
  dcfMultiline = 1u << 2,        // word-wrapped; otherwise one line
  dcfNoPrefix = 1u << 3,         // "&" shown as it is
  dcfSmoothText = 1u << 4,       // through the smooth text renderer
  dcfVertical = 1u << 5,         // turned by 90 degrees
  dcfVertClockwise = 1u << 6,    // with dcfVertical: reads top to bottom, else bottom to top
  dcfNoClipping = 1u << 7,       // not clipped to the rectangle
  dcfCustomUnderline = 1u << 8,  // a soft underline drawn by the smooth text renderer
};
using TXPDrawCaptionFlags = unsigned;

// Narrows the clipping of Dc to Rect (or cuts Rect out of it with Exclude);
// SavedRgn keeps the clipping there was (0: none). EndClipRect puts it back
// and deletes the copy.
void BeginClipRect(HDC dc, const RECT& rect, HRGN& savedRgn, bool exclude);
void EndClipRect(HDC dc, HRGN savedRgn);

// The pair as a scope: clipped to Rect while it lives (nothing when not Active).
class TClipRect {
public:
  TClipRect(HDC dc, const RECT& rect, bool active = true) : FDC(dc), FActive(active) {
    if (FActive) BeginClipRect(dc, rect, FSaved, false);
  }
  ~TClipRect() {
    if (FActive) EndClipRect(FDC, FSaved);
  }
  TClipRect(const TClipRect&) = delete;
  TClipRect& operator=(const TClipRect&) = delete;

private:
  HDC FDC;
  bool FActive;
  HRGN FSaved = nullptr;
};

// Natural order for the styled list box: runs of digits compare by value,
// other runs by character (ASCII letters folded unless CaseSensitive);
// equal runs fall back to the plain comparison. Answers -1, 0 or 1.
int NaturalCompareStrings(std::wstring_view s1, std::wstring_view s2, bool caseSensitive);
// Natural order for the tree list's sorting: numbers by value (with "." as
// decimal point whatever the locale), texts holding digits token by token,
// others case-blind. Answers -1, 0 or 1.
int AlphaNumericCompareText(std::wstring_view s1, std::wstring_view s2);
// A whole text as a number: "" is 0; it must start with a sign, "." or a
// digit. Never raises.
bool TryTextToFloat(std::wstring_view text, double& value);

// Path with a "\" appended, unless it is empty or already ends with one.
WideString AddTrailingBackslash(std::wstring_view path);
// Without one final "\".
WideString RemoveTrailingBackslash(std::wstring_view path);
// A caption without its accelerator marks ("&&" becomes "&").
WideString RemoveAmpersands(std::wstring_view caption);
// Removes the accelerator marks from S; answers the 1-based position of the
// accelerator character in the result (just past the end for a final "&"),
// 0 when there is none.
int StripAccelChars(WideString& s);
// Text in the thread's ANSI code page.
void WideToAnsiString(std::wstring_view text, std::string& ansi);
// Head becomes the text before the first Delimiter and S the text after it;
// without one, Head becomes all of S and S empty.
void SplitAtDelimiter(WideString& s, std::wstring_view delimiter, WideString& head);
// The 1-based position of the right-most SubStr in S starting at or before
// Start (a start past the text counts from its end); 0 when there is none.
int LastPosBefore(std::wstring_view subStr, std::wstring_view s, int start);

}  // namespace tvk
