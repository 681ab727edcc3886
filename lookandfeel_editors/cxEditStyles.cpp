#include "cxEditStyles.h"

#include <array>

namespace tvk {

namespace {

constexpr std::array<const wchar_t*, 6> kEditStyleValueNames = {L"ButtonStyle",     L"ButtonTransparency",
                                                                 L"PopupBorderStyle", L"GradientButtons",
                                                                 L"Gradient",        L"GradientDirection"};

// Values 11 to 15 live on the normal style only.
constexpr TcxContainerStyleValues kEditBaseOnlyValues =
    cxStyleValueBit(svButtonTransparency) | cxStyleValueBit(svPopupBorderStyle) | cxStyleValueBit(svGradientButtons) |
    cxStyleValueBit(svGradient) | cxStyleValueBit(svGradientDirection);

// Controllers may chain; a chain that comes back is cut.
constexpr int kMaxControllerChain = 64;

TcxEditStyleController* gDefaultEditStyleController = nullptr;

}  // namespace

TcxEditStyleController* cxDefaultEditStyleController() { return gDefaultEditStyleController; }
void SetcxDefaultEditStyleController(TcxEditStyleController* AController) { gDefaultEditStyleController = AController; }

// ---- TcxCustomEditStyle

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                       TcxContainerStateItem AState)
    : TcxContainerStyle(AOwner, ADirectAccessMode, AParentStyle, AState) {
  // The container style's constructor asked its own fallback: ask this one.
  if (AState == csNormal) SetStyleController(FallbackStyleController());
}

bool TcxCustomEditStyle::GetStyleValueName(TcxContainerStyleValue AValue, WideString& AName) {
  if (AValue < svButtonStyle) return TcxContainerStyle::GetStyleValueName(AValue, AName);
  const bool known = AValue < svButtonStyle + int(kEditStyleValueNames.size());
  AName = known ? WideString(kEditStyleValueNames[std::size_t(AValue - svButtonStyle)]) : WideString();
  return known;
}

TcxEditStyleController* TcxCustomEditStyle::ActiveStyleController() {
  return dynamic_cast<TcxEditStyleController*>(TcxContainerStyle::ActiveStyleController());
}

TcxCustomEditStyle* TcxCustomEditStyle::FindAssigned(TcxContainerStyleValue AValue) {
  TcxCustomEditStyle* style = this;
  for (int depth = 0; style && depth < kMaxControllerChain; ++depth) {
    if (style->OwnAssigned(AValue)) return style;
    if (style->DirectAccessMode()) return nullptr;
    TcxStyleController* controller = style->TcxContainerStyle::ActiveStyleController();
    style = controller ? dynamic_cast<TcxCustomEditStyle*>(controller->Styles().GetStyleByState(State())) : nullptr;
  }
  return nullptr;
}

bool TcxCustomEditStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  if (AValue < svButtonStyle) return TcxContainerStyle::IsValueAssigned(AValue);
  return FindAssigned(AValue) != nullptr;
}

#define TVK_EDIT_STYLE_VALUES(X)                                                          \
  X(TcxEditButtonStyle, ButtonStyle, svButtonStyle, btsDefault)                           \
  X(TcxEditButtonTransparency, ButtonTransparency, svButtonTransparency, ebtNone)         \
  X(bool, Gradient, svGradient, false)                                                    \
  X(bool, GradientButtons, svGradientButtons, false)                                      \
  X(TcxEditGradientDirection, GradientDirection, svGradientDirection, dirDown)            \
  X(TcxEditPopupBorderStyle, PopupBorderStyle, svPopupBorderStyle, epbsDefault)

// Reading: the style's own value, a controller's, else the fallback (the
// normal style's value for the other states).
#define TVK_EDIT_STYLE_READ(Type, Name, Value, Default)                                   \
  Type TcxCustomEditStyle::Name() {                                                       \
    if (TcxCustomEditStyle* style = FindAssigned(Value)) return style->F##Name;           \
    return Fallback##Name();                                                              \
  }                                                                                       \
  Type TcxCustomEditStyle::Fallback##Name() {                                             \
    if (State() == csNormal || DirectAccessMode()) return Default;                        \
    return BaseStyle()->Name();                                                           \
  }
TVK_EDIT_STYLE_VALUES(TVK_EDIT_STYLE_READ)
#undef TVK_EDIT_STYLE_READ

template <class T>
void TcxCustomEditStyle::Write(T TcxCustomEditStyle::*AField, TcxContainerStyleValue AValue, T ANewValue) {
  // Only the button style belongs to each state style.
  TcxCustomEditStyle* target = AValue == svButtonStyle ? this : BaseStyle();
  if (target->OwnAssigned(AValue) && target->*AField == ANewValue) return;
  target->*AField = ANewValue;
  target->Assigned(AValue);
  target->NotifyStyleChanged();
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle AValue) {
  Write(&TcxCustomEditStyle::FButtonStyle, svButtonStyle, AValue);
}
void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency AValue) {
  Write(&TcxCustomEditStyle::FButtonTransparency, svButtonTransparency, AValue);
}
void TcxCustomEditStyle::SetGradient(bool AValue) { Write(&TcxCustomEditStyle::FGradient, svGradient, AValue); }
void TcxCustomEditStyle::SetGradientButtons(bool AValue) {
  Write(&TcxCustomEditStyle::FGradientButtons, svGradientButtons, AValue);
}
void TcxCustomEditStyle::SetGradientDirection(TcxEditGradientDirection AValue) {
  Write(&TcxCustomEditStyle::FGradientDirection, svGradientDirection, AValue);
}
void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle AValue) {
  Write(&TcxCustomEditStyle::FPopupBorderStyle, svPopupBorderStyle, AValue);
}

