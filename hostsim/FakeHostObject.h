#pragma once
// A fake host automation object: IDispatch with handlers by dispatch
// identifier, a log of every call, reference counters, configurable service
// names and fault injection. The simulated host builds its objects from it.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace hostsim {

// {1DEBA58E-0DF5-4081-93E9-0C1732E7DFAE}: the host's service-support interface.
extern const IID IID_HostSupportService;

struct IHostSupportService : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, unsigned char* Supported) = 0;
};

struct LoggedCall {
  // Process-wide call number: orders the calls that several objects received.
  std::uint64_t Serial = 0;
  DISPID Id;
  WORD Flags;
  unsigned ArgCount;
  bool NullArgArray = true;         // rgvarg was null
  std::vector<DISPID> NamedArgs;    // rgdispidNamedArgs
  // Host order: argument 1 first (reversed from rgvarg). An object argument
  // is its identity only, uncounted: compare it, never call it, as the
  // caller may have freed it since.
  std::vector<VARIANT> Args;
  // The same arguments by value, as they were when the call came in: a
  // by-reference argument's referent is gone once the caller returns, so the
  // readers below never follow Args' references (referenced objects and
  // variants are left empty here).
  std::vector<VARIANT> Values;

  LoggedCall() = default;
  LoggedCall(const LoggedCall& o);
  LoggedCall& operator=(const LoggedCall& o);
  ~LoggedCall();
  VARTYPE Type(std::size_t k) const { return Args.at(k).vt; }
  long Int(std::size_t k) const;
  long long Int64(std::size_t k) const;
  std::wstring Str(std::size_t k) const;
};

// A handler gets the arguments in host order (argument 1 first, the live
// variants, so by-reference ones can be written) and the result variant.
using Handler = std::function<HRESULT(std::vector<VARIANT*>& args, VARIANT* result)>;

// Result setters for handlers: clear the result variant and store one value.
void SetResultInt(VARIANT* result, long value);
void SetResultBool(VARIANT* result, bool value);
void SetResultString(VARIANT* result, std::wstring_view value);
void SetResultObject(VARIANT* result, IDispatch* object);  // adds one reference for the caller

// Argument readers for handlers (host order, kinds already checked by Serve).
std::wstring ArgString(const VARIANT* arg);

struct Fault {
  HRESULT Result = DISP_E_EXCEPTION;
  std::wstring Description, Source, HelpFile;
  DWORD HelpContext = 0;
  SCODE Scode = 0;
};

class FakeHostObject : public IDispatch, public IHostSupportService {
public:
  FakeHostObject();
  virtual ~FakeHostObject();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;
  // IHostSupportService
  HRESULT STDMETHODCALLTYPE SupportsService(BSTR ServiceName, unsigned char* Supported) override;

  // Set-up.
  void On(DISPID id, Handler handler) { FHandlers[id] = std::move(handler); }
  // A handler behind a check of the argument kinds, one letter per argument in
  // host order: i VT_I4, L VT_I8, s VT_BSTR, b VT_BOOL, o VT_DISPATCH. A call
  // with another count answers DISP_E_BADPARAMCOUNT, one with another kind
  // DISP_E_TYPEMISMATCH; both are noted in KindErrors().
  void Serve(DISPID id, std::string_view argKinds, Handler handler);
  // Convenience handlers that answer a fixed value.
  void ReturnInt(DISPID id, long value);
  void ReturnInt64(DISPID id, long long value);
  void ReturnBool(DISPID id, bool value);
  void ReturnString(DISPID id, const std::wstring& value);
  void ReturnDouble(DISPID id, double value);
  void ReturnObject(DISPID id, IDispatch* object);  // one reference handed out per call
  void ReturnVariant(DISPID id, const VARIANT& value);  // a copy per call, of any type
  // Answers S_OK and leaves the result as it is.
  void Accept(DISPID id);
  void FailWith(DISPID id, const Fault& fault) { FFaults[id] = fault; }
  void SetServices(std::vector<std::wstring> names) { FServices = std::move(names); }
  void SetOffersSupportService(bool offers) { FOffersSupport = offers; }
  void SetOffersDispatch(bool offers) { FOffersDispatch = offers; }
  // Unknown identifiers answer this (default DISP_E_MEMBERNOTFOUND).
  void SetUnknownResult(HRESULT hr) { FUnknownResult = hr; }

  // The host tears the object down, whatever references others still hold
  // (as a host does when it closes). Every later call on it is a fault: it
  // fails (RPC_E_DISCONNECTED, or 0 from AddRef and Release), is counted
  // process-wide and goes to the fault hook. The object's memory stays, so a
  // late call is seen rather than a crash.
  void TearDown() { FTornDown = true; }
  bool TornDown() const { return FTornDown; }
  static std::size_t CallsAfterTearDown();
  // Told of each such call (null: nobody); plain function, so it works at process exit.
  using TearDownHook = void (*)(const char* entry);
  static void SetTearDownHook(TearDownHook hook);

  // Observation.
  const std::vector<LoggedCall>& Calls() const { return FCalls; }
  void ClearCalls() { FCalls.clear(); }
  // Logging copies every argument; long runs (benchmarks) may switch it off.
  void SetLogging(bool on) { FLogging = on; }
  // Every Invoke since creation or the last ResetInvokeCount, logged or not.
  std::size_t InvokeCount() const { return FInvokes; }
  void ResetInvokeCount() { FInvokes = 0; }
  const std::vector<std::wstring>& KindErrors() const { return FKindErrors; }
  std::size_t CallCount(DISPID id) const;
  LONG RefCount() const { return FRefCount; }
  long AddRefs() const { return FAddRefs; }
  long Releases() const { return FReleases; }
  long QueryInterfaces() const { return FQueryInterfaces; }

private:
  // True (and the call noted) when the object was torn down.
  bool CalledAfterTearDown(const char* entry) const;

  LONG FRefCount = 1;  // the creator's reference
  bool FTornDown = false;
  long FAddRefs = 0, FReleases = 0, FQueryInterfaces = 0;
  bool FOffersSupport = true, FOffersDispatch = true, FLogging = true;
  std::size_t FInvokes = 0;
  std::vector<std::wstring> FKindErrors;
  HRESULT FUnknownResult = DISP_E_MEMBERNOTFOUND;
  std::map<DISPID, Handler> FHandlers;
  std::map<DISPID, Fault> FFaults;
  std::vector<std::wstring> FServices;
  std::vector<LoggedCall> FCalls;
};

}  // namespace hostsim
