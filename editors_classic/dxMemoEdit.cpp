#include "dxMemoEdit.h"

#include <algorithm>
#include <vector>

namespace tvk {

namespace {

constexpr int kMemoLineCapacity = 4096;

int TextLength(HWND window) {
  GETTEXTLENGTHEX query{GTL_NUMCHARS, 1200};
  return static_cast<int>(SendMessageW(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

// Line breaks as CR LF, whichever form they came in.
WideString NormalisedBreaks(const WideString& text) {
  WideString result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      result += L"\r\n";
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace

// --- lines

HWND TdxMemoStrings::Window() const {
  return MemoEdit && MemoEdit->HandleAllocated() ? MemoEdit->Handle() : nullptr;
}

LRESULT TdxMemoStrings::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return SendMessageW(Window(), msg, wParam, lParam);
}

int TdxMemoStrings::Count() const {
  if (!Window()) return 0;
  int lines = static_cast<int>(Send(EM_GETLINECOUNT));
  if (lines <= 0) return 0;
  const LRESULT lastStart = Send(EM_LINEINDEX, static_cast<WPARAM>(lines - 1));
  if (Send(EM_LINELENGTH, static_cast<WPARAM>(lastStart)) == 0 || lastStart == TextLength(Window())) --lines;
  return lines;
}

WideString TdxMemoStrings::Get(int index) const {
  if (!Window() || index < 0) return WideString();
  std::vector<wchar_t> buffer(kMemoLineCapacity + 1, L'\0');
  *reinterpret_cast<WORD*>(buffer.data()) = kMemoLineCapacity;
  int copied = static_cast<int>(Send(EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
  copied = std::clamp(copied, 0, kMemoLineCapacity);
  while (copied > 0 && (buffer[static_cast<std::size_t>(copied) - 1] == L'\r' ||
                        buffer[static_cast<std::size_t>(copied) - 1] == L'\n'))
    --copied;
  return WideString(buffer.data(), static_cast<std::size_t>(copied));
}

void TdxMemoStrings::ReplaceRange(int start, int end, const WideString& text) {
  CHARRANGE range{start, end};
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TdxMemoStrings::Put(int index, const WideString& s) {
  if (!Window() || index < 0) return;
  const int start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (start == -1) return;
  ReplaceRange(start, start + static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(start))), s);
}

void TdxMemoStrings::Insert(int index, const WideString& s) {
  if (!Window() || index < 0) return;
  const int start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (start != -1) {
    ReplaceRange(start, start, s + L"\r");
    return;
  }
  if (index == 0) return;
  const int previous = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(index - 1)));
  if (previous == -1) return;
  const int length = static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(previous)));
  if (length > 0) ReplaceRange(previous + length, previous + length, L"\r" + s);
}

void TdxMemoStrings::Delete(int index) {
  if (!Window() || index < 0) return;
  const int start = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (start == -1) return;
  int end = static_cast<int>(Send(EM_LINEINDEX, static_cast<WPARAM>(index + 1)));
  if (end == -1) end = start + static_cast<int>(Send(EM_LINELENGTH, static_cast<WPARAM>(start)));
  ReplaceRange(start, end, WideString());
}

void TdxMemoStrings::Clear() {
  if (Window()) Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
}

void TdxMemoStrings::SetUpdateState(bool updating) {
  if (!Window() || !MemoEdit->Showing()) return;
  Send(WM_SETREDRAW, updating ? FALSE : TRUE);
  if (!updating) {
    MemoEdit->Invalidate();
    MemoEdit->Perform(CM_TEXTCHANGED);
  }
}

WideString TdxMemoStrings::Text() const { return MemoEdit ? MemoEdit->GetTextValue() : WideString(); }

// Change notifications are off while the text is set, and back on whatever happens.
void TdxMemoStrings::SetText(const WideString& value) {
  if (!Window()) return;
  const WideString text = NormalisedBreaks(value);
  const LPARAM mask = Send(EM_GETEVENTMASK);
  Send(EM_SETEVENTMASK, 0, mask & ~static_cast<LPARAM>(ENM_CHANGE));
  struct TRestoreMask {
    const TdxMemoStrings* Strings;
    LPARAM Mask;
    ~TRestoreMask() { Strings->Send(EM_SETEVENTMASK, 0, Mask); }
  } restore{this, mask};
  if (NormalisedBreaks(Text()) == text) return;
  if (!Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
    throw EInvalidOperation(L"Text exceeds memo capacity");
  MemoEdit->Perform(CM_TEXTCHANGED);
}

// --- the editor

TdxInplaceMemoEdit::TdxInplaceMemoEdit(TComponent* owner)
    : TdxInplaceTextEdit(owner), FLines(std::make_unique<TdxMemoStrings>(this)) {
  SetBounds(Left(), Top(), 185, 89);
  SetAutoSize(false);
}

TdxInplaceMemoEdit::~TdxInplaceMemoEdit() = default;

void TdxInplaceMemoEdit::CreateParams(TCreateParams& params) {
  TdxInplaceTextEdit::CreateParams(params);
  if (FWordWrap) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  static constexpr DWORD kScrollBars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};  // by TScrollStyle
  params.Style |= kScrollBars[static_cast<int>(FScrollBars)] | ES_MULTILINE;
  if (!FHideScrollBars) params.Style |= ES_DISABLENOSCROLL;
}

// The window keeps the bounds the host gave the editor.
void TdxInplaceMemoEdit::CreateWindowHandle(const TCreateParams& params) {
  const RECT bounds = BoundsRect();
  TdxInplaceTextEdit::CreateWindowHandle(params);
  SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void TdxInplaceMemoEdit::CreateWnd() {
  TdxInplaceTextEdit::CreateWnd();
  SendMessageW(Handle(), EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
}

void TdxInplaceMemoEdit::SetHideScrollBars(bool value) {
  if (value == FHideScrollBars) return;
  FHideScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceMemoEdit::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceMemoEdit::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceMemoEdit::SelectAll() {
  TdxInplaceTextEdit::SelectAll();
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), EM_LINESCROLL, 0, -0x7FFF);
  SendMessageW(Handle(), EM_SCROLL, SB_LINEUP, 0);
}

void TdxInplaceMemoEdit::Loaded() {
  TdxInplaceTextEdit::Loaded();
  SetEditModified(false);
}

std::unique_ptr<TdxEditViewData> TdxInplaceMemoEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceTextEdit::CreateViewData(isPaintCopy);
  vd->DrawAlignment = daMultiLine;
  return vd;
}

bool TdxInplaceMemoEdit::WholeTextSelected() {
  if (!HandleAllocated()) return true;
  CHARRANGE range{};
  GetSelection(range);
  return range.cpMin == 0 && range.cpMax >= TextLength(Handle());
}

// Right after entry (the whole text selected) the navigation keys move the
// host; once the user has placed the caret they move it in the text.
void TdxInplaceMemoEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_RETURN && (shift & ssCtrl) && CanModify()) {
    // The break goes in as a replaced selection: not every rich edit takes a carriage-return character.
    if (CanEditValue()) SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r"));
    key = 0;
    return;
  }
  const bool navigation = key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
  const bool shifted = (shift & (ssShift | ssCtrl | ssAlt)) != 0;
  if ((navigation && (!WholeTextSelected() || shifted)) || (key == VK_TAB && FWantTabs)) {
    DoInplaceEditKeyDown(key, shift);
    return;
  }
  TdxInplaceTextEdit::KeyDown(key, shift);
}

TVK_MESSAGE_MAP(TdxInplaceMemoEdit, {WM_KEYDOWN, &TdxInplaceMemoEdit::WMKeyDown},
                {WM_GETDLGCODE, &TdxInplaceMemoEdit::WMGetDlgCode})

void TdxInplaceMemoEdit::WMKeyDown(TMessage& message) {
  if (!FWantReturns && message.WParam == VK_RETURN && !IsCtrlOnlyDown()) {
    if (HWND parent = GetParent(Handle())) message.Result = SendMessageW(parent, WM_KEYDOWN, message.WParam, message.LParam);
    return;
  }
  TVK_INHERITED(message);
}

void TdxInplaceMemoEdit::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  if (FWantTabs) message.Result |= DLGC_WANTTAB;
  if (!FWantReturns) message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
}

}  // namespace tvk
