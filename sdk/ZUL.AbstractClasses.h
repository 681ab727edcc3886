#pragma once
// Served bases of the host's form, handler and string-list protocols: the
// external form that the host embeds, notification and timer handlers, and a
// string list. Each list holds a class's operations in slot order,
// X(DispID, Operation, (parameters)); the last parameter, when it is a
// non-const reference, is the result. The list declares the operations and
// builds the dispatch table (see ORV.SCH.AbstractClasses.h). An operation no
// level implements answers E_NOTIMPL.
#include "ORV.SCH.AbstractClasses.h"
#include "ZUL.RecordInterfaces.h"

#include <cstdint>

namespace tvk {

// The host's external-form protocol. GetBounds (left, top, width, height) writes through four
// by-reference integers (each must have a 4-byte referent, or nothing is written);
// SetBounds takes left, top, width, height.
#define TVK_EXTERNAL_FORM_OPERATIONS(X)                                            \
  X(49, SetParentWindow, (const IExternalFormHolder&))                             \
  X(50, AttachToParent, ())                                                        \
  X(51, DetachFromParent, ())                                                      \
  X(52, GetBounds, (int32_t*, int32_t*, int32_t*, int32_t*))                      \
  X(53, GetCaption, (WideString&))                                                 \
  X(54, GetHandle, (uint32_t&))                                                    \
  X(55, Hide, ())                                                                  \
  X(56, SetBounds, (int32_t, int32_t, int32_t, int32_t))                          \
  X(57, SetFocus, ())                                                              \
  X(58, Show, ())                                                                  \
  X(59, FocusFirstControl, ())

#define TVK_NOTIFICATION_HANDLER_OPERATIONS(X) \
  X(266, HandleNotification, (const INotification&))

#define TVK_TIMER_HANDLER_OPERATIONS(X) \
  X(267, HandleTimer, (uint32_t))

#define TVK_STRINGS_OPERATIONS(X)                  \
  X(660, GetCount, (int32_t&))                     \
  X(661, Get, (int32_t, WideString&))              \
  X(662, IndexOf, (const WideString&, int32_t&))   \
  X(663, Add, (const WideString&, int32_t&))

// "ExternalForm": a form the host embeds in one of its windows.
class TAbstractExternalForm : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_EXTERNAL_FORM_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "NotificationHandler": hears the host's notifications.
class TAbstractNotificationHandler : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_NOTIFICATION_HANDLER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "TimerHandler": called by the host's timer manager.
class TAbstractTimerHandler : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_TIMER_HANDLER_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

// "Strings": a string list the host reads and adds to.
class TAbstractStrings : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  TVK_STRINGS_OPERATIONS(TVK_ABSTRACT_OPERATION)
};

}  // namespace tvk
