// The themed tab control and the page control on a real form: tab widths and
// the strip's height, the current tab's rectangle, scrolling with the arrow
// buttons, Ctrl+Tab and accelerators, bottom tabs as the top pictures upside
// down, a tab index given while loading; pages inserted, removed, moved,
// renamed and freed through the live tab list, their show and hide handlers,
// and foreign controls refused.
#include <gtest/gtest.h>

#include "Application.h"
#include "InstrumentTest.h"
#include "Panels.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPGraphics.h"
#include "XPPageControl.h"

#include <string>
#include <vector>

using namespace tvk;
namespace instrument_test {

namespace {

// Look mode 0, 1 or 2 while it lives (2 only where the system has visual styles).
class TLookMode {
public:
  explicit TLookMode(int mode) {
    ThemeServices().SetThemesSwitchedOff(mode != 2);
    if (mode == 1) OverrideWin32Version(5, 0);
    else ClearWin32VersionOverride();
    UpdateSubstColors();
  }
  ~TLookMode() {
    ThemeServices().SetThemesSwitchedOff(false);
    ClearWin32VersionOverride();
    UpdateSubstColors();
  }
  TLookMode(const TLookMode&) = delete;
  TLookMode& operator=(const TLookMode&) = delete;
};

// The tab control's inner steps, reachable from the tests.
class TTestTabControl : public TWinXPCustomTabControl {
public:
  using TWinXPCustomTabControl::TWinXPCustomTabControl;
  using TWinXPCustomTabControl::DrawTabBackground;
  using TWinXPCustomTabControl::SetDrawCanvas;
  void BeginLoading() { SetComponentState(csLoading, true); }
};

// Counts the tab control's questions and announcements.
struct TEvents {
  int Changing = 0, Changed = 0;
  bool Allow = true;
  void Attach(TWinXPCustomTabControl& control) {
    control.OnChanging = [this](TObject*, bool& allow) {
      ++Changing;
      allow = Allow;
    };
    control.OnChange = [this](TObject*) { ++Changed; };
  }
};

// The width of Text in Control's font, measured here independently.
int TextWidthOf(TControl& control, const wchar_t* text) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, control.Font().Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, text, int(wcslen(text)), &size);
  SelectObject(dc, old);
  DeleteDC(dc);
  return size.cx;
}

// The text height (tmHeight) of Control's font.
int FontCellHeight(TControl& control) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, control.Font().Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm.tmHeight;
}

