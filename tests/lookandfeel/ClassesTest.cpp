// The core classes: the class registries' order and search rules, the doubly
// linked list, the shared timer window, event-handler collections, object
// links, owned persistents and the free functions.
#include "LookAndFeelTest.h"
#include "cxClasses.h"

#include <string>
#include <vector>

using namespace tvk;
using laf_test::LookAndFeel;
using laf_test::PumpUntil;

namespace {

class TItemA : public TObject {
public:
  TVK_CLASS(TItemA, TObject)
};
class TItemB : public TItemA {
public:
  TVK_CLASS(TItemB, TItemA)
};
class TItemC : public TItemB {
public:
  TVK_CLASS(TItemC, TItemB)
};
class TOther : public TObject {
public:
  TVK_CLASS(TOther, TObject)
};
class TServesA : public TObject {
public:
  TVK_CLASS(TServesA, TObject)
};
class TServesB : public TObject {
public:
  TVK_CLASS(TServesB, TObject)
};

TClass A = &TItemA::StaticClassInfo(), B = &TItemB::StaticClassInfo(), C = &TItemC::StaticClassInfo(),
       Other = &TOther::StaticClassInfo(), SA = &TServesA::StaticClassInfo(), SB = &TServesB::StaticClassInfo();

std::vector<TClass> ItemClasses(const TcxRegisteredClassList& list) {
  std::vector<TClass> classes;
  for (int i = 0; i < list.Count(); ++i) classes.push_back(list.Items(i).ItemClass);
  return classes;
}

}  // namespace

TEST(RegisteredClassList, KeepsAncestorsBeforeDescendantsWhicheverComesFirst) {
  TcxRegisteredClassList baseFirst;
  baseFirst.Register(A, SA);
  baseFirst.Register(B, SB);
  EXPECT_EQ((std::vector<TClass>{A, B}), ItemClasses(baseFirst));

  TcxRegisteredClassList descendantFirst;
  descendantFirst.Register(B, SB);
  descendantFirst.Register(A, SA);
  EXPECT_EQ((std::vector<TClass>{A, B}), ItemClasses(descendantFirst));

  for (const TcxRegisteredClassList* list : {&baseFirst, &descendantFirst}) {
    EXPECT_EQ(SB, list->FindClass(C)) << "a class derived from B finds B's registration";
    EXPECT_EQ(SB, list->FindClass(B));
    EXPECT_EQ(SA, list->FindClass(A));
    EXPECT_EQ(nullptr, list->FindClass(Other));
  }
  int index = 7;
  EXPECT_FALSE(descendantFirst.Find(Other, index));
}

TEST(RegisteredClassList, RepeatsAddEntriesAndUnregisterRemovesEveryCopyOfThePair) {
  TcxRegisteredClassList list;
  list.Register(A, SA);
  list.Register(A, SA);
  list.Register(A, SB);
  EXPECT_EQ(3, list.Count());
  EXPECT_EQ(SB, list.FindClass(A)) << "the newest of equal item classes is met first";
  list.Unregister(A, SA);
  ASSERT_EQ(1, list.Count());
  EXPECT_EQ(SB, list.Items(0).RegisteredClass);
  list.Unregister(A, SA);  // absent: nothing
  EXPECT_EQ(1, list.Count());
}

