#pragma once
// A container that counts its refreshes, for tests of what makes it refresh.
#include "cxContainer.h"

namespace cxcontrols_test {

class TRefreshCountingContainer : public tvk::TcxContainer {
public:
  using TcxContainer::TcxContainer;
  int Refreshes = 0;

protected:
  bool RefreshContainerView(POINT P, tvk::TcxMouseButton AButton, bool AIsMouseEvent,
                            tvk::TShiftState AShift) override {
    ++Refreshes;
    return TcxContainer::RefreshContainerView(P, AButton, AIsMouseEvent, AShift);
  }
};

}  // namespace cxcontrols_test
