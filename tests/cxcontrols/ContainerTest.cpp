// The container: its state and the style it picks, the border extent, the
// hot-track border colours, the window region set only when it changes, keys
// forwarded to the inner control and a caption too long for window creation.
#include "Forms.h"
#include "cxContainer.h"
#include "dxOffice11.h"
#include "lookandfeel/LookAndFeelTest.h"
#include "RefreshCountingContainer.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

class TRecordingInner : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::vector<UINT> Keys;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_CHAR || Message.Msg == WM_KEYUP) {
      Keys.push_back(Message.Msg);
      Message.Result = 7;
      return;
    }
    TWinControl::WndProc(Message);
  }
};

class Container : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                            nullptr);
    FContainer = std::make_unique<TcxContainer>(nullptr);
    FContainer->SetBounds(10, 10, 120, 40);
    FContainer->SetParentWindow(FHost);
    // The plain border, whatever visual style the system has.
    FContainer->Style()->LookAndFeel()->SetNativeStyle(false);
  }
  void TearDown() override {
    FContainer.reset();
    DestroyWindow(FHost);
    laf_test::LookAndFeel::TearDown();
  }
  void Refresh(POINT P, bool AMouse = true) { FContainer->UpdateHotTrackState(P, cxmbNone, AMouse, 0); }

  HWND FHost = nullptr;
  std::unique_ptr<TcxContainer> FContainer;
};

}  // namespace

TEST_F(Container, StatePicksTheStyle) {
  FContainer->HandleNeeded();
  struct Case {
    bool Enabled;
    POINT P;
    TcxContainerState State;
  };
  for (const Case c : {Case{true, {-1, -1}, cxStateBit(csNormal)},
                       Case{true, {50, 20}, TcxContainerState(cxStateBit(csNormal) | cxStateBit(csHotTrack))},
                       Case{true, {500, 20}, cxStateBit(csNormal)}, Case{false, {50, 20}, cxStateBit(csDisabled)}}) {
    FContainer->SetEnabled(c.Enabled);
    Refresh(c.P);
    EXPECT_EQ(c.State, FContainer->ViewInfo().ContainerState) << c.P.x << " enabled " << c.Enabled;
  }
  EXPECT_EQ(FContainer->StyleDisabled(), FContainer->GetActiveStyle());
  FContainer->SetEnabled(true);
  Refresh({50, 20});
  EXPECT_EQ(FContainer->StyleHot(), FContainer->GetActiveStyle());
  FContainer->Style()->SetHotTrack(false);
  Refresh({50, 20});
  EXPECT_EQ(chsNoHotTrack, FContainer->ViewInfo().HotState);
  EXPECT_EQ(FContainer->Style(), FContainer->GetActiveStyle()) << "without hot tracking the hot style is not used";
}

TEST_F(Container, BorderExtentByTransparencyEdgesAndShadow) {
  FContainer->HandleNeeded();
  const int single = GetStandardContainerBorderWidth(cbsSingle);
  ASSERT_GT(single, 0);
  struct Case {
    bool Transparent, Shadow;
    TcxBorders Edges;
    RECT Extent;
  };
  for (const Case c : {Case{true, false, cxBordersAll, {2, 2, 2, 2}}, Case{true, true, cxBordersAll, {2, 2, 5, 5}},
                       Case{false, false, cxBordersAll, {single, single, single, single}},
                       Case{false, false, bLeft | bBottom, {single, 0, 0, single}},
                       Case{false, true, bTop, {0, single, 3, 3}}}) {
    FContainer->Style()->SetBorderStyle(cbsSingle);
    FContainer->Style()->SetTransparentBorder(c.Transparent);
    FContainer->Style()->SetShadow(c.Shadow);
    FContainer->Style()->SetEdges(c.Edges);
    Refresh({-1, -1});
    const RECT e = FContainer->GetBorderExtent();
    EXPECT_TRUE(EqualRect(&e, &c.Extent)) << c.Transparent << c.Shadow << " " << e.left << "," << e.top << ","
                                          << e.right << "," << e.bottom;
    const RECT& br = FContainer->ViewInfo().BorderRect;
    EXPECT_EQ(c.Extent.left, br.left);
    EXPECT_EQ(120 - c.Extent.right, br.right);
    if (c.Shadow) {
      const RECT visible = FContainer->GetVisibleBounds();
      EXPECT_LE(visible.right, 120 - 3) << "the shadow is not part of the hot-track bounds";
    }
  }
}

