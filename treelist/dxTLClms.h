#pragma once
// The tree list's column types: each pairs a column with one in-place editor
// class, hands the column's settings to that editor, moves the cell text
// into the editor and back, and fills the editor's view data so that cells
// paint without a window. The picture column keeps a whole picture in a
// cell's text, the blob column edits long values in a pop-up, and the wrapper
// column borrows another column's behaviour node by node.
#include <memory>

#include "TreeListColumn.h"
#include "TreeListControl.h"
#include "XPDXCombos.h"
#include "dxBlobEdit.h"
#include "dxCheckEdit.h"
#include "dxGraphicEdit.h"
#include "dxImageEdit.h"
#include "dxMRUEdit.h"
#include "dxMemoEdit.h"
#include "dxPopupEdits.h"
#include "dxValueEdits.h"

namespace tvk {

// ---- the column types' editor classes: a class of their own each, so that
// the tree list keeps one editor per column kind.
#define TVK_TREELIST_EDITOR(Name, Base) \
  class Name : public Base {            \
  public:                               \
    TVK_CLASS(Name, Base)               \
    using Base::Base;                   \
  };
TVK_TREELIST_EDITOR(TdxInplaceTreeListMemoEdit, TdxInplaceMemoEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListDropDownEdit, TdxInplaceDropDownEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListDropDownEditW, TXPDXCombobox)
TVK_TREELIST_EDITOR(TdxInplaceTreeListDateEdit, TdxInplaceDateEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListButtonEdit, TdxInplaceButtonEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListCheckEdit, TdxInplaceCheckEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListImageEdit, TdxInplaceImageEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListSpinEdit, TdxInplaceSpinEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListPickEdit, TdxInplacePickEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListPickEditW, TXPDXCombobox)
TVK_TREELIST_EDITOR(TdxInplaceTreeListCalcEdit, TdxInplaceCalcEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListHyperLinkEdit, TdxInplaceHyperLinkEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListTimeEdit, TdxInplaceTimeEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListCurrencyEdit, TdxInplaceCurrencyEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListMRUEdit, TdxInplaceMRUEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListGraphicEdit, TdxInplaceGraphicEdit)
TVK_TREELIST_EDITOR(TdxInplaceTreeListBlobEdit, TdxInplaceBlobEdit)
#undef TVK_TREELIST_EDITOR

// A published setting of a column type: read, write (reporting the change
// its kind asks for) and its field. One row per setting in each type's table
// (Type, Name, Default, Change) also drives RestoreDefaults and Assign.
#define TVK_COLUMN_SETTING(T, Name, Default, Change)        \
public:                                                     \
  T Name() const { return F##Name; }                        \
  void Set##Name(T value) {                                 \
    if (F##Name == value) return;                           \
    F##Name = value;                                        \
    ColumnChange(Change);                                   \
  }                                                         \
                                                            \
protected:                                                  \
  T F##Name = Default;                                      \
                                                            \
public:
#define TVK_COLUMN_RESTORE(T, Name, Default, Change) F##Name = Default;
// Assign copies from the source column of the same type, named typed.
#define TVK_COLUMN_COPY(T, Name, Default, Change) Set##Name(typed.F##Name);

using TdxTLGetReferenceColumn =
    std::function<void(TObject* Sender, TdxTreeListNode* Node, TdxTreeListColumn*& Column)>;

// ---- memo

#define TVK_MEMO_SETTINGS(P)                                    \
  P(bool, HideScrollBars, true, ccNone)                         \
  P(TScrollStyle, ScrollBars, TScrollStyle::ssNone, ccNone)     \
  P(bool, SelectionBar, false, ccLayout)                        \
  P(bool, WantReturns, true, ccNone)                            \
  P(bool, WantTabs, false, ccNone)                              \
  P(bool, WordWrap, true, ccNone)

class TdxTreeListMemoColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListMemoColumn, TdxTreeListColumn)
  explicit TdxTreeListMemoColumn(TComponent* owner);
  TVK_MEMO_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListMemoColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override;
  void InitEditor(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  bool IsMultiLineColumn() const override { return true; }
};

// ---- the drop-down family

#define TVK_DROPDOWN_SETTINGS(P)                                         \
  P(TdxShowButtonStyle, ShowButtonStyle, sbDefault, ccFull)              \
  P(int, DropDownRows, 7, ccNone)                                        \
  P(int, DropDownWidth, 0, ccNone)                                       \
  P(bool, ImmediateDropDown, false, ccNone)                              \
  P(bool, ImmediatePopup, false, ccNone)                                 \
  P(TAlignment, PopupAlignment, TAlignment::taLeftJustify, ccNone)       \
  P(TdxPopupBorderStyle, PopupBorder, pbDefault, ccNone)

class TdxTreeListDropDownColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListDropDownColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  TVK_DROPDOWN_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListDropDownColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override;
  void InitEditor(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  bool ShowEditButton(bool byDefault) override;
  bool IsCellHotTrack() const override { return true; }

  // The glyph of the drop-down button: made on the first read; an empty one or none frees it.
  TBitmap* ButtonGlyph();
  void SetButtonGlyph(const TBitmap* value);
  bool HasButtonGlyph() const { return FButtonGlyph != nullptr; }

  virtual void DoCloseUp(TObject* sender, WideString& value, bool& accept);
  virtual void DoEditButtonClick(TObject* sender);
  virtual bool IsButtonVisible(TdxTreeListNode* node);

  TNotifyEvent OnEditButtonClick;

private:
  std::unique_ptr<TBitmap> FButtonGlyph;
};

// ---- date

#define TVK_DATE_SETTINGS(P)                                     \
  P(TDateButtons, DateButtons, btnToday | btnClear, ccNone)      \
  P(TDateOnError, DateOnError, deToday, ccNone)                  \
  P(bool, DateValidation, false, ccNone)                         \
  P(bool, SaveTime, true, ccNone)                                \
  P(bool, UseEditMask, false, ccNone)

class TdxTreeListDateColumn : public TdxTreeListDropDownColumn {
public:
  TVK_CLASS(TdxTreeListDateColumn, TdxTreeListDropDownColumn)
  using TdxTreeListDropDownColumn::TdxTreeListDropDownColumn;
  TVK_DATE_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListDateColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListDateEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  TdxDateValidateInput OnDateValidateInput;
};

// ---- button

class TdxTreeListButtonColumn;

// A button column's buttons: a change of one is a layout change of the column.
class TdxColumnEditButtons : public TdxEditButtons {
public:
  TVK_CLASS(TdxColumnEditButtons, TdxEditButtons)
  using TdxEditButtons::TdxEditButtons;
  void Update(TCollectionItem* item) override;
};

using TdxTLEditButtonClickEvent = TdxEditButtonClickEvent;

#define TVK_BUTTON_SETTINGS(P)                      \
  P(bool, ButtonOnly, false, ccFull)                \
  P(TShortCut, ClickKey, TShortCut(16397), ccNone)  \
  P(bool, HideEditCursor, false, ccFull)            \
  P(bool, PassMouseWheelToGrid, false, ccNone)

class TdxTreeListButtonColumn : public TdxTreeListDropDownColumn {
public:
  TVK_CLASS(TdxTreeListButtonColumn, TdxTreeListDropDownColumn)
  explicit TdxTreeListButtonColumn(TComponent* owner);
  ~TdxTreeListButtonColumn() override;
  TVK_BUTTON_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListButtonColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override {
    return EditorClassOf<TdxInplaceTreeListButtonEdit>();
  }
  void InitEditor(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;

  TdxColumnEditButtons& Buttons() { return *FButtons; }
  void SetButtons(const TdxEditButtons& value) { FButtons->Assign(value); }
  TdxEditButtonStyle EditButtonStyle() const { return FEditButtonStyle; }
  // Simple: no buttons; any other: a first button of the style's kind.
  void SetEditButtonStyle(TdxEditButtonStyle value);
  TBitmap& Glyph() { return *FGlyph; }
  // Also the first button's glyph.
  void SetGlyph(const TBitmap* value);

  virtual void DoButtonClick(TObject* sender, int absoluteIndex);
  TdxTLEditButtonClickEvent OnButtonClick;
  // A button changed: a layout change of the column.
  void ButtonsChanged() { ColumnChange(ccLayout); }

private:
  std::unique_ptr<TdxColumnEditButtons> FButtons;
  TdxEditButtonStyle FEditButtonStyle = ebsEllipsis;
  std::unique_ptr<TBitmap> FGlyph;
};

// ---- check

using TdxTLToggleEvent = TdxToggleEvent;

#define TVK_CHECK_SETTINGS(P)                                              \
  P(bool, AllowGrayed, false, ccNone)                                      \
  P(bool, Border3D, false, ccLayout)                                       \
  P(TdxShowNullFieldStyle, ShowNullFieldStyle, nsUnchecked, ccLayout)       \
  P(WideString, ValueChecked, DefaultCheckedText(), ccLayout)              \
  P(WideString, ValueGrayed, WideString(), ccLayout)                       \
  P(WideString, ValueUnchecked, DefaultUncheckedText(), ccLayout)

// The texts new check columns take for their checked and unchecked values.
WideString DefaultCheckedText();
WideString DefaultUncheckedText();

class TdxTreeListCheckColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListCheckColumn, TdxTreeListColumn)
  explicit TdxTreeListCheckColumn(TComponent* owner);
  TVK_CHECK_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListCheckColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListCheckEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void EditChange(TObject* sender) override;
  int GetMinCellHeight(TCanvas& canvas) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  Variant GetDisplayValue(TdxTreeListNode* node, const Variant& value) override;

