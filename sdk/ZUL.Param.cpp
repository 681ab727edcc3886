#include "ZUL.Param.h"

#include "Convert.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

namespace tvk {

namespace {

// Blank and control characters (code 32 or less) at either end go.
std::wstring_view Trimmed(std::wstring_view s) {
  while (!s.empty() && s.front() <= L' ') s.remove_prefix(1);
  while (!s.empty() && s.back() <= L' ') s.remove_suffix(1);
  return s;
}

wchar_t gEmptyPChar[1] = {L'\0'};

// GetParameterValue's look-up cache: the list parsed from FText.
struct TParameterCache {
  std::unique_ptr<TParameterList> FList;
  WideString FText;
};
TParameterCache gCache;

}  // namespace

TParameter::TParameter(std::wstring_view name, std::wstring_view value) : FName(Trimmed(name)), FValue(Trimmed(value)) {}

TParameter::TParameter(TTrimmedName name, std::wstring_view value) : FName(name.Name), FValue(Trimmed(value)) {}

void TParameter::SetName(std::wstring_view name) { FName = Trimmed(name); }

void TParameter::SetValue(std::wstring_view value) { FValue = Trimmed(value); }

void TParameterList::SetState(std::wstring_view s) {
  ClearAllParameters();
  // A zero character ends the text as its end does.
  s = s.substr(0, std::min(s.find(L'\0'), s.size()));
  std::size_t mark = 0;
  bool inName = true;
  std::wstring_view name;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    const bool atEnd = i == s.size();
    if (!atEnd && s[i] == L'=') {
      if (inName) {
        name = s.substr(mark, i - mark);
        inName = false;
        mark = i + 1;
      }
    } else if (atEnd || s[i] == L'|') {
      // A pair without "=" is dropped whole.
      if (!inName) SetState_AddParameter(name, s.substr(mark, i - mark));
      inName = true;
      mark = i + 1;
    }
  }
}

WideString TParameterList::GetState() const {
  WideString text;
  for (const auto& item : FItems) {
    if (!text.empty()) text += L'|';
    text += item->Name();
    text += L'=';
    // An empty value keeps one blank so the pair never ends in "=".
    text += item->Value().empty() ? WideString(L" ") : item->Value();
  }
  return text;
}

void TParameterList::ClearAllParameters() { FItems.clear(); }

void TParameterList::SetState_AddParameter(std::wstring_view name, std::wstring_view value) {
  name = Trimmed(name);
  if (name.empty()) return;
  FItems.push_back(std::make_unique<TParameter>(TParameter::TTrimmedName{name}, value));
}

void TParameterList::SetState_AddParameterAsString(std::wstring_view name, std::wstring_view value) {
  SetState_AddParameter(name, value);
}

void TParameterList::SetState_AddParameterAsBoolean(std::wstring_view name, bool value) {
  SetState_AddParameter(name, value ? L"True" : L"False");
}

void TParameterList::SetState_AddParameterAsInteger(std::wstring_view name, std::int32_t value) {
  SetState_AddParameter(name, IntToStr(value));
}

void TParameterList::SetState_AddParameterAsInt64(std::wstring_view name, std::int64_t value) {
  SetState_AddParameter(name, IntToStr(value));
}

void TParameterList::SetState_AddParameterAsDouble(std::wstring_view name, double value) {
  SetState_AddParameter(name, FloatToStr(value));
}

const TParameter* TParameterList::GetState_ParameterByName(std::wstring_view name) const {
  name = Trimmed(name);
  for (const auto& item : FItems)
    if (SameAsciiText(item->Name(), name)) return item.get();
  return nullptr;
}

TParameter* TParameterList::GetState_ParameterByName(std::wstring_view name) {
  return const_cast<TParameter*>(std::as_const(*this).GetState_ParameterByName(name));
}

bool TParameterList::SetState_RemoveByName(std::wstring_view name) {
  const TParameter* found = GetState_ParameterByName(name);
  if (!found) return false;
  std::erase_if(FItems, [found](const auto& item) { return item.get() == found; });
  return true;
}

