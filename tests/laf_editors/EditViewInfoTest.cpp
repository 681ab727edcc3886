// Windowless editors: button layout, the buttons-only share of spare width,
// button states under the mouse, hint parts, and pixels of painted buttons.
#include "EditorsTest.h"
#include "cxEditViewInfo.h"
#include "dxOffice11.h"

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

namespace {

// A visible window off the screen whose update region a test reads.
struct TPaintWindow {
  TPaintWindow() {
    Handle = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, -3000, -3000, 300, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  ~TPaintWindow() { DestroyWindow(Handle); }
  TPaintWindow(const TPaintWindow&) = delete;
  TPaintWindow& operator=(const TPaintWindow&) = delete;
  // The box of what is invalid, then valid again.
  RECT TakeUpdateRect() {
    RECT r{};
    GetUpdateRect(Handle, &r, FALSE);
    ValidateRect(Handle, nullptr);
    return r;
  }
  HWND Handle;
};

class TOwnHintWindow : public THintWindow {
public:
  TVK_CLASS(TOwnHintWindow, THintWindow)
  using THintWindow::THintWindow;
};

}  // namespace

TEST_F(EditViewInfo, RepaintInvalidatesWhatChanged) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.AddButton(20);
  TPaintWindow window;
  ASSERT_NE(nullptr, window.Handle);
  window.TakeUpdateRect();
  const RECT bounds{10, 5, 110, 25};
  TcxCustomEditViewData data(editor.Properties, editor.Style(), false);
  data.CalculateEx(editor.Bitmap.cxCanvas(), bounds, POINT{-1, -1}, cxmbNone, 0, editor.ViewInfo, false);

  EXPECT_FALSE(editor.ViewInfo.Repaint(window.Handle, nullptr));
  EXPECT_EQ(Sides(bounds), Sides(window.TakeUpdateRect())) << "without a previous state: all of it";

  TcxCustomEditViewInfo previous;
  previous.Assign(&editor.ViewInfo);
  ASSERT_EQ(1, previous.ButtonCount());
  EXPECT_FALSE(editor.ViewInfo.Repaint(window.Handle, &previous));
  const RECT none = window.TakeUpdateRect();
  EXPECT_TRUE(IsRectEmpty(&none)) << "nothing changed";

  // The mouse over the button: only the button repaints.
  data.CalculateEx(editor.Bitmap.cxCanvas(), bounds, POINT{100, 15}, cxmbNone, 0, editor.ViewInfo, true);
  ASSERT_EQ(ebsSelected, editor.ViewInfo.Button(0).Data.State);
  previous.ContainerState = editor.ViewInfo.ContainerState;
  EXPECT_TRUE(editor.ViewInfo.Repaint(window.Handle, &previous));
  EXPECT_EQ(Sides(OffsetRectBy(editor.ViewInfo.Button(0).Bounds, 10, 5)), Sides(window.TakeUpdateRect()));

  // A new border colour: the frame.
  previous.Assign(&editor.ViewInfo);
  previous.BorderColor = clRed;
  EXPECT_FALSE(editor.ViewInfo.Repaint(window.Handle, &previous));
  EXPECT_EQ(Sides(bounds), Sides(window.TakeUpdateRect()));
  EXPECT_FALSE(editor.ViewInfo.Repaint(nullptr, &previous)) << "nothing without a window";
}

