#include "dxValueEdits.h"

#include "Shell.h"

#include <algorithm>

namespace tvk {

namespace {

bool IsAmountSymbol(wchar_t key, wchar_t decimal, wchar_t thousand, bool thousands) {
  return key == L'+' || key == L'-' || (key >= L'0' && key <= L'9') || key == L'E' || key == L'e' ||
         key == decimal || (thousands && key == thousand);
}

// Digits after the decimal separator, up to an exponent that follows it.
int DecimalsAfterSeparator(const WideString& text, wchar_t decimal) {
  const std::size_t point = text.find(decimal);
  if (point == WideString::npos) return 0;
  int count = 0;
  for (std::size_t i = point + 1; i < text.size() && text[i] != L'E' && text[i] != L'e'; ++i)
    if (text[i] >= L'0' && text[i] <= L'9') ++count;
  return count;
}

// A text that stops inside its exponent ("1E", "1E-") reads as the number
// that the next digit completes, so that an exponent can be typed.
WideString CompletedExponent(const WideString& text) {
  WideString t = text;
  if (!t.empty() && (t.back() == L'+' || t.back() == L'-') && t.size() >= 2 &&
      (t[t.size() - 2] == L'E' || t[t.size() - 2] == L'e'))
    return t + L"0";
  if (!t.empty() && (t.back() == L'E' || t.back() == L'e')) return t + L"0";
  return t;
}

double Clamped(double value, double minValue, double maxValue) {
  if (minValue == 0 && maxValue == 0) return value;
  return std::min(std::max(value, minValue), maxValue);
}

}  // namespace

// ---- currency

TdxInplaceCurrencyEdit::TdxInplaceCurrencyEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) {
  SetControlStyle(ControlStyle() & ~static_cast<TControlStyle>(csSetCaption));
  FDisplayFormat = BuildCurrencyDisplayFormat();
}

bool TdxInplaceCurrencyEdit::IsValidAmountChar(wchar_t key) {
  const TFormatSettings& s = FormatSettings();
  if (!IsAmountSymbol(key, s.DecimalSeparator, s.ThousandSeparator, FUseThousandSeparator)) return false;
  WideString text = GetTextValue();
  int start = 0;
  if (HandleAllocated()) {
    CHARRANGE range{};
    GetSelection(range);
    start = std::clamp<int>(range.cpMin, 0, static_cast<int>(text.size()));
    const int end = std::clamp<int>(range.cpMax, start, static_cast<int>(text.size()));
    text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
  } else {
    start = static_cast<int>(text.size());
  }
  if (key == L'-' && text.empty()) return true;
  text.insert(text.begin() + start, key);
  if (DecimalsAfterSeparator(text, s.DecimalSeparator) > FDecimalPlaces) return false;
  long double amount = 0;
  return TextToAmount(CompletedExponent(text), amount);
}

void TdxInplaceCurrencyEdit::SetDisplayFormatInternal(const WideString& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  InvalidateClient();
}

void TdxInplaceCurrencyEdit::SetDisplayFormat(const WideString& value) {
  FStoredValues |= Bit(svDisplayFormat);
  SetDisplayFormatInternal(value);
}

void TdxInplaceCurrencyEdit::SetNullable(bool value) {
  if (value == FNullable) return;
  FNullable = value;
  InvalidateClient();
}

void TdxInplaceCurrencyEdit::SetNullString(const WideString& value) {
  if (value == FNullString) return;
  FNullString = value;
  InvalidateClient();
}

