#include "Extension.Images.h"

#include "WindowClasses.h"
#include "ZUL.Types.h"
#include "ZUL.Util.h"

#include <shellapi.h>

#include <memory>
#include <utility>
#include <vector>

namespace tvk {

namespace {

void BuildImageListForm(TComponent& root) {
  auto& form = static_cast<TImageListForm&>(root);
  form.SetName(L"ImageListForm");
  auto* list = new TImageList(&form);
  list->SetName(L"Main_ImageList");
  list->SetSize(16, 16);
  list->SetColorDepth(TColorDepth::cd32Bit);
  TBitmap strip;
  strip.LoadFromResourceName(ClassLibraryInstance(), L"TIMAGELISTFORM");
  list->AddMasked(strip, strip.TransparentColor());
  form.Main_ImageList = list;
}
TVK_DESIGN(TImageListForm, BuildImageListForm);

std::unique_ptr<TImageListForm> gImageListForm;
// Window-kind names (compared without regard to case) and their pictures.
std::vector<std::pair<WideString, int>> gKindImages;

int CachedIndex(const WideString& kindName) {
  for (const auto& [name, index] : gKindImages)
    if (SameTextIgnoringCase(name, kindName)) return index;
  return -1;
}

int Remember(const WideString& kindName, int index) {
  if (index >= 0) gKindImages.emplace_back(kindName, index);
  return index;
}

TImageList& MainList() {
  TImageList* list = GetMainImageList();
  if (!list) throw Exception(L"The shared image list cannot be made");
  return *list;
}

// The system's small icon for a file of that name, asked by name alone: no
// file is made, renamed or deleted, whatever the name holds.
int AddSystemFileIcon(const WideString& kindName) {
  SHFILEINFOW info{};
  auto systemList = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(kindName.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
  if (!systemList) return -1;
  TImageList& list = MainList();
  TBitmap picture;
  picture.SetSize(list.Width(), list.Height());
  picture.Canvas().Brush().SetColor(clFuchsia);
  picture.Canvas().FillRect(RECT{0, 0, list.Width(), list.Height()});
  ImageList_Draw(systemList, info.iIcon, picture.Canvas().Handle(), 0, 0, ILD_NORMAL);
  return Remember(kindName, list.AddMasked(picture, picture.TransparentColor()));
}

bool ExistingFile(const WideString& folder, const WideString& name) {
  // An empty folder is no host folder: the current folder is not looked in.
  return !folder.empty() && FileExists(folder + name);
}

}  // namespace

TImageList* GetMainImageList() {
  if (!gImageListForm) {
    TImageListForm* made = nullptr;
    if (FAILED(Guard([&] { made = CreateComponent<TImageListForm>(nullptr); }))) return nullptr;
    gImageListForm.reset(made);
  }
  return gImageListForm->Main_ImageList;
}

int AddImageFromSystemPath(const WideString& fileNameOnly, const WideString& kindName) {
  WideString file = fileNameOnly + L".bmp";
  WideString path;
  for (const WideString& folder : {GetUserFolder(), GetProgramFolder()}) {
    if (ExistingFile(folder, file)) {
      path = folder + file;
      break;
    }
  }
  if (path.empty()) {
    ForEachPluginFolder([&](const WideString& folder, bool& stop) {
      for (const wchar_t* sub : {L"DocumentImages\\", L"Buttons\\"}) {
        if (ExistingFile(folder + sub, file)) {
          path = folder + sub + file;
          stop = true;
          return;
        }
      }
    });
  }
  if (path.empty()) return -1;
  TBitmap picture;
  picture.LoadFromFile(path);
  return Remember(kindName, MainList().AddMasked(picture, picture.TransparentColor()));
}

int GetWindowKindImageIndex(const WideString& kindName) {
  int cached = CachedIndex(kindName);
  if (cached >= 0) return cached;
  if (UpperCaseText(kindName).starts_with(L"UNKNOWN")) return AddSystemFileIcon(kindName);
  IServerWindowKind kind = GetHostClient().GetWindowKindByName(kindName);
  int index = kind ? AddImageFromSystemPath(kind.GetIconName(), kindName) : -1;
  if (index < 0) index = AddImageFromSystemPath(kindName, kindName);
  return index;
}

void ImagesUnitShutdown() {
  gKindImages.clear();
  gImageListForm.reset();
}

}  // namespace tvk
