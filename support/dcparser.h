#pragma once
// The table-driven tokenizer. A parser has no grammar of its own: a syntax
// set-up loads a keyword table and, for each parser state, a dispatch table
// that maps the low 8 bits of the next character to a token handler. Handlers
// advance SourcePtr over one token and return its kind. TStringsParser reads
// a string list line by line; snapshots (PushState / PopState) give look-ahead.
//
// A handler may look ahead itself (push, read, pop); it must keep no pointer
// into the text across that, since a TStringsParser reloads its line on a pop:
// it goes on from the parser's fields.
#include "dcsystem.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

namespace tvk {

// Token kinds.
constexpr int tokSkip = -1;  // consumed input that forms no token (line breaks); never reported
constexpr int tokEOF = 0;
constexpr int tokString = 1;
constexpr int tokComment = 2;
constexpr int tokIdentifier = 3;
constexpr int tokInteger = 4;
constexpr int tokFloat = 5;
constexpr int tokResWord = 6;      // ResWordID names the word
constexpr int tokSymbol = 7;       // one character that starts no other token
constexpr int tokPreprocessor = 8;
constexpr int tokAsm = 9;
constexpr int tokEOL = 12;         // TStringsParser with EOLIsSignificant

// A set of character codes 0 to 255.
class TCharSet {
public:
  constexpr TCharSet() = default;
  static constexpr TCharSet Range(unsigned first, unsigned last) {
    TCharSet s;
    for (unsigned c = first; c <= last && c < 256; ++c) s.Include(c);
    return s;
  }
  static constexpr TCharSet Of(std::wstring_view chars) {
    TCharSet s;
    for (wchar_t c : chars) s.Include(unsigned(c));
    return s;
  }
  constexpr void Include(unsigned c) {
    if (c < 256) FBits[c / 64] |= std::uint64_t(1) << (c % 64);
  }
  constexpr void Exclude(unsigned c) {
    if (c < 256) FBits[c / 64] &= ~(std::uint64_t(1) << (c % 64));
  }
  // A character above 255 belongs to no set.
  constexpr bool Contains(unsigned c) const { return c < 256 && (FBits[c / 64] >> (c % 64)) & 1; }
  constexpr TCharSet operator|(const TCharSet& o) const {
    TCharSet s;
    for (int i = 0; i < 4; ++i) s.FBits[i] = FBits[i] | o.FBits[i];
    return s;
  }
  constexpr TCharSet operator-(const TCharSet& o) const {
    TCharSet s;
    for (int i = 0; i < 4; ++i) s.FBits[i] = FBits[i] & ~o.FBits[i];
    return s;
  }

private:
  std::uint64_t FBits[4] = {};
};

// A token handler: a method bound to the object it runs on, answering the kind.
using TParseProc = TMethod<int()>;

class TCustomDCParser;

// A position snapshot.
class TTokenData : public TObject {
public:
  TVK_CLASS(TTokenData, TObject)
  std::int32_t Token = 0;
  std::int32_t ParserState = 0;
  std::int32_t LinePos = 0;
  std::int32_t CharPos = 0;
  std::int32_t TokenCharPos = 0;
  std::int32_t SkipTokens = 0;
  std::int32_t IfDefLevel = 0;
  std::int32_t ResWordID = 0;
  const wchar_t* LinePtr = nullptr;  // compared, never read: it may name another line's text
  bool SoftPush = false;
  // Called when a pop removes this snapshot, just before its position is restored.
  virtual void ProcessSinglePop(TCustomDCParser&) {}
};

// The class of soft snapshots: a maker.
using TTokenDataClass = std::unique_ptr<TTokenData> (*)();
template <class T>
TTokenDataClass TokenDataClassOf() {
  return [] { return std::unique_ptr<TTokenData>(std::make_unique<T>()); };
}

// The colouring event: the token's colour data may be changed.
using TGetColorDataEvent =
    std::function<void(TObject* Sender, int Token, const WideString& TokenStr, TColorData& ColorData)>;

class TCustomDCParser : public TSimpleParser {
public:
  TVK_CLASS(TCustomDCParser, TSimpleParser)
  // No dispatch table and no set-up: a parser is given a set-up before it reads.
  explicit TCustomDCParser(TComponent* owner);
  ~TCustomDCParser() override;

  // ---- Configuration

