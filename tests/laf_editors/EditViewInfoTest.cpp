// Windowless editors: button layout, the buttons-only share of spare width,
// button states under the mouse, hint parts, and pixels of painted buttons.
#include "EditorsTest.h"
#include "cxEditViewInfo.h"

#include <tuple>

using namespace tvk;

namespace laf_editors_test {

namespace {

std::tuple<LONG, LONG, LONG, LONG> Sides(const RECT& R) { return {R.left, R.top, R.right, R.bottom}; }

// Properties, a stand-alone classic style (no theme) and a canvas to lay out on.
struct TEditor {
  TEditor() : Properties(nullptr), Styles(nullptr, ContainerStyleClassOf<TcxEditStyle>()), Bitmap(200, 40) {
    Style().LookAndFeel()->SetNativeStyle(false);
    Style().SetTransparentBorder(false);
  }
  TcxEditStyle& Style() { return *static_cast<TcxEditStyle*>(Styles.Style()); }
  TcxEditButton* AddButton(int AWidth, TcxEditButtonKind AKind = bkDown) {
    TcxEditButton* button = Properties.Buttons().Add();
    button->SetWidth(AWidth);
    button->SetKind(AKind);
    return button;
  }
  void Calculate(const RECT& ABounds, POINT P = {-1, -1}, TcxMouseButton AButton = cxmbNone, TShiftState AShift = 0,
                 bool AInplace = false) {
    TcxCustomEditViewData data(Properties, Style(), AInplace);
    data.CalculateEx(Bitmap.cxCanvas(), ABounds, P, AButton, AShift, ViewInfo, true);
  }
  TcxCustomEditProperties Properties;
  TcxContainerStyles Styles;
  TcxBitmap Bitmap;
  TcxCustomEditViewInfo ViewInfo;
};

}  // namespace

using EditViewInfo = EditorsUnits;

TEST_F(EditViewInfo, RightButtonsArePlacedFromTheLastItemInsideTheBorder) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.AddButton(20);
  editor.AddButton(17);
  editor.Calculate(RECT{0, 0, 100, 20});
  ASSERT_EQ(2, editor.ViewInfo.ButtonCount());
  EXPECT_EQ(Sides(RECT{1, 1, 99, 19}), Sides(editor.ViewInfo.BorderRect));
  EXPECT_EQ(Sides(RECT{82, 1, 99, 19}), Sides(editor.ViewInfo.Button(1).Bounds)) << "the last item at the right";
  EXPECT_EQ(Sides(RECT{62, 1, 82, 19}), Sides(editor.ViewInfo.Button(0).Bounds));
  EXPECT_EQ(62, editor.ViewInfo.ClientRect.right);
  EXPECT_TRUE(editor.ViewInfo.Button(1).Data.Rightmost);
  EXPECT_TRUE(editor.ViewInfo.Button(0).Data.Leftmost);

  // Too little room: the bounds keep their width, the visible part is cut.
  editor.Calculate(RECT{0, 0, 30, 20});
  EXPECT_EQ(12, editor.ViewInfo.Button(1).Bounds.left);
  EXPECT_EQ(17, editor.ViewInfo.Button(1).Bounds.right - editor.ViewInfo.Button(1).Bounds.left);
  EXPECT_EQ(20, editor.ViewInfo.Button(0).Bounds.right - editor.ViewInfo.Button(0).Bounds.left);
  EXPECT_EQ(11, editor.ViewInfo.Button(0).VisibleBounds.right - editor.ViewInfo.Button(0).VisibleBounds.left);
}

