#include "dcparser.h"

#include "Files.h"
#include "dcsyntax.h"

#include <algorithm>

namespace tvk {

namespace {

constexpr TCharSet kDigits = TCharSet::Range(L'0', L'9');
constexpr TCharSet kHexDigits = kDigits | TCharSet::Range(L'A', L'F') | TCharSet::Range(L'a', L'f');
constexpr TCharSet kLetters = TCharSet::Range(L'A', L'Z') | TCharSet::Range(L'a', L'z') | TCharSet::Of(L"_");
constexpr TCharSet kIdentChars = kLetters | kDigits;
constexpr TCharSet kPrintables = TCharSet::Range(33, 255);
// Characters before "end" that make it part of a longer name in assembler text.
constexpr TCharSet kAsmNameChars = kLetters | TCharSet::Of(L"$@");

// The integer suffixes of the C set-up, the first that the text begins with wins.
constexpr const wchar_t* kCIntegerSuffixes[] = {L"ui64", L"i64", L"i32", L"i16", L"i8", L"ul", L"lu", L"Ul", L"lU",
                                                L"uL",   L"Lu",  L"LU",  L"UL",  L"U",  L"u",  L"L",  L"l"};

bool In(const TCharSet& set, wchar_t c) { return set.Contains(unsigned(c)); }

// The end of a line (zero, CR, LF) is not printable; a character above 255 is.
bool IsPrintable(wchar_t c) { return c > 31 || c == L'\t'; }

WideString Trimmed(std::wstring_view s) {
  std::size_t first = 0, last = s.size();
  while (first < last && s[first] <= L' ') ++first;
  while (last > first && s[last - 1] <= L' ') --last;
  return WideString(s.substr(first, last - first));
}

// Whether P begins with Prefix (P's terminating zero ends any match).
bool StartsWith(const wchar_t* p, const wchar_t* prefix) {
  while (*prefix && *p == *prefix) ++p, ++prefix;
  return *prefix == 0;
}

wchar_t FoldAsciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c + 32) : c; }

[[noreturn]] void IndexError(int index) {
  throw EListError(FormatString(L"List index out of bounds (%d)", {index}));
}

}  // namespace

// ---- TCustomDCParser: construction and configuration

TCustomDCParser::TCustomDCParser(TComponent* owner)
    : TSimpleParser(owner), FIntWords(std::make_unique<TStringList>()), FResWords(std::make_unique<TStringList>()) {
  FIntWords->SetSorted(true);
  FResWords->OnChange = [this](TObject*) { ResWordsChanged(); };
  for (auto& bucket : fHashList) bucket = CreateSortedList();
}

TCustomDCParser::~TCustomDCParser() { FResWords->OnChange = nullptr; }

const TCustomDCParser::TDispatchTable& TCustomDCParser::StateTable(int state) const {
  if (state < 0 || std::size_t(state) >= FParserStates.size()) IndexError(state);
  return *FParserStates[std::size_t(state)];
}

void TCustomDCParser::RegisterProc(std::initializer_list<int> states, const TCharSet& chars,
                                   const TParseProc& handler) {
  int highest = -1;
  for (int state : states) {
    if (state < 0) IndexError(state);
    highest = std::max(highest, state);
  }
  while (int(FParserStates.size()) <= highest) FParserStates.push_back(std::make_unique<TDispatchTable>());
  for (unsigned c = 0; c < 256; ++c)
    if (chars.Contains(c))
      for (int state : states) FParserStates[std::size_t(state)]->Procs[c] = handler;
}

void TCustomDCParser::RegisterLineBreakProcs(int state) {
  RegisterProc({state}, TCharSet::Of(L"\r"), Handler<&TCustomDCParser::ParseCR>());
  RegisterProc({state}, TCharSet::Of(L"\n"), Handler<&TCustomDCParser::ParseLF>());
}

void TCustomDCParser::SetCaseSensitive(bool value) {
  if (value == FCaseSensitive) return;
  FCaseSensitive = value;
  ResWordsChanged();
}

// ---- Reserved words

