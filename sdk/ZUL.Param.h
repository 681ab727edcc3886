#pragma once
// Parameter strings: name/value pairs joined by "=", the pairs separated by
// "|" ("A=1|B=two"). Host process calls, notifications and constraint-file
// lines carry their arguments this way; everything that builds or reads such
// a text goes through this unit.
#include "Exception.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tvk {

// One pair. Name and value are kept trimmed of blanks and control characters.
class TParameter {
public:
  // Trims both.
  TParameter(std::wstring_view name, std::wstring_view value);
  // Name is already trimmed by the caller and kept as it is.
  struct TTrimmedName {
    std::wstring_view Name;
  };
  TParameter(TTrimmedName name, std::wstring_view value);

  const WideString& Name() const { return FName; }
  const WideString& Value() const { return FValue; }
  void SetName(std::wstring_view name);
  void SetValue(std::wstring_view value);

private:
  WideString FName;
  WideString FValue;
};

class TParameterList {
public:
  TParameterList() = default;
  TParameterList(const TParameterList&) = delete;
  TParameterList& operator=(const TParameterList&) = delete;

  // Replaces the list with the pairs of S. Pairs without "=" or with an empty
  // name are skipped; a "|" always ends a pair (there is no quoting).
  void SetState(std::wstring_view s);
  void SetState_FromString(std::wstring_view s) { SetState(s); }
  // "Name=Value" joined by "|"; an empty value is written as one blank.
  WideString GetState() const;
  WideString GetState_ToString() const { return GetState(); }

  void ClearAllParameters();

  // Appends a pair without looking for an existing one; nothing when the
  // trimmed name is empty.
  void SetState_AddParameter(std::wstring_view name, std::wstring_view value);
  void SetState_AddParameterAsString(std::wstring_view name, std::wstring_view value);
  void SetState_AddParameterAsBoolean(std::wstring_view name, bool value);
  void SetState_AddParameterAsInteger(std::wstring_view name, std::int32_t value);
  void SetState_AddParameterAsInt64(std::wstring_view name, std::int64_t value);
  void SetState_AddParameterAsDouble(std::wstring_view name, double value);

  // The first pair whose name matches (ASCII letters without regard to case,
  // Name trimmed first); null when none does.
  TParameter* GetState_ParameterByName(std::wstring_view name);
  const TParameter* GetState_ParameterByName(std::wstring_view name) const;
  bool SetState_RemoveByName(std::wstring_view name);

  // Missing name: Value becomes empty.
  bool GetState_ParameterAsString(std::wstring_view name, WideString& value) const;
  // On true Value is a new copy the caller owns and frees with delete[]; on
  // false it points to a shared empty text that must not be freed.
  bool GetState_ParameterAsPChar(std::wstring_view name, wchar_t*& value) const;

  // The typed getters below leave Value unchanged on a false result.
  bool GetState_ParameterAsLongInt(std::wstring_view name, std::int32_t& value) const;
  bool GetState_ParameterAsInteger(std::wstring_view name, std::int32_t& value) const;
  // Read as a 32-bit integer, then cut to the low bits without a range check.
  bool GetState_ParameterAsWord(std::wstring_view name, std::uint16_t& value) const;
  bool GetState_ParameterAsSmallInt(std::wstring_view name, std::int16_t& value) const;
  bool GetState_ParameterAsByte(std::wstring_view name, std::uint8_t& value) const;
  bool GetState_ParameterAsInt64(std::wstring_view name, std::int64_t& value) const;
  bool GetState_ParameterAsReal(std::wstring_view name, float& value) const;
  // False only for a missing name: a value that is not a number raises
  // EConvertError.
  bool GetState_ParameterAsDouble(std::wstring_view name, double& value) const;
  // Value is true exactly when the text is "True" in any ASCII letter case.
  bool GetState_ParameterAsBoolean(std::wstring_view name, bool& value) const;
  // As above, -1 for true and 0 for false.
  bool GetState_ParameterAsWordBool(std::wstring_view name, std::int16_t& value) const;

private:
  std::vector<std::unique_ptr<TParameter>> FItems;
};

// Reads one value of a parameter string. The last non-empty string is kept
// parsed, so repeated look-ups in the same text parse it once.
bool GetParameterValue(std::wstring_view paramString, std::wstring_view name, WideString& value);
// Sets (or appends) one value and rewrites the whole text in canonical form.
void SetParameterValue(WideString& paramString, std::wstring_view name, std::wstring_view value);

// Module shut-down: frees the look-up cache of GetParameterValue.
void ParamUnitShutdown();

}  // namespace tvk
