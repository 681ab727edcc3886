#pragma once
// The data controller's localizable texts, registered by name with the
// resource-string repository under a product of their own.
#include "ResStrings.h"

namespace tvk {

// The names in their registration order (12).
#define TVK_DATA_STRINGS(X) \
  X(cxSDataReadError) X(cxSDataWriteError) X(cxSDataItemExistError) X(cxSDataRecordIndexError) \
  X(cxSDataItemIndexError) X(cxSDataProviderModeError) X(cxSDataInvalidStreamFormat) X(cxSDataRowIndexError) \
  X(cxSDataCustomDataSourceInvalidCompare) X(cxSDBDetailFilterControllerNotFound) X(cxSDBNotInGridMode) \
  X(cxSDBKeyFieldNotFound)

#define TVK_DECLARE_DATA_STRING(name) extern TResStringRec name;
TVK_DATA_STRINGS(TVK_DECLARE_DATA_STRING)
#undef TVK_DECLARE_DATA_STRING

// The product the strings are registered under.
extern const wchar_t* const kcxDataConstsProductName;

class TdxProductResourceStrings;
// Adds the 12 named strings to AProduct, in registration order.
void AddDataResourceStringNames(TdxProductResourceStrings* AProduct);

void cxDataConstsUnitStart();
void cxDataConstsUnitStop();

}  // namespace tvk
