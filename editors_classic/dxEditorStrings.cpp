#include "dxEditorStrings.h"

#include "EditorsClassicResources.h"

namespace tvk {

TResStringRec sdxInvalidInput(IDS_sdxInvalidInput), sdxMaskInvalidInput(IDS_sdxMaskInvalidInput),
    sdxEditUndoCaption(IDS_sdxEditUndoCaption), sdxEditRedoCaption(IDS_sdxEditRedoCaption),
    sdxEditCutCaption(IDS_sdxEditCutCaption), sdxEditCopyCaption(IDS_sdxEditCopyCaption),
    sdxEditPasteCaption(IDS_sdxEditPasteCaption), sdxEditDeleteCaption(IDS_sdxEditDeleteCaption),
    sdxEditSelectAllCaption(IDS_sdxEditSelectAllCaption);

}  // namespace tvk
