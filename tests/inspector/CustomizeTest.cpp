// The customizing window and the "New Category" dialog.
#include "RowsFixture.h"

#include "dxInCNew.h"
#include "dxInsCus.h"

namespace inspector_test {
namespace {

using namespace tvk;

RECT gWorkArea{0, 0, 1024, 768};
void StandInWorkArea(POINT, RECT& r) { r = gWorkArea; }

struct CustomizeFixture : RowsFixture {
  void SetUp() override {
    RowsFixture::SetUp();
    SetMonitorWorkAreaLookup(&StandInWorkArea);
  }
  void TearDown() override {
    Insp->HideCustomizeForm();
    Pump();
    SetMonitorWorkAreaLookup(nullptr);
    RowsFixture::TearDown();
  }
  TdxInspectorCustomizeForm* Window() { return static_cast<TdxInspectorCustomizeForm*>(Insp->CustomizeForm()); }
  RECT InspectorRect() {
    RECT r{};
    GetWindowRect(Insp->Handle(), &r);
    return r;
  }
  std::vector<std::wstring> ItemsOf(TdxInspectorCustomizingListBox* list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < list->Items().Count(); ++i) items.push_back(list->Items().Get(i));
    return items;
  }
};

TEST_F(CustomizeFixture, TheWindowSitsBesideTheInspectorWithMoreRoomAndComesBackWhereItWasLeft) {
  const RECT r = InspectorRect();
  gWorkArea = RECT{r.left - 50, 0, r.right + 600, 768};  // more room right
  Insp->ShowCustomizeForm();
  ASSERT_NE(nullptr, Window());
  EXPECT_TRUE(Insp->Customization());
  EXPECT_EQ(r.right, Window()->Left());
  EXPECT_EQ(std::max(0L, r.bottom - Window()->Height()), Window()->Top());
  Insp->HideCustomizeForm();
  EXPECT_EQ(nullptr, Window());
  Insp->SetBounds(300, 0, 200, 180);
  Pump();
  const RECT moved = InspectorRect();
  gWorkArea = RECT{moved.left - 600, 0, moved.right + 10, 768};  // more room left
  // Nothing remembered yet from a user: forget the last place for this check.
  Insp->ShowCustomizeForm();
  const int width = Window()->Width();
  (void)width;
  Window()->SetBounds(40, 30, 150, 200);  // the user moves and sizes it
  Insp->HideCustomizeForm();
  EXPECT_EQ(40, Insp->CustomizeFormPos().x);
  EXPECT_EQ(30, Insp->CustomizeFormPos().y);
  Insp->ShowCustomizeForm();
  EXPECT_EQ(40, Window()->Left());
  EXPECT_EQ(30, Window()->Top());
  EXPECT_EQ(150, Window()->Width());
  EXPECT_EQ(200, Window()->Height());
}

TEST_F(CustomizeFixture, TheWindowStaysOnTopAndAFlatListHasAThinSunkenEdge) {
  Insp->ShowCustomizeForm();
  ASSERT_NE(nullptr, Window());
  EXPECT_TRUE(GetWindowLongPtrW(Window()->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  TdxInspectorCustomizingListBox* list = Window()->RowsList();
  list->SetFlat(true);
  RECT outer{}, inner{};
  GetWindowRect(list->Handle(), &outer);
  GetClientRect(list->Handle(), &inner);
  EXPECT_EQ(2, (outer.bottom - outer.top) - inner.bottom);
  EXPECT_FALSE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & WS_BORDER);
}

TEST_F(CustomizeFixture, PlacementOnTheLeftWhenThatSideHasMoreRoom) {
  Insp->SetBounds(300, 0, 200, 180);
  Pump();
  const RECT r = InspectorRect();
  gWorkArea = RECT{0, 0, r.right + 10, 768};
  Insp->ShowCustomizeForm();
  ASSERT_NE(nullptr, Window());
  EXPECT_EQ(std::max(0L, r.left - Window()->Width()), Window()->Left());
}

TEST_F(CustomizeFixture, ListsHoldTheHiddenRowsSortedAndDeleteRemovesACategory) {
  auto* zeta = Text(L"Zeta");
  auto* alpha = Text(L"alpha");
  auto* category = Text(L"Group");
  auto* shown = Text(L"Shown");
  (void)shown;
  category->SetIsCategory(true);
  for (TdxInspectorRow* row : std::initializer_list<TdxInspectorRow*>{zeta, alpha, category}) row->SetVisible(false);
  Insp->ShowCustomizeForm();
  Pump();
  EXPECT_EQ((std::vector<std::wstring>{L"alpha", L"Zeta"}), ItemsOf(Window()->RowsList()));
  EXPECT_EQ((std::vector<std::wstring>{L"Group"}), ItemsOf(Window()->CategoriesList()));
  EXPECT_EQ(Insp->IndexOfRow(alpha), Window()->RowsList()->RowIndexOf(0));
  EXPECT_FALSE(Window()->BDelete->Enabled());
  Window()->CategoriesList()->LocateByRowIndex(Insp->IndexOfRow(category));
  EXPECT_TRUE(Window()->BDelete->Enabled());
  Window()->BDeleteClick(nullptr);
  EXPECT_EQ(nullptr, Insp->RowByName(L"InspRow3"));
  EXPECT_TRUE(ItemsOf(Window()->CategoriesList()).empty());
  // The page chosen by the inspector's message.
  SendMessageW(Window()->Handle(), WM_DXINSPECTOR_SELECTPAGE, 1, 0);
  EXPECT_EQ(Window()->tsCategories, Window()->PageControl->ActivePage());
  SendMessageW(Window()->Handle(), WM_DXINSPECTOR_SELECTPAGE, 0, 0);
  EXPECT_EQ(Window()->tsRows, Window()->PageControl->ActivePage());
}

TEST_F(CustomizeFixture, ManyRowChangesRebuildTheListsOnce) {
  std::vector<TdxInspectorTextRow*> rows;
  for (int i = 0; i < 5; ++i) rows.push_back(Text(L"r" + std::to_wstring(i)));
  Insp->ShowCustomizeForm();
  Pump();
  const int before = Window()->RebuildCount;
  for (TdxInspectorTextRow* row : rows) row->SetVisible(false);
  rows[0]->SetVisible(true);
  Pump();
  EXPECT_EQ(before + 1, Window()->RebuildCount);
  EXPECT_EQ(4u, ItemsOf(Window()->RowsList()).size());
}

TEST_F(CustomizeFixture, ARowDroppedOnTheWindowIsHidden) {
  auto* row = Text(L"dropped");
  Insp->ShowCustomizeForm();
  Pump();
  // The drop of the inspector's own drag: the row's node leaves and the row waits in the list.
  Insp->HideDroppedRowForTest(row->Node());
  Pump();
  EXPECT_FALSE(row->Visible());
  EXPECT_EQ((std::vector<std::wstring>{L"dropped"}), ItemsOf(Window()->RowsList()));
}

TEST_F(CustomizeFixture, NewCategoryNeedsACaptionAndIsCentredOnItsOwner) {
  std::unique_ptr<TdxInspectorCustomizeNew> dialog(CreateComponent<TdxInspectorCustomizeNew>(nullptr));
  EXPECT_EQ(L"New Category", dialog->Caption());
  dialog->ECaptionChange(nullptr);
  EXPECT_FALSE(dialog->BOK->Enabled());
  dialog->ECaption->SetCaption(L"Pins");
  EXPECT_TRUE(dialog->BOK->Enabled());
  EXPECT_EQ(L"Pins", dialog->ECaption->Text());
  dialog->ECaption->SetCaption(L"");
  EXPECT_FALSE(dialog->BOK->Enabled());
  EXPECT_EQ(mrOk, dialog->BOK->ModalResult());
  EXPECT_TRUE(dialog->BCancel->Cancel());
  Form->SetBounds(100, 100, 400, 300);
  dialog->CentreOn(Form.get());
  EXPECT_EQ(100 + (400 - dialog->Width()) / 2, dialog->Left());
  EXPECT_EQ(100 + (300 - dialog->Height()) / 2, dialog->Top());
  Form->SetBounds(0, 0, 20, 20);
  dialog->CentreOn(Form.get());
  EXPECT_EQ(0, dialog->Left());
  EXPECT_EQ(0, dialog->Top());
}

}  // namespace
}  // namespace inspector_test