// Holds the Ctrl (and Shift) key down while it lives, as the keyboard state says.
class TKeysDown {
public:
  explicit TKeysDown(bool shift) {
    GetKeyboardState(FSaved);
    BYTE keys[256];
    std::copy(std::begin(FSaved), std::end(FSaved), keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  ~TKeysDown() { SetKeyboardState(FSaved); }
  TKeysDown(const TKeysDown&) = delete;
  TKeysDown& operator=(const TKeysDown&) = delete;

private:
  BYTE FSaved[256];
};

struct Tabs : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TTestTabControl* T = new TTestTabControl(Form.get());
  TEvents Events;
  Tabs() {
    T->SetBounds(10, 10, 400, 200);
    T->SetParent(Form.get());
    T->HandleNeeded();
  }
  void Add(std::initializer_list<const wchar_t*> captions) {
    for (const wchar_t* c : captions) T->Tabs().Add(c);
  }
};

TEST_F(Tabs, WidthIsTheCaptionOrThirtyPlusTwelve) {
  Add({L"i", L"A much longer tab caption"});
  EXPECT_EQ(T->GetTabWidth(0), 42);
  const int w = TextWidthOf(*T, L"A much longer tab caption");
  ASSERT_GT(w, 30);
  EXPECT_EQ(T->GetTabWidth(1), w + 12);
  EXPECT_EQ(T->GetTabWidth(2), 0);  // no such tab
}

TEST_F(Tabs, StripIsTheFontHeightPlusEightAtEitherEdge) {
  // A font 13 pixels high, whatever height the font mapper needs for it.
  for (const wchar_t* name : {L"Tahoma", L"DejaVu Sans"}) {
    T->Font().SetName(name);
    for (int h = -8; h > -20 && FontCellHeight(*T) != 13; --h) T->Font().SetHeight(h);
    if (FontCellHeight(*T) == 13) break;
  }
  ASSERT_EQ(FontCellHeight(*T), 13);
  Add({L"One", L"Two"});
  T->Perform(CM_FONTCHANGED);
  TLookMode look(1);
  T->SetBounds(10, 10, 400, 201);  // laid out again in this look
  EXPECT_EQ(T->TabArea(), (RECT{0, 0, 400, 21}));
  EXPECT_EQ(T->DisplayRect(), (RECT{0, 20, 400, 201}));  // the pane overlaps the strip by one
  T->SetTabPosition(TWinXPTabPosition::tpBottom);
  EXPECT_EQ(T->TabArea(), (RECT{0, 201 - 22, 400, 201}));
  EXPECT_EQ(T->DisplayRect(), (RECT{0, 0, 400, 201 - 22 + 3}));
  // The pages' area: the pane less 4 on every side.
  RECT client = T->ClientRect();
  T->AdjustClientRect(client);
  EXPECT_EQ(client, (RECT{4, 4, 396, 201 - 22 + 3 - 4}));
}

TEST_F(Tabs, CurrentTabStandsOutOfItsSlotAndReachesIntoThePane) {
  Add({L"One", L"Two", L"Three"});
  ASSERT_EQ(T->CurrentTab(), 0);  // the first tab becomes current when tabs come
  const int w0 = T->GetTabWidth(0), w1 = T->GetTabWidth(1);
  const RECT top = T->DisplayRect();
  EXPECT_EQ(T->TabRect(0), (RECT{0, 0, w0 + 6, T->TabArea().bottom}));
  EXPECT_EQ(T->TabRect(1), (RECT{w0 + 2, 2, w0 + 2 + w1, top.top}));
  T->SetTabIndex(1);
  EXPECT_EQ(T->TabRect(0), (RECT{2, 2, 2 + w0, top.top}));
  EXPECT_EQ(T->TabRect(1), (RECT{w0, 0, w0 + w1 + 6, T->TabArea().bottom}));
  EXPECT_EQ(T->IndexOfTabAt(w0 + 3, 5), 1);
  EXPECT_EQ(T->IndexOfTabAt(w0 + 3, 150), -1);
}

TEST_F(Tabs, ArrowButtonsScrollTabsThatDoNotFit) {
  T->SetBounds(10, 10, 200, 100);
  Add({L"First", L"Second", L"Third"});
  EXPECT_FALSE(T->ScrollButtons().Visible());
  Add({L"Fourth", L"Fifth", L"Sixth"});
  TXPUpDown& buttons = T->ScrollButtons();
  ASSERT_TRUE(buttons.Visible());
  const int a = (T->TabArea().bottom - T->TabArea().top) - 4;
  EXPECT_EQ(buttons.BoundsRect(), (RECT{200 - 2 * a, T->TabArea().top + 1, 200, T->TabArea().top + 1 + a}));
  ASSERT_EQ(T->StartTab(), 0);
  // The right arrow, clicked through its window: the first tab goes out of sight.
  ClickAt(buttons.Handle(), 3 * a / 2, a / 2, 3 * a / 2, a / 2);
  EXPECT_EQ(T->StartTab(), 1);
  EXPECT_EQ(T->TabRect(0), (RECT{0, 0, 0, 0}));
  // Never beyond the start from which the last tab just fits.
  T->ScrollTabs(100);
  const int start = T->StartTab();
  auto tabsFrom = [&](int first) {
    int w = 0;
    for (int i = first; i < 6; ++i) w += T->GetTabWidth(i);
    return w;
  };
  EXPECT_LE(tabsFrom(start), buttons.Left());
  EXPECT_GT(tabsFrom(start - 1), buttons.Left());
  // The left arrow goes back one.
  ClickAt(buttons.Handle(), a / 2, a / 2, a / 2, a / 2);
  EXPECT_EQ(T->StartTab(), start - 1);
  // Selecting the last tab scrolls it into sight; widening hides the buttons and starts again at 0.
  T->ScrollTabs(-100);
  T->SetTabIndex(5);
  EXPECT_LE(T->TabRect(5).right, buttons.Left());
  T->SetBounds(10, 10, 780, 100);
  EXPECT_FALSE(buttons.Visible());
  EXPECT_EQ(T->StartTab(), 0);
}

TEST_F(Tabs, CtrlTabStepsThroughTheTabsBothWaysAndWraps) {
  Add({L"One", L"Two", L"Three"});
  Events.Attach(*T);
  T->SetFocus();
  auto ctrlTab = [&](bool shift) {
    TKeysDown keys(shift);
    SendMessageW(T->Handle(), WM_KEYDOWN, VK_TAB, 0);
  };
  const std::vector<std::pair<bool, int>> steps = {{false, 1}, {false, 2}, {false, 0}, {true, 2}, {true, 1}};
  for (auto [shift, expected] : steps) {
    ctrlTab(shift);
    EXPECT_EQ(T->CurrentTab(), expected);
  }
  // Asked twice a step: once by the step, once by the change of tab.
  EXPECT_EQ(Events.Changing, 10);
  EXPECT_EQ(Events.Changed, 5);
  // A refusal keeps the tab.
  Events.Allow = false;
  ctrlTab(false);
  EXPECT_EQ(T->CurrentTab(), 1);
  EXPECT_EQ(Events.Changed, 5);
}

TEST_F(Tabs, AcceleratorSelectsItsTab) {
  Add({L"&Apple", L"&Banana", L"Cherry"});
  Events.Attach(*T);
  EXPECT_EQ(T->Perform(CM_DIALOGCHAR, L'b'), 1);
  EXPECT_EQ(T->CurrentTab(), 1);
  EXPECT_EQ(Events.Changed, 1);
  EXPECT_EQ(T->Perform(CM_DIALOGCHAR, L'c'), 0);  // no accelerator marked
  EXPECT_EQ(T->CurrentTab(), 1);
}

TEST_F(Tabs, BottomTabsAreTheTopPicturesUpsideDown) {
  TLookMode look(1);
  Add({L"One", L"Two", L"Three"});
  const RECT r{0, 0, 60, 22};
  for (int kind = 0; kind < 4; ++kind)
    for (int state = 0; state < 3; ++state) {
      TBitmap pictures[2];
      for (int bottom = 0; bottom < 2; ++bottom) {
        T->SetTabPosition(bottom ? TWinXPTabPosition::tpBottom : TWinXPTabPosition::tpTop);
        styled_test::MakeCanvas(pictures[bottom], 60, 22, clLime);
        T->SetDrawCanvas(&pictures[bottom].Canvas());
        T->DrawTabBackground(r, r, kind, state);
        T->SetDrawCanvas(nullptr);
      }
      int differ = 0, drawn = 0;
      for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 60; ++x) {
          differ += styled_test::PixelAt(pictures[0], x, y) != styled_test::PixelAt(pictures[1], x, 21 - y);
          drawn += styled_test::PixelAt(pictures[0], x, y) != clLime;
        }
      EXPECT_EQ(differ, 0) << "kind " << kind << " state " << state;
      EXPECT_GT(drawn, 60 * 22 / 2);
    }
}

