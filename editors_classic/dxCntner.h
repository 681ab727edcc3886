#pragma once
// The in-place editor protocol: the editor base (TdxInplaceEdit), the host
// base (TCustomdxContainer), the view data from which any cell is painted
// without a window, the edit styles with their controllers, and the pop-up
// frame routines that hosts and editors share.
//
// Painting a cell needs no editor: each editor class has one class-reference
// object (TdxInplaceEditClass) that carries its painting and geometry
// functions; they call one another through it, so a derived editor class
// overrides one and the others follow.
#include "CommonUtils.h"
#include "Controls.h"
#include "Forms.h"
#include "Lists.h"
#include "Panels.h"
#include "Variants.h"
#include "dxUtils.h"

#include <memory>
#include <optional>

namespace tvk {

class TdxInplaceEdit;
class TCustomdxContainer;

enum TdxEditBorderStyle { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
enum TdxEditButtonViewStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
enum TdxEditButtonTransparence { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideAlways };
enum TdxEditEdge : unsigned { edgLeft = 1, edgTop = 2, edgRight = 4, edgBottom = 8 };
using TdxEditEdges = unsigned;
constexpr TdxEditEdges kAllEdges = edgLeft | edgTop | edgRight | edgBottom;
enum TdxEditStyleValue { svBorderColor, svBorderStyle, svButtonStyle, svButtonTransparence, svEdges, svHotTrack,
                         svShadow };
using TdxEditStyleValues = unsigned;  // bit n: value n
enum TdxEditStoredValue { svAlignment, svEditLimit, svEditMask, svIsFloat, svMaxValue, svMinValue, svReadOnly,
                          svRequired, svDisplayFormat };
using TdxEditStoredValues = unsigned;  // bit n: value n
enum TdxPopupBorderStyle { pbDefault, pbSingle, pbFrame3D, pbFlat };
enum class TScrollBarStyle { ssRegular, ssFlat, ssHotTrack };

constexpr unsigned Bit(int value) { return 1u << value; }

// The hot single border's colour.
constexpr TColor kHotSingleBorderColor = 0x006A240A;

// Everything a cell's painting needs; borrowed handles are never freed here.
class TdxEditViewData : public TObject {
public:
  TVK_CLASS(TdxEditViewData, TObject)
  bool Enabled = false;
  bool Focused = false;
  bool Selected = false;
  TColor BorderColor = 0;
  TdxEditBorderStyle BorderStyle = xbsNone;
  TdxEditButtonViewStyle ButtonStyle = btsDefault;
  bool ButtonTransparence = false;
  bool FocusRect = false;
  TdxEditEdges Edges = 0;
  bool Shadow = false;
  bool NoTransparentText = false;
  bool Transparent = false;
  RECT OffsetSize{};
  RECT ViewBounds{};
  TAlignment Alignment = TAlignment::taLeftJustify;
  TdxDrawAlignment DrawAlignment = daSingleLine;
  HBRUSH Brush = nullptr;
  COLORREF BkColor = 0;
  HFONT Font = nullptr;
  COLORREF TextColor = 0;
  bool IsEditClass = false;
  Variant Data;  // the value to paint; each editor's display rule gives its text
  int DataLength = 0;
  TBitmap* TempDrawBitmap = nullptr;
  bool CalcHeight = false;
  int LineCount = 0;
  int LineHeight = 0;
  int LineTextHeight = 0;
  TCursor Cursor = crDefault;
};

struct TdxEditViewInfo {
  int BorderSize = 0;
  int ShadowSize = 0;
  RECT Bounds{};
  RECT ClientBounds{};
  bool FlagLeft = false, FlagTop = false, FlagRight = false, FlagBottom = false;
  RECT BorderRect{};
  RECT ShadowRect{};
};

// The class functions of an editor class.
class TdxInplaceEditClass {
public:
  virtual ~TdxInplaceEditClass() = default;
  virtual std::unique_ptr<TdxEditViewData> CreateViewDataObject() const;  // of the class's view-data class
  virtual void CalcViewInfo(TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const;
  virtual void Draw(HDC dc, const RECT& rect, TdxEditViewData& viewData, HRGN rgn) const;
  virtual void DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, TdxEditViewData& viewData) const;
  virtual void DrawClientArea(HDC dc, const RECT& rect, TdxEditViewData& viewData, bool isControl) const;
  virtual TCursor GetEditCursor(int x, int y, TdxEditViewData& viewData) const;
  virtual int GetMinHeight(TdxEditViewData& viewData) const;
  virtual void GetMinRect(TdxEditViewData& viewData, RECT& rect) const;
  virtual bool IsInplace() const { return true; }
  virtual bool IsEditClass() const { return false; }
  virtual bool DoesEditorNeedActivating(const RECT& rect, TAlignment alignment, int x, int y) const;

