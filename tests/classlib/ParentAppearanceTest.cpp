// A parent's colour and font reaching the children that follow it, and the
// parent hearing of every child's move, insertion and showing.
#include <gtest/gtest.h>

#include "Controls.h"

using namespace tvk;

namespace {

// Windowless controls are enough: the flow runs through messages, not windows.
std::unique_ptr<TWinControl> MakeParentControl() {
  auto parent = std::make_unique<TWinControl>(nullptr);
  parent->SetBounds(0, 0, 200, 100);
  return parent;
}

TEST(ParentAppearance, ParentColorFollowsTheParentUntilAColourIsSet) {
  auto parent = MakeParentControl();
  auto* follower = new TWinControl(nullptr);
  auto* own = new TWinControl(nullptr);
  follower->SetParentColor(true);
  own->SetParentColor(true);
  own->SetColor(clRed);
  EXPECT_FALSE(own->ParentColor()) << "setting Color turns ParentColor off";
  parent->SetColor(clNavy);
  follower->SetParent(parent.get());
  own->SetParent(parent.get());
  EXPECT_EQ(clNavy, follower->Color()) << "placing the control applies the parent's colour";
  EXPECT_EQ(clRed, own->Color());

  auto* grandChild = new TControl(nullptr);
  grandChild->SetParentColor(true);
  grandChild->SetParent(follower);
  parent->SetColor(clLime);
  EXPECT_EQ(clLime, follower->Color());
  EXPECT_TRUE(follower->ParentColor()) << "taking the parent's colour keeps the flag";
  EXPECT_EQ(clLime, grandChild->Color()) << "the change goes on down the chain";
  EXPECT_EQ(clRed, own->Color());

  follower->SetColor(clLime);
  EXPECT_FALSE(follower->ParentColor()) << "even a colour equal to the parent's is the control's own";
  parent->SetColor(clMaroon);
  EXPECT_EQ(clLime, follower->Color());
  own->SetParentColor(true);
  EXPECT_EQ(clMaroon, own->Color()) << "turning ParentColor on takes the parent's colour at once";
}

TEST(ParentAppearance, ParentFontFollowsTheParentUntilTheFontIsChanged) {
  auto parent = MakeParentControl();
  parent->Font().SetName(L"Courier New");
  parent->Font().SetSize(14);
  auto* follower = new TWinControl(nullptr);
  auto* own = new TWinControl(nullptr);
  own->Font().SetSize(9);  // the follower keeps ParentFont on, as every control starts
  follower->SetParent(parent.get());
  own->SetParent(parent.get());
  EXPECT_EQ(14, follower->Font().Size());
  EXPECT_EQ(L"Courier New", follower->Font().Name());
  EXPECT_TRUE(follower->ParentFont());

  parent->Font().SetSize(20);
  EXPECT_EQ(20, follower->Font().Size());
  EXPECT_EQ(9, own->Font().Size()) << "a control without ParentFont keeps its font";

  follower->Font().SetStyle(fsBold);
  EXPECT_FALSE(follower->ParentFont()) << "changing the font makes it the control's own";
  parent->Font().SetSize(11);
  EXPECT_EQ(20, follower->Font().Size());
}

// Records the children its alignment is asked for.
class TAlignWatcher : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::vector<TControl*> Asked;
  bool Nudge = false;  // moves the child it is asked for

protected:
  void AlignControls(TControl* control, RECT& rect) override {
    Asked.push_back(control);
    if (Nudge && control) control->SetLeft(control->Left() + 1);
    TWinControl::AlignControls(control, rect);
  }
};

TEST(ParentAppearance, TheParentHearsOfEveryChildNotOnlyAlignedOnes) {
  TAlignWatcher parent(nullptr);
  parent.SetBounds(0, 0, 200, 100);
  auto* plain = new TWinControl(nullptr);
  auto* top = new TWinControl(nullptr);
  top->SetBounds(0, 50, 10, 20);
  top->SetAlign(TAlign::alTop);
  plain->SetBounds(5, 5, 30, 30);
  plain->SetParent(&parent);
  top->SetParent(&parent);
  parent.Asked.clear();
  plain->SetBounds(6, 7, 30, 30);
  plain->Hide();
  plain->Show();
  EXPECT_EQ((std::vector<TControl*>{plain, plain, plain}), parent.Asked) << "a move, a hide and a show";
  const RECT plainBounds = plain->BoundsRect(), topBounds = top->BoundsRect();
  const RECT plainExpected{6, 7, 36, 37}, topExpected{0, 0, 200, 20};
  EXPECT_TRUE(EqualRect(&plainExpected, &plainBounds)) << "alignment moves only aligned children";
  EXPECT_TRUE(EqualRect(&topExpected, &topBounds));

  parent.Nudge = true;
  parent.Asked.clear();
  plain->SetTop(20);
  EXPECT_EQ(1u, parent.Asked.size()) << "a child moved by the pass does not ask again";
  EXPECT_EQ(7, plain->Left());
  parent.Nudge = false;

  auto* late = new TControl(nullptr);
  parent.Asked.clear();
  late->SetParent(&parent);
  ASSERT_FALSE(parent.Asked.empty());
  EXPECT_EQ(late, parent.Asked.front()) << "an inserted child is asked for";
}

}  // namespace

namespace {

// Counts the CM_CTL3DCHANGED messages a control hears.
class TCtl3DWatcher : public TWinControl {
public:
  using TWinControl::TWinControl;
  int Changes = 0;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_CTL3DCHANGED) ++Changes;
    TWinControl::WndProc(message);
  }
};

}  // namespace

TEST(ParentAppearance, Ctl3DFollowsTheParentUntilItIsSet) {
  TWinControl parent(nullptr);
  auto* follower = new TCtl3DWatcher(nullptr);
  auto* own = new TCtl3DWatcher(nullptr);
  EXPECT_TRUE(follower->Ctl3D());
  EXPECT_TRUE(follower->ParentCtl3D());
  own->SetCtl3D(true);
  EXPECT_FALSE(own->ParentCtl3D()) << "setting Ctl3D turns ParentCtl3D off, even to the same value";
  parent.SetCtl3D(false);
  follower->SetParent(&parent);
  own->SetParent(&parent);
  EXPECT_FALSE(follower->Ctl3D()) << "placing the control applies the parent's";
  EXPECT_EQ(1, follower->Changes);
  EXPECT_TRUE(own->Ctl3D());
  EXPECT_EQ(0, own->Changes);

  auto* grandChild = new TCtl3DWatcher(nullptr);
  grandChild->SetParent(follower);
  parent.SetCtl3D(true);
  EXPECT_TRUE(follower->Ctl3D());
  EXPECT_TRUE(follower->ParentCtl3D());
  EXPECT_EQ(2, follower->Changes);
  EXPECT_TRUE(grandChild->Ctl3D()) << "the change goes on down the chain";
  EXPECT_EQ(2, grandChild->Changes) << "off when placed, on again now";
  parent.SetCtl3D(true);
  EXPECT_EQ(2, follower->Changes) << "no change, no message";

  parent.SetCtl3D(false);
  EXPECT_TRUE(own->Ctl3D()) << "a control with its own Ctl3D keeps it";
  EXPECT_EQ(0, own->Changes);
  own->SetParentCtl3D(true);
  EXPECT_FALSE(own->Ctl3D()) << "turning ParentCtl3D on takes the parent's at once";
}
