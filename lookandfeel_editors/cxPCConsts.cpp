#include "cxPCConsts.h"

#include "LookAndFeelEditorsResources.h"
#include "dxCore.h"

namespace tvk {

#define TVK_DEFINE_PAGE_CONTROL_STRING(name) TResStringRec name(IDS_##name);
TVK_PAGE_CONTROL_STRINGS(TVK_DEFINE_PAGE_CONTROL_STRING)
#undef TVK_DEFINE_PAGE_CONTROL_STRING

const wchar_t* const kcxPageControlProductName = L"Page Control";

namespace {
void AddPageControlString(TdxProductResourceStrings* AProduct, const wchar_t* AName, TResStringRec* AString) {
  AProduct->Add(AName, AString);
}
}  // namespace

void AddPageControlStrings(TdxProductResourceStrings* AProduct) {
#define TVK_ADD_PAGE_CONTROL_STRING(name) AddPageControlString(AProduct, L## #name, &name);
  TVK_PAGE_CONTROL_STRINGS(TVK_ADD_PAGE_CONTROL_STRING)
#undef TVK_ADD_PAGE_CONTROL_STRING
}

WideString FormatPageControlText(const WideString& AFormat, std::initializer_list<WideString> AArgs) {
  WideString result;
  auto arg = AArgs.begin();
  for (std::size_t i = 0; i < AFormat.size(); ++i) {
    if (AFormat[i] == L'%' && i + 1 < AFormat.size() && (AFormat[i + 1] == L'd' || AFormat[i + 1] == L's') &&
        arg != AArgs.end()) {
      result += *arg++;
      ++i;
    } else {
      result += AFormat[i];
    }
  }
  return result;
}

void cxPCConstsUnitStart() {
  GetResourceStringsRepository().RegisterProduct(kcxPageControlProductName, &AddPageControlStrings);
}

void cxPCConstsUnitStop() {
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository())
    repository->UnRegisterProduct(kcxPageControlProductName);
}

}  // namespace tvk