TEST_F(Container, UltraFlatAndOffice11DrawSingleLinesInTheHotTrackColour) {
  FContainer->HandleNeeded();
  for (const TcxContainerBorderStyle style : {cbsUltraFlat, cbsOffice11}) {
    FContainer->Style()->SetBorderStyle(style);
    Refresh({-1, -1});
    EXPECT_EQ(cbsSingle, FContainer->ViewInfo().BorderStyle);
    EXPECT_EQ(clBtnShadow, FContainer->ViewInfo().BorderColor) << "not hot";
    Refresh({50, 20});
    const TColor hot = style == cbsOffice11 ? Office11SchemeColor(22) : clHighlight;
    EXPECT_EQ(hot, FContainer->ViewInfo().BorderColor) << style;
  }
  FContainer->Style()->SetBorderStyle(cbs3D);
  FContainer->Style()->SetBorderColor(clRed);
  Refresh({-1, -1});
  EXPECT_EQ(clRed, FContainer->ViewInfo().BorderColor);
}

TEST_F(Container, AnUnchangedWindowRegionIsNotSetAgain) {
  FContainer->Style()->SetShadow(true);
  FContainer->HandleNeeded();
  Refresh({-1, -1});
  const int sets = cxContainerWindowRegionSetCount();
  for (int i = 0; i < 20; ++i) Refresh({-1, -1});
  EXPECT_EQ(sets, cxContainerWindowRegionSetCount());
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_NE(ERROR, GetWindowRgn(FContainer->Handle(), region)) << "the shadow shapes the window";
  DeleteObject(region);
  FContainer->Style()->SetShadow(false);
  EXPECT_EQ(sets + 1, cxContainerWindowRegionSetCount()) << "the style change reshapes the window";
  Refresh({-1, -1});
  EXPECT_EQ(sets + 1, cxContainerWindowRegionSetCount());
}

TEST_F(Container, KeysGoToTheInnerControl) {
  TRecordingInner inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  FContainer->HandleNeeded();
  EXPECT_EQ(7, FContainer->Perform(WM_CHAR, 'a', 0));
  EXPECT_EQ(7, FContainer->Perform(CN_KEYDOWN, VK_LEFT, 0));
  EXPECT_EQ(7, FContainer->Perform(WM_KEYUP, VK_LEFT, 0));
  EXPECT_EQ((std::vector<UINT>{WM_CHAR, WM_KEYDOWN, WM_KEYUP}), inner.Keys);
  const RECT& client = FContainer->ViewInfo().ClientRect;
  EXPECT_EQ(client.left, inner.Left()) << "the inner control sits in the client rectangle";
  EXPECT_EQ(client.right - client.left, inner.Width());
  EXPECT_EQ(0, FContainer->Perform(WM_NCPAINT, 1, 0));
  inner.SetParent(nullptr);
}

TEST_F(Container, FreedInnerControlIsForgotten) {
  auto* inner = new TRecordingInner(nullptr);
  FContainer->SetInnerControl(inner);
  delete inner;
  EXPECT_EQ(nullptr, FContainer->InnerControl());
  FContainer->HandleNeeded();
  EXPECT_EQ(0, FContainer->Perform(WM_CHAR, 'a', 0)) << "no inner control, no forwarding";
}

TEST_F(Container, CaptionTooLongForWindowCreationStillReachesTheWindow) {
  FContainer->SetCaption(WideString(65536, L'x'));
  FContainer->HandleNeeded();
  EXPECT_EQ(65536, GetWindowTextLengthW(FContainer->Handle()));
}

TEST_F(Container, LocksNeverDropBelowZero) {
  FContainer->LockAlignControls(false);
  FContainer->LockPopupMenu(false);
  EXPECT_EQ(0, FContainer->AlignControlsLockCount());
  EXPECT_EQ(0, FContainer->PopupMenuLockCount());
  FContainer->LockPopupMenu(true);
  EXPECT_EQ(1, FContainer->PopupMenuLockCount());
}

TEST_F(Container, AContextMenuWaitsForTheLockAndAPlaceThatAllowsIt) {
  class TCountingMenu : public TComponent, public IcxPopupMenu {
  public:
    using TComponent::TComponent;
    bool IsShortCut(TMessage&) override { return false; }
    void Popup(int, int) override { ++Shown; }
    int Shown = 0;

  protected:
    bool GetInterface(REFIID iid, void** object) override {
      if (!IsEqualGUID(iid, IID_IcxPopupMenu)) return TComponent::GetInterface(iid, object);
      *object = static_cast<IcxPopupMenu*>(this);
      return true;
    }
  };
  class TPlacedContainer : public TcxContainer {
  public:
    using TcxContainer::TcxContainer;
    bool Refuses = false;

  protected:
    bool CanShowContextPopupAt(POINT) override { return !Refuses; }
  };
  TCountingMenu menu(nullptr);
  TPlacedContainer container(nullptr);
  container.SetBounds(10, 60, 120, 40);
  container.SetParentWindow(FHost);
  container.SetPopupMenu(&menu);
  const POINT inside = container.ClientToScreen({5, 5});
  const LPARAM atMouse = MAKELPARAM(inside.x, inside.y), fromKeyboard = MAKELPARAM(0xFFFF, 0xFFFF);
  struct Case {
    bool Locked, Refuses;
    LPARAM At;
    int Shown;
  };
  for (const Case c : {Case{false, false, atMouse, 1}, Case{false, true, atMouse, 0}, Case{false, true, fromKeyboard, 1},
                       Case{true, false, atMouse, 0}, Case{true, false, fromKeyboard, 0}}) {
    SCOPED_TRACE(testing::Message() << "locked " << c.Locked << " refuses " << c.Refuses << " keyboard "
                                    << (c.At == fromKeyboard));
    container.LockPopupMenu(c.Locked);
    container.Refuses = c.Refuses;
    menu.Shown = 0;
    EXPECT_EQ(1, container.Perform(WM_CONTEXTMENU, WPARAM(container.Handle()), c.At)) << "taken either way";
    EXPECT_EQ(c.Shown, menu.Shown);
    container.LockPopupMenu(false);
  }
}

