// The image editor: cells of pictures and descriptions, type-ahead, stepping and the drop-down list.
#include "support/VariantValues.h"
#include "ExEditorsTest.h"
#include "dxImageEdit.h"

using namespace tvk;
namespace exeditors_test {
using namespace inplace_test;

namespace {

constexpr COLORREF kPictureColors[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};

void SetStrings(TStrings& strings, std::initializer_list<const wchar_t*> texts) {
  strings.Clear();
  for (const wchar_t* t : texts) strings.Add(t);
}

struct ImageEdits : HostFixture {
  TImageList* Images = nullptr;
  TdxInplaceImageEdit* Edit = nullptr;

  void SetUp() override {
    HostFixture::SetUp();
    FailOnException();
    Images = new TImageList(Form.get());
    Images->SetSize(16, 16);
    for (COLORREF c : kPictureColors) {
      TBitmap picture;
      MakeBitmap(picture, 16, 16, static_cast<TColor>(c));
      Images->AddMasked(picture, clFuchsia);
    }
    Edit = new TdxInplaceImageEdit(Host);
    Edit->SetParent(Host);
    Edit->SetImages(Images);
    SetStrings(Edit->Values(), {L"1", L"2", L"3"});
    SetStrings(Edit->Descriptions(), {L"One", L"Two"});
    Host->Editor = Edit;
    Host->Cells = {L"1", L"2", L"3", L"9"};
    Host->CellHeight = 20;
    Form->Show();
  }
  void TearDown() override { tvk::Application().OnException = nullptr; }
  // A cell of Value painted without a window, 100 x 20.
  void PaintCell(TBitmap& canvas, const WideString& value) {
    MakeBitmap(canvas, 100, 20, clWhite);
    auto vd = Edit->CreateViewData(false);
    vd->ViewBounds = RECT{0, 0, 100, 20};
    vd->Data = value;
    vd->Enabled = true;
    vd->Transparent = false;
    vd->Brush = GetSysColorBrush(COLOR_WINDOW);
    vd->BkColor = GetSysColor(COLOR_WINDOW);
    RECT r{0, 0, 100, 20};
    Edit->EditClass().DrawClientArea(canvas.Canvas().Handle(), r, *vd, false);
  }
};

}  // namespace

TEST(ImageEditClass, ViewIndexesFollowTheValuesAndThePictureIndexes) {
  TStringList values, descriptions, indexes;
  SetStrings(values, {L"1", L"2", L"3"});
  SetStrings(descriptions, {L"One", L"Two"});
  SetStrings(indexes, {L"5", L"x"});
  struct Case {
    const wchar_t* Value;
    bool DefaultImages;
    int Image, Desc;
  } const cases[] = {{L"3", true, 2, -1}, {L"2", true, 1, 1}, {L"2", false, -1, 1},
                     {L"1", false, 5, 0}, {L"3", false, 2, -1}, {L"9", true, -1, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << UTF8Encode(c.Value) << " default " << c.DefaultImages);
    int image = 0, desc = 0;
    TdxInplaceImageEditClass::CalcViewIndexes(c.Value, &indexes, &descriptions, &values, c.DefaultImages, image,
                                              desc);
    EXPECT_EQ(c.Image, image);
    EXPECT_EQ(c.Desc, desc);
  }
}

TEST_F(ImageEdits, ACellPaintsItsPictureAndItsDescriptionOrOwnText) {
  struct Case {
    const wchar_t* Value;
    int Picture;  // -1: none
  } const cases[] = {{L"2", 1}, {L"3", 2}, {L"9", -1}};
  TBitmap withText;
  for (const Case& c : cases) {
    SCOPED_TRACE(UTF8Encode(c.Value));
    TBitmap canvas;
    PaintCell(canvas, c.Value);
    const COLORREF picture = Pixel(canvas, 8, 10);
    if (c.Picture >= 0)
      EXPECT_EQ(kPictureColors[c.Picture], picture);
    else
      EXPECT_EQ(GetSysColor(COLOR_WINDOW), picture);
    EXPECT_TRUE(HasInk(canvas, RECT{17, 0, 100, 20}, GetSysColor(COLOR_WINDOW)));  // text beside the picture
  }
  // "Two" is wider than "2": the description is what the cell shows.
  TBitmap two, three;
  PaintCell(two, L"2");
  PaintCell(three, L"3");
  auto rightmostInk = [](TBitmap& b) {
    for (int x = 99; x > 16; --x)
      for (int y = 0; y < 20; ++y)
        if (Pixel(b, x, y) != GetSysColor(COLOR_WINDOW)) return x;
    return 0;
  };
  EXPECT_GT(rightmostInk(two), rightmostInk(three) + 4);
  // Without descriptions the picture stands centred and no text is drawn.
  Edit->SetShowDescription(false);
  TBitmap centred;
  PaintCell(centred, L"2");
  EXPECT_EQ(kPictureColors[1], Pixel(centred, 50, 10));
  EXPECT_FALSE(HasInk(centred, RECT{0, 0, 40, 20}, GetSysColor(COLOR_WINDOW)));
  EXPECT_GE(Edit->EditClass().GetMinHeight(*Edit->CreateViewData(false)), 16);
}

TEST_F(ImageEdits, TypeAheadWrapsAndNeverReadsPastEitherList) {
  SetStrings(Edit->Descriptions(), {L"One", L"Two", L"Three"});
  struct Case {
    std::vector<const wchar_t*> Values;
    const wchar_t* Start;
    wchar_t Typed;
    const wchar_t* After;
  } const cases[] = {
      {{L"1", L"2", L"3"}, L"2", L't', L"3"},  // after the current value
      {{L"1", L"2", L"3"}, L"3", L'T', L"2"},  // wraps round
      {{L"1", L"2"}, L"2", L't', L"2"},        // "Three" has no value: only "Two" matches
      {{L"1", L"2"}, L"1", L't', L"2"},
      {{L"1", L"2", L"3", L"4", L"5"}, L"5", L'o', L"1"},  // the current value beyond the descriptions
      {{L"1", L"2", L"3"}, L"1", L'x', L"1"},
  };
  Host->EditCell(0);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << UTF8Encode(c.Start) << " typed " << static_cast<char>(c.Typed));
    Edit->Values().Clear();
    for (const wchar_t* v : c.Values) Edit->Values().Add(v);
    Edit->SetEditValue(c.Start);
    SendMessageW(Edit->Handle(), WM_CHAR, c.Typed, 0);
    EXPECT_EQ(c.After, Edit->GetEditValue());
  }
  SetStrings(Edit->Descriptions(), {L"", L"Two"});
  SetStrings(Edit->Values(), {L"1", L"2"});
  Edit->SetEditValue(L"2");
  SendMessageW(Edit->Handle(), WM_CHAR, L'x', 0);  // an empty description never matches
  EXPECT_EQ(L"2", Edit->GetEditValue());
}

