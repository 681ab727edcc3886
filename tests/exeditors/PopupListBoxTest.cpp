// The drop-down editors' list: a top-level owner-drawn list box with the pop-up frame.
#include "ExEditorsTest.h"
#include "dxPopupListBox.h"

using namespace tvk;
namespace exeditors_test {
using namespace inplace_test;

namespace {

struct PopupLists : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TImageList* Images = nullptr;
  TdxPopupImageListBox* List = nullptr;

  void SetUp() override {
    FailOnException();
    Form->SetBounds(0, 0, 300, 300);
    Images = new TImageList(Form.get());
    Images->SetSize(16, 16);
    TBitmap red, blue;
    MakeBitmap(red, 16, 16, clRed);
    MakeBitmap(blue, 16, 16, clBlue);
    Images->AddMasked(red, clFuchsia);
    Images->AddMasked(blue, clFuchsia);
    List = new TdxPopupImageListBox(Form.get());
    List->SetParent(Form.get());  // the owner of its drawing, as an editor is
    List->SetImages(Images);
    List->Items().AddObject(L"first", PictureIndexObject(1));
    List->Items().AddObject(L"second", PictureIndexObject(-2));
    List->Items().AddObject(L"third", PictureIndexObject(0));
    List->SetBounds(50, 50, 120, 80);
  }
  void TearDown() override { tvk::Application().OnException = nullptr; }
};

}  // namespace

TEST_F(PopupLists, TheListIsATopLevelToolWindowThatSavesWhatItCoversAndShowsNoHints) {
  HWND list = List->Handle();
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(list, GA_PARENT));
  const LONG ex = GetWindowLongW(list, GWL_EXSTYLE);
  EXPECT_EQ(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ex & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CLIENTEDGE));
  EXPECT_EQ(0, GetWindowLongW(list, GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(static_cast<ULONG_PTR>(CS_SAVEBITS), GetClassLongPtrW(list, GCL_STYLE) & (CS_SAVEBITS | CS_DBLCLKS));
  EXPECT_EQ(3, SendMessageW(list, LB_GETCOUNT, 0, 0));
  EXPECT_NE(0, HintShowAnswer(*List));
}

TEST_F(PopupLists, ItemsAreAsHighAsTheirPictureAndHoldItsIndex) {
  HWND list = List->Handle();
  EXPECT_GE(List->RealItemHeight(), 18);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(List->RealItemHeight(), SendMessageW(list, LB_GETITEMHEIGHT, i, 0));
  EXPECT_EQ(-2, static_cast<int>(SendMessageW(list, LB_GETITEMDATA, 1, 0)));
  List->SetImages(nullptr);  // recreated: the text alone sets the height
  EXPECT_LT(SendMessageW(List->Handle(), LB_GETITEMHEIGHT, 0, 0), 18 + 1);
  EXPECT_EQ(3, SendMessageW(List->Handle(), LB_GETCOUNT, 0, 0));
  EXPECT_EQ(1, List->SelectString(-1, L"sec"));
  EXPECT_EQ(1, List->ItemIndex());
}

TEST_F(PopupLists, TheFrameAndShadowTakeTheirWidthFromTheClientArea) {
  struct Case {
    TdxPopupBorderStyle Border;
    bool Shadow;
    int Width, Height;
  } const cases[] = {{pbSingle, false, 118, 78}, {pbFrame3D, false, 112, 72}, {pbFlat, true, 114, 74},
                     {pbFrame3D, true, 110, 70}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "border " << c.Border << " shadow " << c.Shadow);
    List->SetPopupBorderStyle(c.Border);
    List->SetShadow(c.Shadow);
    RECT client{};
    GetClientRect(List->Handle(), &client);
    EXPECT_EQ(c.Width, client.right);
    EXPECT_EQ(c.Height, client.bottom);
  }
}

TEST_F(PopupLists, TheMouseSelectsTheItemUnderItAndNothingBelowTheItems) {
  HWND list = List->Handle();
  const int h = List->RealItemHeight();
  SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(10, h + h / 2));
  EXPECT_EQ(1, List->ItemIndex());
  SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(10, h / 2));
  EXPECT_EQ(0, List->ItemIndex());
  SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(10, 3 * h + 4));
  EXPECT_EQ(-1, List->ItemIndex());
  List->SetHotTrack(false);
  SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(10, h / 2));
  EXPECT_EQ(-1, List->ItemIndex());
}

TEST_F(PopupLists, EachItemPaintsItsPictureAndAMissingPictureLeavesTheBackground) {
  List->SetPopupBorderStyle(pbSingle);
  HWND list = List->Handle();
  TBitmap canvas;
  MakeBitmap(canvas, 118, 78, clWhite);
  SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Canvas().Handle()), PRF_CLIENT);
  const int h = List->RealItemHeight();
  EXPECT_EQ(RGB(0, 0, 255), Pixel(canvas, 1 + 8, h / 2));          // first: picture 1
  EXPECT_EQ(RGB(255, 0, 0), Pixel(canvas, 1 + 8, 2 * h + h / 2));  // third: picture 0
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), Pixel(canvas, 1 + 8, h + h / 2));
  RECT text{20, h, 118, 2 * h};
  EXPECT_TRUE(HasInk(canvas, text, GetSysColor(COLOR_WINDOW)));  // "second" beside the empty picture place
  delete Images;
  EXPECT_EQ(nullptr, List->Images());
}

}  // namespace exeditors_test
