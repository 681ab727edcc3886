// Columns: widths, names, header rows and positions, the default layout,
// copying, and a column type's own editor class.
#include "ClassRegistry.h"
#include "PublishedTreeList.h"
#include "TreeListEditors.h"
#include "dxCheckEdit.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListColumn;

TEST(TreeListColumns, WidthFollowsMinWidthAndTheDefaultUntilAssigned) {
  TTreeForm form(1);
  TdxTreeListColumn* column = form.Tree->Columns(0);
  EXPECT_EQ(100, column->Width());
  EXPECT_FALSE(column->IsAssigned(tvk::cvWidth));
  struct Step {
    const char* What;
    int MinWidth, Width;  // -1: leave as it is
    int Expected;
  };
  const Step steps[] = {
      {"below the minimum stores the minimum", -1, 5, 20},
      {"an ordinary width", -1, 60, 60},
      {"lowering the minimum does not widen", 10, -1, 60},
      {"raising it does", 80, -1, 80},
      {"a negative minimum counts as 0", -5, 3, 3},
  };
  for (const Step& step : steps) {
    if (step.MinWidth != -1) column->SetMinWidth(step.MinWidth);
    if (step.Width != -1) column->SetWidth(step.Width);
    EXPECT_EQ(step.Expected, column->Width()) << step.What;
  }
  EXPECT_EQ(0, column->MinWidth());
  column->RestoreDefaultWidth();
  EXPECT_EQ(100, column->Width());
  EXPECT_FALSE(column->IsAssigned(tvk::cvWidth));
}

TEST(TreeListColumns, AssignedValuesFollowTheirDefaultsUntilSet) {
  TTreeForm form(1);
  TdxTreeListColumn* column = form.Tree->Columns(0);
  form.Tree->SetColor(tvk::clYellow);
  EXPECT_EQ(tvk::clYellow, column->Color());
  EXPECT_FALSE(column->ColorStored());
  column->SetColor(tvk::clRed);
  EXPECT_TRUE(column->ColorStored());
  column->SetCaption(L"Name");
  EXPECT_EQ(L"Name", column->Caption());
  std::wstring caption;
  column->SetDisableCaption(true);
  form.Tree->GetHeaderCaption(0, caption);
  EXPECT_EQ(L"", caption);
  column->RestoreDefaults();
  EXPECT_EQ(0u, column->AssignedValues());
  EXPECT_EQ(tvk::clYellow, column->Color());
  EXPECT_EQ(L"", column->Caption());
}

TEST(TreeListColumns, CreateColumnNamesAfterTheControlSkippingTakenNames) {
  TTreeForm form;
  EXPECT_EQ(L"TLColumn1", form.AddColumn()->Name());
  EXPECT_EQ(L"TLColumn2", form.AddColumn()->Name());
  auto* other = new tvk::TComponent(form.Form.get());
  other->SetName(L"TLColumn3");
  TdxTreeListColumn* third = form.AddColumn();
  EXPECT_EQ(L"TLColumn4", third->Name());
  EXPECT_EQ(2, third->Index());
  EXPECT_EQ(third, form.Tree->ColumnByName(L"tlcolumn4"));
  EXPECT_EQ(nullptr, form.Tree->ColumnByName(L"TLColumn3"));
}

TEST(TreeListColumns, RowIndexReadsTheStoredRowWithinTheRowCount) {
  TTreeForm form(4);
  form.Tree->SetHeaderPanelRowCount(4);
  for (int i = 0; i < 4; ++i) form.Tree->Columns(i)->SetRowIndex(i);
  form.Tree->SetHeaderPanelRowCount(2);
  TdxTreeListColumn* last = form.Tree->Columns(3);
  EXPECT_EQ(3, last->StoredRowIndex());
  EXPECT_EQ(1, last->RowIndex());
  form.Tree->SetHeaderPanelRowCount(4);
  EXPECT_EQ(3, last->RowIndex());  // the user's row comes back
}

TEST(TreeListColumns, EmptyHeaderRowsAreCompacted) {
  TTreeForm form(2);
  form.Tree->SetHeaderPanelRowCount(3);
  form.Tree->LockRefreshRowIndexes = 1;
  form.Tree->Columns(1)->SetRowIndex(2);
  EXPECT_EQ(2, form.Tree->Columns(1)->RowIndex());
  form.Tree->LockRefreshRowIndexes = 0;
  form.Tree->RefreshRowIndexes();
  EXPECT_EQ(0, form.Tree->Columns(0)->RowIndex());
  EXPECT_EQ(1, form.Tree->Columns(1)->RowIndex());
  EXPECT_EQ(1, form.Tree->Columns(1)->StoredRowIndex());
  EXPECT_EQ(2, form.Tree->GetHeaderRowCount(0));
}

