#include "dxGraphicEdit.h"

#include "Application.h"
#include "Clipbrd.h"
#include "ExtDlgs.h"
#include "dxExUtils.h"

#include <array>
#include <string>
#include <utility>

namespace tvk {

namespace {

// The tag of the menu's separators: no command.
constexpr int kSeparatorTag = 2147483647;

// Frames a focused, not in-place picture cell and answers the rectangle inside the frame.
RECT FrameFocusedCell(HDC dc, RECT r) {
  FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
  InflateRect(&r, -1, -1);
  return r;
}

// The device context's clip region, put back when it goes.
class TGraphicClipSaver {
public:
  explicit TGraphicClipSaver(HDC dc) : FDC(dc), FRgn(CreateRectRgn(0, 0, 0, 0)) {
    if (GetClipRgn(dc, FRgn) != 1) {
      DeleteObject(FRgn);
      FRgn = nullptr;
    }
  }
  ~TGraphicClipSaver() {
    SelectClipRgn(FDC, FRgn);
    if (FRgn) DeleteObject(FRgn);
  }
  TGraphicClipSaver(const TGraphicClipSaver&) = delete;
  TGraphicClipSaver& operator=(const TGraphicClipSaver&) = delete;

private:
  HDC FDC;
  HRGN FRgn;
};

void ClipTo(HDC dc, const RECT& r) {
  HRGN rgn = CreateRectRgnIndirect(&r);
  ExtSelectClipRgn(dc, rgn, RGN_AND);
  DeleteObject(rgn);
}

}  // namespace

RECT FitPictureRect(const RECT& area, int w, int h) {
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  if (w <= 0 || h <= 0 || aw <= 0 || ah <= 0) return RECT{area.left, area.top, area.left, area.top};
  if (double(aw) / ah >= double(w) / h) return RECT{area.left, area.top, area.left + ah * w / h, area.bottom};
  return RECT{area.left, area.top, area.right, area.top + aw * h / w};
}

// --- class functions

const TdxInplaceGraphicEditClass& TdxInplaceGraphicEditClass::Instance() {
  static const TdxInplaceGraphicEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceGraphicEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxGraphicEditViewData>();
}

void TdxInplaceGraphicEditClass::CalcViewInfo(TdxEditViewData& viewData, bool autoSize,
                                              TdxEditViewInfo& viewInfo) const {
  auto& vd = static_cast<TdxGraphicEditViewData&>(viewData);
  if (IsPictureEmpty(vd.Picture)) autoSize = false;
  TdxInplaceEditClass::CalcViewInfo(viewData, autoSize, viewInfo);
}

void TdxInplaceGraphicEditClass::GetMinRect(TdxEditViewData& viewData, RECT& rect) const {
  auto& vd = static_cast<TdxGraphicEditViewData&>(viewData);
  if (IsPictureEmpty(vd.Picture)) {
    TdxInplaceEditClass::GetMinRect(viewData, rect);
    return;
  }
  rect = RECT{0, 0, vd.Picture->Width(), vd.Picture->Height()};
}

void TdxInplaceGraphicEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData,
                                                bool isControl) const {
  (void)isControl;
  auto& vd = static_cast<TdxGraphicEditViewData&>(viewData);
  const bool empty = IsPictureEmpty(vd.Picture);
  if (vd.CalcHeight) {
    vd.LineCount = 1;
    vd.LineHeight = vd.Stretch || empty ? 0 : vd.Picture->Height();
    return;
  }
  const int saved = SaveDC(dc);
  const bool buffered = !vd.Transparent && (vd.DrawShadow || vd.TempDrawBitmap) && vd.TempDrawBitmap;
  RECT r = rect;
  TCanvas screenCanvas;
  TCanvas* canvas = &screenCanvas;
  HDC target = dc;
  if (buffered) {
    OffsetRect(&r, -r.left, -r.top);
    EnsureBitmapSize(*vd.TempDrawBitmap, r.right, r.bottom);
    canvas = &vd.TempDrawBitmap->Canvas();
    target = canvas->Handle();
  } else {
    screenCanvas.SetHandle(dc);
  }
  canvas->Lock();
  const bool frameFocus = !IsInplace() && vd.Focused;
  if (empty) {
    if (frameFocus) r = FrameFocusedCell(target, r);
    if (const WideString text = EditValueText(vd.Data); !text.empty()) {
      WORD flags = WORD(daVCenter) | (vd.Transparent ? kDrawTextNoFill : 0);
      RECT textRect = r;
      DrawAlignedText(target, text, int(text.size()), r, textRect, flags | DT_CENTER, vd.Brush, vd.Font,
                      vd.BkColor, vd.TextColor, nullptr);
    } else if (!vd.Transparent) {
      FillRect(target, &r, vd.Brush);
    }
  } else {
    TGraphic* graphic = vd.Picture->Graphic();
    if (vd.QuickDraw)
      if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) bitmap->IgnorePalette = true;
    {
      TGraphicClipSaver clip(target);
      if (frameFocus) {
        r = FrameFocusedCell(target, r);
      }
      ClipTo(target, r);
      const RECT a{r.left + vd.OffsetSize.left, r.top + vd.OffsetSize.top, r.right - vd.OffsetSize.right,
                   r.bottom - vd.OffsetSize.bottom};
      const int w = graphic->Width(), h = graphic->Height();
      RECT p;
      if (vd.Stretch) {
        p = FitPictureRect(a, w, h);
      } else {
        p = RECT{a.left, a.top, a.left + w, a.top + h};
        if (vd.Center) OffsetRect(&p, ((a.right - a.left) - w) / 2, ((a.bottom - a.top) - h) / 2);
      }
      const bool drawable = p.right > p.left && p.bottom > p.top;
      if (graphic->Transparent()) {
        if (!vd.TempDrawBitmap && vd.TempTransparentBitmap && drawable) {
          TBitmap& buffer = *vd.TempTransparentBitmap;
          EnsureBitmapSize(buffer, r.right - r.left, r.bottom - r.top);
          RECT all{0, 0, r.right - r.left, r.bottom - r.top};
          FillRect(buffer.Canvas().Handle(), &all, vd.Brush);
          RECT moved = p;
          OffsetRect(&moved, -r.left, -r.top);
          graphic->Draw(buffer.Canvas(), moved);
          BitBlt(target, r.left, r.top, all.right, all.bottom, buffer.Canvas().Handle(), 0, 0, SRCCOPY);
        } else {
          FillRect(target, &r, vd.Brush);
          if (drawable) graphic->Draw(*canvas, p);
        }
      } else {
        if (drawable) {
          graphic->Draw(*canvas, p);
          ExcludeClipRect(target, p.left, p.top, p.right, p.bottom);
        }
        FillRect(target, &r, vd.Brush);
      }
    }
  }
  if (vd.DrawShadow) DitherRect(target, r, vd.ShadowColor);
  canvas->Unlock();
  if (buffered)
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, target, 0, 0, SRCCOPY);
  else
    screenCanvas.SetHandle(nullptr);
  RestoreDC(dc, saved);
}

