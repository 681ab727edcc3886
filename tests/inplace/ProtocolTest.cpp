// The in-place editor protocol over a stand-in host, driven through real
// window messages.
#include "support/VariantValues.h"
#include "Application.h"
#include "FlatSB.h"
#include "InplaceTest.h"
#include "Streams.h"

using namespace tvk;
namespace inplace_test {

namespace {

// A text-class editor that records what the protocol lets through.
class ProbeEdit : public TdxInplaceEdit {
public:
  explicit ProbeEdit(TComponent* owner) : TdxInplaceEdit(owner) {}
  const TdxInplaceEditClass& EditClass() const override { return TdxInplaceTextEditClass::Instance(); }
  void ActivateEdit() override { ++Activations; }
  bool WantTabs() override { return Tabs; }
  void MarkStored(TdxEditStoredValues values) { FStoredValues |= values; }
  int Activations = 0;
  bool Tabs = false;
  std::vector<wchar_t> Passed;  // characters that reach the editor's own handling
  std::vector<WORD> OwnKeys;    // keys that reach the editor's own handling

protected:
  void KeyPress(wchar_t& key) override {
    TdxInplaceEdit::KeyPress(key);
    if (key) Passed.push_back(key);
  }
};

struct Protocol : HostFixture {
  ProbeEdit* Edit = nullptr;
  std::vector<std::exception_ptr> Errors;

