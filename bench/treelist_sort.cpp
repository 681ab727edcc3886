// A tree list of 100,000 sibling text nodes: sorted by one column and by two,
// all selected, then saved to and loaded from a node stream. Prints the
// comparisons of each sort against n log2 n (goal: about 1), the stream's
// bytes per node (goal: constant) and the time of each step.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include "TreeListHooks.h"
#include "TreeListPublished.h"

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kNodes = 100000;

template <class F>
double Milliseconds(F&& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Sort(TdxTreeList& tree, const char* name) {
  TreeListSortStats() = {};
  double ms = Milliseconds([&] { tree.SortNodes(0, 0, false); });
  double nlogn = kNodes * std::log2(double(kNodes));
  std::printf("%-26s comparisons %10lld  (%.2f n log2 n)  %9.2f ms\n", name,
              static_cast<long long>(TreeListSortStats().Comparisons), double(TreeListSortStats().Comparisons) / nlogn,
              ms);
}

}  // namespace

int main() {
  auto form = std::make_unique<TComponent>(nullptr);
  auto* tree = CreateComponent<TdxTreeList>(form.get());
  tree->SetName(L"Bench");
  tree->CreateColumn(ComponentClassOf<TdxTreeListColumn>());
  tree->CreateColumn(ComponentClassOf<TdxTreeListColumn>());
  double build = Milliseconds([&] {
    tree->BeginUpdate();
    // A fixed pseudo-random order: a linear congruential sequence.
    uint32_t seed = 12345;
    for (int i = 0; i < kNodes; ++i) {
      seed = seed * 1103515245u + 12345u;
      TdxTreeListNode* node = tree->Add();
      node->SetString(0, L"key " + std::to_wstring((seed >> 8) % 5000));
      node->SetString(1, std::to_wstring(seed % 977));
    }
    tree->EndUpdate();
  });
  std::printf("%-26s %9.2f ms\n", "build", build);

  Sort(*tree, "sort by one column");
  tree->SetOptionsEx(tree->OptionsEx() | OptionBit(aoMultiSort));
  tree->Columns(0)->SetSorted(csUp);
  tree->Columns(1)->SetSorted(csDown);
  tree->AddSortedColumn(tree->Columns(0));
  tree->AddSortedColumn(tree->Columns(1));
  Sort(*tree, "sort by two columns");

  tree->SetOptions(tree->Options() | OptionBit(aoMultiSelect));
  double select = Milliseconds([&] { tree->SelectAll(); });
  std::printf("%-26s selected %d  %9.2f ms\n", "select all", tree->SelectedCount(), select);
  tree->ClearSelection();

  TMemoryStream stream;
  double save = Milliseconds([&] { tree->SaveToStream(stream); });
  std::printf("%-26s %lld bytes (%.1f per node)  %9.2f ms\n", "save the node stream",
              static_cast<long long>(stream.Size()), double(stream.Size()) / kNodes, save);
  stream.SetPosition(0);
  double load = Milliseconds([&] { tree->LoadFromStream(stream); });
  std::printf("%-26s %d nodes  %9.2f ms\n", "load the node stream", tree->Count(), load);
  return 0;
}