bool TcxCustomEditStyle::IsInplaceOwner() {
  TcxContainerStyleHost* host = Container();
  return host && host->IsInplace();
}

TcxStyleController* TcxCustomEditStyle::FallbackStyleController() {
  if (DirectAccessMode() || IsInplaceOwner()) return nullptr;
  return gDefaultEditStyleController;
}

TcxContainerStyleValues TcxCustomEditStyle::HiddenExtendedStyleValues() {
  return TcxContainerStyle::HiddenExtendedStyleValues() | kEditBaseOnlyValues;
}

void TcxCustomEditStyle::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxCustomEditStyle*>(&Source);
  if (!source) {
    TcxContainerStyle::Assign(Source);
    return;
  }
  BeginUpdate();
  struct TEnd {
    TcxCustomEditStyle& Style;
    ~TEnd() { Style.EndUpdate(); }
  } end{*this};
  FButtonStyle = source->FButtonStyle;
  FButtonTransparency = source->FButtonTransparency;
  FGradient = source->FGradient;
  FGradientButtons = source->FGradientButtons;
  FGradientDirection = source->FGradientDirection;
  FPopupBorderStyle = source->FPopupBorderStyle;
  FPopupCloseButton = source->FPopupCloseButton;
  TcxContainerStyle::Assign(Source);
  NotifyStyleChanged();
}

void TcxCustomEditStyle::Init(const TcxViewParams& AParams) {
  BeginUpdate();
  struct TEnd {
    TcxCustomEditStyle& Style;
    ~TEnd() { Style.EndUpdate(); }
  } end{*this};
  SetColor(AParams.Color);
  SetFont(AParams.Font);
  SetTextColor(AParams.TextColor);
}

void TcxCustomEditStyle::DefineProperties(TFiler& AFiler) {
  TcxContainerStyle::DefineProperties(AFiler);
  // Each value as this style's own field with its bit, when stored.
  struct TStreamedValue {
    TcxContainerStyleValue Value;
    bool IsBoolean;
    int32_t Max;
    int32_t (*Get)(TcxCustomEditStyle&);
    void (*Set)(TcxCustomEditStyle&, int32_t);
  };
  static constexpr TStreamedValue kStreamedValues[] = {
      {svButtonStyle, false, btsOffice11, [](TcxCustomEditStyle& s) { return int32_t(s.FButtonStyle); },
       [](TcxCustomEditStyle& s, int32_t v) { s.FButtonStyle = TcxEditButtonStyle(v); }},
      {svButtonTransparency, false, ebtHideUnselected, [](TcxCustomEditStyle& s) { return int32_t(s.FButtonTransparency); },
       [](TcxCustomEditStyle& s, int32_t v) { s.FButtonTransparency = TcxEditButtonTransparency(v); }},
      {svPopupBorderStyle, false, epbsFlat, [](TcxCustomEditStyle& s) { return int32_t(s.FPopupBorderStyle); },
       [](TcxCustomEditStyle& s, int32_t v) { s.FPopupBorderStyle = TcxEditPopupBorderStyle(v); }},
      {svGradientButtons, true, 1, [](TcxCustomEditStyle& s) { return int32_t(s.FGradientButtons); },
       [](TcxCustomEditStyle& s, int32_t v) { s.FGradientButtons = v != 0; }},
      {svGradient, true, 1, [](TcxCustomEditStyle& s) { return int32_t(s.FGradient); },
       [](TcxCustomEditStyle& s, int32_t v) { s.FGradient = v != 0; }},
      {svGradientDirection, false, dirDown, [](TcxCustomEditStyle& s) { return int32_t(s.FGradientDirection); },
       [](TcxCustomEditStyle& s, int32_t v) { s.FGradientDirection = TcxEditGradientDirection(v); }},
  };
  for (const TStreamedValue& entry : kStreamedValues) {
    WideString name;
    GetStyleValueName(entry.Value, name);
    const int32_t min = entry.Value == svGradientDirection ? dirLeft : 0;
    DefineStreamedValue(
        AFiler, name, entry.Value, entry.IsBoolean, min, entry.Max, [this, &entry] { return entry.Get(*this); },
        [this, &entry](int32_t v) { entry.Set(*this, v); });
  }
}

// ---- TcxEditStyleController

TcxEditStyleController::TcxEditStyleController(TComponent* AOwner)
    : TcxStyleController(AOwner, ContainerStyleClassOf<TcxEditStyle>()) {}

}  // namespace tvk
