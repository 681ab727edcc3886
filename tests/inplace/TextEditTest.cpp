// The rich-edit text editor over the stand-in host, typed at through real messages.
#include "support/VariantValues.h"
#include "InplaceTest.h"

using namespace tvk;
namespace inplace_test {

namespace {

struct TextEdit : HostFixture {
  TdxInplaceTextEdit* Edit = nullptr;
  int Changes = 0;
  void SetUp() override {
    HostFixture::SetUp();
    Edit = new TdxInplaceTextEdit(Host);
    Edit->SetParent(Host);
    Edit->OnChange = [this](TObject*) { ++Changes; };
    Host->Editor = Edit;
    Form->HandleNeeded();
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* p = text; *p; ++p) SendMessageW(Edit->Handle(), WM_CHAR, *p, 1);
  }
};

}  // namespace

TEST_F(TextEdit, LoadsTheCellAndTypingReplacesTheSelectionAndMarksItModified) {
  Host->EditCell(2);
  EXPECT_EQ(L"gamma", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
  EXPECT_EQ(0, Changes);  // loading the value is no change
  EXPECT_FALSE(Edit->UndoAvailable());
  Edit->SelectAll();
  Type(L"xy");
  EXPECT_EQ(L"xy", Edit->GetEditValue());
  EXPECT_TRUE(Edit->GetEditModified());
  EXPECT_EQ(2, Changes);
  Host->CloseEditor();
  EXPECT_EQ(L"xy", tvk::VarToStr(Host->Cells[2]));
}

TEST_F(TextEdit, EscapeRestoresTheTextTheCellWasEnteredWith) {
  Host->EditCell(1);
  Edit->SelectAll();
  Type(L"zz");
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(L"beta", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
  EXPECT_EQ((std::vector<WORD>{VK_ESCAPE}), Host->KeysDown);
}

TEST_F(TextEdit, AReadOnlyHostKeepsTheTextAsItWas) {
  Host->EditCell(0);
  Host->AcceptKey = false;
  Host->EditModify = false;
  Edit->Deselect();
  Type(L"q\x0436\x4E2D");
  EXPECT_EQ(L"alpha", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());
}

TEST_F(TextEdit, UpperCaseEditorTypesCapitalsAndRecasesExistingText) {
  Host->EditCell(0);
  Edit->Deselect();
  Edit->SetCharCase(TEditCharCase::ecUpperCase);
  EXPECT_EQ(L"ALPHA", Edit->GetEditValue());
  EXPECT_FALSE(Edit->GetEditModified());  // re-casing is no edit
  Type(L"b\x0436");
  EXPECT_EQ(L"ALPHAB\x0416", Edit->GetEditValue());
}

TEST_F(TextEdit, MaxLengthLimitsTypingAlsoAfterTheTextWasSet) {
  Edit->SetMaxLength(-5);
  EXPECT_EQ(0, Edit->MaxLength());
  Edit->SetMaxLength(3);
  EXPECT_TRUE(Edit->StoredValues() & Bit(svEditLimit));
  Host->Cells[0] = L"";
  Host->EditCell(0);
  Type(L"abcd");
  EXPECT_EQ(L"abc", Edit->GetEditValue());
  Edit->SetEditValue(L"x");
  Edit->Deselect();
  Type(L"yzw");
  EXPECT_EQ(L"xyz", Edit->GetEditValue());
}

TEST_F(TextEdit, RecreatingTheWindowKeepsTextAndModifiedFlag) {
  Host->EditCell(3);
  Edit->Deselect();
  Type(L"!");
  ASSERT_TRUE(Edit->GetEditModified());
  HWND before = Edit->Handle();
  Edit->SetOEMConvert(true);
  EXPECT_NE(before, Edit->Handle());
  EXPECT_EQ(L"delta!", Edit->GetEditValue());
  EXPECT_TRUE(Edit->GetEditModified());
  wchar_t className[128]{};
  GetClassNameW(Edit->Handle(), className, 128);
  EXPECT_STREQ(L"TdxInplaceTextEdit", className);
}

TEST_F(TextEdit, SelectedTextIsCopiedOutWithinTheBuffer) {
  Host->EditCell(4);
  Edit->SetSelection(1, 5);
  EXPECT_EQ(L"psil", Edit->SelText());
  EXPECT_EQ(1, Edit->SelStart());
  EXPECT_EQ(4, Edit->SelLength());
  wchar_t buffer[4] = {L'#', L'#', L'#', L'#'};
  EXPECT_EQ(2, Edit->GetSelTextBuf(buffer, 3));
  EXPECT_STREQ(L"ps", buffer);  // BufSize - 1 characters and the null
  EXPECT_EQ(L'#', buffer[3]);
  Edit->SetSelText(L"-");
  EXPECT_EQ(L"e-on", Edit->GetEditValue());
}

TEST_F(TextEdit, PasswordEditorHidesItsCharacters) {
  Edit->SetPasswordChar(L'*');
  Host->EditCell(0);
  EXPECT_EQ(L'*', static_cast<wchar_t>(SendMessageW(Edit->Handle(), EM_GETPASSWORDCHAR, 0, 0)));
  auto vd = Edit->CreateViewData(false);
  auto* text = dynamic_cast<TdxTextEditViewData*>(vd.get());
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(L'*', text->PasswordChar);
  EXPECT_EQ(L"alpha", text->Data);
}

namespace {

// Records the menus shown instead of running the system's menu loop.
struct ShownMenus {
  struct Showing {
    TPopupMenu* Menu;
    POINT At;
    std::vector<bool> Enabled;  // by item
  };
  std::vector<Showing> Shown;
  ShownMenus() {
    SetPopupMenuShow([this](TPopupMenu& menu, int x, int y) {
      Showing showing{&menu, POINT{x, y}, {}};
      for (int i = 0; i < menu.Items().Count(); ++i) showing.Enabled.push_back(menu.Items().Items(i)->Enabled());
      Shown.push_back(showing);
    });
  }
  ~ShownMenus() { SetPopupMenuShow(nullptr); }
};

enum EditMenuItem { miUndo, miRedo, miSeparator1, miCut, miCopy, miPaste, miDelete, miSeparator2, miSelectAll };

void PumpPosted() {
  MSG m{};
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

}  // namespace

TEST_F(TextEdit, TheMenuKeyOpensTheBuiltInMenuAtTheCaretWithItemsForTheState) {
  ShownMenus menus;
  Form->Show();
  Host->EditCell(0);
  SetFocus(Edit->Handle());
  Edit->SetSelection(1, 3);
  SendMessageW(Edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Edit->Handle()), MAKELPARAM(-1, -1));
  ASSERT_EQ(1u, menus.Shown.size());
  POINT caret{};
  GetCaretPos(&caret);
  ClientToScreen(Edit->Handle(), &caret);
  EXPECT_EQ(caret.x, menus.Shown[0].At.x);
  EXPECT_EQ(caret.y, menus.Shown[0].At.y);
  TPopupMenu* menu = menus.Shown[0].Menu;
  ASSERT_EQ(Edit->EditPopupMenu(), menu);
  const wchar_t* captions[] = {L"&Undo", L"&Redo", L"-", L"Cu&t", L"&Copy", L"&Paste", L"&Delete", L"-", L"Select &All"};
  ASSERT_EQ(9, menu->Items().Count());
  for (int i = 0; i < 9; ++i) EXPECT_EQ(captions[i], menu->Items().Items(i)->Caption());
  const auto& enabled = menus.Shown[0].Enabled;
  EXPECT_FALSE(enabled[miUndo]);
  EXPECT_FALSE(enabled[miRedo]);
  EXPECT_TRUE(enabled[miCut]);
  EXPECT_TRUE(enabled[miCopy]);
  EXPECT_TRUE(enabled[miDelete]);
  EXPECT_TRUE(enabled[miSelectAll]);
  // A password editor gives nothing away; everything selected leaves nothing to select.
  Edit->SetPasswordChar(L'*');
  Edit->SelectAll();
  SendMessageW(Edit->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Edit->Handle()), MAKELPARAM(-1, -1));
  ASSERT_EQ(2u, menus.Shown.size());
  EXPECT_FALSE(menus.Shown[1].Enabled[miCut]);
  EXPECT_FALSE(menus.Shown[1].Enabled[miCopy]);
  EXPECT_TRUE(menus.Shown[1].Enabled[miDelete]);
  EXPECT_FALSE(menus.Shown[1].Enabled[miSelectAll]);
  // The items act on the editor.
  Edit->SetSelection(1, 3);
  menu->Items().Items(miDelete)->Click();
  EXPECT_EQ(L"aha", Edit->GetEditValue());
  menu->Items().Items(miUndo)->Click();
  EXPECT_EQ(L"alpha", Edit->GetEditValue());
}

TEST_F(TextEdit, ARightClickOpensTheMenuOnlyOverAMaskedEditorsClientAndNeverOverAParentsMenu) {
  ShownMenus menus;
  Form->Show();
  Host->EditCell(0);
  const auto rightClick = [](TWinControl& edit, int x, int y) {
    SendMessageW(edit.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    SendMessageW(edit.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    PumpPosted();
  };
  rightClick(*Edit, 5, 5);
  EXPECT_TRUE(menus.Shown.empty());  // unmasked: the release is swallowed
  auto* masked = new TdxInplaceMaskEdit(Host);
  masked->SetParent(Host);
  masked->SetEditMask(L"00-00;1;_");
  masked->SetBounds(0, 60, 80, 24);
  rightClick(*masked, 5, 5);
  ASSERT_EQ(1u, menus.Shown.size());
  POINT at{5, 5};
  ClientToScreen(masked->Handle(), &at);
  EXPECT_EQ(at.x, menus.Shown[0].At.x);
  EXPECT_EQ(at.y, menus.Shown[0].At.y);
  EXPECT_EQ(masked->EditPopupMenu(), menus.Shown[0].Menu);
  // A point outside the client area shows nothing.
  POINT outside{-30, -30};
  ClientToScreen(masked->Handle(), &outside);
  SendMessageW(masked->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(masked->Handle()),
               MAKELPARAM(outside.x, outside.y));
  EXPECT_EQ(1u, menus.Shown.size());
  // The host's own menu wins over the built-in one.
  TPopupMenu hostMenu(nullptr);
  Host->SetPopupMenu(&hostMenu);
  rightClick(*masked, 5, 5);
  ASSERT_EQ(2u, menus.Shown.size());
  EXPECT_EQ(&hostMenu, menus.Shown[1].Menu);
  Host->SetPopupMenu(nullptr);
}

TEST_F(TextEdit, OnlyAMaskedEditorHandsTheRichEditItsCallbackWhichRefusesDragging) {
  auto* masked = new TdxInplaceMaskEdit(Host);
  masked->SetParent(Host);
  masked->SetEditMask(L"LLL;1;_");
  masked->HandleNeeded();
  Host->EditCell(0);
  // The rich edit holds a reference to the masked editor's callback only.
  EXPECT_EQ(1u, Edit->OleCallback()->AddRef());
  Edit->OleCallback()->Release();
  EXPECT_EQ(2u, masked->OleCallback()->AddRef());
  masked->OleCallback()->Release();
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(S_OK, masked->OleCallback()->GetDragDropEffect(TRUE, 0, &effect));
  EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
  HMENU menu = nullptr;
  EXPECT_EQ(E_NOTIMPL, masked->OleCallback()->GetContextMenu(0, nullptr, nullptr, &menu));
  void* unknown = nullptr;
  EXPECT_EQ(S_OK, masked->OleCallback()->QueryInterface(IID_IUnknown, &unknown));
  EXPECT_EQ(static_cast<void*>(masked->OleCallback()), unknown);
  masked->OleCallback()->Release();
  void* storage = nullptr;
  EXPECT_EQ(E_NOINTERFACE, masked->OleCallback()->QueryInterface(IID_IStorage, &storage));
  EXPECT_EQ(nullptr, storage);
}

TEST_F(TextEdit, TheLiveWindowPaintsItsOwnText) {
  Form->Show();
  Host->Cells[0] = L"WWWWWWWW";
  Host->EditCell(0);
  Edit->Deselect();
  RedrawWindow(Edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(Edit->Handle());
  const RECT client = Edit->ClientRect();
  int dark = 0;
  for (int y = client.top; y < client.bottom; ++y)
    for (int x = client.left; x < client.right; ++x)
      if (GetRValue(GetPixel(dc, x, y)) < 0x80) ++dark;
  ReleaseDC(Edit->Handle(), dc);
  EXPECT_GT(dark, 100);  // the letters on the window's white, not a border or caret alone
}

TEST_F(TextEdit, TheWindowTakesTheEditorsColoursAndFontColour) {
  Form->Show();
  Host->Cells[0] = L"WWWWWWWW";
  Host->EditCell(0);
  Edit->Deselect();
  Edit->SetColor(clYellow);
  Edit->Font().SetColor(clRed);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(Edit->Handle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_EQ(0u, format.dwEffects & CFE_AUTOCOLOR);
  EXPECT_EQ(RGB(255, 0, 0), format.crTextColor);
  RedrawWindow(Edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(Edit->Handle());
  const RECT client = Edit->ClientRect();
  int red = 0;
  for (int y = client.top; y < client.bottom; ++y)
    for (int x = client.left; x < client.right; ++x)
      if (GetPixel(dc, x, y) == RGB(255, 0, 0)) ++red;
  EXPECT_EQ(RGB(255, 255, 0), GetPixel(dc, client.right - 2, client.bottom - 2));
  ReleaseDC(Edit->Handle(), dc);
  EXPECT_GT(red, 100);
  Edit->Font().SetColor(clWindowText);  // the system's text colour again
  SendMessageW(Edit->Handle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_NE(0u, format.dwEffects & CFE_AUTOCOLOR);
}

TEST_F(TextEdit, MovingTheSelectionIsReported) {
  Host->EditCell(4);
  int changes = 0;
  Edit->OnSelectionChange = [&](TObject*) { ++changes; };
  Edit->SetSelection(1, 3);
  EXPECT_EQ(1, changes);
  Edit->SetSelection(1, 3);  // no move, no report
  EXPECT_EQ(1, changes);
}

}  // namespace inplace_test
