#pragma once
// Image lists: rows of same-sized pictures on the system's image list, of
// 32-bit colour with a mask, drawn by index; their form data is the common
// controls' image-list stream.
#include "Graphics.h"

#include <commctrl.h>

#include <vector>

namespace tvk {

enum class TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };

class TCustomImageList;

// A registration for an image list's changes; it leaves its list when freed
// and forgets a list that is freed first.
class TChangeLink : public TObject {
public:
  TVK_CLASS(TChangeLink, TObject)
  TChangeLink() = default;
  ~TChangeLink() override;
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  TCustomImageList* Sender() const { return FSender; }
  // Calls OnChange with the list.
  virtual void Change();
  TNotifyEvent OnChange;

private:
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;
};

// What a resource load of an image list reads.
enum class TImageResType { rtBitmap, rtCursor, rtIcon };

class TCustomImageList : public TComponent {
public:
  TVK_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // New picture size; the pictures are dropped.
  void SetSize(int width, int height);
  TColorDepth ColorDepth() const { return FColorDepth; }
  void SetColorDepth(TColorDepth depth);  // the pictures are dropped
  bool Masked() const { return FMasked; }
  void SetMasked(bool masked);            // the pictures are dropped

  // The system image list, made on first use.
  HIMAGELIST Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Takes List over; the picture size follows it.
  void SetHandle(HIMAGELIST list);
  int Count() const;

  // The pictures replaced by those of a bitmap, icon or cursor resource of
  // Instance (a file when LoadFlags hold LR_LOADFROMFILE), cut at Width (0:
  // as wide as high). MaskColor clNone: no mask colour, clDefault: the
  // system's. False, with the pictures kept, when nothing loads.
  virtual bool GetInstRes(HINSTANCE instance, TImageResType type, const WideString& name, int width, UINT loadFlags,
                          TColor maskColor);
  // Of this module's resources.
  bool GetResource(TImageResType type, const WideString& name, int width, UINT loadFlags, TColor maskColor);
  bool ResourceLoad(TImageResType type, const WideString& name, TColor maskColor) {
    return GetResource(type, name, Width(), 0, maskColor);
  }
  bool ResInstLoad(HINSTANCE instance, TImageResType type, const WideString& name, TColor maskColor) {
    return GetInstRes(instance, type, name, Width(), 0, maskColor);
  }
  bool FileLoad(TImageResType type, const WideString& name, TColor maskColor) {
    return GetInstRes(nullptr, type, name, Width(), LR_LOADFROMFILE, maskColor);
  }

  // Each adds as many pictures as fit across Image (a strip) and answers the
  // index of the first, or -1 when none was added.
  int Add(TBitmap& image, TBitmap* mask);
  int AddMasked(TBitmap& image, TColor maskColor);  // MaskColor's pixels become transparent
  int AddIcon(HICON icon);
  void Delete(int index);
  void Clear();

  void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);
  // Picture Index drawn on a bitmap of the list's size, filled with Background first.
  void GetBitmap(int index, TBitmap& bitmap, TColor background = clFuchsia);

  TNotifyEvent OnChange;
  // Every change is also told to the registered links.
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);

  // The form data: the image-list stream as ImageList_Write writes it.
  // EReadError "Failed to read ImageList data from stream" /
  // EWriteError "Failed to write ImageList data to stream" when the system refuses.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  // The binary property "Bitmap", written when the list holds pictures.
  void DefineProperties(TFiler& filer) override;

protected:
  void Change();

private:
  void FreeHandle();
  void CheckIndex(int index) const;

  HIMAGELIST FHandle = nullptr;
  std::vector<TChangeLink*> FChangeLinks;
  int FWidth = 16, FHeight = 16;
  TColorDepth FColorDepth = TColorDepth::cd32Bit;
  bool FMasked = true;
};

// The major version of the common controls the process uses.
int CommonControlsVersion();

class TImageList : public TCustomImageList {
public:
  TVK_CLASS(TImageList, TCustomImageList)
  using TCustomImageList::TCustomImageList;
};

// The picture a drag shows under the mouse, through the system's one
// image-list drag: BeginDrag locks a window and shows picture DragIndex at a
// point of it (window coordinates), DragMove follows the mouse, Hide/Show
// take the picture away while something paints under it, EndDrag ends it.
class TDragImageList : public TCustomImageList {
public:
  TVK_CLASS(TDragImageList, TCustomImageList)
  using TCustomImageList::TCustomImageList;
  ~TDragImageList() override;  // ends a drag still shown

  int DragIndex() const { return FDragIndex; }
  POINT DragHotspot() const { return FDragHotspot; }
  // Picture Index is shown with its point (HotSpotX, HotSpotY) under the mouse.
  void SetDragImage(int index, int hotSpotX, int hotSpotY);

  // False when a drag of this list already runs, the picture is missing or the system refuses.
  virtual bool BeginDrag(HWND window, int x, int y);
  virtual bool DragMove(int x, int y);
  virtual bool EndDrag();
  virtual void ShowDragImage();
  virtual void HideDragImage();

  bool Dragging() const { return FDragging; }
  bool DragImageVisible() const { return FDragging && FVisible; }
  // Where the picture's hot spot is, in the locked window's coordinates.
  POINT DragPosition() const { return FDragPosition; }

private:
  int FDragIndex = 0;
  POINT FDragHotspot{};
  bool FDragging = false;
  bool FVisible = false;
  HWND FDragWindow = nullptr;
  POINT FDragPosition{};
};

}  // namespace tvk
