// The painter-drawn scroll bar: its range rules, part geometry, scrolling by
// code and by mouse (repeat timing, thumb tracking with snap-back) and its
// painting.
#include "cxScrollBar.h"
#include "lookandfeel/LookAndFeelTest.h"
#include "painters/PaintersTest.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tvk;

namespace {

POINT gScrollBarTestCursor{};
POINT ScrollBarTestCursor() { return gScrollBarTestCursor; }

LPARAM ScrollBarTestPoint(int X, int Y) { return MAKELPARAM(WORD(short(X)), WORD(short(Y))); }

struct TScrollReport {
  TScrollCode Code;
  int Pos;
};

class ScrollBar : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FSavedCursor = std::exchange(cxScrollBarGetCursorPos, &ScrollBarTestCursor);
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr, nullptr, nullptr);
    FBar = std::make_unique<TcxScrollBar>(nullptr);
    FBar->OnScroll = [this](TObject*, TScrollCode ACode, int& APos) {
      Reports.push_back({ACode, APos});
      if (ScrollLimit >= 0 && APos > ScrollLimit) APos = ScrollLimit;
    };
    FBar->OnChange = [this](TObject*) { ++Changes; };
  }
  void TearDown() override {
    FBar.reset();
    DestroyWindow(FHost);
    cxScrollBarGetCursorPos = FSavedCursor;
    laf_test::LookAndFeel::TearDown();
  }
  // A horizontal bar whose track between the arrows is ATrack pixels long, with a window.
  void MakeTrack(int ATrack) {
    FBar->SetBounds(0, 0, ATrack + 2 * Arrow(), 17);
    FBar->SetParentWindow(FHost);
    FBar->HandleNeeded();
  }
  int Arrow() const { return GetSystemMetrics(SM_CYHSCROLL); }
  int TrackStart() const { return FBar->ViewInfo()->TopLeftArrowRect().right; }
  void Press(int X, int Y = 8) { FBar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, ScrollBarTestPoint(X, Y)); }
  void Move(int X, int Y = 8) { FBar->Perform(WM_MOUSEMOVE, MK_LBUTTON, ScrollBarTestPoint(X, Y)); }
  void Release(int X, int Y = 8) { FBar->Perform(WM_LBUTTONUP, 0, ScrollBarTestPoint(X, Y)); }
  void CursorAt(int X, int Y = 8) { gScrollBarTestCursor = FBar->ClientToScreen({X, Y}); }
  bool Reported(TScrollCode ACode, int APos) const {
    for (const TScrollReport& r : Reports)
      if (r.Code == ACode && r.Pos == APos) return true;
    return false;
  }

  HWND FHost = nullptr;
  std::unique_ptr<TcxScrollBar> FBar;
  std::vector<TScrollReport> Reports;
  int Changes = 0;
  int ScrollLimit = -1;

private:
  POINT (*FSavedCursor)() = nullptr;
};

}  // namespace

TEST_F(ScrollBar, StartsWithTheDocumentedDefaults) {
  EXPECT_EQ(121, FBar->Width());
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), FBar->Height());
  EXPECT_EQ(sbHorizontal, FBar->Kind());
  EXPECT_EQ((TControlStyle)(csCaptureMouse | csFramed | csOpaque), FBar->ControlStyle());
  EXPECT_EQ(0, FBar->Min());
  EXPECT_EQ(100, FBar->Max());
  EXPECT_EQ(0, FBar->Position());
  EXPECT_FALSE(FBar->Timer()->Enabled());
  EXPECT_EQ(400u, FBar->Timer()->Interval());
}

TEST_F(ScrollBar, RangeThatCannotHoldThePageIsRefusedAndChangesNothing) {
  struct Case {
    int Min, Max, Page;
    bool Accepted;
  };
  for (const Case c : {Case{0, 99, 100, false}, Case{0, 99, 99, true}, Case{10, 9, 0, false}, Case{5, 5, 0, true}}) {
    TcxScrollBar bar(nullptr);
    bar.SetScrollParams(0, 50, 20, 5);
    if (c.Accepted) {
      EXPECT_NO_THROW(bar.SetScrollParams(c.Min, c.Max, 0, c.Page)) << c.Min << ".." << c.Max << " page " << c.Page;
      EXPECT_EQ(c.Page, bar.PageSize());
    } else {
      try {
        bar.SetScrollParams(c.Min, c.Max, 0, c.Page);
        ADD_FAILURE() << c.Min << ".." << c.Max << " page " << c.Page << " accepted";
      } catch (const EInvalidOperation& e) {
        EXPECT_EQ(WideString(L"Scrollbar property out of range"), e.Message());
      }
      EXPECT_EQ(0, bar.Min());
      EXPECT_EQ(50, bar.Max());
      EXPECT_EQ(20, bar.Position());
      EXPECT_EQ(5, bar.PageSize());
    }
  }
}

