#pragma once
// The extended editors' module-wide resources, made once at start-up after
// the text editors' step and freed at shut-down: the check size, the hand
// cursor, the texts (captions, hints, messages, date keywords), the time
// constants, the shared canvas and the check editors' style controller.
#include "Controls.h"
#include "Convert.h"
#include "Graphics.h"

namespace tvk {

constexpr TCursor crdxHandPoint = -1140;
constexpr int kToolbarButtonCount = 7;  // six buttons and the custom one
constexpr int kDateKeywordCount = 20;

enum TdxBlobPopupButton { bpbOK, bpbCancel, bpbClose };

const WideString& InvalidDateText();
const WideString& BlobPopupCaption(TdxBlobPopupButton button);
// Toolbar button Index's caption and hint (the custom button's are empty).
const WideString& ToolbarButtonCaption(int index);
const WideString& ToolbarButtonHint(int index);
// "TODAY" ... "NOW": the built-in texts until start-up loads the table's.
const WideString& DateKeyword(int index);

struct TdxTimeConstants {
  TDateTime OneSecond = 0, OneMinute = 0, OneHour = 0, Zero = 0, LastTimeOfDay = 0;
};
const TdxTimeConstants& TimeConstants();

// The canvas that picture cells borrow (bound to a context and locked while one paints); null outside start-up.
TCanvas* SharedCanvas();

bool DxExEdtrUnitStartup();
void DxExEdtrUnitShutdown();

}  // namespace tvk
