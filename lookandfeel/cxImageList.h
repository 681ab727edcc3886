#pragma once
// The library's image list: the system image list underneath and, in step
// with it, every image kept as an image and mask bitmap in a collection, so
// that 32-bit images keep their alpha in stored forms and are drawn blended,
// stretched, smoothed or disabled through the glyph drawing.
#include "Collections.h"
#include "ImageLists.h"
#include "cxGraphics.h"

#include <memory>

namespace tvk {

class TcxImageList;

class TcxImageInfo : public TPersistent {
public:
  TVK_CLASS(TcxImageInfo, TPersistent)
  TcxImageInfo();
  void Assign(const TPersistent& ASource) override;
  TcxBitmap& Image() { return *FImage; }
  TcxBitmap& Mask() { return *FMask; }
  TcxBitmap& InternalMask() { return *FInternalMask; }
  // Assigns the picture and realises its handle.
  void SetImage(TBitmap* AValue);
  void SetMask(TBitmap* AValue);
  TColor MaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor AValue) { FMaskColor = AValue; }
  // The GDI handles of the non-empty image and mask go; their pixels stay.
  void MakeDormant();

private:
  std::unique_ptr<TcxBitmap> FImage, FMask;
  TColor FMaskColor = clNone;
  std::unique_ptr<TcxBitmap> FInternalMask;
};

class TcxImageInfoItem : public TCollectionItem {
public:
  TVK_CLASS(TcxImageInfoItem, TCollectionItem)
  // Takes CompressData from the collection.
  explicit TcxImageInfoItem(TCollection* ACollection);
  TcxImageInfoItem(TCollection* ACollection, TBitmap* AImage, TBitmap* AMask, TColor AMaskColor);
  TcxImageInfo& ImageInfo() { return FImageInfo; }
  // Only when both image and mask compress.
  bool CompressData() const;
  void SetCompressData(bool AValue);

private:
  TcxImageInfo FImageInfo;
};

class TcxImageInfoCollection : public TCollection {
public:
  TVK_CLASS(TcxImageInfoCollection, TCollection)
  explicit TcxImageInfoCollection(TcxImageList* AImageList);
  TcxImageInfoItem* Items(int AIndex) const { return static_cast<TcxImageInfoItem*>(TCollection::Items(AIndex)); }
  TcxImageInfoItem* Add(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor);
  void Move(int ACurrentIndex, int ANewIndex);
  // -1: all.
  void Delete(int AIndex);
  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool AValue);
  TcxImageList* ImageList() const { return FImageList; }

private:
  bool FCompressData = false;
  TcxImageList* FImageList;
};

// Flags of LoadImage.
enum TLoadResource : unsigned {
  lrDefaultColor = 1, lrDefaultSize = 2, lrFromFile = 4, lrMap3DColors = 8, lrTransparent = 16, lrMonoChrome = 32
};
using TLoadResources = unsigned;

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

class TcxImageList : public TDragImageList {
public:
  TVK_CLASS(TcxImageList, TDragImageList)
  explicit TcxImageList(TComponent* AOwner = nullptr);
  ~TcxImageList() override;

