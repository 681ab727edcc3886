#pragma once
// The filter control's localizable texts, registered by name with the
// resource-string repository under a product of their own.
#include "ResStrings.h"

namespace tvk {

// The names in their registration order (35).
#define TVK_FILTER_CONTROL_STRINGS(X) \
  X(cxSFilterBoolOperatorAnd) X(cxSFilterBoolOperatorOr) X(cxSFilterBoolOperatorNotAnd) \
  X(cxSFilterBoolOperatorNotOr) X(cxSFilterRootButtonCaption) X(cxSFilterAddCondition) \
  X(cxSFilterAddGroup) X(cxSFilterRemoveRow) X(cxSFilterClearAll) X(cxSFilterFooterAddCondition) \
  X(cxSFilterGroupCaption) X(cxSFilterRootGroupCaption) X(cxSFilterControlNullString) \
  X(cxSFilterErrorBuilding) X(cxSFilterDialogCaption) X(cxSFilterDialogInvalidValue) \
  X(cxSFilterDialogUse) X(cxSFilterDialogSingleCharacter) X(cxSFilterDialogCharactersSeries) \
  X(cxSFilterDialogOperationAnd) X(cxSFilterDialogOperationOr) X(cxSFilterDialogRows) \
  X(cxSFilterControlDialogCaption) X(cxSFilterControlDialogNewFile) \
  X(cxSFilterControlDialogOpenDialogCaption) X(cxSFilterControlDialogSaveDialogCaption) \
  X(cxSFilterControlDialogActionSaveCaption) X(cxSFilterControlDialogActionSaveHint) \
  X(cxSFilterControlDialogActionOpenCaption) X(cxSFilterControlDialogActionOpenHint) \
  X(cxSFilterControlDialogActionApplyCaption) X(cxSFilterControlDialogActionOkCaption) \
  X(cxSFilterControlDialogActionCancelCaption) X(cxSFilterControlDialogFileExt) \
  X(cxSFilterControlDialogFileFilter)

#define TVK_DECLARE_FILTER_CONTROL_STRING(name) extern TResStringRec name;
TVK_FILTER_CONTROL_STRINGS(TVK_DECLARE_FILTER_CONTROL_STRING)
#undef TVK_DECLARE_FILTER_CONTROL_STRING

// The product the strings are registered under.
extern const wchar_t* const kcxFilterControlStrsProductName;

class TdxProductResourceStrings;
// Adds the 35 named strings to AProduct, in registration order.
void AddFilterControlStrings(TdxProductResourceStrings* AProduct);

void cxFilterControlStrsUnitStart();
void cxFilterControlStrsUnitStop();

}  // namespace tvk
