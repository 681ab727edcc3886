// Push buttons, check boxes and radio buttons: kinds, mouse and Space,
// default and cancel keys, accelerators, glyphs, toggling and groups.
#include "WinXPButtons.h"
#include "XPEditTest.h"
#include "XPGroups.h"

#include <uxtheme.h>
#include <vssym32.h>

using namespace tvk;
namespace xpedit_test {
using styled_test::PixelAt;

namespace {

struct Buttons : EditFixture {};

// A button made as a form's design makes it (loading until Loaded).
class TLoadingBitBtn : public TXPBitBtn {
public:
  using TXPBitBtn::TXPBitBtn;
  void BeginLoading() { SetComponentState(csLoading, true); }
};

TEST_F(Buttons, KindSetsCaptionResultKeysAndGlyphUntilOneOfThemChanges) {
  const struct {
    TBitBtnKind Kind;
    const wchar_t* Caption;
    TModalResult Result;
    bool Default, Cancel;
  } kinds[] = {
      {TBitBtnKind::bkOK, L"OK", mrOk, true, false},         {TBitBtnKind::bkCancel, L"Cancel", mrCancel, false, true},
      {TBitBtnKind::bkHelp, L"&Help", mrNone, false, false}, {TBitBtnKind::bkYes, L"&Yes", mrYes, true, false},
      {TBitBtnKind::bkNo, L"&No", mrNo, false, true},        {TBitBtnKind::bkClose, L"&Close", mrNone, false, false},
      {TBitBtnKind::bkAbort, L"Abort", mrAbort, false, false}, {TBitBtnKind::bkRetry, L"&Retry", mrRetry, false, false},
      {TBitBtnKind::bkIgnore, L"&Ignore", mrIgnore, false, false}, {TBitBtnKind::bkAll, L"&All", mrAll, false, false},
  };
  for (const auto& k : kinds) {
    auto* button = Make<TXPBitBtn>();
    button->SetKind(k.Kind);
    EXPECT_EQ(k.Kind, button->Kind());
    EXPECT_EQ(WideString(k.Caption), button->Caption());
    EXPECT_EQ(k.Result, button->ModalResult());
    EXPECT_EQ(k.Default, button->Default());
    EXPECT_EQ(k.Cancel, button->Cancel());
    EXPECT_EQ(2, button->NumGlyphs());
    EXPECT_EQ(36, button->Glyph().Width());
    delete button;
  }
  auto* button = Make<TXPBitBtn>();
  button->SetKind(TBitBtnKind::bkOK);
  button->SetModalResult(mrCancel);
  EXPECT_EQ(TBitBtnKind::bkCustom, button->Kind());
  button->SetKind(TBitBtnKind::bkOK);
  button->Glyph().SetSize(18, 18);  // a glyph of the form's own
  EXPECT_EQ(TBitBtnKind::bkCustom, button->Kind());

  auto* loaded = new TLoadingBitBtn(form.get());
  loaded->SetCaption(L"Go");
  loaded->BeginLoading();
  loaded->SetKind(TBitBtnKind::bkOK);
  EXPECT_EQ(L"Go", loaded->Caption());
  EXPECT_TRUE(loaded->Default());
}

TEST_F(Buttons, MouseAndSpaceClickOnceAndDraggingOutDoesNot) {
  auto* button = Make<TXPBitBtn>();
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  instrument_test::ClickAt(button->Handle(), 5, 5, 6, 6);
  EXPECT_EQ(1, clicks);

  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, instrument_test::At(5, 5));
  EXPECT_TRUE(button->Pressed());
  SendMessageW(button->Handle(), WM_MOUSEMOVE, MK_LBUTTON, instrument_test::At(200, 200));
  EXPECT_FALSE(button->Pressed());
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, instrument_test::At(200, 200));
  EXPECT_EQ(1, clicks);

  SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(1, clicks);
  SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, LPARAM(3) << 30);
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(2, clicks);

  // A double click is a second click.
  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, instrument_test::At(5, 5));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, instrument_test::At(5, 5));
  SendMessageW(button->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, instrument_test::At(5, 5));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, instrument_test::At(5, 5));
  EXPECT_EQ(4, clicks);
}

