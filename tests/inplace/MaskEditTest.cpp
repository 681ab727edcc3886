// The masked editor over the stand-in host: keys on a real window against
// (edit text, text, caret), paste through the clipboard, and validation.
#include "Application.h"
#include "InplaceTest.h"

using namespace tvk;
namespace inplace_test {

namespace {

// A masked editor whose closing flag a test can raise, as a closing drop-down does.
class ClosingMaskEdit : public TdxInplaceMaskEdit {
public:
  explicit ClosingMaskEdit(TComponent* owner) : TdxInplaceMaskEdit(owner) {}
  void SetClosing(bool value) { FCloseFlag = value; }
  void SetCloseDisabled(bool value) { FDisableCloseEditor = value; }
};

// A plain text editor with the same close lock, for contrast.
class LockedTextEdit : public TdxInplaceTextEdit {
public:
  explicit LockedTextEdit(TComponent* owner) : TdxInplaceTextEdit(owner) { FDisableCloseEditor = true; }
};

struct MaskEdit : HostFixture {
  ClosingMaskEdit* Edit = nullptr;
  std::vector<std::exception_ptr> Errors;
  void SetUp() override {
    HostFixture::SetUp();
    Edit = new ClosingMaskEdit(Host);
    Edit->SetParent(Host);
    Host->Editor = Edit;
    Form->Show();
    Application().OnException = [this](TObject*, const std::exception_ptr& e) { Errors.push_back(e); };
  }
  void TearDown() override { Application().OnException = nullptr; }
  void Open(const wchar_t* mask, const wchar_t* value) {
    Edit->SetEditMask(mask);
    Host->Cells[0] = value;
    Host->EditCell(0);
    Edit->PlaceCaret(NextEditPos(mask, 0));
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) SendMessageW(Edit->Handle(), WM_CHAR, *p, 1);
  }
  void Key(WORD key) { SendMessageW(Edit->Handle(), WM_KEYDOWN, key, 1); }
  int Caret() { return Edit->SelStart(); }
};

}  // namespace

TEST_F(MaskEdit, TypingOverwritesPositionsAndSkipsLiterals) {
  Open(L"00-00;1;_", L"");
  EXPECT_EQ(L"__-__", Edit->EditText());
  EXPECT_EQ(1, Edit->SelLength());  // the character at the caret is selected
  struct Step {
    const wchar_t* Typed;
    const wchar_t* EditText;
    const wchar_t* Text;
    int Caret;
  };
  const Step steps[] = {
      {L"1", L"1_-__", L"1 -  ", 1},
      {L"x", L"1_-__", L"1 -  ", 1},  // refused: a letter in a digit position
      {L"2", L"12-__", L"12-  ", 3},  // the caret jumps the literal
      {L"34", L"12-34", L"12-34", 5},
  };
  for (const Step& step : steps) {
    Type(step.Typed);
    EXPECT_EQ(step.EditText, Edit->EditText()) << step.Typed;
    EXPECT_EQ(step.Text, Edit->GetText()) << step.Typed;
    EXPECT_EQ(step.Caret, Caret()) << step.Typed;
  }
  EXPECT_TRUE(Edit->GetEditModified());
}

TEST_F(MaskEdit, BackspaceAndDeleteBlankPositionsAndLeaveLiterals) {
  Open(L"00-00;1;_", L"12-34");
  Key(VK_BACK);  // at the first editable position: nothing
  EXPECT_EQ(L"12-34", Edit->EditText());
  Edit->PlaceCaret(2);
  Key(VK_DELETE);  // on the literal: it stays
  EXPECT_EQ(L"12-34", Edit->EditText());
  Edit->PlaceCaret(4);
  Key(VK_BACK);
  EXPECT_EQ(L"12-_4", Edit->EditText());
  EXPECT_EQ(3, Caret());
  Key(VK_HOME);
  EXPECT_EQ(0, Caret());
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(3, Caret());  // over the literal
  Key(VK_END);
  EXPECT_EQ(5, Caret());
}

TEST_F(MaskEdit, CaseDirectivesAndLiteralJumps) {
  Open(L">LL<ll;1;_", L"");
  Type(L"abCD");
  EXPECT_EQ(L"ABcd", Edit->EditText());
  Open(L"(999)000;0;_", L"");
  EXPECT_EQ(1, Caret());
  Type(L")");  // the closing bracket typed at the first area-code position jumps behind it
  EXPECT_EQ(5, Caret());
  EXPECT_EQ(L"(___)___", Edit->EditText());
  Type(L"123");
  EXPECT_EQ(L"(___)123", Edit->EditText());
  EXPECT_EQ(L"   123", Edit->GetText());  // literals are not saved
}

