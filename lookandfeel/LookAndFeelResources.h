/* Identifiers of the look-and-feel library's string resources; read by the
   resource script and by the code (plain defines: the resource compiler reads
   this file too). */
#ifndef TVK_LOOKANDFEEL_RESOURCES_H
#define TVK_LOOKANDFEEL_RESOURCES_H

#define IDS_CX_LIBRARY_FIRST 57600
#define IDS_scxCantCreateRegistryKey 57600
#define IDS_scxCantOpenRegistryKey 57601
#define IDS_scxErrorStoreObject 57602
#define IDS_scxConverterCantCreateStyleRepository 57603
#define IDS_scxLockedStateText 57604
#define IDS_cxSDateToday 57605
#define IDS_cxSDateYesterday 57606
#define IDS_cxSDateTomorrow 57607
#define IDS_cxSDateSunday 57608
#define IDS_cxSDateMonday 57609
#define IDS_cxSDateTuesday 57610
#define IDS_cxSDateWednesday 57611
#define IDS_cxSDateThursday 57612
#define IDS_cxSDateFriday 57613
#define IDS_cxSDateSaturday 57614
#define IDS_cxSDateFirst 57615
#define IDS_cxSDateSecond 57616
#define IDS_cxSDateThird 57617
#define IDS_cxSDateFourth 57618
#define IDS_cxSDateFifth 57619
#define IDS_cxSDateSixth 57620
#define IDS_cxSDateSeventh 57621
#define IDS_cxSDateBOM 57622
#define IDS_cxSDateEOM 57623
#define IDS_cxSDateNow 57624
#define IDS_dxGdipInvalidOperation 57625
#define IDS_dxApplicationError 57626
#define IDS_dxGdipMissing 57627
#define IDS_SScrollBarRange 57660

#endif