  // For each state and each character of Chars, the entry becomes Handler (a
  // later registration overwrites); tables exist up to the highest state.
  void RegisterProc(std::initializer_list<int> states, const TCharSet& chars, const TParseProc& handler);
  void RegisterNormalProc(const TCharSet& chars, const TParseProc& handler) { RegisterProc({0}, chars, handler); }
  // ParseCR for CR and ParseLF for LF in State.
  void RegisterLineBreakProcs(int state);
  // Handler<&TMyParser::ParseX>(): a handler of this parser.
  template <auto Method>
  TParseProc Handler() {
    using C = typename TMethodTraits<decltype(Method)>::Class;
    return TParseProc::Bind<Method>(static_cast<C*>(this));
  }

  // State 0: every character from 33 to 255 a symbol; line breaks.
  virtual void InitDefaultSyntax();
  void InitJSSyntax();
  void InitJScrSyntax();
  void InitCSyntax();
  void InitCppSyntax();
  void InitPascalSyntax();
  void InitFormTextSyntax();
  void InitVBSyntax();

  // The keyword table; a word's identifier is its entry's associated object.
  TStringList* ResWords() const { return FResWords.get(); }
  void SetResWords(const TStrings& words) { FResWords->Assign(words); }
  // The words, trimmed, sorted and unique (without regard to case).
  TStringList* SortedResWords() const { return FIntWords.get(); }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);

  const WideString& Version() const { return FVersion; }
  void SetVersion(const WideString& value) { FVersion = value; }
  TGetColorDataEvent OnGetColorData;

  // ---- Text and position

  const wchar_t* LinePtr() const { return FLinePtr; }
  // When P differs from SourcePtr: the scan starts at P (null: an empty text) and Token is -1.
  void SetLinePtr(const wchar_t* p);
  const wchar_t* TokenPtr() const { return FTokenPtr; }
  const wchar_t* SourcePtr() const { return FSourcePtr; }
  int CharPos() const { return int(FSourcePtr - FLinePtr); }
  void SetCharPos(int value) { FSourcePtr = FLinePtr + value; }
  int TokenCharPos() const { return int(FTokenPtr - FLinePtr); }
  void SetTokenCharPos(int value) { FTokenPtr = FLinePtr + value; }
  int LinePos() const { return FLinePos; }
  virtual void SetLinePos(int value) { FLinePos = value; }
  int ParserState() const { return FParserState; }
  void SetParserState(int value) { FParserState = value; }
  int Token() const { return FToken; }
  int ResWordID() const { return FResWordID; }
  bool UnterminatedString() const { return fUnterminated; }

  // ---- Reading tokens

  int SimpleNextToken();
  virtual int NextToken();
  int NextValidToken();  // comments skipped
  WideString NextTokenStr();
  WideString NextValidTokenStr();
  int PeekToken();
  WideString PeekTokenStr();
  WideString PeekValidTokenStr();
  // NextToken Number times: the last kind, or the current Token for 0 or less.
  int SkipTokens(int number);
  virtual WideString TokenString();
  bool ParserEOF() const { return FToken == tokEOF; }
  bool IsTokenResWord(int id) const { return FToken == tokResWord && FResWordID == id; }
  bool IsTokenChar(wchar_t ch) const { return FToken == tokSymbol && *FTokenPtr == ch; }
  // A reserved word that the Pascal table makes "index", "read" or "write".
  bool IsTokenPseudoResWord() const;
  bool IsNextTokenChar(wchar_t ch);
  bool IsNextTokenResWord(int id);
  bool IsPeekTokenChar(wchar_t ch);
  bool IsPeekTokenResWord(int id);
  // Read on until the current token is the word (symbol); false when the end came first.
  bool SkipToResWord(int id);
  bool SkipToChar(wchar_t ch);
  void CheckChar(wchar_t ch);
  void CheckNextChar(wchar_t ch);
  void CheckResWord(int id);
  void CheckNextResWord(int id);
  // (column, line) of the current token, from 1.
  virtual void GetTokenPosition(int& column, int& line);

  // ---- Errors: the message, " at Line:%d, Char:%d. " and ErrorSuffix.

  [[noreturn]] void Error(std::wstring_view message);
  [[noreturn]] void ErrorFmt(std::wstring_view format, std::initializer_list<TFormatArg> args);

  // ---- Snapshots

  int PushState();
  int SoftPushState();
  int PopState();
  bool SoftPopState();
  int InternalState() const { return int(FTokenList.size()) - 1; }
  void SetInternalState(int value);

  // ---- Reserved words

  // Bucket of S: only "a" to "z" fold to upper case.
  static int HashResWord(std::wstring_view s);
  // True when Text is a reserved word (ResWordID then names it).
  bool LookupResWord(std::wstring_view text);

  // ---- Colouring