// --- editor

TdxInplaceGraphicEdit::TdxInplaceGraphicEdit(TComponent* owner)
    : TdxInplaceEdit(owner), FClipboardFormat(PictureClipFormat()) {
  SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks);
  SetAutoSize(false);
  SetColor(clWindow);
  SetBounds(Left(), Top(), 140, 100);
  FPicture = std::make_unique<TPicture>();
  FPicture->OnChange = [this](TObject*) { PictureChanged(); };
  FPopupToolBar = std::make_unique<TdxPopupToolBar>(this);
  FPopupToolBar->OnButtonClick = [this](TObject* sender, TdxPopupToolBarButton button) {
    ToolbarButtonClick(sender, button);
  };
  FPopupToolBar->SetIsPopupMenu(true);
  FToolbarLayout = std::make_unique<TdxPopupToolBarWindow>(this);
}

TdxInplaceGraphicEdit::~TdxInplaceGraphicEdit() {
  FToolbarLayout.reset();
  FPopupToolBar.reset();
  FTempTransparentBitmap.reset();
  FTempPicture.reset();
  FPicture.reset();
}

void TdxInplaceGraphicEdit::SetCenter(bool value) {
  if (FCenter == value) return;
  FCenter = value;
  PictureChanged();
}

void TdxInplaceGraphicEdit::SetStretch(bool value) {
  if (FStretch == value) return;
  FStretch = value;
  PictureChanged();
}

void TdxInplaceGraphicEdit::SetCustomGraphic(bool value) {
  if (FCustomGraphic == value) return;
  FCustomGraphic = value;
  const bool was = std::exchange(FInternalChanging, true);
  PictureChanged();
  FInternalChanging = was;
}

