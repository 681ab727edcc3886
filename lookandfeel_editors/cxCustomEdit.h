#pragma once
// The editor control: a container that pairs a properties object with an
// edit value of record, an optional inner editor that shows the display
// value, a data binding and change events. It validates what the user typed,
// posts it, takes keys, the mouse and the clipboard, runs stand-alone on a
// form or in place over a host's cell, and sizes itself around anchors.
// Editors are made with CreateComponent (or an editor class reference), so
// that InitializeEditor runs once the most derived constructor is done.
#include "cxContainer.h"
#include "cxEdit.h"
#include "cxEditViewInfo.h"
#include "dxCore.h"

#include <memory>
#include <vector>

namespace tvk {

class TcxCustomEdit;
class TcxCustomEditData;

// ---- Errors

class EcxEditError : public EdxException {
public:
  using EdxException::EdxException;
};
class EcxEditValidationError : public EcxEditError {
public:
  using EcxEditError::EcxEditError;
};

// ---- The inner editor

// {468D21B5-48AA-4077-8ED5-4C6112D460B1}
inline constexpr GUID IID_IcxCustomInnerEdit = {
    0x468D21B5, 0x48AA, 0x4077, {0x8E, 0xD5, 0x4C, 0x61, 0x12, 0xD4, 0x60, 0xB1}};
// What an editor asks of its inner editor (not counted: the editor owns the control).
struct IcxCustomInnerEdit : public IcxContainerInnerControl {
  virtual void CallDefWndProc(TMessage& Message) = 0;
  virtual bool CanProcessClipboardMessages() = 0;
  virtual Variant GetEditValue() = 0;
  virtual TNotifyEvent GetOnChange() = 0;
  virtual bool GetReadOnly() = 0;
  virtual void LockBounds(bool ALock) = 0;
  virtual void SafelySetFocus() = 0;
  virtual void SetEditValue(const Variant& AValue) = 0;
  virtual void SetParent(TWinControl* AValue) = 0;
  virtual void SetOnChange(TNotifyEvent AValue) = 0;
  virtual void SetReadOnly(bool AValue) = 0;
  virtual void ClearSelection() = 0;

protected:
  ~IcxCustomInnerEdit() = default;
};

// {35667555-6DC8-40D5-B705-B08D5697C621}
inline constexpr GUID IID_IcxInnerEditAdapterQuery = {
    0x35667555, 0x6DC8, 0x40D5, {0xB7, 0x05, 0xB0, 0x8D, 0x56, 0x97, 0xC6, 0x21}};
// A control that is not an inner editor itself names the adapter that serves it.
struct IcxInnerEditAdapterQuery {
  virtual IcxCustomInnerEdit* GetAdapter() = 0;

protected:
  ~IcxInnerEditAdapterQuery() = default;
};

// {2DEA4CCA-3C6D-4283-9441-AABBD61F74F3}
inline constexpr GUID IID_IcxSpellCheckedEdit = {
    0x2DEA4CCA, 0x3C6D, 0x4283, {0x94, 0x41, 0xAA, 0xBB, 0xD6, 0x1F, 0x74, 0xF3}};
struct IcxSpellCheckedEdit {
  virtual bool SupportsSpellChecking() = 0;
  virtual void ReplaceSelTextBySpellChecker(const WideString& AText, bool APost) = 0;
  virtual void SetIsBarControl(bool AValue) = 0;
  virtual void SetValueBySpellChecker(const Variant& AValue) = 0;

protected:
  ~IcxSpellCheckedEdit() = default;
};

// ---- Editor class references: the class's virtual constructor.

struct TcxCustomEditClassRef {
  TClass Info;
  TcxCustomEdit* (*Create)(TComponent* AOwner, bool AIsInplace);
};
template <class T>
TcxCustomEditClass EditClassOf() {
  static const TcxCustomEditClassRef ref{
      &T::StaticClassInfo(),
      [](TComponent* AOwner, bool AIsInplace) -> TcxCustomEdit* { return CreateComponent<T>(AOwner, AIsInplace); }};
  return &ref;
}

// ---- Change events held back while locked

class TcxEditChangeEventsCatcher : public TObject {
public:
  TVK_CLASS(TcxEditChangeEventsCatcher, TObject)
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* AEdit) : FEdit(AEdit) {}
  // Unlocking the last lock replays a held-back event once, when asked to.
  void Lock(bool ALock, bool AInvokeChangedOnUnlock = true);
  bool IsLocked() const { return FLockCount > 0; }
  bool OnChangeEvent = false;
  bool OnEditValueChangedEvent = false;

private:
  TcxCustomEdit* FEdit;
  int FLockCount = 0;
};

