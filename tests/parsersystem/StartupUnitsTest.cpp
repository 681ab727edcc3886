// The parser library's units: counted start-up and shut-down, the registry
// key, release notification, the design-time registration hooks and class
// items, packaged collections, and the utility routines.
#include <gtest/gtest.h>

#include "dcconsts.h"
#include "dcdevenv.h"
#include "dcmemhook.h"
#include "dcparser.h"
#include "dcsystem.h"
#include "support/ErrorText.h"

using namespace tvk;
using testsupport::ErrorText;

namespace {

TEST(StartupUnits, AUnitsWorkRunsAtTheFirstStartAndTheLastStop) {
  TStartupCounter counter;
  int started = 0, stopped = 0;
  auto start = [&] { return ++started > 0; };
  auto stop = [&] { ++stopped; };
  EXPECT_TRUE(counter.Start(start));
  EXPECT_TRUE(counter.Start(start));
  EXPECT_EQ(1, started);
  counter.Stop(stop);
  EXPECT_EQ(0, stopped);
  counter.Stop(stop);
  counter.Stop(stop);  // one stop too many: nothing
  EXPECT_EQ(1, stopped);
  // Work that fails leaves the unit stopped: the next start tries again.
  EXPECT_FALSE(counter.Start([] { return false; }));
  EXPECT_THROW(counter.Start([]() -> bool { throw Exception(L"no"); }), Exception);
  EXPECT_EQ(0, counter.Count());
  EXPECT_TRUE(counter.Start(start));
  EXPECT_EQ(2, started);
  counter.Stop(stop);
}

TEST(StartupUnits, TheRegistryKeyLivesWhileTheUnitRuns) {
  EXPECT_TRUE(RegistryBaseKey().empty());
  ASSERT_TRUE(ConstsUnitStartup());
  ASSERT_TRUE(ConstsUnitStartup());
  EXPECT_EQ(L"Software\\Tovik Parser Library\\1.0", RegistryBaseKey());
  ConstsUnitShutdown();
  EXPECT_FALSE(RegistryBaseKey().empty());
  ConstsUnitShutdown();
  EXPECT_TRUE(RegistryBaseKey().empty());
}

class TWatcher : public TObject {
public:
  void Heard(std::intptr_t data) {
    Data.push_back(data);
    if (Raise) throw Exception(L"watcher failed");
  }
  TBlockWatcher Method() { return TBlockWatcher::Bind<&TWatcher::Heard>(this); }
  std::vector<std::intptr_t> Data;
  bool Raise = false;
};

TEST(ReleaseNotification, WatchersHearOnceTheLibrarysObjectIsFreed) {
  ASSERT_TRUE(MemHookUnitStartup());
  ASSERT_TRUE(MemHookUnitStartup());
  TWatcher first, second, unwatched;
  first.Raise = true;  // does not keep the others from hearing

  auto* list = new TNotifierList;
  WatchBlock(list, 42, first.Method());
  WatchBlock(list, 7, second.Method());  // the block's data stays the first
  WatchBlock(list, 7, first.Method());   // each watcher once
  auto* fs = new TWin32FileSystem(nullptr);
  WatchBlock(fs, 1, unwatched.Method());
  UnwatchBlock(fs, unwatched.Method());
  EXPECT_FALSE(IsBlockWatched(fs));
  delete fs;
  delete list;
  EXPECT_EQ((std::vector<std::intptr_t>{42}), first.Data);
  EXPECT_EQ((std::vector<std::intptr_t>{42}), second.Data);
  EXPECT_TRUE(unwatched.Data.empty());
  EXPECT_FALSE(IsBlockWatched(list));  // the entry went with the block

  int plain = 0;
  WatchBlock(&plain, 3, second.Method());
  BlockReleased(&plain);  // any block whose owner announces it
  EXPECT_EQ((std::vector<std::intptr_t>{42, 3}), second.Data);

  // The last stop frees the registry; releases are then not watched.
  MemHookUnitShutdown();
  auto* parser = new TCustomDCParser(nullptr);
  WatchBlock(parser, 9, second.Method());
  MemHookUnitShutdown();
  EXPECT_FALSE(IsBlockWatched(parser));
  WatchBlock(parser, 9, second.Method());
  delete parser;
  EXPECT_EQ((std::vector<std::intptr_t>{42, 3}), second.Data);
  ASSERT_TRUE(MemHookUnitStartup());
  MemHookUnitShutdown();  // and the registry it left behind goes too
}

// A packaged collection that records the messages it is sent.
class TRecordingCollection : public TPackagedCollection {
public:
  TVK_CLASS(TRecordingCollection, TPackagedCollection)
  explicit TRecordingCollection(LRESULT answer = 0)
      : TPackagedCollection(CollectionItemClassOf<TPackagedCollectionItem>()), FAnswer(answer) {}
  std::vector<UINT> Heard;
  TRecordingCollection* FreeOnMessage = nullptr;

protected:
  void DefaultHandler(TMessage& message) override {
    Heard.push_back(message.Msg);
    message.Result = FAnswer;
    delete std::exchange(FreeOnMessage, nullptr);
  }

private:
  LRESULT FAnswer;
};

void ForeignNoIcon(std::span<const TClass>) {}

TEST(SystemUnit, HooksAreInstalledOnceAndOnlyTheirOwnAreEmptied) {
  RegisterNoIconProc = &ForeignNoIcon;
  ASSERT_TRUE(SystemUnitStartup());
  ASSERT_TRUE(SystemUnitStartup());
  EXPECT_NE(nullptr, RegisterComponentsProc);
  EXPECT_NE(nullptr, RegisterNonActiveXProc);
  EXPECT_EQ(&ForeignNoIcon, RegisterNoIconProc);
  EXPECT_EQ(&TWin32FileSystem::StaticClassInfo(), GetClass(L"twin32filesystem"));
  EXPECT_EQ(&TResFileSystem::StaticClassInfo(), GetClass(L"TResFileSystem"));
  SystemUnitShutdown();
  EXPECT_NE(nullptr, RegisterComponentsProc);
  SystemUnitShutdown();
  EXPECT_EQ(nullptr, RegisterComponentsProc);
  EXPECT_EQ(nullptr, RegisterNonActiveXProc);
  EXPECT_EQ(&ForeignNoIcon, RegisterNoIconProc);
  RegisterNoIconProc = nullptr;
  EXPECT_EQ(L"Invalid component registration", ErrorText([] { RegisterComponents(L"x", {}); }));
}

class TMyLineParser : public TStringsParser {
public:
  TVK_CLASS(TMyLineParser, TStringsParser)
  using TStringsParser::TStringsParser;
};

TEST(SystemUnit, DesignTimeRegistrationFillsTheClassItems) {
  ASSERT_TRUE(SystemUnitStartup());
  TRecordingCollection watcher;
  const TClass parsers[] = {&TStringsParser::StaticClassInfo(), &TCustomDCParser::StaticClassInfo()};
  const TClass lineParser[] = {&TStringsParser::StaticClassInfo()};
  RegisterComponents(L"Parsers", parsers);
  RegisterNoIcon(lineParser);
  RegisterComponents(L"Other", lineParser);  // the first page stays
  RegisterNonActiveX(lineParser, 0);
  EXPECT_EQ((std::vector<UINT>{kMsgClassesRegistered, kMsgClassesRegistered, kMsgClassesRegistered,
                               kMsgClassesRegistered}),
            watcher.Heard);

  TClassItem* item = ClassItems().FindItem(&TStringsParser::StaticClassInfo());
  ASSERT_NE(nullptr, item);
  EXPECT_EQ(TClassItemCats(icShowinPalette | icNoIcon | icNonActiveX), item->Categories);
  EXPECT_EQ(L"Parsers", item->PalettePage);
  EXPECT_EQ(L"", item->Areas);
  EXPECT_EQ(2, ClassItems().Count());
  EXPECT_EQ(&TStringsParser::StaticClassInfo(), GetClass(L"TStringsParser"));

  // The first item of the class or an ancestor decides.
  EXPECT_FALSE(ClassItems().IsIconClass(&TStringsParser::StaticClassInfo()));
  EXPECT_FALSE(ClassItems().IsIconClass(&TMyLineParser::StaticClassInfo()));
  EXPECT_TRUE(ClassItems().IsIconClass(&TCustomDCParser::StaticClassInfo()));
  EXPECT_TRUE(ClassItems().IsIconClass(&TWin32FileSystem::StaticClassInfo()));  // no item

  // Items of a design group go with it.
  CurrentGroup = 5;
  const TClass fileSystems[] = {&TResFileSystem::StaticClassInfo()};
  RegisterComponents(L"Files", fileSystems);
  CurrentGroup = -1;
  EXPECT_EQ(5, ClassItems().FindItem(&TResFileSystem::StaticClassInfo())->DesignGroup);
  EXPECT_TRUE(BroadcastToPackagedCollections(kMsgDeleteDesignGroup, 5, 0, false));
  EXPECT_EQ(nullptr, ClassItems().FindItem(&TResFileSystem::StaticClassInfo()));
  EXPECT_EQ(2, ClassItems().Count());

  SystemUnitShutdown();
  for (TClass c : parsers) UnRegisterClass(c);
}

TEST(ClassItems, CategoriesAndFieldClasses) {
  TClassItems items;
  TClass a = &TCustomDCParser::StaticClassInfo(), b = &TStringsParser::StaticClassInfo(),
         c = &TWin32FileSystem::StaticClassInfo();
  EXPECT_EQ(items.RegisterClass(a, icField), items.RegisterClass(a, icNoIcon));
  items.RegisterClass(b, 0);
  items.RegisterClass(c, icField);
  EXPECT_EQ(TClassItemCats(icField | icNoIcon), items.FindItem(a)->Categories);
  items.UpdateClassCategory(a, icShowinPalette, icNoIcon);
  EXPECT_EQ(TClassItemCats(icField | icShowinPalette), items.FindItem(a)->Categories);
  const TClass two[] = {b, &TResFileSystem::StaticClassInfo()};  // a class without an item is passed over
  items.UpdateClassesCategory(two, icField, 0);
  items.UpdateAllClassesCategories(icNonActiveX, icShowinPalette);
  EXPECT_EQ(TClassItemCats(icField | icNonActiveX), items.FindItem(a)->Categories);
  std::vector<TClass> fields{c};
  items.ListFieldClasses(fields);
  EXPECT_EQ((std::vector<TClass>{a, b, c}), fields);
  items.UpdateClassCategory(b, 0, icField);
  items.ListFieldClasses(fields);
  EXPECT_EQ((std::vector<TClass>{a, c}), fields);
}

TEST(PackagedCollections, ItemsCarryTheirGroupAndMessagesReachEveryCollection) {
  TRecordingCollection early, late(1);
  CurrentGroup = 3;
  TPackagedCollectionItem* item = late.Add();
  CurrentGroup = -1;
  late.Add();
  EXPECT_EQ(3, item->DesignGroup);
  EXPECT_EQ(0, item->PackageHandle);
  EXPECT_EQ(-1, late.Last()->DesignGroup);

  // The last made first; a handled message stops the walk only when asked to.
  EXPECT_FALSE(BroadcastToPackagedCollections(WM_USER, 0, 0, true));
  EXPECT_EQ((std::vector<UINT>{WM_USER}), late.Heard);
  EXPECT_TRUE(early.Heard.empty());
  EXPECT_TRUE(BroadcastToPackagedCollections(WM_USER + 1, 0, 0, false));
  EXPECT_EQ((std::vector<UINT>{WM_USER + 1}), early.Heard);

  // A collection freed during the walk is not sent the message; none hears it twice.
  TRecordingCollection* doomed = new TRecordingCollection;
  TRecordingCollection last;
  last.FreeOnMessage = doomed;
  BroadcastToPackagedCollections(WM_USER + 2, 0, 0, false);
  EXPECT_EQ(WM_USER + 2, last.Heard.back());
  EXPECT_EQ(1u, last.Heard.size());
  EXPECT_EQ(3u, late.Heard.size());
  EXPECT_EQ(2u, early.Heard.size());

  TMessage remove{kMsgDeleteDesignGroup, 3, 0, 0};
  late.Dispatch(remove);
  EXPECT_EQ(1, late.Count());
  EXPECT_EQ(3u, late.Heard.size());  // handled by the collection, not the default
}

TEST(Utilities, FormatAndRaise) {
  EXPECT_EQ(L"a and 5% of -3", FormatString(L"%s and %d%% of %D", {L"a", 5, -3}));
  EXPECT_EQ(L"x", FormatString(L"%S", {L"x", 4}));  // arguments left over are not used
  EXPECT_THROW(FormatString(L"%d", {L"a"}), Exception);
  EXPECT_THROW(FormatString(L"%s %s", {L"a"}), Exception);
  EXPECT_THROW(FormatString(L"%x", {1}), Exception);
  EXPECT_EQ(L"Can't delete file C:\\a", ErrorText([] { RaiseErrorFmt(L"Can't delete file %S", {L"C:\\a"}); }));
  EXPECT_EQ(L"plain %d", ErrorText([] { RaiseError(L"plain %d"); }));
}

int gUnitsFreed = 0;
struct TUnitCounted : TObject {
  ~TUnitCounted() override { ++gUnitsFreed; }
};

TEST(Utilities, ListsAndTheirObjects) {
  gUnitsFreed = 0;
  TList* list = new TList;
  for (int i = 0; i < 3; ++i) list->Add(new TUnitCounted);
  FreeListWithObjects(list);
  EXPECT_EQ(nullptr, list);
  EXPECT_EQ(3, gUnitsFreed);
  FreeListWithObjects(list);  // nothing to free

  gUnitsFreed = 0;
  auto* owning = new TStringList;
  owning->SetOwnsObjects(true);  // must not free them a second time
  owning->AddObject(L"a", new TUnitCounted);
  owning->AddObject(L"b", nullptr);
  TStrings* strings = owning;
  FreeStringsWithObjects(strings);
  EXPECT_EQ(nullptr, strings);
  EXPECT_EQ(1, gUnitsFreed);

  TStringList words;
  int changes = 0;
  words.OnChange = [&](TObject*) { ++changes; };
  words.Add(L"old");
  changes = 0;
  const wchar_t* table[] = {L"zero", L"one", L"two"};
  FillStringsFromArray(words, table);
  EXPECT_EQ(1, changes);
  ASSERT_EQ(3, words.Count());
  EXPECT_EQ(L"two", words[2]);
  EXPECT_EQ(2, ObjectToInt(words.Objects(2)));

  auto sorted = CreateSortedList();
  sorted->Add(L"b");
  sorted->Add(L"A");
  EXPECT_EQ(L"A", (*sorted)[0]);
}

TEST(Utilities, CommaListsMerge) {
  struct Row {
    const wchar_t* A;
    const wchar_t* B;
    const wchar_t* Merged;
  };
  for (const Row& row : {Row{L"a,b", L"B,c", L"a,b,c"}, Row{L"", L"x", L"x"}, Row{L"x", L"", L"x"},
                         Row{L"\"x y\",z", L"Z,w,w", L"\"x y\",z,w"}, Row{L"a b", L"", L"a,b"}})
    EXPECT_EQ(row.Merged, MergeCommaLists(row.A, row.B)) << row.A << L" + " << row.B;
}

TEST(DevelopmentEnvironment, SystemFoldersAndEmptyLookUps) {
  for (const WideString& folder : {SystemFolder(), WindowsFolder(), ProgramFilesFolder()}) {
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_TRUE(DirectoryExists(folder)) << folder;
  }
  EXPECT_TRUE(DevEnvReleases().empty());
  EXPECT_EQ(L"", DevEnvValue(0, L"RootDir"));
  EXPECT_EQ(L"", DevEnvRootFolder(-1));
  EXPECT_EQ(L"", DevEnvHelpFolder(3));
}

}  // namespace
