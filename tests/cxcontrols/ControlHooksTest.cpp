// The control base's hooks around its window: the cursor shown while the
// mouse moves, the focus event, the system scroll-bar size, the place of its
// own bars among the children, invalidation, and the size grip a container
// paints only into an inner control that knows it.
#include "cxContainer.h"
#include "cxControls.h"
#include "cxInnerListBox.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

// Shows a hand over its left half; content taller than the control keeps the
// vertical bar up, wider content the horizontal one.
class THooksTestControl : public TcxControl {
public:
  using TcxControl::TcxControl;
  int ContentWidth = 0;
  int ContentHeight = 0;

protected:
  TCursor GetCurrentCursor(int X, int Y) override {
    return X < Width() / 2 ? crHandPoint : TcxControl::GetCurrentCursor(X, Y);
  }
  void InitScrollBarsParameters() override {
    const RECT r = ClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, ContentWidth - 1, 1, r.right - r.left, 0, true, true);
    SetScrollBarInfo(sbVertical, 0, ContentHeight - 1, 1, r.bottom - r.top, 0, true, true);
  }
};

class ControlHooks : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                            nullptr);
  }
  void TearDown() override {
    DestroyWindow(FHost);
    laf_test::LookAndFeel::TearDown();
  }
  std::unique_ptr<THooksTestControl> MakeControl() {
    auto control = std::make_unique<THooksTestControl>(nullptr);
    control->SetBounds(0, 0, 200, 100);
    control->SetParentWindow(FHost);
    control->HandleNeeded();
    return control;
  }
  HWND FHost = nullptr;
};

void HooksTestMoveTo(TcxControl& AControl, int X, int Y) {
  SendMessageW(AControl.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
}

}  // namespace

TEST_F(ControlHooks, MovingShowsTheCurrentCursorAndKeepsTheControlsOwn) {
  auto control = MakeControl();
  HooksTestMoveTo(*control, 10, 10);
  EXPECT_EQ(crHandPoint, control->Cursor());
  EXPECT_EQ(crDefault, control->DefaultCursor()) << "the shown cursor is not the control's own";
  HooksTestMoveTo(*control, 150, 10);
  EXPECT_EQ(crDefault, control->Cursor());

  control->SetCursor(crCross);
  EXPECT_EQ(crCross, control->DefaultCursor()) << "a cursor set from outside becomes the control's own";
  HooksTestMoveTo(*control, 10, 10);
  HooksTestMoveTo(*control, 150, 10);
  EXPECT_EQ(crCross, control->Cursor());
}

TEST_F(ControlHooks, TakingAndLosingTheFocusRaisesTheEvent) {
  auto control = MakeControl();
  std::vector<TObject*> senders;
  control->OnFocusChanged = [&](TObject* ASender) { senders.push_back(ASender); };
  SendMessageW(control->Handle(), WM_SETFOCUS, 0, 0);
  SendMessageW(control->Handle(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ((std::vector<TObject*>{control.get(), control.get()}), senders);
}

TEST_F(ControlHooks, SystemScrollBarSizeReachesTheBarsAtOnceWhileTheControlLives) {
  TcxSettingsController* settings = GetSettingsController();
  ASSERT_NE(nullptr, settings);
  auto control = MakeControl();
  EXPECT_EQ(1, settings->ListenerCount());
  control->VScrollBar()->SetWidth(5);
  control->HScrollBar()->SetHeight(6);
  ASSERT_TRUE(IsWindow(settings->WindowHandle()));
  SendMessageW(settings->WindowHandle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), control->VScrollBar()->Width());
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), control->HScrollBar()->Height());

  control.reset();
  EXPECT_EQ(0, settings->ListenerCount());
  EXPECT_EQ(nullptr, settings->WindowHandle()) << "the last control leaving takes the hidden window with it";
}

