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

/* The blob pop-up's panel buttons and the picture toolbar. */
#define IDS_sdxBlobOK 38905
#define IDS_sdxBlobCancel 38906
#define IDS_sdxBlobClose 38907
#define IDS_sdxToolCutCaption 38914
#define IDS_sdxToolCopyCaption 38915
#define IDS_sdxToolPasteCaption 38916
#define IDS_sdxToolDeleteCaption 38917
#define IDS_sdxToolLoadCaption 38918
#define IDS_sdxToolSaveCaption 38919
#define IDS_sdxToolCutHint 38920
#define IDS_sdxToolCopyHint 38921
#define IDS_sdxToolPasteHint 38922
#define IDS_sdxToolDeleteHint 38923
#define IDS_sdxToolLoadHint 38924
#define IDS_sdxToolSaveHint 38925
#define IDS_sdxToolboxCaption 38926

#endif
