#pragma once
// Laying out and painting an editor without a window: a short-lived view
// data, made for properties, a style and a mode (in-place or not),
// calculates a view info for a rectangle, a mouse point and a shift state;
// the view info holds every rectangle, colour and button state and paints
// itself on a canvas. Editors are not built yet: everything an editor would
// answer here is answered as by no editor.
#include "HintWindow.h"
#include "cxEdit.h"

#include <functional>
#include <memory>
#include <vector>

namespace tvk {

enum TcxEditButtonState { ebsDisabled, ebsNormal, ebsPressed, ebsSelected };
enum TcxEditPaintOption { epoAllowZeroHeight = 1, epoAutoHeight = 2, epoHasExternalBorder = 4, epoShowEndEllipsis = 8,
                          epoShowFocusRectWhenInplace = 16 };
using TcxEditPaintOptions = unsigned;

struct TcxEditButtonViewInfoData {
  TcxEditButtonActionLink* ActionLink = nullptr;  // the button's, not owned
  TColor BackgroundColor = clDefault;
  WideString Caption;
  TAlignment ContentAlignment = TAlignment::taCenter;
  bool Default = false;
  bool Gradient = false;
  WideString Hint;
  bool IsInplace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  bool Leftmost = false;
  bool NativeStyle = false;
  bool Rightmost = false;
  TcxEditButtonState State = ebsNormal;
  TcxEditButtonStyle Style = btsDefault;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  WideString VisibleCaption;
  bool BackgroundPartiallyTransparent = false;
  bool ComboBoxStyle = false;
  int NativePart = 0;
  int NativeState = 0;
  bool UseSkins = false;
};

class TcxEditButtonViewInfo : public TPersistent {
public:
  TVK_CLASS(TcxEditButtonViewInfo, TPersistent)
  // Copies the native state, background colour, bounds, style and state.
  void Assign(const TPersistent& Source) override;
  // Empty when nothing that shows differs from APrev, else Bounds.
  std::unique_ptr<TcxRegion> GetUpdateRegion(const TcxEditButtonViewInfo& APrev) const;
  // Invalidates Bounds (moved by AEditPosition) in AWindow when what shows
  // differs from APrev; answers whether it did.
  bool Repaint(HWND AWindow, const TcxEditButtonViewInfo& APrev, POINT AEditPosition) const;

  RECT Bounds{};
  int ButtonIndex = -1;
  TcxEditButtonViewInfoData Data;
  TBitmap* Glyph = nullptr;  // the button's, not owned
  bool HasBackground = false;
  int ImageIndex = -1;
  TCustomImageList* Images = nullptr;
  bool Stretchable = true;
  RECT VisibleBounds{};
  int Width = 0;
};

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
public:
  TVK_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
  TcxCustomEditViewInfo() = default;
  ~TcxCustomEditViewInfo() override;

  void Paint(TcxCanvas& ACanvas) override;
  // From an edit view info: colours, border, states, native state and the buttons.
  void Assign(TObject* ASource) override;
  virtual bool RepaintsOnStateChange() { return true; }
  // Invalidates in AWindow what changed against APrev (everything but the
  // inner edit without APrev); true when a button repainted.
  bool Repaint(HWND AWindow, TcxCustomEditViewInfo* APrev);
  virtual bool Repaint(HWND AWindow, const RECT& AInnerEditRect, TcxCustomEditViewInfo* APrev);
  // The hint of the part under P (on the host's canvas): a button's short
  // hint, in the rectangle the shared hint window needs below the cursor.
  virtual bool NeedShowHint(TcxCanvas& ACanvas, POINT P, const RECT& AVisibleBounds, RECT& ATextRect,
                            bool& AIsMultiLine, WideString& AText);
  bool NeedShowHint(TcxCanvas& ACanvas, POINT P, RECT& ATextRect, bool& AIsMultiLine, WideString& AText);
  // Paint at the view info's origin (Left, Top) on the canvas.
  void PaintEx(TcxCanvas& ACanvas);
  void Offset(int DX, int DY);
  // Keeps existing button view infos, makes missing ones, frees surplus ones.
  void SetButtonCount(int ACount);
  int ButtonCount() const { return int(ButtonsInfo.size()); }
  TcxEditButtonViewInfo& Button(int AIndex) { return *ButtonsInfo[std::size_t(AIndex)]; }