// ---- Data binding: a stand-alone editor's value without a data source

class TcxEditDataBinding : public TPersistent {
public:
  TVK_CLASS(TcxEditDataBinding, TPersistent)
  explicit TcxEditDataBinding(TcxCustomEdit* AEdit);
  ~TcxEditDataBinding() override;
  TPersistent* GetOwner() const override;

  virtual void ProvidersChangedNotify();
  virtual Variant GetDisplayValue();
  virtual bool IsDataAvailable();
  virtual bool Editing();
  virtual bool Modified();
  virtual Variant GetStoredValue();
  virtual bool IsDataUnavailable() { return !IsDataAvailable(); }
  virtual bool BindingReservedQuery() { return false; }
  virtual void ResetEditor();
  virtual void SetDisplayValue(const Variant& AValue);
  virtual bool EnterEditMode();
  virtual void SetStoredValue(const Variant&) {}
  virtual bool CanCheckEditorValue();
  virtual bool CanModify() { return IsDataAvailable(); }
  virtual bool CanPostEditorValue() { return Modified(); }
  virtual bool ExecuteAction(TBasicAction*) { return false; }
  virtual void SetModified();
  virtual bool UpdateAction(TBasicAction*) { return false; }
  virtual void UpdateDisplayValue();
  virtual void UpdateNotConnectedDBEditDisplayValue() {}

  IcxEditDefaultValuesProvider* IDefaultValuesProvider() { return FIDefaultValuesProvider.get(); }
  TcxCustomEdit* Edit() const { return FEdit; }

protected:
  // A binding whose provider is AProvider (a descendant's own kind).
  TcxEditDataBinding(TcxCustomEdit* AEdit, std::unique_ptr<TcxCustomEditDefaultValuesProvider> AProvider);

private:
  TcxCustomEdit* FEdit;
  std::unique_ptr<TcxCustomEditDefaultValuesProvider> FIDefaultValuesProvider;
};

// ---- A host's data of one activation

class TcxCustomEditData : public TObject {
public:
  TVK_CLASS(TcxCustomEditData, TObject)
  explicit TcxCustomEditData(TcxCustomEdit* AEdit);
  ~TcxCustomEditData() override;
  // Marks the data fresh and hands it to the editor.
  void Clear();
  bool Cleared() const { return FCleared; }
  TcxCustomEdit* Edit() const { return FEdit; }

private:
  friend class TcxCustomEdit;
  bool FCleared = false;
  TcxCustomEdit* FEdit;
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
};
using TcxCustomEditDataClass = TcxCustomEditData* (*)(TcxCustomEdit* AEdit);

// ---- The editor

class TcxCustomEditContainer : public TcxContainer {
public:
  TVK_CLASS(TcxCustomEditContainer, TcxContainer)

protected:
  using TcxContainer::TcxContainer;
};

struct TcxEditModifiedState {
  bool Modified;
  bool ModifiedAfterEnter;
};
enum TcxEditContentOption { ecoShowFocusRectWhenInplace = 1, ecoOffsetButtonContent = 2 };
struct TcxEditContentParams {
  RECT ExternalBorderBounds{};
  RECT Offsets{};
  unsigned Options = 0;
  SIZE SizeCorrection{};
};
struct TcxInplaceEditPosition {
  TObject* Item = nullptr;
  int RecordIndex = 0;
};
struct TcxInplaceEditParams {
  bool MultiRowParent = false;
  TcxInplaceEditPosition Position;
};
using TcxEditEditingEvent = std::function<void(TObject* Sender, bool& CanEdit)>;

// No anchor kept.
constexpr int cxEditAnchorNotSet = 2147483647;