int TCustomDCParser::HashResWord(std::wstring_view s) {
  std::uint32_t h = std::uint32_t(s.size()) - 1u;
  for (wchar_t c : s) {
    std::uint32_t code = c;
    if (c >= L'a' && c <= L'z') code -= 32;
    h = (h ^ code) * 2u;
  }
  return int((h >> 1) & 255u);
}

bool TCustomDCParser::LookupResWord(std::wstring_view text) {
  const TStringList& bucket = *fHashList[HashResWord(text)];
  int index = 0;
  if (bucket.Count() == 0 || !bucket.Find(text, index)) return false;
  FResWordID = ObjectToInt(bucket.Objects(index));
  // The bucket holds the table's word of that identifier (trimmed).
  return !FCaseSensitive || bucket.Get(index) == text;
}

void TCustomDCParser::UpdateResWords() {
  if (ComponentState() & (csLoading | csReading)) return;
  FIntWords->Clear();
  // Last to first: of two equal words the later one keeps its identifier.
  for (int i = FResWords->Count() - 1; i >= 0; --i) {
    WideString word = Trimmed(FResWords->Get(i));
    if (!word.empty()) FIntWords->AddObject(word, FResWords->Objects(i));
  }
  for (auto& bucket : fHashList) bucket->Clear();
  for (int i = FIntWords->Count() - 1; i >= 0; --i) {
    WideString word = FIntWords->Get(i);
    fHashList[HashResWord(word)]->AddObject(word, FIntWords->Objects(i));
  }
}

void TCustomDCParser::ResWordsChanged() {
  UpdateResWords();
  Notifiers()->NotifyEvents(this, 0, 0);
}

void TCustomDCParser::Loaded() {
  TSimpleParser::Loaded();
  UpdateResWords();
}

// ---- Text and the dispatch loop

void TCustomDCParser::SetLinePtr(const wchar_t* p) {
  if (!p) p = L"";
  if (p == FSourcePtr) return;
  FSourcePtr = FLinePtr = FTokenPtr = p;
  FToken = -1;
}

int TCustomDCParser::SimpleNextToken() {
  int kind;
  do {
    FTokenPtr = FSourcePtr;
    unsigned index = unsigned(*FSourcePtr) & 0xFF;
    if (index == 0) {  // the terminating zero, or any code that is a multiple of 256
      kind = tokEOF;
      break;
    }
    // A copy: a handler may register handlers while it runs.
    TParseProc handler = StateTable(FParserState).Procs[index];
    if (handler) {
      kind = handler();
    } else {
      ++FSourcePtr;
      kind = tokSkip;
    }
  } while (kind == tokSkip);
  FToken = kind;
  return kind;
}

int TCustomDCParser::NextToken() { return SimpleNextToken(); }

int TCustomDCParser::NextValidToken() {
  int kind;
  do kind = NextToken();
  while (kind == tokComment);
  return kind;
}

WideString TCustomDCParser::NextTokenStr() {
  NextToken();
  return TokenString();
}

WideString TCustomDCParser::NextValidTokenStr() {
  NextValidToken();
  return TokenString();
}

// Read answers what Read gives, and the position is as it was.
template <class F>
auto TCustomDCParser::Peek(F read) {
  PushState();
  auto result = read();
  PopState();
  return result;
}

int TCustomDCParser::PeekToken() {
  return Peek([this] { return NextToken(); });
}

WideString TCustomDCParser::PeekTokenStr() {
  return Peek([this] { return NextTokenStr(); });
}

WideString TCustomDCParser::PeekValidTokenStr() {
  return Peek([this] { return NextValidTokenStr(); });
}

int TCustomDCParser::SkipTokens(int number) {
  int kind = FToken;
  for (int i = 0; i < number; ++i) kind = NextToken();
  return kind;
}

WideString TCustomDCParser::TokenString() {
  return FSourcePtr > FTokenPtr ? WideString(FTokenPtr, FSourcePtr) : WideString();
}

bool TCustomDCParser::IsTokenPseudoResWord() const {
  return FToken == tokResWord &&
         (FResWordID == kPascalIndexID || FResWordID == kPascalReadID || FResWordID == kPascalWriteID);
}

