#pragma once
// The page control's localizable texts, registered by name with the
// resource-string repository under a product of their own.
#include "ResStrings.h"

namespace tvk {

// The names in their registration order (12).
#define TVK_PAGE_CONTROL_STRINGS(X)                                                                            \
  X(scxPCImageListIndexError) X(scxPCNoBaseImages) X(scxPCNoRegisteredStyles) X(scxPCPageIndexError)           \
  X(scxPCPainterClassError) X(scxPCStandardStyleError) X(scxPCStyleNameError) X(scxPCTabCountEqualsZero)       \
  X(scxPCTabIndexError) X(scxPCTabVisibleIndexOutsOfBounds) X(scxPCVisibleTabListEmpty) X(scxPCAllowRotateError)

#define TVK_DECLARE_PAGE_CONTROL_STRING(name) extern TResStringRec name;
TVK_PAGE_CONTROL_STRINGS(TVK_DECLARE_PAGE_CONTROL_STRING)
#undef TVK_DECLARE_PAGE_CONTROL_STRING

// The product the strings are registered under.
extern const wchar_t* const kcxPageControlProductName;

class TdxProductResourceStrings;
// Adds the 12 named strings to AProduct, in registration order.
void AddPageControlStrings(TdxProductResourceStrings* AProduct);

// AFormat with each "%d" (or "%s") replaced by the next argument, in order.
WideString FormatPageControlText(const WideString& AFormat, std::initializer_list<WideString> AArgs);

void cxPCConstsUnitStart();
void cxPCConstsUnitStop();

}  // namespace tvk