class TcxCustomEdit : public TcxCustomEditContainer, public TcxEditPropertiesHost,
                      public IcxEditRepositoryItemListener, public IcxSpellCheckedEdit {
public:
  TVK_CLASS(TcxCustomEdit, TcxCustomEditContainer)
  explicit TcxCustomEdit(TComponent* AOwner, bool AIsInplace = false);
  ~TcxCustomEdit() override;
  // Runs InitializeEditor (a descendant's, now that it is made).
  void AfterConstruction() override;

  // The properties class the editor makes its own properties of.
  virtual TcxCustomEditPropertiesClass GetPropertiesClass() const;
  TcxCustomEditProperties* ActiveProperties();
  TcxCustomEditProperties* InternalProperties() const { return FProperties.get(); }
  TcxEditDataBinding* DataBinding() const { return FDataBinding.get(); }
  TcxCustomEditViewInfo& ViewInfo() { return static_cast<TcxCustomEditViewInfo&>(TcxContainer::ViewInfo()); }
  TcxCustomEditStyle* Style() { return static_cast<TcxCustomEditStyle*>(TcxContainer::Style()); }
  IcxCustomInnerEdit* InnerEdit() const { return FInnerEdit; }

  // Values.
  Variant EditValue() { return ReadEditValue(); }
  void SetEditValue(const Variant& AValue) { AssignEditValue(AValue); }
  void SetInternalEditValue(const Variant& AValue) { AssignInternalEditValue(AValue); }
  Variant EditingValue() { return ReadEditingValue(); }
  bool EditModified() const { return FModified; }
  void SetEditModified(bool AValue);
  bool ModifiedAfterEnter() const { return FModifiedAfterEnter; }
  void SetModifiedAfterEnter(bool AValue);
  bool IsEditValidated() const { return FIsEditValidated; }
  bool IsEditValidating() const { return FIsEditValidating; }
  bool IsHiding() const { return FIsHiding; }
  bool IsPosting() const { return FIsPosting; }
  bool IsInplace() override { return FIsInplace; }
  // Clear: the clear value; Reset: back through the binding.
  void Clear();
  void Reset();
  // A value that counts as the user's.
  void SetValidatableEditValue(const Variant& AEditValue);
  void PostEditValue();
  bool CanPostEditValue();
  bool DoEditing();
  bool ValidateEdit(bool ARaiseExceptionOnError);
  void LockChangeEvents(bool ALock, bool AInvokeChangedOnUnlock = true) { FChangeEventsCatcher->Lock(ALock, AInvokeChangedOnUnlock); }
  bool AreChangeEventsLocked() const { return FChangeEventsCatcher->IsLocked(); }
  // False never goes below 0.
  void LockClick(bool ALock);
  void LockEditValueChanging(bool ALock);
  int EditValueChangingLockCount() const { return FEditValueChangingLockCount; }
  bool InternalFocused();
  bool IsFocusedInForm();
  bool IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem);
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  // Raises "The repository item is not acceptable" for an item of a properties
  // class this editor cannot take.
  void SetRepositoryItem(TcxEditRepositoryItem* AValue);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool AValue) { AssignAutoSize(AValue); }
  int AnchorX() const { return FAnchorX; }
  int AnchorY() const { return FAnchorY; }
  bool Transparent() const { return FTransparent; }

  // In place.
  virtual void Activate(TcxCustomEditData*& AEditData, bool ANeedSetFocus = true);
  virtual void ActivateByKey(wchar_t AKey, TcxCustomEditData*& AEditData);
  virtual void ActivateByMouse(TShiftState AShift, int X, int Y, TcxCustomEditData*& AEditData);
  // Answers whether the value is valid; a validation error reaches the host.
  virtual bool Deactivate();
  void AttachEditData(TcxCustomEditData* AEditData);
  TcxCustomEditData* EditData() const { return FEditData; }
  TcxEditContentParams ContentParams;
  TcxInplaceEditParams InplaceParams;
  bool IsDblClickTimerEnabled() const { return FDblClickTimer && FDblClickTimer->Enabled(); }

  // Clipboard and selection: nothing at this level.
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  virtual void SelectAll() {}
  virtual void PrepareEditValue(const Variant&, Variant&, bool) {}
  virtual bool IsEditClass() { return false; }
  virtual bool HasTextBaseLine() { return false; }
  virtual int GetTextBaseLine() { return 0; }
  bool IsChildWindow(HWND AWnd);

  // TcxEditPropertiesHost
  TcxCustomEditProperties* GetProperties() override { return FProperties.get(); }
  TcxCustomEditProperties* GetActiveProperties() override { return ActiveProperties(); }
  TcxEditRepositoryItem* GetRepositoryItem() override { return FRepositoryItem; }
  void DoOnValidate(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) override;
  WideString GetInnerEditText() override { return {}; }

  // IcxEditRepositoryItemListener
  void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) override;
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) override;
  // IcxSpellCheckedEdit
  bool SupportsSpellChecking() override { return false; }
  void ReplaceSelTextBySpellChecker(const WideString&, bool) override {}
  void SetIsBarControl(bool AValue) override { FIsBarControl = AValue; }
  void SetValueBySpellChecker(const Variant& AValue) override { InternalSetEditValue(AValue, false); }
  bool GetInterface(const GUID& iid, void** obj) override;

  bool Focused() const override;
  void GetTabOrderList(std::vector<TWinControl*>& AList) const override;
  bool InnerControlMenuHandler(TMessage& Message) override;
  void Loaded() override;
  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Reading the height first makes the window, so an automatic height is in effect.
  int ReadHeight();
  // "Height", "Width", "AnchorX" and "AnchorY" by their own rules.
  void DefineProperties(TFiler& AFiler) override;
  void ScaleControl(int M, int D) override;

  TcxEditEditingEvent OnEditing;
  TNotifyEvent OnPostEditValue;
  TKeyEvent OnAfterKeyDown;

  // The editor's virtual constructor.
  static TcxCustomEditClass ClassRef() { return EditClassOf<TcxCustomEdit>(); }

