// The editor's input through real window messages: the click key with a
// default button, the clear key with immediate posting, Tab and Shift+Tab
// on a form (Ctrl+Tab left alone), Enter validating, Escape restoring,
// navigation keys consumed, refused characters; and in-place use: activation
// by key and by mouse, the double click after a mouse activation,
// deactivation raising, and the in-place editor list.
#include "CustomEditTest.h"

#include "Application.h"
#include "Dialogs.h"

using namespace tvk;

namespace laf_editors_test {

namespace {

// Holds the given keys down in the thread's key state for the scope.
class TEditKeysHeld {
public:
  explicit TEditKeysHeld(std::initializer_list<int> AKeys) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    GetKeyboardState(state);
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON}) state[key] = 0;
    for (int key : AKeys) state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~TEditKeysHeld() { SetKeyboardState(FSaved); }
  TEditKeysHeld(const TEditKeysHeld&) = delete;
  TEditKeysHeld& operator=(const TEditKeysHeld&) = delete;

private:
  BYTE FSaved[256]{};
};

int gInputBeeps = 0;
BOOL CountInputBeep(UINT) {
  ++gInputBeeps;
  return TRUE;
}

class CustomEditInput : public EditorsUnits {
protected:
  void SetUp() override {
    EditorsUnits::SetUp();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 200);
    Before = MakeOther(10);
    Edit = CreateComponent<TTestEdit>(Form.get(), false);
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 40, 140, 24);
    After = MakeOther(100);
    Edit->OnKeyDown = [this](TObject*, WORD&, TShiftState) { ++KeyDowns; };
    Edit->OnKeyPress = [this](TObject*, wchar_t& Key) { Chars += Key; };
    Edit->OnAfterKeyDown = [this](TObject*, WORD&, TShiftState) { ++AfterKeyDowns; };
    Form->Show();
    Edit->SetFocus();
    Application().OnException = [this](TObject*, const std::exception_ptr& e) { Errors.push_back(ExceptionMessage(e)); };
  }
  void TearDown() override {
    Application().OnException = nullptr;
    Form.reset();
    EditorsUnits::TearDown();
  }
  TWinControl* MakeOther(int ATop) {
    auto* control = new TWinControl(Form.get());
    control->SetParent(Form.get());
    control->SetBounds(10, ATop, 50, 20);
    control->SetTabStop(true);
    return control;
  }
  void Key(WORD AKey) {
    SendMessageW(Edit->Handle(), WM_KEYDOWN, AKey, 0);
    PumpWaiting();
  }
  std::unique_ptr<TForm> Form;
  TWinControl* Before = nullptr;
  TWinControl* After = nullptr;
  TTestEdit* Edit = nullptr;
  int KeyDowns = 0;
  int AfterKeyDowns = 0;
  WideString Chars;
  std::vector<WideString> Errors;
};

TEST_F(CustomEditInput, TheClickKeyClicksTheDefaultButtonAndNothingElse) {
  std::vector<int> clicks;
  Edit->Properties().OnButtonClick = [&](TObject*, int AIndex) { clicks.push_back(AIndex); };
  Edit->Properties().Buttons().Add();
  Edit->Properties().Buttons().Add()->SetDefault(true);
  Edit->ShortRefreshContainer(false);
  ASSERT_EQ(2, Edit->ViewInfo().ButtonCount());
  {
    TEditKeysHeld ctrl({VK_CONTROL});
    PostMessageW(Edit->Handle(), WM_CHAR, L'\n', 0);  // what TranslateMessage would have queued
    SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PumpWaiting();
  }
  EXPECT_EQ(std::vector<int>{1}, clicks);
  EXPECT_EQ(0, KeyDowns) << "no OnKeyDown for the click key";
  EXPECT_EQ(L"", Chars) << "its character never arrives";

  Edit->Properties().Buttons().Items(1)->SetEnabled(false);
  Edit->ShortRefreshContainer(false);
  TEditKeysHeld ctrl({VK_CONTROL});
  Key(VK_RETURN);
  EXPECT_EQ(1, KeyDowns) << "a disabled default button leaves the key to the control";
}

