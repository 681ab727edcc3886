#include "dxTLClms.h"

#include <algorithm>

#include "ClassRegistry.h"
#include "Clipbrd.h"
#include "Convert.h"
#include "LocaleFormats.h"
#include "Maths.h"
#include "ResStrings.h"
#include "TreeListEditors.h"
#include "TreeListResources.h"
#include "dxExUtils.h"

namespace tvk {

namespace {

int gColumnTypesStartCount = 0;
WideString gCheckedText, gUncheckedText;

// Runs Work inside one update of the column's tree list (when it has one).
template <class W>
void InColumnUpdate(TCustomdxTreeListControl* tree, W&& work) {
  if (!tree) return work();
  tree->BeginUpdate();
  try {
    work();
  } catch (...) {
    tree->EndUpdate();
    throw;
  }
  tree->EndUpdate();
}

// The editor as its library class T, or null for an editor of another kind.
template <class T>
T* EditorAs(TdxInplaceEdit* editor) {
  return editor && editor->Is<T>() ? static_cast<T*>(editor) : nullptr;
}

template <class T>
T* ViewDataAs(TdxEditViewData& viewData) {
  return viewData.Is<T>() ? &static_cast<T&>(viewData) : nullptr;
}

// The cell text as a number; false when it is none.
bool CellNumber(const WideString& text, double& value) {
  long double number = 0;
  if (!TryStrToFloat(text, number, FormatSettings())) return false;
  value = double(number);
  return true;
}

bool HasOption(TCustomdxTreeListControl* tree, TdxTreeListOptionEx option) {
  return tree && (tree->OptionsEx() & OptionBit(option)) != 0;
}

bool IsFocusedNode(TCustomdxTreeListControl* tree, TdxTreeListNode* node) {
  return tree && node && tree->FocusedNode() == node;
}

}  // namespace

WideString DefaultCheckedText() { return gCheckedText.empty() ? WideString(L"True") : gCheckedText; }
WideString DefaultUncheckedText() { return gUncheckedText.empty() ? WideString(L"False") : gUncheckedText; }

// ---- memo

TdxTreeListMemoColumn::TdxTreeListMemoColumn(TComponent* owner) : TdxTreeListColumn(owner) {
  SetHeaderMaxLineCount(0);
}

void TdxTreeListMemoColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListMemoColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& memo = static_cast<const TdxTreeListMemoColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    SetScrollBars(memo.FScrollBars);
    SetWordWrap(memo.FWordWrap);
  });
}

void TdxTreeListMemoColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  FScrollBars = TScrollStyle::ssNone;
  FWordWrap = true;
  SetHeaderMaxLineCount(0);
}

TdxInplaceEditClassType TdxTreeListMemoColumn::GetEditorClass() const {
  return EditorClassOf<TdxInplaceTreeListMemoEdit>();
}

void TdxTreeListMemoColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  if (auto* memo = EditorAs<TdxInplaceMemoEdit>(editor)) {
    memo->SetHideScrollBars(FHideScrollBars);
    memo->SetScrollBars(FScrollBars);
    memo->SetSelectionBar(FSelectionBar);
    memo->FWantReturns = FWantReturns;
    memo->FWantTabs = FWantTabs;
    memo->SetWordWrap(FWordWrap);
  }
}

void TdxTreeListMemoColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  if (auto* text = ViewDataAs<TdxTextEditViewData>(viewData)) text->SelectionBar = FSelectionBar;
}

// ---- the drop-down family

void TdxTreeListDropDownColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListDropDownColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListDropDownColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    TVK_DROPDOWN_SETTINGS(TVK_COLUMN_COPY)
    SetButtonGlyph(typed.FButtonGlyph.get());
  });
}

void TdxTreeListDropDownColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  TVK_DROPDOWN_SETTINGS(TVK_COLUMN_RESTORE)
}

TdxInplaceEditClassType TdxTreeListDropDownColumn::GetEditorClass() const {
  if (IsUnicodeSupport()) return EditorClassOf<TdxInplaceTreeListDropDownEditW>();
  return EditorClassOf<TdxInplaceTreeListDropDownEdit>();
}

TBitmap* TdxTreeListDropDownColumn::ButtonGlyph() {
  if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
  return FButtonGlyph.get();
}

void TdxTreeListDropDownColumn::SetButtonGlyph(const TBitmap* value) {
  if (!value || value->Empty()) {
    if (!FButtonGlyph) return;
    FButtonGlyph.reset();
  } else {
    ButtonGlyph()->Assign(*value);
  }
  Changed(false);
}

void TdxTreeListDropDownColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  // The Unicode drop-down editor takes none of these.
  auto* dropDown = EditorAs<TdxInplaceDropDownEdit>(editor);
  if (!dropDown) return;
  dropDown->SetButtonGlyph(FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr);
  dropDown->FImmediateDropDown = FImmediateDropDown;
  dropDown->FDropDownRows = FDropDownRows;
  dropDown->FDropDownWidth = FDropDownWidth;
  dropDown->FImmediatePopup = FImmediatePopup;
  dropDown->FPopupAlignment = FPopupAlignment;
  dropDown->FPopupBorder = FPopupBorder;
  dropDown->FOnCloseUp = [this](TObject* sender, WideString& value, bool& accept) {
    DoCloseUp(sender, value, accept);
  };
  dropDown->FOnEditButtonClick = [this](TObject* sender) { DoEditButtonClick(sender); };
}

void TdxTreeListDropDownColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  auto* dropDown = ViewDataAs<TdxDropDownEditViewData>(viewData);
  if (!dropDown) return;
  dropDown->ButtonGlyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr;
  dropDown->HideButtons = !IsButtonVisible(cell.Cell_Node);
  dropDown->ActiveButtonIndex = -1;
  dropDown->PressedButtonIndex = -1;
}

bool TdxTreeListDropDownColumn::ShowEditButton(bool byDefault) {
  if (DisableEditor() || FShowButtonStyle == sbNone) return false;
  return FShowButtonStyle == sbAlways || byDefault;
}

bool TdxTreeListDropDownColumn::IsButtonVisible(TdxTreeListNode* node) {
  if (FShowButtonStyle == sbNone) return false;
  return HasOption(TreeList(), aoShowButtonAlways) &&
         (FShowButtonStyle == sbAlways || IsFocusedNode(TreeList(), node));
}

void TdxTreeListDropDownColumn::DoCloseUp(TObject* sender, WideString& value, bool& accept) {
  (void)sender; (void)value; (void)accept;
}

