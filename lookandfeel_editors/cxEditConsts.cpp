#include "cxEditConsts.h"

#include "LookAndFeelEditorsResources.h"
#include "dxCore.h"

namespace tvk {

#define TVK_DEFINE_EDIT_STRING(name) TResStringRec name(IDS_##name);
TVK_EDIT_STRINGS(TVK_DEFINE_EDIT_STRING)
#undef TVK_DEFINE_EDIT_STRING

const wchar_t* const kcxEditConstsProductName = L"Editors";

void AddEditResourceStringNames(TdxProductResourceStrings* AProduct) {
#define TVK_ADD_EDIT_STRING(name) AProduct->Add(L## #name, &name);
  TVK_EDIT_STRINGS(TVK_ADD_EDIT_STRING)
#undef TVK_ADD_EDIT_STRING
}

void cxEditConstsUnitStart() {
  GetResourceStringsRepository().RegisterProduct(kcxEditConstsProductName, &AddEditResourceStringNames);
}

void cxEditConstsUnitStop() {
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository())
    repository->UnRegisterProduct(kcxEditConstsProductName);
}

}  // namespace tvk
