#pragma once
// The image editor: a cell value shown as a picture of an image list with
// an optional description, picked from a drop-down list of descriptions and
// pictures, or stepped through with the navigation keys and by typing.
#include "dxDropDownEdit.h"
#include "dxPopupListBox.h"

namespace tvk {

class TdxImageEditViewData : public TdxDropDownEditViewData {
public:
  TVK_CLASS(TdxImageEditViewData, TdxDropDownEditViewData)
  bool DefaultImages = false;
  TStrings* Descriptions = nullptr;  // all borrowed
  TStrings* ImageIndexes = nullptr;
  TCustomImageList* Images = nullptr;
  bool ShowDescription = false;
  TStrings* Values = nullptr;
};

class TdxInplaceImageEditClass : public TdxInplaceDropDownEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  int GetMinHeight(TdxEditViewData& viewData) const override;
  bool IsEditClass() const override { return false; }
  // The picture and the description of Value (-1: none).
  static void CalcViewIndexes(const WideString& value, const TStrings* imageIndexes, const TStrings* descriptions,
                              const TStrings* values, bool defaultImages, int& imageIndex, int& descIndex);
  static const TdxInplaceImageEditClass& Instance();
};

class TdxInplaceImageEdit : public TdxInplaceDropDownEdit {
public:
  TVK_CLASS(TdxInplaceImageEdit, TdxInplaceDropDownEdit)
  explicit TdxInplaceImageEdit(TComponent* owner);
  ~TdxInplaceImageEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceImageEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  TStrings& Descriptions() { return *FDescriptions; }
  void SetDescriptions(const TStrings& value);
  TStrings& ImageIndexes() { return *FImageIndexes; }
  void SetImageIndexes(const TStrings& value);
  TStrings& Values() { return *FValues; }
  void SetValues(const TStrings& value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value);
  bool DefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool value);
  bool ShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool value);
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool value);
  TdxPopupImageListBox& PopupListBox() { return *FPopupListBox; }

  virtual void SetValueText(const WideString& value);
  void SelectNext(int delta, bool wrapAtEnd) override;
  void DropDown() override;
  void CloseUp(bool accept) override;
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;

  bool FIncremental = false;

protected:
  bool IsResetTextClass() override { return true; }
  void Notification(TComponent* component, TOperation operation) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  TVK_MESSAGES();
  void WMGetDlgCode(TMessage& message);

private:
  void PrepareImageList();
  void SelectPosition(int position);
  void SetImageList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value);

  bool FDefaultImages = true;
  std::unique_ptr<TStringList> FDescriptions;
  TChangeLink FImageChangeLink;
  std::unique_ptr<TStringList> FImageIndexes;
  TCustomImageList* FImages = nullptr;  // not owned
  TChangeLink FLargeImageChangeLink;
  TCustomImageList* FLargeImages = nullptr;  // not owned
  bool FMultiLineText = false;
  TdxPopupImageListBox* FPopupListBox;  // owned as a component of the editor
  bool FShowDescription = true;
  std::unique_ptr<TStringList> FValues;
};

}  // namespace tvk
