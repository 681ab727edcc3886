// A look-and-feel control dragged through the class library: its drag object
// (the copy cursor with Ctrl, freed at the end, dropped by a refused start),
// its drag picture (made once, shown over a target that displays it, hidden
// while a target paints or scrolls under it) and the container's forwarding.
#include "Forms.h"
#include "cxContainer.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

bool gClassDragCtrl = false;
bool ClassDragCtrl() { return gClassDragCtrl; }
bool ClassDragNo() { return false; }
int ClassDragWheelLines() { return 3; }

struct TClassDragCounts {
  int Made = 0;
  int Freed = 0;
  int Finishes = 0;
  bool LastAccepted = false;
  int Lists = 0;
  int Begins = 0;
  int Ends = 0;
  int Shows = 0;
  int Hides = 0;
  int Draws = 0;
};
TClassDragCounts gClassDrag;

class TCountedDragObject : public TcxDragControlObject {
public:
  explicit TCountedDragObject(TControl* AControl) : TcxDragControlObject(AControl) { ++gClassDrag.Made; }
  ~TCountedDragObject() override { ++gClassDrag.Freed; }
  void Finished(TObject* Target, int X, int Y, bool Accepted) override {
    ++gClassDrag.Finishes;
    gClassDrag.LastAccepted = Accepted;
    TcxDragControlObject::Finished(Target, X, Y, Accepted);  // frees the object
  }
};

class TCountedDragImages : public TcxDragImageList {
public:
  explicit TCountedDragImages(TComponent* AOwner) : TcxDragImageList(AOwner) { ++gClassDrag.Lists; }
  bool BeginDrag(HWND Window, int X, int Y) override {
    ++gClassDrag.Begins;
    return TcxDragImageList::BeginDrag(Window, X, Y);
  }
  bool EndDrag() override {
    ++gClassDrag.Ends;
    return TcxDragImageList::EndDrag();
  }
  void ShowDragImage() override {
    ++gClassDrag.Shows;
    TcxDragImageList::ShowDragImage();
  }
  void HideDragImage() override {
    ++gClassDrag.Hides;
    TcxDragImageList::HideDragImage();
  }
};

class TClassDragSource : public TcxControl {
public:
  using TcxControl::TcxControl;
  bool Starts = true;
  bool Images = false;
  using TcxControl::HasDragImages;

protected:
  TDragControlObjectClass GetDragObjectClass() override { return &MakeDragObject<TCountedDragObject>; }
  bool StartDrag(TDragObject*) override { return Starts; }
  bool HasDragImages() override { return Images; }
  TcxDragImageListClass GetDragImagesClass() override { return &MakeDragImages<TCountedDragImages>; }
  SIZE GetDragImagesSize() override { return SIZE{16, 12}; }
  void DrawDragImage(TcxCanvas& ACanvas, const RECT& R) override {
    ++gClassDrag.Draws;
    ACanvas.FillRect(R, clRed);
  }
};

class TPictureDragSource : public TClassDragSource {
public:
  explicit TPictureDragSource(TComponent* AOwner) : TClassDragSource(AOwner) { Images = true; }
};

class TClassDragTarget : public TcxControl {
public:
  explicit TClassDragTarget(TComponent* AOwner, bool ADisplay) : TcxControl(AOwner) {
    if (ADisplay) SetControlStyle(ControlStyle() | csDisplayDragImage);
    OnDragOver = [this](TObject*, TObject*, int, int, TDragState AState, bool& AAccept) {
      States.push_back(AState);
      AAccept = Accepts;
    };
  }
  bool Accepts = true;
  std::vector<TDragState> States;
};

class ClassLibraryDrag : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FSaved = cxControlSystemQueries();
    cxControlSystemQueries() = {&ClassDragNo, &ClassDragNo, &ClassDragCtrl, &ClassDragWheelLines};
    gClassDragCtrl = false;
    gClassDrag = {};
    Form.reset(CreateComponent<TForm>(nullptr, kCreateNew));
    Form->SetBounds(500, 300, 400, 200);
    Source = Place(new TClassDragSource(Form.get()), 10);
    Target = Place(new TClassDragTarget(Form.get(), true), 150);
    PlainTarget = Place(new TClassDragTarget(Form.get(), false), 280);
    Form->HandleNeeded();
    // Top-most, so that no other program's window on the desktop takes the drag.
    SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Source->OnEndDrag = [this](TObject*, TObject* ATarget, int, int) { EndedOn.push_back(ATarget); };
    Screen().SetCursor(crDefault);
  }
  void TearDown() override {
    Form.reset();
    cxControlSystemQueries() = FSaved;
    laf_test::LookAndFeel::TearDown();
  }
  template <class T>
  T* Place(T* AControl, int ALeft) {
    AControl->SetParent(Form.get());
    AControl->SetBounds(ALeft, 10, 100, 60);
    return AControl;
  }
  // Starts a drag of Source at its point (5, 5).
  void BeginDragAtSource() {
    const POINT start = Source->ClientToScreen(POINT{5, 5});
    SetCursorPos(start.x, start.y);
    Source->BeginDrag(true);
  }
  // The mouse moves (or is released) over AControl's point P, as the source's window sees it.
  POINT MoveOver(TControl* AControl, UINT AMessage = WM_MOUSEMOVE, POINT P = {5, 5}) {
    const POINT screen = AControl->ClientToScreen(P);
    SetCursorPos(screen.x, screen.y);
    const POINT at = Source->ScreenToClient(screen);
    SendMessageW(Source->Handle(), AMessage, 0, MAKELPARAM(WORD(short(at.x)), WORD(short(at.y))));
    return screen;
  }

  std::unique_ptr<TForm> Form;
  TClassDragSource* Source = nullptr;
  TClassDragTarget* Target = nullptr;
  TClassDragTarget* PlainTarget = nullptr;
  std::vector<TObject*> EndedOn;

