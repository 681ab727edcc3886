// The styled edit through real messages: keys and characters, the clipboard,
// undo, number mode, the text messages, the OEM form, the mouse, words, and
// the shared menu with the edit-command interface.
#include "Application.h"
#include "Clipbrd.h"
#include "Convert.h"
#include "XPEditTest.h"

#include <clocale>

using namespace tvk;
namespace xpedit_test {

namespace {

struct EditInput : EditFixture {};

// An action on the focused edit: a key with shift keys, or a typed character.
struct TEditAction {
  bool IsChar;
  WORD Code;
  TShiftState Shift = 0;
};
constexpr TEditAction K(WORD key, TShiftState shift = 0) { return {false, key, shift}; }
constexpr TEditAction C(wchar_t c) { return {true, WORD(c)}; }

struct TEditCase {
  const wchar_t* Text;
  std::vector<TEditAction> Actions;
  const wchar_t* Result;
  int Caret, SelStart, SelLength;
};

TEST_F(EditInput, KeysAndCharactersGiveTextCaretAndSelection) {
  const TEditCase cases[] = {
      {L"abc", {K(VK_END), K(VK_HOME, ssShift)}, L"abc", 0, 0, 3},
      {L"one two", {K(VK_HOME), K(VK_RIGHT), K(VK_RIGHT), K(VK_RIGHT), K(VK_RIGHT), K(VK_RIGHT),
                    K(VK_LEFT, ssCtrl)}, L"one two", 4, 4, 0},
      {L"one two", {K(VK_HOME), K(VK_RIGHT, ssCtrl)}, L"one two", 4, 4, 0},
      {L"one  two ", {K(VK_END), K(VK_LEFT, ssCtrl)}, L"one  two ", 5, 5, 0},
      {L"one two", {K(VK_END), K(VK_RIGHT, ssCtrl)}, L"one two", 7, 7, 0},
      {L"abc", {K(VK_HOME), K(VK_DELETE)}, L"bc", 0, 0, 0},
      {L"abc", {K(VK_END), C(8)}, L"ab", 2, 2, 0},
      {L"abc", {K(VK_HOME), K(VK_RIGHT, ssShift), K(VK_RIGHT, ssShift), C(L'x')}, L"xc", 1, 1, 0},
      {L"abc", {K(VK_HOME), K(VK_END, ssShift), K(VK_DELETE)}, L"", 0, 0, 0},
      {L"abc", {K(VK_END), C(L'd'), K(VK_BACK, ssAlt)}, L"abc", 3, 0, 3},
      {L"ab", {K(VK_HOME), C(L'\t'), C(27)}, L"ab", 0, 0, 0},  // control characters do nothing
      {L"", {K(VK_END), K(VK_RIGHT, ssCtrl)}, L"", 0, 0, 0},
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

TEST_F(EditInput, UndoTogglesAndChangeRunsWhereTheTextStaysTheSame) {
  auto* edit = Make();
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetText(L"abc");
  changes = 0;
  EXPECT_FALSE(edit->CanUndo());
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  Type(edit->Handle(), L"de");
  EXPECT_EQ(L"abcde", edit->Text());
  ASSERT_TRUE(edit->CanUndo());
  EXPECT_EQ(S_OK, edit->Undo());
  EXPECT_EQ(L"abc", edit->Text());  // one step: everything since SetText
  EXPECT_EQ(3, edit->SelLength());
  EXPECT_EQ(S_OK, edit->Undo());
  EXPECT_EQ(L"abcde", edit->Text());

  // Delete at the end and deleting an empty selection change nothing but still report a change.
  Key(edit->Handle(), VK_END);
  edit->SetModified(false);
  changes = 0;
  Key(edit->Handle(), VK_DELETE);
  EXPECT_EQ(S_OK, edit->DeleteSelection());
  EXPECT_EQ(L"abcde", edit->Text());
  EXPECT_EQ(2, changes);
  EXPECT_TRUE(edit->Modified());
  // Backspace at the start runs nothing.
  Key(edit->Handle(), VK_HOME);
  changes = 0;
  SendMessageW(edit->Handle(), WM_CHAR, 8, 1);
  EXPECT_EQ(0, changes);
}

TEST_F(EditInput, ReadOnlyEditsChangeNothingYetReportSuccessAndCopy) {
  auto* edit = Make();
  edit->SetText(L"fixed");
  edit->SetReadOnly(true);
  edit->SelectAll();
  Clipboard().SetAsText(L"other");
  EXPECT_EQ(S_OK, edit->CutToClipboard());
  EXPECT_EQ(S_OK, edit->PasteFromClipboard());
  EXPECT_EQ(S_OK, edit->DeleteSelection());
  EXPECT_EQ(L"fixed", edit->Text());
  EXPECT_EQ(L"fixed", Clipboard().AsText());  // the cut still copied
  EXPECT_FALSE(edit->CanUndo());
}

TEST_F(EditInput, PastingControlCharactersAndMaxLength) {
  auto* edit = Make();
  Clipboard().SetAsText(L"a\r\nb");
  EXPECT_EQ(S_OK, edit->PasteFromClipboard());
  EXPECT_EQ(L"a  b", edit->Text());

  edit->SetText(L"abcdef");
  edit->SetMaxLength(3);
  EXPECT_EQ(L"abcdef", edit->Text());  // existing text is never cut
  edit->SetText(L"ab");
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  Clipboard().SetAsText(L"xyz");
  SendMessageW(edit->Handle(), WM_CHAR, 22, 1);  // Ctrl+V
  EXPECT_EQ(L"abx", edit->Text());
  Type(edit->Handle(), L"q");
  EXPECT_EQ(L"abx", edit->Text());
}

TEST_F(EditInput, PasswordTextIsNeverCopied) {
  auto* edit = Make();
  edit->SetText(L"secret");
  edit->SetPasswordChar(L'*');
  EXPECT_EQ(L"******", edit->DisplayText());
  edit->SetFocus();
  edit->SelectAll();
  EXPECT_EQ(L"secret", edit->SelText());
  Clipboard().SetAsText(L"before");
  SendMessageW(edit->Handle(), WM_CHAR, 3, 1);  // Ctrl+C
  EXPECT_EQ(L"before", Clipboard().AsText());
  SendMessageW(edit->Handle(), WM_CHAR, 24, 1);  // Ctrl+X deletes without copying
  EXPECT_EQ(L"", edit->Text());
  EXPECT_EQ(L"before", Clipboard().AsText());
}

TEST_F(EditInput, GetTextAnswersWithinTheCallersBuffer) {
  auto* edit = Make();
  edit->SetText(L"hello");
  struct {
    WPARAM Max;
    LRESULT Copied;
    const wchar_t* Text;
  } cases[] = {{0, 0, L"untouched"}, {1, 0, L""}, {3, 2, L"he"}, {6, 5, L"hello"}, {64, 5, L"hello"}};
  for (const auto& c : cases) {
    wchar_t buffer[64];
    wcscpy(buffer, L"untouched");
    EXPECT_EQ(c.Copied, SendMessageW(edit->Handle(), WM_GETTEXT, c.Max, reinterpret_cast<LPARAM>(buffer)))
        << c.Max;
    EXPECT_STREQ(c.Text, buffer) << c.Max;
  }
  EXPECT_EQ(5, SendMessageW(edit->Handle(), WM_GETTEXTLENGTH, 0, 0));
  SendMessageW(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"set"));
  EXPECT_EQ(L"set", edit->GetText());
  EXPECT_FALSE(edit->CanUndo());
}

TEST_F(EditInput, OemFormRoundTripsAndSizesItsBufferByTheConversion) {
  // A double-byte OEM code page: three characters are six bytes.
  const WideString japanese = L"\u65E5\u672C\u8A9E";
  WideString stored = TextToOemForm(japanese, 932, 932);
  EXPECT_EQ(japanese, stored);
  EXPECT_EQ(japanese, OemFormToText(stored, 932, 932));
  // The OEM bytes read as Latin-1 text: one character per byte.
  EXPECT_EQ(6u, TextToOemForm(japanese, 932, 1252).size());
  EXPECT_EQ(japanese, OemFormToText(TextToOemForm(japanese, 932, 1252), 932, 1252));

  auto* edit = Make();
  edit->SetOEMConvert(true);
  edit->SetText(L"caf\u00E9 100%");
  EXPECT_EQ(L"caf\u00E9 100%", edit->Text());
  EXPECT_EQ(edit->StoredText(), TextToOemForm(L"caf\u00E9 100%"));
}

TEST_F(EditInput, CaseAndClearKeepCaretAndSelectionInsideTheText) {
  auto* edit = Make();
  edit->SetText(L"abc\u00E9DEF");
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  Key(edit->Handle(), VK_LEFT, ssShift);
  edit->SetCharCase(TEditCharCase::ecUpperCase);
  EXPECT_EQ(L"ABC\u00E9DEF", edit->Text());  // ASCII letters only
  edit->SetCharCase(TEditCharCase::ecLowerCase);
  EXPECT_EQ(L"abc\u00E9def", edit->Text());
  edit->Clear();
  EXPECT_EQ(L"", edit->Text());
  EXPECT_EQ(0, edit->CaretPos());
  EXPECT_EQ(0, edit->SelStart());
  EXPECT_EQ(0, edit->SelLength());
  EXPECT_EQ(0, edit->FirstChar());
  Type(edit->Handle(), L"x");
  EXPECT_EQ(L"x", edit->Text());
}

TEST_F(EditInput, NumberModeFiltersAndFormatsWithAPointWhateverTheLocale) {
  auto* edit = Make();
  edit->SetNumberType(TNumberTypeEx::ntFloat);
  edit->SetNumberPrecision(3);
  std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "German");
  edit->SetNumberValue(2.5);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(L"2.500", edit->Text());
  EXPECT_DOUBLE_EQ(2.5, edit->NumberValue());
  edit->SetFocus();
  Key(edit->Handle(), VK_END);
  Type(edit->Handle(), L"x-.");
  EXPECT_EQ(L"2.500-.", edit->Text());

  edit->SetText(L"");
  edit->SetNumberRadix(TRadix::rdxHexadecimal);
  EXPECT_EQ(TNumberTypeEx::ntUnsignedInt, edit->NumberType());
  edit->SetText(L"");
  Type(edit->Handle(), L"aFg-9");
  EXPECT_EQ(L"aF9", edit->Text());
  EXPECT_DOUBLE_EQ(0xAF9, edit->NumberValue());
  edit->SetNumberValue(-1);
  EXPECT_EQ(L"FFFFFFFFFFFFFFFF", edit->Text());
  EXPECT_DOUBLE_EQ(-1, edit->NumberValue());
  EXPECT_THROW(edit->SetNumberValue(1e30), EConvertError);

  edit->SetNumberRadix(TRadix::rdxBinary);
  edit->SetText(L"");
  Type(edit->Handle(), L"1021");
  EXPECT_EQ(L"101", edit->Text());
  EXPECT_DOUBLE_EQ(5, edit->NumberValue());
  // A filtered character without a selection changes nothing but still reports a change.
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  Type(edit->Handle(), L"7");
  EXPECT_EQ(1, changes);

  edit->SetNumberType(TNumberTypeEx::ntSignedInt);
  EXPECT_EQ(TRadix::rdxDecimal, edit->NumberRadix());
  EXPECT_EQ(L"5", edit->Text());
  edit->SetText(L"12x");
  EXPECT_DOUBLE_EQ(0, edit->NumberValue());
}

// An edit as a form's design makes it (loading until Loaded).
class TLoadingEdit : public TXPEdit {
public:
  using TXPEdit::TXPEdit;
  void BeginLoading() { SetComponentState(csLoading, true); }
  void EndLoading() {
    SetComponentState(csLoading, false);
    Loaded();
  }
};

TEST_F(EditInput, NoChangeIsReportedWhileLoadingAndLoadedStartsClean) {
  auto* edit = Make<TLoadingEdit>();
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->BeginLoading();
  edit->SetText(L"designed");
  EXPECT_EQ(0, changes);
  edit->EndLoading();
  EXPECT_FALSE(edit->Modified());
  EXPECT_FALSE(edit->CanUndo());
  edit->SetText(L"run time");
  EXPECT_EQ(1, changes);
  EXPECT_TRUE(edit->GetModified());
  edit->ClearModified();
  EXPECT_FALSE(edit->GetModified());
}

// An edit whose insertion fails: the command reports it, the key raises it.
class TFailingEdit : public TXPEdit {
public:
  using TXPEdit::TXPEdit;
  void InsertText(WideString) override { throw Exception(L"cannot insert"); }
};

TEST_F(EditInput, CommandsTurnErrorsIntoAFailureStatusAndTheEditsOwnCallersRaiseThem) {
  auto* edit = Make<TFailingEdit>();
  Clipboard().SetAsText(L"x");
  EXPECT_EQ(E_UNEXPECTED, edit->PasteFromClipboard());
  int raised = 0;
  Application().OnException = [&](TObject*, const std::exception_ptr&) { ++raised; };
  SendMessageW(edit->Handle(), WM_CHAR, 22, 1);
  FailOnException();
  EXPECT_EQ(1, raised);
}

TEST_F(EditInput, MouseFocusingClickSelectsAllUnlessDragged) {
  auto* other = Make(10, 50);
  auto* edit = Make();
  edit->SetText(L"abcdef");
  RECT text;
  edit->GetTextRect(text);
  auto xOf = [&](int index) {
    for (int x = 0; x < 200; ++x)
      if (edit->CharIndexAt(x) == index) return int(text.left) + x;
    return -1;
  };
  other->SetFocus();
  instrument_test::ClickAt(edit->Handle(), xOf(2), 5, xOf(2), 5);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(0, edit->SelStart());
  EXPECT_EQ(6, edit->SelLength());

  other->SetFocus();
  SendMessageW(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, instrument_test::At(xOf(2), 5));
  SendMessageW(edit->Handle(), WM_MOUSEMOVE, MK_LBUTTON, instrument_test::At(xOf(4), 5));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, instrument_test::At(xOf(4), 5));
  EXPECT_EQ(2, edit->SelStart());
  EXPECT_EQ(2, edit->SelLength());
  EXPECT_EQ(4, edit->CaretPos());