  void DrawButtons(TcxCanvas& ACanvas);
  virtual void PrepareCanvasFont(TcxCanvas&) {}
  virtual void DrawButton(TcxCanvas& ACanvas, int AVisibleIndex);
  // A handler painted the background (in-place view infos only).
  bool DrawBackground(TcxCanvas& ACanvas);
  virtual void DrawNativeStyleEditBackground(TcxCanvas& ACanvas, bool AFillAll, HBRUSH ABrush,
                                             TcxEditBackgroundPaintingStyle ABackgroundStyle);
  bool IsBackgroundTransparent();
  bool IsCustomBackground() const { return bool(OnDrawBackground); }
  bool IsHotTrack() const;
  bool IsHotTrack(POINT P) const;
  // A button's index under P (relative to the view info), -1 on the frame's
  // inside, -2 outside it.
  virtual int GetPartIndexAt(POINT P) const;
  virtual RECT GetPartBounds(int AIndex) const;
  std::unique_ptr<TcxRegion> GetUpdateRegion(TcxContainerViewInfo* APrev) override;

  std::function<void(TcxCustomEditViewInfo*, TcxCanvas&, bool&)> OnDrawBackground;
  std::function<void(TcxCustomEditViewInfo*, TcxCanvas&, int, bool&)> OnDrawButton;
  std::function<void(TcxCustomEditViewInfo*, int, TcxEditButtonState&)> OnGetButtonState;
  std::function<void(TcxCustomEditViewInfo*, TcxCanvas&)> OnPaint;

  RECT BorderExtent{};
  std::vector<std::unique_ptr<TcxEditButtonViewInfo>> ButtonsInfo;
  // The editor the view info belongs to (null for a windowless paint).
  TcxEditPropertiesHost* Edit = nullptr;
  bool Enabled = true;
  bool Focused = false;
  TFont* Font = nullptr;  // the style's, not owned
  bool HasBackground = false;
  bool HasContentOffsets = false;
  bool HasTextButtons = false;
  RECT InnerEditRect{};
  bool IsButtonReallyPressed = false;
  bool IsDesigning = false;
  bool IsInplace = false;
  bool IsSelected = false;
  int LastPressedButton = -1;
  int LastSelectedButton = -1;
  int Left = 0;
  TcxEditPaintOptions PaintOptions = 0;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  int PressedButton = -1;
  int SelectedButton = -1;
  RECT ShadowRect{};
  TColor TextColor = clDefault;
  int Top = 0;
  bool Transparent = false;

protected:
  void InternalDrawBackground(TcxCanvas& ACanvas) override;
  virtual void InternalDrawButton(TcxCanvas& ACanvas, int AIndex);
  // Draws the button's border; gives the colours and the rectangles left for
  // background and content.
  virtual void DrawButtonBorder(TcxCanvas& ACanvas, int AIndex, TColor& ABrushColor, TColor& APenColor,
                                RECT& AContentRect, RECT& ABackgroundRect);
  virtual void DrawButtonBackground(TcxCanvas& ACanvas, int AIndex, TColor ABrushColor, const RECT& ARect);
  virtual void DrawButtonContent(TcxCanvas& ACanvas, int AIndex, bool AOffsetContent, TColor ABrushColor,
                                 TColor APenColor, const RECT& AContentRect);

private:
  bool FPaintingButtons = false;
};

// The one hint window of the editors (of the current hint-window class,
// made anew when that class changes); null after the unit stopped.
THintWindow* cxEditHintWindow();
// Frees the hint window and the cached view infos (the unit's shut-down).
void FreeEditViewInfoCache();
// Lets the cache fill again (the unit's start-up).
void ResetEditViewInfoCache();

class TcxCustomEditViewData;
using TcxEditGetDefaultButtonWidthEvent = std::function<void(TcxCustomEditViewData*, int, int&)>;

class TcxCustomEditViewData : public TPersistent {
public:
  TVK_CLASS(TcxCustomEditViewData, TPersistent)
  TcxCustomEditViewData(TcxCustomEditProperties& AProperties, TcxCustomEditStyle& AStyle, bool AIsInplace);

  // Calculates AViewInfo for ABounds with ABounds' top-left as its origin.
  void CalculateEx(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton, TShiftState AShift,
                   TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent);
  virtual void Calculate(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton, TShiftState AShift,
                         TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent);

  virtual RECT GetBorderExtent();
  RECT GetBorderExtentByEdges(int AWidth);
  virtual TcxEditBorderStyle GetBorderStyle();
  virtual RECT GetButtonsExtent(TcxCanvas& ACanvas);
  virtual RECT GetClientExtent(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo);
  virtual TColor GetBorderColor();
  virtual bool HasShadow();
  virtual TcxContainerState GetContainerStateAt(POINT P, TcxMouseButton AButton, TShiftState AShift);
  virtual int GetEditNativeState();
  virtual bool AllowsButtonPress() { return true; }
  virtual bool IsButtonForcedPressed(int) { return false; }
  virtual bool IgnoreButtonWhileStretching(int) { return false; }
  TcxEditButtonStyle EffectiveButtonStyle();
  // The popup border of an editor whose style leaves it to the default:
  // in-place by the look and feel, stand-alone by the border, or without a
  // border but with buttons by the look and feel the first button's style implies.
  static TcxEditPopupBorderStyle DefaultPopupBorderStyle(bool AIsInplace, TcxEditBorderStyle ABorderStyle,
                                                         bool AHasButtons, TcxEditButtonStyle AFirstButtonStyle,
                                                         TcxLookAndFeelKind AKind);

