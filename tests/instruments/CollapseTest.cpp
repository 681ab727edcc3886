// Collapsible section panels on a real form: the pin-state panel's geometry,
// the last shown section kept open without CanCloseAll, the widened top
// margin, expand buttons of single sections and of runs with their hints and
// menu, a stored all-collapsed layout, a hidden section shown again expanded,
// and an animated user collapse leaving the screen as it was.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "InstrumentTypes.h"
#include "Registry.h"
#include "Timers.h"
#include "XPSplit.h"

#include <string>
#include <vector>

using namespace tvk;
namespace instrument_test {

namespace {

struct Collapse : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TXPCollapseSectionsPanel* P = new TXPCollapseSectionsPanel(Form.get());
  std::vector<TXPCustomCollapseSection*> S;
  Collapse() {
    P->SetBounds(0, 0, 321, 624);
    P->SetMargin(1);
    P->SetParent(Form.get());
    P->HandleNeeded();
  }
  void Add(std::initializer_list<const wchar_t*> captions) {
    for (const wchar_t* c : captions) {
      auto* s = static_cast<TXPCustomCollapseSection*>(P->AddNewSection());
      s->SetCaption(c);
      S.push_back(s);
    }
  }
};

TEST_F(Collapse, PinStatePanelGeometry) {
  Add({L"Symbol", L"Footprint"});
  EXPECT_EQ(S[0]->BoundsRect(), (RECT{1, 1, 308, 309}));
  EXPECT_EQ(S[1]->BoundsRect(), (RECT{1, 314, 308, 623}));
  // The collapse buttons in the right-hand column, at each section's top.
  EXPECT_TRUE(S[0]->CollapseButton()->Visible());
  EXPECT_EQ(S[0]->CollapseButton()->BoundsRect(), (RECT{310, 3, 319, 9}));
  EXPECT_EQ(S[1]->CollapseButton()->Top(), 316);
  EXPECT_FALSE(S[0]->ExpandButton()->Visible());
  EXPECT_EQ(S[0]->CollapseButton()->Parent(), P);  // beside the section, not in it
}

TEST_F(Collapse, ChevronsShowTheirBackground) {
  Add({L"Symbol", L"Footprint"});
  for (TXPArrowButton* b : {static_cast<TXPArrowButton*>(S[0]->CollapseButton()),
                            static_cast<TXPArrowButton*>(S[0]->ExpandButton())}) {
    TBitmap shot;
    styled_test::MakeCanvas(shot, b->Width(), b->Height(), clWhite);
    b->PaintTo(shot.Canvas().Handle());
    if (!b->IsExpandButton()) {
      EXPECT_EQ(styled_test::PixelAt(shot, 0, 0), clWhite);  // above the chevron's slope
    }
    EXPECT_EQ(styled_test::PixelAt(shot, 0, b->Height() - 1), clWhite) << b->ClassName();
    EXPECT_GT(styled_test::InkIn(shot, clWhite, RECT{0, 0, b->Width(), b->Height()}), 10) << b->ClassName();
  }
}

TEST_F(Collapse, LastShownSectionStaysOpenAndTheTopMarginWidens) {
  Add({L"Symbol", L"Footprint"});
  S[0]->UserSetCollapsed(true);
  EXPECT_TRUE(S[0]->Collapsed());
  EXPECT_TRUE(S[0]->Visible());  // collapsed is not hidden
  EXPECT_FALSE(IsWindowVisible(S[0]->Handle()));
  EXPECT_FALSE(S[1]->CollapseButton()->Visible());
  S[1]->SetCollapsed(true);  // refused without a word
  EXPECT_FALSE(S[1]->Collapsed());
  EXPECT_EQ(P->GetTopMargin(), 7);
  EXPECT_EQ(S[1]->BoundsRect(), (RECT{1, 7, 308, 623}));
  // Its expand button sits in the widened top margin.
  TXPExpandButton* expand = S[0]->ExpandButton();
  EXPECT_TRUE(expand->Visible());
  EXPECT_EQ(expand->BoundsRect(), (RECT{310, 2, 319, 7}));
  EXPECT_EQ(expand->HintText(), L"Show Symbol");
  ClickAt(P->Handle(), 312, 4, 312, 4);
  EXPECT_FALSE(S[0]->Collapsed());
  EXPECT_EQ(S[0]->BoundsRect(), (RECT{1, 1, 308, 309}));
  // With CanCloseAll the last one goes too, and the bottom margin makes room for its button.
  P->SetCanCloseAll(true);
  S[1]->SetCollapsed(true);
  S[0]->SetCollapsed(true);
  EXPECT_TRUE(S[0]->Collapsed() && S[1]->Collapsed());
  EXPECT_EQ(P->GetBottomMargin(), 7);
}

TEST_F(Collapse, RunOfCollapsedSectionsSharesOneButton) {
  Add({L"A", L"B", L"C"});
  EXPECT_EQ(S[0]->CollapseButton()->HintText(), L"Hide A");
  S[1]->UserSetCollapsed(true);
  TXPExpandButton* single = S[1]->ExpandButton();
  ASSERT_TRUE(single->Visible());
  EXPECT_FALSE(single->Multiple());
  EXPECT_EQ(single->Height(), 5);
  EXPECT_EQ(single->Top(), S[2]->Top() - 5);  // in the gap above the third section
  EXPECT_EQ(single->HintText(), L"Show B");
  S[2]->UserSetCollapsed(true);
  EXPECT_TRUE(single->Visible());
  EXPECT_FALSE(S[2]->ExpandButton()->Visible());
  EXPECT_TRUE(single->Multiple());
  EXPECT_EQ(single->Height(), 7);
  // Below the last shown section, in the bottom margin.
  EXPECT_EQ(single->Top(), S[0]->Top() + S[0]->Height() + 5 - 7);
  EXPECT_EQ(single->HintText(), L"Show hidden sections");
  // The host may word it otherwise.
  int listed = 0;
  P->OnGetButtonHint = [&](TObject*, TList& sections, bool collapsed, WideString& hint) {
    listed = sections.Count();
    if (collapsed) hint = L"Show " + std::to_wstring(listed) + L" sections";
  };
  EXPECT_EQ(single->HintText(), L"Show 2 sections");
  EXPECT_EQ(listed, 2);
  // A click opens the menu of both, in section order; its loop is ended by a timer.
  std::vector<WideString> captions;
  TTimer closer(nullptr);
  closer.SetInterval(150);
  closer.SetOnTimer([&](TObject*) {
    TMenuItem& items = P->HiddenPopupMenu().Items();
    for (int i = 0; i < items.Count(); ++i) captions.push_back(items.Items(i)->Caption());
    EndMenu();
    closer.SetEnabled(false);
  });
  ClickAt(P->Handle(), single->Left() + 4, single->Top() + 3, single->Left() + 4, single->Top() + 3);
  EXPECT_EQ(captions, (std::vector<WideString>{L"B", L"C"}));
  // An item expands its section.
  P->HiddenPopupMenu().Items().Items(1)->Click();
  EXPECT_FALSE(S[2]->Collapsed());
  EXPECT_TRUE(S[1]->Collapsed());
  EXPECT_FALSE(S[1]->ExpandButton()->Multiple());
}

TEST_F(Collapse, FreedSectionLeavesTheSharedButton) {
  Add({L"A", L"B", L"C"});
  S[1]->SetCollapsed(true);
  S[2]->SetCollapsed(true);
  ASSERT_TRUE(S[1]->ExpandButton()->Multiple());
  delete S[2];
  EXPECT_EQ(S[1]->ExpandButton()->HintText(), L"Show B");
}

TEST_F(Collapse, StoredAllCollapsedLayoutKeepsTheLastOpen) {
  P->SetName(L"Pins");
  Add({L"A", L"B", L"C"});
  const WideString key = L"Software\\TovikTests\\Collapse" + std::to_wstring(GetCurrentProcessId());
  {
    TRegistryIniFile ini(key);
    for (int i = 0; i < 3; ++i) {
      ini.WriteBool(L"", L"Pins_Visibility" + std::to_wstring(i), true);
      ini.WriteBool(L"", L"Pins_Collapsed" + std::to_wstring(i), true);
    }
  }
  P->SetRegistryKey(key);
  EXPECT_TRUE(P->LoadLayout());
  EXPECT_TRUE(S[0]->Collapsed());
  EXPECT_TRUE(S[1]->Collapsed());
  EXPECT_FALSE(S[2]->Collapsed());
  EXPECT_EQ(S[2]->BoundsRect(), (RECT{1, 7, 308, 623}));
  S[2]->SetCollapsible(false);
  S[0]->SetCollapsed(false);
  P->SaveLayout();
  EXPECT_FALSE(TRegistryIniFile(key).ReadBool(L"", L"Pins_Collapsed0", true));
  EXPECT_TRUE(TRegistryIniFile(key).ReadBool(L"", L"Pins_Collapsed1", false));
  TRegistryIniFile::EraseKey(key);
}

TEST_F(Collapse, HiddenCollapsedSectionComesBackExpanded) {
  Add({L"A", L"B"});
  int collapses = 0, expands = 0;
  S[0]->OnCollapse = [&](TObject*) { ++collapses; };
  S[0]->OnExpand = [&](TObject*) { ++expands; };
  S[0]->SetCollapsed(true);
  S[0]->Hide();
  EXPECT_FALSE(S[0]->ExpandButton()->Visible());  // hidden sections have no button
  S[0]->Show();
  EXPECT_FALSE(S[0]->Collapsed());
  EXPECT_TRUE(IsWindowVisible(S[0]->Handle()));
  EXPECT_EQ(S[0]->BoundsRect(), (RECT{1, 1, 308, 309}));
  EXPECT_EQ(collapses, 1);
  EXPECT_EQ(expands, 1);
}

TEST(CollapseBeforeWindows, CollapsedSectionGetsAHiddenWindow) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* panel = new TXPCollapseSectionsPanel(form.get());
  panel->SetBounds(0, 0, 300, 400);
  panel->SetParent(form.get());
  auto* a = static_cast<TXPCustomCollapseSection*>(panel->AddNewSection());
  auto* b = static_cast<TXPCustomCollapseSection*>(panel->AddNewSection());
  b->SetCollapsed(true);
  form->Show();
  ASSERT_TRUE(b->HandleAllocated());
  EXPECT_FALSE(IsWindowVisible(b->Handle()));
  EXPECT_TRUE(IsWindowVisible(a->Handle()));
  EXPECT_EQ(a->Height(), 400 - 8 - 8);  // alone: the whole height less the margins
}