protected:
  // A descendant names its properties class; the container's styles and
  // view info are made of that class's answers.
  TcxCustomEdit(TComponent* AOwner, bool AIsInplace, TcxCustomEditPropertiesClass APropertiesClass);

  virtual void AdjustInnerEditPosition();
  virtual void EndPosting() { FIsPosting = false; }
  virtual void BeginPosting() { FIsPosting = true; }
  virtual void UpdateAnchors();
  virtual bool IsAutoSizeActive() { return !FIsInplace && FAutoSize; }
  virtual bool AutoSizeKeepsWidth() { return false; }
  virtual bool IsButtonsAutoWidth();
  virtual bool CanKeyDownModifyEdit(WORD, TShiftState) { return false; }
  virtual bool CanKeyPressModifyEdit(wchar_t) { return false; }
  virtual bool CanModifyEditValue();
  virtual bool ShowsPostErrors() { return !FIsInplace; }
  virtual void InnerEditChanged(TObject* Sender);
  virtual IcxCustomInnerEdit* CreateInnerEdit();
  virtual std::unique_ptr<TcxCustomEditViewData> CreateEditViewData();
  virtual void ClickDefaultButton();
  virtual void AutoSizeChanged() {}
  virtual void DoButtonClick(int AButtonVisibleIndex);
  virtual void DoButtonDown(int) {}
  virtual void DoButtonUp(int) {}
  virtual void DoChangeEvent();
  virtual void EditValueChanged();
  virtual void DoEditKeyDown(WORD& Key, TShiftState Shift);
  virtual void DoEditKeyPress(wchar_t& Key);
  virtual void TabNavigating(TShiftState) {}
  virtual void AfterFocusChange();
  virtual void DoValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError);
  virtual void FireOnChange();
  virtual void FireOnEditValueChanged();
  virtual void ActivateInnerEdit();
  virtual void EnterEditor();
  virtual void ReadOnlyChanged();
  virtual TcxEditSizeProperties GetEditSizeProperties();
  virtual Variant GetClearValue();
  virtual std::unique_ptr<TcxEditDataBinding> CreateDataBinding();
  virtual TcxCustomEditDataClass EditDataClass() { return nullptr; }
  virtual Variant ReadEditingValue();
  virtual Variant ReadEditValue() { return FEditValue; }
  // The inner control, made with the editor as owner (null: none), and
  // whether the class makes one at all.
  virtual TWinControl* CreateInnerControl() { return nullptr; }
  virtual bool HasInnerEditClass() const { return false; }
  virtual void HandleValidationError(const TCaption& AErrorText, bool ARaise);
  virtual void InitializeEditor();
  virtual void ApplyFreshEditData() {}
  virtual void InitInnerEdit();
  virtual void InitViewData(TcxCustomEditViewData& AViewData);
  virtual bool AllowsEditing() { return true; }
  virtual Variant GetEditorTextValue() { return EditValue(); }
  virtual void SetInternalDisplayValue(const Variant&) {}
  virtual void InternalSetEditValue(const Variant& AValue, bool AValidate);
  virtual void AssignDisplayValue(const Variant& ADisplayValue);
  virtual bool PaintsButtonsItself() { return false; }
  virtual bool ClickWhileLoading() { return false; }
  virtual bool IsClickKey(WORD AKey, TShiftState AShift);
  virtual bool HasCustomBackground() { return false; }
  virtual bool IsTransparentBackground() { return FTransparent; }
  virtual bool IsValidChar(wchar_t AChar);
  virtual bool WantsAfterKeyDown(WORD, TShiftState) { return false; }
  virtual void PropertiesChanged(TObject* Sender);
  virtual bool IsEffectivelyReadOnly();
  virtual void RepositoryItemChanged() {}
  virtual void RepositoryItemChanging() {}
  virtual void ResetEditValue();
  virtual bool ForwardsActivationKey(wchar_t) { return true; }
  virtual void AssignAutoSize(bool AValue);
  virtual void AssignEditValue(const Variant& AValue);
  virtual void AssignInternalEditValue(const Variant& AValue);
  virtual void SetInnerEditValue(const Variant&) {}
  virtual void SynchronizeDisplayValue() {}
  virtual void SynchronizeEditValue() {}
  virtual bool UsesInplaceBehaviour() { return FIsInplace; }
  virtual bool RefreshDisplayOnFocusChange() { return true; }
  virtual void UpdateDrawValue() {}
  virtual bool CheckEditingKey(WORD Key, TShiftState Shift);
  virtual bool CheckEditingChar(wchar_t& Key);
  virtual bool WantsNavigationKeys() { return false; }
  virtual void InnerWindowProcHook(TMessage& Message);
  virtual void SubclassInnerEdit();
  virtual void UnsubclassInnerEdit();
  virtual bool UsesAnchorX() { return false; }
  virtual bool UsesAnchorY() { return false; }
  bool UsesAnchors() { return UsesAnchorX() || UsesAnchorY(); }

  void PushModifiedState();
  void PopModifiedState();
  void InternalPostEditValue(bool AValidate);
  void PostOnImmediateEditing();
  void HandleFocusExit(bool AExit);
  bool CanResetValue();
  bool ModalCloseValidates();
  void ApplyTransparent(bool AValue);
  void CalculateAutoSize(int& AWidth, int& AHeight);
  bool IsAutoWidthActive();
  bool IsFixedWidthAutoSize() { return IsAutoSizeActive() && AutoSizeKeepsWidth(); }
  void CalculateViewInfoAt(POINT P, TcxMouseButton AButton, TShiftState AShift, bool AIsMouseEvent);
  bool WheelAllowed(WPARAM AKeyState);
  bool HasChangeHandlers();
  bool HasEditValueChangedHandlers();
  // ButtonIndexAt for a point in client coordinates (-1: none).
  int ButtonIndexAt(POINT P);

  // The container's hooks.
  TcxContainerStyleValues GetHiddenStyleValues() override { return 0; }
  int GetFocusStateIndex() override;
  bool HandlesTabKey() override { return false; }
  bool CanFocusOnClick() override;
  bool RefreshContainerView(POINT P, TcxMouseButton AButton, bool AIsMouseEvent, TShiftState AShift) override;
  void AfterMouseRefresh() override;
  void PlaceInnerControl() override;
  bool DoInnerControlDefaultHandler(TMessage& Message) override;
  void FocusInnerControl() override;
  bool IsNativeStyle() override;
  void FocusChanged() override;
  void DoEnter() override;
  void DoExit() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(wchar_t& Key) override;
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void DblClick() override;
  void Click() override;
  void CreateWindowHandle(const TCreateParams& AParams) override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;

  TVK_MESSAGES();
  void WMCopy(TMessage& Message);
  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void CMShowingChanged(TMessage& Message);

  bool FIsKeyPressHandled = false;
  bool FKeyboardAction = false;
  bool FIsEditValidated = false;
  int FCaptureButtonVisibleIndex = -1;
  Variant FPrevEditValue;