TEST(RegisteredClasses, DescriptionsHintsRepeatsRemovalAndSorting) {
  TcxRegisteredClasses classes;
  classes.Register(B, L"TextEdit|Represents a single line text editor");
  classes.Register(B, L"Second|ignored");
  classes.Register(A, L"Memo");
  ASSERT_EQ(2, classes.Count());
  EXPECT_EQ(L"TextEdit", classes.GetDescriptionByClass(B)) << "the first description stands";
  EXPECT_EQ(L"Represents a single line text editor", classes.GetHintByClass(B));
  EXPECT_EQ(L"Memo", classes.GetDescriptionByClass(A));
  EXPECT_EQ(L"Memo", classes.GetHintByClass(A));
  EXPECT_EQ(L"", classes.GetDescriptionByClass(C));
  EXPECT_EQ(B, classes.FindByDescription(L"TextEdit"));
  EXPECT_EQ(nullptr, classes.FindByDescription(L"textedit"));
  EXPECT_EQ(nullptr, classes.FindByDescription(L""));
  EXPECT_EQ(A, classes.FindByClassName(L"TItemA"));
  EXPECT_EQ(nullptr, classes.FindByClassName(L"titema"));

  EXPECT_EQ(B, classes.Items(0));
  classes.SetSorted(true);
  EXPECT_EQ(A, classes.Items(0)) << "Memo before TextEdit";
  classes.Register(C, L"alpha");
  EXPECT_EQ(C, classes.Items(0)) << "sorted without regard to case as entries come";
  classes.Unregister(A);
  EXPECT_EQ(-1, classes.GetIndexByClass(A));
  EXPECT_EQ(2, classes.Count());
}

TEST(DoublyLinkedList, AddInsertDeleteAndRemoveKeepBothDirectionsAndTheLast) {
  TcxDoublyLinkedObjectList list;
  EXPECT_EQ(nullptr, list.First());
  EXPECT_EQ(0, list.Count());
  TcxDoublyLinkedObject* a = list.Add();
  TcxDoublyLinkedObject* b = list.Add();
  EXPECT_EQ(a, list.First());
  EXPECT_EQ(b, list.Last());
  EXPECT_EQ(a, b->Prev());
  EXPECT_EQ(b, a->Next());

  auto* middle = new TcxDoublyLinkedObject();
  list.InsertBefore(b, middle);
  auto* tail = new TcxDoublyLinkedObject();
  list.InsertAfter(b, tail);
  EXPECT_EQ(tail, list.Last()) << "inserted after the last, it becomes the last";
  EXPECT_EQ(4, list.Count());
  EXPECT_EQ(middle, a->Next());
  EXPECT_EQ(b, middle->Next());

  list.Delete(tail);  // unlinked, not freed
  EXPECT_EQ(b, list.Last()) << "its predecessor is the last now";
  EXPECT_EQ(nullptr, b->Next());
  delete tail;
  list.Delete(a);
  delete a;
  EXPECT_EQ(middle, list.First());
  EXPECT_EQ(nullptr, middle->Prev());
  TcxDoublyLinkedObject* removed = middle;
  list.Remove(removed);
  EXPECT_EQ(nullptr, removed);
  EXPECT_EQ(b, list.First());
  EXPECT_EQ(1, list.Count());
  TcxDoublyLinkedObject* last = b;
  list.Remove(last);
  EXPECT_EQ(nullptr, list.Last());
  EXPECT_EQ(0, list.Count());
}

TEST_F(LookAndFeel, TimerFiresOnTheSharedWindowAndIgnoresForeignIdentifiers) {
  int ticks = 0;
  TcxTimer timer(nullptr);
  timer.SetInterval(0);
  EXPECT_EQ(1000u, timer.Interval()) << "an interval of 0 is ignored";
  timer.SetInterval(10);
  EXPECT_FALSE(timer.TimerOn()) << "no handler, no system timer";
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(&timer, sender);
    ++ticks;
  });
  ASSERT_TRUE(timer.TimerOn());
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(&timer), timer.EventID());
  EXPECT_GE(GetTimerList()->IndexOf(reinterpret_cast<void*>(timer.EventID())), 0);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));

  // A WM_TIMER whose identifier is no running timer does nothing.
  TcxTimer stopped(nullptr);
  stopped.SetOnTimer([&](TObject*) { ticks += 100; });
  stopped.SetEnabled(false);
  EXPECT_FALSE(stopped.TimerOn());
  timer.SetEnabled(false);
  laf_test::PumpWaiting();
  int before = ticks;
  HWND window = GetTimerWindow()->Handle();
  SendMessageW(window, WM_TIMER, reinterpret_cast<WPARAM>(&stopped), 0);
  SendMessageW(window, WM_TIMER, 12345, 0);
  EXPECT_EQ(before, ticks);
  timer.SetEnabled(true);
  SendMessageW(window, WM_TIMER, timer.EventID(), 0);
  EXPECT_EQ(before + 1, ticks);
}