  void CalcBoundsInfo(TdxEditViewData& viewData, TdxEditViewInfo& viewInfo) const;
  // Null when the cell fills its rectangle; the caller owns the region.
  HRGN GetEditRgn(const TdxEditViewInfo& viewInfo) const;
  static void AdjustRectByBorder(RECT& r, const TdxEditViewInfo& viewInfo, bool outward);

  static const TdxInplaceEditClass& Instance();
};

// --- styles

using TdxStyleChangedEvent = std::function<void(TObject* Sender, TObject* Link)>;

class TdxStyleController : public TComponent {
public:
  TVK_CLASS(TdxStyleController, TComponent)
  explicit TdxStyleController(TComponent* owner) : TComponent(owner) {}
  ~TdxStyleController() override;
  void BeginUpdate() { ++FLockUpdate; }
  void EndUpdate();
  void Update() { NotifyLinks(); }
  void Loaded() override;
  virtual void AddLink(TObject* item) { FLinks.push_back(item); }
  virtual void RemoveLink(TObject* item);
  virtual void LinkStyleChanged(TObject* link);
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  TdxStyleChangedEvent OnStyleChanged;

protected:
  void NotifyLinks();

private:
  std::vector<TObject*> FLinks;
  int FLockUpdate = 0;
};

class TdxEditStyleController : public TdxStyleController {
public:
  TVK_CLASS(TdxEditStyleController, TdxStyleController)
  explicit TdxEditStyleController(TComponent* owner) : TdxStyleController(owner) {}
  TColor BorderColor() const { return FBorderColor; }
  TdxEditBorderStyle BorderStyle() const { return FBorderStyle; }
  TdxEditButtonViewStyle ButtonStyle() const { return FButtonStyle; }
  TdxEditButtonTransparence ButtonTransparence() const { return FButtonTransparence; }
  TdxEditEdges Edges() const { return FEdges; }
  bool HotTrack() const { return FHotTrack; }
  bool Shadow() const { return FShadow; }
  void SetBorderColor(TColor value);
  void SetBorderStyle(TdxEditBorderStyle value);
  void SetButtonStyle(TdxEditButtonViewStyle value);
  void SetButtonTransparence(TdxEditButtonTransparence value);
  void SetEdges(TdxEditEdges value);
  void SetHotTrack(bool value);
  void SetShadow(bool value);
  void Assign(const TPersistent& source) override;
  virtual void RestoreDefaults();
  void LinkStyleChanged(TObject* link) override;

private:
  template <class T>
  void SetValue(T& field, T value);
  TColor FBorderColor = clWindowFrameColor();
  TdxEditBorderStyle FBorderStyle = xbs3D;
  TdxEditButtonViewStyle FButtonStyle = btsDefault;
  TdxEditButtonTransparence FButtonTransparence = ebtNone;
  TdxEditEdges FEdges = kAllEdges;
  bool FHotTrack = false;
  bool FShadow = false;

public:
  static constexpr TColor clWindowFrameColor() { return kSystemColor | COLOR_WINDOWFRAME; }
};

// The process-wide default controller (made by the containers' start-up step).
TdxEditStyleController* DefaultEditStyleController();

// An editor's look: each value set here, or inherited from the editor's
// explicit controller, the default controller, or the fixed default.
class TdxEditStyle : public TPersistent {
public:
  TVK_CLASS(TdxEditStyle, TPersistent)
  explicit TdxEditStyle(TdxInplaceEdit* edit);
  ~TdxEditStyle() override;
  TdxEditStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TdxEditStyleValues values);
  TColor BorderColor() const;
  TdxEditBorderStyle BorderStyle() const;
  TdxEditButtonViewStyle ButtonStyle() const;
  TdxEditButtonTransparence ButtonTransparence() const;
  TdxEditEdges Edges() const;
  bool HotTrack() const;
  bool Shadow() const;
  void SetBorderColor(TColor value);
  void SetBorderStyle(TdxEditBorderStyle value);
  void SetButtonStyle(TdxEditButtonViewStyle value);
  void SetButtonTransparence(TdxEditButtonTransparence value);
  void SetEdges(TdxEditEdges value);
  void SetHotTrack(bool value);
  void SetShadow(bool value);
  void Assign(const TPersistent& source) override;
  TdxInplaceEdit* Edit() const { return FEdit; }

