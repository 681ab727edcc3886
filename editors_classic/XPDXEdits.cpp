#include "XPDXEdits.h"

#include "Clipbrd.h"
#include "Forms.h"
#include "XPControlUtils.h"
#include "XPEditText.h"
#include "XPTypes.h"
#include "dxEditor.h"
#include "dxUtils.h"

#include <imm.h>

#include <algorithm>

namespace tvk {

namespace {

constexpr TColor kDxEditFrameColor = 0x00B99D7F;
constexpr int kDxEditButtonWidth = 19;

bool DxShiftDown() { return (KeyboardShiftState() & ssShift) != 0; }

void DxFillSolid(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void DxFrameSolid(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

template <class F>
HRESULT DxGuardedCommand(F&& body) {
  try {
    body();
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace

UINT TCustomXPDXEdit::OemCodePage = CP_OEMCP;
UINT TCustomXPDXEdit::AnsiCodePage = CP_ACP;

// ---- Windowless cells

const TXPDXEditClass& TXPDXEditClass::Instance() {
  static const TXPDXEditClass instance;
  return instance;
}

void TXPDXEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const {
  if (IsEditClass() && isControl) return;  // the live window paints itself
  TdxEditViewData& vd = viewData;
  const WideString value = EditValueText(vd.Data);
  int length = vd.DataLength == 0 ? int(value.size()) : std::min<int>(vd.DataLength, int(value.size()));
  RECT r = rect;
  if (vd.FocusRect) {
    InflateRect(&r, -2, -2);
  } else {
    InflateRect(&r, -1, -1);
    r.left += vd.OffsetSize.left;
    r.top += vd.OffsetSize.top;
    r.right -= vd.OffsetSize.right;
    if (vd.Alignment == TAlignment::taRightJustify) r.right -= 1;
  }
  // The value as it is: no case conversion, password, selection bar or ellipsis.
  WORD flags = TextCellDrawFlags(vd, false, false);
  if (!vd.CalcHeight) {
    DrawAlignedText(dc, value, length, rect, r, flags, vd.Brush, vd.Font, vd.BkColor, vd.TextColor, nullptr);
    return;
  }
  vd.LineCount = 0;
  vd.LineTextHeight = 0;
  int h = DrawAlignedText(dc, value, length, rect, r, flags | kDrawTextMeasure, vd.Brush, vd.Font, vd.BkColor,
                          vd.TextColor, &vd.LineTextHeight);
  vd.LineHeight = h;
  if (h != 0) vd.LineHeight = vd.FocusRect ? h - 2 : h - vd.OffsetSize.top - 2;
  if (vd.LineTextHeight != 0) vd.LineCount = vd.LineHeight / vd.LineTextHeight;
}

// ---- The command interface

HRESULT TXPDXEditCommands::QueryInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IXPEditCommands::Iid) || IsEqualGUID(iid, IID_IUnknown)) {
    *obj = this;
    return S_OK;
  }
  *obj = nullptr;
  return E_NOINTERFACE;
}

HRESULT TXPDXEditCommands::Undo() { return DxGuardedCommand([&] { FEdit.Undo(); }); }
HRESULT TXPDXEditCommands::CutToClipboard() { return DxGuardedCommand([&] { FEdit.CutToClipboard(); }); }
HRESULT TXPDXEditCommands::CopyToClipboard() { return DxGuardedCommand([&] { FEdit.CopyToClipboard(); }); }
HRESULT TXPDXEditCommands::PasteFromClipboard() { return DxGuardedCommand([&] { FEdit.PasteFromClipboard(); }); }
HRESULT TXPDXEditCommands::DeleteSelection() { return DxGuardedCommand([&] { FEdit.DeleteSelection(); }); }
HRESULT TXPDXEditCommands::SelectAll() { return DxGuardedCommand([&] { FEdit.SelectAll(); }); }

// ---- TCustomXPDXEdit

TCustomXPDXEdit::TCustomXPDXEdit(TComponent* owner)
    : TdxInplaceEdit(owner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  FBorderStyle = TBorderStyle::bsSingle;
  SetControlStyle((ControlStyle() | csClickEvents | csDoubleClicks) & ~csOpaque);
  SetBounds(Left(), Top(), 121, 21);
  SetColor(clWindow);
  SetCursor(crDefault);
  SetTabStop(true);
  FFrameSize = 0;
  FBorderSize = 1;
  ClearUndo();
}

TCustomXPDXEdit::~TCustomXPDXEdit() {
  if (TXPEditResourceManager::BoundComponent() == this) TXPEditResourceManager::BindStandardMenu(nullptr);
}

bool TCustomXPDXEdit::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IXPEditCommands::Iid)) {
    *obj = static_cast<IXPEditCommands*>(&FCommands);
    return true;
  }
  return TdxInplaceEdit::GetInterface(iid, obj);
}

void TCustomXPDXEdit::CreateParams(TCreateParams& params) {
  TdxInplaceEdit::CreateParams(params);
  // A bordered editor has the system's sunken edge with Ctl3D (which stands for the plain
  // border too), the plain border without.
  if (FBorderStyle == TBorderStyle::bsSingle && !FTransparent) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
  if (FTransparent) params.ExStyle |= WS_EX_TRANSPARENT;
}

