#pragma once
// The blob editor: a cell that shows a glyph for its kind of long value (or
// the text itself) and opens a sizable pop-up to edit a memo or a picture;
// OLE and binary values show an ellipsis button that the host handles.
#include "dxBlobPopup.h"
#include "dxDropDownEdit.h"

#include <memory>

namespace tvk {

class TdxBlobEditViewData : public TdxDropDownEditViewData {
public:
  TVK_CLASS(TdxBlobEditViewData, TdxDropDownEditViewData)
  TdxBlobEditKind BlobEditKind = bekMemo;
  TdxBlobPaintStyle BlobPaintStyle = bpsIcon;
  TImageList* Images = nullptr;  // not owned
  bool IsNull = false;
};

class TdxInplaceBlobEditClass : public TdxInplaceDropDownEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void CalcButtonsInfo(TdxDropDownEditViewData& viewData) const override;
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  bool IsEditClass() const override { return false; }
  static const TdxInplaceBlobEditClass& Instance();
};

// The glyph of a kind of value: 3 memo, 5 picture, 7 OLE, 1 binary, one less when empty.
int BlobGlyphIndex(TdxBlobEditKind kind, bool isNull);

class TdxInplaceBlobEdit : public TdxInplaceDropDownEdit {
public:
  TVK_CLASS(TdxInplaceBlobEdit, TdxInplaceDropDownEdit)
  explicit TdxInplaceBlobEdit(TComponent* owner);
  ~TdxInplaceBlobEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceBlobEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  // Null and Unassigned empty the cell; a string or a byte array is kept as
  // it is, any other value as its text.
  void SetEditValue(const Variant& value) override;
  // A memo's text, the bytes of a picture (after OnAssignPicture) or of a
  // binary or OLE value as a byte array; Null when empty.
  Variant GetEditValue() override;
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;
  void DropDown() override;
  void CloseUp(bool accept) override { (void)accept; }

  // The kept value and its text (empty for bytes).
  const Variant& BlobValue() const { return FBlobData; }
  WideString BlobData() const { return EditValueText(FBlobData); }
  // A value from the pop-up: stored (with OnChange) when the cell may change.
  void SetBlobValue(const Variant& value);
  void SetBlobText(const WideString& value) { SetBlobValue(Variant(value)); }
  void SetBlobEditKind(TdxBlobEditKind value);
  TdxBlobEditKind BlobEditKind() const { return FBlobEditKind; }
  void SetBlobPaintStyle(TdxBlobPaintStyle value);
  TCustomdxBlobPopup* Popup() const { return FPopup.get(); }

  // Null, Unassigned, an empty string or an empty byte array.
  virtual bool IsNullValue(const Variant& value);
  virtual void DoAssignPicture(TPicture*& picture);
  virtual TGraphicClass GetGraphicClass();
  virtual void SavePopupSize(int width, int height);
  virtual void DoSaveChanges(TObject* sender);

  // Settings hosts write directly
  int FPopupWidth = 200, FPopupHeight = 140;
  bool FSizeablePopup = true;
  bool FAlwaysSaveText = true;
  TEditCharCase FMemoCharCase = TEditCharCase::ecNormal;
  bool FMemoHideScrollBars = true;
  int FMemoMaxLength = 0;
  bool FMemoOEMConvert = false;
  TScrollStyle FMemoScrollBars = TScrollStyle::ssNone;
  bool FMemoSelectionBar = true;
  bool FMemoWantReturns = true;
  bool FMemoWantTabs = true;
  bool FMemoWordWrap = true;
  bool FPictureAutoSize = true;
  UINT FPictureClipboardFormat;
  TGraphicClass FPictureGraphicClass = nullptr;
  WideString FPictureFilter;
  TdxGraphicEditTransparency FPictureTransparency = gtDefault;
  bool FShowExPopupItems = true;
  bool FShowPicturePopup = true;
  TdxGraphicEditAssignPictureEvent FOnAssignPicture;
  TdxGraphicEditGraphicClassEvent FOnGetGraphicClass;
  TNotifyEvent FOnSavePopupSize;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  TVK_MESSAGES();
  void WMGetDlgCode(TMessage& message);

private:
  void PopupHidden(TObject* sender);

  std::unique_ptr<TCustomdxBlobPopup> FPopup;
  Variant FBlobData;
  TdxBlobEditKind FBlobEditKind = bekMemo;
  TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  std::unique_ptr<TPicture> FTempPicture;
};

}  // namespace tvk
