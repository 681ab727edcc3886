// An inspector of 100 and of 10,000 rows, outside and inside banded mode:
// prints the rows the band distribution visits per paint and per line scroll
// (goal outside banded mode: the rows shown, whatever the row count) and the
// time of each.
#include <array>
#include <chrono>
#include <cstdio>
#include <memory>

#include "EditorSteps.h"
#include "Forms.h"
#include "InspectorSteps.h"
#include "WindowClasses.h"

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

class TBenchInspector : public TCustomdxInspector {
public:
  explicit TBenchInspector(TComponent* owner) : TCustomdxInspector(owner) {}
  ~TBenchInspector() override { DestroyNodes(); }
  TdxInspectorNode* CreateNode() override { return new TdxInspectorRowNode(this); }
  void GetNodeTexts(TdxInspectorNode*, WideString& caption, WideString& value) override {
    caption = L"Caption";
    value = L"Value";
  }
};

void Measure(int rows, bool banded) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 700, 500);
  auto* insp = new TBenchInspector(form.get());
  insp->SetParent(form.get());
  insp->SetBounds(0, 0, 600, 400);
  if (banded) insp->SetOptions(insp->Options() | InspectorOptionBit(ioAutoBandCount));
  insp->BeginUpdate();
  for (int i = 0; i < rows; ++i) insp->Add();
  insp->EndUpdate();
  form->Show();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 600, 400);
  HGDIOBJ old = SelectObject(dc, bitmap);
  constexpr int kPaints = 50;
  insp->Stats = {};
  auto start = Clock::now();
  for (int i = 0; i < kPaints; ++i) SendMessageW(insp->Handle(), WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
  const double paintMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kPaints;
  const double visitedPerPaint = double(insp->Stats.RowsVisited) / kPaints;
  const double paintedPerPaint = double(insp->Stats.RowsPainted) / kPaints;
  insp->Stats = {};
  start = Clock::now();
  const UINT message = banded ? WM_HSCROLL : WM_VSCROLL;
  constexpr int kScrolls = 50;
  for (int i = 0; i < kScrolls; ++i) SendMessageW(insp->Handle(), message, SB_LINEDOWN, 0);
  const double scrollMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kScrolls;
  std::printf("%6d rows %-8s paint: %7.1f rows visited, %5.1f painted, %8.3f ms   line scroll: %9.1f rows visited, %8.3f ms\n",
              rows, banded ? "banded" : "one band", visitedPerPaint, paintedPerPaint, paintMs,
              double(insp->Stats.RowsVisited) / kScrolls, scrollMs);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

}  // namespace

int main() {
  constexpr std::array kSteps = {TInitStep{"Controls", nullptr, &UnregisterWindowClasses}, TVK_EDITORS_CLASSIC_STEPS
                                     TVK_INSPECTOR_STEPS};
  if (!RunStartup(kSteps)) return 1;
  for (bool banded : {false, true})
    for (int rows : {100, 10000}) Measure(rows, banded);
  RunShutdown(kSteps);
  return 0;
}