void TdxTreeListDropDownColumn::DoEditButtonClick(TObject* sender) {
  (void)sender;
  if (OnEditButtonClick) OnEditButtonClick(this);
}

// ---- date

void TdxTreeListDateColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListDateColumn>()) return TdxTreeListDropDownColumn::Assign(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListDropDownColumn::Assign(source);
    const auto& typed = static_cast<const TdxTreeListDateColumn&>(source);
    TVK_DATE_SETTINGS(TVK_COLUMN_COPY)
  });
}

void TdxTreeListDateColumn::RestoreDefaults() {
  TdxTreeListDropDownColumn::RestoreDefaults();
  TVK_DATE_SETTINGS(TVK_COLUMN_RESTORE)
}

void TdxTreeListDateColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListDropDownColumn::InitEditor(editor);
  auto* date = EditorAs<TdxInplaceDateEdit>(editor);
  if (!date) return;
  date->FDateButtons = FDateButtons;
  date->FDateOnError = FDateOnError;
  date->FDateValidation = FDateValidation;
  date->FSaveTime = FSaveTime;
  date->SetUseEditMask(FUseEditMask);
  date->FOnDateValidateInput = [this](TObject*, const WideString& text, TDateTime& date, WideString& message,
                                      bool& error) {
    if (OnDateValidateInput) OnDateValidateInput(this, text, date, message, error);
  };
}

// ---- button

void TdxColumnEditButtons::Update(TCollectionItem* item) {
  TdxEditButtons::Update(item);
  if (Owner() && Owner()->Is<TdxTreeListButtonColumn>()) static_cast<TdxTreeListButtonColumn*>(Owner())->ButtonsChanged();
}

TdxTreeListButtonColumn::TdxTreeListButtonColumn(TComponent* owner)
    : TdxTreeListDropDownColumn(owner),
      FButtons(std::make_unique<TdxColumnEditButtons>(this, CollectionItemClassOf<TdxEditButton>())),
      FGlyph(std::make_unique<TBitmap>()) {
  FButtons->Add();
}

TdxTreeListButtonColumn::~TdxTreeListButtonColumn() = default;

void TdxTreeListButtonColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListButtonColumn>()) return TdxTreeListDropDownColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListButtonColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListDropDownColumn::Assign(source);
    TVK_BUTTON_SETTINGS(TVK_COLUMN_COPY)
    FButtons->Assign(*typed.FButtons);
    FEditButtonStyle = typed.FEditButtonStyle;
    FGlyph->Assign(*typed.FGlyph);
  });
}

void TdxTreeListButtonColumn::RestoreDefaults() {
  TdxTreeListDropDownColumn::RestoreDefaults();
  TVK_BUTTON_SETTINGS(TVK_COLUMN_RESTORE)
  FButtons->RestoreDefaults();
  FButtons->Clear();
  FButtons->Add();
  FEditButtonStyle = ebsEllipsis;
  FGlyph = std::make_unique<TBitmap>();
}

void TdxTreeListButtonColumn::SetEditButtonStyle(TdxEditButtonStyle value) {
  FEditButtonStyle = value;
  if (value == ebsSimple) {
    FButtons->Clear();
  } else {
    if (FButtons->Count() == 0) FButtons->Add();
    FButtons->GetItem(0)->SetKind(value == ebsDown ? bkDown : value == ebsGlyph ? bkGlyph : bkEllipsis);
  }
  Changed(false);
}

void TdxTreeListButtonColumn::SetGlyph(const TBitmap* value) {
  if (value)
    FGlyph->Assign(*value);
  else
    FGlyph = std::make_unique<TBitmap>();
  if (FButtons->Count() > 0) FButtons->GetItem(0)->SetGlyph(FGlyph.get());
}

void TdxTreeListButtonColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListDropDownColumn::InitEditor(editor);
  auto* button = EditorAs<TdxInplaceButtonEdit>(editor);
  if (!button) return;
  button->SetButtons(*FButtons);
  button->FClickKey = FClickKey;
  button->SetViewStyle(FButtonOnly ? vsButtonOnly : FHideEditCursor ? vsHideCursor : vsStandard);
  button->FOnButtonClick = [this](TObject* sender, int index) { DoButtonClick(sender, index); };
  button->SetPassMouseWheelToGrid(FPassMouseWheelToGrid);
}

void TdxTreeListButtonColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListDropDownColumn::PrepareViewData(viewData, cell);
  auto* button = ViewDataAs<TdxButtonEditViewData>(viewData);
  if (!button) return;
  if (button->HideButtons) {
    button->ButtonOnly = false;
    button->EditButtons = nullptr;
  } else {
    button->ButtonOnly = FButtonOnly && FButtons->Count() > 0;
    button->EditButtons = FButtons.get();
  }
  button->HideEditCursor = FHideEditCursor;
}

void TdxTreeListButtonColumn::DoButtonClick(TObject* sender, int absoluteIndex) {
  (void)sender;
  if (OnButtonClick) OnButtonClick(this, absoluteIndex);
}

// ---- check

TdxTreeListCheckColumn::TdxTreeListCheckColumn(TComponent* owner) : TdxTreeListColumn(owner) { SetMinWidth(16); }

void TdxTreeListCheckColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListCheckColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListCheckColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    TVK_CHECK_SETTINGS(TVK_COLUMN_COPY)
    SetGlyph(typed.FGlyph.get());
    SetGlyphCount(typed.FGlyphCount);
  });
}

void TdxTreeListCheckColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  TVK_CHECK_SETTINGS(TVK_COLUMN_RESTORE)
  SetMinWidth(16);
  FGlyph.reset();
  FGlyphCount = 6;
}

TdxCheckBoxState TdxTreeListCheckColumn::GetCheckBoxState(const WideString& text) const {
  if (CompareTextOrdinal(text, FValueChecked, true) == 0) return cbsChecked;
  if (CompareTextOrdinal(text, FValueUnchecked, true) == 0) return cbsUnchecked;
  return cbsGrayed;
}

WideString TdxTreeListCheckColumn::GetCheckBoxValue(TdxCheckBoxState state) const {
  return state == cbsUnchecked ? FValueUnchecked : state == cbsChecked ? FValueChecked : FValueGrayed;
}

Variant TdxTreeListCheckColumn::GetDisplayValue(TdxTreeListNode* node, const Variant& value) {
  (void)node;
  return Variant(GetCheckBoxValue(GetCheckBoxState(VarToStr(value))));
}

