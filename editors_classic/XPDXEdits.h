#pragma once
// The themed Unicode edit of the in-place editors: a single-line editor with
// no system edit inside. It keeps its own UTF-16 text, caret, selection,
// horizontal scrolling and one-snapshot undo, draws every character itself
// (always in the classic manner, coloured by the substitute colours), talks
// to the clipboard and the input method, converts through the OEM code page
// and masks a password. Beside it the edit with one button at the right.
#include "Buttons.h"
#include "Menus.h"
#include "XPControls.h"
#include "XPEdits.h"
#include "dxCntner.h"

#include <memory>

namespace tvk {

// The class functions of the themed edit: a windowless cell shows the value
// as it is, without case conversion or password masking.
class TXPDXEditClass : public TdxInplaceEditClass {
public:
  void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const override;
  bool IsEditClass() const override { return true; }
  static const TXPDXEditClass& Instance();
};

class TCustomXPDXEdit;

// The edit-command interface of a themed edit: each command runs the edit's
// own and answers a failure status where that raised.
class TXPDXEditCommands : public IXPEditCommands {
public:
  explicit TXPDXEditCommands(TCustomXPDXEdit& edit) : FEdit(edit) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(const GUID& iid, void** obj) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }
  HRESULT STDMETHODCALLTYPE Undo() override;
  HRESULT STDMETHODCALLTYPE CutToClipboard() override;
  HRESULT STDMETHODCALLTYPE CopyToClipboard() override;
  HRESULT STDMETHODCALLTYPE PasteFromClipboard() override;
  HRESULT STDMETHODCALLTYPE DeleteSelection() override;
  HRESULT STDMETHODCALLTYPE SelectAll() override;

private:
  TCustomXPDXEdit& FEdit;
};

class TCustomXPDXEdit : public TdxInplaceEdit {
public:
  TVK_CLASS(TCustomXPDXEdit, TdxInplaceEdit)
  explicit TCustomXPDXEdit(TComponent* owner);
  ~TCustomXPDXEdit() override;
  static const TdxInplaceEditClass& ClassFunctions() { return TXPDXEditClass::Instance(); }
  const TdxInplaceEditClass& EditClass() const override { return ClassFunctions(); }
  bool GetInterface(const GUID& iid, void** obj) override;
  IXPEditCommands& Commands() { return FCommands; }

  // The editing commands; the interface answers their failures as a status.
  void Undo();
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void DeleteSelection();
  void SelectAll() override;

  // The text (converted back from its OEM form with OEMConvert).
  WideString GetText();
  WideString Text() { return GetText(); }
  virtual void SetText(const WideString& value);
  WideString GetUnicodeText() { return GetText(); }
  WideString UnicodeText() { return GetText(); }
  // Keeps the undo snapshot; SetText clears it.
  void SetUnicodeText(const WideString& value);
  void ClearUndo();
  virtual void Clear();
  virtual void ClearSelection();
  virtual int GetAutoWidth();

  WideString GetTextValue() override { return GetUnicodeText(); }
  void SetTextValue(const WideString& text) override { SetUnicodeText(text); }
  WideString GetEditingText() override { return GetUnicodeText(); }
  void SetEditingText(const WideString& value) override { SetUnicodeText(value); }

  int SelStart() const { return std::min(FSelBegin, FSelEnd); }
  void SetSelStart(int value);
  int SelLength() const { return std::abs(FSelEnd - FSelBegin); }
  void SetSelLength(int value);
  WideString SelText() const;
  void SetSelText(const WideString& value);
  bool CanUndo() const { return FUndo.CanUndo() && !FReadOnly; }
  int CaretPos() const { return FCaretPos; }
  int FirstChar() const { return FFirstChar; }
  const WideString& DisplayText() const { return FDisplayText; }
  // The stored form (the OEM form with OEMConvert).
  const WideString& StoredText() const { return FText; }
  TCanvas& Canvas() { return *FCanvas; }
  bool UseColor() const { return FUseColor; }
  void SetUseColor(bool value);
  bool Hot() const { return FHot; }
  int FrameSize() const { return FFrameSize; }
  int BorderSize() const { return FBorderSize; }

  // Settings that the hosts write directly.
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value) { FMaxLength = std::max(value, 0); }  // never cuts the text
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value) { FOEMConvert = value; }
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);

  // The code pages of the OEM form (the system's by default; tests try others).
  static UINT OemCodePage, AnsiCodePage;

  void Invalidate() override;
  void Loaded() override;
  virtual TPopupMenu* GetPopupMenu();
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) { FPopupMenu = menu; }

  // The colours PaintEdit uses now.
  struct TEditColors {
    TColor Back, Frame, Text, SelText, SelBack;
  };
  TEditColors GetColors();
  virtual void GetTextRect(RECT& rect);
  virtual void GetButtonRect(RECT& rect) { rect = RECT{}; }
  int CharIndexAt(int x);
  int PrevWordPos();
  int NextWordPos();
  virtual void MoveCaret(int pos);
  void SelectWordAt(int pos);
  void InsertText(WideString text);

  TNotifyEvent OnChange;

