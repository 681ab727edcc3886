#include "cxImageList.h"

#include "Streams.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tvk {

namespace image_list_detail {

int ImageListFloorHalf(int AValue) { return AValue >= 0 ? AValue / 2 : -((-AValue + 1) / 2); }

// A monochrome bitmap whose bits are all 0: a mask that keeps every pixel.
HBITMAP CreateOpaqueImageMask(int AWidth, int AHeight) {
  const std::size_t stride = std::size_t((AWidth + 15) / 16) * 2;
  std::vector<uint8_t> bits(stride * std::size_t(std::max(AHeight, 1)), 0);
  return CreateBitmap(AWidth, AHeight, 1, 1, bits.data());
}

// ADest (its pixel format kept) of ASource's size with its picture (32-bit alpha included).
void CopyImageListPicture(TBitmap& ADest, TBitmap& ASource) {
  ADest.SetSize(ASource.Width(), ASource.Height());
  if (ASource.Empty()) return;
  BitBlt(ADest.Canvas().Handle(), 0, 0, ASource.Width(), ASource.Height(), ASource.Canvas().Handle(), 0, 0, SRCCOPY);
}

TPixelFormat ImageCellFormat(TBitmap& ABitmap) {
  const TPixelFormat format = ABitmap.PixelFormat();
  return format == TPixelFormat::pfCustom || format == TPixelFormat::pfDevice ? TPixelFormat::pf32bit : format;
}

// The part R of AHandle (through a DIB copy of it) into ADest.
void CopyImageListBitmapPart(HBITMAP AHandle, const RECT& R, TBitmap& ADest) {
  HBITMAP copy = CopyBitmapHandle(AHandle);
  if (!copy) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, copy);
  ADest.SetSize(R.right - R.left, R.bottom - R.top);
  BitBlt(ADest.Canvas().Handle(), 0, 0, R.right - R.left, R.bottom - R.top, dc, R.left, R.top, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(copy);
}

// A 32-bit copy of ABitmap at the list size: stretched (blended, smoothed when
// asked) or centred on black or AFillColor.
std::unique_ptr<TcxBitmap32> ResizeBitmapKeepingImage(TBitmap& ABitmap, int AWidth, int AHeight, TColor AFillColor,
                                                      bool AStretch, bool ASmooth) {
  TcxBitmap32 source(ABitmap.Width(), ABitmap.Height(), true);
  CopyImageListPicture(source, ABitmap);
  // A picture without alpha is blended as opaque, and its copy keeps no alpha
  // either: the mask colour, not the alpha channel, then decides what shows.
  const bool sourceAlpha = BitmapHasAlpha(source);
  if (!sourceAlpha) source.MakeOpaque();
  auto result = std::make_unique<TcxBitmap32>(AWidth, AHeight, true);
  if (!AStretch && AFillColor != clNone) {
    result->Canvas().Brush().SetColor(AFillColor);
    result->Canvas().FillRect(result->ClientRect());
  }
  if (AStretch) {
    source.AlphaBlend(*result, result->ClientRect(), ASmooth, 255);
  } else {
    const int x = ImageListFloorHalf(AWidth - source.Width()), y = ImageListFloorHalf(AHeight - source.Height());
    BitBlt(result->Canvas().Handle(), x, y, source.Width(), source.Height(), source.Canvas().Handle(), 0, 0,
           SRCCOPY);
  }
  if (!sourceAlpha) result->SetAlphaChannel(0);
  return result;
}

void WriteImageInfoBitmap(TStream& AStream, TcxBitmap& ABitmap) {
  TMemoryStream data;
  if (!ABitmap.Empty()) ABitmap.WriteData(data);
  AStream.WriteValue<int32_t>(int32_t(data.Size()));
  if (data.Size() > 0) AStream.WriteBuffer(data.Memory(), std::size_t(data.Size()));
}

void ReadImageInfoBitmap(TStream& AStream, TcxBitmap& ABitmap) {
  const int32_t size = AStream.ReadValue<int32_t>();
  if (size < 0 || size > AStream.Size() - AStream.Position()) throw EReadError(L"Stream read error");
  if (size == 0) {
    ABitmap.SetSize(0, 0);
    return;
  }
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
  AStream.ReadBuffer(bytes.data(), bytes.size());
  TMemoryStream data(std::move(bytes));
  ABitmap.ReadData(data);
}

}  // namespace image_list_detail

