#include "dxEditor.h"

#include "dxEditorStrings.h"

#include <algorithm>
#include <richedit.h>
#include <windowsx.h>
#include <vector>
#include <array>

namespace tvk {

// --- text cells

std::unique_ptr<TdxEditViewData> TdxInplaceTextEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxTextEditViewData>();
}

const TdxInplaceTextEditClass& TdxInplaceTextEditClass::Instance() {
  static const TdxInplaceTextEditClass instance;
  return instance;
}

const TdxInplaceMaskEditClass& TdxInplaceMaskEditClass::Instance() {
  static const TdxInplaceMaskEditClass instance;
  return instance;
}

WORD TextCellDrawFlags(const TdxEditViewData& viewData, bool endEllipsis, bool pathEllipsis) {
  static constexpr WORD kHorizontal[] = {0, 2, 1};  // by TAlignment: left, right, centre
  WORD flags = kHorizontal[static_cast<int>(viewData.Alignment)] | static_cast<WORD>(viewData.DrawAlignment);
  if (viewData.FocusRect && viewData.Focused) flags |= kDrawTextFocusRect;
  if (viewData.Transparent) flags |= kDrawTextNoFill;
  if (viewData.NoTransparentText) flags |= kDrawTextOpaque;
  if (endEllipsis) flags |= kDrawTextEndEllipsis;
  if (pathEllipsis) flags |= kDrawTextPathEllipsis;
  return flags;
}

namespace {

WideString CasedText(const WideString& text, TEditCharCase charCase) {
  if (charCase == TEditCharCase::ecNormal || text.empty()) return text;
  WideString result = text;
  LCMapStringW(LOCALE_USER_DEFAULT, charCase == TEditCharCase::ecUpperCase ? LCMAP_UPPERCASE : LCMAP_LOWERCASE,
               text.c_str(), static_cast<int>(text.size()), result.data(), static_cast<int>(result.size()));
  return result;
}

}  // namespace

void TdxInplaceTextEditClass::DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData,
                                             bool isControl) const {
  if (IsEditClass() && isControl) return;  // the live window paints itself
  auto* text = dynamic_cast<TdxTextEditViewData*>(&viewData);
  static const TdxTextEditViewData kPlainText;
  const TdxTextEditViewData& extras = text ? *text : kPlainText;
  TdxEditViewData* vd = &viewData;
  RECT r = rect;
  WideString value = CasedText(EditValueText(vd->Data), extras.CharCase);
  if (extras.PasswordChar && !value.empty()) value.assign(value.size(), extras.PasswordChar);
  int length = vd->DataLength == 0 ? static_cast<int>(value.size()) : std::min<int>(vd->DataLength, value.size());
  if (extras.SelectionBar) r.left += 8;
  if (vd->FocusRect) {
    InflateRect(&r, -2, -2);
  } else {
    InflateRect(&r, -1, -1);
    r.left += vd->OffsetSize.left;
    r.top += vd->OffsetSize.top;
    r.right -= vd->OffsetSize.right;
    if (vd->Alignment == TAlignment::taRightJustify) r.right -= 1;
  }
  WORD flags = TextCellDrawFlags(*vd, extras.EndEllipsis, extras.PathEllipsis);
  if (!vd->CalcHeight) {
    DrawAlignedText(dc, value, length, rect, r, flags, vd->Brush, vd->Font, vd->BkColor, vd->TextColor, nullptr);
    return;
  }
  vd->LineCount = 0;
  vd->LineTextHeight = 0;
  int h = DrawAlignedText(dc, value, length, rect, r, flags | kDrawTextMeasure, vd->Brush, vd->Font, vd->BkColor,
                          vd->TextColor, &vd->LineTextHeight);
  vd->LineHeight = h;
  if (h != 0) vd->LineHeight = vd->FocusRect ? h - 2 : h - vd->OffsetSize.top - 2;
  if (vd->LineTextHeight != 0) vd->LineCount = vd->LineHeight / vd->LineTextHeight;
}

// --- the text editor

TdxInplaceTextEdit::TdxInplaceTextEdit(TComponent* owner) : TdxInplaceEdit(owner) {}

TdxInplaceTextEdit::~TdxInplaceTextEdit() {
  // The window (and with it the rich edit's hold on the callback) goes first.
  Destroying();
  DestroyHandle();
}

void TdxInplaceTextEdit::CreateParams(TCreateParams& params) {
  TdxInplaceEdit::CreateParams(params);
  if (!IsEditClass()) {
    params.WinClassName += L"NoEdit";
    return;
  }
  if (!RichEditLibrary()) throw EInvalidOperation(L"Cannot register window class: the rich-edit library is missing");
  params.SubClassName = L"RichEdit20W";
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (FPasswordChar) params.Style |= ES_PASSWORD;
  if (!CanModify()) params.Style |= ES_READONLY;
  if (FCharCase == TEditCharCase::ecUpperCase) params.Style |= ES_UPPERCASE;
  if (FCharCase == TEditCharCase::ecLowerCase) params.Style |= ES_LOWERCASE;
  if (!FHideSelection) params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) params.Style |= ES_OEMCONVERT;
  if (FSelectionBar) params.Style |= ES_SELECTIONBAR;
  static constexpr DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};  // by TAlignment
  params.Style |= kAlign[static_cast<int>(Alignment())];
}

void TdxInplaceTextEdit::CreateWnd() {
  FCreating = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FCreating};
  const WideString text = Text();
  TdxInplaceEdit::CreateWnd();
  HWND h = Handle();
  SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  SendMessageW(h, EM_SETTEXTMODE, TM_PLAINTEXT | TM_SINGLECODEPAGE, 0);
  SendMessageW(h, EM_SETLANGOPTIONS, 0, IMF_UIFONTS);
  SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  ApplyMaxLength(FMaxLength);
  SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
  SendMessageW(h, EM_SETEVENTMASK, 0, 0x00080011);
  SendMessageW(h, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  if (FPasswordChar) SendMessageW(h, EM_SETPASSWORDCHAR, FPasswordChar, 0);
  if (NeedsOleCallback()) SendMessageW(h, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(OleCallback()));
  SetEditModified(FTextModified);
}

void TdxInplaceTextEdit::DestroyWindowHandle() {
  // The modified flag outlives a recreated window.
  FTextModified = GetEditModified();
  const WideString text = GetTextValue();  // typed text lives in the window alone
  TdxInplaceEdit::DestroyWindowHandle();
  if (!IsDestroying()) SetText(text);
}

bool TdxInplaceTextEdit::GetEditModified() {
  if (HandleAllocated() && IsEditClass()) return SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return FTextModified;
}

void TdxInplaceTextEdit::SetEditModified(bool value) {
  if (HandleAllocated() && IsEditClass())
    SendMessageW(Handle(), EM_SETMODIFY, value ? 1 : 0, 0);
  else
    FTextModified = value;
}

WideString TdxInplaceTextEdit::GetTextValue() {
  if (!HandleAllocated()) return Text();
  int n = GetWindowTextLengthW(Handle());
  std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
  n = GetWindowTextW(Handle(), buffer.data(), n + 1);
  return WideString(buffer.data(), static_cast<std::size_t>(std::max(n, 0)));
}

