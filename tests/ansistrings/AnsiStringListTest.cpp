// The ANSI string list: delimited and line texts, sorting and duplicates,
// capacity, index errors, moving owned objects, name-value look-up, change
// notification and byte-exact files. Test strings stay ASCII: the locale
// comparison follows the user's locale.
#include <gtest/gtest.h>

#include "AnsiStringList.h"
#include "support/ErrorText.h"
#include "support/TestFolder.h"

using namespace tvk;
using testsupport::ErrorText;

namespace {

std::vector<std::string> All(const TAnsiStrings& s) {
  std::vector<std::string> v;
  for (int i = 0; i < s.Count(); ++i) v.push_back(s.Get(i));
  return v;
}

void Fill(TAnsiStrings& s, std::initializer_list<const char*> items) {
  s.Clear();
  for (const char* item : items) s.Add(item);
}

TEST(AnsiStrings, DefaultsAppliedWhenFirstRead) {
  TAnsiStringList list;
  EXPECT_EQ(',', list.Delimiter());
  EXPECT_EQ('"', list.QuoteChar());
  EXPECT_EQ('=', list.NameValueSeparator());
  EXPECT_EQ("\r\n", list.LineBreak());
  EXPECT_FALSE(list.StrictDelimiter());
}

TEST(AnsiStrings, DelimitedTextIsWritten) {
  struct Row {
    std::vector<const char*> Items;
    char Delimiter;
    bool Strict;
    const char* Text;
  };
  const Row rows[] = {
      {{"a b", "c", ""}, ',', false, "\"a b\",c,"},
      {{""}, ',', false, "\"\""},
      {{}, ',', false, ""},
      {{"x\"y", "p,q", "tab\there"}, ',', false, "\"x\"\"y\",\"p,q\",\"tab\there\""},
      {{"a b", "c;d"}, ';', true, "a b;\"c;d\""},
  };
  for (const Row& row : rows) {
    TAnsiStringList list;
    for (const char* item : row.Items) list.Add(item);
    list.SetDelimiter(row.Delimiter);
    list.SetStrictDelimiter(row.Strict);
    EXPECT_EQ(row.Text, list.DelimitedText());
  }
}

TEST(AnsiStrings, DelimitedTextIsRead) {
  struct Row {
    const char* Text;
    char Delimiter;
    bool Strict;
    std::vector<std::string> Items;
  };
  const Row rows[] = {
      {"a,,b", ',', false, {"a", "", "b"}},
      {"a,", ',', false, {"a", ""}},
      {",a", ',', false, {"", "a"}},
      {" a , b ", ',', false, {"a", "b"}},
      {"a b", ',', false, {"a", "b"}},
      {"\"x,y\",z", ',', false, {"x,y", "z"}},
      {"\"a\"\"b\" \"open", ',', false, {"a\"b", "open"}},
      {"a b;c", ';', true, {"a b", "c"}},
      {" a ;", ';', true, {" a ", ""}},
      {"", ',', false, {}},
  };
  for (const Row& row : rows) {
    TAnsiStringList list;
    list.Add("old");
    list.SetDelimiter(row.Delimiter);
    list.SetStrictDelimiter(row.Strict);
    list.SetDelimitedText(row.Text);
    EXPECT_EQ(row.Items, All(list)) << row.Text;
  }
}

TEST(AnsiStrings, CommaTextUsesCommaAndDoubleQuoteForTheCallOnly) {
  TAnsiStringList list;
  Fill(list, {"a b", "c"});
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  EXPECT_EQ("'a b';c", list.DelimitedText());
  EXPECT_EQ("\"a b\",c", list.CommaText());
  EXPECT_EQ(';', list.Delimiter());
  EXPECT_EQ('\'', list.QuoteChar());
  list.SetCommaText("x,\"y z\"");  // writing sets them for good
  EXPECT_EQ((std::vector<std::string>{"x", "y z"}), All(list));
  EXPECT_EQ(',', list.Delimiter());
  EXPECT_EQ('"', list.QuoteChar());
}

TEST(AnsiStrings, TextIsSplitAtLineBreaks) {
  struct Row {
    const char* LineBreak;
    std::string Text;
    std::vector<std::string> Items;
  };
  const Row rows[] = {
      {"\r\n", "a\r\nb\n\r", {"a", "b", ""}},
      {"\r\n", "a\rb\r\rc", {"a", "b", "", "c"}},
      {"\r\n", "a\r\n", {"a"}},
      {"\r\n", std::string("a\0b", 3), {std::string("a\0b", 3)}},
      {"\r\n", "", {}},
      {"|", "x|y|", {"x", "y"}},
      {"|", "x||y\r\nz", {"x", "", "y\r\nz"}},
      {"", "a\r\nb", {"a\r\nb"}},
  };
  for (const Row& row : rows) {
    TAnsiStringList list;
    list.SetLineBreak(row.LineBreak);
    list.SetText(row.Text);
    EXPECT_EQ(row.Items, All(list)) << row.Text;
  }
  TAnsiStringList list;
  Fill(list, {"a", "b"});
  EXPECT_EQ("a\r\nb\r\n", list.Text());
  EXPECT_STREQ("a\r\nb\r\n", list.GetText().get());
  list.SetText(static_cast<const char*>(nullptr));
  EXPECT_EQ(0, list.Count());
}

TEST(AnsiStringList, SortedListsAndDuplicates) {
  TAnsiStringList ignore;
  ignore.SetSorted(true);
  EXPECT_EQ(0, ignore.Add("x"));
  EXPECT_EQ(0, ignore.Add("X"));  // without regard to case: the same string
  EXPECT_EQ(1, ignore.Count());

  TAnsiStringList refuse;
  refuse.SetDuplicates(TDuplicates::dupError);
  refuse.SetSorted(true);
  refuse.Add("x");
  EXPECT_EQ(L"String list does not allow duplicates", ErrorText([&] { refuse.Add("x"); }));
  EXPECT_EQ(1, refuse.Count());

  TAnsiStringList accept;
  accept.SetDuplicates(TDuplicates::dupAccept);
  accept.SetSorted(true);
  for (const char* s : {"b", "a", "b", "c", "B", "b"}) accept.Add(s);
  int index = -1;
  EXPECT_TRUE(accept.Find("B", index));
  EXPECT_EQ(1, index);  // the first of the four
  EXPECT_FALSE(accept.Find("bb", index));
  EXPECT_EQ(5, index);  // where it would go
  EXPECT_EQ(1, accept.IndexOf("b"));
  EXPECT_EQ(L"Operation not allowed on sorted list", ErrorText([&] { accept.Insert(0, "z"); }));
  EXPECT_EQ(L"Operation not allowed on sorted list", ErrorText([&] { accept.Put(0, "z"); }));
}

TEST(AnsiStringList, SortingIsTheUnstableQuicksort) {
  TAnsiStringList list;
  Fill(list, {"b1", "a1", "b2", "a2", "b3", "a3"});
  list.CustomSort([](TAnsiStringList& l, int a, int b) { return int(l[a][0]) - int(l[b][0]); });
  EXPECT_EQ((std::vector<std::string>{"a2", "a1", "a3", "b3", "b1", "b2"}), All(list));

  Fill(list, {"pear", "Apple", "fig", "apple2", "10", "9"});
  list.Sort();
  EXPECT_EQ((std::vector<std::string>{"10", "9", "Apple", "apple2", "fig", "pear"}), All(list));
  list.SetSorted(true);
  list.CustomSort([](TAnsiStringList&, int, int) { return 1; });  // a sorted list is left alone
  EXPECT_EQ("10", list[0]);
}

TEST(AnsiStringList, ASortedListFollowsAChangeOfCase) {
  TAnsiStringList list;
  list.SetDuplicates(TDuplicates::dupAccept);
  list.SetSorted(true);
  for (const char* s : {"b", "A", "a", "B", "c", "C"}) list.Add(s);
  list.SetCaseSensitive(true);
  for (int i = 0; i + 1 < list.Count(); ++i)
    EXPECT_LE(CompareStringA(LOCALE_USER_DEFAULT, 0, list[i].c_str(), -1, list[i + 1].c_str(), -1), CSTR_EQUAL)
        << list[i] << " before " << list[i + 1];
  for (int i = 0; i < list.Count(); ++i) {
    int index = -1;
    ASSERT_TRUE(list.Find(list[i], index)) << list[i];
    EXPECT_EQ(list[i], list[index]);
  }
  EXPECT_EQ(-1, list.IndexOf("D"));
}

TEST(AnsiStringList, CapacityGrowsInStepsAndHasALimit) {
  TAnsiStringList list;
  std::vector<int> steps;
  for (int i = 0; i < 80; ++i) {
    list.Add("x");
    if (steps.empty() || steps.back() != list.Capacity()) steps.push_back(list.Capacity());
  }
  EXPECT_EQ((std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}), steps);
  EXPECT_EQ(L"List capacity out of bounds (79)", ErrorText([&] { list.SetCapacity(79); }));
  EXPECT_EQ(L"List capacity out of bounds (134217728)", ErrorText([&] { list.SetCapacity(134217728); }));
  list.SetCapacity(134217727);
  EXPECT_EQ(134217727, list.Capacity());
  list.Clear();
  EXPECT_EQ(0, list.Capacity());
}

