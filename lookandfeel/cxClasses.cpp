#include "cxClasses.h"

#include "ClassRegistry.h"
#include "Controls.h"
#include "Forms.h"
#include "dxCore.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tvk {

namespace {

bool gClassesFinalizing = false;  // the unit's shut-down began: no new timer list or window
TList* gTimerList = nullptr;
TcxTimerWindow* gTimerWindow = nullptr;

struct TObjectLinkController {
  std::vector<TcxObjectLink*> Links;  // the links whose object still lives
  int Users = 0;
};
TObjectLinkController* gLinkController = nullptr;

}  // namespace

// ---- Persistent objects

void TcxOwnedPersistent::Assign(const TPersistent& Source) {
  if (Source.InheritsFrom(ClassType())) DoAssign(Source);
  else TPersistent::Assign(Source);
}

TPersistent* GetPersistentOwner(const TPersistent* APersistent) {
  return APersistent ? APersistent->GetOwner() : nullptr;
}

// ---- TcxFreeNotificator

void TcxFreeNotificator::AddSender(TComponent* ASender) {
  if (ASender) ASender->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* ASender) {
  if (ASender) ASender->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && OnFreeNotification) OnFreeNotification(AComponent);
}

// ---- TcxDoublyLinkedObjectList

TcxDoublyLinkedObjectList::~TcxDoublyLinkedObjectList() { Clear(); }

TcxDoublyLinkedObject* TcxDoublyLinkedObjectList::Add() {
  TcxDoublyLinkedObject* object = CreateLinkedObject();
  object->FPrev = FLast;
  object->FNext = nullptr;
  if (FLast) FLast->FNext = object;
  FLast = object;
  return object;
}

void TcxDoublyLinkedObjectList::Delete(TcxDoublyLinkedObject* ALinkedObject) {
  if (!ALinkedObject) return;
  if (ALinkedObject->FNext) ALinkedObject->FNext->FPrev = ALinkedObject->FPrev;
  else if (FLast == ALinkedObject) FLast = ALinkedObject->FPrev;
  if (ALinkedObject->FPrev) ALinkedObject->FPrev->FNext = ALinkedObject->FNext;
  ALinkedObject->FPrev = ALinkedObject->FNext = nullptr;
}

void TcxDoublyLinkedObjectList::Remove(TcxDoublyLinkedObject*& ALinkedObject) {
  Delete(ALinkedObject);
  delete ALinkedObject;
  ALinkedObject = nullptr;
}

void TcxDoublyLinkedObjectList::Clear() {
  while (FLast) {
    TcxDoublyLinkedObject* object = FLast;
    FLast = object->FPrev;
    if (FLast) FLast->FNext = nullptr;
    delete object;
  }
}

void TcxDoublyLinkedObjectList::InsertBefore(TcxDoublyLinkedObject* ADestination, TcxDoublyLinkedObject* ASource) {
  ASource->FPrev = ADestination->FPrev;
  ASource->FNext = ADestination;
  if (ADestination->FPrev) ADestination->FPrev->FNext = ASource;
  ADestination->FPrev = ASource;
}

void TcxDoublyLinkedObjectList::InsertAfter(TcxDoublyLinkedObject* ADestination, TcxDoublyLinkedObject* ASource) {
  ASource->FPrev = ADestination;
  ASource->FNext = ADestination->FNext;
  if (ADestination->FNext) ADestination->FNext->FPrev = ASource;
  ADestination->FNext = ASource;
  if (FLast == ADestination) FLast = ASource;
}

TcxDoublyLinkedObject* TcxDoublyLinkedObjectList::First() const {
  TcxDoublyLinkedObject* object = FLast;
  while (object && object->FPrev) object = object->FPrev;
  return object;
}

int TcxDoublyLinkedObjectList::Count() const {
  int count = 0;
  for (TcxDoublyLinkedObject* object = FLast; object; object = object->FPrev) ++count;
  return count;
}

// ---- Components

TcxComponent::~TcxComponent() {
  if (!IsDestroying()) Destroying();
  ClearObjectLinks(this);
}

void TcxComponent::Loaded() {
  TComponent::Loaded();
  UpdateFakeLinks();
}

