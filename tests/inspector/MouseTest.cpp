// Hit test, mouse presses, sizing, row hints and row drags, through real messages.
#include "InspectorTest.h"

namespace inspector_test {
namespace {

using tvk::TdxInspectorHitTest;

struct MouseFixture : InspectorFixture {
  TdxInspectorNode *category = nullptr, *parent = nullptr, *child = nullptr, *plain = nullptr;
  void SetUp() override {
    InspectorFixture::SetUp();
    category = Insp->Row(L"Category");
    Insp->Categories.insert(category);
    parent = Insp->Row(L"parent", L"p");
    child = Insp->Row(L"child", L"c", parent);
    plain = Insp->Row(L"plain", L"x");
    parent->Expand(false);
    Insp->SetDividerPos(100);
  }
  TdxInspectorHitTest HitAt(int x, int y) { return Insp->GetHitTestInfoAt(x, y); }
};

TEST_F(MouseFixture, HitTestAroundTheDividerAndOnCategories) {
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioRowSizing));
  const int d = Insp->DividerPos(), y = RowY(1), h = Insp->RowHeight();
  struct Case {
    int x, y;
    TdxInspectorHitTest hit;
  };
  const Case cases[] = {
      {d - 3, y, tvk::ihtDisplayLabel}, {d - 2, y, tvk::ihtColumnEdge}, {d + 1, y, tvk::ihtColumnEdge},
      {d + 2, y, tvk::ihtLabel},        {d - 2, RowY(0), tvk::ihtDisplayLabel},  // a category has no edge
      {d + 10, RowY(0), tvk::ihtDisplayLabel}, {1, y, tvk::ihtIndent},
      {Insp->Indent(), y, tvk::ihtButton},  // the button is the indent's last Indent pixels
      {d + 10, 2 * h - 1, tvk::ihtRowEdge},   {10, 10 * h, tvk::ihtNowhere},
      {-1, 5, tvk::ihtOutside},
  };
  for (const Case& c : cases) EXPECT_EQ(c.hit, HitAt(c.x, c.y)) << c.x << "," << c.y;
  EXPECT_EQ(parent, Insp->GetNodeAt(d + 10, y));
  EXPECT_EQ(1, Insp->GetHitInfo(POINT{d + 10, y}).Row);
  // The designer's hit test takes the edges and the buttons only.
  EXPECT_TRUE(Insp->DesignHitTest(POINT{d, y}));
  EXPECT_FALSE(Insp->DesignHitTest(POINT{d + 20, y}));
}

TEST_F(MouseFixture, PressingBelowTheRowsFocusesTheLastAndOpensItsEditor) {
  Insp->SetFocus();
  Click(150, 10 * Insp->RowHeight());
  EXPECT_EQ(plain, Insp->FocusedNode());
  ASSERT_NE(nullptr, Insp->InplaceEditor());
  EXPECT_EQ(plain, Insp->InplaceNode());
  EXPECT_TRUE(Insp->InplaceEditor()->IsVisible());
}

TEST_F(MouseFixture, ButtonAndDoubleClickToggleTheRow) {
  Click(Insp->Indent() + 1, RowY(1));
  EXPECT_FALSE(parent->Expanded());
  EXPECT_EQ(tvk::isNormal, Insp->State());
  Mouse(WM_LBUTTONDBLCLK, 50, RowY(1), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, 50, RowY(1));
  EXPECT_TRUE(parent->Expanded());
}

TEST_F(MouseFixture, DividerSizingWithAndWithoutDynamicSizingAndEsc) {
  struct Case {
    bool dynamic;
    int whileMoving;
  };
  for (const Case& c : {Case{true, 140}, Case{false, 100}}) {
    SCOPED_TRACE(c.dynamic);
    auto options = Insp->Options() & ~tvk::InspectorOptionBit(tvk::ioDynamicColumnSizing);
    if (c.dynamic) options |= tvk::InspectorOptionBit(tvk::ioDynamicColumnSizing);
    Insp->SetOptions(options);
    Insp->SetDividerPos(100);
    Insp->SetFocus();
    Mouse(WM_LBUTTONDOWN, 100, RowY(3), MK_LBUTTON);
    EXPECT_EQ(tvk::isColumnSizing, Insp->State());
    Mouse(WM_MOUSEMOVE, 140, RowY(3), MK_LBUTTON);
    EXPECT_EQ(c.whileMoving, Insp->DividerPos());
    Key(VK_ESCAPE);
    EXPECT_EQ(tvk::isNormal, Insp->State());
    EXPECT_EQ(100, Insp->DividerPos());
    Mouse(WM_LBUTTONUP, 140, RowY(3));
    // Released after a fresh press: the divider lands where the pointer is.
    Mouse(WM_LBUTTONDOWN, 100, RowY(3), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 60, RowY(3), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 60, RowY(3));
    EXPECT_EQ(60, Insp->DividerPos());
    EXPECT_EQ(tvk::isNormal, Insp->State());
  }
}

