#pragma once
// Counted COM references and the automation value types, owned RAII-style.
#include <windows.h>
#include <oleauto.h>

#include "Exception.h"

#include <climits>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace tvk {

// An automation object that lives as long as its owner: its references are
// not counted and it has no type information; QueryInterface and Invoke are
// the descendant's.
class TUncountedDispatch : public IDispatch {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};

// One counted reference to a COM interface; null when empty.
template <class T>
class ComRef {
public:
  ComRef() = default;
  ComRef(std::nullptr_t) {}
  // Adds a reference to p.
  explicit ComRef(T* p) : FPtr(p) { if (FPtr) FPtr->AddRef(); }
  // Takes over a reference the caller already owns.
  static ComRef Adopt(T* p) { ComRef r; r.FPtr = p; return r; }
  ComRef(const ComRef& o) : ComRef(o.FPtr) {}
  ComRef(ComRef&& o) noexcept : FPtr(std::exchange(o.FPtr, nullptr)) {}
  ComRef& operator=(ComRef o) noexcept { std::swap(FPtr, o.FPtr); return *this; }
  ~ComRef() { Reset(); }

  void Reset() { if (T* p = std::exchange(FPtr, nullptr)) p->Release(); }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  // For out parameters: empties the reference and gives its address.
  T** Receive() { Reset(); return &FPtr; }
  // Hands the reference over to the caller.
  T* Detach() { return std::exchange(FPtr, nullptr); }
  // For in-out parameters: the reference's own address; what the callee
  // stores there (after releasing what it found) is this reference's.
  T** AddressOf() { return &FPtr; }

  template <class U>
  ComRef<U> Query(REFIID iid) const {
    ComRef<U> r;
    if (FPtr) FPtr->QueryInterface(iid, reinterpret_cast<void**>(r.Receive()));
    return r;
  }

private:
  T* FPtr = nullptr;
};

// A new BSTR holding Text (never null). A failed allocation raises: an empty
// string in its place would pass on as valid data.
inline BSTR AllocBstr(std::wstring_view text) {
  // The length must fit the BSTR's 32-bit byte count, not be cut to it.
  if (text.size() >= (std::size_t(UINT_MAX) - sizeof(UINT)) / sizeof(wchar_t)) throw EOleSysError(L"", E_OUTOFMEMORY);
  BSTR s = SysAllocStringLen(text.data(), UINT(text.size()));
  if (!s) throw EOleSysError(L"", E_OUTOFMEMORY);
  return s;
}

// An owned BSTR; an empty text is held as null.
class Bstr {
public:
  Bstr() = default;
  explicit Bstr(std::wstring_view s) : FStr(s.empty() ? nullptr : AllocBstr(s)) {}
  Bstr(const Bstr& o) : FStr(o.FStr ? AllocBstr({o.FStr, SysStringLen(o.FStr)}) : nullptr) {}
  Bstr(Bstr&& o) noexcept : FStr(std::exchange(o.FStr, nullptr)) {}
  Bstr& operator=(Bstr o) noexcept { std::swap(FStr, o.FStr); return *this; }
  ~Bstr() { SysFreeString(FStr); }
  static Bstr Adopt(BSTR s) { Bstr b; b.FStr = s; return b; }

  BSTR Get() const { return FStr; }
  BSTR* Receive() { SysFreeString(FStr); FStr = nullptr; return &FStr; }
  BSTR Detach() { return std::exchange(FStr, nullptr); }
  std::wstring Str() const { return FStr ? std::wstring(FStr, SysStringLen(FStr)) : std::wstring(); }

private:
  BSTR FStr = nullptr;
};

// An owned VARIANT, cleared when it goes. The toolkit's variant: its values
// are made here, its conversions and arrays are in Variants.h.
class Variant {
public:
  // Kinds the system's variant routines do not know, which this class owns
  // itself: 8-bit text and UTF-16 text apart from the automation string.
  static constexpr VARTYPE kAnsiString = 0x100;
  static constexpr VARTYPE kUString = 0x102;
  // Fixed-size records it also owns: a BCD number (34 bytes) and an SQL time
  // stamp (16 bytes); their values and conversions are the FMTBcd and
  // SqlTimSt units'.
  static constexpr VARTYPE kFMTBcd = 0x110;
  static constexpr VARTYPE kSQLTimeStamp = 0x111;
  static constexpr std::size_t RecordSize(VARTYPE kind) { return kind == kFMTBcd ? 34 : kind == kSQLTimeStamp ? 16 : 0; }