bool TCustomDCParser::IsNextTokenChar(wchar_t ch) {
  NextToken();
  return IsTokenChar(ch);
}

bool TCustomDCParser::IsNextTokenResWord(int id) {
  NextToken();
  return IsTokenResWord(id);
}

bool TCustomDCParser::IsPeekTokenChar(wchar_t ch) {
  return Peek([&] { return IsNextTokenChar(ch); });
}

bool TCustomDCParser::IsPeekTokenResWord(int id) {
  return Peek([&] { return IsNextTokenResWord(id); });
}

bool TCustomDCParser::SkipToResWord(int id) {
  while (!ParserEOF() && !IsTokenResWord(id)) NextToken();
  return !ParserEOF();
}

bool TCustomDCParser::SkipToChar(wchar_t ch) {
  while (!ParserEOF() && !IsTokenChar(ch)) NextToken();
  return !ParserEOF();
}

void TCustomDCParser::CheckChar(wchar_t ch) {
  if (!IsTokenChar(ch)) ErrorFmt(L"''%s'' expected", {WideString(1, ch)});
}

void TCustomDCParser::CheckNextChar(wchar_t ch) {
  NextValidToken();
  CheckChar(ch);
}

void TCustomDCParser::CheckResWord(int id) {
  if (IsTokenResWord(id)) return;
  WideString word;
  for (int i = 0; i < FResWords->Count(); ++i)
    if (ObjectToInt(FResWords->Objects(i)) == id) {
      word = Trimmed(FResWords->Get(i));
      break;
    }
  ErrorFmt(L"%s expected", {word});
}

void TCustomDCParser::CheckNextResWord(int id) {
  NextValidToken();
  CheckResWord(id);
}

void TCustomDCParser::GetTokenPosition(int& column, int& line) {
  column = TokenCharPos() + 1;
  line = FLinePos + 1;
}

// ---- Errors

void TCustomDCParser::Error(std::wstring_view message) {
  // The message is a finished text: it is not formatted again, so a "%" in it stays.
  int column = 0, line = 0;
  GetTokenPosition(column, line);
  throw Exception(WideString(message) + FormatString(L" at Line:%d, Char:%d. ", {line, column}) + ErrorSuffix());
}

void TCustomDCParser::ErrorFmt(std::wstring_view format, std::initializer_list<TFormatArg> args) {
  Error(FormatString(format, args));
}

// ---- Snapshots

void TCustomDCParser::SaveTokenData(TTokenData& s) {
  s.IfDefLevel = FIfDefLevel;
  s.SkipTokens = FSkipTokens;
  s.Token = FToken;
  s.ParserState = FParserState;
  s.LinePos = FLinePos;
  s.CharPos = CharPos();
  s.TokenCharPos = TokenCharPos();
  s.LinePtr = FLinePtr;
  s.ResWordID = FResWordID;
}

void TCustomDCParser::RestoreTokenData(const TTokenData& s) {
  FIfDefLevel = s.IfDefLevel;
  FSkipTokens = s.SkipTokens;
  SetLinePos(s.LinePos);
  SetLinePtr(s.LinePtr);
  UpdateLine();  // a line parser reloads its line: the positions count from its start
  FSourcePtr = FLinePtr + ColumnInText(s.CharPos);
  FTokenPtr = FLinePtr + ColumnInText(s.TokenCharPos);
  FToken = s.Token;
  FParserState = s.ParserState;
  FResWordID = s.ResWordID;
}

int TCustomDCParser::AddSnapshot(std::unique_ptr<TTokenData> snapshot) {
  SaveTokenData(*snapshot);
  FTokenList.push_back(std::move(snapshot));
  return int(FTokenList.size()) - 1;
}

int TCustomDCParser::PushState() { return AddSnapshot(std::make_unique<TTokenData>()); }

int TCustomDCParser::SoftPushState() {
  std::unique_ptr<TTokenData> snapshot = TokenDataClass()();
  snapshot->SoftPush = true;
  return AddSnapshot(std::move(snapshot));
}

