#include "dxExEdtr.h"

#include "EditorsClassicResources.h"
#include "Forms.h"
#include "ResStrings.h"
#include "WindowClasses.h"
#include "dxCheckEdit.h"

#include <array>
#include <memory>

namespace tvk {

namespace {

constexpr std::array<const wchar_t*, kDateKeywordCount> kBuiltInDateKeywords = {
    L"TODAY",  L"YESTERDAY", L"TOMORROW", L"SUNDAY", L"MONDAY",  L"TUESDAY", L"WEDNESDAY",
    L"THURSDAY", L"FRIDAY",  L"SATURDAY", L"FIRST",  L"SECOND",  L"THIRD",   L"FOURTH",
    L"FIFTH",  L"SIXTH",     L"SEVENTH",  L"BOM",    L"EOM",     L"NOW"};

struct TExEditorTexts {
  WideString InvalidDate;
  std::array<WideString, 3> BlobPopup;
  std::array<WideString, kToolbarButtonCount> ToolbarCaptions, ToolbarHints;
  std::array<WideString, kDateKeywordCount> DateKeywords;

  TExEditorTexts() { RestoreBuiltIn(); }
  void RestoreBuiltIn() {
    *this = TExEditorTexts(0);
    for (std::size_t i = 0; i < DateKeywords.size(); ++i) DateKeywords[i] = kBuiltInDateKeywords[i];
  }

private:
  explicit TExEditorTexts(int) {}
};

TExEditorTexts& Texts() {
  static TExEditorTexts texts;
  return texts;
}

bool gStarted = false;
TdxTimeConstants gTimeConstants;
std::unique_ptr<TCanvas> gSharedCanvas;

WideString LoadText(UINT identifier) {
  TResStringRec rec(identifier);
  return LoadResString(&rec);
}

}  // namespace

const WideString& InvalidDateText() { return Texts().InvalidDate; }
const WideString& BlobPopupCaption(TdxBlobPopupButton button) {
  return Texts().BlobPopup[static_cast<std::size_t>(button)];
}
const WideString& ToolbarButtonCaption(int index) {
  return Texts().ToolbarCaptions.at(static_cast<std::size_t>(index));
}
const WideString& ToolbarButtonHint(int index) { return Texts().ToolbarHints.at(static_cast<std::size_t>(index)); }
const WideString& DateKeyword(int index) { return Texts().DateKeywords.at(static_cast<std::size_t>(index)); }
const TdxTimeConstants& TimeConstants() { return gTimeConstants; }
TCanvas* SharedCanvas() { return gSharedCanvas.get(); }

bool DxExEdtrUnitStartup() {
  if (gStarted) return true;
  MeasureStandardCheckSize();
  Screen().SetCursors(crdxHandPoint, LoadCursorFromData(ClassLibraryInstance(), L"DX_HANDPOINT"));
  TExEditorTexts& texts = Texts();
  texts.InvalidDate = LoadText(IDS_sdxInvalidDate);
  gTimeConstants.OneSecond = EncodeTime(0, 0, 1, 0);
  gTimeConstants.OneMinute = EncodeTime(0, 1, 0, 0);
  gTimeConstants.OneHour = EncodeTime(1, 0, 0, 0);
  gTimeConstants.Zero = EncodeTime(0, 0, 0, 0);
  gTimeConstants.LastTimeOfDay = EncodeTime(23, 59, 59, 0);
  for (int i = 0; i < kToolbarButtonCount - 1; ++i) {
    texts.ToolbarCaptions[static_cast<std::size_t>(i)] = LoadText(IDS_sdxToolbarCaptionFirst + i);
    texts.ToolbarHints[static_cast<std::size_t>(i)] = LoadText(IDS_sdxToolbarHintFirst + i);
  }
  texts.ToolbarCaptions.back().clear();
  texts.ToolbarHints.back().clear();
  gSharedCanvas = std::make_unique<TCanvas>();
  texts.BlobPopup = {LoadText(IDS_sdxBlobPopupOK), LoadText(IDS_sdxBlobPopupCancel), LoadText(IDS_sdxBlobPopupClose)};
  SetDefaultCheckEditStyleController(new TdxCheckEditStyleController(nullptr));
  for (int i = 0; i < kDateKeywordCount; ++i) {
    WideString keyword = LoadText(IDS_sdxDateKeywordFirst + i);
    if (!keyword.empty()) texts.DateKeywords[static_cast<std::size_t>(i)] = std::move(keyword);
  }
  gStarted = true;
  return true;
}

void DxExEdtrUnitShutdown() {
  if (!gStarted) return;
  delete DefaultCheckEditStyleController();
  SetDefaultCheckEditStyleController(nullptr);
  gSharedCanvas.reset();
  Screen().SetCursors(crdxHandPoint, nullptr);  // the table destroys the cursor
  Texts().RestoreBuiltIn();
  gTimeConstants = TdxTimeConstants{};
  gStarted = false;
}

}  // namespace tvk