  Variant() { VariantInit(&FVar); }
  Variant(const Variant& o) { VariantInit(&FVar); CopyFrom(o); }
  Variant& operator=(const Variant& o) {
    if (this != &o) {
      Variant copy(o);
      *this = std::move(copy);
    }
    return *this;
  }
  Variant(Variant&& o) noexcept : FVar(o.FVar) { VariantInit(&o.FVar); }
  Variant& operator=(Variant&& o) noexcept { if (this != std::addressof(o)) { Clear(); FVar = o.FVar; VariantInit(&o.FVar); } return *this; }

  Variant(int32_t v) { VariantInit(&FVar); FVar.vt = VT_I4; FVar.lVal = v; }
  Variant(int64_t v) { VariantInit(&FVar); FVar.vt = VT_I8; FVar.llVal = v; }
  Variant(double v) { VariantInit(&FVar); FVar.vt = VT_R8; FVar.dblVal = v; }
  // Exactly bool: a pointer must not turn into a Boolean variant.
  template <std::same_as<bool> B>
  Variant(B v) { VariantInit(&FVar); FVar.vt = VT_BOOL; FVar.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE; }
  Variant(std::wstring_view s) {
    VariantInit(&FVar);
    FVar.bstrVal = AllocBstr(s);
    FVar.vt = VT_BSTR;
  }
  Variant(const wchar_t* s) : Variant(std::wstring_view(s)) {}
  Variant(const std::wstring& s) : Variant(std::wstring_view(s)) {}
  // An 8-bit text variant (kAnsiString).
  static Variant FromAnsi(std::string text) {
    Variant r;
    r.FVar.byref = new std::string(std::move(text));
    r.FVar.vt = kAnsiString;
    return r;
  }
  // A UTF-16 text variant of the kind kUString.
  static Variant FromUString(std::wstring text) {
    Variant r;
    r.FVar.byref = new std::wstring(std::move(text));
    r.FVar.vt = kUString;
    return r;
  }
  // A record kind's variant holding a copy of the record's bytes.
  static Variant FromRecord(VARTYPE kind, const void* record) {
    Variant r;
    r.FVar.byref = NewRecord(kind, record);
    r.FVar.vt = kind;
    return r;
  }
  // Takes over V's value; V is left empty.
  static Variant Adopt(VARIANT& v) { Variant r; r.FVar = v; VariantInit(&v); return r; }
  ~Variant() { Clear(); }
  VARIANT* operator&() { return &FVar; }
  const VARIANT* Ptr() const { return &FVar; }
  VARIANT* Ptr() { return &FVar; }
  VARTYPE Type() const { return FVar.vt; }
  void Clear() {
    if (FVar.vt == kAnsiString) delete static_cast<std::string*>(FVar.byref);
    else if (FVar.vt == kUString) delete static_cast<std::wstring*>(FVar.byref);
    else if (RecordSize(FVar.vt)) delete[] static_cast<uint8_t*>(FVar.byref);
    else { VariantClear(&FVar); return; }
    VariantInit(&FVar);
  }
  // The text of an own text kind, else null.
  const std::string* Ansi() const { return FVar.vt == kAnsiString ? static_cast<const std::string*>(FVar.byref) : nullptr; }
  const std::wstring* UString() const { return FVar.vt == kUString ? static_cast<const std::wstring*>(FVar.byref) : nullptr; }
  // The bytes of a record kind's variant of that kind, else null.
  const void* Record(VARTYPE kind) const { return RecordSize(kind) && FVar.vt == kind ? FVar.byref : nullptr; }

private:
  void CopyFrom(const Variant& o) {
    if (const std::string* a = o.Ansi()) { FVar.byref = new std::string(*a); FVar.vt = kAnsiString; }
    else if (const std::wstring* w = o.UString()) { FVar.byref = new std::wstring(*w); FVar.vt = kUString; }
    else if (RecordSize(o.FVar.vt)) { FVar.byref = NewRecord(o.FVar.vt, o.FVar.byref); FVar.vt = o.FVar.vt; }
    else VariantCopy(&FVar, const_cast<VARIANT*>(&o.FVar));  // a kind it cannot copy leaves this empty
  }

  static void* NewRecord(VARTYPE kind, const void* record) {
    auto* bytes = new uint8_t[RecordSize(kind)];
    std::memcpy(bytes, record, RecordSize(kind));
    return bytes;
  }

  VARIANT FVar;
};

}  // namespace tvk