void TCustomXPDXEdit::CreateWnd() {
  TdxInplaceEdit::CreateWnd();
  SetCaretPosition(FCaretPos);
  SetFirstChar(FFirstChar);
  UpdateCaret();
  Perform(CM_FONTCHANGED);
}

void TCustomXPDXEdit::Loaded() {
  TdxInplaceEdit::Loaded();
  ClearUndo();
  SetEditModified(false);
}

// ---- Text

void TCustomXPDXEdit::SetInternalText(const WideString& text) {
  WideString value = FOEMConvert ? TextToOemForm(text, OemCodePage, AnsiCodePage) : text;
  if (value == FText) return;
  FUndo.TextChanging(FText);
  FText = value;
  UpdateDisplayText();
}

void TCustomXPDXEdit::UpdateDisplayText() {
  FDisplayText = FPasswordChar ? WideString(FText.size(), FPasswordChar) : FText;
}

WideString TCustomXPDXEdit::GetText() { return FOEMConvert ? OemFormToText(FText, OemCodePage, AnsiCodePage) : FText; }

void TCustomXPDXEdit::SetText(const WideString& value) {
  SetUnicodeText(value);
  ClearUndo();
}

void TCustomXPDXEdit::SetUnicodeText(const WideString& value) {
  WideString old = FText;
  SetInternalText(value);
  if (FText != old) {
    Perform(CM_TEXTCHANGED);
    Invalidate();
  }
}

void TCustomXPDXEdit::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (FInTextChanging) return;
  SetFirstChar(0);
  MoveCaret(int(FDisplayText.size()));
  struct TExternal {
    bool& Flag;
    ~TExternal() { Flag = false; }
  } external{FExternalTextChanging = true};
  Change();
}

void TCustomXPDXEdit::Change() {
  if (Loading() || FSuppressChange > 0) return;
  SetEditModified(true);
  if (OnChange) OnChange(this);
}

void TCustomXPDXEdit::ApplyCharCase(WideString& text) const {
  for (wchar_t& c : text) {
    if (FCharCase == TEditCharCase::ecUpperCase && c >= L'a' && c <= L'z') c = wchar_t(c - 32);
    if (FCharCase == TEditCharCase::ecLowerCase && c >= L'A' && c <= L'Z') c = wchar_t(c + 32);
  }
}

void TCustomXPDXEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  WideString text = FText;
  ApplyCharCase(text);
  SetInternalText(text);
}

void TCustomXPDXEdit::Clear() { SetInternalText(L""); }

void TCustomXPDXEdit::ClearSelection() { DeleteSelection(); }

void TCustomXPDXEdit::ClearUndo() {
  FUndo.Clear();
}

void TCustomXPDXEdit::SetPasswordChar(wchar_t value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  UpdateDisplayText();
  Invalidate();
}

// ---- Measuring

HDC TCustomXPDXEdit::MeasureDC() {
  TCanvas* canvas = FCanvas->HandleAllocated() ? static_cast<TCanvas*>(FCanvas.get()) : &FMeasure;
  canvas->Font().Assign(Font());
  return canvas->StateHandle();
}

int TCustomXPDXEdit::TextWidth(int start, int count) {
  return EditTextWidth(MeasureDC(), FDisplayText, start, count);
}

int TCustomXPDXEdit::GetTextAreaWidth(bool partial) {
  RECT r;
  GetTextRect(r);
  return EditTextAreaWidth(MeasureDC(), r, partial);
}

int TCustomXPDXEdit::CountVisibleChars(int first, bool partial) {
  if (first >= int(FDisplayText.size())) return 0;
  int room = GetTextAreaWidth(partial);
  return EditCountFittingChars(MeasureDC(), FDisplayText, first, room, partial);
}

int TCustomXPDXEdit::FirstCharForCaret(int pos) {
  int room = GetTextAreaWidth(false);
  return EditFirstCharForCaret(MeasureDC(), FDisplayText, pos, room);
}

void TCustomXPDXEdit::SetFirstChar(int index) {
  FFirstChar = index;
  if (HandleAllocated()) {
    FCharPartialVisibleCount = CountVisibleChars(index, true);
    FCharVisibleCount = CountVisibleChars(index, false);
    Invalidate();
  }
}

void TCustomXPDXEdit::SetCaretPosition(int pos) {
  FCaretPos = pos;
  if (!HandleAllocated()) return;
  if (pos < FFirstChar)
    SetFirstChar(pos);
  else if (pos > FFirstChar + FCharVisibleCount)
    SetFirstChar(FirstCharForCaret(pos));
  UpdateCaret();
}

void TCustomXPDXEdit::ScrollToCaret() {
  SetFirstChar(FirstCharForCaret(FCaretPos));
  UpdateCaret();
}

void TCustomXPDXEdit::UpdateCaret() {
  if (!HandleAllocated()) return;
  int o = FFrameSize + FBorderSize;
  int x = o + TextWidth(FFirstChar, FCaretPos - FFirstChar);
  if (Focused()) SetCaretPos(x, o);
  if (HIMC context = ImmGetContext(Handle())) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = POINT{x, o};
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(Handle(), context);
  }
}