TEST_F(MouseFixture, BandSizingOnTheThirdBandDividesThePointerByThree) {
  for (int i = 0; i < 30; ++i) Insp->Row(L"more", L"m");
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioAutoBandCount));
  Insp->SetBandWidth(100);
  Insp->SetBounds(0, 0, 380, 4 * Insp->RowHeight());
  Pump();
  Insp->SetFocus();
  const int edge = 3 * 100 - 2;  // the separator of band 2
  ASSERT_EQ(tvk::ihtBandSeparator, HitAt(edge, 5));
  Mouse(WM_LBUTTONDOWN, edge, 5, MK_LBUTTON);
  EXPECT_EQ(tvk::isBandSizing, Insp->State());
  Mouse(WM_MOUSEMOVE, 360, 5, MK_LBUTTON);
  EXPECT_EQ(120, Insp->BandWidth());
  Mouse(WM_RBUTTONDOWN, 360, 5, MK_LBUTTON | MK_RBUTTON);  // a right press cancels
  EXPECT_EQ(100, Insp->BandWidth());
  EXPECT_EQ(tvk::isNormal, Insp->State());
  Mouse(WM_RBUTTONUP, 360, 5);
  Mouse(WM_LBUTTONUP, 360, 5);
}

TEST_F(MouseFixture, RowSizingKeepsTheMinimumAndStoresTheHeight) {
  Insp->SetOptions(Insp->Options() | tvk::InspectorOptionBit(tvk::ioRowSizing));
  Insp->SetFocus();
  const int h = Insp->RowHeight();
  const int bottom = 2 * h - 1;
  ASSERT_EQ(tvk::ihtRowEdge, HitAt(150, bottom));
  Mouse(WM_LBUTTONDOWN, 150, bottom, MK_LBUTTON);
  EXPECT_EQ(tvk::isRowSizing, Insp->State());
  Mouse(WM_MOUSEMOVE, 150, bottom + 20, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, 150, bottom + 20);
  EXPECT_EQ(h + 20, Insp->RowHeights[parent]);
  Mouse(WM_LBUTTONDOWN, 150, 2 * h + 19, MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, 150, 0, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, 150, 0);
  EXPECT_EQ(Insp->MinRowHeight(), Insp->RowHeights[parent]);
}

TEST_F(MouseFixture, RowHintsByTimersTwoAndThree) {
  Insp->SetShowRowHint(true);
  Insp->CaptionHints[plain] = L"caption hint";
  Insp->ValueHints[plain] = L"value hint";
  // A caption hint waits for timer 2.
  Mouse(WM_MOUSEMOVE, 30, RowY(3));
  EXPECT_NE(0u, Insp->ShowHintTimerId());
  ASSERT_TRUE(Insp->HintWindow() == nullptr || !IsWindowVisible(Insp->HintWindow()->Handle()));
  SendMessageW(Wnd(), WM_TIMER, tvk::kInspectorShowHintTimer, 0);
  ASSERT_NE(nullptr, Insp->HintWindow());
  EXPECT_TRUE(IsWindowVisible(Insp->HintWindow()->Handle()));
  EXPECT_EQ(L"caption hint", Insp->HintWindow()->Caption());
  EXPECT_NE(0u, Insp->HideHintTimerId());
  SendMessageW(Wnd(), WM_TIMER, tvk::kInspectorHideHintTimer, 0);
  EXPECT_FALSE(IsWindowVisible(Insp->HintWindow()->Handle()));
  // A value hint shows at once.
  Mouse(WM_MOUSEMOVE, 150, RowY(3));
  EXPECT_TRUE(IsWindowVisible(Insp->HintWindow()->Handle()));
  EXPECT_EQ(L"value hint", Insp->HintWindow()->Caption());
  SendMessageW(Wnd(), tvk::CM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(Insp->HintWindow()->Handle()));
  // The control's own hints and the row hints exclude each other.
  Insp->SetShowHint(true);
  EXPECT_FALSE(Insp->ShowRowHint());
  Insp->SetShowRowHint(true);
  EXPECT_FALSE(Insp->ShowHint());
}

