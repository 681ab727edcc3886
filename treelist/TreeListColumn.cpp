#include "TreeListColumn.h"

#include <algorithm>

#include "ClassRegistry.h"
#include "Streams.h"
#include "TreeListControl.h"
#include "TreeListEditors.h"

namespace tvk {

namespace {

// Runs Work inside one update of Tree (when there is one).
template <class W>
void InTreeUpdate(TCustomdxTreeListControl* tree, W&& work) {
  if (!tree) return work();
  tree->BeginUpdate();
  try {
    work();
  } catch (...) {
    tree->EndUpdate();
    throw;
  }
  tree->EndUpdate();
}

}  // namespace

TdxTreeListColumn::TdxTreeListColumn(TComponent* owner) : TComponent(owner) {}

TdxTreeListColumn::~TdxTreeListColumn() {
  if (FTreeList && !FTreeList->IsDestroying()) {
    int index = GetIndex();
    if (index >= 0) FTreeList->ForEachNode([&](TdxTreeListNode* node) { FTreeList->DeleteNodeColumnData(node, index); });
  }
  SetTreeList(nullptr);
}

void TdxTreeListColumn::AfterConstruction() {
  TComponent::AfterConstruction();
  if (!FViewData) FViewData = GetEditorClass()->CreateViewDataObject();
}

TdxEditViewData* TdxTreeListColumn::GetViewData() {
  if (!FViewData) FViewData = GetEditorClass()->CreateViewDataObject();
  return FViewData.get();
}

void TdxTreeListColumn::PrepareViewData(TdxEditViewData& viewData, const TdxTreeListCellViewData& cell) {
  viewData.Enabled = true;
  viewData.Focused = false;
  viewData.Selected = cell.Cell_HotTrackNode;
  viewData.BorderColor = TColor(0x1FFFFFFF);  // no colour
  viewData.BorderStyle = xbsNone;
  TdxLookAndFeel look = FTreeList ? FTreeList->LookAndFeel() : lfStandard;
  viewData.ButtonStyle = look == lfFlat        ? btsFlat
                         : look == lfUltraFlat ? btsHotFlat
                                                               : bts3D;
  viewData.Edges = kAllEdges;
  viewData.Shadow = false;
  viewData.ButtonTransparence = false;
  // The search highlight's second pass draws only the text over the first.
  viewData.Transparent = cell.Cell_InvertText;
  viewData.NoTransparentText = cell.Cell_InvertText;
  viewData.OffsetSize = RECT{1, 0, 0, 0};
  viewData.ViewBounds = cell.Cell_Rect;
  if (cell.Cell_MultiLine)
    viewData.DrawAlignment = FVertAlignment == TTextLayout::tlCenter ? daMultiLineVCenter : daMultiLine;
  else
    viewData.DrawAlignment = FVertAlignment == TTextLayout::tlCenter   ? daVCenter
                             : FVertAlignment == TTextLayout::tlBottom ? daBottom
                                                                       : daSingleLine;
  viewData.Font = cell.Cell_Font;
  viewData.Brush = cell.Cell_Brush;
  viewData.BkColor = ColorToRGB(cell.Cell_BkColor);
  viewData.TextColor = ColorToRGB(cell.Cell_TextColor);
  viewData.Alignment = cell.Cell_Alignment;
  viewData.IsEditClass = false;
  viewData.Data = Variant(cell.Cell_Text);
  viewData.DataLength = cell.Cell_TextLength;
  viewData.CalcHeight = false;
  if (viewData.Is<TdxTextEditViewData>()) {
    auto& text = static_cast<TdxTextEditViewData&>(viewData);
    text.CharCase = FCharCase;
    text.PasswordChar = FPasswordChar;
    text.EndEllipsis = cell.Cell_DrawEndEllipsis;
    text.PathEllipsis = cell.Cell_DrawPathEllipsis;
  }
}

void TdxTreeListColumn::Changed(bool layoutOnly) {
  if (FTreeList) FTreeList->ColumnChanged(layoutOnly ? nullptr : this);
}

void TdxTreeListColumn::ChangeName(const WideString& name) {
  TComponent::ChangeName(name);
  if (OnChangeName) OnChangeName(this);
}

void TdxTreeListColumn::SetTreeList(TCustomdxTreeListControl* value) {
  if (value == FTreeList) return;
  if (FTreeList) FTreeList->RemoveColumn(this);
  if (value) value->AddColumn(this);
}

TComponent* TdxTreeListColumn::GetParentComponent() const { return FTreeList; }

void TdxTreeListColumn::SetParentComponent(TComponent* value) {
  auto* tree = value && value->Is<TCustomdxTreeListControl>() ? static_cast<TCustomdxTreeListControl*>(value) : nullptr;
  if (Loading())
    FLoadingParent = tree;  // joined once the column's own state is read
  else
    SetTreeList(tree);
}

void TdxTreeListColumn::Loaded() {
  TComponent::Loaded();
  if (FLoadingParent) {
    TCustomdxTreeListControl* tree = FLoadingParent;
    FLoadingParent = nullptr;
    SetTreeList(tree);
  }
}

int TdxTreeListColumn::GetIndex() const {
  if (!FTreeList) return -1;
  const auto& columns = FTreeList->FColumns;
  auto it = std::find(columns.begin(), columns.end(), this);
  return it == columns.end() ? -1 : int(it - columns.begin());
}

// ---- cells and editors

bool TdxTreeListColumn::IsUnicodeSupport() const {
  if (FTreeList) return FTreeList->FEnableUnicodeSupport;
  TComponent* owner = Owner();
  return owner && owner->Is<TCustomdxTreeList>() && static_cast<TCustomdxTreeList*>(owner)->FEnableUnicodeSupport;
}

TdxInplaceEditClassType TdxTreeListColumn::GetEditorClass() const {
  if (IsUnicodeSupport()) return EditorClassOf<TdxInplaceTreeListTextEditW>();
  return EditorClassOf<TdxInplaceTreeListTextEdit>();
}

WideString TdxTreeListColumn::GetNodeText(const TdxTreeListNode* node) const {
  return node ? node->GetString(CellIndex()) : WideString();
}

void TdxTreeListColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  int index = CellIndex();
  if (editor && editor->Is<TCustomXPDXEdit>())
    node->SetString(index, static_cast<TCustomXPDXEdit*>(editor)->GetUnicodeText());
  else if (editor && editor->Is<TdxInplaceTextEdit>())
    node->SetString(index, editor->GetTextValue());  // typed text lives in the editor's window
  value = node->GetValue(index);
}

