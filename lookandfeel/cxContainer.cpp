#include "cxContainer.h"

#include "Files.h"

#include <algorithm>
#include <array>

namespace tvk {

TcxStyleController* ContainerDefaultStyleController = nullptr;

namespace {

constexpr std::array<const wchar_t*, 10> kContainerStyleValueNames = {
    L"BorderColor", L"BorderStyle", L"Color", L"Edges", L"Font", L"HotTrack", L"Shadow", L"TextColor", L"TextStyle",
    L"TransparentBorder"};

// The values that exist on the normal style only.
constexpr TcxContainerStyleValues kContainerBaseOnlyValues =
    cxStyleValueBit(svEdges) | cxStyleValueBit(svFont) | cxStyleValueBit(svHotTrack) | cxStyleValueBit(svShadow) |
    cxStyleValueBit(svTransparentBorder);

// A focused or hot style's border when the normal style hot-tracks, by the
// normal style's border; normal and disabled rows keep it.
constexpr TcxContainerBorderStyle kContainerStateBorderStyles[4][7] = {
    {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11},
    {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11},
    {cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11},
    {cbsFlat, cbsThick, cbsThick, cbs3D, cbs3D, cbsUltraFlat, cbsOffice11}};

constexpr TcxContainerBorderStyle kContainerKindBorderStyles[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};

}  // namespace

// ---- TcxContainerStyle

TcxContainerStyle::TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                     TcxContainerStateItem AState)
    : TcxInterfacedPersistent(AOwner), FDirectAccessMode(ADirectAccessMode), FState(AState) {
  if (AState != csNormal) FParentStyle = AParentStyle;
  if (ADirectAccessMode) FAssignedValues = cxDirectAccessAssignedValues;
  if (AState == csNormal && !ADirectAccessMode) {
    FOwnFont = std::make_unique<TFont>();
    FOwnFont->OnChange = [this](TObject*) { FontChangeHandler(); };
    StyleData.Font = FOwnFont.get();
  }
  FVisibleFont = std::make_unique<TFont>();
  if (AState == csNormal) {
    FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
    FLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) { NotifyStyleChanged(); };
    SetStyleController(FallbackStyleController());
  }
}

TcxContainerStyle::~TcxContainerStyle() {
  FIsDestroying = true;
  if (FState == csNormal && FStyleController) FStyleController->RemoveStyleListener(this);
  FLookAndFeel.reset();
  FVisibleFont.reset();
  FOwnFont.reset();
}

TcxStyleController* TcxContainerStyle::FallbackStyleController() { return ContainerDefaultStyleController; }

TcxContainerStyleHost* TcxContainerStyle::Container() {
  return dynamic_cast<TcxContainerStyleHost*>(BaseStyle()->Owner());
}

void TcxContainerStyle::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  FlushChanges();
}

void TcxContainerStyle::NotifyStyleChanged() {
  FModified = true;
  FlushChanges();
}

void TcxContainerStyle::FlushChanges() {
  if (!FModified || FUpdateCount > 0 || FIsDestroying || FDirectAccessMode) return;
  FModified = false;
  if (OnChanged) OnChanged(this);
}

bool TcxContainerStyle::GetStyleValueName(TcxContainerStyleValue AValue, WideString& AName) {
  const bool known = AValue >= 0 && AValue < int(kContainerStyleValueNames.size());
  AName = known ? WideString(kContainerStyleValueNames[AValue]) : WideString();
  return known;
}

bool TcxContainerStyle::GetStyleValue(const WideString& APropertyName, TcxContainerStyleValue& AValue) {
  WideString name;
  for (int i = 0; i < GetStyleValueCount(); ++i)
    if (GetStyleValueName(i, name) && SameTextIgnoringCase(name, APropertyName)) {
      AValue = i;
      return true;
    }
  return false;
}

TcxContainerStyleValues TcxContainerStyle::HiddenExtendedStyleValues() { return kContainerBaseOnlyValues; }

bool TcxContainerStyle::IsExtendedStylePropertyPublished(const WideString& APropertyName) {
  if (SameTextIgnoringCase(APropertyName, L"LookAndFeel") || SameTextIgnoringCase(APropertyName, L"StyleController")) return false;
  TcxContainerStyleValue value = 0;
  if (!GetStyleValue(APropertyName, value)) return true;
  return (HiddenExtendedStyleValues() & cxStyleValueBit(value)) == 0;
}

