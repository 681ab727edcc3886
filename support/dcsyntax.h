#pragma once
// The keyword tables of the library's syntax set-ups: a word's identifier is
// its position in the table, from 0.
#include <span>

namespace tvk {

using TResWordTable = std::span<const wchar_t* const>;

TResWordTable PascalResWords();    // 109 words
TResWordTable FormTextResWords();  // 5
TResWordTable BasicResWords();     // 56
TResWordTable ScriptResWords();    // 58
TResWordTable CResWords();         // 31
TResWordTable CppResWords();       // 94

// Identifiers the tokenizer gives a meaning.
constexpr int kPascalIndexID = 45;  // "index"
constexpr int kPascalReadID = 77;   // "read"
constexpr int kPascalWriteID = 106; // "write"
constexpr int kBasicRemID = 43;     // "Rem": a comment to the end of the line

}  // namespace tvk