TEST(TreeListColumns, ColIndexCountsTheVisibleColumnsOfTheBandAndRow) {
  TTreeForm form(4);
  form.Tree->Columns(1)->SetVisible(false);
  form.Tree->SetHeaderPanelRowCount(2);
  form.Tree->Columns(3)->SetRowIndex(1);
  EXPECT_EQ(0, form.Tree->Columns(0)->ColIndex());
  EXPECT_EQ(0, form.Tree->Columns(1)->ColIndex());  // hidden: the visible ones before it
  EXPECT_EQ(1, form.Tree->Columns(2)->ColIndex());
  EXPECT_EQ(0, form.Tree->Columns(3)->ColIndex());
  EXPECT_EQ(2, form.Tree->GetHeaderColCount(0, 0));
  EXPECT_EQ(2, form.Tree->GetHeaderAbsoluteIndex(0, 0, 1));
  // Moving a column by ColIndex reorders the list.
  form.Tree->Columns(2)->SetColIndex(0);
  EXPECT_EQ(0, form.Tree->Columns(0)->ColIndex());
  EXPECT_EQ(L"TLColumn3", form.Tree->Columns(0)->Name());
}

TEST(TreeListColumns, HeaderPanelRowCountIsClampedAndEndsTheAutomaticHeight) {
  TTreeForm form;
  form.Tree->SetOptionsEx(form.Tree->OptionsEx() | tvk::OptionBit(tvk::aoAutoHeaderPanelHeight));
  form.Tree->SetHeaderPanelRowCount(9);
  EXPECT_EQ(5, form.Tree->HeaderPanelRowCountValue());
  EXPECT_FALSE(form.Tree->IsAutoHeaderPanelHeight());
  EXPECT_TRUE(form.Tree->HeaderPanelRowCountStored());
  EXPECT_FALSE(form.Tree->DefaultLayout());
}

TEST(TreeListColumns, DefaultLayoutKeepsOnePlainBand) {
  TTreeForm form(2);
  EXPECT_EQ(1, form.Tree->Bands().Count());
  EXPECT_TRUE(form.Tree->DefaultLayout());
  form.Tree->Bands().Add();
  EXPECT_FALSE(form.Tree->DefaultLayout());
  form.Tree->Columns(1)->SetBandIndex(1);
  form.Tree->SetDefaultLayout(true);
  EXPECT_TRUE(form.Tree->DefaultLayout());
  EXPECT_EQ(1, form.Tree->Bands().Count());
  EXPECT_EQ(0, form.Tree->Columns(1)->BandIndex());
}

TEST(TreeListColumns, DeletingAColumnTakesItsStringOutOfEveryNode) {
  TTreeForm form(3);
  tvk::TdxTreeListNode* top = form.AddNode({L"a", L"b", L"c"});
  tvk::TdxTreeListNode* child = form.AddNode({L"d", L"e", L"f"}, top);
  delete form.Tree->Columns(1);
  EXPECT_EQ(2, form.Tree->ColumnCount());
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"c"}), Strings(top));
  EXPECT_EQ((std::vector<std::wstring>{L"d", L"f"}), Strings(child));
  EXPECT_EQ(L"c", form.Tree->Columns(1)->GetNodeText(top));
}

TEST(TreeListColumns, AssignColumnsCopiesAndKeepsWhatWasMadeBeforeAClash) {
  TTreeForm source(2);
  source.Tree->Columns(0)->SetCaption(L"First");
  source.Tree->Columns(1)->SetWidth(77);
  // A target on the same form: the source's names are taken, so the copies stop at the first.
  TTreeForm target;
  target.Tree->AssignColumns(source.Tree);
  ASSERT_EQ(2, target.Tree->ColumnCount());
  EXPECT_EQ(L"First", target.Tree->Columns(0)->Caption());
  EXPECT_EQ(77, target.Tree->Columns(1)->Width());
  EXPECT_EQ(L"TLColumn1", target.Tree->Columns(0)->Name());
  auto* clash = tvk::CreateComponent<TCountingTreeList>(source.Form.get());
  clash->SetName(L"Other");
  clash->CreateColumnEx(tvk::ComponentClassOf<TdxTreeListColumn>(), source.Form.get());  // new columns join the form
  EXPECT_THROW(clash->AssignColumns(source.Tree), tvk::EComponentError);
  EXPECT_EQ(1, clash->ColumnCount());
}