void TdxInplaceGraphicEdit::SetGraphicTransparency(TdxGraphicEditTransparency value) {
  if (FGraphicTransparency == value) return;
  FGraphicTransparency = value;
  const bool was = std::exchange(FInternalChanging, true);
  PictureChanged();
  FInternalChanging = was;
}

void TdxInplaceGraphicEdit::SetToolbarPosStored(bool value) {
  FToolbarPosStored = value;
  if (!value) FToolbarPos = kNoToolbarPos;
}

void TdxInplaceGraphicEdit::PictureChanged() {
  if (!FPicture) return;
  LayoutChanged();
  if (FGraphicTransparency != gtDefault && !IsPictureEmpty(FPicture.get())) {
    TNotifyEvent handler = std::move(FPicture->OnChange);
    FPicture->OnChange = nullptr;
    FPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
    FPicture->OnChange = std::move(handler);
  }
  if (!FInternalChanging && !(ComponentState() & csLoading)) {
    if (OnChange) OnChange(this);
    SetEditModified(true);
  }
}

void TdxInplaceGraphicEdit::SetEditValue(const Variant& value) {
  const bool modified = GetEditModified();
  FInternalChanging = true;
  struct TRestore {
    TdxInplaceGraphicEdit& Edit;
    bool Modified;
    ~TRestore() {
      Edit.FInternalChanging = false;
      Edit.SetEditModified(Modified);
    }
  } restore{*this, modified};
  if ((FCustomGraphic && (ComponentState() & csDesigning)) || IsEmptyEditValue(value))
    FPicture->SetGraphic(nullptr);
  else
    LoadPictureFromValue(*FPicture, GetGraphicClass(), value);
}

Variant TdxInplaceGraphicEdit::GetEditValue() {
  TPicture* picture = FPicture.get();
  DoAssignPicture(picture);
  return SavePictureToValue(picture);
}

std::unique_ptr<TdxEditViewData> TdxInplaceGraphicEdit::CreateViewData(bool isPaintCopy) {
  auto base = TdxInplaceEdit::CreateViewData(isPaintCopy);
  auto& vd = static_cast<TdxGraphicEditViewData&>(*base);
  vd.Center = FCenter;
  // A copy painted for a data definition shows its own picture (none is made in this system).
  const bool dataCopy = isPaintCopy && (ControlState() & csPaintCopy);
  if (dataCopy && !FTempPicture) FTempPicture = std::make_unique<TPicture>();
  vd.Picture = dataCopy ? FTempPicture.get() : FPicture.get();
  vd.QuickDraw = FQuickDraw;
  vd.Stretch = FStretch;
  if (!IsPictureEmpty(vd.Picture) && vd.Picture->Graphic()->Transparent() && !FTempTransparentBitmap)
    FTempTransparentBitmap = std::make_unique<TBitmap>();
  vd.TempTransparentBitmap = FTempTransparentBitmap.get();
  return base;
}

void TdxInplaceGraphicEdit::DoCustomClick() {
  if (FOnCustomClick) FOnCustomClick(this);
}

void TdxInplaceGraphicEdit::DoAssignPicture(TPicture*& picture) {
  if (FOnAssignPicture) FOnAssignPicture(this, picture);
}

TGraphicClass TdxInplaceGraphicEdit::GetGraphicClass() {
  TGraphicClass graphicClass = nullptr;
  if (FOnGetGraphicClass) FOnGetGraphicClass(this, graphicClass);
  return graphicClass;
}

// --- commands

void TdxInplaceGraphicEdit::ClearPicture() {
  if (CanEditValue()) FPicture->SetGraphic(nullptr);
}

void TdxInplaceGraphicEdit::CopyToClipboard() {
  if (FPicture->Graphic()) Clipboard().Assign(*FPicture);
}

void TdxInplaceGraphicEdit::CutToClipboard() {
  CopyToClipboard();
  if (CanModify()) ClearPicture();
}

void TdxInplaceGraphicEdit::PasteFromClipboard() {
  if (!CanModify() || !Clipboard().HasFormat(FClipboardFormat) || !CanEditValue()) return;
  if (FClipboardFormat == PictureClipFormat() && Clipboard().HasFormat(CF_BITMAP)) {
    // The bitmap form of the clipboard's picture.
    TPicture pasted;
    Clipboard().AssignTo(pasted);
    if (dynamic_cast<TBitmap*>(pasted.Graphic())) {
      FPicture->Assign(pasted);
      return;
    }
    FPicture->Bitmap().Assign(*pasted.Graphic());
    return;
  }
  Clipboard().AssignTo(*FPicture);
}

