#pragma once
// The edit framework's unit: an editor's properties (the settings one or
// many editors share: buttons and their images, alignment, bounds, read-only
// state, validation), the repository whose items hold properties that
// editors reference, the live-properties registry, the editors' wheel cursor
// and the process-wide default edit style controller, which stand-alone
// editors (and containers) without a controller of their own follow.
#include "ComRef.h"
#include "ImageLists.h"
#include "Menus.h"
#include "ResStrings.h"
#include "cxEditButtons.h"
#include "cxEditStyles.h"

#include <memory>
#include <vector>

namespace tvk {

class TcxCustomEditProperties;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxEditRepositoryItem;

enum TcxEditButtonsViewStyle { bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth };
enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };
enum TcxEditSupportedOperation {
  esoAlwaysHotTrack, esoAutoHeight, esoEditing, esoFiltering, esoHorzAlignment, esoHotTrack, esoIncSearch,
  esoShowingCaption, esoSorting, esoSortingByDisplayText, esoTransparency, esoEditingAutoHeight
};
using TcxEditSupportedOperations = unsigned;  // bits 1 << TcxEditSupportedOperation
constexpr TcxEditSupportedOperations cxOperationBit(TcxEditSupportedOperation AOperation) { return 1u << AOperation; }
enum TcxEditSpecialFeature { esfBlobEditValue, esfMinSize, esfNoContentPart, esfClickable, esfMultiRow };
using TcxEditSpecialFeatures = unsigned;  // bits 1 << TcxEditSpecialFeature
enum TcxBlobKind { bkNone, bkBlob, bkGraphic, bkMemo, bkOle };
enum TcxEditEditingStyle { esEdit, esEditList, esFixedList, esNoEdit };
enum TcxDataEditValueSource { evsValue, evsText, evsKey };
enum TcxEditCloseUpReason { crUnknown, crTab, crClose, crCancel, crEnter };

// -1 in Height or Width: the dimension is not given.
struct TcxEditSizeProperties {
  int Height = -1;
  int MaxLineCount = 0;
  int Width = -1;
};

using TCaption = WideString;
using TcxEditClosePopupEvent = std::function<void(TObject* Sender, TcxEditCloseUpReason AReason)>;
using TcxEditValidateEvent =
    std::function<void(TObject* Sender, Variant& DisplayValue, TCaption& ErrorText, bool& Error)>;

// ---- Class references: one static object per class, answering its class
// functions and making its objects.

// An editor class (its virtual constructor; the editor control's unit makes them).
struct TcxCustomEditClassRef;
using TcxCustomEditClass = const TcxCustomEditClassRef*;

class TcxCustomEditPropertiesClassRef {
public:
  virtual TClass Info() const = 0;
  virtual TcxCustomEditProperties* Create(TPersistent* AOwner) const = 0;
  // The editor class the properties belong to.
  virtual TcxCustomEditClass GetContainerClass() const = 0;
  WideString ClassName() const { return Info()->Name; }
  bool InheritsFrom(TClass AClass) const { return Info()->InheritsFrom(AClass); }

protected:
  ~TcxCustomEditPropertiesClassRef() = default;
};
using TcxCustomEditPropertiesClass = const TcxCustomEditPropertiesClassRef*;

// The class-reference object of a properties class (joined to the map that
// turns a TClass back into it).
template <class T>
TcxCustomEditPropertiesClass EditPropertiesClassOf();
// The class-reference object of a class once EditPropertiesClassOf made it; null otherwise.
TcxCustomEditPropertiesClass FindEditPropertiesClass(TClass AClass);
void RegisterEditPropertiesClassRef(TcxCustomEditPropertiesClass AClassRef);

struct TcxEditViewDataClassRef {
  TClass Info;
  TcxCustomEditViewData* (*Create)(TcxCustomEditProperties& AProperties, TcxCustomEditStyle& AStyle, bool AIsInplace);
};
using TcxCustomEditViewDataClass = const TcxEditViewDataClassRef*;
template <class T>
TcxCustomEditViewDataClass EditViewDataClassOf() {
  static const TcxEditViewDataClassRef ref{
      &T::StaticClassInfo(),
      [](TcxCustomEditProperties& AProperties, TcxCustomEditStyle& AStyle, bool AIsInplace) -> TcxCustomEditViewData* {
        return new T(AProperties, AStyle, AIsInplace);
      }};
  return &ref;
}