bool TCustomDCParser::PopSingleState() {
  if (FTokenList.empty()) Error(L"Token list is empty");
  TTokenData* top = FTokenList.back().get();
  top->ProcessSinglePop(*this);
  RestoreTokenData(*top);
  bool soft = top->SoftPush;
  auto it = std::find_if(FTokenList.rbegin(), FTokenList.rend(), [&](const auto& s) { return s.get() == top; });
  if (it != FTokenList.rend()) FTokenList.erase(std::next(it).base());
  return soft;
}

int TCustomDCParser::PopState() {
  while (PopSingleState()) {
  }
  return FToken;
}

bool TCustomDCParser::SoftPopState() {
  if (FTokenList.empty()) Error(L"Token list is empty");
  if (FTokenList.back()->SoftPush) {
    PopSingleState();
    return true;
  }
  for (std::size_t i = FTokenList.size() - 1; i-- > 0;)
    if (FTokenList[i]->SoftPush) {
      RestoreTokenData(*FTokenList[i]);
      return false;
    }
  Error(L"Token list is empty");
}

void TCustomDCParser::SetInternalState(int value) {
  if (value >= int(FTokenList.size())) Error(L"State is in future");
  if (value < 0) IndexError(value);
  RestoreTokenData(*FTokenList[std::size_t(value)]);
  FTokenList.resize(std::size_t(value));
}

// ---- Colouring

int TCustomDCParser::ColorString(const WideString& strData, int initState, TColorData& colorData) {
  if (strData.empty() || colorData.empty()) return initState;
  FParserState = initState;
  SetLinePtr(strData.c_str());
  colorData.resize(strData.size(), '\0');  // characters that no token covers keep their value
  while (SimpleNextToken() != tokEOF) {
    auto start = std::size_t(FTokenPtr - strData.c_str());
    auto length = std::size_t(FSourcePtr - FTokenPtr);
    char kind = char(FToken);
    if (OnGetColorData) {
      TColorData tokenColors(length, kind);
      DoGetColorData(FToken, TokenString(), tokenColors);
      tokenColors.resize(length, kind);
      std::copy(tokenColors.begin(), tokenColors.end(), colorData.begin() + std::ptrdiff_t(start));
    } else {
      std::fill_n(colorData.begin() + std::ptrdiff_t(start), length, kind);
    }
  }
  return FParserState;
}

void TCustomDCParser::DoGetColorData(int token, const WideString& tokenStr, TColorData& colorData) {
  if (OnGetColorData) OnGetColorData(this, token, tokenStr, colorData);
}

// ---- Generic token handlers

void TCustomDCParser::SkipWhile(const TCharSet& chars) {
  while (In(chars, *FSourcePtr)) ++FSourcePtr;
}

bool TCustomDCParser::ScanToChar(wchar_t ch) {
  while (*FSourcePtr != ch && IsPrintable(*FSourcePtr)) ++FSourcePtr;
  return *FSourcePtr == ch;
}

int TCustomDCParser::ParseSymbol() {
  ++FSourcePtr;
  return tokSymbol;
}

int TCustomDCParser::ParseIdentifier() {
  ++FSourcePtr;
  SkipWhile(kIdentChars);
  return LookupResWord(std::wstring_view(FTokenPtr, std::size_t(FSourcePtr - FTokenPtr))) ? tokResWord
                                                                                           : tokIdentifier;
}

int TCustomDCParser::ParseNumber() {
  ++FSourcePtr;
  SkipWhile(kDigits);
  auto exponent = [this] {
    ++FSourcePtr;  // "E" or "e"
    if (*FSourcePtr == L'+' || *FSourcePtr == L'-') ++FSourcePtr;
    SkipWhile(kDigits);
  };
  if (*FSourcePtr == L'.' && In(kDigits, FSourcePtr[1])) {
    ++FSourcePtr;
    SkipWhile(kDigits);
    if (*FSourcePtr == L'E' || *FSourcePtr == L'e') exponent();
    return tokFloat;
  }
  if (*FSourcePtr == L'E' || *FSourcePtr == L'e') {
    exponent();
    return tokFloat;
  }
  return tokInteger;
}

