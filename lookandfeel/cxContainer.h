#pragma once
// Container styles: the four state styles (normal, focused, disabled, hot)
// a container draws from, each holding ten values with a set of assigned
// bits. An unassigned value comes from the same state style of the style
// controller (and its controller in turn), else from a fallback that depends
// on the state and on the normal style. Edges, Font, HotTrack, Shadow,
// TransparentBorder, the look and feel and the controller live on the normal
// style only. A style controller lends its styles to any number of styles.
#include "cxClasses.h"
#include "cxControls.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "dxThemeManager.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace tvk {

using TcxContainerStyleValue = int;
using TcxContainerStyleValues = uint32_t;
constexpr TcxContainerStyleValue svBorderColor = 0, svBorderStyle = 1, svColor = 2, svEdges = 3, svFont = 4,
                                 svHotTrack = 5, svShadow = 6, svTextColor = 7, svTextStyle = 8,
                                 svTransparentBorder = 9;
constexpr TcxContainerStyleValues cxStyleValueBit(TcxContainerStyleValue AValue) { return 1u << AValue; }
// What a direct-access style starts with: Color, Font, TextColor, TextStyle.
constexpr TcxContainerStyleValues cxDirectAccessAssignedValues = 0x194;

enum TcxContainerStateItem { csNormal, csActive, csDisabled, csHotTrack };

class TcxStyleController;

// What a style asks of the container it belongs to (the container implements it).
class TcxContainerStyleHost {
public:
  virtual bool UsesParentColorByDefault() = 0;
  virtual bool ParentColor() = 0;
  virtual void SetParentColor(bool AValue) = 0;
  virtual bool ParentFont() = 0;
  virtual void SetParentFont(bool AValue) = 0;
  // False without a parent control.
  virtual bool GetParentColor(TColor& AColor) = 0;
  virtual bool IsInplace() = 0;
  virtual bool IsStylePropertyPublished(const WideString& AName, bool AExtended) = 0;

protected:
  ~TcxContainerStyleHost() = default;
};

struct TcxContainerStyleData {
  TColor Color = clWindow;
  TFont* Font = nullptr;
  TColor FontColor = clWindowText;
};

class TcxContainerStyle : public TcxInterfacedPersistent {
public:
  TVK_CLASS(TcxContainerStyle, TcxInterfacedPersistent)
  TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                    TcxContainerStateItem AState);
  ~TcxContainerStyle() override;

  void Assign(const TPersistent& Source) override;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  virtual void RestoreDefaults();

  virtual int GetStyleValueCount() { return 10; }
  virtual bool GetStyleValueName(TcxContainerStyleValue AValue, WideString& AName);
  bool GetStyleValue(const WideString& APropertyName, TcxContainerStyleValue& AValue);
  virtual bool IsValueAssigned(TcxContainerStyleValue AValue);
  bool IsExtendedStylePropertyPublished(const WideString& APropertyName);
  // Whether a property is written when the style is stored: a style value
  // only when set on this style and published by its container for this state;
  // StyleController only by the normal style.
  bool IsPropertyStored(const WideString& APropertyName);
  // The ten values by name (Font nested), LookAndFeel and StyleController (by
  // its name, found among its owner's components when read), each as
  // IsPropertyStored says; "IsFontAssigned": written (as true) with a stored
  // Font; reading it, whatever it holds, makes the font the style's own.
  void DefineProperties(TFiler& AFiler) override;
  virtual bool HasBorder() { return FState == csNormal || BaseStyle()->HasBorder(); }

  // Resolved values.
  TColor BorderColor();
  TcxContainerBorderStyle BorderStyle();
  TColor Color();
  TcxBorders Edges();
  TFont* Font();
  bool HotTrack();
  bool Shadow();
  TColor TextColor();
  TFontStyles TextStyle();
  bool TransparentBorder();
  TFont* GetVisibleFont();
  // The colour a container copies into its own Color.
  virtual TColor ResolveColor();

  void SetBorderColor(TColor AValue);
  void SetBorderStyle(TcxContainerBorderStyle AValue);
  void SetColor(TColor AValue);
  void SetEdges(TcxBorders AValue);
  void SetFont(TFont* AValue);
  void SetHotTrack(bool AValue);
  void SetShadow(bool AValue);
  void SetTextColor(TColor AValue);
  void SetTextStyle(TFontStyles AValue);
  void SetTransparentBorder(bool AValue);

  TcxContainerStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxContainerStyleValues AValue);
  // Nil reads when the controller is the default one.
  TcxStyleController* StyleController();
  void SetStyleController(TcxStyleController* AValue);
  TcxStyleController* ActiveStyleController() { return BaseStyle()->FStyleController; }
  TcxLookAndFeel* LookAndFeel() { return BaseStyle()->FLookAndFeel.get(); }
  TcxContainerStyle* BaseStyle() { return FState == csNormal ? this : FParentStyle; }
  TcxContainerStyleHost* Container();
  bool DirectAccessMode() const { return FDirectAccessMode; }
  TcxContainerStateItem State() const { return FState; }
  TcxContainerStyleData StyleData;
  TNotifyEvent OnChanged;

  virtual void ControllerStyleChanged();
  virtual void ControllerDestroying(TcxStyleController* AController);