using namespace image_list_detail;

// ---- TcxImageInfo

TcxImageInfo::TcxImageInfo()
    : FImage(std::make_unique<TcxBitmap>()), FMask(std::make_unique<TcxBitmap>()),
      FInternalMask(std::make_unique<TcxBitmap>()) {}

void TcxImageInfo::Assign(const TPersistent& ASource) {
  if (auto* source = dynamic_cast<const TcxImageInfo*>(&ASource)) {
    SetImage(source->FImage.get());
    SetMask(source->FMask.get());
    FMaskColor = source->FMaskColor;
    return;
  }
  TPersistent::Assign(ASource);
}

void TcxImageInfo::SetImage(TBitmap* AValue) {
  if (AValue) FImage->Assign(*AValue);
  else FImage->SetSize(0, 0);
  if (!FImage->Empty()) FImage->Handle();
}

void TcxImageInfo::SetMask(TBitmap* AValue) {
  if (AValue) FMask->Assign(*AValue);
  else FMask->SetSize(0, 0);
  if (!FMask->Empty()) FMask->Handle();
}

// ---- TcxImageInfoItem

TcxImageInfoItem::TcxImageInfoItem(TCollection* ACollection) : TCollectionItem(ACollection) {
  if (auto* collection = dynamic_cast<TcxImageInfoCollection*>(ACollection))
    SetCompressData(collection->CompressData());
}

TcxImageInfoItem::TcxImageInfoItem(TCollection* ACollection, TBitmap* AImage, TBitmap* AMask, TColor AMaskColor)
    : TcxImageInfoItem(ACollection) {
  FImageInfo.SetImage(AImage);
  FImageInfo.SetMask(AMask);
  FImageInfo.SetMaskColor(AMaskColor);
}

bool TcxImageInfoItem::CompressData() const {
  auto& info = const_cast<TcxImageInfo&>(FImageInfo);
  return info.Image().CompressData() && info.Mask().CompressData();
}

void TcxImageInfoItem::SetCompressData(bool AValue) {
  FImageInfo.Image().SetCompressData(AValue);
  FImageInfo.Mask().SetCompressData(AValue);
}

// ---- TcxImageInfoCollection

TcxImageInfoCollection::TcxImageInfoCollection(TcxImageList* AImageList)
    : TCollection(CollectionItemClassOf<TcxImageInfoItem>()), FImageList(AImageList) {}

void TcxImageInfo::MakeDormant() {
  if (!FImage->Empty()) FImage->Dormant();
  if (!FMask->Empty()) FMask->Dormant();
}

TcxImageInfoItem* TcxImageInfoCollection::Add(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor) {
  return new TcxImageInfoItem(this, AImage, AMask, AMaskColor);
}

void TcxImageInfoCollection::Move(int ACurrentIndex, int ANewIndex) { Items(ACurrentIndex)->SetIndex(ANewIndex); }

void TcxImageInfoCollection::Delete(int AIndex) {
  if (AIndex == -1) Clear();
  else TCollection::Delete(AIndex);
}

void TcxImageInfoCollection::SetCompressData(bool AValue) {
  if (AValue == FCompressData) return;
  FCompressData = AValue;
  for (int i = 0; i < Count(); ++i) Items(i)->SetCompressData(AValue);
}

// ---- TcxImageList

TcxImageList::TcxImageList(TComponent* AOwner)
    : TDragImageList(AOwner), FImages(std::make_unique<TcxImageInfoCollection>(this)) {}

TcxImageList::~TcxImageList() { FImages.reset(); }

void TcxImageList::EndUpdate() {
  if (--FLockCount == 0) Changed();
}

void TcxImageList::Changed() {
  if (FLockCount > 0 || (ComponentState() & (csLoading | csReading | csDestroying))) return;
  if (Count() == FImages->Count()) Change();
  else RebuildImageInfoFromHandle();
}

