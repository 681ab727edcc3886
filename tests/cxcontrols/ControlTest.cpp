// The custom-drawn control base: dialog codes, popup menus, the paint paths
// and the erase rule, handlers that free their control, and the click
// position corrected after focusing moved the control.
#include "Forms.h"
#include "Menus.h"
#include "cxControls.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

bool gControlTestCtrl = false;
bool gControlTestComposition = false;
bool gControlTestWin7 = false;
bool ControlTestCtrl() { return gControlTestCtrl; }
bool ControlTestComposition() { return gControlTestComposition; }
bool ControlTestWin7() { return gControlTestWin7; }
int ControlTestWheelLines() { return 3; }

class TCountingControl : public TcxControl {
public:
  using TcxControl::TcxControl;
  int Paints = 0;
  int Erases = 0;
  HDC LastEraseDC = nullptr;
  bool WantsErase = false;
  POINT MoveOnFocus{};
  std::function<void()> OnBeforeMouseDown;

protected:
  void DoPaint() override {
    ++Paints;
    TcxControl::DoPaint();
  }
  void EraseBackground(HDC DC) override {
    ++Erases;
    LastEraseDC = DC;
  }
  bool NeedsEraseBackground() override { return WantsErase; }
  void FocusChanged() override {
    if (Focused() && (MoveOnFocus.x || MoveOnFocus.y))
      SetBounds(Left() + std::exchange(MoveOnFocus.x, 0), Top() + std::exchange(MoveOnFocus.y, 0), Width(), Height());
  }
  void BeforeMouseDown(TMouseButton, TShiftState, int, int) override {
    if (OnBeforeMouseDown) OnBeforeMouseDown();
  }
};

// A popup menu of the library's own kind: records where it was shown.
class TRecordingPopup : public TComponent, public IcxPopupMenu {
public:
  using TComponent::TComponent;
  bool IsShortCut(TMessage& Message) override { return Message.WParam == ShortCutKey; }
  void Popup(int X, int Y) override {
    ++Shown;
    At = {X, Y};
  }
  WPARAM ShortCutKey = 0;
  int Shown = 0;
  POINT At{};

protected:
  bool GetInterface(REFIID iid, void** object) override {
    if (IsEqualGUID(iid, IID_IcxPopupMenu)) {
      *object = static_cast<IcxPopupMenu*>(this);
      return true;
    }
    return TComponent::GetInterface(iid, object);
  }
};

class ControlBase : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FSaved = cxControlSystemQueries();
    cxControlSystemQueries() = {&ControlTestComposition, &ControlTestWin7, &ControlTestCtrl, &ControlTestWheelLines};
    gControlTestCtrl = gControlTestComposition = gControlTestWin7 = false;
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                            nullptr);
  }
  void TearDown() override {
    DestroyWindow(FHost);
    cxControlSystemQueries() = FSaved;
    laf_test::LookAndFeel::TearDown();
  }
  std::unique_ptr<TCountingControl> MakeControl() {
    auto control = std::make_unique<TCountingControl>(nullptr);
    control->SetBounds(20, 30, 100, 60);
    control->SetParentWindow(FHost);
    control->HandleNeeded();
    return control;
  }
  HWND FHost = nullptr;

private:
  TcxControlSystemQueries FSaved{};
};

}  // namespace

TEST_F(ControlBase, DialogCodesFollowKeysAndCtrlDropsTab) {
  struct Case {
    TcxKeys Keys;
    bool Ctrl;
    LRESULT Code;
  };
  auto control = MakeControl();
  for (const Case c : {Case{0, false, 0}, Case{kAll, false, DLGC_WANTALLKEYS}, Case{kArrows, false, DLGC_WANTARROWS},
                       Case{kChars, false, DLGC_WANTCHARS}, Case{kTab, false, DLGC_WANTTAB}, Case{kTab, true, 0},
                       Case{kArrows | kChars | kTab, false, DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB},
                       Case{kArrows | kChars | kTab, true, DLGC_WANTARROWS | DLGC_WANTCHARS}}) {
    control->SetKeys(c.Keys);
    gControlTestCtrl = c.Ctrl;
    EXPECT_EQ(c.Code, control->Perform(WM_GETDLGCODE)) << "keys " << c.Keys << " ctrl " << c.Ctrl;
  }
}