struct TcxEditViewInfoClassRef {
  TClass Info;
  TcxCustomEditViewInfo* (*Create)();
};
using TcxCustomEditViewInfoClass = const TcxEditViewInfoClassRef*;
template <class T>
TcxCustomEditViewInfoClass EditViewInfoClassOf() {
  static const TcxEditViewInfoClassRef ref{&T::StaticClassInfo(), []() -> TcxCustomEditViewInfo* { return new T; }};
  return &ref;
}

// Opens a properties class body (after TVK_CLASS): its class-reference object.
#define TVK_EDIT_PROPERTIES_CLASS(Name)                                                   \
  ::tvk::TcxCustomEditPropertiesClass PropertiesClass() const override {                \
    return ::tvk::EditPropertiesClassOf<Name>();                                         \
  }

// ---- The questions properties put to an editor (the editor control
// answers them; a properties object whose owner is one is an editor's).

class TcxEditPropertiesHost {
public:
  // The editor's own properties and those it works with (a repository item's when it references one).
  virtual TcxCustomEditProperties* GetProperties() = 0;
  virtual TcxCustomEditProperties* GetActiveProperties() = 0;
  virtual TcxEditRepositoryItem* GetRepositoryItem() = 0;
  // Its own properties' OnValidate, then its repository item properties'.
  virtual void DoOnValidate(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) = 0;
  // The inner edit's text (empty without one).
  virtual WideString GetInnerEditText() = 0;

protected:
  ~TcxEditPropertiesHost() = default;
};

// ---- Alignment

