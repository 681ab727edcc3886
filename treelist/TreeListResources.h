/* Identifiers of the tree list's string resources; read by the resource
   script and by the code (plain defines: the resource compiler reads this
   file too). */
#ifndef TVK_TREELIST_RESOURCES_H
#define TVK_TREELIST_RESOURCES_H

#define IDS_dxTreeListCustomize 38802
#define IDS_dxTreeListBands 38809
#define IDS_dxTreeListHeaders 38810
#define IDS_dxTreeListInvalidOwner 38820
#define IDS_dxTreeListCheckTrue 38901
#define IDS_dxTreeListCheckFalse 38902

#endif