void TdxTreeListColumn::InitEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  WideString text = GetNodeText(node);
  if (editor->Is<TCustomXPDXEdit>()) {
    auto* edit = static_cast<TCustomXPDXEdit*>(editor);
    edit->SetUnicodeText(text);
    value = Variant(edit->GetUnicodeText());
  } else {
    editor->SetText(text);
    value = Variant(editor->Text());
  }
}

void TdxTreeListColumn::InitEditor(TdxInplaceEdit* editor) {
  editor->SetReadOnly(ReadOnly());
  editor->OnChange = [this](TObject* sender) { EditChange(sender); };
  editor->OnCustomDraw = OnCustomDrawInplaceEditor;
  editor->OnValidate = [this](TObject* sender, WideString& errorText, bool& accept) {
    EditValidate(sender, errorText, accept);
  };
  if (editor->Is<TdxInplaceTreeListTextEdit>()) {
    auto* edit = static_cast<TdxInplaceTreeListTextEdit*>(editor);
    edit->SetCharCase(FCharCase);
    edit->SetMaxLength(MaxLength());
    edit->SetOEMConvert(FOEMConvert);
    edit->SetPasswordChar(FPasswordChar);
    if (edit->HandleAllocated()) edit->ClearUndo();
  } else if (editor->Is<TdxInplaceTreeListTextEditW>()) {
    auto* edit = static_cast<TdxInplaceTreeListTextEditW*>(editor);
    edit->SetCharCase(FCharCase);
    edit->SetMaxLength(MaxLength());
    edit->SetOEMConvert(FOEMConvert);
    if (edit->HandleAllocated()) edit->ClearUndo();
  }
}

