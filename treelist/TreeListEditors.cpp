#include "TreeListEditors.h"

namespace tvk {

TdxEditButtonViewStyle ButtonStyleOfLook(TdxLookAndFeel look) {
  switch (look) {
    case lfFlat: return btsFlat;
    case lfUltraFlat: return btsHotFlat;
    default: return bts3D;
  }
}

TdxEditBorderStyle TdxTreeListEditStyle::DefaultBorderStyle() const {
  return TreeList && TreeList->FShowGrid ? xbsNone : xbsSingle;
}

TdxEditButtonViewStyle TdxTreeListEditStyle::DefaultButtonStyle() const {
  return ButtonStyleOfLook(TreeList ? TreeList->LookAndFeel() : lfStandard);
}

}  // namespace tvk