TEST_F(Tabs, TabIndexGivenWhileLoadingIsTakenWithoutEvents) {
  Add({L"One", L"Two", L"Three"});
  Events.Attach(*T);
  T->BeginLoading();
  T->SetTabIndex(2);
  T->SetTabIndex(1);  // only the first one given counts
  EXPECT_EQ(T->CurrentTab(), 0);
  T->Loaded();
  EXPECT_EQ(T->CurrentTab(), 2);
  EXPECT_EQ(Events.Changing + Events.Changed, 0);
  T->SetTabIndex(0);
  EXPECT_EQ(Events.Changing, 1);
  EXPECT_EQ(Events.Changed, 1);
}

TEST_F(Tabs, OnlyTabSheetsGoIntoATabControl) {
  auto* panel = new TPanel(Form.get());
  try {
    panel->SetParent(T);
    FAIL() << "a panel was taken";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"TPanel can't be inserted into TWinXPCustomTabControl.");
  }
  EXPECT_EQ(panel->Parent(), nullptr);
  EXPECT_EQ(T->ControlCount(), 1);  // the arrow buttons alone
}

// ---- Page control

// A sheet that notes when it is freed.
class TNotedSheet : public TWinXPTabSheet {
public:
  TNotedSheet(TComponent* owner, std::vector<std::wstring>& freed) : TWinXPTabSheet(owner), FFreed(freed) {}
  ~TNotedSheet() override { FFreed.push_back(Caption()); }

private:
  std::vector<std::wstring>& FFreed;
};

struct Pages : ::testing::Test {
  std::vector<std::wstring> Freed;  // outlives the form, whose sheets note into it
  std::unique_ptr<TForm> Form = MakeForm();
  TWinXPPageControl* P = new TWinXPPageControl(Form.get());
  std::vector<TWinXPTabSheet*> S;
  Pages() {
    P->SetBounds(10, 10, 400, 200);
    P->SetParent(Form.get());
    P->HandleNeeded();
  }
  void Add(std::initializer_list<const wchar_t*> captions) {
    for (const wchar_t* c : captions) {
      auto* sheet = new TNotedSheet(P, Freed);
      sheet->SetCaption(c);
      P->InsertPage(sheet);
      S.push_back(sheet);
    }
  }
  std::wstring Order() {
    std::wstring order;
    for (int i = 0; i < P->PageCount(); ++i) order += P->Pages(i)->Caption();
    return order;
  }
};

