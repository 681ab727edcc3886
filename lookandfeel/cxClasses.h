#pragma once
// The small base classes of the look-and-feel library: owned persistents, a
// free notificator, an intrusive doubly linked list, the component bases, the
// timer that runs on one shared hidden window, an owning object list, a
// multicast event-handler collection, the two class registries, weak object
// links and a few free functions.
#include "Application.h"
#include "Lists.h"
#include "ResStrings.h"
#include "WindowClasses.h"

#include <memory>
#include <string>
#include <vector>

namespace tvk {

enum TcxDirection { dirNone, dirLeft, dirRight, dirUp, dirDown };

// ---- Persistent objects that know their owner

class TcxInterfacedPersistent : public TInterfacedPersistent {
public:
  TVK_CLASS(TcxInterfacedPersistent, TInterfacedPersistent)
  explicit TcxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }

private:
  TPersistent* FOwner;
};

class TcxOwnedPersistent : public TPersistent {
public:
  TVK_CLASS(TcxOwnedPersistent, TPersistent)
  explicit TcxOwnedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }
  TPersistent* Owner() const { return FOwner; }
  // A source of this object's class (or a descendant) goes to DoAssign;
  // anything else to the class library's Assign.
  void Assign(const TPersistent& Source) override;

protected:
  virtual void DoAssign(const TPersistent& Source) { (void)Source; }

private:
  TPersistent* FOwner;
};

// The owner of a persistent object (null for none or for no object).
TPersistent* GetPersistentOwner(const TPersistent* APersistent);

// ---- Free notification of other components

using TcxFreeNotificationEvent = std::function<void(TComponent* Sender)>;

class TcxFreeNotificator : public TComponent {
public:
  TVK_CLASS(TcxFreeNotificator, TComponent)
  explicit TcxFreeNotificator(TComponent* AOwner) : TComponent(AOwner) {}
  // ASender will tell this notificator when it goes (null: nothing).
  void AddSender(TComponent* ASender);
  void RemoveSender(TComponent* ASender);
  TcxFreeNotificationEvent OnFreeNotification;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

// ---- Doubly linked objects

class TcxDoublyLinkedObject : public TObject {
public:
  TVK_CLASS(TcxDoublyLinkedObject, TObject)
  TcxDoublyLinkedObject() = default;
  TcxDoublyLinkedObject* Prev() const { return FPrev; }
  TcxDoublyLinkedObject* Next() const { return FNext; }

private:
  friend class TcxDoublyLinkedObjectList;
  TcxDoublyLinkedObject* FPrev = nullptr;
  TcxDoublyLinkedObject* FNext = nullptr;
};

// A list anchored at its last object only; it owns its objects.
class TcxDoublyLinkedObjectList : public TObject {
public:
  TVK_CLASS(TcxDoublyLinkedObjectList, TObject)
  TcxDoublyLinkedObjectList() = default;
  ~TcxDoublyLinkedObjectList() override;

  // A new object, linked after the last one.
  virtual TcxDoublyLinkedObject* Add();
  // Unlinks the object without freeing it.
  virtual void Delete(TcxDoublyLinkedObject* ALinkedObject);
  // Unlinks and frees the object and clears the variable.
  virtual void Remove(TcxDoublyLinkedObject*& ALinkedObject);
  // Frees every object, the last first.
  void Clear();
  // Links ASource between ADestination's previous object and ADestination.
  void InsertBefore(TcxDoublyLinkedObject* ADestination, TcxDoublyLinkedObject* ASource);
  // Links ASource after ADestination (the last when ADestination was).
  void InsertAfter(TcxDoublyLinkedObject* ADestination, TcxDoublyLinkedObject* ASource);

  TcxDoublyLinkedObject* Last() const { return FLast; }
  // Found by walking back from the last.
  TcxDoublyLinkedObject* First() const;
  int Count() const;

protected:
  // The object Add links in; descendants make their own kind.
  virtual TcxDoublyLinkedObject* CreateLinkedObject() { return new TcxDoublyLinkedObject(); }

private:
  TcxDoublyLinkedObject* FLast = nullptr;
};

// ---- Components

class TcxComponent : public TComponent {
public:
  TVK_CLASS(TcxComponent, TComponent)
  explicit TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}
  // Marks itself destroying (unless it is already) and clears every object link to it.
  ~TcxComponent() override;

  bool IsDesigning() const { return (ComponentState() & csDesigning) != 0; }
  void Loaded() override;

  TComponent* FakeComponentLink1 = nullptr;
  TComponent* FakeComponentLink2 = nullptr;
  TComponent* FakeComponentLink3 = nullptr;

protected:
  // The components a designer should keep beside this one; none here.
  virtual void GetFakeComponentLinks(std::vector<TComponent*>& AList) { (void)AList; }

private:
  void UpdateFakeLinks();
};

class TcxScalableComponent : public TcxComponent {
public:
  TVK_CLASS(TcxScalableComponent, TcxComponent)
  explicit TcxScalableComponent(TComponent* AOwner);
  void Loaded() override;

