#pragma once
// Served-call kinds: how a served operation's arguments are taken from the
// incoming variants and how its result goes back, deduced from the C++
// signature of the operation.
//
//   argument type              kind   result type (last, by reference)   kind
//   const WideString&          s      WideString&                         s
//   int32_t                    i      int32_t&                            i
//   uint32_t                   u      uint32_t&                           u
//   int64_t                    L      int64_t&                            L
//   a record (by value/const&) r      a record&                           o
//   bool                       v      bool&                               b
//   int32_t* / uint32_t*       v      double&                             d
//   VARIANT_BOOL*              v
//   TRaw32                     v (the value's first 32 bits, unconverted)
//   TServedStringRef                 v (a by-reference string the operation replaces)
//
// Every failure of a conversion raises EServedCall, which Invoke turns into E_UNEXPECTED.
#include "RecordBase.h"

#include <cstdint>
#include <span>
#include <tuple>
#include <type_traits>

namespace tvk {

// A conversion error while a served call is taken apart or put together.
class EServedCall : public Exception {
public:
  EServedCall() : Exception(L"Invalid served-call argument") {}
};

// The arguments of one served call, in the host's order (argument 1 first).
class TServedArgs {
public:
  explicit TServedArgs(const DISPPARAMS* params)
      : FArgs(params && params->rgvarg ? params->rgvarg : nullptr),
        FCount(params && params->rgvarg ? params->cArgs : 0) {}
  // Argument k (1-based) is rgvarg[cArgs - k]; a missing one is an error.
  const VARIANT& Arg(unsigned k) const {
    if (k == 0 || k > FCount) throw EServedCall();
    return FArgs[FCount - k];
  }
  unsigned Count() const { return FCount; }

private:
  const VARIANT* FArgs;
  unsigned FCount;
};

// A raw 32-bit argument: the first 32 bits of the variant's value as they are.
struct TRaw32 {
  uint32_t Value;
};

// A by-reference string argument: Set replaces the caller's string.
class TServedStringRef {
public:
  explicit TServedStringRef(BSTR* target) : FTarget(target) {}
  void Set(const WideString& value) const;

private:
  BSTR* FTarget;
};

// Kind conversions of single arguments.
WideString ServedArgString(const VARIANT& v);
int32_t ServedArgInt(const VARIANT& v);
uint32_t ServedArgUInt(const VARIANT& v);
int64_t ServedArgInt64(const VARIANT& v);
bool ServedArgBool(const VARIANT& v);
ComRef<IDispatch> ServedArgDispatch(const VARIANT& v);  // one reference, held while the record is made
uint32_t ServedArgRaw(const VARIANT& v);
// A by-reference string argument (VT_BYREF | VT_BSTR); anything else is an error.
TServedStringRef ServedArgStringRef(const VARIANT& v);
// By-reference argument whose referent is Width bytes wide.
void* ServedArgRef(const VARIANT& v, unsigned width, bool booleanOnly);

// Result stores: the old content of Result is released first; null Result stores nothing.
void ServedResultString(VARIANT* result, const WideString& value);
void ServedResultBool(VARIANT* result, bool value);
void ServedResultInt(VARIANT* result, int32_t value);
void ServedResultInt64(VARIANT* result, int64_t value);
void ServedResultDouble(VARIANT* result, double value);
void ServedResultDispatch(VARIANT* result, const TRecordBase& value);

namespace served_detail {

template <class T>
using Bare = std::remove_cvref_t<T>;

template <class T>
Bare<T> TakeArg(const VARIANT& v) {
  using B = Bare<T>;
  if constexpr (std::is_same_v<B, WideString>) return ServedArgString(v);
  else if constexpr (std::is_same_v<B, bool>) return ServedArgBool(v);
  else if constexpr (std::is_same_v<B, int32_t>) return ServedArgInt(v);
  else if constexpr (std::is_same_v<B, uint32_t>) return ServedArgUInt(v);
  else if constexpr (std::is_same_v<B, int64_t>) return ServedArgInt64(v);
  else if constexpr (HostRecord<B>) return B(ServedArgDispatch(v).Get());  // the record adds its own reference
  else if constexpr (std::is_same_v<B, TRaw32>) return TRaw32{ServedArgRaw(v)};
  else if constexpr (std::is_same_v<B, TServedStringRef>) return ServedArgStringRef(v);
  else if constexpr (std::is_same_v<B, VARIANT_BOOL*>) return static_cast<VARIANT_BOOL*>(ServedArgRef(v, 2, true));
  else if constexpr (std::is_pointer_v<B> && sizeof(std::remove_pointer_t<B>) == 4)
    return static_cast<B>(ServedArgRef(v, 4, false));
  else static_assert(sizeof(T) == 0, "no served-call kind for this argument type");
}

template <class T>
void PutResult(VARIANT* result, const T& value) {
  if constexpr (std::is_same_v<T, WideString>) ServedResultString(result, value);
  else if constexpr (std::is_same_v<T, bool>) ServedResultBool(result, value);
  else if constexpr (std::is_same_v<T, int32_t>) ServedResultInt(result, value);
  else if constexpr (std::is_same_v<T, uint32_t>) ServedResultInt(result, int32_t(value));
  else if constexpr (std::is_same_v<T, int64_t>) ServedResultInt64(result, value);
  else if constexpr (std::is_same_v<T, double>) ServedResultDouble(result, value);
  else if constexpr (HostRecord<T>) ServedResultDispatch(result, value);
  else static_assert(sizeof(T) == 0, "no served-call kind for this result type");
}

template <class T>
constexpr bool IsOut = std::is_lvalue_reference_v<T> && !std::is_const_v<std::remove_reference_t<T>>;

// Whether the last of N parameters is the result (an output reference).
template <class Args, std::size_t N>
constexpr bool LastIsOut() {
  if constexpr (N == 0) return false;
  else return IsOut<std::tuple_element_t<N - 1, Args>>;
}

template <class Sig>
struct Traits;

template <class C, class... A>
struct Traits<HRESULT (C::*)(A...)> {
  using Class = C;
  using Args = std::tuple<A...>;
  static constexpr std::size_t N = sizeof...(A);
};

template <class C, class Tuple, std::size_t... I>
auto TakeArgs(const TServedArgs& args, std::index_sequence<I...>) {
  // Braced initialisation converts in the table's order.
  return std::tuple<Bare<std::tuple_element_t<I, Tuple>>...>{
      TakeArg<std::tuple_element_t<I, Tuple>>(args.Arg(I + 1))...};
}

}  // namespace served_detail

// Calls the operation M on Self with the arguments taken by kind, and stores
// its result by kind. The operation's failure code is returned unchanged and
// stores nothing.
template <auto M, class Self>
HRESULT ServeCall(Self& self, const TServedArgs& args, VARIANT* result) {
  using namespace served_detail;
  using T = Traits<decltype(M)>;
  using Args = typename T::Args;
  constexpr std::size_t N = T::N;
  constexpr bool hasResult = LastIsOut<Args, N>();
  constexpr std::size_t inCount = hasResult ? N - 1 : N;
  auto in = TakeArgs<typename T::Class, Args>(args, std::make_index_sequence<inCount>{});
  if constexpr (hasResult) {
    Bare<std::tuple_element_t<N - 1, Args>> out{};
    HRESULT hr = std::apply([&](auto&... a) { return (self.*M)(a..., out); }, in);
    if (FAILED(hr)) return hr;
    PutResult(result, out);
    return hr;
  } else {
    return std::apply([&](auto&... a) { return (self.*M)(a...); }, in);
  }
}

// One row of a served class's table: a dispatch identifier and its call.
template <class Self>
struct TServedRow {
  DISPID Id;
  HRESULT (*Call)(Self& self, const TServedArgs& args, VARIANT* result);
};

#define TVK_SERVED_ROW(Class, Id, Method) \
  ::tvk::TServedRow<Class>{Id, &::tvk::ServeCall<&Class::Method, Class>}

// The lowest and highest identifier of a table, so that levels an identifier
// cannot belong to are passed at once.
struct TServedRange {
  DISPID Low, High;
};

template <class Self>
constexpr TServedRange ServedRowRange(std::span<const TServedRow<Self>> rows) {
  TServedRange r{1, 0};  // empty: no identifier lies in it
  for (const auto& row : rows) {
    if (r.Low > r.High) r = {row.Id, row.Id};
    if (row.Id < r.Low) r.Low = row.Id;
    if (row.Id > r.High) r.High = row.Id;
  }
  return r;
}

// Finds Id in Rows; the rows need not be sorted.
template <class Self>
const TServedRow<Self>* FindServedRow(std::span<const TServedRow<Self>> rows, DISPID id) {
  for (const auto& row : rows)
    if (row.Id == id) return &row;
  return nullptr;
}

}  // namespace tvk
