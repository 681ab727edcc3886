#pragma once
// The object model of the class library: objects that know their class name
// and class reference, message dispatch by message number, persistent objects,
// and components (owner, name, free notification, loading state), with the
// designs that fill a form or data module when it is made.
#include "Exception.h"
#include "Files.h"
#include "Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace tvk {

// ---- Classes and class references

// A class's name and its parent class: what the toolkit's class references
// answer (class name, inheritance) without C++ name mangling.
struct TClassInfo {
  const wchar_t* Name;
  const TClassInfo* Parent;  // null for TObject
  bool InheritsFrom(const TClassInfo* other) const;
};
using TClass = const TClassInfo*;

// Opens every class body of the library (in a public section): the class
// reference of Name, ClassType(), and `Inherited` for the parent class.
#define TVK_CLASS(Name, Parent)                                                        \
  using Inherited = Parent;                                                            \
  static const ::tvk::TClassInfo& StaticClassInfo() {                                  \
    static const ::tvk::TClassInfo info{L## #Name, &Parent::StaticClassInfo()};        \
    return info;                                                                       \
  }                                                                                    \
  ::tvk::TClass ClassType() const override { return &StaticClassInfo(); }

// One row of a class's message table: a message number and its handler.
template <class C>
struct TMessageRow {
  UINT Msg;
  void (C::*Handler)(TMessage& message);
};

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  virtual TClass ClassType() const { return &StaticClassInfo(); }
  WideString ClassName() const { return ClassType()->Name; }
  bool InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }
  template <class T>
  bool Is() const { return InheritsFrom(&T::StaticClassInfo()); }

  // Runs once the most derived constructor has finished (see CreateComponent).
  virtual void AfterConstruction() {}

  // The interface Iid of the object in Obj (not counted: the object's own
  // lifetime rules); false and null when it has none.
  virtual bool GetInterface(const GUID& iid, void** obj);

  // Hands Message to the handler of its number, looked for from the object's
  // own class outward; without one, to DefaultHandler.
  void Dispatch(TMessage& message);
  // What happens to a message no class handles: nothing here.
  virtual void DefaultHandler(TMessage& message);

protected:
  // The message table lookup; false when no level has a handler. Classes
  // with a table override it with TVK_MESSAGES / TVK_MESSAGE_MAP.
  virtual bool DispatchByNumber(TMessage& message);
};

// Whether Instance has the interface Iid; Intf (when given) gets it.
bool Supports(TObject* instance, const GUID& iid, void** intf = nullptr);
template <class I>
I* Supports(TObject* instance, const GUID& iid) {
  void* p = nullptr;
  return Supports(instance, iid, &p) ? static_cast<I*>(p) : nullptr;
}

// Declares a class's message table (in the class body).
#define TVK_MESSAGES() bool DispatchByNumber(::tvk::TMessage& message) override
// Defines it: rows {message number, &Class::Handler}; other numbers go to the parent's table.
#define TVK_MESSAGE_MAP(Class, ...)                                            \
  bool Class::DispatchByNumber(::tvk::TMessage& message) {                      \
    static constexpr ::tvk::TMessageRow<Class> kRows[] = {__VA_ARGS__};         \
    for (const auto& row : kRows)                                               \
      if (row.Msg == message.Msg) {                                             \
        (this->*row.Handler)(message);                                          \
        return true;                                                            \
      }                                                                         \
    return Inherited::DispatchByNumber(message);                                \
  }
// Inside a message handler: the parent classes' handling of the same message.
#define TVK_INHERITED(message)                              \
  do {                                                      \
    if (!Inherited::DispatchByNumber(message)) DefaultHandler(message); \
  } while (0)

// Makes T with Args, then runs its AfterConstruction (a form reads its design
// there); an error frees it again. With an owner among Args the owner frees
// it later; without, the caller owns it.
template <class T, class... A>
T* CreateComponent(A&&... args) {
  std::unique_ptr<T> obj(new T(std::forward<A>(args)...));
  obj->AfterConstruction();
  return obj.release();
}

// ---- Events

using TNotifyEvent = std::function<void(TObject* Sender)>;

// ---- Errors of the class library

class EListError : public Exception { public: using Exception::Exception; };
class EStringListError : public Exception { public: using Exception::Exception; };
class EComponentError : public Exception { public: using Exception::Exception; };
class EInvalidOperation : public Exception { public: using Exception::Exception; };
class EResNotFound : public Exception { public: using Exception::Exception; };
class EOutOfResources : public Exception { public: using Exception::Exception; };
// An operation that a class leaves to its descendants was called on it.
class EAbstractError : public Exception { public: using Exception::Exception; };
// An object is not of the class an operation needs ("Invalid class typecast").
class EInvalidCast : public Exception { public: using Exception::Exception; };
[[noreturn]] void InvalidCastError();
[[noreturn]] void AbstractError();  // raises EAbstractError "Abstract Error"

// Raises EOutOfResources with the system's text for the last error.
[[noreturn]] void RaiseLastOSError(const wchar_t* what);

// ---- Persistent objects and components

class TFiler;

class TPersistent : public TObject {
public:
  TVK_CLASS(TPersistent, TObject)
  // Copies Source into this object; raises "Cannot assign a X to a Y" when it cannot.
  virtual void Assign(const TPersistent& source);
  // Declares the object's binary properties to a filer (Streams.h); none here.
  virtual void DefineProperties(TFiler& filer);
  // The object that owns this one (a component's owner); null here.
  virtual TPersistent* GetOwner() const { return nullptr; }

protected:
  virtual void AssignTo(TPersistent& dest) const;
};

