#pragma once
// The editors' localizable texts, registered by name with the
// resource-string repository under a product of their own.
#include "ResStrings.h"

namespace tvk {

// The names in their registration order (111).
#define TVK_EDIT_STRINGS(X) \
  X(cxSEditButtonCancel) X(cxSEditButtonOK) X(cxSEditDateConvertError) X(cxSEditInvalidRepositoryItem) \
  X(cxSEditNumericValueConvertError) X(cxSEditPopupCircularReferencingError) X(cxSEditPostError) \
  X(cxSEditTimeConvertError) X(cxSEditValidateErrorText) X(cxSEditValueOutOfBounds) X(cxSEditCheckBoxChecked) \
  X(cxSEditCheckBoxGrayed) X(cxSEditCheckBoxUnchecked) X(cxSRadioGroupDefaultCaption) X(cxSTextTrue) \
  X(cxSTextFalse) X(cxSBlobButtonOK) X(cxSBlobButtonCancel) X(cxSBlobButtonClose) X(cxSBlobMemo) \
  X(cxSBlobMemoEmpty) X(cxSBlobPicture) X(cxSBlobPictureEmpty) X(cxSMenuItemCaptionCut) \
  X(cxSMenuItemCaptionCopy) X(cxSMenuItemCaptionPaste) X(cxSMenuItemCaptionDelete) X(cxSMenuItemCaptionLoad) \
  X(cxSMenuItemCaptionSave) X(cxSDatePopupClear) X(cxSDatePopupNow) X(cxSDatePopupOK) X(cxSDatePopupToday) \
  X(cxSDateError) X(scxSCalcError) X(scxSHyperLinkPrefix) X(scxSHyperLinkDoubleSlash) \
  X(cxNavigatorHint_First) X(cxNavigatorHint_Prior) X(cxNavigatorHint_PriorPage) X(cxNavigatorHint_Next) \
  X(cxNavigatorHint_NextPage) X(cxNavigatorHint_Last) X(cxNavigatorHint_Insert) X(cxNavigatorHint_Append) \
  X(cxNavigatorHint_Delete) X(cxNavigatorHint_Edit) X(cxNavigatorHint_Post) X(cxNavigatorHint_Cancel) \
  X(cxNavigatorHint_Refresh) X(cxNavigatorHint_SaveBookmark) X(cxNavigatorHint_GotoBookmark) \
  X(cxNavigatorHint_Filter) X(cxNavigator_DeleteRecordQuestion) X(cxNavigatorInfoPanelDefaultDisplayMask) \
  X(scxSEditRepositoryBlobItem) X(scxSEditRepositoryButtonItem) X(scxSEditRepositoryCalcItem) \
  X(scxSEditRepositoryCheckBoxItem) X(scxSEditRepositoryComboBoxItem) X(scxSEditRepositoryCurrencyItem) \
  X(scxSEditRepositoryDateItem) X(scxSEditRepositoryHyperLinkItem) X(scxSEditRepositoryImageComboBoxItem) \
  X(scxSEditRepositoryImageItem) X(scxSEditRepositoryLookupComboBoxItem) X(scxSEditRepositoryMaskItem) \
  X(scxSEditRepositoryMemoItem) X(scxSEditRepositoryMRUItem) X(scxSEditRepositoryPopupItem) \
  X(scxSEditRepositorySpinItem) X(scxSEditRepositoryRadioGroupItem) X(scxSEditRepositoryTextItem) \
  X(scxSEditRepositoryTimeItem) X(scxRegExprLine) X(scxRegExprChar) X(scxRegExprNotAssignedSourceStream) \
  X(scxRegExprEmptySourceStream) X(scxRegExprCantUsePlusQuantifier) X(scxRegExprCantUseStarQuantifier) \
  X(scxRegExprCantCreateEmptyAlt) X(scxRegExprCantCreateEmptyBlock) X(scxRegExprIllegalSymbol) \
  X(scxRegExprIllegalQuantifier) X(scxRegExprNotSupportQuantifier) X(scxRegExprIllegalIntegerValue) \
  X(scxRegExprTooBigReferenceNumber) X(scxRegExprCantCreateEmptyEnum) X(scxRegExprSubrangeOrder) \
  X(scxRegExprHexNumberExpected0) X(scxRegExprHexNumberExpected) X(scxRegExprMissing) \
  X(scxRegExprUnnecessary) X(scxRegExprIncorrectSpace) X(scxRegExprNotCompiled) \
  X(scxRegExprIncorrectParameterQuantifier) X(scxRegExprCantUseParameterQuantifier) \
  X(scxMaskEditRegExprError) X(scxMaskEditInvalidEditValue) X(scxMaskEditNoMask) \
  X(scxMaskEditIllegalFileFormat) X(scxMaskEditEmptyMaskCollectionFile) X(scxMaskEditMaskCollectionFiles) \
  X(cxSSpinEditInvalidNumericValue) X(sdxAlertWindowNavigationPanelDefaultDisplayMask) \
  X(sdxAlertWindowPreviousMessage) X(sdxAlertWindowNextMessage) X(sdxAlertWindowPin) X(sdxAlertWindowClose) \
  X(sdxAlertWindowDropdown) X(sdxBreadcrumbEditInvalidPath)

#define TVK_DECLARE_EDIT_STRING(name) extern TResStringRec name;
TVK_EDIT_STRINGS(TVK_DECLARE_EDIT_STRING)
#undef TVK_DECLARE_EDIT_STRING

// The product the strings are registered under.
extern const wchar_t* const kcxEditConstsProductName;

class TdxProductResourceStrings;
// Adds the 111 named strings to AProduct, in registration order.
void AddEditResourceStringNames(TdxProductResourceStrings* AProduct);

void cxEditConstsUnitStart();
void cxEditConstsUnitStop();

}  // namespace tvk