TEST_F(Pages, FirstInsertedPageIsActiveAndRemovingItActivatesTheNext) {
  Add({L"A", L"B", L"C"});
  EXPECT_EQ(P->ActivePage(), S[0]);
  EXPECT_EQ(P->TabIndex(), 0);
  EXPECT_TRUE(S[0]->Visible());
  EXPECT_FALSE(S[1]->Visible());
  EXPECT_FALSE(S[2]->Visible());
  // The active page fills the pane less its margin.
  RECT area = P->ClientRect();
  P->AdjustClientRect(area);
  EXPECT_EQ(S[0]->BoundsRect(), area);
  P->RemovePage(S[0]);
  EXPECT_EQ(P->ActivePage(), S[1]);
  EXPECT_TRUE(S[1]->Visible());
  EXPECT_FALSE(S[0]->Visible());
  EXPECT_EQ(S[0]->PageControl(), nullptr);
  EXPECT_EQ(P->TabIndex(), 0);
  EXPECT_EQ(Order(), L"BC");
  EXPECT_TRUE(Freed.empty());  // removing frees nothing
  delete S[0];
}

TEST_F(Pages, RemovingTheOnlyPageLeavesNoTab) {
  Add({L"A"});
  P->RemovePage(S[0]);
  EXPECT_EQ(P->ActivePage(), nullptr);
  EXPECT_EQ(P->TabIndex(), -1);
  EXPECT_EQ(P->CurrentTab(), -1);
  delete S[0];
}

TEST_F(Pages, PageWithoutTabIsSkippedAndNotCounted) {
  Add({L"A", L"B", L"C"});
  S[1]->SetTabVisible(false);
  EXPECT_EQ(P->GetTabWidth(1), 0);
  EXPECT_EQ(P->FindNextPage(S[0], true, true), S[2]);
  EXPECT_EQ(P->FindNextPage(S[0], true, false), S[1]);
  P->SetFocus();
  {
    TKeysDown ctrl(false);
    SendMessageW(P->Handle(), WM_KEYDOWN, VK_TAB, 0);
  }
  EXPECT_EQ(P->ActivePage(), S[2]);
  EXPECT_EQ(P->TabIndex(), 1);
  EXPECT_EQ(S[2]->TabIndex(), 1);
  EXPECT_EQ(S[1]->TabIndex(), -1);
  // Hiding the tab of the active page moves on to the next tab shown.
  S[2]->SetTabVisible(false);
  EXPECT_EQ(P->ActivePage(), S[0]);
  EXPECT_FALSE(S[2]->Visible());
}

TEST_F(Pages, PageIndexMovesThePageAndActivatesIt) {
  Add({L"A", L"B", L"C"});
  std::vector<std::wstring> shown;
  for (auto* s : S) s->OnShow = [&shown](TObject* sender) { shown.push_back(static_cast<TControl*>(sender)->Caption()); };
  S[0]->SetPageIndex(2);
  EXPECT_EQ(Order(), L"BCA");
  EXPECT_EQ(P->ActivePage(), S[0]);
  EXPECT_EQ(S[0]->PageIndex(), 2);
  EXPECT_EQ(P->TabIndex(), 2);
  EXPECT_TRUE(shown.empty());  // no other page was shown on the way
  S[2]->SetPageIndex(7);       // beyond the end: the last place
  EXPECT_EQ(Order(), L"BAC");
  EXPECT_EQ(P->ActivePage(), S[2]);
}

TEST_F(Pages, TabListIsALiveViewOfThePages) {
  Add({L"A", L"B", L"C"});
  TStrings& tabs = P->Tabs();
  ASSERT_EQ(tabs.Count(), 3);
  EXPECT_EQ(tabs[1], L"B");
  tabs.Put(1, L"Renamed");
  EXPECT_EQ(S[1]->Caption(), L"Renamed");
  tabs.Delete(1);
  EXPECT_EQ(Freed, (std::vector<std::wstring>{L"Renamed"}));
  EXPECT_EQ(Order(), L"AC");
  EXPECT_EQ(P->ActivePage(), S[2]);  // a removed page hands over to the one after it
  // Added through the list: a new sheet with the caption and the object.
  TObject marker;
  tabs.AddObject(L"D", &marker);
  ASSERT_EQ(P->PageCount(), 3);
  EXPECT_EQ(P->Pages(2)->Caption(), L"D");
  EXPECT_EQ(P->Pages(2)->Data(), &marker);
  EXPECT_EQ(tabs.Objects(2), &marker);
  EXPECT_EQ(P->Pages(2)->Parent(), P);
  tabs.Move(2, 0);
  EXPECT_EQ(Order(), L"DAC");
  EXPECT_EQ(P->ActivePage(), S[2]);  // still C, wherever it went
  EXPECT_EQ(P->CurrentTab(), 2);
  EXPECT_THROW(tabs.Get(3), EStringListError);
}

