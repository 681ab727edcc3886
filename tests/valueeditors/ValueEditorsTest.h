#pragma once
// Shared helpers of the value editor tests: locale settings and a fixed clock
// for one test, and pixel checks of painted controls.
#include <gtest/gtest.h>

#include "DateTimes.h"
#include "Forms.h"
#include "LocaleFormats.h"
#include "support/CellHost.h"
#include "support/WindowErrors.h"

#include <memory>
#include <string>

namespace valueeditors_test {

// The United States conventions with the decimal and thousand separators and
// the short date format of a test's choice.
inline tvk::TFormatSettings Settings(wchar_t decimal = L'.', wchar_t thousand = L',',
                                     const tvk::WideString& shortDate = L"M/d/yyyy", wchar_t dateSeparator = L'/') {
  tvk::TFormatSettings s;
  s.DecimalSeparator = decimal;
  s.ThousandSeparator = thousand;
  s.ShortDateFormat = shortDate;
  s.DateSeparator = dateSeparator;
  return s;
}

// The clock stopped at Moment for one scope.
class FixedClock {
public:
  explicit FixedClock(tvk::TDateTime moment) { tvk::SetClockOverride(moment); }
  ~FixedClock() { tvk::SetClockOverride(std::nullopt); }
  FixedClock(const FixedClock&) = delete;
  FixedClock& operator=(const FixedClock&) = delete;
};

// Paints Window's client area (WM_PRINTCLIENT) into a 32-bit bitmap of its size.
inline void PrintClient(HWND window, tvk::TBitmap& bitmap) {
  RECT r{};
  GetClientRect(window, &r);
  bitmap.SetPixelFormat(tvk::TPixelFormat::pf32bit);
  bitmap.SetSize(r.right, r.bottom);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()), PRF_CLIENT);
}

// Whether some pixel of R has exactly Color.
inline bool HasColor(tvk::TBitmap& bitmap, const RECT& r, COLORREF color) {
  HDC dc = bitmap.Canvas().Handle();
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (GetPixel(dc, x, y) == color) return true;
  return false;
}

struct FormFixture : ::testing::Test {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  void SetUp() override { Form->SetBounds(0, 0, 400, 300); }
};

// A form with a cell host whose one cell an editor of class TEditor edits.
template <class TEditor>
struct EditorFixture : FormFixture {
  tvk_test::TCellHost* Host = nullptr;
  TEditor* Edit = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 200, 100);
    Edit = new TEditor(Host);
    Edit->SetParent(Host);
    Host->Editor = Edit;
    Form->Show();
  }
  void Open(const tvk::WideString& text) {
    Host->Cells = {text};
    Host->EditCell(0);
    const int end = static_cast<int>(Edit->GetTextValue().size());
    Edit->SetSelection(end, end);
  }
  void Type(const std::wstring& keys) {
    for (wchar_t c : keys) SendMessageW(Edit->Handle(), WM_CHAR, c, 1);
  }
};

// Holds Ctrl down for the keyboard state the editors read.
inline void SetCtrlDown(bool down) {
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

}  // namespace valueeditors_test
