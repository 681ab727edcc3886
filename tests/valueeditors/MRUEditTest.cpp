// The most-recently-used editor: accepted values move to the top of its list,
// the list's length limit, and the host's button beside the drop-down button.
#include "ValueEditorsTest.h"
#include "dxMRUEdit.h"

#include <array>

using namespace tvk;
namespace valueeditors_test {

namespace {

std::vector<std::wstring> MruItems(TdxInplaceMRUEdit& edit) {
  std::vector<std::wstring> items;
  for (int i = 0; i < edit.Items().Count(); ++i) items.push_back(edit.Items().Get(i));
  return items;
}

struct MRUEdit : EditorFixture<TdxInplaceMRUEdit> {
  int HostClicks = 0;
  void SetUp() override {
    EditorFixture::SetUp();
    for (const wchar_t* item : {L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7"}) Edit->Items().Add(item);
    Edit->FOnButtonClick = [this](TObject* sender) {
      EXPECT_EQ(Edit, sender);
      ++HostClicks;
    };
  }
  // Types Text over the whole cell and lets the editor accept it, as a host does.
  void Accept(const std::wstring& text) {
    Edit->SetSelection(0, -1);
    Type(text);
    Edit->ValidateEdit();
  }
  void Pump() {
    MSG m{};
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  std::unique_ptr<TdxEditViewData> LaidOut(TdxEditViewInfo& vi) {
    auto vd = Edit->CreateViewData(false);
    Edit->EditClass().CalcViewInfo(*vd, false, vi);
    return vd;
  }
  // Presses and releases the mouse over button Index, as the user does.
  void ClickButton(int index) {
    TdxEditViewInfo vi;
    auto vd = LaidOut(vi);
    std::array<RECT, kMaxEditButtons> rects{};
    TdxInplaceDropDownEditClass::CalcButtonRects(static_cast<TdxDropDownEditViewData&>(*vd), vi, rects);
    RECT w{};
    GetWindowRect(Edit->Handle(), &w);
    const RECT& r = rects[static_cast<std::size_t>(index)];
    const LPARAM at = MAKELPARAM(static_cast<short>(w.left + r.left + 2), static_cast<short>(w.top + r.top + 2));
    ASSERT_EQ(HTBORDER, SendMessageW(Edit->Handle(), WM_NCHITTEST, 0, at));
    SendMessageW(Edit->Handle(), WM_NCLBUTTONDOWN, HTBORDER, at);
    SendMessageW(Edit->Handle(), WM_LBUTTONUP, 0, 0);
    Pump();
  }
};

}  // namespace

TEST_F(MRUEdit, AcceptedValuesMoveToTheTopWithinTheLimit) {
  struct Row {
    const wchar_t* typed;
    std::vector<std::wstring> after;
  };
  const Row rows[] = {
      {L"b1", {L"b1", L"a1", L"a2", L"a3", L"a4", L"a5", L"a6"}},  // new: the oldest drops out
      {L"a5", {L"a5", L"b1", L"a1", L"a2", L"a3", L"a4", L"a6"}},  // known: moved, nothing lost
      {L"\b", {L"a5", L"b1", L"a1", L"a2", L"a3", L"a4", L"a6"}},  // an emptied cell is no entry
  };
  for (const Row& row : rows) {
    Open(L"a3");
    Accept(row.typed);
    EXPECT_EQ(row.after, MruItems(*Edit)) << "typed " << testing::PrintToString(std::wstring(row.typed));
  }
}

TEST_F(MRUEdit, AnUnchangedValueLeavesTheOrderAlone) {
  Open(L"a4");
  Edit->ValidateEdit();
  EXPECT_EQ(L"a4", Edit->GetTextValue());
  EXPECT_EQ((std::vector<std::wstring>{L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7"}), MruItems(*Edit));
}

TEST_F(MRUEdit, NegativeLimitMeansNoLimitAndALowerLimitCutsTheOldest) {
  Edit->SetMaxItemCount(-3);
  EXPECT_EQ(0, Edit->MaxItemCount());
  EXPECT_EQ(7, Edit->Items().Count());
  Open(L"a1");
  Accept(L"b1");
  EXPECT_EQ((std::vector<std::wstring>{L"b1", L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7"}), MruItems(*Edit));
  Edit->SetMaxItemCount(3);
  EXPECT_EQ((std::vector<std::wstring>{L"b1", L"a1", L"a2"}), MruItems(*Edit));
}

TEST_F(MRUEdit, ASortedListKeepsEveryItemAndAddsNewOnesInOrder) {
  Edit->SetSorted(true);
  Edit->SetMaxItemCount(8);
  Open(L"a1");
  Accept(L"a6");  // a move inside a sorted list would lose the item
  EXPECT_EQ((std::vector<std::wstring>{L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7"}), MruItems(*Edit));
  Accept(L"a0");
  EXPECT_EQ((std::vector<std::wstring>{L"a0", L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7"}), MruItems(*Edit));
}

TEST_F(MRUEdit, TheHostsButtonSitsBesideTheArrowAndTakesTheGlyph) {
  TdxEditViewInfo vi;
  auto vd = LaidOut(vi);
  auto& data = static_cast<TdxDropDownEditViewData&>(*vd);
  ASSERT_EQ(2, data.ButtonCount);
  EXPECT_EQ(bkDown, data.Buttons[0].Kind);
  EXPECT_EQ(bkEllipsis, data.Buttons[1].Kind);
  EXPECT_EQ(1, data.Buttons[1].Index);

  TBitmap glyph;
  glyph.SetSize(30, 10);  // wider than an arrow button
  Edit->SetButtonGlyph(&glyph);
  vd = LaidOut(vi);
  auto& withGlyph = static_cast<TdxDropDownEditViewData&>(*vd);
  ASSERT_EQ(2, withGlyph.ButtonCount);
  EXPECT_EQ(bkDown, withGlyph.Buttons[0].Kind);
  TdxEditButtonInfo arrow;
  arrow.Kind = bkDown;
  EXPECT_EQ(TdxInplaceMRUEditClass::Instance().CalcDefaultButtonWidth(withGlyph, arrow), withGlyph.Buttons[0].Width);
  EXPECT_EQ(bkGlyph, withGlyph.Buttons[1].Kind);
  EXPECT_EQ(withGlyph.ButtonGlyph, withGlyph.Buttons[1].Glyph);
  EXPECT_LT(30, withGlyph.Buttons[1].Width);

  Edit->SetShowEllipsis(false);
  vd = LaidOut(vi);
  auto& single = static_cast<TdxDropDownEditViewData&>(*vd);
  ASSERT_EQ(1, single.ButtonCount);
  EXPECT_EQ(bkGlyph, single.Buttons[0].Kind);
}

TEST_F(MRUEdit, TheHostsButtonReportsAClickAndNeverOpensTheList) {
  Open(L"a2");
  ClickButton(1);
  EXPECT_EQ(1, HostClicks);
  EXPECT_FALSE(Edit->ListVisible());
  ClickButton(0);
  EXPECT_EQ(1, HostClicks);
  EXPECT_TRUE(Edit->ListVisible());
  Edit->CloseUp(false);
}

TEST_F(MRUEdit, CtrlEnterClicksTheHostsButtonOnlyWhenItIsShownAndTheTextCanChange) {
  struct Row {
    bool showEllipsis;
    bool listStyle;
    int clicks;
  };
  for (const Row& row : {Row{true, false, 1}, Row{false, false, 0}, Row{true, true, 0}}) {
    HostClicks = 0;
    Host->KeysDown.clear();
    Edit->SetShowEllipsis(row.showEllipsis);
    Edit->SetDropDownListStyle(row.listStyle);
    Open(L"a2");
    SetCtrlDown(true);
    PostMessageW(Edit->Handle(), WM_CHAR, L'\n', 1);
    SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    SetCtrlDown(false);
    MSG m{};
    const bool charLeft = PeekMessageW(&m, Edit->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE) != FALSE;
    EXPECT_EQ(row.clicks, HostClicks) << row.showEllipsis << row.listStyle;
    if (row.clicks) {
      EXPECT_FALSE(charLeft) << "the line feed of Ctrl+Enter never reaches the text";
      EXPECT_TRUE(Host->KeysDown.empty()) << "the editor's own key is not the host's";
    } else {
      EXPECT_EQ(std::vector<WORD>{VK_RETURN}, Host->KeysDown) << row.showEllipsis << row.listStyle;
    }
  }
}

}  // namespace valueeditors_test