TEST_F(ScrollBar, PositionIsClampedAndOnlyAMoveReportsAChange) {
  FBar->SetPosition(500);
  EXPECT_EQ(100, FBar->Position());
  EXPECT_EQ(1, Changes);
  FBar->SetPosition(100);
  FBar->SetMax(200);
  EXPECT_EQ(1, Changes) << "neither an equal position nor a new range alone is a change";
  FBar->SetMin(150);
  EXPECT_EQ(150, FBar->Position());
  EXPECT_EQ(2, Changes);
}

TEST_F(ScrollBar, ThumbnailLengthAndPlaceFollowPageAndPosition) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 0, 10);
  const RECT& thumb = FBar->ViewInfo()->ThumbnailRect();
  EXPECT_EQ(20, thumb.right - thumb.left);
  EXPECT_EQ(TrackStart(), thumb.left);
  EXPECT_EQ(thumb.left, FBar->ViewInfo()->PageUpRect().right);
  EXPECT_EQ(thumb.right, FBar->ViewInfo()->PageDownRect().left);
  FBar->SetPosition(90);
  EXPECT_EQ(TrackStart() + 200, thumb.right) << "the last page puts the thumb at the end of the track";
  EXPECT_EQ(FBar->ViewInfo()->BottomRightArrowRect().left, FBar->ViewInfo()->PageDownRect().left);
  FBar->SetEnabled(false);
  EXPECT_TRUE(IsRectEmpty(&thumb)) << "a disabled bar has no thumb";
}

TEST_F(ScrollBar, HitTestFindsEachPart) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 45, 10);
  const RECT thumb = FBar->ViewInfo()->ThumbnailRect();
  struct Case {
    int X;
    TcxScrollBarPart Part;
  };
  for (const Case c : {Case{1, sbpLineUp}, Case{TrackStart() + 1, sbpPageUp}, Case{int(thumb.left) + 1, sbpThumbnail},
                       Case{int(thumb.right) + 1, sbpPageDown}, Case{FBar->Width() - 1, sbpLineDown},
                       Case{FBar->Width() + 3, sbpNone}})
    EXPECT_EQ(c.Part, FBar->HitTest({c.X, 5})) << c.X;
}

TEST_F(ScrollBar, ChangingKindSwapsTheExtents) {
  FBar->SetBounds(3, 4, 121, 17);
  FBar->SetKind(sbVertical);
  EXPECT_EQ(17, FBar->Width());
  EXPECT_EQ(121, FBar->Height());
  EXPECT_EQ(3, FBar->Left());
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), FBar->ViewInfo()->TopLeftArrowRect().bottom);
}

TEST_F(ScrollBar, ScrollCodesMoveAndClampThePosition) {
  FBar->SetScrollParams(0, 99, 95, 10);
  FBar->SetLargeChange(10);
  FBar->DoScroll(scPageDown);
  EXPECT_EQ(99, FBar->Position()) << "a page down near the end stops at Max, not at the last page";
  FBar->DoScroll(scTop);
  EXPECT_EQ(0, FBar->Position());
  FBar->DoScroll(scLineUp);
  EXPECT_EQ(0, FBar->Position());
  ScrollLimit = 90;
  FBar->DoScroll(scBottom);
  EXPECT_EQ(90, FBar->Position()) << "the handler may limit the position itself";
  const int changes = Changes;
  ScrollLimit = -1;
  FBar->SetSmallChange(3);
  FBar->DoScroll(scTrack);
  EXPECT_EQ(changes, Changes);
  Reports.clear();
  FBar->Perform(CN_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(93, FBar->Position());
  ASSERT_EQ(1u, Reports.size());
  EXPECT_EQ(scLineDown, Reports[0].Code);
}

// A thumb raised to its minimal length can fill the whole track: it then
// stands for the current position instead of dividing by nothing.
TEST_F(ScrollBar, ThumbFillingTheTrackKeepsThePosition) {
  MakeTrack(0);
  const int track = FBar->ViewInfo()->ThumbnailSize();
  FBar->SetBounds(0, 0, track + 2 * Arrow(), 17);
  FBar->SetScrollParams(0, 1000, 500, 1);
  const RECT thumb = FBar->ViewInfo()->ThumbnailRect();
  ASSERT_EQ(track, thumb.right - thumb.left) << "the thumb fills the track";
  EXPECT_EQ(500, FBar->GetPositionFromThumbnail());
  const int x = thumb.left + 1;
  Press(x);
  Move(x + 3);
  Release(x + 3);
  EXPECT_EQ(500, FBar->Position()) << "a click on the thumb leaves the content where it is";
  EXPECT_TRUE(Reported(scPosition, 500));
  for (const TScrollReport& r : Reports) EXPECT_GE(r.Pos, 0);
}

TEST_F(ScrollBar, PositionFromThumbnailStaysInTheRange) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 90, 10);
  EXPECT_EQ(90, FBar->GetPositionFromThumbnail());
  FBar->ViewInfo()->SetThumbnailPos({TrackStart() + 400, 0});
  EXPECT_EQ(99, FBar->GetPositionFromThumbnail());
  FBar->ViewInfo()->SetThumbnailPos({TrackStart() - 400, 0});
  EXPECT_EQ(0, FBar->GetPositionFromThumbnail());
}