TEST(ContainerRoutines, FrameStripsAndRectShrinking) {
  RECT r{0, 0, 100, 50};
  ShrinkRectOutsideEdges(r, 2, bLeft | bBottom);
  const RECT expected{0, 2, 98, 50};
  EXPECT_TRUE(EqualRect(&r, &expected));
  EXPECT_EQ(clBtnShadow, GetHotTrackBorderColor(false, true));
  EXPECT_EQ(clHighlight, GetHotTrackBorderColor(true, false));
  EXPECT_EQ(nullptr, BuildShadowRegion({0, 0, 10, 10}, {}, {}, false, false));
  EXPECT_EQ(nullptr, BuildShadowRegion({0, 0, 10, 10}, {}, {}, true, true));
  std::unique_ptr<TcxRegion> shadow(BuildShadowRegion({0, 0, 10, 10}, {}, {}, true, false));
  ASSERT_NE(nullptr, shadow);
  EXPECT_TRUE(PtInRegion(shadow->Handle(), 12, 12));
  EXPECT_FALSE(PtInRegion(shadow->Handle(), 12, 1));
}

TEST_F(Container, AColourSetOnTheControlBecomesTheNormalStylesOwnAndFlowsBack) {
  FContainer->HandleNeeded();
  EXPECT_FALSE(FContainer->Style()->AssignedValues() & cxStyleValueBit(svColor));
  FContainer->SetColor(clRed);
  EXPECT_EQ(clRed, FContainer->Style()->Color());
  EXPECT_TRUE(FContainer->Style()->AssignedValues() & cxStyleValueBit(svColor));
  FContainer->Style()->SetColor(clBlue);
  EXPECT_EQ(clBlue, FContainer->Color()) << "the style's colour reaches the control";
  EXPECT_EQ(clBlue, FContainer->Style()->Color()) << "and does not come back changed";
}

TEST_F(Container, AFontSetOnTheControlIsKeptWhenTheStyleRefreshes) {
  FContainer->HandleNeeded();
  FContainer->Font().SetSize(17);
  EXPECT_EQ(17, FContainer->Style()->Font()->Size()) << "the font flows into the normal style";
  EXPECT_TRUE(FContainer->Style()->AssignedValues() & cxStyleValueBit(svFont));
  FContainer->Style()->ControllerStyleChanged();
  EXPECT_EQ(17, FContainer->Style()->Font()->Size()) << "not reset to the default font";
  EXPECT_EQ(17, FContainer->Font().Size());
  FContainer->Style()->Font()->SetSize(9);
  EXPECT_EQ(9, FContainer->Font().Size()) << "the style's font reaches the control";
}

TEST_F(Container, AFontThatCameWithParentFontStaysTheParents) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 300, 200);
  parent.SetParentWindow(FHost);
  parent.Font().SetSize(13);
  FContainer->SetParent(&parent);
  FContainer->HandleNeeded();
  FContainer->SetParentFont(true);
  EXPECT_EQ(13, FContainer->Font().Size());
  EXPECT_EQ(13, FContainer->Style()->Font()->Size());
  EXPECT_FALSE(FContainer->Style()->AssignedValues() & cxStyleValueBit(svFont));
  EXPECT_TRUE(FContainer->ParentFont());
  FContainer->Style()->ControllerStyleChanged();
  EXPECT_EQ(13, FContainer->Font().Size()) << "a container with ParentFont keeps the font it was given";
  EXPECT_TRUE(FContainer->ParentFont()) << "the style's refresh does not make the font the container's own";
  FContainer->SetParent(nullptr);
}

