#include "dxCheckEdit.h"

#include <windowsx.h>

#include <algorithm>
#include <cwctype>

namespace tvk {

namespace {

constexpr UINT kCheckBoxesBitmap = 32759;  // the system bitmap of check boxes: 4 columns by 3 rows

int gCheckWidth = 0, gCheckHeight = 0;
TdxCheckEditStyleController* gCheckEditStyleController = nullptr;

TdxCheckEditViewData& AsCheckData(TdxEditViewData& viewData) { return static_cast<TdxCheckEditViewData&>(viewData); }

// A value as a check state: Null is the grayed state (no value); a number or a
// text of digits its state, clamped to 0..2; anything else unchecked.
int StateOf(const Variant& data) {
  if (VarIsNull(data)) return cbsGrayed;
  if (VarIsArray(data) || VarIsEmpty(data)) return cbsUnchecked;
  int state = 0;
  if (VarIsStr(data)) {
    for (wchar_t c : VarToStr(data)) {
      if (c < L'0' || c > L'9') break;
      state = state * 10 + (c - L'0');
      if (state > 2) break;
    }
  } else {
    Variant number;
    if (SUCCEEDED(VariantChangeType(number.Ptr(), const_cast<VARIANT*>(data.Ptr()), 0, VT_I4)))
      state = number.Ptr()->lVal;
  }
  return std::clamp(state, 0, 2);
}

// The flags of the caption's text: layout, prefix, focus, transparency.
WORD CaptionFlags(const TdxCheckEditViewData& data) {
  static constexpr WORD kHorizontal[] = {0, 2, 1};  // by TAlignment: left, right, centre
  WORD flags = kHorizontal[static_cast<int>(data.Alignment)] | static_cast<WORD>(data.DrawAlignment) | kDrawTextPrefix;
  if (data.Focused) flags |= kDrawTextFocusRect;
  if (data.ExactFocusRect) flags |= kDrawTextFocusOnText;
  if (data.Transparent) flags |= kDrawTextNoFill;
  return flags;
}

// Image Index of a strip of CheckWidth-wide images, its transparent colour showing Brush.
void DrawStripImage(HDC dc, const RECT& target, TBitmap& strip, int index, int checkWidth, int checkHeight,
                    HBRUSH brush) {
  FillRect(dc, &target, brush);
  const COLORREF transparent = ColorToRGB(strip.TransparentColor());
  HDC source = strip.Canvas().Handle();
  for (int y = 0; y < checkHeight; ++y)
    for (int x = 0; x < checkWidth; ++x) {
      const COLORREF c = GetPixel(source, index * checkWidth + x, y);
      if (c != CLR_INVALID && c != transparent) SetPixelV(dc, target.left + x, target.top + y, c);
    }
}

class TClipSaver {
public:
  explicit TClipSaver(HDC dc) : FDC(dc), FRegion(CreateRectRgn(0, 0, 0, 0)) {
    FHadClip = GetClipRgn(dc, FRegion) == 1;
  }
  ~TClipSaver() {
    SelectClipRgn(FDC, FHadClip ? FRegion : nullptr);
    DeleteObject(FRegion);
  }
  TClipSaver(const TClipSaver&) = delete;
  TClipSaver& operator=(const TClipSaver&) = delete;

private:
  HDC FDC;
  HRGN FRegion;
  bool FHadClip = false;
};

}  // namespace

void MeasureStandardCheckSize() {
  HBITMAP bitmap = LoadBitmapW(nullptr, MAKEINTRESOURCEW(kCheckBoxesBitmap));
  BITMAP info{};
  if (bitmap && GetObjectW(bitmap, sizeof info, &info)) {
    gCheckWidth = info.bmWidth / 4;
    gCheckHeight = info.bmHeight / 3;
  }
  if (bitmap) DeleteObject(bitmap);
}

int StandardCheckWidth() {
  if (gCheckWidth == 0) MeasureStandardCheckSize();
  return gCheckWidth;
}

int StandardCheckHeight() {
  if (gCheckHeight == 0) MeasureStandardCheckSize();
  return gCheckHeight;
}

// --- style

TdxCheckEditStyleController::TdxCheckEditStyleController(TComponent* owner) : TdxEditStyleController(owner) {
  SetBorderStyle(xbsNone);
  SetButtonStyle(bts3D);
}

void TdxCheckEditStyleController::RestoreDefaults() {
  TdxEditStyleController::RestoreDefaults();
  BeginUpdate();
  SetBorderStyle(xbsNone);
  SetButtonStyle(bts3D);
  EndUpdate();
}

TdxCheckEditStyleController* DefaultCheckEditStyleController() { return gCheckEditStyleController; }

void SetDefaultCheckEditStyleController(TdxCheckEditStyleController* controller) {
  gCheckEditStyleController = controller;
}

// The base style links the editor to the common default controller; a check style follows its own.
TdxCheckEditStyle::TdxCheckEditStyle(TdxInplaceEdit* edit) : TdxEditStyle(edit) {
  if (!edit) return;
  if (auto* common = DefaultEditStyleController()) common->RemoveLink(edit);
  if (gCheckEditStyleController) gCheckEditStyleController->AddLink(edit);
}

TdxCheckEditStyle::~TdxCheckEditStyle() {
  if (gCheckEditStyleController && Edit()) gCheckEditStyleController->RemoveLink(Edit());
}

TdxEditStyleController* TdxCheckEditStyle::GetDefaultEditStyleController() const {
  return gCheckEditStyleController ? gCheckEditStyleController : DefaultEditStyleController();
}

// --- class functions

const TdxInplaceCheckEditClass& TdxInplaceCheckEditClass::Instance() {
  static const TdxInplaceCheckEditClass instance;
  return instance;
}

std::unique_ptr<TdxEditViewData> TdxInplaceCheckEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxCheckEditViewData>();
}