  // Left of the text a move scrolls back by one character at most.
  EXPECT_EQ(0, edit->CharIndexAt(-50));
}

TEST_F(EditInput, DoubleClickSelectsTheWordOnlySpacesSeparate) {
  struct {
    const wchar_t* Text;
    int Pos, Start, End;
  } cases[] = {
      {L"one two", 1, 0, 3},   {L"one two", 3, 0, 3},  // on the space: the word to the left
      {L"one two", 7, 4, 7},   {L"  one", 0, 2, 5},    // leading spaces: the first word, to the end
      {L"a,b c", 1, 0, 3},     {L"", 0, 0, 0},        {L"   ", 1, 0, 0},
  };
  auto* edit = Make();
  for (const auto& c : cases) {
    edit->SetText(c.Text);
    edit->SetSelStart(0);
    edit->SelectWordAt(c.Pos);
    EXPECT_EQ(c.Start, edit->SelStart()) << UTF8Encode(c.Text) << " at " << c.Pos;
    EXPECT_EQ(c.End - c.Start, edit->SelLength()) << UTF8Encode(c.Text) << " at " << c.Pos;
  }
  int dblClicks = 0;
  edit->OnDblClick = [&](TObject*) { ++dblClicks; };
  edit->SetText(L"one two");
  POINT p = edit->ClientToScreen(POINT{4, 5});
  SetCursorPos(p.x, p.y);
  SendMessageW(edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, instrument_test::At(4, 5));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, instrument_test::At(4, 5));
  EXPECT_EQ(1, dblClicks);  // OnDblClick fires after the word is selected
}