private:
  TcxControlSystemQueries FSaved{};
};

}  // namespace

TEST_F(ClassLibraryDrag, CursorComesFromTheDragObjectAndCopiesWithCtrlOverAnAcceptingTarget) {
  struct Case {
    bool Accepts;
    bool Ctrl;
    TCursor Cursor;
  };
  for (const Case c : {Case{true, false, crDrag}, Case{true, true, crcxDragCopy}, Case{false, true, crNoDrop},
                       Case{false, false, crNoDrop}}) {
    Target->Accepts = c.Accepts;
    gClassDragCtrl = c.Ctrl;
    BeginDragAtSource();
    MoveOver(Target);
    auto* object = dynamic_cast<TCountedDragObject*>(DragObject());
    ASSERT_NE(nullptr, object) << "the control's own drag object class";
    EXPECT_EQ(Source, object->Control());
    EXPECT_EQ(Target, object->DragTarget());
    EXPECT_EQ(c.Cursor, Screen().Cursor()) << "accepts " << c.Accepts << " ctrl " << c.Ctrl;
    Source->EndDrag(false);
    EXPECT_EQ(crDefault, Screen().Cursor());
  }
  EXPECT_EQ(4, gClassDrag.Made);
  EXPECT_EQ(4, gClassDrag.Freed) << "every drag object freed itself";
}