class TcxEditAlignment : public TPersistent {
public:
  TVK_CLASS(TcxEditAlignment, TPersistent)
  explicit TcxEditAlignment(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  // Copies the vertical, the horizontal and whether it is assigned; tells once.
  void Assign(const TPersistent& Source) override;
  void DefineProperties(TFiler& AFiler) override;

  TAlignment Horz() const { return FHorz; }
  // Marks the horizontal alignment assigned.
  void SetHorz(TAlignment AValue);
  TcxEditVertAlignment Vert() const { return FVert; }
  void SetVert(TcxEditVertAlignment AValue);
  bool IsHorzAssigned() const { return FIsHorzAssigned; }
  bool IsHorzStored() const { return FIsHorzAssigned; }
  bool IsVertStored() const { return FVert != taTopJustify; }
  // Unassigns the horizontal alignment.
  void Reset();
  TNotifyEvent OnChanged;

private:
  friend class TcxCustomEditProperties;  // shows a default without assigning it
  void DoChanged();

  TAlignment FHorz = TAlignment::taLeftJustify;
  bool FIsHorzAssigned = false;
  TPersistent* FOwner;
  TcxEditVertAlignment FVert = taTopJustify;
};

// ---- Which values were set explicitly

class TcxCustomEditPropertiesValues : public TPersistent {
public:
  TVK_CLASS(TcxCustomEditPropertiesValues, TPersistent)
  explicit TcxCustomEditPropertiesValues(TcxCustomEditProperties* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override;
  // The three flags in one update bracket of the owner.
  void Assign(const TPersistent& Source) override;
  void DefineProperties(TFiler& AFiler) override;
  void RestoreDefaults();
  void BeginUpdate();
  void EndUpdate();

  bool MaxValue() const { return FMaxValue; }
  bool MinValue() const { return FMinValue; }
  bool ReadOnly() const { return FReadOnly; }
  void SetMaxValue(bool AValue) { SetFlag(FMaxValue, AValue); }
  void SetMinValue(bool AValue) { SetFlag(FMinValue, AValue); }
  void SetReadOnly(bool AValue) { SetFlag(FReadOnly, AValue); }
  // A set bound flag is stored for a zero bound of a class that publishes
  // the bound (a non-zero bound is stored by the bound itself).
  bool IsMaxValueStored() const;
  bool IsMinValueStored() const;

private:
  void SetFlag(bool& AField, bool AValue);
  bool IsBoundStored(bool AFlag, const wchar_t* AName) const;

  TcxCustomEditProperties* FOwner;
  bool FMaxValue = false;
  bool FMinValue = false;
  bool FReadOnly = false;
};

// ---- Default values from a data binding

// {AE727882-6FDF-4E3A-AB35-E58AB28EFE7B}
inline constexpr GUID IID_IcxEditDefaultValuesProvider = {
    0xAE727882, 0x6FDF, 0x4E3A, {0xAB, 0x35, 0xE5, 0x8A, 0xB2, 0x8E, 0xFE, 0x7B}};
struct IcxEditDefaultValuesProvider {
  virtual bool CanSetEditMode() = 0;
  virtual void ClearUsers() = 0;
  virtual TAlignment DefaultAlignment() = 0;
  virtual TcxBlobKind DefaultBlobKind() = 0;
  virtual bool DefaultCanModify() = 0;
  virtual WideString DefaultDisplayFormat() = 0;
  virtual WideString DefaultEditFormat() = 0;
  virtual WideString DefaultEditMask() = 0;
  virtual bool DefaultIsFloatValue() = 0;
  virtual int DefaultMaxLength() = 0;
  virtual double DefaultMaxValue() = 0;
  virtual double DefaultMinValue() = 0;
  virtual int DefaultPrecision() = 0;
  virtual bool DefaultReadOnly() = 0;
  virtual bool DefaultRequired() = 0;
  virtual TObject* GetInstance() = 0;
  virtual bool IsDataStorage() = 0;
  virtual bool IsBlob() = 0;
  virtual bool IsCurrency() = 0;
  virtual bool IsDataAvailable() = 0;
  virtual bool IsDisplayFormatDefined(bool AIsCurrencyValueAccepted) = 0;
  virtual bool IsOnGetTextAssigned() = 0;
  virtual bool IsOnSetTextAssigned() = 0;
  virtual bool IsValidChar(wchar_t AChar) = 0;

protected:
  ~IcxEditDefaultValuesProvider() = default;
};

// The neutral provider; its going unbinds every properties object using it.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
public:
  TVK_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}
  ~TcxCustomEditDefaultValuesProvider() override;

  bool CanSetEditMode() override { return true; }
  void ClearUsers() override;
  TAlignment DefaultAlignment() override { return TAlignment::taLeftJustify; }
  TcxBlobKind DefaultBlobKind() override { return bkMemo; }
  bool DefaultCanModify() override { return true; }
  WideString DefaultDisplayFormat() override { return {}; }
  WideString DefaultEditFormat() override { return {}; }
  WideString DefaultEditMask() override { return {}; }
  bool DefaultIsFloatValue() override { return false; }
  int DefaultMaxLength() override { return 0; }
  double DefaultMaxValue() override { return 0; }
  double DefaultMinValue() override { return 0; }
  int DefaultPrecision() override { return 15; }
  bool DefaultReadOnly() override { return false; }
  bool DefaultRequired() override { return false; }
  TObject* GetInstance() override { return this; }
  bool IsDataStorage() override { return false; }
  bool IsBlob() override { return false; }
  bool IsCurrency() override { return false; }
  bool IsDataAvailable() override { return true; }
  bool IsDisplayFormatDefined(bool) override { return false; }
  bool IsOnGetTextAssigned() override { return false; }
  bool IsOnSetTextAssigned() override { return false; }
  bool IsValidChar(wchar_t) override { return true; }

protected:
  bool GetInterface(REFIID AIid, void** AObject) override;
};

// ---- In-place edit lists (the editor control makes them): each unbinds
// properties that go.

class TcxInplaceEditListLink {
public:
  virtual void DisconnectProperties(TcxCustomEditProperties& AProperties) = 0;

protected:
  ~TcxInplaceEditListLink() = default;
};
// The live in-place edit lists, in the order they were made.
std::vector<TcxInplaceEditListLink*>& InplaceEditLists();

// ---- Properties