TEST_F(Buttons, EnterAndEscapeReachTheDefaultAndCancelButtonsAndSetTheModalResult) {
  auto* edit = Make<TXPEdit>(10, 10);
  auto* ok = Make<TXPBitBtn>(10, 50);
  auto* cancel = Make<TXPBitBtn>(100, 50);
  ok->SetKind(TBitBtnKind::bkOK);
  cancel->SetKind(TBitBtnKind::bkCancel);
  int okClicks = 0, cancelClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  edit->SetFocus();
  EXPECT_TRUE(ok->Active());
  Key(edit->Handle(), VK_RETURN);
  EXPECT_EQ(1, okClicks);
  EXPECT_EQ(mrOk, form->ModalResult());
  Key(edit->Handle(), VK_ESCAPE);
  EXPECT_EQ(1, cancelClicks);
  EXPECT_EQ(mrCancel, form->ModalResult());
  // A focused button is the active one: Enter clicks it, not the default.
  cancel->SetFocus();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(cancel->Active());
  Key(cancel->Handle(), VK_RETURN);
  EXPECT_EQ(2, cancelClicks);
  EXPECT_EQ(1, okClicks);
}

TEST_F(Buttons, AcceleratorsClickButtonsToggleChecksAndFocusAGroupsFirstChild) {
  auto* edit = Make<TXPEdit>(10, 10);
  auto* button = Make<TXPBitBtn>(10, 50);
  button->SetCaption(L"&Go");
  auto* check = Make<TXPCheckBox>(10, 90);
  check->SetCaption(L"&Verify");
  auto* group = Make<TXPGroupBox>(300, 10);
  group->SetCaption(L"&Flash");
  auto* inner = new TXPEdit(form.get());
  inner->SetParent(group);
  inner->SetBounds(10, 30, 100, 21);
  int clicks = 0, checks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  check->OnClick = [&](TObject*) { ++checks; };
  edit->SetFocus();
  SendMessageW(edit->Handle(), WM_SYSCHAR, L'g', LPARAM(1) << 29);
  EXPECT_EQ(1, clicks);
  EXPECT_TRUE(button->Focused());
  SendMessageW(button->Handle(), WM_SYSCHAR, L'v', LPARAM(1) << 29);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(1, checks);
  // Without Alt on a control that takes no characters.
  SendMessageW(check->Handle(), WM_CHAR, L'G', 1);
  EXPECT_EQ(2, clicks);
  SendMessageW(button->Handle(), WM_SYSCHAR, L'f', LPARAM(1) << 29);
  EXPECT_TRUE(inner->Focused());
}

TEST_F(Buttons, DisabledButtonGreysAOneCellGlyph) {
  Look(0);
  auto* button = Make<TXPBitBtn>();
  button->SetCaption(L"");
  TBitmap glyph;
  styled_test::MakeCanvas(glyph, 16, 16, clRed);
  glyph.Canvas().SetPixel(0, 15, clLime);  // the bottom-left pixel: transparent
  button->SetGlyph(glyph);
  EXPECT_EQ(1, button->NumGlyphs());
  auto count = [&](TColor color) {
    TBitmap bitmap;
    instrument_test::PaintInto(*button, bitmap);
    int n = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) n += PixelAt(bitmap, x, y) == color;
    return n;
  };
  EXPECT_GT(count(ColorToRGB(clRed)), 200);
  button->SetEnabled(false);
  EXPECT_EQ(0, count(ColorToRGB(clRed)));
  EXPECT_GT(count(ColorToRGB(clBtnShadow)), 200);
  EXPECT_EQ(0, button->GetGlyphIndex());
}

TEST_F(Buttons, ShieldRequestSetsTheShield) {
  auto* button = Make<TXPBitBtn>();
  EXPECT_EQ(1, button->Perform(BCM_SETSHIELD, 1));
  EXPECT_TRUE(button->ShowShieldIcon());
  EXPECT_EQ(1, button->Perform(BCM_SETSHIELD, 0));
  EXPECT_FALSE(button->ShowShieldIcon());
}

