// The floating picture toolbar: layouts, placement on the work area, button
// states from the picture, the editor and the clipboard, the clipboard-viewer
// chain and the close flag.
#include "PictureEditorsTest.h"

#include "Application.h"
#include "Clipbrd.h"
#include "Panels.h"
#include "dxPopupToolBar.h"
#include "dxUtils.h"

#include <memory>

using namespace tvk;
using picture_test::FillBitmap;

namespace {

struct ToolBarFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TPanel* Editor = nullptr;
  TdxPopupToolBar* Bar = nullptr;

  void SetUp() override {
    Form->SetBounds(0, 0, 300, 200);
    Editor = new TPanel(Form.get());
    Editor->SetParent(Form.get());
    Editor->SetBounds(10, 10, 100, 20);
    Bar = new TdxPopupToolBar(Editor);
  }
  void TearDown() override { SetMonitorWorkAreaLookup(nullptr); }

  RECT ClientOf() {
    RECT r;
    GetClientRect(Bar->Handle(), &r);
    return r;
  }
};

TEST_F(ToolBarFixture, ARowOfUncaptionedButtonsAtTheTop) {
  Bar->SetToolBarButtons(PopupToolBarButtonBit(ptbCopy) | PopupToolBarButtonBit(ptbSave));
  Bar->SetToolBarAlignment(ptaTop);
  const RECT client = ClientOf();
  EXPECT_EQ(46, client.right);
  EXPECT_EQ(22, client.bottom);
  EXPECT_EQ(0, Bar->Button(ptbCopy).Left());
  EXPECT_EQ(23, Bar->Button(ptbSave).Left());
  EXPECT_EQ(23, Bar->Button(ptbSave).Width());
  EXPECT_TRUE(Bar->Button(ptbCopy).Caption().empty());
  EXPECT_TRUE(Bar->Button(ptbCopy).Visible());
  EXPECT_FALSE(Bar->Button(ptbCut).Visible());
  EXPECT_FALSE(Bar->Button(ptbCustom).Visible());
}