  void SetUp() override {
    HostFixture::SetUp();
    Edit = new ProbeEdit(Host);
    Edit->SetParent(Host);
    Edit->OnKeyDown = [this](TObject*, WORD& key, TShiftState) { Edit->OwnKeys.push_back(key); };
    Host->Editor = Edit;
    Form->HandleNeeded();
    Application().OnException = [this](TObject*, const std::exception_ptr& e) { Errors.push_back(e); };
  }
  void TearDown() override {
    Application().OnException = nullptr;
    BYTE keys[256]{};
    SetKeyboardState(keys);
  }
  void Key(WORD key) { SendMessageW(Edit->Handle(), WM_KEYDOWN, key, 1); }
  void Char(wchar_t c) { SendMessageW(Edit->Handle(), WM_CHAR, c, 1); }
  // Holds Shift (and Ctrl) down for the thread's key-state queries.
  void Hold(bool shift, bool ctrl) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  bool CharPending() {
    MSG m{};
    return PeekMessageW(&m, Edit->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE) != FALSE;
  }
};

RECT WindowRectInParent(TWinControl& c) { return c.BoundsRect(); }

}  // namespace

TEST_F(Protocol, MoveLaysTheWindowOverTheCellWithATwoPixelMargin) {
  Edit->Move(RECT{10, 10, 10, 30});  // empty: nothing
  EXPECT_FALSE(Edit->IsVisible());
  EXPECT_EQ(0, Edit->Activations);
  Edit->Move(RECT{10, 10, 110, 30});
  RECT r = WindowRectInParent(*Edit);
  EXPECT_EQ(8, r.left);
  EXPECT_EQ(8, r.top);
  EXPECT_EQ(112, r.right);
  EXPECT_EQ(32, r.bottom);
  EXPECT_TRUE(Edit->IsVisible());
  EXPECT_TRUE(GetWindowLongW(Edit->Handle(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(1, Edit->Activations);
  Edit->Move(RECT{10, 30, 110, 50});  // already visible: no second activation
  EXPECT_EQ(1, Edit->Activations);

  Edit->Hide();
  EXPECT_FALSE(Edit->IsVisible());
  EXPECT_FALSE(GetWindowLongW(Edit->Handle(), GWL_STYLE) & WS_VISIBLE);
  RECT w{};
  GetWindowRect(Edit->Handle(), &w);
  EXPECT_TRUE(IsRectEmpty(&w));

  Edit->LockActivate();
  Edit->Move(RECT{0, 0, 100, 20});
  Edit->UnLockActivate();
  EXPECT_TRUE(Edit->IsVisible());
  EXPECT_EQ(1, Edit->Activations);
}

TEST_F(Protocol, NavigationKeysGoToTheHostAndNoFurther) {
  Host->EditCell(1);
  for (WORD key : {VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN, VK_INSERT}) Key(key);
  EXPECT_EQ((std::vector<WORD>{VK_TAB, VK_RETURN, VK_ESCAPE, VK_PRIOR, VK_NEXT, VK_UP, VK_DOWN, VK_INSERT}),
            Host->KeysDown);
  EXPECT_TRUE(Edit->OwnKeys.empty());
  Key('A');
  EXPECT_EQ((std::vector<WORD>{'A'}), Edit->OwnKeys);
}

TEST_F(Protocol, ReadOnlyHostDropsDeleteAndShiftInsertButNotCopy) {
  Host->EditCell(0);
  Host->EditModify = false;
  Key(VK_DELETE);
  Hold(true, false);
  Key(VK_INSERT);
  Hold(false, true);
  Key('C');
  EXPECT_EQ((std::vector<WORD>{'C'}), Edit->OwnKeys);
  EXPECT_TRUE(Host->KeysDown.empty());
  Host->EditModify = true;
  Hold(false, false);
  Key(VK_DELETE);
  EXPECT_EQ((std::vector<WORD>{'C', VK_DELETE}), Edit->OwnKeys);
}

TEST_F(Protocol, ARefusingHostRefusesEveryCharacterAlsoAbove255) {
  Host->EditCell(0);
  Host->AcceptKey = false;
  Host->EditModify = false;
  for (wchar_t c : {L'a', L'\x00E9', L'\x0436', L'\x4E2D'}) Char(c);
  EXPECT_TRUE(Edit->Passed.empty());
  EXPECT_EQ(4u, Host->CharsSeen.size());  // the host saw each first
  Host->AcceptKey = true;
  Host->EditModify = true;
  Char(L'\x0436');
  Char(L'\x1B');  // Escape never passes
  EXPECT_EQ((std::vector<wchar_t>{L'\x0436'}), Edit->Passed);
}

TEST_F(Protocol, EnterAndTabTakeTheirPendingCharacterAlong) {
  Host->EditCell(0);
  PostMessageW(Edit->Handle(), WM_CHAR, L'\r', 1);
  Key(VK_RETURN);
  EXPECT_FALSE(CharPending());
  PostMessageW(Edit->Handle(), WM_CHAR, L'\t', 1);
  Key(VK_TAB);
  EXPECT_FALSE(CharPending());
  Edit->Tabs = true;
  PostMessageW(Edit->Handle(), WM_CHAR, L'\t', 1);
  Key(VK_TAB);
  EXPECT_TRUE(CharPending());
  Char(L'\t');
  EXPECT_EQ((std::vector<wchar_t>{L'\t'}), Edit->Passed);
}

TEST_F(Protocol, BlockedKeysAreDroppedBeforeAnyHandling) {
  Host->EditCell(0);
  Host->KeyBlocked = true;
  Key(VK_DOWN);
  Char(L'x');
  EXPECT_TRUE(Host->KeysDown.empty());
  EXPECT_TRUE(Host->CharsSeen.empty());
}

TEST_F(Protocol, DialogCodeAsksTheHostForTabs) {
  Host->EditCell(0);
  LRESULT code = SendMessageW(Edit->Handle(), WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTALLKEYS);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_FALSE(code & DLGC_WANTTAB);
  Host->WantTabsAnswer = true;
  EXPECT_TRUE(SendMessageW(Edit->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
}

TEST_F(Protocol, EscapeRestoresTheEntrySnapshotAndReachesTheHost) {
  Host->EditCell(2);
  Edit->SetTextValue(L"changed");
  Edit->SetEditModified(true);
  Edit->OnValidate = [](TObject*, WideString&, bool& accept) { accept = false; };
  Key(VK_ESCAPE);
  EXPECT_EQ(L"gamma", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
  EXPECT_EQ((std::vector<WORD>{VK_ESCAPE}), Host->KeysDown);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(Protocol, RefusedValidationStopsTheKeyAndReachesTheApplicationsHandler) {
  Host->EditCell(2);
  Edit->SetTextValue(L"bad");
  Edit->SetEditModified(true);
  WideString shown;
  Edit->OnValidate = [&](TObject*, WideString& text, bool& accept) {
    shown = text;
    accept = false;
  };
  Key(VK_DOWN);
  EXPECT_TRUE(Host->KeysDown.empty());
  ASSERT_EQ(1u, Errors.size());
  try {
    std::rethrow_exception(Errors[0]);
  } catch (const EdxEditInvalidInput& e) {
    EXPECT_EQ(L"Invalid input value. Use escape key to abandon changes", e.Message());
  } catch (...) {
    ADD_FAILURE() << "another error";
  }
  EXPECT_EQ(L"Invalid input value. Use escape key to abandon changes", shown);
}

TEST_F(Protocol, LeavingARefusingEditorKeepsTheFocusAndTheErrorGoesToTheHandler) {
  auto* other = new TWinControl(Form.get());
  other->SetParent(Form.get());
  other->SetBounds(150, 0, 40, 20);
  Form->Show();
  Host->EditCell(2);
  SetFocus(Edit->Handle());
  ASSERT_EQ(Edit, Form->FocusedControl());
  Edit->SetTextValue(L"bad");
  Edit->SetEditModified(true);
  Edit->OnValidate = [](TObject*, WideString&, bool& accept) { accept = false; };
  SetFocus(other->Handle());
  EXPECT_EQ(Edit->Handle(), GetFocus());
  EXPECT_EQ(Edit, Form->FocusedControl());
  ASSERT_EQ(1u, Errors.size());
  EXPECT_THROW(std::rethrow_exception(Errors[0]), EdxEditInvalidInput);
  Edit->OnValidate = nullptr;
  SetFocus(other->Handle());
  EXPECT_EQ(other->Handle(), GetFocus());
  EXPECT_EQ(other, Form->FocusedControl());
  EXPECT_EQ(1u, Errors.size());
}

TEST_F(Protocol, TheCursorOverTheClientIsTheEditorClasssOwn) {
  auto* plain = new TdxInplaceEdit(Host);  // not an edit class: an arrow unless it names a cursor
  plain->SetParent(Host);
  plain->SetBounds(0, 100, 60, 20);
  struct Row {
    TCursor Cursor;
    const wchar_t* Expected;
  };
  const Row rows[] = {{crDefault, IDC_ARROW}, {crHandPoint, IDC_HAND}, {crIBeam, IDC_IBEAM}};
  for (const Row& row : rows) {
    plain->SetCursor(row.Cursor);
    SetCursor(nullptr);
    EXPECT_EQ(1, SendMessageW(plain->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(plain->Handle()),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(LoadCursorW(nullptr, row.Expected), GetCursor()) << row.Cursor;
  }
}

TEST_F(Protocol, TheWheelOverTheEditorScrollsTheHostByTheSystemsLines) {
  Mouse().WheelScrollLinesOverride = 2;
  Host->EditCell(1);
  SendMessageW(Edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  SendMessageW(Edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  Mouse().WheelScrollLinesOverride.reset();
  EXPECT_EQ((std::vector<int>{-2, 2}), Host->LineScrolls);
}

TEST_F(Protocol, HostScrollBarsAreSetAndReadThroughTheFlatBinding) {
  Host->SetScrollBarStyle(TScrollBarStyle::ssFlat);
  SCROLLINFO info{sizeof info, SIF_ALL, 0, 100, 10, 30, 0};
  EXPECT_EQ(30, Host->SetFlatScrollInfo(SB_VERT, info, false));
  SCROLLINFO back{sizeof back, SIF_ALL, 0, 0, 0, 0, 0};
  Host->GetFlatScrollInfo(SB_VERT, back);
  EXPECT_EQ(100, back.nMax);
  EXPECT_EQ(10u, back.nPage);
  EXPECT_EQ(30, back.nPos);
  // A library without flat bars: the plain functions stand in.
  const TFlatScrollBarApi plain = BindFlatScrollBars(GetModuleHandleW(L"kernel32.dll"));
  EXPECT_FALSE(plain.Flat);
  EXPECT_TRUE(BindFlatScrollBars(GetModuleHandleW(L"comctl32.dll")).Flat);
  info.nPos = 55;
  EXPECT_EQ(55, plain.FlatSB_SetScrollInfo(Host->Handle(), SB_VERT, &info, FALSE));
  EXPECT_EQ(55, GetScrollPos(Host->Handle(), SB_VERT));
  EXPECT_FALSE(plain.InitializeFlatSB(Host->Handle()));
}

TEST_F(Protocol, StoredValuesAndHeightStreamAndReadBack) {
  Edit->SetAlignment(TAlignment::taRightJustify);
  Edit->MarkStored(Bit(svDisplayFormat));
  Edit->SetHeight(33);
  TMemoryStream stream;
  WriteBinaryProperties(*Edit, stream);
  stream.SetPosition(0);
  auto* copy = new ProbeEdit(Host);
  ReadBinaryProperties(*copy, stream);
  EXPECT_EQ(Bit(svAlignment) | Bit(svDisplayFormat), copy->StoredValues());
  EXPECT_EQ(33, copy->Height());
  // Nothing stored writes no "StoredValues".
  auto* plain = new ProbeEdit(Host);
  TMemoryStream empty;
  WriteBinaryProperties(*plain, empty);
  empty.SetPosition(0);
  auto names = BinaryPropertyNames(empty);
  EXPECT_EQ(std::find(names.begin(), names.end(), L"StoredValues"), names.end());
}

TEST_F(Protocol, ThePendingMessageGoesAndAQuitTakenWithItComesBack) {
  PostQuitMessage(7);
  RemovePendingMessage(nullptr, WM_QUIT);
  MSG m{};
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, m.wParam);
}

TEST_F(Protocol, TheHostPaintsTheOtherCellsWithoutAWindow) {
  Host->EditCell(1);
  TBitmap b;
  MakeBitmap(b, 100, 100, clWhite);
  Host->PaintCells(b.Canvas().Handle());
  EXPECT_TRUE(HasInk(b, RECT{1, 1, 99, 19}, RGB(255, 255, 255)));    // cell 0
  EXPECT_FALSE(HasInk(b, RECT{0, 20, 100, 40}, RGB(255, 255, 255)));  // the edited cell is left alone
  EXPECT_EQ(RGB(0, 0, 0), Pixel(b, 50, 41));                          // cell 2's single border
  Host->CloseEditor();
  EXPECT_FALSE(Edit->IsVisible());
  EXPECT_EQ(L"beta", tvk::VarToStr(Host->Cells[1]));
}

TEST_F(Protocol, RefreshingDefaultsKeepsOnlyWhatWasSetExplicitly) {
  Edit->ApplyReadOnly(true);  // a derived value, not a setting
  Edit->RefreshDefaults();
  EXPECT_FALSE(Edit->ReadOnly());
  Edit->SetReadOnly(true);
  Edit->RefreshDefaults();
  EXPECT_TRUE(Edit->ReadOnly());
}

TEST_F(Protocol, TheQuestionsOfButtonsAndCtrlFollowTheHostAndTheKeyboard) {
  EXPECT_FALSE(Edit->IsQuickButtonClick());
  Host->ShowButtonAlways = true;
  EXPECT_TRUE(Edit->IsQuickButtonClick());
  EXPECT_FALSE(Edit->IsNeededRedraw());
  struct Case {
    bool Ctrl, Alt, CtrlOnly;
  };
  for (const Case c : {Case{false, false, false}, Case{true, false, true}, Case{true, true, false}}) {
    BYTE keys[256]{};
    keys[VK_CONTROL] = c.Ctrl ? 0x80 : 0;
    keys[VK_MENU] = c.Alt ? 0x80 : 0;
    SetKeyboardState(keys);
    EXPECT_EQ(c.CtrlOnly, Edit->IsCtrlOnlyDown()) << c.Ctrl << c.Alt;
  }
}

}  // namespace inplace_test
