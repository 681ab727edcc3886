#include "dcutils.h"

namespace tvk {

WideString FormatString(std::wstring_view format, std::span<const TFormatArg> args) {
  auto invalid = [&]() -> Exception {
    return Exception(L"Format '" + WideString(format) + L"' invalid or incompatible with argument");
  };
  WideString result;
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    wchar_t c = format[i];
    if (c != L'%') {
      result += c;
      continue;
    }
    if (++i >= format.size()) throw invalid();
    wchar_t kind = format[i];
    if (kind == L'%') {
      result += L'%';
      continue;
    }
    if (next >= args.size()) throw invalid();
    const auto& value = args[next++].Value();
    if ((kind == L's' || kind == L'S') && std::holds_alternative<WideString>(value))
      result += std::get<WideString>(value);
    else if ((kind == L'd' || kind == L'D') && std::holds_alternative<std::int64_t>(value))
      result += std::to_wstring(std::get<std::int64_t>(value));
    else
      throw invalid();
  }
  return result;
}

void RaiseError(std::wstring_view message) { throw Exception(ResourceText(message)); }

void RaiseErrorFmt(std::wstring_view format, std::initializer_list<TFormatArg> args) {
  throw Exception(FormatString(ResourceText(format), args));
}

void FreeListWithObjects(TList*& list) {
  if (!list) return;
  while (list->Count() > 0) {
    auto* object = static_cast<TObject*>(list->Items(0));
    list->Delete(0);
    delete object;
  }
  FreeAndNil(list);
}

}  // namespace tvk