void TdxInplaceTextEdit::RefreshDefaults() {
  TdxInplaceEdit::RefreshDefaults();
  if (!(FStoredValues & Bit(svEditLimit))) ApplyEditLimit(DefaultMaxLength());
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, CanModify() ? 0 : 1, 0);
}

void TdxInplaceTextEdit::RestoreDefaults() {
  TdxInplaceEdit::RestoreDefaults();
  ApplyEditLimit(DefaultMaxLength());
}

void TdxInplaceTextEdit::SetEditValue(const Variant& value) {
  FAssigningText = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FAssigningText};
  TdxInplaceEdit::SetEditValue(value);
  ClearUndo();
}

void TdxInplaceTextEdit::ApplyReadOnly(bool value) {
  TdxInplaceEdit::ApplyReadOnly(value);
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value ? 1 : 0, 0);
}

void TdxInplaceTextEdit::Deselect() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0x7FFFFFFF, -1);
}

std::unique_ptr<TdxEditViewData> TdxInplaceTextEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceEdit::CreateViewData(isPaintCopy);
  if (auto* text = dynamic_cast<TdxTextEditViewData*>(vd.get())) {
    text->CharCase = FCharCase;
    text->PasswordChar = FPasswordChar;
    text->SelectionBar = FSelectionBar;
    text->FocusRect = !IsInplace() && !IsEditClass();
  }
  return vd;
}

void TdxInplaceTextEdit::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  ApplyCharCase();
}

void TdxInplaceTextEdit::ApplyCharCase() {
  if (FCharCase == TEditCharCase::ecNormal) return;
  const WideString text = GetTextValue();
  const WideString cased = CasedText(text, FCharCase);
  if (cased == text) return;
  FCharCaseChanging = true;
  CHARRANGE selection{};
  if (HandleAllocated()) GetSelection(selection);
  const bool modified = GetEditModified();
  struct TRestore {
    TdxInplaceTextEdit& Edit;
    bool Modified;
    ~TRestore() {
      Edit.SetEditModified(Modified);
      Edit.FCharCaseChanging = false;
    }
  } restore{*this, modified};
  SetTextValue(cased);
  if (HandleAllocated()) SetSelection(selection.cpMin, selection.cpMax);
}

void TdxInplaceTextEdit::SetMaxLength(int value) {
  FStoredValues |= Bit(svEditLimit);
  ApplyEditLimit(value);
}

void TdxInplaceTextEdit::ApplyEditLimit(int value) {
  value = std::max(value, 0);
  if (value == FMaxLength) return;
  FMaxLength = value;
  ApplyMaxLength(value);
}

void TdxInplaceTextEdit::ApplyMaxLength(int value) {
  if (HandleAllocated()) SendMessageW(Handle(), EM_EXLIMITTEXT, 0, value);
}

void TdxInplaceTextEdit::SetPasswordChar(wchar_t value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), EM_SETPASSWORDCHAR, value, 0);
  SetTextValue(GetTextValue());
}

