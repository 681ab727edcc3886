#include "cxDataConsts.h"

#include "LookAndFeelEditorsResources.h"
#include "dxCore.h"

namespace tvk {

#define TVK_DEFINE_DATA_STRING(name) TResStringRec name(IDS_##name);
TVK_DATA_STRINGS(TVK_DEFINE_DATA_STRING)
#undef TVK_DEFINE_DATA_STRING

const wchar_t* const kcxDataConstsProductName = L"Data Controller";

void AddDataResourceStringNames(TdxProductResourceStrings* AProduct) {
#define TVK_ADD_DATA_STRING(name) AProduct->Add(L## #name, &name);
  TVK_DATA_STRINGS(TVK_ADD_DATA_STRING)
#undef TVK_ADD_DATA_STRING
}

void cxDataConstsUnitStart() {
  GetResourceStringsRepository().RegisterProduct(kcxDataConstsProductName, &AddDataResourceStringNames);
}

void cxDataConstsUnitStop() {
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository())
    repository->UnRegisterProduct(kcxDataConstsProductName);
}

}  // namespace tvk