protected:
  virtual void ShowTextCaret();
  virtual void HideTextCaret();
  virtual void HotChanged(bool hot);
  virtual void CancelMouseSelect();
  virtual void PaintEdit();
  virtual void PaintText(const RECT& rect, TColor backColor, TColor borderColor, TColor selTextColor,
                         TColor selBackColor, TColor textColor);
  virtual void UpdateCursor();
  // The editor's change: marks it modified and fires its own OnChange.
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
  void UpdateFontHeight();
  int GetBorderExtra();
  void RefreshBackground();
  // The context text is measured on: the paint's canvas while painting, else a memory context.
  HDC MeasureDC();

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

  TVK_MESSAGES();
  void WMPaint(TMessage& message);
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
  void CMTextChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMEnter(TMessage& message);

  bool FAutoSize = true;
  int FCaretPos = 0;
  int FCharPartialVisibleCount = 0;
  int FCharVisibleCount = 0;
  int FFirstChar = 0;
  int FFontHeight = 0;
  bool FMouseSelect = false;
  int FSelBegin = 0, FSelEnd = 0;
  bool FReadOnly = false;
  bool FOEMConvert = false;
  wchar_t FPasswordChar = 0;
  WideString FDisplayText;
  int FMaxLength = 0;
  bool FAutoSelect = true, FHideSelection = true;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  WideString FText;
  TEditUndoSnapshot FUndo;
  bool FTransparent = false, FHotTrack = false;
  int FImeCount = 0;
  WideString FImeStr;
  bool FPrevWasLeadByte = false;
  int FFrameSize = 0, FBorderSize = 1;
  TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
  bool FUseColor = false;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FInTextChanging = false;
  bool FExternalTextChanging = false;
  bool FHot = false;
  int FSuppressChange = 0;
  int FSuppressKeyPress = 0;
  TPopupMenu* FPopupMenu = nullptr;

private:
  TMeasureCanvas FMeasure;
  TXPDXEditCommands FCommands{*this};
};

class TXPDXEdit : public TCustomXPDXEdit {
public:
  TVK_CLASS(TXPDXEdit, TCustomXPDXEdit)
  using TCustomXPDXEdit::TCustomXPDXEdit;
};

// ---- The button at the right of the edit

class TXPDXCustomButtonEdit;

class TXPDXEditButton : public TSpeedButton {
public:
  TVK_CLASS(TXPDXEditButton, TSpeedButton)
  explicit TXPDXEditButton(TComponent* owner);
  bool Hot() const { return FHot; }

protected:
  void Paint() override;
  TVK_MESSAGES();
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void WMLButtonDown(TMessage& message);

  bool FHot = false;
};

class TXPDXCustomButtonEdit : public TCustomXPDXEdit {
public:
  TVK_CLASS(TXPDXCustomButtonEdit, TCustomXPDXEdit)
  explicit TXPDXCustomButtonEdit(TComponent* owner);

  TXPDXEditButton& Button() { return *FButton; }
  bool ShowButton() const { return FShowButton; }
  void SetShowButton(bool value);

  void SetTransparent(bool value) override;
  void GetButtonRect(RECT& rect) override;
  void GetTextRect(RECT& rect) override;
  int GetAutoWidth() override;
  void AdjustClientRect(RECT& rect) override;
  virtual void PaintButton(TXPDXEditButton& button);
  virtual bool IsButtonVisible(TXPDXEditButton& button, bool show);
  virtual void ClickButton();
  virtual void UpdateButtonVisibility();

  TNotifyEvent OnButtonClick;

protected:
  virtual void DrawButtonGlyph(TXPDXEditButton& button, const RECT& rect);
  virtual void DoButtonClick() {}
  virtual TBitmap* GetButtonGlyph(TXPDXEditButton& button);
  void ButtonClick(TObject* sender);
  void PaintEdit() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  TVK_MESSAGES();
  void CMEnabledChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

  bool FShowButton = true;
  TXPDXEditButton* FButton = nullptr;
};

class TXPDXButtonEdit : public TXPDXCustomButtonEdit {
public:
  TVK_CLASS(TXPDXButtonEdit, TXPDXCustomButtonEdit)
  using TXPDXCustomButtonEdit::TXPDXCustomButtonEdit;
};

}  // namespace tvk