  // The resolution the component's sizes are for (stored with it).
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int AValue) { FPixelsPerInch = AValue; }
  bool Scalable() const { return FScalable; }
  void SetScalable(bool AValue) { FScalable = AValue; }

protected:
  // Sizes are to be multiplied by M and divided by D; nothing here.
  virtual void DoChangeScale(int M, int D) { (void)M, (void)D; }

private:
  int FPixelsPerInch;
  bool FScalable = true;
};

// ---- Hidden message windows

// A hidden top-level window (it hears the system's broadcasts) whose messages
// go to HandleMessage, inside the boundary guard.
class TcxMessageWindow : public TObject {
public:
  TVK_CLASS(TcxMessageWindow, TObject)
  TcxMessageWindow();
  HWND Handle() const { return FWindow.Handle(); }

protected:
  // The default window procedure's answer unless a descendant takes the message.
  virtual void HandleMessage(TMessage& Message);

private:
  TMessageWindow FWindow;
};

// ---- Timers on one shared window

class TcxTimer : public TComponent {
public:
  TVK_CLASS(TcxTimer, TComponent)
  explicit TcxTimer(TComponent* AOwner);
  ~TcxTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue);
  unsigned Interval() const { return FInterval; }
  // 0 is ignored: the previous interval stays.
  void SetInterval(unsigned AValue);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent AValue);
  // Whether its system timer runs.
  bool TimerOn() const { return FTimerOn; }
  // The system timer's identifier: the object's own address.
  UINT_PTR EventID() const { return FEventID; }

  // Calls OnTimer (the timer window does, on WM_TIMER).
  virtual void DoTimer();

private:
  bool CanStartTimer() const;
  void StartTimer();
  void StopTimer();
  void SetTimerOn(bool AValue);
  void UpdateTimer();

  bool FEnabled = true;
  UINT_PTR FEventID;
  unsigned FInterval = 1000;
  bool FTimerOn = false;
  TNotifyEvent FOnTimer;
};

// The hidden window that carries every TcxTimer's system timer.
class TcxTimerWindow : public TcxMessageWindow {
public:
  TVK_CLASS(TcxTimerWindow, TcxMessageWindow)
  TcxTimerWindow() = default;

protected:
  void HandleMessage(TMessage& Message) override;
};

// The identifiers of the running timers; null once the unit's shut-down began.
TList* GetTimerList();
// The shared timer window; null once the unit's shut-down began.
TcxTimerWindow* GetTimerWindow();

// An owner-less timer with Enabled, Interval and OnTimer set in that order.
std::unique_ptr<TcxTimer> CreateTimerWithHandler(unsigned AInterval, bool AEnabled, TNotifyEvent AOnTimer);

// ---- An object list that may own its objects

class TcxObjectList : public TList {
public:
  TVK_CLASS(TcxObjectList, TList)
  explicit TcxObjectList(bool AOwnObjects = true) : FOwnObjects(AOwnObjects) {}
  ~TcxObjectList() override;

  // Frees the objects first when it owns them.
  void Clear();
  void FreeAndDelete(int AIndex);
  // The index the object had, or -1 (then nothing is freed).
  int FreeAndRemove(TObject* AObject);
  TObject* Items(int AIndex) const { return static_cast<TObject*>(TList::Items(AIndex)); }
  bool OwnObjects() const { return FOwnObjects; }
  void SetOwnObjects(bool AValue) { FOwnObjects = AValue; }

private:
  bool FOwnObjects;
};

// ---- Multicast events

// An event handler: code and the object it runs on, called with the sender
// and an argument record of the event's own kind.
class TcxEventHandler {
public:
  using TCode = void (*)(void* data, TObject* sender, const void* args);
  constexpr TcxEventHandler() = default;
  constexpr TcxEventHandler(void* data, TCode code) : FData(data), FCode(code) {}
  void operator()(TObject* sender, const void* args) const { FCode(FData, sender, args); }
  bool operator==(const TcxEventHandler&) const = default;

private:
  void* FData = nullptr;
  TCode FCode = nullptr;
};

// The handler Method of Object, whose arguments are of type Args.
template <auto Method, class C>
TcxEventHandler EventHandlerOf(C* object) {
  return TcxEventHandler(object, [](void* data, TObject* sender, const void* args) {
    (static_cast<C*>(data)->*Method)(sender, args);
  });
}

class TcxEventHandlerCollection : public TObject {
public:
  TVK_CLASS(TcxEventHandlerCollection, TObject)
  TcxEventHandlerCollection() = default;
  // Appends unless an equal handler is present.
  void Add(const TcxEventHandler& AEvent);
  void Remove(const TcxEventHandler& AEvent);
  // Every handler in order of addition. A handler removed during the walk is
  // not called after it went; one added during the walk waits for the next.
  void CallEvents(TObject* Sender, const void* AEventArgs);
  // With an empty argument record.
  void CallEvents(TObject* Sender);
  int Count() const { return int(FEvents.size()); }

protected:
  int IndexOf(const TcxEventHandler& AEvent) const;
  // An index out of range is ignored; later handlers move down one place.
  void Delete(int AIndex);

private:
  std::vector<TcxEventHandler> FEvents;
};

