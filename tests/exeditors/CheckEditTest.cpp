// The check-box editor and the extended editors' start-up.
#include "support/VariantValues.h"
#include "ExEditorsTest.h"
#include "dxCheckEdit.h"
#include "dxExEdtr.h"

using namespace tvk;
namespace exeditors_test {
using namespace inplace_test;

namespace {

struct CheckEdits : HostFixture {
  TdxInplaceCheckEdit* Edit = nullptr;
  int Changes = 0;
  void SetUp() override {
    HostFixture::SetUp();
    FailOnException();
    Edit = new TdxInplaceCheckEdit(Host);
    Edit->SetParent(Host);
    Edit->OnChange = [this](TObject*) { ++Changes; };
    Host->Editor = Edit;
    Host->Cells = {L"0", L"1", L"2"};
    Form->Show();
  }
  void TearDown() override { tvk::Application().OnException = nullptr; }
};

// A strip of Count images of 13 x 13, image i filled with the i-th colour; each one's bottom-left pixel transparent.
constexpr COLORREF kStripColors[] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200),
                                     RGB(200, 200, 0), RGB(0, 200, 200), RGB(200, 0, 200)};

void MakeStrip(TBitmap& strip, int count) {
  MakeBitmap(strip, 13 * count, 13, clWhite);
  for (int i = 0; i < count; ++i) {
    HBRUSH brush = CreateSolidBrush(kStripColors[i]);
    RECT r{13 * i, 0, 13 * i + 13, 13};
    FillRect(strip.Canvas().Handle(), &r, brush);
    DeleteObject(brush);
    SetPixel(strip.Canvas().Handle(), 13 * i, 12, RGB(1, 2, 3));
  }
}

}  // namespace

TEST(ExEditorsStartup, EditorsFindTheTextsTheCursorAndTheCheckStyleAfterStartUp) {
  EXPECT_EQ(L"Cu&t", ToolbarButtonCaption(0));
  EXPECT_EQ(L"&Save To...", ToolbarButtonCaption(5));
  EXPECT_EQ(L"Save to file...", ToolbarButtonHint(5));
  EXPECT_TRUE(ToolbarButtonCaption(6).empty());
  EXPECT_EQ(L"&Close", BlobPopupCaption(bpbClose));
  EXPECT_EQ(L"Invalid Date", InvalidDateText());
  EXPECT_EQ(L"SUNDAY", DateKeyword(3));
  EXPECT_EQ(L"NOW", DateKeyword(19));
  EXPECT_DOUBLE_EQ(1.0 / 24, TimeConstants().OneHour);
  EXPECT_DOUBLE_EQ(86399.0 / 86400, TimeConstants().LastTimeOfDay);
  ASSERT_TRUE(Screen().HasCursor(crdxHandPoint));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(Screen().Cursors(crdxHandPoint), &info));
  EXPECT_EQ(7u, info.xHotspot);
  EXPECT_EQ(1u, info.yHotspot);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  EXPECT_GT(StandardCheckWidth(), 0);
  EXPECT_GT(StandardCheckHeight(), 0);
  ASSERT_NE(nullptr, SharedCanvas());
  ASSERT_NE(nullptr, DefaultCheckEditStyleController());
  TdxInplaceCheckEdit edit(nullptr);
  EXPECT_EQ(xbsNone, edit.Style().BorderStyle());  // check editors look borderless with 3D boxes
  EXPECT_EQ(bts3D, edit.Style().ButtonStyle());
}

TEST(ExEditorsStartup, ASecondStartUpChangesNothingAndShutDownFreesWhatStartUpMade) {
  TdxCheckEditStyleController* controller = DefaultCheckEditStyleController();
  TCanvas* canvas = SharedCanvas();
  HCURSOR hand = Screen().Cursors(crdxHandPoint);
  ASSERT_TRUE(DxExEdtrUnitStartup());
  EXPECT_EQ(controller, DefaultCheckEditStyleController());
  EXPECT_EQ(canvas, SharedCanvas());
  EXPECT_EQ(hand, Screen().Cursors(crdxHandPoint));

  DxExEdtrUnitShutdown();
  EXPECT_EQ(nullptr, DefaultCheckEditStyleController());
  EXPECT_EQ(nullptr, SharedCanvas());
  EXPECT_FALSE(Screen().HasCursor(crdxHandPoint));
  EXPECT_TRUE(InvalidDateText().empty());
  EXPECT_EQ(L"TODAY", DateKeyword(0));  // the built-in keywords stand outside start-up
  ASSERT_TRUE(DxExEdtrUnitStartup());
  EXPECT_NE(nullptr, DefaultCheckEditStyleController());
  EXPECT_EQ(L"&OK", BlobPopupCaption(bpbOK));
}

