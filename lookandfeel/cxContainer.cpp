#include "cxContainer.h"

#include "Files.h"
#include "Forms.h"
#include "Streams.h"
#include "Themes.h"
#include "dxOffice11.h"
#include "dxUxTheme.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <utility>

namespace tvk {

namespace {

// A counter raised for a scope (refresh and event locks).
struct TCountedLock {
  explicit TCountedLock(int& ACount) : Count(ACount) { ++Count; }
  ~TCountedLock() { --Count; }
  TCountedLock(const TCountedLock&) = delete;
  TCountedLock& operator=(const TCountedLock&) = delete;
  int& Count;
};

}  // namespace

TcxStyleController* ContainerDefaultStyleController = nullptr;

namespace {

// Fixed when compiled: the unit's shut-down has no table of names to clear.
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

bool TcxContainerStyle::GetInterface(REFIID iid, void** object) {
  if (!IsEqualGUID(iid, IID_IcxSkinSupportMarker)) return TcxInterfacedPersistent::GetInterface(iid, object);
  *object = static_cast<IUnknown*>(this);
  return true;
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

bool TcxContainerStyle::IsPropertyStored(const WideString& APropertyName) {
  if (SameTextIgnoringCase(APropertyName, L"StyleController")) return FState == csNormal && StyleController();
  TcxContainerStyleValue value = 0;
  if (!GetStyleValue(APropertyName, value)) return true;
  if (!Has(value)) return false;
  TcxContainerStyleHost* host = Container();
  return !host || host->IsStylePropertyPublished(APropertyName, FState != csNormal);
}

void TcxContainerStyle::DefineStreamedValue(TFiler& AFiler, const WideString& AName, TcxContainerStyleValue AValue,
                                            bool AIsBoolean, int32_t AMin, int32_t AMax,
                                            std::function<int32_t()> AGet, std::function<void(int32_t)> ASet) {
  AFiler.DefineProperty(
      AName,
      [this, AValue, AIsBoolean, AMin, AMax, ASet](TReader& AReader) {
        const int32_t read = AIsBoolean ? int32_t(AReader.ReadBoolean()) : AReader.ReadInteger();
        if (read < AMin || read > AMax) throw EReadError(L"Invalid property value");
        ASet(read);
        Assigned(AValue);
        NotifyStyleChanged();
      },
      [AIsBoolean, AGet](TWriter& AWriter) {
        if (AIsBoolean)
          AWriter.WriteBoolean(AGet() != 0);
        else
          AWriter.WriteInteger(AGet());
      },
      IsPropertyStored(AName));
}

void TcxContainerStyle::DefineProperties(TFiler& AFiler) {
  TcxInterfacedPersistent::DefineProperties(AFiler);
  // Each value is streamed as this style's own field with its assigned bit, so
  // a style read back holds exactly the bits it was written with.
  struct TStreamedValue {
    TcxContainerStyleValue Value;
    bool IsBoolean;
    int32_t Min, Max;
    int32_t (*Get)(TcxContainerStyle&);
    void (*Set)(TcxContainerStyle&, int32_t);
  };
  constexpr int32_t kAnyMin = std::numeric_limits<int32_t>::min(), kAnyMax = std::numeric_limits<int32_t>::max();
  static constexpr TStreamedValue kStreamedValues[] = {
      {svBorderColor, false, kAnyMin, kAnyMax, [](TcxContainerStyle& s) { return int32_t(s.FBorderColor); },
       [](TcxContainerStyle& s, int32_t v) { s.FBorderColor = TColor(v); }},
      {svBorderStyle, false, cbsNone, cbsOffice11, [](TcxContainerStyle& s) { return int32_t(s.FBorderStyle); },
       [](TcxContainerStyle& s, int32_t v) { s.FBorderStyle = TcxContainerBorderStyle(v); }},
      {svColor, false, kAnyMin, kAnyMax, [](TcxContainerStyle& s) { return int32_t(s.StyleData.Color); },
       [](TcxContainerStyle& s, int32_t v) { s.StyleData.Color = TColor(v); }},
      {svEdges, false, 0, int32_t(cxBordersAll), [](TcxContainerStyle& s) { return int32_t(s.FEdges); },
       [](TcxContainerStyle& s, int32_t v) { s.FEdges = TcxBorders(v); }},
      {svHotTrack, true, 0, 1, [](TcxContainerStyle& s) { return int32_t(s.FHotTrack); },
       [](TcxContainerStyle& s, int32_t v) { s.FHotTrack = v != 0; }},
      {svShadow, true, 0, 1, [](TcxContainerStyle& s) { return int32_t(s.FShadow); },
       [](TcxContainerStyle& s, int32_t v) { s.FShadow = v != 0; }},
      {svTextColor, false, kAnyMin, kAnyMax, [](TcxContainerStyle& s) { return int32_t(s.StyleData.FontColor); },
       [](TcxContainerStyle& s, int32_t v) { s.StyleData.FontColor = TColor(v); }},
      {svTextStyle, false, 0, fsBold | fsItalic | fsUnderline | fsStrikeOut,
       [](TcxContainerStyle& s) { return int32_t(s.FTextStyle); },
       [](TcxContainerStyle& s, int32_t v) { s.FTextStyle = TFontStyles(v); }},
      {svTransparentBorder, true, 0, 1, [](TcxContainerStyle& s) { return int32_t(s.FTransparentBorder); },
       [](TcxContainerStyle& s, int32_t v) { s.FTransparentBorder = v != 0; }},
  };
  WideString name;
  for (TcxContainerStyleValue value = 0; GetStyleValueName(value, name) && value <= svTransparentBorder; ++value) {
    if (value == svFont) {
      // Only the style that owns a font keeps one to read into.
      if (FOwnFont)
        AFiler.DefineProperty(
            name,
            [this](TReader& AReader) {
              AReader.ReadPersistent(*FOwnFont);
              Assigned(svFont);
              NotifyStyleChanged();
            },
            [this](TWriter& AWriter) { AWriter.WritePersistent(*FOwnFont); }, IsPropertyStored(name));
      continue;
    }
    const TStreamedValue& entry =
        *std::find_if(std::begin(kStreamedValues), std::end(kStreamedValues),
                      [value](const TStreamedValue& e) { return e.Value == value; });
    DefineStreamedValue(
        AFiler, name, entry.Value, entry.IsBoolean, entry.Min, entry.Max, [this, &entry] { return entry.Get(*this); },
        [this, &entry](int32_t v) { entry.Set(*this, v); });
  }
  if (FLookAndFeel)
    AFiler.DefineProperty(
        L"LookAndFeel", [this](TReader& AReader) { AReader.ReadPersistent(*FLookAndFeel); },
        [this](TWriter& AWriter) { AWriter.WritePersistent(*FLookAndFeel); }, FLookAndFeel->AssignedValues() != 0);
  AFiler.DefineProperty(
      L"StyleController",
      [this](TReader& AReader) { SetStyleController(FindStreamedStyleController(AReader.ReadString())); },
      [this](TWriter& AWriter) {
        // Without a name the reference could never be found again.
        if (StyleController()->Name().empty()) throw EWriteError(L"A style controller without a name cannot be stored");
        AWriter.WriteString(StyleController()->Name());
      },
      IsPropertyStored(L"StyleController"));
  AFiler.DefineBinaryProperty(
      L"IsFontAssigned", [this](TStream& AStream) {
        (void)AStream.ReadValue<std::uint8_t>();
        Assigned(svFont);
      },
      [](TStream& AStream) { AStream.WriteValue<std::uint8_t>(1); }, IsPropertyStored(L"Font"));
}

TcxStyleController* TcxContainerStyle::FindStreamedStyleController(const WideString& AName) {
  // A controller is a sibling of the component the style belongs to.
  auto* owner = dynamic_cast<TComponent*>(BaseStyle()->Owner());
  TComponent* root = owner ? owner->Owner() : nullptr;
  auto* controller = dynamic_cast<TcxStyleController*>(root ? root->FindComponent(AName) : nullptr);
  if (!controller) throw EReadError(L"Style controller \"" + AName + L"\" not found");
  return controller;
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
  const TCountedLock lock(FFontAssignedValueLockCount);
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

TcxContainerStyles::TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass) {
  if (!AStyleClass) AStyleClass = ContainerStyleClassOf<TcxContainerStyle>();
  for (int state = csNormal; state <= csHotTrack; ++state)
    FStyles[state] = AStyleClass->Create(AOwner, false, FStyles[csNormal], TcxContainerStateItem(state));
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

TcxStyleController::TcxStyleController(TComponent* AOwner) : TcxStyleController(AOwner, nullptr) {}

TcxStyleController::TcxStyleController(TComponent* AOwner, TcxContainerStyleClass AStyleClass)
    : TcxScalableComponent(AOwner) {
  FStyles = std::make_unique<TcxContainerStyles>(this, AStyleClass);
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

// ---- Free routines

namespace {

int gContainerRegionSets = 0;

using TGetScrollBarInfoFunc = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
TGetScrollBarInfoFunc ContainerScrollBarInfoEntry() {
  static const TGetScrollBarInfoFunc entry = reinterpret_cast<TGetScrollBarInfoFunc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetScrollBarInfo")));
  return entry;
}

bool ContainerRectEmpty(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }

// The four strips between AOuter and AInner.
std::array<RECT, 4> ContainerFrameStrips(const RECT& AOuter, const RECT& AInner) {
  return {RECT{AOuter.left, AOuter.top, AInner.left, AOuter.bottom}, RECT{AInner.left, AOuter.top, AInner.right, AInner.top},
          RECT{AInner.right, AOuter.top, AOuter.right, AOuter.bottom},
          RECT{AInner.left, AInner.bottom, AInner.right, AOuter.bottom}};
}

}  // namespace

TColor GetHotTrackBorderColor(bool AHot, bool AOffice11) {
  if (!AHot) return clBtnShadow;
  return AOffice11 ? Office11SchemeColor(22) : clHighlight;
}

int GetStandardContainerBorderWidth(TcxContainerBorderStyle ABorderStyle) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  TcxCustomLookAndFeelPainter* painter = manager ? manager->GetPainter(lfsStandard) : nullptr;
  return painter ? painter->GetContainerBorderWidth(ABorderStyle) : 0;
}

void ShrinkRectOutsideEdges(RECT& R, int AWidth, TcxBorders AEdges) {
  if (!(AEdges & bLeft)) R.left += AWidth;
  if (!(AEdges & bTop)) R.top += AWidth;
  if (!(AEdges & bRight)) R.right -= AWidth;
  if (!(AEdges & bBottom)) R.bottom -= AWidth;
}

void PaintContainerShadow(TcxCanvas& ACanvas, const RECT& R) {
  const int w = cxContainerShadowWidth;
  for (const RECT strip : {RECT{R.left + w, R.bottom, R.right, R.bottom + w}, RECT{R.right, R.top + w, R.right + w, R.bottom + w}}) {
    RECT r = strip;
    ACanvas.FillRect(r, clBtnShadow);
    ACanvas.ExcludeClipRect(strip);
  }
}

void FillRectFrame(TcxCanvas& ACanvas, const RECT& AOuter, const RECT& AInner, TColor AColor) {
  if (ContainerRectEmpty(AOuter) || EqualRect(&AOuter, &AInner)) return;
  if (ContainerRectEmpty(AInner)) {
    RECT r = AOuter;
    ACanvas.FillRect(r, AColor);
    return;
  }
  for (RECT strip : ContainerFrameStrips(AOuter, AInner))
    if (!ContainerRectEmpty(strip)) ACanvas.FillRect(strip, AColor);
}

void InvalidateRectFrame(HWND AWnd, const RECT& AOuter, const RECT& AInner, bool AErase) {
  if (ContainerRectEmpty(AOuter) || EqualRect(&AOuter, &AInner)) return;
  if (ContainerRectEmpty(AInner)) {
    InvalidateRect(AWnd, &AOuter, AErase);
    return;
  }
  for (const RECT& strip : ContainerFrameStrips(AOuter, AInner))
    if (!ContainerRectEmpty(strip)) InvalidateRect(AWnd, &strip, AErase);
}

TcxRegion* BuildShadowRegion(const RECT& ABounds, const RECT& AExtent, const RECT& AExcluded, bool AShadow,
                             bool ANativeBorder) {
  if (!AShadow || ANativeBorder) return nullptr;
  auto* region = new TcxRegion(CreateRectRgnIndirect(&ABounds));
  RECT moved = ABounds;
  OffsetRect(&moved, cxContainerShadowWidth, cxContainerShadowWidth);
  moved.left += AExtent.left;
  moved.top += AExtent.top;
  moved.right -= AExtent.right;
  moved.bottom -= AExtent.bottom;
  HRGN shadow = CreateRectRgnIndirect(&moved);
  CombineRgn(region->Handle(), region->Handle(), shadow, RGN_OR);
  DeleteObject(shadow);
  if (!ContainerRectEmpty(AExcluded)) {
    HRGN excluded = CreateRectRgnIndirect(&AExcluded);
    CombineRgn(region->Handle(), region->Handle(), excluded, RGN_DIFF);
    DeleteObject(excluded);
  }
  return region;
}

void AssignRegionToWindow(HWND AWnd, TcxRegion* ARegion) {
  std::unique_ptr<TcxRegion> region(ARegion);
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(AWnd, current);
  bool differs = false;
  if (region || kind == COMPLEXREGION || kind == SIMPLEREGION) {
    if (!region || !(kind == COMPLEXREGION || kind == SIMPLEREGION))
      differs = true;
    else
      differs = !EqualRgn(current, region->Handle());
  }
  DeleteObject(current);
  if (!differs) return;
  HRGN handle = nullptr;
  if (region) {
    handle = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(handle, region->Handle(), nullptr, RGN_COPY);
  }
  ++gContainerRegionSets;
  if (!SetWindowRgn(AWnd, handle, TRUE) && handle) DeleteObject(handle);
}

void ApplyInnerControlRegion(TWinControl* AControl, const TcxContainerInnerControlBounds& APart) {
  if (!AControl || !AControl->HandleAllocated()) return;
  HRGN region = APart.IsEmpty ? nullptr : CreateRectRgnIndirect(&APart.Rect);
  ++gContainerRegionSets;
  // The window owns a region it took; one it refused is ours to delete.
  if (!SetWindowRgn(AControl->Handle(), region, TRUE) && region) DeleteObject(region);
}

int cxContainerWindowRegionSetCount() { return gContainerRegionSets; }

bool IsScrollBarInfoAvailable() { return ContainerScrollBarInfoEntry() != nullptr; }

bool QueryScrollBarInfo(HWND AWnd, LONG AObjectId, SCROLLBARINFO& AInfo) {
  TGetScrollBarInfoFunc entry = ContainerScrollBarInfoEntry();
  AInfo.cbSize = sizeof(SCROLLBARINFO);
  return entry && entry(AWnd, AObjectId, &AInfo);
}

HWND GetTopLevelAncestor(HWND AWnd) {
  while (AWnd && (GetWindowLongPtrW(AWnd, GWL_STYLE) & WS_CHILD)) AWnd = GetParent(AWnd);
  return AWnd;
}

RECT GetControlSizeRect(TControl* AControl) { return {0, 0, AControl->Width(), AControl->Height()}; }

bool CompareStringsCase(std::wstring_view S1, std::wstring_view S2, bool ACaseSensitive) {
  if (!ACaseSensitive) return UpperCaseText(S1) == UpperCaseText(S2);
  return CompareStringW(LOCALE_USER_DEFAULT, 0, S1.data(), int(S1.size()), S2.data(), int(S2.size())) == CSTR_EQUAL;
}

bool IsWindowVisibleControl(TWinControl* AControl) {
  return AControl->HandleAllocated() && IsWindowVisible(AControl->Handle());
}

// ---- TcxContainerViewInfo

void TcxContainerViewInfo::DrawBorder(TcxCanvas& ACanvas, const RECT& R) {
  if (Painter) Painter->DrawContainerBorder(ACanvas, R, BorderStyle, BorderWidth, BorderColor, Edges);
}

void TcxContainerViewInfo::Assign(TObject* ASource) {
  if (auto* source = dynamic_cast<TcxContainerViewInfo*>(ASource)) ClientRect = source->ClientRect;
}

std::unique_ptr<TcxRegion> TcxContainerViewInfo::GetUpdateRegion(TcxContainerViewInfo*) {
  return std::make_unique<TcxRegion>();
}

void TcxContainerViewInfo::Offset(int DX, int DY) {
  OffsetRect(&BorderRect, DX, DY);
  OffsetRect(&Bounds, DX, DY);
  OffsetRect(&ClientRect, DX, DY);
}

void TcxContainerViewInfo::UpdateStyle(TcxContainerStyle* AStyle) {
  TcxLookAndFeel* lookAndFeel = AStyle->LookAndFeel();
  Painter = lookAndFeel ? lookAndFeel->Painter() : nullptr;
  UseSkins = lookAndFeel && lookAndFeel->SkinPainter();
}

void TcxContainerViewInfo::InternalDrawBackground(TcxCanvas& ACanvas) {
  if (NativeStyle) {
    DrawNativeBackground(ACanvas);
    return;
  }
  RECT r = BorderRect;
  r.left -= BorderWidth;
  r.top -= BorderWidth;
  if (Edges & bRight) r.right += BorderWidth;
  if (Edges & bBottom) r.bottom += BorderWidth;
  if (Shadow) PaintContainerShadow(ACanvas, r);
  if (!(Edges & bRight)) r.right += BorderWidth;
  if (!(Edges & bBottom)) r.bottom += BorderWidth;
  DrawBorder(ACanvas, r);
  RECT inner = BorderRect;
  ACanvas.FillRect(inner, FBackgroundColor);
}

namespace {

constexpr int kThemeBorderColorProp = 3801;  // TMT_BORDERCOLOR
constexpr int kThemeFillColorProp = 3802;    // TMT_FILLCOLOR

// The frame colour of a themed container: the list box's under desktop
// composition, the combo box's otherwise; clBtnShadow when the theme has none.
TColor NativeContainerFrameColor() {
  const bool composed = cxControlSystemQueries().CompositionOn();
  HTHEME theme = GetThemeHandleForType(composed ? totListBox : totComboBox);
  COLORREF color = 0;
  if (theme && SUCCEEDED(GetThemeColor(theme, composed ? 3 : 1, 1, kThemeBorderColorProp, color))) return TColor(color);
  return clBtnShadow;
}

}  // namespace

void TcxContainerViewInfo::DrawNativeBackground(TcxCanvas& ACanvas) {
  if (BorderStyle == cbsNone) {
    ACanvas.FillRect(Bounds, FBackgroundColor);
    return;
  }
  RECT content = Bounds;
  if (HTHEME theme = GetThemeHandleForType(ThemedObjectType))
    if (FAILED(GetThemeBackgroundContentRect(theme, ACanvas.Handle(), 1, NativeState, Bounds, content))) content = Bounds;
  ACanvas.FillRect(content, FBackgroundColor);
  FillRectFrame(ACanvas, Bounds, content, NativeContainerFrameColor());
}

// ---- TcxContainer

TcxContainer::TcxContainer(TComponent* AOwner) : TcxContainer(AOwner, nullptr, nullptr) {}

TcxContainer::TcxContainer(TComponent* AOwner, TcxContainerStyleClass AStyleClass,
                           std::unique_ptr<TcxContainerViewInfo> AViewInfo)
    : TcxControl(AOwner) {
  FStyles = std::make_unique<TcxContainerStyles>(this, AStyleClass);
  FStyles->SetOnChanged([this](TObject* AStyle) { ContainerStyleChanged(AStyle); });
  FActiveStyle = FStyles->Style();
  FViewInfo = AViewInfo ? std::move(AViewInfo) : std::make_unique<TcxContainerViewInfo>();
  LookAndFeel()->SetMasterLookAndFeel(Style()->LookAndFeel());
  SetControlStyle(ControlStyle() | csCaptureMouse | csSetCaption);
  SetTabStop(true);
  SetParentColor(UsesParentColorByDefault() && !IsInplace() && !Style()->IsValueAssigned(svColor));
  if (!ParentColor()) TControl::SetColor(clWindow);
  ClearSavedChildControlRegions();
  FIsCreating = false;
}

TcxContainer::~TcxContainer() {
  EndMouseTracking(this);
  if (FInnerControl) std::exchange(FInnerControl, nullptr)->RemoveFreeNotification(this);
  FViewInfo.reset();
  FStyles->SetOnChanged(nullptr);
  FStyles.reset();
}

void TcxContainer::SetInnerControl(TWinControl* AValue) {
  if (FInnerControl == AValue) return;
  if (FInnerControl) FInnerControl->RemoveFreeNotification(this);
  FInnerControl = AValue;
  if (FInnerControl) FInnerControl->FreeNotification(this);
  // The new inner control's window may carry a region from before.
  ClearSavedChildControlRegions();
  if (HandleAllocated() && !(ComponentState() & csDestroying)) ShortRefreshContainer(false);
}

void TcxContainer::Notification(TComponent* AComponent, TOperation AOperation) {
  TcxControl::Notification(AComponent, AOperation);
  if (AOperation == TOperation::opRemove && AComponent == FInnerControl) FInnerControl = nullptr;
}

bool TcxContainer::GetParentColor(TColor& AColor) {
  if (!Parent()) return false;
  AColor = Parent()->Color();
  return true;
}

void TcxContainer::DefineProperties(TFiler& AFiler) {
  TcxControl::DefineProperties(AFiler);
  static constexpr std::pair<const wchar_t*, TcxContainerStateItem> kStreamedStyles[] = {
      {L"Style", csNormal}, {L"StyleDisabled", csDisabled}, {L"StyleFocused", csActive}, {L"StyleHot", csHotTrack}};
  for (const auto& [name, state] : kStreamedStyles) {
    TcxContainerStyle* style = FStyles->GetStyleByState(state);
    AFiler.DefineProperty(
        name, [style](TReader& AReader) { AReader.ReadPersistent(*style); },
        [style](TWriter& AWriter) { AWriter.WritePersistent(*style); }, true);
  }
}

bool TcxContainer::IsStylePropertyPublished(const WideString& AName, bool AExtended) {
  // The focused, disabled and hot styles show only their own values.
  return !AExtended || StyleHot()->IsExtendedStylePropertyPublished(AName);
}

bool TcxContainer::IsContainerFocused() { return HandleAllocated() && Focused(); }

bool TcxContainer::Focused() const {
  if (ComponentState() & csDesigning) return false;
  return TcxControl::Focused() || (FInnerControl && FInnerControl->Focused());
}

void TcxContainer::SetFocus() {
  if ((ComponentState() & csDesigning) || Focused()) return;
  TcxControl::SetFocus();
  if (HasInnerControlHandle() && HandleAllocated() && GetFocus() == Handle()) {
    FocusInnerControl();
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
  }
}

void TcxContainer::FocusInnerControl() { FInnerControl->SetFocus(); }

void TcxContainer::Invalidate() {
  TcxControl::Invalidate();
  if (FInnerControl) FInnerControl->Invalidate();
}

void TcxContainer::Update() {
  TcxControl::Update();
  if (FInnerControl) FInnerControl->Update();
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  {
    const TCountedLock lock(FRefreshLockCount);
    PlaceInnerControl();
  }
  ContainerStyleChanged(Style());
}

bool TcxContainer::CanFocusOnClick() {
  return TcxControl::CanFocusOnClick() && !(HasInnerControlHandle() && FInnerControl->Focused()) &&
         !FInnerControlMouseDown;
}

bool TcxContainer::MayFocus() { return !FInnerControl || !FInnerControl->Focused(); }

void TcxContainer::LockAlignControls(bool ALock) {
  if (ALock)
    ++FLockAlignControlsCount;
  else if (FLockAlignControlsCount > 0)
    --FLockAlignControlsCount;
}

void TcxContainer::LockPopupMenu(bool ALock) {
  if (ALock)
    ++FPopupMenuLockCount;
  else if (FPopupMenuLockCount > 0)
    --FPopupMenuLockCount;
}

TcxContainerStyle* TcxContainer::GetStyleForState(TcxContainerState AState) {
  if (AState & cxStateBit(csDisabled)) return StyleDisabled();
  if (AState & cxStateBit(csActive)) return StyleFocused();
  if (Style()->HotTrack() && (AState & cxStateBit(csHotTrack))) return StyleHot();
  return Style();
}

TcxContainerStyle* TcxContainer::GetActiveStyle() {
  if (FViewInfo->ContainerState != FActiveState || !FActiveStyle) {
    FActiveState = FViewInfo->ContainerState;
    FActiveStyle = GetStyleForState(FActiveState);
  }
  return FActiveStyle;
}

bool TcxContainer::HasShadow() { return GetActiveStyle()->Shadow() && !IsNativeStyle(); }

bool TcxContainer::HasTransparentBorderRegion() {
  return GetActiveStyle()->TransparentBorder() && !(IsNativeStyle() && Style()->BorderStyle() != cbsNone);
}

RECT TcxContainer::GetBorderExtent() {
  TcxContainerStyle* style = GetActiveStyle();
  const int t = cxContainerTransparentBorder;
  RECT r{};
  if (style->TransparentBorder()) {
    r = {t, t, t, t};
  } else if (!style->HasBorder()) {
  } else if (IsNativeStyle()) {
    if (Style()->BorderStyle() != cbsNone) r = {t, t, t, t};
  } else {
    const int w = GetStandardContainerBorderWidth(FViewInfo->BorderStyle);
    const TcxBorders edges = style->Edges();
    r = {edges & bLeft ? w : 0, edges & bTop ? w : 0, edges & bRight ? w : 0, edges & bBottom ? w : 0};
  }
  if (HasShadow()) {
    r.right += cxContainerShadowWidth;
    r.bottom += cxContainerShadowWidth;
  }
  return r;
}

RECT TcxContainer::GetVisibleBounds() {
  RECT r{0, 0, Width(), Height()};
  if (IsInplace()) return r;
  if (FViewInfo->Shadow) {
    r.right -= cxContainerShadowWidth;
    r.bottom -= cxContainerShadowWidth;
  }
  TcxContainerStyle* normal = Style();
  const int t = cxContainerTransparentBorder;
  if (normal->HasBorder()) {
    if (IsNativeStyle() && normal->TransparentBorder() && normal->BorderStyle() == cbsNone) {
      InflateRect(&r, -t, -t);
    } else if (!IsNativeStyle() && normal->TransparentBorder()) {
      const int w = GetStandardContainerBorderWidth(FViewInfo->BorderStyle);
      InflateRect(&r, w - t, w - t);
      ShrinkRectOutsideEdges(r, w, FViewInfo->Edges);
    }
  } else if (normal->TransparentBorder()) {
    InflateRect(&r, -t, -t);
  }
  if (r.bottom < r.top) r = {r.left, 0, r.right, 0};
  return r;
}

RECT TcxContainer::GetVisibleRegionBounds() {
  RECT r = FViewInfo->Bounds;
  const RECT extent = GetBorderExtent();
  r = {r.left + extent.left, r.top + extent.top, r.right - extent.right, r.bottom - extent.bottom};
  const int w = FViewInfo->Painter ? FViewInfo->Painter->GetContainerBorderWidth(FViewInfo->BorderStyle) : 0;
  InflateRect(&r, w, w);
  ShrinkRectOutsideEdges(r, w, GetActiveStyle()->Edges());
  return r;
}

TcxContainerState TcxContainer::ComputeState(POINT P, bool AHot) {
  TcxContainerState state;
  if (!Enabled()) return cxStateBit(csDisabled);
  if (ComponentState() & csDesigning)
    state = cxStateBit(csNormal);
  else
    state = IsContainerFocused() ? cxStateBit(csActive) : cxStateBit(csNormal);
  const RECT visible = GetVisibleBounds();
  if (AHot && PtInRect(&visible, P)) state |= cxStateBit(csHotTrack);
  return state;
}

void TcxContainer::ComputeViewInfo(POINT P, bool AHot) {
  TcxContainerViewInfo& vi = *FViewInfo;
  vi.NativeStyle = IsNativeStyle();
  vi.UpdateStyle(Style());
  const int previousWidth = GetStandardContainerBorderWidth(vi.BorderStyle);
  for (int pass = 0; pass < 2; ++pass) {
    vi.ContainerState = ComputeState(P, AHot);
    TcxContainerStyle* active = GetActiveStyle();
    vi.HotState = !active->HotTrack() ? chsNoHotTrack
                  : (vi.ContainerState & (cxStateBit(csActive) | cxStateBit(csHotTrack))) ? chsSelected
                                                                                           : chsNormal;
    if (vi.NativeStyle) {
      vi.BorderStyle = Style()->BorderStyle();
    } else {
      const TcxContainerBorderStyle style = active->BorderStyle();
      // Ultra-flat and Office 2003 borders are single lines in the hot-track colour.
      vi.BorderStyle = style == cbsUltraFlat || style == cbsOffice11 ? cbsSingle : style;
    }
    if (vi.NativeStyle || GetStandardContainerBorderWidth(vi.BorderStyle) >= previousWidth) break;
  }
  if (vi.NativeStyle) {
    vi.ThemedObjectType = GetThemedObjectType();
    vi.NativePart = GetNativePart();
    vi.NativeState = GetNativeState();
  }
  vi.Bounds = {0, 0, Width(), Height()};
  const RECT extent = GetBorderExtent();
  vi.BorderRect = {extent.left, extent.top, vi.Bounds.right - extent.right, vi.Bounds.bottom - extent.bottom};
  vi.ClientRect = vi.BorderRect;
  vi.BorderWidth = vi.Painter ? vi.Painter->GetContainerBorderWidth(vi.BorderStyle) : 0;
  vi.Edges = GetActiveStyle()->Edges();
  vi.Shadow = HasShadow();
  vi.BorderColor = GetContainerBorderColor();
  vi.AssignBackgroundColor(GetBackgroundColor());
}

TColor TcxContainer::GetContainerBorderColor() {
  TcxContainerStyle* active = GetActiveStyle();
  const TcxContainerState state = FViewInfo->ContainerState;
  const bool hot = (state & cxStateBit(csActive)) || ((state & cxStateBit(csHotTrack)) && active->HotTrack()) ||
                   ((ComponentState() & csDesigning) && Enabled());
  const TColor skin = GetSkinBorderColor(hot);
  if (skin != clDefault) return skin;
  const TcxContainerBorderStyle style = active->BorderStyle();
  if (style == cbsUltraFlat || style == cbsOffice11) return GetHotTrackBorderColor(hot, style == cbsOffice11);
  return active->BorderColor();
}

TColor TcxContainer::GetBackgroundColor() {
  TColor background = clDefault, text = clDefault;
  GetSkinColors(background, text);
  if (background != clDefault) return background;
  TcxContainerStyle* active = GetActiveStyle();
  const TColor color = active->Color();
  const TcxContainerViewInfo& vi = *FViewInfo;
  if (vi.NativeStyle && (vi.ContainerState & cxStateBit(csDisabled)) && !(active->AssignedValues() & cxStyleValueBit(svColor))) {
    COLORREF fill = 0;
    if (HTHEME theme = GetThemeHandleForType(vi.ThemedObjectType))
      if (SUCCEEDED(GetThemeColor(theme, vi.NativePart, vi.NativeState, kThemeFillColorProp, fill))) return TColor(fill);
  }
  return color;
}

bool CanUseThemedDrawing(bool ANativeStyle, TdxThemedObjectType AType) {
  return ANativeStyle && GetThemeHandleForType(AType) != nullptr;
}

bool TcxContainer::IsNativeStyle() {
  TcxLookAndFeel* lookAndFeel = Style()->LookAndFeel();
  return lookAndFeel && CanUseThemedDrawing(lookAndFeel->NativeStyle(), GetThemedObjectType());
}

int TcxContainer::GetNativePart() { return Win32MajorVersion() >= 6 ? 3 : 1; }

int TcxContainer::GetNativeState() {
  const TcxContainerState state = FViewInfo->ContainerState;
  if (state & cxStateBit(csDisabled)) return 4;
  if (ShowsReadOnlyState()) return 6;
  if (state & cxStateBit(csActive)) return 5;
  if (state & cxStateBit(csHotTrack)) return 2;
  return 1;
}

int TcxContainer::GetFocusStateIndex() {
  if (!Enabled()) return 1;
  return IsContainerFocused() ? 0 : 2;
}

void TcxContainer::GetSkinColors(TColor& ABackground, TColor& AText) {
  ABackground = clDefault;
  AText = clDefault;
  if (!FViewInfo->UseSkins || !FViewInfo->Painter) return;
  TcxContainerStyle* normal = Style();
  TcxContainerStyle* active = GetActiveStyle();
  auto assigned = [&](TcxContainerStyleValue AValue) {
    return normal->IsValueAssigned(AValue) || active->IsValueAssigned(AValue);
  };
  const auto kind = TcxEditStateColorKind(GetFocusStateIndex());
  if (!assigned(svTextColor)) AText = FViewInfo->Painter->DefaultEditorTextColorEx(kind);
  if (!ParentColor() && !assigned(svColor)) ABackground = FViewInfo->Painter->DefaultEditorBackgroundColorEx(kind);
}

TColor TcxContainer::GetSkinBorderColor(bool AHot) {
  if (!FViewInfo->UseSkins || !FViewInfo->Painter) return clDefault;
  if (Style()->IsValueAssigned(svBorderColor) || GetActiveStyle()->IsValueAssigned(svBorderColor))
    return GetActiveStyle()->BorderColor();
  return FViewInfo->Painter->GetContainerBorderColor(AHot);
}

TFont* TcxContainer::GetVisibleFontWithTextColor() {
  TFont* font = GetActiveStyle()->GetVisibleFont();
  TColor background = clDefault, text = clDefault;
  GetSkinColors(background, text);
  if (font && text != clDefault) font->SetColor(text);
  return font;
}

bool TcxContainer::CanRefreshContainer() {
  return FRefreshLockCount == 0 && !FIsCreating && !(ComponentState() & csDestroying) && HandleAllocated();
}

void TcxContainer::GetTabOrderList(std::vector<TWinControl*>& AList) const {
  if (UsesStandardChildHandling()) {
    TcxControl::GetTabOrderList(AList);
    return;
  }
  auto* self = const_cast<TcxContainer*>(this);
  TCustomForm* form = GetParentForm(self);
  if (!form || !FInnerControl || form->ActiveControl() != FInnerControl || form->ActiveControl() == self ||
      !CanFocus())
    return;
  AList.push_back(FInnerControl);
  std::erase(AList, self);
}

void TcxContainer::ShortRefreshContainer(bool AIsMouseEvent) {
  POINT p{-1, -1};
  const POINT cursor = SafeGetCursorPos();
  HWND under = WindowFromPoint(cursor);
  if (HandleAllocated() && under && (under == Handle() || IsChild(Handle(), under))) p = GetMouseCursorClientPos();
  UpdateHotTrackState(p, cxmbNone, AIsMouseEvent, KeyboardShiftState());
}

TcxMouseButton MapMouseButton(TMouseButton AButton) {
  switch (AButton) {
    case TMouseButton::mbLeft: return cxmbLeft;
    case TMouseButton::mbRight: return cxmbRight;
    case TMouseButton::mbMiddle: return cxmbMiddle;
  }
  return cxmbNone;
}

void TcxContainer::UpdateHotTrackState(POINT P, TcxMouseButton AButton, bool AIsMouseEvent, TShiftState AShift) {
  FHasChanges = true;
  bool refreshed = false;
  if (CanRefreshContainer()) {
    const TCountedLock lock(FRefreshLockCount);
    FHasChanges = false;
    refreshed = RefreshContainerView(P, AButton, AIsMouseEvent, AShift);
  }
  if (AIsMouseEvent && FProcessEventsLockCount == 0 && CanRefreshContainer()) {
    const TCountedLock lock(FProcessEventsLockCount);
    AfterMouseRefresh();
  }
  FIsViewInfoCalculated = refreshed && !FHasChanges;
}

bool TcxContainer::RefreshContainerView(POINT P, TcxMouseButton, bool, TShiftState AShift) {
  const bool hot = IsPlainMouseMove(AShift) && GetActiveStyle()->HotTrack();
  ComputeViewInfo(P, hot);
  PlaceInnerControl();
  SyncInnerControlAppearance();
  UpdateWindowRegion();
  if (HandleAllocated()) {
    const RECT whole{0, 0, Width(), Height()};
    if (FInnerControl)
      InvalidateRectFrame(Handle(), whole, FViewInfo->BorderRect);
    else
      ::InvalidateRect(Handle(), &whole, FALSE);
  }
  if (FViewInfo->ContainerState & cxStateBit(csHotTrack)) BeginMouseTracking(this, Bounds(), this);
  return true;
}

void TcxContainer::InnerControlMouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  FInnerControlMouseDown = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInnerControlMouseDown};
  MouseDown(AButton, AShift, X, Y);
}

namespace {

// Holds an object link for a scope: a handler that may free the container stops when it is cleared.
struct TContainerLink {
  explicit TContainerLink(TObject* AObject) : Link(AddObjectLink(AObject)) {}
  ~TContainerLink() { RemoveObjectLink(Link); }
  TContainerLink(const TContainerLink&) = delete;
  TContainerLink& operator=(const TContainerLink&) = delete;
  bool Alive() const { return Link && Link->Ref; }
  TcxObjectLink* Link;
};

}  // namespace

void TcxContainer::MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TContainerLink link(this);
  TcxControl::MouseDown(AButton, AShift, X, Y);
  if (link.Alive() && IsMouseTracking(this)) UpdateHotTrackState({X, Y}, MapMouseButton(AButton), true, AShift);
}

void TcxContainer::MouseMove(TShiftState AShift, int X, int Y) {
  TContainerLink link(this);
  TcxControl::MouseMove(AShift, X, Y);
  if (!link.Alive()) return;
  UpdateHotTrackState({X, Y}, cxmbNone, true, AShift);
  BeginMouseTracking(this, Bounds(), this);
}

void TcxContainer::MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TContainerLink link(this);
  TcxControl::MouseUp(AButton, AShift, X, Y);
  if (link.Alive()) UpdateHotTrackState({X, Y}, MapMouseButton(AButton), true, AShift);
}

