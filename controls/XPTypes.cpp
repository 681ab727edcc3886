#include "XPTypes.h"

#include "Convert.h"
#include "Lists.h"

#include <algorithm>

namespace tvk {

// ---- Clip regions

void BeginClipRect(HDC dc, const RECT& rect, HRGN& savedRgn, bool exclude) {
  savedRgn = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, savedRgn) != 1) {
    DeleteObject(savedRgn);
    savedRgn = nullptr;
  }
  if (exclude) ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  else IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void EndClipRect(HDC dc, HRGN savedRgn) {
  SelectClipRgn(dc, savedRgn);  // null removes the clipping again
  if (savedRgn) DeleteObject(savedRgn);
}

// ---- Natural compares

namespace {

bool IsDigitChar(wchar_t c) { return c >= L'0' && c <= L'9'; }

int Sign(int value) { return value > 0 ? 1 : value < 0 ? -1 : 0; }

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; }

// Reads a string chunk by chunk: a run of digits or of other characters,
// blanks inside a run belonging to it.
struct TChunkReader {
  std::wstring_view Text;
  std::size_t Pos = 0;
  std::wstring_view Chunk;
  bool Digits = false;  // the kind of the last chunk, kept once exhausted

  explicit TChunkReader(std::wstring_view text) : Text(text) {
    while (Pos < Text.size() && Text[Pos] == L' ') ++Pos;
  }

  // The next chunk; an exhausted string yields an empty one.
  void Next() {
    std::size_t start = Pos;
    if (start < Text.size()) {
      Digits = IsDigitChar(Text[start]);
      while (Pos < Text.size() && (Text[Pos] == L' ' || IsDigitChar(Text[Pos]) == Digits)) ++Pos;
    }
    Chunk = Text.substr(start, Pos - start);
  }
  bool Exhausted() const { return Chunk.empty(); }
  int Length() const { return int(Chunk.size() - std::count(Chunk.begin(), Chunk.end(), L' ')); }
};

// Compares N characters of A (LenA of them real, padded) with N of B.
int CompareChunks(std::wstring_view a, int lenA, std::wstring_view b, int n, bool numeric, bool caseSensitive) {
  std::size_t ia = 0, ib = 0;
  auto nextNonBlank = [](std::wstring_view s, std::size_t& i) {
    while (i < s.size() && s[i] == L' ') ++i;
    return i < s.size() ? s[i++] : L'\0';
  };
  for (int i = 1; i <= n; ++i) {
    wchar_t ca;
    if (numeric && i <= n - lenA) ca = L'0';          // the shorter number has leading zeros
    else if (!numeric && i > lenA) ca = L'\0';        // the shorter text sorts first
    else ca = nextNonBlank(a, ia);
    wchar_t cb = nextNonBlank(b, ib);
    if (!numeric && !caseSensitive) {
      ca = FoldAscii(ca);
      cb = FoldAscii(cb);
    }
    if (ca != cb) return int(ca) - int(cb);
  }
  return 0;
}

int CompareByChunks(std::wstring_view s1, std::wstring_view s2, bool caseSensitive) {
  if (s1.empty() || s2.empty()) return int(s1.size()) - int(s2.size());
  TChunkReader r1(s1), r2(s2);
  for (;;) {
    r1.Next();
    r2.Next();
    if (r1.Exhausted() && r2.Exhausted()) return 0;
    int n1 = r1.Length(), n2 = r2.Length();
    bool numeric = r1.Digits && r2.Digits;
    int r = n2 < n1 ? -CompareChunks(r2.Chunk, n2, r1.Chunk, n1, numeric, caseSensitive)
                    : CompareChunks(r1.Chunk, n1, r2.Chunk, n2, numeric, caseSensitive);
    if (r != 0) return r;
  }
}

bool IsNumberClass(wchar_t c) { return c == L'.' || IsDigitChar(c); }

// Cuts the next token (a run of one character class, with a leading sign on
// the first) off S.
WideString NextCompareToken(std::wstring_view& s, bool first) {
  WideString token;
  if (s.empty()) return token;
  if (first && (s[0] == L'+' || s[0] == L'-')) {
    token += s[0];
    s.remove_prefix(1);
    if (s.empty()) return token;
  }
  bool number = IsNumberClass(s[0]);
  std::size_t n = 0;
  while (n < s.size() && IsNumberClass(s[n]) == number) ++n;
  token.append(s.substr(0, n));
  s.remove_prefix(n);
  return token;
}