// What a change of the parent's colour or font leaves in the normal style.
TEST_F(Container, ParentColourAndFontChangesKeepOnlyTheStylesOwnValues) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 300, 200);
  parent.SetParentWindow(FHost);
  parent.SetColor(clBtnFace);
  const int defaultSize = FContainer->Font().Size();
  struct Case {
    const char* Name;
    bool ParentColor, OwnColor, ParentFont, OwnFont;
    TColor Color;  // the container's colour after the parent turned clMaroon
    bool ColorAssigned;
    int FontSize;  // the container's font size after the parent's became 15
    bool FontAssigned;
  };
  for (const Case c : {
           Case{"follows the parent", true, false, true, false, clMaroon, false, 15, false},
           Case{"keeps its own", false, true, false, true, clNavy, true, 11, true},
           Case{"neither own nor the parent's", false, false, false, false, clWindow, false, defaultSize, false},
           Case{"ParentColor turned on after an own colour", true, true, true, true, clMaroon, false, 15, false},
       }) {
    SCOPED_TRACE(c.Name);
    FContainer = std::make_unique<TcxContainer>(nullptr);
    FContainer->SetBounds(10, 10, 120, 40);
    FContainer->SetParent(&parent);
    FContainer->HandleNeeded();
    if (c.OwnColor) FContainer->SetColor(clNavy);
    if (c.OwnFont) FContainer->Font().SetSize(11);
    FContainer->SetParentColor(c.ParentColor);
    FContainer->SetParentFont(c.ParentFont);
    parent.SetColor(clMaroon);
    parent.Font().SetSize(15);
    TcxContainerStyle* style = FContainer->Style();
    EXPECT_EQ(c.Color, FContainer->Color());
    EXPECT_EQ(c.Color, style->Color());
    EXPECT_EQ(c.ColorAssigned, (style->AssignedValues() & cxStyleValueBit(svColor)) != 0);
    EXPECT_EQ(c.FontSize, FContainer->Font().Size());
    EXPECT_EQ(c.FontSize, style->Font()->Size());
    EXPECT_EQ(c.FontAssigned, (style->AssignedValues() & cxStyleValueBit(svFont)) != 0);
    EXPECT_EQ(c.ParentColor, FContainer->ParentColor());
    EXPECT_EQ(c.ParentFont, FContainer->ParentFont());
    FContainer->SetParent(nullptr);
    parent.SetColor(clBtnFace);
    parent.SetParentFont(false);
    parent.Font().SetSize(8);
  }
}

// A windowed child sticking out of the area inside the border is cut by a
// window region; the inner control's part is set only when it changed.
TEST_F(Container, AnInnerControlStickingOutOfTheBorderIsCutByItsRegion) {
  FContainer->HandleNeeded();
  TWinControl inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  inner.HandleNeeded();
  Refresh({-1, -1}, false);
  const RECT client = FContainer->ViewInfo().ClientRect;
  ASSERT_FALSE(IsRectEmpty(&client));
  const int w = client.right - client.left, h = client.bottom - client.top;
  const auto regionBox = [&](RECT& ABox) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(inner.Handle(), region);
    GetRgnBox(region, &ABox);
    DeleteObject(region);
    return kind == SIMPLEREGION || kind == COMPLEXREGION;
  };
  RECT box{};
  EXPECT_FALSE(regionBox(box)) << "a placed inner control needs no region";

  int sets = cxContainerWindowRegionSetCount();
  inner.SetBounds(client.left - 4, client.top, w, h + 3);
  EXPECT_EQ(sets + 1, cxContainerWindowRegionSetCount());
  ASSERT_TRUE(regionBox(box));
  const RECT cut{4, 0, w, h};
  EXPECT_TRUE(EqualRect(&cut, &box)) << box.left << "," << box.top << "," << box.right << "," << box.bottom;

  sets = cxContainerWindowRegionSetCount();
  inner.Hide();
  inner.Show();
  EXPECT_EQ(sets, cxContainerWindowRegionSetCount()) << "an unchanged part is not applied again";
  FContainer->ClearSavedChildControlRegions();
  inner.Hide();
  EXPECT_EQ(sets + 1, cxContainerWindowRegionSetCount()) << "a forgotten part is applied again";

  FContainer->LockAlignControls(true);
  inner.SetBounds(client.left, client.top, w, h);
  EXPECT_EQ(sets + 1, cxContainerWindowRegionSetCount()) << "nothing while alignment is locked";
  FContainer->LockAlignControls(false);
  inner.SetBounds(client.left, client.top + 1, w, h - 1);
  EXPECT_FALSE(regionBox(box)) << "moved back inside, the region goes";

  TWinControl other(nullptr);
  other.SetBounds(client.left, client.top, 10, 10);
  other.SetParent(FContainer.get());
  other.HandleNeeded();
  sets = cxContainerWindowRegionSetCount();
  other.SetBounds(client.left + 1, client.top, 10, 10);
  other.SetBounds(client.left + 2, client.top, 10, 10);
  EXPECT_EQ(sets + 2, cxContainerWindowRegionSetCount()) << "a child other than the inner control is always applied";
  other.SetBounds(client.left - 4, client.top, 10, 10);
  inner.SetBounds(client.left - 4, client.top, 10, 10);
  EXPECT_TRUE(regionBox(box)) << "another child's part does not pass for the inner control's";
  other.SetParent(nullptr);
  FContainer->SetInnerControl(nullptr);
  inner.SetParent(nullptr);
}

