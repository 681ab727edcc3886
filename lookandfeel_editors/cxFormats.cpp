#include "cxFormats.h"

#include "LocaleFormats.h"
#include "cxLibraryStrs.h"

#include <algorithm>
#include <cwctype>
#include <memory>

namespace tvk {

// {A7F2F6D3-1A7D-4295-A6E6-9297BD83D0DE}
const IID IID_IcxFormatControllerListener = {0xA7F2F6D3, 0x1A7D, 0x4295, {0xA6, 0xE6, 0x92, 0x97, 0xBD, 0x83, 0xD0, 0xDE}};
// {5E33A2A7-0C77-415F-A359-112103E54937}
const IID IID_IcxFormatControllerTimeListener = {0x5E33A2A7, 0x0C77, 0x415F, {0xA3, 0x59, 0x11, 0x21, 0x03, 0xE5, 0x49, 0x37}};

namespace {

std::optional<WideString> gLocaleTimeFormatOverride;
std::unique_ptr<TcxFormatController> gFormatController;
bool gFormatsShutDown = false;
bool gUseLibraryTimeFormat = false;  // of the controller whose formats are derived

WideString Upper(WideString AText) {
  for (wchar_t& c : AText) c = wchar_t(std::towupper(c));
  return AText;
}

WideString Lower(WideString AText) {
  for (wchar_t& c : AText) c = wchar_t(std::towlower(c));
  return AText;
}

bool SameText(const WideString& A, const wchar_t* B) { return Upper(A) == Upper(B); }

int SuffixLength() {
  return int(std::max(FormatSettings().TimeAMString.size(), FormatSettings().TimePMString.size()));
}

TcxTimeSuffixKind SuffixKindOf(const WideString& APattern) {
  if (SameText(APattern, L"A/P")) return tskAP;
  if (SameText(APattern, L"AM/PM")) return tskAMPM;
  return tskAMPMString;
}

// The time format the editors use: the library's, or the system's with its
// t runs written as the library's suffixes.
WideString TimeFormat() {
  if (gUseLibraryTimeFormat) return FormatSettings().LongTimeFormat;
  const WideString system =
      gLocaleTimeFormatOverride ? *gLocaleTimeFormatOverride : ReadLocaleInfo(GetThreadLocale(), LOCALE_STIMEFORMAT, L"h:mm:ss tt");
  WideString result;
  for (std::size_t i = 0; i < system.size();) {
    if (system[i] == L't' || system[i] == L'T') {
      std::size_t run = 0;
      while (i + run < system.size() && (system[i + run] == L't' || system[i + run] == L'T')) ++run;
      result += run == 1 ? L"A/P" : L"AMPM";
      i += run;
    } else {
      result += system[i++];
    }
  }
  return result;
}

class TFormatParser {
public:
  explicit TFormatParser(TcxDateTimeFormatInfo& AInfo) : FInfo(AInfo) {}

