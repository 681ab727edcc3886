// The simulated host program: loads a debug-driver module as the host does and
// drives it only through its exports and dispatch interfaces, printing what the
// module answered.
#include "SimClient.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

namespace {

using GetCountFn = HRESULT(__stdcall*)(int32_t*);
using GetDriverFn = HRESULT(__stdcall*)(int32_t, IDispatch**);

constexpr DISPID kSupportsService = 1023;
constexpr DISPID kGetDeviceDescription = 503381;
constexpr DISPID kGetVendorName = 503407;
constexpr DISPID kGetPackageName = 503393;

// Calls DispID 1023 with one string argument; answers -1 on failure.
int SupportsService(IDispatch* object, const wchar_t* name) {
  VARIANT arg, result;
  VariantInit(&arg);
  VariantInit(&result);
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(name);
  DISPPARAMS params{&arg, nullptr, 1, 0};
  HRESULT hr = object->Invoke(kSupportsService, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  VariantClear(&arg);
  int answer = (SUCCEEDED(hr) && result.vt == VT_BOOL) ? (result.boolVal ? 1 : 0) : -1;
  VariantClear(&result);
  return answer;
}

// The host's own folder and its System folder, where its modules lie.
std::wstring HostFolder() {
  wchar_t name[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, name, MAX_PATH + 1);
  std::wstring s = name;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

std::wstring FolderOf(const std::wstring& file) {
  wchar_t full[MAX_PATH + 1] = {};
  GetFullPathNameW(file.c_str(), MAX_PATH + 1, full, nullptr);
  std::wstring s = full;
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

// Calls a property without arguments that answers a string; a note in its
// place on failure, which clears Ok.
std::wstring Text(IDispatch* object, DISPID id, bool& ok) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result, nullptr,
                              nullptr);
  std::wstring text;
  if (FAILED(hr) || result.vt != VT_BSTR) {
    wchar_t failed[40];
    swprintf(failed, 40, L"<failed 0x%08lX>", static_cast<unsigned long>(hr));
    text = failed;
    ok = false;
  } else if (result.bstrVal) {
    text.assign(result.bstrVal, SysStringLen(result.bstrVal));
  }
  VariantClear(&result);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tvkhost <module.TVK>\n");
    return 2;
  }
  // The host's client, handed out by its ClientAPI_GetClientInterface; the
  // module's folder is a registered plug-in. The workspace manager is loaded
  // with the host; the FPGA-flow module when its server starts.
  const std::wstring system = HostFolder() + L"System\\";
  hostsim::SimClient host;
  host.AddPlugin(FolderOf(argv[1]));
  host.OnStartServer([&](const std::wstring& name) {
    return _wcsicmp(name.c_str(), L"FpgaFlow") == 0 && LoadLibraryW((system + L"HostFpgaFlow.dll").c_str());
  });
  host.Install();
  LoadLibraryW((system + L"HostWorkspace.dll").c_str());

  HMODULE module = LoadLibraryW(argv[1]);
  if (!module) {
    std::fprintf(stderr, "cannot load %ls (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  auto getCount = reinterpret_cast<GetCountFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetTovikDriverCount")));
  auto getDriver = reinterpret_cast<GetDriverFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetTovikDriver_Plugin")));
  if (!getCount || !getDriver) {
    std::fprintf(stderr, "module lacks its exports\n");
    return 1;
  }
  int32_t count = 0;
  HRESULT hr = getCount(&count);
  std::printf("GetTovikDriverCount: result 0x%08lX, %d device kinds\n", static_cast<unsigned long>(hr), count);

  int created = 0, supporting = 0, described = 0;
  for (int32_t kind = 0; kind < count; ++kind) {
    IDispatch* driver = nullptr;
    hr = getDriver(kind, &driver);
    if (FAILED(hr) || !driver) {
      std::printf("kind %3d: no driver (result 0x%08lX)\n", kind, static_cast<unsigned long>(hr));
      continue;
    }
    ++created;
    int answer = SupportsService(driver, L"TovikDriver");
    supporting += answer == 1;
    bool ok = true;
    std::wstring description = Text(driver, kGetDeviceDescription, ok);
    std::wstring package = Text(driver, kGetPackageName, ok);
    described += ok && !Text(driver, kGetVendorName, ok).empty();  // vendor, family and part number
    std::printf("kind %3d: %-46ls package %-10ls SupportsService(\"TovikDriver\") = %s\n", kind,
                description.c_str(), package.c_str(), answer == 1 ? "true" : answer == 0 ? "false" : "failed");
    driver->Release();
  }
  std::printf("%d drivers created, %d support \"TovikDriver\", %d described\n", created, supporting, described);
  FreeLibrary(module);
  hostsim::SimClient::Uninstall();
  return created == count && described == count ? 0 : 1;
}
