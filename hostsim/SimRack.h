#pragma once
// The host's rack: a real window that holds an instrument view's form (the
// host's IExternalFormHolder: 69 GetHandle, 71 CaptionChanged) and notes the
// mouse presses it gets. And the host's way to drive a module's windows with
// real messages: a control is found by its component name through the
// module's component query, then pressed where it lies.
//
//   hostsim::SimRef<hostsim::SimRack> rack = hostsim::SimRack::Make();
//   CallModule(view, 49, {ArgObject(rack.Get())});   // SetParentWindow
//   hostsim::ClickModuleControl(rack->Window(), L"Button_Continue");
#include "SimHost.h"

#include <string>
#include <vector>

namespace hostsim {

struct RackMouseMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

class SimRack : public FakeHostObject {
public:
  // A top-level window of Width x Height client pixels, shown when Visible.
  static SimRef<SimRack> Make(int width = 760, int height = 160, bool visible = true);
  ~SimRack() override;

  HWND Window() const { return FWindow; }
  // The presses (left, right, middle button down) the window got, in order.
  const std::vector<RackMouseMessage>& MouseMessages() const { return FMouse; }
  void ClearMouseMessages() { FMouse.clear(); }

private:
  SimRack(int width, int height, bool visible);
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND FWindow = nullptr;
  std::vector<RackMouseMessage> FMouse;
};

// The window under Root (or Root) whose module control, or one of its
// windowless controls, is named Name; Bounds gets where the control lies in
// that window's client area. Null when no window answers.
HWND FindModuleControl(HWND root, const std::wstring& name, RECT* bounds = nullptr);
// A press and release of Button (WM_LBUTTONDOWN, WM_RBUTTONDOWN or
// WM_MBUTTONDOWN) at the middle of the named control; false when not found.
bool ClickModuleControl(HWND root, const std::wstring& name, UINT button = WM_LBUTTONDOWN);

// Runs the window messages waiting now (and posted while they run).
void PumpMessages();

}  // namespace hostsim
