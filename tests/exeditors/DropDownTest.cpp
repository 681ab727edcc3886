// The drop-down editor's buttons and pop-up protocol, and the button editor.
#include "ExEditorsTest.h"
#include "Streams.h"
#include "dxDropDownEdit.h"

using namespace tvk;
namespace exeditors_test {
using namespace inplace_test;

namespace {

// A pop-up that records the messages the editor hands it.
class RecordingPopup : public TCustomControl {
public:
  explicit RecordingPopup(TComponent* owner) : TCustomControl(owner) {}
  std::vector<std::pair<UINT, WPARAM>> Received;

protected:
  void CreateParams(TCreateParams& params) override {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WndParent = nullptr;
  }
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN || message.Msg == WM_CHAR ||
        message.Msg == WM_VSCROLL)
      Received.emplace_back(message.Msg, message.WParam);
    TCustomControl::WndProc(message);
  }
};

// A drop-down editor whose pop-up is a recording window.
class ProbeDropDown : public TdxInplaceDropDownEdit {
public:
  explicit ProbeDropDown(TComponent* owner) : TdxInplaceDropDownEdit(owner), Popup(new RecordingPopup(owner)) {}
  RecordingPopup* Popup;
  int DropDowns = 0;
  std::vector<bool> CloseUps;

  void DropDown() override {
    ++DropDowns;
    if (FListVisible) return;
    FActiveList = Popup;
    Popup->SetBounds(0, 0, 60, 40);
    PlacePopup(Popup, true);
    SetWindowPos(Popup->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    FListVisible = true;
  }
  void CloseUp(bool accept) override {
    if (!FListVisible) return;
    ShowWindow(Popup->Handle(), SW_HIDE);
    FListVisible = false;
    CloseUps.push_back(accept);
  }
};

struct DropDowns : HostFixture {
  void SetUp() override {
    HostFixture::SetUp();
    FailOnException();
  }
  void TearDown() override { tvk::Application().OnException = nullptr; }
  template <class Edit>
  Edit* Start(Edit* edit) {
    edit->SetParent(Host);
    Host->Editor = edit;
    Form->Show();
    Host->EditCell(1);
    return edit;
  }
  // The screen point at window point P of the editor.
  static POINT ScreenPoint(TWinControl* edit, POINT p) {
    RECT w{};
    GetWindowRect(edit->Handle(), &w);
    return POINT{w.left + p.x, w.top + p.y};
  }
  static LPARAM At(POINT screen) { return MAKELPARAM(static_cast<short>(screen.x), static_cast<short>(screen.y)); }
};

// The laid-out widths of a cell's buttons.
std::vector<int> ButtonWidths(TdxEditViewData& vd, const TdxInplaceEditClass& editClass) {
  TdxEditViewInfo vi;
  editClass.CalcViewInfo(vd, false, vi);
  auto& data = static_cast<TdxDropDownEditViewData&>(vd);
  std::vector<int> widths;
  for (int i = 0; i < data.ButtonCount; ++i) widths.push_back(data.Buttons[static_cast<std::size_t>(i)].Width);
  return widths;
}

}  // namespace

TEST(DropDownButtons, DefaultWidthFollowsTheStyleAndTheGlyph) {
  const int scroll = GetSystemMetrics(SM_CXVSCROLL);
  struct Case {
    TdxEditButtonViewStyle Style;
    int GlyphWidth;  // 0: no glyph
    int Width;
  } const cases[] = {
      {bts3D, 0, scroll},      {btsFlat, 0, scroll - 1}, {btsSimple, 0, scroll - 1}, {btsHotFlat, 0, scroll},
      {bts3D, 16, 20},         {btsFlat, 16, 19},        {btsSimple, 16, 19},        {btsHotFlat, 16, 18},
  };
  const auto& cls = TdxInplaceDropDownEditClass::Instance();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << c.Style << " glyph " << c.GlyphWidth);
    TBitmap glyph;
    MakeBitmap(glyph, c.GlyphWidth, 10, clRed);
    auto vd = CellViewData(cls, RECT{0, 0, 120, 24}, c.Style);
    static_cast<TdxDropDownEditViewData&>(*vd).ButtonGlyph = c.GlyphWidth ? &glyph : nullptr;
    EXPECT_EQ(std::vector<int>{c.Width}, ButtonWidths(*vd, cls));
    TdxEditViewInfo vi;
    cls.CalcViewInfo(*vd, false, vi);
    EXPECT_EQ(120 - 2 - c.Width, vi.ClientBounds.right);  // the button comes off the text's right side
  }
}

