// Text nodes, their strings following the columns, and the node stream.
#include <cstring>

#include "PublishedTreeList.h"
#include "Streams.h"

namespace treelist_test {
namespace {

using tvk::TdxTreeListNode;

// Little-endian stream bytes written by hand.
struct TBytes {
  std::vector<uint8_t> Data;
  TBytes& Int(int32_t value) {
    for (int i = 0; i < 4; ++i) Data.push_back(uint8_t(uint32_t(value) >> (8 * i)));
    return *this;
  }
  TBytes& Byte(uint8_t value) {
    Data.push_back(value);
    return *this;
  }
  TBytes& Text(const char* text) {
    Data.insert(Data.end(), text, text + std::strlen(text));
    return *this;
  }
  // A record without strings: length, the three indexes, data, children, strings.
  TBytes& Record(int32_t children, int32_t strings = 0, int32_t length = 24) {
    Int(length).Int(0).Int(-1).Int(-1).Int(0).Int(children).Int(strings);
    for (int32_t i = 24; i < length; ++i) Byte(0xEE);
    return *this;
  }
};

std::vector<uint8_t> Saved(tvk::TdxTreeList& tree) {
  tvk::TMemoryStream stream;
  tree.SaveToStream(stream);
  return stream.Bytes();
}

void Load(tvk::TdxTreeList& tree, const std::vector<uint8_t>& bytes) {
  tvk::TMemoryStream stream(bytes);
  tree.LoadFromStream(stream);
}

TEST(TreeListTextNodes, StartWithTheirIndexesAndPadTheirStrings) {
  TTreeForm form(3);
  TdxTreeListNode* node = form.Tree->Add();
  ASSERT_TRUE(node->Is<tvk::TdxTreeListTextNode>());
  EXPECT_EQ(0, node->ImageIndex());
  EXPECT_EQ(-1, node->SelectedIndex());
  EXPECT_EQ(-1, node->StateIndex());
  node->SetString(2, L"c");
  EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"c"}), Strings(node));
  EXPECT_EQ(L"", node->GetString(7));
  EXPECT_EQ(L"", node->GetString(-1));
  form.Tree->OnGetImageIndex = [](tvk::TObject*, TdxTreeListNode*, int& index) { index += 10; };
  EXPECT_EQ(10, node->ImageIndex());
}

TEST(TreeListTextNodes, StringsFollowAMovedColumn) {
  TTreeForm form(3);
  TdxTreeListNode* node = form.AddNode({L"A", L"B", L"C"});
  TdxTreeListNode* shortNode = form.AddNode({L"x"}, node);
  tvk::TdxTreeListColumn* first = form.Tree->Columns(0);
  first->SetIndex(2);
  EXPECT_EQ((std::vector<std::wstring>{L"B", L"C", L"A"}), Strings(node));
  EXPECT_EQ((std::vector<std::wstring>{L"", L"", L"x"}), Strings(shortNode));  // padded first
  EXPECT_EQ(L"A", first->GetNodeText(node));
  first->SetIndex(0);
  EXPECT_EQ((std::vector<std::wstring>{L"A", L"B", L"C"}), Strings(node));
}

TEST(TreeListNodeStream, WritesTheHeaderAndEachRecord) {
  TTreeForm form(3);
  EXPECT_EQ(TBytes().Int(-1).Int(0).Data, Saved(*form.Tree));
  TdxTreeListNode* node = form.AddNode({L"a", L"bc", L""});
  node->SetData(reinterpret_cast<void*>(uintptr_t(0x12345678)));
  node->SetImageIndex(3);
  std::vector<uint8_t> bytes = Saved(*form.Tree);
  ASSERT_EQ(8u + 43u, bytes.size());
  TBytes expected;
  expected.Int(-1).Int(1).Int(24).Int(3).Int(-1).Int(-1).Int(0x12345678).Int(0).Int(3);
  expected.Int(1).Text("a").Int(2).Text("bc").Int(0);
  EXPECT_EQ(expected.Data, bytes);
}

TEST(TreeListNodeStream, ReadsBackTreesOldStreamsAndLongRecords) {
  TTreeForm form(2);
  TdxTreeListNode* top = form.AddNode({L"top", L"1"});
  form.AddNode({L"child"}, top)->SetData(reinterpret_cast<void*>(uintptr_t(0xCAFE)));
  form.AddNode({L"second"});
  std::vector<uint8_t> saved = Saved(*form.Tree);
  TTreeForm copy(2);
  Load(*copy.Tree, saved);
  ASSERT_EQ(2, copy.Tree->Count());
  EXPECT_EQ(-1, copy.Tree->StreamVersion());
  EXPECT_EQ((std::vector<std::wstring>{L"top", L"1"}), Strings(copy.Tree->GetItem(0)));
  ASSERT_EQ(1, copy.Tree->GetItem(0)->Count());
  EXPECT_EQ(reinterpret_cast<void*>(uintptr_t(0xCAFE)), copy.Tree->GetItem(0)->GetItem(0)->Data());
  EXPECT_EQ(saved, Saved(*copy.Tree));

  // The older form: no marker, one-byte string lengths; a longer record keeps only its first 24 bytes.
  TBytes old;
  old.Int(2).Record(0, 1).Byte(2).Text("hi").Record(0, 0, 32);
  Load(*copy.Tree, old.Data);
  EXPECT_EQ(0, copy.Tree->StreamVersion());
  ASSERT_EQ(2, copy.Tree->Count());
  EXPECT_EQ(L"hi", copy.Tree->GetItem(0)->GetString(0));
  EXPECT_EQ(-1, copy.Tree->GetItem(1)->StateIndex());

  // Another tree list's nodes, through the same stream.
  TTreeForm target(2);
  target.AddNode({L"gone"});
  target.Tree->AssignNodes(*form.Tree);
  EXPECT_EQ(saved, Saved(*target.Tree));
  EXPECT_THROW(target.Tree->AssignNodes(*form.Tree->Columns(0)), tvk::Exception);
}

