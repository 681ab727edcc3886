#pragma once
// The styled single-line edit: it keeps its own text, caret, selection,
// horizontal scrolling and one-snapshot undo, draws every character itself in
// the three look modes, talks to the clipboard and the input method, masks a
// password, converts through the OEM code page and accepts only the digits
// of a radix in number mode. Beside it: the edit-command interface its
// pop-up menu calls, the shared glyphs and menu, and the edit with a button.
#include "AlphaImage.h"
#include "Menus.h"
#include "StdCtrls.h"  // TEditCharCase
#include "XPControls.h"
#include "XPEditText.h"
#include "XPExtCtrls.h"
#include "XPTypes.h"

#include <vector>

namespace tvk {

// The commands of the shared edit menu. Each answers S_OK when it ran and a
// failure status when it raised; nothing is counted.
struct IXPEditCommands : IUnknown {
  static constexpr GUID Iid{0x51610887, 0x021C, 0x4817, {0x9A, 0x48, 0x10, 0xCF, 0x21, 0x25, 0x9C, 0xF3}};
  virtual HRESULT STDMETHODCALLTYPE Undo() = 0;
  virtual HRESULT STDMETHODCALLTYPE CutToClipboard() = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyToClipboard() = 0;
  virtual HRESULT STDMETHODCALLTYPE PasteFromClipboard() = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteSelection() = 0;
  virtual HRESULT STDMETHODCALLTYPE SelectAll() = 0;
};

// A failure status of an edit command raised again as an error.
void CheckEditCommand(HRESULT result);

enum class TBorderStyle { bsNone, bsSingle };
// The theme's edit-text states (part 1 of the "EDIT" class).
enum TThemedEditState { teEditTextNormal = 1, teEditTextHot = 2, teEditTextSelected = 3, teEditTextDisabled = 4,
                        teEditTextFocused = 5, teEditTextReadOnly = 6 };

// A theme element: class, part and state.
struct TThemedDetails {
  const wchar_t* ThemeClass = L"EDIT";
  int Part = 1;
  int State = 1;
};

// The stored (OEM) form of a text: its bytes in the OEM code page read back
// in the ANSI code page, and back. The code pages are parameters so that any
// pair can be tried.
WideString TextToOemForm(const WideString& text, UINT oemCodePage = CP_OEMCP, UINT ansiCodePage = CP_ACP);
WideString OemFormToText(const WideString& stored, UINT oemCodePage = CP_OEMCP, UINT ansiCodePage = CP_ACP);

class TCustomXPEdit : public TXPCustomControl, public IXPEditCommands {
public:
  TVK_CLASS(TCustomXPEdit, TXPCustomControl)
  explicit TCustomXPEdit(TComponent* owner);
  ~TCustomXPEdit() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(const GUID& iid, void** obj) override {
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }
  bool GetInterface(const GUID& iid, void** obj) override;

  // ---- IXPEditCommands
  HRESULT STDMETHODCALLTYPE Undo() override;
  HRESULT STDMETHODCALLTYPE CutToClipboard() override;
  HRESULT STDMETHODCALLTYPE CopyToClipboard() override;
  HRESULT STDMETHODCALLTYPE PasteFromClipboard() override;
  HRESULT STDMETHODCALLTYPE DeleteSelection() override;
  HRESULT STDMETHODCALLTYPE SelectAll() override;

  void Invalidate() override;
  void ClearUndo();
  virtual void Clear();
  virtual void ClearSelection();
  void GetCursorPos(POINT& point);
  virtual int GetAutoWidth();

  // The text (converted back from its OEM form with OEMConvert).
  WideString GetText();
  WideString Text() { return GetText(); }
  virtual void SetText(const WideString& value);
  WideString UnicodeText() { return GetText(); }
  void SetUnicodeText(const WideString& value);

  int SelStart() const { return std::min(FSelBegin, FSelEnd); }
  void SetSelStart(int value);
  int SelLength() const { return std::abs(FSelEnd - FSelBegin); }
  void SetSelLength(int value);
  WideString SelText() const;
  void SetSelText(const WideString& value);
  bool CanUndo() const { return FUndo.CanUndo() && !FReadOnly; }
  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  int CaretPos() const { return FCaretPos; }
  int FirstChar() const { return FFirstChar; }
  const WideString& DisplayText() const { return FDisplayText; }
  // The stored form (the OEM form with OEMConvert).
  const WideString& StoredText() const { return FText; }

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TAlphaBitmap& BackImage() { return *FBackImage; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  TXPLookAndFeel LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TXPLookAndFeel value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value) { FMaxLength = std::max(value, 0); }
  int NumberPrecision() const { return FNumberPrecision; }
  void SetNumberPrecision(int value);
  TRadix NumberRadix() const { return FNumberRadix; }
  void SetNumberRadix(TRadix value);
  TNumberTypeEx NumberType() const { return FNumberType; }
  void SetNumberType(TNumberTypeEx value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value) { FOEMConvert = value; }
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  TColor SelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor value);
  TColor SelectedTextColor() const { return FSelectedTextColor; }
  void SetSelectedTextColor(TColor value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  bool UseColor() const { return FUseColor; }
  void SetUseColor(bool value);
  bool Hot() const { return FHot; }

  // The value in number mode: "." as decimal point whatever the locale; a
  // text that is no number reads 0. Setting a value that does not fit 64
  // bits raises EConvertError.
  double NumberValue();
  void SetNumberValue(double value);

  bool GetModified() override { return FText != FSavedText; }
  void ClearModified() override { FSavedText = FText; }
  void Loaded() override;
  // The shared edit menu bound to this edit (its own PopupMenu when set).
  virtual TPopupMenu* GetPopupMenu();
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }

