// Renders the styled list box (check boxes, multiple selection, columns), a
// combo box with its list open, a history edit and a split button with its
// pop-up open, in look modes 0, 1 and 2, into PNG files.
//
// usage: list_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "Forms.h"
#include "ModuleInit.h"
#include "Panels.h"
#include "PngImage.h"
#include "Themes.h"
#include "XPCombo.h"
#include "XPControlUtils.h"
#include "XPExtEdits.h"
#include "XPSplitButton.h"
#include "ScreenshotImages.h"

#include <cstdio>
#include <memory>
#include <string>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {
    TVK_STYLED_CONTROLS_STEPS
};

// Visible children; windows of their own on the screen (an open drop-down
// list) are left to the caller.
bool DrawsChild(TControl* child) { return child->Visible() && !dynamic_cast<TXPPopupListBox*>(child); }

// A window of its own, painted where it stands relative to the form's client area.
void RenderOnScreen(TWinControl& window, TForm& form, HDC dc) {
  RECT r;
  GetWindowRect(window.Handle(), &r);
  POINT at{r.left, r.top};
  ScreenToClient(form.Handle(), &at);
  const RECT frame{at.x, at.y, at.x + (r.right - r.left), at.y + (r.bottom - r.top)};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clWindowFrame));
  FillRect(dc, &frame, brush);
  DeleteObject(brush);
  POINT client{0, 0};
  ClientToScreen(window.Handle(), &client);
  RenderControl(window, dc, client.x - r.left + at.x, client.y - r.top + at.y, DrawsChild);
}

template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

void SetLook(int mode) {
  ThemeServices().SetThemesSwitchedOff(mode != 2);
  if (mode == 1)
    OverrideWin32Version(5, 0);
  else
    ClearWin32VersionOverride();
  UpdateSubstColors();
}

void Shoot(int mode, const std::string& folder) {
  SetLook(mode);
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(100, 100, 640, 340);
  form->Show();

  auto* checks = Place<TXPListBox>(form.get(), 8, 8, 180, 120);
  checks->SetUseCheckBoxes(true);
  checks->SetAllowGrayed(true);
  checks->SetMultiSelect(true);
  for (const wchar_t* item : {L"PA0 - WKUP", L"PA1", L"PA2 - USART2_TX", L"PA3 - USART2_RX", L"PB6 - I2C1_SCL",
                              L"PB7 - I2C1_SDA", L"PC13 - TAMPER", L"PD0 - OSC_IN", L"PD1 - OSC_OUT"})
    checks->Items().Add(item);
  checks->SetChecked(0, true);
  checks->SetState(2, TCheckBoxState::cbGrayed);
  checks->SetChecked(4, true);
  checks->SetSelected(3, true);
  checks->SetSelected(4, true);

  auto* columns = Place<TXPListBox>(form.get(), 196, 8, 230, 120);
  columns->SetColumns(3);
  columns->Items().BeginUpdate();
  for (int i = 0; i < 40; ++i) columns->Items().Add(L"0x" + std::to_wstring(8000 + i * 4));
  columns->Items().EndUpdate();
  columns->SetItemIndex(7);

  auto* history = Place<TXPHistoryEdit>(form.get(), 8, 150, 180, 21);
  history->SetRegKey(L"TvkScreens\\History");
  for (const wchar_t* item : {L"0x08000000", L"0x08004000", L"0x20000000"}) history->Items().Add(item);
  history->SetItemIndex(0);

  auto* split = Place<TXPSplitButton>(form.get(), 8, 200, 140, 25);
  split->SetCaption(L"BSDL Information");
  auto* details = new TPanel(form.get());
  details->SetBounds(0, 0, 200, 60);
  details->SetCaption(L"STM32F103 boundary scan");
  split->SetPopupControl(details);

  auto* combo = Place<TXPComboBox>(form.get(), 440, 8, 170, 21);
  combo->SetStyle(TComboBoxStyle::csDropDownList);
  for (const wchar_t* item : {L"Internal flash", L"SPI flash on SPI1", L"SPI flash on SPI2", L"CFI flash (x16)",
                              L"CFI flash (x8)", L"External RAM"})
    combo->Items().Add(item);
  combo->SetItemIndex(1);
  form->HandleNeeded();
  combo->SetDroppedDown(true);
  SendMessageW(split->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);

  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(form->ClientWidth(), form->ClientHeight());
  RenderControl(*form, shot.Canvas().Handle(), 0, 0, DrawsChild);
  RenderOnScreen(combo->PopupListBox(), *form, shot.Canvas().Handle());
  if (split->PopupHolder()) RenderOnScreen(*split->PopupHolder(), *form, shot.Canvas().Handle());
  combo->SetDroppedDown(false);
  SendMessageW(split->Handle(), TXPSplitButton::WM_HIDEPOPUP, 0, 0);

  const std::string file = "lists_mode" + std::to_string(mode) + ".png";
  SavePng(shot, folder, file.c_str(), "lists");
  // The history edit keeps nothing of a picture run.
  form.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, L"TvkScreens");
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "list_screens", kSteps, [](const std::string& folder) {
    for (int mode : {0, 1, 2}) Shoot(mode, folder);
  }, [] { SetLook(2); });
}