void TcxContainer::CMMouseEnter(TMessage& Message) {
  TVK_INHERITED(Message);
  if (ComponentState() & csDestroying) return;
  ShortRefreshContainer(true);
  BeginMouseTracking(this, Bounds(), this);
}

void TcxContainer::CMMouseLeave(TMessage& Message) {
  TVK_INHERITED(Message);
  if (ComponentState() & csDestroying) return;
  ShortRefreshContainer(true);
  EndMouseTracking(this);
}

// ---- Mirrored scroll bars

void TcxContainer::CheckUpdateScrollBars() {
  TcxControl::CheckUpdateScrollBars();
  SetScrollBarsParameters(false);
}

void TcxContainer::UpdateScrollBarsParameters() {
  if (!(ComponentState() & csDestroying) && HandleAllocated() && FInnerControl)
    PostMessageW(Handle(), cxContainerUpdateScrollBarsMessage, 0, 0);
}

void TcxContainer::CMUpdateScrollBars(TMessage&) { SetScrollBarsParameters(false); }

void TcxContainer::AdjustScrollBarFromInnerControl(TcxScrollBar* ABar) {
  SCROLLBARINFO info{};
  RECT bounds{};
  bool visible = GetInnerScrollBarInfo(info, ABar->Kind()) && IsScrollBarInfoVisible(info);
  if (visible) {
    ABar->SetEnabled(IsScrollBarEnabled(ABar, info));
    visible = GetScrollBarBounds(info, bounds);
    if (visible) ABar->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
  }
  SetScrollBarVisible(ABar, visible);
}

