// Section panels on a real form: the size computation (rounding, clamped
// sections, hidden sections and bars), drags through real mouse messages in
// the adjacent and standard modes, Escape applying the previewed position,
// the container rule, coefficients that sum to nothing, and a layout kept in
// the registry.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "Registry.h"
#include "XPExtCtrls.h"
#include "XPSplit.h"

#include <cmath>

using namespace tvk;
namespace instrument_test {

namespace {

struct Sections : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TXPSectionsPanel* P = new TXPSectionsPanel(Form.get());
  std::vector<TXPCustomSection*> S;
  Sections() {
    P->SetBounds(0, 0, 300, 400);
    P->SetParent(Form.get());
    P->HandleNeeded();
  }
  void Add(int count) {
    for (int i = 0; i < count; ++i) S.push_back(P->AddNewSection());
  }
  // A drag of section Index's bar by Dy through the panel's window.
  void Drag(int index, int dy, bool release = true) {
    TXPSectionSplitter* bar = S[std::size_t(index)]->Splitter();
    const int x = bar->Left() + 20, y = bar->Top() + 2;
    HWND w = P->Handle();
    SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, At(x, y + dy));
    if (release) SendMessageW(w, WM_LBUTTONUP, 0, At(x, y + dy));
  }
};

TEST_F(Sections, LastFlexibleSectionTakesTheRounding) {
  Add(2);
  ASSERT_EQ(P->AvailableLength(), 379);
  EXPECT_EQ(S[0]->BoundsRect(), (RECT{8, 8, 292, 198}));
  EXPECT_EQ(S[1]->BoundsRect(), (RECT{8, 203, 292, 392}));
  EXPECT_TRUE(S[0]->Splitter()->Visible());
  EXPECT_EQ(S[0]->Splitter()->BoundsRect(), (RECT{8, 198, 292, 203}));
  EXPECT_FALSE(S[1]->Splitter()->Visible());  // the last bar is always hidden
}

TEST_F(Sections, ClampedSectionAndHiddenOnes) {
  P->SetBounds(0, 0, 300, 200);
  Add(3);
  ASSERT_EQ(P->AvailableLength(), 174);
  S[0]->SetMinSize(100);
  S[1]->SetMinSize(10);
  S[2]->SetMinSize(10);
  P->Rearrange();
  EXPECT_EQ(S[0]->Height(), 100);
  EXPECT_EQ(S[1]->Height(), 37);
  EXPECT_EQ(S[2]->Height(), 37);
  S[2]->Hide();
  EXPECT_FALSE(S[2]->Splitter()->Visible());
  EXPECT_FALSE(S[1]->Splitter()->Visible());
  EXPECT_EQ(S[0]->Height() + S[1]->Height(), 200 - 16 - 5);
  S[2]->Show();
  EXPECT_TRUE(S[1]->Splitter()->Visible());
}

TEST_F(Sections, AdjacentDragTakesTheExcessFromTheSectionAfter) {
  Add(3);
  const int a = P->AvailableLength();  // 400 - 16 - 10 = 374
  ASSERT_EQ(a, 374);
  const int h1 = S[1]->Height(), h2 = S[2]->Height();
  // Down by 40: the middle section gives 40 and stays above its minimum.
  Drag(0, 40);
  EXPECT_EQ(S[0]->Height(), 125 + 40);
  EXPECT_EQ(S[1]->Height(), h1 - 40);
  EXPECT_EQ(S[2]->Height(), h2);
  // Further down past the middle one's minimum: the last gives the rest.
  const int h0 = S[0]->Height();
  Drag(0, 70);
  EXPECT_EQ(S[0]->Height(), h0 + 70);
  EXPECT_EQ(S[1]->Height(), 50);
  EXPECT_EQ(S[0]->Height() + S[1]->Height() + S[2]->Height(), a);
}

TEST_F(Sections, StandardDragChangesOnlyTheDraggedAndTheLast) {
  P->SetResizeMode(TXPResizeMode::xrmStandard);
  Add(3);
  const int h1 = S[1]->Height(), h2 = S[2]->Height();
  Drag(0, 30);
  EXPECT_EQ(S[1]->Height(), h1);
  EXPECT_EQ(S[2]->Height(), h2 - 30);
}

