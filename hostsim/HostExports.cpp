#include "HostExports.h"

#include <algorithm>
#include <string>

namespace {

IDispatch* gClient = nullptr;
int gClientCalls = 0;

constexpr std::size_t kExpandBufferChars = 2048;

}  // namespace

extern "C" void __stdcall ClientAPI_GetClientInterface(IUnknown** client) {
  ++gClientCalls;
  if (!client) return;
  *client = gClient;
  if (gClient) gClient->AddRef();
}

extern "C" void __stdcall VFSAPI_VFS_ExpandRelativePath(const wchar_t* basePath, const wchar_t* relativePath,
                                                         wchar_t* fullPath) {
  if (!fullPath) return;
  std::wstring base = basePath ? basePath : L"";
  std::wstring relative = relativePath ? relativePath : L"";
  std::wstring joined = relative;
  bool absolute = relative.find(L':') != std::wstring::npos || relative.starts_with(L"\\");
  if (!absolute) joined = base.substr(0, base.find_last_of(L"\\") + 1) + relative;
  wchar_t resolved[kExpandBufferChars] = {};
  DWORD n = GetFullPathNameW(joined.c_str(), DWORD(kExpandBufferChars), resolved, nullptr);
  std::wstring answer = (n > 0 && n < kExpandBufferChars) ? std::wstring(resolved, n) : joined;
  answer.resize(std::min(answer.size(), kExpandBufferChars - 1));
  std::copy(answer.begin(), answer.end(), fullPath);
  fullPath[answer.size()] = L'\0';
}

namespace hostsim {

void SetHostClient(IDispatch* client) {
  if (client) client->AddRef();
  if (gClient) gClient->Release();
  gClient = client;
}

int ClientInterfaceCalls() { return gClientCalls; }

}  // namespace hostsim