TEST_F(ControlBase, PopupMenuSetterKeepsOnlyMenus) {
  TCountingControl control(nullptr);
  TPopupMenu* menu = new TPopupMenu(nullptr);
  control.SetPopupMenu(menu);
  EXPECT_EQ(menu, control.PopupMenu());
  TRecordingPopup popup(nullptr);
  control.SetPopupMenu(&popup);
  EXPECT_EQ(&popup, control.PopupMenu());
  TComponent other(nullptr);
  control.SetPopupMenu(&other);
  EXPECT_EQ(nullptr, control.PopupMenu()) << "neither kind of menu clears the setting";
  control.SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(nullptr, control.PopupMenu()) << "a freed menu is forgotten";
}

TEST_F(ControlBase, KeyboardContextRequestPopsAtTheClientOrigin) {
  auto control = MakeControl();
  TRecordingPopup popup(nullptr);
  control->SetPopupMenu(&popup);
  control->Perform(WM_CONTEXTMENU, WPARAM(control->Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
  ASSERT_EQ(1, popup.Shown);
  const POINT origin = control->ClientToScreen({0, 0});
  EXPECT_EQ(origin.x, popup.At.x);
  EXPECT_EQ(origin.y, popup.At.y);
  control->Perform(WM_CONTEXTMENU, WPARAM(control->Handle()), MAKELPARAM(70, 80));
  EXPECT_EQ(70, popup.At.x);
  EXPECT_EQ(80, popup.At.y);
  popup.ShortCutKey = 'K';
  EXPECT_EQ(1, control->Perform(CN_KEYDOWN, 'K', 0)) << "the menu's shortcut is taken";
}

// A spell checker that takes the requests while Takes is set.
class TTestSpellChecker : public IcxSpellCheckerService {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  bool STDMETHODCALLTYPE QueryPopup(TComponent* AMenu, POINT AScreenPoint) override {
    Menu = AMenu;
    At = AScreenPoint;
    return Takes;
  }
  bool Takes = true;
  TComponent* Menu = nullptr;
  POINT At{};
};

TEST_F(ControlBase, AnInstalledSpellCheckerIsAskedFirstAndMayTakeTheRequest) {
  auto control = MakeControl();
  TRecordingPopup popup(nullptr);
  control->SetPopupMenu(&popup);
  TTestSpellChecker checker;
  SpellCheckerService() = ComRef<IcxSpellCheckerService>(&checker);
  EXPECT_EQ(1, control->Perform(WM_CONTEXTMENU, WPARAM(control->Handle()), MAKELPARAM(0xFFFF, 0xFFFF)));
  EXPECT_EQ(0, popup.Shown) << "the checker took it";
  EXPECT_EQ(&popup, checker.Menu);
  const POINT origin = control->ClientToScreen({0, 0});
  EXPECT_EQ(origin.x, checker.At.x);
  EXPECT_EQ(origin.y, checker.At.y);
  checker.Takes = false;
  EXPECT_EQ(1, control->Perform(WM_CONTEXTMENU, WPARAM(control->Handle()), MAKELPARAM(70, 80)));
  EXPECT_EQ(70, checker.At.x);
  EXPECT_EQ(1, popup.Shown) << "refused by the checker, the control's own menu opens";
  SpellCheckerService().Reset();
}

TEST_F(ControlBase, PaintWithAGivenDCGoesStraightIntoIt) {
  auto control = MakeControl();
  gControlTestWin7 = true;
  HDC dc = CreateCompatibleDC(nullptr);
  control->Perform(WM_PAINT, WPARAM(dc), 0);
  DeleteDC(dc);
  EXPECT_EQ(1, control->Paints);
  EXPECT_EQ(0, control->Erases) << "no off-screen buffer, so no erase of its own";
}

TEST_F(ControlBase, EachPaintPathPaintsOnceAndErasesItsOwnBuffer) {
  struct Case {
    bool Win7, Composition, DoubleBuffered;
    int Erases;
    const char* Path;
  };
  for (const Case c : {Case{false, false, false, 0, "plain"}, Case{true, false, false, 1, "off-screen"},
                       Case{false, false, true, 1, "off-screen (double buffered)"},
                       Case{true, true, false, 1, "buffered paint"}}) {
    auto control = MakeControl();
    gControlTestWin7 = c.Win7;
    gControlTestComposition = c.Composition;
    control->SetDoubleBuffered(c.DoubleBuffered);
    UpdateWindow(control->Handle());
    control->Paints = control->Erases = 0;
    RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(1, control->Paints) << c.Path;
    EXPECT_EQ(c.Erases, control->Erases) << c.Path;
    if (c.Erases) {
      EXPECT_NE(nullptr, control->LastEraseDC) << c.Path;
    }
  }
}

TEST_F(ControlBase, SystemEraseOnlyWhenAskedAndNeverWhenDoubleBuffered) {
  auto control = MakeControl();
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(0, control->Perform(WM_ERASEBKGND, WPARAM(dc), 0));
  EXPECT_EQ(0, control->Erases);
  control->WantsErase = true;
  EXPECT_EQ(1, control->Perform(WM_ERASEBKGND, WPARAM(dc), 0));
  EXPECT_EQ(1, control->Erases);
  control->SetDoubleBuffered(true);
  EXPECT_EQ(1, control->Perform(WM_ERASEBKGND, WPARAM(dc), 0));
  EXPECT_EQ(1, control->Erases) << "the system's erase is skipped for a double-buffered control";
  EXPECT_EQ(1, control->Perform(WM_ERASEBKGND, WPARAM(dc), LPARAM(dc)));
  EXPECT_EQ(2, control->Erases) << "its own buffer is always erased";
  DeleteDC(dc);
}

TEST_F(ControlBase, HandlerThatFreesTheControlEndsTheMessageSafely) {
  auto owned = MakeControl();
  TCountingControl* control = owned.release();
  control->SetFocusOnClick(false);
  control->OnBeforeMouseDown = [control] { delete control; };
  const int linksBefore = ObjectLinkCount();
  control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(linksBefore, ObjectLinkCount()) << "the guarding links are gone with the message";
}

TEST_F(ControlBase, FocusingThatMovesTheControlShiftsTheClick) {
  auto control = MakeControl();
  control->MoveOnFocus = {10, 5};
  control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 30));
  ASSERT_TRUE(control->Focused());
  EXPECT_EQ(30, control->Left());
  EXPECT_EQ(30, control->MouseDownPos().x);
  EXPECT_EQ(25, control->MouseDownPos().y);
  EXPECT_TRUE(control->IsMouseInPressedArea(31, 26));
  EXPECT_FALSE(control->IsMouseInPressedArea(40, 30));
}

