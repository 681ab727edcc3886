#include "XPImages.h"

#include "ZStreams.h"

#include <zlib.h>

namespace tvk {

void TCompressedBitmap::ReadData(TStream& stream) {
  std::int64_t start = stream.Position();
  try {
    TDecompressionStream unzip(stream);
    TBitmap::ReadData(unzip);
  } catch (const EDecompressionError& e) {
    if (e.Code() != Z_DATA_ERROR) throw;
    // Not a zlib stream: plain form data, as older forms hold it.
    stream.SetPosition(start);
    TBitmap::ReadData(stream);
  }
}

void TCompressedBitmap::WriteData(TStream& stream) {
  TCompressionStream zip(TCompressionLevel::clMax, stream);
  TBitmap::WriteData(zip);
  zip.Finish();
}

void TXPImageList::DefineProperties(TFiler& filer) {
  // The plain image list's own property is left out.
  TComponent::DefineProperties(filer);
  TPersistent* ancestor = filer.Ancestor();
  bool hasData = ancestor ? !dynamic_cast<TCustomImageList*>(ancestor) : Count() > 0;
  filer.DefineBinaryProperty(
      L"CompressedBitmap",
      [this](TStream& s) {
        TDecompressionStream unzip(s);
        ReadData(unzip);
      },
      [this](TStream& s) {
        TCompressionStream zip(TCompressionLevel::clMax, s);
        WriteData(zip);
        zip.Finish();
      },
      hasData);
}

bool XPImagesStartup() {
  TPicture::UnregisterGraphicClass(GraphicClassOf<TBitmap>());
  TPicture::RegisterFileFormat(L"bmp", kBitmapsDescription, GraphicClassOf<TCompressedBitmap>());
  TPicture::RegisterFileFormat(L"bmpx", kBitmapsDescription, GraphicClassOf<TBitmap>());
  return true;
}

void XPImagesShutdown() {
  // The registry as it was: "bmp" for the plain bitmap only.
  TPicture::UnregisterGraphicClass(GraphicClassOf<TCompressedBitmap>());
  TPicture::UnregisterGraphicClass(GraphicClassOf<TBitmap>());
  TPicture::RegisterFileFormat(L"bmp", kBitmapsDescription, GraphicClassOf<TBitmap>());
}

}  // namespace tvk