// A persistent object that answers interfaces by GUID. It is not counted:
// its owner (or whoever made it) frees it, so AddRef and Release answer -1.
class TInterfacedPersistent : public TPersistent, public IUnknown {
public:
  TVK_CLASS(TInterfacedPersistent, TPersistent)
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

protected:
  // The interface Iid of this object into Object; false when it has none.
  // IUnknown is answered here; a descendant adds its own and asks its parent.
  virtual bool GetInterface(REFIID iid, void** object);
};

enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,     // its design is being read; Loaded() ends it
  csReading = 1u << 1,
  csWriting = 1u << 2,     // it is being written to a stream
  csDestroying = 1u << 3,  // it (or its owner) is being destroyed
  csDesigning = 1u << 4,   // it is edited in a designer, not running
  csUpdating = 1u << 6,
};
using TComponentState = unsigned;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
  TVK_CLASS(TComponent, TPersistent)
  // Owner (may be null) frees this component with itself.
  explicit TComponent(TComponent* owner);
  // Frees the owned components (last first), tells the components that asked
  // for free notification, and leaves the owner.
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }
  const WideString& Name() const { return FName; }
  // A valid identifier, unique among the owner's components (case-blind), or empty.
  void SetName(const WideString& name);
  int Tag = 0;

  int ComponentCount() const { return int(FComponents.size()); }
  TComponent* Components(int index) const;
  // The owned component named Name (case-blind), or null.
  TComponent* FindComponent(std::wstring_view name) const;
  // Position among the owner's components.
  int ComponentIndex() const;

  TComponentState ComponentState() const { return FComponentState; }
  bool Loading() const { return (FComponentState & csLoading) != 0; }
  bool IsDestroying() const { return (FComponentState & csDestroying) != 0; }

  // Component will hear (Notification opRemove) when this one goes, and the
  // other way round; either side going ends the link.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Tells every linked component, last linked first, that this one goes, and
  // ends the links: for a descendant that must be told while it is still whole.
  void RemoveFreeNotifications();

  void InsertComponent(TComponent* component);  // takes ownership
  void RemoveComponent(TComponent* component);  // gives ownership up (to nobody)

  // Marks this component and all it owns as being destroyed.
  void Destroying();

  // Ends the loading state of this component once its design is read.
  virtual void Loaded();

  // Form streaming of components that belong to another component than
  // their owner (a control's columns): the parent a reader hands them to,
  // and the children a component writes with itself.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* value) { (void)value; }
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    (void)proc;
    (void)root;
  }

protected:
  // Told of components inserted into or removed from this owner, and of
  // free-notification partners that go.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ChangeName(const WideString& name) { FName = name; }
  void SetComponentState(TComponentState flags, bool on);

private:
  friend void ReadDesign(TComponent& root);
  friend class TComponentWriting;
  void ValidateRename(const WideString& name) const;
  void RemoveNotification(TComponent* component);

  TComponent* FOwner = nullptr;
  WideString FName;
  TComponentState FComponentState = 0;
  std::vector<TComponent*> FComponents;      // owned
  std::vector<TComponent*> FFreeNotifies;    // not owned
};

// Marks the instance, when it is a component, as being written to a stream
// for the scope (a nested write leaves the mark to the outer one).
class TComponentWriting {
public:
  explicit TComponentWriting(TPersistent& instance);
  ~TComponentWriting();
  TComponentWriting(const TComponentWriting&) = delete;
  TComponentWriting& operator=(const TComponentWriting&) = delete;

private:
  TComponent* FComponent = nullptr;
};

// A component class: its class reference and a maker that gives a new
// component an owner and runs its AfterConstruction (through CreateComponent).
struct TComponentClassRef {
  TClass Info;
  TComponent* (*Create)(TComponent* owner);
};
using TComponentClass = const TComponentClassRef*;
template <class T>
TComponentClass ComponentClassOf() {
  static const TComponentClassRef ref{&T::StaticClassInfo(),
                                      [](TComponent* owner) -> TComponent* { return CreateComponent<T>(owner); }};
  return &ref;
}

// ---- Designs: how a form or data module is filled when it is made

// Builds the design of Root: creates its components (owned by Root) and sets
// their properties and Root's. Each design is registered under its resource
// name, the class name in capitals (TARM_BASEINSTRUMENTFORM).
using TDesignBuilder = void (*)(TComponent& root);

// Registers Builder under Name; a second registration of a name replaces it.
void RegisterDesign(std::wstring_view resourceName, TDesignBuilder builder);
TDesignBuilder FindDesign(std::wstring_view resourceName);
// Reads Root's design (registered under its class name in capitals): Root and
// every component made while it runs are loading; afterwards Loaded() runs for
// each of them, Root last. Raises EResNotFound "Resource X not found" when
// there is no design.
void ReadDesign(TComponent& root);

// Registers a design at start-up: TVK_DESIGN(TMyForm, BuildMyForm).
#define TVK_DESIGN(Class, Builder)                                                                 \
  static const bool tvk_design_##Class = (::tvk::RegisterDesign(::tvk::UpperCaseText(L## #Class), \
                                                                Builder),                         \
                                          true)

}  // namespace tvk
