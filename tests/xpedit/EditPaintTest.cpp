// The styled edit painted into a 32-bit bitmap in the three look modes, the
// button edit, and the transparent edits' registry and hook.
#include "Panels.h"
#include "XPEditTest.h"

#include <uxtheme.h>
#include <vssym32.h>

using namespace tvk;
namespace xpedit_test {
using styled_test::InkIn;
using styled_test::PixelAt;

namespace {

struct EditPainting : EditFixture {
  // The colour at the right end of the text rectangle (past any text).
  TColor BackgroundOf(TCustomXPEdit& edit) {
    TBitmap bitmap;
    instrument_test::PaintInto(edit, bitmap);
    RECT r;
    edit.GetTextRect(r);
    return PixelAt(bitmap, r.right - 2, r.top + 2);
  }
};

TEST_F(EditPainting, StateColoursInEveryLook) {
  struct {
    int Mode;
    bool Enabled, ReadOnly;
    TColor* Expected;
  } cases[] = {
      {0, true, false, &SubstWindowColor},       {0, true, true, &SubstWindowColor},
      {0, false, false, &SubstWindowColor},      {1, true, false, &SubstWindowColor},
      {1, true, true, &SubstBtnHighlightColor},  {1, false, false, &SubstBtnHighlightColor},
  };
  for (const auto& c : cases) {
    Look(c.Mode);
    auto* edit = Make<TXPEdit>();
    edit->SetColor(clRed);  // the native look ignores it
    edit->SetEnabled(c.Enabled);
    edit->SetReadOnly(c.ReadOnly);
    EXPECT_EQ(TColor(ColorToRGB(*c.Expected)), TColor(BackgroundOf(*edit)))
        << "mode " << c.Mode << " enabled " << c.Enabled << " read-only " << c.ReadOnly;
    if (!c.Enabled) {
      EXPECT_EQ(SubstBtnShadowColor, edit->GetColors().Text);
    }
    delete edit;
  }
  // The themed look before Vista fills the text with the theme's fill colour of
  // the edit's normal and read-only states (the window colour where the theme has none);
  // custom colours take Color.
  Look(2);
  OverrideWin32Version(5, 1);
  auto* edit = Make<TXPEdit>();
  for (bool readOnly : {false, true}) {
    edit->SetReadOnly(readOnly);
    TColor expected = readOnly ? SubstBtnHighlightColor : SubstWindowColor;
    if (HTHEME theme = ::OpenThemeData(edit->Handle(), L"EDIT")) {
      COLORREF fill;
      if (SUCCEEDED(::GetThemeColor(theme, 1, readOnly ? 6 : 1, TMT_FILLCOLOR, &fill))) expected = TColor(fill);
      ::CloseThemeData(theme);
    }
    EXPECT_EQ(TColor(ColorToRGB(expected)), TColor(BackgroundOf(*edit))) << "read-only " << readOnly;
  }
  edit->SetReadOnly(false);
  edit->SetUseColor(true);
  edit->SetColor(0x00C0FF);
  EXPECT_EQ(TColor(0x00C0FF), TColor(BackgroundOf(*edit)));
}

TEST_F(EditPainting, EmulatedLookHasItsFrameAndAnEmptyTextStillFillsTheTextArea) {
  Look(1);
  auto* edit = Make<TXPEdit>();
  TBitmap bitmap;
  instrument_test::PaintInto(*edit, bitmap);
  EXPECT_EQ(TColor(0xB99D7F), PixelAt(bitmap, 0, 0));
  RECT r;
  edit->GetTextRect(r);
  EXPECT_EQ(0, InkIn(bitmap, ColorToRGB(SubstWindowColor), r));
  edit->SetFrameColor(clRed);
  edit->SetUseColor(true);
  instrument_test::PaintInto(*edit, bitmap);
  EXPECT_EQ(TColor(ColorToRGB(clRed)), PixelAt(bitmap, 0, 0));
}

TEST_F(EditPainting, SelectionShowsWhenFocusedOrNotHidden) {
  Look(0);
  auto* other = Make<TXPEdit>(10, 60);
  auto* edit = Make<TXPEdit>();
  edit->SetText(L"MMMMMM");
  edit->SelectAll();
  other->SetFocus();
  auto highlighted = [&] {
    TBitmap bitmap;
    instrument_test::PaintInto(*edit, bitmap);
    RECT r;
    edit->GetTextRect(r);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += PixelAt(bitmap, x, y) == TColor(ColorToRGB(SubstHighlightColor));
    return n;
  };
  EXPECT_EQ(0, highlighted());
  edit->SetHideSelection(false);
  EXPECT_GT(highlighted(), 0);
  edit->SetHideSelection(true);
  edit->SetFocus();
  EXPECT_GT(highlighted(), 0);
  // Disabled: the selection is the text's colours swapped.
  edit->SetEnabled(false);
  edit->SetHideSelection(false);
  EXPECT_EQ(edit->GetColors().Text, edit->GetColors().SelBack);
}

// A button edit with the ellipsis glyph.
class TEllipsisEdit : public TXPCustomButtonEdit {
public:
  using TXPCustomButtonEdit::TXPCustomButtonEdit;
  TGraphic* GetButtonGlyph(TXPEditButton&) override { return &TXPEditResourceManager::EllipsisGlyph(); }
  using TXPCustomButtonEdit::DrawButtonGlyph;
};

TEST_F(EditPainting, ButtonEditButtonSitsRightAndClicksWithCtrlEnter) {
  Look(1);
  auto* edit = Make<TEllipsisEdit>();
  EXPECT_EQ(145, edit->Width());
  EXPECT_EQ(19, edit->Button().Width());
  RECT text, button;
  edit->GetTextRect(text);
  edit->GetButtonRect(button);
  EXPECT_EQ(edit->ClientWidth() - edit->FrameSize(), button.right);
  EXPECT_LE(text.right, button.left);
  TObject* sender = nullptr;
  int clicks = 0;
  edit->OnButtonClick = [&](TObject* s) {
    sender = s;
    ++clicks;
  };
  edit->SetFocus();
  Key(edit->Handle(), VK_RETURN, ssCtrl);
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(&edit->Button(), sender);  // the button, not the edit
  EXPECT_EQ(0, edit->Perform(CM_WANTSPECIALKEY, VK_RETURN));
  edit->SetWantsReturn(true);
  EXPECT_EQ(1, edit->Perform(CM_WANTSPECIALKEY, VK_RETURN));

  // A disabled edit draws the glyph's right (disabled) half.
  TBitmap& glyph = TXPEditResourceManager::EllipsisGlyph();
  TColor enabledInk = glyph.Canvas().Pixel(1, 1), disabledInk = glyph.Canvas().Pixel(10 + 1, 1);
  ASSERT_NE(enabledInk, disabledInk);
  // How many pixels of the button show Ink when the edit is enabled or not.
  auto inkOf = [&](bool enabled, TColor ink) {
    edit->SetEnabled(enabled);
    TBitmap b;
    styled_test::MakeCanvas(b, 19, 21, clWhite);
    edit->Button().Canvas().SetHandle(b.Canvas().Handle());
    edit->DrawButtonGlyph(edit->Button(), RECT{0, 0, 19, 21});
    edit->Button().Canvas().SetHandle(nullptr);
    return 19 * 21 - InkIn(b, ColorToRGB(ink), RECT{0, 0, 19, 21});
  };
  EXPECT_GT(inkOf(true, enabledInk), 0);
  EXPECT_EQ(0, inkOf(true, disabledInk));
  EXPECT_GT(inkOf(false, disabledInk), 0);
  EXPECT_EQ(0, inkOf(false, enabledInk));
}

TEST_F(EditPainting, TransparentButtonEditShowsItsButtonOnlyWhenFocusedOrHovered) {
  auto* other = Make<TXPEdit>(10, 60);
  auto* edit = Make<TEllipsisEdit>();
  edit->SetTransparent(true);
  other->SetFocus();
  edit->UpdateButtonVisibility();
  EXPECT_FALSE(edit->Button().Visible());
  edit->Perform(CM_MOUSEENTER);
  EXPECT_TRUE(edit->Button().Visible());
  edit->Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(edit->Button().Visible());
  edit->SetFocus();
  edit->UpdateButtonVisibility();
  EXPECT_TRUE(edit->Button().Visible());
}

TEST_F(EditPainting, TransparentEditsShareOneHookAndOnlyAnOverlappedOneIsInvalidated) {
  auto* first = Make<TXPEdit>(10, 10);
  auto* second = Make<TXPEdit>(300, 10);
  EXPECT_EQ(nullptr, TXPEditResourceManager::TransparentHook());
  first->SetTransparent(true);
  HHOOK hook = TXPEditResourceManager::TransparentHook();
  EXPECT_NE(nullptr, hook);
  second->SetTransparent(true);
  EXPECT_EQ(hook, TXPEditResourceManager::TransparentHook());
  EXPECT_EQ(2, TXPEditResourceManager::TransparentCount());
  EXPECT_NE(0, GetWindowLongW(first->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);

  auto* sibling = new TPanel(form.get());
  sibling->SetParent(form.get());
  sibling->SetBounds(50, 15, 40, 40);  // over the first edit only
  sibling->HandleNeeded();
  ValidateRect(first->Handle(), nullptr);
  ValidateRect(second->Handle(), nullptr);
  SendMessageW(sibling->Handle(), WM_SIZE, 0, MAKELPARAM(40, 40));
  EXPECT_TRUE(GetUpdateRect(first->Handle(), nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(second->Handle(), nullptr, FALSE));

  delete first;
  EXPECT_EQ(hook, TXPEditResourceManager::TransparentHook());
  second->SetTransparent(false);
  EXPECT_EQ(nullptr, TXPEditResourceManager::TransparentHook());
  EXPECT_EQ(0, TXPEditResourceManager::TransparentCount());
}

TEST_F(EditPainting, GlyphsFollowTheLookAndComeInTwoHalves) {
  Look(0);
  TBitmap* classic = &TXPEditResourceManager::ComboButtonGlyph();
  Look(2);
  TBitmap* themed = &TXPEditResourceManager::ComboButtonGlyph();
  EXPECT_NE(classic, themed);
  EXPECT_EQ(18, classic->Width());
  EXPECT_EQ(20, themed->Width());
  EXPECT_EQ(64, TXPEditResourceManager::ComboButton().Height());
  EXPECT_EQ(11, TXPEditResourceManager::DirectoryGlyph().Height());
}

TEST_F(EditPainting, AutoWidthOfAnEmptyEditIsItsFrameAndHeightFollowsTheFont) {
  Look(1);
  auto* edit = Make<TXPEdit>();
  EXPECT_EQ(2 * (edit->FrameSize() + edit->BorderSize()), edit->GetAutoWidth());
  edit->SetText(L"Some text");
  EXPECT_GT(edit->GetAutoWidth(), 40);
  int before = edit->Height();
  edit->Font().SetSize(20);
  EXPECT_GT(edit->Height(), before);
}

}  // namespace

}  // namespace xpedit_test