bool TdxInplaceCheckEditClass::CalcCheckSize(TBitmap* glyph, int glyphCount, int& checkWidth, int& checkHeight) {
  if (glyphCount > 0 && glyph && !glyph->Empty()) {
    checkWidth = glyph->Width() / glyphCount;
    checkHeight = glyph->Height();
    return true;
  }
  checkWidth = StandardCheckWidth();
  checkHeight = StandardCheckHeight();
  return false;
}

void TdxInplaceCheckEditClass::CalcCheckRects(int checkWidth, int checkHeight, TAlignment alignment,
                                              RECT& textRect, RECT& checkRect) {
  if (alignment == TAlignment::taCenter) {
    const int left = (textRect.left + textRect.right - checkWidth) / 2;
    const int top = (textRect.top + textRect.bottom - checkHeight) / 2;
    checkRect = RECT{left, top, left + checkWidth, top + checkHeight};
    return;
  }
  InflateRect(&textRect, -2, -2);
  const int top = (textRect.top + textRect.bottom - checkHeight) / 2;
  if (alignment == TAlignment::taRightJustify) {
    checkRect = RECT{textRect.right - checkWidth, top, textRect.right, top + checkHeight};
    textRect.right -= checkWidth + 3;
  } else {
    checkRect = RECT{textRect.left, top, textRect.left + checkWidth, top + checkHeight};
    textRect.left += checkWidth + 3;
  }
}

UINT TdxInplaceCheckEditClass::FrameControlFlags(int state, TdxShowNullFieldStyle nullStyle, bool pressed,
                                                 bool enabled) {
  if (!enabled)
    return DFCS_BUTTON3STATE | DFCS_PUSHED | (state != cbsUnchecked ? DFCS_CHECKED : DFCS_INACTIVE);
  UINT flags = 0;
  if (state == cbsChecked) flags = DFCS_CHECKED;
  if (state == cbsGrayed) {
    static constexpr UINT kNullFlags[] = {0, DFCS_INACTIVE, DFCS_CHECKED};  // by TdxShowNullFieldStyle
    flags = DFCS_BUTTON3STATE | kNullFlags[nullStyle];
  }
  if (pressed) flags |= DFCS_PUSHED;
  return flags;
}