TEST_F(EditViewInfo, HintsComeFromTheButtonUnderThePoint) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.AddButton(20)->SetHint(L"Save|Saves the file");
  const RECT bounds{10, 5, 110, 25};
  TcxCustomEditViewData data(editor.Properties, editor.Style(), false);
  data.CalculateEx(editor.Bitmap.cxCanvas(), bounds, POINT{-1, -1}, cxmbNone, 0, editor.ViewInfo, false);
  RECT textRect{};
  bool multiLine = true;
  WideString text = L"x";
  const POINT overButton{100, 15};
  ASSERT_TRUE(editor.ViewInfo.NeedShowHint(editor.Bitmap.cxCanvas(), overButton, textRect, multiLine, text));
  EXPECT_EQ(L"Save", text) << "the short hint";
  EXPECT_FALSE(multiLine);
  EXPECT_EQ(overButton.x, textRect.left);
  EXPECT_EQ(overButton.y + GetCurrentCursorSize().cy, textRect.top) << "below the cursor";
  EXPECT_GT(textRect.right - textRect.left, 0);

  struct TCase {
    POINT P;
    int Part;
  };
  const TCase outside[] = {{{50, 15}, -1}, {{10, 5}, -2}, {{200, 15}, -2}};
  for (const TCase& c : outside) {
    EXPECT_EQ(c.Part, editor.ViewInfo.GetPartIndexAt(POINT{c.P.x - 10, c.P.y - 5}));
    EXPECT_FALSE(editor.ViewInfo.NeedShowHint(editor.Bitmap.cxCanvas(), c.P, textRect, multiLine, text));
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(IsRectEmpty(&textRect));
  }

  // The shared hint window follows the current hint-window class.
  THintWindow* window = cxEditHintWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(window, cxEditHintWindow());
  SetHintWindowClass(ComponentClassOf<TOwnHintWindow>());
  EXPECT_STREQ(L"TOwnHintWindow", cxEditHintWindow()->ClassName().c_str());
  SetHintWindowClass(nullptr);
  EXPECT_STREQ(L"THintWindow", cxEditHintWindow()->ClassName().c_str());
}

TEST_F(EditViewInfo, EditSizesAddTheFrameButtonsAndContent) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  TcxCanvas& canvas = editor.Bitmap.cxCanvas();
  SIZE minContent{-1, -1};
  EXPECT_EQ(2, editor.Properties.GetEditConstantPartSize(canvas, editor.Style(), false, {}, minContent).cx);
  EXPECT_EQ(0, minContent.cy);
  SIZE size = editor.Properties.GetEditSize(canvas, editor.Style(), false, Variant(), {});
  EXPECT_EQ(2, size.cx) << "the base class has no content";
  EXPECT_EQ(2, size.cy);

  // A tall glyph needs room: its height, the buttons' frame and the button border.
  TcxEditButton* button = editor.AddButton(0, bkGlyph);
  button->Glyph()->SetSize(10, 30);
  size = editor.Properties.GetEditSize(canvas, editor.Style(), false, Variant(), {});
  EXPECT_EQ(2 + 10 + 4, size.cx);
  EXPECT_EQ(2 + 30 + 2 + GetEditButtonVertAllowance(canvas, btsHotFlat, false) - 2, size.cy);

  // Buttons only: the text height plus the content correction.
  editor.Properties.SetButtonsViewStyle(bvsButtonsOnly);
  const SIZE content = editor.Properties.GetEditContentSize(canvas, editor.Style(), false, Variant(), {});
  editor.Bitmap.cxCanvas().Font().Assign(*editor.Style().GetVisibleFont());
  EXPECT_EQ(0, content.cx);
  EXPECT_EQ(1 + 3 + 0 + GetDCTextHeight(canvas.Handle()), content.cy);
}

TEST_F(EditViewInfo, AnOffice11GradientButtonFillsWithTheSchemeGradient) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.Style().SetButtonStyle(btsOffice11);
  editor.AddButton(20, bkText);
  TcxCanvas& canvas = editor.Bitmap.cxCanvas();
  const auto paintedColumn = [&](bool AGradient) {
    editor.Style().SetGradientButtons(AGradient);
    editor.Calculate(RECT{0, 0, 100, 30});
    canvas.FillRect(RECT{0, 0, 200, 40}, clWhite);
    editor.ViewInfo.Paint(canvas);
    const RECT& b = editor.ViewInfo.Button(0).Bounds;
    return std::pair<COLORREF, COLORREF>{GetPixel(canvas.Handle(), b.left + 3, b.top + 3),
                                         GetPixel(canvas.Handle(), b.left + 3, b.bottom - 4)};
  };
  const auto flat = paintedColumn(false);
  EXPECT_EQ(flat.first, flat.second) << "a flat fill";
  const auto gradient = paintedColumn(true);
  EXPECT_NE(gradient.first, gradient.second) << "top and bottom differ";
  EXPECT_EQ(ColorToRGB(Office11SchemeColor(1)) != ColorToRGB(Office11SchemeColor(2)), gradient.first != gradient.second);
}