class TcxCustomEditProperties : public TcxInterfacedPersistent {
public:
  TVK_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
  explicit TcxCustomEditProperties(TPersistent* AOwner);
  ~TcxCustomEditProperties() override;
  // The class-reference object of the object's class (its virtual constructor).
  virtual TcxCustomEditPropertiesClass PropertiesClass() const;
  // The editor class of these properties (a descendant hides it with its own).
  static TcxCustomEditClass ContainerClass();

  // Another properties object inside one update bracket; the popup-closing
  // and properties-changed events stay.
  void Assign(const TPersistent& Source) override;
  // The published properties of the class, by their storage rules.
  void DefineProperties(TFiler& AFiler) override;
  // A new object of this class owned by AOwner, assigned from this one.
  std::unique_ptr<TcxCustomEditProperties> Clone(TPersistent* AOwner) const;
  // A new object of this class with no owner, not assigned.
  std::unique_ptr<TcxCustomEditProperties> CreatePreviewProperties() const;
  // Whether the class publishes the property named AName (no run-time
  // property lookup: each class answers from its own table).
  virtual bool IsPublishedProperty(std::wstring_view AName) const;

  // Changes inside a bracket are told once, by the outermost EndUpdate(true).
  void BeginUpdate();
  void EndUpdate(bool AInvokeChanged = true);
  // Tells the owner at once, or remembers the change while locked or while
  // the owning component goes (a change swallowed then is not replayed).
  void Changed();
  bool ChangedLocked() const { return FChangedLocked || FUpdateCount > 0; }
  // Unlocking replays nothing.
  void LockUpdate(bool ALock) { FChangedLocked = ALock; }
  bool IsChanging() const { return FIsChangingCount > 0; }
  int UpdateCount() const { return FUpdateCount; }

  // Class functions: what belongs to these properties.
  virtual TcxCustomEditViewDataClass ViewDataClass() const;
  virtual TcxCustomEditViewInfoClass GetViewInfoClass() const;
  virtual TcxContainerStyleClass GetStyleClass() const;
  virtual TcxCustomEditPropertiesValues* CreateAssignedValues();
  std::unique_ptr<TcxCustomEditViewData> CreateViewData(TcxCustomEditStyle& AStyle, bool AIsInplace,
                                                       bool APreviewMode = false);
  // Sizes through a temporary view data.
  SIZE GetEditConstantPartSize(TcxCanvas& ACanvas, TcxCustomEditStyle& AEditStyle, bool AIsInplace,
                               const TcxEditSizeProperties& AEditSizeProperties, SIZE& MinContentSize);
  SIZE GetEditContentSize(TcxCanvas& ACanvas, TcxCustomEditStyle& AEditStyle, bool AIsInplace,
                          const Variant& AEditValue, const TcxEditSizeProperties& AEditSizeProperties);
  SIZE GetEditSize(TcxCanvas& ACanvas, TcxCustomEditStyle& AEditStyle, bool AIsInplace, const Variant& AEditValue,
                   TcxEditSizeProperties AEditSizeProperties);

