#include "ResStrings.h"

#include "ModuleInit.h"

namespace tvk {

WideString LoadResString(const TResStringRec* rec) {
  if (!rec) return {};
  if (rec->FTranslation) return *rec->FTranslation;
  HINSTANCE module = rec->Module ? rec->Module : ModuleInstance();
  if (!module) module = GetModuleHandleW(nullptr);
  // With no buffer the system lends the table's own text: no length limit.
  const wchar_t* text = nullptr;
  int length = LoadStringW(module, rec->Identifier, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? WideString(text, std::size_t(length)) : WideString();
}

}  // namespace tvk