void TdxInplaceTextEdit::SetOEMConvert(bool value) {
  if (value == FOEMConvert) return;
  FOEMConvert = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceTextEdit::SetHideSelection(bool value) {
  if (value == FHideSelection) return;
  FHideSelection = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceTextEdit::SetSelectionBar(bool value) {
  if (value == FSelectionBar) return;
  FSelectionBar = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceTextEdit::GetSelection(CHARRANGE& range) {
  range = CHARRANGE{};
  if (HandleAllocated()) SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void TdxInplaceTextEdit::SetSelection(int startPos, int endPos, bool scrollCaret) {
  (void)scrollCaret;
  CHARRANGE range{startPos, endPos};
  if (HandleAllocated()) SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

int TdxInplaceTextEdit::SelStart() {
  CHARRANGE r;
  GetSelection(r);
  return r.cpMin;
}

int TdxInplaceTextEdit::SelLength() {
  CHARRANGE r;
  GetSelection(r);
  return r.cpMax - r.cpMin;
}

WideString TdxInplaceTextEdit::SelText() {
  const int length = SelLength();
  if (length <= 0 || !HandleAllocated()) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT n = SendMessageW(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
  return WideString(buffer.data(), static_cast<std::size_t>(std::clamp<LRESULT>(n, 0, length)));
}

void TdxInplaceTextEdit::SetSelText(const WideString& text) {
  if (HandleAllocated()) SendMessageW(Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int TdxInplaceTextEdit::GetSelTextBuf(wchar_t* buffer, int bufSize) {
  if (!buffer || bufSize <= 0) return 0;
  const WideString text = SelText();
  const int n = std::min(static_cast<int>(text.size()), bufSize - 1);
  std::copy_n(text.data(), n, buffer);
  buffer[n] = L'\0';
  return n;
}

void TdxInplaceTextEdit::ClearUndo() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TdxInplaceTextEdit::Undo() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_UNDO, 0, 0);
}

void TdxInplaceTextEdit::Redo() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_REDO, 0, 0);
}

bool TdxInplaceTextEdit::UndoAvailable() {
  return HandleAllocated() && SendMessageW(Handle(), EM_CANUNDO, 0, 0) != 0;
}

bool TdxInplaceTextEdit::RedoAvailable() {
  return HandleAllocated() && SendMessageW(Handle(), EM_CANREDO, 0, 0) != 0;
}

bool TdxInplaceTextEdit::PasteAvailable() {
  return HandleAllocated() && CanModify() && SendMessageW(Handle(), EM_CANPASTE, 0, 0) != 0;
}

int TdxInplaceTextEdit::GetTextLenEx() {
  if (!HandleAllocated()) return 0;
  // Counted in the window's own characters, as the selection is.
  GETTEXTLENGTHEX query{GTL_DEFAULT, 1200};
  return static_cast<int>(SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void TdxInplaceTextEdit::CopyToClipboard() { SendMessageW(Handle(), WM_COPY, 0, 0); }
void TdxInplaceTextEdit::CutToClipboard() { SendMessageW(Handle(), WM_CUT, 0, 0); }
void TdxInplaceTextEdit::PasteFromClipboard() { SendMessageW(Handle(), WM_PASTE, 0, 0); }
void TdxInplaceTextEdit::ClearSelection() { SendMessageW(Handle(), WM_CLEAR, 0, 0); }

void TdxInplaceTextEdit::DoChange() {
  if (OnChange) OnChange(this);
}

TVK_MESSAGE_MAP(TdxInplaceTextEdit, {WM_CHAR, &TdxInplaceTextEdit::WMChar}, {WM_SIZE, &TdxInplaceTextEdit::WMSize},
                {WM_RBUTTONUP, &TdxInplaceTextEdit::WMRButtonUp}, {WM_CONTEXTMENU, &TdxInplaceTextEdit::WMContextMenu},
                {WM_SETFONT, &TdxInplaceTextEdit::WMSetFont}, {WM_SETTEXT, &TdxInplaceTextEdit::WMSetText},
                {CN_COMMAND, &TdxInplaceTextEdit::CNCommand}, {CN_NOTIFY, &TdxInplaceTextEdit::CNNotify},
                {CM_COLORCHANGED, &TdxInplaceTextEdit::CMColorChanged},
                {CM_FONTCHANGED, &TdxInplaceTextEdit::CMFontChanged},
                {CM_ENTER, &TdxInplaceTextEdit::CMEnter})

void TdxInplaceTextEdit::WMChar(TMessage& message) {
  if (FCharCase != TEditCharCase::ecNormal && message.WParam >= 32) {
    WideString one(1, static_cast<wchar_t>(message.WParam));
    message.WParam = CasedText(one, FCharCase)[0];
  }
  TVK_INHERITED(message);
}

void TdxInplaceTextEdit::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  if (!HandleAllocated() || !IsEditClass()) return;
  // The formatting rectangle: one pixel in, the margins of OffsetSize.
  RECT r = ClientRect();
  InflateRect(&r, -1, -1);
  if (GetWindowLongW(Handle(), GWL_STYLE) & ES_SELECTIONBAR) r.left += 8;
  if (Alignment() == TAlignment::taRightJustify) r.right -= 1;
  r.left += OffsetSize().left;
  r.top += OffsetSize().top;
  r.right -= OffsetSize().right;
  SendMessageW(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TdxInplaceTextEdit::WMRButtonUp(TMessage& message) {
  // The rich edit never sees the release; the editor's menu is opened on its own.
  message.Result = 0;
  if (NeedsOleCallback()) {
    POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
    ::ClientToScreen(Handle(), &p);
    PostMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(p.x, p.y));
  }
}

void TdxInplaceTextEdit::WMContextMenu(TMessage& message) {
  TVK_INHERITED(message);  // a PopupMenu of the editor or a parent is the library's to show
  if (!IsEditClass() || message.Result != 0) return;
  for (TControl* c = this; c; c = c->Parent())
    if (c->PopupMenu()) return;
  POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  const RECT client = ClientRect();
  if (p.x == -1 && p.y == -1) {
    // The menu key: at the caret, kept within the editor.
    GetCaretPos(&p);
    p.x = std::min(p.x, client.right);
    ::ClientToScreen(Handle(), &p);
  } else {
    POINT inside = p;
    ::ScreenToClient(Handle(), &inside);
    if (!PtInRect(&client, inside)) return;
  }
  ShowEditMenu(p);
  message.Result = 1;
}

void TdxInplaceTextEdit::ShowEditMenu(POINT at) {
  struct TItemRow {
    int Caption;  // index of the start-up caption, -1 for a separator
    int Tag;
  };
  static constexpr TItemRow kItems[] = {{0, emtUndo},   {1, emtRedo},  {-1, 0x7FFFFFFF},   {2, emtCut},
                                        {3, emtCopy},   {4, emtPaste}, {5, emtDelete},     {-1, 0x7FFFFFFF},
                                        {6, emtSelectAll}};
  if (!FEditPopupMenu) {
    FEditPopupMenu = new TPopupMenu(this);
    for (const TItemRow& row : kItems) {
      auto* item = new TMenuItem(FEditPopupMenu);
      item->SetCaption(row.Caption < 0 ? WideString(L"-") : EditMenuCaption(row.Caption));
      item->Tag = row.Tag;
      item->OnClick = [this](TObject* sender) { EditMenuClick(sender); };
      FEditPopupMenu->Items().Add(item);
    }
  }
  const int selected = SelLength();
  const bool hidden = FPasswordChar != 0;
  for (int i = 0; i < FEditPopupMenu->Items().Count(); ++i) {
    TMenuItem* item = FEditPopupMenu->Items().Items(i);
    switch (item->Tag) {
      case emtUndo: item->SetEnabled(UndoAvailable()); break;
      case emtRedo: item->SetEnabled(RedoAvailable()); break;
      case emtCut: item->SetEnabled(selected > 0 && CanModify() && !hidden); break;
      case emtCopy: item->SetEnabled(selected > 0 && !hidden); break;
      case emtPaste: item->SetEnabled(PasteAvailable()); break;
      case emtDelete: item->SetEnabled(selected > 0 && CanModify()); break;
      case emtSelectAll: {
        // Selecting all takes in the closing paragraph mark, one beyond the text.
        const int length = GetTextLenEx();
        item->SetEnabled(std::min(selected, length) != length);
        break;
      }
      default: break;
    }
  }
  FEditPopupMenu->SetPopupComponent(this);
  FEditPopupMenu->Popup(at.x, at.y);
}

void TdxInplaceTextEdit::EditMenuClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item) return;
  switch (item->Tag) {
    case emtUndo: Undo(); break;
    case emtRedo: Redo(); break;
    case emtCut: CutToClipboard(); break;
    case emtCopy: CopyToClipboard(); break;
    case emtPaste: PasteFromClipboard(); break;
    case emtDelete: ClearSelection(); break;
    case emtSelectAll: SelectAll(); break;
    default: break;
  }
}

// --- the OLE callback: no objects, no storage, no dragging

namespace {

constexpr GUID kIID_IRichEditOleCallback = {0x00020D03, 0x0000, 0x0000,
                                            {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

HRESULT TdxInplaceTextEdit::TOleCallback::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIID_IRichEditOleCallback)) {
    *object = static_cast<IRichEditOleCallback*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT TdxInplaceTextEdit::TOleCallback::GetNewStorage(LPSTORAGE* storage) {
  if (storage) *storage = nullptr;
  return E_NOTIMPL;
}

HRESULT TdxInplaceTextEdit::TOleCallback::GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                                            LPOLEINPLACEFRAMEINFO) {
  if (frame) *frame = nullptr;
  if (doc) *doc = nullptr;
  return E_NOTIMPL;
}

HRESULT TdxInplaceTextEdit::TOleCallback::ShowContainerUI(BOOL) { return E_NOTIMPL; }
HRESULT TdxInplaceTextEdit::TOleCallback::QueryInsertObject(LPCLSID, LPSTORAGE, LONG) { return E_NOTIMPL; }
HRESULT TdxInplaceTextEdit::TOleCallback::DeleteObject(LPOLEOBJECT) { return E_NOTIMPL; }
HRESULT TdxInplaceTextEdit::TOleCallback::QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) {
  return E_NOTIMPL;
}
HRESULT TdxInplaceTextEdit::TOleCallback::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT TdxInplaceTextEdit::TOleCallback::GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

HRESULT TdxInplaceTextEdit::TOleCallback::GetDragDropEffect(BOOL, DWORD, LPDWORD effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TdxInplaceTextEdit::TOleCallback::GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) {
  return E_NOTIMPL;
}

void TdxInplaceTextEdit::WMSetFont(TMessage& message) {
  TVK_INHERITED(message);
  if (!IsEditClass()) return;
  // The text takes the font's colour; the window text colour stays automatic
  // so that it follows the system's.
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  const TColor color = Font().Color();
  if (color == clWindowText || color == clDefault)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(color);
  SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void TdxInplaceTextEdit::WMSetText(TMessage& message) {
  TVK_INHERITED(message);
  if (IsEditClass()) ApplyMaxLength(FMaxLength);
}

void TdxInplaceTextEdit::CNNotify(TMessage& message) {
  const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
  if (header && header->code == EN_SELCHANGE && !Loading()) SelectionChange();
  TVK_INHERITED(message);
}

void TdxInplaceTextEdit::CMColorChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (HandleAllocated() && IsEditClass())
    SendMessageW(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TdxInplaceTextEdit::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (HandleAllocated()) SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 1);
  UpdateEditBounds();
}

void TdxInplaceTextEdit::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) == EN_CHANGE && !Loading() && !FCharCaseChanging) {
    ApplyCharCase();
    if (!FCreating && !FAssigningText) DoChange();
  }
  message.Result = 0;
}

void TdxInplaceTextEdit::CMEnter(TMessage& message) {
  if (FAutoSelect && !(ControlState() & csLButtonDown)) SelectAll();
  TVK_INHERITED(message);
}

// --- the masked editor

void TdxInplaceMaskEdit::SetEditMask(const WideString& value) {
  FStoredValues |= Bit(svEditMask);
  ApplyEditMask(value);
}

void TdxInplaceMaskEdit::ApplyEditMask(const WideString& value) {
  if (value == FEditMask) return;
  const int start = HandleAllocated() ? SelStart() : 0;
  const WideString stripped = IsMasked() ? StripLiterals(FEditMask, EditText(), FMaskBlank) : EditText();
  FEditMask = value;
  FMaxChars = MaskTextLength(value);
  FMaskSave = MaskSavesLiterals(value);
  FMaskBlank = GetMaskBlankChar(value);
  if (IsMasked()) SetTextValue(FormatTextByMask(value, stripped, FMaskBlank));
  FMaskState = IsMasked() ? (FMaskState | msMasked) : (FMaskState & ~static_cast<unsigned>(msMasked));
  ApplyEditLimit(0);
  if (IsMasked() && FMaxChars > 0) ApplyEditLimit(FMaxChars);
  if (HandleAllocated()) {
    RecreateWnd();
    if (Focused()) PlaceCaret(start);
  }
}

void TdxInplaceMaskEdit::SetEditText(const WideString& value) {
  if (value != EditText()) SetTextValue(value);
  CheckCursor();
}

WideString TdxInplaceMaskEdit::GetText() {
  if (!IsMasked()) return GetTextValue();
  WideString stripped = StripLiterals(FEditMask, EditText(), FMaskBlank);
  return FMaskSave ? FormatTextByMask(FEditMask, stripped, L' ') : stripped;
}

void TdxInplaceMaskEdit::SetText(const WideString& value) {
  if (!IsMasked()) return SetTextValue(value);
  SetEditText(FMaskSave ? PadValueLiterals(FEditMask, value, FMaskBlank)
                        : FormatTextByMask(FEditMask, value, FMaskBlank));
}

void TdxInplaceMaskEdit::RefreshDefaults() {
  TdxInplaceTextEdit::RefreshDefaults();
  if (!(FStoredValues & Bit(svEditMask))) ApplyEditMask(DefaultEditMask());
}

int TdxInplaceMaskEdit::DefaultMaxLength() { return IsMasked() ? FMaxChars : TdxInplaceTextEdit::DefaultMaxLength(); }

void TdxInplaceMaskEdit::ApplyEditLimit(int value) { TdxInplaceTextEdit::ApplyEditLimit(IsMasked() ? FMaxChars : value); }

void TdxInplaceMaskEdit::SetEditValue(const Variant& value) {
  if (!IsMasked()) return TdxInplaceTextEdit::SetEditValue(value);
  FAssigningText = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FAssigningText};
  SetText(EditValueText(value));
  ClearUndo();
}

