// Rows as components: defaults, naming, rows and nodes made once, visibility,
// the control's answers and its drawing and editing order.
#include "RowsFixture.h"

#include "dxEditor.h"

namespace inspector_test {
namespace {

using tvk::TdxInspectorRow;
using tvk::TdxInspectorTextRow;

TEST_F(RowsFixture, DefaultedSettingsFollowTheirDefaultsUntilAssigned) {
  TdxInspectorTextRow* row = Text(L"");
  row->RestoreDefaults();  // the caption given by Text is forgotten
  EXPECT_EQ(0u, row->AssignedValues());
  // Writing the default caption while it is not assigned assigns it; writing it again notifies nothing.
  row->SetCaption(L"");
  EXPECT_EQ(tvk::RowValueBit(tvk::rvCaption), row->AssignedValues());
  EXPECT_FALSE(row->CaptionStored());
  row->SetMaxLength(0);
  EXPECT_TRUE(row->AssignedValues() & tvk::RowValueBit(tvk::rvMaxLength));

  Insp->SetRowHeight(18);
  struct Case {
    int Write;
    int Inspector;  // the inspector's row height afterwards
    int Read;
    bool Assigned;
  } cases[] = {
      {18, 18, 18, false},  // equal to the default: nothing of its own
      {30, 18, 30, true},
      {30, 40, 40, true},   // below the default reads the default but keeps its own...
      {30, 20, 30, true},   // ...which comes back when the default shrinks again
      {10, 20, 20, false},
  };
  for (const Case& c : cases) {
    Insp->SetRowHeight(18);
    row->SetRowHeight(c.Write);
    Insp->SetRowHeight(c.Inspector);
    EXPECT_EQ(c.Read, row->RowHeight()) << c.Write << " under " << c.Inspector;
    EXPECT_EQ(c.Assigned, (row->AssignedValues() & tvk::RowValueBit(tvk::rvRowHeight)) != 0) << c.Write;
  }
  // Unassigned, the height follows the inspector's.
  row->SetRowHeight(5);
  Insp->SetRowHeight(25);
  EXPECT_EQ(25, row->RowHeight());

  row->SetImageIndex(3);
  row->SetHint(L"h");
  row->SetPasswordChar(L'*');
  row->SetIsCategory(true);
  row->SetAlignment(tvk::TAlignment::taRightJustify);
  row->RestoreDefaults();
  EXPECT_EQ(3, row->ImageIndex());
  EXPECT_EQ(L"h", row->Hint());
  EXPECT_EQ(L'*', row->PasswordChar());
  EXPECT_TRUE(row->Visible());
  EXPECT_FALSE(row->IsCategory());
  EXPECT_EQ(tvk::TAlignment::taLeftJustify, row->Alignment());
}

TEST_F(RowsFixture, NewRowsAreNamedAfterTheControlSkippingTakenNames) {
  Text(L"a");
  Text(L"b");
  EXPECT_EQ(L"InspRow1", Insp->Rows(0)->Name());
  EXPECT_EQ(L"InspRow2", Insp->Rows(1)->Name());
  auto* taken = new tvk::TComponent(Form.get());
  taken->SetName(L"InspRow3");
  EXPECT_EQ(L"InspRow4", Text(L"c")->Name());
  EXPECT_THROW(Insp->Rows(3), tvk::EListError);
  EXPECT_THROW(Insp->Rows(-1), tvk::EListError);
  EXPECT_EQ(Insp->Rows(2), Insp->RowByName(L"iNSPrOW4"));
  EXPECT_EQ(nullptr, Insp->RowByName(L"InspRow3"));
}

TEST_F(RowsFixture, NodesAndRowsMakeEachOtherOnce) {
  // Through the tree: a named row of the default class for each node.
  tvk::TdxInspectorNode* top = Insp->Add();
  tvk::TdxInspectorNode* child = top->AddChild();
  tvk::TdxInspectorNode* before = Insp->Insert(top);
  ASSERT_EQ(3, Insp->TotalRowCount());
  for (tvk::TdxInspectorNode* node : {top, child, before}) {
    TdxInspectorRow* row = static_cast<tvk::TdxInspectorRowNode*>(node)->Row();
    ASSERT_NE(nullptr, row);
    EXPECT_TRUE(row->Is<TdxInspectorTextRow>());
    EXPECT_EQ(node, row->Node());
    EXPECT_EQ(Form.get(), row->Owner());
  }
  // Through the row: one top-level node at the end.
  TdxInspectorRow* made = Text(L"made");
  EXPECT_EQ(3, Insp->Count());
  EXPECT_EQ(made->Node(), Insp->GetNode(2));
  EXPECT_EQ(4, Insp->TotalRowCount());
  // A node of another row class for the call only.
  tvk::TdxInspectorNode* complex = static_cast<tvk::TdxInspectorRowNode*>(top)->AddChildEx(
      tvk::ComponentClassOf<tvk::TdxInspectorComplexRow>());
  EXPECT_TRUE(static_cast<tvk::TdxInspectorRowNode*>(complex)->Row()->Is<tvk::TdxInspectorComplexRow>());
  EXPECT_EQ(nullptr, Insp->DefaultRowClass());
  // A default row belongs to the control and has no name.
  TdxInspectorRow* own = Insp->CreateDefaultRow(tvk::ComponentClassOf<TdxInspectorTextRow>());
  EXPECT_EQ(Insp, own->Owner());
  EXPECT_TRUE(own->Name().empty());
}

TEST_F(RowsFixture, HidingHidesTheSubtreeAndShowingAppendsAtTheTop) {
  TdxInspectorTextRow* parent = Text(L"parent");
  TdxInspectorTextRow* child = Text(L"child");
  TdxInspectorTextRow* grandChild = Text(L"grandchild");
  TdxInspectorTextRow* last = Text(L"last");
  child->Node()->MoveTo(parent->Node(), tvk::inaAddChild);
  grandChild->Node()->MoveTo(child->Node(), tvk::inaAddChild);
  parent->SetVisible(false);
  for (TdxInspectorRow* row : {parent, child, grandChild}) {
    EXPECT_FALSE(row->Visible());
    EXPECT_EQ(nullptr, row->Node());
  }
  EXPECT_EQ(1, Insp->Count());
  EXPECT_EQ(1, Insp->VisibleTotalRowCount());
  child->SetVisible(true);
  EXPECT_EQ((std::vector<std::wstring>{last->Name(), child->Name()}), Order());
  EXPECT_EQ(0, child->Node()->Count());
}

TEST_F(RowsFixture, ClearingNodesFreesTheirRowsAndFreeingARowFreesItsNode) {
  Text(L"a");
  TdxInspectorTextRow* b = Text(L"b");
  b->SetVisible(false);
  delete Insp->Rows(0);
  EXPECT_EQ(0, Insp->Count());
  EXPECT_EQ(1, Insp->TotalRowCount());
  b->SetVisible(true);
  Text(L"c");
  Insp->ClearNodes();
  EXPECT_EQ(0, Insp->TotalRowCount());
  EXPECT_EQ(0, Form->ComponentCount() - 1);  // only the inspector is left
}

TEST_F(RowsFixture, AParentOtherThanAnInspectorIsAnInvalidCast) {
  TdxInspectorTextRow* row = Text(L"a");
  tvk::TForm other(nullptr, tvk::kCreateNew);
  EXPECT_THROW(row->SetParentComponent(&other), tvk::EInvalidCast);
  EXPECT_EQ(Insp, row->GetParentComponent());
  EXPECT_TRUE(row->HasParent());
  auto* loose = tvk::CreateComponent<TdxInspectorTextRow>(Form.get());
  loose->SetParentComponent(Insp);
  EXPECT_EQ(Insp, loose->Inspector());
  EXPECT_EQ(2, Insp->TotalRowCount());
  // The children a form writes are the rows it owns, in list order.
  std::vector<tvk::TComponent*> children;
  Insp->GetChildren([&](tvk::TComponent* c) { children.push_back(c); }, Form.get());
  EXPECT_EQ((std::vector<tvk::TComponent*>{row, loose}), children);
}

TEST_F(RowsFixture, TheBaseRowLeavesItsValueToADescendant) {
  TdxInspectorRow* row = Insp->CreateRow(tvk::ComponentClassOf<TdxInspectorRow>());
  EXPECT_THROW(row->DisplayText(), tvk::EAbstractError);
  EXPECT_THROW(row->EditText(), tvk::EAbstractError);
  tvk::TCustomdxInspectorControl plain(nullptr);
  EXPECT_EQ(&TdxInspectorRow::StaticClassInfo(), plain.GetDefaultRowClass()->Info);
  tvk::TComponent notARow(nullptr);
  EXPECT_ANY_THROW(row->Assign(notARow));
}

TEST_F(RowsFixture, AssignCopiesTheAssignedSettingsButNotImageOrPassword) {
  TdxInspectorTextRow* source = Text(L"source", L"text");
  source->SetReadOnly(true);
  source->SetMaxLength(7);
  source->SetRowHeight(40);
  source->SetHint(L"hint");
  source->SetImageIndex(4);
  source->SetPasswordChar(L'#');
  TdxInspectorTextRow* copy = Text(L"");
  copy->RestoreDefaults();
  copy->Assign(*source);
  EXPECT_EQ(L"source", copy->Caption());
  EXPECT_TRUE(copy->ReadOnly());
  EXPECT_EQ(7, copy->MaxLength());
  EXPECT_EQ(40, copy->RowHeight());
  EXPECT_EQ(L"hint", copy->Hint());
  EXPECT_EQ(-1, copy->ImageIndex());
  EXPECT_EQ(0, copy->PasswordChar());
}

TEST_F(RowsFixture, AssignRowsCopiesClassesNamesSettingsAndTheNodeOrder) {
  tvk::TForm otherForm(nullptr, tvk::kCreateNew);
  auto* source = tvk::CreateComponent<TRowInspector>(&otherForm);
  source->SetName(L"Src");
  auto* a = source->CreateRow(tvk::ComponentClassOf<TdxInspectorTextRow>());
  auto* b = source->CreateRow(tvk::ComponentClassOf<tvk::TdxInspectorComplexRow>());
  auto* c = source->CreateRow(tvk::ComponentClassOf<TdxInspectorTextRow>());
  a->SetCaption(L"A");
  c->Node()->MoveTo(b->Node(), tvk::inaAddChild);
  a->Node()->MoveTo(b->Node(), tvk::inaInsert);  // before b? no: b is first after the move
  Insp->AssignRows(source);
  ASSERT_EQ(3, Insp->TotalRowCount());
  EXPECT_TRUE(Insp->RowByName(L"SrcRow2")->Is<tvk::TdxInspectorComplexRow>());
  EXPECT_EQ(L"A", Insp->RowByName(L"SrcRow1")->Caption());
  EXPECT_EQ(Order(), (std::vector<std::wstring>{L"SrcRow1", L"SrcRow2"}));
  EXPECT_EQ(Order(Insp->RowByName(L"SrcRow2")->Node()), (std::vector<std::wstring>{L"SrcRow3"}));
}

TEST_F(RowsFixture, OneEditorServesEveryRowOfItsClassAndEditingWritesTheText) {
  TdxInspectorTextRow* first = Text(L"first", L"one");
  TdxInspectorTextRow* second = Text(L"second", L"two");
  int edited = 0, changed = 0;
  Insp->OnEdited = [&](tvk::TObject* sender, tvk::TdxInspectorNode* node, TdxInspectorRow* row) {
    EXPECT_EQ(Insp, sender);
    EXPECT_EQ(second->Node(), node);
    EXPECT_EQ(second, row);
    ++edited;
  };
  second->OnChange = [&](tvk::TObject* sender) {
    EXPECT_EQ(second, sender);
    ++changed;
  };
  Insp->SetFocus();
  Insp->SetFocusedNode(first->Node());
  Insp->ShowEditor();
  tvk::TdxInplaceEdit* editor = Insp->InplaceEditor();
  ASSERT_NE(nullptr, editor);
  EXPECT_EQ(L"one", editor->GetEditingText());
  Insp->SetFocusedNode(second->Node());
  Insp->ShowEditor();
  EXPECT_EQ(editor, Insp->InplaceEditor());
  EXPECT_EQ(editor, Insp->GetNodeEditor(first->Node()));
  Insp->SetEditingText(L"changed");
  // The row's handlers are the editor's: a change reaches the row's event.
  ASSERT_TRUE(editor->OnChange);
  editor->OnChange(editor);
  EXPECT_EQ(1, changed);
  Insp->PostEditor(true);
  EXPECT_EQ(L"changed", second->Text());
  EXPECT_EQ(L"one", first->Text());
  EXPECT_EQ(1, edited);
  // Nothing modified: nothing written, no event.
  Insp->ShowEditor();
  Insp->PostEditor(true);
  EXPECT_EQ(1, edited);
  Insp->OnEdited = nullptr;
}

TEST_F(RowsFixture, EditingCanBeRefusedAndTheEditStyleFollowsThePaintStyle) {
  TdxInspectorTextRow* row = Text(L"row", L"v");
  Insp->OnEditing = [&](tvk::TObject*, tvk::TdxInspectorNode* node, TdxInspectorRow* r, bool& allow) {
    EXPECT_EQ(row->Node(), node);
    EXPECT_EQ(row, r);
    allow = false;
  };
  Insp->SetFocus();
  Insp->SetFocusedNode(row->Node());
  EXPECT_FALSE(Insp->CanShowEditor());
  Insp->OnEditing = nullptr;
  EXPECT_TRUE(Insp->CanShowEditor());
  Insp->ShowEditor();
  ASSERT_NE(nullptr, Insp->InplaceEditor());
  auto& style = Insp->InplaceEditor()->Style();
  EXPECT_TRUE(style.Is<tvk::TdxInspectorEditStyle>());
  EXPECT_EQ(tvk::xbsNone, style.BorderStyle());
  EXPECT_EQ(tvk::bts3D, style.ButtonStyle());
  Insp->SetPaintStyle(tvk::ipsCategorized);
  EXPECT_EQ(tvk::xbsFlat, style.BorderStyle());
  EXPECT_EQ(tvk::btsFlat, style.ButtonStyle());
}

TEST_F(RowsFixture, TheControlsDrawingEventComesFirstAndCanEndTheDrawing) {
  TdxInspectorTextRow* row = Text(L"caption", L"value");
  std::vector<std::wstring> calls;
  Insp->OnDrawCaption = [&](TdxInspectorRow* sender, tvk::TCanvas&, RECT, tvk::WideString& text, tvk::TFont&,
                            tvk::TColor&, bool& done) {
    EXPECT_EQ(row, sender);
    calls.push_back(L"control:" + text);
    text = L"changed";
    done = calls.size() > 2;
  };
  row->OnDrawCaption = [&](TdxInspectorRow*, tvk::TCanvas&, RECT, tvk::WideString& text, tvk::TFont&, tvk::TColor&,
                           bool&) { calls.push_back(L"row:" + text); };
  tvk::TBitmap bitmap;
  bitmap.SetSize(200, 180);
  SendMessageW(Insp->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), PRF_CLIENT);
  SendMessageW(Insp->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), PRF_CLIENT);
  EXPECT_EQ((std::vector<std::wstring>{L"control:caption", L"row:changed", L"control:caption"}), calls);
  Insp->OnDrawCaption = nullptr;
}