  virtual void Changed();
  virtual TColor DefaultBorderColor() const;
  virtual TdxEditBorderStyle DefaultBorderStyle() const;
  virtual TdxEditButtonViewStyle DefaultButtonStyle() const;
  virtual TdxEditButtonTransparence DefaultButtonTransparence() const;
  virtual TdxEditEdges DefaultEdges() const;
  virtual bool DefaultHotTrack() const;
  virtual bool DefaultShadow() const;
  virtual TdxEditStyleController* GetDefaultEditStyleController() const { return DefaultEditStyleController(); }
  virtual void RestoreDefaults();

private:
  const TdxEditStyleController* Source() const;
  template <class T>
  void SetValue(T& field, T value, TdxEditStyleValue which);
  TdxEditStyleValues FAssignedValues = 0;
  TColor FBorderColor = 0;
  TdxEditBorderStyle FBorderStyle = xbs3D;
  TdxEditButtonViewStyle FButtonStyle = btsDefault;
  TdxEditButtonTransparence FButtonTransparence = ebtNone;
  TdxEditEdges FEdges = kAllEdges;
  TdxInplaceEdit* FEdit;
  bool FHotTrack = false;
  bool FShadow = false;
};

// --- editor and host

class EdxEditInvalidInput : public Exception {
public:
  using Exception::Exception;
};

// Takes a pending Msg for Wnd out of the queue; a WM_QUIT taken with it is posted again.
void RemovePendingMessage(HWND wnd, UINT msg);

// The text a value paints as: empty for Null, Unassigned and a value without
// a text (an array); never raises, so painting can use it.
WideString EditValueText(const Variant& value);
// Null, Unassigned or an empty string: the value of an empty cell.
bool IsEmptyEditValue(const Variant& value);

using TdxEditValidateEvent = std::function<void(TObject* Sender, WideString& ErrorText, bool& Accept)>;
using TdxEditCustomDrawEvent =
    std::function<void(TObject* Sender, HDC ADC, RECT& ARect, TdxEditViewData& AViewData, bool IsControl, bool& Done)>;

class TdxInplaceEdit : public TWinControl {
public:
  TVK_CLASS(TdxInplaceEdit, TWinControl)
  explicit TdxInplaceEdit(TComponent* owner);
  ~TdxInplaceEdit() override;
  void AfterConstruction() override;

  // The class functions of this editor's class; ClassFunctions answers them
  // without an editor (each class with functions of its own declares both).
  static const TdxInplaceEditClass& ClassFunctions() { return TdxInplaceEditClass::Instance(); }
  virtual const TdxInplaceEditClass& EditClass() const { return ClassFunctions(); }
  TCustomdxContainer* Container() const;

  // Host protocol
  void Move(const RECT& loc);
  virtual void Show();
  virtual void Hide();
  bool IsVisible() const;
  void LockActivate() { ++FLockActivate; }
  void UnLockActivate() { --FLockActivate; }
  void InvalidateEdit();
  int CheckWidth(int buttonWidth);
  void Reset();
  void InvalidateClient();
  void UpdateEditBounds();
  void RefreshStateView();
  void LockValidate();
  void UnlockValidate();
  bool GetReadOnly() const;