TEST_F(Container, FocusGoesOnToTheInnerControlAndComingBackFromItChangesNothing) {
  TWinControl inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  FContainer->HandleNeeded();
  SetActiveWindow(FHost);
  FContainer->SetFocus();
  EXPECT_EQ(inner.Handle(), GetFocus()) << "the container hands the focus on";
  EXPECT_TRUE(FContainer->IsContainerFocused());
  TMessage back{WM_SETFOCUS, reinterpret_cast<WPARAM>(inner.Handle()), 0, 0};
  FContainer->WindowProc()(back);
  EXPECT_EQ(0u, back.Msg) << "ignored";
  EXPECT_EQ(inner.Handle(), GetFocus());
  FContainer->SetInnerControl(nullptr);
  inner.SetParent(nullptr);
}

TEST_F(Container, MovingAFocusedContainerHandsTheFocusToTheInnerControl) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  FContainer->SetParent(&form);
  form.Show();
  FContainer->SetFocus();
  ASSERT_EQ(FContainer->Handle(), GetFocus());
  TWinControl inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  inner.HandleNeeded();
  ASSERT_EQ(FContainer->Handle(), GetFocus()) << "taking an inner control moves no focus";
  FContainer->SetBounds(20, 20, 120, 40);
  EXPECT_EQ(inner.Handle(), GetFocus());
  EXPECT_EQ(&inner, form.ActiveControl());
  FContainer->SetInnerControl(nullptr);
  inner.SetParent(nullptr);
  FContainer->SetParent(nullptr);
}

namespace {

// An inner control that counts what the container passes on to it.
class TCountingInner : public TWinControl {
public:
  using TWinControl::TWinControl;
  int Invalidates = 0;
  int Updates = 0;
  void Invalidate() override {
    ++Invalidates;
    TWinControl::Invalidate();
  }
  void Update() override {
    ++Updates;
    TWinControl::Update();
  }
};

// A container that records whether each press may focus it, and can be loading.
class TPressRecordingContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  std::vector<bool> FocusOnClick;
  void SetLoading(bool AValue) { SetComponentState(csLoading, AValue); }

protected:
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override {
    FocusOnClick.push_back(CanFocusOnClick());
    TcxContainer::MouseDown(AButton, AShift, X, Y);
  }
};

}  // namespace

TEST_F(Container, InvalidateUpdateAndCursorReachTheInnerControl) {
  TCountingInner inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  FContainer->HandleNeeded();
  inner.Invalidates = 0;
  FContainer->Invalidate();
  EXPECT_EQ(1, inner.Invalidates);
  inner.Updates = 0;
  FContainer->Update();
  EXPECT_EQ(1, inner.Updates);
  FContainer->SetCursor(crHandPoint);
  EXPECT_EQ(crHandPoint, inner.Cursor());
  FContainer->SetInnerControl(nullptr);
  inner.SetParent(nullptr);
}

TEST_F(Container, IsFocusedWhileItsInnerControlHasTheFocus) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  FContainer->SetParent(&form);
  TWinControl inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  form.Show();
  FContainer->SetFocus();
  ASSERT_EQ(inner.Handle(), GetFocus());
  EXPECT_TRUE(FContainer->Focused()) << "the inner control's focus is the container's";
  EXPECT_EQ(&inner, form.ActiveControl());
  FContainer->SetFocus();
  EXPECT_EQ(inner.Handle(), GetFocus()) << "already focused: nothing moves";
  ::SetFocus(form.Handle());
  EXPECT_FALSE(FContainer->Focused());
  FContainer->SetInnerControl(nullptr);
  inner.SetParent(nullptr);
  FContainer->SetParent(nullptr);
}

TEST_F(Container, APressOfTheInnerControlDoesNotFocusTheContainer) {
  TPressRecordingContainer container(nullptr);
  container.SetBounds(10, 10, 120, 40);
  container.SetParentWindow(FHost);
  TWinControl inner(nullptr);
  inner.SetParent(&container);
  container.SetInnerControl(&inner);
  container.HandleNeeded();
  SetActiveWindow(FHost);
  container.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  container.Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ::SetFocus(FHost);
  container.InnerControlMouseDown(TMouseButton::mbLeft, 0, 5, 5);
  ASSERT_EQ(2u, container.FocusOnClick.size());
  EXPECT_TRUE(container.FocusOnClick[0]) << "a press of the container itself";
  EXPECT_FALSE(container.FocusOnClick[1]) << "a press that the inner control passed on";
  container.SetInnerControl(nullptr);
  inner.SetParent(nullptr);
}