TEST(DropDownButtons, ButtonOnlyStretchesTheLastVisibleButtonOverTheText) {
  TComponent owner(nullptr);
  TdxInplaceEditButtons buttons(&owner, CollectionItemClassOf<TdxEditButton>());
  buttons.Add()->SetWidth(20);
  buttons.Add()->SetWidth(30);
  const auto& cls = TdxInplaceButtonEditClass::Instance();
  auto vd = CellViewData(cls, RECT{0, 0, 104, 24}, bts3D);  // a 100-pixel client area
  auto& data = static_cast<TdxButtonEditViewData&>(*vd);
  data.EditButtons = &buttons;
  data.ButtonOnly = true;
  EXPECT_EQ((std::vector<int>{20, 80}), ButtonWidths(*vd, cls));
  TdxEditViewInfo vi;
  cls.CalcViewInfo(*vd, false, vi);
  EXPECT_EQ(vi.ClientBounds.left, vi.ClientBounds.right);
  std::array<RECT, kMaxEditButtons> rects{};
  TdxInplaceDropDownEditClass::CalcButtonRects(data, vi, rects);
  EXPECT_EQ(2, rects[0].left);   // button 0 next to the (empty) text
  EXPECT_EQ(102, rects[1].right);  // the last one outermost
  EXPECT_EQ(rects[0].right, rects[1].left);

  buttons.GetItem(0)->SetVisible(false);
  buttons.GetItem(1)->SetVisible(false);
  EXPECT_TRUE(ButtonWidths(*vd, cls).empty());
}

TEST(DropDownButtons, ANinthButtonIsRefusedBeforeItJoins) {
  TComponent owner(nullptr);
  TdxEditButtons buttons(&owner, CollectionItemClassOf<TdxEditButton>());
  for (int i = 0; i < kMaxEditButtons; ++i) buttons.Add();
  try {
    buttons.Add();
    FAIL() << "a ninth button was added";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Too many buttons ( >= 8)", e.Message());
  }
  EXPECT_EQ(kMaxEditButtons, buttons.Count());
}

TEST(DropDownButtons, TheOneRemainingButtonBecomesTheDefault) {
  TComponent owner(nullptr);
  TdxEditButtons buttons(&owner, CollectionItemClassOf<TdxEditButton>());
  TdxEditButton* first = buttons.Add();
  EXPECT_TRUE(first->Default());  // alone
  TdxEditButton* second = buttons.Add();
  second->SetDefault(true);
  EXPECT_FALSE(first->Default());  // one default at a time
  second->SetDefault(false);
  buttons.Delete(1);
  EXPECT_TRUE(first->Default());
  EXPECT_EQ(0, buttons.GetVisibleIndex(0));
  first->SetVisible(false);
  EXPECT_EQ(-1, buttons.GetVisibleIndex(0));
  EXPECT_EQ(-1, buttons.GetAbsoluteIndex(0));
  EXPECT_EQ(nullptr, buttons.GetVisibleItem(0));
}

TEST_F(DropDowns, HideInactiveButtonsGiveTheirWidthToTheTextUntilTheMouseComes) {
  auto* edit = new TdxInplaceDropDownEdit(Host);  // not focused: selected only by the mouse
  edit->SetBounds(0, 0, 100, 24);
  edit->Style().SetButtonTransparence(ebtHideInactive);
  auto textWidth = [&] {
    auto vd = edit->CreateViewData(false);
    TdxEditViewInfo vi;
    edit->EditClass().CalcViewInfo(*vd, false, vi);
    return vi.ClientBounds.right - vi.ClientBounds.left;
  };
  const int hidden = textWidth();
  edit->SetSelected(true);
  EXPECT_EQ(hidden - GetSystemMetrics(SM_CXVSCROLL), textWidth());
  edit->SetSelected(false);
  EXPECT_EQ(hidden, textWidth());
  edit->Style().SetButtonTransparence(ebtHideAlways);
  edit->SetSelected(true);
  EXPECT_EQ(hidden, textWidth());
}

