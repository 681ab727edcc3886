#pragma once
// The tree list's own in-place editor classes (a class of their own lets the
// tree list keep one editor per class) and the edit style whose defaults
// follow the tree list's look.
#include "TreeList.h"
#include "XPDXEdits.h"
#include "dxEditor.h"

namespace tvk {

class TdxInplaceTreeListTextEdit : public TdxInplaceTextEdit {
public:
  TVK_CLASS(TdxInplaceTreeListTextEdit, TdxInplaceTextEdit)
  using TdxInplaceTextEdit::TdxInplaceTextEdit;
};

// The text editor while the tree list edits Unicode text.
class TdxInplaceTreeListTextEditW : public TXPDXEdit {
public:
  TVK_CLASS(TdxInplaceTreeListTextEditW, TXPDXEdit)
  using TXPDXEdit::TXPDXEdit;
};

class TdxInplaceTreeListMaskEdit : public TdxInplaceMaskEdit {
public:
  TVK_CLASS(TdxInplaceTreeListMaskEdit, TdxInplaceMaskEdit)
  using TdxInplaceMaskEdit::TdxInplaceMaskEdit;
};

// An editor's style whose unassigned values come from the tree list.
class TdxTreeListEditStyle : public TdxEditStyle {
public:
  TVK_CLASS(TdxTreeListEditStyle, TdxEditStyle)
  TdxTreeListEditStyle(TdxInplaceEdit* edit, TCustomdxTreeList* treeList) : TdxEditStyle(edit), TreeList(treeList) {}
  TColor DefaultBorderColor() const override { return clWindowFrame; }
  TdxEditBorderStyle DefaultBorderStyle() const override;
  TdxEditButtonViewStyle DefaultButtonStyle() const override;
  TdxEditButtonTransparence DefaultButtonTransparence() const override { return ebtNone; }
  TdxEditEdges DefaultEdges() const override { return kAllEdges; }
  bool DefaultHotTrack() const override { return false; }
  bool DefaultShadow() const override { return false; }

  TCustomdxTreeList* TreeList;
};

// The button style of a look: 3D, flat or hot flat.
TdxEditButtonViewStyle ButtonStyleOfLook(TdxLookAndFeel look);

}  // namespace tvk