void TdxTreeListCheckColumn::SetGlyph(const TBitmap* value) {
  if (!value) {
    if (!FGlyph) return;
    FGlyph.reset();
  } else {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    FGlyph->Assign(*value);
  }
  Changed(true);
}

void TdxTreeListCheckColumn::SetGlyphCount(int value) {
  if (value == FGlyphCount) return;
  FGlyphCount = value;
  if (FGlyph) Changed(true);
}

void TdxTreeListCheckColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  auto* check = EditorAs<TdxInplaceCheckEdit>(editor);
  if (!check) return;
  check->SetAlignment(TAlignment::taCenter);
  check->FAllowGrayed = FAllowGrayed;
  check->Style().SetButtonStyle(FBorder3D ? bts3D : btsSimple);
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  check->SetGlyph(FGlyph.get());
  check->SetGlyphCount(FGlyphCount);
  check->SetNullStyle(FShowNullFieldStyle);
}

void TdxTreeListCheckColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (auto* check = EditorAs<TdxInplaceCheckEdit>(editor)) {
    check->SetState(GetCheckBoxState(GetNodeText(node)));
    value = Variant(GetNodeText(node));
    return;
  }
  TdxTreeListColumn::InitEditValue(node, editor, value);
}

void TdxTreeListCheckColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (auto* check = EditorAs<TdxInplaceCheckEdit>(editor)) node->SetString(CellIndex(), GetCheckBoxValue(check->State()));
  value = node->GetValue(CellIndex());
}

void TdxTreeListCheckColumn::EditChange(TObject* sender) {
  TdxTreeListColumn::EditChange(sender);
  if (TreeList() && TreeList()->InitEdit()) return;
  auto* check = sender && sender->Is<TdxInplaceCheckEdit>() ? static_cast<TdxInplaceCheckEdit*>(sender) : nullptr;
  if (check && OnToggleClick) OnToggleClick(this, GetCheckBoxValue(check->State()), check->State());
}

int TdxTreeListCheckColumn::GetMinCellHeight(TCanvas& canvas) {
  (void)canvas;
  int width = 0, height = 0;
  if (FGlyph && TdxInplaceCheckEditClass::CalcCheckSize(FGlyph.get(), FGlyphCount, width, height)) return height;
  return StandardCheckHeight() + 2;
}

void TdxTreeListCheckColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  auto* check = ViewDataAs<TdxCheckEditViewData>(viewData);
  if (!check) return;
  check->Caption.clear();
  check->Data = Variant(int(GetCheckBoxState(cell.Cell_Text)));
  check->Alignment = TAlignment::taCenter;
  check->ButtonStyle = FBorder3D ? bts3D : btsSimple;
  check->Glyph = FGlyph.get();
  check->GlyphCount = FGlyphCount;
  check->NullStyle = FShowNullFieldStyle;
}

// ---- image

TdxTreeListImageColumn::TdxTreeListImageColumn(TComponent* owner)
    : TdxTreeListDropDownColumn(owner),
      FDescriptions(std::make_unique<TStringList>()),
      FImageIndexes(std::make_unique<TStringList>()),
      FValues(std::make_unique<TStringList>()) {
  SetMinWidth(16);
  FImagesLink.OnChange = [this](TObject*) { Changed(true); };
}

TdxTreeListImageColumn::~TdxTreeListImageColumn() {
  if (FImages) FImages->UnRegisterChanges(&FImagesLink);
  if (FLargeImages) FLargeImages->UnRegisterChanges(&FLargeImagesLink);
}

void TdxTreeListImageColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListImageColumn>()) return TdxTreeListDropDownColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListImageColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListDropDownColumn::Assign(source);
    TVK_IMAGE_SETTINGS(TVK_COLUMN_COPY)
    SetDescriptions(*typed.FDescriptions);
    SetImageIndexes(*typed.FImageIndexes);
    SetValues(*typed.FValues);
    SetImages(typed.FImages);
    SetLargeImages(typed.FLargeImages);
  });
}

void TdxTreeListImageColumn::RestoreDefaults() {
  TdxTreeListDropDownColumn::RestoreDefaults();
  TVK_IMAGE_SETTINGS(TVK_COLUMN_RESTORE)
  SetMinWidth(16);
}

void TdxTreeListImageColumn::SetDescriptions(const TStrings& value) {
  FDescriptions->Assign(value);
  Changed(false);
}

void TdxTreeListImageColumn::SetImageIndexes(const TStrings& value) {
  FImageIndexes->Assign(value);
  Changed(false);
}

void TdxTreeListImageColumn::SetValues(const TStrings& value) {
  FValues->Assign(value);
  Changed(false);
}

void TdxTreeListImageColumn::SetImageList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value,
                                          bool layout) {
  if (field == value) return;
  if (field) field->UnRegisterChanges(&link);
  field = value;
  if (field) {
    field->RegisterChanges(&link);
    field->FreeNotification(this);
  }
  if (layout) Changed(true);
}

void TdxTreeListImageColumn::SetImages(TCustomImageList* value) { SetImageList(FImages, FImagesLink, value, true); }

void TdxTreeListImageColumn::SetLargeImages(TCustomImageList* value) {
  SetImageList(FLargeImages, FLargeImagesLink, value, false);
}

void TdxTreeListImageColumn::Notification(TComponent* component, TOperation operation) {
  TdxTreeListDropDownColumn::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FImages) FImages = nullptr;
  if (component == FLargeImages) FLargeImages = nullptr;
}

void TdxTreeListImageColumn::GetIndexes(const WideString& text, int& imageIndex, int& descIndex) const {
  TdxInplaceImageEditClass::CalcViewIndexes(text, FImageIndexes.get(), FDescriptions.get(), FValues.get(),
                                            FDefaultImages, imageIndex, descIndex);
}

int TdxTreeListImageColumn::GetImageIndex(const WideString& text) const {
  int imageIndex = -1, descIndex = -1;
  GetIndexes(text, imageIndex, descIndex);
  return imageIndex;
}

Variant TdxTreeListImageColumn::GetDisplayValue(TdxTreeListNode* node, const Variant& value) {
  (void)node;
  int imageIndex = -1, descIndex = -1;
  GetIndexes(VarToStr(value), imageIndex, descIndex);
  return descIndex >= 0 ? Variant(FDescriptions->Get(descIndex)) : value;
}

int TdxTreeListImageColumn::GetBestFit(TCanvas& canvas, TdxTreeListNode* node) {
  int imageIndex = -1, descIndex = -1;
  GetIndexes(GetNodeText(node), imageIndex, descIndex);
  int width = descIndex >= 0 ? canvas.TextWidth(FDescriptions->Get(descIndex)) : 0;
  return width + (FImages ? FImages->Width() : 0);
}

