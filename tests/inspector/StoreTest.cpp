// The node-order stream, the form's "Data", the registry layout and complex rows.
#include "RowsFixture.h"

#include "Registry.h"
#include "Streams.h"

namespace inspector_test {
namespace {

using tvk::TdxInspectorRow;

std::vector<uint8_t> Int32(int32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(uint32_t(v) >> 24)};
}
void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }
// One record: fixed part of RecordSize (8 by default), then the name.
void Record(std::vector<uint8_t>& to, int32_t second, const std::wstring& name, int32_t recordSize = 8,
            int32_t nameLength = -1) {
  Append(to, Int32(recordSize));
  Append(to, Int32(second));
  Append(to, Int32(nameLength < 0 ? int32_t(name.size()) : nameLength));
  for (int i = 8; i < recordSize; ++i) to.push_back(0);
  for (wchar_t ch : name) Append(to, {uint8_t(ch), uint8_t(ch >> 8)});
}
// TotalSize ahead of Body.
std::vector<uint8_t> Framed(const std::vector<uint8_t>& body) {
  std::vector<uint8_t> all = Int32(int32_t(body.size()));
  Append(all, body);
  return all;
}

struct StoreFixture : RowsFixture {
  std::vector<uint8_t> Save() {
    tvk::TMemoryStream stream;
    Insp->SaveNodesToStream(stream);
    return stream.Bytes();
  }
  void Load(std::vector<uint8_t> bytes) {
    tvk::TMemoryStream stream(std::move(bytes));
    Insp->LoadNodesFromStream(stream);
  }
};

