#include "ZUL.DispatchFix.h"

#include <cstring>

namespace tvk {


namespace {

[[noreturn]] void RaiseNotSupported() { throw EOleError(L"Variant method calls not supported"); }

TDispReturn NoDispCallByID(void*, IDispatch*, const uint8_t*, const uint8_t*) {
  throw EOleError(L"No late-bound call entry is installed");
}

TDispCallByIDProc gDispCallByID = &NoDispCallByID;

// One empty (not null) string for the module's empty 8-bit and UTF-16
// strings passed by value; it lives as long as the process.
BSTR SharedEmptyString() {
  static const BSTR empty = SysAllocStringLen(L"", 0);
  return empty;
}

template <class T>
T ReadSlot(const uint8_t* slot) {
  T value;
  std::memcpy(&value, slot, sizeof value);
  return value;
}

BSTR AllocWide(const std::wstring& s) { return s.empty() ? nullptr : AllocBstr(s); }

std::wstring AnsiToWide(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(std::size_t(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

std::string WideToAnsi(BSTR b) {
  UINT len = SysStringLen(b);
  if (len == 0) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, b, int(len), nullptr, 0, nullptr, nullptr);
  std::string s(std::size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, b, int(len), s.data(), n, nullptr, nullptr);
  return s;
}

// The module's 8-bit or UTF-16 string as a wide string of a string-table entry.
BSTR ModuleStringToWide(uint8_t kind, const void* variable) {
  if (!variable) return nullptr;
  if (kind == kKindAnsiString) return AllocWide(AnsiToWide(*static_cast<const std::string*>(variable)));
  return AllocWide(*static_cast<const std::wstring*>(variable));
}

// Frees the strings of an EXCEPINFO when the call is over.
struct TExcepInfoGuard {
  EXCEPINFO Info{};
  ~TExcepInfoGuard() {
    SysFreeString(Info.bstrSource);
    SysFreeString(Info.bstrDescription);
    SysFreeString(Info.bstrHelpFile);
  }
};

[[noreturn]] void RaiseInvokeError(HRESULT hr, EXCEPINFO& info) {
  if (hr == DISP_E_EXCEPTION) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    auto text = [](BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); };
    // An exception without a code of its own still fails.
    long code = info.scode != 0 ? info.scode : DISP_E_EXCEPTION;
    throw EOleException(text(info.bstrDescription), code, text(info.bstrSource), text(info.bstrHelpFile),
                        info.dwHelpContext);
  }
  throw EOleSysError(L"", hr);
}

// Kinds whose value a call stores or returns.
bool KindCarriesValue(uint8_t kind) {
  return (kind >= 0x02 && kind <= 0x09) || (kind >= 0x0B && kind <= 0x0D) || (kind >= 0x10 && kind <= 0x15);
}

// Brings the host's result to the declared kind, so that the value field is
// read as what it is: empty and null give the kind's zero, an IUnknown is
// asked for IDispatch, anything else is converted (ChangeValueType) or refused.
void ConvertResult(VARIANT& v, uint8_t kind) {
  if (!KindCarriesValue(kind) || kind == kKindVariant || v.vt == kind) return;
  if (v.vt == VT_EMPTY || v.vt == VT_NULL) {
    VariantClear(&v);
    std::memset(&v, 0, sizeof v);
    v.vt = kind;
    return;
  }
  if (kind == VT_DISPATCH && v.vt == VT_UNKNOWN) {
    IDispatch* disp = nullptr;
    if (v.punkVal) {
      HRESULT hr = v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
      if (FAILED(hr) || !disp) throw EOleSysError(L"", FAILED(hr) ? hr : E_NOINTERFACE);
    }
    VariantClear(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = disp;
    return;
  }
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = ChangeValueType(converted, v, kind);
  if (FAILED(hr)) throw EOleSysError(L"", hr);
  VariantClear(&v);
  v = converted;
}

// Stores the converted result at the caller's address and takes from V what
// is handed over.
void StoreResult(void* result, VARIANT& v, uint8_t kind) {
  auto copy = [&](const void* from, std::size_t n) { std::memcpy(result, from, n); };
  switch (kind) {
    case 0x02: case 0x0B: case 0x12: copy(&v.iVal, 2); break;
    case 0x03: case 0x04: case 0x13: copy(&v.lVal, 4); break;
    case 0x05: case 0x06: case 0x07: case 0x14: case 0x15: copy(&v.llVal, 8); break;
    case 0x10: case 0x11: copy(&v.bVal, 1); break;
    case 0x08: {
      BSTR old;
      std::memcpy(&old, result, sizeof old);
      SysFreeString(old);
      copy(&v.bstrVal, sizeof(BSTR));
      v.vt = VT_EMPTY;
      break;
    }
    case 0x09: case 0x0D: {
      IUnknown* old;
      std::memcpy(&old, result, sizeof old);
      if (old) old->Release();
      copy(&v.punkVal, sizeof(IUnknown*));
      v.vt = VT_EMPTY;
      break;
    }
    case 0x0C: {
      auto* target = static_cast<VARIANT*>(result);
      VariantClear(target);
      *target = v;
      v.vt = VT_EMPTY;
      break;
    }
    default: break;  // no value to store
  }
}

TDispReturn ReturnResult(VARIANT& v, uint8_t kind) {
  TDispReturn r;
  switch (kind) {
    case 0x02: case 0x0B: r.Int = v.iVal; break;
    case 0x10: r.Int = static_cast<int8_t>(v.bVal); break;
    case 0x11: r.Int = v.bVal; break;
    case 0x12: r.Int = v.uiVal; break;
    case 0x03: r.Int = v.lVal; break;
    case 0x13: r.Int = v.ulVal; break;
    case 0x04: r.Real = v.fltVal; break;
    case 0x05: r.Real = v.dblVal; break;
    case 0x07: r.Real = v.date; break;
    case 0x06: r.Int = v.cyVal.int64; break;
    case 0x14: r.Int = v.llVal; break;
    case 0x15: r.Int = static_cast<int64_t>(v.ullVal); break;
    case 0x08: r.Pointer = v.bstrVal; v.vt = VT_EMPTY; break;
    case 0x09: case 0x0D: r.Pointer = v.punkVal; v.vt = VT_EMPTY; break;
    default: break;
  }
  return r;
}

}  // namespace

HRESULT ChangeValueType(VARIANT& target, const VARIANT& source, VARTYPE to) {
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantCopyInd(&value, const_cast<VARIANT*>(&source));
  if (SUCCEEDED(hr)) {
    const VARTYPE base = value.vt & VT_TYPEMASK;
    const bool object = base == VT_DISPATCH || base == VT_UNKNOWN || base == VT_RECORD;
    if (object && to != VT_DISPATCH && to != VT_UNKNOWN) hr = DISP_E_TYPEMISMATCH;
    else hr = VariantChangeTypeEx(&target, &value, LOCALE_INVARIANT, 0, to);
  }
  VariantClear(&value);
  return hr;
}

TStringRefTable::~TStringRefTable() {
  for (auto& e : FEntries) SysFreeString(e.Wide);
}

TStringRef& TStringRefTable::Take() {
  if (FUsed == FEntries.size()) throw EOleError(L"Too many string arguments");
  return FEntries[FUsed++];
}

TInvokeArguments::~TInvokeArguments() {
  for (std::size_t i = 0; i < FVariants.size(); ++i)
    if (FOwned[i]) VariantClear(&FVariants[i]);
}

void TInvokeArguments::Resize(std::size_t count) {
  FVariants.resize(count);
  FOwned.assign(count, false);
  for (auto& v : FVariants) VariantInit(&v);
}

void BuildInvokeArguments(const uint8_t* callDescription, const uint8_t* args, TStringRefTable& strings,
                          TInvokeArguments& variants, bool leftToRight) {
  (void)SharedEmptyString();
  const std::size_t count = callDescription[1];
  const uint8_t* kinds = callDescription + 3;
  variants.Resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const uint8_t kind = kinds[i];
    const std::size_t element = leftToRight ? i : count - 1 - i;
    VARIANT& v = variants[element];
    if (kind & kKindByRef) {
      const uint8_t base = kind & ~kKindByRef;
      void* target = ReadSlot<void*>(args);
      if (base == kKindAnsiString || base == kKindUnicodeString) {
        TStringRef& entry = strings.Take();
        entry.Wide = ModuleStringToWide(base, target);
        if (base == kKindAnsiString) entry.Ansi = static_cast<std::string*>(target);
        else entry.Unicode = static_cast<std::wstring*>(target);
        v.vt = VT_BSTR | VT_BYREF;
        v.pbstrVal = &entry.Wide;
      } else {
        v.vt = VT_BYREF | base;
        v.byref = target;
      }
      args += kPointerSlot;
      continue;
    }
    switch (kind) {
      case 0x00: case 0x01: v.vt = kind; break;
      case 0x02: v.vt = VT_I2; v.iVal = ReadSlot<SHORT>(args); break;
      case 0x03: v.vt = VT_I4; v.lVal = ReadSlot<LONG>(args); break;
      case 0x04: v.vt = VT_R4; v.fltVal = ReadSlot<FLOAT>(args); break;
      case 0x05: v.vt = VT_R8; v.dblVal = ReadSlot<DOUBLE>(args); break;
      case 0x06: v.vt = VT_CY; v.cyVal.int64 = ReadSlot<LONGLONG>(args); break;
      case 0x07: v.vt = VT_DATE; v.date = ReadSlot<DATE>(args); break;
      case 0x08: v.vt = VT_BSTR; v.bstrVal = ReadSlot<BSTR>(args); break;
      case 0x09: v.vt = VT_DISPATCH; v.pdispVal = ReadSlot<IDispatch*>(args); break;
      case 0x0A: v.vt = VT_ERROR; v.scode = DISP_E_PARAMNOTFOUND; break;
      case 0x0B: v.vt = VT_BOOL; v.boolVal = args[0] ? VARIANT_TRUE : VARIANT_FALSE; break;
      case 0x0C: {
        VARIANT source = ReadSlot<VARIANT>(args);
        HRESULT hr = VariantCopy(&v, &source);
        if (FAILED(hr)) throw EOleSysError(L"", hr);
        variants.Own(element);
        break;
      }
      case 0x0D: v.vt = VT_UNKNOWN; v.punkVal = ReadSlot<IUnknown*>(args); break;
      case 0x10: v.vt = VT_I1; v.cVal = ReadSlot<CHAR>(args); break;
      case 0x11: v.vt = VT_UI1; v.bVal = ReadSlot<BYTE>(args); break;
      case 0x12: v.vt = VT_UI2; v.uiVal = ReadSlot<USHORT>(args); break;
      case 0x13: v.vt = VT_UI4; v.ulVal = ReadSlot<ULONG>(args); break;
      case 0x14: v.vt = VT_I8; v.llVal = ReadSlot<LONGLONG>(args); break;
      case 0x15: v.vt = VT_UI8; v.ullVal = ReadSlot<ULONGLONG>(args); break;
      case kKindAnsiString:
      case kKindUnicodeString: {
        const void* source = ReadSlot<const void*>(args);
        BSTR wide = ModuleStringToWide(kind, source);
        v.vt = VT_BSTR;
        if (!wide) {
          v.bstrVal = SharedEmptyString();
        } else {
          TStringRef& entry = strings.Take();
          entry.Wide = wide;
          v.bstrVal = wide;
        }
        break;
      }
      default: RaiseNotSupported();
    }
    args += ArgumentSlotSize(kind);
  }
}

void InvokeByDescriptor(IDispatch* dispatch, const uint8_t* callDescription, const DISPID* dispIds,
                        const uint8_t* args, VARIANT* result) {
  if (!dispatch) throw EOleSysError(L"", E_POINTER);
  TStringRefTable strings;
  TInvokeArguments variants;
  BuildInvokeArguments(callDescription, args, strings, variants, false);

  const uint8_t callKind = callDescription[0];
  const UINT count = callDescription[1];
  const UINT named = callDescription[2];
  std::vector<DISPID> namedIds(dispIds + 1, dispIds + 1 + named);
  DISPPARAMS params{};
  params.rgvarg = count ? variants.Data() : nullptr;
  params.cArgs = count;
  WORD flags = callKind;
  if (callKind == kCallPropertyPut) {
    if (count > 0 && (variants[0].vt == VT_DISPATCH || variants[0].vt == VT_UNKNOWN))
      flags = DISPATCH_PROPERTYPUTREF;
    namedIds.insert(namedIds.begin(), DISPID_PROPERTYPUT);
  } else if (callKind == kCallMethod && count == 0) {
    flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;  // a result location is always passed
  }
  params.rgdispidNamedArgs = namedIds.empty() ? nullptr : namedIds.data();
  params.cNamedArgs = UINT(namedIds.size());

  TExcepInfoGuard excep;
  HRESULT hr = dispatch->Invoke(dispIds[0], IID_NULL, 0, flags, &params, result, &excep.Info, nullptr);
  if (FAILED(hr)) RaiseInvokeError(hr, excep.Info);

  // The host may have replaced the strings passed by reference: hand them back.
  for (std::size_t i = 0; i < strings.Used(); ++i) {
    TStringRef& entry = strings[i];
    if (entry.Ansi) *entry.Ansi = WideToAnsi(entry.Wide);
    else if (entry.Unicode) *entry.Unicode = std::wstring(entry.Wide ? entry.Wide : L"", SysStringLen(entry.Wide));
  }
}

TDispReturn FixedDispCallByID(void* result, IDispatch* dispatch, const uint8_t* descriptor, const uint8_t* args) {
  // The DispID list has one entry: named arguments have nowhere to come from.
  if (descriptor[kDescNamedArgCount] != 0) throw EOleError(L"Named arguments are not supported");
  const DISPID dispIds[1] = {DescriptorDispId(descriptor)};
  const uint8_t kind = descriptor[kDescResultKind];
  Variant value;
  InvokeByDescriptor(dispatch, descriptor + kDescCallDescription, dispIds, args, value.Ptr());
  ConvertResult(*value.Ptr(), kind);
  if (result) {
    StoreResult(result, *value.Ptr(), kind);
    return {};
  }
  return ReturnResult(*value.Ptr(), kind);
}

TDispCallByIDProc DispCallByIDProc() { return gDispCallByID; }

TDispCallByIDProc SetDispCallByIDProc(TDispCallByIDProc proc) {
  TDispCallByIDProc old = gDispCallByID;
  gDispCallByID = proc ? proc : &NoDispCallByID;
  return old;
}

bool DispatchFixStartup() {
  gDispCallByID = &FixedDispCallByID;
  return true;
}

}  // namespace tvk
