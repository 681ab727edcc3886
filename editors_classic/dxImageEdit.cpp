#include "dxImageEdit.h"

#include "Convert.h"

#include <algorithm>
#include <utility>

namespace tvk {

namespace {

TdxImageEditViewData& AsImageData(TdxEditViewData& viewData) { return static_cast<TdxImageEditViewData&>(viewData); }

int Count(const TStrings* strings) { return strings ? strings->Count() : 0; }

// A decimal picture index; -1 for anything else.
int PictureIndexOf(const WideString& text) {
  std::int32_t value = 0;
  return TryStrToInt(text, value) ? value : -1;
}

bool SameFirstCharacter(const WideString& text, wchar_t typed) {
  if (text.empty()) return false;
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), 1, &typed, 1) == CSTR_EQUAL;
}

int TextWidth(HFONT font, const WideString& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

}  // namespace

// --- class functions

const TdxInplaceImageEditClass& TdxInplaceImageEditClass::Instance() {
  static const TdxInplaceImageEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceImageEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxImageEditViewData>();
}

void TdxInplaceImageEditClass::CalcViewIndexes(const WideString& value, const TStrings* imageIndexes,
                                               const TStrings* descriptions, const TStrings* values,
                                               bool defaultImages, int& imageIndex, int& descIndex) {
  const int position = values ? values->IndexOf(value) : -1;
  descIndex = position < Count(descriptions) ? position : -1;
  imageIndex = position;
  if (!defaultImages && position >= 0 && position < Count(imageIndexes))
    imageIndex = PictureIndexOf(imageIndexes->Get(position));
}

void TdxInplaceImageEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData,
                                              bool isControl) const {
  TdxImageEditViewData& data = AsImageData(viewData);
  int imageIndex = -1, descIndex = -1;
  const WideString valueText = EditValueText(data.Data);
  CalcViewIndexes(valueText, data.ImageIndexes, data.Descriptions, data.Values, data.DefaultImages, imageIndex,
                  descIndex);
  const int w = data.Images ? data.Images->Width() : 0;
  const int h = data.Images ? data.Images->Height() : 0;
  auto drawPicture = [&](int x, const RECT& area) {
    if (data.Images && imageIndex >= 0 && imageIndex < data.Images->Count())
      DrawImageListItem(dc, x, (area.top + area.bottom - h) / 2, imageIndex, *data.Images);
  };
  RECT r = rect;
  WideString text = valueText;
  if (data.ShowDescription) {
    if (descIndex != -1) text = data.Descriptions->Get(descIndex);
    if (w > 0) {
      const RECT strip{r.left, r.top, r.left + w, r.bottom};
      r.left += w;
      if (!data.CalcHeight) {
        if (!data.Transparent) FillRect(dc, &strip, data.Brush);
        drawPicture(strip.left, strip);
      }
    }
  } else {
    if (w > 0 && !data.CalcHeight) {
      if (!data.Transparent) FillRect(dc, &r, data.Brush);
      drawPicture((r.left + r.right - w) / 2, r);
      data.Transparent = true;  // the text pass keeps the picture
    }
    text.clear();
  }
  Variant value = std::exchange(data.Data, Variant(text));
  TdxInplaceDropDownEditClass::DrawClientArea(dc, r, data, isControl);
  data.Data = std::move(value);
}

int TdxInplaceImageEditClass::GetMinHeight(TdxEditViewData& viewData) const {
  const TdxImageEditViewData& data = AsImageData(viewData);
  return std::max(TdxInplaceDropDownEditClass::GetMinHeight(viewData), data.Images ? data.Images->Height() : 0);
}

// --- the editor

TdxInplaceImageEdit::TdxInplaceImageEdit(TComponent* owner)
    : TdxInplaceDropDownEdit(owner),
      FDescriptions(std::make_unique<TStringList>()),
      FImageIndexes(std::make_unique<TStringList>()),
      FPopupListBox(new TdxPopupImageListBox(this)),
      FValues(std::make_unique<TStringList>()) {
  SetControlStyle(ControlStyle() | csCaptureMouse);
  FImageChangeLink.OnChange = [this](TObject*) { LayoutChanged(); };
  FLargeImageChangeLink.OnChange = [this](TObject*) { LayoutChanged(); };
  FPopupListBox->SetVisible(false);
  FPopupListBox->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
    PopupMouseUp(sender, button, shift, x, y);
  };
  FImmediatePopupStyle = true;
}