  bool AlphaBlending() const { return FAlphaBlending; }
  void SetAlphaBlending(bool AValue) { FAlphaBlending = AValue; }
  bool CompressData() const { return FImages->CompressData(); }
  void SetCompressData(bool AValue) { FImages->SetCompressData(AValue); }
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle AValue) { FDrawingStyle = AValue; }
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType AValue) { FImageType = AValue; }
  int FormatVersion() const { return FFormatVersion; }
  int DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(int AValue) { FDesignInfo = AValue; }
  TcxImageInfoCollection& ImageInfos() { return *FImages; }

  void BeginUpdate() { ++FLockCount; }
  void CancelUpdate() { --FLockCount; }
  void EndUpdate();

  // Each returns the new index or -1.
  int Add(TBitmap* AImage, TBitmap* AMask);
  int AddMasked(TBitmap* AImage, TColor AMaskColor);
  int AddIcon(HICON AIcon);
  int AddBitmap(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor, bool AStretch, bool ASmooth);
  int AddImage(TCustomImageList* AValue, int AIndex);
  void AddImages(TCustomImageList* AImages);
  // A negative end means the last image.
  void CopyImages(TCustomImageList* AImages, int AStartIndex = 0, int AEndIndex = -1);
  void Insert(int AIndex, TBitmap* AImage, TBitmap* AMask);
  void InsertMasked(int AIndex, TBitmap* AImage, TColor AMaskColor);
  void InsertIcon(int AIndex, HICON AIcon);
  void Replace(int AIndex, TBitmap* AImage, TBitmap* AMask);
  void ReplaceMasked(int AIndex, TBitmap* AImage, TColor AMaskColor);
  void ReplaceIcon(int AIndex, HICON AIcon);
  // By neighbour swaps.
  void Move(int ACurIndex, int ANewIndex);
  // -1: all.
  void Delete(int AIndex);
  void Clear() { Delete(-1); }
  // Sides below 2 become 1; the images are dropped.
  void SetSize(int AWidth, int AHeight);
  void SetWidth(int AValue) { SetSize(AValue, Height()); }
  void SetHeight(int AValue) { SetSize(Width(), AValue); }
  // A bitmap resource (or file) cut into images; clNone: no mask colour, clDefault: the system's.
  bool LoadImage(HINSTANCE AInstance, const WideString& AResourceName, TColor AMaskColor, int AWidth,
                 TLoadResources AFlags);
  // The class library's loads, with the collection rebuilt from what they load.
  bool GetInstRes(HINSTANCE AInstance, TImageResType AType, const WideString& AName, int AWidth, UINT ALoadFlags,
                  TColor AMaskColor) override;
  // Wraps AValue in a temporary list, copies its images and destroys it.
  void SetHandle(HIMAGELIST AValue);
  void Assign(const TPersistent& ASource) override;

  void GetImageInfo(int AIndex, TBitmap* AImage, TBitmap* AMask);
  void GetImage(int AIndex, TBitmap* AImage) { GetImageInfo(AIndex, AImage, nullptr); }
  void GetMask(int AIndex, TBitmap* AMask) { GetImageInfo(AIndex, nullptr, AMask); }
  static void GetImageInfo(TCustomImageList* AImages, int AIndex, TBitmap* AImage, TBitmap* AMask);
  // -1: the whole strip.
  static void GetImageInfo(HIMAGELIST AHandle, int AIndex, TBitmap* AImage, TBitmap* AMask);
  static int GetPixelFormat(HIMAGELIST AHandle);

  void Draw(TCanvas& ACanvas, const RECT& ARect, int AIndex, bool AStretch = false, bool ASmoothResize = false,
            bool AEnabled = true);
  void Draw(TCanvas& ACanvas, int X, int Y, int AIndex, bool AEnabled = true);
  UINT DrawingFlags() const;

  // "FormatVersion", "DesignInfo", "ImageInfo"; "Bitmap" is read, never written.
  void DefineProperties(TFiler& AFiler) override;

protected:
  void Changed();

private:
  friend class TcxImageInfoCollection;
  void AddToImageInfo(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor);
  int AddFromImageInfo(TcxImageInfo& AInfo);
  void RebuildImageInfoFromHandle();
  void RebuildHandleFromImageInfo();
  void MoveImage(int ACurIndex, int ANewIndex);
  void ReadImageInfo(TStream& AStream);
  void WriteImageInfo(TStream& AStream);
  void ReadLegacyBitmap(TStream& AStream);

  bool FAlphaBlending = true;
  int FFormatVersion = 0;
  int FDesignInfo = 0;
  std::unique_ptr<TcxImageInfoCollection> FImages;
  int FLockCount = 0;
  bool FSynchronization = false;
  TDrawingStyle FDrawingStyle = TDrawingStyle::dsNormal;
  TImageType FImageType = TImageType::itImage;
};

// Cells of AWidth x AHeight in ABitmap (1 when its sides are not multiples).
int GetBitmapImageCount(TBitmap* ABitmap, int AWidth, int AHeight);
// Different counts differ; two empty lists are equal; else the system streams compared.
bool ImageListsEqual(TCustomImageList* A, TCustomImageList* B);
// A DIB-section copy of a bitmap handle (the caller deletes it).
HBITMAP CopyBitmapHandle(HBITMAP AHandle);

}  // namespace tvk