// A component with the edit commands that counts them, failing on request.
class TFakeCommands : public TComponent, public IXPEditCommands {
public:
  using TComponent::TComponent;
  HRESULT STDMETHODCALLTYPE QueryInterface(const GUID&, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  bool GetInterface(const GUID& iid, void** obj) override {
    if (!IsEqualGUID(iid, IXPEditCommands::Iid)) return TComponent::GetInterface(iid, obj);
    *obj = static_cast<IXPEditCommands*>(this);
    return true;
  }
  HRESULT STDMETHODCALLTYPE Undo() override { return Count(0); }
  HRESULT STDMETHODCALLTYPE CutToClipboard() override { return Count(1); }
  HRESULT STDMETHODCALLTYPE CopyToClipboard() override { return Count(2); }
  HRESULT STDMETHODCALLTYPE PasteFromClipboard() override { return Count(3); }
  HRESULT STDMETHODCALLTYPE DeleteSelection() override { return Count(4); }
  HRESULT STDMETHODCALLTYPE SelectAll() override { return Count(5); }
  int Calls[6] = {};
  bool Fail = false;

private:
  HRESULT Count(int i) {
    ++Calls[i];
    return Fail ? E_FAIL : S_OK;
  }
};

TEST_F(EditInput, SharedMenuIsEnabledForTheEditAndCallsWhateverItIsBoundTo) {
  auto* edit = Make();
  edit->SetText(L"abc");
  EXPECT_FALSE(TXPEditResourceManager::MenuCreated());  // never shown, never made
  Clipboard().Clear();
  TPopupMenu* menu = edit->GetPopupMenu();
  ASSERT_EQ(&TXPEditResourceManager::StandardEditPopupMenu(), menu);
  EXPECT_EQ(8, menu->Items().Count());
  EXPECT_EQ(L"Select &All", menu->Items().Items(7)->Caption());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemUndo().Enabled());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemCut().Enabled());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemPaste().Enabled());
  EXPECT_TRUE(TXPEditResourceManager::MenuItemSelectAll().Enabled());
  TXPEditResourceManager::MenuItemSelectAll().Click();
  EXPECT_EQ(3, edit->SelLength());
  Clipboard().SetAsText(L"x");
  edit->GetPopupMenu();
  EXPECT_TRUE(TXPEditResourceManager::MenuItemCopy().Enabled());
  EXPECT_TRUE(TXPEditResourceManager::MenuItemPaste().Enabled());
  EXPECT_FALSE(TXPEditResourceManager::MenuItemSelectAll().Enabled());

  // Its own menu wins.
  TPopupMenu own(nullptr);
  edit->SetPopupMenu(&own);
  EXPECT_EQ(&own, edit->GetPopupMenu());
  edit->SetPopupMenu(nullptr);

  TFakeCommands fake(nullptr);
  TXPEditResourceManager::BindStandardMenu(&fake);
  TXPEditResourceManager::MenuItemPaste().Click();
  TXPEditResourceManager::MenuItemUndo().Click();
  EXPECT_EQ(1, fake.Calls[3]);
  EXPECT_EQ(1, fake.Calls[0]);
  fake.Fail = true;
  EXPECT_THROW(TXPEditResourceManager::MenuItemDelete().Click(), Exception);
  EXPECT_EQ(1, fake.Calls[4]);
  // A component without the commands: nothing happens.
  TComponent plain(nullptr);
  TXPEditResourceManager::BindStandardMenu(&plain);
  EXPECT_NO_THROW(TXPEditResourceManager::MenuItemCut().Click());
  TXPEditResourceManager::BindStandardMenu(nullptr);
}

// The edit's character handling, reachable for a simulated input-method result.
class TImeEdit : public TXPEdit {
public:
  using TXPEdit::TXPEdit;
  void Result(const WideString& text) {
    FImeStr = text;
    FImeCount = int(text.size() * 2);
  }
};

TEST_F(EditInput, InputMethodResultIsInsertedOnceAndTheNextKeyIsKept) {
  auto* edit = Make<TImeEdit>();
  edit->SetFocus();
  edit->Result(L"\u00E9\u5B57");
  SendMessageW(edit->Handle(), WM_CHAR, 0x00E9, 1);
  EXPECT_EQ(L"", edit->Text());  // swallowed until the result is complete
  SendMessageW(edit->Handle(), WM_CHAR, 0x5B57, 1);
  EXPECT_EQ(L"\u00E9\u5B57", edit->Text());
  Type(edit->Handle(), L"x");
  EXPECT_EQ(L"\u00E9\u5B57x", edit->Text());
}

}  // namespace

}  // namespace xpedit_test
