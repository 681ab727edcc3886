// Renders a rack instrument panel like the driver's (front plate, two
// display panels with readouts, caption headings, lamps lit and unlit, the
// Reset, Pause, Continue and Step keys, one backlit and one pressed) in three
// plate schemes, each as the primary instrument and not, into PNG files.
//
// usage: instrument_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "Forms.h"
#include "InstrumentButtons.h"
#include "InstrumentChecks.h"
#include "InstrumentLabels.h"
#include "InstrumentPanels.h"
#include "Maths.h"
#include "ModuleInit.h"
#include "PngImage.h"
#include "StdCtrls.h"
#include "ScreenshotImages.h"

#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {
    TVK_STYLED_CONTROLS_STEPS
};

// The panels' visible windowed children.
bool DrawsWindowedChild(TControl* child) { return child->Visible() && dynamic_cast<TWinControl*>(child); }

template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  auto* c = new T(parent);
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  return c;
}

TLabel* Readout(TWinControl* display, int left, int top, const wchar_t* text) {
  auto* label = Place<TLabel>(display, left, top, 160, 16);
  label->SetTransparent(true);
  label->Font().SetName(L"Courier New");
  label->Font().SetSize(10);
  label->Font().SetStyle(fsBold);
  label->SetCaption(text);
  return label;
}

// The rack panel on Plate.
void BuildPanel(TInstrumentBackgroundPanel* plate) {
  plate->SetCoreName(L"ARM Cortex-M3 (STM32F103)");
  plate->SetTitle(L"STM32 Instrument");
  plate->SetJtagID(0);
  plate->SetPortID(1);
  auto* control = Place<TInstrumentCaption>(plate, 50, 28, 300, 14);
  control->SetCaption(L"CONTROL");
  auto* status = Place<TInstrumentCaption>(plate, 370, 28, 300, 14);
  status->SetCaption(L"STATUS");
  const wchar_t* keys[] = {L"Reset", L"Pause", L"Continue", L"Step"};
  for (int i = 0; i < 4; ++i) {
    auto* key = Place<TInstrumentButton>(plate, 60 + i * 70, 52, 60, 22);
    key->SetCaption(keys[i]);
    if (i == 1) key->SetButtonDown(true);
    if (i == 2) key->SetBacklight(true);
  }
  auto* running = Place<TInstrumentCheckBox>(plate, 60, 84, 120, 17);
  running->SetCaption(L"RUNNING");
  running->SetChecked(true);
  auto* reset = Place<TInstrumentCheckBox>(plate, 190, 84, 120, 17);
  reset->SetCaption(L"RESET");
  reset->SetGlyphStyle(TInstrumentCheckStyle::icsGreen);
  auto* poll = Place<TInstrumentCheckBox>(plate, 60, 106, 160, 17);
  poll->SetCaption(L"POLL");
  poll->SetGlyphStyle(TInstrumentCheckStyle::icsButton);
  poll->SetChecked(true);
  auto* registers = Place<TInstrumentPanel>(plate, 370, 50, 170, 50);
  Readout(registers, 8, 6, L"PC 0x08000134");
  Readout(registers, 8, 26, L"SP 0x20004FF0");
  auto* code = Place<TInstrumentPanel>(plate, 550, 50, 140, 50);
  auto* label = Place<TInstrumentLabel>(code, 8, 6, 120, 14);
  label->SetCaption(L"LDR R0, [PC, #8]");
  auto* plateLabel = Place<TInstrumentLabel>(plate, 370, 108, 200, 14);
  plateLabel->SetCaption(L"INSTRUCTION");
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "instrument_screens", kSteps, [](const std::string& folder) {
    const TInstrumentPanelStyle schemes[] = {TInstrumentPanelStyle::ipsMidGray, TInstrumentPanelStyle::ipsBlue,
                                             TInstrumentPanelStyle::ipsDarkRed};
    for (TInstrumentPanelStyle scheme : schemes)
      for (bool primary : {true, false}) {
        SetRandSeed(20);
        std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
        form->SetBounds(0, 0, 760, 200);
        auto* plate = Place<TInstrumentBackgroundPanel>(form.get(), 0, 0, 724, 140);
        BuildPanel(plate);
        plate->SetStyle(scheme);
        plate->SetPrimary(primary);
        form->HandleNeeded();
        TBitmap shot;
        shot.SetPixelFormat(TPixelFormat::pf32bit);
        shot.SetSize(724, 140);
        RenderControl(*plate, shot.Canvas().Handle(), 0, 0, DrawsWindowedChild);
        const std::wstring scheme_name = InstrumentPanelStyleName(scheme);
        const std::string file =
            "rack_" + std::string(scheme_name.begin(), scheme_name.end()) + (primary ? "_primary" : "") + ".png";
        SavePng(shot, folder, file.c_str(), "rack");
      }
  });
}
