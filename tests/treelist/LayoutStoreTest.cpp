// The layout store: band order by ID, column places by name, ini sections of
// neighbouring controls, the registry, and the automatic save at destruction.
#include "classlib/ClassLibTest.h"
#include "Forms.h"
#include "IniFiles.h"
#include "PublishedTreeList.h"
#include "Registry.h"

namespace treelist_test {
namespace {

using tvk::OptionBit;
using tvk::TdxTreeList;

class TLoadableTreeList : public TdxTreeList {
public:
  TVK_CLASS(TLoadableTreeList, TdxTreeList)
  using TdxTreeList::TdxTreeList;
  void RunLoaded() { Loaded(); }
};

// A form named Form1 whose tree lists have three bands (IDs 0, 1, 2) and a column in each.
struct TLayoutForm {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  TLayoutForm() { Form->SetName(L"Form1"); }
  TLoadableTreeList* AddTree(const wchar_t* name) {
    auto* tree = tvk::CreateComponent<TLoadableTreeList>(Form.get());
    tree->SetName(name);
    tree->SetParent(Form.get());
    tree->Bands().Add();
    tree->Bands().Add();
    for (int i = 0; i < 3; ++i) tree->CreateColumnEx(tvk::ComponentClassOf<tvk::TdxTreeListColumn>(), Form.get());
    for (int i = 0; i < 3; ++i) tree->Columns(i)->SetBandIndex(i);
    return tree;
  }
};

std::vector<int> BandIds(TdxTreeList& tree) {
  std::vector<int> ids;
  for (int i = 0; i < tree.Bands().Count(); ++i) ids.push_back(tree.Bands().GetItem(i)->ID());
  return ids;
}

std::vector<std::wstring> ColumnNames(TdxTreeList& tree) {
  std::vector<std::wstring> names;
  for (int i = 0; i < tree.ColumnCount(); ++i) names.push_back(tree.Columns(i)->Name());
  return names;
}

// A file in the temporary folder, removed (read-only or not) when the test ends.
struct TTempFile {
  std::wstring Path;
  explicit TTempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    Path = std::wstring(folder) + name + std::to_wstring(GetCurrentProcessId()) + L".ini";
    DeleteFileW(Path.c_str());
  }
  ~TTempFile() {
    SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Path.c_str());
  }
};

std::vector<std::wstring> Sections(const std::wstring& file) {
  tvk::TMemIniFile ini(file);
  tvk::TStringList list;
  ini.ReadSections(list);
  std::vector<std::wstring> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.Get(i));
  std::sort(names.begin(), names.end());
  return names;
}

// Bands in the order 2, 0, 1, the first column hidden and 80 wide, the last one first and sorted.
void Arrange(TdxTreeList& tree) {
  static_cast<tvk::TdxTreeListBand*>(tree.Bands().FindItemID(2))->SetIndex(0);
  tree.Bands().GetItem(1)->SetWidth(123);
  tree.Columns(0)->SetVisible(false);
  tree.Columns(0)->SetWidth(80);
  tree.Columns(2)->SetSorted(tvk::csDown);
  tree.Columns(2)->SetIndex(0);
  tree.SetShowGrid(true);
}

void ExpectArranged(TdxTreeList& tree, const std::wstring& name) {
  EXPECT_EQ((std::vector<int>{2, 0, 1}), BandIds(tree));
  EXPECT_EQ(123, tree.Bands().GetItem(1)->Width());
  EXPECT_EQ((std::vector<std::wstring>{name + L"Column3", name + L"Column1", name + L"Column2"}), ColumnNames(tree));
  EXPECT_FALSE(tree.ColumnByName(name + L"Column1")->Visible());
  EXPECT_EQ(80, tree.ColumnByName(name + L"Column1")->Width());
  EXPECT_EQ(tvk::csDown, tree.ColumnByName(name + L"Column3")->Sorted());
  EXPECT_TRUE(tree.FShowGrid);
}

TEST(TreeListLayoutStore, AnIniLayoutRestoresBandsByIdAndColumnsByNameBesideANeighbour) {
  TTempFile file(L"tvk_layout_");
  {
    TLayoutForm form;
    TLoadableTreeList* tl1 = form.AddTree(L"TL1");
    TLoadableTreeList* tl10 = form.AddTree(L"TL10");
    tl10->SaveToIniFile(file.Path);
    tl1->SetOptionsEx(tl1->OptionsEx() | OptionBit(tvk::aoAutoHeaderPanelHeight));
    Arrange(*tl1);
    tl1->SaveToIniFile(file.Path);
    tl1->SaveToIniFile(file.Path);  // a second save leaves no stale section behind
    const std::vector<std::wstring> sections = Sections(file.Path);
    EXPECT_NE(sections.end(), std::find(sections.begin(), sections.end(), L"\\Form1_TL10\\Columns\\TL10Column1"));
    EXPECT_NE(sections.end(), std::find(sections.begin(), sections.end(), L"\\Form1_TL1\\Band\\Band0"));
    for (const std::wstring& section : sections) EXPECT_EQ(L'\\', section[0]) << section;
    EXPECT_EQ(L"-1", tvk::TMemIniFile(file.Path).ReadString(L"\\Form1_TL1", L"HeaderPanelRowCount", L"?"))
        << "the automatic header height is stored as -1";
  }
  TLayoutForm form;
  TLoadableTreeList* tl1 = form.AddTree(L"TL1");
  TLoadableTreeList* tl10 = form.AddTree(L"TL10");
  tl1->SetOptionsEx(tl1->OptionsEx() | OptionBit(tvk::aoAutoHeaderPanelHeight));
  tl1->LoadFromIniFile(file.Path);
  ExpectArranged(*tl1, L"TL1");
  EXPECT_TRUE(tl1->OptionsEx() & OptionBit(tvk::aoAutoHeaderPanelHeight)) << "-1 keeps the automatic height";
  tl10->LoadFromIniFile(file.Path);
  EXPECT_EQ((std::vector<int>{0, 1, 2}), BandIds(*tl10));
}

