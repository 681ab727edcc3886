// The graphic editor: painting stretched and centred pictures, the value, the
// toolbar's activation and placement, the context menu and the commands.
#include "support/VariantValues.h"
#include "PictureEditorsTest.h"

#include "Clipbrd.h"
#include "ExtDlgs.h"
#include "Menus.h"
#include "dxExUtils.h"
#include "dxGraphicEdit.h"
#include "support/CellHost.h"

#include <filesystem>
#include <memory>

using namespace tvk;
using picture_test::FillBitmap;
using picture_test::PixelAt;
using picture_test::SameRect;

namespace {

struct FitRow {
  RECT Area;
  int W, H;
  RECT Expected;
};

class PictureFit : public ::testing::TestWithParam<FitRow> {};

TEST_P(PictureFit, KeepsTheAspectAndTheTopLeftCorner) {
  const FitRow row = GetParam();
  EXPECT_TRUE(SameRect(row.Expected, FitPictureRect(row.Area, row.W, row.H)));
}

INSTANTIATE_TEST_SUITE_P(Rows, PictureFit,
                         ::testing::Values(FitRow{{0, 0, 100, 100}, 200, 100, {0, 0, 100, 50}},
                                           FitRow{{10, 10, 110, 60}, 50, 100, {10, 10, 35, 60}},
                                           FitRow{{0, 0, 90, 30}, 3, 1, {0, 0, 90, 30}},
                                           FitRow{{5, 5, 5, 50}, 10, 10, {5, 5, 5, 5}},
                                           FitRow{{0, 0, 40, 40}, 0, 10, {0, 0, 0, 0}}));

// A 200 x 100 picture: its left half green, its right half blue.
void TwoHalves(TPicture& picture) {
  TBitmap& bitmap = picture.Bitmap();
  FillBitmap(bitmap, 200, 100, clBlue);
  RECT left{0, 0, 100, 100};
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(bitmap.Canvas().Handle(), &left, green);
  DeleteObject(green);
}

struct PaintFixture : ::testing::Test {
  TPicture Picture;
  TBitmap Cell;
  HBRUSH Background = CreateSolidBrush(RGB(255, 255, 255));
  TdxGraphicEditViewData View;

  void SetUp() override {
    TwoHalves(Picture);
    FillBitmap(Cell, 100, 100, clBlack);
    View.Picture = &Picture;
    View.Brush = Background;
  }
  void TearDown() override { DeleteObject(Background); }
  void Paint() {
    TdxInplaceGraphicEditClass::Instance().DrawClientArea(Cell.Canvas().Handle(), RECT{0, 0, 100, 100}, View, false);
  }
};

TEST_F(PaintFixture, AStretchedPictureFillsTheTopOfTheCellAndTheRestIsBackground) {
  View.Stretch = true;
  Paint();
  EXPECT_EQ(RGB(0, 255, 0), PixelAt(Cell, 10, 10));
  EXPECT_EQ(RGB(0, 0, 255), PixelAt(Cell, 90, 49));
  EXPECT_EQ(RGB(255, 255, 255), PixelAt(Cell, 50, 50));
  EXPECT_EQ(RGB(255, 255, 255), PixelAt(Cell, 99, 99));
}

TEST_F(PaintFixture, ACentredLargerPictureShowsItsMiddleFromMinusFifty) {
  View.Center = true;
  Paint();
  EXPECT_EQ(RGB(0, 255, 0), PixelAt(Cell, 49, 50));
  EXPECT_EQ(RGB(0, 0, 255), PixelAt(Cell, 50, 50));
  View.Center = false;
  Paint();
  EXPECT_EQ(RGB(0, 255, 0), PixelAt(Cell, 99, 50)) << "natural size starts at the left edge";
}

TEST_F(PaintFixture, AnEmptyPictureOrAZeroSizedCellPaintsOnlyTheBackground) {
  TPicture empty;
  View.Picture = &empty;
  Paint();
  EXPECT_EQ(RGB(255, 255, 255), PixelAt(Cell, 50, 50));
  View.Picture = &Picture;
  FillBitmap(Cell, 100, 100, clBlack);
  TdxInplaceGraphicEditClass::Instance().DrawClientArea(Cell.Canvas().Handle(), RECT{0, 0, 0, 100}, View, false);
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(Cell, 0, 50));
}

TEST_F(PaintFixture, HeightMeasurementDrawsNothing) {
  View.CalcHeight = true;
  Paint();
  EXPECT_EQ(100, View.LineHeight);
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(Cell, 50, 50));
  View.Stretch = true;
  Paint();
  EXPECT_EQ(0, View.LineHeight);
}

// --- the live editor

void StandInArea(POINT, RECT& r) { r = RECT{0, 0, 1000, 700}; }

