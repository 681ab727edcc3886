// Control messages the styled controls rely on: the mouse entering and
// leaving, and a client-area print painted as WM_PAINT into the given context.
#include <gtest/gtest.h>

#include "Forms.h"
#include "Menus.h"
#include "support/Rects.h"

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

TEST_F(ControlMessages, TheNearestPopupMenuOpensAtTheClickOrAtTheControlForTheMenuKey) {
  TPopupMenu menu(nullptr);
  Form->SetPopupMenu(&menu);
  std::vector<POINT> shown;
  TComponent* shownFor = nullptr;
  SetPopupMenuShow([&](TPopupMenu& m, int x, int y) {
    EXPECT_EQ(&menu, &m);
    shownFor = m.PopupComponent();
    shown.push_back(POINT{x, y});
  });
  Form->Show();
  EXPECT_EQ(1, SendMessageW(Control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control->Handle()),
                            MAKELPARAM(120, 130)));
  SendMessageW(Control->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control->Handle()), MAKELPARAM(-1, -1));
  SetPopupMenuShow(nullptr);
  ASSERT_EQ(2u, shown.size());
  EXPECT_EQ(120, shown[0].x);
  EXPECT_EQ(130, shown[0].y);
  const POINT origin = Control->ClientToScreen(POINT{0, 0});
  EXPECT_EQ(origin.x, shown[1].x);
  EXPECT_EQ(origin.y, shown[1].y);
  EXPECT_EQ(Control, shownFor);
}

TEST(ShortCuts, KeyAndShiftStatesMakeOneWordAndComeBackFromIt) {
  struct Row {
    WORD Key;
    TShiftState Shift;
    TShortCut Expected;
  };
  static constexpr Row kRows[] = {
      {'A', 0, 0x0041}, {'S', ssCtrl, 0x4053}, {VK_F10, ssShift, 0x2079}, {VK_DELETE, ssCtrl | ssAlt, 0xC02E},
      {VK_INSERT, ssShift | ssCtrl | ssAlt, 0xE02D}};
  for (const Row& row : kRows) {
    const TShortCut shortCut = ShortCut(row.Key, row.Shift);
    EXPECT_EQ(row.Expected, shortCut) << row.Key;
    WORD key = 0;
    TShiftState shift = 0;
    ShortCutToKey(shortCut, key, shift);
    EXPECT_EQ(row.Key, key);
    EXPECT_EQ(row.Shift, shift);
  }
  EXPECT_EQ(scNone, ShortCut(0x0141, 0));  // not a virtual key
}

// A host program finds the module's controls by their names: windowed ones as
// their own windows, windowless ones as a rectangle of their parent's window.
TEST_F(ControlMessages, ControlsAreFoundByComponentNameFromTheirWindows) {
  Form->SetName(L"Host_Form");
  Control->SetName(L"Panel_Inner");
  Control->SetBounds(20, 10, 60, 40);
  auto* windowless = new TGraphicControl(Form.get());
  windowless->SetName(L"Button_Step");
  windowless->SetBounds(5, 6, 30, 12);
  windowless->SetParent(Control);
  Form->HandleNeeded();
  RECT bounds{};
  EXPECT_EQ(Form->Handle(), FindComponentWindow(Form->Handle(), L"host_form", &bounds));
  EXPECT_EQ(Control->Handle(), FindComponentWindow(Form->Handle(), L"Panel_Inner", &bounds));
  EXPECT_EQ((RECT{0, 0, 60, 40}), bounds);
  EXPECT_EQ(Control->Handle(), FindComponentWindow(Form->Handle(), L"BUTTON_STEP", &bounds));
  EXPECT_EQ((RECT{5, 6, 35, 18}), bounds);
  for (const wchar_t* missing : {L"Button_Ste", L""})
    EXPECT_EQ(nullptr, FindComponentWindow(Form->Handle(), missing, &bounds)) << missing;
  EXPECT_EQ(nullptr, FindComponentWindow(nullptr, L"Panel_Inner"));
}
