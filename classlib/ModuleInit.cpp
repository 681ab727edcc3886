#include "ModuleInit.h"

namespace tvk {

static std::size_t gStarted = 0;
static HINSTANCE gInstance = nullptr;

static void ShutdownFirst(std::span<const TInitStep> steps, std::size_t count) {
  while (count > 0) {
    --count;
    if (steps[count].Shutdown) {
      try {
        steps[count].Shutdown();
      } catch (...) {
        // A failing shut-down step must not stop the others.
      }
    }
  }
}

bool RunStartup(std::span<const TInitStep> steps) {
  gStarted = 0;
  for (const TInitStep& step : steps) {
    bool ok = false;
    try {
      ok = !step.Startup || step.Startup();
    } catch (...) {
      ok = false;
    }
    if (!ok) {
      ShutdownFirst(steps, gStarted);
      gStarted = 0;
      return false;
    }
    ++gStarted;
  }
  return true;
}

void RunShutdown(std::span<const TInitStep> steps) {
  ShutdownFirst(steps, gStarted < steps.size() ? gStarted : steps.size());
  gStarted = 0;
}

std::size_t StartedSteps() { return gStarted; }

bool StartCountedUnit(TCountedUnit& AUnit) {
  if (AUnit.Counter++ == 0 && AUnit.Start) {
    try {
      AUnit.Start();
    } catch (...) {
      AUnit.Counter = 0;  // its stop must not run
      throw;
    }
  }
  return true;
}

void StopCountedUnit(TCountedUnit& AUnit) {
  if (AUnit.Counter == 0) return;
  if (--AUnit.Counter == 0 && AUnit.Stop) AUnit.Stop();
}

HINSTANCE ModuleInstance() { return gInstance; }
void SetModuleInstance(HINSTANCE instance) { gInstance = instance; }

}  // namespace tvk
