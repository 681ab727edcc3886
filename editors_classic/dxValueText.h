#pragma once
// Texts of the value editors' values: dates typed as the locale writes them
// or as keywords with a day offset ("TODAY+3", "EOM"), dates shown and masked
// for editing, and amounts with the locale's currency format.
#include "DateTimes.h"
#include "dxExEdtr.h"

namespace tvk {

// A keyword at the start of Text (first match in table order, case-blind for
// the user's locale) with an optional "+n" / "-n" day offset. False, Date
// unchanged, when no keyword matches.
bool ParseDateKeyword(const WideString& text, TDateTime& date);
// A keyword, or else the system's reading of the text as a date for the
// thread's locale (with the date separator "." the first two dots read as
// blanks). False, Date unchanged, for an empty or unreadable text.
bool TextToDate(WideString text, TDateTime& date);
// The locale's short date, and its time when the time of day is not 0; empty for the null date.
WideString DateToText(TDateTime date);
// The text a masked (BuildDateDisplayFormat) or plain editor shows.
WideString DateToEditText(bool masked, TDateTime date);
// The edit mask and the matching two-digit display pattern of the short date format.
WideString BuildDateEditMask();
WideString BuildDateDisplayFormat();

// The locale's currency pattern for positive and negative amounts ("$,0.00;-$,0.00").
WideString BuildCurrencyDisplayFormat();
// Text without thousand separators read as a number in the locale's format:
// true for 0 and magnitudes from 5e-324 to 1.7e308; otherwise Value 0 and false.
bool TextToAmount(const WideString& text, long double& value);

}  // namespace tvk
