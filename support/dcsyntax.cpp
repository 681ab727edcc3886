#include "dcsyntax.h"

#include <array>

namespace tvk {

namespace {

constexpr auto kPascal = std::to_array<const wchar_t*>({
    L"absolute", L"abstract", L"and", L"array", L"as", L"asm", L"assembler", L"automated", L"begin", L"between",
    L"break", L"case", L"cdecl", L"class", L"const", L"constructor", L"continue", L"default", L"deprecated",
    L"destructor", L"dispid", L"dispinterface", L"div", L"do", L"downto", L"dynamic", L"else", L"end", L"except",
    L"exit", L"export", L"exports", L"external", L"far", L"file", L"finalization", L"finally", L"for", L"forward",
    L"function", L"goto", L"helper", L"if", L"implementation", L"in", L"index", L"inherited", L"initialization",
    L"inline", L"interface", L"is", L"label", L"library", L"like", L"message", L"mod", L"near", L"nil",
    L"nodefault", L"not", L"object", L"of", L"or", L"out", L"overload", L"override", L"packed", L"pascal",
    L"platform", L"private", L"procedure", L"program", L"property", L"protected", L"public", L"published",
    L"raise", L"read", L"readonly", L"record", L"reference", L"register", L"reintroduce", L"repeat", L"resident",
    L"resourcestring", L"safecall", L"set", L"shl", L"shr", L"stdcall", L"stored", L"string", L"stringresource",
    L"then", L"threadvar", L"to", L"try", L"type", L"unit", L"until", L"uses", L"var", L"virtual", L"while",
    L"with", L"write", L"writeonly", L"xor"});

constexpr auto kFormText = std::to_array<const wchar_t*>({L"end", L"inherited", L"inline", L"item", L"object"});

constexpr auto kBasic = std::to_array<const wchar_t*>({
    L"And", L"As", L"Call", L"Const", L"Date", L"Dim", L"Do", L"Empty", L"Exit", L"False", L"For", L"Each",
    L"Elseif", L"Function", L"If", L"Then", L"Else", L"Is", L"Loop", L"Mod", L"Next", L"Not", L"Nothing", L"Null",
    L"On", L"Error", L"Option", L"Explicit", L"Base", L"Compare", L"Or", L"Private", L"Public", L"ReDim", L"Select",
    L"Case", L"Set", L"String", L"Sub", L"True", L"While", L"Wend", L"Xor", L"Rem", L"end", L"ByVal", L"Attribute",
    L"Declare", L"To", L"Type", L"property", L"get", L"let", L"friend", L"With", L"Class"});

constexpr auto kScript = std::to_array<const wchar_t*>({
    L"abstract", L"boolean", L"break", L"byte", L"case", L"catch", L"char", L"class", L"const", L"continue",
    L"debugger", L"default", L"delete", L"do", L"double", L"else", L"enum", L"export", L"extends", L"false",
    L"final", L"finally", L"float", L"for", L"function", L"goto", L"if", L"implements", L"import", L"in",
    L"instanceof", L"int", L"interface", L"long", L"native", L"new", L"null", L"package", L"private", L"protected",
    L"public", L"return", L"short", L"static", L"super", L"switch", L"synchronized", L"this", L"throw", L"throws",
    L"transient", L"true", L"try", L"typeof", L"var", L"void", L"while", L"with"});

constexpr auto kC = std::to_array<const wchar_t*>({
    L"auto", L"break", L"case", L"char", L"continue", L"default", L"do", L"double", L"else", L"enum", L"extern",
    L"float", L"for", L"goto", L"if", L"int", L"long", L"register", L"return", L"short", L"signed", L"sizeof",
    L"static", L"struct", L"switch", L"typedef", L"union", L"unsigned", L"void", L"volatile", L"while"});

constexpr auto kCpp = std::to_array<const wchar_t*>({
    L"__asm", L"_asm", L"asm", L"auto", L"__automated", L"break", L"bool", L"case", L"catch", L"__cdecl",
    L"_cdecl", L"cdecl", L"char", L"class", L"__classid", L"__closure", L"const", L"const_cast", L"continue",
    L"__declspec", L"default", L"delete", L"__dispid", L"do", L"double", L"dynamic_cast", L"else", L"enum",
    L"__except", L"explicit", L"_export", L"__export", L"extern", L"false", L"__fastcall", L"_fastcall",
    L"__finally", L"float", L"for", L"friend", L"goto", L"if", L"__import", L"_import", L"inline", L"int",
    L"__int8", L"__int16", L"__int32", L"__int64", L"long", L"mutable", L"namespace", L"new", L"operator",
    L"__pascal", L"_pascal", L"pascal", L"private", L"protected", L"__property", L"public", L"__published",
    L"register", L"reinterpret_cast", L"return", L"__rtti", L"short", L"signed", L"sizeof", L"static",
    L"static_cast", L"__stdcall", L"_stdcall", L"struct", L"switch", L"template", L"this", L"__thread", L"throw",
    L"true", L"__try", L"try", L"typedef", L"typename", L"typeid", L"union", L"using", L"unsigned", L"virtual",
    L"void", L"volatile", L"wchar_t", L"while"});

static_assert(kPascal.size() == 109);
static_assert(kFormText.size() == 5);
static_assert(kBasic.size() == 56);
static_assert(kScript.size() == 58);
static_assert(kC.size() == 31);
static_assert(kCpp.size() == 94);

// The identifiers that the tokenizer names stand where the tables put them.
constexpr bool Is(const wchar_t* a, const wchar_t* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}
static_assert(Is(kPascal[kPascalIndexID], L"index") && Is(kPascal[kPascalReadID], L"read") &&
              Is(kPascal[kPascalWriteID], L"write"));
static_assert(Is(kBasic[kBasicRemID], L"Rem"));

}  // namespace

TResWordTable PascalResWords() { return kPascal; }
TResWordTable FormTextResWords() { return kFormText; }
TResWordTable BasicResWords() { return kBasic; }
TResWordTable ScriptResWords() { return kScript; }
TResWordTable CResWords() { return kC; }
TResWordTable CppResWords() { return kCpp; }

}  // namespace tvk
