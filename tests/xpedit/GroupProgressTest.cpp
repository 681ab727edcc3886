// The group box's frame, caption gap and disabling; the progress bar's
// chunk count, clamping, turning and its paint notification in every look.
#include "XPEditTest.h"
#include "XPGroups.h"
#include "XPProgress.h"

#include <vssym32.h>

using namespace tvk;
namespace xpedit_test {
using styled_test::PixelAt;

namespace {

struct GroupAndProgress : EditFixture {};

TEST_F(GroupAndProgress, GroupFrameLeavesAGapUnderTheCaption) {
  Look(1);
  auto* box = Make<TXPGroupBox>();
  TBitmap bitmap;
  instrument_test::PaintInto(*box, bitmap);
  TMeasureCanvas measure;
  measure.Font().Assign(box->Font());
  int top = measure.TextHeight(L"0") / 2 - 1;
  TColor frame = ColorToRGB(SubstBtnShadowColor);
  EXPECT_EQ(frame, PixelAt(bitmap, 6, top));  // no caption: a closed frame

  box->SetCaption(L"&Download");
  instrument_test::PaintInto(*box, bitmap);
  RECT gap = box->CaptionGap();
  EXPECT_EQ(4, gap.left);
  EXPECT_EQ(8 + measure.TextWidth(L"Download") + 4, gap.right);  // the "&" not measured
  EXPECT_NE(frame, PixelAt(bitmap, gap.left + 1, top));
  EXPECT_NE(frame, PixelAt(bitmap, gap.right - 1, top));
  EXPECT_EQ(frame, PixelAt(bitmap, gap.right + 1, top));
  EXPECT_EQ(frame, PixelAt(bitmap, gap.left - 1, top));
  // The caption is blue while enabled.
  EXPECT_GT(styled_test::InkIn(bitmap, clBlack, gap), 0);
  int blue = 0;
  for (int y = gap.top; y < gap.bottom; ++y)
    for (int x = gap.left; x < gap.right; ++x) blue += PixelAt(bitmap, x, y) == TColor(0xD54600);
  EXPECT_GT(blue, 0);

  RECT client = box->ClientRect();
  box->AdjustClientRect(client);
  EXPECT_EQ(measure.TextHeight(L"0") + 2, client.top);
  EXPECT_EQ(2, client.left);
}

TEST_F(GroupAndProgress, DoubleBufferedBoxErasesNothing) {
  Look(1);
  auto* box = Make<TXPGroupBox>();
  box->SetDoubleBuffered(true);
  TBitmap bitmap;
  styled_test::MakeCanvas(bitmap, box->Width(), box->Height(), clBlack);
  auto dc = reinterpret_cast<WPARAM>(bitmap.Canvas().Handle());
  EXPECT_EQ(1, box->Perform(WM_ERASEBKGND, dc));
  EXPECT_EQ(0, styled_test::InkIn(bitmap, clBlack, box->ClientRect()));
  box->SetDoubleBuffered(false);
  EXPECT_EQ(1, box->Perform(WM_ERASEBKGND, dc));
  EXPECT_GT(styled_test::InkIn(bitmap, clBlack, box->ClientRect()), 0);
}

// A child that counts the enabled-state notices it gets.
class TCountingChild : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Notices = 0;
  void WndProc(TMessage& message) override {
    if (message.Msg == CM_ENABLEDCHANGED) ++Notices;
    TCustomControl::WndProc(message);
  }
};

TEST_F(GroupAndProgress, DisablingTheBoxTellsEveryChild) {
  auto* box = Make<TXPGroupBox>();
  auto* child = new TCountingChild(form.get());
  child->SetParent(box);
  child->SetBounds(10, 30, 50, 20);
  child->SetTabStop(true);
  child->HandleNeeded();
  EXPECT_TRUE(child->CanFocus());
  box->SetEnabled(false);
  EXPECT_EQ(1, child->Notices);
  EXPECT_FALSE(child->CanFocus());
  for (int mode : {0, 1, 2}) {
    Look(mode);
    TBitmap bitmap;
    EXPECT_NO_FATAL_FAILURE(instrument_test::PaintInto(*box, bitmap));
  }
}

TEST_F(GroupAndProgress, EveryStartedChunkCounts) {
  EXPECT_EQ(0, TXPProgressBar::ChunkCount(0, 0, 0, 296, 7, 2));
  EXPECT_EQ(1, TXPProgressBar::ChunkCount(0, 1000, 1, 296, 7, 2));
  EXPECT_EQ(33, TXPProgressBar::ChunkCount(0, 1000, 1000, 296, 7, 2));
  EXPECT_EQ(1, TXPProgressBar::ChunkCount(0, 1000, 30, 296, 7, 2));  // 30 pixels' worth: still the first
  // Large ranges do not overflow.
  EXPECT_EQ(33, TXPProgressBar::ChunkCount(-2000000000, 2000000000, 2000000000, 296, 7, 2));

  Look(0);
  auto* bar = Make<TXPProgressBar>();
  bar->SetBounds(10, 10, 300, 17);
  bar->SetMax(1000);
  bar->SetPosition(1);
  TBitmap bitmap;
  instrument_test::PaintInto(*bar, bitmap);
  EXPECT_EQ(1, bar->PaintedChunks());
  EXPECT_EQ(TColor(ColorToRGB(clHighlight)), PixelAt(bitmap, 3, 8));
  EXPECT_NE(TColor(ColorToRGB(clHighlight)), PixelAt(bitmap, 3 + 9 + 2, 8));
}

TEST_F(GroupAndProgress, EmulatedLookFillsAFullBarWithChunks) {
  Look(1);
  auto* bar = Make<TXPProgressBar>();
  bar->SetBounds(10, 10, 300, 17);
  bar->SetMax(1000);
  bar->SetPosition(1000);
  TBitmap bitmap;
  instrument_test::PaintInto(*bar, bitmap);
  // 292 pixels inside the frame: 30 chunk pictures of 10 (the last one cut), edge to edge.
  EXPECT_EQ(30, bar->PaintedChunks());
  bar->SetPosition(0);
  instrument_test::PaintInto(*bar, bitmap);
  EXPECT_EQ(0, bar->PaintedChunks());
}

// The theme's chunk and gap as a theme would answer them, and what was asked.
struct ThemeChunk {
  static inline int Chunk = 0, Space = 0;
  static inline std::vector<std::pair<int, int>> Asked;  // part, state
  static HRESULT Read(HTHEME, int part, int state, int property, int* value) {
    Asked.emplace_back(part, state);
    *value = property == TMT_PROGRESSCHUNKSIZE ? Chunk : Space;
    return S_OK;
  }
};

TEST_F(GroupAndProgress, ThemedChunksAreAsLongAndApartAsTheThemeSays) {
  Look(2);
  OverrideWin32Version(6, 1);  // no inset in the themed look
  auto* bar = Make<TXPProgressBar>();
  bar->SetBounds(10, 10, 150, 17);
  bar->SetMax(100);
  TBitmap empty;
  instrument_test::PaintInto(*bar, empty);
  const TThemeIntReader saved = SetThemeIntReader(&ThemeChunk::Read);
  struct TRestore {
    TThemeIntReader Reader;
    ~TRestore() { SetThemeIntReader(Reader); }
  } restore{saved};
  struct Case {
    int Chunk, Space;
    int Length, Gap;  // what the chunks are drawn with
  };
  // A theme that answers neither keeps the bar's own 10 and 2.
  for (const Case& c : {Case{0, 0, 10, 2}, Case{6, 1, 6, 1}, Case{9, 3, 9, 3}}) {
    SCOPED_TRACE(::testing::Message() << "theme " << c.Chunk << "/" << c.Space);
    ThemeChunk::Chunk = c.Chunk;
    ThemeChunk::Space = c.Space;
    ThemeChunk::Asked.clear();
    bar->SetPosition(40);
    TBitmap bitmap;
    instrument_test::PaintInto(*bar, bitmap);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{PP_CHUNK, 1}, {PP_CHUNK, 1}}), ThemeChunk::Asked);
    const int n = TXPProgressBar::ChunkCount(0, 100, 40, 150, c.Length, c.Gap);
    EXPECT_EQ(n, bar->PaintedChunks());
    const int y = 8;
    for (int i = 0; i < n; ++i) {
      const int x = i * (c.Length + c.Gap);
      for (int dx : {0, c.Length - 1})
        EXPECT_NE(PixelAt(empty, x + dx, y), PixelAt(bitmap, x + dx, y)) << "chunk " << i << " at " << x + dx;
      EXPECT_EQ(PixelAt(empty, x + c.Length, y), PixelAt(bitmap, x + c.Length, y)) << "gap after chunk " << i;
    }
    const int end = n * (c.Length + c.Gap);
    EXPECT_EQ(PixelAt(empty, end + 1, y), PixelAt(bitmap, end + 1, y)) << "nothing past the last chunk";
  }
  // No gap: one fill as long as the position says.
  ThemeChunk::Chunk = 4;
  ThemeChunk::Space = 0;
  bar->SetPosition(50);
  TBitmap bitmap;
  instrument_test::PaintInto(*bar, bitmap);
  EXPECT_EQ(0, bar->PaintedChunks());
  EXPECT_NE(PixelAt(empty, 74, 8), PixelAt(bitmap, 74, 8));
  EXPECT_EQ(PixelAt(empty, 76, 8), PixelAt(bitmap, 76, 8));
}