int TCustomDCParser::ParseQuotedString(wchar_t quote) {
  fUnterminated = false;
  do {
    ++FSourcePtr;  // the opening quote, or the second of a doubled one
    if (!ScanToChar(quote)) {
      fUnterminated = true;
      break;
    }
    ++FSourcePtr;
  } while (*FSourcePtr == quote);
  return tokString;
}

int TCustomDCParser::ParseLineComment() {
  while (IsPrintable(*FSourcePtr)) ++FSourcePtr;
  return tokComment;
}

int TCustomDCParser::ParseBraceComment() {
  if (ScanToChar(L'}')) {
    ++FSourcePtr;
    FParserState = 0;
  } else {
    FParserState = 1;
  }
  return tokComment;
}

// CR LF and LF CR are one break. The field is counted, not the LinePos
// writer: a line parser must not reload its line in the middle of a scan.
int TCustomDCParser::ParseLineBreak(wchar_t pair) {
  ++FSourcePtr;
  if (*FSourcePtr == pair) ++FSourcePtr;
  ++FLinePos;
  FLinePtr = FSourcePtr;
  return tokSkip;
}

int TCustomDCParser::ParseCR() { return ParseLineBreak(L'\n'); }

int TCustomDCParser::ParseLF() { return ParseLineBreak(L'\r'); }

// ---- Language-specific token handlers

int TCustomDCParser::ParseHexNumber() {
  ++FSourcePtr;
  SkipWhile(kHexDigits);
  return tokInteger;
}

int TCustomDCParser::ParseCHexNumber() {
  if (FSourcePtr[1] != L'x') return ParseNumber();
  if (!In(kHexDigits, FSourcePtr[2])) {
    ++FSourcePtr;  // "0" alone
    return tokSymbol;
  }
  FSourcePtr += 2;
  SkipWhile(kHexDigits);
  return tokInteger;
}

int TCustomDCParser::ParseNumberSuffix(int kind) {
  if (kind != tokInteger) return kind;
  for (const wchar_t* suffix : kCIntegerSuffixes)
    if (StartsWith(FSourcePtr, suffix)) {
      FSourcePtr += std::wstring_view(suffix).size();
      break;
    }
  return kind;
}

int TCustomDCParser::ParseCNumber() { return ParseNumberSuffix(ParseNumber()); }

int TCustomDCParser::ParseCZeroNumber() { return ParseNumberSuffix(ParseCHexNumber()); }

int TCustomDCParser::ParseVBHexNumber() {
  ++FSourcePtr;  // "&"
  if (*FSourcePtr != L'H' && *FSourcePtr != L'h') return tokSymbol;
  ++FSourcePtr;
  SkipWhile(kHexDigits);
  return tokInteger;
}

int TCustomDCParser::ParseDoubleQuotedString() { return ParseQuotedString(L'"'); }

// Apostrophe strings and character codes (#13, #$0D) joined without blanks
// are one string token. A loop, not mutual calls: a long run cannot
// exhaust the stack.
int TCustomDCParser::ParsePascalText() {
  for (;;) {
    if (*FSourcePtr == L'\'') {
      ParseQuotedString(L'\'');
      if (*FSourcePtr != L'#') break;
    } else if (*FSourcePtr == L'#') {
      ++FSourcePtr;
      if (*FSourcePtr == L'$') {
        ++FSourcePtr;
        SkipWhile(kHexDigits);
      } else {
        SkipWhile(kDigits);
      }
      if (*FSourcePtr != L'#' && *FSourcePtr != L'\'') break;
    } else {
      break;
    }
  }
  return tokString;
}

int TCustomDCParser::ParsePascalString() { return ParsePascalText(); }

int TCustomDCParser::ParseCharCode() { return ParsePascalText(); }

int TCustomDCParser::ParseCString() {
  wchar_t quote = *FSourcePtr++;
  int backslashes = 0;
  while (IsPrintable(*FSourcePtr)) {
    wchar_t c = *FSourcePtr++;
    if (c == quote && backslashes % 2 == 0) break;
    backslashes = c == L'\\' ? backslashes + 1 : 0;
  }
  return tokString;
}

