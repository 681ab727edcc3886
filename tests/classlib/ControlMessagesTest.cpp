// Control messages the styled controls rely on: the mouse entering and
// leaving, and a client-area print painted as WM_PAINT into the given context.
#include <gtest/gtest.h>

#include "Forms.h"

using namespace tvk;

namespace {

class Recorder : public TCustomControl {
public:
  TVK_CLASS(Recorder, TCustomControl)
  using TCustomControl::TCustomControl;
  std::vector<UINT> Seen;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE) Seen.push_back(message.Msg);
    TCustomControl::WndProc(message);
  }
  void Paint() override {
    Canvas().Brush().SetColor(clLime);
    Canvas().FillRect(RECT{0, 0, 10, 10});
  }
};

TEST(ControlMessages, MouseEnterOnceThenLeave) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* control = new Recorder(form.get());
  control->SetParent(form.get());
  control->SetBounds(0, 0, 10, 10);
  control->HandleNeeded();
  SendMessageW(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageW(control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageW(control->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ((std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE}), control->Seen);
}

TEST(ControlMessages, PrintClientPaintsIntoTheGivenContext) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* control = new Recorder(form.get());
  control->SetParent(form.get());
  control->SetBounds(0, 0, 10, 10);
  control->HandleNeeded();
  TBitmap target;
  target.SetSize(10, 10);
  SendMessageW(control->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), PRF_CLIENT);
  EXPECT_EQ(clLime, target.Canvas().Pixel(5, 5));
}

}  // namespace
