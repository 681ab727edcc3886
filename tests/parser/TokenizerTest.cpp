// The tokenizer: dispatch by state and low 8 bits, the end of the text,
// reserved words and their hash buckets, the generic handlers, line counting,
// snapshots and look-ahead, the line-by-line parser, and the error texts.
#include <gtest/gtest.h>

#include "ParserTest.h"
#include "support/ErrorText.h"

using namespace tvk;
using testsupport::ErrorText;
namespace parser_test {

namespace {

void FillWords(TCustomDCParser& p, std::initializer_list<const wchar_t*> words) {
  std::vector<const wchar_t*> table(words);
  FillStringsFromArray(*p.ResWords(), table);
}

TEST(Tokenizer, HashBucketsFoldOnlyAsciiLetters) {
  struct Row {
    const wchar_t* Word;
    int Bucket;
  };
  for (const Row& row : {Row{L"", 255}, Row{L"a", 65}, Row{L"end", 196}, Row{L"END", 196}, Row{L"begin", 136},
                         Row{L"entity", 149}, Row{L"\u00C4", 196}, Row{L"\u00E4", 228}})
    EXPECT_EQ(row.Bucket, TCustomDCParser::HashResWord(row.Word)) << int(std::wstring(row.Word).size());
}

TEST(Tokenizer, ReservedWordsFromTheTable) {
  TTextParser p;
  FillWords(p, {L"begin", L"  ", L"end", L" BEGIN "});
  // The blank entry is ignored; of the two "begin"s the later one keeps its identifier.
  EXPECT_EQ(2, p.SortedResWords()->Count());
  EXPECT_EQ((std::vector<Tok>{{tokResWord, L"Begin"}, {tokResWord, L"end"}, {tokIdentifier, L"ending"}}),
            Scan(p, L"Begin end ending"));
  ASSERT_TRUE(p.LookupResWord(L"BEGIN"));
  EXPECT_EQ(3, p.ResWordID());
  ASSERT_TRUE(p.LookupResWord(L"End"));
  EXPECT_EQ(2, p.ResWordID());

  // Case-sensitive: the exact table word only, but ResWordID still names it.
  p.SetCaseSensitive(true);
  EXPECT_FALSE(p.LookupResWord(L"End"));
  EXPECT_EQ(2, p.ResWordID());
  EXPECT_TRUE(p.LookupResWord(L"end"));
  EXPECT_EQ((std::vector<Tok>{{tokIdentifier, L"END"}}), Scan(p, L"END"));
}

TEST(Tokenizer, ALetterOutsideAsciiMustMatchTheKeywordsCase) {
  TTextParser p;
  FillWords(p, {L"x\u00E4"});
  EXPECT_TRUE(p.LookupResWord(L"X\u00E4"));   // only A-Z folded: the same bucket
  EXPECT_FALSE(p.LookupResWord(L"x\u00C4"));  // another bucket, though the list would call it equal
}

class TListener : public TComponent {
public:
  TVK_CLASS(TListener, TComponent)
  TListener() : TComponent(nullptr) {}
  void Heard(TObject* sender, std::int32_t w, std::int32_t l) {
    Senders.push_back(sender);
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, l);
  }
  std::vector<TObject*> Senders;
};

TEST(Tokenizer, ListenersHearOfEachChangeOfTheWordLists) {
  TTextParser p;
  TListener listener;
  p.RegisterNotifier(TNotifierProc::Bind<&TListener::Heard>(&listener));
  FillWords(p, {L"a", L"b", L"c"});  // one change for the whole table
  p.SetCaseSensitive(true);
  p.SetCaseSensitive(true);  // no change
  EXPECT_EQ((std::vector<TObject*>{&p, &p}), listener.Senders);
}

TEST(Tokenizer, TheEndOfTheTextAndCharactersAbove255) {
  TTextParser p;
  EXPECT_EQ(tokEOF, p.NextToken());  // no text given: an empty one
  EXPECT_TRUE(Scan(p, L"").empty());
  EXPECT_TRUE(Scan(p, L"\u0100abc").empty());  // a multiple of 256 ends the text
  EXPECT_EQ((std::vector<Tok>{{tokIdentifier, L"a"}}), Scan(p, L"a\u0200b"));
  // Above 255: dispatched by the low 8 bits, and in no character set.
  EXPECT_EQ((std::vector<Tok>{{tokIdentifier, L"a"}, {tokIdentifier, L"\u0141x"}, {tokSymbol, L"\u012F"}}),
            Scan(p, L"a\u0141x\u012F"));
  EXPECT_EQ((std::vector<Tok>{{tokIdentifier, L"a"}}), Scan(p, L" \t\x01 a\x1F"));  // no handler: separators
}

TEST(Tokenizer, GenericHandlers) {
  struct Row {
    const wchar_t* Text;
    std::vector<Tok> Tokens;
    bool Unterminated;
    int State;
  };
  const Row rows[] = {
      {L"'it''s' x", {{tokString, L"'it''s'"}, {tokIdentifier, L"x"}}, false, 0},
      {L"'open", {{tokString, L"'open"}}, true, 0},
      {L"'a'\r\n'b", {{tokString, L"'a'"}, {tokString, L"'b"}}, true, 0},
      {L"12 3.5 1e 1.e5 7E+3 2.5e-1x 4e-",
       {{tokInteger, L"12"}, {tokFloat, L"3.5"}, {tokFloat, L"1e"}, {tokInteger, L"1"}, {tokSymbol, L"."},
        {tokIdentifier, L"e5"}, {tokFloat, L"7E+3"}, {tokFloat, L"2.5e-1"}, {tokIdentifier, L"x"},
        {tokFloat, L"4e-"}},
       false, 0},
      {L"a_1(b)", {{tokIdentifier, L"a_1"}, {tokSymbol, L"("}, {tokIdentifier, L"b"}, {tokSymbol, L")"}}, false, 0},
      {L"{ c } d", {{tokComment, L"{ c }"}, {tokIdentifier, L"d"}}, false, 0},
      {L"{ open\r\nstill } x", {{tokComment, L"{ open"}, {tokComment, L"still }"}, {tokIdentifier, L"x"}}, false, 0},
      {L"{ open", {{tokComment, L"{ open"}}, false, 1},
  };
  for (const Row& row : rows) {
    TTextParser p;
    EXPECT_EQ(row.Tokens, Scan(p, row.Text)) << "text " << row.Tokens.size();
    EXPECT_EQ(row.Unterminated, p.UnterminatedString());
    EXPECT_EQ(row.State, p.ParserState());
  }
}

TEST(Tokenizer, LineBreaksCountLinesAndStartThem) {
  TTextParser p;
  std::wstring text = L"a\r\nb\n\rc\r\rd\n\ne";
  p.SetLinePtr(text.c_str());
  struct Row {
    const wchar_t* Token;
    int Line;
  };
  for (const Row& row : {Row{L"a", 0}, Row{L"b", 1}, Row{L"c", 2}, Row{L"d", 4}, Row{L"e", 6}}) {
    ASSERT_EQ(tokIdentifier, p.NextToken());
    EXPECT_EQ(row.Token, p.TokenString());
    EXPECT_EQ(row.Line, p.LinePos());
    EXPECT_EQ(0, p.TokenCharPos());
  }
  EXPECT_EQ(tokEOF, p.NextToken());
}

TEST(Tokenizer, AStateWithoutATableIsAnIndexError) {
  TTextParser p;  // tables 0 and 1
  std::wstring text = L"x";
  p.SetLinePtr(text.c_str());
  p.SetParserState(2);
  EXPECT_EQ(L"List index out of bounds (2)", ErrorText([&] { p.NextToken(); }));
  EXPECT_THROW(p.NextToken(), EListError);
  p.SetParserState(-1);
  EXPECT_EQ(L"List index out of bounds (-1)", ErrorText([&] { p.NextToken(); }));
  p.SetParserState(0);
  EXPECT_EQ(tokIdentifier, p.NextToken());
  // A registration makes every table up to its state.
  p.RegisterProc({4}, TCharSet::Of(L"x"), p.Handler<&TCustomDCParser::ParseSymbol>());
  p.SetLinePtr(text.c_str());
  p.SetParserState(3);
  EXPECT_EQ(tokEOF, p.NextToken());  // an empty table: x is passed over
}

TEST(Tokenizer, ErrorTextsCarryThePositionOfTheCurrentToken) {
  TTextParser p;
  FillWords(p, {L"begin", L"end"});
  std::wstring text = L"a\nb\n      x y";
  p.SetLinePtr(text.c_str());
  p.SkipTokens(3);
  ASSERT_EQ(L"x", p.TokenString());
  EXPECT_EQ(L"'';'' expected at Line:3, Char:7. ", ErrorText([&] { p.CheckChar(L';'); }));
  EXPECT_EQ(L"end expected at Line:3, Char:7. ", ErrorText([&] { p.CheckResWord(1); }));
  EXPECT_EQ(L"'')'' expected at Line:3, Char:9. ", ErrorText([&] { p.CheckNextChar(L')'); }));
  // A finished message is taken as it is: a "%" in it is not a format.
  EXPECT_EQ(L"100% sure at Line:3, Char:9. ", ErrorText([&] { p.Error(L"100% sure"); }));

  TTextParser fresh;
  EXPECT_EQ(L"Token list is empty at Line:1, Char:1. ", ErrorText([&] { fresh.PopState(); }));
}

class TSuffixParser : public TCustomDCParser {
public:
  TVK_CLASS(TSuffixParser, TCustomDCParser)
  TSuffixParser() : TCustomDCParser(nullptr) {}

protected:
  WideString ErrorSuffix() override { return L"in unit (%s)"; }
};

TEST(Tokenizer, TheErrorSuffixFollowsThePosition) {
  TSuffixParser p;
  EXPECT_EQ(L"State is in future at Line:1, Char:1. in unit (%s)", ErrorText([&] { p.SetInternalState(0); }));
}

TEST(Tokenizer, SkipToAndTheTokenTests) {
  TTextParser p;
  FillWords(p, {L"begin", L"end"});
  std::wstring text = L"a ; begin x end";
  p.SetLinePtr(text.c_str());
  EXPECT_TRUE(p.SkipToChar(L';'));
  EXPECT_TRUE(p.IsTokenChar(L';'));
  EXPECT_TRUE(p.SkipToChar(L';'));  // the current token is tested first
  EXPECT_TRUE(p.IsPeekTokenResWord(0));
  EXPECT_TRUE(p.IsTokenChar(L';'));  // a peek reads nothing
  EXPECT_TRUE(p.IsNextTokenResWord(0));
  EXPECT_FALSE(p.IsPeekTokenChar(L'x'));  // x is an identifier, not a symbol
  EXPECT_TRUE(p.SkipToResWord(1));
  EXPECT_FALSE(p.SkipToChar(L';'));
  EXPECT_TRUE(p.ParserEOF());
  EXPECT_EQ(tokEOF, p.SkipTokens(0));
}

TEST(Tokenizer, APeekLeavesEverythingAsItWas) {
  TTextParser p;
  std::wstring text = L"alpha {c} beta";
  p.SetLinePtr(text.c_str());
  p.NextToken();
  const wchar_t* source = p.SourcePtr();
  EXPECT_EQ(tokComment, p.PeekToken());
  EXPECT_EQ(L"beta", p.PeekValidTokenStr());
  EXPECT_EQ(L"{c}", p.PeekTokenStr());
  EXPECT_EQ(tokIdentifier, p.Token());
  EXPECT_EQ(L"alpha", p.TokenString());
  EXPECT_EQ(source, p.SourcePtr());
  EXPECT_EQ(-1, p.InternalState());
  EXPECT_EQ(L"beta", p.NextValidTokenStr());
}

// A snapshot class that counts its pops.
int gPops = 0;
struct TCountedSnapshot : TTokenData {
  void ProcessSinglePop(TCustomDCParser&) override { ++gPops; }
};

class TCountingParser : public TSimpleSyntax<TCustomDCParser> {
protected:
  TTokenDataClass TokenDataClass() override { return TokenDataClassOf<TCountedSnapshot>(); }
};

TEST(Tokenizer, SnapshotsHardAndSoft) {
  TCountingParser p;
  std::wstring text = L"a b c d e";
  p.SetLinePtr(text.c_str());
  auto at = [&] { return p.TokenString(); };
  gPops = 0;

  p.NextToken();           // a
  EXPECT_EQ(0, p.PushState());
  p.NextToken();           // b
  EXPECT_EQ(1, p.SoftPushState());
  p.NextToken();           // c
  EXPECT_EQ(2, p.SoftPushState());
  p.NextToken();           // d
  EXPECT_TRUE(p.SoftPopState());  // the top was soft: popped
  EXPECT_EQ(L"c", at());
  EXPECT_EQ(1, gPops);
  EXPECT_EQ(1, p.InternalState());
  EXPECT_EQ(tokIdentifier, p.PopState());  // soft ones down to the hard one, each restored
  EXPECT_EQ(L"a", at());
  EXPECT_EQ(2, gPops);
  EXPECT_EQ(-1, p.InternalState());

  // A hard snapshot on top: the nearest soft one below is restored, nothing removed.
  p.SoftPushState();       // at a
  p.NextToken();           // b
  p.PushState();
  p.NextToken();           // c
  EXPECT_FALSE(p.SoftPopState());
  EXPECT_EQ(L"a", at());
  EXPECT_EQ(1, p.InternalState());

  // Setting the state: restores that snapshot and drops it and all above, without pops.
  EXPECT_EQ(L"State is in future at Line:1, Char:1. ", ErrorText([&] { p.SetInternalState(2); }));
  p.NextToken();
  p.NextToken();
  p.SetInternalState(1);
  EXPECT_EQ(L"b", at());
  EXPECT_EQ(0, p.InternalState());
  p.SetInternalState(0);
  EXPECT_EQ(L"a", at());
  EXPECT_EQ(-1, p.InternalState());
  EXPECT_EQ(2, gPops);

  p.PushState();
  EXPECT_EQ(L"Token list is empty at Line:1, Char:1. ", ErrorText([&] { p.SoftPopState(); }));
  EXPECT_EQ(0, p.InternalState());  // the failed soft pop changed nothing
}

TEST(Tokenizer, ColouringGivesEachCharacterItsTokensKind) {
  TTextParser p;
  TColorData colors;
  EXPECT_EQ(5, p.ColorString(L"abc", 5, colors));  // empty colour data: nothing happens
  EXPECT_TRUE(colors.empty());

  // Made as long as the text; characters between tokens keep what they held.
  colors = "zzzzzzzzzzzz";
  EXPECT_EQ(1, p.ColorString(L"ab 'c' { d", 0, colors));
  EXPECT_EQ(std::string({3, 3, 'z', 1, 1, 1, 'z', 2, 2, 2}), colors);
  EXPECT_EQ(0, p.ColorString(L"e } 7", 1, colors));  // the comment goes on from the last line
  EXPECT_EQ(std::string({2, 2, 2, 1, 4}), colors);

  // The event's colours are cut or padded to the token's length.
  std::vector<std::wstring> seen;
  p.OnGetColorData = [&](TObject* sender, int token, const WideString& text, TColorData& data) {
    EXPECT_EQ(&p, sender);
    EXPECT_EQ(std::string(text.size(), char(token)), data);
    seen.push_back(text);
    data = token == tokIdentifier ? std::string("\x09\x09\x09\x09") : std::string("\x08");
  };
  colors = "......";
  EXPECT_EQ(0, p.ColorString(L"ab 123", 0, colors));
  EXPECT_EQ(std::string({9, 9, '.', 8, 4, 4}), colors);
  EXPECT_EQ((std::vector<std::wstring>{L"ab", L"123"}), seen);
}

// ---- The line-by-line parser

// A line parser over a list of its own.
template <class Parser = TLineParser>
struct Lines {
  explicit Lines(std::wstring_view text) {
    List.SetText(text);
    P.SetStrings(&List);
  }
  TStringList List;
  Parser P;
};

std::vector<int> Kinds(TStringsParser& p, int limit = 100) {
  std::vector<int> kinds;
  for (int i = 0; i < limit; ++i) {
    int kind = p.NextToken();
    kinds.push_back(kind);
    if (kind == tokEOF) break;
  }
  return kinds;
}

TEST(StringsParser, EndsOfLinesWhenTheyAreSignificant) {
  Lines<> l(L"a\r\nb");
  auto& [lines, p] = l;
  EXPECT_EQ((std::vector<int>{tokIdentifier, tokIdentifier, tokEOF}), Kinds(p));
  EXPECT_EQ(2, p.LinePos());
  EXPECT_EQ(tokEOF, p.NextToken());

  p.SetEOLIsSignificant(true);
  p.ResetParser();
  EXPECT_EQ((std::vector<int>{tokIdentifier, tokEOL, tokIdentifier, tokEOL, tokEOF}), Kinds(p));

  // Inside a construct that goes on (state 1) an end of line is no token.
  lines.SetText(L"{ a\r\nb } c");
  p.ResetParser();
  EXPECT_EQ((std::vector<int>{tokComment, tokComment, tokIdentifier, tokEOL, tokEOF}), Kinds(p));
}

TEST(StringsParser, ManyEmptyLinesAreCrossedInOneCall) {
  TStringList lines;
  lines.Add(L"a");
  for (int i = 0; i < 100000; ++i) lines.Add(L"");
  lines.Add(L"b");
  TLineParser p;
  p.SetStrings(&lines);
  EXPECT_EQ(L"a", p.NextTokenStr());
  EXPECT_EQ(L"b", p.NextTokenStr());
  EXPECT_EQ(100001, p.LinePos());
}

TEST(StringsParser, APeekAcrossLinesRestoresTheLine) {
  Lines<> l(L"first x\r\n\r\n  second");
  auto& [lines, p] = l;
  p.SkipTokens(2);
  ASSERT_EQ(L"x", p.TokenString());
  EXPECT_EQ(L"second", p.PeekTokenStr());
  EXPECT_EQ(tokIdentifier, p.Token());
  EXPECT_EQ(L"x", p.TokenString());
  EXPECT_EQ(0, p.LinePos());
  EXPECT_EQ(7, p.CharPos());
  EXPECT_EQ(6, p.TokenCharPos());
  EXPECT_EQ(L"second", p.NextTokenStr());
  EXPECT_EQ(2, p.LinePos());
  EXPECT_EQ(2, p.TokenCharPos());
}

// A handler that looks ahead from inside (push, read, pop) across a line
// change, then goes on scanning its own token: the comment handler of a
// language with pragmas in comments works so.
class TLookAheadParser : public TSimpleSyntax<TStringsParser> {
public:
  TLookAheadParser() { RegisterNormalProc(TCharSet::Of(L"-"), Handler<&TLookAheadParser::ParseDashes>()); }
  int ParseDashes() {
    if (SourcePtr()[1] != L'-') return ParseSymbol();
    FSourcePtr += 2;
    PushState();
    Peeked.push_back(NextValidTokenStr());
    PopState();
    return ParseLineComment();
  }
  std::vector<std::wstring> Peeked;
};

TEST(StringsParser, AHandlerMayLookAheadAcrossLines) {
  Lines<TLookAheadParser> l(L"x --\r\n\r\nnext -- note\r\nlast");
  auto& [lines, p] = l;
  EXPECT_EQ((std::vector<Tok>{{tokIdentifier, L"x"},
                              {tokComment, L"--"},
                              {tokIdentifier, L"next"},
                              {tokComment, L"-- note"},
                              {tokIdentifier, L"last"}}),
            ReadAll(p));
  EXPECT_EQ((std::vector<std::wstring>{L"next", L"note"}), p.Peeked);
}

TEST(StringsParser, LinesAndTheirList) {
  TLineParser p;
  EXPECT_EQ(L"Strings are not specified at Line:1, Char:1. ", ErrorText([&] { p.NextToken(); }));
  EXPECT_THROW(p.SetLinePos(1), Exception);

  TStringList lines, other;
  lines.SetText(L"a b\r\nc");
  other.SetText(L"z");
  p.SetStrings(&lines);
  ReadAll(p);
  p.SetStrings(&lines);  // the same list: no new start
  EXPECT_EQ(tokEOF, p.NextToken());
  p.SetStrings(&other);  // another list: from its first line
  EXPECT_EQ(L"z", p.NextTokenStr());
  p.SetStrings(&lines);
  p.SetLinePos(1);
  EXPECT_EQ(L"c", p.NextTokenStr());
  p.SetStrings(nullptr);  // letting go of the lines is no error
  EXPECT_EQ(L"Strings are not specified at Line:1, Char:1. ", ErrorText([&] { p.NextToken(); }));
}

TEST(StringsParser, ARestoredSnapshotStaysWithinALineThatChanged) {
  Lines<> l(L"hello world");
  auto& [lines, p] = l;
  p.SkipTokens(2);
  p.PushState();
  lines.Put(0, L"hi");
  p.PopState();
  EXPECT_EQ(2, p.CharPos());
  EXPECT_EQ(2, p.TokenCharPos());
  EXPECT_EQ(tokEOF, p.NextToken());
}

}  // namespace

}  // namespace parser_test