void TdxTreeListColumn::EditChange(TObject* sender) {
  if (!FTreeList || FTreeList->InitEdit()) return;
  FTreeList->DoEditChange(sender);
  if (OnChange) OnChange(this);
}

void TdxTreeListColumn::EditValidate(TObject* sender, WideString& errorText, bool& accept) {
  if (!FTreeList) return;
  FTreeList->DoEditValidate(sender, errorText, accept);
  if (OnValidate) OnValidate(this, errorText, accept);
}

void TdxTreeListColumn::DoCustomDrawCell(TCanvas& canvas, const RECT& rect, TdxTreeListNode* node, bool selected,
                                         bool focused, bool newItemRow, WideString& text, TColor& color,
                                         TFont& font, TAlignment& alignment, bool& done) {
  if (OnCustomDrawCell) {
    WideString copy = text;
    OnCustomDrawCell(this, canvas, rect, node, this, selected, focused, newItemRow, copy, color, font, alignment, done);
    if (copy != text) text = copy;
  }
  if (OnCustomDrawCellWide)
    OnCustomDrawCellWide(this, canvas, rect, node, this, selected, focused, newItemRow, text, color, font, alignment,
                         done);
}

bool TdxTreeListColumn::IsHeaderDropDownEnabled() const {
  return !FDisableFilter && (ComponentState() & csDesigning) == 0;
}

int TdxTreeListColumn::GetBestFit(TCanvas& canvas, TdxTreeListNode* node) {
  return canvas.TextWidth(GetNodeText(node));
}

// ---- settings

TAlignment TdxTreeListColumn::Alignment() const { return IsAssigned(cvAlignment) ? FAlignment : DefaultAlignment(); }

void TdxTreeListColumn::SetAlignment(TAlignment value) {
  if (IsAssigned(cvAlignment) && FAlignment == value) return;
  FAlignment = value;
  MarkAssigned(cvAlignment);
  Changed(false);
}

WideString TdxTreeListColumn::Caption() const { return IsAssigned(cvCaption) ? FCaption : DefaultCaption(); }

void TdxTreeListColumn::SetCaption(const WideString& value) {
  if (IsAssigned(cvCaption) && FCaption == value) return;
  FCaption = value;
  MarkAssigned(cvCaption);
  Changed(false);  // the control refreshes the default width too
}

void TdxTreeListColumn::SetCharCase(TEditCharCase value) {
  FCharCase = value;
  Changed(true);
}

TColor TdxTreeListColumn::Color() const {
  if (IsAssigned(cvColor)) return FColor;
  return FTreeList ? FTreeList->TControl::Color() : clWindow;
}

void TdxTreeListColumn::SetColor(TColor value) {
  if (IsAssigned(cvColor) && FColor == value) return;
  FColor = value;
  MarkAssigned(cvColor);
  Changed(false);
}

bool TdxTreeListColumn::ColorStored() const {
  return IsAssigned(cvColor) && FColor != (FTreeList ? FTreeList->TControl::Color() : clWindow);
}

void TdxTreeListColumn::SetDisableCaption(bool value) {
  FDisableCaption = value;
  Changed(true);
}

void TdxTreeListColumn::SetDisableCustomizing(bool value) {
  FDisableCustomizing = value;
  Changed(true);
}

void TdxTreeListColumn::SetDisableFilter(bool value) {
  FDisableFilter = value;
  Changed(true);
}

TFont* TdxTreeListColumn::DefaultFont() { return FTreeList ? &FTreeList->TControl::Font() : FFont.get(); }

void TdxTreeListColumn::CopyDefaultFont() {
  TFont* source = DefaultFont();
  if (!FFont || !source || source == FFont.get()) return;
  TNotifyEvent handler = std::move(FFont->OnChange);
  FFont->OnChange = nullptr;
  FFont->Assign(*source);
  FFont->OnChange = std::move(handler);
}