TEST_F(StoreFixture, TheStreamIsLittleEndianWithUtf16NamesAndItsSizePatched) {
  EXPECT_EQ((std::vector<uint8_t>{8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Save());
  auto* a = Text(L"a");
  auto* b = Text(L"b");
  a->SetName(L"Abcd");
  b->Node()->MoveTo(a->Node(), tvk::inaAddChild);
  a->Node()->SetExpanded(true);
  std::vector<uint8_t> body = Int32(1);
  Record(body, 1, L"Abcd");
  Record(body, 0, b->Name());
  Append(body, Int32(1));
  Record(body, 0, L"Abcd");
  EXPECT_EQ(Framed(body), Save());
  // NameLength 4 and 8 name bytes.
  const std::vector<uint8_t> saved = Save();
  EXPECT_EQ(4, saved[16]);
  EXPECT_EQ('A', saved[20]);
  EXPECT_EQ(0, saved[21]);
  EXPECT_EQ('d', saved[26]);
}

TEST_F(StoreFixture, RestoringPutsNamedNodesAfterTheOthersAndStopsAtAnUnknownName) {
  auto* a = Text(L"a");
  auto* b = Text(L"b");
  auto* c = Text(L"c");
  auto* d = Text(L"d");
  c->Node()->MoveTo(b->Node(), tvk::inaAddChild);
  b->Node()->SetExpanded(true);
  const std::vector<uint8_t> saved = Save();
  d->Node()->MoveTo(a->Node(), tvk::inaInsert);
  c->Node()->MoveTo(a->Node(), tvk::inaAddChild);
  a->SetVisible(false);
  Load(saved);
  EXPECT_EQ((std::vector<std::wstring>{a->Name(), b->Name(), d->Name()}), Order());
  EXPECT_EQ((std::vector<std::wstring>{c->Name()}), Order(b->Node()));
  EXPECT_TRUE(b->Node()->Expanded());
  // A renamed row stops the restore at its record; what came before stays.
  c->Node()->MoveTo(d->Node(), tvk::inaAddChild);
  d->Node()->MoveTo(a->Node(), tvk::inaInsert);
  b->SetName(L"Renamed");
  Load(saved);
  EXPECT_EQ((std::vector<std::wstring>{d->Name(), L"Renamed", a->Name()}), Order());
}

TEST_F(StoreFixture, AnItemOfAComplexRowIsPassedOverWithItsSubtree) {
  auto* a = Text(L"a");
  auto* b = Text(L"b");
  auto* c = Text(L"c");
  c->Node()->MoveTo(b->Node(), tvk::inaAddChild);
  const std::vector<uint8_t> saved = Save();
  auto* complex = static_cast<tvk::TdxInspectorComplexRow*>(Insp->CreateRow(tvk::ComponentClassOf<tvk::TdxInspectorComplexRow>()));
  complex->Items().Add()->SetRow(b);
  EXPECT_EQ(nullptr, b->Node());
  a->Node()->MoveTo(complex->Node(), tvk::inaAdd);
  Load(saved);
  EXPECT_EQ(nullptr, b->Node());
  EXPECT_EQ((std::vector<std::wstring>{complex->Name(), c->Name(), a->Name()}), Order());
}

TEST_F(StoreFixture, ExpandedRecordsApplyUnderCollapsedParents) {
  auto* a = Text(L"a");
  auto* b = Text(L"b");
  auto* c = Text(L"c");
  b->Node()->MoveTo(a->Node(), tvk::inaAddChild);
  c->Node()->MoveTo(b->Node(), tvk::inaAddChild);
  b->Node()->SetExpanded(true);
  a->Node()->SetExpanded(false);
  const std::vector<uint8_t> saved = Save();
  Insp->FullExpand();
  Load(saved);
  EXPECT_FALSE(a->Node()->Expanded());
  EXPECT_TRUE(b->Node()->Expanded());
}

TEST_F(StoreFixture, DamagedStreamsAreRefusedBeforeAnythingHugeIsMadeOrDeepIsWalked) {
  auto* a = Text(L"a");
  const std::wstring name = a->Name();
  struct Case {
    const char* What;
    std::vector<uint8_t> Bytes;
    bool Raises;
  };
  std::vector<Case> cases;
  cases.push_back({"total size past the end", Int32(0x7FFFFFF0), true});
  {
    std::vector<uint8_t> body = Int32(0x10000000);  // a root count no stream of this size holds
    cases.push_back({"root count", Framed(body), true});
  }
  {
    std::vector<uint8_t> body = Int32(1);
    Record(body, 0, name, 8, 0x40000000);
    cases.push_back({"name length", Framed(body), true});
  }
  {
    std::vector<uint8_t> body = Int32(1);
    Record(body, -5, name);
    cases.push_back({"negative child count", Framed(body), true});
  }
  {
    std::vector<uint8_t> body = Int32(1);
    Record(body, 0, name, 4);
    cases.push_back({"record size below 8 stops quietly", Framed(body), false});
  }
  {
    std::vector<uint8_t> body = Int32(1);
    Record(body, 0, name, 12);
    cases.push_back({"larger fixed part accepted", Framed(body), false});
  }
  {
    // Each record has one child, 5,000 deep: refused at the depth limit.
    std::vector<uint8_t> body = Int32(1);
    for (int i = 0; i < 5000; ++i) Record(body, 1, name);
    Record(body, 0, name);
    cases.push_back({"deep nesting", Framed(body), true});
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.What);
    if (c.Raises)
      EXPECT_THROW(Load(c.Bytes), tvk::EReadError);
    else
      EXPECT_NO_THROW(Load(c.Bytes));
    EXPECT_EQ(1, Insp->TotalRowCount());
    EXPECT_NE(nullptr, a->Node());
  }
}

// A form whose design holds an inspector with rows and the saved "Data".
class TInspectorTestForm : public tvk::TForm {
public:
  TVK_CLASS(TInspectorTestForm, tvk::TForm)
  explicit TInspectorTestForm(tvk::TComponent* owner) : TForm(owner) {}
  static std::vector<uint8_t> Properties;
};
std::vector<uint8_t> TInspectorTestForm::Properties;

void BuildInspectorTestForm(tvk::TComponent& root) {
  auto* insp = tvk::CreateComponent<TRowInspector>(&root);
  insp->SetName(L"Insp");
  for (const wchar_t* name : {L"First", L"Second", L"Hidden"}) {
    auto* row = tvk::CreateComponent<tvk::TdxInspectorTextRow>(&root);
    row->SetName(name);
    if (std::wstring(name) == L"Hidden") row->SetVisible(false);
    row->SetParentComponent(insp);
  }
  tvk::TMemoryStream stream(TInspectorTestForm::Properties);
  tvk::ReadProperties(*insp, stream);
}
TVK_DESIGN(TInspectorTestForm, BuildInspectorTestForm);

TEST_F(StoreFixture, TheFormsDataKeepsTheOrderUntilLoadedAndAnEmptyInspectorWritesNone) {
  {
    tvk::TMemoryStream empty;
    tvk::WriteProperties(*Insp, empty);
    empty.SetPosition(0);
    EXPECT_TRUE(tvk::BinaryPropertyNames(empty).empty());
  }
  auto* first = Text(L"1");
  auto* second = Text(L"2");
  first->SetName(L"First");
  second->SetName(L"Second");
  second->Node()->MoveTo(first->Node(), tvk::inaInsert);
  tvk::TMemoryStream props;
  tvk::WriteProperties(*Insp, props);
  TInspectorTestForm::Properties = props.Bytes();
  std::unique_ptr<TInspectorTestForm> form(tvk::CreateComponent<TInspectorTestForm>(nullptr));
  auto* loaded = static_cast<TRowInspector*>(form->FindComponent(L"Insp"));
  ASSERT_NE(nullptr, loaded);
  ASSERT_EQ(3, loaded->TotalRowCount());
  EXPECT_EQ(2, loaded->Count());
  EXPECT_EQ(L"Second", static_cast<tvk::TdxInspectorRowNode*>(loaded->GetNode(0))->Row()->Name());
  EXPECT_EQ(loaded->GetNode(0), loaded->FocusedNode());
  EXPECT_EQ(nullptr, loaded->RowByName(L"Hidden")->Node());
}

TEST_F(StoreFixture, TheRegistryLayoutKeepsCategoriesOrderHeightsAndVisibility) {
  const std::wstring path = L"Software\\TovikTests\\Inspector57";
  RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  auto* a = Text(L"a");
  auto* b = Text(L"b");
  auto* category = Text(L"Cat");
  category->SetIsCategory(true);
  b->SetRowHeight(40);
  b->Node()->MoveTo(a->Node(), tvk::inaInsert);
  Insp->SaveToRegistry(path);
  // Changes the layout forgets; a category the layout does not list is freed.
  auto* extra = Text(L"Extra");
  extra->SetIsCategory(true);
  a->Node()->MoveTo(b->Node(), tvk::inaInsert);
  b->SetRowHeight(5);
  a->SetVisible(false);
  {
    tvk::TRegIniFile store(L"");
    store.WriteString(L"\\" + path + L"\\Rows\\" + a->Name(), L"Visible", L"0");
    store.WriteString(L"\\" + path + L"\\Categories", L"NewCat", L"New category");
    store.WriteString(L"\\" + path + L"\\Rows\\NewCat", L"Visible", L"0");
  }
  Insp->LoadFromRegistry(path);
  EXPECT_EQ(nullptr, Insp->RowByName(extra->Name().empty() ? L"x" : L"InspRow4"));
  ASSERT_NE(nullptr, Insp->RowByName(L"NewCat"));
  EXPECT_EQ(L"New category", Insp->RowByName(L"NewCat")->Caption());
  EXPECT_FALSE(Insp->RowByName(L"NewCat")->Visible());
  EXPECT_EQ(40, b->RowHeight());
  EXPECT_FALSE(a->Visible());  // "Visible" 0 after the nodes step showed it
  EXPECT_EQ((std::vector<std::wstring>{b->Name(), category->Name()}), Order());
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()));
  EXPECT_FALSE(tvk::TRegistry().OpenKey(L"\\" + path, false));
}