void TCustomXPDXEdit::ShowTextCaret() {
  RECT r;
  GetTextRect(r);
  CreateCaret(Handle(), nullptr, 1, r.bottom - r.top);
  UpdateCaret();
  ShowCaret(Handle());
}

void TCustomXPDXEdit::HideTextCaret() {
  HideCaret(Handle());
  DestroyCaret();
}

int TCustomXPDXEdit::CharIndexAt(int x) {
  return EditCharIndexAt(x, FFirstChar, FCharPartialVisibleCount, int(FDisplayText.size()),
                         [this](int index) { return TextWidth(index, 1); });
}

bool TCustomXPDXEdit::PtInTextRect(int x, int y) {
  RECT r;
  GetTextRect(r);
  POINT p{x, y};
  return PtInRect(&r, p) != 0;
}

void TCustomXPDXEdit::GetTextRect(RECT& rect) {
  rect = ClientRect();
  int inset = FFrameSize + FBorderSize;
  InflateRect(&rect, -inset, -inset);
}

// ---- Caret and selection

void TCustomXPDXEdit::ClampPosition(int& pos) const { pos = std::clamp(pos, 0, int(FDisplayText.size())); }

void TCustomXPDXEdit::MoveCaret(int pos) {
  ClampPosition(pos);
  bool shift = DxShiftDown();
  if (!shift && !FMouseSelect) {
    SetSelLength(0);
    FSelBegin = FSelEnd = pos;
  }
  if (pos == FCaretPos) {
    UpdateCaret();
    return;
  }
  if (shift || FMouseSelect) {
    FSelEnd = pos;
    Invalidate();
  }
  SetCaretPosition(pos);
}

void TCustomXPDXEdit::SetSelStart(int value) {
  ClampPosition(value);
  if (value == SelStart()) return;
  SetCaretPosition(value);
  FSelBegin = value;
  SetSelLength(0);
}

void TCustomXPDXEdit::SetSelLength(int value) {
  value = std::clamp(value, 0, int(FDisplayText.size()) - SelStart());
  if (value == SelLength()) return;
  if (FSelEnd < FSelBegin) FSelBegin = FCaretPos;
  FSelEnd = FSelBegin + value;
  Invalidate();
}

WideString TCustomXPDXEdit::SelText() const {
  return FText.substr(std::size_t(std::min<int>(SelStart(), int(FText.size()))), std::size_t(SelLength()));
}

void TCustomXPDXEdit::SetSelText(const WideString& value) {
  if (value.empty())
    DeleteSelection();
  else
    InsertText(value);
}

void TCustomXPDXEdit::SelectAll() {
  SetSelStart(0);
  SetSelLength(int(FDisplayText.size()));
  SetCaretPosition(SelLength());
}

int TCustomXPDXEdit::PrevWordPos() { return EditPrevWordPos(FDisplayText, FCaretPos); }

int TCustomXPDXEdit::NextWordPos() { return EditNextWordPos(FDisplayText, FCaretPos); }

void TCustomXPDXEdit::SelectWordAt(int pos) {
  int start = 0, end = 0;
  if (!EditWordAt(FDisplayText, pos, start, end)) return;
  FSelBegin = start;
  FSelEnd = end;
  Invalidate();
  SetCaretPosition(end);
}

// ---- Editing

void TCustomXPDXEdit::InsertText(WideString text) {
  if (FReadOnly || text.empty() || text[0] == 0) return;
  FInTextChanging = true;
  try {
    WideString rest = FText;
    int start = SelStart();
    rest.erase(std::size_t(start), std::size_t(SelLength()));
    MoveCaret(start);
    for (wchar_t& c : text)
      if (c < 32) c = L' ';
    if (FMaxLength > 0 && int(rest.size() + text.size()) > FMaxLength)
      text.resize(std::size_t(std::max(FMaxLength - int(rest.size()), 0)));
    ApplyCharCase(text);
    int caret = std::min(FCaretPos, int(rest.size()));
    rest.insert(std::size_t(caret), text);
    FSelBegin = FSelEnd = caret;
    SetInternalText(rest);
  } catch (...) {
    FInTextChanging = false;
    throw;
  }
  FInTextChanging = false;
  if (FCaretPos == FFirstChar && FCaretPos == int(FDisplayText.size()))
    ScrollToCaret();
  else
    SetFirstChar(FFirstChar);
  SetCaretPosition(std::min(FCaretPos + int(text.size()), int(FDisplayText.size())));
  SetSelStart(FCaretPos);
  FSelBegin = FSelEnd = FCaretPos;
  Change();
}

void TCustomXPDXEdit::DeleteBackward(int count) {
  if (FReadOnly || FCaretPos <= 0) return;
  MoveCaret(FCaretPos - count);
  WideString text = FText;
  text.erase(std::size_t(FCaretPos), std::size_t(count));
  FInTextChanging = true;
  SetInternalText(text);
  FInTextChanging = false;
  if (FFirstChar == FCaretPos)
    ScrollToCaret();
  else
    SetFirstChar(FFirstChar);
  Change();
}