  // Values and their display.
  virtual WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true);
  virtual void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused);
  virtual bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2);
  virtual bool IsEditValueValid(Variant& EditValue, bool AEditFocused);
  virtual bool IsActivationKey(wchar_t) { return false; }
  virtual bool CanCompareEditValue() { return false; }
  virtual bool IsResetEditClass() { return false; }
  virtual bool IsValueFormattedByProperties() { return false; }
  virtual bool IsValueFormattedByProvider();
  virtual bool AllowRepositorySharing() { return true; }
  virtual void Update(TcxCustomEditProperties*) {}
  virtual void DataChanged() {}
  virtual void RefreshNonShareable() {}
  virtual TcxEditSpecialFeatures GetSpecialFeatures() { return 0; }
  virtual TcxEditSupportedOperations GetSupportedOperations();
  virtual TcxDataEditValueSource GetEditValueSource(bool) { return evsValue; }
  virtual void RestoreDefaults();
  virtual void UpdateButtonActions();
  virtual bool InnerEditNotifiesChange() { return false; }
  virtual bool WantsTabKey() { return false; }
  virtual bool FocusDependentState() { return false; }

  // Validation: nothing at this level (CanValidate is false); descendants
  // call it after their own checks.
  virtual void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                    TcxEditPropertiesHost* AEdit);
  // Fires the editor's validate events; a flagged error with an unchanged
  // value takes the inner edit's text back.
  void RunValidateEvent(Variant& ADisplayValue, TCaption& AErrorText, bool& ADisplayValueChanged,
                        TcxEditPropertiesHost* AEdit, bool& AError);
  virtual TCaption DefaultValidateErrorText(int AErrorKind);
  // An explicit ReadOnly false allows editing whatever the provider says.
  bool CanModify();

  // The alignment others read: the provider's default when Horz is not
  // assigned, without marking it assigned (unchanged while written to a stream).
  TcxEditAlignment& Alignment();
  virtual void AssignAlignment(const TcxEditAlignment& AValue);
  TcxEditAlignment& InnerAlignment() { return *FInnerAlignment; }
  TcxCustomEditPropertiesValues& AssignedValues() { return *FAssignedValues; }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool AValue) { SetChanging(FAutoSelect, AValue); }
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool AValue) { FBeepOnError = AValue; }
  TcxEditButtons& Buttons() { return *FButtons; }
  void SetButtons(const TcxEditButtons& AValue) { FButtons->Assign(AValue); }
  TcxEditButtonsViewStyle ButtonsViewStyle() const { return FButtonsViewStyle; }
  void SetButtonsViewStyle(TcxEditButtonsViewStyle AValue) { SetChanging(FButtonsViewStyle, AValue); }
  TShortCut ClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut AValue) { FClearKey = AValue; }
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut AValue) { FClickKey = AValue; }
  IcxEditDefaultValuesProvider* IDefaultValuesProvider() const { return FIDefaultValuesProvider; }
  void SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* AValue);
  // Pictures of glyph buttons (not owned; forgotten when freed).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* AValue);
  bool ImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool AValue) { FImmediatePost = AValue; }
  double MaxValue() { return ReadMaxValue(); }
  void SetMaxValue(double AValue);
  double MinValue() { return ReadMinValue(); }
  void SetMinValue(double AValue);
  // Both bounds with one change.
  void SetMinMaxValuesRaw(double AMaxValue, double AMinValue);
  bool ReadOnly();
  void SetReadOnly(bool AValue);
  bool IsReadOnlyAssigned() const { return FAssignedValues->ReadOnly(); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool AValue) { SetChanging(FTransparent, AValue); }
  bool UseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(bool AValue) { SetChanging(FUseLeftAlignmentOnEditing, AValue); }
  bool UseMouseWheel() const { return FUseMouseWheel; }
  void SetUseMouseWheel(bool AValue) { FUseMouseWheel = AValue; }
  bool ValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool AValue) { FValidateOnEnter = AValue; }

  // Storage rules.
  bool IsAlignmentStored() const;
  bool IsReadOnlyStored() const { return FAssignedValues->ReadOnly(); }
  bool IsMaxValueStored() const { return FAssignedValues->MaxValue(); }
  bool IsMinValueStored() const { return FAssignedValues->MinValue(); }
  bool IsUseLeftAlignmentOnEditingStored() { return FUseLeftAlignmentOnEditing != DefaultUseLeftAlignmentOnEditing(); }

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnClosePopup;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;
  TNotifyEvent OnPropertiesChanged;

protected:
  virtual void AlignmentChanged();
  virtual void ButtonsChanged() { Changed(); }
  virtual bool CanValidate() { return false; }
  virtual bool DefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void ClearDefaultValuesProvider() { FIDefaultValuesProvider = nullptr; }
  virtual void RaisePropertiesChanged();
  virtual TAlignment DefaultHorzAlignment();
  // Flag 1: the provider formats the display; flag 2: currency values do not count.
  virtual unsigned DisplayFormatFlags() { return 0; }
  virtual double ReadMaxValue();
  virtual double ReadMinValue();
  virtual bool HasProviderDisplayFormat(bool AEditing);
  // A descendant's constructor puts its own assigned-values object in place
  // (CreateAssignedValues cannot be asked while the base is made).
  void ReplaceAssignedValues() { FAssignedValues.reset(CreateAssignedValues()); }