void TcxImageList::AddToImageInfo(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor) {
  const int w = Width(), h = Height();
  const int iw = AImage->Width(), ih = AImage->Height();
  const bool hasMask = AMask && !AMask->Empty();
  if (iw % w == 0 && ih % h == 0 && (iw != w || ih != h)) {
    for (int row = 0; row < ih / h; ++row)
      for (int column = 0; column < iw / w; ++column) {
        TcxBitmap cell(w, h, ImageCellFormat(*AImage));
        BitBlt(cell.Canvas().Handle(), 0, 0, w, h, AImage->Canvas().Handle(), column * w, row * h, SRCCOPY);
        std::unique_ptr<TcxBitmap> maskCell;
        if (hasMask) {
          maskCell = std::make_unique<TcxBitmap>(w, h, ImageCellFormat(*AMask));
          BitBlt(maskCell->Canvas().Handle(), 0, 0, w, h, AMask->Canvas().Handle(), column * w, row * h, SRCCOPY);
        }
        FImages->Add(&cell, maskCell.get(), AMaskColor)->ImageInfo().MakeDormant();
      }
  } else {
    FImages->Add(AImage, hasMask ? AMask : nullptr, AMaskColor)->ImageInfo().MakeDormant();
  }
}

int TcxImageList::Add(TBitmap* AImage, TBitmap* AMask) {
  if (!AImage || AImage->Empty()) return -1;
  // Without a mask every pixel is kept (a mask as large as the image, so that a strip is covered).
  HBITMAP opaque = AMask ? nullptr : CreateOpaqueImageMask(AImage->Width(), AImage->Height());
  const int index = ImageList_Add(Handle(), AImage->Handle(), AMask ? AMask->Handle() : opaque);
  if (opaque) DeleteObject(opaque);
  if (index >= 0 && !FSynchronization) AddToImageInfo(AImage, AMask, clNone);
  Changed();
  return index;
}

int TcxImageList::AddMasked(TBitmap* AImage, TColor AMaskColor) {
  if (AMaskColor == clNone) return Add(AImage, nullptr);
  if (!AImage || AImage->Empty()) return -1;
  BeginUpdate();
  TBitmap copy;
  copy.Assign(*AImage);
  int index = ImageList_AddMasked(Handle(), copy.Handle(), ColorToRGB(AMaskColor));
  if (index < 0 || index >= Count()) index = -1;
  if (index >= 0 && !FSynchronization) AddToImageInfo(AImage, nullptr, AMaskColor);
  EndUpdate();
  return index;
}

int TcxImageList::AddIcon(HICON AIcon) {
  if (!AIcon) return -1;
  BeginUpdate();
  const int index = ImageList_ReplaceIcon(Handle(), -1, AIcon);
  if (index >= 0 && !FSynchronization) {
    TcxBitmap image(Width(), Height(), TPixelFormat::pf32bit), mask(Width(), Height(), TPixelFormat::pf1bit);
    GetImageInfo(Handle(), index, &image, &mask);
    FImages->Add(&image, &mask, clNone);
  }
  EndUpdate();
  return index;
}

int TcxImageList::AddBitmap(TBitmap* AImage, TBitmap* AMask, TColor AMaskColor, bool AStretch, bool ASmooth) {
  if (!AImage || AImage->Empty()) return -1;
  std::unique_ptr<TcxBitmap32> image, mask;
  TBitmap* useImage = AImage;
  TBitmap* useMask = AMask && !AMask->Empty() ? AMask : nullptr;
  if (AImage->Width() != Width() || AImage->Height() != Height()) {
    const bool smooth = ASmooth && AStretch && GetBitmapBitsPerPixel(*AImage) == 32;
    image = ResizeBitmapKeepingImage(*AImage, Width(), Height(), AStretch ? clNone : AMaskColor, AStretch, smooth);
    useImage = image.get();
  }
  if (useMask && (useMask->Width() != Width() || useMask->Height() != Height())) {
    mask = ResizeBitmapKeepingImage(*useMask, Width(), Height(), clNone, AStretch, false);
    useMask = mask.get();
  }
  return useMask ? Add(useImage, useMask) : AddMasked(useImage, AMaskColor);
}

int TcxImageList::AddFromImageInfo(TcxImageInfo& AInfo) {
  return !AInfo.Mask().Empty() ? Add(&AInfo.Image(), &AInfo.Mask()) : AddMasked(&AInfo.Image(), AInfo.MaskColor());
}

int TcxImageList::AddImage(TCustomImageList* AValue, int AIndex) {
  if (!AValue || AIndex < 0 || AIndex >= AValue->Count()) return -1;
  const int result = Count();
  CopyImages(AValue, AIndex, AIndex);
  return result;
}

void TcxImageList::AddImages(TCustomImageList* AImages) {
  if (AImages) CopyImages(AImages, 0, -1);
}

