// Scrolls a shown tree list of 100,000 expanded nodes (1,000 parents with 99
// children each): 1,000 line steps down, then a thumb drag to the end.
// Prints the rows repainted per line step (goal: one, whatever the node
// count), the rows walked per TopIndex write, the window scrolls and full
// repaints, and the times.
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "Forms.h"
#include "BenchTreeList.h"
#include "TreeList.h"

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kColumns = 3;

// The height of the region waiting to be painted, in rows.
double DirtyRows(HWND wnd, int rowHeight) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(wnd, rgn, FALSE);
  DWORD size = GetRegionData(rgn, 0, nullptr);
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  GetRegionData(rgn, size, data);
  DeleteObject(rgn);
  long height = 0;
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) height += rects[i].bottom - rects[i].top;
  return double(height) / rowHeight;
}

}  // namespace

int main() {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 400, 480);
  auto* tree = new TBenchTreeList<kColumns>(form.get());
  tree->FTreeLineStyle = tlSolid;  // dotted lines repaint their column on every vertical scroll
  tree->SetParent(form.get());
  tree->SetBounds(0, 0, 300, 400);
  tree->BeginUpdate();
  for (int i = 0; i < 1000; ++i) {
    TdxTreeListNode* parent = tree->Add();
    for (int k = 0; k < 99; ++k) parent->AddChild();
  }
  tree->EndUpdate();
  tree->FullExpand();
  form->Show();
  // The focus frame far below: its repaints stay out of the count.
  tree->SetFocusedNode(tree->GetAbsoluteNode(tree->AbsoluteCount() - 1));
  tree->SetTopIndex(0);
  std::printf("%d visible nodes, %d whole rows in view\n", tree->AbsoluteCount(), tree->RowCount());

  constexpr int kSteps = 1000;
  double dirty = 0;
  tree->ResetScrollStats();
  Clock::duration spent{};
  for (int i = 0; i < kSteps; ++i) {
    UpdateWindow(tree->Handle());
    auto start = Clock::now();
    SendMessageW(tree->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    spent += Clock::now() - start;
    dirty += DirtyRows(tree->Handle(), tree->RowHeight());
  }
  const TdxTreeListScrollStats& steps = tree->ScrollStats();
  std::printf("line steps: top %d, rows repainted per step %.2f, rows walked per write %.1f, "
              "window scrolls %lld, full repaints %lld, %.3f ms per step (without painting)\n",
              tree->TopIndex(), dirty / kSteps, double(steps.RowsWalked) / kSteps,
              static_cast<long long>(steps.WindowScrolls), static_cast<long long>(steps.FullRepaints),
              std::chrono::duration<double, std::milli>(spent).count() / kSteps);

  // The thumb dragged to the end in 50 track positions.
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  tree->GetFlatScrollInfo(SB_VERT, info);
  constexpr int kTracks = 50;
  tree->ResetScrollStats();
  auto start = Clock::now();
  for (int i = 1; i <= kTracks; ++i) {
    SCROLLINFO pos{};
    pos.cbSize = sizeof(pos);
    pos.fMask = SIF_POS;
    pos.nPos = int(static_cast<long long>(info.nMax) * i / kTracks);
    tree->SetFlatScrollInfo(SB_VERT, pos, false);
    SendMessageW(tree->Handle(), WM_VSCROLL, SB_THUMBTRACK, 0);
    UpdateWindow(tree->Handle());
  }
  const TdxTreeListScrollStats& drag = tree->ScrollStats();
  std::printf("thumb drag: top %d of %d, rows walked per write %.1f, full repaints %lld, %.3f ms per track "
              "(with painting)\n",
              tree->TopIndex(), tree->AbsoluteCount(), double(drag.RowsWalked) / kTracks,
              static_cast<long long>(drag.FullRepaints),
              std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kTracks);
  form->Hide();
  return 0;
}
