#pragma once
// A test editor and its properties: the editor keeps its display text in a
// field (its "inner editor"), the properties compare values, validate
// through OnValidate and can be reset by Escape.
#include "EditorsTest.h"
#include "Forms.h"
#include "Variants.h"
#include "cxCustomEdit.h"

namespace laf_editors_test {

class TTestEditProperties : public tvk::TcxCustomEditProperties {
public:
  TVK_CLASS(TTestEditProperties, tvk::TcxCustomEditProperties)
  TVK_EDIT_PROPERTIES_CLASS(TTestEditProperties)
  using tvk::TcxCustomEditProperties::TcxCustomEditProperties;
  static tvk::TcxCustomEditClass ContainerClass();
  bool CanCompareEditValue() override { return Compares; }
  bool IsResetEditClass() override { return true; }
  bool Compares = true;

protected:
  bool CanValidate() override { return true; }
};

// A provider whose answers a test sets.
class TTestEditProvider : public tvk::TcxCustomEditDefaultValuesProvider {
public:
  TVK_CLASS(TTestEditProvider, tvk::TcxCustomEditDefaultValuesProvider)
  TTestEditProvider() : tvk::TcxCustomEditDefaultValuesProvider(nullptr) {}
  bool DefaultCanModify() override { return CanModify; }
  bool IsValidChar(wchar_t AChar) override { return AChar != L'#'; }
  bool CanModify = true;
};

// A binding that records what is posted to it.
class TTestEditBinding : public tvk::TcxEditDataBinding {
public:
  TVK_CLASS(TTestEditBinding, tvk::TcxEditDataBinding)
  explicit TTestEditBinding(tvk::TcxCustomEdit* AEdit)
      : tvk::TcxEditDataBinding(AEdit, std::make_unique<TTestEditProvider>()) {}
  TTestEditProvider& Provider() { return static_cast<TTestEditProvider&>(*IDefaultValuesProvider()); }
  void SetStoredValue(const tvk::Variant& AValue) override {
    Stored = AValue;
    ++Posts;
  }
  tvk::Variant Stored;
  int Posts = 0;
};

class TTestEdit : public tvk::TcxCustomEdit {
public:
  TVK_CLASS(TTestEdit, tvk::TcxCustomEdit)
  explicit TTestEdit(tvk::TComponent* AOwner, bool AIsInplace = false)
      : tvk::TcxCustomEdit(AOwner, AIsInplace, tvk::EditPropertiesClassOf<TTestEditProperties>()) {}
  tvk::TcxCustomEditPropertiesClass GetPropertiesClass() const override {
    return tvk::EditPropertiesClassOf<TTestEditProperties>();
  }
  TTestEditProperties& Properties() { return static_cast<TTestEditProperties&>(*InternalProperties()); }
  tvk::WideString GetInnerEditText() override { return Text; }
  TTestEditBinding& Binding() { return static_cast<TTestEditBinding&>(*DataBinding()); }
  // Typing: the text changes as the user's change.
  void Type(const tvk::WideString& AText) {
    if (!DoEditing()) return;
    Text = AText;
    SetModifiedAfterEnter(true);
  }
  using tvk::TcxCustomEdit::DoEditing;
  using tvk::TcxCustomEdit::FIsEditValidated;
  using tvk::TcxCustomEdit::FKeyboardAction;
  using tvk::TcxCustomEdit::HandleFocusExit;
  using tvk::TcxCustomEdit::IsFocusedInForm;
  using tvk::TcxCustomEdit::GetFocusStateIndex;

  tvk::WideString Text;
  int SelectAlls = 0;

protected:
  std::unique_ptr<tvk::TcxEditDataBinding> CreateDataBinding() override {
    return std::make_unique<TTestEditBinding>(this);
  }
  bool CanKeyPressModifyEdit(wchar_t) override { return true; }
  void SetInnerEditValue(const tvk::Variant& AValue) override { Text = tvk::VarToStr(AValue); }
  void SynchronizeDisplayValue() override { Text = tvk::VarToStr(EditValue()); }
  void SetInternalDisplayValue(const tvk::Variant& AValue) override { InternalSetEditValue(AValue, true); }
  void SelectAll() override { ++SelectAlls; }
};

}  // namespace laf_editors_test