  // Checked or unchecked by the value texts (case ignored); any other text is grayed.
  TdxCheckBoxState GetCheckBoxState(const WideString& text) const;
  WideString GetCheckBoxValue(TdxCheckBoxState state) const;
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(const TBitmap* value);
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int value);

  TdxTLToggleEvent OnToggleClick;

private:
  std::unique_ptr<TBitmap> FGlyph;
  int FGlyphCount = 6;
};

// ---- image

using TdxTLImageColumnCloseUp = std::function<void(TObject* Sender, WideString& Value, bool& Accept)>;

#define TVK_IMAGE_SETTINGS(P)                   \
  P(bool, DefaultImages, true, ccFull)          \
  P(bool, Incremental, false, ccNone)           \
  P(bool, MultiLineText, false, ccFull)         \
  P(bool, ShowDescription, false, ccFull)

class TdxTreeListImageColumn : public TdxTreeListDropDownColumn {
public:
  TVK_CLASS(TdxTreeListImageColumn, TdxTreeListDropDownColumn)
  explicit TdxTreeListImageColumn(TComponent* owner);
  ~TdxTreeListImageColumn() override;
  TVK_IMAGE_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListImageColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListImageEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  int GetMinCellHeight(TCanvas& canvas) override;
  int GetBestFit(TCanvas& canvas, TdxTreeListNode* node) override;
  Variant GetDisplayValue(TdxTreeListNode* node, const Variant& value) override;
  void DoCloseUp(TObject* sender, WideString& value, bool& accept) override;

