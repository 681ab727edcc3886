#pragma once
// Helpers of the tab control's tests: the look-and-feel library and the
// editors' units started as the module starts them, the outline test painter
// registered, and an owner with tabs of fixed widths.
#include "LookAndFeelEditorsSteps.h"
#include "laf_editors/EditorsTest.h"
#include "painters/PaintersTest.h"
#include "support/TabOwner.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

namespace tabcontrol_test {

using tvk_test::TTabOwner;
using tvk_test::TTestTabPainter;
using tvk_test::TTestTabViewInfo;

using painters_test::Box;
using painters_test::TBox;
inline bool Empty(const RECT& R) { return IsRectEmpty(&R) != FALSE; }

class TabControl : public laf_editors_test::EditorsUnits {
protected:
  void SetUp() override {
    EditorsUnits::SetUp();
    TTestTabPainter::Metrics() = {};
    tvk::RegisterPainterClass(TTestTabPainter::Class());
  }
  void TearDown() override {
    FOwner.reset();
    tvk::UnregisterPainterClass(TTestTabPainter::Class());
    TTestTabPainter::Metrics() = {};
    EditorsUnits::TearDown();
  }
  // An owner of the test style with one tab per width (captions "T0", "T1" ...).
  TTabOwner& Owner(std::initializer_list<int> AWidths, int AWidth = 300, int AHeight = 200) {
    FOwner = std::make_unique<TTabOwner>(AWidth, AHeight);
    TTestTabPainter::Metrics().Widths.assign(AWidths);
    tvk::TcxCustomTabControlProperties& p = FOwner->Properties();
    p.SetStyle(TTestTabPainter::kStyleID);
    p.BeginUpdate();
    for (std::size_t i = 0; i < AWidths.size(); ++i) p.Tabs().Add(L"T" + std::to_wstring(i));
    p.EndUpdate();
    return *FOwner;
  }
  TTabOwner& Owner(int ACount, int ATabWidth, int AWidth, int AHeight = 200) {
    FOwner = std::make_unique<TTabOwner>(AWidth, AHeight);
    TTestTabPainter::Metrics().Widths.assign(std::size_t(ACount), ATabWidth);
    tvk::TcxCustomTabControlProperties& p = FOwner->Properties();
    p.SetStyle(TTestTabPainter::kStyleID);
    p.BeginUpdate();
    for (int i = 0; i < ACount; ++i) p.Tabs().Add(L"T" + std::to_wstring(i));
    p.EndUpdate();
    return *FOwner;
  }
  tvk::TcxTabViewInfo* Tab(int AVisibleIndex) { return FOwner->ViewInfo().TabViewInfo(AVisibleIndex); }
  std::unique_ptr<TTabOwner> FOwner;
};

}  // namespace tabcontrol_test
