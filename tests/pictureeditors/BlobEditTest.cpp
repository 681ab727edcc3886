// The blob editor: kind glyphs in the cell, the ellipsis of OLE values, the
// pop-up's remembered size, read-only and saving, and typing into the pop-up.
#include "PictureEditorsTest.h"

#include "Application.h"
#include "dxBlobEdit.h"
#include "support/CellHost.h"

#include <memory>

using namespace tvk;
using picture_test::FillBitmap;
using picture_test::PixelAt;

namespace {

void BlobEditWorkArea(POINT, RECT& r) { r = RECT{0, 0, 1000, 700}; }

struct BlobEditFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  tvk_test::TCellHost* Host = nullptr;
  TdxInplaceBlobEdit* Edit = nullptr;

  void SetUp() override {
    Application().ProcessMessages();
    SetMonitorWorkAreaLookup(&BlobEditWorkArea);
    Form->SetBounds(30, 30, 400, 300);
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 300, 250);
    Edit = new TdxInplaceBlobEdit(Host);
    Edit->SetParent(Host);
    Edit->SetBounds(10, 10, 120, 20);
    Host->Editor = Edit;
    Form->Show();
  }
  void TearDown() override {
    if (Edit->Popup()) Edit->Popup()->HidePopup(false);
    SetMonitorWorkAreaLookup(nullptr);
  }
  bool PopupShowing() { return Edit->Popup() && Edit->Popup()->HandleAllocated() && IsWindowVisible(Edit->Popup()->Handle()); }
};

// Paints a 60 x 40 cell of the editor's class onto white.
void PaintCell(TdxInplaceBlobEdit& edit, TBitmap& cell) {
  FillBitmap(cell, 60, 40, clWhite);
  auto vd = edit.CreateViewData(false);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  vd->Brush = white;
  vd->Transparent = false;
  edit.EditClass().DrawClientArea(cell.Canvas().Handle(), RECT{0, 0, 60, 40}, *vd, false);
  DeleteObject(white);
}

// Glyph Index of the blob list centred in a 60 x 40 cell on white.
void ReferenceGlyph(int index, TBitmap& cell) {
  FillBitmap(cell, 60, 40, clWhite);
  TImageList& images = GetBlobGlyphImages();
  DrawImageListItem(cell.Canvas().Handle(), (60 - images.Width()) / 2, (40 - images.Height()) / 2, index, images);
}

bool SamePixels(TBitmap& a, TBitmap& b) {
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      if (PixelAt(a, x, y) != PixelAt(b, x, y)) return false;
  return true;
}

TEST_F(BlobEditFixture, AnEmptyMemoShowsGlyphTwoAndAFilledOneGlyphThreeCentred) {
  TBitmap cell, empty, filled;
  ReferenceGlyph(2, empty);
  ReferenceGlyph(3, filled);
  ASSERT_FALSE(SamePixels(empty, filled));
  PaintCell(*Edit, cell);
  EXPECT_TRUE(SamePixels(empty, cell));
  Edit->SetEditValue(L"some text");
  PaintCell(*Edit, cell);
  EXPECT_TRUE(SamePixels(filled, cell));
}

TEST_F(BlobEditFixture, AnOleValueHasAnEllipsisButtonThatFiresTheEventsAndOpensNothing) {
  Edit->SetBlobEditKind(bekOle);
  auto vd = Edit->CreateViewData(false);
  auto& dd = static_cast<TdxDropDownEditViewData&>(*vd);
  TdxInplaceBlobEditClass::Instance().CalcButtonsInfo(dd);
  ASSERT_EQ(1, dd.ButtonCount);
  EXPECT_EQ(bkEllipsis, dd.Buttons[0].Kind);
  int clicks = 0, dropDowns = 0;
  Edit->FOnEditButtonClick = [&](TObject*) { ++clicks; };
  Edit->FOnDropDown = [&](TObject*) { ++dropDowns; };
  Edit->DropDown();
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(1, dropDowns);
  EXPECT_EQ(nullptr, Edit->Popup());
}

TEST_F(BlobEditFixture, TheUsersPopupSizeIsUsedAtTheNextOpening) {
  int saves = 0;
  Edit->FOnSavePopupSize = [&](TObject*) { ++saves; };
  Edit->DropDown();
  ASSERT_TRUE(PopupShowing());
  EXPECT_EQ(200, Edit->Popup()->Width());
  EXPECT_EQ(140, Edit->Popup()->Height());
  Edit->Popup()->SetBounds(Edit->Popup()->Left(), Edit->Popup()->Top(), 300, 200);
  Edit->Popup()->HidePopup(false);
  EXPECT_EQ(1, saves);
  EXPECT_EQ(300, Edit->FPopupWidth);
  Edit->DropDown();
  EXPECT_EQ(300, Edit->Popup()->Width());
  EXPECT_EQ(200, Edit->Popup()->Height());
}

TEST_F(BlobEditFixture, OkStoresTheMemoAndMarksTheEditorAndCancelKeepsTheValue) {
  Edit->SetEditValue(L"old");
  Edit->SetEditModified(false);
  Edit->DropDown();
  SendMessageW(Edit->Popup()->Handle(), WM_CHAR, L'!', 1);
  Edit->Popup()->ClosePopup(bebCancel);
  EXPECT_EQ(L"old", Edit->BlobData());
  EXPECT_FALSE(Edit->GetEditModified());

  Edit->DropDown();
  SendMessageW(Edit->Popup()->Handle(), WM_CHAR, L'!', 1);
  Edit->Popup()->ClosePopup(bebOK);
  EXPECT_NE(L"old", Edit->BlobData());
  EXPECT_NE(WideString::npos, Edit->BlobData().find(L'!'));
  EXPECT_TRUE(Edit->GetEditModified());
}

TEST_F(BlobEditFixture, AReadOnlyCellOpensWithOnlyClose) {
  Edit->SetReadOnly(true);
  Edit->DropDown();
  ASSERT_TRUE(PopupShowing());
  EXPECT_EQ(BlobButtonBit(bebClose), Edit->Popup()->Buttons());
}

TEST_F(BlobEditFixture, TypingReachesAnEmptyFocusedPopupAndNeverTheCell) {
  Edit->FAlwaysSaveText = false;  // only OK stores what the pop-up holds
  Edit->SetFocus();
  SendMessageW(Edit->Handle(), WM_CHAR, L'a', 1);
  EXPECT_TRUE(Edit->BlobData().empty());
  Edit->DropDown();
  ::SetFocus(Edit->Popup()->Handle());
  ASSERT_EQ(Edit->Popup()->Handle(), GetFocus());
  SendMessageW(Edit->Handle(), WM_CHAR, L'q', 1);
  Application().ProcessMessages();
  EXPECT_EQ(L"q", Edit->Popup()->Text());
  EXPECT_TRUE(Edit->BlobData().empty());
}

}  // namespace
