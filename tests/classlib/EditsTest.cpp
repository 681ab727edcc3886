// The edit and the memo over the system's edit windows: settings kept without
// a window and handed to each new one, the text and selection surviving a
// window made anew, change notifications, clipboard and undo, the colours an
// edit asks its parent for, and a memo's lines bound to its text.
#include <gtest/gtest.h>

#include "Clipbrd.h"
#include "Forms.h"
#include "LocaleFormats.h"
#include "StdCtrls.h"

using namespace tvk;

namespace classlib_edits {

// Records the cue banner the control hands its window (the system edit of
// some platforms keeps none to read back).
class HintEdit : public TEdit {
public:
  TVK_CLASS(HintEdit, TEdit)
  using TEdit::TEdit;
  std::vector<WideString> CueBanners;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == 0x1501) CueBanners.emplace_back(reinterpret_cast<const wchar_t*>(message.LParam));
    TEdit::WndProc(message);
  }
};

struct EditFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  HintEdit* Edit = new HintEdit(Form.get());
  int Changes = 0;
  EditFixture() {
    Edit->SetParent(Form.get());
    Edit->OnChange = [this](TObject*) { ++Changes; };
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) SendMessageW(Edit->Handle(), WM_CHAR, *c, 1);
  }
  DWORD Style() { return DWORD(GetWindowLongW(Edit->Handle(), GWL_STYLE)); }
};

TEST_F(EditFixture, SettingsMadeWithoutAWindowReachTheWindowWhenItIsMade) {
  Edit->SetMaxLength(4);
  Edit->SetReadOnly(true);
  Edit->SetPasswordChar(L'#');
  Edit->SetTextHint(L"Search");
  Edit->SetHideSelection(false);
  Edit->SetText(L"ab");
  Edit->SetModified(true);
  ASSERT_FALSE(Edit->HandleAllocated());
  HWND window = Edit->Handle();
  EXPECT_EQ(4, SendMessageW(window, EM_GETLIMITTEXT, 0, 0));
  EXPECT_TRUE(Style() & ES_READONLY);
  EXPECT_TRUE(Style() & ES_NOHIDESEL);
  EXPECT_EQ(L'#', wchar_t(SendMessageW(window, EM_GETPASSWORDCHAR, 0, 0)));
  EXPECT_TRUE(Edit->Modified());
  EXPECT_EQ(std::vector<WideString>{L"Search"}, Edit->CueBanners);
  EXPECT_EQ(L"Search", Edit->TextHint());
  Edit->SetTextHint(L"Find");
  EXPECT_EQ((std::vector<WideString>{L"Search", L"Find"}), Edit->CueBanners);
  EXPECT_EQ(L"ab", Edit->Text());
}

TEST_F(EditFixture, TypingChangesTheTextOnceACharacterAndSetsModified) {
  Edit->HandleNeeded();
  Changes = 0;
  Type(L"xyz");
  EXPECT_EQ(3, Changes);
  EXPECT_EQ(L"xyz", Edit->Text());
  EXPECT_EQ(L"xyz", static_cast<TControl*>(Edit)->Text());  // kept by the control too
  EXPECT_TRUE(Edit->Modified());
  Edit->SetText(L"new");
  EXPECT_FALSE(Edit->Modified());
}

TEST_F(EditFixture, ATextSetWithoutAWindowIsAChangeToo) {
  Edit->SetText(L"abc");
  EXPECT_EQ(1, Changes);
}

TEST_F(EditFixture, AWindowMadeAnewKeepsTextSelectionReadOnlyAndModified) {
  Edit->HandleNeeded();
  Type(L"hello");
  Edit->SetSelStart(1);
  Edit->SetSelLength(3);
  Edit->SetReadOnly(true);
  HWND old = Edit->Handle();
  Edit->SetCharCase(TEditCharCase::ecUpperCase);  // a style change: the window is made anew
  ASSERT_NE(old, Edit->Handle());
  EXPECT_TRUE(Style() & ES_UPPERCASE);
  EXPECT_EQ(L"HELLO", Edit->Text());  // the system edit converts what it is given
  EXPECT_EQ(1, Edit->SelStart());
  EXPECT_EQ(3, Edit->SelLength());
  EXPECT_TRUE(Style() & ES_READONLY);
  EXPECT_TRUE(Edit->Modified());
}

TEST_F(EditFixture, CaseStylesConvertTypedText) {
  Edit->SetCharCase(TEditCharCase::ecLowerCase);
  Edit->HandleNeeded();
  EXPECT_TRUE(Style() & ES_LOWERCASE);
  Type(L"AbC");
  EXPECT_EQ(L"abc", Edit->Text());
  Edit->SetOEMConvert(true);
  EXPECT_TRUE(Style() & ES_OEMCONVERT);
  EXPECT_EQ(L"abc", Edit->Text());
}

