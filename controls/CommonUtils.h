#pragma once
// Window helpers of the styled controls: a hidden window wrapped as an object,
// the monitor lookup that keeps pop-ups on screen, and the code-hook writer
// that redirects a system function of this process to a replacement.
#include "Classes.h"
#include "WindowClasses.h"

#include <array>
#include <cstdint>
#include <memory>

namespace tvk {

using TMessageEvent = std::function<void(TMessage& message, bool& handled)>;

// A hidden top-level window (so that it hears what the system broadcasts,
// such as WM_SYSCOLORCHANGE) whose messages go to OnMessage first; what it
// leaves unhandled gets the default window processing.
class TCustomWndProcObject : public TObject {
public:
  TVK_CLASS(TCustomWndProcObject, TObject)
  TCustomWndProcObject();
  ~TCustomWndProcObject() override;
  HWND Handle() const { return FWnd ? FWnd->Handle() : nullptr; }
  TMessageEvent OnMessage;

private:
  std::unique_ptr<TMessageWindow> FWnd;
};

// Info of the monitor nearest to Point (rcMonitor is the whole screen of it);
// all zero when there is none.
void GetMonitorInfoAtPoint(const POINT& point, MONITORINFO& info);

// A patched entry point: its first five bytes as they were, and where the
// jump lands when the replacement is out of a 32-bit displacement's reach.
struct TCodeHook {
  void* Address = nullptr;  // the patched entry point; null when no patch is in place
  std::array<std::uint8_t, 5> SavedBytes{};
  void* Relay = nullptr;    // an absolute jump to the replacement, within reach of Address
};

// Puts a five-byte relative jump (0xE9 and a 32-bit displacement) to
// Replacement at Target, written with WriteProcessMemory. Where Replacement
// is too far for the displacement (64-bit), the jump goes to a relay placed
// within reach; without one nothing is written. False, Address null, when
// the write fails.
bool InstallCodeHook(void* target, const void* replacement, TCodeHook& hook);
// Writes the saved bytes back and frees the relay; Address keeps its value,
// so the record can be installed again. Nothing when Address is null.
void RemoveCodeHook(TCodeHook& hook);

}  // namespace tvk