protected:
  virtual void NotifyStyleChanged();
  virtual TColor FallbackBorderColor();
  virtual TcxContainerBorderStyle FallbackBorderStyle();
  virtual TColor FallbackColor();
  virtual TcxBorders FallbackEdges() { return cxBordersAll; }
  virtual bool FallbackHotTrack() { return true; }
  virtual bool FallbackShadow() { return false; }
  virtual TColor FallbackTextColor();
  virtual TFontStyles FallbackTextStyle();
  virtual bool FallbackTransparentBorder() { return true; }
  virtual TcxStyleController* FallbackStyleController();
  virtual TcxContainerStyleValues HiddenExtendedStyleValues();
  void RefreshFont();
  // The style carries the skin-support marker.
  bool GetInterface(REFIID iid, void** object) override;

  bool Has(TcxContainerStyleValue AValue) const { return (FAssignedValues & cxStyleValueBit(AValue)) != 0; }
  // Sets a value's bit without a notice.
  void Assigned(TcxContainerStyleValue AValue) { FAssignedValues |= cxStyleValueBit(AValue); }
  // Streams one integer or boolean value under its name, as IsPropertyStored
  // says; a read outside [AMin, AMax] is refused, a good one assigns the value.
  void DefineStreamedValue(TFiler& AFiler, const WideString& AName, TcxContainerStyleValue AValue, bool AIsBoolean,
                           int32_t AMin, int32_t AMax, std::function<int32_t()> AGet,
                           std::function<void(int32_t)> ASet);

private:
  friend class TcxStyleController;
  friend class TcxContainer;  // refreshes the normal style's font when its parent's changes
  TcxContainerStyle* ControllerStyle();
  TcxStyleController* FindStreamedStyleController(const WideString& AName);
  void FontChangeHandler();
  void FlushChanges();
  template <class T, class F>
  bool FindAssigned(TcxContainerStyleValue AValue, F AOwn, T& AResult);

  TColor FBorderColor = clDefault;
  TcxContainerBorderStyle FBorderStyle = cbs3D;
  TcxBorders FEdges = cxBordersAll;
  bool FHotTrack = true;
  bool FShadow = false;
  bool FTransparentBorder = true;
  bool FDirectAccessMode;
  int FFontAssignedValueLockCount = 0;
  bool FIsDestroying = false;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  bool FModified = false;
  TcxContainerStyle* FParentStyle = nullptr;
  TcxContainerStateItem FState;
  TFontStyles FTextStyle = 0;
  int FUpdateCount = 0;
  std::unique_ptr<TFont> FVisibleFont;
  std::unique_ptr<TFont> FOwnFont;
  TcxContainerStyleValues FAssignedValues = 0;
  TcxStyleController* FStyleController = nullptr;
};