  // Sizes: the constant part (frame, buttons) and the content.
  SIZE GetEditSize(TcxCanvas& ACanvas, const Variant& AEditValue, TcxEditSizeProperties ASizeProperties,
                   TcxCustomEditViewInfo* AViewInfo = nullptr);
  SIZE GetEditingSize(TcxCanvas& ACanvas, const Variant& AEditValue, TcxEditSizeProperties ASizeProperties,
                      TcxCustomEditViewInfo* AViewInfo = nullptr);
  // A temporary view info of the properties' class is laid out when none is given.
  virtual SIZE GetEditConstantPartSize(TcxCanvas& ACanvas, const TcxEditSizeProperties& ASizeProperties,
                                       SIZE& MinContentSize, TcxCustomEditViewInfo* AViewInfo = nullptr);
  virtual SIZE GetEditContentSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                                  const TcxEditSizeProperties& ASizeProperties);
  virtual SIZE GetEditingContentSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                                     const TcxEditSizeProperties& ASizeProperties) {
    return GetEditContentSize(ACanvas, AEditValue, ASizeProperties);
  }
  virtual SIZE GetEditContentSizeCorrection();
  WideString ConvertEditValueToText(const Variant& AValue);
  virtual WideString ValueToDisplayText(const Variant&) { return {}; }
  static bool IsNativeStyle(TcxLookAndFeel* ALookAndFeel);

  TcxCustomEditProperties& Properties() { return FProperties; }
  TcxCustomEditStyle& Style() { return *FStyle; }
  bool IsInplace() const { return FIsInplace; }

  RECT Bounds{};
  bool ButtonsOnlyStyle = false;
  int ButtonVisibleCount = 0;
  TcxContainerState ContainerState = cxStateBit(csNormal);
  RECT ContentOffset{};
  bool Enabled = true;
  bool Focused = false;
  TAlignment HorzAlignment = TAlignment::taLeftJustify;
  bool IsDesigning = false;
  bool IsSelected = false;
  bool NativeStyle = false;
  TcxEditPaintOptions PaintOptions = 0;
  bool PreviewMode = false;
  bool Selected = false;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  TcxEditGetDefaultButtonWidthEvent OnGetDefaultButtonWidth;
  // The editor laid out (null for a windowless paint).
  TcxEditPropertiesHost* Edit = nullptr;
  std::function<void(TcxCustomEditViewData*, WideString&)> OnGetDisplayText;
  // Content offsets (left, top, right, bottom) and the size correction.
  RECT ContentParamsOffsets{};
  SIZE ContentParamsSizeCorrection{};

protected:
  virtual RECT DefaultContentOffsets() { return FIsInplace ? RECT{1, 1, 1, 1} : RECT{1, 1, 1, 3}; }
  virtual void CalcConstantPartSize(TcxCanvas& ACanvas, const TcxEditSizeProperties& ASizeProperties,
                                    SIZE& AConstantPartSize, SIZE& MinContentSize, TcxCustomEditViewInfo& AViewInfo);
  virtual SIZE CalcContentSize(TcxCanvas&, const Variant&, const TcxEditSizeProperties&) { return SIZE{0, 0}; }
  virtual void CalculateButtonsViewInfo(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton,
                                        TShiftState AShift, TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent);
  virtual void CalculateButtonViewInfo(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo, int AIndex,
                                       RECT& AButtonsRect);
  virtual void CalculateButtonBounds(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo, int AIndex,
                                     RECT& AButtonsRect);
  virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo& AButton);
  virtual void CheckButtonsOnly(TcxCustomEditViewInfo& AViewInfo, int APrevWidth, int ARestWidth);

private:
  void CalculateState(TcxCustomEditViewInfo& AViewInfo, POINT P, TcxMouseButton AButton, TShiftState AShift);
  void CalculateButtonStates(TcxCustomEditViewInfo& AViewInfo, POINT P, TcxMouseButton AButton, TShiftState AShift,
                             int APrevPressed);
  TcxLookAndFeelKind LookAndFeelKind();

  TcxCustomEditProperties& FProperties;
  TcxCustomEditStyle* FStyle;
  bool FIsInplace;
  int FLeftSideLeftmostButtonIndex = -1;
  int FLeftSideRightmostButtonIndex = -1;
  int FRightSideLeftmostButtonIndex = -1;
  int FRightSideRightmostButtonIndex = -1;
};

}  // namespace tvk
