// Anchors: a control keeps its distance to the anchored edges of its parent
// when the parent resizes, with or without a window, and takes new distances
// when it is moved by hand or once its design is read.
#include <gtest/gtest.h>

#include "Forms.h"

using namespace tvk;

namespace classlib_test {
namespace {

::testing::AssertionResult Placed(const TControl& control, RECT expected) {
  const RECT r = control.BoundsRect();
  if (EqualRect(&r, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom
                                       << "), expected (" << expected.left << ", " << expected.top << ", "
                                       << expected.right << ", " << expected.bottom << ")";
}

// A control whose design is being read.
class TDesignedControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  using TWinControl::Loaded;
  void SetLoading(bool value) { SetComponentState(csLoading, value); }
};

struct AnchorCase {
  const char* Name;
  TAnchors Anchors;
  RECT After;  // in a 200 x 100 parent grown to 300 x 150, from (20, 10, 70, 40)
};

constexpr AnchorCase kAnchorCases[] = {
    {"left and top stay", akLeft | akTop, {20, 10, 70, 40}},
    {"right and bottom keep their gaps", akRight | akBottom, {120, 60, 170, 90}},
    {"all four stretch", akLeft | akTop | akRight | akBottom, {20, 10, 170, 90}},
    {"top and right", akTop | akRight, {120, 10, 170, 40}},
    // Centre 45 of 200 -> 67.5 of 300, rounded 68, less half the width; 25 of 100 -> 37.5 of 150.
    {"none keeps the centre in proportion", 0, {43, 23, 93, 53}},
};

TEST(Anchors, AChildKeepsItsDistanceToTheAnchoredEdgesWhenTheParentResizes) {
  for (const AnchorCase& c : kAnchorCases) {
    SCOPED_TRACE(c.Name);
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 200, 100);
    auto* child = new TControl(nullptr);
    child->SetBounds(20, 10, 50, 30);
    child->SetParent(&parent);
    child->SetAnchors(c.Anchors);
    auto* windowed = new TWinControl(nullptr);
    windowed->SetBounds(20, 10, 50, 30);
    windowed->SetAnchors(c.Anchors);  // anchored before it is placed
    windowed->SetParent(&parent);

    parent.SetBounds(0, 0, 300, 150);
    EXPECT_TRUE(Placed(*child, c.After));
    EXPECT_TRUE(Placed(*windowed, c.After));
    parent.SetBounds(0, 0, 200, 100);
    EXPECT_TRUE(Placed(*child, {20, 10, 70, 40})) << "back where it was";
  }
}

TEST(Anchors, AMoveByHandOrAnAlignmentGoesBeforeTheAnchors) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  auto* child = new TControl(nullptr);
  child->SetBounds(20, 10, 50, 30);
  child->SetParent(&parent);
  child->SetAnchors(akRight | akBottom);
  parent.SetBounds(0, 0, 300, 150);
  child->SetBounds(200, 100, 50, 30);  // 50 and 20 from the edges now
  parent.SetBounds(0, 0, 250, 120);
  EXPECT_TRUE(Placed(*child, {150, 70, 200, 100}));

  auto* top = new TControl(nullptr);
  top->SetBounds(0, 0, 40, 20);
  top->SetAnchors(akRight | akBottom);
  top->SetAlign(TAlign::alTop);
  top->SetParent(&parent);
  parent.SetBounds(0, 0, 300, 150);
  EXPECT_TRUE(Placed(*top, {0, 0, 300, 20})) << "aligned: the alignment places it";
}

TEST(Anchors, AWindowedParentMovesItsChildrenOnItsOwnResizeButNotForItsFrame) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 300, 200);
  auto* button = new TWinControl(form.get());
  button->SetParent(form.get());
  button->SetBounds(200, 150, 75, 25);
  button->SetAnchors(akRight | akBottom);
  const int right = form->Width() - button->Left(), bottom = form->Height() - button->Top();
  form->Show();  // the window's frame is no resize
  EXPECT_TRUE(Placed(*button, {200, 150, 275, 175}));
  // The system sizes the window (as a user's drag does): WM_SIZE realigns.
  SetWindowPos(form->Handle(), nullptr, 0, 0, 420, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(right, form->Width() - button->Left());
  EXPECT_EQ(bottom, form->Height() - button->Top());
  RECT window;
  GetWindowRect(button->Handle(), &window);
  MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&window), 2);
  const RECT bounds = button->BoundsRect();
  EXPECT_TRUE(EqualRect(&window, &bounds)) << "the window moved with it";
}

TEST(Anchors, ADesignedControlTakesItsDistancesOnceTheDesignIsRead) {
  TWinControl parent(nullptr);
  auto* child = new TDesignedControl(nullptr);
  child->SetLoading(true);
  child->SetParent(&parent);  // the parent has no size yet
  child->SetAnchors(akRight);
  child->SetBounds(150, 10, 40, 20);
  parent.SetBounds(0, 0, 200, 100);
  EXPECT_TRUE(Placed(*child, {150, 10, 190, 30})) << "nothing moves while the design is read";
  child->Loaded();
  parent.SetBounds(0, 0, 260, 100);
  EXPECT_TRUE(Placed(*child, {210, 10, 250, 30}));
}

TEST(Anchors, ScalingMovesAnchoredChildrenOnce) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  auto* child = new TControl(nullptr);
  child->SetBounds(100, 50, 80, 40);
  child->SetParent(&parent);
  child->SetAnchors(akRight | akBottom);
  parent.ScaleBy(3, 2);
  EXPECT_TRUE(Placed(*child, {150, 75, 270, 135})) << "scaled with the parent, not moved again by its growth";
}

}  // namespace
}  // namespace classlib_test
