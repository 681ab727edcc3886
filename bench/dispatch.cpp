// Dispatch overhead: a served Invoke answered two levels below the most
// derived one, against a bare IDispatch::Invoke doing the same conversions;
// and the time to load the module (in a host that has its device manager
// loaded, as the host has) and create every driver, with what a driver's
// creation spends on the files it looks up and reads: the target-resident
// flash programs, the constraint files, the rest.
#include "ModuleCalls.h"
#include "ModuleImports.h"
#include "SimHostModules.h"
#include "ZUL.Types.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <string_view>

using namespace tvk;

namespace {

class TBottom : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  HRESULT Add(int32_t a, int64_t b, int64_t& r) { r = a + b; return S_OK; }
};
class TMiddle : public TBottom {
public:
  TVK_SERVED_LEVEL();
  HRESULT Other(int32_t& r) { r = 1; return S_OK; }
};
class TTop : public TMiddle {
public:
  TVK_SERVED_LEVEL();
  HRESULT Other2(int32_t& r) { r = 2; return S_OK; }
};

constexpr TServedRow<TBottom> kBottom[] = {TVK_SERVED_ROW(TBottom, 20, Add)};
constexpr TServedRow<TMiddle> kMiddle[] = {TVK_SERVED_ROW(TMiddle, 21, Other), TVK_SERVED_ROW(TMiddle, 22, Other)};
constexpr TServedRow<TTop> kTop[] = {TVK_SERVED_ROW(TTop, 23, Other2), TVK_SERVED_ROW(TTop, 24, Other2)};

}  // namespace

TVK_SERVED_LEVEL_IMPL(TBottom, TAbstractSupportService, kBottom, L"Bottom")
TVK_SERVED_LEVEL_IMPL(TMiddle, TBottom, kMiddle, L"Middle")
TVK_SERVED_LEVEL_IMPL(TTop, TMiddle, kTop, L"Top")

namespace {

// The same work with a hand-written switch and no levels.
class TBare : public IDispatch {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* r, EXCEPINFO*, UINT*) override {
    if (id != 20) return E_NOTIMPL;
    try {
      TServedArgs args(p);
      int32_t a = ServedArgInt(args.Arg(1));
      int64_t b = ServedArgInt64(args.Arg(2));
      ServedResultInt64(r, a + b);
      return S_OK;
    } catch (...) {
      return E_UNEXPECTED;
    }
  }
};

double Now() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return double(c.QuadPart) / double(f.QuadPart);
}

// The object goes through a volatile, so neither call is devirtualised.
IDispatch* volatile gObject = nullptr;

__attribute__((noinline)) double TimeCalls(IDispatch* object, int n) {
  gObject = object;
  IDispatch* d = gObject;
  VARIANT args[2], result;
  VariantInit(&result);
  args[1].vt = VT_I4;  // argument 1
  args[1].lVal = 3;
  args[0].vt = VT_I8;  // argument 2
  args[0].llVal = 4;
  DISPPARAMS p{args, nullptr, 2, 0};
  double start = Now();
  for (int i = 0; i < n; ++i)
    if (d->Invoke(20, IID_NULL, 0, DISPATCH_METHOD, &p, &result, nullptr, nullptr) != S_OK || result.llVal != 7) return -1;
  return Now() - start;
}

// The module's file look-ups (GetFileAttributesW) and reads (CreateFileW,
// ReadFile, CloseHandle), timed and sorted by the kind of file.
enum FileKind { kResidentProgram, kConstraintFile, kOtherFile, kFileKinds };

struct FileCost {
  long LookUps = 0, Reads = 0;
  long long Ticks = 0;
};

FileCost gFileCosts[kFileKinds];
// The files the module holds open, by handle; fixed, so that nothing here
// allocates (or throws) inside the module's calls. A file beyond them goes unbooked.
struct OpenFile {
  HANDLE Handle = nullptr;
  FileKind Kind = kOtherFile;
};
std::array<OpenFile, 16> gOpenFiles;
// The system functions, bound before the module's imports are routed here.
const HMODULE gKernel = GetModuleHandleW(L"kernel32.dll");
template <class F>
F System(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(gKernel, name)));
}
const auto gGetFileAttributes = System<DWORD(WINAPI*)(LPCWSTR)>("GetFileAttributesW");
const auto gCreateFile =
    System<HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>("CreateFileW");
const auto gReadFile = System<BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)>("ReadFile");
const auto gCloseHandle = System<BOOL(WINAPI*)(HANDLE)>("CloseHandle");

long long Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

FileKind KindOf(LPCWSTR name) {
  const std::wstring_view path = name ? name : L"";
  const auto endsWith = [&](std::wstring_view tail) {
    if (path.size() < tail.size()) return false;
    for (std::size_t k = 0; k < tail.size(); ++k)
      if (std::towlower(path[path.size() - tail.size() + k]) != std::towlower(tail[k])) return false;
    return true;
  };
  return endsWith(L".hex") ? kResidentProgram : endsWith(L".constraint") ? kConstraintFile : kOtherFile;
}

// Each runs the system function and books its time to the file's kind;
// called by the module, so none of them can throw.
DWORD WINAPI TimedGetFileAttributes(LPCWSTR name) noexcept {
  const long long start = Ticks();
  const DWORD answer = gGetFileAttributes(name);
  FileCost& cost = gFileCosts[KindOf(name)];
  ++cost.LookUps;
  cost.Ticks += Ticks() - start;
  return answer;
}