private:
  friend class TcxCustomEditDefaultValuesProvider;
  template <class T>
  void SetChanging(T& AField, const T& AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }
  void SetBound(bool (TcxCustomEditPropertiesValues::*AFlag)() const,
                void (TcxCustomEditPropertiesValues::*ASetFlag)(bool), double& AField, double AValue);
  bool OwnerIsBeingDestroyed() const;

  bool FAutoSelect = true;
  bool FBeepOnError = false;
  std::unique_ptr<TcxEditButtons> FButtons;
  TcxEditButtonsViewStyle FButtonsViewStyle = bvsNormal;
  bool FChangedOccurred = false;
  TShortCut FClearKey = 0;
  TShortCut FClickKey = 16397;  // Ctrl+Enter
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  TCustomImageList* FImages = nullptr;
  bool FImmediatePost = false;
  std::unique_ptr<TcxEditAlignment> FInnerAlignment;
  int FIsChangingCount = 0;
  double FMaxValue = 0;
  double FMinValue = 0;
  bool FReadOnly = false;
  bool FTransparent = false;
  int FUpdateCount = 0;
  bool FUseLeftAlignmentOnEditing = true;
  bool FUseMouseWheel = true;
  bool FValidateOnEnter = false;
  std::unique_ptr<TcxEditAlignment> FAlignment;
  std::unique_ptr<TcxCustomEditPropertiesValues> FAssignedValues;
  bool FChangedLocked = false;
  IcxEditDefaultValuesProvider* FIDefaultValuesProvider = nullptr;
};

template <class T>
TcxCustomEditPropertiesClass EditPropertiesClassOf() {
  struct TRef final : TcxCustomEditPropertiesClassRef {
    TClass Info() const override { return &T::StaticClassInfo(); }
    TcxCustomEditProperties* Create(TPersistent* AOwner) const override { return new T(AOwner); }
    TcxCustomEditClass GetContainerClass() const override { return T::ContainerClass(); }
  };
  static const TRef ref;
  static const bool registered = (RegisterEditPropertiesClassRef(&ref), true);
  (void)registered;
  return &ref;
}

// The live properties objects while the unit runs, in the order they were made.
const std::vector<TcxCustomEditProperties*>& EditPropertiesList();

// ---- Repository

// {4E27D642-022B-4CD2-AB96-64C7CF9B3299}
inline constexpr GUID IID_IcxEditRepositoryItemListener = {
    0x4E27D642, 0x022B, 0x4CD2, {0xAB, 0x96, 0x64, 0xC7, 0xCF, 0x9B, 0x32, 0x99}};
struct IcxEditRepositoryItemListener {
  virtual void RepositoryItemRemoved(TcxEditRepositoryItem* Sender) = 0;
  virtual void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) = 0;

protected:
  ~IcxEditRepositoryItemListener() = default;
};

class TcxEditRepository;

class TcxEditRepositoryItem : public TComponent {
public:
  TVK_CLASS(TcxEditRepositoryItem, TComponent)
  explicit TcxEditRepositoryItem(TComponent* AOwner);
  // Tells every listener first, then leaves the repository.
  ~TcxEditRepositoryItem() override;

  // Added once.
  void AddListener(IcxEditRepositoryItemListener* AListener);
  void RemoveListener(IcxEditRepositoryItemListener* AListener);
  int ListenerCount() const { return int(FListenerList.size()); }
  virtual TcxCustomEditPropertiesClass GetEditPropertiesClass() const;
  // The repository's name and what follows "TcxEditRepository" in the class name.
  WideString GetBaseName() const;