int TdxTreeListImageColumn::GetMinCellHeight(TCanvas& canvas) {
  (void)canvas;
  return FImages ? FImages->Height() : 0;
}

void TdxTreeListImageColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListDropDownColumn::InitEditor(editor);
  auto* image = EditorAs<TdxInplaceImageEdit>(editor);
  if (!image) return;
  image->SetDefaultImages(FDefaultImages);
  image->SetDescriptions(*FDescriptions);
  image->SetImages(FImages);
  image->SetImageIndexes(*FImageIndexes);
  image->FIncremental = FIncremental;
  image->SetLargeImages(FLargeImages);
  image->SetMultiLineText(FMultiLineText);
  image->SetShowDescription(FShowDescription);
  image->SetValues(*FValues);
}

void TdxTreeListImageColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListDropDownColumn::PrepareViewData(viewData, cell);
  auto* image = ViewDataAs<TdxImageEditViewData>(viewData);
  if (!image) return;
  if (FMultiLineText) image->DrawAlignment = daMultiLine;
  image->DefaultImages = FDefaultImages;
  image->Descriptions = FDescriptions.get();
  image->ImageIndexes = FImageIndexes.get();
  image->Images = FImages;
  image->ShowDescription = FShowDescription;
  image->Values = FValues.get();
}

void TdxTreeListImageColumn::DoCloseUp(TObject* sender, WideString& value, bool& accept) {
  (void)sender;
  if (OnCloseUp) OnCloseUp(this, value, accept);
}

// ---- spin

void TdxTreeListSpinColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListSpinColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListSpinColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    TVK_SPIN_SETTINGS(TVK_COLUMN_COPY)
  });
}

void TdxTreeListSpinColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  TVK_SPIN_SETTINGS(TVK_COLUMN_RESTORE)
}

void TdxTreeListSpinColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  auto* spin = EditorAs<TdxInplaceSpinEdit>(editor);
  if (!spin) return;
  spin->FEditorEnabled = FEditorEnabled;
  spin->FIncrement = FIncrement;
  spin->SetMinMaxValues(FMinValue, FMaxValue);
  spin->FUseCtrlIncrement = FUseCtrlIncrement;
  spin->SetValueType(FValueType);
}

void TdxTreeListSpinColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxTreeListColumn::InitEditValue(node, editor, value);
  auto* spin = EditorAs<TdxInplaceSpinEdit>(editor);
  if (!spin) return;
  double number = 0;
  WideString text = GetNodeText(node);
  if (text.empty() || !CellNumber(text, number)) number = 0;
  spin->SetValue(number);
  value = Variant(spin->GetValue());
}

void TdxTreeListSpinColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* spin = EditorAs<TdxInplaceSpinEdit>(editor);
  if (!spin) return TdxTreeListColumn::AssignEditValue(node, editor, value);
  double number = spin->GetValue();
  WideString text = spin->ValueType() == vtFloat ? FloatToStrF(number, TFloatFormat::ffGeneral, 15, 0)
                                                 : WideString(std::to_wstring(Round(number)));
  node->SetString(CellIndex(), text);
  value = node->GetValue(CellIndex());
}

void TdxTreeListSpinColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  if (auto* spin = ViewDataAs<TdxSpinEditViewData>(viewData)) spin->ShowButton = IsButtonVisible(cell.Cell_Node);
}

bool TdxTreeListSpinColumn::ShowEditButton(bool byDefault) {
  if (DisableEditor() || FShowButtonStyle == sbNone) return false;
  return FShowButtonStyle == sbAlways || byDefault;
}

bool TdxTreeListSpinColumn::IsButtonVisible(TdxTreeListNode* node) {
  if (FShowButtonStyle == sbNone) return false;
  return HasOption(TreeList(), aoShowButtonAlways) &&
         (FShowButtonStyle == sbAlways || IsFocusedNode(TreeList(), node));
}

// ---- pick

TdxTreeListPickColumn::TdxTreeListPickColumn(TComponent* owner)
    : TdxTreeListDropDownColumn(owner), FItems(std::make_unique<TStringList>()) {
  FItems->SetCaseSensitive(false);
  SetImmediateDropDown(true);
}

TdxTreeListPickColumn::~TdxTreeListPickColumn() = default;

void TdxTreeListPickColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListPickColumn>()) return TdxTreeListDropDownColumn::Assign(source);
  const auto& pick = static_cast<const TdxTreeListPickColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListDropDownColumn::Assign(source);
    SetDropDownListStyle(pick.FDropDownListStyle);
    SetItems(*pick.FItems);
    SetCanDeleteText(pick.FCanDeleteText);
    SetRevertable(pick.FRevertable);
    SetItemsSorted(pick.FItemsSorted);
  });
}

void TdxTreeListPickColumn::RestoreDefaults() {
  TdxTreeListDropDownColumn::RestoreDefaults();
  TVK_PICK_SETTINGS(TVK_COLUMN_RESTORE)
  FImmediateDropDown = true;
}

void TdxTreeListPickColumn::SetItems(const TStrings& value) {
  FItems->Assign(value);
  Changed(false);
}

TdxInplaceEditClassType TdxTreeListPickColumn::GetEditorClass() const {
  if (IsUnicodeSupport()) return EditorClassOf<TdxInplaceTreeListPickEditW>();
  return EditorClassOf<TdxInplaceTreeListPickEdit>();
}

void TdxTreeListPickColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListDropDownColumn::InitEditor(editor);
  if (auto* pick = EditorAs<TdxInplacePickEdit>(editor)) {
    pick->SetCaseSensitive(FItems->CaseSensitive());
    pick->SetDropDownListStyle(FDropDownListStyle);
    pick->SetItems(*FItems);
    pick->FCanDeleteText = FCanDeleteText;
    pick->FRevertable = FRevertable;
    pick->SetSorted(FItemsSorted);
  } else if (auto* combo = EditorAs<TdxInplaceTreeListPickEditW>(editor)) {
    combo->SetCaseSensitive(FItems->CaseSensitive());
    combo->SetItems(*FItems);
    combo->SetSorted(FItemsSorted);
  }
}

void TdxTreeListPickColumn::DoCloseUp(TObject* sender, WideString& value, bool& accept) {
  (void)sender;
  if (!OnCloseUp) return;
  Variant wrapped(value);
  OnCloseUp(this, wrapped, accept);
  value = VarToStr(wrapped);
}