void TdxInplaceCurrencyEdit::SetMaxValue(double value) {
  value = std::max(value, FMinValue);
  if (value == FMaxValue) return;
  FMaxValue = value;
  SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetMinValue(double value) {
  value = std::min(value, FMaxValue);
  if (value == FMinValue) return;
  FMinValue = value;
  SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetMinMax(double minValue, double maxValue) {
  FMinValue = minValue > maxValue ? maxValue : minValue;
  FMaxValue = maxValue;
  SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::SetMinMaxValues(double minValue, double maxValue) {
  FStoredValues |= Bit(svMinValue) | Bit(svMaxValue);
  SetMinMax(minValue, maxValue);
}

double TdxInplaceCurrencyEdit::GetValue() {
  const WideString text = GetTextValue();
  if (text.empty()) return 0;
  long double amount = 0;
  return TextToAmount(text, amount) ? static_cast<double>(amount) : FMinValue;
}

void TdxInplaceCurrencyEdit::SetValue(double value) {
  const bool modified = GetEditModified();
  try {
    const WideString text =
        FloatToStrF(Clamped(value, FMinValue, FMaxValue), TFloatFormat::ffGeneral, 15, 0);
    if (text != GetText()) SetText(text);
  } catch (...) {
    SetEditModified(modified);
    throw;
  }
  SetEditModified(modified);
}

WideString TdxInplaceCurrencyEdit::GetDisplayValue() {
  const WideString text = GetTextValue();
  if (FDisplayFormat.empty()) return text;
  if (text.empty() && FNullable) return FNullString;
  long double amount = 0;
  if (!text.empty()) TextToAmount(text, amount);
  return FormatFloat(FDisplayFormat, amount);
}

std::unique_ptr<TdxEditViewData> TdxInplaceCurrencyEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceMaskEdit::CreateViewData(isPaintCopy);
  vd->Data = GetDisplayValue();
  return vd;
}

void TdxInplaceCurrencyEdit::RestoreDefaults() {
  TdxInplaceMaskEdit::RestoreDefaults();
  SetDisplayFormatInternal(DefaultDisplayFormat());
  SetMinMax(DefaultMinValue(), DefaultMaxValue());
}

void TdxInplaceCurrencyEdit::ValidateEdit() {
  TdxInplaceMaskEdit::ValidateEdit();
  if (GetEditModified() && (!GetTextValue().empty() || !FNullable)) SetValue(GetValue());
}

void TdxInplaceCurrencyEdit::KeyPress(wchar_t& key) {
  const TFormatSettings& s = FormatSettings();
  if ((key == L'.' || key == L',') && !(FUseThousandSeparator && key == s.ThousandSeparator))
    key = s.DecimalSeparator;
  // Every printable character is checked, the ones beyond 255 (full-width
  // digits from an input method, other scripts) too.
  if (key >= 32 && !IsValidAmountChar(key)) {
    key = 0;
    MessageBeep(0);
  }
  if (key != 0) TdxInplaceMaskEdit::KeyPress(key);
}

TVK_MESSAGE_MAP(TdxInplaceCurrencyEdit, {WM_PASTE, &TdxInplaceCurrencyEdit::WMPaste},
                {CM_WININICHANGE, &TdxInplaceCurrencyEdit::CMWinIniChange})

void TdxInplaceCurrencyEdit::WMPaste(TMessage& message) {
  if (!CanModify()) return;
  const WideString before = GetTextValue();
  TVK_INHERITED(message);
  long double value = 0;
  if (!TryStrToFloat(GetTextValue(), value, FormatSettings())) {
    SetEditText(before);
    SelectAll();
  }
}

void TdxInplaceCurrencyEdit::CMWinIniChange(TMessage& message) {
  TVK_INHERITED(message);
  if (FStoredValues & Bit(svDisplayFormat)) return;
  ReadLocaleFormatSettings();
  SetDisplayFormatInternal(DefaultDisplayFormat());
}

// ---- hyperlink

std::unique_ptr<TdxEditViewData> TdxInplaceHyperLinkEditClass::CreateViewDataObject() const {
  return std::make_unique<TdxHyperLinkEditViewData>();
}

TCursor TdxInplaceHyperLinkEditClass::GetEditCursor(int x, int y, TdxEditViewData& viewData) const {
  auto* link = dynamic_cast<TdxHyperLinkEditViewData*>(&viewData);
  if (link && link->IsLink) return crdxHandPoint;
  return TdxInplaceTextEditClass::GetEditCursor(x, y, viewData);
}

const TdxInplaceHyperLinkEditClass& TdxInplaceHyperLinkEditClass::Instance() {
  static const TdxInplaceHyperLinkEditClass instance;
  return instance;
}

TdxInplaceHyperLinkEdit::TdxInplaceHyperLinkEdit(TComponent* owner) : TdxInplaceTextEdit(owner) {
  FAutoSelect = false;
}

TFont& TdxInplaceHyperLinkEdit::LinkFont() {
  if (!FLinkFont) {
    FLinkFont = std::make_unique<TFont>();
    Perform(CM_FONTCHANGED);
  }
  return *FLinkFont;
}

void TdxInplaceHyperLinkEdit::SetLinkColor(TColor value) {
  if (value == FLinkColor) return;
  FLinkColor = value;
  Perform(CM_FONTCHANGED);
  if (HandleAllocated()) ApplyLinkCharFormat();
  InvalidateClient();
}

void TdxInplaceHyperLinkEdit::StartLink() {
  if (OnStartClick) {
    OnStartClick(this);
    return;
  }
  const WideString text = GetTextValue();
  if (TrimBlanks(text).empty()) return;
  TCustomForm* form = GetParentForm(this);
  ShellExecuteDocument(form ? form->Handle() : nullptr, L"OPEN", text.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

std::unique_ptr<TdxEditViewData> TdxInplaceHyperLinkEdit::CreateViewData(bool isPaintCopy) {
  auto vd = TdxInplaceTextEdit::CreateViewData(isPaintCopy);
  TFont& font = LinkFont();
  if (auto* link = dynamic_cast<TdxHyperLinkEditViewData*>(vd.get()))
    link->IsLink = (ComponentState() & csDesigning) == 0;
  vd->TextColor = ColorToRGB(font.Color());
  vd->Font = font.Handle();
  return vd;
}

void TdxInplaceHyperLinkEdit::KeyDown(WORD& key, TShiftState shift) {
  const TShortCut shortCut = ShortCut(key, shift);
  if (shortCut != 0 && shortCut == FStartKey) {
    if (HandleAllocated()) RemovePendingMessage(Handle(), WM_CHAR);
    StartLink();
    key = 0;
    return;
  }
  TdxInplaceTextEdit::KeyDown(key, shift);
}

void TdxInplaceHyperLinkEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TdxInplaceTextEdit::MouseUp(button, shift, x, y);
  RECT client = ClientRect();
  if (button == TMouseButton::mbLeft && PtInRect(&client, POINT{x, y})) StartLink();
}

TVK_MESSAGE_MAP(TdxInplaceHyperLinkEdit, {WM_LBUTTONDBLCLK, &TdxInplaceHyperLinkEdit::WMLButtonDblClk},
                {WM_SETFONT, &TdxInplaceHyperLinkEdit::WMSetFont},
                {CM_FONTCHANGED, &TdxInplaceHyperLinkEdit::CMFontChanged})

void TdxInplaceHyperLinkEdit::WMLButtonDblClk(TMessage& message) {
  if (!FSingleClick && CanModify())
    StartLink();
  else
    TVK_INHERITED(message);
}

void TdxInplaceHyperLinkEdit::ApplyLinkCharFormat() {
  CHARFORMAT2W format{};
  static_assert(sizeof(CHARFORMAT2W) == 116, "the rich edit reads a CHARFORMAT2W of 116 bytes");
  format.cbSize = sizeof(format);
  format.dwMask = CFM_COLOR | CFM_UNDERLINETYPE;
  format.bUnderlineType = CFU_UNDERLINE;
  if (FLinkColor == clWindowText || FLinkColor == clDefault)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(FLinkColor);
  SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

void TdxInplaceHyperLinkEdit::WMSetFont(TMessage& message) {
  TVK_INHERITED(message);
  ApplyLinkCharFormat();
}

void TdxInplaceHyperLinkEdit::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (!FLinkFont) return;
  FLinkFont->Assign(Font());
  FLinkFont->SetStyle(FLinkFont->Style() | fsUnderline);
  FLinkFont->SetColor(FLinkColor);
}

}  // namespace tvk
