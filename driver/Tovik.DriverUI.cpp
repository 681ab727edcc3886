#include "Tovik.DriverUI.h"

#include <utility>

namespace tvk {

namespace {

TDriverUI* gDriverUI = nullptr;

}  // namespace

TDriverInstrumentForm& AsInstrumentForm(TDriverForm& form) {
  auto* instrument = dynamic_cast<TDriverInstrumentForm*>(&form);
  if (!instrument) throw Exception(L"Invalid class typecast");
  return *instrument;
}

TDriverUI* RegisterDriverUI(TDriverUI* ui) { return std::exchange(gDriverUI, ui); }

TDriverUI& DriverUI() {
  if (!gDriverUI) throw Exception(L"The driver user interface is not available");
  return *gDriverUI;
}

}  // namespace tvk