// ---- calculator

void TdxTreeListCalcColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListCalcColumn>()) return TdxTreeListDropDownColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListCalcColumn&>(source);
  // Copied without an update bracket of its own.
  TdxTreeListDropDownColumn::Assign(source);
  TVK_CALC_SETTINGS(TVK_COLUMN_COPY)
}

void TdxTreeListCalcColumn::RestoreDefaults() {
  TdxTreeListDropDownColumn::RestoreDefaults();
  TVK_CALC_SETTINGS(TVK_COLUMN_RESTORE)
}

void TdxTreeListCalcColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListDropDownColumn::InitEditor(editor);
  auto* calc = EditorAs<TdxInplaceCalcEdit>(editor);
  if (!calc) return;
  calc->FBeepOnError = FBeepOnError;
  calc->FButtonStyle = FButtonStyle;
  calc->FPrecision = FPrecision;
  calc->FQuickClose = FQuickClose;
  calc->FShowButtonFrame = FShowButtonFrame;
}

// ---- hyperlink

TdxTreeListHyperLinkColumn::TdxTreeListHyperLinkColumn(TComponent* owner) : TdxTreeListColumn(owner) {
  RefreshLinkFont();
}

void TdxTreeListHyperLinkColumn::RefreshLinkFont() {
  FLinkFont.SetStyle(FLinkFont.Style() | fsUnderline);
  FLinkFont.SetColor(FSingleClick ? FEditFontColor : TFont().Color());
}

void TdxTreeListHyperLinkColumn::SetEditBackgroundColor(TColor value) {
  if (value == FEditBackgroundColor) return;
  FEditBackgroundColor = value;
  RefreshLinkFont();
  Changed(false);
}

void TdxTreeListHyperLinkColumn::SetEditFontColor(TColor value) {
  if (value == FEditFontColor) return;
  FEditFontColor = value;
  RefreshLinkFont();
  Changed(false);
}

void TdxTreeListHyperLinkColumn::SetSingleClick(bool value) {
  if (value == FSingleClick) return;
  FSingleClick = value;
  RefreshLinkFont();
  Changed(false);
}

void TdxTreeListHyperLinkColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListHyperLinkColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& link = static_cast<const TdxTreeListHyperLinkColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    SetEditBackgroundColor(link.FEditBackgroundColor);
    SetEditFontColor(link.FEditFontColor);
    SetSingleClick(link.FSingleClick);
    SetStartKey(link.FStartKey);
  });
}

void TdxTreeListHyperLinkColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  FEditBackgroundColor = TColor(16777215);
  FEditFontColor = TColor(16711680);
  FSingleClick = false;
  FStartKey = TShortCut(16397);
  RefreshLinkFont();
}

void TdxTreeListHyperLinkColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  auto* link = EditorAs<TdxInplaceHyperLinkEdit>(editor);
  if (!link) return;
  link->SetColor(FEditBackgroundColor);
  link->SetLinkColor(FEditFontColor);
  link->FSingleClick = FSingleClick;
  link->FStartKey = FStartKey;
  if (OnStartClick)
    link->OnStartClick = [this](TObject* sender) { DoStartClick(sender); };
  else
    link->OnStartClick = nullptr;
}

void TdxTreeListHyperLinkColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  if (!viewData.Is<TdxHyperLinkEditViewData>()) return;
  if (!cell.Cell_Selected && FLinkFont.Color() != TFont().Color()) viewData.TextColor = ColorToRGB(FLinkFont.Color());
  viewData.Font = FLinkFont.Handle();
}

void TdxTreeListHyperLinkColumn::GetHotTrackCursor(TdxTreeListNode* node, TCursor& cursor) {
  if (FSingleClick && !GetNodeText(node).empty()) cursor = crdxHandPoint;
}

void TdxTreeListHyperLinkColumn::DoStartClick(TObject* sender) {
  (void)sender;
  if (OnStartClick) OnStartClick(this);
}

// ---- time

void TdxTreeListTimeColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListTimeColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListTimeColumn&>(source);
  // Copied without an update bracket of its own.
  TdxTreeListColumn::Assign(source);
  TVK_TIME_SETTINGS(TVK_COLUMN_COPY)
}

void TdxTreeListTimeColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  TVK_TIME_SETTINGS(TVK_COLUMN_RESTORE)
}

void TdxTreeListTimeColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  auto* time = EditorAs<TdxInplaceTimeEdit>(editor);
  if (!time) return;
  time->SetTimeEditFormat(FTimeEditFormat);
  time->FUseCtrlIncrement = FUseCtrlIncrement;
}

void TdxTreeListTimeColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* time = EditorAs<TdxInplaceTimeEdit>(editor);
  if (!time) return TdxTreeListColumn::AssignEditValue(node, editor, value);
  // Midnight is an empty cell.
  node->SetString(CellIndex(), time->GetValue() != 0 ? time->EditText() : WideString());
  value = node->GetValue(CellIndex());
}

// ---- currency

TdxTreeListCurrencyColumn::TdxTreeListCurrencyColumn(TComponent* owner)
    : TdxTreeListColumn(owner), FDisplayFormat(BuildCurrencyDisplayFormat()) {}

void TdxTreeListCurrencyColumn::SetDisplayFormat(const WideString& value) {
  FDisplayFormatAssigned = true;
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  Changed(true);
}

void TdxTreeListCurrencyColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListCurrencyColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListCurrencyColumn&>(source);
  // Copied without an update bracket of its own.
  TdxTreeListColumn::Assign(source);
  TVK_CURRENCY_SETTINGS(TVK_COLUMN_COPY)
  if (typed.FDisplayFormatAssigned) SetDisplayFormat(typed.FDisplayFormat);
}

void TdxTreeListCurrencyColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  TVK_CURRENCY_SETTINGS(TVK_COLUMN_RESTORE)
  FDisplayFormat = BuildCurrencyDisplayFormat();
  FDisplayFormatAssigned = false;
}

void TdxTreeListCurrencyColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  auto* currency = EditorAs<TdxInplaceCurrencyEdit>(editor);
  if (!currency) return;
  currency->FDecimalPlaces = FDecimalPlaces;
  currency->SetDisplayFormat(WideString());  // the editor shows plain numbers
  currency->SetMinMaxValues(FMinValue, FMaxValue);
  currency->FUseThousandSeparator = FUseThousandSeparator;
}

void TdxTreeListCurrencyColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* currency = EditorAs<TdxInplaceCurrencyEdit>(editor);
  if (!currency) return TdxTreeListColumn::InitEditValue(node, editor, value);
  currency->SetText(WideString());
  double number = 0;
  WideString text = GetNodeText(node);
  if (!text.empty() && !CellNumber(text, number)) number = 0;
  currency->SetValue(number);
  value = Variant(currency->GetValue());
  if (currency->GetValue() == 0) currency->SetText(WideString());
}

void TdxTreeListCurrencyColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* currency = EditorAs<TdxInplaceCurrencyEdit>(editor);
  if (!currency) return TdxTreeListColumn::AssignEditValue(node, editor, value);
  // Zero is an empty cell.
  node->SetString(CellIndex(), currency->GetValue() != 0 ? currency->EditText() : WideString());
  value = node->GetValue(CellIndex());
}

void TdxTreeListCurrencyColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  if (FDisplayFormat.empty()) return;
  double number = 0;
  if (!cell.Cell_Text.empty() && !CellNumber(cell.Cell_Text, number)) return;  // shown as it stands
  viewData.Data = Variant(FormatFloat(FDisplayFormat, number));
}

void TdxTreeListCurrencyColumn::CMWinIniChange(TMessage& message) {
  (void)message;
  if (!FDisplayFormatAssigned) FDisplayFormat = BuildCurrencyDisplayFormat();
}

TVK_MESSAGE_MAP(TdxTreeListCurrencyColumn, {CM_WININICHANGE, &TdxTreeListCurrencyColumn::CMWinIniChange})

// ---- most recently used

TdxTreeListMRUColumn::TdxTreeListMRUColumn(TComponent* owner) : TdxTreeListPickColumn(owner) {
  SetImmediateDropDown(false);
}

void TdxTreeListMRUColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListMRUColumn>()) return TdxTreeListPickColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListMRUColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListPickColumn::Assign(source);
    TVK_MRU_SETTINGS(TVK_COLUMN_COPY)
  });
}

void TdxTreeListMRUColumn::RestoreDefaults() {
  TdxTreeListPickColumn::RestoreDefaults();
  TVK_MRU_SETTINGS(TVK_COLUMN_RESTORE)
  FImmediateDropDown = false;
}

void TdxTreeListMRUColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListPickColumn::InitEditor(editor);
  auto* mru = EditorAs<TdxInplaceMRUEdit>(editor);
  if (!mru) return;
  mru->SetMaxItemCount(FMaxItemCount);
  mru->SetShowEllipsis(FShowEllipsis);
  mru->FOnButtonClick = [this](TObject* sender) { DoButtonClick(sender); };
}

void TdxTreeListMRUColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxTreeListPickColumn::AssignEditValue(node, editor, value);
  // The list the editor keeps survives it.
  if (auto* mru = EditorAs<TdxInplaceMRUEdit>(editor)) Items().Assign(mru->Items());
}

void TdxTreeListMRUColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListPickColumn::PrepareViewData(viewData, cell);
  if (auto* mru = ViewDataAs<TdxMRUEditViewData>(viewData)) mru->ShowEllipsis = FShowEllipsis;
}

void TdxTreeListMRUColumn::DoButtonClick(TObject* sender) {
  (void)sender;
  if (OnButtonClick) OnButtonClick(this);
}

// ---- picture

TdxTreeListGraphicColumn::TdxTreeListGraphicColumn(TComponent* owner)
    : TdxTreeListColumn(owner),
      ClipboardFormat(PictureClipFormat()),
      FPopupToolBar(std::make_unique<TdxPopupToolBarWindow>(nullptr)),
      FPicture(std::make_unique<TPicture>()) {
  SetHeaderMaxLineCount(0);
}

TdxTreeListGraphicColumn::~TdxTreeListGraphicColumn() = default;

void TdxTreeListGraphicColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListGraphicColumn>()) return TdxTreeListColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListGraphicColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    TVK_GRAPHIC_SETTINGS(TVK_COLUMN_COPY)
    FPopupToolBar->Assign(*typed.FPopupToolBar);
    SetPopupToolbarPosStored(typed.FPopupToolbarPosStored);
    PopupToolbarPos = typed.PopupToolbarPos;
  });
}

void TdxTreeListGraphicColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  TVK_GRAPHIC_SETTINGS(TVK_COLUMN_RESTORE)
  SetHeaderMaxLineCount(0);
}

void TdxTreeListGraphicColumn::SetPopupToolbarPosStored(bool value) {
  FPopupToolbarPosStored = value;
  if (!value) PopupToolbarPos = kNoToolbarPos;
}

TGraphicClass TdxTreeListGraphicColumn::GetGraphicClass(TdxTreeListNode* node) {
  TGraphicClass graphicClass = nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, node, graphicClass);
  return graphicClass;
}

TPicture& TdxTreeListGraphicColumn::LoadNodePicture(TdxTreeListNode* node) {
  if ((ComponentState() & csDesigning) != 0 && FCustomGraphic)
    FPicture->SetGraphic(nullptr);
  else
    LoadPictureFromText(*FPicture, GetGraphicClass(node), GetNodeText(node));
  return *FPicture;
}

void TdxTreeListGraphicColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  auto* graphic = EditorAs<TdxInplaceGraphicEdit>(editor);
  if (!graphic) return;
  graphic->SetCenter(FCenter);
  graphic->FClipboardFormat = ClipboardFormat;
  graphic->FCustomFilter = FCustomFilter;
  graphic->SetCustomGraphic(FCustomGraphic);
  graphic->FDblClickActivate = FDblClickActivate;
  graphic->SetGraphicTransparency(FGraphicTransparency);
  graphic->ToolbarLayout().Assign(*FPopupToolBar);
  graphic->FToolbarPos = PopupToolbarPos;
  graphic->SetToolbarPosStored(FPopupToolbarPosStored);
  graphic->FQuickDraw = FQuickDraw;
  graphic->SetStretch(FStretch);
  graphic->FOnAssignPicture = [this](TObject*, TPicture*& picture) {
    if (OnAssignPicture) OnAssignPicture(this, picture);
  };
  graphic->FOnCustomClick = [this](TObject*) {
    if (OnCustomClick) OnCustomClick(this);
  };
  graphic->FOnGetGraphicClass = [this](TObject*, TGraphicClass& graphicClass) {
    graphicClass = GetGraphicClass(TreeList() ? TreeList()->FocusedNode() : nullptr);
  };
}

void TdxTreeListGraphicColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* graphic = EditorAs<TdxInplaceGraphicEdit>(editor);
  if (!graphic) return TdxTreeListColumn::InitEditValue(node, editor, value);
  graphic->SetOffsetSize(RECT{0, 0, 0, 0});
  graphic->SetText(WideString());
  value = Variant(GetNodeText(node));
  LoadPictureFromText(graphic->Picture(), GetGraphicClass(node), GetNodeText(node));
}

void TdxTreeListGraphicColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (auto* graphic = EditorAs<TdxInplaceGraphicEdit>(editor))
    node->SetString(CellIndex(), SavePictureToText(&graphic->Picture()));
  value = node->GetValue(CellIndex());
}

int TdxTreeListGraphicColumn::GetBestFit(TCanvas& canvas, TdxTreeListNode* node) {
  (void)canvas;
  if (FStretch) return 0;
  TPicture& picture = LoadNodePicture(node);
  return IsPictureEmpty(&picture) ? 0 : picture.Width();
}

void TdxTreeListGraphicColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn::PrepareViewData(viewData, cell);
  auto* graphic = ViewDataAs<TdxGraphicEditViewData>(viewData);
  if (!graphic) return;
  TPicture& picture = LoadNodePicture(cell.Cell_Node);
  if (FGraphicTransparency != gtDefault && !IsPictureEmpty(&picture))
    picture.Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
  graphic->Picture = &picture;
  graphic->Data = Variant();
  graphic->BkColor = ColorToRGB(cell.Cell_CellColor);
  graphic->Brush = cell.Cell_CellBrush;
  graphic->Center = FCenter;
  graphic->DrawShadow = cell.Cell_Selected && FShadowSelection;
  graphic->QuickDraw = FQuickDraw;
  graphic->ShadowColor = ColorToRGB(cell.Cell_SelectionColor);
  graphic->Stretch = FStretch;
  graphic->TempTransparentBitmap = nullptr;
  graphic->OffsetSize = RECT{0, 0, 0, 0};
}

// ---- blob

TdxTreeListBlobColumn::TdxTreeListBlobColumn(TComponent* owner)
    : TdxTreeListDropDownColumn(owner), PictureClipboardFormat(PictureClipFormat()) {
  SetMinWidth(20);
}

void TdxTreeListBlobColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListBlobColumn>()) return TdxTreeListDropDownColumn::Assign(source);
  const auto& typed = static_cast<const TdxTreeListBlobColumn&>(source);
  InColumnUpdate(TreeList(), [&] {
    TdxTreeListDropDownColumn::Assign(source);
    TVK_BLOB_SETTINGS(TVK_COLUMN_COPY)
  });
}

void TdxTreeListBlobColumn::RestoreDefaults() {
  TdxTreeListDropDownColumn::RestoreDefaults();
  TVK_BLOB_SETTINGS(TVK_COLUMN_RESTORE)
  SetMinWidth(20);
}

void TdxTreeListBlobColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListDropDownColumn::InitEditor(editor);
  auto* blob = EditorAs<TdxInplaceBlobEdit>(editor);
  if (!blob) return;
  blob->FAlwaysSaveText = FAlwaysSaveText;
  blob->SetBlobEditKind(FBlobEditKind);
  blob->SetBlobPaintStyle(FBlobPaintStyle);
  // Loaded as the editor's value: no change is reported.
  TdxTreeListNode* focused = TreeList() ? TreeList()->FocusedNode() : nullptr;
  blob->SetEditValue(Variant(GetNodeText(focused)));
  blob->FMemoCharCase = FMemoCharCase;
  blob->FMemoHideScrollBars = FMemoHideScrollBars;
  blob->FMemoMaxLength = FMemoMaxLength;
  blob->FMemoOEMConvert = FMemoOEMConvert;
  blob->FMemoScrollBars = FMemoScrollBars;
  blob->FMemoSelectionBar = FMemoSelectionBar;
  blob->FMemoWantReturns = FMemoWantReturns;
  blob->FMemoWantTabs = FMemoWantTabs;
  blob->FMemoWordWrap = FMemoWordWrap;
  blob->FPictureAutoSize = FPictureAutoSize;
  blob->FPictureClipboardFormat = PictureClipboardFormat;
  blob->FPictureFilter = FPictureFilter;
  blob->FPictureGraphicClass = PictureGraphicClass;
  blob->FPictureTransparency = FPictureTransparency;
  blob->FPopupHeight = FPopupHeight;
  blob->FPopupWidth = FPopupWidth;
  blob->FShowExPopupItems = FShowExPopupItems;
  blob->FShowPicturePopup = FShowPicturePopup;
  blob->FSizeablePopup = FSizeablePopup;
  blob->FOnAssignPicture = [this](TObject* sender, TPicture*& picture) { DoAssignPicture(sender, picture); };
  blob->FOnGetGraphicClass = [this](TObject* sender, TGraphicClass& graphicClass) {
    DoGetGraphicClass(sender, graphicClass);
  };
  blob->FOnSavePopupSize = [this](TObject* sender) { DoSavePopupSize(sender); };
}

void TdxTreeListBlobColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* blob = EditorAs<TdxInplaceBlobEdit>(editor);
  if (!blob) return TdxTreeListDropDownColumn::InitEditValue(node, editor, value);
  value = Variant(GetNodeText(node));
  blob->SetEditValue(value);
}

void TdxTreeListBlobColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (auto* blob = EditorAs<TdxInplaceBlobEdit>(editor)) node->SetString(CellIndex(), blob->BlobData());
  value = node->GetValue(CellIndex());
}

void TdxTreeListBlobColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListDropDownColumn::PrepareViewData(viewData, cell);
  auto* blob = ViewDataAs<TdxBlobEditViewData>(viewData);
  if (!blob) return;
  blob->BlobEditKind = FBlobEditKind;
  blob->BlobPaintStyle = FBlobPaintStyle;
  blob->Images = &GetBlobGlyphImages();
  blob->Data = Variant(cell.Cell_Text);
  blob->IsNull = cell.Cell_Text.empty();
}

void TdxTreeListBlobColumn::DoAssignPicture(TObject* sender, TPicture*& picture) {
  (void)sender;
  if (OnAssignPicture) OnAssignPicture(this, picture);
}

void TdxTreeListBlobColumn::DoGetGraphicClass(TObject* sender, TGraphicClass& graphicClass) {
  (void)sender;
  graphicClass = GetGraphicClass(TreeList() ? TreeList()->FocusedNode() : nullptr);
}