TEST_F(EditFixture, SelectionOperationsClipboardAndUndo) {
  Edit->SetText(L"one two");
  Edit->HandleNeeded();
  Edit->SelectAll();
  EXPECT_EQ(0, Edit->SelStart());
  EXPECT_EQ(7, Edit->SelLength());
  Edit->SetSelStart(4);
  Edit->SetSelLength(3);
  EXPECT_EQ(L"two", Edit->SelText());
  Edit->CutToClipboard();
  EXPECT_EQ(L"one ", Edit->Text());
  EXPECT_EQ(L"two", Clipboard().AsText());
  Edit->SetSelStart(0);
  Edit->PasteFromClipboard();
  EXPECT_EQ(L"twoone ", Edit->Text());
  EXPECT_TRUE(Edit->CanUndo());
  Edit->Undo();
  EXPECT_EQ(L"one ", Edit->Text());
  Edit->SetSelStart(0);
  Edit->SetSelLength(1);
  Edit->ClearSelection();
  EXPECT_EQ(L"ne ", Edit->Text());
  Edit->SetSelText(L"[x]");
  EXPECT_EQ(L"[x]ne ", Edit->Text());
  Edit->ClearUndo();
  EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(EditFixture, WithoutAWindowTheKeptSelectionIsReplacedInTheKeptText) {
  Edit->SetText(L"abcdef");
  Edit->SetSelStart(2);
  Edit->SetSelLength(2);
  Edit->SetSelText(L"XY");
  EXPECT_EQ(L"abXYef", Edit->Text());
  EXPECT_EQ(4, Edit->SelStart());
  EXPECT_EQ(0, Edit->SelLength());
}

TEST_F(EditFixture, AutoSelectSelectsAllOnEnteringByKey) {
  Edit->SetText(L"abc");
  Form->Show();
  Edit->Perform(CM_ENTER);
  EXPECT_EQ(3, Edit->SelLength());
  Edit->SetAutoSelect(false);
  Edit->SetSelStart(1);
  Edit->Perform(CM_ENTER);
  EXPECT_EQ(0, Edit->SelLength());
}

// The parent asks its edit child for the colours; a child that answers
// itself wins, otherwise its font colour on its own colour.
class ColourEdit : public TEdit {
public:
  TVK_CLASS(ColourEdit, TEdit)
  using TEdit::TEdit;
  HBRUSH Answer = nullptr;
  UINT Seen = 0;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == CN_CTLCOLOREDIT || message.Msg == CN_CTLCOLORSTATIC) {
      Seen = message.Msg;
      if (Answer) {
        message.Result = reinterpret_cast<LRESULT>(Answer);
        return;
      }
    }
    TEdit::WndProc(message);
  }
};

TEST(EditColours, EditAndStaticColourRequestsAreReflectedToTheChild) {
  std::unique_ptr<TForm> form{CreateComponent<TForm>(nullptr, kCreateNew)};
  auto* edit = new ColourEdit(form.get());
  edit->SetParent(form.get());
  edit->SetColor(clYellow);
  edit->Font().SetColor(clRed);
  HDC dc = GetDC(edit->Handle());
  const auto ask = [&](UINT msg) {
    return reinterpret_cast<HBRUSH>(
        SendMessageW(form->Handle(), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit->Handle())));
  };
  EXPECT_EQ(edit->Brush().Handle(), ask(WM_CTLCOLOREDIT));
  EXPECT_EQ(UINT(CN_CTLCOLOREDIT), edit->Seen);
  EXPECT_EQ(ColorToRGB(clRed), GetTextColor(dc));
  EXPECT_EQ(ColorToRGB(clYellow), GetBkColor(dc));
  HBRUSH own = GetSysColorBrush(COLOR_INFOBK);
  edit->Answer = own;
  EXPECT_EQ(own, ask(WM_CTLCOLORSTATIC));
  EXPECT_EQ(UINT(CN_CTLCOLORSTATIC), edit->Seen);
  ReleaseDC(edit->Handle(), dc);
}

// ---- memo

struct MemoFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TMemo* Memo = new TMemo(Form.get());
  int LineChanges = 0;
  MemoFixture() {
    Memo->SetParent(Form.get());
    static_cast<TStrings&>(Memo->Lines()).OnChange = [this](TObject*) { ++LineChanges; };
  }
  DWORD Style() { return DWORD(GetWindowLongW(Memo->Handle(), GWL_STYLE)); }
};

TEST_F(MemoFixture, LinesAreKeptWithoutAWindowAndBecomeItsText) {
  Memo->Lines().Add(L"first");
  Memo->Lines().Add(L"second");
  Memo->Lines().Insert(1, L"middle");
  ASSERT_FALSE(Memo->HandleAllocated());
  EXPECT_EQ(3, Memo->Lines().Count());
  EXPECT_EQ(L"first\r\nmiddle\r\nsecond", Memo->Text());
  HWND window = Memo->Handle();
  EXPECT_TRUE(Style() & ES_MULTILINE);
  EXPECT_EQ(3, SendMessageW(window, EM_GETLINECOUNT, 0, 0));
  // Typed text is in the lines.
  SendMessageW(window, EM_SETSEL, 0, 0);
  SendMessageW(window, WM_CHAR, L'>', 1);
  EXPECT_EQ(L">first", Memo->Lines()[0]);
  Memo->Lines().Delete(0);
  EXPECT_EQ(L"middle\r\nsecond", Memo->Text());
  Memo->Lines().Put(1, L"last");
  EXPECT_EQ(L"last", Memo->Lines()[1]);
  EXPECT_THROW(Memo->Lines().Get(5), EStringListError);
}