TEST_F(Container, LoadedAppliesWhatTheNormalStyleGotWhileLoading) {
  TPressRecordingContainer container(nullptr);
  container.SetBounds(10, 10, 120, 40);
  container.SetParentWindow(FHost);
  container.Style()->LookAndFeel()->SetNativeStyle(false);
  TWinControl inner(nullptr);
  inner.SetParent(&container);
  container.SetInnerControl(&inner);
  container.HandleNeeded();
  container.SetLoading(true);
  container.Style()->SetColor(clRed);
  inner.SetBounds(0, 0, 5, 5);
  EXPECT_NE(clRed, container.Color()) << "nothing while loading";
  container.Loaded();
  EXPECT_FALSE(container.ComponentState() & csLoading);
  EXPECT_EQ(clRed, container.Color());
  const RECT client = container.ViewInfo().ClientRect;
  const RECT placed = inner.BoundsRect();
  EXPECT_TRUE(EqualRect(&client, &placed)) << placed.left << "," << placed.top << "," << placed.right << ","
                                           << placed.bottom;
  container.SetInnerControl(nullptr);
  inner.SetParent(nullptr);
}

TEST_F(Container, EnabledReachesItsScrollBars) {
  FContainer->HandleNeeded();
  TcxScrollBar bar(nullptr);
  bar.SetParent(FContainer.get());
  FContainer->SetEnabled(false);
  EXPECT_FALSE(bar.Enabled());
  FContainer->SetEnabled(true);
  EXPECT_TRUE(bar.Enabled());
  bar.SetParent(nullptr);
}

TEST_F(Container, APressStartsTheContainersOwnDragInAutomaticMode) {
  FContainer->HandleNeeded();
  SendMessageW(FContainer->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(FContainer->Dragging());
  SendMessageW(FContainer->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  FContainer->SetDragMode(TDragMode::dmAutomatic);
  SendMessageW(FContainer->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(FContainer->Dragging());
  EXPECT_EQ(FContainer->Handle(), GetCapture());
  SendMessageW(FContainer->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(FContainer->Dragging()) << "Escape ends it";
  EXPECT_NE(FContainer->Handle(), GetCapture());
}

namespace {

// A system list box as a plain inner control, with both native bars.
class TNativeListInner : public TWinControl {
public:
  TVK_CLASS(TNativeListInner, TWinControl)  // a window class of its own over LISTBOX
  using TWinControl::TWinControl;

protected:
  void CreateParams(TCreateParams& AParams) override {
    TWinControl::CreateParams(AParams);
    AParams.SubClassName = L"LISTBOX";
    AParams.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT;
  }
};

// A container that mirrors its inner control's bars with its own.
class TMirroringContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;

protected:
  bool HasScrollBars() override { return true; }
};

}  // namespace

TEST_F(Container, OwnBarsMirrorTheInnerControlsNativeOnesAndTheGripFollows) {
  TMirroringContainer mirror(nullptr);
  mirror.SetBounds(10, 60, 200, 150);
  mirror.SetParentWindow(FHost);
  TNativeListInner inner(nullptr);
  inner.SetParent(&mirror);
  mirror.SetInnerControl(&inner);
  mirror.HandleNeeded();
  // Each own bar shows exactly where and while the native one does, with its range.
  auto expectMirrored = [&](TcxScrollBar* ABar, LONG AObjectId, int ANativeBar) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetScrollBarInfo(inner.Handle(), AObjectId, &info));
    const bool shown = !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
    ASSERT_EQ(shown, ABar->Visible()) << AObjectId;
    if (!shown) return;
    POINT topLeft{info.rcScrollBar.left, info.rcScrollBar.top};
    ScreenToClient(mirror.Handle(), &topLeft);
    EXPECT_EQ(topLeft.x, ABar->Left());
    EXPECT_EQ(topLeft.y, ABar->Top());
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(inner.Handle(), ANativeBar, &si);
    EXPECT_EQ(si.nMax, ABar->Max());
    EXPECT_EQ(si.nPos, ABar->Position());
  };
  for (int i = 0; i < 50; ++i) SendMessageW(inner.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"row"));
  SendMessageW(inner.Handle(), LB_SETTOPINDEX, 7, 0);
  mirror.UpdateScrollBarsParameters();
  MSG posted;
  ASSERT_TRUE(PeekMessageW(&posted, mirror.Handle(), cxContainerUpdateScrollBarsMessage,
                           cxContainerUpdateScrollBarsMessage, PM_REMOVE));
  DispatchMessageW(&posted);
  TcxScrollBar* v = mirror.VScrollBar();
  ASSERT_TRUE(v->Visible()) << "fifty rows need the vertical bar";
  EXPECT_EQ(7, v->Position());
  expectMirrored(v, OBJID_VSCROLL, SB_VERT);
  expectMirrored(mirror.HScrollBar(), OBJID_HSCROLL, SB_HORZ);

  SendMessageW(inner.Handle(), LB_SETHORIZONTALEXTENT, 1000, 0);
  mirror.SetScrollBarsParameters(false);
  ASSERT_TRUE(mirror.HScrollBar()->Visible());
  expectMirrored(mirror.HScrollBar(), OBJID_HSCROLL, SB_HORZ);
  const RECT grip = mirror.GetInnerSizeGripBounds();
  EXPECT_EQ(v->Width(), grip.right - grip.left);
  EXPECT_EQ(mirror.HScrollBar()->Height(), grip.bottom - grip.top);
  mirror.SetInnerControl(nullptr);
  inner.SetParent(nullptr);
}