TEST_F(CustomEditInput, TheClearKeyClearsAndPostsAtOnceWithImmediatePost) {
  Edit->Properties().SetClearKey(ShortCut(VK_DELETE, ssCtrl));
  Edit->Properties().SetImmediatePost(true);
  Edit->SetEditValue(Variant(L"full"));
  TEditKeysHeld ctrl({VK_CONTROL});
  Key(VK_DELETE);
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
  EXPECT_EQ(1, Edit->Binding().Posts);
  EXPECT_TRUE(VarIsNull(Edit->Binding().Stored));
  EXPECT_TRUE(Edit->IsEditValidated());
}

TEST_F(CustomEditInput, TabMovesTheFocusBothWaysAndCtrlTabIsLeftAlone) {
  struct Case {
    const char* Way;
    std::initializer_list<int> Held;
    TWinControl* Expected;
  };
  const Case cases[] = {{"Tab", {}, After}, {"Shift+Tab", {VK_SHIFT}, Before}, {"Ctrl+Tab", {VK_CONTROL}, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Way);
    Edit->SetFocus();
    ASSERT_EQ(Edit->Handle(), GetFocus());
    TEditKeysHeld held(c.Held);
    Key(VK_TAB);
    EXPECT_EQ(c.Expected ? c.Expected->Handle() : Edit->Handle(), GetFocus());
  }
}

TEST_F(CustomEditInput, EnterValidatesAnInvalidValueWithoutPosting) {
  Edit->Properties().SetValidateOnEnter(true);
  Edit->Properties().OnValidate = [](TObject*, Variant&, TCaption& ErrorText, bool& Error) {
    Error = true;
    ErrorText = L"No";
  };
  Edit->Type(L"bad");
  Key(VK_RETURN);
  EXPECT_EQ(std::vector<WideString>{L"No"}, Errors) << "through the application's handler";
  EXPECT_EQ(0, Edit->Binding().Posts);
  EXPECT_FALSE(Edit->AreChangeEventsLocked());
  EXPECT_EQ(Edit->Handle(), GetFocus());

  Edit->Properties().OnValidate = nullptr;
  Key(VK_RETURN);
  EXPECT_EQ(1, Edit->Binding().Posts);
  EXPECT_EQ(L"bad", VarToStr(Edit->Binding().Stored));
}

TEST_F(CustomEditInput, EscapeRestoresTheEntryValueAndSwallowsItsCharacter) {
  Edit->SetEditValue(Variant(L"entry"));
  Before->SetFocus();
  Edit->SetFocus();  // entering remembers the value
  Edit->Type(L"typed");
  Edit->SetValidatableEditValue(Variant(L"typed"));
  ASSERT_EQ(L"typed", VarToStr(Edit->EditValue()));
  Key(VK_ESCAPE);
  SendMessageW(Edit->Handle(), WM_CHAR, 27, 0);
  EXPECT_EQ(L"entry", VarToStr(Edit->EditValue()));
  EXPECT_EQ(L"entry", Edit->Text);
  EXPECT_TRUE(Edit->EditModified());
  EXPECT_FALSE(Edit->ModifiedAfterEnter());
  EXPECT_EQ(L"", Chars) << "the Escape character is dropped";
}

TEST_F(CustomEditInput, NavigationKeysAreConsumedAndRefusedCharactersBeep) {
  for (const WORD key : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) Key(key);
  EXPECT_EQ(8, AfterKeyDowns);
  EXPECT_EQ(8, KeyDowns);

  TMessageBeepHandler saved = SetMessageBeepHandler(&CountInputBeep);
  gInputBeeps = 0;
  SendMessageW(Edit->Handle(), WM_CHAR, L'#', 0);
  SendMessageW(Edit->Handle(), WM_CHAR, L'a', 0);
  SetMessageBeepHandler(saved);
  EXPECT_EQ(1, gInputBeeps);
  EXPECT_EQ(L"#a", Chars) << "OnKeyPress sees both; the editor drops the refused one after it";

  Edit->Properties().SetReadOnly(true);
  wchar_t typed = L'b';
  Chars.clear();
  Edit->OnKeyPress = [&](TObject*, wchar_t& Key) { typed = Key; };
  SendMessageW(Edit->Handle(), WM_CHAR, L'b', 0);
  EXPECT_EQ(L'b', typed);
  EXPECT_FALSE(Edit->ModifiedAfterEnter()) << "a read-only editor takes no character";
}

// ---- In place

