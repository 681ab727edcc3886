#pragma once
// The text editors: the text cell's view data and windowless painting, and
// the edit-mask engine (free functions over a mask string) that the masked
// editor, the hosts' mask columns and the date and time editors share.
#include "XPEdits.h"
#include "dxCntner.h"

#include "Menus.h"

#include <richedit.h>
#include <richole.h>

#include <optional>
#include <string_view>

namespace tvk {

// TEditCharCase is the styled edit's (XPEdits.h).

class TdxTextEditViewData : public TdxEditViewData {
public:
  TVK_CLASS(TdxTextEditViewData, TdxEditViewData)
  TEditCharCase CharCase = TEditCharCase::ecNormal;
  bool EndEllipsis = false;
  bool PathEllipsis = false;
  wchar_t PasswordChar = 0;
  bool SelectionBar = false;
};

// The class functions of the text editor: an edit class whose cells paint
// their text with DrawAlignedText.
class TdxInplaceTextEditClass : public TdxInplaceEditClass {
public:
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const override;
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  bool IsEditClass() const override { return true; }
  static const TdxInplaceTextEditClass& Instance();
};

// The masked editor paints as the text editor does.
class TdxInplaceMaskEditClass : public TdxInplaceTextEditClass {
public:
  static const TdxInplaceMaskEditClass& Instance();
};

// The single-line text editor: a rich edit in plain-text mode under its own
// window class.
class TdxInplaceTextEdit : public TdxInplaceEdit {
public:
  TVK_CLASS(TdxInplaceTextEdit, TdxInplaceEdit)
  explicit TdxInplaceTextEdit(TComponent* owner);
  ~TdxInplaceTextEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceTextEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  void SetEditValue(const Variant& value) override;
  void RefreshDefaults() override;
  void RestoreDefaults() override;
  // The edit limit taken when none is set (none: 0).
  virtual int DefaultMaxLength() { return 0; }
  bool GetEditModified() override;
  void SetEditModified(bool value) override;
  WideString GetTextValue() override;
  WideString GetEditingText() override { return GetTextValue(); }
  void ApplyReadOnly(bool value) override;
  void SelectAll() override { SetSelection(0, -1); }
  void Deselect() override;
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // A left margin in which a click selects the whole line.
  bool SelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool value);

  virtual void ApplyCharCase();
  virtual void ApplyMaxLength(int value);
  virtual void ApplyEditLimit(int value);
  virtual bool NeedsOleCallback() { return false; }
  virtual void SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
  }

  // Selection and clipboard.
  void GetSelection(CHARRANGE& range);
  void SetSelection(int startPos, int endPos, bool scrollCaret = false);
  int SelStart();
  int SelLength();
  WideString SelText();
  void SetSelText(const WideString& text);
  // Copies at most BufSize - 1 characters of the selection and the terminating null; answers the count copied.
  int GetSelTextBuf(wchar_t* buffer, int bufSize);
  void ClearUndo();
  void Undo();
  void Redo();
  bool UndoAvailable();
  bool RedoAvailable();
  bool PasteAvailable();
  int GetTextLenEx();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void ClearSelection();

  // The rich edit's OLE callback: it refuses dragging text in or out. Counted,
  // but it lives as long as the editor.
  IRichEditOleCallback* OleCallback() { return &FOleCallback; }
  // The built-in context menu, made on its first showing (null before).
  TPopupMenu* EditPopupMenu() const { return FEditPopupMenu; }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelectionChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  // The user changed the text.
  virtual void DoChange();
  TVK_MESSAGES();
  void WMChar(TMessage& message);
  void WMSize(TMessage& message);
  void WMRButtonUp(TMessage& message);
  void WMContextMenu(TMessage& message);
  void WMSetFont(TMessage& message);
  void WMSetText(TMessage& message);
  void CNCommand(TMessage& message);
  void CNNotify(TMessage& message);
  void CMEnter(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMFontChanged(TMessage& message);

  bool FAssigningText = false;
  bool FAutoSelect = true;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  bool FCharCaseChanging = false;
  bool FCreating = false;
  bool FHideSelection = true;
  int FMaxLength = 0;
  bool FTextModified = false;  // the modified flag kept while no window exists
  bool FOEMConvert = false;
  wchar_t FPasswordChar = 0;
  bool FSelectionBar = false;

private:
  class TOleCallback : public IRichEditOleCallback {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++RefCount; }
    ULONG STDMETHODCALLTYPE Release() override { return --RefCount; }
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE* storage) override;
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                                LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL show) override;
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG cp) override;
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT object) override;
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, BOOL really,
                                              HGLOBAL metaPict) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE* range, DWORD reco, LPDATAOBJECT* data) override;
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL drag, DWORD keyState, LPDWORD effect) override;
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD selectionType, LPOLEOBJECT object, CHARRANGE* range,
                                             HMENU* menu) override;
    ULONG RefCount = 0;
  };
  enum TEditMenuTag { emtUndo = -1, emtRedo = -2, emtCut = -3, emtCopy = -4, emtPaste = -5, emtDelete = -6,
                      emtSelectAll = -7 };
  void ShowEditMenu(POINT at);
  void EditMenuClick(TObject* sender);
  TOleCallback FOleCallback;
  TPopupMenu* FEditPopupMenu = nullptr;  // owned as a component
};

