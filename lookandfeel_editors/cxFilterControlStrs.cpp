#include "cxFilterControlStrs.h"

#include "LookAndFeelEditorsResources.h"
#include "dxCore.h"

namespace tvk {

#define TVK_DEFINE_FILTER_CONTROL_STRING(name) TResStringRec name(IDS_##name);
TVK_FILTER_CONTROL_STRINGS(TVK_DEFINE_FILTER_CONTROL_STRING)
#undef TVK_DEFINE_FILTER_CONTROL_STRING

const wchar_t* const kcxFilterControlStrsProductName = L"Filter Control";

void AddFilterControlStrings(TdxProductResourceStrings* AProduct) {
#define TVK_ADD_FILTER_CONTROL_STRING(name) AProduct->Add(L## #name, &name);
  TVK_FILTER_CONTROL_STRINGS(TVK_ADD_FILTER_CONTROL_STRING)
#undef TVK_ADD_FILTER_CONTROL_STRING
}

void cxFilterControlStrsUnitStart() {
  GetResourceStringsRepository().RegisterProduct(kcxFilterControlStrsProductName, &AddFilterControlStrings);
}

void cxFilterControlStrsUnitStop() {
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository())
    repository->UnRegisterProduct(kcxFilterControlStrsProductName);
}

}  // namespace tvk