void TCustomXPDXEdit::DeleteForward(int count) {
  if (FReadOnly) return;
  WideString text = FText;
  if (FCaretPos < int(text.size())) text.erase(std::size_t(FCaretPos), std::size_t(count));
  FInTextChanging = true;
  SetInternalText(text);
  FInTextChanging = false;
  if (FCaretPos == FFirstChar && FCaretPos == int(FDisplayText.size()))
    ScrollToCaret();
  else
    SetFirstChar(FFirstChar);
  Change();
}

void TCustomXPDXEdit::DeleteSelection() {
  if (FReadOnly) return;
  int length = SelLength();
  MoveCaret(SelStart());
  DeleteForward(length);
}

void TCustomXPDXEdit::Undo() {
  if (!CanUndo()) return;
  FUndo.SaveNext();
  SetInternalText(FUndo.Text());
  FUndo.SaveNext();
  Perform(CM_TEXTCHANGED);
  SelectAll();
}

void TCustomXPDXEdit::CopyToClipboard() {
  if (FPasswordChar == 0) Clipboard().SetAsText(SelText());
}

void TCustomXPDXEdit::CutToClipboard() {
  CopyToClipboard();
  DeleteSelection();
}

void TCustomXPDXEdit::PasteFromClipboard() {
  // The clipboard object reads no further than the block, null or not.
  if (FReadOnly || !Clipboard().HasFormat(CF_UNICODETEXT)) return;
  InsertText(Clipboard().AsText());
}

// ---- Properties

void TCustomXPDXEdit::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (value) Perform(CM_FONTCHANGED);
}

void TCustomXPDXEdit::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomXPDXEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  Invalidate();
}

void TCustomXPDXEdit::SetHotTrack(bool value) {
  if (value == FHotTrack) return;
  FHotTrack = value;
  HotChanged(false);
}

void TCustomXPDXEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  Invalidate();
}

void TCustomXPDXEdit::SetUseColor(bool value) {
  FUseColor = value;
  Invalidate();
}

void TCustomXPDXEdit::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomXPDXEdit::HotChanged(bool hot) {
  if (!FTransparent || !FHotTrack) return;
  TFontStyles style = hot ? (Font().Style() | fsUnderline) : (Font().Style() & ~fsUnderline);
  if (style != Font().Style()) Font().SetStyle(style);
}

int TCustomXPDXEdit::GetAutoWidth() {
  if (!HandleAllocated()) return Width();
  int length = int(FText.size());
  int w = TextWidth(0, length) + 2 * (FFrameSize + FBorderSize);
  if (length == 0) return w;
  return EditAutoWidth(MeasureDC(), w, FDisplayText.back(), FFrameSize, FBorderSize,
                       FBorderStyle != TBorderStyle::bsNone);
}

// ---- Transparency

void TCustomXPDXEdit::Invalidate() {
  RefreshBackground();
  TdxInplaceEdit::Invalidate();
}

void TCustomXPDXEdit::RefreshBackground() {
  if (!FTransparent || !HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return;
  RefreshTransparentBackground(*this);
}

void TCustomXPDXEdit::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

// ---- Painting

TCustomXPDXEdit::TEditColors TCustomXPDXEdit::GetColors() {
  TEditColors c{};
  bool showSelection = (HandleAllocated() && Focused()) || !FHideSelection;
  if (Enabled()) {
    c.Back = FUseColor ? Color() : SubstWindowColor;
    c.Frame = kDxEditFrameColor;
    c.Text = Font().Color();
    c.SelText = showSelection ? SubstHighlightTextColor : c.Text;
    c.SelBack = showSelection ? SubstHighlightColor : c.Back;
  } else {
    c.Back = SubstWindowColor;
    c.Frame = c.Text = SubstBtnShadowColor;
    c.SelText = showSelection ? c.Back : SubstBtnShadowColor;
    c.SelBack = showSelection ? SubstBtnShadowColor : c.Back;
  }
  return c;
}

void TCustomXPDXEdit::PaintEdit() {
  TEditColors c = GetColors();
  HDC dc = FCanvas->Handle();
  if (!FTransparent) {
    RECT client = ClientRect();
    RECT r = client;
    RECT button;
    GetButtonRect(button);
    HRGN saved = nullptr;
    BeginClipRect(dc, button, saved, true);
    for (int i = 0; i < FBorderSize; ++i) {
      DxFrameSolid(dc, r, c.Back);
      InflateRect(&r, -1, -1);
    }
    int h = client.bottom;
    RECT strip{FFrameSize, h - FFrameSize - FBorderSize - 2, client.right - FFrameSize, h - FFrameSize - FBorderSize};
    DxFillSolid(dc, strip, c.Back);
    EndClipRect(dc, saved);
  }
  RECT text;
  GetTextRect(text);
  PaintText(text, c.Back, c.Frame, c.SelText, c.SelBack, c.Text);
}

void TCustomXPDXEdit::PaintText(const RECT& rect, TColor backColor, TColor, TColor selTextColor, TColor selBackColor,
                                TColor textColor) {
  HDC dc = MeasureDC();
  bool focused = HandleAllocated() && Focused();
  int length = int(FDisplayText.size());
  int first = std::min(FFirstChar, length);
  int e = std::min(first + FCharPartialVisibleCount, length);
  int x = rect.left;
  auto run = [&](int s, int t, TColor back, TColor fore, bool opaque) {
    if (t <= s) return;
    int width = TextWidth(s, t - s);
    RECT clip{x, rect.top, rect.right, rect.bottom};
    SetTextColor(dc, ColorToRGB(fore));
    SetBkColor(dc, ColorToRGB(back));
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    // Each run is clipped to its own width so that the next starts clean.
    clip.right = std::min<LONG>(x + width, rect.right);
    ExtTextOutW(dc, x, rect.top, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0), &clip, FDisplayText.data() + s,
                UINT(t - s), nullptr);
    x += width;
  };
  int selStart = SelStart(), selEnd = selStart + SelLength();
  if (SelLength() > 0 && selStart < e && selEnd > first) {
    if (selStart > first) run(first, selStart, backColor, textColor, !FTransparent);
    bool selOpaque = !(FTransparent && FHideSelection && !focused);
    run(std::max(selStart, first), std::min(selEnd, e), selBackColor, selTextColor, selOpaque);
    run(std::min(selEnd, e), e, backColor, textColor, !FTransparent);
  } else {
    run(first, e, backColor, textColor, !FTransparent);
  }
  if (e == length && x < rect.right && !FTransparent) {
    RECT rest{x, rect.top, rect.right, rect.bottom};
    SetBkColor(dc, ColorToRGB(backColor));
    ExtTextOutW(dc, x, rect.top, ETO_CLIPPED | ETO_OPAQUE, &rest, L"", 0, nullptr);
  }
}

