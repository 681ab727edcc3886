#pragma once
// Image lists: rows of same-sized pictures on the system's image list, of
// 32-bit colour with a mask, drawn by index.
#include "Graphics.h"

#include <commctrl.h>

namespace tvk {

enum class TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };

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
  int Count() const;

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

protected:
  void Change();

private:
  void FreeHandle();
  void CheckIndex(int index) const;

  HIMAGELIST FHandle = nullptr;
  int FWidth = 16, FHeight = 16;
  TColorDepth FColorDepth = TColorDepth::cd32Bit;
  bool FMasked = true;
};

class TImageList : public TCustomImageList {
public:
  TVK_CLASS(TImageList, TCustomImageList)
  using TCustomImageList::TCustomImageList;
};

}  // namespace tvk
