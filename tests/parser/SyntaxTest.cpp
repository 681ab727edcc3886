// The library's syntax set-ups: each language's numbers, strings, comments,
// keywords and the constructs that carry over from one text to the next
// through the parser state.
#include <gtest/gtest.h>

#include "ParserTest.h"
#include "dcsyntax.h"

using namespace tvk;
namespace parser_test {

namespace {

enum class Lang { Pascal, C, Cpp, Script, FormText, Basic };

void ApplySetUp(TCustomDCParser& p, Lang lang) {
  switch (lang) {
    case Lang::Pascal: p.InitPascalSyntax(); break;
    case Lang::C: p.InitCSyntax(); break;
    case Lang::Cpp: p.InitCppSyntax(); break;
    case Lang::Script: p.InitJScrSyntax(); break;
    case Lang::FormText: p.InitFormTextSyntax(); break;
    case Lang::Basic: p.InitVBSyntax(); break;
  }
}

struct Row {
  Lang Language;
  std::vector<std::wstring> Texts;  // read one after the other, the state carried over
  std::vector<Tok> Tokens;
  int FinalState;
};

const Tok S(const wchar_t* t) { return {tokString, t}; }
const Tok C(const wchar_t* t) { return {tokComment, t}; }
const Tok I(const wchar_t* t) { return {tokIdentifier, t}; }
const Tok N(const wchar_t* t) { return {tokInteger, t}; }
const Tok F(const wchar_t* t) { return {tokFloat, t}; }
const Tok R(const wchar_t* t) { return {tokResWord, t}; }
const Tok Y(const wchar_t* t) { return {tokSymbol, t}; }
const Tok P(const wchar_t* t) { return {tokPreprocessor, t}; }
const Tok A(const wchar_t* t) { return {tokAsm, t}; }

const Row kRows[] = {
    // Pascal
    {Lang::Pascal, {L"#13#10'abc'#0 #$1F"}, {S(L"#13#10'abc'#0"), S(L"#$1F")}, 0},
    {Lang::Pascal, {L"$1F 1.e5 1e 2.5"}, {N(L"$1F"), N(L"1"), Y(L"."), I(L"e5"), F(L"1e"), F(L"2.5")}, 0},
    {Lang::Pascal, {L"'it''s' 'open"}, {S(L"'it''s'"), S(L"'open")}, 0},
    {Lang::Pascal, {L"a // c", L"a / b"}, {I(L"a"), C(L"// c"), I(L"a"), Y(L"/"), I(L"b")}, 0},
    {Lang::Pascal, {L"(* open", L"still *) x (y)"}, {C(L"(* open"), C(L"still *)"), I(L"x"), Y(L"("), I(L"y"), Y(L")")}, 0},
    {Lang::Pascal, {L"(* open"}, {C(L"(* open")}, 2},
    {Lang::Pascal, {L"{ open", L"x } Begin"}, {C(L"{ open"), C(L"x }"), R(L"Begin")}, 0},
    {Lang::Pascal, {L"asm mov eax,1 end"}, {R(L"asm"), A(L"mov"), A(L"eax,1"), A(L""), R(L"end")}, 0},
    {Lang::Pascal, {L"asm xend @end end;"}, {R(L"asm"), A(L"xend"), A(L"@end"), A(L""), R(L"end"), Y(L";")}, 0},
    {Lang::Pascal,
     {L"ASM nop{c}nop (* d *) / // e", L"End"},
     {R(L"ASM"), A(L"nop"), C(L"{c}"), A(L"nop"), C(L"(* d *)"), A(L"/"), C(L"// e"), A(L""), R(L"End")},
     0},
    {Lang::Pascal, {L"asm { open", L"still } end"}, {R(L"asm"), C(L"{ open"), C(L"still }"), A(L""), R(L"end")}, 0},
    {Lang::Pascal, {L"asm (* open", L"still *) ( end"}, {R(L"asm"), C(L"(* open"), C(L"still *)"), A(L"("), A(L""), R(L"end")}, 0},
    {Lang::Pascal, {L"asm endx"}, {R(L"asm"), A(L"endx")}, 4},
    // C
    {Lang::C, {L"0x 0X1F"}, {Y(L"0"), I(L"x"), N(L"0"), I(L"X1F")}, 0},
    {Lang::C, {L"10ul 0x1Fu 7i64 5Lu 1.5f 08"}, {N(L"10ul"), N(L"0x1Fu"), N(L"7i64"), N(L"5Lu"), F(L"1.5"), I(L"f"), N(L"08")}, 0},
    {Lang::C, {L"#define A \\", L"  B", L"int"}, {P(L"#define A \\"), P(L"  B"), R(L"int")}, 0},
    {Lang::C, {L"#define A \\"}, {P(L"#define A \\")}, 10},
    {Lang::C, {L"#include <x> // c", L"#if a/*b*/"}, {P(L"#include <x> "), C(L"// c"), P(L"#if a"), C(L"/*b*/")}, 0},
    {Lang::C, {L"\"a\\\"b\" '\\\\' \"open"}, {S(L"\"a\\\"b\""), S(L"'\\\\'"), S(L"\"open")}, 0},
    {Lang::C, {L"/* open", L"x */ y / z"}, {C(L"/* open"), C(L"x */"), I(L"y"), Y(L"/"), I(L"z")}, 0},
    {Lang::C, {L"struct bool"}, {R(L"struct"), I(L"bool")}, 0},
    // C++: the C set-up with the C++ table
    {Lang::Cpp, {L"class bool struct 10u"}, {R(L"class"), R(L"bool"), R(L"struct"), N(L"10u")}, 0},
    // Script
    {Lang::Script, {L"function f(0x1F, 12.5, 0x)"}, {R(L"function"), I(L"f"), Y(L"("), N(L"0x1F"), Y(L","), F(L"12.5"), Y(L","), Y(L"0"), I(L"x"), Y(L")")}, 0},
    // Form text
    {Lang::FormText, {L"object Form1: TForm1", L"Caption = 'a'#13 { c }"},
     {R(L"object"), I(L"Form1"), Y(L":"), I(L"TForm1"), I(L"Caption"), Y(L"="), S(L"'a'#13"), C(L"{ c }")}, 0},
    // Basic
    {Lang::Basic, {L"If x = &H1F Then", L"Rem all of this", L"y = &x ' note"},
     {R(L"If"), I(L"x"), Y(L"="), N(L"&H1F"), R(L"Then"), C(L"Rem all of this"), I(L"y"), Y(L"="), Y(L"&"), I(L"x"), C(L"' note")}, 0},
    {Lang::Basic, {L"rem lower \"case\"", L"s = \"a\"\"b\""}, {C(L"rem lower \"case\""), I(L"s"), Y(L"="), S(L"\"a\"\"b\"")}, 0},
};

TEST(SyntaxSetUps, TokensOfEachLanguage) {
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    const Row& row = kRows[i];
    TCustomDCParser p(nullptr);
    ApplySetUp(p, row.Language);
    std::vector<Tok> tokens;
    for (const std::wstring& text : row.Texts) {
      auto part = Scan(p, text);
      tokens.insert(tokens.end(), part.begin(), part.end());
    }
    EXPECT_EQ(row.Tokens, tokens) << "row " << i;
    EXPECT_EQ(row.FinalState, p.ParserState()) << "row " << i;
  }
}

TEST(SyntaxSetUps, InsideAnAsmBlockLineBreaksAreNotCounted) {
  TCustomDCParser p(nullptr);
  p.InitPascalSyntax();
  std::wstring text = L"x\r\nasm\r\nmov\r\nend\r\ny";
  p.SetLinePtr(text.c_str());
  EXPECT_EQ((std::vector<Tok>{I(L"x"), R(L"asm"), A(L"mov"), A(L""), R(L"end"), I(L"y")}), ReadAll(p));
  EXPECT_EQ(2, p.LinePos());  // the breaks after "x" and after "end" only
}

TEST(SyntaxSetUps, PascalPseudoReservedWords) {
  TCustomDCParser p(nullptr);
  p.InitPascalSyntax();
  std::wstring text = L"index Read WRITE begin readx";
  p.SetLinePtr(text.c_str());
  std::vector<bool> pseudo;
  while (p.NextToken() != tokEOF) pseudo.push_back(p.IsTokenPseudoResWord());
  EXPECT_EQ((std::vector<bool>{true, true, true, false, false}), pseudo);
}

TEST(SyntaxSetUps, KeywordTablesHoldTheirWordsAtTheirIdentifiers) {
  struct Table {
    TResWordTable Words;
    std::size_t Size;
    const wchar_t* Sample;
    int SampleID;
  };
  for (const Table& t : {Table{PascalResWords(), 109, L"xor", 108}, Table{FormTextResWords(), 5, L"item", 3},
                         Table{BasicResWords(), 56, L"Class", 55}, Table{ScriptResWords(), 58, L"with", 57},
                         Table{CResWords(), 31, L"while", 30}, Table{CppResWords(), 94, L"__int64", 49}}) {
    EXPECT_EQ(t.Size, t.Words.size());
    EXPECT_EQ(std::wstring(t.Sample), t.Words[std::size_t(t.SampleID)]);
  }
  // The Basic table's special word is "Rem" (its comment).
  TCustomDCParser p(nullptr);
  p.InitVBSyntax();
  ASSERT_TRUE(p.LookupResWord(L"REM"));
  EXPECT_EQ(kBasicRemID, p.ResWordID());
}

TEST(SyntaxSetUps, ASecondSetUpKeepsWhatItDoesNotOverwrite) {
  TCustomDCParser p(nullptr);
  p.InitCSyntax();
  p.InitPascalSyntax();  // state 10 of the C set-up stays
  std::wstring text = L"x";
  p.SetLinePtr(text.c_str());
  p.SetParserState(10);
  EXPECT_EQ(tokPreprocessor, p.NextToken());
}

}  // namespace

}  // namespace parser_test
