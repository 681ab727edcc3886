// Picture values (bytes carried in a string) and the sizable pop-up frame routines.
#include "PictureEditorsTest.h"

#include "Variants.h"
#include "dxExUtils.h"

#include <cstring>
#include <vector>

using namespace tvk;
using picture_test::FillBitmap;
using picture_test::PixelAt;
using picture_test::SameRect;

namespace {

// A graphic that keeps the bytes it was loaded from, so a test sees where reading began.
class TRecordingGraphic : public TGraphic {
public:
  TVK_CLASS(TRecordingGraphic, TGraphic)
  std::vector<std::uint8_t> Loaded;
  bool Empty() const override { return Loaded.empty(); }
  int Width() const override { return 1; }
  int Height() const override { return 1; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void Draw(TCanvas&, const RECT&) override {}
  void LoadFromStream(TStream& stream) override {
    Loaded.resize(std::size_t(stream.Size() - stream.Position()));
    stream.ReadBuffer(Loaded.data(), Loaded.size());
  }
  void SaveToStream(TStream& stream) override { stream.WriteBuffer(Loaded.data(), Loaded.size()); }
  void Assign(const TPersistent& source) override {
    if (auto* other = dynamic_cast<const TRecordingGraphic*>(&source)) Loaded = other->Loaded;
  }
};

// A value of N characters carrying Bytes in the first N bytes of its storage.
WideString ValueOfBytes(const std::vector<std::uint8_t>& bytes) {
  WideString text(bytes.size(), L'\0');
  std::memcpy(text.data(), bytes.data(), bytes.size());
  return text;
}

TEST(PictureValue, ABitmapComesBackPixelForPixelWhateverTheGraphicClassAsked) {
  TPicture picture;
  TBitmap& bitmap = picture.Bitmap();
  FillBitmap(bitmap, 7, 5, 0x00123456);
  SetPixel(bitmap.Canvas().Handle(), 3, 2, RGB(250, 10, 20));
  const WideString text = SavePictureToText(&picture);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(L'B' | (L'M' << 8), text[0] & 0xFFFF) << "no header is written";

  for (TGraphicClass graphicClass : {TGraphicClass(nullptr), GraphicClassOf<TBitmap>()}) {
    TPicture loaded;
    LoadPictureFromValue(loaded, graphicClass, Variant(text));
    auto* copy = dynamic_cast<TBitmap*>(loaded.Graphic());
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(7, copy->Width());
    EXPECT_EQ(5, copy->Height());
    EXPECT_EQ(RGB(250, 10, 20), PixelAt(*copy, 3, 2));
    EXPECT_EQ(RGB(0x56, 0x34, 0x12), PixelAt(*copy, 0, 0));
  }
}

TEST(PictureValue, AnEmptyPictureSavesAsTheEmptyText) {
  TPicture picture;
  EXPECT_TRUE(SavePictureToText(&picture).empty());
  EXPECT_TRUE(SavePictureToText(nullptr).empty());
  picture.Bitmap().SetSize(0, 0);
  EXPECT_TRUE(IsPictureEmpty(&picture));
  EXPECT_TRUE(SavePictureToText(&picture).empty());
}

struct HeaderRow {
  std::uint16_t Count;
  std::uint16_t Type;
  int SizeDelta;  // added to N - 8
  std::size_t ExpectedStart;
};

class PictureValueHeader : public ::testing::TestWithParam<HeaderRow> {};

TEST_P(PictureValueHeader, OnlyAnExactHeaderIsSkipped) {
  const HeaderRow row = GetParam();
  const std::vector<std::uint8_t> payload{0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
  std::vector<std::uint8_t> bytes(8);
  const std::uint32_t size = std::uint32_t(int(payload.size()) + row.SizeDelta);
  bytes[0] = std::uint8_t(row.Count);
  bytes[1] = std::uint8_t(row.Count >> 8);
  bytes[2] = std::uint8_t(row.Type);
  bytes[3] = std::uint8_t(row.Type >> 8);
  for (int i = 0; i < 4; ++i) bytes[std::size_t(4 + i)] = std::uint8_t(size >> (8 * i));
  bytes.insert(bytes.end(), payload.begin(), payload.end());

  TPicture picture;
  LoadPictureFromValue(picture, GraphicClassOf<TRecordingGraphic>(), Variant(ValueOfBytes(bytes)));
  auto* graphic = dynamic_cast<TRecordingGraphic*>(picture.Graphic());
  ASSERT_NE(nullptr, graphic);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + std::ptrdiff_t(row.ExpectedStart), bytes.end()),
            graphic->Loaded);
}

INSTANTIATE_TEST_SUITE_P(Rows, PictureValueHeader,
                         ::testing::Values(HeaderRow{1, 0x0100, 0, 8}, HeaderRow{1, 0x0100, 1, 0},
                                           HeaderRow{1, 0x0100, -1, 0}, HeaderRow{2, 0x0100, 0, 0},
                                           HeaderRow{1, 0x0001, 0, 0}, HeaderRow{0, 0x0100, 0, 0}));

TEST(PictureValue, ShortTextsAndValuesThatAreNoTextClearThePicture) {
  std::vector<Variant> values{Variant(int32_t(1234)), Null(), Unassigned(), Variant(2.5)};
  for (std::size_t n = 1; n <= 7; ++n) values.emplace_back(WideString(n, L'\x4D42'));
  for (const Variant& value : values) {
    TPicture picture;
    FillBitmap(picture.Bitmap(), 4, 4, clRed);
    LoadPictureFromValue(picture, nullptr, value);
    EXPECT_EQ(nullptr, picture.Graphic()) << "kind " << VarType(value);
  }
}

TEST(PictureValue, DamagedBytesRaiseAndLeaveThePictureAsItWas) {
  TPicture source;
  FillBitmap(source.Bitmap(), 6, 6, clBlue);
  WideString text = SavePictureToText(&source);
  text.resize(text.size() / 2);  // the pixel data is cut short

  TPicture picture;
  FillBitmap(picture.Bitmap(), 3, 2, clRed);
  EXPECT_THROW(LoadPictureFromValue(picture, nullptr, Variant(text)), Exception);
  ASSERT_NE(nullptr, picture.Graphic());
  EXPECT_EQ(3, picture.Graphic()->Width());
}

TEST(ReadOnlyMemoryStream, ReadsTheCallersBlockAndWritesNothing) {
  const std::uint8_t block[4] = {1, 2, 3, 4};
  TMemoryStreamReadOnly stream;
  stream.SetBuffer(block, sizeof block);
  stream.SetPosition(1);
  std::uint8_t out[8] = {};
  EXPECT_EQ(3u, stream.Read(out, sizeof out));
  EXPECT_EQ(2, out[0]);
  stream.SetPosition(0);
  EXPECT_EQ(0u, stream.Write(out, 2));
  EXPECT_EQ(1, block[0]);
  EXPECT_EQ(4, stream.Size());
}

// --- frame routines

TEST(PopupFrame, CaptionHeightAndHitTestCodes) {
  const int expected = std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, GetSystemMetrics(SM_CYSIZE)) + 1;
  EXPECT_EQ(expected, GetPopupCaptionHeight());
  EXPECT_EQ(HTTOPLEFT, CornerToHitTest(coTopLeft));
  EXPECT_EQ(HTTOPRIGHT, CornerToHitTest(coTopRight));
  EXPECT_EQ(HTBOTTOMLEFT, CornerToHitTest(coBottomLeft));
  EXPECT_EQ(HTBOTTOMRIGHT, CornerToHitTest(coBottomRight));
}