  bool Parse(const WideString& AFormat, int ALevel) {
    if (ALevel > 2) return true;  // a third level adds nothing
    const WideString text = AFormat.empty() ? WideString(L"C") : AFormat;
    bool afterHour = false, levelHasHour = false, levelHasSuffix = false;
    for (std::size_t i = 0; i < text.size();) {
      const wchar_t c = text[i];
      const wchar_t u = wchar_t(std::towupper(c));
      std::size_t run = 1;
      while (i + run < text.size() && std::towupper(text[i + run]) == u) ++run;
      if (c == L'"' || c == L'\'') {
        const std::size_t close = text.find(c, i + 1);
        const std::size_t end = close == WideString::npos ? text.size() : close;
        Literal(text.substr(i + 1, end - i - 1));
        i = end == text.size() ? end : end + 1;
        continue;
      }
      auto letter = [&](TcxDateTimeFormatItemKind AKind, WideString AData) {
        Add(AKind, std::move(AData), ALevel);
        afterHour = AKind == dtikHour;
      };
      switch (u) {
        case L'/': Separator(dtikDateSeparator, L"/"); ++i; continue;
        case L':': Separator(dtikTimeSeparator, L":"); ++i; continue;
        case L'Y':
        case L'E': letter(dtikYear, run > 2 ? L"YYYY" : L"YY"); break;
        case L'M':
          if (afterHour)
            letter(dtikMin, WideString(std::min<std::size_t>(run, 2), L'N'));
          else
            letter(dtikMonth, WideString(std::min<std::size_t>(run, 4), L'M'));
          break;
        case L'N': letter(dtikMin, WideString(std::min<std::size_t>(run, 2), L'N')); break;
        case L'S': letter(dtikSec, WideString(std::min<std::size_t>(run, 2), L'S')); break;
        case L'Z': letter(dtikMSec, WideString(std::min<std::size_t>(run, 3), L'Z')); break;
        case L'H':
          letter(dtikHour, WideString(std::min<std::size_t>(run, 2), L'H'));
          levelHasHour = true;
          break;
        case L'D':
          if (run <= 4)
            letter(dtikDay, WideString(run, L'D'));
          else if (!Parse(run == 5 ? FormatSettings().ShortDateFormat : FormatSettings().LongDateFormat, ALevel + 1))
            return false;
          break;
        case L'T':
          if (!Parse(run == 1 ? FormatSettings().ShortTimeFormat : TimeFormat(), ALevel + 1)) return false;
          break;
        case L'C':
          if (!Parse(FormatSettings().ShortDateFormat, ALevel + 1)) return false;
          Literal(L" ");
          if (!Parse(TimeFormat(), ALevel + 1)) return false;
          break;
        case L'G': return false;
        case L'A': {
          const WideString rest = Upper(text.substr(i));
          if (rest.starts_with(L"AM/PM") || rest.starts_with(L"A/P")) {
            const std::size_t length = rest.starts_with(L"AM/PM") ? 5 : 3;
            letter(dtikTimeSuffix, text.substr(i, length));
            levelHasSuffix = true;
            i += length;
            continue;
          }
          if (rest.starts_with(L"AMPM")) {
            letter(dtikTimeSuffix, L"AMPM");
            levelHasSuffix = true;
            i += 4;
            continue;
          }
          if (run >= 3) {
            letter(dtikDay, run >= 4 ? L"DDDD" : L"DDD");
            i += std::min<std::size_t>(run, 4);
            continue;
          }
          Literal(WideString(1, c));
          ++i;
          continue;
        }
        default: Literal(WideString(1, c)); ++i; continue;
      }
      i += run;
    }
    if (levelHasHour && levelHasSuffix) FTwelveHourLevels |= 1u << ALevel;
    return true;
  }

  void Finish() {
    int hour = -1, suffix = -1;
    for (int i = 0; i < FInfo.ItemCount(); ++i) {
      if (FInfo.Items(i).Kind == dtikHour) hour = i;
      if (FInfo.Items(i).Kind == dtikTimeSuffix) suffix = i;
    }
    if (hour >= 0) FInfo.Items(hour).Data.insert(0, (FTwelveHourLevels >> FHourLevel) & 1 ? L"12" : L"24");
    else if (suffix >= 0) FInfo.RemoveItem(suffix);
  }

private:
  void Add(TcxDateTimeFormatItemKind AKind, WideString AData, int ALevel) {
    if (FInfo.DefinedItems(AKind)) return;  // only the first of each kind
    if (AKind == dtikHour) FHourLevel = ALevel;
    FInfo.AddItem(AKind, std::move(AData));
  }
  void Separator(TcxDateTimeFormatItemKind AKind, const wchar_t* AData) { FInfo.AddItem(AKind, AData); }
  void Literal(const WideString& AText) {
    if (AText.empty()) return;
    const int last = FInfo.ItemCount() - 1;
    if (last >= 0 && FInfo.Items(last).Kind == dtikString)
      FInfo.Items(last).Data += AText;  // consecutive literals join
    else
      FInfo.AddItem(dtikString, AText);
  }