TEST_F(ScrollBar, HeldArrowRepeatsAfter400ThenEvery60AndPausesOffTheArrow) {
  MakeTrack(200);
  const int arrowX = FBar->Width() - 2;
  Press(arrowX);
  EXPECT_EQ(1, FBar->Position()) << "one step at the press";
  EXPECT_TRUE(FBar->Timer()->Enabled());
  EXPECT_EQ(400u, FBar->Timer()->Interval());
  ASSERT_TRUE(FBar->MouseCapture());
  CursorAt(arrowX);
  FBar->TimerHandler(nullptr);
  EXPECT_EQ(2, FBar->Position());
  EXPECT_EQ(60u, FBar->Timer()->Interval());
  EXPECT_TRUE(FBar->Timer()->Enabled());
  CursorAt(arrowX - 100);
  FBar->TimerHandler(nullptr);
  EXPECT_EQ(3, FBar->Position());
  EXPECT_FALSE(FBar->Timer()->Enabled()) << "the repeat pauses while the cursor is off the arrow";
  Move(arrowX - 100);
  EXPECT_FALSE(FBar->Timer()->Enabled());
  Move(arrowX);
  EXPECT_TRUE(FBar->Timer()->Enabled());
  EXPECT_EQ(60u, FBar->Timer()->Interval());
  Release(arrowX);
  EXPECT_FALSE(FBar->Timer()->Enabled());
  EXPECT_EQ(sbpNone, FBar->State().PressedPart);
  EXPECT_EQ(scEndScroll, Reports.back().Code);
}

TEST_F(ScrollBar, RepeatWithoutCaptureCancelsTheScroll) {
  MakeTrack(200);
  Press(FBar->Width() - 2);
  FBar->SetMouseCapture(false);
  Reports.clear();
  FBar->TimerHandler(nullptr);
  EXPECT_EQ(1, FBar->Position());
  EXPECT_FALSE(FBar->Timer()->Enabled());
  ASSERT_EQ(1u, Reports.size());
  EXPECT_EQ(scEndScroll, Reports[0].Code);
}

TEST_F(ScrollBar, ThumbDragSnapsBackOutsideTheZoneAndResumesInside) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 0, 10);
  const int x = TrackStart() + 5;
  Press(x);
  EXPECT_EQ(sbpThumbnail, FBar->State().PressedPart);
  Move(x + 90);
  const int tracked = FBar->Position();
  EXPECT_EQ(45, tracked) << "90 of 180 free pixels over the 90 page starts";
  EXPECT_TRUE(Reported(scTrack, tracked));
  Reports.clear();
  const int changes = Changes;
  Move(x + 90, 17 + 137);
  EXPECT_EQ(0, FBar->Position()) << "outside the zone the bar returns to where it was at the press";
  EXPECT_TRUE(Reported(scTrack, 0));
  EXPECT_EQ(changes + 1, Changes) << "the return is a change of position";
  Move(x + 90, 17 + 135);
  EXPECT_EQ(tracked, FBar->Position()) << "inside the zone tracking resumes";
  Move(x + 240);
  EXPECT_EQ(TrackStart() + 200, FBar->ViewInfo()->ThumbnailRect().right) << "the thumb stays between the arrows";
  EXPECT_EQ(90, FBar->Position());
  Release(x + 240);
  EXPECT_TRUE(Reported(scPosition, 90));
  EXPECT_EQ(scEndScroll, Reports.back().Code);
}

