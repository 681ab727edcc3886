// The memory map's acceptance rules, its default sections and the links
// between sections, driven as the host drives them (by dispatch identifier).
#include <gtest/gtest.h>

#include "FakeHostObject.h"
#include "Tovik.Classes.h"
#include "ZUL.DispatchFix.h"
#include "support/HostCall.h"

namespace {

using namespace testsupport;
using tvk::ComRef;

constexpr DISPID kAddArchitectureSection = 503945, kAddLogicalSection = 503946, kAddDefaultSection = 503947;
constexpr DISPID kGetDefaultROM = 503938, kGetDefaultRAM = 503939, kGetDefaultFlash = 503940;
constexpr DISPID kGetArchitectureSectionCount = 503941, kGetLogicalSectionCount = 503942;
constexpr DISPID kGetLogicalSection = 503943;
constexpr DISPID kLogicalGetBusName = 503892, kLogicalGetIndex = 503891, kLogicalGetParentMap = 503900;
constexpr DISPID kLogicalSetParentMap = 503909;
constexpr DISPID kArchGetChildMapCount = 503936, kArchGetChildMap = 503937, kArchAddLogicalSection = 503935;

struct TArea {
  const wchar_t* BusType;
  uint32_t Start, Size;
};

class MemoryMap : public ::testing::Test {
protected:
  void SetUp() override {
    tvk::DispatchFixStartup();  // the module's start-up installs the dispatcher
    Map = ComRef<IDispatch>(static_cast<IDispatch*>(tvk::New<tvk::TDeviceMemoryInformation>()));
  }

  static ComRef<IDispatch> Arch(TArea a, const wchar_t* busName = L"", int32_t index = 0) {
    auto* s = tvk::New<tvk::TDeviceMemoryArchitectureSection>();
    ComRef<IDispatch> ref(static_cast<IDispatch*>(s));
    s->SetBusType(a.BusType);
    s->SetStartAddress(a.Start);
    s->SetSize(a.Size);
    s->SetBusName(busName);
    s->SetDeviceMemoryIndex(uint32_t(index));
    return ref;
  }
  static ComRef<IDispatch> Logical(TArea a, const wchar_t* physical = L"", bool isDefault = false) {
    auto* s = tvk::New<tvk::TDeviceMemoryLogicalSection>();
    ComRef<IDispatch> ref(static_cast<IDispatch*>(s));
    s->SetBusType(a.BusType);
    s->SetStartAddress(a.Start);
    s->SetSize(a.Size);
    s->SetPhysicalType(physical);
    s->SetIsDefault(isDefault);
    s->SetBusName(L"own name");
    return ref;
  }
  long Add(DISPID id, const ComRef<IDispatch>& section) {
    TCall c = Call(Map.Get(), id, {Obj(section.Get())});
    EXPECT_EQ(S_OK, c.Hr);
    return c.Int();
  }
  long Count(DISPID id) { return Call(Map.Get(), id).Int(); }