private:
  void InitContentParams();
  void MarkReplicatable(TControl* AControl);
  void DoubleClickTimerFired(TObject* Sender);
  void EnsureHandleForSize();
  void RaiseValidationError(const TCaption& AErrorText, bool ARaise);

  int FAnchorX = cxEditAnchorNotSet;
  int FAnchorY = cxEditAnchorNotSet;
  unsigned FAnchorScalingFlags = 0;
  bool FAutoSize = true;
  std::unique_ptr<TcxEditChangeEventsCatcher> FChangeEventsCatcher;
  int FClickLockCount = 0;
  std::unique_ptr<TcxTimer> FDblClickTimer;
  TcxCustomEditData* FEditData = nullptr;
  bool FEditModeSetting = false;
  int FEditValueChangingLockCount = 0;
  bool FFocused = false;
  bool FHandleAllocating = false;
  IcxCustomInnerEdit* FInnerEdit = nullptr;
  bool FIsBarControl = false;
  bool FIsContentParamsInitialized = false;
  bool FIsEditValidating = false;
  bool FIsFirstSetSize = false;
  bool FIsHiding = false;
  bool FIsInplace;
  bool FIsJustCreated = false;
  bool FIsPosting = false;
  int FLockValidate = 0;
  bool FModified = false;
  bool FModifiedAfterEnter = false;
  bool FNeedFocusOnClick = true;
  std::vector<TcxEditModifiedState> FPrevModifiedList;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  bool FTransparent = false;
  bool FUpdate = false;
  bool FValidateErrorProcessing = false;
  TcxWindowProcLinkedObject* FWindowProcObject = nullptr;
  std::unique_ptr<TcxEditDataBinding> FDataBinding;
  Variant FEditValue;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  bool FInitialized = false;
  friend class TcxEditChangeEventsCatcher;
  friend class TcxEditDataBinding;
};