TEST_F(RowsFixture, MinimalContentHeightCountsVisibleRowsOnly) {
  struct TTallRow : TdxInspectorTextRow {
    using TdxInspectorTextRow::TdxInspectorTextRow;
    int CalcMinHeight(tvk::TCanvas&) override { return 50; }
  };
  auto* tall = tvk::CreateComponent<TTallRow>(Form.get());
  tall->SetInspector(Insp);
  tvk::TBitmap bitmap;
  bitmap.SetSize(10, 10);
  EXPECT_EQ(50, Insp->CalcMinRowContentHeight(bitmap.Canvas()));
  tall->SetVisible(false);
  EXPECT_LT(Insp->CalcMinRowContentHeight(bitmap.Canvas()), 50);
}

TEST_F(RowsFixture, RenamingRowsTellsTheirListeners) {
  TdxInspectorTextRow* row = Text(L"a");
  int heard = 0;
  row->OnChangeName = [&](tvk::TObject* sender) {
    EXPECT_EQ(row, sender);
    ++heard;
  };
  row->SetName(L"Renamed");
  EXPECT_EQ(1, heard);
  EXPECT_EQ(row, Insp->RowByName(L"renamed"));
}

}  // namespace
}  // namespace inspector_test

namespace inspector_test {
namespace {

TEST_F(RowsFixture, AFailedLayoutSaveDuringDestructionGoesToTheApplicationAndTheRowsStillGo) {
  auto* insp = tvk::CreateComponent<TRowInspector>(Form.get());
  insp->SetName(L"Failing");
  insp->SetOptions(insp->Options() | tvk::InspectorOptionBit(tvk::ioStoreToRegistry));
  // A key name longer than the registry allows: the save fails.
  insp->SetRegistryPath(L"Software\\TovikTests\\" + std::wstring(300, L'x'));
  auto* own = insp->CreateDefaultRow(tvk::ComponentClassOf<tvk::TdxInspectorTextRow>());
  (void)own;
  insp->CreateRow(tvk::ComponentClassOf<tvk::TdxInspectorTextRow>());
  const int components = Form->ComponentCount();
  delete insp;
  EXPECT_EQ(1, Errors);
  EXPECT_EQ(components - 2, Form->ComponentCount());  // the control and the row it made for the form
}

}  // namespace
}  // namespace inspector_test
