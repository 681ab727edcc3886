// The themed Unicode edit through real messages: keys and characters, undo,
// the length limit, words, the text messages, the OEM form, input-method
// results, the clipboard, the shared menu and the command interface, the
// button edit, and painting with and without a window.
#include "support/VariantValues.h"
#include "Clipbrd.h"
#include "DxEditsTest.h"
#include "dxEditor.h"

using namespace tvk;
namespace dxedits_test {
using styled_test::PixelAt;

namespace {

struct DxEdit : DxFixture {};

struct TDxAction {
  bool IsChar;
  WORD Code;
  TShiftState Shift = 0;
};
constexpr TDxAction DxK(WORD key, TShiftState shift = 0) { return {false, key, shift}; }
constexpr TDxAction DxC(wchar_t c) { return {true, WORD(c)}; }

struct TDxEditCase {
  const wchar_t* Text;
  std::vector<TDxAction> Actions;
  const wchar_t* Result;
  int Caret, SelStart, SelLength;
};

TEST_F(DxEdit, KeysAndCharactersGiveTextCaretAndSelection) {
  const TDxEditCase cases[] = {
      {L"abc", {DxK(VK_END), DxK(VK_HOME, ssShift)}, L"abc", 0, 0, 3},
      // Ctrl+Left after the first letter of the second word: its start, then 0.
      {L"one two", {DxK(VK_HOME), DxK(VK_RIGHT, ssCtrl), DxK(VK_RIGHT), DxK(VK_LEFT, ssCtrl)}, L"one two", 4, 4, 0},
      {L"one two", {DxK(VK_HOME), DxK(VK_RIGHT, ssCtrl), DxK(VK_RIGHT), DxK(VK_LEFT, ssCtrl), DxK(VK_LEFT, ssCtrl)},
       L"one two", 0, 0, 0},
      {L"one  two ", {DxK(VK_END), DxK(VK_LEFT, ssCtrl)}, L"one  two ", 5, 5, 0},
      {L"one two", {DxK(VK_END), DxK(VK_RIGHT, ssCtrl)}, L"one two", 7, 7, 0},
      {L"abc", {DxK(VK_HOME), DxK(VK_DELETE)}, L"bc", 0, 0, 0},
      {L"abc", {DxK(VK_END), DxC(8)}, L"ab", 2, 2, 0},
      {L"abc", {DxK(VK_HOME), DxK(VK_RIGHT, ssShift), DxK(VK_RIGHT, ssShift), DxC(L'x')}, L"xc", 1, 1, 0},
      {L"abc", {DxK(VK_HOME), DxK(VK_END, ssShift), DxK(VK_DELETE)}, L"", 0, 0, 0},
      {L"abc", {DxK(VK_END), DxC(L'd'), DxK(VK_BACK, ssAlt)}, L"abc", 3, 0, 3},
      {L"abc", {DxK(VK_END), DxC(L'd'), DxC(26)}, L"abc", 3, 0, 3},
      {L"abc", {DxK(VK_END), DxC(L'd'), DxC(26), DxC(26)}, L"abcd", 4, 0, 4},  // a second undo redoes
      {L"ab", {DxK(VK_HOME), DxC(27)}, L"ab", 0, 0, 0},
      {L"ab", {DxK(VK_END), DxC(0xD83D)}, L"ab", 2, 2, 0},  // a lone surrogate is not typed
      {L"", {DxK(VK_END), DxK(VK_RIGHT, ssCtrl)}, L"", 0, 0, 0},
  };
  for (const auto& c : cases) {
    auto* edit = Make();
    edit->SetText(c.Text);
    edit->SetFocus();
    for (const auto& a : c.Actions) {
      if (a.IsChar)
        SendMessageW(edit->Handle(), WM_CHAR, a.Code, 1);
      else
        Key(edit->Handle(), a.Code, a.Shift);
    }
    SCOPED_TRACE(testing::Message() << "text \"" << UTF8Encode(c.Text) << "\"");
    EXPECT_EQ(WideString(c.Result), edit->Text());
    EXPECT_EQ(c.Caret, edit->CaretPos());
    EXPECT_EQ(c.SelStart, edit->SelStart());
    EXPECT_EQ(c.SelLength, edit->SelLength());
    delete edit;
  }
}

TEST_F(DxEdit, UnicodeTextKeepsTheUndoSnapshotAndTextClearsIt) {
  auto* edit = Make();
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetText(L"one");
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  Type(edit->Handle(), L"!");
  changes = 0;
  edit->SetEditModified(false);
  edit->SetUnicodeText(L"one!");  // the same text: nothing
  EXPECT_EQ(0, changes);
  EXPECT_FALSE(edit->GetEditModified());

  edit->SetUnicodeText(L"two");
  EXPECT_EQ(1, changes);
  EXPECT_TRUE(edit->GetEditModified());
  EXPECT_EQ(3, edit->CaretPos());
  ASSERT_TRUE(edit->CanUndo());
  edit->Undo();
  EXPECT_EQ(L"one", edit->Text());  // everything since SetText

  edit->SetText(L"three");
  EXPECT_FALSE(edit->CanUndo());
  // The host's value exchange is the Unicode text.
  edit->SetEditValue(L"\u0416x");
  EXPECT_EQ(L"\u0416x", edit->GetEditValue());
}

TEST_F(DxEdit, DeletingNothingStillReportsAChange) {
  auto* edit = Make();
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetText(L"abc");
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  changes = 0;
  Key(edit->Handle(), VK_DELETE);
  edit->DeleteSelection();
  EXPECT_EQ(L"abc", edit->Text());
  EXPECT_EQ(2, changes);
}

TEST_F(DxEdit, MaxLengthLimitsTypingAndPastingButNeverCutsTheText) {
  auto* edit = Make();
  edit->SetText(L"abcdefg");
  edit->SetMaxLength(5);
  EXPECT_EQ(L"abcdefg", edit->Text());
  edit->SetText(L"abcd");
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  Type(edit->Handle(), L"xy");
  EXPECT_EQ(L"abcdx", edit->Text());
  edit->SetText(L"abcd");
  Key(edit->Handle(), VK_END);
  Clipboard().SetAsText(L"xyz");
  SendMessageW(edit->Handle(), WM_CHAR, 22, 1);  // Ctrl+V
  EXPECT_EQ(L"abcdx", edit->Text());
}

TEST_F(DxEdit, DoubleClickSelectsAWord) {
  struct {
    const wchar_t* Text;
    int Pos;
    int SelStart, SelLength;
  } cases[] = {
      {L"one two", 5, 4, 3},    // inside a word
      {L"one  two", 4, 0, 3},   // on a space between words: the word before
      {L"  word", 0, 2, 4},     // on a leading space: the word after, to the end
      {L"one two", 7, 4, 3},    // at the end: the last word
      {L"   ", 1, 3, 0},        // no word: the selection stays
  };
  for (const auto& c : cases) {
    auto* edit = Make();
    edit->SetText(c.Text);
    edit->SelectWordAt(c.Pos);
    EXPECT_EQ(c.SelStart, edit->SelStart()) << UTF8Encode(c.Text) << " at " << c.Pos;
    EXPECT_EQ(c.SelLength, edit->SelLength()) << UTF8Encode(c.Text) << " at " << c.Pos;
    delete edit;
  }
}

TEST_F(DxEdit, AutoSizedEditorShowsAWholeLineInsideItsFrame) {
  auto* edit = Make();
  int before = edit->Height();
  edit->Font().SetHeight(-24);
  EXPECT_GT(edit->Height(), before);
  edit->SetText(L"Height");
  RECT r;
  edit->GetTextRect(r);
  HDC dc = GetDC(edit->Handle());
  HGDIOBJ old = SelectObject(dc, edit->Font().Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(edit->Handle(), dc);
  EXPECT_GE(r.bottom - r.top, tm.tmHeight);
}

TEST_F(DxEdit, GetTextWritesNoMoreThanTheBufferHolds) {
  auto* edit = Make();
  edit->SetText(L"abcdef");
  struct {
    WPARAM Max;
    LRESULT Result;
    const wchar_t* Buffer;
  } cases[] = {{0, 0, L"#####"}, {1, 0, L"\0####"}, {4, 3, L"abc\0#"}};
  for (const auto& c : cases) {
    wchar_t buffer[5] = {L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(c.Result, SendMessageW(edit->Handle(), WM_GETTEXT, c.Max, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(WideString(c.Buffer, 5), WideString(buffer, 5)) << "max " << c.Max;
  }
  EXPECT_EQ(6, SendMessageW(edit->Handle(), WM_GETTEXTLENGTH, 0, 0));
  SendMessageW(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"set"));
  EXPECT_EQ(L"set", edit->Text());
}

struct DxOemPages {
  DxOemPages(UINT oem, UINT ansi) {
    TCustomXPDXEdit::OemCodePage = oem;
    TCustomXPDXEdit::AnsiCodePage = ansi;
  }
  ~DxOemPages() {
    TCustomXPDXEdit::OemCodePage = CP_OEMCP;
    TCustomXPDXEdit::AnsiCodePage = CP_ACP;
  }
};

TEST_F(DxEdit, OemFormOfADoubleByteCodePageIsSizedByItsBytes) {
  DxOemPages pages(932, 1252);
  auto* edit = Make();
  edit->SetOEMConvert(true);
  edit->SetText(L"\u65E5\u672Cx");  // two double-byte characters and one single
  EXPECT_EQ(5u, edit->StoredText().size());  // five bytes read back as five characters
  EXPECT_EQ(L"\u65E5\u672Cx", edit->GetUnicodeText());
  edit->SetOEMConvert(false);
  edit->SetText(L"\u65E5");
  EXPECT_EQ(L"\u65E5", edit->StoredText());
}

// An input-method result that a test hands over.
WideString gDxImeResult;
WideString DxImeReader(HWND) { return gDxImeResult; }

TEST_F(DxEdit, ImeResultWithASurrogatePairArrivesAndTheNextKeyToo) {
  auto* edit = Make();
  edit->SetFocus();
  gDxImeResult = L"a\U0001F600";
  SetImeResultReader(&DxImeReader);
  SendMessageW(edit->Handle(), WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  SetImeResultReader(nullptr);
  for (wchar_t unit : gDxImeResult) SendMessageW(edit->Handle(), WM_CHAR, unit, 1);
  EXPECT_EQ(L"a\U0001F600", edit->Text());
  Type(edit->Handle(), L"z");
  EXPECT_EQ(L"a\U0001F600z", edit->Text());
}

TEST_F(DxEdit, ClipboardCommandsAndPasswordText) {
  auto* edit = Make();
  edit->SetText(L"cut me");
  edit->SetSelStart(4);
  edit->SetSelLength(2);
  edit->CutToClipboard();
  EXPECT_EQ(L"cut ", edit->Text());
  EXPECT_EQ(L"me", Clipboard().AsText());
  edit->SetPasswordChar(L'*');
  EXPECT_EQ(L"****", edit->DisplayText());
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(L"me", Clipboard().AsText());  // a password is never copied
  edit->SetReadOnly(true);
  edit->CutToClipboard();
  EXPECT_EQ(L"cut ", edit->Text());
}

TEST_F(DxEdit, SharedMenuStatesAndCommandsReachTheEditor) {
  auto* edit = Make();
  edit->SetText(L"menu");
  Clipboard().Clear();
  TPopupMenu* menu = edit->GetPopupMenu();
  ASSERT_EQ(&TXPEditResourceManager::StandardEditPopupMenu(), menu);
  EXPECT_FALSE(TXPEditResourceManager::MenuItemUndo().Enabled());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemCut().Enabled());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemPaste().Enabled());
  EXPECT_TRUE(TXPEditResourceManager::MenuItemSelectAll().Enabled());
  TXPEditResourceManager::MenuItemSelectAll().Click();
  EXPECT_EQ(4, edit->SelLength());
  edit->GetPopupMenu();
  EXPECT_TRUE(TXPEditResourceManager::MenuItemCut().Enabled());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemSelectAll().Enabled());
  TXPEditResourceManager::MenuItemCut().Click();
  EXPECT_EQ(L"", edit->Text());
  edit->GetPopupMenu();
  EXPECT_TRUE(TXPEditResourceManager::MenuItemUndo().Enabled());
  EXPECT_TRUE(TXPEditResourceManager::MenuItemPaste().Enabled());

  TPopupMenu own(nullptr);
  edit->SetPopupMenu(&own);
  EXPECT_EQ(&own, edit->GetPopupMenu());
  edit->SetPopupMenu(nullptr);
  delete edit;
  EXPECT_EQ(nullptr, TXPEditResourceManager::BoundComponent());
}

TEST_F(DxEdit, CommandsAnswerAFailureWhileTheEditorsOwnCallsRaise) {
  auto* edit = Make();
  edit->SetText(L"held");
  edit->SelectAll();
  auto* commands = Supports<IXPEditCommands>(edit, IXPEditCommands::Iid);
  ASSERT_NE(nullptr, commands);
  EXPECT_EQ(S_OK, commands->DeleteSelection());
  EXPECT_EQ(L"", edit->Text());
  EXPECT_EQ(S_OK, commands->Undo());
  EXPECT_EQ(L"held", edit->Text());
  // Another window holds the clipboard: copying fails.
  HWND other = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(other));
  EXPECT_TRUE(FAILED(commands->CopyToClipboard()));
  EXPECT_THROW(edit->CopyToClipboard(), Exception);
  CloseClipboard();
  DestroyWindow(other);
  EXPECT_EQ(S_OK, commands->CopyToClipboard());
}

// ---- Painting

TColor DxTextColourIn(TBitmap& bitmap, const RECT& r, TColor background) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (TColor c = PixelAt(bitmap, x, y); c != background) return c;
  return background;
}

TEST_F(DxEdit, DisabledEditorDrawsShadowTextOnTheWindowColourInEveryLook) {
  for (int mode : {0, 1}) {
    Look(mode);
    auto* edit = Make();
    edit->SetText(L"WWW");
    edit->SetEnabled(false);
    TBitmap bitmap;
    instrument_test::PaintInto(*edit, bitmap);
    RECT r;
    edit->GetTextRect(r);
    TColor back = TColor(ColorToRGB(SubstWindowColor));
    EXPECT_EQ(back, PixelAt(bitmap, r.right - 2, r.top + 1)) << "mode " << mode;
    EXPECT_EQ(TColor(ColorToRGB(SubstBtnShadowColor)), DxTextColourIn(bitmap, r, back)) << "mode " << mode;
    delete edit;
  }
}

TEST_F(DxEdit, TransparentHotTrackUnderlinesWhileTheMouseIsOver) {
  for (bool transparent : {true, false}) {
    auto* edit = Make();
    edit->SetHotTrack(true);
    edit->SetTransparent(transparent);
    edit->Perform(CM_MOUSEENTER);
    EXPECT_EQ(transparent, (edit->Font().Style() & fsUnderline) != 0);
    edit->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(0u, edit->Font().Style() & fsUnderline);
    delete edit;
  }
}

TEST_F(DxEdit, WindowlessCellShowsTheValueWithoutPasswordOrCase) {
  auto draw = [](const TdxInplaceEditClass& cls, TdxEditViewData& vd, TBitmap& bitmap) {
    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(80, 20);
    vd.Enabled = true;
    vd.ViewBounds = RECT{0, 0, 80, 20};
    vd.Brush = GetSysColorBrush(COLOR_WINDOW);
    vd.BkColor = GetSysColor(COLOR_WINDOW);
    vd.TextColor = GetSysColor(COLOR_WINDOWTEXT);
    vd.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    vd.Data = L"abc";
    cls.DrawClientArea(bitmap.Canvas().Handle(), vd.ViewBounds, vd, false);
  };
  auto masked = TdxInplaceTextEditClass::Instance().CreateViewDataObject();
  auto* extras = dynamic_cast<TdxTextEditViewData*>(masked.get());
  ASSERT_NE(nullptr, extras);
  extras->PasswordChar = L'*';
  extras->CharCase = TEditCharCase::ecUpperCase;
  TBitmap themed, plain, textEditor;
  draw(TXPDXEditClass::Instance(), *masked, themed);
  TdxEditViewData bare;
  draw(TdxInplaceTextEditClass::Instance(), bare, plain);
  draw(TdxInplaceTextEditClass::Instance(), *masked, textEditor);
  int differences = 0, maskedDifferences = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 80; ++x) {
      differences += PixelAt(themed, x, y) != PixelAt(plain, x, y);
      maskedDifferences += PixelAt(textEditor, x, y) != PixelAt(plain, x, y);
    }
  EXPECT_EQ(0, differences);
  EXPECT_GT(maskedDifferences, 0);  // the text editor does mask: the comparison can tell
  // Measuring a cell's height.
  TdxEditViewData measure;
  measure.CalcHeight = true;
  draw(TXPDXEditClass::Instance(), measure, themed);
  EXPECT_GT(measure.LineHeight, 0);
  EXPECT_EQ(1, measure.LineCount);
}