TEST_F(ControlBase, FontChangeReachesListenersInOrder) {
  struct TListener : IcxFontListener {
    std::vector<int>* Log;
    int Id;
    TListener(std::vector<int>* ALog, int AId) : Log(ALog), Id(AId) {}
    void Changed(TObject*, TFont*) override { Log->push_back(Id); }
  };
  TCountingControl control(nullptr);
  std::vector<int> log;
  TListener first(&log, 1), second(&log, 2);
  control.AddFontListener(&first);
  control.AddFontListener(&second);
  control.Font().SetSize(control.Font().Size() + 2);
  control.RemoveFontListener(&first);
  control.Font().SetSize(control.Font().Size() + 2);
  EXPECT_EQ((std::vector<int>{1, 2, 2}), log);
}

namespace {

// Content of a given size scrolled in lines; with Oscillate the content
// needs the vertical bar only while that bar is hidden.
class TScrollingControl : public TcxControl {
public:
  using TcxControl::BoundsChanged;
  using TcxControl::TcxControl;
  int ContentWidth = 0;
  int ContentHeight = 0;
  bool Oscillate = false;
  int Updates = 0;
  struct TScrollCall {
    TScrollBarKind Kind;
    TScrollCode Code;
  };
  std::vector<TScrollCall> Scrolls;

protected:
  void InitScrollBarsParameters() override {
    const RECT r = ClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, ContentWidth - 1, 1, r.right - r.left, 0, true, true);
    const int page = Oscillate ? (VScrollBar()->Visible() ? ContentHeight : 10) : int(r.bottom - r.top);
    SetScrollBarInfo(sbVertical, 0, ContentHeight - 1, 1, page, 0, true, true);
  }
  void UpdateScrollBars() override {
    ++Updates;
    TcxControl::UpdateScrollBars();
  }
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, int&) override { Scrolls.push_back({AKind, ACode}); }
};

}  // namespace