TEST_F(EditViewInfo, DefaultPopupBorderTable) {
  struct TCase {
    bool Inplace;
    TcxEditBorderStyle Border;
    bool Buttons;
    TcxEditButtonStyle FirstButton;
    TcxLookAndFeelKind Kind;
    TcxEditPopupBorderStyle Expected;
  };
  const TCase cases[] = {
      {true, ebsNone, true, btsFlat, lfFlat, epbsFlat},
      {true, ebs3D, true, btsFlat, lfStandard, epbsFrame3D},
      {true, ebsNone, false, btsDefault, lfUltraFlat, epbsSingle},
      {true, ebsNone, false, btsDefault, lfOffice11, epbsSingle},
      {false, ebsNone, false, btsDefault, lfStandard, epbsFlat},
      {false, ebsSingle, true, btsFlat, lfStandard, epbsSingle},
      {false, ebsThick, true, btsFlat, lfFlat, epbsSingle},
      {false, ebsFlat, true, bts3D, lfStandard, epbsFlat},
      {false, ebs3D, true, btsFlat, lfFlat, epbsSingle},
      {false, ebsUltraFlat, false, btsFlat, lfFlat, epbsSingle},
      {false, ebsOffice11, true, btsFlat, lfFlat, epbsSingle},
      {false, ebsNone, true, btsDefault, lfFlat, epbsFrame3D},  // by the button's kind, not the look and feel's
      {false, ebsNone, true, bts3D, lfFlat, epbsFrame3D},
      {false, ebsNone, true, btsSimple, lfStandard, epbsFlat},
      {false, ebsNone, true, btsHotFlat, lfStandard, epbsFlat},
      {false, ebsNone, true, btsUltraFlat, lfStandard, epbsSingle},
      {false, ebsNone, true, btsOffice11, lfStandard, epbsSingle},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Expected, TcxCustomEditViewData::DefaultPopupBorderStyle(c.Inplace, c.Border, c.Buttons, c.FirstButton,
                                                                         c.Kind))
        << c.Inplace << " " << c.Border << " " << c.Buttons << " " << c.FirstButton << " " << int(c.Kind);

  // Without an editor the style's value stands.
  TEditor editor;
  editor.Calculate(RECT{0, 0, 100, 20});
  EXPECT_EQ(epbsDefault, editor.ViewInfo.PopupBorderStyle);
}

TEST_F(EditViewInfo, AssignCopiesStatesAndButtons) {
  TEditor editor;
  editor.Style().SetBorderStyle(ebsSingle);
  editor.AddButton(20);
  editor.AddButton(17);
  editor.Calculate(RECT{0, 0, 100, 20}, POINT{90, 10}, cxmbLeft, ssLeft);
  TcxCustomEditViewInfo copy;
  copy.Assign(&editor.ViewInfo);
  ASSERT_EQ(2, copy.ButtonCount());
  EXPECT_EQ(editor.ViewInfo.PressedButton, copy.PressedButton);
  EXPECT_EQ(1, copy.PressedButton);
  EXPECT_EQ(ebsPressed, copy.Button(1).Data.State);
  EXPECT_EQ(Sides(editor.ViewInfo.Button(0).Bounds), Sides(copy.Button(0).Bounds));
  EXPECT_EQ(editor.ViewInfo.BackgroundColor(), copy.BackgroundColor());
  EXPECT_EQ(editor.ViewInfo.BorderStyle, copy.BorderStyle);
  EXPECT_EQ(Sides(editor.ViewInfo.ClientRect), Sides(copy.ClientRect));
  const std::unique_ptr<TcxRegion> none = editor.ViewInfo.GetUpdateRegion(&copy);
  EXPECT_TRUE(RegionIsEmpty(none->Handle())) << "a copy shows the same";
  copy.SetButtonCount(1);
  copy.Assign(&editor.ViewInfo);
  EXPECT_EQ(2, copy.ButtonCount()) << "missing button view infos are made";
}

}  // namespace laf_editors_test
