#pragma once
// The list that drop-down editors show under a cell: an owner-drawn system
// list box made top-level, with the pop-up frame and shadow of the editors'
// pop-ups, hot tracking, and (in the image variant) a picture per item.
#include "ImageLists.h"
#include "StdCtrls.h"
#include "dxCntner.h"

namespace tvk {

class TCustomdxPopupListBox : public TCustomListBox {
public:
  TVK_CLASS(TCustomdxPopupListBox, TCustomListBox)
  explicit TCustomdxPopupListBox(TComponent* owner);

  TdxPopupBorderStyle PopupBorderStyle() const { return FPopupBorderStyle; }
  void SetPopupBorderStyle(TdxPopupBorderStyle value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value) { FHotTrack = value; }
  int RealItemHeight() const { return FRealItemHeight; }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool value);
  int ShadowSize() const { return FShadowSize; }
  void SetShadowSize(int value);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void MeasureItem(int index, int& height) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMSize(TMessage& message);
  void CMHintShow(TMessage& message) { message.Result = 1; }  // a pop-up list shows no hints

  TdxPopupBorderStyle FPopupBorderStyle = pbDefault;
  bool FHotTrack = true;
  std::int32_t FRealItemHeight = 0;
  bool FShadow = false;
  std::int32_t FShadowSize = 2;
};

// Items hold their picture index as their object (-2 for none).
class TdxPopupImageListBox : public TCustomdxPopupListBox {
public:
  TVK_CLASS(TdxPopupImageListBox, TCustomdxPopupListBox)
  using TCustomdxPopupListBox::TCustomdxPopupListBox;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  bool IsMultiLineText() const { return FIsMultiLineText; }
  void SetIsMultiLineText(bool value) { FIsMultiLineText = value; }

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void MeasureItem(int index, int& height) override;
  void DrawItem(int index, const RECT& rect, TOwnerDrawState state) override;

private:
  TCustomImageList* FImages = nullptr;  // not owned
  bool FIsMultiLineText = false;
};

// An item's object as a picture index, and back.
inline TObject* PictureIndexObject(int index) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(index)); }
inline int ObjectPictureIndex(const TObject* object) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(object));
}

}  // namespace tvk