bool TcxContainer::GetInnerScrollBarInfo(SCROLLBARINFO& AInfo, TScrollBarKind AKind) {
  if ((ComponentState() & csDestroying) || !(Parent() || ParentWindow()) || !HandleAllocated() ||
      !HasInnerControlHandle())
    return false;
  return QueryScrollBarInfo(FInnerControl->Handle(), AKind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, AInfo);
}

bool TcxContainer::IsScrollBarInfoVisible(const SCROLLBARINFO& AInfo) {
  return !(AInfo.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
}

bool TcxContainer::IsScrollBarEnabled(TcxScrollBar* ABar, const SCROLLBARINFO& AInfo) {
  return ABar->Parent() && ABar->Parent()->Enabled() && !(AInfo.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

bool TcxContainer::GetScrollBarBounds(const SCROLLBARINFO& AInfo, RECT& ABounds) {
  POINT topLeft{AInfo.rcScrollBar.left, AInfo.rcScrollBar.top};
  ::ScreenToClient(Handle(), &topLeft);
  const int width = AInfo.rcScrollBar.right - AInfo.rcScrollBar.left;
  const int height = AInfo.rcScrollBar.bottom - AInfo.rcScrollBar.top;
  ABounds = {topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + height};
  return topLeft.x >= 0 && topLeft.y >= 0 && width <= Width() && height <= Height() && width > 0 && height > 0;
}

void TcxContainer::SetScrollBarVisible(TcxScrollBar* ABar, bool AVisible) {
  ABar->SetVisible(AVisible);
  if (!AVisible) return;
  ABar->SetCtl3D(false);
  if (ABar->HandleAllocated())
    SetWindowPos(ABar->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool TcxContainer::InnerControlMenuHandler(TMessage& Message) {
  if ((Message.Msg != CN_KEYDOWN && Message.Msg != CN_SYSKEYDOWN) || !IsPopupMenuShortCut(Message)) return false;
  Message.Result = 1;
  return true;
}

bool TcxContainer::InnerControlDefaultHandler(TMessage& Message) {
  return HasInnerControlHandle() && !(ComponentState() & csDestroying) && DoInnerControlDefaultHandler(Message);
}

RECT TcxContainer::GetInnerSizeGripBounds() {
  return HasInnerControlHandle() ? CalculateSizeGripBounds(FInnerControl) : RECT{};
}

RECT TcxContainer::CalculateSizeGripBounds(TWinControl* AInnerControl) {
  TcxScrollBar* h = HScrollBar();
  TcxScrollBar* v = VScrollBar();
  if (!h || !v || !h->Visible() || !v->Visible() || !AInnerControl || !AInnerControl->HandleAllocated() ||
      !HandleAllocated())
    return RECT{};
  POINT corner{v->Left(), h->Top()};
  ::ClientToScreen(Handle(), &corner);
  RECT window{};
  GetWindowRect(AInnerControl->Handle(), &window);
  const int left = corner.x - window.left, top = corner.y - window.top;
  return RECT{left, top, left + v->Width(), top + h->Height()};
}

void TcxContainer::SetScrollBarsParameters(bool AIsScrolling) {
  if (!FInnerControl || !HasScrollBars() || !HScrollBar() || (ComponentState() & csDestroying) ||
      !IsScrollBarInfoAvailable() || FScrollBarsCalculating)
    return;
  FScrollBarsCalculating = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FScrollBarsCalculating};
  for (TcxScrollBar* bar : {static_cast<TcxScrollBar*>(HScrollBar()), static_cast<TcxScrollBar*>(VScrollBar())}) {
    if (!AIsScrolling) AdjustScrollBarFromInnerControl(bar);
    if (!bar->Visible() || !HasInnerControlHandle()) continue;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(FInnerControl->Handle(), bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &si)) continue;
    if (si.nMax < int(si.nPage)) si.nPage = UINT(std::max(si.nMax, 0));
    const int page = std::min(int(si.nPage), std::max(0, si.nMax - si.nMin));
    bar->SetScrollParams(si.nMin, std::max(si.nMin, si.nMax), si.nPos, page, true);
  }
  // The grip is painted only into an inner control that knows its container.
  auto* innerControl = HasInnerControlHandle()
                           ? Supports<IcxContainerInnerControl>(FInnerControl, IID_IcxContainerInnerControl)
                           : nullptr;
  const RECT grip = innerControl ? tvk::GetSizeGripBounds(innerControl) : RECT{};
  const bool visible = !IsRectEmpty(&grip);
  if (visible && (!FSizeGripVisible || !EqualRect(&grip, &FSizeGripBounds))) {
    RECT window{};
    GetWindowRect(FInnerControl->Handle(), &window);
    HRGN region = CreateRectRgn(window.left + grip.left, window.top + grip.top, window.left + grip.right,
                                window.top + grip.bottom);
    SendMessageW(FInnerControl->Handle(), WM_NCPAINT, WPARAM(region), 0);
    DeleteObject(region);
  }
  FSizeGripVisible = visible;
  FSizeGripBounds = grip;
}

bool TcxContainer::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IID_IcxContainerActiveControl)) {
    *obj = static_cast<IcxContainerActiveControl*>(this);
    return true;
  }
  return TcxControl::GetInterface(iid, obj);
}