class CustomEditInplace : public EditorsUnits {
protected:
  void SetUp() override {
    EditorsUnits::SetUp();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 200);
    Form->Show();
    List = std::make_unique<TcxInplaceEditList>(Form.get());
  }
  void TearDown() override {
    List.reset();
    Form.reset();
    EditorsUnits::TearDown();
  }
  TTestEdit* Place(TcxCustomEditProperties& AProperties) {
    auto* edit = static_cast<TTestEdit*>(List->GetEdit(&AProperties));
    edit->SetParent(Form.get());
    edit->SetBounds(20, 30, 120, 22);
    return edit;
  }
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TcxInplaceEditList> List;
};

TEST_F(CustomEditInplace, TheListKeepsOneEditorPerPropertiesAndReusesAFreedOnesEditor) {
  auto first = std::make_unique<TTestEditProperties>(nullptr);
  first->SetImmediatePost(true);
  TcxCustomEdit* edit = List->GetEdit(first.get());
  EXPECT_EQ(edit, List->GetEdit(first.get()));
  EXPECT_TRUE(edit->IsInplace());
  EXPECT_FALSE(edit->Visible());
  EXPECT_FALSE(edit->AutoSize());
  EXPECT_TRUE(edit->InternalProperties()->ImmediatePost()) << "assigned into its own";
  EXPECT_EQ(&TcxEditStyle::StaticClassInfo(), edit->Style()->ClassType()) << "the properties' style class";
  EXPECT_TRUE(edit->ViewInfo().ClassType()->InheritsFrom(&TcxCustomEditViewInfo::StaticClassInfo()));
  first.reset();  // the list forgets the properties, not the editor
  TTestEditProperties second(nullptr);
  EXPECT_EQ(edit, List->GetEdit(&second));
  EXPECT_EQ(1, List->Count());
  TcxCustomEditProperties other(nullptr);
  EXPECT_NE(edit, List->GetEdit(&other)) << "another editor class";
  EXPECT_EQ(2, List->Count());
}

TEST_F(CustomEditInplace, ActivationByKeyFocusesAndForwardsTheKey) {
  TTestEditProperties properties(nullptr);
  TTestEdit* edit = Place(properties);
  WideString chars;
  edit->OnKeyPress = [&](TObject*, wchar_t& Key) { chars += Key; };
  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey(L'x', data);
  PumpWaiting();
  EXPECT_TRUE(edit->Visible());
  EXPECT_EQ(edit->Handle(), GetFocus());
  EXPECT_EQ(L"x", chars);
  EXPECT_GT(edit->SelectAlls, 0) << "AutoSelect";
  EXPECT_FALSE(edit->EditModified());
}

TEST_F(CustomEditInplace, ASecondClickAfterAMouseActivationIsADoubleClick) {
  TTestEditProperties properties(nullptr);
  TTestEdit* edit = Place(properties);
  int doubles = 0;
  edit->OnDblClick = [&](TObject*) { ++doubles; };
  TcxCustomEditData* data = nullptr;
  edit->ActivateByMouse(ssLeft, 40, 40, data);  // the parent's point (20, 10) in the editor
  EXPECT_TRUE(edit->IsDblClickTimerEnabled());
  EXPECT_EQ(edit->Handle(), GetFocus());
  EXPECT_NE(edit->Handle(), GetCapture()) << "no button is down";
  SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  EXPECT_EQ(1, doubles);
  EXPECT_FALSE(edit->IsDblClickTimerEnabled());
  SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
  EXPECT_EQ(1, doubles) << "the window closed with the first click";
}

TEST_F(CustomEditInplace, DeactivateHandsAValidationErrorToTheHostAndPostsNothing) {
  TTestEditProperties properties(nullptr);
  TTestEdit* edit = Place(properties);
  int posts = 0;
  edit->OnPostEditValue = [&](TObject*) { ++posts; };
  edit->InternalProperties()->OnValidate = [](TObject*, Variant&, TCaption& ErrorText, bool& Error) {
    Error = true;
    ErrorText = L"Cell";
  };
  TcxCustomEditData* data = nullptr;
  edit->Activate(data);
  edit->Type(L"bad");
  EXPECT_THROW(edit->Deactivate(), EcxEditValidationError);
  EXPECT_EQ(0, posts);
  edit->InternalProperties()->OnValidate = nullptr;
  EXPECT_TRUE(edit->Deactivate());
  EXPECT_EQ(L"bad", VarToStr(edit->EditValue()));
  EXPECT_TRUE(edit->IsEditValidated());
}

}  // namespace

}  // namespace laf_editors_test
