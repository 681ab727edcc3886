#pragma once
// The host's own modules, which the host has loaded from its start: every
// program of the simulated host (tvkhost, the benchmarks, the tests that
// attach a board or make drivers through the loaded module) has the host's
// debug-device manager loaded before it makes a driver, as the host has. The
// simulator's module loader (LoadedModule) and its boards (SimBoard) see to it.
#include <windows.h>

namespace hostsim {

// The host's debug-device manager module ("TovikManager.dll" from the System
// folder), loaded on the first call and kept for the rest of the process;
// null when it is missing.
HMODULE HostDeviceManager();

}  // namespace hostsim