RECT GetSizeGripBounds(IcxContainerInnerControl* AInnerControl) {
  TcxContainer* container = AInnerControl ? AInnerControl->GetOwnerContainer() : nullptr;
  return container ? container->CalculateSizeGripBounds(AInnerControl->GetInnerControl()) : RECT{};
}

void TcxContainer::InnerMouseEnter(TControl*) {
  if (!(ComponentState() & csDestroying)) ShortRefreshContainer(true);
}

void TcxContainer::InnerMouseLeave(TControl*) {
  if (!(ComponentState() & csDestroying)) ShortRefreshContainer(true);
}

void TcxContainer::FillSizeGripArea(TcxCanvas& ACanvas, const RECT& R) {
  ACanvas.FillRect(R, LookAndFeelPainter()->DefaultSizeGripAreaColor());
}

void TcxContainer::MouseLeave() {
  EndMouseTracking(this);
  ShortRefreshContainer(true);
}

void TcxContainer::PlaceInnerControl() {
  if (!FInnerControl) return;
  const RECT& r = FViewInfo->ClientRect;
  const RECT now = FInnerControl->BoundsRect();
  if (!EqualRect(&now, &r)) FInnerControl->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TcxContainer::SyncInnerControlAppearance() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->BackgroundColor());
  if (TFont* font = GetVisibleFontWithTextColor()) FInnerControl->Font().Assign(*font);
}