TFont& TdxTreeListColumn::Font() {
  if (!FFont) {
    FFont = std::make_unique<TFont>();
    CopyDefaultFont();
    FFont->OnChange = [this](TObject*) { FontChanged(); };
  } else if (!IsAssigned(cvFont)) {
    CopyDefaultFont();
  }
  return *FFont;
}

void TdxTreeListColumn::SetFont(const TFont& value) {
  TFont& font = Font();
  TNotifyEvent handler = std::move(font.OnChange);
  font.OnChange = nullptr;
  font.Assign(value);
  font.OnChange = std::move(handler);
  MarkAssigned(cvFont);
  Changed(true);
}

void TdxTreeListColumn::FontChanged() {
  MarkAssigned(cvFont);
  Changed(true);
}

void TdxTreeListColumn::RefreshDefaultFont() {
  if (!IsAssigned(cvFont) && FFont) CopyDefaultFont();
}

void TdxTreeListColumn::SetHeaderAlignment(TAlignment value) {
  FHeaderAlignment = value;
  Changed(true);
}

TBitmap* TdxTreeListColumn::HeaderGlyph() {
  if (!FHeaderGlyph) FHeaderGlyph = std::make_unique<TBitmap>();
  return FHeaderGlyph.get();
}

void TdxTreeListColumn::SetHeaderGlyph(const TBitmap* value) {
  if (!value)
    FHeaderGlyph.reset();
  else
    HeaderGlyph()->Assign(*value);
  Changed(true);
}

int TdxTreeListColumn::MaxLength() const { return IsAssigned(cvMaxLength) ? FMaxLength : DefaultMaxLength(); }

void TdxTreeListColumn::SetMaxLength(int value) {
  if (value == FMaxLength) return;
  FMaxLength = value;
  MarkAssigned(cvMaxLength);
  Changed(false);
}

bool TdxTreeListColumn::MaxLengthStored() const { return IsAssigned(cvMaxLength) && FMaxLength != DefaultMaxLength(); }

void TdxTreeListColumn::SetMinWidth(int value) {
  FMinWidth = std::max(value, 0);
  SetWidth(FWidth);
}

void TdxTreeListColumn::SetOEMConvert(bool value) {
  FOEMConvert = value;
  Changed(false);
}

void TdxTreeListColumn::SetPasswordChar(wchar_t value) {
  FPasswordChar = value;
  Changed(false);
}

bool TdxTreeListColumn::ReadOnly() const {
  if (IsAssigned(cvReadOnly)) return FReadOnly;
  if (DefaultReadOnly()) return true;
  return FTreeList && FTreeList->IsHostReadOnly();
}

void TdxTreeListColumn::SetReadOnly(bool value) {
  if (IsAssigned(cvReadOnly) && FReadOnly == value) return;
  FReadOnly = value;
  MarkAssigned(cvReadOnly);
  Changed(false);
}

bool TdxTreeListColumn::ReadOnlyStored() const { return IsAssigned(cvReadOnly) && FReadOnly != DefaultReadOnly(); }

void TdxTreeListColumn::SetSizing(bool value) {
  FSizing = value;
  Changed(false);
}

void TdxTreeListColumn::SetSorted(TdxTreeListColumnSort value) {
  if (value == FSorted) return;
  if (!FTreeList || FTreeList->Loading()) {
    FSorted = value;
    Changed(false);
    return;
  }
  TCustomdxTreeListControl* tree = FTreeList;
  if (value != csNone) {
    InTreeUpdate(tree, [&] {
      tree->BeforeColumnSorted(this);
      FSorted = value;
      tree->AfterColumnSorted(this);
    });
    return;
  }
  tree->BeginSorting();
  try {
    FSorted = value;
    tree->RemoveSortedColumn(this);
    Changed(false);
  } catch (...) {
    tree->EndSorting();
    throw;
  }
  tree->EndSorting();
}

void TdxTreeListColumn::SetVertAlignment(TTextLayout value) {
  FVertAlignment = value;
  Changed(false);
}