WideString TdxInplaceMaskEdit::GetEditingText() {
  if (FIgnoreMaskBlank) return EditText();
  if (!IsMasked()) return GetText();
  return EditText() != BlankMaskText(FEditMask, FMaskBlank) ? GetText() : WideString();
}

void TdxInplaceMaskEdit::ValidateEdit() {
  if (!IsMasked()) return TdxInplaceTextEdit::ValidateEdit();
  int errorPos = 0;
  if (!GetEditModified() || ValidateMaskText(FEditMask, EditText(), FMaskBlank, FIgnoreMaskBlank, errorPos)) {
    CheckCursor();
    return TdxInplaceTextEdit::ValidateEdit();
  }
  if (FCloseFlag) {
    Reset();  // a closing drop-down puts the entry text back without a word
    return;
  }
  FMaskState |= msReEnter;
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    ::SetFocus(Handle());
    PlaceCaret(errorPos);
  }
  MessageBeep(0);
  throw EDBEditError(LoadResString(&sdxMaskInvalidInput));
}

void TdxInplaceMaskEdit::SendToRichEdit(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  DefaultHandler(message);
}

void TdxInplaceMaskEdit::PlaceCaret(int pos) {
  if (!HandleAllocated()) return;
  if (!IsMasked()) {
    pos = std::clamp(pos, 0, static_cast<int>(EditText().size()));
    SetSelection(pos, pos);
    FCaretPos = pos;
    return;
  }
  pos = CharStart(std::max(pos, 0));
  int end = pos + CharLength(pos);
  if (pos >= FMaxChars) pos = end = FMaxChars;
  SetSelection(end, end);
  if (pos != end) {
    // Shift+Left from the end, straight to the rich edit: it selects back to
    // Pos with the caret there. The keyboard state is put back afterwards.
    BYTE saved[256]{};
    GetKeyboardState(saved);
    BYTE keys[256];
    std::copy(std::begin(saved), std::end(saved), keys);
    keys[VK_SHIFT] = 0x80;
    keys[VK_LEFT] = 0x80;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    // One step covers a surrogate pair where the rich edit knows them; where
    // it steps by code units, the second step finishes the pair.
    for (int step = 0; step < end - pos; ++step) {
      SendToRichEdit(WM_KEYDOWN, VK_LEFT, 1);
      SendToRichEdit(WM_KEYUP, VK_LEFT, 0xC0000001);
      CHARRANGE r{};
      GetSelection(r);
      if (r.cpMin <= pos) break;
    }
    SetKeyboardState(saved);
  }
  FCaretPos = pos;
}

int TdxInplaceMaskEdit::CharStart(int pos) {
  const WideString text = EditText();
  if (pos > 0 && pos < static_cast<int>(text.size()) && IS_LOW_SURROGATE(text[pos]) && IS_HIGH_SURROGATE(text[pos - 1]))
    return pos - 1;
  return pos;
}

int TdxInplaceMaskEdit::CharLength(int pos) {
  const WideString text = EditText();
  return pos >= 0 && pos + 1 < static_cast<int>(text.size()) && IS_HIGH_SURROGATE(text[pos]) &&
                 IS_LOW_SURROGATE(text[pos + 1])
             ? 2
             : 1;
}

void TdxInplaceMaskEdit::CheckCursor() {
  if (!HandleAllocated() || !IsMasked()) return;
  CHARRANGE r;
  GetSelection(r);
  if (r.cpMin == r.cpMax) PlaceCaret(r.cpMin);
}

void TdxInplaceMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  if (IsMasked() && (((shift & ssCtrl) && key == 'V') || ((shift & ssShift) && key == VK_INSERT))) {
    PostMessageW(Handle(), WM_PASTE, 0, 0);
    key = 0;
    return;
  }
  TdxInplaceTextEdit::KeyDown(key, shift);
  if (!IsMasked() || key == 0 || (shift & ssAlt)) return;
  switch (key) {
    case VK_LEFT: case VK_RIGHT:
      // With Ctrl the rich edit moves by words; otherwise the mask decides.
      if (!(shift & ssCtrl)) {
        ArrowKeys(key, shift);
        key = 0;
      }
      break;
    case VK_UP: case VK_DOWN: key = 0; break;
    case VK_HOME: case VK_END:
      HomeEndKeys(key, shift);
      key = 0;
      break;
    case VK_BACK:
      if (CanEditValue()) DeleteKeys(key);
      key = 0;
      break;
    case VK_DELETE:
      if (shift & (ssShift | ssCtrl)) break;
      if (CanEditValue()) DeleteKeys(key);
      key = 0;
      break;
    default: CheckCursor(); break;
  }
}

void TdxInplaceMaskEdit::KeyPress(wchar_t& key) {
  TdxInplaceTextEdit::KeyPress(key);
  if (!IsMasked() || key == 0) return;
  if (key == 3 || key == 22 || key == 24) return;  // Ctrl+C, Ctrl+V, Ctrl+X
  TypeChar(key);
  key = 0;
}

void TdxInplaceMaskEdit::TypeChar(wchar_t key) {
  if (!CanEditValue() || !CanModify() || key == VK_BACK) return;
  if (IS_HIGH_SURROGATE(key) || IS_LOW_SURROGATE(key)) {
    // A mask position holds one code unit: the pair is refused whole, its
    // second half taken from the queue so that no half is typed later.
    if (IS_HIGH_SURROGATE(key)) {
      MSG pending{};
      if (PeekMessageW(&pending, Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
          IS_LOW_SURROGATE(static_cast<wchar_t>(pending.wParam)))
        RemovePendingMessage(Handle(), WM_CHAR);
    }
    MessageBeep(0);
    return;
  }
  CHARRANGE r;
  GetSelection(r);
  if (r.cpMax - r.cpMin > 1) {
    DeleteKeys(VK_DELETE);
    PlaceCaret(NextEditPos(FEditMask, r.cpMin));
    GetSelection(r);
  }
  const int at = r.cpMin;
  if (at >= FMaxChars) {
    MessageBeep(0);
    return;
  }
  const wchar_t accepted = AcceptMaskChar(FEditMask, at, key);
  if (!accepted) {
    // A literal typed ahead of its place: the caret jumps behind it.
    int literal = FindLiteralAfter(FEditMask, at, key);
    if (literal >= 0) {
      PlaceCaret(NextEditPos(FEditMask, literal + 1));
      return;
    }
    MessageBeep(0);
    return;
  }
  SetSelection(at, at + 1);
  const wchar_t text[2]{accepted, 0};
  SendMessageW(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text));
  PlaceCaret(NextEditPos(FEditMask, at + 1));
}

void TdxInplaceMaskEdit::DeleteKeys(WORD key) {
  if (!CanModify()) return;
  CHARRANGE r;
  GetSelection(r);
  int start = r.cpMin, stop = r.cpMax;
  if (key == VK_BACK && stop - start <= 1) {
    if (start <= 0) return;
    start = PrevEditPos(FEditMask, start - 1);
    if (IsMaskLiteralAt(FEditMask, start)) return;  // nothing editable before
    stop = start + 1;
  }
  if (stop <= start) stop = start + 1;
  stop = std::min(stop, FMaxChars);
  if (start >= stop) return;
  const WideString text = EditText();
  WideString part = text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(stop - start));
  for (int i = start; i < stop; ++i)
    if (!IsMaskLiteralAt(FEditMask, i)) part[static_cast<std::size_t>(i - start)] = FMaskBlank;
  SetSelection(start, stop);
  SendMessageW(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(part.c_str()));
  PlaceCaret(stop - start == 1 ? start : NextEditPos(FEditMask, start));
}

void TdxInplaceMaskEdit::ArrowKeys(WORD key, TShiftState shift) {
  if (shift & ssCtrl) return;
  CHARRANGE r;
  GetSelection(r);
  if (shift & ssShift) {
    const int other = r.cpMin == FCaretPos ? r.cpMax : r.cpMin;
    int moved = std::clamp(other + (key == VK_LEFT ? -1 : 1), 0, FMaxChars);
    SetSelection(std::min(FCaretPos, moved), std::max(FCaretPos, moved));
    return;
  }
  if (r.cpMax - r.cpMin <= CharLength(r.cpMin)) {
    if (key == VK_LEFT)
      PlaceCaret(r.cpMin > 0 ? PrevEditPos(FEditMask, CharStart(r.cpMin - 1)) : r.cpMin);
    else
      PlaceCaret(NextEditPos(FEditMask, r.cpMin + CharLength(r.cpMin)));
  } else {
    PlaceCaret(FCaretPos == r.cpMax ? FCaretPos - 1 : FCaretPos);
  }
}

void TdxInplaceMaskEdit::HomeEndKeys(WORD key, TShiftState shift) {
  CHARRANGE r;
  GetSelection(r);
  if (key == VK_HOME) {
    if (shift & ssShift) {
      SetSelection(0, r.cpMax);
      FCaretPos = 0;
    } else {
      PlaceCaret(0);
    }
  } else if (shift & ssShift) {
    SetSelection(r.cpMin, FMaxChars);
    FCaretPos = FMaxChars;
  } else {
    PlaceCaret(FMaxChars);
  }
}

TVK_MESSAGE_MAP(TdxInplaceMaskEdit, {WM_PASTE, &TdxInplaceMaskEdit::WMPaste}, {WM_CLEAR, &TdxInplaceMaskEdit::WMClear},
                {WM_CUT, &TdxInplaceMaskEdit::WMCut}, {EM_REPLACESEL, &TdxInplaceMaskEdit::EMReplaceSel},
                {CN_COMMAND, &TdxInplaceMaskEdit::CNCommand}, {CM_ENTER, &TdxInplaceMaskEdit::CMEnter},
                {CM_WANTSPECIALKEY, &TdxInplaceMaskEdit::CMWantSpecialKey},
                {WM_LBUTTONDOWN, &TdxInplaceMaskEdit::WMLButtonDown}, {WM_LBUTTONUP, &TdxInplaceMaskEdit::WMLButtonUp},
                {WM_SETFOCUS, &TdxInplaceMaskEdit::WMSetFocus}, {CM_TEXTCHANGED, &TdxInplaceMaskEdit::CMTextChanged})

void TdxInplaceMaskEdit::KeyUp(WORD& key, TShiftState shift) {
  TdxInplaceTextEdit::KeyUp(key, shift);
  // The rich edit's own word jump may stop on a literal or leave a collapsed caret.
  if ((key == VK_LEFT || key == VK_RIGHT) && (shift & ssCtrl)) CheckCursor();
}

void TdxInplaceMaskEdit::WMLButtonDown(TMessage& message) {
  FBtnDownX = GET_X_LPARAM(message.LParam);
  TVK_INHERITED(message);
}