TcxRegion* TcxContainer::CreateWindowRegion() {
  const RECT bounds = GetVisibleRegionBounds();
  TcxRegion* region = BuildShadowRegion(bounds, GetShadowBoundsExtent(), RECT{}, FViewInfo->Shadow,
                                        FViewInfo->NativeStyle && FViewInfo->BorderStyle != cbsNone);
  if (HasTransparentBorderRegion()) {
    HRGN rect = CreateRectRgnIndirect(&bounds);
    if (!region)
      region = new TcxRegion(rect);
    else {
      CombineRgn(region->Handle(), region->Handle(), rect, RGN_OR);
      DeleteObject(rect);
    }
  }
  return region;
}

void TcxContainer::UpdateWindowRegion() {
  if (HandleAllocated()) AssignRegionToWindow(Handle(), CreateWindowRegion());
}

void TcxContainer::ContainerStyleChanged(TObject*) {
  if (FIsCreating || (ComponentState() & csLoading)) return;
  ShortRefreshContainer(false);
  // What the style sets on the control must not flow back into the style.
  const bool wasInternal = std::exchange(FInternalSetting, true);
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FInternalSetting, wasInternal};
  if (!ParentColor() || (Style()->AssignedValues() & cxStyleValueBit(svColor))) TControl::SetColor(Style()->ResolveColor());
  // Taking the style's font leaves ParentFont on, unless the style holds a font of its own.
  if (TFont* font = Style()->Font()) ApplyFont(*font);
  if (Style()->IsValueAssigned(svFont)) TControl::SetParentFont(false);
}

