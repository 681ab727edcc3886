// The styled control base, driven as the system drives it: printing with and
// without the frame (the GetWindowDC detour), the modified-state query, the
// smooth-draw switch, transparency over a patterned parent, the non-flicker
// size calculation, the code-hook writer, and a unit's skin cache.
#include <gtest/gtest.h>

#include "Forms.h"
#include "StyledTest.h"
#include "XPControlUtils.h"
#include "XPControls.h"
#include "XPSystem.h"

#include <cstring>
#include <thread>

using namespace tvk;
namespace styled_test {

namespace {

// A bordered control whose frame is painted as styled controls paint theirs:
// through GetWindowDC, in red. While it paints it also asks for the context
// of another window and, from another thread, of its own.
class Framed : public TXPCustomControl {
public:
  TVK_CLASS(Framed, TXPCustomControl)
  using TXPCustomControl::TXPCustomControl;
  HWND Other = nullptr;
  HDC FrameDC = nullptr, OtherDC = nullptr, ThreadDC = nullptr;
  int NCPaints = 0, SmoothChanges = 0, Clears = 0;
  bool Modified = false;

  bool GetModified() override { return Modified; }
  void ClearModified() override { ++Clears; }
  void SmoothDrawChanged() override {
    ++SmoothChanges;
    TXPCustomControl::SmoothDrawChanged();
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TXPCustomControl::CreateParams(params);
    params.Style |= WS_BORDER;
  }
  void Paint() override {
    Canvas().Brush().SetColor(clLime);
    Canvas().FillRect(RECT{0, 0, ClientWidth(), ClientHeight()});
  }
  TVK_MESSAGES();
  void WMNCPaint(TMessage& message) {
    ++NCPaints;
    HWND window = Handle();
    FrameDC = GetWindowDC(window);
    RECT r{0, 0, Width(), Height()};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FrameRect(FrameDC, &r, red);
    DeleteObject(red);
    OtherDC = GetWindowDC(Other);
    std::thread([&] { ThreadDC = GetWindowDC(window); }).join();
    if (ThreadDC && ThreadDC != FrameDC) ReleaseDC(window, ThreadDC);
    if (OtherDC && OtherDC != FrameDC) ReleaseDC(Other, OtherDC);
    ReleaseDC(window, FrameDC);
    message.Result = 0;
  }
};

TVK_MESSAGE_MAP(Framed, {WM_NCPAINT, &Framed::WMNCPaint})

struct ControlBase : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  Framed* Control;
  TCustomControl* Other;
  ControlBase() {
    // Each test starts before the first print request of the process.
    XPControlsShutdown();
    XPControlsStartup();
    Control = new Framed(Form.get());
    Control->SetParent(Form.get());
    Control->SetBounds(0, 0, 30, 20);
    Other = new TCustomControl(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(40, 0, 10, 10);
    Form->HandleNeeded();
    Control->Other = Other->Handle();
  }
  ~ControlBase() override {
    XPControlsShutdown();
    XPControlsStartup();
  }
  // A print into a 32-bit bitmap of the window's size.
  void Print(TBitmap& target, LPARAM flags) {
    MakeCanvas(target, 30, 20, clWhite);
    SendMessageW(Control->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), flags);
  }
};

TEST_F(ControlBase, PrintingTheFrameHandsThePrintContextToThisWindowOnThisThreadOnly) {
  const auto original = EntryBytes();
  TBitmap target;
  Print(target, PRF_NONCLIENT | PRF_CLIENT);
  EXPECT_EQ(1, Control->NCPaints);
  EXPECT_EQ(target.Canvas().Handle(), Control->FrameDC);
  EXPECT_EQ(clRed, PixelAt(target, 0, 0));  // the frame landed in the print
  EXPECT_EQ(clRed, PixelAt(target, 29, 19));
  EXPECT_NE(nullptr, Control->OtherDC);
  EXPECT_NE(Control->FrameDC, Control->OtherDC);   // another window: its own context
  EXPECT_NE(nullptr, Control->ThreadDC);
  EXPECT_NE(Control->FrameDC, Control->ThreadDC);  // another thread: its own context
  EXPECT_TRUE(GetWindowDCHooked());
  const TCodeHook& hook = GetWindowDCHook();
  ASSERT_NE(nullptr, hook.Address);
  EXPECT_EQ(0xE9, EntryBytes()[0]);
  EXPECT_EQ(original, hook.SavedBytes);
  if (sizeof(void*) == 8) {
    EXPECT_NE(nullptr, hook.Relay);  // the system library lies beyond a 32-bit jump
  }

  // Between prints the system's answer, and the patch stays in place.
  HDC between = GetWindowDC(Control->Handle());
  EXPECT_NE(nullptr, between);
  EXPECT_NE(target.Canvas().Handle(), between);
  ReleaseDC(Control->Handle(), between);
  EXPECT_EQ(0xE9, EntryBytes()[0]);

  XPControlsShutdown();  // the entry bytes are put back
  EXPECT_FALSE(GetWindowDCHooked());
  EXPECT_EQ(original, EntryBytes());
}

TEST_F(ControlBase, WithoutTheFrameFlagOnlyTheClientIsPrintedAndNothingIsPatched) {
  const auto original = EntryBytes();
  TBitmap target;
  Print(target, PRF_CLIENT);
  EXPECT_EQ(0, Control->NCPaints);
  EXPECT_FALSE(GetWindowDCHooked());
  EXPECT_EQ(original, EntryBytes());
  EXPECT_EQ(clLime, PixelAt(target, 10, 10));
  Control->Hide();
  Print(target, PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT);
  EXPECT_EQ(0, Control->NCPaints);
  EXPECT_EQ(clWhite, PixelAt(target, 10, 10));
}

TEST_F(ControlBase, TheModifiedStateQuery) {
  HWND w = Control->Handle();
  EXPECT_EQ(0, SendMessageW(w, XPM_MODIFIEDSTATE, kModifiedQuery, 0));
  Control->Modified = true;
  EXPECT_EQ(1, SendMessageW(w, WM_USER + 1, 1, 0));
  SendMessageW(w, WM_USER + 1, 2, 0);
  EXPECT_EQ(1, Control->Clears);
  SendMessageW(w, WM_USER + 1, 3, 0);  // anything else does nothing
  EXPECT_EQ(1, Control->Clears);
  TXPCustomControl plain(Form.get());
  plain.SetParent(Form.get());
  EXPECT_EQ(0, SendMessageW(plain.Handle(), WM_USER + 1, 1, 0));
  EXPECT_TRUE(plain.ControlStyle() & csDisplayDragImage);
  plain.SetParent(nullptr);
}

TEST_F(ControlBase, SmoothDrawChangesOnlyWhenItsValueDoes) {
  Control->SetSmoothDraw(false);
  EXPECT_EQ(0, Control->SmoothChanges);
  Control->SetSmoothDraw(true);
  EXPECT_EQ(1, Control->SmoothChanges);
  EXPECT_TRUE(Control->SmoothDraw());
  EXPECT_EQ(1, SendMessageW(Control->Handle(), WM_ERASEBKGND, 0, 0));  // Paint draws the background
}

// A parent painting a checkerboard, and a transparent control on it that
// paints only a frame of its own.
class Checkers : public TCustomControl {
public:
  TVK_CLASS(Checkers, TCustomControl)
  using TCustomControl::TCustomControl;

protected:
  void Paint() override {
    for (int y = 0; y < ClientHeight(); y += 5)
      for (int x = 0; x < ClientWidth(); x += 5) {
        Canvas().Brush().SetColor((x / 5 + y / 5) % 2 ? clBlue : clYellow);
        Canvas().FillRect(RECT{x, y, x + 5, y + 5});
      }
  }
};

class Glass : public TXPCustomTransparentControl {
public:
  TVK_CLASS(Glass, TXPCustomTransparentControl)
  using TXPCustomTransparentControl::TXPCustomTransparentControl;
  int Changes = 0;

protected:
  void TransparentChanged() override {
    ++Changes;
    TXPCustomTransparentControl::TransparentChanged();
  }
  void Paint() override {
    Canvas().Brush().SetColor(clRed);
    Canvas().FrameRect(RECT{0, 0, ClientWidth(), ClientHeight()});
  }
};

TEST_F(ControlBase, ATransparentControlShowsItsParentBehindItsOwnPainting) {
  auto* parent = new Checkers(Form.get());
  parent->SetParent(Form.get());
  parent->SetBounds(0, 30, 60, 40);
  auto* glass = new Glass(Form.get());
  glass->SetParent(parent);
  glass->SetBounds(7, 3, 20, 20);
  glass->SetColor(clGray);
  TBitmap target;
  MakeCanvas(target, 20, 20, clWhite);
  HDC dc = target.Canvas().Handle();
  SendMessageW(glass->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT);
  EXPECT_EQ(clRed, PixelAt(target, 0, 0));
  for (int x = 1; x < 19; ++x) EXPECT_EQ(((x + 7) / 5 + (5 + 3) / 5) % 2 ? clBlue : clYellow, PixelAt(target, x, 5)) << x;
  glass->SetTransparent(true);
  EXPECT_EQ(0, glass->Changes);
  glass->SetTransparent(false);
  EXPECT_EQ(1, glass->Changes);
  MakeCanvas(target, 20, 20, clWhite);
  SendMessageW(glass->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT);
  EXPECT_EQ(clGray, PixelAt(target, 5, 5));  // opaque: its own colour
}

class Sizer : public TXPNonFlickingControl {
public:
  TVK_CLASS(Sizer, TXPNonFlickingControl)
  using TXPNonFlickingControl::TXPNonFlickingControl;
};

TEST_F(ControlBase, ANonFlickerControlKeepsItsOldPictureButTheLastPixelsOnResize) {
  auto* sizer = new Sizer(Form.get());
  sizer->SetParent(Form.get());
  sizer->SetBounds(0, 80, 50, 40);
  HWND w = sizer->Handle();
  EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CLIPCHILDREN);
  EXPECT_EQ(0u, GetClassLongPtrW(w, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW));
  // Growing from 50 x 40 to 70 x 60 at the same place.
  NCCALCSIZE_PARAMS params{};
  params.rgrc[0] = RECT{0, 80, 70, 140};  // the new window rectangle
  params.rgrc[1] = RECT{0, 80, 50, 120};  // the old one
  params.rgrc[2] = RECT{0, 80, 50, 120};  // the old client rectangle
  WINDOWPOS pos{};
  params.lppos = &pos;
  LRESULT r = SendMessageW(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
  EXPECT_EQ(WVR_VALIDRECTS, r);
  EXPECT_EQ((RECT{0, 80, 48, 118}), params.rgrc[2]);  // the kept part: all but FDelta at right and bottom
  // Shrinking keeps what still fits, less the same margin.
  params.rgrc[0] = RECT{0, 80, 30, 100};
  params.rgrc[1] = RECT{0, 80, 50, 120};
  r = SendMessageW(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
  EXPECT_EQ((RECT{0, 80, 28, 98}), params.rgrc[2]);
}

// ---- The code-hook writer, on functions of this program

__attribute__((noinline)) int Original(int x) { return x * 3 + 1; }
__attribute__((noinline)) int Replacement(int x) { return x * 5 + 2; }

TEST(CodeHook, RedirectsAFunctionAndPutsItBack) {
  int (*volatile call)(int) = &Original;
  TCodeHook hook;
  ASSERT_TRUE(InstallCodeHook(reinterpret_cast<void*>(&Original), reinterpret_cast<const void*>(&Replacement), hook));
  EXPECT_EQ(reinterpret_cast<void*>(&Original), hook.Address);
  EXPECT_EQ(nullptr, hook.Relay);  // within reach: a direct jump
  EXPECT_EQ(12, call(2));
  RemoveCodeHook(hook);
  EXPECT_EQ(7, call(2));
  EXPECT_NE(nullptr, hook.Address);  // the record can be installed again
  ASSERT_TRUE(InstallCodeHook(hook.Address, reinterpret_cast<const void*>(&Replacement), hook));
  EXPECT_EQ(22, call(4));
  RemoveCodeHook(hook);
  EXPECT_EQ(13, call(4));
  TCodeHook none;
  EXPECT_NO_THROW(RemoveCodeHook(none));
}

// ---- A unit's skin cache

constexpr TSkinRow kSkins[] = {
    {L"SCROLLARROWS", TSkinKind::skBitmapHandle},
    {L"SCROLLARROWS", TSkinKind::skBitmap},
    {L"", TSkinKind::skBitmap},
    {L"TABPANEEDGE", TSkinKind::skAlphaImage},
    {L"STDSCROLLPATTERN", TSkinKind::skAlphaTemplate},
    {nullptr, TSkinKind::skStockIcon, 77 /* SIID_SHIELD */},
    {L"NO_SUCH_BITMAP", TSkinKind::skBitmapHandle},
};

TEST(SkinCache, LoadsEverySkinOnceOnFirstUseAndFreesThemAll) {
  TSkinCache skins(kSkins);
  EXPECT_FALSE(skins.Loaded());
  HBITMAP arrows = skins.BitmapHandle(0);
  ASSERT_NE(nullptr, arrows);
  BITMAP bm{};
  GetObjectW(arrows, sizeof bm, &bm);
  EXPECT_EQ(17, bm.bmWidth);
  EXPECT_EQ(68, bm.bmHeight);  // four states stacked downwards
  EXPECT_EQ(17, skins.Bitmap(1).Width());
  EXPECT_TRUE(skins.Bitmap(2).Empty());
  EXPECT_EQ(48u, skins.AlphaImage(3).Width());
  EXPECT_EQ(8u, skins.AlphaImage(4).Width());
  // The shield as the system hands it out (Wine's shell gives no stock icons).
  HICON shield = GetStockIconHandle(77, false);
  EXPECT_EQ(shield != nullptr, !skins.Icon(5).Empty());
  if (shield) DestroyIcon(shield);
  EXPECT_EQ(nullptr, skins.BitmapHandle(6));
  EXPECT_EQ(1, skins.LoadCount());
  int prepared = TXPControlManager::PreparedImageCount();
  skins.Release();
  EXPECT_FALSE(skins.Loaded());
  EXPECT_EQ(prepared - 1, TXPControlManager::PreparedImageCount());  // no recolouring of a freed image
  EXPECT_EQ(0, GetObjectW(arrows, sizeof bm, &bm));                  // the handle is gone
}

TEST(SkinCache, AMissingResourceRaisesAtFirstUseAndLeavesNothingLoaded) {
  static constexpr TSkinRow rows[] = {{L"STDSCROLLPATTERN", TSkinKind::skAlphaTemplate},
                                      {L"NO_SUCH_SKIN", TSkinKind::skAlphaImage}};
  TSkinCache skins(rows);
  int prepared = TXPControlManager::PreparedImageCount();
  EXPECT_THROW(skins.AlphaImage(0), EResNotFound);
  EXPECT_FALSE(skins.Loaded());
  EXPECT_EQ(prepared, TXPControlManager::PreparedImageCount());
  EXPECT_THROW(skins.AlphaImage(0), EResNotFound);  // tried again, not half loaded
}

}  // namespace

}  // namespace styled_test