TEST_F(ToolBarFixture, ACaptionedColumnIsAsWideAsTheWidestCaptionPlusAButton) {
  Bar->SetToolBarAlignment(ptaLeft);
  Bar->SetToolBarAlignment(ptaRight);
  const RECT client = ClientOf();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Bar->Font().Handle());
  int widest = 0;
  SIZE wg{};
  GetTextExtentPoint32W(dc, L"Wg", 2, &wg);
  for (int i = ptbCut; i <= ptbSave; ++i) {
    const WideString& caption = PopupToolBarCaption(TdxPopupToolBarButton(i));
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &size);
    widest = std::max(widest, int(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int h = std::max(22, int(wg.cy) + 9);
  EXPECT_EQ(L"&Save To...", Bar->Button(ptbSave).Caption());
  EXPECT_EQ(h + 1 + widest, client.right);
  EXPECT_EQ(6 * h, client.bottom);
  for (int i = ptbCut; i <= ptbSave; ++i) {
    EXPECT_EQ(0, Bar->Button(TdxPopupToolBarButton(i)).Left());
    EXPECT_EQ(i * h, Bar->Button(TdxPopupToolBarButton(i)).Top());
    EXPECT_EQ(client.right, Bar->Button(TdxPopupToolBarButton(i)).Width());
  }
}

void StandInWorkArea(POINT, RECT& r) { r = RECT{0, 0, 800, 600}; }

struct PlacementRow {
  TdxPopupToolBarAlignment Alignment;
  POINT EditorCorner;
  // The expected corner, from the toolbar's size W x H: X = a + b * W, Y = c + d * H.
  int A, B, C, D;
};

class ToolBarPlacement : public ToolBarFixture, public ::testing::WithParamInterface<PlacementRow> {};

// The editor is 100 x 20 on an 800 x 600 work area.
TEST_P(ToolBarPlacement, BesideTheEditorWithinTheWorkArea) {
  const PlacementRow row = GetParam();
  SetMonitorWorkAreaLookup(&StandInWorkArea);
  Bar->SetToolBarAlignment(row.Alignment);
  Bar->RefreshButtons();
  const int w = Bar->Width(), h = Bar->Height();
  Bar->CalcPosition(row.EditorCorner);
  EXPECT_EQ(row.A + row.B * w, Bar->Left());
  EXPECT_EQ(row.C + row.D * h, Bar->Top());
}

INSTANTIATE_TEST_SUITE_P(
    Sides, ToolBarPlacement,
    ::testing::Values(PlacementRow{ptaRight, {100, 100}, 200, 0, 100, 0},     // right of the editor
                      PlacementRow{ptaRight, {750, 100}, 750, -1, 100, 0},    // no room right: at its left
                      PlacementRow{ptaLeft, {300, 100}, 300, -1, 100, 0},     // left of the editor
                      PlacementRow{ptaLeft, {10, 100}, 110, 0, 100, 0},       // no room left: at its right
                      PlacementRow{ptaBottom, {100, 100}, 100, 0, 120, 0},    // below
                      PlacementRow{ptaBottom, {100, 590}, 100, 0, 590, -1},   // no room below: above
                      PlacementRow{ptaTop, {100, 5}, 100, 0, 25, 0},          // no room above: below
                      PlacementRow{ptaBottom, {790, 100}, 800, -1, 120, 0})); // pulled onto the work area

struct StateRow {
  bool Empty, ReadOnly, OnClipboard;
  bool Cut, Copy, Paste, Delete, Load, Save;
};

class ToolBarStates : public ToolBarFixture, public ::testing::WithParamInterface<StateRow> {};

TEST_P(ToolBarStates, FollowThePictureTheEditorAndTheClipboard) {
  const StateRow row = GetParam();
  if (row.OnClipboard) {
    TPicture picture;
    FillBitmap(picture.Bitmap(), 4, 4, clRed);
    Clipboard().Assign(picture);
  } else {
    Clipboard().Clear();
  }
  Bar->SetIsEmpty(row.Empty);
  Bar->SetIsReadOnly(row.ReadOnly);
  Bar->UpdateButtonStates();
  EXPECT_EQ(row.Cut, Bar->Button(ptbCut).Enabled());
  EXPECT_EQ(row.Copy, Bar->Button(ptbCopy).Enabled());
  EXPECT_EQ(row.Paste, Bar->Button(ptbPaste).Enabled());
  EXPECT_EQ(row.Delete, Bar->Button(ptbDelete).Enabled());
  EXPECT_EQ(row.Load, Bar->Button(ptbLoad).Enabled());
  EXPECT_EQ(row.Save, Bar->Button(ptbSave).Enabled());
}

INSTANTIATE_TEST_SUITE_P(Rows, ToolBarStates,
                         ::testing::Values(StateRow{false, false, true, true, true, true, true, true, true},
                                           StateRow{true, false, false, false, false, false, false, true, false},
                                           StateRow{false, true, true, false, true, false, false, false, true},
                                           StateRow{true, true, true, false, false, false, false, false, false}));

TEST_F(ToolBarFixture, APictureCopiedElsewhereEnablesPasteThroughTheViewerChainUnlessReadOnly) {
  Bar->HandleNeeded();
  EXPECT_TRUE(Bar->Chained());
  Clipboard().Clear();
  Application().ProcessMessages();
  Bar->UpdateButtonStates();
  ASSERT_FALSE(Bar->Button(ptbPaste).Enabled());

  // Another program puts a picture on the clipboard: the chain tells the toolbar.
  TPicture picture;
  FillBitmap(picture.Bitmap(), 4, 4, clBlue);
  Clipboard().Assign(picture);
  SendMessageW(Bar->Handle(), WM_DRAWCLIPBOARD, 0, 0);
  EXPECT_TRUE(Bar->Button(ptbPaste).Enabled());

  Bar->SetIsReadOnly(true);
  SendMessageW(Bar->Handle(), WM_DRAWCLIPBOARD, 0, 0);
  EXPECT_FALSE(Bar->Button(ptbPaste).Enabled());
  Clipboard().Clear();
}

TEST_F(ToolBarFixture, LeavesTheViewerChainWhenItsWindowGoes) {
  HWND wnd = Bar->Handle();
  EXPECT_EQ(wnd, GetClipboardViewer());
  Bar->DestroyHandle();
  EXPECT_FALSE(Bar->Chained());
  EXPECT_NE(wnd, GetClipboardViewer());
  Bar->HandleNeeded();
  EXPECT_TRUE(Bar->Chained());
}

TEST_F(ToolBarFixture, ClosedByTheUserItStaysHiddenUntilTheFlagIsCleared) {
  Bar->Show();
  EXPECT_FALSE(Bar->Visible()) << "shown only once the editor allows it";
  Bar->SetCanShow(true);
  Bar->Show();
  ASSERT_TRUE(Bar->Visible());
  SendMessageW(Bar->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(Bar->Visible());
  EXPECT_TRUE(Bar->FlagHide());
  Bar->Show();
  EXPECT_FALSE(Bar->Visible());
  Bar->SetFlagHide(false);
  Bar->Show();
  EXPECT_TRUE(Bar->Visible());
  EXPECT_EQ(MA_NOACTIVATE, SendMessageW(Bar->Handle(), WM_MOUSEACTIVATE, WPARAM(Form->Handle()),
                                        MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));
  Bar->Hide();
}

TEST_F(ToolBarFixture, AClickOnAButtonReportsItsOrdinal) {
  Bar->SetToolBarAlignment(ptaTop);
  std::vector<TdxPopupToolBarButton> clicks;
  Bar->OnButtonClick = [&](TObject*, TdxPopupToolBarButton b) { clicks.push_back(b); };
  const TSpeedButton& load = Bar->Button(ptbLoad);
  const LPARAM at = MAKELPARAM(load.Left() + 5, load.Top() + 5);
  SendMessageW(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(Bar->Handle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(std::vector<TdxPopupToolBarButton>{ptbLoad}, clicks);
}

TEST(ToolBarImages, SixGlyphsOfSixteenPixelsMadeOnFirstUse) {
  TImageList& images = GetToolbarImages();
  EXPECT_TRUE(ToolbarImagesCreated());
  EXPECT_EQ(16, images.Width());
  EXPECT_EQ(16, images.Height());
  EXPECT_EQ(6, images.Count());
  FreeToolbarImages();
  EXPECT_FALSE(ToolbarImagesCreated());
}

TEST(ToolBarSettings, AssignCopiesEverySettingAndTheGlyph) {
  TdxPopupToolBarWindow source(nullptr), copy(nullptr);
  source.SetAlignment(ptaLeft);
  source.SetButtons(PopupToolBarButtonBit(ptbCustom));
  source.SetCustomButtonCaption(L"Scan");
  FillBitmap(*source.CustomButtonGlyph(), 5, 3, clGreen);
  source.SetIsPopupMenu(false);
  source.SetShowCaptions(false);
  source.SetVisible(false);
  copy.Assign(source);
  EXPECT_EQ(ptaLeft, copy.Alignment());
  EXPECT_EQ(PopupToolBarButtonBit(ptbCustom), copy.Buttons());
  EXPECT_EQ(L"Scan", copy.CustomButtonCaption());
  EXPECT_EQ(5, copy.CustomButtonGlyph()->Width());
  EXPECT_FALSE(copy.IsPopupMenu());
  EXPECT_FALSE(copy.ShowCaptions());
  EXPECT_FALSE(copy.Visible());
  copy.SetCustomButtonGlyph(nullptr);
  EXPECT_FALSE(copy.HasCustomButtonGlyph());
}

}  // namespace
