#include "dxMRUEdit.h"

#include "Menus.h"

namespace tvk {

// ---- class functions

const TdxInplaceMRUEditClass& TdxInplaceMRUEditClass::Instance() {
  static const TdxInplaceMRUEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceMRUEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxMRUEditViewData>();
}

void TdxInplaceMRUEditClass::CalcButtonsInfo(TdxDropDownEditViewData& viewData) const {
  TdxInplaceDropDownEditClass::CalcButtonsInfo(viewData);
  auto* data = dynamic_cast<TdxMRUEditViewData*>(&viewData);
  if (!data || !data->ShowEllipsis || data->ButtonCount < 1 || data->ButtonCount >= kMaxEditButtons) return;
  TdxEditButtonInfo& first = data->Buttons[0];
  TdxEditButtonInfo& second = data->Buttons[static_cast<std::size_t>(data->ButtonCount)];
  second.Index = data->ButtonCount;
  second.LeftAlignment = first.LeftAlignment;
  if (data->ButtonGlyph) {
    // The glyph goes to the host's button; the list keeps a plain arrow.
    first.Kind = bkDown;
    first.Glyph = nullptr;
    first.Width = CalcDefaultButtonWidth(viewData, first);
    second.Kind = bkGlyph;
    second.Glyph = data->ButtonGlyph;
  } else {
    second.Kind = bkEllipsis;
    second.Glyph = nullptr;
  }
  second.Width = CalcDefaultButtonWidth(viewData, second);
  ++data->ButtonCount;
}

// ---- editor

TdxInplaceMRUEdit::TdxInplaceMRUEdit(TComponent* owner) : TdxInplacePickEdit(owner) {
  FImmediateDropDown = false;
}

void TdxInplaceMRUEdit::SetMaxItemCount(int value) {
  if (value < 0) value = 0;
  if (value == FMaxItemCount) return;
  FMaxItemCount = value;
  TrimItems();
}

void TdxInplaceMRUEdit::SetShowEllipsis(bool value) {
  if (value == FShowEllipsis) return;
  FShowEllipsis = value;
  LayoutChanged();
}

void TdxInplaceMRUEdit::DoButtonClick() {
  if (FOnButtonClick) FOnButtonClick(this);
}

void TdxInplaceMRUEdit::AddItem(const WideString& value) {
  if (value.empty()) return;
  TStrings& items = Items();
  const int index = items.IndexOf(value);
  // A sorted list has no "newest first": a known value stays where the
  // order puts it and a new one is added in order (moving or inserting
  // would raise, and a move would lose the item on the way).
  if (Sorted()) {
    if (index < 0) {
      items.Add(value);
      TrimItems();
    }
    return;
  }
  if (index >= 0) {
    items.Move(index, 0);
    return;
  }
  items.Insert(0, value);
  TrimItems();
}

void TdxInplaceMRUEdit::TrimItems() {
  if (FMaxItemCount <= 0) return;
  TStrings& items = Items();
  while (items.Count() > FMaxItemCount) items.Delete(items.Count() - 1);
}

std::unique_ptr<TdxEditViewData> TdxInplaceMRUEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplacePickEdit::CreateViewData(isPaintCopy);
  if (auto* data = dynamic_cast<TdxMRUEditViewData*>(vd.get())) data->ShowEllipsis = FShowEllipsis;
  return vd;
}

void TdxInplaceMRUEdit::ValidateEdit() {
  TdxInplacePickEdit::ValidateEdit();
  if (GetEditModified()) AddItem(GetTextValue());
}

void TdxInplaceMRUEdit::ButtonDown(bool byClientClick, int index) {
  // The host's button never opens the list.
  TdxInplacePickEdit::ButtonDown(byClientClick, index == kEllipsisButton ? -1 : index);
}

void TdxInplaceMRUEdit::ButtonClick(int index) {
  if (index == kEllipsisButton) DoButtonClick();
}

void TdxInplaceMRUEdit::KeyDown(WORD& key, TShiftState shift) {
  // Ctrl+Enter is the host's button, taken before the pick editor hands
  // Enter to the host (which would leave nothing to click).
  if (FShowEllipsis && ShortCut(key, shift) == (scCtrl | VK_RETURN) && CanModify()) {
    if (HandleAllocated()) RemovePendingMessage(Handle(), WM_CHAR);
    key = 0;
    DoButtonClick();
    return;
  }
  TdxInplacePickEdit::KeyDown(key, shift);
}

}  // namespace tvk