  TStrings& Descriptions() { return *FDescriptions; }
  void SetDescriptions(const TStrings& value);
  TStrings& ImageIndexes() { return *FImageIndexes; }
  void SetImageIndexes(const TStrings& value);
  TStrings& Values() { return *FValues; }
  void SetValues(const TStrings& value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value);
  int ListWidth() const { return DropDownWidth(); }
  void SetListWidth(int value) { SetDropDownWidth(value); }

  // The picture (-1: none) of a cell text, and with it its description (-1: none).
  int GetImageIndex(const WideString& text) const;
  void GetIndexes(const WideString& text, int& imageIndex, int& descIndex) const;

  TdxTLImageColumnCloseUp OnCloseUp;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void SetImageList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value, bool layout);
  std::unique_ptr<TStringList> FDescriptions, FImageIndexes, FValues;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TChangeLink FImagesLink, FLargeImagesLink;
};

// ---- spin

#define TVK_SPIN_SETTINGS(P)                        \
  P(bool, EditorEnabled, true, ccNone)              \
  P(double, Increment, 1.0, ccNone)                 \
  P(double, MinValue, 0.0, ccNone)                  \
  P(double, MaxValue, 0.0, ccNone)                  \
  P(TdxShowButtonStyle, ShowButtonStyle, sbDefault, ccFull) \
  P(bool, UseCtrlIncrement, false, ccNone)          \
  P(TdxValueType, ValueType, vtInt, ccNone)

class TdxTreeListSpinColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListSpinColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  TVK_SPIN_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListSpinColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListSpinEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  bool ShowEditButton(bool byDefault) override;
  bool IsCellHotTrack() const override { return true; }
  virtual bool IsButtonVisible(TdxTreeListNode* node);
};

// ---- pick

using TdxTLPickColumnCloseUp = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

#define TVK_PICK_SETTINGS(P)                      \
  P(bool, ItemsSorted, false, ccNone)             \
  P(bool, DropDownListStyle, false, ccNone)       \
  P(bool, CanDeleteText, false, ccNone)           \
  P(bool, Revertable, false, ccNone)

class TdxTreeListPickColumn : public TdxTreeListDropDownColumn {
public:
  TVK_CLASS(TdxTreeListPickColumn, TdxTreeListDropDownColumn)
  explicit TdxTreeListPickColumn(TComponent* owner);
  ~TdxTreeListPickColumn() override;
  TVK_PICK_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListPickColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override;
  void InitEditor(TdxInplaceEdit* editor) override;
  void DoCloseUp(TObject* sender, WideString& value, bool& accept) override;

  TStringList& Items() { return *FItems; }
  void SetItems(const TStrings& value);
  bool CaseSensitive() const { return FItems->CaseSensitive(); }
  void SetCaseSensitive(bool value) { FItems->SetCaseSensitive(value); }

  TdxTLPickColumnCloseUp OnCloseUp;

private:
  std::unique_ptr<TStringList> FItems;
};

// ---- calculator

#define TVK_CALC_SETTINGS(P)                           \
  P(bool, BeepOnError, true, ccNone)                   \
  P(TdxButtonStyle, ButtonStyle, bsStandard, ccNone)   \
  P(std::uint8_t, Precision, std::uint8_t(13), ccNone) \
  P(bool, QuickClose, false, ccNone)                   \
  P(bool, ShowButtonFrame, false, ccNone)

class TdxTreeListCalcColumn : public TdxTreeListDropDownColumn {
public:
  TVK_CLASS(TdxTreeListCalcColumn, TdxTreeListDropDownColumn)
  using TdxTreeListDropDownColumn::TdxTreeListDropDownColumn;
  TVK_CALC_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListCalcColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListCalcEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
};

// ---- hyperlink

class TdxTreeListHyperLinkColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListHyperLinkColumn, TdxTreeListColumn)
  explicit TdxTreeListHyperLinkColumn(TComponent* owner);
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListHyperLinkColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override {
    return EditorClassOf<TdxInplaceTreeListHyperLinkEdit>();
  }
  void InitEditor(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  void GetHotTrackCursor(TdxTreeListNode* node, TCursor& cursor) override;

  TColor EditBackgroundColor() const { return FEditBackgroundColor; }
  void SetEditBackgroundColor(TColor value);
  TColor EditFontColor() const { return FEditFontColor; }
  void SetEditFontColor(TColor value);
  bool SingleClick() const { return FSingleClick; }
  void SetSingleClick(bool value);
  TShortCut StartKey() const { return FStartKey; }
  void SetStartKey(TShortCut value) { FStartKey = value; }
  // Underlined; the link colour with a single click, else the default colour.
  const TFont& LinkFont() const { return FLinkFont; }

  virtual void DoStartClick(TObject* sender);
  TNotifyEvent OnStartClick;

private:
  void RefreshLinkFont();
  TColor FEditBackgroundColor = TColor(16777215);
  TColor FEditFontColor = TColor(16711680);
  bool FSingleClick = false;
  TShortCut FStartKey = TShortCut(16397);
  TFont FLinkFont;
};

