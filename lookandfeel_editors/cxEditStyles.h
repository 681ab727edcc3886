#pragma once
// Edit styles: container styles with six more values (button style and
// transparency, popup border style, gradients and their direction), and the
// controller whose four styles are edit styles. The button style belongs to
// each state style; the other five live on the normal style only.
#include "cxContainer.h"
#include "cxEditPaintUtils.h"

namespace tvk {

enum TcxEditButtonTransparency { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
// TcxEditPopupBorderStyle is the painters'.
// In the container border styles' order.
enum TcxEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
using TcxEditGradientDirection = TcxDirection;  // dirLeft .. dirDown

constexpr TcxContainerStyleValue svButtonStyle = 10, svButtonTransparency = 11, svPopupBorderStyle = 12,
                                 svGradientButtons = 13, svGradient = 14, svGradientDirection = 15;

class TcxEditStyleController;

class TcxCustomEditStyle : public TcxContainerStyle {
public:
  TVK_CLASS(TcxCustomEditStyle, TcxContainerStyle)
  TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                     TcxContainerStateItem AState);

  void Assign(const TPersistent& Source) override;
  int GetStyleValueCount() override { return 16; }
  bool GetStyleValueName(TcxContainerStyleValue AValue, WideString& AName) override;
  bool IsValueAssigned(TcxContainerStyleValue AValue) override;
  // Colour, font and text colour in one update bracket.
  void Init(const TcxViewParams& AParams);
  void DefineProperties(TFiler& AFiler) override;

  TcxEditButtonStyle ButtonStyle();
  TcxEditButtonTransparency ButtonTransparency();
  bool Gradient();
  bool GradientButtons();
  TcxEditGradientDirection GradientDirection();
  TcxEditPopupBorderStyle PopupBorderStyle();
  TcxEditBorderStyle BorderStyle() { return TcxEditBorderStyle(TcxContainerStyle::BorderStyle()); }
  void SetButtonStyle(TcxEditButtonStyle AValue);
  void SetButtonTransparency(TcxEditButtonTransparency AValue);
  void SetGradient(bool AValue);
  void SetGradientButtons(bool AValue);
  void SetGradientDirection(TcxEditGradientDirection AValue);
  void SetPopupBorderStyle(TcxEditPopupBorderStyle AValue);
  void SetBorderStyle(TcxEditBorderStyle AValue) { TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle(AValue)); }
  TcxCustomEditStyle* BaseStyle() { return static_cast<TcxCustomEditStyle*>(TcxContainerStyle::BaseStyle()); }
  TcxEditStyleController* ActiveStyleController();
  bool PopupCloseButton() const { return FPopupCloseButton; }

protected:
  TcxStyleController* FallbackStyleController() override;
  TcxContainerStyleValues HiddenExtendedStyleValues() override;
  virtual TcxEditButtonStyle FallbackButtonStyle();
  virtual TcxEditButtonTransparency FallbackButtonTransparency();
  virtual bool FallbackGradient();
  virtual bool FallbackGradientButtons();
  virtual TcxEditGradientDirection FallbackGradientDirection();
  virtual TcxEditPopupBorderStyle FallbackPopupBorderStyle();
  // Whether the style's owner is an in-place editor (styles of in-place
  // editors follow no default controller).
  bool IsInplaceOwner();

private:
  // The style holding AValue on the search of the style and its controllers.
  TcxCustomEditStyle* FindAssigned(TcxContainerStyleValue AValue);
  bool OwnAssigned(TcxContainerStyleValue AValue) const { return (AssignedValues() & cxStyleValueBit(AValue)) != 0; }
  template <class T>
  void Write(T TcxCustomEditStyle::*AField, TcxContainerStyleValue AValue, T ANewValue);

  TcxEditButtonStyle FButtonStyle = btsDefault;
  TcxEditButtonTransparency FButtonTransparency = ebtNone;
  bool FGradient = false;
  bool FGradientButtons = false;
  TcxEditGradientDirection FGradientDirection = dirDown;
  TcxEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
  bool FPopupCloseButton = true;
};

class TcxEditStyle : public TcxCustomEditStyle {
public:
  TVK_CLASS(TcxEditStyle, TcxCustomEditStyle)
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
public:
  TVK_CLASS(TcxEditStyleController, TcxStyleController)
  explicit TcxEditStyleController(TComponent* AOwner);
  TcxEditStyle* Style() { return GetStyle(csNormal); }
  TcxEditStyle* StyleDisabled() { return GetStyle(csDisabled); }
  TcxEditStyle* StyleFocused() { return GetStyle(csActive); }
  TcxEditStyle* StyleHot() { return GetStyle(csHotTrack); }
  TcxEditStyle* GetStyle(TcxContainerStateItem AState) {
    return static_cast<TcxEditStyle*>(Styles().GetStyleByState(AState));
  }
  void SetStyle(TcxContainerStateItem AState, const TcxEditStyle& AValue) { Styles().SetStyleByState(AState, AValue); }
};

// The process-wide default edit style controller while the editors' unit runs.
TcxEditStyleController* cxDefaultEditStyleController();
void SetcxDefaultEditStyleController(TcxEditStyleController* AController);

}  // namespace tvk
