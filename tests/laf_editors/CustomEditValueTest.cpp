// The editor's value of record: change events with and without value
// comparison and under locks, the locks' floors, editing rights against the
// provider, the repository item link, validation and its errors, and the
// validation error of a focus change, which must stay inside the window
// procedure and keep the focus.
#include "CustomEditTest.h"

#include "Application.h"
#include "Dialogs.h"

using namespace tvk;

namespace laf_editors_test {

TcxCustomEditClass TTestEditProperties::ContainerClass() { return EditClassOf<TTestEdit>(); }

namespace {

int gEditBeeps = 0;
BOOL CountEditBeep(UINT) {
  ++gEditBeeps;
  return TRUE;
}

class TTestItem : public TcxEditRepositoryItem {
public:
  TVK_CLASS(TTestItem, TcxEditRepositoryItem)
  explicit TTestItem(TComponent* AOwner) : TcxEditRepositoryItem(AOwner) { CreateProperties(); }
  TcxCustomEditPropertiesClass GetEditPropertiesClass() const override {
    return EditPropertiesClassOf<TTestEditProperties>();
  }
};

class CustomEdit : public EditorsUnits {
protected:
  void SetUp() override {
    EditorsUnits::SetUp();
    Edit.reset(CreateComponent<TTestEdit>(nullptr, false));
    Edit->Properties().OnChange = [this](TObject*) { ++Changes; };
    Edit->Properties().OnEditValueChanged = [this](TObject*) { ++ValueChanges; };
  }
  void TearDown() override {
    Edit.reset();
    Form.reset();
    EditorsUnits::TearDown();
  }
  // The editor on a shown form beside another focusable control.
  void PlaceOnForm() {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 300, 200);
    Other = new TWinControl(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 100, 50, 20);
    Other->SetTabStop(true);
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 120, 24);
    Form->Show();
    Edit->SetFocus();
  }
  std::unique_ptr<TTestEdit> Edit;
  std::unique_ptr<TForm> Form;
  TWinControl* Other = nullptr;
  int Changes = 0;
  int ValueChanges = 0;
};

TEST_F(CustomEdit, ASetValueRaisesEventsOnlyWhenThePropertiesCompareValues) {
  struct Case {
    bool Compares;
    int Events;
  };
  for (const Case c : {Case{true, 1}, Case{false, 0}}) {
    SCOPED_TRACE(c.Compares);
    Changes = ValueChanges = 0;
    Edit->Properties().Compares = c.Compares;
    Edit->SetEditValue(Variant(L"one"));
    EXPECT_EQ(c.Events, Changes);
    EXPECT_EQ(c.Events, ValueChanges);
    EXPECT_EQ(L"one", Edit->Text) << "the display follows either way";
    Edit->SetEditValue(Variant(L"one"));
    EXPECT_EQ(c.Events, Changes) << "an equal value is no change";
    Edit->SetEditValue(Null());
  }
}

TEST_F(CustomEdit, ChangesUnderALockReplayOnceOrNotAtAll) {
  for (const bool replay : {true, false}) {
    SCOPED_TRACE(replay);
    Changes = ValueChanges = 0;
    Edit->LockChangeEvents(true);
    Edit->SetEditValue(Variant(replay ? L"a" : L"c"));
    Edit->SetEditValue(Variant(replay ? L"b" : L"d"));
    EXPECT_EQ(0, Changes);
    Edit->LockChangeEvents(false, replay);
    EXPECT_EQ(replay ? 1 : 0, Changes);
    EXPECT_EQ(replay ? 1 : 0, ValueChanges);
  }
  Edit->LockChangeEvents(false);
  Edit->SetEditValue(Variant(L"e"));
  EXPECT_EQ(1, Changes) << "an unlock beyond the last lock leaves the events free";
}

TEST_F(CustomEdit, ValueChangingLockIgnoresSetsAndNeverGoesBelowZero) {
  Edit->LockEditValueChanging(false);
  Edit->LockEditValueChanging(true);
  Edit->SetEditValue(Variant(L"ignored"));
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
  Edit->LockEditValueChanging(false);
  Edit->LockEditValueChanging(false);
  EXPECT_EQ(0, Edit->EditValueChangingLockCount());
  Edit->SetEditValue(Variant(L"taken"));
  EXPECT_EQ(L"taken", VarToStr(Edit->EditValue()));
}

TEST_F(CustomEdit, ExplicitReadOnlyFalseOutweighsARefusingProvider) {
  Edit->Binding().Provider().CanModify = false;
  EXPECT_FALSE(Edit->DoEditing()) << "the provider decides while ReadOnly is not assigned";
  Edit->Properties().SetReadOnly(false);
  EXPECT_TRUE(Edit->DoEditing());
  Edit->Properties().SetReadOnly(true);
  EXPECT_FALSE(Edit->DoEditing());
  EXPECT_EQ(3, Edit->GetFocusStateIndex()) << "read-only and enabled";
}

TEST_F(CustomEdit, AnOnEditingRefusalStopsAUserChange) {
  bool allow = false;
  Edit->OnEditing = [&](TObject*, bool& CanEdit) { CanEdit = allow; };
  Edit->FKeyboardAction = true;
  Edit->SetEditValue(Variant(L"typed"));
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
  allow = true;
  Edit->SetEditValue(Variant(L"typed"));
  Edit->FKeyboardAction = false;
  EXPECT_EQ(L"typed", VarToStr(Edit->EditValue()));
  EXPECT_TRUE(Edit->ModifiedAfterEnter()) << "a user change";
  EXPECT_TRUE(Edit->EditModified());
}