TcxContainerStyle* TcxContainerStyle::ControllerStyle() {
  TcxStyleController* controller = ActiveStyleController();
  return controller ? controller->Styles().GetStyleByState(FState) : nullptr;
}

template <class T, class F>
bool TcxContainerStyle::FindAssigned(TcxContainerStyleValue AValue, F AOwn, T& AResult) {
  for (TcxContainerStyle* style = this; style; style = style->ControllerStyle()) {
    TcxContainerStyle* holder = (kContainerBaseOnlyValues & cxStyleValueBit(AValue)) ? style->BaseStyle() : style;
    if (holder->Has(AValue)) {
      AResult = AOwn(holder);
      return true;
    }
    if (style->ControllerStyle() == style) break;
  }
  return false;
}

bool TcxContainerStyle::IsValueAssigned(TcxContainerStyleValue AValue) {
  if (FDirectAccessMode) return AValue >= 0 && AValue < GetStyleValueCount();
  if (AValue == svTransparentBorder) return BaseStyle()->Has(svTransparentBorder);
  if (AValue < 0 || AValue > svTextStyle) return false;
  int unused = 0;
  return FindAssigned(AValue, [](TcxContainerStyle*) { return 0; }, unused);
}

TColor TcxContainerStyle::BorderColor() {
  if (FDirectAccessMode) return clDefault;
  TColor result = clDefault;
  if (FindAssigned(svBorderColor, [](TcxContainerStyle* s) { return s->FBorderColor; }, result)) return result;
  return FallbackBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyle() {
  if (FDirectAccessMode) return Has(svBorderStyle) ? FBorderStyle : FallbackBorderStyle();
  TcxContainerBorderStyle result = cbsNone;
  if (FindAssigned(svBorderStyle, [](TcxContainerStyle* s) { return s->FBorderStyle; }, result)) return result;
  return FallbackBorderStyle();
}

TColor TcxContainerStyle::Color() {
  if (FDirectAccessMode) return StyleData.Color;
  TcxContainerStyleHost* host = FState == csNormal ? Container() : nullptr;
  TColor parent = clDefault;
  if (host && host->ParentColor() && host->GetParentColor(parent)) return parent;
  TColor result = clDefault;
  if (FindAssigned(svColor, [](TcxContainerStyle* s) { return s->StyleData.Color; }, result)) return result;
  return FallbackColor();
}

TColor TcxContainerStyle::ResolveColor() {
  if (FDirectAccessMode) return StyleData.Color;
  TColor result = clDefault;
  if (FindAssigned(svColor, [](TcxContainerStyle* s) { return s->StyleData.Color; }, result)) return result;
  TcxContainerStyleHost* host = FState == csNormal ? Container() : nullptr;
  if (host && !host->IsInplace() && host->ParentColor() && host->GetParentColor(result)) return result;
  return FallbackColor();
}

TcxBorders TcxContainerStyle::Edges() {
  if (FDirectAccessMode) return 0;
  TcxBorders result = 0;
  if (FindAssigned(svEdges, [](TcxContainerStyle* s) { return s->FEdges; }, result)) return result;
  return BaseStyle()->FallbackEdges();
}

TFont* TcxContainerStyle::Font() {
  if (FDirectAccessMode) return StyleData.Font;
  return BaseStyle()->FOwnFont.get();
}

bool TcxContainerStyle::HotTrack() {
  if (FDirectAccessMode) return Has(svHotTrack) ? FHotTrack : FallbackHotTrack();
  bool result = false;
  if (FindAssigned(svHotTrack, [](TcxContainerStyle* s) { return s->FHotTrack; }, result)) return result;
  return BaseStyle()->FallbackHotTrack();
}

bool TcxContainerStyle::Shadow() {
  if (FDirectAccessMode) return false;
  bool result = false;
  if (FindAssigned(svShadow, [](TcxContainerStyle* s) { return s->FShadow; }, result)) return result;
  return BaseStyle()->FallbackShadow();
}

TColor TcxContainerStyle::TextColor() {
  if (FDirectAccessMode) return StyleData.FontColor;
  TColor result = clDefault;
  if (FindAssigned(svTextColor, [](TcxContainerStyle* s) { return s->StyleData.FontColor; }, result)) return result;
  return FallbackTextColor();
}

TFontStyles TcxContainerStyle::TextStyle() {
  if (FDirectAccessMode) return StyleData.Font ? StyleData.Font->Style() : 0;
  TFontStyles result = 0;
  if (FindAssigned(svTextStyle, [](TcxContainerStyle* s) { return s->FTextStyle; }, result)) return result;
  return FallbackTextStyle();
}

bool TcxContainerStyle::TransparentBorder() {
  if (FDirectAccessMode) return true;
  bool result = false;
  if (FindAssigned(svTransparentBorder, [](TcxContainerStyle* s) { return s->FTransparentBorder; }, result))
    return result;
  return BaseStyle()->FallbackTransparentBorder();
}

TFont* TcxContainerStyle::GetVisibleFont() {
  if (TFont* font = Font()) FVisibleFont->Assign(*font);
  FVisibleFont->SetColor(TextColor());
  FVisibleFont->SetStyle(TextStyle());
  return FVisibleFont.get();
}

// ---- Fallbacks

TColor TcxContainerStyle::FallbackBorderColor() {
  switch (FState) {
    case csNormal: return TColor(kSystemColor | COLOR_WINDOWFRAME);
    case csDisabled: return clBtnShadow;
    default: return BaseStyle()->BorderColor();
  }
}

TcxContainerBorderStyle TcxContainerStyle::FallbackBorderStyle() {
  if (FState == csNormal) {
    TcxLookAndFeel* lookAndFeel = LookAndFeel();
    return lookAndFeel ? kContainerKindBorderStyles[lookAndFeel->Kind()] : cbs3D;
  }
  const TcxContainerBorderStyle base = BaseStyle()->BorderStyle();
  if (FState == csDisabled || !BaseStyle()->HotTrack()) return base;
  return kContainerStateBorderStyles[FState][base];
}

TColor TcxContainerStyle::FallbackColor() {
  TcxContainerStyleHost* host = Container();
  const bool parentColored = !host || host->UsesParentColorByDefault();
  switch (FState) {
    case csNormal: return parentColored ? clBtnFace : clWindow;
    case csDisabled: return parentColored ? BaseStyle()->Color() : clBtnFace;
    default: return BaseStyle()->Color();
  }
}

TColor TcxContainerStyle::FallbackTextColor() {
  switch (FState) {
    case csNormal: return FOwnFont ? FOwnFont->Color() : clWindowText;
    case csDisabled: return clBtnShadow;
    default: return BaseStyle()->TextColor();
  }
}

TFontStyles TcxContainerStyle::FallbackTextStyle() {
  if (FState == csNormal) return FOwnFont ? FOwnFont->Style() : 0;
  return BaseStyle()->TextStyle();
}

// ---- Writing

void TcxContainerStyle::SetBorderColor(TColor AValue) {
  if (Has(svBorderColor) && FBorderColor == AValue) return;
  FBorderColor = AValue;
  Assigned(svBorderColor);
  NotifyStyleChanged();
}

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle AValue) {
  if (Has(svBorderStyle) && FBorderStyle == AValue) return;
  FBorderStyle = AValue;
  Assigned(svBorderStyle);
  NotifyStyleChanged();
}