TEST_F(ControlHooks, OwnBarsStayAboveOtherChildrenAndShowAgainAfterPainting) {
  auto control = MakeControl();
  control->ContentWidth = 400;
  control->ContentHeight = 400;
  control->CheckUpdateScrollBars();
  ASSERT_TRUE(control->SizeGrip()->Visible());

  TWinControl other(nullptr);
  other.SetBounds(0, 0, 300, 300);
  other.SetParent(control.get());
  other.HandleNeeded();
  SetWindowPos(other.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_EQ(other.Handle(), GetWindow(control->Handle(), GW_CHILD));
  control->CheckUpdateScrollBars();
  HWND top = GetWindow(control->Handle(), GW_CHILD);
  EXPECT_EQ(control->SizeGrip()->Handle(), top) << "bars, then the grip, come to the front";
  EXPECT_EQ(control->VScrollBar()->Handle(), GetWindow(top, GW_HWNDNEXT));
  EXPECT_EQ(control->HScrollBar()->Handle(), GetWindow(GetWindow(top, GW_HWNDNEXT), GW_HWNDNEXT));
  other.SetParent(nullptr);

  ShowWindow(control->VScrollBar()->Handle(), SW_HIDE);
  HDC dc = GetDC(control->Handle());
  SendMessageW(control->Handle(), WM_PAINT, WPARAM(dc), 0);
  ReleaseDC(control->Handle(), dc);
  EXPECT_TRUE(IsWindowVisible(control->VScrollBar()->Handle())) << "painting refreshes the bars' showing state";
}

namespace {

// Lets the parent's background show through when asked; records the
// invalidate notifications its children send it.
class THooksTestSeeThrough : public TcxControl {
public:
  using TcxControl::BoundsChanged;
  using TcxControl::TcxControl;
  bool SeeThrough = false;
  std::vector<WPARAM> Notifications;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == CM_INVALIDATE) Notifications.push_back(Message.WParam);
    TcxControl::WndProc(Message);
  }

protected:
  bool HasScrollBars() override { return false; }
  bool HasTransparency() override { return SeeThrough; }
};

// A windowed child that says itself whether it is transparent.
class THooksTestAnsweringChild : public TWinControl, public IcxTransparentControl {
public:
  explicit THooksTestAnsweringChild(bool ATransparent) : TWinControl(nullptr), FTransparent(ATransparent) {}
  bool IsTransparent() override { return FTransparent; }

protected:
  bool GetInterface(REFIID iid, void** object) override {
    if (IsEqualGUID(iid, IID_IcxTransparentControl)) {
      *object = static_cast<IcxTransparentControl*>(this);
      return true;
    }
    return TWinControl::GetInterface(iid, object);
  }

private:
  bool FTransparent;
};

bool HooksTestNeedsPaint(HWND AWnd) { return GetUpdateRect(AWnd, nullptr, FALSE) != FALSE; }

}  // namespace

TEST_F(ControlHooks, InvalidatingTellsTheParentAndRepaintsTransparentChildrenOnlyWithTransparency) {
  THooksTestSeeThrough parent(nullptr);
  parent.SetBounds(0, 0, 200, 200);
  parent.SetParentWindow(FHost);
  parent.HandleNeeded();
  THooksTestSeeThrough control(nullptr);
  control.SetBounds(0, 0, 150, 150);
  control.SetParent(&parent);
  TWinControl plain(nullptr), opaque(nullptr);
  THooksTestAnsweringChild clear(true), solid(false);
  opaque.SetControlStyle(opaque.ControlStyle() | csOpaque);
  for (TWinControl* child : {&plain, &opaque, static_cast<TWinControl*>(&clear), static_cast<TWinControl*>(&solid)}) {
    child->SetBounds(0, 0, 20, 20);
    child->SetParent(&control);
  }
  control.HandleNeeded();
  const auto validateAll = [&] { RedrawWindow(parent.Handle(), nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN); };

  validateAll();
  parent.Notifications.clear();
  control.Invalidate();
  EXPECT_EQ(std::vector<WPARAM>{1}, parent.Notifications) << "the parent is told, not repainted";
  EXPECT_FALSE(HooksTestNeedsPaint(parent.Handle()));
  EXPECT_TRUE(HooksTestNeedsPaint(control.Handle()));
  EXPECT_FALSE(HooksTestNeedsPaint(plain.Handle())) << "children are left alone without transparency";

  control.SeeThrough = true;
  validateAll();
  control.Invalidate();
  EXPECT_TRUE(HooksTestNeedsPaint(plain.Handle()));
  EXPECT_FALSE(HooksTestNeedsPaint(opaque.Handle()));
  EXPECT_TRUE(HooksTestNeedsPaint(clear.Handle()));
  EXPECT_FALSE(HooksTestNeedsPaint(solid.Handle())) << "the child's own answer wins over its style";

  for (TWinControl* child : {&plain, &opaque, static_cast<TWinControl*>(&clear), static_cast<TWinControl*>(&solid)})
    child->SetParent(nullptr);
}

