#pragma once
// Pictures kept small in form streams: an image list and a bitmap whose form
// data is zlib-compressed. At start-up the compressed bitmap takes over the
// picture extension "bmp" (files stay plain BMP files: only form data is
// compressed) and the plain bitmap moves to "bmpx".
#include "ImageLists.h"

namespace tvk {

class TCompressedBitmap : public TBitmap {
public:
  TVK_CLASS(TCompressedBitmap, TBitmap)
  // The plain bitmap's form data through zlib; data that is no zlib stream
  // is read as plain form data.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;
};

class TXPImageList : public TImageList {
public:
  TVK_CLASS(TXPImageList, TImageList)
  using TImageList::TImageList;
  // One binary property, "CompressedBitmap": the image-list stream through
  // zlib, written when the list holds pictures (or the ancestor is no image list).
  void DefineProperties(TFiler& filer) override;
};

bool XPImagesStartup();
void XPImagesShutdown();

}  // namespace tvk