void TdxInplaceGraphicEdit::LoadFromFile() {
  if (!CanEditValue()) return;
  TOpenPictureDialog dialog;
  if (!FCustomFilter.empty()) dialog.SetFilter(FCustomFilter);
  if (dialog.Execute()) FPicture->LoadFromFile(dialog.FileName());
}

void TdxInplaceGraphicEdit::SaveToFile() {
  TGraphic* graphic = FPicture->Graphic();
  if (!graphic) return;
  const TGraphicClass graphicClass = TPicture::FindGraphicClass(graphic->ClassName());
  TSavePictureDialog dialog;
  dialog.SetFilter(!FCustomFilter.empty() ? FCustomFilter : GraphicFilter(graphicClass));
  dialog.SetDefaultExt(GraphicExtension(graphicClass));
  if (dialog.Execute()) FPicture->SaveToFile(dialog.FileName());
}

// --- toolbar and menu

void TdxInplaceGraphicEdit::MenuItemClick(TObject* sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender); item && item->Tag >= 0 && item->Tag < kPopupToolBarButtonCount)
    ToolbarButtonClick(this, TdxPopupToolBarButton(item->Tag));
}

void TdxInplaceGraphicEdit::BuildEditMenu() {
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  auto add = [&](const WideString& caption, int tag) {
    auto* item = new TMenuItem(menu.get());
    item->SetCaption(caption);
    item->Tag = tag;
    item->ImageIndex = tag >= 0 && tag < ptbCustom ? tag : -1;
    item->OnClick = [this](TObject* s) { MenuItemClick(s); };
    menu->Items().Add(item);
  };
  for (int i = ptbCut; i <= ptbDelete; ++i) add(PopupToolBarCaption(TdxPopupToolBarButton(i)), i);
  add(L"-", kSeparatorTag);
  add(PopupToolBarCaption(ptbLoad), ptbLoad);
  add(PopupToolBarCaption(ptbSave), ptbSave);
  add(L"-", kSeparatorTag);
  add(FToolbarLayout->CustomButtonCaption(), ptbCustom);
  FPopupToolBar->SetEditPopupMenu(std::move(menu));
}

void TdxInplaceGraphicEdit::SyncToolbar() {
  TdxPopupToolBar& toolbar = *FPopupToolBar;
  const TdxPopupToolBarButtons buttons = FToolbarLayout->Buttons();
  auto has = [&](TdxPopupToolBarButton b) { return (buttons & PopupToolBarButtonBit(b)) != 0; };
  if (FToolbarLayout->IsPopupMenu()) {
    if (!toolbar.EditPopupMenu()) BuildEditMenu();
    TMenuItem& items = toolbar.EditPopupMenu()->Items();
    // Items: Cut, Copy, Paste, Delete, separator, Load, Save, separator, custom.
    constexpr std::array<int, 7> kCommandItems{0, 1, 2, 3, 5, 6, 8};
    for (int i = 0; i < kPopupToolBarButtonCount; ++i)
      items.Items(kCommandItems[std::size_t(i)])->SetVisible(has(TdxPopupToolBarButton(i)));
    items.Items(4)->SetVisible(has(ptbLoad) || has(ptbSave));
    items.Items(7)->SetVisible(has(ptbCustom));
    items.Items(8)->SetCaption(FToolbarLayout->CustomButtonCaption());
  } else {
    toolbar.SetCanShow(FToolbarLayout->Visible());
    toolbar.SetCustomButtonCaption(FToolbarLayout->CustomButtonCaption());
    if (FToolbarLayout->HasCustomButtonGlyph()) toolbar.SetCustomButtonGlyph(*FToolbarLayout->CustomButtonGlyph());
    toolbar.Font().Assign(Font());
    toolbar.SetShowCaptions(FToolbarLayout->ShowCaptions());
    toolbar.SetToolBarAlignment(FToolbarLayout->Alignment());
    toolbar.SetToolBarButtons(buttons);
  }
  toolbar.SetClipboardFormat(FClipboardFormat);
  toolbar.SetIsEmpty(IsPictureEmpty(FPicture.get()));
  toolbar.SetIsReadOnly(!CanModify());
}