// A style class: its class-reference object, whose constructor makes styles
// of that class (a C++ constructor cannot ask a descendant which to make).
struct TcxContainerStyleClassRef {
  TClass Info;
  TcxContainerStyle* (*Create)(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                               TcxContainerStateItem AState);
};
using TcxContainerStyleClass = const TcxContainerStyleClassRef*;
template <class T>
TcxContainerStyleClass ContainerStyleClassOf() {
  static const TcxContainerStyleClassRef ref{
      &T::StaticClassInfo(),
      [](TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
         TcxContainerStateItem AState) -> TcxContainerStyle* { return new T(AOwner, ADirectAccessMode, AParentStyle, AState); }};
  return &ref;
}

class TcxContainerStyles : public TObject {
public:
  TVK_CLASS(TcxContainerStyles, TObject)
  // The four styles are of AStyleClass (TcxContainerStyle when null).
  explicit TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass = nullptr);
  ~TcxContainerStyles() override;
  TcxContainerStyle* Style() const { return GetStyleByState(csNormal); }
  TcxContainerStyle* StyleFocused() const { return GetStyleByState(csActive); }
  TcxContainerStyle* StyleDisabled() const { return GetStyleByState(csDisabled); }
  TcxContainerStyle* StyleHot() const { return GetStyleByState(csHotTrack); }
  TcxContainerStyle* GetStyleByState(TcxContainerStateItem AState) const { return FStyles[AState]; }
  void SetStyleByState(TcxContainerStateItem AState, const TcxContainerStyle& AValue) { FStyles[AState]->Assign(AValue); }
  void SetOnChanged(const TNotifyEvent& AEvent);
  void RestoreDefaults();

private:
  TcxContainerStyle* FStyles[4]{};
};

class TcxStyleController : public TcxScalableComponent {
public:
  TVK_CLASS(TcxStyleController, TcxScalableComponent)
  explicit TcxStyleController(TComponent* AOwner);
  ~TcxStyleController() override;
  void Loaded() override;
  TcxContainerStyles& Styles() { return *FStyles; }
  TcxContainerStyle* Style() { return FStyles->Style(); }
  TcxStyleController* FakeStyleController() { return FStyles->Style()->StyleController(); }
  void RestoreStyles() { FStyles->RestoreDefaults(); }
  virtual void AddStyleListener(TcxContainerStyle* AStyle);
  virtual void RemoveStyleListener(TcxContainerStyle* AStyle);
  int ListenerCount() const { return int(FListeners.size()); }
  TNotifyEvent OnStyleChanged;

protected:
  // A controller whose styles are of AStyleClass.
  TcxStyleController(TComponent* AOwner, TcxContainerStyleClass AStyleClass);
  void DoChangeScale(int M, int D) override;
  void ControllerChanged();

private:
  bool FIsDestruction = false;
  std::vector<TcxContainerStyle*> FListeners;
  std::unique_ptr<TcxContainerStyles> FStyles;
};

// ---- The container

using TcxContainerState = uint8_t;  // bit n for state item n
constexpr TcxContainerState cxStateBit(TcxContainerStateItem AItem) { return TcxContainerState(1u << AItem); }
enum TcxContainerHotState { chsNoHotTrack, chsNormal, chsSelected };

constexpr int cxContainerShadowWidth = 3;
constexpr int cxContainerTransparentBorder = 2;
constexpr UINT cxContainerShortRefreshMessage = WM_APP + 127;    // 0x807F
constexpr UINT cxContainerUpdateScrollBarsMessage = WM_APP + 128;  // 0x8080

struct TcxContainerInnerControlBounds {
  bool IsEmpty = true;
  RECT Rect{};
};

