// The blob pop-up: its panel buttons on the grip's side, saving at most once
// and only on OK (or when hidden otherwise), placement above the cell, the
// picture view's scrolling and the memo's letter case.
#include "PictureEditorsTest.h"

#include "Clipbrd.h"
#include "ExtDlgs.h"
#include "Menus.h"
#include "dxBlobPopup.h"
#include "support/CellHost.h"

#include <filesystem>
#include <memory>

using namespace tvk;
using picture_test::FillBitmap;

namespace {

void BlobWorkArea(POINT, RECT& r) { r = RECT{0, 0, 1000, 600}; }

struct BlobPopupFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  tvk_test::TCellHost* Host = nullptr;
  TdxInplaceTextEdit* Edit = nullptr;
  std::unique_ptr<TCustomdxBlobPopup> Popup = std::make_unique<TCustomdxBlobPopup>(nullptr);
  int Saves = 0;

  void SetUp() override {
    SetMonitorWorkAreaLookup(&BlobWorkArea);
    Form->SetBounds(100, 100, 400, 300);
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 300, 250);
    Edit = new TdxInplaceTextEdit(Host);
    Edit->SetParent(Host);
    Edit->SetBounds(10, 10, 120, 20);
    Form->Show();
    Popup->OwnerControl = Edit;
    Popup->SetPopupBorderStyle(pbFrame3D);
    Popup->OnSaveChanges = [this](TObject*) { ++Saves; };
  }
  void TearDown() override {
    SetPopupMenuShow(nullptr);
    SetFileDialogRunner(nullptr);
    Popup.reset();
    SetMonitorWorkAreaLookup(nullptr);
  }
  // Opens the pop-up under the editor.
  void Open(int width = 200, int height = 140) {
    RECT r;
    GetWindowRect(Edit->Handle(), &r);
    Popup->SetSize(POINT{r.left, r.bottom}, width, height);
    Popup->HandleNeeded();
    Popup->ShowPopup();
  }
  void Type(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) SendMessageW(Popup->Handle(), WM_CHAR, *c, 1);
  }
  static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  // A press and release of the left button on a panel button.
  void ClickButton(TdxBlobEditButton button) {
    const POINT p = Centre(Popup->ButtonRect(button));
    SendMessageW(Popup->Handle(), WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(p.x, p.y));
    POINT client = p;
    ScreenToClient(Popup->Handle(), &client);
    SendMessageW(Popup->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  }
  bool Showing() { return Popup->HandleAllocated() && IsWindowVisible(Popup->Handle()); }
};

TEST_F(BlobPopupFixture, OkSavesTheTypedTextOnceAndCancelSavesNothing) {
  Open();
  Type(L"note");
  EXPECT_TRUE(Popup->ButtonEnabled());
  ClickButton(bebOK);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(1, Saves);
  EXPECT_EQ(L"note", Popup->BlobText());

  Open();
  Type(L"x");
  ClickButton(bebCancel);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(1, Saves) << "Cancel saves nothing, even with AlwaysSaveText";
}