TEST_F(ControlBase, ScrollBarInfoHidesOrDisablesAnUnusableRange) {
  struct Case {
    TScrollStyle Style;
    int Min, Max, Page, Pos;
    bool AllowHide;
    bool Visible, Enabled;
    const char* What;
  };
  for (const Case c : {Case{TScrollStyle::ssBoth, 0, 99, 10, 5, true, true, true, "usable"},
                       Case{TScrollStyle::ssBoth, 0, 99, 100, 0, true, false, true, "whole range in view, may hide"},
                       Case{TScrollStyle::ssBoth, 0, 99, 100, 0, false, true, false, "whole range in view, must stay"},
                       Case{TScrollStyle::ssBoth, 10, 5, 1, 10, false, true, false, "max below min"},
                       Case{TScrollStyle::ssBoth, 10, 99, 1, 5, true, false, true, "position below min"},
                       Case{TScrollStyle::ssHorizontal, 0, 99, 10, 5, true, false, true, "vertical bar not wanted"},
                       Case{TScrollStyle::ssNone, 0, 99, 10, 5, false, false, true, "no bars wanted"}}) {
    TScrollingControl control(nullptr);
    control.SetScrollBars(c.Style);
    control.SetScrollBarInfo(sbVertical, c.Min, c.Max, 3, c.Page, c.Pos, true, c.AllowHide);
    const TcxScrollBarData& data = control.VScrollBar()->Data;
    EXPECT_EQ(c.Visible, data.Visible) << c.What;
    EXPECT_EQ(c.Enabled, data.Enabled) << c.What;
    if (c.Visible && c.Enabled) {
      EXPECT_EQ(c.Max, data.Max);
      EXPECT_EQ(3, data.SmallChange);
      EXPECT_EQ(c.Page, data.LargeChange);
    } else {
      EXPECT_EQ(0, data.Max) << c.What << ": the range is kept only when usable";
    }
  }
}

TEST_F(ControlBase, BarsFollowTheContentAndNarrowTheClientBounds) {
  TScrollingControl control(nullptr);
  control.SetBounds(0, 0, 200, 100);
  control.SetParentWindow(FHost);
  control.HandleNeeded();
  control.ContentWidth = 150;
  control.ContentHeight = 400;
  control.CheckUpdateScrollBars();
  EXPECT_FALSE(control.HScrollBar()->Visible());
  ASSERT_TRUE(control.VScrollBar()->Visible());
  const int barWidth = control.VScrollBar()->Width();
  EXPECT_EQ(200 - barWidth, control.ClientBounds().right);
  EXPECT_EQ(200 - barWidth, control.VScrollBar()->Left());
  EXPECT_EQ(100, control.VScrollBar()->Height());
  control.ContentWidth = 200 - barWidth + 1;
  control.CheckUpdateScrollBars();
  EXPECT_TRUE(control.HScrollBar()->Visible()) << "the vertical bar took the width the content needs";
  EXPECT_EQ(100 - control.HScrollBar()->Height(), control.VScrollBar()->Height());
  ASSERT_TRUE(control.SizeGrip()->Visible()) << "the grip fills the corner between both bars";
  EXPECT_EQ(control.VScrollBar()->Left(), control.SizeGrip()->Left());
  EXPECT_EQ(control.HScrollBar()->Top(), control.SizeGrip()->Top());
  EXPECT_EQ(barWidth, control.SizeGrip()->Width());
}

TEST_F(ControlBase, NestedUpdatesThatWouldFlipABarEndWithItShownDisabled) {
  TScrollingControl control(nullptr);
  control.SetBounds(0, 0, 200, 100);
  control.SetParentWindow(FHost);
  control.HandleNeeded();
  control.ContentWidth = 10;
  control.ContentHeight = 100;
  control.Oscillate = true;
  control.CheckUpdateScrollBars();
  EXPECT_TRUE(control.VScrollBar()->Visible());
  EXPECT_FALSE(control.VScrollBar()->Enabled());
  EXPECT_LT(control.Updates, 5) << "the updates settle";
}

