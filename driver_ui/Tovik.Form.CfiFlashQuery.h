#pragma once
// The modal report of a CFI query: what the chip answered about its command
// set, size, bus widths and erase-block regions, one line a tree-list node.
// It is built from the answer alone; the flash dialog owns every report it
// shows and frees them with itself.
#include "Tovik.Types.h"
#include "TreeListPublished.h"
#include "WinXPButtons.h"
#include "XPPanels.h"
#include "ZUL.Classes.h"

#include <cstdint>

namespace tvk {

class TCfiFlashQueryForm : public TServerDialog {
public:
  TVK_CLASS(TCfiFlashQueryForm, TServerDialog)
  explicit TCfiFlashQueryForm(TComponent* owner);

  // The report of Result, owned by Owner. A size the answer gives as 2 to
  // the power 63 or more fits no 64-bit integer: EConvertError, no report.
  static TCfiFlashQueryForm* Create(TComponent* Owner, const TRemoteCommandResult& Result);

  // A top-level node with Text in the one column.
  void AddLine(const WideString& Text);

  // ---- Components
  TXPExtPanel* PanelStatus = nullptr;
  TdxTreeList* Tree_CfiQuery = nullptr;
  TdxTreeListColumn* Tree_CfiQueryColumnText = nullptr;
  TXPBitBtn* buttonClose = nullptr;
};

// The name of a primary vendor command set; "NA" for a code it does not know.
WideString CommandSetName(uint32_t Code);

}  // namespace tvk