TEST_F(BlobPopupFixture, ADisabledOkIgnoresAPressAndEscapeDropsTypedText) {
  Open();
  ASSERT_FALSE(Popup->ButtonEnabled());
  ClickButton(bebOK);
  EXPECT_TRUE(Showing());
  Type(L"typed");
  SendMessageW(Popup->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(0, Saves);
}

TEST_F(BlobPopupFixture, EnterStaysInTheMemoAndCtrlEnterClosesWithoutSavingAnUnchangedText) {
  Popup->SetText(L"kept");
  Open();
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(Popup->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(0, Saves);

  Open();
  SendMessageW(Popup->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_TRUE(Showing()) << "a plain Enter is a line break";
}

TEST_F(BlobPopupFixture, HidingOtherwiseSavesOnceWithAlwaysSaveText) {
  Open();
  Type(L"abc");
  Popup->HidePopup(false);
  Popup->HidePopup(false);
  EXPECT_EQ(1, Saves);
  Popup->SetAlwaysSaveText(false);
  Open();
  Type(L"d");
  Popup->HidePopup(false);
  EXPECT_EQ(1, Saves);
}

TEST_F(BlobPopupFixture, AReadOnlyPopupShowsOnlyClose) {
  Popup->SetReadOnly(true);
  Open();
  EXPECT_EQ(BlobButtonBit(bebClose), Popup->Buttons());
  RECT ok = Popup->ButtonRect(bebOK);
  EXPECT_TRUE(IsRectEmpty(&ok));
  ClickButton(bebClose);
  EXPECT_FALSE(Showing());
}

TEST_F(BlobPopupFixture, NoRoomBelowOpensAboveWithThePanelAndItsButtonsAtTheTop) {
  Form->SetTop(480);
  Open(200, 140);
  RECT editor, window, client;
  GetWindowRect(Edit->Handle(), &editor);
  GetWindowRect(Popup->Handle(), &window);
  GetClientRect(Popup->Handle(), &client);
  MapWindowPoints(Popup->Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(coTopRight, Popup->SizingCorner());
  EXPECT_EQ(editor.top, window.bottom);
  EXPECT_EQ(200, window.right - window.left);
  EXPECT_EQ(140, window.bottom - window.top);
  for (TdxBlobEditButton b : {bebOK, bebCancel}) {
    const RECT r = Popup->ButtonRect(b);
    EXPECT_GE(r.top, window.top);
    EXPECT_LE(r.bottom, client.top) << "the buttons lie in the top panel";
    EXPECT_EQ(int(b), Popup->ButtonAtPoint(Centre(r))) << "hit testing finds the button where it is painted";
  }
  EXPECT_LT(Popup->ButtonRect(bebOK).right, Popup->ButtonRect(bebCancel).left);
  Type(L"t");
  ClickButton(bebOK);
  EXPECT_EQ(1, Saves);
  Open();
  ClickButton(bebCancel);
  EXPECT_FALSE(Showing());
}

TEST_F(BlobPopupFixture, TheGripCornerSizesAndAMinimumSizeHolds) {
  Open(20, 20);
  RECT window;
  GetWindowRect(Popup->Handle(), &window);
  EXPECT_EQ(Popup->MinWidth(), window.right - window.left);
  EXPECT_EQ(Popup->MinHeight(), window.bottom - window.top);
  EXPECT_EQ(HTBOTTOMRIGHT, SendMessageW(Popup->Handle(), WM_NCHITTEST, 0, MAKELPARAM(window.right - 2, window.bottom - 2)));
}

TEST_F(BlobPopupFixture, ThePictureThumbMovesInStepsOfFourExceptAtTheEnd) {
  Popup->SetBlobEditKind(bekPict);
  Popup->SetAutoSize(false);
  FillBitmap(Popup->Picture().Bitmap(), 400, 300, clRed);
  Open(200, 140);
  RECT client;
  GetClientRect(Popup->Handle(), &client);
  const int last = 400 - client.right;
  ASSERT_GT(last, 20);
  const struct {
    int Track, Expected;
  } rows[] = {{10, 8}, {5, 4}, {0, 0}, {-3, 0}, {last - 1, last}, {last - 2, last - 1 >= 0 ? (last - 1) / 4 * 4 : 0},
              {1000, last}};
  for (const auto& row : rows) {
    SendMessageW(Popup->Handle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, WORD(short(row.Track))), 0);
    EXPECT_EQ(row.Expected, Popup->LeftCoord()) << "track " << row.Track;
  }
  SendMessageW(Popup->Handle(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
  EXPECT_EQ(300 - client.bottom, Popup->TopCoord());
  SendMessageW(Popup->Handle(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  EXPECT_EQ(0, Popup->TopCoord());
}

// Text that arrives other than by typing (pasted, dropped) is converted too.
TEST_F(BlobPopupFixture, PastedLowerCaseTextBecomesUpperCaseAndTheCaretStays) {
  Popup->SetCharCase(TEditCharCase::ecUpperCase);
  Popup->SetText(L"XY");
  Open();
  Popup->SetSelection(2, 2, false);
  SendMessageW(Popup->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"abc def"));
  EXPECT_EQ(L"XYABC DEF", Popup->Text());
  int start = 0, end = 0;
  Popup->GetSelection(start, end);
  EXPECT_EQ(9, start);
  EXPECT_EQ(9, end);
}

// What the context menu shows (caption and whether enabled), and the item it then clicks (-1: none).
struct MenuSeen {
  std::vector<std::pair<WideString, bool>> Items;
  POINT At{};
  int Click = -1;
};

void ShowMenusInto(MenuSeen& seen) {
  SetPopupMenuShow([&seen](TPopupMenu& menu, int x, int y) {
    seen.Items.clear();
    seen.At = POINT{x, y};
    for (int i = 0; i < menu.Items().Count(); ++i)
      seen.Items.emplace_back(menu.Items().Items(i)->Caption(), menu.Items().Items(i)->Enabled());
    if (seen.Click >= 0) menu.Items().Items(seen.Click)->Click();
  });
}

TEST_F(BlobPopupFixture, ThePictureMenuSavesAndLoadsThroughTheFileDialogs) {
  Popup->SetBlobEditKind(bekPict);
  FillBitmap(Popup->Picture().Bitmap(), 12, 8, clRed);
  Open();
  MenuSeen seen;
  ShowMenusInto(seen);
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  EXPECT_EQ(150, seen.At.x);
  EXPECT_EQ(160, seen.At.y);
  const std::vector<std::pair<WideString, bool>> withPicture = {
      {L"Cu&t", true}, {L"&Copy", true}, {L"&Paste", false}, {L"&Delete", true},
      {L"-", true},    {L"&Load...", true}, {L"&Save To...", true}};
  Clipboard().Clear();
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  EXPECT_EQ(withPicture, seen.Items);

  const std::filesystem::path file = std::filesystem::temp_directory_path() / L"blob_popup_test.bmp";
  std::vector<TFileDialogRequest> requests;
  SetFileDialogRunner([&](TFileDialogRequest& request) {
    requests.push_back(request);
    request.FileName = file.wstring();
    return true;
  });
  seen.Click = 6;  // Save To...
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  ASSERT_TRUE(std::filesystem::exists(file));
  Popup->ClearPicture();
  seen.Click = -1;
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  EXPECT_FALSE(seen.Items[6].second) << "nothing to save without a picture";
  EXPECT_FALSE(seen.Items[0].second);
  seen.Click = 5;  // Load...
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  ASSERT_EQ(2u, requests.size());
  EXPECT_TRUE(requests[0].Save);
  EXPECT_EQ(L"bmp", requests[0].DefaultExt);
  EXPECT_FALSE(requests[1].Save);
  EXPECT_EQ(12, Popup->Picture().Width()) << "the saved picture came back";
  EXPECT_TRUE(Showing()) << "the pop-up stays open after the dialog";
  std::filesystem::remove(file);

  // A dialog the user cancels changes nothing.
  SetFileDialogRunner([](TFileDialogRequest&) { return false; });
  Popup->ClearPicture();
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  EXPECT_TRUE(Popup->Picture().Graphic() == nullptr);
}

TEST_F(BlobPopupFixture, TheMemoMenuFollowsTheSelectionAndRunsTheEditCommands) {
  Popup->SetText(L"abc");
  Open();
  MenuSeen seen;
  ShowMenusInto(seen);
  Popup->SetSelection(1, 2, false);
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  ASSERT_EQ(9u, seen.Items.size());
  EXPECT_TRUE(seen.Items[3].second) << "cut with a selection";
  EXPECT_TRUE(seen.Items[6].second) << "delete with a selection";
  EXPECT_TRUE(seen.Items[8].second) << "select all while not all is selected";
  seen.Click = 3;  // Cut
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  EXPECT_EQ(L"ac", Popup->Text());
  seen.Click = 8;  // Select all
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  seen.Click = -1;
  SendMessageW(Popup->Handle(), WM_CONTEXTMENU, WPARAM(Popup->Handle()), MAKELPARAM(150, 160));
  EXPECT_FALSE(seen.Items[8].second) << "everything is selected";
  EXPECT_TRUE(seen.Items[3].second);
  Clipboard().Clear();
}

}  // namespace
