#pragma once
// The functions the host executable exports to the modules it loads: the root
// client interface and the virtual file system's path expansion. Linked into
// the host program and into every test executable, so that a module (or the
// module's code linked into a test) finds them in the process's main
// executable, as it does in the host.
#include <windows.h>
#include <oleauto.h>

extern "C" {
// Hands out the current client (one reference added), or null.
__declspec(dllexport) void __stdcall ClientAPI_GetClientInterface(IUnknown** client);
// BasePath (a file or a folder ending in "\") joined with RelativePath, "." and
// ".." resolved; an absolute RelativePath is kept. At most 2047 characters and
// a terminator are written.
__declspec(dllexport) void __stdcall VFSAPI_VFS_ExpandRelativePath(const wchar_t* basePath, const wchar_t* relativePath,
                                                                     wchar_t* fullPath);
}

namespace hostsim {

// The client ClientAPI_GetClientInterface hands out; null: the host has none.
// The host keeps one reference.
void SetHostClient(IDispatch* client);
// How often the export was called.
int ClientInterfaceCalls();

}  // namespace hostsim