// ---- Class registries

// Maps item classes to the classes that serve them, ancestors before
// descendants, so that the most specific registration wins.
class TcxRegisteredClassList : public TObject {
public:
  TVK_CLASS(TcxRegisteredClassList, TObject)
  struct TItem {
    TClass ItemClass;
    TClass RegisteredClass;
  };
  TcxRegisteredClassList() = default;

  // Walks from the last entry to the first: an entry for AItemClass or one of
  // its ancestors ends the walk (true, its index); an entry for a descendant
  // leaves its index in AIndex and the walk goes on.
  virtual bool Find(TClass AItemClass, int& AIndex) const;
  // Right after the entry Find returns true for; else before the lowest
  // descendant entry it reported, or at the end. A repeated pair is added again.
  virtual void Register(TClass AItemClass, TClass ARegisteredClass);
  // Removes every entry with exactly this pair.
  virtual void Unregister(TClass AItemClass, TClass ARegisteredClass);
  void Clear() { FItems.clear(); }
  TClass FindClass(TClass AItemClass) const;
  int Count() const { return int(FItems.size()); }
  const TItem& Items(int AIndex) const { return FItems.at(std::size_t(AIndex)); }

private:
  std::vector<TItem> FItems;
};

// Classes with descriptions of the form "description|hint".
class TcxRegisteredClasses : public TObject {
public:
  TVK_CLASS(TcxRegisteredClasses, TObject)
  // ARegisterClasses: registered classes also go to the streaming registry.
  explicit TcxRegisteredClasses(bool ARegisterClasses = false) : FRegisterClasses(ARegisterClasses) {}

  // Ignored for a class already present (its first description stands).
  void Register(TClass AClass, const WideString& ADescription);
  // Removes its entry; the streaming registration stays.
  void Unregister(TClass AClass);
  void Clear() { FItems.clear(); }
  // Case-sensitive class name; null when none.
  TClass FindByClassName(std::wstring_view AClassName) const;
  // Exact description; null for an empty text or none.
  TClass FindByDescription(std::wstring_view ADescription) const;
  WideString GetDescriptionByClass(TClass AClass) const;
  WideString GetHintByClass(TClass AClass) const;
  int GetIndexByClass(TClass AClass) const;

  int Count() const { return int(FItems.size()); }
  TClass Items(int AIndex) const { return FItems.at(std::size_t(AIndex)).Class; }
  const WideString& Descriptions(int AIndex) const { return FItems.at(std::size_t(AIndex)).Text; }
  bool RegisterClasses() const { return FRegisterClasses; }
  void SetRegisterClasses(bool AValue) { FRegisterClasses = AValue; }
  bool Sorted() const { return FSorted; }
  // True sorts at once.
  void SetSorted(bool AValue);

protected:
  // The descriptions compared without regard to case, by the user's locale.
  virtual int CompareItems(int AIndex1, int AIndex2) const;
  virtual void Sort();

private:
  struct TEntry {
    WideString Text;
    TClass Class;
  };
  std::vector<TEntry> FItems;
  bool FRegisterClasses;
  bool FSorted = false;
};

// ---- Object links: weak references cleared when their object goes

struct TcxObjectLink {
  TObject* Ref;  // null once the object is destroyed
};

// A new link on AObject (null for no object).
TcxObjectLink* AddObjectLink(TObject* AObject);
// Frees the link (null: nothing).
void RemoveObjectLink(TcxObjectLink* ALink);
// Every link on AObject loses it; destructors call this.
void ClearObjectLinks(TObject* AObject);
// How many links are held (the controller lives while there are any).
int ObjectLinkCount();

// ---- Free functions

// The text before the first "|", or the whole text without one.
WideString ExtractDescription(const WideString& AText);
// The text after the first "|", or the whole text without one.
WideString ExtractHint(const WideString& AText);
// The address of the 1-based character APos of an 8-bit text.
const char* GetCharPtrAt(const std::string& AText, int APos);
// Bytes from character APos (1-based) to the next one, as the system's
// next-character routine steps in the ANSI code page.
int GetCharSizeAt(const std::string& AText, int APos);
// Calls AEvent(ASender) when it is assigned.
void CallNotifyEventIfAssigned(const TNotifyEvent& AEvent, TObject* ASender);
SIZE MakeSize(int X, int Y);
// (A + B) / 2 rounded towards minus infinity.
int GetRangeCenter(int A, int B);
// 1 for 0 or more, else -1.
int SignOf(double AValue);
// The text of a string resource.
WideString GetLocalizedResString(const TResStringRec* AResString);

// ---- Unit start-up and shut-down

void cxClassesUnitStart();
// Frees the timer list and the timer window; their getters answer null from now on.
void cxClassesUnitStop();

}  // namespace tvk
