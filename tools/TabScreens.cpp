// The tab control's layouts, outlined by the test painter, one PNG each: tabs
// on every side, several rows, rotated tabs, a scrolled row with navigator
// buttons, close buttons and the new-tab button.
#include "ScreenshotProgram.h"
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "ScreenshotImages.h"
#include "dxCore.h"
#include "support/TabOwner.h"

#include <functional>
#include <vector>

using namespace tvk;
using tvk_test::TTabOwner;
using tvk_test::TTestTabPainter;

namespace {

std::vector<TInitStep> AllSteps() {
  std::vector<TInitStep> steps(LookAndFeelSteps().begin(), LookAndFeelSteps().end());
  steps.insert(steps.end(), LookAndFeelEditorsSteps().begin(), LookAndFeelEditorsSteps().end());
  return steps;
}

const wchar_t* const kCaptions[] = {L"General", L"Memory", L"Registers", L"Breakpoints", L"Flash", L"Pins",
                                    L"Trace", L"Options", L"Log", L"Scripts", L"Help", L"About"};

// A control of AWidth x AHeight with ACount tabs, set up by ASetup, painted and saved.
void Shot(const std::string& AFolder, const char* AName, int AWidth, int AHeight, int ACount,
          const std::function<void(TTabOwner&)>& ASetup) {
  TTestTabPainter::Metrics() = {};
  TTabOwner owner(AWidth, AHeight);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.BeginUpdate();
  p.SetStyle(TTestTabPainter::kStyleID);
  p.SetShowFrame(true);
  for (int i = 0; i < ACount; ++i) p.Tabs().Add(kCaptions[i % 12]);
  p.EndUpdate();
  ASetup(owner);
  owner.Relayout();
  owner.PaintSurface();
  owner.Surface().MakeOpaque();
  const std::string file = std::string("tabs_") + AName + ".png";
  SavePng(owner.Surface(), AFolder, file.c_str(), "tab layout");
}

void DrawTabs(const std::string& folder) {
  RegisterPainterClass(TTestTabPainter::Class());
  for (TcxTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
    static const char* const kNames[] = {"top", "bottom", "left", "right"};
    Shot(folder, kNames[position], 360, 220, 5, [position](TTabOwner& o) {
      o.Properties().SetTabPosition(position);
      o.Properties().SetTabIndex(1);
    });
  }
  Shot(folder, "multiline", 360, 220, 12, [](TTabOwner& o) {
    o.Properties().SetMultiLine(true);
    o.Properties().SetTabIndex(6);
  });
  Shot(folder, "multiline_opposite", 360, 220, 12, [](TTabOwner& o) {
    o.Properties().SetMultiLine(true);
    o.Properties().SetScrollOpposite(true);
    o.Properties().SetTabIndex(5);
  });
  Shot(folder, "rotated", 360, 220, 5, [](TTabOwner& o) {
    o.Properties().SetRotate(true);
    o.Properties().SetTabIndex(2);
  });
  Shot(folder, "rotated_left", 360, 220, 5, [](TTabOwner& o) {
    o.Properties().SetTabPosition(tpLeft);
    o.Properties().SetRotate(true);
  });
  Shot(folder, "scrolled_navigator", 360, 160, 12, [](TTabOwner& o) {
    TcxCustomTabControlProperties& p = o.Properties();
    p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGoDialog, pcoCloseButton})));
    p.SetTabIndex(7);
  });
  Shot(folder, "close_and_new", 420, 160, 4, [](TTabOwner& o) {
    TcxCustomTabControlProperties& p = o.Properties();
    p.SetCloseButtonMode(cbmEveryTab);
    p.Tabs().NewButton()->SetWidth(24);
    p.SetNewButtonMode(1);
  });
  UnregisterPainterClass(TTestTabPainter::Class());
}

}  // namespace

int main(int argc, char** argv) {
  static const std::vector<TInitStep> steps = AllSteps();
  return RunScreenshotProgram(argc, argv, "tab_screens", steps, &DrawTabs, {}, [] { DxCoreUnitShutdown(); });
}