void TcxComponent::UpdateFakeLinks() {
  if (!IsDesigning() || IsDestroying() || !Owner()) return;
  std::vector<TComponent*> links;
  GetFakeComponentLinks(links);
  links.resize(3, nullptr);
  FakeComponentLink1 = links[0];
  FakeComponentLink2 = links[1];
  FakeComponentLink3 = links[2];
}

TcxScalableComponent::TcxScalableComponent(TComponent* AOwner)
    : TcxComponent(AOwner), FPixelsPerInch(Screen().PixelsPerInch()) {}

void TcxScalableComponent::Loaded() {
  TcxComponent::Loaded();
  const int screen = Screen().PixelsPerInch();
  if (FScalable && screen != FPixelsPerInch) DoChangeScale(screen, FPixelsPerInch);
  FPixelsPerInch = screen;
}

// ---- TcxMessageWindow

TcxMessageWindow::TcxMessageWindow()
    : FWindow(
          this,
          [this](TMessage& message) {
            HandleMessage(message);
            return true;
          },
          true) {}

void TcxMessageWindow::HandleMessage(TMessage& Message) {
  Message.Result = DefWindowProcW(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

// ---- TcxTimer

TcxTimer::TcxTimer(TComponent* AOwner) : TComponent(AOwner), FEventID(reinterpret_cast<UINT_PTR>(this)) {}

TcxTimer::~TcxTimer() { StopTimer(); }

void TcxTimer::SetEnabled(bool AValue) {
  if (FEnabled == AValue) return;
  FEnabled = AValue;
  UpdateTimer();
}

void TcxTimer::SetInterval(unsigned AValue) {
  if (AValue == 0 || FInterval == AValue) return;
  FInterval = AValue;
  UpdateTimer();
}

void TcxTimer::SetOnTimer(TNotifyEvent AValue) {
  FOnTimer = std::move(AValue);
  UpdateTimer();
}

void TcxTimer::DoTimer() {
  if (FOnTimer) FOnTimer(this);
}

bool TcxTimer::CanStartTimer() const { return FEnabled && !FTimerOn && FOnTimer; }

void TcxTimer::StartTimer() {
  if (!CanStartTimer()) return;
  TcxTimerWindow* window = GetTimerWindow();
  // During unload there is no window to run on: the timer stays off.
  SetTimerOn(window && SetTimer(window->Handle(), FEventID, FInterval, nullptr) != 0);
}

void TcxTimer::StopTimer() {
  if (!FTimerOn) return;
  if (gTimerWindow) KillTimer(gTimerWindow->Handle(), FEventID);
  SetTimerOn(false);
}

void TcxTimer::SetTimerOn(bool AValue) {
  if (FTimerOn == AValue) return;
  if (TList* list = GetTimerList()) {
    if (AValue) list->Add(reinterpret_cast<void*>(FEventID));
    else list->Remove(reinterpret_cast<void*>(FEventID));
  }
  FTimerOn = AValue;
}

void TcxTimer::UpdateTimer() {
  StopTimer();
  StartTimer();
}

void TcxTimerWindow::HandleMessage(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    TcxMessageWindow::HandleMessage(Message);
    return;
  }
  // Only identifiers of running timers are addresses of live timers.
  TList* list = GetTimerList();
  void* id = reinterpret_cast<void*>(Message.WParam);
  if (list && list->IndexOf(id) >= 0) static_cast<TcxTimer*>(id)->DoTimer();
  Message.Result = 0;
}

TList* GetTimerList() {
  if (!gTimerList && !gClassesFinalizing) gTimerList = new TList();
  return gTimerList;
}

TcxTimerWindow* GetTimerWindow() {
  if (!gTimerWindow && !gClassesFinalizing) gTimerWindow = new TcxTimerWindow();
  return gTimerWindow;
}

std::unique_ptr<TcxTimer> CreateTimerWithHandler(unsigned AInterval, bool AEnabled, TNotifyEvent AOnTimer) {
  auto timer = std::make_unique<TcxTimer>(nullptr);
  timer->SetEnabled(AEnabled);
  timer->SetInterval(AInterval);
  timer->SetOnTimer(std::move(AOnTimer));
  return timer;
}

// ---- TcxObjectList

TcxObjectList::~TcxObjectList() { Clear(); }

void TcxObjectList::Clear() {
  if (FOwnObjects)
    for (int i = Count() - 1; i >= 0; --i) delete Items(i);
  TList::Clear();
}

void TcxObjectList::FreeAndDelete(int AIndex) {
  TObject* object = Items(AIndex);
  Delete(AIndex);
  delete object;
}

int TcxObjectList::FreeAndRemove(TObject* AObject) {
  int index = IndexOf(AObject);
  if (index >= 0) FreeAndDelete(index);
  return index;
}

// ---- TcxEventHandlerCollection

void TcxEventHandlerCollection::Add(const TcxEventHandler& AEvent) {
  if (IndexOf(AEvent) < 0) FEvents.push_back(AEvent);
}

void TcxEventHandlerCollection::Remove(const TcxEventHandler& AEvent) { Delete(IndexOf(AEvent)); }

int TcxEventHandlerCollection::IndexOf(const TcxEventHandler& AEvent) const {
  auto it = std::find(FEvents.begin(), FEvents.end(), AEvent);
  return it == FEvents.end() ? -1 : int(it - FEvents.begin());
}

void TcxEventHandlerCollection::Delete(int AIndex) {
  if (AIndex >= 0 && AIndex < Count()) FEvents.erase(FEvents.begin() + AIndex);
}

void TcxEventHandlerCollection::CallEvents(TObject* Sender, const void* AEventArgs) {
  // The handlers of the walk are those present when it began; one that went
  // meanwhile (a handler removed itself or another) is skipped.
  const std::vector<TcxEventHandler> round = FEvents;
  for (const TcxEventHandler& handler : round)
    if (IndexOf(handler) >= 0) handler(Sender, AEventArgs);
}

void TcxEventHandlerCollection::CallEvents(TObject* Sender) {
  struct TEmpty {
  } empty;
  CallEvents(Sender, &empty);
}

// ---- TcxRegisteredClassList

bool TcxRegisteredClassList::Find(TClass AItemClass, int& AIndex) const {
  AIndex = -1;
  for (int i = Count() - 1; i >= 0; --i) {
    TClass item = FItems[std::size_t(i)].ItemClass;
    if (AItemClass->InheritsFrom(item)) {
      AIndex = i;
      return true;
    }
    if (item->InheritsFrom(AItemClass)) AIndex = i;
  }
  return false;
}

void TcxRegisteredClassList::Register(TClass AItemClass, TClass ARegisteredClass) {
  int index = -1;
  std::size_t at = Find(AItemClass, index) ? std::size_t(index) + 1 : index >= 0 ? std::size_t(index) : FItems.size();
  FItems.insert(FItems.begin() + std::ptrdiff_t(at), TItem{AItemClass, ARegisteredClass});
}

void TcxRegisteredClassList::Unregister(TClass AItemClass, TClass ARegisteredClass) {
  std::erase_if(FItems, [&](const TItem& item) {
    return item.ItemClass == AItemClass && item.RegisteredClass == ARegisteredClass;
  });
}

TClass TcxRegisteredClassList::FindClass(TClass AItemClass) const {
  int index = -1;
  return Find(AItemClass, index) ? FItems[std::size_t(index)].RegisteredClass : nullptr;
}

// ---- TcxRegisteredClasses

void TcxRegisteredClasses::Register(TClass AClass, const WideString& ADescription) {
  if (GetIndexByClass(AClass) >= 0) return;
  FItems.push_back({ADescription, AClass});
  if (FSorted) Sort();
  if (FRegisterClasses) RegisterClass(AClass);
}

void TcxRegisteredClasses::Unregister(TClass AClass) {
  int index = GetIndexByClass(AClass);
  if (index >= 0) FItems.erase(FItems.begin() + index);
}

TClass TcxRegisteredClasses::FindByClassName(std::wstring_view AClassName) const {
  for (const TEntry& entry : FItems)
    if (AClassName == entry.Class->Name) return entry.Class;
  return nullptr;
}

TClass TcxRegisteredClasses::FindByDescription(std::wstring_view ADescription) const {
  if (ADescription.empty()) return nullptr;
  for (const TEntry& entry : FItems)
    if (ExtractDescription(entry.Text) == ADescription) return entry.Class;
  return nullptr;
}

WideString TcxRegisteredClasses::GetDescriptionByClass(TClass AClass) const {
  int index = GetIndexByClass(AClass);
  return index >= 0 ? ExtractDescription(FItems[std::size_t(index)].Text) : WideString();
}

WideString TcxRegisteredClasses::GetHintByClass(TClass AClass) const {
  int index = GetIndexByClass(AClass);
  return index >= 0 ? ExtractHint(FItems[std::size_t(index)].Text) : WideString();
}

int TcxRegisteredClasses::GetIndexByClass(TClass AClass) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Class == AClass) return int(i);
  return -1;
}