int TdxInplaceCheckEditClass::GlyphIndex(int state, bool pressed, int glyphCount) {
  int index = state + (pressed ? 3 : 0);
  if (index >= glyphCount && index > 2) index %= 3;
  return index;
}

void TdxInplaceCheckEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData,
                                              bool isControl) const {
  (void)isControl;
  TdxCheckEditViewData& data = AsCheckData(viewData);
  int cw = 0, ch = 0;
  const bool useGlyph = CalcCheckSize(data.Glyph, data.GlyphCount, cw, ch);
  if (data.CalcHeight) {
    data.LineCount = 1;
    data.LineHeight = ch;
    return;
  }
  RECT textRect = rect, checkRect{};
  CalcCheckRects(cw, ch, data.Alignment, textRect, checkRect);
  if (data.Alignment != TAlignment::taCenter) {
    const WORD flags = CaptionFlags(data);
    const int length = static_cast<int>(data.Caption.size());
    if (data.Enabled) {
      DrawAlignedText(dc, data.Caption, length, rect, textRect, flags, data.Brush, data.Font, data.BkColor,
                      data.TextColor, nullptr);
    } else {
      RECT shifted = textRect;
      OffsetRect(&shifted, 1, 1);
      DrawAlignedText(dc, data.Caption, length, rect, shifted, flags, data.Brush, data.Font, data.BkColor,
                      GetSysColor(COLOR_BTNHIGHLIGHT), nullptr);
      DrawAlignedText(dc, data.Caption, length, rect, textRect, flags | kDrawTextNoFill, data.Brush, data.Font,
                      data.BkColor, GetSysColor(COLOR_BTNSHADOW), nullptr);
    }
  } else if (!data.Transparent) {
    FillRect(dc, &rect, data.Brush);
  }
  const int state = StateOf(data.Data);
  if (useGlyph) {
    DrawStripImage(dc, checkRect, *data.Glyph, GlyphIndex(state, data.Pressed, data.GlyphCount), cw, ch, data.Brush);
    return;
  }
  const UINT flags = FrameControlFlags(state, data.NullStyle, data.Pressed, data.Enabled);
  RECT r = checkRect;
  switch (data.ButtonStyle) {
    case bts3D: DrawFrameControl(dc, &r, DFC_BUTTON, flags); break;
    case btsFlat: {
      {
        TClipSaver clip(dc);
        InflateRect(&r, -1, -1);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        InflateRect(&r, 1, 1);
        DrawFrameControl(dc, &r, DFC_BUTTON, flags | DFCS_FLAT);
      }
      DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT | BF_FLAT);
      break;
    }
    case btsSimple: {
      {
        TClipSaver clip(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        InflateRect(&r, 1, 1);
        DrawFrameControl(dc, &r, DFC_BUTTON, flags | DFCS_FLAT);
      }
      InflateRect(&r, -1, -1);
      FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      break;
    }
    default: DrawFrameControl(dc, &r, DFC_BUTTON, flags | DFCS_FLAT); break;
  }
}

int TdxInplaceCheckEditClass::GetMinHeight(TdxEditViewData& viewData) const {
  TdxCheckEditViewData& data = AsCheckData(viewData);
  int height = std::max(TdxInplaceEditClass::GetMinHeight(viewData), StandardCheckHeight());
  if (data.Glyph && !data.Glyph->Empty()) height = std::max(height, data.Glyph->Height());
  if (data.Alignment != TAlignment::taCenter) {
    int cw = 0, ch = 0;
    CalcCheckSize(data.Glyph, data.GlyphCount, cw, ch);
    TdxEditViewInfo vi;
    CalcBoundsInfo(viewData, vi);
    RECT textRect = vi.ClientBounds, checkRect{};
    CalcCheckRects(cw, ch, data.Alignment, textRect, checkRect);
    WORD flags = CaptionFlags(data) | kDrawTextMeasure;
    if (data.DrawAlignment == daMultiLine || data.DrawAlignment == daMultiLineVCenter) flags |= 0x10;
    HDC dc = GetDC(nullptr);
    const int text = DrawAlignedText(dc, data.Caption, static_cast<int>(data.Caption.size()), textRect, textRect,
                                     flags, data.Brush, data.Font ? data.Font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                                     data.BkColor, data.TextColor, nullptr);
    ReleaseDC(nullptr, dc);
    height = std::max(height, text + 4);
  }
  return height;
}