TEST_F(ImageEdits, IncrementalKeysStepThroughTheValuesAndStopAtTheEnds) {
  Edit->Values().Clear();
  for (int i = 0; i < 10; ++i) Edit->Values().Add(std::to_wstring(i));
  Edit->FIncremental = true;
  Host->EditCell(0);
  Edit->SetEditValue(L"0");
  struct Step {
    WORD Key;
    const wchar_t* After;
  } const steps[] = {{VK_NEXT, L"6"}, {VK_NEXT, L"9"}, {VK_UP, L"8"}, {VK_HOME, L"0"},
                     {VK_LEFT, L"0"}, {VK_END, L"9"}, {VK_PRIOR, L"3"}, {VK_RIGHT, L"4"}};
  for (const Step& s : steps) {
    SendMessageW(Edit->Handle(), WM_KEYDOWN, s.Key, 0);
    EXPECT_EQ(s.After, Edit->GetEditValue()) << "key " << s.Key;
  }
  EXPECT_TRUE(Host->NeighbourMoves.empty());
  EXPECT_TRUE(Host->KeysDown.empty() || Host->KeysDown.back() != VK_NEXT);
  Edit->FIncremental = false;
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(std::vector<bool>{false}, Host->NeighbourMoves);
  SendMessageW(Edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  EXPECT_EQ(L"5", Edit->GetEditValue());
}

TEST_F(ImageEdits, TheListIsAsHighAsItsItemsAndTakesTheChosenValue) {
  Host->EditCell(1);
  Edit->DropDown();
  ASSERT_TRUE(Edit->ListVisible());
  TdxPopupImageListBox& list = Edit->PopupListBox();
  RECT client{};
  GetClientRect(list.Handle(), &client);
  EXPECT_EQ(3 * list.RealItemHeight(), client.bottom);  // 3 values, 7 rows
  EXPECT_EQ(1, list.ItemIndex());
  EXPECT_EQ(2, ObjectPictureIndex(list.Items().Objects(2)));  // by position
  EXPECT_EQ(L"One", list.Items()[0]);
  EXPECT_TRUE(list.Items()[2].empty());  // no description
  EXPECT_TRUE(IsWindowVisible(list.Handle()));
  EXPECT_NE(GetFocus(), list.Handle());
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_DOWN, 0);  // reaches the list
  EXPECT_EQ(2, list.ItemIndex());
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(Edit->ListVisible());
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
  EXPECT_EQ(L"3", Edit->GetEditValue());
  EXPECT_TRUE(Edit->GetEditModified());

  // A value outside Values opens the list with nothing selected.
  Host->CloseEditor();
  Host->EditCell(3);
  Edit->DropDown();
  EXPECT_EQ(-1, list.ItemIndex());
  Edit->CloseUp(false);
  EXPECT_EQ(L"9", Edit->GetEditValue());
}

}  // namespace exeditors_test