void TdxInplaceGraphicEdit::ShowPopupToolbar() {
  if (FToolbarLayout->IsPopupMenu() || !FToolbarLayout->Visible()) return;
  SyncToolbar();
  TdxPopupToolBar& toolbar = *FPopupToolBar;
  if ((FSavePos.x != kNoToolbarPos.x || FSavePos.y != kNoToolbarPos.y) &&
      (toolbar.Left() != FSavePos.x || toolbar.Top() != FSavePos.y))
    FToolbarPos = POINT{toolbar.Left(), toolbar.Top()};
  if (!FToolbarPosStored || (FToolbarPos.x == kNoToolbarPos.x && FToolbarPos.y == kNoToolbarPos.y)) {
    RECT window;
    GetWindowRect(Handle(), &window);
    toolbar.CalcPosition(POINT{window.left, window.top});
  } else {
    toolbar.SetBounds(FToolbarPos.x, FToolbarPos.y, toolbar.Width(), toolbar.Height());
  }
  FSavePos = POINT{toolbar.Left(), toolbar.Top()};
  toolbar.SetFlagHide(false);
  toolbar.RefreshButtons();
  toolbar.Show();
}

void TdxInplaceGraphicEdit::ToolbarButtonClick(TObject*, TdxPopupToolBarButton button) {
  switch (button) {
    case ptbCut: CutToClipboard(); break;
    case ptbCopy: CopyToClipboard(); break;
    case ptbPaste: PasteFromClipboard(); break;
    case ptbDelete: ClearPicture(); break;
    case ptbLoad: LoadFromFile(); break;
    case ptbSave: SaveToFile(); break;
    case ptbCustom: DoCustomClick(); break;
  }
  FPopupToolBar->SetIsEmpty(IsPictureEmpty(FPicture.get()));
  FPopupToolBar->RefreshButtons();
}

void TdxInplaceGraphicEdit::HideToolbarIfUnfocused() {
  if (!FPopupToolBar->HandleAllocated() || GetFocus() != FPopupToolBar->Handle()) FPopupToolBar->Hide();
}

bool TdxInplaceGraphicEdit::IsFocused() {
  return TdxInplaceEdit::IsFocused() ||
         (FPopupToolBar && FPopupToolBar->HandleAllocated() && GetFocus() == FPopupToolBar->Handle());
}

void TdxInplaceGraphicEdit::DoSetFocus() {
  TdxInplaceEdit::DoSetFocus();
  if (!FDblClickActivate) ShowPopupToolbar();
}

void TdxInplaceGraphicEdit::DoKillFocus(TMessage& message) {
  HideToolbarIfUnfocused();
  TdxInplaceEdit::DoKillFocus(message);
}

// --- keyboard and mouse

void TdxInplaceGraphicEdit::KeyDown(WORD& key, TShiftState shift) {
  if (IsInplace() && (key == VK_LEFT || key == VK_RIGHT)) {
    GoToNeighbourCell(key == VK_LEFT);
  }
  TdxInplaceEdit::KeyDown(key, shift);
  if (key == VK_INSERT && (shift & ssShift))
    PasteFromClipboard();
  else if (key == VK_INSERT && (shift & ssCtrl))
    CopyToClipboard();
  else if (key == VK_DELETE && (shift & ssShift))
    CutToClipboard();
}

void TdxInplaceGraphicEdit::KeyPress(wchar_t& key) {
  TdxInplaceEdit::KeyPress(key);
  switch (key) {
    case 3: CopyToClipboard(); break;
    case 22: PasteFromClipboard(); break;
    case 24: CutToClipboard(); break;
    default: break;
  }
}

void TdxInplaceGraphicEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceEdit::MouseDown(button, shift, x, y);
  if (FDblClickActivate && (shift & ssDouble)) ShowPopupToolbar();
}

TVK_MESSAGE_MAP(TdxInplaceGraphicEdit, {WM_GETDLGCODE, &TdxInplaceGraphicEdit::WMGetDlgCode},
                {WM_CONTEXTMENU, &TdxInplaceGraphicEdit::WMContextMenu})

void TdxInplaceGraphicEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  if (IsInplace()) message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TdxInplaceGraphicEdit::WMContextMenu(TMessage& message) {
  TVK_INHERITED(message);
  if (message.Result != 0 || !FToolbarLayout->IsPopupMenu()) return;
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (p.x == -1 && p.y == -1) {
    GetCaretPos(&p);
    if (p.x > ClientWidth()) p.x = ClientWidth();
    p = ClientToScreen(p);
  }
  SyncToolbar();
  FPopupToolBar->RefreshButtons();
  FPopupToolBar->EditPopupMenu()->Popup(p.x, p.y);
}

}  // namespace tvk
