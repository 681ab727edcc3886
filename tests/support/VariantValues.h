#pragma once
// Values compared as the protocol hands them over: equal only when of one
// kind with one content, so a test sees a date that came back as text.
#include "Variants.h"

#include <ostream>
#include <string>

namespace tvk {

inline bool operator==(const Variant& a, const Variant& b) {
  if (VarType(a) != VarType(b)) return false;
  if (VarIsNull(a) || VarIsEmpty(a)) return true;
  if (VarIsArray(a)) return VarArrayBytes(a) == VarArrayBytes(b) && VarArrayDimCount(a) == VarArrayDimCount(b);
  return VarCmp(const_cast<VARIANT*>(a.Ptr()), const_cast<VARIANT*>(b.Ptr()), LOCALE_INVARIANT, 0) == VARCMP_EQ;
}

inline void PrintTo(const Variant& v, std::ostream* os) {
  *os << "variant of type " << VarType(v);
  if (VarIsArray(v))
    *os << " (" << VarArrayBytes(v).size() << " bytes)";
  else if (!VarIsNull(v) && !VarIsEmpty(v))
    try {
      const WideString text = VarToStr(v);
      *os << " \"" << std::string(text.begin(), text.end()) << "\"";
    } catch (const Exception&) {
    }
}

}  // namespace tvk