TEST_F(DropDowns, HotAndPressedButtonsFollowTheMouseAndAReleaseAwayClicksNothing) {
  auto* edit = Start(new TdxInplaceButtonEdit(Host));
  edit->Buttons().Add();  // button 1 is outermost, button 0 left of it
  std::vector<int> clicks;
  edit->FOnButtonClick = [&](TObject*, int index) { clicks.push_back(index); };
  auto vd = edit->CreateViewData(false);
  TdxEditViewInfo vi;
  edit->EditClass().CalcViewInfo(*vd, false, vi);
  std::array<RECT, kMaxEditButtons> rects{};
  TdxInplaceDropDownEditClass::CalcButtonRects(static_cast<TdxDropDownEditViewData&>(*vd), vi, rects);
  const POINT over0 = ScreenPoint(edit, POINT{rects[0].left + 2, rects[0].top + 2});
  const POINT over1 = ScreenPoint(edit, POINT{rects[1].left + 2, rects[1].top + 2});
  const POINT text = ScreenPoint(edit, POINT{4, 4});

  EXPECT_EQ(HTBORDER, SendMessageW(edit->Handle(), WM_NCHITTEST, 0, At(over0)));
  EXPECT_EQ(0, edit->ActiveButton());
  SendMessageW(edit->Handle(), WM_NCLBUTTONDOWN, HTBORDER, At(over0));
  EXPECT_EQ(0, edit->PressedButton());
  EXPECT_EQ(edit->Handle(), GetCapture());
  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, At(over1));
  EXPECT_EQ(-1, edit->ActiveButton());  // another button never gets hot while one is pressed
  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, At(over0));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(std::vector<int>{0}, clicks);
  EXPECT_EQ(-1, edit->PressedButton());
  EXPECT_NE(edit->Handle(), GetCapture());

  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, At(over1));
  SendMessageW(edit->Handle(), WM_NCLBUTTONDOWN, HTBORDER, At(over1));
  EXPECT_EQ(1, edit->PressedButton());
  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, At(text));  // the mouse left the buttons
  EXPECT_EQ(-1, edit->ActiveButton());
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(std::vector<int>{0}, clicks);

  // A double click on a button is a second press.
  SendMessageW(edit->Handle(), WM_NCHITTEST, 0, At(over1));
  SendMessageW(edit->Handle(), WM_NCLBUTTONDBLCLK, HTBORDER, At(over1));
  EXPECT_EQ(1, edit->PressedButton());
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ((std::vector<int>{0, 1}), clicks);
}

