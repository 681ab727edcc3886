#pragma once
// The class registry (class references found by class name, without regard
// to case) and the design-time registration hooks: procedures that a design
// environment installs to hear of component classes that modules register,
// with the design group that such registrations belong to.
#include "Classes.h"

#include <span>
#include <string_view>

// RegisterClass is also the system's macro: like every name that a Windows
// macro renames, it stays defined, so the function is RegisterClassW in every
// unit alike (a call with a window class still finds the system's by its argument).

namespace tvk {

class EFilerError : public Exception { public: using Exception::Exception; };

// Registers Class under its class name. Registering it again does nothing;
// another class of the same name raises EFilerError "A class named X already exists".
void RegisterClass(TClass c);
// Takes Class out of the registry (nothing when it is not in it).
void UnRegisterClass(TClass c);
// The registered class of that name, or null.
TClass GetClass(std::wstring_view name);

// ---- Class groups: which classes a streaming reader may find together.
// A group is started by a root class; a class grouped with the root (or with
// a class of its group) joins it, and so do its descendants.

// Starts the group of Root (again: nothing).
void StartClassGroup(TClass root);
// Puts AClass and its descendants into the group of AClassGroup (its root or
// any class of it); nothing when AClassGroup is in no group.
void GroupDescendentsWith(TClass aClass, TClass aClassGroup);
// The root of the group AClass belongs to (the closest grouped class among it
// and its ancestors decides), or null.
TClass ClassGroupOf(TClass aClass);

// ---- Design-time registration hooks: empty until a design environment installs them.

using TRegisterComponentsProc = void (*)(const WideString& page, std::span<const TClass> classes);
using TRegisterNoIconProc = void (*)(std::span<const TClass> classes);
using TRegisterNonActiveXProc = void (*)(std::span<const TClass> classes, int axRegType);

extern TRegisterComponentsProc RegisterComponentsProc;
extern TRegisterNoIconProc RegisterNoIconProc;
extern TRegisterNonActiveXProc RegisterNonActiveXProc;

// Component classes for a palette page; EComponentError "Invalid component
// registration" when no hook is installed.
void RegisterComponents(const WideString& page, std::span<const TClass> classes);
// Classes shown without an icon / that are no ActiveX controls; nothing without a hook.
void RegisterNoIcon(std::span<const TClass> classes);
void RegisterNonActiveX(std::span<const TClass> classes, int axRegType);

// The design group that registrations made now belong to; -1: none.
extern int CurrentGroup;

}  // namespace tvk
