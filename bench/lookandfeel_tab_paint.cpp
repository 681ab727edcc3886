// The painting of a scrolled single row of tabs in the Tabs style: 1,000
// tabs against 100 on a control 600 pixels wide, scrolled to the middle.
// Printed: the tabs painted per paint (only the visible ones should be) and
// the ratio of painting work and time for 1,000 against 100 tabs.
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "cxPCPainters.h"
#include "dxCore.h"
#include "support/TabOwner.h"

#include <chrono>
#include <cstdio>

using namespace tvk;
using tvk_test::TTabOwner;

namespace {

// The Tabs style under an identifier of its own, counting the tabs it paints.
class TCountingTabsPainter : public TcxPCTabsPainter {
public:
  TVK_PC_PAINTER(TCountingTabsPainter, TcxPCTabsPainter)
  static TcxPCStyleID GetStyleID(TcxPCPainterClass) { return 101; }
  static WideString GetStyleName(TcxPCPainterClass) { return L"CountingTabs"; }
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel*) { return false; }
  static bool IsDefault(TcxPCPainterClass, TcxLookAndFeel*) { return false; }
  static long long& Painted() {
    static long long painted = 0;
    return painted;
  }
  void PaintTab(TcxCanvas& ACanvas, int ATab) override {
    ++Painted();
    TcxPCTabsPainter::PaintTab(ACanvas, ATab);
  }
};

struct TRun {
  int Visible;
  double TabsPerPaint, Microseconds;
};

TRun Paint(int ATabs, int ARepeats) {
  TTabOwner owner(600, 200);
  owner.OwnLookAndFeel().SetNativeStyle(false);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.BeginUpdate();
  p.SetStyle(TCountingTabsPainter::GetStyleID(nullptr));
  for (int i = 0; i < ATabs; ++i) p.Tabs().Add(L"Tab " + std::to_wstring(i));
  p.SetTabIndex(ATabs / 2);  // scrolls the row to the middle
  p.EndUpdate();
  owner.Relayout();
  int visible = 0;
  for (int i = 0; i < owner.ViewInfo().TabViewInfoCount(); ++i) visible += owner.ViewInfo().TabViewInfo(i)->ActuallyVisible();
  TCountingTabsPainter::Painted() = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < ARepeats; ++i) owner.PaintSurface();
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  return {visible, double(TCountingTabsPainter::Painted()) / ARepeats, us / ARepeats};
}

}  // namespace

int main() {
  for (const TInitStep& step : LookAndFeelSteps()) step.Startup();
  for (const TInitStep& step : LookAndFeelEditorsSteps()) step.Startup();
  RegisterPainterClass(TCountingTabsPainter::Class());
  {
    constexpr int kRepeats = 20;
    const TRun small = Paint(100, kRepeats), large = Paint(1000, kRepeats);
    auto report = [](const char* AName, const TRun& ARun) {
      std::printf("%s: %d tabs in view, %.1f tabs painted per paint, %.0f us per paint\n", AName, ARun.Visible,
                  ARun.TabsPerPaint, ARun.Microseconds);
    };
    report("100 tabs", small);
    report("1,000 tabs", large);
    std::printf("1,000 against 100 tabs: painting work x%.2f, time x%.2f\n", large.TabsPerPaint / small.TabsPerPaint,
                large.Microseconds / small.Microseconds);
  }
  UnregisterPainterClass(TCountingTabsPainter::Class());
  auto editors = LookAndFeelEditorsSteps();
  for (std::size_t i = editors.size(); i-- > 0;) editors[i].Shutdown();
  auto library = LookAndFeelSteps();
  for (std::size_t i = library.size(); i-- > 0;) library[i].Shutdown();
  DxCoreUnitShutdown();
  return 0;
}