int TCustomDCParser::ParseSlash() {
  if (FSourcePtr[1] == L'/') return ParseLineComment();
  ++FSourcePtr;
  return tokSymbol;
}

int TCustomDCParser::ParseParen() {
  if (FSourcePtr[1] != L'*') {
    ++FSourcePtr;
    return tokSymbol;
  }
  FSourcePtr += 2;
  return ParseParenCommentTail();
}

int TCustomDCParser::ParseCSlash() {
  int kind;
  if (FSourcePtr[1] == L'*') {
    FSourcePtr += 2;
    kind = ParseCCommentTail();
  } else if (FSourcePtr[1] == L'/') {
    kind = ParseLineComment();
  } else {
    ++FSourcePtr;
    kind = tokSymbol;
  }
  if (FParserState == 10) FParserState = 0;
  return kind;
}

int TCustomDCParser::ParseCommentTail(wchar_t closing) {
  for (;;) {
    if (!ScanToChar(L'*')) {
      FParserState = 2;  // the comment goes on in the next text
      return tokComment;
    }
    ++FSourcePtr;
    if (*FSourcePtr == closing) {
      ++FSourcePtr;
      FParserState = 0;
      return tokComment;
    }
  }
}

int TCustomDCParser::ParseParenCommentTail() { return ParseCommentTail(L')'); }

int TCustomDCParser::ParseCCommentTail() { return ParseCommentTail(L'/'); }

int TCustomDCParser::ParsePreprocessorLine() {
  FParserState = 0;
  ++FSourcePtr;
  while (IsPrintable(*FSourcePtr)) {
    wchar_t c = *FSourcePtr;
    if (c == L'/' && (FSourcePtr[1] == L'*' || FSourcePtr[1] == L'/')) break;
    if (c == L'\\' && FSourcePtr[1] == 0) {
      ++FSourcePtr;
      FParserState = 10;  // the directive continues in the next text
      break;
    }
    ++FSourcePtr;
  }
  return tokPreprocessor;
}

int TCustomDCParser::ParsePascalIdentifier() {
  int kind = ParseIdentifier();
  if (kind == tokResWord && FParserState == 0 && SameTextIgnoringCase(TokenString(), L"asm")) FParserState = 4;
  return kind;
}

int TCustomDCParser::ParseVBIdentifier() {
  int kind = ParseIdentifier();
  if (kind != tokResWord || FResWordID != FSpecialResWordID) return kind;
  return ParseLineComment();
}

int TCustomDCParser::ParseAsmText() {
  // Whether the block's "end" starts at P: a word of its own, not the tail of a name.
  auto atEnd = [this](const wchar_t* p) {
    for (int i = 0; i < 3; ++i) {
      wchar_t c = FCaseSensitive ? p[i] : FoldAsciiLower(p[i]);
      if (c != L"end"[i]) return false;
    }
    if (p > FLinePtr && In(kAsmNameChars, p[-1])) return false;
    return p[3] == 0 || !In(kIdentChars, p[3]);
  };
  for (;;) {
    wchar_t c = *FSourcePtr;
    if (c < 33 || c > 255) break;
    if (atEnd(FSourcePtr)) {
      FParserState = 0;
      break;
    }
    if (c == L'(' && FSourcePtr[1] == L'*') {
      FParserState = 7;
      break;
    }
    if (c == L'/' && FSourcePtr[1] == L'/') {
      FParserState = 6;
      break;
    }
    if (c == L'{') {
      FParserState = 5;
      break;
    }
    ++FSourcePtr;
  }
  return tokAsm;
}

int TCustomDCParser::ParseAsmSlash() {
  int kind = ParseSlash();
  FParserState = 4;
  return kind == tokSymbol ? tokAsm : kind;
}

// After a comment inside an "asm" block: a closed comment goes back to the
// block (4), an open one to the block's state for that comment.
int TCustomDCParser::InAsmBlock(int kind, int openState, int asmOpenState) {
  if (FParserState == 0) FParserState = 4;
  else if (FParserState == openState) FParserState = asmOpenState;
  return kind;
}