// A click leaves the overwrite selection on the clicked position; a drag keeps its selection.
void TdxInplaceMaskEdit::WMLButtonUp(TMessage& message) {
  TVK_INHERITED(message);
  if (!IsMasked() || !HandleAllocated()) return;
  CHARRANGE r;
  GetSelection(r);
  FCaretPos = (r.cpMax > r.cpMin && GET_X_LPARAM(message.LParam) > FBtnDownX) ? r.cpMax : r.cpMin;
  CheckCursor();
}

void TdxInplaceMaskEdit::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  CheckCursor();
}

void TdxInplaceMaskEdit::CMTextChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!IsMasked() || !HandleAllocated()) return;
  CHARRANGE r;
  GetSelection(r);
  const int next = NextEditPos(FEditMask, r.cpMin);
  if (r.cpMin < FMaxChars && next != r.cpMin) PlaceCaret(next);
}

void TdxInplaceMaskEdit::BlankSelection() {
  const WideString snapshot = GetEditModified() ? FPrevTextValue : EditText();
  CHARRANGE r;
  GetSelection(r);
  const int start = std::clamp<int>(r.cpMin, 0, FMaxChars);
  const int stop = std::clamp<int>(r.cpMax, start, FMaxChars);
  if (stop > start) {
    const WideString text = EditText();
    WideString part = text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(stop - start));
    for (int i = start; i < stop; ++i)
      if (!IsMaskLiteralAt(FEditMask, i)) part[static_cast<std::size_t>(i - start)] = FMaskBlank;
    SetSelection(start, stop);
    SendMessageW(Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(part.c_str()));
  }
  FPrevTextValue = snapshot;
  SetEditModified(true);
  SetSelection(start, start);
  CheckCursor();
}

void TdxInplaceMaskEdit::WMClear(TMessage& message) {
  if (!IsMasked()) {
    TVK_INHERITED(message);
    return;
  }
  message.Result = 0;
  if (CanEditValue()) BlankSelection();
}

void TdxInplaceMaskEdit::WMCut(TMessage& message) {
  if (!IsMasked()) {
    TVK_INHERITED(message);
    return;
  }
  message.Result = 0;
  if (!CanEditValue()) return;
  CopyToClipboard();
  BlankSelection();
}

void TdxInplaceMaskEdit::CNCommand(TMessage& message) {
  // Text that lost its shape (a word deleted by the rich edit itself) is put back under the mask.
  if (IsMasked() && HIWORD(message.WParam) == EN_CHANGE && !FCreating && !FReformatting &&
      static_cast<int>(EditText().size()) != FMaxChars) {
    FReformatting = true;
    struct TGuard {
      bool& Flag;
      ~TGuard() { Flag = false; }
    } guard{FReformatting};
    SetText(EditText());
    SetEditModified(true);
  }
  TVK_INHERITED(message);
}

void TdxInplaceMaskEdit::CMWantSpecialKey(TMessage& message) {
  // Escape undoes a masked edit here rather than pressing a form's cancel button.
  if (static_cast<WORD>(message.WParam) == VK_ESCAPE && IsMasked() && GetEditModified()) {
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TdxInplaceMaskEdit::WMPaste(TMessage& message) {
  if (!IsMasked() || !CanModify()) {
    TVK_INHERITED(message);
    return;
  }
  message.Result = 0;
  if (!CanEditValue()) return;
  WideString pasted;
  if (OpenClipboard(Handle())) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      // Never past the block, also when its text carries no null.
      const SIZE_T bytes = GlobalSize(data);
      if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
        const std::size_t most = bytes / sizeof(wchar_t);
        std::size_t n = 0;
        while (n < most && p[n]) ++n;
        pasted.assign(p, n);
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  const WideString snapshot = GetEditModified() ? FPrevTextValue : EditText();
  CHARRANGE r;
  GetSelection(r);
  WideString text = EditText();
  for (int i = r.cpMin; i < r.cpMax && i < static_cast<int>(text.size()); ++i)
    if (!IsMaskLiteralAt(FEditMask, i)) text[static_cast<std::size_t>(i)] = FMaskBlank;
  int end = r.cpMin;
  text = PasteIntoMask(FEditMask, text, r.cpMin, pasted, FMaskBlank, end);
  SetTextValue(text);
  PlaceCaret(end);
  FPrevTextValue = snapshot;
  SetEditModified(true);
  ValidateEdit();
}

void TdxInplaceMaskEdit::EMReplaceSel(TMessage& message) {
  if (IsMasked()) {
    CHARRANGE r;
    GetSelection(r);
    const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
    // Only a replacement of the selection's own length keeps the mask's shape.
    if (!text || static_cast<LONG>(wcslen(text)) != r.cpMax - r.cpMin) {
      message.Result = 0;
      return;
    }
  }
  TVK_INHERITED(message);
}

void TdxInplaceMaskEdit::CMEnter(TMessage& message) {
  if (!(FMaskState & msReEnter)) TVK_INHERITED(message);
  FMaskState &= ~static_cast<unsigned>(msReEnter);
  CheckCursor();
}

// --- mask engine

namespace {

constexpr wchar_t kDirReverse = L'!', kDirUpper = L'>', kDirLower = L'<', kDirLiteral = L'\\',
                  kFieldSeparator = L';';

wchar_t MaskCharAt(std::wstring_view mask, int index) { return mask[static_cast<std::size_t>(index - 1)]; }

bool HasTextPosition(TMaskCharType type) {
  return type == TMaskCharType::mcLiteral || type == TMaskCharType::mcIntlLiteral || type == TMaskCharType::mcMask ||
         type == TMaskCharType::mcMaskOpt;
}

bool IsLiteralType(TMaskCharType type) {
  return type == TMaskCharType::mcLiteral || type == TMaskCharType::mcIntlLiteral;
}

bool IsMaskPositionType(TMaskCharType type) {
  return type == TMaskCharType::mcMask || type == TMaskCharType::mcMaskOpt;
}

// The shown character of a literal at mask index Index.
wchar_t LiteralChar(std::wstring_view mask, int index) {
  wchar_t c = MaskCharAt(mask, index);
  return ClassifyMaskChar(mask, index) == TMaskCharType::mcIntlLiteral ? MapIntlLiteral(c) : c;
}

}  // namespace

TMaskCharType ClassifyMaskChar(std::wstring_view mask, int index) {
  const int len = static_cast<int>(mask.size());
  if (index < 1 || index > len) return TMaskCharType::mcNone;
  const wchar_t c = MaskCharAt(mask, index);
  if (IS_HIGH_SURROGATE(c) || IS_LOW_SURROGATE(c)) return TMaskCharType::mcLiteral;
  if (index > 1 && MaskCharAt(mask, index - 1) == kDirLiteral &&
      !(index > 2 && MaskCharAt(mask, index - 2) == kDirLiteral))
    return TMaskCharType::mcLiteral;
  const bool inTail = index >= len - 3;
  if (c == kFieldSeparator && len > 3 && inTail) return TMaskCharType::mcFieldSeparator;
  if (len >= 4 && inTail && index > 1 && MaskCharAt(mask, index - 1) == kFieldSeparator &&
      !(index > 2 && MaskCharAt(mask, index - 2) == kDirLiteral))
    return TMaskCharType::mcField;
  if (c > 255) return TMaskCharType::mcLiteral;
  switch (c) {
    case L'/': case L':': return TMaskCharType::mcIntlLiteral;
    case L'!': case L'<': case L'>': case L'\\': return TMaskCharType::mcDirective;
    case L'#': case L'9': case L'a': case L'c': case L'l': return TMaskCharType::mcMaskOpt;
    case L'0': case L'A': case L'C': case L'L': return TMaskCharType::mcMask;
    default: return TMaskCharType::mcLiteral;
  }
}

wchar_t MapIntlLiteral(wchar_t c) {
  wchar_t buffer[8]{};
  if (c == L'/') {
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, buffer, 8) > 1) return buffer[0];
  } else if (c == L':') {
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, buffer, 8) > 1) return buffer[0];
  }
  return c;
}