TEST_F(MaskEdit, PastedDigitsFillTheFieldsAndTheRestIsDropped) {
  Open(L"00-00;1;_", L"");
  ASSERT_TRUE(OpenClipboard(Edit->Handle()));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 6 * sizeof(wchar_t));
  std::copy_n(L"12345", 6, static_cast<wchar_t*>(GlobalLock(block)));
  GlobalUnlock(block);
  SetClipboardData(CF_UNICODETEXT, block);
  CloseClipboard();
  SendMessageW(Edit->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(L"12-34", Edit->EditText());
  EXPECT_EQ(5, Caret());
  EXPECT_TRUE(Edit->GetEditModified());
  EXPECT_TRUE(Errors.empty());
}

TEST_F(MaskEdit, LeavingWithBlanksKeepsTheFocusAndEscapeRestores) {
  auto* other = new TWinControl(Form.get());
  other->SetParent(Form.get());
  other->SetBounds(150, 0, 40, 20);
  Open(L"00-00;1;_", L"12-34");
  SetFocus(Edit->Handle());
  Edit->PlaceCaret(3);
  Key(VK_DELETE);
  EXPECT_EQ(L"12-_4", Edit->EditText());
  SetFocus(other->Handle());
  EXPECT_EQ(Edit->Handle(), GetFocus());
  EXPECT_EQ(3, Caret());  // at the offending position
  ASSERT_EQ(1u, Errors.size());
  try {
    std::rethrow_exception(Errors[0]);
  } catch (const EDBEditError& e) {
    EXPECT_EQ(L"Invalid input value.  Use escape key to abandon changes", e.Message());
  } catch (...) {
    ADD_FAILURE() << "another error";
  }
  Key(VK_ESCAPE);
  EXPECT_EQ(L"12-34", Edit->EditText());
  SetFocus(other->Handle());
  EXPECT_EQ(other->Handle(), GetFocus());
  EXPECT_EQ(1u, Errors.size());
}

TEST_F(MaskEdit, AClosingEditorResetsSilentlyInsteadOfRaising) {
  Open(L"00-00;1;_", L"12-34");
  Edit->PlaceCaret(0);
  Key(VK_DELETE);
  ASSERT_EQ(L"_2-34", Edit->EditText());
  Edit->SetClosing(true);
  EXPECT_NO_THROW(Edit->ValidateEdit());
  EXPECT_EQ(L"12-34", Edit->EditText());
  EXPECT_FALSE(Edit->GetEditModified());
}

