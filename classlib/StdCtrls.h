#pragma once
// Labels: a graphic control that shows a caption, sized to it on request,
// wrapped, aligned and placed vertically, with an accelerator that focuses
// another control.
#include "Controls.h"
#include "Lists.h"
#include "Panels.h"

#include <memory>
#include <optional>
#include <vector>

namespace tvk {

// Which scroll bars a memo shows.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomLabel : public TGraphicControl {
public:
  TVK_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // The control the accelerator focuses (not owned).
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* control);

  void Loaded() override;

protected:
  // The text drawn: the caption.
  virtual WideString GetLabelText();
  // Draws (or with DT_CALCRECT measures into Rect) the text on the canvas.
  virtual void DoDrawText(RECT& rect, UINT flags);
  // Sizes the label to its text when AutoSize is set.
  virtual void AdjustBounds();
  // Takes a measured text size as auto size: an edge held by Align keeps its
  // extent, and a right-justified label keeps its right edge.
  void SetAutoSizeBounds(int width, int height);
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  TVK_MESSAGES();
  void CMTextChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMDialogChar(TMessage& message);

  bool FAutoSize = true;

private:
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TTextLayout FLayout = TTextLayout::tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  bool FTransparent = false;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
  TVK_CLASS(TLabel, TCustomLabel)
  using TCustomLabel::TCustomLabel;
};

// The DrawText flags of an alignment and of word wrapping.
UINT AlignmentTextFlags(TAlignment alignment);
inline UINT WordWrapTextFlags(bool wordWrap) { return wordWrap ? DT_WORDBREAK : 0; }

// A scroll bar's step (the kinds, codes and scroll event are the controls').
using TScrollBarInc = int;  // 1..32767

// Owner drawing of list and combo items: the styles, the state of the item
// being drawn (the system's ODS_ meanings) and the events that draw and size it.
enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1u << 0,
  odGrayed = 1u << 1,
  odDisabled = 1u << 2,
  odChecked = 1u << 3,
  odFocused = 1u << 4,
  odDefault = 1u << 5,
  odHotLight = 1u << 6,
  odInactive = 1u << 7,
  odNoAccel = 1u << 8,
  odNoFocusRect = 1u << 9,
  odComboBoxEdit = 1u << 12,
};
using TOwnerDrawState = unsigned;
// The state a system WM_DRAWITEM reports, as owner-draw flags.
TOwnerDrawState OwnerDrawStateOf(UINT itemState);
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, RECT Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
// Virtual list boxes keep no strings: the text of an item, and the item that
// begins with a text (-1 when none), come from these events.
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, WideString& Data)>;
using TLBFindDataEvent = std::function<int(TWinControl* Control, const WideString& FindString)>;

// --- the list box over the system list box

class TCustomListBox;

// The list box's items: kept here, with their objects, whether or not the
// window exists; every change is mirrored into the window.
class TListBoxStrings : public TStringList {
public:
  TVK_CLASS(TListBoxStrings, TStringList)
  explicit TListBoxStrings(TCustomListBox* listBox) : FListBox(listBox) {}
  void Put(int index, const WideString& s) override;
  void PutObject(int index, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int a, int b) override;

protected:
  void InsertItem(int index, const WideString& s, TObject* object) override;
  void SetUpdateState(bool updating) override;

private:
  TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
public:
  TVK_CLASS(TCustomListBox, TWinControl)
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings& Items() { return *FItems; }
  // The number of items: the strings', or the set count of a virtual list.
  int Count() const;
  void SetCount(int value);  // virtual styles only
  bool IsVirtual() const { return FStyle == TListBoxStyle::lbVirtual || FStyle == TListBoxStyle::lbVirtualOwnerDraw; }
  // The selected item; in a multi-select list the focused one.
  int ItemIndex();
  void SetItemIndex(int index);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool value);
  bool Selected(int index);
  int TopIndex();
  void SetTopIndex(int index);
  TLBGetDataEvent OnData;
  TLBFindDataEvent OnDataFind;
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  bool IntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool value);
  // Items kept in caption order (the strings' own sort, ignoring case); new ones go to their place.
  bool Sorted() const { return FItems->Sorted(); }
  void SetSorted(bool value);
  // The item at client point P; -1 outside the items when Existing, else the nearest.
  int ItemAtPos(POINT p, bool existing);
  RECT ItemRect(int index);
  // The first item from Start on (wrapping) that begins with Text, selected; -1 when none.
  int SelectString(int start, const WideString& text);
  TCanvas& Canvas() { return FCanvas; }

protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  // Owner-drawn lists: the height of item Index, and its drawing on Canvas.
  virtual void MeasureItem(int index, int& height);
  virtual void DrawItem(int index, const RECT& rect, TOwnerDrawState state);
  // The text of item Index: the string, or for a virtual list OnData's answer.
  virtual WideString ItemText(int index);
  // The item of a virtual list that begins with Text (OnDataFind); -1 when none.
  virtual int DoFindData(const WideString& text);
  // Item Index made anew in the window (text, object and, when variable, height).
  void InsertToWindow(int index);

  TVK_MESSAGES();
  void CNDrawItem(TMessage& message);

private:
  std::unique_ptr<TListBoxStrings> FItems;
  TCanvas FCanvas;
  TListBoxStyle FStyle = TListBoxStyle::lbStandard;
  int FItemHeight = 16;
  bool FIntegralHeight = false;
  bool FMultiSelect = false;
  int FItemIndex = -1;  // kept while there is no window
  int FCount = 0;       // of a virtual list
};

