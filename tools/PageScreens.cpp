// Renders a panel like the hard-device viewer's pin-state panel (collapsible
// sections with a bar between them, one of them collapsed, and one holding a
// page control with bottom tabs "Part A" to "Part D" that do not all fit, so
// the arrow buttons show) in look modes 0, 1 and 2 into PNG files.
//
// usage: page_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "Forms.h"
#include "ModuleInit.h"
#include "PngImage.h"
#include "StdCtrls.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "XPPageControl.h"
#include "XPSplit.h"
#include "ScreenshotImages.h"

#include <objbase.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace tvk;

namespace {

constexpr TInitStep kPageScreenSteps[] = {
    TVK_STYLED_CONTROLS_STEPS
};

void SetPageLookMode(int mode) {
  ThemeServices().SetThemesSwitchedOff(mode != 2);
  if (mode == 1) OverrideWin32Version(5, 0);
  else ClearWin32VersionOverride();
  UpdateSubstColors();
}

// The visible windowed children.
bool DrawsShownWindow(TControl* child) {
  auto* windowed = dynamic_cast<TWinControl*>(child);
  return windowed && windowed->HandleAllocated() && IsWindowVisible(windowed->Handle());
}

void Note(TWinControl* parent, const wchar_t* text) {
  auto* label = new TLabel(parent);
  label->SetBounds(12, 12, 220, 16);
  label->SetCaption(text);
  label->SetParent(parent);
}

// The panel on Form; Pages gets the page control.
TXPCollapseSectionsPanel* BuildPinStatePanel(TForm* form) {
  auto* panel = new TXPCollapseSectionsPanel(form);
  panel->SetBounds(0, 0, 321, 624);
  panel->SetMargin(1);
  panel->SetParent(form);
  auto* symbol = panel->AddNewSection();
  auto* footprint = panel->AddNewSection();
  auto* notes = static_cast<TXPCustomCollapseSection*>(panel->AddNewSection());
  symbol->SetShowBorder(true);
  footprint->SetShowBorder(true);
  symbol->SetCaption(L"Schematic symbol");
  notes->SetCaption(L"Notes");
  Note(symbol, L"Schematic symbol");
  notes->SetCollapsed(true);
  auto* pages = new TWinXPPageControl(nullptr);
  pages->SetTabPosition(TWinXPTabPosition::tpBottom);
  pages->SetParent(footprint);
  pages->SetAlign(TAlign::alClient);
  pages->SetDoubleBuffered(false);
  for (const wchar_t* part : {L"Part A", L"Part B", L"Part C", L"Part D"}) {
    auto* sheet = new TWinXPTabSheet(pages);
    sheet->SetCaption(part);
    Note(sheet, (std::wstring(L"Footprint of ") + part).c_str());
    pages->InsertPage(sheet);
  }
  pages->SetTabIndex(1);
  return panel;
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "page_screens", kPageScreenSteps, [](const std::string& folder) {
    for (int mode = 0; mode <= 2; ++mode) {
      SetPageLookMode(mode);
      std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
      form->SetBounds(0, 0, 360, 680);
      TXPCollapseSectionsPanel* panel = BuildPinStatePanel(form.get());
      form->Show();
      // A narrower panel: the four tabs no longer fit.
      panel->SetBounds(0, 0, 181, 624);
      TBitmap shot;
      shot.SetPixelFormat(TPixelFormat::pf32bit);
      shot.SetSize(panel->Width(), panel->Height());
      TCanvas& c = shot.Canvas();
      c.Brush().SetColor(SubstBtnFaceColor);
      c.FillRect(RECT{0, 0, panel->Width(), panel->Height()});
      RenderControl(*panel, c.Handle(), 0, 0, DrawsShownWindow);
      const std::string file = "pages_lookmode" + std::to_string(mode) + ".png";
      SavePng(shot, folder, file.c_str(),
              ("look mode " + std::to_string(mode) + " (GetThemeMode " + std::to_string(int(GetThemeMode())) + ")").c_str());
    }
  }, [] { SetPageLookMode(2); });
}
