#include "XPEdits.h"

#include "Application.h"
#include "Clipbrd.h"
#include "Convert.h"
#include "Forms.h"
#include "Maths.h"
#include "Themes.h"
#include "XPColors.h"
#include "XPControlUtils.h"
#include "XPEditText.h"
#include "XPGraphics.h"
#include "XPSystem.h"

#include <imm.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tvk {

namespace {

constexpr TColor kEditFrameColor = 0xB99D7F;
constexpr int kEditButtonWidth = 19;
constexpr wchar_t kDigits[] = L"0123456789ABCDEF";

bool KeyboardShiftDown() { return GetAsyncKeyState(VK_SHIFT) < 0; }

int RadixBase(TRadix radix) {
  switch (radix) {
    case TRadix::rdxBinary: return 2;
    case TRadix::rdxOctal: return 8;
    case TRadix::rdxHexadecimal: return 16;
    default: return 10;
  }
}

// ---- Shared glyphs and menu

constexpr TSkinRow kEditGlyphRows[] = {
    {L"XPCOMBOBUTTON", TSkinKind::skBitmap}, {L"XPCOMBO", TSkinKind::skBitmap},
    {L"STDCOMBO", TSkinKind::skBitmap},      {L"XPELLIPSIS", TSkinKind::skBitmap},
    {L"XPDIR", TSkinKind::skBitmap},         {L"XPFILENAME", TSkinKind::skBitmap},
};
TSkinCache gEditGlyphs(kEditGlyphRows);

struct TEditMenu {
  std::unique_ptr<TPopupMenu> Menu;
  TMenuItem* Items[6] = {};  // undo, cut, copy, paste, delete, select all
  TComponent* Bound = nullptr;
};
std::unique_ptr<TEditMenu> gEditMenu;

// The transparent edits and the one hook that serves them while there are any.
std::vector<TCustomXPEdit*>* gTransparentEdits = nullptr;
HHOOK gTransparentHook = nullptr;

using TEditCommand = HRESULT (STDMETHODCALLTYPE IXPEditCommands::*)();
constexpr TEditCommand kMenuCommands[] = {&IXPEditCommands::Undo,
                                          &IXPEditCommands::CutToClipboard,
                                          &IXPEditCommands::CopyToClipboard,
                                          &IXPEditCommands::PasteFromClipboard,
                                          &IXPEditCommands::DeleteSelection,
                                          &IXPEditCommands::SelectAll};

TEditMenu& EditMenu() {
  if (gEditMenu) return *gEditMenu;
  auto menu = std::make_unique<TEditMenu>();
  menu->Menu = std::make_unique<TPopupMenu>(nullptr);
  struct TRow {
    const wchar_t* Caption;
    int Command;  // index into kMenuCommands, -1 for a separator
  };
  static constexpr TRow kRows[] = {{L"&Undo", 0},   {L"-", -1},      {L"Cu&t", 1},        {L"&Copy", 2},
                                   {L"&Paste", 3}, {L"&Delete", 4}, {L"-", -1}, {L"Select &All", 5}};
  TEditMenu* raw = menu.get();
  for (const auto& row : kRows) {
    auto* item = new TMenuItem(menu->Menu.get());
    item->SetCaption(row.Caption);
    if (row.Command >= 0) {
      int command = row.Command;
      raw->Items[command] = item;
      item->OnClick = [raw, command](TObject*) {
        if (auto* commands = Supports<IXPEditCommands>(dynamic_cast<TObject*>(raw->Bound), IXPEditCommands::Iid))
          CheckEditCommand((commands->*kMenuCommands[command])());
      };
    }
    menu->Menu->Items().Add(item);
  }
  gEditMenu = std::move(menu);
  return *gEditMenu;
}

LRESULT CALLBACK TransparentEditHook(int code, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallNextHookEx(gTransparentHook, code, wParam, lParam);
  if (code < 0 || !gTransparentEdits) return result;
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
  bool relevant = cwp->message == WM_PAINT || cwp->message == WM_SIZE ||
                  (cwp->message > CN_BASE && cwp->message < CN_BASE + 500);
  if (!relevant) return result;
  CallGuarded(nullptr, [&] {
    TWinControl* control = TWinControl::FindControl(cwp->hwnd);
    if (!control || dynamic_cast<TCustomXPEdit*>(control)) return;
    // A copy: invalidating may change the list.
    std::vector<TCustomXPEdit*> edits = *gTransparentEdits;
    for (TCustomXPEdit* edit : edits) {
      if (!edit->HandleAllocated() || !edit->Transparent()) continue;
      if (control->Owner() != edit->Owner() && control != edit->Owner()) continue;
      RECT a, b, overlap;
      GetWindowRect(control->Handle(), &a);
      GetWindowRect(edit->Handle(), &b);
      if (IntersectRect(&overlap, &a, &b)) edit->Invalidate();
    }
  });
  return result;
}

void FillSolidRect(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void FrameSolidRect(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

void CheckEditCommand(HRESULT result) {
  if (FAILED(result)) throw EOleSysError(L"", result);
}

// ---- OEM form

WideString TextToOemForm(const WideString& text, UINT oemCodePage, UINT ansiCodePage) {
  if (text.empty()) return text;
  // Sized by the conversion itself: a double-byte OEM code page needs more
  // bytes than the text has characters.
  int bytes = WideCharToMultiByte(oemCodePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return text;
  std::string oem(std::size_t(bytes), '\0');
  WideCharToMultiByte(oemCodePage, 0, text.data(), int(text.size()), oem.data(), bytes, nullptr, nullptr);
  int chars = MultiByteToWideChar(ansiCodePage, 0, oem.data(), bytes, nullptr, 0);
  WideString stored(std::size_t(std::max(chars, 0)), L'\0');
  if (chars > 0) MultiByteToWideChar(ansiCodePage, 0, oem.data(), bytes, stored.data(), chars);
  return stored;
}

WideString OemFormToText(const WideString& stored, UINT oemCodePage, UINT ansiCodePage) {
  if (stored.empty()) return stored;
  int bytes = WideCharToMultiByte(ansiCodePage, 0, stored.data(), int(stored.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return stored;
  std::string ansi(std::size_t(bytes), '\0');
  WideCharToMultiByte(ansiCodePage, 0, stored.data(), int(stored.size()), ansi.data(), bytes, nullptr, nullptr);
  int chars = MultiByteToWideChar(oemCodePage, 0, ansi.data(), bytes, nullptr, 0);
  WideString text(std::size_t(std::max(chars, 0)), L'\0');
  if (chars > 0) MultiByteToWideChar(oemCodePage, 0, ansi.data(), bytes, text.data(), chars);
  return text;
}

// ---- TCustomXPEdit

bool (*TCustomXPEdit::ShiftKeyDown)() = &KeyboardShiftDown;

TCustomXPEdit::TCustomXPEdit(TComponent* owner) : TXPCustomControl(owner) {
  SetControlStyle((ControlStyle() | csClickEvents | csDoubleClicks) & ~csOpaque);
  SetBounds(Left(), Top(), 121, 21);
  SetColor(clWindow);
  SetCursor(crDefault);
  SetTabStop(true);
  FBackImage = std::make_unique<TAlphaBitmap>();
  FBackImage->OnChange = [this](TObject*) { BackImageChanged(); };
  UpdateMetrics();
  ClearUndo();
}

TCustomXPEdit::~TCustomXPEdit() {
  TXPEditResourceManager::UnregisterTransparent(this);
  if (gEditMenu && gEditMenu->Bound == this) gEditMenu->Bound = nullptr;
  FBackImage->OnChange = nullptr;
}

bool TCustomXPEdit::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IXPEditCommands::Iid) || IsEqualGUID(iid, IID_IUnknown)) {
    *obj = static_cast<IXPEditCommands*>(this);
    return true;
  }
  return TXPCustomControl::GetInterface(iid, obj);
}

void TCustomXPEdit::UpdateMetrics() {
  if (GetThemeMode() != 0) {
    FFrameSize = 1;
    FBorderSize = 2;
  } else {
    FFrameSize = 0;
    FBorderSize = 1;
  }
}

void TCustomXPEdit::BackImageChanged() {
  if (FLookAndFeel == TXPLookAndFeel::xlfCustom) Invalidate();
}

void TCustomXPEdit::CreateParams(TCreateParams& params) {
  TXPCustomControl::CreateParams(params);
  if (FLookAndFeel == TXPLookAndFeel::xlfNative && GetThemeMode() == 0 && FBorderStyle == TBorderStyle::bsSingle &&
      !FTransparent) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
  if (FTransparent) params.ExStyle |= WS_EX_TRANSPARENT;
}

void TCustomXPEdit::CreateWnd() {
  TXPCustomControl::CreateWnd();
  SetCaretPosition(FCaretPos);
  SetFirstChar(FFirstChar);
  UpdateCaret();
  Perform(CM_FONTCHANGED);
}

void TCustomXPEdit::Loaded() {
  TXPCustomControl::Loaded();
  ClearUndo();
  FModified = false;
}

// ---- Text

void TCustomXPEdit::SetInternalText(const WideString& text) {
  WideString value = FOEMConvert ? TextToOemForm(text) : text;
  if (value == FText) return;
  FUndo.TextChanging(FText);
  FText = value;
  UpdateDisplayText();
}

void TCustomXPEdit::UpdateDisplayText() {
  FDisplayText = FPasswordChar ? WideString(FText.size(), FPasswordChar) : FText;
}

WideString TCustomXPEdit::GetText() { return FOEMConvert ? OemFormToText(FText) : FText; }

void TCustomXPEdit::SetText(const WideString& value) {
  SetUnicodeText(value);
  ClearUndo();
}

void TCustomXPEdit::SetUnicodeText(const WideString& value) {
  WideString old = FText;
  SetInternalText(value);
  if (FText != old) {
    Perform(CM_TEXTCHANGED);
    Invalidate();
  }
}

void TCustomXPEdit::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (FInTextChanging) return;
  SetFirstChar(0);
  MoveCaret(int(FDisplayText.size()));
  FExternalTextChanging = true;
  try {
    Change();
  } catch (...) {
    FExternalTextChanging = false;
    throw;
  }
  FExternalTextChanging = false;
}

void TCustomXPEdit::Change() {
  if (Loading() || FSuppressChange > 0) return;
  FModified = true;
  if (OnChange) OnChange(this);
}

void TCustomXPEdit::ApplyCharCase(WideString& text) const {
  for (wchar_t& c : text) {
    if (FCharCase == TEditCharCase::ecUpperCase && c >= L'a' && c <= L'z') c = wchar_t(c - 32);
    if (FCharCase == TEditCharCase::ecLowerCase && c >= L'A' && c <= L'Z') c = wchar_t(c + 32);
  }
}

void TCustomXPEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  WideString text = FText;
  ApplyCharCase(text);
  SetInternalText(text);
  ClampPositions();
  Invalidate();
}

void TCustomXPEdit::Clear() {
  SetInternalText(L"");
  ClampPositions();
  Invalidate();
}

void TCustomXPEdit::ClampPositions() {
  ClampPosition(FSelBegin);
  ClampPosition(FSelEnd);
  ClampPosition(FFirstChar);
  int caret = FCaretPos;
  ClampPosition(caret);
  if (HandleAllocated()) {
    SetFirstChar(FFirstChar);
    SetCaretPosition(caret);
  } else {
    FCaretPos = caret;
  }
}

void TCustomXPEdit::ClearSelection() { SetSelText(L""); }

void TCustomXPEdit::ClearUndo() {
  FUndo.Clear();
}

void TCustomXPEdit::SetPasswordChar(wchar_t value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  UpdateDisplayText();
  Invalidate();
}

// ---- Measuring

int TCustomXPEdit::TextWidth(int start, int count) {
  return EditTextWidth(MeasureDC(), FDisplayText, start, count);
}

int TCustomXPEdit::GetTextAreaWidth(bool partial) {
  RECT r;
  GetTextRect(r);
  return EditTextAreaWidth(MeasureDC(), r, partial);
}

int TCustomXPEdit::CountVisibleChars(int first, bool partial) {
  if (first >= int(FDisplayText.size())) return 0;
  int room = GetTextAreaWidth(partial);
  return EditCountFittingChars(MeasureDC(), FDisplayText, first, room, partial);
}

int TCustomXPEdit::FirstCharForCaret(int pos) {
  int room = GetTextAreaWidth(false);
  return EditFirstCharForCaret(MeasureDC(), FDisplayText, pos, room);
}

void TCustomXPEdit::SetFirstChar(int index) {
  FFirstChar = index;
  if (HandleAllocated()) {
    FCharPartialVisibleCount = CountVisibleChars(index, true);
    FCharVisibleCount = CountVisibleChars(index, false);
    Invalidate();
  }
}

void TCustomXPEdit::SetCaretPosition(int pos) {
  FCaretPos = pos;
  if (!HandleAllocated()) return;
  if (pos < FFirstChar)
    SetFirstChar(pos);
  else if (pos > FFirstChar + FCharVisibleCount)
    SetFirstChar(FirstCharForCaret(pos));
  UpdateCaret();
}

void TCustomXPEdit::ScrollToCaret() {
  SetFirstChar(FirstCharForCaret(FCaretPos));
  UpdateCaret();
}

void TCustomXPEdit::UpdateCaret() {
  if (!HandleAllocated()) return;
  RECT r;
  GetTextRect(r);
  int x = r.left + TextWidth(FFirstChar, FCaretPos - FFirstChar);
  int y = r.top;
  if (Focused()) SetCaretPos(x, y);
  if (HIMC context = ImmGetContext(Handle())) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = POINT{x, y};
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(Handle(), context);
  }
}

