// Editor buttons: the notices each write sends through the collection, the
// one default button, captions as drawn, the glyph made on demand, Assign
// and the visible count.
#include "EditorsTest.h"
#include "cxEditButtons.h"

using namespace tvk;

namespace laf_editors_test {

namespace {

struct TCountedButtons {
  TCountedButtons() : Buttons(nullptr) { Buttons.OnChange = [this](TObject*) { ++Changes; }; }
  TcxEditButtons Buttons;
  int Changes = 0;
};

}  // namespace

TEST(EditButtons, AddIsOneChangeWithTheDefaults) {
  TCountedButtons set;
  TcxEditButton* button = set.Buttons.Add();
  EXPECT_EQ(1, set.Changes);
  EXPECT_EQ(bkDown, button->Kind());
  EXPECT_EQ(TAlignment::taCenter, button->ContentAlignment());
  EXPECT_TRUE(button->Enabled() && button->Visible() && button->Stretchable());
  EXPECT_EQ(-1, button->ImageIndex());
  EXPECT_EQ(clBtnText, button->TextColor());
  EXPECT_FALSE(button->HasGlyph());
  new TcxEditButton(&set.Buttons);
  EXPECT_EQ(2, set.Changes) << "a button made directly is one change too";
  EXPECT_STREQ(L"TcxEditButton", set.Buttons.Items(1)->ClassName().c_str());
}

TEST(EditButtons, WritesNotifyOnRealChangesOnly) {
  TCountedButtons set;
  TcxEditButton* button = set.Buttons.Add();
  struct TCase {
    const char* Name;
    void (*Write)(TcxEditButton&);
    int Changes;  // on the first write; a second equal write sends none
  } cases[] = {
      {"Kind", [](TcxEditButton& b) { b.SetKind(bkGlyph); }, 1},
      {"Enabled", [](TcxEditButton& b) { b.SetEnabled(false); }, 1},
      {"ImageIndex", [](TcxEditButton& b) { b.SetImageIndex(3); }, 1},
      {"LeftAlignment", [](TcxEditButton& b) { b.SetLeftAlignment(true); }, 1},
      {"Stretchable", [](TcxEditButton& b) { b.SetStretchable(false); }, 1},
      {"TextColor", [](TcxEditButton& b) { b.SetTextColor(clRed); }, 1},
      {"Visible", [](TcxEditButton& b) { b.SetVisible(false); }, 1},
      {"ContentAlignment", [](TcxEditButton& b) { b.SetContentAlignment(TAlignment::taLeftJustify); }, 1},
      {"Width", [](TcxEditButton& b) { b.SetWidth(20); }, 1},
      {"Caption", [](TcxEditButton& b) { b.SetCaption(L"&Save"); }, 1},
      {"Hint", [](TcxEditButton& b) { b.SetHint(L"tip"); }, 0},
      {"Tag", [](TcxEditButton& b) { b.SetTag(7); }, 0},
      {"negative Width", [](TcxEditButton& b) { b.SetWidth(-5); }, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    set.Changes = 0;
    c.Write(*button);
    EXPECT_EQ(c.Changes, set.Changes);
    c.Write(*button);
    EXPECT_EQ(c.Changes, set.Changes);
  }
  EXPECT_EQ(20, button->Width()) << "a negative width is ignored";
  set.Changes = 0;
  set.Buttons.BeginUpdate();
  button->SetKind(bkText);
  button->SetCaption(L"x");
  EXPECT_EQ(0, set.Changes) << "held inside the bracket";
  set.Buttons.EndUpdate();
  EXPECT_EQ(1, set.Changes) << "one notice after the bracket";
}

TEST(EditButtons, CaptionsAreDrawnWithoutTheirPrefixes) {
  TCountedButtons set;
  TcxEditButton* button = set.Buttons.Add();
  const struct {
    const wchar_t* Caption;
    const wchar_t* Visible;
  } cases[] = {{L"&Save", L"Save"}, {L"a&&b", L"a&b"}, {L"Save&", L"Save_"}, {L"", L""}, {L"plain", L"plain"}};
  for (const auto& c : cases) {
    button->SetCaption(c.Caption);
    EXPECT_EQ(c.Caption, button->Caption());
    EXPECT_EQ(c.Visible, button->VisibleCaption()) << c.Caption;
  }
}

TEST(EditButtons, OnlyOneDefaultButtonAndOneNoticeForIt) {
  TCountedButtons set;
  for (int i = 0; i < 3; ++i) set.Buttons.Add();
  set.Buttons.Items(0)->SetDefault(true);
  set.Changes = 0;
  set.Buttons.Items(2)->SetDefault(true);
  EXPECT_EQ(1, set.Changes);
  EXPECT_FALSE(set.Buttons.Items(0)->Default());
  EXPECT_FALSE(set.Buttons.Items(1)->Default());
  EXPECT_TRUE(set.Buttons.Items(2)->Default());
  set.Buttons.Items(2)->SetDefault(false);
  EXPECT_EQ(2, set.Changes);
  EXPECT_FALSE(set.Buttons.Items(2)->Default());
}

TEST(EditButtons, TheGlyphIsMadeOnDemandAndReportsChangesInPlace) {
  TCountedButtons set;
  TcxEditButton* button = set.Buttons.Add();
  set.Changes = 0;
  TBitmap* glyph = button->Glyph();
  ASSERT_NE(nullptr, glyph);
  EXPECT_TRUE(glyph->Empty());
  EXPECT_EQ(0, set.Changes) << "reading makes the glyph without a notice";
  glyph->SetSize(8, 8);
  EXPECT_GE(set.Changes, 1) << "a change in place is reported";
  set.Changes = 0;
  button->SetGlyph(nullptr);
  EXPECT_FALSE(button->HasGlyph());
  EXPECT_EQ(1, set.Changes);
  button->SetGlyph(nullptr);
  EXPECT_EQ(2, set.Changes) << "a write always notifies";
}

TEST(EditButtons, AssignCopiesAndGivesTheSourceAGlyph) {
  TCountedButtons from, to;
  TcxEditButton* source = from.Buttons.Add();
  source->SetCaption(L"&Go");
  source->SetKind(bkText);
  source->SetWidth(30);
  source->SetHint(L"runs it");
  source->SetTag(9);
  source->SetTextColor(clBlue);
  source->SetLeftAlignment(true);
  TcxEditButton* target = to.Buttons.Add();
  to.Changes = 0;
  target->Assign(*source);
  EXPECT_EQ(1, to.Changes) << "inside one bracket";
  EXPECT_EQ(L"&Go", target->Caption());
  EXPECT_EQ(L"Go", target->VisibleCaption());
  EXPECT_EQ(bkText, target->Kind());
  EXPECT_EQ(30, target->Width());
  EXPECT_EQ(L"runs it", target->Hint());
  EXPECT_EQ(9, target->Tag());
  EXPECT_EQ(clBlue, target->TextColor());
  EXPECT_TRUE(target->LeftAlignment());
  EXPECT_TRUE(source->HasGlyph()) << "the source's glyph was read";
  EXPECT_TRUE(target->HasGlyph());
  EXPECT_NE(source->Glyph(), target->Glyph());
}

TEST(EditButtons, VisibleCountAndOwner) {
  TPersistent owner;
  TcxEditButtons buttons(&owner);
  for (int i = 0; i < 3; ++i) buttons.Add();
  buttons.Items(0)->SetVisible(false);
  buttons.Items(2)->SetVisible(false);
  EXPECT_EQ(1, buttons.VisibleCount());
  EXPECT_EQ(&owner, buttons.GetOwner());
}

}  // namespace laf_editors_test
