// Streams, collections, the class registry and file-name extensions of the
// class library.
#include <gtest/gtest.h>

#include "ClassRegistry.h"
#include "Collections.h"
#include "Streams.h"
#include "support/TestFolder.h"

using namespace tvk;

namespace {

TEST(FileNames, Extensions) {
  struct Row {
    const wchar_t* Name;
    const wchar_t* Extension;
    const wchar_t* Changed;  // to ".x"
  };
  for (const Row& row : {Row{L"C:\\a.b\\c", L"", L"C:\\a.b\\c.x"}, Row{L"c.tar.gz", L".gz", L"c.tar.x"},
                         Row{L"dir\\.hidden", L".hidden", L"dir\\.x"}, Row{L"C:name.", L".", L"C:name.x"},
                         Row{L"", L"", L".x"}}) {
    EXPECT_EQ(row.Extension, ExtractFileExt(row.Name)) << row.Name;
    EXPECT_EQ(row.Changed, ChangeFileExt(row.Name, L".x")) << row.Name;
  }
  EXPECT_EQ(L"RCDATA\\SETTINGS", ChangeFileExt(L"RCDATA\\SETTINGS.txt", L""));
}

TEST(Streams, MemoryStream) {
  TMemoryStream stream;
  stream.WriteBuffer("abcdef", 6);
  EXPECT_EQ(6, stream.Position());
  stream.SetPosition(2);
  char buffer[8] = {};
  EXPECT_EQ(4u, stream.Read(buffer, 8));  // up to the end
  EXPECT_STREQ("cdef", buffer);
  EXPECT_EQ(0u, stream.Read(buffer, 1));
  EXPECT_THROW(stream.ReadBuffer(buffer, 1), EReadError);
  stream.Seek(-2, TSeekOrigin::soEnd);
  stream.WriteBuffer("XYZ", 3);  // grows past the end
  EXPECT_EQ(7, stream.Size());
  stream.SetSize(3);
  EXPECT_EQ(3, stream.Position());
  EXPECT_EQ("abc", std::string(reinterpret_cast<const char*>(stream.Memory()), 3));

  TMemoryStream copy;
  copy.CopyFrom(stream, 0);  // all of it, from its start
  EXPECT_EQ(3, copy.Size());
  stream.SetPosition(1);
  copy.CopyFrom(stream, 2);
  EXPECT_EQ("abcbc", std::string(reinterpret_cast<const char*>(copy.Memory()), 5));
}

TEST(Streams, FileStream) {
  testsupport::TestFolder folder;
  std::wstring name = folder / L"data.bin";
  {
    TFileStream out(name, fmCreate);
    out.WriteBuffer("12345", 5);
    out.SetSize(3);
    EXPECT_EQ(3, out.Size());
  }
  EXPECT_EQ("123", testsupport::ReadAll(name));
  {
    TFileStream in(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(name, fmOpenWrite), EFOpenError);  // others may not write meanwhile
    TMemoryStream memory;
    memory.LoadFromStream(in);
    EXPECT_EQ(3, memory.Size());
    EXPECT_EQ(0u, in.Write("x", 1));  // opened for reading
  }
  try {
    TFileStream missing(folder / L"missing.bin", fmOpenRead);
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    std::wstring expected = L"Cannot open file \"" + (folder / L"missing.bin") + L"\". ";
    EXPECT_EQ(expected, e.Message().substr(0, expected.size()));  // then the system's reason
  }
  EXPECT_THROW(TFileStream(folder / L"no\\such\\file", fmCreate), EFCreateError);
}

int gFreedItems = 0;
class TNamedItem : public TCollectionItem {
public:
  TVK_CLASS(TNamedItem, TCollectionItem)
  using TCollectionItem::TCollectionItem;
  ~TNamedItem() override { ++gFreedItems; }
  int Value = 0;
};

TEST(Collections, ItemsJoinAndLeaveTheirCollection) {
  gFreedItems = 0;
  TCollection first(CollectionItemClassOf<TNamedItem>());
  TCollection second(CollectionItemClassOf<TNamedItem>());
  EXPECT_EQ(&TNamedItem::StaticClassInfo(), first.ItemClass());
  auto* a = static_cast<TNamedItem*>(first.Add());
  auto* b = static_cast<TNamedItem*>(first.Add());
  auto* c = new TNamedItem(&first);
  EXPECT_EQ((std::vector<int>{0, 1, 2}), (std::vector<int>{a->ID(), b->ID(), c->ID()}));
  EXPECT_EQ(1, b->Index());
  delete b;  // leaves by itself
  EXPECT_EQ(2, first.Count());
  EXPECT_EQ(c, first.Items(1));
  EXPECT_EQ(nullptr, first.FindItemID(1));
  EXPECT_EQ(3, static_cast<TNamedItem*>(first.Add())->ID());  // numbers are not reused
  a->SetCollection(&second);
  EXPECT_EQ(2, first.Count());
  EXPECT_EQ(&second, a->Collection());
  EXPECT_EQ(a, second.FindItemID(0));
  first.Delete(0);
  EXPECT_EQ(2, gFreedItems);
  EXPECT_THROW(first.Items(1), EListError);
  first.Clear();
  EXPECT_EQ(0, first.Count());
  EXPECT_EQ(3, gFreedItems);
}

class TRegistered : public TObject {
public:
  TVK_CLASS(TRegistered, TObject)
};

TClass SameNameOtherClass() {
  static const TClassInfo info{L"TRegistered", &TObject::StaticClassInfo()};
  return &info;
}

TEST(ClassRegistry, ClassesFoundByName) {
  TClass c = &TRegistered::StaticClassInfo();
  EXPECT_EQ(nullptr, GetClass(L"TRegistered"));
  RegisterClass(c);
  RegisterClass(c);  // again: nothing
  EXPECT_EQ(c, GetClass(L"tregistered"));
  try {
    RegisterClass(SameNameOtherClass());
    ADD_FAILURE();
  } catch (const EFilerError& e) {
    EXPECT_EQ(L"A class named TRegistered already exists", e.Message());
  }
  UnRegisterClass(c);
  EXPECT_EQ(nullptr, GetClass(L"TRegistered"));
}

}  // namespace