void TcxContainerStyle::SetColor(TColor AValue) {
  if (Has(svColor) && StyleData.Color == AValue) return;
  StyleData.Color = AValue;
  Assigned(svColor);
  NotifyStyleChanged();
}

void TcxContainerStyle::SetTextColor(TColor AValue) {
  if (Has(svTextColor) && TextColor() == AValue) return;
  StyleData.FontColor = AValue;
  Assigned(svTextColor);
  NotifyStyleChanged();
}

void TcxContainerStyle::SetTextStyle(TFontStyles AValue) {
  if (Has(svTextStyle) && TextStyle() == AValue) return;
  FTextStyle = AValue;
  Assigned(svTextStyle);
  NotifyStyleChanged();
}

void TcxContainerStyle::SetEdges(TcxBorders AValue) {
  TcxContainerStyle* base = BaseStyle();
  if (base->Has(svEdges) && base->FEdges == AValue) return;
  base->FEdges = AValue;
  base->Assigned(svEdges);
  base->NotifyStyleChanged();
}

void TcxContainerStyle::SetHotTrack(bool AValue) {
  TcxContainerStyle* base = BaseStyle();
  if (base->Has(svHotTrack) && base->FHotTrack == AValue) return;
  base->FHotTrack = AValue;
  base->Assigned(svHotTrack);
  base->NotifyStyleChanged();
}