void TcxImageList::CopyImages(TCustomImageList* AImages, int AStartIndex, int AEndIndex) {
  if (!AImages) return;
  BeginUpdate();
  const int last = AImages->Count() - 1;
  if (AEndIndex < 0 || AEndIndex > last) AEndIndex = last;
  AStartIndex = std::max(AStartIndex, 0);
  if (auto* source = dynamic_cast<TcxImageList*>(AImages)) {
    for (int i = AStartIndex; i <= AEndIndex; ++i) AddFromImageInfo(source->FImages->Items(i)->ImageInfo());
  } else {
    TcxImageList temporary(nullptr);
    temporary.Assign(*AImages);
    for (int i = AStartIndex; i <= AEndIndex; ++i) AddFromImageInfo(temporary.FImages->Items(i)->ImageInfo());
  }
  EndUpdate();
}

namespace image_list_detail {
// Exchanges two entries of the system list by replacing each with the other
// (the system's own swap loses 32-bit pictures on some platforms).
void SwapSystemImages(HIMAGELIST AHandle, int A, int B) {
  TBitmap imageA, imageB, maskA, maskB;
  for (TBitmap* image : {&imageA, &imageB}) image->SetPixelFormat(TPixelFormat::pf32bit);
  for (TBitmap* mask : {&maskA, &maskB}) mask->SetPixelFormat(TPixelFormat::pf1bit);
  TcxImageList::GetImageInfo(AHandle, A, &imageA, &maskA);
  TcxImageList::GetImageInfo(AHandle, B, &imageB, &maskB);
  ImageList_Replace(AHandle, A, imageB.Handle(), maskB.Handle());
  ImageList_Replace(AHandle, B, imageA.Handle(), maskA.Handle());
}
}  // namespace image_list_detail

void TcxImageList::MoveImage(int ACurIndex, int ANewIndex) {
  const int step = ANewIndex > ACurIndex ? 1 : -1;
  for (int i = ACurIndex; i != ANewIndex; i += step) SwapSystemImages(Handle(), i, i + step);
  if (!FSynchronization && ACurIndex < FImages->Count()) FImages->Move(ACurIndex, ANewIndex);
}

void TcxImageList::Move(int ACurIndex, int ANewIndex) {
  const int count = Count();
  if (ACurIndex == ANewIndex || ACurIndex < 0 || ACurIndex >= count || ANewIndex < 0 || ANewIndex >= count) return;
  BeginUpdate();
  MoveImage(ACurIndex, ANewIndex);
  EndUpdate();
}

void TcxImageList::Insert(int AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (AIndex < 0 || AIndex > Count()) return;
  BeginUpdate();
  const int before = Count();
  if (Add(AImage, AMask) >= 0)
    for (int i = 0; i < Count() - before; ++i) MoveImage(before + i, AIndex + i);
  EndUpdate();
}

void TcxImageList::InsertMasked(int AIndex, TBitmap* AImage, TColor AMaskColor) {
  if (AIndex < 0 || AIndex > Count()) return;
  BeginUpdate();
  const int before = Count();
  if (AddMasked(AImage, AMaskColor) >= 0)
    for (int i = 0; i < Count() - before; ++i) MoveImage(before + i, AIndex + i);
  EndUpdate();
}

void TcxImageList::InsertIcon(int AIndex, HICON AIcon) {
  if (AIndex < 0 || AIndex > Count()) return;
  BeginUpdate();
  const int before = Count();
  if (AddIcon(AIcon) >= 0) MoveImage(before, AIndex);
  EndUpdate();
}

void TcxImageList::Replace(int AIndex, TBitmap* AImage, TBitmap* AMask) {
  BeginUpdate();
  Delete(AIndex);
  Insert(AIndex, AImage, AMask);
  EndUpdate();
}

void TcxImageList::ReplaceMasked(int AIndex, TBitmap* AImage, TColor AMaskColor) {
  BeginUpdate();
  Delete(AIndex);
  InsertMasked(AIndex, AImage, AMaskColor);
  EndUpdate();
}

void TcxImageList::ReplaceIcon(int AIndex, HICON AIcon) {
  BeginUpdate();
  Delete(AIndex);
  InsertIcon(AIndex, AIcon);
  EndUpdate();
}

void TcxImageList::Delete(int AIndex) {
  if (AIndex < -1 || AIndex >= Count()) return;
  if (HandleAllocated()) ImageList_Remove(Handle(), AIndex);
  if (!FSynchronization) {
    if (AIndex == -1) FImages->Delete(-1);
    else if (AIndex < FImages->Count()) FImages->Delete(AIndex);
  }
  Changed();
}