TEST_F(ControlHooks, NewBoundsRepaintTheControlOnlyWhenItIsTransparent) {
  THooksTestSeeThrough control(nullptr);
  control.SetBounds(0, 0, 100, 100);
  control.SetParentWindow(FHost);
  control.HandleNeeded();
  for (const bool seeThrough : {false, true}) {
    control.SeeThrough = seeThrough;
    ValidateRect(control.Handle(), nullptr);
    control.BoundsChanged();
    EXPECT_EQ(seeThrough, HooksTestNeedsPaint(control.Handle())) << seeThrough;
  }
}

namespace {

// An inner control that counts the non-client paints its container sends it.
class THooksTestPlainInner : public TWinControl {
public:
  using TWinControl::TWinControl;
  int NcPaints = 0;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_NCPAINT) ++NcPaints;
    TWinControl::WndProc(Message);
  }
};

class THooksTestKnownInner : public THooksTestPlainInner, public IcxContainerInnerControl {
public:
  using THooksTestPlainInner::THooksTestPlainInner;
  TcxContainer* Owner = nullptr;
  TWinControl* GetInnerControl() override { return this; }
  TcxContainer* GetOwnerContainer() override { return Owner; }

protected:
  bool GetInterface(REFIID iid, void** object) override {
    if (IsEqualGUID(iid, IID_IcxContainerInnerControl)) {
      *object = static_cast<IcxContainerInnerControl*>(this);
      return true;
    }
    return THooksTestPlainInner::GetInterface(iid, object);
  }
};

class THooksTestBarsContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;

protected:
  bool HasScrollBars() override { return true; }
};

}  // namespace

TEST_F(ControlHooks, TheGripIsPaintedOnlyIntoAnInnerControlThatKnowsItsContainer) {
  for (const bool known : {false, true}) {
    THooksTestBarsContainer container(nullptr);
    container.SetBounds(10, 10, 200, 150);
    container.SetParentWindow(FHost);
    THooksTestKnownInner knownInner(nullptr);
    THooksTestPlainInner plainInner(nullptr);
    THooksTestPlainInner& inner = known ? knownInner : plainInner;
    knownInner.Owner = &container;
    inner.SetBounds(0, 0, 200, 150);
    inner.SetParent(&container);
    container.SetInnerControl(&inner);
    container.HandleNeeded();
    container.HScrollBar()->SetBounds(0, 130, 180, 20);
    container.VScrollBar()->SetBounds(180, 0, 20, 130);
    container.HScrollBar()->SetVisible(true);
    container.VScrollBar()->SetVisible(true);
    inner.NcPaints = 0;
    container.SetScrollBarsParameters(true);
    EXPECT_EQ(known ? 1 : 0, inner.NcPaints) << known;

    auto* active = Supports<IcxContainerActiveControl>(&container, IID_IcxContainerActiveControl);
    ASSERT_NE(nullptr, active);
    EXPECT_EQ(&inner, active->GetActiveControl());
    if (known) {
      const RECT grip = GetSizeGripBounds(&knownInner);
      RECT window{};
      GetWindowRect(inner.Handle(), &window);
      POINT corner{180, 130};
      ClientToScreen(container.Handle(), &corner);
      const RECT expected{corner.x - window.left, corner.y - window.top, corner.x - window.left + 20,
                          corner.y - window.top + 20};
      EXPECT_TRUE(EqualRect(&expected, &grip)) << "in the inner control's window coordinates";
      container.VScrollBar()->SetVisible(false);
      const RECT none = GetSizeGripBounds(&knownInner);
      EXPECT_TRUE(IsRectEmpty(&none)) << "no grip with one bar";
    }
    container.SetInnerControl(nullptr);
    inner.SetParent(nullptr);
  }
}

TEST_F(ControlHooks, TheInnerListBoxKnowsItsContainer) {
  THooksTestBarsContainer container(nullptr);
  TcxCustomInnerListBox list(nullptr);
  list.SetContainer(&container);
  auto* inner = Supports<IcxContainerInnerControl>(&list, IID_IcxContainerInnerControl);
  ASSERT_NE(nullptr, inner);
  EXPECT_EQ(&list, inner->GetInnerControl());
  EXPECT_EQ(&container, inner->GetOwnerContainer());
}
