#pragma once
// The module's own late-bound dispatcher: every call the module makes on a
// host automation interface goes through FixedDispCallByID, reached through
// the process-wide late-bound call entry that the start-up step installs.
#include "ComRef.h"
#include "Exception.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tvk {

// Kind codes of call descriptors: automation variant types, with
// kKindByRef marking an argument passed by reference.
inline constexpr uint8_t kKindNone = 0x00;
inline constexpr uint8_t kKindInt = 0x03;       // VT_I4
inline constexpr uint8_t kKindDouble = 0x05;    // VT_R8
inline constexpr uint8_t kKindString = 0x08;    // VT_BSTR
inline constexpr uint8_t kKindDispatch = 0x09;  // VT_DISPATCH
inline constexpr uint8_t kKindBool = 0x0B;      // VT_BOOL
inline constexpr uint8_t kKindVariant = 0x0C;   // VT_VARIANT
inline constexpr uint8_t kKindInt64 = 0x14;     // VT_I8
inline constexpr uint8_t kKindAnsiString = 0x48;     // the module's 8-bit string (std::string)
inline constexpr uint8_t kKindUnicodeString = 0x4A;  // the module's UTF-16 string (std::wstring)
inline constexpr uint8_t kKindByRef = 0x80;

// Call kinds of a descriptor.
inline constexpr uint8_t kCallMethod = 1;
inline constexpr uint8_t kCallPropertyGet = 2;
inline constexpr uint8_t kCallPropertyPut = 4;

// Packed call descriptor: DispID (4 bytes, little-endian), result kind, call
// kind, argument count, named-argument count, then one kind per argument in
// declared order. The call description starts at the call kind.
inline constexpr std::size_t kDescDispId = 0;
inline constexpr std::size_t kDescResultKind = 4;
inline constexpr std::size_t kDescCallDescription = 5;
inline constexpr std::size_t kDescArgCount = 6;
inline constexpr std::size_t kDescNamedArgCount = 7;
inline constexpr std::size_t kDescArgKinds = 8;

template <std::size_t N>
using TCallDescriptor = std::array<uint8_t, kDescArgKinds + N>;

// A method-call descriptor with the given result kind and argument kinds.
template <class... K>
constexpr TCallDescriptor<sizeof...(K)> MakeCallDescriptor(int32_t dispId, uint8_t resultKind, K... argKinds) {
  static_assert(sizeof...(K) <= 255, "at most 255 arguments");
  const auto id = static_cast<uint32_t>(dispId);
  return {uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16), uint8_t(id >> 24), resultKind, kCallMethod,
          uint8_t(sizeof...(K)), 0, uint8_t(argKinds)...};
}

constexpr DISPID DescriptorDispId(const uint8_t* desc) {
  return static_cast<DISPID>(uint32_t(desc[0]) | uint32_t(desc[1]) << 8 | uint32_t(desc[2]) << 16 |
                             uint32_t(desc[3]) << 24);
}

// Width of an argument's slot in the argument block (no alignment padding):
// addresses, strings and interfaces take a pointer's width (4 bytes in the
// 32-bit module), 64-bit values 8, a variant its own size, the rest 4.
inline constexpr std::size_t kPointerSlot = sizeof(void*);
constexpr std::size_t ArgumentSlotSize(uint8_t kind) {
  if (kind & kKindByRef) return kPointerSlot;
  switch (kind) {
    case 0x05: case 0x06: case 0x07: case 0x14: case 0x15: return 8;
    case 0x0C: return sizeof(VARIANT);
    case 0x08: case 0x09: case 0x0D: case kKindAnsiString: case kKindUnicodeString: return kPointerSlot;
    case 0x00: case 0x01: case 0x0A: return 0;
    default: return 4;
  }
}

// The value of a call that has no result address.
struct TDispReturn {
  int64_t Int = 0;          // integers and booleans, extended to 64 bits (true is -1)
  double Real = 0;          // VT_R4, VT_R8, VT_DATE
  void* Pointer = nullptr;  // BSTR or interface; the caller owns it
};