void TcxImageList::SetSize(int AWidth, int AHeight) {
  AWidth = AWidth < 2 ? 1 : AWidth;
  AHeight = AHeight < 2 ? 1 : AHeight;
  if (AWidth == Width() && AHeight == Height()) return;
  BeginUpdate();
  Clear();
  TCustomImageList::SetSize(AWidth, AHeight);
  EndUpdate();
}

bool TcxImageList::GetInstRes(HINSTANCE AInstance, TImageResType AType, const WideString& AName, int AWidth,
                              UINT ALoadFlags, TColor AMaskColor) {
  BeginUpdate();
  const bool loaded = TCustomImageList::GetInstRes(AInstance, AType, AName, AWidth, ALoadFlags, AMaskColor);
  if (loaded) RebuildImageInfoFromHandle();
  EndUpdate();
  return loaded;
}

bool TcxImageList::LoadImage(HINSTANCE AInstance, const WideString& AResourceName, TColor AMaskColor, int AWidth,
                             TLoadResources AFlags) {
  static constexpr struct {
    TLoadResource Flag;
    UINT System;
  } kFlags[] = {{lrDefaultColor, 0},
                {lrDefaultSize, LR_DEFAULTSIZE},
                {lrFromFile, LR_LOADFROMFILE},
                {lrMap3DColors, LR_LOADMAP3DCOLORS},
                {lrTransparent, LR_LOADTRANSPARENT},
                {lrMonoChrome, LR_MONOCHROME}};
  UINT flags = LR_CREATEDIBSECTION;
  for (const auto& f : kFlags)
    if (AFlags & f.Flag) flags |= f.System;
  const COLORREF mask = AMaskColor == clNone ? CLR_NONE : AMaskColor == clDefault ? CLR_DEFAULT : ColorToRGB(AMaskColor);
  HIMAGELIST handle = ImageList_LoadImageW(AInstance, AResourceName.c_str(), AWidth, 4, mask, IMAGE_BITMAP, flags);
  if (!handle) return false;
  TCustomImageList loaded(nullptr);
  loaded.TCustomImageList::SetHandle(handle);  // destroyed with it
  TcxImageList temporary(nullptr);
  temporary.Assign(loaded);
  CopyImages(&temporary);
  return true;
}

void TcxImageList::SetHandle(HIMAGELIST AValue) {
  TCustomImageList wrapper(nullptr);
  wrapper.TCustomImageList::SetHandle(AValue);  // destroyed with the wrapper
  Assign(wrapper);
}

void TcxImageList::Assign(const TPersistent& ASource) {
  auto* source = dynamic_cast<TCustomImageList*>(const_cast<TPersistent*>(&ASource));
  if (!source) {
    TCustomImageList::Assign(ASource);
    return;
  }
  if (source == this) return;
  BeginUpdate();
  Clear();
  TCustomImageList::SetSize(source->Width(), source->Height());
  if (auto* cxSource = dynamic_cast<TcxImageList*>(source)) {
    FAlphaBlending = cxSource->FAlphaBlending;
    FDrawingStyle = cxSource->FDrawingStyle;
    FImageType = cxSource->FImageType;
    for (int i = 0; i < cxSource->FImages->Count(); ++i) AddFromImageInfo(cxSource->FImages->Items(i)->ImageInfo());
  } else {
    for (int i = 0; i < source->Count(); ++i) {
      TcxBitmap image(Width(), Height(), TPixelFormat::pf32bit), mask(Width(), Height(), TPixelFormat::pf1bit);
      GetImageInfo(source->Handle(), i, &image, &mask);
      Add(&image, &mask);
    }
  }
  EndUpdate();
}

void TcxImageList::RebuildImageInfoFromHandle() {
  FImages->Clear();
  for (int i = 0; i < Count(); ++i) {
    TcxBitmap image(Width(), Height(), TPixelFormat::pf32bit), mask(Width(), Height(), TPixelFormat::pf1bit);
    GetImageInfo(Handle(), i, &image, &mask);
    FImages->Add(&image, &mask, clNone)->ImageInfo().MakeDormant();
  }
}