struct GraphicEditFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  tvk_test::TCellHost* Host = nullptr;
  TdxInplaceGraphicEdit* Edit = nullptr;

  void SetUp() override {
    SetMonitorWorkAreaLookup(&StandInArea);
    Form->SetBounds(50, 50, 400, 300);
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 300, 250);
    Edit = new TdxInplaceGraphicEdit(Host);
    Edit->SetParent(Host);
    Edit->SetBounds(10, 10, 120, 80);
    Host->Editor = Edit;
    Form->Show();
  }
  void TearDown() override {
    SetMonitorWorkAreaLookup(nullptr);
    SetPopupMenuShow(nullptr);
    SetFileDialogRunner(nullptr);
  }
  void Load(int w, int h, TColor color) {
    TPicture picture;
    FillBitmap(picture.Bitmap(), w, h, color);
    Edit->SetEditValue(SavePictureToText(&picture));
  }
  void UseToolbar() {
    Edit->ToolbarLayout().SetIsPopupMenu(false);
    Edit->ToolbarLayout().SetVisible(true);
  }
};

TEST_F(GraphicEditFixture, TheValueLoadsWithoutMarkingTheEditorAndAnswersThePicturesBytes) {
  EXPECT_EQ(Null(), Edit->GetEditValue());
  Edit->SetEditModified(false);
  Load(30, 20, clRed);
  EXPECT_FALSE(Edit->GetEditModified());
  ASSERT_NE(nullptr, Edit->Picture().Graphic());
  EXPECT_EQ(30, Edit->Picture().Width());
  const Variant bytes = Edit->GetEditValue();
  EXPECT_EQ(SavePictureToValue(&Edit->Picture()), bytes);
  // The bytes load another editor with the same picture.
  Edit->SetEditValue(Null());
  EXPECT_EQ(nullptr, Edit->Picture().Graphic());
  Edit->SetEditValue(bytes);
  EXPECT_EQ(bytes, Edit->GetEditValue());
  // A host swaps in a picture of its own for the value.
  TPicture other;
  Edit->FOnAssignPicture = [&](TObject*, TPicture*& p) { p = &other; };
  EXPECT_EQ(Null(), Edit->GetEditValue());
  Edit->FOnAssignPicture = nullptr;
  Edit->SetEditValue(L"");
  EXPECT_EQ(nullptr, Edit->Picture().Graphic());
}

TEST_F(GraphicEditFixture, CentreStretchAndPicturesChangesMarkALiveEditorModified) {
  Load(30, 20, clRed);
  Edit->SetEditModified(false);
  Edit->SetCenter(false);
  EXPECT_TRUE(Edit->GetEditModified());
  Edit->SetEditModified(false);
  Edit->SetStretch(true);
  EXPECT_TRUE(Edit->GetEditModified());
  Edit->SetEditModified(false);
  Edit->SetGraphicTransparency(gtTransparent);
  EXPECT_FALSE(Edit->GetEditModified());
  EXPECT_TRUE(Edit->Picture().Graphic()->Transparent());
}

