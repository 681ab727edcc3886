#pragma once
// A window timer as a component: OnTimer every Interval milliseconds while
// Enabled, through a hidden window of its own (inside the boundary guard).
#include "Classes.h"
#include "WindowClasses.h"

namespace tvk {

class TTimer : public TComponent {
public:
  TVK_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned milliseconds);
  // Runs only while Enabled, Interval is not 0 and OnTimer is set.
  void SetOnTimer(TNotifyEvent handler);
  // Whether the system timer runs now.
  bool Running() const { return FRunning; }
  // The hidden window that receives WM_TIMER.
  HWND WindowHandle() const { return FWindow.Handle(); }

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  TMessageWindow FWindow;
  TNotifyEvent FOnTimer;
  unsigned FInterval = 1000;
  bool FEnabled = true;
  bool FRunning = false;
};

}  // namespace tvk