void TdxTreeListBlobColumn::DoSavePopupSize(TObject* sender) {
  auto* blob = sender && sender->ClassType() == GetEditorClass()->Info ? static_cast<TdxInplaceBlobEdit*>(sender)
                                                                        : nullptr;
  if (!blob) return;
  FPopupWidth = blob->FPopupWidth;
  FPopupHeight = blob->FPopupHeight;
}

TGraphicClass TdxTreeListBlobColumn::GetGraphicClass(TdxTreeListNode* node) {
  TGraphicClass graphicClass = PictureGraphicClass;
  if (OnGetGraphicClass) OnGetGraphicClass(this, node, graphicClass);
  return graphicClass;
}

// ---- wrapper

TdxTreeListColumn* TdxTreeListWrapperColumn::GetReferenceColumn(TdxTreeListNode* node) const {
  if (!node && TreeList()) node = TreeList()->FocusedNode();
  TdxTreeListColumn* column = nullptr;
  if (node && OnGetReferenceColumn)
    OnGetReferenceColumn(const_cast<TdxTreeListWrapperColumn*>(this), node, column);
  return column == this ? nullptr : column;
}

namespace {

// The reference column works on the wrapper's cell of the node while it answers.
class TActualIndexScope {
public:
  TActualIndexScope(TdxTreeListColumn* column, int index) : FColumn(column) { FColumn->SetActualIndex(index); }
  ~TActualIndexScope() { FColumn->SetActualIndex(-1); }
  TActualIndexScope(const TActualIndexScope&) = delete;
  TActualIndexScope& operator=(const TActualIndexScope&) = delete;

private:
  TdxTreeListColumn* FColumn;
};

// The reference column knows the node in hand while it paints or measures for the wrapper.
class TActualNodeHandOver {
public:
  TActualNodeHandOver(TdxTreeListColumn* column, TdxTreeListNode* node)
      : FColumn(column), FSaved(column->ActualNode()) {
    FColumn->SetActualNode(node);
  }
  ~TActualNodeHandOver() { FColumn->SetActualNode(FSaved); }
  TActualNodeHandOver(const TActualNodeHandOver&) = delete;
  TActualNodeHandOver& operator=(const TActualNodeHandOver&) = delete;

private:
  TdxTreeListColumn* FColumn;
  TdxTreeListNode* FSaved;
};

}  // namespace

TdxInplaceEditClassType TdxTreeListWrapperColumn::GetEditorClass() const {
  if (TdxTreeListColumn* reference = GetReferenceColumn(ActualNode())) return reference->GetEditorClass();
  return TdxTreeListColumn::GetEditorClass();
}

TdxEditViewData* TdxTreeListWrapperColumn::GetViewData() {
  if (TdxTreeListColumn* reference = GetReferenceColumn(ActualNode())) return reference->GetViewData();
  return TdxTreeListColumn::GetViewData();
}

void TdxTreeListWrapperColumn::InitEditor(TdxInplaceEdit* editor) {
  if (TdxTreeListColumn* reference = GetReferenceColumn(ActualNode())) return reference->InitEditor(editor);
  TdxTreeListColumn::InitEditor(editor);
}

void TdxTreeListWrapperColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  if (!reference) return TdxTreeListColumn::InitEditValue(node, editor, value);
  TActualIndexScope scope(reference, Index());
  reference->InitEditValue(node, editor, value);
}

void TdxTreeListWrapperColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxTreeListColumn* reference = GetReferenceColumn(node);
  if (!reference) return TdxTreeListColumn::AssignEditValue(node, editor, value);
  TActualIndexScope scope(reference, Index());
  reference->AssignEditValue(node, editor, value);
}

void TdxTreeListWrapperColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  TdxTreeListColumn* reference = GetReferenceColumn(cell.Cell_Node);
  if (!reference) return TdxTreeListColumn::PrepareViewData(viewData, cell);
  TActualIndexScope scope(reference, Index());
  TActualNodeHandOver handOver(reference, cell.Cell_Node);
  reference->PrepareViewData(viewData, cell);
}

void TdxTreeListWrapperColumn::GetHotTrackCursor(TdxTreeListNode* node, TCursor& cursor) {
  if (TdxTreeListColumn* reference = GetReferenceColumn(node)) {
    TActualIndexScope scope(reference, Index());
    reference->GetHotTrackCursor(node, cursor);
  }
}

bool TdxTreeListWrapperColumn::ShowEditButton(bool byDefault) {
  if (TdxTreeListColumn* reference = GetReferenceColumn(ActualNode())) return reference->ShowEditButton(byDefault);
  return TdxTreeListColumn::ShowEditButton(byDefault);
}

// ---- the unit

namespace {

const TClass kColumnTypeClasses[] = {
    &TdxTreeListMemoColumn::StaticClassInfo(),     &TdxTreeListDateColumn::StaticClassInfo(),
    &TdxTreeListButtonColumn::StaticClassInfo(),   &TdxTreeListCheckColumn::StaticClassInfo(),
    &TdxTreeListImageColumn::StaticClassInfo(),    &TdxTreeListSpinColumn::StaticClassInfo(),
    &TdxTreeListPickColumn::StaticClassInfo(),     &TdxTreeListCalcColumn::StaticClassInfo(),
    &TdxTreeListHyperLinkColumn::StaticClassInfo(), &TdxTreeListTimeColumn::StaticClassInfo(),
    &TdxTreeListCurrencyColumn::StaticClassInfo(), &TdxTreeListGraphicColumn::StaticClassInfo(),
    &TdxTreeListBlobColumn::StaticClassInfo(),     &TdxTreeListMRUColumn::StaticClassInfo(),
    &TdxTreeListWrapperColumn::StaticClassInfo(),
};

WideString LoadColumnTypeText(UINT identifier) {
  TResStringRec rec(identifier);
  return LoadResString(&rec);
}

}  // namespace

bool ColumnTypesUnitStartup() {
  if (gColumnTypesStartCount++ > 0) return true;
  gCheckedText = LoadColumnTypeText(IDS_dxTreeListCheckTrue);
  gUncheckedText = LoadColumnTypeText(IDS_dxTreeListCheckFalse);
  for (TClass info : kColumnTypeClasses) RegisterClass(info);
  return true;
}

void ColumnTypesUnitShutdown() {
  if (gColumnTypesStartCount == 0 || --gColumnTypesStartCount > 0) return;
  for (TClass info : kColumnTypeClasses) UnRegisterClass(info);
  gCheckedText.clear();
  gUncheckedText.clear();
}

}  // namespace tvk