// The mouse button a refresh came with.
enum TcxMouseButton { cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle };
TcxMouseButton MapMouseButton(TMouseButton AButton);

class TcxContainerViewInfo : public TObject {
public:
  TVK_CLASS(TcxContainerViewInfo, TObject)
  TcxContainerViewInfo() = default;
  virtual void DrawBorder(TcxCanvas& ACanvas, const RECT& R);
  virtual TcxContainerBorderStyle GetBorderStyleForPainting() { return BorderStyle; }
  // Copies ClientRect from another container view info; anything else is ignored.
  virtual void Assign(TObject* ASource);
  // The part to repaint when this view replaces APrev: none at this level
  // (a new, empty region).
  virtual std::unique_ptr<TcxRegion> GetUpdateRegion(TcxContainerViewInfo* APrev);
  virtual void Paint(TcxCanvas& ACanvas) { InternalDrawBackground(ACanvas); }
  void Offset(int DX, int DY);
  void UpdateStyle(TcxContainerStyle* AStyle);
  TColor BackgroundColor() const { return FBackgroundColor; }
  void AssignBackgroundColor(TColor AColor) { FBackgroundColor = AColor; }

  TColor BorderColor = clDefault;
  RECT BorderRect{};
  TcxContainerBorderStyle BorderStyle = cbsNone;
  int BorderWidth = 0;
  RECT Bounds{};
  RECT ClientRect{};
  TcxContainerState ContainerState = cxStateBit(csNormal);
  TcxBorders Edges = cxBordersAll;
  TcxContainerHotState HotState = chsNormal;
  bool NativeStyle = false;
  TcxCustomLookAndFeelPainter* Painter = nullptr;
  bool Shadow = false;
  bool UseSkins = false;
  TdxThemedObjectType ThemedObjectType = totEdit;
  int NativePart = 0;
  int NativeState = 0;

protected:
  virtual void InternalDrawBackground(TcxCanvas& ACanvas);
  // The background and frame drawn in the visual style's colours.
  void DrawNativeBackground(TcxCanvas& ACanvas);

private:
  TColor FBackgroundColor = clWindow;
};

class TcxContainer;

// What an inner control offers its container (not counted): the container
// draws the size grip only into an inner control that offers it.
// {1B111318-D9C9-4C35-9EFF-5D95793C0106}
inline constexpr GUID IID_IcxContainerInnerControl = {
    0x1B111318, 0xD9C9, 0x4C35, {0x9E, 0xFF, 0x5D, 0x95, 0x79, 0x3C, 0x01, 0x06}};
struct IcxContainerInnerControl {
  virtual TWinControl* GetInnerControl() = 0;
  virtual TcxContainer* GetOwnerContainer() = 0;

protected:
  ~IcxContainerInnerControl() = default;
};

// The control of a container that takes the focus: its inner control, else itself.
// {A4A77F28-1D03-425B-9A83-0B853B5D8DEF}
inline constexpr GUID IID_IcxContainerActiveControl = {
    0xA4A77F28, 0x1D03, 0x425B, {0x9A, 0x83, 0x0B, 0x85, 0x3B, 0x5D, 0x8D, 0xEF}};
struct IcxContainerActiveControl {
  virtual TWinControl* GetActiveControl() = 0;

protected:
  ~IcxContainerActiveControl() = default;
};

// The corner between the owner container's bars in the inner control's
// window coordinates; empty unless both bars show.
RECT GetSizeGripBounds(IcxContainerInnerControl* AInnerControl);

