#pragma once
// String lists created sorted: one that keeps duplicates, one that drops them.
// Both compare without regard to case, as every string list does by default.
#include "Lists.h"

namespace tvk {

// Sorted; a string already present is inserted again (before the present one).
class TSortedStringList : public TStringList {
public:
  TVK_CLASS(TSortedStringList, TStringList)
  TSortedStringList();
};

// Sorted; adding a string already present changes nothing and answers its index.
class TSortedUniqueStringList : public TStringList {
public:
  TVK_CLASS(TSortedUniqueStringList, TStringList)
  TSortedUniqueStringList();
};

}  // namespace tvk
