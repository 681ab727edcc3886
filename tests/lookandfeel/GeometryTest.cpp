// TcxRect's change notifications and the rectangle functions.
#include "cxGeometry.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

bool Same(const RECT& a, const RECT& b) { return AreRectsEqual(a, b); }

struct TCountingRect {
  TcxRect Rect{nullptr};
  int Changes = 0;
  TCountingRect() {
    Rect.OnChange = [this](TObject* sender) {
      EXPECT_EQ(&Rect, sender);
      ++Changes;
    };
  }
};

class TPositiveRect : public TcxRect {
public:
  TVK_CLASS(TPositiveRect, TcxRect)
  using TcxRect::TcxRect;

protected:
  void CorrectRect(RECT& ARect) override {
    if (ARect.left < 0) ARect.left = 0;
  }
};

}  // namespace

TEST(cxRect, OneChangePerAssignmentAndNoneWhenTheValueIsEqual) {
  TCountingRect r;
  r.Rect.SetRect({5, 0, 8, 3});
  EXPECT_EQ(1, r.Changes);
  r.Rect.SetLeft(5);
  EXPECT_EQ(1, r.Changes) << "an equal value fires nothing";
  r.Rect.SetWidth(10);
  EXPECT_EQ(15, r.Rect.Right());
  EXPECT_EQ(2, r.Changes);
  r.Rect.SetHeight(3);
  EXPECT_EQ(2, r.Changes);
  r.Rect.SetPoint(3, POINT{20, 30});
  EXPECT_TRUE(Same({5, 0, 20, 30}, r.Rect.Rect()));
  EXPECT_EQ(3, r.Changes);
  r.Rect.SetValue(7, 99);  // no such side
  EXPECT_EQ(3, r.Changes);
  EXPECT_EQ(30, r.Rect.GetValue(7)) << "other indexes read the bottom";
  EXPECT_EQ(16, r.Rect.DataSize());
  EXPECT_EQ(static_cast<void*>(const_cast<RECT*>(&r.Rect.Rect())), r.Rect.Data());

  TCountingRect copy;
  copy.Rect.Assign(r.Rect);
  EXPECT_TRUE(copy.Rect.IsEqual(r.Rect));
  EXPECT_EQ(1, copy.Changes);
  copy.Rect.Assign(r.Rect);
  EXPECT_EQ(1, copy.Changes);
}

TEST(cxRect, CorrectedValuesAndEmptiness) {
  TPositiveRect r(nullptr);
  int changes = 0;
  r.OnChange = [&](TObject*) { ++changes; };
  r.SetRect({-5, 0, 10, 10});
  EXPECT_EQ(0, r.Left());
  EXPECT_EQ(1, changes);
  r.SetLeft(-3);  // corrected to the value it has
  EXPECT_EQ(1, changes);
  EXPECT_FALSE(r.IsEmpty());
  r.SetRect({10, 0, 5, 10});
  EXPECT_TRUE(r.IsEmpty()) << "an inverted rectangle counts as empty";
}

TEST(RectFunctions, Table) {
  const RECT r{1, 2, 11, 22};
  EXPECT_TRUE(Same({0, 0, 13, 26}, InflateRectBySides(r, 1, 2, 2, 4)));
  EXPECT_TRUE(Same({4, 6, 14, 26}, OffsetRectBy(r, 3, 4)));
  EXPECT_TRUE(Same({-2, -2, 8, 18}, OffsetRectBy(r, 3, 4, false)));
  EXPECT_TRUE(Same({2, 1, 22, 11}, TransposeRect(r)));
  EXPECT_TRUE(Same({1, 2, 5, 6}, RectFromPoints({1, 2}, {5, 6})));
  EXPECT_TRUE(Same({7, 2, 10, 22}, RectWithHorzBounds(r, 7, 3)));
  EXPECT_TRUE(Same({1, 1, 3, 3}, CenterRectIn({0, 0, 5, 5}, 2, 2)));
  EXPECT_EQ(-4, CenterRectIn({-5, 0, 0, 1}, 2, 1).left) << "the floor of -7 halved";
  EXPECT_TRUE(IsRectEmptyOrInverted({0, 0, 0, 5}));
  EXPECT_TRUE(IsRectEmptyOrInverted({3, 0, 2, 5}));
  EXPECT_FALSE(IsRectEmptyOrInverted({0, 0, 1, 1}));
  struct {
    int X, Y;
    bool In;
  } const points[] = {{1, 2, true}, {10, 21, true}, {11, 5, false}, {5, 22, false}, {0, 5, false}};
  for (const auto& p : points) EXPECT_EQ(p.In, IsPointInRect(r, p.X, p.Y)) << p.X << "," << p.Y;
  POINT p = OffsetPointBy(MakePoint(1, 2), 3, 4);
  EXPECT_EQ(4, p.x);
  EXPECT_EQ(6, p.y);
  p = OffsetPointBy(p, 3, 4, false);
  EXPECT_EQ(1, p.x);
  EXPECT_EQ(2, p.y);
}
