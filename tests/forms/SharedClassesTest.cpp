// The transport set's words, sizes and round trips; the sorted string lists;
// the shared image list and the pictures of host window kinds.
#include "Extension.Classes.h"
#include "FormsFixture.h"
#include "support/TestFolder.h"

#include <algorithm>
#include <set>

using namespace tvk;
using namespace testsupport;

namespace {

TTransportWords WordsOf(ITransportSet* set) {
  TTransportWords w{};
  EXPECT_EQ(S_OK, set->GetData(&w[0], &w[1], &w[2], &w[3], &w[4], &w[5], &w[6], &w[7]));
  return w;
}

TEST(TransportSet, MembersAreBitsOfBytesInMemoryOrder) {
  uint8_t set[2] = {0x01, 0x02};  // members 0 and 9
  auto* t = new TTransportSet(set, 2, false);
  ComRef<ITransportSet> ref(t);
  EXPECT_EQ((TTransportWords{0x201, 0, 0, 0, 0, 0, 0, 0}), WordsOf(t));
  // SetData keeps only the set's own 16 bits of D0.
  EXPECT_EQ(S_OK, t->SetData(int32_t(0xAABBCCDD), 5, 6, 7, 8, 9, 10, 11));
  EXPECT_EQ(0xDD, set[0]);
  EXPECT_EQ(0xCC, set[1]);
  EXPECT_EQ((TTransportWords{0xCCDD, 0, 0, 0, 0, 0, 0, 0}), WordsOf(t));
  // Member 255 of a 32-byte set is the top bit of D7.
  uint8_t full[32] = {};
  full[31] = 0x80;
  ComRef<ITransportSet> big(new TTransportSet(full, 32, true));
  EXPECT_EQ(int32_t(0x80000000), WordsOf(big.Get())[7]);
  EXPECT_EQ(E_UNEXPECTED, big->GetData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST(TransportSet, ASizeOutsideOneToThirtyTwoBytesIsRefusedAtCreation) {
  uint8_t data[40] = {};
  for (std::size_t size : {std::size_t(0), std::size_t(33), std::size_t(40)}) {
    EXPECT_THROW((void)new TTransportSet(data, size, true), Exception) << size;
    EXPECT_THROW((void)new TTransportSet(data, size, false), Exception) << size;
  }
  for (std::size_t size : {std::size_t(1), std::size_t(32)}) ComRef<ITransportSet>(new TTransportSet(data, size, true));
}

TEST(TransportSet, ImportAndExportGoThroughTheOtherSidesWords) {
  uint8_t source[4] = {1, 2, 3, 4};
  uint8_t target[3] = {};
  ComRef<ITransportSet> from(new TTransportSet(source, 4, true));
  ImportSetFromTransport(from.Get(), target, 3);
  EXPECT_EQ((std::vector<int>{1, 2, 3}), (std::vector<int>{target[0], target[1], target[2]}));
  uint8_t out[4] = {};
  auto* to = new TTransportSet(out, 4, false);
  ComRef<ITransportSet> toRef(to);
  TTransportSet mine(source, 2, false);
  mine.AddRef();  // lives on the stack
  mine.ExportTo(to);
  EXPECT_EQ((std::vector<int>{1, 2, 0, 0}), (std::vector<int>{out[0], out[1], out[2], out[3]}));
  Fake notASet = MakeFake();
  EXPECT_THROW(ImportSetFromTransport(AsDispatch(notASet), target, 1), Exception);
}

TEST(SortedLists, DuplicatesKeptOrDroppedInCaseBlindOrder) {
  TSortedStringList kept;
  TSortedUniqueStringList unique;
  for (TStringList* list : {static_cast<TStringList*>(&kept), static_cast<TStringList*>(&unique)}) {
    list->Add(L"beta");
    list->Add(L"Alpha");
    list->Add(L"BETA");
  }
  EXPECT_EQ(3, kept.Count());
  EXPECT_EQ(2, unique.Count());
  EXPECT_EQ(L"Alpha", unique[0]);  // a capital A before a small b
  EXPECT_EQ(L"beta", unique[1]);
  EXPECT_EQ(1, unique.Add(L"Beta"));  // the present one's index
  EXPECT_EQ(L"Alpha", kept[0]);
  EXPECT_TRUE(SameTextIgnoringCase(kept[1], L"beta") && SameTextIgnoringCase(kept[2], L"beta"));
}

using SharedImages = forms_test::FormsFixture;

// A 16 x 16 24-bit bitmap file of one colour, lower-left pixel magenta.
std::string PictureFile(uint8_t r, uint8_t g, uint8_t b) {
  std::string f = "BM";
  auto u32 = [&](uint32_t v) { f.append(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { f.append(reinterpret_cast<const char*>(&v), 2); };
  u32(54 + 16 * 16 * 3);
  u32(0);
  u32(54);
  u32(40);
  u32(16);
  u32(16);
  u16(1);
  u16(24);
  for (int i = 0; i < 6; ++i) u32(0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      bool corner = y == 0 && x == 0;  // bottom-up: the first pixel is the lower-left one
      f += char(corner ? 255 : b);
      f += char(corner ? 0 : g);
      f += char(corner ? 255 : r);
    }
  return f;
}

TEST_F(SharedImages, TheListHoldsTheDrawnPicturesWithTheirMasks) {
  TImageList* list = GetMainImageList();
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(kMainImageCount, list->Count());
  EXPECT_EQ(list, GetMainImageList());
  TBitmap shown;
  list->GetBitmap(160, shown, clYellow);  // "No modification": a green check on nothing
  EXPECT_EQ(clYellow, shown.Canvas().Pixel(0, 15));
  EXPECT_EQ(clYellow, shown.Canvas().Pixel(15, 0));
  int green = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) green += shown.Canvas().Pixel(x, y) == TColor(RGB(0, 150, 0));
  EXPECT_GT(green, 10);
}

TEST_F(SharedImages, AKindsPictureIsFoundOnceAndRememberedUnderTheNameAskedFor) {
  TestFolder folder;
  std::wstring user = folder.Folder(L"user");
  std::wstring plugin = folder.Folder(L"plugin");
  folder.Folder(L"plugin\\Buttons");
  Host.SetFolders(folder.Folder(L"program"), user, L"");
  Host.AddPlugin(plugin);
  folder.Write(L"user\\SchIcon.bmp", PictureFile(0, 0, 200));
  folder.Write(L"plugin\\Buttons\\PcbDoc.bmp", PictureFile(200, 0, 0));
  Host.AddWindowKind(L"SCH", L"SchIcon");

  int before = GetMainImageList()->Count();
  int sch = GetWindowKindImageIndex(L"SCH");
  EXPECT_EQ(before, sch);
  EXPECT_EQ(sch, GetWindowKindImageIndex(L"sch"));  // from the cache, any case
  EXPECT_EQ(1u, Host.Client().CallCount(hostsim::disp::Client_GetWindowKindByName));
  int pcb = GetWindowKindImageIndex(L"PcbDoc");  // no such kind: a picture of its own name
  EXPECT_EQ(before + 1, pcb);
  EXPECT_EQ(before + 2, GetMainImageList()->Count());
  TBitmap shown;
  GetMainImageList()->GetBitmap(pcb, shown, clYellow);
  EXPECT_EQ(clRed & 0xC8, shown.Canvas().Pixel(5, 5) & 0xFF);
  EXPECT_EQ(clYellow, shown.Canvas().Pixel(0, 15));  // masked by its lower-left pixel

  // Not found: -1, not remembered, asked again next time.
  EXPECT_EQ(-1, GetWindowKindImageIndex(L"Nothing"));
  EXPECT_EQ(-1, GetWindowKindImageIndex(L"Nothing"));
  // SCH once, PcbDoc once (no such kind), Nothing each time.
  EXPECT_EQ(4u, Host.Client().CallCount(hostsim::disp::Client_GetWindowKindByName));
}

// The folder's entries, less the test folders that test programs running beside
// this one make and remove in the same shared temporary folder.
std::set<std::wstring> FilesIn(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::wstring_view(data.cFileName).substr(0, 8) != L"tvktest_") names.insert(data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

TEST_F(SharedImages, UnknownKindsAskTheShellByNameAndTouchNoFile) {
  TestFolder folder;
  // A file the old way would have deleted: the temporary folder's parent, by a kind name with "..\".
  std::wstring temp = GetTempFolder();
  std::wstring victimName = L"UNKNOWN_tvk_victim_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  std::wstring victim = folder.Write(victimName, "keep me");
  std::set<std::wstring> tempBefore = FilesIn(temp);
  for (const std::wstring& kind : {std::wstring(L"unknown.PcbDoc"), std::wstring(L"UNKNOWN..\\..\\") + victim,
                                   L"Unknown" + folder.Path() + victimName, std::wstring(L"UNKNOWN:*?<>|")}) {
    int index = GetWindowKindImageIndex(kind);
    EXPECT_GE(index, -1) << kind;
  }
  EXPECT_EQ(0u, Host.Client().CallCount(hostsim::disp::Client_GetWindowKindByName));
  EXPECT_EQ(tempBefore, FilesIn(temp));
  EXPECT_EQ("keep me", ReadAll(victim));
}

}  // namespace
