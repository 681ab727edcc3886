#include "dcconsts.h"

#include "dcutils.h"

namespace tvk {

namespace {

TStartupCounter gCounter;
WideString gRegistryBaseKey;

}  // namespace

const WideString& RegistryBaseKey() { return gRegistryBaseKey; }

bool ConstsUnitStartup() {
  return gCounter.Start([] {
    gRegistryBaseKey = WideString(L"Software\\") + kParserLibraryProduct + L"\\" + kParserLibraryVersion;
    return true;
  });
}

void ConstsUnitShutdown() {
  gCounter.Stop([] { WideString().swap(gRegistryBaseKey); });
}

}  // namespace tvk