bool TParameterList::GetState_ParameterAsString(std::wstring_view name, WideString& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  value = item ? item->Value() : WideString();
  return item != nullptr;
}

bool TParameterList::GetState_ParameterAsPChar(std::wstring_view name, wchar_t*& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  if (!item) {
    value = gEmptyPChar;
    return false;
  }
  const WideString& text = item->Value();
  wchar_t* copy = new wchar_t[text.size() + 1];
  std::copy(text.begin(), text.end(), copy);
  copy[text.size()] = L'\0';
  value = copy;
  return true;
}

bool TParameterList::GetState_ParameterAsLongInt(std::wstring_view name, std::int32_t& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  return item && TryStrToInt(item->Value(), value);
}

bool TParameterList::GetState_ParameterAsInteger(std::wstring_view name, std::int32_t& value) const {
  return GetState_ParameterAsLongInt(name, value);
}

bool TParameterList::GetState_ParameterAsWord(std::wstring_view name, std::uint16_t& value) const {
  std::int32_t wide = 0;
  if (!GetState_ParameterAsLongInt(name, wide)) return false;
  value = std::uint16_t(wide);
  return true;
}

bool TParameterList::GetState_ParameterAsSmallInt(std::wstring_view name, std::int16_t& value) const {
  std::int32_t wide = 0;
  if (!GetState_ParameterAsLongInt(name, wide)) return false;
  value = std::int16_t(wide);
  return true;
}

bool TParameterList::GetState_ParameterAsByte(std::wstring_view name, std::uint8_t& value) const {
  std::int32_t wide = 0;
  if (!GetState_ParameterAsLongInt(name, wide)) return false;
  value = std::uint8_t(wide);
  return true;
}

bool TParameterList::GetState_ParameterAsInt64(std::wstring_view name, std::int64_t& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  return item && TryStrToInt64(item->Value(), value);
}

bool TParameterList::GetState_ParameterAsReal(std::wstring_view name, float& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  double number = 0;
  if (!item || !TryStrToFloat(item->Value(), number) || std::fabs(number) > FLT_MAX) return false;
  value = float(number);
  return true;
}

bool TParameterList::GetState_ParameterAsDouble(std::wstring_view name, double& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  if (!item) return false;
  if (!TryStrToFloat(item->Value(), value))
    throw EConvertError(L"'" + item->Value() + L"' is not a valid floating point value");
  return true;
}

bool TParameterList::GetState_ParameterAsBoolean(std::wstring_view name, bool& value) const {
  const TParameter* item = GetState_ParameterByName(name);
  if (!item) return false;
  value = SameAsciiText(item->Value(), L"True");  // no locale: "TRUE" and "true" too
  return true;
}

bool TParameterList::GetState_ParameterAsWordBool(std::wstring_view name, std::int16_t& value) const {
  bool flag = false;
  if (!GetState_ParameterAsBoolean(name, flag)) return false;
  value = flag ? -1 : 0;
  return true;
}

bool GetParameterValue(std::wstring_view paramString, std::wstring_view name, WideString& value) {
  value.clear();
  if (paramString.empty()) return false;
  if (!gCache.FList || paramString != gCache.FText) {
    if (!gCache.FList) gCache.FList = std::make_unique<TParameterList>();
    // Forget the old text first, so a failed parse cannot leave it paired
    // with a half-filled list.
    gCache.FText.clear();
    gCache.FList->SetState(paramString);
    gCache.FText = paramString;
  }
  const TParameter* item = gCache.FList->GetState_ParameterByName(name);
  if (!item) return false;
  value = item->Value();
  return true;
}

void SetParameterValue(WideString& paramString, std::wstring_view name, std::wstring_view value) {
  TParameterList list;
  list.SetState(paramString);
  if (TParameter* item = list.GetState_ParameterByName(name))
    item->SetValue(value);
  else
    list.SetState_AddParameter(name, value);
  paramString = list.GetState_ToString();
}

void ParamUnitShutdown() {
  gCache.FList.reset();
  gCache.FText.clear();
  gCache.FText.shrink_to_fit();
}

}  // namespace tvk