TEST_F(EditViewInfo, ButtonsOnlyShareTheSpareWidthThreeThreeFour) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsNone);
  editor.Properties.SetButtonsViewStyle(bvsButtonsOnly);
  for (int i = 0; i < 3; ++i) editor.AddButton(20);
  editor.Calculate(RECT{0, 0, 70, 20});
  ASSERT_EQ(3, editor.ViewInfo.ButtonCount());
  const int widths[] = {24, 23, 23};  // the first visible button takes the remainder
  for (int i = 0; i < 3; ++i) {
    const RECT& b = editor.ViewInfo.Button(i).Bounds;
    EXPECT_EQ(widths[i], b.right - b.left) << i;
  }
  EXPECT_EQ(editor.ViewInfo.Button(1).Bounds.left, editor.ViewInfo.Button(0).Bounds.right) << "no gap";
}

TEST_F(EditViewInfo, ButtonStatesFollowPointButtonAndShift) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.AddButton(20);
  const POINT over{90, 10}, outside{10, 10};
  const struct {
    POINT P;
    TcxMouseButton Button;
    TShiftState Shift;
    TcxEditButtonState State;
  } cases[] = {
      {over, cxmbNone, 0, ebsSelected},
      {over, cxmbLeft, ssLeft, ebsPressed},
      {over, cxmbNone, ssLeft, ebsPressed},  // still down
      {outside, cxmbNone, 0, ebsNormal},
      {over, cxmbRight, ssRight, ebsNormal},
      {over, cxmbNone, ssShift, ebsSelected},  // the keys are masked away
  };
  for (const auto& c : cases) {
    editor.Calculate(RECT{0, 0, 100, 20}, c.P, c.Button, c.Shift);
    EXPECT_EQ(c.State, editor.ViewInfo.Button(0).Data.State) << c.P.x << " " << c.Button << " " << c.Shift;
  }
  editor.Properties.Buttons().Items(0)->SetEnabled(false);
  editor.Calculate(RECT{0, 0, 100, 20}, over, cxmbLeft, ssLeft);
  EXPECT_EQ(ebsDisabled, editor.ViewInfo.Button(0).Data.State);
  EXPECT_EQ(0, editor.ViewInfo.GetPartIndexAt(over));
  EXPECT_EQ(-1, editor.ViewInfo.GetPartIndexAt(outside));
  EXPECT_EQ(-2, editor.ViewInfo.GetPartIndexAt(POINT{0, 0})) << "on the border, outside the frame's inside";
}

TEST_F(EditViewInfo, HideInactiveShowsNoButtonsUntilActive) {
  TEditor editor;
  editor.Style().SetButtonTransparency(ebtHideInactive);
  editor.AddButton(20);
  editor.Calculate(RECT{0, 0, 100, 20});
  EXPECT_EQ(0, editor.ViewInfo.ButtonCount());
}

TEST_F(EditViewInfo, ADisabledEllipsisDrawsItsDotsTwice) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.Style().SetButtonStyle(btsFlat);
  TcxEditButton* button = editor.AddButton(24, bkEllipsis);
  button->SetEnabled(false);
  editor.Calculate(RECT{0, 0, 100, 20});
  TcxCanvas& canvas = editor.Bitmap.cxCanvas();
  canvas.FillRect(RECT{0, 0, 200, 40}, clWhite);
  editor.ViewInfo.Paint(canvas);
  const TcxEditButtonViewInfo& info = editor.ViewInfo.Button(0);
  const COLORREF shadow = ColorToRGB(clBtnShadow), highlight = ColorToRGB(clBtnHighlight);
  int shadows = 0, highlights = 0;
  for (int y = info.Bounds.top + 2; y < info.Bounds.bottom - 2; ++y)
    for (int x = info.Bounds.left + 2; x < info.Bounds.right - 2; ++x) {
      const COLORREF pixel = GetPixel(canvas.Handle(), x, y);
      shadows += pixel == shadow;
      highlights += pixel == highlight;
    }
  EXPECT_EQ(3 * 2 * 2, shadows) << "three 2 x 2 dots in the shadow colour";
  EXPECT_GE(highlights, 3) << "their highlight one pixel down and right shows";
}

}  // namespace laf_editors_test