// FixedDispCallByID(Result, Dispatch, Descriptor, Args): one late-bound call.
// Args is the argument block: the arguments in declared order, each in a slot
// of ArgumentSlotSize bytes. With a Result address the value is stored there
// by the result kind; without one it is returned. Errors are raised.
using TDispCallByIDProc = TDispReturn (*)(void* result, IDispatch* dispatch, const uint8_t* descriptor,
                                          const uint8_t* args);

TDispReturn FixedDispCallByID(void* result, IDispatch* dispatch, const uint8_t* descriptor, const uint8_t* args);

// One temporary string of a call for the module's 8-bit and UTF-16 string kinds.
struct TStringRef {
  BSTR Wide = nullptr;              // owned by the entry
  std::string* Ansi = nullptr;      // the caller's 8-bit string variable
  std::wstring* Unicode = nullptr;  // the caller's UTF-16 string variable
};

inline constexpr std::size_t kStringRefCount = 64;

// The string table of one call; frees its strings when it goes.
class TStringRefTable {
public:
  TStringRefTable() = default;
  TStringRefTable(const TStringRefTable&) = delete;
  TStringRefTable& operator=(const TStringRefTable&) = delete;
  ~TStringRefTable();
  // The next free entry; raises when all are taken.
  TStringRef& Take();
  std::size_t Used() const { return FUsed; }
  TStringRef& operator[](std::size_t i) { return FEntries[i]; }

private:
  std::array<TStringRef, kStringRefCount> FEntries{};
  std::size_t FUsed = 0;
};

// The argument variants of one call; clears the ones it owns when it goes.
class TInvokeArguments {
public:
  TInvokeArguments() = default;
  TInvokeArguments(const TInvokeArguments&) = delete;
  TInvokeArguments& operator=(const TInvokeArguments&) = delete;
  ~TInvokeArguments();
  void Resize(std::size_t count);
  VARIANT* Data() { return FVariants.empty() ? nullptr : FVariants.data(); }
  std::size_t Size() const { return FVariants.size(); }
  VARIANT& operator[](std::size_t i) { return FVariants[i]; }
  // The variant at I holds a copy this array must clear.
  void Own(std::size_t i) { FOwned[i] = true; }

private:
  std::vector<VARIANT> FVariants;
  std::vector<bool> FOwned;
};

// Fills Variants (reversed unless LeftToRight) and Strings from the call
// description and the argument block; raises "Variant method calls not
// supported" for a by-value kind it does not know.
void BuildInvokeArguments(const uint8_t* callDescription, const uint8_t* args, TStringRefTable& strings,
                          TInvokeArguments& variants, bool leftToRight);

// One IDispatch::Invoke for a call description, a DispID list (entry 0 the
// method's DispID), the argument block and a result variant. A failure is raised.
void InvokeByDescriptor(IDispatch* dispatch, const uint8_t* callDescription, const DISPID* dispIds,
                        const uint8_t* args, VARIANT* result);

// Converts Source to the type To for a call at the host boundary, either way:
// the same for every user (the invariant locale), and never by asking an
// object for its value, which would call back into its owner: an object, also
// by reference, is refused with DISP_E_TYPEMISMATCH. Target must be empty and
// stays empty on failure.
HRESULT ChangeValueType(VARIANT& target, const VARIANT& source, VARTYPE to);

// The process-wide late-bound call entry every record operation calls through.
TDispCallByIDProc DispCallByIDProc();
// Replaces the entry (null: calls raise until one is installed); answers the previous one.
TDispCallByIDProc SetDispCallByIDProc(TDispCallByIDProc proc);

// Start-up step of this unit: installs FixedDispCallByID as the entry. Its
// shut-down leaves the entry as it is.
bool DispatchFixStartup();

}  // namespace tvk