  // Where the state of Shift comes from when the caret moves (the keyboard
  // now); tests put their own in.
  static bool (*ShiftKeyDown)();

  TNotifyEvent OnChange;

  // The colours Paint uses now (for descendants and tests).
  struct TEditColors {
    TColor Back, Text, SelBack, SelText, Frame;
  };
  TEditColors GetColors();
  int FrameSize() const { return FFrameSize; }
  int BorderSize() const { return FBorderSize; }
  virtual void GetTextRect(RECT& rect);
  virtual void GetButtonRect(RECT& rect) { rect = RECT{}; }
  virtual TThemedEditState GetEditState();
  virtual void GetThemedDetails(TThemedDetails& details);
  bool UsesCustomColors() const { return FLookAndFeel == TXPLookAndFeel::xlfCustom || FUseColor; }
  int CharIndexAt(int x);
  int PrevWordPos();
  int NextWordPos();
  virtual void MoveCaret(int pos);
  void SelectWordAt(int pos);
  virtual void InsertText(WideString text);

protected:
  virtual void ShowTextCaret();
  virtual void HideTextCaret();
  virtual void HotChanged(bool hot);
  virtual void CancelMouseSelect();
  virtual void PaintText(const RECT& rect, TColor backColor, TColor textColor, TColor selBackColor,
                         TColor selTextColor, TColor frameColor);
  virtual void UpdateCursor();
  virtual int GetTextHeight();
  virtual void NumberTypeChanged() {}
  virtual void Change();

  void SetCaretPosition(int pos);
  void SetFirstChar(int index);
  void ScrollToCaret();
  void UpdateCaret();
  void DeleteBackward(int count);
  void DeleteForward(int count);
  void ProcessChar(wchar_t& key);
  int CountVisibleChars(int first, bool partial);
  int FirstCharForCaret(int pos);
  int GetTextAreaWidth(bool partial);
  int TextWidth(int start, int count);
  bool PtInTextRect(int x, int y);
  void SetInternalText(const WideString& text);
  void UpdateDisplayText();
  void ApplyCharCase(WideString& text) const;
  void ClampPosition(int& pos) const;
  void GetThemeColors(bool enabled, bool readOnlyLook, TColor& textColor, TColor& backColor);
  void RefreshBackground();
  // Keeps caret, selection and first visible character inside the text.
  void ClampPositions();
  // Runs an edit command and raises its failure again.
  void Run(HRESULT (STDMETHODCALLTYPE TCustomXPEdit::*command)()) { CheckEditCommand((this->*command)()); }

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