void TcxContainer::CMParentColorChanged(TMessage& Message) {
  TcxContainerStyle* style = Style();
  const bool wasAssigned = style->AssignedValues() & cxStyleValueBit(svColor);
  TVK_INHERITED(Message);
  if (!wasAssigned || ParentColor()) style->SetAssignedValues(style->AssignedValues() & ~cxStyleValueBit(svColor));
  if (style->Color() != Color()) ContainerStyleChanged(style);
  if (RepaintsOnParentColorChange() && !ParentColor()) Invalidate();
}

void TcxContainer::CMParentFontChanged(TMessage& Message) {
  TcxContainerStyle* style = Style();
  const bool wasAssigned = style->AssignedValues() & cxStyleValueBit(svFont);
  TVK_INHERITED(Message);
  if (!ParentFont()) style->RefreshFont();
  if (!wasAssigned || ParentFont()) style->SetAssignedValues(style->AssignedValues() & ~cxStyleValueBit(svFont));
}

void TcxContainer::GetChildControlVisiblePart(const RECT& AVisibleBounds, TWinControl* AChild,
                                              TcxContainerInnerControlBounds& APart) {
  const RECT bounds = AChild->BoundsRect();
  RECT part{0, 0, AChild->Width(), AChild->Height()};
  bool cut = false;
  if (bounds.left < AVisibleBounds.left) {
    part.left = AVisibleBounds.left - bounds.left;
    cut = true;
  }
  if (bounds.top < AVisibleBounds.top) {
    part.top = AVisibleBounds.top - bounds.top;
    cut = true;
  }
  if (bounds.right > AVisibleBounds.right) {
    part.right -= bounds.right - AVisibleBounds.right;
    cut = true;
  }
  if (bounds.bottom > AVisibleBounds.bottom) {
    part.bottom -= bounds.bottom - AVisibleBounds.bottom;
    cut = true;
  }
  APart.IsEmpty = !cut;
  APart.Rect = cut ? part : RECT{};
}

