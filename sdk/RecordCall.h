#pragma once
// Record operations. Each operation of a record is one late-bound call, through
// the process-wide late-bound call entry, with the operation's constant call
// descriptor; the record classes (generated from sdk/RecordInterfaces.table)
// call RecordCall with one argument wrapper per parameter:
//
//   kind   parameter                 wrapper      kind   parameter               wrapper
//   i      int32_t                   ArgI         i&     int32_t&                RefI
//   u      uint32_t                  ArgI         u&     uint32_t&               RefI
//   L      int64_t                   ArgL         L&     int64_t&                RefL
//   b      bool                      ArgB         s&     WideString&             RefS
//   s      const WideString&         ArgS         o&     R& (a record)           RefO
//   o      const R& (a record)       ArgO
//
// Results: void, int32_t, uint32_t, int64_t, bool, double, WideString or a record.
#include "RecordBase.h"
#include "ZUL.DispatchFix.h"

#include <array>
#include <cstring>
#include <type_traits>

namespace tvk {
namespace record_call {

// A 32-bit integer; signed and unsigned send the same bits.
struct ArgI {
  static constexpr uint8_t Kind = kKindInt;
  static constexpr std::size_t Slot = 4;
  uint32_t Value;
  void Put(uint8_t* slot) const { std::memcpy(slot, &Value, 4); }
  void Commit() {}
};

struct ArgL {
  static constexpr uint8_t Kind = kKindInt64;
  static constexpr std::size_t Slot = 8;
  int64_t Value;
  void Put(uint8_t* slot) const { std::memcpy(slot, &Value, 8); }
  void Commit() {}
};

// The dispatcher reads a boolean from its slot's first byte.
struct ArgB {
  static constexpr uint8_t Kind = kKindBool;
  static constexpr std::size_t Slot = 4;
  bool Value;
  void Put(uint8_t* slot) const { slot[0] = Value ? 1 : 0; }
  void Commit() {}
};

// The operation's own BSTR for the call; an empty string goes as a null BSTR.
struct ArgS {
  static constexpr uint8_t Kind = kKindString;
  static constexpr std::size_t Slot = kPointerSlot;
  Bstr Value;
  explicit ArgS(const WideString& s) : Value(s) {}
  void Put(uint8_t* slot) const {
    BSTR b = Value.Get();
    std::memcpy(slot, &b, kPointerSlot);
  }
  void Commit() {}
};

// A record argument: a counted copy of its reference, held for the call
// (an empty record passes null).
struct ArgO {
  static constexpr uint8_t Kind = kKindDispatch;
  static constexpr std::size_t Slot = kPointerSlot;
  ComRef<IDispatch> Value;
  explicit ArgO(const TRecordBase& r) : Value(r.ToPointer()) {}
  void Put(uint8_t* slot) const {
    IDispatch* p = Value.Get();
    std::memcpy(slot, &p, kPointerSlot);
  }
  void Commit() {}
};

// The address of the caller's 32-bit variable, which the host may write.
struct RefI {
  static constexpr uint8_t Kind = kKindInt | kKindByRef;
  static constexpr std::size_t Slot = kPointerSlot;
  void* Target;
  void Put(uint8_t* slot) const { std::memcpy(slot, &Target, kPointerSlot); }
  void Commit() {}
};

// The address of a copy of the caller's 64-bit variable; the copy goes back
// only after a successful call.
struct RefL {
  static constexpr uint8_t Kind = kKindInt64 | kKindByRef;
  static constexpr std::size_t Slot = kPointerSlot;
  int64_t* Target;
  int64_t Copy;
  explicit RefL(int64_t& v) : Target(&v), Copy(v) {}
  RefL(const RefL&) = delete;
  RefL& operator=(const RefL&) = delete;
  void Put(uint8_t* slot) const {
    const int64_t* p = &Copy;
    std::memcpy(slot, &p, kPointerSlot);
  }
  void Commit() { *Target = Copy; }
};

// The address of a real BSTR variable holding the caller's string; the host
// may free it and store another, which goes back after a successful call.
struct RefS {
  static constexpr uint8_t Kind = kKindString | kKindByRef;
  static constexpr std::size_t Slot = kPointerSlot;
  WideString* Target;
  BSTR Temp;
  explicit RefS(WideString& s) : Target(&s), Temp(Bstr(s).Detach()) {}
  RefS(const RefS&) = delete;
  RefS& operator=(const RefS&) = delete;
  ~RefS() { SysFreeString(Temp); }
  void Put(uint8_t* slot) const {
    const BSTR* p = &Temp;
    std::memcpy(slot, &p, kPointerSlot);
  }
  void Commit() { *Target = Temp ? WideString(Temp, SysStringLen(Temp)) : WideString(); }
};

// The address of the caller's record reference: the host may release it and
// store another or null, and the record holds whatever is there afterwards.
struct RefO {
  static constexpr uint8_t Kind = kKindDispatch | kKindByRef;
  static constexpr std::size_t Slot = kPointerSlot;
  IDispatch** Target;
  explicit RefO(TRecordBase& r) : Target(RecordSlot(r)) {}
  void Put(uint8_t* slot) const { std::memcpy(slot, &Target, kPointerSlot); }
  void Commit() {}
};

template <class R>
constexpr uint8_t ResultKindOf() {
  if constexpr (std::is_void_v<R>) return kKindNone;
  else if constexpr (std::is_same_v<R, bool>) return kKindBool;
  else if constexpr (std::is_same_v<R, int32_t> || std::is_same_v<R, uint32_t>) return kKindInt;
  else if constexpr (std::is_same_v<R, int64_t>) return kKindInt64;
  else if constexpr (std::is_same_v<R, double>) return kKindDouble;
  else if constexpr (std::is_same_v<R, WideString>) return kKindString;
  else if constexpr (HostRecord<R>) return kKindDispatch;
  else static_assert(sizeof(R) == 0, "no result kind for this type");
}

template <const auto& Desc, class... A>
constexpr bool KindsMatch() {
  constexpr uint8_t kinds[] = {std::remove_cvref_t<A>::Kind..., 0};
  for (std::size_t i = 0; i < sizeof...(A); ++i)
    if (Desc[kDescArgKinds + i] != kinds[i]) return false;
  return true;
}

}  // namespace record_call

// One record operation: Self's reference, the descriptor Desc and the wrapped
// arguments in declared order. Raises EEmptyRecord without calling the host
// when Self is empty, and whatever the call raises; by-reference arguments are
// written back only after a successful call.
template <class Result, const auto& Desc, class... A>
Result RecordCall(const TRecordBase& self, const wchar_t* operation, A&&... args) {
  using namespace record_call;
  static_assert(Desc[kDescArgCount] == sizeof...(A), "argument count differs from the descriptor");
  static_assert(Desc[kDescResultKind] == ResultKindOf<Result>(), "result type differs from the descriptor");
  static_assert(KindsMatch<Desc, A...>(), "argument kinds differ from the descriptor");

  IDispatch* target = self.ToPointer();
  if (!target) throw EEmptyRecord(operation);

  constexpr std::size_t size = (std::size_t{0} + ... + std::remove_cvref_t<A>::Slot);
  std::array<uint8_t, size == 0 ? 1 : size> block{};
  std::size_t offset = 0;
  ((args.Put(block.data() + offset), offset += std::remove_cvref_t<A>::Slot), ...);
  (void)offset;

  const TDispCallByIDProc call = DispCallByIDProc();
  if constexpr (std::is_same_v<Result, WideString>) {
    BSTR value = nullptr;
    call(&value, target, Desc.data(), block.data());
    Bstr owned = Bstr::Adopt(value);
    (args.Commit(), ...);
    return owned.Str();
  } else if constexpr (HostRecord<Result>) {
    IDispatch* value = nullptr;
    call(&value, target, Desc.data(), block.data());
    ComRef<IDispatch> owned = ComRef<IDispatch>::Adopt(value);
    (args.Commit(), ...);
    return Result(owned.Get());
  } else {
    const TDispReturn value = call(nullptr, target, Desc.data(), block.data());
    (args.Commit(), ...);
    if constexpr (std::is_void_v<Result>) return;
    else if constexpr (std::is_same_v<Result, bool>) return value.Int != 0;
    else if constexpr (std::is_same_v<Result, double>) return value.Real;
    else return static_cast<Result>(value.Int);
  }
}

}  // namespace tvk
