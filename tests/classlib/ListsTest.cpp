// String lists and object lists: order, case, duplicates, objects that travel
// with their strings, ownership of items, and index errors.
#include <gtest/gtest.h>

#include "Lists.h"

using namespace tvk;

namespace {

int gFreed = 0;
struct TCounted : TObject {
  explicit TCounted(int v = 0) : Value(v) {}
  ~TCounted() override { ++gFreed; }
  int Value;
};

std::vector<std::wstring> All(const TStrings& s) {
  std::vector<std::wstring> v;
  for (int i = 0; i < s.Count(); ++i) v.push_back(s.Get(i));
  return v;
}

TEST(StringList, UnsortedKeepsOrderAndFindsWithoutRegardToCase) {
  TStringList list;
  EXPECT_EQ(0, list.Add(L"Zeta"));
  EXPECT_EQ(1, list.Add(L"alpha"));
  EXPECT_EQ(2, list.Add(L"ALPHA"));
  EXPECT_EQ(1, list.IndexOf(L"Alpha"));  // the first equal one
  EXPECT_EQ(-1, list.IndexOf(L"alph"));
  list.SetCaseSensitive(true);
  EXPECT_EQ(2, list.IndexOf(L"ALPHA"));
  EXPECT_EQ(-1, list.IndexOf(L"Alpha"));
}

TEST(StringList, SortedDuplicatesAreIgnoredAcceptedOrRefused) {
  struct Row {
    TDuplicates Mode;
    std::vector<std::wstring> Expected;
    bool Raises;
  };
  for (const Row& row : {Row{TDuplicates::dupIgnore, {L"apple", L"Banana"}, false},
                         Row{TDuplicates::dupAccept, {L"APPLE", L"apple", L"Banana"}, false},
                         Row{TDuplicates::dupError, {L"apple", L"Banana"}, true}}) {
    TStringList list;
    list.SetDuplicates(row.Mode);
    list.SetSorted(true);
    list.Add(L"Banana");
    list.Add(L"apple");
    if (row.Raises) {
      EXPECT_THROW(list.Add(L"APPLE"), EStringListError);
    } else {
      int index = list.Add(L"APPLE");
      EXPECT_EQ(0, index);  // where the equal entry stands (an accepted duplicate goes before it)
    }
    EXPECT_EQ(row.Expected, All(list));
  }
}

TEST(StringList, SortedOrderIgnoresCaseAndIsNotTheLocales) {
  TStringList list;
  list.SetSorted(true);
  for (const wchar_t* s : {L"beta", L"Alpha", L"_under", L"a1", L"Zulu"}) list.Add(s);
  // Ordinal upper-case mapping: "_" (0x5F) sorts after letters, digits before them.
  EXPECT_EQ((std::vector<std::wstring>{L"a1", L"Alpha", L"beta", L"Zulu", L"_under"}), All(list));
  int index = -1;
  EXPECT_TRUE(list.Find(L"ZULU", index));
  EXPECT_EQ(3, index);
  EXPECT_FALSE(list.Find(L"c", index));
  EXPECT_EQ(3, index);  // where it would go
  EXPECT_THROW(list.Insert(0, L"x"), EStringListError);
  EXPECT_THROW(list.Put(0, L"x"), EStringListError);
}

TEST(StringList, ObjectsTravelWithTheirStringsAndOwnedOnesAreFreed) {
  gFreed = 0;
  {
    TStringList list;
    list.SetOwnsObjects(true);
    list.AddObject(L"b", new TCounted(2));
    list.AddObject(L"a", new TCounted(1));
    list.AddObject(L"c", new TCounted(3));
    list.SetSorted(true);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i + 1, static_cast<TCounted*>(list.Objects(i))->Value);
    list.Delete(0);
    EXPECT_EQ(1, gFreed);
  }
  EXPECT_EQ(3, gFreed);
  TStringList unowned;
  TCounted kept;
  unowned.AddObject(L"x", &kept);
  unowned.Clear();
  EXPECT_EQ(3, gFreed);
}

TEST(StringList, IndexOutsideTheListRaisesWithTheIndex) {
  TStringList list;
  list.Add(L"one");
  try {
    list.Get(1);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(L"List index out of bounds (1)", e.Message());
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Objects(5), EStringListError);
}

TEST(StringList, TextValuesAndChangeNotification) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.SetText(L"Name=Value\r\nEmpty=\nplain\rlast");
  EXPECT_EQ(1, changes);  // one notification for the whole update
  EXPECT_EQ((std::vector<std::wstring>{L"Name=Value", L"Empty=", L"plain", L"last"}), All(list));
  EXPECT_EQ(L"Value", list.Values(L"NAME"));
  EXPECT_EQ(L"", list.Values(L"plain"));
  EXPECT_EQ(1, list.IndexOfName(L"empty"));
  EXPECT_EQ(L"Name=Value\r\nEmpty=\r\nplain\r\nlast\r\n", list.Text());
}

// A list that records the hooks a list box's item list overrides.
class TWatchedList : public TStringList {
public:
  std::vector<std::wstring> Log;

protected:
  void InsertItem(int index, const WideString& s, TObject* object) override {
    Log.push_back(L"insert " + std::to_wstring(index) + L" " + s);
    TStringList::InsertItem(index, s, object);
  }
  void SetUpdateState(bool updating) override { Log.push_back(updating ? L"updating" : L"updated"); }
};

TEST(StringList, EveryInsertAndTheOuterUpdateReachTheHooks) {
  TWatchedList list;
  list.Add(L"b");
  list.Insert(0, L"a");
  list.SetSorted(true);
  list.Add(L"ab");  // in order: between the two
  EXPECT_EQ((std::vector<std::wstring>{L"insert 0 b", L"insert 0 a", L"insert 1 ab"}), list.Log);
  list.Log.clear();
  list.OnChange = [&](TObject*) { list.Log.push_back(L"change"); };
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add(L"c");
  list.EndUpdate();
  list.EndUpdate();
  EXPECT_EQ((std::vector<std::wstring>{L"updating", L"insert 3 c", L"updated", L"change"}), list.Log);
}

TEST(ObjectList, OwnsItsItemsUnlessExtracted) {
  gFreed = 0;
  auto* kept = new TCounted;
  {
    TObjectList list;
    list.Add(new TCounted);
    list.Add(kept);
    list.Add(new TCounted);
    list.Delete(0);
    EXPECT_EQ(1, gFreed);
    EXPECT_EQ(kept, list.Extract(kept));
    EXPECT_EQ(1, gFreed);
    EXPECT_THROW(list.Items(1), EListError);
  }
  EXPECT_EQ(2, gFreed);
  delete kept;
  TObjectList notOwning(false);
  TCounted local;
  notOwning.Add(&local);
  notOwning.Clear();
  EXPECT_EQ(3, gFreed);
}

}  // namespace
