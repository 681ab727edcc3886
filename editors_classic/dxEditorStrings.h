#pragma once
// The in-place editors' resource strings.
#include "ResStrings.h"

namespace tvk {

extern TResStringRec sdxInvalidInput, sdxMaskInvalidInput, sdxEditUndoCaption, sdxEditRedoCaption,
    sdxEditCutCaption, sdxEditCopyCaption, sdxEditPasteCaption, sdxEditDeleteCaption, sdxEditSelectAllCaption;

}  // namespace tvk