  // The value a host loads and reads back: Null gives an empty text, any other value its text form.
  virtual void SetEditValue(const Variant& value);
  virtual Variant GetEditValue();
  // The value a cell paints (the window text here).
  virtual Variant GetDisplayValue(bool isPaintCopy);
  // The settings not stored explicitly are taken from the defaults again.
  virtual void RefreshDefaults();
  // The editor repaints itself on activation changes (one with a display format differing from its text).
  virtual bool IsNeededRedraw() { return false; }
  // A click on a button opens it at once (the host shows the buttons of every cell).
  virtual bool IsQuickButtonClick();
  // Ctrl is down and Alt is not.
  virtual bool IsCtrlOnlyDown();
  virtual bool GetEditModified() { return FModified; }
  virtual void SetEditModified(bool value) { FModified = value; }
  virtual void SetActive(bool value);
  virtual void ValidateEdit();
  virtual bool CanEditValue();
  virtual bool CanModify() { return !GetReadOnly(); }
  virtual bool IsValidChar(wchar_t key);
  virtual bool WantTabs() { return false; }
  // An editor that scrolls itself by the wheel; the others hand it to the host.
  virtual bool IsMouseWheelHandled() { return false; }
  // While True the host keeps this editor open instead of closing it.
  virtual bool IsCloseEditorDisabled() { return FDisableCloseEditor; }
  virtual bool IsEditingKey(WORD key, TShiftState shift);
  virtual void GoToNeighbourCell(bool left);
  virtual void RestorePrevText();
  virtual void ApplyAlignment(TAlignment value);
  virtual void ApplyReadOnly(bool value) { FReadOnly = value; }
  virtual void SetSelected(bool value) { FSelected = value; }
  virtual void LayoutChanged();
  virtual WideString GetTextValue() { return Text(); }
  void SetTextValue(const WideString& text) override { TWinControl::SetTextValue(text); }
  virtual void ActivateEdit() {}
  virtual TAlignment DefaultAlignment() { return TAlignment::taLeftJustify; }
  virtual bool DefaultReadOnly() { return false; }
  virtual bool InternalReadOnly() { return false; }
  virtual void Deselect() {}
  virtual WideString GetEditingText() { return Text(); }
  virtual bool IsEnterValidate() { return false; }
  virtual bool IsFocused() { return Focused(); }
  virtual bool IsSelected() { return FSelected || (Focused() && Enabled()); }
  virtual void RestoreDefaults();
  virtual void SelectAll() {}
  virtual void SetEditingText(const WideString& value);
  virtual std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy);
  // The host activated the editor by a click at (X, Y) of its own window: on a button area, or anywhere.
  virtual void MouseButtonClick(int x, int y) { (void)x; (void)y; }
  virtual void MouseClick(int x, int y) { (void)x; (void)y; }
  bool IsEditClass() const { return EditClass().IsEditClass(); }
  bool IsInplace() const { return EditClass().IsInplace(); }