TEST(TreeListColumns, MaskColumnsCopyTheirMaskAndUseTheMaskEditor) {
  TTreeForm form;
  auto* mask = static_cast<tvk::TdxTreeListMaskColumn*>(form.AddColumn(tvk::ComponentClassOf<tvk::TdxTreeListMaskColumn>()));
  mask->SetEditMask(L"999");
  auto* copy = static_cast<tvk::TdxTreeListMaskColumn*>(form.AddColumn(tvk::ComponentClassOf<tvk::TdxTreeListMaskColumn>()));
  copy->Assign(*mask);
  EXPECT_EQ(L"999", copy->EditMask());
  EXPECT_EQ(tvk::EditorClassOf<tvk::TdxInplaceTreeListMaskEdit>(), copy->GetEditorClass());
  copy->RestoreDefaults();
  EXPECT_EQ(L"", copy->EditMask());
  EXPECT_NE(nullptr, tvk::GetClass(L"TdxTreeListMaskColumn"));
  EXPECT_NE(nullptr, tvk::GetClass(L"TdxTreeListColumn"));
}

// A column type whose cells are check boxes.
class TCheckColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TCheckColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  tvk::TdxInplaceEditClassType GetEditorClass() const override { return tvk::EditorClassOf<tvk::TdxInplaceCheckEdit>(); }
};

TEST(TreeListColumns, AColumnTypeGetsTheViewDataOfItsOwnEditorClass) {
  TTreeForm form;
  TdxTreeListColumn* plain = form.AddColumn();
  TdxTreeListColumn* check = form.AddColumn(tvk::ComponentClassOf<TCheckColumn>());
  EXPECT_TRUE(check->GetViewData()->Is<tvk::TdxCheckEditViewData>());
  EXPECT_TRUE(plain->GetViewData()->Is<tvk::TdxTextEditViewData>());
  // The editor class reference answers the class's own functions and makes its editors.
  tvk::TdxInplaceEditClassType cls = check->GetEditorClass();
  EXPECT_EQ(&tvk::TdxInplaceCheckEditClass::Instance(), &cls->Functions());
  form.Tree->SetFocusedNode(form.AddNode({}));
  EXPECT_EQ(nullptr, form.Tree->GetEditor());
}

TEST(TreeListColumns, EditorClassesAnswerTheFunctionsTheirEditorsUse) {
  TTreeForm form;
  struct Row {
    tvk::TdxInplaceEditClassType Class;
  };
  const Row rows[] = {{tvk::EditorClassOf<tvk::TdxInplaceTreeListTextEdit>()},
                      {tvk::EditorClassOf<tvk::TdxInplaceTreeListTextEditW>()},
                      {tvk::EditorClassOf<tvk::TdxInplaceTreeListMaskEdit>()},
                      {tvk::EditorClassOf<tvk::TdxInplaceCheckEdit>()}};
  for (const Row& row : rows) {
    tvk::TdxInplaceEdit* editor = row.Class->Create(form.Form.get());
    EXPECT_EQ(row.Class->Info, editor->ClassType());
    EXPECT_EQ(&row.Class->Functions(), &editor->EditClass()) << row.Class->Info->Name;
  }
}

TEST(TreeListColumns, AnAcceptedEditIsStoredInTheFocusedColumnsCell) {
  TTreeForm form(2);
  tvk::TdxTreeListNode* node = form.AddNode({L"old", L"keep"});
  auto* editor = tvk::CreateComponent<tvk::TdxInplaceTreeListTextEdit>(form.Form.get());
  tvk::Variant value;
  form.Tree->Columns(0)->InitEditValue(node, editor, value);
  EXPECT_EQ(L"old", tvk::VarToStr(value));
  editor->SetText(L"new");
  form.Tree->SaveEditValue(node, 0, value, editor);
  EXPECT_EQ(L"new", tvk::VarToStr(value));
  EXPECT_EQ((std::vector<std::wstring>{L"new", L"keep"}), Strings(node));
  // No focused column: nothing is stored and the value is empty.
  editor->SetText(L"lost");
  form.Tree->SaveEditValue(node, -1, value, editor);
  EXPECT_EQ(L"", tvk::VarToStr(value));
  EXPECT_EQ(L"new", node->GetString(0));
}

}  // namespace
}  // namespace treelist_test
