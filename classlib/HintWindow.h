#pragma once
// The hint window: a small top-level pop-up with a text, shown without
// taking the activation.
#include "Controls.h"

namespace tvk {

class THintWindow : public TCustomControl {
public:
  TVK_CLASS(THintWindow, TCustomControl)
  explicit THintWindow(TComponent* owner);
  // Shows Hint in Rect (screen coordinates) above every window.
  virtual void ActivateHint(const RECT& rect, const WideString& hint);
  // Hides the window.
  void ReleaseHandle();
  // The rectangle (at 0, 0) the window needs to show Hint at most MaxWidth wide.
  virtual RECT CalcHintRect(int maxWidth, const WideString& hint);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

// The hint-window class hints are shown with; a program may put its own in place.
TComponentClass HintWindowClass();
// Null puts THintWindow back.
void SetHintWindowClass(TComponentClass windowClass);

}  // namespace tvk