TEST_F(ControlBase, LockedScrollBarsUpdateOnceAtTheLastUnlock) {
  TScrollingControl control(nullptr);
  control.LockScrollBars();
  control.LockScrollBars();
  control.BoundsChanged();
  control.UnlockScrollBars();
  EXPECT_EQ(0, control.Updates);
  control.UnlockScrollBars();
  EXPECT_EQ(1, control.Updates);
  control.UnlockScrollBars();
  EXPECT_EQ(0, control.ScrollBarsLockCount()) << "an unlock too many is ignored";
  control.LockScrollBars();
  control.UnlockScrollBars();
  EXPECT_EQ(1, control.Updates) << "nothing pending, nothing updated";
}

TEST_F(ControlBase, WheelScrollsTheSystemLinesWhileTheVerticalBarShows) {
  TScrollingControl control(nullptr);
  control.SetBounds(0, 0, 200, 100);
  control.SetParentWindow(FHost);
  control.HandleNeeded();
  control.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-120))), 0);
  EXPECT_TRUE(control.Scrolls.empty()) << "no vertical bar, no wheel scrolling";
  control.ContentWidth = 10;
  control.ContentHeight = 400;
  control.CheckUpdateScrollBars();
  control.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-120))), 0);
  control.Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
  ASSERT_EQ(6u, control.Scrolls.size()) << "three lines a notch, whatever the delta";
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(sbVertical, control.Scrolls[i].Kind);
    EXPECT_EQ(i < 3 ? scLineDown : scLineUp, control.Scrolls[i].Code);
  }
  control.ScrollContent(dirLeft);
  EXPECT_EQ(sbHorizontal, control.Scrolls.back().Kind);
  EXPECT_EQ(scLineUp, control.Scrolls.back().Code);
}

TEST(AutoScroll, DirectionAndSpeedAroundTheAnchor) {
  struct Case {
    bool Horz, Vert;
    POINT P;
    TcxDirection Direction;
    int Speed;
  };
  const POINT centre{500, 500};
  for (const Case c : {Case{true, true, {510, 490}, dirNone, 0}, Case{true, true, {500, 530}, dirDown, 3},
                       Case{true, true, {500, 470}, dirUp, 3}, Case{true, true, {470, 505}, dirLeft, 3},
                       Case{true, true, {530, 530}, dirDown, 3}, Case{true, true, {500, 1000}, dirDown, 12},
                       Case{true, true, {500, 521}, dirDown, 2}, Case{true, true, {500, 520}, dirDown, 1},
                       Case{true, false, {500, 0}, dirNone, 0}, Case{true, false, {540, 0}, dirRight, 5},
                       Case{false, true, {0, 521}, dirDown, 2}, Case{false, true, {2000, 490}, dirNone, 0}}) {
    const TcxAutoScrollStep step = CalculateAutoScrollStep(centre, 32, c.Horz, c.Vert, c.P);
    EXPECT_EQ(c.Direction, step.Direction) << c.P.x << "," << c.P.y;
    EXPECT_EQ(c.Speed, step.Speed) << c.P.x << "," << c.P.y;
    EXPECT_EQ(c.Direction != dirNone, step.LeftAnchor);
  }
}

namespace {

struct TDragLog {
  int Begins = 0;
  std::vector<bool> Ends;
  int Objects = 0;
};

class TLoggingDragObject : public TcxDragAndDropObject {
public:
  TLoggingDragObject(TcxControl* AControl, TDragLog* ALog) : TcxDragAndDropObject(AControl), FLog(ALog) {
    ++FLog->Objects;
  }
  ~TLoggingDragObject() override { --FLog->Objects; }

protected:
  void BeginDragAndDrop() override {
    ++FLog->Begins;
    TcxDragAndDropObject::BeginDragAndDrop();
  }
  void DragAndDropEnded(bool Accepted) override { FLog->Ends.push_back(Accepted); }

private:
  TDragLog* FLog;
};

class TDraggingControl : public TcxControl {
public:
  using TcxControl::TcxControl;
  bool StartsDrag = true;
  TDragLog Log;

protected:
  TcxDragAndDropObject* CreateDragAndDropObject() override { return new TLoggingDragObject(this, &Log); }
  bool StartDragAndDrop(POINT) override { return StartsDrag; }
};

}  // namespace