// ---- time

#define TVK_TIME_SETTINGS(P)                                         \
  P(TdxTimeEditFormat, TimeEditFormat, tfHourMinSec, ccNone)         \
  P(bool, UseCtrlIncrement, false, ccNone)

class TdxTreeListTimeColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListTimeColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  TVK_TIME_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListTimeColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListTimeEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
};

// ---- currency

#define TVK_CURRENCY_SETTINGS(P)                    \
  P(int, DecimalPlaces, 2, ccNone)                  \
  P(double, MinValue, 0.0, ccNone)                  \
  P(double, MaxValue, 0.0, ccNone)                  \
  P(bool, UseThousandSeparator, false, ccNone)

class TdxTreeListCurrencyColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListCurrencyColumn, TdxTreeListColumn)
  explicit TdxTreeListCurrencyColumn(TComponent* owner);
  TVK_CURRENCY_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListCurrencyColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override {
    return EditorClassOf<TdxInplaceTreeListCurrencyEdit>();
  }
  void InitEditor(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;

  const WideString& DisplayFormat() const { return FDisplayFormat; }
  // Marks the format as set: a locale change then keeps it.
  void SetDisplayFormat(const WideString& value);
  bool DisplayFormatStored() const { return FDisplayFormatAssigned; }

protected:
  TVK_MESSAGES();
  void CMWinIniChange(TMessage& message);

private:
  WideString FDisplayFormat;
  bool FDisplayFormatAssigned = false;
};

// ---- most recently used

#define TVK_MRU_SETTINGS(P)                 \
  P(int, MaxItemCount, 7, ccNone)           \
  P(bool, ShowEllipsis, true, ccLayout)

class TdxTreeListMRUColumn : public TdxTreeListPickColumn {
public:
  TVK_CLASS(TdxTreeListMRUColumn, TdxTreeListPickColumn)
  explicit TdxTreeListMRUColumn(TComponent* owner);
  TVK_MRU_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListMRUColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListMRUEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  virtual void DoButtonClick(TObject* sender);
  TNotifyEvent OnButtonClick;
};

// ---- picture

using TdxTLGetGraphicClassEvent =
    std::function<void(TObject* Sender, TdxTreeListNode* Node, TGraphicClass& GraphicClass)>;

#define TVK_GRAPHIC_SETTINGS(P)                                        \
  P(bool, Center, true, ccFull)                                        \
  P(WideString, CustomFilter, WideString(), ccNone)                    \
  P(bool, CustomGraphic, false, ccFull)                                \
  P(bool, DblClickActivate, true, ccNone)                              \
  P(TdxGraphicEditTransparency, GraphicTransparency, gtDefault, ccFull) \
  P(bool, QuickDraw, false, ccFull)                                    \
  P(bool, ShadowSelection, true, ccFull)                               \
  P(bool, Stretch, true, ccFull)

class TdxTreeListGraphicColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListGraphicColumn, TdxTreeListColumn)
  explicit TdxTreeListGraphicColumn(TComponent* owner);
  ~TdxTreeListGraphicColumn() override;
  TVK_GRAPHIC_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListGraphicColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override {
    return EditorClassOf<TdxInplaceTreeListGraphicEdit>();
  }
  void InitEditor(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  int GetBestFit(TCanvas& canvas, TdxTreeListNode* node) override;

  TdxPopupToolBarWindow& PopupToolBar() { return *FPopupToolBar; }
  void SetPopupToolBar(const TdxPopupToolBarWindow& value) { FPopupToolBar->Assign(value); }
  bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  // False forgets the position.
  void SetPopupToolbarPosStored(bool value);
  UINT ClipboardFormat;
  POINT PopupToolbarPos = kNoToolbarPos;

  virtual TGraphicClass GetGraphicClass(TdxTreeListNode* node);
  // The node's picture in the column's own picture object.
  TPicture& LoadNodePicture(TdxTreeListNode* node);

  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TdxTLGetGraphicClassEvent OnGetGraphicClass;

private:
  std::unique_ptr<TdxPopupToolBarWindow> FPopupToolBar;
  bool FPopupToolbarPosStored = true;
  std::unique_ptr<TPicture> FPicture;
};