  bool HasParent() const override { return FRepository != nullptr; }
  TComponent* GetParentComponent() const override;
  // Ignored while loading; a parent that is not a repository is refused.
  void SetParentComponent(TComponent* AParent) override;
  TcxCustomEditProperties& Properties() { return *FProperties; }
  void SetProperties(const TcxCustomEditProperties& AValue) { FProperties->Assign(AValue); }
  TcxEditRepository* Repository() const { return FRepository; }
  void SetRepository(TcxEditRepository* AValue);
  TNotifyEvent PropertiesEvents;

protected:
  // Makes the properties (of GetEditPropertiesClass); a descendant's
  // constructor calls it again for its own class.
  void CreateProperties();
  // Listeners from the last to the first.
  void NotifyPropertiesChanged(TObject* Sender);

private:
  std::vector<IcxEditRepositoryItemListener*> FListenerList;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  TcxEditRepository* FRepository = nullptr;
};

struct TcxEditRepositoryItemClassRef {
  TClass Info;
  TcxEditRepositoryItem* (*Create)(TComponent* AOwner);
};
using TcxEditRepositoryItemClass = const TcxEditRepositoryItemClassRef*;
template <class T>
TcxEditRepositoryItemClass EditRepositoryItemClassOf() {
  static const TcxEditRepositoryItemClassRef ref{
      &T::StaticClassInfo(), [](TComponent* AOwner) -> TcxEditRepositoryItem* { return CreateComponent<T>(AOwner); }};
  return &ref;
}

class TcxEditRepository : public TComponent {
public:
  TVK_CLASS(TcxEditRepository, TComponent)
  explicit TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxEditRepository() override;
  // Frees the items, the last first.
  void Clear();
  TcxEditRepositoryItem* CreateItem(TcxEditRepositoryItemClass ARepositoryItemClass);
  TcxEditRepositoryItem* CreateItemEx(TcxEditRepositoryItemClass ARepositoryItemClass, TComponent* AOwner);
  // Case-blind; null when none.
  TcxEditRepositoryItem* ItemByName(std::wstring_view AName) const;
  int Count() const { return int(FItems.size()); }
  TcxEditRepositoryItem* Items(int AIndex) const { return FItems.at(std::size_t(AIndex)); }
  void GetChildren(const std::function<void(TComponent*)>& AProc, TComponent* ARoot) override;

private:
  friend class TcxEditRepositoryItem;
  std::vector<TcxEditRepositoryItem*> FItems;
};

// The registry the editors' units register their properties classes with
// (sorted); made on first use while the unit runs, null after.
TcxRegisteredClasses* RegisteredEditProperties();

// The editors' resource-string getter while the unit runs (null otherwise).
using TcxEditResourceStringGetter = WideString (*)(const TResStringRec*);
TcxEditResourceStringGetter cxEditResourceStringGetter();
// An editor text through the getter (the resource's own text without one).
WideString cxGetResourceString(const TResStringRec* AResString);

// ---- Unit routines

// The shift-state flag of a mouse button.
TShiftState MouseButtonShiftFlag(TMouseButton AButton);
// Each dimension raised to at least ASize2's.
void EnlargeSize(SIZE& ASize, const SIZE& ASize2);
LRESULT SendMouseMessageToEdit(HWND AWnd, UINT AMsg, TShiftState AShift, POINT P);
void PostCharToControl(HWND AWnd, wchar_t AChar);
void UniteRegionsInto(HRGN ADestRgn, HRGN ASrcRgn);
bool RegionIsEmpty(HRGN ARegion);
// A one-pixel frame; R shrinks by one on each side.
void DrawEditFrameComplex(TcxCanvas& ACanvas, RECT& R, TColor ALeftTopColor, TColor ARightBottomColor);
void DrawEditFrameSingle(TcxCanvas& ACanvas, RECT& R, TColor AColor);
// Equal when both numeric, of one type or both text, and equal by value.
bool VarEqualsEx(const Variant& V1, const Variant& V2);
bool VarSameTypeEquals(const Variant& V1, const Variant& V2);
// The first component among the persistent owners of APersistent (itself included).
TComponent* OwnerComponentOf(TPersistent* APersistent);

// The editors' mouse-wheel cursor in the screen's table.
constexpr int crcxEditMouseWheel = 4101;

void cxEditUnitStart();
void cxEditUnitStop();

}  // namespace tvk