TEST_F(CustomEdit, RepositoryItemsOfOtherPropertiesAreRefusedAndOwnOnesFollowed) {
  TcxEditRepository repository(nullptr);
  TcxEditRepositoryItem* plain = repository.CreateItem(EditRepositoryItemClassOf<TcxEditRepositoryItem>());
  try {
    Edit->SetRepositoryItem(plain);
    FAIL() << "no error";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(L"The repository item is not acceptable", e.Message());
  }
  EXPECT_EQ(nullptr, Edit->RepositoryItem());
  EXPECT_EQ(0, plain->ListenerCount());

  TcxEditRepositoryItem* own = repository.CreateItem(EditRepositoryItemClassOf<TTestItem>());
  Edit->SetRepositoryItem(own);
  EXPECT_EQ(&own->Properties(), Edit->ActiveProperties());
  EXPECT_EQ(1, own->ListenerCount());
  own->Properties().SetReadOnly(true);
  EXPECT_FALSE(Edit->DoEditing()) << "the item's properties rule";
  delete own;
  EXPECT_EQ(nullptr, Edit->RepositoryItem()) << "a freed item is forgotten";
  EXPECT_EQ(Edit->InternalProperties(), Edit->ActiveProperties());
}

TEST_F(CustomEdit, AnUnmodifiedEditorIsValidWithoutAsking) {
  int asked = 0;
  Edit->Properties().OnValidate = [&](TObject*, Variant&, TCaption&, bool&) { ++asked; };
  EXPECT_TRUE(Edit->ValidateEdit(true));
  EXPECT_EQ(0, asked);
  Edit->Type(L"new");
  EXPECT_TRUE(Edit->ValidateEdit(true));
  EXPECT_EQ(1, asked);
  EXPECT_EQ(L"new", VarToStr(Edit->EditValue())) << "the display value became the value";
  EXPECT_TRUE(Edit->ValidateEdit(true));
  EXPECT_EQ(1, asked) << "validated once per change";
}

TEST_F(CustomEdit, AFailingHandlersTextStaysShownSelectedAndFocused) {
  PlaceOnForm();
  ASSERT_TRUE(Edit->Focused());
  Edit->Properties().OnValidate = [](TObject*, Variant& DisplayValue, TCaption& ErrorText, bool& Error) {
    Error = true;
    ErrorText = L"Bad value";
    DisplayValue = Variant(L"fixed");
  };
  Edit->Type(L"wrong");
  const int selects = Edit->SelectAlls;
  try {
    Edit->ValidateEdit(true);
    FAIL() << "no error";
  } catch (const EcxEditValidationError& e) {
    EXPECT_EQ(L"Bad value", e.Message());
  }
  EXPECT_EQ(L"fixed", Edit->Text);
  EXPECT_GT(Edit->SelectAlls, selects);
  EXPECT_TRUE(Edit->Focused());
  EXPECT_TRUE(VarIsNull(Edit->EditValue())) << "nothing posted";
  EXPECT_FALSE(Edit->ValidateEdit(false)) << "without raising: just the answer";
}

TEST_F(CustomEdit, AnEmptyErrorTextIsTheSilentAbortAndBeepsWhenAsked) {
  TMessageBeepHandler saved = SetMessageBeepHandler(&CountEditBeep);
  gEditBeeps = 0;
  Edit->Properties().SetBeepOnError(true);
  Edit->Properties().OnValidate = [](TObject*, Variant&, TCaption& ErrorText, bool& Error) {
    Error = true;
    ErrorText.clear();
  };
  Edit->Type(L"x");
  EXPECT_THROW(Edit->ValidateEdit(true), EAbort);
  EXPECT_EQ(1, gEditBeeps);
  Edit->Properties().SetBeepOnError(false);
  EXPECT_THROW(Edit->ValidateEdit(true), EAbort);
  EXPECT_EQ(1, gEditBeeps);
  SetMessageBeepHandler(saved);

  // The application's handler passes the silent abort over.
  int shown = 0;
  Application().OnException = [&](TObject*, const std::exception_ptr&) { ++shown; };
  try {
    throw EAbort();
  } catch (...) {
    Application().HandleException(nullptr);
  }
  Application().OnException = nullptr;
  EXPECT_EQ(0, shown);
}

TEST_F(CustomEdit, AValidationErrorOnLeavingStaysInsideTheWindowProcedureAndKeepsTheFocus) {
  PlaceOnForm();
  ASSERT_EQ(Edit->Handle(), GetFocus());
  Edit->Properties().OnValidate = [](TObject*, Variant&, TCaption& ErrorText, bool& Error) {
    Error = true;
    ErrorText = L"Not here";
  };
  Edit->Type(L"wrong");
  std::vector<WideString> errors;
  Application().OnException = [&](TObject*, const std::exception_ptr& e) { errors.push_back(ExceptionMessage(e)); };
  ::SetFocus(Other->Handle());  // the real focus change: WM_KILLFOCUS, WM_SETFOCUS, then the form's exit protocol
  PumpWaiting();
  Application().OnException = nullptr;
  ASSERT_EQ(1u, errors.size()) << "handed to the application's handler, not thrown through Windows";
  EXPECT_EQ(L"Not here", errors[0]);
  EXPECT_TRUE(Edit->Focused()) << "the focus went back to the editor";
  EXPECT_FALSE(Edit->IsHiding());
  EXPECT_FALSE(Edit->AreChangeEventsLocked());

  Edit->Properties().OnValidate = nullptr;
  ::SetFocus(Other->Handle());
  PumpWaiting();
  EXPECT_EQ(Other->Handle(), GetFocus()) << "a valid value lets the focus go";
  EXPECT_EQ(L"wrong", VarToStr(Edit->EditValue())) << "and becomes the value";
  EXPECT_FALSE(Edit->ModifiedAfterEnter());
}

}  // namespace

}  // namespace laf_editors_test