  ComRef<IDispatch> Map;
};

TEST_F(MemoryMap, ArchitectureSectionsOfOneBusTypeMustNotShareAnAddress) {
  const struct {
    TArea First, Second;
    long Expected;  // of the second
  } cases[] = {
      {{L"AHB", 0, 0x100}, {L"AHB", 0x100, 0x100}, 0},          // adjacent
      {{L"AHB", 0, 0x101}, {L"AHB", 0x100, 0x100}, -1},         // share 0x100
      {{L"AHB", 0x100, 0x100}, {L"AHB", 0, 0x101}, -1},         // the same, other order
      {{L"AHB", 0x100, 0x100}, {L"AHB", 0x140, 0x10}, -1},      // inside
      {{L"AHB", 0x140, 0x10}, {L"AHB", 0x100, 0x100}, -1},      // around
      {{L"AHB", 0, 0x1000}, {L"APB", 0x10, 0x10}, 0},           // other bus type
      {{L"AHB", 0, 0x1000}, {L"ahb", 0x10, 0x10}, 0},           // bus types compare exactly
      {{L"AHB", 0xFFFFFF00u, 0x100}, {L"AHB", 0, 0x10}, 0},     // ends at 4 GiB: no wrap to 0
      {{L"AHB", 0x1000, 0x10}, {L"AHB", 0, 0}, -1},             // empty: refused
      {{L"AHB", 0, 0}, {L"AHB", 0x1000, 0x10}, 0},              // the empty first was refused, not "everything"
  };
  for (const auto& c : cases) {
    SetUp();
    Add(kAddArchitectureSection, Arch(c.First));
    EXPECT_EQ(c.Expected, Add(kAddArchitectureSection, Arch(c.Second)))
        << c.First.Start << "+" << c.First.Size << " then " << c.Second.Start << "+" << c.Second.Size;
  }
}

TEST_F(MemoryMap, ALogicalSectionNeedsAnArchitectureSectionOfItsBusTypeThatContainsIt) {
  const TArea parent{L"AHB", 0x1000, 0x1000};
  const struct {
    TArea Parent, Section;
    long Expected;
  } cases[] = {
      {parent, {L"AHB", 0x1000, 0x1000}, 0},               // the whole parent
      {parent, {L"AHB", 0x1F00, 0x100}, 0},                // ends exactly at the parent's end
      {parent, {L"AHB", 0x1F00, 0x101}, -1},               // one unit further
      {parent, {L"AHB", 0x0FFF, 0x10}, -1},                // starts below
      {parent, {L"ahb", 0x1100, 0x10}, -1},                // bus type differs in case
      {parent, {L"AHB", 0x1100, 0}, -1},                   // empty: refused
      {{L"AHB", 0xFFFFFF00u, 0x100}, {L"AHB", 0xFFFFFF80u, 0x80}, 0},  // up to 4 GiB
      {{L"AHB", 0xFFFFFF00u, 0x100}, {L"AHB", 0xFFFFFF80u, 0x40}, 0},  // inside a parent that ends at 4 GiB
      {{L"AHB", 0xFFFFFF00u, 0x100}, {L"AHB", 0xFFFFFF80u, 0x100}, -1}, // past 4 GiB
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_EQ(0, Add(kAddArchitectureSection, Arch(c.Parent)));
    EXPECT_EQ(c.Expected, Add(kAddLogicalSection, Logical(c.Section))) << std::hex << c.Section.Start << "+"
                                                                       << c.Section.Size << " " << c.Section.BusType;
    EXPECT_EQ(c.Expected == 0 ? 1 : 0, Count(kGetLogicalSectionCount));
  }
}

TEST_F(MemoryMap, AnAttachedSectionTakesItsParentsNameAndIndexAndBecomesItsChild) {
  ComRef<IDispatch> other = Arch({L"APB", 0, 0x100}, L"Periph", 1);
  ComRef<IDispatch> parent = Arch({L"AHB", 0, 0x100}, L"Mem", 4);
  ComRef<IDispatch> section = Logical({L"AHB", 0x10, 0x10});
  Add(kAddArchitectureSection, other);
  Add(kAddArchitectureSection, parent);
  ASSERT_EQ(0, Add(kAddLogicalSection, section));

  EXPECT_EQ(L"Mem", Call(section.Get(), kLogicalGetBusName).Text());
  EXPECT_EQ(4, Call(section.Get(), kLogicalGetIndex).Int());
  EXPECT_TRUE(SameObject(parent.Get(), Call(section.Get(), kLogicalGetParentMap).Dispatch()));
  EXPECT_EQ(1, Call(parent.Get(), kArchGetChildMapCount).Int());
  EXPECT_TRUE(SameObject(section.Get(), Call(parent.Get(), kArchGetChildMap, {I4(0)}).Dispatch()));
  EXPECT_EQ(nullptr, Call(parent.Get(), kArchGetChildMap, {I4(1)}).Dispatch());
  EXPECT_EQ(0, Call(other.Get(), kArchGetChildMapCount).Int());
  EXPECT_TRUE(SameObject(section.Get(), Call(Map.Get(), kGetLogicalSection, {I4(0)}).Dispatch()));
  EXPECT_EQ(2, Count(kGetArchitectureSectionCount));
}

TEST_F(MemoryMap, ALogicalSectionBeforeItsArchitectureSectionIsDropped) {
  EXPECT_EQ(-1, Add(kAddLogicalSection, Logical({L"AHB", 0, 0x10})));
  Add(kAddArchitectureSection, Arch({L"AHB", 0, 0x100}));
  EXPECT_EQ(0, Count(kGetLogicalSectionCount));
}

TEST_F(MemoryMap, TheLastDefaultSectionOfEachKindWins) {
  Add(kAddArchitectureSection, Arch({L"AHB", 0, 0x10000}));
  ComRef<IDispatch> flash1 = Logical({L"AHB", 0, 0x100}, L"flash", true);
  ComRef<IDispatch> flash2 = Logical({L"AHB", 0x100, 0x100}, L"FLASH", true);
  ComRef<IDispatch> rom = Logical({L"AHB", 0x200, 0x100}, L"Rom", true);
  ComRef<IDispatch> notDefault = Logical({L"AHB", 0x300, 0x100}, L"ram", false);
  ComRef<IDispatch> otherKind = Logical({L"AHB", 0x400, 0x100}, L"nvram", true);
  for (auto* s : {&flash1, &flash2, &rom, &notDefault, &otherKind}) EXPECT_EQ(0, Add(kAddLogicalSection, *s));

  EXPECT_TRUE(SameObject(flash2.Get(), Call(Map.Get(), kGetDefaultFlash).Dispatch()));
  EXPECT_TRUE(SameObject(rom.Get(), Call(Map.Get(), kGetDefaultROM).Dispatch()));
  TCall ram = Call(Map.Get(), kGetDefaultRAM);
  EXPECT_EQ(VT_DISPATCH, ram.Type());
  EXPECT_EQ(nullptr, ram.Dispatch());

  // The host may name a default that is in no map; the answer is always 0.
  ComRef<IDispatch> loose = Logical({L"XYZ", 0, 1}, L"ram", true);
  EXPECT_EQ(0, Add(kAddDefaultSection, loose));
  EXPECT_TRUE(SameObject(loose.Get(), Call(Map.Get(), kGetDefaultRAM).Dispatch()));
  EXPECT_EQ(0, Add(kAddDefaultSection, Logical({L"XYZ", 0, 1}, L"flash", false)));
  EXPECT_TRUE(SameObject(flash2.Get(), Call(Map.Get(), kGetDefaultFlash).Dispatch()));
}

TEST_F(MemoryMap, AnArchitectureSectionAttachesAnyChildAndAnswersZero) {
  ComRef<IDispatch> arch = Arch({L"AHB", 0, 0x10});
  ComRef<IDispatch> distant = Logical({L"APB", 0x1000, 0x10});
  EXPECT_EQ(0, Call(arch.Get(), kArchAddLogicalSection, {Obj(distant.Get())}).Int());
  EXPECT_EQ(0, Call(arch.Get(), kArchAddLogicalSection, {Obj(distant.Get())}).Int());
  EXPECT_EQ(2, Call(arch.Get(), kArchGetChildMapCount).Int());
}

TEST_F(MemoryMap, DroppingAMapFreesItsSectionsAndEmptiesParentLinks) {
  ComRef<IDispatch> parent = Arch({L"AHB", 0, 0x100});
  auto* section = tvk::New<tvk::TDeviceMemoryLogicalSection>();
  ComRef<IDispatch> sectionRef(static_cast<IDispatch*>(section));
  section->SetBusType(L"AHB");
  section->SetSize(0x10);
  Add(kAddArchitectureSection, parent);
  ASSERT_EQ(0, Add(kAddLogicalSection, sectionRef));
  parent.Reset();
  Map.Reset();  // the map held the parent, the parent its child

  EXPECT_EQ(1, section->RefCount()) << "the dropped parent still holds its child";
  TCall c = Call(sectionRef.Get(), kLogicalGetParentMap);
  ASSERT_EQ(S_OK, c.Hr);
  EXPECT_EQ(VT_DISPATCH, c.Type());
  EXPECT_EQ(nullptr, c.Dispatch());
}

TEST_F(MemoryMap, AParentLinkMovesWithSetParentMapAndOwnsOnlyAForeignParent) {
  ComRef<IDispatch> first = Arch({L"AHB", 0, 0x100});
  ComRef<IDispatch> second = Arch({L"AHB", 0, 0x100});
  ComRef<IDispatch> section = Logical({L"AHB", 0, 0x10});
  auto* firstObj = static_cast<tvk::TDeviceMemoryArchitectureSection*>(first.Get());
  const LONG before = firstObj->RefCount();
  ASSERT_EQ(S_OK, Call(section.Get(), kLogicalSetParentMap, {Obj(first.Get())}).Hr);
  EXPECT_EQ(before, firstObj->RefCount()) << "a link to this module's section counts no reference";
  ASSERT_EQ(S_OK, Call(section.Get(), kLogicalSetParentMap, {Obj(second.Get())}).Hr);
  first.Reset();  // no longer linked: its going must not touch the section
  EXPECT_TRUE(SameObject(second.Get(), Call(section.Get(), kLogicalGetParentMap).Dispatch()));

  auto* foreign = new hostsim::FakeHostObject;
  const LONG held = foreign->RefCount();
  ASSERT_EQ(S_OK, Call(section.Get(), kLogicalSetParentMap, {Obj(foreign)}).Hr);
  EXPECT_EQ(held + 1, foreign->RefCount()) << "a foreign parent is held counted";
  second.Reset();
  EXPECT_TRUE(SameObject(static_cast<IDispatch*>(foreign), Call(section.Get(), kLogicalGetParentMap).Dispatch()));
  ASSERT_EQ(S_OK, Call(section.Get(), kLogicalSetParentMap, {Obj(nullptr)}).Hr);
  EXPECT_EQ(held, foreign->RefCount());
  EXPECT_EQ(nullptr, Call(section.Get(), kLogicalGetParentMap).Dispatch());
  foreign->Release();
}

// A section the host made is asked by dispatch identifier like the module's own.
TEST_F(MemoryMap, AHostMadeArchitectureSectionTakesPartInTheRules) {
  auto* host = new hostsim::FakeHostObject;
  host->ReturnString(503920, L"AHB");     // GetBusType
  host->ReturnInt(503921, 0x100);          // GetStartAddress
  host->ReturnInt(503922, 0x100);          // GetSize
  host->ReturnString(503918, L"HostBus");  // GetBusName
  host->ReturnInt(503917, 2);              // GetDeviceMemoryIndex
  host->ReturnInt(503935, 0);              // AddLogicalSection
  ComRef<IDispatch> hostRef = ComRef<IDispatch>::Adopt(host);

  EXPECT_EQ(0, Add(kAddArchitectureSection, hostRef));
  EXPECT_EQ(-1, Add(kAddArchitectureSection, Arch({L"AHB", 0x1FF, 1})));
  ComRef<IDispatch> section = Logical({L"AHB", 0x180, 0x80});
  ASSERT_EQ(0, Add(kAddLogicalSection, section));
  EXPECT_EQ(L"HostBus", Call(section.Get(), kLogicalGetBusName).Text());
  EXPECT_EQ(2, Call(section.Get(), kLogicalGetIndex).Int());
  EXPECT_EQ(1u, host->CallCount(503935));
}

TEST_F(MemoryMap, AFailingHostSectionFailsTheCallWithUnexpected) {
  auto* host = new hostsim::FakeHostObject;  // answers no identifier
  ComRef<IDispatch> hostRef = ComRef<IDispatch>::Adopt(host);
  EXPECT_EQ(HRESULT(0x8000FFFFL), Call(Map.Get(), kAddArchitectureSection, {Obj(host)}).Hr);
  EXPECT_EQ(HRESULT(0x8000FFFFL), Call(Map.Get(), kAddLogicalSection, {Obj(nullptr)}).Hr);
  EXPECT_EQ(0, Count(kGetArchitectureSectionCount));
}

}  // namespace