TEST_F(MaskEdit, CutCopiesTheSelectionAndBlanksOnlyItsPositions) {
  Open(L"00-00;1;_", L"12-34");
  Edit->SetSelection(1, 4);
  SendMessageW(Edit->Handle(), WM_CUT, 0, 0);
  EXPECT_EQ(L"1_-_4", Edit->EditText());
  EXPECT_EQ(1, Caret());
  EXPECT_TRUE(Edit->GetEditModified());
  ASSERT_TRUE(OpenClipboard(Edit->Handle()));
  const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
  EXPECT_STREQ(L"2-3", copied);
  GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
  CloseClipboard();
  Edit->SetSelection(0, 5);
  SendMessageW(Edit->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(L"__-__", Edit->EditText());
  Key(VK_ESCAPE);  // the entry snapshot survives both
  EXPECT_EQ(L"12-34", Edit->EditText());
  Host->EditModify = false;  // a read-only host clears nothing
  Edit->SetSelection(0, 2);
  SendMessageW(Edit->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(L"12-34", Edit->EditText());
}

TEST_F(MaskEdit, TextThatLostItsShapeIsPutBackUnderTheMask) {
  Open(L"00-00;1;_", L"12-34");
  Edit->SetSelection(0, 3);
  // The rich edit's own deletion (Ctrl+Delete passes the mask's key handling).
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Key(VK_DELETE);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(5u, Edit->EditText().size());
  EXPECT_EQ(L'-', Edit->EditText()[2]);
  EXPECT_TRUE(Edit->GetEditModified());
}

TEST_F(MaskEdit, EscapeIsClaimedOnlyByAModifiedMaskedEditor) {
  Open(L"00-00;1;_", L"12-34");
  EXPECT_EQ(0, Edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE));
  Type(L"9");
  EXPECT_EQ(1, Edit->Perform(CM_WANTSPECIALKEY, VK_ESCAPE));
  EXPECT_EQ(0, Edit->Perform(CM_WANTSPECIALKEY, VK_RETURN));
}

TEST_F(MaskEdit, SurrogatePairsAreOneCharacterForTheCaretAndAreNotTypedIntoPositions) {
  Open(L"CCCC;1;_", L"");
  Edit->SetEditText(L"a\xD83D\xDE00" L"b");
  Edit->PlaceCaret(2);  // the second half of the pair
  CHARRANGE r{};
  Edit->GetSelection(r);
  EXPECT_EQ(1, r.cpMin);
  EXPECT_EQ(3, r.cpMax);
  Key(VK_RIGHT);
  EXPECT_EQ(3, Caret());
  Key(VK_LEFT);
  EXPECT_EQ(1, Caret());
  // A typed pair comes as two posted characters: both go, nothing is typed.
  Edit->PlaceCaret(0);
  PostMessageW(Edit->Handle(), WM_CHAR, 0xD83D, 1);
  PostMessageW(Edit->Handle(), WM_CHAR, 0xDE01, 1);
  MSG m{};
  while (PeekMessageW(&m, Edit->Handle(), 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  EXPECT_EQ(L"a\xD83D\xDE00" L"b", Edit->EditText());
  EXPECT_EQ(0, Caret());
}

TEST_F(MaskEdit, TheCloseLockHoldsAMaskedEditorOnlyWhileItsTextIsModified) {
  Open(L"00-00;1;_", L"12-34");
  struct Case {
    bool Locked;
    const wchar_t* Typed;
    bool Disabled;
  };
  const Case cases[] = {
      {false, L"", false},
      {true, L"", false},  // locked, but nothing changed yet
      {true, L"5", true},
      {false, L"6", false},
  };
  for (const Case& c : cases) {
    Edit->SetCloseDisabled(c.Locked);
    Type(c.Typed);
    EXPECT_EQ(c.Disabled, Edit->IsCloseEditorDisabled()) << c.Locked << ' ' << c.Typed;
  }
  Key(VK_ESCAPE);  // back to the entry text: no longer modified
  Edit->SetCloseDisabled(true);
  ASSERT_FALSE(Edit->GetEditModified());
  EXPECT_FALSE(Edit->IsCloseEditorDisabled());

  auto* plain = new LockedTextEdit(Host);
  ASSERT_FALSE(plain->GetEditModified());
  EXPECT_TRUE(plain->IsCloseEditorDisabled());
}

TEST_F(MaskEdit, AClickTheFocusAndAWordJumpLeaveAnOverwriteSelection) {
  Open(L"00-00;1;_", L"12-34");
  const auto pointOf = [&](int offset) {
    POINTL p{};
    SendMessageW(Edit->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), offset);
    return MAKELPARAM(p.x + 1, p.y + 2);
  };
  const auto click = [&](int offset) {
    SendMessageW(Edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, pointOf(offset));
    SendMessageW(Edit->Handle(), WM_LBUTTONUP, 0, pointOf(offset));
  };
  struct Case {
    int Clicked, Start;
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{4, 4}}) {  // a literal too is overwritten with itself
    click(c.Clicked);
    CHARRANGE r{};
    Edit->GetSelection(r);
    EXPECT_EQ(c.Start, r.cpMin) << c.Clicked;
    EXPECT_EQ(c.Start + 1, r.cpMax) << c.Clicked;
    EXPECT_EQ(c.Start, Edit->CaretPos()) << c.Clicked;
  }
  // The focus coming back to a collapsed caret.
  Edit->SetAutoSelect(false);
  Edit->SetSelection(0, 0);
  SetFocus(Host->Handle());
  SetFocus(Edit->Handle());
  EXPECT_EQ(1, Edit->SelLength());
  // Ctrl+Right is the rich edit's own word jump; its key-up puts the selection back.
  Edit->SetEditMask(L"00 00 00;1;_");
  Edit->SetEditValue(L"12 34 56");
  Edit->SetSelection(0, 0);
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  Key(VK_RIGHT);
  SendMessageW(Edit->Handle(), WM_KEYUP, VK_RIGHT, 0xC0000001);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(3, Edit->SelStart());
  EXPECT_EQ(1, Edit->SelLength());
}

TEST_F(MaskEdit, ANewTextMovesTheCaretOffALeadingLiteral) {
  Open(L"(00);1;_", L"(12)");
  Edit->SetEditValue(L"(34)");
  EXPECT_EQ(1, Edit->SelStart());
  EXPECT_EQ(1, Edit->SelLength());
}

}  // namespace inplace_test