TEST_F(DropDowns, DroppingDownWaitsForTheCurrentMessageAndKeysReachTheOpenList) {
  auto* edit = Start(new ProbeDropDown(Host));
  edit->Style().SetBorderStyle(xbsNone);
  edit->SetDroppedDown(true);
  EXPECT_FALSE(edit->DroppedDown());  // posted
  EXPECT_EQ(0, edit->DropDowns);
  EXPECT_EQ(0, HintShowAnswer(*edit));  // closed: hints show
  MSG posted{};
  ASSERT_TRUE(PeekMessageW(&posted, edit->Handle(), WM_DROPDOWNPOPUP, WM_DROPDOWNPOPUP, PM_REMOVE));
  DispatchMessageW(&posted);
  EXPECT_EQ(1, edit->DropDowns);
  ASSERT_TRUE(edit->DroppedDown());
  EXPECT_NE(0, HintShowAnswer(*edit));  // open: no hint over the list

  // Placed under the cell, overlapping the editor's last pixel row (no border).
  RECT editRect{}, popupRect{};
  GetWindowRect(edit->Handle(), &editRect);
  GetWindowRect(edit->Popup->Handle(), &popupRect);
  EXPECT_EQ(editRect.bottom - 1, popupRect.top);
  EXPECT_EQ(editRect.left + 2, popupRect.left);
  EXPECT_EQ(editRect.right - editRect.left - 4, popupRect.right - popupRect.left);  // widened to the editor

  Host->KeysDown.clear();
  SendMessageW(edit->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageW(edit->Handle(), WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ((std::vector<std::pair<UINT, WPARAM>>{{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_NEXT}}),
            edit->Popup->Received);
  EXPECT_TRUE(Host->KeysDown.empty());  // the host does not move while the list is open
  SendMessageW(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ((std::pair<UINT, WPARAM>{WM_VSCROLL, SB_LINEUP}), edit->Popup->Received.back());

  SendMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(std::vector<bool>{true}, edit->CloseUps);
  EXPECT_FALSE(edit->DroppedDown());
  EXPECT_EQ(0, HintShowAnswer(*edit));
  SendMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_DOWN, 1 << 29);  // Alt+Down opens at once
  EXPECT_TRUE(edit->DroppedDown());
  // Alt+F4 with the list open reaches the form, not the list.
  edit->Popup->Received.clear();
  SendMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
  EXPECT_TRUE(edit->Popup->Received.empty());
  MSG close{};
  const bool closing = PeekMessageW(&close, Form->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE) != FALSE;
  EXPECT_TRUE(closing && (close.wParam & 0xFFF0) == SC_CLOSE);
  SendMessageW(edit->Handle(), WM_KEYDOWN, VK_F4, 0);
  EXPECT_EQ((std::vector<bool>{true, true}), edit->CloseUps);
  EXPECT_TRUE(Host->KeysDown.empty());
}

TEST_F(DropDowns, HidingTheEditorClosesItsPopupAndAClosedPopupClearsTheOpenFlag) {
  auto* edit = Start(new ProbeDropDown(Host));
  edit->DropDown();
  ASSERT_TRUE(edit->ListVisible());
  PostMessageW(edit->Handle(), WM_POPUPCLOSED, 0, 0);
  PumpMessages();
  EXPECT_FALSE(edit->ListVisible());
  edit->DropDown();
  edit->Hide();
  EXPECT_FALSE(edit->ListVisible());
  MSG m{};
  EXPECT_TRUE(PeekMessageW(&m, edit->Popup->Handle(), WM_CLOSE, WM_CLOSE, PM_REMOVE));
}

TEST_F(DropDowns, TheClickKeyClicksTheDefaultButtonOnlyWhenTheEditorMayChange) {
  for (bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "editable");
    auto* edit = new TdxInplaceButtonEdit(Host);
    Start(edit);
    edit->SetReadOnly(readOnly);
    int clicks = 0;
    edit->FOnButtonClick = [&](TObject*, int) { ++clicks; };
    Host->KeysDown.clear();
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_CONTROL, 0);
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(readOnly ? 0 : 1, clicks);
    // Refused, the key goes on to the host as any Enter does.
    EXPECT_EQ(readOnly, std::find(Host->KeysDown.begin(), Host->KeysDown.end(), VK_RETURN) != Host->KeysDown.end());
    Host->CloseEditor();
    delete edit;
    Host->Editor = nullptr;
  }
}

TEST_F(DropDowns, ExistButtonsKeepsAnEditorSavedWithoutButtonsButtonless) {
  for (int saved : {0, 2}) {
    SCOPED_TRACE(saved);
    TdxInplaceButtonEdit source(nullptr);
    source.Buttons().Clear();
    for (int i = 0; i < saved; ++i) source.Buttons().Add();
    TMemoryStream stream;
    WriteBinaryProperties(source, stream);
    stream.SetPosition(0);
    TdxInplaceButtonEdit target(nullptr);  // made with its one button
    ReadBinaryProperties(target, stream);
    target.Loaded();
    EXPECT_EQ(saved == 0 ? 0 : 1, target.Buttons().Count());
  }
}