TEST_F(Sections, EscapeAppliesThePreviewedPositionAndNoActiveControlIsFine) {
  Add(2);
  const int h0 = S[0]->Height();
  // No active control: nothing is borrowed, the drag still works.
  Drag(0, 20);
  EXPECT_EQ(S[0]->Height(), h0 + 20);
  auto* edit = new TXPSection(nullptr);
  edit->SetBounds(0, 0, 10, 10);
  edit->SetParent(Form.get());
  Form->SetActiveControl(edit);
  int keys = 0;
  edit->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keys; };
  Drag(0, 30, false);
  ASSERT_TRUE(S[0]->Splitter()->Sizing());
  WORD key = VK_ESCAPE;
  edit->OnKeyDown(edit, key, 0);
  EXPECT_FALSE(S[0]->Splitter()->Sizing());
  EXPECT_EQ(S[0]->Height(), h0 + 50);
  key = 'A';
  edit->OnKeyDown(edit, key, 0);
  EXPECT_EQ(keys, 1);
  SendMessageW(P->Handle(), WM_LBUTTONUP, 0, At(30, 300));
}

TEST_F(Sections, ExtendedResizePreviewsEveryBar) {
  P->SetExtendedResize(true);
  Add(3);
  const int bar1 = S[1]->Splitter()->Top();
  Drag(0, 40, false);
  // The middle section gives the room: the second bar stays.
  EXPECT_EQ(S[1]->Splitter()->NewSize(), bar1);
  SendMessageW(P->Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(30, S[0]->Splitter()->Top() + 2 + 110));
  // Past the middle one's minimum the second bar is pushed down too.
  EXPECT_EQ(S[1]->Splitter()->NewSize(), S[0]->Splitter()->NewSize() + 5 + 50);
  SendMessageW(P->Handle(), WM_LBUTTONUP, 0, At(30, S[0]->Splitter()->Top() + 2 + 110));
  EXPECT_EQ(S[1]->Splitter()->Top(), S[0]->Splitter()->Top() + 5 + 50);
}

TEST_F(Sections, RegistryBaseNamesTheKey) {
  P->SetName(L"Pins");
  EXPECT_EQ(P->LayoutKey(), L"");
  SectionsRegistryBase = [](WideString& base) { base = L"Software\\Host"; };
  EXPECT_EQ(P->LayoutKey(), L"Software\\Host\\TForm");
  P->SetRegistryKey(L"Layouts");
  EXPECT_EQ(P->LayoutKey(), L"Software\\Host\\Layouts");
  SectionsRegistryBase = nullptr;
}

TEST_F(Sections, SectionsOnlyGoIntoASectionsPanel) {
  auto* section = new TXPSection(Form.get());
  try {
    section->SetParent(Form.get());
    FAIL() << "placed in a form";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"TXPSection can be inserted only in TXPCustomSectionsPanel.");
  }
  EXPECT_EQ(section->Parent(), nullptr);
}

TEST_F(Sections, BorderKeepsAlignedContentOnePixelIn) {
  Add(1);
  auto* inner = new TXPSectionsPanel(nullptr);
  inner->SetAlign(TAlign::alClient);
  inner->SetParent(S[0]);
  EXPECT_EQ(inner->BoundsRect(), S[0]->ClientRect());
  S[0]->SetShowBorder(true);
  RECT expected = S[0]->ClientRect();
  InflateRect(&expected, -1, -1);
  EXPECT_EQ(inner->BoundsRect(), expected);
}

TEST_F(Sections, PanelRefusesForeignControlsBeforeTakingThem) {
  auto* foreign = new TXPSplitter(Form.get());
  try {
    foreign->SetParent(P);
    FAIL() << "placed in the panel";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), L"TXPSplitter can't be inserted into TXPSectionsPanel.");
  }
  EXPECT_EQ(foreign->Parent(), nullptr);
  EXPECT_EQ(P->ControlCount(), 0);
}

