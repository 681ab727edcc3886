#include "dcconsts.h"

#include "dcutils.h"

namespace tvk {

namespace {

TStartupCounter gConstsCounter;
WideString gRegistryBaseKey;

}  // namespace

const WideString& RegistryBaseKey() { return gRegistryBaseKey; }

bool ConstsUnitStartup() {
  return gConstsCounter.Start([] {
    gRegistryBaseKey = WideString(L"Software\\") + kParserLibraryProduct + L"\\" + kParserLibraryVersion;
    return true;
  });
}

void ConstsUnitShutdown() {
  gConstsCounter.Stop([] { WideString().swap(gRegistryBaseKey); });
}

}  // namespace tvk