// ---- In-place editor cache of a host

class TcxInplaceEditList : public TObject, public TcxInplaceEditListLink {
public:
  TVK_CLASS(TcxInplaceEditList, TObject)
  explicit TcxInplaceEditList(TComponent* AEditorOwner);
  ~TcxInplaceEditList() override;
  void DisconnectProperties(TcxCustomEditProperties& AProperties) override;
  TcxCustomEdit* FindEdit(TcxCustomEditProperties* AProperties);
  TcxCustomEdit* FindEdit(TcxCustomEditPropertiesClass APropertiesClass);
  // The editor bound to AProperties (a free one of their editor class, else a
  // new one), with AProperties assigned into its own.
  TcxCustomEdit* GetEdit(TcxCustomEditProperties* AProperties);
  TcxCustomEdit* GetEdit(TcxCustomEditPropertiesClass APropertiesClass);
  void RemoveItem(TcxCustomEditProperties* AProperties);
  void RemoveItem(TcxCustomEditPropertiesClass APropertiesClass);
  void Clear();
  int Count() const { return int(FItems.size()); }

private:
  struct TItem {
    TcxCustomEdit* Edit;
    TcxCustomEditProperties* Properties;
  };
  int IndexOfProperties(TcxCustomEditProperties* AProperties, bool ABindFree);
  int IndexOfFreeClassItem(TcxCustomEditPropertiesClass APropertiesClass);
  TcxCustomEdit* CreateEdit(TcxCustomEditPropertiesClass APropertiesClass);
  void InitEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AProperties);
  void RemoveAt(int AIndex);

  TComponent* FEditorOwner;
  std::vector<TItem> FItems;
};

}  // namespace tvk