void TCustomXPDXEdit::WMPaint(TMessage& message) {
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  const bool began = dc == nullptr;
  if (began) dc = BeginPaint(Handle(), &ps);
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(dc);
  struct TRelease {
    TControlCanvas& Canvas;
    ~TRelease() {
      Canvas.SetHandle(nullptr);
      Canvas.Unlock();
    }
  } release{*FCanvas};
  PaintEdit();
  PaintControls(dc);  // the buttons
  // The protocol's custom-draw step on the same context.
  message.WParam = reinterpret_cast<WPARAM>(dc);
  TVK_INHERITED(message);
  if (began) EndPaint(Handle(), &ps);
}

// ---- Messages

void TCustomXPDXEdit::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  ScrollToCaret();
}

void TCustomXPDXEdit::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
  ShowTextCaret();
}

void TCustomXPDXEdit::WMKillFocus(TMessage& message) {
  HideTextCaret();
  TVK_INHERITED(message);
  Invalidate();
}

void TCustomXPDXEdit::WMSetText(TMessage& message) {
  const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
  SetText(text ? text : L"");
  message.Result = 1;
}

void TCustomXPDXEdit::WMGetText(TMessage& message) {
  auto max = std::size_t(message.WParam);
  auto* buffer = reinterpret_cast<wchar_t*>(message.LParam);
  // No room, not even for the null: nothing is written.
  if (max == 0 || !buffer) {
    message.Result = 0;
    return;
  }
  WideString text = GetText();
  std::size_t n = std::min(text.size(), max - 1);
  std::copy_n(text.data(), n, buffer);
  buffer[n] = 0;
  message.Result = LRESULT(n);
}

void TCustomXPDXEdit::WMGetTextLength(TMessage& message) { message.Result = LRESULT(FText.size()); }

void TCustomXPDXEdit::WMCancelMode(TMessage& message) {
  TVK_INHERITED(message);
  CancelMouseSelect();
}

void TCustomXPDXEdit::CancelMouseSelect() { FMouseSelect = false; }

void TCustomXPDXEdit::WMSetCursor(TMessage& message) {
  if (!(ComponentState() & csDesigning)) UpdateCursor();
  TVK_INHERITED(message);
}

void TCustomXPDXEdit::UpdateCursor() {
  POINT p;
  ::GetCursorPos(&p);
  p = ScreenToClient(p);
  SetCursor(PtInTextRect(p.x, p.y) ? crIBeam : crDefault);
}

void TCustomXPDXEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomXPDXEdit::WMImeComposition(TMessage& message) {
  if (message.LParam & GCS_RESULTSTR) {
    WideString result = ImeResultString(Handle());
    if (!result.empty()) {
      FImeCount = int(result.size() * sizeof(wchar_t));
      FImeStr = std::move(result);
    }
  }
  TVK_INHERITED(message);
}

void TCustomXPDXEdit::WMImeNotify(TMessage& message) {
  if (message.WParam == IMN_SETOPENSTATUS || message.WParam == IMN_SETCOMPOSITIONWINDOW) {
    if (HIMC context = ImmGetContext(Handle())) {
      LOGFONTW font{};
      GetObjectW(Font().Handle(), sizeof font, &font);
      ImmSetCompositionFontW(context, &font);
      ImmReleaseContext(Handle(), context);
    }
  }
  TVK_INHERITED(message);
}

void TCustomXPDXEdit::WMContextMenu(TMessage& message) {
  TPopupMenu* menu = GetPopupMenu();
  if (!menu) {
    TVK_INHERITED(message);
    return;
  }
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
  menu->SetPopupComponent(this);
  menu->Popup(p.x, p.y);
  message.Result = 0;
}