void TCustomXPEdit::ShowTextCaret() {
  RECT r;
  GetTextRect(r);
  CreateCaret(Handle(), nullptr, 1, r.bottom - r.top);
  UpdateCaret();
  ShowCaret(Handle());
}

void TCustomXPEdit::HideTextCaret() {
  HideCaret(Handle());
  DestroyCaret();
}

int TCustomXPEdit::CharIndexAt(int x) {
  return EditCharIndexAt(x, FFirstChar, FCharPartialVisibleCount, int(FDisplayText.size()),
                         [this](int index) { return TextWidth(index, 1); });
}

bool TCustomXPEdit::PtInTextRect(int x, int y) {
  RECT r;
  GetTextRect(r);
  POINT p{x, y};
  return PtInRect(&r, p) != 0;
}

void TCustomXPEdit::GetTextRect(RECT& rect) {
  rect = ClientRect();
  int inset = FFrameSize + FBorderSize;
  InflateRect(&rect, -inset, -inset);
  if ((GetThemeMode() != 0 && Enabled()) || FLookAndFeel == TXPLookAndFeel::xlfCustom) rect.bottom -= FExtraDelta;
}

HDC TCustomXPEdit::MeasureDC() {
  TCanvas* canvas = &Canvas();
  if (!canvas->HandleAllocated()) {
    if (!FMeasureCanvas) FMeasureCanvas = std::make_unique<TMeasureCanvas>();
    canvas = FMeasureCanvas.get();
  }
  canvas->Font().Assign(Font());
  return canvas->StateHandle();
}

int TCustomXPEdit::GetTextHeight() {
  TEXTMETRICW tm{};
  GetTextMetricsW(MeasureDC(), &tm);
  return tm.tmHeight;
}

void TCustomXPEdit::GetCursorPos(POINT& point) {
  ::GetCursorPos(&point);
  point = ScreenToClient(point);
}

