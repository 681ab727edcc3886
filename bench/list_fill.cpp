// The styled list box filled with 10,000 items: text measurements inside one
// update (one per item) against the same fill item by item, the time each
// takes, and the rows a selection move repaints.
#include "ControlSteps.h"
#include "Forms.h"
#include "ModuleInit.h"
#include "XPLists.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

// A list box that counts its text measurements.
class TCountingListBox : public TXPListBox {
public:
  explicit TCountingListBox(TComponent* owner) : TXPListBox(owner) {}
  long long Measurements = 0;

protected:
  int GetItemTextWidth(int index) override {
    ++Measurements;
    return TXPListBox::GetItemTextWidth(index);
  }
};

constexpr TInitStep kBenchSteps[] = {
    TVK_STYLED_CONTROLS_STEPS
};

struct TFill {
  long long Measurements;
  double Milliseconds;
};

TFill Fill(TForm& form, int count, bool inOneUpdate) {
  auto* list = new TCountingListBox(&form);
  list->SetParent(&form);
  list->SetBounds(0, 0, 300, 200);
  list->HandleNeeded();
  const auto start = Clock::now();
  if (inOneUpdate) list->Items().BeginUpdate();
  for (int i = 0; i < count; ++i) list->Items().Add(L"item number " + std::to_wstring(i));
  if (inOneUpdate) list->Items().EndUpdate();
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  TFill result{list->Measurements, ms};
  delete list;
  return result;
}

}  // namespace

int main() {
  if (!RunStartup(kBenchSteps)) return 1;
  int status = 0;
  {
    std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
    form->SetBounds(0, 0, 400, 300);
    form->Show();

    const TFill bulk = Fill(*form, 10000, true);
    std::printf("10000 items in one update: %lld text measurements, %8.1f ms\n", bulk.Measurements,
                bulk.Milliseconds);
    const TFill single = Fill(*form, 2000, false);
    std::printf(" 2000 items one by one:    %lld text measurements, %8.1f ms\n", single.Measurements,
                single.Milliseconds);
    if (bulk.Measurements != 10000) status = 1;

    auto* list = new TXPListBox(form.get());
    list->SetParent(form.get());
    list->SetBounds(0, 0, 300, 200);
    list->Items().BeginUpdate();
    for (int i = 0; i < 100; ++i) list->Items().Add(L"row " + std::to_wstring(i));
    list->Items().EndUpdate();
    list->SetItemIndex(3);
    UpdateWindow(list->Handle());
    list->SetItemIndex(4);
    RECT dirty{};
    GetUpdateRect(list->Handle(), &dirty, FALSE);
    const int rows = (dirty.bottom - dirty.top) / list->GetRowHeight(0);
    std::printf("a selection move repaints %d rows\n", rows);
    if (rows != 2) status = 1;
  }
  RunShutdown(kBenchSteps);
  return status;
}
