#pragma once
// Resource strings: a record naming a string of a module's string table, whose
// current text LoadResString gives. Callers keep the record's address; a
// translator may put a text of its own in place of the table's.
#include "Exception.h"

#include <windows.h>

#include <optional>

namespace tvk {

class TResStringRec {
public:
  // Module null: the module that holds the library (the test program in tests).
  explicit TResStringRec(UINT identifier, HINSTANCE module = nullptr) : Module(module), Identifier(identifier) {}
  TResStringRec(const TResStringRec&) = delete;  // its address is what callers keep
  TResStringRec& operator=(const TResStringRec&) = delete;

  HINSTANCE Module;
  UINT Identifier;

  // What the record answers instead of the table's text, until reset.
  void SetTranslation(WideString text) { FTranslation = std::move(text); }
  void ResetTranslation() { FTranslation.reset(); }
  bool Translated() const { return FTranslation.has_value(); }

private:
  friend WideString LoadResString(const TResStringRec* rec);
  std::optional<WideString> FTranslation;
};

// The record's current text: its translation when one is set, else the string
// table's text; empty for a null record or a string the table lacks.
WideString LoadResString(const TResStringRec* rec);

}  // namespace tvk