TMaskDirectives ReadMaskDirectives(std::wstring_view mask, int index) {
  TMaskDirectives result = 0;
  for (int i = 1; i <= static_cast<int>(mask.size()); ++i) {
    const wchar_t c = MaskCharAt(mask, i);
    if (c == kDirReverse) {
      result |= mdReverseDir;
    } else if (c == kDirUpper && i < index) {
      result &= ~static_cast<unsigned>(mdLowerCase);
      // "<>" turns case conversion off.
      if (!(i > 1 && MaskCharAt(mask, i - 1) == kDirLower)) result |= mdUpperCase;
    } else if (c == kDirLower && i < index) {
      result &= ~static_cast<unsigned>(mdUpperCase);
      result |= mdLowerCase;
    }
  }
  if (ClassifyMaskChar(mask, index) == TMaskCharType::mcLiteral) result |= mdLiteralChar;
  return result;
}

bool IsMaskReversed(std::wstring_view mask) { return mask.find(kDirReverse) != std::wstring_view::npos; }

namespace {

// Mask index of the first field separator among the last four characters, 0 when none.
int FirstFieldSeparator(std::wstring_view mask) {
  const int len = static_cast<int>(mask.size());
  for (int i = std::max(1, len - 3); i <= len; ++i)
    if (ClassifyMaskChar(mask, i) == TMaskCharType::mcFieldSeparator) return i;
  return 0;
}

}  // namespace

bool MaskSavesLiterals(std::wstring_view mask) {
  int sep = FirstFieldSeparator(mask);
  if (sep == 0 || sep >= static_cast<int>(mask.size())) return true;
  return MaskCharAt(mask, sep + 1) != L'0';
}

wchar_t GetMaskBlankChar(std::wstring_view mask) {
  const int len = static_cast<int>(mask.size());
  if (len > 3 && ClassifyMaskChar(mask, len - 1) == TMaskCharType::mcFieldSeparator &&
      (ClassifyMaskChar(mask, len - 2) == TMaskCharType::mcFieldSeparator ||
       ClassifyMaskChar(mask, len - 3) == TMaskCharType::mcFieldSeparator))
    return MaskCharAt(mask, len);
  return L'_';
}

int MaskTextLength(std::wstring_view mask) {
  int n = 0;
  for (int i = 1; i <= static_cast<int>(mask.size()); ++i)
    if (HasTextPosition(ClassifyMaskChar(mask, i))) ++n;
  return n;
}

int MaskOffsetToTextOffset(std::wstring_view mask, int index) {
  if (!HasTextPosition(ClassifyMaskChar(mask, index))) return -1;
  int n = 0;
  for (int i = 1; i < index; ++i)
    if (HasTextPosition(ClassifyMaskChar(mask, i))) ++n;
  return n;
}

int TextOffsetToMaskOffset(std::wstring_view mask, int offset) {
  if (offset < 0) return -1;
  int n = 0;
  for (int i = 1; i <= static_cast<int>(mask.size()); ++i)
    if (HasTextPosition(ClassifyMaskChar(mask, i))) {
      if (n == offset) return i;
      ++n;
    }
  return -1;
}

bool IsMaskLiteralAt(std::wstring_view mask, int offset) {
  int index = TextOffsetToMaskOffset(mask, offset);
  return index > 0 && IsLiteralType(ClassifyMaskChar(mask, index));
}

wchar_t MaskLiteralAt(std::wstring_view mask, int offset) {
  int index = TextOffsetToMaskOffset(mask, offset);
  return index > 0 && IsLiteralType(ClassifyMaskChar(mask, index)) ? LiteralChar(mask, index) : 0;
}

namespace {

std::optional<WORD> gMaskPrimaryLanguageOverride;

bool IsSystemJapanese() {
  const WORD language =
      gMaskPrimaryLanguageOverride ? *gMaskPrimaryLanguageOverride : PRIMARYLANGID(GetSystemDefaultLangID());
  return language == LANG_JAPANESE;
}

}  // namespace

void SetMaskPrimaryLanguageOverride(std::optional<WORD> language) { gMaskPrimaryLanguageOverride = language; }

bool CharFitsMask(wchar_t maskChar, wchar_t ch) {
  if (IS_HIGH_SURROGATE(ch) || IS_LOW_SURROGATE(ch)) return false;
  const bool digit = ch >= L'0' && ch <= L'9';
  // Half-width katakana of the Japanese code page.
  const bool letter = IsCharAlphaW(ch) != FALSE || (ch >= 161 && ch <= 223 && IsSystemJapanese());
  switch (maskChar) {
    case L'0': case L'9': return digit;
    case L'#': return digit || ch == L' ' || ch == L'+' || ch == L'-';
    case L'L': case L'l': return letter;
    case L'A': case L'a': return letter || digit;
    case L'C': case L'c': return true;
    default: return false;
  }
}

WideString FormatTextByMask(std::wstring_view mask, std::wstring_view value, wchar_t blank) {
  WideString result(value);
  const int len = static_cast<int>(mask.size());
  if (!IsMaskReversed(mask)) {
    std::size_t offset = 1;
    for (int i = 1; i <= len; ++i) {
      TMaskCharType type = ClassifyMaskChar(mask, i);
      if (IsLiteralType(type)) {
        result.insert(std::min(offset - 1, result.size()), 1, LiteralChar(mask, i));
        ++offset;
      } else if (IsMaskPositionType(type)) {
        if (result.size() < offset) result.push_back(blank);
        ++offset;
      }
    }
  } else {
    std::size_t offset = result.size();
    for (int i = len; i >= 1; --i) {
      TMaskCharType type = ClassifyMaskChar(mask, i);
      if (IsLiteralType(type)) {
        result.insert(offset, 1, LiteralChar(mask, i));
      } else if (IsMaskPositionType(type)) {
        if (offset > 0)
          --offset;
        else
          result.insert(result.begin(), blank);
      }
    }
  }
  return result;
}

WideString StripLiterals(std::wstring_view mask, std::wstring_view editText, wchar_t blank) {
  WideString result;
  for (int i = 0; i < static_cast<int>(editText.size()); ++i)
    if (!IsMaskLiteralAt(mask, i)) result.push_back(editText[static_cast<std::size_t>(i)]);
  if (IsMaskReversed(mask)) {
    std::size_t first = result.find_first_not_of(blank);
    result.erase(0, first == WideString::npos ? result.size() : first);
  } else {
    std::size_t last = result.find_last_not_of(blank);
    result.erase(last == WideString::npos ? 0 : last + 1);
  }
  if (blank != L' ') std::replace(result.begin(), result.end(), blank, L' ');
  return result;
}

