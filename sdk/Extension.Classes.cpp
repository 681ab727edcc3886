#include "Extension.Classes.h"

namespace tvk {

TSortedStringList::TSortedStringList() {
  SetDuplicates(TDuplicates::dupAccept);
  SetSorted(true);
}

TSortedUniqueStringList::TSortedUniqueStringList() {
  SetDuplicates(TDuplicates::dupIgnore);
  SetSorted(true);
}

}  // namespace tvk
