// Objects, components and designs: class references, ownership and the order
// things are freed in, free notification, names, the loading state, and
// message dispatch by number through the class levels.
#include <gtest/gtest.h>

#include "Classes.h"

#include <string>
#include <vector>

using namespace tvk;

namespace {

std::vector<std::wstring> gLog;

class TProbe : public TComponent {
public:
  TVK_CLASS(TProbe, TComponent)
  TProbe(TComponent* owner, std::wstring label) : TComponent(owner), FLabel(std::move(label)) {}
  ~TProbe() override { gLog.push_back(L"free " + FLabel); }
  void Loaded() override {
    gLog.push_back(L"loaded " + FLabel + (Loading() ? L" (loading)" : L""));
    TComponent::Loaded();
  }
  std::vector<std::wstring> Heard;

protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c != this) Heard.push_back(c->Name());
  }

private:
  std::wstring FLabel;
};

class TProbeChild : public TProbe {
public:
  TVK_CLASS(TProbeChild, TProbe)
  using TProbe::TProbe;
};

TEST(Objects, ClassReferencesFollowTheClassLevels) {
  TProbeChild c(nullptr, L"c");
  EXPECT_EQ(L"TProbeChild", c.ClassName());
  EXPECT_TRUE(c.Is<TProbe>());
  EXPECT_TRUE(c.Is<TComponent>());
  EXPECT_TRUE(c.InheritsFrom(&TObject::StaticClassInfo()));
  TProbe p(nullptr, L"p");
  EXPECT_FALSE(p.Is<TProbeChild>());
  EXPECT_EQ(&TProbe::StaticClassInfo(), TProbeChild::StaticClassInfo().Parent);
}

TEST(Components, OwnerFreesOwnedLastFirstAndLeavesNoDanglingEntry) {
  gLog.clear();
  {
    TProbe owner(nullptr, L"owner");
    new TProbe(&owner, L"a");
    auto* b = new TProbe(&owner, L"b");
    new TProbe(&owner, L"c");
    delete b;  // leaves its owner
    ASSERT_EQ(2, owner.ComponentCount());
    EXPECT_EQ(owner.Components(1)->Owner(), &owner);
  }
  EXPECT_EQ((std::vector<std::wstring>{L"free b", L"free owner", L"free c", L"free a"}), gLog);
}

TEST(Components, FreeNotificationReachesThePartnerEitherWay) {
  TProbe watcher(nullptr, L"w");
  auto* watched = new TProbe(nullptr, L"x");
  watched->SetName(L"Watched");
  watched->FreeNotification(&watcher);
  delete watched;
  EXPECT_EQ(std::vector<std::wstring>{L"Watched"}, watcher.Heard);

  // The watcher going first ends the link: the other's end hears of it, nothing dangles.
  auto* other = new TProbe(nullptr, L"y");
  {
    TProbe shortLived(nullptr, L"s");
    shortLived.SetName(L"Short");
    shortLived.FreeNotification(other);
  }
  EXPECT_EQ(std::vector<std::wstring>{L"Short"}, other->Heard);
  delete other;  // would touch the freed watcher if the link had stayed
}

TEST(Components, NamesAreIdentifiersUniqueAmongTheOwnersComponents) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName(L"Edit1");
  EXPECT_EQ(a, owner.FindComponent(L"EDIT1"));
  try {
    b->SetName(L"edit1");
    FAIL();
  } catch (const EComponentError& e) {
    EXPECT_EQ(L"A component named edit1 already exists", e.Message());
  }
  for (const wchar_t* bad : {L"1abc", L"a b", L"x-y"}) EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
  b->SetName(L"_ok2");
  b->SetName(L"");
  EXPECT_EQ(nullptr, owner.FindComponent(L""));
}

class TDesigned : public TProbe {
public:
  TVK_CLASS(TDesigned, TProbe)
  explicit TDesigned(TComponent* owner) : TProbe(owner, L"root") {}
  void AfterConstruction() override { ReadDesign(*this); }
  TProbe* First = nullptr;
  bool LoadingSeenByBuilder = false;
};

void BuildDesigned(TComponent& root) {
  auto& form = static_cast<TDesigned&>(root);
  form.LoadingSeenByBuilder = form.Loading();
  form.First = new TProbe(&form, L"one");
  new TProbe(form.First, L"inner");  // owned by a component that is not the root: not in the design
  new TProbe(&form, L"two");
}
TVK_DESIGN(TDesigned, BuildDesigned);

TEST(Designs, ReadingMarksLoadingAndEndsItInCreationOrderRootLast) {
  gLog.clear();
  std::unique_ptr<TDesigned> form(CreateComponent<TDesigned>(nullptr));
  EXPECT_TRUE(form->LoadingSeenByBuilder);
  EXPECT_FALSE(form->Loading());
  EXPECT_FALSE(form->First->Loading());
  EXPECT_EQ((std::vector<std::wstring>{L"loaded one (loading)", L"loaded inner (loading)", L"loaded two (loading)",
                                       L"loaded root (loading)"}),
            gLog);
}

class TUndesigned : public TComponent {
public:
  TVK_CLASS(TUndesigned, TComponent)
  using TComponent::TComponent;
  void AfterConstruction() override { ReadDesign(*this); }
};

TEST(Designs, AMissingDesignIsAResourceErrorAndFreesTheObject) {
  try {
    CreateComponent<TUndesigned>(nullptr);
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(L"Resource TUNDESIGNED not found", e.Message());
  }
}

// Message dispatch: each level's table, the parent's handler through TVK_INHERITED.
class TBase : public TObject {
public:
  TVK_CLASS(TBase, TObject)
  std::vector<std::wstring> Seen;
  void DefaultHandler(TMessage& m) override { Seen.push_back(L"default " + std::to_wstring(m.Msg)); }

protected:
  TVK_MESSAGES();
  void OnOne(TMessage&) { Seen.push_back(L"base one"); }
};
TVK_MESSAGE_MAP(TBase, {1u, &TBase::OnOne})

class TMiddle : public TBase {
public:
  TVK_CLASS(TMiddle, TBase)
};

class TLeaf : public TMiddle {
public:
  TVK_CLASS(TLeaf, TMiddle)

protected:
  TVK_MESSAGES();
  void OnOne(TMessage& m) {
    Seen.push_back(L"leaf one");
    TVK_INHERITED(m);
  }
  void OnTwo(TMessage& m) {
    Seen.push_back(L"leaf two");
    TVK_INHERITED(m);
  }
};
TVK_MESSAGE_MAP(TLeaf, {1u, &TLeaf::OnOne}, {2u, &TLeaf::OnTwo})

TEST(Messages, DispatchByNumberWalksTheLevelsToTheDefaultHandler) {
  TLeaf leaf;
  for (UINT msg : {1u, 2u, 3u}) {
    TMessage m{msg, 0, 0, 0};
    leaf.Dispatch(m);
  }
  EXPECT_EQ((std::vector<std::wstring>{L"leaf one", L"base one", L"leaf two", L"default 2", L"default 3"}), leaf.Seen);
}

}  // namespace