void TcxContainerStyle::SetShadow(bool AValue) {
  TcxContainerStyle* base = BaseStyle();
  if (base->Has(svShadow) && base->FShadow == AValue) return;
  base->FShadow = AValue;
  base->Assigned(svShadow);
  base->NotifyStyleChanged();
}

void TcxContainerStyle::SetTransparentBorder(bool AValue) {
  TcxContainerStyle* base = BaseStyle();
  if (base->Has(svTransparentBorder) && base->FTransparentBorder == AValue) return;
  base->FTransparentBorder = AValue;
  base->Assigned(svTransparentBorder);
  base->NotifyStyleChanged();
}

void TcxContainerStyle::SetFont(TFont* AValue) {
  if (FDirectAccessMode) {
    StyleData.Font = AValue;
    return;
  }
  TcxContainerStyle* base = BaseStyle();
  if (!AValue || !base->FOwnFont) return;
  // The font's change event marks the font as assigned and reports it.
  base->FOwnFont->Assign(*AValue);
  base->Assigned(svFont);
}

void TcxContainerStyle::FontChangeHandler() {
  if (FFontAssignedValueLockCount == 0) Assigned(svFont);
  NotifyStyleChanged();
}

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues AValue) {
  if (FAssignedValues == AValue) return;
  FAssignedValues = AValue;
  if (FState == csNormal) RefreshFont();
  NotifyStyleChanged();
}

void TcxContainerStyle::RefreshFont() {
  if (FState != csNormal || FDirectAccessMode || !FOwnFont || Has(svFont)) return;
  ++FFontAssignedValueLockCount;
  struct TUnlock {
    int& Count;
    ~TUnlock() { --Count; }
  } unlock{FFontAssignedValueLockCount};
  for (TcxContainerStyle* style = ControllerStyle(); style; style = style->ControllerStyle()) {
    if (style->Has(svFont) && style->FOwnFont) {
      FOwnFont->Assign(*style->FOwnFont);
      return;
    }
    if (style->ControllerStyle() == style) break;
  }
  TcxContainerStyleHost* host = Container();
  if (!host || !host->ParentFont()) FOwnFont->Assign(TFont());
}

// ---- Controllers

TcxStyleController* TcxContainerStyle::StyleController() {
  TcxStyleController* controller = ActiveStyleController();
  return controller == FallbackStyleController() ? nullptr : controller;
}

void TcxContainerStyle::SetStyleController(TcxStyleController* AValue) {
  TcxContainerStyle* base = BaseStyle();
  if (base != this) {
    base->SetStyleController(AValue);
    return;
  }
  TcxStyleController* fallback = FallbackStyleController();
  if (fallback && Owner() == fallback) return;
  if (!AValue) AValue = fallback;
  // A controller whose chain leads back to this style would never end a lookup.
  for (TcxStyleController* c = AValue; c; c = c->Style()->FStyleController) {
    if (c->Style() == this) return;
    if (c->Style()->FStyleController == c) break;
  }
  if (AValue == FStyleController) return;
  if (FStyleController) FStyleController->RemoveStyleListener(this);
  FStyleController = AValue;
  if (FStyleController) FStyleController->AddStyleListener(this);
  ControllerStyleChanged();
}

void TcxContainerStyle::ControllerStyleChanged() {
  RefreshFont();
  NotifyStyleChanged();
}

void TcxContainerStyle::ControllerDestroying(TcxStyleController* AController) {
  if (ActiveStyleController() == AController) SetStyleController(nullptr);
}

// ---- Assignment and defaults

void TcxContainerStyle::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxContainerStyle*>(&Source);
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  auto* src = const_cast<TcxContainerStyle*>(source);
  BeginUpdate();
  struct TEnd {
    TcxContainerStyle& Style;
    ~TEnd() { Style.EndUpdate(); }
  } end{*this};
  if (FState == csNormal) {
    SetStyleController(src->StyleController());
    if (FLookAndFeel && src->LookAndFeel()) FLookAndFeel->Assign(*src->LookAndFeel());
  }
  FBorderColor = src->FBorderColor;
  FBorderStyle = src->FBorderStyle;
  FEdges = src->FEdges;
  FHotTrack = src->FHotTrack;
  FShadow = src->FShadow;
  FTransparentBorder = src->FTransparentBorder;
  StyleData.Color = src->StyleData.Color;
  if (FDirectAccessMode) {
    StyleData.Font = src->Font();
    StyleData.FontColor = src->TextColor();
  } else {
    if (FOwnFont && src->Font()) {
      ++FFontAssignedValueLockCount;
      FOwnFont->Assign(*src->Font());
      if (src->FDirectAccessMode) FOwnFont->SetColor(src->TextColor());
      --FFontAssignedValueLockCount;
    }
    StyleData.FontColor = src->TextColor();
    FTextStyle = src->TextStyle();
  }
  FAssignedValues = src->FAssignedValues;
  NotifyStyleChanged();
}