  TcxDateTimeFormatInfo& FInfo;
  unsigned FTwelveHourLevels = 0;
  int FHourLevel = 0;
};

int ItemLength(const TcxDateTimeFormatItem& AItem) {
  switch (AItem.Kind) {
    case dtikString: return int(AItem.Data.size());
    case dtikYear: return AItem.Data.size() == 2 ? 2 : 4;
    case dtikMonth:
    case dtikDay: return AItem.Data.size() > 2 ? 3 : 2;
    case dtikHour:
    case dtikMin:
    case dtikSec: return 2;
    case dtikMSec: return 0;
    case dtikTimeSuffix:
      switch (SuffixKindOf(AItem.Data)) {
        case tskAP: return 1;
        case tskAMPM: return 2;
        default: return SuffixLength();
      }
    default: return 1;
  }
}

WideString Quoted(const WideString& AText) {
  WideString result = L"'";
  for (wchar_t c : AText) {
    if (c == L'\'') result += L'\\';
    result += c;
  }
  return result + L"'";
}

WideString SeparatorExpr(wchar_t ASeparator) {
  if (ASeparator == 0) return {};
  if (ASeparator == L' ') return L"' '";
  return WideString(L"\\") + ASeparator;
}

bool IsTwelveHour(const TcxDateTimeFormatItem& AItem) { return AItem.Data.starts_with(L"12"); }

}  // namespace

// ---- Format info

void TcxDateTimeFormatInfo::AddItem(TcxDateTimeFormatItemKind AKind, const WideString& AData) {
  FItems.push_back({AData, AKind});
  FDefinedItems[AKind] = true;
}

void TcxDateTimeFormatInfo::RemoveItem(int AIndex) { FItems.erase(FItems.begin() + AIndex); }

void TcxDateTimeFormatInfo::ClearFormatInfo() {
  FItems.clear();
  std::fill(std::begin(FDefinedItems), std::end(FDefinedItems), false);
}

void ParseDateTimeFormat(const WideString& AFormat, TcxDateTimeFormatInfo& AInfo) {
  AInfo.ClearFormatInfo();
  TFormatParser parser(AInfo);
  if (parser.Parse(AFormat, 1))
    parser.Finish();
  else
    AInfo.ClearFormatInfo();
}

WideString StandardMaskOf(const TcxDateTimeFormatInfo& AInfo, TcxMaskKind AKind) {
  if (AInfo.ItemCount() == 0) return {};
  const bool time = AKind == TcxMaskKind::mkTime;
  WideString mask = time ? L"" : L"!";
  for (int i = 0; i < AInfo.ItemCount(); ++i) {
    const TcxDateTimeFormatItem& item = AInfo.Items(i);
    switch (item.Kind) {
      case dtikString:
        for (wchar_t c : item.Data) (mask += L'\\') += c;
        break;
      case dtikYear: mask += item.Data.size() == 2 ? L"99" : L"9999"; break;
      case dtikMonth:
      case dtikDay: mask += item.Data.size() > 2 ? L"lll" : L"99"; break;
      case dtikHour:
      case dtikMin:
      case dtikSec: mask += time ? L"00" : L"99"; break;
      case dtikTimeSuffix: mask += WideString(std::size_t(ItemLength(item)), L'c'); break;
      case dtikDateSeparator: mask += L'/'; break;
      case dtikTimeSeparator: mask += L':'; break;
      case dtikMSec: break;
    }
  }
  return mask + (time ? L";1;0" : L";1; ");
}

WideString RegExprDateMaskOf(const TcxDateTimeFormatInfo& AInfo) {
  WideString mask;
  for (int i = 0; i < AInfo.ItemCount(); ++i) {
    const TcxDateTimeFormatItem& item = AInfo.Items(i);
    switch (item.Kind) {
      case dtikString: mask += Quoted(item.Data); break;
      case dtikYear: mask += item.Data.size() == 2 ? L"\\d\\d" : L"\\d\\d\\d\\d"; break;
      case dtikMonth: {
        const auto& names = item.Data.size() == 4 ? FormatSettings().LongMonthNames : FormatSettings().ShortMonthNames;
        mask += L"((0?[1-9]|1[012])|(";
        for (std::size_t m = 0; m < names.size(); ++m) mask += (m ? L"|" : L"") + Quoted(names[m]);
        mask += L"))";
        break;
      }
      case dtikDay: mask += L"([012]?[1-9]|[123]0|31)"; break;
      case dtikDateSeparator: mask += SeparatorExpr(FormatSettings().DateSeparator); break;
      default: break;
    }
  }
  return mask;
}

WideString RegExprTimeMaskOf(const TcxDateTimeFormatInfo& AInfo) {
  WideString mask;
  for (int i = 0; i < AInfo.ItemCount(); ++i) {
    const TcxDateTimeFormatItem& item = AInfo.Items(i);
    switch (item.Kind) {
      case dtikString: mask += Quoted(item.Data); break;
      case dtikHour: mask += IsTwelveHour(item) ? L"(0?[1-9]|1[012])" : L"([01]?\\d|2[0-3])"; break;
      case dtikMin:
      case dtikSec: mask += L"[0-5]?\\d"; break;
      case dtikTimeSuffix:
        switch (SuffixKindOf(item.Data)) {
          case tskAP: mask += L"(A|P)?"; break;
          case tskAMPM: mask += L"(AM|PM)?"; break;
          default: {
            const WideString& am = FormatSettings().TimeAMString;
            const WideString& pm = FormatSettings().TimePMString;
            if (!am.empty() && !pm.empty())
              mask += L"(" + Quoted(am) + L"|" + Quoted(pm) + L")?";
            else if (!am.empty() || !pm.empty())
              mask += L"(" + Quoted(am.empty() ? pm : am) + L")?";
          }
        }
        break;
      case dtikTimeSeparator: mask += SeparatorExpr(FormatSettings().TimeSeparator); break;
      default: break;
    }
  }
  return mask;
}

WideString AddRelativeDateAlternatives(const WideString& AMask, bool AWithNow) {
  // Read afresh each time, so that a translation applies.
  TResStringRec* const words[] = {&cxSDateToday,  &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday,
                                  &cxSDateMonday, &cxSDateTuesday,   &cxSDateWednesday, &cxSDateThursday,
                                  &cxSDateFriday, &cxSDateSaturday,  &cxSDateFirst,    &cxSDateSecond,
                                  &cxSDateThird,  &cxSDateFourth,    &cxSDateFifth,    &cxSDateSixth,
                                  &cxSDateSeventh, &cxSDateBOM,      &cxSDateEOM,      &cxSDateNow};
  WideString result = L"(" + AMask + L")|(";
  const std::size_t count = std::size(words) - (AWithNow ? 0 : 1);
  for (std::size_t i = 0; i < count; ++i) result += (i ? L"|" : L"") + Quoted(GetLocalizedResString(words[i]));
  return result + L")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

WideString DisplayFormatOf(const TcxDateTimeFormatInfo& AInfo) {
  WideString format;
  for (int i = 0; i < AInfo.ItemCount(); ++i) {
    const TcxDateTimeFormatItem& item = AInfo.Items(i);
    switch (item.Kind) {
      case dtikString: format += L"'" + item.Data + L"'"; break;
      case dtikYear: format += Lower(item.Data); break;
      case dtikMonth: format += item.Data.size() > 2 ? L"mmm" : L"mm"; break;
      case dtikDay: format += item.Data.size() > 2 ? L"ddd" : L"dd"; break;
      case dtikHour: format += L"hh"; break;
      case dtikMin: format += L"nn"; break;
      case dtikSec: format += L"ss"; break;
      case dtikTimeSuffix: format += Lower(item.Data); break;
      case dtikDateSeparator: format += L'/'; break;
      case dtikTimeSeparator: format += L':'; break;
      case dtikMSec: break;
    }
  }
  return format;
}

WideString BuildCurrencyFormat() {
  const TFormatSettings& settings = FormatSettings();
  const WideString n = L",0." + WideString(std::size_t(std::max(settings.CurrencyDecimals, 0)), L'0');
  WideString s;
  for (wchar_t c : settings.CurrencyString) s += c == L',' || c == L'.' ? L"'" + WideString(1, c) + L"'" : WideString(1, c);
  const WideString positive[] = {s + n, n + s, s + L" " + n, n + L" " + s};
  const WideString negative[] = {L"(" + s + n + L")", L"-" + s + n,   s + L"-" + n,         s + n + L"-",
                                 L"(" + n + s + L")", L"-" + n + s,   n + L"-" + s,         n + s + L"-",
                                 L"-" + n + L" " + s, L"-" + s + L" " + n, n + L" " + s + L"-", s + L" " + n + L"-",
                                 s + L" -" + n,       n + L"- " + s,  L"(" + s + L" " + n + L")", L"(" + n + L" " + s + L")"};
  const int p = settings.CurrencyFormat, m = settings.NegCurrFormat;
  return (p >= 0 && p < 4 ? positive[p] : WideString()) + L";" + (m >= 0 && m < 16 ? negative[m] : WideString());
}

WideString DateEditFormatOf(const WideString& AShortDateFormat) {
  WideString result;
  for (std::size_t i = 0; i < AShortDateFormat.size(); ++i) {
    const wchar_t c = AShortDateFormat[i];
    result += c;
    if (c != L'd' && c != L'M') continue;
    const bool before = i > 0 && AShortDateFormat[i - 1] == c;
    const bool after = i + 1 < AShortDateFormat.size() && AShortDateFormat[i + 1] == c;
    if (!before && !after) result += c;
  }
  return result;
}

bool GetDateTimeFormatItemStandardMaskInfo(const TcxDateTimeFormatInfo& AInfo, int APosition,
                                           TcxDateTimeFormatItemInfo& AItemInfo) {
  if (APosition < 1) return false;
  int start = 1;
  for (int i = 0; i < AInfo.ItemCount(); ++i) {
    const TcxDateTimeFormatItem& item = AInfo.Items(i);
    const int length = ItemLength(item);
    if (APosition >= start && APosition < start + length) {
      AItemInfo = {item.Kind, start, length, item.Kind == dtikTimeSuffix ? SuffixKindOf(item.Data) : tskAP};
      return true;
    }
    start += length;
  }
  return false;
}

int GetDateTimeStandardMaskStringLength(const TcxDateTimeFormatInfo& AInfo) {
  int length = 0;
  for (int i = 0; i < AInfo.ItemCount(); ++i) length += ItemLength(AInfo.Items(i));
  return length;
}

void SetLocaleTimeFormatOverride(std::optional<WideString> AFormat) { gLocaleTimeFormatOverride = std::move(AFormat); }

// ---- The controller

TcxFormatController::TcxFormatController() {
  GetFormats();
  GetResourceStringsRepository().AddListener(this);
}

TcxFormatController::~TcxFormatController() {
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository()) repository->RemoveListener(this);
}

HRESULT STDMETHODCALLTYPE TcxFormatController::QueryInterface(REFIID AIID, void** AObject) {
  if (!AObject) return E_POINTER;
  if (IsEqualIID(AIID, IID_IUnknown) || IsEqualIID(AIID, IID_IdxLocalizerListener)) {
    *AObject = static_cast<IdxLocalizerListener*>(this);
    return S_OK;
  }
  *AObject = nullptr;
  return E_NOINTERFACE;
}

void TcxFormatController::AddListener(IcxFormatControllerListener* AListener) {
  if (AListener && std::find(FList.begin(), FList.end(), AListener) == FList.end()) FList.push_back(AListener);
}

void TcxFormatController::RemoveListener(IcxFormatControllerListener* AListener) {
  std::erase(FList, AListener);
}

void TcxFormatController::EndUpdate() {
  if (FLockCount > 0 && --FLockCount == 0) NotifyListeners();
}

void TcxFormatController::NotifyListeners() {
  const std::vector<IcxFormatControllerListener*> listeners = FList;  // one may leave while told
  for (IcxFormatControllerListener* listener : listeners)
    if (std::find(FList.begin(), FList.end(), listener) != FList.end()) listener->FormatChanged();
}

void TcxFormatController::FormatsChanged() {
  if (FLockCount != 0) return;
  GetFormats();
  NotifyListeners();
}

void TcxFormatController::GetFormats() {
  if (!FAssignedCurrencyFormat) FCurrencyFormat = BuildCurrencyFormat();
  FDateEditFormat = DateEditFormatOf(FormatSettings().ShortDateFormat);
  CalculateEditMasks();
}

void TcxFormatController::CalculateEditMasks() {
  const bool savedFlag = std::exchange(gUseLibraryTimeFormat, FUseLibraryTimeFormat);
  const WideString timeFormat = TimeFormat();
  ParseDateTimeFormat(FormatSettings().ShortDateFormat, FDateFormatInfo);
  ParseDateTimeFormat(timeFormat, FTimeFormatInfo);
  ParseDateTimeFormat(FormatSettings().ShortDateFormat + L" " + timeFormat, FDateTimeFormatInfo);
  gUseLibraryTimeFormat = savedFlag;
  FDateEditMask = StandardMaskOf(FDateFormatInfo, TcxMaskKind::mkDate);
  if (!FAssignedStandardDateEditMask) FStandardDateEditMask = FDateEditMask;
  if (!FAssignedRegExprDateEditMask)
    FRegExprDateEditMask = AddRelativeDateAlternatives(RegExprDateMaskOf(FDateFormatInfo), false);
  if (!FAssignedRegExprDateTimeEditMask)
    FRegExprDateTimeEditMask = AddRelativeDateAlternatives(
        RegExprDateMaskOf(FDateFormatInfo) + L" ' '(" + RegExprTimeMaskOf(FTimeFormatInfo) + L")?", true);
  if (!FAssignedStandardDateTimeEditMask)
    FStandardDateTimeEditMask = StandardMaskOf(FDateTimeFormatInfo, TcxMaskKind::mkDateTime);
  FMaskedDateEditFormat = DisplayFormatOf(FDateFormatInfo);
  FMaskedDateTimeEditFormat = DisplayFormatOf(FDateTimeFormatInfo);
}

WideString TcxFormatController::RegExprCustomDateEditMask(const WideString& AFormat) {
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat(AFormat, info);
  return RegExprDateMaskOf(info);
}

void TcxFormatController::SetAssignedText(WideString& AField, bool& AAssigned, const WideString& AValue) {
  AAssigned = true;
  if (AField == AValue) return;  // assigned, but nothing to tell
  AField = AValue;
  FormatsChanged();
}

void TcxFormatController::SetAssignedFlag(bool& AAssigned, bool AValue) {
  if (AAssigned == AValue) return;
  AAssigned = AValue;
  FormatsChanged();
}

void TcxFormatController::SetCurrencyFormat(const WideString& AValue) { SetAssignedText(FCurrencyFormat, FAssignedCurrencyFormat, AValue); }
void TcxFormatController::SetRegExprDateEditMask(const WideString& AValue) {
  SetAssignedText(FRegExprDateEditMask, FAssignedRegExprDateEditMask, AValue);
}
void TcxFormatController::SetRegExprDateTimeEditMask(const WideString& AValue) {
  SetAssignedText(FRegExprDateTimeEditMask, FAssignedRegExprDateTimeEditMask, AValue);
}
void TcxFormatController::SetStandardDateEditMask(const WideString& AValue) {
  SetAssignedText(FStandardDateEditMask, FAssignedStandardDateEditMask, AValue);
}
void TcxFormatController::SetStandardDateTimeEditMask(const WideString& AValue) {
  SetAssignedText(FStandardDateTimeEditMask, FAssignedStandardDateTimeEditMask, AValue);
}
void TcxFormatController::SetAssignedCurrencyFormat(bool AValue) { SetAssignedFlag(FAssignedCurrencyFormat, AValue); }
void TcxFormatController::SetAssignedRegExprDateEditMask(bool AValue) { SetAssignedFlag(FAssignedRegExprDateEditMask, AValue); }
void TcxFormatController::SetAssignedRegExprDateTimeEditMask(bool AValue) {
  SetAssignedFlag(FAssignedRegExprDateTimeEditMask, AValue);
}
void TcxFormatController::SetAssignedStandardDateEditMask(bool AValue) { SetAssignedFlag(FAssignedStandardDateEditMask, AValue); }
void TcxFormatController::SetAssignedStandardDateTimeEditMask(bool AValue) {
  SetAssignedFlag(FAssignedStandardDateTimeEditMask, AValue);
}

void TcxFormatController::SetAssignedStartOfWeek(bool AValue) {
  if (AValue)
    AssignWeekStartDay(uint16_t(GetLocaleWeekStartDay()));
  else
    ResetWeekStartDay();
}

void TcxFormatController::SetStartOfWeek(int AValue) {
  if (AValue == StartOfWeek()) return;
  AssignWeekStartDay(uint16_t(AValue));
  FormatsChanged();
}

void TcxFormatController::SetUseLibraryTimeFormat(bool AValue) {
  if (FUseLibraryTimeFormat == AValue) return;
  FUseLibraryTimeFormat = AValue;
  FormatsChanged();
}

void TcxFormatController::HandleMessage(TMessage& Message) {
  // Nothing may leave the window procedure: a failure keeps the formats as they were.
  try {
    if (Message.Msg == WM_WININICHANGE && Message.WParam == 0 && Message.LParam &&
        std::wstring_view(reinterpret_cast<const wchar_t*>(Message.LParam)) == L"intl") {
      if (UpdateFormatSettings()) {
        SetThreadLocale(LOCALE_USER_DEFAULT);
        ReadLocaleFormatSettings();
        GetFormats();
        NotifyListeners();
      }
      Message.Result = 0;
      return;
    }
    if (Message.Msg == WM_TIMECHANGE) {
      const std::vector<IcxFormatControllerListener*> listeners = FList;
      for (IcxFormatControllerListener* listener : listeners) {
        IcxFormatControllerTimeListener* time = nullptr;
        if (SUCCEEDED(listener->QueryInterface(IID_IcxFormatControllerTimeListener, reinterpret_cast<void**>(&time))) && time) {
          time->TimeChanged();
          time->Release();
        }
      }
      Message.Result = 0;
      return;
    }
  } catch (...) {
    Message.Result = 0;
    return;
  }
  TcxMessageWindow::HandleMessage(Message);
}

TcxFormatController* GetFormatController() {
  if (gFormatsShutDown) return nullptr;
  if (!gFormatController) gFormatController = std::make_unique<TcxFormatController>();
  return gFormatController.get();
}

void cxFormatsUnitStart() { gFormatsShutDown = false; }

void cxFormatsUnitStop() {
  gFormatsShutDown = true;
  gFormatController.reset();
}

}  // namespace tvk
