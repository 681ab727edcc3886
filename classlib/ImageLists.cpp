#include "ImageLists.h"

#include "ComRef.h"
#include "WindowClasses.h"

#include <algorithm>
#include <utility>

#include <shlwapi.h>

namespace tvk {

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FChangeLinks) link->FSender = nullptr;
  FreeHandle();
}

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link || std::find(FChangeLinks.begin(), FChangeLinks.end(), link) != FChangeLinks.end()) return;
  if (link->FSender) link->FSender->UnRegisterChanges(link);
  link->FSender = this;
  FChangeLinks.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  if (!link || link->FSender != this) return;
  std::erase(FChangeLinks, link);
  link->FSender = nullptr;
}

void TCustomImageList::FreeHandle() {
  if (FHandle) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  FreeHandle();
  FWidth = width;
  FHeight = height;
  Change();
}

void TCustomImageList::SetColorDepth(TColorDepth depth) {
  if (depth == FColorDepth) return;
  FreeHandle();
  FColorDepth = depth;
  Change();
}

void TCustomImageList::SetMasked(bool masked) {
  if (masked == FMasked) return;
  FreeHandle();
  FMasked = masked;
  Change();
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle) {
    static constexpr UINT kDepth[] = {ILC_COLORDDB, ILC_COLOR4, ILC_COLOR8, ILC_COLOR16, ILC_COLOR24, ILC_COLOR32};
    UINT flags = kDepth[int(FColorDepth)] | (FMasked ? ILC_MASK : 0);
    FHandle = ImageList_Create(FWidth, FHeight, flags, 4, 4);
    if (!FHandle) RaiseLastOSError(L"Cannot create image list");
  }
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST list) {
  if (list == FHandle) return;
  FreeHandle();
  FHandle = list;
  if (list) ImageList_GetIconSize(list, &FWidth, &FHeight);
  Change();
}

bool TCustomImageList::GetInstRes(HINSTANCE instance, TImageResType type, const WideString& name, int width,
                                  UINT loadFlags, TColor maskColor) {
  static constexpr UINT kTypes[] = {IMAGE_BITMAP, IMAGE_CURSOR, IMAGE_ICON};
  const COLORREF mask = maskColor == clNone ? CLR_NONE : maskColor == clDefault ? CLR_DEFAULT : ColorToRGB(maskColor);
  HIMAGELIST list = ImageList_LoadImageW(instance, name.c_str(), width, 4, mask, kTypes[int(type)], loadFlags);
  if (!list) return false;
  SetHandle(list);
  return true;
}

bool TCustomImageList::GetResource(TImageResType type, const WideString& name, int width, UINT loadFlags,
                                   TColor maskColor) {
  return GetInstRes(ClassLibraryInstance(), type, name, width, loadFlags, maskColor);
}

void TCustomImageList::ReadData(TStream& stream) {
  auto adapter = ComRef<IStream>::Adopt(TStreamAdapter::Create(stream));
  HIMAGELIST list = ImageList_Read(adapter.Get());
  if (!list) throw EReadError(L"Failed to read ImageList data from stream");
  SetHandle(list);
}

void TCustomImageList::WriteData(TStream& stream) {
  auto adapter = ComRef<IStream>::Adopt(TStreamAdapter::Create(stream));
  // Version 6 of the common controls writes the same stream through
  // ImageList_WriteEx when asked for the older layout.
  using WriteEx = HRESULT(WINAPI*)(HIMAGELIST, DWORD, IStream*);
  auto writeEx = reinterpret_cast<WriteEx>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "ImageList_WriteEx")));
  bool ok = writeEx && CommonControlsVersion() >= 6 ? SUCCEEDED(writeEx(Handle(), ILP_DOWNLEVEL, adapter.Get()))
                                                     : ImageList_Write(Handle(), adapter.Get()) != FALSE;
  if (!ok) throw EWriteError(L"Failed to write ImageList data to stream");
}

void TCustomImageList::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(L"Bitmap", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
                             Count() > 0);
}

int TCustomImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EInvalidOperation(L"Invalid image list index " + std::to_wstring(index));
}

int TCustomImageList::Add(TBitmap& image, TBitmap* mask) {
  if (image.Empty()) return -1;
  HIMAGELIST list = Handle();
  int index = ImageList_Add(list, image.Handle(), mask ? mask->Handle() : nullptr);
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap& image, TColor maskColor) {
  if (image.Empty()) return -1;
  HIMAGELIST list = Handle();
  int index = FMasked ? ImageList_AddMasked(list, image.Handle(), ColorToRGB(maskColor))
                      : ImageList_Add(list, image.Handle(), nullptr);
  Change();
  return index;
}

int TCustomImageList::AddIcon(HICON icon) {
  if (!icon) return -1;
  int index = ImageList_ReplaceIcon(Handle(), -1, icon);
  Change();
  return index;
}

void TCustomImageList::Delete(int index) {
  CheckIndex(index);
  ImageList_Remove(FHandle, index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) {
  CheckIndex(index);
  ImageList_DrawEx(FHandle, index, canvas.Handle(), x, y, 0, 0, CLR_NONE, CLR_NONE,
                   enabled ? ILD_NORMAL : ILD_NORMAL | ILD_BLEND50);
}

void TCustomImageList::GetBitmap(int index, TBitmap& bitmap, TColor background) {
  CheckIndex(index);
  bitmap.SetSize(FWidth, FHeight);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetColor(background);
  canvas.FillRect(RECT{0, 0, FWidth, FHeight});
  Draw(canvas, 0, 0, index);
}

int CommonControlsVersion() {
  using GetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
  auto get = reinterpret_cast<GetVersion>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "DllGetVersion")));
  DLLVERSIONINFO info{};
  info.cbSize = sizeof info;
  return get && SUCCEEDED(get(&info)) ? int(info.dwMajorVersion) : 0;
}

void TCustomImageList::Change() {
  const std::vector<TChangeLink*> links = FChangeLinks;  // a link may leave while told
  for (TChangeLink* link : links)
    if (std::find(FChangeLinks.begin(), FChangeLinks.end(), link) != FChangeLinks.end()) link->Change();
  if (OnChange) OnChange(this);
}

// ---- TDragImageList

TDragImageList::~TDragImageList() {
  if (FDragging) EndDrag();
}

void TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
  FDragIndex = index;
  FDragHotspot = POINT{hotSpotX, hotSpotY};
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
  if (FDragging || FDragIndex < 0 || FDragIndex >= Count()) return false;
  if (!ImageList_BeginDrag(Handle(), FDragIndex, FDragHotspot.x, FDragHotspot.y)) return false;
  if (!ImageList_DragEnter(window, x, y)) {
    ImageList_EndDrag();
    return false;
  }
  FDragging = true;
  FVisible = true;
  FDragWindow = window;
  FDragPosition = POINT{x, y};
  return true;
}

bool TDragImageList::DragMove(int x, int y) {
  if (!FDragging) return false;
  FDragPosition = POINT{x, y};
  return ImageList_DragMove(x, y) != FALSE;
}

bool TDragImageList::EndDrag() {
  if (!FDragging) return false;
  FDragging = false;
  FVisible = false;
  const bool left = ImageList_DragLeave(std::exchange(FDragWindow, nullptr)) != FALSE;
  ImageList_EndDrag();
  return left;
}

void TDragImageList::ShowDragImage() {
  if (!FDragging) return;
  FVisible = true;
  ImageList_DragShowNolock(TRUE);
}

void TDragImageList::HideDragImage() {
  if (!FDragging) return;
  FVisible = false;
  ImageList_DragShowNolock(FALSE);
}

}  // namespace tvk
