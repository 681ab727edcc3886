#pragma once
// The served-object protocol: the root of every object the module hands to the
// host, the service-support interface, and the pattern every served level follows.
#include "Convert.h"
#include "ServedCall.h"

#include <initializer_list>
#include <memory>
#include <string_view>

namespace tvk {

// One-byte boolean of ISupportService.SupportsService.
using ByteBool = unsigned char;

// {1DEBA58E-0DF5-4081-93E9-0C1732E7DFAE}
extern const IID IID_ISupportService;

struct ISupportService : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, ByteBool* Supported) = 0;
};

constexpr HRESULT kE_NOTIMPL = HRESULT(0x80004001L);
constexpr HRESULT kE_UNEXPECTED = HRESULT(0x8000FFFFL);
constexpr DISPID kDispSupportsService = 1023;

// Whole-string service-name match: equal lengths, ASCII letters without regard
// to case, every other character exactly.
inline bool SameServiceName(std::wstring_view a, std::wstring_view b) { return SameAsciiText(a, b); }

class TAbstractSupportService : public IDispatch, public ISupportService {
public:
  TAbstractSupportService();
  virtual ~TAbstractSupportService();
  TAbstractSupportService(const TAbstractSupportService&) = delete;
  TAbstractSupportService& operator=(const TAbstractSupportService&) = delete;

  // IUnknown (both interface entries lead here).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: callers must use dispatch identifiers.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) final { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) final { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) final { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

  // ISupportService: the root supports no name.
  HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, ByteBool* Supported) override;

  // Runs once every constructor has finished (see New()), so virtual calls
  // reach the finished object; the root's drops the count held during
  // construction.
  virtual void AfterConstruction();
  LONG RefCount() const { return FRefCount; }

protected:
  // Runs one row of a level's table; nothing leaves it but a result code.
  template <class Self>
  static HRESULT CallServedRow(Self& self, const TServedRow<Self>& row, DISPPARAMS* params, VARIANT* result) noexcept {
    try {
      return row.Call(self, TServedArgs(params), result);
    } catch (...) {
      return kE_UNEXPECTED;
    }
  }

  // SupportsService of one level: the parent's answer, else one of Names.
  template <class ParentSupports>
  static HRESULT SupportsLevel(BSTR name, ByteBool* supported, std::initializer_list<std::wstring_view> names,
                               ParentSupports&& parent) noexcept {
    try {
      ByteBool inherited = 0;
      HRESULT hr = parent(name, &inherited);
      if (FAILED(hr)) return kE_UNEXPECTED;
      bool match = inherited != 0;
      std::wstring_view text(name ? name : L"", name ? SysStringLen(name) : 0);
      for (auto n : names) match = match || SameServiceName(text, n);
      if (supported) *supported = match ? 1 : 0;
      return S_OK;
    } catch (...) {
      return kE_UNEXPECTED;
    }
  }

private:
  LONG FRefCount;
};

// Runs Body at a served operation's boundary: every error becomes E_UNEXPECTED.
template <class F>
HRESULT Guard(F&& body) noexcept {
  try {
    body();
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// Creates a served object with its count held while it is constructed, then
// dropped to zero; the caller hands out the first reference. An error in
// AfterConstruction frees the object again.
template <class T, class... A>
T* New(A&&... args) {
  std::unique_ptr<T> obj(new T(std::forward<A>(args)...));
  obj->AfterConstruction();
  return obj.release();
}

// Declares the two level entries of a served class.
#define TVK_SERVED_LEVEL()                                                                            \
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, \
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;        \
  HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, ::tvk::ByteBool* Supported) override

// Defines them: Class answers the rows of Table (a constexpr array or span of
// TVK_SERVED_ROW rows) and the service names that follow.
#define TVK_SERVED_LEVEL_IMPL(Class, Parent, Table, ...)                                                     \
  HRESULT STDMETHODCALLTYPE Class::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, \
                                          VARIANT* result, EXCEPINFO* excep, UINT* argErr) {                \
    static constexpr ::tvk::TServedRange kRange = ::tvk::ServedRowRange<Class>(Table);                      \
    if (id >= kRange.Low && id <= kRange.High)                                                               \
      if (const auto* row = ::tvk::FindServedRow<Class>(Table, id))                                         \
        return CallServedRow<Class>(*this, *row, params, result);                                            \
    /* not ours: the parent level's own Invoke, called non-virtually */                                     \
    return Parent::Invoke(id, iid, lcid, flags, params, result, excep, argErr);                              \
  }                                                                                                          \
  HRESULT STDMETHODCALLTYPE Class::SupportsService(BSTR ServiceName, ::tvk::ByteBool* Supported) {          \
    return SupportsLevel(ServiceName, Supported, {__VA_ARGS__},                                              \
                         [&](BSTR n, ::tvk::ByteBool* s) { return Parent::SupportsService(n, s); });        \
  }

// Asks Instance for ISupportService; false when it has none; a failed call raises.
bool InstanceSupportsService(IUnknown* instance, const WideString& serviceName);
// As InstanceSupportsService; when true, Service receives Instance (one more reference).
bool GetSupportedService(IUnknown* instance, const WideString& serviceName, ComRef<IUnknown>& service);

}  // namespace tvk
