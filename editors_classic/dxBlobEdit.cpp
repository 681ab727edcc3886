#include "dxBlobEdit.h"

#include "Clipbrd.h"

#include <string>

namespace tvk {

int BlobGlyphIndex(TdxBlobEditKind kind, bool isNull) {
  int index = 1;
  switch (kind) {
    case bekMemo: index = 3; break;
    case bekPict: index = 5; break;
    case bekOle: index = 7; break;
    case bekBlob: index = 1; break;
  }
  return isNull ? index - 1 : index;
}

const TdxInplaceBlobEditClass& TdxInplaceBlobEditClass::Instance() {
  static const TdxInplaceBlobEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceBlobEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxBlobEditViewData>();
}

void TdxInplaceBlobEditClass::CalcButtonsInfo(TdxDropDownEditViewData& viewData) const {
  TdxInplaceDropDownEditClass::CalcButtonsInfo(viewData);
  auto& vd = static_cast<TdxBlobEditViewData&>(viewData);
  if (vd.ButtonCount > 0 && (vd.BlobEditKind == bekOle || vd.BlobEditKind == bekBlob)) {
    vd.Buttons[0].Kind = bkEllipsis;
    vd.Buttons[0].Width = CalcDefaultButtonWidth(vd, vd.Buttons[0]);
  }
}

void TdxInplaceBlobEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData,
                                             bool isControl) const {
  (void)isControl;
  auto& vd = static_cast<TdxBlobEditViewData&>(viewData);
  if (vd.BlobPaintStyle == bpsIcon) {
    if (vd.Images && !vd.CalcHeight) {
      const int x = (rect.left + rect.right - vd.Images->Width()) / 2;
      const int y = (rect.top + rect.bottom - vd.Images->Height()) / 2;
      if (!vd.Transparent) FillRect(dc, &rect, vd.Brush);
      const int index = BlobGlyphIndex(vd.BlobEditKind, vd.IsNull);
      if (index >= 0 && index < vd.Images->Count()) DrawImageListItem(dc, x, y, index, *vd.Images);
      vd.Transparent = true;
    }
    vd.Data.Clear();
    vd.DataLength = 0;
  } else {
    vd.DrawAlignment = daMultiLine;
  }
  TdxInplaceTextEditClass::Instance().DrawClientArea(dc, rect, viewData, false);
}

// --- editor

TdxInplaceBlobEdit::TdxInplaceBlobEdit(TComponent* owner)
    : TdxInplaceDropDownEdit(owner), FPictureClipboardFormat(PictureClipFormat()) {
  FSendChildrenStyle = false;    // the pop-up takes the focus
  FImmediatePopupStyle = true;   // a click on the cell opens the pop-up
}

TdxInplaceBlobEdit::~TdxInplaceBlobEdit() {
  FPopup.reset();
  FTempPicture.reset();
}

namespace {

bool SameBlobValue(const Variant& a, const Variant& b) {
  return VarType(a) == VarType(b) && EditValueText(a) == EditValueText(b) && VarArrayBytes(a) == VarArrayBytes(b);
}

// The bytes of a binary value: a byte array's own, or those that a text
// form's characters carry (N characters, the first N bytes of their storage).
std::string BlobBytes(const Variant& value) {
  if (!VarIsStr(value)) return VarArrayBytes(value);
  const WideString text = VarToStr(value);
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace

bool TdxInplaceBlobEdit::IsNullValue(const Variant& value) {
  return IsEmptyEditValue(value) || (VarIsArray(value) && VarArrayBytes(value).empty());
}

void TdxInplaceBlobEdit::SetBlobValue(const Variant& value) {
  if (SameBlobValue(value, FBlobData)) return;
  TCustomdxContainer* host = Container();
  if (host && host->InitEdit()) {
    FBlobData = value;
  } else {
    if (!CanEditValue()) return;
    FBlobData = value;
    if (OnChange) OnChange(this);
  }
  InvalidateClient();
}

void TdxInplaceBlobEdit::SetBlobEditKind(TdxBlobEditKind value) {
  if (FBlobEditKind == value) return;
  FBlobEditKind = value;
  LayoutChanged();
}

void TdxInplaceBlobEdit::SetBlobPaintStyle(TdxBlobPaintStyle value) {
  if (FBlobPaintStyle == value) return;
  FBlobPaintStyle = value;
  InvalidateClient();
}

void TdxInplaceBlobEdit::SetEditValue(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value))
    FBlobData = Null();
  else if (VarIsStr(value) || VarIsArray(value))
    FBlobData = value;
  else
    FBlobData = Variant(EditValueText(value));
  InvalidateClient();
}

Variant TdxInplaceBlobEdit::GetEditValue() {
  if (IsNullValue(FBlobData) && FBlobEditKind != bekPict) return Null();
  switch (FBlobEditKind) {
    case bekMemo: return Variant(EditValueText(FBlobData));
    case bekPict: {
      if (!FTempPicture) FTempPicture = std::make_unique<TPicture>();
      LoadPictureFromValue(*FTempPicture, FPictureGraphicClass, FBlobData);
      TPicture* picture = FTempPicture.get();
      DoAssignPicture(picture);
      return SavePictureToValue(picture);
    }
    case bekOle:
    case bekBlob: break;
  }
  const std::string bytes = BlobBytes(FBlobData);
  return VarArrayOfBytes(bytes.data(), bytes.size());
}