  int ColorString(const WideString& strData, int initState, TColorData& colorData) override;

  // ---- Token handlers (each starts at SourcePtr on the character that chose it)

  int ParseSymbol();
  int ParseIdentifier();
  int ParseNumber();
  int ParseQuotedString(wchar_t quote);
  int ParseLineComment();
  virtual int ParseBraceComment();
  int ParseCR();
  int ParseLF();
  int ParseHexNumber();
  int ParseCHexNumber();
  int ParseCNumber();
  int ParseCZeroNumber();
  int ParseVBHexNumber();
  int ParseDoubleQuotedString();
  int ParsePascalString();
  int ParseCharCode();
  int ParseCString();
  int ParseSlash();
  int ParseParen();
  int ParseCSlash();
  int ParseParenCommentTail();
  int ParseCCommentTail();
  int ParsePreprocessorLine();
  int ParsePascalIdentifier();
  int ParseVBIdentifier();
  int ParseAsmText();
  int ParseAsmSlash();
  int ParseAsmBraceComment();
  int ParseAsmParen();
  int ParseAsmParenComment();

  // Moves SourcePtr on while the character there is printable and not Ch;
  // whether it stopped at Ch.
  bool ScanToChar(wchar_t ch);

protected:
  virtual WideString ErrorSuffix() { return {}; }
  virtual void DoGetColorData(int token, const WideString& tokenStr, TColorData& colorData);
  virtual void UpdateLine() {}
  virtual void RestoreTokenData(const TTokenData& s);
  virtual void SaveTokenData(TTokenData& s);
  virtual TTokenDataClass TokenDataClass() { return TokenDataClassOf<TTokenData>(); }
  virtual void UpdateResWords();
  // Where a restored column lands: within the current text.
  virtual int ColumnInText(int column) const { return column; }
  void Loaded() override;
  void ResWordsChanged();

  std::int32_t FSpecialResWordID = 0;
  std::int32_t FSkipTokens = 0;
  std::int32_t FIfDefLevel = 0;
  std::int32_t FParserState = 0;
  std::int32_t FLinePos = 0;
  // Into the current text; an empty text until one is given.
  const wchar_t* FTokenPtr = L"";
  const wchar_t* FSourcePtr = FTokenPtr;
  const wchar_t* FLinePtr = FTokenPtr;
  std::int32_t FToken = -1;
  std::int32_t FResWordID = 0;
  bool fUnterminated = false;

private:
  struct TDispatchTable {
    TParseProc Procs[256];
  };
  const TDispatchTable& StateTable(int state) const;
  template <class F>
  auto Peek(F read);
  bool PopSingleState();
  int AddSnapshot(std::unique_ptr<TTokenData> snapshot);
  void SkipWhile(const TCharSet& chars);
  int ParseLineBreak(wchar_t pair);
  int InAsmBlock(int kind, int openState, int asmOpenState);
  int ParseNumberSuffix(int kind);
  void RegisterPascalTokens();
  int ParseCommentTail(wchar_t closing);
  int ParsePascalText();

  std::unique_ptr<TStringList> FIntWords;
  std::unique_ptr<TStringList> FResWords;
  std::vector<std::unique_ptr<TDispatchTable>> FParserStates;
  std::vector<std::unique_ptr<TTokenData>> FTokenList;
  std::unique_ptr<TStringList> fHashList[256];
  WideString FVersion;
  bool FCaseSensitive = false;
};

// Reads the lines of a string list that it does not own. Tokens never span
// lines; a construct left open carries over through ParserState.
class TStringsParser : public TCustomDCParser {
public:
  TVK_CLASS(TStringsParser, TCustomDCParser)
  using TCustomDCParser::TCustomDCParser;

  TStrings* Strings() const { return FStrings; }
  // Another list: the parser starts again at its first line.
  void SetStrings(TStrings* strings);
  bool EOLIsSignificant() const { return FEOLIsSignificant; }
  void SetEOLIsSignificant(bool value) { FEOLIsSignificant = value; }
  // Line 0, state 0, no token yet.
  void ResetParser();
  // Moves to the start of line Value (unless it is the current line, unchanged).
  void SetLinePos(int value) override;
  int NextToken() override;

protected:
  // Reloads line LinePos (past the last line: an empty text) and starts at its beginning.
  void UpdateLine() override;
  int ColumnInText(int column) const override;

private:
  void RequireStrings();
  WideString LineText(int index) const;

  TStrings* FStrings = nullptr;
  WideString FStr;  // the current line
  bool FEOLIsSignificant = false;
};

}  // namespace tvk