TEST(TimerWindow, IsGoneAfterShutDownAndNoTimerMakesItAgain) {
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  auto timer = CreateTimerWithHandler(50, true, [](TObject*) {});
  ASSERT_TRUE(timer->TimerOn());
  HWND window = GetTimerWindow()->Handle();
  RunShutdown(steps);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, GetTimerWindow());
  timer->SetEnabled(false);
  timer->SetEnabled(true);
  EXPECT_FALSE(timer->TimerOn()) << "during unload a timer does not start";
  EXPECT_EQ(nullptr, GetTimerWindow());
  timer.reset();
  DxCoreUnitShutdown();
}

namespace {

struct TListener {
  std::vector<std::wstring>* Log;
  std::wstring Name;
  TcxEventHandlerCollection* Events = nullptr;
  bool RemoveSelf = false;
  void Handle(TObject*, const void* args) {
    Log->push_back(Name + L":" + std::to_wstring(args ? *static_cast<const int*>(args) : -1));
    if (RemoveSelf) Events->Remove(EventHandlerOf<&TListener::Handle>(this));
  }
};

}  // namespace

TEST(EventHandlerCollection, CallsInOrderSkipsDuplicatesAndSurvivesAHandlerRemovingItself) {
  std::vector<std::wstring> log;
  TcxEventHandlerCollection events;
  TListener a{&log, L"a", &events}, b{&log, L"b", &events, true}, c{&log, L"c", &events};
  for (TListener* l : {&a, &b, &c, &a}) events.Add(EventHandlerOf<&TListener::Handle>(l));
  EXPECT_EQ(3, events.Count());
  int args = 7;
  events.CallEvents(nullptr, &args);
  EXPECT_EQ((std::vector<std::wstring>{L"a:7", L"b:7", L"c:7"}), log) << "c still runs after b left";
  EXPECT_EQ(2, events.Count());
  log.clear();
  events.CallEvents(nullptr, &args);
  EXPECT_EQ((std::vector<std::wstring>{L"a:7", L"c:7"}), log);
  events.Remove(EventHandlerOf<&TListener::Handle>(&b));  // absent: nothing
  EXPECT_EQ(2, events.Count());
}

namespace {

class TLinkedComponent : public TcxComponent {
public:
  TVK_CLASS(TLinkedComponent, TcxComponent)
  using TcxComponent::TcxComponent;
};

}  // namespace

TEST(ObjectLinks, ALinkIsClearedWhenItsObjectIsFreedInsideAHandler) {
  auto* component = new TLinkedComponent(nullptr);
  TcxObjectLink* link = AddObjectLink(component);
  TcxObjectLink* second = AddObjectLink(component);
  EXPECT_EQ(nullptr, AddObjectLink(nullptr));
  EXPECT_EQ(2, ObjectLinkCount());
  // A handler that frees its own object: the caller touches it only while the link holds.
  TNotifyEvent handler = [&](TObject*) { delete component; };
  handler(component);
  EXPECT_EQ(nullptr, link->Ref);
  EXPECT_EQ(nullptr, second->Ref);
  RemoveObjectLink(link);
  EXPECT_EQ(1, ObjectLinkCount());
  RemoveObjectLink(second);
  EXPECT_EQ(0, ObjectLinkCount()) << "the controller goes with the last user";
  TObject plain;
  TcxObjectLink* live = AddObjectLink(&plain);
  EXPECT_EQ(&plain, live->Ref);
  RemoveObjectLink(live);
}

