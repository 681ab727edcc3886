#pragma once
// The data filter's localizable texts, registered by name with the
// resource-string repository under a product of their own.
#include "ResStrings.h"

namespace tvk {

// The names in their registration order (50).
#define TVK_FILTER_STRINGS(X) \
  X(cxSFilterOperatorEqual) X(cxSFilterOperatorNotEqual) X(cxSFilterOperatorLess) \
  X(cxSFilterOperatorLessEqual) X(cxSFilterOperatorGreater) X(cxSFilterOperatorGreaterEqual) \
  X(cxSFilterOperatorLike) X(cxSFilterOperatorNotLike) X(cxSFilterOperatorBetween) \
  X(cxSFilterOperatorNotBetween) X(cxSFilterOperatorInList) X(cxSFilterOperatorNotInList) \
  X(cxSFilterOperatorYesterday) X(cxSFilterOperatorToday) X(cxSFilterOperatorTomorrow) \
  X(cxSFilterOperatorLast7Days) X(cxSFilterOperatorLastWeek) X(cxSFilterOperatorLast14Days) \
  X(cxSFilterOperatorLastTwoWeeks) X(cxSFilterOperatorLast30Days) X(cxSFilterOperatorLastMonth) \
  X(cxSFilterOperatorLastYear) X(cxSFilterOperatorPast) X(cxSFilterOperatorThisWeek) \
  X(cxSFilterOperatorThisMonth) X(cxSFilterOperatorThisYear) X(cxSFilterOperatorNext7Days) \
  X(cxSFilterOperatorNextWeek) X(cxSFilterOperatorNext14Days) X(cxSFilterOperatorNextTwoWeeks) \
  X(cxSFilterOperatorNext30Days) X(cxSFilterOperatorNextMonth) X(cxSFilterOperatorNextYear) \
  X(cxSFilterOperatorFuture) X(cxSFilterAndCaption) X(cxSFilterOrCaption) X(cxSFilterNotCaption) \
  X(cxSFilterBlankCaption) X(cxSFilterOperatorIsNull) X(cxSFilterOperatorIsNotNull) \
  X(cxSFilterOperatorBeginsWith) X(cxSFilterOperatorDoesNotBeginWith) X(cxSFilterOperatorEndsWith) \
  X(cxSFilterOperatorDoesNotEndWith) X(cxSFilterOperatorContains) X(cxSFilterOperatorDoesNotContain) \
  X(cxSFilterBoxAllCaption) X(cxSFilterBoxCustomCaption) X(cxSFilterBoxBlanksCaption) \
  X(cxSFilterBoxNonBlanksCaption)

#define TVK_DECLARE_FILTER_STRING(name) extern TResStringRec name;
TVK_FILTER_STRINGS(TVK_DECLARE_FILTER_STRING)
#undef TVK_DECLARE_FILTER_STRING

// The product the strings are registered under.
extern const wchar_t* const kcxFilterConstsProductName;

class TdxProductResourceStrings;
// Adds the 50 named strings to AProduct, in registration order.
void AddFilterResourceStringNames(TdxProductResourceStrings* AProduct);

void cxFilterConstsUnitStart();
void cxFilterConstsUnitStop();

}  // namespace tvk
