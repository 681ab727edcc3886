// Paints the visible rows of fully expanded trees of 1,000 and 100,000 nodes
// (five columns). Prints the draw-info rows laid out and the cells drawn per
// paint (goal: the same for both sizes, the cost independent of the node
// count), the rows of a whole-list export (500) and the times.
#include <chrono>
#include <cstdio>

#include "BenchTreeList.h"
#include "TreeList.h"

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kColumns = 5;

void Measure(int parents, int children) {
  TBenchTreeList<kColumns> tree;
  tree.SetBounds(0, 0, 480, 400);
  tree.BeginUpdate();
  for (int i = 0; i < parents; ++i) {
    TdxTreeListNode* parent = tree.Add();
    for (int k = 0; k < children; ++k) parent->AddChild();
  }
  tree.EndUpdate();
  tree.FullExpand();
  tree.SetTopIndex(tree.AbsoluteCount() / 2);
  TBitmap picture;
  picture.SetPixelFormat(TPixelFormat::pf32bit);
  picture.SetSize(480, 400);
  constexpr int kPaints = 20;
  tree.ResetPaintStats();
  auto start = Clock::now();
  for (int i = 0; i < kPaints; ++i) {
    TdxGridDrawInfo info;
    tree.CalcDrawInfo(info);
    tree.PaintArea(info, picture.Canvas());
  }
  double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kPaints;
  const TdxTreeListPaintStats& stats = tree.PaintStats();
  std::printf("%7d nodes: rows laid out per paint %lld, cells drawn per paint %lld, %8.3f ms per paint\n",
              tree.AbsoluteCount(), static_cast<long long>(stats.RowsLaidOut / kPaints),
              static_cast<long long>(stats.CellsDrawn / kPaints), ms);
  start = Clock::now();
  TdxGridDrawInfo full;
  tree.CalcFullDrawInfo(full, false);
  ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("%7d nodes: whole-list export lays out %d rows, %8.3f ms\n", tree.AbsoluteCount(), full.RowCount(), ms);
}

}  // namespace

int main() {
  Measure(100, 9);
  Measure(10000, 9);
  return 0;
}
