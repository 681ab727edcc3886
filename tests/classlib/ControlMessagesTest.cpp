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

struct ControlMessages : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  Recorder* Control = new Recorder(Form.get());
  ControlMessages() {
    Control->SetParent(Form.get());
    Control->SetBounds(0, 0, 10, 10);
    Control->HandleNeeded();
  }
};

TEST_F(ControlMessages, MouseEnterOnceThenLeave) {
  SendMessageW(Control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageW(Control->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  SendMessageW(Control->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ((std::vector<UINT>{CM_MOUSEENTER, CM_MOUSELEAVE}), Control->Seen);
}

TEST_F(ControlMessages, PrintClientPaintsIntoTheGivenContext) {
  TBitmap target;
  target.SetSize(10, 10);
  SendMessageW(Control->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), PRF_CLIENT);
  EXPECT_EQ(clLime, target.Canvas().Pixel(5, 5));
}

}  // namespace