void TcxRegisteredClasses::SetSorted(bool AValue) {
  if (FSorted == AValue) return;
  FSorted = AValue;
  if (FSorted) Sort();
}

int TcxRegisteredClasses::CompareItems(int AIndex1, int AIndex2) const {
  const WideString a = ExtractDescription(FItems[std::size_t(AIndex1)].Text);
  const WideString b = ExtractDescription(FItems[std::size_t(AIndex2)].Text);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), int(a.size()), b.c_str(), int(b.size())) -
         CSTR_EQUAL;
}

void TcxRegisteredClasses::Sort() {
  std::vector<int> order(FItems.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](int a, int b) { return CompareItems(a, b) < 0; });
  std::vector<TEntry> sorted;
  sorted.reserve(FItems.size());
  for (int i : order) sorted.push_back(FItems[std::size_t(i)]);
  FItems = std::move(sorted);
}

// ---- Object links

TcxObjectLink* AddObjectLink(TObject* AObject) {
  if (!AObject) return nullptr;
  if (!gLinkController) gLinkController = new TObjectLinkController();
  ++gLinkController->Users;
  auto* link = new TcxObjectLink{AObject};
  gLinkController->Links.push_back(link);
  return link;
}

void RemoveObjectLink(TcxObjectLink* ALink) {
  if (!ALink) return;
  if (gLinkController) {
    if (ALink->Ref) std::erase(gLinkController->Links, ALink);
    if (--gLinkController->Users == 0) {
      delete gLinkController;
      gLinkController = nullptr;
    }
  }
  delete ALink;
}

