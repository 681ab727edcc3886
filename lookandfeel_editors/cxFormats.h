#pragma once
// Regional formats of the editors: date/time format texts parsed into typed
// items, the edit masks and display formats built from them, the currency
// format, and the process-wide controller that derives them from the format
// settings and keeps them current when the user's settings change.
#include "cxClasses.h"
#include "dxCore.h"

#include <optional>
#include <vector>

namespace tvk {

enum TcxDateTimeFormatItemKind {
  dtikString, dtikYear, dtikMonth, dtikDay, dtikHour, dtikMin, dtikSec, dtikMSec, dtikTimeSuffix,
  dtikDateSeparator, dtikTimeSeparator
};
enum TcxTimeSuffixKind { tskAP, tskAMPM, tskAMPMString };
enum TcxFirstWeekOfYear { fwySystem, fwyJan1, fwyFirstFullWeek, fwyFirstFourDays };

struct TcxDateTimeFormatItemInfo {
  TcxDateTimeFormatItemKind Kind;
  int32_t ItemZoneStart;  // 1-based, in the standard mask text
  int32_t ItemZoneLength;
  TcxTimeSuffixKind TimeSuffixKind;
};

struct TcxDateTimeFormatItem {
  WideString Data;  // the pattern (YYYY, MM, 24HH, AM/PM ...) or the literal text
  TcxDateTimeFormatItemKind Kind;
};

class TcxDateTimeFormatInfo : public TObject {
public:
  TVK_CLASS(TcxDateTimeFormatInfo, TObject)
  void AddItem(TcxDateTimeFormatItemKind AKind, const WideString& AData);
  void RemoveItem(int AIndex);
  void ClearFormatInfo();
  int ItemCount() const { return int(FItems.size()); }
  const TcxDateTimeFormatItem& Items(int AIndex) const { return FItems[std::size_t(AIndex)]; }
  TcxDateTimeFormatItem& Items(int AIndex) { return FItems[std::size_t(AIndex)]; }
  bool DefinedItems(TcxDateTimeFormatItemKind AKind) const { return FDefinedItems[AKind]; }

private:
  bool FDefinedItems[dtikTimeSeparator + 1] = {};
  std::vector<TcxDateTimeFormatItem> FItems;
};

// Parses AFormat (empty: "C") into AInfo; a format the editors cannot take
// (an era) leaves AInfo empty.
void ParseDateTimeFormat(const WideString& AFormat, TcxDateTimeFormatInfo& AInfo);

enum class TcxMaskKind { mkDate, mkDateTime, mkTime };
WideString StandardMaskOf(const TcxDateTimeFormatInfo& AInfo, TcxMaskKind AKind);
WideString RegExprDateMaskOf(const TcxDateTimeFormatInfo& AInfo);
WideString RegExprTimeMaskOf(const TcxDateTimeFormatInfo& AInfo);
// AMask extended by the relative-date words (with "now" for date-times).
WideString AddRelativeDateAlternatives(const WideString& AMask, bool AWithNow);
WideString DisplayFormatOf(const TcxDateTimeFormatInfo& AInfo);
WideString BuildCurrencyFormat();
// The date edit format of a short date format: lone d and M doubled.
WideString DateEditFormatOf(const WideString& AShortDateFormat);

bool GetDateTimeFormatItemStandardMaskInfo(const TcxDateTimeFormatInfo& AInfo, int APosition,
                                           TcxDateTimeFormatItemInfo& AItemInfo);
int GetDateTimeStandardMaskStringLength(const TcxDateTimeFormatInfo& AInfo);

// The operating system's time format as the editors read it; tests put one in place.
void SetLocaleTimeFormatOverride(std::optional<WideString> AFormat);

// {A7F2F6D3-1A7D-4295-A6E6-9297BD83D0DE}
extern const IID IID_IcxFormatControllerListener;
struct IcxFormatControllerListener : public IUnknown {
  virtual void STDMETHODCALLTYPE FormatChanged() = 0;
};
// {5E33A2A7-0C77-415F-A359-112103E54937}
extern const IID IID_IcxFormatControllerTimeListener;
struct IcxFormatControllerTimeListener : public IUnknown {
  virtual void STDMETHODCALLTYPE TimeChanged() = 0;
};

class TcxFormatController : public TcxMessageWindow, public IdxLocalizerListener {
public:
  TVK_CLASS(TcxFormatController, TcxMessageWindow)
  TcxFormatController();
  ~TcxFormatController() override;

  virtual void AddListener(IcxFormatControllerListener* AListener);
  virtual void RemoveListener(IcxFormatControllerListener* AListener);
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void NotifyListeners();
  void GetFormats();
  WideString RegExprCustomDateEditMask(const WideString& AFormat);

