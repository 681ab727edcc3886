// A tree list of 100,000 nodes: built inside one update, expanded whole, then
// one node inserted and one deleted outside the lock. Prints the full
// rebuilds of the visible-node list each step made (goal 1, 1, 0, 0), the
// address comparisons one absolute-index lookup costs (goal at most 18) and
// the time of each step.
#include <chrono>
#include <cstdio>

#include "TreeList.h"

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

class TBenchTreeList : public TCustomdxTreeList {
public:
  TBenchTreeList() : TCustomdxTreeList(nullptr) {}
  ~TBenchTreeList() override { PrepareDestroy(); }
  TdxTreeListNode* CreateNode() override { return new TdxTreeListNode(this); }
};

constexpr int kTopLevel = 10000;
constexpr int kChildren = 9;  // 10,000 parents with 9 children each: 100,000 nodes

template <class F>
void Step(TBenchTreeList& tree, const char* name, F&& work) {
  tree.ResetListStats();
  auto start = Clock::now();
  work();
  double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf("%-28s full rebuilds %lld  %9.2f ms\n", name, static_cast<long long>(tree.ListStats().FullRebuilds),
              ms);
}

}  // namespace

int main() {
  TBenchTreeList tree;
  Step(tree, "build inside one update", [&] {
    tree.BeginUpdate();
    for (int i = 0; i < kTopLevel; ++i) {
      TdxTreeListNode* parent = tree.Add();
      for (int k = 0; k < kChildren; ++k) parent->AddChild();
    }
    tree.EndUpdate();
  });
  Step(tree, "FullExpand", [&] { tree.FullExpand(); });
  TdxTreeListNode* middle = tree.GetItem(kTopLevel / 2);
  TdxTreeListNode* inserted = nullptr;
  Step(tree, "one insert outside the lock", [&] { inserted = middle->AddChild(); });
  Step(tree, "one delete outside the lock", [&] { delete inserted; });

  TdxTreeListNode* probe = tree.GetItem(kTopLevel - 1)->GetLastChild();
  tree.ResetListStats();
  int index = tree.GetAbsoluteIndex(probe);
  std::printf("visible nodes %d, last at %d, comparisons per GetAbsoluteIndex %lld\n", tree.AbsoluteCount(), index,
              static_cast<long long>(tree.ListStats().Comparisons));
  return 0;
}
