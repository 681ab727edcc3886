#pragma once
// Drives a module's modal windows the way a user would, through windows
// alone: a thread timer of the user-interface thread runs one step per tick
// inside whatever message loop is running (the dialog's, a message box's, a
// job's own pumping). Controls are found by their component name; clicks are
// mouse messages at the control's centre, typing is WM_CHAR, keys go to the
// focused window, and message boxes are read and answered with their
// buttons. Every tick counts against a step limit: a stuck script fails,
// closes what is open and never hangs.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace hostsim {

class SimScript {
public:
  explicit SimScript(int tickLimit = 3000, UINT intervalMs = 5);
  ~SimScript();
  SimScript(const SimScript&) = delete;
  SimScript& operator=(const SimScript&) = delete;

  // A step answers true when done; false tries again on the next tick.
  using Step = std::function<bool(SimScript&)>;

  // Clicks the enabled control named Component (waits for it).
  SimScript& Click(const std::wstring& component);
  // Focuses the edit named Component, empties it and types Text as WM_CHAR.
  SimScript& Type(const std::wstring& component, const std::wstring& text);
  // Focuses the edit named Component and replaces its text with Text in one
  // change, as a paste over the whole text does.
  SimScript& Paste(const std::wstring& component, const std::wstring& text);
  // Focuses the list named Component and moves through it with Home and Down
  // until it shows Text; fails when it reaches its end first.
  SimScript& Choose(const std::wstring& component, const std::wstring& text);
  // A key down and up at the focused window (none focused: the active one).
  SimScript& Key(WORD virtualKey);
  // Waits for the shown control named Component and notes the lines Reader
  // reads from its window (a self-painted list: the program that links the
  // window's code knows how to read it).
  using Reader = std::function<std::vector<std::wstring>(HWND)>;
  SimScript& Read(const std::wstring& component, Reader reader);
  // Waits for the next message box, notes its caption and text and presses
  // Button (IDOK, IDCANCEL).
  SimScript& Box(int button);
  // Waits until Ready answers true.
  SimScript& WaitFor(std::wstring what, std::function<bool()> ready);
  // Runs Action once.
  SimScript& Do(std::function<void()> action);
  SimScript& Add(std::wstring what, Step step);

  // Starts the timer; the steps run in the loops that follow.
  void Start();
  bool Finished() const { return FNext >= FSteps.size(); }
  bool Failed() const { return !FFailure.empty(); }
  const std::wstring& Failure() const { return FFailure; }
  int Ticks() const { return FTicks; }

  struct TBox {
    std::wstring Caption, Text;
  };
  const std::vector<TBox>& Boxes() const { return FBoxes; }
  // What each Read step read, in order.
  const std::vector<std::vector<std::wstring>>& Readings() const { return FReadings; }
  // Told of every step as it is done and of every box.
  std::function<void(const std::wstring&)> OnLog;

  // The window of the control named Component in a visible top-level window
  // of this thread (null: none), and the control's rectangle in it.
  static HWND FindControl(const std::wstring& component, RECT* bounds = nullptr);
  // A window's text (WM_GETTEXT).
  static std::wstring WindowText(HWND window);
  // The message box of this thread now shown (null: none).
  static HWND FindMessageBox();

private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
  void Tick();
  void Log(const std::wstring& text);
  // After a failure: every box is cancelled and every window closed.
  void Unwind();

  struct TStep {
    std::wstring What;
    Step Run;
  };
  std::vector<TStep> FSteps;
  std::size_t FNext = 0;
  int FTicks = 0, FTickLimit;
  UINT FInterval;
  UINT_PTR FTimer = 0;
  std::wstring FFailure;
  std::vector<TBox> FBoxes;
  std::vector<std::vector<std::wstring>> FReadings;
};

}  // namespace hostsim