// Pixels of the three kinds under each button style: a 20 x 20 button at the right of a 60 x 20 cell.
TEST(DropDownPainting, ArrowDotsAndGlyphStandWhereTheLayoutPutsThem) {
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  TBitmap glyph;
  MakeBitmap(glyph, 6, 6, clRed);
  SetPixel(glyph.Canvas().Handle(), 0, 5, RGB(0, 255, 0));  // bottom-left: the transparent colour
  for (TdxEditButtonViewStyle style : {bts3D, btsFlat, btsSimple, btsHotFlat}) {
    for (TdxEditButtonKind kind : {bkDown, bkEllipsis, bkGlyph}) {
      SCOPED_TRACE(testing::Message() << "style " << style << " kind " << kind);
      TBitmap canvas;
      MakeBitmap(canvas, 60, 20, clWhite);
      auto vd = CellViewData(TdxInplaceDropDownEditClass::Instance(), RECT{0, 0, 60, 20}, style);
      auto& data = static_cast<TdxDropDownEditViewData&>(*vd);
      TdxEditButtonInfo button;
      button.Kind = kind;
      button.Width = 20;
      button.Glyph = &glyph;
      RECT r{40, 0, 60, 20};
      TdxInplaceDropDownEditClass::DrawEditButton(canvas.Canvas().Handle(), r, data, button, false, false);
      RECT inner = r;
      if (style == bts3D) InflateRect(&inner, -2, -2);
      if (style == btsFlat) { inner.left += 2; inner.top += 1; inner.right -= 1; inner.bottom -= 1; }
      if (style == btsSimple) { inner.left += 2; inner.top += 1; inner.right -= 1; inner.bottom -= 1; }
      if (style == btsHotFlat) InflateRect(&inner, -1, -1);
      const int w = inner.right - inner.left, cx = (inner.left + inner.right) / 2;
      if (kind == bkDown) {
        int h = w / 2;
        if (h % 2 == 0) ++h;
        const int x = (inner.left + inner.right - h) / 2;
        const int y = (inner.top + inner.bottom - h / 2) / 2 - ((inner.bottom - inner.top) & 1);
        EXPECT_EQ(text, Pixel(canvas, x, y));          // the top row's ends
        EXPECT_EQ(text, Pixel(canvas, x + h - 1, y));
        EXPECT_EQ(text, Pixel(canvas, x + h / 2, y + h / 2));  // the tip
        EXPECT_NE(text, Pixel(canvas, x, y + h / 2));
      } else if (kind == bkEllipsis) {
        const int s = 20 + (style == btsFlat || style == btsSimple ? 1 : 0) >= 16 ? 2 : 1;
        const int x = (inner.left + inner.right - s) / 2;
        const int y = (inner.top + inner.bottom - s / 2) / 2 - ((inner.bottom - inner.top) & 1);
        for (int dx : {-2 * s, 0, 2 * s}) EXPECT_EQ(text, Pixel(canvas, x + dx + s - 1, y + s - 1));
        EXPECT_NE(text, Pixel(canvas, x + s, y));  // the gap between two dots
      } else {
        EXPECT_EQ(RGB(255, 0, 0), Pixel(canvas, cx, (inner.top + inner.bottom) / 2));
        const int gx = inner.left + (w - 6) / 2, gy = inner.top + (inner.bottom - inner.top - 6) / 2;
        EXPECT_NE(RGB(0, 255, 0), Pixel(canvas, gx, gy + 5));  // the transparent corner shows the background
      }
      EXPECT_EQ(RGB(255, 255, 255), Pixel(canvas, 39, 10));  // nothing beyond the button
    }
  }
}

TEST_F(DropDowns, AHostClickOnTheButtonAreaPressesTheButtonAndDropsDown) {
  auto* edit = Start(new ProbeDropDown(Host));
  auto vd = edit->CreateViewData(false);
  TdxEditViewInfo vi;
  edit->EditClass().CalcViewInfo(*vd, false, vi);
  std::array<RECT, kMaxEditButtons> rects{};
  TdxInplaceDropDownEditClass::CalcButtonRects(static_cast<TdxDropDownEditViewData&>(*vd), vi, rects);
  // The button's middle in the host's coordinates: the editor lies over cell 1.
  const RECT cell = Host->CellRect(1);
  const POINT inHost{cell.left - 2 + (rects[0].left + rects[0].right) / 2, cell.top - 2 + rects[0].top + 3};
  edit->MouseButtonClick(inHost.x, inHost.y);
  EXPECT_EQ(0, edit->ActiveButton());
  EXPECT_EQ(0, edit->PressedButton());
  MSG posted{};
  EXPECT_TRUE(PeekMessageW(&posted, edit->Handle(), WM_DROPDOWNPOPUP, WM_DROPDOWNPOPUP, PM_REMOVE));
  SendMessageW(edit->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(-1, edit->PressedButton());
  // A click on the text is no button's.
  edit->MouseButtonClick(cell.left + 3, cell.top + 3);
  EXPECT_EQ(-1, edit->PressedButton());
  EXPECT_FALSE(PeekMessageW(&posted, edit->Handle(), WM_DROPDOWNPOPUP, WM_DROPDOWNPOPUP, PM_REMOVE));
}

}  // namespace exeditors_test
