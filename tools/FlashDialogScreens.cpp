// Renders a dialog laid out like the flash memory utility's (group boxes,
// edits with and without a button, OK, Cancel and a glyph button, check
// boxes in their three states, radio buttons, progress bars at 0, 37 and
// 100 %) in look modes 0, 1 and 2, enabled and disabled, into PNG files.
//
// usage: flash_dialog_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "Forms.h"
#include "ModuleInit.h"
#include "PngImage.h"
#include "Themes.h"
#include "WinXPButtons.h"
#include "XPControlUtils.h"
#include "XPEdits.h"
#include "XPGroups.h"
#include "XPProgress.h"
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

// An edit with the ellipsis button of the dialog's file name field.
class TFileNameEdit : public TXPCustomButtonEdit {
public:
  using TXPCustomButtonEdit::TXPCustomButtonEdit;
  TGraphic* GetButtonGlyph(TXPEditButton&) override { return &TXPEditResourceManager::EllipsisGlyph(); }
};

template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

void BuildDialog(TForm* form, bool enabled) {
  auto* download = Place<TXPGroupBox>(form, 8, 8, 330, 120);
  download->SetCaption(L"&Download");
  auto* file = Place<TFileNameEdit>(download, 12, 24, 300, 21);
  file->SetText(L"C:\\Projects\\Blinky\\Blinky.hex");
  auto* verify = Place<TXPCheckBox>(download, 12, 54, 140, 17);
  verify->SetCaption(L"&Verify");
  verify->SetChecked(true);
  auto* erase = Place<TXPCheckBox>(download, 12, 74, 140, 17);
  erase->SetCaption(L"&Erase first");
  auto* mixed = Place<TXPCheckBox>(download, 160, 54, 150, 17);
  mixed->SetAllowGrayed(true);
  mixed->SetCaption(L"Keep &options");
  mixed->SetState(TCheckBoxState::cbGrayed);

  auto* range = Place<TXPGroupBox>(form, 346, 8, 250, 120);
  range->SetCaption(L"E&rase");
  auto* chip = Place<TXPRadioButton>(range, 12, 24, 120, 17);
  chip->SetCaption(L"&Whole chip");
  chip->SetChecked(true);
  auto* sectors = Place<TXPRadioButton>(range, 12, 44, 120, 17);
  sectors->SetCaption(L"&Sectors");
  auto* start = Place<TXPEdit>(range, 12, 70, 100, 21);
  start->SetText(L"0x08000000");
  auto* end = Place<TXPEdit>(range, 120, 70, 100, 21);
  end->SetText(L"0x0801FFFF");
  end->SetReadOnly(true);

  auto* progress = Place<TXPGroupBox>(form, 8, 136, 588, 110);
  progress->SetCaption(L"Progress");
  const int percents[] = {0, 37, 100};
  for (int i = 0; i < 3; ++i) {
    auto* bar = Place<TXPProgressBar>(progress, 12, 24 + i * 26, 560, 17);
    bar->SetMax(1000);
    bar->SetPosition(percents[i] * 10);
  }
  auto* ok = Place<TXPBitBtn>(form, 356, 256, 75, 25);
  ok->SetKind(TBitBtnKind::bkOK);
  auto* cancel = Place<TXPBitBtn>(form, 438, 256, 75, 25);
  cancel->SetKind(TBitBtnKind::bkCancel);
  auto* help = Place<TXPBitBtn>(form, 520, 256, 75, 25);
  help->SetKind(TBitBtnKind::bkHelp);
  auto* go = Place<TXPBitBtn>(form, 8, 256, 100, 25);
  go->SetCaption(L"&Program");
  go->SetKind(TBitBtnKind::bkRetry);
  if (!enabled)
    for (TWinControl* c : std::initializer_list<TWinControl*>{download, range, progress, ok, cancel, help, go}) {
      c->SetEnabled(false);
      for (int i = 0; i < c->ControlCount(); ++i) c->Controls(i)->SetEnabled(false);
    }
}

void SetLook(int mode) {
  ThemeServices().SetThemesSwitchedOff(mode != 2);
  if (mode == 1)
    OverrideWin32Version(5, 0);
  else
    ClearWin32VersionOverride();
  UpdateSubstColors();
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "flash_dialog_screens", kSteps, [](const std::string& folder) {
    for (int mode : {0, 1, 2})
      for (bool enabled : {true, false}) {
        SetLook(mode);
        std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
        form->SetBounds(0, 0, 620, 330);
        BuildDialog(form.get(), enabled);
        form->HandleNeeded();
        TBitmap shot;
        shot.SetPixelFormat(TPixelFormat::pf32bit);
        shot.SetSize(604, 290);
        RenderControl(*form, shot.Canvas().Handle(), 0, 0);
        const std::string file =
            "flash_dialog_mode" + std::to_string(mode) + (enabled ? "_enabled" : "_disabled") + ".png";
        SavePng(shot, folder, file.c_str(), "flash dialog");
      }
  }, [] { SetLook(2); });
}