TEST_F(Container, APlainMouseMoveMakesItHotAndAPressedButtonDoesNot) {
  FContainer->HandleNeeded();
  SendMessageW(FContainer->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 20));
  EXPECT_TRUE(FContainer->ViewInfo().ContainerState & cxStateBit(csHotTrack));
  EXPECT_TRUE(IsMouseTracking(FContainer.get())) << "it watches for the mouse leaving";
  SendMessageW(FContainer->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 20));
  EXPECT_FALSE(FContainer->ViewInfo().ContainerState & cxStateBit(csHotTrack));
}

TEST_F(Container, TabbingGoesOnFromTheInnerControlWhileItIsActive) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  FContainer->SetParent(&form);
  TWinControl after(nullptr);
  after.SetParent(&form);
  after.SetBounds(10, 100, 50, 20);
  after.SetTabStop(true);
  TWinControl inner(nullptr);
  inner.SetParent(FContainer.get());
  inner.SetTabStop(true);
  FContainer->SetInnerControl(&inner);
  form.Show();

  std::vector<TWinControl*> list;
  form.GetTabOrderList(list);
  EXPECT_EQ((std::vector<TWinControl*>{FContainer.get(), &after}), list) << "the inner control is not a tab stop of its own";

  inner.SetFocus();
  ASSERT_EQ(&inner, form.ActiveControl());
  list.clear();
  form.GetTabOrderList(list);
  EXPECT_EQ((std::vector<TWinControl*>{&inner, &after}), list) << "the inner control in the container's place";
  std::vector<TWinControl*> beside;
  FContainer->SetInnerControl(nullptr);
  form.GetTabOrderList(beside);
  EXPECT_EQ((std::vector<TWinControl*>{FContainer.get(), &after}), beside) << "without an inner control nothing stands in";

  inner.SetParent(nullptr);
  after.SetParent(nullptr);
  FContainer->SetParent(nullptr);
}

namespace {

// The system's edit control as an inner control.
class TNativeEditInner : public TWinControl {
public:
  TVK_CLASS(TNativeEditInner, TWinControl)  // a window class of its own over EDIT
  using TWinControl::TWinControl;

protected:
  void CreateParams(TCreateParams& AParams) override {
    TWinControl::CreateParams(AParams);
    AParams.SubClassName = L"EDIT";
    AParams.Style |= ES_AUTOHSCROLL;
  }
};

// Holds Shift (or not) in the thread's key state for the scope.
class TShiftHeld {
public:
  explicit TShiftHeld(bool AHeld) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = AHeld ? 0x80 : 0;
    SetKeyboardState(state);
  }
  ~TShiftHeld() { SetKeyboardState(FSaved); }
  TShiftHeld(const TShiftHeld&) = delete;
  TShiftHeld& operator=(const TShiftHeld&) = delete;

private:
  BYTE FSaved[256]{};
};

}  // namespace