int TCustomDCParser::ParseAsmBraceComment() { return InAsmBlock(ParseBraceComment(), 1, 5); }

int TCustomDCParser::ParseAsmParen() {
  int kind = ParseParen();
  return kind == tokSymbol ? tokAsm : InAsmBlock(kind, 2, 7);
}

int TCustomDCParser::ParseAsmParenComment() { return InAsmBlock(ParseParenCommentTail(), 2, 7); }

// ---- Syntax set-ups

void TCustomDCParser::InitDefaultSyntax() {
  RegisterProc({0}, kPrintables, Handler<&TCustomDCParser::ParseSymbol>());
  RegisterLineBreakProcs(0);
}

// The registrations that the Pascal and form-text set-ups share (their
// character sets do not overlap, so their order among themselves is free).
void TCustomDCParser::RegisterPascalTokens() {
  RegisterProc({0}, TCharSet::Of(L"'"), Handler<&TCustomDCParser::ParsePascalString>());
  RegisterProc({0}, TCharSet::Of(L"{"), Handler<&TCustomDCParser::ParseBraceComment>());
  RegisterProc({1}, kPrintables, Handler<&TCustomDCParser::ParseBraceComment>());
  RegisterProc({0}, kLetters, Handler<&TCustomDCParser::ParsePascalIdentifier>());
  RegisterProc({0}, kDigits, Handler<&TCustomDCParser::ParseNumber>());
  RegisterProc({0}, TCharSet::Of(L"/"), Handler<&TCustomDCParser::ParseSlash>());
  RegisterProc({0}, TCharSet::Of(L"("), Handler<&TCustomDCParser::ParseParen>());
  RegisterProc({0}, TCharSet::Of(L"#"), Handler<&TCustomDCParser::ParseCharCode>());
  RegisterProc({2}, kPrintables, Handler<&TCustomDCParser::ParseParenCommentTail>());
}

void TCustomDCParser::InitPascalSyntax() {
  FillStringsFromArray(*FResWords, PascalResWords());
  InitDefaultSyntax();
  RegisterPascalTokens();
  RegisterProc({0}, TCharSet::Of(L"$"), Handler<&TCustomDCParser::ParseHexNumber>());
  RegisterProc({4}, kPrintables, Handler<&TCustomDCParser::ParseAsmText>());
  RegisterProc({4, 6}, TCharSet::Of(L"/"), Handler<&TCustomDCParser::ParseAsmSlash>());
  RegisterProc({4}, TCharSet::Of(L"{"), Handler<&TCustomDCParser::ParseAsmBraceComment>());
  RegisterProc({5}, kPrintables, Handler<&TCustomDCParser::ParseAsmBraceComment>());
  RegisterProc({4}, TCharSet::Of(L"("), Handler<&TCustomDCParser::ParseAsmParen>());
  RegisterProc({7}, kPrintables, Handler<&TCustomDCParser::ParseAsmParenComment>());
  // Not in the assembler states: there CR and LF are passed over uncounted.
  RegisterLineBreakProcs(2);
  RegisterLineBreakProcs(1);
}

void TCustomDCParser::InitJSSyntax() {
  InitDefaultSyntax();
  RegisterProc({0}, TCharSet::Of(L"\"'"), Handler<&TCustomDCParser::ParseCString>());
  RegisterProc({0}, kLetters, Handler<&TCustomDCParser::ParseIdentifier>());
  RegisterProc({0}, TCharSet::Of(L"/"), Handler<&TCustomDCParser::ParseCSlash>());
  RegisterProc({10}, (TCharSet::Of(L"\t") | TCharSet::Range(32, 255)) - TCharSet::Of(L"/"),
               Handler<&TCustomDCParser::ParsePreprocessorLine>());
  RegisterProc({10}, TCharSet::Of(L"/"), Handler<&TCustomDCParser::ParseCSlash>());
  RegisterProc({2}, kPrintables, Handler<&TCustomDCParser::ParseCCommentTail>());
  RegisterLineBreakProcs(2);
}