TdxInplaceImageEdit::~TdxInplaceImageEdit() {
  if (FImages) FImages->UnRegisterChanges(&FImageChangeLink);
  if (FLargeImages) FLargeImages->UnRegisterChanges(&FLargeImageChangeLink);
  RemoveFreeNotifications();
}

void TdxInplaceImageEdit::SetDescriptions(const TStrings& value) {
  FDescriptions->Assign(value);
  LayoutChanged();
}

void TdxInplaceImageEdit::SetImageIndexes(const TStrings& value) {
  FImageIndexes->Assign(value);
  LayoutChanged();
}

void TdxInplaceImageEdit::SetValues(const TStrings& value) {
  FValues->Assign(value);
  LayoutChanged();
}

void TdxInplaceImageEdit::SetImageList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value) {
  if (field) field->UnRegisterChanges(&link);
  field = value;
  if (field) {
    field->RegisterChanges(&link);
    field->FreeNotification(this);
  }
  LayoutChanged();
}

void TdxInplaceImageEdit::SetImages(TCustomImageList* value) { SetImageList(FImages, FImageChangeLink, value); }

void TdxInplaceImageEdit::SetLargeImages(TCustomImageList* value) {
  SetImageList(FLargeImages, FLargeImageChangeLink, value);
}

void TdxInplaceImageEdit::SetDefaultImages(bool value) {
  if (value == FDefaultImages) return;
  FDefaultImages = value;
  InvalidateClient();
}

void TdxInplaceImageEdit::SetShowDescription(bool value) {
  if (value == FShowDescription) return;
  FShowDescription = value;
  InvalidateClient();
}

void TdxInplaceImageEdit::SetMultiLineText(bool value) {
  if (value == FMultiLineText) return;
  FMultiLineText = value;
  LayoutChanged();
}

void TdxInplaceImageEdit::Notification(TComponent* component, TOperation operation) {
  TdxInplaceDropDownEdit::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FImages) {
    FImages = nullptr;
    LayoutChanged();
  }
  if (component == FLargeImages) {
    FLargeImages = nullptr;
    LayoutChanged();
  }
}

std::unique_ptr<TdxEditViewData> TdxInplaceImageEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceDropDownEdit::CreateViewData(isPaintCopy);
  TdxImageEditViewData& data = AsImageData(*vd);
  data.Focused = false;  // in place: no focus rectangle
  if (FMultiLineText) data.DrawAlignment = daMultiLine;
  data.DefaultImages = FDefaultImages;
  data.Descriptions = FDescriptions.get();
  data.ImageIndexes = FImageIndexes.get();
  data.Images = FImages;
  data.ShowDescription = FShowDescription;
  data.Values = FValues.get();
  return vd;
}

void TdxInplaceImageEdit::SetValueText(const WideString& value) {
  if (value == GetTextValue() || !CanModify() || !CanEditValue()) return;
  SetText(value);
  SetEditModified(true);
}

void TdxInplaceImageEdit::SelectPosition(int position) {
  if (position >= 0 && position < FValues->Count()) SetValueText(FValues->Get(position));
}

// The wrap argument has no meaning here: stepping stops at either end.
void TdxInplaceImageEdit::SelectNext(int delta, bool wrapAtEnd) {
  (void)wrapAtEnd;
  if (GetReadOnly() || FValues->Count() == 0) return;
  const int position = FValues->IndexOf(GetTextValue());
  SelectPosition(position < 0 ? 0 : std::clamp(position + delta, 0, FValues->Count() - 1));
}

void TdxInplaceImageEdit::KeyDown(WORD& key, TShiftState shift) {
  if (FIncremental) {
    bool consumed = true;
    switch (key) {
      case VK_PRIOR: SelectNext(1 - FDropDownRows, false); break;
      case VK_NEXT: SelectNext(FDropDownRows - 1, false); break;
      case VK_END: if (!GetReadOnly()) SelectPosition(FValues->Count() - 1); break;
      case VK_HOME: if (!GetReadOnly()) SelectPosition(0); break;
      case VK_LEFT: case VK_UP: SelectNext(-1, false); break;
      case VK_RIGHT: case VK_DOWN: SelectNext(1, false); break;
      default: consumed = false; break;
    }
    if (consumed) {
      key = 0;
      return;
    }
  }
  if (key == VK_LEFT) GoToNeighbourCell(true);
  if (key == VK_RIGHT) GoToNeighbourCell(false);
  TdxInplaceDropDownEdit::KeyDown(key, shift);
}