TEST(ObjectList, FreesOwnedObjectsAndAnswersMinusOneForAnAbsentOne) {
  int freed = 0;
  struct TCounted : TObject {
    int* Freed;
    explicit TCounted(int* freed) : Freed(freed) {}
    ~TCounted() override { ++*Freed; }
  };
  TcxObjectList list;
  auto* a = new TCounted(&freed);
  list.Add(a);
  list.Add(new TCounted(&freed));
  TCounted absent(&freed);
  EXPECT_EQ(-1, list.FreeAndRemove(&absent));
  EXPECT_EQ(0, freed);
  EXPECT_EQ(0, list.FreeAndRemove(a));
  EXPECT_EQ(1, freed);
  list.Clear();
  EXPECT_EQ(2, freed);
  TcxObjectList borrowed(false);
  borrowed.Add(&absent);
  borrowed.Clear();
  EXPECT_EQ(2, freed);
}

TEST(FreeNotificator, HearsOfASenderThatGoes) {
  TcxFreeNotificator notificator(nullptr);
  std::vector<TComponent*> gone;
  notificator.OnFreeNotification = [&](TComponent* c) { gone.push_back(c); };
  auto* first = new TComponent(nullptr);
  auto* second = new TComponent(nullptr);
  notificator.AddSender(first);
  notificator.AddSender(second);
  notificator.RemoveSender(second);
  notificator.AddSender(nullptr);
  delete first;
  delete second;
  EXPECT_EQ((std::vector<TComponent*>{first}), gone);
}

namespace {

class TSized : public TcxOwnedPersistent {
public:
  TVK_CLASS(TSized, TcxOwnedPersistent)
  using TcxOwnedPersistent::TcxOwnedPersistent;
  int Size = 0;

protected:
  void DoAssign(const TPersistent& Source) override { Size = static_cast<const TSized&>(Source).Size; }
};

}  // namespace

TEST(OwnedPersistent, AssignsFromItsOwnClassAndKnowsItsOwner) {
  TComponent owner(nullptr);
  TSized a(&owner), b(nullptr);
  b.Size = 4;
  a.Assign(b);
  EXPECT_EQ(4, a.Size);
  EXPECT_EQ(&owner, GetPersistentOwner(&a));
  EXPECT_EQ(nullptr, GetPersistentOwner(nullptr));
  TcxInterfacedPersistent other(&owner);
  EXPECT_EQ(&owner, GetPersistentOwner(&other));
  EXPECT_THROW(a.Assign(other), Exception);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(S_OK, other.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(E_NOINTERFACE, other.QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&unknown)));
}

TEST(FreeFunctions, RangeCentreSignDescriptionsAndCharacterSizes) {
  struct {
    int A, B, Center;
  } const centres[] = {{-3, 0, -2}, {3, 0, 1}, {0, 0, 0}, {-1, 0, -1}, {-4, 0, -2}, {5, 6, 5}, {-5, -6, -6}};
  for (const auto& c : centres) EXPECT_EQ(c.Center, GetRangeCenter(c.A, c.B)) << c.A << "," << c.B;
  EXPECT_EQ(1, SignOf(0.0));
  EXPECT_EQ(1, SignOf(2.5));
  EXPECT_EQ(-1, SignOf(-0.1));
  EXPECT_EQ(L"a", ExtractDescription(L"a|b|c"));
  EXPECT_EQ(L"b|c", ExtractHint(L"a|b|c"));
  EXPECT_EQ(L"", ExtractDescription(L"|tip"));
  std::string text = "ab";
  EXPECT_EQ(text.c_str() + 1, GetCharPtrAt(text, 2));
  EXPECT_EQ(1, GetCharSizeAt(text, 1));
  EXPECT_EQ(0, GetCharSizeAt(text, 3));
  EXPECT_EQ(nullptr, GetCharPtrAt(text, 0));
  SIZE size = MakeSize(3, 4);
  EXPECT_EQ(3, size.cx);
  EXPECT_EQ(4, size.cy);
  int calls = 0;
  CallNotifyEventIfAssigned([&](TObject*) { ++calls; }, nullptr);
  CallNotifyEventIfAssigned(nullptr, nullptr);
  EXPECT_EQ(1, calls);
}