TEST_F(Buttons, CheckBoxCyclesWithOneClickEventPerStep) {
  auto* box = Make<TXPCheckBox>();
  box->SetAllowGrayed(true);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  const TCheckBoxState cycle[] = {TCheckBoxState::cbGrayed, TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked};
  for (auto expected : cycle) {
    instrument_test::ClickAt(box->Handle(), 5, 5, 5, 5);
    EXPECT_EQ(expected, box->State());
  }
  EXPECT_EQ(3, clicks);
  SendMessageW(box->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(box->Handle(), WM_KEYUP, VK_SPACE, LPARAM(3) << 30);
  EXPECT_EQ(TCheckBoxState::cbGrayed, box->State());
  EXPECT_EQ(4, clicks);
  box->SetChecked(true);  // from code: OnClick too, once
  EXPECT_EQ(5, clicks);
  box->SetChecked(true);
  EXPECT_EQ(5, clicks);
  EXPECT_TRUE(box->GetModified());
  box->ClearModified();
  EXPECT_FALSE(box->GetModified());
  box->SetState(TCheckBoxState::cbGrayed);
  EXPECT_NE(0u, box->GetFrameControlState() & DFCS_INACTIVE);
}

TEST_F(Buttons, RadioButtonsUncheckTheirGroupOnlyAndCheckOnThePressOrFocus) {
  auto* a = Make<TXPRadioButton>(10, 10);
  auto* b = Make<TXPRadioButton>(10, 30);
  auto* other = Make<TXPRadioButton>(10, 50);
  other->SetGroupIndex(1);
  auto* group = Make<TXPGroupBox>(300, 10);
  auto* inside = new TXPRadioButton(form.get());
  inside->SetParent(group);
  inside->SetBounds(10, 30, 100, 17);
  inside->HandleNeeded();
  int clicks = 0;
  a->OnClick = [&](TObject*) { ++clicks; };
  other->SetChecked(true);
  inside->SetChecked(true);
  SendMessageW(a->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, instrument_test::At(5, 5));
  EXPECT_TRUE(a->Checked());  // on the press
  EXPECT_EQ(1, clicks);
  SendMessageW(a->Handle(), WM_LBUTTONUP, 0, instrument_test::At(5, 5));
  EXPECT_EQ(1, clicks);
  EXPECT_TRUE(a->TabStop());
  b->SetFocus();  // as Tab would
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_FALSE(a->TabStop());
  EXPECT_TRUE(other->Checked());
  EXPECT_TRUE(inside->Checked());
  a->SetChecked(true);  // from code: OnClick too
  EXPECT_EQ(2, clicks);
}

TEST_F(Buttons, PaintsInEveryLook) {
  for (int mode : {0, 1, 2}) {
    Look(mode);
    auto* button = Make<TXPBitBtn>();
    button->SetKind(TBitBtnKind::bkOK);
    auto* box = Make<TXPCheckBox>(10, 50);
    box->SetCaption(L"Verify");
    box->SetChecked(true);
    for (TWinControl* control : std::initializer_list<TWinControl*>{button, box}) {
      TBitmap bitmap;
      instrument_test::PaintInto(*control, bitmap);
      EXPECT_GT(styled_test::InkIn(bitmap, clBlack, RECT{0, 0, control->Width(), control->Height()}), 20)
          << "mode " << mode;
    }
    delete button;
    delete box;
  }
}

// In the themed look the face's edges are the theme's push-button element in
// the button's state (the caption keeps to the middle).
TEST_F(Buttons, ThemedFaceIsTheThemesElementOfItsState) {
  Look(2);
  auto* button = Make<TXPBitBtn>();
  button->SetBounds(10, 10, 90, 30);
  HTHEME theme = ::OpenThemeData(button->Handle(), L"BUTTON");
  ASSERT_NE(nullptr, theme);
  for (bool enabled : {true, false}) {
    button->SetEnabled(enabled);
    TBitmap painted, reference;
    instrument_test::PaintInto(*button, painted);
    styled_test::MakeCanvas(reference, 90, 30, clBlack);
    const RECT all{0, 0, 90, 30};
    ::DrawThemeBackground(theme, reference.Canvas().Handle(), BP_PUSHBUTTON, enabled ? PBS_NORMAL : PBS_DISABLED, &all,
                          nullptr);
    for (int x = 1; x < 6; ++x)
      for (int y : {8, 15, 22}) {
        EXPECT_EQ(PixelAt(reference, x, y), PixelAt(painted, x, y)) << "enabled " << enabled << " at " << x << "," << y;
        EXPECT_EQ(PixelAt(reference, 89 - x, y), PixelAt(painted, 89 - x, y)) << "enabled " << enabled;
      }
  }
  ::CloseThemeData(theme);
}

}  // namespace

}  // namespace xpedit_test
