#include "dxPopupListBox.h"

#include <windowsx.h>

#include <algorithm>

namespace tvk {

namespace {

// The height of "Wg" in Font.
int SampleTextHeight(TFont& font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, L"Wg", 2, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cy;
}

}  // namespace

TCustomdxPopupListBox::TCustomdxPopupListBox(TComponent* owner) : TCustomListBox(owner) {
  SetStyle(TListBoxStyle::lbOwnerDrawVariable);
  SetTabStop(false);
}

void TCustomdxPopupListBox::CreateParams(TCreateParams& params) {
  TCustomListBox::CreateParams(params);
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.Style &= ~static_cast<DWORD>(WS_BORDER);
  params.SubClassStyle = CS_SAVEBITS;
}

// Top-level, so the list may reach beyond the form; told it has the focus,
// so the selection draws in focused colours while the editor keeps the keyboard.
void TCustomdxPopupListBox::CreateWnd() {
  TCustomListBox::CreateWnd();
  ::SetParent(Handle(), nullptr);
  // Topmost takes hold only now that the window has no parent.
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TMessage focus{WM_SETFOCUS, 0, 0, 0};
  DefaultHandler(focus);
}

void TCustomdxPopupListBox::MeasureItem(int index, int& height) {
  (void)index;
  height = SampleTextHeight(Font());
  FRealItemHeight = height;
}

void TCustomdxPopupListBox::MouseMove(TShiftState shift, int x, int y) {
  if (FHotTrack && HandleAllocated()) {
    const int index = ItemAtPos(POINT{x, y}, true);
    if (index != ItemIndex()) SetItemIndex(index);
  }
  TCustomListBox::MouseMove(shift, x, y);
}

void TCustomdxPopupListBox::SetPopupBorderStyle(TdxPopupBorderStyle value) {
  if (value == FPopupBorderStyle) return;
  FPopupBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxPopupListBox::SetShadow(bool value) {
  if (value == FShadow) return;
  FShadow = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxPopupListBox::SetShadowSize(int value) {
  value = std::max(value, 1);
  if (value == FShadowSize) return;
  FShadowSize = value;
  if (HandleAllocated()) RecreateWnd();
}

TVK_MESSAGE_MAP(TCustomdxPopupListBox, {WM_NCCALCSIZE, &TCustomdxPopupListBox::WMNCCalcSize},
                {WM_NCPAINT, &TCustomdxPopupListBox::WMNCPaint}, {WM_SIZE, &TCustomdxPopupListBox::WMSize},
                {CM_HINTSHOW, &TCustomdxPopupListBox::CMHintShow})

void TCustomdxPopupListBox::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  RECT& r = *reinterpret_cast<RECT*>(message.LParam);
  const int border = PopupBorderWidth(FPopupBorderStyle);
  InflateRect(&r, -border, -border);
  if (FShadow) {
    r.right -= FShadowSize;
    r.bottom -= FShadowSize;
  }
}

void TCustomdxPopupListBox::WMNCPaint(TMessage& message) {
  DefaultHandler(message);
  const LONG style = GetWindowLongW(Handle(), GWL_STYLE);
  DrawPopupWindowFrame(Handle(), FPopupBorderStyle, (style & WS_HSCROLL) && (style & WS_VSCROLL), FShadowSize,
                       FShadow);
}

void TCustomdxPopupListBox::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  SetPopupShadowRegion(Handle(), FShadow, FShadowSize);
}

// --- pictures

void TdxPopupImageListBox::SetImages(TCustomImageList* value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (FImages) FImages->FreeNotification(this);
  if (HandleAllocated()) RecreateWnd();
}

void TdxPopupImageListBox::Notification(TComponent* component, TOperation operation) {
  TCustomdxPopupListBox::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FImages) FImages = nullptr;
}

void TdxPopupImageListBox::MeasureItem(int index, int& height) {
  TCustomdxPopupListBox::MeasureItem(index, height);
  if (FImages) height = std::max(height, FImages->Height() + 2);
  FRealItemHeight = height;
}

void TdxPopupImageListBox::DrawItem(int index, const RECT& rect, TOwnerDrawState state) {
  (void)state;
  TCanvas& canvas = Canvas();
  canvas.FillRect(rect);
  const int picture = ObjectPictureIndex(Items().Objects(index));
  int pictureWidth = 0;
  if (FImages) {
    pictureWidth = FImages->Width();
    if (picture >= 0 && picture < FImages->Count())
      FImages->Draw(canvas, rect.left + 1, (rect.top + rect.bottom - FImages->Height()) / 2, picture, true);
  }
  HDC dc = canvas.Handle();
  SetBkMode(dc, TRANSPARENT);
  const WideString text = Items().Get(index);
  if (FIsMultiLineText) {
    RECT r = rect;
    InflateRect(&r, -2, -2);
    r.left += FImages ? pictureWidth + 1 : 0;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  } else {
    canvas.TextOut(rect.left + pictureWidth + 3, (rect.top + rect.bottom - canvas.TextHeight(text)) / 2, text);
  }
}

}  // namespace tvk