TEST_F(CheckEdits, TogglingCyclesThroughGrayedOnlyWhenAllowed) {
  struct Case {
    bool AllowGrayed;
    const wchar_t* Start;
    std::vector<TdxCheckBoxState> After;
  } const cases[] = {
      {false, L"0", {cbsChecked, cbsUnchecked, cbsChecked}},
      {false, L"2", {cbsChecked, cbsUnchecked}},
      {true, L"0", {cbsGrayed, cbsChecked, cbsUnchecked, cbsGrayed}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "grayed " << c.AllowGrayed << " from " << UTF8Encode(c.Start));
    Edit->FAllowGrayed = c.AllowGrayed;
    Changes = 0;
    Edit->SetEditModified(false);
    Edit->SetEditValue(c.Start);
    EXPECT_EQ(0, Changes);  // a host value fires nothing
    EXPECT_FALSE(Edit->GetEditModified());
    for (TdxCheckBoxState state : c.After) {
      Edit->Toggle();
      EXPECT_EQ(state, Edit->State());
    }
    EXPECT_EQ(static_cast<int>(c.After.size()), Changes);
    EXPECT_TRUE(Edit->GetEditModified());
    EXPECT_EQ(Variant(static_cast<std::int32_t>(c.After.back())), Edit->GetEditValue());
  }
}