void TcxContainerStyle::RestoreDefaults() {
  BeginUpdate();
  struct TEnd {
    TcxContainerStyle& Style;
    ~TEnd() { Style.EndUpdate(); }
  } end{*this};
  SetAssignedValues(0);
  if (FState != csNormal) return;
  if (FLookAndFeel) FLookAndFeel->Reset();
  TcxContainerStyleHost* host = Container();
  if (host) {
    host->SetParentColor(false);
    host->SetParentFont(true);
  } else if (!FDirectAccessMode && FOwnFont) {
    ++FFontAssignedValueLockCount;
    FOwnFont->Assign(TFont());
    --FFontAssignedValueLockCount;
  }
  if (host && host->UsesParentColorByDefault()) {
    TcxContainerStyle* controllerStyle = ControllerStyle();
    TColor unused = clDefault;
    const bool controllerColor =
        controllerStyle && controllerStyle->FindAssigned(svColor, [](TcxContainerStyle* s) { return s->StyleData.Color; }, unused);
    if (!controllerColor) host->SetParentColor(true);
  }
}

// ---- TcxContainerStyles

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner) {
  for (int state = csNormal; state <= csHotTrack; ++state)
    FStyles[state] = new TcxContainerStyle(AOwner, false, FStyles[csNormal], TcxContainerStateItem(state));
}

TcxContainerStyles::~TcxContainerStyles() {
  for (int state = csHotTrack; state >= csNormal; --state) delete std::exchange(FStyles[state], nullptr);
}

void TcxContainerStyles::SetOnChanged(const TNotifyEvent& AEvent) {
  for (TcxContainerStyle* style : FStyles) style->OnChanged = AEvent;
}

void TcxContainerStyles::RestoreDefaults() {
  for (TcxContainerStyle* style : FStyles) style->RestoreDefaults();
}

// ---- TcxStyleController

TcxStyleController::TcxStyleController(TComponent* AOwner) : TcxScalableComponent(AOwner) {
  FStyles = std::make_unique<TcxContainerStyles>(this);
  FStyles->SetOnChanged([this](TObject*) { ControllerChanged(); });
}

TcxStyleController::~TcxStyleController() {
  FIsDestruction = true;
  for (std::size_t i = FListeners.size(); i-- > 0;)
    if (i < FListeners.size()) FListeners[i]->ControllerDestroying(this);
  FStyles.reset();
  FListeners.clear();
}

void TcxStyleController::Loaded() {
  TcxScalableComponent::Loaded();
  ControllerChanged();
}

void TcxStyleController::ControllerChanged() {
  if (OnStyleChanged) OnStyleChanged(this);
  if (FIsDestruction) return;
  const std::size_t count = FListeners.size();
  for (std::size_t i = 0; i < count && i < FListeners.size(); ++i) FListeners[i]->ControllerStyleChanged();
}

void TcxStyleController::AddStyleListener(TcxContainerStyle* AStyle) {
  if (!AStyle || std::find(FListeners.begin(), FListeners.end(), AStyle) != FListeners.end()) return;
  FListeners.push_back(AStyle);
  if (AStyle->LookAndFeel()) AStyle->LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
}

void TcxStyleController::RemoveStyleListener(TcxContainerStyle* AStyle) {
  auto it = std::find(FListeners.begin(), FListeners.end(), AStyle);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  if (AStyle->LookAndFeel()) AStyle->LookAndFeel()->SetMasterLookAndFeel(nullptr);
}

void TcxStyleController::DoChangeScale(int M, int D) {
  for (int state = csNormal; state <= csHotTrack; ++state) {
    TcxContainerStyle* style = FStyles->GetStyleByState(TcxContainerStateItem(state));
    if (style->Has(svFont) && style->Font()) style->Font()->SetHeight(MulDiv(style->Font()->Height(), M, D));
  }
}

}  // namespace tvk