bool TdxInplaceCheckEditClass::DoesEditorNeedActivating(const RECT& rect, TAlignment alignment, int x,
                                                        int y) const {
  RECT textRect = rect, checkRect{};
  CalcCheckRects(StandardCheckWidth(), StandardCheckHeight(), alignment, textRect, checkRect);
  return PtInRect(&checkRect, POINT{x, y}) != FALSE;
}

// --- the editor

TdxInplaceCheckEdit::TdxInplaceCheckEdit(TComponent* owner) : TdxInplaceEdit(owner) {
  FStyle = std::make_unique<TdxCheckEditStyle>(this);
  SetControlStyle(csSetCaption | csDoubleClicks);
}

TdxInplaceCheckEdit::~TdxInplaceCheckEdit() = default;

void TdxInplaceCheckEdit::SetState(TdxCheckBoxState value) {
  if (value == FState) return;
  FState = value;
  InvalidateCheck();
  if (!Loading()) Click();
}

void TdxInplaceCheckEdit::SetGlyph(TBitmap* value) {
  if (!value) {
    FGlyph.reset();
  } else {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    FGlyph->Assign(*value);
  }
  LayoutChanged();
}

void TdxInplaceCheckEdit::SetGlyphCount(int value) {
  if (value == FGlyphCount) return;
  FGlyphCount = value;
  if (FGlyph) LayoutChanged();
}

void TdxInplaceCheckEdit::SetNullStyle(TdxShowNullFieldStyle value) {
  if (value == FNullStyle) return;
  FNullStyle = value;
  InvalidateCheck();
}

void TdxInplaceCheckEdit::Toggle() {
  if (!CanEditValue()) return;
  switch (FState) {
    case cbsChecked: SetState(cbsUnchecked); break;
    case cbsGrayed: SetState(cbsChecked); break;
    case cbsUnchecked: SetState(FAllowGrayed ? cbsGrayed : cbsChecked); break;
  }
  SetEditModified(true);
  if (FState != cbsGrayed && (CompareStringOrdinal(Text().c_str(), -1, L"True", -1, TRUE) == CSTR_EQUAL ||
                              CompareStringOrdinal(Text().c_str(), -1, L"False", -1, TRUE) == CSTR_EQUAL))
    SetText(FState == cbsChecked ? L"True" : L"False");
  if (TCustomdxContainer* host = Container(); host && host->FSingleClickCheckEdit) {
    WORD enter = VK_RETURN;
    KeyDown(enter, 0);
  }
}

// A value from the host: neither modified nor an event.
void TdxInplaceCheckEdit::SetEditValue(const Variant& value) {
  const bool modified = GetEditModified();
  FInternalChanging = true;
  struct TRestore {
    TdxInplaceCheckEdit* Edit;
    bool Modified;
    ~TRestore() {
      Edit->FInternalChanging = false;
      Edit->SetEditModified(Modified);
    }
  } restore{this, modified};
  SetState(static_cast<TdxCheckBoxState>(StateOf(value)));
}

Variant TdxInplaceCheckEdit::GetEditValue() { return Variant(static_cast<std::int32_t>(FState)); }

std::unique_ptr<TdxEditViewData> TdxInplaceCheckEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceEdit::CreateViewData(isPaintCopy);
  TdxCheckEditViewData& data = AsCheckData(*vd);
  data.DrawAlignment = FMultiLine ? daMultiLine : daVCenter;
  data.Caption = GetReadOnly() ? WideString() : Text();
  data.ExactFocusRect = !FFullFocusRect;
  data.Glyph = FGlyph.get();
  data.GlyphCount = FGlyphCount;
  data.NullStyle = FNullStyle;
  data.Pressed = FPressed;
  data.Alignment = FAlignment;
  data.Data = GetDisplayValue(isPaintCopy);
  return vd;
}