// ---- complex rows

struct ComplexFixture : RowsFixture {
  tvk::TdxInspectorComplexRow* Complex = nullptr;
  void SetUp() override {
    RowsFixture::SetUp();
    Complex = static_cast<tvk::TdxInspectorComplexRow*>(Insp->CreateRow(tvk::ComponentClassOf<tvk::TdxInspectorComplexRow>()));
  }
  tvk::TdxInspectorComplexRowItem* Item(TdxInspectorRow* row, int width, int minWidth = 20, bool fixed = false) {
    auto* item = Complex->Items().Add();
    item->SetRow(row);
    item->SetMinWidth(minWidth);
    item->SetWidth(width);
    item->SetFixed(fixed);
    return item;
  }
  std::vector<std::pair<int, int>> Bounds(int left, int right, int separator = 3) {
    tvk::TdxInspectorComplexRowViewInfo info(Complex, separator);
    info.Calculate(RECT{left, 0, right, 10});
    std::vector<std::pair<int, int>> bounds;
    for (int i = 0; i < info.Count(); ++i) bounds.push_back({info.Items(i).Bounds().left, info.Items(i).Bounds().right});
    return bounds;
  }
};

TEST_F(ComplexFixture, ItemsShareTheWidthWithMinimaPinnedFirst) {
  using B = std::vector<std::pair<int, int>>;
  Item(Text(L"a"), 50);
  Item(Text(L"b"), 150);
  EXPECT_EQ((B{{0, 50}, {50, 53}, {53, 203}}), Bounds(0, 203));
  EXPECT_EQ(B{}, Bounds(10, 10));
  Complex->Items().Clear();
  for (int i = 0; i < 3; ++i) Item(Text(L"m"), 50, 40);
  EXPECT_EQ((B{{0, 40}, {40, 40}, {40, 80}, {80, 80}, {80, 120}}), Bounds(0, 100, 0));
  // Narrower than the fixed parts: every proportional item gets its minimum.
  Complex->Items().Clear();
  Item(Text(L"f"), 80, 20, true);
  Item(Text(L"p"), 50, 25);
  EXPECT_EQ((B{{0, 80}, {80, 83}, {83, 108}}), Bounds(0, 60));
  // Weights that sum to 0 share equally, the remainder to the last.
  Complex->Items().Clear();
  Item(Text(L"z"), 0, 0);
  Item(Text(L"z"), 0, 0);
  EXPECT_EQ((B{{0, 48}, {48, 51}, {51, 100}}), Bounds(0, 100));
}

