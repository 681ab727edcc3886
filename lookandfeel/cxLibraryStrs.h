#pragma once
// The look-and-feel library's own resource strings, made available for
// translation through the resource-string repository.
#include "ResStrings.h"

namespace tvk {

extern TResStringRec scxCantCreateRegistryKey, scxCantOpenRegistryKey, scxErrorStoreObject,
    scxConverterCantCreateStyleRepository, scxLockedStateText;
extern TResStringRec cxSDateToday, cxSDateYesterday, cxSDateTomorrow, cxSDateSunday, cxSDateMonday,
    cxSDateTuesday, cxSDateWednesday, cxSDateThursday, cxSDateFriday, cxSDateSaturday, cxSDateFirst,
    cxSDateSecond, cxSDateThird, cxSDateFourth, cxSDateFifth, cxSDateSixth, cxSDateSeventh, cxSDateBOM,
    cxSDateEOM, cxSDateNow;

// The product the library's strings are registered under.
extern const wchar_t* const kcxLibraryProductName;

class TdxProductResourceStrings;
// Adds the library's 25 named strings to AProduct.
void AddLibraryResourceStringNames(TdxProductResourceStrings* AProduct);

void cxLibraryStrsUnitStart();
void cxLibraryStrsUnitStop();

}  // namespace tvk