// Raised when a masked editor is left with required positions unfilled.
class EDBEditError : public Exception {
public:
  using Exception::Exception;
};

enum TMaskedStateItem : unsigned { msMasked = 1, msReEnter = 2, msDBSetText = 4 };
using TMaskedState = unsigned;

// The text editor restricted to an edit mask: overwrite typing (the
// character at the caret is always selected), literals kept in place, paste
// fitted to the mask, and validation of the required positions.
class TdxInplaceMaskEdit : public TdxInplaceTextEdit {
public:
  TVK_CLASS(TdxInplaceMaskEdit, TdxInplaceTextEdit)
  explicit TdxInplaceMaskEdit(TComponent* owner) : TdxInplaceTextEdit(owner) {}
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceMaskEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }

  const WideString& EditMask() const { return FEditMask; }
  void SetEditMask(const WideString& value);
  bool IsMasked() const { return !FEditMask.empty(); }
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool value) { FIgnoreMaskBlank = value; }
  // The raw text with literals and blanks.
  WideString EditText() { return GetTextValue(); }
  void SetEditText(const WideString& value);
  // The value: the entered characters (with the literals when the mask saves them).
  WideString GetText();
  void SetText(const WideString& value);
  int CaretPos() const { return FCaretPos; }

  Variant GetEditValue() override { return Variant(GetText()); }
  void SetEditValue(const Variant& value) override;
  void RefreshDefaults() override;
  int DefaultMaxLength() override;
  void ApplyEditLimit(int value) override;
  // The edit mask taken when none is set (none: no mask).
  virtual WideString DefaultEditMask() { return {}; }
  WideString GetEditingText() override;
  void ValidateEdit() override;
  bool NeedsOleCallback() override { return IsMasked(); }
  // An unchanged text never holds the editor open.
  bool IsCloseEditorDisabled() override { return FDisableCloseEditor && GetEditModified(); }
  virtual void ApplyEditMask(const WideString& value);
  void PlaceCaret(int pos);
  void CheckCursor();
  // The next entry of the focus keeps the text and its caret (after a rejected text).
  void MarkReEnter() { FMaskState |= msReEnter; }

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  TVK_MESSAGES();
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMSetFocus(TMessage& message);
  void CMTextChanged(TMessage& message);
  void WMPaste(TMessage& message);
  void WMClear(TMessage& message);
  void WMCut(TMessage& message);
  void EMReplaceSel(TMessage& message);
  void CNCommand(TMessage& message);
  void CMEnter(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

private:
  void SendToRichEdit(UINT msg, WPARAM wParam, LPARAM lParam);
  void TypeChar(wchar_t key);
  void DeleteKeys(WORD key);
  void ArrowKeys(WORD key, TShiftState shift);
  void HomeEndKeys(WORD key, TShiftState shift);
  // Blanks the mask positions of the selection, keeping the entry snapshot.
  void BlankSelection();
  // The edit text's offset Pos, moved onto the start of a surrogate pair it splits.
  int CharStart(int pos);
  // 2 at the start of a surrogate pair, else 1.
  int CharLength(int pos);
  bool FReformatting = false;
  int FCaretPos = 0;
  int FBtnDownX = 0;  // where the left button went down
  WideString FEditMask;
  bool FIgnoreMaskBlank = false;
  wchar_t FMaskBlank = L'_';
  bool FMaskSave = true;
  TMaskedState FMaskState = 0;
  int FMaxChars = 0;
};