// ---- blob

#define TVK_BLOB_SETTINGS(P)                                                \
  P(bool, AlwaysSaveText, false, ccNone)                                    \
  P(TdxBlobEditKind, BlobEditKind, bekMemo, ccFull)                         \
  P(TdxBlobPaintStyle, BlobPaintStyle, bpsIcon, ccFull)                     \
  P(int, MaxDisplayLength, 255, ccNone)                                     \
  P(TEditCharCase, MemoCharCase, TEditCharCase::ecNormal, ccNone)           \
  P(bool, MemoHideScrollBars, true, ccNone)                                 \
  P(int, MemoMaxLength, 0, ccNone)                                          \
  P(bool, MemoOEMConvert, false, ccNone)                                    \
  P(TScrollStyle, MemoScrollBars, TScrollStyle::ssBoth, ccNone)             \
  P(bool, MemoSelectionBar, false, ccNone)                                  \
  P(bool, MemoWantReturns, true, ccNone)                                    \
  P(bool, MemoWantTabs, true, ccNone)                                       \
  P(bool, MemoWordWrap, true, ccNone)                                       \
  P(bool, PictureAutoSize, true, ccNone)                                    \
  P(WideString, PictureFilter, WideString(), ccNone)                        \
  P(TdxGraphicEditTransparency, PictureTransparency, gtDefault, ccNone)     \
  P(int, PopupHeight, 140, ccNone)                                          \
  P(int, PopupWidth, 200, ccNone)                                           \
  P(bool, ShowExPopupItems, false, ccNone)                                  \
  P(bool, ShowPicturePopup, false, ccNone)                                  \
  P(bool, SizeablePopup, true, ccNone)

using TdxTLBlobGetGraphicClassEvent = TdxTLGetGraphicClassEvent;

class TdxTreeListBlobColumn : public TdxTreeListDropDownColumn {
public:
  TVK_CLASS(TdxTreeListBlobColumn, TdxTreeListDropDownColumn)
  explicit TdxTreeListBlobColumn(TComponent* owner);
  TVK_BLOB_SETTINGS(TVK_COLUMN_SETTING)
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListBlobColumn>(); }
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInplaceTreeListBlobEdit>(); }
  void InitEditor(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;

  UINT PictureClipboardFormat;
  TGraphicClass PictureGraphicClass = nullptr;

  virtual void DoAssignPicture(TObject* sender, TPicture*& picture);
  virtual void DoGetGraphicClass(TObject* sender, TGraphicClass& graphicClass);
  // A pop-up the user resized opens at that size next time.
  virtual void DoSavePopupSize(TObject* sender);
  virtual TGraphicClass GetGraphicClass(TdxTreeListNode* node);

  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TdxTLBlobGetGraphicClassEvent OnGetGraphicClass;
};

// ---- wrapper

// Borrows, node by node, the behaviour of the column OnGetReferenceColumn
// answers; a plain text column where it answers none.
class TdxTreeListWrapperColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TdxTreeListWrapperColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  TComponentClass ColumnClass() const override { return ComponentClassOf<TdxTreeListWrapperColumn>(); }
  TdxInplaceEditClassType GetEditorClass() const override;
  TdxEditViewData* GetViewData() override;
  void InitEditor(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) override;
  void GetHotTrackCursor(TdxTreeListNode* node, TCursor& cursor) override;
  bool ShowEditButton(bool byDefault) override;

  // The node's reference column (null node: the focused one); none without the event.
  virtual TdxTreeListColumn* GetReferenceColumn(TdxTreeListNode* node) const;
  TdxTLGetReferenceColumn OnGetReferenceColumn;
};

// The column types' unit: the default check texts and the fifteen classes a form's reader finds.
bool ColumnTypesUnitStartup();
void ColumnTypesUnitShutdown();

}  // namespace tvk
