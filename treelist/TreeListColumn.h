#pragma once
// The column of a banded tree list: where it sits (band, header row,
// position), how its header and cells look, which in-place editor edits its
// cells, and its settings that follow a default until they are assigned.
// The mask column adds an edit mask.
#include <functional>
#include <memory>

#include "Graphics.h"
#include "TreeList.h"
#include "XPEdits.h"
#include "dxCntner.h"

namespace tvk {

class TCustomdxTreeListControl;

// The settings kept only once assigned; the others follow their defaults.
enum TdxColumnValue { cvAlignment, cvCaption, cvReadOnly, cvWidth, cvColor, cvFont, cvMaxLength };
using TdxColumnValues = unsigned;  // bit n: value n

// What a setting's change reports: nothing, a layout-only change, or a change of the column.
enum TdxColumnChange { ccNone, ccLayout, ccFull };

constexpr int kDefaultColumnWidth = 100;
constexpr int kDefaultColumnMinWidth = 20;

class TdxTreeListColumn;
using TdxTLCustomDrawCell =
    std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListNode* ANode,
                       TdxTreeListColumn* AColumn, bool ASelected, bool AFocused, bool ANewItemRow,
                       WideString& AText, TColor& AColor, TFont& AFont, TAlignment& AAlignment, bool& ADone)>;
using TdxTLCustomDrawCellWide = TdxTLCustomDrawCell;
using TdxTLCustomDrawHeader =
    std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, TdxTreeListColumn* AColumn, WideString& AText,
                       TColor& AColor, TFont& AFont, TAlignment& AAlignment, TdxTreeListColumnSort& ASorted,
                       bool& ADone)>;

class TdxTreeListColumn : public TComponent {
public:
  TVK_CLASS(TdxTreeListColumn, TComponent)
  explicit TdxTreeListColumn(TComponent* owner);
  // Takes its strings out of every text node of a living tree list, then leaves it.
  ~TdxTreeListColumn() override;
  // Makes the view data of the editor class (a descendant's own, now that it is whole).
  void AfterConstruction() override;

  void Assign(const TPersistent& source) override;
  void DefineProperties(TFiler& filer) override;
  // The class a copy of this column is made of (each column type answers its own).
  virtual TComponentClass ColumnClass() const { return ComponentClassOf<TdxTreeListColumn>(); }
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void Loaded() override;

