#pragma once
// The most-recently-used editor: a pick-list editor whose items are the
// values last accepted, newest first, cut to a maximum length, with an
// optional second button (and Ctrl+Enter) that the host handles.
#include "dxPopupEdits.h"

namespace tvk {

class TdxMRUEditViewData : public TdxDropDownEditViewData {
public:
  TVK_CLASS(TdxMRUEditViewData, TdxDropDownEditViewData)
  bool ShowEllipsis = false;
};

// The drop-down button and, with ShowEllipsis, the host's button beside it.
class TdxInplaceMRUEditClass : public TdxInplaceDropDownEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void CalcButtonsInfo(TdxDropDownEditViewData& viewData) const override;
  static const TdxInplaceMRUEditClass& Instance();
};

class TdxInplaceMRUEdit : public TdxInplacePickEdit {
public:
  TVK_CLASS(TdxInplaceMRUEdit, TdxInplacePickEdit)
  // The index of the host's button.
  static constexpr int kEllipsisButton = 1;

  explicit TdxInplaceMRUEdit(TComponent* owner);
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceMRUEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  int MaxItemCount() const { return FMaxItemCount; }
  // Negative counts mean no limit (0).
  void SetMaxItemCount(int value);
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool value);

  virtual void DoButtonClick();
  // Value becomes the first item (moved there when the list holds it already).
  virtual void AddItem(const WideString& value);

  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;
  // An accepted, changed text becomes the most recent item.
  void ValidateEdit() override;
  void ButtonDown(bool byClientClick, int index) override;
  void ButtonClick(int index) override;

  TNotifyEvent FOnButtonClick;

protected:
  void KeyDown(WORD& key, TShiftState shift) override;

private:
  void TrimItems();

  std::int32_t FMaxItemCount = 7;  // 0: no limit
  bool FShowEllipsis = true;
};

}  // namespace tvk