  TVK_MESSAGES();
  void WMSize(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMSetText(TMessage& message);
  void WMGetText(TMessage& message);
  void WMGetTextLength(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMCancelMode(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMImeComposition(TMessage& message);
  void WMImeNotify(TMessage& message);
  void WMContextMenu(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  // The border is the window's style: a new window.
  void CMCtl3DChanged(TMessage& message);
  void CMTextChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMEnter(TMessage& message);

  bool FAutoSize = true;
  int FCaretPos = 0;
  int FCharPartialVisibleCount = 0;
  int FCharVisibleCount = 0;
  int FFirstChar = 0;
  int FInternalHeight = 0;
  bool FMouseSelect = false;
  int FSelBegin = 0, FSelEnd = 0;
  bool FReadOnly = false;
  bool FOEMConvert = false;
  wchar_t FPasswordChar = 0;
  WideString FDisplayText;
  int FMaxLength = 0;
  bool FAutoSelect = true, FHideSelection = true;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  bool FModified = false;
  WideString FText;
  TEditUndoSnapshot FUndo;
  bool FTransparent = false, FHotTrack = false;
  int FImeCount = 0;
  WideString FImeStr;
  bool FPrevWasLeadByte = false;
  int FFrameSize = 0, FBorderSize = 0;
  WideString FSavedText;
  TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
  bool FUseColor = false;
  int FNumberPrecision = 3;
  TRadix FNumberRadix = TRadix::rdxDecimal;
  TNumberTypeEx FNumberType = TNumberTypeEx::ntNone;
  TColor FFrameColor = clDefault, FSelectedColor = clDefault, FSelectedTextColor = clDefault;
  TXPLookAndFeel FLookAndFeel = TXPLookAndFeel::xlfNative;
  std::unique_ptr<TAlphaBitmap> FBackImage;
  bool FNeedSelectAll = false;
  bool FInTextChanging = false;
  bool FExternalTextChanging = false;
  bool FHot = false;
  int FSuppressChange = 0;
  int FSuppressKeyPress = 0;
  int FExtraDelta = 2;
  bool FFocusingClick = false;
  TPopupMenu* FPopupMenu = nullptr;

  // The context text is measured on, with the control's font: the paint's
  // canvas while painting, else a memory context of the edit's own.
  HDC MeasureDC();

private:
  std::unique_ptr<TMeasureCanvas> FMeasureCanvas;
  void UpdateMetrics();
  void BackImageChanged();
  bool IsAllowedNumberChar(wchar_t c) const;
};

class TXPEdit : public TCustomXPEdit {
public:
  TVK_CLASS(TXPEdit, TCustomXPEdit)
  using TCustomXPEdit::TCustomXPEdit;
};

// ---- Shared glyphs, menu and the transparent-edit registry

class TXPEditResourceManager {
public:
  TXPEditResourceManager() = delete;
  static TBitmap& ComboButton();
  // XPCOMBO in look modes 1 and 2, STDCOMBO in look mode 0 (asked at every call).
  static TBitmap& ComboButtonGlyph();
  static TBitmap& EllipsisGlyph();
  static TBitmap& DirectoryGlyph();
  static TBitmap& FileNameGlyph();
  static TPopupMenu& StandardEditPopupMenu();
  static TMenuItem& MenuItemUndo();
  static TMenuItem& MenuItemCut();
  static TMenuItem& MenuItemCopy();
  static TMenuItem& MenuItemPaste();
  static TMenuItem& MenuItemDelete();
  static TMenuItem& MenuItemSelectAll();
  // Binds the six command items to Component (their commands go to its IXPEditCommands).
  static void BindStandardMenu(TComponent* component);
  static TComponent* BoundComponent();
  static void RegisterTransparent(TCustomXPEdit* edit);
  static void UnregisterTransparent(TCustomXPEdit* edit);
  static int TransparentCount();
  static HHOOK TransparentHook();
  static bool MenuCreated();
  static bool GlyphsLoaded();
};

// ---- The button inside an edit

class TXPCustomButtonEdit;

class TXPEditButton : public TGraphicControl {
public:
  TVK_CLASS(TXPEditButton, TGraphicControl)
  explicit TXPEditButton(TComponent* owner);
  bool Hot() const { return FHot; }
  TButtonState State() const { return FState; }
  // 4 disabled, 3 down, 2 hot, 1 normal.
  int GetButtonState() const;
  void Click() override { TGraphicControl::Click(); }

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TVK_MESSAGES();
  void CMEnabledChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);

private:
  bool FHot = false;
  TButtonState FState = TButtonState::bsUp;
};

class TXPCustomButtonEdit : public TCustomXPEdit {
public:
  TVK_CLASS(TXPCustomButtonEdit, TCustomXPEdit)
  explicit TXPCustomButtonEdit(TComponent* owner);
  ~TXPCustomButtonEdit() override;

  TXPEditButton& Button() { return *FButton; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);
  TColor HotColor() const { return FHotColor; }
  void SetHotColor(TColor value);
  TAlphaBitmap& ButtonImage() { return *FButtonImage; }
  TAlphaBitmap& DropDownGlyph() { return *FDropDownGlyph; }
  bool WantsReturn() const { return FWantsReturn; }
  void SetWantsReturn(bool value) { FWantsReturn = value; }

  void SetTransparent(bool value) override;
  void GetButtonRect(RECT& rect) override;
  void GetTextRect(RECT& rect) override;
  int GetAutoWidth() override;
  void AdjustClientRect(RECT& rect) override;
  virtual bool IsButtonVisible(TXPEditButton& button, bool show);
  virtual void PaintButton(TXPEditButton& button);
  virtual void ClickButton();
  virtual void UpdateButtonVisibility();

  TNotifyEvent OnButtonClick;

protected:
  virtual void DeflateButtonArea(RECT& rect);
  virtual void DrawButtonGlyph(TXPEditButton& button, const RECT& rect);
  virtual void GetButtonDetails(TXPEditButton& button, TThemedDetails& details);
  virtual void DoButtonClick() {}
  // The picture drawn on the button: two halves, enabled and disabled.
  virtual TGraphic* GetButtonGlyph(TXPEditButton& button) = 0;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  TVK_MESSAGES();
  void CMEnabledChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

private:
  void ButtonClick(TObject* sender);
  bool FShowButton = true;
  TColor FHotColor = clDefault;
  std::unique_ptr<TAlphaBitmap> FButtonImage;
  std::unique_ptr<TAlphaBitmap> FDropDownGlyph;
  bool FWantsReturn = false;
  TXPEditButton* FButton = nullptr;
};

// Paints the runs of pixels inside Rect that stand out from their row's
// background with a gradient between their neighbours (a theme's arrow
// taken off its button face).
void EraseThemeGlyph(TCanvas& canvas, const RECT& rect);
// Whether two colours look alike (hue, saturation and lightness on 0..255).
bool SimilarColors(TColor a, TColor b);

bool XPEditsStartup();
void XPEditsShutdown();

}  // namespace tvk