TEST(TreeListNodeStream, TheFormPropertyDataIsStoredOnlyWithNodes) {
  TTreeForm form(1);
  tvk::TMemoryStream empty;
  tvk::WriteProperties(*form.Tree, empty);
  empty.SetPosition(0);
  for (const std::wstring& name : tvk::BinaryPropertyNames(empty)) EXPECT_NE(L"Data", name);
  form.AddNode({L"kept"});
  tvk::TMemoryStream properties;
  tvk::WriteProperties(*form.Tree, properties);
  properties.SetPosition(0);
  TTreeForm copy(1);
  tvk::ReadProperties(*copy.Tree, properties);
  ASSERT_EQ(1, copy.Tree->Count());
  EXPECT_EQ(L"kept", copy.Tree->GetItem(0)->GetString(0));
}

// A chain of records nested Depth deep, each with one child but the last.
std::vector<uint8_t> NestedStream(int depth) {
  TBytes bytes;
  bytes.Int(-1).Int(1);
  for (int i = 0; i < depth; ++i) bytes.Record(i + 1 < depth ? 1 : 0);
  return bytes.Data;
}

TEST(TreeListNodeStream, DamagedStreamsAreRefusedKeepingTheNodesRead) {
  struct Case {
    const char* What;
    std::vector<uint8_t> Bytes;
    int NodesKept;
  };
  std::vector<Case> cases;
  cases.push_back({"a huge node count", TBytes().Int(-1).Int(0x7FFFFFFF).Data, 0});
  cases.push_back({"a record length below 24", TBytes().Int(-1).Int(1).Record(0, 0, 20).Data, 1});
  cases.push_back(
      {"a record length past the end", TBytes().Int(-1).Int(1).Int(1000000).Int(0).Int(0).Int(0).Int(0).Int(0).Int(0).Data, 1});
  cases.push_back({"a huge string count", TBytes().Int(-1).Int(1).Record(0, 0x7FFFFFFF).Data, 1});
  cases.push_back({"a huge child count", TBytes().Int(-1).Int(1).Record(0x7FFFFFFF).Data, 1});
  cases.push_back({"a huge string length", TBytes().Int(-1).Int(1).Record(0, 1).Int(0x7FFFFFF0).Data, 1});
  cases.push_back({"a negative string length", TBytes().Int(-1).Int(1).Record(0, 1).Int(-5).Data, 1});
  cases.push_back(
      {"a stream that ends early", TBytes().Int(-1).Int(2).Record(0, 1).Int(3).Text("abc").Record(0, 1).Int(3).Text("abc").Data, 2});
  cases.back().Bytes.resize(cases.back().Bytes.size() - 2);
  cases.push_back({"nesting beyond the limit", NestedStream(tvk::kMaxNodeStreamDepth + 2), 1});
  for (Case& c : cases) {
    TTreeForm form(1);
    tvk::TMemoryStream stream(c.Bytes);
    EXPECT_THROW(form.Tree->LoadFromStream(stream), tvk::EReadError) << c.What;
    EXPECT_EQ(c.NodesKept, form.Tree->Count()) << c.What;
  }
  TTreeForm deep(1);
  Load(*deep.Tree, NestedStream(tvk::kMaxNodeStreamDepth + 1));
  int depth = 0;
  for (TdxTreeListNode* node = deep.Tree->GetItem(0); node; node = node->GetFirstChild()) ++depth;
  EXPECT_EQ(tvk::kMaxNodeStreamDepth + 1, depth);
}

TEST(TreeListNodeStream, FilesSaveAndLoadAndAMissingFileClearsNothing) {
  TTreeForm form(1);
  form.AddNode({L"on disk"});
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + L"tvk_treelist_nodes.bin";
  form.Tree->SaveToFile(path);
  TTreeForm copy(1);
  copy.Tree->LoadFromFile(path);
  EXPECT_EQ(L"on disk", copy.Tree->GetItem(0)->GetString(0));
  DeleteFileW(path.c_str());
  EXPECT_THROW(copy.Tree->LoadFromFile(path), tvk::EFOpenError);
  EXPECT_EQ(1, copy.Tree->Count());
}

}  // namespace
}  // namespace treelist_test
