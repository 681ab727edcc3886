#pragma once
// The columns customizing form: a small stay-on-top tool window beside the
// tree list that lists its hidden bands and headers. Items are dragged from
// its lists onto the tree list to show them, and bands and headers dragged
// from the tree list onto it to hide them.
#include "Forms.h"
#include "StdCtrls.h"
#include "TreeList.h"

namespace tvk {

// A list of hidden bands or headers: owner-drawn as header cells in the tree
// list's look; each item's object is the absolute index it stands for.
class TdxCustomizingListBox : public TListBox {
public:
  TVK_CLASS(TdxCustomizingListBox, TListBox)
  explicit TdxCustomizingListBox(TComponent* owner);

  // A thin sunken edge of one pixel in place of the standard border.
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  TCustomdxTreeList* TreeList() const { return FTreeList; }
  void SetTreeList(TCustomdxTreeList* value);
  // The item being dragged, -1 when none.
  int DragItemIndex() const { return FDragItemIndex; }
  bool DragFlag() const { return FDragFlag; }
  bool MultiLine() const { return FMultiLine; }
  // Rebuilds the items, keeping the selection (at most the last item) and the top item.
  virtual void RefreshItems();

  // The drag of an item, run by the tree list.
  virtual void StartDragItem(int index) { (void)index; }
  virtual void CancelDragging();
  virtual void DragItemMove() {}
  virtual void EndDragItem(bool drop) { (void)drop; }

protected:
  virtual void FillItems(TStrings& items) { (void)items; }
  void CreateParams(TCreateParams& params) override;
  void DrawItem(int index, const RECT& rect, TOwnerDrawState state) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  bool FMultiLine = false;

  TVK_MESSAGES();
  void WMMouseMove(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMCaptureChanged(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);

private:
  bool FDragFlag = false;
  int FDragItemIndex = -1;
  bool FFlat = false;
  POINT FPointDragging{};
  int FSelectedBeforePress = -1;
  TCustomdxTreeList* FTreeList = nullptr;
};

// The hidden bands, in absolute order.
class TdxBandsListBox : public TdxCustomizingListBox {
public:
  TVK_CLASS(TdxBandsListBox, TdxCustomizingListBox)
  using TdxCustomizingListBox::TdxCustomizingListBox;
  void RefreshItems() override;
  void StartDragItem(int index) override;
  void DragItemMove() override;
  void EndDragItem(bool drop) override;

protected:
  void FillItems(TStrings& items) override;
};

// The headers the tree list lists as hidden in the customizing box.
class TdxHeadersListBox : public TdxCustomizingListBox {
public:
  TVK_CLASS(TdxHeadersListBox, TdxCustomizingListBox)
  using TdxCustomizingListBox::TdxCustomizingListBox;
  void RefreshItems() override;
  void StartDragItem(int index) override;
  void DragItemMove() override;
  void EndDragItem(bool drop) override;

protected:
  void FillItems(TStrings& items) override;
};

// The customizing window, made in code; the tree list's parent form owns its window.
class TCustomizeForm : public TForm {
public:
  TVK_CLASS(TCustomizeForm, TForm)
  TCustomizeForm(TComponent* owner, TCustomForm* parentForm);
  static TCustomizeForm* CreateForm(TComponent* owner, TCustomForm* parentForm);
  TCustomForm* ParentForm() const { return FParentForm; }

protected:
  void CreateParams(TCreateParams& params) override;

private:
  TCustomForm* FParentForm;
};

// Paints the thin sunken edge of a flat list in the one-pixel non-client frame.
void PaintThinSunkenEdge(HWND window);
// Takes one pixel on every side from the client area WM_NCCALCSIZE answers.
void ShrinkClientByThinEdge(TMessage& message);

}  // namespace tvk