TEST_F(Collapse, AnimatedUserCollapseDrawsFramesAndLeavesTheScreenAsItWas) {
  Add({L"A", L"B"});
  P->CollapseProperties().SetSteps(3);
  P->CollapseProperties().SetInterval(1);
  const POINT origin = P->ClientToScreen(POINT{0, 0});
  TBitmap screen;
  styled_test::MakeCanvas(screen, origin.x + 400, origin.y + 700, 0x808080);
  TAnimationCapture capture(screen);
  for (TXPAnimationKind kind : {TXPAnimationKind::xakFocusRects, TXPAnimationKind::xakFading}) {
    SCOPED_TRACE(int(kind));
    P->CollapseProperties().SetAnimationKind(kind);
    const auto before = capture.Shot();
    capture.Run([&] { S[0]->UserSetCollapsed(true); }, 1);
    EXPECT_TRUE(S[0]->Collapsed());
    ASSERT_FALSE(capture.Middle.empty()) << "no middle frame";
    EXPECT_NE(capture.Middle, before);
    S[0]->SetCollapsed(false);  // from code: no animation
    const auto after = capture.Shot();
    EXPECT_NE(capture.Middle, after);
    EXPECT_EQ(after, before);
  }
}

TEST_F(Collapse, SlidingCollapseSlidesTheSectionsWindowAwayAndBack) {
  Add({L"A", L"B"});
  P->CollapseProperties().SetAnimationKind(TXPAnimationKind::xakSliding);
  P->CollapseProperties().SetInterval(40);
  struct Slide {
    bool Visible;  // the window as the slide starts
    DWORD Duration, Flags;
  };
  std::vector<Slide> slides;
  // The system slides the window in frames of its own; here, a stand-in that
  // records the slide and leaves the window as the system would at its end.
  SetWindowSlider([&](HWND window, DWORD duration, DWORD flags) {
    slides.push_back({IsWindowVisible(window) != FALSE, duration, flags});
    ShowWindow(window, flags & AW_HIDE ? SW_HIDE : SW_SHOWNA);
    return true;
  });
  struct Restore {
    ~Restore() { SetWindowSlider(nullptr); }
  } restore;
  S[0]->UserSetCollapsed(true);
  ASSERT_EQ(slides.size(), 1u);
  EXPECT_TRUE(slides[0].Visible);
  EXPECT_EQ(slides[0].Duration, 40u);
  EXPECT_EQ(slides[0].Flags, DWORD(AW_SLIDE | AW_HIDE | AW_HOR_POSITIVE | AW_VER_NEGATIVE));
  // It ends collapsed: hidden, its room the other section's.
  EXPECT_TRUE(S[0]->Collapsed());
  EXPECT_FALSE(IsWindowVisible(S[0]->Handle()));
  EXPECT_EQ(S[1]->BoundsRect(), (RECT{1, 7, 308, 623}));
  S[0]->UserSetCollapsed(false);
  ASSERT_EQ(slides.size(), 2u);
  EXPECT_EQ(slides[1].Flags, DWORD(AW_SLIDE | AW_HOR_NEGATIVE | AW_VER_POSITIVE));
  EXPECT_TRUE(IsWindowVisible(S[0]->Handle()));
  EXPECT_EQ(S[0]->BoundsRect(), (RECT{1, 1, 308, 309}));
  // From code the section collapses without a slide.
  S[0]->SetCollapsed(true);
  EXPECT_EQ(slides.size(), 2u);
}

}  // namespace

}  // namespace instrument_test