TEST_F(ControlBase, LibraryDragStartsPastTheThresholdAndAnyKeyEndsItNotDropped) {
  TDraggingControl control(nullptr);
  control.SetBounds(20, 30, 100, 60);
  control.SetParentWindow(FHost);
  control.SetFocusOnClick(false);
  control.HandleNeeded();
  Screen().SetCursor(crDefault);
  control.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(ddsStarting, control.DragAndDropState());
  control.Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(11, 11));
  EXPECT_EQ(ddsStarting, control.DragAndDropState()) << "still inside the pressed area";
  control.Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 10));
  EXPECT_EQ(ddsInProcess, control.DragAndDropState());
  EXPECT_EQ(1, control.Log.Begins);
  EXPECT_EQ(crNoDrop, Screen().Cursor());
  EXPECT_EQ(1, control.Perform(CN_KEYDOWN, VK_ESCAPE, 0));
  EXPECT_EQ(ddsNone, control.DragAndDropState());
  EXPECT_EQ(std::vector<bool>{false}, control.Log.Ends);
  EXPECT_EQ(crDefault, Screen().Cursor()) << "the cursor from before the drag is back";
  EXPECT_EQ(0, control.Log.Objects) << "the drag object is freed";
  control.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  control.Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 10));
  control.Perform(WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
  EXPECT_EQ((std::vector<bool>{false, true}), control.Log.Ends) << "a release drops";
}

TEST_F(ControlBase, RefusedDragStartFreesTheLeftoverObject) {
  TDraggingControl control(nullptr);
  control.SetBounds(20, 30, 100, 60);
  control.SetParentWindow(FHost);
  control.SetFocusOnClick(false);
  control.HandleNeeded();
  control.StartsDrag = false;
  control.DragAndDropObject();
  ASSERT_EQ(1, control.Log.Objects);
  control.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(0, control.Log.Objects);
  EXPECT_EQ(ddsNone, control.DragAndDropState());
  EXPECT_TRUE(control.Log.Ends.empty());
}

TEST_F(ControlBase, ContentNeedingBarsBeforeTheControlIsPlacedWaitsForItsWindow) {
  TScrollingControl control(nullptr);
  control.ContentWidth = 1000;
  control.ContentHeight = 1000;
  EXPECT_NO_THROW(control.SetBounds(0, 0, 200, 100)) << "the bars make no window of their own";
  EXPECT_TRUE(control.VScrollBar()->Visible());
  EXPECT_FALSE(control.VScrollBar()->HandleAllocated());
  control.SetParentWindow(FHost);
  control.HandleNeeded();
  ASSERT_TRUE(control.VScrollBar()->HandleAllocated());
  EXPECT_EQ(control.Handle(), GetParent(control.VScrollBar()->Handle()));
  EXPECT_TRUE(IsWindowVisible(control.VScrollBar()->Handle()));
}

TEST_F(ControlBase, ChildComponentsFollowTheirControlAndOutliveIt) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto first = std::make_unique<TcxControl>(owner.get());
  auto second = std::make_unique<TcxControl>(nullptr);

  // Made for a control with its owner: owned by the control's owner, attached.
  auto* owned = new TcxControlChildComponent(first.get(), true);
  EXPECT_EQ(owner.get(), owned->Owner());
  EXPECT_EQ(first.get(), owned->Control());
  EXPECT_TRUE(owned->HasParent());
  EXPECT_EQ(first.get(), owned->GetParentComponent());

  // A reader's parent attaches; moving to another control leaves the first.
  auto loose = std::make_unique<TcxControlChildComponent>(nullptr);
  EXPECT_FALSE(loose->HasParent());
  loose->SetParentComponent(owner.get());  // not a control: nothing happens
  EXPECT_EQ(nullptr, loose->Control());
  loose->SetParentComponent(first.get());
  ASSERT_EQ(2, first->ChildComponentCount());
  EXPECT_EQ(loose.get(), first->ChildComponents(1));
  loose->SetControl(second.get());
  EXPECT_EQ(1, first->ChildComponentCount());
  EXPECT_EQ(1, second->ChildComponentCount());

  // A child freed first leaves its control; a control freed first lets its
  // children go without freeing them.
  loose.reset();
  EXPECT_EQ(0, second->ChildComponentCount());
  first.reset();
  EXPECT_EQ(nullptr, owned->Control());
  EXPECT_FALSE(owned->HasParent());
  owner.reset();  // frees the child it owns, with no control left to tell
}