// The flags of DrawAlignedText that a text cell's view data asks for.
WORD TextCellDrawFlags(const TdxEditViewData& viewData, bool endEllipsis, bool pathEllipsis);

// --- the mask engine (mask indexes are 1-based, edit-text offsets 0-based)

enum class TMaskCharType { mcNone, mcLiteral, mcIntlLiteral, mcDirective, mcMask, mcMaskOpt, mcFieldSeparator,
                           mcField };
enum TMaskDirective : unsigned { mdReverseDir = 1, mdUpperCase = 2, mdLowerCase = 4, mdLiteralChar = 8 };
using TMaskDirectives = unsigned;

TMaskCharType ClassifyMaskChar(std::wstring_view mask, int index);
// The locale's date separator for "/", its time separator for ":".
wchar_t MapIntlLiteral(wchar_t c);
// The directives in force at Index; escaped characters are not skipped.
TMaskDirectives ReadMaskDirectives(std::wstring_view mask, int index);
bool MaskSavesLiterals(std::wstring_view mask);
wchar_t GetMaskBlankChar(std::wstring_view mask);
bool IsMaskReversed(std::wstring_view mask);
// Characters of the edit text under Mask.
int MaskTextLength(std::wstring_view mask);
// The edit-text offset of mask index Index (-1 when it has none), and back (-1 beyond the mask).
int MaskOffsetToTextOffset(std::wstring_view mask, int index);
int TextOffsetToMaskOffset(std::wstring_view mask, int offset);
bool IsMaskLiteralAt(std::wstring_view mask, int offset);
// The edit text's character at Offset when it is a literal (mapped), else 0.
wchar_t MaskLiteralAt(std::wstring_view mask, int offset);
// Whether Ch may stand at a position of mask character MaskChar (one
// character of one code unit: never half of a surrogate pair).
bool CharFitsMask(wchar_t maskChar, wchar_t ch);
// On a system whose primary language is Japanese, #161 to #223 count as
// letters; tests may set the language.
void SetMaskPrimaryLanguageOverride(std::optional<WORD> language);

WideString FormatTextByMask(std::wstring_view mask, std::wstring_view value, wchar_t blank);
// The entered characters of an edit text: literals out, trailing (reversed:
// leading) blanks trimmed, other blanks as spaces.
WideString StripLiterals(std::wstring_view mask, std::wstring_view editText, wchar_t blank);
WideString PadMaskSubField(std::wstring_view value, int length, wchar_t blank, bool reversed);
WideString PadValueLiterals(std::wstring_view mask, std::wstring_view value, wchar_t blank);
// The edit text with every mask position blank.
WideString BlankMaskText(std::wstring_view mask, wchar_t blank);
// True when every required position is filled; else the first offending edit-text offset.
bool ValidateMaskText(std::wstring_view mask, std::wstring_view text, wchar_t blank, bool ignoreMaskBlank,
                      int& errorPos);
// The next mask position at or after Offset (stopping at the text's length), and the last at or before it.
int NextEditPos(std::wstring_view mask, int offset);
int PrevEditPos(std::wstring_view mask, int offset);
// The edit-text offset of the next literal Ch after Offset, or -1.
int FindLiteralAfter(std::wstring_view mask, int offset, wchar_t ch);
// Character Ch typed at Offset: the character stored (case directives
// applied; a literal position stores its literal), or 0 when it does not fit.
wchar_t AcceptMaskChar(std::wstring_view mask, int offset, wchar_t ch);
// Text pasted at Offset into EditText: each character fitted to the next mask
// position (a misfit becomes the blank, a literal position takes its literal
// first); answers the new edit text, cut at the mask's length, and the offset behind the paste.
WideString PasteIntoMask(std::wstring_view mask, std::wstring_view editText, int offset, std::wstring_view pasted,
                         wchar_t blank, int& endOffset);

// The start-up step: the rich-edit library and the menu captions.
bool DxEditorUnitStartup();
void DxEditorUnitShutdown();
// The loaded rich-edit library, null when it could not be loaded.
HMODULE RichEditLibrary();
// The text editor's menu captions read at start-up, in menu order (Undo, Redo, Cut, Copy, Paste, Delete, Select All).
const WideString& EditMenuCaption(int index);

}  // namespace tvk