TEST_F(Pages, ImageRoomOnlyForPagesWithAnImage) {
  Add({L"Alpha page", L"Beta page"});
  TImageList images(nullptr);
  images.SetSize(16, 16);
  const int plain = P->GetTabWidth(0);
  ASSERT_GT(plain, 42);  // wider than the least width, so the room shows
  S[0]->SetImageIndex(0);
  S[1]->SetImageIndex(3);
  P->SetImages(&images);
  // Pictures added: the list tells the control through its change link.
  TBitmap strip;
  styled_test::MakeCanvas(strip, 32, 16, clRed);
  ASSERT_EQ(images.Add(strip, nullptr), 0);
  EXPECT_EQ(P->GetTabWidth(0), plain + 18);
  EXPECT_EQ(P->GetTabWidth(1), TextWidthOf(*P, L"Beta page") + 12);  // its index is past the list
  // Taller pictures: the strip grows at once.
  images.SetSize(16, 30);
  EXPECT_EQ(P->TabArea().bottom - P->TabArea().top, 30 + 8);
  P->SetImages(nullptr);
  EXPECT_EQ(P->GetTabWidth(0), plain);
}

TEST_F(Pages, FreeingAnAttachedSheetTakesItsTabAway) {
  Add({L"A", L"B"});
  delete S[0];
  EXPECT_EQ(P->PageCount(), 1);
  EXPECT_EQ(P->ActivePage(), S[1]);
  EXPECT_EQ(P->Tabs()[0], L"B");
  EXPECT_EQ(P->TabIndex(), 0);
}

TEST_F(Pages, HandlerFailuresGoToTheApplicationAndThePageStillChanges) {
  Add({L"A", L"B"});
  std::vector<std::wstring> reported;
  Application().OnException = [&](TObject*, const std::exception_ptr& e) { reported.push_back(ExceptionMessage(e)); };
  S[0]->OnHide = [](TObject*) { throw Exception(L"hide failed"); };
  S[1]->OnShow = [](TObject*) { throw Exception(L"show failed"); };
  P->SetTabIndex(1);
  Application().OnException = nullptr;
  EXPECT_EQ(P->ActivePage(), S[1]);
  EXPECT_TRUE(S[1]->Visible());
  EXPECT_FALSE(S[0]->Visible());
  EXPECT_EQ(reported, (std::vector<std::wstring>{L"show failed", L"hide failed"}));
}

TEST_F(Pages, SheetsGoOnlyIntoAPageControl) {
  auto* panel = new TPanel(Form.get());
  auto* sheet = new TWinXPTabSheet(Form.get());
  try {
    sheet->SetParent(panel);
    FAIL() << "a panel took a sheet";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"TWinXPTabSheet can be inserted only in TWinXPPageControl.");
  }
  EXPECT_EQ(sheet->Parent(), nullptr);
  sheet->SetPageControl(P);
  EXPECT_EQ(P->ActivePage(), sheet);
  sheet->SetPageControl(nullptr);
  EXPECT_EQ(P->PageCount(), 0);
}

TEST(PageControlLife, WithoutOwnerItFreesItsPages) {
  std::unique_ptr<TForm> form = MakeForm();
  std::vector<std::wstring> freed;
  auto* pages = new TWinXPPageControl(nullptr);
  pages->SetTabPosition(TWinXPTabPosition::tpBottom);
  pages->SetParent(form.get());
  pages->SetAlign(TAlign::alClient);
  for (const wchar_t* c : {L"Part A", L"Part B"}) {
    auto* sheet = new TNotedSheet(pages, freed);
    sheet->SetCaption(c);
    pages->InsertPage(sheet);
  }
  EXPECT_EQ(pages->TabArea().bottom, form->ClientHeight());
  delete pages;
  EXPECT_EQ(freed.size(), 2u);
}

}  // namespace

}  // namespace instrument_test