void TcxContainer::AdjustClientRect(RECT& ARect) {
  if (FViewInfo && !(ComponentState() & csDestroying) && !IsRectEmpty(&FViewInfo->Bounds)) ARect = FViewInfo->ClientRect;
}

void TcxContainer::AlignControls(TControl* AControl, RECT& ARect) {
  if (UsesStandardChildHandling()) {
    TcxControl::AlignControls(AControl, ARect);
    return;
  }
  if (FLockAlignControlsCount > 0) return;
  if (AControl && (AControl == HScrollBar() || AControl == VScrollBar() || AControl == SizeGrip())) return;
  if (!AControl) {
    TcxControl::AlignControls(AControl, ARect);
    return;
  }
  auto* child = dynamic_cast<TWinControl*>(AControl);
  if (FIsCreating || !child || !child->HandleAllocated()) return;
  TcxContainerInnerControlBounds part;
  GetChildControlVisiblePart(ARect, child, part);
  const auto same = [](const TcxContainerInnerControlBounds& A, const TcxContainerInnerControlBounds& B) {
    if (A.IsEmpty || B.IsEmpty) return A.IsEmpty == B.IsEmpty;
    return EqualRect(&A.Rect, &B.Rect) != 0;
  };
  // Another child's part is applied every time and never kept: kept, it
  // could pass for the inner control's and hold back the inner one's change.
  if (child != FInnerControl) {
    ApplyInnerControlRegion(child, part);
    return;
  }
  if (FInnerControlRegionKnown && same(part, FInnerControlBounds)) return;
  ApplyInnerControlRegion(child, part);
  FInnerControlBounds = part;
  FInnerControlRegionKnown = true;
}

void TcxContainer::FocusChanged() {
  TcxControl::FocusChanged();
  ShortRefreshContainer(false);
}

void TcxContainer::DoPaint() {
  // Calculated first: a view never calculated has no bounds to test.
  if (!FIsViewInfoCalculated) ShortRefreshContainer(false);
  TcxCanvas& canvas = Canvas();
  if (!canvas.RectVisible(FViewInfo->Bounds)) return;
  if (ControlState() & csPaintCopy) ClipPaintCopy(canvas);
  FViewInfo->Paint(canvas);
}

void TcxContainer::ClipPaintCopy(TcxCanvas& ACanvas) {
  TcxRegion* region = BuildShadowRegion(GetVisibleRegionBounds(), GetShadowBoundsExtent(), RECT{}, FViewInfo->Shadow,
                                        !HasTransparentBorderRegion());
  if (region) ACanvas.SetClipRegion(region, roIntersect);
}

void TcxContainer::CreateWindowHandle(const TCreateParams& AParams) {
  // Window creation cannot carry a caption this long: it is set afterwards.
  if (AParams.Caption.size() < 0x10000) {
    TcxControl::CreateWindowHandle(AParams);
    return;
  }
  TCreateParams params = AParams;
  params.Caption.clear();
  TcxControl::CreateWindowHandle(params);
  if (HandleAllocated()) DefWindowProcW(Handle(), WM_SETTEXT, 0, LPARAM(AParams.Caption.c_str()));
}

void TcxContainer::CreateHandle() {
  TcxControl::CreateHandle();
  if (FInnerControl && CanControlHaveHandle(FInnerControl)) FInnerControl->HandleNeeded();
  ShortRefreshContainer(false);
}

void TcxContainer::CMColorChanged(TMessage& Message) {
  if (FInternalSetting || FIsCreating) {
    TVK_INHERITED(Message);
    ShortRefreshContainer(false);
    return;
  }
  // A colour set on the control is the normal style's own from now on.
  Style()->SetColor(Color());
}