TEST_F(GroupAndProgress, PositionIsClampedUnlessTheRangeIsZero) {
  auto* bar = Make<TXPProgressBar>();
  bar->SetPosition(150);
  EXPECT_EQ(100, bar->Position());
  bar->SetMax(40);
  EXPECT_EQ(40, bar->Position());
  bar->SetMin(30);
  bar->SetPosition(10);
  EXPECT_EQ(30, bar->Position());
  bar->SetMin(0);
  bar->SetMax(0);
  bar->SetPosition(77);
  EXPECT_EQ(77, bar->Position());
  bar->StepIt();
  EXPECT_EQ(87, bar->Position());
}

TEST_F(GroupAndProgress, TurningAFreeBarSwapsItsSize) {
  auto* bar = Make<TXPProgressBar>();
  bar->SetBounds(10, 10, 150, 17);
  bar->SetOrientation(TProgressBarOrientation::pbVertical);
  EXPECT_EQ(17, bar->Width());
  EXPECT_EQ(150, bar->Height());
  auto* aligned = Make<TXPProgressBar>();
  aligned->SetAlign(TAlign::alBottom);
  int width = aligned->Width(), height = aligned->Height();
  aligned->SetOrientation(TProgressBarOrientation::pbVertical);
  EXPECT_EQ(width, aligned->Width());
  EXPECT_EQ(height, aligned->Height());
}

