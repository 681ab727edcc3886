// Editor buttons: the notices each write sends through the collection, the
// one default button, captions as drawn, the glyph made on demand, Assign
// and the visible count.
#include "Application.h"
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

// ---- Actions

namespace {

// An action whose loading state a test sets.
class TLoadingAction : public TAction {
public:
  TVK_CLASS(TLoadingAction, TAction)
  using TAction::TAction;
  void SetLoading(bool AValue) { SetComponentState(csLoading, AValue); }
};

}  // namespace

TEST(EditButtons, ABoundActionPassesItsValuesAndDecidesWhatIsStored) {
  TCountedButtons set;
  TcxEditButton* button = set.Buttons.Add();
  TAction action(nullptr);
  action.SetCaption(L"&Open");
  action.SetHint(L"Opens");
  action.SetImageIndex(3);
  set.Changes = 0;
  button->SetAction(&action);
  EXPECT_EQ(&action, button->Action());
  EXPECT_EQ(L"&Open", button->Caption());
  EXPECT_EQ(L"Open", button->VisibleCaption());
  EXPECT_EQ(L"Opens", button->Hint());
  EXPECT_EQ(3, button->ImageIndex());
  EXPECT_EQ(2, set.Changes) << "caption and image index, each its own notice";
  EXPECT_FALSE(button->IsCaptionStored());
  EXPECT_FALSE(button->IsHintStored());
  EXPECT_FALSE(button->IsImageIndexStored());

  action.SetCaption(L"Save");
  EXPECT_EQ(L"Save", button->Caption());
  action.SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
  action.SetHint(L"Saves");
  EXPECT_EQ(L"Saves", button->Hint());
  button->SetCaption(L"Mine");
  EXPECT_TRUE(button->IsCaptionStored()) << "no longer the action's";
  action.SetCaption(L"Other");
  EXPECT_EQ(L"Other", button->Caption()) << "every change of the action applies its values again";

  // Update pulls through the action's update handler.
  action.OnUpdate = [&](TObject*) { action.SetVisible(false); };
  set.Buttons.UpdateFromActions();
  EXPECT_FALSE(button->Visible());

  button->SetAction(nullptr);
  EXPECT_EQ(nullptr, button->ActionLink());
  EXPECT_TRUE(button->IsCaptionStored());
}

TEST(EditButtons, ALoadingActionOnlyFillsDefaults) {
  TCountedButtons set;
  TcxEditButton* own = set.Buttons.Add();
  own->SetCaption(L"Own");
  own->SetHint(L"own hint");
  own->SetImageIndex(1);
  own->SetEnabled(false);
  TcxEditButton* blank = set.Buttons.Add();
  TLoadingAction action(nullptr);
  action.SetCaption(L"Act");
  action.SetHint(L"act hint");
  action.SetImageIndex(5);
  action.SetLoading(true);
  own->SetAction(&action);
  blank->SetAction(&action);
  EXPECT_EQ(L"Own", own->Caption());
  EXPECT_EQ(L"own hint", own->Hint());
  EXPECT_EQ(1, own->ImageIndex());
  EXPECT_FALSE(own->Enabled()) << "a disabled button stays so";
  EXPECT_EQ(L"Act", blank->Caption());
  EXPECT_EQ(L"act hint", blank->Hint());
  EXPECT_EQ(5, blank->ImageIndex());
}

TEST(EditButtons, AGoingActionUnbindsEveryButtonThatNamesIt) {
  TCountedButtons set;
  TcxEditButton* a = set.Buttons.Add();
  TcxEditButton* b = set.Buttons.Add();
  TcxEditButton* c = set.Buttons.Add();
  auto action = std::make_unique<TAction>(nullptr);
  action->SetCaption(L"Go");
  a->SetAction(action.get());
  b->SetAction(action.get());
  c->SetAction(action.get());
  // One button leaving must not leave the others without the notification.
  c->SetAction(nullptr);
  action.reset();
  EXPECT_EQ(nullptr, a->Action());
  EXPECT_EQ(nullptr, a->ActionLink());
  EXPECT_EQ(nullptr, b->Action());
  EXPECT_EQ(L"Go", a->Caption()) << "the values taken over stay";

  // A button going while bound leaves the action alone.
  TAction kept(nullptr);
  TcxEditButton* d = set.Buttons.Add();
  d->SetAction(&kept);
  delete d;
  EXPECT_TRUE(kept.Clients().empty());
}

TEST(EditButtons, AssignBindsTheSourcesActionAndTheLinkRefusesOtherClients) {
  TCountedButtons set;
  TcxEditButton* source = set.Buttons.Add();
  TAction action(nullptr);
  action.SetCaption(L"Run");
  source->SetAction(&action);
  TCountedButtons other;
  TcxEditButton* target = other.Buttons.Add();
  target->Assign(*source);
  EXPECT_EQ(&action, target->Action());
  EXPECT_EQ(L"Run", target->Caption());
  TAction notAButton(nullptr);
  EXPECT_THROW(TcxEditButtonActionLink link(&notAButton), EInvalidCast);
}

TEST(EditButtons, ActionHintsShowTheShortcut) {
  TCountedButtons set;
  TcxEditButton* button = set.Buttons.Add();
  TAction action(nullptr);
  button->SetAction(&action);
  struct TCase {
    TShortCut ShortCut;
    bool HintShortCuts;
    const wchar_t* Hint;
    const wchar_t* Shown;
  };
  const TCase cases[] = {
      {ShortCut('S', ssCtrl), true, L"Save", L"Save (Ctrl+S)"},
      {ShortCut(VK_F5, 0), true, L"Run", L"Run (F5)"},
      {ShortCut(VK_RETURN, ssShift | ssAlt), true, L"Go", L"Go (Shift+Alt+Enter)"},
      {ShortCut('S', ssCtrl), true, L"", L""},
      {0, true, L"Save", L"Save"},
      {ShortCut('S', ssCtrl), false, L"Save", L"Save"},
  };
  for (const TCase& c : cases) {
    action.SetShortCut(c.ShortCut);
    Application().SetHintShortCuts(c.HintShortCuts);
    WideString hint = c.Hint;
    EXPECT_TRUE(button->ActionLink()->PrepareHint(hint));
    EXPECT_EQ(c.Shown, hint) << c.Hint;
  }
  Application().SetHintShortCuts(true);
  action.OnHint = [](WideString& AHint, bool& ACanShow) {
    AHint = L"changed";
    ACanShow = false;
  };
  WideString hint = L"Save";
  button->ActionLink()->PrepareHint(hint);
  EXPECT_EQ(L"changed", hint) << "the action's handler may change it and stop the shortcut";
}

}  // namespace laf_editors_test