// A custom-drawn control that hosts one inner windowed control (not owned)
// and draws the border, shadow and background around it from its state styles.
class TcxContainer : public TcxControl, public TcxContainerStyleHost, public IcxMouseTrackingCaller,
                     public IcxContainerActiveControl {
public:
  TVK_CLASS(TcxContainer, TcxControl)
  explicit TcxContainer(TComponent* AOwner);
  ~TcxContainer() override;

  TcxContainerStyles& Styles() { return *FStyles; }
  TcxContainerStyle* Style() { return FStyles->Style(); }
  TcxContainerStyle* StyleFocused() { return FStyles->StyleFocused(); }
  TcxContainerStyle* StyleDisabled() { return FStyles->StyleDisabled(); }
  TcxContainerStyle* StyleHot() { return FStyles->StyleHot(); }
  // The four styles, nested: "Style", "StyleDisabled", "StyleFocused", "StyleHot".
  void DefineProperties(TFiler& AFiler) override;
  TcxContainerViewInfo& ViewInfo() { return *FViewInfo; }
  TWinControl* InnerControl() const { return FInnerControl; }
  void SetInnerControl(TWinControl* AValue);
  bool HasInnerControl() const { return FInnerControl != nullptr; }
  // A drag's picture and its cancelling are the inner control's too.
  TDragImageList* GetDragImages() override;
  void HandleDragCancel() override;
  // A character the inner control was typed: the container sees it first.
  void InnerControlKeyPress(wchar_t& Key) { KeyPress(Key); }
  // A key the inner control got: the container sees it first (Tab moves on).
  void InnerControlKeyDown(WORD& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  // The inner control's mouse, at points of the container's client area.
  void InnerControlMouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y);
  void InnerControlMouseMove(TShiftState AShift, int X, int Y) { MouseMove(AShift, X, Y); }
  void InnerControlMouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) { MouseUp(AButton, AShift, X, Y); }
  // True while a press of the inner control runs through the container's MouseDown.
  bool IsInnerControlMouseDown() const { return FInnerControlMouseDown; }
  // The wheel over the inner control; true when the container scrolled.
  bool InnerControlMouseWheel(int ADelta) { return HandleMouseWheel(ADelta); }
  void InnerControlClick() { Click(); }
  void InnerControlDblClick() { DblClick(); }
  void InnerControlFocusChanged() { FocusChanged(); }
  void InnerMouseEnter(TControl* AControl);
  void InnerMouseLeave(TControl* AControl);
  // A message of the inner control the container takes (not processed
  // further): its key-downs that are one of the menus' short cuts.
  virtual bool InnerControlMenuHandler(TMessage& Message);
  // A message the inner control's default handling leaves over: offered to
  // DoInnerControlDefaultHandler while the inner control has a window and the
  // container is not being destroyed; true when taken.
  bool InnerControlDefaultHandler(TMessage& Message);
  // Fills the corner between the inner control's scroll bars.
  void FillSizeGripArea(TcxCanvas& ACanvas, const RECT& R);
  bool HasInnerControlHandle() const { return FInnerControl && FInnerControl->HandleAllocated(); }
  // Tabbing: the container's children are not listed, but while the form's
  // active control is the inner control, the inner control stands in the
  // container's place, so that tabbing goes on from it.
  void GetTabOrderList(std::vector<TWinControl*>& AList) const override;
  // Whether children are aligned and tab-ordered as in a plain windowed control.
  virtual bool UsesStandardChildHandling() const { return false; }
  // Forgets the visible part last given to the inner control as its window
  // region: the next placement applies it again.
  void ClearSavedChildControlRegions() {
    FInnerControlBounds.IsEmpty = true;
    FInnerControlRegionKnown = false;
  }
  TWinControl* ActiveControl() { return FInnerControl ? FInnerControl : this; }
  // The container window or the inner control has the focus (never while designing).
  bool Focused() const override;
  // Focuses the container, which hands the focus on to the inner control.
  void SetFocus() override;
  // The inner control is invalidated and painted with the container.
  void Invalidate() override;
  void Update() override;
  // The inner control is placed and the normal style applied once loading ends.
  void Loaded() override;
  bool IsContainerFocused();
  void ShortRefreshContainer(bool AIsMouseEvent);
  // The refresh counted for a point in client coordinates ((-1, -1): none),
  // with the mouse button it came with.
  void UpdateHotTrackState(POINT P, TcxMouseButton AButton, bool AIsMouseEvent, TShiftState AShift);
  TcxContainerStyle* GetActiveStyle();
  RECT GetBorderExtent();
  RECT GetVisibleBounds();
  RECT GetVisibleRegionBounds();
  TColor GetContainerBorderColor();
  void LockAlignControls(bool ALock);
  int AlignControlsLockCount() const { return FLockAlignControlsCount; }
  void LockPopupMenu(bool ALock);
  int PopupMenuLockCount() const { return FPopupMenuLockCount; }
  void RestoreStyles() { FStyles->RestoreDefaults(); }
  void CheckUpdateScrollBars() override;
  // Posts the message that mirrors the inner control's scroll bars.
  void UpdateScrollBarsParameters();
  // Mirrors the inner control's native scroll bars onto the container's own
  // (only for containers with scroll bars of their own).
  void SetScrollBarsParameters(bool AIsScrolling);
  // The corner between the container's bars in the inner control's window
  // coordinates (empty unless both show).
  RECT GetInnerSizeGripBounds();
  // The same corner in AInnerControl's window coordinates.
  RECT CalculateSizeGripBounds(TWinControl* AInnerControl);
  TWinControl* GetActiveControl() override { return ActiveControl(); }
  bool GetInterface(const GUID& iid, void** obj) override;

  // The style host (the control's own ParentColor and ParentFont).
  bool UsesParentColorByDefault() override { return false; }
  bool ParentColor() override { return TControl::ParentColor(); }
  void SetParentColor(bool AValue) override { TControl::SetParentColor(AValue); }
  bool ParentFont() override { return TControl::ParentFont(); }
  void SetParentFont(bool AValue) override { TControl::SetParentFont(AValue); }
  bool GetParentColor(TColor& AColor) override;
  bool IsInplace() override { return false; }
  bool IsStylePropertyPublished(const WideString& AName, bool AExtended) override;
  void MouseLeave() override;

  bool FocusOnChildClick() override { return false; }
  // The normal style's controller; never stored.
  TcxStyleController* FakeStyleController() { return Style()->StyleController(); }
  // New translations: the container refreshes.
  void STDMETHODCALLTYPE TranslationChanged() override;
  // An assigned style font is scaled with the control; the control's own
  // font change on the way does not flow back into the style.
  void ScaleControl(int M, int D) override;

