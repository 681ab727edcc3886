// A shown tree list of 100,000 text nodes (a thousand parents of 99 children,
// collapsed): the best fit of one column, then an incremental search typed
// over them. Prints the cell measurements per fit (goal: one per node) and
// the nodes compared per keystroke (goal: each at most once), with times.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "Forms.h"
#include "TreeListPublished.h"

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kParents = 1000;
constexpr int kChildren = 99;
constexpr int kNodes = kParents * (kChildren + 1);

template <class F>
double Milliseconds(F&& work) {
  auto start = Clock::now();
  work();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A column that counts the cells it measures for a best fit.
class TCountingFitColumn : public TdxTreeListColumn {
public:
  TVK_CLASS(TCountingFitColumn, TdxTreeListColumn)
  using TdxTreeListColumn::TdxTreeListColumn;
  long long Measured = 0;
  int GetBestFit(TCanvas& canvas, TdxTreeListNode* node) override {
    ++Measured;
    return TdxTreeListColumn::GetBestFit(canvas, node);
  }
};

// The tree list with its keys reachable, as its window would get them.
class TBenchSearchTree : public TdxTreeList {
public:
  TVK_CLASS(TBenchSearchTree, TdxTreeList)
  using TdxTreeList::TdxTreeList;
  ~TBenchSearchTree() override { PrepareDestroy(); }
};

}  // namespace

int main() {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 600, 400);
  auto* tree = CreateComponent<TBenchSearchTree>(form.get());
  tree->SetParent(form.get());
  tree->SetBounds(0, 0, 500, 300);
  auto* column = static_cast<TCountingFitColumn*>(tree->CreateColumn(ComponentClassOf<TCountingFitColumn>()));
  tree->SetOptionsEx(tree->OptionsEx() | OptionBit(aoAutoSearch));
  double build = Milliseconds([&] {
    tree->BeginUpdate();
    for (int p = 0; p < kParents; ++p) {
      TdxTreeListNode* parent = tree->Add();
      parent->SetString(0, L"group " + std::to_wstring(p));
      for (int c = 0; c < kChildren; ++c)
        parent->AddChild()->SetString(0, L"pin " + std::to_wstring(p) + L"." + std::to_wstring(c));
    }
    tree->EndUpdate();
  });
  form->Show();
  std::printf("%-30s %d nodes  %9.2f ms\n", "build", kNodes, build);

  double fit = Milliseconds([&] { tree->ApplyBestFit(column); });
  std::printf("%-30s width %d  measured %lld (%.2f per node)  %9.2f ms\n", "best fit of one column",
              column->Width(), column->Measured, double(column->Measured) / kNodes, fit);

  // Typed as the window gets it: the last group's last pin, found through collapsed parents.
  const std::wstring typed = L"pin 999.98";
  tree->SetFocusedNode(tree->GetItem(0));
  tree->ResetListStats();
  long long worst = 0, total = 0;
  double search = Milliseconds([&] {
    for (wchar_t ch : typed) {
      const long long before = tree->ListStats().SearchComparisons;
      SendMessageW(tree->Handle(), WM_CHAR, ch, 1);
      const long long compared = tree->ListStats().SearchComparisons - before;
      worst = std::max(worst, compared);
      total += compared;
    }
  });
  std::printf("%-30s found \"%ls\"  compared %lld over %zu keys, at most %lld per key (%.2f of the nodes)  %9.2f ms\n",
              "incremental search", tree->FocusedNode()->GetString(0).c_str(), total, typed.size(), worst,
              double(worst) / kNodes, search);

  // A character that matches nothing walks every node once, wrapping, and is dropped.
  const long long before = tree->ListStats().SearchComparisons;
  double miss = Milliseconds([&] { SendMessageW(tree->Handle(), WM_CHAR, L'x', 1); });
  std::printf("%-30s compared %lld (%.2f of the nodes), text \"%ls\"  %9.2f ms\n", "a key that matches nothing",
              tree->ListStats().SearchComparisons - before,
              double(tree->ListStats().SearchComparisons - before) / kNodes, tree->SearchText().c_str(), miss);
  return 0;
}