TEST_F(ScrollBar, UnlimitedTrackingNeverSnapsBack) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 0, 10);
  FBar->SetUnlimitedTracking(true);
  const int x = TrackStart() + 5;
  Press(x);
  Move(x + 90, 400);
  EXPECT_EQ(45, FBar->Position());
}

TEST_F(ScrollBar, PartStatesFollowHotAndPressedParts) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 0, 10);
  EXPECT_EQ(cxbsNormal, FBar->GetPartState(sbpLineUp));
  Move(2);
  EXPECT_EQ(cxbsHot, FBar->GetPartState(sbpLineUp));
  EXPECT_EQ(cxbsNormal, FBar->GetPartState(sbpLineDown));
  Press(2);
  EXPECT_EQ(cxbsPressed, FBar->GetPartState(sbpLineUp));
  Release(2);
  FBar->SetEnabled(false);
  EXPECT_EQ(cxbsDisabled, FBar->GetPartState(sbpLineUp));
}

TEST_F(ScrollBar, PaintsEveryPixelThroughTheBufferAndNeverErases) {
  MakeTrack(200);
  FBar->SetScrollParams(0, 99, 30, 10);
  painters_test::TDib dib(FBar->Width(), FBar->Height());
  EXPECT_EQ(1, FBar->Perform(WM_ERASEBKGND, WPARAM(dib.Bitmap.Canvas().Handle()), 0));
  EXPECT_TRUE(dib.Untouched()) << "erasing draws nothing";
  FBar->Perform(WM_PAINT, WPARAM(dib.Bitmap.Canvas().Handle()), 0);
  EXPECT_EQ(0, dib.CountOf(painters_test::kSentinel)) << "the whole bar is drawn";
}

namespace {

class TScrollBarTestSkin : public TcxStandardLookAndFeelPainter {
public:
  WideString LookAndFeelName() override { return L"ScrollBarTestSkin"; }
};

}  // namespace

// Ctl3D follows the parent through the class library; under a skin painter
// the library's value is kept off while the setting asked for survives.
TEST_F(ScrollBar, Ctl3DFollowsTheParentAndSurvivesASkin) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 300, 100);
  parent.SetParentWindow(FHost);
  FBar->SetParent(&parent);
  // The parent would free the bar with itself.
  struct TUnparent {
    TControl* Bar;
    ~TUnparent() { Bar->SetParent(nullptr); }
  } unparent{FBar.get()};
  parent.SetCtl3D(false);
  EXPECT_FALSE(FBar->Ctl3D());
  EXPECT_FALSE(FBar->ClassLibraryCtl3D());
  parent.SetCtl3D(true);
  EXPECT_TRUE(FBar->Ctl3D());

  EXPECT_TRUE(cxLookAndFeelPaintersManager()->Register(std::make_unique<TScrollBarTestSkin>()));
  FBar->LookAndFeel()->SetNativeStyle(false);  // a native style would win over the skin
  FBar->LookAndFeel()->SetSkinName(L"ScrollBarTestSkin");
  EXPECT_NE(nullptr, FBar->LookAndFeel()->SkinPainter());
  EXPECT_FALSE(FBar->ClassLibraryCtl3D()) << "off under the skin";
  EXPECT_TRUE(FBar->Ctl3D()) << "the setting is kept";
  EXPECT_TRUE(FBar->ParentCtl3D());
  parent.SetCtl3D(false);
  parent.SetCtl3D(true);
  parent.SetCtl3D(false);
  EXPECT_FALSE(FBar->Ctl3D()) << "the parent's value reaches the setting under the skin too";
  parent.SetCtl3D(true);
  FBar->LookAndFeel()->SetSkinName(L"");
  cxLookAndFeelPaintersManager()->Unregister(L"ScrollBarTestSkin");
  EXPECT_TRUE(FBar->ClassLibraryCtl3D()) << "back on without the skin";

  FBar->SetCtl3D(false);
  EXPECT_FALSE(FBar->ParentCtl3D());
  parent.SetCtl3D(false);
  parent.SetCtl3D(true);
  EXPECT_FALSE(FBar->Ctl3D()) << "a bar set off stays off";
}