TEST_F(CheckEdits, ATrueOrFalseCaptionFollowsTheUsersToggle) {
  struct Case {
    const wchar_t* Caption;
    const wchar_t* Start;
    const wchar_t* After;
  } const cases[] = {{L"true", L"1", L"False"}, {L"FALSE", L"0", L"True"}, {L"Yes", L"1", L"Yes"},
                     {L"True", L"1", L"False"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(UTF8Encode(c.Caption));
    Edit->SetText(c.Caption);
    Edit->SetEditValue(c.Start);
    Edit->Toggle();
    EXPECT_EQ(c.After, Edit->Text());
  }
  Edit->FAllowGrayed = true;
  Edit->SetText(L"False");
  Edit->SetEditValue(L"0");
  Edit->Toggle();  // grayed leaves the caption
  EXPECT_EQ(L"False", Edit->Text());
}

TEST_F(CheckEdits, SpaceHeldShowsThePushedBoxAndItsReleaseTogglesOnce) {
  Host->EditCell(0);
  ASSERT_EQ(cbsUnchecked, Edit->State());
  SendMessageW(Edit->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(Edit->Pressed());
  EXPECT_TRUE(static_cast<TdxCheckEditViewData&>(*Edit->CreateViewData(false)).Pressed);
  SendMessageW(Edit->Handle(), WM_CHAR, L' ', 0);
  EXPECT_EQ(cbsUnchecked, Edit->State());
  SendMessageW(Edit->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_FALSE(Edit->Pressed());
  EXPECT_EQ(cbsChecked, Edit->State());
  // The Space that started editing comes as a character alone.
  SendMessageW(Edit->Handle(), WM_CHAR, L' ', 0);
  EXPECT_EQ(cbsUnchecked, Edit->State());
  Edit->SetReadOnly(true);
  SendMessageW(Edit->Handle(), WM_CHAR, L' ', 0);
  EXPECT_EQ(cbsUnchecked, Edit->State());
}

TEST_F(CheckEdits, ASingleClickHostGetsEnterAfterTheToggleAndOnlyAClickOnTheBoxCounts) {
  Host->FSingleClickCheckEdit = true;
  Host->EditCell(0);
  const RECT client = Edit->ClientRect();
  RECT text = client, box{};
  TdxInplaceCheckEditClass::CalcCheckRects(StandardCheckWidth(), StandardCheckHeight(), TAlignment::taLeftJustify,
                                           text, box);
  Host->KeysDown.clear();
  Edit->MouseClick(client.right - 3, box.top + 1);  // beside the box
  EXPECT_EQ(cbsUnchecked, Edit->State());
  Edit->MouseClick(box.left + 1, box.top + 1);
  EXPECT_EQ(cbsChecked, Edit->State());
  EXPECT_EQ(std::vector<WORD>{VK_RETURN}, Host->KeysDown);
}

TEST(CheckEditClass, FrameControlFlagsAndStripImagesByState) {
  struct Flags {
    int State;
    TdxShowNullFieldStyle Null;
    bool Pressed, Enabled;
    UINT Expected;
  } const flags[] = {
      {0, nsGrayedChecked, false, true, 0},
      {1, nsGrayedChecked, true, true, DFCS_CHECKED | DFCS_PUSHED},
      {2, nsUnchecked, false, true, DFCS_BUTTON3STATE},
      {2, nsInactive, false, true, DFCS_BUTTON3STATE | DFCS_INACTIVE},
      {2, nsGrayedChecked, false, true, DFCS_BUTTON3STATE | DFCS_CHECKED},
      {2, nsInactive, false, false, DFCS_BUTTON3STATE | DFCS_PUSHED | DFCS_CHECKED},
      {0, nsInactive, false, false, DFCS_BUTTON3STATE | DFCS_PUSHED | DFCS_INACTIVE},
  };
  for (const Flags& f : flags) {
    SCOPED_TRACE(testing::Message() << "state " << f.State << " null " << f.Null << " enabled " << f.Enabled);
    EXPECT_EQ(f.Expected, TdxInplaceCheckEditClass::FrameControlFlags(f.State, f.Null, f.Pressed, f.Enabled));
  }
  EXPECT_EQ(4, TdxInplaceCheckEditClass::GlyphIndex(cbsChecked, true, 6));
  EXPECT_EQ(1, TdxInplaceCheckEditClass::GlyphIndex(cbsChecked, true, 3));
  EXPECT_EQ(2, TdxInplaceCheckEditClass::GlyphIndex(cbsGrayed, false, 1));
}

TEST(CheckEditClass, AGlyphStripSizesTheBoxAndThePressedCheckedImageIsDrawn) {
  TBitmap strip;
  MakeStrip(strip, 6);
  int w = 0, h = 0;
  EXPECT_TRUE(TdxInplaceCheckEditClass::CalcCheckSize(&strip, 6, w, h));
  EXPECT_EQ(13, w);
  EXPECT_EQ(13, h);
  EXPECT_FALSE(TdxInplaceCheckEditClass::CalcCheckSize(&strip, 0, w, h));
  EXPECT_EQ(StandardCheckWidth(), w);
  for (int count : {6, 3}) {
    SCOPED_TRACE(count);
    MakeStrip(strip, count);
    TBitmap canvas;
    MakeBitmap(canvas, 60, 20, clWhite);
    auto vd = CellViewData(TdxInplaceCheckEditClass::Instance(), RECT{0, 0, 60, 20}, bts3D);
    auto& data = static_cast<TdxCheckEditViewData&>(*vd);
    data.Glyph = &strip;
    data.GlyphCount = count;
    data.Pressed = true;
    data.Data = L"1";
    data.Caption = L"x";
    RECT r{0, 0, 60, 20};
    TdxInplaceCheckEditClass::Instance().DrawClientArea(canvas.Canvas().Handle(), r, data, false);
    const int top = (2 + 18 - 13) / 2;
    EXPECT_EQ(kStripColors[count == 6 ? 4 : 1], Pixel(canvas, 2 + 6, top + 6));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), Pixel(canvas, 2, top + 12));  // the transparent pixel shows the brush
  }
}

TEST(CheckEditClass, EveryButtonStyleDrawsTheBoxInsideItsRectangle) {
  for (TdxEditButtonViewStyle style : {bts3D, btsFlat, btsSimple, btsHotFlat, btsDefault}) {
    SCOPED_TRACE(style);
    TBitmap canvas;
    MakeBitmap(canvas, 60, 24, clWhite);
    auto vd = CellViewData(TdxInplaceCheckEditClass::Instance(), RECT{0, 0, 60, 24}, style);
    vd->Alignment = TAlignment::taCenter;
    vd->Data = L"1";
    RECT r{0, 0, 60, 24};
    TdxInplaceCheckEditClass::Instance().DrawClientArea(canvas.Canvas().Handle(), r, *vd, false);
    RECT text = r, box{};
    TdxInplaceCheckEditClass::CalcCheckRects(StandardCheckWidth(), StandardCheckHeight(), TAlignment::taCenter, text,
                                             box);
    EXPECT_TRUE(HasInk(canvas, box, GetSysColor(COLOR_WINDOW)));
    RECT outside{box.right + 1, 0, 60, 24};
    EXPECT_FALSE(HasInk(canvas, outside, GetSysColor(COLOR_WINDOW)));
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(0, GetClipRgn(canvas.Canvas().Handle(), clip));  // the clip is put back
    DeleteObject(clip);
  }
}

TEST_F(CheckEdits, ReadOnlyHidesTheCaptionAndTheBoxAloneActivatesAndSetsTheMinimumHeight) {
  Edit->SetText(L"Caption");
  EXPECT_EQ(L"Caption", static_cast<TdxCheckEditViewData&>(*Edit->CreateViewData(false)).Caption);
  Edit->SetReadOnly(true);
  EXPECT_TRUE(static_cast<TdxCheckEditViewData&>(*Edit->CreateViewData(false)).Caption.empty());

  const auto& cls = TdxInplaceCheckEditClass::Instance();
  const RECT cell{0, 0, 100, 20};
  const int boxTop = (2 + 18 - StandardCheckHeight()) / 2;
  EXPECT_TRUE(cls.DoesEditorNeedActivating(cell, TAlignment::taLeftJustify, 3, boxTop + 1));
  EXPECT_FALSE(cls.DoesEditorNeedActivating(cell, TAlignment::taLeftJustify, 50, boxTop + 1));
  EXPECT_TRUE(cls.DoesEditorNeedActivating(cell, TAlignment::taRightJustify, 95, boxTop + 1));

  auto vd = CellViewData(cls, RECT{0, 0, 100, 20}, bts3D);
  EXPECT_GE(cls.GetMinHeight(*vd), StandardCheckHeight());
  TBitmap tall;
  MakeBitmap(tall, 60, 40, clWhite);
  static_cast<TdxCheckEditViewData&>(*vd).Glyph = &tall;
  EXPECT_EQ(40, cls.GetMinHeight(*vd));
}

}  // namespace exeditors_test
