// Stand-in for the host's toolchain-manager module. Modules only look for its
// file: the folder that holds it is the base of the embedded tools.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL __stdcall HostToolchains_Present() { return TRUE; }