TEST_F(GroupAndProgress, PostPaintFiresInEveryLookAndTheEmulatedLookKeepsChunksWhenSmooth) {
  for (int mode : {0, 1, 2}) {
    for (auto orientation : {TProgressBarOrientation::pbHorizontal, TProgressBarOrientation::pbVertical}) {
      Look(mode);
      auto* bar = Make<TXPProgressBar>();
      bar->SetOrientation(orientation);
      bar->SetPosition(37);
      bar->SetSmooth(true);
      int posts = 0;
      bar->OnPostPaint = [&](TObject*) { ++posts; };
      TBitmap bitmap;
      instrument_test::PaintInto(*bar, bitmap);
      EXPECT_EQ(1, posts) << "mode " << mode;
      if (mode == 1) {
        EXPECT_GT(bar->PaintedChunks(), 0);
      } else if (mode == 0) {
        EXPECT_EQ(0, bar->PaintedChunks());
      }
      delete bar;
    }
  }
  auto* custom = Make<TXPProgressBar>();
  custom->SetLookAndFeel(TXPLookAndFeel::xlfCustom);
  custom->SetBarColor(clRed);
  custom->SetPosition(50);
  int posts = 0;
  custom->OnPostPaint = [&](TObject*) { ++posts; };
  TBitmap bitmap;
  instrument_test::PaintInto(*custom, bitmap);
  EXPECT_EQ(1, posts);
  EXPECT_EQ(TColor(ColorToRGB(clRed)), PixelAt(bitmap, 3, custom->Height() / 2));
}

}  // namespace

}  // namespace xpedit_test
