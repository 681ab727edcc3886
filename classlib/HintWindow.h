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

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

}  // namespace tvk