  // Not counted: the repository keeps no reference.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID AIID, void** AObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  void STDMETHODCALLTYPE TranslationChanged() override { FormatsChanged(); }

  const WideString& CurrencyFormat() const { return FCurrencyFormat; }
  void SetCurrencyFormat(const WideString& AValue);
  const WideString& RegExprDateEditMask() const { return FRegExprDateEditMask; }
  void SetRegExprDateEditMask(const WideString& AValue);
  const WideString& RegExprDateTimeEditMask() const { return FRegExprDateTimeEditMask; }
  void SetRegExprDateTimeEditMask(const WideString& AValue);
  const WideString& StandardDateEditMask() const { return FStandardDateEditMask; }
  void SetStandardDateEditMask(const WideString& AValue);
  const WideString& StandardDateTimeEditMask() const { return FStandardDateTimeEditMask; }
  void SetStandardDateTimeEditMask(const WideString& AValue);
  bool AssignedCurrencyFormat() const { return FAssignedCurrencyFormat; }
  void SetAssignedCurrencyFormat(bool AValue);
  bool AssignedRegExprDateEditMask() const { return FAssignedRegExprDateEditMask; }
  void SetAssignedRegExprDateEditMask(bool AValue);
  bool AssignedRegExprDateTimeEditMask() const { return FAssignedRegExprDateTimeEditMask; }
  void SetAssignedRegExprDateTimeEditMask(bool AValue);
  bool AssignedStandardDateEditMask() const { return FAssignedStandardDateEditMask; }
  void SetAssignedStandardDateEditMask(bool AValue);
  bool AssignedStandardDateTimeEditMask() const { return FAssignedStandardDateTimeEditMask; }
  void SetAssignedStandardDateTimeEditMask(bool AValue);
  bool AssignedStartOfWeek() const { return IsWeekStartDayAssigned(); }
  void SetAssignedStartOfWeek(bool AValue);
  int StartOfWeek() const { return GetWeekStartDay(); }
  void SetStartOfWeek(int AValue);
  TcxFirstWeekOfYear FirstWeekOfYear() const { return FFirstWeekOfYear; }
  void SetFirstWeekOfYear(TcxFirstWeekOfYear AValue) { FFirstWeekOfYear = AValue; }
  bool UseLibraryTimeFormat() const { return FUseLibraryTimeFormat; }
  void SetUseLibraryTimeFormat(bool AValue);
  const WideString& DateEditFormat() const { return FDateEditFormat; }
  const WideString& DateEditMask() const { return FDateEditMask; }
  const WideString& MaskedDateEditFormat() const { return FMaskedDateEditFormat; }
  const WideString& MaskedDateTimeEditFormat() const { return FMaskedDateTimeEditFormat; }
  const TcxDateTimeFormatInfo& DateFormatInfo() const { return FDateFormatInfo; }
  const TcxDateTimeFormatInfo& DateTimeFormatInfo() const { return FDateTimeFormatInfo; }
  const TcxDateTimeFormatInfo& TimeFormatInfo() const { return FTimeFormatInfo; }

protected:
  void HandleMessage(TMessage& Message) override;

private:
  void FormatsChanged();
  void CalculateEditMasks();
  // Sets AField (and its flag); a change re-derives the formats.
  void SetAssignedText(WideString& AField, bool& AAssigned, const WideString& AValue);
  void SetAssignedFlag(bool& AAssigned, bool AValue);

  bool FAssignedCurrencyFormat = false;
  bool FAssignedRegExprDateEditMask = false;
  bool FAssignedRegExprDateTimeEditMask = false;
  bool FAssignedStandardDateEditMask = false;
  bool FAssignedStandardDateTimeEditMask = false;
  WideString FCurrencyFormat, FDateEditFormat, FDateEditMask;
  TcxFirstWeekOfYear FFirstWeekOfYear = fwySystem;
  std::vector<IcxFormatControllerListener*> FList;  // not counted
  int32_t FLockCount = 0;
  WideString FMaskedDateEditFormat, FMaskedDateTimeEditFormat, FRegExprDateEditMask, FRegExprDateTimeEditMask,
      FStandardDateEditMask, FStandardDateTimeEditMask;
  bool FUseLibraryTimeFormat = false;
  TcxDateTimeFormatInfo FDateFormatInfo, FDateTimeFormatInfo, FTimeFormatInfo;
};

// The process-wide controller, made on first use; null once the unit's
// shut-down has begun.
TcxFormatController* GetFormatController();

void cxFormatsUnitStart();
void cxFormatsUnitStop();

}  // namespace tvk