TEST_F(ClassLibraryDrag, EscapeEndsTheDragNotDroppedAndTheObjectIsFinishedAndFreed) {
  BeginDragAtSource();
  MoveOver(Target);
  ASSERT_TRUE(Source->Dragging());
  ASSERT_NE(nullptr, DragObject());
  EXPECT_EQ(DragObject(), GetCurrentDragObject()) << "the drag is over a look-and-feel control";
  SendMessageW(Source->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(Source->Dragging());
  EXPECT_EQ(nullptr, DragObject());
  EXPECT_EQ(nullptr, GetCurrentDragObject());
  EXPECT_EQ(1, gClassDrag.Finishes);
  EXPECT_FALSE(gClassDrag.LastAccepted);
  EXPECT_EQ(1, gClassDrag.Freed);
  EXPECT_EQ(std::vector<TObject*>{nullptr}, EndedOn);
  EXPECT_EQ((std::vector<TDragState>{TDragState::dsDragEnter, TDragState::dsDragLeave}), Target->States);
  EXPECT_EQ(crDefault, Screen().Cursor());
  EXPECT_EQ(nullptr, GetCapture());

  BeginDragAtSource();
  MoveOver(Target);
  MoveOver(Target, WM_LBUTTONUP);
  EXPECT_EQ(2, gClassDrag.Finishes);
  EXPECT_TRUE(gClassDrag.LastAccepted) << "a release over an accepting target drops";
  EXPECT_EQ(2, gClassDrag.Freed);
  EXPECT_EQ((std::vector<TObject*>{nullptr, Target}), EndedOn);
}

TEST_F(ClassLibraryDrag, RefusedStartFreesTheObjectAndCancelsTheDrag) {
  Source->Starts = false;
  BeginDragAtSource();
  EXPECT_FALSE(Source->Dragging());
  EXPECT_EQ(nullptr, DragObject());
  EXPECT_EQ(1, gClassDrag.Made);
  EXPECT_EQ(1, gClassDrag.Freed);
  EXPECT_EQ(0, gClassDrag.Finishes) << "the dropped object is not finished";
  EXPECT_EQ(std::vector<TObject*>{nullptr}, EndedOn) << "the source hears the drag end";
  EXPECT_EQ(nullptr, GetCapture());
  MoveOver(Target);
  EXPECT_TRUE(Target->States.empty());
}

TEST_F(ClassLibraryDrag, FreeingTheSourceMidDragFinishesAndFreesItsObject) {
  BeginDragAtSource();
  MoveOver(Target);
  delete Source;
  Source = nullptr;
  EXPECT_EQ(nullptr, DragObject());
  EXPECT_EQ(1, gClassDrag.Finishes);
  EXPECT_EQ(1, gClassDrag.Freed);
  EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ClassLibraryDrag, DragPictureIsMadeOnceAndShownOnlyOverATargetThatDisplaysIt) {
  Source->Images = true;
  BeginDragAtSource();
  MoveOver(Target);
  MoveOver(Target, WM_MOUSEMOVE, {9, 7});
  TDragImageList* images = Source->GetDragImages();
  ASSERT_NE(nullptr, images);
  EXPECT_EQ(1, gClassDrag.Lists);
  EXPECT_EQ(1, gClassDrag.Draws) << "drawn once a drag";
  EXPECT_EQ(1, images->Count());
  EXPECT_EQ(16, images->Width());
  EXPECT_EQ(12, images->Height());
  EXPECT_EQ(1, gClassDrag.Begins);
  ASSERT_TRUE(images->Dragging()) << "the system's image-list drag runs";
  EXPECT_TRUE(images->DragImageVisible());
  const POINT now = Target->ClientToScreen(POINT{9, 7});
  EXPECT_EQ(now.x, images->DragPosition().x);
  EXPECT_EQ(now.y, images->DragPosition().y);

  MoveOver(PlainTarget);
  EXPECT_FALSE(images->DragImageVisible()) << "hidden over a target without csDisplayDragImage";
  MoveOver(Target);
  EXPECT_TRUE(images->DragImageVisible());
  Source->EndDrag(false);
  EXPECT_EQ(1, gClassDrag.Ends);
  EXPECT_FALSE(Source->HasDragImageList());
  EXPECT_EQ(1, gClassDrag.Lists);
}

TEST_F(ClassLibraryDrag, OnlyAControlWithDragImagesMakesThemAndDisplaysThem) {
  TClassDragSource plain(nullptr);
  EXPECT_EQ(nullptr, plain.GetDragImages());
  EXPECT_EQ(0, gClassDrag.Lists);
  BeginDragAtSource();
  MoveOver(Target);
  EXPECT_EQ(0, gClassDrag.Begins) << "no picture, no image drag";
  Source->EndDrag(false);

  EXPECT_EQ(0u, Source->ControlStyle() & csDisplayDragImage);
  auto* made = CreateComponent<TPictureDragSource>(Form.get());
  EXPECT_NE(0u, made->ControlStyle() & csDisplayDragImage) << "a control with drag images displays them";
  TPictureDragSource plainlyMade(nullptr);
  plainlyMade.SetParentWindow(Form->Handle());
  plainlyMade.HandleNeeded();
  EXPECT_NE(0u, plainlyMade.ControlStyle() & csDisplayDragImage) << "also when made without CreateComponent";
}

TEST_F(ClassLibraryDrag, PaintingOrScrollingUnderTheDragHidesAndShowsItsPicture) {
  Source->Images = true;
  BeginDragAtSource();
  MoveOver(Target);
  TDragImageList* images = Source->GetDragImages();
  ASSERT_NE(nullptr, images);
  ASSERT_TRUE(images->DragImageVisible());
  const int hides = gClassDrag.Hides, shows = gClassDrag.Shows;

  HDC dc = CreateCompatibleDC(nullptr);
  Target->Perform(WM_PAINT, WPARAM(dc), 0);
  EXPECT_EQ(hides + 1, gClassDrag.Hides);
  EXPECT_EQ(shows + 1, gClassDrag.Shows);
  Target->ScrollWindow(0, 4, RECT{0, 0, 50, 50});
  EXPECT_EQ(hides + 2, gClassDrag.Hides);
  EXPECT_EQ(shows + 2, gClassDrag.Shows);
  EXPECT_TRUE(images->DragImageVisible());

  PlainTarget->Perform(WM_PAINT, WPARAM(dc), 0);
  EXPECT_EQ(hides + 2, gClassDrag.Hides) << "the picture is not over a target that does not display it";

  MoveOver(Target, WM_LBUTTONUP);
  const int endHides = gClassDrag.Hides;
  Target->Perform(WM_PAINT, WPARAM(dc), 0);
  EXPECT_EQ(endHides, gClassDrag.Hides) << "after a drop the target holds no drag";
  DeleteDC(dc);
}

namespace {

class TDragInner : public TWinControl {
public:
  using TWinControl::TWinControl;
  TDragImageList Images{nullptr};
  int Cancels = 0;
  TDragImageList* GetDragImages() override { return &Images; }
  void HandleDragCancel() override { ++Cancels; }
};

}  // namespace

TEST_F(ClassLibraryDrag, ContainerForwardsDragModePictureAndCancelToItsInnerControl) {
  TcxContainer container(nullptr);
  EXPECT_EQ(nullptr, container.GetDragImages());
  TDragInner inner(nullptr);
  container.SetInnerControl(&inner);
  container.SetDragMode(TDragMode::dmAutomatic);
  EXPECT_EQ(TDragMode::dmAutomatic, container.DragMode());
  EXPECT_EQ(TDragMode::dmAutomatic, inner.DragMode());
  EXPECT_EQ(&inner.Images, container.GetDragImages());
  container.HandleDragCancel();
  EXPECT_EQ(1, inner.Cancels);
  container.SetInnerControl(nullptr);
}
