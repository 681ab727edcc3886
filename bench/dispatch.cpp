// Dispatch overhead: a served Invoke answered two levels below the most
// derived one, against a bare IDispatch::Invoke doing the same conversions;
// and the time to load the module and create every driver.
#include "ZUL.Types.h"

#include <cstdio>

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

  using GetDriverFn = HRESULT(__stdcall*)(int32_t, IDispatch**);
  double t0 = Now();
  HMODULE module = LoadLibraryW(TVK_MODULE_PATH);
  if (!module) { std::printf("cannot load module\n"); return 1; }
  double t1 = Now();
  auto get = reinterpret_cast<GetDriverFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetTovikDriver_Plugin")));
  int created = 0;
  for (int32_t kind = 0; kind < 290; ++kind) {
    IDispatch* d = nullptr;
    if (get(kind, &d) == S_OK && d) { ++created; d->Release(); }
  }
  double t2 = Now();
  FreeLibrary(module);
  std::printf("module load: %.2f ms; %d drivers created in %.2f ms\n", (t1 - t0) * 1e3, created, (t2 - t1) * 1e3);
  return 0;
}
