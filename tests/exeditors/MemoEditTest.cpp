// The memo editor and its lines.
#include "ExEditorsTest.h"
#include "dxMemoEdit.h"

using namespace tvk;
namespace exeditors_test {
using namespace inplace_test;

namespace {

struct MemoEdits : HostFixture {
  TdxInplaceMemoEdit* Edit = nullptr;
  void SetUp() override {
    HostFixture::SetUp();
    FailOnException();
    Edit = new TdxInplaceMemoEdit(Host);
    Edit->SetParent(Host);
    Host->Editor = Edit;
    Host->CellHeight = 40;
    Host->Cells = {L"first\r\nsecond\r\nthird", L"x"};
    Form->Show();
  }
  void TearDown() override { tvk::Application().OnException = nullptr; }
  std::vector<WideString> AllLines() {
    std::vector<WideString> lines;
    for (int i = 0; i < Edit->Lines().Count(); ++i) lines.push_back(Edit->Lines()[i]);
    return lines;
  }
  void HoldCtrl(bool down) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }
};

}  // namespace

TEST_F(MemoEdits, ATrailingLineBreakIsNoLineAndAMemoWithoutWindowHasNone) {
  EXPECT_EQ(0, Edit->Lines().Count());
  Edit->HandleNeeded();
  struct Case {
    const wchar_t* Text;
    std::vector<WideString> Lines;
  } const cases[] = {{L"", {}}, {L"a", {L"a"}}, {L"a\r\nb", {L"a", L"b"}}, {L"a\r\nb\r\n", {L"a", L"b"}},
                     {L"a\n\nb", {L"a", L"", L"b"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(UTF8Encode(c.Text));
    Edit->MemoLines().SetText(c.Text);
    EXPECT_EQ(c.Lines, AllLines());
  }
  Edit->SetWordWrap(false);  // a wrapped window reads its lines as they are shown
  Edit->MemoLines().SetText(WideString(5000, L'w'));
  EXPECT_EQ(WideString(4096, L'w'), Edit->Lines()[0]);
}

TEST_F(MemoEdits, LinesAreInsertedDeletedAndReplacedInTheWindow) {
  Edit->HandleNeeded();
  Edit->MemoLines().SetText(L"a\rb");
  Edit->Lines().Insert(2, L"c");  // one past the last line, after a non-empty one
  EXPECT_EQ((std::vector<WideString>{L"a", L"b", L"c"}), AllLines());
  Edit->Lines().Delete(1);
  EXPECT_EQ((std::vector<WideString>{L"a", L"c"}), AllLines());
  Edit->Lines().Insert(0, L"z");
  Edit->Lines().Put(1, L"A");
  EXPECT_EQ((std::vector<WideString>{L"z", L"A", L"c"}), AllLines());
  Edit->Lines().Delete(7);
  Edit->Lines().Insert(9, L"far");
  Edit->Lines().Put(-1, L"none");
  EXPECT_EQ((std::vector<WideString>{L"z", L"A", L"c"}), AllLines());
  Edit->Lines().Delete(2);  // the last line
  EXPECT_EQ((std::vector<WideString>{L"z", L"A"}), AllLines());
  Edit->Lines().Add(L"end");
  EXPECT_EQ((std::vector<WideString>{L"z", L"A", L"end"}), AllLines());
  Edit->Lines().Clear();
  EXPECT_EQ(0, Edit->Lines().Count());
}

TEST_F(MemoEdits, EnterGoesToTheHostWithoutWantReturnsAndCtrlEnterBreaksTheLine) {
  Edit->FWantReturns = false;
  Host->EditCell(1);
  Host->KeysDown.clear();
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(std::vector<WORD>{VK_RETURN}, Host->KeysDown);
  EXPECT_EQ(L"x", Edit->GetTextValue());
  EXPECT_EQ(0, SendMessageW(Edit->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  Edit->SetSelection(1, 1);
  HoldCtrl(true);
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  HoldCtrl(false);
  const WideString text = Edit->GetTextValue();
  EXPECT_EQ(L"x\r", text.substr(0, 2));
  EXPECT_EQ(std::vector<WORD>{VK_RETURN}, Host->KeysDown);
}

TEST_F(MemoEdits, DownMovesTheHostRightAfterEntryAndTheCaretAfterAClick) {
  int hostMoves = 0;
  Host->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    if (key == VK_DOWN) ++hostMoves;
  };
  Host->EditCell(0);
  Host->KeysDown.clear();
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(std::vector<WORD>{VK_DOWN}, Host->KeysDown);  // the host navigates
  Host->KeysDown.clear();
  Edit->SetSelection(1, 1);  // as a click in the text does
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_TRUE(Host->KeysDown.empty());  // the host only hears of it
  EXPECT_EQ(1, hostMoves);
  CHARRANGE caret{};
  Edit->GetSelection(caret);
  EXPECT_GT(caret.cpMin, 5);  // on the second line
}

}  // namespace exeditors_test