// ---- Caret and selection

void TCustomXPEdit::ClampPosition(int& pos) const { pos = std::clamp(pos, 0, int(FDisplayText.size())); }

void TCustomXPEdit::MoveCaret(int pos) {
  ClampPosition(pos);
  bool shift = ShiftKeyDown && ShiftKeyDown();
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

void TCustomXPEdit::SetSelStart(int value) {
  ClampPosition(value);
  if (value == SelStart()) return;
  SetCaretPosition(value);
  FSelBegin = value;
  SetSelLength(0);
}

void TCustomXPEdit::SetSelLength(int value) {
  value = std::clamp(value, 0, int(FDisplayText.size()) - SelStart());
  if (value == SelLength()) return;
  if (FSelEnd < FSelBegin) FSelBegin = FCaretPos;
  FSelEnd = FSelBegin + value;
  Invalidate();
}

WideString TCustomXPEdit::SelText() const { return FText.substr(std::size_t(SelStart()), std::size_t(SelLength())); }

void TCustomXPEdit::SetSelText(const WideString& value) {
  if (value.empty())
    Run(&TCustomXPEdit::DeleteSelection);
  else
    InsertText(value);
}

HRESULT TCustomXPEdit::SelectAll() {
  try {
    SetSelStart(0);
    SetSelLength(int(FDisplayText.size()));
    SetCaretPosition(SelLength());
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

int TCustomXPEdit::PrevWordPos() { return EditPrevWordPos(FDisplayText, FCaretPos); }

int TCustomXPEdit::NextWordPos() { return EditNextWordPos(FDisplayText, FCaretPos); }

void TCustomXPEdit::SelectWordAt(int pos) {
  int start = 0, end = 0;
  if (!EditWordAt(FDisplayText, pos, start, end)) return;
  FSelBegin = start;
  FSelEnd = end;
  Invalidate();
  SetCaretPosition(end);
}

// ---- Editing

bool TCustomXPEdit::IsAllowedNumberChar(wchar_t c) const {
  if (FNumberType == TNumberTypeEx::ntNone) return true;
  if (c > 255) return false;
  if (c == L'-' && (FNumberType == TNumberTypeEx::ntSignedInt || FNumberType == TNumberTypeEx::ntFloat)) return true;
  if (c == L'.' && FNumberType == TNumberTypeEx::ntFloat) return true;
  int base = RadixBase(FNumberRadix);
  wchar_t upper = AsciiUpper(c);
  for (int i = 0; i < base; ++i)
    if (kDigits[i] == upper && (base == 16 || (c >= L'0' && c <= L'9'))) return true;
  return false;
}

void TCustomXPEdit::InsertText(WideString text) {
  if (FReadOnly || text.empty() || text[0] == 0) return;
  FInTextChanging = true;
  try {
    WideString rest = FText;
    int start = SelStart();
    rest.erase(std::size_t(start), std::size_t(SelLength()));
    MoveCaret(start);
    for (std::size_t i = text.size(); i-- > 0;) {
      if (text[i] < 32) text[i] = L' ';
      else if (!IsAllowedNumberChar(text[i])) text.erase(i, 1);
    }
    if (FMaxLength > 0 && int(rest.size() + text.size()) > FMaxLength)
      text.resize(std::size_t(std::max(FMaxLength - int(rest.size()), 0)));
    ApplyCharCase(text);
    int caret = std::min(FCaretPos, int(rest.size()));
    rest.insert(std::size_t(caret), text);
    // Selection and caret stay inside the shorter text until they are set below.
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

void TCustomXPEdit::DeleteBackward(int count) {
  if (FReadOnly || FCaretPos <= 0) return;
  MoveCaret(FCaretPos - count);
  WideString text = FText;
  text.erase(std::size_t(FCaretPos), std::size_t(count));
  FInTextChanging = true;
  SetInternalText(text);
  FInTextChanging = false;
  if (FFirstChar == FCaretPos) ScrollToCaret();
  else SetFirstChar(FFirstChar);
  Change();
}

void TCustomXPEdit::DeleteForward(int count) {
  if (FReadOnly) return;
  WideString text = FText;
  if (FCaretPos < int(text.size())) text.erase(std::size_t(FCaretPos), std::size_t(count));
  FInTextChanging = true;
  SetInternalText(text);
  FInTextChanging = false;
  if (FCaretPos == FFirstChar && FCaretPos == int(FDisplayText.size())) ScrollToCaret();
  else SetFirstChar(FFirstChar);
  Change();
}

HRESULT TCustomXPEdit::DeleteSelection() {
  try {
    if (FReadOnly) return S_OK;
    int length = SelLength();
    MoveCaret(SelStart());
    DeleteForward(length);
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TCustomXPEdit::Undo() {
  try {
    if (!CanUndo()) return S_OK;
    FUndo.SaveNext();
    SetInternalText(FUndo.Text());
    FUndo.SaveNext();
    Perform(CM_TEXTCHANGED);
    Run(&TCustomXPEdit::SelectAll);
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TCustomXPEdit::CopyToClipboard() {
  try {
    if (FPasswordChar == 0) Clipboard().SetAsText(SelText());
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TCustomXPEdit::CutToClipboard() {
  try {
    if (FReadOnly) return CopyToClipboard();
    Run(&TCustomXPEdit::CopyToClipboard);
    Run(&TCustomXPEdit::DeleteSelection);
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TCustomXPEdit::PasteFromClipboard() {
  try {
    if (FReadOnly || !Clipboard().HasFormat(CF_UNICODETEXT)) return S_OK;
    InsertText(Clipboard().AsText());
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---- Number mode

double TCustomXPEdit::NumberValue() {
  WideString text = GetText();
  switch (FNumberType) {
    case TNumberTypeEx::ntUnsignedInt: {
      int base = RadixBase(FNumberRadix);
      std::uint64_t v = 0;
      for (wchar_t c : text) {
        wchar_t u = AsciiUpper(c);
        int digit = 0;
        for (int i = 0; i < base; ++i)
          if (kDigits[i] == u) digit = i;
        v = v * std::uint64_t(base) + std::uint64_t(digit);
      }
      return double(std::int64_t(v));
    }
    case TNumberTypeEx::ntSignedInt: {
      std::int64_t v = 0;
      // Decimal only: a "$" or "x" prefix is no number here.
      bool digitsOnly = !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || c == L' ';
      });
      return digitsOnly && TryStrToInt64(text, v) ? double(v) : 0.0;
    }
    case TNumberTypeEx::ntFloat: {
      double v = 0;
      return TryStrToFloat(text, v) ? v : 0.0;
    }
    default: return 0.0;
  }
}

void TCustomXPEdit::SetNumberValue(double value) {
  WideString text;
  auto toInt64 = [](double v) -> std::int64_t {
    try {
      return Round(v);
    } catch (...) {
      throw EConvertError(L"The value does not fit 64 bits");
    }
  };
  switch (FNumberType) {
    case TNumberTypeEx::ntUnsignedInt: {
      // A negative value shows its two's-complement digits, which read back the same.
      auto v = std::uint64_t(toInt64(value));
      int base = RadixBase(FNumberRadix);
      if (v == 0) text = L"0";
      while (v) {
        text.insert(text.begin(), kDigits[v % std::uint64_t(base)]);
        v /= std::uint64_t(base);
      }
      break;
    }
    case TNumberTypeEx::ntSignedInt: text = IntToStr(toInt64(value)); break;
    case TNumberTypeEx::ntFloat: {
      wchar_t buffer[400];
      std::swprintf(buffer, std::size(buffer), L"%.*f", FNumberPrecision, value);
      text = buffer;
      // The C library's separator is the C locale's; keep "." whatever it is.
      std::replace(text.begin(), text.end(), L',', L'.');
      break;
    }
    default: return;
  }
  SetText(text);
}

void TCustomXPEdit::SetNumberPrecision(int value) {
  value = std::clamp(value, 0, 15);
  if (Loading()) {
    FNumberPrecision = value;
    return;
  }
  double v = NumberValue();
  FNumberPrecision = value;
  SetNumberValue(v);
}

void TCustomXPEdit::SetNumberRadix(TRadix value) {
  double v = Loading() ? 0.0 : NumberValue();
  FNumberRadix = value;
  if (value != TRadix::rdxDecimal && FNumberType != TNumberTypeEx::ntNone) FNumberType = TNumberTypeEx::ntUnsignedInt;
  if (!Loading()) SetNumberValue(v);
}

void TCustomXPEdit::SetNumberType(TNumberTypeEx value) {
  double v = Loading() ? 0.0 : NumberValue();
  FNumberType = value;
  if (value == TNumberTypeEx::ntSignedInt || value == TNumberTypeEx::ntFloat) FNumberRadix = TRadix::rdxDecimal;
  if (!Loading()) SetNumberValue(v);
  NumberTypeChanged();
}

// ---- Properties

void TCustomXPEdit::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (value) Perform(CM_FONTCHANGED);
}

void TCustomXPEdit::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomXPEdit::CMCtl3DChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomXPEdit::SetFrameColor(TColor value) {
  if (value == FFrameColor) return;
  FFrameColor = value;
  Invalidate();
}

void TCustomXPEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  Invalidate();
}

void TCustomXPEdit::SetHotTrack(bool value) {
  if (value == FHotTrack) return;
  FHotTrack = value;
  HotChanged(false);
}

void TCustomXPEdit::SetLookAndFeel(TXPLookAndFeel value) {
  if (value == FLookAndFeel) return;
  FLookAndFeel = value;
  if (HandleAllocated()) RecreateWnd();
  Invalidate();
}

void TCustomXPEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  Invalidate();
}

void TCustomXPEdit::SetSelectedColor(TColor value) {
  if (value == FSelectedColor) return;
  FSelectedColor = value;
  Invalidate();
}

void TCustomXPEdit::SetSelectedTextColor(TColor value) {
  if (value == FSelectedTextColor) return;
  FSelectedTextColor = value;
  Invalidate();
}

void TCustomXPEdit::SetUseColor(bool value) {
  if (value == FUseColor) return;
  FUseColor = value;
  Invalidate();
}

void TCustomXPEdit::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  if (value)
    TXPEditResourceManager::RegisterTransparent(this);
  else
    TXPEditResourceManager::UnregisterTransparent(this);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomXPEdit::HotChanged(bool hot) {
  if (!FTransparent || !FHotTrack) {
    if (Font().Style() & fsUnderline) Font().SetStyle(Font().Style() & ~fsUnderline);
    return;
  }
  TFontStyles style = hot ? (Font().Style() | fsUnderline) : (Font().Style() & ~fsUnderline);
  if (style != Font().Style()) Font().SetStyle(style);
}

int TCustomXPEdit::GetAutoWidth() {
  if (!HandleAllocated()) return Width();
  int length = int(FDisplayText.size());
  int w = TextWidth(0, length) + 2 * (FFrameSize + FBorderSize);
  if (length == 0) return w;
  return EditAutoWidth(MeasureDC(), w, FDisplayText.back(), FFrameSize, FBorderSize,
                       FBorderStyle != TBorderStyle::bsNone);
}

// ---- Transparency

void TCustomXPEdit::Invalidate() {
  RefreshBackground();
  TXPCustomControl::Invalidate();
}

void TCustomXPEdit::RefreshBackground() {
  if (!FTransparent || !HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return;
  RefreshTransparentBackground(*this);
}

void TCustomXPEdit::WMEraseBkgnd(TMessage& message) {
  if (FTransparent && DoubleBuffered() && !(ComponentState() & csDesigning)) {
    DrawParentBackground(*this, reinterpret_cast<HDC>(message.WParam), nullptr);
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

// ---- Painting

TThemedEditState TCustomXPEdit::GetEditState() {
  if (!Enabled()) return teEditTextDisabled;
  if (HandleAllocated() && Focused()) return teEditTextFocused;
  if (FHot) return teEditTextHot;
  if (FReadOnly) return teEditTextReadOnly;
  return teEditTextNormal;
}

void TCustomXPEdit::GetThemedDetails(TThemedDetails& details) {
  details.ThemeClass = L"EDIT";
  details.Part = EP_EDITTEXT;
  details.State = GetEditState();
  if (IsVistaOrLater()) {
    details.Part = 6;  // the border without scroll bars
    if (details.State == teEditTextHot || details.State == teEditTextFocused) details.State = 3;
  }
}

void TCustomXPEdit::GetThemeColors(bool enabled, bool readOnlyLook, TColor& textColor, TColor& backColor) {
  if (FLookAndFeel != TXPLookAndFeel::xlfNative || GetThemeMode() != 2) return;
  HTHEME theme = OpenThemeData(HandleAllocated() ? Handle() : nullptr, L"EDIT");
  if (!theme) return;
  int part = IsVistaOrLater() ? 6 : 1;
  int state = !enabled ? 4 : (readOnlyLook ? 6 : 1);
  COLORREF c;
  if (SUCCEEDED(::GetThemeColor(theme, part, state, TMT_FILLCOLOR, &c))) backColor = ColorToRGB(TColor(c));
  if (SUCCEEDED(::GetThemeColor(theme, part, state, TMT_TEXTCOLOR, &c))) textColor = ColorToRGB(TColor(c));
  CloseThemeData(theme);
}

TCustomXPEdit::TEditColors TCustomXPEdit::GetColors() {
  TEditColors c{};
  int mode = GetThemeMode();
  bool readOnlyLook = FReadOnly && mode != 0;
  bool showSelection = (HandleAllocated() && Focused()) || !FHideSelection;
  if (Enabled()) {
    c.Back = readOnlyLook ? SubstBtnHighlightColor : SubstWindowColor;
    c.Text = Font().Color();
    c.Frame = UsesCustomColors() && FFrameColor != clDefault ? FFrameColor : kEditFrameColor;
    GetThemeColors(true, readOnlyLook, c.Text, c.Back);
    if (UsesCustomColors()) c.Back = Color();
    if (showSelection) {
      c.SelText = UsesCustomColors() && FSelectedTextColor != clDefault ? FSelectedTextColor : SubstHighlightTextColor;
      c.SelBack = UsesCustomColors() && FSelectedColor != clDefault ? FSelectedColor : SubstHighlightColor;
    } else {
      c.SelText = c.Text;
      c.SelBack = c.Back;
    }
  } else {
    c.Text = SubstBtnShadowColor;
    c.Back = mode != 0 ? SubstBtnHighlightColor : SubstWindowColor;
    GetThemeColors(false, readOnlyLook, c.Text, c.Back);
    c.Frame = c.Text;
    if (showSelection) {
      c.SelText = c.Back;
      c.SelBack = c.Text;
    } else {
      c.SelText = c.Text;
      c.SelBack = c.Back;
    }
  }
  return c;
}

void TCustomXPEdit::Paint() {
  TEditColors c = GetColors();
  HDC dc = Canvas().Handle();
  RECT client = ClientRect();
  if (!FTransparent) {
    bool custom = FLookAndFeel == TXPLookAndFeel::xlfCustom && !IsGraphicEmpty(FBackImage.get());
    int mode = GetThemeMode();
    if (mode == 2 && UsesCustomColors()) mode = 0;
    if (custom) {
      DrawParentBackground(*this, dc, nullptr);
      int half = FBackImage->Height() / 2;
      TThemedEditState state = GetEditState();
      int top = (state == teEditTextHot || state == teEditTextFocused) ? half : 0;
      RECT source{0, top, FBackImage->Width(), top + half};
      RECT inner{3, 3, FBackImage->Width() - 3, half - 3};
      DrawSkinBitmap(client, inner, source, dc, FBackImage->Handle(), true);
    } else if (mode == 2) {
      TThemedDetails details;
      GetThemedDetails(details);
      if (HTHEME theme = OpenThemeData(Handle(), details.ThemeClass)) {
        if (IsThemeBackgroundPartiallyTransparent(theme, details.Part, details.State))
          DrawThemeParentBackground(Handle(), dc, &client);
        RECT button;
        GetButtonRect(button);
        HRGN saved = nullptr;
        BeginClipRect(dc, button, saved, true);
        DrawThemeBackground(theme, dc, details.Part, details.State, &client, nullptr);
        EndClipRect(dc, saved);
        CloseThemeData(theme);
      }
    } else {
      RECT r = client;
      TColor frame = FBorderStyle == TBorderStyle::bsNone ? c.Back : c.Frame;
      for (int i = 0; i < FFrameSize; ++i) {
        FrameSolidRect(dc, r, frame);
        InflateRect(&r, -1, -1);
      }
      RECT button;
      GetButtonRect(button);
      HRGN saved = nullptr;
      BeginClipRect(dc, button, saved, true);
      for (int i = 0; i < FBorderSize; ++i) {
        FrameSolidRect(dc, r, c.Back);
        InflateRect(&r, -1, -1);
      }
      int h = client.bottom;
      RECT strip{FFrameSize, h - FFrameSize - FBorderSize - FExtraDelta, client.right - FFrameSize,
                 h - FFrameSize - FBorderSize};
      FillSolidRect(dc, strip, c.Back);
      EndClipRect(dc, saved);
    }
  }
  RECT text;
  GetTextRect(text);
  PaintText(text, c.Back, c.Text, c.SelBack, c.SelText, c.Frame);
}

void TCustomXPEdit::PaintText(const RECT& rect, TColor backColor, TColor textColor, TColor selBackColor,
                              TColor selTextColor, TColor) {
  HDC dc = MeasureDC();
  bool transparent = FTransparent ||
                     (FLookAndFeel == TXPLookAndFeel::xlfNative && IsVistaOrLater() && GetThemeMode() == 2 &&
                      !UsesCustomColors()) ||
                     (FLookAndFeel == TXPLookAndFeel::xlfCustom && !IsGraphicEmpty(FBackImage.get()));
  bool focused = HandleAllocated() && Focused();
  int length = int(FDisplayText.size());
  int first = std::min(FFirstChar, length);
  int e = std::min(first + FCharPartialVisibleCount, length);
  int x = rect.left;
  auto run = [&](int s, int t, TColor back, TColor fore, bool opaque) {
    if (t <= s) return;
    int width = TextWidth(s, t - s);
    RECT clip{x, rect.top, std::min<LONG>(x + width, rect.right), rect.bottom};
    // One character early, so that kerning and overhang across runs come out right.
    int from = s > 0 ? s - 1 : s;
    int shift = s > 0 ? TextWidth(s - 1, 1) : 0;
    SetTextColor(dc, ColorToRGB(fore));
    SetBkColor(dc, ColorToRGB(back));
    SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    ExtTextOutW(dc, x - shift, rect.top, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0), &clip, FDisplayText.data() + from,
                UINT(t - from), nullptr);
    x = clip.right;
  };
  int selStart = SelStart(), selEnd = selStart + SelLength();
  if (SelLength() > 0 && selStart < e && selEnd > first) {
    if (selStart >= first) run(first, selStart, backColor, textColor, !transparent);
    bool selOpaque = !(FHideSelection && !focused) || !transparent;
    run(std::max(selStart, first), std::min(selEnd, e), selBackColor, selTextColor, selOpaque);
    run(std::min(selEnd, e), e, backColor, textColor, !transparent);
  } else {
    run(first, e, backColor, textColor, !transparent);
  }
  if (e == length && x < rect.right) {
    RECT rest{x, rect.top, rect.right, rect.bottom};
    SetBkColor(dc, ColorToRGB(backColor));
    SetBkMode(dc, transparent ? TRANSPARENT : OPAQUE);
    ExtTextOutW(dc, x, rect.top, ETO_CLIPPED | (transparent ? 0 : ETO_OPAQUE), &rest, L"", 0, nullptr);
  }
}

// ---- Messages

void TCustomXPEdit::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  ScrollToCaret();
}

void TCustomXPEdit::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
  ShowTextCaret();
}

void TCustomXPEdit::WMKillFocus(TMessage& message) {
  HideTextCaret();
  TVK_INHERITED(message);
  Invalidate();
}

void TCustomXPEdit::WMSetText(TMessage& message) {
  const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
  SetText(text ? text : L"");
  message.Result = 1;
}

void TCustomXPEdit::WMGetText(TMessage& message) {
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

void TCustomXPEdit::WMGetTextLength(TMessage& message) { message.Result = LRESULT(GetText().size()); }

void TCustomXPEdit::WMCancelMode(TMessage& message) {
  TVK_INHERITED(message);
  CancelMouseSelect();
}

void TCustomXPEdit::CancelMouseSelect() {
  if (!FMouseSelect) return;
  FMouseSelect = false;
  ReleaseCapture();
}

void TCustomXPEdit::WMSetCursor(TMessage& message) {
  if (!(ComponentState() & csDesigning)) UpdateCursor();
  TVK_INHERITED(message);
}

void TCustomXPEdit::UpdateCursor() {
  POINT p;
  GetCursorPos(p);
  SetCursor(PtInTextRect(p.x, p.y) ? crIBeam : crDefault);
}

void TCustomXPEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TCustomXPEdit::WMImeComposition(TMessage& message) {
  if (message.LParam & GCS_RESULTSTR) {
    if (HIMC context = ImmGetContext(Handle())) {
      LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
      if (bytes > 0) {
        FImeCount = int(bytes);
        FImeStr.assign(std::size_t(bytes) / 2, L'\0');
        ImmGetCompositionStringW(context, GCS_RESULTSTR, FImeStr.data(), DWORD(bytes));
      }
      ImmReleaseContext(Handle(), context);
    }
  }
  TVK_INHERITED(message);
}

void TCustomXPEdit::WMImeNotify(TMessage& message) {
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

void TCustomXPEdit::WMContextMenu(TMessage& message) {
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

void TCustomXPEdit::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TCustomXPEdit::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!HandleAllocated()) return;
  FInternalHeight = GetTextHeight();
  int h = FExtraDelta + 2 * (FBorderSize + FFrameSize) + FInternalHeight;
  if (GetThemeMode() == 0 && !FTransparent && FBorderStyle == TBorderStyle::bsSingle)
    h += Ctl3D() ? 2 * GetSystemMetrics(SM_CYEDGE) : 2;
  if (FAutoSize || Height() < h) SetHeight(h);
  SetFirstChar(FFirstChar);
  Invalidate();
}

void TCustomXPEdit::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  FHot = true;
  HotChanged(true);
  Invalidate();
}

void TCustomXPEdit::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  FHot = false;
  HotChanged(false);
  Invalidate();
}

void TCustomXPEdit::CMEnter(TMessage& message) {
  if (!FAutoSelect || GetKeyState(VK_LBUTTON) < 0 || FFocusingClick)
    ScrollToCaret();
  else
    Run(&TCustomXPEdit::SelectAll);
  TVK_INHERITED(message);
}

// ---- Keyboard and mouse

void TCustomXPEdit::KeyDown(WORD& key, TShiftState shift) {
  TXPCustomControl::KeyDown(key, shift);
  TShiftState keys = shift & (ssShift | ssAlt | ssCtrl);
  switch (key) {
    case VK_BACK:
      if (keys == ssAlt) Run(&TCustomXPEdit::Undo);
      break;
    case VK_END: MoveCaret(int(FDisplayText.size())); break;
    case VK_HOME: MoveCaret(0); break;
    case VK_LEFT: MoveCaret((keys & ssCtrl) ? PrevWordPos() : FCaretPos - 1); break;
    case VK_RIGHT: MoveCaret((keys & ssCtrl) ? NextWordPos() : FCaretPos + 1); break;
    case VK_INSERT:
      if (keys == ssShift) Run(&TCustomXPEdit::PasteFromClipboard);
      else if (keys == ssCtrl) Run(&TCustomXPEdit::CopyToClipboard);
      break;
    case VK_DELETE:
      if (keys == 0) {
        if (SelLength() > 0) Run(&TCustomXPEdit::DeleteSelection);
        else DeleteForward(1);
      } else if (keys == ssShift) {
        Run(&TCustomXPEdit::CutToClipboard);
      }
      break;
    default: break;
  }
}

void TCustomXPEdit::KeyPress(wchar_t& key) {
  TXPCustomControl::KeyPress(key);
  if (key != 0 && FSuppressKeyPress <= 0) ProcessChar(key);
}

void TCustomXPEdit::ProcessChar(wchar_t& key) {
  // A character message carries one UTF-16 unit: 2 bytes of an IME result,
  // never a lead byte (that test is for ANSI messages).
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
  if (key > 31) {
    InsertText(WideString(1, key));
    return;
  }
  switch (key) {
    case 3: Run(&TCustomXPEdit::CopyToClipboard); break;
    case 8:
      if (SelLength() > 0) Run(&TCustomXPEdit::DeleteSelection);
      else DeleteBackward(1);
      break;
    case 22: Run(&TCustomXPEdit::PasteFromClipboard); break;
    case 24: Run(&TCustomXPEdit::CutToClipboard); break;
    case 26: Run(&TCustomXPEdit::Undo); break;
    default: break;
  }
}

void TCustomXPEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TXPCustomControl::MouseDown(button, shift, x, y);
  bool focusing = false;
  if ((button == TMouseButton::mbLeft || button == TMouseButton::mbRight) && !Focused()) {
    FFocusingClick = true;
    ::SetFocus(Handle());
    FFocusingClick = false;
    focusing = true;
  }
  if (button != TMouseButton::mbLeft || (shift & ssDouble) || !PtInTextRect(x, y)) return;
  RECT r;
  GetTextRect(r);
  MoveCaret(CharIndexAt(x - r.left));
  SetCapture(Handle());
  FMouseSelect = true;
  if (focusing && FAutoSelect) FNeedSelectAll = true;
}

void TCustomXPEdit::MouseMove(TShiftState shift, int x, int y) {
  TXPCustomControl::MouseMove(shift, x, y);
  if (!FMouseSelect) return;
  RECT r;
  GetTextRect(r);
  int p = CharIndexAt(x - r.left);
  if (p != FCaretPos) FNeedSelectAll = false;
  MoveCaret(p);
}

void TCustomXPEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FMouseSelect) ReleaseCapture();
  FMouseSelect = false;
  TXPCustomControl::MouseUp(button, shift, x, y);
  if (FNeedSelectAll) {
    FNeedSelectAll = false;
    Run(&TCustomXPEdit::SelectAll);
  }
}

// A double click selects the word under the mouse, and OnDblClick fires as
// well, after the selection, so that a handler sees the word.
void TCustomXPEdit::DblClick() {
  POINT p;
  GetCursorPos(p);
  if (PtInTextRect(p.x, p.y)) {
    RECT r;
    GetTextRect(r);
    SelectWordAt(CharIndexAt(p.x - r.left));
  }
  TXPCustomControl::DblClick();
}

TPopupMenu* TCustomXPEdit::GetPopupMenu() {
  if (FPopupMenu) return FPopupMenu;
  TXPEditResourceManager::BindStandardMenu(this);
  int length = int(FDisplayText.size());
  TXPEditResourceManager::MenuItemUndo().SetEnabled(CanUndo());
  TXPEditResourceManager::MenuItemCut().SetEnabled(SelLength() > 0);
  TXPEditResourceManager::MenuItemCopy().SetEnabled(SelLength() > 0);
  TXPEditResourceManager::MenuItemDelete().SetEnabled(SelLength() > 0);
  TXPEditResourceManager::MenuItemPaste().SetEnabled(Clipboard().HasFormat(CF_UNICODETEXT) ||
                                                     Clipboard().HasFormat(CF_TEXT));
  TXPEditResourceManager::MenuItemSelectAll().SetEnabled(SelLength() != length);
  return &TXPEditResourceManager::StandardEditPopupMenu();
}

TVK_MESSAGE_MAP(TCustomXPEdit, {WM_SIZE, &TCustomXPEdit::WMSize}, {WM_SETFOCUS, &TCustomXPEdit::WMSetFocus},
                {WM_KILLFOCUS, &TCustomXPEdit::WMKillFocus}, {WM_SETTEXT, &TCustomXPEdit::WMSetText},
                {WM_GETTEXT, &TCustomXPEdit::WMGetText}, {WM_GETTEXTLENGTH, &TCustomXPEdit::WMGetTextLength},
                {WM_ERASEBKGND, &TCustomXPEdit::WMEraseBkgnd}, {WM_CANCELMODE, &TCustomXPEdit::WMCancelMode},
                {WM_SETCURSOR, &TCustomXPEdit::WMSetCursor}, {WM_GETDLGCODE, &TCustomXPEdit::WMGetDlgCode},
                {WM_IME_COMPOSITION, &TCustomXPEdit::WMImeComposition},
                {WM_IME_NOTIFY, &TCustomXPEdit::WMImeNotify}, {WM_CONTEXTMENU, &TCustomXPEdit::WMContextMenu},
                {CM_ENABLEDCHANGED, &TCustomXPEdit::CMEnabledChanged},
                {CM_FONTCHANGED, &TCustomXPEdit::CMFontChanged}, {CM_CTL3DCHANGED, &TCustomXPEdit::CMCtl3DChanged}, {CM_TEXTCHANGED, &TCustomXPEdit::CMTextChanged},
                {CM_MOUSEENTER, &TCustomXPEdit::CMMouseEnter}, {CM_MOUSELEAVE, &TCustomXPEdit::CMMouseLeave},
                {CM_ENTER, &TCustomXPEdit::CMEnter})

// ---- TXPEditResourceManager

TBitmap& TXPEditResourceManager::ComboButton() { return gEditGlyphs.Bitmap(0); }
TBitmap& TXPEditResourceManager::ComboButtonGlyph() { return gEditGlyphs.Bitmap(GetThemeMode() != 0 ? 1 : 2); }
TBitmap& TXPEditResourceManager::EllipsisGlyph() { return gEditGlyphs.Bitmap(3); }
TBitmap& TXPEditResourceManager::DirectoryGlyph() { return gEditGlyphs.Bitmap(4); }
TBitmap& TXPEditResourceManager::FileNameGlyph() { return gEditGlyphs.Bitmap(5); }
TPopupMenu& TXPEditResourceManager::StandardEditPopupMenu() { return *EditMenu().Menu; }
TMenuItem& TXPEditResourceManager::MenuItemUndo() { return *EditMenu().Items[0]; }
TMenuItem& TXPEditResourceManager::MenuItemCut() { return *EditMenu().Items[1]; }
TMenuItem& TXPEditResourceManager::MenuItemCopy() { return *EditMenu().Items[2]; }
TMenuItem& TXPEditResourceManager::MenuItemPaste() { return *EditMenu().Items[3]; }
TMenuItem& TXPEditResourceManager::MenuItemDelete() { return *EditMenu().Items[4]; }
TMenuItem& TXPEditResourceManager::MenuItemSelectAll() { return *EditMenu().Items[5]; }
void TXPEditResourceManager::BindStandardMenu(TComponent* component) { EditMenu().Bound = component; }
TComponent* TXPEditResourceManager::BoundComponent() { return gEditMenu ? gEditMenu->Bound : nullptr; }
bool TXPEditResourceManager::MenuCreated() { return gEditMenu != nullptr; }
bool TXPEditResourceManager::GlyphsLoaded() { return gEditGlyphs.Loaded(); }

void TXPEditResourceManager::RegisterTransparent(TCustomXPEdit* edit) {
  if (!gTransparentEdits) gTransparentEdits = new std::vector<TCustomXPEdit*>;
  if (gTransparentEdits->empty() && !gTransparentHook)
    gTransparentHook = SetWindowsHookExW(WH_CALLWNDPROC, &TransparentEditHook, nullptr, GetCurrentThreadId());
  if (std::find(gTransparentEdits->begin(), gTransparentEdits->end(), edit) == gTransparentEdits->end())
    gTransparentEdits->push_back(edit);
}

void TXPEditResourceManager::UnregisterTransparent(TCustomXPEdit* edit) {
  if (!gTransparentEdits) return;
  std::erase(*gTransparentEdits, edit);
  if (gTransparentEdits->empty() && gTransparentHook) {
    UnhookWindowsHookEx(gTransparentHook);
    gTransparentHook = nullptr;
  }
}

int TXPEditResourceManager::TransparentCount() { return gTransparentEdits ? int(gTransparentEdits->size()) : 0; }
HHOOK TXPEditResourceManager::TransparentHook() { return gTransparentHook; }

bool XPEditsStartup() {
  gEditMenu.reset();
  gTransparentEdits = nullptr;
  gTransparentHook = nullptr;
  return true;
}

void XPEditsShutdown() {
  if (gTransparentHook) UnhookWindowsHookEx(gTransparentHook);
  gTransparentHook = nullptr;
  delete gTransparentEdits;
  gTransparentEdits = nullptr;
  gEditGlyphs.Release();
  gEditMenu.reset();
}

// ---- Colours alike, and a theme's arrow taken off

bool SimilarColors(TColor a, TColor b) {
  std::uint8_t h1, s1, l1, h2, s2, l2;
  ColorToHSL(a, h1, s1, l1);
  ColorToHSL(b, h2, s2, l2);
  if (s1 < 8 && s2 < 8 && std::abs(l1 - l2) < 31) return true;
  if ((l1 < 8 && l2 < 8) || (l1 > 240 && l2 > 240)) return true;
  return std::abs(h1 - h2) < 31 && std::abs(l1 - l2) < 31 && std::abs(s1 - s2) < 41;
}

void EraseThemeGlyph(TCanvas& canvas, const RECT& rect) {
  HDC dc = canvas.Handle();
  for (int y = rect.top; y < rect.bottom; ++y) {
    int x = rect.left;
    while (x < rect.right - 1) {
      TColor base = TColor(GetPixel(dc, x, y));
      int start = x + 1;
      while (start < rect.right && SimilarColors(TColor(GetPixel(dc, start, y)), base)) ++start;
      if (start >= rect.right) break;
      TColor runFirst = TColor(GetPixel(dc, start, y));
      int end = start + 1;
      while (end < rect.right && SimilarColors(TColor(GetPixel(dc, end, y)), runFirst)) ++end;
      TColor left = TColor(GetPixel(dc, start - 1, y));
      TColor right = TColor(GetPixel(dc, std::min<int>(end, rect.right - 1), y));
      DrawGradientRect(dc, RECT{start, y, end, y + 1}, left, right, true);
      x = end;
    }
  }
}

// ---- TXPEditButton

TXPEditButton::TXPEditButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, kEditButtonWidth, 21);
}

int TXPEditButton::GetButtonState() const {
  if (!Enabled()) return 4;
  if (FState == TButtonState::bsDown) return 3;
  return FHot ? 2 : 1;
}

void TXPEditButton::Paint() {
  if (auto* edit = dynamic_cast<TXPCustomButtonEdit*>(Parent())) edit->PaintButton(*this);
}

void TXPEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  FState = TButtonState::bsDown;
  if (auto* edit = dynamic_cast<TCustomXPEdit*>(Parent()); edit && edit->CanFocus() && !edit->Focused())
    edit->SetFocus();
  Invalidate();
}

void TXPEditButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FState == TButtonState::bsDown) FState = Enabled() ? TButtonState::bsUp : TButtonState::bsDisabled;
  Invalidate();
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TXPEditButton::CMEnabledChanged(TMessage& message) {
  FState = Enabled() ? TButtonState::bsUp : TButtonState::bsDisabled;
  TVK_INHERITED(message);
  Invalidate();
}

void TXPEditButton::CMMouseEnter(TMessage& message) {
  FHot = true;
  TVK_INHERITED(message);
  Invalidate();
  if (Parent()) Parent()->Invalidate();
}

void TXPEditButton::CMMouseLeave(TMessage& message) {
  FHot = false;
  TVK_INHERITED(message);
  Invalidate();
  if (Parent()) Parent()->Invalidate();
}

TVK_MESSAGE_MAP(TXPEditButton, {CM_ENABLEDCHANGED, &TXPEditButton::CMEnabledChanged},
                {CM_MOUSEENTER, &TXPEditButton::CMMouseEnter}, {CM_MOUSELEAVE, &TXPEditButton::CMMouseLeave})

// ---- TXPCustomButtonEdit

TXPCustomButtonEdit::TXPCustomButtonEdit(TComponent* owner) : TCustomXPEdit(owner) {
  SetWidth(145);
  FButtonImage = std::make_unique<TAlphaBitmap>();
  FDropDownGlyph = std::make_unique<TAlphaBitmap>();
  FButtonImage->OnChange = [this](TObject*) {
    if (LookAndFeel() == TXPLookAndFeel::xlfCustom) Invalidate();
  };
  FDropDownGlyph->OnChange = FButtonImage->OnChange;
  FButton = new TXPEditButton(this);
  FButton->SetAlign(TAlign::alRight);
  FButton->SetParent(this);
  FButton->OnClick = [this](TObject* sender) { ButtonClick(sender); };
}

TXPCustomButtonEdit::~TXPCustomButtonEdit() {
  FButtonImage->OnChange = nullptr;
  FDropDownGlyph->OnChange = nullptr;
}

void TXPCustomButtonEdit::ButtonClick(TObject* sender) {
  if (OnButtonClick)
    OnButtonClick(sender);
  else
    DoButtonClick();
}

void TXPCustomButtonEdit::ClickButton() {
  if (FShowButton) ButtonClick(FButton);
}

void TXPCustomButtonEdit::SetShowButton(bool value) {
  if (value == FShowButton) return;
  FShowButton = value;
  UpdateButtonVisibility();
  Invalidate();
}

void TXPCustomButtonEdit::SetHotColor(TColor value) {
  if (value == FHotColor) return;
  FHotColor = value;
  Invalidate();
}

void TXPCustomButtonEdit::SetTransparent(bool value) {
  TCustomXPEdit::SetTransparent(value);
  if (HandleAllocated()) UpdateButtonVisibility();
}

void TXPCustomButtonEdit::GetButtonRect(RECT& rect) {
  if (!FShowButton) {
    rect = RECT{};
    return;
  }
  rect = FButton->BoundsRect();
}

void TXPCustomButtonEdit::GetTextRect(RECT& rect) {
  TCustomXPEdit::GetTextRect(rect);
  if (FShowButton) rect.right -= FButton->Width() - FBorderSize + 1;
}

int TXPCustomButtonEdit::GetAutoWidth() {
  return TCustomXPEdit::GetAutoWidth() + (FButton->Visible() ? FButton->Width() : 0);
}

void TXPCustomButtonEdit::AdjustClientRect(RECT& rect) {
  TCustomXPEdit::AdjustClientRect(rect);
  DeflateButtonArea(rect);
}

void TXPCustomButtonEdit::DeflateButtonArea(RECT& rect) { InflateRect(&rect, -FFrameSize, -FFrameSize); }

bool TXPCustomButtonEdit::IsButtonVisible(TXPEditButton& button, bool show) {
  bool focused = HandleAllocated() && Focused();
  return show && (!Transparent() || (ComponentState() & csDesigning) || focused || Hot() || button.Hot());
}

void TXPCustomButtonEdit::UpdateButtonVisibility() {
  bool visible = IsButtonVisible(*FButton, FShowButton);
  FButton->SetControlStyle(visible ? FButton->ControlStyle() & ~csNoDesignVisible
                                   : FButton->ControlStyle() | csNoDesignVisible);
  FButton->SetVisible(visible);
}

void TXPCustomButtonEdit::GetButtonDetails(TXPEditButton& button, TThemedDetails& details) {
  details.ThemeClass = L"COMBOBOX";
  details.Part = CP_DROPDOWNBUTTON;
  static constexpr int kStates[] = {CBXS_NORMAL, CBXS_NORMAL, CBXS_HOT, CBXS_PRESSED, CBXS_DISABLED};
  details.State = kStates[button.GetButtonState()];
}

void TXPCustomButtonEdit::Paint() {
  if (Transparent()) {
    UpdateButtonVisibility();
  } else {
    TEditColors c = GetColors();
    TColor pen = Enabled() ? SubstWindowColor : SubstBtnHighlightColor;
    if (UsesCustomColors()) pen = Color();
    HDC dc = Canvas().Handle();
    if (FButton->Visible()) {
      int left = FButton->Left();
      for (int i = 1; i <= FBorderSize; ++i)
        FillSolidRect(dc, RECT{left - i, FFrameSize, left - i + 1, ClientHeight() - FFrameSize}, pen);
    }
    RECT button;
    GetButtonRect(button);
    if (!IsRectEmpty(&button)) FillSolidRect(dc, button, c.Back);
  }
  TCustomXPEdit::Paint();
}

void TXPCustomButtonEdit::PaintButton(TXPEditButton& button) {
  TCanvas& canvas = button.Canvas();
  HDC dc = canvas.Handle();
  RECT r = button.ClientRect();
  int state = button.GetButtonState();
  int mode = GetThemeMode();
  if (LookAndFeel() == TXPLookAndFeel::xlfNative && mode == 0) {
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (state == 4) flags |= DFCS_INACTIVE;
    if (state == 2) flags |= DFCS_HOT;
    if (state == 3) flags |= DFCS_PUSHED;
    DrawFrameControl(dc, &r, DFC_BUTTON, flags);
    r = button.ClientRect();
  } else if (LookAndFeel() == TXPLookAndFeel::xlfNative && mode == 1) {
    TBitmap& face = TXPEditResourceManager::ComboButton();
    RECT source{0, 16 * (state - 1), 15, 16 * state};
    DrawSkinBitmap(r, RECT{3, 3, 12, 13}, source, dc, face.Handle(), false);
  } else if (LookAndFeel() == TXPLookAndFeel::xlfNative) {
    TBitmap work;
    work.SetPixelFormat(TPixelFormat::pf32bit);
    work.SetSize(r.right, r.bottom);
    if (IsVistaOrLater()) {
      work.Canvas().Brush().SetColor(clBlack);
      work.Canvas().FillRect(r);
    }
    TThemedDetails details;
    GetButtonDetails(button, details);
    if (HTHEME theme = OpenThemeData(Handle(), details.ThemeClass)) {
      DrawThemeBackground(theme, work.Canvas().Handle(), details.Part, details.State, &r, nullptr);
      CloseThemeData(theme);
    }
    RECT inner = r;
    InflateRect(&inner, -2, -2);
    EraseThemeGlyph(work.Canvas(), inner);
    if (IsVistaOrLater())
      TransparentBlit(dc, 0, 0, r.right, r.bottom, work.Canvas().Handle(), 0, 0, clBlack);
    else
      BitBlt(dc, 0, 0, r.right, r.bottom, work.Canvas().Handle(), 0, 0, SRCCOPY);
  } else {
    r.top += FFrameSize;
    r.right -= FFrameSize;
    r.bottom -= FFrameSize;
    if (!IsGraphicEmpty(FButtonImage.get())) {
      DrawParentBackground(button, dc, nullptr);
      int quarter = FButtonImage->Height() / 4;
      RECT source{0, quarter * (state - 1), FButtonImage->Width(), quarter * state};
      DrawSkinBitmap(r, RECT{3, 3, FButtonImage->Width() - 3, quarter - 3}, source, dc, FButtonImage->Handle(), true);
    } else if (IsGraphicEmpty(&BackImage())) {
      TColor brush = Color(), pen = FrameColor();
      if (state == 2 || state == 3) brush = FHotColor;
      if (state == 4) {
        brush = SubstBtnHighlightColor;
        pen = SubstBtnShadowColor;
      }
      FillSolidRect(dc, r, brush == clDefault ? Color() : brush);
      FrameSolidRect(dc, r, pen == clDefault ? kEditFrameColor : pen);
    } else {
      DrawParentBackground(button, dc, nullptr);
    }
  }
  DrawButtonGlyph(button, r);
}

void TXPCustomButtonEdit::DrawButtonGlyph(TXPEditButton& button, const RECT& rect) {
  if (LookAndFeel() == TXPLookAndFeel::xlfCustom) return;
  TGraphic* glyph = GetButtonGlyph(button);
  if (IsGraphicEmpty(glyph)) return;
  HDC dc = button.Canvas().Handle();
  int glyphWidth = glyph->Width() / 2;
  int x = (rect.left + rect.right - glyphWidth) / 2;
  int y = (rect.top + rect.bottom - glyph->Height()) / 2;
  if (button.GetButtonState() == 3 && GetThemeMode() == 0) {
    ++x;
    ++y;
  }
  int sourceX = Enabled() ? 0 : glyphWidth;
  if (auto* bitmap = dynamic_cast<TBitmap*>(glyph)) {
    HDC source = bitmap->Canvas().Handle();
    TColor transparent = TColor(GetPixel(source, 0, bitmap->Height() - 1));
    TransparentBlit(dc, x, y, glyphWidth, bitmap->Height(), source, sourceX, 0, transparent);
  } else if (auto* alpha = dynamic_cast<TAlphaBitmap*>(glyph)) {
    alpha->DrawSourceRect(button.Canvas(), RECT{sourceX, 0, sourceX + glyphWidth, alpha->Height()},
                          RECT{x, y, x + glyphWidth, y + alpha->Height()});
  }
}

void TXPCustomButtonEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomXPEdit::KeyDown(key, shift);
  if (key == VK_RETURN && (shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl) {
    ClickButton();
    key = 0;
  }
}

void TXPCustomButtonEdit::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  FButton->SetEnabled(Enabled());
}

void TXPCustomButtonEdit::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  UpdateButtonVisibility();
  Invalidate();
}

void TXPCustomButtonEdit::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  UpdateButtonVisibility();
  Invalidate();
}

void TXPCustomButtonEdit::CMWantSpecialKey(TMessage& message) {
  TVK_INHERITED(message);
  if (message.WParam == VK_RETURN && (FWantsReturn || GetKeyState(VK_CONTROL) < 0)) message.Result = 1;
}

TVK_MESSAGE_MAP(TXPCustomButtonEdit, {CM_ENABLEDCHANGED, &TXPCustomButtonEdit::CMEnabledChanged},
                {CM_MOUSEENTER, &TXPCustomButtonEdit::CMMouseEnter},
                {CM_MOUSELEAVE, &TXPCustomButtonEdit::CMMouseLeave},
                {CM_WANTSPECIALKEY, &TXPCustomButtonEdit::CMWantSpecialKey})

}  // namespace tvk
