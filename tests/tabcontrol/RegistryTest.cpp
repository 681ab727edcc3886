// The tab painter registry, the nine registered styles with their class
// answers and look-and-feel resolution, and the page-control units' start-up
// and shut-down.
#include "TabControlTest.h"
#include "cxPC.h"
#include "cxPCConsts.h"
#include "cxPCPainters.h"
#include "dxCore.h"
#include "support/ErrorText.h"

namespace tabcontrol_test {
namespace {

using namespace tvk;

TEST_F(TabControl, NineStylesRegisteredInOrderWithTheirClassAnswers) {
  struct TRow {
    TcxPCPainterClass Class;
    TcxPCStyleID Id;
    const wchar_t* Name;
    TcxPCStandardStyle Standard;
    bool BoundWithClient, MultiSelection, Pressable;
  };
  const TRow rows[] = {
      {TcxPCTabsPainter::Class(), 1, L"Tabs", tsTabs, true, false, false},
      {TcxPCButtonsPainter::Class(), 2, L"Buttons", tsButtons, false, true, true},
      {TcxPCFlatButtonsPainter::Class(), 3, L"FlatButtons", tsFlatButtons, false, true, true},
      {TcxPCExtraFlatPainter::Class(), 5, L"ExtraFlat", tsTabs, true, false, false},
      {TcxPCUltraFlatPainter::Class(), 6, L"UltraFlat", tsTabs, true, false, false},
      {TcxPCFlatPainter::Class(), 7, L"Flat", tsTabs, true, false, false},
      {TcxPCOffice11Painter::Class(), 8, L"Office11", tsTabs, true, false, false},
      {TcxPCSlantedPainter::Class(), 9, L"Slanted", tsTabs, true, false, false},
      {TcxPCOneNotePainter::Class(), 10, L"OneNote", tsTabs, true, false, false},
  };
  TcxPCPaintersFactory* factory = PaintersFactory();
  ASSERT_NE(nullptr, factory);
  // The test painter was registered after the nine.
  ASSERT_EQ(10, factory->PainterClassCount());
  for (int i = 0; i < 9; ++i) {
    const TRow& row = rows[i];
    SCOPED_TRACE(row.Name);
    EXPECT_EQ(row.Class, factory->PainterClasses(i));
    EXPECT_EQ(row.Id, row.Class->GetStyleID());
    EXPECT_EQ(row.Name, row.Class->GetStyleName());
    EXPECT_EQ(row.Standard, row.Class->GetStandardStyle());
    EXPECT_TRUE(row.Class->IsStandardStyle());
    // OneNote does not honour rotation.
    EXPECT_EQ(row.Id != 10, row.Class->IsRotationSupported());
    EXPECT_EQ(row.BoundWithClient, row.Class->IsMainTabBoundWithClient());
    EXPECT_EQ(row.MultiSelection, row.Class->IsMultiSelectionAccepted());
    EXPECT_EQ(row.Pressable, row.Class->IsTabPressable());
    EXPECT_TRUE(row.Class->InheritsFrom(&TcxPCStandardPainter::StaticClassInfo()));
  }
  EXPECT_TRUE(TcxPCButtonsPainter::Class()->InheritsFrom(&TcxPCButtonedPainter::StaticClassInfo()));
  EXPECT_TRUE(TcxPCOffice11Painter::Class()->InheritsFrom(&TcxPCExtraFlatPainter::StaticClassInfo()));
  EXPECT_TRUE(TcxPCFlatPainter::Class()->InheritsFrom(&TcxPCTabsPainter::StaticClassInfo()));
  EXPECT_TRUE(TcxPCOneNotePainter::Class()->InheritsFrom(&TcxPCSlantedPainter::StaticClassInfo()));
  EXPECT_EQ(L"TcxPCOneNotePainter", TcxPCOneNotePainter::Class()->ClassName());
}

TEST_F(TabControl, LookupsByStandardStyleIdAndName) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  EXPECT_EQ(TcxPCTabsPainter::Class(), factory->GetPainterClass(tsTabs));
  EXPECT_EQ(TcxPCButtonsPainter::Class(), factory->GetPainterClass(tsButtons));
  EXPECT_EQ(TcxPCFlatButtonsPainter::Class(), factory->GetPainterClass(tsFlatButtons));
  EXPECT_EQ(TcxPCOneNotePainter::Class(), factory->GetPainterClass(WideString(L"oNeNoTe")));
  EXPECT_EQ(nullptr, factory->GetPainterClass(WideString(L"Native")));
  EXPECT_EQ(nullptr, factory->GetPainterClass(TcxPCStyleID(0)));
  EXPECT_EQ(nullptr, factory->GetPainterClass(TcxPCStyleID(4)));
  EXPECT_EQ(TcxPCSlantedPainter::Class(), factory->GetPainterClass(TcxPCStyleID(9)));
}

TEST_F(TabControl, DuplicatesAndUnknownClassesChangeNothing) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  RegisterPainterClass(TcxPCFlatPainter::Class());
  EXPECT_EQ(10, factory->PainterClassCount());
  UnregisterPainterClass(TTestTabPainter::Class());
  UnregisterPainterClass(TTestTabPainter::Class());
  EXPECT_EQ(9, factory->PainterClassCount());
  RegisterPainterClass(TTestTabPainter::Class());
}