struct CloseButtonRow {
  int ButtonWidth;
  TdxCorner Corner;
  RECT Expected;
};

class PopupCloseButton : public ::testing::TestWithParam<CloseButtonRow> {};

// On a strip (0, 0, 100, 20): the button sits at the end away from the grip,
// one pixel lower for the bottom corners.
TEST_P(PopupCloseButton, SitsAtTheEndAwayFromTheGrip) {
  const CloseButtonRow row = GetParam();
  TBitmap bitmap;
  FillBitmap(bitmap, 100, 20, clWhite);
  RECT r{0, 0, 100, 20};
  DrawPopupCloseButtonSized(bitmap.Canvas().Handle(), r, true, row.Corner, 0, row.ButtonWidth);
  EXPECT_TRUE(SameRect(row.Expected, r));
}

INSTANTIATE_TEST_SUITE_P(
    Corners, PopupCloseButton,
    ::testing::Values(CloseButtonRow{18, coTopRight, {1, 2, 17, 17}}, CloseButtonRow{18, coBottomRight, {1, 3, 17, 18}},
                      CloseButtonRow{18, coTopLeft, {83, 2, 99, 17}}, CloseButtonRow{18, coBottomLeft, {83, 3, 99, 18}},
                      CloseButtonRow{22, coTopRight, {1, 1, 21, 20}}, CloseButtonRow{22, coBottomRight, {1, 2, 21, 21}},
                      CloseButtonRow{22, coTopLeft, {79, 1, 99, 20}}, CloseButtonRow{22, coBottomLeft, {79, 2, 99, 21}}));

// The grip of each corner is the standard bottom-right grip mirrored into that corner.
TEST(PopupFrame, EachCornersGripMirrorsTheStandardOne) {
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const int w = 60, h = 40;
  auto draw = [&](TdxCorner corner, TBitmap& bitmap) {
    FillBitmap(bitmap, w, h, clWhite);
    RECT r{0, 0, w, h};
    DrawCornerSizeGrip(bitmap.Canvas().Handle(), r, corner);
    return r;
  };
  TBitmap standard;
  const RECT br = draw(coBottomRight, standard);
  EXPECT_TRUE(SameRect(RECT{w - cx, h - cy, w, h}, br));
  // The two outer rows and columns are button face; the grip's lines lie inside them.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(face, PixelAt(standard, w - 1, h - 1));
  EXPECT_EQ(face, PixelAt(standard, w - 2, h - cy));
  EXPECT_EQ(face, PixelAt(standard, w - cx, h - 2));
  EXPECT_EQ(RGB(255, 255, 255), PixelAt(standard, w - cx - 1, h - 1));

  for (TdxCorner corner : {coTopLeft, coTopRight, coBottomLeft}) {
    TBitmap mirrored;
    const RECT r = draw(corner, mirrored);
    const bool mx = !IsRightCorner(corner), my = !IsBottomCorner(corner);
    EXPECT_TRUE(SameRect(RECT{mx ? 0 : w - cx, my ? 0 : h - cy, mx ? cx : w, my ? cy : h}, r));
    int differences = 0;
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x) {
        const COLORREF got = PixelAt(mirrored, r.left + (mx ? cx - 1 - x : x), r.top + (my ? cy - 1 - y : y));
        if (got != PixelAt(standard, br.left + x, br.top + y)) ++differences;
      }
    EXPECT_EQ(0, differences) << "corner " << corner;
  }
}

}  // namespace