  // Settings
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  const RECT& OffsetSize() const { return FOffsetSize; }
  void SetOffsetSize(const RECT& value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { FTransparent = value; }
  TdxEditStoredValues StoredValues() const { return FStoredValues; }
  TdxEditStyle& Style() { return *FStyle; }
  void SetStyle(const TdxEditStyle& style) { FStyle->Assign(style); }
  TdxEditStyleController* StyleController() const { return FStyleController; }
  void SetStyleController(TdxEditStyleController* controller);
  int ClickTime() const { return FClickTime; }
  void SetClickTime(int value) { FClickTime = value; }
  // Set by the host while it closes the editor (a refused entry then gives way), cleared when it prepares it.
  bool CloseFlag() const { return FCloseFlag; }
  void SetCloseFlag(bool value) { FCloseFlag = value; }
  // An open editor that sets it keeps the host from handling mouse presses (no editor of the library does).
  bool FDisableKillFocus = false;
  // The filer properties "Height" and "StoredValues".
  void DefineProperties(TFiler& filer) override;

  // The editor's side of losing the focus (also when its pop-up loses it).
  virtual void DoKillFocus(TMessage& message);

  TNotifyEvent OnChange;
  TdxEditCustomDrawEvent OnCustomDraw;
  TNotifyEvent OnMouseEnter, OnMouseLeave;
  TdxEditValidateEvent OnValidate;

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  // Key handling of an in-place editor: the host sees every key first.
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyPress(wchar_t& key);
  virtual void KeyUp(WORD& key, TShiftState shift);
  void DoInplaceEditKeyDown(WORD& key, TShiftState shift);
  virtual void DoSetFocus();
  virtual bool NeedsFocusRedraw() { return !IsEditClass(); }
  virtual bool IsResetTextClass() { return IsEditClass(); }
  bool IsAutoSizeActive() { return FAutoSize && !IsInplace(); }

  TVK_MESSAGES();
  void WMKeyDown(TMessage& message);
  void WMChar(TMessage& message);
  void WMKeyUp(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMPaint(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMClipboard(TMessage& message);
  void CMEnter(TMessage& message);
  void CMExit(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);

  bool FActive = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  bool FAutoSize = true;
  int FLockActivate = 0;
  bool FModified = false;
  RECT FOffsetSize{};
  bool FPrevModified = false;
  WideString FPrevTextValue;
  bool FReadOnly = false;
  bool FSelected = false;
  std::unique_ptr<TdxEditStyle> FStyle;
  TdxEditStyleController* FStyleController = nullptr;
  bool FTransparent = false;
  bool FVisible = false;
  int FLockValidate = 0;
  bool FCloseFlag = false;
  bool FDisableCloseEditor = false;
  TdxEditStoredValues FStoredValues = 0;
  int FClickTime = 0;
  bool FUpdatingBounds = false;
  bool FImmediatePopupStyle = false;  // a click anywhere on the editor opens its pop-up
  bool FInternalChanging = false;     // a value from the host is being set: no events
};

// An editor class: its class reference (one editor per class, "is an editor
// of class X"), its class functions, and a maker that gives a new editor an
// owner and runs its AfterConstruction.
struct TdxInplaceEditClassRef {
  TClass Info;
  const TdxInplaceEditClass& (*Functions)();
  TdxInplaceEdit* (*Create)(TComponent* owner);
  bool InheritsFrom(TClass c) const { return Info->InheritsFrom(c); }
  std::unique_ptr<TdxEditViewData> CreateViewDataObject() const { return Functions().CreateViewDataObject(); }
};
using TdxInplaceEditClassType = const TdxInplaceEditClassRef*;
template <class T>
TdxInplaceEditClassType EditorClassOf() {
  static const TdxInplaceEditClassRef ref{&T::StaticClassInfo(), &T::ClassFunctions,
                                          [](TComponent* owner) -> TdxInplaceEdit* {
                                            return CreateComponent<T>(owner);
                                          }};
  return &ref;
}

class TCustomdxContainer : public TCustomControl {
public:
  TVK_CLASS(TCustomdxContainer, TCustomControl)
  explicit TCustomdxContainer(TComponent* owner) : TCustomControl(owner) {}

  virtual bool CanEditModify() { return false; }
  virtual bool CanEditAcceptKey(wchar_t key) { (void)key; return false; }
  virtual bool CheckEditButtonWidth() { return true; }
  virtual std::unique_ptr<TdxEditStyle> CreateEditStyle(TdxInplaceEdit* edit);
  virtual void ScrollByLines(bool up, int count);
  virtual TColor GetInplaceEditColor() { return Color(); }
  virtual TFont& GetInplaceEditFont() { return Font(); }
  virtual bool IsHostReadOnly() { return false; }
  virtual bool HideDrawFocusRect() { return false; }
  virtual void InplaceEditKeyDown(WORD& key, TShiftState shift);
  virtual bool IsEditorKeyBlocked() { return false; }
  virtual bool IsImmediateEditor(int index) { (void)index; return false; }
  virtual bool IsShowButtonAlways() { return false; }
  virtual bool InplaceEditWantTabs() { return false; }
  virtual void MoveToNeighbourCell(bool left) { (void)left; }
  virtual void InplaceEditFocusChanged() {}
  virtual void BeginInitEdit() { FInitEdit = true; }
  virtual void EndInitEdit() { FInitEdit = false; }
  virtual void InplaceEditKillFocus(HWND focusedWnd) { (void)focusedWnd; }
  virtual TdxPopupBorderStyle GetDefaultPopupBorderStyle(TdxEditBorderStyle editBorderStyle) {
    (void)editBorderStyle;
    return pbFrame3D;
  }
  // The keys and characters an editor passes on.
  virtual void KeyDown(WORD& key, TShiftState shift) { (void)key; (void)shift; }
  virtual void KeyPress(wchar_t& key) { (void)key; }
  virtual void KeyUp(WORD& key, TShiftState shift) { (void)key; (void)shift; }

  TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
  void SetScrollBarStyle(TScrollBarStyle value);
  bool InitEdit() const { return FInitEdit; }
  bool FSingleClickCheckEdit = false;  // check cells toggle with the click that activates them
  // The host window's scroll bars, flat where the system has them.
  void GetFlatScrollInfo(int barFlag, SCROLLINFO& scrollInfo);
  int SetFlatScrollInfo(int barFlag, const SCROLLINFO& scrollInfo, bool redraw);

protected:
  void CreateWnd() override;
  TVK_MESSAGES();
  void WMMouseWheel(TMessage& message);

private:
  bool FInitEdit = false;
  TScrollBarStyle FScrollBarStyle = TScrollBarStyle::ssRegular;
};

// --- pop-up frames and the hint window

constexpr UINT WM_POPUPCLOSED = WM_APP + 0x65;

// The tooltip of a host: never focused, transparent to the mouse, kept on its monitor.
class TdxContainerHintWindow : public TCustomControl {
public:
  TVK_CLASS(TdxContainerHintWindow, TCustomControl)
  explicit TdxContainerHintWindow(TComponent* owner);
  void ActivateHint(POINT p, const WideString& hint, TFont& font);
  void ActivateHintEx(POINT p, int width, const WideString& hint, TFont& font, bool copySize);
  void HideHint();
  // The monitor lookup that keeps the hint on screen (replaceable in tests).
  void (*MonitorInfoAtPoint)(const POINT& point, MONITORINFO& info) = &GetMonitorInfoAtPoint;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  TVK_MESSAGES();
  void WMNCHitTest(TMessage& message);
};

// The base of the windows that drop down under an editor: its own frame and
// shadow in the non-client area; it tells its editor when it closes.
class TdxInplacePopupControl : public TCustomControl {
public:
  TVK_CLASS(TdxInplacePopupControl, TCustomControl)
  explicit TdxInplacePopupControl(TComponent* owner) : TCustomControl(owner) {}
  TdxPopupBorderStyle PopupBorderStyle() const { return FPopupBorderStyle; }
  void SetPopupBorderStyle(TdxPopupBorderStyle value);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool value);
  int ShadowSize() const { return FShadowSize; }
  void SetShadowSize(int value);
  bool IsPopupControl() const { return FIsPopupControl; }
  void SetIsPopupControl(bool value) { FIsPopupControl = value; }
  bool DrawNC() const { return FDrawNC; }
  void SetDrawNC(bool value) { FDrawNC = value; }
  virtual void HidePopup(bool byMouse);
  virtual void ShowPopup();
  TdxInplaceEdit* OwnerControl = nullptr;

protected:
  void CreateParams(TCreateParams& params) override;
  TVK_MESSAGES();
  void WMActivate(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMMouseActivate(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMSize(TMessage& message);

private:
  HWND OwnerFormWindow();
  TdxPopupBorderStyle FPopupBorderStyle = pbDefault;
  bool FShadow = false;
  int FShadowSize = 2;
  bool FIsPopupControl = false;
  bool FDrawNC = true;
};

// Whether the foreground window is one of this process's (tests may say otherwise).
bool ApplicationActive();
void SetApplicationActiveOverride(std::optional<bool> active);

void DrawPopupFrame(HDC dc, RECT& r, TdxPopupBorderStyle borderStyle, int shadowSize, bool shadow,
                    bool scrollCorner);
void DrawPopupWindowFrame(HWND wnd, TdxPopupBorderStyle borderStyle, bool scrollCorner, int shadowSize, bool shadow);
void SetPopupShadowRegion(HWND wnd, bool shadow, int shadowSize);
// How far a pop-up's client area stands in from its window on each side.
int PopupBorderWidth(TdxPopupBorderStyle borderStyle);

// The start-up step: the default style controller; its shut-down also frees the shadow brush.
bool DxCntnerUnitStartup();
void DxCntnerUnitShutdown();

}  // namespace tvk
