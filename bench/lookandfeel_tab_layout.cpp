// The tab layout of a multi-line control: 1,000 tabs against 100 in rows of
// 2,000 pixels (widths 60 to 139). Printed: the painter's width measurements
// per tab per Calculate (the goal is 1), the balancing steps, the tab
// placements, and the ratio of layout work and time for 1,000 against 100 tabs.
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "dxCore.h"
#include "support/TabOwner.h"

#include <chrono>
#include <cstdio>

using namespace tvk;
using tvk_test::TTabOwner;
using tvk_test::TTestTabPainter;

namespace {

struct TRun {
  TcxCustomTabControlViewInfo::TLayoutCounts Counts;
  double Microseconds;
};

TRun Layout(int ATabs, int ARepeats) {
  TTestTabPainter::Metrics().Widths.clear();
  for (int i = 0; i < ATabs; ++i) TTestTabPainter::Metrics().Widths.push_back(60 + (i * 37) % 80);
  TTabOwner owner(2000, 4000);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.BeginUpdate();
  p.SetStyle(TTestTabPainter::kStyleID);
  p.SetMultiLine(true);
  for (int i = 0; i < ATabs; ++i) p.Tabs().Add(L"Tab " + std::to_wstring(i));
  p.EndUpdate();
  owner.ViewInfo().LayoutCounts() = {};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < ARepeats; ++i) owner.Relayout();
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("  %d tabs: %d rows\n", ATabs, owner.ViewInfo().RowCount());
  return {owner.ViewInfo().LayoutCounts(), us / ARepeats};
}

}  // namespace

int main() {
  for (const TInitStep& step : LookAndFeelSteps()) step.Startup();
  for (const TInitStep& step : LookAndFeelEditorsSteps()) step.Startup();
  RegisterPainterClass(TTestTabPainter::Class());
  {
    constexpr int kRepeats = 5;
    const TRun small = Layout(100, kRepeats), large = Layout(1000, kRepeats);
    auto report = [](const char* AName, int ATabs, const TRun& ARun) {
      std::printf("%s: width measurements per tab per Calculate %.2f (goal 1), balancing steps %lld, "
                  "tab placements %lld, %.0f us per Calculate\n",
                  AName, double(ARun.Counts.WidthMeasurements) / (double(ATabs) * kRepeats),
                  ARun.Counts.BalancingSteps / kRepeats, ARun.Counts.TabPlacements / kRepeats, ARun.Microseconds);
    };
    report("100 tabs", 100, small);
    report("1,000 tabs", 1000, large);
    const double work = double(large.Counts.TabPlacements + large.Counts.BalancingSteps) /
                        double(small.Counts.TabPlacements + small.Counts.BalancingSteps);
    std::printf("1,000 against 100 tabs: layout work x%.1f, time x%.1f\n", work,
                large.Microseconds / small.Microseconds);
  }
  UnregisterPainterClass(TTestTabPainter::Class());
  auto editors = LookAndFeelEditorsSteps();
  for (std::size_t i = editors.size(); i-- > 0;) editors[i].Shutdown();
  auto library = LookAndFeelSteps();
  for (std::size_t i = library.size(); i-- > 0;) library[i].Shutdown();
  DxCoreUnitShutdown();
  return 0;
}