// Type-ahead: the next description after the current value that begins with
// the typed character. Only positions holding both a description and a value
// take part, so neither list is read past its end.
void TdxInplaceImageEdit::KeyPress(wchar_t& key) {
  const wchar_t typed = key;
  TdxInplaceDropDownEdit::KeyPress(key);
  const int candidates = std::min(FDescriptions->Count(), FValues->Count());
  if (typed < 32 || candidates == 0) return;
  const int current = FValues->IndexOf(GetTextValue());
  const int start = current + 1 < candidates ? current + 1 : 0;
  for (int step = 0; step < candidates; ++step) {
    const int i = (start + step) % candidates;
    if (!SameFirstCharacter(FDescriptions->Get(i), typed)) continue;
    if (i != current) SetValueText(FValues->Get(i));
    return;
  }
}

void TdxInplaceImageEdit::PrepareImageList() {
  TStrings& items = FPopupListBox->Items();
  items.BeginUpdate();
  items.Clear();
  for (int i = 0; i < FValues->Count(); ++i) {
    int picture = i;
    if (!FDefaultImages) picture = i < FImageIndexes->Count() ? PictureIndexOf(FImageIndexes->Get(i)) : -1;
    items.AddObject(i < FDescriptions->Count() ? FDescriptions->Get(i) : WideString(),
                    PictureIndexObject(picture < 0 ? -2 : picture));
  }
  items.EndUpdate();
  HWND list = FPopupListBox->Handle();
  const int rows = std::min(items.Count(), FDropDownRows);
  int clientWidth = FDropDownWidth;
  if (clientWidth == 0) {
    int widest = 0;
    for (int i = 0; i < items.Count(); ++i) widest = std::max(widest, TextWidth(FPopupListBox->Font().Handle(), items[i]));
    const TCustomImageList* pictures = FLargeImages ? FLargeImages : FPopupListBox->Images();
    const int pictureWidth = pictures ? pictures->Width() : FPopupListBox->RealItemHeight();
    clientWidth = std::max(widest + 2, 10) + pictureWidth + 4;
  }
  RECT window{}, client{};
  GetWindowRect(list, &window);
  GetClientRect(list, &client);
  FPopupListBox->SetBounds(FPopupListBox->Left(), FPopupListBox->Top(),
                           clientWidth + (window.right - window.left) - client.right,
                           rows * FPopupListBox->RealItemHeight() + (window.bottom - window.top) - client.bottom);
  FPopupListBox->SetItemIndex(FValues->IndexOf(GetTextValue()));
  PlacePopup(FPopupListBox, true);
}

void TdxInplaceImageEdit::DropDown() {
  if (FListVisible || !CanModify()) return;
  SetFocus();
  if (!Focused()) return;
  DoDropDown();
  if (FValues->Count() == 0) return;
  FActiveList = FPopupListBox;
  if (FPopupListBox->Parent() != this) FPopupListBox->SetParent(this);
  FPopupListBox->SetColor(Color());
  FPopupListBox->Font().Assign(Font());
  FPopupListBox->SetImages(FLargeImages ? FLargeImages : FImages);
  FPopupListBox->SetIsMultiLineText(FMultiLineText);
  FPopupListBox->SetPopupBorderStyle(PopupBorderStyle());
  FPopupListBox->SetShadow(FStyle->Shadow());
  PrepareImageList();
  SetWindowPos(FPopupListBox->Handle(), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FListVisible = true;
  Invalidate();
}

void TdxInplaceImageEdit::CloseUp(bool accept) {
  if (!FListVisible) return;
  if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
  FocusEditor();
  SetWindowPos(FPopupListBox->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  FListVisible = false;
  Invalidate();
  const int index = FPopupListBox->ItemIndex();
  if (index < 0 || index >= FValues->Count()) return;
  WideString value = FValues->Get(index);
  DoCloseUp(value, accept);
  if (accept) SetValueText(value);
}

TVK_MESSAGE_MAP(TdxInplaceImageEdit, {WM_GETDLGCODE, &TdxInplaceImageEdit::WMGetDlgCode})

void TdxInplaceImageEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS;
}

}  // namespace tvk