protected:
  // A container whose four styles are of AStyleClass and whose view info is
  // AViewInfo (a C++ constructor cannot ask a descendant for its classes).
  TcxContainer(TComponent* AOwner, TcxContainerStyleClass AStyleClass, std::unique_ptr<TcxContainerViewInfo> AViewInfo);
  virtual void ComputeViewInfo(POINT P, bool AHot);
  virtual bool RefreshContainerView(POINT P, TcxMouseButton AButton, bool AIsMouseEvent, TShiftState AShift);
  // Runs after a refresh a mouse event caused (never inside itself); nothing at this level.
  virtual void AfterMouseRefresh() {}
  virtual bool CanRefreshContainer();
  virtual void ContainerStyleChanged(TObject* AStyle);
  virtual TcxRegion* CreateWindowRegion();
  virtual bool HasTransparentBorderRegion();
  virtual bool HasShadow();
  virtual bool IsNativeStyle();
  virtual TdxThemedObjectType GetThemedObjectType() { return totEdit; }
  virtual int GetNativePart();
  virtual int GetNativeState();
  virtual bool ShowsReadOnlyState() { return false; }
  // 1 when disabled, 0 when enabled and focused, 2 otherwise.
  virtual int GetFocusStateIndex();
  // The skin's background and text colours (clDefault where the styles or
  // ParentColor decide, or without a skin).
  void GetSkinColors(TColor& ABackground, TColor& AText);
  virtual TColor GetSkinBorderColor(bool AHot);
  // The active style's visible font, in the skin's text colour when there is one.
  TFont* GetVisibleFontWithTextColor();
  virtual TcxContainerStyle* GetStyleForState(TcxContainerState AState);
  virtual TColor GetBackgroundColor();
  virtual void PlaceInnerControl();
  virtual void SyncInnerControlAppearance();
  virtual void UpdateWindowRegion();
  virtual bool HandlesTabKey() { return true; }
  // Whether a change of the parent's colour repaints a container that keeps its own.
  virtual bool RepaintsOnParentColorChange() { return false; }
  // Whether a mouse request for a context menu at P (client coordinates) may open one.
  virtual bool CanShowContextPopupAt(POINT P) { (void)P; return true; }
  // While popup menus are locked, or where CanShowContextPopupAt refuses, a
  // request is taken without a menu.
  void HandleContextPopup(POINT AMousePos, bool& AHandled) override;
  // The part of AChild (in its own coordinates) that lies inside AVisibleBounds
  // (the container's client coordinates); IsEmpty when nothing is cut.
  virtual void GetChildControlVisiblePart(const RECT& AVisibleBounds, TWinControl* AChild,
                                          TcxContainerInnerControlBounds& APart);
  // Children are not aligned: a windowed child gets the part of it that shows
  // inside the container as its window region.
  void AlignControls(TControl* AControl, RECT& ARect) override;
  // Children share the area inside the border (the whole client area until
  // the view information is computed).
  void AdjustClientRect(RECT& ARect) override;
  bool HasScrollBars() override { return false; }
  virtual void AdjustScrollBarFromInnerControl(TcxScrollBar* ABar);
  // The parts of mirroring one of the inner control's native bars.
  virtual bool GetInnerScrollBarInfo(SCROLLBARINFO& AInfo, TScrollBarKind AKind);
  virtual bool IsScrollBarInfoVisible(const SCROLLBARINFO& AInfo);
  virtual bool IsScrollBarEnabled(TcxScrollBar* ABar, const SCROLLBARINFO& AInfo);
  // The native bar's rectangle in the container's client coordinates; false
  // when it does not fit in the container.
  virtual bool GetScrollBarBounds(const SCROLLBARINFO& AInfo, RECT& ABounds);
  virtual void SetScrollBarVisible(TcxScrollBar* ABar, bool AVisible);
  virtual bool DoInnerControlDefaultHandler(TMessage& Message) { (void)Message; return false; }
  virtual void RefreshNow() { ShortRefreshContainer(false); }
  // How far the shadow reaches beyond the visible bounds on each side: nothing here.
  virtual RECT GetShadowBoundsExtent() { return RECT{}; }
  // The style values this container does not publish: none.
  virtual TcxContainerStyleValues GetHiddenStyleValues() { return 0; }
  virtual bool HasPopupWindow() { return false; }
  // A copy painted elsewhere (a print) keeps to the window's shadow shape.
  virtual void ClipPaintCopy(TcxCanvas& ACanvas);
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void MouseMove(TShiftState AShift, int X, int Y) override;
  void MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void DoPaint() override;
  void FocusChanged() override;
  bool CanFocusOnClick() override;
  bool MayFocus() override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;
  // The drag mode is the inner control's too.
  void AssignDragMode(TDragMode AValue) override;
  void CreateWindowHandle(const TCreateParams& AParams) override;
  void CreateHandle() override;
  void WndProc(TMessage& Message) override;
  virtual void FocusInnerControl();
  // Enabled reaches the container's own scroll bars, then the view follows.
  virtual void EnabledChanged();

  // Tab while the container or its inner control is focused moves the focus on.
  void KeyDown(WORD& Key, TShiftState Shift) override;

  TVK_MESSAGES();
  void WMNCPaint(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void CMShortRefresh(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMCursorChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void WMSetCursor(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMUpdateScrollBars(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void WMWindowPosChanging(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);

private:
  bool RefreshLocked() const { return FRefreshLockCount > 0; }
  TcxContainerState ComputeState(POINT P, bool AHot);

  TcxContainerState FActiveState = cxStateBit(csNormal);
  TcxContainerStyle* FActiveStyle = nullptr;
  bool FHasChanges = false;
  TWinControl* FInnerControl = nullptr;
  bool FInnerControlMouseDown = false;
  bool FInternalSetting = false;  // the container itself sets Color or Font
  bool FScrollBarsCalculating = false;
  RECT FSizeGripBounds{};  // where the grip was last painted into the inner control
  bool FSizeGripVisible = false;
  TcxContainerInnerControlBounds FInnerControlBounds;
  bool FInnerControlRegionKnown = false;  // FInnerControlBounds is what the inner control's window has
  bool FIsViewInfoCalculated = false;
  int FLockAlignControlsCount = 0;
  int FPopupMenuLockCount = 0;
  int FRefreshLockCount = 0;
  int FProcessEventsLockCount = 0;
  bool FIsCreating = true;
  std::unique_ptr<TcxContainerStyles> FStyles;
  std::unique_ptr<TcxContainerViewInfo> FViewInfo;
};

// ---- Free routines of the container

// clBtnShadow when not hot; else the Office 2003 frame colour or clHighlight.
TColor GetHotTrackBorderColor(bool AHot, bool AOffice11);
int GetStandardContainerBorderWidth(TcxContainerBorderStyle ABorderStyle);
// A native style asked for and a theme handle for AType opens.
bool CanUseThemedDrawing(bool ANativeStyle, TdxThemedObjectType AType);
// Moves each side that is not in AEdges inward by AWidth.
void ShrinkRectOutsideEdges(RECT& R, int AWidth, TcxBorders AEdges);
void PaintContainerShadow(TcxCanvas& ACanvas, const RECT& R);
// The frame between AOuter and AInner filled (or all of AOuter when AInner is empty).
void FillRectFrame(TcxCanvas& ACanvas, const RECT& AOuter, const RECT& AInner, TColor AColor);
void InvalidateRectFrame(HWND AWnd, const RECT& AOuter, const RECT& AInner, bool AErase = false);
// Null unless AShadow and not ANativeBorder; the caller owns the region.
TcxRegion* BuildShadowRegion(const RECT& ABounds, const RECT& AExtent, const RECT& AExcluded, bool AShadow,
                             bool ANativeBorder);
// Sets ARegion (taken over; may be null) as AWnd's region only when it
// differs from the current one.
void AssignRegionToWindow(HWND AWnd, TcxRegion* ARegion);
// A windowed control's region set to APart's rectangle (none when IsEmpty), with redraw.
void ApplyInnerControlRegion(TWinControl* AControl, const TcxContainerInnerControlBounds& APart);
// How many window regions AssignRegionToWindow and ApplyInnerControlRegion have set in this process.
int cxContainerWindowRegionSetCount();
// GetScrollBarInfo bound by name from user32.
bool IsScrollBarInfoAvailable();
bool QueryScrollBarInfo(HWND AWnd, LONG AObjectId, SCROLLBARINFO& AInfo);
HWND GetTopLevelAncestor(HWND AWnd);
// (0, 0, Width, Height) of AControl.
RECT GetControlSizeRect(TControl* AControl);
// Equal texts: letter case counts by the user's locale when ACaseSensitive,
// else both are compared upper-cased.
bool CompareStringsCase(std::wstring_view S1, std::wstring_view S2, bool ACaseSensitive);
// AControl has a window and it is visible.
bool IsWindowVisibleControl(TWinControl* AControl);

// The default controller of styles without one (the editors' start-up sets
// it); while empty, styles resolve straight to their fallbacks.
extern TcxStyleController* ContainerDefaultStyleController;

}  // namespace tvk
