// The class library's alignment and splitter under the styled splitter and
// the image button: drags through real mouse messages, limits, a refused
// size, transparency and grip dots, and the image button's inversion.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "XPControlUtils.h"
#include "XPExtCtrls.h"

using namespace tvk;
namespace instrument_test {
using namespace styled_test;

namespace {

class Pane : public TCustomControl {
public:
  TVK_CLASS(Pane, TCustomControl)
  using TCustomControl::TCustomControl;
};

TEST(Align, EdgesThenClient) {
  auto form = MakeForm();
  form->SetBounds(0, 0, 400, 300);
  const int cw = form->ClientWidth(), ch = form->ClientHeight();
  auto* top = new Pane(form.get());
  top->SetHeight(30);
  top->SetAlign(TAlign::alTop);
  top->SetParent(form.get());
  auto* left = new Pane(form.get());
  left->SetWidth(50);
  left->SetAlign(TAlign::alLeft);
  left->SetParent(form.get());
  auto* client = new Pane(form.get());
  client->SetAlign(TAlign::alClient);
  client->SetParent(form.get());
  EXPECT_EQ(top->BoundsRect(), (RECT{0, 0, cw, 30}));
  EXPECT_EQ(left->BoundsRect(), (RECT{0, 30, 50, ch}));
  EXPECT_EQ(client->BoundsRect(), (RECT{50, 30, cw, ch}));
  left->SetWidth(80);
  EXPECT_EQ(client->Left(), 80);
  left->Hide();
  EXPECT_EQ(client->Left(), 0);
  // Put off while disabled.
  form->DisableAlign();
  left->Show();
  EXPECT_EQ(client->Left(), 0);
  form->EnableAlign();
  EXPECT_EQ(client->Left(), 80);
}

struct Splitting : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  Pane* Left = new Pane(Form.get());
  TXPSplitter* S = new TXPSplitter(Form.get());
  Pane* Rest = new Pane(Form.get());
  Splitting() {
    Form->SetBounds(0, 0, 400, 200);
    Left->SetWidth(100);
    Left->SetAlign(TAlign::alLeft);
    Left->SetParent(Form.get());
    S->SetWidth(5);
    S->SetLeft(100);
    S->SetParent(Form.get());
    Rest->SetAlign(TAlign::alClient);
    Rest->SetParent(Form.get());
    Form->HandleNeeded();
  }
  // A drag on the splitter by Dx through the form's window.
  void Drag(int dx, bool release = true) {
    HWND w = Form->Handle();
    const int x = S->Left() + 2, y = 50;
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, At(x + dx, y));
    if (release) SendMessageW(w, WM_LBUTTONUP, 0, At(x + dx, y));
  }
};

TEST_F(Splitting, DragResizesTheNeighbourWithinLimits) {
  EXPECT_EQ(S->BoundsRect().left, 100);
  int moved = 0;
  S->OnMoved = [&](TObject*) { ++moved; };
  Drag(40);
  EXPECT_EQ(Left->Width(), 140);
  EXPECT_EQ(S->Left(), 140);
  EXPECT_EQ(Rest->Left(), 145);
  EXPECT_EQ(moved, 1);
  // The far limit leaves MinSize for the rest.
  S->SetAutoSnap(false);
  Drag(1000);
  EXPECT_EQ(Left->Width(), Form->ClientWidth() - S->Width() - S->MinSize());
}

TEST_F(Splitting, IsResizingWhileADragRuns) {
  EXPECT_FALSE(S->IsResizing());
  Drag(10, false);
  EXPECT_TRUE(S->IsResizing());
  SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, At(S->Left() + 12, 50));
  EXPECT_FALSE(S->IsResizing());
}

TEST_F(Splitting, RefusedSizeChangesNothing) {
  S->OnCanResize = [](TObject*, int&, bool& accept) { accept = false; };
  Drag(40);
  EXPECT_EQ(Left->Width(), 100);
}

TEST_F(Splitting, EscapeThroughTheFocusedControlEndsTheDrag) {
  auto* edit = new Pane(Form.get());
  edit->SetBounds(0, 0, 10, 10);
  edit->SetParent(Rest);
  Form->SetActiveControl(edit);
  int keys = 0;
  edit->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keys; };
  Drag(30, false);
  WORD key = VK_ESCAPE;
  edit->OnKeyDown(edit, key, 0);
  EXPECT_FALSE(S->IsResizing());
  EXPECT_EQ(Left->Width(), 100);
  // Its own handler is back.
  key = 'A';
  edit->OnKeyDown(edit, key, 0);
  EXPECT_EQ(keys, 1);
  SendMessageW(Form->Handle(), WM_LBUTTONUP, 0, At(S->Left() + 32, 50));
  EXPECT_EQ(Left->Width(), 100);
}

TEST_F(Splitting, TransparentWithoutNotchPaintsNothing) {
  Form->SetColor(clRed);
  TBitmap shot;
  MakeCanvas(shot, 5, 200, clBlack);
  S->PaintTo(shot.Canvas().Handle());
  EXPECT_EQ(InkBox(shot, clBlack), (RECT{0, 0, 0, 0}));
  S->SetTransparent(false);
  S->PaintTo(shot.Canvas().Handle());
  EXPECT_EQ(PixelAt(shot, 2, 10), TColor(ColorToRGB(SubstBtnFaceColor)));
  S->SetTransparent(true);
  S->SetDrawNotch(true);
  MakeCanvas(shot, 5, S->Height(), clBlack);
  S->PaintTo(shot.Canvas().Handle());
  EXPECT_EQ(InkIn(shot, clBlack, RECT{0, 0, 5, S->Height()}), 9 * 7);
}

TEST(TransButton, InversibleClickFlipsAndFiresOnce) {
  auto form = MakeForm();
  auto* b = new TXPTransButton(form.get(), L"XPCOLLAPSESECTION", true);
  b->SetParent(form.get());
  EXPECT_EQ(b->Width(), 18 / 4);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(form->Handle(), b->Left() + 1, b->Top() + 1, b->Left() + 1, b->Top() + 1);
  EXPECT_TRUE(b->Inverted());
  EXPECT_EQ(clicks, 1);
  b->SetInverted(false);  // from code: OnClick once
  EXPECT_FALSE(b->Inverted());
  EXPECT_EQ(clicks, 2);
  b->SetInverted(false);
  EXPECT_EQ(clicks, 2);
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(b->FaceIndex(), 1);
}

TEST(TransButton, PlainButtonOnlyClicks) {
  auto form = MakeForm();
  auto* b = new TXPTransButton(form.get(), L"XPEXPANDSECTION", false);
  b->SetParent(form.get());
  EXPECT_EQ(b->Width(), 9);
  EXPECT_EQ(b->Height(), 5);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ClickAt(form->Handle(), 1, 1, 1, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(b->Inverted());
  b->SetInverted(true);
  EXPECT_FALSE(b->Inverted());
  EXPECT_EQ(clicks, 1);
  // The hot face comes from the strip's second cell, fuchsia left out.
  b->Perform(CM_MOUSEENTER);
  TBitmap shot;
  MakeCanvas(shot, 9, 5, clWhite);
  b->PaintTo(shot.Canvas().Handle());
  EXPECT_EQ(PixelAt(shot, 0, 0), 0x800000);  // navy outline
  EXPECT_EQ(PixelAt(shot, 0, 4), clWhite);   // transparent corner
}

}  // namespace

}  // namespace instrument_test
