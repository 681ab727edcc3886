#pragma once
// The inspector's customizing window: the hidden rows and the hidden
// categories on two pages, dragged out onto the inspector to show them, with
// New and Delete for categories.
#include "ComCtrls.h"
#include "Forms.h"
#include "Panels.h"
#include "StdCtrls.h"
#include "dxInspct.h"

namespace tvk {

// From the inspector: choose a page (0 rows, else categories) and rebuild the lists.
constexpr UINT WM_DXINSPECTOR_SELECTPAGE = WM_APP + 201;
constexpr UINT WM_DXINSPECTOR_REBUILDLISTS = WM_APP + 202;

// A list of rows of an inspector; each item's object is the row's index.
class TdxInspectorCustomizingListBox : public TListBox {
public:
  TVK_CLASS(TdxInspectorCustomizingListBox, TListBox)
  explicit TdxInspectorCustomizingListBox(TComponent* owner);
  virtual void Rebuild();
  void LocateByRowIndex(int rowIndex);
  // The row index of item Index (-1 outside the items).
  int RowIndexOf(int index);
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  TCustomdxInspectorControl* Inspector() const { return FInspector; }
  void SetInspector(TCustomdxInspectorControl* value) { FInspector = value; }
  int DragItemIndex() const { return FDragItemIndex; }

protected:
  virtual void FillItems() {}
  void AddRowItem(const WideString& text, int rowIndex);
  void CreateParams(TCreateParams& params) override;
  void DrawItem(int index, const RECT& rect, TOwnerDrawState state) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, int x, int y) override;
  TVK_MESSAGES();
  void CMFontChanged(TMessage& message);
  void WMCaptureChanged(TMessage& message);
  // A flat list has a thin sunken edge of one pixel.
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);

private:
  void EndPress();
  std::vector<std::pair<WideString, int>> FPending;  // items being filled
  bool FDragFlag = false;
  int FDragItemIndex = -1;
  bool FFlat = false;
  POINT FPointDragging{};
  TCustomdxInspectorControl* FInspector = nullptr;
};

class TdxInspectorRowsCustomizingListBox : public TdxInspectorCustomizingListBox {
public:
  TVK_CLASS(TdxInspectorRowsCustomizingListBox, TdxInspectorCustomizingListBox)
  using TdxInspectorCustomizingListBox::TdxInspectorCustomizingListBox;

protected:
  void FillItems() override;
};

class TdxInspectorCategoriesCustomizingListBox : public TdxInspectorCustomizingListBox {
public:
  TVK_CLASS(TdxInspectorCategoriesCustomizingListBox, TdxInspectorCustomizingListBox)
  using TdxInspectorCustomizingListBox::TdxInspectorCustomizingListBox;

protected:
  void FillItems() override;
};

class TdxInspectorCustomizeForm : public TForm {
public:
  TVK_CLASS(TdxInspectorCustomizeForm, TForm)
  explicit TdxInspectorCustomizeForm(TComponent* owner) : TForm(owner) {}
  ~TdxInspectorCustomizeForm() override;

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormHide(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void BNewClick(TObject* sender);
  void BDeleteClick(TObject* sender);
  void CategoriesListBoxClick(TObject* sender);
  void Refresh();

  TCustomdxInspectorControl* Inspector() const { return FInspector; }
  void SetInspector(TCustomdxInspectorControl* value);
  TdxInspectorRowsCustomizingListBox* RowsList() const { return FRowsCustomizingListBox; }
  TdxInspectorCategoriesCustomizingListBox* CategoriesList() const { return FCategoriesCustomizingListBox; }
  // How many times the lists were rebuilt (a count tests read).
  int RebuildCount = 0;

  TPageControl* PageControl = nullptr;
  TTabSheet* tsRows = nullptr;
  TTabSheet* tsCategories = nullptr;
  TPanel* Panel = nullptr;
  TButton* BNew = nullptr;
  TButton* BDelete = nullptr;

protected:
  TVK_MESSAGES();
  void WMSelectPage(TMessage& message);
  void WMRebuildLists(TMessage& message);

private:
  TdxInspectorCategoriesCustomizingListBox* FCategoriesCustomizingListBox = nullptr;
  TCustomdxInspectorControl* FInspector = nullptr;
  TdxInspectorRowsCustomizingListBox* FRowsCustomizingListBox = nullptr;
};

}  // namespace tvk