  // --- the column's virtual operations
  virtual void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value);
  virtual bool HasCustomDrawCell() const { return bool(OnCustomDrawCell) || bool(OnCustomDrawCellWide); }
  virtual void EditChange(TObject* sender);
  virtual void DoCustomDrawCell(TCanvas& canvas, const RECT& rect, TdxTreeListNode* node, bool selected,
                                bool focused, bool newItemRow, WideString& text, TColor& color, TFont& font,
                                TAlignment& alignment, bool& done);
  virtual void EditValidate(TObject* sender, WideString& errorText, bool& accept);
  virtual void FontChanged();
  virtual TdxInplaceEditClassType GetEditorClass() const;
  virtual WideString GetNodeText(const TdxTreeListNode* node) const;
  virtual bool CanEditorShow() const { return !FDisableEditor; }
  virtual void GetHotTrackCursor(TdxTreeListNode* node, TCursor& cursor) { (void)node; (void)cursor; }
  virtual int GetIndex() const;
  virtual int GetMinCellHeight(TCanvas& canvas) { (void)canvas; return 0; }
  virtual TdxEditViewData* GetViewData();
  // Fills a view data from a cell's drawing record for windowless painting.
  virtual void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell);
  virtual void InitEditor(TdxInplaceEdit* editor);
  virtual void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value);
  virtual bool IsCellHotTrack() const { return false; }
  virtual bool IsHeaderDropDownEnabled() const;
  virtual bool IsMultiLineColumn() const { return false; }
  virtual bool ShowEditButton(bool byDefault) { (void)byDefault; return false; }
  virtual void SetIndex(int value);
  virtual void ConvertExportValue(Variant& value, bool isHtml) { (void)value; (void)isHtml; }
  virtual TAlignment DefaultAlignment() const { return TAlignment::taLeftJustify; }
  virtual WideString DefaultCaption() const { return {}; }
  virtual int DefaultMaxLength() const { return 0; }
  virtual bool DefaultReadOnly() const { return false; }
  virtual int DefaultWidth() const { return kDefaultColumnWidth; }
  virtual int GetBestFit(TCanvas& canvas, TdxTreeListNode* node);
  virtual Variant GetDisplayValue(TdxTreeListNode* node, const Variant& value) { (void)node; return value; }
  virtual void RestoreDefaults();

  void RestoreDefaultWidth();
  void RefreshDefaultWidth();
  void RefreshDefaultFont();

  // --- published properties
  TAlignment Alignment() const;
  void SetAlignment(TAlignment value);
  WideString Caption() const;
  void SetCaption(const WideString& value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  TColor Color() const;
  void SetColor(TColor value);
  bool ColorStored() const;
  bool DisableCaption() const { return FDisableCaption; }
  void SetDisableCaption(bool value);
  bool DisableCustomizing() const { return FDisableCustomizing; }
  void SetDisableCustomizing(bool value);
  bool DisableDragging() const { return FDisableDragging; }
  void SetDisableDragging(bool value) { FDisableDragging = value; }
  bool DisableEditor() const { return FDisableEditor; }
  void SetDisableEditor(bool value) { FDisableEditor = value; }
  bool DisableFilter() const { return FDisableFilter; }
  void SetDisableFilter(bool value);
  TFont& Font();
  void SetFont(const TFont& value);
  TAlignment HeaderAlignment() const { return FHeaderAlignment; }
  void SetHeaderAlignment(TAlignment value);
  TBitmap* HeaderGlyph();
  void SetHeaderGlyph(const TBitmap* value);
  bool HeaderGlyphAssigned() const { return FHeaderGlyph != nullptr; }
  int MaxLength() const;
  void SetMaxLength(int value);
  bool MaxLengthStored() const;
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t value);
  bool ReadOnly() const;
  void SetReadOnly(bool value);
  bool ReadOnlyStored() const;
  bool Sizing() const { return FSizing; }
  void SetSizing(bool value);
  TdxTreeListColumnSort Sorted() const { return FSorted; }
  void SetSorted(TdxTreeListColumnSort value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  TTextLayout VertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TTextLayout value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  int Width() const { return FWidth; }
  void SetWidth(int value);
  int BandIndex() const { return FBandIndex; }
  void SetBandIndex(int value);
  int RowIndex() const;
  void SetRowIndex(int value);
  int ColIndex() const;
  void SetColIndex(int value);
  int HeaderMaxLineCount() const { return FHeaderMaxLineCount; }
  void SetHeaderMaxLineCount(int value);

  // --- public
  TdxColumnValues AssignedValues() const { return FAssignedValues; }
  bool IsAssigned(TdxColumnValue value) const { return (FAssignedValues & (1u << value)) != 0; }
  TCustomdxTreeListControl* TreeList() const { return FTreeList; }
  void SetTreeList(TCustomdxTreeListControl* value);
  int Index() const { return GetIndex(); }
  int ExtraWidth = 0;  // pixels added to the best-fit width
  int SortedOrder() const { return FSortedOrder; }
  void SetSortedOrder(int value) { FSortedOrder = value; }
  int StoredRowIndex() const { return FStoredRowIndex; }
  TdxTreeListNode* ActualNode() const { return FActualNode; }
  void SetActualNode(TdxTreeListNode* node) { FActualNode = node; }
  // The cell the column reads and writes in place of its own (-1: its own);
  // a wrapper column points its reference column at the wrapper's cells.
  int ActualIndex() const { return FActualIndex; }
  void SetActualIndex(int value) { FActualIndex = value; }
  int CellIndex() const { return FActualIndex >= 0 ? FActualIndex : GetIndex(); }
  // The tree list (or, before the column joins one, its owner) edits Unicode text.
  bool IsUnicodeSupport() const;

  TNotifyEvent OnChange;
  TNotifyEvent OnChangeName;
  TdxTLCustomDrawCell OnCustomDrawCell;
  TdxTLCustomDrawCellWide OnCustomDrawCellWide;
  TdxTLCustomDrawHeader OnCustomDrawColumnHeader;
  TdxEditCustomDrawEvent OnCustomDrawInplaceEditor;
  TdxEditValidateEvent OnValidate;

protected:
  // A change: the control hears of it (with this column unless LayoutOnly).
  void Changed(bool layoutOnly);
  void ColumnChange(TdxColumnChange change) {
    if (change != ccNone) Changed(change == ccLayout);
  }
  void ChangeName(const WideString& name) override;
  void MarkAssigned(TdxColumnValue value) { FAssignedValues |= 1u << value; }

private:
  friend class TCustomdxTreeListControl;
  friend class TdxTreeListBand;
  friend class TdxTreeListBands;
  // The default font: the tree list's, or the column's own without one.
  TFont* DefaultFont();
  void CopyDefaultFont();

  TAlignment FAlignment = TAlignment::taLeftJustify;
  WideString FCaption;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  TColor FColor = clWindow;
  bool FDisableCaption = false;
  bool FDisableCustomizing = false;
  bool FDisableDragging = false;
  bool FDisableEditor = false;
  bool FDisableFilter = false;
  std::unique_ptr<TFont> FFont;
  TAlignment FHeaderAlignment = TAlignment::taLeftJustify;
  std::unique_ptr<TBitmap> FHeaderGlyph;
  int FMaxLength = 0;
  int FMinWidth = kDefaultColumnMinWidth;
  bool FOEMConvert = false;
  wchar_t FPasswordChar = 0;
  bool FReadOnly = false;
  bool FSizing = true;
  TdxTreeListColumnSort FSorted = csNone;
  bool FTabStop = true;
  TTextLayout FVertAlignment = TTextLayout::tlTop;
  bool FVisible = true;
  int FWidth = kDefaultColumnWidth;
  int FBandIndex = 0;
  int FRowIndex = 0;        // the internal row index
  int FStoredRowIndex = 0;  // the row the user chose, kept while the control has fewer
  int FHeaderMaxLineCount = 1;
  int FSortedOrder = -1;
  TdxColumnValues FAssignedValues = 0;
  TCustomdxTreeListControl* FTreeList = nullptr;
  TCustomdxTreeListControl* FLoadingParent = nullptr;  // a reader's parent, joined in Loaded
  std::unique_ptr<TdxEditViewData> FViewData;
  TdxTreeListNode* FActualNode = nullptr;
  int FActualIndex = -1;
};

class TdxTreeListMaskColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListMaskColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  void Assign(const TPersistent& source) override;
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListMaskColumn>(); }
  TdxInplaceEditClassType GetEditorClass() const override;
  void InitEditor(TdxInplaceEdit* editor) override;
  void RestoreDefaults() override;

  const WideString& EditMask() const { return FEditMask; }
  void SetEditMask(const WideString& value) { FEditMask = value; }
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool value) { FIgnoreMaskBlank = value; }

private:
  WideString FEditMask;
  bool FIgnoreMaskBlank = false;
};

// The column classes a form's reader finds by name.
bool RegisterColumnClasses();
void UnregisterColumnClasses();

}  // namespace tvk
