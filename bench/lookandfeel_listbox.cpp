// The inner list box's own scroll bars: scrolling 100,000 items by 1,000 line
// steps sets the bars from the native ones once per step; 1,000 refreshes of
// a container whose look did not change set no window region.
#include "Forms.h"
#include "LookAndFeelSteps.h"
#include "cxContainer.h"
#include "cxInnerListBox.h"
#include "dxCore.h"

#include <chrono>
#include <cstdio>
#include <memory>

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

void ScrollSteps() {
  TForm form(nullptr, kCreateNew);
  form.SetBounds(0, 0, 300, 400);
  TcxContainer container(nullptr);
  container.SetBounds(10, 10, 250, 350);
  container.SetParent(&form);
  auto list = std::make_unique<TcxCustomInnerListBox>(nullptr);
  list->SetParent(&container);
  list->SetContainer(&container);
  container.SetInnerControl(list.get());
  form.Show();
  constexpr int kItems = 100000;
  SendMessageW(list->Handle(), WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < kItems; ++i) list->Items().Add(L"item " + std::to_wstring(i));
  SendMessageW(list->Handle(), WM_SETREDRAW, TRUE, 0);
  TcxScrollBar* bar = list->VScrollBar();
  const int before = list->ExternalScrollBarsUpdateCount();
  constexpr int kSteps = 1000;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < kSteps; ++i) bar->DoScroll(scLineDown);
  const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
  const int updates = list->ExternalScrollBarsUpdateCount() - before;
  std::printf("inner list box of %d items, %d line steps: top item %d, bar position %d\n", kItems, kSteps,
              list->TopIndex(), bar->Position());
  std::printf("  external bar updates per step %.2f, %.1f us per step\n", double(updates) / kSteps, us / kSteps);

  const int regionsBefore = cxContainerWindowRegionSetCount();
  constexpr int kRefreshes = 1000;
  for (int i = 0; i < kRefreshes; ++i) container.ShortRefreshContainer(false);
  std::printf("  SetWindowRgn calls during %d unchanged refreshes: %d\n", kRefreshes,
              cxContainerWindowRegionSetCount() - regionsBefore);
  container.SetInnerControl(nullptr);
  list.reset();
}

}  // namespace

int main() {
  DxCoreUnitStartup();
  for (const TInitStep& step : LookAndFeelSteps())
    if (!step.Startup()) {
      std::printf("start-up step %s failed\n", step.Name);
      return 1;
    }
  ScrollSteps();
  auto steps = LookAndFeelSteps();
  for (std::size_t i = steps.size(); i-- > 0;)
    if (steps[i].Shutdown) steps[i].Shutdown();
  DxCoreUnitShutdown();
  return 0;
}