TEST(TreeListLayoutStore, TheSectionFollowsTheFormTheControlWasLastPlacedOn) {
  TTempFile file(L"tvk_layout_form_");
  TLayoutForm form;
  TLoadableTreeList* tree = form.AddTree(L"TL1");
  tree->SetParent(nullptr);
  tree->SaveToIniFile(file.Path);
  EXPECT_EQ(L"Form1", tree->ParentFormName());
  const std::vector<std::wstring> sections = Sections(file.Path);
  EXPECT_NE(sections.end(), std::find(sections.begin(), sections.end(), L"\\Form1_TL1"));
  tree->SetIniSectionName(L"Own");
  tree->SaveToIniFile(file.Path);
  const std::vector<std::wstring> after = Sections(file.Path);
  EXPECT_NE(after.end(), std::find(after.begin(), after.end(), L"\\Own\\Columns\\TL1Column2"));
}

const wchar_t kLayoutKey[] = L"Software\\TovikTests\\TreeListLayout";

bool KeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

TEST(TreeListLayoutStore, ARegistryLayoutRoundTripsAndAMissingKeyChangesNothing) {
  const std::wstring key = kLayoutKey + std::to_wstring(GetCurrentProcessId());
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  {
    TLayoutForm form;
    TLoadableTreeList* tree = form.AddTree(L"TL1");
    tree->LoadFromRegistry(key);
    EXPECT_FALSE(KeyExists(key)) << "loading creates no key";
    EXPECT_EQ((std::vector<int>{0, 1, 2}), BandIds(*tree));
    Arrange(*tree);
    tree->SaveToRegistry(key);
    EXPECT_TRUE(KeyExists(key + L"\\Columns\\TL1Column3"));
  }
  {
    TLayoutForm form;
    TLoadableTreeList* tree = form.AddTree(L"TL1");
    tree->LoadFromRegistry(L"\\" + key + L"\\\\");
    ExpectArranged(*tree, L"TL1");
    tree->EraseRegistryEntries(key);
    EXPECT_FALSE(KeyExists(key + L"\\Columns"));
    EXPECT_FALSE(KeyExists(key + L"\\Band"));
    EXPECT_TRUE(KeyExists(key));
  }
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(TreeListLayoutStore, TheAutomaticLoadReadsErasesAndLeavesTheAutomaticHeaderHeightOff) {
  const std::wstring key = kLayoutKey + std::to_wstring(GetCurrentProcessId()) + L"Auto";
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
  {
    TLayoutForm form;
    TLoadableTreeList* tree = form.AddTree(L"TL1");
    tree->SetOptions(tree->Options() | OptionBit(tvk::aoStoreToRegistry));
    tree->SetRegistryPath(key);
    Arrange(*tree);
  }  // saved as the control goes
  EXPECT_TRUE(KeyExists(key + L"\\Band\\Band0"));
  TLayoutForm form;
  TLoadableTreeList* tree = form.AddTree(L"TL1");
  tree->SetOptions(tree->Options() | OptionBit(tvk::aoStoreToRegistry));
  tree->SetRegistryPath(key);
  tree->RunLoaded();
  EXPECT_TRUE(tree->LoadedLayout());
  ExpectArranged(*tree, L"TL1");
  EXPECT_FALSE(KeyExists(key + L"\\Band")) << "the layout entries are erased once read";
  EXPECT_TRUE(KeyExists(key));
  EXPECT_FALSE(tree->OptionsEx() & OptionBit(tvk::aoAutoHeaderPanelHeight));
  tree->SetOptions(tree->Options() & ~OptionBit(tvk::aoStoreToRegistry));
  RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

TEST(TreeListLayoutStore, AFailingSaveAtDestructionGoesToTheHandlerAndTheControlStillGoes) {
  // An ini file that cannot be written: a folder stands where the file would be.
  TTempFile file(L"tvk_layout_unwritable_");
  ASSERT_TRUE(CreateDirectoryW(file.Path.c_str(), nullptr));
  classlib_test::ExceptionRecorder recorder;
  auto form = std::make_unique<TLayoutForm>();
  TLoadableTreeList* tree = form->AddTree(L"TL1");
  tree->SetOptions(tree->Options() | OptionBit(tvk::aoStoreToIniFile));
  tree->SetIniFileName(file.Path);
  form.reset();  // the save raises inside the destructor; the form and its controls still go
  RemoveDirectoryW(file.Path.c_str());
  ASSERT_EQ(1u, recorder.Messages.size());
  EXPECT_NE(std::wstring::npos, recorder.Messages[0].find(file.Path));
}

}  // namespace
}  // namespace treelist_test
