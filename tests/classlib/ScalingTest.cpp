// Scaling a control and its children by M/D: bounds, fonts and, while a
// control is loading, only the values its scaling flags name.
#include <gtest/gtest.h>

#include "Controls.h"

using namespace tvk;

namespace {

bool SameBounds(const TControl& control, RECT expected) {
  const RECT bounds = control.BoundsRect();
  return EqualRect(&bounds, &expected) != FALSE;
}

// A control whose design is being read.
class TLoadingControl : public TWinControl {
public:
  using TWinControl::TWinControl;
  void SetLoading(bool value) { SetComponentState(csLoading, value); }
};

}  // namespace

TEST(Scaling, ScaleByScalesTheChildrenAndTheSizeButNotThePlace) {
  TWinControl parent(nullptr);
  parent.SetBounds(10, 20, 200, 100);
  parent.SetParentFont(false);
  parent.Font().SetSize(8);
  auto* panel = new TWinControl(nullptr);  // follows the parent's font
  panel->SetBounds(10, 10, 40, 20);
  panel->SetParent(&parent);
  auto* label = new TControl(nullptr);  // a font of its own
  label->Font().SetSize(10);
  label->SetBounds(3, 5, 21, 11);
  label->SetParent(panel);
  auto* top = new TWinControl(nullptr);
  top->SetBounds(0, 0, 10, 20);
  top->SetAlign(TAlign::alTop);
  top->SetParent(&parent);

  parent.ScaleBy(3, 2);
  EXPECT_TRUE(SameBounds(parent, {10, 20, 310, 170})) << "the control keeps its place";
  EXPECT_TRUE(SameBounds(*panel, {15, 15, 75, 45}));
  EXPECT_TRUE(SameBounds(*label, {5, 8, 37, 25})) << "each value rounded: 4.5 -> 5, 7.5 -> 8, 31.5 -> 32, 16.5 -> 17";
  EXPECT_TRUE(SameBounds(*top, {0, 0, 300, 30})) << "aligned children are placed in the new size";
  EXPECT_EQ(12, parent.Font().Size());
  EXPECT_EQ(15, label->Font().Size());
  EXPECT_EQ(12, panel->Font().Size()) << "a ParentFont child takes the parent's scaled font, not twice scaled";
  EXPECT_TRUE(panel->ParentFont());

  parent.ScaleBy(2, 3);
  EXPECT_TRUE(SameBounds(parent, {10, 20, 210, 120}));
  EXPECT_EQ(8, parent.Font().Size());
  EXPECT_EQ(10, label->Font().Size());
}

TEST(Scaling, WhileLoadingOnlyTheFlaggedValuesAreScaledAndTheFlagsAreCleared) {
  struct Case {
    const char* Name;
    bool Loading;
    TScalingFlags Flags;
    int M, D;
    RECT Bounds;
    int FontSize;
  };
  for (const Case c : {Case{"not loading: everything", false, 0, 2, 1, {20, 40, 120, 120}, 18},
                       Case{"loading: width and font", true, sfWidth | sfFont, 2, 1, {10, 20, 110, 60}, 18},
                       Case{"loading: place only", true, sfLeft | sfTop, 2, 1, {20, 40, 70, 80}, 9},
                       Case{"loading: nothing set", true, 0, 2, 1, {10, 20, 60, 60}, 9},
                       Case{"same scale", false, 0, 3, 3, {10, 20, 60, 60}, 9},
                       Case{"no divisor", false, 0, 2, 0, {10, 20, 60, 60}, 9}}) {
    SCOPED_TRACE(c.Name);
    TLoadingControl control(nullptr);
    control.SetBounds(10, 20, 50, 40);
    control.Font().SetSize(9);
    control.SetLoading(c.Loading);
    control.SetScalingFlags(c.Flags);
    control.ScaleControl(c.M, c.D);
    EXPECT_TRUE(SameBounds(control, c.Bounds));
    EXPECT_EQ(c.FontSize, control.Font().Size());
    EXPECT_EQ(0u, control.ScalingFlags());
    control.ScaleControl(c.M, c.D);
    if (c.Loading) {
      EXPECT_TRUE(SameBounds(control, c.Bounds)) << "the flags are spent by the first scaling";
    }
  }
}