TEST_F(ComplexFixture, AnItemTakesItsRowOutOfViewAndFromAnyOtherComplexRow) {
  auto* a = Text(L"A");
  auto* b = Text(L"B");
  tvk::TdxInspectorComplexRowItem* item = Item(a, 50);
  EXPECT_EQ(nullptr, a->Node());
  EXPECT_EQ(Complex, Insp->ComplexRowByRow(a));
  auto* other = static_cast<tvk::TdxInspectorComplexRow*>(Insp->CreateRow(tvk::ComponentClassOf<tvk::TdxInspectorComplexRow>()));
  other->Items().Add()->SetRow(a);
  EXPECT_EQ(nullptr, item->Row());
  EXPECT_EQ(other, Insp->ComplexRowByRow(a));
  item->SetRow(other);  // a complex row is refused
  EXPECT_EQ(nullptr, item->Row());
  item->SetRow(b);
  item->SetMinWidth(80);
  EXPECT_EQ(80, item->Width());
  item->SetMinWidth(-3);
  EXPECT_EQ(0, item->MinWidth());
  EXPECT_EQ(L"B-A", [&] {
    Complex->RestoreDefaults();
    other->Items().Item(0)->SetRow(nullptr);
    Complex->Items().Add()->SetRow(a);
    return Insp->RowDisplayCaption(Complex);
  }());
  // Showing an item's row takes it out of its complex row.
  a->SetVisible(true);
  EXPECT_FALSE(Insp->RowInComplexRow(a));
}

TEST_F(ComplexFixture, TabMovesBetweenItemsAndTheHitTestNamesTheItem) {
  auto* a = Text(L"A", L"first");
  auto* b = Text(L"B", L"second");
  Item(a, 50);
  Item(b, 50);
  Insp->SetFocus();
  Insp->SetFocusedNode(Complex->Node());
  EXPECT_EQ(a, Insp->EditRowOf(Complex->Node()));
  EXPECT_FALSE(Insp->CanTabInComplexRow(false));
  EXPECT_TRUE(Insp->CanTabInComplexRow(true));
  EXPECT_TRUE(Insp->TabInComplexRow(true));
  EXPECT_EQ(1, Insp->ComplexRowIndex());
  EXPECT_EQ(b, Insp->EditRowOf(Complex->Node()));
  EXPECT_FALSE(Insp->TabInComplexRow(true));
  const RECT row = Insp->GetNodeRect(Complex->Node());
  const RECT value = Insp->CalcRowParts(Complex->Node(), row).Value;
  const tvk::TdxInspectorHitInfo left = Insp->GetHitInfo(POINT{value.left + 2, (row.top + row.bottom) / 2});
  EXPECT_EQ(0, left.ComplexRowIndex);
  const tvk::TdxInspectorHitInfo right = Insp->GetHitInfo(POINT{value.right - 2, (row.top + row.bottom) / 2});
  EXPECT_EQ(1, right.ComplexRowIndex);
  EXPECT_EQ(value.right, right.ComplexRowRect.right);
  // The editor sits over the focused item.
  Insp->ShowEditor();
  ASSERT_NE(nullptr, Insp->InplaceEditor());
  EXPECT_EQ(L"second", Insp->InplaceEditor()->GetEditingText());
}

}  // namespace
}  // namespace inspector_test
