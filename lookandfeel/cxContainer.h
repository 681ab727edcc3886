#pragma once
// Container styles: the four state styles (normal, focused, disabled, hot)
// a container draws from, each holding ten values with a set of assigned
// bits. An unassigned value comes from the same state style of the style
// controller (and its controller in turn), else from a fallback that depends
// on the state and on the normal style. Edges, Font, HotTrack, Shadow,
// TransparentBorder, the look and feel and the controller live on the normal
// style only. A style controller lends its styles to any number of styles.
#include "cxClasses.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"

#include <memory>
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

private:
  friend class TcxStyleController;
  bool Has(TcxContainerStyleValue AValue) const { return (FAssignedValues & cxStyleValueBit(AValue)) != 0; }
  void Assigned(TcxContainerStyleValue AValue) { FAssignedValues |= cxStyleValueBit(AValue); }
  TcxContainerStyle* ControllerStyle();
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

class TcxContainerStyles : public TObject {
public:
  TVK_CLASS(TcxContainerStyles, TObject)
  explicit TcxContainerStyles(TPersistent* AOwner);
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
  void DoChangeScale(int M, int D) override;
  void ControllerChanged();

private:
  bool FIsDestruction = false;
  std::vector<TcxContainerStyle*> FListeners;
  std::unique_ptr<TcxContainerStyles> FStyles;
};

// The default controller of styles without one (the editors' start-up sets
// it); while empty, styles resolve straight to their fallbacks.
extern TcxStyleController* ContainerDefaultStyleController;

}  // namespace tvk