class TListBox : public TCustomListBox {
public:
  TVK_CLASS(TListBox, TCustomListBox)
  using TCustomListBox::TCustomListBox;
};

// A push button over the system button. A click hands its modal result to
// its form; the default button takes Enter while no other button has the
// focus, the cancel button Escape. Disabled buttons take neither.
class TButton : public TWinControl {
public:
  TVK_CLASS(TButton, TWinControl)
  explicit TButton(TComponent* owner);

  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  void Click() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  TVK_MESSAGES();
  void CNCommand(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMFocusChanged(TMessage& message);
  void CMFontChanged(TMessage& message);

private:
  // The system button draws its caption in the font it was handed: a copy
  // of Font, whose own handle is replaced after its change is told.
  void HandFont(bool redraw);
  // Shows the default frame when this button answers Enter.
  void SetActive(bool value);

  bool FDefault = false, FCancel = false, FActive = false;
  int FModalResult = 0;
  TFont FWindowFont;
};

// The letter case an edit keeps its text in.
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// Text over the system edit. The control keeps what the window holds (text,
// selection, modified and read-only state, limit, password character, cue
// banner) while there is none, and hands it to every new window, so a window
// made anew for a changed style shows the same text and selection.
// OnChange follows every change of the text (EN_CHANGE, or a text set from
// code while there is no window).
class TCustomEdit : public TWinControl {
public:
  TVK_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* owner);

  // The text as the window holds it now (the user's typing included).
  const WideString& Text();
  // Everything is selected when the control takes the focus by key.
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  // Typed and set text converted (a change makes the window anew).
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  // The most characters the text takes (0: the system's limit).
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  // The selection is hidden while the control has no focus.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // #0: the text is shown as it is.
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // The user changed the text since it was last set or cleared.
  bool Modified();
  void SetModified(bool value);
  // The grey text shown while the edit is empty (the system's cue banner).
  const WideString& TextHint() const { return FTextHint; }
  void SetTextHint(const WideString& value);

  // The selection in characters (UTF-16 units) from the start of the text.
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  WideString SelText();
  // Replaces the selection (undoable).
  void SetSelText(const WideString& value);
  void SelectAll();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  bool CanUndo();
  void Undo();
  void ClearUndo();

  TNotifyEvent OnChange;

protected:
  // OnChange here.
  virtual void Change();
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The window's text, selection and modified state are kept for the next window.
  void DestroyWindowHandle() override;
  void DoEnter() override;
  // Takes what the window holds now into the control's text (no CM_TEXTCHANGED).
  void ReadWindowText();
  TVK_MESSAGES();
  void CNCommand(TMessage& message);
  void CMTextChanged(TMessage& message);
  void CMFontChanged(TMessage& message);

private:
  // The window's style bits for the settings.
  DWORD EditStyle() const;
  void HandFont(bool redraw);

  bool FAutoSelect = true;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  int FMaxLength = 0;
  bool FOEMConvert = false;
  bool FHideSelection = true;
  wchar_t FPasswordChar = 0;
  bool FReadOnly = false;
  bool FModified = false;
  WideString FTextHint;
  // The selection of the window last destroyed, given to the next one.
  int FSelStart = 0, FSelLength = 0;
  bool FSelectionKept = false;
  TFont FWindowFont;  // the copy of Font the window draws in
};

// One line of text over the system edit.
class TEdit : public TCustomEdit {
public:
  TVK_CLASS(TEdit, TCustomEdit)
  using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// A memo's lines: the memo's text (the window's while it has one) seen as
// lines; changes are written back into it at once, or once when an update closes.
class TMemoStrings : public TStrings {
public:
  TVK_CLASS(TMemoStrings, TStrings)
  explicit TMemoStrings(TCustomMemo* memo) : FMemo(memo) {}
  int Count() const override;
  WideString Get(int index) const override;
  void Put(int index, const WideString& s) override;
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;

protected:
  void SetUpdateState(bool updating) override;

private:
  // The lines now: the cached ones during an update, else the memo's text split.
  std::vector<WideString> Lines() const;
  void Store(std::vector<WideString> lines);

  TCustomMemo* FMemo;
  std::optional<std::vector<WideString>> FUpdating;
};

// Several lines of text over the system's multi-line edit. Changes of
// scroll bars, word wrap and alignment make the window anew with the same
// text and selection.
class TCustomMemo : public TCustomEdit {
public:
  TVK_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* owner);

  TStrings& Lines() { return *FLines; }
  void SetLines(const TStrings& value) { FLines->Assign(value); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  // Long lines break at the width (no horizontal scrolling then).
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  // Enter and Tab type a line break and a tab instead of reaching the form.
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  // The caret as a column (x) and line (y), both from 0.
  POINT CaretPos();
  void SetCaretPos(POINT value);
  // The memo scrolled its text (EN_HSCROLL, EN_VSCROLL).
  TNotifyEvent OnHScroll;
  TNotifyEvent OnVScroll;

protected:
  void CreateParams(TCreateParams& params) override;
  void KeyPress(wchar_t& key) override;
  TVK_MESSAGES();
  void CNCommand(TMessage& message);
  void WMGetDlgCode(TMessage& message);

private:
  std::unique_ptr<TMemoStrings> FLines;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TScrollStyle FScrollBars = TScrollStyle::ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
public:
  TVK_CLASS(TMemo, TCustomMemo)
  using TCustomMemo::TCustomMemo;
};

}  // namespace tvk
