#include "cxFilterConsts.h"

#include "LookAndFeelEditorsResources.h"
#include "dxCore.h"

namespace tvk {

#define TVK_DEFINE_FILTER_STRING(name) TResStringRec name(IDS_##name);
TVK_FILTER_STRINGS(TVK_DEFINE_FILTER_STRING)
#undef TVK_DEFINE_FILTER_STRING

const wchar_t* const kcxFilterConstsProductName = L"Data Filter";

void AddFilterResourceStringNames(TdxProductResourceStrings* AProduct) {
#define TVK_ADD_FILTER_STRING(name) AProduct->Add(L## #name, &name);
  TVK_FILTER_STRINGS(TVK_ADD_FILTER_STRING)
#undef TVK_ADD_FILTER_STRING
}

void cxFilterConstsUnitStart() {
  GetResourceStringsRepository().RegisterProduct(kcxFilterConstsProductName, &AddFilterResourceStringNames);
}

void cxFilterConstsUnitStop() {
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository())
    repository->UnRegisterProduct(kcxFilterConstsProductName);
}

}  // namespace tvk
