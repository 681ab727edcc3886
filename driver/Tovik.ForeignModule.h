#pragma once
// Outside libraries the driver binds at run time (the J-Link probe library,
// the disassembler modules): a held module handle that is freed only when
// this module loaded it, and calls into such a library under a guard that
// turns an exception the library leaves unhandled into an answer instead of
// the end of the host process.
#include "Exception.h"

#include <windows.h>

#include <cstdint>
#include <type_traits>
#include <utility>

namespace tvk {

// A module handle, freed when the holder goes only if it loaded the library
// itself; a handle another party lent is never given back here.
class TForeignLibrary {
public:
  TForeignLibrary() = default;
  // Loads Path; an empty holder when it does not load.
  static TForeignLibrary Load(const WideString& path);
  // Holds a handle that stays its lender's.
  static TForeignLibrary Borrow(HMODULE handle);

  TForeignLibrary(TForeignLibrary&& o) noexcept
      : FHandle(std::exchange(o.FHandle, nullptr)), FOwned(std::exchange(o.FOwned, false)) {}
  TForeignLibrary& operator=(TForeignLibrary&& o) noexcept;
  TForeignLibrary(const TForeignLibrary&) = delete;
  TForeignLibrary& operator=(const TForeignLibrary&) = delete;
  ~TForeignLibrary() { Reset(); }

  HMODULE Get() const { return FHandle; }
  bool Owned() const { return FOwned; }
  explicit operator bool() const { return FHandle != nullptr; }
  // Lets the handle go (freeing the library when it was loaded here).
  void Reset();
  // The address of an export; null when the library lacks it.
  void* Export(const char* name) const;

private:
  HMODULE FHandle = nullptr;
  bool FOwned = false;
};

// A handle that crosses the host boundary as 32 bits. The host's libraries
// lie below 4 GB, so the value is the whole handle on either build.
inline HMODULE ModuleHandleFromHost(uint32_t value) { return reinterpret_cast<HMODULE>(uintptr_t(value)); }
inline uint32_t ModuleHandleToHost(HMODULE handle) { return uint32_t(reinterpret_cast<uintptr_t>(handle)); }

// Runs Call(Context), which calls into an outside library. True when it ran
// to its end; false when an exception that the library left unhandled (a
// processor fault, or an exception it raised itself) reached the guard: the
// call's frames are unwound and the process carries on. The library's own
// handlers act first, so what it raises and handles itself stays its own.
// Call must not throw, and must hold nothing that needs destroying.
bool RunForeignCall(void (*call)(void*), void* context);

template <class F>
bool CallForeign(F&& call) {
  using Body = std::remove_reference_t<F>;
  return RunForeignCall([](void* body) noexcept { (*static_cast<Body*>(body))(); }, &call);
}

// The exception code of the last fault a guarded call of this thread ended
// in; 0 before any.
DWORD LastForeignFault();

}  // namespace tvk