TEST_F(MemoFixture, AnUpdateWritesTheTextOnce) {
  Memo->HandleNeeded();
  int texts = 0;
  Memo->OnChange = [&](TObject*) { ++texts; };
  Memo->Lines().SetText(L"a\nb\r\nc\rd");
  EXPECT_EQ(1, texts);
  EXPECT_EQ(1, LineChanges);
  EXPECT_EQ(4, Memo->Lines().Count());
  EXPECT_EQ(L"a\r\nb\r\nc\r\nd", Memo->Text());
}

TEST_F(MemoFixture, ScrollBarsWordWrapAndAlignmentMakeTheWindowAnewKeepingTextAndSelection) {
  Memo->Lines().SetText(L"alpha\r\nbeta");
  Memo->HandleNeeded();
  Memo->SetSelStart(7);
  Memo->SetSelLength(2);
  EXPECT_FALSE(Style() & ES_AUTOHSCROLL);  // wraps by default
  struct Case {
    void (*Change)(TCustomMemo&);
    DWORD Set;
  };
  const Case cases[] = {
      {[](TCustomMemo& m) { m.SetScrollBars(TScrollStyle::ssBoth); }, WS_HSCROLL | WS_VSCROLL},
      {[](TCustomMemo& m) { m.SetWordWrap(false); }, ES_AUTOHSCROLL},
      {[](TCustomMemo& m) { m.SetAlignment(TAlignment::taRightJustify); }, ES_RIGHT},
  };
  for (const Case& c : cases) {
    HWND old = Memo->Handle();
    c.Change(*Memo);
    EXPECT_NE(old, Memo->Handle());
    EXPECT_EQ(c.Set, Style() & c.Set);
    EXPECT_EQ(L"alpha\r\nbeta", Memo->Text());
    EXPECT_EQ(7, Memo->SelStart());
    EXPECT_EQ(2, Memo->SelLength());
  }
}

TEST_F(MemoFixture, CaretPosIsColumnAndLine) {
  Memo->Lines().SetText(L"one\r\ntwo three");
  Memo->HandleNeeded();
  Memo->SetSelStart(8);
  EXPECT_EQ(3, Memo->CaretPos().x);
  EXPECT_EQ(1, Memo->CaretPos().y);
  Memo->SetCaretPos(POINT{99, 0});  // past the line's end: at its end
  EXPECT_EQ(3, Memo->SelStart());
}

TEST_F(MemoFixture, ReturnsAndTabsAreTypedOnlyWhenWanted) {
  Memo->HandleNeeded();
  SendMessageW(Memo->Handle(), WM_CHAR, L'\t', 1);
  SendMessageW(Memo->Handle(), WM_CHAR, L'\r', 1);
  EXPECT_EQ(L"\r\n", Memo->Text());  // tabs unwanted by default
  EXPECT_FALSE(SendMessageW(Memo->Handle(), WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
  Memo->SetWantTabs(true);
  Memo->SetWantReturns(false);
  Memo->SetText(L"");
  SendMessageW(Memo->Handle(), WM_CHAR, L'\t', 1);
  SendMessageW(Memo->Handle(), WM_CHAR, L'\r', 1);
  EXPECT_EQ(L"\t", Memo->Text());
  EXPECT_TRUE(SendMessageW(Memo->Handle(), WM_GETDLGCODE, VK_TAB, 0) & DLGC_WANTTAB);
  EXPECT_FALSE(SendMessageW(Memo->Handle(), WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS);
}

TEST_F(MemoFixture, ScrollingTheTextIsNotified) {
  int vertical = 0, horizontal = 0;
  Memo->OnVScroll = [&](TObject*) { ++vertical; };
  Memo->OnHScroll = [&](TObject*) { ++horizontal; };
  Memo->SetScrollBars(TScrollStyle::ssBoth);
  Memo->SetWordWrap(false);
  WideString text;
  for (int i = 0; i < 40; ++i) text += L"a rather long line of text to scroll sideways " + std::to_wstring(i) + L"\r\n";
  Memo->SetText(text);
  Form->Show();
  SendMessageW(Memo->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageW(Memo->Handle(), WM_HSCROLL, SB_PAGERIGHT, 0);
  EXPECT_GE(vertical, 1);
  EXPECT_GE(horizontal, 1);
}

TEST(LocaleCase, UpperAndLowerCaseFollowTheLocaleBeyondAscii) {
  EXPECT_EQ(L"\u00C4RGER \u00C9T\u00C9", LocaleUpperCase(L"\u00E4rger \u00E9t\u00E9"));
  EXPECT_EQ(L"\u00E4rger \u00E9t\u00E9", LocaleLowerCase(L"\u00C4RGER \u00C9T\u00C9"));
  EXPECT_EQ(L"", LocaleUpperCase(L""));
}

}  // namespace classlib_edits