HANDLE WINAPI TimedCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD how,
                              DWORD flags, HANDLE pattern) noexcept {
  const long long start = Ticks();
  const HANDLE file = gCreateFile(name, access, share, security, how, flags, pattern);
  const FileKind kind = KindOf(name);
  if (file != INVALID_HANDLE_VALUE)
    if (OpenFile* free = std::find_if(gOpenFiles.begin(), gOpenFiles.end(), [](const OpenFile& f) { return !f.Handle; });
        free != gOpenFiles.end())
      *free = {file, kind};
  ++gFileCosts[kind].Reads;
  gFileCosts[kind].Ticks += Ticks() - start;
  return file;
}

OpenFile* FindOpen(HANDLE handle) {
  const auto open = std::find_if(gOpenFiles.begin(), gOpenFiles.end(), [&](const OpenFile& f) { return f.Handle == handle; });
  return open != gOpenFiles.end() ? &*open : nullptr;
}

BOOL WINAPI TimedReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD got, LPOVERLAPPED overlapped) noexcept {
  const long long start = Ticks();
  const BOOL answer = gReadFile(file, buffer, bytes, got, overlapped);
  const OpenFile* open = FindOpen(file);
  gFileCosts[open ? open->Kind : kOtherFile].Ticks += Ticks() - start;
  return answer;
}

BOOL WINAPI TimedCloseHandle(HANDLE handle) noexcept {
  const long long start = Ticks();
  const BOOL answer = gCloseHandle(handle);
  if (OpenFile* open = FindOpen(handle)) {  // a file, not another handle
    gFileCosts[open->Kind].Ticks += Ticks() - start;
    *open = {};
  }
  return answer;
}

// The module's file calls routed through the timers while this lives.
struct FileTimers {
  explicit FileTimers(HMODULE module) {
    for (FileCost& cost : gFileCosts) cost = {};
    const struct {
      const char* Name;
      void* Timed;
    } calls[] = {{"GetFileAttributesW", reinterpret_cast<void*>(&TimedGetFileAttributes)},
                 {"CreateFileW", reinterpret_cast<void*>(&TimedCreateFile)},
                 {"ReadFile", reinterpret_cast<void*>(&TimedReadFile)},
                 {"CloseHandle", reinterpret_cast<void*>(&TimedCloseHandle)}};
    for (const auto& call : calls)
      Patches.push_back(std::make_unique<hostsim::ImportPatch>(module, "kernel32.dll", call.Name, call.Timed));
  }
  bool Active() const {
    for (const auto& patch : Patches)
      if (!patch->Active()) return false;
    return true;
  }
  std::vector<std::unique_ptr<hostsim::ImportPatch>> Patches;
};

}  // namespace

int main() {
  constexpr int kCalls = 2'000'000;
  TTop* served = New<TTop>();
  served->AddRef();
  TBare bare;
  TimeCalls(served, 10000);  // warm up
  TimeCalls(&bare, 10000);
  double best_served = 1e9, best_bare = 1e9;
  for (int round = 0; round < 5; ++round) {
    double s = TimeCalls(served, kCalls), b = TimeCalls(&bare, kCalls);
    if (s < 0 || b < 0) { std::printf("wrong answer\n"); return 1; }
    best_served = s < best_served ? s : best_served;
    best_bare = b < best_bare ? b : best_bare;
  }
  served->Release();
  std::printf("served Invoke through 3 levels: %.1f ns/call\n", best_served / kCalls * 1e9);
  std::printf("bare IDispatch::Invoke:         %.1f ns/call\n", best_bare / kCalls * 1e9);
  std::printf("ratio served/bare:              %.2f (goal <= 1.50)\n", best_served / best_bare);

  hostsim::HostDeviceManager();  // loaded with the host, before any module
  double t0 = Now();
  hostsim::LoadedModule module(TVK_MODULE_PATH);
  if (!module.Ready()) { std::printf("cannot load module\n"); return 1; }
  double t1 = Now();
  const int32_t kinds = module.DriverCount();
  int created = 0;
  double creation = 0;
  long long fileTicks[kFileKinds] = {};
  FileCost files[kFileKinds];
  {
    FileTimers timers(module.Handle());
    if (!timers.Active()) { std::printf("the module's file calls cannot be timed\n"); return 1; }
    const double t2 = Now();
    for (int32_t kind = 0; kind < kinds; ++kind) created += module.Driver(kind) != nullptr;
    creation = Now() - t2;
    for (int k = 0; k < kFileKinds; ++k) {
      files[k] = gFileCosts[k];
      fileTicks[k] = gFileCosts[k].Ticks;
    }
  }
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  const double drivers = created ? created : 1;
  const auto perDriver = [&](double seconds) { return seconds * 1e3 / drivers; };
  const auto fileSeconds = [&](int kind) { return double(fileTicks[kind]) / double(frequency.QuadPart); };
  std::printf("module load: %.2f ms; %d of %d drivers created in %.2f ms: %.3f ms per driver, of which\n",
              (t1 - t0) * 1e3, created, int(kinds), creation * 1e3, perDriver(creation));
  const char* names[kFileKinds] = {"target-resident programs", "constraint files", "other files"};
  double rest = creation;
  for (int k = 0; k < kFileKinds; ++k) {
    rest -= fileSeconds(k);
    std::printf("  %-26s %.3f ms (%.2f look-ups and %.2f reads per driver)\n", names[k], perDriver(fileSeconds(k)),
                double(files[k].LookUps) / drivers, double(files[k].Reads) / drivers);
  }
  std::printf("  %-26s %.3f ms\n", "the rest", perDriver(rest));
  return 0;
}
