#pragma once
// The parser library's constants: its registry base key, built when the unit
// starts and released when it stops.
#include "Exception.h"

namespace tvk {

// The library's product and version, which name its registry key.
constexpr const wchar_t* kParserLibraryProduct = L"Tovik Parser Library";
constexpr const wchar_t* kParserLibraryVersion = L"1.0";

// "Software\<product>\<version>" under the current user while the unit runs; empty otherwise.
const WideString& RegistryBaseKey();

// The unit's start-up and shut-down steps (counted: the work runs once).
bool ConstsUnitStartup();
void ConstsUnitShutdown();

}  // namespace tvk