TEST_F(Container, TabAndShiftTabLeaveAFocusedInnerEditBothWays) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TWinControl before(nullptr);
  before.SetParent(&form);
  before.SetBounds(10, 10, 50, 20);
  before.SetTabStop(true);
  FContainer->SetParent(&form);
  FContainer->SetBounds(10, 40, 120, 40);
  TWinControl after(nullptr);
  after.SetParent(&form);
  after.SetBounds(10, 100, 50, 20);
  after.SetTabStop(true);
  TNativeEditInner inner(nullptr);
  inner.SetParent(FContainer.get());
  FContainer->SetInnerControl(&inner);
  form.Show();

  struct Case {
    const char* Way;
    bool Forward;
    TWinControl* Expected;
  };
  for (const Case c : {Case{"Tab", true, &after}, Case{"Shift+Tab", false, &before}}) {
    SCOPED_TRACE(c.Way);
    inner.SetFocus();
    ASSERT_EQ(inner.Handle(), GetFocus());
    ASSERT_EQ(&inner, form.ActiveControl());
    EXPECT_TRUE(form.SelectNext(form.ActiveControl(), c.Forward, true));
    EXPECT_EQ(c.Expected->Handle(), GetFocus()) << "through the form's SelectNext";
    EXPECT_EQ(c.Expected, form.ActiveControl());

    TShiftHeld shift(!c.Forward);
    inner.SetFocus();
    SendMessageW(inner.Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(c.Expected->Handle(), GetFocus()) << "the inner edit's Tab key";

    inner.SetFocus();
    FContainer->Perform(WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(c.Expected->Handle(), GetFocus()) << "the container's Tab key";
  }
  // Into the container from either side: the inner edit takes the focus.
  after.SetFocus();
  EXPECT_TRUE(form.SelectNext(&after, false, true));
  EXPECT_EQ(inner.Handle(), GetFocus());
  before.SetFocus();
  EXPECT_TRUE(form.SelectNext(&before, true, true));
  EXPECT_EQ(inner.Handle(), GetFocus());

  FContainer->SetInnerControl(nullptr);
  inner.SetParent(nullptr);
  before.SetParent(nullptr);
  after.SetParent(nullptr);
  FContainer->SetParent(nullptr);
}

// Scaling the parent: an own font is scaled once, in the control and in the
// style alike; a font that came with ParentFont stays the parent's.
TEST_F(Container, ScalingRescalesTheStyleFontOnlyWhenItIsTheContainersOwn) {
  struct Case {
    const char* Name;
    bool OwnFont;
    int FontSize;  // after the parent's 8 became 12
    bool FontAssigned;
  };
  for (const Case c : {Case{"own font", true, 15, true}, Case{"the parent's font", false, 12, false}}) {
    SCOPED_TRACE(c.Name);
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 300, 200);
    parent.SetParentWindow(FHost);
    parent.SetParentFont(false);
    parent.Font().SetSize(8);
    FContainer = std::make_unique<TcxContainer>(nullptr);
    FContainer->SetBounds(10, 10, 120, 40);
    FContainer->SetParent(&parent);
    FContainer->HandleNeeded();
    if (c.OwnFont) FContainer->Font().SetSize(10);
    parent.ScaleBy(3, 2);
    TcxContainerStyle* style = FContainer->Style();
    EXPECT_EQ(c.FontSize, FContainer->Font().Size());
    EXPECT_EQ(c.FontSize, style->Font()->Size());
    EXPECT_EQ(c.FontAssigned, (style->AssignedValues() & cxStyleValueBit(svFont)) != 0);
    EXPECT_EQ(!c.OwnFont, FContainer->ParentFont());
    const RECT bounds = FContainer->BoundsRect(), expected{15, 15, 195, 75};
    EXPECT_TRUE(EqualRect(&expected, &bounds));
    style->ControllerStyleChanged();
    EXPECT_EQ(c.FontSize, FContainer->Font().Size()) << "the style's refresh keeps the scaled font";
    FContainer->SetParent(nullptr);
  }
}

TEST_F(Container, ACtl3DOrSystemColourChangeRefreshesTheContainer) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 300, 200);
  parent.SetParentWindow(FHost);
  auto* container = new cxcontrols_test::TRefreshCountingContainer(nullptr);
  container->SetBounds(10, 10, 120, 40);
  container->SetParent(&parent);
  container->HandleNeeded();
  const int before = container->Refreshes;
  parent.SetCtl3D(false);
  EXPECT_FALSE(container->Ctl3D());
  EXPECT_EQ(before + 1, container->Refreshes);
  container->SetCtl3D(true);
  EXPECT_EQ(before + 2, container->Refreshes);
  parent.SetCtl3D(true);
  EXPECT_EQ(before + 2, container->Refreshes) << "a container with its own Ctl3D hears nothing";
  // The system tells top-level windows only; the parent passes it down.
  SendMessageW(parent.Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(before + 3, container->Refreshes) << "a change of the system colours";
}

TEST_F(Container, WhileLoadingTheStyleFontIsScaledOnlyWithTheFontFlag) {
  class TLoadingContainer : public TcxContainer {
  public:
    using TcxContainer::TcxContainer;
    void SetLoading(bool AValue) { SetComponentState(csLoading, AValue); }
  };
  struct Case {
    TScalingFlags Flags;
    int FontSize, Width;
  };
  for (const Case c : {Case{sfFont, 15, 120}, Case{sfWidth, 10, 180}}) {
    SCOPED_TRACE(c.Flags);
    TLoadingContainer container(nullptr);
    container.SetBounds(10, 10, 120, 40);
    container.Font().SetSize(10);
    ASSERT_TRUE(container.Style()->IsValueAssigned(svFont));
    container.SetLoading(true);
    container.SetScalingFlags(c.Flags);
    container.ScaleControl(3, 2);
    EXPECT_EQ(c.FontSize, container.Style()->Font()->Size());
    EXPECT_EQ(c.FontSize, container.Font().Size());
    EXPECT_EQ(c.Width, container.Width());
  }
}