void TcxContainer::CMFontChanged(TMessage& Message) {
  if (FInternalSetting || FIsCreating) {
    TVK_INHERITED(Message);
    const TCountedLock lock(FRefreshLockCount);
    PlaceInnerControl();
  } else {
    // A font set on the control becomes the normal style's. Only a font that
    // came with ParentFont on stays the parent's: with ParentFont off the
    // style's next refresh would otherwise reset it to the default font.
    // One change of the style: it must not see the parent's font as its own
    // on the way (that would take ParentFont away).
    TcxContainerStyle* style = Style();
    const bool wasAssigned = style->AssignedValues() & cxStyleValueBit(svFont);
    style->BeginUpdate();
    {
      struct TEnd {
        TcxContainerStyle& Style;
        ~TEnd() { Style.EndUpdate(); }
      } end{*style};
      style->SetFont(&Font());
      if (!wasAssigned && ParentFont()) style->SetAssignedValues(style->AssignedValues() & ~cxStyleValueBit(svFont));
    }
    TVK_INHERITED(Message);
    return;
  }
  SetScrollBarsParameters(false);
  ShortRefreshContainer(false);
}

void TcxContainer::WMSetCursor(TMessage& Message) {
  if (HandleAllocated() && HWND(Message.WParam) == Handle() && FInnerControl && LOWORD(Message.LParam) == HTCLIENT) {
    const POINT p = GetMouseCursorClientPos();
    if (!PtInRect(&FViewInfo->ClientRect, p)) {
      ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      Message.Result = 1;
      return;
    }
  }
  TVK_INHERITED(Message);
}

TDragImageList* TcxContainer::GetDragImages() {
  return FInnerControl ? FInnerControl->GetDragImages() : TcxControl::GetDragImages();
}

void TcxContainer::HandleDragCancel() {
  TcxControl::HandleDragCancel();
  if (FInnerControl) FInnerControl->HandleDragCancel();
}

void TcxContainer::AssignDragMode(TDragMode AValue) {
  TcxControl::AssignDragMode(AValue);
  if (FInnerControl) FInnerControl->SetDragMode(AValue);
}

void TcxContainer::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() == TDragMode::dmAutomatic && !(ComponentState() & csDesigning)) {
        BeginDrag(false, -1);
        return;
      }
      break;
    case WM_SETFOCUS:
      if (!Visible()) return;
      if (HasInnerControlHandle() && HWND(Message.WParam) == FInnerControl->Handle()) {
        // The focus came back from the inner control: nothing changes.
        Message.Msg = 0;
        Message.Result = 0;
        return;
      }
      TcxControl::WndProc(Message);
      if (HasInnerControlHandle() && HandleAllocated() && GetFocus() == Handle() && FInnerControl->CanFocus())
        FInnerControl->SetFocus();
      return;
    case WM_KILLFOCUS:
      if (HasInnerControlHandle() && HWND(Message.WParam) == FInnerControl->Handle()) {
        Message.Msg = 0;
        Message.Result = 0;
        return;
      }
      break;
    case WM_NCCALCSIZE:
      if (FRefreshLockCount > 0) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (HasInnerControlHandle()) {
        const UINT msg = Message.Msg >= CN_BASE ? Message.Msg - CN_BASE : Message.Msg;
        if (!(msg == WM_KEYDOWN && Message.WParam == VK_TAB)) {
          Message.Result = SendMessageW(FInnerControl->Handle(), msg, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
    default: break;
  }
  TcxControl::WndProc(Message);
}

void TcxContainer::KeyDown(WORD& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  if (Key != VK_TAB || !HandlesTabKey() || !IsContainerFocused() || (Shift & (ssCtrl | ssAlt))) return;
  if (TCustomForm* form = GetParentForm(this)) {
    Key = 0;
    TWinControl* current = form->ActiveControl() ? form->ActiveControl() : this;
    form->SelectNext(current, !(Shift & ssShift), true);
    if (HandleAllocated() && GetFocus() == Handle() && HasInnerControlHandle()) FInnerControl->SetFocus();
  }
}

void TcxContainer::WMNCPaint(TMessage& Message) { Message.Result = 0; }

void TcxContainer::WMWindowPosChanging(TMessage& Message) {
  if (ComponentState() & csDestroying) {
    Message.Result = 0;
    return;
  }
  TVK_INHERITED(Message);
  // A moved or resized container that holds the focus hands it on to the inner control.
  if (HandleAllocated() && GetFocus() == Handle() && HasInnerControlHandle() && FInnerControl->CanFocus() &&
      !(ControlState() & csFocusing))
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(FInnerControl);
}

void TcxContainer::WMWindowPosChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  if (!(ComponentState() & csDestroying)) ShortRefreshContainer(false);
}

void TcxContainer::CMShortRefresh(TMessage&) { ShortRefreshContainer(false); }

void STDMETHODCALLTYPE TcxContainer::TranslationChanged() {
  TcxControl::TranslationChanged();
  ShortRefreshContainer(false);
}

void TcxContainer::CMEnabledChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  EnabledChanged();
}

void TcxContainer::EnabledChanged() {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* bar = dynamic_cast<TcxScrollBar*>(Controls(i))) bar->SetEnabled(Enabled());
  ShortRefreshContainer(false);
}

void TcxContainer::CMCursorChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  if (FInnerControl) FInnerControl->SetCursor(Cursor());
}

void TcxContainer::CMCtl3DChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  ShortRefreshContainer(false);
}

void TcxContainer::HandleContextPopup(POINT AMousePos, bool& AHandled) {
  const bool fromKeyboard = AMousePos.x == -1 && AMousePos.y == -1;
  if (FPopupMenuLockCount == 0 && (fromKeyboard || CanShowContextPopupAt(AMousePos)))
    TcxControl::HandleContextPopup(AMousePos, AHandled);
  else
    AHandled = true;
}

void TcxContainer::CMSysColorChange(TMessage& Message) {
  TVK_INHERITED(Message);
  ShortRefreshContainer(false);
}

void TcxContainer::ScaleControl(int M, int D) {
  TcxContainerStyle* style = Style();
  // Read before the inherited scaling clears the flags.
  const bool scaleStyleFont = M > 0 && D > 0 && M != D && style->IsValueAssigned(svFont) &&
                              (!(ComponentState() & csLoading) || (ScalingFlags() & sfFont));
  {
    const bool wasInternal = std::exchange(FInternalSetting, !ParentFont());
    struct TRestore {
      bool& Flag;
      bool Value;
      ~TRestore() { Flag = Value; }
    } restore{FInternalSetting, wasInternal};
    TcxControl::ScaleControl(M, D);
  }
  if (scaleStyleFont)
    if (TFont* font = style->Font()) font->SetSize(MulDiv(font->Size(), M, D));
}

TVK_MESSAGE_MAP(TcxContainer, {WM_NCPAINT, &TcxContainer::WMNCPaint},
                {WM_WINDOWPOSCHANGING, &TcxContainer::WMWindowPosChanging},
                {WM_WINDOWPOSCHANGED, &TcxContainer::WMWindowPosChanged},
                {cxContainerShortRefreshMessage, &TcxContainer::CMShortRefresh},
                {CM_ENABLEDCHANGED, &TcxContainer::CMEnabledChanged},
                {CM_CURSORCHANGED, &TcxContainer::CMCursorChanged},
                {CM_CTL3DCHANGED, &TcxContainer::CMCtl3DChanged},
                {CM_SYSCOLORCHANGE, &TcxContainer::CMSysColorChange},
                {WM_SETCURSOR, &TcxContainer::WMSetCursor}, {CM_COLORCHANGED, &TcxContainer::CMColorChanged},
                {CM_FONTCHANGED, &TcxContainer::CMFontChanged},
                {CM_PARENTCOLORCHANGED, &TcxContainer::CMParentColorChanged},
                {CM_PARENTFONTCHANGED, &TcxContainer::CMParentFontChanged},
                {CM_MOUSEENTER, &TcxContainer::CMMouseEnter}, {CM_MOUSELEAVE, &TcxContainer::CMMouseLeave},
                {cxContainerUpdateScrollBarsMessage, &TcxContainer::CMUpdateScrollBars})

}  // namespace tvk