TEST_F(GraphicEditFixture, WithDoubleClickActivationOnlyADoubleClickShowsTheToolbar) {
  UseToolbar();
  Load(30, 20, clRed);
  Edit->SetFocus();
  EXPECT_FALSE(Edit->PopupToolBar().Visible());
  SendMessageW(Edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(Edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(Edit->PopupToolBar().Visible());
  Host->SetFocus();
  EXPECT_FALSE(Edit->PopupToolBar().Visible()) << "leaving the editor hides it";

  Edit->FDblClickActivate = false;
  Edit->SetFocus();
  EXPECT_TRUE(Edit->PopupToolBar().Visible());
  Edit->PopupToolBar().Hide();
}

TEST_F(GraphicEditFixture, AnUnstoredPositionPlacesTheToolbarBesideTheEditorAgain) {
  UseToolbar();
  Load(30, 20, clRed);
  Edit->FToolbarPos = POINT{300, 310};
  Edit->ShowPopupToolbar();
  EXPECT_EQ(300, Edit->PopupToolBar().Left());
  EXPECT_EQ(310, Edit->PopupToolBar().Top());

  Edit->SetToolbarPosStored(false);
  EXPECT_EQ(kNoToolbarPos.x, Edit->FToolbarPos.x);
  Edit->ShowPopupToolbar();
  RECT editor;
  GetWindowRect(Edit->Handle(), &editor);
  EXPECT_EQ(editor.left, Edit->PopupToolBar().Left());
  EXPECT_EQ(editor.bottom, Edit->PopupToolBar().Top()) << "the layout's default side is below";
  Edit->PopupToolBar().Hide();
}

TEST_F(GraphicEditFixture, AKeyboardContextMenuOpensAtTheCaretAndItsItemsRunTheCommands) {
  Load(30, 20, clRed);
  std::vector<POINT> points;
  std::vector<WideString> captions;
  SetPopupMenuShow([&](TPopupMenu& menu, int x, int y) {
    points.push_back(POINT{x, y});
    captions.clear();
    for (int i = 0; i < menu.Items().Count(); ++i)
      if (menu.Items().Items(i)->Visible()) captions.push_back(menu.Items().Items(i)->Caption());
  });
  CreateCaret(Edit->Handle(), nullptr, 1, 10);
  SetCaretPos(500, 7);
  SendMessageW(Edit->Handle(), WM_CONTEXTMENU, WPARAM(Edit->Handle()), MAKELPARAM(-1, -1));
  SendMessageW(Edit->Handle(), WM_CONTEXTMENU, WPARAM(Edit->Handle()), MAKELPARAM(333, 222));
  DestroyCaret();
  ASSERT_EQ(2u, points.size());
  const POINT caret = Edit->ClientToScreen(POINT{Edit->ClientWidth(), 7});
  EXPECT_EQ(caret.x, points[0].x);
  EXPECT_EQ(caret.y, points[0].y);
  EXPECT_EQ(333, points[1].x);
  EXPECT_EQ(222, points[1].y);
  EXPECT_EQ((std::vector<WideString>{L"Cu&t", L"&Copy", L"&Paste", L"&Delete", L"-", L"&Load...", L"&Save To..."}),
            captions);

  // The Delete item clears the picture.
  SetPopupMenuShow([](TPopupMenu& menu, int, int) { menu.Items().Items(3)->Click(); });
  SendMessageW(Edit->Handle(), WM_CONTEXTMENU, WPARAM(Edit->Handle()), MAKELPARAM(10, 10));
  EXPECT_EQ(nullptr, Edit->Picture().Graphic());
}

TEST_F(GraphicEditFixture, ALockedEditorChangesNothingButStillCopies) {
  Load(30, 20, clRed);
  Host->EditModify = false;
  Clipboard().Clear();
  bool dialogShown = false;
  SetFileDialogRunner([&](TFileDialogRequest&) { return dialogShown = true; });
  Edit->ClearPicture();
  Edit->CutToClipboard();
  Edit->LoadFromFile();
  ASSERT_NE(nullptr, Edit->Picture().Graphic());
  EXPECT_FALSE(dialogShown);
  EXPECT_TRUE(Clipboard().HasFormat(PictureClipFormat())) << "cut copies even when it may not clear";
  TPicture other;
  FillBitmap(other.Bitmap(), 7, 7, clBlue);
  Clipboard().Assign(other);
  Edit->PasteFromClipboard();
  EXPECT_EQ(30, Edit->Picture().Width());
  Clipboard().Clear();
}

TEST_F(GraphicEditFixture, CopyAndPasteCarryThePicture) {
  Load(9, 4, RGB(10, 200, 30));
  Edit->CopyToClipboard();
  Edit->ClearPicture();
  ASSERT_EQ(nullptr, Edit->Picture().Graphic());
  Edit->PasteFromClipboard();
  auto* bitmap = dynamic_cast<TBitmap*>(Edit->Picture().Graphic());
  ASSERT_NE(nullptr, bitmap);
  EXPECT_EQ(9, bitmap->Width());
  EXPECT_EQ(RGB(10, 200, 30), PixelAt(*bitmap, 2, 2));
  Clipboard().Clear();
}

TEST_F(GraphicEditFixture, SaveAndLoadGoThroughTheFileDialogs) {
  Load(6, 5, clRed);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / L"graphic_edit_test.bmp";
  std::vector<TFileDialogRequest> requests;
  SetFileDialogRunner([&](TFileDialogRequest& request) {
    requests.push_back(request);
    request.FileName = file.wstring();
    return true;
  });
  Edit->SaveToFile();
  Edit->ClearPicture();
  Edit->LoadFromFile();
  ASSERT_EQ(2u, requests.size());
  EXPECT_TRUE(requests[0].Save);
  EXPECT_EQ(L"bmp", requests[0].DefaultExt);
  EXPECT_EQ(L"Bitmaps (*.bmp)|*.bmp", requests[0].Filter);
  EXPECT_FALSE(requests[1].Save);
  ASSERT_NE(nullptr, Edit->Picture().Graphic());
  EXPECT_EQ(6, Edit->Picture().Width());
  std::filesystem::remove(file);

  // A file the picture cannot read raises and keeps the picture.
  Edit->FCustomFilter = L"Anything|*.*";
  SetFileDialogRunner([&](TFileDialogRequest& request) {
    EXPECT_EQ(L"Anything|*.*", request.Filter);
    request.FileName = L"missing.unknownext";
    return true;
  });
  EXPECT_THROW(Edit->LoadFromFile(), EInvalidGraphic);
  EXPECT_EQ(6, Edit->Picture().Width());
}

TEST_F(GraphicEditFixture, TheLayoutsMenuSettingReachesTheEditorsToolbar) {
  EXPECT_TRUE(Edit->PopupToolBar().IsPopupMenu());
  Edit->ToolbarLayout().SetIsPopupMenu(false);
  EXPECT_FALSE(Edit->PopupToolBar().IsPopupMenu());
}

}  // namespace
