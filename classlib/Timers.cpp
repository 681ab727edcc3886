#include "Timers.h"

namespace tvk {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(TComponent* owner)
    : TComponent(owner), FWindow(this, [this](TMessage& m) {
        if (m.Msg != WM_TIMER) return false;
        Timer();
        return true;
      }) {}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  if (FRunning) KillTimer(FWindow.Handle(), kTimerId);
  FRunning = false;
  if (FEnabled && FInterval != 0 && FOnTimer) {
    if (!SetTimer(FWindow.Handle(), kTimerId, FInterval, nullptr)) RaiseLastOSError(L"Not enough timers available");
    FRunning = true;
  }
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == FInterval) return;
  FInterval = milliseconds;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  FOnTimer = std::move(handler);
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && FOnTimer) FOnTimer(this);
}

}  // namespace tvk