TEST(AnsiStringList, IndexErrorsNameTheOffendingIndex) {
  TAnsiStringList list;
  Fill(list, {"a", "b"});
  struct Row {
    std::function<void()> Call;
    const wchar_t* Error;
  };
  const Row rows[] = {
      {[&] { list.Get(2); }, L"List index out of bounds (2)"},
      {[&] { list.Objects(-1); }, L"List index out of bounds (-1)"},
      {[&] { list.PutObject(5, nullptr); }, L"List index out of bounds (5)"},
      {[&] { list.Delete(2); }, L"List index out of bounds (2)"},
      {[&] { list.Insert(3, "x"); }, L"List index out of bounds (3)"},
      {[&] { list.Exchange(0, 9); }, L"List index out of bounds (9)"},
      {[&] { list.Exchange(-1, 9); }, L"List index out of bounds (-1)"},
      {[&] { list.Move(0, 2); }, L"List index out of bounds (2)"},
      {[&] { list.Move(3, 0); }, L"List index out of bounds (3)"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.Error, ErrorText(row.Call));
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), All(list));  // failed operations changed nothing
  list.Insert(2, "c");
  EXPECT_EQ("c", list[2]);
}

int gFreed = 0;
struct TCounted : TObject {
  explicit TCounted(int value) : Value(value) {}
  ~TCounted() override { ++gFreed; }
  int Value;
};