void ClearObjectLinks(TObject* AObject) {
  if (!gLinkController || !AObject) return;
  std::erase_if(gLinkController->Links, [AObject](TcxObjectLink* link) {
    if (link->Ref != AObject) return false;
    link->Ref = nullptr;
    return true;
  });
}

int ObjectLinkCount() { return gLinkController ? gLinkController->Users : 0; }

// ---- Free functions

WideString ExtractDescription(const WideString& AText) {
  std::size_t bar = AText.find(L'|');
  return bar == WideString::npos ? AText : AText.substr(0, bar);
}

WideString ExtractHint(const WideString& AText) {
  std::size_t bar = AText.find(L'|');
  return bar == WideString::npos ? AText : AText.substr(bar + 1);
}

const char* GetCharPtrAt(const std::string& AText, int APos) {
  if (APos < 1 || std::size_t(APos) > AText.size() + 1) return nullptr;
  return AText.c_str() + (APos - 1);
}

int GetCharSizeAt(const std::string& AText, int APos) {
  const char* at = GetCharPtrAt(AText, APos);
  if (!at || !*at) return 0;
  return int(CharNextA(at) - at);
}

void CallNotifyEventIfAssigned(const TNotifyEvent& AEvent, TObject* ASender) { CallNotifyEvent(ASender, AEvent); }

SIZE MakeSize(int X, int Y) { return SIZE{X, Y}; }

int GetRangeCenter(int A, int B) {
  const long long sum = static_cast<long long>(A) + B;
  return int(sum > 0 ? sum / 2 : (sum - 1) / 2);
}

int SignOf(double AValue) { return AValue >= 0 ? 1 : -1; }

WideString GetLocalizedResString(const TResStringRec* AResString) { return LoadResString(AResString); }

// ---- Unit start-up and shut-down

void cxClassesUnitStart() {
  gClassesFinalizing = false;
  StartClassGroup(&TControl::StaticClassInfo());
  GroupDescendentsWith(&TcxComponent::StaticClassInfo(), &TControl::StaticClassInfo());
}

void cxClassesUnitStop() {
  gClassesFinalizing = true;
  delete std::exchange(gTimerList, nullptr);
  delete std::exchange(gTimerWindow, nullptr);
}

}  // namespace tvk
