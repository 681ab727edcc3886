#pragma once
// Helpers of the tokenizer tests: tokens as (kind, text) pairs and a small
// set-up with identifiers, numbers, apostrophe strings and brace comments.
#include "dcparser.h"

#include <ostream>
#include <string>
#include <vector>

namespace parser_test {

struct Tok {
  int Kind;
  std::wstring Text;
  bool operator==(const Tok&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Tok& t) {
  os << "{" << t.Kind << ", \"";
  for (wchar_t c : t.Text) os << (c >= 32 && c < 127 ? char(c) : '?');
  return os << "\"}";
}

// Every token up to the end (a limit stops a parser that would not end).
inline std::vector<Tok> ReadAll(tvk::TCustomDCParser& p, int limit = 10000) {
  std::vector<Tok> tokens;
  for (int i = 0; i < limit; ++i) {
    int kind = p.NextToken();
    if (kind == tvk::tokEOF) break;
    tokens.push_back({kind, p.TokenString()});
  }
  return tokens;
}

// The tokens of Text, read from the parser's current state on.
inline std::vector<Tok> Scan(tvk::TCustomDCParser& p, const std::wstring& text) {
  p.SetLinePtr(text.c_str());
  return ReadAll(p);
}

constexpr tvk::TCharSet kLetters =
    tvk::TCharSet::Range(L'A', L'Z') | tvk::TCharSet::Range(L'a', L'z') | tvk::TCharSet::Of(L"_");

// State 0: symbols, line breaks, identifiers, numbers, 'strings', {comments};
// state 1 continues a brace comment.
template <class Base>
class TSimpleSyntax : public Base {
public:
  TSimpleSyntax() : Base(nullptr) {
    using P = tvk::TCustomDCParser;
    this->InitDefaultSyntax();
    this->RegisterNormalProc(kLetters, this->template Handler<&P::ParseIdentifier>());
    this->RegisterNormalProc(tvk::TCharSet::Range(L'0', L'9'), this->template Handler<&P::ParseNumber>());
    this->RegisterNormalProc(tvk::TCharSet::Of(L"'"), this->template Handler<&TSimpleSyntax::ParseApostrophe>());
    this->RegisterNormalProc(tvk::TCharSet::Of(L"{"), this->template Handler<&P::ParseBraceComment>());
    this->RegisterProc({1}, tvk::TCharSet::Range(33, 255), this->template Handler<&P::ParseBraceComment>());
    this->RegisterLineBreakProcs(1);
  }
  int ParseApostrophe() { return this->ParseQuotedString(L'\''); }
};

using TTextParser = TSimpleSyntax<tvk::TCustomDCParser>;
using TLineParser = TSimpleSyntax<tvk::TStringsParser>;

}  // namespace parser_test