TEST(AnsiStringList, MovingInAnOwningListMovesTheObject) {
  gFreed = 0;
  {
    TAnsiStringList list(true);
    for (int i = 0; i < 3; ++i) list.AddObject(std::string(1, char('a' + i)), new TCounted(i));
    list.Move(0, 2);
    EXPECT_EQ(0, gFreed);
    EXPECT_EQ((std::vector<std::string>{"b", "c", "a"}), All(list));
    EXPECT_EQ(0, static_cast<TCounted*>(list.Objects(2))->Value);
    list.Exchange(0, 2);
    EXPECT_EQ(0, static_cast<TCounted*>(list.Objects(0))->Value);
    list.SetSorted(true);
    EXPECT_EQ(L"Operation not allowed on sorted list", ErrorText([&] { list.Move(0, 1); }));
    EXPECT_EQ(3, list.Count());
    list.Delete(0);
    EXPECT_EQ(1, gFreed);
  }
  EXPECT_EQ(3, gFreed);  // the rest with the list
}

TEST(AnsiStrings, NamesObjectsAndComparisons) {
  TAnsiStringList list;
  Fill(list, {"a=1", "b", "B=2", "c:3"});
  EXPECT_EQ(2, list.IndexOfName("b"));  // "b" has no separator
  EXPECT_EQ(-1, list.IndexOfName("c"));
  list.SetNameValueSeparator(':');
  EXPECT_EQ(3, list.IndexOfName("C"));
  EXPECT_EQ(1, list.IndexOf(std::wstring_view(L"B")));
  TCounted object(0);
  list.PutObject(1, &object);
  EXPECT_EQ(1, list.IndexOfObject(&object));

  TAnsiStringList copy;
  copy.Assign(list);
  EXPECT_TRUE(copy.Equals(list));
  EXPECT_EQ(':', copy.NameValueSeparator());
  EXPECT_EQ(&object, copy.Objects(1));
  copy.Put(1, "B");
  EXPECT_FALSE(copy.Equals(list));  // byte for byte
  copy.AddStrings(list);
  EXPECT_EQ(8, copy.Count());

  std::vector<std::string> walked;
  auto e = list.GetEnumerator();
  while (e.MoveNext()) walked.push_back(e.Current());
  EXPECT_EQ(All(list), walked);
}

TEST(AnsiStringList, ChangesAreAnnouncedOutsideUpdates) {
  std::vector<std::string> log;
  bool destroyed = false;
  {
    TAnsiStringList list;
    list.OnChanging = [&](TObject*) { log.push_back(destroyed ? "late" : "changing"); };
    list.OnChange = [&](TObject*) { log.push_back(destroyed ? "late" : "changed"); };
    list.Add("a");
    EXPECT_EQ((std::vector<std::string>{"changing", "changed"}), log);
    log.clear();
    list.BeginUpdate();
    list.Add("b");
    list.BeginUpdate();
    list.SetText("x\r\ny");
    list.EndUpdate();
    EXPECT_EQ((std::vector<std::string>{"changing"}), log);
    list.EndUpdate();
    EXPECT_EQ((std::vector<std::string>{"changing", "changed"}), log);
    log.clear();
    destroyed = true;
  }
  EXPECT_TRUE(log.empty());  // its destruction tells nobody
}

TEST(AnsiStrings, FilesAndStreamsHoldTheBytesAsTheyAre) {
  testsupport::TestFolder folder;
  TAnsiStringList list;
  Fill(list, {"caf\xE9", "b"});
  list.SaveToFile(folder / L"list.txt");
  EXPECT_EQ("caf\xE9\r\nb\r\n", testsupport::ReadAll(folder / L"list.txt"));
  TAnsiStringList loaded;
  loaded.LoadFromFile(folder / L"list.txt", nullptr);
  EXPECT_TRUE(loaded.Equals(list));

  TMemoryStream stream;
  stream.WriteBuffer("skip|x\r\ny", 9);
  stream.SetPosition(5);
  loaded.LoadFromStream(stream);
  EXPECT_EQ((std::vector<std::string>{"x", "y"}), All(loaded));
  TMemoryStream out;
  loaded.SaveToStream(out);
  EXPECT_EQ(std::string("x\r\ny\r\n"), std::string(reinterpret_cast<const char*>(out.Memory()), std::size_t(out.Size())));
  EXPECT_THROW(loaded.LoadFromFile(folder / L"missing.txt"), EFOpenError);
}

}  // namespace