TEST_F(Sections, AProportionalDragSizesTheSectionAndKeepsTheOthersInProportion) {
  P->SetBounds(0, 0, 300, 700);  // no section at its minimum
  P->SetResizeMode(TXPResizeMode::xrmProportional);
  Add(3);
  S[1]->SetSizeCoef(2);  // the two below in unequal shares
  P->NormalizeCoefs();
  P->Rearrange();
  const int barTop = S[0]->Splitter()->Top(), height = S[0]->Height();
  const int below = S[1]->Height() + S[2]->Height();
  const double ratio = double(S[1]->Height()) / S[2]->Height();
  Drag(0, 40);
  EXPECT_EQ(barTop + 40, S[0]->Splitter()->Top());
  EXPECT_EQ(height + 40, S[0]->Height());
  EXPECT_NEAR(below - 40, S[1]->Height() + S[2]->Height(), 1) << "the others gave up what it took";
  EXPECT_NEAR(ratio, double(S[1]->Height()) / S[2]->Height(), ratio * 0.02) << "and still stand in proportion";
  double sum = 0;
  for (auto* section : S) sum += section->SizeCoef();
  EXPECT_DOUBLE_EQ(1.0, sum) << "normalised";
  // The panel grows: every section grows in its proportion.
  const int first = S[0]->Height(), available = P->AvailableLength();
  P->SetBounds(0, 0, 300, 900);
  EXPECT_NEAR(first * double(P->AvailableLength()) / available, S[0]->Height(), 2);
}

TEST_F(Sections, CoefficientsSummingToNothingStayAsTheyAre) {
  P->SetResizeMode(TXPResizeMode::xrmProportional);
  Add(2);
  S[0]->SetSizeCoef(0);
  S[1]->SetSizeCoef(0);
  P->NormalizeCoefs();
  EXPECT_EQ(S[0]->SizeCoef(), 0.0);
  EXPECT_EQ(S[1]->SizeCoef(), 0.0);
  P->Rearrange();  // every section at its current extent, nothing divided by 0
  EXPECT_GE(S[0]->Height(), S[0]->MinSize());
  S[0]->SetSizeCoef(1);
  S[1]->SetSizeCoef(3);
  P->NormalizeCoefs();
  EXPECT_DOUBLE_EQ(S[0]->SizeCoef(), 0.25);
}

TEST_F(Sections, LayoutKeptInTheRegistryOnlyWithAKey) {
  P->SetName(L"Pins");
  Add(2);
  EXPECT_FALSE(P->LoadLayout());  // no key: nothing read
  const WideString key = L"Software\\TovikTests\\Sections" + std::to_wstring(GetCurrentProcessId());
  P->SetRegistryKey(key);
  S[0]->SetSizeCoef(0.3);
  S[1]->SetSizeCoef(0.7);
  S[1]->Hide();
  P->SaveLayout();
  TRegistryIniFile ini(key);
  EXPECT_DOUBLE_EQ(ini.ReadFloat(L"", L"Pins_SizeCoef0", 0), 0.3);
  EXPECT_FALSE(ini.ReadBool(L"", L"Pins_Visibility1", true));
  // Another panel of the same name (another owner) reads it back.
  std::unique_ptr<TXPSectionsPanel> other(new TXPSectionsPanel(nullptr));
  other->SetName(L"Pins");
  other->SetBounds(0, 0, 300, 400);
  other->SetParent(Form.get());
  auto* a = other->AddNewSection();
  auto* b = other->AddNewSection();
  other->SetRegistryKey(key);
  EXPECT_TRUE(other->LoadLayout());
  EXPECT_DOUBLE_EQ(a->SizeCoef(), 0.3);
  EXPECT_FALSE(b->Visible());
  TRegistryIniFile::EraseKey(key);
  EXPECT_FALSE(TRegistryIniFile(key).ValueExists(L"", L"Pins_SizeCoef0"));
}

}  // namespace

}  // namespace instrument_test