void TcxImageList::RebuildHandleFromImageInfo() {
  BeginUpdate();
  FSynchronization = true;
  if (HandleAllocated()) ImageList_Remove(Handle(), -1);
  for (int i = 0; i < FImages->Count();) {
    if (AddFromImageInfo(FImages->Items(i)->ImageInfo()) < 0) FImages->Delete(i);  // the next takes its index
    else FImages->Items(i++)->ImageInfo().MakeDormant();
  }
  FSynchronization = false;
  EndUpdate();
}

void TcxImageList::GetImageInfo(int AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (AIndex < 0 || AIndex >= Count() || AIndex >= FImages->Count()) return;
  TcxImageInfo& info = FImages->Items(AIndex)->ImageInfo();
  if (info.Image().PixelFormat() == TPixelFormat::pf32bit || GraphicsPlatform().Win9x) {
    if (AImage) CopyImageListPicture(*AImage, info.Image());
    if (AMask) {
      if (!info.Mask().Empty()) {
        CopyImageListPicture(*AMask, info.Mask());
      } else {
        if (info.InternalMask().Empty()) GetImageInfo(Handle(), AIndex, nullptr, &info.InternalMask());
        CopyImageListPicture(*AMask, info.InternalMask());
      }
    }
    info.Image().Dormant();
  } else {
    GetImageInfo(Handle(), AIndex, AImage, AMask);
  }
}

void TcxImageList::GetImageInfo(TCustomImageList* AImages, int AIndex, TBitmap* AImage, TBitmap* AMask) {
  if (!AImages) return;
  if (auto* list = dynamic_cast<TcxImageList*>(AImages)) list->GetImageInfo(AIndex, AImage, AMask);
  else if (AIndex < AImages->Count()) GetImageInfo(AImages->Handle(), AIndex, AImage, AMask);
}

void TcxImageList::GetImageInfo(HIMAGELIST AHandle, int AIndex, TBitmap* AImage, TBitmap* AMask) {
  IMAGEINFO info{};
  if (!AHandle || !ImageList_GetImageInfo(AHandle, std::max(AIndex, 0), &info)) return;
  RECT part = info.rcImage;
  if (AIndex < 0) {
    BITMAP data{};
    GetObjectW(info.hbmImage, sizeof data, &data);
    part = RECT{0, 0, data.bmWidth, std::abs(data.bmHeight)};
  }
  if (AMask) {
    if (info.hbmMask) {
      CopyImageListBitmapPart(info.hbmMask, part, *AMask);
    } else {
      AMask->SetSize(part.right - part.left, part.bottom - part.top);
      PatBlt(AMask->Canvas().Handle(), 0, 0, AMask->Width(), AMask->Height(), BLACKNESS);
    }
  }
  if (AImage) CopyImageListBitmapPart(info.hbmImage, part, *AImage);
}

int TcxImageList::GetPixelFormat(HIMAGELIST AHandle) {
  IMAGEINFO info{};
  BITMAP data{};
  if (!AHandle || !ImageList_GetImageInfo(AHandle, 0, &info) || !GetObjectW(info.hbmImage, sizeof data, &data))
    return 0;
  return data.bmBitsPixel;
}