TEST_F(TabControl, FactoryGoesWithItsLastClassAndComesBackFresh) {
  UnregisterPainterClass(TTestTabPainter::Class());
  for (int i = 0; i < cxPCRegisteredPainterCount; ++i) {
    ASSERT_NE(nullptr, PaintersFactory());
    UnregisterPainterClass(RegisteredPCPainterClasses()[i]);
  }
  EXPECT_EQ(nullptr, PaintersFactory());
  UnregisterPainterClass(TcxPCTabsPainter::Class());  // no factory: nothing
  RegisterPainterClass(TcxPCSlantedPainter::Class());
  ASSERT_NE(nullptr, PaintersFactory());
  EXPECT_EQ(1, PaintersFactory()->PainterClassCount());
  UnregisterPainterClass(TcxPCSlantedPainter::Class());
  // The painters unit puts the nine back for the rest of the test.
  cxPCPaintersUnitStart();
  RegisterPainterClass(TTestTabPainter::Class());
}

TEST_F(TabControl, EmptyRegistryRaisesItsFixedMessage) {
  TcxPCPaintersFactory empty;
  try {
    empty.GetDefaultStyleID(nullptr);
    FAIL() << "no error";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"TcxPCPaintersFactory.GetDefaultStyleID: There are no styles registered", e.Message());
  }
  EXPECT_EQ(cxPCNoStyle, empty.GetStyleID(nullptr));
}

// A look and feel whose skin painter is a stand-in (painter style lfsSkin).
class TSkinPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  TVK_CLASS(TSkinPainter, TcxUltraFlatLookAndFeelPainter)
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsSkin; }
};

class TSkinnedLookAndFeel : public TcxLookAndFeel {
public:
  TVK_CLASS(TSkinnedLookAndFeel, TcxLookAndFeel)
  TSkinnedLookAndFeel() : TcxLookAndFeel(nullptr) {}
  TSkinPainter Skin;

protected:
  TcxCustomLookAndFeelPainter* GetSkinPainterByName(const TdxSkinName& AName) const override {
    return AName.empty() ? nullptr : const_cast<TSkinPainter*>(&Skin);
  }
};