WideString PadMaskSubField(std::wstring_view value, int length, wchar_t blank, bool reversed) {
  WideString result(value);
  const std::size_t n = static_cast<std::size_t>(std::max(length, 0));
  if (result.size() < n) {
    if (reversed)
      result.insert(0, n - result.size(), blank);
    else
      result.append(n - result.size(), blank);
  } else if (result.size() > n) {
    result = reversed ? result.substr(result.size() - n) : result.substr(0, n);
  }
  return result;
}

WideString PadValueLiterals(std::wstring_view mask, std::wstring_view value, wchar_t blank) {
  const bool reversed = IsMaskReversed(mask);
  const int total = MaskTextLength(mask);
  WideString result(value);
  std::size_t pos = 0;  // in Result, behind the previous literal
  int maskStart = 0;    // edit-text offset behind the previous literal of the mask
  for (int offset = 0; offset < total; ++offset) {
    wchar_t literal = MaskLiteralAt(mask, offset);
    if (!literal) continue;
    std::size_t found = result.find(literal, pos);
    if (found == WideString::npos) {
      found = result.size();
      result.push_back(literal);
    }
    WideString field = PadMaskSubField(std::wstring_view(result).substr(pos, found - pos), offset - maskStart, blank,
                                       reversed);
    result.replace(pos, found - pos, field);
    pos += field.size() + 1;
    maskStart = offset + 1;
  }
  WideString tail = PadMaskSubField(std::wstring_view(result).substr(std::min(pos, result.size())),
                                    total - maskStart, blank, reversed);
  result.replace(std::min(pos, result.size()), WideString::npos, tail);
  for (int i = 0; i < static_cast<int>(result.size()); ++i)
    if (result[static_cast<std::size_t>(i)] == L' ' && !IsMaskLiteralAt(mask, i))
      result[static_cast<std::size_t>(i)] = blank;
  return result;
}

WideString BlankMaskText(std::wstring_view mask, wchar_t blank) {
  return FormatTextByMask(mask, L"", blank);
}

bool ValidateMaskText(std::wstring_view mask, std::wstring_view text, wchar_t blank, bool ignoreMaskBlank,
                      int& errorPos) {
  errorPos = 0;
  if (text.empty()) return true;
  int offset = 0;
  for (int i = 1; i <= static_cast<int>(mask.size()); ++i) {
    TMaskCharType type = ClassifyMaskChar(mask, i);
    if (!HasTextPosition(type)) continue;
    if (type == TMaskCharType::mcMask) {
      wchar_t c = offset < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(offset)] : blank;
      bool bad = (c == blank && !ignoreMaskBlank) || (c == L' ' && MaskCharAt(mask, i) != L'C');
      if (offset >= static_cast<int>(text.size()) && !ignoreMaskBlank) bad = true;
      if (bad) {
        errorPos = offset;
        return false;
      }
    }
    ++offset;
  }
  return true;
}

int NextEditPos(std::wstring_view mask, int offset) {
  const int total = MaskTextLength(mask);
  while (offset < total && IsMaskLiteralAt(mask, offset)) ++offset;
  return std::min(std::max(offset, 0), total);
}

int PrevEditPos(std::wstring_view mask, int offset) {
  int p = std::min(offset, MaskTextLength(mask) - 1);
  while (p >= 0 && IsMaskLiteralAt(mask, p)) --p;
  return p < 0 ? NextEditPos(mask, 0) : p;
}

int FindLiteralAfter(std::wstring_view mask, int offset, wchar_t ch) {
  const int total = MaskTextLength(mask);
  for (int i = offset; i < total; ++i)
    if (MaskLiteralAt(mask, i) == ch) return i;
  return -1;
}

wchar_t AcceptMaskChar(std::wstring_view mask, int offset, wchar_t ch) {
  int index = TextOffsetToMaskOffset(mask, offset);
  if (index < 0) return 0;
  TMaskCharType type = ClassifyMaskChar(mask, index);
  if (IsLiteralType(type)) return LiteralChar(mask, index);
  if (!CharFitsMask(MaskCharAt(mask, index), ch)) return 0;
  TMaskDirectives directives = ReadMaskDirectives(mask, index);
  if (IsCharAlphaW(ch)) {
    wchar_t buffer[2]{ch, 0};
    if (directives & mdUpperCase) CharUpperBuffW(buffer, 1);
    if (directives & mdLowerCase) CharLowerBuffW(buffer, 1);
    ch = buffer[0];
  }
  return ch;
}

WideString PasteIntoMask(std::wstring_view mask, std::wstring_view editText, int offset, std::wstring_view pasted,
                         wchar_t blank, int& endOffset) {
  const int total = MaskTextLength(mask);
  WideString result(editText);
  if (static_cast<int>(result.size()) < total) result.append(static_cast<std::size_t>(total) - result.size(), blank);
  int at = std::max(offset, 0);
  for (wchar_t c : pasted) {
    // A literal position takes its literal; the pasted character goes behind
    // it unless it is that very literal.
    bool consumed = false;
    while (at < total && IsMaskLiteralAt(mask, at)) {
      wchar_t literal = MaskLiteralAt(mask, at);
      result[static_cast<std::size_t>(at)] = literal;
      ++at;
      if (literal == c) {
        consumed = true;
        break;
      }
    }
    if (consumed) continue;
    if (at >= total) break;
    wchar_t fitted = AcceptMaskChar(mask, at, c);
    result[static_cast<std::size_t>(at)] = fitted ? fitted : blank;
    ++at;
  }
  endOffset = at;
  result.resize(static_cast<std::size_t>(total));
  return result;
}

// --- start-up

namespace {

HMODULE gRichEdit = nullptr;
std::array<WideString, 7> gMenuCaptions;

}  // namespace

HMODULE RichEditLibrary() { return gRichEdit; }

const WideString& EditMenuCaption(int index) { return gMenuCaptions.at(static_cast<std::size_t>(index)); }

bool DxEditorUnitStartup() {
  UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadLibraryW(L"RICHED20.DLL");
  SetErrorMode(previous);
  // A handle below 32 is the old way of saying the load failed.
  gRichEdit = reinterpret_cast<UINT_PTR>(library) < 32 ? nullptr : library;
  const TResStringRec* captions[] = {&sdxEditUndoCaption,  &sdxEditRedoCaption,   &sdxEditCutCaption,
                                     &sdxEditCopyCaption,  &sdxEditPasteCaption,  &sdxEditDeleteCaption,
                                     &sdxEditSelectAllCaption};
  for (std::size_t i = 0; i < gMenuCaptions.size(); ++i) gMenuCaptions[i] = LoadResString(captions[i]);
  return true;
}

void DxEditorUnitShutdown() {
  if (gRichEdit) FreeLibrary(gRichEdit);
  gRichEdit = nullptr;
  for (WideString& caption : gMenuCaptions) caption.clear();
}

}  // namespace tvk