// ---- The button edit

TEST_F(DxEdit, ButtonEditGivesTheButtonItsPlaceAndClicksIt) {
  auto* edit = Make<TXPDXButtonEdit>();
  RECT withButton;
  edit->GetTextRect(withButton);
  RECT button;
  edit->GetButtonRect(button);
  EXPECT_EQ(edit->ClientWidth(), button.right);
  EXPECT_EQ(19, button.right - button.left);
  EXPECT_LT(withButton.right, button.left + 1);
  int clicks = 0;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  edit->ClickButton();
  EXPECT_EQ(1, clicks);
  // The button paints a pushed face inside the editor's painting.
  TBitmap bitmap;
  instrument_test::PaintInto(*edit, bitmap);
  EXPECT_EQ(TColor(ColorToRGB(clBtnFace)), PixelAt(bitmap, button.left + 4, button.top + 3));

  edit->SetShowButton(false);
  RECT whole;
  edit->GetTextRect(whole);
  EXPECT_EQ(edit->ClientWidth() - 1, whole.right);
  EXPECT_FALSE(edit->Button().Visible());
  edit->GetButtonRect(button);
  EXPECT_TRUE(IsRectEmpty(&button));
}

TEST_F(DxEdit, CtrlEnterClicksTheButtonOfAnEditorWithoutHost) {
  auto* edit = new TXPDXButtonEdit(form.get());
  edit->SetParent(form.get());
  edit->HandleNeeded();
  int clicks = 0;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  edit->SetFocus();
  Key(edit->Handle(), VK_RETURN, ssCtrl);
  EXPECT_EQ(1, clicks);
  Key(edit->Handle(), VK_RETURN);
  EXPECT_EQ(1, clicks);
}

}  // namespace

}  // namespace dxedits_test
