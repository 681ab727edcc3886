// Messages of the inner control that the container takes: its key-downs that
// are a menu short cut, and what the inner control's default handling leaves
// over for a descendant.
#include "cxContainer.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tvk;

namespace {

class TShortCutMenu : public TComponent, public IcxPopupMenu {
public:
  using TComponent::TComponent;
  bool IsShortCut(TMessage& Message) override { return Message.WParam == 'Q'; }
  void Popup(int, int) override {}

protected:
  bool GetInterface(REFIID iid, void** object) override {
    if (!IsEqualGUID(iid, IID_IcxPopupMenu)) return TComponent::GetInterface(iid, object);
    *object = static_cast<IcxPopupMenu*>(this);
    return true;
  }
};

class TLeftOverContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  UINT LeftOver = 0;

protected:
  bool DoInnerControlDefaultHandler(TMessage& Message) override {
    LeftOver = Message.Msg;
    return true;
  }
};

class ContainerInnerMessages : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
    FContainer = std::make_unique<TLeftOverContainer>(nullptr);
    FContainer->SetBounds(10, 10, 120, 40);
    FContainer->SetParentWindow(FHost);
    FInner = std::make_unique<TWinControl>(nullptr);
  }
  void TearDown() override {
    FContainer->SetInnerControl(nullptr);
    FInner.reset();
    FContainer.reset();
    DestroyWindow(FHost);
    laf_test::LookAndFeel::TearDown();
  }
  HWND FHost = nullptr;
  std::unique_ptr<TLeftOverContainer> FContainer;
  std::unique_ptr<TWinControl> FInner;
};

}  // namespace

TEST_F(ContainerInnerMessages, AKeyDownThatIsAMenuShortCutIsTaken) {
  TShortCutMenu menu(nullptr);
  FContainer->SetPopupMenu(&menu);
  struct Case {
    UINT Msg;
    WPARAM Key;
    bool Taken;
  };
  for (const Case c : {Case{CN_KEYDOWN, 'Q', true}, Case{CN_SYSKEYDOWN, 'Q', true}, Case{CN_KEYDOWN, 'W', false},
                       Case{WM_KEYDOWN, 'Q', false}, Case{WM_CHAR, 'Q', false}}) {
    TMessage message{c.Msg, c.Key, 0, 0};
    EXPECT_EQ(c.Taken, FContainer->InnerControlMenuHandler(message)) << std::hex << c.Msg << " " << c.Key;
    EXPECT_EQ(c.Taken ? 1 : 0, message.Result);
  }
  FContainer->SetPopupMenu(nullptr);
}

TEST_F(ContainerInnerMessages, LeftOverMessagesReachTheDescendantOnlyWhileTheInnerControlHasAWindow) {
  FContainer->SetInnerControl(FInner.get());
  TMessage message{WM_CUT, 0, 0, 0};
  ASSERT_FALSE(FInner->HandleAllocated());
  EXPECT_FALSE(FContainer->InnerControlDefaultHandler(message)) << "no window yet";
  EXPECT_EQ(0u, FContainer->LeftOver);
  FInner->SetParent(FContainer.get());
  FContainer->HandleNeeded();
  FInner->HandleNeeded();
  EXPECT_TRUE(FContainer->InnerControlDefaultHandler(message));
  EXPECT_EQ(UINT(WM_CUT), FContainer->LeftOver);
}
