/* Identifiers of the in-place editors' string resources; read by the resource
   script and by the code (plain defines: the resource compiler reads this
   file too). */
#ifndef TVK_EDITORS_CLASSIC_RESOURCES_H
#define TVK_EDITORS_CLASSIC_RESOURCES_H

#define IDS_sdxInvalidInput 38970
#define IDS_sdxMaskInvalidInput 38971
#define IDS_sdxEditUndoCaption 38972
#define IDS_sdxEditRedoCaption 38973
#define IDS_sdxEditCutCaption 38974
#define IDS_sdxEditCopyCaption 38975
#define IDS_sdxEditPasteCaption 38976
#define IDS_sdxEditDeleteCaption 38977
#define IDS_sdxEditSelectAllCaption 38978

#define IDS_sdxDatePopupToday 38903
#define IDS_sdxDatePopupClear 38904
#define IDS_sdxCalcError 38951

#endif
