#include "cxLibraryStrs.h"

#include "LookAndFeelResources.h"
#include "dxCore.h"

namespace tvk {

#define TVK_LIBRARY_STRINGS(X)                                                                                  \
  X(scxCantCreateRegistryKey) X(scxCantOpenRegistryKey) X(scxErrorStoreObject)                                \
  X(scxConverterCantCreateStyleRepository) X(scxLockedStateText) X(cxSDateToday) X(cxSDateYesterday)          \
  X(cxSDateTomorrow) X(cxSDateSunday) X(cxSDateMonday) X(cxSDateTuesday) X(cxSDateWednesday)                  \
  X(cxSDateThursday) X(cxSDateFriday) X(cxSDateSaturday) X(cxSDateFirst) X(cxSDateSecond) X(cxSDateThird)     \
  X(cxSDateFourth) X(cxSDateFifth) X(cxSDateSixth) X(cxSDateSeventh) X(cxSDateBOM) X(cxSDateEOM) X(cxSDateNow)

#define TVK_DEFINE_STRING(name) TResStringRec name(IDS_##name);
TVK_LIBRARY_STRINGS(TVK_DEFINE_STRING)
#undef TVK_DEFINE_STRING

const wchar_t* const kcxLibraryProductName = L"Look and Feel Library";

void AddLibraryResourceStringNames(TdxProductResourceStrings* AProduct) {
#define TVK_ADD_STRING(name) AProduct->Add(L## #name, &name);
  TVK_LIBRARY_STRINGS(TVK_ADD_STRING)
#undef TVK_ADD_STRING
}

void cxLibraryStrsUnitStart() {
  GetResourceStringsRepository().RegisterProduct(kcxLibraryProductName, &AddLibraryResourceStringNames);
}

void cxLibraryStrsUnitStop() { GetResourceStringsRepository().UnRegisterProduct(kcxLibraryProductName); }

}  // namespace tvk
