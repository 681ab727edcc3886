#pragma once
// Windows version tests, the module that carries a resource, and the
// system's stock icons.
#include "Exception.h"

#include <windows.h>

namespace tvk {

// Windows XP (5.1) or later; only the global look mode asks.
bool IsWindowsXPOrLater();
// Windows Vista (6.0) or later: the Vista-era drawing of the controls.
bool IsVistaOrLater();

// The first of the library's resource modules (this module, then the host's
// executable) that holds the resource Name of Type; 0 when none does.
HMODULE FindResourceModule(const WideString& name, const wchar_t* type);

// The system's stock icon ASiid (an SHSTOCKICONID), small unless Large; 0
// before Windows Vista or when the system has none. The caller owns it.
HICON GetStockIconHandle(int siid, bool large);

}  // namespace tvk