void TCustomDCParser::InitJScrSyntax() {
  FillStringsFromArray(*FResWords, ScriptResWords());
  InitJSSyntax();
  RegisterProc({0}, kDigits, Handler<&TCustomDCParser::ParseNumber>());
  RegisterProc({0}, TCharSet::Of(L"0"), Handler<&TCustomDCParser::ParseCHexNumber>());
}

void TCustomDCParser::InitCSyntax() {
  FillStringsFromArray(*FResWords, CResWords());
  InitJSSyntax();
  RegisterProc({0}, TCharSet::Of(L"#"), Handler<&TCustomDCParser::ParsePreprocessorLine>());
  RegisterProc({0}, kDigits, Handler<&TCustomDCParser::ParseCNumber>());
  RegisterProc({0}, TCharSet::Of(L"0"), Handler<&TCustomDCParser::ParseCZeroNumber>());
}

void TCustomDCParser::InitCppSyntax() {
  InitCSyntax();
  FillStringsFromArray(*FResWords, CppResWords());
}

void TCustomDCParser::InitFormTextSyntax() {
  FillStringsFromArray(*FResWords, FormTextResWords());
  InitDefaultSyntax();
  RegisterPascalTokens();
  RegisterLineBreakProcs(2);
  RegisterLineBreakProcs(1);
}

void TCustomDCParser::InitVBSyntax() {
  FillStringsFromArray(*FResWords, BasicResWords());
  FSpecialResWordID = kBasicRemID;
  InitDefaultSyntax();
  RegisterProc({0}, kDigits, Handler<&TCustomDCParser::ParseNumber>());
  RegisterProc({0}, kLetters, Handler<&TCustomDCParser::ParseVBIdentifier>());
  RegisterProc({0}, TCharSet::Of(L"\""), Handler<&TCustomDCParser::ParseDoubleQuotedString>());
  RegisterProc({0}, TCharSet::Of(L"'"), Handler<&TCustomDCParser::ParseLineComment>());
  RegisterProc({0}, TCharSet::Of(L"&"), Handler<&TCustomDCParser::ParseVBHexNumber>());
}

// ---- TStringsParser

void TStringsParser::RequireStrings() {
  if (!FStrings) Error(L"Strings are not specified");
}

WideString TStringsParser::LineText(int index) const {
  return index >= 0 && index < FStrings->Count() ? FStrings->Get(index) : WideString();
}

void TStringsParser::SetStrings(TStrings* strings) {
  if (strings == FStrings) return;
  FStrings = strings;
  ResetParser();
}

void TStringsParser::ResetParser() {
  FLinePos = 0;
  if (FStrings) {
    UpdateLine();
  } else {
    // Letting go of the lines is no error: the parser just has no text.
    FStr.clear();
    FLinePtr = FSourcePtr = FTokenPtr = FStr.c_str();
  }
  FParserState = 0;
  FToken = -1;
}

void TStringsParser::SetLinePos(int value) {
  RequireStrings();
  if (value == FLinePos && LineText(value) == FStr) return;
  FLinePos = value;
  UpdateLine();
}

void TStringsParser::UpdateLine() {
  RequireStrings();
  FStr = LineText(FLinePos);
  // Always from the new text's start: the old pointers name the replaced text
  // even where the address happens to be the same.
  FLinePtr = FSourcePtr = FTokenPtr = FStr.c_str();
  FToken = -1;
}

int TStringsParser::ColumnInText(int column) const { return std::clamp(column, 0, int(FStr.size())); }

int TStringsParser::NextToken() {
  RequireStrings();
  // A loop: any number of empty lines is crossed without nesting.
  for (;;) {
    int kind = SimpleNextToken();
    if (kind != tokEOF) return kind;
    if (FLinePos >= FStrings->Count()) return tokEOF;
    ++FLinePos;
    UpdateLine();
    if (FEOLIsSignificant && FParserState == 0) {
      FToken = tokEOL;
      return tokEOL;
    }
  }
}

}  // namespace tvk