void TdxTreeListColumn::SetVisible(bool value) {
  FVisible = value;
  Changed(false);
}

void TdxTreeListColumn::SetWidth(int value) {
  value = std::max(value, FMinWidth);
  if (!IsAssigned(cvWidth) && value == DefaultWidth()) return;
  FWidth = value;
  MarkAssigned(cvWidth);
  Changed(false);
}

void TdxTreeListColumn::RefreshDefaultWidth() {
  if (!IsAssigned(cvWidth)) FWidth = std::max(DefaultWidth(), FMinWidth);
}

void TdxTreeListColumn::RestoreDefaultWidth() {
  FAssignedValues &= ~(1u << cvWidth);
  RefreshDefaultWidth();
  Changed(false);
}

void TdxTreeListColumn::SetBandIndex(int value) {
  int high = FTreeList ? FTreeList->Bands().Count() - 1 : value;
  value = std::clamp(value, -1, std::max(high, -1));
  if (value == FBandIndex) return;
  FBandIndex = value;
  Changed(false);
}

int TdxTreeListColumn::RowIndex() const {
  if (!FTreeList) return FRowIndex;
  int count = FTreeList->HeaderPanelRowCountValue();
  return FStoredRowIndex >= count ? count - 1 : FStoredRowIndex;
}

void TdxTreeListColumn::SetRowIndex(int value) {
  value = std::max(value, 0);
  if (FTreeList) value = std::min(value, FTreeList->HeaderPanelRowCountValue() - 1);
  if (value == RowIndex()) return;
  FRowIndex = value;
  FStoredRowIndex = value;
  Changed(false);
}

int TdxTreeListColumn::ColIndex() const {
  if (!FTreeList) return -1;
  int row = RowIndex(), count = 0;
  for (TdxTreeListColumn* column : FTreeList->FColumns) {
    if (column->FVisible && column->FBandIndex == FBandIndex && column->RowIndex() == row) ++count;
    if (column == this) break;
  }
  return count - 1;
}

void TdxTreeListColumn::SetColIndex(int value) {
  if (!FTreeList || value == ColIndex() || FBandIndex == -1) return;
  int band = FTreeList->Bands().GetVisibleIndex(FBandIndex);
  if (band < 0) return;  // a hidden band has no positions
  int row = RowIndex();
  int count = FTreeList->GetHeaderColCount(band, row);
  if (count <= 0) return;
  value = std::clamp(value, 0, count - 1);
  TdxTreeListColumn* target = FTreeList->ColumnAt(FTreeList->GetHeaderAbsoluteIndex(band, row, value));
  if (!target) return;
  int index = target->GetIndex();
  if (count == value + 1) ++index;
  SetIndex(index);
}

void TdxTreeListColumn::SetHeaderMaxLineCount(int value) {
  FHeaderMaxLineCount = std::max(value, 0);
  Changed(true);
}

void TdxTreeListColumn::SetIndex(int value) {
  int old = GetIndex();
  if (!FTreeList || old < 0) return;
  auto& columns = FTreeList->FColumns;
  value = std::clamp(value, 0, int(columns.size()) - 1);
  if (value == old) return;
  FTreeList->MoveColumnData(old, value);
  columns.erase(columns.begin() + old);
  columns.insert(columns.begin() + value, this);
  Changed(true);
}

// ---- defaults, copying and streaming

void TdxTreeListColumn::RestoreDefaults() {
  FAssignedValues = 0;
  RefreshDefaultFont();
  RefreshDefaultWidth();
  FDisableEditor = false;
  FDisableCaption = false;
  FDisableCustomizing = false;
  FHeaderAlignment = TAlignment::taLeftJustify;
  FMinWidth = kDefaultColumnMinWidth;
  FSizing = true;
  FSorted = csNone;
  FTabStop = true;
  FVertAlignment = TTextLayout::tlTop;
}

void TdxTreeListColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListColumn>()) return TComponent::Assign(source);
  auto& column = const_cast<TdxTreeListColumn&>(static_cast<const TdxTreeListColumn&>(source));
  InTreeUpdate(FTreeList, [&] {
    RestoreDefaults();
    if (column.IsAssigned(cvAlignment)) SetAlignment(column.Alignment());
    if (column.IsAssigned(cvCaption)) SetCaption(column.Caption());
    if (column.IsAssigned(cvReadOnly)) SetReadOnly(column.ReadOnly());
    if (column.IsAssigned(cvWidth)) SetWidth(column.Width());
    if (column.IsAssigned(cvColor)) SetColor(column.Color());
    if (column.IsAssigned(cvFont)) SetFont(column.Font());
    SetDisableCaption(column.FDisableCaption);
    SetDisableCustomizing(column.FDisableCustomizing);
    SetDisableEditor(column.FDisableEditor);
    SetDisableFilter(column.FDisableFilter);
    SetHeaderAlignment(column.FHeaderAlignment);
    if (column.FHeaderGlyph) SetHeaderGlyph(column.FHeaderGlyph.get());
    SetMinWidth(column.FMinWidth);
    SetSizing(column.FSizing);
    SetSorted(column.FSorted);
    SetVertAlignment(column.FVertAlignment);
    SetVisible(column.FVisible);
    SetTabStop(column.FTabStop);
    SetBandIndex(column.FBandIndex);
    SetRowIndex(column.RowIndex());
    SetColIndex(column.ColIndex());
    SetHeaderMaxLineCount(column.FHeaderMaxLineCount);
  });
}

void TdxTreeListColumn::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  int sortedPosition = -1;
  if (FTreeList && FTreeList->IsMultiSort() && FTreeList->SortedColumnCount() > 1 && FSorted != csNone) {
    const auto& sorted = FTreeList->FSortedColumns;
    auto it = std::find(sorted.begin(), sorted.end(), this);
    if (it != sorted.end()) sortedPosition = int(it - sorted.begin());
  }
  filer.DefineProperty(
      L"SortedOrder", [this](TReader& reader) { FSortedOrder = reader.ReadInteger(); },
      [sortedPosition](TWriter& writer) { writer.WriteInteger(sortedPosition); }, sortedPosition >= 0);
  filer.DefineProperty(
      L"StoredRowIndex", [this](TReader& reader) { FStoredRowIndex = reader.ReadInteger(); },
      [this](TWriter& writer) { writer.WriteInteger(FStoredRowIndex); }, FStoredRowIndex != 0);
}

// ---- the mask column

TdxInplaceEditClassType TdxTreeListMaskColumn::GetEditorClass() const {
  return EditorClassOf<TdxInplaceTreeListMaskEdit>();
}

void TdxTreeListMaskColumn::InitEditor(TdxInplaceEdit* editor) {
  TdxTreeListColumn::InitEditor(editor);
  if (editor->Is<TdxInplaceMaskEdit>()) {
    auto* edit = static_cast<TdxInplaceMaskEdit*>(editor);
    edit->SetEditMask(FEditMask);
    edit->SetIgnoreMaskBlank(FIgnoreMaskBlank);
  }
}

void TdxTreeListMaskColumn::Assign(const TPersistent& source) {
  if (!source.Is<TdxTreeListMaskColumn>()) return TdxTreeListColumn::Assign(source);
  InTreeUpdate(TreeList(), [&] {
    TdxTreeListColumn::Assign(source);
    FEditMask = static_cast<const TdxTreeListMaskColumn&>(source).FEditMask;
  });
}

void TdxTreeListMaskColumn::RestoreDefaults() {
  TdxTreeListColumn::RestoreDefaults();
  FEditMask.clear();
}

bool RegisterColumnClasses() {
  RegisterClass(&TdxTreeListColumn::StaticClassInfo());
  RegisterClass(&TdxTreeListMaskColumn::StaticClassInfo());
  return true;
}

void UnregisterColumnClasses() {
  UnRegisterClass(&TdxTreeListMaskColumn::StaticClassInfo());
  UnRegisterClass(&TdxTreeListColumn::StaticClassInfo());
}

}  // namespace tvk
