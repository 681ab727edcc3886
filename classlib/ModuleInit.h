#pragma once
// The module's start-up and shut-down frame: every component's steps run from
// one explicit ordered table (never from static constructors, whose order is
// undefined). A failed step unwinds the steps already done, in reverse.
#include <windows.h>

#include <cstddef>
#include <span>

namespace tvk {

struct TInitStep {
  const char* Name;
  bool (*Startup)();   // false (or an exception) fails the load
  void (*Shutdown)();  // undoes Startup; may be null
};

// Runs the steps in order. On a failure the shut-down of every step already
// started runs in reverse order and the answer is false.
bool RunStartup(std::span<const TInitStep> steps);
// Runs the shut-down of the started steps in reverse order.
void RunShutdown(std::span<const TInitStep> steps);
// How many steps of the last RunStartup are started.
std::size_t StartedSteps();

// A unit that several start-up tables may list (the module's and a test's
// own): its start runs on the first start-up only and its stop on the last
// shut-down only. A failed start counts as not started.
struct TCountedUnit {
  void (*Start)();  // null: nothing to do yet
  void (*Stop)();
  int Counter = 0;
};
bool StartCountedUnit(TCountedUnit& AUnit);
void StopCountedUnit(TCountedUnit& AUnit);

// The step procedures of unit Unit of a library's counted units.
template <std::span<TCountedUnit> (*Units)(), int Unit>
bool CountedUnitStartup() {
  return StartCountedUnit(Units()[Unit]);
}
template <std::span<TCountedUnit> (*Units)(), int Unit>
void CountedUnitShutdown() {
  StopCountedUnit(Units()[Unit]);
}

// A module-wide object that lives from its first use to its unit's shut-down
// step (Free) and never longer. It has no destructor: at process exit, where
// no shut-down step runs, none of its code runs either, so nothing touches a
// host object the host may already have torn down, and no served object is
// freed behind the host's back.
template <class T>
class TModuleHeld {
public:
  constexpr TModuleHeld() = default;
  TModuleHeld(const TModuleHeld&) = delete;
  TModuleHeld& operator=(const TModuleHeld&) = delete;

  T& Get() {
    if (!FObject) FObject = new T();
    return *FObject;
  }
  T* operator->() { return &Get(); }
  // Frees the object; the next Get makes a new one.
  void Free() {
    T* object = FObject;
    FObject = nullptr;
    delete object;
  }

private:
  T* FObject = nullptr;
};

// The module's own handle, recorded by the entry procedure.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

}  // namespace tvk
