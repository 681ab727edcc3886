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
/* The extended editors' strings and their hand cursor. */
#define IDS_sdxBlobPopupOK 38905
#define IDS_sdxBlobPopupCancel 38906
#define IDS_sdxBlobPopupClose 38907
#define IDS_sdxToolbarCaptionFirst 38914 /* 38914-38919: six captions */
#define IDS_sdxToolbarHintFirst 38920    /* 38920-38925: six hints */
#define IDS_sdxInvalidDate 38927
#define IDS_sdxDateKeywordFirst 38928    /* 38928-38947: twenty date keywords */
#define IDS_sdxToolboxCaption 38926

#endif