RECT TdxInplaceCheckEdit::CheckRect() {
  int cw = 0, ch = 0;
  TdxInplaceCheckEditClass::CalcCheckSize(FGlyph.get(), FGlyphCount, cw, ch);
  RECT textRect = ClientRect(), checkRect{};
  TdxInplaceCheckEditClass::CalcCheckRects(cw, ch, FAlignment, textRect, checkRect);
  return checkRect;
}

bool TdxInplaceCheckEdit::InCheck(int x, int y) {
  TCustomdxContainer* host = Container();
  if (!host || !host->FSingleClickCheckEdit) return true;
  RECT r = CheckRect();
  return PtInRect(&r, POINT{x, y}) != FALSE;
}

void TdxInplaceCheckEdit::InvalidateCheck() {
  if (!HandleAllocated()) return;
  RECT r = CheckRect();
  InvalidateRect(Handle(), &r, FALSE);
}

void TdxInplaceCheckEdit::TrackPressed(int x, int y) {
  RECT client = ClientRect();
  const bool pressed = PtInRect(&client, POINT{x, y}) != FALSE;
  if (pressed == FPressed) return;
  FPressed = pressed;
  InvalidateCheck();
}

void TdxInplaceCheckEdit::StopTracking() {
  if (!FTracking) return;
  TrackPressed(-1, -1);
  FTracking = false;
  SetMouseCapture(false);
}

void TdxInplaceCheckEdit::MouseClick(int x, int y) {
  TdxInplaceEdit::MouseClick(x, y);
  if (InCheck(x, y)) Toggle();
}

void TdxInplaceCheckEdit::Click() {
  if (FInternalChanging) return;
  TdxInplaceEdit::Click();
  if (OnChange) OnChange(this);
}

void TdxInplaceCheckEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && !FPressed) {
    FPressed = true;
    InvalidateCheck();
  }
  if (key == VK_LEFT) GoToNeighbourCell(true);
  if (key == VK_RIGHT) GoToNeighbourCell(false);
  TdxInplaceEdit::KeyDown(key, shift);
}

void TdxInplaceCheckEdit::KeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && FPressed) {
    FPressed = false;
    InvalidateCheck();
    if (CanModify()) Toggle();
  }
  TdxInplaceEdit::KeyUp(key, shift);
}

// The Space that started editing arrives without its key going down here.
void TdxInplaceCheckEdit::KeyPress(wchar_t& key) {
  TdxInplaceEdit::KeyPress(key);
  if (key == L' ' && !FPressed && CanModify()) Toggle();
}

void TdxInplaceCheckEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceEdit::MouseDown(button, shift, x, y);
  if (button == TMouseButton::mbLeft && InCheck(x, y)) {
    SetMouseCapture(true);
    FTracking = true;
    TrackPressed(x, y);
  }
}

void TdxInplaceCheckEdit::MouseMove(TShiftState shift, int x, int y) {
  if (FTracking) TrackPressed(x, y);
  TdxInplaceEdit::MouseMove(shift, x, y);
}

void TdxInplaceCheckEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool pressed = FPressed;
  StopTracking();
  if (button == TMouseButton::mbLeft && pressed && CanModify() && InCheck(x, y)) Toggle();
  TdxInplaceEdit::MouseUp(button, shift, x, y);
}

TVK_MESSAGE_MAP(TdxInplaceCheckEdit, {WM_CANCELMODE, &TdxInplaceCheckEdit::WMCancelMode},
                {WM_GETDLGCODE, &TdxInplaceCheckEdit::WMGetDlgCode},
                {CM_DIALOGCHAR, &TdxInplaceCheckEdit::CMDialogChar},
                {CM_TEXTCHANGED, &TdxInplaceCheckEdit::CMTextChanged})

void TdxInplaceCheckEdit::WMCancelMode(TMessage& message) {
  StopTracking();
  TVK_INHERITED(message);
}

void TdxInplaceCheckEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TdxInplaceCheckEdit::CMDialogChar(TMessage& message) {
  if (IsAccel(static_cast<wchar_t>(message.WParam), Text()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TdxInplaceCheckEdit::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  LayoutChanged();
}

}  // namespace tvk