TPopupMenu* TCustomXPDXEdit::GetPopupMenu() {
  if (FPopupMenu) return FPopupMenu;
  TPopupMenu& menu = TXPEditResourceManager::StandardEditPopupMenu();
  TXPEditResourceManager::BindStandardMenu(this);
  int length = int(FDisplayText.size());
  TXPEditResourceManager::MenuItemUndo().SetEnabled(CanUndo());
  TXPEditResourceManager::MenuItemCut().SetEnabled(SelLength() > 0);
  TXPEditResourceManager::MenuItemCopy().SetEnabled(SelLength() > 0);
  TXPEditResourceManager::MenuItemDelete().SetEnabled(SelLength() > 0);
  TXPEditResourceManager::MenuItemPaste().SetEnabled(Clipboard().HasFormat(CF_UNICODETEXT) ||
                                                     Clipboard().HasFormat(CF_TEXT));
  TXPEditResourceManager::MenuItemSelectAll().SetEnabled(SelLength() != length);
  return &menu;
}

void TCustomXPDXEdit::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TCustomXPDXEdit::UpdateFontHeight() {
  TEXTMETRICW tm{};
  GetTextMetricsW(MeasureDC(), &tm);
  FFontHeight = tm.tmHeight;
}

int TCustomXPDXEdit::GetBorderExtra() {
  // What the window's frame takes: the system edge and the protocol's own border.
  if (HandleAllocated()) {
    RECT window, client;
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    return (window.bottom - window.top) - (client.bottom - client.top);
  }
  if (FTransparent || FBorderStyle == TBorderStyle::bsNone) return 0;
  return Ctl3D() ? 2 * GetSystemMetrics(SM_CYEDGE) : 2;
}

void TCustomXPDXEdit::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  FCanvas->Font().Assign(Font());
  if (HandleAllocated()) {
    UpdateFontHeight();
    int h = 2 * (FBorderSize + FFrameSize) + FFontHeight + 2 + GetBorderExtra();
    if (FAutoSize || Height() < h) SetHeight(h);
    SetFirstChar(FFirstChar);
  }
  Invalidate();
}

void TCustomXPDXEdit::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  FHot = true;
  HotChanged(true);
}

void TCustomXPDXEdit::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  FHot = false;
  HotChanged(false);
}

void TCustomXPDXEdit::CMEnter(TMessage& message) {
  if (!FAutoSelect || GetKeyState(VK_LBUTTON) < 0)
    ScrollToCaret();
  else
    SelectAll();
  TVK_INHERITED(message);
}

// ---- Keyboard and mouse

void TCustomXPDXEdit::KeyDown(WORD& key, TShiftState shift) {
  TdxInplaceEdit::KeyDown(key, shift);
  TShiftState keys = shift & (ssShift | ssAlt | ssCtrl);
  switch (key) {
    case VK_BACK:
      if (keys == ssAlt) Undo();
      break;
    case VK_END: MoveCaret(int(FDisplayText.size())); break;
    case VK_HOME: MoveCaret(0); break;
    case VK_LEFT: MoveCaret((keys & ssCtrl) ? PrevWordPos() : FCaretPos - 1); break;
    case VK_RIGHT: MoveCaret((keys & ssCtrl) ? NextWordPos() : FCaretPos + 1); break;
    case VK_INSERT:
      if (keys == ssShift) PasteFromClipboard();
      else if (keys == ssCtrl) CopyToClipboard();
      break;
    case VK_DELETE:
      if (keys == 0) {
        if (SelLength() > 0) DeleteSelection();
        else DeleteForward(1);
      } else if (keys == ssShift) {
        CutToClipboard();
      }
      break;
    default: break;
  }
}

void TCustomXPDXEdit::KeyPress(wchar_t& key) {
  TdxInplaceEdit::KeyPress(key);
  if (FSuppressKeyPress <= 0) ProcessChar(key);
}

void TCustomXPDXEdit::ProcessChar(wchar_t& key) {
  // Every character message of an IME result carries one UTF-16 unit: two
  // of its bytes, whether the unit is half of a surrogate pair or not.
  if (FImeCount > 0) FImeCount = std::max(FImeCount - 2, 0);
  if (FImeCount != 0) return;
  FPrevWasLeadByte = false;
  if (!FImeStr.empty()) {
    WideString text = std::move(FImeStr);
    FImeStr.clear();
    InsertText(text);
    key = 0;
    return;
  }
  if (key >= 0xD800 && key <= 0xDFFF) key = 0;  // supplementary characters are not typed
  if (key > 31) {
    InsertText(WideString(1, key));
    return;
  }
  switch (key) {
    case 3: CopyToClipboard(); break;
    case 8:
      if (SelLength() > 0) DeleteSelection();
      else DeleteBackward(1);
      break;
    case 22: PasteFromClipboard(); break;
    case 24: CutToClipboard(); break;
    case 26: Undo(); break;
    default: break;
  }
}

void TCustomXPDXEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceEdit::MouseDown(button, shift, x, y);
  if ((button == TMouseButton::mbLeft || button == TMouseButton::mbRight) && !Focused()) ::SetFocus(Handle());
  if (button != TMouseButton::mbLeft || (shift & ssDouble) || !PtInTextRect(x, y)) return;
  RECT r;
  GetTextRect(r);
  MoveCaret(CharIndexAt(x - r.left));
  SetCapture(Handle());
  FMouseSelect = true;
}

void TCustomXPDXEdit::MouseMove(TShiftState shift, int x, int y) {
  TdxInplaceEdit::MouseMove(shift, x, y);
  if (!FMouseSelect) return;
  RECT r;
  GetTextRect(r);
  MoveCaret(CharIndexAt(x - r.left));
}

void TCustomXPDXEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  ReleaseCapture();
  FMouseSelect = false;
  TdxInplaceEdit::MouseUp(button, shift, x, y);
}

void TCustomXPDXEdit::DblClick() {
  POINT p;
  ::GetCursorPos(&p);
  p = ScreenToClient(p);
  if (PtInTextRect(p.x, p.y)) {
    RECT r;
    GetTextRect(r);
    SelectWordAt(CharIndexAt(p.x - r.left));
  }
  TdxInplaceEdit::DblClick();
}

TVK_MESSAGE_MAP(TCustomXPDXEdit, {WM_PAINT, &TCustomXPDXEdit::WMPaint}, {WM_SIZE, &TCustomXPDXEdit::WMSize},
                {WM_SETFOCUS, &TCustomXPDXEdit::WMSetFocus}, {WM_KILLFOCUS, &TCustomXPDXEdit::WMKillFocus},
                {WM_SETTEXT, &TCustomXPDXEdit::WMSetText}, {WM_GETTEXT, &TCustomXPDXEdit::WMGetText},
                {WM_GETTEXTLENGTH, &TCustomXPDXEdit::WMGetTextLength},
                {WM_ERASEBKGND, &TCustomXPDXEdit::WMEraseBkgnd}, {WM_CANCELMODE, &TCustomXPDXEdit::WMCancelMode},
                {WM_SETCURSOR, &TCustomXPDXEdit::WMSetCursor}, {WM_GETDLGCODE, &TCustomXPDXEdit::WMGetDlgCode},
                {WM_IME_COMPOSITION, &TCustomXPDXEdit::WMImeComposition},
                {WM_IME_NOTIFY, &TCustomXPDXEdit::WMImeNotify}, {WM_CONTEXTMENU, &TCustomXPDXEdit::WMContextMenu},
                {CM_ENABLEDCHANGED, &TCustomXPDXEdit::CMEnabledChanged},
                {CM_FONTCHANGED, &TCustomXPDXEdit::CMFontChanged}, {CM_TEXTCHANGED, &TCustomXPDXEdit::CMTextChanged},
                {CM_MOUSEENTER, &TCustomXPDXEdit::CMMouseEnter}, {CM_MOUSELEAVE, &TCustomXPDXEdit::CMMouseLeave},
                {CM_ENTER, &TCustomXPDXEdit::CMEnter})

// ---- TXPDXEditButton

TXPDXEditButton::TXPDXEditButton(TComponent* owner) : TSpeedButton(owner) {
  SetBounds(0, 0, kDxEditButtonWidth, 21);
}

void TXPDXEditButton::Paint() {
  if (auto* edit = dynamic_cast<TXPDXCustomButtonEdit*>(Parent())) edit->PaintButton(*this);
}

void TXPDXEditButton::CMMouseEnter(TMessage& message) {
  FHot = true;
  TVK_INHERITED(message);
  Invalidate();
}

void TXPDXEditButton::CMMouseLeave(TMessage& message) {
  FHot = false;
  TVK_INHERITED(message);
  Invalidate();
}

void TXPDXEditButton::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  if (auto* edit = dynamic_cast<TWinControl*>(Parent()); edit && edit->CanFocus() && !edit->Focused())
    edit->SetFocus();
  Invalidate();
}

TVK_MESSAGE_MAP(TXPDXEditButton, {CM_MOUSEENTER, &TXPDXEditButton::CMMouseEnter},
                {CM_MOUSELEAVE, &TXPDXEditButton::CMMouseLeave}, {WM_LBUTTONDOWN, &TXPDXEditButton::WMLButtonDown})

// ---- TXPDXCustomButtonEdit

TXPDXCustomButtonEdit::TXPDXCustomButtonEdit(TComponent* owner) : TCustomXPDXEdit(owner) {
  FShowButton = true;
  SetWidth(145);
  FButton = new TXPDXEditButton(this);
  FButton->SetAlign(TAlign::alRight);
  FButton->SetParent(this);
  FButton->SetVisible(true);
  FButton->OnClick = [this](TObject* sender) { ButtonClick(sender); };
}

void TXPDXCustomButtonEdit::SetShowButton(bool value) {
  if (value == FShowButton) return;
  FShowButton = value;
  UpdateButtonVisibility();
  Invalidate();
}

void TXPDXCustomButtonEdit::SetTransparent(bool value) {
  TCustomXPDXEdit::SetTransparent(value);
  if (HandleAllocated()) UpdateButtonVisibility();
}