UINT TcxImageList::DrawingFlags() const {
  static constexpr UINT kStyle[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  return kStyle[int(FDrawingStyle)] | (FImageType == TImageType::itMask ? ILD_MASK : 0);
}

void TcxImageList::Draw(TCanvas& ACanvas, const RECT& ARect, int AIndex, bool AStretch, bool ASmoothResize,
                        bool AEnabled) {
  if (AIndex < 0 || AIndex >= Count()) return;
  const int w = Width(), h = Height();
  const bool stretch = AStretch && !(ARect.right - ARect.left == w && ARect.bottom - ARect.top == h);
  const RECT imageRect = stretch ? ARect
                                 : RECT{ImageListFloorHalf(ARect.left + ARect.right - w), ImageListFloorHalf(ARect.top + ARect.bottom - h),
                                        ImageListFloorHalf(ARect.left + ARect.right - w) + w,
                                        ImageListFloorHalf(ARect.top + ARect.bottom - h) + h};
  const int mode = AEnabled ? idmNormal : idmDisabled;
  if (FAlphaBlending) {
    DrawGlyphOrImage(ACanvas.Handle(), imageRect, ARect, nullptr, this, AIndex, mode, ASmoothResize, nullptr, clNone,
                     false);
  } else if (stretch) {
    TcxBitmap picture(w, h, TPixelFormat::pf32bit);
    ImageList_DrawEx(Handle(), AIndex, picture.Canvas().Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, DrawingFlags());
    DrawGlyphOrImage(ACanvas.Handle(), ARect, ARect, &picture, nullptr, -1, mode, ASmoothResize, nullptr, clNone,
                     false);
  } else {
    ImageList_DrawEx(Handle(), AIndex, ACanvas.Handle(), imageRect.left, imageRect.top, 0, 0, CLR_NONE, CLR_NONE,
                     DrawingFlags() | (AEnabled ? 0 : ILD_BLEND50));
  }
}

void TcxImageList::Draw(TCanvas& ACanvas, int X, int Y, int AIndex, bool AEnabled) {
  Draw(ACanvas, RECT{X, Y, X + Width(), Y + Height()}, AIndex, false, false, AEnabled);
}

void TcxImageList::DefineProperties(TFiler& AFiler) {
  TComponent::DefineProperties(AFiler);
  auto* ancestor = dynamic_cast<TcxImageList*>(AFiler.Ancestor());
  AFiler.DefineBinaryProperty(
      L"FormatVersion", [this](TStream& s) { FFormatVersion = s.ReadValue<int32_t>(); },
      [](TStream& s) { s.WriteValue<int32_t>(1); }, true);
  AFiler.DefineBinaryProperty(
      L"DesignInfo", [this](TStream& s) { FDesignInfo = s.ReadValue<int32_t>(); },
      [this](TStream& s) { s.WriteValue<int32_t>(FDesignInfo); }, !ancestor || ancestor->FDesignInfo != FDesignInfo);
  AFiler.DefineBinaryProperty(
      L"ImageInfo", [this](TStream& s) { ReadImageInfo(s); }, [this](TStream& s) { WriteImageInfo(s); },
      ancestor ? !ImageListsEqual(this, ancestor) : Count() > 0);
  AFiler.DefineBinaryProperty(L"Bitmap", [this](TStream& s) { ReadLegacyBitmap(s); }, nullptr, false);
}

void TcxImageList::WriteImageInfo(TStream& AStream) {
  AStream.WriteValue<int32_t>(FImages->Count());
  for (int i = 0; i < FImages->Count(); ++i) {
    TcxImageInfo& info = FImages->Items(i)->ImageInfo();
    WriteImageInfoBitmap(AStream, info.Image());
    WriteImageInfoBitmap(AStream, info.Mask());
    const bool hasMaskColor = info.MaskColor() != clNone;
    AStream.WriteValue<uint8_t>(hasMaskColor ? 1 : 0);
    if (hasMaskColor) AStream.WriteValue<int32_t>(int32_t(info.MaskColor()));
  }
}

void TcxImageList::ReadImageInfo(TStream& AStream) {
  FImages->Clear();
  const int32_t count = AStream.ReadValue<int32_t>();
  if (count < 0) throw EReadError(L"Stream read error");
  for (int32_t i = 0; i < count; ++i) {
    auto* item = new TcxImageInfoItem(FImages.get());
    ReadImageInfoBitmap(AStream, item->ImageInfo().Image());
    ReadImageInfoBitmap(AStream, item->ImageInfo().Mask());
    if (AStream.ReadValue<uint8_t>() != 0) item->ImageInfo().SetMaskColor(TColor(AStream.ReadValue<int32_t>()));
  }
  RebuildHandleFromImageInfo();
}

void TcxImageList::ReadLegacyBitmap(TStream& AStream) {
  ReadData(AStream);
  RebuildImageInfoFromHandle();
}

int GetBitmapImageCount(TBitmap* ABitmap, int AWidth, int AHeight) {
  if (!ABitmap || AWidth <= 0 || AHeight <= 0 || ABitmap->Width() % AWidth != 0 || ABitmap->Height() % AHeight != 0)
    return 1;
  return (ABitmap->Width() / AWidth) * (ABitmap->Height() / AHeight);
}

bool ImageListsEqual(TCustomImageList* A, TCustomImageList* B) {
  const int countA = A ? A->Count() : 0, countB = B ? B->Count() : 0;
  if (countA != countB) return false;
  if (countA == 0) return true;
  TMemoryStream streamA, streamB;
  A->WriteData(streamA);
  B->WriteData(streamB);
  return streamA.Bytes() == streamB.Bytes();
}

HBITMAP CopyBitmapHandle(HBITMAP AHandle) {
  return static_cast<HBITMAP>(CopyImage(AHandle, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace tvk