int CompareFloatValues(double v1, double v2) { return v1 > v2 ? 1 : v1 < v2 ? -1 : 0; }

WideString RemoveBlanks(std::wstring_view s) {
  WideString r(s);
  std::erase(r, L' ');
  return r;
}

}  // namespace

int NaturalCompareStrings(std::wstring_view s1, std::wstring_view s2, bool caseSensitive) {
  int cmp = CompareTextOrdinal(s1, s2, !caseSensitive);
  if (cmp == 0) return 0;
  int r = CompareByChunks(s1, s2, caseSensitive);
  return Sign(r != 0 ? r : cmp);
}

bool TryTextToFloat(std::wstring_view text, double& value) {
  if (text.empty()) {
    value = 0;
    return true;
  }
  wchar_t c = text[0];
  if (c != L'+' && c != L'-' && !IsNumberClass(c)) return false;
  // The whole text must be the number: no blank anywhere.
  if (std::any_of(text.begin(), text.end(), [](wchar_t ch) { return ch <= L' '; })) return false;
  return TryStrToFloat(text, value);
}

int AlphaNumericCompareText(std::wstring_view s1, std::wstring_view s2) {
  if (s1 == s2) return 0;
  double v1 = 0, v2 = 0;
  if (TryTextToFloat(s1, v1) && TryTextToFloat(s2, v2)) return CompareFloatValues(v1, v2);
  if (std::any_of(s1.begin(), s1.end(), IsNumberClass) && std::any_of(s2.begin(), s2.end(), IsNumberClass)) {
    WideString a = RemoveBlanks(s1), b = RemoveBlanks(s2);
    std::wstring_view ra = a, rb = b;
    WideString t1, t2;
    bool first = true;
    do {
      t1 = NextCompareToken(ra, first);
      t2 = NextCompareToken(rb, first);
      first = false;
    } while (t1 == t2 && !(t1.empty() && t2.empty()));
    if (TryTextToFloat(t1, v1) && TryTextToFloat(t2, v2)) return CompareFloatValues(v1, v2);
    return Sign(CompareTextOrdinal(t1, t2, true));
  }
  return Sign(CompareTextOrdinal(s1, s2, true));
}

// ---- Strings and paths

WideString AddTrailingBackslash(std::wstring_view path) {
  WideString result(path);
  // An empty path stays empty: "\" alone would name the drive's root.
  if (!result.empty() && result.back() != L'\\') result += L'\\';
  return result;
}

WideString RemoveTrailingBackslash(std::wstring_view path) {
  if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
  return WideString(path);
}

int StripAccelChars(WideString& s) {
  int accel = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] != L'&') {
      ++i;
      continue;
    }
    s.erase(i, 1);
    if (i < s.size() && s[i] == L'&') ++i;  // "&&" leaves one "&"
    else accel = int(i) + 1;                // looked at again: it may be a mark itself
  }
  return accel;
}

WideString RemoveAmpersands(std::wstring_view caption) {
  WideString s(caption);
  StripAccelChars(s);
  return s;
}

void WideToAnsiString(std::wstring_view text, std::string& ansi) {
  ansi.clear();
  if (text.empty()) return;
  int length = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  ansi.resize(std::size_t(std::max(length, 0)));
  if (length > 0)
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), int(text.size()), ansi.data(), length, nullptr, nullptr);
}

void SplitAtDelimiter(WideString& s, std::wstring_view delimiter, WideString& head) {
  std::size_t at = delimiter.empty() ? WideString::npos : s.find(delimiter);
  if (at == WideString::npos) {
    head = std::move(s);
    s.clear();
    return;
  }
  head = s.substr(0, at);
  s.erase(0, at + delimiter.size());
}

int LastPosBefore(std::wstring_view subStr, std::wstring_view s, int start) {
  if (subStr.empty() || s.empty() || s.size() < subStr.size()) return 0;
  // A start past the text is taken as the last place a match can begin.
  int last = int(s.size() - subStr.size()) + 1;
  for (int pos = std::min(start, last); pos >= 1; --pos)
    if (s.compare(std::size_t(pos - 1), subStr.size(), subStr) == 0) return pos;
  return 0;
}

}  // namespace tvk