void TXPDXCustomButtonEdit::AdjustClientRect(RECT& rect) {
  TCustomXPDXEdit::AdjustClientRect(rect);
  InflateRect(&rect, -FFrameSize, -FFrameSize);
}

void TXPDXCustomButtonEdit::GetTextRect(RECT& rect) {
  TCustomXPDXEdit::GetTextRect(rect);
  if (FShowButton) rect.right -= FButton->Width() - FBorderSize + 1;
}

void TXPDXCustomButtonEdit::GetButtonRect(RECT& rect) {
  if (!FShowButton) {
    rect = RECT{};
    return;
  }
  rect = RECT{FButton->Left(), FButton->Top(), FButton->Left() + FButton->Width(), FButton->Top() + FButton->Height()};
}

int TXPDXCustomButtonEdit::GetAutoWidth() {
  int w = TCustomXPDXEdit::GetAutoWidth();
  if (FButton->Visible()) w += FButton->Width();
  return w;
}

bool TXPDXCustomButtonEdit::IsButtonVisible(TXPDXEditButton& button, bool show) {
  bool visible = show && (!FTransparent || (ComponentState() & csDesigning) || (HandleAllocated() && Focused()) ||
                          FHot || button.Hot());
  if (visible)
    button.SetControlStyle(button.ControlStyle() & ~csNoDesignVisible);
  else
    button.SetControlStyle(button.ControlStyle() | csNoDesignVisible);
  return visible;
}

void TXPDXCustomButtonEdit::UpdateButtonVisibility() { FButton->SetVisible(IsButtonVisible(*FButton, FShowButton)); }

void TXPDXCustomButtonEdit::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  FButton->SetEnabled(Enabled());
}

void TXPDXCustomButtonEdit::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  UpdateButtonVisibility();
  Invalidate();
}

void TXPDXCustomButtonEdit::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  UpdateButtonVisibility();
  Invalidate();
}

void TXPDXCustomButtonEdit::ButtonClick(TObject* sender) {
  if (OnButtonClick)
    OnButtonClick(sender);
  else
    DoButtonClick();
}

void TXPDXCustomButtonEdit::ClickButton() { FButton->Click(); }

void TXPDXCustomButtonEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomXPDXEdit::KeyDown(key, shift);
  if (key == VK_RETURN && (shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl) {
    ClickButton();
    key = 0;
  }
}

void TXPDXCustomButtonEdit::CMWantSpecialKey(TMessage& message) {
  TVK_INHERITED(message);
  if (message.WParam == VK_RETURN && GetKeyState(VK_CONTROL) < 0) message.Result = 1;
}

void TXPDXCustomButtonEdit::PaintEdit() {
  if (FTransparent) {
    UpdateButtonVisibility();
  } else {
    TColor color = FUseColor ? Color() : (Enabled() ? SubstWindowColor : SubstBtnHighlightColor);
    HDC dc = FCanvas->Handle();
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int i = 1; i <= FBorderSize; ++i) {
      MoveToEx(dc, FButton->Left() - i, FFrameSize, nullptr);
      LineTo(dc, FButton->Left() - i, ClientHeight() - FFrameSize);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  TCustomXPDXEdit::PaintEdit();
}

void TXPDXCustomButtonEdit::PaintButton(TXPDXEditButton& button) {
  HDC dc = button.Canvas().Handle();
  RECT r = button.ClientRect();
  UINT state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (!button.Enabled()) state |= DFCS_INACTIVE;
  if (button.Hot()) state |= DFCS_HOT;
  if (button.State() == TButtonState::bsDown) state |= DFCS_PUSHED;
  DrawFrameControl(dc, &r, DFC_BUTTON, state);
  DrawButtonGlyph(button, r);
}

TBitmap* TXPDXCustomButtonEdit::GetButtonGlyph(TXPDXEditButton&) { return &TXPEditResourceManager::EllipsisGlyph(); }

void TXPDXCustomButtonEdit::DrawButtonGlyph(TXPDXEditButton& button, const RECT& r) {
  TBitmap* glyph = GetButtonGlyph(button);
  if (!glyph || glyph->Width() < 2 || glyph->Height() < 1) return;
  int w = glyph->Width() / 2, h = glyph->Height();
  int down = button.State() == TButtonState::bsDown ? 1 : 0;
  int x = (r.left + r.right - w) / 2 + down;
  int y = (r.top + r.bottom - h) / 2 + down;
  HDC source = glyph->Canvas().Handle();
  COLORREF transparent = GetPixel(source, 0, h - 1);
  TransparentBlt(button.Canvas().Handle(), x, y, w, h, source, Enabled() ? 0 : w, 0, w, h, transparent);
}

TVK_MESSAGE_MAP(TXPDXCustomButtonEdit, {CM_ENABLEDCHANGED, &TXPDXCustomButtonEdit::CMEnabledChanged},
                {CM_MOUSEENTER, &TXPDXCustomButtonEdit::CMMouseEnter},
                {CM_MOUSELEAVE, &TXPDXCustomButtonEdit::CMMouseLeave},
                {CM_WANTSPECIALKEY, &TXPDXCustomButtonEdit::CMWantSpecialKey})

}  // namespace tvk