struct DragFixture : MouseFixture {
  void Drag(TdxInspectorNode* node, POINT to) {
    const RECT from = Insp->GetNodeRect(node);
    const int x = Insp->DividerPos() - 20, y = (from.top + from.bottom) / 2;
    // The press picks the row; the drop is handed over as the library's drag hands it to its target.
    Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Insp->DropAt(to.x, to.y);
    Mouse(WM_LBUTTONUP, to.x, to.y);
    Pump();
  }
  std::wstring Order() {
    std::wstring s;
    for (TdxInspectorNode* n = Insp->TopNode(); n; n = Insp->GetNextVisible(n)) s += Insp->Captions[n].substr(0, 2);
    return s;
  }
};

TEST_F(DragFixture, RowDragsToEachPlaceAndNeverOntoADescendant) {
  Insp->Customizing = true;
  struct Case {
    const char* name;
    TdxInspectorNode* MouseFixture::*node;
    int toRow;
    bool indent;
    const wchar_t* order;
    TdxInspectorNode* MouseFixture::*parentAfter;  // null: the top level
  };
  // Order before: Ca pa ch pl.
  const Case cases[] = {
      {"below the rows: the end of the top level", &MouseFixture::category, 8, false, L"pachplCa", nullptr},
      {"onto a caption: its last child", &MouseFixture::category, 3, false, L"pachplCa", &MouseFixture::plain},
      {"onto an indent: before that row", &MouseFixture::plain, 0, true, L"plCapach", nullptr},
      {"onto its own descendant: refused", &MouseFixture::parent, 2, false, L"Capachpl", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    Insp->Customizing = true;
    Insp->SetFocus();
    Pump();
    Drag(this->*c.node, POINT{c.indent ? 1 : 40, RowY(c.toRow)});
    EXPECT_EQ(c.order, Order());
    EXPECT_EQ(c.parentAfter ? this->*c.parentAfter : nullptr, (this->*c.node)->Parent());
    EXPECT_EQ(tvk::isNormal, Insp->State());
    EXPECT_EQ(nullptr, Insp->DragNode());
  }
}

TEST_F(DragFixture, WithoutDraggingAllowedThePressFollowsThePointer) {
  Insp->SetFocus();
  Mouse(WM_LBUTTONDOWN, 40, RowY(1), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, 40, RowY(3), MK_LBUTTON);
  EXPECT_EQ(plain, Insp->FocusedNode());
  Mouse(WM_LBUTTONUP, 40, RowY(3));
  EXPECT_EQ(L"Capachpl", Order());
}

TEST_F(MouseFixture, RegistryValuesRoundTripUnderANormalisedPath) {
  const std::wstring key = L"Software\\TovikTests\\Inspector" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  Insp->SetBandWidth(150);
  Insp->SetDividerPos(70);
  // A path that does not exist changes nothing.
  Insp->LoadFromRegistry(key + L"missing");
  EXPECT_EQ(150, Insp->BandWidth());
  Insp->SaveToRegistry(key);
  Insp->SetBandWidth(300);
  Insp->SetDividerPos(120);
  Insp->LoadFromRegistry(L"\\" + key.substr(0, key.size() - 1));
  EXPECT_EQ(150, Insp->BandWidth());
  EXPECT_EQ(70, Insp->DividerPos());
  EXPECT_EQ(0, Insp->LockUpdate());
  EXPECT_EQ(L"\\a\\b", std::wstring(tvk::TCustomdxInspector::NormalizeRegistryPath(L"a\\b\\\\")));
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\TovikTests\\Inspector" + std::to_wstring(GetCurrentProcessId())).c_str());
}

}  // namespace
}  // namespace inspector_test