TEST_F(TabControl, EachLookAndFeelResolvesToItsStyle) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  struct TRow {
    TcxLookAndFeelKind Kind;
    bool Skin;
    TcxPCStyleID StyleID, Resolved;
  };
  // Native style off throughout, so that the kind decides.
  const TRow rows[] = {{lfFlat, false, 7, 7},
                       {lfStandard, false, 1, 1},
                       {lfUltraFlat, false, 6, 6},
                       {lfOffice11, false, 8, 8},
                       {lfUltraFlat, true, cxPCNoStyle, 1}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(int(row.Kind) * 10 + row.Skin);
    TSkinnedLookAndFeel lookAndFeel;
    lookAndFeel.SetNativeStyle(false);
    lookAndFeel.SetKind(row.Kind);
    if (row.Skin) lookAndFeel.SetSkinName(L"Stand-in");
    const TcxPCStyleID id = factory->GetStyleID(&lookAndFeel);
    EXPECT_EQ(row.StyleID, id);
    EXPECT_EQ(row.Resolved, id == cxPCNoStyle ? factory->GetDefaultStyleID(&lookAndFeel) : id);
  }
  // A skin with native style on: the last default class, Flat (the skin painter is kept
  // only without native style, so its resolution is asked of the classes directly).
  TSkinnedLookAndFeel native;
  native.SetNativeStyle(true);
  EXPECT_EQ(7, factory->GetDefaultStyleID(&native));
  EXPECT_TRUE(TcxPCTabsPainter::Class()->IsDefault(&native));
  EXPECT_FALSE(TcxPCOffice11Painter::Class()->IsDefault(&native));
}

TEST_F(TabControl, LayoutPicksThePainterOfItsStyleOrLookAndFeel) {
  TTabOwner owner;
  owner.OwnLookAndFeel().SetNativeStyle(false);
  owner.OwnLookAndFeel().SetKind(lfFlat);
  EXPECT_EQ(TcxPCFlatPainter::Class(), owner.ViewInfo().GetPainterClass());
  owner.Properties().SetStyle(9);
  EXPECT_EQ(TcxPCSlantedPainter::Class(), owner.ViewInfo().GetPainterClass());
  // Every registered style makes a painter; the two unregistered bases stay abstract.
  for (int i = 0; i < cxPCRegisteredPainterCount; ++i)
    EXPECT_NE(nullptr, RegisteredPCPainterClasses()[i]->Create(&owner.ViewInfo()));
  EXPECT_THROW(TcxPCStandardPainter::Class()->Create(&owner.ViewInfo()), EAbstractError);
  EXPECT_THROW(TcxPCButtonedPainter::Class()->Create(&owner.ViewInfo()), EAbstractError);
}

TEST_F(TabControl, UnitsStartAndStopTwice) {
  const TcxPCPainterClass test = TTestTabPainter::Class();
  UnregisterPainterClass(test);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    TdxResourceStringsRepository& repository = GetResourceStringsRepository();
    const int product = repository.GetProductIndexByName(kcxPageControlProductName);
    ASSERT_NE(-1, product);
    EXPECT_EQ(12, repository.ProductAt(product)->ResStringsCount());
    EXPECT_EQ(L"%d is an invalid PageIndex value.  PageIndex must be between 0 and %d",
              repository.GetOriginalValue(L"scxPCPageIndexError"));
    ASSERT_NE(nullptr, PaintersFactory());
    EXPECT_EQ(9, PaintersFactory()->PainterClassCount());
    EXPECT_TRUE(IsPCPaletteNotifierPresent());
    EXPECT_EQ(11u, PCOptionNames().size());
    EXPECT_EQ(L"UsePageColorForTab", PCOptionNames().back());
    EXPECT_EQ(3u, PCStandardStyleNames().size());

    laf_editors_test::StopSteps(LookAndFeelEditorsSteps());
    EXPECT_EQ(nullptr, PaintersFactory());
    EXPECT_FALSE(IsPCPaletteNotifierPresent());
    EXPECT_EQ(-1, GetResourceStringsRepository().GetProductIndexByName(kcxPageControlProductName));
    EXPECT_TRUE(PCOptionNames().empty());
    EXPECT_TRUE(PCStandardStyleNames().empty());
    for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup()) << step.Name;
  }
  RegisterPainterClass(test);
}

}  // namespace
}  // namespace tabcontrol_test