std::unique_ptr<TdxEditViewData> TdxInplaceBlobEdit::CreateViewData(bool isPaintCopy) {
  auto base = TdxInplaceDropDownEdit::CreateViewData(isPaintCopy);
  auto& vd = static_cast<TdxBlobEditViewData&>(*base);
  vd.Focused = vd.Focused && !IsInplace() && !FListVisible;
  vd.BlobEditKind = FBlobEditKind;
  vd.BlobPaintStyle = FBlobPaintStyle;
  if (FBlobPaintStyle == bpsIcon) {
    vd.Images = &GetBlobGlyphImages();
    vd.IsNull = IsNullValue(FBlobData);
  } else {
    const WideString text = EditValueText(FBlobData);
    vd.Data = Variant(text);
    vd.DataLength = int(text.size());
  }
  return base;
}

void TdxInplaceBlobEdit::DoAssignPicture(TPicture*& picture) {
  if (FOnAssignPicture) FOnAssignPicture(this, picture);
}

TGraphicClass TdxInplaceBlobEdit::GetGraphicClass() {
  TGraphicClass graphicClass = FPictureGraphicClass;
  if (FOnGetGraphicClass) FOnGetGraphicClass(this, graphicClass);
  return graphicClass;
}

void TdxInplaceBlobEdit::SavePopupSize(int width, int height) {
  FPopupWidth = width;
  FPopupHeight = height;
  if (FOnSavePopupSize) FOnSavePopupSize(this);
}

void TdxInplaceBlobEdit::PopupHidden(TObject*) {
  FListVisible = false;
  if (FPopup) SavePopupSize(FPopup->Width(), FPopup->Height());
}

void TdxInplaceBlobEdit::DoSaveChanges(TObject*) {
  FPopup->OnSaveChanges = nullptr;  // one save per opening
  if (!CanEditValue()) return;
  if (FBlobEditKind == bekMemo) {
    SetBlobText(FPopup->Text());
  } else if (FBlobEditKind == bekPict) {
    TPicture& picture = FPopup->Picture();
    if (IsPictureEmpty(&picture)) {
      SetBlobValue(Null());
      FPictureGraphicClass = nullptr;
    } else {
      FPictureGraphicClass = TPicture::FindGraphicClass(picture.Graphic()->ClassName());
      SetBlobValue(SavePictureToValue(&picture));
    }
  }
  SetEditModified(true);
}

void TdxInplaceBlobEdit::DropDown() {
  if (FListVisible || (FPopup && FPopup->HandleAllocated() && IsWindowVisible(FPopup->Handle()))) return;
  DoDropDown();
  if (FBlobEditKind == bekOle || FBlobEditKind == bekBlob) return;
  if (!FPopup) FPopup = std::make_unique<TCustomdxBlobPopup>(nullptr);
  TCustomdxBlobPopup& popup = *FPopup;
  popup.OwnerControl = this;
  FActiveList = &popup;
  popup.SetColor(Color());
  popup.Font().Assign(Font());
  popup.SetBlobEditKind(FBlobEditKind);
  popup.SetPopupBorderStyle(PopupBorderStyle());
  popup.SetShadow(FStyle->Shadow());
  popup.SetSizeable(FSizeablePopup);
  popup.SetAlwaysSaveText(FAlwaysSaveText);
  popup.SetCharCase(FMemoCharCase);
  popup.SetHideScrollBars(FMemoHideScrollBars);
  popup.SetMaxLength(FMemoMaxLength);
  popup.SetOEMConvert(FMemoOEMConvert);
  popup.SetScrollBars(FMemoScrollBars);
  popup.SetSelectionBar(FMemoSelectionBar);
  popup.SetWantReturns(FMemoWantReturns);
  popup.SetWantTabs(FMemoWantTabs);
  popup.SetWordWrap(FMemoWordWrap);
  popup.SetAutoSize(FPictureAutoSize);
  popup.SetClipboardFormat(FPictureClipboardFormat);
  popup.SetGraphicClass(GetGraphicClass());
  popup.SetGraphicTransparency(FPictureTransparency);
  popup.SetPictureFilter(FPictureFilter);
  popup.ShowExPopupItems = FShowExPopupItems;
  popup.ShowPicturePopup = FShowPicturePopup;
  if (FBlobEditKind == bekPict) {
    try {
      LoadPictureFromValue(popup.Picture(), popup.GraphicClass(), FBlobData);
    } catch (...) {
      popup.Picture().SetGraphic(nullptr);
      throw;
    }
  } else {
    popup.SetText(EditValueText(FBlobData));
  }
  popup.SetReadOnly(!CanModify());
  popup.SetModified(false);
  popup.OnSaveChanges = [this](TObject* s) { DoSaveChanges(s); };
  popup.OnHide = [this](TObject* s) { PopupHidden(s); };
  RECT r;
  GetWindowRect(Handle(), &r);
  popup.SetSize(POINT{r.left, r.bottom}, FPopupWidth, FPopupHeight);
  PlacePopup(&popup, false);
  FListVisible = true;
  popup.ShowPopup();
}

void TdxInplaceBlobEdit::KeyDown(WORD& key, TShiftState shift) {
  if (IsInplace() && (key == VK_LEFT || key == VK_RIGHT) && !FListVisible) GoToNeighbourCell(key == VK_LEFT);
  if (key == VK_DELETE) key = 0;
  TdxInplaceDropDownEdit::KeyDown(key, shift);
}

void TdxInplaceBlobEdit::KeyPress(wchar_t& key) {
  if (FPopup && FPopup->HandleAllocated() && IsWindowVisible(FPopup->Handle()) && GetFocus() == FPopup->Handle() &&
      FPopup->Text().empty())
    PostMessageW(FPopup->Handle(), WM_CHAR, key, 0);
  key = 0;  // typing never changes the cell
  TdxInplaceDropDownEdit::KeyPress(key);
}

TVK_MESSAGE_MAP(TdxInplaceBlobEdit, {WM_GETDLGCODE, &TdxInplaceBlobEdit::WMGetDlgCode})

void TdxInplaceBlobEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

}  // namespace tvk
