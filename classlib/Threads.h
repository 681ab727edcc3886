#pragma once
// Synchronised calls: another thread hands a call to the main thread (the one
// that loaded the library) and waits until it has run there. The call waits in
// a queue; the wake handler tells the main thread that something waits, and
// the main thread runs the queue in CheckSynchronize. The wake handler is
// replaceable: a library whose host runs its own message loop installs one that
// posts a message to a window of its own.
#include "Classes.h"

namespace tvk {

using TThreadMethod = std::function<void()>;

// The thread that loaded the library.
DWORD MainThreadId();

// Runs Method on the main thread: at once when called there; from another
// thread queued, the wake handler called, and the caller blocked until the main
// thread has run it. An exception of Method is raised again in the caller.
void Synchronize(const TThreadMethod& method);
// Runs the queued calls (main thread only; elsewhere nothing). True when any ran.
bool CheckSynchronize();
// How many calls wait.
int PendingSynchronizedCalls();

// Called (on the queuing thread) when a call was queued; Sender is null.
TNotifyEvent WakeMainThread();
void SetWakeMainThread(TNotifyEvent handler);

}  // namespace tvk
